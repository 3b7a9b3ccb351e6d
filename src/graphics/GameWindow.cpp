#include "graphics/GameWindow.h"

#include <string>

#include "foundation/ErrorDialog.h"
#include "graphics/AppIcon.h"
#include "graphics/Display.h"
#include "graphics/OffscreenCopy.h"
#include "graphics/OpenGLContext.h"
#include "graphics/PixMapRegistry.h"
#include "platform/DisplayServices.h"
#include "platform/EventPlatform.h"
#include "platform/GameWindowPlatform.h"
#include "platform/MenuModel.h"
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
WindowRef blackWind = nullptr;
UInt8 bs_menuBarVis = 0;

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

void MinimiseGameWindow() {
  if (mainWIND) MinimiseWindow(mainWIND);
}

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

std::string WindowTitle() { return std::string(reinterpret_cast<const char*>(APPL.name + 1), APPL.name[0]); }

// Takes the build buffer's pixmap, pixels and row bytes from its world and
// paints it in the content colour.
void TakeBuildWorld() {
  buildPMAP = GetGWorldPixMap(buildWORLD);
  buildBASE = GetPixBaseAddr(buildPMAP);
  buildROWB = (*buildPMAP)->rowBytes & 0x7FFF;
  PaintBuild(APPL.contentColor);
}

// The display's gamma as found when the window opened, and the port's font.
void RememberGammaAndFont() {
  NewGTable(&curResGAMMA);
  GetDeviceGammaTable(curResGAMMA, nullptr);
  TextFont(chicagoFONT);
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
  mainWIND = NewGLWindow(WindowTitle().c_str(), windSIZE.h, windSIZE.v, false);
  if (!mainWIND) {
    ErrorDialog(kBuildGLFailed, "", 0, 1);
    return;
  }
  SetWindowContentBounds(mainWIND, WindowedRect());
  mainWindowProc = CurrentGameWindow;
  zoomWindowProc = ZoomEventHandler;
  setWindowSizeProc = RecordWindowSize;
  adjustWindowSizeProc = AdjustToRecordedSize;
  minimiseWindowProc = MinimiseGameWindow;
  Platform().SetEventWindow(mainWIND->platform);
  SetGammaWindow(mainWIND->platform);
  SetWindowResizedProc(mainWIND, WindowResized);
  SetWindowContentColor(mainWIND, &APPL.contentColor);
  // Resizable, so that the window manager offers its maximise button: the
  // button asks for full screen (the zoom), and any size letterboxes.
  SetWindowResizable(mainWIND, true);
  ShowApplicationIcon(mainWIND);
  ShowGLWindow(mainWIND);
  BuildGLOrFail();
  LockWindow(mainWIND);
  if (APPL.gameWindow) {
    if (CreatePixMap(char(APPL.buildDepth), &buildPMAP, &mainRECT, 1, 1, 1) != noErr || !buildPMAP) {
      ErrorDialog("Failed to create the buildPMAP.", "WindowInitGL()", 0, 1);
      return;
    }
    buildWORLD = GetPixMapGWorld(buildPMAP);
    TakeBuildWorld();
    EnableFlushing();
    FullScreenMode(mainPREFS.FullScreen());
  }
  RememberGammaAndFont();
}

void InitWindow(SInt16 width, SInt16 height) {
  mainRECT = Rect{0, 0, height, width};
  windSIZE = Point{height, width};
  mainWIND = NewGLWindow(WindowTitle().c_str(), width, height, false);
  if (!mainWIND) {
    ErrorDialog("The window could not be opened.", "InitWindow()", 0, 1);
    return;
  }
  SetWindowContentBounds(mainWIND, WindowedRect());
  ShowGLWindow(mainWIND);
  LockWindow(mainWIND);
  if (APPL.gameWindow) {
    buildWORLD = CreateBufferedGWorld(mainWIND, char(APPL.buildDepth), width, height);
    if (!buildWORLD) {
      ErrorDialog("Failed to create the buildPMAP.", "InitWindow()", 0, 1);
      return;
    }
    TakeBuildWorld();
    EnableFlushing();
    FlushToScreen(nullptr);
    FullScreenMode(mainPREFS.FullScreen());
  }
  RememberGammaAndFont();
}

void SetMainWindow(SInt16 width, SInt16 height) {
  if (!mainWIND) {
    ErrorDialog("Program Error:  InitWindow() must be called once before SetMainWindow().", "", 0, 1);
    return;
  }
  SetWindowContentBounds(mainWIND, CenteredWindowRect(MainDeviceRect(), width, height));
  SelectWindow(mainWIND);
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
    // Left while the user is away (another window took the focus, or the
    // window was hidden), full screen goes in place: showing the window again
    // would take the focus back, or bring a hidden window back.
    const bool inPlace = !isFrontProcess && mode == 0;
    if (!inPlace) HideWindow(mainWIND);
    if (!PlaceWindow(mode)) {
      // Full screen could not be had: fall back to the small window.
      mode = 0;
      windSIZE = Point{480, 640};
      if (!PlaceWindow(0)) ErrorDialog(kBuildGLFailed, "", 0, 1);
    }
    if (mode) QK_HideMenuBar();
    FlushToScreen(nullptr);
    if (!inPlace) ShowGLWindow(mainWIND);
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
  // A window without its OpenGL context (InitWindow's) has nothing to draw with.
  if (!flushingEnabled || !mainWIND || !GetWRefCon(mainWIND)) return;
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
  UnlockWindow(mainWIND);
  ForgetWindowPort(mainWIND);
  SetWindowResizedProc(nullptr, nullptr);
  SetGammaWindow(nullptr);
  Platform().SetEventWindow(nullptr);
  mainWindowProc = nullptr;
  zoomWindowProc = nullptr;
  setWindowSizeProc = nullptr;
  adjustWindowSizeProc = nullptr;
  minimiseWindowProc = nullptr;
  DisposeGLWindow(mainWIND);
  mainWIND = nullptr;
  fullScreenMode = 0;
  if (buildPMAP) DestroyPixMap(&buildPMAP);
  buildWORLD = nullptr;
  buildBASE = nullptr;
  if (APPL.gameWindow) {
    if (blackWind) DisposeGLWindow(blackWind);
    blackWind = nullptr;
    APPL.VideoFadeIn();
  }
  DisposeDisplays(mainDISPLAY);
}

void InitBlackWindow() {}

void BlackenScreen() {
  if (!blackWind) {
    ErrorDialog("Black window is not initialized!", "BlackenScreen()", 0, 1);
    return;
  }
  bs_menuBarVis = IsMenuBarVisible();
  if (bs_menuBarVis) QK_HideMenuBar();
  ShowGLWindow(blackWind);
}

void UnBlackenScreen() {
  if (!blackWind) {
    ErrorDialog("Black window is not initialized!", "UnBlackenScreen()", 0, 1);
    return;
  }
  if (bs_menuBarVis) QK_ShowMenuBar();
  HideWindow(blackWind);
}

Rect GetWindowPortRect(WindowRef window) {
  SInt32 width = 0, height = 0;
  if (window) GetWindowContentSize(window, &width, &height);
  return Rect{0, 0, SInt16(height), SInt16(width)};
}

void SetPort_Window(WindowRef window, GDHandle device) {
  if (CGrafPtr port = GetWindowPort(window)) SetGWorld(port, device);
}

void SetPort_(WindowRef window, GDHandle device) { SetPort_Window(window, device); }

void SetPort_(CGrafPtr port, GDHandle) { SetGWorld(port, nullptr); }

void LockWindow(WindowRef window) {
  if (CGrafPtr port = GetWindowPort(window)) {
    LockPortBits(port);
    LockPixels(GetPortPixMap(port));
  }
}

void UnlockWindow(WindowRef window) {
  if (CGrafPtr port = GetWindowPort(window)) {
    UnlockPixels(GetPortPixMap(port));
    UnlockPortBits(port);
  }
}

SInt16 CountWindows() { return mainWIND ? 1 : 0; }

SInt16 AppendMenuItem(MenuRef menu, const unsigned char* text) {
  if (!menu || !text) return 0;
  InsertMenuItemText(menu, text, CountMenuItems(menu));
  return CountMenuItems(menu);
}

namespace {

// The table's first 12 words (seed, flags, size and the first two entries)
// cleared, then its first entry and the window's content in the colour.
void PaintWindowColour(WindowRef window, CTabHandle table, const RGBColor& colour) {
  if (table && *table) {
    ColorTable& t = **table;
    t.ctSeed = 0;
    t.ctFlags = 0;
    t.ctSize = 0;
    t.ctTable[0] = ColorSpec{};
    t.ctTable[1] = ColorSpec{};
    t.ctTable[0].rgb = colour;
  }
  SetWindowContentColor(window, &colour);
}

}  // namespace

void BlackenWindow(WindowRef window, CTabHandle table) { PaintWindowColour(window, table, RGBColor{0, 0, 0}); }

void UnBlackenWindow(WindowRef window, CTabHandle table) {
  PaintWindowColour(window, table, RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
}

void ShowWindowBlack(WindowRef, CTabHandle) {}

SInt16 CheckScreenMode() { return 0; }
