#include "blit/RGB16Sprite.h"

#include "blit/BasicDispatch.h"

namespace {

UInt32 FoldLevel(UInt32 level) { return level > 32 ? 64 - level : level; }

UInt32 LevelAdd(UInt32 level) {
  if (level <= 32) return 0;
  const UInt32 folded = FoldLevel(level);
  return folded == 0 ? 0x3E0 : (32 - folded) << 5;
}

// The tint applied once to a fill colour: each channel (c x level + add) >> 5.
SInt32 TintColor(UInt32 c, const RGB16Levels& l) {
  const UInt32 red = ((((c >> 10) & 31) * l.redLevel + l.redAdd) >> 5) & 31;
  const UInt32 green = ((((c >> 5) & 31) * l.greenLevel + l.greenAdd) >> 5) & 31;
  const UInt32 blue = (((c & 31) * l.blueLevel + l.blueAdd) >> 5) & 31;
  return SInt32((red << 10) | (green << 5) | blue);
}

struct AlphaWalk {
  UInt8* start = nullptr;
  SInt32 step = 0, rowBytes = 0, rowStep = 0;
};

// The alpha map walked like the source: over the alpha rectangle (or the
// source rectangle's own coordinates), trimmed as the source was.
bool PlanAlpha(const BlitPlan& p, PixMapHandle alphaMap, const Rect* alphaRect, AlphaWalk* walk) {
  if (!alphaMap) return true;
  if (!*alphaMap || (*alphaMap)->pixelSize != 8 || !(*alphaMap)->baseAddr) return false;
  Rect area = p.srcLocal;
  if (alphaRect && !MakeLocal(*alphaRect, alphaMap, &area)) return false;
  const Rect& s = p.srcLocal;
  if (area.right - area.left != s.right - s.left || area.bottom - area.top != s.bottom - s.top) return false;
  if (!RectInsidePixMap(area, alphaMap, 1)) return false;
  const Rect& t = p.srcTrimmed;
  const Rect trimmed{SInt16(area.top + (t.top - s.top)), SInt16(area.left + (t.left - s.left)),
                     SInt16(area.bottom - (s.bottom - t.bottom)), SInt16(area.right - (s.right - t.right))};
  walk->rowBytes = RowElements(alphaMap, 1);
  const WalkSteps w = WalkFromCodes(trimmed, walk->rowBytes, p.startCorner, p.pixDir, p.rowBack, p.rowDir);
  walk->start = reinterpret_cast<UInt8*>((*alphaMap)->baseAddr) + w.start;
  walk->step = w.pixStep;
  walk->rowStep = w.rowStep;
  return true;
}

void RunRGB16Blit(const JumpTable<RGB16Kernel>& table, BlitSize size, const BlitRequest& q, SInt32 mode, SInt32 color,
                  void* lookupArg, const RGBAColor16* rgba, PixMapHandle alphaMap, const Rect* alphaRect) {
  BlitPlan p;
  if (!PlanBlit(q, 16, size, &p)) return;
  UInt16* lookup = static_cast<UInt16*>(lookupArg);
  bool hasColor = false;
  if (!FoldColorAndLookup<UInt16>(&mode, &color, &hasColor, &lookup, 65536)) return;
  RGB16Levels l = DeriveRGB16Params(rgba);
  // Only levels other than 32 tint a fill colour: at 32 it is drawn as it
  // stands, bit 15 included.
  if (hasColor && (l.redLevel != 32 || l.greenLevel != 32 || l.blueLevel != 32)) {
    color = TintColor(UInt32(color) & 0xFFFF, l);
    l.redLevel = l.greenLevel = l.blueLevel = l.brightLevel = 32;
  }
  AlphaWalk alpha;
  if (!PlanAlpha(p, alphaMap, alphaRect, &alpha)) return;

  unsigned slot = RGB16TintSlotBits(l);
  if (q.mask) slot |= kFlagMask;
  if (hasColor) slot |= kFlagColor;
  if (lookup) slot |= kFlagLookup;
  if (alpha.start) slot |= kFlagAlpha;
  SInt32 scaleErr = 0, scaleSrc = 0, scaleDst = 0;
  if (size == BlitSize::Scaled) {
    // Members with an alpha map move source and alpha by plain counts.
    bool ok = false;
    scaleErr = PrepareScaleTable(p, alpha.start ? 1 : p.srcPixStep, &ok);
    if (!ok) return;
    scaleSrc = p.scaleSrc;
    scaleDst = p.scaleDst;
  }
  UInt16* srcStart = PixelAt<UInt16>(p.srcBase, p.srcStart);
  UInt16* dstStart = PixelAt<UInt16>(p.dstBase, p.dstStart);
  UInt16* maskStart = q.mask ? PixelAt<UInt16>(p.maskBase, p.maskStart) : nullptr;
  UInt16* dstEnd = dstStart + ptrdiff_t(p.dstRowPixels) * p.height;
  table[slot](mode, srcStart, dstStart, maskStart, p.srcPixStep, p.srcRowPixels, p.dstRowPixels, p.maskRowPixels,
              p.srcRowStep, scaleSrc, scaleDst, dstEnd, p.width, p.rowDir, p.xShrink, scaleErr, lookup, color,
              alpha.start, alpha.step, alpha.rowBytes, alpha.rowStep, l.redLevel, l.greenLevel, l.blueLevel, l.opacity,
              l.redAdd, l.greenAdd, l.blueAdd, l.brightLevel, l.brightAdd);
}

}  // namespace

RGB16Levels DeriveRGB16Params(const RGBAColor16* rgba) {
  RGB16Levels l{32, 32, 32, 32, 0, 0, 0, 32, 0};
  if (!rgba) return l;
  // Levels past 64 and opacities outside 0-32 would spill between channels.
  const UInt32 red = std::min<UInt32>(rgba->red, 64), green = std::min<UInt32>(rgba->green, 64);
  const UInt32 blue = std::min<UInt32>(rgba->blue, 64);
  l.opacity = UInt32(std::clamp<int>(SInt8(rgba->alpha), 0, 32));
  if (red == 32 && green == 32 && blue == 32) return l;
  l.redLevel = FoldLevel(red);
  l.greenLevel = FoldLevel(green);
  l.blueLevel = FoldLevel(blue);
  l.redAdd = LevelAdd(red);
  l.greenAdd = LevelAdd(green);
  l.blueAdd = LevelAdd(blue);
  if (red == green && green == blue) {
    l.brightLevel = l.redLevel;
    const UInt32 k = 32 - l.redLevel;
    l.brightAdd = red <= 32 ? 0 : l.redLevel == 0 ? kSpreadMask : k | k << 10 | k << 21;
  }
  return l;
}

unsigned RGB16TintSlotBits(const RGB16Levels& l) {
  unsigned bits = 0;
  if (l.opacity != 32) bits |= kFlagTrans;
  if (l.brightLevel != 32)
    bits |= kFlagBright;
  else if (l.redLevel != 32 || l.greenLevel != 32 || l.blueLevel != 32)
    bits |= kFlagMapping;
  return bits;
}

#define RGB16_PARAMS                                                                                              \
  PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect *srcRect, const Rect *dstRect,                \
      const Rect *clipRect, SInt32 mode, SInt32 color, void *lookup, RGBAColor16 *rgba, UInt8 hFlip, UInt8 vFlip, \
      char turn, const Rect *maskRect, PixMapHandle alphaMap, const Rect *alphaRect

void CopySpriteRGB16(RGB16_PARAMS) {
  RunRGB16Blit(CopySpriteRGB16Jump, BlitSize::Same, BLIT_REQUEST, mode, color, lookup, rgba, alphaMap, alphaRect);
}

void ScaleSpriteRGB16(RGB16_PARAMS) {
  RunRGB16Blit(ScaleSpriteRGB16Jump, BlitSize::Scaled, BLIT_REQUEST, mode, color, lookup, rgba, alphaMap, alphaRect);
}

void TestSpriteRGB16(RGB16_PARAMS) {
  // Modes outside 0-3 and 16-19 draw nothing, before the set-up could fold
  // them (15 would otherwise become 1).
  if (!((mode >= 0 && mode <= 3) || (mode >= 16 && mode <= 19))) return;
  RunRGB16Blit(TestSpriteRGB16Jump, BlitSize::Same, BLIT_REQUEST, mode, color, lookup, rgba, alphaMap, alphaRect);
}

void CopySpriteRGB(RGB16_PARAMS) {
  if (!dst || !*dst || (*dst)->pixelSize != 16) return;
  CopySpriteRGB16(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, rgba, hFlip, vFlip, turn, maskRect,
                  alphaMap, alphaRect);
}
