// The game window: one OpenGL window, centred on the main screen at the
// chosen size (640 by 480 or 1024 by 768) or covering the whole screen at the
// desktop's resolution, with the offscreen build buffer that the engine
// presents into it. The rest of the engine reaches it through hook slots 7
// (FlushToScreen), 8 (IsFullScreen) and 9 (FullScreenMode).
#pragma once

#include "graphics/GammaFading.h"
#include "platform/GLWindow.h"
#include "platform/MenuModel.h"
#include "platform/QuickDraw.h"

extern WindowRef mainWIND;
// The windowed size: v = height, h = width; 0 means not chosen yet.
extern Point windSIZE;
// (0, 0, game height, game width).
extern Rect mainRECT;
extern SInt16 mainDEPTH;
extern UInt8 fullScreenMode, fullScreenTried, flushingEnabled;
extern PixMapHandle buildPMAP;
extern GWorldPtr buildWORLD;
extern Ptr buildBASE;
extern SInt32 buildROWB;

// The content rectangle of a width by height window centred on the device
// rectangle (16-bit divisions truncating toward zero).
Rect CenteredWindowRect(const Rect& device, SInt16 width, SInt16 height);

void InitGameWindow();
void InitWindowGL(SInt16 width, SInt16 height);
// The window system's zoom: the zoom-out part (8) asks for full screen, any
// other part for the window.
void ZoomEventHandler(SInt16 part);
// Records the windowed size and re-centres the window at it.
void AdjustWindowSize(SInt16 width, SInt16 height);
// 0 the centred window, any other value the whole main screen.
void FullScreenModeGL(UInt8 mode);
// Slot 9: 255 stands for the preference; the mode is stored back into it.
void FullScreenMode_Displays(UInt8 mode);
bool IsFullScreen_Displays();
void FlushToScreen_Displays(WindowRef window);
void EnableFlushing();
void DisableFlushing();
UInt8 FlushingEnabled();
void DisposeGameWindow();

// A plain window without OpenGL at width by height, centred, with its build
// world when the application has a game window.
void InitWindow(SInt16 width, SInt16 height);
// Resizes mainWIND and centres it again; windSIZE is left as it is.
void SetMainWindow(SInt16 width, SInt16 height);

// The black cover window. InitBlackWindow makes none, so covering or
// uncovering the screen without one is a fatal program error.
extern WindowRef blackWind;
extern UInt8 bs_menuBarVis;
void InitBlackWindow();
void BlackenScreen();
void UnBlackenScreen();

Rect GetWindowPortRect(WindowRef window);
// The window's port becomes current, with the device.
void SetPort_Window(WindowRef window, GDHandle device);
void SetPort_(WindowRef window, GDHandle device);
// The port becomes current with no device.
void SetPort_(CGrafPtr port, GDHandle device);
// Bits, then pixels; unlocking goes the other way.
void LockWindow(WindowRef window);
void UnlockWindow(WindowRef window);
SInt16 CountWindows();
// Adds the text (no metacharacters) as the last item; its 1-based index.
SInt16 AppendMenuItem(MenuRef menu, const unsigned char* text);
// Clears the table's first 12 words and makes its first entry, and the
// window's content colour, black (white for UnBlackenWindow).
void BlackenWindow(WindowRef window, CTabHandle table);
void UnBlackenWindow(WindowRef window, CTabHandle table);
void ShowWindowBlack(WindowRef window, CTabHandle table);
SInt16 CheckScreenMode();
