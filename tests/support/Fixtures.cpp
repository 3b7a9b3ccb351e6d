#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

std::string FixturePath(const std::string& name) {
  const char* folder = std::getenv("HALVANE_FIXTURES");
  EXPECT_NE(folder, nullptr) << "HALVANE_FIXTURES is not set";
  return std::string(folder ? folder : "tests/fixtures") + "/" + name;
}

std::string FixtureBytes(const std::string& name) {
  std::ifstream in(FixturePath(name), std::ios::binary);
  EXPECT_TRUE(in) << "no fixture " << name;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
