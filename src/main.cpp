// Halvane's entry point.
#include "foundation/Clock.h"
#include "graphics/GameWindow.h"
#include "platform/PlatformTime.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/ShellReports.h"
#include "shell/Startup.h"

namespace {

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
  DisableFlushing();
  InitGameWindow();
  while (!applQUIT) {
    GetEvent(0, nullptr);
    if (AllEventsEnabled()) HandleEvents();
    Delay(1);
  }
  DisposeGameWindow();
  Shutdown(0);
}
