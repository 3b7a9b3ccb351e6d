// The program finds its bundle from its own file. These tests copy the test
// program into a bundle laid out as the build and the installed tree are,
// start it there (directly and through a link, as build/halvane is) and
// read back what it found: its bundle, its Resources and the version in its
// Info.plist.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/Paths.h"
#include "foundation/Version.h"
#include "platform/PlatformFiles.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

const char* kProbeVariable = "HALVANE_BUNDLE_PROBE";

// Runs `program` with only this test selected and the probe variable set;
// answers what the probe wrote.
std::string RunProbe(const std::string& program, const std::string& output) {
  pid_t child = fork();
  if (child == 0) {
    setenv(kProbeVariable, output.c_str(), 1);
    execl(program.c_str(), program.c_str(), "--gtest_filter=Bundle.ProgramInsideABundleFindsIt", nullptr);
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << program;
  return ReadWholeFile(output);
}

TEST(Bundle, ProgramInsideABundleFindsIt) {
  if (const char* output = getenv(kProbeVariable)) {
    NumVersion version;
    Str255 text;
    GetApplicationVersion(&version, text, 1);
    std::ofstream(output) << GetBundlePath() << "\n"
                          << GetResourcesPath() << "\n"
                          << std::string(reinterpret_cast<char*>(text + 1), text[0]) << "\n";
    return;
  }
  TempFolder folder;
  std::string bundle = fs::canonical(folder.Path()).string() + "/Game.app";
  folder.MakeFolder("Game.app/Contents/Resources");
  folder.MakeFolder("Game.app/Contents/bin");
  folder.Write("Game.app/Contents/Info.plist", "<dict><key>CFBundleVersion</key><string>2.1b4</string></dict>");
  fs::copy_file(PlatformExecutablePath(), bundle + "/Contents/bin/game");
  fs::create_symlink("Game.app/Contents/bin/game", folder / "game");

  std::string expected = bundle + "\n" + bundle + "/Contents/Resources\n2.1 - Beta 4\n";
  EXPECT_EQ(RunProbe(bundle + "/Contents/bin/game", folder / "direct"), expected);
  EXPECT_EQ(RunProbe(folder / "game", folder / "linked"), expected);
}

TEST(Bundle, TheBuildTreeHoldsTheBundleLayout) {
  const char* built = getenv("HALVANE_BUNDLE");
  if (!built) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  EXPECT_TRUE(fs::is_regular_file(std::string(built) + "/Contents/Info.plist"));
  EXPECT_TRUE(fs::is_directory(std::string(built) + "/Contents/Resources"));
}

}  // namespace
