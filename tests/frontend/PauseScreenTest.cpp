#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "foundation/Colors.h"
#include "frontend/ApplicationHooks.h"
#include "frontend/controls/SliderGL.h"
#include "frontend/screens/PauseScreen.h"
#include "game/GameObjects.h"
#include "platform/KeyCodes.h"
#include "shell/Events.h"
#include "sound/AudioPrefs.h"
#include "support/FakeEventPlatform.h"

namespace {

const unsigned kClickBuffer = 21;

class PauseScreenTest : public ::testing::Test {
 protected:
  PauseScreenTest() {
    ResetControlPress();
    theEVENT = EventRecord{};
    gEventREC = &theEVENT;
    pauseSCREEN.loaded = 1;  // its pictures need a display; their sizes will do
    SetRect2(&pauseSCREEN.bounds, 150, 150, 340, 180);
    for (MSButton& b : pauseSCREEN.buttons) {
      b.titleImage.imageWidth = 160;
      b.titleImage.imageHeight = 40;
    }
    gamePLAY = 1;
    gamePAUSE = 1;
    gameOVER = 0;
    mainPLAYER = 0;
    for (Player& p : _PLAYER) p.on = 0;
    audioPREFS.soundOn = audioPREFS.musicOn = 1;
    FakeLoad(&mainGUI.buttonSound, kClickBuffer);
    pauseSCREEN.Open();
    ShowCursorGL();  // as pausing does
    mainINPUT[kInputEscape] = mainINPUT[kInputReturn] = 1;
  }
  ~PauseScreenTest() override {
    if (pauseSCREEN.IsOpen()) pauseSCREEN.Close();
    gamePLAY = gamePAUSE = gameOVER = 0;
    for (UInt8& b : mainINPUT) b = 0;
    FakeLoad(&mainGUI.buttonSound, 0);
    audioPREFS.soundOn = audioPREFS.musicOn = 1;
  }
  void Process(UInt8 down, UInt8 clicked, Point where) {
    platform.mouse = Point{SInt16(100 + where.v), SInt16(200 + where.h)};
    platform.button = down;
    if (clicked) platform.PostMouse(PlatformEvent::MouseDown, platform.mouse);
    GetEvent(0xFFFF, nullptr);
    pauseSCREEN.Process();
  }
  Point Centre(const MSButton& b) {
    return Point{SInt16((b.bounds.top + b.bounds.bottom) / 2), SInt16((b.bounds.left + b.bounds.right) / 2)};
  }
  int Clicks() const {
    int n = 0;
    for (const FakePlay& s : rec.sounds) n += s.buffer == kClickBuffer;
    return n;
  }
  FakeEventPlatform platform;
  ControlTestRecorders rec;
};

TEST_F(PauseScreenTest, EscapeResumesAndForgetsThePauseKeys) {
  theEVENT.what = keyDown;
  theEVENT.message = keycode::kEscape << 8 | keychar::kEscape;
  pauseSCREEN.Process();  // the forced click presses Resume
  theEVENT = EventRecord{};
  pauseSCREEN.Process();  // and the released button acts
  EXPECT_FALSE(pauseSCREEN.IsOpen());
  EXPECT_EQ(gamePAUSE, 0);
  EXPECT_EQ(mainINPUT[kInputEscape], 0);
  EXPECT_EQ(mainINPUT[kInputReturn], 0);
  EXPECT_EQ(gameOVER, 0);
  EXPECT_EQ(Clicks(), 1) << "as a click on Resume sounds";
  EXPECT_EQ(mainCURS.visible, 0) << "play goes on without the cursor";
}

TEST_F(PauseScreenTest, AbortEndsTheGame) {
  Point at = Centre(pauseSCREEN.buttons[PauseScreen::kAbort]);
  Process(1, 1, at);
  Process(0, 0, at);
  EXPECT_FALSE(pauseSCREEN.IsOpen());
  EXPECT_EQ(gamePAUSE, 0);
  EXPECT_EQ(gameOVER, 1);
  EXPECT_EQ(mainINPUT[kInputEscape], 0);
  EXPECT_EQ(mainCURS.visible, 0);
}

TEST_F(PauseScreenTest, SoundAndMusicSwitchWithoutEndingThePause) {
  const Point sound = Centre(pauseSCREEN.buttons[PauseScreen::kSound]);
  Process(1, 1, sound);
  Process(0, 0, sound);
  EXPECT_EQ(audioPREFS.soundOn, 0);
  EXPECT_EQ(Clicks(), 0) << "switching off is silent";
  Process(1, 1, sound);
  Process(0, 0, sound);
  EXPECT_EQ(audioPREFS.soundOn, 1);
  EXPECT_EQ(Clicks(), 1) << "switching on clicks once";

  const Point music = Centre(pauseSCREEN.buttons[PauseScreen::kMusic]);
  Process(1, 1, music);
  Process(0, 0, music);
  EXPECT_EQ(audioPREFS.musicOn, 0);
  Process(1, 1, music);
  Process(0, 0, music);
  EXPECT_EQ(audioPREFS.musicOn, 1);

  EXPECT_TRUE(pauseSCREEN.IsOpen());
  EXPECT_EQ(gamePAUSE, 1);
}

TEST_F(PauseScreenTest, EveryOpeningLaysTheButtonsOutAfresh) {
  // Resume, Sound, Music, Abort 36 apart, 40 in and 18 down the box; the
  // light of Sound and Music stands in a 32-pixel gap that takes clicks too.
  struct Row {
    int button;
    SInt16 left, top, hitLeft;
  };
  const Row rows[] = {{PauseScreen::kResume, 190, 168, 190},
                      {PauseScreen::kSound, 222, 204, 190},
                      {PauseScreen::kMusic, 222, 240, 190},
                      {PauseScreen::kAbort, 190, 276, 190}};
  for (int opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening);
    for (const Row& r : rows) {
      const MSButton& b = pauseSCREEN.buttons[r.button];
      EXPECT_EQ(b.bounds.left, r.left) << r.button;
      EXPECT_EQ(b.bounds.top, r.top) << r.button;
      EXPECT_EQ(b.bounds.right - b.bounds.left, 120) << r.button;
      EXPECT_EQ(b.bounds.bottom - b.bounds.top, 30) << r.button;
      EXPECT_EQ(b.hitRect.left, r.hitLeft) << r.button;
      EXPECT_EQ(b.hitRect.right, b.bounds.right) << r.button;
      EXPECT_EQ(b.pressDepth, 0);
    }
    EXPECT_EQ(pauseSCREEN.buttons[PauseScreen::kSound].secondResource, nullptr);
    // Moved and pressed in between, reopened: laid out again.
    for (MSButton& b : pauseSCREEN.buttons) {
      SetRect2(&b.bounds, 0, 0, 5, 5);
      b.hitRect = b.bounds;
      b.pressDepth = 3;
    }
    pauseSCREEN.Close();
    pauseSCREEN.Open();
    EXPECT_EQ(pauseSCREEN.loaded, 1);
  }
}

}  // namespace
