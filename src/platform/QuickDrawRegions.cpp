#include "platform/QuickDrawRegions.h"

#include <algorithm>
#include <new>

namespace {

bool EmptyBox(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

void SetMask(RgnHandle region, const Rect& box, UInt8* mask) {
  delete[] region->mask;
  region->mask = mask;
  region->rgnBBox = box;
}

}  // namespace

Boolean PointInRegion(RgnHandle region, SInt32 h, SInt32 v) {
  if (!region) return false;
  const Rect& b = region->rgnBBox;
  if (v < b.top || v >= b.bottom || h < b.left || h >= b.right) return false;
  return !region->mask || region->mask[(v - b.top) * (b.right - b.left) + (h - b.left)] != 0;
}

void RoundRectRgn(RgnHandle region, const Rect* r, SInt16 ovalWidth, SInt16 ovalHeight) {
  if (!region) return;
  if (!r || EmptyBox(*r)) {
    RectRgn(region, r);
    return;
  }
  const SInt32 w = r->right - r->left, h = r->bottom - r->top;
  const double rx = std::min<SInt32>(std::max<SInt32>(ovalWidth, 0), w) / 2.0;
  const double ry = std::min<SInt32>(std::max<SInt32>(ovalHeight, 0), h) / 2.0;
  UInt8* mask = new (std::nothrow) UInt8[size_t(w) * h];
  if (!mask) {
    RectRgn(region, r);
    return;
  }
  for (SInt32 y = 0; y < h; ++y)
    for (SInt32 x = 0; x < w; ++x) {
      // Distance of the pixel's centre into a corner's quarter oval.
      const double cx = x + 0.5, cy = y + 0.5;
      const double dx = cx < rx ? rx - cx : cx > w - rx ? cx - (w - rx) : 0;
      const double dy = cy < ry ? ry - cy : cy > h - ry ? cy - (h - ry) : 0;
      bool inside = true;
      if (dx > 0 && dy > 0) inside = (dx * dx) / (rx * rx) + (dy * dy) / (ry * ry) <= 1.0;
      mask[y * w + x] = inside;
    }
  SetMask(region, *r, mask);
}

void XorRgn(RgnHandle a, RgnHandle b, RgnHandle dst) {
  if (!a || !b || !dst) return;
  const bool emptyA = EmptyBox(a->rgnBBox), emptyB = EmptyBox(b->rgnBBox);
  Rect box = emptyA ? b->rgnBBox : a->rgnBBox;
  if (!emptyA && !emptyB) {
    box.top = std::min(a->rgnBBox.top, b->rgnBBox.top);
    box.left = std::min(a->rgnBBox.left, b->rgnBBox.left);
    box.bottom = std::max(a->rgnBBox.bottom, b->rgnBBox.bottom);
    box.right = std::max(a->rgnBBox.right, b->rgnBBox.right);
  }
  if (EmptyBox(box)) {
    SetMask(dst, Rect{0, 0, 0, 0}, nullptr);
    return;
  }
  const SInt32 w = box.right - box.left, h = box.bottom - box.top;
  UInt8* mask = new (std::nothrow) UInt8[size_t(w) * h];
  if (!mask) return;
  for (SInt32 y = 0; y < h; ++y)
    for (SInt32 x = 0; x < w; ++x)
      mask[y * w + x] = PointInRegion(a, box.left + x, box.top + y) != PointInRegion(b, box.left + x, box.top + y);
  SetMask(dst, box, mask);
}
