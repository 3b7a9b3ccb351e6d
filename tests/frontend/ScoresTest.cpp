#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "frontend/Preferences.h"
#include "frontend/Scores.h"
#include "platform/SafeSave.h"
#include "support/Fixtures.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

class ScoresTest : public ::testing::Test {
 protected:
  ScoresTest() {
    mainSCORES.SetFileName("Halvane Scores");
    mainSCORES.Init(15, 2);
    mainSCORES.document.DeleteChildren();
    PREFS.Defaults();
  }
  ~ScoresTest() override {
    SetSafeSaveFailure(kSafeSaveNoFailure, 0);
    mainSCORES.document.DeleteChildren();
    mainSCORES.ClearUpdates();
  }
  std::string File() const { return home.Home() + "/.config/Halvane/Halvane Scores.plist"; }
  // The path below the home's temporary folder.
  static std::string Relative(const std::string&) { return "home/.config/Halvane/Halvane Scores.plist"; }
  PlistTag* Row(int r) { return mainSCORES.document.FindArray("Scores", 0)->GetChild(UInt16(r)); }
  SInt32 ScoreAt(int r) {
    SInt32 v = -1;
    Row(r)->GetLong("Score", &v, 0);
    return v;
  }
  std::string NameAt(int r) {
    std::string s;
    Row(r)->GetString("Name", &s, 0);
    return s;
  }
  // A table whose rows hold the given scores (then zeros), in memory.
  void Table(std::vector<SInt32> scores) {
    mainSCORES.document.DeleteChildren();
    PlistTag* a = mainSCORES.document.NewArray("Scores");
    for (int r = 0; r < 15; ++r) {
      PlistTag* row = a->NewElement();
      row->NewString("Name", ("r" + std::to_string(r)).c_str());
      row->NewLong("Score", r < int(scores.size()) ? scores[r] : 0);
      row->NewChar("Level", char(r));
    }
  }
  void Result(int player, SInt32 score, char level) {
    mainSCORES.checkEntry[UInt32(player)].NewLong("Score", score);
    mainSCORES.checkEntry[UInt32(player)].NewChar("Level", level);
  }
  SInt16 Position(int player) { return mainSCORES.checkEntry[UInt32(player)].position; }
  ScopedHome home;
};

std::string ClearedFileText() {
  std::string row =
      "\t\t<dict>\r\t\t\t<key>Name</key>\r\t\t\t<string>-</string>\r\t\t\t<key>Score</key>\r\t\t\t<integer>0</integer>"
      "\r\t\t\t<key>Level</key>\r\t\t\t<integer>0</integer>\r\t\t</dict>\r";
  std::string text = "<dict>\r\t<key>Scores</key>\r\t<array>\r";
  for (int i = 0; i < 15; ++i) text += row;
  return text + "\t</array>\r</dict>";
}

TEST_F(ScoresTest, FirstLoadWritesAndReadsAClearedTable) {
  LoadScores();
  EXPECT_EQ(ReadWholeFile(File()), ClearedFileText());
  EXPECT_EQ(mainSCORES.document.FindArray("Scores", 0)->NumChildren(), 15);
  EXPECT_EQ(NameAt(14), "-");
}

struct InsertCase {
  const char* what;
  std::vector<SInt32> table;
  SInt32 p1, p2;  // results; -1 for no second player
  SInt16 found, pos1, pos2;
  std::vector<SInt32> after;  // first rows of the table afterwards
};

class ScoreInsertTest : public ScoresTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(ScoreInsertTest, ResultsTakeTheirRows) {
  const InsertCase& c = GetParam();
  Table(c.table);
  Result(0, c.p1, 3);
  if (c.p2 >= 0) Result(1, c.p2, 4);
  EXPECT_EQ(mainSCORES.Check("Score"), c.found) << c.what;
  EXPECT_EQ(Position(0), c.pos1) << c.what;
  EXPECT_EQ(Position(1), c.pos2) << c.what;
  for (size_t r = 0; r < c.after.size(); ++r) EXPECT_EQ(ScoreAt(int(r)), c.after[r]) << c.what << " row " << r;
  EXPECT_EQ(mainSCORES.document.FindArray("Scores", 0)->NumChildren(), 15);
}

const std::vector<SInt32> kFull = {150, 140, 130, 120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10};

INSTANTIATE_TEST_SUITE_P(
    Table, ScoreInsertTest,
    ::testing::Values(
        InsertCase{"zero on cleared table", {}, 0, -1, 0, -1, -1, {0}},
        InsertCase{"one on cleared table", {}, 1, -1, 1, 0, -1, {1, 0}},
        InsertCase{"tie goes below", {50, 40, 30, 20, 10}, 20, -1, 1, 4, -1, {50, 40, 30, 20, 20, 10}},
        InsertCase{"two players, second beats first's new row", {50, 40, 30}, 35, 37, 1, 3, 2, {50, 40, 37, 35, 30}},
        InsertCase{"two players, second below first", {50, 40, 30}, 45, 35, 1, 1, 3, {50, 45, 40, 35, 30}},
        InsertCase{"beats nobody on full table", kFull, 5, -1, 0, -1, -1, {150}},
        InsertCase{"last row", kFull, 15, -1, 1, 14, -1, {150, 140}},
        InsertCase{"pushed off the last row", kFull, 15, 16, 1, -1, 14, {150, 140}},
        InsertCase{"best score shifts everything", kFull, 999, -1, 1, 0, -1, {999, 150, 140}}));

TEST_F(ScoresTest, InsertedRowCopiesTheResultAndLastRowDropsOut) {
  Table(kFull);
  Result(0, 125, 7);
  ASSERT_EQ(mainSCORES.Check("Score"), 1);
  SInt32 level = -1;
  Row(3)->GetLong("Level", &level, 0);
  EXPECT_EQ(level, 7);
  EXPECT_EQ(NameAt(4), "r3");
  EXPECT_EQ(NameAt(14), "r13");
  EXPECT_EQ(ScoreAt(14), 20);
}

TEST_F(ScoresTest, EntryNameGoesOnlyToTheEntrysRow) {
  Table(kFull);
  Result(0, 125, 1);
  mainSCORES.Check("Score");
  mainSCORES.SetEntryName(2, "Nope");
  mainSCORES.SetEntryName(-1, "Nope");
  mainSCORES.SetEntryName(1, "Nope");  // no row for player 2
  for (int r = 0; r < 15; ++r) EXPECT_NE(NameAt(r), "Nope") << r;
  mainSCORES.SetEntryName(0, "Zed");
  EXPECT_EQ(NameAt(3), "Zed");
}

TEST_F(ScoresTest, NewNameIsSavedRememberedAndMadeSafe) {
  LoadScores();
  Result(1, 500, 2);
  ASSERT_EQ(mainSCORES.Check("Score"), 1);
  SetNewScoreName(1, "<b>\tNameThatIsFarTooLongForTheTable</b>");
  std::string expected = "bNameThatIsFarTooLongForTheTabl";
  EXPECT_EQ(NameAt(0), expected);
  EXPECT_EQ(PREFS.lastPlayer[1], expected);
  EXPECT_NE(ReadWholeFile(File()).find("<string>" + expected + "</string>"), std::string::npos);
}

TEST_F(ScoresTest, ClearingWritesClearedFileAndForgetsEntries) {
  Table(kFull);
  SaveScores();
  Result(0, 999, 1);
  mainSCORES.Check("Score");
  ClearScores();
  EXPECT_EQ(ReadWholeFile(File()), ClearedFileText());
  EXPECT_EQ(Position(0), -1);
  EXPECT_EQ(ScoreAt(0), 999);  // memory keeps its table until read again
  LoadScores();
  EXPECT_EQ(ScoreAt(0), 0);
}

struct BadFile {
  const char* what;
  std::string text;
};

class BadScoreFileTest : public ScoresTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadScoreFileTest, GivesFifteenRowsThatTakeScores) {
  home.Folder().Write("home/.config/Halvane/Halvane Scores.plist", GetParam().text);
  LoadScores();
  ASSERT_EQ(mainSCORES.document.FindArray("Scores", 0)->NumChildren(), 15) << GetParam().what;
  Result(0, 1, 1);
  EXPECT_EQ(mainSCORES.Check("Score"), 1);
  mainSCORES.SetEntryName(0, "Ok");
  EXPECT_EQ(NameAt(Position(0)), "Ok");
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadScoreFileTest,
    ::testing::Values(BadFile{"empty", ""}, BadFile{"garbage", "\x01\x02not a plist at all"},
                      BadFile{"truncated", "<dict>\r\t<key>Scores</key>\r\t<array>\r\t\t<dict>"},
                      BadFile{"no Scores array", "<dict>\r\t<key>Other</key>\r\t<integer>3</integer>\r</dict>"},
                      BadFile{"short table",
                              "<dict>\r\t<key>Scores</key>\r\t<array>\r\t\t<dict>\r\t\t\t<key>Score</key>\r\t\t\t"
                              "<integer>100</integer>\r\t\t</dict>\r\t</array>\r</dict>"},
                      BadFile{"rows that are no dictionaries",
                              "<dict>\r\t<key>Scores</key>\r\t<array>\r\t\t<string>x</string>\r\t\t<integer>5"
                              "</integer>\r\t</array>\r</dict>"}));

TEST_F(ScoresTest, FailedSaveLeavesTheOldFileWhole) {
  Table(kFull);
  SaveScores();
  std::string before = ReadWholeFile(File());
  Table({1});
  SetSafeSaveFailure(kSafeSaveWrite, ENOSPC);
  EXPECT_EQ(SaveScores(), -1);
  EXPECT_EQ(ClearScores(), -1) << "a clear that was not written says so";
  SetSafeSaveFailure(kSafeSaveNoFailure, 0);
  EXPECT_EQ(ReadWholeFile(File()), before);
  EXPECT_EQ(ClearScores(), 0);
}

TEST_F(ScoresTest, UnwritableFolderStillGivesATable) {
  std::string folder = home.Home() + "/.config/Halvane";
  home.Folder().MakeFolder("home/.config/Halvane");
  chmod(folder.c_str(), 0500);
  LoadScores();
  chmod(folder.c_str(), 0700);
  EXPECT_EQ(mainSCORES.document.FindArray("Scores", 0)->NumChildren(), 15);
}

// Only a missing file is replaced by a cleared table. A file that is there
// but cannot be read is left as it is, the game plays on with a table in
// memory, and the player is told.
TEST_F(ScoresTest, AFileThatCannotBeReadIsLeftAloneAndTold) {
  const std::string kept = "<dict>\r\t<key>Scores</key>\r\t<array>\r\t</array>\r</dict>kept";
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;
  } cases[] = {
      {"no permission to read",
       [&](const std::string& f) { home.Folder().Write(Relative(f), kept), chmod(f.c_str(), 0200); }},
      {"a named pipe", [](const std::string& f) { mkfifo(f.c_str(), 0600); }},
      {"a folder", [](const std::string& f) { mkdir(f.c_str(), 0700); }},
      {"a link to itself", [](const std::string& f) { symlink(f.c_str(), f.c_str()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    home.Folder().MakeFolder("home/.config/Halvane");
    c.make(File());
    struct stat before {};
    ASSERT_EQ(lstat(File().c_str(), &before), 0);
    if (S_ISREG(before.st_mode) && access(File().c_str(), R_OK) == 0) {
      std::filesystem::remove_all(File());
      continue;  // the superuser reads any file
    }
    RecordingDialogs dialogs;
    LoadScores();
    ASSERT_EQ(dialogs.Reports().size(), 1u);
    EXPECT_EQ(dialogs.Reports()[0].message, "Failed to load the scores file.");
    EXPECT_FALSE(dialogs.Reports()[0].fatal);
    ASSERT_EQ(mainSCORES.document.FindArray("Scores", 0)->NumChildren(), 15);
    // A new score is placed in memory; saving it would replace scores
    // nobody has seen, so the file stays as it is.
    Result(0, 10, 1);
    EXPECT_EQ(mainSCORES.Check("Score"), 1);
    SetNewScoreName(0, "Ann");
    EXPECT_EQ(NameAt(0), "Ann");
    struct stat after {};
    ASSERT_EQ(lstat(File().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    if (S_ISREG(before.st_mode)) {
      chmod(File().c_str(), 0600);
      EXPECT_EQ(ReadWholeFile(File()), kept);
    }
    std::filesystem::remove_all(File());
    mainSCORES.document.DeleteChildren();
    mainSCORES.ClearUpdates();
  }
}

// A save that fails keeps the new row in memory, tells the player once, and
// the next save writes it.
TEST_F(ScoresTest, AFailedSaveKeepsTheTableAndIsToldOnce) {
  LoadScores();
  RecordingDialogs dialogs;
  SetSafeSaveFailure(kSafeSaveWrite, ENOSPC);
  Result(0, 500, 2);
  ASSERT_EQ(mainSCORES.Check("Score"), 1);
  SetNewScoreName(0, "Ann");
  EXPECT_EQ(NameAt(0), "Ann");
  EXPECT_EQ(ScoreAt(0), 500);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "Failed to save the scores file.");
  EXPECT_FALSE(dialogs.Reports()[0].fatal);
  mainSCORES.ClearUpdates();
  Result(1, 400, 2);
  ASSERT_EQ(mainSCORES.Check("Score"), 1);
  SetNewScoreName(1, "Bob");
  EXPECT_EQ(NameAt(1), "Bob");
  EXPECT_EQ(dialogs.Reports().size(), 1u) << "told once";
  EXPECT_EQ(ReadWholeFile(File()).find("Ann"), std::string::npos);
  SetSafeSaveFailure(kSafeSaveNoFailure, 0);
  mainSCORES.ClearUpdates();
  Result(0, 300, 2);
  ASSERT_EQ(mainSCORES.Check("Score"), 1);
  SetNewScoreName(0, "Cy");
  std::string saved = ReadWholeFile(File());
  EXPECT_NE(saved.find("<string>Ann</string>"), std::string::npos);
  EXPECT_NE(saved.find("<string>Bob</string>"), std::string::npos);
  EXPECT_NE(saved.find("<string>Cy</string>"), std::string::npos);
  EXPECT_EQ(dialogs.Reports().size(), 1u);
}

// A table with negative scores places only the player who played: the
// other's check entry holds no result.
TEST_F(ScoresTest, NegativeScoresPlaceOnlyThePlayerWhoPlayed) {
  // The fixture is a harness input: 8 bytes of its own, then the file,
  // whose table begins at its "Scores" key.
  std::string text = FixtureBytes("scores-negative-rows.bin").substr(8);
  text = text.substr(text.find("<dict>\r\t<key>Scores"));
  home.Folder().Write("home/.config/Halvane/Halvane Scores.plist", text);
  LoadScores();
  ASSERT_EQ(mainSCORES.document.FindArray("Scores", 0)->NumChildren(), 15);
  ASSERT_LT(ScoreAt(0), 0);
  Result(0, 0, 1);
  EXPECT_EQ(mainSCORES.Check("Score"), 1);
  EXPECT_EQ(Position(0), 0);
  EXPECT_EQ(Position(1), -1) << "the second player did not play";
  for (int r = 1; r < 15; ++r) EXPECT_LT(ScoreAt(r), 0) << r;
}

// A long file is cut to the table's rows, its first rows kept in order,
// whatever its length (a row count of 65,536 or more included).
TEST_F(ScoresTest, ALongFileIsCutToTheFirstRows) {
  for (int rows : {16, 20000, 65536, 65551}) {
    SCOPED_TRACE(rows);
    std::string text = "<dict><key>Scores</key><array>";
    for (int r = 0; r < rows; ++r)
      text += "<dict><key>Name</key><string>n" + std::to_string(r) + "</string><key>Score</key><integer>" +
              std::to_string(100000 - r) + "</integer></dict>";
    home.Folder().Write("home/.config/Halvane/Halvane Scores.plist", text + "</array></dict>");
    LoadScores();
    ASSERT_EQ(mainSCORES.document.FindArray("Scores", 0)->children.Size(), 15u);
    EXPECT_EQ(NameAt(0), "n0");
    EXPECT_EQ(NameAt(14), "n14");
    EXPECT_EQ(ScoreAt(14), 100000 - 14);
  }
}

TEST_F(ScoresTest, InitKeepsCountsForNonPositiveValues) {
  mainSCORES.Init(0, -1);
  EXPECT_EQ(mainSCORES.NumScores(), 15);
  EXPECT_EQ(mainSCORES.checkEntry.Size(), 2u);
  EXPECT_EQ(mainSCORES.Load(0), -1);
  EXPECT_EQ(mainSCORES.NumScores(), 10);
  mainSCORES.Init(15, 2);
}

}  // namespace
