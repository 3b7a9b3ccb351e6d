#include "shell/StandardDialog.h"

#include <algorithm>
#include <cstring>

#include "foundation/ErrorDialog.h"
#include "foundation/MainTimer.h"
#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "foundation/TextEncodings.h"
#include "foundation/Timer.h"
#include "platform/KeyCodes.h"
#include "platform/QuickDrawPicture.h"
#include "shell/ApplInfo.h"
#include "shell/ControlUtilities.h"
#include "shell/Events.h"
#include "shell/Startup.h"

DialogParams dlogPARAMS;
ControlParams ctrlPARAMS;

namespace {

// A presenter that keeps answering without ending the dialog is given up on.
constexpr int kMaxPresenterRounds = 4096;

constexpr UInt16 kMouseAndKeyMask = mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask;

// The dialog font's width of a title, in the model: 7 pixels a character.
SInt16 TitleWidth(const unsigned char* title) { return SInt16(7 * title[0]); }

void SetPString(unsigned char* to, const char* text) {
  size_t n = strlen(text);
  to[0] = UInt8(n);
  memcpy(to + 1, text, n);
}

std::string Unicode(const unsigned char* p) {
  return ConvertCStrToUnicode(std::string((const char*)p + 1, p[0]).c_str());
}

// Horizontally centred over `area`, the top two thirds of the way down to
// the centred position; computed relative to the area, then made global.
Rect PlaceOver(const Rect& area, SInt16 width, SInt16 height, SInt16 extra) {
  SInt16 left = SInt16((area.right - area.left) / 2 - width / 2);
  SInt16 top = SInt16((area.bottom - area.top) / 2 - (height + extra) / 2);
  top = SInt16(top - top / 3);
  left = SInt16(left + area.left);
  top = SInt16(top + area.top);
  return Rect{top, left, SInt16(top + height), SInt16(left + width)};
}

bool WindowVisible(WindowRef window) {
  if (DialogWindowRecord* record = DialogRecord(window)) return record->visible;
  return true;
}

// The content of a window in global coordinates.
bool WindowBounds(WindowRef window, Rect* bounds) {
  if (DialogWindowRecord* record = DialogRecord(window)) {
    *bounds = record->bounds;
    return true;
  }
  return window && window == MainWindow() && Platform().WindowContent(bounds);
}

bool EndsOnHit(const ControlRef control, const DialogHandler* handler) {
  if (control->kind == kControlKindPushButton || control->kind == kControlKindRoundButton) return true;
  if (control->kind == kControlKindBevelButton) return handler->bevelDismisses != 0;
  return control->command == kHICommandOK || control->command == kHICommandCancel;
}

void CollectView(ControlRef control, DialogView* view, std::vector<ControlRef>* buttons) {
  for (ControlRef c : control->children) {
    if (!c->visible) continue;
    if (c->kind == kControlKindStaticText) view->texts.push_back(ConvertCStrToUnicode(c->text.c_str()));
    if (c->kind == kControlKindIcon && view->icon < 0) view->icon = c->value;
    // An icon reference given an icon number shows it; one with a file of
    // its own (or none) stands as the note to a presenter of texts and buttons.
    if (c->kind == kControlKindIconRef && view->icon < 0)
      view->icon = c->iconType && c->iconPath.empty() ? c->value : SInt16(1);
    if (c->kind == kControlKindLink) {
      // A presenter of texts and buttons shows the link as text and offers a
      // button that follows it; Escape never does.
      view->texts.push_back(Unicode(c->title));
      view->buttons.push_back(
          DialogView::Button{"Open Link", c->command, c->bounds, c->hilite == kControlActive, false, false});
      buttons->push_back(c);
    }
    if (c->kind == kControlKindPushButton || c->kind == kControlKindRoundButton || c->kind == kControlKindBevelButton) {
      view->buttons.push_back(DialogView::Button{Unicode(c->title), c->command, c->bounds, c->hilite == kControlActive,
                                                 c->command == kHICommandOK, c->command == kHICommandCancel});
      buttons->push_back(c);
    }
    CollectView(c, view, buttons);
  }
}

// The view of a dialog, and the button controls in the view's order.
DialogView BuildView(WindowRef window, std::vector<ControlRef>* buttons) {
  DialogView view{};
  view.icon = -1;
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return view;
  view.title = Unicode(record->title[0] ? record->title : APPL.name);
  view.bounds = record->bounds;
  view.parent = record->parent ? record->parent : MainWindow();
  view.window = window;
  CollectView(&record->root, &view, buttons);
  return view;
}

void Apply(WindowRef window, const DialogAction& action, const std::vector<ControlRef>& buttons) {
  if (action.kind == DialogAction::Click && action.button >= 0 && size_t(action.button) < buttons.size()) {
    ClickDialogControl(buttons[size_t(action.button)]);
  } else if (action.kind == DialogAction::Control && action.control && action.control->window == window) {
    if (action.control->kind == kControlKindCellGrid) action.control->value = action.part;
    ClickDialogControl(action.control);
  } else if (action.kind == DialogAction::Key) {
    TypeDialogKey(window, action.charCode, action.keyCode);
  }
}

}  // namespace

DialogView DialogViewOf(WindowRef window) {
  std::vector<ControlRef> buttons;
  return BuildView(window, &buttons);
}

DialogParams::DialogParams() { Reset(); }

void DialogParams::Reset() {
  extraWidth = extraHeight = buttonWiden = 0;
  iconID = -1;
  charLimit = 0;
  iconType = kNoIconType;
  showCancel = 1;
  SetPString(button1, "OK");
  SetPString(button2, "Cancel");
  button3[0] = 0;
  numbersOnly = lettersOnly = confirmFlag = 0;
  parentWindow = nullptr;
  sheet = 0;
  bevelDismisses = 1;
}

ControlParams::ControlParams() { Reset(); }

void ControlParams::Reset() {
  flags = 255;
  font = style = mode = just = 0;
  size = 12;
  foreColor = RGBColor{0, 0, 0};
  backColor = RGBColor{65535, 65535, 65535};
}

DialogHandler::DialogHandler()
    : upp(nullptr), result(0), bevelDismisses(1), customProc(nullptr), controlProc(nullptr) {}
DialogHandler::~DialogHandler() { Dispose(); }
void DialogHandler::Dispose() { upp = nullptr; }

Rect DlogPosition(SInt16 width, SInt16 height, SInt16 extra) {
  Rect content;
  WindowRef main = MainWindow();
  if (main && !Platform().WindowMinimised() && WindowVisible(main) && Platform().WindowContent(&content))
    return PlaceOver(content, width, height, extra);
  Rect screen = Platform().MainScreen();
  SInt16 left = SInt16(screen.left + (screen.right - screen.left) / 2 - width / 2);
  SInt16 top = SInt16(screen.top + (screen.bottom - screen.top) / 2 - (height + extra) / 2 + 20);
  top = SInt16(top - (top - 20) / 3);
  return Rect{top, left, SInt16(top + height), SInt16(left + width)};
}

void CenterDialogInWindow(WindowRef dialog, WindowRef window) {
  DialogWindowRecord* record = DialogRecord(dialog);
  Rect over;
  if (!record || !WindowBounds(window, &over)) return;
  record->bounds = PlaceOver(over, SInt16(record->bounds.right - record->bounds.left),
                             SInt16(record->bounds.bottom - record->bounds.top), 0);
}

Rect ButtonPosition_Dlog(const Rect* dialog, char index) {
  SInt16 width = SInt16(dialog->right - dialog->left), height = SInt16(dialog->bottom - dialog->top);
  return Rect{SInt16(height - 40), SInt16(width - 90 - 82 * index), SInt16(height - 20),
              SInt16(width - 20 - 82 * index)};
}

Rect IconPosition() { return Rect{10, 20, 42, 52}; }

Rect TextPosition(const Rect* dialog) {
  return Rect{10, 75, SInt16(dialog->bottom - dialog->top - 47), SInt16(dialog->right - dialog->left - 23)};
}

Rect InfoPosition(const Rect* dialog) {
  SInt16 height = SInt16(dialog->bottom - dialog->top);
  return Rect{SInt16(height - 28), 75, SInt16(height - 12), SInt16(dialog->right - dialog->left - 92)};
}

Rect ButtonPosition_Wind(const Rect* window, char index, char width, char margin) {
  SInt16 w = SInt16(window->right - window->left), h = SInt16(window->bottom - window->top);
  SInt16 left = SInt16(w - margin - width - index * (width + 12));
  return Rect{SInt16(h - margin - 20), left, SInt16(h - margin), SInt16(left + width)};
}

Rect FoldDownPosition(const Rect* dialog) {
  SInt16 top = SInt16(dialog->bottom - dialog->top - 56);
  return Rect{top, 8, SInt16(top + 12), 20};
}

void OffsetControl(ControlRef control, SInt16 dh, SInt16 dv) {
  Rect& r = control->bounds;
  r = Rect{SInt16(r.top + dv), SInt16(r.left + dh), SInt16(r.bottom + dv), SInt16(r.right + dh)};
}

WindowRef NewStandardDialog(const Rect* bounds, const unsigned char* title, unsigned char sheet) {
  return NewDialogWindow(*bounds, title, sheet ? kSheetAlertWindowClass : kMovableAlertWindowClass);
}

ControlRef NewDialogControl(WindowRef window, Rect* bounds, SInt16 procID, const unsigned char* title, SInt16 value,
                            SInt16 min, SInt16 max) {
  bool checkOrRadio = procID == kCheckBoxProc || procID == kRadioButtonProc || procID == kCheckBoxAutoProc;
  bool oneLineText = procID == kStaticTextProc && bounds->bottom - bounds->top == 16 && bounds->right == bounds->left;
  if (checkOrRadio || oneLineText)
    bounds->right = SInt16(bounds->left + TitleWidth(title) + 12 + (procID == kStaticTextProc ? 0 : 16));
  if (checkOrRadio || procID == kPushButtonProc || procID == kGroupBoxCheckProc || procID == kDisclosureProc ||
      procID == kDisclosureProc2) {
    min = 0;
    max = 1;
  }
  ControlRef control = NewDialogWindowControl(window, *bounds, procID, title, value, min, max);
  if (control && (procID == kEditTextProc || procID == kStaticTextProc)) SetControlText(control, title);
  if (control && procID == kPopupButtonProc) SetControlValue(control, value);
  return control;
}

void SetControlText(ControlRef control, const unsigned char* text) {
  if (!control || !text) {
    ErrorDialog("SetControlText() failed.", SInt16(paramErr), 0, 0);
    return;
  }
  control->text.assign((const char*)text + 1, text[0]);
}

void GetControlText(ControlRef control, unsigned char* text) {
  if (!control) {
    ErrorDialog("GetControlText() failed.", SInt16(paramErr), 0, 0);
    return;
  }
  size_t n = std::min<size_t>(control->text.size(), 255);
  text[0] = UInt8(n);
  memcpy(text + 1, control->text.data(), n);
}

// The icon registered for the application's creator and the type (an icon
// file), else the icon number RegisterIconCode noted for the type. A type
// with neither is reported, and the control shows the note icon: a missing
// icon never ends the program.
void SetControlIconCode(ControlRef control, UInt32 type) {
  if (!control) return;
  control->iconType = type;
  control->data[FOUR_CHAR('s', 'c', 'a', 'l')] = 1;
  IconRef icon = nullptr;
  OSErr error = GetIconRef(kOnSystemDisk, APPL.creator, type, &icon);
  if (error == noErr) {
    control->iconPath = icon->path;
    ReleaseIconRef(icon);
    return;
  }
  control->iconPath.clear();
  SInt16 number = RegisteredIcon(type);
  control->value = number >= 0 ? number : 1;
  if (number >= 0) return;
  // The report is a dialog of its own: the one being built keeps its settings.
  DialogParams building = dlogPARAMS;
  ErrorDialog("GetIconRef() failed.", SInt16(error), 0, 0);
  dlogPARAMS = building;
}

void SetDefaultControl(ControlRef control, unsigned char isDefault) {
  control->isDefault = isDefault != 0;
  control->command = kHICommandOK;
}

void SetCancelControl(ControlRef control, unsigned char isCancel) {
  control->isCancel = isCancel != 0;
  control->command = kHICommandCancel;
}

ControlRef SearchSubControlsByCommand(ControlRef control, UInt32 command) {
  for (ControlRef child : control->children) {
    if (child->command == command) return child;
    if (ControlRef found = SearchSubControlsByCommand(child, command)) return found;
  }
  return nullptr;
}

ControlRef GetControlByCommand(WindowRef window, UInt32 command) {
  ControlRef root = GetRootControl(window);
  return root ? SearchSubControlsByCommand(root, command) : nullptr;
}

void PostControlClickEvent(ControlRef control, char value) {
  if (!control || control->hilite != kControlActive) return;
  SetControlValue(control, value);
  DialogEvent hit{kEventClassControl, kEventControlHit, control->window, control, 0, 0, 0, 0, 0, 0};
  SendControlEvent(control, &hit);
}

void FixParamText(WindowRef window) {
  ControlRef root = GetRootControl(window);
  if (!root) return;
  Str255 text;
  for (ControlRef c : root->children) {
    if (c->kind != kControlKindStaticText) continue;
    GetControlText(c, text);
    SetControlText(c, text);
  }
}

OSStatus StandardDialogHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto* handler = static_cast<DialogHandler*>(userData);
  if (event->eventClass == kEventClassKeyboard) {
    if (event->what != keyDown && event->what != autoKey) return eventNotHandledErr;
    ControlRef target = nullptr;
    if (event->charCode == keychar::kEscape) {
      target = GetControlByCommand(event->window, kHICommandCancel);
      if (!target) target = GetControlByCommand(event->window, kHICommandOK);
    } else if (event->charCode == keychar::kReturn || event->charCode == keychar::kEnter) {
      target = GetControlByCommand(event->window, kHICommandOK);
    }
    if (!target) return eventNotHandledErr;
    PostControlClickEvent(target, 1);
    return noErr;
  }
  ControlRef control = event->control;
  handler->result = control->command;
  if (EndsOnHit(control, handler)) QuitAppModalLoopForWindow(control->window);
  return eventNotHandledErr;
}

bool RunAppModalLoopForWindow(WindowRef window) {
  DialogWindowRecord* record = DialogRecord(window);
  if (!record) return false;
  record->modalEnded = false;
  for (int round = 0; !record->modalEnded && round < kMaxPresenterRounds; ++round) {
    ServiceTimers();
    IdleAudio();
    std::vector<ControlRef> buttons;
    DialogView view = BuildView(window, &buttons);
    DialogAction action = Presenter().Present(view);
    if (action.kind == DialogAction::Abandon) break;
    Apply(window, action, buttons);
  }
  Presenter().Dismiss(window);
  return record->modalEnded;
}

UInt32 RunStandardDialog(WindowRef window, WindowRef parent, unsigned char sheet) {
  DialogWindowRecord* record = DialogRecord(window);
  DialogHandler handler;
  if (!parent) parent = dlogPARAMS.parentWindow;
  handler.bevelDismisses = dlogPARAMS.bevelDismisses;
  dlogPARAMS.Reset();
  static const EventTypeSpec events[] = {{kEventClassControl, kEventControlHit},
                                         {kEventClassKeyboard, kEventRawKeyDown}};
  EventHandlerRef installed = nullptr;
  OSStatus error = InstallWindowEventHandler(window, StandardDialogHandler, 2, events, &handler, &installed);
  if (error) {
    AlertDialog("InstallWindowEventHandler() failed.", SInt32(error), "OK");
    return kHICommandCancel;
  }
  handler.upp = StandardDialogHandler;
  FixParamText(window);
  FlushEvents(kMouseAndKeyMask, 0);
  if (parent && !sheet) CenterDialogInWindow(window, parent);
  record->parent = parent;
  record->sheetParent = parent && sheet ? parent : nullptr;
  record->visible = true;
  bool released = AllEventsEnabled();
  EnableAllEvents();
  Platform().ArrowCursor();
  bool showedCursor = !cursorVIS;
  if (showedCursor) {
    Platform().ShowCursor(true);
    cursorVIS = true;
  }
  if (!RunAppModalLoopForWindow(window)) handler.result = kHICommandCancel;
  record->focus = nullptr;
  FlushEvents(kMouseAndKeyMask, 0);
  if (showedCursor && cursorVIS) {
    Platform().ShowCursor(false);
    cursorVIS = false;
  }
  if (!released) DisableAllEvents();
  RemoveEventHandler(window, installed);
  return handler.result;
}
