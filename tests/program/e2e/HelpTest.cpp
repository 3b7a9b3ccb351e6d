// The help reader as a person pages through it: each page's number reads
// in full at the foot of the page, not under the buttons.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

// The help page sits at (70, 77) of the game picture, shrunk by 1.6 (its
// frame centred in the picture, the page centred in the frame).
constexpr double kPageLeft = 70, kPageTop = 77, kShrink = 1.6;

// Where the page number's solid strokes show: the nearly opaque pixels of the page
// picture in the strip along its foot left of the buttons, mapped onto the
// game picture.
std::vector<std::pair<int, int>> NumberInk(int page) {
  const ScreenImage picture =
      LoadPng(DefaultBundle() + "/Contents/Resources/Help/Help " + std::to_string(page) + ".png");
  std::vector<std::pair<int, int>> points;
  for (int y = 480; y < picture.Height(); y += 2)
    for (int x = 100; x < 420; x += 2)
      if (picture.At(x, y).a >= 180 && picture.At(x, y).r > 180)
        points.push_back({int(kPageLeft + x / kShrink), int(kPageTop + y / kShrink)});
  return points;
}

// How many of the number's points show light against the dark page. The
// strokes, shrunk, are barely two pixels wide, so a point counts when it or
// a neighbour is light.
int NumberShows(const ScreenImage& shown, const std::vector<std::pair<int, int>>& ink) {
  int lit = 0;
  for (auto [x, y] : ink) {
    bool light = false;
    for (int dy = -1; dy <= 1 && !light; ++dy)
      for (int dx = -1; dx <= 1 && !light; ++dx) {
        const Rgba p = GamePixel(shown, x + dx, y + dy);
        light = p.r + p.g + p.b > 300;
      }
    if (light) ++lit;
  }
  return lit;
}

TEST(HelpTest, EachPageNumberReadsInFull) {
  Desktop desktop{1280, 1024};
  UserHome home;
  home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>");
  Program program(desktop, home);
  ASSERT_EQ(OpenToTheMenu(program), "");
  // The menu's Help button once the menu takes clicks, then Next on each
  // page once the page shows.
  for (int page = 1; page <= 4; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    const auto ink = NumberInk(page);
    ASSERT_GE(ink.size(), 10u) << "no page number at the foot of the page picture, left of the buttons";
    const auto full = [&](const ScreenImage& s) { return NumberShows(s, ink) * 10 >= int(ink.size()) * 9; };
    ASSERT_TRUE(program.WaitForReady(page == 1 ? "main screen" : "help")) << program.Diagnostics();
    if (page == 1)
      ASSERT_TRUE(program.ClickGame(112, 157)) << program.Diagnostics();  // the menu's Help button
    else
      ASSERT_TRUE(program.ClickGame(540, 405)) << program.Diagnostics();  // Next
    ScreenImage shown = program.WaitForContent(full);
    EXPECT_TRUE(full(shown)) << NumberShows(shown, ink) << " of " << ink.size() << " points of the number show\n"
                             << program.Diagnostics();
  }
  ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << "Ctrl+Q did not end the program\n" << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
}

}  // namespace
