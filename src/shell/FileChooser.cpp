#include "shell/FileChooser.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "foundation/ErrorDialog.h"
#include "foundation/FileClass.h"
#include "foundation/FileUtilities.h"
#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "foundation/TextEncodings.h"
#include "shell/DialogLibrary.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/StandardDialog.h"

namespace {

std::string chooserFolder;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

bool IsFolder(const std::string& path) {
  FSCatalogInfo info;
  return PlatformGetCatalogInfo(FSRef{path}, true, &info) == noErr && (info.nodeFlags & kCatalogNodeIsFolder);
}

bool Matches(const std::string& name, const std::vector<OSType>& types) {
  if (types.empty()) return true;
  const OSType type = FileTypeOfName(name);
  for (OSType t : types)
    if (t == 0 || t == FOUR_CHAR('*', '*', '*', '*') || (type != 0 && t == type)) return true;
  return false;
}

// A filter worth offering: some type that does not match everything.
bool Filters(const std::vector<OSType>& types) {
  for (OSType t : types)
    if (t != 0 && t != FOUR_CHAR('*', '*', '*', '*')) return true;
  return false;
}

// A Mac Roman string of at most 255 characters, for a title or a field.
void ToPString(const std::string& macRoman, unsigned char* p) {
  const size_t n = std::min<size_t>(macRoman.size(), 255);
  p[0] = UInt8(n);
  std::copy(macRoman.begin(), macRoman.begin() + SInt32(n), p + 1);
}

// One step of a chooser: what it shows now.
struct Chooser {
  bool save = false;
  std::string prompt;  // Mac Roman
  std::vector<OSType> types;
  std::string folder;
  int page = 0;
  bool showAll = false;
  std::string name;  // the save name as typed (Mac Roman)
  // The file last clicked while saving: its name on disk, and that name as
  // the field shows it. A name the field cannot show (not Mac Roman) is
  // saved as it is on disk while the field still shows it so.
  std::string picked, pickedShown;
};

ControlRef AddControl(WindowRef window, Rect r, SInt16 proc, const std::string& title, UInt32 command) {
  Str255 text;
  ToPString(title, text);
  ControlRef c = NewDialogControl(window, &r, proc, text, 0, 0, 1);
  if (c) c->command = command;
  return c;
}

// Shows one view of the chooser and answers the command of the button that
// ended it (Cancel when the presenter gave up).
UInt32 RunView(Chooser& c, const std::vector<ChooserEntry>& entries) {
  const SInt16 width = 440, height = SInt16(c.save ? 360 : 330);
  Rect bounds = DlogPosition(width, height, 0);
  WindowRef window = NewStandardDialog(&bounds, PStr(c.save ? "Save" : "Open"), 0);
  const Rect local{0, 0, height, width};
  AddControl(window, Rect{10, 20, 26, 420}, kStaticTextProc, c.prompt, 0);
  AddControl(window, Rect{30, 20, 46, 420}, kStaticTextProc, ConvertUnicodeToCStr(c.folder.c_str()), 0);
  ControlRef up = AddControl(window, Rect{52, 20, 72, 100}, kPushButtonProc, "Up", kChooserUp);
  if (c.folder == "/") DisableControl(up);
  if (Filters(c.types))
    AddControl(window, Rect{52, 110, 72, 290}, kPushButtonProc, c.showAll ? "Show Matching Files" : "Show All Files",
               kChooserFilter);
  const int first = c.page * kChooserPageSize;
  for (int i = 0; i < kChooserPageSize && first + i < int(entries.size()); ++i) {
    const ChooserEntry& e = entries[size_t(first + i)];
    const SInt16 top = SInt16(80 + 22 * i);
    // Entries are bevel buttons: flat rows of a list that end the step
    // like a push button (and ask for a presenter that draws them so).
    AddControl(window, Rect{top, 20, SInt16(top + 20), 420}, kBevelButtonProc,
               ConvertUnicodeToCStr(e.name.c_str()) + (e.folder ? "/" : ""), kChooserEntry + UInt32(i));
  }
  const SInt16 pager = SInt16(80 + 22 * kChooserPageSize + 6);
  ControlRef previous =
      AddControl(window, Rect{pager, 20, SInt16(pager + 20), 110}, kPushButtonProc, "Previous", kChooserPrevious);
  ControlRef next =
      AddControl(window, Rect{pager, 120, SInt16(pager + 20), 210}, kPushButtonProc, "Next", kChooserNext);
  if (c.page == 0) DisableControl(previous);
  if (first + kChooserPageSize >= int(entries.size())) DisableControl(next);
  ControlRef field = nullptr;
  if (c.save) {
    const SInt16 top = SInt16(pager + 30);
    AddControl(window, Rect{top, 20, SInt16(top + 16), 70}, kStaticTextProc, "Name:", 0);
    field = AddControl(window, Rect{top, 75, SInt16(top + 16), 420}, kEditTextProc, c.name, kChooserName);
    Rect r = ButtonPosition_Dlog(&local, 0);
    SetDefaultControl(NewDialogControl(window, &r, kPushButtonProc, PStr("Save"), 0, 0, 1), 1);
    // The name is selected, so that typing replaces it.
    SetKeyboardFocus(window, field);
    SelectControlText(field, 0, 32767);
  }
  Rect r = ButtonPosition_Dlog(&local, c.save ? 1 : 0);
  SetCancelControl(NewDialogControl(window, &r, kPushButtonProc, PStr("Cancel"), 0, 0, 1), 1);
  dlogPARAMS.bevelDismisses = 1;
  const UInt32 command = RunStandardDialog(window, nullptr, 0);
  if (field) c.name = field->text;
  DisposeDialogWindow(window);
  return command;
}

// A name a file can be created with in a folder.
bool UsableName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos && name.size() <= 255;
}

// A typed name (Mac Roman) that the field would also show for an entry whose
// name on disk is another: saving it could mean either file.
bool ConfusedWithAnEntry(const std::string& typed, const std::string& name, const std::vector<ChooserEntry>& entries) {
  for (const ChooserEntry& e : entries)
    if (e.name != name && ConvertUnicodeToCStr(e.name.c_str()) == typed) return true;
  return false;
}

// Runs the chooser until a choice or Cancel: a file of the folder (open), or
// the folder and a name (save). False when cancelled. A folder is listed
// once while it is shown (again when the filter changes), not for each view.
bool Run(Chooser& c, std::string* chosen) {
  c.folder = ChooserFolder();
  std::vector<ChooserEntry> entries;
  bool listed = false;
  for (;;) {
    if (!listed) {
      entries = ChooserEntries(c.folder, c.showAll ? std::vector<OSType>{} : c.types);
      listed = true;
    }
    c.page = std::clamp(c.page, 0, std::max(0, (int(entries.size()) - 1) / kChooserPageSize));
    const UInt32 command = RunView(c, entries);
    if (command == kHICommandCancel) return false;
    if (command == kChooserUp) {
      c.folder = ParentPath(c.folder);
      c.page = 0;
      c.picked.clear();
      listed = false;
    } else if (command == kChooserPrevious || command == kChooserNext) {
      c.page += command == kChooserNext ? 1 : -1;
    } else if (command == kChooserFilter) {
      c.showAll = !c.showAll;
      c.page = 0;
      listed = false;
    } else if (command == kHICommandOK && c.save) {
      const bool picked = !c.picked.empty() && c.name == c.pickedShown;
      const std::string name = picked ? c.picked : ConvertCStrToUnicode(c.name.c_str());
      if (!UsableName(name)) {
        Beep();
      } else if (!picked && ConfusedWithAnEntry(c.name, name, entries)) {
        const std::string message = "The name \"" + c.name + "\" cannot be told apart from a file in this folder.";
        AlertDialog(message.c_str(), "Click the file in the list to save over it, or type another name.", "OK");
      } else {
        *chosen = name;
        chooserFolder = c.folder;
        return true;
      }
    } else if (command >= kChooserEntry && command < kChooserEntry + kChooserPageSize) {
      const size_t i = size_t(c.page * kChooserPageSize) + (command - kChooserEntry);
      if (i >= entries.size()) continue;
      if (entries[i].folder) {
        c.folder = JoinPath(c.folder, entries[i].name);
        c.page = 0;
        c.picked.clear();
        listed = false;
      } else if (c.save) {
        c.name = ConvertUnicodeToCStr(entries[i].name.c_str());
        c.picked = entries[i].name;
        c.pickedShown = c.name;
      } else {
        *chosen = entries[i].name;
        chooserFolder = c.folder;
        return true;
      }
    }
  }
}

const FileDialogBackEnd chooser = {ChooseFileToSave, ChooseFileToOpen};

}  // namespace

void InstallFileChooser() { SetFileDialogBackEnd(&chooser); }

void SetChooserFolder(const std::string& folder) { chooserFolder = folder; }

std::string ChooserFolder() {
  if (!chooserFolder.empty() && IsFolder(chooserFolder)) return chooserFolder;
  FSRef desktop;
  if (PlatformFindFolder(kDesktopFolderType, false, false, &desktop) == noErr && IsFolder(desktop.path))
    return desktop.path;
  return AbsolutePath(".");
}

OSType FileTypeOfName(const std::string& name) {
  static const struct {
    const char* extension;
    OSType type;
  } kTypes[] = {
      {"txt", FOUR_CHAR('T', 'E', 'X', 'T')},  {"text", FOUR_CHAR('T', 'E', 'X', 'T')},
      {"png", FOUR_CHAR('P', 'N', 'G', 'f')},  {"pct", FOUR_CHAR('P', 'I', 'C', 'T')},
      {"pict", FOUR_CHAR('P', 'I', 'C', 'T')}, {"jpg", FOUR_CHAR('J', 'P', 'E', 'G')},
      {"jpeg", FOUR_CHAR('J', 'P', 'E', 'G')}, {"plist", FOUR_CHAR('p', 'l', 's', 't')},
      {"xml", FOUR_CHAR('T', 'E', 'X', 'T')},  {"ogg", FOUR_CHAR('O', 'g', 'g', 'V')},
      {"mov", FOUR_CHAR('M', 'o', 'o', 'V')},  {"ttf", FOUR_CHAR('t', 'f', 'i', 'l')},
  };
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return 0;
  const std::string extension = Lower(name.substr(dot + 1));
  for (const auto& t : kTypes)
    if (extension == t.extension) return t.type;
  return 0;
}

std::vector<ChooserEntry> ChooserEntries(const std::string& folder, const std::vector<OSType>& types) {
  std::vector<ChooserEntry> entries;
  FileClass where;
  where.ref = FSRef{folder};
  FolderIterator walk(&where);
  FSRef item;
  while (walk.Next(&item) == noErr) {
    const std::string name = LastComponent(item.path);
    if (name.empty() || name[0] == '.') continue;
    const bool isFolder = IsFolder(item.path);
    if (isFolder || Matches(name, types)) entries.push_back(ChooserEntry{name, isFolder});
  }
  // Each name is lowered once, not in every comparison.
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) keys.emplace_back(Lower(entries[i].name), i);
  std::sort(keys.begin(), keys.end(), [&entries](const auto& a, const auto& b) {
    const ChooserEntry &ea = entries[a.second], &eb = entries[b.second];
    if (ea.folder != eb.folder) return ea.folder;
    return a.first != b.first ? a.first < b.first : ea.name < eb.name;
  });
  std::vector<ChooserEntry> sorted;
  sorted.reserve(entries.size());
  for (const auto& k : keys) sorted.push_back(std::move(entries[k.second]));
  return sorted;
}

OSErr ChooseFileToSave(const unsigned char* message, const unsigned char* defaultName, FSRef* folder, Str255 name) {
  Chooser c;
  c.save = true;
  c.prompt = message && message[0] ? std::string(reinterpret_cast<const char*>(message) + 1, message[0]) : "Save as:";
  if (defaultName) c.name.assign(reinterpret_cast<const char*>(defaultName) + 1, defaultName[0]);
  std::string chosen;
  if (!Run(c, &chosen)) return userCanceledErr;
  *folder = FSRef{c.folder};
  ToPString(chosen, name);
  return noErr;
}

OSErr ChooseFileToOpen(const OSType* types, SInt16 count, FSRef* item) {
  Chooser c;
  c.prompt = "Choose a file:";
  if (types && count > 0) c.types.assign(types, types + count);
  std::string chosen;
  if (!Run(c, &chosen)) return userCanceledErr;
  *item = FSRef{JoinPath(c.folder, chosen)};
  return noErr;
}
