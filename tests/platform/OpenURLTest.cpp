#include <gtest/gtest.h>

#include <string>

#include "platform/PlatformSystem.h"

namespace {

std::string seen;
SInt16 Record(const char* url) {
  seen = url;
  return 7;
}

TEST(OpenURL, AnInstalledOpenerGetsTheURLAndNullRestoresTheSystems) {
  URLOpener system = SetURLOpener(Record);
  EXPECT_EQ(PlatformOpenURL("mailto:a@b.invalid?subject=x"), 7);
  EXPECT_EQ(seen, "mailto:a@b.invalid?subject=x");
  EXPECT_EQ(SetURLOpener(nullptr), Record);
  EXPECT_EQ(SetURLOpener(system), system);
}

TEST(OpenURL, TheSystemOpenerRefusesAnEmptyURL) {
  URLOpener previous = SetURLOpener(nullptr);
  EXPECT_EQ(PlatformOpenURL(""), -1);
  EXPECT_EQ(PlatformOpenURL(nullptr), -1);
  SetURLOpener(previous);
}

}  // namespace
