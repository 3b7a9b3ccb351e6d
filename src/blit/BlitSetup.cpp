#include "blit/BlitSetup.h"

#include <algorithm>

namespace {

bool Fits16(int v) { return v >= -32768 && v <= 32767; }

bool UsablePixMap(PixMapHandle pm, int depth) { return pm && *pm && (*pm)->baseAddr && (*pm)->pixelSize == depth; }

}  // namespace

SInt32 RowElements(PixMapHandle pm, int bytesPerElement) {
  return SInt32(UInt16((*pm)->rowBytes) & 0x7FFF) / bytesPerElement;
}

bool MakeLocal(const Rect& r, PixMapHandle pm, Rect* local) {
  const Rect& b = (*pm)->bounds;
  const int top = r.top - b.top, left = r.left - b.left, bottom = r.bottom - b.top, right = r.right - b.left;
  if (!Fits16(top) || !Fits16(left) || !Fits16(bottom) || !Fits16(right)) return false;
  *local = Rect{SInt16(top), SInt16(left), SInt16(bottom), SInt16(right)};
  return true;
}

bool RectInsidePixMap(const Rect& r, PixMapHandle pm, int bytesPerPixel) {
  const Rect& b = (*pm)->bounds;
  const int width = std::min(b.right - b.left, int(RowElements(pm, bytesPerPixel)));
  const int height = b.bottom - b.top;
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left <= r.right && r.top <= r.bottom;
}

bool PlanBlit(const BlitRequest& q, int depth, BlitSize size, BlitPlan* p) {
  const int bpp = depth / 8;
  if (!UsablePixMap(q.src, depth) || !UsablePixMap(q.dst, depth)) return false;
  if (q.mask && !UsablePixMap(q.mask, depth)) return false;
  if (!q.srcRect || !q.dstRect) return false;

  if (!MakeLocal(*q.srcRect, q.src, &p->srcLocal) || !MakeLocal(*q.dstRect, q.dst, &p->dstLocal)) return false;
  Rect clip = (*q.dst)->bounds;
  if (q.clipRect) SectRect(q.clipRect, &clip, &clip);
  if (!MakeLocal(clip, q.dst, &clip)) return false;

  const Rect& s = p->srcLocal;
  const Rect& d = p->dstLocal;
  const bool odd = (q.turn & 1) != 0;
  const int srcW = s.right - s.left, srcH = s.bottom - s.top;
  const int dstW = d.right - d.left, dstH = d.bottom - d.top;
  if (size == BlitSize::Same) {
    if (odd ? (srcW != dstH || srcH != dstW) : (srcW != dstW || srcH != dstH)) return false;
  }
  if (!SectRect(&d, &clip, &p->visible)) return false;
  if (srcW <= 0 || srcH <= 0) return false;
  if (!RectInsidePixMap(s, q.src, bpp)) return false;

  Rect maskLocal{};
  const bool hasMaskRect = q.mask && q.maskRect;
  if (hasMaskRect && !MakeLocal(*q.maskRect, q.dst, &maskLocal)) return false;

  p->turn = q.turn & 3;
  p->srcRowPixels = RowElements(q.src, bpp);
  p->dstRowPixels = RowElements(q.dst, bpp);
  p->maskRowPixels = q.mask ? RowElements(q.mask, bpp) : 0;
  p->scaleSrc = odd ? srcW : srcH;
  p->scaleDst = dstH;

  p->srcTrimmed = s;
  CalcRectStart(&p->srcTrimmed, &d, &clip, hasMaskRect ? &maskLocal : nullptr, q.hFlip, q.vFlip, char(p->turn),
                &p->startCorner, &p->pixDir, &p->rowBack, &p->rowDir, &p->xShrink, &p->yShrink);
  const Rect& v = p->visible;
  p->width = v.right - v.left;
  p->height = v.bottom - v.top;

  // The mask is walked over an area of the visible rectangle's size, from the
  // trimmed mask rectangle's corner or from the visible rectangle's own.
  if (q.mask) {
    const SInt16 top = hasMaskRect ? maskLocal.top : v.top, left = hasMaskRect ? maskLocal.left : v.left;
    const Rect area{top, left, SInt16(top + p->height), SInt16(left + p->width)};
    if (top + p->height > 32767 || left + p->width > 32767 || !RectInsidePixMap(area, q.mask, bpp)) return false;
    p->maskBase = (*q.mask)->baseAddr;
    p->maskStart = ptrdiff_t(top) * p->maskRowPixels + left;
  } else {
    p->maskBase = nullptr;
    p->maskStart = 0;
  }
  if (!RectInsidePixMap(v, q.dst, bpp)) return false;

  const WalkSteps walk =
      WalkFromCodes(p->srcTrimmed, p->srcRowPixels, p->startCorner, p->pixDir, p->rowBack, p->rowDir);
  p->srcBase = (*q.src)->baseAddr;
  p->dstBase = (*q.dst)->baseAddr;
  p->srcStart = walk.start;
  p->srcPixStep = walk.pixStep;
  p->srcRowStep = walk.rowStep;
  p->dstStart = ptrdiff_t(v.top) * p->dstRowPixels + v.left;
  return true;
}
