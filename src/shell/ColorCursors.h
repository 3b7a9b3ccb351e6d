// Colour cursors by resource number. The system's own pointer shapes stand
// in for cursor pictures: resource 1000 is the pointing hand shown over
// links; other numbers have no cursor.
#pragma once

#include "platform/PlatformTypes.h"

enum : SInt16 { kHandCursorID = 1000 };

struct CCrsr {
  SInt16 id;
};
typedef CCrsr* CCrsrPtr;
typedef CCrsrPtr* CCrsrHandle;

// Null for a number without a cursor.
CCrsrHandle GetCCursor(SInt16 id);
void SetCCursor(CCrsrHandle cursor);
void DisposeCCursor(CCrsrHandle cursor);
// Back to the arrow.
void InitCursor();
