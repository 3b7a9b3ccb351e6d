// A quit signal that comes while a start-up alert waits for a person: the
// alert goes, the program ends within a second with status 0, and what the
// alert said, and any save that failed, are on standard error.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/Program.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const char kScoresFailed[] = "Failed to load the scores file.";
const char kPreferencesFailed[] = "Failed to save the preferences file.";

TEST(StartupSignalTest, AQuitSignalDismissesTheStartupAlertAndEndsTheProgram) {
  struct Case {
    int signal;
    const char* name;
    bool preferencesUnsaveable;  // a folder where the preferences belong
  } cases[] = {
      {SIGTERM, "SIGTERM", false},
      {SIGINT, "SIGINT", true},
      {SIGHUP, "SIGHUP", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Desktop desktop;
    UserHome home;
    // A folder where the scores file belongs: the scores cannot be read, and
    // an alert says so before the game window opens.
    fs::create_directories(home.ConfigHome() + "/Halvane/Halvane Scores.plist/kept");
    if (c.preferencesUnsaveable)
      fs::create_directories(home.PreferencesFile() + "/kept");
    else
      home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/></dict>");
    Program program(desktop, home);
    // Dialogs shown for real, as a user sees them.
    program.SetEnv("HALVANE_DIALOGS", "shown");
    program.Start();
    ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
    ScreenImage alert = program.WaitForPicture();
    ASSERT_FALSE(alert.Empty() || alert.OneColour()) << "the alert was not drawn\n" << program.Diagnostics();
    const std::string title = desktop.Title(program.Window());
    // The alert is up and waits: nothing of it went to standard error.
    ASSERT_EQ(program.Stderr().find(kScoresFailed), std::string::npos) << program.Stderr();
    ASSERT_TRUE(program.Running()) << program.Diagnostics();

    const auto sent = std::chrono::steady_clock::now();
    program.Signal(c.signal);
    auto status = program.WaitForExit(Millis{1000});
    const auto ended = std::chrono::steady_clock::now();
    ASSERT_TRUE(status) << c.name << " left the alert \"" << title << "\" up\n" << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
    std::printf("%s: ended %lld ms after the signal\n", c.name,
                (long long)std::chrono::duration_cast<std::chrono::milliseconds>(ended - sent).count());
    EXPECT_NE(program.Stderr().find(kScoresFailed), std::string::npos) << program.Stderr();
    EXPECT_TRUE(fs::is_directory(home.ConfigHome() + "/Halvane/Halvane Scores.plist/kept"));
    if (c.preferencesUnsaveable) {
      EXPECT_NE(program.Stderr().find(kPreferencesFailed), std::string::npos) << program.Stderr();
      EXPECT_TRUE(fs::is_directory(home.PreferencesFile() + "/kept"));
    } else {
      EXPECT_TRUE(fs::exists(home.PreferencesFile()));
    }
  }
}

}  // namespace
