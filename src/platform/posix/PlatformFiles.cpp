#include "platform/PlatformFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/SafeSave.h"

namespace fs = std::filesystem;

namespace {

// noErr when a POSIX call succeeded, else the code of its errno.
OSErr Status(bool ok) { return ok ? OSErr(noErr) : OSErrOfErrno(errno); }

}  // namespace

OSErr OSErrOfErrno(int error) {
  switch (error) {
    case 0: return noErr;
    case ENOENT: return fnfErr;
    case EEXIST: return dupFNErr;
    case EBUSY:
    case ETXTBSY:
    case ENOTEMPTY: return fBsyErr;
    case EINVAL: return paramErr;
    case ENOTDIR: return dirNFErr;
    case ENOSPC:
    case EDQUOT: return dskFulErr;
    case EACCES:
    case EPERM: return permErr;
    case EROFS: return vLckdErr;
    case ENAMETOOLONG: return bdNamErr;
    case EMFILE:
    case ENFILE: return tmfoErr;
    default: return ioErr;
  }
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  std::string normal = fs::absolute(fs::path(path), ec).lexically_normal().string();
  if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

std::string ParentPath(const std::string& path) {
  std::string absolute = AbsolutePath(path);
  size_t slash = absolute.rfind('/');
  if (slash == std::string::npos) return absolute;
  return slash == 0 ? "/" : absolute.substr(0, slash);
}

std::string LastComponent(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

OSErr PlatformGetCatalogInfo(const FSRef& item, bool follow, FSCatalogInfo* info) {
  if (item.path.empty()) return fnfErr;
  struct stat st;
  int result = follow ? stat(item.path.c_str(), &st) : lstat(item.path.c_str(), &st);
  if (result != 0) return OSErrOfErrno(errno);
  if (info) {
    *info = FSCatalogInfo{};
    info->nodeFlags = S_ISDIR(st.st_mode) ? kCatalogNodeIsFolder : 0;
    info->dataLogicalSize = st.st_size;
    info->permissions = st.st_mode;
  }
  return noErr;
}

OSErr PlatformResolveAlias(const FSRef& item, bool* isAlias, FSRef* target) {
  struct stat st;
  *isAlias = false;
  if (lstat(item.path.c_str(), &st) != 0) return OSErrOfErrno(errno);
  *target = item;
  if (!S_ISLNK(st.st_mode)) return noErr;
  *isAlias = true;
  char* real = realpath(item.path.c_str(), nullptr);
  if (!real) return OSErrOfErrno(errno);
  target->path = real;
  free(real);
  return noErr;
}

OSErr PlatformListFolder(const FSRef& folder, std::vector<std::string>* names) {
  names->clear();
  DIR* dir = opendir(folder.path.c_str());
  if (!dir) return OSErrOfErrno(errno);
  while (struct dirent* entry = readdir(dir)) {
    if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) names->push_back(entry->d_name);
  }
  closedir(dir);
  std::sort(names->begin(), names->end());
  return noErr;
}

OSErr PlatformCreateFile(const FSRef& item) {
  int fd = open(item.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return OSErrOfErrno(errno);
  close(fd);
  return noErr;
}

OSErr PlatformCreateFolder(const FSRef& item) { return Status(mkdir(item.path.c_str(), 0777) == 0); }

OSErr PlatformDelete(const FSRef& item) {
  struct stat st;
  if (lstat(item.path.c_str(), &st) != 0) return OSErrOfErrno(errno);
  return Status((S_ISDIR(st.st_mode) ? rmdir(item.path.c_str()) : unlink(item.path.c_str())) == 0);
}

OSErr PlatformRename(const FSRef& from, const FSRef& to) {
  return Status(rename(from.path.c_str(), to.path.c_str()) == 0);
}

OSErr PlatformMove(const FSRef& from, const FSRef& to) {
  // link() refuses an existing target, which rename() would replace; a
  // folder cannot be linked, so it is checked and renamed.
  if (link(from.path.c_str(), to.path.c_str()) == 0) return Status(unlink(from.path.c_str()) == 0);
  if (errno == EEXIST) return dupFNErr;
  struct stat st;
  if (lstat(to.path.c_str(), &st) == 0) return dupFNErr;
  return PlatformRename(from, to);
}

FILE* OpenRegularFileForReading(const std::string& path) {
  // Non-blocking, so that opening a named pipe returns at once; the flag is
  // cleared again for the regular file that is read.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    errno = EINVAL;
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* file = fdopen(fd, "rb");
  if (!file) close(fd);
  return file;
}

OSErr PlatformOpenFork(const FSRef& item, bool write, SInt16* fork) {
  // A read never waits for a writer at a named pipe in place of a file.
  int fd = open(item.path.c_str(), (write ? O_RDWR : O_RDONLY | O_NONBLOCK) | O_CLOEXEC);
  if (fd < 0) return OSErrOfErrno(errno);
  if (fd > INT16_MAX) {
    close(fd);
    return tmfoErr;
  }
  *fork = SInt16(fd);
  return noErr;
}

OSErr PlatformCloseFork(SInt16 fork) {
  if (fork < 0) return noErr;
  return Status(close(fork) == 0);
}

OSErr PlatformForkLength(SInt16 fork, SInt64* length) {
  struct stat st;
  if (fstat(fork, &st) != 0) return OSErrOfErrno(errno);
  *length = st.st_size;
  return noErr;
}

OSErr PlatformReadFork(SInt16 fork, SInt64 offset, void* bytes, SInt64 count) {
  char* at = static_cast<char*>(bytes);
  while (count > 0) {
    ssize_t n = pread(fork, at, size_t(count), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return OSErrOfErrno(errno);
    if (n == 0) return eofErr;
    at += n;
    offset += n;
    count -= n;
  }
  return noErr;
}

OSErr PlatformReplaceForkContent(SInt16 fork, const FSRef& item, const void* bytes, SInt64 count) {
  int flags = fcntl(fork, F_GETFL);
  if (flags < 0) return OSErrOfErrno(errno);
  if ((flags & O_ACCMODE) == O_RDONLY) return wrPermErr;
  OSErr err = SafeSaveFile(item.path, bytes, count);
  if (err != noErr) return err;
  // The descriptor still names the replaced file: reopen the new one under
  // the same number, so the caller's fork stays valid.
  int fd = open(item.path.c_str(), (flags & O_ACCMODE) | O_CLOEXEC);
  if (fd < 0) return OSErrOfErrno(errno);
  err = Status(dup3(fd, fork, O_CLOEXEC) >= 0);
  close(fd);
  return err;
}

std::string HomePath() {
  const char* home = getenv("HOME");
  if (home && home[0] == '/') return home;
  struct passwd* entry = getpwuid(getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

namespace {

// An XDG base folder: the variable when it holds an absolute path, else
// the default under the home folder.
std::string XdgHome(const char* variable, const char* homeDefault) {
  const char* value = getenv(variable);
  if (value && value[0] == '/') return value;
  std::string home = HomePath();
  return home.empty() ? "" : JoinPath(home, homeDefault);
}

// The first absolute entry of a colon-separated XDG list.
std::string XdgFirst(const char* variable, const char* fallback) {
  const char* value = getenv(variable);
  std::string list = value ? value : "";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    if (end > start && list[start] == '/') return list.substr(start, end - start);
    start = end + 1;
  }
  return fallback;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// XDG_DESKTOP_DIR of user-dirs.dirs: a quoted "$HOME/..." or absolute path.
std::string XdgDesktop() {
  std::string home = HomePath();
  std::string desktop = JoinPath(home, "Desktop");
  std::ifstream dirs(JoinPath(XdgHome("XDG_CONFIG_HOME", ".config"), "user-dirs.dirs"));
  std::string line;
  while (std::getline(dirs, line)) {
    const std::string key = "XDG_DESKTOP_DIR=\"";
    if (line.compare(0, key.size(), key) != 0 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    if (!value.empty() && value[0] == '/') desktop = value;
  }
  return desktop;
}

OSErr MakeFolders(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (IsFolder(path)) return noErr;
  return ec ? OSErrOfErrno(ec.value()) : OSErr(dirNFErr);
}

std::string FolderPath(PlatformFolder which, bool local) {
  switch (which) {
    case kPreferencesFolderType:
      return JoinPath(local ? XdgFirst("XDG_CONFIG_DIRS", "/etc/xdg") : XdgHome("XDG_CONFIG_HOME", ".config"),
                      "Halvane");
    case kApplicationSupportFolderType:
      return local ? XdgFirst("XDG_DATA_DIRS", "/usr/local/share") : XdgHome("XDG_DATA_HOME", ".local/share");
    case kDesktopFolderType: {
      std::string desktop = XdgDesktop();
      return IsFolder(desktop) ? desktop : HomePath();
    }
    case kTrashFolderType: return JoinPath(XdgHome("XDG_DATA_HOME", ".local/share"), "Trash");
    case kTemporaryFolderType: {
      const char* tmp = getenv("TMPDIR");
      return tmp && tmp[0] == '/' && IsFolder(tmp) ? tmp : "/tmp";
    }
    case kSharedFolderType: return "/var/tmp";
  }
  return "";
}

}  // namespace

OSErr PlatformFindFolder(PlatformFolder which, bool local, bool create, FSRef* folder) {
  std::string path = AbsolutePath(FolderPath(which, local));
  if (path.empty()) return fnfErr;
  if (create) {
    OSErr err = MakeFolders(path);
    if (err == noErr && which == kTrashFolderType) err = MakeFolders(JoinPath(path, "files"));
    if (err == noErr && which == kTrashFolderType) err = MakeFolders(JoinPath(path, "info"));
    if (err != noErr) return err;
  } else if (!IsFolder(path)) {
    return fnfErr;
  }
  folder->path = path;
  return noErr;
}

std::string PlatformExecutablePath() {
  char* real = realpath("/proc/self/exe", nullptr);
  if (!real) return "";
  std::string path = real;
  free(real);
  return path;
}

SInt32 PlatformOpenDescriptorCount() {
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return 0;
  SInt32 count = 0;
  while (struct dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') count++;
  }
  closedir(dir);
  return count - 1;  // the listing's own descriptor
}

int PlatformChangeWorkingFolder(const std::string& path) { return chdir(path.c_str()); }

bool PlatformIsRegularFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

OSErr PlatformVolumeIsReadOnly(const FSRef& item, bool* readOnly) {
  struct statvfs volume;
  if (statvfs(item.path.c_str(), &volume) != 0) return OSErrOfErrno(errno);
  *readOnly = (volume.f_flag & ST_RDONLY) != 0;
  return noErr;
}

OSErr PlatformCheckWritable(const FSRef& item) {
  struct stat st;
  if (stat(item.path.c_str(), &st) != 0) return OSErrOfErrno(errno);
  // No write permission for anyone locks the item, whoever asks (root may
  // write any file).
  if ((st.st_mode & 0222) == 0 || (access(item.path.c_str(), W_OK) != 0 && errno != EROFS)) return fLckdErr;
  struct statvfs volume;
  if (statvfs(item.path.c_str(), &volume) != 0) return OSErrOfErrno(errno);
  return (volume.f_flag & ST_RDONLY) ? OSErr(vLckdErr) : OSErr(noErr);
}
