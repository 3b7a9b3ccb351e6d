// The program's buttons as a person uses them: the pause box's Resume
// button, held down under the pointer, shows pressed, and let go it ends
// the pause.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

std::string Resource(const std::string& name) { return DefaultBundle() + "/Contents/Resources/" + name; }

// How many of the box's bright samples (its rim and label) show in place: a
// game behind it can look like its dark inside, never like these.
int BrightBoxMatches(const ScreenImage& shown, int* samples) {
  static const ScreenImage box = LoadPng(Resource("Pause/PauseBox.png"));
  int matches = 0;
  *samples = 0;
  for (int y = 2; y < box.Height() - 2; ++y)
    for (int x = 2; x < box.Width() - 2; ++x) {
      const Rgba c = box.At(x, y);
      bool bright = c.a == 255 && c.r + c.g + c.b >= 240;
      for (int d = -1; d <= 1 && bright; ++d)
        bright = ColourDistance(box.At(x + d, y), c) <= 6 && ColourDistance(box.At(x, y + d), c) <= 6;
      if (!bright) continue;
      ++*samples;
      if (ColourDistance(GamePixel(shown, kBoxLeft + x, kBoxTop + y), OverBlack(c)) <= 16) ++matches;
    }
  return matches;
}

TEST(ControlsTest, ResumeButtonShowsPressedWhileHeld) {
  Desktop desktop{1280, 1024};
  UserHome home;
  home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>");
  Program program{desktop, home};
  ASSERT_GE(PauseBoxSamples().size(), 8u) << "the pause box has too few plain patches to find it by";

  // Logo, title, main screen, game: each picture up before the key or click
  // that leaves it.
  ASSERT_EQ(OpenToTheMenu(program), "");
  // The menu takes clicks once fully bright, a shade after it looks so.
  ScreenImage game = PlayFromTheMenu(program);
  ASSERT_TRUE(GamePlaying(game)) << "no game\n" << program.Diagnostics();

  // Escape pauses once the game's picture is at full brightness.
  const int samples = int(PauseBoxSamples().size());
  auto paused = [samples](const ScreenImage& s) { return PauseBoxMatches(s) >= samples * 9 / 10; };
  ASSERT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
  ASSERT_TRUE(program.PressKey("Escape")) << program.Diagnostics();
  ScreenImage box = program.WaitForContent(paused);
  ASSERT_TRUE(paused(box)) << "no pause box: " << PauseBoxMatches(box) << " of " << samples << "\n"
                           << program.Diagnostics();

  // Held down over Resume, the button shows pressed (pushed and darker),
  // and the pause goes on while it is held.
  ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();
  program.MovePointerToGame(kResumeX, kResumeY);
  ASSERT_TRUE(program.ButtonDown()) << program.Diagnostics();
  const ScreenImage up = box;
  auto pressedLook = [&up](const ScreenImage& s) {
    int changed = 0;
    for (int y = kResumeY - 12; y <= kResumeY + 12; y += 3)
      for (int x = kResumeX - 50; x <= kResumeX + 50; x += 5)
        if (ColourDistance(GamePixel(s, x, y), GamePixel(up, x, y)) > 24) ++changed;
    return changed;
  };
  ScreenImage pressed = program.WaitForContent([&](const ScreenImage& s) { return pressedLook(s) >= 10; });
  EXPECT_GE(pressedLook(pressed), 10) << "Resume does not show pressed\n" << program.Diagnostics();
  EXPECT_GE(PauseBoxMatches(pressed), samples * 9 / 10) << "the pause ended before the button came up";
  ASSERT_TRUE(program.ButtonUp()) << program.Diagnostics();

  // Let go over the button, it acts: the pause ends.
  int rim = 0;
  ASSERT_GE(BrightBoxMatches(pressed, &rim), rim * 9 / 10) << "the box's rim is not where it is looked for";
  ASSERT_GE(rim, 20);
  auto gone = [](const ScreenImage& s) {
    int n = 0;
    return BrightBoxMatches(s, &n) < n / 5;
  };
  ScreenImage resumed = program.WaitForContent(gone);
  EXPECT_TRUE(gone(resumed)) << "Resume did not end the pause\n" << program.Diagnostics();

  // Quitting the game in progress asks first.
  auto status = QuitGameInProgress(program);
  ASSERT_TRUE(status) << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status);
}

}  // namespace

namespace {

// The pointer is mapped from the screen onto the scaled, letterboxed picture
// for a click and for a held button alike: Resume, held and let go, ends the
// pause at every window size.
struct WindowSize {
  const char* name;
  const char* key;  // with Control
  int width, height;
};

void PrintTo(const WindowSize& w, std::ostream* os) { *os << w.name; }

class ResumeAtEverySize : public ::testing::TestWithParam<WindowSize> {};

TEST_P(ResumeAtEverySize, HeldAndLetGoEndsThePause) {
  Desktop desktop{1280, 1024};
  UserHome home;
  home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>");
  Program program{desktop, home};
  // Past the logo and the title (any key leaves it) to the main screen,
  // then the window size.
  ASSERT_EQ(OpenToTheMenu(program), "");
  ASSERT_TRUE(program.PressKey(GetParam().key, {"Control_L"})) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(GetParam().width, GetParam().height)) << program.Diagnostics();

  // Scaled, a few grid points fall on the picture's edges.
  ScreenImage main = program.WaitForContent([](const ScreenImage& s) { return MainDiffers(s) <= 15; });
  ASSERT_LE(MainDiffers(main), 15) << "no main screen\n" << program.Diagnostics();
  ScreenImage game = PlayFromTheMenu(program);
  ASSERT_TRUE(GamePlaying(game)) << "no game\n" << program.Diagnostics();

  int rim = 0;
  BrightBoxMatches(game, &rim);
  ASSERT_GE(rim, 20);
  auto shown = [rim](const ScreenImage& s) {
    int n = 0;
    return BrightBoxMatches(s, &n) >= rim * 3 / 4;
  };
  auto gone = [rim](const ScreenImage& s) {
    int n = 0;
    return BrightBoxMatches(s, &n) < rim / 5;
  };
  ASSERT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
  ASSERT_TRUE(program.PressKey("Escape")) << program.Diagnostics();
  ScreenImage box = program.WaitForContent(shown);
  ASSERT_TRUE(shown(box)) << "no pause box\n" << program.Diagnostics();

  ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();
  program.MovePointerToGame(kResumeX, kResumeY);
  ASSERT_TRUE(program.ButtonDown()) << program.Diagnostics();
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_TRUE(program.ButtonUp()) << program.Diagnostics();
  ScreenImage resumed = program.WaitForContent(gone);
  EXPECT_TRUE(gone(resumed)) << "Resume did not end the pause\n" << program.Diagnostics();

  auto status = QuitGameInProgress(program);
  ASSERT_TRUE(status) << program.Diagnostics();
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResumeAtEverySize,
                         ::testing::Values(WindowSize{"Large", "2", 1024, 768},
                                           WindowSize{"FullScreen", "f", 1280, 1024}),
                         [](const ::testing::TestParamInfo<WindowSize>& info) { return std::string(info.param.name); });

}  // namespace
