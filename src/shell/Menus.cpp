#include "shell/Menus.h"

#include <cstring>
#include <iterator>

#include "platform/DialogModel.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/AppleEvents.h"
#include "shell/Events.h"
#include "shell/Startup.h"

bool menuBarINIT;
SInt16 menuBarHeight;
Rect menuBarRECT, gMenuBarRECT;
SInt16 windowMenuID, fullScreenItemID;
bool menusEnabled = true;
bool isEnabled[20];
SInt16 hideItemId, hideOthersItemId;
void (*setWindowSizeProc)(Point size);
void (*adjustWindowSizeProc)();
void (*minimiseWindowProc)();

namespace {

constexpr SInt16 kFirstMenuID = 128, kLastMenuID = 147;
constexpr SInt16 kSwallowMenuID = 1000;

const UInt32 kCapturedCommands[] = {kHICommandPreferences, kHICommandHide, kHICommandHideOthers, kHICommandQuit};
bool commandWasEnabled[std::size(kCapturedCommands)] = {true, true, true, true};

void Join(unsigned char* to, const char* a, const unsigned char* b, const char* c) {
  to[0] = 0;
  auto add = [to](const unsigned char* s, size_t n) {
    n = std::min<size_t>(n, size_t(255 - to[0]));
    memcpy(to + 1 + to[0], s, n);
    to[0] = UInt8(to[0] + n);
  };
  add((const unsigned char*)a, strlen(a));
  add(b + 1, b[0]);
  add((const unsigned char*)c, strlen(c));
}

void AppendItem(MenuRef menu, const unsigned char* text, char key, UInt8 modifiers, UInt32 command) {
  InsertMenuItemText(menu, text, CountMenuItems(menu));
  SInt16 item = CountMenuItems(menu);
  SetMenuItemCommandKey(menu, item, key);
  SetMenuItemModifiers(menu, item, modifiers);
  SetMenuItemCommandID(menu, item, command);
}

void AppendSeparator(MenuRef menu) { AppendMenu(menu, (const unsigned char*)"\1-"); }

// The commands that the system puts in every application's menu.
void AppendSystemItems(MenuRef menu) {
  Str255 text;
  AppendSeparator(menu);
  AppendItem(menu, (const unsigned char*)"\14Preferences\xC9", ',', kMenuNoModifiers, kHICommandPreferences);
  DisableMenuItem(menu, CountMenuItems(menu));
  AppendSeparator(menu);
  Join(text, "Hide ", APPL.name, "");
  AppendItem(menu, text, 'H', kMenuNoModifiers, kHICommandHide);
  AppendItem(menu, (const unsigned char*)"\13Hide Others", 'H', kMenuOptionModifier, kHICommandHideOthers);
  AppendSeparator(menu);
  Join(text, "Quit ", APPL.name, "");
  AppendItem(menu, text, 'Q', kMenuNoModifiers, kHICommandQuit);
}

void RaiseForCustomEvents(UInt8* flag) {
  *flag = 1;
  APPL.CustomEvents();
  *flag = 0;
}

void ChooseWindowSize(SInt16 width, SInt16 height) {
  if (setWindowSizeProc) setWindowSizeProc(Point{height, width});
  if (!IsFullScreen()) {
    if (adjustWindowSizeProc) adjustWindowSizeProc();
  } else {
    FullScreenMode(0);
  }
}

SInt32 MenuKeyOfEvent(const EventRecord* event) {
  return MenuKey(char(event->message & charCodeMask), event->modifiers);
}

// Case-insensitive for A to Z; a name that is a prefix of another first.
int Fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

bool SortsAfter(const unsigned char* a, const unsigned char* b) {
  size_t n = std::min(a[0], b[0]);
  for (size_t i = 1; i <= n; ++i)
    if (Fold(a[i]) != Fold(b[i])) return Fold(a[i]) > Fold(b[i]);
  return a[0] > b[0];
}

}  // namespace

void InitMenuBar(unsigned char hideMenuBar) {
  if (APPL.gameWindow) hideMenuBar = 0;
  if (!menuBarINIT) {
    MenuRef apple = NewMenu(kAppleMenuID, (const unsigned char*)"\1\x14");
    InsertMenu(apple, 0);
    Str255 about;
    Join(about, "About ", APPL.name, "\xC9");  // Mac Roman ellipsis
    InsertMenuItemText(apple, about, 0);
    SetApplicationMenuTitle(APPL.name);
    AppendSystemItems(apple);
    APPL.InitLocalMenus();
    menuKeyProc = MenuKeyOfEvent;
    handleMenuProc = HandleMenu;
    captureMenusProc = CaptureMenus;
  }
  menuBarINIT = true;
  DrawMenuBar();
  menuBarHeight = GetMBarHeight();
  GetMenuBarBounds(&menuBarRECT);
  if (hideMenuBar) QK_HideMenuBar();
}

void HandleMenu(SInt16 menu, SInt16 item) {
  menuCLICKED = 1;
  theMENU = menu;
  theITEM = item;
  if (menu == kAppleMenuID) {
    UInt32 command = GetMenuItemCommandID(GetMenuHandle(menu), item);
    if (item == 1)
      APPL.AboutDialog();
    else if (command == kHICommandQuit)
      SendCoreEvent(kAEQuitApplicationID);
    else if (command == kHICommandHide && minimiseWindowProc)
      minimiseWindowProc();
    else if (command == kHICommandPreferences)
      SendCoreEvent(kAEShowPreferences);
  } else if (windowMenuID && menu == windowMenuID) {
    if (item == 1)
      ChooseWindowSize(640, 480);
    else if (item == 2)
      ChooseWindowSize(1024, 768);
    else if (item == fullScreenItemID && APPL.gameWindow) {
      FullScreenMode(IsFullScreen() ? 0 : 1);
      RaiseForCustomEvents(&fullScreenEVENT);
    }
  }
  APPL.CustomEvents();
  menuCLICKED = 0;
  HiliteMenu(0);
}

void InsertWindowMenu(SInt16 id) {
  windowMenuID = id;
  MenuRef menu = NewMenu(id, (const unsigned char*)"\6Window");
  InsertMenu(menu, 0);
  AppendMenu(menu, (const unsigned char*)"\7Small/1");
  AppendMenu(menu, (const unsigned char*)"\7Large/2");
  AppendSeparator(menu);
  AppendMenu(menu, (const unsigned char*)"\15Full Screen/F");
  fullScreenItemID = 4;
  CheckMenuItem(menu, fullScreenItemID, IsFullScreen());
}

void GetMenuBarBounds(Rect* bounds) {
  Rect area = Platform().MainScreen();
  Rect content;
  if (MainWindow() && Platform().WindowContent(&content)) area = content;
  *bounds = Rect{area.top, area.left, SInt16(area.top + menuBarHeight), area.right};
}

// The window moves and changes size, and its bar with it.
void GlobalizeMenuBar() {
  Rect content;
  if (!MainWindow() || !Platform().WindowContent(&content)) return;
  if (menuBarINIT) GetMenuBarBounds(&menuBarRECT);
  gMenuBarRECT = Rect{SInt16(menuBarRECT.top - content.top), SInt16(menuBarRECT.left - content.left),
                      SInt16(menuBarRECT.bottom - content.top), SInt16(menuBarRECT.right - content.left)};
}

namespace {

Point BarPoint(Point global) { return Point{SInt16(global.v - menuBarRECT.top), SInt16(global.h - menuBarRECT.left)}; }

}  // namespace

bool MenuBarMouseDown(Point global) { return MenuTrackDown(BarPoint(global)); }

void MenuBarMouseUp(Point global) {
  SInt32 choice = MenuTrackUp(BarPoint(global));
  if (choice) HandleMenu(SInt16(choice >> 16), SInt16(choice & 0xFFFF));
}

void MenuBarPointer(Point global) { MenuTrackMove(BarPoint(global)); }

bool MenuBarHasPointer() {
  if (!menuBarINIT || !IsMenuBarVisible()) return false;
  if (MenuTracking().openMenu) return true;
  Point p = Platform().GlobalMouse();
  return p.v >= menuBarRECT.top && p.v < menuBarRECT.bottom && p.h >= menuBarRECT.left && p.h < menuBarRECT.right;
}

SInt16 FreeMenuID() {
  SInt16 id = kFirstMenuID;
  while (GetMenuHandle(id)) ++id;
  return id;
}

MenuRef FindAppleMenu() { return nullptr; }

SInt16 FindMenuItemByText(MenuRef menu, const unsigned char* text, SInt16 first) {
  Str255 itemText;
  for (SInt16 item = std::max<SInt16>(first, 1); item <= CountMenuItems(menu); ++item) {
    GetMenuItemText(menu, item, itemText);
    if (memcmp(itemText, text, size_t(text[0]) + 1) == 0) return item;
  }
  return -1;
}

SInt16 CheckMenuItemByText(MenuRef menu, const unsigned char* text, unsigned char checked, SInt16 first) {
  SInt16 item = FindMenuItemByText(menu, text, first);
  if (item != -1) CheckMenuItem(menu, item, checked != 0);
  return item;
}

SInt16 EnableMenuItemByText(MenuRef menu, const unsigned char* text, SInt16 first) {
  SInt16 item = FindMenuItemByText(menu, text, first);
  if (item != -1) EnableMenuItem(menu, item);
  return item;
}

SInt16 DisableMenuItemByText(MenuRef menu, const unsigned char* text, SInt16 first) {
  SInt16 item = FindMenuItemByText(menu, text, first);
  if (item != -1) DisableMenuItem(menu, item);
  return item;
}

void AddMenuItems(MenuRef from, MenuRef* to) {
  Str255 text;
  for (SInt16 i = 1; i <= CountMenuItems(from); ++i) {
    GetMenuItemText(from, i, text);
    InsertMenuItemText(*to, text, i);
  }
}

void BuildMenuAlphabetic(MenuRef menu, const std::vector<const unsigned char*>& names) {
  std::vector<SInt16> index(names.size());
  for (size_t i = 0; i < index.size(); ++i) index[i] = SInt16(i);
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (size_t j = 0; j + 1 < index.size(); ++j) {
      if (SortsAfter(names[size_t(index[j])], names[size_t(index[j + 1])]) && index[j] < index[j + 1]) {
        std::swap(index[j], index[j + 1]);
        swapped = true;
      }
    }
  }
  for (SInt16 i : index) InsertMenuItemText(menu, names[size_t(i)], CountMenuItems(menu));
}

void SetControlPopupMenuHandle_(OpaqueControlRef* control, MenuRef menu) {
  control->popupMenu = menu;
  control->minimum = 0;
  control->maximum = CountMenuItems(menu);
}

void DisableAllMenus() {
  if (OSXMode() && !menusEnabled) return;
  for (SInt16 id = kFirstMenuID; id <= kLastMenuID; ++id) {
    MenuRef menu = GetMenuHandle(id);
    if (!menu) continue;
    isEnabled[id - kFirstMenuID] = IsMenuItemEnabled(menu, 0);
    DisableMenuItem(menu, 0);
  }
  menusEnabled = false;
}

void EnableAllMenus() {
  if (OSXMode() && menusEnabled) return;
  for (SInt16 id = kFirstMenuID; id <= kLastMenuID; ++id) {
    MenuRef menu = GetMenuHandle(id);
    if (menu && isEnabled[id - kFirstMenuID]) EnableMenuItem(menu, 0);
  }
  menusEnabled = true;
}

// No system call hides the system's interface here, so the capture swallows
// the shortcuts with items of its own: Command-Shift-Q, Command-H and
// Command-Option-H.
void CaptureMenus(bool capture) {
  MenuRef apple = GetMenuHandle(kAppleMenuID);
  if (capture) {
    // A command that was off before the capture (the game disables
    // Preferences, which it ignores) stays off after the release.
    for (size_t i = 0; i < std::size(kCapturedCommands); ++i) {
      MenuRef menu = nullptr;
      SInt16 item = 0;
      commandWasEnabled[i] = GetIndMenuItemWithCommandID(apple, kCapturedCommands[i], 1, &menu, &item) == noErr &&
                             menu && IsMenuItemEnabled(menu, item);
    }
    MenuTrackCancel();
    DisableAllMenus();
    MenuRef swallow = NewMenu(kSwallowMenuID, (const unsigned char*)"");
    AppendMenu(swallow, (const unsigned char*)"\3 /Q");
    SetMenuItemModifiers(swallow, 1, kMenuShiftModifier);
    InsertMenu(swallow, 0);
    for (UInt32 command : kCapturedCommands) DisableMenuCommand(apple, command);
    if (!apple) return;
    AppendMenu(apple, (const unsigned char*)"\6hide/H");
    hideItemId = CountMenuItems(apple);
    AppendMenu(apple, (const unsigned char*)"\15hide others/H");
    hideOthersItemId = CountMenuItems(apple);
    SetMenuItemModifiers(apple, hideOthersItemId, kMenuOptionModifier);
  } else {
    EnableAllMenus();
    DisposeMenu(GetMenuHandle(kSwallowMenuID));
    for (size_t i = 0; i < std::size(kCapturedCommands); ++i)
      if (commandWasEnabled[i]) EnableMenuCommand(apple, kCapturedCommands[i]);
    if (!apple) return;
    DeleteMenuItem(apple, hideItemId);
    DeleteMenuItem(apple, hideItemId);
  }
}
