#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/PlatformFiles.h"
#include "platform/SafeSave.h"
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
    for (auto it = std::filesystem::directory_iterator(folder.Path()); it != std::filesystem::directory_iterator();
         ++it)
      n++;
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
      {kSafeSaveCreate, EACCES, permErr, false}, {kSafeSaveWrite, ENOSPC, dskFulErr, false},
      {kSafeSaveSync, EIO, ioErr, false},        {kSafeSaveClose, EIO, ioErr, false},
      {kSafeSaveRename, EXDEV, ioErr, false},    {kSafeSaveSyncFolder, EIO, ioErr, true},
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

// A process id that belonged to a process that has ended.
pid_t DeadPid() {
  pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST_F(SafeSave, TemporariesOfKilledSavesAreRemovedByTheNextSave) {
  std::string path = folder.Write("Prefs.plist", "old");
  std::string dead = std::to_string(DeadPid());
  std::string stale = folder.Write(".Prefs.plist.tmp-" + dead + "-0", "half");
  std::string staleToo = folder.Write(".Prefs.plist.tmp-" + dead + "-7", "half");
  std::string live = folder.Write(".Prefs.plist.tmp-" + std::to_string(getppid()) + "-0", "in progress");
  std::string other = folder.Write(".Scores.plist.tmp-" + dead + "-0", "not ours to judge");
  std::string odd = folder.Write(".Prefs.plist.tmp-x-0", "no process id");
  ASSERT_EQ(SafeSaveFile(path, "new", 3), noErr);
  EXPECT_EQ(ReadWholeFile(path), "new");
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_FALSE(std::filesystem::exists(staleToo));
  EXPECT_TRUE(std::filesystem::exists(live));
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_TRUE(std::filesystem::exists(odd));
}

TEST_F(SafeSave, AFileWithoutWritePermissionIsNotReplaced) {
  struct Case {
    mode_t mode;
    OSErr expected;
    mode_t after;
  } cases[] = {
      {0444, permErr, 0444},
      {0000, permErr, 0000},
      {0200, noErr, 0600},  // the owner can read back what was saved
      {0604, noErr, 0604},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    std::string path = folder.Write("Prefs.plist", "old");
    ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
    EXPECT_EQ(SafeSaveFile(path, "new", 3), c.expected);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, c.after);
    chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadWholeFile(path), c.expected == noErr ? "new" : "old");
    EXPECT_EQ(FolderItems(), 1u);
    std::filesystem::remove(path);
  }
}

TEST_F(SafeSave, ADanglingLinkIsWrittenThroughAndKept) {
  std::filesystem::create_directories(folder / "real");
  struct Case {
    const char* what;
    std::string link;    // the link at the saved path
    std::string target;  // where the content must land
  } cases[] = {
      {"relative", "real/Prefs.plist", folder / "real/Prefs.plist"},
      {"absolute", folder / "real/Abs.plist", folder / "real/Abs.plist"},
      {"chain", "Middle", folder / "real/Chained.plist"},
  };
  ASSERT_EQ(symlink("real/Chained.plist", (folder / "Middle").c_str()), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = folder / "Saved.plist";
    std::filesystem::remove(path);
    ASSERT_EQ(symlink(c.link.c_str(), path.c_str()), 0);
    ASSERT_EQ(SafeSaveFile(path, "new", 3), noErr);
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadWholeFile(c.target), "new");
  }
  // A loop of links has no file to write: nothing is made.
  std::string a = folder / "LoopA", b = folder / "LoopB";
  ASSERT_EQ(symlink(b.c_str(), a.c_str()), 0);
  ASSERT_EQ(symlink(a.c_str(), b.c_str()), 0);
  EXPECT_NE(SafeSaveFile(a, "x", 1), noErr);
  EXPECT_TRUE(std::filesystem::is_symlink(a));
  EXPECT_TRUE(std::filesystem::is_symlink(b));
}

TEST(SafeSaveDeathTest, ASavePastTheFileSizeLimitFailsInsteadOfEndingTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TempFolder folder;
  std::string path = folder.Write("Prefs.plist", "old");
  EXPECT_EXIT(
      {
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = 1000;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string big(5000, 'b');
        OSErr err = SafeSaveFile(path, big.data(), SInt64(big.size()));
        bool kept = ReadWholeFile(path) == "old";
        _exit(err != noErr && kept ? 0 : 2);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadWholeFile(path), "old");
  size_t items = 0;
  for (auto it = std::filesystem::directory_iterator(folder.Path()); it != std::filesystem::directory_iterator(); ++it)
    items++;
  EXPECT_EQ(items, 1u);
}

}  // namespace
