// One sitting at the real program with real keys and clicks, the window
// read back at each stage: the menu, a game that scores, a pause ended by a
// click on Resume, a second pause ended by Abort, the name panel, a name
// typed and Return, the table showing it; then a restart that still shows it.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/TempFolder.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

// The pause box's Abort button, its fourth row (the rows are 36 apart).
const int kAbortX = kResumeX, kAbortY = kResumeY + 3 * 36;
// The name panel (768 x 192 shown at 1/1.6) stands centred, its middle at
// 35% of the height.
const double kShrink = 1.6;
// The score table's first row in the game picture.
const int kTableLeft = 379, kTableRight = 620, kFirstRowTop = 142, kFirstRowBottom = 164;

std::string Resource(const std::string& name) { return DefaultBundle() + "/Contents/Resources/" + name; }

// Points of a picture inside patches of one opaque colour, where scaling and
// filtering cannot change what shows.
// Points in the skipped rectangles (left, top, right, bottom) are left out,
// and so are those darker than `minBright` (the sum of red, green and blue):
// a dark picture over a dark game would show as itself.
std::vector<std::pair<int, int>> SteadyPoints(const ScreenImage& picture, int stepX, int stepY,
                                              std::vector<std::array<int, 4>> skip = {}, int radius = 4,
                                              int minBright = 0) {
  std::vector<std::pair<int, int>> found;
  for (int y = 6; y < picture.Height() - 6; y += stepY)
    for (int x = 6; x < picture.Width() - 6; x += stepX) {
      bool skipped = false;
      for (const auto& r : skip) skipped = skipped || (x >= r[0] && x < r[2] && y >= r[1] && y < r[3]);
      if (skipped) continue;
      const Rgba c = picture.At(x, y);
      bool steady = c.a == 255 && c.r + c.g + c.b >= minBright;
      for (int d = -radius; d <= radius && steady; ++d)
        steady = ColourDistance(picture.At(x + d, y), c) <= 6 && ColourDistance(picture.At(x, y + d), c) <= 6;
      if (steady) found.emplace_back(x, y);
    }
  return found;
}

// The share (0 to 1) of a picture's steady points that show at their place,
// the picture drawn at `left, top` shrunk by `shrink`.
double Shows(const ScreenImage& shown, const ScreenImage& picture, const std::vector<std::pair<int, int>>& points,
             int left, int top, double shrink) {
  if (points.empty()) return 0;
  int matches = 0;
  for (auto [x, y] : points) {
    const Rgba expected = OverBlack(picture.At(x, y));
    const Rgba seen = GamePixel(shown, int(left + x / shrink), int(top + y / shrink));
    if (ColourDistance(seen, expected) <= 20) ++matches;
  }
  return double(matches) / double(points.size());
}

const ScreenImage& MainPicture() {
  static const ScreenImage p = LoadPng(Resource("Main/Main.png"));
  return p;
}
const ScreenImage& BoxPicture() {
  static const ScreenImage p = LoadPng(Resource("Pause/PauseBox.png"));
  return p;
}
const ScreenImage& PanelPicture() {
  static const ScreenImage p = LoadPng(Resource("ZadOR/InputScreen.png"));
  return p;
}

// The menu at full brightness: the title artwork over it shows in place.
double MenuShows(const ScreenImage& s) {
  static const auto points = SteadyPoints(MainPicture(), 23, 17);
  return Shows(s, MainPicture(), points, 0, 0, 1.0);
}
// The pause box, clear of its column of buttons and of the volume lamps
// beside Sound and Music.
std::vector<std::pair<int, int>> BoxPoints() {
  return SteadyPoints(BoxPicture(), 2, 2, {{30, 0, 180, 1000}, {0, 48, 1000, 128}}, 1, 240);
}
double BoxShows(const ScreenImage& s) {
  static const auto points = BoxPoints();
  return Shows(s, BoxPicture(), points, kBoxLeft, kBoxTop, 1.0);
}
std::vector<std::pair<int, int>> PanelPoints() { return SteadyPoints(PanelPicture(), 2, 2, {}, 2, 240); }
double PanelShows(const ScreenImage& s, int down = 0) {
  static const auto points = PanelPoints();
  // The panel at 1 / 1.6, centred across the picture, its middle at 35% of
  // the height.
  const int w = int(PanelPicture().Width() / kShrink), h = int(PanelPicture().Height() / kShrink);
  return Shows(s, PanelPicture(), points, 320 - w / 2, int(0.35 * 480 - h / 2.0) + down, kShrink);
}

// Pixels of the table's first row in a colour: gold for a row just entered,
// green-blue for a plain one.
int RowPixels(const ScreenImage& s, bool gold) {
  int n = 0;
  for (int y = kFirstRowTop; y < kFirstRowBottom; ++y)
    for (int x = kTableLeft; x < kTableRight; ++x) {
      const Rgba c = GamePixel(s, x, y);
      // By hue, as a panel in front half-darkens the table.
      if (gold ? (c.r >= 100 && c.g >= 80 && c.b * 3 < c.r) : (c.g >= 80 && c.r * 3 < c.g && c.b * 3 >= c.g)) ++n;
    }
  return n;
}

// Once the game takes keys (at full brightness; between waves it fades),
// Escape once, and the pause box; the last grab.
ScreenImage PauseWithEscape(Program& program) {
  if (!program.WaitForReady("game") || !program.PressKey("Escape")) return program.GrabContent();
  return program.WaitForContent([](const ScreenImage& s) { return BoxShows(s) >= 0.9; });
}

class WholeFlowTest : public ::testing::Test {
 protected:
  void Start(Program& program) {
    program.Start();
    ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
    ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
    ASSERT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();
    ScreenImage title = program.SkipLogo();
    ASSERT_TRUE(TitleShows(title)) << "no title after the logo\n" << program.Diagnostics();
  }
  // From the title to the menu at full brightness, taking clicks.
  ScreenImage ToMenu(Program& program) {
    if (!program.WaitForReady("title") || !program.PressKey("Return")) return program.GrabContent();
    ScreenImage menu =
        program.WaitForContent([](const ScreenImage& s) { return MenuShows(s) >= 0.9; }, Program::kFadeTimeout);
    if (!program.WaitForReady("main screen")) return ScreenImage();
    return menu;
  }
  std::string ScoresFile() const { return home.ConfigHome() + "/Halvane/Halvane Scores.plist"; }

  Desktop desktop{1280, 1024};
  UserHome home;
};

TEST_F(WholeFlowTest, PlayPauseResumeAbandonEnterANameAndFindItAfterARestart) {
  home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>");
  {
    Program program{desktop, home};
    Start(program);
    ASSERT_GE(SteadyPoints(MainPicture(), 23, 17).size(), 20u);
    ASSERT_GE(BoxPoints().size(), 8u);
    ASSERT_GE(PanelPoints().size(), 8u);

    // The menu.
    ScreenImage menu = ToMenu(program);
    ASSERT_GE(MenuShows(menu), 0.9) << "no menu\n" << program.Diagnostics();
    EXPECT_EQ(RowPixels(menu, true), 0) << "a fresh table has no row entered";

    ScreenImage game = PlayFromTheMenu(program);
    ASSERT_TRUE(GamePlaying(game)) << "Play started no game\n" << program.Diagnostics();

    // Escape pauses (once the picture is fully bright; between waves it
    // fades). Fire first: the first press joins the game.
    ASSERT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
    ASSERT_TRUE(TapFire(program, 1)) << program.Diagnostics();
    auto paused = [](const ScreenImage& s) { return BoxShows(s) >= 0.9; };
    ScreenImage box = PauseWithEscape(program);
    ASSERT_TRUE(paused(box)) << "no pause box: " << BoxShows(box) << "\n" << program.Diagnostics();

    // Resume, pressed as a person does: held a moment, then let go. The
    // pause ends and the game goes on.
    ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();
    program.MovePointerToGame(kResumeX, kResumeY);
    ASSERT_TRUE(program.ButtonDown()) << program.Diagnostics();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_TRUE(program.ButtonUp()) << program.Diagnostics();
    ScreenImage resumed = program.WaitForContent([](const ScreenImage& s) { return BoxShows(s) < 0.3; });
    ASSERT_LT(BoxShows(resumed), 0.3) << "Resume did not end the pause\n" << program.Diagnostics();

    // Fire tapped while the ship sways, until the status bar shows a score
    // to enter the table with (or the game ended and the panel asks).
    EXPECT_EQ(PlayUntilScored(
                  program, [](const ScreenImage& s) { return ScoreDigits(s) >= 20 || PanelShows(s) >= 0.8; },
                  [](const ScreenImage& s) { return MenuShows(s) >= 0.9; }),
              "");

    // Pause again; Abort ends the game, and the menu comes back asking for
    // the name of the player who made the table. (Should the enemies have
    // ended the game already, the menu is asking by now.)
    if (PanelShows(program.GrabContent()) < 0.8) {
      box = PauseWithEscape(program);
      ASSERT_TRUE(paused(box)) << "no second pause\n" << program.Diagnostics();
      ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();
      ASSERT_TRUE(program.ClickGame(kAbortX, kAbortY)) << program.Diagnostics();
    }
    ScreenImage asking = program.WaitForContent([](const ScreenImage& s) { return PanelShows(s) >= 0.8; });
    ASSERT_GE(PanelShows(asking), 0.8) << "no name panel after the game\n" << program.Diagnostics();
    EXPECT_GT(RowPixels(asking, true), 20) << "the new row is not shown highlighted";
    ASSERT_TRUE(program.WaitForReady("name panel 1")) << program.Diagnostics();

    // A name and Return: the panel goes, the table shows the row.
    for (const char* key : {"z", "e", "d"}) ASSERT_TRUE(program.PressKey(key)) << program.Diagnostics();
    ASSERT_TRUE(program.PressKey("Return")) << program.Diagnostics();
    ScreenImage named = program.WaitForContent([](const ScreenImage& s) { return PanelShows(s) < 0.3; });
    ASSERT_LT(PanelShows(named), 0.3) << "the panel stayed\n" << program.Diagnostics();
    EXPECT_GT(RowPixels(named, true), 20) << "the entered row is not shown";
    const std::string saved = ReadWholeFile(ScoresFile());
    EXPECT_NE(saved.find("<string>zed</string>"), std::string::npos) << saved;

    ASSERT_TRUE(program.WaitForReady("main screen")) << program.Diagnostics();
    ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
    auto status = program.WaitForExit();
    ASSERT_TRUE(status) << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }

  // A restart reads the table back: the name is in the file and its row
  // shows, no longer highlighted.
  const std::string saved = ReadWholeFile(ScoresFile());
  EXPECT_NE(saved.find("<string>zed</string>"), std::string::npos) << saved;
  Program again{desktop, home};
  Start(again);
  ScreenImage menu = ToMenu(again);
  ASSERT_GE(MenuShows(menu), 0.9) << "no menu after the restart\n" << again.Diagnostics();
  EXPECT_GT(RowPixels(menu, false), 20) << "the saved row does not show";
  EXPECT_EQ(RowPixels(menu, true), 0);
  ASSERT_TRUE(again.PressKey("q", {"Control_L"})) << again.Diagnostics();
  ASSERT_TRUE(again.WaitForExit()) << again.Diagnostics();
}

// Two players: the second joins with keypad 0 and flies with keypad 4 and 6;
// after the game both name panels stand one above the other, the second
// answers first, and both names reach the table.
TEST_F(WholeFlowTest, TwoPlayersBothEnterTheirNames) {
  home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>");
  Program program{desktop, home};
  Start(program);
  ScreenImage menu = ToMenu(program);
  ASSERT_GE(MenuShows(menu), 0.9) << "no menu\n" << program.Diagnostics();
  ScreenImage game = PlayFromTheMenu(program);
  ASSERT_TRUE(GamePlaying(game)) << "Play started no game\n" << program.Diagnostics();

  // Both fire keys held in turn, both ships swaying, until both scores show
  // (or the enemies ended the game and the menu asks already).
  // Each press while the game takes keys must be taken.
  ASSERT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
  bool scored = false;
  for (int i = 0; i < 60 && !scored; ++i) {
    const bool left = i % 2 == 0;
    const std::vector<std::string> sway = {left ? "Left" : "Right", left ? "KP_4" : "KP_6"};
    ASSERT_TRUE(program.HoldKeysInPlay(sway)) << program.Diagnostics();
    for (int shot = 0; shot < 4; ++shot) {
      const bool fired = program.HoldKeysInPlay({"space", "KP_0"});
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      program.LetGoKeys({"space", "KP_0"});
      ASSERT_TRUE(fired) << program.Diagnostics();
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    program.LetGoKeys(sway);
    const ScreenImage now = program.GrabContent();
    scored = (ScoreDigits(now, 0) >= 20 && ScoreDigits(now, 1) >= 20) || PanelShows(now) >= 0.5;
  }
  ASSERT_TRUE(scored) << "the two players did not both score\n" << program.Diagnostics();

  if (PanelShows(program.GrabContent()) < 0.5) {
    ScreenImage box = PauseWithEscape(program);
    ASSERT_GE(BoxShows(box), 0.9) << "no pause\n" << program.Diagnostics();
    ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();
    ASSERT_TRUE(program.ClickGame(kAbortX, kAbortY)) << program.Diagnostics();
  }
  // Player 2's panel stands 96 pixels lower, in front (player 1's behind it
  // is darkened with the rest of the picture).
  ScreenImage asking = program.WaitForContent([](const ScreenImage& s) { return PanelShows(s, 96) >= 0.8; });
  ASSERT_GE(PanelShows(asking, 96), 0.8) << "no second name panel\n" << program.Diagnostics();
  ASSERT_TRUE(program.WaitForReady("name panel 2")) << program.Diagnostics();

  for (const char* key : {"y", "o", "Return"}) ASSERT_TRUE(program.PressKey(key)) << program.Diagnostics();
  ScreenImage one =
      program.WaitForContent([](const ScreenImage& s) { return PanelShows(s, 96) < 0.5 && PanelShows(s) >= 0.8; });
  ASSERT_LT(PanelShows(one, 96), 0.5) << "the second panel stayed\n" << program.Diagnostics();
  ASSERT_GE(PanelShows(one), 0.8) << "no first panel after the second\n" << program.Diagnostics();
  ASSERT_TRUE(program.WaitForReady("name panel 1")) << program.Diagnostics();
  for (const char* key : {"z", "e", "d", "Return"}) ASSERT_TRUE(program.PressKey(key)) << program.Diagnostics();
  ScreenImage none = program.WaitForContent([](const ScreenImage& s) { return PanelShows(s) < 0.3; });
  ASSERT_LT(PanelShows(none), 0.3) << "the first panel stayed\n" << program.Diagnostics();

  const std::string saved = ReadWholeFile(ScoresFile());
  EXPECT_NE(saved.find("<string>zed</string>"), std::string::npos) << saved;
  EXPECT_NE(saved.find("<string>yo</string>"), std::string::npos) << saved;
  ASSERT_TRUE(program.WaitForReady("main screen")) << program.Diagnostics();
  ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
}

}  // namespace
