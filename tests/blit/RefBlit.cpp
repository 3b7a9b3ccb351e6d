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
    case 0:
      *x = i;
      *y = j;
      break;
    case 1:
      *x = j;
      *y = h - 1 - i;
      break;
    case 2:
      *x = w - 1 - i;
      *y = h - 1 - j;
      break;
    default:
      *x = w - 1 - j;
      *y = i;
      break;
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
  // The test blit draws nothing for a mode it does not list, whatever the
  // set-up would fold it to.
  if (o.testKernel && !((mode >= 0 && mode <= 3) || (mode >= 16 && mode <= 19))) return;
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

namespace {

UInt32 SpreadOf(UInt32 p) { return (p & 0xFFFFFC1F & ~0x03E00000u) | ((p & 0x3E0) << 16); }
UInt32 FoldOf(UInt32 x) { return ((x & 0x7C1F) | ((x >> 16) & 0x3E0)) & 0xFFFF; }

UInt32 Pack(UInt32 r, UInt32 g, UInt32 b) { return (r << 10) | (g << 5) | b; }

}  // namespace

UInt32 RefChannelLevel(UInt32 c, int level) {
  if (level <= 32) return c * UInt32(level) / 32;
  if (level == 64) return 31;
  return c * UInt32(64 - level) / 32 + UInt32(level - 32);
}

int RefRGB16Blit(const RefBlitInput& in, RefRGB16Kind kind, const RefRGB16Options& o) {
  RefBlitInput geometry = in;
  geometry.scaled = kind == RefRGB16Kind::Scale;
  std::vector<RefTap> taps;
  if (!RefGeometry(geometry, &taps)) return -1;
  const UInt32 K = 0x7FFF;
  SInt32 mode = o.mode, color = o.color;
  // The test blit draws nothing for a mode it does not list, whatever the
  // set-up would fold it to.
  if (kind == RefRGB16Kind::Test && !((mode >= 0 && mode <= 3) || (mode >= 16 && mode <= 19))) return -1;
  const std::vector<UInt32>* lookup = o.lookup;
  const bool hasColor = color != -1;
  if (lookup && hasColor) {
    if (UInt32(color) >= lookup->size()) return -1;
    color = SInt32((*lookup)[UInt32(color)]);
    lookup = nullptr;
  }
  if (!lookup && (mode & 3) == 3) mode = (mode & 0x10) | 1;

  int levels[3] = {32, 32, 32}, opacity = 32;
  if (o.tint) {
    levels[0] = std::min(o.tint->red, 64);
    levels[1] = std::min(o.tint->green, 64);
    levels[2] = std::min(o.tint->blue, 64);
    opacity = std::clamp(int(SInt8(o.tint->alpha)), 0, 32);
  }
  auto transform = [&](UInt32 v) {
    return Pack(RefChannelLevel((v >> 10) & 31, levels[0]), RefChannelLevel((v >> 5) & 31, levels[1]),
                RefChannelLevel(v & 31, levels[2]));
  };
  if (hasColor && (levels[0] != 32 || levels[1] != 32 || levels[2] != 32)) {
    color = SInt32(transform(UInt32(color)));
    levels[0] = levels[1] = levels[2] = 32;
  }
  const bool plain = levels[0] == 32 && levels[1] == 32 && levels[2] == 32;
  const bool bright = !plain && levels[0] == levels[1] && levels[1] == levels[2];
  const bool mapping = !plain && !bright;

  // The alpha map: laid out like the source, over the alpha rectangle or the
  // source rectangle's own coordinates.
  int alphaDx = 0, alphaDy = 0;
  if (o.alphaMap) {
    if (o.alphaMap->Depth() != 8) return -1;
    const Rect s = Local(in.srcRect, *in.src);
    const Rect area = o.alphaRect ? Local(*o.alphaRect, *o.alphaMap) : s;
    if (area.right - area.left != s.right - s.left || area.bottom - area.top != s.bottom - s.top) return -1;
    if (!Inside(area, *o.alphaMap)) return -1;
    alphaDx = area.left - s.left;
    alphaDy = area.top - s.top;
  }
  const bool blend = opacity != 32 || o.alphaMap || kind == RefRGB16Kind::Test;
  const int slot = (in.mask ? 1 : 0) | (opacity != 32 ? 2 : 0) | (hasColor ? 4 : 0) | (lookup ? 8 : 0) |
                   (o.alphaMap ? 16 : 0) | (mapping ? 32 : 0) | (bright ? 64 : 0);

  // The modes the chosen kernel handles.
  if (kind == RefRGB16Kind::Test) {
    if (!in.mask && mode >= 16 && mode <= 19) mode -= 16;
    if (!((mode >= 0 && mode <= 3) || (mode >= 16 && mode <= 19))) return slot;
    if ((mode & 3) == 3 && !lookup) return slot;
  } else {
    const int low = mode & 0xF;
    if (mode != low && mode != (low | 0x10)) return slot;
    if (low > 3 || (low == 3 && !lookup && !hasColor)) return slot;
    if ((mode & 0x10) && !in.mask) return slot;
  }
  const int low = mode & 3;

  for (const RefTap& t : taps) {
    const UInt32 s = in.src->Get(t.sx, t.sy), d = in.dst->Get(t.dx, t.dy);
    if (in.mask) {
      const UInt32 m = in.mask->Get(t.mx, t.my);
      if ((mode & 0x10) ? m == K : m != K) continue;
    }
    if ((low == 1 || low == 2) && s == K) continue;
    if (low == 2 && d == K) continue;
    if (low == 3 && (*lookup)[s] == K) continue;
    const UInt32 v = lookup ? (*lookup)[s] : s;
    UInt32 value;
    if (hasColor) {
      value = UInt32(color);
    } else if (kind == RefRGB16Kind::Test || mapping) {
      value = transform(v);
    } else if (bright) {
      value = transform(v);
      // A top bit sits just above red and adds the folded level to it.
      if (v & 0x8000) {
        const UInt32 folded = levels[0] > 32 ? 64 - levels[0] : levels[0];
        value = (value & 0x03FF) | ((((value >> 10) + folded) & 31) << 10);
      }
    } else {
      value = v;
    }
    UInt32 out = value;
    if (blend) {
      UInt32 w = UInt32(opacity);
      if (o.alphaMap) w = (o.alphaMap->Get(t.sx + alphaDx, t.sy + alphaDy) * w) >> 5;
      const UInt32 D = SpreadOf(d), V = SpreadOf(value);
      out = FoldOf((D + (((V - D) * w) >> 5)) & 0x03E07C1F);
    }
    in.dst->Set(t.dx, t.dy, out);
  }
  return slot;
}
