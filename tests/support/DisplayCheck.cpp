#include "support/DisplayCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>

bool DisplayNamed() {
  const char* display = std::getenv("DISPLAY");
  return display && *display;
}

void ReportNoDisplay(const std::string& why) {
  if (std::getenv("CI"))
    [&] { FAIL() << why; }();
  else
    [&] { GTEST_SKIP() << why; }();
}
