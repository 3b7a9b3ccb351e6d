#include "platform/PlatformLaunch.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
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
RunProc currentRun = nullptr;

long NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return long(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

int RunAndWait(const std::vector<std::string>& args, std::string* output, int timeoutMs) {
  if (args.empty()) return 127;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return 127;
  pid_t child = fork();
  if (child < 0) {
    close(out[0]);
    close(out[1]);
    return 127;
  }
  if (child == 0) {
    // A group of its own, so that whatever it starts ends with it.
    setpgid(0, 0);
    int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, 0);
      dup2(devnull, 2);
    }
    dup2(out[1], 1);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  // Set from both sides, so that the group exists before either goes on.
  setpgid(child, child);
  const long until = NowMs() + timeoutMs;
  bool timedOut = false;
  char buffer[4096];
  for (;;) {
    long left = until - NowMs();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{out[0], POLLIN, 0};
    int ready = poll(&p, 1, int(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timedOut = ready == 0;
      break;
    }
    ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (output && output->size() < 65536) output->append(buffer, size_t(n));
  }
  close(out[0]);
  // The helper's own children go with it: one that still holds the output
  // (or hangs on) would outlive the helper and keep running unseen.
  if (timedOut && kill(-child, SIGKILL) != 0) kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace

OSErr LaunchProgram(const std::vector<std::string>& argv) { return current ? current(argv) : SpawnDetached(argv); }

LaunchProc SetLaunchProc(LaunchProc proc) {
  LaunchProc previous = current;
  current = proc;
  return previous;
}

int RunProgram(const std::vector<std::string>& argv, std::string* output, int timeoutMs) {
  return currentRun ? currentRun(argv, output, timeoutMs) : RunAndWait(argv, output, timeoutMs);
}

RunProc SetRunProc(RunProc proc) {
  RunProc previous = currentRun;
  currentRun = proc;
  return previous;
}
