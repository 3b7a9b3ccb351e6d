// Dialog windows and their controls, as plain records that our own code runs:
// a window holds a tree of controls under its root control and a chain of
// event handlers. Nothing here draws; a presenter (DialogPresenter.h) shows a
// dialog and turns the user's answer into clicks and keys on this model.
#pragma once

#include <map>
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
  kControlKindTabs = FOUR_CHAR('t', 'a', 'b', 's'),
  kControlKindSlider = FOUR_CHAR('s', 'l', 'd', 'r'),
  kControlKindProgressBar = FOUR_CHAR('p', 'r', 'g', 'b'),
  kControlKindPicture = FOUR_CHAR('p', 'i', 'c', 't'),
  kControlKindCellGrid = FOUR_CHAR('g', 'r', 'i', 'd'),
  kControlKindLink = FOUR_CHAR('u', 'r', 'l', 'c'),
  kControlKindTextView = FOUR_CHAR('h', 't', 'x', 't'),
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
  kTabsProc = 128,
  kSliderProc = 48,
  kProgressBarProc = 80,
  kPictureProc = 304,
  kPasswordProc = 914,
  kCellGridProc = 1100,
  kLinkProc = 1101,
  kTextViewProc = 1102,
};

// Highlight states: 0 active, 255 inactive (a disabled control).
enum : UInt8 { kControlActive = 0, kControlInactive = 255 };

// A control's font style: which parts apply (flags), then font, size, style,
// transfer mode, justification and two colours.
struct ControlFontStyleRec {
  SInt16 flags, font, size, style, mode, just;
  RGBColor foreColor, backColor;
};

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
  // Added by the dialog library: the control's ID, its own handlers, the
  // selection of a text field, and tagged settings (alignment, offsets,
  // flags) that only a presenter reads.
  UInt32 signature;
  SInt32 id;
  bool password;
  bool readOnly;
  SInt16 selStart, selEnd;
  SInt32 refCon;
  std::vector<struct DialogHandlerEntry*> handlers;
  std::map<UInt32, SInt32> data;
  ControlFontStyleRec fontStyle;
  // What a presenter draws for the control: the PNG file of its icon, its
  // picture (the caller's; the control only refers to it), and the titles of
  // a tab control's tabs or the items of a pop-up that has no menu (Mac Roman).
  std::string iconPath;
  struct Picture** picture;
  std::vector<std::string> items;
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
  kEventRawKeyRepeat = 2,
  kEventControlSetFocusPart = 7,
  kEventClassCommand = FOUR_CHAR('c', 'm', 'd', 's'),
  kEventCommandProcess = 1,
  kEventClassTextField = FOUR_CHAR('t', 'x', 'f', 'd'),
  kEventTextAccepted = 1,
  kEventTextDidChange = 3,
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
  UInt32 command;  // command events
  SInt16 part;     // focus changes: the part given the focus, 0 when lost
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
  UInt32 features;  // kDialogFeature* flags it was made with
  SInt32 userRefCon;
};

// What a dialog made with features asks of its window.
enum : UInt32 {
  kDialogFeatureThemeBackground = 1,
  kDialogFeatureControlHierarchy = 2,
  kDialogFeatureMovableModal = 4,
  kDialogFeatureThemeControls = 8,
};

// Creates a visible control as the last sub-control of the window's root.
ControlRef NewDialogWindowControl(WindowRef window, const Rect& bounds, SInt16 procID, const unsigned char* title,
                                  SInt16 value, SInt16 minimum, SInt16 maximum);
ControlRef GetRootControl(WindowRef window);
// Moves a control under a new parent control (the last of its sub-controls).
void EmbedControl(ControlRef control, ControlRef parent);
void SetControlValue(ControlRef control, SInt16 value);

// Installs a handler ahead of those already there; the newest runs first.
OSStatus InstallWindowEventHandler(WindowRef window, EventHandlerProcPtr proc, UInt32 count,
                                   const EventTypeSpec* events, void* userData, EventHandlerRef* outRef);
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

// Handlers on a control: key events reach the focused control's handlers
// first, then the window's; a control hit reaches the hit control's, then the
// window's. What no handler takes goes to the standard behaviour (a text
// field inserts the character, Backspace deletes, the arrows move the caret,
// Tab moves the focus to the next field).
OSStatus InstallControlEventHandler(ControlRef control, EventHandlerProcPtr proc, UInt32 count,
                                    const EventTypeSpec* events, void* userData, EventHandlerRef* outRef);
// Inside a handler: runs the rest of the chain (and the standard behaviour)
// now, and answers what it answered.
OSStatus CallNextEventHandler(EventHandlerCallRef call, EventRef event);
// Delivers to a control's chain (then its window's).
OSStatus SendControlEvent(ControlRef control, DialogEvent* event);
// A key typed into the dialog: down, then handled as above.
OSStatus TypeDialogKey(WindowRef window, UInt8 charCode, UInt8 keyCode, UInt32 kind = kEventRawKeyDown);

// Focus: the focused control loses it (its handlers see a focus change with
// part 0) and the new one gains it (part 1).
void SetKeyboardFocus(WindowRef window, ControlRef control);
void ClearKeyboardFocus(WindowRef window);
ControlRef GetKeyboardFocus(WindowRef window);
// The field after `from` (or the first) that can take the focus: a visible,
// active, editable text field whose embedders are all visible.
ControlRef NextFocusField(WindowRef window, ControlRef from);

void HiliteControl(ControlRef control, UInt8 state);
void EnableControl(ControlRef control);
void DisableControl(ControlRef control);
void HideControl(ControlRef control);
void ShowControl(ControlRef control);
bool IsControlEnabled(ControlRef control);
// Visible itself and inside visible embedders.
bool IsControlVisible(ControlRef control);
void SetControlMinimum(ControlRef control, SInt16 minimum);
void SetControlMaximum(ControlRef control, SInt16 maximum);
// Every control of the window, depth first.
std::vector<ControlRef> AllControls(WindowRef window);
