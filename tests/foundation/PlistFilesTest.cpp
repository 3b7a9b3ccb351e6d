#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "foundation/FileClass.h"
#include "foundation/PlistTag.h"
#include "foundation/StringFunctions.h"
#include "foundation/TextBuffer.h"
#include "platform/SafeSave.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string TextOfTree(PlistTag& tree) {
  TextBuffer buffer;
  tree.SaveBuffer(&buffer);
  return std::string(reinterpret_cast<char*>(buffer.Start()), size_t(buffer.DataSize()));
}

class PlistFiles : public testing::Test {
 protected:
  void SetUp() override {
    tree.NewLong("Score", 1200);
    tree.NewString("Name", "Ann");
    file.ref.path = folder.Write("Scores.plist", "old");
  }
  void TearDown() override {
    SetSafeSaveFailure(kSafeSaveNoFailure, 0);
    CloseFile(&file);
    tree.DeleteChildren();
  }
  TempFolder folder;
  FileClass file;
  PlistTag tree;
  RecordingDialogs dialogs;
};

TEST_F(PlistFiles, SaveAndLoadThroughAnOpenFork) {
  ASSERT_EQ(OpenFile(&file, 1, 0), noErr);
  ASSERT_EQ(tree.SaveFile(&file), noErr);
  EXPECT_EQ(ReadWholeFile(file.ref.path), TextOfTree(tree));
  PlistTag loaded;
  EXPECT_EQ(loaded.LoadFile(&file), 0);
  SInt32 score = 0;
  EXPECT_NE(loaded.GetLong("Score", &score, 0), nullptr);
  EXPECT_EQ(score, 1200);
  loaded.DeleteChildren();
}

TEST_F(PlistFiles, EncryptedFormsRoundTrip) {
  Str255 key;
  CToPStr("A secret key", key);
  ASSERT_EQ(OpenFile(&file, 1, 0), noErr);
  ASSERT_EQ(tree.SaveEncryptedFile(&file, key), noErr);
  std::string stored = ReadWholeFile(file.ref.path);
  EXPECT_EQ(stored.size(), TextOfTree(tree).size());
  EXPECT_NE(stored, TextOfTree(tree));
  PlistTag loaded;
  EXPECT_EQ(loaded.LoadEncryptedFile(&file, key), 0);
  EXPECT_EQ(TextOfTree(loaded), TextOfTree(tree));
  loaded.DeleteChildren();
}

TEST_F(PlistFiles, AnEncipheredFileTooShortToBeOursLoadsEmpty) {
  Str255 key;
  CToPStr("A secret key", key);
  ASSERT_EQ(OpenFile(&file, 0, 0), noErr);  // holds the 3 bytes "old"
  EXPECT_EQ(tree.LoadEncryptedFile(&file, key), -1);
  EXPECT_EQ(tree.NumChildren(), 0);
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(PlistFiles, AFailedSaveKeepsTheOldFileAndSaysSo) {
  ASSERT_EQ(OpenFile(&file, 1, 0), noErr);
  SetSafeSaveFailure(kSafeSaveWrite, ENOSPC);
  EXPECT_EQ(tree.SaveFile(&file), dskFulErr);
  EXPECT_EQ(ReadWholeFile(file.ref.path), "old");
}

TEST_F(PlistFiles, MissingOrClosedFilesAreFatal) {
  TextBuffer buffer;
  EXPECT_THROW(buffer.LoadFile(static_cast<FileClass*>(nullptr)), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The import text file is \"nil.\"");
  EXPECT_EQ(dialogs.Reports().back().detail, "TextBuffer::LoadFile()");
  EXPECT_THROW(tree.SaveFile(&file), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The import text file is closed.");
  EXPECT_EQ(dialogs.Reports().back().detail, "TextBuffer::SaveFile()");
}

TEST(PlistDesktop, ExportReplacesItsOwnFileAndImportReadsVersionPlist) {
  ScopedHome home;
  RecordingDialogs dialogs;
  std::string desktop = home.Folder().MakeFolder("home/Desktop");
  desktopFOLD = FileClass();
  PlistTag tree;
  tree.NewLong("Level", 3);
  EXPECT_EQ(tree.ExportFile("Dump"), noErr);
  EXPECT_EQ(ReadWholeFile(desktop + "/Dump.plist"), TextOfTree(tree));
  tree.SetLong("Level", 4);
  EXPECT_EQ(tree.ExportFile("Dump"), noErr);
  EXPECT_EQ(ReadWholeFile(desktop + "/Dump.plist"), TextOfTree(tree));
  fs::create_directory(desktop + "/Folder.plist");
  EXPECT_EQ(tree.ExportFile("Folder"), noErr);
  EXPECT_EQ(ReadWholeFile(desktop + "/Folder copy.plist"), TextOfTree(tree));

  PlistTag imported;
  EXPECT_EQ(imported.ImportFile(), fnfErr);
  EXPECT_EQ(dialogs.Reports().back().message, "Couldn't find the specified plist file.");
  fs::copy_file(desktop + "/Dump.plist", desktop + "/version.plist");
  EXPECT_EQ(imported.ImportFile(), 0);
  EXPECT_EQ(TextOfTree(imported), TextOfTree(tree));
  imported.DeleteChildren();
  tree.DeleteChildren();
  desktopFOLD = FileClass();
}

}  // namespace
