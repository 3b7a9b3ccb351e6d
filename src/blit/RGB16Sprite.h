// The 16-bit effect blits: a 1-5-5-5 sprite drawn with everything the basic
// 16-bit blit offers, tinted channel by channel by an RGBAColor16, blended by
// its opacity and by an optional 8-bit alpha map (one weight 0-32 per source
// pixel). CopySpriteRGB16 draws at the same size, ScaleSpriteRGB16 scaled,
// TestSpriteRGB16 through one general kernel; CopySpriteRGB draws only into
// 16-bit destinations.
//
// Levels are held to 0-64 and the opacity to 0-32. The alpha map is walked
// like the source: alphaRect, in the alpha map's own bounds space, must have
// the source rectangle's size (without it the source rectangle's own
// coordinates are used), and a blit whose alpha area does not lie inside an
// 8-bit alpha map is refused.
#pragma once

#include "blit/RGB16Kernels.h"
#include "blit/ScaleSprite.h"
#include "platform/QuickDraw.h"
#include "platform/RGBAColor16.h"

// An RGBAColor16 made in an argument list.
struct QuickRGBA16 : RGBAColor16 {
  QuickRGBA16(UInt16 r, UInt16 g, UInt16 b, UInt16 a) {
    red = UInt8(r);
    green = UInt8(g);
    blue = UInt8(b);
    alpha = UInt8(a);
  }
  operator RGBAColor16*() { return this; }
};

// The kernel arguments a tint gives: levels folded to 0-32 (a level above 32
// becomes 64 - level with an add term), the opacity, and the common level and
// add in spread form when the three levels are equal.
RGB16Levels DeriveRGB16Params(const RGBAColor16* rgba);

// The slot bits a tint sets: mapping when the channels differ, bright when
// they agree and are not all 32, trans when the opacity is not 32.
unsigned RGB16TintSlotBits(const RGB16Levels& l);

#define RGB16_DISPATCHER(name)                                                                               \
  void name(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect, \
            const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, RGBAColor16* rgba, UInt8 hFlip,   \
            UInt8 vFlip, char turn, const Rect* maskRect, PixMapHandle alphaMap, const Rect* alphaRect)
RGB16_DISPATCHER(CopySpriteRGB);
RGB16_DISPATCHER(CopySpriteRGB16);
RGB16_DISPATCHER(ScaleSpriteRGB16);
RGB16_DISPATCHER(TestSpriteRGB16);
#undef RGB16_DISPATCHER

// The general kernel of TestSpriteRGB16: every option decided per pixel, the
// transform always per channel, the blend always run.
void TEST16___bright___mapping___alpha___lookup___color___trans___mask(
    SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart, SInt32 srcPixStep, SInt32 srcRowPixels,
    SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32 srcRowStep, SInt32 scaleSrc, SInt32 scaleDst, UInt16* dstEnd,
    SInt32 width, SInt32 rowDir, SInt32 xShrink, SInt32 scaleErr, UInt16* lookup, SInt32 color, UInt8* alpha,
    SInt32 alphaStep, SInt32 alphaRowBytes, SInt32 alphaRowStep, UInt32 redLevel, UInt32 greenLevel, UInt32 blueLevel,
    UInt32 opacity, UInt32 redAdd, UInt32 greenAdd, UInt32 blueAdd, UInt32 brightLevel, UInt32 brightAdd);

// CopySpriteRGB16Jump and ScaleSpriteRGB16Jump are declared with their
// kernels (RGB16KernelSlots.h).
extern const JumpTable<RGB16Kernel> TestSpriteRGB16Jump;
