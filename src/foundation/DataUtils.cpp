#include "foundation/DataUtils.h"

#include <algorithm>
#include <utility>

#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"

namespace {

constexpr SInt32 kChunk = 127;

// The program's own part of the data-file key: 31 lower-case letters and digits.
const unsigned char kBaseKey[] =
    "\x1f"
    "ujzde8gxd6ncf10epf91dhodzdoc9is";

SInt32 RunLength(const UInt8* p, SInt32 n) {
  SInt32 run = 1;
  while (run < n && p[run] == p[0]) run++;
  return run;
}

// Packs n <= 127 bytes; out has room for n + 1 bytes, the worst case.
// Runs of 3 or more end a literal; a run of 2 is a packet of its own only
// where no literal is pending (it costs as much as two literal bytes).
SInt32 PackChunk(const UInt8* in, SInt32 n, UInt8* out) {
  SInt32 i = 0, o = 0, literalStart = -1;
  auto flushLiteral = [&](SInt32 end) {
    if (literalStart < 0) return;
    out[o++] = UInt8(end - literalStart - 1);
    for (SInt32 k = literalStart; k < end; k++) out[o++] = in[k];
    literalStart = -1;
  };
  while (i < n) {
    SInt32 run = RunLength(in + i, n - i);
    if (run >= 3 || (run == 2 && literalStart < 0)) {
      flushLiteral(i);
      out[o++] = UInt8(1 - run);
      out[o++] = in[i];
      i += run;
    } else {
      if (literalStart < 0) literalStart = i;
      i += run;
    }
  }
  flushLiteral(n);
  return o;
}

// Unpacks packets from *in (with *left bytes readable) until exactly want
// bytes are written to out. False when a packet would pass the chunk or the
// input.
bool UnpackChunk(const UInt8** in, SInt64* left, UInt8* out, SInt32 want) {
  SInt32 filled = 0;
  const UInt8* p = *in;
  SInt64 avail = *left;
  while (filled < want) {
    if (avail < 1) return false;
    SInt32 header = SInt8(*p++);
    avail--;
    if (header == -128) continue;
    SInt32 count = header >= 0 ? header + 1 : 1 - header;
    if (count > want - filled || avail < (header >= 0 ? count : 1)) return false;
    if (header >= 0) {
      std::copy(p, p + count, out + filled);
      p += count;
      avail -= count;
    } else {
      std::fill(out + filled, out + filled + count, *p++);
      avail--;
    }
    filled += count;
  }
  *in = p;
  *left = avail;
  return true;
}

UInt8 BitMask(SInt32 n) { return UInt8(0x80 >> (n & 7)); }

}  // namespace

Handle CompressData(const void* data, SInt32 size) {
  if (size == 0) size = std::max<SInt32>(QKGetPtrSize(const_cast<char*>(static_cast<const char*>(data))), 0);
  Handle block = QKNewHandle(4);
  if (!block) return nullptr;
  UInt32 length = UInt32(size);
  for (int i = 0; i < 4; i++) (*block)[i] = char(length >> (24 - 8 * i));
  const UInt8* in = static_cast<const UInt8*>(data);
  UInt8 work[kChunk + 1];
  for (SInt32 done = 0; done < size; done += kChunk) {
    SInt32 n = std::min(kChunk, size - done);
    SInt32 packed = PackChunk(in + done, n, work);
    if (QKPtrAndHand(work, block, packed) != noErr) {
      QKDisposeHandle(block);
      return nullptr;
    }
  }
  return block;
}

Handle ExpandData(const void* packed, SInt32 packedSize) {
  if (packedSize < 0) packedSize = QKGetPtrSize(const_cast<char*>(static_cast<const char*>(packed)));
  bool sizeKnown = packedSize >= 0;
  if (sizeKnown && packedSize < 4) return nullptr;
  const UInt8* in = static_cast<const UInt8*>(packed);
  UInt32 length = (UInt32(in[0]) << 24) | (UInt32(in[1]) << 16) | (UInt32(in[2]) << 8) | in[3];
  // Every 127 output bytes take at least two packed bytes, so a longer stated
  // length is a corrupt block: refuse it before allocating.
  if (length > 0x7FFFFFFF) return nullptr;
  SInt64 left = sizeKnown ? packedSize - 4 : SInt64(length) * 2 + 2;
  if (SInt64(length) > left / 2 * kChunk) return nullptr;
  Handle block = QKNewHandle(SInt32(length));
  if (!block) return nullptr;
  in += 4;
  UInt8* out = reinterpret_cast<UInt8*>(*block);
  for (SInt32 done = 0; done < SInt32(length); done += kChunk) {
    if (!UnpackChunk(&in, &left, out + done, std::min<SInt32>(kChunk, SInt32(length) - done))) {
      QKDisposeHandle(block);
      return nullptr;
    }
  }
  return block;
}

void Crypt(char* data, SInt32 size, const unsigned char* key) {
  if (size < 32) {
    ErrorDialog("Can't encrypt less than 32 bytes of data.", "Crypt", 0, 1);
    return;
  }
  SInt32 k = key ? key[0] : 0;
  if (k == 0) return;
  UInt8 S[256];
  for (int i = 0; i < 256; i++) S[i] = UInt8(i);
  for (int i = 0, j = 0; i < 256; i++) {
    j = (j + S[i] + key[1 + i % k]) & 255;
    std::swap(S[i], S[j]);
  }
  for (SInt32 n = 0, i = 0, j = 0; n < size; n++) {
    i = (i + 1) & 255;
    j = (j + S[i]) & 255;
    std::swap(S[i], S[j]);
    data[n] = char(UInt8(data[n]) ^ S[(S[i] + S[j]) & 255]);
  }
}

void CryptData(char* data, SInt32 size, const unsigned char* key) {
  unsigned char combined[32] = {0};
  SInt32 k = key ? std::min<SInt32>(key[0], 31) : 0;
  combined[0] = UInt8(k);
  for (SInt32 i = 1; i <= k; i++) combined[i] = kBaseKey[i] ^ key[i];
  Crypt(data, size, combined);
}

SInt32 CalcChecksum(char* data, SInt32 size) {
  if (!data) return -1;
  UInt32 sum = 0;
  SInt32 words = size / 4;
  for (SInt32 w = 0; w < words; w++) sum += UInt32(SInt32(SInt8(data[4 * w + 3])));
  for (SInt32 i = 4 * words; i < size; i++) sum += UInt32(SInt32(SInt8(data[i])));
  return SInt32(sum);
}

Boolean TestBit(void* data, SInt32 n) { return (static_cast<UInt8*>(data)[n >> 3] & BitMask(n)) != 0; }

void SetBit(void* data, SInt32 n) { static_cast<UInt8*>(data)[n >> 3] |= BitMask(n); }

void ClearBit(void* data, SInt32 n) { static_cast<UInt8*>(data)[n >> 3] &= UInt8(~BitMask(n)); }

UInt32 ReadBits(void* data, SInt32 first, UInt32 count) {
  UInt32 value = 0;
  for (UInt32 i = 0; i < std::min<UInt32>(count, 32); i++)
    if (TestBit(data, first + SInt32(i))) value |= 1u << i;
  return value;
}

void SetBits(void* data, SInt32 first, UInt32 count, UInt32 value) {
  for (UInt32 i = 0; i < std::min<UInt32>(count, 32); i++) {
    if (value & (1u << i))
      SetBit(data, first + SInt32(i));
    else
      ClearBit(data, first + SInt32(i));
  }
}

void SwapShortBytes(void* data, SInt32 size) {
  if (size == 0) size = std::max<SInt32>(QKGetPtrSize(const_cast<char*>(static_cast<const char*>(data))), 0);
  size &= ~1;
  UInt8* p = static_cast<UInt8*>(data);
  for (SInt32 front = 1, back = size - 2; front < back; front += 2, back -= 2) std::swap(p[front], p[back]);
}
