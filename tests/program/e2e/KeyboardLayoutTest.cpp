// The menu's key boxes name the keys as the keyboard's layout prints them:
// the key in the US layout's Q place shows "Q" on a US keyboard and "A" on a
// French one, where it is the A key, while the game keeps it by its place.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;

namespace {

// Player 1's left key box, 32 by 32 about (64, 372) of the picture.
constexpr int kBoxX = 64 - 16, kBoxY = 372 - 16, kBoxSide = 32;

std::string Preferences(int leftKey) {
  return "<dict>\t<key>Full Screen</key>\t<false/>\t<key>Custom Keys</key>\t<dict>\t<key>Player 0</key>\t<dict>\t"
         "<key>Key 0</key>\t<integer>" +
         std::to_string(leftKey) + "</integer>\t</dict>\t</dict>\t</dict>";
}

// The box's near-white pixels (the key's name), one flag a pixel.
std::vector<bool> NameInk(const ScreenImage& shown) {
  std::vector<bool> ink;
  for (int y = kBoxY; y < kBoxY + kBoxSide; ++y)
    for (int x = kBoxX; x < kBoxX + kBoxSide; ++x) {
      const Rgba c = GamePixel(shown, x, y);
      ink.push_back(c.r > 200 && c.g > 200 && c.b > 200);
    }
  return ink;
}

int Differing(const std::vector<bool>& a, const std::vector<bool>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
  return n;
}

int Count(const std::vector<bool>& a) {
  int n = 0;
  for (bool b : a) n += b;
  return n;
}

class KeyboardLayoutTest : public ::testing::Test {
 protected:
  // The name shown in the box on a keyboard with this layout, for this key.
  std::vector<bool> NameShown(const char* layout, int leftKey) {
    const std::string command = "setxkbmap -display " + desktop.DisplayName() + " " + layout;
    if (std::system(command.c_str()) != 0) {
      ADD_FAILURE() << command;
      return {};
    }
    UserHome home;
    home.WritePreferences(Preferences(leftKey));
    Program program{desktop, home};
    program.KeysFollowAnotherLayout();
    const std::string opened = OpenToTheMenu(program);
    if (!opened.empty()) {
      ADD_FAILURE() << layout << ": " << opened;
      return {};
    }
    // The menu may still be settling (its fade, the drawn cursor): take the
    // name once two grabs in a row agree.
    std::vector<bool> ink = NameInk(program.GrabContent());
    for (int tries = 0; tries < 20; ++tries) {
      std::vector<bool> again = NameInk(program.GrabContent());
      if (again == ink) break;
      ink = std::move(again);
    }
    EXPECT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
    auto status = program.WaitForExit();
    EXPECT_TRUE(status && status->Clean()) << program.Diagnostics();
    return ink;
  }

  Desktop desktop{1280, 1024};
};

TEST_F(KeyboardLayoutTest, KeyNamesFollowTheLayout) {
  const std::vector<bool> usQ = NameShown("us", 12);  // "Q"
  const std::vector<bool> frQ = NameShown("fr", 12);  // the same key: "A" on a French keyboard
  const std::vector<bool> usA = NameShown("us", 0);   // "A"
  ASSERT_FALSE(usQ.empty() || frQ.empty() || usA.empty());
  ASSERT_GT(Count(usQ), 20) << "no name in the key box";
  EXPECT_GT(Differing(usQ, frQ), 20) << "the French keyboard's name is the US one";
  EXPECT_LE(Differing(frQ, usA), 8) << "the French keyboard's name is not \"A\"";
}

}  // namespace
