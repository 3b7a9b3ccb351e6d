#include "shell/ErrorAlertDialogs.h"

#include <cstring>

#include "foundation/ErrorDialog.h"
#include "foundation/StringLibrary.h"
#include "platform/EventPlatform.h"
#include "shell/ApplInfo.h"
#include "shell/ShellReports.h"
#include "shell/StandardDialog.h"
#include "shell/Startup.h"

namespace {

constexpr SInt16 kCautionIcon = 2;
constexpr SInt16 kNoteIcon = 1;

void ErrorText(const unsigned char* message, unsigned char* text) {
  static const char prefix[] = "Error:  ";
  size_t n = sizeof prefix - 1;
  memcpy(text + 1, prefix, n);
  size_t m = std::min<size_t>(message[0], 255 - n);
  memcpy(text + 1 + n, message + 1, m);
  text[0] = UInt8(n + m);
}

void BeepAndShutdown() {
  errorShutdown = true;
  Beep();
  Shutdown(0);
}

const DialogBackEnd dialogs = {ShowErrorDialog, ShowAlertDialog, BeepAndShutdown};

BeepBackEnd beepBackEnd = nullptr;

}  // namespace

void InstallErrorAlertDialogs() { SetDialogBackEnd(&dialogs); }

void InstallUserDialogs() {
  InstallErrorAlertDialogs();
  SetDialogPresenter(&UserPresenter());
}

BeepBackEnd SetBeepBackEnd(BeepBackEnd backEnd) {
  BeepBackEnd previous = beepBackEnd;
  beepBackEnd = backEnd;
  return previous;
}

void Beep() {
  if (beepBackEnd)
    beepBackEnd();
  else
    Platform().Beep();
}

void ShowErrorDialog(const unsigned char* message, const unsigned char* where, unsigned char fatal) {
  if (errorShutdown) {
    APPL.ErrorTrap();
    return;
  }
  if (fatal) errorShutdown = true;
  Str255 text;
  ErrorText(message, text);
  bool cursorShown = cursorVIS;
  SInt16 icon = dlogPARAMS.iconID != -1 ? dlogPARAMS.iconID : kCautionIcon;
  Rect bounds = DlogPosition(400, 160, 0);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", 0);
  Rect local{0, 0, 160, 400};
  Rect r = ButtonPosition_Dlog(&local, 0);
  SetDefaultControl(NewDialogControl(window, &r, kPushButtonProc, (const unsigned char*)"\2OK", 0, 0, 1), 1);
  r = IconPosition();
  NewDialogControl(window, &r, kIconProc, (const unsigned char*)"", icon, 0, 0);
  r = TextPosition(&local);
  NewDialogControl(window, &r, kStaticTextProc, text, 0, 0, 0);
  r = InfoPosition(&local);
  r.top = SInt16(r.top - 20);
  r.bottom = SInt16(r.bottom - 20);
  NewDialogControl(window, &r, kStaticTextProc, where, 0, 0, 0);
  Beep();
  RunStandardDialog(window, nullptr, 0);
  DisposeDialogWindow(window);
  if (!cursorShown && cursorVIS) {
    Platform().ShowCursor(false);
    cursorVIS = false;
  }
  dlogPARAMS.Reset();
  if (!fatal) return;
  APPL.ErrorTrap();
  Shutdown(0);
}

void ShowAlertDialog(const unsigned char* message, const unsigned char* detail, const char* button) {
  unsigned char sheet = dlogPARAMS.sheet;
  WindowRef parent = dlogPARAMS.parentWindow;
  SInt16 width = SInt16(360 + dlogPARAMS.extraWidth), height = SInt16(120 + dlogPARAMS.extraHeight);
  Rect bounds = DlogPosition(width, height, 0);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", sheet);
  if (parent && !sheet) CenterDialogInWindow(window, parent);
  Rect local{0, 0, height, width};
  Rect r = ButtonPosition_Dlog(&local, 0);
  SetDefaultControl(NewDialogControl(window, &r, kPushButtonProc, PStr(button), 0, 0, 1), 1);
  r = IconPosition();
  if (dlogPARAMS.iconType != kNoIconType) {
    SetControlIconCode(NewDialogControl(window, &r, kIconRefProc, (const unsigned char*)"", 0, 0, 0),
                       dlogPARAMS.iconType);
  } else {
    SInt16 icon = dlogPARAMS.iconID != -1 ? dlogPARAMS.iconID : kNoteIcon;
    NewDialogControl(window, &r, kIconNoTrackProc, (const unsigned char*)"", icon, 0, 0);
  }
  r = TextPosition(&local);
  NewDialogControl(window, &r, kStaticTextProc, message, 0, 0, 0);
  r = InfoPosition(&local);
  NewDialogControl(window, &r, kStaticTextProc, detail, 0, 0, 0);
  RunStandardDialog(window, parent, sheet);
  DisposeDialogWindow(window);
  dlogPARAMS.Reset();
}
