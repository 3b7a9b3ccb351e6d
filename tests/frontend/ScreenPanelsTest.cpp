#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/screens/AboutScreen.h"
#include "frontend/screens/HelpScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "platform/KeyCodes.h"
#include "platform/PlatformLaunch.h"
#include "platform/SafeSave.h"
#include "shell/Events.h"
#include "shell/KeyState.h"
#include "support/FakeEventPlatform.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"
#include "support/frontend/HeadlessScreens.h"

namespace {

int renderScoresCalls = 0;
void CountRenderScores() { ++renderScoresCalls; }

std::string openedURL;
int openedCount = 0;
OSErr RecordLaunch(const std::vector<std::string>& argv) {
  openedURL = argv.empty() ? "" : argv.back();
  ++openedCount;
  return 0;
}

// The screens without a display: pictures have no files to load (size 0),
// the tests place the buttons where they click them, and every pass reads
// the event the test sets.
class ScreenPanelsTest : public ::testing::Test {
 protected:
  ScreenPanelsTest() {
    renderScoresProc = CountRenderScores;
    renderScoresCalls = 0;
    previousLaunch = SetLaunchProc(RecordLaunch);
    openedURL.clear();
    openedCount = 0;
    gameFREEZE = 0;
    gameOVER = 0;
    applQUIT = 0;
    animateDELAY = 1.0f;
  }
  ~ScreenPanelsTest() override {
    ResetFrontEndState();
    SetLaunchProc(previousLaunch);
    ResetGameObjects();
    applQUIT = 0;
  }
  // One key typed (character c of key code), with these modifiers, then a
  // pass of the screen.
  void Key(ScreenGL& s, UInt8 code, char c, UInt16 modifiers = 0) {
    theEVENT = EventRecord{};
    theEVENT.what = keyDown;
    theEVENT.message = SInt32(code) << 8 | UInt8(c);
    theEVENT.modifiers = modifiers;
    s.Process();
    theEVENT = EventRecord{};
  }
  void Idle(ScreenGL& s) {
    theEVENT = EventRecord{};
    s.Process();
  }
  // A click and release in the middle of the rectangle, one pass each.
  void Click(ScreenGL& s, const Rect& r) {
    // The fake window's content starts 200 right and 100 down on the screen.
    Point at{SInt16(100 + (r.top + r.bottom) / 2), SInt16(200 + (r.left + r.right) / 2)};
    platform.mouse = at;
    platform.button = true;
    platform.PostMouse(PlatformEvent::MouseDown, at);
    GetEvent(0xFFFF, nullptr);
    s.Process();
    platform.button = false;
    theEVENT = EventRecord{};
    s.Process();
  }
  static void Place(MSButton& b, SInt16 left, SInt16 top) {
    SetRect2(&b.bounds, left, top, 60, 30);
    b.hitRect = b.bounds;
  }
  // Opened, with the buttons given a size (their pictures are not loaded).
  void OpenConfirm(const char* text, ConfirmTag tag) {
    confirmSCREEN.Open(text, tag);
    Place(confirmSCREEN.buttons[ConfirmScreen::kConfirm], 300, 200);
    Place(confirmSCREEN.buttons[ConfirmScreen::kCancel], 100, 200);
  }
  // Opened, and (unless `atOnce`) past its first moment, as a player who
  // reads the panel before typing.
  void OpenInput(int player, const char* name, bool atOnce = false) {
    enterNameSCREEN[player].Open(char(player), name);
    Place(enterNameSCREEN[player].okButton, 400, SInt16(150 + 96 * player));
    if (!atOnce) enterNameSCREEN[player].settleSteps = 0;
  }
  std::string NameAt(int row) {
    std::string s;
    mainSCORES.document.FindArray("Scores", 0)->GetChild(UInt16(row))->GetString("Name", &s, 0);
    return s;
  }
  // A game just ended with these scores entering the table.
  void Qualify(SInt32 score0, SInt32 score1) {
    playerSCORE[0] = score0;
    playerSCORE[1] = score1;
    mainSCORES.checkEntry[0].NewLong("Score", score0);
    mainSCORES.checkEntry[0].NewChar("Level", 3);
    mainSCORES.checkEntry[1].NewLong("Score", score1);
    mainSCORES.checkEntry[1].NewChar("Level", 3);
    mainSCORES.Check("Score");
  }

  ScopedHome home;
  FakeEventPlatform platform;
  ControlTestRecorders rec;
  HeadlessScreens screens;
  LaunchProc previousLaunch;
};

// ------------------------------------------------------------ confirmation

// What a test or a run leaves open in the front end is closed by its reset.
TEST_F(ScreenPanelsTest, TheFrontEndResetClosesTheScreensAndForgetsTheSelection) {
  OpenInput(0, "Ann");
  OpenConfirm(kQuitQuestion, kConfirmQuit);
  ASSERT_TRUE(enterNameSCREEN[0].IsOpen() && confirmSCREEN.IsOpen());
  selectedCONTROL = &enterNameSCREEN[0].nameField;
  ResetFrontEndState();
  EXPECT_FALSE(enterNameSCREEN[0].IsOpen());
  EXPECT_FALSE(confirmSCREEN.IsOpen());
  EXPECT_EQ(selectedCONTROL, nullptr);
  EXPECT_EQ(renderScoresProc, nullptr);
  EXPECT_EQ(AnyScreenOpen(), 0);
}

TEST_F(ScreenPanelsTest, PanelsStandCentredAtAThirdOfTheHeight) {
  ImageGL panel;
  FakeImage(&panel, 768, 192, false);
  Rect r = PanelBounds(panel);
  // 768 / 1.6 = 480 wide, 192 / 1.6 = 120 high, middle at 0.35 x 480 = 168.
  EXPECT_EQ(r.left, 80);
  EXPECT_EQ(r.right, 560);
  EXPECT_EQ(r.top, 108);
  EXPECT_EQ(r.bottom, 228);
}

TEST_F(ScreenPanelsTest, QuitQuestionAnswers) {
  struct Case {
    const char* name;
    UInt8 code;
    char c;
    UInt16 modifiers;
    bool closes;
    UInt8 quits;
  };
  const Case cases[] = {
      {"Return confirms", keycode::kReturn, keychar::kReturn, 0, true, 1},
      {"keypad Enter confirms", 76, 3, 0, true, 1},
      {"Escape cancels", keycode::kEscape, keychar::kEscape, 0, true, 0},
      {"Command-Return is no answer", keycode::kReturn, keychar::kReturn, cmdKey, false, 0},
      {"another key is no answer", 0, 'a', 0, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    applQUIT = gameOVER = 0;
    gameFREEZE = 1;                                         // the caller froze the game before asking
    mainINPUT[kInputEscape] = mainINPUT[kInputReturn] = 1;  // the answering key as the keyboard saw it
    OpenConfirm(kQuitQuestion, kConfirmQuit);
    Key(confirmSCREEN, c.code, c.c, c.modifiers);  // the key presses a button
    Idle(confirmSCREEN);                           // which acts when it comes up
    EXPECT_EQ(!confirmSCREEN.IsOpen(), c.closes);
    EXPECT_EQ(applQUIT, c.quits);
    EXPECT_EQ(gameOVER, c.quits);
    EXPECT_EQ(gameFREEZE, c.closes ? 0 : 1);
    if (c.closes) {
      EXPECT_EQ(mainINPUT[kInputEscape] | mainINPUT[kInputReturn], 0) << "a stale pause request";
    }
    if (confirmSCREEN.IsOpen()) confirmSCREEN.Close();
    ResetControlPress();
  }
}

TEST_F(ScreenPanelsTest, ConfirmPicturesFollowTheTag) {
  OpenConfirm(kClearScoresQuestion, kConfirmClearScores);
  EXPECT_EQ(confirmSCREEN.tag, kConfirmClearScores);
  confirmSCREEN.Close();
  OpenConfirm(kQuitQuestion, kConfirmQuit);
  EXPECT_EQ(confirmSCREEN.tag, kConfirmQuit);
  EXPECT_TRUE(confirmSCREEN.IsFront());
}

TEST_F(ScreenPanelsTest, CancelledQuitNeverUnfreezesBelowZero) {
  gameFREEZE = 0;
  OpenConfirm(kQuitQuestion, kConfirmQuit);
  Key(confirmSCREEN, keycode::kEscape, keychar::kEscape);
  Idle(confirmSCREEN);
  EXPECT_FALSE(confirmSCREEN.IsOpen());
  EXPECT_EQ(gameFREEZE, 0);
}

TEST_F(ScreenPanelsTest, ClearingTheScoresRewritesTheTableAndRedrawsIt) {
  Qualify(5000, 0);
  SetNewScoreName(0, "Ann");
  ASSERT_EQ(NameAt(0), "Ann");
  OpenConfirm(kClearScoresQuestion, kConfirmClearScores);
  Click(confirmSCREEN, confirmSCREEN.buttons[ConfirmScreen::kConfirm].bounds);
  EXPECT_FALSE(confirmSCREEN.IsOpen());
  EXPECT_NE(NameAt(0), "Ann");
  EXPECT_EQ(mainSCORES.document.FindArray("Scores", 0)->NumChildren(), 15);
  EXPECT_EQ(renderScoresCalls, 1);
}

// A clear that cannot be written is told as a failed save is, and the table
// shows what the file still holds.
TEST_F(ScreenPanelsTest, AClearThatCannotBeSavedIsToldAndTheTableShowsTheFile) {
  Qualify(5000, 0);
  SetNewScoreName(0, "Ann");
  ASSERT_EQ(NameAt(0), "Ann");
  RecordingDialogs dialogs;
  SetSafeSaveFailure(kSafeSaveWrite, ENOSPC);
  OpenConfirm(kClearScoresQuestion, kConfirmClearScores);
  Click(confirmSCREEN, confirmSCREEN.buttons[ConfirmScreen::kConfirm].bounds);
  SetSafeSaveFailure(kSafeSaveNoFailure, 0);
  EXPECT_FALSE(confirmSCREEN.IsOpen());
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "Failed to save the scores file.");
  EXPECT_FALSE(dialogs.Reports()[0].fatal);
  EXPECT_EQ(NameAt(0), "Ann");
  EXPECT_EQ(renderScoresCalls, 1);
}

TEST_F(ScreenPanelsTest, CancellingTheClearKeepsTheScores) {
  Qualify(5000, 0);
  SetNewScoreName(0, "Ann");
  OpenConfirm(kClearScoresQuestion, kConfirmClearScores);
  Click(confirmSCREEN, confirmSCREEN.buttons[ConfirmScreen::kCancel].bounds);
  EXPECT_FALSE(confirmSCREEN.IsOpen());
  LoadScores();
  EXPECT_EQ(NameAt(0), "Ann");
  EXPECT_EQ(renderScoresCalls, 0);
}

// -------------------------------------------------------------- name entry

TEST_F(ScreenPanelsTest, OkIsEnabledExactlyWhileThereIsAName) {
  Qualify(5000, 0);
  InputScreen& s = enterNameSCREEN[0];
  OpenInput(0, "");
  EXPECT_EQ(s.okButton.enabled, 0);
  Key(s, keycode::kReturn, keychar::kReturn);  // no name: Return does nothing
  Idle(s);
  EXPECT_TRUE(s.IsOpen());
  Key(s, 0, 'A');
  EXPECT_EQ(s.nameField.text, "A");
  EXPECT_EQ(s.okButton.enabled, 1);
  Key(s, keycode::kDelete, keychar::kBackspace);
  EXPECT_EQ(s.nameField.text, "");
  EXPECT_EQ(s.okButton.enabled, 0);
}

TEST_F(ScreenPanelsTest, ReturnStoresTheNameInTheNewRow) {
  Qualify(7000, 0);
  InputScreen& s = enterNameSCREEN[0];
  OpenInput(0, "Bo");
  EXPECT_EQ(s.nameField.text, "Bo");
  EXPECT_EQ(s.okButton.enabled, 1);
  Key(s, keycode::kRightArrow, keychar::kRightArrow);  // keeps the offered name, the caret after it
  Key(s, 0, 'b');
  Key(s, keycode::kReturn, keychar::kReturn, cmdKey);  // Command-Return is not Return
  Idle(s);
  EXPECT_TRUE(s.IsOpen());
  Key(s, keycode::kReturn, keychar::kReturn);
  Idle(s);
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(NameAt(0), "Bob");
  EXPECT_EQ(PREFS.lastPlayer[0], "Bob");
  EXPECT_EQ(renderScoresCalls, 2);  // after the name, and once more as the last panel
}

// The last game's name is offered selected: typing replaces it, a delete
// key erases it, an arrow keeps it for editing, Return takes it as it is.
TEST_F(ScreenPanelsTest, TheOfferedNameIsSelectedAndTypingReplacesIt) {
  struct Key_ {
    UInt8 code;
    char c;
  };
  struct Case {
    const char* name;
    std::vector<Key_> keys;
    const char* stored;
  };
  const char* offered = "Maximilian Longname Testpilot";
  const Case cases[] = {
      {"typed", {{0, 'A'}, {0, 'b'}, {0, 'b'}, {0, 'y'}}, "Abby"},
      {"erased then typed", {{keycode::kDelete, keychar::kBackspace}, {0, 'Z'}}, "Z"},
      {"kept", {}, offered},
      {"added to its end", {{keycode::kRightArrow, keychar::kRightArrow}, {0, '2'}}, "Maximilian Longname Testpilot2"},
      {"added to its start", {{keycode::kLeftArrow, keychar::kLeftArrow}, {0, '1'}}, "1Maximilian Longname Testpilot"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Qualify(7000, 0);
    InputScreen& s = enterNameSCREEN[0];
    OpenInput(0, offered);
    EXPECT_TRUE(s.nameField.allSelected);
    for (const Key_& k : c.keys) Key(s, k.code, k.c);
    Key(s, keycode::kReturn, keychar::kReturn);
    Idle(s);
    ASSERT_FALSE(s.IsOpen());
    EXPECT_EQ(NameAt(0), c.stored);
    ClearScores();
    LoadScores();
  }
}

// A player still at the controls as the game ends: fire held down (its
// repeats), and game keys pressed as the panel opens, type nothing, and the
// offered name stays selected; a key that is no game key types at once, and
// the game keys type once the panel has settled.
TEST_F(ScreenPanelsTest, GameKeysAtTheEndOfAGameDoNotTypeIntoTheName) {
  const UInt8 kZCode = 6;
  struct Press {
    UInt8 code;
    char c;
    UInt16 what;
  };
  struct Case {
    const char* name;
    bool fireHeld;
    int waitSteps;
    std::vector<Press> presses;
    std::string shown;
    bool stillSelected;
  } cases[] = {
      {"fire held, repeating",
       true,
       0,
       {{keycode::kSpace, ' ', autoKey}, {keycode::kSpace, ' ', autoKey}},
       "Ann",
       true},
      {"fire held past the first moment", true, 200, {{keycode::kSpace, ' ', autoKey}}, "Ann", true},
      {"fire tapped at once",
       false,
       0,
       {{keycode::kSpace, ' ', keyDown}, {keycode::kSpace, ' ', keyDown}},
       "Ann",
       true},
      {"player 2's fire at once", false, 10, {{keycode::kKeypad4, '4', keyDown}}, "Ann", true},
      {"player 1's right at once", false, 10, {{keycode::kRightArrow, keychar::kRightArrow, keyDown}}, "Ann", true},
      {"a letter at once", false, 0, {{kZCode, 'z', keyDown}}, "z", false},
      {"player 2's fire once settled", false, 200, {{keycode::kKeypad4, '4', keyDown}}, "4", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Qualify(7000, 0);
    InputScreen& s = enterNameSCREEN[0];
    FlushKeyState();
    if (c.fireHeld) UpdateKeyState(keycode::kSpace, 1);
    OpenInput(0, "Ann", true);
    for (int i = 0; i < c.waitSteps; ++i) Idle(s);
    for (const Press& p : c.presses) {
      theEVENT = EventRecord{};
      theEVENT.what = p.what;
      theEVENT.message = SInt32(p.code) << 8 | UInt8(p.c);
      s.Process();
      theEVENT = EventRecord{};
    }
    EXPECT_EQ(s.nameField.text, c.shown);
    EXPECT_EQ(s.nameField.allSelected, c.stillSelected);
    // Released, the held key types again.
    if (c.fireHeld) {
      UpdateKeyState(keycode::kSpace, 0);
      for (int i = 0; i < 200; ++i) Idle(s);
      Key(s, keycode::kSpace, ' ');
      EXPECT_EQ(s.nameField.text, " ") << "a released key types again once pressed";
    }
    s.Close();
    FlushKeyState();
    mainSCORES.ClearUpdates();
  }
}

// Blanks before and after a name are not stored; blanks alone are no name.
TEST_F(ScreenPanelsTest, BlanksAroundANameAreTrimmed) {
  Qualify(7000, 0);
  InputScreen& s = enterNameSCREEN[0];
  OpenInput(0, "");
  for (int i = 0; i < 5; ++i) Key(s, 0, ' ');
  EXPECT_EQ(s.okButton.enabled, 0) << "blanks alone";
  Key(s, keycode::kReturn, keychar::kReturn);
  Idle(s);
  ASSERT_TRUE(s.IsOpen());
  for (char c : std::string("Second  ")) Key(s, 0, c);
  EXPECT_EQ(s.okButton.enabled, 1);
  Key(s, keycode::kReturn, keychar::kReturn);
  Idle(s);
  ASSERT_FALSE(s.IsOpen());
  EXPECT_EQ(NameAt(0), "Second");
  EXPECT_EQ(PREFS.lastPlayer[0], "Second");
}

TEST_F(ScreenPanelsTest, NamesKeepToWhatTheTableCanHold) {
  Qualify(7000, 0);
  InputScreen& s = enterNameSCREEN[0];
  OpenInput(0, "");
  for (int i = 0; i < 40; ++i) Key(s, 0, 'x');
  Key(s, 0, '<');
  Key(s, 0, '\t' + 1);  // a control character
  EXPECT_EQ(s.nameField.text, std::string(31, 'x'));
  Key(s, keycode::kReturn, keychar::kReturn);
  Idle(s);
  EXPECT_EQ(NameAt(0), std::string(31, 'x'));
}

TEST_F(ScreenPanelsTest, TwoPlayersAnswerOneAfterTheOther) {
  Qualify(9000, 8000);
  OpenInput(0, "Ann");
  OpenInput(1, "Bea");
  EXPECT_EQ(enterNameSCREEN[1].bounds.top - enterNameSCREEN[0].bounds.top, 96);
  EXPECT_TRUE(enterNameSCREEN[1].IsFront());
  EXPECT_EQ(selectedCONTROL, &enterNameSCREEN[1].nameField);

  // Player 0's panel takes no keys while player 1's is in front.
  theEVENT = EventRecord{};
  theEVENT.what = keyDown;
  theEVENT.message = 'z';
  enterNameSCREEN[0].Process();
  EXPECT_EQ(enterNameSCREEN[0].nameField.text, "Ann");

  Key(enterNameSCREEN[1], keycode::kReturn, keychar::kReturn);
  Idle(enterNameSCREEN[1]);
  EXPECT_FALSE(enterNameSCREEN[1].IsOpen());
  EXPECT_TRUE(enterNameSCREEN[0].IsFront());
  EXPECT_EQ(selectedCONTROL, &enterNameSCREEN[0].nameField);
  EXPECT_EQ(renderScoresCalls, 1);

  Key(enterNameSCREEN[0], keycode::kRightArrow, keychar::kRightArrow);
  Key(enterNameSCREEN[0], 0, 'e');
  Key(enterNameSCREEN[0], keycode::kReturn, keychar::kReturn);
  Idle(enterNameSCREEN[0]);
  EXPECT_FALSE(enterNameSCREEN[0].IsOpen());
  EXPECT_EQ(NameAt(0), "Anne");
  EXPECT_EQ(NameAt(1), "Bea");
  EXPECT_EQ(PREFS.lastPlayer[1], "Bea");
}

TEST_F(ScreenPanelsTest, TabGivesTheFieldTheKeyboardBack) {
  Qualify(7000, 0);
  InputScreen& s = enterNameSCREEN[0];
  OpenInput(0, "Al");
  selectedCONTROL = nullptr;
  Key(s, 0, 'x');
  EXPECT_EQ(s.nameField.text, "Al");
  Key(s, keycode::kTab, keychar::kTab);
  Key(s, 0, 'x');
  EXPECT_EQ(s.nameField.text, "Alx");
}

// -------------------------------------------------------------------- help

TEST_F(ScreenPanelsTest, HelpPagesTurnWithinOneToFour) {
  helpSCREEN.pageIndex = 3;
  helpSCREEN.Open();
  HelpScreen& h = helpSCREEN;
  EXPECT_EQ(h.pageIndex, 0);
  EXPECT_EQ(h.buttons[HelpScreen::kPrev].enabled, 0);
  EXPECT_EQ(h.buttons[HelpScreen::kNext].enabled, 1);
  EXPECT_EQ(h.emailButton.visible, 1);
  Place(h.buttons[HelpScreen::kNext], 400, 400);
  Place(h.buttons[HelpScreen::kPrev], 300, 400);
  Place(h.buttons[HelpScreen::kDone], 200, 400);
  Place(h.emailButton, 100, 400);

  // Page, Prev enabled, Next enabled, mail button shown after each Next.
  const int expected[3][4] = {{1, 1, 1, 1}, {2, 1, 1, 0}, {3, 1, 0, 0}};
  for (const auto& e : expected) {
    Click(h, h.buttons[HelpScreen::kNext].bounds);
    EXPECT_EQ(h.pageIndex, e[0]);
    EXPECT_EQ(h.buttons[HelpScreen::kPrev].enabled, e[1]);
    EXPECT_EQ(h.buttons[HelpScreen::kNext].enabled, e[2]);
    EXPECT_EQ(h.emailButton.visible, e[3]);
  }
  Click(h, h.buttons[HelpScreen::kNext].bounds);  // disabled on the last page
  EXPECT_EQ(h.pageIndex, 3);
  Click(h, h.emailButton.bounds);  // hidden
  EXPECT_EQ(openedCount, 0);

  Click(h, h.buttons[HelpScreen::kPrev].bounds);
  EXPECT_EQ(h.pageIndex, 2);
  EXPECT_EQ(h.buttons[HelpScreen::kNext].enabled, 1);
  for (int i = 0; i < 3; ++i) Click(h, h.buttons[HelpScreen::kPrev].bounds);
  EXPECT_EQ(h.pageIndex, 0);
  EXPECT_EQ(h.buttons[HelpScreen::kPrev].enabled, 0);
  EXPECT_EQ(h.emailButton.visible, 1);
}

TEST_F(ScreenPanelsTest, HelpMailButtonWritesToSupport) {
  helpSCREEN.Open();
  Place(helpSCREEN.emailButton, 100, 400);
  Click(helpSCREEN, helpSCREEN.emailButton.bounds);
  EXPECT_EQ(openedCount, 1);
  EXPECT_EQ(openedURL.rfind("mailto:", 0), 0u);
  EXPECT_NE(openedURL.find("?subject=Halvane%20Support"), std::string::npos);
  EXPECT_TRUE(helpSCREEN.IsOpen());
}

TEST_F(ScreenPanelsTest, HelpDoneClosesAndForgetsTheFirstPlay) {
  PREFS.firstPlay = 1;
  helpSCREEN.Open();
  Place(helpSCREEN.buttons[HelpScreen::kDone], 200, 400);
  Click(helpSCREEN, helpSCREEN.buttons[HelpScreen::kDone].bounds);
  EXPECT_FALSE(helpSCREEN.IsOpen());
  EXPECT_EQ(PREFS.firstPlay, 0);
}

TEST_F(ScreenPanelsTest, EachPanelDrawsFirstADarkeningOfTheWholePicture) {
  Qualify(7000, 0);
  OpenInput(0, "Al");
  OpenConfirm(kQuitQuestion, kConfirmQuit);
  helpSCREEN.Open();
  aboutSCREEN.Open();
  struct Case {
    ScreenGL* screen;
    float alpha;
  };
  const Case cases[] = {
      {&enterNameSCREEN[0], 0.5f}, {&confirmSCREEN, 0.5f}, {&helpSCREEN, 0.75f}, {&aboutSCREEN, 0.5f}};
  for (const Case& c : cases) {
    rec.draws.clear();
    c.screen->Draw();
    ASSERT_FALSE(rec.draws.empty());
    EXPECT_EQ(rec.draws[0].image, &pixelIMAGE);
    EXPECT_FLOAT_EQ(rec.draws[0].alpha, c.alpha);
    EXPECT_FLOAT_EQ(rec.draws[0].red, 0.0f);
    EXPECT_FLOAT_EQ(rec.draws[0].rect.right - rec.draws[0].rect.left, 640.0f);
  }
}

// ------------------------------------------------------------------- about

TEST_F(ScreenPanelsTest, AboutFreezesTheGameUntilAClick) {
  gameFREEZE = 0;
  aboutSCREEN.Open();
  EXPECT_EQ(gameFREEZE, 1);
  Key(aboutSCREEN, keycode::kReturn, keychar::kReturn);  // keys do not close it
  EXPECT_TRUE(aboutSCREEN.IsOpen());
  Click(aboutSCREEN, Rect{10, 10, 20, 20});
  EXPECT_FALSE(aboutSCREEN.IsOpen());
  EXPECT_EQ(gameFREEZE, 0);
}

TEST_F(ScreenPanelsTest, AboutCreditNamesTheVersion) {
  EXPECT_EQ(AboutCreditLine1("1.2.3").rfind("Version 1.2.3", 0), 0u);
}

}  // namespace
