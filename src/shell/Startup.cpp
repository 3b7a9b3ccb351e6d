#include "shell/Startup.h"

#include <cstring>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/ErrorDialog.h"
#include "foundation/FileClass.h"
#include "foundation/Frameworks.h"
#include "foundation/Paths.h"
#include "foundation/Random.h"
#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "foundation/TextEncodings.h"
#include "platform/EventPlatform.h"
#include "platform/FontCatalog.h"
#include "platform/PlatformSystem.h"
#include "platform/QuickDraw.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/AppleEvents.h"
#include "shell/Events.h"
#include "shell/FileChooser.h"
#include "shell/GameMouse.h"
#include "shell/KeyState.h"
#include "shell/Menus.h"
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
  InstallFileChooser();
  // The keys' characters as the keyboard's layout gives them, now that the
  // platform can read it.
  InitKeyCodesChars();
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
  fontsFoldURL = resources + "/Fonts/";
  // The bundle's fonts join the system's for this process, found by family
  // name (or file name) like any installed font; without a readable folder
  // the program goes on with the system's alone.
  FSCatalogInfo fonts;
  if (PlatformGetCatalogInfo(FSRef{resources + "/Fonts"}, true, &fonts) == noErr &&
      (fonts.nodeFlags & kCatalogNodeIsFolder))
    AddProcessFontFolder(resources + "/Fonts");
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

namespace {

// The three system fonts keep their classic family numbers and stand for
// installed faces of the same kind; every other family found gets the next
// number from kFirstFamilyNumber on, the same one each time it is asked for.
struct SystemFont {
  const char* name;
  SInt16 number;
  FontKind kind;
};
constexpr SystemFont kSystemFonts[] = {
    {"Chicago", 0, FontKind::BoldSans}, {"Geneva", 3, FontKind::Sans}, {"Monaco", 4, FontKind::Monospace}};
constexpr SInt16 kFirstFamilyNumber = 1024;
std::vector<FontFace> foundFamilies;

}  // namespace

SInt16 GetFontNum(const unsigned char* name) {
  if (!name || !name[0]) return -1;
  FontFace face;
  for (const SystemFont& f : kSystemFonts)
    if (CompString(name, PStr(f.name)) == 0) return FindFontOfKind(f.kind, &face) ? f.number : SInt16(-1);
  // Our names are Mac Roman; the font catalogue's are UTF-8.
  const std::string family(reinterpret_cast<const char*>(name) + 1, name[0]);
  if (!FindFontFamily(ConvertCStrToUnicode(family.c_str()), &face)) return -1;
  for (size_t i = 0; i < foundFamilies.size(); ++i)
    if (foundFamilies[i].path == face.path && foundFamilies[i].index == face.index)
      return SInt16(kFirstFamilyNumber + SInt16(i));
  if (foundFamilies.size() >= size_t(0x7FFF - kFirstFamilyNumber)) return -1;
  foundFamilies.push_back(face);
  return SInt16(kFirstFamilyNumber + SInt16(foundFamilies.size() - 1));
}

bool FontFaceOfNum(SInt16 number, FontFace* face) {
  if (!face) return false;
  for (const SystemFont& f : kSystemFonts)
    if (f.number == number) return FindFontOfKind(f.kind, face);
  const SInt32 i = SInt32(number) - kFirstFamilyNumber;
  if (i < 0 || size_t(i) >= foundFamilies.size()) return false;
  *face = foundFamilies[size_t(i)];
  return true;
}

bool OSXMode() {
  if (!osxModeInited) {
    osxMode = kSystemVersion > 0x09FF;
    osxModeInited = true;
  }
  return osxMode;
}

// Every system this program builds for is new enough: nothing to check.
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

void ResetShellState() {
  APPL = ApplInfo();
  for (QKELProc& slot : QKEL) slot = nullptr;
  FlushKeyState();
  theEVENT = EventRecord{};
  gEventREC = &theEVENT;
  mouseDelta = virtualMouse = Point{0, 0};
  skipMouse = false;
  isFrontProcess = true;
  allEvents = true;
  allEventsInited = false;
  cursorVIS = true;
  applQUIT = 0;
  menuCLICKED = suspendEVENT = resumeEVENT = fullScreenEVENT = closeBoxEVENT = dragWindowEVENT = 0;
  menuBarINIT = false;
  menuBarRECT = gMenuBarRECT = Rect{};
  windowMenuID = fullScreenItemID = 0;
  menusEnabled = true;
  menuKeyProc = nullptr;
  handleMenuProc = nullptr;
  highLevelEventProc = nullptr;
  captureMenusProc = nullptr;
  setWindowSizeProc = nullptr;
  adjustWindowSizeProc = nullptr;
  quitEVENT = prefsEVENT = false;
}
