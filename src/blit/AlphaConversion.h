// Alpha maps between the byte range 0-255 and the blitter's opacity range
// 0-32, and alpha planes moved into and out of the top byte of 32-bit pixels.
// (Convert16To32 lives in platform/PixelConversion.h.)
#pragma once

#include "platform/QuickDraw.h"

// In place on an 8-bit alpha map, over the rectangle (the bounds when null)
// cut to the bounds; the rectangle is in the map's own coordinates.
// p x 32 / 255, and p x 255 / 32 kept at most 255.
void Convert8BitTo5Bit(PixMapHandle alpha, const Rect* r);
void Convert5BitTo8Bit(PixMapHandle alpha, const Rect* r);

// Pairs the alpha map's byte and the 32-bit image's word at the same
// position, counted from each map's baseAddr (the bounds' origin is not
// subtracted). The rectangle defaults to the alpha map's bounds and is cut
// to both maps. InsertAlpha replaces each word's top byte with the alpha;
// ExtractAlpha stores each word's top byte in the alpha map.
void InsertAlpha(PixMapHandle alpha, PixMapHandle image, const Rect* r);
void ExtractAlpha(PixMapHandle image, PixMapHandle alpha, const Rect* r);
