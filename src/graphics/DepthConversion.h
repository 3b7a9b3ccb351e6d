// Rectangle copies between pixmaps of different depths (8-bit indexed to
// 16- or 32-bit direct colour through a colour table and optionally a gamma
// table, 16 to 32 and 32 to 16), with the clipping and line skipping of
// CopyRect, and the 32-to-16 packing the 16-bit blitter kernels share.
#pragma once

#include "graphics/GammaFading.h"
#include "platform/QuickDraw.h"

// The colour-index-to-pixel tables that each 8-bit copy rebuilds first.
extern UInt16 flushTABLE[256];
extern UInt32 flushLongTABLE[256];

void CopyRect8To16(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                   CTabHandle ctab, GammaHandle gamma);
void CopyRect8To32(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                   CTabHandle ctab, GammaHandle gamma);
// `gamma` is not used by the two direct copies.
void CopyRect16To32(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                    GammaHandle gamma);
void CopyRect32To16(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                    GammaHandle gamma);

// The 1-5-5-5 pixel of a 32-bit 0x..RRGGBB pixel: the top five bits of each
// channel, alpha dropped, bit 15 clear.
UInt16 Convert32To16(UInt32 pixel);
