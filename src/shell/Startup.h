// Start-up and shut-down of the engine's shell.
#pragma once

#include <string>

#include "platform/FontCatalog.h"
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
// Puts the shell's run-time state back as a program starts: the hooks (APPL,
// QKEL), the event record and its flags, the counted keys, the game mouse,
// the front-process, all-events and cursor flags, the quit flag, the menu
// bar's state and procedures, and the Apple-event flags. Menus and event
// handlers that were installed stay; the caller removes those it made.
void ResetShellState();
// Makes the bundle's Resources folder the current folder; a null or empty
// path means the program's own bundle. A missing bundle or Resources folder
// is fatal.
void ActivateBundleResources(const char* bundle);
void DeactivateBundleResources();
// The family number of an installed font (or one of the bundle's, by family
// or file name); "Chicago", "Geneva" and "Monaco" are 0, 3 and 4 and stand
// for a bold sans, a sans and a monospace face. -1 when there is none.
SInt16 GetFontNum(const unsigned char* name);
// The face a family number stands for: the three system fonts and every
// number GetFontNum has given out; false for any other number.
bool FontFaceOfNum(SInt16 number, FontFace* face);
bool OSXMode();
void CheckSystemVersion();
bool QK_ShowMenuBar();
bool QK_HideMenuBar();
bool IsMenuBarVisible();
