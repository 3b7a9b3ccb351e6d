#include <gtest/gtest.h>

#include "foundation/Clock.h"
#include "frontend/ApplicationHooks.h"
#include "frontend/KeyNames.h"
#include "frontend/MainLoop.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "frontend/screens/PauseScreen.h"
#include "frontend/screens/ScreenGL.h"
#include "game/Game.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "platform/KeyCodes.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/AppleEvents.h"
#include "shell/Events.h"
#include "support/FakeEventPlatform.h"
#include "support/FakeTime.h"

namespace {

// Caps lock is key number 138, held as virtual key code 57.
const UInt8 kCapsLockCode = 57;
int draws = 0;
bool fullScreen = false;
std::vector<int> modeCalls;

class LoopTest : public ::testing::Test {
 protected:
  LoopTest() {
    timeInited = false;
    InitTime();
    for (QKELProc& slot : QKEL) slot = nullptr;
    QKEL[kQKELIsFullScreen] = reinterpret_cast<QKELProc>(+[]() -> bool { return fullScreen; });
    QKEL[kQKELFullScreenMode] = reinterpret_cast<QKELProc>(+[](unsigned char mode) {
      modeCalls.push_back(mode);
      fullScreen = mode != 0;
    });
    FlushKeyState();
    theEVENT = EventRecord{};
    gEventREC = &theEVENT;
    applQUIT = 0;
    draws = 0;
    fullScreen = false;
    modeCalls.clear();
    drawFrameProc = [] { ++draws; };
    gamePLAY = gamePAUSE = gameOVER = gameFREEZE = 0;
    animateDELAY = 0;
    pauseTrigger = 0;
    for (UInt8& b : mainINPUT) b = 0;
    DefaultKeys();
    glFADER.SetBright(255);
    windSIZE = Point{480, 640};
    pauseSCREEN.loaded = 1;  // its pictures need a display
    ResetControlPress();
    SetRect2(&fullScreenBUTTON.bounds, 611, -1, 35, 35);
    fullScreenBUTTON.hitRect = Rect{0, 0, 0, 0};
    fullScreenBUTTON.titleImage.alpha = 0;
    ResetSpeedManager();
  }
  ~LoopTest() override {
    if (pauseSCREEN.IsOpen()) pauseSCREEN.Close();
    if (confirmSCREEN.IsOpen()) confirmSCREEN.Close();
    for (QKELProc& slot : QKEL) slot = nullptr;
    drawFrameProc = nullptr;
    gamePLAY = gamePAUSE = gameFREEZE = 0;
  }

  // A running game whose own step does nothing, so only the loop acts; the
  // game step's clearing of the inputs is done by hand.
  void FrozenGame() {
    gamePLAY = 1;
    gameFREEZE = 1;
  }
  void Step() {
    ASSERT_TRUE(MainStep());
    for (UInt8& b : mainINPUT) b = 0;
  }

  FakeTime time;
  FakeEventPlatform platform;
};

struct Lateness {
  UInt64 micros;
  int steps;
};

class StepsPerPassTest : public LoopTest, public ::testing::WithParamInterface<Lateness> {};

TEST_P(StepsPerPassTest, DueStepsRunThenOneDrawing) {
  time.AdvanceMicros(GetParam().micros);
  EXPECT_EQ(MainPass(), GetParam().steps) << GetParam().micros;
  EXPECT_EQ(draws, 1);
  // Whatever the backlog was, the next step is due in the future.
  EXPECT_GT(nextTime, LocalMicroseconds());
  EXPECT_LE(nextTime - LocalMicroseconds(), 16667.0);
}

INSTANTIATE_TEST_SUITE_P(Table, StepsPerPassTest,
                         ::testing::Values(Lateness{0, 1}, Lateness{16666, 1}, Lateness{16667, 2}, Lateness{50000, 3},
                                           Lateness{50001, 4}, Lateness{250000, 15}, Lateness{250001, 1},
                                           Lateness{5000000, 1}));

TEST_F(LoopTest, PassWithNothingDueSleepsUntilTheNextStep) {
  ASSERT_EQ(MainPass(), 1);
  UInt64 before = time.Micros();
  EXPECT_EQ(MainPass(), 0);
  EXPECT_EQ(draws, 1);
  EXPECT_GE(time.Micros() - before, 16600u);
  EXPECT_EQ(MainPass(), 1);
  EXPECT_EQ(draws, 2);
}

TEST_F(LoopTest, SixtyStepsASecond) {
  int steps = 0;
  UInt64 start = time.Micros();
  while (time.Micros() - start < 1000000) steps += MainPass();
  EXPECT_GE(steps, 60);
  EXPECT_LE(steps, 61);
}

TEST_F(LoopTest, QuoteKeyWaitsThreeTicksAndStepsCatchUp) {
  MainPass();
  platform.SetKey(39, true);
  UInt64 before = time.Micros();
  int steps = MainPass();
  EXPECT_GE(time.Micros() - before, 33000u);  // at least two whole ticks
  EXPECT_GE(steps, 2);
  EXPECT_EQ(draws, 2);
}

TEST_F(LoopTest, AnimateDelayCountsZeroOneTwo) {
  for (float expected : {1.0f, 2.0f, 0.0f, 1.0f}) {
    Step();
    EXPECT_EQ(animateDELAY, expected);
  }
}

TEST_F(LoopTest, KeysSetPlayerBytes) {
  platform.SetKey(124, true);  // player 1 right
  platform.SetKey(82, true);   // player 2 fire
  ASSERT_TRUE(MainStep());
  EXPECT_EQ(mainINPUT[InputSlot(kActionRight, 0)], 1);
  EXPECT_EQ(mainINPUT[InputSlot(kActionFire, 1)], 1);
  EXPECT_EQ(mainINPUT[InputSlot(kActionLeft, 0)], 0);
}

TEST_F(LoopTest, EscapePausesOncePerPress) {
  FrozenGame();
  platform.PostKey(PlatformEvent::KeyDown, keycode::kEscape, keychar::kEscape);
  Step();
  EXPECT_EQ(gamePAUSE, 1);
  EXPECT_TRUE(pauseSCREEN.IsOpen());
}

TEST_F(LoopTest, ReturnPausesEvenThoughTheGameStepClearsIt) {
  gamePLAY = 1;  // a real step runs and clears the input bytes
  platform.PostKey(PlatformEvent::KeyDown, 36, 13);
  ASSERT_TRUE(MainStep());
  EXPECT_EQ(gamePAUSE, 1);
}

TEST_F(LoopTest, HeldCapsLockTogglesOnlyOnANewPress) {
  FrozenGame();
  platform.SetKey(kCapsLockCode, true);
  Step();
  EXPECT_EQ(gamePAUSE, 1);
  // The pause screen resumes; the key is still held.
  pauseSCREEN.Close();
  gamePAUSE = 0;
  Step();
  Step();
  EXPECT_EQ(gamePAUSE, 0);
  platform.SetKey(kCapsLockCode, false);
  Step();
  platform.SetKey(kCapsLockCode, true);
  Step();
  EXPECT_EQ(gamePAUSE, 1);
}

TEST_F(LoopTest, NoPauseWhileFadingEvenWhenHeldUntilTheFadeEnds) {
  FrozenGame();
  glFADER.SetBright(200);
  platform.SetKey(kCapsLockCode, true);
  Step();
  EXPECT_EQ(gamePAUSE, 0);
  glFADER.SetBright(255);
  Step();
  EXPECT_EQ(gamePAUSE, 0);
}

// The key or click that answers a question on screen belongs to it: when
// the question closes in that step, the game goes on unpaused.
TEST_F(LoopTest, TheKeyThatAnswersTheQuitQuestionDoesNotPause) {
  gamePLAY = 1;
  ConfirmQuitDialog();
  ASSERT_TRUE(confirmSCREEN.IsOpen());
  for (int i = 0; i < 2; ++i) {  // the buttons' pictures are not loaded here
    SetRect2(&confirmSCREEN.buttons[i].bounds, 100 + 200 * i, 200, 60, 30);
    confirmSCREEN.buttons[i].hitRect = confirmSCREEN.buttons[i].bounds;
  }
  platform.PostKey(PlatformEvent::KeyDown, keycode::kEscape, keychar::kEscape);  // Escape: go on playing
  for (int i = 0; i < 4 && confirmSCREEN.IsOpen(); ++i) Step();
  ASSERT_FALSE(confirmSCREEN.IsOpen());
  EXPECT_EQ(gameFREEZE, 0);
  EXPECT_EQ(gamePAUSE, 0);
  EXPECT_FALSE(pauseSCREEN.IsOpen());
  // The next press pauses as ever.
  platform.PostKey(PlatformEvent::KeyDown, keycode::kEscape, keychar::kEscape);
  Step();
  EXPECT_EQ(gamePAUSE, 1);
  ResetControlPress();
}

// The window's close button, as the shell delivers it, asks during a game;
// Escape answers "go on playing".
TEST_F(LoopTest, TheCloseButtonAsksDuringAGameAndEscapeGoesOn) {
  InstallApplicationHooks();
  APPL.gameWindow = 1;
  gamePLAY = 1;
  platform.Post(PlatformEvent::CloseBox);
  GetEvent(0xFFFF, nullptr);
  HandleEvents();
  ASSERT_TRUE(confirmSCREEN.IsOpen());
  EXPECT_EQ(gameFREEZE, 1);
  for (int i = 0; i < 2; ++i) {  // the buttons' pictures are not loaded here
    SetRect2(&confirmSCREEN.buttons[i].bounds, 100 + 200 * i, 200, 60, 30);
    confirmSCREEN.buttons[i].hitRect = confirmSCREEN.buttons[i].bounds;
  }
  platform.PostKey(PlatformEvent::KeyDown, keycode::kEscape, keychar::kEscape);
  for (int i = 0; i < 4 && confirmSCREEN.IsOpen(); ++i) Step();
  EXPECT_FALSE(confirmSCREEN.IsOpen());
  EXPECT_EQ(gameFREEZE, 0);
  EXPECT_EQ(applQUIT, 0);
  APPL.customEvents = APPL.initLocalMenus = APPL.updateLocalMenus = APPL.aboutDialog = nullptr;
  APPL.videoFadeIn = APPL.videoFadeOut = nullptr;
  APPL.shutdown = nullptr;
  APPL.gameWindow = 0;
  ResetControlPress();
}

// However the game paused, Escape or a click on Resume ends the pause for
// good, and Return typed on the pause box does neither end it nor linger to
// pause the game again afterwards. The frozen game's step is stood in for
// by hand: it clears the input bytes only while the game is unpaused, as
// the real one does.
enum class PauseBy { Suspend, Click, Escape, Return };
enum class ResumeBy { Escape, ResumeClick };
struct PauseScript {
  const char* name;
  PauseBy pause;
  bool returnWhilePaused;
  ResumeBy resume;
};
void PrintTo(const PauseScript& s, std::ostream* os) { *os << s.name; }

// The loop with the pause box laid out as its pictures would size it.
class PauseBoxLoopTest : public LoopTest {
 protected:
  PauseBoxLoopTest() {
    SetRect2(&pauseSCREEN.bounds, 150, 150, 340, 180);
    for (MSButton& b : pauseSCREEN.buttons) {
      b.titleImage.imageWidth = 160;
      b.titleImage.imageHeight = 40;
    }
    InstallApplicationHooks();
    APPL.gameWindow = 1;
  }
  ~PauseBoxLoopTest() override {
    APPL.customEvents = APPL.initLocalMenus = APPL.updateLocalMenus = APPL.aboutDialog = nullptr;
    APPL.videoFadeIn = APPL.videoFadeOut = nullptr;
    APPL.shutdown = nullptr;
    APPL.gameWindow = 0;
    platform.front = true;
    ResetControlPress();
  }
  void GameStep() {
    const bool runs = gamePLAY == 1 && !gamePAUSE;
    ASSERT_TRUE(MainStep());
    if (runs)
      for (UInt8& b : mainINPUT) b = 0;
  }
  void Key(UInt8 code, UInt8 ch) {
    platform.PostKey(PlatformEvent::KeyDown, code, ch);
    GameStep();
    platform.PostKey(PlatformEvent::KeyUp, code, ch);
    GameStep();
  }
  void Click(int h, int v) {
    const Point at{SInt16(100 + v), SInt16(200 + h)};
    platform.mouse = at;
    platform.PostMouse(PlatformEvent::MouseDown, at);
    GameStep();
    platform.PostMouse(PlatformEvent::MouseUp, at);
    GameStep();
  }
};

class PauseScriptTest : public PauseBoxLoopTest, public ::testing::WithParamInterface<PauseScript> {};

TEST_P(PauseScriptTest, TheResumeLasts) {
  const PauseScript& s = GetParam();
  FrozenGame();
  switch (s.pause) {
    case PauseBy::Suspend:
      platform.front = false;
      platform.Post(PlatformEvent::Suspend);
      GameStep();
      platform.front = true;  // and back again
      platform.Post(PlatformEvent::Resume);
      GameStep();
      break;
    case PauseBy::Click: Click(40, 40); break;
    case PauseBy::Escape: Key(keycode::kEscape, keychar::kEscape); break;
    case PauseBy::Return: Key(36, 13); break;
  }
  ASSERT_EQ(gamePAUSE, 1);
  ASSERT_TRUE(pauseSCREEN.IsOpen());
  GameStep();
  if (s.returnWhilePaused) {
    Key(36, 13);
    for (int i = 0; i < 3; ++i) GameStep();
    EXPECT_EQ(gamePAUSE, 1) << "Return does not end the pause";
    EXPECT_TRUE(pauseSCREEN.IsOpen());
  }
  if (s.resume == ResumeBy::Escape)
    Key(keycode::kEscape, keychar::kEscape);
  else
    Click(250, 183);  // the middle of Resume
  for (int i = 0; i < 6; ++i) {
    GameStep();
    EXPECT_EQ(gamePAUSE, 0) << "paused again " << i << " steps after the resume";
    EXPECT_FALSE(pauseSCREEN.IsOpen());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PauseScriptTest,
    ::testing::Values(PauseScript{"SuspendThenEscape", PauseBy::Suspend, false, ResumeBy::Escape},
                      PauseScript{"SuspendThenResume", PauseBy::Suspend, false, ResumeBy::ResumeClick},
                      PauseScript{"SuspendReturnThenEscape", PauseBy::Suspend, true, ResumeBy::Escape},
                      PauseScript{"ClickThenEscape", PauseBy::Click, false, ResumeBy::Escape},
                      PauseScript{"ClickReturnThenResume", PauseBy::Click, true, ResumeBy::ResumeClick},
                      PauseScript{"EscapeThenEscape", PauseBy::Escape, false, ResumeBy::Escape},
                      PauseScript{"EscapeReturnThenResume", PauseBy::Escape, true, ResumeBy::ResumeClick},
                      PauseScript{"ReturnThenEscape", PauseBy::Return, false, ResumeBy::Escape},
                      PauseScript{"ReturnReturnThenEscape", PauseBy::Return, true, ResumeBy::Escape},
                      PauseScript{"ReturnThenResume", PauseBy::Return, false, ResumeBy::ResumeClick}),
    [](const ::testing::TestParamInfo<PauseScript>& info) { return std::string(info.param.name); });

// The quit question asked over the pause box takes the keys: Escape answers
// it and leaves the box open behind it.
TEST_F(PauseBoxLoopTest, EscapeOnTheQuitQuestionOverThePauseBoxLeavesThePause) {
  FrozenGame();
  platform.PostKey(PlatformEvent::KeyDown, keycode::kEscape, keychar::kEscape);
  Step();
  ASSERT_TRUE(pauseSCREEN.IsOpen());
  Step();
  ConfirmQuitDialog();
  ASSERT_TRUE(confirmSCREEN.IsFront());
  for (int i = 0; i < 2; ++i) {  // the buttons' pictures are not loaded here
    SetRect2(&confirmSCREEN.buttons[i].bounds, 100 + 200 * i, 200, 60, 30);
    confirmSCREEN.buttons[i].hitRect = confirmSCREEN.buttons[i].bounds;
  }
  platform.PostKey(PlatformEvent::KeyDown, keycode::kEscape, keychar::kEscape);
  for (int i = 0; i < 4 && confirmSCREEN.IsOpen(); ++i) Step();
  EXPECT_FALSE(confirmSCREEN.IsOpen());
  for (int i = 0; i < 3; ++i) Step();
  EXPECT_TRUE(pauseSCREEN.IsOpen()) << "the pause box closed behind the question";
  EXPECT_EQ(gamePAUSE, 1);
  EXPECT_TRUE(pauseSCREEN.IsFront());
  ResetControlPress();
}

TEST_F(LoopTest, QuitDuringAStepEndsThePassBeforeTheButtonAndPause) {
  FrozenGame();
  platform.Post(PlatformEvent::Quit);
  APPL.customEvents = [] {
    if (quitEVENT) applQUIT = 1;
  };
  platform.SetKey(kCapsLockCode, true);
  float delay = animateDELAY;
  EXPECT_FALSE(MainStep());
  EXPECT_EQ(gamePAUSE, 0);
  EXPECT_EQ(animateDELAY, delay);
  APPL.customEvents = nullptr;
}

TEST_F(LoopTest, ButtonFadesInNearThePointerOnlyWithoutARunningGame) {
  platform.mouse = Point{SInt16(100 + 20), SInt16(200 + 620)};  // window origin + game point (620, 20)
  Step();
  EXPECT_FLOAT_EQ(fullScreenBUTTON.titleImage.alpha, 0.1f);
  for (int i = 0; i < 20; ++i) Step();
  EXPECT_FLOAT_EQ(fullScreenBUTTON.titleImage.alpha, 1.0f);
  gamePLAY = 1;
  gameFREEZE = 1;
  Step();
  EXPECT_FLOAT_EQ(fullScreenBUTTON.titleImage.alpha, 0.9f);
}

TEST_F(LoopTest, ButtonClicksCycleFullScreenAndTheTwoWindowSizes) {
  fullScreen = true;
  Point at{SInt16(100 + 16), SInt16(200 + 628)};
  auto click = [&] {
    platform.PostMouse(PlatformEvent::MouseDown, at);
    Step();
    platform.PostMouse(PlatformEvent::MouseUp, at);
    Step();
  };
  click();
  EXPECT_FALSE(fullScreen);
  EXPECT_EQ(windSIZE.h, 640);
  click();
  EXPECT_EQ(windSIZE.h, 1024);
  EXPECT_EQ(windSIZE.v, 768);
  EXPECT_FALSE(fullScreen);
  click();
  EXPECT_TRUE(fullScreen);
  EXPECT_EQ(modeCalls, (std::vector<int>{0, 1}));
}

TEST_F(LoopTest, AbandoningEmptiesTheShieldsOfShipsInPlayAndEndsTheGame) {
  gamePLAY = 1;
  mainPLAYER = 0;
  for (int p = 0; p < 2; ++p) {
    _PLAYER[p].on = 1;
    _PLAYER[p].dying = 0;
    _PLAYER[p].status.shield.Init(12);
    _PLAYER[p].status.shield.target = 12;
  }
  _PLAYER[1].dying = 1;  // already going: left alone
  QuitGame();
  EXPECT_EQ(gameOVER, 1);
  EXPECT_EQ(_PLAYER[0].dying, 1);
  EXPECT_EQ(_PLAYER[0].status.shield.target, 0);
  EXPECT_EQ(_PLAYER[1].status.shield.target, 12);
  for (Player& p : _PLAYER) p.on = p.dying = 0;
  gameOVER = 0;
}

// What the input trace names as taking the next key or click, which the e2e
// tests wait for before they press: only what would act on it now.
TEST_F(LoopTest, InputTakerIsWhatActsOnAKeyNow) {
  EXPECT_EQ(InputTaker(), nullptr) << "no game and no screen";
  gamePLAY = 1;
  EXPECT_STREQ(InputTaker(), "game");
  glFADER.SetBright(254);
  EXPECT_EQ(InputTaker(), nullptr) << "a fading game does not pause at a key";
  glFADER.SetBright(255);
  gameOVER = 1;
  EXPECT_EQ(InputTaker(), nullptr) << "a game that is ending";
  gameOVER = 0;
  isFrontProcess = false;
  EXPECT_EQ(InputTaker(), nullptr) << "in the background";
  isFrontProcess = true;

  PauseGame();
  ASSERT_TRUE(pauseSCREEN.IsOpen());
  EXPECT_STREQ(InputTaker(), "pause box");
  glFADER.SetBright(128);
  EXPECT_STREQ(InputTaker(), "pause box") << "the pause box takes keys whatever the brightness";
  glFADER.SetBright(255);
  ConfirmQuitDialog();
  ASSERT_TRUE(confirmSCREEN.IsOpen());
  EXPECT_STREQ(InputTaker(), "quit question") << "the question in front of the box";
  confirmSCREEN.Close();
  EXPECT_STREQ(InputTaker(), "pause box");
  pauseSCREEN.Close();
  gamePAUSE = 0;
  EXPECT_STREQ(InputTaker(), "game");
}

// The menu's buttons answer at full brightness only, and not once it leaves;
// in front, the trace names it only while they do.
TEST_F(LoopTest, TheMenuTakesInputAtFullBrightnessWhileItStays) {
  mainSCREEN.Reset();
  mainSCREEN.leaveAction = MainScreen::kStay;
  mainSCREEN.ScreenGL::Open(1);  // listed in front, without its pictures
  ASSERT_TRUE(mainSCREEN.IsFront());
  EXPECT_TRUE(mainSCREEN.TakesInput());
  EXPECT_STREQ(InputTaker(), "main screen");
  glFADER.SetBright(250);
  EXPECT_FALSE(mainSCREEN.TakesInput()) << "fading in";
  EXPECT_EQ(InputTaker(), nullptr) << "the menu in front, fading in";
  glFADER.SetBright(255);
  StartGame_MainScreen();
  EXPECT_FALSE(mainSCREEN.TakesInput()) << "on its way to a game";
  EXPECT_EQ(InputTaker(), nullptr) << "the menu in front, on its way to a game";
  mainSCREEN.Close();
  mainSCREEN.Reset();
}

}  // namespace
