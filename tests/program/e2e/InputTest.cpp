// Keys reach the program however soon after a change of the window's size
// they come: the program places its window again for each Window menu key,
// and a person may press the next key before it has drawn a frame.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

// A press of the left Shift key as SDL handed it to the program.
const char kShiftPressed[] = "sdl KEYDOWN scancode 225 ";

// The program in its 640 x 480 window at the menu.
class InputTest : public ::testing::Test {
 protected:
  InputTest() { home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/></dict>"); }

  // Ctrl+Q, pressed once and taken, ends the program cleanly.
  void ExpectCtrlQEndsIt() {
    auto status = QuitWithCtrlQ(program);
    ASSERT_TRUE(status) << "Ctrl+Q did not end the program\n" << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }

  Desktop desktop;
  UserHome home;
  Program program{desktop, home};
};

TEST_F(InputTest, AKeyRightAfterEachWindowSizeChangeReachesTheProgram) {
  ASSERT_EQ(OpenToTheMenu(program), "");

  struct Change {
    const char* key;
    int width, height;
  };
  // Round the three sizes, each change a hide and a show of the window; a
  // key lost now and then is the fault, so the round is made a few times.
  const Change round[] = {{"2", 1024, 768}, {"f", desktop.Width(), desktop.Height()}, {"1", 640, 480}};
  int presses = program.TraceCount(kShiftPressed);
  for (int lap = 0; lap < 6; ++lap)
    for (const Change& change : round) {
      SCOPED_TRACE(std::string("lap ") + std::to_string(lap) + ", Ctrl+" + change.key);
      ASSERT_TRUE(program.PressKey(change.key, {"Control_L"})) << program.Diagnostics();
      ASSERT_TRUE(program.WaitForContentSize(change.width, change.height)) << program.Diagnostics();
      ASSERT_TRUE(program.PressKey("Shift_L")) << program.Diagnostics();
      ++presses;
      ASSERT_TRUE(PollUntil([&] { return program.TraceCount(kShiftPressed) >= presses; }, {}, Program::kTimeout))
          << "the Shift key pressed after the size change did not reach the program\n"
          << program.Diagnostics();
    }
  ExpectCtrlQEndsIt();
}

// Away at another window long enough for the program to count it a
// suspend, then back: the key typed the moment the window holds the focus
// again is served, though it is queued before the program has taken its
// return.
TEST_F(InputTest, AKeyTypedTheMomentTheWindowIsBackIsServed) {
  ASSERT_EQ(OpenToTheMenu(program), "");
  XWindow other = desktop.OpenOtherWindow(ScreenRect{700, 10, 200, 150});
  ASSERT_TRUE(PollUntil([&] { return desktop.IsShown(other); }, {}, Program::kTimeout));
  // The new window took the focus as it opened.
  desktop.Activate(program.Window());

  // Ctrl+2 and Ctrl+1 in turn, each changing the window's size.
  const struct {
    const char* key;
    int width, height;
  } sizes[] = {{"2", 1024, 768}, {"1", 640, 480}};
  for (int lap = 0; lap < 6; ++lap) {
    const auto& size = sizes[lap % 2];
    SCOPED_TRACE(std::string("lap ") + std::to_string(lap) + ", Ctrl+" + size.key);
    // The window re-made for the last size holds the focus again first.
    ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
    const int suspends = program.TraceCount(": Suspend");
    // The window manager may pass a request over while the program's window
    // is being placed; it is asked again until the focus has moved.
    auto asked = std::chrono::steady_clock::now();
    desktop.Activate(other);
    ASSERT_TRUE(PollUntil([&] { return desktop.FocusedWindow() == other; },
                          [&] {
                            if (std::chrono::steady_clock::now() - asked < std::chrono::milliseconds(500)) return;
                            asked = std::chrono::steady_clock::now();
                            desktop.Activate(other);
                          },
                          Program::kTimeout))
        << "the other window did not get the focus\n"
        << program.Diagnostics();
    ASSERT_TRUE(PollUntil([&] { return program.TraceCount(": Suspend") > suspends; }, {}, Program::kTimeout))
        << "the program did not count the focus gone\n"
        << program.Diagnostics();
    desktop.Activate(program.Window());
    ASSERT_TRUE(PollUntil([&] { return desktop.FocusedWindow() == program.Window(); }, {}, Program::kTimeout))
        << program.Diagnostics();
    desktop.PressKey(size.key, {"Control_L"});
    ASSERT_TRUE(program.WaitForContentSize(size.width, size.height))
        << "the key typed as the window came back was not served\n"
        << program.Diagnostics();
  }
  ExpectCtrlQEndsIt();
}

}  // namespace
