#include <gtest/gtest.h>

#include "blit/AlphaConversion.h"
#include "blit/BlitTestPixMap.h"

namespace {

TEST(AlphaRescale, EveryByteThroughEightToFiveAndBack) {
  TestPixMap pm(8, 16, 16);
  for (int p = 0; p < 256; ++p) pm.Set(p % 16, p / 16, p);
  Convert8BitTo5Bit(pm.Handle(), nullptr);
  for (int p = 0; p < 256; ++p) ASSERT_EQ(pm.Get(p % 16, p / 16), UInt32(p * 32 / 255)) << p;
  Convert5BitTo8Bit(pm.Handle(), nullptr);
  for (int p = 0; p < 256; ++p) ASSERT_EQ(pm.Get(p % 16, p / 16), UInt32(p * 32 / 255 * 255 / 32)) << p;
  EXPECT_EQ(pm.Get(15, 15), 255u);  // 255 -> 32 -> 255
  EXPECT_EQ(pm.Get(0, 8), 127u);    // 128 -> 16 -> 127
  EXPECT_EQ(pm.Get(8, 12), 199u);   // 200 -> 25 -> 199
  EXPECT_EQ(pm.Get(0, 0), 0u);
}

TEST(AlphaRescale, FiveToEightKeepsBytesAboveThirtyTwoAtTheTop) {
  TestPixMap pm(8, 4, 1);
  const UInt8 in[] = {1, 31, 33, 255}, out[] = {7, 247, 255, 255};
  for (int i = 0; i < 4; ++i) pm.Set(i, 0, in[i]);
  Convert5BitTo8Bit(pm.Handle(), nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(pm.Get(i, 0), out[i]) << int(in[i]);
}

TEST(AlphaRescale, RectangleInOwnCoordinatesIsCutToTheBounds) {
  TestPixMap pm(8, 4, 4, 2, 10, 20);
  pm.Fill(255);
  TestPixMap expected = pm;
  const Rect r = RectAt(12, 18, 10, 4);  // columns 2-3, rows 0-1 inside
  for (int y = 0; y < 2; ++y)
    for (int x = 2; x < 4; ++x) expected.Set(x, y, 32);
  Convert8BitTo5Bit(pm.Handle(), &r);
  EXPECT_EQ(pm.FirstDifference(expected), "");
}

TEST(AlphaPlanes, InsertKeepsColoursAndExtractReadsTopBytes) {
  TestPixMap alpha(8, 3, 2), image(32, 3, 2, 2);  // image rows padded
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      alpha.Set(x, y, 10 * y + x + 1);
      image.Set(x, y, 0x5A000000u | UInt32(0x010203 * (x + 3 * y)));
    }
  TestPixMap expected = image;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) expected.Set(x, y, (UInt32(10 * y + x + 1) << 24) | (image.Get(x, y) & 0xFFFFFF));
  InsertAlpha(alpha.Handle(), image.Handle(), nullptr);
  EXPECT_EQ(image.FirstDifference(expected), "");

  TestPixMap back(8, 3, 2);
  ExtractAlpha(image.Handle(), back.Handle(), nullptr);
  EXPECT_EQ(back.FirstDifference(alpha), "");
}

TEST(AlphaPlanes, RectanglesAreCutToBothMaps) {
  TestPixMap alpha(8, 4, 4), image(32, 2, 2);
  alpha.Fill(7);
  TestPixMap expected = image;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) expected.Set(x, y, 0x07000000);
  InsertAlpha(alpha.Handle(), image.Handle(), nullptr);  // the alpha bounds reach past the image
  EXPECT_EQ(image.FirstDifference(expected), "");
  const Rect outside = RectAt(5, 5, 3, 3);
  ExtractAlpha(image.Handle(), alpha.Handle(), &outside);
  InsertAlpha(alpha.Handle(), image.Handle(), &outside);
  EXPECT_EQ(image.FirstDifference(expected), "");
}

}  // namespace
