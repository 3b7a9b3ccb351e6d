#include "blit/PixelTests.h"

#include <algorithm>
#include <cstdio>

#include "foundation/ErrorDialog.h"
#include "platform/QuickDrawColor.h"

namespace {

struct Area {
  SInt32 top, left, bottom, right;
  SInt32 Width() const { return right - left; }
  SInt32 Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

SInt32 RowBytesOf(PixMapHandle pm) { return (*pm)->rowBytes & 0x7FFF; }

// The rectangle (from baseAddr) cut to the pixmap's pixels; null means the
// bounds' size. Inverted rectangles come out empty.
Area ClipFromBase(PixMapHandle pm, const Rect* r) {
  const PixMap& p = **pm;
  const SInt32 width =
      std::min<SInt32>(p.bounds.right - p.bounds.left, RowBytesOf(pm) * 8 / std::max<SInt16>(p.pixelSize, 1));
  const SInt32 height = p.bounds.bottom - p.bounds.top;
  Area a = r ? Area{r->top, r->left, r->bottom, r->right} : Area{0, 0, height, width};
  a.top = std::max<SInt32>(a.top, 0);
  a.left = std::max<SInt32>(a.left, 0);
  a.bottom = std::min(a.bottom, height);
  a.right = std::min(a.right, width);
  if (a.Empty()) a = Area{0, 0, 0, 0};
  return a;
}

template <class T>
T* RowAt(PixMapHandle pm, SInt32 v) {
  return reinterpret_cast<T*>((*pm)->baseAddr + v * RowBytesOf(pm));
}

template <class T>
void Replace(PixMapHandle pm, const Rect* r, T oldColor, T newColor) {
  if (!pm || !*pm || !(*pm)->baseAddr) return;
  const Area a = ClipFromBase(pm, r);
  for (SInt32 v = a.top; v < a.bottom; ++v) {
    T* row = RowAt<T>(pm, v);
    for (SInt32 h = a.left; h < a.right; ++h)
      if (row[h] == oldColor) row[h] = newColor;
  }
}

void NilPixMap(const char* what, int bytes) {
  char message[80];
  std::snprintf(message, sizeof message, "Tried to pass a nil pixmap to %s%d", what, bytes);
  ErrorDialog(message, "", 0, 1);
}

template <class T>
SInt8 HasColor(PixMapHandle pm, const Rect* r, SInt32 color) {
  if (!pm || !*pm) {
    NilPixMap("RectHasColorName", int(sizeof(T)));
    return 0;
  }
  const Area a = ClipFromBase(pm, r);
  SInt32 count = 0;
  for (SInt32 v = a.top; v < a.bottom; ++v) {
    const T* row = RowAt<T>(pm, v);
    for (SInt32 h = a.left; h < a.right; ++h) count += UInt32(row[h]) == UInt32(color);
  }
  if (count == a.Width() * a.Height()) return 2;
  return count > 0 ? 1 : 0;
}

template <class T>
UInt8 ContainsColors(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey, const UInt16* lookup) {
  if (!pm || !*pm) {
    NilPixMap("RectContainsColorsName", int(sizeof(T)));
    return 0;
  }
  constexpr UInt32 key = sizeof(T) == 1 ? 0 : sizeof(T) == 2 ? 0x7FFF : 0x00FFFFFF;
  const bool useTable = sizeof(T) == 2 && lookup;
  const Area a = ClipFromBase(pm, r);
  UInt8 flag = 1, found = 0;
  for (SInt32 v = a.top; v < a.bottom; ++v) {
    const T* row = RowAt<T>(pm, v);
    for (SInt32 h = a.left; h < a.right; ++h) {
      const UInt32 p = row[h];
      if (useTable ? (lookup[p] & 0x8000) != 0 : (low <= p && p <= high)) found = 1;
      if (p == key) flag = 0;
    }
  }
  if (noKey) *noKey = flag;
  return found;
}

}  // namespace

void ReplaceColor(PixMapHandle pm, const Rect* r, UInt8 oldColor, UInt8 newColor) {
  Replace<UInt8>(pm, r, oldColor, newColor);
}
void ReplaceColor_16(PixMapHandle pm, const Rect* r, UInt16 oldColor, UInt16 newColor) {
  Replace<UInt16>(pm, r, oldColor, newColor);
}

SInt8 RectHasColor8(PixMapHandle pm, const Rect* r, SInt32 color) { return HasColor<UInt8>(pm, r, color); }
SInt8 RectHasColor16(PixMapHandle pm, const Rect* r, SInt32 color) { return HasColor<UInt16>(pm, r, color); }
SInt8 RectHasColor32(PixMapHandle pm, const Rect* r, SInt32 color) { return HasColor<UInt32>(pm, r, color); }

SInt8 RectHasColor(PixMapHandle pm, const Rect* r, SInt32 color) {
  if (!pm || !*pm) return RectHasColor32(pm, r, color);
  switch ((*pm)->pixelSize) {
    case 8: return RectHasColor8(pm, r, color);
    case 16: return RectHasColor16(pm, r, color);
    case 32: return RectHasColor32(pm, r, color);
    default: return 0;
  }
}

UInt8 RectContainsColors8(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey, const UInt16* lookup) {
  return ContainsColors<UInt8>(pm, r, low, high, noKey, lookup);
}
UInt8 RectContainsColors16(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey,
                           const UInt16* lookup) {
  return ContainsColors<UInt16>(pm, r, low, high, noKey, lookup);
}
UInt8 RectContainsColors32(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey,
                           const UInt16* lookup) {
  return ContainsColors<UInt32>(pm, r, low, high, noKey, lookup);
}

UInt8 RectContainsColors(PixMapHandle pm, const Rect* r, UInt32 low, UInt32 high, UInt8* noKey, const UInt16* lookup) {
  if (!pm || !*pm) return RectContainsColors32(pm, r, low, high, noKey, lookup);
  switch ((*pm)->pixelSize) {
    case 8: return RectContainsColors8(pm, r, low, high, noKey, lookup);
    case 16: return RectContainsColors16(pm, r, low, high, noKey, lookup);
    case 32: return RectContainsColors32(pm, r, low, high, noKey, lookup);
    default:
      if (noKey) *noKey = 1;
      return 0;
  }
}

void GetRectColor(PixMapHandle pm, const Rect* r, RGBColor* out, UInt8 skipKey) {
  if (!out) return;
  *out = RGBColor{0, 0, 0};
  if (!pm || !*pm || !r || !(*pm)->baseAddr) return;
  Rect local = *r;
  local.top -= (*pm)->bounds.top;
  local.bottom -= (*pm)->bounds.top;
  local.left -= (*pm)->bounds.left;
  local.right -= (*pm)->bounds.left;
  const Area a = ClipFromBase(pm, &local);
  // Indices are colours of the current colour table (the port's or the
  // device's), not of the pixmap's own table.
  UInt32 red = 0, green = 0, blue = 0, count = 0;
  for (SInt32 v = a.top; v < a.bottom; ++v) {
    const UInt8* row = RowAt<UInt8>(pm, v);
    for (SInt32 h = a.left; h < a.right; ++h) {
      if (skipKey && row[h] == 0) continue;
      RGBColor c{0, 0, 0};
      Index2Color(row[h], &c);
      red += c.red;
      green += c.green;
      blue += c.blue;
      ++count;
    }
  }
  if (count == 0) return;
  *out = RGBColor{UInt16(red / count), UInt16(green / count), UInt16(blue / count)};
}

void DrawPixelRGB_16(PixMapHandle pm, int h, int v, const RGBAColor16* color) {
  if (!pm || !*pm || !(*pm)->baseAddr || !color) return;
  const Rect point{SInt16(v), SInt16(h), SInt16(v + 1), SInt16(h + 1)};
  if (h < 0 || v < 0 || h > 0x7FFE || v > 0x7FFE) return;
  const Area a = ClipFromBase(pm, &point);
  if (a.Empty()) return;
  UInt16* pixel = RowAt<UInt16>(pm, v) + h;
  const UInt32 s = (UInt32(color->red & 0x1F) << 10) | (UInt32(color->green & 0x1F) << 5) | (color->blue & 0x1F);
  const SInt32 alpha = std::clamp<SInt32>(SInt8(color->alpha), 0, 32);
  if (alpha == 32) {
    *pixel = UInt16(s);
    return;
  }
  auto spread = [](UInt32 p) { return (p & 0xFFFFFC1Fu) | ((p & 0x3E0u) << 16); };
  const UInt32 d = spread(*pixel), sp = spread(s);
  const UInt32 blended = (d + ((UInt32(alpha) * (sp - d)) >> 5)) & 0x03E07C1Fu;
  *pixel = UInt16((blended & 0x7C1F) | ((blended >> 16) & 0x3E0));
}
