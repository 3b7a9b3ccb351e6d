#include <gtest/gtest.h>

#include <vector>

#include "foundation/Clock.h"
#include "foundation/Timer.h"
#include "support/FakeTime.h"

namespace {

std::vector<void*> calls;

void Record(Timer* timer) { calls.push_back(timer->Data()); }

class TimerTest : public testing::Test {
 protected:
  void SetUp() override { calls.clear(); }
  void After(UInt64 ms) {
    time.AdvanceMicros(ms * 1000);
    ServiceTimers();
  }
  FakeTime time;
};

int tagA, tagB;

}  // namespace

TEST_F(TimerTest, FiresOnTheNextPassThenEveryPeriod) {
  ASSERT_EQ(CountTimers(), 0u);
  EXPECT_EQ(NextTimerDelay(), -1);
  Timer timer(Record, 30, &tagA);
  EXPECT_EQ(timer.Func(), Record);
  EXPECT_EQ(timer.MS(), 30u);
  EXPECT_EQ(timer.Data(), &tagA);
  EXPECT_NE(timer.timerRef, nullptr);
  EXPECT_EQ(CountTimers(), 1u);
  EXPECT_EQ(NextTimerDelay(), 0);

  ServiceTimers();
  EXPECT_EQ(calls.size(), 1u);
  ServiceTimers();  // not due again yet
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(NextTimerDelay(), 30000);
  After(29);
  EXPECT_EQ(calls.size(), 1u);
  After(1);
  EXPECT_EQ(calls.size(), 2u);

  // Fallen behind: one call, and the timer keeps its phase.
  After(100);
  EXPECT_EQ(calls.size(), 3u);
  EXPECT_EQ(NextTimerDelay(), 20000);
  After(20);
  EXPECT_EQ(calls.size(), 4u);
}

TEST_F(TimerTest, InitReplacesOrStopsTheTimer) {
  Timer timer;
  EXPECT_EQ(timer.timerRef, nullptr);
  EXPECT_EQ(CountTimers(), 0u);

  EXPECT_TRUE(timer.Init(Record, 30, &tagA));
  EXPECT_TRUE(timer.Init(Record, 50, &tagB));
  EXPECT_EQ(CountTimers(), 1u);
  ServiceTimers();
  After(30);
  After(20);
  EXPECT_EQ(calls, (std::vector<void*>{&tagB, &tagB}));

  EXPECT_TRUE(timer.Init(nullptr, 30, &tagA));
  EXPECT_EQ(timer.timerRef, nullptr);
  EXPECT_EQ(CountTimers(), 0u);
  After(100);
  EXPECT_EQ(calls.size(), 2u);

  {
    Timer scoped(Record, 10, &tagA);
    EXPECT_EQ(CountTimers(), 1u);
  }
  EXPECT_EQ(CountTimers(), 0u);
}

namespace {

Timer* other;
int depth, maxDepth;

SInt64 nestedDelay;

// A callback that runs a nested loop, as a modal dialog would.
void Nested(Timer* timer) {
  calls.push_back(timer->Data());
  nestedDelay = NextTimerDelay();
  depth++;
  if (depth > maxDepth) maxDepth = depth;
  ServiceTimers();
  depth--;
}

void Restart(Timer* timer) {
  calls.push_back(timer->Data());
  timer->Init(Record, 10, &tagB);
}

void StopOther(Timer* timer) {
  calls.push_back(timer->Data());
  other->Init(nullptr, 0, nullptr);
}

}  // namespace

TEST_F(TimerTest, CallbacksMayNestAndChangeTimers) {
  depth = maxDepth = 0;
  {
    Timer modal(Nested, 30, &tagA);
    Timer audio(Record, 30, &tagB);
    ServiceTimers();
    // The nested loop ran the other timer; neither ran twice.
    EXPECT_EQ(calls, (std::vector<void*>{&tagA, &tagB}));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(nestedDelay, 0);  // the other timer was due; the running one does not count
  }
  {
    Timer alone(Nested, 30, &tagA);
    ServiceTimers();
    EXPECT_EQ(nestedDelay, -1);  // only the running timer: nothing can fire
  }

  calls.clear();
  {
    Timer restart(Restart, 30, &tagA);
    ServiceTimers();
    EXPECT_EQ(calls, (std::vector<void*>{&tagA}));  // the new timer waits for the next pass
    ServiceTimers();
    EXPECT_EQ(calls, (std::vector<void*>{&tagA, &tagB}));
    EXPECT_EQ(CountTimers(), 1u);
  }

  calls.clear();
  {
    Timer stopper(StopOther, 30, &tagA);
    Timer victim(Record, 30, &tagB);
    other = &victim;
    ServiceTimers();
    EXPECT_EQ(calls, (std::vector<void*>{&tagA}));
    EXPECT_EQ(CountTimers(), 1u);
  }
  EXPECT_EQ(CountTimers(), 0u);
}

namespace {

Timer* doomed;
void DestroySelf(Timer* timer) {
  calls.push_back(timer->Data());
  delete doomed;
}

void Tick(Timer*) { mainTIME++; }

}  // namespace

TEST_F(TimerTest, ATimerMayBeDestroyedByItsOwnCallback) {
  doomed = new Timer(DestroySelf, 30, &tagA);
  ServiceTimers();
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(CountTimers(), 0u);
  After(60);
  EXPECT_EQ(calls.size(), 1u);
}

// Waits keep the timers running: a 30 ms timer fires during a 100 ms fade wait,
// and a timer that advances mainTIME ends a counter wait.
TEST_F(TimerTest, WaitsServiceTheTimers) {
  time.StepPerUpTimeRead(1000);
  Timer audio(Record, 30, &tagA);
  StartTicks();
  WaitTicks(6);
  EXPECT_GE(calls.size(), 3u);
  EXPECT_LE(calls.size(), 5u);

  Timer counter(Tick, 0, nullptr);  // a period of 0 fires on every pass
  mainTIME = 0;
  StartTime();
  WaitTime(3);
  EXPECT_EQ(theTime.start, 3);
}
