// The menu bar as a person finds it: the pointer at the top of the window
// brings the bar over the picture, a click on a title pulls its menu down,
// a click on an item (or a drag to it) chooses it ("About Halvane..." shows
// the About screen, "Large" makes the window 1024 x 768, Hide minimises
// it), and the bar goes when the pointer leaves. The window manager's
// maximise button takes the game to full screen.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

// The About panel: its picture at 1 / 1.6, centred across the picture with
// its middle at 38.8% of the height; the samples are patches of one colour,
// clear of the two lines of text at a third of its height.
int AboutMatches(const ScreenImage& shown, int* total) {
  static const ScreenImage about = LoadPng(DefaultBundle() + "/Contents/Resources/ZadOR/About.png");
  static const std::vector<std::pair<std::pair<int, int>, Rgba>> samples = [] {
    std::vector<std::pair<std::pair<int, int>, Rgba>> found;
    if (about.Empty()) return found;
    const int w = int(about.Width() / 1.6), h = int(about.Height() / 1.6);
    const int left = 320 - w / 2, top = int(0.388 * 480 - h / 2.0);
    const int r = 4;
    for (int gy = top + 3; gy < top + h - 3; gy += 4) {
      if (gy > top + h / 3 - 24 && gy < top + h / 3 + 24) continue;
      for (int gx = left + 3; gx < left + w - 3; gx += 8) {
        const int px = int((gx + 0.5 - left) * 1.6), py = int((gy + 0.5 - top) * 1.6);
        if (px < r || py < r || px >= about.Width() - r || py >= about.Height() - r) continue;
        const Rgba centre = about.At(px, py);
        bool steady = centre.a == 255;
        for (int dy = -r; dy <= r && steady; ++dy)
          for (int dx = -r; dx <= r && steady; ++dx) {
            const Rgba q = about.At(px + dx, py + dy);
            steady = q.a == 255 && ColourDistance(q, centre) <= 6;
          }
        if (steady) found.push_back({{gx, gy}, OverBlack(centre)});
      }
    }
    return found;
  }();
  *total = int(samples.size());
  int matches = 0;
  for (const auto& [at, colour] : samples)
    if (ColourDistance(GamePixel(shown, at.first, at.second), colour) <= 16) ++matches;
  return matches;
}

bool AboutShows(const ScreenImage& shown) {
  int total = 0, matches = AboutMatches(shown, &total);
  return total >= 20 && matches >= total * 8 / 10;
}

class MenuBarTest : public ::testing::Test {
 protected:
  MenuBarTest() { home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>"); }

  // Puts the pointer on the bar and waits for it; the last grab. The bar
  // answers only while the game is in front, and the window system gives
  // the focus back a moment after the window changed its size or mode (or,
  // on a loaded machine, not at all until the window is activated, as a
  // click on its title would). A hand on the mouse keeps moving it a little,
  // and so does this: right after a switch to full screen a single jump of
  // the pointer has been seen to go unnoticed.
  ScreenImage ShowBar() {
    if (!program.WaitForFocus(std::chrono::milliseconds(3000))) {
      desktop.Activate(program.Window());
      program.WaitForFocus();
    }
    ScreenRect c = program.Content();
    ScreenImage shown;
    for (int nudge = 0; nudge < 8 && !BarShows(shown); ++nudge) {
      desktop.MovePointer(c.x + 300 + nudge, c.y + 5);
      shown = program.WaitForContent(BarShows, std::chrono::milliseconds(2000));
    }
    return shown;
  }

  void ClickContent(int x, int y) {
    ScreenRect c = program.Content();
    desktop.Click(c.x + x, c.y + y);
  }

  Desktop desktop{1280, 1024};
  UserHome home;
  Program program{desktop, home};
};

TEST_F(MenuBarTest, TheBarOpensAboutAndResizesTheWindow) {
  ASSERT_EQ(OpenToTheMenu(program), "");
  ScreenImage bar = ShowBar();
  ASSERT_TRUE(BarShows(bar)) << "no bar with the pointer at the top\n" << program.Diagnostics();
  std::vector<std::pair<int, int>> titles = Titles(bar);
  ASSERT_GE(titles.size(), 3u) << "the application's, Edit and Window titles\n" << program.Diagnostics();

  // The application's menu; its first item is About.
  const int appX = (titles[0].first + titles[0].second) / 2;
  ClickContent(appX, 10);
  ScreenImage menu = program.WaitForContent([&](const ScreenImage& s) { return MenuDown(s, titles[0].first + 4); });
  ASSERT_TRUE(MenuDown(menu, titles[0].first + 4)) << "the menu did not come down\n" << program.Diagnostics();
  ClickContent(titles[0].first + 20, kMenuTop + kItemHeight / 2);
  // The bar goes once the program has seen the pointer below it, which may
  // be a picture after the About screen first shows.
  ScreenImage about = program.WaitForContent([](const ScreenImage& s) { return AboutShows(s) && !BarShows(s); });
  int total = 0;
  ASSERT_TRUE(AboutShows(about)) << "no About screen: " << AboutMatches(about, &total) << " of " << total << "\n"
                                 << program.Diagnostics();
  EXPECT_FALSE(BarShows(about)) << "the bar stays after the pointer left it\n" << program.Diagnostics();

  // A click anywhere closes the About screen.
  ClickContent(320, 400);
  ScreenImage back = program.WaitForContent([](const ScreenImage& s) { return MainDiffers(s) == 0; });
  ASSERT_EQ(MainDiffers(back), 0) << "the About screen did not close\n" << program.Diagnostics();

  // Window > Large (its items: Small, Large, a line, Full Screen).
  bar = ShowBar();
  ASSERT_TRUE(BarShows(bar)) << program.Diagnostics();
  titles = Titles(bar);
  ASSERT_GE(titles.size(), 3u);
  const int windowX = titles[2].first + 4;
  ClickContent(windowX, 10);
  menu = program.WaitForContent([&](const ScreenImage& s) { return MenuDown(s, windowX); });
  ASSERT_TRUE(MenuDown(menu, windowX)) << program.Diagnostics();
  ClickContent(windowX + 16, kMenuTop + kItemHeight + kItemHeight / 2);
  ASSERT_TRUE(program.WaitForContentSize(1024, 768)) << "Large\n" << program.Diagnostics();
  EXPECT_FALSE(desktop.IsFullScreen(program.Window()));

  // A drag from the title down to Small chooses it too.
  bar = ShowBar();
  ASSERT_TRUE(BarShows(bar)) << program.Diagnostics();
  titles = Titles(bar);
  ASSERT_GE(titles.size(), 3u);
  ScreenRect c = program.Content();
  const int dragX = c.x + titles[2].first + 16;
  desktop.MovePointer(dragX, c.y + 10);
  desktop.ButtonDown();
  menu = program.WaitForContent([&](const ScreenImage& s) { return MenuDown(s, titles[2].first + 4); });
  ASSERT_TRUE(MenuDown(menu, titles[2].first + 4)) << "the press did not pull the menu down\n" << program.Diagnostics();
  for (int y = c.y + 14; y <= c.y + kMenuTop + kItemHeight / 2; y += 6) desktop.MovePointer(dragX, y);
  desktop.MovePointer(dragX, c.y + kMenuTop + kItemHeight / 2);
  desktop.ButtonUp();
  ASSERT_TRUE(program.WaitForContentSize(640, 480)) << "Small by a drag\n" << program.Diagnostics();

  ASSERT_TRUE(program.PressKey("q", {"Control_L"}));
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << program.Diagnostics();
  EXPECT_EQ(status->code, 0);
}

TEST_F(MenuBarTest, HideMinimisesTheWindow) {
  ASSERT_EQ(OpenToTheMenu(program), "");
  ScreenImage bar = ShowBar();
  ASSERT_TRUE(BarShows(bar)) << program.Diagnostics();
  std::vector<std::pair<int, int>> titles = Titles(bar);
  ASSERT_GE(titles.size(), 1u);
  ClickContent((titles[0].first + titles[0].second) / 2, 10);
  ScreenImage menu = program.WaitForContent([&](const ScreenImage& s) { return MenuDown(s, titles[0].first + 4); });
  ASSERT_TRUE(MenuDown(menu, titles[0].first + 4)) << program.Diagnostics();
  // About, a line, Preferences, a line, then Hide.
  ClickContent(titles[0].first + 20, kMenuTop + 2 * kItemHeight + 2 * 10 + kItemHeight / 2);
  EXPECT_TRUE(PollUntil([&] { return !desktop.IsShown(program.Window()); }, {}, Program::kTimeout))
      << "the window is still shown\n"
      << program.Diagnostics();
  program.Signal(SIGTERM);
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status);
}

TEST_F(MenuBarTest, TheMaximiseButtonGoesToFullScreen) {
  ASSERT_EQ(OpenToTheMenu(program), "");
  std::vector<ScreenRect> buttons = desktop.TitleBarButtons(program.Window());
  ASSERT_GE(buttons.size(), 3u) << "iconify, maximise, close\n" << program.Diagnostics();
  const ScreenRect maximise = buttons[buttons.size() - 2];
  desktop.ClickFrameButton(maximise);
  ASSERT_TRUE(PollUntil([&] { return desktop.IsFullScreen(program.Window()); }, {}, Program::kTimeout))
      << "not full screen after maximise\n"
      << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(1280, 1024)) << program.Diagnostics();
  // The bar comes at the top of the screen there too.
  ScreenImage fullBar = ShowBar();
  EXPECT_TRUE(BarShows(fullBar)) << "no bar in full screen\n" << program.Diagnostics();

  ASSERT_TRUE(program.PressKey("q", {"Control_L"}));
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << program.Diagnostics();
  EXPECT_EQ(status->code, 0);
}

}  // namespace
