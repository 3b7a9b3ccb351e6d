#include "platform/EventPlatform.h"

#include <algorithm>
#include <deque>

#include "platform/InputTrace.h"
#include "platform/SDLEventPlatform.h"

namespace {

std::deque<PlatformEvent> queue;
EventPlatform* installed = nullptr;

void Trace(const char* what, const PlatformEvent& e) {
  if (!InputTraceOn()) return;
  char text[96];
  TraceInput("%s %s", what, DescribePlatformEvent(e, text, sizeof text));
}

}  // namespace

UInt16 EventClassOf(const PlatformEvent& e) {
  switch (e.kind) {
    case PlatformEvent::KeyDown: return keyDown;
    case PlatformEvent::KeyRepeat: return autoKey;
    case PlatformEvent::KeyUp: return keyUp;
    case PlatformEvent::MouseDown:
    case PlatformEvent::CloseBox:
    case PlatformEvent::ZoomBox: return mouseDown;
    case PlatformEvent::MouseUp: return mouseUp;
    case PlatformEvent::Update: return updateEvt;
    case PlatformEvent::Quit: return kHighLevelEvent;
    case PlatformEvent::Modifiers: return nullEvent;
    case PlatformEvent::MouseMoved:
    case PlatformEvent::Suspend:
    case PlatformEvent::Resume: break;
  }
  return osEvt;
}

static UInt16 ClassBit(const PlatformEvent& e) {
  UInt16 what = EventClassOf(e);
  return what == kHighLevelEvent ? UInt16(highLevelEventMask) : UInt16(1u << what);
}

void PostPlatformEvent(const PlatformEvent& e) { queue.push_back(e); }

bool NextPlatformEvent(PlatformEvent* e) {
  Platform().Pump();
  if (queue.empty()) return false;
  *e = queue.front();
  queue.pop_front();
  Trace("taken", *e);
  return true;
}

bool NextPlatformEventOf(UInt16 mask, PlatformEvent* e) {
  Platform().Pump();
  auto found =
      std::find_if(queue.begin(), queue.end(), [=](const PlatformEvent& p) { return (ClassBit(p) & mask) != 0; });
  if (found == queue.end()) return false;
  *e = *found;
  queue.erase(found);
  Trace("taken", *e);
  return true;
}

void RemovePlatformEvents(UInt16 mask) { FlushEvents(mask, 0); }

void RemoveMotionEvents() {
  Platform().Pump();
  std::erase_if(queue, [](const PlatformEvent& e) { return e.kind == PlatformEvent::MouseMoved; });
}

int PendingPlatformEvents() {
  Platform().Pump();
  return int(queue.size());
}

void FlushEvents(UInt16 whichMask, UInt16 stopMask) {
  Platform().Pump();
  auto stop =
      std::find_if(queue.begin(), queue.end(), [=](const PlatformEvent& e) { return (ClassBit(e) & stopMask) != 0; });
  auto flushed = std::remove_if(queue.begin(), stop, [=](const PlatformEvent& e) {
    if (!(ClassBit(e) & whichMask)) return false;
    Trace("flushed", e);
    return true;
  });
  TraceInput("flush of mask 0x%04x removed %d", whichMask, int(stop - flushed));
  queue.erase(flushed, stop);
}

EventPlatform& Platform() {
  if (!installed) installed = &SDLPlatform();
  return *installed;
}

EventPlatform* SetEventPlatform(EventPlatform* platform) {
  EventPlatform* previous = installed;
  installed = platform;
  return previous;
}
