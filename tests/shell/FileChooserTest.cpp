#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ShellFixture.h"
#include "foundation/FileClass.h"
#include "foundation/FileUtilities.h"
#include "foundation/StringLibrary.h"
#include "platform/KeyCodes.h"
#include "shell/FileChooser.h"
#include "support/ScriptedDialogPresenter.h"
#include "support/TempFolder.h"

namespace {

const OSType kText = FOUR_CHAR('T', 'E', 'X', 'T');

// A folder of folders and files, the chooser installed and opening there.
class FileChooserTest : public ShellTest {
 protected:
  FileChooserTest() {
    folder.MakeFolder("Alpha");
    folder.Write("Alpha/inner.txt", "in");
    folder.Write("beta.txt", "b");
    folder.Write("Gamma.png", "g");
    folder.Write("notes", "n");
    folder.Write(".hidden", "h");
    folder.MakeFolder("zeta");
    InstallFileChooser();
    SetChooserFolder(folder.Path());
  }
  ~FileChooserTest() override {
    SetFileDialogBackEnd(nullptr);
    SetChooserFolder("");
  }
  // The titles of the entries of a view, in order.
  static std::vector<std::string> Entries(const DialogView& view) {
    std::vector<std::string> titles;
    for (const DialogView::Button& b : view.buttons)
      if (b.command >= kChooserEntry && b.command < kChooserEntry + kChooserPageSize) titles.push_back(b.title);
    return titles;
  }
  static const DialogView::Button* ButtonOf(const DialogView& view, UInt32 command) {
    for (const DialogView::Button& b : view.buttons)
      if (b.command == command) return &b;
    return nullptr;
  }

  TempFolder folder;
  ScriptedDialogPresenter presenter;
};

TEST_F(FileChooserTest, EntriesListFoldersFirstInNameOrderAndFollowTheTypes) {
  struct Case {
    const char* name;
    std::vector<OSType> types;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"every file", {}, {"Alpha", "zeta", "beta.txt", "Gamma.png", "notes"}},
      {"text only", {kText}, {"Alpha", "zeta", "beta.txt"}},
      {"text or picture", {kText, FOUR_CHAR('P', 'N', 'G', 'f')}, {"Alpha", "zeta", "beta.txt", "Gamma.png"}},
      {"any type", {FOUR_CHAR('*', '*', '*', '*')}, {"Alpha", "zeta", "beta.txt", "Gamma.png", "notes"}},
      {"a type nothing has", {FOUR_CHAR('M', 'o', 'o', 'V')}, {"Alpha", "zeta"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> names;
    for (const ChooserEntry& e : ChooserEntries(folder.Path(), c.types)) names.push_back(e.name);
    EXPECT_EQ(names, c.names);
  }
  EXPECT_TRUE(ChooserEntries(folder / "missing", {}).empty());
}

// Into a folder, up again, then a file: GetOpenFile answers 1 with the
// file open.
TEST_F(FileChooserTest, OpenGoesIntoAFolderAndUpAndPicksAFile) {
  presenter.ClickTitle("Alpha/");
  presenter.ClickTitle("Up");
  presenter.ClickTitle("Gamma.png");
  FileClass file;
  EXPECT_EQ(GetOpenFile(nullptr, 0, &file, 0, 0), 1);
  EXPECT_EQ(presenter.misses, 0);
  EXPECT_EQ(file.ref.path, folder / "Gamma.png");
  EXPECT_TRUE(file.open);
  CloseFile(&file);
  ASSERT_EQ(presenter.shown.size(), 3u);
  EXPECT_EQ(Entries(presenter.shown[0]),
            (std::vector<std::string>{"Alpha/", "zeta/", "beta.txt", "Gamma.png", "notes"}));
  EXPECT_EQ(Entries(presenter.shown[1]), std::vector<std::string>{"inner.txt"});
  EXPECT_NE(std::find(presenter.shown[1].texts.begin(), presenter.shown[1].texts.end(), folder / "Alpha"),
            presenter.shown[1].texts.end());
  EXPECT_EQ(Entries(presenter.shown[2]), Entries(presenter.shown[0]));
  // The next chooser opens where this one chose.
  EXPECT_EQ(ChooserFolder(), folder.Path());
}

// The name field holds the default name, selected: typing replaces it.
TEST_F(FileChooserTest, SaveTakesATypedNameInTheFolderShown) {
  presenter.ClickTitle("Alpha/");
  presenter.Type("Report.txt");
  presenter.Key(13);
  FileClass file;
  EXPECT_EQ(GetNewFile(kText, FOUR_CHAR('H', 'L', 'V', 'N'), &file, PStr("Save the notes as:"), PStr("Untitled"), 0),
            1);
  EXPECT_EQ(presenter.misses, 0);
  EXPECT_EQ(file.ref.path, folder / "Alpha/Report.txt");
  EXPECT_TRUE(file.open);
  CloseFile(&file);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "Alpha/Report.txt"));
  ASSERT_FALSE(presenter.shown.empty());
  EXPECT_EQ(presenter.shown[0].texts.front(), "Save the notes as:");
  EXPECT_EQ(presenter.shown[0].buttons.back().title, "Cancel");
}

// A click on a file puts its name in the field; an empty or unusable name
// beeps and the chooser stays.
TEST_F(FileChooserTest, SaveNamesComeFromFilesAndBadNamesBeep) {
  presenter.Key(8);   // the selected default name is deleted
  presenter.Key(13);  // nothing to save as: a beep
  presenter.Type("a/b");
  presenter.Key(13);  // no slashes in a name: a beep
  presenter.ClickTitle("beta.txt");
  presenter.Key(13);
  FileClass file;
  EXPECT_EQ(GetNewFile(kText, FOUR_CHAR('H', 'L', 'V', 'N'), &file, PStr(""), PStr("Untitled"), 0), 1);
  EXPECT_EQ(presenter.misses, 0);
  EXPECT_EQ(platform.beeps, 2);
  EXPECT_EQ(file.ref.path, folder / "beta.txt");
  EXPECT_FALSE(file.open) << "an existing file is not replaced without being asked to";
  EXPECT_EQ(ReadWholeFile(folder / "beta.txt"), "b");
  EXPECT_EQ(presenter.shown[0].texts.front(), "Save as:");
}

// The type filter hides what does not match until the user asks for all
// files.
TEST_F(FileChooserTest, TheTypeFilterCanBeLifted) {
  presenter.ClickCommand(kChooserFilter);
  presenter.ClickTitle("Gamma.png");
  FSRef item;
  EXPECT_EQ(ChooseFileToOpen(&kText, 1, &item), noErr);
  EXPECT_EQ(item.path, folder / "Gamma.png");
  ASSERT_EQ(presenter.shown.size(), 2u);
  EXPECT_EQ(Entries(presenter.shown[0]), (std::vector<std::string>{"Alpha/", "zeta/", "beta.txt"}));
  EXPECT_EQ(ButtonOf(presenter.shown[0], kChooserFilter)->title, "Show All Files");
  EXPECT_EQ(ButtonOf(presenter.shown[1], kChooserFilter)->title, "Show Matching Files");
  EXPECT_EQ(Entries(presenter.shown[1]).size(), 5u);
  // With no types (or only codes that match everything) there is nothing
  // to filter.
  const OSType any[] = {0, 0};
  presenter.ClickTitle("Cancel");
  EXPECT_EQ(ChooseFileToOpen(any, 2, &item), userCanceledErr);
  EXPECT_EQ(ButtonOf(presenter.shown.back(), kChooserFilter), nullptr);
}

TEST_F(FileChooserTest, CancelAndEscapeAnswerTwo) {
  FileClass file;
  presenter.ClickTitle("Alpha/");
  presenter.ClickTitle("Cancel");
  EXPECT_EQ(GetOpenFile(nullptr, 0, &file, 0, 0), 2);
  presenter.Key(keychar::kEscape);
  EXPECT_EQ(GetNewFile(kText, FOUR_CHAR('H', 'L', 'V', 'N'), &file, PStr(""), PStr("Untitled"), 0), 2);
  EXPECT_EQ(presenter.misses, 0);
  EXPECT_FALSE(std::filesystem::exists(folder / "Untitled"));
  // A presenter that gives up is a cancel too.
  EXPECT_EQ(GetOpenFile(nullptr, 0, &file, 0, 0), 2);
  EXPECT_EQ(presenter.misses, 1);
}

// Entries come a page at a time; Up is off at the top of the disk.
TEST_F(FileChooserTest, PagesAndTheTop) {
  for (int i = 0; i < 10; i++) folder.Write("many/file" + std::to_string(i), "");
  SetChooserFolder(folder / "many");
  presenter.ClickCommand(kChooserNext);
  presenter.ClickCommand(kChooserPrevious);
  presenter.ClickTitle("Cancel");
  FSRef item;
  EXPECT_EQ(ChooseFileToOpen(nullptr, 0, &item), userCanceledErr);
  ASSERT_EQ(presenter.shown.size(), 3u);
  EXPECT_EQ(Entries(presenter.shown[0]).size(), size_t(kChooserPageSize));
  EXPECT_FALSE(ButtonOf(presenter.shown[0], kChooserPrevious)->enabled);
  EXPECT_TRUE(ButtonOf(presenter.shown[0], kChooserNext)->enabled);
  EXPECT_EQ(Entries(presenter.shown[1]), (std::vector<std::string>{"file8", "file9"}));
  EXPECT_FALSE(ButtonOf(presenter.shown[1], kChooserNext)->enabled);
  EXPECT_EQ(Entries(presenter.shown[2]), Entries(presenter.shown[0]));

  SetChooserFolder("/");
  presenter.ClickTitle("Cancel");
  EXPECT_EQ(ChooseFileToOpen(nullptr, 0, &item), userCanceledErr);
  EXPECT_FALSE(ButtonOf(presenter.shown.back(), kChooserUp)->enabled);
}

// Names the field cannot show (not Mac Roman) all show as "??.txt": a click
// saves to the file clicked, by its real name; typing the shown name cannot
// tell them apart and is refused with a message, and nothing is written.
TEST_F(FileChooserTest, ANameTheFieldCannotShowIsSavedAsTheFileClicked) {
  const std::vector<std::string> names = {"\xe6\x97\xa5\xe6\x9c\xac.txt", "\xe6\x97\xa5\xe6\x9c\xa8.txt",
                                          "\xff\xfe.txt"};
  for (const std::string& n : names) folder.Write("odd/" + n, n);
  SetChooserFolder(folder / "odd");
  std::vector<ChooserEntry> listed = ChooserEntries(folder / "odd", {});
  ASSERT_EQ(listed.size(), 3u);
  for (size_t i = 0; i < listed.size(); ++i) {
    SCOPED_TRACE(i);
    presenter.ClickCommand(kChooserEntry + UInt32(i));
    presenter.Key(13);
    FileClass file;
    EXPECT_EQ(GetNewFile(kText, FOUR_CHAR('H', 'L', 'V', 'N'), &file, PStr(""), PStr("Untitled"), 0), 1);
    EXPECT_EQ(presenter.misses, 0);
    EXPECT_EQ(file.ref.path, folder / ("odd/" + listed[i].name));
    CloseFile(&file);
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "odd/??.txt"));

  // Typed, the shown name is refused with a message; another name is taken.
  presenter.shown.clear();
  presenter.Type("??.txt");
  presenter.Key(13);
  presenter.Type("plain.txt");
  presenter.Key(13);
  FileClass file;
  EXPECT_EQ(GetNewFile(kText, FOUR_CHAR('H', 'L', 'V', 'N'), &file, PStr(""), PStr("Untitled"), 0), 1);
  EXPECT_EQ(presenter.misses, 0);
  EXPECT_EQ(file.ref.path, folder / "odd/plain.txt");
  CloseFile(&file);
  EXPECT_EQ(platform.beeps, 0);
  ASSERT_EQ(dialogs.Reports().size(), 1u) << "no message for the name that could mean either file";
  EXPECT_EQ(dialogs.Reports()[0].kind, DialogReport::Alert);
  EXPECT_NE(dialogs.Reports()[0].message.find("cannot be told apart"), std::string::npos)
      << dialogs.Reports()[0].message;
  EXPECT_FALSE(std::filesystem::exists(folder / "odd/??.txt"));
  for (const std::string& n : names) EXPECT_EQ(ReadWholeFile(folder / ("odd/" + n)), n);

  // Clicked, then typed over: the typed name is the one saved.
  presenter.ClickCommand(kChooserEntry);
  presenter.Key(8);
  presenter.Type("typed.txt");
  presenter.Key(13);
  EXPECT_EQ(GetNewFile(kText, FOUR_CHAR('H', 'L', 'V', 'N'), &file, PStr(""), PStr("Untitled"), 0), 1);
  EXPECT_EQ(file.ref.path, folder / "odd/typed.txt");
  CloseFile(&file);
}

// A folder is listed once while it is shown, not again for each page: a
// file that comes meanwhile shows once the folder is opened again.
TEST_F(FileChooserTest, AFolderIsListedOnceWhileItIsShown) {
  for (int i = 0; i < 10; i++) folder.Write("many/file" + std::to_string(i), "");
  SetChooserFolder(folder / "many");
  presenter.Do([this](const DialogView& view) {
    folder.Write("many/file99", "");
    for (size_t i = 0; i < view.buttons.size(); ++i)
      if (view.buttons[i].command == kChooserNext) return DialogAction{DialogAction::Click, int(i), 0, 0, nullptr, 0};
    return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
  });
  presenter.ClickCommand(kChooserUp);
  presenter.ClickTitle("many/");
  presenter.ClickCommand(kChooserNext);
  presenter.ClickTitle("Cancel");
  FSRef item;
  EXPECT_EQ(ChooseFileToOpen(nullptr, 0, &item), userCanceledErr);
  EXPECT_EQ(presenter.misses, 0);
  ASSERT_EQ(presenter.shown.size(), 5u);
  EXPECT_EQ(Entries(presenter.shown[1]), (std::vector<std::string>{"file8", "file9"}));
  EXPECT_EQ(Entries(presenter.shown[4]), (std::vector<std::string>{"file8", "file9", "file99"}));
}

}  // namespace
