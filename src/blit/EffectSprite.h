// Effect blits: every pixel drawn through the caller's lookup table, scaled to
// the destination rectangle (the Copy entries scale too), with only the mask
// to choose. A call without a lookup table draws nothing; a fill colour is
// ignored.
#pragma once

#include "blit/BlitModel.h"

#define EFFECT_DISPATCHER(name)                                                                                        \
  void name(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,           \
            const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip, UInt8 vFlip, \
            char turn, const Rect* maskRect)
EFFECT_DISPATCHER(CopySpriteFX8);
EFFECT_DISPATCHER(CopySpriteFX16);
EFFECT_DISPATCHER(CopySpriteFX32);
EFFECT_DISPATCHER(ScaleSpriteFX8);
EFFECT_DISPATCHER(ScaleSpriteFX16);
EFFECT_DISPATCHER(ScaleSpriteFX32);
#undef EFFECT_DISPATCHER

extern const JumpTable<EffectKernel<UInt8>> CopySpriteFX8Jump;
extern const JumpTable<EffectKernel<UInt16>> CopySpriteFX16Jump;
extern const JumpTable<EffectKernel<UInt32>> CopySpriteFX32Jump;
extern const JumpTable<EffectKernel<UInt8>> ScaleSpriteFX8Jump;
extern const JumpTable<EffectKernel<UInt16>> ScaleSpriteFX16Jump;
extern const JumpTable<EffectKernel<UInt32>> ScaleSpriteFX32Jump;
