#include "graphics/PixmapText.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "graphics/ClutFading.h"
#include "graphics/TextRender.h"
#include "shell/Startup.h"
#include "shell/StyledText.h"

namespace {

// ---- Fonts ----

std::map<SInt16, FT_Face> fonts;

// The face of a font number: one registered for it, else the face the
// number names (a system font, or a family GetFontNum found), opened on
// first use.
FT_Face FaceOfNum(SInt16 number) {
  auto it = fonts.find(number);
  if (it != fonts.end()) return it->second;
  FontFace face;
  if (!FontFaceOfNum(number, &face)) return nullptr;
  FT_Face loaded = LoadFont(face.path.c_str(), face.index);
  if (loaded) fonts[number] = loaded;
  return loaded;
}

CGrafPtr CurrentPort() {
  CGrafPtr port = nullptr;
  GDHandle device = nullptr;
  GetGWorld(&port, &device);
  return port;
}

// The face for the port's font at its size (12 when unset), or null.
FT_Face PortFace() {
  CGrafPtr port = CurrentPort();
  const SInt16 font = port ? port->txFont : 0;
  FT_Face face = FaceOfNum(font);
  if (!face) face = FaceOfNum(0);
  if (!face) return nullptr;
  const SInt16 size = port && port->txSize > 0 ? port->txSize : 12;
  FT_Set_Char_Size(face, 0, FT_F26Dot6(size) * 64, 72, 72);
  return face;
}

UInt8 PortFace(CGrafPtr port) { return port ? port->txFace : 0; }

// Extra pixels per glyph of the drawing styles.
SInt32 StyleExtra() {
  const UInt8 face = PortFace(CurrentPort());
  return ((face & bold) ? 1 : 0) + ((face & outline) ? 1 : 0) + ((face & shadow) ? 1 : 0) + ((face & extend) ? 1 : 0) -
         ((face & condense) ? 1 : 0);
}

// Hinted as drawing hints it, so that measured text is as wide as drawn text.
SInt32 GlyphAdvance(FT_Face face, unsigned char c) {
  if (FT_Load_Char(face, c, FT_LOAD_TARGET_MONO) != 0) return 0;
  return SInt32((face->glyph->advance.x + 32) >> 6);
}

void FreeTypeFontInfo(FontInfo* info) {
  *info = FontInfo{0, 0, 0, 0};
  FT_Face face = PortFace();
  if (!face) return;
  const FT_Size_Metrics& m = face->size->metrics;
  info->ascent = SInt16((m.ascender + 63) >> 6);
  info->descent = SInt16((-m.descender + 63) >> 6);
  info->widMax = SInt16((m.max_advance + 63) >> 6);
  info->leading = SInt16(std::max<long>(0, (m.height >> 6) - info->ascent - info->descent));
}

SInt16 FreeTypeTextWidth(const char* text, SInt32 offset, SInt32 length) {
  FT_Face face = PortFace();
  if (!face || !text || length <= 0) return 0;
  const SInt32 extra = StyleExtra();
  SInt32 width = 0;
  for (SInt32 i = 0; i < length; ++i) width += std::max<SInt32>(0, GlyphAdvance(face, text[offset + i]) + extra);
  return SInt16(std::min<SInt32>(width, 0x7FFF));
}

// Sets one pixel of the port's pixmap to the fore colour, inside the clip.
void PlotPixel(CGrafPtr port, SInt32 h, SInt32 v) {
  PixMap& p = **port->portPixMap;
  if (h < p.bounds.left || h >= p.bounds.right || v < p.bounds.top || v >= p.bounds.bottom) return;
  if (port->clipRgn) {
    const Rect& c = port->clipRgn->rgnBBox;
    if (h < c.left || h >= c.right || v < c.top || v >= c.bottom) return;
  }
  char* row = p.baseAddr + (v - p.bounds.top) * (p.rowBytes & 0x7FFF);
  const SInt32 x = h - p.bounds.left;
  const SInt32 depth = p.pixelFormat ? SInt32(p.pixelFormat) : p.pixelSize;
  switch (depth) {
    case 8: reinterpret_cast<UInt8*>(row)[x] = UInt8(port->fgColor); break;
    case 16: reinterpret_cast<UInt16*>(row)[x] = UInt16(port->fgColor); break;
    case 32: reinterpret_cast<UInt32*>(row)[x] = port->fgColor; break;
    default: break;
  }
}

void FreeTypeDrawText(const char* text, SInt32 offset, SInt32 length) {
  CGrafPtr port = CurrentPort();
  FT_Face face = PortFace();
  if (!port || !face || !text || length <= 0) return;
  const bool usable = port->portPixMap && *port->portPixMap && (*port->portPixMap)->baseAddr;
  const UInt8 style = port->txFace;
  const SInt32 extra = StyleExtra();
  // Italic slants the glyphs by a fifth of their height; advances stay.
  FT_Matrix slant{0x10000, (style & italic) ? 0x3333 : 0, 0, 0x10000};
  FT_Set_Transform(face, &slant, nullptr);
  for (SInt32 i = 0; i < length; ++i) {
    if (FT_Load_Char(face, UInt8(text[offset + i]), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    const SInt32 advance = SInt32((g->advance.x + 32) >> 6);
    if (usable) {
      const FT_Bitmap& bm = g->bitmap;
      auto on = [&](SInt32 x, SInt32 y) {
        if (x < 0 || y < 0 || x >= SInt32(bm.width) || y >= SInt32(bm.rows)) return false;
        return (bm.buffer[y * bm.pitch + x / 8] & (0x80 >> (x % 8))) != 0;
      };
      const SInt32 left = port->pnLoc.h + g->bitmap_left, top = port->pnLoc.v - g->bitmap_top;
      // Outline draws the edge around the glyph and leaves it hollow; shadow
      // does the same with the edge repeated one pixel down and right.
      auto near = [&](SInt32 x, SInt32 y) {
        for (SInt32 dy = -1; dy <= 1; ++dy)
          for (SInt32 dx = -1; dx <= 1; ++dx)
            if (on(x + dx, y + dy)) return true;
        return false;
      };
      const bool hollow = (style & (outline | shadow)) != 0;
      const SInt32 grow = hollow ? 1 : 0, shade = (style & shadow) ? 1 : 0;
      for (SInt32 y = -grow; y < SInt32(bm.rows) + grow + shade; ++y)
        for (SInt32 x = -grow; x < SInt32(bm.width) + grow + shade; ++x) {
          bool ink = on(x, y) || ((style & bold) && on(x - 1, y));
          if (hollow) ink = (near(x, y) || (shade && near(x - 1, y - 1))) && !on(x, y);
          if (ink) PlotPixel(port, left + x, top + y);
        }
    }
    port->pnLoc.h = SInt16(port->pnLoc.h + std::max<SInt32>(0, advance + extra));
  }
  FT_Set_Transform(face, nullptr, nullptr);
}

const PortTextBackEnd freeTypeBackEnd{FreeTypeFontInfo, FreeTypeTextWidth, FreeTypeDrawText};
const PortTextBackEnd* backEnd = &freeTypeBackEnd;

// ---- Colours ----

void SetForeIndex(SInt16 index) {
  if (!mainCLUT || !*mainCLUT || index < 0 || index > (*mainCLUT)->ctSize) return;
  RGBForeColor(&(*mainCLUT)->ctTable[index].rgb);
}

struct SavedFore {
  RGBColor colour{0, 0, 0};
  bool valid = false;
  SavedFore() {
    if (CGrafPtr port = CurrentPort()) colour = port->rgbFgColor, valid = true;
  }
  void Restore() const {
    if (valid) RGBForeColor(&colour);
  }
};

// ---- Lines ----

SInt32 AvailableWidth(const Rect* rect, SInt32 margin) { return rect->right - rect->left - 2 * margin; }

// Calls line(start, end) for each line; stops early when it returns false.
template <class F>
void EachLine(const char* text, SInt32 length, SInt32 width, F line) {
  SInt32 start = 0;
  while (start < length) {
    const LineBreakResult b = LineBreak(text, start, length, width);
    if (!line(start, b.end, b.code)) return;
    start = b.end;
  }
}

SInt16 DefaultLineHeight(SInt16 lineHeight, SInt32 margin) {
  if (lineHeight >= 0) return lineHeight;
  FontInfo info;
  GetFontInfo(&info);
  return SInt16(info.ascent + info.descent + 2 * margin);
}

void ShadowPass(SInt16 shadowColor, const char* text, SInt32 offset, SInt32 length) {
  CGrafPtr port = CurrentPort();
  if (!port) return;
  const UInt8 face = port->txFace;
  const Point pen = port->pnLoc;
  SavedFore fore;
  SetForeIndex(shadowColor);
  TextFace(SInt16(face | 0x28));
  DrawText(text, offset, length);
  port->pnLoc = pen;
  TextFace(face);
  fore.Restore();
}

// ---- Styled text ----

// One style's font, face, size and colour on the current port for the
// duration; the port's own settings come back afterwards.
struct StyleOnPort {
  CGrafPtr port = CurrentPort();
  SInt16 font = 0, size = 0;
  UInt8 face = 0;
  RGBColor fore{0, 0, 0};
  explicit StyleOnPort(const TextStyle& style) {
    if (!port) return;
    font = port->txFont, size = port->txSize, face = port->txFace, fore = port->rgbFgColor;
    TextFont(style.tsFont);
    TextFace(style.tsFace);
    TextSize(style.tsSize);
    RGBForeColor(&style.tsColor);
  }
  ~StyleOnPort() {
    if (!port) return;
    TextFont(font);
    TextFace(face);
    TextSize(size);
    RGBForeColor(&fore);
  }
};

SInt32 StyledTextWidth(const char* text, SInt32 count, const TextStyle& style) {
  StyleOnPort use(style);
  return TextWidth(text, 0, count);
}

// The glyphs as the back end draws them; an underline one pixel below the
// baseline.
void StyledTextDraw(const char* text, SInt32 count, const TextStyle& style, SInt16 h, SInt16 v) {
  StyleOnPort use(style);
  if (!use.port) return;
  const Point pen = use.port->pnLoc;
  MoveTo(h, v);
  DrawText(text, 0, count);
  if (style.tsFace & underline) {
    const Rect line{SInt16(v + 1), h, SInt16(v + 2), use.port->pnLoc.h};
    PaintRect(&line);
  }
  use.port->pnLoc = pen;
}

}  // namespace

void InstallStyledTextDrawing() {
  styledTextWidthProc = StyledTextWidth;
  styledTextDrawProc = StyledTextDraw;
  styledInvertProc = [](const Rect& r) { InvertRect(&r); };
}

const PortTextBackEnd* SetPortTextBackEnd(const PortTextBackEnd* next) {
  const PortTextBackEnd* before = backEnd;
  backEnd = next ? next : &freeTypeBackEnd;
  return before;
}

bool RegisterPixmapFont(SInt16 font, const char* path) {
  FT_Face face = LoadFont(path);
  if (!face) return false;
  auto it = fonts.find(font);
  if (it != fonts.end()) FT_Done_Face(it->second);
  fonts[font] = face;
  return true;
}

void ForgetPixmapFonts() {
  for (auto& [id, face] : fonts) FT_Done_Face(face);
  fonts.clear();
}

void MoveTo(SInt16 h, SInt16 v) {
  if (CGrafPtr port = CurrentPort()) port->pnLoc = Point{v, h};
}
void Move(SInt16 dh, SInt16 dv) {
  if (CGrafPtr port = CurrentPort()) port->pnLoc = Point{SInt16(port->pnLoc.v + dv), SInt16(port->pnLoc.h + dh)};
}
void GetPen(Point* pt) {
  CGrafPtr port = CurrentPort();
  if (pt) *pt = port ? port->pnLoc : Point{0, 0};
}
void ClipRect(const Rect* r) {
  CGrafPtr port = CurrentPort();
  if (!port || !r) return;
  if (!port->clipRgn) port->clipRgn = NewRgn();
  RectRgn(port->clipRgn, r);
}
void PaintRect(const Rect* r) {
  CGrafPtr port = CurrentPort();
  if (!port || !r || !port->portPixMap || !*port->portPixMap || !(*port->portPixMap)->baseAddr) return;
  for (SInt32 v = r->top; v < r->bottom; ++v)
    for (SInt32 h = r->left; h < r->right; ++h) PlotPixel(port, h, v);
}
void InvertRect(const Rect* r) {
  CGrafPtr port = CurrentPort();
  if (!port || !r || !port->portPixMap || !*port->portPixMap || !(*port->portPixMap)->baseAddr) return;
  PixMap& p = **port->portPixMap;
  Rect area = *r;
  if (!SectRect(&area, &p.bounds, &area)) return;
  if (port->clipRgn && !SectRect(&area, &port->clipRgn->rgnBBox, &area)) return;
  const SInt32 depth = p.pixelFormat ? SInt32(p.pixelFormat) : p.pixelSize;
  for (SInt32 v = area.top; v < area.bottom; ++v) {
    char* row = p.baseAddr + (v - p.bounds.top) * (p.rowBytes & 0x7FFF);
    for (SInt32 h = area.left; h < area.right; ++h) {
      const SInt32 x = h - p.bounds.left;
      switch (depth) {
        case 8: reinterpret_cast<UInt8*>(row)[x] ^= 0xFF; break;
        case 16: reinterpret_cast<UInt16*>(row)[x] ^= 0x7FFF; break;
        case 32: reinterpret_cast<UInt32*>(row)[x] ^= 0x00FFFFFF; break;
        default: break;
      }
    }
  }
}
void GetFontInfo(FontInfo* info) {
  if (info) backEnd->fontInfo(info);
}
SInt16 TextWidth(const char* text, SInt32 offset, SInt32 length) { return backEnd->textWidth(text, offset, length); }
SInt16 CharWidth(char c) { return backEnd->textWidth(&c, 0, 1); }
SInt16 StringWidth(const unsigned char* text) {
  return text ? backEnd->textWidth(reinterpret_cast<const char*>(text), 1, text[0]) : 0;
}
void DrawText(const char* text, SInt32 offset, SInt32 length) { backEnd->drawText(text, offset, length); }
void DrawString(const unsigned char* text) {
  if (text) backEnd->drawText(reinterpret_cast<const char*>(text), 1, text[0]);
}

LineBreakResult LineBreak(const char* text, SInt32 start, SInt32 length, SInt32 width) {
  if (start >= length) return LineBreakResult{length, 2};
  SInt32 used = 0, lastSpaceEnd = -1;
  for (SInt32 i = start; i < length; ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      SInt32 end = i + 1;
      if (c == '\r' && end < length && text[end] == '\n') ++end;
      return LineBreakResult{end, SInt16(end >= length ? 2 : 1)};
    }
    used += CharWidth(c);
    if (c == ' ') {
      // Spaces may hang past the edge: the break goes after the run.
      SInt32 j = i + 1;
      while (j < length && text[j] == ' ') ++j;
      lastSpaceEnd = j;
      if (j >= length) return LineBreakResult{length, 2};
      used += TextWidth(text, i + 1, j - i - 1);
      i = j - 1;
      continue;
    }
    if (used > width) {
      if (lastSpaceEnd > start) return LineBreakResult{lastSpaceEnd, 1};
      return LineBreakResult{std::max(i, start + 1), 1};  // at least one character
    }
  }
  return LineBreakResult{length, 2};
}

Rect DrawString2(const unsigned char* text, SInt16 h, SInt16 v, char align, SInt16 boxColor, SInt16 textColor,
                 SInt16 margin, SInt16 shadowColor) {
  static const unsigned char empty[1] = {0};
  if (!text) text = empty;
  FontInfo info;
  GetFontInfo(&info);
  const SInt32 w = StringWidth(text);
  SavedFore fore;
  Rect box;
  const bool atPen = h == -32768 || v == -32768;
  if (atPen) {
    Point pen;
    GetPen(&pen);
    box = Rect{SInt16(pen.v - info.ascent - margin), SInt16(pen.h - margin), SInt16(pen.v + info.descent + margin),
               SInt16(pen.h + w + margin)};
  } else {
    box = Rect{v, h, SInt16(v + info.ascent + info.descent + 2 * margin), SInt16(h + w + 2 * margin)};
    MoveTo(SInt16(h + margin), SInt16(v + margin + info.ascent));
  }
  SInt32 shift = 0;
  if (align == 1) shift = (box.right - box.left) / 2;
  if (align == 2) shift = box.right - box.left;
  if (shift) {
    box.left = SInt16(box.left - shift);
    box.right = SInt16(box.right - shift);
    Move(SInt16(-shift), 0);
  }
  if (boxColor != -1 && !atPen) {
    SetForeIndex(boxColor);
    PaintRect(&box);
    fore.Restore();
  }
  if (shadowColor != -1) ShadowPass(shadowColor, reinterpret_cast<const char*>(text), 1, text[0]);
  if (textColor != -1) SetForeIndex(textColor);
  DrawString(text);
  fore.Restore();
  return box;
}

Rect DrawString2(SInt32 number, SInt16 h, SInt16 v, char align, SInt16 boxColor, SInt16 textColor, SInt16 margin,
                 SInt16 shadowColor) {
  unsigned char text[16];
  const int n = std::snprintf(reinterpret_cast<char*>(text) + 1, sizeof text - 1, "%d", int(number));
  text[0] = UInt8(n);
  return DrawString2(text, h, v, align, boxColor, textColor, margin, shadowColor);
}

SInt32 DrawStringInRect(const char* text, UInt32 length, const Rect* rect, SInt16 lineHeight, SInt32 hScroll,
                        SInt32 vScroll, UInt8 clip, UInt16 margin, SInt16 shadowColor) {
  if (!text || !rect) return 0;
  FontInfo info;
  GetFontInfo(&info);
  lineHeight = DefaultLineHeight(lineHeight, margin);
  CGrafPtr port = CurrentPort();
  Rect savedClip{0, 0, 0, 0};
  bool hadClip = false;
  if (clip && port) {
    if (port->clipRgn) savedClip = port->clipRgn->rgnBBox, hadClip = true;
    ClipRect(rect);
  }
  const SInt32 height = rect->bottom - rect->top;
  SInt32 lines = 0;
  EachLine(text, SInt32(length), AvailableWidth(rect, margin), [&](SInt32 start, SInt32 end, SInt16) {
    const SInt32 n = lines++;
    if (clip && (lineHeight < 1 || lineHeight * n - vScroll >= height)) return true;
    MoveTo(SInt16(rect->left + margin - hScroll), SInt16(rect->top + lineHeight * n + margin + info.ascent - vScroll));
    if (shadowColor != -1) ShadowPass(shadowColor, text, start, end - start);
    DrawText(text, start, end - start);
    return true;
  });
  // The caller's clip comes back whether or not the port had one. Leaving
  // the text's rectangle as the port's clip would confine every later drawing
  // to it, and a caller whose rectangle was empty (a measuring call) would
  // find all its later drawing blanked.
  if (clip && port) {
    if (hadClip) {
      ClipRect(&savedClip);
    } else if (port->clipRgn) {
      DisposeRgn(port->clipRgn);
      port->clipRgn = nullptr;
    }
  }
  return lines;
}

SInt32 MeasureStringLines(const char* text, UInt32 length, SInt32 width) {
  if (!text) return 0;
  SInt32 lines = 0;
  EachLine(text, SInt32(length), width, [&](SInt32, SInt32, SInt16) {
    ++lines;
    return true;
  });
  return lines;
}

SInt16 FontHeight() {
  FontInfo info;
  GetFontInfo(&info);
  return SInt16(info.ascent + info.descent + info.leading);
}

namespace {

// The line holding `index` (a character at a line's start belongs to the
// line before it) and that line's start.
void LocateChar(const char* text, UInt32 length, UInt32 index, SInt32 width, SInt32* line, SInt32* start) {
  index = std::min(index, length);
  *line = 0;
  *start = 0;
  if (!text) return;
  EachLine(text, SInt32(length), width, [&](SInt32 s, SInt32 end, SInt16 code) {
    *start = s;
    if (code == 2 || end >= SInt32(index)) return false;
    ++*line;
    *start = end;
    return true;
  });
}

}  // namespace

SInt32 FindLineOfCharInString(const char* text, UInt32 length, UInt32 index, SInt32 width) {
  SInt32 line, start;
  LocateChar(text, length, index, width, &line, &start);
  return line;
}

SInt32 FindWrapOfCharInString(const char* text, UInt32 length, UInt32 index, SInt32 width) {
  SInt32 line, start;
  LocateChar(text, length, index, width, &line, &start);
  return start;
}

SInt32 FindColumnOfCharInString(const char* text, UInt32 length, UInt32 index, SInt32 width) {
  return SInt32(std::min(index, length)) - FindWrapOfCharInString(text, length, index, width);
}

SInt32 FindWrapOfLineInString(const char* text, UInt32 length, SInt32 line, SInt32 width) {
  if (line <= 0 || !text) return 0;
  SInt32 n = 0, found = SInt32(length);
  EachLine(text, SInt32(length), width, [&](SInt32, SInt32 end, SInt16) {
    if (++n == line) {
      found = end;
      return false;
    }
    return true;
  });
  return found;
}

Rect FindBoundsOfCharInString(const char* text, UInt32 length, UInt32 index, const Rect* rect, SInt16 lineHeight,
                              SInt32 hScroll, SInt32 vScroll, UInt16 margin) {
  if (!text || !rect) return Rect{0, 0, 0, 0};
  index = std::min(index, length);
  const SInt32 width = AvailableWidth(rect, margin);
  SInt32 line, start;
  LocateChar(text, length, index, width, &line, &start);
  lineHeight = DefaultLineHeight(lineHeight, margin);
  SInt32 cw = 0;
  if (index < length) cw = CharWidth(text[index++]);
  const SInt32 right = TextWidth(text, start, SInt32(index) - start), left = right - cw;
  const SInt32 dh = rect->left + margin - hScroll, dv = rect->top - vScroll;
  return Rect{SInt16(lineHeight * line + margin + dv), SInt16(left + dh), SInt16(lineHeight * (line + 1) - margin + dv),
              SInt16(right + dh)};
}

SInt32 FindCharByPointInString(const char* text, UInt32 length, const Point* point, const Rect* rect, SInt16 lineHeight,
                               SInt32 hScroll, SInt32 vScroll, UInt16 margin) {
  if (!text || !point || !rect) return 0;
  lineHeight = DefaultLineHeight(lineHeight, margin);
  if (lineHeight == 0) return 0;
  const SInt32 h = point->h + hScroll, v = point->v + vScroll;
  if (v < rect->top) return 0;
  const SInt32 width = AvailableWidth(rect, margin);
  const SInt32 line = (v - rect->top) / lineHeight;
  const SInt32 start = FindWrapOfLineInString(text, length, line, width);
  const SInt32 end = FindWrapOfLineInString(text, length, line + 1, width);
  const SInt32 x = h - (rect->left + margin);
  SInt32 index = start, previousWidth = 0, widthNow = 0;
  while (index < end) {
    previousWidth = widthNow;
    widthNow = TextWidth(text, start, index + 1 - start);
    ++index;
    if (widthNow > x) {
      // Of the two prefixes around x, the nearer wins; ties take the longer.
      return (x - previousWidth < widthNow - x) ? index - 1 : index;
    }
  }
  return index;
}
