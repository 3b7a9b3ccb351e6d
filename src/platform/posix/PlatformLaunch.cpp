#include "platform/PlatformLaunch.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Forks twice so that the opener is never left a zombie: the child starts
// the grandchild and leaves at once; a pipe closed on exec tells whether the
// grandchild's exec worked.
OSErr SpawnDetached(const std::vector<std::string>& args) {
  if (args.empty()) return paramErr;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int status[2];
  if (pipe2(status, O_CLOEXEC) != 0) return fnfErr;
  pid_t child = fork();
  if (child < 0) {
    close(status[0]);
    close(status[1]);
    return fnfErr;
  }
  if (child == 0) {
    close(status[0]);
    pid_t grandchild = fork();
    if (grandchild == 0) {
      int devnull = open("/dev/null", O_RDWR);
      if (devnull >= 0) {
        dup2(devnull, 0);
        dup2(devnull, 1);
      }
      execvp(argv[0], argv.data());
      char failed = 1;
      ssize_t ignored = write(status[1], &failed, 1);
      (void)ignored;
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  close(status[1]);
  int childStatus = 0;
  while (waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
  }
  char failed = 0;
  ssize_t n;
  while ((n = read(status[0], &failed, 1)) < 0 && errno == EINTR) {
  }
  close(status[0]);
  if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) return fnfErr;
  return n == 1 ? fnfErr : noErr;
}

LaunchProc current = nullptr;

}  // namespace

OSErr LaunchProgram(const std::vector<std::string>& argv) { return current ? current(argv) : SpawnDetached(argv); }

LaunchProc SetLaunchProc(LaunchProc proc) {
  LaunchProc previous = current;
  current = proc;
  return previous;
}
