// Events and input state: per-key press and release counts that a fixed-step
// game polls without losing a tap, the mouse button and relative motion, one
// event record per pump for the application's handler, and the mapping
// between window, screen and game coordinates of the letterboxed picture.
#pragma once

#include "foundation/Array.h"
#include "platform/EventPlatform.h"

struct OpaqueRgnHandle;

// Key numbers: 0 to 127 virtual key codes, 128 + i bit i of the modifier
// flags, 161 the mouse button.
enum : UInt8 {
  kKeyMouseButton = 161,
};

extern UInt8 keyDowns[256], keyUps[256], keyTrigs[256];
extern UInt8 keyToCode[256], codeToKey[256];
extern UInt8 keyToChar[128], charToKey[256];

extern Point mouseDelta;
extern bool skipMouse;
extern Point virtualMouse;

extern EventRecord theEVENT;
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

struct UserInput {
  UInt8 down;
  UInt8 clicked;
  Point where;
};

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

// Keys.
void UpdateKeyState(UInt8 key, UInt8 down);
bool KeyState(UInt8 key);
void FlushKeyState();
bool GetMouseState();
bool KeyDown(UInt8 key);
bool AnyKey();
void PostKeyboardEvent(char c);
void InitKeyCodesChars();
// Counts a release of every key that is no longer held (GetEvent, on an empty queue).
void ReleaseKeysNotHeld();

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

// Mouse and coordinates.
Point GetMouseDelta();
Point GetVirtualMouse();
void ClearMouseDelta();
void GetScaledGameRect(Rect* r);
Point LocalToGame(Point p);
Point GameToLocal(Point p);
Point GlobalToGame(Point p);
Point GameToGlobal(Point p);
Point GetGameMouse();
Point GetGlobalMouse();
void SetGlobalMouse(Point p);
void OffsetGlobalMouse(int dh, int dv);
void OffsetMouse(SInt16 dh, SInt16 dv);
void OffsetGameMouse(SInt16 dh, SInt16 dv);
void SetGameMouse(Point p);
void SetMouse(Point local);
void GetMouse(Point* local);
bool MouseInRect(Rect* r);
bool MouseInRgn(OpaqueRgnHandle** region);
bool Button();
bool IsFrontProcess();
bool IsFrontProcess_Var();
void GetUserInput(UserInput* input);
