#include <gtest/gtest.h>

#include <string>

#include "foundation/Clock.h"
#include "support/FakeTime.h"

namespace {

class ClockTest : public testing::Test {
 protected:
  void SetUp() override {
    timeInited = 0;
    firstUpTime = firstMicroseconds = timeRate = 0;
    timerInstalled = 0;
    TMOverhead = 0;
  }
  FakeTime time;
};

}  // namespace

// Each failed sample pair costs a tick and a new try, five tries at most;
// calibration then waits two ticks and measures the rate.
TEST_F(ClockTest, InitTimeRetriesInterruptedSamples) {
  struct Case {
    int failures;
    int microsecondReads;
    UInt32 ticks;
  } cases[] = {{0, 4, 2}, {2, 8, 4}, {4, 12, 6}, {9, 12, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failures);
    SetUp();
    std::deque<UInt64> offsets = {0};
    for (int i = 0; i < c.failures; i++) offsets.insert(offsets.end(), {0, 150});
    time.ScriptMicroseconds(offsets);
    int readsBefore = time.MicrosecondReads();
    UInt32 ticksBefore = TickCount();
    InitTime();
    EXPECT_EQ(time.MicrosecondReads() - readsBefore, c.microsecondReads);
    EXPECT_EQ(TickCount() - ticksBefore, c.ticks);
    EXPECT_EQ(timeInited, 1);
    // Microseconds per nanosecond of up-time, measured from the last sample.
    if (c.failures < 5) {
      EXPECT_DOUBLE_EQ(timeRate, 0.001);
    }

    int reads = time.MicrosecondReads();
    double first = firstMicroseconds;
    InitTime();  // a second call changes nothing
    EXPECT_EQ(time.MicrosecondReads(), reads);
    EXPECT_EQ(firstMicroseconds, first);
  }
}

TEST_F(ClockTest, LocalClockFollowsTheCounters) {
  EXPECT_EQ(LocalMicroseconds(), 0);  // uncalibrated
  InitTime();
  double start = LocalMicroseconds();
  EXPECT_NEAR(start, double(time.Micros()), 1.0);
  time.AdvanceMicros(16667);
  EXPECT_NEAR(LocalMicroseconds() - start, 16667, 0.01);
  EXPECT_EQ(LocalMilliseconds(), 0.001 * LocalMicroseconds());
  EXPECT_EQ(MicrosecondsToDouble(UnsignedWide{5, 3}), 3 * 4294967296.0 + 5);
  EXPECT_EQ(MicrosecondsToDouble(UnsignedWide{0xFFFFFFFFu, 0}), 4294967295.0);
  EXPECT_EQ(MicrosecondsAsDouble(), double(time.Micros()) * 1000);
}

TEST_F(ClockTest, WaitTicksMeasuresFromWhereTheLastWaitEnded) {
  time.StepPerUpTimeRead(1000);
  StartTicks();
  SInt32 start = theTicks.start;
  WaitTicks(0);
  EXPECT_EQ(theTicks.start, start);
  WaitTicks(3);
  EXPECT_EQ(theTicks.start, start + 3);
  WaitTicks(3);
  EXPECT_EQ(theTicks.start, start + 6);
  EXPECT_EQ(DelayTicks(), 0);
  EXPECT_TRUE(UpdateTicks(2));
  time.AdvanceMicros(2 * 16667 + 100);
  EXPECT_FALSE(UpdateTicks(2));
  EXPECT_EQ(DelayTicks(), 2);
  WaitTicks(-5);  // a negative wait returns at once
}

TEST_F(ClockTest, MillisecondWaitYieldsThroughSystemIdle) {
  static int idles;
  idles = 0;
  SystemIdleProc previous = SetSystemIdle([] {
    idles++;
    SleepNanoseconds(1000000);
  });
  InitTime();
  StartMilliseconds();
  double start = LocalMilliseconds();
  WaitMilliseconds(10);
  EXPECT_GE(LocalMilliseconds() - start, 10);
  EXPECT_NEAR(idles, 10, 1);
  int waited = idles;
  WaitMilliseconds(0);
  WaitMilliseconds(-3);
  EXPECT_EQ(idles, waited);
  SetSystemIdle(previous);

  StartMilliseconds();
  start = LocalMilliseconds();
  WaitMilliseconds(3);  // the default idle sleeps too
  EXPECT_GE(LocalMilliseconds() - start, 3);
}

TEST_F(ClockTest, Stopwatches) {
  EXPECT_EQ(EndTimer(), 0);
  StartTimer();
  time.AdvanceMicros(1234);
  EXPECT_EQ(EndTimer(), 1234);
  EXPECT_EQ(EndTimer(), 0);
  TMOverhead = 4;
  StartTimer();
  time.AdvanceMicros(100);
  StartTimer();  // restarts
  time.AdvanceMicros(50);
  EXPECT_EQ(EndTimer(), 46);
  StartTimer();
  time.AdvanceMicros(3000000000ull);
  EXPECT_EQ(EndTimer(), 2000000000 - 4);  // the prime ran out

  mainTIME = 10;
  StartTime();
  mainTIME = 17;
  EXPECT_EQ(DelayTime(), 7);
  WaitTime(0);
  EXPECT_EQ(theTime.start, 10);
}

TEST(SynchTime, FollowsTheRemoteClock) {
  static double now;
  now = 5000000;
  SynchTime synch([] { return now; });
  EXPECT_EQ(synch.GlobalMicroseconds(), 5000000);

  synch.SynchMicroseconds(1000, 1);  // first: more than a second since 0, no drift yet
  EXPECT_EQ(synch.offset, 1000);
  EXPECT_EQ(synch.drift, 0);
  EXPECT_EQ(synch.lastSynch, 5000000);

  now += 500000;
  synch.SynchMicroseconds(5000, 1);  // small, within a second: ignored
  EXPECT_EQ(synch.offset, 1000);
  EXPECT_EQ(synch.lastSynch, 5000000);
  synch.SynchMicroseconds(20000, 1);  // large: taken
  EXPECT_EQ(synch.offset, 21000);
  EXPECT_EQ(synch.lastSynch, 5500000);
  synch.SynchMilliseconds(-10.5, 1);
  EXPECT_EQ(synch.offset, 10500);

  now += 2000000;
  synch.SynchMicroseconds(1000, 1);  // rate 0.0005: half to drift, half to offset
  EXPECT_DOUBLE_EQ(synch.drift, 0.00025);
  EXPECT_EQ(synch.offset, 11000);
  now += 2000000;
  synch.SynchMicroseconds(3000, 1);  // rate 0.0015: all to offset
  EXPECT_DOUBLE_EQ(synch.drift, 0.00025);
  EXPECT_EQ(synch.offset, 14000);
  now += 2000000;
  synch.SynchMicroseconds(1000, 0);  // no drift adjustment asked
  EXPECT_EQ(synch.offset, 15000);

  now += 1000000;
  EXPECT_DOUBLE_EQ(synch.GlobalMicroseconds(), now + 15000 + 1000000 * 0.00025);
  EXPECT_DOUBLE_EQ(synch.GlobalMilliseconds(), 0.001 * synch.GlobalMicroseconds());
}

TEST(LocalTime, DateTextWithoutItsNewline) {
  std::string text = LocalTime();
  ASSERT_EQ(text.size(), 24u) << text;  // "Wed Jun 30 21:49:08 1993"
  EXPECT_EQ(text[3], ' ');
  EXPECT_EQ(text[13], ':');
  EXPECT_EQ(text[16], ':');
  EXPECT_EQ(LocalTime(), LocalTime());  // one static buffer
}

TEST(PlatformTime, CountersTicksAndDate) {
  FakeTime time;
  UInt64 start = time.Micros();
  UnsignedWide up = UpTime();
  EXPECT_EQ((UInt64(up.hi) << 32 | up.lo), start * 1000);
  UInt32 ticks = TickCount();
  EXPECT_EQ(ticks, UInt32(start * 60 / 1000000));
  time.AdvanceMicros(1000000);
  EXPECT_EQ(TickCount() - ticks, 60u);
  Delay(3);
  EXPECT_EQ(TickCount() - ticks, 63u);
  EXPECT_LT(time.Micros() - start, 1000000u + 3 * 16667u + 2);  // slept to the tick, not past it
  Delay(0);
  EXPECT_EQ(TickCount() - ticks, 63u);

  // Local seconds since 1904: the POSIX time moved by the zone and 66 years.
  UInt32 seconds;
  time_t before = ::time(nullptr);
  GetDateTime(&seconds);
  tm local;
  localtime_r(&before, &local);
  EXPECT_NEAR(double(seconds), double(UInt32(SInt64(before) + local.tm_gmtoff + 2082844800)), 1);
}
