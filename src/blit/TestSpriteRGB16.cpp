#include "blit/RGB16Sprite.h"

void TEST16___bright___mapping___alpha___lookup___color___trans___mask(
    SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart, SInt32 srcPixStep, SInt32, SInt32 dstRowPixels,
    SInt32 maskRowPixels, SInt32 srcRowStep, SInt32, SInt32, UInt16* dstEnd, SInt32 width, SInt32, SInt32, SInt32,
    UInt16* lookup, SInt32 color, UInt8* alpha, SInt32 alphaStep, SInt32, SInt32 alphaRowStep, UInt32 redLevel,
    UInt32 greenLevel, UInt32 blueLevel, UInt32 opacity, UInt32 redAdd, UInt32 greenAdd, UInt32 blueAdd, UInt32,
    UInt32) {
  constexpr UInt16 K = kKey16;
  if (!((mode >= 0 && mode <= 3) || (mode >= 16 && mode <= 19))) return;
  const int key = mode & 3;
  if (key == 3 && !lookup) return;
  const bool masked = maskStart != nullptr, hasAlpha = alpha != nullptr;
  auto px = [&](UInt16 s, UInt16 d, UInt16 m, UInt8 a) -> UInt16 {
    if (masked && (mode >= 16 ? m == K : m != K)) return d;
    if ((key == 1 || key == 2) && s == K) return d;
    if (key == 2 && d == K) return d;
    UInt32 v = s;
    if (key == 3) {
      v = lookup[s];
      if (v == K) return d;
    } else if (lookup) {
      v = lookup[s];
    }
    const UInt32 red = ((((v >> 10) & 31) * redLevel + redAdd) >> 5);
    const UInt32 green = ((((v >> 5) & 31) * greenLevel + greenAdd) >> 5);
    const UInt32 blue = (((v & 31) * blueLevel + blueAdd) >> 5);
    UInt32 x = blue | red << 10 | green << 21;
    if (color != -1) x = Spread(UInt32(color));
    const UInt32 w = hasAlpha ? (UInt32(a) * opacity) >> 5 : opacity;  // bytes above 32 as they come
    return Fold(BlendSpread(x, Spread(d), w));
  };
  const CopyWalkArgs args{srcPixStep, dstRowPixels, maskRowPixels, srcRowStep, width, alphaStep, alphaRowStep};
  if (masked && hasAlpha)
    CopyWalk<UInt16, true, true>(px, srcStart, dstStart, maskStart, alpha, dstEnd, args);
  else if (masked)
    CopyWalk<UInt16, true, false>(px, srcStart, dstStart, maskStart, nullptr, dstEnd, args);
  else if (hasAlpha)
    CopyWalk<UInt16, false, true>(px, srcStart, dstStart, nullptr, alpha, dstEnd, args);
  else
    CopyWalk<UInt16, false, false>(px, srcStart, dstStart, nullptr, nullptr, dstEnd, args);
}

namespace {

template <size_t... I>
constexpr JumpTable<RGB16Kernel> EverySlot(std::index_sequence<I...>) {
  return JumpTable<RGB16Kernel>{((void)I, &TEST16___bright___mapping___alpha___lookup___color___trans___mask)...};
}

}  // namespace

const JumpTable<RGB16Kernel> TestSpriteRGB16Jump = EverySlot(std::make_index_sequence<kJumpSlots>{});
