#include <gtest/gtest.h>

#include <string>

#include "frontend/GameFrames.h"
#include "shell/ApplInfo.h"

static std::string ArrayName(const Frame& f) {
  unsigned char name[256];
  f.GetArrayName(name);
  return std::string(reinterpret_cast<const char*>(name + 1), name[0]);
}

TEST(GameFrames, TheTableListsTwentySevenArraysInOrderOnce) {
  SetupFrames();
  SetupFrames();
  ASSERT_EQ(gameFrameCount, 27);
  EXPECT_EQ(*APPL.frameCount, 27);
  EXPECT_EQ((*APPL.frameList)[3], &playerShipFRAME[0][0]);
  struct Case {
    int index;
    const char* name;
    int frames;
  } cases[] = {{0, "noactionFRAME", 1},  {2, "meteorFRAME", 36}, {3, "playerShipFRAME", 10},
               {8, "plasmaFRAME", 15},   {17, "enemySpinFRAME", 8}, {21, "shieldPowFRAME", 16},
               {26, "glowFRAME", 1}};
  for (const Case& c : cases) {
    const Frame& f = *gameFrameTable[c.index];
    EXPECT_EQ(ArrayName(f), c.name);
    EXPECT_EQ(f.ArraySize(), c.frames) << c.name;
    EXPECT_EQ(f.capacity, c.frames) << c.name;
  }
  EXPECT_EQ(gameFrameTable[26], glowFRAME);
  EXPECT_EQ(&plasmaFRAME[1][0] - &plasmaFRAME[0][0], 5);  // rows flatten to i * columns + j
}
