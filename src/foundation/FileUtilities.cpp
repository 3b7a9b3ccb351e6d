#include "foundation/FileUtilities.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "platform/PlatformFiles.h"
#include "platform/SafeSave.h"

namespace {

// Gives up on a name after this many tries rather than walk for ever.
constexpr int kMaxUniqueTries = 100000;

std::string TextOf(const unsigned char* name) {
  return name ? std::string(reinterpret_cast<const char*>(name + 1), name[0]) : std::string();
}

void SetText(const std::string& text, unsigned char* name) { CToPStr(text.c_str(), name); }

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The numbering step of UniqueFileName on a name without its extension.
std::string NextName(unsigned char* base, unsigned char numbersOnly, const std::string& extension) {
  SInt32 n = StripCopyCount(base, numbersOnly);
  std::string suffix = n < 0 ? " 1" : n > 0 ? std::to_string(n + 1) : numbersOnly ? " 2" : " copy";
  std::string stem = TextOf(base);
  // The " copy" or " copy " that StripCopyCount left belongs to the suffix.
  size_t marker = n < 0 ? 5 : (n > 0 && !numbersOnly ? 6 : 0);
  suffix = stem.substr(stem.size() - marker) + suffix;
  stem.resize(stem.size() - marker);
  std::string tail = extension.empty() ? suffix : suffix + "." + extension;
  // Shorten the name before its suffix so that the suffix always fits in
  // 255 characters; a cut suffix would leave the name unchanged and the
  // search would never end.
  if (stem.size() + tail.size() > 255) stem.resize(tail.size() < 255 ? 255 - tail.size() : 0);
  return (stem + tail).substr(0, 255);
}

std::string PercentEncoded(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c) || c == '/' || c == '-' || c == '_' ||
                 c == '.' || c == '~';
    if (plain) {
      out += char(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

OSErr WriteTrashInfo(const FSRef& trash, const std::string& name, const std::string& original) {
  char date[32];
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  std::string info = "[Trash Info]\nPath=" + PercentEncoded(original) + "\nDeletionDate=" + date + "\n";
  return SafeSaveFile(JoinPath(trash.path, "info/" + name + ".trashinfo"), info.data(), SInt64(info.size()));
}

// Gives the Trash's item of this name a free name, with its info file.
void RenameTrashedItem(const FSRef& trash, const std::string& name) {
  FSRef item{JoinPath(trash.path, "files/" + name)};
  if (!FSRefIsValid(&item)) return;
  std::string extension;
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) extension = name.substr(dot + 1);
  std::string current = name;
  for (int tries = 0; tries < kMaxUniqueTries; tries++) {
    Str255 base;
    SetText(extension.empty() ? current : current.substr(0, current.size() - extension.size() - 1), base);
    std::string next = NextName(base, 0, extension);
    Str255 text;
    SetText(next, text);
    FSRef renamed = item;
    OSErr err = FSRefRename255(&renamed, text);
    if (err == dupFNErr) {
      current = next;
      continue;
    }
    if (err != noErr) {
      std::string message = "Unable to rename existing file \"" + name + ".\"";
      ErrorDialog(message.c_str(), "", 0, 1);
      return;
    }
    FSRef info{JoinPath(trash.path, "info/" + name + ".trashinfo")};
    PlatformRename(info, FSRef{JoinPath(trash.path, "info/" + next + ".trashinfo")});
    return;
  }
}

OSErr CancelSave(const unsigned char*, const unsigned char*, FSRef*, Str255) { return userCanceledErr; }
OSErr CancelOpen(const OSType*, SInt16, FSRef*) { return userCanceledErr; }
const FileDialogBackEnd cancellingDialogs = {CancelSave, CancelOpen};
const FileDialogBackEnd* fileDialogs = &cancellingDialogs;

void ReportMissing(const char* what, const std::string& name, const char* detail, OSErr code, bool withCode) {
  std::string message = std::string("The ") + what + " \"" + name + "\" could not be found.";
  if (withCode)
    ErrorDialog(message.c_str(), code, 0, 1);
  else
    ErrorDialog(message.c_str(), detail, 0, 1);
}

void ReportUnopened(const std::string& name, const char* detail) {
  std::string message = "The file \"" + name + "\" could not be opened.";
  ErrorDialog(message.c_str(), detail, 0, 1);
}

}  // namespace

Boolean FileNameExists(const unsigned char* name, FileClass* folder) {
  if (!name || !folder) return 0;
  std::string wanted = TextOf(name);
  FolderIterator walk(folder);
  FSRef item;
  while (walk.Next(&item) == noErr) {
    if (LastComponent(item.path) == wanted) return 1;
  }
  return 0;
}

SInt32 StripCopyCount(unsigned char* name, unsigned char numbersOnly) {
  if (!name || name[0] <= 4) return 0;
  int length = name[0];
  if (length >= 5 && TextOf(name).compare(length - 5, 5, " copy") == 0) return -1;
  // Digits must lie after the sixth character, so that " copy " fits
  // before them.
  int last = length;
  while (last >= 1 && IsDigit(name[last])) {
    if (last <= 6) return 0;
    last--;
  }
  int digits = length - last;
  if (!numbersOnly && (digits == 0 || TextOf(name).compare(last - 6, 6, " copy ") != 0)) return 0;
  SInt32 value = 0;
  for (int i = last + 1; i <= length; i++) value = value * 10 + (name[i] - '0');
  name[0] = UInt8(last);
  return value;
}

void UniqueFileName(unsigned char* name, FileClass* folder, unsigned char numbersOnly) {
  if (!folder || !FSRefIsValid(&folder->ref)) {
    ErrorDialog("Source folder is invalid.", "UniqueFileName()", 0, 1);
    return;
  }
  if (!name) {
    ErrorDialog("The file name is nil.", "UniqueFileName()", 0, 1);
    return;
  }
  std::string text = TextOf(name);
  size_t dot = text.rfind('.');
  std::string extension = dot == std::string::npos ? "" : text.substr(dot + 1);
  for (int tries = 0; tries < kMaxUniqueTries && FileNameExists(name, folder); tries++) {
    text = TextOf(name);
    if (!extension.empty() && text.size() > extension.size()) text.resize(text.size() - extension.size() - 1);
    Str255 base;
    SetText(text, base);
    SetText(NextName(base, numbersOnly, extension), name);
  }
}

OSErr MoveToTrash(FileClass* file) {
  FSRef trash;
  if (PlatformFindFolder(kTrashFolderType, false, true, &trash) != noErr) {
    ErrorDialog("Unable to locate the trash folder.", "MoveToTrash()", 0, 1);
    return fnfErr;
  }
  std::string name = LastComponent(file->ref.path);
  std::string original = file->ref.path;
  FSRef destination{JoinPath(trash.path, "files/" + name)};
  OSErr err = PlatformMove(file->ref, destination);
  if (err == dupFNErr) {
    RenameTrashedItem(trash, name);
    err = PlatformMove(file->ref, destination);
  }
  if (err != noErr) return err;
  file->ref = destination;
  return WriteTrashInfo(trash, name, original);
}

OSErr FSRefRename255(FSRef* item, const unsigned char* name) {
  std::string text = TextOf(name);
  if (!item || text.empty() || text == "." || text == ".." || text.find('/') != std::string::npos) return bdNamErr;
  FSRef renamed{JoinPath(ParentPath(item->path), text)};
  OSErr err = PlatformMove(*item, renamed);
  if (err == noErr) *item = renamed;
  return err;
}

OSErr QKCheckLock(const FSRef* item) { return item ? PlatformCheckWritable(*item) : OSErr(paramErr); }

Boolean IsFileLocked(FileClass* file) { return QKCheckLock(&file->ref) != noErr; }

Boolean CheckFileLockedVolume(FileClass* file) { return QKCheckLock(&file->ref) != noErr; }

Boolean IsVolumeLocked(SInt16) {
  bool readOnly = true;
  PlatformVolumeIsReadOnly(DefaultFolder(), &readOnly);
  return readOnly;
}

SInt16 LockFileName(FileClass*, unsigned char) {
  DebugDialog("LockFileName() is broken in OS X.  We need to update it.", "", 0);
  return 0;
}

void SetFileDialogBackEnd(const FileDialogBackEnd* backEnd) { fileDialogs = backEnd ? backEnd : &cancellingDialogs; }

Handle NewTypeList(const UInt32* types, char count) {
  int n = count > 0 ? count : 0;
  Handle list = QKNewHandleClear(12 + 4 * n);
  if (!list) {
    ErrorDialog("Sorry, a memory error has occured.", "NewTypeList()", 0, 1);
    return nullptr;
  }
  char* p = *list;
  PtrWrite_Long(p, SInt32(HomeApplicationRecord()->creator()));
  PtrWrite_Short(p, 0);
  PtrWrite_Short(p, SInt16(n));
  for (int i = 0; i < n; i++) PtrWrite_Long(p, SInt32(types[i]));
  return list;
}

Handle NewTypeList(UInt32 type) { return NewTypeList(&type, 1); }

SInt16 GetNewFile(OSType type, OSType creator, FileClass* file, const unsigned char* message,
                  const unsigned char* defaultName, unsigned char replace) {
  FileClass folder;
  Str255 name;
  OSErr err = fileDialogs->chooseSave(message, defaultName, &folder.ref, name);
  if (err == userCanceledErr) return 2;
  if (err != noErr) {
    ErrorDialog("NavChooseFile() failed.", "", 0, 1);
    return 2;
  }
  CloseFile(file);
  FileClass made;
  err = CreateFile(&made, name, &folder, creator, type);
  if (err == dupFNErr && !replace) {
    file->ref = FSRef{JoinPath(folder.ref.path, TextOf(name))};
    file->open = 0;
    return 1;
  }
  if (err == dupFNErr) {
    FileClass old;
    old.ref.path = JoinPath(folder.ref.path, TextOf(name));
    err = DeleteFile(&old);
    if (err == noErr) err = CreateFile(&made, name, &folder, creator, type);
    if (err != noErr) return err;
  } else if (err != noErr) {
    return 3;
  }
  file->ref = made.ref;
  OpenFile(file, 1, 0);
  return 1;
}

SInt16 GetOpenFile(char*, char count, FileClass* file, unsigned char write, unsigned char) {
  std::vector<OSType> types(size_t(count > 0 ? count : 0), 0);
  FSRef item;
  OSErr err = fileDialogs->chooseOpen(types.data(), SInt16(types.size()), &item);
  if (err == userCanceledErr) return 2;
  if (err != noErr) {
    ErrorDialog("NavChooseFile() failed.", "", 0, 1);
    return 2;
  }
  CloseFile(file);
  file->ref = item;
  if (OpenFile(file, write, 0) == noErr) return 1;
  std::string message = "The file \"" + LastComponent(item.path) +
                        "\" cannot be opened.  It may be locked, have the wrong permissions, or have no resource fork.";
  AlertDialog(message.c_str(), "", "OK");
  return 0;
}

OSErr SwitchFileName(const unsigned char* fileName, const unsigned char* folderName, unsigned char report) {
  // A step that fails stops here: going on would open whatever item the
  // failed search walked last.
  FileClass folder = homeFOLD;
  if (folderName && folderName[0]) {
    OSErr err = FindFile(&folder, folderName, &homeFOLD, kAnyCode, kAnyCode, kFindFolderOnly);
    if (err != noErr && report) ReportMissing("folder", TextOf(folderName), "", err, true);
    if (err != noErr) return err;
  }
  OSErr err = FindFile(&qkelFILE, fileName, &folder, kAnyCode, kAnyCode, kFindFileOnly);
  if (err != noErr && report) ReportMissing("file", TextOf(fileName), "SwitchFileName()", err, false);
  if (err != noErr) return err;
  err = OpenFile(&qkelFILE, 1, 0);
  if (err != noErr && report) ReportUnopened(TextOf(fileName), "SwitchFileName()");
  return err;
}

OSErr SavePictFile(Handle picture, const unsigned char* name, FileClass* folder) {
  if (!picture || !*picture) {
    ErrorDialog("The picHandle is nil", "SavePictFile()", 0, 1);
    return paramErr;
  }
  Str255 fileName;
  SetText(TextOf(name) + ".pct", fileName);
  FileClass file;
  OSErr err =
      FindNewFile(&file, fileName, folder, FOUR_CHAR('o', 'g', 'l', 'e'), FOUR_CHAR('P', 'I', 'C', 'T'), nullptr);
  if (err == noErr) err = OpenFile(&file, 1, 0);
  if (err != noErr) return err;
  SInt32 size = QKGetHandleSize(picture);
  std::vector<char> content(512 + size_t(size), 0);
  std::copy(*picture, *picture + size, content.begin() + 512);
  err = PlatformReplaceForkContent(file.fork, file.ref, content.data(), SInt64(content.size()));
  CloseFile(&file);
  return err;
}

OSErr OpenGameFile(FileClass* file, const unsigned char* suffix, OSType type) {
  std::string name = TextOf(HomeApplicationRecord()->shortName()) + " " + TextOf(suffix);
  Str255 text;
  SetText(name, text);
  if (FindFile(file, text, &homeFOLD, HomeApplicationRecord()->creator(), type, kFindFileOnly) != noErr) {
    ReportMissing("file", name, "", 0, false);
    return fnfErr;
  }
  OSErr err = OpenFile(file, 1, 0);
  if (err != noErr) ReportUnopened(name, "");
  return err;
}

OSErr OpenBundleResourceFile(FileClass* bundle) {
  FSRef contents{JoinPath(bundle->ref.path, "Contents")};
  FSCatalogInfo info;
  if (bundle->ref.path.empty() || PlatformGetCatalogInfo(contents, true, &info) != noErr ||
      !(info.nodeFlags & kCatalogNodeIsFolder)) {
    ErrorDialog("Couldn't create bundle ref.", "OpenBundleResourceFile()", 0, 1);
    return fnfErr;
  }
  // Bundles keep their resources as plain files: there is no fork to open.
  bundle->fork = -1;
  bundle->open = 1;
  if (!fileLIST.FindItem(bundle)) fileLIST.AddLastItem(bundle);
  return noErr;
}

OSErr FindApplicationPackage(FileClass* result, const unsigned char* name, OSType creator, OSType type,
                             FileClass* folder) {
  return WalkFolderForItem(result, name, folder, creator, type, kFindAnyItem, true);
}

OSErr LSIsApplication(const FSRef* item, Boolean* isApp, Boolean* isPackage) {
  FSCatalogInfo info;
  OSErr err = PlatformGetCatalogInfo(*item, true, &info);
  if (err != noErr) return err;
  bool folder = info.nodeFlags & kCatalogNodeIsFolder;
  FSRef contents{JoinPath(item->path, "Contents")};
  FSRef programs{JoinPath(item->path, "Contents/bin")};
  bool package = folder && FSRefIsValid(&contents);
  bool program = !folder && ((info.permissions & 0111) != 0 || item->path.ends_with(".desktop"));
  if (isApp) *isApp = program || (package && FSRefIsValid(&programs));
  if (isPackage) *isPackage = package;
  return noErr;
}

OSErr LSGetApplicationTypeCreator(const FSRef* item, UInt32* type, UInt32* creator) {
  OSErr err = PlatformGetCatalogInfo(*item, true, nullptr);
  if (err != noErr) return err;
  if (type) *type = 0;
  if (creator) *creator = 0;
  return noErr;
}

Boolean FileExists(std::string path) {
  if (!PlatformIsRegularFile(path)) return 0;
  FILE* file = OpenRegularFileForReading(path);
  if (!file) return 0;
  fclose(file);
  return 1;
}

SInt32 OpenFileCount() { return PlatformOpenDescriptorCount(); }

SInt32 GetFileCreationDate(FileClass*) { return -1; }

void GetFolderNameFromDirID(FileClass*, unsigned char*) {}

void FindInFolderByCreator(SInt16, SInt32, OSType, OSType, FSRef*) {}

OSErr FindOnDiskByCreator(SInt16, OSType, OSType, FSRef*) { return fnfErr; }

void PtrWrite_Short(char*& p, SInt16 value) {
  p[0] = char(UInt16(value) >> 8);
  p[1] = char(value);
  p += 2;
}

void PtrWrite_Long(char*& p, SInt32 value) {
  p[0] = char(UInt32(value) >> 24);
  p[1] = char(UInt32(value) >> 16);
  p[2] = char(UInt32(value) >> 8);
  p[3] = char(value);
  p += 4;
}

OSErr GetAEDescFromFSRef(AEDesc* desc, const FSRef* ref) {
  if (!desc || !ref) return paramErr;
  return AECreateDesc(typeFSRef, ref->path.data(), ref->path.size(), desc);
}

OSErr GetFSRefFromAEDesc(FSRef* ref, const AEDesc* desc) {
  if (!ref || !desc) return paramErr;
  AEDesc coerced;
  OSErr err = AECoerceDesc(desc, typeFSRef, &coerced);
  if (err) err = AECoerceDesc(desc, typeFSS, &coerced);
  if (err) return err;
  ref->path = coerced.data;
  return noErr;
}
