#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/PlatformFiles.h"
#include "support/TempFolder.h"

namespace {

TEST(PlatformFiles, ErrnoValuesBecomeEngineCodes) {
  const struct {
    int error;
    OSErr code;
  } cases[] = {{0, noErr},           {ENOENT, fnfErr},   {EEXIST, dupFNErr},  {EBUSY, fBsyErr},
               {ENOTEMPTY, fBsyErr}, {EINVAL, paramErr}, {ENOTDIR, dirNFErr}, {ENOSPC, dskFulErr},
               {EACCES, permErr},    {EROFS, vLckdErr},  {EMFILE, tmfoErr},   {EIO, ioErr}};
  for (auto c : cases) EXPECT_EQ(OSErrOfErrno(c.error), c.code) << c.error;
}

TEST(PlatformFiles, PathsAreAbsoluteAndNormal) {
  EXPECT_EQ(AbsolutePath("/a/b/../c/"), "/a/c");
  EXPECT_EQ(AbsolutePath("/"), "/");
  EXPECT_EQ(AbsolutePath(""), "");
  EXPECT_EQ(AbsolutePath("x"), std::filesystem::current_path().string() + "/x");
  EXPECT_EQ(ParentPath("/a/b"), "/a");
  EXPECT_EQ(ParentPath("/a"), "/");
  EXPECT_EQ(LastComponent("/a/b.txt"), "b.txt");
  EXPECT_EQ(JoinPath("/", "a"), "/a");
  EXPECT_EQ(JoinPath("/x", "a"), "/x/a");
}

struct FolderCase {
  const char* name;
  PlatformFolder which;
  bool local;
  std::function<void(const ScopedHome&)> arrange;
  std::function<std::string(const ScopedHome&)> expected;
};

TEST(PlatformFiles, WellKnownFoldersFollowTheXdgFolders) {
  const FolderCase cases[] = {
      {"preferences", kPreferencesFolderType, false, [](const ScopedHome&) {},
       [](const ScopedHome& h) { return h.Home() + "/.config/Halvane"; }},
      {"preferences without XDG_CONFIG_HOME", kPreferencesFolderType, false,
       [](const ScopedHome&) { unsetenv("XDG_CONFIG_HOME"); },
       [](const ScopedHome& h) { return h.Home() + "/.config/Halvane"; }},
      {"relative XDG_CONFIG_HOME is ignored", kPreferencesFolderType, false,
       [](const ScopedHome&) { setenv("XDG_CONFIG_HOME", "rel/conf", 1); },
       [](const ScopedHome& h) { return h.Home() + "/.config/Halvane"; }},
      {"local preferences", kPreferencesFolderType, true,
       [](const ScopedHome& h) { setenv("XDG_CONFIG_DIRS", ("rel:" + h.Folder() / "etc" + ":/nowhere").c_str(), 1); },
       [](const ScopedHome& h) { return h.Folder() / "etc/Halvane"; }},
      {"application support", kApplicationSupportFolderType, false,
       [](const ScopedHome& h) { setenv("XDG_DATA_HOME", (h.Folder() / "data").c_str(), 1); },
       [](const ScopedHome& h) { return h.Folder() / "data"; }},
      {"desktop from user-dirs.dirs", kDesktopFolderType, false,
       [](const ScopedHome& h) {
         h.Folder().Write("home/.config/user-dirs.dirs",
                          "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
         h.Folder().MakeFolder("home/Bureau");
       },
       [](const ScopedHome& h) { return h.Home() + "/Bureau"; }},
      {"configured desktop missing", kDesktopFolderType, false,
       [](const ScopedHome& h) {
         h.Folder().Write("home/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"/no/such/desktop\"\n");
         h.Folder().MakeFolder("home/Desktop");
       },
       [](const ScopedHome& h) { return h.Home(); }},
      {"default desktop", kDesktopFolderType, false, [](const ScopedHome& h) { h.Folder().MakeFolder("home/Desktop"); },
       [](const ScopedHome& h) { return h.Home() + "/Desktop"; }},
      {"no desktop at all", kDesktopFolderType, false, [](const ScopedHome&) {},
       [](const ScopedHome& h) { return h.Home(); }},
      {"trash", kTrashFolderType, false, [](const ScopedHome&) {},
       [](const ScopedHome& h) { return h.Home() + "/.local/share/Trash"; }},
      {"temporary", kTemporaryFolderType, false, [](const ScopedHome&) {},
       [](const ScopedHome& h) { return h.Folder() / "tmp"; }},
      {"missing TMPDIR", kTemporaryFolderType, false, [](const ScopedHome&) { setenv("TMPDIR", "/no/such/tmp", 1); },
       [](const ScopedHome&) { return std::string("/tmp"); }},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedHome home;
    ScopedEnv dirs("XDG_CONFIG_DIRS", nullptr);
    c.arrange(home);
    FSRef folder;
    ASSERT_EQ(PlatformFindFolder(c.which, c.local, c.which != kDesktopFolderType, &folder), noErr);
    EXPECT_EQ(folder.path, c.expected(home));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path));
    if (c.which == kTrashFolderType) {
      EXPECT_TRUE(std::filesystem::is_directory(folder.path + "/files"));
      EXPECT_TRUE(std::filesystem::is_directory(folder.path + "/info"));
    }
  }
}

TEST(PlatformFiles, AFolderThatMayNotBeMadeIsNotFound) {
  ScopedHome home;
  FSRef folder;
  EXPECT_EQ(PlatformFindFolder(kPreferencesFolderType, false, false, &folder), fnfErr);
  home.Folder().Write("blocker", "a file where a folder should be");
  ScopedEnv config("XDG_CONFIG_HOME", (home.Folder() / "blocker").c_str());
  EXPECT_NE(PlatformFindFolder(kPreferencesFolderType, false, true, &folder), noErr);
}

TEST(PlatformFiles, ItemsAreListedInByteOrderAndMovesNeverReplace) {
  TempFolder folder;
  for (const char* name : {"b", "B", "a", "a b", "_"}) folder.Write(name, name);
  std::vector<std::string> names;
  ASSERT_EQ(PlatformListFolder(FSRef{folder.Path()}, &names), noErr);
  EXPECT_EQ(names, (std::vector<std::string>{"B", "_", "a", "a b", "b"}));
  EXPECT_EQ(PlatformListFolder(FSRef{folder / "none"}, &names), fnfErr);

  EXPECT_EQ(PlatformMove(FSRef{folder / "a"}, FSRef{folder / "b"}), dupFNErr);
  EXPECT_EQ(ReadWholeFile(folder / "b"), "b");
  folder.MakeFolder("dir");
  folder.MakeFolder("dir2");
  EXPECT_EQ(PlatformMove(FSRef{folder / "dir"}, FSRef{folder / "dir2"}), dupFNErr);
  EXPECT_EQ(PlatformMove(FSRef{folder / "dir"}, FSRef{folder / "dir3"}), noErr);
  EXPECT_EQ(PlatformMove(FSRef{folder / "a"}, FSRef{folder / "c"}), noErr);
  EXPECT_EQ(ReadWholeFile(folder / "c"), "a");
  EXPECT_EQ(PlatformCreateFile(FSRef{folder / "c"}), dupFNErr);
  EXPECT_EQ(PlatformCreateFolder(FSRef{folder / "dir2"}), dupFNErr);
  folder.Write("dir2/x", "");
  EXPECT_EQ(PlatformDelete(FSRef{folder / "dir2"}), fBsyErr);
}

TEST(PlatformFiles, LinksResolveAndDanglingOnesAreNotFound) {
  TempFolder folder;
  std::string target = folder.Write("target", "t");
  ASSERT_EQ(symlink(target.c_str(), (folder / "link").c_str()), 0);
  ASSERT_EQ(symlink((folder / "gone").c_str(), (folder / "dangling").c_str()), 0);
  bool alias = false;
  FSRef resolved;
  ASSERT_EQ(PlatformResolveAlias(FSRef{folder / "link"}, &alias, &resolved), noErr);
  EXPECT_TRUE(alias);
  EXPECT_EQ(resolved.path, target);
  ASSERT_EQ(PlatformResolveAlias(FSRef{target}, &alias, &resolved), noErr);
  EXPECT_FALSE(alias);
  EXPECT_EQ(PlatformResolveAlias(FSRef{folder / "dangling"}, &alias, &resolved), fnfErr);
}

TEST(PlatformFiles, LocksOpenDescriptorsAndTheProgramsOwnFile) {
  TempFolder folder;
  std::string path = folder.Write("locked", "x");
  EXPECT_EQ(PlatformCheckWritable(FSRef{path}), noErr);
  chmod(path.c_str(), 0444);
  EXPECT_EQ(PlatformCheckWritable(FSRef{path}), fLckdErr);
  EXPECT_EQ(PlatformCheckWritable(FSRef{folder / "none"}), fnfErr);

  SInt32 before = PlatformOpenDescriptorCount();
  int fd = open(path.c_str(), O_RDONLY);
  EXPECT_EQ(PlatformOpenDescriptorCount(), before + 1);
  close(fd);
  EXPECT_EQ(PlatformOpenDescriptorCount(), before);

  EXPECT_EQ(LastComponent(PlatformExecutablePath()), "test_platform");
}

TEST(PlatformFiles, ReadingOpensOnlyRegularFilesAndNeverWaits) {
  TempFolder folder;
  std::string file = folder.Write("Prefs.plist", "text");
  std::string pipe = folder / "Pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  struct Case {
    std::string path;
    bool opens;
    int error;
  } cases[] = {
      {file, true, 0},
      {pipe, false, EINVAL},
      {folder.Path(), false, EINVAL},
      {folder / "Missing", false, ENOENT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    errno = 0;
    FILE* opened = OpenRegularFileForReading(c.path);
    EXPECT_EQ(opened != nullptr, c.opens);
    if (opened) {
      char text[8] = {};
      EXPECT_EQ(std::fread(text, 1, sizeof text, opened), 4u);
      EXPECT_EQ(std::string(text), "text");
      std::fclose(opened);
    } else {
      EXPECT_EQ(errno, c.error);
    }
  }
  // A read fork on a named pipe opens at once and holds nothing.
  SInt16 fork = -1;
  ASSERT_EQ(PlatformOpenFork(FSRef{pipe}, false, &fork), noErr);
  SInt64 length = -1;
  EXPECT_EQ(PlatformForkLength(fork, &length), noErr);
  EXPECT_EQ(length, 0);
  PlatformCloseFork(fork);
}

}  // namespace
