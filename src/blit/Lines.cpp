#include "blit/Lines.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct Plane {
  UInt8* base = nullptr;
  SInt32 rowBytes = 0;
  SInt32 top = 0, left = 0;

  explicit Plane(PixMapHandle pm) {
    if (!pm || !*pm) return;
    base = reinterpret_cast<UInt8*>((*pm)->baseAddr);
    rowBytes = (*pm)->rowBytes & 0x7FFF;
    top = (*pm)->bounds.top;
    left = (*pm)->bounds.left;
  }
  UInt8* At(SInt32 h, SInt32 v) const { return base + (v - top) * rowBytes + (h - left); }
};

struct Box {
  SInt32 top, left, bottom, right;
};

void Cut(Box* box, PixMapHandle pm) {
  const Rect& b = (*pm)->bounds;
  box->top = std::max<SInt32>(box->top, b.top);
  box->left = std::max<SInt32>(box->left, b.left);
  box->bottom = std::min<SInt32>(box->bottom, b.bottom);
  box->right = std::min<SInt32>(box->right, std::min<SInt32>(b.right, b.left + ((*pm)->rowBytes & 0x7FFF)));
}

bool Usable(PixMapHandle pm) { return pm && *pm && (*pm)->baseAddr; }

// Sweeps the pen and calls touch(h, v) for each pixel inside `box` whose mask
// byte (if any) is 0. Pixels may be touched more than once.
template <class Touch>
void Sweep(SInt32 startH, SInt32 startV, SInt32 endH, SInt32 endV, SInt32 width, const Box& box, const Plane* mask,
           Touch touch) {
  if (width < 1) return;
  const SInt32 dh = endH - startH, dv = endV - startV;
  if (dh == 0 && dv == 0) return;
  if (box.right <= box.left || box.bottom <= box.top) return;
  const SInt32 sh = dh > 0 ? 1 : dh < 0 ? -1 : 0, sv = dv > 0 ? 1 : dv < 0 ? -1 : 0;
  const SInt32 ah = std::abs(dh), av = std::abs(dv);
  // Halving |dh + av| in both vertical directions: a line going down-left
  // with dh < -av would otherwise start below zero and stop short of its end.
  const SInt32 e0 = dv == 0 ? 0 : std::abs(dh + av) / 2;
  const bool steep = ah <= av;
  const SInt32 hLimit = dh < 0 ? endH - 1 : endH + width;
  const SInt32 vLimit = dv < 0 ? endV - 1 : endV + width;

  auto walk = [&](SInt32 h, SInt32 v) {
    SInt32 e = e0;
    while (h != hLimit && v != vLimit) {
      if (h >= box.left && h < box.right && v >= box.top && v < box.bottom && (!mask || *mask->At(h, v) == 0))
        touch(h, v);
      if (steep) {
        v += sv;
        e += ah;
        if (e >= av) {
          h += sh;
          e -= av;
        }
      } else {
        h += sh;
        e += av;
        if (e >= ah) {
          v += sv;
          e -= ah;
        }
      }
    }
  };

  // The pen's trailing edges: a row of `width` starts, then the rest of a column.
  const SInt32 edgeRow = dv < 0 ? startV + width - 1 : startV;
  const SInt32 edgeCol = dh < 0 ? startH + width - 1 : startH;
  for (SInt32 i = 0; i < width; ++i) walk(dh < 0 ? startH + width - 1 - i : startH + i, edgeRow);
  for (SInt32 i = 1; i < width; ++i) walk(edgeCol, dv < 0 ? startV + width - 1 - i : startV + i);
}

Box ClipBox(const Rect* clip, PixMapHandle dst) {
  const Rect& r = clip ? *clip : (*dst)->bounds;
  return Box{r.top, r.left, r.bottom, r.right};
}

}  // namespace

void DrawLine(PixMapHandle dst, PixMapHandle mask, SInt16 startH, SInt16 startV, SInt16 endH, SInt16 endV,
              const Rect* clip, SInt16 color, SInt8 width) {
  if (!Usable(dst)) return;
  Box box = ClipBox(clip, dst);
  Cut(&box, dst);
  const bool masked = Usable(mask);
  if (masked) Cut(&box, mask);
  const Plane d(dst), m(masked ? mask : nullptr);
  const UInt8 value = UInt8(color);
  Sweep(startH, startV, endH, endV, width, box, masked ? &m : nullptr,
        [&](SInt32 h, SInt32 v) { *d.At(h, v) = value; });
}

void CopyLine(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, SInt16 startH, SInt16 startV, SInt16 endH,
              SInt16 endV, const Rect* clip, SInt8 width) {
  if (!Usable(src) || !Usable(dst)) return;
  Box box = ClipBox(clip, dst);
  Cut(&box, dst);
  Cut(&box, src);
  const bool masked = Usable(mask);
  if (masked) Cut(&box, mask);
  const Plane s(src), d(dst), m(masked ? mask : nullptr);
  Sweep(startH, startV, endH, endV, width, box, masked ? &m : nullptr,
        [&](SInt32 h, SInt32 v) { *d.At(h, v) = *s.At(h, v); });
}
