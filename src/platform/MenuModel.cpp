#include "platform/MenuModel.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The menu bar lives as long as the program: never destroyed, so its menus
// stay reachable to the end rather than being orphaned by an exit-time
// destructor.
std::vector<MenuRef>& bar = *new std::vector<MenuRef>;

// Event modifier flags that item modifiers stand for.
constexpr UInt16 kCmd = 0x0100, kShift = 0x0200, kOption = 0x0800, kControl = 0x1000;

MenuItemRecord* Item(MenuRef menu, SInt16 item) {
  if (!menu || item < 1 || size_t(item) > menu->items.size()) return nullptr;
  return &menu->items[size_t(item - 1)];
}

void SetText(unsigned char* to, const unsigned char* from, size_t n) {
  n = std::min<size_t>(n, 255);
  to[0] = UInt8(n);
  memcpy(to + 1, from, n);
}

MenuItemRecord ParseItem(const unsigned char* text, size_t n) {
  MenuItemRecord item{};
  item.enabled = true;
  unsigned char plain[256];
  size_t length = 0;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = text[i];
    if (c == '/' && i + 1 < n)
      item.commandKey = char(text[++i]);
    else if (c == '(')
      item.enabled = false;
    else
      plain[length++] = c;
  }
  if (length == 1 && plain[0] == '-') {
    item.separator = true;
    item.enabled = false;
  }
  SetText(item.text, plain, length);
  return item;
}

bool ModifiersMatch(UInt8 itemModifiers, UInt16 modifiers) {
  if (itemModifiers & kMenuNoCommandModifier) return false;
  return ((itemModifiers & kMenuShiftModifier) != 0) == ((modifiers & kShift) != 0) &&
         ((itemModifiers & kMenuOptionModifier) != 0) == ((modifiers & kOption) != 0) &&
         ((itemModifiers & kMenuControlModifier) != 0) == ((modifiers & kControl) != 0);
}

}  // namespace

MenuRef NewMenu(SInt16 id, const unsigned char* title) {
  auto* menu = new OpaqueMenuRef{};
  menu->id = id;
  SetText(menu->title, title + 1, title[0]);
  menu->enabled = true;
  return menu;
}

void DisposeMenu(MenuRef menu) {
  if (!menu) return;
  bar.erase(std::remove(bar.begin(), bar.end(), menu), bar.end());
  delete menu;
}

void InsertMenu(MenuRef menu, SInt16 beforeID) {
  if (!menu || GetMenuHandle(menu->id)) return;
  auto at = std::find_if(bar.begin(), bar.end(), [beforeID](MenuRef m) { return m->id == beforeID; });
  bar.insert(beforeID ? at : bar.end(), menu);
}

void DeleteMenu(SInt16 id) {
  bar.erase(std::remove_if(bar.begin(), bar.end(), [id](MenuRef m) { return m->id == id; }), bar.end());
}

void ClearMenuBar() {
  for (MenuRef m : bar) delete m;
  bar.clear();
}

MenuRef GetMenuHandle(SInt16 id) {
  for (MenuRef m : bar)
    if (m->id == id) return m;
  return nullptr;
}

const std::vector<MenuRef>& MenuBarMenus() { return bar; }

void AppendMenu(MenuRef menu, const unsigned char* text) {
  if (!menu) return;
  size_t start = 1, end = size_t(text[0]) + 1;
  for (size_t i = 1; i <= end; ++i) {
    if (i < end && text[i] != ';') continue;
    menu->items.push_back(ParseItem(text + start, i - start));
    start = i + 1;
  }
}

void InsertMenuItemText(MenuRef menu, const unsigned char* text, SInt16 afterItem) {
  if (!menu) return;
  MenuItemRecord item{};
  item.enabled = true;
  SetText(item.text, text + 1, text[0]);
  size_t at = std::clamp<size_t>(size_t(std::max<SInt16>(afterItem, 0)), 0, menu->items.size());
  menu->items.insert(menu->items.begin() + long(at), item);
}

void DeleteMenuItem(MenuRef menu, SInt16 item) {
  if (Item(menu, item)) menu->items.erase(menu->items.begin() + (item - 1));
}

SInt16 CountMenuItems(MenuRef menu) { return menu ? SInt16(menu->items.size()) : 0; }

void GetMenuItemText(MenuRef menu, SInt16 item, unsigned char* text) {
  MenuItemRecord* i = Item(menu, item);
  if (i)
    memcpy(text, i->text, size_t(i->text[0]) + 1);
  else
    text[0] = 0;
}

void SetMenuItemText(MenuRef menu, SInt16 item, const unsigned char* text) {
  if (MenuItemRecord* i = Item(menu, item)) SetText(i->text, text + 1, text[0]);
}

void EnableMenuItem(MenuRef menu, SInt16 item) {
  if (menu && item == 0)
    menu->enabled = true;
  else if (MenuItemRecord* i = Item(menu, item))
    i->enabled = true;
}

void DisableMenuItem(MenuRef menu, SInt16 item) {
  if (menu && item == 0)
    menu->enabled = false;
  else if (MenuItemRecord* i = Item(menu, item))
    i->enabled = false;
}

bool IsMenuItemEnabled(MenuRef menu, SInt16 item) {
  if (menu && item == 0) return menu->enabled;
  MenuItemRecord* i = Item(menu, item);
  return i && i->enabled;
}

void CheckMenuItem(MenuRef menu, SInt16 item, bool checked) {
  if (MenuItemRecord* i = Item(menu, item)) i->checked = checked;
}

bool IsMenuItemChecked(MenuRef menu, SInt16 item) {
  MenuItemRecord* i = Item(menu, item);
  return i && i->checked;
}

void SetMenuItemCommandID(MenuRef menu, SInt16 item, UInt32 command) {
  if (MenuItemRecord* i = Item(menu, item)) i->command = command;
}

UInt32 GetMenuItemCommandID(MenuRef menu, SInt16 item) {
  MenuItemRecord* i = Item(menu, item);
  return i ? i->command : 0;
}

void SetMenuItemCommandKey(MenuRef menu, SInt16 item, char key) {
  if (MenuItemRecord* i = Item(menu, item)) i->commandKey = key;
}

void SetMenuItemModifiers(MenuRef menu, SInt16 item, UInt8 modifiers) {
  if (MenuItemRecord* i = Item(menu, item)) i->modifiers = modifiers;
}

OSStatus GetIndMenuItemWithCommandID(MenuRef menu, UInt32 command, UInt32 index, MenuRef* outMenu, SInt16* outItem) {
  std::vector<MenuRef> menus = menu ? std::vector<MenuRef>{menu} : bar;
  UInt32 seen = 0;
  for (MenuRef m : menus)
    for (size_t i = 0; i < m->items.size(); ++i) {
      if (command == 0 || m->items[i].command != command || ++seen != index) continue;
      if (outMenu) *outMenu = m;
      if (outItem) *outItem = SInt16(i + 1);
      return noErr;
    }
  return menuItemNotFoundErr;
}

void EnableMenuCommand(MenuRef menu, UInt32 command) {
  MenuRef m;
  SInt16 item;
  if (GetIndMenuItemWithCommandID(menu, command, 1, &m, &item) == noErr) EnableMenuItem(m, item);
}

void DisableMenuCommand(MenuRef menu, UInt32 command) {
  MenuRef m;
  SInt16 item;
  if (GetIndMenuItemWithCommandID(menu, command, 1, &m, &item) == noErr) DisableMenuItem(m, item);
}

SInt32 MenuKey(char key, UInt16 modifiers) {
  if (!(modifiers & kCmd) || !key) return 0;
  int wanted = tolower(UInt8(key));
  for (MenuRef m : bar) {
    if (!m->enabled) continue;
    for (size_t i = 0; i < m->items.size(); ++i) {
      const MenuItemRecord& item = m->items[i];
      if (item.enabled && item.commandKey && tolower(UInt8(item.commandKey)) == wanted &&
          ModifiersMatch(item.modifiers, modifiers))
        return SInt32(m->id) << 16 | SInt32(i + 1);
    }
  }
  return 0;
}

namespace {

SInt16 hilitedMenu;
MenuTrackState tracking;
Str255 applicationMenuTitle;

SInt16 CountingWidth(const std::string& text) { return SInt16(7 * text.size()); }

bool IsApplicationMenuTitle(const unsigned char* title) { return title[0] == 1 && title[1] == 0x14; }

bool InRect(Point p, const Rect& r) { return p.v >= r.top && p.v < r.bottom && p.h >= r.left && p.h < r.right; }

SInt16 ItemHeight(const MenuItemRecord& item) { return item.separator ? kMenuSeparatorHeight : kMenuItemHeight; }

bool Choosable(MenuRef menu, SInt16 item) {
  const MenuItemRecord* i = Item(menu, item);
  return menu && menu->enabled && i && i->enabled && !i->separator;
}

void Close() {
  tracking.openMenu = 0;
  tracking.hotItem = 0;
  tracking.pressed = false;
  tracking.openedByPress = false;
  hilitedMenu = 0;
}

void Open(MenuRef menu) {
  tracking.openMenu = menu->id;
  tracking.hotItem = 0;
  hilitedMenu = menu->id;
}

}  // namespace

SInt16 (*menuTextWidthProc)(const std::string& text) = CountingWidth;

void SetApplicationMenuTitle(const unsigned char* title) { SetText(applicationMenuTitle, title + 1, title[0]); }

void DrawMenuBar() {}
SInt16 GetMBarHeight() { return kMenuBarHeight; }
void HiliteMenu(SInt16 id) { hilitedMenu = id; }
SInt16 HilitedMenu() { return hilitedMenu; }

std::string MenuDisplayText(const unsigned char* text) {
  std::string out;
  for (size_t i = 1; i <= text[0]; ++i) {
    unsigned char c = text[i];
    if (c == 0xC9)
      out += "...";
    else if (c < 0x80)
      out += char(c);
    else
      out += '?';
  }
  return out;
}

std::string MenuTitleText(MenuRef menu) {
  if (!menu) return "";
  return MenuDisplayText(IsApplicationMenuTitle(menu->title) ? applicationMenuTitle : menu->title);
}

std::string MenuKeyText(const MenuItemRecord& item) {
  if (!item.commandKey || (item.modifiers & kMenuNoCommandModifier)) return "";
  std::string text = "Ctrl+";
  if (item.modifiers & kMenuOptionModifier) text += "Alt+";
  if (item.modifiers & kMenuShiftModifier) text += "Shift+";
  return text + char(toupper(UInt8(item.commandKey)));
}

std::vector<MenuRef> MenuBarShownMenus() {
  std::vector<MenuRef> shown;
  for (MenuRef m : bar)
    if (!MenuTitleText(m).empty()) shown.push_back(m);
  return shown;
}

Rect MenuTitleRect(MenuRef menu) {
  SInt16 left = kMenuTitleLeft;
  for (MenuRef m : MenuBarShownMenus()) {
    SInt16 width = SInt16(menuTextWidthProc(MenuTitleText(m)) + 2 * kMenuTitlePadding);
    if (m == menu) return Rect{0, left, kMenuBarHeight, SInt16(left + width)};
    left = SInt16(left + width);
  }
  return Rect{0, 0, 0, 0};
}

Rect MenuDropRect(MenuRef menu) {
  Rect title = MenuTitleRect(menu);
  if (title.right <= title.left) return Rect{0, 0, 0, 0};
  SInt16 width = SInt16(title.right - title.left), height = 2 * kMenuFrame;
  for (const MenuItemRecord& item : menu->items) {
    height = SInt16(height + ItemHeight(item));
    std::string key = MenuKeyText(item);
    SInt16 w = SInt16(kMenuTextLeft + menuTextWidthProc(MenuDisplayText(item.text)) + kMenuTextRight);
    if (!key.empty()) w = SInt16(w + kMenuKeyGap + menuTextWidthProc(key));
    width = std::max(width, w);
  }
  return Rect{kMenuBarHeight, title.left, SInt16(kMenuBarHeight + height), SInt16(title.left + width)};
}

Rect MenuItemRect(MenuRef menu, SInt16 item) {
  Rect drop = MenuDropRect(menu);
  if (!Item(menu, item) || drop.bottom <= drop.top) return Rect{0, 0, 0, 0};
  SInt16 top = SInt16(drop.top + kMenuFrame);
  for (SInt16 i = 1; i < item; ++i) top = SInt16(top + ItemHeight(menu->items[size_t(i - 1)]));
  return Rect{top, drop.left, SInt16(top + ItemHeight(menu->items[size_t(item - 1)])), drop.right};
}

MenuRef MenuTitleAt(Point p) {
  for (MenuRef m : MenuBarShownMenus())
    if (InRect(p, MenuTitleRect(m))) return m;
  return nullptr;
}

SInt16 MenuItemAt(MenuRef menu, Point p) {
  if (!menu || !InRect(p, MenuDropRect(menu))) return 0;
  // The frame between the bar and the first item belongs to that item, as
  // the top edge of a menu does on the desktop: a press just below the
  // title lands on something.
  if (CountMenuItems(menu) > 0 && p.v < MenuItemRect(menu, 1).top) return 1;
  for (SInt16 i = 1; i <= CountMenuItems(menu); ++i)
    if (InRect(p, MenuItemRect(menu, i))) return i;
  return 0;
}

const MenuTrackState& MenuTracking() { return tracking; }

bool MenuTrackDown(Point p) {
  MenuRef open = GetMenuHandle(tracking.openMenu);
  if (!open) tracking.openMenu = 0;
  if (MenuRef title = MenuTitleAt(p)) {
    if (open == title) {
      Close();
    } else {
      Open(title);
      tracking.pressed = true;
      tracking.openedByPress = true;
    }
    return true;
  }
  if (!open) return false;
  if (InRect(p, MenuDropRect(open))) {
    tracking.pressed = true;
    tracking.openedByPress = false;
    SInt16 item = MenuItemAt(open, p);
    tracking.hotItem = Choosable(open, item) ? item : 0;
  } else {
    Close();
  }
  return true;
}

void MenuTrackMove(Point p) {
  MenuRef open = GetMenuHandle(tracking.openMenu);
  if (!open) return;
  MenuRef title = MenuTitleAt(p);
  if (title && title != open) {
    Open(title);
    return;
  }
  SInt16 item = MenuItemAt(open, p);
  tracking.hotItem = Choosable(open, item) ? item : 0;
}

SInt32 MenuTrackUp(Point p) {
  MenuRef open = GetMenuHandle(tracking.openMenu);
  if (!open || !tracking.pressed) return 0;
  bool clickOnTitle = tracking.openedByPress && MenuTitleAt(p) == open;
  tracking.pressed = false;
  tracking.openedByPress = false;
  SInt16 item = MenuItemAt(open, p);
  if (Choosable(open, item)) {
    SInt16 id = open->id;
    Close();
    hilitedMenu = id;  // the title stays lit while the choice is handled
    return SInt32(id) << 16 | item;
  }
  if (!clickOnTitle && !InRect(p, MenuDropRect(open)))
    Close();
  else if (!clickOnTitle && item)
    Close();  // a separator or a disabled item
  return 0;
}

void MenuTrackCancel() { Close(); }
