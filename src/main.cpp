// Halvane's entry point.
#include "foundation/Clock.h"
#include "platform/GLWindow.h"
#include "platform/PlatformTime.h"
#include "platform/SdlEventPlatform.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/ShellReports.h"
#include "shell/Startup.h"

namespace {

WindowPtr window;

WindowRef GameWindow() { return window; }

void QuitOnCloseBox() {
  if (closeBoxEVENT) applQUIT = 1;
}

}  // namespace

int main() {
  InstallShellReports();
  APPL.SetName("Halvane", "");
  APPL.SetCreatorCode(FOUR_CHAR('H', 'L', 'V', 'N'));
  APPL.gameWindow = 1;
  APPL.buildDepth = APPL.windowDepth = APPL.thirdDepth = 16;
  APPL.customEvents = QuitOnCloseBox;
  InitTime();
  InitAllEvents();
  Startup();
  window = NewGLWindow("Halvane", APPL.gameWidth, APPL.gameHeight, true);
  if (window) {
    mainWindowProc = GameWindow;
    SetSdlEventWindow(window->sdl);
  }
  while (!applQUIT) {
    GetEvent(0, nullptr);
    if (AllEventsEnabled()) HandleEvents();
    Delay(1);
  }
  if (window) {
    SetSdlEventWindow(nullptr);
    mainWindowProc = nullptr;
    DisposeGLWindow(window);
  }
  Shutdown(0);
}
