// The menus: the Apple menu with the application's About item and the
// system's commands, the ready-made Window menu of the three window sizes,
// menu choices turned into engine actions or handed to the application, and
// the menus' part of the all-events capture. The bar lies over the top of the
// game window (the graphics layer draws it while it is shown); its items are
// chosen there with the pointer or by their command keys.
#pragma once

#include "platform/MenuModel.h"

struct OpaqueControlRef;

enum : SInt16 { kAppleMenuID = 128 };

enum : UInt32 {
  kHICommandPreferences = FOUR_CHAR('p', 'r', 'e', 'f'),
  kHICommandHide = FOUR_CHAR('h', 'i', 'd', 'e'),
  kHICommandHideOthers = FOUR_CHAR('h', 'i', 'd', 'o'),
  kHICommandQuit = FOUR_CHAR('q', 'u', 'i', 't'),
};

extern bool menuBarINIT;
extern SInt16 menuBarHeight;
extern Rect menuBarRECT, gMenuBarRECT;
extern SInt16 windowMenuID, fullScreenItemID;
extern bool menusEnabled;
extern bool isEnabled[20];
extern SInt16 hideItemId, hideOthersItemId;

// Seams to the game window, empty until it starts: record the chosen window
// size (windSIZE), and resize the window to it.
extern void (*setWindowSizeProc)(Point size);
extern void (*adjustWindowSizeProc)();
// Minimises the game window (the Hide command); empty until it starts.
extern void (*minimiseWindowProc)();

void InitMenuBar(unsigned char hideMenuBar);
void HandleMenu(SInt16 menu, SInt16 item);
void InsertWindowMenu(SInt16 id);
// The bar in global coordinates: the top of the game window's content (the
// main screen's top before the window exists).
void GetMenuBarBounds(Rect* bounds);
void GlobalizeMenuBar();
SInt16 FreeMenuID();
MenuRef FindAppleMenu();
SInt16 FindMenuItemByText(MenuRef menu, const unsigned char* text, SInt16 first);
SInt16 CheckMenuItemByText(MenuRef menu, const unsigned char* text, unsigned char checked, SInt16 first);
SInt16 EnableMenuItemByText(MenuRef menu, const unsigned char* text, SInt16 first);
SInt16 DisableMenuItemByText(MenuRef menu, const unsigned char* text, SInt16 first);
void AddMenuItems(MenuRef from, MenuRef* to);
// Appends the names (length-prefixed, at most 255 characters) in ascending
// order: A to Z without regard to case, a prefix before the longer name,
// equal names in their given order.
void BuildMenuAlphabetic(MenuRef menu, const std::vector<const unsigned char*>& names);
void SetControlPopupMenuHandle_(OpaqueControlRef* control, MenuRef menu);

// The pointer on the bar (global coordinates). A press the bar takes pulls a
// menu down or takes it away; a release over an item chooses it through
// HandleMenu, as its command key does.
bool MenuBarMouseDown(Point global);
void MenuBarMouseUp(Point global);
void MenuBarPointer(Point global);
// The pointer belongs to the bar now: a menu is down, or the shown bar is
// under it. Clicks and the button then do not reach the game.
bool MenuBarHasPointer();

// The menus' part of the capture.
void DisableAllMenus();
void EnableAllMenus();
void CaptureMenus(bool capture);
