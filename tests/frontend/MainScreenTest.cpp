#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "foundation/PlistTag.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/controls/KeyEditor.h"
#include "frontend/controls/TextFieldGL.h"
#include "frontend/screens/HelpScreen.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "game/GameObjects.h"
#include "game/GameServices.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "sound/AudioPrefs.h"
#include "support/FakeEventPlatform.h"
#include "support/TempFolder.h"
#include "support/frontend/HeadlessScreens.h"

namespace {

const unsigned kClickBuffer = 11, kPowerBuffer = 12;

// The menu without a display: its pictures have no files (size 0), so the
// tests give the buttons the places they click; every pass reads the event
// the test posts.
class MainScreenTest : public ::testing::Test {
 protected:
  MainScreenTest() {
    audioPREFS.soundOn = audioPREFS.musicOn = 1;
    FakeLoad(&mainGUI.buttonSound, kClickBuffer);
    FakeLoad(&powerSND, kPowerBuffer);
    applQUIT = 0;
    animateDELAY = 1.0f;
    // A game started here plays without the bundle's pictures and sounds.
    savedGameResources = gameResourcesLoaded;
    gameResourcesLoaded = 1;
    mainSCREEN.Open();
    Place(mainSCREEN.buttons, MainScreen::kButtons, 52, 110);
    SetRect2(&mainSCREEN.clearScoresButton.bounds, 400, 60, 150, 30);
    mainSCREEN.clearScoresButton.hitRect = mainSCREEN.clearScoresButton.bounds;
    rec.sounds.clear();
  }
  ~MainScreenTest() override {
    ResetFrontEndState();
    mainSCREEN.Reset();
    FakeLoad(&mainGUI.buttonSound, 0);
    FakeLoad(&powerSND, 0);
    audioPREFS.soundOn = audioPREFS.musicOn = 1;
    applQUIT = 0;
    gameResourcesLoaded = savedGameResources;
    // The menu's rocks and the game played leave nothing behind.
    ResetGameObjects();
    NormBright_GL();
  }
  // Buttons 120 x 24, one under the other 32 apart.
  static void Place(MSButton* buttons, int count, SInt16 left, SInt16 top) {
    for (int i = 0; i < count; ++i) {
      SetRect2(&buttons[i].bounds, left, SInt16(top + 32 * i), 120, 24);
      buttons[i].hitRect = buttons[i].bounds;
    }
  }
  void Step() {
    theEVENT = EventRecord{};
    mainSCREEN.Process();
  }
  // A click and release in the middle of the rectangle, one pass each.
  void Click(const Rect& r) {
    // The fake window's content starts 200 right and 100 down on the screen.
    Point at{SInt16(100 + (r.top + r.bottom) / 2), SInt16(200 + (r.left + r.right) / 2)};
    platform.PostMouse(PlatformEvent::MouseDown, at);
    GetEvent(0xFFFF, nullptr);
    mainSCREEN.Process();
    platform.button = false;
    Step();
  }
  void Bright() { NormBright_GL(); }
  int SoundsOf(unsigned buffer) const {
    int n = 0;
    for (const FakePlay& s : rec.sounds) n += s.buffer == buffer;
    return n;
  }
  // A game just ended with these results.
  void GameEnded(SInt32 score0, SInt32 score1) {
    playerSCORE[0] = score0;
    playerSCORE[1] = score1;
    for (int p = 0; p < 2; ++p) {
      mainSCORES.checkEntry[UInt32(p)].NewLong("Score", p == 0 ? score0 : score1);
      mainSCORES.checkEntry[UInt32(p)].NewChar("Level", 4);
    }
  }

  ScopedHome home;
  FakeEventPlatform platform;
  ControlTestRecorders rec;
  HeadlessScreens screens;
  UInt8 savedGameResources;
};

TEST_F(MainScreenTest, OpensDarkAndFadesInByTenAStep) {
  EXPECT_EQ(Brightness_GL(), 0);
  EXPECT_TRUE(mainSCREEN.IsFront());
  for (int i = 1; i <= 25; ++i) {
    Step();
    EXPECT_EQ(Brightness_GL(), 10 * i);
  }
  Step();
  EXPECT_EQ(Brightness_GL(), 255);
  EXPECT_EQ(mainSCREEN.music.loop, 1) << "the menu's music goes round";
}

TEST_F(MainScreenTest, ButtonsTakeNoClickWhileFadingIn) {
  for (int b : {int(MainScreen::kPlay), int(MainScreen::kQuit), int(MainScreen::kSound)}) {
    SCOPED_TRACE(b);
    Click(mainSCREEN.buttons[b].bounds);
    EXPECT_EQ(mainSCREEN.leaveAction, MainScreen::kStay);
    EXPECT_EQ(mainSCREEN.fadeDirection, MainScreen::kFadingIn);
    EXPECT_EQ(audioPREFS.soundOn, 1);
    EXPECT_LT(Brightness_GL(), 255);
  }
}

TEST_F(MainScreenTest, PlayFadesOutThenStartsTheGame) {
  Bright();
  Click(mainSCREEN.buttons[MainScreen::kPlay].bounds);
  EXPECT_EQ(mainSCREEN.leaveAction, MainScreen::kLeaveToGame);
  EXPECT_EQ(mainSCREEN.fadeDirection, MainScreen::kFadingOut);
  // The release pass already took the first step down.
  EXPECT_EQ(Brightness_GL(), 245);
  while (Brightness_GL() > 0) {
    ASSERT_TRUE(mainSCREEN.IsOpen());
    EXPECT_EQ(gamePLAY, 0);
    Step();
  }
  EXPECT_TRUE(mainSCREEN.IsOpen()) << "closes on the pass after the picture is black";
  Step();
  EXPECT_FALSE(mainSCREEN.IsOpen());
  EXPECT_EQ(gamePLAY, 1);
  EXPECT_EQ(applQUIT, 0);
  gamePLAY = 0;
}

TEST_F(MainScreenTest, QuitFadesOutThenEndsTheProgram) {
  Bright();
  Click(mainSCREEN.buttons[MainScreen::kQuit].bounds);
  EXPECT_EQ(mainSCREEN.leaveAction, MainScreen::kLeaveToQuit);
  for (int i = 0; i < 30 && !applQUIT; ++i) Step();
  EXPECT_EQ(applQUIT, 1);
  EXPECT_EQ(Brightness_GL(), 0);
  EXPECT_EQ(gamePLAY, 0);
}

TEST_F(MainScreenTest, SoundClicksOnlyWhenSwitchedOn) {
  Bright();
  const MSButton& sound = mainSCREEN.buttons[MainScreen::kSound];
  Click(sound.bounds);
  EXPECT_EQ(audioPREFS.soundOn, 0);
  EXPECT_EQ(SoundsOf(kClickBuffer), 0) << "switching off is silent";
  Click(sound.bounds);
  EXPECT_EQ(audioPREFS.soundOn, 1);
  EXPECT_EQ(SoundsOf(kClickBuffer), 1) << "switching on clicks once";
  EXPECT_EQ(rec.sounds.size(), 1u) << "the button itself has no press sound";
}

TEST_F(MainScreenTest, MusicButtonSwitchesMusic) {
  Bright();
  const MSButton& music = mainSCREEN.buttons[MainScreen::kMusic];
  Click(music.bounds);
  EXPECT_EQ(audioPREFS.musicOn, 0);
  Click(music.bounds);
  EXPECT_EQ(audioPREFS.musicOn, 1);
  EXPECT_EQ(mainSCREEN.music.loop, 1);
  EXPECT_TRUE(mainSCREEN.music.IsActive());
}

TEST_F(MainScreenTest, HelpAndClearScoresOpenTheirScreensInFront) {
  Bright();
  Click(mainSCREEN.buttons[MainScreen::kHelp].bounds);
  EXPECT_TRUE(helpSCREEN.IsOpen());
  EXPECT_FALSE(mainSCREEN.IsFront());
  // With help in front the menu takes no click.
  Click(mainSCREEN.buttons[MainScreen::kQuit].bounds);
  EXPECT_EQ(mainSCREEN.leaveAction, MainScreen::kStay);
  helpSCREEN.Close();

  Click(mainSCREEN.clearScoresButton.bounds);
  ASSERT_TRUE(confirmSCREEN.IsOpen());
  EXPECT_EQ(confirmSCREEN.tag, kConfirmClearScores);
  EXPECT_TRUE(confirmSCREEN.IsFront());
}

TEST_F(MainScreenTest, EveryFadeInEndsWithTheHighScoreCheck) {
  struct Case {
    const char* name;
    SInt32 score0, score1;
    bool panel0, panel1;
  };
  const Case cases[] = {
      {"no score entered", 0, 0, false, false},
      {"player 1 entered", 500, 0, true, false},
      {"player 2 entered", 0, 700, false, true},
      {"both entered", 500, 700, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearScores();
    LoadScores();
    GameEnded(c.score0, c.score1);
    PREFS.lastPlayer[0] = "Ann";
    PREFS.lastPlayer[1] = "Bo";
    mainSCREEN.Open();
    rec.sounds.clear();
    for (int i = 0; i < 25; ++i) Step();
    EXPECT_FALSE(enterNameSCREEN[0].IsOpen() || enterNameSCREEN[1].IsOpen()) << "asked before full brightness";
    Step();
    EXPECT_EQ(enterNameSCREEN[0].IsOpen(), c.panel0);
    EXPECT_EQ(enterNameSCREEN[1].IsOpen(), c.panel1);
    EXPECT_EQ(SoundsOf(kPowerBuffer), c.panel0 || c.panel1 ? 1 : 0);
    if (c.panel0) {
      EXPECT_EQ(enterNameSCREEN[0].nameField.text, "Ann");
    }
    if (c.panel1) {
      EXPECT_EQ(enterNameSCREEN[1].nameField.text, "Bo");
      EXPECT_TRUE(enterNameSCREEN[1].IsFront()) << "the second player answers first";
    }
    if (c.panel0 && c.panel1) {
      EXPECT_EQ(enterNameSCREEN[1].bounds.top - enterNameSCREEN[0].bounds.top, 96);
    }
    // No more asking once the menu stays bright.
    for (ScreenGL* s : {static_cast<ScreenGL*>(&enterNameSCREEN[0]), static_cast<ScreenGL*>(&enterNameSCREEN[1])})
      if (s->IsOpen()) s->Close();
    Step();
    EXPECT_FALSE(enterNameSCREEN[0].IsOpen() || enterNameSCREEN[1].IsOpen());
    mainSCREEN.Close();
    mainSCORES.ClearUpdates();
  }
}

TEST_F(MainScreenTest, KeyBoxesStandInTwoRowsOfFive) {
  struct Box {
    int key;
    SInt16 left, top, width;
  };
  // Left, right, up, down, fire of player 1; player 2's are 176 further right.
  const Box boxes[] = {{0, 48, 356, 32}, {1, 112, 356, 32}, {2, 80, 324, 32}, {3, 80, 356, 32}, {4, 28, 428, 40}};
  ASSERT_EQ(keyEDIT.numPlayers, 2);
  ASSERT_EQ(keyEDIT.numKeys, 5);
  for (int p = 0; p < 2; ++p)
    for (const Box& b : boxes) {
      const Rect& r = keyEDIT.player[UInt32(p)].rect[UInt32(b.key)];
      EXPECT_EQ(r.left, b.left + 176 * p) << p << " " << b.key;
      EXPECT_EQ(r.top, b.top) << p << " " << b.key;
      EXPECT_EQ(r.right - r.left, b.width);
      EXPECT_EQ(r.bottom - r.top, 32);
    }
  EXPECT_EQ(keyEDIT.selectSound, &blipSND);
  EXPECT_EQ(keyEDIT.assignSound, &dinkSND);
  EXPECT_EQ(keyEDIT.conflictSound, &metalSND[0]);
}

// ------------------------------------------------------------- score table

PlistTag* Table(PlistTag* doc, std::initializer_list<std::pair<const char*, SInt32>> rows) {
  PlistTag* scores = doc->NewArray("Scores");
  char level = 1;
  for (auto [name, score] : rows) {
    PlistTag* row = scores->NewElement();
    if (name) row->NewString("Name", name);
    row->NewLong("Score", score);
    row->NewChar("Level", level++);
  }
  return scores;
}

TEST(ScoreTableTexts, PlainRowsOnceHighlightedRowsTwiceEmptyRowsNever) {
  PlistTag doc;
  PlistTag* scores = Table(&doc, {{"Ann", 9000}, {"Bo", 5000}, {"Cy", 0}, {nullptr, 300}, {"Di", 200}});
  const std::vector<ScoreText> texts = ScoreTableTexts(scores, 15, 1, 4, 385);
  // Rows 0 and 3 plain (3 texts each), 1 and 4 highlighted (6 each), 2 empty.
  ASSERT_EQ(texts.size(), 18u);

  // A plain row: name at 8, score ending at right - 32, level smaller ending at right - 4.
  EXPECT_EQ(texts[0].text, "Ann");
  EXPECT_FLOAT_EQ(texts[0].x, 8);
  EXPECT_FLOAT_EQ(texts[0].y, 24);
  EXPECT_EQ(texts[0].align, 0);
  EXPECT_FLOAT_EQ(texts[0].size, 28);
  EXPECT_EQ(texts[1].text, "9000");
  EXPECT_FLOAT_EQ(texts[1].x, 353);
  EXPECT_EQ(texts[1].align, 2);
  EXPECT_EQ(texts[2].text, "1");
  EXPECT_FLOAT_EQ(texts[2].x, 381);
  EXPECT_FLOAT_EQ(texts[2].y, 23);
  EXPECT_FLOAT_EQ(texts[2].size, 0.65f * 28);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(texts[i].red, 0);
    EXPECT_FLOAT_EQ(texts[i].green, 1);
    EXPECT_FLOAT_EQ(texts[i].blue, 0.75f);
    EXPECT_FLOAT_EQ(texts[i].alpha, 0.7f);
  }

  // A highlighted row: a dark shadow one pixel right and down, then gold.
  const ScoreText& shadow = texts[3];
  const ScoreText& gold = texts[6];
  EXPECT_EQ(shadow.text, "Bo");
  EXPECT_FLOAT_EQ(shadow.x, 9);
  EXPECT_FLOAT_EQ(shadow.y, 24 + 34.08f + 1);
  EXPECT_FLOAT_EQ(shadow.red, 0.5f);
  EXPECT_FLOAT_EQ(shadow.green, 0.25f);
  EXPECT_FLOAT_EQ(shadow.blue, 0);
  EXPECT_FLOAT_EQ(shadow.alpha, 0.65f);
  EXPECT_EQ(gold.text, "Bo");
  EXPECT_FLOAT_EQ(gold.x, 8);
  EXPECT_FLOAT_EQ(gold.y, 24 + 34.08f);
  EXPECT_FLOAT_EQ(gold.red, 1);
  EXPECT_FLOAT_EQ(gold.green, 0.9f);
  EXPECT_FLOAT_EQ(gold.alpha, 1);

  // A row without a name still shows its score and level.
  EXPECT_EQ(texts[9].text, "");
  EXPECT_EQ(texts[10].text, "300");
  EXPECT_FLOAT_EQ(texts[9].y, 24 + 3 * 34.08f);
  // Both players' rows are highlighted at once.
  EXPECT_EQ(texts[12].text, "Di");
  EXPECT_FLOAT_EQ(texts[12].alpha, 0.65f);
  EXPECT_FLOAT_EQ(texts[15].alpha, 1);
}

// Every character 10 canvas pixels wide.
int TenEach(const char* text, float) { return 10 * int(std::strlen(text)); }

// A name too long for the room left of its score is cut to fit and ends in
// "...": on a 385-pixel canvas a five-digit score starts at 303, so a name
// from 8 has 279 pixels up to the 16-pixel gap.
TEST(ScoreTableTexts, LongNamesAreCutToTheirColumn) {
  struct Case {
    const char* name;
    const char* shown;
  };
  const Case cases[] = {
      {"Ann", "Ann"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0"},  // 270: fits
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ01", "ABCDEFGHIJKLMNOPQRSTUVWX..."},
      {"Maximilian Longname Testpilot", "Maximilian Longname Test..."},
      {"ABCDEFGHIJKLMNOPQRSTUVW XYZW", "ABCDEFGHIJKLMNOPQRSTUVW..."},  // no blank before the dots
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlistTag doc;
    PlistTag* scores = Table(&doc, {{c.name, 12345}});
    const std::vector<ScoreText> texts = ScoreTableTexts(scores, 15, -1, -1, 385, TenEach);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, c.shown);
    EXPECT_LE(8 + TenEach(texts[0].text.c_str(), 28), 385 - 32 - 50 - 16);
    EXPECT_EQ(texts[1].text, "12345");
  }
}

TEST(ScoreTableTexts, NoTableNoTexts) { EXPECT_TRUE(ScoreTableTexts(nullptr, 15, 0, 1, 385).empty()); }

TEST(VersionLine, VersionThenCredit) {
  const std::string line = VersionLine("1.2.3");
  EXPECT_EQ(line.rfind("1.2.3 ", 0), 0u) << line;
  EXPECT_GT(line.size(), 8u);
}

}  // namespace
