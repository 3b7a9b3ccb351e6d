#include <gtest/gtest.h>

#include <random>

#include "blit/BlitTestPixMap.h"
#include "blit/RoundRects.h"
#include "support/RecordingDialogs.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

TEST(TransformRect, OddTurnsSwapTheSidesAroundTheCentre) {
  struct Case {
    Rect in;
    SInt8 turn;
    Rect out;
  };
  const Case cases[] = {
      {{0, 0, 10, 30}, 1, {-10, 10, 20, 20}},
      {{0, 0, 10, 30}, 2, {0, 0, 10, 30}},
      {{0, 0, 10, 30}, 0, {0, 0, 10, 30}},
      {{5, 7, 12, 20}, 3, {2, 10, 15, 17}},
  };
  for (const Case& c : cases) {
    Rect out;
    TransformRect(&c.in, &out, c.turn);
    EXPECT_TRUE(SameRect(out, c.out)) << int(c.turn) << ": " << out.top << "," << out.left << "," << out.bottom << ","
                                      << out.right;
  }
}

TEST(TransformSubRect, PlacesThePartAfterMirrorAndTurn) {
  struct Case {
    Rect placement;
    UInt8 hMirror, vMirror;
    SInt8 turn;
    Rect out;
  };
  const Rect whole{0, 0, 20, 40}, part{0, 0, 10, 10};
  const Case cases[] = {
      {{100, 100, 120, 140}, 0, 0, 0, {100, 100, 110, 110}},
      {{100, 100, 120, 140}, 1, 0, 0, {100, 130, 110, 140}},
      {{100, 100, 120, 140}, 0, 1, 0, {110, 100, 120, 110}},
      {{100, 100, 120, 140}, 0, 0, 2, {110, 130, 120, 140}},
      {{100, 100, 140, 120}, 0, 0, 1, {130, 100, 140, 110}},
      {{100, 100, 140, 120}, 0, 0, 3, {100, 110, 110, 120}},
      // An odd turn exchanges the mirror flags before they apply.
      {{100, 100, 140, 120}, 1, 0, 1, {100, 100, 110, 110}},
  };
  for (const Case& c : cases) {
    Rect out;
    TransformSubRect(&whole, &part, &c.placement, &out, c.hMirror, c.vMirror, c.turn);
    EXPECT_TRUE(SameRect(out, c.out)) << int(c.hMirror) << int(c.vMirror) << " turn " << int(c.turn) << ": " << out.top
                                      << "," << out.left << "," << out.bottom << "," << out.right;
  }
}

// A 16-bit destination of 100 x 60 at its own origin, and a 70 x 40 source
// of bit-15-clear pixels placed at (10, 10) in it.
struct RoundCanvas {
  TestPixMap src{16, 70, 40, 1, 200, 100};
  TestPixMap dst{16, 100, 60, 2};
  Rect srcRect = RectAt(200, 100, 70, 40);
  Rect dstRect = RectAt(10, 10, 70, 40);
  RoundCanvas() {
    std::mt19937 rng(5);
    src.Randomize(rng, 0, 0, 0x7FFF);
    dst.Fill(0x0001);
  }
  bool Copied(int x, int y) const { return dst.Get(10 + x, 10 + y) == src.Get(x, y); }
  bool Untouched(int x, int y) const { return dst.Get(x, y) == 0x0001; }
};

TEST(CopyRoundRect, CopiesInsideTheRoundCornersOnly) {
  RoundCanvas c;
  CopyRoundRect(c.src.Handle(), c.dst.Handle(), &c.srcRect, &c.dstRect, srcCopy, 16, 0);
  EXPECT_TRUE(c.Copied(35, 20));  // centre
  EXPECT_TRUE(c.Copied(35, 0));   // straight edges
  EXPECT_TRUE(c.Copied(0, 20));
  EXPECT_TRUE(c.Copied(69, 20));
  EXPECT_TRUE(c.Copied(35, 39));
  for (auto [x, y] : {std::pair{0, 0}, {69, 0}, {0, 39}, {69, 39}}) EXPECT_TRUE(c.Untouched(10 + x, 10 + y)) << x;
  EXPECT_TRUE(c.Untouched(9, 30));
  EXPECT_TRUE(c.Untouched(80, 30));
}

TEST(CopyRoundRect, InvertedCopiesOnlyTheCorners) {
  RoundCanvas c;
  CopyRoundRect(c.src.Handle(), c.dst.Handle(), &c.srcRect, &c.dstRect, srcCopy, 16, 1);
  EXPECT_TRUE(c.Untouched(10 + 35, 10 + 20));
  EXPECT_TRUE(c.Untouched(10 + 35, 10));
  for (auto [x, y] : {std::pair{0, 0}, {69, 0}, {0, 39}, {69, 39}}) EXPECT_TRUE(c.Copied(x, y)) << x;
  EXPECT_TRUE(c.Untouched(9, 30));
}

TEST(HiliteRoundRect, LevelTwentyFourCopiesEveryTileUnchanged) {
  RoundCanvas c;
  HiliteRoundRect(c.src.Handle(), c.dst.Handle(), &c.srcRect, &c.dstRect, 16, 24, 0);
  // 70 x 40 takes tiles 32, 32, 6 wide and 32, 8 high: every row and column is copied.
  for (int y = 8; y < 32; ++y)
    for (int x = 0; x < 70; ++x) ASSERT_TRUE(c.Copied(x, y)) << x << "," << y;
  for (int x = 8; x < 62; ++x) ASSERT_TRUE(c.Copied(x, 0) && c.Copied(x, 39)) << x;
  for (auto [x, y] : {std::pair{0, 0}, {69, 0}, {0, 39}, {69, 39}}) EXPECT_TRUE(c.Untouched(10 + x, 10 + y)) << x;
  for (int x = 0; x < 100; ++x) ASSERT_TRUE(c.Untouched(x, 9) && c.Untouched(x, 50)) << x;
}

TEST(HiliteRoundRect, LevelsDarkenAndBrighten) {
  struct Case {
    SInt16 level;
    UInt16 pixel, expected;
  };
  for (const Case& k : {Case{12, 0x7C00, 0x3C00}, Case{0, 0x7FFF, 0x0000}, Case{48, 0x0000, 0x7FFF}}) {
    RoundCanvas c;
    c.src.Fill(k.pixel);
    HiliteRoundRect(c.src.Handle(), c.dst.Handle(), &c.srcRect, &c.dstRect, 0, k.level, 0);
    EXPECT_EQ(c.dst.Get(45, 30), k.expected) << k.level;
    EXPECT_EQ(c.dst.Get(10, 10), k.expected) << k.level;  // no corners
  }
}

TEST(HiliteRoundRect, ThirtyTwoBitDestinationsAreAFatalReport) {
  TestPixMap src(32, 4, 4), dst(32, 4, 4);
  const Rect r = RectAt(0, 0, 4, 4);
  RecordingDialogs dialogs;
  try {
    HiliteRoundRect(src.Handle(), dst.Handle(), &r, &r, 2, 24, 0);
    ADD_FAILURE() << "no fatal report";
  } catch (const FatalReport& report) {
    EXPECT_EQ(report.message, "HiliteRoundRect needs to be finished for 32 bits");
    EXPECT_EQ(report.detail, "");
  }
}

}  // namespace
