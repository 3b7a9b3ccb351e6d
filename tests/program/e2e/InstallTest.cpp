// The program installed as a Linux application: `cmake --install` into a
// staging folder lays out the bundle, the launcher, the desktop entry and the
// icon theme's icons, and the installed launcher starts the game, whose
// window carries the application's icon.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/e2e/Desktop.h"
#include "support/e2e/Program.h"

// Last: X11's macros (None, Success, ...) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

// The width and height a PNG file's header gives; 0 by 0 for anything else.
std::pair<int, int> PngSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[24] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  if (!in || std::string(reinterpret_cast<char*>(header) + 1, 3) != "PNG") return {0, 0};
  auto word = [&](int at) { return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]; };
  return {word(16), word(20)};
}

// The window's icon as the window manager reads it: width, height, then
// one ARGB value a pixel.
std::vector<unsigned long> WindowIcon(Desktop& desktop, XWindow window) {
  Display* x = desktop.X();
  Atom icon = XInternAtom(x, "_NET_WM_ICON", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> values;
  if (XGetWindowProperty(x, window, icon, 0, 1 << 20, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
          Success &&
      data && format == 32) {
    const unsigned long* longs = reinterpret_cast<const unsigned long*>(data);
    values.assign(longs, longs + count);
  }
  if (data) XFree(data);
  return values;
}

TEST(Install, TheInstalledLauncherStartsTheGameWithItsIcon) {
  const std::string build = fs::path(DefaultBundle()).parent_path();
  TempFolder staging;
  const std::string command = "DESTDIR='" + staging.Path() + "' cmake --install '" + build + "' --prefix /usr >'" +
                              staging.Path() + "/install.log' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(staging / "install.log");
  const std::string usr = staging / "usr";

  // The launcher leads to the bundle's program; the bundle is whole.
  const std::string launcher = usr + "/bin/halvane";
  ASSERT_TRUE(fs::is_symlink(launcher));
  EXPECT_EQ(fs::canonical(launcher), fs::canonical(usr + "/share/halvane/Halvane.app/Contents/bin/halvane"));
  EXPECT_TRUE(fs::is_regular_file(usr + "/share/halvane/Halvane.app/Contents/Info.plist"));
  EXPECT_TRUE(fs::is_regular_file(usr + "/share/halvane/Halvane.app/Contents/Resources/Fonts/VAG Rounded BT.ttf"));

  const std::string entry = ReadWholeFile(usr + "/share/applications/halvane.desktop");
  for (const char* line : {"[Desktop Entry]", "Type=Application", "Name=Halvane", "Exec=halvane", "Icon=halvane",
                           "Categories=Game;ArcadeGame;"})
    EXPECT_NE(entry.find(std::string(line) + "\n"), std::string::npos) << line << " in\n" << entry;
  // The desktop's own checker takes the entry as it is installed: no error,
  // no warning (an unknown Version is an error to it).
  const std::string validate = "desktop-file-validate '" + usr + "/share/applications/halvane.desktop' >'" +
                               staging.Path() + "/validate.log' 2>&1";
  EXPECT_EQ(std::system(validate.c_str()), 0) << ReadWholeFile(staging / "validate.log");
  EXPECT_EQ(ReadWholeFile(staging / "validate.log"), "") << "desktop-file-validate has remarks";
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string icon =
        usr + "/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/halvane.png";
    EXPECT_EQ(PngSize(icon), std::make_pair(size, size)) << icon;
  }

  Desktop desktop;
  UserHome home;
  home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/></dict>");
  Program program(desktop, home, usr + "/share/halvane/Halvane.app");
  program.SetExecutable(launcher);
  program.Start();
  ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
  program.WaitForPicture();
  // The installed bundle's pictures reach the screen.
  EXPECT_TRUE(TitleShows(program.SkipLogo())) << program.Diagnostics();

  const std::vector<unsigned long> icon = WindowIcon(desktop, program.Window());
  ASSERT_GE(icon.size(), 2u) << "the window has no icon";
  EXPECT_EQ(icon[0], 128u);
  EXPECT_EQ(icon[1], 128u);
  ASSERT_EQ(icon.size(), 2 + 128u * 128u);
  // The ship's hull is opaque and light, a corner outside the tile clear.
  const unsigned long middle = icon[2 + 80 * 128 + 64] & 0xFFFFFFFFu, corner = icon[2] & 0xFFFFFFFFu;
  EXPECT_EQ(middle >> 24, 0xFFu);
  EXPECT_GT((middle >> 8) & 0xFF, 0x80u) << std::hex << middle;
  EXPECT_EQ(corner >> 24, 0u) << std::hex << corner;

  ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
}

}  // namespace
