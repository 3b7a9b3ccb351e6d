#include "frontend/screens/PauseScreen.h"

#include "frontend/ApplicationHooks.h"
#include "frontend/MainLoop.h"
#include "frontend/Resources.h"
#include "frontend/controls/SliderGL.h"
#include "frontend/screens/MainScreen.h"
#include "game/GameObjects.h"
#include "game/GameServices.h"
#include "graphics/GameWindow.h"
#include "platform/KeyCodes.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"

PauseScreen pauseSCREEN;

namespace {

const char* const kButtonPictures[PauseScreen::kButtons] = {"Pause/Resume", "Graphics/Interface/Buttons/Sound",
                                                            "Graphics/Interface/Buttons/Music", "Pause/Abort"};

// Leaving the pause forgets the Escape or Return the keyboard saw, so that
// the loop's pause trigger does not take it for a new pause request.
void LeavePause() {
  pauseSCREEN.Close();
  gamePAUSE = 0;
  mainCURS.Hide();
  mainINPUT[kInputEscape] = 0;
  mainINPUT[kInputReturn] = 0;
}

}  // namespace

void PauseScreen::Open() {
  scale = 0.75f;
  if (!loaded) {
    LoadImage(&box, "Pause/PauseBox", 1);
    SInt16 cx = SInt16(mainRECT.left + (mainRECT.right - mainRECT.left) / 2);
    SInt16 cy = SInt16(mainRECT.top + (mainRECT.bottom - mainRECT.top) / 2);
    SetRect2(&bounds, SInt16(cx - box.Width() / 2), SInt16(cy - box.Height() / 2), box.Width(), box.Height());
    for (int i = 0; i < kButtons; ++i) LoadImage(&buttons[i].titleImage, kButtonPictures[i], 1);
    loaded = 1;
  }
  for (int i = 0; i < kButtons; ++i) {
    MSButton& b = buttons[i];
    SetRect2(&b.bounds, SInt16(bounds.left + 40), SInt16(bounds.top + 18 + 36 * i), SInt16(0.75 * b.titleImage.Width()),
             SInt16(0.75 * b.titleImage.Height()));
    b.pressDepth = 0;
    b.hitRect = b.bounds;
    if (i == kSound || i == kMusic) MakeRoomForLight(&b);
  }
  // The screen sounds the Sound button's click itself, after the toggle.
  buttons[kSound].secondResource = nullptr;
  SetupAudioSliders(&buttons[kSound], &buttons[kMusic], scale);
  EnableAllEvents();
  ScreenGL::Open(1);
}

void PauseScreen::Process() {
  // A question in front of the box (quit the game?) takes the keys and the
  // pointer until it is answered.
  if (!IsFront()) return;
  UserInput input{};
  GetUserInput(&input);
  if (theEVENT.what == keyDown && EventKey(&theEVENT, nullptr) == keycode::kEscape) buttons[kResume].Press();
  for (int i = 0; i < kButtons; ++i) {
    MSButton& b = buttons[i];
    if (b.pressDepth) --b.pressDepth;
    if (!b.HandleInput(&input, 4, 0)) continue;
    switch (i) {
      case kResume: LeavePause(); break;
      case kSound: ToggleSoundSwitch(&b.bounds); break;
      case kMusic: ToggleMusicSwitch(&gameMUSIC); break;
      case kAbort:
        LeavePause();
        QuitGame();
        break;
    }
  }
  HandleAudioSliders(&input);
}

void PauseScreen::Draw() {
  box.Draw(&bounds);
  for (MSButton& b : buttons) b.Draw();
  DrawToggleLight(buttons[kSound], audioPREFS.soundOn != 0, 0.75f);
  DrawToggleLight(buttons[kMusic], audioPREFS.musicOn != 0, 0.75f);
  for (AudioSlider& s : audioSLIDER) s.Draw(scale);
}
