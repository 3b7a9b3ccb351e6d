#include "platform/DialogModel.h"

#include <algorithm>
#include <cstring>

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
    default: return kControlKindUserPane;
  }
}

void DisposeControlTree(ControlRef control) {
  for (ControlRef child : control->children) {
    DisposeControlTree(child);
    delete child;
  }
  control->children.clear();
}

void Detach(ControlRef control) {
  if (!control->parent) return;
  auto& siblings = control->parent->children;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), control), siblings.end());
  control->parent = nullptr;
}

bool Wants(const DialogHandlerEntry* entry, const DialogEvent* event) {
  for (const EventTypeSpec& spec : entry->events)
    if (spec.eventClass == event->eventClass && spec.eventKind == event->eventKind) return true;
  return false;
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

OSStatus InstallWindowEventHandler(WindowRef window, EventHandlerProcPtr proc, UInt32 count, const EventTypeSpec* events,
                                   void* userData, EventHandlerRef* outRef) {
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
  event->window = window;
  // A handler may install or remove others; walk a copy.
  std::vector<DialogHandlerEntry*> chain = record->handlers;
  for (DialogHandlerEntry* entry : chain) {
    if (!Wants(entry, event)) continue;
    OSStatus status = entry->proc(nullptr, event, entry->userData);
    if (status != eventNotHandledErr) return status;
  }
  return eventNotHandledErr;
}

void ClickDialogControl(ControlRef control) {
  if (!control || control->hilite != kControlActive || !control->visible) return;
  if (control->kind == kControlKindCheckBox) {
    SetControlValue(control, control->value ? 0 : 1);
  } else if (control->kind == kControlKindRadioButton) {
    if (control->parent)
      for (ControlRef sibling : control->parent->children)
        if (sibling->kind == kControlKindRadioButton) sibling->value = 0;
    SetControlValue(control, 1);
  }
  DialogEvent hit{kEventClassControl, kEventControlHit, control->window, control, 0, 0, 0, 0};
  SendDialogEvent(control->window, &hit);
}

void QuitAppModalLoopForWindow(WindowRef window) {
  if (DialogWindowRecord* record = DialogRecord(window)) record->modalEnded = true;
}
