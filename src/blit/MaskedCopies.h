// Rectangle copies between 8-bit pixmaps beside the sprite blits: through a
// background where the source is 0, through two colour tables, and the
// random "static" copy and fill.
//
// Rectangles are in each pixmap's own coordinates. The destination rectangle
// is cut to the clip (itself cut to the destination's bounds) and the source
// (and background) rectangles move with it; rectangles of different sizes,
// or a source or background that would be read outside its pixmap, copy
// nothing.
#pragma once

#include "platform/QuickDraw.h"

// The source where it is not 0, else the background.
void CopyRectMask(PixMapHandle src, PixMapHandle dst, PixMapHandle background, const Rect* srcRect, const Rect* dstRect,
                  const Rect* backgroundRect, const Rect* clip);
// second[first[source]].
void CopyRectTranslateTwice(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect,
                            const Rect* clip, const UInt8* first, const UInt8* second);

// The random generator of the static operations: one step of the seed, whose
// low byte is the drawn value. A draw passes when that byte is <= level.
UInt32 NextStaticSeed(UInt32 seed);
// Where each static call takes its first seed; by default TickCount. Returns
// the source installed before; null restores the default.
using StaticSeedSource = UInt32 (*)();
StaticSeedSource SetStaticSeedSource(StaticSeedSource source);

// Lets through the pixels that a draw passes (level 255 all, 0 none). Mode 0
// writes every pixel, 1 only where the source is not 0, 2 (with a table
// only) where the translated source is not 0; with a table the translated
// value is written.
void CopySpriteStatic(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                      SInt8 mode, const UInt8* table, UInt8 level);
// Fills with random indices (through the table when given). Below level 255
// a pixel whose draw fails becomes index 255 (table[255]) in mode 0 and is
// left alone in mode 1. Level 0 in mode 0 fills the rectangle, cut to the
// pixmap but not to the clip, with index 255 (table[255]).
void PaintRectStatic(PixMapHandle target, const Rect* r, const Rect* clip, SInt8 mode, const UInt8* table, UInt8 level);
