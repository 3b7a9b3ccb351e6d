#include "shell/Events.h"

#include "foundation/Array.h"
#include "foundation/ErrorDialog.h"
#include "foundation/Frameworks.h"
#include "foundation/MainTimer.h"
#include "foundation/Timer.h"
#include "platform/PlatformTime.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"
#include "shell/Menus.h"
#include "shell/Startup.h"

EventRecord theEVENT;
EventRecord* gEventREC = &theEVENT;
UInt8 menuCLICKED;
SInt16 theMENU, theITEM;
UInt8 suspendEVENT, resumeEVENT, fullScreenEVENT, dragWindowEVENT, closeBoxEVENT;
WindowRef updateWIND;
Rect updateRECT;
bool isFrontProcess = true;
EventRecord saveEvent;
UInt8 saveMenu;
UInt8 applQUIT;

Stack<EventRecInfo> gEventRecStack(128);

SInt32 (*menuKeyProc)(const EventRecord* event);
void (*handleMenuProc)(SInt16 menu, SInt16 item);
void (*highLevelEventProc)(EventRecord* event);
void (*zoomWindowProc)(SInt16 part);
bool (*menuBarAllowedProc)();

namespace {

bool wasDown[256];
// The window part of the mouse-down just converted, when the window manager
// reported it (close and maximise buttons); inDesk otherwise.
SInt16 managerPart = inDesk;

// Key and button state, in the order the pump counts it.
void CountEvent(const PlatformEvent& e) {
  switch (e.kind) {
    case PlatformEvent::KeyDown:
      if (wasDown[e.keyCode]) UpdateKeyState(e.keyCode, 0);
      UpdateKeyState(e.keyCode, 1);
      wasDown[e.keyCode] = true;
      break;
    case PlatformEvent::KeyUp:
      UpdateKeyState(e.keyCode, 0);
      wasDown[e.keyCode] = false;
      break;
    case PlatformEvent::MouseDown: UpdateKeyState(kKeyMouseButton, 1); break;
    case PlatformEvent::MouseUp: UpdateKeyState(kKeyMouseButton, 0); break;
    case PlatformEvent::MouseMoved:
      if (skipMouse) {
        mouseDelta = Point{0, 0};
        skipMouse = false;
      } else {
        mouseDelta.h = SInt16(mouseDelta.h + e.dh);
        mouseDelta.v = SInt16(mouseDelta.v + e.dv);
      }
      break;
    default: break;
  }
  if (e.hasModifiers)
    for (int i = 0; i < 32; ++i) UpdateKeyState(UInt8(128 + i), (e.modifiers >> i) & 1);
}

void Convert(const PlatformEvent& e, EventRecord* r) {
  static const UInt16 classic[] = {keyDown, autoKey, keyUp,     nullEvent, mouseDown, mouseUp,        nullEvent,
                                   osEvt,   osEvt,   mouseDown, mouseDown, updateEvt, kHighLevelEvent};
  static_assert(sizeof classic / sizeof classic[0] == PlatformEvent::Quit + 1, "one class per kind");
  r->what = classic[e.kind];
  r->message = 0;
  r->when = TickCount();
  r->where = e.where;
  r->modifiers = e.hasModifiers ? e.modifiers : 0;
  managerPart = e.kind == PlatformEvent::CloseBox ? inGoAway : e.kind == PlatformEvent::ZoomBox ? inZoomOut : inDesk;
  switch (e.kind) {
    case PlatformEvent::KeyDown:
    case PlatformEvent::KeyRepeat:
    case PlatformEvent::KeyUp: r->message = UInt32(e.keyCode) << 8 | e.charCode; break;
    case PlatformEvent::Suspend: r->message = suspendResumeMessage << 24; break;
    case PlatformEvent::Resume: r->message = suspendResumeMessage << 24 | resumeFlag; break;
    case PlatformEvent::Quit:
      r->message = kCoreEventClass;
      r->where = Point{SInt16(kAEQuitApplication >> 16), SInt16(kAEQuitApplication & 0xFFFF)};
      break;
    default: break;
  }
}

bool IsSuspendResume(const EventRecord* r) { return r->what == osEvt && (r->message >> 24) == suspendResumeMessage; }

// What the system's event dispatcher does with an event before the game
// sees it: Apple events go to their handlers, updates to the window.
// Suspend and resume are dispatched here too while the game is not
// dispatching events itself (during the capture), so that switching away
// from a game in play still pauses it.
// The window manager has already maximised the window when its maximise
// button reaches us: during the capture too it goes on to full screen
// rather than stay a stretched window.
void DispatchEvent(EventRecord* r) {
  if (r->what == kHighLevelEvent)
    DoHighLevel(r);
  else if (r->what == updateEvt)
    QK_UpdateWindow(MainWindow());
  else if (r == &theEVENT && IsSuspendResume(r) && !AllEventsEnabled())
    DoOSEvent();
  else if (r == &theEVENT && managerPart == inZoomOut && !AllEventsEnabled() && APPL.gameWindow && zoomWindowProc)
    zoomWindowProc(inZoomOut);
}

void RaiseForCustomEvents(UInt8* flag) {
  *flag = 1;
  APPL.CustomEvents();
  *flag = 0;
}

bool InRect(Point p, const Rect& r) { return p.v >= r.top && p.v < r.bottom && p.h >= r.left && p.h < r.right; }

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The bar shows while the pointer rests on it (or a menu is pulled down from
// it) and hides when the pointer leaves; hiding it asks for the picture
// under it again. The bar lies over the window's top in a window and in
// full screen alike.
void ShowOrHideMenuBar() {
  GlobalizeMenuBar();
  Rect content;
  if (!APPL.gameWindow || !isFrontProcess || !allEvents || !MainWindow() || Platform().WindowMinimised() ||
      !Platform().WindowContent(&content))
    return;
  if (!IsFullScreen() && !Overlap(menuBarRECT, content)) return;
  Point mouse = Platform().GlobalMouse();
  const bool allowed = !menuBarAllowedProc || menuBarAllowedProc();
  if (!allowed) MenuTrackCancel();
  if (allowed && (InRect(mouse, menuBarRECT) || MenuTracking().openMenu)) {
    if (!updateWIND && !IsMenuBarVisible()) QK_ShowMenuBar();
    if (IsMenuBarVisible()) MenuBarPointer(mouse);
  } else if (IsMenuBarVisible()) {
    QK_HideMenuBar();
    SetApplCursor();
    SaveEvent();
    updateWIND = MainWindow();
    updateRECT = Rect{0, 0, APPL.gameHeight, APPL.gameWidth};
    APPL.CustomEvents();
    RestoreEvent();
  }
}

}  // namespace

bool GetEvent(UInt16, EventRecord* event) {
  if (!event) event = &theEVENT;
  IdleAudio();
  event->what = nullEvent;
  PlatformEvent e;
  for (;;) {
    ServiceTimers();
    if (!NextPlatformEvent(&e)) {
      ReleaseKeysNotHeld();
      break;
    }
    CountEvent(e);
    Convert(e, event);
    DispatchEvent(event);
    if (e.kind != PlatformEvent::MouseMoved) break;
  }
  SystemIdle();
  return event->what != nullEvent;
}

// Runs the event loop once without taking an event: timers, then the system's
// queue. Nothing answers an empty mask.
bool SystemIdle() {
  ServiceTimers();
  Platform().Pump();
  return false;
}

bool GetNextEventOrig(UInt16 mask, EventRecord* event) {
  ServiceTimers();
  PlatformEvent e;
  event->what = nullEvent;
  while (NextPlatformEventOf(mask, &e)) {
    Convert(e, event);
    if (event->what != nullEvent) return true;
  }
  return false;
}

bool WaitNextEventOrig(UInt16 mask, EventRecord* event, UInt32 sleep, OpaqueRgnHandle*) {
  UInt32 until = TickCount() + sleep;
  while (!GetNextEventOrig(mask, event)) {
    if (SInt32(TickCount() - until) >= 0) return false;
    Delay(1);
  }
  return true;
}

void DoHighLevel(EventRecord* event) {
  if (highLevelEventProc)
    highLevelEventProc(event);
  else if (event->message == kCoreEventClass &&
           (UInt32(UInt16(event->where.v)) << 16 | UInt16(event->where.h)) == kAEQuitApplication)
    applQUIT = 1;
}

void HandleEvents() {
  if (!isFrontProcess && theEVENT.what != osEvt && theEVENT.what != kHighLevelEvent && theEVENT.what != updateEvt)
    return;
  if (theEVENT.what == osEvt) {
    DoOSEvent();
    return;
  }
  ShowOrHideMenuBar();
  switch (theEVENT.what) {
    case keyDown:
      // A key takes a pulled-down menu away; its command key still counts.
      MenuTrackCancel();
      if (allEvents && menuKeyProc) {
        SInt32 choice = menuKeyProc(&theEVENT);
        if (choice && handleMenuProc) handleMenuProc(SInt16(choice >> 16), SInt16(choice & 0xFFFF));
      }
      APPL.CustomEvents();
      break;
    case updateEvt: break;
    case mouseDown: HandleMouseDown(); break;
    case mouseUp:
      if (MenuTracking().pressed) MenuBarMouseUp(theEVENT.where);
      APPL.CustomEvents();
      break;
    default: APPL.CustomEvents(); break;
  }
}

SInt16 FindWindow(Point where, WindowRef* window) {
  *window = MainWindow();
  if (managerPart != inDesk) return managerPart;
  if (menuBarINIT && IsMenuBarVisible() && (MenuTracking().openMenu || InRect(where, menuBarRECT))) {
    *window = nullptr;
    return inMenuBar;
  }
  Rect content;
  if (Platform().WindowContent(&content) && where.v >= content.top && where.v < content.bottom &&
      where.h >= content.left && where.h < content.right)
    return inContent;
  *window = nullptr;
  return inDesk;
}

void HandleMouseDown() {
  WindowRef window;
  switch (FindWindow(theEVENT.where, &window)) {
    case inMenuBar:
      if (allEvents) MenuBarMouseDown(theEVENT.where);
      break;
    case inContent:
    case inGrow: APPL.CustomEvents(); break;
    case inDrag: RaiseForCustomEvents(&dragWindowEVENT); break;
    case inGoAway:
      // The window manager has already confirmed the click on its button.
      if (APPL.gameWindow)
        RaiseForCustomEvents(&closeBoxEVENT);
      else
        APPL.CustomEvents();
      break;
    case inZoomIn:
    case inZoomOut:
      if (APPL.gameWindow && zoomWindowProc) zoomWindowProc(inZoomOut);
      break;
    default: break;
  }
}

void DoOSEvent() {
  if (!IsSuspendResume(&theEVENT)) return;
  if (!(theEVENT.message & resumeFlag)) {
    isFrontProcess = false;
    MenuTrackCancel();
    SaveEvent();
    RaiseForCustomEvents(&suspendEVENT);
    RestoreEvent();
    if (APPL.gameWindow) {
      // Full screen is left only while the user is away: the preference
      // keeps the choice, for the resume and for the next start.
      bool chosen = mainPREFS.fullScreen;
      FullScreenMode(0);
      mainPREFS.fullScreen = chosen;
      Platform().ArrowCursor();
      if (!cursorVIS) {
        Platform().ShowCursor(true);
        cursorVIS = true;
      }
    }
  } else if (!isFrontProcess) {
    // The click that brought the window back is not meant for the program.
    // Keys reach only the window that holds the focus, so a key queued now
    // was typed at the window once it was back, and is served.
    FlushEvents(mDownMask | mUpMask, 0);
    if (APPL.gameWindow) FullScreenMode(255);
    RaiseForCustomEvents(&resumeEVENT);
    isFrontProcess = true;
  }
}

void QK_UpdateWindow(WindowRef window) {
  if (!window) return;
  Rect content;
  if (!Platform().WindowContent(&content)) return;
  updateWIND = window;
  updateRECT = Rect{0, 0, SInt16(content.bottom - content.top), SInt16(content.right - content.left)};
  if (APPL.gameWindow)
    FlushToScreen(window);
  else
    APPL.CustomEvents();
  updateWIND = nullptr;
}

void SaveEvent() {
  saveEvent = theEVENT;
  saveMenu = menuCLICKED;
  theEVENT = EventRecord{nullEvent, 0, 0, Point{-32768, -32768}, 0};
  menuCLICKED = resumeEVENT = suspendEVENT = 0;
  updateWIND = nullptr;
}

void RestoreEvent() {
  theEVENT = saveEvent;
  menuCLICKED = saveMenu;
  updateWIND = nullptr;
}

// A modifier argument is a mask: 0 stays 0, -1 means any, n is bit n mod 32.
static SInt32 ModifierMask(SInt32 m) { return m == 0 || m == -1 ? m : SInt32(1u << (m & 31)); }

static UInt8 KeyCodeOf(const EventRecord* e) { return UInt8(e->message >> 8); }

UInt8 EventKey(EventRecord* e, SInt32* modifiers) {
  if (!e) e = gEventREC;
  if (modifiers) *modifiers = e->modifiers;
  return KeyCodeOf(e);
}

bool KeyEvent(SInt32 key, SInt32 m, EventRecord* e) {
  if (!e) e = gEventREC;
  if (e->what != keyDown) return false;
  if (key == -1) return true;
  return KeyCodeOf(e) == key && (m == -1 || e->modifiers == ModifierMask(m));
}

bool AutoKeyEvent(SInt32 key) {
  if (key == -1) return gEventREC->what == autoKey;
  return (gEventREC->what == keyDown || gEventREC->what == autoKey) && KeyCodeOf(gEventREC) == key;
}

bool ModifierEvent(SInt32 m, EventRecord* e) {
  if (!e) e = gEventREC;
  return m != -1 && e->modifiers == ModifierMask(m);
}

bool ButtonEvent(SInt32 m) {
  return gEventREC->what == mouseDown && (m == -1 || gEventREC->modifiers == ModifierMask(m));
}

bool ClickEvent(SInt16* h, SInt16* v) {
  WindowRef window;
  if (gEventREC->what != mouseDown || FindWindow(gEventREC->where, &window) == inMenuBar ||
      Platform().WindowMinimised())
    return false;
  Point p = GlobalToGame(gEventREC->where);
  *h = p.h;
  *v = p.v;
  return true;
}

bool MenuEvent(SInt16* menu, SInt16* item) {
  if (!menuCLICKED) return false;
  *menu = theMENU;
  *item = theITEM;
  return true;
}

bool ResumeEvent() { return resumeEVENT; }
bool SuspendEvent() { return suspendEVENT; }

bool NullEvent() {
  return gEventREC->what == nullEvent && !menuCLICKED && !resumeEVENT && !suspendEVENT && !updateWIND;
}

bool UpdateEvent(WindowRef* w, Rect* r) {
  if (!updateWIND) return false;
  *w = updateWIND;
  *r = updateRECT;
  return true;
}

void PostWholeEvent(UInt16, UInt32, UInt16) {}

void PushEventRecord() {
  if (!gEventRecStack.Push(EventRecInfo{gEventREC})) ErrorDialog("EventRec stack is full!", "PushEventRecord()", 0, 1);
}

void PopEventRecord() {
  EventRecInfo info;
  if (!gEventRecStack.Pop(&info)) {
    ErrorDialog("EventRec stack is empty!", "PopPort()", 0, 1);
    return;
  }
  gEventREC = info.record;
}
