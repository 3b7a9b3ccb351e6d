#include "graphics/MenuBarGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/ImageBuffer.h"
#include "graphics/InterfaceFont.h"
#include "graphics/TextRender.h"
#include "platform/MenuModel.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Menus.h"
#include "shell/Startup.h"

namespace {

constexpr float kTextSize = 13.0f;
// The baseline, down from the top of a title or an item.
constexpr float kTitleBaseline = 15.0f, kItemBaseline = 14.0f;

struct Shade {
  float r, g, b;
};
constexpr Shade kBar{0.93f, 0.93f, 0.94f}, kBarEdge{0.62f, 0.62f, 0.66f}, kInk{0.08f, 0.08f, 0.1f},
    kDimInk{0.58f, 0.58f, 0.6f}, kHilite{0.2f, 0.38f, 0.78f}, kHiliteInk{1.0f, 1.0f, 1.0f},
    kMenuFill{0.98f, 0.98f, 0.98f}, kMenuEdge{0.55f, 0.55f, 0.58f}, kRule{0.82f, 0.82f, 0.84f};

// The interface font, else the bundle's own.
FT_Face MenuFont() {
  static FT_Face face = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    face = InterfaceFont();
    if (!face && !fontsFoldURL.empty()) face = LoadFont((fontsFoldURL + "VAG Rounded BT.ttf").c_str());
  }
  return face;
}

SInt16 FontWidth(const std::string& text) {
  int w = DrawTextWidth(text.c_str(), MenuFont(), kTextSize);
  return SInt16(w < 0 ? 7 * text.size() : size_t(w));
}

void SetColour(ImageBuffer* b, Shade s) {
  b->color.red = s.r;
  b->color.green = s.g;
  b->color.blue = s.b;
  b->color.alpha = 1.0f;
}

void Fill(ImageBuffer* b, Rect r, Shade s) {
  SetColour(b, s);
  b->PaintRect(&r);
}

void Text(ImageBuffer* b, const std::string& text, float x, float baseline, Shade s, char align = 0) {
  if (!MenuFont()) return;
  SetColour(b, s);
  DrawText(b, text.c_str(), MenuFont(), kTextSize, x, baseline, align);
}

// A tick, drawn as two strokes two pixels wide.
void Tick(ImageBuffer* b, SInt16 left, SInt16 top, Shade s) {
  SetColour(b, s);
  for (SInt16 i = 0; i < 4; ++i) {
    Rect r{SInt16(top + 7 + i), SInt16(left + i), SInt16(top + 9 + i), SInt16(left + i + 2)};
    b->PaintRect(&r);
  }
  for (SInt16 i = 0; i < 7; ++i) {
    Rect r{SInt16(top + 9 - i), SInt16(left + 4 + i), SInt16(top + 11 - i), SInt16(left + 6 + i)};
    b->PaintRect(&r);
  }
}

// One picture, kept between frames and drawn again only when its key (a
// summary of everything it shows) changes.
struct Picture {
  ImageBuffer image;
  std::vector<UInt8> rows;  // bottom row first, for glDrawPixels
  std::string key;

  void Flip() {
    size_t row = size_t(image.Width()) * 4;
    rows.resize(row * size_t(image.Height()));
    for (SInt32 y = 0; y < image.Height(); ++y)
      std::copy_n(image.pixels + row * size_t(y), row, rows.data() + row * size_t(image.Height() - 1 - y));
  }

  // At window pixels (left, top), with the window `height` pixels high.
  void Draw(SInt32 left, SInt32 top, SInt32 height) const {
    if (rows.empty()) return;
    glRasterPos2f(float(left) + 0.5f, float(height - top - image.Height()) + 0.5f);
    glDrawPixels(image.Width(), image.Height(), GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  }
};

std::string MenuKey(MenuRef menu) {
  std::string key = std::to_string(menu->id) + (menu->enabled ? "+" : "-") + MenuTitleText(menu) + "|";
  for (const MenuItemRecord& item : menu->items)
    key += MenuDisplayText(item.text) + (item.enabled ? "+" : "-") + (item.checked ? "v" : "") +
           (item.separator ? "_" : "") + MenuKeyText(item) + "|";
  return key;
}

void DrawBar(Picture* bar, SInt32 width) {
  std::string key = std::to_string(width) + "/" + std::to_string(HilitedMenu()) + "/";
  std::vector<MenuRef> menus = MenuBarShownMenus();
  for (MenuRef m : menus) key += MenuTitleText(m) + (m->enabled ? "+" : "-") + "|";
  if (key == bar->key) return;
  bar->key = key;
  bar->image.Init(width, kMenuBarHeight);
  ImageBuffer* b = &bar->image;
  Fill(b, Rect{0, 0, kMenuBarHeight, SInt16(width)}, kBar);
  Fill(b, Rect{SInt16(kMenuBarHeight - 1), 0, kMenuBarHeight, SInt16(width)}, kBarEdge);
  for (MenuRef m : menus) {
    Rect r = MenuTitleRect(m);
    bool lit = m->id == HilitedMenu();
    if (lit) Fill(b, Rect{0, r.left, SInt16(kMenuBarHeight - 1), r.right}, kHilite);
    Shade ink = lit ? kHiliteInk : m->enabled ? kInk : kDimInk;
    float x = float(r.left + kMenuTitlePadding);
    Text(b, MenuTitleText(m), x, kTitleBaseline, ink);
    // The application's menu shows its title in bold, drawn twice.
    if (m->id == kAppleMenuID) Text(b, MenuTitleText(m), x + 1, kTitleBaseline, ink);
  }
  bar->Flip();
}

void DrawDrop(Picture* drop, MenuRef menu, SInt16 hot) {
  Rect frame = MenuDropRect(menu);
  SInt16 w = SInt16(frame.right - frame.left), h = SInt16(frame.bottom - frame.top);
  std::string key = MenuKey(menu) + std::to_string(hot) + "/" + std::to_string(w);
  if (key == drop->key) return;
  drop->key = key;
  drop->image.Init(w, h);
  ImageBuffer* b = &drop->image;
  Fill(b, Rect{0, 0, h, w}, kMenuEdge);
  Fill(b, Rect{1, 1, SInt16(h - 1), SInt16(w - 1)}, kMenuFill);
  for (SInt16 i = 1; i <= CountMenuItems(menu); ++i) {
    const MenuItemRecord& item = menu->items[size_t(i - 1)];
    Rect r = MenuItemRect(menu, i);
    SInt16 top = SInt16(r.top - frame.top);
    if (item.separator) {
      SInt16 mid = SInt16(top + kMenuSeparatorHeight / 2);
      Fill(b, Rect{mid, 1, SInt16(mid + 1), SInt16(w - 1)}, kRule);
      continue;
    }
    bool lit = i == hot;
    if (lit) Fill(b, Rect{top, 1, SInt16(top + kMenuItemHeight), SInt16(w - 1)}, kHilite);
    Shade ink = lit ? kHiliteInk : item.enabled && menu->enabled ? kInk : kDimInk;
    if (item.checked) Tick(b, 6, SInt16(top + 4), ink);
    Text(b, MenuDisplayText(item.text), kMenuTextLeft, float(top) + kItemBaseline, ink);
    std::string keys = MenuKeyText(item);
    if (!keys.empty()) Text(b, keys, float(w - kMenuTextRight), float(top) + kItemBaseline, ink, 2);
  }
  drop->Flip();
}

}  // namespace

void DrawMenuBarGL(SInt32 windowWidth, SInt32 windowHeight) {
  if (!menuBarINIT || !IsMenuBarVisible() || !AllEventsEnabled() || windowWidth <= 0 || windowHeight <= kMenuBarHeight)
    return;
  if (MenuFont()) menuTextWidthProc = FontWidth;
  static Picture* bar = new Picture;
  static Picture* drop = new Picture;
  DrawBar(bar, windowWidth);
  MenuRef open = GetMenuHandle(MenuTracking().openMenu);
  if (open) DrawDrop(drop, open, MenuTracking().hotItem);

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, windowWidth, 0, windowHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glPixelZoom(1.0f, 1.0f);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  bar->Draw(0, 0, windowHeight);
  if (open) {
    Rect frame = MenuDropRect(open);
    drop->Draw(frame.left, frame.top, windowHeight);
  }
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}
