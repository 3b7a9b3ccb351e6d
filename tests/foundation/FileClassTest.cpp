#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "foundation/FileClass.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

const OSType TEXT = FOUR_CHAR('T', 'E', 'X', 'T');

FileClass FolderAt(const std::string& path) {
  FileClass folder;
  folder.ref.path = path;
  folder.folder = 1;
  folder.valid = 1;
  return folder;
}

// A length-prefixed copy of a text, valid until the next call.
const unsigned char* P(const char* text) {
  static Str255 buffer;
  CToPStr(text, buffer);
  return buffer;
}

class FileClassTest : public testing::Test {
 protected:
  void SetUp() override {
    folder.MakeFolder("A folder");
    folder.Write("a.txt", "a");
    folder.Write("b.txt", "b");
    folder.MakeFolder("sub");
    symlink((folder / "b.txt").c_str(), (folder / "link").c_str());
    symlink((folder / "gone").c_str(), (folder / "dangling").c_str());
    dir = FolderAt(folder.Path());
  }
  TempFolder folder;
  FileClass dir;
  RecordingDialogs dialogs;
};

TEST_F(FileClassTest, FindFileMatchesByNameKindAndCodes) {
  const struct {
    const char* name;
    char kind;
    OSType type;
    OSErr result;
    const char* found;  // path inside the folder
    bool isFolder;
    bool aliased;
  } cases[] = {
      {"", kFindFileOnly, kAnyCode, noErr, "a.txt", false, false},  // first file, folders skipped
      {"", kFindAnyItem, TEXT, noErr, "a.txt", false, false},
      {"b.txt", kFindAnyItem, TEXT, noErr, "b.txt", false, false},
      {"sub", kFindFolderOnly, kAnyCode, noErr, "sub", true, false},
      {"sub", kFindAnyItem, kAnyCode, noErr, "sub", true, false},
      {"sub", kFindFileOnly, kAnyCode, -1, nullptr, false, false},
      {"a.txt", kFindFolderOnly, kAnyCode, -1, nullptr, false, false},
      {"link", kFindFileOnly, kAnyCode, noErr, "b.txt", false, true},
      {"dangling", kFindAnyItem, kAnyCode, -1, nullptr, false, false},
      {"A.TXT", kFindAnyItem, kAnyCode, -1, nullptr, false, false},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.name);
    FileClass result;
    EXPECT_EQ(FindFile(&result, c.name, &dir, kAnyCode, c.type, c.kind), c.result);
    if (c.result != noErr) continue;
    EXPECT_EQ(result.ref.path, folder / c.found);
    EXPECT_EQ(result.folder, c.isFolder);
    EXPECT_EQ(result.aliased, c.aliased);
    EXPECT_EQ(result.valid, 1);
  }
  FileClass result, invalid = FolderAt(folder / "none");
  EXPECT_EQ(FindFile(&result, "a.txt", &invalid, kAnyCode, kAnyCode, kFindAnyItem), -1);
  EXPECT_EQ(FindFile(&result, "a.txt", nullptr, kAnyCode, kAnyCode, kFindAnyItem), -1);
}

TEST_F(FileClassTest, CodesMatchEqualWildcardOrUnknown) {
  const OSType PICT = FOUR_CHAR('P', 'I', 'C', 'T');
  EXPECT_TRUE(CodeMatches(TEXT, TEXT));
  EXPECT_TRUE(CodeMatches(PICT, kAnyCode));
  EXPECT_TRUE(CodeMatches(0, TEXT));  // a file with no code of its own
  EXPECT_FALSE(CodeMatches(PICT, TEXT));
}

TEST_F(FileClassTest, FindNewMakesWhatIsMissingAndReportsIt) {
  FileClass result;
  unsigned char created = 9;
  EXPECT_EQ(FindNewFolder(&result, "sub", &dir, &created), noErr);
  EXPECT_EQ(created, 0);
  EXPECT_EQ(FindNewFolder(&result, "new folder", &dir, &created), noErr);
  EXPECT_EQ(created, 1);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "new folder"));
  EXPECT_EQ(result.folder, 1);
  EXPECT_EQ(FindNewFile(&result, "a.txt", &dir, kAnyCode, TEXT, &created), noErr);
  EXPECT_EQ(created, 0);
  EXPECT_EQ(FindNewFile(&result, "c.txt", &dir, kAnyCode, TEXT, &created), noErr);
  EXPECT_EQ(created, 1);
  EXPECT_EQ(result.ref.path, folder / "c.txt");
  EXPECT_EQ(FindNewFile(&result, "d.txt", &dir, kAnyCode, TEXT, nullptr), noErr);
}

TEST_F(FileClassTest, CreateRefusesExistingAndImpossibleNames) {
  FileClass result;
  EXPECT_EQ(CreateFile(&result, P("a.txt"), &dir, kAnyCode, TEXT), dupFNErr);
  EXPECT_EQ(CreateFolder(&result, P("sub"), &dir), dupFNErr);
  for (const char* bad : {"", ".", "..", "a/b"}) EXPECT_EQ(CreateFile(&result, P(bad), &dir, 0, 0), bdNamErr) << bad;
  FileClass missing = FolderAt(folder / "none");
  EXPECT_EQ(CreateFile(&result, P("x"), &missing, 0, 0), fnfErr);
  EXPECT_EQ(CreateFilePackage(&result, P("Game.app"), &dir), noErr);
  EXPECT_EQ(result.folder, 1);
}

TEST_F(FileClassTest, OpenAndCloseKeepTheOpenFileList) {
  FileClass file;
  ASSERT_EQ(FindFile(&file, "a.txt", &dir, kAnyCode, kAnyCode, kFindFileOnly), noErr);
  SInt16 before = FileListCount();
  ASSERT_EQ(OpenFile(&file, 0, 0), noErr);
  SInt16 fork = file.fork;
  EXPECT_EQ(OpenFile(&file, 1, 0), noErr);
  EXPECT_EQ(file.fork, fork);
  EXPECT_EQ(FileListCount(), before + 1);
  EXPECT_EQ(file.open, 1);
  EXPECT_EQ(CloseFile(&file), noErr);
  EXPECT_EQ(file.open, 0);
  EXPECT_EQ(file.valid, 0);
  EXPECT_EQ(FileListCount(), before);
  EXPECT_EQ(CloseFile(&file), noErr);
  EXPECT_EQ(OpenFile(nullptr, 0, 0), 1);
  EXPECT_EQ(CloseFile(nullptr), 1);
  FileClass missing;
  missing.ref.path = folder / "none";
  EXPECT_EQ(OpenFile(&missing, 0, 0), fnfErr);
  EXPECT_EQ(FileListCount(), before);
}

TEST_F(FileClassTest, DeleteClosesAnOpenFileFirst) {
  FileClass file;
  ASSERT_EQ(FindFile(&file, "a.txt", &dir, kAnyCode, kAnyCode, kFindFileOnly), noErr);
  SInt16 before = FileListCount();
  ASSERT_EQ(OpenFile(&file, 1, 0), noErr);
  EXPECT_EQ(DeleteFile(&file), noErr);
  EXPECT_EQ(file.open, 0);
  EXPECT_EQ(FileListCount(), before);
  EXPECT_FALSE(std::filesystem::exists(folder / "a.txt"));
  EXPECT_EQ(DeleteFile(&file), fnfErr);
}

TEST_F(FileClassTest, AnItemRemovedDuringAWalkIsSkippedNotFatal) {
  FolderIterator walk(&dir);
  FSRef item;
  ASSERT_EQ(walk.Next(&item), noErr);
  EXPECT_EQ(item.path, folder / "A folder");
  std::filesystem::remove(folder / "a.txt");
  ASSERT_EQ(walk.Next(&item), noErr);
  EXPECT_EQ(item.path, folder / "b.txt");
  FileClass vanished;
  vanished.ref.path = folder / "a.txt";
  EXPECT_EQ(vanished.GetInfo(nullptr), fnfErr);
  EXPECT_TRUE(dialogs.Reports().empty());
  while (walk.Next(&item) == noErr) {
  }
  EXPECT_EQ(walk.Next(&item), errFSNoMoreItems);
  EXPECT_EQ(item.path, folder / "sub");
  walk.Dispose();
  EXPECT_EQ(walk.Next(&item), -1);
  FSRef none{folder / "none"};
  EXPECT_EQ(walk.Init(&none), fnfErr);
}

TEST_F(FileClassTest, AssignmentCopiesTheListedFields) {
  FileClass a;
  a.ref.path = "/x";
  a.fork = 7;
  a.info.fileType = TEXT;
  a.open = a.flag2 = a.folder = a.aliased = a.valid = 1;
  a.spare = 5;
  a.catalog.dataLogicalSize = 99;
  FileClass b;
  b = a;
  EXPECT_EQ(b.ref.path, "/x");
  EXPECT_EQ(b.fork, 7);
  EXPECT_EQ(b.info.fileType, TEXT);
  EXPECT_EQ(b.open + b.flag2 + b.folder + b.aliased + b.valid, 5);
  EXPECT_EQ(b.spare, 5);
  EXPECT_EQ(b.catalog.dataLogicalSize, 0);
  FileClass fresh;
  EXPECT_EQ(fresh.fork, -1);
  EXPECT_EQ(fresh.open + fresh.valid + fresh.folder + fresh.aliased, 0);
}

TEST_F(FileClassTest, FoldersAndParents) {
  FileClass parent;
  FSRef sub{folder / "sub"};
  ASSERT_EQ(GetParentFolder(&sub, &parent), noErr);
  EXPECT_EQ(parent.ref.path, folder.Path());
  EXPECT_EQ(parent.folder, 1);
  FSRef none{folder / "none/x"};
  EXPECT_EQ(GetFolderParent(&none, &sub), fnfErr);
  Str255 name;
  ASSERT_EQ(dir.GetName(name), noErr);
  EXPECT_EQ(std::string((char*)name + 1, name[0]), LastComponent(folder.Path()));

  FileClass file;
  file.ref.path = folder / "a.txt";
  EXPECT_THROW(GetSubDirectory(&file), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The FileClass is not a folder.");
  EXPECT_EQ(dialogs.Reports().back().detail, "GetSubDirectory()");
}

TEST(WellKnownFolders, PreferencesSupportDesktopTemporaryAndShared) {
  ScopedHome home;
  RecordingDialogs dialogs;
  FileClass f;
  EXPECT_EQ(FindPreferencesFolder(&f, 0), noErr);
  EXPECT_EQ(f.ref.path, home.Home() + "/.config/Halvane");
  EXPECT_EQ(f.folder + f.valid, 2);
  FileClass support;
  EXPECT_EQ(FindApplicationSupportFolder(&support, 0), 1);
  EXPECT_EQ(support.ref.path, home.Home() + "/.local/share");
  FileClass desktop;
  EXPECT_EQ(FindDesktopFolder(&desktop), noErr);
  EXPECT_EQ(desktop.ref.path, home.Home());
  FileClass temporary;
  EXPECT_EQ(FindTemporaryFolder(&temporary), noErr);
  EXPECT_EQ(temporary.ref.path, home.Folder() / "tmp");
  FileClass shared;
  EXPECT_EQ(FindSharedFolder(&shared), noErr);
  EXPECT_EQ(shared.valid, 1);
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST(WellKnownFolders, FoldersThatCannotBeFoundAreFatal) {
  ScopedHome home;
  RecordingDialogs dialogs;
  std::string blocker = home.Folder().Write("blocker", "");
  FileClass f;
  {
    ScopedEnv config("XDG_CONFIG_HOME", blocker.c_str());
    EXPECT_THROW(FindPreferencesFolder(&f, 0), FatalReport);
    EXPECT_EQ(dialogs.Reports().back().message, "Unable to locate the Preferences folder.");
    EXPECT_EQ(dialogs.Reports().back().detail, "-120");
  }
  {
    ScopedEnv data("XDG_DATA_HOME", (blocker + "/x").c_str());
    FileClass support;
    EXPECT_EQ(FindApplicationSupportFolder(&support, 0), 0);
  }
  ScopedEnv noHome("HOME", (home.Folder() / "no-such-home").c_str());
  EXPECT_THROW(FindDesktopFolder(&f), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Unable to locate the Desktop folder.");
  EXPECT_EQ(dialogs.Reports().back().detail, "-43");
}

TEST(HomeFile, SetUpFindsTheBundleItsFolderAndTheSupportFolderOnce) {
  ScopedHome home;
  RecordingDialogs dialogs;
  std::string bundle = home.Folder().MakeFolder("Apps/Game.app/Contents/Resources");
  SetBundlePathForTesting((home.Folder() / "Apps/Game.app").c_str());
  homeFileSetup = 0;
  EXPECT_EQ(SetUpHomeFile(), noErr);
  EXPECT_EQ(homeFILE.ref.path, home.Folder() / "Apps/Game.app");
  EXPECT_EQ(homeFILE.folder, 1);
  EXPECT_EQ(homeFILE.open, 1);
  EXPECT_EQ(homeFILE.fork, -1);
  EXPECT_EQ(homeFOLD.ref.path, home.Folder() / "Apps");
  EXPECT_EQ(qkelFILE.ref.path, homeFILE.ref.path);
  EXPECT_EQ(supportFOLD.ref.path, home.Home() + "/.local/share/Halvane");
  EXPECT_TRUE(std::filesystem::is_directory(supportFOLD.ref.path));

  SetBundlePathForTesting((home.Folder() / "Elsewhere.app").c_str());
  EXPECT_EQ(SetUpHomeFile(), noErr);
  EXPECT_EQ(homeFILE.ref.path, home.Folder() / "Apps/Game.app");
  EXPECT_EQ(CloseFile(&homeFILE), noErr);  // no fork to close

  FileClass file;
  file.ref.path = home.Folder() / "x";
  DefaultFile(&file);
  EXPECT_EQ(file.ref.path, homeFILE.ref.path);
  SetBundlePathForTesting(nullptr);
  homeFileSetup = 0;
}

TEST(HomeFile, ASupportFolderThatCannotBeMadeIsFatal) {
  ScopedHome home;
  RecordingDialogs dialogs;
  home.Folder().MakeFolder("Apps/Game.app/Contents");
  home.Folder().Write("home/.local/share/Halvane", "a file in the way");
  SetBundlePathForTesting((home.Folder() / "Apps/Game.app").c_str());
  homeFileSetup = 0;
  EXPECT_THROW(SetUpHomeFile(), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Couldn't create the application's folder in Application Support");
  EXPECT_EQ(dialogs.Reports().back().detail, "");
  SetBundlePathForTesting(nullptr);
  homeFileSetup = 0;
}

}  // namespace
