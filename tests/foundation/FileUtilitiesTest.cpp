#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "foundation/FileUtilities.h"
#include "foundation/Memory.h"
#include "foundation/StringFunctions.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string Text(const unsigned char* p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

struct PStr255 {
  explicit PStr255(const std::string& text) { CToPStr(text.c_str(), p); }
  Str255 p;
};

FileClass FolderAt(const std::string& path) {
  FileClass folder;
  folder.ref.path = path;
  folder.folder = folder.valid = 1;
  return folder;
}

TEST(UniqueNames, StripCopyCountReadsTheEndOfTheName) {
  const struct {
    const char* name;
    unsigned char numbersOnly;
    SInt32 result;
    const char* after;
  } cases[] = {
      {"Notes copy", 0, -1, "Notes copy"},
      {"Notes copy 12", 0, 12, "Notes copy "},
      {"Notes 12", 0, 0, "Notes 12"},
      {"Notes 12", 1, 12, "Notes "},
      {"Notes", 1, 0, "Notes"},
      {"Notes copy", 1, -1, "Notes copy"},
      {"abcd", 0, 0, "abcd"},
      {"Note5", 1, 0, "Note5"},
      {"Report 123456", 1, 123456, "Report "},
      {"1234567", 1, 0, "1234567"},
      {"Notes xcopy 3", 0, 0, "Notes xcopy 3"},
      {"", 0, 0, ""},
  };
  for (auto c : cases) {
    PStr255 name(c.name);
    EXPECT_EQ(StripCopyCount(name.p, c.numbersOnly), c.result) << c.name;
    EXPECT_EQ(Text(name.p), c.after) << c.name;
  }
  EXPECT_EQ(StripCopyCount(nullptr, 0), 0);
}

TEST(UniqueNames, NamesCountUpUntilFree) {
  TempFolder folder;
  FileClass dir = FolderAt(folder.Path());
  const struct {
    const char* start;
    unsigned char numbersOnly;
    const char* sequence[3];
  } cases[] = {
      {"Notes.txt", 0, {"Notes copy.txt", "Notes copy 1.txt", "Notes copy 2.txt"}},
      {"Notes.txt", 1, {"Notes 2.txt", "Notes 3.txt", "Notes 4.txt"}},
      {"Readme", 0, {"Readme copy", "Readme copy 1", "Readme copy 2"}},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.start);
    fs::remove_all(folder.Path());
    fs::create_directories(folder.Path());
    folder.Write(c.start, "");
    for (const char* expected : c.sequence) {
      PStr255 name(c.start);
      UniqueFileName(name.p, &dir, c.numbersOnly);
      EXPECT_EQ(Text(name.p), expected);
      folder.Write(Text(name.p), "");
    }
  }
  PStr255 free("Free.txt");
  UniqueFileName(free.p, &dir, 0);
  EXPECT_EQ(Text(free.p), "Free.txt");
}

TEST(UniqueNames, ALongNameMakesRoomForItsSuffix) {
  TempFolder folder;
  FileClass dir = FolderAt(folder.Path());
  std::string longName = std::string(251, 'N') + ".txt";  // 255 characters
  folder.Write(longName, "");
  for (const char* suffix : {" copy.txt", " copy 1.txt", " copy 2.txt"}) {
    PStr255 name(longName);
    UniqueFileName(name.p, &dir, 0);
    std::string found = Text(name.p);
    EXPECT_LE(found.size(), 255u);
    EXPECT_TRUE(found.ends_with(suffix)) << found;
    EXPECT_FALSE(fs::exists(folder / found));
    folder.Write(found, "");
  }
}

TEST(UniqueNames, AnInvalidFolderOrNameIsFatal) {
  RecordingDialogs dialogs;
  TempFolder folder;
  FileClass missing = FolderAt(folder / "none"), dir = FolderAt(folder.Path());
  PStr255 name("x");
  EXPECT_THROW(UniqueFileName(name.p, &missing, 0), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Source folder is invalid.");
  EXPECT_EQ(dialogs.Reports().back().detail, "UniqueFileName()");
  EXPECT_THROW(UniqueFileName(nullptr, &dir, 0), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The file name is nil.");
}

TEST(Trash, ItemsMoveToTheHomeTrashWithTheirInfo) {
  ScopedHome home;
  std::string trash = home.Home() + "/.local/share/Trash";
  FileClass file;
  file.ref.path = home.Folder().Write("work/My Notes.txt", "first");
  ASSERT_EQ(MoveToTrash(&file), noErr);
  EXPECT_FALSE(fs::exists(home.Folder() / "work/My Notes.txt"));
  EXPECT_EQ(ReadWholeFile(trash + "/files/My Notes.txt"), "first");
  std::string info = ReadWholeFile(trash + "/info/My Notes.txt.trashinfo");
  EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=" + home.Folder().Path() + "/work/My%20Notes.txt\nDeletionDate="))
      << info;
  EXPECT_EQ(info.size(), info.find("DeletionDate=") + 13 + 19 + 1);  // YYYY-MM-DDThh:mm:ss

  file.ref.path = home.Folder().Write("work/My Notes.txt", "second");
  ASSERT_EQ(MoveToTrash(&file), noErr);
  EXPECT_EQ(ReadWholeFile(trash + "/files/My Notes.txt"), "second");
  EXPECT_EQ(ReadWholeFile(trash + "/files/My Notes copy.txt"), "first");
  EXPECT_TRUE(fs::exists(trash + "/info/My Notes copy.txt.trashinfo"));
  EXPECT_TRUE(fs::exists(trash + "/info/My Notes.txt.trashinfo"));

  FileClass missing;
  missing.ref.path = home.Folder() / "work/none";
  EXPECT_EQ(MoveToTrash(&missing), fnfErr);
}

TEST(Trash, AMissingTrashThatCannotBeMadeIsFatal) {
  ScopedHome home;
  RecordingDialogs dialogs;
  std::string blocker = home.Folder().Write("blocker", "");
  ScopedEnv data("XDG_DATA_HOME", blocker.c_str());
  FileClass file;
  file.ref.path = home.Folder().Write("x", "");
  EXPECT_THROW(MoveToTrash(&file), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Unable to locate the trash folder.");
  EXPECT_EQ(dialogs.Reports().back().detail, "MoveToTrash()");
}

TEST(RenameAndLocks, RenameNeverReplacesAndLocksAreReported) {
  TempFolder folder;
  FSRef item{folder.Write("a", "a")};
  folder.Write("b", "b");
  EXPECT_EQ(FSRefRename255(&item, PStr255("b").p), dupFNErr);
  EXPECT_EQ(FSRefRename255(&item, PStr255("x/y").p), bdNamErr);
  EXPECT_EQ(FSRefRename255(&item, PStr255("").p), bdNamErr);
  ASSERT_EQ(FSRefRename255(&item, PStr255("c").p), noErr);
  EXPECT_EQ(item.path, folder / "c");
  EXPECT_EQ(ReadWholeFile(folder / "c"), "a");

  FileClass file;
  file.ref = item;
  EXPECT_EQ(QKCheckLock(&item), noErr);
  EXPECT_EQ(IsFileLocked(&file), 0);
  chmod(item.path.c_str(), 0444);
  EXPECT_EQ(QKCheckLock(&item), fLckdErr);
  EXPECT_EQ(IsFileLocked(&file), 1);
  EXPECT_EQ(CheckFileLockedVolume(&file), 1);
  EXPECT_EQ(IsVolumeLocked(0), 0);
  EXPECT_EQ(QKCheckLock(nullptr), paramErr);
  RecordingDialogs dialogs;
  EXPECT_EQ(LockFileName(&file, 1), 0);
}

// A chooser that answers from a script.
struct Script {
  OSErr result = userCanceledErr;
  std::string folder, name;
} script;
OSErr ScriptedSave(const unsigned char*, const unsigned char*, FSRef* folder, Str255 name) {
  folder->path = script.folder;
  CToPStr(script.name.c_str(), name);
  return script.result;
}
OSErr ScriptedOpen(const OSType*, SInt16, FSRef* item) {
  item->path = JoinPath(script.folder, script.name);
  return script.result;
}
const FileDialogBackEnd scripted = {ScriptedSave, ScriptedOpen};

class Dialogs : public testing::Test {
 protected:
  void SetUp() override { SetFileDialogBackEnd(&scripted); }
  void TearDown() override {
    SetFileDialogBackEnd(nullptr);
    CloseFile(&file);
  }
  TempFolder folder;
  FileClass file;
  RecordingDialogs dialogs;
};

TEST_F(Dialogs, SaveDialogCreatesReplacesOrKeeps) {
  const OSType TEXT = FOUR_CHAR('T', 'E', 'X', 'T');
  script = {userCanceledErr, folder.Path(), "Saved"};
  EXPECT_EQ(GetNewFile(TEXT, 0, &file, nullptr, nullptr, 0), 2);
  script.result = noErr;
  EXPECT_EQ(GetNewFile(TEXT, 0, &file, nullptr, nullptr, 0), 1);
  EXPECT_EQ(file.open, 1);
  EXPECT_EQ(file.ref.path, folder / "Saved");
  CloseFile(&file);

  folder.Write("Old", "keep me");
  script.name = "Old";
  EXPECT_EQ(GetNewFile(TEXT, 0, &file, nullptr, nullptr, 0), 1);
  EXPECT_EQ(file.open, 0);
  EXPECT_EQ(ReadWholeFile(folder / "Old"), "keep me");
  EXPECT_EQ(GetNewFile(TEXT, 0, &file, nullptr, nullptr, 1), 1);
  EXPECT_EQ(file.open, 1);
  EXPECT_EQ(ReadWholeFile(folder / "Old"), "");
  CloseFile(&file);

  script.folder = folder / "none";
  EXPECT_EQ(GetNewFile(TEXT, 0, &file, nullptr, nullptr, 0), 3);
  script.result = -36;
  EXPECT_THROW(GetNewFile(TEXT, 0, &file, nullptr, nullptr, 0), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "NavChooseFile() failed.");
}

TEST_F(Dialogs, OpenDialogOpensOrSaysWhyNot) {
  folder.Write("Level.plist", "x");
  script = {userCanceledErr, folder.Path(), "Level.plist"};
  EXPECT_EQ(GetOpenFile(nullptr, 2, &file, 0, 0), 2);
  script.result = noErr;
  EXPECT_EQ(GetOpenFile(nullptr, 0, &file, 0, 0), 1);
  EXPECT_EQ(file.open, 1);
  CloseFile(&file);
  script.name = "Gone.plist";
  EXPECT_EQ(GetOpenFile(nullptr, 0, &file, 1, 0), 0);
  EXPECT_EQ(
      dialogs.Reports().back().message,
      "The file \"Gone.plist\" cannot be opened.  It may be locked, have the wrong permissions, or have no resource "
      "fork.");
  EXPECT_EQ(dialogs.Reports().back().button, "OK");
}

TEST(ApplicationFiles, GameFilesPackagesAndBundles) {
  RecordingDialogs dialogs;
  TempFolder folder;
  FileClass savedHome = homeFOLD;
  homeFOLD = FolderAt(folder.Path());
  folder.Write("Halvane Data", "data");
  FileClass file;
  EXPECT_EQ(OpenGameFile(&file, PStr255("Data").p, 0), noErr);
  EXPECT_EQ(file.open, 1);
  CloseFile(&file);
  EXPECT_THROW(OpenGameFile(&file, PStr255("Levels").p, 0), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The file \"Halvane Levels\" could not be found.");

  folder.MakeFolder("Extras");
  folder.Write("Extras/Tune", "");
  EXPECT_EQ(SwitchFileName(PStr255("Tune").p, PStr255("Extras").p, 1), noErr);
  EXPECT_EQ(qkelFILE.ref.path, folder / "Extras/Tune");
  CloseFile(&qkelFILE);
  EXPECT_NE(SwitchFileName(PStr255("Nothing").p, PStr255("").p, 0), noErr);
  EXPECT_THROW(SwitchFileName(PStr255("Tune").p, PStr255("Nowhere").p, 1), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The folder \"Nowhere\" could not be found.");
  homeFOLD = savedHome;

  folder.MakeFolder("Game.app/Contents/bin");
  FileClass dir = FolderAt(folder.Path()), found;
  EXPECT_EQ(FindApplicationPackage(&found, PStr255("Game.app").p, 0, 0, &dir), noErr);
  EXPECT_EQ(found.folder, 1);
  FileClass bundle = found;
  SInt16 before = FileListCount();
  EXPECT_EQ(OpenBundleResourceFile(&bundle), noErr);
  EXPECT_EQ(bundle.open, 1);
  EXPECT_EQ(FileListCount(), before + 1);
  EXPECT_EQ(CloseFile(&bundle), noErr);
  FileClass notBundle = FolderAt(folder / "Extras");
  EXPECT_THROW(OpenBundleResourceFile(&notBundle), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Couldn't create bundle ref.");

  symlink((folder / "gone").c_str(), (folder / "A dangling link").c_str());
  EXPECT_EQ(FindApplicationPackage(&found, PStr255("Game.app").p, 0, 0, &dir), fnfErr);
  FileClass none = FolderAt(folder / "none");
  EXPECT_EQ(FindApplicationPackage(&found, PStr255("Game.app").p, 0, 0, &none), -1);
}

TEST(ApplicationFiles, PictureFilesGetAHeaderOf512ZeroBytes) {
  RecordingDialogs dialogs;
  TempFolder folder;
  FileClass dir = FolderAt(folder.Path());
  Handle picture = QKNewHandle(3);
  memcpy(*picture, "PIC", 3);
  EXPECT_EQ(SavePictFile(picture, PStr255("Shot").p, &dir), noErr);
  EXPECT_EQ(ReadWholeFile(folder / "Shot.pct"), std::string(512, '\0') + "PIC");
  EXPECT_EQ(SavePictFile(picture, PStr255("Shot").p, &dir), noErr);
  EXPECT_EQ(fs::file_size(folder / "Shot.pct"), 515u);
  QKDisposeHandle(picture);
  EXPECT_THROW(SavePictFile(nullptr, PStr255("Shot").p, &dir), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The picHandle is nil");
}

TEST(Queries, ItemsFilesAndOpenFiles) {
  TempFolder folder;
  std::string tool = folder.Write("tool", "");
  chmod(tool.c_str(), 0755);
  folder.Write("game.desktop", "");
  folder.Write("notes", "");
  folder.MakeFolder("Game.app/Contents/bin");
  folder.MakeFolder("Data.pkg/Contents");
  const struct {
    const char* name;
    Boolean isApp, isPackage;
  } cases[] = {{"tool", 1, 0}, {"game.desktop", 1, 0}, {"notes", 0, 0}, {"Game.app", 1, 1}, {"Data.pkg", 0, 1}};
  for (auto c : cases) {
    Boolean isApp = 9, isPackage = 9;
    FSRef item{folder / c.name};
    EXPECT_EQ(LSIsApplication(&item, &isApp, &isPackage), noErr);
    EXPECT_EQ(isApp, c.isApp) << c.name;
    EXPECT_EQ(isPackage, c.isPackage) << c.name;
  }
  FSRef missing{folder / "none"};
  Boolean isApp, isPackage;
  EXPECT_EQ(LSIsApplication(&missing, &isApp, &isPackage), fnfErr);
  UInt32 type = 1, creator = 1;
  FSRef notes{folder / "notes"};
  EXPECT_EQ(LSGetApplicationTypeCreator(&notes, &type, &creator), noErr);
  EXPECT_EQ(type + creator, 0u);

  EXPECT_EQ(FileExists(folder / "notes"), 1);
  EXPECT_EQ(FileExists(folder / "Game.app"), 0);
  EXPECT_EQ(FileExists(folder / "none"), 0);

  SInt32 before = OpenFileCount();
  FileClass file;
  file.ref = notes;
  ASSERT_EQ(OpenFile(&file, 0, 0), noErr);
  EXPECT_EQ(OpenFileCount(), before + 1);
  CloseFile(&file);
  EXPECT_EQ(OpenFileCount(), before);

  FSRef untouched{"/x"};
  EXPECT_EQ(FindOnDiskByCreator(0, 'HLVN', 'APPL', &untouched), fnfErr);
  EXPECT_EQ(untouched.path, "/x");
  EXPECT_EQ(GetFileCreationDate(&file), -1);
}

TEST(Queries, BigEndianWritersAndTypeLists) {
  char bytes[6];
  char* p = bytes;
  PtrWrite_Short(p, -2);
  PtrWrite_Long(p, 0x01020304);
  EXPECT_EQ(p, bytes + 6);
  EXPECT_EQ(std::string(bytes, 6), std::string("\xFF\xFE\x01\x02\x03\x04", 6));

  const UInt32 types[2] = {FOUR_CHAR('T', 'E', 'X', 'T'), FOUR_CHAR('P', 'I', 'C', 'T')};
  Handle list = NewTypeList(types, 2);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(QKGetHandleSize(list), 20);
  EXPECT_EQ(std::string(*list, 20), std::string("HLVN\0\0\0\2TEXTPICT", 16) + std::string(4, '\0'));
  QKDisposeHandle(list);
  list = NewTypeList(FOUR_CHAR('T', 'E', 'X', 'T'));
  EXPECT_EQ(QKGetHandleSize(list), 16);
  QKDisposeHandle(list);
}

}  // namespace

TEST(FileDescriptors, ReferenceRoundTripsAndCoercions) {
  FSRef ref{"/tmp/some file"};
  AEDesc desc;
  ASSERT_EQ(GetAEDescFromFSRef(&desc, &ref), noErr);
  EXPECT_EQ(desc.descriptorType, typeFSRef);
  struct Case {
    DescType type;
    std::string data;
    OSErr result;
    std::string path;
  };
  const Case cases[] = {
      {typeFSRef, "/tmp/some file", noErr, "/tmp/some file"},
      {typeFSS, "/a/b", noErr, "/a/b"},
      {typeFileURL, "file:///c/d", noErr, "/c/d"},
      {typeFileURL, "http://x/y", errAECoercionFail, ""},
      {FOUR_CHAR('T', 'E', 'X', 'T'), "/e", errAECoercionFail, ""},
  };
  for (const Case& c : cases) {
    AEDesc d;
    AECreateDesc(c.type, c.data.data(), c.data.size(), &d);
    FSRef out{"unchanged"};
    EXPECT_EQ(GetFSRefFromAEDesc(&out, &d), c.result) << c.data;
    EXPECT_EQ(out.path, c.result ? "unchanged" : c.path) << c.data;
  }
}
