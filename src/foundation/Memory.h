// Memory services.
//
// Global allocation: operator new and new[] zero-fill every block and turn
// running out of memory into a fatal report, so callers never test a new for
// null (GlobalNew.cpp). AllocateCleared is that allocation for code that
// wants to see the failure itself.
//
// The memory manager: pointers (QKNewPtr) and handles (QKNewHandle, a
// pointer to a master block that holds the data address) whose sizes and
// lock counts are kept in two ordered maps. It never shows a dialog; callers
// test the result or QKMemError(). The platform-style names below (NewPtr,
// NewHandle, PtrAndHand, ...) are the same manager, so there is one
// bookkeeping for every block.
#pragma once

#include <map>

#include "platform/PlatformTypes.h"

struct State {
  Handle handle;     // the master block holding the data address
  SInt32 lockCount;  // 0 = unlocked
};

extern Boolean memInited;
extern SInt32 memError;
// Created by InitMemory and never destroyed, so blocks can still be released
// by global objects during exit.
extern std::map<Ptr, SInt32>* ptrMap;
extern std::map<Ptr, State>* masterMap;

// A zero-filled block of at least one byte from the heap, aligned for any
// object or to alignment when that is larger. On failure: the fatal
// out-of-memory report; should the report return, null. Freed with free().
void* AllocateCleared(std::size_t size, std::size_t alignment = 0);

void InitMemory();
Ptr QKNewPtr(SInt32 size);
Ptr QKNewPtrClear(SInt32 size);
Handle QKNewHandle(SInt32 size);
Handle QKNewHandleClear(SInt32 size);
void QKDisposePtr(Ptr p);
void QKDisposeHandle(Handle h);
SInt32 QKGetPtrSize(Ptr p);
void QKSetPtrSize(Ptr p, SInt32 size);
SInt32 QKGetHandleSize(Handle h);
void QKSetHandleSize(Handle h, SInt32 size);
void QKHLock(Handle h);
void QKHUnlock(Handle h);
SInt8 QKHGetState(Handle h);
void QKHSetState(Handle h, SInt8 state);
void QKMoveHHi(Handle h);
void QKHNoPurge(Handle h);
Handle QKRecoverHandle(Ptr p);
OSErr QKPtrAndHand(const void* src, Handle h, SInt32 n);
OSErr QKHandToHand(Handle* hp);
State* FindMaster(Ptr data);
OSErr QKMemError();
void ClearMemError();

void BlockMove(const void* source, void* destination, SInt32 count);
void BlockMoveData(const void* source, void* destination, SInt32 count);
void BlockZero(void* destination, SInt32 count);
void DisposePtr_Safe(Ptr* p);

inline Ptr NewPtr(SInt32 size) { return QKNewPtr(size); }
inline Ptr NewPtrClear(SInt32 size) { return QKNewPtrClear(size); }
inline Handle NewHandle(SInt32 size) { return QKNewHandle(size); }
inline Handle NewHandleClear(SInt32 size) { return QKNewHandleClear(size); }
inline void DisposePtr(Ptr p) { QKDisposePtr(p); }
inline void DisposeHandle(Handle h) { QKDisposeHandle(h); }
inline SInt32 GetPtrSize(Ptr p) { return QKGetPtrSize(p); }
inline void SetPtrSize(Ptr p, SInt32 size) { QKSetPtrSize(p, size); }
inline SInt32 GetHandleSize(Handle h) { return QKGetHandleSize(h); }
inline void SetHandleSize(Handle h, SInt32 size) { QKSetHandleSize(h, size); }
inline void HLock(Handle h) { QKHLock(h); }
inline void HUnlock(Handle h) { QKHUnlock(h); }
inline SInt8 HGetState(Handle h) { return QKHGetState(h); }
inline void HSetState(Handle h, SInt8 state) { QKHSetState(h, state); }
inline Handle RecoverHandle(Ptr p) { return QKRecoverHandle(p); }
inline OSErr PtrAndHand(const void* src, Handle h, SInt32 n) { return QKPtrAndHand(src, h, n); }
inline OSErr HandToHand(Handle* hp) { return QKHandToHand(hp); }
inline OSErr MemError() { return QKMemError(); }
