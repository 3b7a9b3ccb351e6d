// One sitting at the game, scripted through the main loop with keys and
// clicks as the event queue delivers them: the title, the menu, a game of
// one or two players that scores, a pause, the game abandoned, the name
// entry, the table showing the name, and the saved table read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "ControlTestSupport.h"
#include "foundation/Clock.h"
#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "frontend/KeyNames.h"
#include "frontend/MainLoop.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/controls/TextFieldGL.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "frontend/screens/PauseScreen.h"
#include "frontend/screens/TitleScreen.h"
#include "game/GameObjects.h"
#include "game/GameServices.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "platform/KeyCodes.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/AppleEvents.h"
#include "shell/Events.h"
#include "support/FakeEventPlatform.h"
#include "support/FakeTime.h"
#include "support/TempFolder.h"
#include "support/game/GameDriver.h"

namespace {

// The fake window's content starts 200 right and 100 down on the screen.
const SInt16 kWindowLeft = 200, kWindowTop = 100;

int FixedPitch(const char* text, FT_Face, float) { return 10 * int(std::strlen(text)); }

class WholeFlowTest : public ::testing::TestWithParam<int> {
 protected:
  WholeFlowTest() {
    timeInited = false;
    InitTime();
    for (QKELProc& slot : QKEL) slot = nullptr;
    QKEL[kQKELIsFullScreen] = reinterpret_cast<QKELProc>(+[]() -> bool { return false; });
    FlushKeyState();
    theEVENT = EventRecord{};
    gEventREC = &theEVENT;
    if (!imageBUFF.pixels) imageBUFF.Init(1024, 1024);
    savedBuffer = mainGUI.imageBuff;
    mainGUI.imageBuff = &imageBUFF;
    savedMeasure = textFieldMeasure;
    textFieldMeasure = FixedPitch;
    bundle = std::getenv("HALVANE_BUNDLE");
    // The real pictures give the buttons their real places.
    if (bundle) SetBundlePathForTesting(bundle);
    // The game plays by its tables; its pictures and sounds need a display
    // and an output device.
    savedGameResources = gameResourcesLoaded;
    gameResourcesLoaded = 1;
    if (bundle) {
      LoadMathTable(cosTABLE, "COS Table 360");
      LoadMathTable(sinTABLE, "SIN Table 360");
    }
    applQUIT = 0;
    gamePLAY = gamePAUSE = gameOVER = gameFREEZE = 0;
    animateDELAY = 0;
    pauseTrigger = 0;
    for (UInt8& b : mainINPUT) b = 0;
    DefaultKeys();
    PREFS.Defaults();
    mainSCORES.SetFileName("Halvane Scores");
    mainSCORES.Init(15, 2);
    LoadScores();
    windSIZE = Point{480, 640};
    pauseSCREEN.loaded = 0;  // the real pictures, whatever another test left
    SetRect2(&fullScreenBUTTON.bounds, 611, -1, 35, 35);
    fullScreenBUTTON.hitRect = Rect{0, 0, 0, 0};
    ResetControlPress();
    ResetSpeedManager();
  }
  ~WholeFlowTest() override {
    for (ScreenGL* s : std::initializer_list<ScreenGL*>{&titleSCREEN, &mainSCREEN, &pauseSCREEN, &enterNameSCREEN[0],
                                                        &enterNameSCREEN[1]})
      if (s->IsOpen()) s->Close();
    for (QKELProc& slot : QKEL) slot = nullptr;
    SetBundlePathForTesting(nullptr);
    gameResourcesLoaded = savedGameResources;
    textFieldMeasure = savedMeasure;
    selectedCONTROL = nullptr;
    mainGUI.imageBuff = savedBuffer;
    renderScoresProc = nullptr;
    mainSCORES.document.DeleteChildren();
    mainSCORES.ClearUpdates();
    gamePLAY = gamePAUSE = gameOVER = gameFREEZE = 0;
    applQUIT = 0;
    for (UInt8& b : mainINPUT) b = 0;
    for (SInt32& s : playerSCORE) s = 0;
    // The game played leaves nothing behind.
    ResetGameObjects();
    NormBright_GL();
  }

  void Step() { ASSERT_TRUE(MainStep()) << "the program ended"; }
  // Steps until the condition holds; false when it did not within the limit.
  bool StepUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit && !done(); ++i) {
      if (!MainStep()) return false;
    }
    return done();
  }
  void Key(UInt8 code, char c) {
    platform.PostKey(PlatformEvent::KeyDown, code, UInt8(c));
    Step();
    platform.PostKey(PlatformEvent::KeyUp, code, UInt8(c));
    Step();
  }
  // Presses and releases the mouse over the middle of a control.
  void Click(const ControlGL& control) {
    const Rect& r = control.bounds;
    Point at{SInt16(kWindowTop + (r.top + r.bottom) / 2), SInt16(kWindowLeft + (r.left + r.right) / 2)};
    platform.PostMouse(PlatformEvent::MouseDown, at);
    Step();
    platform.PostMouse(PlatformEvent::MouseUp, at);
    Step();
  }
  void Hold(int player, int key, bool down) { platform.SetKey(playerKEY[player * kPlayerKeyCount + key], down); }
  void Type(const char* text) {
    // Mac key codes of the letters used.
    for (const char* c = text; *c; ++c) {
      UInt8 code = *c == 'Z' ? 6 : *c == 'e' ? 14 : *c == 'd' ? 2 : *c == 'Y' ? 16 : *c == 'o' ? 31 : 0;
      Key(code, *c);
    }
  }
  std::string NameAt(SInt16 row) {
    std::string s;
    PlistTag* table = mainSCORES.document.FindArray("Scores", 0);
    if (table && row >= 0) table->GetChild(UInt16(row))->GetString("Name", &s, 0);
    return s;
  }
  SInt32 ScoreAt(SInt16 row) {
    SInt32 v = 0;
    PlistTag* table = mainSCORES.document.FindArray("Scores", 0);
    if (table && row >= 0) table->GetChild(UInt16(row))->GetLong("Score", &v, 0);
    return v;
  }

  const char* bundle = nullptr;
  UInt8 savedGameResources;
  ScopedHome home;
  FakeTime time;
  FakeEventPlatform platform;
  ControlTestRecorders rec;  // sounds without an output device
  ImageBuffer* savedBuffer;
  int (*savedMeasure)(const char*, FT_Face, float);
};

TEST_P(WholeFlowTest, TitleMenuGamePauseAbandonNameTable) {
  if (!bundle) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  const int players = GetParam();

  // The title: Return goes on to the menu once it listens.
  titleSCREEN.Open();
  ASSERT_TRUE(StepUntil(
      [&] {
        if (!mainSCREEN.IsOpen() && titleSCREEN.IsFront()) Key(keycode::kReturn, keychar::kReturn);
        return mainSCREEN.IsOpen();
      },
      600))
      << "no menu after the title";

  // The menu takes the Play click once it is fully bright.
  ASSERT_TRUE(StepUntil([] { return Brightness_GL() == 255; }, 60));
  EXPECT_GT(mainSCREEN.buttons[MainScreen::kPlay].bounds.right, mainSCREEN.buttons[MainScreen::kPlay].bounds.left);
  Click(mainSCREEN.buttons[MainScreen::kPlay]);
  ASSERT_TRUE(StepUntil([] { return gamePLAY == 1; }, 60)) << "Play did not start a game";
  EXPECT_FALSE(mainSCREEN.IsOpen());

  // Play: fire tapped (each press fires one shot), the ship swaying, until
  // every player has scored.
  int step = 0;
  auto scored = [&] {
    ++step;
    const int side = (step / 40) % 2;
    for (int p = 0; p < players; ++p) {
      Hold(p, 0, side == 0);
      Hold(p, 1, side == 1);
      Hold(p, 4, step % 8 < 4);
    }
    bool all = true;
    for (int p = 0; p < players; ++p) all = all && playerSCORE[p] > 0;
    return all || gameOVER;
  };
  ASSERT_TRUE(StepUntil(scored, 60 * 120)) << "no score after two minutes of play";
  ASSERT_FALSE(gameOVER) << "the game ended before everyone scored";
  for (int p = 0; p < 2; ++p)
    for (int k = 0; k < kPlayerKeyCount; ++k) Hold(p, k, false);
  const SInt32 score[2] = {playerSCORE[0], playerSCORE[1]};

  // Escape pauses (at full brightness; between waves the picture fades).
  ASSERT_TRUE(StepUntil(
      [&] {
        if (!pauseSCREEN.IsOpen() && Brightness_GL() == 255) Key(keycode::kEscape, keychar::kEscape);
        return pauseSCREEN.IsOpen();
      },
      600))
      << "Escape did not pause";
  EXPECT_EQ(gamePAUSE, 1);
  for (int i = 0; i < 30; ++i) Step();
  EXPECT_TRUE(pauseSCREEN.IsOpen()) << "the pause ends only by its buttons";

  // Abort: the game fades out and the menu comes back asking for names.
  Click(pauseSCREEN.buttons[PauseScreen::kAbort]);
  EXPECT_FALSE(pauseSCREEN.IsOpen());
  EXPECT_EQ(gamePAUSE, 0);
  EXPECT_EQ(gameOVER, 1);
  ASSERT_TRUE(StepUntil([] { return enterNameSCREEN[0].IsOpen(); }, 400)) << "no name entry after the game";
  EXPECT_TRUE(mainSCREEN.IsOpen());
  EXPECT_EQ(gamePLAY, 0);
  EXPECT_EQ(enterNameSCREEN[1].IsOpen(), players == 2);
  // The abandoned game's scores count as they stood.
  EXPECT_GE(playerSCORE[0], score[0]);
  EXPECT_EQ(ScoreAt(mainSCORES.checkEntry[0].position), playerSCORE[0]);

  // Each panel holds its field and OK button side by side.
  for (int p = 0; p < players; ++p) {
    SCOPED_TRACE(p);
    const InputScreen& s = enterNameSCREEN[p];
    const Rect &panel = s.bounds, &field = s.nameField.bounds, &ok = s.okButton.bounds;
    EXPECT_LE(field.right, ok.left) << "the OK button covers the name field";
    for (const Rect& r : {field, ok}) {
      EXPECT_GE(r.left, panel.left);
      EXPECT_LE(r.right, panel.right);
      EXPECT_GE(r.top, panel.top);
      EXPECT_LE(r.bottom, panel.bottom);
    }
  }

  // The panel opened last answers first; Return is OK.
  const char* names[2] = {"Zed", "Yo"};
  for (int p = players - 1; p >= 0; --p) {
    SCOPED_TRACE(p);
    ASSERT_TRUE(enterNameSCREEN[p].IsFront());
    EXPECT_TRUE(enterNameSCREEN[p].nameField.text.empty()) << "no name entered before";
    Type(names[p]);
    EXPECT_EQ(enterNameSCREEN[p].nameField.text, names[p]);
    Key(keycode::kReturn, keychar::kReturn);
    Step();
    EXPECT_FALSE(enterNameSCREEN[p].IsOpen());
  }
  EXPECT_TRUE(mainSCREEN.IsFront());

  // The table shows the names, highlighted, and so does the saved file.
  for (int p = 0; p < players; ++p) {
    const SInt16 row = mainSCORES.checkEntry[UInt32(p)].position;
    ASSERT_GE(row, 0) << p;
    EXPECT_EQ(NameAt(row), names[p]);
    EXPECT_EQ(ScoreAt(row), playerSCORE[p]);
    EXPECT_EQ(PREFS.lastPlayer[p], names[p]);
    bool shown = false;
    for (const ScoreText& t :
         ScoreTableTexts(mainSCORES.document.FindArray("Scores", 0), 15, mainSCORES.checkEntry[0].position,
                         mainSCORES.checkEntry[1].position, 385))
      shown = shown || (t.text == names[p] && t.red == 1.0f);
    EXPECT_TRUE(shown) << "the new row is not highlighted";
  }
  mainSCORES.document.DeleteChildren();
  LoadScores();
  for (int p = 0; p < players; ++p) {
    const SInt16 row = mainSCORES.checkEntry[UInt32(p)].position;
    EXPECT_EQ(NameAt(row), names[p]) << "not saved";
    EXPECT_EQ(ScoreAt(row), playerSCORE[p]) << "not saved";
  }

  // And the menu listens again: Quit ends the program after its fade.
  ASSERT_TRUE(StepUntil([] { return Brightness_GL() == 255; }, 60));
  Click(mainSCREEN.buttons[MainScreen::kQuit]);
  bool ended = false;
  for (int i = 0; i < 60 && !ended; ++i) ended = !MainStep();
  EXPECT_TRUE(ended);
  EXPECT_EQ(applQUIT, 1);
}

INSTANTIATE_TEST_SUITE_P(Players, WholeFlowTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 1 ? std::string("OnePlayer") : std::string("TwoPlayers");
                         });

}  // namespace
