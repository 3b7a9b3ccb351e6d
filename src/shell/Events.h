// Events and input state: per-key press and release counts that a fixed-step
// game polls without losing a tap, the mouse button and relative motion, one
// event record per pump for the application's handler, and the mapping
// between window, screen and game coordinates of the letterboxed picture.
#pragma once

#include "foundation/Array.h"
#include "platform/EventPlatform.h"
#include "shell/GameMouse.h"
#include "shell/KeyState.h"

extern EventRecord theEVENT;
// What SaveEvent keeps for RestoreEvent: the record and the menu-click flag.
extern EventRecord saveEvent;
extern UInt8 saveMenu;
// The record the queries read; SetEventRecord points it elsewhere, and
// PushEventRecord and PopEventRecord save and restore it (128 deep).
extern EventRecord* gEventREC;
struct EventRecInfo {
  EventRecord* record;
};
extern Stack<EventRecInfo> gEventRecStack;
extern UInt8 menuCLICKED;
extern SInt16 theMENU, theITEM;
extern UInt8 suspendEVENT, resumeEVENT, fullScreenEVENT, dragWindowEVENT, closeBoxEVENT;
extern WindowRef updateWIND;
extern Rect updateRECT;
extern bool isFrontProcess;

// Set when the main loop must end.
extern UInt8 applQUIT;

// Seams filled by the menus and Apple events and by the game window, empty
// until their owners start: the menu-key lookup of a key-down (answers
// menu << 16 | item, 0 for none) with its menu command; the high-level event
// dispatcher (without it, a quit request sets applQUIT); the window's zoom
// handler for the maximise button.
extern SInt32 (*menuKeyProc)(const EventRecord* event);
extern void (*handleMenuProc)(SInt16 menu, SInt16 item);
extern void (*highLevelEventProc)(EventRecord* event);
extern void (*zoomWindowProc)(SInt16 part);
// Whether the menu bar may come under the pointer now; unset, it always may.
// The game bars it while a game is in play and not paused.
extern bool (*menuBarAllowedProc)();

// Pumping.
bool GetEvent(UInt16 mask, EventRecord* event);
void HandleEvents();
bool SystemIdle();
// The system's own event calls: the next event of the classes in the mask,
// without the key counting of GetEvent; the second waits up to sleep ticks.
bool GetNextEventOrig(UInt16 mask, EventRecord* event);
bool WaitNextEventOrig(UInt16 mask, EventRecord* event, UInt32 sleep, OpaqueRgnHandle* mouseRgn);
void DoHighLevel(EventRecord* event);
void DoOSEvent();
void HandleMouseDown();
void QK_UpdateWindow(WindowRef window);
SInt16 FindWindow(Point where, WindowRef* window);

// Event queries.
UInt8 EventKey(EventRecord* e, SInt32* modifiers);
bool KeyEvent(SInt32 key, SInt32 m, EventRecord* e);
bool AutoKeyEvent(SInt32 key);
bool ModifierEvent(SInt32 m, EventRecord* e);
bool ButtonEvent(SInt32 m);
bool ClickEvent(SInt16* h, SInt16* v);
bool MenuEvent(SInt16* menu, SInt16* item);
bool ResumeEvent();
bool SuspendEvent();
bool NullEvent();
bool UpdateEvent(WindowRef* w, Rect* r);
void PostWholeEvent(UInt16 what, UInt32 message, UInt16 modifiers);
void SaveEvent();
void RestoreEvent();
void PushEventRecord();
void PopEventRecord();
