// The 16-bit effect kernel families (same-size and scaled), generated from
// one template each: a slot's seven flags (mask 1, trans 2, colour 4, lookup
// 8, alpha 16, mapping 32, bright 64) and the mode pick the pixel rule at
// compile time.
//
// Colours are blended and brightened in spread form: blue in bits 0-4, red in
// bits 10-14, green in bits 21-25 (mask 0x03E07C1F), so one subtraction, one
// multiplication by a weight of 0-32 and one shift treat all three channels.
// The steps keep a pixel's bit 15 where the arithmetic puts it, exactly as
// the 32-bit words work out.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "blit/BasicKernels.h"
#include "blit/RGB16KernelSlots.h"

constexpr UInt32 kSpreadMask = 0x03E07C1F;

// Green copied up to bits 21-25 and cleared from bits 5-9; every other bit,
// bit 15 included, stays.
constexpr UInt32 Spread(UInt32 p) { return __rlwimi(p, p, 16, 6, 10) & 0xFFFFFC1F; }

// Green brought back from bits 21-25 to bits 5-9; the low 16 bits.
constexpr UInt16 Fold(UInt32 x) { return UInt16(__rlwimi(x, x, 16, 22, 26)); }

// The blend of a spread value over a spread destination by a weight of 0-32.
constexpr UInt32 BlendSpread(UInt32 v, UInt32 d, UInt32 w) { return (d + (((v - d) * w) >> 5)) & kSpreadMask; }

struct RGB16Levels {
  UInt32 redLevel, greenLevel, blueLevel, opacity, redAdd, greenAdd, blueAdd, brightLevel, brightAdd;
};

// Each channel c of v becomes (c x level + add) >> 5, as a packed pixel or in
// spread form.
template <bool HasAdd, bool SpreadOut>
constexpr UInt32 MapChannels(UInt32 v, const RGB16Levels& l) {
  const UInt32 red = __rlwinm(v, 22, 27, 31), green = __rlwinm(v, 27, 27, 31), blue = v & 0x1F;
  const UInt32 b = (blue * l.blueLevel + (HasAdd ? l.blueAdd : 0)) >> 5;
  const UInt32 x = __rlwimi(b, red * l.redLevel + (HasAdd ? l.redAdd : 0), 5, 17, 21);
  const UInt32 g = green * l.greenLevel + (HasAdd ? l.greenAdd : 0);
  return SpreadOut ? __rlwimi(x, g, 16, 6, 10) : __rlwimi(x, g, 0, 22, 26);
}

// All three channels times one level plus one add, in spread form.
template <bool HasAdd>
constexpr UInt32 Brighten(UInt32 v, const RGB16Levels& l) {
  return (((Spread(v) * l.brightLevel) >> 5) + (HasAdd ? l.brightAdd : 0)) & kSpreadMask;
}

// The pixel rule of a 16-bit effect kernel: mask test, key test, value
// (source, lookup entry or colour), transform, then a store or a blend by the
// opacity, the alpha byte (at most 32) or both. Select form, as the basic rule.
template <unsigned Slot, int Key, bool Invert, bool HasAdd>
struct RGB16Rule {
  static constexpr bool kMask = Slot & kFlagMask, kTrans = Slot & kFlagTrans, kColor = Slot & kFlagColor;
  static constexpr bool kLookup = Slot & kFlagLookup, kAlpha = Slot & kFlagAlpha;
  static constexpr bool kMapping = Slot & kFlagMapping, kBright = Slot & kFlagBright;
  static constexpr bool kBlend = kTrans || kAlpha;

  // Members that transform or blend also have a 16-bit lane form (Lanes)
  // that the walks run on rows where it gives the same pixels.
  static constexpr bool kHasLanes = kBlend || kMapping || kBright;

  RGB16Rule(const UInt16* table, UInt32 fill, const RGB16Levels& l)
      : lookup(table), color(fill), colorSpread(Spread(fill)), levels(l), lanes(LanesFit(fill, l)) {}

  const UInt16* lookup;
  UInt32 color;
  UInt32 colorSpread;
  RGB16Levels levels;
  bool lanes;

  UInt16 operator()(UInt16 s, UInt16 d, UInt16 m, UInt8 a) const {
    constexpr UInt16 K = kKey16;
    bool ok = true;
    if constexpr (kMask) ok = Invert ? m != K : m == K;
    if constexpr (Key == 1) ok = ok & (s != K);
    if constexpr (Key == 2) ok = ok & (s != K) & (d != K);
    // The table is read only for a pixel the tests so far let through (entry
    // 0 stands in for the others), so a 32,768-entry table is never read at a
    // masked-out pixel with bit 15 set.
    UInt16 e = 0;
    if constexpr (Key == 3 || kLookup) e = lookup[ok ? s : UInt16(0)];
    if constexpr (Key == 3) ok = ok & (e != K);
    UInt32 value;  // packed, or spread when blending
    if constexpr (kColor) {
      value = kBlend ? colorSpread : color;
    } else {
      const UInt32 v = kLookup ? e : s;
      if constexpr (kMapping)
        value = MapChannels<HasAdd, kBlend>(v, levels);
      else if constexpr (kBright)
        value = kBlend ? Brighten<HasAdd>(v, levels) : Fold(Brighten<HasAdd>(v, levels));
      else
        value = kBlend ? Spread(v) : v;
    }
    UInt16 out;
    if constexpr (kBlend) {
      UInt32 w = levels.opacity;
      if constexpr (kAlpha) {
        // Bytes above 32 are used as they come: the channels then spill into
        // each other's bits, but the masked result stays a pixel.
        w = kTrans ? (UInt32(a) * levels.opacity) >> 5 : a;
      }
      out = Fold(BlendSpread(value, Spread(d), w));
    } else {
      out = UInt16(value);
    }
    return ok ? out : d;
  }

  // Whether the lane form gives the spread form's pixels for a call's
  // arguments. The spread form treats a channel as d + floor(w (v - d) / 32),
  // red as six bits with bit 15 on top of it, as long as no sum leaves its
  // field: weights of at most 32, brightness levels
  // and adds that keep every channel within 0-31 (red with bit 15 within
  // 0-63), mapped channels within 0-31, and a fill colour of 16 bits.
  static bool LanesFit(UInt32 fill, const RGB16Levels& l) {
    if (kTrans && l.opacity > 32) return false;
    if (kColor && kBlend && fill > 0xFFFF) return false;
    if constexpr (kMapping) {
      for (const auto& [level, add] :
           {std::pair{l.redLevel, l.redAdd}, std::pair{l.greenLevel, l.greenAdd}, std::pair{l.blueLevel, l.blueAdd}})
        if (level > 64 || add > 1023 || 31 * level + add > 1023) return false;
    }
    if constexpr (kBright) {
      const UInt32 L = l.brightLevel, A = l.brightAdd;
      if (L > 32 || (A & ~kSpreadMask) != 0) return false;
      const UInt32 kb = A & 31, kr = (A >> 10) & 31, kg = (A >> 21) & 31, top = 31 * L / 32;
      if (top + kb > 31 || top + kr > 31 || top + kg > 31 || 63 * L / 32 + kr > 63) return false;
    }
    return true;
  }

  // Whether a row may take the lane form: alpha bytes above 32 spill between
  // the spread form's channels, so such rows keep it.
  bool RowFits(const UInt8* alphaRow, ptrdiff_t width) const {
    if (!lanes) return false;
    if constexpr (kAlpha) {
      UInt8 most = 0;
      for (ptrdiff_t i = 0; i < width; ++i) most = std::max(most, alphaRow[i]);
      return most <= 32;
    }
    return true;
  }

  // The same pixel rule with each channel in its own 16-bit lane (16 pixels
  // to an AVX2 vector instead of 8). Only called where LanesFit and RowFits
  // hold.
  UInt16 Lanes(UInt16 s, UInt16 d, UInt16 m, UInt8 a) const {
    using I = int16_t;
    constexpr UInt16 K = kKey16;
    bool ok = true;
    if constexpr (kMask) ok = Invert ? m != K : m == K;
    if constexpr (Key == 1) ok = ok & (s != K);
    if constexpr (Key == 2) ok = ok & (s != K) & (d != K);
    UInt16 e = 0;
    if constexpr (Key == 3 || kLookup) e = lookup[ok ? s : UInt16(0)];
    if constexpr (Key == 3) ok = ok & (e != K);
    I vr, vg, vb;  // red may carry bit 15 as a sixth bit
    if constexpr (kColor) {
      vr = I(color >> 10);
      vg = I((color >> 5) & 31);
      vb = I(color & 31);
    } else {
      const UInt16 v = kLookup ? e : s;
      const I r6 = I(v >> 10), g = I((v >> 5) & 31), b = I(v & 31);
      if constexpr (kMapping) {
        vr = I(I(I(r6 & 31) * I(levels.redLevel) + (HasAdd ? I(levels.redAdd) : I(0))) >> 5) & 31;
        vg = I(I(g * I(levels.greenLevel) + (HasAdd ? I(levels.greenAdd) : I(0))) >> 5) & 31;
        vb = I(I(b * I(levels.blueLevel) + (HasAdd ? I(levels.blueAdd) : I(0))) >> 5) & 31;
      } else if constexpr (kBright) {
        const I L = I(levels.brightLevel);
        const UInt32 A = HasAdd ? levels.brightAdd : 0;
        vr = I(I(I(r6 * L) >> 5) + I((A >> 10) & 31)) & 31;
        vg = I(I(g * L) >> 5) + I((A >> 21) & 31);
        vb = I(I(b * L) >> 5) + I(A & 31);
      } else {
        vr = r6;
        vg = g;
        vb = b;
      }
    }
    UInt16 out;
    if constexpr (kBlend) {
      I w = I(levels.opacity);
      if constexpr (kAlpha) w = kTrans ? I(I(I(a) * I(levels.opacity)) >> 5) : I(a);
      const I dr = I(d >> 10), dg = I((d >> 5) & 31), db = I(d & 31);
      const I r = I(dr + I(I(w * I(vr - dr)) >> 5)) & 31;
      const I g = I(dg + I(I(w * I(vg - dg)) >> 5));
      const I b = I(db + I(I(w * I(vb - db)) >> 5));
      out = UInt16(r << 10 | g << 5 | b);
    } else {
      out = UInt16(vr << 10 | vg << 5 | vb);
    }
    return ok ? out : d;
  }
};

// Runs body.template operator()<Key, Invert, HasAdd>() for the member's
// handled modes, with the add-free loops chosen when no add term is set.
template <unsigned Slot, class F>
inline void ForRGB16Loop(SInt32 mode, const RGB16Levels& l, const UInt16* lookup, F&& body) {
  constexpr bool kMask = Slot & kFlagMask, kColor = Slot & kFlagColor, kLookup = Slot & kFlagLookup;
  constexpr bool kMapping = Slot & kFlagMapping, kBright = Slot & kFlagBright;
  const bool hasAdd = kMapping ? (l.redAdd | l.greenAdd | l.blueAdd) != 0 : kBright ? l.brightAdd != 0 : false;
  ForEachHandledMode<kMask, kColor || kLookup>(mode, [&]<int Key, bool Invert>() {
    if (Key == 3 && kColor && !lookup) return;
    if constexpr (kMapping || kBright) {
      if (hasAdd)
        body.template operator()<Key, Invert, true>();
      else
        body.template operator()<Key, Invert, false>();
    } else {
      body.template operator()<Key, Invert, false>();
    }
  });
}

template <unsigned Slot>
BLIT_KERNEL void CopyRGB16Kernel(SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart, SInt32 srcPixStep,
                                 SInt32, SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32 srcRowStep, SInt32, SInt32,
                                 UInt16* dstEnd, SInt32 width, SInt32, SInt32, SInt32, UInt16* lookup, SInt32 color,
                                 UInt8* alpha, SInt32 alphaStep, SInt32, SInt32 alphaRowStep, UInt32 redLevel,
                                 UInt32 greenLevel, UInt32 blueLevel, UInt32 opacity, UInt32 redAdd, UInt32 greenAdd,
                                 UInt32 blueAdd, UInt32 brightLevel, UInt32 brightAdd) {
  constexpr bool kMask = Slot & kFlagMask, kAlpha = Slot & kFlagAlpha;
  const RGB16Levels l{redLevel, greenLevel, blueLevel, opacity, redAdd, greenAdd, blueAdd, brightLevel, brightAdd};
  const CopyWalkArgs args{srcPixStep, dstRowPixels, maskRowPixels, srcRowStep, width, alphaStep, alphaRowStep};
  ForRGB16Loop<Slot>(mode, l, lookup, [&]<int Key, bool Invert, bool HasAdd>() {
    const RGB16Rule<Slot, Key, Invert, HasAdd> rule(lookup, UInt32(color), l);
    CopyWalk<UInt16, kMask, kAlpha>(rule, srcStart, dstStart, maskStart, alpha, dstEnd, args);
  });
}

// Scaled: the shared scale table holds plain counts for members with an
// alpha map (moving source and alpha together), source advances otherwise;
// run ends are cumulative.
template <unsigned Slot>
BLIT_KERNEL void ScaleRGB16Kernel(SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart, SInt32 srcPixStep,
                                  SInt32 srcRowPixels, SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32,
                                  SInt32 scaleSrc, SInt32 scaleDst, UInt16* dstEnd, SInt32 width, SInt32 rowDir,
                                  SInt32 xShrink, SInt32 scaleErr, UInt16* lookup, SInt32 color, UInt8* alpha,
                                  SInt32 alphaStep, SInt32 alphaRowBytes, SInt32, UInt32 redLevel, UInt32 greenLevel,
                                  UInt32 blueLevel, UInt32 opacity, UInt32 redAdd, UInt32 greenAdd, UInt32 blueAdd,
                                  UInt32 brightLevel, UInt32 brightAdd) {
  constexpr bool kMask = Slot & kFlagMask, kAlpha = Slot & kFlagAlpha;
  if (!scaleTABLE) return;
  const RGB16Levels l{redLevel, greenLevel, blueLevel, opacity, redAdd, greenAdd, blueAdd, brightLevel, brightAdd};
  const ScaleWalkArgs args{srcPixStep, srcRowPixels, dstRowPixels, maskRowPixels, scaleSrc,  scaleDst,
                           width,      rowDir,       xShrink,      scaleErr,      alphaStep, alphaRowBytes};
  ForRGB16Loop<Slot>(mode, l, lookup, [&]<int Key, bool Invert, bool HasAdd>() {
    const RGB16Rule<Slot, Key, Invert, HasAdd> rule(lookup, UInt32(color), l);
    ScaleWalk<UInt16, kMask, kAlpha, RunEnds::Cumulative, kAlpha>(rule, srcStart, dstStart, maskStart, alpha, dstEnd,
                                                                  scaleTABLE, args);
  });
}
