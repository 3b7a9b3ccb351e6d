#include <gtest/gtest.h>

#include <vector>

#include "graphics/DepthConversion.h"
#include "graphics/PixelCopy.h"
#include "shell/ApplInfo.h"
#include "support/RecordingDialogs.h"

namespace {

// An offscreen world of the given depth and bounds, freed with the test.
class World {
 public:
  World(SInt16 depth, Rect bounds) { EXPECT_EQ(NewGWorld(&world_, depth, &bounds, nullptr, nullptr, 0), noErr); }
  ~World() { DisposeGWorld(world_); }
  PixMapHandle pm() const { return GetGWorldPixMap(world_); }
  template <typename T>
  T& At(SInt32 x, SInt32 y) {
    return reinterpret_cast<T*>(PixelRow(pm(), y))[x];
  }
  // Row y of an 8-bit world, as numbers.
  std::vector<int> Row8(SInt32 y, SInt32 width) {
    std::vector<int> row;
    for (SInt32 x = 0; x < width; x++) row.push_back(At<UInt8>(x, y));
    return row;
  }

 private:
  GWorldPtr world_ = nullptr;
};

// Source rows numbered by their row: every byte of row y holds y + 1.
void NumberRows(World& w, SInt32 width, SInt32 height) {
  for (SInt32 y = 0; y < height; y++)
    for (SInt32 x = 0; x < width; x++) w.At<UInt8>(x, y) = UInt8(y + 1);
}

class LineSkipping : public ::testing::Test {
 protected:
  void TearDown() override {
    APPL.lineSkip = 0;
    lineSKIPPING = 0;
    lineINTERLACE = 0;
  }
};

TEST(CopyRect, CopiesAnOddWidthRowExactly) {
  World src(8, {0, 0, 2, 16}), dst(8, {0, 0, 2, 16});
  for (SInt32 x = 0; x < 16; x++) src.At<UInt8>(x, 0) = UInt8(x + 1);
  Rect s{0, 2, 1, 9}, d{1, 5, 2, 12};
  CopyRect(src.pm(), dst.pm(), &s, &d, nullptr);
  EXPECT_EQ(dst.Row8(1, 16), (std::vector<int>{0, 0, 0, 0, 0, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0}));
  EXPECT_EQ(dst.Row8(0, 16), std::vector<int>(16, 0));
}

TEST(CopyRect, ClipCutsBothRectanglesAlike) {
  World src(8, {0, 0, 1, 8}), dst(8, {10, 20, 11, 28});
  for (SInt32 x = 0; x < 8; x++) src.At<UInt8>(x, 0) = UInt8(x + 1);
  Rect s{0, 0, 1, 8}, d{10, 20, 11, 28}, clip{0, 23, 100, 26};
  CopyRect(src.pm(), dst.pm(), &s, &d, &clip);
  EXPECT_EQ(dst.Row8(0, 8), (std::vector<int>{0, 0, 0, 4, 5, 6, 0, 0}));
}

TEST(CopyRect, NothingForUnequalSizesOrAnEmptyClip) {
  World src(8, {0, 0, 4, 4}), dst(8, {0, 0, 4, 4});
  NumberRows(src, 4, 4);
  Rect s{0, 0, 2, 2}, d{0, 0, 2, 3}, same{0, 0, 2, 2}, clip{3, 3, 4, 4};
  CopyRect(src.pm(), dst.pm(), &s, &d, nullptr);
  CopyRect(src.pm(), dst.pm(), &s, &same, &clip);
  for (SInt32 y = 0; y < 4; y++) EXPECT_EQ(dst.Row8(y, 4), std::vector<int>(4, 0));
}

TEST(CopyRect, SourceOutsideItsPixmapIsNotRead) {
  World src(8, {0, 0, 2, 4}), dst(8, {0, 0, 4, 4});
  NumberRows(src, 4, 2);
  Rect s{0, 0, 4, 4}, d{0, 0, 4, 4};
  CopyRect(src.pm(), dst.pm(), &s, &d, nullptr);
  EXPECT_EQ(dst.Row8(1, 4), std::vector<int>(4, 2));
  EXPECT_EQ(dst.Row8(2, 4), std::vector<int>(4, 0));
}

TEST_F(LineSkipping, DoublingStartsOnTheNextEvenRowAndStaysInside) {
  World src(8, {0, 0, 8, 4}), dst(8, {0, 0, 8, 4});
  NumberRows(src, 4, 8);
  APPL.lineSkip = 1;
  lineSKIPPING = 1;
  Rect s{3, 0, 6, 4}, d{0, 0, 3, 4};
  CopyRect(src.pm(), dst.pm(), &s, &d, nullptr);
  // Source rows 4, 4, then 6 would lie below the rectangle: its last row, 5.
  EXPECT_EQ(dst.Row8(0, 4), std::vector<int>(4, 5));
  EXPECT_EQ(dst.Row8(1, 4), std::vector<int>(4, 5));
  EXPECT_EQ(dst.Row8(2, 4), std::vector<int>(4, 6));
}

TEST_F(LineSkipping, InterlaceCopiesOnlyRowsOfItsParity) {
  struct Case {
    UInt8 parity;
    SInt16 dstTop;
    std::vector<int> firstColumn;  // destination rows 0 to 5
  };
  for (const Case& c :
       {Case{0, 0, {1, 0, 3, 0, 5, 0}}, Case{1, 0, {0, 2, 0, 4, 0, 6}}, Case{0, 1, {0, 0, 1, 0, 3, 0}}}) {
    World src(8, {0, 0, 6, 2}), dst(8, {0, 0, 6, 2});
    NumberRows(src, 2, 6);
    APPL.lineSkip = 1;
    lineSKIPPING = 2;
    lineINTERLACE = c.parity;
    Rect s{0, 0, SInt16(6 - c.dstTop), 2}, d{c.dstTop, 0, 6, 2};
    CopyRect(src.pm(), dst.pm(), &s, &d, nullptr);
    std::vector<int> column;
    for (SInt32 y = 0; y < 6; y++) column.push_back(dst.At<UInt8>(0, y));
    EXPECT_EQ(column, c.firstColumn) << "parity " << int(c.parity) << " top " << c.dstTop;
  }
}

TEST(FlipPixels, MirrorsEachRowAndKeepsAnOddMiddle) {
  World w(16, {0, 0, 2, 5});
  for (SInt32 x = 0; x < 5; x++) w.At<UInt16>(x, 1) = UInt16(x + 1);
  Rect r{1, 1, 2, 4};
  FlipPixels(w.pm(), &r);
  EXPECT_EQ(w.At<UInt16>(0, 1), 1);
  EXPECT_EQ(w.At<UInt16>(1, 1), 4);
  EXPECT_EQ(w.At<UInt16>(2, 1), 3);
  EXPECT_EQ(w.At<UInt16>(3, 1), 2);
  EXPECT_EQ(w.At<UInt16>(4, 1), 5);
}

TEST(FlipPixels, IsClippedToThePixmap) {
  World w(16, {0, 0, 1, 4});
  for (SInt32 x = 0; x < 4; x++) w.At<UInt16>(x, 0) = UInt16(x + 1);
  Rect r{-5, 2, 5, 40};
  FlipPixels(w.pm(), &r);
  EXPECT_EQ(w.At<UInt16>(2, 0), 4);
  EXPECT_EQ(w.At<UInt16>(3, 0), 3);
}

class CopyBlackTest : public ::testing::Test {
 protected:
  RecordingDialogs dialogs;
};

TEST_F(CopyBlackTest, SetsBitsMostSignificantFirst) {
  World src(8, {0, 0, 1, 40}), dst(1, {0, 0, 1, 40});
  src.At<UInt8>(0, 0) = 7;
  src.At<UInt8>(9, 0) = 1;
  src.At<UInt8>(33, 0) = 200;
  dst.At<UInt8>(0, 0) = 0x7F;  // cleared by mode 0, kept by mode 1
  Rect r{0, 0, 1, 40};
  CopyBlack(src.pm(), dst.pm(), &r, &r, 1);
  EXPECT_EQ(dst.At<UInt8>(0, 0), 0xFF);
  CopyBlack(src.pm(), dst.pm(), &r, &r, 0);
  EXPECT_EQ(dst.At<UInt8>(0, 0), 0x80);
  EXPECT_EQ(dst.At<UInt8>(1, 0), 0x40);
  EXPECT_EQ(dst.At<UInt8>(4, 0), 0x40);
  CopyBlack(src.pm(), dst.pm(), &r, &r, 2);  // any other mode copies nothing
  EXPECT_EQ(dst.At<UInt8>(0, 0), 0x80);
}

TEST_F(CopyBlackTest, SourceMovesWithTheDestinationCut) {
  World src(8, {0, 0, 1, 32}), dst(1, {0, 0, 1, 32});
  src.At<UInt8>(10, 0) = 1;
  Rect s{0, 0, 1, 32}, d{0, -8, 1, 24};
  CopyBlack(src.pm(), dst.pm(), &s, &d, 0);
  EXPECT_EQ(dst.At<UInt8>(0, 0), 0x20);  // source pixel 10 lands on pixel 2
}

TEST_F(CopyBlackTest, WrongDepthOrSizesAreFatal) {
  World src(8, {0, 0, 1, 32}), deep(8, {0, 0, 1, 32}), dst(1, {0, 0, 1, 32});
  Rect r{0, 0, 1, 32}, other{0, 0, 1, 16};
  EXPECT_THROW(CopyBlack(src.pm(), deep.pm(), &r, &r, 0), FatalReport);
  EXPECT_THROW(CopyBlack(src.pm(), dst.pm(), &r, &other, 0), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  EXPECT_EQ(dialogs.Reports()[0].message, "Destination must be a one bit PixMap (BitMap).");
  EXPECT_EQ(dialogs.Reports()[1].message, "Source & destination rects are not equal size.");
  EXPECT_EQ(dialogs.Reports()[1].detail, "CopyBlack()");
}

TEST(DepthConversion, PixelRules) {
  struct Case {
    UInt16 p16;
    UInt32 p32;
  };
  for (const Case& c : {Case{0x7C00, 0xFFFF0000}, Case{0x03E0, 0xFF00FF00}, Case{0x001F, 0xFF0000FF},
                        Case{0x4210, 0xFF848484}, Case{0x0000, 0xFF000000}, Case{0xFC00, 0xFFFF0000}}) {
    World src(16, {0, 0, 1, 1}), dst(32, {0, 0, 1, 1});
    src.At<UInt16>(0, 0) = c.p16;
    Rect r{0, 0, 1, 1};
    CopyRect16To32(src.pm(), dst.pm(), &r, &r, &r, nullptr);
    EXPECT_EQ(dst.At<UInt32>(0, 0), c.p32) << std::hex << c.p16;
  }
  EXPECT_EQ(Convert32To16(0x00FFFFFF), 0x7FFF);
  EXPECT_EQ(Convert32To16(0x00080808), 0x0421);
  EXPECT_EQ(Convert32To16(0x00070707), 0);
  EXPECT_EQ(Convert32To16(0xFF000000), 0);
}

TEST(DepthConversion, RowsConvertInOrderAndUnequalSizesCopyNothing) {
  World src(32, {0, 0, 1, 6}), dst(16, {0, 0, 1, 6});
  for (SInt32 x = 0; x < 6; x++) src.At<UInt32>(x, 0) = UInt32(x) << 19;  // red 8 x x
  Rect r{0, 0, 1, 6}, narrower{0, 0, 1, 5};
  CopyRect32To16(src.pm(), dst.pm(), &r, &narrower, &r, nullptr);
  EXPECT_EQ(dst.At<UInt16>(0, 0), 0);
  CopyRect32To16(src.pm(), dst.pm(), &r, &r, &r, nullptr);
  for (SInt32 x = 0; x < 6; x++) EXPECT_EQ(dst.At<UInt16>(x, 0), UInt16(x << 10)) << x;
}

TEST(DepthConversion, IndexedThroughTheColourTableAndGamma) {
  World src(8, {0, 0, 1, 2}), d16(16, {0, 0, 1, 2}), d32(32, {0, 0, 1, 2});
  CTabHandle table = NewColorTable(256);
  (*table)->ctTable[1].rgb = {65535, 0, 0};
  (*table)->ctTable[2].rgb = {0x1234, 0x8000, 0xFFFF};
  src.At<UInt8>(0, 0) = 1;
  src.At<UInt8>(1, 0) = 2;
  Rect r{0, 0, 1, 2};
  CopyRect8To16(src.pm(), d16.pm(), &r, &r, &r, table, nullptr);
  EXPECT_EQ(d16.At<UInt16>(0, 0), 0x7C00);
  EXPECT_EQ(d16.At<UInt16>(1, 0), UInt16((0x12 >> 3) << 10 | 16 << 5 | 31));
  CopyRect8To32(src.pm(), d32.pm(), &r, &r, &r, table, nullptr);
  EXPECT_EQ(d32.At<UInt32>(0, 0), 0x00FF0000u);
  EXPECT_EQ(d32.At<UInt32>(1, 0), 0x001280FFu);

  // A gamma table of ones makes every entry white with the flag; entries
  // above one are held at white rather than spilling into the next field.
  auto gamma = reinterpret_cast<GammaHandle>(new GammaTable*(new GammaTable));
  for (int i = 0; i < 256; i++) (*gamma)->red[i] = (*gamma)->green[i] = (*gamma)->blue[i] = 1.0f;
  (*gamma)->green[0] = 1.5f;
  CopyRect8To16(src.pm(), d16.pm(), &r, &r, &r, table, gamma);
  EXPECT_EQ(d16.At<UInt16>(0, 0), 0xFFFF);
  for (UInt16 entry : flushTABLE) EXPECT_EQ(entry, 0xFFFF);
  CopyRect8To32(src.pm(), d32.pm(), &r, &r, &r, table, gamma);
  EXPECT_EQ(d32.At<UInt32>(0, 0), 0xFFFFFFFFu);
  delete *gamma;
  delete reinterpret_cast<GammaTable**>(gamma);
  DisposeCTable(table);
}

TEST(DepthConversion, NullArgumentsCopyNothing) {
  World src(16, {0, 0, 1, 1}), dst(32, {0, 0, 1, 1});
  Rect r{0, 0, 1, 1};
  CopyRect16To32(src.pm(), dst.pm(), &r, &r, nullptr, nullptr);
  CopyRect16To32(nullptr, dst.pm(), &r, &r, &r, nullptr);
  EXPECT_EQ(dst.At<UInt32>(0, 0), 0u);
}

}  // namespace
