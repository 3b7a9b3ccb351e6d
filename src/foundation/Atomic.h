// Atomic operations on memory that another thread may touch, and a record of
// the first error reported by code running where it cannot show a dialog.
#pragma once

#include "platform/PlatformTypes.h"

// Each returns whether bit n (0 to 7) of the byte was set before.
Boolean AtomicSetBit(UInt8* address, UInt32 n);
Boolean AtomicClearBit(UInt8* address, UInt32 n);
Boolean AtomicTestBit(const UInt8* address, UInt32 n);

// Store newValue when the memory holds oldValue; true when stored.
Boolean AtomicCompareAndSwapPtr(void* oldValue, void* newValue, void** address);
Boolean AtomicCompareAndSwap32(UInt32 oldValue, UInt32 newValue, UInt32* address);
Boolean AtomicCompareAndSwap16(UInt16 oldValue, UInt16 newValue, UInt16* address);
Boolean AtomicCompareAndSwap8(UInt8 oldValue, UInt8 newValue, UInt8* address);

// Add with wrap-around in the width; the new value, sign-extended.
SInt32 AtomicAdd32(SInt32 amount, SInt32* address);
SInt32 AtomicAdd16(SInt16 amount, SInt16* address);
SInt32 AtomicAdd8(SInt8 amount, SInt8* address);

// True when the lock was free (bit 0 clear); it is taken either way.
Boolean AtomicAcquireLock(UInt8* lock);
void AtomicClearLock(UInt8* lock);

// The atomic primitives are always there; the flag selects nothing.
extern Boolean gHasOT;
Boolean IsOpenTransportAvailable();
Boolean UseOTAtomicity(Boolean flag);

extern SInt32 atomicCode;
extern Str31 atomicFile;
extern SInt32 atomicLine;

// Records the error unless one is recorded already: the first one wins.
// The file name keeps at most 31 characters.
void ReportAtomicError(SInt32 code, const unsigned char* file, SInt32 line);
// Hands out the recorded error and clears it; false when there is none.
Boolean AtomicError(SInt32* code, unsigned char* file, SInt32* line);
