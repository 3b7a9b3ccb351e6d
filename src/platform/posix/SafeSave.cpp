#include "platform/SafeSave.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
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

// The file a save to `path` replaces: the end of a chain of symbolic links,
// also when that file does not exist yet, so that a dangling link is written
// through rather than replaced by a regular file. False (errno ELOOP) for a
// chain that does not end.
bool SaveTarget(const std::string& path, std::string* target) {
  std::string current = AbsolutePath(path);
  for (int hops = 0; hops < 40; hops++) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *target = current;
      return true;
    }
    if (char* real = realpath(current.c_str(), nullptr)) {
      *target = real;
      free(real);
      return true;
    }
    char text[PATH_MAX];
    ssize_t n = readlink(current.c_str(), text, sizeof text - 1);
    if (n <= 0) {
      *target = current;
      return true;
    }
    std::string link(text, size_t(n));
    current = AbsolutePath(link[0] == '/' ? link : JoinPath(ParentPath(current), link));
  }
  errno = ELOOP;
  return false;
}

// Removes the temporaries that saves of `target` by processes that no longer
// exist left behind when they were killed. A live process's temporary (a save
// in progress elsewhere) is left alone.
void RemoveStaleTemporaries(const std::string& target) {
  std::string folder = ParentPath(target);
  std::string prefix = "." + LastComponent(target) + ".tmp-";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const char* rest = name.c_str() + prefix.size();
    char* end = nullptr;
    long pid = std::strtol(rest, &end, 10);
    if (end == rest || *end != '-' || pid <= 0 || pid == getpid()) continue;
    if (kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
    std::string path = JoinPath(folder, name);
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(path.c_str());
  }
  closedir(dir);
}

// A save past a file-size limit must fail with EFBIG, not end the program
// with SIGXFSZ. A handler someone installed is kept.
void IgnoreFileSizeSignal() {
  static bool done = [] {
    struct sigaction old;
    if (sigaction(SIGXFSZ, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)done;
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
  IgnoreFileSizeSignal();
  std::string target;
  if (!SaveTarget(path, &target)) return OSErrOfErrno(errno);
  struct stat old;
  bool exists = stat(target.c_str(), &old) == 0;
  // A file that nobody may write was protected on purpose: it is not
  // replaced, even by an owner who could.
  if (exists && S_ISREG(old.st_mode) && (old.st_mode & 0222) == 0) return permErr;
  RemoveStaleTemporaries(target);
  std::string tempPath;
  int fd = CreateTemporary(target, &tempPath);
  if (fd < 0) return OSErrOfErrno(errno);

  // The old permissions are kept, except that the owner can always read
  // back what was saved.
  if (exists) fchmod(fd, (old.st_mode & 0777) | S_IRUSR | S_IWUSR);
  if (!WriteAll(fd, static_cast<const char*>(bytes), count)) return Fail(fd, tempPath);
  if (Injected(kSafeSaveSync) || fsync(fd) != 0) return Fail(fd, tempPath);
  int closed = close(fd);
  if (Injected(kSafeSaveClose) || closed != 0) return Fail(-1, tempPath);
  if (Injected(kSafeSaveRename) || rename(tempPath.c_str(), target.c_str()) != 0) return Fail(-1, tempPath);
  if (!SyncFolder(ParentPath(target))) return OSErrOfErrno(errno);
  return noErr;
}
