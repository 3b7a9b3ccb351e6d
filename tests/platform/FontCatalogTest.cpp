#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/FontCatalog.h"
#include "platform/PlatformSystem.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

const char kSystemFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Added {
  std::string folder;
  std::string family;  // found afterwards by its file name
};

bool AddAndFind(void* data) {
  auto* added = static_cast<Added*>(data);
  FontFace face;
  return AddProcessFontFolder(added->folder) && FindFontFamily(added->family, &face) &&
         face.path.find(added->folder) == 0;
}

// A folder of fonts that also holds what no font reader may open (a named
// pipe blocks the open for good) or walk (a link back up): the fonts are
// added, the rest passed over. Run in a child, so that a hang fails the
// test instead of stopping it.
TEST(FontCatalog, AProcessFontFolderAddsItsFontsAndPassesOverTheRest) {
  if (!fs::exists(kSystemFont)) GTEST_SKIP() << kSystemFont << " is not installed";
  struct Case {
    const char* what;
    void (*place)(const std::string& folder);
  } cases[] = {
      {"a named pipe named like a font",
       [](const std::string& f) { ASSERT_EQ(mkfifo((f + "/Pipe.ttf").c_str(), 0600), 0); }},
      {"a named pipe in a subfolder, and a link to it",
       [](const std::string& f) {
         fs::create_directories(f + "/more");
         ASSERT_EQ(mkfifo((f + "/more/Pipe.otf").c_str(), 0600), 0);
         fs::create_symlink(f + "/more/Pipe.otf", f + "/Link.ttf");
       }},
      {"a link from a subfolder back to the folder",
       [](const std::string& f) {
         fs::create_directories(f + "/more");
         fs::create_directory_symlink(f, f + "/more/up");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder temp;
    const std::string folder = temp / "Fonts";
    fs::create_directories(folder + "/deep");
    fs::copy_file(kSystemFont, folder + "/deep/Our Rounded.ttf");
    c.place(folder);
    Added added{folder, "our rounded"};
    EXPECT_TRUE(PlatformRunIsolated(AddAndFind, &added, 20.0)) << "the folder's font was not added in time";
  }
}

TEST(FontCatalog, AFolderThatCannotBeReadIsRefused) {
  TempFolder temp;
  EXPECT_FALSE(AddProcessFontFolder(temp / "missing"));
  std::FILE* f = std::fopen((temp / "file").c_str(), "w");
  ASSERT_TRUE(f);
  std::fclose(f);
  EXPECT_FALSE(AddProcessFontFolder(temp / "file"));
}

}  // namespace
