// Full screen (the default on a first start) and the rest of the desktop:
// a player who switches to another application finds the focus where they
// put it, and the game neither in front nor covering the screen; a player
// who hides the game finds it hidden until they bring it back.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"
#include "support/e2e/WindowState.h"

using namespace e2e;

namespace {

// How long a person looks at the other window before deciding the game has
// let go of the desktop.
constexpr std::chrono::milliseconds kWatch{3000};

// Watches for `span` whether `holds` stays true; the first moment it did not,
// described, or "".
std::string HoldsFor(std::chrono::milliseconds span, const std::function<std::string()>& broken) {
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < span) {
    std::string why = broken();
    if (!why.empty()) {
      const auto after =
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
      return why + " " + std::to_string(after) + " ms after the switch";
    }
    // A sample every 20 ms: a window taking the focus back holds it longer.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return "";
}

class FocusTest : public ::testing::Test {
 protected:
  // A first start: no preferences, so full screen; on the title.
  void StartInFullScreen() {
    program.Start();
    ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
    ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
    const ScreenImage title = program.SkipLogo([](const ScreenImage& s) { return TitleDiffers(s) == 0; });
    ASSERT_EQ(TitleDiffers(title), 0) << "no title\n" << program.Diagnostics();
    ASSERT_TRUE(program.WaitForContentSize(desktop.Width(), desktop.Height())) << program.Diagnostics();
    ASSERT_TRUE(desktop.IsFullScreen(program.Window())) << program.Diagnostics();
  }

  // One press, taken by the program (its trace says so), or false.
  bool PressTaken(const std::string& key, int keyCode, const std::vector<std::string>& modifiers = {}) {
    const std::string taken = "taken KeyDown key " + std::to_string(keyCode) + " ";
    const int before = program.TraceCount(taken);
    if (!program.PressKey(key, modifiers)) return false;
    return PollUntil([&] { return program.TraceCount(taken) > before || !program.Running(); }, {}, Program::kTimeout) &&
           program.TraceCount(taken) > before;
  }

  void Quit() {
    ASSERT_TRUE(PressTaken("q", 12, {"Control_L"})) << "Ctrl+Q was not taken\n" << program.Diagnostics();
    auto status = program.WaitForExit(Program::kFadeTimeout);
    ASSERT_TRUE(status) << "Ctrl+Q did not end the program\n" << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }

  Desktop desktop;
  UserHome home;
  Program program{desktop, home};
};

TEST_F(FocusTest, SwitchingAwayFromFullScreenLeavesTheFocusWithTheOtherWindow) {
  StartInFullScreen();
  XWindow other = desktop.OpenOtherWindow(ScreenRect{10, 10, 200, 150});
  ASSERT_TRUE(PollUntil([&] { return desktop.IsShown(other); }, {}, Program::kTimeout));
  desktop.Activate(other);
  ASSERT_TRUE(PollUntil([&] { return desktop.FocusedWindow() == other; }, {}, Program::kTimeout))
      << "the other window did not get the focus\n"
      << program.Diagnostics();

  const std::string lost = HoldsFor(kWatch, [&] {
    if (desktop.FocusedWindow() != other) return std::string("the focus left the other window");
    return std::string();
  });
  EXPECT_EQ(lost, "") << program.Diagnostics();
  EXPECT_EQ(desktop.FocusedWindow(), other);
  EXPECT_FALSE(desktop.IsFullScreen(program.Window())) << "still full screen behind another application";
  EXPECT_TRUE(LiesAbove(desktop, other, program.Window())) << "the game is in front of the window the player chose";

  // Coming back resumes full screen.
  desktop.Activate(program.Window());
  ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(desktop.Width(), desktop.Height())) << "back\n" << program.Diagnostics();
  Quit();
}

TEST_F(FocusTest, HidingInFullScreenKeepsTheWindowHidden) {
  StartInFullScreen();
  ASSERT_TRUE(PressTaken("h", 4, {"Control_L"})) << "Ctrl+H was not taken\n" << program.Diagnostics();
  ASSERT_TRUE(PollUntil([&] { return IsIconic(desktop, program.Window()); }, {}, Program::kTimeout))
      << "Ctrl+H did not hide the window\n"
      << program.Diagnostics();

  const std::string back = HoldsFor(kWatch, [&] {
    if (!IsIconic(desktop, program.Window())) return std::string("the window is no longer iconic");
    if (desktop.IsShown(program.Window())) return std::string("the window shows again");
    return std::string();
  });
  EXPECT_EQ(back, "") << program.Diagnostics();
  EXPECT_NE(desktop.FocusedWindow(), program.Window());

  // The player brings it back: it takes the focus and full screen again.
  desktop.Activate(program.Window());
  ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(desktop.Width(), desktop.Height())) << "back\n" << program.Diagnostics();
  Quit();
}

}  // namespace
