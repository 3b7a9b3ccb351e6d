#include "frontend/screens/TitleScreen.h"

#include "frontend/KeyNames.h"
#include "frontend/Resources.h"
#include "frontend/screens/MainScreen.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"

TitleScreen titleSCREEN;

namespace {
const UInt8 kKeyReturn = 36, kKeyEscape = 53;
const UInt8 kFadeStep = 8;
}  // namespace

void TitleScreen::Open() {
  if (!loaded) {
    LoadImage(&picture, "Title/Title", 1);
    loaded = 1;
  }
  bounds = mainRECT;
  leaving = 0;
  // The title is a screen of the ordinary pointer: events are released, so
  // the menus' keys and the window's buttons are served.
  EnableAllEvents();
  ShowInterface();
  ScreenGL::Open(1);
}

void TitleScreen::Process() {
  if (leaving) {
    if (Brightness_GL() > 0) {
      Darker_GL(kFadeStep);
      return;
    }
    Close();
    mainSCREEN.Open();
    return;
  }
  if (!IsFront()) return;
  SInt16 h, v;
  if (KeyEvent(kKeyReturn, -1, nullptr) || KeyEvent(kKeyEscape, -1, nullptr) || ClickEvent(&h, &v) ||
      KeyEvent(playerKEY[4], -1, nullptr) || KeyEvent(playerKEY[kPlayerKeyCount + 4], -1, nullptr))
    leaving = 1;
}

void TitleScreen::Draw() { picture.Draw(&bounds); }
