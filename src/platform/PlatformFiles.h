// The files-and-folders layer under the engine's FileClass: references,
// catalog information, folder listings, forks and the well-known folders,
// over POSIX. Every call answers the engine's 16-bit error codes.
//
// A reference is an absolute path. Linux files carry no four-character type
// or creator, so their codes read as 0, which the engine's searches take as
// "any".
//
// Well-known folders:
//   Preferences          $XDG_CONFIG_HOME/Halvane (default ~/.config/Halvane),
//                        local: first of $XDG_CONFIG_DIRS (/etc/xdg)/Halvane
//   Application Support  $XDG_DATA_HOME (default ~/.local/share),
//                        local: first of $XDG_DATA_DIRS (/usr/local/share)
//   Desktop              XDG_DESKTOP_DIR of $XDG_CONFIG_HOME/user-dirs.dirs
//                        (default ~/Desktop); $HOME when that folder is absent
//   Trash                $XDG_DATA_HOME/Trash (its files/ and info/ folders)
//   Temporary            $TMPDIR when it is a folder, else /tmp
//   Shared               /var/tmp
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

// A file or folder, named by its absolute path; empty for none.
struct FSRef {
  std::string path;
};

// Bit of FSCatalogInfo::nodeFlags set for a folder.
constexpr UInt16 kCatalogNodeIsFolder = 0x0010;

// What the engine reads of an item's catalog entry.
struct FSCatalogInfo {
  UInt16 nodeFlags;
  UInt8 finderInfo[16];  // type (4 bytes), creator (4 bytes), flags
  SInt64 dataLogicalSize;
  UInt32 permissions;  // the POSIX mode bits
};

// File Manager codes beyond those of PlatformTypes.h.
enum : OSErr {
  dskFulErr = -34,
  ioErr = -36,
  bdNamErr = -37,
  eofErr = -39,
  tmfoErr = -42,
  wPrErr = -44,
  fLckdErr = -45,
  vLckdErr = -46,
  permErr = -54,
  wrPermErr = -61,
  errFSNoMoreItems = -1417,
};

enum PlatformFolder {
  kPreferencesFolderType,
  kApplicationSupportFolderType,
  kDesktopFolderType,
  kTrashFolderType,
  kTemporaryFolderType,
  kSharedFolderType,
};

// The engine's code for an errno value.
OSErr OSErrOfErrno(int error);

// The lexically normal absolute form of a path (relative to the working
// directory); empty stays empty.
std::string AbsolutePath(const std::string& path);
std::string ParentPath(const std::string& path);
std::string LastComponent(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

// Opens a file for reading ("rb") without ever blocking: null, with errno
// set, when the path cannot be opened or names no regular file (a named pipe,
// a device or a folder give EINVAL), which callers treat as unreadable.
FILE* OpenRegularFileForReading(const std::string& path);

// Catalog entry of the item; a symbolic link is followed when `follow`.
OSErr PlatformGetCatalogInfo(const FSRef& item, bool follow, FSCatalogInfo* info);
// 1 when the item is a symbolic link; `target` receives what it resolves to
// (-43 when it dangles).
OSErr PlatformResolveAlias(const FSRef& item, bool* isAlias, FSRef* target);

// The names of a folder's direct items, in byte order.
OSErr PlatformListFolder(const FSRef& folder, std::vector<std::string>* names);

// A folder's items, listed when opened and walked in byte order.
struct PlatformFolderIterator {
  FSRef folder;
  std::vector<std::string> names;
  size_t next;
};

OSErr PlatformCreateFile(const FSRef& item);
OSErr PlatformCreateFolder(const FSRef& item);
OSErr PlatformDelete(const FSRef& item);
OSErr PlatformRename(const FSRef& from, const FSRef& to);
// Moves without replacing: -48 when `to` exists.
OSErr PlatformMove(const FSRef& from, const FSRef& to);

// Forks are POSIX descriptors kept in 16 bits.
OSErr PlatformOpenFork(const FSRef& item, bool write, SInt16* fork);
OSErr PlatformCloseFork(SInt16 fork);
OSErr PlatformForkLength(SInt16 fork, SInt64* length);
// Reads exactly `count` bytes from `offset`; a short read is -39 (end of file).
OSErr PlatformReadFork(SInt16 fork, SInt64 offset, void* bytes, SInt64 count);
// Replaces the whole content of the file open as `fork` through the safe
// save of platform/SafeSave.h; the fork then reads the new content.
OSErr PlatformReplaceForkContent(SInt16 fork, const FSRef& item, const void* bytes, SInt64 count);

// The user's home folder: $HOME, else the password entry.
std::string HomePath();
// The path of the folder; with `create`, made (with its parents) when
// missing. -43 when it is missing and may not be made.
OSErr PlatformFindFolder(PlatformFolder which, bool local, bool create, FSRef* folder);

// The running program's own file, symbolic links resolved; empty when unknown.
std::string PlatformExecutablePath();
// The number of descriptors this process holds open.
SInt32 PlatformOpenDescriptorCount();
// Makes the folder the process's working directory: 0, or -1 with errno set.
int PlatformChangeWorkingFolder(const std::string& path);
// The path names a regular file (symbolic links followed).
bool PlatformIsRegularFile(const std::string& path);
// Whether the volume holding the item is mounted read-only; the error of
// reading it otherwise.
OSErr PlatformVolumeIsReadOnly(const FSRef& item, bool* readOnly);
// 0 when the item may be written; -45 when the item itself is read-only
// (tested first), -46 when its volume is mounted read-only, or the error of
// reading either.
OSErr PlatformCheckWritable(const FSRef& item);
