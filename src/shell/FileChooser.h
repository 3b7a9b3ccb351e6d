// The engine's own open and save dialogs, behind GetOpenFile and GetNewFile:
// the folders and files of one folder as buttons (a folder opens, a file is
// chosen), a button up to the enclosing folder, pages of entries, a name
// field for saving, a filter by type, and Cancel. Built on the dialog model
// and shown through the dialog presenter, one view per step.
#pragma once

#include <string>
#include <vector>

#include "platform/PlatformFiles.h"
#include "platform/PlatformTypes.h"

// Command codes of the chooser's buttons; entry i of the page shown answers
// kChooserEntry + i.
enum : UInt32 {
  kChooserUp = FOUR_CHAR('f', 'c', 'u', 'p'),
  kChooserPrevious = FOUR_CHAR('f', 'c', 'p', 'v'),
  kChooserNext = FOUR_CHAR('f', 'c', 'n', 'x'),
  kChooserFilter = FOUR_CHAR('f', 'c', 'f', 't'),
  kChooserName = FOUR_CHAR('f', 'c', 'n', 'm'),
  kChooserEntry = FOUR_CHAR('f', 'l', 0, 0),
};
constexpr int kChooserPageSize = 8;

// Makes GetOpenFile and GetNewFile ask through the chooser.
void InstallFileChooser();
// The folder the next chooser opens in: the last one a choice was made in,
// else the Desktop (or the current folder when there is none).
void SetChooserFolder(const std::string& folder);
std::string ChooserFolder();

// One item as the chooser lists it: folders first, then files, each in
// name order without regard to case; hidden items (a leading '.') are left
// out, and so are files that no type of `types` matches, unless `types` is
// empty.
struct ChooserEntry {
  std::string name;  // as on disk (UTF-8)
  bool folder;
};
std::vector<ChooserEntry> ChooserEntries(const std::string& folder, const std::vector<OSType>& types);
// A file's type by its name's extension ('TEXT' for ".txt", 'PNGf' for
// ".png", ...); 0 when it has none that the chooser knows. A type of 0 or
// '****' matches every file.
OSType FileTypeOfName(const std::string& name);

// The chooser as the file layer's back end: 0 with the choice, or
// userCanceledErr.
OSErr ChooseFileToSave(const unsigned char* message, const unsigned char* defaultName, FSRef* folder, Str255 name);
OSErr ChooseFileToOpen(const OSType* types, SInt16 count, FSRef* item);
