#include "frontend/MainLoop.h"

#include "foundation/Clock.h"
#include "foundation/ErrorDialog.h"
#include "frontend/ApplicationHooks.h"
#include "frontend/KeyNames.h"
#include "frontend/screens/ScreenGL.h"
#include "game/Game.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "platform/InputTrace.h"
#include "platform/KeyCodes.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/GameMouse.h"
#include "shell/KeyState.h"

double nextTime = 0;
UInt8 pauseTrigger = 0;
Timer mainTIMER;
MSButton fullScreenBUTTON;
void (*drawFrameProc)() = nullptr;
UInt32 stepCOUNT = 0;
void (*scriptedInputProc)(UInt32 step) = nullptr;

namespace {

// The button shows while the pointer is near it, and only when no game is
// running or the game is paused.
void FadeFullScreenButton() {
  Point m = GetGameMouse();
  const Rect& b = fullScreenBUTTON.bounds;
  bool near = m.h >= b.left - 32 && m.h < b.right + 32 && m.v >= b.top - 32 && m.v < b.bottom + 32;
  float& fade = fullScreenBUTTON.titleImage.alpha;
  if (near && (!gamePLAY || gamePAUSE))
    fade = fade + 0.1f > 1.0f ? 1.0f : fade + 0.1f;
  else
    fade = fade - 0.1f < 0.0f ? 0.0f : fade - 0.1f;
}

// Full screen, then a 640 by 480 window, then 1024 by 768, then full screen.
void CycleWindowSize() {
  if (IsFullScreen()) {
    windSIZE = Point{480, 640};
    FullScreenMode(0);
  } else if (windSIZE.h == 640) {
    AdjustWindowSize(1024, 768);
  } else {
    FullScreenMode(1);
  }
}

// Escape, Return, caps lock or a click pause a running game at full
// brightness, once per press.
void PauseTrigger(bool keyPause) {
  if (gamePLAY != 1 || gamePAUSE != 0) return;
  SInt16 h, v;
  bool down = keyPause || KeyDown(kKeyCapsLock) || ClickEvent(&h, &v);
  if (down && !pauseTrigger && Brightness_GL() == 255) PauseGame();
  pauseTrigger = down;
}

}  // namespace

const char* InputTaker() {
  // In the background until the program has taken its resume.
  if (!IsFrontProcess_Var()) return nullptr;
  if (frontScreen && frontScreen->IsOpen()) return frontScreen->TakesInput() ? frontScreen->TraceName() : nullptr;
  if (gamePLAY == 1 && !gamePAUSE && !gameOVER && Brightness_GL() == 255) return "game";
  return nullptr;
}

void TraceInputTaker() {
  if (!InputTraceOn()) return;
  // Names are string literals, so the pointer tells a change.
  static const char* traced = "";
  const char* taker = InputTaker();
  if (taker == traced) return;
  traced = taker;
  if (taker)
    TraceInput("ready %s", taker);
  else
    TraceInput("busy");
}

void ResetSpeedManager() { nextTime = LocalMicroseconds(); }

void HandleKeyboard() {
  for (int p = 1; p >= 0; --p)
    for (int k = 0; k < kPlayerKeyCount; ++k)
      if (KeyDown(playerKEY[p * kPlayerKeyCount + k])) mainINPUT[InputSlot(k, p)] = 1;
  if (KeyEvent(keycode::kReturn, -1, nullptr)) mainINPUT[kInputReturn] = 1;
  if (KeyEvent(keycode::kEscape, -1, nullptr)) mainINPUT[kInputEscape] = 1;
}

void QuitGame() {
  for (int p : {1 - mainPLAYER, int(mainPLAYER)}) {
    if (p < 0 || p > 1) continue;
    if (_PLAYER[p].on && !_PLAYER[p].dying) AdjustShield(char(p), -12);
  }
  gameOVER = 1;
}

void OpenALRequiredAlert() { AlertDialog("OpenAL is required for sound playback.", "", "OK"); }

bool MainStep() {
  GetEvent(0xFFFF, nullptr);
  if (AllEventsEnabled()) HandleEvents();
  // Escape and Return stand for the key fetched in this step only: a paused
  // game step does not clear them, and one left over would pause the game
  // again the moment the pause box lets it go.
  mainINPUT[kInputEscape] = mainINPUT[kInputReturn] = 0;
  HandleKeyboard();
  if (scriptedInputProc) scriptedInputProc(stepCOUNT);
  ++stepCOUNT;
  // The game step clears the input bytes, so the pause trigger reads them
  // now; typed while the game is paused they belong to the pause box.
  bool keyPause = gamePLAY == 1 && !gamePAUSE && (mainINPUT[kInputEscape] || mainINPUT[kInputReturn]);
  HandleGame();
  HandleCursorGL();
  PauseSuspendedGame();
  ProcessScreens();
  if (applQUIT) return false;
  FadeFullScreenButton();
  if (animateDELAY == 0.0f) fullScreenBUTTON.Animate();
  UserInput input{};
  GetUserInput(&input);
  if (fullScreenBUTTON.HandleInput(&input, 4, 0)) CycleWindowSize();
  PauseTrigger(keyPause);
  animateDELAY += 1.0f;
  if (animateDELAY >= 3.0f) animateDELAY = 0.0f;
  nextTime += kStepMicroseconds;
  TraceInputTaker();
  return true;
}

int MainPass() {
  if (KeyDown(keycode::kQuote)) Delay(3);
  if (LocalMicroseconds() - nextTime > kMaxBacklogMicroseconds) ResetSpeedManager();
  int steps = 0;
  while (LocalMicroseconds() >= nextTime) {
    ++steps;
    if (!MainStep()) break;
  }
  if (steps) {
    if (drawFrameProc) drawFrameProc();
  } else {
    double wait = nextTime - LocalMicroseconds();
    if (wait > 0) SleepNanoseconds(UInt64(wait * 1000.0));
  }
  return steps;
}
