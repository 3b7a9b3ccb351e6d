// Pixel utilities on a pixmap's own pixels: colour replacement, colour tests
// over a rectangle, the average colour of an indexed rectangle and one blended
// 16-bit pixel.
//
// Except for GetRectColor, rectangles and points count from the pixel at
// baseAddr: the bounds' origin is not subtracted. Every rectangle is cut to
// the pixmap (bounds' size, measured from baseAddr) and an inverted one is
// empty, so no call reads or writes outside the pixels.
#pragma once

#include "platform/QuickDraw.h"
#include "platform/RGBAColor16.h"

void ReplaceColor(PixMapHandle pm, const Rect* r, UInt8 oldColor, UInt8 newColor);
void ReplaceColor_16(PixMapHandle pm, const Rect* r, UInt16 oldColor, UInt16 newColor);

// 0 when no pixel equals the colour, 2 when all do (or the rectangle is
// empty), else 1. A null pixmap is a fatal report.
SInt8 RectHasColor8(PixMapHandle pm, const Rect* r, SInt32 color);
SInt8 RectHasColor16(PixMapHandle pm, const Rect* r, SInt32 color);
SInt8 RectHasColor32(PixMapHandle pm, const Rect* r, SInt32 color);
// By the pixmap's depth; depths other than 8, 16 and 32 answer 0.
SInt8 RectHasColor(PixMapHandle pm, const Rect* r, SInt32 color);

// 1 when some pixel lies in low..high (16-bit with a lookup table: when the
// table's entry for the pixel has its top bit set). `noKey`, when given,
// receives 1 if no pixel is the depth's key colour, else 0. A null pixmap is
// a fatal report. The 16-bit table has 65,536 entries.
UInt8 RectContainsColors8(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey, const UInt16* lookup);
UInt8 RectContainsColors16(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey, const UInt16* lookup);
UInt8 RectContainsColors32(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey, const UInt16* lookup);
// By the pixmap's depth; other depths answer 0 and store 1 in `noKey`.
UInt8 RectContainsColors(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey, const UInt16* lookup);

// The average colour of an 8-bit rectangle given in the pixmap's own
// coordinates, through the pixmap's colour table (or the current one when it
// has none). With skipKey set, index 0 pixels are left out. No pixel to
// average gives black.
void GetRectColor(PixMapHandle pm, const Rect* r, RGBColor* out, UInt8 skipKey);

// Blends one 1-5-5-5 colour (levels 0-31) into the pixel at (h, v) with
// opacity alpha 0-32 (clamped); opacity 32 stores the colour. Points outside
// the pixmap are ignored.
void DrawPixelRGB_16(PixMapHandle pm, int h, int v, const RGBAColor16* color);
