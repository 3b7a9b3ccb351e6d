// Thick lines on 8-bit pixmaps: a square pen of `width` pixels swept from the
// start point to the end point. DrawLine writes a colour index; CopyLine
// copies the source's pixels under the line. Coordinates are each pixmap's
// own (bounds' origin included). A pixel is touched only inside the clip
// rectangle (right and bottom excluded) cut to every pixmap involved and,
// with a mask, where the mask byte is 0.
#pragma once

#include "platform/QuickDraw.h"

void DrawLine(PixMapHandle dst, PixMapHandle mask, SInt16 startH, SInt16 startV, SInt16 endH, SInt16 endV,
              const Rect* clip, SInt16 color, SInt8 width);
void CopyLine(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, SInt16 startH, SInt16 startV, SInt16 endH,
              SInt16 endV, const Rect* clip, SInt8 width);
