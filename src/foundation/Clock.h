// The engine clock. LocalMicroseconds paces the main loop; around it stand
// millisecond forms, a tick stopwatch for the fades, a stopwatch over the
// counter mainTIME, a microsecond stopwatch, the local date text and
// SynchTime, a clock that follows a remote one by offset and drift.
//
// Waits service the event-loop timers (ServiceTimers, Timer.h) while they
// wait, so the audio keeps running during fades.
#pragma once

#include "platform/PlatformTime.h"

struct TickWatch {
  SInt32 start;
  SInt32 target;
};

// The microsecond stopwatch: when it was primed and its count (negative
// microseconds, as primed).
struct TimerTask {
  UInt64 primedAt;
  SInt32 count;
};

extern Boolean timeInited;
extern double firstUpTime;
extern double firstMicroseconds;
extern double timeRate;
extern TickWatch theTicks;
extern TickWatch theTime;
// Advanced by nothing in the engine: an application that wants the counter
// stopwatch advances it itself (a timer callback can, as WaitTime services
// the timers). WaitTime with a positive count waits for ever otherwise.
extern SInt32 mainTIME;
extern double startMilliseconds;
extern Boolean timerInstalled;
extern TimerTask timerTask;
extern SInt32 TMOverhead;

void InitTime();
void UpdateTime();
double LocalMicroseconds();
double LocalMilliseconds();
void StartMilliseconds();
void WaitMilliseconds(SInt32 ms);
double MicrosecondsToDouble(const UnsignedWide& w);
double MicrosecondsAsDouble();

void StartTicks();
void WaitTicks(SInt16 n);
Boolean UpdateTicks(SInt16 n);
SInt16 DelayTicks();

void StartTime();
void WaitTime(SInt32 n);
SInt32 DelayTime();

void StartTimer();
SInt32 EndTimer();

// The local date and time as "Wed Jun 30 21:49:08 1993", in a static buffer.
char* LocalTime();

// WaitMilliseconds yields through SystemIdle, which belongs to the event
// layer above this library: the shell installs it here at start-up; until
// then a wait services the timers and sleeps a millisecond. Returns the
// function installed before; null restores that default.
typedef void (*SystemIdleProc)();
SystemIdleProc SetSystemIdle(SystemIdleProc idle);

struct SynchTime {
  double (*clock)();
  double offset;
  double drift;
  double lastSynch;

  explicit SynchTime(double (*localClock)() = LocalMicroseconds)
      : clock(localClock), offset(0), drift(0), lastSynch(0) {}
  double GlobalMicroseconds();
  double GlobalMilliseconds();
  void SynchMicroseconds(double delta, unsigned char adjustDrift);
  void SynchMilliseconds(double deltaMs, unsigned char adjustDrift);
};
