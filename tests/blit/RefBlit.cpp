#include "RefBlit.h"

#include <algorithm>

namespace {

Rect Local(const Rect& r, const TestPixMap& pm) {
  const Rect& b = pm.Bounds();
  return Rect{SInt16(r.top - b.top), SInt16(r.left - b.left), SInt16(r.bottom - b.top), SInt16(r.right - b.left)};
}

bool Inside(const Rect& r, const TestPixMap& pm) {
  return r.left >= 0 && r.top >= 0 && r.right <= pm.Width() && r.bottom <= pm.Height() && r.left <= r.right &&
         r.top <= r.bottom;
}

// The source pixel shown at (i, j) of the oriented picture: the w x h source
// turned `turn` quarter turns clockwise, then mirrored left-right, then
// top-bottom. W x H is the oriented picture's size.
void Orient(int i, int j, int W, int H, int w, int h, int turn, bool hFlip, bool vFlip, int* x, int* y) {
  if (vFlip) j = H - 1 - j;
  if (hFlip) i = W - 1 - i;
  switch (turn) {
    case 0: *x = i; *y = j; break;
    case 1: *x = j; *y = h - 1 - i; break;
    case 2: *x = w - 1 - i; *y = h - 1 - j; break;
    default: *x = w - 1 - j; *y = i; break;
  }
}

// The oriented-picture index shown by each visible destination column (or
// row): the first is the index clipping trims to; then an error walk adds
// the source extent per destination pixel, stepping once per pixel when
// enlarging and as often as it must when shrinking.
std::vector<int> ScaledIndexes(int dstStart, int dstExtent, int visStart, int visCount, int srcExtent,
                               bool oneStepPerPixel) {
  const int skipped = visStart - dstStart;
  int index = int(SInt64(skipped) * srcExtent / dstExtent);
  int e = int(SInt64(skipped) * srcExtent % dstExtent) + srcExtent / 2;
  std::vector<int> out;
  for (int k = 0; k < visCount; ++k) {
    out.push_back(index);
    e += srcExtent;
    if (oneStepPerPixel) {
      if (e >= dstExtent) e -= dstExtent, ++index;
    } else {
      while (e >= dstExtent) e -= dstExtent, ++index;
    }
  }
  return out;
}

UInt32 KeyOf(int depth) { return depth == 8 ? 0 : depth == 16 ? 0x7FFF : 0x00FFFFFF; }

UInt32 Narrow(UInt32 v, int depth) { return depth == 8 ? (v & 0xFF) : depth == 16 ? (v & 0xFFFF) : v; }

}  // namespace

bool RefGeometry(const RefBlitInput& in, std::vector<RefTap>* taps) {
  taps->clear();
  const Rect s = Local(in.srcRect, *in.src);
  const Rect d = Local(in.dstRect, *in.dst);
  Rect clip = in.dst->Bounds();
  if (in.clip) {
    clip.top = std::max(clip.top, in.clip->top);
    clip.left = std::max(clip.left, in.clip->left);
    clip.bottom = std::min(clip.bottom, in.clip->bottom);
    clip.right = std::min(clip.right, in.clip->right);
  }
  clip = Local(clip, *in.dst);
  const int w = s.right - s.left, h = s.bottom - s.top;
  const int dstW = d.right - d.left, dstH = d.bottom - d.top;
  const bool odd = in.turn & 1;
  const int W = odd ? h : w, H = odd ? w : h;  // the oriented picture
  if (!in.scaled && (W != dstW || H != dstH)) return false;
  const int visL = std::max(d.left, clip.left), visR = std::min(d.right, clip.right);
  const int visT = std::max(d.top, clip.top), visB = std::min(d.bottom, clip.bottom);
  if (visL >= visR || visT >= visB) return false;
  if (w <= 0 || h <= 0 || !Inside(s, *in.src)) return false;

  std::vector<int> cols, rows;
  for (int x = visL; x < visR; ++x) cols.push_back(x - d.left);
  for (int y = visT; y < visB; ++y) rows.push_back(y - d.top);
  if (in.scaled) {
    cols = ScaledIndexes(d.left, dstW, visL, visR - visL, W, W <= dstW);
    rows = ScaledIndexes(d.top, dstH, visT, visB - visT, H, false);
  }
  Rect maskArea{};
  if (in.mask) {
    const Rect mr = in.maskRect ? Local(*in.maskRect, *in.dst) : d;
    const int left = in.maskRect ? mr.left + (visL - d.left) : visL;
    const int top = in.maskRect ? mr.top + (visT - d.top) : visT;
    maskArea = Rect{SInt16(top), SInt16(left), SInt16(top + visB - visT), SInt16(left + visR - visL)};
    if (!Inside(maskArea, *in.mask)) return false;
  }
  for (int y = visT; y < visB; ++y) {
    for (int x = visL; x < visR; ++x) {
      RefTap t{x, y, 0, 0, 0, 0};
      Orient(cols[x - visL], rows[y - visT], W, H, w, h, in.turn, in.hFlip, in.vFlip, &t.sx, &t.sy);
      t.sx += s.left;
      t.sy += s.top;
      t.mx = maskArea.left + (x - visL);
      t.my = maskArea.top + (y - visT);
      taps->push_back(t);
    }
  }
  return true;
}

void RefBasicBlit(const RefBlitInput& in, const RefBasicOptions& o) {
  std::vector<RefTap> taps;
  if (!RefGeometry(in, &taps)) return;
  const int depth = in.dst->Depth();
  const UInt32 K = KeyOf(depth);
  SInt32 mode = o.mode, color = o.color;
  const std::vector<UInt32>* lookup = o.lookup;
  bool hasColor = false;
  if (o.effect) {
    if (!lookup) return;
  } else {
    hasColor = color != -1;
    if (lookup && hasColor) {
      if (depth < 32 && UInt32(color) >= lookup->size()) return;
      color = SInt32((*lookup)[UInt32(color)]);
      lookup = nullptr;
    }
    if (!lookup && (mode & 3) == 3) mode = (mode & 0x10) | 1;
  }
  if (o.testKernel && !in.mask && mode >= 16 && mode <= 19) mode -= 16;
  const bool trans = depth == 8 && o.trans && !o.effect;
  // The modes a kernel of these options handles.
  const int low = mode & 0xF;
  if (mode != low && mode != (low | 0x10)) return;
  if (low > 3 || (low == 3 && !lookup && !hasColor)) return;
  if ((mode & 0x10) && !in.mask) return;

  for (const RefTap& t : taps) {
    const UInt32 sp = in.src->Get(t.sx, t.sy);
    const UInt32 dp = in.dst->Get(t.dx, t.dy);
    if (in.mask) {
      const UInt32 m = in.mask->Get(t.mx, t.my);
      if ((mode & 0x10) ? m == K : m != K) continue;
    }
    if ((low == 1 || low == 2) && sp == K) continue;
    if (low == 2 && dp == K) continue;
    if (low == 3) {
      if ((*lookup)[sp] == K) continue;
      // Masked colour and translucent kernels also spare key destinations.
      if (!o.effect && in.mask && (hasColor || trans) && dp == K) continue;
    }
    UInt32 v = lookup ? (*lookup)[sp] : hasColor ? UInt32(color) : sp;
    if (trans) v = (*o.trans)[((v << 8) + dp) & 0xFFFF];
    in.dst->Set(t.dx, t.dy, Narrow(v, depth));
  }
}
