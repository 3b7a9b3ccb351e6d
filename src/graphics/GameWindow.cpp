#include "graphics/GameWindow.h"

#include <cstring>

#include "foundation/ErrorDialog.h"
#include "graphics/Display.h"
#include "graphics/OffscreenCopy.h"
#include "graphics/OpenGLContext.h"
#include "graphics/PixMapRegistry.h"
#include "platform/DisplayServices.h"
#include "platform/GameWindowPlatform.h"
#include "platform/MenuModel.h"
#include "platform/SdlEventPlatform.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/MainPrefs.h"
#include "shell/Menus.h"
#include "shell/Startup.h"

WindowRef mainWIND = nullptr;
Point windSIZE = {0, 0};
Rect mainRECT = {0, 0, 480, 640};
SInt16 mainDEPTH = 16;
UInt8 fullScreenMode = 0, fullScreenTried = 0, flushingEnabled = 0;
PixMapHandle buildPMAP = nullptr;
GWorldPtr buildWORLD = nullptr;
Ptr buildBASE = nullptr;
SInt32 buildROWB = 0;

namespace {

const char* const kBuildGLFailed = "Error:  BuildGLForWindow()";

Rect MainDeviceRect() {
  GDHandle device = GetMainDevice();
  return device ? (*device)->gdRect : Rect{0, 0, 480, 640};
}

Rect WindowedRect() { return CenteredWindowRect(MainDeviceRect(), windSIZE.h, windSIZE.v); }

void BuildGLOrFail() {
  if (!QK_BuildGLForWindow(mainWIND)) ErrorDialog(kBuildGLFailed, "", 0, 1);
}

WindowRef CurrentGameWindow() { return mainWIND; }

void RecordWindowSize(Point size) { windSIZE = size; }

void AdjustToRecordedSize() { AdjustWindowSize(windSIZE.h, windSIZE.v); }

// The window system resized the window: the viewport follows.
void WindowResized(WindowRef window) {
  if (window == mainWIND) QK_BuildGLForWindow(window);
}

// Paints mainRECT of the build pixmap in a colour.
void PaintBuild(const RGBColor& colour) {
  if (!buildWORLD) return;
  CGrafPtr port;
  GDHandle device;
  GetGWorld(&port, &device);
  SetGWorld(buildWORLD, nullptr);
  RGBBackColor(&colour);
  EraseRect(&mainRECT);
  const RGBColor white = {0xFFFF, 0xFFFF, 0xFFFF};
  RGBBackColor(&white);
  SetGWorld(port, device);
}

void SetFullScreenCheck(UInt8 mode) {
  if (MenuRef menu = GetMenuHandle(windowMenuID)) CheckMenuItem(menu, fullScreenItemID, mode != 0);
}

// Places the window for the mode and rebuilds its context; false when the
// context cannot be rebuilt.
bool PlaceWindow(UInt8 mode) {
  if (mode) {
    if (!SetWindowFullScreen(mainWIND, true)) return false;
  } else {
    SetWindowContentBounds(mainWIND, WindowedRect());
    QK_ShowMenuBar();
  }
  return QK_BuildGLForWindow(mainWIND);
}

}  // namespace

Rect CenteredWindowRect(const Rect& device, SInt16 width, SInt16 height) {
  SInt16 left = SInt16(device.left + SInt16(device.right - device.left) / 2 - width / 2);
  SInt16 top = SInt16(device.top + SInt16(device.bottom - device.top) / 2 - height / 2);
  return Rect{top, left, SInt16(top + height), SInt16(left + width)};
}

void InitGameWindow() {
  QKEL[kQKELFlushToScreen] = reinterpret_cast<QKELProc>(FlushToScreen_Displays);
  QKEL[kQKELIsFullScreen] = reinterpret_cast<QKELProc>(IsFullScreen_Displays);
  QKEL[kQKELFullScreenMode] = reinterpret_cast<QKELProc>(FullScreenMode_Displays);
  mainDEPTH = APPL.buildDepth;
  InitPixMaps();
  InitDisplays(mainDISPLAY);
  APPL.VideoFadeOut();
  InitMenuBar(0);
  InitBlackWindow();
  BuildBrightGammas(nullptr);
  InitWindowGL(APPL.gameWidth, APPL.gameHeight);
  DisableAllEvents();
  if (!cursorVIS) {
    Platform().ShowCursor(true);
    cursorVIS = true;
  }
  if (cursorVIS) {
    Platform().ShowCursor(false);
    cursorVIS = false;
  }
}

void InitWindowGL(SInt16 width, SInt16 height) {
  if (windSIZE.h == 0) windSIZE.h = width;
  if (windSIZE.v == 0) windSIZE.v = height;
  mainRECT = Rect{0, 0, height, width};
  char title[256];
  std::memcpy(title, APPL.name + 1, APPL.name[0]);
  title[APPL.name[0]] = 0;
  mainWIND = NewGLWindow(title, windSIZE.h, windSIZE.v, false);
  if (!mainWIND) {
    ErrorDialog(kBuildGLFailed, "", 0, 1);
    return;
  }
  SetWindowContentBounds(mainWIND, WindowedRect());
  mainWindowProc = CurrentGameWindow;
  zoomWindowProc = ZoomEventHandler;
  setWindowSizeProc = RecordWindowSize;
  adjustWindowSizeProc = AdjustToRecordedSize;
  SetSdlEventWindow(mainWIND->sdl);
  SetGammaWindow(mainWIND->sdl);
  SetWindowResizedProc(mainWIND, WindowResized);
  ShowGLWindow(mainWIND);
  BuildGLOrFail();
  if (APPL.gameWindow) {
    if (CreatePixMap(char(APPL.buildDepth), &buildPMAP, &mainRECT, 1, 1, 1) != noErr || !buildPMAP) {
      ErrorDialog("Failed to create the buildPMAP.", "WindowInitGL()", 0, 1);
      return;
    }
    buildWORLD = GetPixMapGWorld(buildPMAP);
    buildBASE = GetPixBaseAddr(buildPMAP);
    buildROWB = (*buildPMAP)->rowBytes & 0x7FFF;
    PaintBuild(APPL.contentColor);
    EnableFlushing();
    FullScreenMode(mainPREFS.FullScreen());
  }
  NewGTable(&curResGAMMA);
  GetDeviceGammaTable(curResGAMMA, nullptr);
  TextFont(chicagoFONT);
}

void ZoomEventHandler(SInt16 part) { FullScreenMode(part == inZoomOut ? 1 : 0); }

void AdjustWindowSize(SInt16 width, SInt16 height) {
  windSIZE = Point{height, width};
  if (!mainWIND) return;
  HideWindow(mainWIND);
  SetWindowContentBounds(mainWIND, WindowedRect());
  QK_BuildGLForWindow(mainWIND);
  ShowGLWindow(mainWIND);
  QK_BuildGLForWindow(mainWIND);
}

void FullScreenModeGL(UInt8 mode) {
  mode = mode ? 1 : 0;
  if (mainWIND && mode != fullScreenMode) {
    HideWindow(mainWIND);
    if (!PlaceWindow(mode)) {
      // Full screen could not be had: fall back to the small window.
      mode = 0;
      windSIZE = Point{480, 640};
      if (!PlaceWindow(0)) ErrorDialog(kBuildGLFailed, "", 0, 1);
    }
    if (mode) QK_HideMenuBar();
    FlushToScreen(nullptr);
    ShowGLWindow(mainWIND);
    // Some window systems apply the size only once the window shows.
    PumpWindowEvents();
    QK_BuildGLForWindow(mainWIND);
    GlobalizeMenuBar();
    fullScreenMode = mode;
  }
  fullScreenTried = 1;
}

void FullScreenMode_Displays(UInt8 mode) {
  if (mode == 255) mode = mainPREFS.FullScreen();
  FullScreenModeGL(mode);
  mainPREFS.fullScreen = fullScreenMode != 0;
  SetFullScreenCheck(fullScreenMode);
}

bool IsFullScreen_Displays() { return fullScreenTried ? fullScreenMode != 0 : mainPREFS.FullScreen() != 0; }

void FlushToScreen_Displays(WindowRef) {
  if (!flushingEnabled || !mainWIND) return;
  // The hook's answer is a number, not a world: only the build world is shown.
  APPL.GWorldFX();
  if (!buildWORLD) {
    ErrorDialog("buildWORLD is nil.", "FlushToScreen_Displays()", 0, 1);
    return;
  }
  FlushGWorldToWindowGL(buildWORLD, mainWIND);
}

void EnableFlushing() { flushingEnabled = 1; }
void DisableFlushing() { flushingEnabled = 0; }
UInt8 FlushingEnabled() { return flushingEnabled; }

void DisposeGameWindow() {
  if (!mainWIND) return;
  if (fullScreenMode) SetGammaColor(&APPL.contentColor);
  PaintBuild(RGBColor{0, 0, 0});
  FlushToScreen(nullptr);
  // Nothing may present into the window once it is gone.
  DisableFlushing();
  if (fullScreenMode) QK_HideMenuBar();
  HideWindow(mainWIND);
  QK_DisposeGLForWindow(mainWIND);
  SetWindowResizedProc(nullptr, nullptr);
  SetGammaWindow(nullptr);
  SetSdlEventWindow(nullptr);
  mainWindowProc = nullptr;
  zoomWindowProc = nullptr;
  setWindowSizeProc = nullptr;
  adjustWindowSizeProc = nullptr;
  DisposeGLWindow(mainWIND);
  mainWIND = nullptr;
  fullScreenMode = 0;
  if (buildPMAP) DestroyPixMap(&buildPMAP);
  buildWORLD = nullptr;
  buildBASE = nullptr;
  if (APPL.gameWindow) APPL.VideoFadeIn();
  DisposeDisplays(mainDISPLAY);
}

void InitBlackWindow() {}
void BlackenScreen() {}
void UnBlackenScreen() {}

Rect GetWindowPortRect(WindowRef window) {
  SInt32 width = 0, height = 0;
  if (window) GetWindowContentSize(window, &width, &height);
  return Rect{0, 0, SInt16(height), SInt16(width)};
}

SInt16 CountWindows() { return mainWIND ? 1 : 0; }

SInt16 CheckScreenMode() { return 0; }
