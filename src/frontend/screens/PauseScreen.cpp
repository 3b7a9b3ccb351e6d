#include "frontend/screens/PauseScreen.h"

#include "frontend/ApplicationHooks.h"
#include "frontend/MainLoop.h"
#include "frontend/Resources.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"

PauseScreen pauseSCREEN;

namespace {

const char* const kButtonPictures[2] = {"Pause/Resume", "Pause/Abort"};
const UInt8 kKeyEscape = 53;

// Leaving the pause forgets the Escape or Return that ended it, so that the
// loop's pause trigger does not take it for a new pause request.
void LeavePause() {
  pauseSCREEN.Close();
  gamePAUSE = 0;
  mainINPUT[10] = 0;
  mainINPUT[11] = 0;
  mainCURS.Hide();
}

}  // namespace

void PauseScreen::Open() {
  scale = 0.75f;
  if (!loaded) {
    LoadImage(&box, "Pause/PauseBox", 1);
    SInt16 cx = SInt16(mainRECT.left + (mainRECT.right - mainRECT.left) / 2);
    SInt16 cy = SInt16(mainRECT.top + (mainRECT.bottom - mainRECT.top) / 2);
    SetRect2(&bounds, cx - box.Width() / 2, cy - box.Height() / 2, box.Width(), box.Height());
    for (int i = 0; i < 2; ++i) LoadImage(&buttons[i].titleImage, kButtonPictures[i], 1);
    loaded = 1;
  }
  for (int i = 0; i < 2; ++i) {
    MSButton& b = buttons[i];
    // Resume in the first row, Abort in the fourth, as in the full box.
    int row = i == kResume ? 0 : 3;
    SetRect2(&b.bounds, bounds.left + 40, bounds.top + 18 + 36 * row, SInt16(0.75 * b.titleImage.Width()),
             SInt16(0.75 * b.titleImage.Height()));
    b.pressDepth = 0;
    b.hitRect = b.bounds;
  }
  EnableAllEvents();
  ScreenGL::Open(1);
}

void PauseScreen::Process() {
  UserInput input{};
  GetUserInput(&input);
  if (theEVENT.what == keyDown && EventKey(&theEVENT, nullptr) == kKeyEscape) buttons[kResume].Press();
  for (int i = 0; i < 2; ++i) {
    MSButton& b = buttons[i];
    if (b.pressDepth) --b.pressDepth;
    if (!b.HandleInput(&input, 4, 0)) continue;
    LeavePause();
    if (i == kAbort) QuitGame();
    return;
  }
}

void PauseScreen::Draw() {
  box.Draw(&bounds);
  for (MSButton& b : buttons) b.Draw();
}
