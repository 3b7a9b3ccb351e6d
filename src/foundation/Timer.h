// Event-loop timers: periodic callbacks on the main thread. There are no
// threads and no system timers behind them; the timers run when the event
// loop services them.
//
// For the event layer: call ServiceTimers() on every pass of every loop that
// waits for something -- GetEvent, SystemIdle, each modal dialog and menu
// loop, each wait. A callback may run inside any such loop, and it may
// itself run a nested loop; a timer is never re-entered while its callback
// runs. NextTimerDelay() tells a loop how long it may block before a timer is
// due.
#pragma once

#include "platform/PlatformTypes.h"

struct TimerEntry;
typedef TimerEntry* EventLoopTimerRef;

class Timer {
 public:
  typedef void (*TimerProc)(Timer*);

  TimerProc func;
  UInt32 ms;
  void* data;
  EventLoopTimerRef timerRef;

  Timer(TimerProc func = nullptr, UInt32 ms = 0, void* data = nullptr);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Removes the installed timer, stores the three values and, with a
  // callback, installs a timer that first fires on the next service pass and
  // then every ms milliseconds. Always true.
  Boolean Init(TimerProc func, UInt32 ms, void* data);
  static void TimerFunc(EventLoopTimerRef timer, void* userData);

  TimerProc Func() const { return func; }
  UInt32 MS() const { return ms; }
  void* Data() const { return data; }
};

// Runs the callback of every installed timer that is due. A timer that fell
// behind fires once and keeps its phase; missed periods are skipped.
void ServiceTimers();
// Microseconds until the next timer is due: 0 when one is due now, -1 when
// none can fire (none installed, or only ones whose callback is running).
SInt64 NextTimerDelay();
// Number of installed timers.
UInt32 CountTimers();
