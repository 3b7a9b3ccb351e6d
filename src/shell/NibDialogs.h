// The engine's larger dialog windows, described in its interface file
// "QK Engine.plist" (in the bundle's Resources): loading it, making windows
// from it, finding controls, the small handlers that fields, buttons and tab
// controls are given, the progress window, the scale dialog and timers bound
// to a window or control.
#pragma once

#include "foundation/Timer.h"
#include "platform/QuickDrawPicture.h"
#include "shell/StandardDialog.h"

class PlistTag;
typedef PlistTag* IBNibRef;

extern IBNibRef QKEngineNIB;

struct NumberParams {
  NumberParams();
  float minimum;
  float maximum;
  UInt8 allowEmpty;
  UInt8 allowSpace;
  UInt8 decimals;
};

struct CharLimitParams {
  explicit CharLimitParams(SInt16 limit) : limit(limit), field(nullptr) {}
  SInt16 limit;
  ControlRef field;
};

struct ButtonEnabler {
  ControlRef button = nullptr;
  ControlRef field = nullptr;
};

typedef void (*FieldMonitorProc)(ControlRef field, void* data);
struct FieldMonitor {
  EventHandlerProcPtr upp = nullptr;
  ControlRef field = nullptr;
  void* data = nullptr;
  FieldMonitorProc proc = nullptr;
};

struct WindowEventLoop;
typedef void (*WindowEventLoopProc)(WindowEventLoop* loop);
struct WindowEventLoop {
  WindowRef window = nullptr;
  ControlRef control = nullptr;
  Timer* timer = nullptr;
  WindowEventLoopProc proc = nullptr;
  double interval = 0.0;  // seconds
  double delay = 0.0;     // seconds before a control's first firing
};

typedef SInt16 (*ButtonCallback)(ControlRef control);

// 0, or fnfErr when "QK Engine.plist" cannot be read from Resources.
OSStatus LoadQKEngineNib();
// The same from a given file (tests).
OSStatus LoadQKEngineNibFile(const char* path);
// Opens an interface file by name from Resources ("QK Engine" and so on).
OSStatus CreateNibReference(const char* name, IBNibRef* nib);
// Frees an interface file (null: nothing).
void DisposeNibReference(IBNibRef nib);
// Makes the window `name` of the interface file, centred as a standard
// dialog, with its controls (titles turned from UTF-8 to Mac Roman); null
// when the file has no such window. The caller disposes of it.
WindowRef GetNibWindow(IBNibRef nib, const char* name);
// Opens the window of an interface file, runs it as a standard dialog (as a
// sheet on `parent` when asked) and returns the command that closed it;
// kHICommandCancel, after an alert, when the window cannot be made.
UInt32 StandardDialog(const char* nibName, const char* windowName, WindowRef parent, unsigned char sheet);

// The window's control with this signature and id, or null.
ControlRef GetControlBySignature(WindowRef window, UInt32 signature, SInt32 id);
UInt32 GetControlSignature(ControlRef control);  // 0 for no control
// The value of the window's control with this command (0 when none).
SInt8 GetControlValueByCommand(WindowRef window, UInt32 command);
// The text of the window's control with this command, as a Pascal string;
// `text` is left alone when there is no such control.
void GetControlTextByCommand(WindowRef window, UInt32 command, unsigned char* text);

// Handlers for fields, each returning the handler installation's result.
// The parameter records are used in place and must outlive the field.
// A number field takes digits and the editing keys, and on losing the focus
// is held within the range (ConstrainNumberField).
OSStatus InstallNumberFieldHandler(ControlRef field, NumberParams* params);
// As the number field, also taking '.', a '-' when the minimum is negative
// and, with allowSpace, spaces; on losing the focus ConstrainRealNumberField.
OSStatus InstallRealNumberFieldHandler(ControlRef field, NumberParams* params);
// The field takes no more than `params->limit` characters (a key that
// replaces a selection still goes in), and is cut to it on losing the focus.
OSStatus InstallCharLimitHandler(ControlRef field, CharLimitParams* params);
// The field takes letters, spaces and the editing keys only.
OSStatus InstallLettersOnlyHandler(ControlRef field);
// Calls `callback` when the button is hit; the hit goes on to the dialog only
// when it returns 1.
OSStatus InstallButtonHandler(ControlRef button, ButtonCallback callback);
// After each key in `field`, `button` is enabled while the field holds text
// and disabled while it is empty.
OSStatus InstallButtonEnabler(ButtonEnabler* enabler, ControlRef button, ControlRef field);
// Calls monitor->proc(field, data) whenever the field's text changes or is
// accepted; the caller sets proc.
OSStatus InstallFieldMonitor(FieldMonitor* monitor, ControlRef field, void* data);
// Makes a field read-only: no typing, cutting or pasting (Tab, Return,
// Enter and Escape still reach the dialog); a click selects all its text.
OSStatus InstallReadOnlyHandler(ControlRef field);
// A click on the tabs shows the pane of the chosen tab (or, after a beep,
// the next enabled one).
OSStatus InstallTabsControlHandler(ControlRef tabs);
// A hit on the control calls handler->controlProc, whose result is the
// handler's.
OSStatus InstallCustomControlHandler(DialogHandler* handler, ControlRef control);
// Every control hit in the window calls handler->customProc with the
// control's command, which becomes handler->result; keys are handled as in a
// standard dialog.
OSStatus InstallCustomDialogHandler(DialogHandler* handler, WindowRef window);
// The handlers the installers above install. The custom and field-monitor
// ones report a null record or procedure as a fatal error.
OSStatus CustomControlHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus CustomDialogHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus FieldMonitorHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus TabsControlHandler(EventHandlerCallRef call, EventRef event, void* userData);
// Shows the pane of `tab` (the control with the tabs' signature and the tab's
// number as id), hides the other panes and clears the keyboard focus.
void SwitchTabControl(WindowRef window, ControlRef tabs, SInt16 tab);

// Rewrites the field's text as a whole number within the range (an empty
// field stays empty with allowEmpty); the caret goes to the end.
void ConstrainNumberField(ControlRef field, NumberParams* params);
// Rewrites the field's text as a number within the range with `decimals`
// decimals; an empty field stays empty with allowEmpty, else becomes the
// minimum.
void ConstrainRealNumberField(ControlRef field, NumberParams* params);
// Cuts the field's text to *limit characters (a negative limit: no limit).
void LimitCharsInField(ControlRef field, SInt16* limit);
// The slider's value as a value from `low` to `high` (whole steps when the
// real range is the wider, else in proportion); `low` for a slider with no
// range, 0 for no slider.
SInt16 SliderToRealValue(ControlRef slider, SInt16 low, SInt16 high);
// The reverse: sets the slider to `value` of the range `low` to `high` and
// returns the slider's new value.
SInt16 RealValueToSlider(SInt16 value, ControlRef slider, SInt16 low, SInt16 high);

extern WindowRef progressDLOG;
extern ControlRef progressBAR;
extern ControlRef progressFIELD;
// The application's icon, held while the progress window is open.
extern IconRef applICON;
// Shows the progress window ("Progress" in the engine's interface file) with
// a title, a text and an empty bar, indeterminate when asked. One window at
// a time: while one shows, this only updates its text and makes the bar
// indeterminate. Showing it services the timers and the audio once.
void OpenProgressDialog(const char* title, unsigned char indeterminate, const char* text);
// New text; a negative step makes the bar indeterminate, a positive one
// moves it one place on (never past its end); 0 leaves it.
void UpdateProgressDialog(const char* text, char step);
void CloseProgressDialog();
bool ProgressDialogVisible();

// Calls `proc` on the next timer service and then every loop.interval
// seconds, through a timer the loop owns (one installed before is
// replaced), for a window or for a control.
void InstallWindowEventLoop(WindowEventLoop& loop, WindowRef window, WindowEventLoopProc proc);
void InstallControlEventLoop(WindowEventLoop& loop, ControlRef control, WindowEventLoopProc proc);
// Stops and frees the loop's timer.
void RemoveWindowEventLoop(WindowEventLoop& loop);

// Asks how to fit an image of `size` to `target` ("Scale Image" of the
// engine's interface file, as a sheet on `parent`): to fill it (the larger
// ratio), to the target exactly, to fit inside it (the smaller ratio), or
// as it is. `size` is changed only on OK; the command that closed the
// dialog is returned. The title, flag and text are not used.
UInt32 ScaleDimensionsDialog(const unsigned char* title, char flag, unsigned char* text, Rect* size, Rect* target,
                             WindowRef parent);
