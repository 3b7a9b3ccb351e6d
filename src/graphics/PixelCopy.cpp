#include "graphics/PixelCopy.h"

#include <algorithm>
#include <cstring>

#include "foundation/ErrorDialog.h"
#include "shell/ApplInfo.h"

UInt8 lineSKIPPING;
UInt8 lineINTERLACE;

namespace {

Rect Local(const Rect& r, PixMapHandle pm) {
  const Rect& b = (*pm)->bounds;
  return {SInt16(r.top - b.top), SInt16(r.left - b.left), SInt16(r.bottom - b.top), SInt16(r.right - b.left)};
}

Rect Extent(PixMapHandle pm) {
  const Rect& b = (*pm)->bounds;
  return {0, 0, SInt16(b.bottom - b.top), SInt16(b.right - b.left)};
}

Rect Intersection(const Rect& a, const Rect& b) {
  return {std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom), std::min(a.right, b.right)};
}

bool Empty(const Rect& r) { return r.bottom <= r.top || r.right <= r.left; }

// Cuts `dst` to `keep` and `src` by the same amount on each side.
void CutBoth(Rect* dst, Rect* src, const Rect& keep) {
  Rect cut = Intersection(*dst, keep);
  src->top = SInt16(src->top + (cut.top - dst->top));
  src->left = SInt16(src->left + (cut.left - dst->left));
  src->bottom = SInt16(src->bottom - (dst->bottom - cut.bottom));
  src->right = SInt16(src->right - (dst->right - cut.right));
  *dst = cut;
}

void ListRows(const Rect& s, const Rect& d, CopyPlan* plan) {
  SInt32 height = d.bottom - d.top;
  bool skip = APPL.lineSkip != 0;
  if (skip && lineSKIPPING == 1) {
    // Each even source row fills two destination rows; the last row used
    // stays inside the source rectangle.
    SInt32 first = s.top + (s.top & 1);
    for (SInt32 k = 0; k < height; k++)
      plan->rows.push_back({std::min<SInt32>(first + (k & ~1), s.bottom - 1), d.top + k});
  } else if (skip && (lineSKIPPING == 2 || lineSKIPPING == 3)) {
    SInt32 parity = lineINTERLACE & 1;
    SInt32 sr = s.top + ((s.top & 1) != parity), dr = d.top + ((d.top & 1) != parity);
    for (; sr < s.bottom && dr < d.bottom; sr += 2, dr += 2) plan->rows.push_back({sr, dr});
  } else {
    for (SInt32 k = 0; k < height; k++) plan->rows.push_back({s.top + k, d.top + k});
  }
}

}  // namespace

bool PlanCopy(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
              CopyPlan* plan) {
  plan->rows.clear();
  if (!src || !dst || !srcRect || !dstRect || !(*src)->baseAddr || !(*dst)->baseAddr) return false;
  Rect s = Local(*srcRect, src), d = Local(*dstRect, dst);
  if (s.bottom - s.top != d.bottom - d.top || s.right - s.left != d.right - d.left) return false;
  Rect c = Local(clip ? Intersection(*clip, (*dst)->bounds) : (*dst)->bounds, dst);
  CutBoth(&d, &s, c);
  CutBoth(&s, &d, Extent(src));
  if (Empty(d) || Empty(s)) return false;
  plan->srcLeft = s.left;
  plan->dstLeft = d.left;
  plan->width = d.right - d.left;
  ListRows(s, d, plan);
  return true;
}

void CopyRect(PixMapHandle src, PixMapHandle dst, Rect* srcRect, Rect* dstRect, Rect* clip) {
  CopyPlan plan;
  if (!PlanCopy(src, dst, srcRect, dstRect, clip, &plan)) return;
  for (auto [sr, dr] : plan.rows)
    std::memmove(PixelRow(dst, dr) + plan.dstLeft, PixelRow(src, sr) + plan.srcLeft, size_t(plan.width));
}

void FlipPixels(PixMapHandle pm, Rect* r) {
  if (!pm || !r || !(*pm)->baseAddr) return;
  Rect f = Intersection(Local(*r, pm), Extent(pm));
  if (Empty(f)) return;
  SInt32 width = f.right - f.left;
  for (SInt32 row = f.top; row < f.bottom; row++) {
    auto* pixels = reinterpret_cast<UInt16*>(PixelRow(pm, row)) + f.left;
    for (SInt32 i = 0; i < width / 2; i++) std::swap(pixels[i], pixels[width - 1 - i]);
  }
}

// Pixel x of a 1-bit row is bit 7 - x % 8 of byte x / 8.
void CopyBlack(PixMapHandle src, PixMapHandle dst, Rect* srcRect, Rect* dstRect, unsigned char mode) {
  if (!src || !dst || !srcRect || !dstRect) return;
  if ((*dst)->pixelSize != 1) {
    ErrorDialog("Destination must be a one bit PixMap (BitMap).", "CopyBlack()", 0, 1);
    return;
  }
  if (srcRect->bottom - srcRect->top != dstRect->bottom - dstRect->top ||
      srcRect->right - srcRect->left != dstRect->right - dstRect->left) {
    ErrorDialog("Source & destination rects are not equal size.", "CopyBlack()", 0, 1);
    return;
  }
  if (mode > 1 || !(*src)->baseAddr || !(*dst)->baseAddr) return;
  Rect s = Local(*srcRect, src), d = Local(*dstRect, dst);
  CutBoth(&d, &s, Extent(dst));
  CutBoth(&s, &d, Extent(src));
  if (Empty(d) || Empty(s)) return;
  for (SInt32 row = 0; row < d.bottom - d.top; row++) {
    const UInt8* from = PixelRow(src, s.top + row) + s.left;
    UInt8* to = PixelRow(dst, d.top + row);
    for (SInt32 i = 0; i < d.right - d.left; i++) {
      SInt32 x = d.left + i;
      UInt8 bit = UInt8(0x80 >> (x % 8));
      if (from[i])
        to[x / 8] |= bit;
      else if (mode == 0)
        to[x / 8] &= UInt8(~bit);
    }
  }
}
