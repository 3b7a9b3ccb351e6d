// A clock for tests that moves only when it is read or slept on: each
// reading advances it by a millisecond and a sleep by what it asked for, so
// waits, which poll the clock, return at once in real time.
#pragma once

#include "platform/PlatformTime.h"

class ManualClock {
 public:
  ManualClock() { previous_ = SetTimeSource(&source_); }
  ~ManualClock() { SetTimeSource(previous_); }
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;

  static void Advance(UInt64 nanos) { now += nanos; }
  static UInt32 Ticks() { return TickCount(); }

 private:
  static UInt64 Nanoseconds() { return now += 1'000'000; }
  static UInt64 Micro() { return Nanoseconds() / 1000; }
  static void Sleep(UInt64 nanos) { now += nanos; }
  static inline UInt64 now = 1'000'000'000;
  TimeSource source_{Nanoseconds, Micro, Sleep};
  const TimeSource* previous_;
};
