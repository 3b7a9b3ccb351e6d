#include "platform/SafeSave.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/PlatformFiles.h"
#include "support/TempFolder.h"

namespace {

struct InjectedFailure {
  SafeSaveStep step;
  int error;
  OSErr expected;
  bool replaced;  // the new content is in place despite the failure
};

class SafeSave : public testing::Test {
 protected:
  void TearDown() override { SetSafeSaveFailure(kSafeSaveNoFailure, 0); }
  size_t FolderItems() const {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder.Path()); it != std::filesystem::directory_iterator(); ++it) n++;
    return n;
  }
  TempFolder folder;
};

TEST_F(SafeSave, WritesANewFileAndReplacesAnOldOneKeepingItsPermissions) {
  std::string path = folder / "Scores.plist";
  ASSERT_EQ(SafeSaveFile(path, "first", 5), noErr);
  EXPECT_EQ(ReadWholeFile(path), "first");
  chmod(path.c_str(), 0640);
  ASSERT_EQ(SafeSaveFile(path, "second text", 11), noErr);
  EXPECT_EQ(ReadWholeFile(path), "second text");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  ASSERT_EQ(SafeSaveFile(path, "", 0), noErr);
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_EQ(FolderItems(), 1u);  // no temporary file left behind
}

TEST_F(SafeSave, EveryFailingStepKeepsTheOldFileWholeAndLeavesNoTemporary) {
  const InjectedFailure cases[] = {
      {kSafeSaveCreate, EACCES, permErr, false},  {kSafeSaveWrite, ENOSPC, dskFulErr, false},
      {kSafeSaveSync, EIO, ioErr, false},         {kSafeSaveClose, EIO, ioErr, false},
      {kSafeSaveRename, EXDEV, ioErr, false},     {kSafeSaveSyncFolder, EIO, ioErr, true},
  };
  std::string old(10000, 'o');
  std::string fresh(20000, 'n');
  for (const InjectedFailure& c : cases) {
    SCOPED_TRACE(c.step);
    std::string path = folder.Write("Prefs.plist", old);
    SetSafeSaveFailure(c.step, c.error);
    EXPECT_EQ(SafeSaveFile(path, fresh.data(), SInt64(fresh.size())), c.expected);
    EXPECT_EQ(ReadWholeFile(path), c.replaced ? fresh : old);
    EXPECT_EQ(FolderItems(), 1u);
  }
}

TEST_F(SafeSave, AShortWriteIsAFailureNeverASuccess) {
  std::string path = folder.Write("Prefs.plist", "old");
  SetSafeSaveFailure(kSafeSaveWrite, ENOSPC);
  EXPECT_NE(SafeSaveFile(path, "abcdefgh", 8), noErr);
  EXPECT_EQ(ReadWholeFile(path), "old");
}

TEST_F(SafeSave, FollowsALinkAndRefusesBadArguments) {
  std::string target = folder.Write("real/Prefs.plist", "old");
  std::string link = folder / "Prefs.plist";
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ASSERT_EQ(SafeSaveFile(link, "new", 3), noErr);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(target), "new");

  EXPECT_EQ(SafeSaveFile("", "x", 1), paramErr);
  EXPECT_EQ(SafeSaveFile(folder / "a", nullptr, 1), paramErr);
  EXPECT_EQ(SafeSaveFile(folder / "missing/folder/a", "x", 1), fnfErr);
}

TEST_F(SafeSave, AnOpenForkReadsTheNewContentAfterTheSave) {
  FSRef item{folder.Write("Scores.plist", "old content")};
  SInt16 fork = -1;
  ASSERT_EQ(PlatformOpenFork(item, true, &fork), noErr);
  ASSERT_EQ(PlatformReplaceForkContent(fork, item, "new", 3), noErr);
  SInt64 length = 0;
  ASSERT_EQ(PlatformForkLength(fork, &length), noErr);
  EXPECT_EQ(length, 3);
  char bytes[3];
  ASSERT_EQ(PlatformReadFork(fork, 0, bytes, 3), noErr);
  EXPECT_EQ(std::string(bytes, 3), "new");
  EXPECT_EQ(PlatformReadFork(fork, 2, bytes, 2), eofErr);

  SetSafeSaveFailure(kSafeSaveRename, EIO);
  EXPECT_EQ(PlatformReplaceForkContent(fork, item, "lost", 4), ioErr);
  EXPECT_EQ(ReadWholeFile(item.path), "new");
  EXPECT_EQ(PlatformCloseFork(fork), noErr);

  ASSERT_EQ(PlatformOpenFork(item, false, &fork), noErr);
  EXPECT_EQ(PlatformReplaceForkContent(fork, item, "x", 1), wrPermErr);
  PlatformCloseFork(fork);
}

}  // namespace
