// Dialog windows and their controls, as plain records that our own code runs:
// a window holds a tree of controls under its root control and a chain of
// event handlers. Nothing here draws; a presenter (DialogPresenter.h) shows a
// dialog and turns the user's answer into clicks and keys on this model.
#pragma once

#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

typedef struct OpaqueControlRef* ControlRef;

// Control kinds, as the kind codes that handlers read back.
enum : UInt32 {
  kControlKindPushButton = FOUR_CHAR('p', 'u', 's', 'h'),
  kControlKindRoundButton = FOUR_CHAR('r', 'n', 'd', 'b'),
  kControlKindBevelButton = FOUR_CHAR('b', 'e', 'v', 'l'),
  kControlKindCheckBox = FOUR_CHAR('c', 'b', 'o', 'x'),
  kControlKindRadioButton = FOUR_CHAR('r', 'd', 'b', 't'),
  kControlKindStaticText = FOUR_CHAR('s', 't', 'x', 't'),
  kControlKindEditText = FOUR_CHAR('e', 't', 'x', 't'),
  kControlKindIcon = FOUR_CHAR('i', 'c', 'o', 'n'),
  kControlKindIconRef = FOUR_CHAR('i', 'c', 'r', 'f'),
  kControlKindGroupBox = FOUR_CHAR('g', 'r', 'p', 'b'),
  kControlKindDisclosure = FOUR_CHAR('d', 'i', 's', 'c'),
  kControlKindPopupButton = FOUR_CHAR('p', 'o', 'p', 'b'),
  kControlKindUserPane = FOUR_CHAR('u', 'p', 'a', 'n'),
};

// The numbered control kinds that dialogs are built from.
enum : SInt16 {
  kDisclosureProc = 64,
  kDisclosureProc2 = 66,
  kGroupBoxCheckProc = 161,
  kEditTextProc = 272,
  kStaticTextProc = 288,
  kIconProc = 320,
  kIconNoTrackProc = 321,
  kIconRefProc = 325,
  kPushButtonProc = 368,
  kCheckBoxProc = 369,
  kRadioButtonProc = 370,
  kCheckBoxAutoProc = 371,
  kPopupButtonProc = 400,
  kBevelButtonProc = 32,
  kUserPaneProc = 256,
};

// Highlight states: 0 active, 255 inactive (a disabled control).
enum : UInt8 { kControlActive = 0, kControlInactive = 255 };

struct OpaqueControlRef {
  WindowRef window;
  ControlRef parent;
  std::vector<ControlRef> children;
  SInt16 procID;
  UInt32 kind;
  Rect bounds;   // in the window's own coordinates
  Str255 title;  // Mac Roman
  std::string text;
  SInt16 value, minimum, maximum;
  UInt32 command;
  UInt8 hilite;
  bool visible;
  bool isDefault, isCancel;
  UInt32 iconType;  // the icon type of an icon-reference control
  struct OpaqueMenuRef* popupMenu;
};

// Events delivered to a dialog's handlers.
typedef struct DialogEvent* EventRef;
typedef void* EventHandlerCallRef;
typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef, EventRef, void* userData);
typedef struct DialogHandlerEntry* EventHandlerRef;

enum : UInt32 {
  kEventClassControl = FOUR_CHAR('c', 'n', 't', 'l'),
  kEventClassKeyboard = FOUR_CHAR('k', 'e', 'y', 'b'),
  kEventClassWindow = FOUR_CHAR('w', 'i', 'n', 'd'),
  kEventControlHit = 1,
  kEventRawKeyDown = 1,
};

enum : OSStatus { eventNotHandledErr = -9874 };

struct EventTypeSpec {
  UInt32 eventClass;
  UInt32 eventKind;
};

struct DialogEvent {
  UInt32 eventClass;
  UInt32 eventKind;
  WindowRef window;    // set by SendDialogEvent
  ControlRef control;  // control hits
  UInt16 what;         // key events: keyDown (3) or autoKey (5)
  UInt8 charCode;
  UInt8 keyCode;
  UInt16 modifiers;
};

// A control's font style: which parts apply (flags), then font, size, style,
// transfer mode, justification and two colours.
struct ControlFontStyleRec {
  SInt16 flags, font, size, style, mode, just;
  RGBColor foreColor, backColor;
};

// Window classes of a dialog.
enum : UInt32 { kMovableAlertWindowClass = 2, kSheetAlertWindowClass = 15 };

struct DialogWindowRecord;

// Creates an invisible dialog window; its WindowRef's refCon leads back to
// the record. The caller disposes of it with DisposeDialogWindow.
WindowRef NewDialogWindow(const Rect& globalBounds, const unsigned char* title, UInt32 windowClass);
void DisposeDialogWindow(WindowRef window);
// The dialog record of a window, or null for a window that is not a dialog.
DialogWindowRecord* DialogRecord(WindowRef window);

struct DialogHandlerEntry {
  EventHandlerProcPtr proc;
  std::vector<EventTypeSpec> events;
  void* userData;
};

struct DialogWindowRecord {
  WindowRecord window;
  Rect bounds;  // global
  Str255 title;
  UInt32 windowClass;
  bool visible;
  WindowRef parent;       // centred over this window, or null
  WindowRef sheetParent;  // shown as a sheet of this window
  OpaqueControlRef root;
  std::vector<DialogHandlerEntry*> handlers;
  ControlRef focus;
  bool modalEnded;
};

// Creates a visible control as the last sub-control of the window's root.
ControlRef NewDialogWindowControl(WindowRef window, const Rect& bounds, SInt16 procID, const unsigned char* title,
                                  SInt16 value, SInt16 minimum, SInt16 maximum);
ControlRef GetRootControl(WindowRef window);
// Moves a control under a new parent control (the last of its sub-controls).
void EmbedControl(ControlRef control, ControlRef parent);
void SetControlValue(ControlRef control, SInt16 value);

// Installs a handler ahead of those already there; the newest runs first.
OSStatus InstallWindowEventHandler(WindowRef window, EventHandlerProcPtr proc, UInt32 count, const EventTypeSpec* events,
                                   void* userData, EventHandlerRef* outRef);
void RemoveEventHandler(WindowRef window, EventHandlerRef handler);
// Test seam: makes the next handler installation fail with `error`.
void FailNextHandlerInstall(OSStatus error);
// Offers the event to the window's handlers, newest first, until one handles
// it (answers anything but eventNotHandledErr); answers that status, or
// eventNotHandledErr when none did.
OSStatus SendDialogEvent(WindowRef window, DialogEvent* event);
// A user's click on a control: an inactive or hidden control ignores it;
// otherwise a check box toggles, a radio button turns on (and the other radio
// buttons beside it off), and the control-hit event follows.
void ClickDialogControl(ControlRef control);
void QuitAppModalLoopForWindow(WindowRef window);
