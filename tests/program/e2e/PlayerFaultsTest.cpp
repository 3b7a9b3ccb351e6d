// What a player sees that the rules one by one do not show: the rocks that
// drift behind the menu from the first start, the menu bar kept off a game
// in play (a pause brings it back), and the wave's label readable over the
// dark sky it rests on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

// A menu's separator row, in window pixels.
constexpr int kSeparatorHeight = 10;

// The darkest channel sum of a menu row's text, from the row's top.
int DarkestInk(const ScreenImage& content, int left, int top) {
  int darkest = 3 * 255;
  for (int y = top + 2; y < top + kItemHeight - 2; ++y)
    for (int x = left; x < left + 110 && x < content.Width(); ++x) {
      const Rgba c = content.At(x, y);
      darkest = std::min(darkest, c.r + c.g + c.b);
    }
  return darkest;
}

bool PauseShown(const ScreenImage& shown) {
  const int samples = int(PauseBoxSamples().size());
  return samples >= 8 && PauseBoxMatches(shown) >= samples * 9 / 10;
}

// The name panel (864 x 192 shown at 1/1.6) stands centred, its middle at
// 35% of the height; the name field is 200 x 32 at 234, 56 on it. Inside the
// field, clear of its rim: the text's band.
const int kPanelLeft = 320 - 270, kPanelTop = 168 - 60;
const int kFieldLeft = kPanelLeft + 234, kFieldTop = kPanelTop + 56;
const int kTextLeft = kFieldLeft + 6, kTextRight = kFieldLeft + 194, kTextTop = kFieldTop + 7,
          kTextBottom = kFieldTop + 25;

// White text in the field, and the blue band of a selected name.
struct FieldReading {
  int textPoints = 0, bandPoints = 0;
};
FieldReading ReadField(const ScreenImage& s) {
  FieldReading r;
  for (int x = kTextLeft; x < kTextRight; ++x)
    for (int y = kTextTop; y < kTextBottom; ++y) {
      const Rgba c = GamePixel(s, x, y);
      if (c.r >= 190 && c.g >= 190 && c.b >= 190)
        ++r.textPoints;
      else if (c.b >= 150 && c.r <= 90 && c.g <= 140)
        ++r.bandPoints;
    }
  return r;
}
bool OfferedNameSelected(const ScreenImage& s) {
  const FieldReading r = ReadField(s);
  return r.bandPoints >= 200 && r.textPoints >= 60;
}

// The yellow of a new row's name in the table's first row (the table stands
// at 379, 142 of the menu; a row's name from 5 pixels in).
int FirstRowNameInk(const ScreenImage& s) {
  int n = 0;
  for (int y = 143; y < 163; ++y)
    for (int x = 381; x < 470; ++x) {
      const Rgba c = GamePixel(s, x, y);
      if (c.r > 180 && c.g > 150 && c.b < 90) ++n;
    }
  return n;
}

// Relative luminance of a screen pixel (sRGB).
double Luminance(const Rgba& c) {
  auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[size_t(std::min<double>(double(v.size() - 1), p * double(v.size() - 1)))];
}

struct Contrast {
  double ink = 0, sky = 0;
  double Ratio() const { return (ink + 0.05) / (sky + 0.05); }
};

// The wave's label as it rests: 0.55 of its 24-pixel height, centred 12
// pixels down the picture; "WAVE" and one digit, (96 + 36) x 0.55 wide. Its
// ink is the bright tenth of the box (the letters' light); the sky is the
// median of the strips on either side of it.
Contrast LabelContrast(const ScreenImage& shown) {
  std::vector<double> label, sky;
  for (int y = 6; y < 19; ++y) {
    for (int x = 284; x < 356; ++x) label.push_back(Luminance(GamePixel(shown, x, y)));
    for (int x = 200; x < 260; ++x) sky.push_back(Luminance(GamePixel(shown, x, y)));
    for (int x = 380; x < 440; ++x) sky.push_back(Luminance(GamePixel(shown, x, y)));
  }
  return Contrast{Percentile(label, 0.9), Percentile(sky, 0.5)};
}

// Watches for `span` that `broken` stays empty; what it said first, or "".
std::string HoldsFor(std::chrono::milliseconds span, const std::function<std::string()>& broken) {
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < span) {
    std::string why = broken();
    if (!why.empty()) return why;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return "";
}

int Difference(const Rgba& a, const Rgba& b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// The nebula behind the menu turns slowly about the picture's centre: of
// the pixels (where the menu's picture lets it through) that the later
// picture shows otherwise than the earlier one turned by the best-fitting
// small angle (with a pixel of play), the most in one patch.
int MovedAgainstTheNebula(const ScreenImage& before, const ScreenImage& after, const ScreenImage& main) {
  auto turned = [&](int x, int y, double angle, int dx, int dy) {
    const double c = std::cos(angle), s = std::sin(angle), u = x - 320.0, v = y - 240.0;
    const int bx = int(std::lround(320 + c * u - s * v)) + dx, by = int(std::lround(240 + s * u + c * v)) + dy;
    return bx < 0 || by < 0 || bx >= 640 || by >= 480 ? Rgba{-1000, -1000, -1000} : before.At(bx, by);
  };
  double best = 0, bestError = 1e18;
  for (double degrees = -2.0; degrees <= 2.0; degrees += 0.05) {
    const double angle = degrees * M_PI / 180;
    double error = 0;
    for (int y = 2; y < 478; y += 6)
      for (int x = 2; x < 638; x += 6)
        if (main.At(x, y).a <= 16) error += std::min(Difference(after.At(x, y), turned(x, y, angle, 0, 0)), 200);
    if (error < bestError) bestError = error, best = angle;
  }
  // Changed pixels by 20 x 20 cells: a drifting rock changes a patch of
  // them; the nebula's fine stars, turned, a scattered few. Its bright core
  // at the centre, turned about a centre a shade off, changes a patch too,
  // so the cells around the centre do not count.
  int cells[24][32] = {};
  for (int y = 2; y < 478; ++y)
    for (int x = 2; x < 638; ++x) {
      if (main.At(x, y).a > 16) continue;
      int nearest = 1 << 20;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          nearest = std::min(nearest, Difference(after.At(x, y), turned(x, y, best, dx, dy)));
      if (nearest > 60) ++cells[y / 20][x / 20];
    }
  int most = 0;
  for (int cy = 0; cy < 24; ++cy)
    for (int cx = 0; cx < 32; ++cx)
      if (std::abs(cx * 20 + 10 - 320) > 40 || std::abs(cy * 20 + 10 - 240) > 40) most = std::max(most, cells[cy][cx]);
  return most;
}

class PlayerFaultsTest : public ::testing::Test {
 protected:
  PlayerFaultsTest() { home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/></dict>"); }

  // One press or click, taken by the program (its trace says so), or false.
  bool Taken(const std::string& traced, const std::function<bool()>& act) {
    const int before = program.TraceCount(traced);
    if (!act()) return false;
    return PollUntil([&] { return program.TraceCount(traced) > before || !program.Running(); }, {},
                     Program::kTimeout) &&
           program.TraceCount(traced) > before;
  }
  bool PressTaken(const std::string& key, int code) {
    return Taken("taken KeyDown key " + std::to_string(code) + " ", [&] { return program.PressKey(key); });
  }

  // The menu takes clicks once fully bright, a shade after it looks so: as a
  // person waits until it has stopped brightening, until two pictures a
  // third of a second apart show its opaque parts alike.
  std::string WaitUntilTheMenuIsSteady() {
    static const ScreenImage main = LoadPng(DefaultBundle() + "/Contents/Resources/Main/Main.png");
    ScreenImage last;
    auto steady = [&] {
      ScreenImage now = program.GrabContent();
      bool same = !last.Empty() && now.Width() == 640 && last.Width() == 640 && MainDiffers(now) == 0;
      for (int y = 0; y < 480 && same; y += 5)
        for (int x = 0; x < 640 && same; x += 5)
          if (main.At(x, y).a == 255 && ColourDistance(now.At(x, y), last.At(x, y)) > 1) same = false;
      last = now;
      return same;
    };
    auto previous = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    if (!PollUntil(
            [&] {
              if (std::chrono::steady_clock::now() - previous < std::chrono::milliseconds(330)) return false;
              previous = std::chrono::steady_clock::now();
              return steady();
            },
            {}, Program::kFadeTimeout))
      return "the menu did not settle\n" + program.Diagnostics();
    return "";
  }

  // From the menu, one click on Play, then the game at full brightness.
  std::string StartAGame() {
    std::string menu = OpenToTheMenu(program);
    if (!menu.empty()) return menu;
    menu = WaitUntilTheMenuIsSteady();
    if (!menu.empty()) return menu;
    if (!Taken("taken MouseDown", [&] { return program.ClickGame(kPlayX, kPlayY); }))
      return "the click on Play was not taken\n" + program.Diagnostics();
    if (!GamePlaying(program.WaitForContent(GamePlaying, Program::kFadeTimeout)))
      return "no game\n" + program.Diagnostics();
    return "";
  }

  // Ends the program as the desktop's log-out does (a game in progress would
  // ask first at Ctrl+Q).
  void Quit() {
    program.Signal(SIGTERM);
    auto status = program.WaitForExit(Program::kFadeTimeout);
    ASSERT_TRUE(status) << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }

  Desktop desktop;
  UserHome home;
  Program program{desktop, home};
};

// Before any game has been played, rocks drift behind the menu: between two
// pictures a quarter of a second apart, a patch of the background that the
// menu's picture lets through changes more than the turning nebula does.
TEST_F(PlayerFaultsTest, RocksDriftBehindTheFirstMenuOfAFirstStart) {
  ASSERT_EQ(OpenToTheMenu(program), "");
  // Brightening, the whole picture changes.
  ASSERT_EQ(WaitUntilTheMenuIsSteady(), "");
  static const ScreenImage main = LoadPng(DefaultBundle() + "/Contents/Resources/Main/Main.png");
  ASSERT_EQ(main.Width(), 640);
  // The pointer off the window, so that nothing under it changes.
  desktop.MovePointer(desktop.Width() - 3, desktop.Height() - 3);
  int most = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (most < 40 && std::chrono::steady_clock::now() < until) {
    ScreenImage before = program.GrabContent();
    const auto at = std::chrono::steady_clock::now();
    PollUntil([&] { return std::chrono::steady_clock::now() - at >= std::chrono::milliseconds(250); }, {},
              Program::kTimeout);
    ScreenImage after = program.GrabContent();
    if (before.Width() != 640 || after.Width() != 640) continue;
    const int moved = MovedAgainstTheNebula(before, after, main);
    most = std::max(most, moved);
  }
  std::printf("most pixels changed in one patch: %d\n", most);
  EXPECT_GE(most, 40) << "nothing drifts behind the menu\n" << program.Diagnostics();
  Quit();
}

// The pointer at the top of a game in play brings no bar over it; paused,
// the bar comes under the pointer as on the menu.
TEST_F(PlayerFaultsTest, NoMenuBarOverAGameInPlayButInThePause) {
  ASSERT_EQ(StartAGame(), "");
  const ScreenRect c = program.Content();
  desktop.MovePointer(c.x + 320, c.y + 4);
  const std::string shown = HoldsFor(std::chrono::milliseconds(3000), [&] {
    return BarShows(program.GrabContent()) ? std::string("the menu bar shows over the game in play") : std::string();
  });
  EXPECT_EQ(shown, "") << program.Diagnostics();

  ASSERT_TRUE(PressTaken("Escape", 53)) << "Escape was not taken\n" << program.Diagnostics();
  ASSERT_TRUE(PauseShown(program.WaitForContent(PauseShown, Program::kFadeTimeout))) << program.Diagnostics();
  desktop.MovePointer(c.x + 322, c.y + 4);
  EXPECT_TRUE(BarShows(program.WaitForContent(BarShows))) << "no bar in the pause\n" << program.Diagnostics();
  Quit();
}

// The wave's label, once it rests at the top, stands out from the sky by at
// least 4.5 to 1 (what text needs to be read).
TEST_F(PlayerFaultsTest, TheRestingWaveLabelReadsOverTheSky) {
  ASSERT_EQ(StartAGame(), "");
  // At rest once it is at the top and three pictures a third of a second
  // apart agree (at first it stands large in the middle).
  std::vector<Contrast> seen;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  auto steady = [&] {
    if (seen.size() < 3 || seen.back().Ratio() < 1.3) return false;
    const double a = seen[seen.size() - 1].ink, b = seen[seen.size() - 2].ink, d = seen[seen.size() - 3].ink;
    return std::abs(a - b) <= 0.02 * a + 0.002 && std::abs(a - d) <= 0.02 * a + 0.002;
  };
  while (!steady() && std::chrono::steady_clock::now() < until) {
    const auto at = std::chrono::steady_clock::now();
    PollUntil([&] { return std::chrono::steady_clock::now() - at >= std::chrono::milliseconds(330); }, {},
              Program::kTimeout);
    ScreenImage shown = program.GrabContent();
    if (shown.Width() == 640) seen.push_back(LabelContrast(shown));
  }
  ASSERT_TRUE(steady()) << "the label did not come to rest\n" << program.Diagnostics();
  const Contrast rest = seen.back();
  std::printf("wave label at rest: ink luminance %.4f, sky %.4f, contrast %.2f:1\n", rest.ink, rest.sky, rest.Ratio());
  EXPECT_GE(rest.Ratio(), 4.5) << "ink " << rest.ink << ", sky " << rest.sky;
  Quit();
}

// A player still tapping fire as the game ends: the taps through the fade
// and the one as the name panel opens leave the offered name there,
// selected. Then the table cannot be saved: once the alert is answered, the
// table shows the name at once.
TEST_F(PlayerFaultsTest, FireAsTheGameEndsLeavesTheNameAndAFailedSaveStillShowsIt) {
  home.WritePreferences(
      "<dict>\t<key>Full Screen</key>\t<false/>\t<key>Last Player 1</key>\t<string>Testpilot</string>\t</dict>");
  // The alerts as the player sees them, in windows of their own.
  program.SetEnv("HALVANE_DIALOGS", "rendered");
  ASSERT_EQ(StartAGame(), "");
  // A folder where the scores file was: nothing can be saved over it (not
  // even by an administrator, whom permissions do not stop).
  const std::string scores = home.ConfigHome() + "/Halvane/Halvane Scores.plist";
  ASSERT_EQ(unlink(scores.c_str()), 0);
  ASSERT_EQ(mkdir(scores.c_str(), 0700), 0);
  // The first press of fire joins the game, once the game takes keys.
  ASSERT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
  ASSERT_TRUE(TapFire(program, 1)) << program.Diagnostics();
  ASSERT_EQ(PlayUntilScored(
                program, [](const ScreenImage& s) { return ScoreDigits(s) >= 20 || PanelAsks(s); },
                [](const ScreenImage& s) { return MainDiffers(s) <= 15; }),
            "");
  if (!PanelAsks(program.GrabContent())) {
    ASSERT_TRUE(PressTaken("Escape", 53)) << program.Diagnostics();
    ASSERT_TRUE(PauseShown(program.WaitForContent(PauseShown))) << "no pause\n" << program.Diagnostics();
    ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();
    ASSERT_TRUE(program.ClickGame(kBoxLeft + 40 + 60, kBoxTop + 18 + 3 * 36 + 15))  // Abort
        << program.Diagnostics();
  }
  // Fire tapped all through the fade, and once more as the panel shows. The
  // taps are the player's, not a way to bring the panel: it comes by itself
  // once the game has ended.
  ScreenImage shown = program.GrabContent();
  const auto until = std::chrono::steady_clock::now() + Program::kFadeTimeout;
  while (!PanelAsks(shown) && std::chrono::steady_clock::now() < until) {
    ASSERT_TRUE(TapFire(program, 1)) << program.Diagnostics();
    shown = program.GrabContent();
  }
  ASSERT_TRUE(PanelAsks(shown)) << "no name panel\n" << program.Diagnostics();
  const std::string fire = "taken KeyDown key 49 ";
  ASSERT_TRUE(Taken(fire, [&] { return TapFire(program, 1); })) << "the tap as the panel showed was not taken\n"
                                                                << program.Diagnostics();
  const std::string lost = HoldsFor(std::chrono::milliseconds(2000), [&] {
    const ScreenImage now = program.GrabContent();
    if (OfferedNameSelected(now)) return std::string();
    const FieldReading r = ReadField(now);
    return "the offered name is gone or no longer selected: text " + std::to_string(r.textPoints) + ", band " +
           std::to_string(r.bandPoints);
  });
  ASSERT_EQ(lost, "") << program.Diagnostics();

  // Return takes the name; the save fails and says so in an alert.
  ASSERT_TRUE(PressTaken("Return", 36)) << program.Diagnostics();
  XWindow alert = 0;
  ASSERT_TRUE(PollUntil(
      [&] {
        for (XWindow w : desktop.ManagedWindows())
          if (w != program.Window() && desktop.IsShown(w)) alert = w;
        return alert != 0;
      },
      {}, Program::kTimeout))
      << "no alert for the failed save\n"
      << program.Diagnostics();
  if (desktop.FocusedWindow() != alert) desktop.Activate(alert);
  ASSERT_TRUE(PollUntil([&] { return desktop.FocusedWindow() == alert; }, {}, Program::kTimeout))
      << program.Diagnostics();
  desktop.PressKey("Return");
  ASSERT_TRUE(PollUntil([&] { return !desktop.IsShown(alert); }, {}, Program::kTimeout)) << "the alert stayed\n"
                                                                                         << program.Diagnostics();
  const ScreenImage table =
      program.WaitForContent([](const ScreenImage& s) { return !PanelAsks(s) && FirstRowNameInk(s) >= 15; });
  EXPECT_GE(FirstRowNameInk(table), 15) << "the table does not show the new row's name\n" << program.Diagnostics();
  Quit();
}

// The game has no preferences of the shell's to show and ignores the
// command: on the menu (the capture of the start-up released), the
// application menu's Preferences item is shown disabled, About enabled.
TEST_F(PlayerFaultsTest, PreferencesStaysDisabledOnceTheCaptureIsReleased) {
  ASSERT_EQ(OpenToTheMenu(program), "");
  ASSERT_EQ(WaitUntilTheMenuIsSteady(), "");
  const ScreenRect c = program.Content();
  desktop.MovePointer(c.x + 300, c.y + 5);
  const ScreenImage bar = program.WaitForContent(BarShows);
  ASSERT_TRUE(BarShows(bar)) << "no bar with the pointer at the top\n" << program.Diagnostics();
  const auto titles = Titles(bar);
  ASSERT_GE(titles.size(), 1u) << program.Diagnostics();
  const int left = titles[0].first;
  ASSERT_TRUE(Taken("taken MouseDown", [&] {
    desktop.Click(c.x + (titles[0].first + titles[0].second) / 2, c.y + 10);
    return true;
  })) << program.Diagnostics();
  const ScreenImage menu = program.WaitForContent([&](const ScreenImage& s) { return MenuDown(s, left + 4); });
  ASSERT_TRUE(MenuDown(menu, left + 4)) << "the menu did not come down\n" << program.Diagnostics();
  // About, a line, then Preferences.
  const int about = DarkestInk(menu, left, kMenuTop);
  const int preferences = DarkestInk(menu, left, kMenuTop + kItemHeight + kSeparatorHeight);
  EXPECT_LT(about, 150) << "About is not drawn enabled";
  EXPECT_GT(preferences, 300) << "Preferences is drawn enabled (darkest ink " << preferences << ")";
  Quit();
}

}  // namespace
