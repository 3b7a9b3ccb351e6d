// The input of a window that shows a modal dialog: clicks in its content and
// the pointer's moves over it, typed characters and editing keys, and its
// close box. While a dialog is up
// the input of every other window is dropped (the dialog is modal), except a
// request to quit, which is kept for after it. Once a termination signal is
// recorded the dialog's window reads as closed.
#pragma once

#include "platform/PlatformTypes.h"

struct DialogInput {
  enum Kind { None, MouseDown, MouseUp, Key, Close, MouseMove } kind;
  SInt16 h, v;     // in the window's content, for the mouse
  UInt8 charCode;  // keys: the character, or 13 Return, 3 Enter, 27 Escape, 9 Tab, 8 Backspace, 28 to 31 arrows (left,
                   // right, up, down)
  UInt8 keyCode;
};

// The next input meant for `window`; false when none waits.
bool NextDialogInput(WindowPtr window, DialogInput* input);
// Waits at most `ms` milliseconds for any input.
void WaitDialogInput(UInt32 ms);
// Puts back the quit request kept while the dialog was up.
void EndDialogInput();
// Moves the window that shows a dialog to the dialog's global bounds and
// keeps it above `parent` (the game window) while both are open; a null
// parent only moves it.
void PlaceDialogWindow(WindowPtr window, const Rect& globalBounds, WindowRef parent);
// After a dialog window has closed: the keyboard focus it took from `parent`
// (the game window) comes back, and the focus events of the exchange are
// dropped, so that the game does not take them for a switch to another
// application. Nothing to do without a parent window.
void TakeBackFocus(WindowRef parent);
