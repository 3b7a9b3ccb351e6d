// Software rectangle copies between pixmaps: the byte copy with line
// doubling or interlace, the in-place mirror of 16-bit pixels, and the
// 8-bit to 1-bit mask. The depth conversion copies share the clipping and
// line skipping planned here.
#pragma once

#include <vector>

#include "platform/QuickDraw.h"

// Line skipping while the application record's line-skip flag is set:
// 1 doubles every other source row, 2 and 3 copy only the rows of parity
// lineINTERLACE.
extern UInt8 lineSKIPPING;
extern UInt8 lineINTERLACE;

// The rows and columns one copy touches, in the pixmaps' own coordinates.
struct CopyPlan {
  SInt32 srcLeft;
  SInt32 dstLeft;
  SInt32 width;
  std::vector<std::pair<SInt32, SInt32>> rows;  // (source row, destination row)
};

// Moves both rectangles into their pixmaps' coordinates, cuts the
// destination to the clip (itself cut to the destination's bounds) and the
// source by the same amounts, keeps both inside their pixmaps, and lists
// the rows with line skipping. False (nothing to copy) for rectangles of
// different sizes or an empty result. A null clip is the destination's
// bounds.
bool PlanCopy(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
              CopyPlan* plan);

// Start of a row of pixels in a pixmap.
inline UInt8* PixelRow(PixMapHandle pm, SInt32 row) {
  return reinterpret_cast<UInt8*>((*pm)->baseAddr) + row * ((*pm)->rowBytes & 0x7FFF);
}

void CopyRect(PixMapHandle src, PixMapHandle dst, Rect* srcRect, Rect* dstRect, Rect* clip);
void FlipPixels(PixMapHandle pm, Rect* r);
void CopyBlack(PixMapHandle src, PixMapHandle dst, Rect* srcRect, Rect* dstRect, unsigned char mode);
