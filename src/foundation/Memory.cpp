#include "foundation/Memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/ErrorDialog.h"

Boolean memInited;
SInt32 memError;
std::map<Ptr, SInt32>* ptrMap;
std::map<Ptr, State>* masterMap;

namespace {

const char kOutOfMemory[] =
    "Sorry, a memory error has occured.  Please increase the application's \"Preferred size\" requirements, and "
    "try again.";

void Ready() {
  if (!memInited) InitMemory();
}

// Records a new block; frees it and answers null when that fails.
Ptr Record(Ptr block, SInt32 size) {
  try {
    (*ptrMap)[block] = size;
  } catch (const std::bad_alloc&) {
    free(block);
    memError = memFullErr;
    return nullptr;
  }
  memError = noErr;
  return block;
}

// The master record of handle h, or null when h is not a handle. The master
// block is looked up before it is read, so a stray pointer is refused
// instead of dereferenced.
State* FindHandle(Handle h) {
  Ready();
  if (!h || !ptrMap->count(Ptr(h))) return nullptr;
  auto found = masterMap->find(*h);
  return found != masterMap->end() && found->second.handle == h ? &found->second : nullptr;
}

Handle NewHandleWith(Ptr (*newData)(SInt32), SInt32 size) {
  Handle master = Handle(QKNewPtr(SInt32(sizeof(Ptr))));
  if (!master) return nullptr;
  Ptr data = newData(size);
  if (!data) {
    SInt32 error = memError;
    QKDisposePtr(Ptr(master));
    memError = error;
    return nullptr;
  }
  *master = data;
  try {
    (*masterMap)[data] = State{master, 0};
  } catch (const std::bad_alloc&) {
    QKDisposePtr(data);
    QKDisposePtr(Ptr(master));
    memError = memFullErr;
    return nullptr;
  }
  memError = noErr;
  return master;
}

}  // namespace

void* AllocateCleared(std::size_t size, std::size_t alignment) {
  void* block = nullptr;
  if (alignment <= alignof(std::max_align_t))
    block = malloc(size ? size : 1);
  else if (posix_memalign(&block, alignment, size ? size : 1) != 0)
    block = nullptr;
  if (!block) {
    ErrorDialog(kOutOfMemory, "", 0, 1);
    return nullptr;
  }
  return memset(block, 0, size);
}

void InitMemory() {
  if (memInited) return;
  ptrMap = new std::map<Ptr, SInt32>;
  masterMap = new std::map<Ptr, State>;
  memInited = 1;
}

Ptr QKNewPtr(SInt32 size) {
  Ready();
  memError = memFullErr;
  if (size < 0) return nullptr;
  Ptr block = Ptr(malloc(size ? size_t(size) : 1));
  return block ? Record(block, size) : nullptr;
}

Ptr QKNewPtrClear(SInt32 size) {
  Ready();
  memError = memFullErr;
  if (size < 0) return nullptr;
  Ptr block = Ptr(calloc(size ? size_t(size) : 1, 1));
  return block ? Record(block, size) : nullptr;
}

Handle QKNewHandle(SInt32 size) {
  Ready();
  return NewHandleWith(QKNewPtr, size);
}

Handle QKNewHandleClear(SInt32 size) {
  Ready();
  return NewHandleWith(QKNewPtrClear, size);
}

void QKDisposePtr(Ptr p) {
  Ready();
  auto found = ptrMap->find(p);
  if (found == ptrMap->end()) {
    memError = memWZErr;
    return;
  }
  ptrMap->erase(found);
  free(p);
  memError = noErr;
}

void QKDisposeHandle(Handle h) {
  if (!FindHandle(h)) {
    memError = memWZErr;
    return;
  }
  Ptr data = *h;
  masterMap->erase(data);
  QKDisposePtr(data);
  QKDisposePtr(Ptr(h));
}

SInt32 QKGetPtrSize(Ptr p) {
  Ready();
  auto found = ptrMap->find(p);
  if (found == ptrMap->end()) return memError = memWZErr;
  memError = noErr;
  return found->second;
}

void QKSetPtrSize(Ptr p, SInt32 size) {
  Ready();
  if (size < 0) {
    memError = memSCErr;
    return;
  }
  auto found = ptrMap->find(p);
  if (found == ptrMap->end() || found->second < size) {
    memError = memWZErr;
    return;
  }
  found->second = size;
  memError = noErr;
}

SInt32 QKGetHandleSize(Handle h) {
  if (!FindHandle(h)) return memError = memWZErr;
  return QKGetPtrSize(*h);
}

void QKSetHandleSize(Handle h, SInt32 size) {
  State* state = FindHandle(h);
  if (!state) {
    memError = memWZErr;
    return;
  }
  if (state->lockCount > 0 || size < 0) {
    memError = memFullErr;
    return;
  }
  Ptr old = *h;
  Ptr resized;
  if (size == 0) {
    resized = Ptr(malloc(1));
    if (resized) free(old);
  } else {
    resized = Ptr(realloc(old, size_t(size)));
  }
  if (!resized) {
    memError = memFullErr;
    return;
  }
  State kept = *state;
  masterMap->erase(old);
  ptrMap->erase(old);
  (*masterMap)[resized] = kept;
  (*ptrMap)[resized] = size;
  *h = resized;
  memError = noErr;
}

void QKHLock(Handle h) {
  State* state = FindHandle(h);
  if (!state) {
    memError = memWZErr;
    return;
  }
  state->lockCount++;
  memError = noErr;
}

void QKHUnlock(Handle h) {
  State* state = FindHandle(h);
  if (!state) {
    memError = memWZErr;
    return;
  }
  if (state->lockCount > 0) state->lockCount--;
  memError = noErr;
}

SInt8 QKHGetState(Handle h) {
  State* state = FindHandle(h);
  if (!state) return SInt8(memError = memWZErr);
  memError = noErr;
  return state->lockCount ? SInt8(-128) : SInt8(0);
}

void QKHSetState(Handle h, SInt8 flags) {
  State* state = FindHandle(h);
  if (!state) {
    memError = memWZErr;
    return;
  }
  if (flags >= 0)
    state->lockCount = 0;
  else if (state->lockCount == 0)
    state->lockCount = 1;
  memError = noErr;
}

void QKMoveHHi(Handle h) { QKGetHandleSize(h); }

void QKHNoPurge(Handle h) { QKGetHandleSize(h); }

Handle QKRecoverHandle(Ptr p) {
  State* state = FindMaster(p);
  memError = state ? noErr : memBCErr;
  return state ? state->handle : nullptr;
}

OSErr QKPtrAndHand(const void* src, Handle h, SInt32 n) {
  SInt32 size = QKGetHandleSize(h);
  if (memError) return memError;
  if (n < 0) return memError = memFullErr;
  QKSetHandleSize(h, size + n);
  if (memError) return memError = memFullErr;
  BlockMove(src, *h + size, n);
  return noErr;
}

OSErr QKHandToHand(Handle* hp) {
  SInt32 size = QKGetHandleSize(hp ? *hp : nullptr);
  if (size == 0) return memError = memWZErr;
  Handle copy = QKNewHandle(size);
  if (!copy) return memError = memFullErr;
  BlockMove(**hp, *copy, size);
  *hp = copy;
  return memError = noErr;
}

State* FindMaster(Ptr data) {
  Ready();
  auto found = masterMap->find(data);
  return found != masterMap->end() ? &found->second : nullptr;
}

OSErr QKMemError() { return OSErr(memError); }

void ClearMemError() { memError = noErr; }

void BlockMove(const void* source, void* destination, SInt32 count) {
  if (count > 0) memmove(destination, source, size_t(count));
}

void BlockMoveData(const void* source, void* destination, SInt32 count) { BlockMove(source, destination, count); }

void BlockZero(void* destination, SInt32 count) {
  if (count > 0) memset(destination, 0, size_t(count));
}

void DisposePtr_Safe(Ptr* p) {
  if (!p) {
    ErrorDialog("Tried to pass nil to DisposePtr_Safe()!", "", 0, 1);
    return;
  }
  if (*p) {
    DisposePtr(*p);
    *p = nullptr;
  }
}
