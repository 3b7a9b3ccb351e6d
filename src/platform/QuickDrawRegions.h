// Region shapes beyond rectangles: round-cornered rectangles and the
// exclusive-or of two regions, held as the region's per-pixel mask.
#pragma once

#include "platform/QuickDraw.h"

// The rectangle with its corners rounded by quarter ovals ovalWidth by
// ovalHeight (cut to the rectangle's own size); 0 or less gives square
// corners.
void RoundRectRgn(RgnHandle region, const Rect* r, SInt16 ovalWidth, SInt16 ovalHeight);
// Points in exactly one of a and b. `dst` may be a or b.
void XorRgn(RgnHandle a, RgnHandle b, RgnHandle dst);
// True when the point lies inside (the region's mask, else its bounds).
Boolean PointInRegion(RgnHandle region, SInt32 h, SInt32 v);
