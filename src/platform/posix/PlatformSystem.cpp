#include "platform/PlatformSystem.h"

#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

bool PackSystemVersion(const char* release, SInt32* version) {
  int major = 0, minor = 0, patch = 0;
  if (!release || sscanf(release, "%d.%d.%d", &major, &minor, &patch) < 2 || major < 0 || major > 99) return false;
  minor = std::clamp(minor, 0, 9);
  patch = std::clamp(patch, 0, 9);
  *version = SInt32(((major / 10) << 12) | ((major % 10) << 8) | (minor << 4) | patch);
  return true;
}

UInt32 PlatformProcessID() { return UInt32(getpid()); }

// Setting the size also stops the library from changing it.
void ReturnBigBlocksToTheSystem() { mallopt(M_MMAP_THRESHOLD, int(kOwnMappingBytes)); }

bool PlatformSystemVersion(SInt32* version) {
  struct utsname names;
  return uname(&names) == 0 && PackSystemVersion(names.release, version);
}

int PlatformReadSystemValue(const char* name, void* value, size_t* length) {
  if (!name || !length || strstr(name, "..")) {
    errno = EINVAL;
    return -1;
  }
  std::string path = std::string("/proc/sys/") + name;
  std::replace(path.begin() + 10, path.end(), '.', '/');
  std::ifstream in(path);
  if (!in) {
    errno = ENOENT;
    return -1;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string content = text.str();
  if (*length == sizeof(int)) {
    if (value) *static_cast<int*>(value) = atoi(content.c_str());
    return 0;
  }
  size_t n = std::min(*length, content.size());
  if (value) memcpy(value, content.data(), n);
  *length = n;
  return 0;
}

namespace {

volatile sig_atomic_t terminationSignalled = 0;
const int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction previousActions[3];
bool watched[3];

void OnTerminationSignal(int signal, siginfo_t* info, void* context) {
  terminationSignalled = 1;
  for (size_t i = 0; i < 3; ++i) {
    if (kTerminationSignals[i] != signal) continue;
    const struct sigaction& before = previousActions[i];
    if (before.sa_flags & SA_SIGINFO) {
      if (before.sa_sigaction) before.sa_sigaction(signal, info, context);
    } else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN && before.sa_handler) {
      before.sa_handler(signal);
    }
  }
}

}  // namespace

void WatchTerminationSignals() {
  for (size_t i = 0; i < 3; ++i) {
    if (watched[i]) continue;
    // A signal the user chose to ignore (nohup) stays ignored.
    if (sigaction(kTerminationSignals[i], nullptr, &previousActions[i]) == 0 &&
        !(previousActions[i].sa_flags & SA_SIGINFO) && previousActions[i].sa_handler == SIG_IGN)
      continue;
    struct sigaction action {};
    action.sa_sigaction = OnTerminationSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    watched[i] = sigaction(kTerminationSignals[i], &action, &previousActions[i]) == 0;
  }
}

void UnwatchTerminationSignals() {
  for (size_t i = 0; i < 3; ++i) {
    if (watched[i]) sigaction(kTerminationSignals[i], &previousActions[i], nullptr);
    watched[i] = false;
  }
  terminationSignalled = 0;
}

bool TerminationSignalled() { return terminationSignalled != 0; }

void ClearTerminationSignal() { terminationSignalled = 0; }

struct IsolatedRun {
  pid_t child;
  int verdict;  // the read end of the child's pipe
  struct timespec start;
  // The child is reaped and its verdict kept: its pid may belong to
  // another process by now, so it is never signalled again.
  bool ended;
  char kept;
};

IsolatedRun* PlatformStartIsolated(bool (*work)(void* data), void* data) {
  int channel[2];
  if (pipe2(channel, O_CLOEXEC) != 0) return nullptr;
  pid_t child = fork();
  if (child < 0) {
    close(channel[0]);
    close(channel[1]);
    return nullptr;
  }
  if (child == 0) {
    close(channel[0]);
    // The default actions, so that a fault ends the child at once.
    for (int s : {SIGFPE, SIGSEGV, SIGBUS, SIGILL, SIGABRT, SIGTERM, SIGINT, SIGHUP}) signal(s, SIG_DFL);
    char verdict = work(data) ? 'K' : 'F';
    if (write(channel[1], &verdict, 1) != 1) _exit(1);
    // Nothing of the child's end matters once the verdict is out, and an
    // ordinary exit would run checks of the caller's own (a sanitizer's leak
    // check sees the caller's live memory as leaked here).
    raise(SIGKILL);
    _exit(0);
  }
  close(channel[1]);
  auto* run = new IsolatedRun{child, channel[0], {}, false, 0};
  clock_gettime(CLOCK_MONOTONIC, &run->start);
  return run;
}

namespace {

// The verdict byte the child wrote, without waiting; 0 when there is none
// (yet, or ever).
char VerdictWritten(int fd, bool* ended) {
  struct pollfd ready {
    fd, POLLIN, 0
  };
  int n;
  while ((n = poll(&ready, 1, 0)) < 0 && errno == EINTR) {
  }
  *ended = n > 0;
  char verdict = 0;
  if (n > 0 && read(fd, &verdict, 1) != 1) verdict = 0;
  return verdict;
}

void EndRun(IsolatedRun* run) {
  close(run->verdict);
  if (!run->ended) {
    kill(run->child, SIGKILL);
    int status = 0;
    while (waitpid(run->child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  delete run;
}

}  // namespace

bool PlatformFinishIsolated(IsolatedRun* run, double seconds) {
  if (!run) return false;
  char verdict = run->ended ? run->kept : 0;
  // A verdict already written is read however late it is asked for: the
  // limit bounds only the wait for a child still at work.
  bool answered = run->ended;
  if (!answered) verdict = VerdictWritten(run->verdict, &answered);
  while (!answered) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    double left = seconds - (double(now.tv_sec - run->start.tv_sec) + double(now.tv_nsec - run->start.tv_nsec) / 1e9);
    if (left <= 0) break;
    struct pollfd wait {
      run->verdict, POLLIN, 0
    };
    int ready = poll(&wait, 1, int(std::min(left * 1000.0, 1000.0)) + 1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready != 0) {
      if (ready > 0 && read(run->verdict, &verdict, 1) != 1) verdict = 0;
      break;
    }
  }
  EndRun(run);
  return verdict == 'K';
}

bool PlatformIsolatedEnded(IsolatedRun* run) {
  if (!run || run->ended) return true;
  if (waitpid(run->child, nullptr, WNOHANG) != run->child) return false;
  // What the child wrote before it ended stays in the pipe.
  bool any = false;
  run->kept = VerdictWritten(run->verdict, &any);
  run->ended = true;
  return true;
}

bool PlatformRunIsolated(bool (*work)(void* data), void* data, double seconds) {
  return PlatformFinishIsolated(PlatformStartIsolated(work, data), seconds);
}
