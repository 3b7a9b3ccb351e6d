#include "blit/BlitCore.h"

#include <gtest/gtest.h>

TEST(BlitCore, Convert16To32ReplicatesTheTopBits) {
  struct Case {
    UInt16 pixel;
    UInt32 expected;
  };
  const Case cases[] = {
      {0x0000, 0x000000}, {0x7FFF, 0xFFFFFF}, {0xFFFF, 0xFFFFFF},  // the flag bit is not colour
      {0x7C00, 0xFF0000}, {0x03E0, 0x00FF00}, {0x001F, 0x0000FF},
      {0x4210, 0x848484},  // 16 -> 132
      {0x0421, 0x080808},  // 1 -> 8
  };
  for (const Case& c : cases) EXPECT_EQ(Convert16To32(c.pixel), c.expected) << std::hex << c.pixel;
}
