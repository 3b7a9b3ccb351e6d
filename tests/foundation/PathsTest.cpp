#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "foundation/Paths.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

std::string Cwd() { return std::filesystem::current_path().string(); }

TEST(Paths, LastPathItemWithAndWithoutExtension) {
  const struct {
    const char* path;
    unsigned char withExtension;
    const char* item;
  } cases[] = {{"/a/b/Title.png", 0, "Title"},
               {"/a/b/Title.png", 1, "Title.png"},
               {"name", 0, "name"},
               {"/a.b/c", 0, "c"},
               {"x.tar.gz", 0, "x.tar"},
               {"/a/b/", 0, ""},
               {"", 1, ""}};
  for (auto c : cases)
    EXPECT_EQ(LastPathItem(c.path, c.withExtension), c.item) << c.path << " " << int(c.withExtension);
}

TEST(Paths, ConversionsBetweenPathsAndReferences) {
  TempFolder folder;
  std::string file = folder.Write("f.txt", "x");
  EXPECT_STREQ(PathStr(), "/");
  FSRef ref = FSRefOfPath(file.c_str());
  EXPECT_EQ(ref.path, file);
  EXPECT_EQ(PathOfFSRef(&ref), file);
  EXPECT_EQ(FSRefOfPath((folder / "none").c_str()).path, "");
  FSRef missing{folder / "none"};
  EXPECT_EQ(PathOfFSRef(&missing), "");
  EXPECT_EQ(PathOfFSRef(nullptr), "");
  EXPECT_EQ(FileClassOfPath(file.c_str()).ref.path, file);

  std::string deep = folder.Path();
  for (int i = 0; i < 30; i++) deep += "/" + std::string(60, char('a' + i % 26));
  std::filesystem::create_directories(deep);  // far past 1,024 bytes
  FSRef longRef = FSRefOfPath(deep.c_str());
  EXPECT_EQ(PathOfFSRef(&longRef), deep);

  EXPECT_EQ(UnicodePath(""), "");
  EXPECT_EQ(UnicodePath("/a\\b/c"), "/a/b/c");
  EXPECT_EQ(UnicodePath("rel"), Cwd() + "/rel");
  EXPECT_EQ(ApplescriptPath("/a/b"), "");
}

TEST(Paths, BundleFoldersFollowTheBundlePath) {
  SetBundlePathForTesting("/Applications/Game.app");
  EXPECT_EQ(GetBundlePath(), "/Applications/Game.app");
  EXPECT_EQ(MacOSGetBundlePath(), "/Applications/Game.app");
  EXPECT_EQ(GetResourcesPath(), "/Applications/Game.app/Contents/Resources");
  SetBundlePathForTesting(nullptr);
  // A test program is no bundle.
  EXPECT_EQ(GetBundlePath(), "");

  ScopedHome home;
  EXPECT_EQ(GetPreferencesPath(), home.Home() + "/.config/Halvane");
  EXPECT_TRUE(std::filesystem::is_directory(GetPreferencesPath()));
}

TEST(Paths, BundleLocationAndExecutable) {
  RecordingDialogs dialogs;
  TempFolder folder;
  folder.Write("Game.app/Contents/bin/game", "");
  FileClass bundle;
  bundle.ref.path = folder / "Game.app";
  GetApplicationBundleLocation(&bundle, nullptr);
  EXPECT_EQ(bundle.ref.path, folder / "Game.app");
  GetBundleResourceFile(&bundle);
  EXPECT_EQ(bundle.ref.path, folder / "Game.app/Contents/bin/game");

  FileClass empty;
  GetBundleResourceFile(&empty);
  EXPECT_EQ(dialogs.Reports().back().message, "The fileUrl is nil.");
  EXPECT_THROW(GetApplicationBundleLocation(&empty, nullptr), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The file URL is nil.");
  EXPECT_EQ(dialogs.Reports().back().detail, "GetApplicationBundleLocation()");
}

class CurrentFolder : public testing::Test {
 protected:
  void SetUp() override {
    start = Cwd();
    PushDirectory();
    a = folder.MakeFolder("a");
    b = folder.MakeFolder("a/b");
    file = folder.Write("a/b/file", "");
  }
  void TearDown() override {
    PopDirectory();
    EXPECT_EQ(Cwd(), start);
  }
  TempFolder folder;
  std::string start, a, b, file;
};

TEST_F(CurrentFolder, SwitchingMovesTheWorkingDirectoryAndTheDefaultFolder) {
  EXPECT_EQ(SwitchToFileParent(file.c_str()), 1);
  EXPECT_EQ(Cwd(), b);
  EXPECT_EQ(DefaultFolder().path, b);
  EXPECT_EQ(SwitchToFileParent("file"), 0);
  EXPECT_EQ(Cwd(), b);
  EXPECT_EQ(SwitchToFolder(""), 0);
  EXPECT_EQ(SwitchToFolder(a.c_str()), 1);
  EXPECT_EQ(Cwd(), a);

  FSRef bRef{b};
  EXPECT_EQ(SwitchToFolder(&bRef), 1);
  EXPECT_EQ(Cwd(), b);
  FSRef fileRef{file};
  EXPECT_EQ(SwitchToFileParent(&fileRef), 0);
  EXPECT_EQ(Cwd(), b);
}

TEST_F(CurrentFolder, SetDefaultRefusesWhatIsNoFolder) {
  FSRef aRef{a}, fileRef{file}, missing{folder / "none"};
  ASSERT_EQ(QKSetDefault(&aRef, nullptr), noErr);
  FSRef previous;
  EXPECT_EQ(QKSetDefault(nullptr, &previous), paramErr);
  EXPECT_EQ(QKSetDefault(&fileRef, &previous), dirNFErr);
  EXPECT_EQ(QKSetDefault(&missing, &previous), fnfErr);
  EXPECT_EQ(DefaultFolder().path, a);
  FSRef bRef{b};
  EXPECT_EQ(QKSetDefault(&bRef, &previous), noErr);
  EXPECT_EQ(previous.path, a);

  EXPECT_EQ(RealignCWD(), 0);
  EXPECT_EQ(Cwd(), b);
  ASSERT_EQ(chdir(a.c_str()), 0);
  EXPECT_EQ(RealignDefaultFolder(), noErr);
  EXPECT_EQ(DefaultFolder().path, a);
}

TEST_F(CurrentFolder, StacksRestoreInOrderAndIgnoreEmptyPops) {
  SwitchToFolder(a.c_str());
  PushDirectory();
  SwitchToFolder(b.c_str());
  PushCWD();
  ASSERT_EQ(chdir(folder.Path().c_str()), 0);
  PopCWD();
  EXPECT_EQ(Cwd(), b);
  PopDirectory();
  EXPECT_EQ(Cwd(), a);
  EXPECT_EQ(DefaultFolder().path, a);
}

TEST(CurrentFolderStacks, PoppingNothingChangesNothing) {
  std::string before = Cwd();
  FSRef defaultBefore = DefaultFolder();
  PopDirectory();
  PopCWD();
  PopDefaultFolder();
  EXPECT_EQ(Cwd(), before);
  EXPECT_EQ(DefaultFolder().path, defaultBefore.path);
}

}  // namespace
