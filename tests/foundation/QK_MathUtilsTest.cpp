#include <gtest/gtest.h>

#include <cmath>

#include "foundation/QK_MathUtils.h"

namespace {

Rect R(SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) { return Rect{top, left, bottom, right}; }

::testing::AssertionResult SameRect(const Rect& a, const Rect& b) {
  if (a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.top << "," << a.left << "," << a.bottom << "," << a.right << ") != ("
                                       << b.top << "," << b.left << "," << b.bottom << "," << b.right << ")";
}

TEST(MathUtils, ContainRectKeepsWidthAndAlignsOversizeToTheFarEdge) {
  struct Case {
    Rect r, bounds, expected;
    bool moved;
  } cases[] = {
      {R(10, -5, 30, 15), R(0, 0, 100, 100), R(10, 0, 30, 20), true},
      {R(10, -5, 30, 115), R(0, 0, 100, 100), R(10, -20, 30, 100), true},
      {R(90, 10, 110, 20), R(0, 0, 100, 100), R(80, 10, 100, 20), true},
      {R(-10, 10, 130, 20), R(0, 0, 100, 100), R(-40, 10, 100, 20), true},
      {R(10, 10, 20, 20), R(0, 0, 100, 100), R(10, 10, 20, 20), false},
  };
  for (auto& c : cases) {
    Rect r = c.r;
    EXPECT_EQ(bool(ContainRect(&r, &c.bounds)), c.moved);
    EXPECT_TRUE(SameRect(r, c.expected));
  }
}

TEST(MathUtils, ContainPointClampsToTheLastInsidePixel) {
  Rect bounds = R(0, 0, 50, 100);
  Point p{20, 100};
  EXPECT_TRUE(ContainPoint(&p, &bounds));
  EXPECT_EQ(p.h, 99);
  EXPECT_EQ(p.v, 20);
  p = {-3, -7};
  EXPECT_TRUE(ContainPoint(&p, &bounds));
  EXPECT_EQ(p.h, 0);
  EXPECT_EQ(p.v, 0);
  p = {49, 0};
  EXPECT_FALSE(ContainPoint(&p, &bounds));
}

TEST(MathUtils, ForceRectSeparatesOnTheShallowerAxis) {
  struct Case {
    Rect a, b, expectedA, expectedB;
    unsigned char both;
    bool result;
  } cases[] = {
      // Up by the bottom overlap of 2.
      {R(0, 0, 10, 10), R(8, 2, 20, 12), R(-2, 0, 8, 10), R(8, 2, 20, 12), 0, true},
      // Only touching: nothing happens.
      {R(0, 0, 10, 10), R(0, 10, 10, 20), R(0, 0, 10, 10), R(0, 10, 10, 20), 0, false},
      // Horizontal: a's right edge is 3 into b, so a goes left.
      {R(0, 0, 10, 10), R(-5, 7, 20, 30), R(0, -3, 10, 7), R(-5, 7, 20, 30), 0, true},
      // Both move, one pixel each in turn: a up 1, b down 1.
      {R(0, 0, 10, 10), R(8, 2, 20, 12), R(-1, 0, 9, 10), R(9, 2, 21, 12), 1, true},
  };
  for (auto& c : cases) {
    Rect a = c.a, b = c.b;
    EXPECT_EQ(bool(ForceRect(&a, &b, c.both)), c.result);
    EXPECT_TRUE(SameRect(a, c.expectedA));
    EXPECT_TRUE(SameRect(b, c.expectedB));
  }
}

TEST(MathUtils, NumberFunctions) {
  EXPECT_EQ(StretchNum(50, 100, 256), 128);
  EXPECT_EQ(StretchNum(1, 100, 256), 3);
  EXPECT_EQ(StretchNum(100, 100, 256), 256);
  EXPECT_EQ(StretchNum(0, 100, 256), 0);
  // A from above to, or a zero range, must end (and not divide by zero).
  EXPECT_EQ(StretchNum(1, 256, 100), 1);
  EXPECT_EQ(StretchNum(5, 0, 100), 0);
  EXPECT_EQ(StretchNum(256, 256, 100), 100);

  SInt32 n = 9;
  LoopNumber(&n, 3, 0, 9);
  EXPECT_EQ(n, 2);
  n = 1;
  LoopNumber(&n, -3, 0, 9);
  EXPECT_EQ(n, 8);

  EXPECT_EQ(SlowSqrt(144), 12);
  EXPECT_EQ(SlowSqrt(0), 0);
  EXPECT_EQ(SlowSqrt(-9), 0);
  EXPECT_EQ(SlowSqrt(24), 5);  // Newton oscillates on k*k - 1
  EXPECT_EQ(SlowSqrt(2000000000), 44721);

  EXPECT_EQ(SummationAmount(10), 4);
  EXPECT_EQ(SummationAmount(-11), -5);
  EXPECT_EQ(SummationAmount(0), 0);
  EXPECT_EQ(SummationTotal(4), 10);
  EXPECT_EQ(SummationTotal(-4), -10);
  EXPECT_EQ(SummationTotal(0), 0);
}

TEST(MathUtils, AnglesAndDistances) {
  struct Case {
    SInt16 dh, dv, angle;
  } cases[] = {
      {5, 0, 0},    {-5, 0, 180}, {0, 5, 90},     {0, -5, 270},   {1, 1, 45},        {-1, 1, 135},       {-1, -1, 225},
      {1, -1, 315}, {100, 1, 1},  {100, -1, 359}, {1, 32000, 90}, {-1, -32000, 270}, {10000, 10000, 45},
  };
  for (auto& c : cases)
    EXPECT_EQ(AngleFromCoords(10, 20, SInt16(10 + c.dh), SInt16(20 + c.dv)), c.angle) << c.dh << "," << c.dv;
  EXPECT_EQ(AngleFromPoints(Point{0, 0}, Point{3, -3}), 135);

  EXPECT_EQ(DistFromCoords(0, 0, 3, 4), 5);
  EXPECT_EQ(DistFromCoords(0, 0, 3, 3), 4);
  EXPECT_EQ(DistFromCoords(-20000, -20000, 20000, 20000), 56568);  // past 2^23 squared
  EXPECT_EQ(DistFromPoints(Point{0, 0}, Point{-12, 5}), 13);

  EXPECT_EQ(ApproachAngle(350, 10, 360), 20);
  EXPECT_EQ(ApproachAngle(10, 350, 360), -20);
  EXPECT_EQ(ApproachAngle(0, 180, 360), 180);
  EXPECT_EQ(ApproachAngle(45, 45, 360), 0);
  EXPECT_EQ(ApproachAngle(90, 100, 360), 10);
}

TEST(MathUtils, CalcRotationMapsEveryAngleOntoAnEighth) {
  struct Case {
    SInt16 angle, frame;
    unsigned char flip;
    char quarter;
  } cases[] = {
      {0, 0, 0, 0},    {45, 45, 0, 0},  {60, 30, 1, 1}, {100, 10, 0, 1}, {170, 10, 1, 0}, {200, 20, 0, 2},
      {260, 10, 1, 3}, {300, 30, 0, 3}, {359, 1, 1, 2}, {-1, 0, 0, 0},   {360, 0, 0, 0},
  };
  for (auto& c : cases) {
    SInt16 frame = 99;
    unsigned char flipH = 9, flipV = 9;
    char quarter = 9;
    CalcRotation(c.angle, 360, &frame, &flipH, &flipV, &quarter);
    EXPECT_EQ(frame, c.frame) << c.angle;
    EXPECT_EQ(flipH, c.flip) << c.angle;
    EXPECT_EQ(flipV, 0);
    EXPECT_EQ(quarter, c.quarter) << c.angle;
  }
}

TEST(MathUtils, CalcReflectionTurnsTheVelocityAwayFromTheSurface) {
  // The normal points into the surface: a velocity with a positive
  // component along it is turned back. A ball moving right hits a wall.
  float vx = 3, vy = 1;
  CalcReflection(&vx, &vy, 1, 0);
  EXPECT_NEAR(vx, -3, 1e-5);
  EXPECT_NEAR(vy, 1, 1e-5);
  // Moving down onto a floor.
  vx = 2, vy = 4;
  CalcReflection(&vx, &vy, 0, 1);
  EXPECT_NEAR(vx, 2, 1e-5);
  EXPECT_NEAR(vy, -4, 1e-5);
  // Already moving away from it: unchanged.
  vx = 2, vy = -4;
  CalcReflection(&vx, &vy, 0, 1);
  EXPECT_NEAR(vx, 2, 1e-5);
  EXPECT_NEAR(vy, -4, 1e-5);
}

TEST(MathUtils, LineInRect) {
  Rect r = R(10, 10, 20, 20);
  struct Case {
    SInt16 hA, vA, hB, vB;
    bool touches;
  } cases[] = {
      {0, 15, 30, 15, true}, {0, 0, 30, 30, true},   {0, 30, 30, 0, true},   {15, 0, 15, 5, false},
      {0, 0, 5, 30, false},  {0, 25, 30, 25, false}, {12, 12, 14, 14, true}, {0, 20, 10, 20, true},
      {30, 0, 0, 30, true},  {0, 0, 40, 8, false},
  };
  for (auto& c : cases)
    EXPECT_EQ(bool(LineInRect(c.hA, c.vA, c.hB, c.vB, &r)), c.touches)
        << c.hA << "," << c.vA << " " << c.hB << "," << c.vB;
  Rect empty = R(10, 10, 10, 20);
  EXPECT_FALSE(LineInRect(0, 10, 30, 10, &empty));
}

TEST(MathUtils, FloatVectors) {
  EXPECT_FLOAT_EQ(Component_A_Along_B(3, 4, 2, 0), 3);
  float x = 3, y = 4;
  EXPECT_FLOAT_EQ(PinVector(&x, &y, 10), 5);
  EXPECT_FLOAT_EQ(PinVector(&x, &y, 2.5f), 2.5f);
  EXPECT_FLOAT_EQ(x, 1.5f);
  EXPECT_FLOAT_EQ(y, 2);
  EXPECT_FLOAT_EQ(ExtendVector(&x, &y, 5), 5);
  EXPECT_FLOAT_EQ(x, 3);
  x = y = 0;
  EXPECT_FLOAT_EQ(ExtendVector(&x, &y, 2), 2);
  EXPECT_FLOAT_EQ(x, 2);
  EXPECT_FLOAT_EQ(y, 0);
  x = y = 0;
  SetVectorLength(&x, &y, 7);
  EXPECT_EQ(x, 0);
  x = 0, y = -2;
  SetVectorLength(&x, &y, 7);
  EXPECT_FLOAT_EQ(y, -7);
}

TEST(MathUtils, IntegerVectorsAndEasedMotion) {
  SInt16 x = 30, y = 40;
  EXPECT_EQ(PinVector(&x, &y, 10), 10);
  EXPECT_EQ(x, 6);
  EXPECT_EQ(y, 8);
  EXPECT_EQ(PinVector(&x, &y, 20), 10);

  SInt16 ax = 5, ay = 7;
  Component_A_Along_B_Vector(&ax, &ay, 10, 0);
  EXPECT_EQ(ax, 5);
  EXPECT_EQ(ay, 0);

  SInt16 h = 0, v = 0, dh = 0, dv = 0;
  SynchPoints(&h, &v, 10, 1, &dh, &dv, 3);
  EXPECT_EQ(h, 1);  // no speed yet: one pixel toward the target on each axis
  EXPECT_EQ(v, 1);

  // accel 0 must not divide by zero.
  SInt16 speed = 4, goal = 0;
  char state = 1;
  MomentumCoord(0, 100, &speed, &state, &goal, 0);
  EXPECT_EQ(speed, 0);

  MomentumPoint m{};
  m.position = Point{0, 0};
  m.accelH = m.accelV = 1;
  m.maxStep = 8;
  Point target{-30, 200};
  int steps = 0;
  for (; steps < 500 && !m.Aligned(&target); steps++) m.Update(&target);
  EXPECT_TRUE(m.Aligned(&target));
  EXPECT_GT(steps, 25);  // eased, not a jump
}

TEST(MathUtils, RotatePoint) {
  Point out;
  RotatePoint(&out, Point{100, 100}, 0, 50);
  EXPECT_EQ(out.h, 150);
  EXPECT_EQ(out.v, 100);
  RotatePoint(&out, Point{100, 100}, 90, 50);
  EXPECT_NEAR(out.h, 100, 1);
  EXPECT_NEAR(out.v, 150, 1);
}

TEST(PowerOfTwo, DoubleNumAndItsInverse) {
  struct Case {
    SInt16 n;
    SInt32 value;
  } cases[] = {{1, 1}, {2, 2}, {3, 4}, {15, 16384}, {16, -32768}, {17, 0}, {0, 0}, {-2, 0}};
  for (auto& c : cases) EXPECT_EQ(DoubleNum(c.n), c.value) << c.n;
  for (SInt16 n = 1; n <= 15; n++) EXPECT_EQ(UnDoubleNum(DoubleNum(n)), n);
  struct Inverse {
    SInt32 n;
    SInt16 value;
  } inverses[] = {{1, 1}, {2, 2}, {3, 2}, {4, 3}, {7, 3}, {1024, 11}, {0, 0}, {-8, 0}};
  for (auto& c : inverses) EXPECT_EQ(UnDoubleNum(c.n), c.value) << c.n;
}

TEST(PowerOfTwo, LowNumCloser) {
  EXPECT_TRUE(LowNumCloser(5, 0, 10));
  EXPECT_FALSE(LowNumCloser(6, 0, 10));
  EXPECT_TRUE(LowNumCloser(5, 0, 11));
  EXPECT_TRUE(LowNumCloser(12, 10, 0));
  EXPECT_FALSE(LowNumCloser(16, 10, 0));
  // The sum wraps in 16 bits.
  EXPECT_FALSE(LowNumCloser(0, 32760, -100));
}

}  // namespace
