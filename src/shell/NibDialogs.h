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
void DisposeNibReference(IBNibRef nib);
WindowRef GetNibWindow(IBNibRef nib, const char* name);
UInt32 StandardDialog(const char* nibName, const char* windowName, WindowRef parent, unsigned char sheet);

ControlRef GetControlBySignature(WindowRef window, UInt32 signature, SInt32 id);
UInt32 GetControlSignature(ControlRef control);
SInt8 GetControlValueByCommand(WindowRef window, UInt32 command);
void GetControlTextByCommand(WindowRef window, UInt32 command, unsigned char* text);

OSStatus InstallNumberFieldHandler(ControlRef field, NumberParams* params);
OSStatus InstallRealNumberFieldHandler(ControlRef field, NumberParams* params);
OSStatus InstallCharLimitHandler(ControlRef field, CharLimitParams* params);
OSStatus InstallLettersOnlyHandler(ControlRef field);
OSStatus InstallButtonHandler(ControlRef button, ButtonCallback callback);
OSStatus InstallButtonEnabler(ButtonEnabler* enabler, ControlRef button, ControlRef field);
OSStatus InstallFieldMonitor(FieldMonitor* monitor, ControlRef field, void* data);
OSStatus InstallReadOnlyHandler(ControlRef field);
OSStatus InstallTabsControlHandler(ControlRef tabs);
OSStatus InstallCustomControlHandler(DialogHandler* handler, ControlRef control);
OSStatus InstallCustomDialogHandler(DialogHandler* handler, WindowRef window);
OSStatus CustomControlHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus CustomDialogHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus FieldMonitorHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus TabsControlHandler(EventHandlerCallRef call, EventRef event, void* userData);
void SwitchTabControl(WindowRef window, ControlRef tabs, SInt16 tab);

void ConstrainNumberField(ControlRef field, NumberParams* params);
void ConstrainRealNumberField(ControlRef field, NumberParams* params);
void LimitCharsInField(ControlRef field, SInt16* limit);
SInt16 SliderToRealValue(ControlRef slider, SInt16 low, SInt16 high);
SInt16 RealValueToSlider(SInt16 value, ControlRef slider, SInt16 low, SInt16 high);

extern WindowRef progressDLOG;
extern ControlRef progressBAR;
extern ControlRef progressFIELD;
// The application's icon, held while the progress window is open.
extern IconRef applICON;
void OpenProgressDialog(const char* title, unsigned char indeterminate, const char* text);
void UpdateProgressDialog(const char* text, char step);
void CloseProgressDialog();
bool ProgressDialogVisible();

void InstallWindowEventLoop(WindowEventLoop& loop, WindowRef window, WindowEventLoopProc proc);
void InstallControlEventLoop(WindowEventLoop& loop, ControlRef control, WindowEventLoopProc proc);
void RemoveWindowEventLoop(WindowEventLoop& loop);

UInt32 ScaleDimensionsDialog(const unsigned char* title, char flag, unsigned char* text, Rect* size, Rect* target,
                             WindowRef parent);
