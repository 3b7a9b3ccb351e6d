// The program as a person meets it on a desktop: what its window shows, the
// Window menu's keys, and the ways to end it, each with its preferences
// saved.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <regex>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;

std::string PreferencesText(bool fullScreen) {
  return std::string("<dict>\t<key>Full Screen</key>\t") + (fullScreen ? "<true/>" : "<false/>") + "</dict>";
}

// The full-screen flag of a saved preferences file; nothing when there is
// no file or no flag.
std::optional<bool> SavedFullScreen(const UserHome& home) {
  std::string text = ReadWholeFile(home.PreferencesFile());
  std::smatch m;
  if (!std::regex_search(text, m, std::regex("<key>Full Screen</key>\\s*<(true|false)/>"))) return std::nullopt;
  return m[1] == "true";
}

// Pixels of the title picture that are opaque and sit in a patch of nearly
// one colour, so that scaling cannot change them: a few, spread over it.
std::vector<std::pair<int, int>> SteadyOpaquePixels(const ScreenImage& picture) {
  std::vector<std::pair<int, int>> found;
  const int r = 2;
  for (int band = 0; band < 6; ++band) {
    const int x0 = picture.Width() * band / 6, x1 = picture.Width() * (band + 1) / 6;
    bool taken = false;
    for (int y = r; y < picture.Height() - r && !taken; ++y)
      for (int x = std::max(x0, r); x < std::min(x1, picture.Width() - r) && !taken; ++x) {
        const Rgba centre = picture.At(x, y);
        bool steady = centre.a == 255;
        for (int dy = -r; dy <= r && steady; ++dy)
          for (int dx = -r; dx <= r && steady; ++dx) {
            const Rgba p = picture.At(x + dx, y + dy);
            steady = p.a == 255 && ColourDistance(p, centre) <= 8;
          }
        if (steady) {
          found.emplace_back(x, y);
          taken = true;
        }
      }
  }
  return found;
}

class ProgramTest : public ::testing::Test {
 protected:
  // Starts the program and waits for its window with the keyboard focus.
  void Launch(Program& p) {
    p.Start();
    ASSERT_TRUE(p.WaitForWindow()) << p.Diagnostics();
    ASSERT_TRUE(p.WaitForFocus()) << p.Diagnostics();
  }

  // ... and, as a person would, skips the logo movie and waits for the title
  // picture before doing anything: while the program starts it may hold the
  // pointer, and keys and clicks that come while it is still loading are
  // dropped when its first screen opens.
  void LaunchAndWaitForPicture(Program& p) {
    Launch(p);
    ScreenImage shown = p.SkipLogo([](const ScreenImage& s) { return TitleMismatch(s).empty(); });
    EXPECT_EQ(TitleMismatch(shown), "") << p.Diagnostics();
  }

  void StartWindowed() {
    home.WritePreferences(PreferencesText(false));
    LaunchAndWaitForPicture(program);
  }

  // Ends the program with Ctrl+Q and expects a clean exit.
  void Quit(Program& p) {
    ASSERT_TRUE(p.PressKey("q", {"Control_L"})) << "no focus for Ctrl+Q\n" << p.Diagnostics();
    auto status = p.WaitForExit();
    ASSERT_TRUE(status) << "Ctrl+Q did not end the program\n" << p.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << p.Diagnostics();
  }

  // What differs between the content and the title picture drawn into it:
  // the title's steady pixels at their places, and black letterbox bars.
  static std::string TitleMismatch(const ScreenImage& shown) {
    static const ScreenImage title = LoadPng(DefaultBundle() + "/Contents/Resources/Title/Title.png");
    return PictureMismatch(shown, title);
  }

  // The same for the main screen's picture.
  static std::string MainMismatch(const ScreenImage& shown) {
    static const ScreenImage main = LoadPng(DefaultBundle() + "/Contents/Resources/Main/Main.png");
    return PictureMismatch(shown, main);
  }

  // How many of the game background's steady pixels show in place; sprites
  // and the banner may cover a few.
  static int BackgroundMatches(const ScreenImage& shown) {
    static const ScreenImage space = LoadPng(DefaultBundle() + "/Contents/Resources/Background.png");
    int matches = 0;
    for (auto [x, y] : SteadyOpaquePixels(space)) {
      ScreenPoint at = GameToContent(x + 0.5, y + 0.5, shown.Width(), shown.Height());
      if (ColourDistance(shown.At(int(at.x), int(at.y)), OverBlack(space.At(x, y))) <= 16) ++matches;
    }
    return matches;
  }

  static std::string PictureMismatch(const ScreenImage& shown, const ScreenImage& title) {
    const auto samples = SteadyOpaquePixels(title);
    if (title.Width() != 640 || samples.size() < 3) return "the picture has too few opaque patches to compare";
    std::string report;
    for (auto [x, y] : samples) {
      const Rgba expected = OverBlack(title.At(x, y)), seen = GamePixel(shown, x, y);
      if (ColourDistance(seen, expected) > 16)
        report += "picture pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") shows as " + Describe(seen) +
                  ", expected " + Describe(expected) + "\n";
    }
    ScreenPoint topLeft = GameToContent(0, 0, shown.Width(), shown.Height());
    const Rgba black{0, 0, 0, 255};
    for (int x = 0; x < shown.Width(); x += 37)
      for (int y : {int(topLeft.y) / 2, shown.Height() - 1 - int(topLeft.y) / 2})
        if (topLeft.y >= 2 && shown.At(x, y) != black)
          report += "letterbox bar pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                    Describe(shown.At(x, y)) + "\n";
    return report;
  }

  // Waits until the window shows the title picture, letterboxed.
  void ExpectTitleShown(Program& p) {
    ScreenImage shown = p.WaitForContent([](const ScreenImage& s) { return TitleMismatch(s).empty(); });
    ASSERT_FALSE(shown.Empty()) << p.Diagnostics();
    EXPECT_FALSE(shown.OneColour()) << "the window shows one flat colour\n" << p.Diagnostics();
    EXPECT_EQ(TitleMismatch(shown), "") << "content " << Describe(p.Content());
  }

  // The same for the title or, once a key or the time has taken the title
  // away, the main screen after it.
  void ExpectTitleOrMainShown(Program& p) {
    auto either = [](const ScreenImage& s) { return TitleMismatch(s).empty() || MainMismatch(s).empty(); };
    ScreenImage shown = p.WaitForContent(either, Program::kFadeTimeout);
    ASSERT_FALSE(shown.Empty()) << p.Diagnostics();
    EXPECT_FALSE(shown.OneColour()) << "the window shows one flat colour\n" << p.Diagnostics();
    EXPECT_TRUE(either(shown)) << "content " << Describe(p.Content()) << "\ntitle:\n"
                               << TitleMismatch(shown) << "main:\n"
                               << MainMismatch(shown);
  }

  Desktop desktop{kScreenWidth, kScreenHeight};
  UserHome home;
  Program program{desktop, home};
};

TEST_F(ProgramTest, ShowsTheTitlePictureInItsWindow) {
  StartWindowed();
  ASSERT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();
  EXPECT_EQ(desktop.Title(program.Window()), "Halvane");
  ExpectTitleShown(program);
  Quit(program);
}

TEST_F(ProgramTest, WindowMenuKeysGiveTheThreeSizes) {
  StartWindowed();
  ASSERT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();

  ASSERT_TRUE(program.PressKey("2", {"Control_L"})) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(1024, 768)) << "Ctrl+2\n" << program.Diagnostics();
  EXPECT_FALSE(desktop.IsFullScreen(program.Window()));
  // The key took the title away: the main screen follows it.
  ExpectTitleOrMainShown(program);

  ASSERT_TRUE(program.PressKey("f", {"Control_L"})) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(kScreenWidth, kScreenHeight)) << "Ctrl+F\n" << program.Diagnostics();
  EXPECT_TRUE(desktop.IsFullScreen(program.Window()));
  EXPECT_EQ(program.Content(), (ScreenRect{0, 0, kScreenWidth, kScreenHeight}));
  // The 4:3 picture fills the 5:4 screen's width with black bars above and below.
  ExpectTitleOrMainShown(program);

  ASSERT_TRUE(program.PressKey("1", {"Control_L"})) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(640, 480)) << "Ctrl+1\n" << program.Diagnostics();
  EXPECT_FALSE(desktop.IsFullScreen(program.Window()));

  // Quitting saves the window mode in force: not full screen.
  Quit(program);
  EXPECT_EQ(SavedFullScreen(home), std::optional<bool>(false));
}

// The way into a game and out of it again: Return on the title leads to the
// main screen, its Play button starts a game drawn over the main picture's
// place, and Ctrl+Q asks before it ends the program cleanly.
TEST_F(ProgramTest, TitleLeadsToTheMainScreenAndPlayStartsAGame) {
  StartWindowed();
  ASSERT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForReady("title")) << program.Diagnostics();
  ASSERT_TRUE(program.PressKey("Return")) << program.Diagnostics();
  ScreenImage main =
      program.WaitForContent([](const ScreenImage& s) { return MainMismatch(s).empty(); }, Program::kFadeTimeout);
  ASSERT_EQ(MainMismatch(main), "") << "the main screen did not show\n" << program.Diagnostics();

  // Play (52 in, 110 down, 3/4 of its 160 x 40 picture) takes clicks once
  // the menu is fully bright, a shade after it looks so. The main picture
  // fades out and the game fades in over its own background, which the main
  // picture shares in places.
  auto inGame = [](const ScreenImage& s) { return BackgroundMatches(s) >= 4 && !MainMismatch(s).empty(); };
  ASSERT_TRUE(program.WaitForReady("main screen")) << program.Diagnostics();
  ASSERT_TRUE(program.ClickGame(52 + 60, 110 + 15)) << program.Diagnostics();
  ScreenImage game = program.WaitForContent(inGame, Program::kFadeTimeout);
  EXPECT_GE(BackgroundMatches(game), 4) << "no game after Play\n" << program.Diagnostics();
  EXPECT_NE(MainMismatch(game), "") << "still the main screen\n" << program.Diagnostics();
  // Once the game is in play (until then Ctrl+Q quits at once), quitting asks.
  ASSERT_TRUE(GamePlaying(program.WaitForContent(GamePlaying))) << program.Diagnostics();
  auto status = QuitGameInProgress(program);
  ASSERT_TRUE(status) << "Ctrl+Q and Return did not end the game\n" << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
}

// Each way a person or the desktop asks the program to end.
struct QuitWay {
  const char* name;
  std::function<void(Desktop&, Program&)> ask;
};

void PrintTo(const QuitWay& way, std::ostream* os) { *os << way.name; }

class ProgramQuitTest : public ProgramTest, public ::testing::WithParamInterface<QuitWay> {};

TEST_P(ProgramQuitTest, EndsCleanlyAndSavesItsPreferences) {
  StartWindowed();
  ASSERT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();
  std::remove(home.PreferencesFile().c_str());

  GetParam().ask(desktop, program);
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << GetParam().name << " did not end the program\n" << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  EXPECT_EQ(SavedFullScreen(home), std::optional<bool>(false)) << "preferences:\n"
                                                               << ReadWholeFile(home.PreferencesFile());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ProgramQuitTest,
    ::testing::Values(
        QuitWay{"CtrlQ", [](Desktop&, Program& p) { ASSERT_TRUE(p.PressKey("q", {"Control_L"})) << p.Diagnostics(); }},
        QuitWay{"CloseButton", [](Desktop&, Program& p) { ASSERT_TRUE(p.ClickCloseButton()) << p.Diagnostics(); }},
        QuitWay{"WindowManagerCloseRequest", [](Desktop& d, Program& p) { d.RequestClose(p.Window()); }},
        QuitWay{"SIGTERM", [](Desktop&, Program& p) { p.Signal(SIGTERM); }}),
    [](const ::testing::TestParamInfo<QuitWay>& info) { return std::string(info.param.name); });

// The window mode chosen before quitting is the one the next start opens in;
// a first start, without preferences, opens in full screen.
TEST_F(ProgramTest, FullScreenChoiceSurvivesARestart) {
  LaunchAndWaitForPicture(program);
  ASSERT_TRUE(program.WaitForContentSize(kScreenWidth, kScreenHeight)) << "first start\n" << program.Diagnostics();
  EXPECT_TRUE(desktop.IsFullScreen(program.Window()));
  Quit(program);
  EXPECT_EQ(SavedFullScreen(home), std::optional<bool>(true));

  Program second(desktop, home);
  LaunchAndWaitForPicture(second);
  ASSERT_TRUE(second.WaitForContentSize(kScreenWidth, kScreenHeight)) << "restart\n" << second.Diagnostics();
  EXPECT_TRUE(desktop.IsFullScreen(second.Window()));
  ASSERT_TRUE(second.PressKey("1", {"Control_L"})) << second.Diagnostics();
  ASSERT_TRUE(second.WaitForContentSize(640, 480)) << second.Diagnostics();
  Quit(second);
  EXPECT_EQ(SavedFullScreen(home), std::optional<bool>(false));

  Program third(desktop, home);
  LaunchAndWaitForPicture(third);
  ASSERT_TRUE(third.WaitForContentSize(640, 480)) << "second restart\n" << third.Diagnostics();
  EXPECT_FALSE(desktop.IsFullScreen(third.Window()));
  Quit(third);
}

// Switching to another application leaves full screen for the time being;
// the preference keeps the user's choice, and coming back returns to it.
TEST_F(ProgramTest, SwitchingAwayLeavesFullScreenButKeepsThePreference) {
  LaunchAndWaitForPicture(program);
  ASSERT_TRUE(program.WaitForContentSize(kScreenWidth, kScreenHeight)) << program.Diagnostics();

  XWindow other = desktop.OpenOtherWindow(ScreenRect{10, 10, 200, 150});
  ASSERT_TRUE(PollUntil([&] { return desktop.IsShown(other); }, {}, Program::kTimeout));
  desktop.Activate(other);
  ASSERT_TRUE(PollUntil([&] { return desktop.FocusedWindow() == other; }, {}, Program::kTimeout))
      << "the other window did not get the focus";
  ASSERT_TRUE(PollUntil([&] { return !desktop.IsFullScreen(program.Window()); }, {}, Program::kTimeout))
      << "the program stayed in full screen behind another application\n"
      << program.Diagnostics();
  EXPECT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();
  // Leaving full screen does not take the focus back from the other application.
  EXPECT_EQ(desktop.FocusedWindow(), other);

  desktop.Activate(program.Window());
  ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(kScreenWidth, kScreenHeight)) << "back\n" << program.Diagnostics();
  Quit(program);
  EXPECT_EQ(SavedFullScreen(home), std::optional<bool>(true));
}

TEST_F(ProgramTest, ABrokenTitlePictureIsNamedAndTheProgramStillQuits) {
  TempFolder copy;
  const std::string bundle = copy / "Halvane.app";
  CopyBundle(DefaultBundle(), bundle);
  copy.Write("Halvane.app/Contents/Resources/Title/Title.png", "not a picture");
  home.WritePreferences(PreferencesText(false));

  Program broken(desktop, home, bundle);
  Launch(broken);
  ASSERT_TRUE(broken.WaitForContentSize(640, 480)) << broken.Diagnostics();
  // The title loads its picture as it opens, after the logo: a key skips it.
  ASSERT_TRUE(broken.WaitForReady("logo")) << broken.Diagnostics();
  ASSERT_TRUE(broken.PressKey("x")) << broken.Diagnostics();
  EXPECT_TRUE(
      PollUntil([&] { return broken.Stderr().find("Title/Title.png") != std::string::npos; }, {}, Program::kTimeout))
      << "stderr does not name the picture:\n"
      << broken.Stderr();
  // The title opens just after the picture is named and drops the keys
  // queued until then: Ctrl+Q once it takes keys.
  ASSERT_TRUE(broken.WaitForReady("title")) << broken.Diagnostics();
  ASSERT_TRUE(broken.PressKey("q", {"Control_L"})) << broken.Diagnostics();
  std::optional<ExitStatus> status = broken.WaitForExit(Program::kFadeTimeout);
  ASSERT_TRUE(status) << "Ctrl+Q did not end the program\n" << broken.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << broken.Diagnostics();
  EXPECT_EQ(SavedFullScreen(home), std::optional<bool>(false));
}

}  // namespace
