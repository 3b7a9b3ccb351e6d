#include "foundation/FileClass.h"

#include <string>

#include "foundation/ErrorDialog.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"

FileClass homeFILE, homeFOLD, supportFOLD, desktopFOLD, resourcesFOLD, qkelFILE;
Boolean qkelMODE = 0;
Boolean homeFileSetup = 0;
LinkedItemListTemplate<FileClass> fileLIST;

namespace {

std::string TextOf(const unsigned char* name) {
  return name ? std::string(reinterpret_cast<const char*>(name + 1), name[0]) : std::string();
}

Boolean DefaultIsBundle() { return 1; }
const unsigned char* DefaultName() { return reinterpret_cast<const unsigned char*>("\7Halvane"); }
OSType DefaultCreator() { return FOUR_CHAR('H', 'L', 'V', 'N'); }
const HomeApplication defaultApplication = {DefaultIsBundle, DefaultName, DefaultName, DefaultCreator};
const HomeApplication* application = &defaultApplication;

// A name Linux can hold as one item of a folder.
bool ValidItemName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

OSErr MakeItem(FileClass* result, const unsigned char* name, FileClass* folder, bool makeFolder) {
  std::string text = TextOf(name);
  if (!result || !folder) return paramErr;
  if (!ValidItemName(text)) return bdNamErr;
  FSRef item{JoinPath(folder->ref.path, text)};
  OSErr err = makeFolder ? PlatformCreateFolder(item) : PlatformCreateFile(item);
  if (err != noErr) return err;
  result->ref = item;
  result->folder = makeFolder;
  result->aliased = 0;
  return noErr;
}

void FatalFolder(const char* message, OSErr err) { ErrorDialog(message, err, 0, 1); }

OSErr FindFolder(FileClass* folder, PlatformFolder which, bool local, bool create) {
  OSErr err = PlatformFindFolder(which, local, create, &folder->ref);
  if (err == noErr) BlessFolder(folder);
  return err;
}

}  // namespace

FileClass::FileClass() : ref(), fork(-1), info(), flag2(0), catalog() { Init(); }

FileClass::FileClass(const FileClass& other) : FileClass() { *this = other; }

FileClass& FileClass::operator=(const FileClass& other) {
  ref = other.ref;
  info = other.info;
  open = other.open;
  flag2 = other.flag2;
  fork = other.fork;
  folder = other.folder;
  aliased = other.aliased;
  spare = other.spare;
  valid = other.valid;
  return *this;
}

void FileClass::Init() {
  open = 0;
  valid = 0;
  spare = 0;
  folder = 0;
  aliased = 0;
}

OSErr FileClass::GetInfo(FileInfo* out) {
  bool isAlias = false;
  FSRef target;
  OSErr err = PlatformResolveAlias(ref, &isAlias, &target);
  if (err != noErr) return err;
  aliased = isAlias;
  err = PlatformGetCatalogInfo(target, false, &catalog);
  // An item that vanished since it was listed is simply not found.
  if (err == fnfErr) return fnfErr;
  if (err != noErr) {
    std::string message = "FSGetCatalogInfo() failed with the error " + std::to_string(err);
    ErrorDialog(message.c_str(), "GetFileInfo()", 0, 1);
    return err;
  }
  folder = (catalog.nodeFlags & kCatalogNodeIsFolder) != 0;
  FileInfo* to = out ? out : &info;
  to->fileType = OSType(catalog.finderInfo[0]) << 24 | OSType(catalog.finderInfo[1]) << 16 |
                 OSType(catalog.finderInfo[2]) << 8 | catalog.finderInfo[3];
  to->fileCreator = OSType(catalog.finderInfo[4]) << 24 | OSType(catalog.finderInfo[5]) << 16 |
                    OSType(catalog.finderInfo[6]) << 8 | catalog.finderInfo[7];
  return noErr;
}

OSErr FileClass::GetName(Str255 out) { return FSRefGetName(&ref, out); }

FolderIterator::FolderIterator() : whichInfo(0), iterator(), info(), item(), open(0) {}

FolderIterator::FolderIterator(FileClass* folder) : FolderIterator() {
  if (folder) Init(&folder->ref);
}

FolderIterator::~FolderIterator() { Dispose(); }

OSErr FolderIterator::Init(FSRef* folder) {
  Dispose();
  iterator.folder = *folder;
  iterator.next = 0;
  OSErr err = PlatformListFolder(*folder, &iterator.names);
  open = err == noErr;
  return err;
}

OSErr FolderIterator::Next(FSRef* out) {
  if (!open) return -1;
  while (iterator.next < iterator.names.size()) {
    FSRef next{JoinPath(iterator.folder.path, iterator.names[iterator.next++])};
    OSErr err = PlatformGetCatalogInfo(next, false, &info);
    if (err == fnfErr) continue;  // removed since the folder was listed
    item = next;
    if (out) *out = item;
    return err;
  }
  if (out) *out = item;
  return errFSNoMoreItems;
}

void FolderIterator::Dispose() {
  iterator.names.clear();
  open = 0;
}

SInt16 FileListCount() { return SInt16(fileLIST.Size()); }

Boolean FSRefIsValid(const FSRef* ref) { return ref && PlatformGetCatalogInfo(*ref, false, nullptr) == noErr; }

OSErr FSRefGetName(const FSRef* ref, Str255 out) {
  if (!ref || !FSRefIsValid(ref)) return fnfErr;
  std::string name = ref->path == "/" ? "/" : LastComponent(ref->path);
  CToPStr(name.c_str(), out);
  return noErr;
}

Boolean CodeMatches(OSType own, OSType wanted) { return wanted == kAnyCode || own == wanted || own == 0; }

SInt16 GetSubDirectory(FileClass* file) {
  FSCatalogInfo info;
  bool notFolder = !file->folder || (PlatformGetCatalogInfo(file->ref, true, &info) == noErr &&
                                     !(info.nodeFlags & kCatalogNodeIsFolder));
  if (notFolder) ErrorDialog("The FileClass is not a folder.", "GetSubDirectory()", 0, 1);
  return 0;
}

SInt16 GetFolderName() { return 0; }

void BlessFolder(FileClass* file) {
  file->folder = 1;
  file->valid = 1;
  GetSubDirectory(file);
}

// Paths name their folders here, so a folder has no parent id to look up.
void GetFolderParentID(FileClass*) {}

OSErr GetFolderParent(const FSRef* item, FSRef* parent) {
  if (!item || item->path.empty()) return fnfErr;
  FSRef up{AbsolutePath(item->path + "/..")};
  OSErr err = PlatformGetCatalogInfo(up, true, nullptr);
  if (err == noErr) *parent = up;
  return err;
}

OSErr GetParentFolder(const FSRef* item, FileClass* parent) {
  OSErr err = GetFolderParent(item, &parent->ref);
  if (err == noErr) BlessFolder(parent);
  return err;
}

OSErr WalkFolderForItem(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type,
                        char kind, bool strict) {
  if (!folder) return -1;
  std::string wanted = TextOf(name);
  FolderIterator walk(folder);
  FSRef item;
  while (walk.Next(&item) == noErr) {
    result->ref = item;
    OSErr err = result->GetInfo(nullptr);
    if (err == fnfErr && !strict) continue;
    if (err != noErr) return err;
    if ((kind == kFindFileOnly && result->folder) || (kind == kFindFolderOnly && !result->folder)) continue;
    bool named = wanted.empty() ? !result->folder : LastComponent(item.path) == wanted;
    if (!named) continue;
    if (result->folder) {
      BlessFolder(result);
      return noErr;
    }
    if (!CodeMatches(result->info.fileType, type) || !CodeMatches(result->info.fileCreator, creator)) continue;
    bool isAlias = false;
    FSRef target;
    FSCatalogInfo info;
    result->folder = 0;
    if (PlatformResolveAlias(item, &isAlias, &target) == noErr && isAlias) {
      result->ref = target;
      result->aliased = 1;
      result->folder = PlatformGetCatalogInfo(target, true, &info) == noErr && (info.nodeFlags & kCatalogNodeIsFolder);
    }
    result->valid = 1;
    return noErr;
  }
  return -1;
}

OSErr FindFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type,
               char kind) {
  if (!folder || !FSRefIsValid(&folder->ref)) return -1;
  return WalkFolderForItem(result, name, folder, creator, type, kind, false);
}

OSErr FindFile(FileClass* result, const char* name, FileClass* folder, OSType creator, OSType type, char kind) {
  Str255 text;
  CToPStr(name ? name : "", text);
  return FindFile(result, text, folder, creator, type, kind);
}

OSErr CreateFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType, OSType) {
  return MakeItem(result, name, folder, false);
}

OSErr CreateFolder(FileClass* result, const unsigned char* name, FileClass* parent) {
  OSErr err = MakeItem(result, name, parent, true);
  if (err == noErr) BlessFolder(result);
  return err;
}

OSErr CreateFilePackage(FileClass* result, const unsigned char* name, FileClass* parent) {
  return CreateFolder(result, name, parent);
}

OSErr FindNewFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type,
                  unsigned char* created) {
  if (created) *created = 0;
  if (FindFile(result, name, folder, kAnyCode, kAnyCode, kFindFileOnly) == noErr) return noErr;
  OSErr err = CreateFile(result, name, folder, creator, type);
  if (err == noErr && created) *created = 1;
  return err;
}

OSErr FindNewFile(FileClass* result, const char* name, FileClass* folder, OSType creator, OSType type,
                  unsigned char* created) {
  Str255 text;
  CToPStr(name ? name : "", text);
  return FindNewFile(result, text, folder, creator, type, created);
}

OSErr FindNewFolder(FileClass* result, const unsigned char* name, FileClass* parent, unsigned char* created) {
  if (created) *created = 0;
  if (FindFile(result, name, parent, kAnyCode, kAnyCode, kFindFolderOnly) == noErr) return noErr;
  OSErr err = CreateFolder(result, name, parent);
  if (err == noErr && created) *created = 1;
  return err;
}

OSErr FindNewFolder(FileClass* result, const char* name, FileClass* parent, unsigned char* created) {
  Str255 text;
  CToPStr(name ? name : "", text);
  return FindNewFolder(result, text, parent, created);
}

OSErr OpenFile(FileClass* file, unsigned char write, unsigned char) {
  if (!file) return 1;
  if (file->open) return noErr;
  OSErr err = PlatformOpenFork(file->ref, write, &file->fork);
  if (err != noErr) return err;
  file->open = 1;
  file->valid = 1;
  fileLIST.AddLastItem(file);
  return noErr;
}

OSErr CloseFile(FileClass* file) {
  if (!file) return 1;
  if (!file->open) return noErr;
  OSErr err = PlatformCloseFork(file->fork);
  if (err != noErr) return err;
  file->fork = -1;
  file->open = 0;
  file->valid = 0;
  fileLIST.RemoveItem(file);
  return noErr;
}

OSErr DeleteFile(FileClass* file) {
  OSErr err = CloseFile(file);
  if (err != noErr) return err;
  return PlatformDelete(file->ref);
}

void DefaultFile(FileClass* file) {
  CloseFile(file);
  *file = homeFILE;
}

OSErr FindPreferencesFolder(FileClass* folder, unsigned char local) {
  OSErr err = FindFolder(folder, kPreferencesFolderType, local, true);
  if (err != noErr) FatalFolder("Unable to locate the Preferences folder.", err);
  return err;
}

Boolean FindApplicationSupportFolder(FileClass* folder, unsigned char local) {
  FindFolder(folder, kApplicationSupportFolderType, local, true);
  return folder->valid;
}

OSErr FindDesktopFolder(FileClass* folder) {
  OSErr err = FindFolder(folder, kDesktopFolderType, false, false);
  if (err != noErr) FatalFolder("Unable to locate the Desktop folder.", err);
  return err;
}

OSErr FindSharedFolder(FileClass* folder) {
  if (FindFolder(folder, kSharedFolderType, true, true) != noErr)
    ErrorDialog("Unable to locate the Shared folder.", "", 0, 1);
  return noErr;
}

OSErr FindTemporaryFolder(FileClass* folder) {
  if (FindFolder(folder, kTemporaryFolderType, false, true) != noErr) {
    ErrorDialog("Unable to locate the Temporary folder.", "", 0, 1);
  }
  return noErr;
}

void SetHomeApplication(const HomeApplication* next) { application = next ? next : &defaultApplication; }

const HomeApplication* HomeApplicationRecord() { return application; }

OSErr SetUpHomeFile() {
  if (homeFileSetup) return noErr;
  homeFILE.fork = -1;
  homeFILE.open = 1;
  if (application->isBundle()) {
    homeFILE.ref.path = MacOSGetBundlePath();
    BlessFolder(&homeFILE);
  }
  if (!qkelMODE) qkelFILE = homeFILE;
  homeFileSetup = 1;
  GetParentFolder(&homeFILE.ref, &homeFOLD);

  FileClass support;
  if (!FindApplicationSupportFolder(&support, 0)) return noErr;
  if (FindNewFolder(&supportFOLD, application->name(), &support, nullptr) != noErr) {
    ErrorDialog("Couldn't create the application's folder in Application Support", "", 0, 1);
  }
  return noErr;
}
