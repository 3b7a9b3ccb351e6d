// The scaled 16-bit effect kernels' own contract: rows by the error walk,
// cumulative run ends, the worked values of the scaled alpha blend, and the
// worked values of every recolouring group, called slot by slot.
#include <gtest/gtest.h>

#include "BlitTestPixMap.h"
#include "blit/RGB16Sprite.h"
#include "support/TestSeed.h"

namespace {

// Calls a scaled 16-bit effect kernel on a column of source rows 0..7 (each
// pixel holds its row number) with the given row scaling.
std::vector<UInt16> ScaledRows(SInt32 srcSpan, SInt32 dstSpan, SInt32 rowError, int dstRows) {
  std::vector<UInt16> src(8), dst(size_t(dstRows), 0x7777);
  for (int i = 0; i < 8; ++i) src[size_t(i)] = UInt16(i);
  EnsureScaleTable(4);
  scaleTABLE[0] = 1;
  scaleTABLE[1] = 0;
  ScaleSpriteRGB16Jump[0](0, src.data(), dst.data(), nullptr, 1, 1, 1, 0, 0, srcSpan, dstSpan, dst.data() + dstRows, 1,
                          0, 0, rowError, nullptr, -1, nullptr, 0, 0, 0, 32, 32, 32, 32, 0, 0, 0, 32, 0);
  return dst;
}

TEST(ScaleRGB16Kernels, RowsFollowTheErrorWalk) {
  EXPECT_EQ(ScaledRows(4, 8, 2, 8), (std::vector<UInt16>{0, 0, 1, 1, 2, 2, 3, 3}));
  EXPECT_EQ(ScaledRows(8, 4, 4, 4), (std::vector<UInt16>{0, 3, 5, 7}));
}

TEST(ScaleRGB16Kernels, RunEndsAreCumulative) {
  // A zero entry still draws one pixel, and the run after it is one shorter.
  UInt16 src[4] = {10, 11, 12, 13}, dst[4] = {};
  EnsureScaleTable(8);
  const SInt32 runs[5] = {1, 0, 2, 1, 0};
  std::copy(runs, runs + 5, scaleTABLE);
  ScaleSpriteRGB16Jump[0](0, src, dst, nullptr, 1, 4, 4, 0, 0, 1, 1, dst + 4, 4, 0, 0, 0, nullptr, -1, nullptr, 0, 0, 0,
                          32, 32, 32, 32, 0, 0, 0, 32, 0);
  EXPECT_EQ(std::vector<UInt16>(dst, dst + 4), (std::vector<UInt16>{10, 11, 12, 13}));
  // The basic scale kernels end each run its entry after it began.
  std::fill(dst, dst + 4, 0);
  ScaleSprite16Jump[0](0, src, dst, nullptr, 1, 4, 4, 0, 0, 1, 1, dst + 4, 4, 0, 0, 0, nullptr, -1, nullptr);
  EXPECT_EQ(std::vector<UInt16>(dst, dst + 4), (std::vector<UInt16>{10, 11, 12, 12}));
}

TEST(ScaleRGB16Kernels, NothingDrawnAtTheEndOrWithoutWidth) {
  UInt16 src[2] = {1, 2}, dst[2] = {9, 9};
  EnsureScaleTable(4);
  scaleTABLE[0] = 1;
  scaleTABLE[1] = 1;
  ScaleSpriteRGB16Jump[0](0, src, dst, nullptr, 1, 2, 2, 0, 0, 1, 1, dst, 2, 0, 0, 0, nullptr, -1, nullptr, 0, 0, 0, 32,
                          32, 32, 32, 0, 0, 0, 32, 0);
  ScaleSpriteRGB16Jump[0](0, src, dst, nullptr, 1, 2, 2, 0, 0, 1, 1, dst + 2, 0, 0, 0, 0, nullptr, -1, nullptr, 0, 0, 0,
                          32, 32, 32, 32, 0, 0, 0, 32, 0);
  EXPECT_EQ(dst[0], 9);
  EXPECT_EQ(dst[1], 9);
}

struct AlphaCase {
  UInt16 v, d;
  int alphaByte, opacity;
  UInt16 expected;
};

TEST(ScaleRGB16Alpha, WorkedValues) {
  const AlphaCase cases[] = {
      {0x7C00, 0x0000, 16, 32, 0x3C00}, {0x0000, 0x7FFF, 1, 32, 0x7BDE},
      {0x7FFF, 0x0000, 1, 32, 0x0000},  {0x5678, 0x1234, 20, 32, UInt16(14 << 10 | 18 << 5 | 22)},
      {0x5678, 0x1234, 0, 32, 0x1234},  {0x5678, 0x1234, 32, 32, 0x5678},
      {0x7C00, 0x001F, 32, 16, 0x3C0F}, {0x7C00, 0x001F, 24, 8, 0x1419},
      {0x03E0, 0x7C00, 32, 0, 0x7C00},
  };
  for (const AlphaCase& c : cases) {
    // A 1 x 1 sprite enlarged to 3 x 2: every pixel takes the one source
    // pixel and its one alpha byte.
    TestPixMap src(16, 1, 1), dst(16, 3, 2), alpha(8, 1, 1);
    src.Set(0, 0, c.v);
    dst.Fill(c.d);
    alpha.Set(0, 0, UInt32(c.alphaByte));
    QuickRGBA16 rgba(32, 32, 32, UInt16(c.opacity));
    const Rect s = src.Bounds(), d = dst.Bounds();
    ScaleSpriteRGB16(src.Handle(), dst.Handle(), nullptr, &s, &d, nullptr, 0, -1, nullptr, rgba, 0, 0, 0, nullptr,
                     alpha.Handle(), nullptr);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(dst.Get(x, y), c.expected)
            << std::hex << c.v << " over " << c.d << " alpha " << std::dec << c.alphaByte << " opacity " << c.opacity;
  }
}

// Kernel arguments: the levels and adds of each channel, the opacity, and the
// common brightness level and add.
RGB16Levels Words(UInt32 r, UInt32 g, UInt32 b, UInt32 ra = 0, UInt32 ga = 0, UInt32 ba = 0, UInt32 opacity = 32) {
  return RGB16Levels{r, g, b, opacity, ra, ga, ba, 32, 0};
}
RGB16Levels Bright(UInt32 level, UInt32 add, UInt32 opacity = 32) {
  return RGB16Levels{32, 32, 32, opacity, 0, 0, 0, level, add};
}
constexpr UInt32 kEach16 = 16 | 16 << 10 | 16 << 21;
constexpr UInt16 Rgb(UInt32 r, UInt32 g, UInt32 b) { return UInt16(r << 10 | g << 5 | b); }

struct KernelCase {
  const char* what;
  unsigned slot;
  SInt32 mode;
  UInt16 s, d;
  int alphaByte;
  RGB16Levels l;
  UInt16 expected;
};

// The lookup table of the lookup rows: the identity, except that entry
// 0x001F holds the key colour and entry 0x7FFF holds pure green.
const std::vector<UInt16>& WorkedLookup() {
  static const std::vector<UInt16> table = [] {
    std::vector<UInt16> t(32768);
    for (size_t i = 0; i < t.size(); ++i) t[i] = UInt16(i);
    t[0x001F] = 0x7FFF;
    t[0x7FFF] = 0x03E0;
    return t;
  }();
  return table;
}

// One source pixel through a slot: same-size onto one pixel, and scaled (a
// run of two) onto two.
void ExpectKernelCase(const KernelCase& c) {
  UInt16* lookup = const_cast<UInt16*>(WorkedLookup().data());
  const RGB16Levels& l = c.l;
  {
    UInt16 src[1] = {c.s}, dst[1] = {c.d};
    UInt8 alpha[1] = {UInt8(c.alphaByte)};
    CopySpriteRGB16Jump[c.slot](c.mode, src, dst, nullptr, 1, 1, 1, 0, 0, 0, 0, dst + 1, 1, 0, 0, 0, lookup, -1, alpha,
                                1, 1, 0, l.redLevel, l.greenLevel, l.blueLevel, l.opacity, l.redAdd, l.greenAdd,
                                l.blueAdd, l.brightLevel, l.brightAdd);
    EXPECT_EQ(dst[0], c.expected) << c.what << " (same size, slot " << c.slot << ") got " << std::hex << dst[0];
  }
  {
    UInt16 src[1] = {c.s}, dst[2] = {c.d, c.d};
    UInt8 alpha[1] = {UInt8(c.alphaByte)};
    EnsureScaleTable(4);
    scaleTABLE[0] = 2;
    scaleTABLE[1] = 0;
    ScaleSpriteRGB16Jump[c.slot](c.mode, src, dst, nullptr, 1, 1, 2, 0, 0, 1, 1, dst + 2, 2, 0, 0, 0, lookup, -1, alpha,
                                 1, 1, 0, l.redLevel, l.greenLevel, l.blueLevel, l.opacity, l.redAdd, l.greenAdd,
                                 l.blueAdd, l.brightLevel, l.brightAdd);
    EXPECT_EQ(dst[0], c.expected) << c.what << " (scaled, slot " << c.slot << ") got " << std::hex << dst[0];
    EXPECT_EQ(dst[1], c.expected) << c.what << " (scaled, slot " << c.slot << ") got " << std::hex << dst[1];
  }
}

constexpr unsigned kMap = kFlagMapping, kBri = kFlagBright, kAl = kFlagAlpha, kLu = kFlagLookup, kTr = kFlagTrans;

TEST(RGB16Recolouring, PlainAlphaWorkedValuesWithBit15) {
  const KernelCase cases[] = {
      {"source bit 15 at byte 16", kAl, 0, 0x8000, 0x0000, 16, Words(32, 32, 32), 0x4000},
      {"source bit 15 at byte 32", kAl, 0, 0x8000, 0x0000, 32, Words(32, 32, 32), 0x0000},
      {"destination bit 15 at byte 16", kAl, 0, 0x0000, 0x8000, 16, Words(32, 32, 32), 0x4000},
      {"destination bit 15 at byte 0", kAl, 0, 0x0000, 0x8000, 0, Words(32, 32, 32), 0x0000},
      {"byte 16 with opacity 16 blends at 8", kAl | kTr, 0, 0x7C00, 0x0000, 16, Words(32, 32, 32, 0, 0, 0, 16), 0x1C00},
  };
  for (const KernelCase& c : cases) ExpectKernelCase(c);
}

TEST(RGB16Recolouring, MappingWorkedValues) {
  const RGB16Levels v402408 = Words(24, 24, 8, 256, 0, 0), v164864 = Words(16, 16, 0, 0, 512, 992);
  auto withOpacity = [](RGB16Levels l, UInt32 o) {
    l.opacity = o;
    return l;
  };
  const KernelCase cases[] = {
      {"40/24/8", kMap, 0, 0x5678, 0x1234, 0, v402408, Rgb(23, 14, 6)},
      {"16/48/64", kMap, 0, 0x7C00, 0x1234, 0, v164864, Rgb(15, 16, 31)},
      {"0/32/64", kMap, 0, 0x1234, 0x0000, 0, Words(0, 32, 0, 0, 0, 992), Rgb(0, 17, 31)},
      {"32/32/32 clears bit 15", kMap, 0, 0xFFFF, 0x0000, 0, Words(32, 32, 32), 0x7FFF},
      {"64/64/63 gives the key colour", kMap, 0, 0x0000, 0x1234, 0, Words(0, 0, 1, 992, 992, 992), 0x7FFF},
      {"40/24/8 at opacity 16", kMap | kTr, 0, 0x5678, 0x1234, 0, withOpacity(v402408, 16), Rgb(13, 15, 13)},
      {"40/24/8 at opacity 0", kMap | kTr, 0, 0x5678, 0x1234, 0, withOpacity(v402408, 0), 0x1234},
      {"40/24/8 at opacity 32", kMap | kTr, 0, 0x5678, 0x1234, 0, withOpacity(v402408, 32), Rgb(23, 14, 6)},
      {"16/48/64 at opacity 8", kMap | kTr, 0, 0x7C00, 0x03FF, 0, withOpacity(v164864, 8), Rgb(3, 27, 31)},
      {"over destination bit 15", kMap | kTr, 0, 0x5678, 0x9234, 0, withOpacity(v402408, 16), Rgb(29, 15, 13)},
      // through an alpha map
      {"alpha 32", kMap | kAl, 0, 0x5678, 0x1234, 32, v402408, 0x5DC6},
      {"alpha 16", kMap | kAl, 0, 0x5678, 0x1234, 16, v402408, Rgb(13, 15, 13)},
      {"alpha 0", kMap | kAl, 0, 0x5678, 0x1234, 0, v402408, 0x1234},
      {"alpha 16, opacity 16", kMap | kAl | kTr, 0, 0x5678, 0x1234, 16, withOpacity(v402408, 16), 0x2210},
      {"alpha 32, opacity 24", kMap | kAl | kTr, 0, 0x5678, 0x1234, 32, withOpacity(v402408, 24), 0x49C9},
      {"alpha 20, opacity 20", kMap | kAl | kTr, 0, 0x5678, 0x1234, 20, withOpacity(v402408, 20), 0x2DEE},
      {"16/48/64 at alpha 8", kMap | kAl, 0, 0x7C00, 0x03FF, 8, v164864, 0x0F7F},
      {"alpha 16 over bit 15", kMap | kAl, 0, 0x5678, 0x9234, 16, v402408, 0x75ED},
      {"64/64/63 at alpha 32", kMap | kAl, 0, 0x0000, 0x1234, 32, Words(0, 0, 1, 992, 992, 992), 0x7FFF},
      {"mapped red over bit 15", kMap | kAl, 0, 0x7C00, 0x8000, 16, Words(32, 0, 0), 0x7C00},
      {"mapped red over 0", kMap | kAl, 0, 0x7C00, 0x0000, 16, Words(32, 0, 0), 0x3C00},
      // through a lookup table and an alpha map
      {"mode 1 skips the key source", kMap | kAl | kLu, 1, 0x7FFF, 0x1234, 32, Words(16, 32, 8), 0x1234},
      {"mode 1 draws a key entry", kMap | kAl | kLu, 1, 0x001F, 0x1234, 32, Words(16, 32, 8), 0x3FE7},
      {"mode 3 draws the key source", kMap | kAl | kLu, 3, 0x7FFF, 0x1234, 32, Words(16, 32, 8), 0x03E0},
      {"mode 3 skips a key entry", kMap | kAl | kLu, 3, 0x001F, 0x1234, 32, Words(16, 32, 8), 0x1234},
      {"mode 0 key source at 16", kMap | kAl | kLu, 0, 0x7FFF, 0x0000, 16, Words(16, 32, 8), 0x01E0},
      {"mode 0 key entry at 16", kMap | kAl | kLu, 0, 0x001F, 0x0000, 16, Words(16, 32, 8), 0x1DE3},
      {"mode 2 spares a key destination", kMap | kAl | kLu, 2, 0x0400, 0x7FFF, 32, Words(16, 32, 8), 0x7FFF},
      {"mode 3 draws over a key destination", kMap | kAl | kLu, 3, 0x0400, 0x7FFF, 32, Words(16, 32, 8), 0x0000},
      {"24/12/32 at 20", kMap | kAl | kLu, 0, 0x5678, 0x1234, 20, Words(24, 12, 32), 0x2956},
      {"red add 512", kMap | kAl | kLu, 0, 0x0000, 0x0000, 32, Words(16, 32, 8, 512), 0x4000},
      {"opacity 16", kMap | kAl | kLu | kTr, 0, 0x7C00, 0x0000, 32, Words(16, 32, 8, 0, 0, 0, 16), 0x1C00},
  };
  for (const KernelCase& c : cases) ExpectKernelCase(c);
}

TEST(RGB16Recolouring, BrightnessWorkedValues) {
  const KernelCase cases[] = {
      {"level 16", kBri, 0, 0x7FFF, 0x0000, 0, Bright(16, 0), 0x3DEF},
      {"level 16, mode 1 skips the key", kBri, 1, 0x7FFF, 0x1234, 0, Bright(16, 0), 0x1234},
      {"level 64", kBri, 0, 0x1234, 0x0000, 0, Bright(0, kSpreadMask), 0x7FFF},
      {"level 0", kBri, 0, 0x1234, 0x7FFF, 0, Bright(0, 0), 0x0000},
      {"level 48 on black", kBri, 0, 0x0000, 0x1234, 0, Bright(16, kEach16), 0x4210},
      {"level 48 on white", kBri, 0, 0x7FFF, 0x1234, 0, Bright(16, kEach16), 0x7FFF},
      {"source 0x8000 at 16", kBri, 0, 0x8000, 0x0000, 0, Bright(16, 0), 0x4000},
      {"source 0xFC00 at 16", kBri, 0, 0xFC00, 0x0000, 0, Bright(16, 0), 0x7C00},
      {"over bit 15 at opacity 16", kBri | kTr, 0, 0x0000, 0x8000, 0, Bright(16, 0, 16), 0x4000},
      {"over bit 15 at opacity 0", kBri | kTr, 0, 0x0000, 0x8000, 0, Bright(16, 0, 0), 0x0000},
      {"over bit 15 at opacity 32", kBri | kTr, 0, 0x0000, 0x8000, 0, Bright(16, 0, 32), 0x0000},
      {"white over bit 15 at opacity 8", kBri | kTr, 0, 0x7FFF, 0x8000, 0, Bright(16, 0, 8), Rgb(27, 3, 3)},
      {"white over black at opacity 8", kBri | kTr, 0, 0x7FFF, 0x0000, 0, Bright(16, 0, 8), 0x0C63},
      // through an alpha map
      {"red at 16, alpha 16", kBri | kAl, 0, 0x7C00, 0x0000, 16, Bright(16, 0), 0x1C00},
      {"black at 16 over grey, alpha 8", kBri | kAl, 0, 0x0000, 0x4210, 8, Bright(16, 0), 0x318C},
      {"level 48, alpha 32", kBri | kAl, 0, 0x2108, 0x0000, 32, Bright(16, kEach16), 0x5294},
      {"level 24, alpha 20", kBri | kAl, 0, 0x5678, 0x1234, 20, Bright(24, 0), Rgb(10, 15, 18)},
      {"alpha 0", kBri | kAl, 0, 0x7FFF, 0x1234, 0, Bright(24, 0), 0x1234},
      {"level 64, alpha 32", kBri | kAl, 0, 0x7FFF, 0x0000, 32, Bright(0, kSpreadMask), 0x7FFF},
      // through a lookup table and an alpha map
      {"mode 1 skips the key source", kBri | kAl | kLu, 1, 0x7FFF, 0x1234, 32, Bright(16, 0), 0x1234},
      {"mode 1 draws a key entry", kBri | kAl | kLu, 1, 0x001F, 0x1234, 32, Bright(16, 0), 0x3DEF},
      {"mode 3 draws the key source", kBri | kAl | kLu, 3, 0x7FFF, 0x1234, 32, Bright(16, 0), 0x01E0},
      {"mode 3 skips a key entry", kBri | kAl | kLu, 3, 0x001F, 0x1234, 32, Bright(16, 0), 0x1234},
      {"mode 0 key source, level 32", kBri | kAl | kLu, 0, 0x7FFF, 0x0000, 16, Bright(32, 0), 0x01E0},
      {"mode 0 key entry, level 32", kBri | kAl | kLu, 0, 0x001F, 0x0000, 16, Bright(32, 0), 0x3DEF},
      {"mode 2 spares a key destination", kBri | kAl | kLu, 2, 0x0400, 0x7FFF, 32, Bright(16, 0), 0x7FFF},
      {"mode 3 draws over a key destination", kBri | kAl | kLu, 3, 0x0400, 0x7FFF, 32, Bright(16, 0), 0x0000},
  };
  for (const KernelCase& c : cases) ExpectKernelCase(c);
}

}  // namespace

namespace {

// The lane form of a member's rule gives the spread form's pixel wherever the
// walks may use it: weights 0-32, the dispatcher's levels and adds, bit 15
// in either pixel.
template <unsigned Slot, int Key, bool HasAdd>
void ExpectLanesAgree(std::mt19937& rng, const RGB16Levels& l, UInt32 color) {
  const RGB16Rule<Slot, Key, false, HasAdd> rule(WorkedLookup().data(), color, l);
  ASSERT_TRUE(rule.lanes) << "slot " << Slot;
  for (int i = 0; i < 4000; ++i) {
    const UInt16 s = UInt16((Slot & kFlagLookup) ? rng() & 0x7FFF : rng()), d = UInt16(rng());
    const UInt8 a = UInt8(rng() % 33);
    ASSERT_EQ(rule.Lanes(s, d, 0x7FFF, a), rule(s, d, 0x7FFF, a))
        << "slot " << Slot << std::hex << " s " << s << " d " << d << std::dec << " a " << int(a) << " opacity "
        << l.opacity;
  }
}

TEST(RGB16Lanes, AgreeWithTheSpreadForm) {
  const TestSeed seed(3);
  SCOPED_TRACE(seed.note);
  std::mt19937 rng(seed.value);
  for (int v : {0, 1, 15, 16, 31, 33, 40, 48, 63, 64}) {
    for (UInt32 opacity : {0u, 1u, 8u, 16u, 31u, 32u}) {
      QuickRGBA16 bright{UInt16(v), UInt16(v), UInt16(v), UInt16(opacity)};
      const RGB16Levels b = DeriveRGB16Params(bright);
      ExpectLanesAgree<kFlagTrans, 0, false>(rng, b, 0xFFFFFFFF);
      ExpectLanesAgree<kFlagAlpha, 0, false>(rng, b, 0xFFFFFFFF);
      ExpectLanesAgree<kFlagAlpha | kFlagTrans, 0, false>(rng, b, 0xFFFFFFFF);
      ExpectLanesAgree<kFlagColor | kFlagTrans, 0, false>(rng, b, UInt32(rng() & 0xFFFF));
      ExpectLanesAgree<kFlagColor | kFlagAlpha, 0, false>(rng, b, UInt32(rng() & 0xFFFF));
      if (b.brightLevel != 32) {
        ExpectLanesAgree<kFlagBright, 0, true>(rng, b, 0xFFFFFFFF);
        ExpectLanesAgree<kFlagBright | kFlagTrans, 0, true>(rng, b, 0xFFFFFFFF);
        ExpectLanesAgree<kFlagBright | kFlagAlpha | kFlagLookup, 3, true>(rng, b, 0xFFFFFFFF);
      }
      QuickRGBA16 mapping{UInt16(v), UInt16(64 - v), UInt16((v * 7) % 65), UInt16(opacity)};
      const RGB16Levels m = DeriveRGB16Params(mapping);
      if (RGB16TintSlotBits(m) & kFlagMapping) {
        ExpectLanesAgree<kFlagMapping, 0, true>(rng, m, 0xFFFFFFFF);
        ExpectLanesAgree<kFlagMapping | kFlagTrans, 1, true>(rng, m, 0xFFFFFFFF);
        ExpectLanesAgree<kFlagMapping | kFlagAlpha | kFlagTrans | kFlagLookup, 0, true>(rng, m, 0xFFFFFFFF);
      }
    }
  }
}

}  // namespace
