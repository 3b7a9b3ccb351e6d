// The real program started with damaged, oversized or unusual files in its
// bundle or in the user's folder, and with its display taken away: it keeps
// going (or ends cleanly), and the user's files stay as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>

#include "support/Fixtures.h"
#include "support/Poll.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const char kWindowed[] = "<dict>\t<key>Full Screen</key>\t<false/></dict>";

// The most memory the process has held, in kilobytes; 0 when it is gone.
long PeakKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

class HostileFilesTest : public ::testing::Test {
 protected:
  // Starts the program from the bundle and waits for the title, as a person
  // who skips the logo sees it.
  void StartToTitle(Program& program) {
    program.Start();
    ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
    ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
    ScreenImage shown = program.SkipLogo();
    ASSERT_TRUE(TitleShows(shown)) << "the title did not show\n" << program.Diagnostics();
  }

  // Ctrl+Q until the program has taken one (the first screen drops the
  // keys that came while it opened); it must end cleanly.
  void Quit(Program& program) {
    auto status = QuitWithCtrlQ(program);
    ASSERT_TRUE(status) << "Ctrl+Q did not end the program\n" << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }

  Desktop desktop;
};

// Each file the program reads, put in its place damaged, oversized or as a
// named pipe: the title shows, Ctrl+Q ends the program cleanly, and what
// the user had is still there.
TEST_F(HostileFilesTest, TheProgramPlaysOnPastHostileFiles) {
  struct Case {
    const char* what;
    std::function<void(const std::string& resources, const UserHome& home)> place;
    std::function<void(const UserHome& home, Program& program)> check;
  } cases[] = {
      {"title music that makes the decoder divide by zero",
       [](const std::string& r, const UserHome&) {
         fs::copy_file(FixturePath("vorbis-fpe.ogg"), r + "/Music/Title.ogg", fs::copy_options::overwrite_existing);
       },
       nullptr},
      {"title music whose rewinding copies a negative size",
       [](const std::string& r, const UserHome&) {
         fs::copy_file(FixturePath("vorbis-seek-lap-negative-memcpy.ogg"), r + "/Music/Title.ogg",
                       fs::copy_options::overwrite_existing);
       },
       nullptr},
      {"a blip that claims 500 million frames",
       [](const std::string& r, const UserHome&) {
         fs::copy_file(FixturePath("blip-granule-500M.ogg"), r + "/Audio/Blip.ogg",
                       fs::copy_options::overwrite_existing);
       },
       [](const UserHome&, Program& program) {
         EXPECT_LT(PeakKilobytes(program.Pid()), 1024L * 1024) << "more than 1 GB held";
       }},
      {"named pipes for an effect, the title music and a trigonometry table",
       [](const std::string& r, const UserHome&) {
         for (const char* name : {"/Audio/Blip.ogg", "/Music/Title.ogg", "/COS Table 360"}) {
           fs::remove(r + name);
           ASSERT_EQ(mkfifo((r + name).c_str(), 0600), 0) << name;
         }
       },
       nullptr},
      {"a named pipe in the fonts folder, named like a font and not",
       [](const std::string& r, const UserHome&) {
         for (const char* name : {"/Fonts/Pipe.ttf", "/Fonts/pipe"})
           ASSERT_EQ(mkfifo((r + name).c_str(), 0600), 0) << name;
       },
       nullptr},
      {"a named pipe for the scores file",
       [](const std::string&, const UserHome& home) {
         fs::create_directories(home.ConfigHome() + "/Halvane");
         ASSERT_EQ(mkfifo((home.ConfigHome() + "/Halvane/Halvane Scores.plist").c_str(), 0600), 0);
       },
       [](const UserHome& home, Program& program) {
         struct stat st {};
         ASSERT_EQ(lstat((home.ConfigHome() + "/Halvane/Halvane Scores.plist").c_str(), &st), 0);
         EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the scores file was replaced";
         EXPECT_NE(program.Stderr().find("Failed to load the scores file."), std::string::npos) << program.Stderr();
       }},
      {"a folder for the scores file",
       [](const std::string&, const UserHome& home) {
         fs::create_directories(home.ConfigHome() + "/Halvane/Halvane Scores.plist/kept");
       },
       [](const UserHome& home, Program& program) {
         EXPECT_TRUE(fs::is_directory(home.ConfigHome() + "/Halvane/Halvane Scores.plist/kept"));
         EXPECT_NE(program.Stderr().find("Failed to load the scores file."), std::string::npos) << program.Stderr();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder copy;
    const std::string bundle = copy / "Halvane.app";
    CopyBundle(DefaultBundle(), bundle);
    UserHome home;
    home.WritePreferences(kWindowed);
    c.place(bundle + "/Contents/Resources", home);
    Program program(desktop, home, bundle);
    StartToTitle(program);
    if (c.check && program.Running()) c.check(home, program);
    Quit(program);
    std::string saved = ReadWholeFile(home.PreferencesFile());
    EXPECT_TRUE(std::regex_search(saved, std::regex("<key>Full Screen</key>\\s*<false/>"))) << saved;
  }
}

// A named pipe in place of a music file no longer holds the program past
// SIGTERM: it ends cleanly and saves.
TEST_F(HostileFilesTest, ANamedPipeForTheMusicDoesNotStopSigtermFromEndingTheProgram) {
  TempFolder copy;
  const std::string bundle = copy / "Halvane.app";
  CopyBundle(DefaultBundle(), bundle);
  fs::remove(bundle + "/Contents/Resources/Music/Title.ogg");
  ASSERT_EQ(mkfifo((bundle + "/Contents/Resources/Music/Title.ogg").c_str(), 0600), 0);
  UserHome home;
  home.WritePreferences(kWindowed);
  Program program(desktop, home, bundle);
  StartToTitle(program);
  program.Signal(SIGTERM);
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << "SIGTERM did not end the program\n" << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  EXPECT_TRUE(fs::exists(home.PreferencesFile()));
}

// Preferences that cannot be saved are told, on standard error when a
// signal ends the program, and the program still ends at once.
TEST_F(HostileFilesTest, PreferencesThatCannotBeSavedAreToldAtTheEnd) {
  UserHome home;
  // A folder where the file belongs: it cannot be read, and nothing can
  // take its place.
  fs::create_directories(home.PreferencesFile() + "/kept");
  Program program(desktop, home);
  program.Start();
  ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
  program.WaitForPicture();
  program.Signal(SIGTERM);
  auto status = program.WaitForExit();
  ASSERT_TRUE(status) << "SIGTERM did not end the program\n" << program.Diagnostics();
  EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  EXPECT_NE(program.Stderr().find("Failed to save the preferences file."), std::string::npos) << program.Stderr();
  EXPECT_TRUE(fs::is_directory(home.PreferencesFile() + "/kept"));
}

// The X server goes away under the running program: it saves the
// preferences and ends at once with status 1, without touching the display
// again (which used to spin for ever).
TEST_F(HostileFilesTest, WhenTheDisplayGoesAwayTheProgramSavesAndEndsAtOnce) {
  UserHome home;
  // A file that no save of the program's own would write: only a save adds
  // the sound settings to it.
  home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t<key>First Play</key>\t<false/></dict>");
  Program program(desktop, home);
  StartToTitle(program);
  ASSERT_TRUE(program.Running()) << program.Diagnostics();
  const auto start = std::chrono::steady_clock::now();
  desktop.StopServer();
  const auto stopped = std::chrono::steady_clock::now();
  auto status = program.WaitForExit(Millis{5000});
  const auto ended = std::chrono::steady_clock::now();
  ASSERT_TRUE(status) << "the program is still running\n" << program.Stderr();
  EXPECT_TRUE(status->exited && status->code == 1) << Describe(*status) << "\n" << program.Stderr();
  // The server's own end is part of the wait; the program's share is what
  // follows it: tens of milliseconds on a quiet machine (the save's flush to
  // the disk is most of it); the bound leaves room for a busy one, where the
  // old way out never ended at all.
  const auto ms = [](auto d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
  EXPECT_LT(ms(ended - stopped), 3000) << "server stopped in " << ms(stopped - start) << " ms";
  RecordProperty("ExitAfterServerStopMs", std::to_string(ms(ended - stopped)));
  std::printf("ended %lld ms after the server (which took %lld ms to stop)\n", (long long)ms(ended - stopped),
              (long long)ms(stopped - start));
  EXPECT_NE(ReadWholeFile(home.PreferencesFile()).find("<key>Audio Prefs</key>"), std::string::npos)
      << "the preferences were not saved\n"
      << program.Stderr();
  EXPECT_NE(program.Stderr().find("the display went away"), std::string::npos) << program.Stderr();
}

}  // namespace
