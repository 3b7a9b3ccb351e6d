// Child processes for the end-to-end tests: started with an environment of
// their own and their output in files, polled for their exit with a
// deadline, and killed when the test is done with them (or dies itself).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// How a process ended.
struct ExitStatus {
  bool exited = false;  // by exit(): `code` holds its status
  int code = 0;
  int signal = 0;  // by a signal: its number
  bool Clean() const { return exited && code == 0; }
};
std::string Describe(const ExitStatus& status);

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (searched on PATH) with exactly the environment given.
  // Its standard output and error go to the files named (/dev/null when
  // empty); `keepFd` stays open in the child (for Xvfb's -displayfd). The
  // child is killed when the process that started it ends. Throws
  // std::runtime_error when the program cannot be started.
  void Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
             const std::string& stdoutFile = "", const std::string& stderrFile = "", int keepFd = -1);

  pid_t Pid() const { return pid_; }
  bool Started() const { return pid_ > 0; }
  // Reaps the child if it has ended; true while it runs.
  bool Running();
  // Its exit once it has ended, else nothing.
  const std::optional<ExitStatus>& Status() const { return status_; }
  void Signal(int signal);
  // Polls until the child ends; its status, or nothing when time ran out.
  std::optional<ExitStatus> WaitForExit(Millis timeout);
  // SIGTERM, a short wait, then SIGKILL; always reaps.
  void Stop(Millis grace = Millis(2000));

 private:
  pid_t pid_ = -1;
  std::optional<ExitStatus> status_;
};

// The variables every child of the tests starts from: PATH and the
// sanitizer settings, nothing else of the test's own environment.
std::map<std::string, std::string> BaseEnvironment();

}  // namespace e2e
