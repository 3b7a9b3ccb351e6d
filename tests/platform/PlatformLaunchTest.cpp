// Running a helper program and waiting for it: its output, its status, a
// program that cannot be started, and one that takes too long.
#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/PlatformLaunch.h"

TEST(RunProgram, AnswersStatusAndOutputAndGivesUpOnTime) {
  struct Case {
    std::vector<std::string> argv;
    int status;
    std::string output;
  } cases[] = {
      {{"printf", "web-browser.desktop\\n"}, 0, "web-browser.desktop\n"},
      {{"sh", "-c", "echo no >&2; exit 3"}, 3, ""},  // standard error is not output
      {{"halvane-no-such-program"}, 127, ""},
      {{}, 127, ""},
  };
  for (const Case& c : cases) {
    std::string output;
    EXPECT_EQ(RunProgram(c.argv, &output, 5000), c.status) << (c.argv.empty() ? "" : c.argv[0]);
    EXPECT_EQ(output, c.output);
  }
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunProgram({"sleep", "30"}, nullptr, 200), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "it was not killed";
}

// A helper that starts a child of its own and hangs: on the time-out the
// child ends too, instead of living on after the helper.
TEST(RunProgram, OnTheTimeOutTheHelpersOwnChildrenEndWithIt) {
  std::string output;
  EXPECT_EQ(RunProgram({"sh", "-c", "sleep 300 & echo $!; wait"}, &output, 500), -1);
  const pid_t grandchild = pid_t(std::stol(output));
  ASSERT_GT(grandchild, 0) << output;
  // Once its parent is gone it is reaped by whoever adopts it.
  bool gone = false;
  for (int i = 0; i < 500 && !gone; ++i) {
    gone = kill(grandchild, 0) != 0 && errno == ESRCH;
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!gone) kill(grandchild, SIGKILL);
  EXPECT_TRUE(gone) << "process " << grandchild << " outlived the helper";
}
