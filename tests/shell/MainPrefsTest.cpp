#include <sys/stat.h>

#include "ShellFixture.h"
#include "foundation/PlistTag.h"
#include "platform/SafeSave.h"
#include "shell/MainPrefs.h"
#include "support/TempFolder.h"

namespace {

// A root frees its nodes only when emptied.
struct Dict : PlistTag {
  ~Dict() { DeleteChildren(); }
};

class MainPrefsTest : public ShellTest {
 protected:
  MainPrefsTest() {
    mainPREFS = MainPrefs();
    mainPREFS.SetFileName("Halvane Preferences");
    audioLoads = audioSaves = 0;
    loadAudioPrefsProc = [](PlistTag* dict) {
      ++audioLoads;
      EXPECT_NE(dict, nullptr);
    };
    saveAudioPrefsProc = [](PlistTag* dict) {
      ++audioSaves;
      dict->FindDictionary("Audio Prefs", 1)->SetLong("Volume", 7);
    };
  }
  ~MainPrefsTest() override {
    loadAudioPrefsProc = saveAudioPrefsProc = nullptr;
    SetSafeSaveFailure(kSafeSaveNoFailure, 0);
    mainPREFS = MainPrefs();
  }

  std::string PrefsFile() const { return home.Home() + "/.config/Halvane/Halvane Preferences.plist"; }
  void WritePrefs(const std::string& text) {
    home.Folder().Write("home/.config/Halvane/Halvane Preferences.plist", text);
  }

  static inline int audioLoads, audioSaves;
  ScopedHome home;
};

TEST_F(MainPrefsTest, FirstRunTakesTheDefaultsWithFullScreen) {
  Dict dict;
  EXPECT_EQ(mainPREFS.Load(&dict), -3);
  EXPECT_TRUE(mainPREFS.fullScreen);
  EXPECT_TRUE(mainPREFS.graphicsMode);
  EXPECT_EQ(mainPREFS.monitorMode, 1);
  EXPECT_EQ(audioLoads, 0);
}

TEST_F(MainPrefsTest, SaveThenLoadRoundTripsByteForByte) {
  Dict game;
  game.SetString("Last Player 1", "ACE");
  game.SetBoolean("First Play", 0);
  mainPREFS.fullScreen = false;
  mainPREFS.graphicsMode = true;
  mainPREFS.monitorMode = 2;
  ASSERT_EQ(mainPREFS.Save(&game), 0);
  EXPECT_EQ(audioSaves, 1);
  std::string first = ReadWholeFile(PrefsFile());
  EXPECT_NE(first.find("<key>Full Screen</key>"), std::string::npos);
  EXPECT_LT(first.find("Last Player 1"), first.find("Monitor Mode"));  // the game's keys first
  EXPECT_LT(first.find("Graphics Mode"), first.find("Audio Prefs"));

  mainPREFS = MainPrefs();
  mainPREFS.SetFileName("Halvane Preferences");
  Dict loaded;
  ASSERT_EQ(mainPREFS.Load(&loaded), 0);
  EXPECT_FALSE(mainPREFS.fullScreen);
  EXPECT_TRUE(mainPREFS.graphicsMode);
  EXPECT_EQ(mainPREFS.monitorMode, 2);
  EXPECT_EQ(audioLoads, 1);
  std::string name;
  EXPECT_NE(loaded.GetString("Last Player 1", &name, 0), nullptr);
  EXPECT_EQ(name, "ACE");
  ASSERT_EQ(mainPREFS.Save(&loaded), 0);
  EXPECT_EQ(ReadWholeFile(PrefsFile()), first);
}

TEST_F(MainPrefsTest, DamagedFilesFallBackToTheDefaults) {
  const std::string valid =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r<plist version=\"1.0\">\r<dict>\r"
      "\t<key>Full Screen</key>\r\t<false/>\r\t<key>Monitor Mode</key>\r\t<integer>0</integer>\r</dict>\r</plist>";
  struct Case {
    const char* what;
    std::string text;
    int result;
    bool fullScreen, graphicsMode;
    char monitorMode;
  } cases[] = {
      {"empty", "", -4, true, true, 1},
      {"garbled", "not a property list at all", -4, true, true, 1},
      {"truncated", valid.substr(0, valid.size() / 2), -4, true, true, 1},
      // A key that is missing or of another type takes its default, not
      // what the field held before the load (false).
      {"whole", valid, 0, false, true, 0},
      {"monitor mode out of range", "<dict><key>Monitor Mode</key><integer>9</integer></dict>", 0, true, true, 1},
      {"negative monitor mode", "<dict><key>Monitor Mode</key><integer>-1</integer></dict>", 0, true, true, 1},
      {"full screen as a string", "<dict><key>Full Screen</key><string>false</string></dict>", 0, true, true, 1},
      {"graphics mode as an integer",
       "<dict><key>Graphics Mode</key><integer>0</integer><key>Full Screen</key><false/></dict>", 0, false, true, 1},
      {"both stored false", "<dict><key>Graphics Mode</key><false/><key>Full Screen</key><false/></dict>", 0, false,
       false, 1},
  };
  for (const Case& c : cases) {
    WritePrefs(c.text);
    mainPREFS.fullScreen = mainPREFS.graphicsMode = false;
    mainPREFS.monitorMode = 0;
    Dict dict;
    EXPECT_EQ(mainPREFS.Load(&dict), c.result) << c.what;
    EXPECT_EQ(mainPREFS.fullScreen, c.fullScreen) << c.what;
    EXPECT_EQ(mainPREFS.graphicsMode, c.graphicsMode) << c.what;
    EXPECT_EQ(mainPREFS.monitorMode, c.monitorMode) << c.what;
  }
}

// Files that load must save and load again at every later start; files that
// do not load leave the defaults and are replaced by the next save.
TEST_F(MainPrefsTest, HostileFilesNeverCostTheSettingsOfALaterStart) {
  struct Case {
    const char* what;
    std::string text;
    int firstLoad;
  } cases[] = {
      {"boolean holding no word",
       "<dict><key>Monitor Mode</key><integer>2</integer><key>Flag</key><boolean></boolean></dict>", 0},
      {"NUL inside an array's word", std::string("<dict><key>A</key><array><array\0></array></dict>", 48), -4},
      {"NUL inside a key's word", std::string("<dict><key>M<key\0></dict>", 25), -4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WritePrefs(c.text);
    {
      Dict dict;
      EXPECT_EQ(mainPREFS.Load(&dict), c.firstLoad);
      mainPREFS.monitorMode = 2;
      ASSERT_EQ(mainPREFS.Save(&dict), 0);
    }
    for (int start = 0; start < 2; start++) {
      Dict dict;
      mainPREFS.monitorMode = 0;
      EXPECT_EQ(mainPREFS.Load(&dict), 0) << "start " << start;
      EXPECT_EQ(mainPREFS.monitorMode, 2);
      ASSERT_EQ(mainPREFS.Save(&dict), 0);
    }
  }
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(MainPrefsTest, ANamedPipeInPlaceOfTheFileIsUnreadableNotAWait) {
  home.Folder().Write("home/.config/Halvane/placeholder", "");
  ASSERT_EQ(mkfifo(PrefsFile().c_str(), 0600), 0);
  Dict dict;
  EXPECT_EQ(mainPREFS.Load(&dict), -3);
  EXPECT_TRUE(mainPREFS.fullScreen);
  EXPECT_EQ(mainPREFS.monitorMode, 1);
  // The save puts a file in its place.
  ASSERT_EQ(mainPREFS.Save(&dict), 0);
  Dict again;
  EXPECT_EQ(mainPREFS.Load(&again), 0);
}

TEST_F(MainPrefsTest, AFailedSaveLeavesTheOldFileWhole) {
  Dict dict;
  ASSERT_EQ(mainPREFS.Save(&dict), 0);
  std::string old = ReadWholeFile(PrefsFile());
  for (SafeSaveStep step : {kSafeSaveCreate, kSafeSaveWrite, kSafeSaveRename}) {
    SetSafeSaveFailure(step, 28);  // no space left
    mainPREFS.fullScreen = !mainPREFS.fullScreen;
    EXPECT_EQ(mainPREFS.Save(&dict), -3) << step;
    EXPECT_EQ(ReadWholeFile(PrefsFile()), old) << step;
  }
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(MainPrefsTest, MissingNameOrDictionaryIsFatal) {
  struct Case {
    const char* fileName;
    bool withDict;
    bool save;
    int result;
    const char* message;
  } cases[] = {
      {"", true, false, -1, "Must call MainPrefs::SetFileName() before MainPrefs:Load()"},
      {"", true, true, -1, "Must call MainPrefs::SetFileName() before MainPrefs:Load()"},
      {"P", false, false, -2, "MainPrefs:Load() requires a valid PLIST dictionary to return custom prefs."},
      {"P", false, true, -2, "MainPrefs:Load() requires a valid PLIST dictionary to return custom prefs."},
  };
  for (const Case& c : cases) {
    dialogs.Clear();
    mainPREFS.SetFileName(c.fileName);
    Dict dict;
    PlistTag* d = c.withDict ? &dict : nullptr;
    EXPECT_THROW(c.save ? mainPREFS.Save(d) : mainPREFS.Load(d), FatalReport);
    ASSERT_EQ(dialogs.Reports().size(), 1u);
    EXPECT_EQ(dialogs.Reports()[0].message, c.message);
    EXPECT_TRUE(dialogs.Reports()[0].fatal);
  }
}

TEST_F(MainPrefsTest, OnlinePanelAddsItsEmptyDictionary) {
  APPL.onlinePanel = 1;
  Dict dict;
  ASSERT_EQ(mainPREFS.Save(&dict), 0);
  EXPECT_NE(dict.FindDictionary("Online Prefs", 0), nullptr);
}

}  // namespace
