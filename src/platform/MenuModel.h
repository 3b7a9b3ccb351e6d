// Menus without a menu bar on screen: the menus, their items, command keys,
// command IDs and enabled and checked states are kept as records, and a
// command key typed into the game reaches its item (MenuKey). Nothing is
// drawn: the bar is zero pixels high.
#pragma once

#include <vector>

#include "platform/PlatformTypes.h"

// Item modifiers besides Command: Shift, Option, Control, or no Command.
enum : UInt8 {
  kMenuNoModifiers = 0,
  kMenuShiftModifier = 1,
  kMenuOptionModifier = 2,
  kMenuControlModifier = 4,
  kMenuNoCommandModifier = 8,
};

enum : OSStatus { menuItemNotFoundErr = -5620 };

struct MenuItemRecord {
  Str255 text;
  char commandKey;  // 0 for none
  UInt8 modifiers;
  bool enabled;
  bool checked;
  bool separator;
  UInt32 command;  // 0 for none
};

struct OpaqueMenuRef {
  SInt16 id;
  Str255 title;
  bool enabled;
  std::vector<MenuItemRecord> items;
};
typedef OpaqueMenuRef* MenuRef;

MenuRef NewMenu(SInt16 id, const unsigned char* title);
void DisposeMenu(MenuRef menu);
// Inserts the menu before the menu `beforeID` of the bar, at the end for 0.
void InsertMenu(MenuRef menu, SInt16 beforeID);
// Takes the menu out of the bar (it is not disposed of).
void DeleteMenu(SInt16 id);
// Takes every menu out of the bar and disposes of it.
void ClearMenuBar();
// The menu with that ID in the bar, or null.
MenuRef GetMenuHandle(SInt16 id);
// The menus of the bar, left to right.
const std::vector<MenuRef>& MenuBarMenus();

// Appends items from text with the menu metacharacters: ';' separates items,
// "/X" gives the command key X, '(' disables the item, a lone '-' is a
// separator line.
void AppendMenu(MenuRef menu, const unsigned char* text);
// Inserts plain text (no metacharacters) after item `afterItem` (0: first).
void InsertMenuItemText(MenuRef menu, const unsigned char* text, SInt16 afterItem);
void DeleteMenuItem(MenuRef menu, SInt16 item);
SInt16 CountMenuItems(MenuRef menu);
// Item numbers start at 1; an item out of range reads empty and ignores writes.
void GetMenuItemText(MenuRef menu, SInt16 item, unsigned char* text);
void SetMenuItemText(MenuRef menu, SInt16 item, const unsigned char* text);
// Item 0 stands for the whole menu.
void EnableMenuItem(MenuRef menu, SInt16 item);
void DisableMenuItem(MenuRef menu, SInt16 item);
bool IsMenuItemEnabled(MenuRef menu, SInt16 item);
void CheckMenuItem(MenuRef menu, SInt16 item, bool checked);
bool IsMenuItemChecked(MenuRef menu, SInt16 item);
void SetMenuItemCommandID(MenuRef menu, SInt16 item, UInt32 command);
UInt32 GetMenuItemCommandID(MenuRef menu, SInt16 item);
void SetMenuItemCommandKey(MenuRef menu, SInt16 item, char key);
void SetMenuItemModifiers(MenuRef menu, SInt16 item, UInt8 modifiers);
// The index-th item (from 1) with that command, in `menu` or, for null, in
// the bar's menus in order.
OSStatus GetIndMenuItemWithCommandID(MenuRef menu, UInt32 command, UInt32 index, MenuRef* outMenu, SInt16* outItem);
void EnableMenuCommand(MenuRef menu, UInt32 command);
void DisableMenuCommand(MenuRef menu, UInt32 command);

// The menu choice of a command key: the enabled item of an enabled menu whose
// key (either case) and modifiers match; menu << 16 | item, or 0.
// `modifiers` are event modifier flags; Command must be among them.
SInt32 MenuKey(char key, UInt16 modifiers);

void DrawMenuBar();
SInt16 GetMBarHeight();
void HiliteMenu(SInt16 id);
