#include "blit/AlphaConversion.h"

#include <algorithm>

namespace {

bool Usable(PixMapHandle pm) { return pm && *pm && (*pm)->baseAddr; }
SInt32 RowBytesOf(PixMapHandle pm) { return (*pm)->rowBytes & 0x7FFF; }

template <class F>
void Rescale(PixMapHandle pm, const Rect* r, F f) {
  if (!Usable(pm)) return;
  const Rect bounds = (*pm)->bounds;
  Rect area = r ? *r : bounds;
  if (!SectRect(&area, &bounds, &area)) return;
  const SInt32 top = area.top - bounds.top, bottom = area.bottom - bounds.top;
  const SInt32 left = area.left - bounds.left, right = std::min<SInt32>(area.right - bounds.left, RowBytesOf(pm));
  for (SInt32 v = top; v < bottom; ++v) {
    UInt8* row = reinterpret_cast<UInt8*>((*pm)->baseAddr) + v * RowBytesOf(pm);
    for (SInt32 h = left; h < right; ++h) row[h] = f(row[h]);
  }
}

struct Extent {
  SInt32 top, left, bottom, right;
};

// The rectangle counted from both baseAddrs, cut to both maps' pixels.
bool PlanePlan(PixMapHandle alpha, PixMapHandle image, const Rect* r, Extent* out) {
  if (!Usable(alpha) || !Usable(image)) return false;
  const Rect& ab = (*alpha)->bounds;
  const Rect& ib = (*image)->bounds;
  const Rect area = r ? *r : ab;
  out->top = std::max<SInt32>(area.top, 0);
  out->left = std::max<SInt32>(area.left, 0);
  out->bottom = std::min({SInt32(area.bottom), SInt32(ab.bottom - ab.top), SInt32(ib.bottom - ib.top)});
  out->right = std::min({SInt32(area.right), SInt32(ab.right - ab.left), SInt32(ib.right - ib.left), RowBytesOf(alpha),
                         RowBytesOf(image) / 4});
  return out->top < out->bottom && out->left < out->right;
}

template <class F>
void WalkPlanes(PixMapHandle alpha, PixMapHandle image, const Rect* r, F f) {
  Extent e;
  if (!PlanePlan(alpha, image, r, &e)) return;
  for (SInt32 v = e.top; v < e.bottom; ++v) {
    UInt8* a = reinterpret_cast<UInt8*>((*alpha)->baseAddr) + v * RowBytesOf(alpha);
    UInt32* w = reinterpret_cast<UInt32*>((*image)->baseAddr + v * RowBytesOf(image));
    for (SInt32 h = e.left; h < e.right; ++h) f(a[h], w[h]);
  }
}

}  // namespace

void Convert8BitTo5Bit(PixMapHandle alpha, const Rect* r) {
  Rescale(alpha, r, [](UInt8 p) { return UInt8(p * 32 / 255); });
}

void Convert5BitTo8Bit(PixMapHandle alpha, const Rect* r) {
  // Bytes above 32 would overflow the byte; they are kept at 255.
  Rescale(alpha, r, [](UInt8 p) { return UInt8(std::min(p * 255 / 32, 255)); });
}

void InsertAlpha(PixMapHandle alpha, PixMapHandle image, const Rect* r) {
  WalkPlanes(alpha, image, r, [](UInt8& a, UInt32& w) { w = (UInt32(a) << 24) | (w & 0x00FFFFFF); });
}

void ExtractAlpha(PixMapHandle image, PixMapHandle alpha, const Rect* r) {
  WalkPlanes(alpha, image, r, [](UInt8& a, UInt32& w) { a = UInt8(w >> 24); });
}
