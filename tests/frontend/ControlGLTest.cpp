#include <gtest/gtest.h>

#include "frontend/controls/ControlGL.h"

namespace {

struct Counted : MSButton {
  void PlaySound() override { ++sounds; }
  int sounds = 0;
};

class PressTest : public ::testing::Test {
 protected:
  PressTest() {
    ResetControlPress();
    a.bounds = Rect{0, 0, 20, 20};
    b.bounds = Rect{0, 40, 20, 60};
  }
  ~PressTest() override { ResetControlPress(); }
  // One pass: both controls see the same reading, a first.
  void Pass(UInt8 down, UInt8 clicked, SInt16 h, SInt16 v) {
    UserInput in{down, clicked, Point{v, h}};
    ra = a.HandleInput(&in, 4, 0);
    rb = b.HandleInput(&in, 4, 0);
  }
  Counted a, b;
  ControlGL* ra = nullptr;
  ControlGL* rb = nullptr;
};

TEST_F(PressTest, ClickInsideAndReleaseReturnsOnceWithSound) {
  Pass(1, 1, 10, 10);
  EXPECT_EQ(a.hilite, 1);
  EXPECT_EQ(a.pressDepth, 4);
  EXPECT_EQ(a.sounds, 1);
  Pass(1, 0, 10, 10);
  EXPECT_EQ(a.sounds, 1);
  Pass(0, 0, 10, 10);
  EXPECT_EQ(ra, &a);
  EXPECT_EQ(a.hilite, 0);
  Pass(0, 0, 10, 10);
  EXPECT_EQ(ra, nullptr);
}

TEST_F(PressTest, DragOutAndReleaseReturnsNothingButBackInDoes) {
  Pass(1, 1, 10, 10);
  Pass(1, 0, 100, 100);
  EXPECT_EQ(a.hilite, 0);
  Pass(0, 0, 100, 100);
  EXPECT_EQ(ra, nullptr);

  Pass(1, 1, 10, 10);
  Pass(1, 0, 100, 100);
  Pass(1, 0, 10, 10);
  EXPECT_EQ(a.hilite, 1);
  Pass(0, 0, 10, 10);
  EXPECT_EQ(ra, &a);
}

TEST_F(PressTest, PressBegunOutsideCannotBeDraggedOntoAButton) {
  Pass(1, 1, 100, 100);
  Pass(1, 0, 10, 10);
  Pass(1, 0, 50, 10);
  EXPECT_EQ(a.hilite, 0);
  EXPECT_EQ(b.hilite, 0);
  Pass(0, 0, 50, 10);
  EXPECT_EQ(rb, nullptr);
}

TEST_F(PressTest, PressRequestActsAsAClickInTheMiddle) {
  a.Press();
  Pass(0, 0, 100, 100);
  EXPECT_EQ(a.hilite, 1);
  EXPECT_EQ(a.sounds, 1);
  Pass(0, 0, 100, 100);
  EXPECT_EQ(ra, &a);
}

TEST_F(PressTest, HiddenOrDisabledControlIgnoresInput) {
  a.visible = 0;
  Pass(1, 1, 10, 10);
  EXPECT_EQ(a.hilite, 0);
  a.visible = 1;
  a.enabled = 0;
  Pass(1, 1, 10, 10);
  EXPECT_EQ(a.hilite, 0);
}

TEST(MSButtonTest, PressDepthSpringsBackOverFourTicks) {
  MSButton button;
  button.pressDepth = 4;
  for (int tick = 3; tick >= 0; --tick) {
    button.Animate();
    EXPECT_EQ(button.pressDepth, tick);
  }
  button.Animate();
  EXPECT_EQ(button.pressDepth, 0);
}

}  // namespace
