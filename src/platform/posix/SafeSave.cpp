#include "platform/SafeSave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/PlatformFiles.h"

namespace {

SafeSaveStep failingStep = kSafeSaveNoFailure;
int failingError = 0;

// True (with errno set) when the test seam makes this step fail.
bool Injected(SafeSaveStep step) {
  if (step != failingStep) return false;
  errno = failingError;
  return true;
}

// The file a save to `path` replaces: the target of a symbolic link.
std::string SaveTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* real = realpath(path.c_str(), nullptr);
    if (real) {
      std::string target = real;
      free(real);
      return target;
    }
  }
  return AbsolutePath(path);
}

int CreateTemporary(const std::string& target, std::string* tempPath) {
  if (Injected(kSafeSaveCreate)) return -1;
  std::string folder = ParentPath(target);
  std::string base = "." + LastComponent(target) + ".tmp-" + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; attempt++) {
    *tempPath = JoinPath(folder, base + std::to_string(attempt));
    int fd = open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, const char* bytes, SInt64 count) {
  SInt64 limit = count;
  bool fail = Injected(kSafeSaveWrite);
  if (fail) limit = count / 2;
  while (limit > 0) {
    ssize_t n = write(fd, bytes, size_t(limit));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    bytes += n;
    limit -= n;
    count -= n;
  }
  if (fail) errno = failingError;
  return !fail && count == 0;
}

bool SyncFolder(const std::string& folder) {
  if (Injected(kSafeSaveSyncFolder)) return false;
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  // Some file systems cannot sync a folder; the rename stands all the same.
  bool ok = fsync(fd) == 0 || errno == EINVAL;
  int error = errno;
  close(fd);
  errno = error;
  return ok;
}

OSErr Fail(int fd, const std::string& tempPath) {
  int error = errno;
  if (fd >= 0) close(fd);
  unlink(tempPath.c_str());
  return OSErrOfErrno(error);
}

}  // namespace

void SetSafeSaveFailure(SafeSaveStep step, int error) {
  failingStep = step;
  failingError = error;
}

OSErr SafeSaveFile(const std::string& path, const void* bytes, SInt64 count) {
  if (path.empty() || count < 0 || (count > 0 && !bytes)) return paramErr;
  std::string target = SaveTarget(path);
  std::string tempPath;
  int fd = CreateTemporary(target, &tempPath);
  if (fd < 0) return OSErrOfErrno(errno);

  struct stat old;
  if (stat(target.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);
  if (!WriteAll(fd, static_cast<const char*>(bytes), count)) return Fail(fd, tempPath);
  if (Injected(kSafeSaveSync) || fsync(fd) != 0) return Fail(fd, tempPath);
  int closed = close(fd);
  if (Injected(kSafeSaveClose) || closed != 0) return Fail(-1, tempPath);
  if (Injected(kSafeSaveRename) || rename(tempPath.c_str(), target.c_str()) != 0) return Fail(-1, tempPath);
  if (!SyncFolder(ParentPath(target))) return OSErrOfErrno(errno);
  return noErr;
}
