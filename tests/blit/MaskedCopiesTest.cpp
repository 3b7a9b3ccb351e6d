#include <gtest/gtest.h>

#include <numeric>

#include "blit/BlitTestPixMap.h"
#include "blit/MaskedCopies.h"

namespace {

UInt32 fixedSeed = 0;
UInt32 FixedSeed() { return fixedSeed; }

struct ScopedSeed {
  explicit ScopedSeed(UInt32 seed) {
    fixedSeed = seed;
    previous = SetStaticSeedSource(FixedSeed);
  }
  ~ScopedSeed() { SetStaticSeedSource(previous); }
  StaticSeedSource previous;
};

TEST(CopyRectMask, ShowsTheBackgroundWhereTheSourceIsZero) {
  TestPixMap src(8, 3, 1, 0, 10, 10), dst(8, 3, 1, 1), bg(8, 3, 1, 2, -4, 7);  // three different origins
  src.Set(1, 0, 5);
  bg.Fill(7);
  const Rect s = RectAt(10, 10, 3, 1), d = RectAt(0, 0, 3, 1), b = RectAt(-4, 7, 3, 1), clip = RectAt(0, 0, 3, 1);
  CopyRectMask(src.Handle(), dst.Handle(), bg.Handle(), &s, &d, &b, &clip);
  EXPECT_EQ(dst.Get(0, 0), 7u);
  EXPECT_EQ(dst.Get(1, 0), 5u);
  EXPECT_EQ(dst.Get(2, 0), 7u);
}

TEST(CopyRectMask, RectanglesOfOtherSizesOrReachingOutsideCopyNothing) {
  TestPixMap src(8, 4, 4), dst(8, 4, 4), bg(8, 4, 4);
  src.Fill(3);
  const TestPixMap before = dst;
  const Rect clip = RectAt(0, 0, 4, 4), four = RectAt(0, 0, 4, 4), three = RectAt(0, 0, 3, 4);
  const Rect shifted = RectAt(1, 0, 4, 4);
  CopyRectMask(src.Handle(), dst.Handle(), bg.Handle(), &three, &four, &four, &clip);
  CopyRectMask(src.Handle(), dst.Handle(), bg.Handle(), &four, &four, &three, &clip);
  CopyRectMask(src.Handle(), dst.Handle(), bg.Handle(), &shifted, &four, &four, &clip);
  CopyRectMask(src.Handle(), dst.Handle(), bg.Handle(), &four, &four, &shifted, &clip);
  EXPECT_EQ(dst.FirstDifference(before), "");
}

TEST(CopyRectTranslateTwice, ChainsTheTablesAndKeepsRowsUnderAClip) {
  const int h = 10;
  TestPixMap src(8, 3, h), dst(8, 3, h, 2, 5, 5);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 3; ++x) src.Set(x, y, 10 * y + x);
  UInt8 first[256], second[256];
  for (int i = 0; i < 256; ++i) {
    first[i] = UInt8(i + 1);
    second[i] = UInt8(2 * i);
  }
  const Rect s = RectAt(0, 0, 3, h), d = RectAt(5, 5, 3, h), clip = RectAt(0, 7, 100, h - 5);  // top 2, bottom 3 cut
  CopyRectTranslateTwice(src.Handle(), dst.Handle(), &s, &d, &clip, first, second);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 3; ++x) {
      const UInt32 want = (y >= 2 && y <= h - 4) ? UInt32(UInt8(2 * (10 * y + x + 1))) : 0u;
      EXPECT_EQ(dst.Get(x, y), want) << x << "," << y;
    }
}

TEST(StaticGenerator, SequenceFromZero) {
  UInt32 seed = NextStaticSeed(0);
  EXPECT_EQ(seed, 65089u);
  EXPECT_EQ(seed & 0xFF, 0x41u);
  EXPECT_EQ(NextStaticSeed(seed), UInt32(65089ull * 331691ull % 4294967296ull % 199604759ull + 65089ull));
}

TEST(CopySpriteStatic, LevelsNoneAndAllAndModes) {
  TestPixMap src(8, 4, 4);
  for (int i = 0; i < 16; ++i) src.Set(i % 4, i / 4, i % 3);  // 0, 1, 2, 0, ...
  UInt8 table[256];
  for (int i = 0; i < 256; ++i) table[i] = UInt8(i == 1 ? 0 : i + 100);
  const Rect r = RectAt(0, 0, 4, 4);
  struct Case {
    SInt8 mode;
    bool useTable;
    UInt8 level;
  };
  for (const Case& c : {Case{0, false, 255}, Case{1, false, 255}, Case{2, false, 255}, Case{0, true, 255},
                        Case{1, true, 255}, Case{2, true, 255}, Case{0, false, 0}, Case{3, false, 255}}) {
    TestPixMap dst(8, 4, 4);
    dst.Fill(9);
    TestPixMap expected = dst;
    for (int i = 0; i < 16; ++i) {
      const UInt8 s = UInt8(src.Get(i % 4, i / 4)), v = c.useTable ? table[s] : s;
      const bool write =
          c.level != 0 && ((c.mode == 0) || (c.mode == 1 && s != 0) || (c.mode == 2 && c.useTable && v != 0));
      if (write) expected.Set(i % 4, i / 4, v);
    }
    CopySpriteStatic(src.Handle(), dst.Handle(), &r, &r, &r, c.mode, c.useTable ? table : nullptr, c.level);
    EXPECT_EQ(dst.FirstDifference(expected), "") << int(c.mode) << " " << c.useTable << " " << int(c.level);
  }
}

TEST(CopySpriteStatic, MiddleLevelFollowsTheDrawsOfTheSeed) {
  ScopedSeed seed(12345);
  TestPixMap src(8, 4, 4), dst(8, 4, 4);
  src.Fill(6);
  src.Set(0, 0, 0);  // mode 1 makes no draw for this pixel
  const Rect r = RectAt(0, 0, 4, 4);
  CopySpriteStatic(src.Handle(), dst.Handle(), &r, &r, &r, 1, nullptr, 128);
  UInt32 s = 12345;
  for (int i = 1; i < 16; ++i) {
    s = NextStaticSeed(s);
    EXPECT_EQ(dst.Get(i % 4, i / 4), (s & 0xFF) <= 128 ? 6u : 0u) << i;
  }
  EXPECT_EQ(dst.Get(0, 0), 0u);
}

TEST(CopySpriteStatic, AboutHalfGetsThroughAtLevel128) {
  ScopedSeed seed(777);
  TestPixMap src(8, 64, 64), dst(8, 64, 64);
  src.Fill(1);
  const Rect r = RectAt(0, 0, 64, 64);
  CopySpriteStatic(src.Handle(), dst.Handle(), &r, &r, &r, 0, nullptr, 128);
  int written = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) written += dst.Get(x, y) == 1;
  EXPECT_GT(written, 4096 * 40 / 100);
  EXPECT_LT(written, 4096 * 60 / 100);
}

TEST(PaintRectStatic, FillsFromTheDrawsOrTheBlankIndex) {
  UInt8 table[256];
  for (int i = 0; i < 256; ++i) table[i] = UInt8(255 - i);
  struct Case {
    SInt8 mode;
    bool useTable;
    UInt8 level;
  };
  for (const Case& c : {Case{0, false, 255}, Case{1, true, 255}, Case{0, false, 100}, Case{0, true, 100},
                        Case{1, false, 100}, Case{2, false, 100}, Case{2, false, 255}, Case{5, true, 255}}) {
    ScopedSeed seed(42);
    TestPixMap pm(8, 5, 3, 1, 20, 30);
    pm.Fill(9);
    TestPixMap expected = pm;
    UInt32 s = 42;
    if (c.mode == 0 || c.mode == 1 || c.level == 255)  // level 255 draws in any mode
      for (int i = 0; i < 15; ++i) {
        s = NextStaticSeed(s);
        const bool pass = (s & 0xFF) <= c.level;
        if (pass && c.level != 255) s = NextStaticSeed(s);
        const UInt8 drawn = UInt8(s), blank = c.useTable ? table[255] : 255;
        if (pass)
          expected.Set(i % 5, i / 5, c.useTable ? table[drawn] : drawn);
        else if (c.mode == 0)
          expected.Set(i % 5, i / 5, blank);
      }
    const Rect r = RectAt(20, 30, 5, 3);
    PaintRectStatic(pm.Handle(), &r, &r, c.mode, c.useTable ? table : nullptr, c.level);
    EXPECT_EQ(pm.FirstDifference(expected), "") << int(c.mode) << " " << c.useTable << " " << int(c.level);
  }
}

TEST(PaintRectStatic, LevelZeroFillsTheBlankIndexIgnoringTheClipButNotThePixMap) {
  TestPixMap pm(8, 4, 4, 2);
  TestPixMap expected = pm;
  expected.Fill(255);
  const Rect r = RectAt(-3, -3, 20, 20), clip = RectAt(0, 0, 1, 1);
  PaintRectStatic(pm.Handle(), &r, &clip, 0, nullptr, 0);
  EXPECT_EQ(pm.FirstDifference(expected), "");
  TestPixMap untouched(8, 4, 4);
  const TestPixMap before = untouched;
  PaintRectStatic(untouched.Handle(), &r, &clip, 1, nullptr, 0);
  EXPECT_EQ(untouched.FirstDifference(before), "");
}

}  // namespace
