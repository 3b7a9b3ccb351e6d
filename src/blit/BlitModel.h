// What every blit shares: the kernels' types (key colours, the mode word, the
// flag bits of the kernel tables, the kernel argument lists, the bit-field
// masks, and the names and alerts of the kernel slots that no dispatcher
// selects; all in KernelTypes.h), and CalcRectStart with its start and step
// rules on the drawing records.
//
// A blit has two layers. A dispatcher checks the call, makes the rectangles
// local to their pixel maps, clips, orients and picks one kernel from a table
// of 128 by the flag bits; the kernel walks the visible destination rectangle
// with every address and step precomputed.
#pragma once

#include <cstddef>

#include "blit/KernelTypes.h"
#include "platform/QuickDraw.h"

// Orientation of a blit: how the trimmed source is walked (codes 0-3).
//   startCorner: corner whose pixel lands top-left: 0 top-left, 1 bottom-left,
//                2 bottom-right, 3 top-right
//   pixDir = rowBack: one step along a destination row: 0 right, 1 up,
//                2 left, 3 down
//   rowDir: from one destination row to the next: 0 down, 1 right, 2 up, 3 left
// All rectangles are local. srcRect (and maskRect, when given) are trimmed in
// place to what lands in the visible part of dstRect, which is dstRect
// intersected with clipRect.
void CalcRectStart(Rect* srcRect, const Rect* dstRect, const Rect* clipRect, Rect* maskRect, UInt8 hFlip, UInt8 vFlip,
                   char turn, SInt32* startCorner, SInt32* pixDir, SInt32* rowBack, SInt32* rowDir, UInt8* xShrink,
                   UInt8* yShrink);

// Start offset and steps of a walk over a rectangle of a map with rowLength
// elements a row, by the orientation codes.
struct WalkSteps {
  ptrdiff_t start;
  SInt32 pixStep;
  SInt32 rowStep;  // row return plus row advance
};
WalkSteps WalkFromCodes(const Rect& r, SInt32 rowLength, SInt32 startCorner, SInt32 pixDir, SInt32 rowBack,
                        SInt32 rowDir);
