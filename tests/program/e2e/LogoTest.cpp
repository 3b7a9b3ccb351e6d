// The first two screens as a person meets them: the logo movie plays in its
// band across the middle of the picture and gives way to the title by
// itself, or at once at a key.
#include <gtest/gtest.h>

#include <chrono>

#include "support/e2e/Desktop.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

std::string Resource(const std::string& name) { return DefaultBundle() + "/Contents/Resources/" + name; }

// Game-picture pixels sampled on a grid over the rows top..bottom: how many
// are lit (clearly brighter than the dark around the movie). The corner of
// the window-size button, which shows when the pointer comes near, is left
// out.
int LitPixels(const ScreenImage& shown, int top, int bottom) {
  int lit = 0;
  for (int y = top; y < bottom; y += 4)
    for (int x = 2; x < (y < 60 ? 560 : 640); x += 4) {
      const Rgba p = GamePixel(shown, x, y);
      if (p.r + p.g + p.b > 180) ++lit;
    }
  return lit;
}

// The logo movie at full light: its band (rows 60 to 420) shows the logo,
// the rows above and below it stay dark.
bool ShowsLogo(const ScreenImage& s) {
  return LitPixels(s, 64, 416) >= 150 && LitPixels(s, 0, 56) == 0 && LitPixels(s, 424, 480) == 0;
}

// The title picture's opaque pixels, on a grid fine enough to meet its
// lettering, show as they are.
bool ShowsTitle(const ScreenImage& shown) {
  static const ScreenImage title = LoadPng(Resource("Title/Title.png"));
  int compared = 0, differ = 0;
  for (int y = 2; y < 480; y += 6)
    for (int x = 2; x < 640; x += 6) {
      const Rgba p = title.At(x, y);
      if (p.a != 255) continue;
      ++compared;
      if (ColourDistance(GamePixel(shown, x, y), p) > 24) ++differ;
    }
  return compared >= 50 && differ == 0;
}

class LogoTest : public ::testing::Test {
 protected:
  LogoTest() { home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>"); }

  void StartAndSeeTheLogo() {
    program.Start();
    ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
    ASSERT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();
    ScreenImage logo = program.WaitForContent(ShowsLogo);
    ASSERT_TRUE(ShowsLogo(logo)) << "no logo movie: " << LitPixels(logo, 64, 416) << " lit in its band, "
                                 << LitPixels(logo, 0, 56) + LitPixels(logo, 424, 480) << " around it\n"
                                 << program.Diagnostics();
    EXPECT_FALSE(ShowsTitle(logo));
  }

  void Quit() {
    ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
    auto status = program.WaitForExit();
    ASSERT_TRUE(status) << "Ctrl+Q did not end the program\n" << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }

  Desktop desktop{1280, 1024};
  UserHome home;
  Program program{desktop, home};
};

// Seven seconds of logo, its fade-out and the title's fade-in.
TEST_F(LogoTest, TheLogoMovieShowsAndTheTitleFollowsByItself) {
  StartAndSeeTheLogo();
  ScreenImage title = program.WaitForContent(ShowsTitle, std::chrono::milliseconds(30000));
  EXPECT_TRUE(ShowsTitle(title)) << "no title after the logo\n" << program.Diagnostics();
  Quit();
}

// Left alone the logo takes over eight seconds to give way; a key cuts it
// short at once.
TEST_F(LogoTest, AKeyOnTheLogoSkipsToTheTitle) {
  StartAndSeeTheLogo();
  ASSERT_TRUE(program.PressKey("x")) << program.Diagnostics();
  ScreenImage title = program.WaitForContent(ShowsTitle, std::chrono::milliseconds(6000));
  EXPECT_TRUE(ShowsTitle(title)) << "the key did not skip the logo\n" << program.Diagnostics();
  Quit();
}

}  // namespace
