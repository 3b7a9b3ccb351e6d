// What a person sees the moment the program's window appears: black, then
// the logo movie, and never what the screen held there before (the windows
// of other programs). The desktop first shows a bright window of another
// program where the game's window will open; from the moment the game's
// window shows until its logo does, every look at its content finds the
// rows outside the logo's band dark.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"
// Last: its macros would rename words of the headers above.
#include <X11/Xlib.h>

using namespace e2e;

namespace {

bool Lit(const Rgba& p) { return p.r + p.g + p.b > 120; }

// Lit game-picture pixels on a grid over rows top..bottom, leaving out the
// corner where the window-size button may show.
int LitPixels(const ScreenImage& shown, int top, int bottom) {
  int lit = 0;
  for (int y = top; y < bottom; y += 4)
    for (int x = 2; x < (y < 60 ? 560 : 640); x += 4)
      if (Lit(GamePixel(shown, x, y))) ++lit;
  return lit;
}

// Above and below the logo's band the picture is dark on the way to the
// logo (but for the program's own menu bar in the top rows): anything lit
// there came from another window.
int LitOutsideTheBand(const ScreenImage& s) { return LitPixels(s, 28, 56) + LitPixels(s, 424, 480); }

// The logo movie at full light in its band across the middle, dark around it.
bool ShowsLogo(const ScreenImage& s) { return LitPixels(s, 64, 416) >= 100 && LitOutsideTheBand(s) == 0; }

// A plain white window over the whole screen, as another program's would be
// (left to itself by the window manager, so it shows at once and stays
// beneath the game's window, which maps later). It goes with the desktop.
void ShowWhiteWindow(Desktop& desktop) {
  Display* x = desktop.X();
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = WhitePixel(x, DefaultScreen(x));
  ::Window w =
      XCreateWindow(x, DefaultRootWindow(x), 0, 0, unsigned(desktop.Width()), unsigned(desktop.Height()), 0,
                    CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
  XMapWindow(x, w);
  // At the bottom of the stack, under every window the manager frames.
  XLowerWindow(x, w);
  XSync(x, False);
}

struct Case {
  const char* name;
  bool fullScreen;
};

class FirstPictureTest : public ::testing::TestWithParam<Case> {
 protected:
  Desktop desktop{1280, 1024};
  UserHome home;
};

TEST_P(FirstPictureTest, TheWindowShowsBlackOrTheLogoNeverWhatWasThereBefore) {
  const Case c = GetParam();
  home.WritePreferences(std::string("<dict>\t<key>Full Screen</key>\t<") + (c.fullScreen ? "true" : "false") +
                        "/>\t</dict>");
  // Another program's white window over the whole screen, up before the game starts.
  ShowWhiteWindow(desktop);
  ASSERT_TRUE(PollUntil(
      [&] {
        ScreenImage s = desktop.Grab(ScreenRect{desktop.Width() / 2 - 8, desktop.Height() / 2 - 8, 16, 16});
        return !s.Empty() && s.At(8, 8) == Rgba{255, 255, 255, 255};
      },
      {}, Program::kTimeout))
      << "the other window never showed white";

  Program program(desktop, home);
  const auto started = std::chrono::steady_clock::now();
  program.Start();
  ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
  int looks = 0, worst = 0;
  ScreenImage worstLook, last;
  // Only what the window shows counts: while it is hidden (on its way to
  // full screen) the screen shows the other window where it was.
  PollUntil(
      [&] {
        if (!desktop.IsShown(program.Window())) return false;
        ScreenImage s = program.GrabContent();
        if (!desktop.IsShown(program.Window()) || s.Width() < 64 || s.Height() < 48) return false;
        ++looks;
        const int lit = LitOutsideTheBand(s);
        if (lit > worst) {
          worst = lit;
          worstLook = s;
        }
        last = s;
        return ShowsLogo(s);
      },
      {}, Program::kFadeTimeout);
  ASSERT_TRUE(ShowsLogo(last)) << "the logo never showed\n" << program.Diagnostics();
  // For the record (not a limit): how long a person waited for the logo.
  RecordProperty(
      "ms_from_start_to_logo",
      int(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count()));
  last.SavePng(::testing::TempDir() + "first-picture-last-" + std::string(c.name) + ".png");
  EXPECT_GT(looks, 1);
  EXPECT_EQ(worst, 0) << "before the logo, " << worst << " lit points outside its band (of " << looks
                      << " looks): the window showed what was on the screen before it";
  if (worst > 0) worstLook.SavePng(::testing::TempDir() + "first-picture-stale-" + std::string(c.name) + ".png");
  ASSERT_TRUE(QuitWithCtrlQ(program)) << program.Diagnostics();
}

INSTANTIATE_TEST_SUITE_P(Modes, FirstPictureTest, ::testing::Values(Case{"Windowed", false}, Case{"FullScreen", true}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
