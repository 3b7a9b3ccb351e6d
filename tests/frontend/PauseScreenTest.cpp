#include <gtest/gtest.h>

#include "frontend/ApplicationHooks.h"
#include "frontend/screens/PauseScreen.h"
#include "graphics/Colors.h"
#include "game/GameObjects.h"
#include "support/FakeEventPlatform.h"
#include "shell/Events.h"

namespace {

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
    pauseSCREEN.Open();
    ShowCursorGL();  // as pausing does
    mainINPUT[10] = mainINPUT[11] = 1;
  }
  ~PauseScreenTest() override {
    if (pauseSCREEN.IsOpen()) pauseSCREEN.Close();
    gamePLAY = gamePAUSE = gameOVER = 0;
    for (UInt8& b : mainINPUT) b = 0;
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
  FakeEventPlatform platform;
};

TEST_F(PauseScreenTest, EscapeResumesAndForgetsThePauseKeys) {
  theEVENT.what = keyDown;
  theEVENT.message = 53 << 8 | 27;
  pauseSCREEN.Process();  // the forced click presses Resume
  theEVENT = EventRecord{};
  pauseSCREEN.Process();  // and the released button acts
  EXPECT_FALSE(pauseSCREEN.IsOpen());
  EXPECT_EQ(gamePAUSE, 0);
  EXPECT_EQ(mainINPUT[10], 0);
  EXPECT_EQ(mainINPUT[11], 0);
  EXPECT_EQ(gameOVER, 0);
  EXPECT_EQ(mainCURS.visible, 0) << "play goes on without the cursor";
}

TEST_F(PauseScreenTest, AbortEndsTheGame) {
  Point at = Centre(pauseSCREEN.buttons[PauseScreen::kAbort]);
  Process(1, 1, at);
  Process(0, 0, at);
  EXPECT_FALSE(pauseSCREEN.IsOpen());
  EXPECT_EQ(gamePAUSE, 0);
  EXPECT_EQ(gameOVER, 1);
  EXPECT_EQ(mainINPUT[10], 0);
  EXPECT_EQ(mainCURS.visible, 0);
}

}  // namespace
