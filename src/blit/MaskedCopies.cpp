#include "blit/MaskedCopies.h"

#include <algorithm>

#include "platform/PlatformTime.h"

namespace {

struct Box {
  SInt32 top, left, bottom, right;
  SInt32 Width() const { return right - left; }
  SInt32 Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

bool Usable(PixMapHandle pm) { return pm && *pm && (*pm)->baseAddr; }
SInt32 RowBytesOf(PixMapHandle pm) { return (*pm)->rowBytes & 0x7FFF; }

Box Local(const Rect& r, PixMapHandle pm) {
  const Rect& b = (*pm)->bounds;
  return Box{r.top - b.top, r.left - b.left, r.bottom - b.top, r.right - b.left};
}

bool InsidePixMap(const Box& box, PixMapHandle pm) {
  const Rect& b = (*pm)->bounds;
  return box.top >= 0 && box.left >= 0 && box.bottom <= b.bottom - b.top &&
         box.right <= std::min<SInt32>(b.right - b.left, RowBytesOf(pm));
}

// The local clip of a destination: the clip cut to its bounds.
bool LocalClip(PixMapHandle dst, const Rect* clip, Box* out) {
  Rect cut;
  if (!SectRect(clip ? clip : &(*dst)->bounds, &(*dst)->bounds, &cut)) return false;
  *out = Local(cut, dst);
  out->right = std::min(out->right, RowBytesOf(dst));
  return !out->Empty();
}

// The shared set-up: destination cut to the clip, the others moved alike.
// `others` are (rectangle, pixmap) pairs already made local.
bool PlanCopy(PixMapHandle dst, const Rect* dstRect, const Rect* clip, Box* d, Box* others[], PixMapHandle pms[],
              int count) {
  *d = Local(*dstRect, dst);
  for (int i = 0; i < count; ++i)
    if (others[i]->Width() != d->Width() || others[i]->Height() != d->Height()) return false;
  Box c;
  if (!LocalClip(dst, clip, &c)) return false;
  const Box cut{std::max(d->top, c.top), std::max(d->left, c.left), std::min(d->bottom, c.bottom),
                std::min(d->right, c.right)};
  if (cut.Empty()) return false;
  for (int i = 0; i < count; ++i) {
    Box& o = *others[i];
    o = Box{o.top + cut.top - d->top, o.left + cut.left - d->left, o.bottom + cut.bottom - d->bottom,
            o.right + cut.right - d->right};
    if (!InsidePixMap(o, pms[i])) return false;
  }
  *d = cut;
  return true;
}

UInt8* Pixel(PixMapHandle pm, SInt32 h, SInt32 v) {
  return reinterpret_cast<UInt8*>((*pm)->baseAddr) + v * RowBytesOf(pm) + h;
}

UInt32 TickSeed() { return TickCount(); }
StaticSeedSource seedSource = TickSeed;

bool Passes(UInt32* seed, UInt8 level) {
  *seed = NextStaticSeed(*seed);
  return UInt8(*seed) <= level;
}

}  // namespace

void CopyRectMask(PixMapHandle src, PixMapHandle dst, PixMapHandle background, const Rect* srcRect, const Rect* dstRect,
                  const Rect* backgroundRect, const Rect* clip) {
  if (!Usable(src) || !Usable(dst) || !Usable(background) || !srcRect || !dstRect || !backgroundRect) return;
  // Each rectangle is made local with its own pixmap's bounds.
  Box s = Local(*srcRect, src), b = Local(*backgroundRect, background), d;
  Box* others[] = {&s, &b};
  PixMapHandle pms[] = {src, background};
  if (!PlanCopy(dst, dstRect, clip, &d, others, pms, 2)) return;
  for (SInt32 y = 0; y < d.Height(); ++y)
    for (SInt32 x = 0; x < d.Width(); ++x) {
      const UInt8 v = *Pixel(src, s.left + x, s.top + y);
      *Pixel(dst, d.left + x, d.top + y) = v ? v : *Pixel(background, b.left + x, b.top + y);
    }
}

void CopyRectTranslateTwice(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect,
                            const Rect* clip, const UInt8* first, const UInt8* second) {
  if (!Usable(src) || !Usable(dst) || !srcRect || !dstRect || !first || !second) return;
  Box s = Local(*srcRect, src), d;
  Box* others[] = {&s};
  PixMapHandle pms[] = {src};
  if (!PlanCopy(dst, dstRect, clip, &d, others, pms, 1)) return;
  for (SInt32 y = 0; y < d.Height(); ++y)
    for (SInt32 x = 0; x < d.Width(); ++x)
      *Pixel(dst, d.left + x, d.top + y) = second[first[*Pixel(src, s.left + x, s.top + y)]];
}

UInt32 NextStaticSeed(UInt32 seed) { return UInt32(seed * 331691u) % 199604759u + 65089u; }

StaticSeedSource SetStaticSeedSource(StaticSeedSource source) {
  const StaticSeedSource before = seedSource;
  seedSource = source ? source : TickSeed;
  return before;
}

void CopySpriteStatic(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                      SInt8 mode, const UInt8* table, UInt8 level) {
  if (level == 0) return;
  if (!Usable(src) || !Usable(dst) || !srcRect || !dstRect) return;
  if (mode < 0 || mode > 2 || (mode == 2 && !table)) return;
  Box s = Local(*srcRect, src), d;
  Box* others[] = {&s};
  PixMapHandle pms[] = {src};
  if (!PlanCopy(dst, dstRect, clip, &d, others, pms, 1)) return;
  UInt32 seed = seedSource();
  for (SInt32 y = 0; y < d.Height(); ++y)
    for (SInt32 x = 0; x < d.Width(); ++x) {
      const UInt8 source = *Pixel(src, s.left + x, s.top + y);
      const UInt8 value = table ? table[source] : source;
      const bool eligible = mode == 0 || (mode == 1 && source != 0) || (mode == 2 && value != 0);
      if (!eligible) continue;
      if (level != 255 && !Passes(&seed, level)) continue;
      *Pixel(dst, d.left + x, d.top + y) = value;
    }
}

void PaintRectStatic(PixMapHandle target, const Rect* r, const Rect* clip, SInt8 mode, const UInt8* table,
                     UInt8 level) {
  if (!Usable(target) || !r) return;
  const UInt8 blank = table ? table[255] : 255;
  Box area;
  if (level == 0) {
    if (mode != 0) return;
    // The whole rectangle, cut only to the pixmap.
    const Box whole = Local(*r, target);
    const Rect& b = (*target)->bounds;
    area = Box{std::max(whole.top, 0), std::max(whole.left, 0), std::min<SInt32>(whole.bottom, b.bottom - b.top),
               std::min({whole.right, SInt32(b.right - b.left), RowBytesOf(target)})};
    if (area.Empty()) return;
    for (SInt32 v = area.top; v < area.bottom; ++v) std::fill_n(Pixel(target, area.left, v), area.Width(), blank);
    return;
  }
  if (level != 255 && mode != 0 && mode != 1) return;  // level 255 paints static in any mode
  Box c;
  if (!LocalClip(target, clip, &c)) return;
  const Box whole = Local(*r, target);
  area = Box{std::max(whole.top, c.top), std::max(whole.left, c.left), std::min(whole.bottom, c.bottom),
             std::min(whole.right, c.right)};
  if (area.Empty()) return;
  UInt32 seed = seedSource();
  for (SInt32 v = area.top; v < area.bottom; ++v)
    for (SInt32 h = area.left; h < area.right; ++h) {
      UInt8* p = Pixel(target, h, v);
      if (level == 255) {
        seed = NextStaticSeed(seed);
        *p = table ? table[UInt8(seed)] : UInt8(seed);
      } else if (Passes(&seed, level)) {
        seed = NextStaticSeed(seed);
        *p = table ? table[UInt8(seed)] : UInt8(seed);
      } else if (mode == 0) {
        *p = blank;
      }
    }
}
