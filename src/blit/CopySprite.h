// Same-size copies of 8-, 16- and 32-bit pixel maps: clipped, mirrored,
// turned by quarter turns, with the key-colour modes, a mask, a lookup table,
// a fill colour and (8-bit) a translucency table.
#pragma once

#include "blit/BlitModel.h"

// CopySprite picks the depth from the destination (8, 16 or 32; any other
// depth draws nothing).
void CopySprite(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                UInt8 vFlip, char turn, const Rect* maskRect);
void CopySprite8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                 const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                 UInt8 vFlip, char turn, const Rect* maskRect);
void CopySprite16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                  const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                  UInt8 vFlip, char turn, const Rect* maskRect);
void CopySprite32(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                  const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                  UInt8 vFlip, char turn, const Rect* maskRect);

extern const JumpTable<BlitKernel<UInt8>> CopySprite8Jump;
extern const JumpTable<BlitKernel<UInt16>> CopySprite16Jump;
extern const JumpTable<BlitKernel<UInt32>> CopySprite32Jump;
