// The first two screens as a person meets them: the logo movie plays in its
// band across the middle of the picture and gives way to the title by
// itself, or at once at a key.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

// Game-picture pixels sampled on a grid over the rows top..bottom: how many
// are lit (clearly brighter than the dark around the movie). The corner of
// the window-size button, which shows when the pointer comes near, is left
// out.
int LitPixels(const ScreenImage& shown, int top, int bottom) {
  int lit = 0;
  for (int y = top; y < bottom; y += 4)
    for (int x = 2; x < (y < 60 ? 560 : 640); x += 4) {
      const Rgba p = GamePixel(shown, x, y);
      if (p.r + p.g + p.b > 120) ++lit;
    }
  return lit;
}

// The logo movie at full light: its band (rows 60 to 420) shows the logo,
// the rows above and below it stay dark.
bool ShowsLogo(const ScreenImage& s) {
  return LitPixels(s, 64, 416) >= 100 && LitPixels(s, 0, 56) == 0 && LitPixels(s, 424, 480) == 0;
}

class LogoTest : public ::testing::Test {
 protected:
  LogoTest() { home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>"); }

  // Starts a program and waits until its logo movie shows; when it first did.
  std::chrono::steady_clock::time_point StartAndSeeTheLogo(Program& program) {
    program.Start();
    EXPECT_TRUE(program.WaitForWindow()) << program.Diagnostics();
    EXPECT_TRUE(program.WaitForFocus()) << program.Diagnostics();
    EXPECT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();
    ScreenImage logo = program.WaitForContent(ShowsLogo);
    const auto seen = std::chrono::steady_clock::now();
    EXPECT_TRUE(ShowsLogo(logo)) << "no logo movie: " << LitPixels(logo, 64, 416) << " lit in its band, "
                                 << LitPixels(logo, 0, 56) + LitPixels(logo, 424, 480) << " around it\n"
                                 << program.Diagnostics();
    EXPECT_FALSE(TitleShows(logo));
    return seen;
  }

  // How long after `from` the title showed; nothing when it did not. When
  // asked, also when the logo was last seen lit on the way.
  std::optional<std::chrono::steady_clock::duration> TitleAfter(
      Program& program, std::chrono::steady_clock::time_point from,
      std::chrono::steady_clock::time_point* lastLit = nullptr) {
    ScreenImage title = program.WaitForContent(
        [lastLit](const ScreenImage& s) {
          if (lastLit && ShowsLogo(s)) *lastLit = std::chrono::steady_clock::now();
          return TitleShows(s);
        },
        Program::kFadeTimeout);
    if (!TitleShows(title)) return std::nullopt;
    return std::chrono::steady_clock::now() - from;
  }

  void Quit(Program& program) {
    auto status = QuitWithCtrlQ(program);
    ASSERT_TRUE(status) << "Ctrl+Q did not end the program\n" << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }

  Desktop desktop{1280, 1024};
  UserHome home;
};

// Left alone, the logo gives way to the title after its seven seconds and
// its fade-out, and shows lit until then, past the end of its five-second
// movie; a key on it brings the title seconds sooner. (Both runs go at the
// pace the machine allows, so they are compared with each other.)
TEST_F(LogoTest, TheTitleFollowsTheLogoByItselfOrSoonerAtAKey) {
  Program alone(desktop, home);
  auto seen = StartAndSeeTheLogo(alone);
  auto lastLit = seen;
  auto byItself = TitleAfter(alone, seen, &lastLit);
  ASSERT_TRUE(byItself) << "no title after the logo\n" << alone.Diagnostics();
  // The movie started before it was first seen lit, so this is past its end.
  const auto movieOver = seen + std::chrono::milliseconds(5500);
  EXPECT_GE(lastLit, movieOver) << "the logo went dark "
                                << std::chrono::duration_cast<std::chrono::milliseconds>(lastLit - seen).count()
                                << " ms after it was first seen, before its countdown ended\n"
                                << alone.Diagnostics();
  Quit(alone);

  Program skipped(desktop, home);
  seen = StartAndSeeTheLogo(skipped);
  ASSERT_TRUE(skipped.PressKey("x")) << skipped.Diagnostics();
  auto atKey = TitleAfter(skipped, seen);
  ASSERT_TRUE(atKey) << "no title after a key on the logo\n" << skipped.Diagnostics();
  // Ignored, the key would leave the two about equal.
  EXPECT_LT(*atKey + std::chrono::seconds(2), *byItself) << "the key did not cut the logo short\n"
                                                         << skipped.Diagnostics();
  Quit(skipped);
}

// A key while the title fades in sends it straight into its quick fade-out:
// the menu follows within a few seconds instead of after the title's ten.
TEST_F(LogoTest, AKeyDuringTheTitlesFadeInCutsTheTitleShort) {
  Program program(desktop, home);
  StartAndSeeTheLogo(program);
  ASSERT_TRUE(program.PressKey("x")) << program.Diagnostics();
  // The logo fades out to a dark picture, then the title begins to come up.
  ScreenImage dark =
      program.WaitForContent([](const ScreenImage& s) { return LitPixels(s, 0, 480) < 5; }, Program::kFadeTimeout);
  ASSERT_LT(LitPixels(dark, 0, 480), 5) << "no dark picture between the logo and the title\n" << program.Diagnostics();
  ScreenImage rising =
      program.WaitForContent([](const ScreenImage& s) { return LitPixels(s, 0, 480) >= 10; }, Program::kFadeTimeout);
  ASSERT_GE(LitPixels(rising, 0, 480), 10) << "the title did not come up\n" << program.Diagnostics();
  ASSERT_TRUE(program.PressKey("x")) << program.Diagnostics();
  const auto pressed = std::chrono::steady_clock::now();
  ScreenImage menu =
      program.WaitForContent([](const ScreenImage& s) { return MainDiffers(s) == 0; }, Program::kFadeTimeout);
  ASSERT_EQ(MainDiffers(menu), 0) << "no menu after the title\n" << program.Diagnostics();
  const auto took = std::chrono::steady_clock::now() - pressed;
  EXPECT_LT(took, std::chrono::seconds(6))
      << "the menu came " << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
      << " ms after the key: the key did not cut the title short\n"
      << program.Diagnostics();
  Quit(program);
}

// The menus' quit key and the window's close button are served while the
// logo plays.
TEST_F(LogoTest, CtrlQOrTheCloseButtonEndTheProgramDuringTheLogo) {
  struct Way {
    const char* name;
    bool (*ask)(Program&);
  };
  const Way ways[] = {
      {"Ctrl+Q", [](Program& p) { return p.PressKey("q", {"Control_L"}); }},
      {"close button", [](Program& p) { return p.ClickCloseButton(); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    Program run(desktop, home);
    StartAndSeeTheLogo(run);
    ASSERT_TRUE(way.ask(run)) << run.Diagnostics();
    auto status = run.WaitForExit();
    ASSERT_TRUE(status) << "the program did not end\n" << run.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << run.Diagnostics();
  }
}

}  // namespace
