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

// The manager's calls set memError (noErr, or the reason they failed) and
// start the manager when it is not yet started; InitMemory makes its maps.
void InitMemory();
// A pointer block of `size` bytes (0 gives a block of its own), uncleared or
// zero-filled; null for a negative size or no memory (memFullErr).
Ptr QKNewPtr(SInt32 size);
Ptr QKNewPtrClear(SInt32 size);
// A handle to `size` bytes, uncleared or zero-filled, unlocked; null on
// failure.
Handle QKNewHandle(SInt32 size);
Handle QKNewHandleClear(SInt32 size);
// Frees a block of the manager, a handle with its data; anything else is
// left alone (memWZErr).
void QKDisposePtr(Ptr p);
void QKDisposeHandle(Handle h);
// The block's size in bytes; memWZErr (as the size too) for a block the
// manager did not make.
SInt32 QKGetPtrSize(Ptr p);
// Only shrinks the size the block is known by (its memory stays); a larger
// size fails with memWZErr, a negative one with memSCErr.
void QKSetPtrSize(Ptr p, SInt32 size);
SInt32 QKGetHandleSize(Handle h);
// Resizes a handle's data, which may move (*h changes): the contents up to
// the smaller size stay, added bytes are uncleared. A locked handle cannot
// be resized (memFullErr).
void QKSetHandleSize(Handle h, SInt32 size);
// Locks count: each lock needs an unlock; an unlock of an unlocked handle
// does nothing.
void QKHLock(Handle h);
void QKHUnlock(Handle h);
// -128 while locked, 0 while not; setting a negative state locks an
// unlocked handle once, any other state unlocks it fully.
SInt8 QKHGetState(Handle h);
void QKHSetState(Handle h, SInt8 state);
// Nothing moves or is purged here: these only check the handle.
void QKMoveHHi(Handle h);
void QKHNoPurge(Handle h);
// The handle whose data `p` is, or null (memBCErr).
Handle QKRecoverHandle(Ptr p);
// Appends n bytes from src to the handle's data.
OSErr QKPtrAndHand(const void* src, Handle h, SInt32 n);
// Replaces *hp by a new handle holding a copy of its data (the original
// stays the caller's); an empty handle fails with memWZErr.
OSErr QKHandToHand(Handle* hp);
// The record of the handle whose data block is `data`, or null.
State* FindMaster(Ptr data);
// The result of the last call; ClearMemError sets it to noErr.
OSErr QKMemError();
void ClearMemError();

// Copies count bytes (the ranges may overlap); nothing for a count of 0 or
// less.
void BlockMove(const void* source, void* destination, SInt32 count);
void BlockMoveData(const void* source, void* destination, SInt32 count);
// Zero-fills count bytes; nothing for a count of 0 or less.
void BlockZero(void* destination, SInt32 count);
// Disposes of *p (when set) and clears it; a null p is a fatal error.
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
