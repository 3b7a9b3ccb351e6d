#include "support/e2e/PressLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <utility>

namespace e2e {

std::string RunningTestName() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return test ? std::string(test->test_suite_name()) + "." + test->name() : "?";
}

void NotePress(const std::string& key) {
  const char* log = std::getenv("HALVANE_E2E_PRESS_LOG");
  if (!log || !*log) return;
  static std::set<std::pair<std::string, std::string>> noted;
  const std::string test = RunningTestName();
  if (!noted.insert({test, key}).second) return;
  std::ofstream(log, std::ios::app) << test << " " << key << "\n";
}

}  // namespace e2e
