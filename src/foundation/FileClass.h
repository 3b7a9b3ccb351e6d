// Files and folders: the FileClass reference with its open data fork, the
// folder walker, the list of open files and the well-known folders.
#pragma once

#include "foundation/LinkedList.h"
#include "platform/PlatformFiles.h"
#include "platform/PlatformTypes.h"

// The Finder information block: type and creator first.
struct FileInfo {
  OSType fileType;
  OSType fileCreator;
  UInt16 finderFlags;
  Point location;
  UInt16 reservedField;
};

constexpr OSType kAnyCode = FOUR_CHAR('?', '?', '?', '?');

class FileClass {
 public:
  FSRef ref;
  SInt16 fork;
  FileInfo info;
  Boolean open;
  Boolean flag2;
  Boolean folder;
  Boolean aliased;
  SInt32 spare;
  Boolean valid;
  FSCatalogInfo catalog;

  FileClass();
  FileClass(const FileClass& other);
  FileClass& operator=(const FileClass& other);
  void Init();

  OSErr GetInfo(FileInfo* out);
  OSErr GetName(Str255 out);
};

class FolderIterator {
 public:
  UInt32 whichInfo;
  PlatformFolderIterator iterator;
  FSCatalogInfo info;
  FSRef item;
  Boolean open;

  FolderIterator();
  explicit FolderIterator(FileClass* folder);
  ~FolderIterator();
  FolderIterator(const FolderIterator&) = delete;
  FolderIterator& operator=(const FolderIterator&) = delete;

  OSErr Init(FSRef* folder);
  // 0 with the next item in `out`; -1417 at the end (`out` then holds the
  // last item); -1 when not open.
  OSErr Next(FSRef* out);
  void Dispose();
};

// Searched kinds for FindFile.
enum : char { kFindAnyItem = 0, kFindFileOnly = 1, kFindFolderOnly = 2 };

extern FileClass homeFILE, homeFOLD, supportFOLD, desktopFOLD, resourcesFOLD, qkelFILE;
extern Boolean qkelMODE;
extern Boolean homeFileSetup;

// The FileClass objects whose data fork is open.
extern LinkedItemListTemplate<FileClass> fileLIST;
SInt16 FileListCount();

Boolean FSRefIsValid(const FSRef* ref);
OSErr FSRefGetName(const FSRef* ref, Str255 out);
// True when a file's own code matches the wanted one: equal, or the wanted
// code is '????', or the file has no code (files on Linux carry none).
Boolean CodeMatches(OSType own, OSType wanted);

SInt16 GetSubDirectory(FileClass* file);
SInt16 GetFolderName();
void BlessFolder(FileClass* file);
void GetFolderParentID(FileClass* file);
OSErr GetFolderParent(const FSRef* item, FSRef* parent);
OSErr GetParentFolder(const FSRef* item, FileClass* parent);

OSErr FindFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type, char kind);
OSErr FindFile(FileClass* result, const char* name, FileClass* folder, OSType creator, OSType type, char kind);
OSErr CreateFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type);
OSErr CreateFolder(FileClass* result, const unsigned char* name, FileClass* parent);
OSErr FindNewFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type,
                  unsigned char* created);
OSErr FindNewFile(FileClass* result, const char* name, FileClass* folder, OSType creator, OSType type,
                  unsigned char* created);
OSErr FindNewFolder(FileClass* result, const unsigned char* name, FileClass* parent, unsigned char* created);
OSErr FindNewFolder(FileClass* result, const char* name, FileClass* parent, unsigned char* created);
OSErr CreateFilePackage(FileClass* result, const unsigned char* name, FileClass* parent);

OSErr OpenFile(FileClass* file, unsigned char write, unsigned char);
OSErr CloseFile(FileClass* file);
OSErr DeleteFile(FileClass* file);
void DefaultFile(FileClass* file);

OSErr FindPreferencesFolder(FileClass* folder, unsigned char local);
Boolean FindApplicationSupportFolder(FileClass* folder, unsigned char local);
OSErr FindDesktopFolder(FileClass* folder);
OSErr FindSharedFolder(FileClass* folder);
OSErr FindTemporaryFolder(FileClass* folder);

// The walk of FindFile. With `strict` (the application-package search) the
// folder is not checked first and every error of reading an item, "not
// found" included, ends the search.
OSErr WalkFolderForItem(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type,
                        char kind, bool strict);

// What the file layer needs of the application record, which lives in the
// shell above this library: whether the application is a bundle, its name
// and short name, and its creator code. The shell installs its own; until
// then the application is the bundle "Halvane", creator 'HLVN'.
struct HomeApplication {
  Boolean (*isBundle)();
  const unsigned char* (*name)();
  const unsigned char* (*shortName)();
  OSType (*creator)();
};
const HomeApplication* HomeApplicationRecord();
void SetHomeApplication(const HomeApplication* application);
OSErr SetUpHomeFile();
