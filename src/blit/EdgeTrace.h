// Outlines: every element equal to `inside` paints those of its neighbours
// (eight-way when `eightWay` is set, else four-way) that are not inside with
// `edge`, in a separate destination of the same shape.
//
// The grid members walk the centres w + 1 .. (h - 1) x w - 2 as one run of
// indices, so a centre in the last column reaches the first element of the
// next row as its right neighbour (and the first column the row above's
// last); every neighbour stays inside the grid.
#pragma once

#include "foundation/Array.h"
#include "platform/QuickDraw.h"

void TraceEdges_Chars(const UInt8* src, UInt8* dst, SInt16 width, SInt16 height, UInt8 inside, UInt8 edge,
                      UInt8 eightWay);
void TraceEdges_Shorts(const UInt16* src, UInt16* dst, SInt16 width, SInt16 height, UInt16 inside, UInt16 edge,
                       UInt8 eightWay);
// Does nothing when either array holds fewer than width x height elements.
void TraceEdges_ArrayClass_Shorts(Array<UInt16>* src, Array<UInt16>* dst, SInt16 width, SInt16 height, UInt16 inside,
                                  UInt16 edge, UInt8 eightWay);

// 8-bit rectangles in each pixmap's own coordinates. The destination is cut
// to the clip (itself cut to the destination's bounds) and the source keeps
// its correspondence; centres are the pixels one in from the cut, grown
// area. A source rectangle outside the source pixmap, or rectangles of
// different sizes, do nothing; neighbours beyond the source pixmap count as
// outside the shape.
void TraceEdges_PixMap(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                       UInt8 inside, UInt8 edge, UInt8 eightWay);
