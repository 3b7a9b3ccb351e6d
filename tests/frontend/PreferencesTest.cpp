#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "frontend/KeyNames.h"
#include "frontend/Preferences.h"
#include "frontend/Scores.h"
#include "game/GameServices.h"
#include "graphics/GameWindow.h"
#include "platform/SafeSave.h"
#include "shell/MainPrefs.h"
#include "support/Fixtures.h"
#include "support/TempFolder.h"

namespace {

const UInt8 kDefaults[10] = {123, 124, 126, 125, 49, 86, 88, 91, 87, 82};

class PreferencesTest : public ::testing::Test {
 protected:
  PreferencesTest() {
    mainPREFS = MainPrefs();
    mainPREFS.SetFileName("Halvane Preferences");
    PREFS.Defaults();
    DefaultKeys();
    windSIZE = Point{480, 640};
  }
  ~PreferencesTest() override {
    mainPREFS = MainPrefs();
    PREFS.Defaults();
    DefaultKeys();
  }
  std::string File() const { return home.Home() + "/.config/Halvane/Halvane Preferences.plist"; }
  void WritePrefs(const std::string& body) {
    home.Folder().Write("home/.config/Halvane/Halvane Preferences.plist", "<dict>\r" + body + "\r</dict>");
  }
  ScopedHome home;
};

TEST_F(PreferencesTest, FirstRunGivesDefaultsAndDefaultKeys) {
  PREFS.effects = 0;
  PREFS.firstPlay = 0;
  for (UInt8& k : playerKEY) k = 0;
  LoadPreferences();
  EXPECT_EQ(PREFS.effects, 1);
  EXPECT_EQ(PREFS.firstPlay, 1);
  EXPECT_EQ(PREFS.sharedScore, 0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(playerKEY[i], kDefaults[i]) << i;
}

TEST_F(PreferencesTest, KeysAreWrittenInOrderBeforeTheShellsOwn) {
  PREFS.lastPlayer[0] = "Ann";
  PREFS.lastPlayer[1] = "Bo";
  PREFS.lastCommand = "go";
  PREFS.firstPlay = 0;
  PREFS.adScreen = -1;
  windSIZE = Point{768, 1024};
  SavePreferences();
  std::string text = ReadWholeFile(File());
  std::vector<std::string> order = {
      "<key>Last Player 1</key>\r\t<string>Ann</string>",
      "<key>Last Player 2</key>\r\t<string>Bo</string>",
      "<key>Last Command</key>\r\t<string>go</string>",
      "<key>First Play</key>\r\t<false/>",
      "<key>Ad Screen</key>\r\t<integer>-1</integer>",
      "<key>Window Size</key>\r\t<dict>\r\t\t<key>H</key>\r\t\t<integer>1024</integer>\r\t\t"
      "<key>V</key>\r\t\t<integer>768</integer>",
      "<key>Custom Keys</key>\r\t<dict>\r\t\t<key>Player 0</key>\r\t\t<dict>\r\t\t\t"
      "<key>Key 0</key>\r\t\t\t<integer>123</integer>",
      "<key>Player 1</key>",
      "<key>Key 4</key>\r\t\t\t<integer>82</integer>",
      "<key>Monitor Mode</key>"};
  size_t at = 0;
  for (const std::string& piece : order) {
    size_t found = text.find(piece, at);
    ASSERT_NE(found, std::string::npos) << piece;
    at = found + piece.size();
  }
}

TEST_F(PreferencesTest, RoundTripIsByteExact) {
  PREFS.lastPlayer[0] = "Ann";
  PREFS.lastPlayer[1] = "Bo";
  PREFS.lastCommand = "cmd";
  PREFS.firstPlay = 0;
  PREFS.adScreen = -1;
  windSIZE = Point{768, 1024};
  const UInt8 keys[10] = {0, 1, 2, 3, 136, 140, 138, 192, 127, 12};
  for (int i = 0; i < 10; ++i) playerKEY[i] = keys[i];
  SavePreferences();
  std::string first = ReadWholeFile(File());

  PREFS.Defaults();
  DefaultKeys();
  windSIZE = Point{480, 640};
  LoadPreferences();
  EXPECT_EQ(PREFS.lastPlayer[0], "Ann");
  EXPECT_EQ(PREFS.lastPlayer[1], "Bo");
  EXPECT_EQ(PREFS.lastCommand, "cmd");
  EXPECT_EQ(PREFS.firstPlay, 0);
  EXPECT_EQ(PREFS.adScreen, -1);
  EXPECT_EQ(windSIZE.h, 1024);
  EXPECT_EQ(windSIZE.v, 768);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(playerKEY[i], keys[i]) << i;
  SavePreferences();
  EXPECT_EQ(ReadWholeFile(File()), first);
}

TEST_F(PreferencesTest, FileWithoutCustomKeysGivesDefaultKeys) {
  WritePrefs("\t<key>First Play</key>\r\t<false/>");
  LoadPreferences();
  EXPECT_EQ(PREFS.firstPlay, 0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(playerKEY[i], kDefaults[i]) << i;
}

TEST_F(PreferencesTest, OnlyTheSecondPlayersKeysReadWhenOnlyTheyAreStored) {
  WritePrefs(
      "\t<key>Custom Keys</key>\r\t<dict>\r\t\t<key>Player 1</key>\r\t\t<dict>\r"
      "\t\t\t<key>Key 0</key>\r\t\t\t<integer>0</integer>\r"
      "\t\t\t<key>Key 4</key>\r\t\t\t<integer>-120</integer>\r\t\t</dict>\r\t</dict>");
  LoadPreferences();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(playerKEY[i], kDefaults[i]) << i;
  EXPECT_EQ(playerKEY[5], 0);
  EXPECT_EQ(playerKEY[6], 88);
  EXPECT_EQ(playerKEY[9], 136);  // a key stored as a signed byte
}

// Escape or Return stored as a game key (as the key editor once took them)
// would pause the game at each use: such a key stays the default one.
TEST_F(PreferencesTest, StoredPauseKeysAreNotTakenAsGameKeys) {
  WritePrefs(
      "\t<key>Custom Keys</key>\r\t<dict>\r\t\t<key>Player 0</key>\r\t\t<dict>\r"
      "\t\t\t<key>Key 2</key>\r\t\t\t<integer>53</integer>\r"
      "\t\t\t<key>Key 3</key>\r\t\t\t<integer>36</integer>\r"
      "\t\t\t<key>Key 4</key>\r\t\t\t<integer>1</integer>\r\t\t</dict>\r\t</dict>");
  LoadPreferences();
  EXPECT_EQ(playerKEY[2], 126);
  EXPECT_EQ(playerKEY[3], 125);
  EXPECT_EQ(playerKEY[4], 1);  // an ordinary key is taken
}

struct SizeCase {
  const char* h;
  const char* v;
  SInt16 width, height;
};

class WindowSizeTest : public PreferencesTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(WindowSizeTest, OnlyTheTwoWindowSizesAreTaken) {
  const SizeCase& c = GetParam();
  windSIZE = Point{0, 0};
  WritePrefs(std::string("\t<key>Window Size</key>\r\t<dict>\r\t\t<key>H</key>\r\t\t<integer>") + c.h +
             "</integer>\r\t\t<key>V</key>\r\t\t<integer>" + c.v + "</integer>\r\t</dict>");
  LoadPreferences();
  EXPECT_EQ(windSIZE.h, c.width);
  EXPECT_EQ(windSIZE.v, c.height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowSizeTest,
                         ::testing::Values(SizeCase{"640", "480", 640, 480}, SizeCase{"1024", "768", 1024, 768},
                                           SizeCase{"1024", "480", 640, 480}, SizeCase{"0", "0", 640, 480},
                                           SizeCase{"-5", "99999", 640, 480}, SizeCase{"30000", "30000", 640, 480}));

TEST_F(PreferencesTest, StoredNamesAreCutToPrintableText) {
  WritePrefs("\t<key>Last Player 1</key>\r\t<string>A\x01very long name that goes well past the limit</string>");
  LoadPreferences();
  EXPECT_EQ(PREFS.lastPlayer[0], "Avery long name that goes well ");
}

TEST_F(PreferencesTest, NameEnteredForAScoreIsSavedAsThatPlayersLastName) {
  mainSCORES.SetFileName("Halvane Scores");
  mainSCORES.Init(15, 2);
  LoadScores();
  Scores_SetCheck(1, 1200, 3);
  ASSERT_EQ(mainSCORES.Check("Score"), 1);
  SetNewScoreName(1, "Zoe");
  SavePreferences();
  EXPECT_NE(ReadWholeFile(File()).find("<key>Last Player 2</key>\r\t<string>Zoe</string>"), std::string::npos);
  mainSCORES.ClearUpdates();
  mainSCORES.document.DeleteChildren();
}

// Names holding text that looks like an entity come back from a save as
// they were, load after load.
TEST_F(PreferencesTest, NamesThatLookLikeEntitiesSurviveSaveAndLoad) {
  home.Folder().Write("home/.config/Halvane/Halvane Preferences.plist", FixtureBytes("prefs-amp-lt.min"));
  LoadPreferences();
  const std::string first = PREFS.lastPlayer[1];
  EXPECT_EQ(first, "&lt;");
  for (const char* name : {"&lt;", "A&gt;B", "&amp;", "R&D", "&&lt;;"}) {
    PREFS.lastPlayer[0] = name;
    for (int round = 0; round < 3; ++round) {
      SavePreferences();
      PREFS.lastPlayer[0].clear();
      PREFS.lastPlayer[1].clear();
      LoadPreferences();
      EXPECT_EQ(PREFS.lastPlayer[0], name) << "round " << round;
      EXPECT_EQ(PREFS.lastPlayer[1], first) << "round " << round;
    }
  }
}

// A save that fails says so, and leaves the old file whole.
TEST_F(PreferencesTest, AFailedSaveIsReportedToTheCaller) {
  PREFS.lastPlayer[0] = "Old";
  ASSERT_EQ(SavePreferences(), 0);
  const std::string before = ReadWholeFile(File());
  PREFS.lastPlayer[0] = "New";
  SetSafeSaveFailure(kSafeSaveRename, EIO);
  EXPECT_EQ(SavePreferences(), -1);
  SetSafeSaveFailure(kSafeSaveNoFailure, 0);
  EXPECT_EQ(ReadWholeFile(File()), before);
}

TEST_F(PreferencesTest, UnreadableFileGivesDefaults) {
  PREFS.firstPlay = 0;
  playerKEY[0] = 5;
  home.Folder().Write("home/.config/Halvane/Halvane Preferences.plist", "<dict>\r\t<key>First");
  LoadPreferences();
  EXPECT_EQ(PREFS.firstPlay, 1);
  EXPECT_EQ(playerKEY[0], 123);
}

}  // namespace
