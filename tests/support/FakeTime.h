// The tests' one clock: a time source that only moves when told to. Sleeping
// advances it, a test can script the microsecond counter's next readings, and
// it can be made to move on by itself at every reading, so that waits, which
// poll the clock, end at once in real time.
#pragma once

#include <deque>

#include "platform/PlatformTime.h"

class FakeTime {
 public:
  FakeTime() : previous_(SetTimeSource(&source_)) {
    nanos_ = 1000000000000ull;  // a clock that has been running a while
    scripted_.clear();
    microsecondReads_ = 0;
    step_ = 0;
    stepMicros_ = false;
  }
  // A clock that moves on by this many microseconds at every reading.
  explicit FakeTime(UInt64 microsEveryRead) : FakeTime() { StepPerUpTimeRead(microsEveryRead, true); }
  ~FakeTime() { SetTimeSource(previous_); }
  FakeTime(const FakeTime&) = delete;
  FakeTime& operator=(const FakeTime&) = delete;

  static void AdvanceMicros(UInt64 micros) { nanos_ += micros * 1000; }
  static UInt32 Ticks() { return TickCount(); }
  UInt64 Micros() const { return nanos_ / 1000; }
  // The next readings of the microsecond counter are now + each offset.
  void ScriptMicroseconds(std::deque<UInt64> offsets) { scripted_ = offsets; }
  int MicrosecondReads() const { return microsecondReads_; }
  // Every reading of the up-time counter (and, with everyRead, of the
  // microsecond counter too) moves the clock on by this much, so a busy wait
  // gets somewhere.
  void StepPerUpTimeRead(UInt64 micros, bool everyRead = false) {
    step_ = micros * 1000;
    stepMicros_ = everyRead;
  }

 private:
  static UInt64 Nanoseconds() {
    nanos_ += step_;
    return nanos_;
  }
  static UInt64 Microseconds() {
    microsecondReads_++;
    if (stepMicros_) nanos_ += step_;
    if (scripted_.empty()) return nanos_ / 1000;
    UInt64 value = nanos_ / 1000 + scripted_.front();
    scripted_.pop_front();
    return value;
  }
  // Whole microseconds, so the two counters stay in step.
  static void Sleep(UInt64 nanos) { nanos_ += (nanos + 999) / 1000 * 1000; }

  static inline UInt64 nanos_;
  static inline std::deque<UInt64> scripted_;
  static inline int microsecondReads_;
  static inline UInt64 step_;
  static inline bool stepMicros_;
  const TimeSource source_ = {Nanoseconds, Microseconds, Sleep};
  const TimeSource* previous_;
};
