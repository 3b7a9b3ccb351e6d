#include "support/e2e/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "support/Poll.h"

namespace e2e {

std::string Describe(const ExitStatus& status) {
  if (status.exited) return "exited with status " + std::to_string(status.code);
  return "killed by signal " + std::to_string(status.signal) + " (" + strsignal(status.signal) + ")";
}

namespace {

ExitStatus FromWait(int raw) {
  ExitStatus s;
  if (WIFEXITED(raw)) {
    s.exited = true;
    s.code = WEXITSTATUS(raw);
  } else if (WIFSIGNALED(raw)) {
    s.signal = WTERMSIG(raw);
  }
  return s;
}

// In the child, before exec: only async-signal-safe calls.
void Redirect(const char* path, int fd) {
  int file = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) _exit(126);
  dup2(file, fd);
}

}  // namespace

ChildProcess::~ChildProcess() { Stop(Millis(500)); }

void ChildProcess::Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                         const std::string& stdoutFile, const std::string& stderrFile, int keepFd) {
  if (argv.empty()) throw std::runtime_error("nothing to start");
  // Everything the child needs is prepared before the fork.
  std::vector<std::string> envText;
  for (const auto& [name, value] : env) envText.push_back(name + "=" + value);
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (std::string& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string out = stdoutFile.empty() ? "/dev/null" : stdoutFile;
  const std::string err = stderrFile.empty() ? "/dev/null" : stderrFile;
  // exec reports its failure through a pipe that closes on success.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const pid_t parent = getpid();

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    setpgid(0, 0);
    int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    Redirect(out.c_str(), 1);
    Redirect(err.c_str(), 2);
    if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
    // Signals the test process ignores or blocks must reach the child.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    execvpe(args[0], args.data(), envp.data());
    int error = errno;
    ssize_t ignored = write(report[1], &error, sizeof error);
    (void)ignored;
    _exit(127);
  }
  close(report[1]);
  int error = 0;
  ssize_t n;
  do n = read(report[0], &error, sizeof error);
  while (n < 0 && errno == EINTR);
  close(report[0]);
  pid_ = pid;
  status_.reset();
  if (n == sizeof error) {
    WaitForExit(Millis(1000));
    throw std::runtime_error("cannot start " + argv[0] + ": " + strerror(error));
  }
}

bool ChildProcess::Running() {
  if (pid_ <= 0 || status_) return false;
  int raw = 0;
  pid_t r = waitpid(pid_, &raw, WNOHANG);
  if (r == pid_) {
    status_ = FromWait(raw);
    return false;
  }
  return r == 0;
}

void ChildProcess::Signal(int signal) {
  if (Running()) kill(pid_, signal);
}

std::optional<ExitStatus> ChildProcess::WaitForExit(Millis timeout) {
  PollUntil([this] { return !Running(); }, {}, timeout);
  return status_;
}

void ChildProcess::Stop(Millis grace) {
  if (!Running()) return;
  kill(pid_, SIGTERM);
  if (WaitForExit(grace)) return;
  kill(pid_, SIGKILL);
  WaitForExit(Millis(5000));
}

std::map<std::string, std::string> BaseEnvironment() {
  const char* path = getenv("PATH");
  std::map<std::string, std::string> env{{"PATH", path ? path : "/usr/local/bin:/usr/bin:/bin"}};
  // A sanitizer build's settings reach the programs it built.
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
    if (const char* value = getenv(name)) env[name] = value;
  return env;
}

}  // namespace e2e
