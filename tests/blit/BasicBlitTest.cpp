// Fixed cases of the copy, scale, effect and test blits: orientations, the
// refusals, colour and lookup folding, key colours and the scale tables.
#include <gtest/gtest.h>

#include <string>

#include "BlitTestPixMap.h"
#include "blit/CopySprite.h"
#include "blit/EffectSprite.h"
#include "blit/Lookup8.h"
#include "blit/ScaleSprite.h"
#include "blit/TestSprite.h"
#include "support/TestSeed.h"

namespace {

// A 3 x 2 source "abc" over "def" (pixel values 'a'..'f').
TestPixMap Letters() {
  TestPixMap src(8, 3, 2);
  const char* rows[2] = {"abc", "def"};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.Set(x, y, UInt8(rows[y][x]));
  return src;
}

std::string Rows(const TestPixMap& pm) {
  std::string out;
  for (int y = 0; y < pm.Height(); ++y) {
    if (y) out += ' ';
    for (int x = 0; x < pm.Width(); ++x) out += char(pm.Get(x, y));
  }
  return out;
}

}  // namespace

TEST(CopySprite, ShowsTheSourceTurnedThenMirrored) {
  struct Case {
    int turn, hFlip, vFlip;
    const char* rows;
  };
  const Case cases[] = {
      {0, 0, 0, "abc def"},  {1, 0, 0, "da eb fc"}, {2, 0, 0, "fed cba"}, {3, 0, 0, "cf be ad"},
      {1, 1, 0, "ad be cf"}, {0, 0, 1, "def abc"},  {0, 1, 0, "cba fed"}, {2, 1, 1, "abc def"},
  };
  TestPixMap src = Letters();
  for (const Case& c : cases) {
    const bool odd = c.turn & 1;
    TestPixMap dst(8, odd ? 2 : 3, odd ? 3 : 2);
    const Rect s = RectAt(0, 0, 3, 2), d = dst.Bounds();
    CopySprite(src.Handle(), dst.Handle(), nullptr, &s, &d, nullptr, 0, -1, nullptr, nullptr, c.hFlip, c.vFlip,
               char(c.turn), nullptr);
    EXPECT_EQ(Rows(dst), c.rows) << c.turn << c.hFlip << c.vFlip;
  }
}

TEST(CopySprite, RefusesWithoutDrawing) {
  TestPixMap src(16, 10, 20), dst(16, 20, 20), other(8, 20, 20), mask(16, 4, 4);
  src.Fill(0x1234);
  const Rect s = RectAt(0, 0, 10, 20), d = RectAt(0, 0, 10, 20), turned = RectAt(0, 0, 20, 10);
  const Rect outside = RectAt(30, 30, 10, 20), farClip = RectAt(50, 50, 5, 5), sticksOut = RectAt(1, 0, 10, 20);
  struct Case {
    const char* what;
    PixMapHandle src, dst, mask;
    const Rect *srcRect, *dstRect, *clip;
    char turn;
    bool copyOnly;  // scaled blits draw any shape
  };
  const Case cases[] = {
      {"no source", nullptr, dst.Handle(), nullptr, &s, &d, nullptr, 0, false},
      {"no destination", src.Handle(), nullptr, nullptr, &s, &d, nullptr, 0, false},
      {"quarter turn into the same shape", src.Handle(), dst.Handle(), nullptr, &s, &d, nullptr, 1, true},
      {"half turn into the turned shape", src.Handle(), dst.Handle(), nullptr, &s, &turned, nullptr, 2, true},
      {"destination off the pixel map", src.Handle(), dst.Handle(), nullptr, &s, &outside, nullptr, 0, false},
      {"clip missing the destination", src.Handle(), dst.Handle(), nullptr, &s, &d, &farClip, 0, false},
      {"source sticking out", src.Handle(), dst.Handle(), nullptr, &sticksOut, &d, nullptr, 0, false},
      {"source of another depth", other.Handle(), dst.Handle(), nullptr, &s, &d, nullptr, 0, false},
      {"mask smaller than the visible area", src.Handle(), dst.Handle(), mask.Handle(), &s, &d, nullptr, 0, false},
  };
  const auto before = dst.Storage();
  for (const Case& c : cases) {
    CopySprite16(c.src, c.dst, c.mask, c.srcRect, c.dstRect, c.clip, 0, -1, nullptr, nullptr, 0, 0, c.turn, nullptr);
    EXPECT_EQ(dst.Storage(), before) << c.what;
    if (c.copyOnly) continue;
    ScaleSprite16(c.src, c.dst, c.mask, c.srcRect, c.dstRect, c.clip, 0, -1, nullptr, nullptr, 0, 0, c.turn, nullptr);
    EXPECT_EQ(dst.Storage(), before) << c.what;
  }
  // A quarter turn needs the turned shape.
  CopySprite16(src.Handle(), dst.Handle(), nullptr, &s, &turned, nullptr, 0, -1, nullptr, nullptr, 0, 0, 1, nullptr);
  EXPECT_EQ(dst.Get(19, 9), 0x1234u);
}

TEST(CopySprite, PicksTheDepthFromTheDestination) {
  TestPixMap src8(8, 2, 1), dst8(8, 2, 1), src24(32, 2, 1), dst24(32, 2, 1);
  src8.Fill(7);
  src24.Fill(7);
  PixMap* odd = *dst24.Handle();
  odd->pixelSize = 24;
  (*src24.Handle())->pixelSize = 24;
  const Rect r = RectAt(0, 0, 2, 1);
  CopySprite(src8.Handle(), dst8.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr);
  CopySprite(src24.Handle(), dst24.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(dst8.Get(1, 0), 7u);
  EXPECT_EQ(dst24.Get(1, 0), 0u);  // only 8, 16 and 32 bits are drawn
}

TEST(CopySprite, KeyColoursAreWholeValues) {
  struct Case {
    int depth;
    UInt32 key, nearKey;
  };
  for (const Case& c : {Case{8, 0, 0x80}, Case{16, 0x7FFF, 0xFFFF}, Case{32, 0x00FFFFFF, 0xFFFFFFFF}}) {
    TestPixMap src(c.depth, 2, 1), dst(c.depth, 2, 1);
    src.Set(0, 0, c.key);
    src.Set(1, 0, c.nearKey);
    dst.Fill(3);
    const Rect r = RectAt(0, 0, 2, 1);
    CopySprite(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 1, -1, nullptr, nullptr, 0, 0, 0, nullptr);
    EXPECT_EQ(dst.Get(0, 0), 3u) << c.depth;
    EXPECT_EQ(dst.Get(1, 0), c.nearKey) << c.depth;
  }
}

TEST(CopySprite, ColourAndLookupFolding) {
  TestPixMap src(16, 4, 1), dst(16, 4, 1);
  const UInt16 pixels[4] = {1, 2, 0x7FFF, 3};
  for (int x = 0; x < 4; ++x) src.Set(x, 0, pixels[x]);
  std::vector<UInt16> lookup(65536);
  for (size_t i = 0; i < lookup.size(); ++i) lookup[i] = UInt16(i + 100);
  lookup[2] = 0x7FFF;
  const Rect r = RectAt(0, 0, 4, 1);
  auto draw = [&](SInt32 mode, SInt32 color, void* table) {
    dst.Fill(9);
    CopySprite16(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, mode, color, table, nullptr, 0, 0, 0, nullptr);
    return std::vector<UInt32>{dst.Get(0, 0), dst.Get(1, 0), dst.Get(2, 0), dst.Get(3, 0)};
  };
  // A colour with a table draws the table's entry for it, mode 3 becoming 1.
  EXPECT_EQ(draw(0, 5, lookup.data()), (std::vector<UInt32>{105, 105, 105, 105}));
  EXPECT_EQ(draw(3, 5, lookup.data()), (std::vector<UInt32>{105, 105, 9, 105}));
  // Mode 3 with a table tests the looked-up value.
  EXPECT_EQ(draw(3, -1, lookup.data()), (std::vector<UInt32>{101, 9, 0x7FFF + 100, 103}));
  // Without a table mode 3 is mode 1, and 0x13 is 0x11 (which needs a mask).
  EXPECT_EQ(draw(3, -1, nullptr), draw(1, -1, nullptr));
  EXPECT_EQ(draw(0x13, -1, nullptr), (std::vector<UInt32>{9, 9, 9, 9}));

  // A 32-bit entry of 0xFFFFFFFF still fills.
  TestPixMap src32(32, 2, 1), dst32(32, 2, 1);
  std::vector<UInt32> lookup32(16, 0xFFFFFFFF);
  const Rect r2 = RectAt(0, 0, 2, 1);
  CopySprite32(src32.Handle(), dst32.Handle(), nullptr, &r2, &r2, nullptr, 0, 3, lookup32.data(), nullptr, 0, 0, 0,
               nullptr);
  ScaleSprite32(src32.Handle(), dst32.Handle(), nullptr, &r2, &r2, nullptr, 0, 3, lookup32.data(), nullptr, 0, 0, 0,
                nullptr);
  EXPECT_EQ(dst32.Get(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(dst32.Get(1, 0), 0xFFFFFFFFu);

  // A colour that indexes past an 8-bit table is refused.
  TestPixMap src8(8, 2, 1), dst8(8, 2, 1);
  std::vector<UInt8> lookup8(256, 44);
  CopySprite8(src8.Handle(), dst8.Handle(), nullptr, &r2, &r2, nullptr, 0, 300, lookup8.data(), nullptr, 0, 0, 0,
              nullptr);
  EXPECT_EQ(dst8.Get(0, 0), 0u);
  CopySprite8(src8.Handle(), dst8.Handle(), nullptr, &r2, &r2, nullptr, 0, 255, lookup8.data(), nullptr, 0, 0, 0,
              nullptr);
  EXPECT_EQ(dst8.Get(0, 0), 44u);
}

TEST(CopySprite, TranslucencyTableIsEightBitOnly) {
  TestPixMap src(8, 1, 1), dst(8, 1, 1);
  src.Set(0, 0, 3);
  dst.Set(0, 0, 5);
  std::vector<UInt8> trans(65536, 0);
  trans[0x305] = 77;
  const Rect r = RectAt(0, 0, 1, 1);
  CopySprite8(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, trans.data(), 0, 0, 0, nullptr);
  EXPECT_EQ(dst.Get(0, 0), 77u);

  TestPixMap src16(16, 1, 1), dst16(16, 1, 1);
  src16.Set(0, 0, 3);
  CopySprite16(src16.Handle(), dst16.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, trans.data(), 0, 0, 0,
               nullptr);
  EXPECT_EQ(dst16.Get(0, 0), 3u);
}

TEST(CopyKernels, ContractCornersTheDispatchersNeverReach) {
  UInt16 src[4] = {1, 2, 3, 4}, dst[4] = {9, 9, 9, 9}, mask[4] = {0x7FFF, 0, 0x7FFF, 0};
  std::vector<UInt16> lookup(65536, 0x7FFF);
  auto run = [&](unsigned slot, SInt32 mode, SInt32 width, UInt16* end, UInt16* table) {
    std::fill(dst, dst + 4, UInt16(9));
    CopySprite16Jump[slot](mode, src, dst, mask, 1, 4, 4, 4, 0, 0, 0, end, width, 0, 0, 0, table, 5, nullptr);
  };
  run(0, 4, 4, dst + 4, nullptr);  // a mode it does not handle
  EXPECT_EQ(dst[0], 9);
  run(0, 17, 4, dst + 4, nullptr);  // a masked mode without a mask
  EXPECT_EQ(dst[0], 9);
  run(0, 0, 0, dst + 4, nullptr);  // no width
  EXPECT_EQ(dst[0], 9);
  run(0, 0, 4, dst, nullptr);  // start at the end
  EXPECT_EQ(dst[0], 9);
  run(4, 3, 4, dst + 4, nullptr);  // a colour in mode 3 without a table
  EXPECT_EQ(dst[0], 9);
  run(1, 16, 4, dst + 4, nullptr);  // the inverted mask test
  EXPECT_EQ(std::vector<UInt16>(dst, dst + 4), (std::vector<UInt16>{9, 2, 9, 4}));
  // Mode 3 over a key destination: the lookup-and-mask member writes, the
  // colour-and-mask member does not.
  std::fill(lookup.begin(), lookup.end(), UInt16(8));
  UInt16 keyDst[1] = {0x7FFF};
  CopySprite16Jump[9](3, src, keyDst, mask, 1, 1, 1, 1, 0, 0, 0, keyDst + 1, 1, 0, 0, 0, lookup.data(), 5, nullptr);
  EXPECT_EQ(keyDst[0], 8);
  keyDst[0] = 0x7FFF;
  CopySprite16Jump[5](3, src, keyDst, mask, 1, 1, 1, 1, 0, 0, 0, keyDst + 1, 1, 0, 0, 0, lookup.data(), 5, nullptr);
  EXPECT_EQ(keyDst[0], 0x7FFF);
}

TEST(ScaleTable, FormsOfTheWorkedCases) {
  InitScaleTable();
  SInt32 rowErr = 0;
  const Rect four = RectAt(0, 0, 4, 4), eight = RectAt(0, 0, 8, 8);
  BuildScaleTable(&four, &eight, nullptr, 0, 1, scaleTABLE, &rowErr);
  EXPECT_EQ(std::vector<SInt32>(scaleTABLE, scaleTABLE + 5), (std::vector<SInt32>{2, 2, 2, 2, 0}));
  EXPECT_EQ(rowErr, 2);

  BuildScaleTable(&eight, &four, nullptr, 0, 1, scaleTABLE, &rowErr);
  EXPECT_EQ(std::vector<SInt32>(scaleTABLE, scaleTABLE + 4), (std::vector<SInt32>{3, 2, 2, 2}));
  BuildScaleTable(&eight, &four, nullptr, 0, -7, scaleTABLE, &rowErr);
  EXPECT_EQ(std::vector<SInt32>(scaleTABLE, scaleTABLE + 4), (std::vector<SInt32>{-21, -14, -14, -14}));

  const Rect visible = RectAt(3, 0, 5, 8);
  BuildScaleTable(&four, &eight, &visible, 0, 1, scaleTABLE, &rowErr);
  EXPECT_EQ(std::vector<SInt32>(scaleTABLE, scaleTABLE + 4), (std::vector<SInt32>{1, 2, 2, 0}));

  const Rect tall = RectAt(0, 0, 10, 20), wide = RectAt(0, 0, 40, 10);
  BuildScaleTable(&tall, &wide, nullptr, 1, 1, scaleTABLE, &rowErr);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(scaleTABLE[i], 2) << i;
  EXPECT_EQ(rowErr, 5);
  DisposeScaleTable();
  EXPECT_EQ(scaleTABLE, nullptr);
}

TEST(ScaleSprite, EnlargesAndShrinksFromTheStartPixel) {
  TestPixMap one(16, 1, 1), big(16, 3, 3);
  one.Set(0, 0, 0x1234);
  Rect s = one.Bounds(), d = big.Bounds();
  ScaleSprite16(one.Handle(), big.Handle(), nullptr, &s, &d, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(big.Get(x, y), 0x1234u);

  TestPixMap src(16, 8, 8), dst(16, 4, 4);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) src.Set(x, y, UInt32(y * 8 + x));
  s = src.Bounds();
  d = dst.Bounds();
  ScaleSprite16(src.Handle(), dst.Handle(), nullptr, &s, &d, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr);
  const int picked[4] = {0, 3, 5, 7};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Get(x, y), UInt32(picked[y] * 8 + picked[x]));
}

TEST(ScaleSprite, WideBlitsGrowTheTableAndHiddenOnesLeaveItAlone) {
  TestPixMap src(16, 3000, 1), dst(16, 1500, 2);
  for (int x = 0; x < 3000; ++x) src.Set(x, 0, UInt32(x));
  const Rect s = src.Bounds(), d = dst.Bounds();
  ScaleSprite16(src.Handle(), dst.Handle(), nullptr, &s, &d, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr);
  EXPECT_GE(scaleTABLECount, 1500u);
  EXPECT_EQ(dst.Get(0, 1), 0u);
  EXPECT_EQ(dst.Get(1499, 1), 2999u);

  std::fill(scaleTABLE, scaleTABLE + scaleTABLECount, 77);
  const Rect hidden = RectAt(2000, 0, 10, 1);
  ScaleSprite16(src.Handle(), dst.Handle(), nullptr, &s, &hidden, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(scaleTABLE[0], 77);
}

TEST(EffectSprite, DrawsLookupBlocksAndNothingWithoutATable) {
  TestPixMap src(16, 4, 4), dst(16, 8, 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.Set(x, y, UInt32(y * 4 + x));
  std::vector<UInt16> lookup(65536);
  for (size_t i = 0; i < lookup.size(); ++i) lookup[i] = UInt16(i * 3);
  const Rect s = src.Bounds(), d = dst.Bounds();
  CopySpriteFX16(src.Handle(), dst.Handle(), nullptr, &s, &d, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(dst.Get(7, 7), 0u);
  CopySpriteFX16(src.Handle(), dst.Handle(), nullptr, &s, &d, nullptr, 0, 12, lookup.data(), nullptr, 0, 0, 0, nullptr);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.Get(x, y), UInt32((y / 2 * 4 + x / 2) * 3));
}

TEST(TestSpriteFX16, Bit15EntriesDarkenTheDestination) {
  struct Case {
    UInt16 entry, dst, expected;
  };
  const Case cases[] = {
      {0x8010, 0x7FFF, 0x3DEF},                            // halved, rounded down
      {0x8020, 0x7FFF, 0x7FFF},                            // level 32 leaves it
      {0x8030, 0x7FFF, 0x7FFF},                            // levels past 32 are held at 32
      {0x8000, 0x1234, 0x0000}, {0x0000, 0x1234, 0x0042},  // bit 15 clear: the source itself
  };
  for (const Case& c : cases) {
    TestPixMap src(16, 1, 1), dst(16, 1, 1);
    src.Set(0, 0, 0x42);
    dst.Set(0, 0, c.dst);
    std::vector<UInt16> lookup(65536, 0);
    lookup[0x42] = c.entry;
    const Rect r = RectAt(0, 0, 1, 1);
    TestSpriteFX16(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, -1, lookup.data(), nullptr, 0, 0, 0,
                   nullptr);
    EXPECT_EQ(dst.Get(0, 0), c.expected) << std::hex << c.entry;
    TestSpriteFX16(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 3, -1, lookup.data(), nullptr, 0, 0, 0,
                   nullptr);
    EXPECT_EQ(dst.Get(0, 0), c.expected) << "mode 3 draws nothing";
  }
}

TEST(TestSprite16, DrawsNothingForModesItDoesNotList) {
  // CopySprite16 folds -1 to 17 when there is no table; the test blit keeps
  // to 0-3 and 16-19.
  for (SInt32 mode : {5, 20, -1, 15}) {
    TestPixMap src(16, 2, 2), dst(16, 2, 2), mask(16, 2, 2);
    src.Fill(0x1234);
    mask.Fill(0);
    const auto before = dst.Storage();
    const Rect r = src.Bounds();
    TestSprite16(src.Handle(), dst.Handle(), mask.Handle(), &r, &r, nullptr, mode, -1, nullptr, nullptr, 0, 0, 0,
                 nullptr);
    EXPECT_EQ(dst.Storage(), before) << "mode " << mode;
  }
  TestPixMap src(16, 1, 1), dst(16, 1, 1), mask(16, 1, 1);
  src.Fill(0x1234);
  const Rect r = src.Bounds();
  CopySprite16(src.Handle(), dst.Handle(), mask.Handle(), &r, &r, nullptr, -1, -1, nullptr, nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(dst.Get(0, 0), 0x1234u) << "the copy draws mode -1 as mode 17";
}

TEST(CopySprite8, EveryBuildOfTheLookupCopyGivesTheSameBytes) {
  const TestSeed seed(8);
  SCOPED_TRACE(seed.note);
  std::mt19937 rng(seed.value);
  std::vector<UInt8> table(256);
  for (UInt8& e : table) e = rng() % 9 == 0 ? 0 : UInt8(rng());
  for (Lookup8Build build : {Lookup8Build::Portable, Lookup8Build::Vbmi}) {
    if (build == Lookup8Build::Vbmi && !Lookup8VbmiAvailable()) continue;
    forcedLookup8Build = build;
    for (int width : {1, 7, 63, 64, 65, 130, 300}) {
      TestPixMap src(8, width, 5, 3), dst(8, width, 5, 3);
      src.Randomize(rng, 0, 0, 0xFF);
      dst.Randomize(rng, 0, 0, 0xFF);
      TestPixMap expected = dst;
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < width; ++x) expected.Set(x, y, table[src.Get(x, y)]);
      const Rect r = src.Bounds();
      CopySprite8(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, -1, table.data(), nullptr, 0, 0, 0, nullptr);
      EXPECT_EQ(dst.FirstDifference(expected), "") << "width " << width << " build " << int(build);
    }
  }
  forcedLookup8Build = Lookup8Build::Automatic;
}

// The lookup member in every key mode, with and without a mask, mirrored and
// turned (rows gathered first) and scaled: the processor's fastest build
// draws the bytes the portable one draws.
TEST(CopySprite8, EveryBuildOfTheLookupDrawsAlikeInEveryModeAndOrientation) {
  if (!Lookup8VbmiAvailable()) GTEST_SKIP() << "this processor has one build only";
  std::mt19937 rng(81);
  std::vector<UInt8> table(256);
  for (UInt8& e : table) e = rng() % 9 == 0 ? 0 : UInt8(rng());
  int compared = 0;
  for (int width : {1, 7, 64, 65, 130}) {
    for (int height : {1, 3, 70}) {
      TestPixMap src(8, width, height, 2);
      src.Randomize(rng, 0, 6, 0xFF);
      for (int turn = 0; turn < 4; ++turn) {
        const int dw = turn % 2 ? height : width, dh = turn % 2 ? width : height;
        TestPixMap dst(8, dw, dh, 1), mask(8, dw, dh, 4);
        dst.Randomize(rng, 0, 5, 0xFF);
        mask.Randomize(rng, 0, 2, 0xFF);
        for (int flips = 0; flips < 4; ++flips) {
          for (SInt32 mode : {0, 1, 2, 3, 16, 17, 18, 19}) {
            for (int scaled = 0; scaled < 2; ++scaled) {
              for (bool masked : {false, true}) {
                const Rect s = src.Bounds();
                // Scaled: a third narrower, so columns repeat and skip.
                const Rect d = scaled ? RectAt(0, 0, std::max(1, dw * 2 / 3), dh) : dst.Bounds();
                TestPixMap out[2] = {dst, dst};
                for (int b = 0; b < 2; ++b) {
                  forcedLookup8Build = b ? Lookup8Build::Vbmi : Lookup8Build::Portable;
                  const auto draw = scaled ? ScaleSprite8 : CopySprite8;
                  draw(src.Handle(), out[b].Handle(), masked ? mask.Handle() : nullptr, &s, &d, nullptr, mode, -1,
                       table.data(), nullptr, flips & 1, flips >> 1, char(turn), nullptr);
                }
                ++compared;
                ASSERT_EQ(out[1].FirstDifference(out[0]), "")
                    << width << "x" << height << " turn " << turn << " flips " << flips << " mode " << mode
                    << " scaled " << scaled << " masked " << masked;
              }
            }
          }
        }
      }
    }
  }
  forcedLookup8Build = Lookup8Build::Automatic;
  EXPECT_EQ(compared, 5 * 3 * 4 * 4 * 8 * 2 * 2);
}
