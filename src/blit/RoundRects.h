// Copies through a round-cornered region (plain, and brightened or darkened),
// and the rectangle arithmetic of turned and mirrored sprites.
#pragma once

#include "platform/QuickDraw.h"

// Copies srcRect into dstRect where the destination lies inside the round
// rectangle on dstRect (corner diameter `corner`); with `invert`, where it
// lies outside it but inside the destination's bounds.
void CopyRoundRect(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, SInt16 mode,
                   SInt16 corner, UInt8 invert);
// The same copy at a brightness `level` in 24ths (24 unchanged, 0 darkest, 48
// brightest), in tiles of 32 x 32 through a scratch pixmap. 16-bit
// destinations are brightened; 8-bit ones are copied as they are; 32-bit
// ones are a fatal report.
void HiliteRoundRect(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, SInt16 corner,
                     SInt16 level, UInt8 invert);

// The bounds of a rectangle turned a quarter around its centre (odd turns);
// even turns leave it as it is.
void TransformRect(const Rect* in, Rect* out, SInt8 turn);
// Where `part` of a sprite `whole` lands when the sprite is mirrored, turned
// and centred on `placement`. Its quarter turns run the other way round from
// the blitter's when both or neither mirror flag is set.
void TransformSubRect(const Rect* whole, const Rect* part, const Rect* placement, Rect* out, UInt8 hMirror,
                      UInt8 vMirror, SInt8 turn);
