// The program's scripted demo under the test display: it plays, draws the
// game with the generated art and writes the last frame.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "graphics/PNGFile.h"
#include "support/TempFolder.h"

namespace {

int RunProgram(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DemoScreenshot, WritesAPictureOfTheGame) {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  ASSERT_NE(bundle, nullptr);
  if (!std::getenv("DISPLAY") && !std::getenv("CI")) GTEST_SKIP() << "No display";
  ScopedHome home;
  std::string shot = home.Folder() / "shot.png";
  std::string program = std::string(bundle) + "/Contents/bin/halvane";
  ASSERT_EQ(RunProgram("'" + program + "' --demo 400 --seed 7 --screenshot '" + shot + "'"), 0);
  SInt32 w = 0, h = 0;
  UInt8* pixels = LoadPNG(shot.c_str(), &w, &h, 0, nullptr, 0);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  std::set<UInt32> colours;
  for (SInt32 i = 0; i < w * h; i += 97)
    colours.insert(UInt32(pixels[4 * i]) << 16 | UInt32(pixels[4 * i + 1]) << 8 | pixels[4 * i + 2]);
  delete[] pixels;
  EXPECT_GT(colours.size(), 50u);
  // The demo leaves the user's preferences alone.
  EXPECT_FALSE(std::ifstream(home.Home() + "/.config/Halvane/Halvane Preferences.plist").good());
}

// A demo option without its value, or a demo of no steps, is refused; what
// the program does not know (a file a desktop launcher passes, an option of
// another program) is ignored.
TEST(DemoScreenshot, BadDemoOptionsAreRefusedOthersIgnored) {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  ASSERT_NE(bundle, nullptr);
  std::string program = std::string(bundle) + "/Contents/bin/halvane";
  EXPECT_EQ(RunProgram("'" + program + "' --demo 2>/dev/null"), 2);
  EXPECT_EQ(RunProgram("'" + program + "' --demo 0 2>/dev/null"), 2);
  EXPECT_EQ(RunProgram("'" + program + "' --demo 5 --seed 2>/dev/null"), 2);
  if (!std::getenv("DISPLAY") && !std::getenv("CI")) GTEST_SKIP() << "No display";
  ScopedHome home;
  EXPECT_EQ(RunProgram("'" + program + "' --bogus '" + std::string(home.Folder() / "a file.txt") +
                       "' --demo 5 -x 2>/dev/null"),
            0);
}

}  // namespace
