#include "shell/PrefsDialogs.h"

#include <string>

#include "foundation/StringFunctions.h"
#include "shell/ApplInfo.h"
#include "shell/ControlUtilities.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Events.h"
#include "shell/InputDevices.h"
#include "shell/MainPrefs.h"
#include "shell/NibDialogs.h"
#include "shell/Startup.h"

namespace {

const EventTypeSpec kPrefsEvents[] = {
    {kEventClassControl, kEventControlHit}, {kEventClassKeyboard, kEventRawKeyDown}, {kEventClassWindow, 26}};

SInt16 Width(const Rect& r) { return SInt16(r.right - r.left); }

// Adds a panel button right of `after`, with its icon above its title.
ControlRef AddPanelButton(WindowRef window, ControlRef after, const char* title, UInt32 command, IconRef icon) {
  Rect r = after->bounds;
  SInt16 w = Width(r);
  r.left = SInt16(r.left + w + 8);
  r.right = SInt16(r.right + w + 8);
  Str255 t;
  CToPStr(title, t);
  ControlRef button = NewDialogWindowControl(window, r, kBevelButtonProc, t, 0, 0, 1);
  button->command = command;
  SetControlIconRef(button, icon);
  return button;
}

}  // namespace

OSStatus MainPrefsDialogHandler(EventHandlerCallRef, EventRef event, void* result) {
  if (event->eventClass != kEventClassControl || event->eventKind != kEventControlHit) return eventNotHandledErr;
  auto* answer = static_cast<UInt32*>(result);
  WindowRef window = event->window;
  UInt32 command = event->control->command;
  switch (command) {
    case kHICommandOK:
    case kHICommandCancel:
    case kCommandQuit:
      *answer = command;
      QuitAppModalLoopForWindow(window);
      break;
    case kCommandGame:
      if (APPL.gamePanel) APPL.PrefsDialog(window);
      break;
    case kCommandKeys:
      if (APPL.keysPanel) APPL.KeyboardDialog();
      break;
    case kCommandAudio: AudioPrefsDialog(window); break;
    case kCommandRumble:
      // No driver download is offered: the button only says it cannot be used.
      if (!InputSprocketsReady()) Beep();
      break;
    default: break;
  }
  return eventNotHandledErr;
}

UInt32 MainPrefsDialog(SInt16) {
  bool full = mainPREFS.fullScreen;
  bool menuBar = IsMenuBarVisible();
  bool cursorWasVisible = cursorVIS;
  // The panels' icons; a missing one leaves its button with its title alone.
  const UInt32 kIconFamily = FOUR_CHAR('i', 'c', 'n', 's');
  IconRef inputs, rumble, audio, online;
  LoadBundleIcon(kInputsIconFile, kIconFamily, &inputs);
  LoadBundleIcon(kRumbleIconFile, kIconFamily, &rumble);
  LoadBundleIcon(kAudioIconFile, kIconFamily, &audio);
  LoadBundleIcon(kOnlineIconFile, kIconFamily, &online);
  struct Icons {
    IconRef* icons[4];
    ~Icons() {
      for (IconRef* icon : icons) ReleaseIconRef(*icon);
    }
  } release{{&inputs, &rumble, &audio, &online}};
  QK_ShowMenuBar();
  Platform().ArrowCursor();
  WindowRef window = GetNibWindow(QKEngineNIB, "Main Prefs");
  UInt32 result = kHICommandOK;
  if (!window) {
    AlertDialog("GetNibWindow() failed.", SInt32(-1), "OK");
    return 0;
  }
  if (OSStatus error = InstallWindowEventHandler(window, MainPrefsDialogHandler, 3, kPrefsEvents, &result, nullptr)) {
    AlertDialog("InstallWindowEventHandler() failed.", SInt32(error), "OK");
    DisposeDialogWindow(window);
    return 0;
  }
  DialogWindowRecord* record = DialogRecord(window);
  Str255 title;
  memcpy(title, APPL.name, size_t(APPL.name[0]) + 1);
  AddString255((const unsigned char*)"\014 Preferences", title);
  memcpy(record->title, title, size_t(title[0]) + 1);
  HideControl(GetControlByCommand(window, kCommandQuit));
  ControlRef fullBox = GetControlByCommand(window, kCommandFull);
  ControlRef graf = GetControlByCommand(window, kCommandGraphics);
  DisableControl(GetControlByCommand(window, kCommandInputs));
  DisableControl(GetControlByCommand(window, kCommandRumble));
  SetControlIconRef(GetControlByCommand(window, kCommandInputs), inputs);
  SetControlIconRef(GetControlByCommand(window, kCommandRumble), rumble);
  ControlRef last = GetControlByCommand(window, kCommandAudio);
  SetControlIconRef(last, audio);
  SInt16 extra = SInt16((APPL.onlinePanel ? 64 : 0) + (APPL.gamePanel ? 64 : 0) + (APPL.keysPanel ? 64 : 0));
  Rect bounds =
      DlogPosition(SInt16(Width(record->bounds) + extra), SInt16(record->bounds.bottom - record->bounds.top), 0);
  record->bounds = bounds;
  // The buttons along the bottom right keep their place at the right edge.
  for (ControlRef c : AllControls(window))
    if (c->kind == kControlKindPushButton && c->command != kCommandQuit) OffsetControl(c, extra, 0);
  IconRef application, keyboard;
  LoadBundleIcon(kApplicationIconFile, FOUR_CHAR('A', 'P', 'P', 'L'), &application);
  LoadBundleIcon(kKeyboardIconFile, kIconFamily, &keyboard);
  if (last && APPL.onlinePanel) last = AddPanelButton(window, last, "Online", kCommandOnline, online);
  if (last && APPL.gamePanel) last = AddPanelButton(window, last, "Game", kCommandGame, application);
  if (last && APPL.keysPanel) last = AddPanelButton(window, last, "Keys", kCommandKeys, keyboard);
  ReleaseIconRef(application);
  ReleaseIconRef(keyboard);
  if (fullBox) fullBox->value = mainPREFS.fullScreen ? 1 : 0;
  if (graf && graf->children.size() >= 2) {
    graf->children[0]->value = mainPREFS.graphicsMode ? 0 : 1;
    graf->children[1]->value = mainPREFS.graphicsMode ? 1 : 0;
  }
  record->visible = true;
  if (!cursorVIS) {
    Platform().ShowCursor(true);
    cursorVIS = true;
  }
  if (!RunAppModalLoopForWindow(window)) result = kHICommandCancel;
  if (result == kHICommandOK) {
    if (fullBox) full = fullBox->value != 0;
    if (graf && graf->children.size() >= 2) mainPREFS.graphicsMode = graf->children[1]->value != 0;
  }
  bool fullChanged = result == kHICommandOK && full != mainPREFS.fullScreen;
  if (result == kHICommandOK) mainPREFS.fullScreen = full;
  DisposeDialogWindow(window);
  FlushEvents(62, 0);
  APPL.UpdateLocalMenus();
  Platform().ArrowCursor();
  if (fullChanged && !Platform().WindowMinimised() && MainWindow()) FullScreenMode(full ? 1 : 0);
  if (!menuBar && IsFullScreen() && !Platform().WindowMinimised()) QK_HideMenuBar();
  if (!cursorWasVisible && cursorVIS) {
    Platform().ShowCursor(false);
    cursorVIS = false;
  }
  if (result == kCommandQuit) Shutdown(0);
  return result;
}

OSStatus OnlineDialogHandler(EventHandlerCallRef, EventRef event, void* result) {
  if (event->eventClass != kEventClassControl || event->eventKind != kEventControlHit) return eventNotHandledErr;
  UInt32 command = event->control->command;
  if (command == kHICommandOK || command == kHICommandCancel) {
    *static_cast<UInt32*>(result) = command;
    QuitAppModalLoopForWindow(event->window);
  }
  return eventNotHandledErr;
}

UInt32 OnlinePrefsDialog(WindowRef parent) {
  WindowRef window = GetNibWindow(QKEngineNIB, "Online Settings");
  if (!window) return kHICommandCancel;
  UInt32 result = kHICommandCancel;
  InstallWindowEventHandler(window, OnlineDialogHandler, 1, kPrefsEvents, &result, nullptr);
  IconRef online;
  LoadBundleIcon(kOnlineIconFile, FOUR_CHAR('i', 'c', 'n', 's'), &online);
  SetControlIconRef(GetControlByCommand(window, FOUR_CHAR('i', 'c', 'o', 'n')), online);
  ReleaseIconRef(online);
  ControlRef tabs = GetControlByCommand(window, FOUR_CHAR('t', 'a', 'b', 's'));
  if (tabs) {
    InstallTabsControlHandler(tabs);
    tabs->value = 1;
    SwitchTabControl(window, tabs, 1);
  }
  NumberParams port;
  port.minimum = 1024;
  port.maximum = 65535;
  InstallNumberFieldHandler(GetControlByCommand(window, FOUR_CHAR('p', 'o', 'r', 't')), &port);
  static const char* hidden[] = {"camr", "micr", "stng", "spek", "voic", "cvol", "volm", "crat",
                                 "rate", "cpch", "ptch", "port", "logn", "upnp", "npmp"};
  for (const char* h : hidden) HideControl(GetControlByCommand(window, FOUR_CHAR(h[0], h[1], h[2], h[3])));
  DialogRecord(window)->parent = parent;
  DialogRecord(window)->sheetParent = parent;
  DialogRecord(window)->visible = true;
  if (!RunAppModalLoopForWindow(window)) result = kHICommandCancel;
  DisposeDialogWindow(window);
  return result;
}
