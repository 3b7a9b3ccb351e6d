// The menus: their items, command keys, command IDs and enabled and checked
// states kept as records; a command key typed into the game reaches its item
// (MenuKey). The bar is laid out here and tracked under the pointer (a press
// or a drag chooses an item); the graphics layer draws it over the top of the
// game window from this layout.
#pragma once

#include <string>
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

// Marks the bar for drawing again (its drawing follows the records anyway).
void DrawMenuBar();
SInt16 GetMBarHeight();
// Highlights the title of the menu; 0 highlights none.
void HiliteMenu(SInt16 id);
SInt16 HilitedMenu();

// ----------------------------------------------------------------- layout
// All positions are in pixels of the bar, whose top left is the top left of
// the game window's content; pull-down menus hang below it.
enum : SInt16 {
  kMenuBarHeight = 22,
  kMenuTitleLeft = 8,      // first title's start
  kMenuTitlePadding = 10,  // on each side of a title's text
  kMenuItemHeight = 20,
  kMenuSeparatorHeight = 10,
  kMenuFrame = 4,      // above the first and below the last item
  kMenuTextLeft = 22,  // room for the tick
  kMenuKeyGap = 28,    // between an item's text and its command key
  kMenuTextRight = 12,
};

// The width in pixels of display text (as MenuDisplayText gives it). The
// drawing installs its font's; until then every character counts 7.
extern SInt16 (*menuTextWidthProc)(const std::string& text);
// What a title shows instead of the one-character application-menu title.
void SetApplicationMenuTitle(const unsigned char* title);

// Menu text as one byte a character in ISO 8859-1: the Mac Roman characters
// the menus use become theirs ("\xC9", the ellipsis, becomes "...").
std::string MenuDisplayText(const unsigned char* text);
// The title a menu shows in the bar ("" for menus with no title, which the
// bar leaves out).
std::string MenuTitleText(MenuRef menu);
// "Ctrl+Q", "Ctrl+Alt+H": the command key as the user types it; "" for none.
std::string MenuKeyText(const MenuItemRecord& item);

// The menus the bar shows, left to right.
std::vector<MenuRef> MenuBarShownMenus();
Rect MenuTitleRect(MenuRef menu);
// The pulled-down menu's frame, and one item's rectangle in it.
Rect MenuDropRect(MenuRef menu);
Rect MenuItemRect(MenuRef menu, SInt16 item);
// The shown menu whose title holds the point, or null.
MenuRef MenuTitleAt(Point p);
// The item of the pulled-down menu under the point (the first item for the
// frame above it), or 0.
SInt16 MenuItemAt(MenuRef menu, Point p);

// --------------------------------------------------------------- tracking
// A press on a title pulls its menu down; releasing over an enabled item
// chooses it, releasing on the title leaves the menu down for a click on an
// item; a press anywhere else takes the menu away. Moving over another
// title pulls that menu down instead.
struct MenuTrackState {
  SInt16 openMenu;  // the pulled-down menu, 0 for none
  SInt16 hotItem;   // the enabled item under the pointer, 0 for none
  bool pressed;     // the button went down on the bar or the menu
  bool openedByPress;
};
const MenuTrackState& MenuTracking();
// True when the bar or the pulled-down menu took the press.
bool MenuTrackDown(Point p);
void MenuTrackMove(Point p);
// The choice (menu << 16 | item) of a release over an enabled item, else 0.
SInt32 MenuTrackUp(Point p);
void MenuTrackCancel();
