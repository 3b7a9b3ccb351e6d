// Work run in a child process: its verdict comes back, and neither a fault
// nor a loop nor what it changes reaches the caller.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "platform/PlatformSystem.h"

namespace {

int changed = 0;
volatile int zero = 0;
// Written by the endless work: a volatile store is a side effect, so the
// compiler must keep the loop (an empty endless loop may be dropped).
volatile int spins = 0;

bool NeverEnds(void*) {
  for (;;) {
    spins = spins + 1;
    changed = spins;
  }
  return true;
}

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
      {"never ends", NeverEnds, false},
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

// A zombie among this process's children: its pid, or 0 when there is none
// (the child stays a zombie: it is looked at, not reaped).
pid_t ZombieChild() {
  siginfo_t info{};
  if (waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0) return 0;
  return info.si_pid;
}

bool Quick(void*) { return true; }
bool Refuses(void*) { return false; }

// The limit bounds the wait for a child still at work, not the age of a
// check: a verdict written in time is read however late it is asked for.
TEST(PlatformIsolation, AVerdictWrittenInTimeIsReadWhenAskedForAfterTheLimit) {
  for (bool verdict : {true, false}) {
    IsolatedRun* run = PlatformStartIsolated(verdict ? Quick : Refuses, nullptr);
    ASSERT_NE(run, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_EQ(PlatformFinishIsolated(run, 0.5), verdict) << verdict;
  }
  // Work still running when the limit has passed fails at once.
  IsolatedRun* looping = PlatformStartIsolated(NeverEnds, nullptr);
  ASSERT_NE(looping, nullptr);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  auto asked = std::chrono::steady_clock::now();
  EXPECT_FALSE(PlatformFinishIsolated(looping, 0.2));
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(150));
}

// A child that has ended is reaped when looked at, so none stays behind as a
// zombie while its verdict waits to be asked for; the verdict is kept.
TEST(PlatformIsolation, AnEndedRunLeavesNoZombieAndKeepsItsVerdict) {
  for (bool verdict : {true, false}) {
    IsolatedRun* run = PlatformStartIsolated(verdict ? Quick : Refuses, nullptr);
    ASSERT_NE(run, nullptr);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool ended = false;
    while (!(ended = PlatformIsolatedEnded(run)) && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(ended);
    EXPECT_EQ(ZombieChild(), 0);
    EXPECT_TRUE(PlatformIsolatedEnded(run));
    EXPECT_EQ(PlatformFinishIsolated(run, 0.1), verdict) << verdict;
  }
  // A child at work has not ended.
  IsolatedRun* looping = PlatformStartIsolated(NeverEnds, nullptr);
  ASSERT_NE(looping, nullptr);
  EXPECT_FALSE(PlatformIsolatedEnded(looping));
  EXPECT_FALSE(PlatformFinishIsolated(looping, 0));
  EXPECT_TRUE(PlatformIsolatedEnded(nullptr));
}

}  // namespace
