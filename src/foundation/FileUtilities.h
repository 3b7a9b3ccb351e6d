// File utilities around FileClass: unique names, the Trash, renaming, lock
// tests, the open and save dialogs, the application's own files, and small
// queries and big-endian writers.
#pragma once

#include <string>

#include "foundation/FileClass.h"
#include "platform/AppleEventModel.h"

Boolean FileNameExists(const unsigned char* name, FileClass* folder);
SInt32 StripCopyCount(unsigned char* name, unsigned char numbersOnly);
// Changes `name` (a 255-character string) until no item of `folder` has it.
// A name too long for its suffix loses characters before the suffix.
void UniqueFileName(unsigned char* name, FileClass* folder, unsigned char numbersOnly);

// Moves the item into the freedesktop home Trash (Trash/files) and records
// where it came from in Trash/info/<name>.trashinfo.
OSErr MoveToTrash(FileClass* file);
// Renames in place; -48 when the folder already holds the name. The
// reference follows the item.
OSErr FSRefRename255(FSRef* item, const unsigned char* name);

OSErr QKCheckLock(const FSRef* item);
Boolean IsFileLocked(FileClass* file);
Boolean CheckFileLockedVolume(FileClass* file);
// Volumes have no numbers here: any number names the default folder's.
Boolean IsVolumeLocked(SInt16 volume);
SInt16 LockFileName(FileClass* file, unsigned char);

// The choosers behind the open and save dialogs: a seam for a higher layer
// (or a test) to fill. Each answers 0 with the chosen item, or -128 when the
// user cancels. Startup installs the shell's chooser; until then (and with
// null) every dialog is cancelled.
struct FileDialogBackEnd {
  // The folder and name to save as.
  OSErr (*chooseSave)(const unsigned char* message, const unsigned char* defaultName, FSRef* folder, Str255 name);
  OSErr (*chooseOpen)(const OSType* types, SInt16 count, FSRef* item);
};
void SetFileDialogBackEnd(const FileDialogBackEnd* backEnd);
enum : OSErr { userCanceledErr = -128 };

// A zero-filled handle: the application's creator, a 16-bit 0, the 16-bit
// count, then the count codes, all big-endian.
Handle NewTypeList(const UInt32* types, char count);
Handle NewTypeList(UInt32 type);

// 2 when cancelled, 1 with `file` created and open for writing.
SInt16 GetNewFile(OSType type, OSType creator, FileClass* file, const unsigned char* message,
                  const unsigned char* defaultName, unsigned char replace);
SInt16 GetOpenFile(char*, char count, FileClass* file, unsigned char write, unsigned char);
OSErr SwitchFileName(const unsigned char* fileName, const unsigned char* folderName, unsigned char report);
// Writes 512 zero bytes and the picture's data as name + ".pct" in the
// folder (creator 'ogle', type 'PICT'), through the safe save.
OSErr SavePictFile(Handle picture, const unsigned char* name, FileClass* folder);
OSErr OpenGameFile(FileClass* file, const unsigned char* suffix, OSType type);
OSErr OpenBundleResourceFile(FileClass* bundle);
OSErr FindApplicationPackage(FileClass* result, const unsigned char* name, OSType creator, OSType type,
                             FileClass* folder);

OSErr LSIsApplication(const FSRef* item, Boolean* isApp, Boolean* isPackage);
OSErr LSGetApplicationTypeCreator(const FSRef* item, UInt32* type, UInt32* creator);
// A descriptor of a file reference, and the reference back from one
// (coerced to a reference, or else read through the older 'fss ' record).
OSErr GetAEDescFromFSRef(AEDesc* desc, const FSRef* ref);
OSErr GetFSRefFromAEDesc(FSRef* ref, const AEDesc* desc);
// 1 for a regular file that can be opened for reading.
Boolean FileExists(std::string path);
// The files this process holds open, counted from /proc/self/fd.
SInt32 OpenFileCount();
SInt32 GetFileCreationDate(FileClass* file);
void GetFolderNameFromDirID(FileClass* folder, unsigned char* name);
void FindInFolderByCreator(SInt16 volume, SInt32 folder, OSType creator, OSType type, FSRef* item);
OSErr FindOnDiskByCreator(SInt16 volume, OSType creator, OSType type, FSRef* item);

void PtrWrite_Short(char*& p, SInt16 value);
void PtrWrite_Long(char*& p, SInt32 value);
