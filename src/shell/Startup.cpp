#include "shell/Startup.h"

#include <cstring>

#include "foundation/Clock.h"
#include "foundation/ErrorDialog.h"
#include "foundation/FileClass.h"
#include "foundation/Frameworks.h"
#include "foundation/Paths.h"
#include "foundation/Random.h"
#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "platform/EventPlatform.h"
#include "platform/PlatformSystem.h"
#include "platform/QuickDraw.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/ShellReports.h"

bool didStartup, shuttingDown;
RGBColor whiteRGB, blackRGB, grayRGB, redRGB, greenRGB, blueRGB;
ProcessInfoRec processINFO;
ProcessSerialNumber processNUM;
GDevice** mainDEVICE;
bool cursorVIS = true, animON, inputMouseON, aquaLAYOUT, hasPowerMGR;
SInt16 genevaFONT, chicagoFONT, monacoFONT;
UInt8 grayINDEX[16];
UInt16 grayRGBINDEX[16];
bool osxMode, osxModeInited;
FSRef appFileREF;
std::string appBundleREF, appFolderURL, resourcesFoldURL, fontsFoldURL, soundsFoldURL, musicFoldURL, layoutsFoldURL;

namespace {

// There is no menu bar to draw; its shown state is kept for the menus.
bool menuBarVisible = true;

// The system answers of the probes: menus in the Aqua layout, no power
// manager dispatch, system version 10.4.
constexpr SInt32 kMenuMgrAttr = 0x2;
constexpr SInt32 kSystemVersion = 0x1040;

void FillGrayTables(UInt8 depth) {
  for (int i = 0; i < 16; ++i) {
    grayINDEX[i] = UInt8(i < 8 ? 32 * i : 32 * (i - 8) + 31);
    if (depth == 8) {
      grayRGBINDEX[i] = grayINDEX[i];
    } else if (depth == 16) {
      UInt16 c = UInt16((65535 - 4369 * i) >> 11);
      grayRGBINDEX[i] = UInt16(c * 1024 + c * 32 + c);
    }
  }
}

// The slot-7 flush until the game window installs its own: there is nothing
// on screen to flush yet.
void StartupFlush(WindowRef) {}

void ArrowCursor() { Platform().ArrowCursor(); }

void ExitToShell() { Platform().Exit(errorShutdown ? 1 : 0); }

}  // namespace

void InitGlobals() {
  whiteRGB = RGBColor{65535, 65535, 65535};
  blackRGB = RGBColor{0, 0, 0};
  grayRGB = RGBColor{32768, 32768, 32768};
  redRGB = RGBColor{65535, 0, 0};
  greenRGB = RGBColor{0, 65535, 0};
  blueRGB = RGBColor{0, 0, 65535};
}

void Startup() {
  if (didStartup) return;
  Platform().ArrowCursor();
  Platform().ShowCursor(true);
  SetApplCursorBackEnd(ArrowCursor);
  SetSystemIdle([] { SystemIdle(); });
  InitGlobals();
  processINFO = ProcessInfoRec{60, nullptr, nullptr, ProcessSerialNumber{0, PlatformProcessID()}};
  processNUM = processINFO.processNumber;
  mainDEVICE = GetMainDevice();
  cursorVIS = animON = inputMouseON = true;
  aquaLAYOUT = (kMenuMgrAttr >> 1) & 1;
  CheckMainDate();
  SeedRandom();
  if (APPL.bundle) ActivateBundleResources(nullptr);
  genevaFONT = GetFontNum((const unsigned char*)"\6Geneva");
  chicagoFONT = GetFontNum((const unsigned char*)"\7Chicago");
  monacoFONT = GetFontNum((const unsigned char*)"\6Monaco");
  FillGrayTables(APPL.buildDepth);
  CheckSystemVersion();
  hasPowerMGR = false;
  FlushEvents(mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0);
  QKEL[kQKELFlushToScreen] = reinterpret_cast<QKELProc>(static_cast<FlushToScreenProc>(StartupFlush));
  didStartup = true;
}

void Shutdown(unsigned char noExit) {
  shuttingDown = true;
  APPL.Shutdown();
  QK_ShowMenuBar();
  if (APPL.bundle) DeactivateBundleResources();
  Platform().ArrowCursor();
  if (!cursorVIS) {
    Platform().ShowCursor(true);
    cursorVIS = true;
  }
  FlushEvents(mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0);
  if (!noExit) ExitToShell();
}

void ActivateBundleResources(const char* bundle) {
  appBundleREF = GetBundlePath();
  std::string folder = bundle && *bundle ? std::string(bundle) : appBundleREF;
  if (folder.empty()) {
    ErrorDialog("CFBundleGetMainBundle() failed.", "ActivateBundleResources()", 0, 1);
    return;
  }
  appFolderURL = folder;
  appFileREF = FSRefOfPath(folder.c_str());
  std::string resources = folder + "/Contents/Resources";
  FSCatalogInfo info;
  if (PlatformGetCatalogInfo(FSRef{resources}, true, &info) != noErr || !(info.nodeFlags & kCatalogNodeIsFolder)) {
    ErrorDialog("CFBundleCopyResourcesDirectoryURL() failed.", "ActivateBundleResources()", 0, 1);
    return;
  }
  resourcesFoldURL = resources;
  resourcesFOLD.ref = FSRefOfPath(resources.c_str());
  // Every relative resource path of the program is taken from here.
  SwitchToFolder(resources.c_str());
  // The fonts need no activation: the text renderer opens their files.
  fontsFoldURL = resources + "/Fonts/";
  soundsFoldURL = resources + "/Sounds/";
  musicFoldURL = resources + "/Music/";
  layoutsFoldURL = resources + "/Layouts/";
}

void DeactivateBundleResources() {
  appFileREF = FSRef{};
  appBundleREF.clear();
  appFolderURL.clear();
  resourcesFoldURL.clear();
  fontsFoldURL.clear();
  layoutsFoldURL.clear();
  musicFoldURL.clear();
  soundsFoldURL.clear();
}

// The classic family numbers of the three system fonts, by name in any
// case; any other name is unknown (-1).
SInt16 GetFontNum(const unsigned char* name) {
  static const struct {
    const char* name;
    SInt16 number;
  } fonts[] = {{"Chicago", 0}, {"Geneva", 3}, {"Monaco", 4}};
  for (const auto& f : fonts)
    if (CompString(name, PStr(f.name)) == 0) return f.number;
  return -1;
}

bool OSXMode() {
  if (!osxModeInited) {
    osxMode = kSystemVersion > 0x09FF;
    osxModeInited = true;
  }
  return osxMode;
}

void CheckSystemVersion() {}

bool IsMenuBarVisible() { return menuBarVisible; }

bool QK_ShowMenuBar() {
  if (menuBarVisible) return true;
  menuBarVisible = true;
  return false;
}

bool QK_HideMenuBar() {
  if (!menuBarVisible) return true;
  menuBarVisible = false;
  return false;
}
