// The character a key gives with Shift follows the keyboard's layout: on a
// French keyboard the key in the US "1" place gives "1" with Shift, not the
// US keyboard's "!".
// The program says in its input trace which character each key event
// carried; a held key's repeats carry it too, as the name field takes them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

// The virtual key code of the key in the US "1" place.
constexpr const char* kKey = "key 18 ";

TEST(ShiftedKeysTest, ShiftGivesTheLayoutsShiftedCharacter) {
  Desktop desktop{1280, 1024};
  const std::string command = "setxkbmap -display " + desktop.DisplayName() + " fr";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  UserHome home;
  home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>");
  Program program{desktop, home};
  program.KeysFollowAnotherLayout();
  const std::string opened = OpenToTheMenu(program);
  ASSERT_EQ(opened, "") << program.Diagnostics();

  // One press with Shift held: the key goes down and up as "1".
  ASSERT_TRUE(program.PressKey("1", {"Shift_L"})) << program.Diagnostics();
  const std::string down = std::string("KeyDown ") + kKey + "char '1'", up = std::string("KeyUp ") + kKey + "char '1'";
  EXPECT_TRUE(PollUntil([&] { return program.TraceCount("taken " + down) > 0; }, {}, std::chrono::seconds(10)))
      << "the press of Shift and the key was not taken as \"1\"\n"
      << program.Diagnostics();
  EXPECT_TRUE(PollUntil([&] { return program.TraceCount(up) > 0; }, {}, std::chrono::seconds(10)))
      << "its release was not \"1\"\n"
      << program.Diagnostics();

  // Held down with Shift, the key repeats as "1" every time: neither the
  // unshifted "&" nor the US keyboard's shifted "!".
  desktop.KeyDown("Shift_L");
  desktop.KeyDown("1");
  const std::string repeat = std::string("KeyRepeat ") + kKey;
  const bool repeated = PollUntil([&] { return program.TraceCount(repeat) >= 3; }, {}, std::chrono::seconds(10));
  desktop.KeyUp("1");
  desktop.KeyUp("Shift_L");
  ASSERT_TRUE(repeated) << "the held key did not repeat\n" << program.Diagnostics();
  EXPECT_EQ(program.TraceCount(repeat + "char '1'"), program.TraceCount(repeat)) << program.Diagnostics();

  EXPECT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
  auto status = program.WaitForExit();
  EXPECT_TRUE(status && status->Clean()) << program.Diagnostics();
}

}  // namespace
