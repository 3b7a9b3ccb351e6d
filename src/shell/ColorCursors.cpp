#include "shell/ColorCursors.h"

#include <new>

#include "platform/EventPlatform.h"

CCrsrHandle GetCCursor(SInt16 id) {
  if (id != kHandCursorID) return nullptr;
  auto* cursor = new (std::nothrow) CCrsr{id};
  CCrsrHandle handle = cursor ? new (std::nothrow) CCrsrPtr(cursor) : nullptr;
  if (!handle) delete cursor;
  return handle;
}

void SetCCursor(CCrsrHandle cursor) {
  if (cursor && (*cursor)->id == kHandCursorID) Platform().HandCursor();
}

void DisposeCCursor(CCrsrHandle cursor) {
  if (!cursor) return;
  delete *cursor;
  delete cursor;
}

void InitCursor() { Platform().ArrowCursor(); }
