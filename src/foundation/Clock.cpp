#include "foundation/Clock.h"

#include <cstring>
#include <ctime>

#include "foundation/StringFunctions.h"
#include "foundation/Timer.h"

Boolean timeInited;
double firstUpTime;
double firstMicroseconds;
double timeRate;
TickWatch theTicks;
TickWatch theTime;
SInt32 mainTIME;
double startMilliseconds;
Boolean timerInstalled;
TimerTask timerTask;
SInt32 TMOverhead;

namespace {

// A calibration sample pair further apart than this was interrupted.
constexpr double kSampleTolerance = 150;
constexpr int kCalibrationTries = 5;
// The microsecond stopwatch is primed with two thousand seconds.
constexpr SInt32 kTimerPrime = 2000000000;

void DefaultSystemIdle() {
  ServiceTimers();
  SleepNanoseconds(1000000);
}

SystemIdleProc systemIdle = DefaultSystemIdle;

double ReadMicroseconds() {
  UnsignedWide w;
  Microseconds(&w);
  return MicrosecondsToDouble(w);
}

}  // namespace

SystemIdleProc SetSystemIdle(SystemIdleProc idle) {
  SystemIdleProc previous = systemIdle;
  systemIdle = idle ? idle : DefaultSystemIdle;
  return previous;
}

void InitTime() {
  if (timeInited) return;
  double up = MicrosecondsToDouble(UpTime());
  double after = ReadMicroseconds();
  for (int tries = 1;; ++tries) {
    double before = ReadMicroseconds();
    up = MicrosecondsToDouble(UpTime());
    after = ReadMicroseconds();
    if (after - before < kSampleTolerance || tries == kCalibrationTries) break;
    Delay(1);
  }
  firstUpTime = up;
  firstMicroseconds = after;
  timeRate = 1.0;
  timeInited = 1;
  Delay(2);
  UpdateTime();
}

void UpdateTime() {
  InitTime();
  double up = MicrosecondsToDouble(UpTime());
  double micros = ReadMicroseconds();
  // A clock that has not moved since calibration has no rate to measure yet.
  if (up != firstUpTime) timeRate = (micros - firstMicroseconds) / (up - firstUpTime);
}

double LocalMicroseconds() { return firstMicroseconds + (MicrosecondsToDouble(UpTime()) - firstUpTime) * timeRate; }

double LocalMilliseconds() { return 0.001 * LocalMicroseconds(); }

void StartMilliseconds() { startMilliseconds = LocalMilliseconds(); }

void WaitMilliseconds(SInt32 ms) {
  while (startMilliseconds + ms > LocalMilliseconds()) systemIdle();
}

double MicrosecondsToDouble(const UnsignedWide& w) { return double(w.hi) * 4294967296.0 + double(w.lo); }

double MicrosecondsAsDouble() { return MicrosecondsToDouble(UpTime()); }

void StartTicks() { theTicks.start = SInt32(TickCount()); }

void WaitTicks(SInt16 n) {
  theTicks.target = theTicks.start + n;
  while (theTicks.start < theTicks.target) {
    ServiceTimers();
    theTicks.start = SInt32(TickCount());
  }
}

Boolean UpdateTicks(SInt16 n) { return TickCount() < UInt32(theTicks.start + n); }

SInt16 DelayTicks() { return SInt16(SInt32(TickCount()) - theTicks.start); }

void StartTime() { theTime.start = mainTIME; }

void WaitTime(SInt32 n) {
  theTime.target = theTime.start + n;
  while (theTime.start < theTime.target) {
    ServiceTimers();
    theTime.start = mainTIME;
  }
}

SInt32 DelayTime() { return mainTIME - theTime.start; }

void StartTimer() {
  EndTimer();
  timerInstalled = 1;
  timerTask.primedAt = MicrosecondsNow();
  timerTask.count = -kTimerPrime;
}

SInt32 EndTimer() {
  if (!timerInstalled) return 0;
  timerInstalled = 0;
  UInt64 elapsed = MicrosecondsNow() - timerTask.primedAt;
  // The task stops counting when its prime runs out.
  SInt32 remaining = elapsed >= UInt64(kTimerPrime) ? 0 : timerTask.count + SInt32(elapsed);
  return remaining - TMOverhead + kTimerPrime;
}

char* LocalTime() {
  static char text[256];
  time_t now = time(nullptr);
  tm local;
  localtime_r(&now, &local);
  char formatted[64];
  asctime_r(&local, formatted);
  strcpymax(text, formatted, 255);
  size_t length = strlen(text);
  if (length) text[length - 1] = 0;
  return text;
}

double SynchTime::GlobalMicroseconds() {
  double local = clock();
  return local + offset + (local - lastSynch) * drift;
}

double SynchTime::GlobalMilliseconds() { return 0.001 * GlobalMicroseconds(); }

void SynchTime::SynchMicroseconds(double delta, unsigned char adjustDrift) {
  double local = clock();
  double elapsed = local - lastSynch;
  if (elapsed > 1000000) {
    double rate = delta / elapsed;
    if (adjustDrift && lastSynch != 0 && rate > -0.001 && rate < 0.001) {
      drift += rate / 2;
      offset += delta / 2;
    } else {
      offset += delta;
    }
    lastSynch = local;
  } else if (delta > 10000 || delta < -10000) {
    offset += delta;
    lastSynch = local;
  }
}

void SynchTime::SynchMilliseconds(double deltaMs, unsigned char adjustDrift) {
  SynchMicroseconds(1000 * deltaMs, adjustDrift);
}
