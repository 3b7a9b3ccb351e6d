// Halvane's entry point. Until the game's own screens exist, the program
// starts the engine, opens the game window and shows the title picture at
// 60 steps a second until it is asked to quit (Ctrl+Q, the close box, the
// window system's quit request).
#include <chrono>
#include <thread>

#include "foundation/Clock.h"
#include "foundation/PlistTag.h"
#include "graphics/GameWindow.h"
#include "graphics/GammaFading.h"
#include "graphics/ImageBuffer.h"
#include "graphics/ImageGL.h"
#include "graphics/OpenGLFrame.h"
#include "graphics/RenderedDialogs.h"
#include "shell/AllEvents.h"
#include "shell/AppleEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/MainPrefs.h"
#include "shell/Menus.h"
#include "shell/NibDialogs.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Startup.h"

namespace {

const double kStepMicroseconds = 16667.0;
const SInt16 kWindowMenuID = 131;

void InitLocalMenus() { InsertWindowMenu(kWindowMenuID); }

void QuitOnRequest() {
  if (closeBoxEVENT || quitEVENT) applQUIT = 1;
  quitEVENT = false;
}

void DrawFrame(ImageGL& title) {
  OpaqueGrafPtr port{};
  port.portRect = mainRECT;
  OpenGLBeginDraw(&port);
  if (title.Width() > 0) title.Draw(&mainRECT);
  OpenGLEndDraw();
}

}  // namespace

int main() {
  InstallUserDialogs();
  InstallRenderedDialogs();
  APPL.SetName("Halvane", "");
  APPL.SetCreatorCode(FOUR_CHAR('H', 'L', 'V', 'N'));
  APPL.gameWindow = 1;
  APPL.buildDepth = APPL.windowDepth = APPL.thirdDepth = 16;
  APPL.customEvents = QuitOnRequest;
  APPL.initLocalMenus = InitLocalMenus;
  mainPREFS.SetFileName("Halvane Preferences");
  InitTime();
  InitAllEvents();
  InitAppleEvents();
  Startup();
  LoadQKEngineNib();
  InitFading();
  PlistTag prefs;
  mainPREFS.Load(&prefs);
  DisableFlushing();
  InitGameWindow();

  ImageBuffer shared(1024, 1024);
  ImageGL title;
  title.Load(&shared, "Title/Title.png", 1, 0.0f);
  title.hasAlpha = 1;
  // The title is a screen of the ordinary pointer: events are released, so
  // the menus' keys and the window's buttons are served.
  EnableAllEvents();
  ShowInterface();

  double next = LocalMicroseconds();
  while (!applQUIT) {
    bool stepped = false;
    while (!applQUIT && LocalMicroseconds() >= next) {
      GetEvent(0, nullptr);
      if (AllEventsEnabled()) HandleEvents();
      QuitOnRequest();
      next += kStepMicroseconds;
      stepped = true;
    }
    if (stepped) DrawFrame(title);
    else std::this_thread::sleep_for(std::chrono::microseconds(SInt64(next - LocalMicroseconds()) + 1));
  }
  title.Dispose();
  mainPREFS.Save(&prefs);
  DisposeGameWindow();
  Shutdown(0);
}
