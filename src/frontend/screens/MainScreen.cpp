#include "frontend/screens/MainScreen.h"

#include "frontend/KeyNames.h"
#include "frontend/MainLoop.h"
#include "frontend/Resources.h"
#include "game/Game.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"

MainScreen mainSCREEN;

namespace {
const UInt8 kKeyReturn = 36, kKeyEscape = 53;
const UInt8 kFadeStep = 8;
}  // namespace

void MainScreen::Open() {
  if (!loaded) {
    LoadImage(&picture, "Main/Main", 0);
    loaded = 1;
  }
  bounds = mainRECT;
  starting = 0;
  EnableAllEvents();
  ShowInterface();
  ScreenGL::Open(1);
}

void MainScreen::Process() {
  if (starting) {
    if (Brightness_GL() > 0) {
      Darker_GL(kFadeStep);
      return;
    }
    Close();
    StartGame();
    return;
  }
  if (!IsFront()) return;
  if (Brightness_GL() < 255) Brighter_GL(kFadeStep);
  SInt16 h, v;
  bool fire = KeyEvent(kKeyReturn, -1, nullptr) || ClickEvent(&h, &v) ||
              KeyEvent(playerKEY[4], -1, nullptr) || KeyEvent(playerKEY[kPlayerKeyCount + 4], -1, nullptr);
  if (KeyEvent(kKeyEscape, -1, nullptr)) applQUIT = 1;
  else if (fire) starting = 1;
}

void MainScreen::Draw() { picture.Draw(&bounds); }
