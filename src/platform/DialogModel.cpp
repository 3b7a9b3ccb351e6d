#include "platform/DialogModel.h"

#include <algorithm>
#include <cstring>

#include "platform/KeyCodes.h"

namespace {

// Marks a WindowRef whose refCon is a DialogWindowRecord.
constexpr SInt16 kDialogWindowKind = 2;

OSStatus nextInstallFailure = 0;

UInt32 KindOf(SInt16 procID) {
  switch (procID) {
    case kPushButtonProc: return kControlKindPushButton;
    case kCheckBoxProc:
    case kCheckBoxAutoProc: return kControlKindCheckBox;
    case kRadioButtonProc: return kControlKindRadioButton;
    case kStaticTextProc: return kControlKindStaticText;
    case kEditTextProc: return kControlKindEditText;
    case kIconProc:
    case kIconNoTrackProc: return kControlKindIcon;
    case kIconRefProc: return kControlKindIconRef;
    case kGroupBoxCheckProc: return kControlKindGroupBox;
    case kDisclosureProc:
    case kDisclosureProc2: return kControlKindDisclosure;
    case kPopupButtonProc: return kControlKindPopupButton;
    case kBevelButtonProc: return kControlKindBevelButton;
    case kPasswordProc: return kControlKindEditText;
    case kTabsProc: return kControlKindTabs;
    case kSliderProc: return kControlKindSlider;
    case kProgressBarProc: return kControlKindProgressBar;
    case kPictureProc: return kControlKindPicture;
    case kCellGridProc: return kControlKindCellGrid;
    case kLinkProc: return kControlKindLink;
    case kTextViewProc: return kControlKindTextView;
    default: return kControlKindUserPane;
  }
}

void DisposeControlTree(ControlRef control) {
  for (ControlRef child : control->children) {
    DisposeControlTree(child);
    for (DialogHandlerEntry* entry : child->handlers) delete entry;
    delete child;
  }
  control->children.clear();
}

bool Wants(const DialogHandlerEntry* entry, const DialogEvent* event) {
  for (const EventTypeSpec& spec : entry->events)
    if (spec.eventClass == event->eventClass && spec.eventKind == event->eventKind) return true;
  return false;
}

// One delivery of an event: the handlers still to run, then the standard
// behaviour once.
struct EventChain {
  std::vector<DialogHandlerEntry*> entries;
  size_t next;
  bool standardDone;
};

bool IsTextField(ControlRef c) { return c && (c->kind == kControlKindEditText) && c->procID != kStaticTextProc; }

void DeleteSelection(ControlRef field) {
  SInt16 size = SInt16(field->text.size());
  SInt16 a = std::clamp<SInt16>(std::min(field->selStart, field->selEnd), 0, size);
  SInt16 b = std::clamp<SInt16>(std::max(field->selStart, field->selEnd), 0, size);
  field->text.erase(size_t(a), size_t(b - a));
  field->selStart = field->selEnd = a;
}

// What the platform does with a key that no handler took.
void StandardKey(WindowRef window, DialogEvent* event) {
  if (event->eventClass != kEventClassKeyboard) return;
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return;
  ControlRef field = record->focus;
  UInt8 c = event->charCode;
  if (c == keychar::kReturn || c == keychar::kEnter || c == keychar::kEscape) {
    // The window's default button answers Return and Enter, its cancel
    // button Escape.
    for (ControlRef button : AllControls(window))
      if ((c == keychar::kEscape ? button->isCancel : button->isDefault) && IsControlVisible(button) &&
          IsControlEnabled(button)) {
        ClickDialogControl(button);
        break;
      }
    return;
  }
  if (c == keychar::kTab) {
    ControlRef next = NextFocusField(window, field);
    if (next) {
      SetKeyboardFocus(window, next);
      next->selStart = 0;
      next->selEnd = SInt16(next->text.size());
    }
    return;
  }
  if (!IsTextField(field)) return;
  SInt16 size = SInt16(field->text.size());
  if (c == keychar::kBackspace) {
    if (field->selStart == field->selEnd && field->selStart > 0) field->selStart--;
    DeleteSelection(field);
  } else if (c == keychar::kLeftArrow || c == keychar::kRightArrow) {
    SInt16 at =
        c == keychar::kLeftArrow ? std::min(field->selStart, field->selEnd) : std::max(field->selStart, field->selEnd);
    if (field->selStart == field->selEnd) at = SInt16(at + (c == keychar::kLeftArrow ? -1 : 1));
    field->selStart = field->selEnd = std::clamp<SInt16>(at, 0, size);
  } else if (c >= 32 && c != keychar::kForwardDelete) {
    DeleteSelection(field);
    if (field->text.size() >= 255) return;
    field->text.insert(size_t(field->selStart), 1, char(c));
    field->selStart = field->selEnd = SInt16(field->selStart + 1);
  } else {
    return;
  }
  DialogEvent changed{kEventClassTextField, kEventTextDidChange, window, field, 0, 0, 0, 0, 0, 0};
  SendControlEvent(field, &changed);
}

OSStatus RunChain(EventChain* chain, DialogEvent* event) {
  while (chain->next < chain->entries.size()) {
    DialogHandlerEntry* entry = chain->entries[chain->next++];
    if (!Wants(entry, event)) continue;
    OSStatus status = entry->proc(chain, event, entry->userData);
    if (status != eventNotHandledErr) return status;
  }
  if (!chain->standardDone) {
    chain->standardDone = true;
    StandardKey(event->window, event);
  }
  return eventNotHandledErr;
}

OSStatus Deliver(WindowRef window, ControlRef control, DialogEvent* event) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return eventNotHandledErr;
  event->window = window;
  // A handler may install or remove others; walk a copy.
  EventChain chain{{}, 0, false};
  for (ControlRef c = control; c; c = c->parent)
    chain.entries.insert(chain.entries.end(), c->handlers.begin(), c->handlers.end());
  chain.entries.insert(chain.entries.end(), record->handlers.begin(), record->handlers.end());
  return RunChain(&chain, event);
}

void CollectControls(ControlRef control, std::vector<ControlRef>* out) {
  for (ControlRef child : control->children) {
    out->push_back(child);
    CollectControls(child, out);
  }
}

void Detach(ControlRef control) {
  if (!control->parent) return;
  auto& siblings = control->parent->children;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), control), siblings.end());
  control->parent = nullptr;
}

}  // namespace

WindowRef NewDialogWindow(const Rect& globalBounds, const unsigned char* title, UInt32 windowClass) {
  auto* record = new DialogWindowRecord{};
  record->window.kind = kDialogWindowKind;
  record->window.refCon = record;
  record->bounds = globalBounds;
  memcpy(record->title, title, size_t(title[0]) + 1);
  record->windowClass = windowClass;
  record->root.window = &record->window;
  record->root.procID = kUserPaneProc;
  record->root.kind = kControlKindUserPane;
  record->root.visible = true;
  return &record->window;
}

void DisposeDialogWindow(WindowRef window) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return;
  DisposeControlTree(&record->root);
  for (DialogHandlerEntry* entry : record->handlers) delete entry;
  delete record;
}

DialogWindowRecord* DialogRecord(WindowRef window) {
  if (!window || window->kind != kDialogWindowKind) return nullptr;
  return static_cast<DialogWindowRecord*>(window->refCon);
}

ControlRef NewDialogWindowControl(WindowRef window, const Rect& bounds, SInt16 procID, const unsigned char* title,
                                  SInt16 value, SInt16 minimum, SInt16 maximum) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return nullptr;
  auto* control = new OpaqueControlRef{};
  control->window = window;
  control->procID = procID;
  control->kind = KindOf(procID);
  control->bounds = bounds;
  memcpy(control->title, title, size_t(title[0]) + 1);
  control->minimum = minimum;
  control->maximum = maximum;
  control->value = value;
  control->visible = true;
  control->parent = &record->root;
  control->fontStyle = ControlFontStyleRec{0, 0, 12, 0, 0, 0, RGBColor{0, 0, 0}, RGBColor{65535, 65535, 65535}};
  if (procID == kPasswordProc) control->password = true;
  record->root.children.push_back(control);
  return control;
}

ControlRef GetRootControl(WindowRef window) {
  DialogWindowRecord* record = DialogRecord(window);
  return record ? &record->root : nullptr;
}

void EmbedControl(ControlRef control, ControlRef parent) {
  Detach(control);
  control->parent = parent;
  parent->children.push_back(control);
}

void SetControlValue(ControlRef control, SInt16 value) {
  control->value = std::clamp(value, control->minimum, std::max(control->minimum, control->maximum));
}

OSStatus InstallWindowEventHandler(WindowRef window, EventHandlerProcPtr proc, UInt32 count,
                                   const EventTypeSpec* events, void* userData, EventHandlerRef* outRef) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return paramErr;
  if (nextInstallFailure) {
    OSStatus error = nextInstallFailure;
    nextInstallFailure = 0;
    return error;
  }
  auto* entry = new DialogHandlerEntry{proc, std::vector<EventTypeSpec>(events, events + count), userData};
  record->handlers.insert(record->handlers.begin(), entry);
  if (outRef) *outRef = entry;
  return noErr;
}

void RemoveEventHandler(WindowRef window, EventHandlerRef handler) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return;
  auto& list = record->handlers;
  auto it = std::find(list.begin(), list.end(), handler);
  if (it == list.end()) return;
  list.erase(it);
  delete handler;
}

void FailNextHandlerInstall(OSStatus error) { nextInstallFailure = error; }

OSStatus SendDialogEvent(WindowRef window, DialogEvent* event) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return eventNotHandledErr;
  bool toFocus = event->eventClass == kEventClassKeyboard || event->eventClass == kEventClassCommand;
  ControlRef target = toFocus ? record->focus : event->control;
  return Deliver(window, target, event);
}

OSStatus SendControlEvent(ControlRef control, DialogEvent* event) {
  if (!control) return eventNotHandledErr;
  event->control = control;
  return Deliver(control->window, control, event);
}

OSStatus CallNextEventHandler(EventHandlerCallRef call, EventRef event) {
  if (!call) return eventNotHandledErr;
  return RunChain(static_cast<EventChain*>(call), event);
}

OSStatus InstallControlEventHandler(ControlRef control, EventHandlerProcPtr proc, UInt32 count,
                                    const EventTypeSpec* events, void* userData, EventHandlerRef* outRef) {
  if (!control) return paramErr;
  if (nextInstallFailure) {
    OSStatus error = nextInstallFailure;
    nextInstallFailure = 0;
    return error;
  }
  auto* entry = new DialogHandlerEntry{proc, std::vector<EventTypeSpec>(events, events + count), userData};
  control->handlers.insert(control->handlers.begin(), entry);
  if (outRef) *outRef = entry;
  return noErr;
}

OSStatus TypeDialogKey(WindowRef window, UInt8 charCode, UInt8 keyCode, UInt32 kind) {
  DialogEvent key{kEventClassKeyboard,
                  kind,
                  window,
                  nullptr,
                  UInt16(kind == kEventRawKeyRepeat ? 5 : 3),
                  charCode,
                  keyCode,
                  0,
                  0,
                  0};
  return SendDialogEvent(window, &key);
}

void SetKeyboardFocus(WindowRef window, ControlRef control) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record || record->focus == control) return;
  ClearKeyboardFocus(window);
  record->focus = control;
  if (control) {
    DialogEvent gained{kEventClassControl, kEventControlSetFocusPart, window, control, 0, 0, 0, 0, 0, 1};
    SendControlEvent(control, &gained);
  }
}

void ClearKeyboardFocus(WindowRef window) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record || !record->focus) return;
  ControlRef lost = record->focus;
  record->focus = nullptr;
  DialogEvent event{kEventClassControl, kEventControlSetFocusPart, window, lost, 0, 0, 0, 0, 0, 0};
  SendControlEvent(lost, &event);
}

ControlRef GetKeyboardFocus(WindowRef window) {
  DialogWindowRecord* record = DialogRecord(window);
  return record ? record->focus : nullptr;
}

std::vector<ControlRef> AllControls(WindowRef window) {
  std::vector<ControlRef> out;
  if (ControlRef root = GetRootControl(window)) CollectControls(root, &out);
  return out;
}

ControlRef NextFocusField(WindowRef window, ControlRef from) {
  std::vector<ControlRef> all = AllControls(window);
  std::vector<ControlRef> fields;
  for (ControlRef c : all)
    if (IsTextField(c) && IsControlVisible(c) && IsControlEnabled(c)) fields.push_back(c);
  if (fields.empty()) return nullptr;
  auto it = std::find(fields.begin(), fields.end(), from);
  if (it == fields.end() || ++it == fields.end()) return fields.front();
  return *it;
}

void HiliteControl(ControlRef control, UInt8 state) {
  if (control) control->hilite = state;
}
void EnableControl(ControlRef control) { HiliteControl(control, kControlActive); }
void DisableControl(ControlRef control) { HiliteControl(control, kControlInactive); }
void HideControl(ControlRef control) {
  if (control) control->visible = false;
}
void ShowControl(ControlRef control) {
  if (control) control->visible = true;
}
bool IsControlEnabled(ControlRef control) { return control && control->hilite == kControlActive; }
bool IsControlVisible(ControlRef control) {
  for (ControlRef c = control; c; c = c->parent)
    if (!c->visible) return false;
  return control != nullptr;
}
void SetControlMinimum(ControlRef control, SInt16 minimum) {
  if (control) control->minimum = minimum;
}
void SetControlMaximum(ControlRef control, SInt16 maximum) {
  if (control) control->maximum = maximum;
}

void ClickDialogControl(ControlRef control) {
  if (!control || control->hilite != kControlActive || !IsControlVisible(control)) return;
  if (control->kind == kControlKindCheckBox) {
    SetControlValue(control, control->value ? 0 : 1);
  } else if (control->kind == kControlKindRadioButton) {
    if (control->parent)
      for (ControlRef sibling : control->parent->children)
        if (sibling->kind == kControlKindRadioButton) sibling->value = 0;
    SetControlValue(control, 1);
  }
  DialogEvent hit{kEventClassControl, kEventControlHit, control->window, control, 0, 0, 0, 0, 0, 0};
  SendControlEvent(control, &hit);
}

void QuitAppModalLoopForWindow(WindowRef window) {
  if (DialogWindowRecord* record = DialogRecord(window)) record->modalEnded = true;
}
