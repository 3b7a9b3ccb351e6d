#include "graphics/RenderedDialogs.h"

#include <GL/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/MainTimer.h"
#include "foundation/Paths.h"
#include "foundation/TextEncodings.h"
#include "foundation/Timer.h"
#include "graphics/ImageBuffer.h"
#include "graphics/ImageGL.h"
#include "graphics/InterfaceFont.h"
#include "graphics/OpenGLContext.h"
#include "graphics/PNGFile.h"
#include "graphics/TextRender.h"
#include "platform/DialogModel.h"
#include "platform/DialogSurface.h"
#include "platform/EventPlatform.h"
#include "platform/FontCatalog.h"
#include "platform/GLWindow.h"
#include "platform/KeyCodes.h"
#include "platform/MenuModel.h"
#include "platform/PlatformTime.h"
#include "platform/QuickDrawColor.h"
#include "platform/QuickDrawPicture.h"
#include "shell/Startup.h"

namespace {

constexpr float kTextSize = 12.0f;
constexpr SInt16 kCell = 12;  // a colour cell's side
constexpr SInt16 kPopupItemHeight = 18;
constexpr SInt16 kIconSide = 32;

FT_Face DialogFont() { return InterfaceFont(); }

void SetColor(ImageBuffer* b, float r, float g, float bl) {
  b->color.red = r;
  b->color.green = g;
  b->color.blue = bl;
  b->color.alpha = 1.0f;
}

void Fill(ImageBuffer* b, Rect r, float grey) {
  SetColor(b, grey, grey, grey);
  b->PaintRect(&r);
}

void Frame(ImageBuffer* b, Rect r, float red, float green, float blue) {
  SetColor(b, red, green, blue);
  b->FrameRect(&r);
}

std::string Utf8(const std::string& macRoman) { return ConvertCStrToUnicode(macRoman.c_str()); }
std::string Title(ControlRef c) { return Utf8(std::string((const char*)c->title + 1, c->title[0])); }

// The characters of UTF-8 text; a byte that starts no character stands for
// the replacement character.
std::u32string Decode(const std::string& text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = (unsigned char)text[i];
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    char32_t cp = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
    bool ok = extra >= 0 && i + size_t(extra) < text.size() + (extra == 0 ? 1 : 0);
    for (int k = 1; ok && k <= extra; ++k) {
      unsigned char next = (unsigned char)text[i + size_t(k)];
      if ((next >> 6) != 2) ok = false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += size_t(extra) + 1;
  }
  return out;
}

// How a text is drawn: its face and size, bold, italic and underlined, and
// its colour (components 0 to 1).
struct TextLook {
  FT_Face face = nullptr;
  float size = kTextSize;
  bool bold = false, italic = false, underline = false;
  float r = 0, g = 0, b = 0;
};

TextLook Plain(float r = 0, float g = 0, float b = 0) {
  TextLook look;
  look.face = DialogFont();
  look.r = r;
  look.g = g;
  look.b = b;
  return look;
}

// The look of a control's texts, `ink` grey but for what its font style
// sets: the font (by number; 0 is the dialog font), the size, the face
// (bold, italic, underline) and, while the control is enabled, the colour.
TextLook LookOf(ControlRef c, float ink) {
  TextLook look = Plain(ink, ink, ink);
  const ControlFontStyleRec& f = c->fontStyle;
  FontFace face;
  if ((f.flags & 1) && f.font != 0 && FontFaceOfNum(f.font, &face))
    if (FT_Face loaded = CatalogueFace(face.path, face.index)) look.face = loaded;
  if ((f.flags & 4) && f.size > 0) look.size = float(f.size);
  if (f.flags & 2) {
    look.bold = (f.style & 1) != 0;  // the face bits: bold 1, italic 2, underline 4
    look.italic = (f.style & 2) != 0;
    look.underline = (f.style & 4) != 0;
  }
  if ((f.flags & 8) && IsControlEnabled(c)) {
    look.r = f.foreColor.red / 65535.0f;
    look.g = f.foreColor.green / 65535.0f;
    look.b = f.foreColor.blue / 65535.0f;
  }
  return look;
}

// Loads one character's glyph in the look; false when the face has none.
bool LoadGlyph(const TextLook& look, char32_t cp, bool render) {
  FT_Face face = look.face;
  FT_Set_Transform(face, nullptr, nullptr);
  FT_Set_Char_Size(face, FT_F26Dot6(look.size * 64.0f), 0, 0, 0);
  if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT) != 0) return false;
  if (look.italic) FT_GlyphSlot_Oblique(face->glyph);
  if (look.bold) FT_GlyphSlot_Embolden(face->glyph);
  return !render || face->glyph->format == FT_GLYPH_FORMAT_BITMAP ||
         FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
}

int TextWidth(const std::string& utf8, const TextLook& look) {
  if (!look.face) return 0;
  FT_Pos pen = 0;
  for (char32_t cp : Decode(utf8))
    if (LoadGlyph(look, cp, false)) pen += look.face->glyph->advance.x;
  return int((pen + 63) >> 6);
}

int TextWidth(const std::string& utf8) { return TextWidth(utf8, Plain()); }

// UTF-8 text with its baseline at y, starting (align 0), centred (1) or
// ending (2) at x.
void Text(ImageBuffer* b, const std::string& utf8, float x, float y, char align, const TextLook& look) {
  FT_Face face = look.face;
  if (!face || !b->pixels) return;
  const int width = TextWidth(utf8, look);
  if (align == 1) x -= float(width / 2);
  if (align == 2) x -= float(width);
  const UInt8 rgb[3] = {UInt8(look.r * 255.0f + 0.5f), UInt8(look.g * 255.0f + 0.5f), UInt8(look.b * 255.0f + 0.5f)};
  FT_Pos pen = FT_Pos(x * 64.0f);
  for (char32_t cp : Decode(utf8)) {
    if (!LoadGlyph(look, cp, true)) continue;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    SInt32 left = SInt32(pen >> 6) + face->glyph->bitmap_left, top = SInt32(y) - face->glyph->bitmap_top;
    for (SInt32 row = 0; row < SInt32(bitmap.rows); ++row) {
      SInt32 v = top + row;
      if (v < 0 || v >= b->Height()) continue;
      for (SInt32 col = 0; col < SInt32(bitmap.width); ++col) {
        SInt32 h = left + col;
        if (h < 0 || h >= b->Width()) continue;
        const unsigned char* line = bitmap.buffer + row * bitmap.pitch;
        UInt32 coverage =
            bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? ((line[col / 8] >> (7 - col % 8)) & 1) * 255u : line[col];
        BlendCoverage(b->pixels + size_t(v) * b->rowBytes + size_t(h) * 4, rgb, coverage);
      }
    }
    pen += face->glyph->advance.x;
  }
  if (look.underline && width > 0) {
    SetColor(b, look.r, look.g, look.b);
    SInt16 top = SInt16(y + 2), thick = SInt16(std::max(1.0f, look.size / 12.0f));
    Rect line{top, SInt16(x), SInt16(top + thick), SInt16(x + float(width))};
    b->PaintRect(&line);
  }
}

void Text(ImageBuffer* b, const std::string& utf8, float x, float y, char align, float r = 0, float g = 0,
          float bl = 0) {
  Text(b, utf8, x, y, align, Plain(r, g, bl));
}

// Words wrapped into the rectangle, a line every 1.25 times the size (15
// pixels at the dialog size), each placed by the justification (-1 flush
// right, 1 centred, anything else flush left).
void WrappedText(ImageBuffer* b, const std::string& text, const Rect& r, const TextLook& look, SInt16 just = 0) {
  std::string line, word;
  float y = r.top + look.size;
  const float step = std::round(look.size * 1.25f);
  auto flush = [&] {
    if (just == 1)
      Text(b, line, (r.left + r.right) / 2.0f, y, 1, look);
    else if (just == -1)
      Text(b, line, r.right, y, 2, look);
    else
      Text(b, line, r.left, y, 0, look);
    y += step;
    line.clear();
  };
  for (size_t i = 0; i <= text.size(); ++i) {
    char c = i < text.size() ? text[i] : ' ';
    if (c != ' ' && c != '\r' && c != '\n') {
      word += c;
      continue;
    }
    std::string tried = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(tried, look) > r.right - r.left) {
      flush();
      tried = word;
    }
    line = tried;
    word.clear();
    if (c != ' ') flush();
  }
  if (!line.empty()) flush();
}

// A decoded picture file, straight alpha, rows top to bottom.
struct Image {
  SInt32 width = 0, height = 0;
  std::vector<UInt8> rgba;
};

// Picture files are decoded once; a file that cannot be read stays empty.
const Image& ImageFile(const std::string& path) {
  static std::map<std::string, Image> cache;
  auto found = cache.find(path);
  if (found != cache.end()) return found->second;
  Image& image = cache[path];
  SInt32 w = 0, h = 0;
  if (UInt8* pixels = path.empty() ? nullptr : LoadPNG(path.c_str(), &w, &h, 0, nullptr, nullptr)) {
    image.width = w;
    image.height = h;
    image.rgba.assign(pixels, pixels + size_t(w) * size_t(h) * 4);
    delete[] pixels;
  }
  return image;
}

// Draws the image into the rectangle, each pixel the average of the source
// pixels under it, blended over what is there at the given opacity.
void DrawImage(ImageBuffer* b, const Image& image, const Rect& r, float opacity) {
  SInt32 dw = r.right - r.left, dh = r.bottom - r.top;
  if (image.width <= 0 || image.height <= 0 || dw <= 0 || dh <= 0 || !b->pixels) return;
  for (SInt32 y = 0; y < dh; ++y) {
    SInt32 v = r.top + y;
    if (v < 0 || v >= b->Height()) continue;
    SInt32 sy0 = y * image.height / dh, sy1 = std::max(sy0 + 1, (y + 1) * image.height / dh);
    for (SInt32 x = 0; x < dw; ++x) {
      SInt32 h = r.left + x;
      if (h < 0 || h >= b->Width()) continue;
      SInt32 sx0 = x * image.width / dw, sx1 = std::max(sx0 + 1, (x + 1) * image.width / dw);
      double sum[4] = {0, 0, 0, 0};
      for (SInt32 sy = sy0; sy < sy1; ++sy)
        for (SInt32 sx = sx0; sx < sx1; ++sx) {
          const UInt8* p = image.rgba.data() + (size_t(sy) * size_t(image.width) + size_t(sx)) * 4;
          double a = p[3] / 255.0;
          for (int c = 0; c < 3; ++c) sum[c] += p[c] * a;
          sum[3] += a;
        }
      double n = double((sy1 - sy0) * (sx1 - sx0));
      double a = sum[3] / n * opacity;
      if (a <= 0) continue;
      UInt8* d = b->pixels + size_t(v) * b->rowBytes + size_t(h) * 4;
      for (int c = 0; c < 3; ++c) {
        double src = sum[3] > 0 ? sum[c] / sum[3] : 0;
        d[c] = UInt8(std::clamp(src * a + d[c] * (1 - a) + 0.5, 0.0, 255.0));
      }
      d[3] = 255;
    }
  }
}

// A picture of the model (opaque 0x00RRGGBB pixels) stretched into the rectangle.
void DrawPicture(ImageBuffer* b, PicHandle picture, const Rect& r) {
  if (!picture || !*picture || !(*picture)->pixels) return;
  const Picture& p = **picture;
  Image image;
  image.width = p.width;
  image.height = p.height;
  image.rgba.resize(size_t(p.width) * size_t(p.height) * 4);
  for (size_t i = 0; i < size_t(p.width) * size_t(p.height); ++i) {
    UInt32 px = p.pixels[i];
    image.rgba[i * 4] = UInt8(px >> 16);
    image.rgba[i * 4 + 1] = UInt8(px >> 8);
    image.rgba[i * 4 + 2] = UInt8(px);
    image.rgba[i * 4 + 3] = 255;
  }
  DrawImage(b, image, r, 1.0f);
}

// The icon a control shows: its own file, else the alert kind of an icon
// control, or of an icon reference given an icon number for its type (the
// note for any other icon reference without a file).
std::string IconFileOf(ControlRef c) {
  if (!c->iconPath.empty()) return c->iconPath;
  if (c->kind == kControlKindIcon) return AlertIconFile(c->value);
  if (c->kind == kControlKindIconRef) return AlertIconFile(c->iconType ? c->value : 1);
  return std::string();
}

Rect Inset(Rect r, SInt16 d) {
  return Rect{SInt16(r.top + d), SInt16(r.left + d), SInt16(r.bottom - d), SInt16(r.right - d)};
}

std::string TabTitle(ControlRef tabs, SInt16 n) {
  if (n >= 1 && size_t(n) <= tabs->items.size()) return Utf8(tabs->items[size_t(n - 1)]);
  return std::to_string(n);
}

Rect CellRect(ControlRef grid, SInt16 index) {
  SInt16 left = SInt16(grid->bounds.left + kCell * (index % 32)), top = SInt16(grid->bounds.top + kCell * (index / 32));
  return Rect{top, left, SInt16(top + kCell), SInt16(left + kCell)};
}

// The number area of a colour grid: 48 by 24 at its left, 2 pixels below it.
Rect NumberRect(ControlRef grid) {
  SInt16 top = SInt16(grid->bounds.bottom + 2);
  return Rect{top, grid->bounds.left, SInt16(top + 24), SInt16(grid->bounds.left + 48)};
}

bool Inside(const Rect& r, SInt16 h, SInt16 v) { return h >= r.left && h < r.right && v >= r.top && v < r.bottom; }

// Entry n of the colour table that the dialog's answer is read through.
RGBColor Entry(SInt16 n) {
  RGBColor c;
  Index2Color(n, &c);
  return c;
}

void SetEntryColor(ImageBuffer* b, SInt16 n) {
  RGBColor c = Entry(n);
  SetColor(b, c.red / 65535.0f, c.green / 65535.0f, c.blue / 65535.0f);
}

// A cell framed in black with, one pixel inside, a frame in entry 0's colour
// (or the other way round while a chosen cell blinks).
void HighlightCell(ImageBuffer* b, ControlRef grid, SInt16 index, bool swapped) {
  Rect cell = CellRect(grid, index), inner = Inset(cell, 1);
  if (swapped) {
    SetEntryColor(b, 0);
    b->FrameRect(&cell);
    Frame(b, inner, 0, 0, 0);
  } else {
    Frame(b, cell, 0, 0, 0);
    SetEntryColor(b, 0);
    b->FrameRect(&inner);
  }
}

void DrawArrow(ImageBuffer* b, SInt16 right, SInt16 midV, float ink) {
  // A small triangle pointing down.
  for (SInt16 row = 0; row < 4; ++row)
    Fill(b, Rect{SInt16(midV - 2 + row), SInt16(right - 14 + row), SInt16(midV - 1 + row), SInt16(right - 7 - row)},
         ink);
}

SInt16 MidV(const Rect& r) { return SInt16((r.top + r.bottom) / 2); }

// Push, round and bevel buttons: a bevel button's icon or picture stands
// above its title.
void DrawButton(ImageBuffer* b, ControlRef c, bool active, float ink) {
  const Rect& r = c->bounds;
  bool isDefault = c->isDefault || c->command == FOUR_CHAR('o', 'k', ' ', ' ');
  Fill(b, r, isDefault && active ? 0.75f : 0.97f);
  Frame(b, r, ink, ink, ink);
  if (isDefault) Frame(b, Inset(r, 1), ink, ink, ink);
  const Image& icon = ImageFile(c->iconPath);
  bool picture = c->picture && *c->picture;
  if (icon.width > 0 || picture) {
    SInt16 left = SInt16((r.left + r.right) / 2 - kIconSide / 2), top = SInt16(r.top + 4);
    Rect place{top, left, SInt16(top + kIconSide), SInt16(left + kIconSide)};
    if (icon.width > 0)
      DrawImage(b, icon, place, active ? 1.0f : 0.45f);
    else
      DrawPicture(b, c->picture, place);
    Text(b, Title(c), (r.left + r.right) / 2.0f, r.bottom - 6.0f, 1, LookOf(c, ink));
  } else {
    Text(b, Title(c), (r.left + r.right) / 2.0f, MidV(r) + 4.0f, 1, LookOf(c, ink));
  }
}

// A text field, with its caret while it has the keyboard.
void DrawEditText(ImageBuffer* b, ControlRef c, bool focused, float ink) {
  const Rect& r = c->bounds;
  Fill(b, r, 1.0f);
  Frame(b, r, focused ? 0.1f : 0.5f, focused ? 0.3f : 0.5f, focused ? 0.9f : 0.5f);
  std::string shown = c->password ? std::string(c->text.size(), '*') : Utf8(c->text);
  const TextLook look = LookOf(c, ink);
  Text(b, shown, r.left + 3.0f, r.bottom - 4.0f, 0, look);
  if (focused) {
    std::string before = c->password ? std::string(size_t(c->selEnd), '*') : c->text.substr(0, size_t(c->selEnd));
    SInt16 x = SInt16(r.left + 3 + TextWidth(c->password ? before : Utf8(before), look));
    Fill(b, Rect{SInt16(r.top + 2), x, SInt16(r.bottom - 2), SInt16(x + 1)}, 0.0f);
  }
}

// Check boxes and radio buttons: the box, its mark, the title beside it.
void DrawCheck(ImageBuffer* b, ControlRef c, float ink) {
  const Rect& r = c->bounds;
  SInt16 midV = MidV(r);
  Rect box{SInt16(midV - 6), r.left, SInt16(midV + 6), SInt16(r.left + 12)};
  Fill(b, box, 1.0f);
  Frame(b, box, ink, ink, ink);
  if (c->value) Fill(b, Inset(box, 3), ink);
  Text(b, Title(c), r.left + 18.0f, midV + 4.0f, 0, LookOf(c, ink));
}

void DrawTabs(ImageBuffer* b, ControlRef c, float ink) {
  const Rect& r = c->bounds;
  for (SInt16 n = 1; n <= c->maximum; ++n) {
    Rect t = DialogTabRect(c, n);
    Fill(b, t, n == c->value ? 0.75f : 0.97f);
    Frame(b, t, ink, ink, ink);
    Text(b, TabTitle(c, n), (t.left + t.right) / 2.0f, t.bottom - 7.0f, 1, ink, ink, ink);
  }
  Frame(b, Rect{SInt16(r.top + 22), r.left, r.bottom, r.right}, 0.5f, 0.5f, 0.5f);
}

void DrawSlider(ImageBuffer* b, ControlRef c, float ink) {
  const Rect& r = c->bounds;
  SInt16 midV = MidV(r);
  Fill(b, Rect{SInt16(midV - 1), r.left, SInt16(midV + 1), r.right}, 0.4f);
  SInt32 span = std::max(1, c->maximum - c->minimum);
  SInt16 x = SInt16(r.left + (r.right - r.left - 8) * (c->value - c->minimum) / span);
  Fill(b, Rect{SInt16(midV - 7), x, SInt16(midV + 7), SInt16(x + 8)}, ink + 0.2f);
}

// A pop-up shows its title and the chosen item, with the arrow.
void DrawPopup(ImageBuffer* b, ControlRef c, float ink) {
  const Rect& r = c->bounds;
  SInt16 midV = MidV(r);
  Fill(b, r, 0.97f);
  Frame(b, r, ink, ink, ink);
  std::vector<std::string> items = PopupItems(c);
  SInt16 item = c->value;  // the chosen item, counted from 1
  std::string shown = item >= 1 && size_t(item) <= items.size() ? items[size_t(item - 1)] : std::to_string(c->value);
  std::string title = Title(c);
  Text(b, title.empty() ? shown : title + ": " + shown, r.left + 6.0f, midV + 4.0f, 0, LookOf(c, ink));
  DrawArrow(b, r.right, midV, ink);
}

// A bar filled to the value, or stripes while the length is not known.
void DrawProgress(ImageBuffer* b, ControlRef c) {
  const Rect& r = c->bounds;
  Fill(b, r, 1.0f);
  Frame(b, r, 0.3f, 0.3f, 0.3f);
  auto indeterminate = c->data.find(FOUR_CHAR('i', 'n', 'd', 'e'));
  if (indeterminate != c->data.end() && indeterminate->second) {
    for (SInt16 x = SInt16(r.left + 2); x < r.right - 2; x = SInt16(x + 16))
      Fill(b, Rect{SInt16(r.top + 2), x, SInt16(r.bottom - 2), SInt16(std::min<SInt32>(x + 8, r.right - 2))}, 0.55f);
  } else if (c->maximum > c->minimum) {
    SInt16 w = SInt16((r.right - r.left - 4) * (c->value - c->minimum) / (c->maximum - c->minimum));
    SetColor(b, 0.2f, 0.4f, 0.9f);
    Rect bar{SInt16(r.top + 2), SInt16(r.left + 2), SInt16(r.bottom - 2), SInt16(r.left + 2 + w)};
    b->PaintRect(&bar);
  }
}

// The colour grid: every entry, the chosen cell, the hovered one with its
// number, and the blink of a choice.
void DrawCellGrid(ImageBuffer* b, ControlRef c, const DialogHover& hover) {
  for (SInt16 i = 0; i < 256; ++i) {
    SetEntryColor(b, i);
    Rect cell = CellRect(c, i);
    b->PaintRect(&cell);
  }
  if (c->value >= 0 && c->value < 256) HighlightCell(b, c, c->value, false);
  if (hover.cell >= 0 && hover.cell < 256) {
    HighlightCell(b, c, hover.cell, false);
    Text(b, std::to_string(hover.cell), c->bounds.left + 4.0f, NumberRect(c).bottom - 7.0f, 0);
  }
  if (hover.blinkCell >= 0 && hover.blinkCell < 256) HighlightCell(b, c, hover.blinkCell, !hover.blinkDark);
  Frame(b, Inset(c->bounds, -2), 0, 0, 0);
}

void DrawLink(ImageBuffer* b, ControlRef c) {
  const Rect& r = c->bounds;
  std::string title = Title(c);
  Text(b, title, r.left, r.top + 16.0f, 0, 0, 0, 1);
  SetColor(b, 0, 0, 1);
  Rect line{SInt16(r.top + 18), r.left, SInt16(r.top + 19), SInt16(r.left + TextWidth(title))};
  b->PaintRect(&line);
}

void DrawControl(ImageBuffer* b, WindowRef dialog, ControlRef c, const DialogHover& hover) {
  bool active = IsControlEnabled(c);
  float ink = active ? 0.0f : 0.6f;
  const Rect& r = c->bounds;
  switch (c->kind) {
    case kControlKindStaticText:
      WrappedText(b, Utf8(c->text), r, LookOf(c, ink), (c->fontStyle.flags & 64) ? c->fontStyle.just : SInt16(0));
      break;
    case kControlKindPushButton:
    case kControlKindRoundButton:
    case kControlKindBevelButton: DrawButton(b, c, active, ink); break;
    case kControlKindEditText: DrawEditText(b, c, GetKeyboardFocus(dialog) == c, ink); break;
    case kControlKindCheckBox:
    case kControlKindRadioButton: DrawCheck(b, c, ink); break;
    case kControlKindTabs: DrawTabs(b, c, ink); break;
    case kControlKindSlider: DrawSlider(b, c, ink); break;
    case kControlKindPopupButton: DrawPopup(b, c, ink); break;
    case kControlKindProgressBar: DrawProgress(b, c); break;
    case kControlKindCellGrid: DrawCellGrid(b, c, hover); break;
    case kControlKindLink: DrawLink(b, c); break;
    case kControlKindIcon:
    case kControlKindIconRef:
      DrawImage(b, ImageFile(IconFileOf(c)), Rect{r.top, r.left, SInt16(r.top + kIconSide), SInt16(r.left + kIconSide)},
                1.0f);
      break;
    case kControlKindPicture: DrawPicture(b, c->picture, r); break;
    case kControlKindGroupBox:
    case kControlKindUserPane:
      if (c->title[0]) {
        Frame(b, r, 0.6f, 0.6f, 0.6f);
        Text(b, Title(c), r.left + 6.0f, r.top - 2.0f, 0, LookOf(c, ink));
      }
      break;
    default: break;
  }
}

void DrawTree(ImageBuffer* b, WindowRef dialog, ControlRef parent, const DialogHover& hover) {
  for (ControlRef c : parent->children) {
    if (!c->visible) continue;
    DrawControl(b, dialog, c, hover);
    DrawTree(b, dialog, c, hover);
  }
}

// An open pop-up menu over everything else: its items, the chosen one
// ticked, the one under the pointer highlighted.
void DrawPopupMenu(ImageBuffer* b, ControlRef popup, SInt16 height, SInt16 highlighted) {
  Rect menu = PopupMenuRect(popup, height);
  Fill(b, Inset(menu, -1), 0.3f);
  Fill(b, menu, 1.0f);
  std::vector<std::string> items = PopupItems(popup);
  SInt16 chosen = popup->value;
  for (SInt16 n = 1; n <= SInt16(items.size()); ++n) {
    Rect item = PopupItemRect(popup, height, n);
    bool lit = n == highlighted;
    if (lit) {
      SetColor(b, 0.2f, 0.4f, 0.9f);
      b->PaintRect(&item);
    }
    float ink = lit ? 1.0f : 0.0f;
    if (n == chosen) Text(b, "\xE2\x9C\x93", item.left + 4.0f, item.bottom - 5.0f, 0, ink, ink, ink);
    Text(b, items[size_t(n - 1)], item.left + 20.0f, item.bottom - 5.0f, 0, ink, ink, ink);
  }
}

bool Clickable(ControlRef c) {
  switch (c->kind) {
    case kControlKindStaticText:
    case kControlKindIcon:
    case kControlKindIconRef:
    case kControlKindUserPane:
    case kControlKindGroupBox:
    case kControlKindProgressBar:
    case kControlKindPicture: return false;
    default: return true;
  }
}

// The folders that hold icon themes, as the desktop names them: the user's
// data folder, then the system's data folders.
std::vector<std::string> IconFolders() {
  std::vector<std::string> folders;
  const char* home = getenv("XDG_DATA_HOME");
  const char* user = getenv("HOME");
  if (home && *home)
    folders.push_back(std::string(home) + "/icons");
  else if (user && *user)
    folders.push_back(std::string(user) + "/.local/share/icons");
  const char* dirs = getenv("XDG_DATA_DIRS");
  std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  for (size_t at = 0; at <= list.size();) {
    size_t end = list.find(':', at);
    if (end == std::string::npos) end = list.size();
    if (end > at) folders.push_back(list.substr(at, end - at) + "/icons");
    at = end + 1;
  }
  return folders;
}

}  // namespace

std::string AlertIconFile(SInt16 kind) {
  static const char* const names[] = {"dialog-error.png", "dialog-information.png", "dialog-warning.png"};
  static const char* const own[] = {"Stop.png", "Note.png", "Caution.png"};
  size_t k = kind >= 0 && kind <= 2 ? size_t(kind) : 1;
  // Found once for each set of folders and bundle.
  std::vector<std::string> folders = IconFolders();
  std::string key = std::to_string(k) + "\n" + GetResourcesPath();
  for (const std::string& folder : folders) key += "\n" + folder;
  static std::map<std::string, std::string> found;
  auto known = found.find(key);
  if (known != found.end()) return known->second;
  std::string& file = found[key];
  file = GetResourcesPath() + "/QK Resources/" + own[k];
  namespace fs = std::filesystem;
  std::error_code error;
  for (const std::string& folder : folders) {
    // The default desktop theme first, then the others in name order.
    std::vector<fs::path> themes;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) themes.push_back(entry.path());
    std::sort(themes.begin(), themes.end(), [](const fs::path& a, const fs::path& b) {
      bool aFirst = a.filename() == "Adwaita", bFirst = b.filename() == "Adwaita";
      return aFirst != bFirst ? aFirst : a < b;
    });
    for (const fs::path& theme : themes)
      for (const char* size : {"32x32", "48x48", "64x64", "24x24", "96x96", "256x256"})
        for (const char* context : {"status", "legacy", "apps"}) {
          fs::path themed = theme / size / context / names[k];
          if (fs::is_regular_file(themed, error)) return file = themed.string();
        }
  }
  return file;
}

std::vector<std::string> PopupItems(ControlRef popup) {
  std::vector<std::string> items;
  if (!popup) return items;
  if (popup->popupMenu) {
    for (const MenuItemRecord& item : popup->popupMenu->items)
      items.push_back(Utf8(std::string((const char*)item.text + 1, item.text[0])));
  } else {
    for (const std::string& item : popup->items) items.push_back(Utf8(item));
  }
  return items;
}

Rect DialogTabRect(ControlRef tabs, SInt16 n) {
  SInt16 left = SInt16(tabs->bounds.left + 8);
  for (SInt16 k = 1; k <= n; ++k) {
    SInt16 width = SInt16(std::max(80, TextWidth(TabTitle(tabs, k)) + 20));
    if (k == n) return Rect{tabs->bounds.top, left, SInt16(tabs->bounds.top + 22), SInt16(left + width)};
    left = SInt16(left + width + 4);
  }
  return Rect{0, 0, 0, 0};
}

// The menu opens with the chosen item over the pop-up, moved up or down as
// far as it must to stay inside the dialog.
Rect PopupMenuRect(ControlRef popup, SInt16 dialogHeight) {
  SInt16 count = SInt16(PopupItems(popup).size());
  SInt16 height = SInt16(count * kPopupItemHeight);
  SInt16 chosen = std::clamp<SInt16>(popup->value, 1, std::max<SInt16>(count, 1));
  SInt16 itemTop = SInt16((popup->bounds.top + popup->bounds.bottom) / 2 - kPopupItemHeight / 2);
  SInt32 top = itemTop - (chosen - 1) * kPopupItemHeight;
  top = std::clamp<SInt32>(top, 1, std::max<SInt32>(1, dialogHeight - 1 - height));
  return Rect{SInt16(top), popup->bounds.left, SInt16(top + height), popup->bounds.right};
}

Rect PopupItemRect(ControlRef popup, SInt16 dialogHeight, SInt16 item) {
  Rect menu = PopupMenuRect(popup, dialogHeight);
  SInt16 top = SInt16(menu.top + (item - 1) * kPopupItemHeight);
  return Rect{top, menu.left, SInt16(top + kPopupItemHeight), menu.right};
}

SInt16 PopupItemAt(ControlRef popup, SInt16 dialogHeight, SInt16 h, SInt16 v) {
  Rect menu = PopupMenuRect(popup, dialogHeight);
  if (!Inside(menu, h, v)) return 0;
  return SInt16((v - menu.top) / kPopupItemHeight + 1);
}

void DrawDialog(WindowRef dialog, ImageBuffer* buffer, const DialogHover& hover) {
  DialogWindowRecord* record = DialogRecord(dialog);
  if (!record) return;
  SInt16 w = SInt16(record->bounds.right - record->bounds.left), h = SInt16(record->bounds.bottom - record->bounds.top);
  if (buffer->Width() != w || buffer->Height() != h) buffer->Init(w, h);
  Fill(buffer, Rect{0, 0, h, w}, 0.92f);
  DrawTree(buffer, dialog, &record->root, hover);
  if (hover.popup) DrawPopupMenu(buffer, hover.popup, h, hover.popupItem);
}

ControlRef DialogControlAt(WindowRef dialog, SInt16 h, SInt16 v, SInt16* part) {
  std::vector<ControlRef> all = AllControls(dialog);
  *part = 0;
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    ControlRef c = *it;
    if (!IsControlVisible(c) || !Clickable(c)) continue;
    if (c->kind == kControlKindTabs) {
      for (SInt16 n = 1; n <= c->maximum; ++n)
        if (Inside(DialogTabRect(c, n), h, v)) {
          *part = n;
          return c;
        }
      continue;
    }
    if (!Inside(c->bounds, h, v)) continue;
    if (c->kind == kControlKindCellGrid) {
      // Searched from the last cell down, as the grid is drawn.
      *part = -1;
      for (SInt16 i = 255; i >= 0; --i)
        if (Inside(CellRect(c, i), h, v)) {
          *part = i;
          break;
        }
    }
    return c;
  }
  return nullptr;
}

bool NeedsRenderedDialog(WindowRef dialog) {
  for (ControlRef c : AllControls(dialog)) {
    if (!IsControlVisible(c)) continue;
    switch (c->kind) {
      case kControlKindStaticText:
      case kControlKindIcon:
      case kControlKindIconRef:
      case kControlKindPushButton:
      case kControlKindLink: continue;
      default: return true;
    }
  }
  return false;
}

struct RenderedDialogPresenter::Surface {
  WindowPtr window = nullptr;
  GLContextRef context = nullptr;
  ImageBuffer picture;
  ImageGL image;
  DialogHover hover;
  WindowRef owner = nullptr;  // the game window the dialog took the focus from
};

RenderedDialogPresenter::RenderedDialogPresenter() = default;

RenderedDialogPresenter::~RenderedDialogPresenter() {
  while (!surfaces_.empty()) Dismiss(surfaces_.begin()->first);
}

WindowPtr RenderedDialogPresenter::SurfaceOf(WindowRef dialog) const {
  auto it = surfaces_.find(dialog);
  return it == surfaces_.end() ? nullptr : it->second->window;
}

void RenderedDialogPresenter::Dismiss(WindowRef dialog) {
  auto it = surfaces_.find(dialog);
  if (it == surfaces_.end()) return;
  Surface* s = it->second;
  const GLServices* gl = GetGLServices();
  if (s->context) {
    gl->makeCurrent(s->window, s->context);
    s->image.Dispose();
    glBindCACHE.ClearTexture();
    gl->makeCurrent(nullptr, nullptr);
    gl->deleteContext(s->context);
  }
  DisposeGLWindow(s->window);
  if (s->hover.handCursor) Platform().ArrowCursor();
  WindowRef owner = s->owner;
  delete s;
  surfaces_.erase(it);
  if (surfaces_.empty()) {
    // The game draws and uploads pictures right after an alert goes (a
    // table rendered anew): its window's context must be current again.
    if (owner && !DialogRecord(owner) && GetWRefCon(owner))
      gl->makeCurrent(owner, static_cast<OpenGLContext*>(GetWRefCon(owner))->context);
    TakeBackFocus(owner);
    EndDialogInput();
  }
}

RenderedDialogPresenter::Surface* RenderedDialogPresenter::Open(const DialogView& view) {
  WindowRef dialog = view.window;
  DialogWindowRecord* record = DialogRecord(dialog);
  if (!record) return nullptr;
  auto found = surfaces_.find(dialog);
  if (found != surfaces_.end()) return found->second;
  const GLServices* gl = GetGLServices();
  auto* s = new Surface;
  SInt32 w = record->bounds.right - record->bounds.left, h = record->bounds.bottom - record->bounds.top;
  s->window = NewGLWindow(view.title.c_str(), w, h, true);
  s->context = s->window ? gl->createContext(s->window) : nullptr;
  surfaces_[dialog] = s;
  if (!s->context) {
    Dismiss(dialog);
    return nullptr;
  }
  // Where the dialog's layout put it, above its parent: the game window, or
  // the window showing the dialog it was opened from.
  WindowRef over = view.parent;
  s->owner = view.parent;
  if (DialogRecord(over)) {
    auto parent = surfaces_.find(over);
    over = parent == surfaces_.end() ? nullptr : parent->second->window;
    s->owner = parent == surfaces_.end() ? nullptr : parent->second->owner;
  }
  PlaceDialogWindow(s->window, record->bounds, over);
  return s;
}

bool RenderedDialogPresenter::CanShow(const DialogView& view) { return Open(view) != nullptr; }

void RenderedDialogPresenter::Draw(Surface* s, WindowRef dialog) {
  const GLServices* gl = GetGLServices();
  gl->makeCurrent(s->window, s->context);
  glBindCACHE.ClearTexture();
  DrawDialog(dialog, &s->picture, s->hover);
  Rect all{0, 0, s->picture.Height(), s->picture.Width()};
  s->image.New(&s->picture, &all);
  SInt32 dw, dh;
  gl->drawableSize(s->window, &dw, &dh);
  glViewport(0, 0, dw, dh);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, all.right, all.bottom, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.92f, 0.92f, 0.92f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  s->image.Draw(&all);
  glFinish();
  if (afterDraw) afterDraw(s->window, dialog);
  gl->swapBuffers(s->window);
  glBindCACHE.ClearTexture();
}

void RenderedDialogPresenter::Pause(UInt32 ticks) {
  UInt32 end = TickCount() + ticks;
  while (TickCount() < end) {
    ServiceTimers();
    IdleAudio();
    WaitDialogInput(5);
  }
}

void RenderedDialogPresenter::Refresh(const DialogView& view) {
  if (Surface* s = Open(view)) {
    Draw(s, view.window);
    DialogInput ignored;
    while (NextDialogInput(s->window, &ignored)) {
    }
  }
}

namespace {

// What one input did to a shown dialog: nothing that shows, a change to
// draw, or the action that answers the presenter's caller (after the chosen
// colour cell blinks, for a choice in the grid).
struct Outcome {
  enum Kind { Unchanged, Redraw, Answer, AnswerAfterBlink } kind;
  DialogAction action{DialogAction::Idle, -1, 0, 0, nullptr, 0};
};

Outcome Unchanged() { return Outcome{Outcome::Unchanged}; }
Outcome Redraw(bool changed = true) { return Outcome{changed ? Outcome::Redraw : Outcome::Unchanged}; }
Outcome Answer(const DialogAction& action) { return Outcome{Outcome::Answer, action}; }
Outcome ClickedControl(ControlRef c, SInt16 part) {
  return Answer(DialogAction{DialogAction::Control, -1, 0, 0, c, part});
}

bool IsUpOrDown(UInt8 charCode) { return charCode == keychar::kUpArrow || charCode == keychar::kDownArrow; }

// An open pop-up menu takes every input until an item is chosen or it
// closes: the pointer lights and chooses items, up and down move the light,
// Return or Enter chooses the lit item and Escape closes the menu.
Outcome MenuInput(DialogHover& hover, SInt16 height, const DialogInput& input) {
  ControlRef popup = hover.popup;
  SInt16 item = input.kind == DialogInput::Key ? 0 : PopupItemAt(popup, height, input.h, input.v);
  switch (input.kind) {
    case DialogInput::MouseMove: {
      const bool changed = item != hover.popupItem;
      hover.popupItem = item;
      return Redraw(changed);
    }
    case DialogInput::MouseUp:
      // Releasing the press that opened the menu keeps it open, unless the
      // pointer was dragged to another item.
      if (hover.popupPressed && (item == 0 || item == popup->value)) {
        hover.popupPressed = false;
        return Redraw();
      }
      break;
    case DialogInput::MouseDown: break;
    case DialogInput::Key:
      if (IsUpOrDown(input.charCode)) {
        // From the chosen item while the pointer lights none.
        SInt16 count = SInt16(PopupItems(popup).size());
        SInt16 from = hover.popupItem ? hover.popupItem : popup->value;
        SInt16 step = input.charCode == keychar::kDownArrow ? 1 : -1;
        hover.popupItem = std::clamp<SInt16>(SInt16(from + step), 1, count);
        return Redraw();
      }
      if (input.charCode != keychar::kEscape && input.charCode != keychar::kReturn && input.charCode != keychar::kEnter)
        return Redraw();
      item = input.charCode == keychar::kEscape ? 0 : hover.popupItem;
      break;
    default: item = 0; break;
  }
  hover.popup = nullptr;
  hover.popupItem = 0;
  hover.popupPressed = false;
  if (item <= 0) return Redraw();  // closed without a choice
  SetControlValue(popup, item);
  return ClickedControl(popup, item);
}

// Keys go to the dialog's handlers; the window's close button is Escape;
// up and down serve only an open menu.
Outcome KeyInput(const DialogInput& input) {
  if (input.kind == DialogInput::Close)
    return Answer(DialogAction{DialogAction::Key, -1, keychar::kEscape, keycode::kEscape, nullptr, 0});
  if (IsUpOrDown(input.charCode)) return Redraw();
  return Answer(DialogAction{DialogAction::Key, -1, input.charCode, input.keyCode, nullptr, 0});
}

// The pointer lights the colour cell under it, and shows the hand over a
// link (the arrow elsewhere).
Outcome PointerMoved(DialogHover& hover, ControlRef under, SInt16 part) {
  const bool overLink = under && under->kind == kControlKindLink;
  if (overLink != hover.handCursor) {
    hover.handCursor = overLink;
    if (overLink)
      Platform().HandCursor();
    else
      Platform().ArrowCursor();
  }
  SInt16 cell = under && under->kind == kControlKindCellGrid ? part : -1;
  const bool changed = cell != hover.cell;
  hover.cell = cell;
  return Redraw(changed);
}

// A release ends a press on the colour grid: over a cell it chooses that
// cell, elsewhere it answers -1 (the caller beeps).
Outcome ButtonReleased(WindowRef dialog, DialogHover& hover, ControlRef under, SInt16 part) {
  if (!hover.cellPressed) return Unchanged();
  hover.cellPressed = false;
  const bool overGrid = under && under->kind == kControlKindCellGrid;
  ControlRef grid = overGrid ? under : nullptr;
  if (!grid)
    for (ControlRef any : AllControls(dialog))
      if (any->kind == kControlKindCellGrid) grid = any;
  if (!grid) return Redraw();
  if (!overGrid || part < 0) return ClickedControl(grid, -1);
  Outcome chosen = ClickedControl(grid, part);
  chosen.kind = Outcome::AnswerAfterBlink;
  return chosen;
}

// A press on a control: a text field takes the keyboard, a slider its
// value, a pop-up opens its menu, the grid waits for the release, a tab is
// chosen; the others answer as clicked.
Outcome ButtonPressed(WindowRef dialog, DialogHover& hover, ControlRef c, const DialogInput& input, SInt16 part) {
  if (!c) return Redraw();
  switch (c->kind) {
    case kControlKindEditText:
      if (IsControlEnabled(c)) {
        SetKeyboardFocus(dialog, c);
        c->selStart = c->selEnd = SInt16(c->text.size());
      }
      return Redraw();
    case kControlKindSlider: {
      SInt32 span = c->maximum - c->minimum;
      SInt32 width = std::max(1, c->bounds.right - c->bounds.left - 8);
      SetControlValue(c, SInt16(c->minimum + span * std::clamp<SInt32>(input.h - c->bounds.left, 0, width) / width));
      break;
    }
    case kControlKindPopupButton:
      // An item is chosen by a click on it, or by dragging to it and letting go.
      if (IsControlEnabled(c) && !PopupItems(c).empty()) {
        hover.popup = c;
        hover.popupItem = c->value;
        hover.popupPressed = true;
      }
      return Redraw();
    case kControlKindCellGrid:
      hover.cellPressed = true;
      hover.cell = part;
      return Redraw();
    case kControlKindTabs: c->value = part; break;
    default: break;
  }
  return ClickedControl(c, part);
}

}  // namespace

DialogInput RenderedDialogPresenter::WaitForInput(Surface* s) {
  // The timers and the sound keep running while the user thinks.
  DialogInput input{DialogInput::None, 0, 0, 0, 0};
  while (!NextDialogInput(s->window, &input)) {
    ServiceTimers();
    IdleAudio();
    WaitDialogInput(15);
    if (afterDraw) break;  // a watcher sees each pass
  }
  return input;
}

void RenderedDialogPresenter::BlinkCell(Surface* s, WindowRef dialog, SInt16 cell) {
  for (int blink = 0; blink < 3; ++blink) {
    s->hover.blinkCell = cell;
    s->hover.blinkDark = false;
    Draw(s, dialog);
    Pause(3);
    s->hover.blinkDark = true;
    Draw(s, dialog);
    Pause(3);
  }
  s->hover.blinkCell = -1;
}

DialogAction RenderedDialogPresenter::Present(const DialogView& view) {
  WindowRef dialog = view.window;
  Surface* s = Open(view);
  if (!s) return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
  DialogHover& hover = s->hover;
  bool redraw = true;
  for (;;) {
    if (redraw) Draw(s, dialog);
    const DialogInput input = WaitForInput(s);
    Outcome outcome = Redraw();
    if (input.kind == DialogInput::None) {
      outcome = Redraw();
    } else if (hover.popup) {
      outcome = MenuInput(hover, s->picture.Height(), input);
    } else if (input.kind == DialogInput::Key || input.kind == DialogInput::Close) {
      outcome = KeyInput(input);
    } else {
      SInt16 part = 0;
      ControlRef under = DialogControlAt(dialog, input.h, input.v, &part);
      if (input.kind == DialogInput::MouseMove)
        outcome = PointerMoved(hover, under, part);
      else if (input.kind == DialogInput::MouseUp)
        outcome = ButtonReleased(dialog, hover, under, part);
      else if (input.kind == DialogInput::MouseDown)
        outcome = ButtonPressed(dialog, hover, under, input, part);
    }
    if (outcome.kind == Outcome::AnswerAfterBlink) BlinkCell(s, dialog, outcome.action.part);
    if (outcome.kind == Outcome::Answer || outcome.kind == Outcome::AnswerAfterBlink) return outcome.action;
    redraw = outcome.kind == Outcome::Redraw;
  }
}

namespace {

// Every dialog is rendered, so that the event loop's timers and the sound go
// on while it is up; a blocking message box only where no OpenGL window can
// be made; standard error when the user presenter is standard error.
struct ProgramPresenter : DialogPresenter {
  RenderedDialogPresenter rendered;
  static bool ToStderr() { return &UserPresenter() == static_cast<DialogPresenter*>(&StderrPresenter()); }
  DialogAction Present(const DialogView& view) override {
    if (ToStderr()) return StderrPresenter().Present(view);
    if (rendered.CanShow(view)) return rendered.Present(view);
    return UserPresenter().Present(view);
  }
  void Dismiss(WindowRef window) override { rendered.Dismiss(window); }
  void Refresh(const DialogView& view) override {
    if (!ToStderr()) rendered.Refresh(view);
  }
};

}  // namespace

RenderedDialogPresenter& InstallRenderedDialogs() {
  static ProgramPresenter presenter;
  SetDialogPresenter(&presenter);
  return presenter.rendered;
}
