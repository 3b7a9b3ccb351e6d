// Byte-level services: run-length packing of blocks, the stream cipher that
// scrambles stored data, an additive checksum, MSB-first bit fields and a
// front/back byte exchange.
#pragma once

#include "platform/PlatformTypes.h"

// A compressed block is the uncompressed length (4 bytes, big-endian)
// followed by PackBits packets, each 127-byte chunk of input packed on its
// own. A size of 0 means the allocated size of the block at data (0 when the
// block is not one of the memory manager's). Null when memory runs out. The
// caller owns the handle.
Handle CompressData(const void* data, SInt32 size);
// Unpacks a compressed block into a new handle of exactly the stated length.
// packedSize is the size of the compressed block; -1 means its allocated size
// when the memory manager knows it. A block that is truncated, holds a packet
// that runs past its chunk, or states a length its packets cannot hold gives
// null, as does a failed allocation.
Handle ExpandData(const void* packed, SInt32 packedSize = -1);

// The RC4 stream cipher in place; the same call decrypts. Fewer than 32 bytes
// is a fatal report, so an empty tree's text (14 bytes) cannot be encrypted.
void Crypt(char* data, SInt32 size, const unsigned char* key);
// Crypt keyed with the program's base key XOR the caller's key (at most 31
// characters are used).
void CryptData(char* data, SInt32 size, const unsigned char* key);

// Adds the low byte of each whole big-endian word, then each remaining byte,
// as signed values; -1 for null data.
SInt32 CalcChecksum(char* data, SInt32 size);

// Bit n lies in byte n >> 3 under the mask 0x80 >> (n & 7).
UInt32 ReadBits(void* data, SInt32 first, UInt32 count);
void SetBits(void* data, SInt32 first, UInt32 count, UInt32 value);
Boolean TestBit(void* data, SInt32 n);
void SetBit(void* data, SInt32 n);
void ClearBit(void* data, SInt32 n);

// Exchanges byte 1 with byte size - 2, byte 3 with size - 4 and so on; a
// size of 0 means the block's allocated size.
void SwapShortBytes(void* data, SInt32 size);
