#include "foundation/Timer.h"

#include <algorithm>
#include <vector>

#include "platform/PlatformTime.h"

struct TimerEntry {
  Timer* owner;
  UInt64 intervalMicros;
  UInt64 due;
  UInt32 pass;   // the service pass that last ran it
  bool running;  // its callback is on the stack
  bool removed;  // removed while running: freed when the callback returns
};

namespace {

// Never destroyed: global Timers remove themselves during static destruction.
std::vector<TimerEntry*>& Installed() {
  static auto* timers = new std::vector<TimerEntry*>;
  return *timers;
}

UInt32 servicePass;

EventLoopTimerRef InstallTimer(Timer* owner, UInt64 intervalMicros) {
  // Marked as run in the current pass, so a timer installed by a callback
  // first fires on the next pass, not in the one that installed it.
  auto* entry = new TimerEntry{owner, intervalMicros, MicrosecondsNow(), servicePass, false, false};
  Installed().push_back(entry);
  return entry;
}

void RemoveTimer(EventLoopTimerRef entry) {
  auto& timers = Installed();
  timers.erase(std::find(timers.begin(), timers.end(), entry));
  if (entry->running)
    entry->removed = true;
  else
    delete entry;
}

// The first installed timer that is due and has not run in this pass.
TimerEntry* NextDue(UInt32 pass, UInt64 now) {
  for (TimerEntry* entry : Installed())
    if (!entry->running && entry->pass != pass && entry->due <= now) return entry;
  return nullptr;
}

void Reschedule(TimerEntry* entry, UInt64 now) {
  if (entry->intervalMicros == 0) {
    entry->due = now;
    return;
  }
  UInt64 missed = (now - entry->due) / entry->intervalMicros;
  entry->due += (missed + 1) * entry->intervalMicros;
}

}  // namespace

Timer::Timer(TimerProc f, UInt32 period, void* userData) : func(nullptr), ms(0), data(nullptr), timerRef(nullptr) {
  Init(f, period, userData);
}

Timer::~Timer() { Init(nullptr, 0, nullptr); }

Boolean Timer::Init(TimerProc f, UInt32 period, void* userData) {
  if (timerRef) RemoveTimer(timerRef);
  timerRef = nullptr;
  func = f;
  ms = period;
  data = userData;
  if (func) timerRef = InstallTimer(this, UInt64(period) * 1000u);
  return true;
}

void Timer::TimerFunc(EventLoopTimerRef, void* userData) {
  Timer* timer = static_cast<Timer*>(userData);
  if (timer->func) timer->func(timer);
}

void ServiceTimers() {
  UInt32 pass = ++servicePass;
  UInt64 now = MicrosecondsNow();
  while (TimerEntry* entry = NextDue(pass, now)) {
    entry->pass = pass;
    Reschedule(entry, now);
    entry->running = true;
    Timer::TimerFunc(entry, entry->owner);
    entry->running = false;
    if (entry->removed) delete entry;
  }
}

SInt64 NextTimerDelay() {
  // A timer whose callback is running cannot fire in a nested loop.
  const TimerEntry* next = nullptr;
  for (const TimerEntry* entry : Installed())
    if (!entry->running && (!next || entry->due < next->due)) next = entry;
  if (!next) return -1;
  UInt64 now = MicrosecondsNow();
  return next->due > now ? SInt64(next->due - now) : 0;
}

UInt32 CountTimers() { return UInt32(Installed().size()); }
