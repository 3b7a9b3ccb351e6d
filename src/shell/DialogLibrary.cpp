#include "shell/DialogLibrary.h"

#include <algorithm>
#include <cstring>

#include "foundation/ErrorDialog.h"
#include "foundation/StringFunctions.h"
#include "platform/KeyCodes.h"
#include "platform/PlatformTime.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Events.h"
#include "shell/Startup.h"

SInt16 confirmDelay = 0, confirmButton = 0, confirmTimeoutButton = 0;

namespace {

const unsigned char* P(const char* text, Str255 out) {
  CToPStr(text, out);
  return out;
}

ControlRef AddButton(WindowRef window, const Rect& dialog, char index, const unsigned char* title) {
  Rect r = ButtonPosition_Dlog(&dialog, index);
  return NewDialogControl(window, &r, kPushButtonProc, title, 0, 0, 1);
}

void AddIcon(WindowRef window, SInt16 icon) {
  Rect r = IconPosition();
  NewDialogControl(window, &r, kIconNoTrackProc, (const unsigned char*)"", icon, 0, 0);
}

void AddText(WindowRef window, Rect r, const unsigned char* text) {
  NewDialogControl(window, &r, kStaticTextProc, text, 0, 0, 0);
}

Rect Local(const Rect& global) {
  return Rect{0, 0, SInt16(global.bottom - global.top), SInt16(global.right - global.left)};
}

bool Equal(const std::string& a, const unsigned char* b) {
  return a.size() == b[0] && memcmp(a.data(), b + 1, a.size()) == 0;
}

void ShowWrongSheet(WindowRef parent, const char* message) {
  WindowRef wrong = GetNibWindow(QKEngineNIB, "Password Wrong");
  Beep();
  if (!wrong) return;
  if (message) {
    DialogRecord(wrong)->bounds.bottom = SInt16(DialogRecord(wrong)->bounds.bottom + 16);
    Str255 p;
    SetControlText(GetControlByCommand(wrong, kCommandText), P(message, p));
  }
  RunStandardDialog(wrong, parent, 1);
  DisposeDialogWindow(wrong);
}

void FocusAll(WindowRef window, ControlRef field) {
  SetKeyboardFocus(window, field);
  SelectControlText(field, 0, 32767);
}

OSStatus PasswordHandler(EventHandlerCallRef call, EventRef event, void* userData) {
  auto* vars = static_cast<PasswordVars*>(userData);
  WindowRef window = event->window;
  if (event->eventClass == kEventClassKeyboard) {
    UInt8 c = event->charCode;
    ControlRef target = nullptr;
    if (c == keychar::kEscape) target = GetControlByCommand(window, kHICommandCancel);
    if (c == keychar::kEscape && !target) target = GetControlByCommand(window, kHICommandOK);
    if (c == keychar::kReturn || c == keychar::kEnter) target = GetControlByCommand(window, kHICommandOK);
    if (target) {
      PostControlClickEvent(target, 1);
      return noErr;
    }
    OSStatus status = CallNextEventHandler(call, event);
    bool ready = !vars->field1->text.empty() && (!vars->field2 || !vars->field2->text.empty());
    if (ready)
      EnableControl(vars->okButton);
    else
      DisableControl(vars->okButton);
    return status;
  }
  UInt32 command = event->control->command;
  if (command == kHICommandCancel) {
    vars->result = kHICommandCancel;
    QuitAppModalLoopForWindow(window);
  } else if (command == kHICommandOK) {
    if (!vars->field2) {
      if (Equal(vars->field1->text, vars->expected)) {
        vars->result = kHICommandOK;
        QuitAppModalLoopForWindow(window);
        return noErr;
      }
      ShowWrongSheet(window, nullptr);
      FocusAll(window, vars->field1);
      if (--vars->triesLeft == 0) {
        vars->result = kHICommandCancel;
        QuitAppModalLoopForWindow(window);
      }
    } else if (vars->field1->text == vars->field2->text) {
      vars->result = kHICommandOK;
      QuitAppModalLoopForWindow(window);
    } else {
      ShowWrongSheet(window, "The passwords do not match.  Please check your typing and try again.");
      FocusAll(window, vars->field1);
    }
  } else if (command == kCommandClear) {
    if (ConfirmDialog((const char*)std::string((const char*)vars->clearMessage + 1, vars->clearMessage[0]).c_str(),
                      0) == kHICommandOK) {
      vars->field1->text.clear();
      vars->field2->text.clear();
      vars->result = kHICommandOK;
      QuitAppModalLoopForWindow(window);
    }
  }
  return noErr;
}

const EventTypeSpec kKeyDown[] = {{kEventClassKeyboard, kEventRawKeyDown}};

// The whole-number filter of an input field: digits and the editing keys.
OSStatus WholeNumberKeys(EventHandlerCallRef, EventRef event, void*) {
  UInt8 c = event->charCode;
  bool pass = (c >= '0' && c <= '9') || c == keychar::kTab || c == keychar::kBackspace || c == keychar::kEscape ||
              c == keychar::kReturn || c == keychar::kEnter || c == keychar::kLeftArrow || c == keychar::kRightArrow;
  return pass ? OSStatus(eventNotHandledErr) : OSStatus(noErr);
}

const EventTypeSpec kPasswordEvents[] = {{kEventClassControl, UInt32(kEventControlHit)},
                                         {kEventClassKeyboard, kEventRawKeyDown},
                                         {kEventClassKeyboard, kEventRawKeyRepeat}};

// Shows the cursor for a dialog and puts it back as it was.
struct CursorShown {
  bool wasHidden = !cursorVIS;
  CursorShown() {
    if (wasHidden) {
      Platform().ShowCursor(true);
      cursorVIS = true;
    }
  }
  ~CursorShown() {
    if (wasHidden && cursorVIS) {
      Platform().ShowCursor(false);
      cursorVIS = false;
    }
  }
};

}  // namespace

UInt32 ConfirmDialog(const char* message, char style) {
  Rect bounds = DlogPosition(SInt16(360 + dlogPARAMS.extraWidth), SInt16(120 + dlogPARAMS.extraHeight), 0);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", dlogPARAMS.sheet);
  WindowRef parent = dlogPARAMS.parentWindow;
  unsigned char sheet = dlogPARAMS.sheet;
  if (parent && !sheet) CenterDialogInWindow(window, parent);
  Rect local = Local(bounds);
  SInt16 widen = dlogPARAMS.buttonWiden;
  ControlRef ok = AddButton(window, local, 0, dlogPARAMS.button1);
  ok->bounds.left = SInt16(ok->bounds.left - widen);
  SetDefaultControl(ok, 1);
  if (style != 2) {
    ControlRef cancel = AddButton(window, local, 1, dlogPARAMS.button2);
    OffsetControl(cancel, SInt16(-widen), 0);
    SetCancelControl(cancel, 1);
  }
  if (style == 1 || style == 2) {
    bool named = dlogPARAMS.button3[0] != 0;
    ControlRef third =
        AddButton(window, local, style == 1 ? 3 : 1, named ? dlogPARAMS.button3 : (const unsigned char*)"\002No");
    if (style == 2) OffsetControl(third, SInt16(-widen), 0);
    if (named) third->command = kHICommandDont;
  }
  if (dlogPARAMS.iconType != kNoIconType) {
    Rect r = IconPosition();
    SetControlIconCode(NewDialogControl(window, &r, kIconRefProc, (const unsigned char*)"", 0, 0, 0),
                       dlogPARAMS.iconType);
  } else {
    AddIcon(window, dlogPARAMS.iconID >= 0 ? dlogPARAMS.iconID : 1);
  }
  Str255 text;
  AddText(window, TextPosition(&local), P(message, text));
  UInt32 command = RunStandardDialog(window, parent, sheet);
  DisposeDialogWindow(window);
  dlogPARAMS.Reset();
  return command;
}

UInt32 ConfirmDontDialog(const unsigned char* message, const unsigned char* action, SInt16 icon,
                         unsigned char showCancel, unsigned char showDont) {
  WindowRef parent = dlogPARAMS.parentWindow;
  unsigned char sheet = dlogPARAMS.sheet;
  dlogPARAMS.Reset();
  CursorShown cursor;
  Rect bounds = DlogPosition(352, 104, 0);
  bounds.top = SInt16(bounds.top - 32);
  bounds.bottom = SInt16(bounds.bottom - 32);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", sheet);
  Rect local = Local(bounds);
  SetDefaultControl(AddButton(window, local, 0, action), 1);
  ControlRef cancel = AddButton(window, local, 1, (const unsigned char*)"\006Cancel");
  if (showCancel)
    SetCancelControl(cancel, 1);
  else
    HideControl(cancel);
  Str255 dont;
  CToPStr("Don't ", dont);
  if (dont[0] + action[0] <= 31) AddString(action, dont);
  ControlRef third = AddButton(window, local, showCancel ? 3 : 1, dont);
  if (showCancel)
    third->bounds.right = SInt16(third->bounds.right + 24);
  else
    third->bounds.left = SInt16(third->bounds.left - 24);
  if (showDont)
    third->command = kHICommandDont;
  else
    HideControl(third);
  AddIcon(window, icon);
  AddText(window, TextPosition(&local), message);
  UInt32 command = RunStandardDialog(window, parent, sheet);
  DisposeDialogWindow(window);
  return command;
}

// Shown only for an instant: its wait ends at once with 'not!'.
UInt32 ConfirmDialog2(unsigned char* message, SInt16 delay, SInt16 button, SInt16 timeoutButton) {
  confirmDelay = delay;
  confirmButton = button;
  confirmTimeoutButton = timeoutButton;
  SInt16 width = 352, height = 120;
  if (message[0] > 127) {
    width = SInt16(message[0] * 2 + 96);
    height = SInt16((message[0] - 128) / 2 + 120);
  }
  Rect bounds = DlogPosition(width, height, 0);
  bounds.top = SInt16(bounds.top - 32);
  bounds.bottom = SInt16(bounds.bottom - 32);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", 0);
  Rect local = Local(bounds);
  AddButton(window, local, 0, (const unsigned char*)"\002OK");
  AddButton(window, local, 1, (const unsigned char*)"\006Cancel");
  AddIcon(window, 2);
  AddText(window, TextPosition(&local), message);
  FlushEvents(mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0);
  DisposeDialogWindow(window);
  return kHICommandCancel;
}

// Neither button carries a command, so both answer 0.
UInt32 ConfirmDialog3(unsigned char* message, unsigned char* button) {
  Rect bounds = DlogPosition(400, 160, 0);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", 0);
  Rect local = Local(bounds);
  AddButton(window, local, 0, (const unsigned char*)"\002OK");
  ControlRef second = AddButton(window, local, 1, button);
  second->bounds.left = SInt16(second->bounds.right - button[0] * 7 - 16);
  AddIcon(window, 2);
  AddText(window, TextPosition(&local), message);
  UInt32 command = RunStandardDialog(window, nullptr, 0);
  DisposeDialogWindow(window);
  return command;
}

UInt32 InputDialog(const unsigned char* prompt, unsigned char* text, UInt8 capacity) {
  CursorShown cursor;
  if (dlogPARAMS.numbersOnly) dlogPARAMS.charLimit = 1;
  SInt16 height = SInt16(std::max(120, 120 + dlogPARAMS.extraHeight));
  Rect bounds = DlogPosition(SInt16(300 + dlogPARAMS.extraWidth), height, 0);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", 0);
  Rect local = Local(bounds);
  ControlRef ok = AddButton(window, local, 0, dlogPARAMS.button1);
  SetDefaultControl(ok, 1);
  ControlRef cancel = AddButton(window, local, 1, dlogPARAMS.button2);
  if (!dlogPARAMS.showCancel) {
    DisableControl(cancel);
    HideControl(cancel);
  }
  SetCancelControl(cancel, 1);
  AddIcon(window, 1);
  Rect promptRect{10, 75, SInt16(local.bottom - 95), SInt16(local.right - 23)};
  AddText(window, promptRect, prompt);
  Rect fieldRect{42, 75, 58, SInt16(local.right - 23)};
  ControlRef field = NewDialogControl(window, &fieldRect, kEditTextProc, text, 0, 0, 0);
  field->command = kCommandInput;
  CharLimitParams limit(31);
  ButtonEnabler enabler;
  if (dlogPARAMS.charLimit) InstallCharLimitHandler(field, &limit);
  if (dlogPARAMS.numbersOnly) InstallControlEventHandler(field, WholeNumberKeys, 1, kKeyDown, nullptr, nullptr);
  if (dlogPARAMS.lettersOnly) InstallLettersOnlyHandler(field);
  InstallButtonEnabler(&enabler, ok, field);
  FocusAll(window, field);
  if (field->text.empty()) DisableControl(ok);
  UInt32 command = RunStandardDialog(window, nullptr, 0);
  size_t n = std::min<size_t>(field->text.size(), capacity);
  text[0] = UInt8(n);
  memcpy(text + 1, field->text.data(), n);
  DisposeDialogWindow(window);
  dlogPARAMS.Reset();
  return command;
}

UInt32 PasswordDialog(const unsigned char* prompt, const unsigned char* expected) {
  WindowRef window = GetNibWindow(QKEngineNIB, "Password");
  if (!window) return kHICommandCancel;
  PasswordVars vars;
  memcpy(vars.expected, expected, std::min<size_t>(expected[0], 31) + 1);
  vars.expected[0] = UInt8(std::min<size_t>(expected[0], 31));
  if (OSStatus error = InstallWindowEventHandler(window, PasswordHandler, 3, kPasswordEvents, &vars, nullptr)) {
    AlertDialog("InstallWindowEventHandler() failed.", SInt32(error), "OK");
    DisposeDialogWindow(window);
    return 0;
  }
  SetControlText(GetControlByCommand(window, kCommandText), prompt);
  vars.okButton = GetControlByCommand(window, kHICommandOK);
  vars.field1 = GetControlByCommand(window, kCommandPassword);
  // What is typed is what is compared: a stored password holds 31 characters.
  CharLimitParams limit(31);
  InstallCharLimitHandler(vars.field1, &limit);
  CursorShown cursor;
  DialogRecord(window)->visible = true;
  FocusAll(window, vars.field1);
  if (vars.field1->text.empty()) DisableControl(vars.okButton);
  if (!RunAppModalLoopForWindow(window)) vars.result = kHICommandCancel;
  DisposeDialogWindow(window);
  return vars.result;
}

UInt32 NewPasswordDialog(const unsigned char* prompt, unsigned char* password, const unsigned char* clearMessage) {
  SInt16 height = SInt16(std::max(96, 96 + dlogPARAMS.extraHeight) + 88);
  Rect bounds = DlogPosition(SInt16(312 + dlogPARAMS.extraWidth), height, 0);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"\010Password", 0);
  PasswordVars vars;
  if (clearMessage) memcpy(vars.clearMessage, clearMessage, size_t(clearMessage[0]) + 1);
  if (OSStatus error = InstallWindowEventHandler(window, PasswordHandler, 3, kPasswordEvents, &vars, nullptr)) {
    AlertDialog("InstallWindowEventHandler() failed.", SInt32(error), "OK");
    DisposeDialogWindow(window);
    dlogPARAMS.Reset();
    return 0;
  }
  Rect local = Local(bounds);
  vars.okButton = AddButton(window, local, 0, (const unsigned char*)"\003Set");
  SetDefaultControl(vars.okButton, 1);
  DisableControl(vars.okButton);
  ControlRef cancel = AddButton(window, local, 1, (const unsigned char*)"\006Cancel");
  if (dlogPARAMS.showCancel) {
    SetCancelControl(cancel, 1);
  } else {
    DisableControl(cancel);
    HideControl(cancel);
  }
  ControlRef none = AddButton(window, local, 2, (const unsigned char*)"\004None");
  none->bounds.left = 20;
  none->bounds.right = 90;
  if (password[0])
    none->command = kCommandClear;
  else
    DisableControl(none);
  AddIcon(window, 1);
  Rect promptRect = TextPosition(&local);
  promptRect.bottom = SInt16(local.bottom - 120);
  AddText(window, promptRect, prompt);
  Rect f1{SInt16(local.bottom - 112), 75, SInt16(local.bottom - 96), SInt16(local.right - 23)};
  Rect f2{SInt16(f1.top + 32), 75, SInt16(f1.bottom + 32), SInt16(local.right - 23)};
  vars.field1 = NewDialogControl(window, &f1, kPasswordProc, (const unsigned char*)"", 0, 0, 0);
  vars.field2 = NewDialogControl(window, &f2, kPasswordProc, (const unsigned char*)"", 0, 0, 0);
  // Both fields hold what can be stored, so a confirmed password is never cut.
  CharLimitParams limit1(31), limit2(31);
  InstallCharLimitHandler(vars.field1, &limit1);
  InstallCharLimitHandler(vars.field2, &limit2);
  dlogPARAMS.Reset();
  CursorShown cursor;
  DialogRecord(window)->visible = true;
  FocusAll(window, vars.field1);
  if (!RunAppModalLoopForWindow(window)) vars.result = kHICommandCancel;
  if (vars.result == kHICommandOK) {
    size_t n = std::min<size_t>(vars.field1->text.size(), 31);
    password[0] = UInt8(n);
    memcpy(password + 1, vars.field1->text.data(), n);
  }
  DisposeDialogWindow(window);
  return vars.result;
}

Rect ColorCellRect(SInt16 index) {
  SInt16 col = SInt16(index % 32), row = SInt16(index / 32);
  SInt16 left = SInt16(2 + 12 * col), top = SInt16(2 + 12 * row);
  return Rect{top, left, SInt16(top + 12), SInt16(left + 12)};
}

SInt16 ColorCellAt(Point where) {
  for (SInt16 i = 255; i >= 0; --i) {
    Rect r = ColorCellRect(i);
    if (where.h >= r.left && where.h < r.right && where.v >= r.top && where.v < r.bottom) return i;
  }
  return -1;
}

SInt16 GetColorDialog(unsigned char selected) {
  CursorShown cursor;
  Rect bounds = DlogPosition(388, 124, 0);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", 0);
  Rect local = Local(bounds);
  // The button lies over the grid's last row: it comes after the grid, so
  // that it is drawn and found above it.
  Rect gridRect{2, 2, SInt16(2 + 8 * 12), SInt16(2 + 32 * 12)};
  ControlRef grid = NewDialogControl(window, &gridRect, kCellGridProc, (const unsigned char*)"", selected, 0, 255);
  ControlRef cancel = AddButton(window, local, 0, (const unsigned char*)"\006Cancel");
  SetCancelControl(cancel, 1);
  grid->command = kCommandColorGrid;
  grid->value = selected;
  SInt16 answer = -1;
  struct State {
    SInt16* answer;
  } state{&answer};
  static const EventTypeSpec events[] = {{kEventClassControl, kEventControlHit},
                                         {kEventClassKeyboard, kEventRawKeyDown}};
  InstallWindowEventHandler(
      window,
      [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
        auto* s = static_cast<State*>(data);
        if (event->eventClass == kEventClassKeyboard) {
          if (event->charCode != keychar::kEscape && event->keyCode != keycode::kEscape) return eventNotHandledErr;
          *s->answer = -1;
        } else if (event->control->kind == kControlKindCellGrid) {
          if (event->control->value < 0 || event->control->value > 255) {
            Beep();
            return noErr;
          }
          *s->answer = event->control->value;
        } else {
          // Cancel answers like Escape.
          *s->answer = -1;
        }
        QuitAppModalLoopForWindow(event->window);
        return noErr;
      },
      2, events, &state, nullptr);
  DialogRecord(window)->visible = true;
  FlushEvents(mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0);
  if (!RunAppModalLoopForWindow(window)) answer = -1;
  DisposeDialogWindow(window);
  FlushEvents(mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0);
  return answer;
}

void SelectControlText(ControlRef field, UInt16 start, UInt16 end) {
  if (!field) return;
  SInt16 size = SInt16(field->text.size());
  field->selStart = SInt16(std::min<SInt32>(start, size));
  field->selEnd = SInt16(std::min<SInt32>(end, size));
}

void GetPasswordText(ControlRef field, unsigned char* text) { GetControlText(field, text); }

// The path from its 51st character on; a shorter path is shown whole.
void CheckURLPathDialog(const char* path) {
  std::string p = path ? path : "";
  std::string shown = p.size() > 50 ? p.substr(50) : p;
  AlertDialog(shown.c_str(), "", "OK");
}

OSStatus ModalDialogHandler(EventHandlerCallRef, EventRef event, void*) {
  if (event->eventClass == kEventClassControl && event->eventKind == kEventControlHit &&
      event->control->kind == kControlKindPushButton)
    QuitAppModalLoopForWindow(event->control->window);
  return eventNotHandledErr;
}

Boolean StandardDialogFilter(WindowRef, EventRecord*, SInt16*) { return false; }

// The first call notes the time in the dialog's reference constant; once the
// delay has passed the time-out item answers; Return, Enter, Escape and
// Command-period answer the confirm item.
Boolean TimedConfirmFilter(WindowRef dialog, EventRecord* event, SInt16* itemHit) {
  DialogWindowRecord* record = DialogRecord(dialog);
  if (!record) return false;
  constexpr UInt32 kStarted = FOUR_CHAR('t', 'c', 's', 't');
  UInt32 now = TickCount();
  auto started = record->root.data.find(kStarted);
  if (started == record->root.data.end()) {
    record->root.data[kStarted] = SInt32(now);
    return false;
  }
  if (UInt32(started->second) + UInt32(confirmDelay) < now) {
    *itemHit = confirmTimeoutButton;
    return true;
  }
  if (event && (event->what == keyDown || event->what == autoKey)) {
    char c = char(event->message & 0xFF);
    if (c == keychar::kReturn || c == keychar::kEnter || c == keychar::kEscape ||
        (c == '.' && (event->modifiers & 0x88) != 0)) {
      *itemHit = confirmButton;
      return true;
    }
  }
  return false;
}

Boolean DontButtonFilter(WindowRef, EventRecord* event, SInt16* itemHit) {
  if (!event || (event->what != keyDown && event->what != autoKey)) return false;
  char c = char(event->message & 0xFF);
  if (c != 13 && c != 3) return false;
  *itemHit = 1;
  return true;
}

namespace {

WindowRef NewFeaturesDialog(const Rect* bounds, const unsigned char* title, Boolean visible, SInt32 refCon,
                            UInt32 features) {
  static const unsigned char kUntitled[1] = {0};
  if (!bounds) return nullptr;
  WindowRef window = NewDialogWindow(*bounds, title ? title : kUntitled, kMovableAlertWindowClass);
  DialogWindowRecord* record = DialogRecord(window);
  record->visible = visible;
  record->features = features;
  record->userRefCon = refCon;
  return window;
}

}  // namespace

WindowRef NewColorDialog_Root(const Rect* bounds, const unsigned char* title, Boolean visible, SInt16, WindowRef,
                              Boolean, SInt32 refCon) {
  return NewFeaturesDialog(bounds, title, visible, refCon,
                           kDialogFeatureThemeBackground | kDialogFeatureControlHierarchy | kDialogFeatureMovableModal |
                               kDialogFeatureThemeControls);
}

WindowRef NewColorDialog2(const Rect* bounds, const unsigned char* title, Boolean visible, SInt16, WindowRef, Boolean,
                          SInt32 refCon) {
  return NewFeaturesDialog(bounds, title, visible, refCon,
                           kDialogFeatureThemeBackground | kDialogFeatureMovableModal | kDialogFeatureThemeControls);
}
