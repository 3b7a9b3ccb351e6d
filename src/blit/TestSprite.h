// Test blits: the set-up of CopySprite16 and CopySpriteFX16, with every slot
// leading to one general kernel that decides each option pixel by pixel.
#pragma once

#include "blit/BlitModel.h"

void TestSprite16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                  const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                  UInt8 vFlip, char turn, const Rect* maskRect);
// Scales like CopySpriteFX16. A lookup entry with bit 15 set darkens the
// destination by the level in its low bits (at most 32, unchanged); one with
// bit 15 clear copies the source pixel. Modes 3 and 19 draw nothing, and so
// does a call without a lookup table.
void TestSpriteFX16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                    const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                    UInt8 vFlip, char turn, const Rect* maskRect);

void TEST16___lookup___color___trans___mask(SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart,
                                            SInt32 srcPixStep, SInt32 srcRowPixels, SInt32 dstRowPixels,
                                            SInt32 maskRowPixels, SInt32 srcRowStep, SInt32 scaleSrc, SInt32 scaleDst,
                                            UInt16* dstEnd, SInt32 width, SInt32 rowDir, SInt32 xShrink,
                                            SInt32 scaleErr, UInt16* lookup, SInt32 color, UInt16* transTable);
void TEST16___lookup___color___mask(SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart,
                                    SInt32 srcPixStep, SInt32 srcRowPixels, SInt32 dstRowPixels, SInt32 maskRowPixels,
                                    SInt32 srcRowStep, SInt32 scaleSrc, SInt32 scaleDst, UInt16* dstEnd, SInt32 width,
                                    SInt32 rowDir, SInt32 xShrink, SInt32 scaleErr, UInt16* lookup, SInt32 color);

extern const JumpTable<BlitKernel<UInt16>> TestSprite16Jump;
extern const JumpTable<EffectKernel<UInt16>> TestSpriteFX16Jump;
