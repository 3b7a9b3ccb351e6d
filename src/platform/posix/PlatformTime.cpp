#include "platform/PlatformTime.h"

#include <ctime>

namespace {

UInt64 MonotonicNanoseconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return UInt64(ts.tv_sec) * 1000000000u + UInt64(ts.tv_nsec);
}

UInt64 MonotonicMicroseconds() { return MonotonicNanoseconds() / 1000u; }

void MonotonicSleep(UInt64 nanos) {
  timespec ts{time_t(nanos / 1000000000u), long(nanos % 1000000000u)};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

const TimeSource monotonicSource = {MonotonicNanoseconds, MonotonicMicroseconds, MonotonicSleep};
const TimeSource* source = &monotonicSource;

// Seconds from 1 January 1904 to 1 January 1970.
constexpr SInt64 kEpochDifference = 2082844800;

}  // namespace

const TimeSource* SetTimeSource(const TimeSource* next) {
  const TimeSource* previous = source;
  source = next ? next : &monotonicSource;
  return previous;
}

UnsignedWide UpTime() { return ToUnsignedWide(source->nanoseconds()); }

void Microseconds(UnsignedWide* out) { *out = ToUnsignedWide(source->microseconds()); }

UInt64 MicrosecondsNow() { return source->microseconds(); }

void SleepNanoseconds(UInt64 nanos) { source->sleep(nanos); }

UInt32 TickCount() { return UInt32(source->nanoseconds() * 60u / 1000000000u); }

void Delay(UInt32 ticks) {
  UInt32 target = TickCount() + ticks;
  while (SInt32(target - TickCount()) > 0) {
    // Sleep to the start of the next tick rather than spinning; in units of
    // a sixtieth of a nanosecond, a tick is 10^9.
    UInt64 now = source->nanoseconds() * 60u;
    UInt64 nextTick = (now / 1000000000u + 1u) * 1000000000u;
    source->sleep((nextTick - now + 59u) / 60u);
  }
}

void GetDateTime(UInt32* seconds) {
  time_t now = time(nullptr);
  tm local;
  localtime_r(&now, &local);
  *seconds = UInt32(SInt64(now) + local.tm_gmtoff + kEpochDifference);
}
