#include <gtest/gtest.h>

#include "ControlTestSupport.h"
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
  void Pass(UInt8 down, UInt8 clicked, SInt16 h, SInt16 v, char sticky = 0) {
    UserInput in{down, clicked, Point{v, h}};
    ra = a.HandleInput(&in, 4, sticky);
    rb = b.HandleInput(&in, 4, sticky);
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
  EXPECT_EQ(pressedCONTROL, nullptr);
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
  EXPECT_EQ(a.sounds, 2);  // once per press, not again on the way back in
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
  EXPECT_EQ(a.sounds + b.sounds, 0);
}

TEST_F(PressTest, OverlappingControlsTheFirstHandledTakesThePress) {
  b.bounds = a.bounds;
  Pass(1, 1, 10, 10);
  EXPECT_EQ(a.hilite, 1);
  EXPECT_EQ(b.hilite, 0);
  Pass(1, 0, 10, 10);
  EXPECT_EQ(b.hilite, 0);
  Pass(0, 0, 10, 10);
  EXPECT_EQ(ra, &a);
  EXPECT_EQ(rb, nullptr);
  EXPECT_EQ(b.sounds, 0);
}

TEST_F(PressTest, PressRequestActsAsAClickInTheMiddle) {
  a.Press();
  UserInput in{0, 0, Point{100, 100}};
  a.HandleInput(&in, 4, 0);
  EXPECT_EQ(a.hilite, 1);
  EXPECT_EQ(a.sounds, 1);
  // The record itself now holds the forced press at the control's centre.
  EXPECT_EQ(in.down, 1);
  EXPECT_EQ(in.where.h, 10);
  EXPECT_EQ(in.where.v, 10);
  Pass(0, 0, 100, 100);
  EXPECT_EQ(ra, &a);
}

TEST_F(PressTest, HiddenOrDisabledControlIgnoresInputAndKeepsItsHilite) {
  for (int hidden = 0; hidden < 2; ++hidden) {
    Pass(1, 1, 10, 10);
    ASSERT_EQ(a.hilite, 1);
    if (hidden)
      a.visible = 0;
    else
      a.enabled = 0;
    Pass(0, 0, 10, 10);
    EXPECT_EQ(ra, nullptr);
    EXPECT_EQ(a.hilite, 1);
    a.visible = a.enabled = 1;
    Pass(0, 0, 10, 10);
  }
}

TEST_F(PressTest, StickyPressOutlivesTheButtonComingUp) {
  Pass(1, 1, 10, 10, 1);
  Pass(0, 0, 10, 10, 1);
  EXPECT_EQ(ra, nullptr);
  EXPECT_EQ(a.hilite, 1);
  EXPECT_EQ(pressedCONTROL, &a);
}

TEST_F(PressTest, HitRectangleTakesTheBoundsWhenEmpty) {
  a.hitRect = Rect{0, 0, 20, 10};  // only the left half counts
  Pass(1, 1, 15, 10);
  EXPECT_EQ(a.hilite, 0);
  a.hitRect = Rect{0, 0, 0, 0};
  Pass(0, 0, 0, 0);
  Pass(1, 1, 15, 10);
  EXPECT_EQ(a.hilite, 1);
}

TEST(ControlTest, ResetAndToggle) {
  ButtonGL b;
  EXPECT_EQ(b.Type(), ControlGL::kButton);
  b.Reset();
  EXPECT_EQ(b.Type(), 0);
  EXPECT_EQ(b.bounds.bottom, 48);
  EXPECT_EQ(b.bounds.right, 64);
  EXPECT_EQ(b.max, 100);
  b.Toggle();
  EXPECT_EQ(b.value, 1);
  b.value = 5;
  b.Toggle();
  EXPECT_EQ(b.value, 0);
  EXPECT_EQ(CheckboxGL().Type(), ControlGL::kCheckbox);
  EXPECT_EQ(RadioGL().Type(), ControlGL::kRadio);
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

class ControlLookTest : public ::testing::Test {
 protected:
  ControlLookTest() { FakeLoad(&mainGUI.buttonSound, 31); }
  ~ControlLookTest() override {
    mainGUI.buttonSound.buffers[0] = 0;
    for (ImageGL& i : mainGUI.buttonSkin) FakeImage(&i, 0, 0, false);
    for (ImageGL& i : mainGUI.checkboxSkin) FakeImage(&i, 0, 0, false);
  }
  ControlTestRecorders rec;
};

TEST_F(ControlLookTest, ButtonPlaysItsSoundWhenThePressBegins) {
  ButtonGL b;
  b.bounds = Rect{100, 200, 120, 260};
  UserInput in{1, 1, Point{110, 210}};
  b.HandleInput(&in, 4, 0);
  ASSERT_EQ(rec.sounds.size(), 1u);
  EXPECT_EQ(rec.sounds[0].buffer, 31u);
  in.clicked = 0;
  b.HandleInput(&in, 4, 0);
  in.down = 0;
  b.HandleInput(&in, 4, 0);
  EXPECT_EQ(rec.sounds.size(), 1u);
}

TEST_F(ControlLookTest, MSButtonDrawsPushedByItsScaledDepth) {
  MSButton b;
  b.bounds = Rect{10, 20, 30, 60};
  b.pressScale = 0.75f;
  b.pressDepth = 2;
  b.Draw();
  ASSERT_EQ(rec.draws.size(), 1u);
  const ImageDraw& d = rec.draws[0];
  EXPECT_EQ(d.rect.left, 21);  // (int)(0.75 x 2)
  EXPECT_EQ(d.rect.top, 11);
  EXPECT_FLOAT_EQ(d.red, 1.0f - 2 / 6.0f);
  EXPECT_FLOAT_EQ(d.alpha, 1.0f);

  b.pressDepth = 0;
  b.enabled = 0;
  b.Draw();
  EXPECT_EQ(rec.draws[1].rect.left, 20);
  EXPECT_FLOAT_EQ(rec.draws[1].red, 1.0f);
  EXPECT_FLOAT_EQ(rec.draws[1].alpha, 0.25f);
  EXPECT_FLOAT_EQ(b.titleImage.alpha, 1.0f);  // restored after the draw

  b.visible = 0;
  b.Draw();
  EXPECT_EQ(rec.draws.size(), 2u);
}

TEST_F(ControlLookTest, ButtonWithoutAWholeSkinShowsItsTitleAlone) {
  ButtonGL b;
  b.bounds = Rect{100, 200, 140, 300};
  FakeImage(&b.titleImage, 40, 20);
  FakeImage(&mainGUI.buttonSkin[0], 8, 40);
  FakeImage(&mainGUI.buttonSkin[1], 8, 40, false);
  FakeImage(&mainGUI.buttonSkin[2], 8, 40);
  b.hilite = 1;
  b.Draw();
  ASSERT_EQ(rec.draws.size(), 1u);
  EXPECT_EQ(rec.draws[0].image, &b.titleImage);
  // Centred, one pixel up, no press offset.
  EXPECT_EQ(rec.draws[0].rect.left, 230);
  EXPECT_EQ(rec.draws[0].rect.top, 109);
  EXPECT_EQ(rec.draws[0].rect.right, 270);
}

TEST_F(ControlLookTest, TitleOverrideIsDrawnInPlaceOfTheTitleAtItsOwnSize) {
  ButtonGL b;
  ImageGL other;
  FakeImage(&other, 10, 6, false);
  b.bounds = Rect{0, 0, 20, 40};
  b.titleOverride = &other;
  b.enabled = 0;
  b.Draw();
  ASSERT_EQ(rec.draws.size(), 1u);
  EXPECT_EQ(rec.draws[0].image, &other);
  EXPECT_EQ(rec.draws[0].rect.left, 15);
  EXPECT_EQ(rec.draws[0].rect.top, 6);
  EXPECT_FLOAT_EQ(rec.draws[0].alpha, 1.0f);  // not ours to fade
  EXPECT_FLOAT_EQ(b.titleImage.alpha, 0.25f);
}

TEST_F(ControlLookTest, SkinnedButtonDrawsShadowThenButtonThenTitle) {
  ButtonGL b;
  b.bounds = Rect{100, 200, 120, 240};
  FakeImage(&b.titleImage, 20, 10);
  FakeImage(&mainGUI.buttonSkin[0], 10, 20);
  FakeImage(&mainGUI.buttonSkin[1], 12, 20);
  FakeImage(&mainGUI.buttonSkin[2], 10, 20);
  b.Draw();
  // Per pass: left cap, middle pieces from 210 (210-222 full, 222-230
  // squeezed), right cap 230-240; the shadow pass 3 pixels down and right.
  struct Piece {
    const ImageGL* image;
    float left, right, top, red, alpha;
  };
  const ImageGL* s = mainGUI.buttonSkin;
  const Piece want[] = {
      {&s[0], 203, 213, 103, 0, 0.15f}, {&s[1], 213, 225, 103, 0, 0.15f}, {&s[1], 225, 233, 103, 0, 0.15f},
      {&s[2], 233, 243, 103, 0, 0.15f}, {&s[0], 200, 210, 100, 1, 1},     {&s[1], 210, 222, 100, 1, 1},
      {&s[1], 222, 230, 100, 1, 1},     {&s[2], 230, 240, 100, 1, 1},     {&b.titleImage, 210, 230, 104, 1, 1},
  };
  ASSERT_EQ(rec.draws.size(), std::size(want));
  for (size_t i = 0; i < std::size(want); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rec.draws[i].image, want[i].image);
    EXPECT_EQ(rec.draws[i].rect.left, want[i].left);
    EXPECT_EQ(rec.draws[i].rect.right, want[i].right);
    EXPECT_EQ(rec.draws[i].rect.top, want[i].top);
    EXPECT_FLOAT_EQ(rec.draws[i].red, want[i].red);
    EXPECT_FLOAT_EQ(rec.draws[i].alpha, want[i].alpha);
  }

  rec.draws.clear();
  b.hilite = 1;
  b.Draw();
  // Pressed: the button itself darker and one pixel down and right.
  EXPECT_EQ(rec.draws[4].rect.left, 201);
  EXPECT_FLOAT_EQ(rec.draws[4].red, 0.75f);
  EXPECT_EQ(rec.DrawsOf(b.titleImage)[0].rect.left, 211);

  rec.draws.clear();
  b.hilite = 0;
  b.enabled = 0;
  b.Draw();
  // Disabled: no shadow pass, faded.
  ASSERT_EQ(rec.draws.size(), 5u);
  EXPECT_FLOAT_EQ(rec.draws[0].alpha, 0.25f);
  EXPECT_FLOAT_EQ(rec.draws[4].alpha, 0.25f);
}

TEST_F(ControlLookTest, CheckboxShowsItsStateAndAShadowedTitle) {
  CheckboxGL c;
  c.bounds = Rect{50, 60, 70, 100};
  FakeImage(&mainGUI.checkboxSkin[0], 16, 16);
  FakeImage(&mainGUI.checkboxSkin[1], 16, 16);
  FakeImage(&c.titleImage, 30, 10);
  c.AutoResize();
  EXPECT_EQ(c.bounds.right, 60 + 16 + 30 + 8);
  c.value = 1;
  c.hilite = 1;
  c.Draw();
  ASSERT_EQ(rec.draws.size(), 3u);
  EXPECT_EQ(rec.draws[0].image, &mainGUI.checkboxSkin[1]);
  EXPECT_FLOAT_EQ(rec.draws[0].red, 0.75f);
  EXPECT_EQ(rec.draws[1].rect.left, 60 + 16 + 4 + 2);  // the shadow
  EXPECT_EQ(rec.draws[1].rect.top, 55 + 2);
  EXPECT_FLOAT_EQ(rec.draws[1].alpha, 0.15f);
  EXPECT_EQ(rec.draws[2].rect.left, 60 + 16 + 4 + 1);  // pressed title
  EXPECT_FLOAT_EQ(rec.draws[2].red, 0.75f);

  // A click does not change the value: the owner does.
  UserInput in{1, 1, Point{55, 65}};
  c.HandleInput(&in, 4, 0);
  in.down = 0;
  EXPECT_EQ(c.HandleInput(&in, 4, 0), &c);
  EXPECT_EQ(c.value, 1);
}

TEST_F(ControlLookTest, DrawWithShadowLeavesTheImagePlain) {
  ImageGL image;
  FakeImage(&image, 10, 10);
  Rect r{0, 0, 10, 10};
  DrawWithShadow(&image, &r, 2, 2, 0.4f);
  ASSERT_EQ(rec.draws.size(), 2u);
  EXPECT_EQ(rec.draws[0].rect.left, 2);
  EXPECT_FLOAT_EQ(rec.draws[0].red, 0.0f);
  EXPECT_FLOAT_EQ(rec.draws[0].alpha, 0.4f);
  EXPECT_EQ(rec.draws[1].rect.left, 0);
  EXPECT_FLOAT_EQ(rec.draws[1].red, 1.0f);
  EXPECT_FLOAT_EQ(image.alpha, 1.0f);
  image.texture = 0;
}

}  // namespace
