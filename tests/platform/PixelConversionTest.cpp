#include <gtest/gtest.h>

#include "platform/PixelConversion.h"

TEST(PixelConversion, Convert16To32ReplicatesTheTopBits) {
  struct Case {
    UInt16 pixel;
    UInt32 expected;
  };
  const Case cases[] = {
      {0x0000, 0x000000}, {0x7FFF, 0xFFFFFF}, {0xFFFF, 0xFFFFFF},                      // the flag bit is not colour
      {0x7C00, 0xFF0000}, {0x03E0, 0x00FF00}, {0x001F, 0x0000FF}, {0x4210, 0x848484},  // 16 -> 132
      {0x0421, 0x080808},                                                              // 1 -> 8
  };
  for (const Case& c : cases) EXPECT_EQ(Convert16To32(c.pixel), c.expected) << std::hex << c.pixel;
}

TEST(PixelConversion, Convert16To32WidensEveryPixelByEachFieldsTopBits) {
  for (UInt32 p = 0; p < 65536; ++p) {
    const UInt32 r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
    const UInt32 expected = ((r * 8 + r / 4) << 16) | ((g * 8 + g / 4) << 8) | (b * 8 + b / 4);
    ASSERT_EQ(Convert16To32(UInt16(p)), expected) << std::hex << p;
  }
  EXPECT_EQ(Convert16To32(0x5678), 0x00AD9CC6u);
  EXPECT_EQ(Convert16To32(0x8000), 0u);
}
