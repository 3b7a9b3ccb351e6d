// A game in progress as the desktop interrupts it: quitting asks first (Ctrl+Q
// or the window's close button), switching to another application pauses
// it, and over the picture the pointer is the program's own drawn cursor.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

using std::chrono::milliseconds;

// The pause box shows: nearly all of its plain patches in place.
bool Paused(const ScreenImage& shown) {
  const int samples = int(PauseBoxSamples().size());
  return samples >= 8 && PauseBoxMatches(shown) >= samples * 9 / 10;
}

class ApplicationHooksTest : public ::testing::Test {
 protected:
  // A 640 x 480 window, then logo, title, main screen and a game, each
  // picture up before the key or click that leaves it.
  void StartAGame() {
    home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>");
    ASSERT_GE(QuitPanelSamples(), 8) << "the quit panel has too few plain patches to find it by";
    ASSERT_EQ(OpenToTheMenu(program), "");
    ScreenImage game = PlayFromTheMenu(program);
    ASSERT_TRUE(GamePlaying(game)) << "no game\n" << program.Diagnostics();
    ASSERT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
  }

  // Escape pauses once the game takes keys (at full brightness).
  ScreenImage Pause() {
    EXPECT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
    EXPECT_TRUE(program.PressKey("Escape")) << program.Diagnostics();
    ScreenImage box = program.WaitForContent(Paused);
    EXPECT_TRUE(Paused(box)) << "no pause box\n" << program.Diagnostics();
    return box;
  }

  void ExpectQuestion(const char* after) {
    ScreenImage asked = program.WaitForContent(QuitQuestionShown);
    EXPECT_TRUE(QuitQuestionShown(asked))
        << after << ": no quit question, " << QuitPanelMatches(asked) << " of " << QuitPanelSamples() << "\n"
        << program.Diagnostics();
  }

  void QuitAndExpectSaved() {
    std::remove(home.PreferencesFile().c_str());
    auto status = QuitGameInProgress(program);
    ASSERT_TRUE(status) << "the quit question did not end the program\n" << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
    EXPECT_TRUE(std::regex_search(ReadWholeFile(home.PreferencesFile()), std::regex("<key>Full Screen</key>")))
        << "no preferences saved";
  }

  Desktop desktop{1280, 1024};
  UserHome home;
  Program program{desktop, home};
};

TEST_F(ApplicationHooksTest, CtrlQInAGameAsksOnceAndReturnQuits) {
  StartAGame();
  ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
  ExpectQuestion("Ctrl+Q");
  // Asking again changes nothing: still the one question, still running.
  ASSERT_TRUE(program.WaitForReady("quit question")) << program.Diagnostics();
  ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
  EXPECT_FALSE(program.WaitForExit(milliseconds(700))) << "a second Ctrl+Q ended the program";
  ExpectQuestion("a second Ctrl+Q");
  // QuitGameInProgress asks once more (the question is already open) and
  // answers with Return.
  QuitAndExpectSaved();
}

TEST_F(ApplicationHooksTest, CloseButtonInAGameAsksAndEscapeGoesOnPlaying) {
  StartAGame();
  ASSERT_TRUE(program.ClickCloseButton()) << program.Diagnostics();
  ExpectQuestion("the close button");
  EXPECT_TRUE(program.Running());
  ASSERT_TRUE(program.WaitForReady("quit question")) << program.Diagnostics();
  ASSERT_TRUE(program.PressKey("Escape")) << program.Diagnostics();
  ScreenImage playing = program.WaitForContent(GamePlaying);
  EXPECT_TRUE(GamePlaying(playing)) << "the game did not go on after Escape\n" << program.Diagnostics();
  EXPECT_FALSE(QuitQuestionShown(playing));
  EXPECT_FALSE(Paused(playing)) << "Escape answered the question; it does not pause";
  EXPECT_TRUE(program.Running());
  // The window manager's close request asks as well.
  desktop.RequestClose(program.Window());
  ExpectQuestion("the window manager's close request");
  QuitAndExpectSaved();
}

// A termination signal is nobody who could answer: the game ends at once,
// cleanly, with the preferences saved.
TEST_F(ApplicationHooksTest, SigtermInAGameEndsWithoutAsking) {
  StartAGame();
  std::remove(home.PreferencesFile().c_str());
  program.Signal(SIGTERM);
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << "SIGTERM did not end the game\n" << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  EXPECT_TRUE(std::regex_search(ReadWholeFile(home.PreferencesFile()), std::regex("<key>Full Screen</key>")))
      << "no preferences saved";
}

TEST_F(ApplicationHooksTest, SwitchingToAnotherApplicationPausesTheGame) {
  StartAGame();
  XWindow other = desktop.OpenOtherWindow(ScreenRect{10, 10, 200, 150});
  ASSERT_TRUE(PollUntil([&] { return desktop.IsShown(other); }, {}, Program::kTimeout));
  desktop.Activate(other);
  ASSERT_TRUE(PollUntil([&] { return desktop.FocusedWindow() == other; }, {}, Program::kTimeout))
      << "the other window did not get the focus";
  ScreenImage paused = program.WaitForContent(Paused);
  EXPECT_TRUE(Paused(paused)) << "the game went on behind another application\n" << program.Diagnostics();

  // Back again, the game is still paused until the player goes on.
  desktop.Activate(program.Window());
  ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
  EXPECT_FALSE(program.WaitForExit(milliseconds(500)));
  EXPECT_TRUE(Paused(program.GrabContent())) << "coming back resumed the game by itself";
  QuitAndExpectSaved();
}

// Bright, nearly white points in the cursor's 19 x 19 square below and right
// of a game point: the arrow's body.
int CursorPoints(const ScreenImage& shown, int x, int y) {
  int points = 0;
  for (int dy = 0; dy < 17; ++dy)
    for (int dx = 0; dx < 12; ++dx) {
      const Rgba c = GamePixel(shown, x + dx, y + dy);
      if (c.r >= 130 && c.g >= 220 && c.b >= 190) ++points;
    }
  return points;
}

TEST_F(ApplicationHooksTest, OverThePictureThePointerIsTheDrawnCursor) {
  StartAGame();
  Pause();
  // Two places on the still picture, clear of the pause box and the window
  // size button.
  const std::pair<int, int> a{60, 390}, b{420, 400};
  program.MovePointerToGame(a.first, a.second);
  ScreenImage atA =
      program.WaitForContent([&](const ScreenImage& s) { return CursorPoints(s, a.first, a.second) >= 12; });
  program.MovePointerToGame(b.first, b.second);
  ScreenImage atB =
      program.WaitForContent([&](const ScreenImage& s) { return CursorPoints(s, b.first, b.second) >= 12; });
  EXPECT_GE(CursorPoints(atA, a.first, a.second), 12) << "no cursor at the pointer\n" << program.Diagnostics();
  EXPECT_GE(CursorPoints(atB, b.first, b.second), 12) << "the cursor did not follow\n" << program.Diagnostics();
  // Where the pointer no longer is, the picture shows without the cursor.
  EXPECT_LT(CursorPoints(atB, a.first, a.second), 3);
  EXPECT_LT(CursorPoints(atA, b.first, b.second), 3);
  QuitAndExpectSaved();
}

}  // namespace
