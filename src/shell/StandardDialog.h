// The machinery under every modal dialog of the engine: the one-shot settings
// of the next dialog, where a dialog and its buttons, icon and texts go, the
// controls and their command codes, and the modal run that ends when a
// button (or Return, Enter, Escape) is chosen and answers its command.
#pragma once

#include "platform/DialogModel.h"
#include "platform/DialogPresenter.h"

// Command codes that give buttons their roles.
enum : UInt32 {
  kHICommandOK = FOUR_CHAR('o', 'k', ' ', ' '),
  kHICommandCancel = FOUR_CHAR('n', 'o', 't', '!'),
  kHICommandDont = FOUR_CHAR('d', 'o', 'n', 't'),
  kNoIconType = FOUR_CHAR('?', '?', '?', '?'),
};

// The settings of the next dialog only: every dialog resets them.
struct DialogParams {
  DialogParams();
  void Reset();

  SInt16 extraWidth;
  SInt16 extraHeight;
  SInt16 buttonWiden;
  SInt16 iconID;
  UInt8 charLimit;
  UInt32 iconType;
  UInt8 showCancel;
  Str31 button1;
  Str31 button2;
  Str31 button3;
  UInt8 numbersOnly;
  UInt8 lettersOnly;
  UInt8 confirmFlag;
  WindowRef parentWindow;
  UInt8 sheet;
  UInt8 bevelDismisses;
};

struct ControlParams : ControlFontStyleRec {
  ControlParams();
  void Reset();
};

typedef void (*DialogCustomProc)(WindowRef window, UInt32 command, SInt16 part);
typedef OSStatus (*DialogControlProc)(ControlRef control);

// The state of one dialog run, handed to its event handler.
struct DialogHandler {
  DialogHandler();
  ~DialogHandler();
  DialogHandler(const DialogHandler&) = delete;
  DialogHandler& operator=(const DialogHandler&) = delete;
  void Dispose();

  EventHandlerProcPtr upp;
  UInt32 result;
  UInt8 bevelDismisses;
  DialogCustomProc customProc;
  DialogControlProc controlProc;
};

extern DialogParams dlogPARAMS;
extern ControlParams ctrlPARAMS;

// Placement and layout.
Rect DlogPosition(SInt16 width, SInt16 height, SInt16 extra);
void CenterDialogInWindow(WindowRef dialog, WindowRef window);
Rect ButtonPosition_Dlog(const Rect* dialog, char index);
Rect IconPosition();
Rect TextPosition(const Rect* dialog);
Rect InfoPosition(const Rect* dialog);
Rect ButtonPosition_Wind(const Rect* window, char index, char width, char margin);
Rect FoldDownPosition(const Rect* dialog);
void OffsetControl(ControlRef control, SInt16 dh, SInt16 dv);

// Windows and controls.
WindowRef NewStandardDialog(const Rect* bounds, const unsigned char* title, unsigned char sheet);
// `bounds` may be resized in place (check boxes, radio buttons, zero-width
// one-line static texts are sized to their title).
ControlRef NewDialogControl(WindowRef window, Rect* bounds, SInt16 procID, const unsigned char* title, SInt16 value,
                            SInt16 min, SInt16 max);
void SetControlText(ControlRef control, const unsigned char* text);
void GetControlText(ControlRef control, unsigned char* text);
void SetControlIconCode(ControlRef control, UInt32 type);
void SetDefaultControl(ControlRef control, unsigned char isDefault);
void SetCancelControl(ControlRef control, unsigned char isCancel);
ControlRef GetControlByCommand(WindowRef window, UInt32 command);
ControlRef SearchSubControlsByCommand(ControlRef control, UInt32 command);
void PostControlClickEvent(ControlRef control, char value);
void FixParamText(WindowRef window);

// Running a dialog.
UInt32 RunStandardDialog(WindowRef window, WindowRef parent, unsigned char sheet);
OSStatus StandardDialogHandler(EventHandlerCallRef call, EventRef event, void* userData);
// Shows the dialog through the presenter until a handler ends the loop;
// false when the presenter gave up on it.
bool RunAppModalLoopForWindow(WindowRef window);
// What a presenter is shown of a dialog.
DialogView DialogViewOf(WindowRef window);
