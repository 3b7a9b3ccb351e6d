// The scaled 16-bit effect kernels' own contract: rows by the error walk,
// cumulative run ends, and the worked values of the scaled alpha blend.
#include <gtest/gtest.h>

#include "BlitTestPixMap.h"
#include "blit/RGB16Sprite.h"

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

}  // namespace
