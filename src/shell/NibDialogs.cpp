#include "shell/NibDialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/ErrorDialog.h"
#include "foundation/MainTimer.h"
#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "foundation/StringFunctions.h"
#include "foundation/TextEncodings.h"
#include "platform/PlatformFiles.h"
#include "shell/ApplInfo.h"
#include "shell/ControlUtilities.h"
#include "shell/ErrorAlertDialogs.h"

IBNibRef QKEngineNIB = nullptr;
WindowRef progressDLOG = nullptr;
ControlRef progressBAR = nullptr;
ControlRef progressFIELD = nullptr;
IconRef applICON = nullptr;

namespace {

UInt32 CodeOf(const std::string& text) {
  char c[4] = {' ', ' ', ' ', ' '};
  memcpy(c, text.data(), std::min<size_t>(4, text.size()));
  return FOUR_CHAR(c[0], c[1], c[2], c[3]);
}

SInt16 ProcOfKind(const std::string& kind) {
  static const struct {
    const char* name;
    SInt16 proc;
  } kinds[] = {{"push", kPushButtonProc},      {"check", kCheckBoxProc},    {"radio", kRadioButtonProc},
               {"stext", kStaticTextProc},     {"edit", kEditTextProc},     {"password", kPasswordProc},
               {"icon", kIconNoTrackProc},     {"bevel", kBevelButtonProc}, {"tabs", kTabsProc},
               {"pane", kUserPaneProc},        {"group", kUserPaneProc},    {"slider", kSliderProc},
               {"progress", kProgressBarProc}, {"popup", kPopupButtonProc}, {"grid", kCellGridProc}};
  for (const auto& k : kinds)
    if (kind == k.name) return k.proc;
  return kUserPaneProc;
}

SInt32 Number(PlistTag* dict, const char* key, SInt32 fallback) {
  SInt32 n = fallback;
  dict->GetNumber(key, &n, 0);
  return n;
}

OSStatus LoadNib(const std::string& path, IBNibRef* nib) {
  FILE* file = OpenRegularFileForReading(path);
  if (!file) return fnfErr;
  auto* tree = new PlistTag;
  SInt16 error = tree->LoadFile(file);
  fclose(file);
  if (error || !tree->FindDictionary("Windows", 0)) {
    tree->DeleteChildren();
    delete tree;
    return -1;  // not a whole interface file
  }
  *nib = tree;
  return noErr;
}

// Keys of a number field: digits and the editing keys.
bool EditingKey(UInt8 c) { return c == 9 || c == 8 || c == 27 || c == 13 || c == 3 || c == 28 || c == 29; }

std::string FieldText(ControlRef field) { return field ? field->text : std::string(); }

void SetFieldText(ControlRef field, const std::string& text) {
  if (!field) return;
  field->text = text;
  field->selStart = field->selEnd = SInt16(std::min<size_t>(text.size(), 32767));
}

bool KeyEvent(EventRef event) { return event->eventClass == kEventClassKeyboard; }
bool FocusLost(EventRef event) {
  return event->eventClass == kEventClassControl && event->eventKind == kEventControlSetFocusPart && event->part == 0;
}

OSStatus NumberFieldHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto* params = static_cast<NumberParams*>(userData);
  if (KeyEvent(event)) {
    UInt8 c = event->charCode;
    return (c >= '0' && c <= '9') || EditingKey(c) ? OSStatus(eventNotHandledErr) : OSStatus(noErr);
  }
  if (FocusLost(event)) ConstrainNumberField(event->control, params);
  return eventNotHandledErr;
}

OSStatus RealNumberFieldHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto* params = static_cast<NumberParams*>(userData);
  if (KeyEvent(event)) {
    UInt8 c = event->charCode;
    bool pass = (c >= '0' && c <= '9') || c == '.' || (c == '-' && params->minimum < 0) || EditingKey(c) ||
                (params->allowSpace && (c == ' ' || c == 1));
    return pass ? OSStatus(eventNotHandledErr) : OSStatus(noErr);
  }
  if (FocusLost(event)) ConstrainRealNumberField(event->control, params);
  return eventNotHandledErr;
}

OSStatus CharLimitHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto* params = static_cast<CharLimitParams*>(userData);
  if (KeyEvent(event)) {
    ControlRef field = params->field;
    // A typed key replaces a selection, so a full field with text selected
    // still takes it.
    bool replaces = field && field->selStart != field->selEnd;
    if (!EditingKey(event->charCode) && !replaces && SInt32(FieldText(field).size()) >= params->limit) return noErr;
    return eventNotHandledErr;
  }
  if (FocusLost(event)) LimitCharsInField(params->field, &params->limit);
  return eventNotHandledErr;
}

OSStatus LettersOnlyHandler(EventHandlerCallRef, EventRef event, void*) {
  if (!KeyEvent(event)) return eventNotHandledErr;
  UInt8 c = event->charCode;
  bool pass = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ' || EditingKey(c);
  return pass ? OSStatus(eventNotHandledErr) : OSStatus(noErr);
}

OSStatus ButtonHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto callback = reinterpret_cast<ButtonCallback>(userData);
  return callback(event->control) == 1 ? OSStatus(eventNotHandledErr) : OSStatus(noErr);
}

OSStatus ButtonEnablerHandler(EventHandlerCallRef call, EventRef event, void* userData) {
  auto* enabler = static_cast<ButtonEnabler*>(userData);
  OSStatus status = CallNextEventHandler(call, event);
  if (FieldText(enabler->field).empty())
    DisableControl(enabler->button);
  else
    EnableControl(enabler->button);
  return status;
}

OSStatus ReadOnlyHandler(EventHandlerCallRef, EventRef event, void*) {
  if (event->eventClass == kEventClassCommand)
    return event->command == FOUR_CHAR('c', 'u', 't', ' ') || event->command == FOUR_CHAR('p', 'a', 's', 't')
               ? OSStatus(noErr)
               : OSStatus(eventNotHandledErr);
  if (KeyEvent(event)) {
    if (event->eventKind == kEventRawKeyRepeat) return noErr;
    UInt8 c = event->charCode;
    return c == 9 || c == 13 || c == 3 || c == 27 ? OSStatus(eventNotHandledErr) : OSStatus(noErr);
  }
  if (event->eventClass == kEventClassControl && event->eventKind == kEventControlHit) {
    event->control->selStart = 0;
    event->control->selEnd = 32767;
    SetKeyboardFocus(event->control->window, event->control);
  }
  return eventNotHandledErr;
}

void TimerFired(Timer* timer) {
  auto* loop = static_cast<WindowEventLoop*>(timer->data);
  if (loop->proc) loop->proc(loop);
}

void InstallLoopTimer(WindowEventLoop& loop, WindowEventLoopProc proc) {
  if (loop.timer) delete loop.timer;
  loop.proc = proc;
  UInt32 ms = UInt32(std::max(0.0, loop.interval) * 1000.0);
  loop.timer = new Timer(TimerFired, ms, &loop);
}

}  // namespace

NumberParams::NumberParams() : minimum(0), maximum(0), allowEmpty(0), allowSpace(0), decimals(2) {}

OSStatus LoadQKEngineNib() { return CreateNibReference("QK Engine", &QKEngineNIB); }

OSStatus LoadQKEngineNibFile(const char* path) {
  IBNibRef nib = nullptr;
  OSStatus error = LoadNib(path, &nib);
  if (!error) {
    DisposeNibReference(QKEngineNIB);
    QKEngineNIB = nib;
  }
  return error;
}

OSStatus CreateNibReference(const char* name, IBNibRef* nib) {
  *nib = nullptr;
  return LoadNib(GetResourcesPath() + "/" + name + ".plist", nib);
}

void DisposeNibReference(IBNibRef nib) {
  if (!nib) return;
  nib->DeleteChildren();
  delete nib;
}

WindowRef GetNibWindow(IBNibRef nib, const char* name) {
  if (!nib) return nullptr;
  PlistTag* windows = nib->FindDictionary("Windows", 0);
  PlistTag* spec = windows ? windows->FindDictionary(name, 0) : nullptr;
  if (!spec) return nullptr;
  std::string title;
  spec->GetString("Title", &title, 0);
  title = ConvertUnicodeToCStr(title.c_str());
  Str255 ptitle;
  CToPStr(title.c_str(), ptitle);
  SInt16 width = SInt16(Number(spec, "Width", 300)), height = SInt16(Number(spec, "Height", 120));
  Rect bounds = DlogPosition(width, height, 0);
  WindowRef window = NewStandardDialog(&bounds, ptitle, 0);
  PlistTag* controls = spec->FindArray("Controls", 0);
  std::vector<ControlRef> made;
  for (UInt16 i = 0; controls && i < controls->NumElements(); ++i) {
    PlistTag* c = controls->GetElement(i);
    std::string kind, ctitle, command, signature;
    c->GetString("Kind", &kind, 0);
    c->GetString("Title", &ctitle, 0);
    c->GetString("Command", &command, 0);
    c->GetString("Signature", &signature, 0);
    // The description is UTF-8; the model keeps Mac Roman.
    ctitle = ConvertUnicodeToCStr(ctitle.c_str());
    Str255 pt;
    CToPStr(ctitle.c_str(), pt);
    Rect r{SInt16(Number(c, "Top", 0)), SInt16(Number(c, "Left", 0)), SInt16(Number(c, "Bottom", 0)),
           SInt16(Number(c, "Right", 0))};
    SInt16 proc = ProcOfKind(kind);
    ControlRef control =
        NewDialogWindowControl(window, r, proc, pt, 0, SInt16(Number(c, "Min", 0)), SInt16(Number(c, "Max", 1)));
    control->value = SInt16(Number(c, "Value", 0));
    if (proc == kStaticTextProc || proc == kEditTextProc || proc == kPasswordProc) control->text = ctitle;
    if (!command.empty()) control->command = CodeOf(command);
    // The tabs' titles, or the items of a pop-up, as the description lists them.
    if (PlistTag* items = c->FindArray("Items", 0))
      for (UInt16 k = 0; k < items->NumElements(); ++k) {
        const unsigned char* item = items->GetElement(k)->value;
        control->items.push_back(ConvertUnicodeToCStr(std::string((const char*)item + 1, item[0]).c_str()));
      }
    if (!signature.empty()) {
      control->signature = CodeOf(signature);
      control->id = Number(c, "ID", 0);
    }
    if (!Number(c, "Enabled", 1)) DisableControl(control);
    if (!Number(c, "Visible", 1)) HideControl(control);
    control->isDefault = Number(c, "Default", 0) != 0;
    control->isCancel = Number(c, "Cancel", 0) != 0;
    SInt32 parent = Number(c, "Parent", -1);
    if (parent >= 0 && size_t(parent) < made.size()) EmbedControl(control, made[size_t(parent)]);
    made.push_back(control);
  }
  return window;
}

UInt32 StandardDialog(const char* nibName, const char* windowName, WindowRef parent, unsigned char sheet) {
  IBNibRef nib = nullptr;
  OSStatus error = CreateNibReference(nibName, &nib);
  if (error) AlertDialog("CreateNibReference() failed.", SInt32(error), "OK");
  WindowRef window = GetNibWindow(nib, windowName);
  if (!window) {
    AlertDialog("CreateWindowFromNib() failed.", SInt32(-1), "OK");
    DisposeNibReference(nib);
    return kHICommandCancel;
  }
  UInt32 command = RunStandardDialog(window, parent, sheet);
  DisposeDialogWindow(window);
  DisposeNibReference(nib);
  return command;
}

ControlRef GetControlBySignature(WindowRef window, UInt32 signature, SInt32 id) {
  for (ControlRef c : AllControls(window))
    if (c->signature == signature && c->id == id) return c;
  return nullptr;
}

UInt32 GetControlSignature(ControlRef control) { return control ? control->signature : 0; }

SInt8 GetControlValueByCommand(WindowRef window, UInt32 command) {
  ControlRef control = GetControlByCommand(window, command);
  return control ? SInt8(control->value) : 0;
}

void GetControlTextByCommand(WindowRef window, UInt32 command, unsigned char* text) {
  if (ControlRef control = GetControlByCommand(window, command)) GetControlText(control, text);
}

namespace {
const EventTypeSpec kFieldEvents[] = {{kEventClassKeyboard, kEventRawKeyDown},
                                      {kEventClassControl, kEventControlSetFocusPart}};
const EventTypeSpec kKeyEvents[] = {{kEventClassKeyboard, kEventRawKeyDown}, {kEventClassKeyboard, kEventRawKeyRepeat}};
const EventTypeSpec kHitEvent[] = {{kEventClassControl, kEventControlHit}};
}  // namespace

OSStatus InstallNumberFieldHandler(ControlRef field, NumberParams* params) {
  return InstallControlEventHandler(field, NumberFieldHandler, 2, kFieldEvents, params, nullptr);
}

OSStatus InstallRealNumberFieldHandler(ControlRef field, NumberParams* params) {
  return InstallControlEventHandler(field, RealNumberFieldHandler, 2, kFieldEvents, params, nullptr);
}

OSStatus InstallCharLimitHandler(ControlRef field, CharLimitParams* params) {
  params->field = field;
  return InstallControlEventHandler(field, CharLimitHandler, 2, kFieldEvents, params, nullptr);
}

OSStatus InstallLettersOnlyHandler(ControlRef field) {
  return InstallControlEventHandler(field, LettersOnlyHandler, 2, kFieldEvents, nullptr, nullptr);
}

OSStatus InstallButtonHandler(ControlRef button, ButtonCallback callback) {
  return InstallControlEventHandler(button, ButtonHandler, 1, kHitEvent, reinterpret_cast<void*>(callback), nullptr);
}

OSStatus InstallButtonEnabler(ButtonEnabler* enabler, ControlRef button, ControlRef field) {
  enabler->button = button;
  enabler->field = field;
  return InstallControlEventHandler(field, ButtonEnablerHandler, 2, kKeyEvents, enabler, nullptr);
}

OSStatus InstallFieldMonitor(FieldMonitor* monitor, ControlRef field, void* data) {
  static const EventTypeSpec events[] = {{kEventClassTextField, kEventTextAccepted},
                                         {kEventClassTextField, kEventTextDidChange}};
  monitor->field = field;
  monitor->data = data;
  monitor->upp = FieldMonitorHandler;
  return InstallControlEventHandler(field, FieldMonitorHandler, 2, events, monitor, nullptr);
}

OSStatus FieldMonitorHandler(EventHandlerCallRef, EventRef, void* userData) {
  auto* monitor = static_cast<FieldMonitor*>(userData);
  if (!monitor) {
    ErrorDialog("FieldMonitor pointer is nil.", "FieldMonitorHandler()", 0, 1);
    return -1;
  }
  if (!monitor->proc) {
    ErrorDialog("CustomProc pointer is nil.", "FieldMonitorHandler()", 0, 1);
    return -2;
  }
  monitor->proc(monitor->field, monitor->data);
  return eventNotHandledErr;
}

OSStatus InstallReadOnlyHandler(ControlRef field) {
  static const EventTypeSpec events[] = {{kEventClassKeyboard, kEventRawKeyDown},
                                         {kEventClassKeyboard, kEventRawKeyRepeat},
                                         {kEventClassCommand, kEventCommandProcess},
                                         {kEventClassControl, kEventControlHit}};
  if (field) field->readOnly = true;
  return InstallControlEventHandler(field, ReadOnlyHandler, 4, events, nullptr, nullptr);
}

OSStatus InstallTabsControlHandler(ControlRef tabs) {
  return InstallControlEventHandler(tabs, TabsControlHandler, 1, kHitEvent, tabs, nullptr);
}

OSStatus TabsControlHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto tabs = static_cast<ControlRef>(userData);
  if (event->control != tabs) return eventNotHandledErr;
  SInt16 tab = tabs->value;
  auto paneDisabled = [&](SInt16 n) {
    ControlRef pane = GetControlBySignature(tabs->window, tabs->signature, n);
    return pane && pane->hilite != kControlActive;
  };
  if (paneDisabled(tab)) {
    Beep();
    while (paneDisabled(tab) && tab < tabs->maximum) ++tab;
    tabs->value = tab;
  }
  SwitchTabControl(tabs->window, tabs, tab);
  return noErr;
}

void SwitchTabControl(WindowRef window, ControlRef tabs, SInt16 tab) {
  for (SInt16 n = 1; n <= tabs->maximum; ++n)
    if (n != tab) HideControl(GetControlBySignature(window, tabs->signature, n));
  ClearKeyboardFocus(window);
  ShowControl(GetControlBySignature(window, tabs->signature, tab));
}

OSStatus InstallCustomControlHandler(DialogHandler* handler, ControlRef control) {
  handler->upp = CustomControlHandler;
  return InstallControlEventHandler(control, CustomControlHandler, 1, kHitEvent, handler, nullptr);
}

OSStatus InstallCustomDialogHandler(DialogHandler* handler, WindowRef window) {
  static const EventTypeSpec events[] = {{kEventClassControl, kEventControlHit},
                                         {kEventClassKeyboard, kEventRawKeyDown}};
  handler->upp = CustomDialogHandler;
  return InstallWindowEventHandler(window, CustomDialogHandler, 2, events, handler, nullptr);
}

OSStatus CustomControlHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto* handler = static_cast<DialogHandler*>(userData);
  if (!handler) {
    ErrorDialog("DialogHandler pointer is nil.", "CustomControlHandler()", 0, 1);
    return -1;
  }
  if (!handler->controlProc) {
    ErrorDialog("ControlProc pointer is nil.", "CustomControlHandler()", 0, 1);
    return -2;
  }
  return handler->controlProc(event->control);
}

OSStatus CustomDialogHandler(EventHandlerCallRef call, EventRef event, void* userData) {
  auto* handler = static_cast<DialogHandler*>(userData);
  if (!handler) {
    ErrorDialog("DialogHandler pointer is nil.", "CustomDialogHandler()", 0, 1);
    return -1;
  }
  if (event->eventClass == kEventClassKeyboard) return StandardDialogHandler(call, event, handler);
  if (!handler->customProc) {
    ErrorDialog("CustomProc pointer is nil.", "CustomDialogHandler()", 0, 1);
    return -2;
  }
  handler->customProc(event->control->window, event->control->command, 0);
  handler->result = event->control->command;
  return eventNotHandledErr;
}

void ConstrainNumberField(ControlRef field, NumberParams* params) {
  if (!field) return;
  if (field->text.empty() && params->allowEmpty) return;
  long n = strtol(field->text.c_str(), nullptr, 10);
  n = std::max(n, long(params->minimum));
  n = std::min(n, long(params->maximum));
  SetFieldText(field, std::to_string(n));
}

void ConstrainRealNumberField(ControlRef field, NumberParams* params) {
  if (!field) return;
  double n;
  if (field->text.empty()) {
    if (params->allowEmpty) return;
    n = params->minimum;
  } else {
    n = strtod(field->text.c_str(), nullptr);
    n = std::clamp(n, double(params->minimum), std::max(double(params->minimum), double(params->maximum)));
  }
  char text[64];
  snprintf(text, sizeof text, "%.*f", int(params->decimals), n);
  SetFieldText(field, text);
}

void LimitCharsInField(ControlRef field, SInt16* limit) {
  if (!field || !limit || *limit < 0) return;
  if (field->text.size() > size_t(*limit)) SetFieldText(field, field->text.substr(0, size_t(*limit)));
}

// A slider without a range answers the low end; a real range narrower than
// the slider's is converted in proportion instead of by a whole-number step.
SInt16 SliderToRealValue(ControlRef slider, SInt16 low, SInt16 high) {
  if (!slider) return 0;
  SInt32 span = slider->maximum - slider->minimum;
  if (span == 0) return low;
  SInt32 step = (high - low) / span;
  if (step == 0) return SInt16(std::lround(low + double(high - low) * (slider->value - slider->minimum) / span));
  return SInt16(low + step * (slider->value - slider->minimum));
}

SInt16 RealValueToSlider(SInt16 value, ControlRef slider, SInt16 low, SInt16 high) {
  if (!slider) return 0;
  SInt32 span = slider->maximum - slider->minimum;
  SInt16 result;
  if (span == 0) {
    result = slider->minimum;
  } else {
    SInt32 step = (high - low) / span;
    if (step == 0)
      result = high == low ? slider->minimum
                           : SInt16(std::lround(slider->minimum + double(value - low) * span / double(high - low)));
    else
      result = SInt16(slider->minimum + (value - low) / step);
  }
  slider->value = result;
  return result;
}

void OpenProgressDialog(const char* title, unsigned char indeterminate, const char* text) {
  if (progressDLOG) {
    UpdateProgressDialog(text, -1);
    return;
  }
  progressDLOG = GetNibWindow(QKEngineNIB, "Progress");
  if (!progressDLOG) {
    ErrorDialog("GetNibWindow() failed.", SInt16(-1), 0, 1);
    return;
  }
  DialogWindowRecord* record = DialogRecord(progressDLOG);
  CToPStr(title ? title : "", record->title);
  if (dlogPARAMS.parentWindow) CenterDialogInWindow(progressDLOG, dlogPARAMS.parentWindow);
  dlogPARAMS.Reset();
  progressBAR = GetControlByCommand(progressDLOG, FOUR_CHAR('p', 'r', 'o', 'g'));
  progressFIELD = GetControlByCommand(progressDLOG, FOUR_CHAR('t', 'x', 't', '1'));
  if (progressFIELD) progressFIELD->text = text ? text : "";
  // The application's icon is a PNG file of the bundle.
  if (OSErr error = LoadBundleIcon(kApplicationIconFile, FOUR_CHAR('A', 'P', 'P', 'L'), &applICON)) {
    ErrorDialog("GetIconRef() failed.", SInt16(error), 0, 1);
    return;
  }
  SetControlIconRef(GetControlByCommand(progressDLOG, FOUR_CHAR('i', 'c', 'o', 'n')), applICON);
  if (progressBAR) {
    progressBAR->value = progressBAR->minimum = progressBAR->maximum = 0;
    progressBAR->data[FOUR_CHAR('i', 'n', 'd', 'e')] = indeterminate;
  }
  record->visible = true;
  Presenter().Refresh(DialogViewOf(progressDLOG));
  ServiceTimers();
  IdleAudio();
}

void UpdateProgressDialog(const char* text, char step) {
  if (!progressDLOG) return;
  if (progressBAR) {
    if (step < 0) progressBAR->data[FOUR_CHAR('i', 'n', 'd', 'e')] = 1;
    if (step > 0) {
      progressBAR->data[FOUR_CHAR('i', 'n', 'd', 'e')] = 0;
      // A bar never runs past its end.
      progressBAR->value = SInt16(std::min<SInt32>(progressBAR->value + 1, progressBAR->maximum));
    }
  }
  if (progressFIELD) progressFIELD->text = text ? text : "";
  Presenter().Refresh(DialogViewOf(progressDLOG));
  ServiceTimers();
  IdleAudio();
}

void CloseProgressDialog() {
  if (!progressDLOG) return;
  Presenter().Dismiss(progressDLOG);
  DisposeDialogWindow(progressDLOG);
  progressDLOG = nullptr;
  ReleaseIconRef(applICON);
  applICON = nullptr;
  progressBAR = progressFIELD = nullptr;
}

bool ProgressDialogVisible() { return progressDLOG != nullptr; }

void InstallWindowEventLoop(WindowEventLoop& loop, WindowRef window, WindowEventLoopProc proc) {
  loop.window = window;
  InstallLoopTimer(loop, proc);
}

void InstallControlEventLoop(WindowEventLoop& loop, ControlRef control, WindowEventLoopProc proc) {
  loop.control = control;
  InstallLoopTimer(loop, proc);
}

void RemoveWindowEventLoop(WindowEventLoop& loop) {
  delete loop.timer;
  loop.timer = nullptr;
  loop.proc = nullptr;
}

UInt32 ScaleDimensionsDialog(const unsigned char*, char, unsigned char*, Rect* size, Rect* target, WindowRef parent) {
  WindowRef window = GetNibWindow(QKEngineNIB, "Scale Image");
  if (!window) return kHICommandCancel;
  UInt32 command = RunStandardDialog(window, parent, 1);
  if (command == kHICommandOK) {
    ControlRef group = GetControlBySignature(window, FOUR_CHAR('m', 't', 'h', 'd'), 0);
    SInt16 method = 0;
    if (group)
      for (size_t i = 0; i < group->children.size(); ++i)
        if (group->children[i]->value) method = SInt16(i + 1);
    SInt32 w = size->right - size->left, h = size->bottom - size->top;
    SInt32 tw = target->right - target->left, th = target->bottom - target->top;
    if (method == 2) {
      *size = *target;
    } else if ((method == 1 || method == 3) && w > 0 && h > 0) {
      double rw = double(tw) / w, rh = double(th) / h;
      double r = method == 1 ? std::max(rw, rh) : std::min(rw, rh);
      size->right = SInt16(size->left + SInt32(w * r));
      size->bottom = SInt16(size->top + SInt32(h * r));
    }
  }
  DisposeDialogWindow(window);
  return command;
}
