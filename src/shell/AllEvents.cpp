#include "shell/AllEvents.h"

#include <algorithm>

#include "platform/EventPlatform.h"
#include "platform/PlatformTime.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/Startup.h"

bool allEvents = true;
bool allEventsInited;
Point globalMouse;
void (*captureMenusProc)(bool capture);

namespace {

void HideCursorIfShown() {
  if (!cursorVIS) return;
  Platform().ShowCursor(false);
  cursorVIS = false;
}

}  // namespace

// Our pointer functions always exist, so the capture is always available.
void InitAllEvents() {
  if (allEventsInited) return;
  QKEL[kQKELEnableAllEvents] = EnableAllEvents_Displays;
  QKEL[kQKELDisableAllEvents] = DisableAllEvents_Displays;
  QKEL[kQKELAllEventsEnabled] =
      reinterpret_cast<QKELProc>(static_cast<AllEventsEnabledProc>(AllEventsEnabled_Displays));
  allEventsInited = true;
}

Point AllEventsParkingPoint() {
  Rect screen = Platform().MainScreen();
  Rect area = screen;
  Platform().WindowContent(&area);
  SInt16 width = SInt16(screen.right - screen.left), height = SInt16(screen.bottom - screen.top);
  SInt16 h = SInt16((area.left + area.right) / 2), v = SInt16((area.top + area.bottom) / 2);
  return Point{std::clamp<SInt16>(v, 6, SInt16(height - 6)), std::clamp<SInt16>(h, 6, SInt16(width - 6))};
}

void DisableAllEvents_Displays() {
  if (!allEvents) return;
  if (captureMenusProc) captureMenusProc(true);
  HideCursorIfShown();
  Delay(2);
  globalMouse = GetGlobalMouse();
  Point park = AllEventsParkingPoint();
  Platform().SetRelativeMouse(true);
  SetGlobalMouse(park);
  ClearMouseDelta();
  allEvents = false;
}

// The cursor stays hidden: ShowInterface brings it back.
void EnableAllEvents_Displays() {
  if (allEvents) return;
  if (captureMenusProc) captureMenusProc(false);
  Platform().SetRelativeMouse(false);
  SetGlobalMouse(globalMouse);
  ClearMouseDelta();
  allEvents = true;
}

bool AllEventsEnabled_Displays() { return allEvents; }

// There is no menu bar over the game picture; in full screen it is hidden
// all the same, so the menus' state agrees with the picture.
void HideInterface() {
  HideCursorIfShown();
  if (IsFullScreen()) QK_HideMenuBar();
}

void ShowInterface() {
  if (cursorVIS) return;
  Platform().ShowCursor(true);
  cursorVIS = true;
}
