#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "blit/BlitTestPixMap.h"
#include "blit/Lines.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;  // (h, v)

// A 40 x 40 map whose own coordinates run from -20 to 19 on both axes.
struct Canvas {
  TestPixMap pm{8, 40, 40, 3, -20, -20};
  Pixels Touched(UInt32 value = 9) const {
    Pixels out;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (pm.Get(x, y) == value) out.insert({x - 20, y - 20});
    return out;
  }
  void Set(int h, int v, UInt32 value) { pm.Set(h + 20, v + 20, value); }
};

Pixels Band(int left, int top, int right, int bottom) {  // inclusive
  Pixels out;
  for (int v = top; v <= bottom; ++v)
    for (int h = left; h <= right; ++h) out.insert({h, v});
  return out;
}

const Rect kEverywhere{-20, -20, 20, 20};

TEST(DrawLine, PenShapes) {
  struct Case {
    int startH, startV, endH, endV, width;
    Pixels expected;
  };
  const Case cases[] = {
      {0, 0, 4, 2, 1, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
      {0, 0, 2, 5, 1, {{0, 0}, {1, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
      {4, 0, 0, 2, 1, {{4, 0}, {3, 0}, {2, 1}, {1, 1}, {0, 2}}},  // down-left, shallow: reaches its end
      {10 - 20, 10 - 20, 10 - 20, 0, 3, Band(-10, -10, -8, 2)},   // dh = 0: columns 10-12, rows 10-22 shifted
      {5, 5, 1, 5, 2, Band(1, 5, 6, 6)},                          // dv = 0 going left
  };
  for (const Case& c : cases) {
    Canvas canvas;
    DrawLine(canvas.pm.Handle(), nullptr, c.startH, c.startV, c.endH, c.endV, &kEverywhere, 9, SInt8(c.width));
    EXPECT_EQ(canvas.Touched(), c.expected) << c.startH << "," << c.startV << " -> " << c.endH << "," << c.endV;
  }
}

TEST(DrawLine, WidthTwoShallowLineCoversElevenPixels) {
  Canvas canvas;
  DrawLine(canvas.pm.Handle(), nullptr, 0, 0, 3, 1, &kEverywhere, 9, 2);
  EXPECT_EQ(canvas.Touched().size(), 11u);
}

TEST(DrawLine, EveryDirectionTouchesBothEndPoints) {
  for (int width : {1, 2, 3})
    for (int dv = -9; dv <= 9; ++dv)
      for (int dh = -9; dh <= 9; ++dh) {
        if (dh == 0 && dv == 0) continue;
        Canvas canvas;
        DrawLine(canvas.pm.Handle(), nullptr, 0, 0, SInt16(dh), SInt16(dv), &kEverywhere, 9, SInt8(width));
        const Pixels touched = canvas.Touched();
        ASSERT_TRUE(touched.count({0, 0})) << dh << "," << dv << " width " << width;
        ASSERT_TRUE(touched.count({dh, dv})) << dh << "," << dv << " width " << width;
        ASSERT_TRUE(touched.count({dh + width - 1, dv + width - 1})) << dh << "," << dv << " width " << width;
      }
}

TEST(DrawLine, NothingForEqualEndsOrNoWidth) {
  for (auto [endH, width] : {std::pair{3, 0}, {3, -2}, {0, 1}, {0, 4}}) {
    Canvas canvas;
    const TestPixMap before = canvas.pm;
    DrawLine(canvas.pm.Handle(), nullptr, 0, 0, SInt16(endH), 0, &kEverywhere, 9, SInt8(width));
    EXPECT_EQ(canvas.pm.FirstDifference(before), "") << endH << " " << width;
  }
}

TEST(DrawLine, ClipExcludesItsRightAndBottomAndThePixMapsOutside) {
  Canvas canvas;
  const Rect clip{0, 0, 3, 3};
  DrawLine(canvas.pm.Handle(), nullptr, 0, 0, 6, 6, &clip, 9, 2);
  EXPECT_EQ(canvas.Touched(), (Pixels{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}, {2, 2}}));

  // A clip reaching past the pixmap writes nothing outside it.
  Canvas edge;
  const TestPixMap before = edge.pm;
  const Rect huge{-300, -300, 300, 300};
  DrawLine(edge.pm.Handle(), nullptr, -30, 15, 30, 15, &huge, 9, 8);
  EXPECT_EQ(edge.Touched(), Band(-20, 15, 19, 19));
  TestPixMap expected = before;
  for (int y = 35; y < 40; ++y)
    for (int x = 0; x < 40; ++x) expected.Set(x, y, 9);
  EXPECT_EQ(edge.pm.FirstDifference(expected), "");
}

TEST(DrawLine, MaskBytesOtherThanZeroProtectPixels) {
  Canvas canvas;
  TestPixMap mask(8, 10, 10, 0, 0, 0);  // its own origin: covers (0..9, 0..9)
  mask.Set(2, 0, 1);
  DrawLine(canvas.pm.Handle(), mask.Handle(), 0, 0, 4, 0, &kEverywhere, 9, 1);
  EXPECT_EQ(canvas.Touched(), (Pixels{{0, 0}, {1, 0}, {3, 0}, {4, 0}}));
}

TEST(CopyLine, CopiesTheSourceUnderThePenFromItsOwnOrigin) {
  Canvas canvas;
  TestPixMap src(8, 10, 10, 2, -5, -5);  // covers (-5..4, -5..4)
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) src.Set(x, y, 10 * y + x + 1);
  CopyLine(src.Handle(), canvas.pm.Handle(), nullptr, -3, 0, 8, 0, &kEverywhere, 1);
  for (int h = -3; h <= 4; ++h) EXPECT_EQ(canvas.pm.Get(h + 20, 20), src.Get(h + 5, 5)) << h;
  EXPECT_EQ(canvas.pm.Get(5 + 20, 20), 0u);  // beyond the source: not touched
}

}  // namespace
