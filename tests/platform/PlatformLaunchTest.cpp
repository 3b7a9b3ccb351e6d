// Running a helper program and waiting for it: its output, its status, a
// program that cannot be started, and one that takes too long.
#include <gtest/gtest.h>

#include <chrono>

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
