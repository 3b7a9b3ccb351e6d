// Events and input under the shell: the classic event record, our own event
// queue, and one interface for keyboard, mouse, focus, cursor, beep and exit.
// The program runs on the SDL implementation (SDLEventPlatform); tests install
// FakeEventPlatform (tests/support) and drive everything with no display.
#pragma once

#include "platform/PlatformTypes.h"

struct EventRecord {
  UInt16 what;
  UInt32 message;
  UInt32 when;
  Point where;
  UInt16 modifiers;
};

// Event classes of EventRecord::what.
enum : UInt16 {
  nullEvent = 0,
  mouseDown = 1,
  mouseUp = 2,
  keyDown = 3,
  keyUp = 4,
  autoKey = 5,
  updateEvt = 6,
  activateEvt = 8,
  osEvt = 15,
  kHighLevelEvent = 23,
};

// FlushEvents masks: bit n stands for event class n.
enum : UInt16 {
  mDownMask = 1 << mouseDown,
  mUpMask = 1 << mouseUp,
  keyDownMask = 1 << keyDown,
  keyUpMask = 1 << keyUp,
  autoKeyMask = 1 << autoKey,
  updateMask = 1 << updateEvt,
  highLevelEventMask = 1 << 10,
  osMask = 0x8000,
  everyEvent = 0xFFFF,
};

// Modifier flags of EventRecord::modifiers; key number 128 + n is bit n.
enum : UInt16 {
  cmdKey = 0x0100,
  shiftKey = 0x0200,
  alphaLock = 0x0400,
  optionKey = 0x0800,
  controlKey = 0x1000,
};

// osEvt messages: the high byte names the kind, bit 0 tells resume from suspend.
enum : UInt32 {
  suspendResumeMessage = 0x01,
  resumeFlag = 1,
  charCodeMask = 0x000000FF,
  keyCodeMask = 0x0000FF00,
};

// The message of the quit request (a high-level event): class in `message`,
// the event ID in `where` (v high word, h low word).
constexpr UInt32 kCoreEventClass = FOUR_CHAR('a', 'e', 'v', 't');
constexpr UInt32 kAEQuitApplication = FOUR_CHAR('q', 'u', 'i', 't');

// Window parts, as FindWindow answers them.
enum : SInt16 {
  inDesk = 0,
  inMenuBar = 1,
  inContent = 3,
  inDrag = 4,
  inGrow = 5,
  inGoAway = 6,
  inZoomIn = 7,
  inZoomOut = 8,
};

// One event of our queue, already in the engine's terms.
struct PlatformEvent {
  enum Kind : UInt8 {
    KeyDown,
    KeyRepeat,
    KeyUp,
    Modifiers,  // a modifier key went down or up; no event record
    MouseDown,
    MouseUp,
    MouseMoved,  // carries dh, dv; no event record
    Suspend,     // the game window lost the focus
    Resume,      // ... and gained it back
    CloseBox,    // the window manager's close button
    ZoomBox,     // the window manager's maximise button
    Update,      // the window must be redrawn
    Quit,        // the quit request (signal, logout)
  };
  Kind kind;
  UInt8 keyCode;   // virtual key code 0 to 127 of key events
  UInt8 charCode;  // character code of key events
  bool hasModifiers;
  UInt16 modifiers;
  SInt16 dh, dv;  // motion of MouseMoved
  Point where;    // global position of the pointer
};

// Classic event class that FlushEvents files an event under.
UInt16 EventClassOf(const PlatformEvent& e);

// The queue. Pumping moves what the system has into it; each platform adds
// events with PostPlatformEvent.
void PostPlatformEvent(const PlatformEvent& e);
// Pumps, then takes the oldest event; false when none is waiting.
bool NextPlatformEvent(PlatformEvent* e);
// Pumps, then takes the oldest event whose class bit is in the mask.
bool NextPlatformEventOf(UInt16 mask, PlatformEvent* e);
// Pumps, then removes every waiting event whose class bit is in the mask.
void RemovePlatformEvents(UInt16 mask);
// Pumps, then removes all waiting pointer motion.
void RemoveMotionEvents();
// Pumps, then counts the waiting events (tests and StillDown-style checks).
int PendingPlatformEvents();
// Removes events from the first whose class is in stopMask on; pumps first.
void FlushEvents(UInt16 whichMask, UInt16 stopMask);

struct EventPlatform {
  virtual ~EventPlatform() = default;
  // Moves the system's pending events into our queue.
  virtual void Pump() = 0;
  // The 128-bit key map: bit (code & 7) of byte (code >> 3) for key code code.
  virtual void GetKeys(UInt8 map[16]) = 0;
  // The main mouse button is held.
  virtual bool Button() = 0;
  virtual Point GlobalMouse() = 0;
  virtual void WarpMouse(Point global) = 0;
  // Relative mode: the pointer stays put and only motion is reported.
  virtual void SetRelativeMouse(bool on) = 0;
  // Bounds of the main screen in global coordinates.
  virtual Rect MainScreen() = 0;
  // The game window's content in global coordinates; false when it has none.
  virtual bool WindowContent(Rect* global) = 0;
  virtual bool WindowMinimised() = 0;
  // One of our windows has the keyboard focus (or no window exists yet).
  virtual bool IsFront() = 0;
  virtual void ShowCursor(bool shown) = 0;
  virtual void ArrowCursor() = 0;
  // The pointing hand shown over links.
  virtual void HandCursor() = 0;
  virtual void Beep() = 0;
  // Releases the display, pointer grab and gamma, then ends the process.
  virtual void Exit(int status) = 0;
  // The window whose focus, close and maximise buttons and content the
  // events refer to: the game window sets itself when it opens, null when it
  // closes. A platform with no windows of its own ignores it.
  virtual void SetEventWindow(PlatformWindow* window) { (void)window; }
};

// The platform in use. Until one is installed, the SDL one is started on
// first use.
EventPlatform& Platform();
// Installs a platform (tests install the fake); null returns to the default.
// Returns the one installed before.
EventPlatform* SetEventPlatform(EventPlatform* platform);
