#include <gtest/gtest.h>

#include <vector>

#include "blit/BlitTestPixMap.h"
#include "blit/PixelTests.h"
#include "platform/QuickDrawColor.h"
#include "support/RecordingDialogs.h"

namespace {

TEST(ReplaceColor, NullRectangleMeansTheBoundsSeenFromTheBaseAddress) {
  TestPixMap pm(8, 4, 3, 0, 10, 20);  // origin (10, 20) is not subtracted
  pm.Fill(3);
  pm.Set(1, 1, 9);
  ReplaceColor(pm.Handle(), nullptr, 3, 7);
  EXPECT_EQ(pm.Get(0, 0), 7u);
  EXPECT_EQ(pm.Get(3, 2), 7u);
  EXPECT_EQ(pm.Get(1, 1), 9u);
}

TEST(ReplaceColor, ZeroHeightOrInvertedOrOutsideRectanglesChangeNothing) {
  TestPixMap pm(8, 4, 4);
  pm.Fill(3);
  const TestPixMap before = pm;
  for (Rect r : {RectAt(0, 2, 4, 0), Rect{3, 3, 1, 1}, RectAt(10, 10, 4, 4), RectAt(-8, -8, 4, 4)}) {
    ReplaceColor(pm.Handle(), &r, 3, 7);
    EXPECT_EQ(pm.FirstDifference(before), "");
  }
}

TEST(ReplaceColor, SixteenBitRowsWithPaddingTouchOnlyTheRectangle) {
  TestPixMap pm(16, 5, 4, 3);
  pm.Fill(0x1234);
  TestPixMap expected = pm;
  const Rect r = RectAt(1, 1, 3, 2);
  for (int y = 1; y < 3; ++y)
    for (int x = 1; x < 4; ++x) expected.Set(x, y, 0x7FFF);
  ReplaceColor_16(pm.Handle(), &r, 0x1234, 0x7FFF);
  EXPECT_EQ(pm.FirstDifference(expected), "");
  // A rectangle reaching past the pixmap is cut to it: padding and guards stay.
  const Rect wide = RectAt(-2, -2, 40, 40);
  ReplaceColor_16(pm.Handle(), &wide, 0x1234, 0x0001);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) expected.Set(x, y, expected.Get(x, y) == 0x1234 ? 0x0001 : expected.Get(x, y));
  EXPECT_EQ(pm.FirstDifference(expected), "");
}

TEST(RectHasColor, AnswersNoneSomeOrAllAtEveryDepth) {
  for (int depth : {8, 16, 32}) {
    SCOPED_TRACE(depth);
    TestPixMap pm(depth, 6, 6);
    pm.Fill(5);
    const Rect r = RectAt(1, 1, 4, 4), empty = RectAt(2, 2, 0, 3);
    EXPECT_EQ(RectHasColor(pm.Handle(), &r, 5), 2);
    EXPECT_EQ(RectHasColor(pm.Handle(), &r, 6), 0);
    pm.Set(2, 3, 6);
    EXPECT_EQ(RectHasColor(pm.Handle(), &r, 5), 1);
    EXPECT_EQ(RectHasColor(pm.Handle(), &r, 6), 1);
    EXPECT_EQ(RectHasColor(pm.Handle(), &empty, 6), 2);
  }
}

TEST(RectHasColor, ThirtyTwoBitPixelsCompareAllTheirBits) {
  TestPixMap pm(32, 2, 2);
  pm.Fill(0xFF00FFFF);
  const Rect r = RectAt(0, 0, 2, 2);
  EXPECT_EQ(RectHasColor(pm.Handle(), &r, SInt32(0xFF00FFFF)), 2);
  EXPECT_EQ(RectHasColor(pm.Handle(), &r, 0x0000FFFF), 0);
}

TEST(RectHasColor, OtherDepthsAnswerNone) {
  TestPixMap pm(8, 2, 2);
  (*pm.Handle())->pixelSize = 4;
  const Rect r = RectAt(0, 0, 2, 2);
  EXPECT_EQ(RectHasColor(pm.Handle(), &r, 0), 0);
  UInt8 flag = 9;
  EXPECT_EQ(RectContainsColors(pm.Handle(), &r, 0, 255, &flag, nullptr), 0);
  EXPECT_EQ(flag, 1);
}

TEST(RectHasColor, NullPixMapIsAFatalReportNamingTheDepth) {
  struct Case {
    int which;
    const char* message;
  };
  const Case cases[] = {
      {8, "Tried to pass a nil pixmap to RectHasColorName1"},
      {16, "Tried to pass a nil pixmap to RectHasColorName2"},
      {32, "Tried to pass a nil pixmap to RectHasColorName4"},
      {-8, "Tried to pass a nil pixmap to RectContainsColorsName1"},
      {-16, "Tried to pass a nil pixmap to RectContainsColorsName2"},
      {-32, "Tried to pass a nil pixmap to RectContainsColorsName4"},
  };
  const Rect r = RectAt(0, 0, 1, 1);
  for (const Case& c : cases) {
    RecordingDialogs dialogs;
    try {
      switch (c.which) {
        case 8: RectHasColor8(nullptr, &r, 0); break;
        case 16: RectHasColor16(nullptr, &r, 0); break;
        case 32: RectHasColor32(nullptr, &r, 0); break;
        case -8: RectContainsColors8(nullptr, &r, 0, 0, nullptr, nullptr); break;
        case -16: RectContainsColors16(nullptr, &r, 0, 0, nullptr, nullptr); break;
        default: RectContainsColors32(nullptr, &r, 0, 0, nullptr, nullptr); break;
      }
      ADD_FAILURE() << "no fatal report for " << c.message;
    } catch (const FatalReport& report) {
      EXPECT_EQ(report.message, c.message);
      EXPECT_EQ(report.detail, "");
    }
  }
}

TEST(RectContainsColors, SixteenBitRangeIsInclusive) {
  struct Case {
    UInt16 pixel;
    UInt8 counts;
  };
  for (const Case c : {Case{0x0400, 1}, Case{0x07FF, 1}, Case{0x0800, 0}, Case{0x03FF, 0}}) {
    TestPixMap pm(16, 3, 3);
    pm.Fill(0x1000);
    pm.Set(1, 1, c.pixel);
    const Rect r = RectAt(0, 0, 3, 3);
    UInt8 flag = 9;
    EXPECT_EQ(RectContainsColors(pm.Handle(), &r, 0x0400, 0x07FF, &flag, nullptr), c.counts) << c.pixel;
    EXPECT_EQ(flag, 1);
  }
}

TEST(RectContainsColors, SixteenBitLookupCountsByTheTopBitAlone) {
  std::vector<UInt16> table(65536, 0);
  table[0x8123] = 0x8000;  // a pixel with bit 15 set reaches the table's upper half
  TestPixMap pm(16, 2, 2);
  pm.Fill(0x0123);
  const Rect r = RectAt(0, 0, 2, 2);
  EXPECT_EQ(RectContainsColors16(pm.Handle(), &r, 0, 0xFFFF, nullptr, table.data()), 0);
  pm.Set(1, 0, 0x8123);
  EXPECT_EQ(RectContainsColors16(pm.Handle(), &r, 0, 0, nullptr, table.data()), 1);
}

TEST(RectContainsColors, FlagDropsAtTheKeyColourOfTheDepth) {
  struct Case {
    int depth;
    UInt32 pixel;
    UInt8 flag;
  };
  const Case cases[] = {{8, 0, 0},           {8, 1, 1},           {16, 0x7FFF, 0},    {16, 0xFFFF, 1},
                        {32, 0x00FFFFFF, 0}, {32, 0xFFFFFFFF, 1}, {32, 0x01FFFFFF, 1}};
  for (const Case& c : cases) {
    TestPixMap pm(c.depth, 3, 2);
    pm.Fill(2);
    pm.Set(2, 1, c.pixel);
    const Rect r = RectAt(0, 0, 3, 2);
    UInt8 flag = 9;
    RectContainsColors(pm.Handle(), &r, 100, 200, &flag, nullptr);
    EXPECT_EQ(flag, c.flag) << c.depth << " " << std::hex << c.pixel;
  }
  TestPixMap pm(8, 2, 2);  // an empty rectangle stores 1
  const Rect empty = RectAt(1, 1, 0, 0);
  UInt8 flag = 9;
  EXPECT_EQ(RectContainsColors(pm.Handle(), &empty, 0, 255, &flag, nullptr), 0);
  EXPECT_EQ(flag, 1);
}

TEST(GetRectColor, AveragesThroughTheCurrentColourTableInOwnCoordinates) {
  // The pixmap's own table is not the one used.
  CTabHandle table = NewColorTable(4);
  (*table)->ctTable[1].rgb = RGBColor{1000, 2000, 3000};
  (*table)->ctTable[2].rgb = RGBColor{3000, 4000, 5001};
  TestPixMap pm(8, 4, 4, 0, 100, 50);
  (*pm.Handle())->pmTable = table;
  pm.Set(0, 0, 1);
  pm.Set(1, 0, 200);
  pm.Set(0, 1, 0);
  pm.Set(1, 1, 200);
  RGBColor c0, c1, c200;
  Index2Color(0, &c0);
  Index2Color(1, &c1);
  Index2Color(200, &c200);
  ASSERT_NE(c1.red, 1000);
  const Rect r = RectAt(100, 50, 2, 2);
  RGBColor c;
  GetRectColor(pm.Handle(), &r, &c, 1);  // skip key: only 1, 200, 200
  EXPECT_EQ(c.red, (c1.red + 2u * c200.red) / 3);
  EXPECT_EQ(c.green, (c1.green + 2u * c200.green) / 3);
  EXPECT_EQ(c.blue, (c1.blue + 2u * c200.blue) / 3);
  GetRectColor(pm.Handle(), &r, &c, 0);  // all four
  EXPECT_EQ(c.red, (c0.red + c1.red + 2u * c200.red) / 4);
  EXPECT_EQ(c.blue, (c0.blue + c1.blue + 2u * c200.blue) / 4);
  pm.Fill(0);  // nothing to average: black, no division by zero
  GetRectColor(pm.Handle(), &r, &c, 1);
  EXPECT_EQ(c.red | c.green | c.blue, 0);
  (*pm.Handle())->pmTable = nullptr;
  DisposeCTable(table);
}

TEST(DrawPixelRGB16, BlendsByOpacity) {
  struct Case {
    UInt8 r, g, b, alpha;
    UInt16 before, after;
  };
  const Case cases[] = {
      {31, 31, 31, 32, 0x0000, 0x7FFF},  // opaque stores the colour
      {1, 2, 3, 32, 0xFFFF, 0x0443},
      {31, 31, 31, 0, 0x9234, 0x1234},    // transparent keeps the fields, clears bit 15
      {31, 31, 31, 16, 0x0000, 0x3DEF},   // each field 15
      {0, 0, 0, 16, 0x7FFF, 0x3DEF},      // 31 + floor(-31 / 2): each field 15
      {63, 63, 63, 32, 0x0000, 0x7FFF},   // components are cut to 5 bits
      {31, 31, 31, 200, 0x0000, 0x0000},  // a negative opacity is clamped to 0
      {31, 0, 0, 40, 0x0000, 0x7C00},     // above 32 is opaque
  };
  for (const Case& c : cases) {
    TestPixMap pm(16, 2, 2);
    pm.Set(1, 1, c.before);
    RGBAColor16 colour;
    colour.red = c.r;
    colour.green = c.g;
    colour.blue = c.b;
    colour.alpha = c.alpha;
    DrawPixelRGB_16(pm.Handle(), 1, 1, &colour);
    EXPECT_EQ(pm.Get(1, 1), c.after) << int(c.alpha) << " " << std::hex << c.before;
  }
}

TEST(DrawPixelRGB16, PointsOutsideThePixMapAreIgnored) {
  TestPixMap pm(16, 2, 2, 2);
  const TestPixMap before = pm;
  RGBAColor16 colour;
  colour.alpha = 32;
  for (auto [h, v] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {3, 1}}) DrawPixelRGB_16(pm.Handle(), h, v, &colour);
  EXPECT_EQ(pm.FirstDifference(before), "");
}

}  // namespace
