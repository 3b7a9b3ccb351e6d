// The platform's time sources: an up-time counter in nanoseconds, a
// microsecond counter, ticks (sixtieths of a second), a tick delay and the
// local date as seconds since 1 January 1904. All of them read one monotonic
// clock through a replaceable source, so tests can run time by hand.
#pragma once

#include "platform/PlatformTypes.h"

struct TimeSource {
  UInt64 (*nanoseconds)();      // the up-time counter
  UInt64 (*microseconds)();     // the microsecond counter
  void (*sleep)(UInt64 nanos);  // blocks the thread; a fake source advances its clock instead
};

// Installs a time source; null restores CLOCK_MONOTONIC. Returns the previous one.
const TimeSource* SetTimeSource(const TimeSource* source);

UnsignedWide UpTime();
void Microseconds(UnsignedWide* out);
// The microsecond counter as one number, for code that does not need the
// two-word form.
UInt64 MicrosecondsNow();
void SleepNanoseconds(UInt64 nanos);
UInt32 TickCount();
// Sleeps until TickCount() has advanced by ticks.
void Delay(UInt32 ticks);
// Local date and time in seconds since 1 January 1904, modulo 2^32.
void GetDateTime(UInt32* seconds);

inline UnsignedWide ToUnsignedWide(UInt64 value) { return UnsignedWide{UInt32(value), UInt32(value >> 32)}; }
