#include "foundation/Atomic.h"

#include <cstring>

Boolean gHasOT;
SInt32 atomicCode;
Str31 atomicFile;
SInt32 atomicLine;

namespace {

UInt8 Bit(UInt32 n) { return n < 8 ? UInt8(1u << n) : 0; }

template <class T>
Boolean CompareAndSwap(T oldValue, T newValue, T* address) {
  IsOpenTransportAvailable();
  return __atomic_compare_exchange_n(address, &oldValue, newValue, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
}

template <class T>
SInt32 Add(T amount, T* address) {
  IsOpenTransportAvailable();
  return __atomic_add_fetch(address, amount, __ATOMIC_SEQ_CST);
}

bool ErrorRecorded() { return atomicCode || atomicLine || atomicFile[0]; }

}  // namespace

Boolean AtomicSetBit(UInt8* address, UInt32 n) {
  IsOpenTransportAvailable();
  return (__atomic_fetch_or(address, Bit(n), __ATOMIC_SEQ_CST) & Bit(n)) != 0;
}

Boolean AtomicClearBit(UInt8* address, UInt32 n) {
  IsOpenTransportAvailable();
  return (__atomic_fetch_and(address, UInt8(~Bit(n)), __ATOMIC_SEQ_CST) & Bit(n)) != 0;
}

Boolean AtomicTestBit(const UInt8* address, UInt32 n) {
  IsOpenTransportAvailable();
  return (__atomic_load_n(address, __ATOMIC_SEQ_CST) & Bit(n)) != 0;
}

Boolean AtomicCompareAndSwapPtr(void* oldValue, void* newValue, void** address) {
  return CompareAndSwap(oldValue, newValue, address);
}
Boolean AtomicCompareAndSwap32(UInt32 oldValue, UInt32 newValue, UInt32* address) {
  return CompareAndSwap(oldValue, newValue, address);
}
Boolean AtomicCompareAndSwap16(UInt16 oldValue, UInt16 newValue, UInt16* address) {
  return CompareAndSwap(oldValue, newValue, address);
}
Boolean AtomicCompareAndSwap8(UInt8 oldValue, UInt8 newValue, UInt8* address) {
  return CompareAndSwap(oldValue, newValue, address);
}

SInt32 AtomicAdd32(SInt32 amount, SInt32* address) { return Add(amount, address); }
SInt32 AtomicAdd16(SInt16 amount, SInt16* address) { return Add(amount, address); }
SInt32 AtomicAdd8(SInt8 amount, SInt8* address) { return Add(amount, address); }

Boolean AtomicAcquireLock(UInt8* lock) { return !AtomicSetBit(lock, 0); }

void AtomicClearLock(UInt8* lock) {
  IsOpenTransportAvailable();
  __atomic_store_n(lock, UInt8(0), __ATOMIC_SEQ_CST);
}

Boolean IsOpenTransportAvailable() { return gHasOT = true; }

Boolean UseOTAtomicity(Boolean flag) { return gHasOT = flag; }

void ReportAtomicError(SInt32 code, const unsigned char* file, SInt32 line) {
  if (ErrorRecorded()) return;
  atomicCode = code;
  atomicLine = line;
  UInt8 length = file ? (file[0] < 31 ? file[0] : 31) : 0;
  atomicFile[0] = length;
  if (length) memcpy(atomicFile + 1, file + 1, length);
}

Boolean AtomicError(SInt32* code, unsigned char* file, SInt32* line) {
  if (!ErrorRecorded()) return false;
  if (code) *code = atomicCode;
  if (line) *line = atomicLine;
  if (file) memcpy(file, atomicFile, size_t(atomicFile[0]) + 1);
  atomicCode = atomicLine = 0;
  atomicFile[0] = 0;
  return true;
}
