#include "blit/EdgeTrace.h"

#include <algorithm>

namespace {

struct Offset {
  SInt32 dh, dv;
};
constexpr Offset kEight[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
constexpr Offset kFour[] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};

template <class T, class Src, class Dst>
void TraceGrid(const Src& src, Dst& dst, SInt32 w, SInt32 h, T inside, T edge, UInt8 eightWay) {
  const SInt32 first = w + 1, last = (h - 1) * w - 2;
  const Offset* begin = eightWay ? kEight : kFour;
  const Offset* end = eightWay ? std::end(kEight) : std::end(kFour);
  for (SInt32 i = first; i <= last; ++i) {
    if (src[i] != inside) continue;
    for (const Offset* o = begin; o != end; ++o) {
      const SInt32 n = i + o->dv * w + o->dh;
      if (src[n] != inside) dst[n] = edge;
    }
  }
}

}  // namespace

void TraceEdges_Chars(const UInt8* src, UInt8* dst, SInt16 width, SInt16 height, UInt8 inside, UInt8 edge,
                      UInt8 eightWay) {
  if (!src || !dst || width < 1 || height < 1) return;
  TraceGrid<UInt8>(src, dst, width, height, inside, edge, eightWay);
}

void TraceEdges_Shorts(const UInt16* src, UInt16* dst, SInt16 width, SInt16 height, UInt16 inside, UInt16 edge,
                       UInt8 eightWay) {
  if (!src || !dst || width < 1 || height < 1) return;
  TraceGrid<UInt16>(src, dst, width, height, inside, edge, eightWay);
}

void TraceEdges_ArrayClass_Shorts(Array<UInt16>* src, Array<UInt16>* dst, SInt16 width, SInt16 height, UInt16 inside,
                                  UInt16 edge, UInt8 eightWay) {
  if (!src || !dst || width < 1 || height < 1) return;
  const UInt32 cells = UInt32(width) * UInt32(height);
  if (src->Size() < cells || dst->Size() < cells) return;
  TraceGrid<UInt16>(src->elements, dst->elements, width, height, inside, edge, eightWay);
}

void TraceEdges_PixMap(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                       UInt8 inside, UInt8 edge, UInt8 eightWay) {
  if (!src || !*src || !dst || !*dst || !srcRect || !dstRect || !clip) return;
  if (!(*src)->baseAddr || !(*dst)->baseAddr) return;
  const PixMap& s = **src;
  const PixMap& d = **dst;
  const SInt32 srcW = s.bounds.right - s.bounds.left, srcH = s.bounds.bottom - s.bounds.top;
  const SInt32 srcRow = s.rowBytes & 0x7FFF, dstRow = d.rowBytes & 0x7FFF;

  struct Box {
    SInt32 top, left, bottom, right;
  };
  Box sr{srcRect->top - s.bounds.top, srcRect->left - s.bounds.left, srcRect->bottom - s.bounds.top,
         srcRect->right - s.bounds.left};
  Box dr{dstRect->top - d.bounds.top, dstRect->left - d.bounds.left, dstRect->bottom - d.bounds.top,
         dstRect->right - d.bounds.left};
  if (sr.top < 0 || sr.left < 0 || sr.bottom > srcH || sr.right > std::min(srcW, srcRow)) return;
  if (sr.right - sr.left != dr.right - dr.left || sr.bottom - sr.top != dr.bottom - dr.top) return;

  Rect cut;
  if (!SectRect(clip, &d.bounds, &cut)) return;
  const Box cr{cut.top - d.bounds.top, cut.left - d.bounds.left, cut.bottom - d.bounds.top,
               std::min<SInt32>(cut.right - d.bounds.left, dstRow)};

  // Grow by one, cut the destination to the clip, move the source alike.
  sr = Box{sr.top - 1, sr.left - 1, sr.bottom + 1, sr.right + 1};
  const Box grown{dr.top - 1, dr.left - 1, dr.bottom + 1, dr.right + 1};
  dr = Box{std::max(grown.top, cr.top), std::max(grown.left, cr.left), std::min(grown.bottom, cr.bottom),
           std::min(grown.right, cr.right)};
  if (dr.top >= dr.bottom || dr.left >= dr.right) return;
  sr.top += dr.top - grown.top;
  sr.left += dr.left - grown.left;
  sr.bottom += dr.bottom - grown.bottom;
  sr.right += dr.right - grown.right;
  // Back to the centres.
  sr = Box{sr.top + 1, sr.left + 1, sr.bottom - 1, sr.right - 1};
  dr = Box{dr.top + 1, dr.left + 1, dr.bottom - 1, dr.right - 1};

  const UInt8* sBase = reinterpret_cast<const UInt8*>(s.baseAddr);
  UInt8* dBase = reinterpret_cast<UInt8*>(d.baseAddr);
  auto isInside = [&](SInt32 h, SInt32 v) {
    return h >= 0 && v >= 0 && h < srcW && v < srcH && sBase[v * srcRow + h] == inside;
  };
  const Offset* begin = eightWay ? kEight : kFour;
  const Offset* end = eightWay ? std::end(kEight) : std::end(kFour);
  const SInt32 toDstH = dr.left - sr.left, toDstV = dr.top - sr.top;
  for (SInt32 v = sr.top; v < sr.bottom; ++v)
    for (SInt32 h = sr.left; h < sr.right; ++h) {
      if (!isInside(h, v)) continue;
      for (const Offset* o = begin; o != end; ++o)
        if (!isInside(h + o->dh, v + o->dv)) dBase[(v + o->dv + toDstV) * dstRow + (h + o->dh + toDstH)] = edge;
    }
}
