// The engine's ready-made modal questions: confirmations with two or three
// buttons, one line of input, entering and setting a password, and a picker
// for the 256 entries of the screen's colour table. They answer command
// codes: 'ok  ' the default button, 'not!' cancel, 'dont' a third button.
#pragma once

#include "platform/EventPlatform.h"
#include "shell/NibDialogs.h"

struct PasswordVars {
  ControlRef field1 = nullptr, field2 = nullptr, okButton = nullptr;
  Str31 typed = {0};
  Str31 expected = {0};
  Str31 typedAgain = {0};
  UInt8 triesLeft = 3;
  UInt32 result = 0;
  Str255 clearMessage = {0};
};

extern SInt16 confirmDelay, confirmButton, confirmTimeoutButton;

enum : UInt32 {
  kCommandInput = FOUR_CHAR('i', 'n', 'p', 'u'),
  kCommandPassword = FOUR_CHAR('p', 'a', 's', 's'),
  kCommandClear = FOUR_CHAR('c', 'l', 'e', 'a'),
  kCommandText = FOUR_CHAR('t', 'e', 'x', 't'),
  kCommandColorGrid = FOUR_CHAR('c', 'l', 'u', 't'),
};

// style 0: default and cancel; 1: a third button at the far left; 2: default
// and a third button, no cancel.
UInt32 ConfirmDialog(const char* message, char style);
UInt32 ConfirmDontDialog(const unsigned char* message, const unsigned char* action, SInt16 icon,
                         unsigned char showCancel, unsigned char showDont);
UInt32 ConfirmDialog2(unsigned char* message, SInt16 delay, SInt16 button, SInt16 timeoutButton);
UInt32 ConfirmDialog3(unsigned char* message, unsigned char* button);
// `text` is both the starting text and the answer (at most `capacity`
// characters; 255 by default).
UInt32 InputDialog(const unsigned char* prompt, unsigned char* text, UInt8 capacity = 255);
UInt32 PasswordDialog(const unsigned char* prompt, const unsigned char* expected);
UInt32 NewPasswordDialog(const unsigned char* prompt, unsigned char* password, const unsigned char* clearMessage);
// The colour chosen (0..255), or -1 on Escape or Cancel. The cells are drawn
// from `mainCLUT` by a presenter that shows them.
SInt16 GetColorDialog(unsigned char selected);
// A new dialog window with the appearance features: theme background,
// movable-modal handling and theme controls, and (the root form) a control
// hierarchy. It starts hidden unless `visible`; `behind` and the close box
// have no meaning for these windows. The caller disposes of it with
// DisposeDialogWindow.
WindowRef NewColorDialog_Root(const Rect* bounds, const unsigned char* title, Boolean visible, SInt16 procID,
                              WindowRef behind, Boolean goAwayFlag, SInt32 refCon);
WindowRef NewColorDialog2(const Rect* bounds, const unsigned char* title, Boolean visible, SInt16 procID,
                          WindowRef behind, Boolean goAwayFlag, SInt32 refCon);
void SelectControlText(ControlRef field, UInt16 start, UInt16 end);
void GetPasswordText(ControlRef field, unsigned char* text);
void CheckURLPathDialog(const char* path);
// Filters for classic modal dialogs: true when the event was answered, with
// the item in *itemHit. There is no system filter to hand events on to, so
// the standard one answers nothing.
Boolean StandardDialogFilter(WindowRef dialog, EventRecord* event, SInt16* itemHit);
Boolean TimedConfirmFilter(WindowRef dialog, EventRecord* event, SInt16* itemHit);
Boolean DontButtonFilter(WindowRef dialog, EventRecord* event, SInt16* itemHit);
OSStatus ModalDialogHandler(EventHandlerCallRef call, EventRef event, void* userData);

// The colour grid's geometry: 12 by 12 cells, 32 across and 8 down, the
// first at (2, 2); -1 outside every cell.
Rect ColorCellRect(SInt16 index);
SInt16 ColorCellAt(Point where);
