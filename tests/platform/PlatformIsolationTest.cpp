// Work run in a child process: its verdict comes back, and neither a fault
// nor a loop nor what it changes reaches the caller.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "platform/PlatformSystem.h"

namespace {

int changed = 0;
volatile int zero = 0;
// Written by the endless work: a volatile store is a side effect, so the
// compiler must keep the loop (an empty endless loop may be dropped).
volatile int spins = 0;

TEST(PlatformIsolation, OnlyWorkThatReturnsTrueInTimeSucceeds) {
  struct Case {
    const char* what;
    bool (*work)(void*);
    bool expected;
  } cases[] = {
      {"returns true", [](void*) { return true; }, true},
      {"returns false", [](void*) { return false; }, false},
      {"divides by zero", [](void*) { return 1 / zero == 7; }, false},
      {"writes through a null pointer",
       [](void*) {
         *static_cast<volatile int*>(nullptr) = 1;
         return true;
       },
       false},
      {"aborts",
       [](void*) {
         std::abort();
         return true;
       },
       false},
      {"never ends",
       [](void*) {
         for (;;) {
           spins = spins + 1;
           changed = spins;
         }
         return true;
       },
       false},
      {"changes the caller's memory",
       [](void*) {
         changed = 42;
         return true;
       },
       true},
  };
  for (const Case& c : cases) {
    changed = 0;
    EXPECT_EQ(PlatformRunIsolated(c.work, nullptr, 0.5), c.expected) << c.what;
    EXPECT_EQ(changed, 0) << c.what;
  }
}

TEST(PlatformIsolation, TheWorkGetsItsData) {
  int value = 5;
  EXPECT_TRUE(PlatformRunIsolated([](void* data) { return *static_cast<int*>(data) == 5; }, &value, 5.0));
  value = 6;
  EXPECT_FALSE(PlatformRunIsolated([](void* data) { return *static_cast<int*>(data) == 5; }, &value, 5.0));
}

}  // namespace
