#include <gtest/gtest.h>

#include "foundation/Random.h"

TEST(Random, StepWrapsAt32BitsBeforeTheRemainder) {
  randomSEED = 0;
  EXPECT_EQ(SubRandom(), 65089u);
  EXPECT_EQ(SubRandom(), 114664108u);
  EXPECT_EQ(SubRandom(), 119281842u);
  EXPECT_EQ(randomSEED, 119281842u);

  struct Case {
    UInt32 seed, next;
  } cases[] = {
      // (seed * 331691) mod 2^32 mod 199604759 + 65089, worked by hand.
      {1, 331691u + 65089u},
      {0xFFFFFFFFu, (0u - 331691u) % 199604759u + 65089u},
      {199669847u, UInt32(199669847ull * 331691ull % 4294967296ull % 199604759ull + 65089ull)},
  };
  for (const Case& c : cases) {
    UInt32 seed = c.seed;
    randomSEED = 7;
    EXPECT_EQ(SubRandom_Seed(&seed), c.next) << c.seed;
    EXPECT_EQ(seed, c.next);
    EXPECT_EQ(randomSEED, 7u);  // a local seed leaves the global one alone
  }
}

TEST(Random, SeedComesFromTheDate) {
  randomSEED = 0;
  SeedRandom();
  // Seconds since 1904: past 2^31 since 1972, so any current date is large.
  EXPECT_GT(randomSEED, 0x80000000u);
}

TEST(Random, RangeDrawsWithinLoToHiMinusOne) {
  randomSEED = 0;
  EXPECT_EQ(RandomRange(5, 5), 5);
  EXPECT_EQ(randomSEED, 0u);  // no draw
  EXPECT_EQ(RandomRange(-3, 2), -3 + SInt32(65089u % 5u));
  for (int i = 0; i < 2000; i++) {
    SInt32 r = RandomRange(0, 10);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 10);
  }
  // A range wider than 2^31 is still taken as unsigned.
  randomSEED = 0;
  EXPECT_EQ(RandomRange(-2000000000, 2000000000), SInt32(-2000000000 + 65089));
}

TEST(Random, BitPickers) {
  struct Case {
    unsigned int mask;
    SInt32 bits;
  } counts[] = {{0, 0}, {1, 1}, {0xF0, 4}, {0x80000001u, 2}, {0xFFFFFFFFu, 32}};
  for (const Case& c : counts) EXPECT_EQ(CountBits(c.mask), c.bits) << c.mask;

  EXPECT_EQ(RandomBit(0), -1);
  EXPECT_EQ(RandomBit(0x8), 3);
  randomSEED = 0;  // the draw 65089 is odd: the second of two set bits
  EXPECT_EQ(RandomBit(0x81), 7);

  for (int i = 0; i < 200; i++) {
    unsigned int kept = RandomBits(0xF0, 2);
    ASSERT_EQ(CountBits(kept), 2);
    ASSERT_EQ(kept & ~0xF0u, 0u);
  }
  EXPECT_EQ(RandomBits(0xF0, 0), 0u);
  EXPECT_EQ(RandomBits(0, 3), 0u);
  EXPECT_EQ(RandomBits(0xF0, 4), 0xF0u);
  EXPECT_EQ(RandomBits(0xF0, 9), 0xF0u);
  EXPECT_EQ(RandomBits(0xF0, -1), 0u);  // a negative count keeps nothing and ends
}

TEST(Random, DistributeNumSharesAmongTheSetBits) {
  for (int i = 0; i < 100; i++) {
    int out[4] = {9, 9, 9, 9};
    ASSERT_EQ(DistributeNum(5, 5, out, 4), 4);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[0] + out[2], 5);
    EXPECT_TRUE(out[0] == 2 || out[0] == 3);
  }
  int even[3];
  DistributeNum(7, 9, even, 3);
  EXPECT_EQ(even[0] + even[1] + even[2], 9);
  EXPECT_EQ(even[0], 3);
  int none[3] = {9, 9, 9};
  EXPECT_EQ(DistributeNum(0, 5, none, 3), 3);
  EXPECT_EQ(none[0] + none[1] + none[2], 0);
}
