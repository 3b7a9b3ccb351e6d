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
  SInt16 fork;  // the open data fork, -1 when closed
  FileInfo info;
  Boolean open;
  Boolean flag2;
  Boolean folder;
  Boolean aliased;  // ref was reached through an alias
  SInt32 spare;
  Boolean valid;  // ref names an item found or made
  FSCatalogInfo catalog;

  FileClass();
  // Copies everything but the catalog information.
  FileClass(const FileClass& other);
  FileClass& operator=(const FileClass& other);
  // Clears the flags (open, valid, folder, aliased); the reference stays.
  void Init();

  // Reads the item's type and creator (through an alias) into `out`, or into
  // info for null, and notes whether it is a folder. fnfErr for an item that
  // is gone; another error is also shown as a fatal error dialog.
  OSErr GetInfo(FileInfo* out);
  // The item's name, as a Pascal string; fnfErr when it does not exist.
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
  // Starts walking the folder (null: not open).
  explicit FolderIterator(FileClass* folder);
  ~FolderIterator();
  FolderIterator(const FolderIterator&) = delete;
  FolderIterator& operator=(const FolderIterator&) = delete;

  // Reads the folder's list of items to walk; the listing's error, if any,
  // leaves the iterator closed. Items removed since are skipped.
  OSErr Init(FSRef* folder);
  // 0 with the next item in `out`; -1417 at the end (`out` then holds the
  // last item); -1 when not open.
  OSErr Next(FSRef* out);
  // Closes the iterator (also done on destruction).
  void Dispose();
};

// Searched kinds for FindFile.
enum : char { kFindAnyItem = 0, kFindFileOnly = 1, kFindFolderOnly = 2 };

// The application (its bundle), the folder it is in, its folder in
// Application Support, and others the shell finds; qkelFILE is the engine's
// own file, the application itself unless qkelMODE says otherwise.
extern FileClass homeFILE, homeFOLD, supportFOLD, desktopFOLD, resourcesFOLD, qkelFILE;
extern Boolean qkelMODE;
extern Boolean homeFileSetup;

// The FileClass objects whose data fork is open.
extern LinkedItemListTemplate<FileClass> fileLIST;
SInt16 FileListCount();

// Whether the item exists (false for null).
Boolean FSRefIsValid(const FSRef* ref);
// The item's last path component ("/" for the root); fnfErr when it does
// not exist.
OSErr FSRefGetName(const FSRef* ref, Str255 out);
// True when a file's own code matches the wanted one: equal, or the wanted
// code is '????', or the file has no code (files on Linux carry none).
Boolean CodeMatches(OSType own, OSType wanted);

// Checks that the file is a folder (a fatal error dialog if not); always 0:
// paths name folders here, there are no directory ids.
SInt16 GetSubDirectory(FileClass* file);
SInt16 GetFolderName();  // 0: nothing to look up
// Marks the file a valid folder (checked as GetSubDirectory does).
void BlessFolder(FileClass* file);
void GetFolderParentID(FileClass* file);
// The folder holding `item`; fnfErr for an empty reference, else the error
// of reading that folder.
OSErr GetFolderParent(const FSRef* item, FSRef* parent);
// The same as a blessed FileClass.
OSErr GetParentFolder(const FSRef* item, FileClass* parent);

// Looks in `folder` for an item called `name` (empty: the first file) of the
// kind asked for; a file must match the type and creator (see CodeMatches)
// and is followed when it is an alias. noErr with `result` set, or -1 when
// the folder does not exist or has no such item.
OSErr FindFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type, char kind);
OSErr FindFile(FileClass* result, const char* name, FileClass* folder, OSType creator, OSType type, char kind);
// Makes an empty file, or a folder, called `name` in the folder (the codes
// are not stored: Linux files carry none). bdNamErr for a name that cannot
// be one item (empty, "." or "..", or holding '/'); the platform's error if
// it already exists or cannot be made.
OSErr CreateFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type);
OSErr CreateFolder(FileClass* result, const unsigned char* name, FileClass* parent);
// The file (or folder) of that name in the folder, of any codes, made when
// there is none; *created (when given) says whether it was made.
OSErr FindNewFile(FileClass* result, const unsigned char* name, FileClass* folder, OSType creator, OSType type,
                  unsigned char* created);
OSErr FindNewFile(FileClass* result, const char* name, FileClass* folder, OSType creator, OSType type,
                  unsigned char* created);
OSErr FindNewFolder(FileClass* result, const unsigned char* name, FileClass* parent, unsigned char* created);
OSErr FindNewFolder(FileClass* result, const char* name, FileClass* parent, unsigned char* created);
// A package is a folder here.
OSErr CreateFilePackage(FileClass* result, const unsigned char* name, FileClass* parent);

// Opens the file's data fork (for writing when asked) and adds it to
// fileLIST; an open file is left as it is. 1 for a null file.
OSErr OpenFile(FileClass* file, unsigned char write, unsigned char);
// Closes the data fork and takes the file off fileLIST; a closed file is
// left alone. 1 for a null file.
OSErr CloseFile(FileClass* file);
// Closes, then deletes the item.
OSErr DeleteFile(FileClass* file);
// Closes the file and makes it the application's home file.
void DefaultFile(FileClass* file);

// The well-known folders of the user (or, with `local`, of the machine).
// The preferences, application support, shared and temporary folders are
// made when missing. Failing to find the preferences, desktop, shared or
// temporary folder is a fatal error dialog (the last two return noErr all
// the same); the application support folder answers whether it was found.
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
// Installs the application record (null: the default one).
void SetHomeApplication(const HomeApplication* application);
// Once: homeFILE as the bundle, homeFOLD as its folder, and supportFOLD as
// the application's own folder in Application Support (made when missing;
// a fatal error dialog when it cannot be). Always noErr.
OSErr SetUpHomeFile();
