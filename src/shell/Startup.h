// Start-up and shut-down of the engine's shell.
#pragma once

#include <string>

#include "platform/PlatformFiles.h"
#include "platform/PlatformTypes.h"

struct GDevice;

struct ProcessInfoRec {
  UInt32 processInfoLength;
  char* processName;
  void* processAppSpec;
  ProcessSerialNumber processNumber;
};

extern bool didStartup, shuttingDown;
extern RGBColor whiteRGB, blackRGB, grayRGB, redRGB, greenRGB, blueRGB;
extern ProcessInfoRec processINFO;
extern ProcessSerialNumber processNUM;
extern GDevice** mainDEVICE;
extern bool cursorVIS, animON, inputMouseON, aquaLAYOUT, hasPowerMGR;
extern SInt16 genevaFONT, chicagoFONT, monacoFONT;
extern UInt8 grayINDEX[16];
extern UInt16 grayRGBINDEX[16];
extern bool osxMode, osxModeInited;
// The bundle and its folders, as paths; empty when not active.
extern std::string appBundleREF, appFolderURL, resourcesFoldURL, fontsFoldURL, soundsFoldURL, musicFoldURL,
    layoutsFoldURL;

// The bundle folder; the Resources folder is resourcesFOLD of the file layer.
extern FSRef appFileREF;

void Startup();
// Ends the process unless noExit is non-zero; the exit status is 1 after a
// fatal report, else 0.
void Shutdown(unsigned char noExit);
void InitGlobals();
// Makes the bundle's Resources folder the current folder; a null or empty
// path means the program's own bundle. A missing bundle or Resources folder
// is fatal.
void ActivateBundleResources(const char* bundle);
void DeactivateBundleResources();
SInt16 GetFontNum(const unsigned char* name);
bool OSXMode();
void CheckSystemVersion();
bool QK_ShowMenuBar();
bool QK_HideMenuBar();
bool IsMenuBarVisible();
