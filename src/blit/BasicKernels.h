// The basic kernel family, generated from one template per walk: a slot's
// flags (mask 1, trans 2, colour 4, lookup 8) and the mode pick the pixel
// rule at compile time, so no flag is tested inside a pixel loop.
#pragma once

#include <algorithm>
#include <type_traits>

#include "blit/BlitWalks.h"
#include "blit/Lookup8.h"

// Runs f.template operator()<key, invertMask>() for a mode the kernel
// handles: 0-2, 3 when it has a lookup or colour, and 16-19 likewise when it
// has a mask. Any other mode draws nothing.
template <bool HasMask, bool HasKey3, class F>
inline void ForEachHandledMode(SInt32 mode, F&& f) {
  switch (mode) {
    case 0: f.template operator()<0, false>(); break;
    case 1: f.template operator()<1, false>(); break;
    case 2: f.template operator()<2, false>(); break;
    case 3:
      if constexpr (HasKey3) f.template operator()<3, false>();
      break;
    case 16:
      if constexpr (HasMask) f.template operator()<0, true>();
      break;
    case 17:
      if constexpr (HasMask) f.template operator()<1, true>();
      break;
    case 18:
      if constexpr (HasMask) f.template operator()<2, true>();
      break;
    case 19:
      if constexpr (HasMask && HasKey3) f.template operator()<3, true>();
      break;
    default: break;
  }
}

// The pixel rule of a basic kernel: mask test, key test, value (source,
// lookup entry or colour), then the value or its translucency-table entry.
// Written in select form: every pixel is stored, undrawn ones with their own
// value, so the plain loops vectorise.
template <class T, unsigned Slot, int Key, bool Invert>
struct BasicRule {
  static constexpr bool kMask = Slot & kFlagMask, kTrans = Slot & kFlagTrans;
  static constexpr bool kColor = Slot & kFlagColor, kLookup = Slot & kFlagLookup;
  // In mode 3 the masked colour and translucent members also spare key-coloured
  // destination pixels.
  static constexpr bool kKey3TestsDest = kMask && (kColor || kTrans);
  // Mode 0 of the member with no flags draws every source pixel as it is.
  static constexpr bool kCopiesSource = Slot == 0 && Key == 0;

  const T* lookup;
  UInt32 color;
  const T* trans;

  // A whole row at once, where this processor has a faster way than the
  // rule pixel by pixel: the 8-bit lookup member in every mode, from rows as
  // they lie or as they were gathered. False when there is none.
  bool Row(T* dr, const T* sr, const T* mr, ptrdiff_t width) const {
#ifdef BLIT_HAVE_VBMI
    if constexpr (std::is_same_v<T, UInt8> && kLookup && !kTrans && !kColor) {
      if (Lookup8UsesVbmi()) {
        LookupRowVbmi<Key, kMask, Invert>(sr, dr, mr, width, lookup);
        return true;
      }
    }
#else
    (void)dr, (void)sr, (void)mr, (void)width;
#endif
    return false;
  }

  T operator()(T s, T d, T m, unsigned char) const {
    constexpr T K = KeyColor<T>();
    bool ok = true;
    if constexpr (kMask) ok = Invert ? m != K : m == K;
    if constexpr (Key == 1) ok = ok & (s != K);
    if constexpr (Key == 2) ok = ok & (s != K) & (d != K);
    if constexpr (Key == 3 && kKey3TestsDest) ok = ok & (d != K);
    // The table is read only for a pixel the tests so far let through (entry
    // 0 stands in for the others): a caller's table need hold only the values
    // that reach it.
    T e = 0;
    if constexpr (Key == 3 || kLookup) e = lookup[ok ? s : T(0)];
    if constexpr (Key == 3) ok = ok & (e != K);
    if constexpr (kTrans) {
      if (!ok) return d;
      const UInt32 v = kLookup ? UInt32(e) : kColor ? color : UInt32(s);
      return trans[(v << 8) + d];
    } else {
      const T v = kLookup ? e : kColor ? T(color) : s;
      return ok ? v : d;
    }
  }
};

template <class T>
inline void FillRows(T* dst, T* dstEnd, SInt32 dstRowPixels, SInt32 width, T value) {
  if (width <= 0 || dstRowPixels <= 0 || !(dst < dstEnd)) return;
  const ptrdiff_t end = dstEnd - dst;
  for (ptrdiff_t d = 0; d < end; d += dstRowPixels) std::fill_n(dst + d, width, value);
}

template <class T, unsigned Slot>
BLIT_KERNEL void CopyKernel(SInt32 mode, T* srcStart, T* dstStart, T* maskStart, SInt32 srcPixStep, SInt32,
                            SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32 srcRowStep, SInt32, SInt32, T* dstEnd,
                            SInt32 width, SInt32, SInt32, SInt32, T* lookup, SInt32 color, T* transTable) {
  constexpr bool kMask = Slot & kFlagMask, kColor = Slot & kFlagColor, kLookup = Slot & kFlagLookup;
  const CopyWalkArgs args{srcPixStep, dstRowPixels, maskRowPixels, srcRowStep, width, 0, 0};
  ForEachHandledMode<kMask, kColor || kLookup>(mode, [&]<int Key, bool Invert>() {
    if (Key == 3 && kColor && !lookup) return;
    if constexpr (Key == 0 && Slot == kFlagColor) {
      FillRows(dstStart, dstEnd, dstRowPixels, width, T(color));  // a plain fill reads nothing
#ifdef BLIT_HAVE_VBMI
    } else if (std::is_same_v<T, UInt8> && Slot == kFlagLookup && Key == 0 && srcPixStep == 1 && width > 0 &&
               dstRowPixels > 0 && dstStart < dstEnd && Lookup8UsesVbmi()) {
      const ptrdiff_t rows = (dstEnd - dstStart + dstRowPixels - 1) / dstRowPixels;
      LookupRowsVbmi(reinterpret_cast<const UInt8*>(srcStart), ptrdiff_t(width) + srcRowStep,
                     reinterpret_cast<UInt8*>(dstStart), dstRowPixels, width, rows,
                     reinterpret_cast<const UInt8*>(lookup));
#endif
    } else {
      const BasicRule<T, Slot, Key, Invert> rule{lookup, UInt32(color), transTable};
      CopyWalk<T, kMask, false>(rule, srcStart, dstStart, maskStart, nullptr, dstEnd, args);
    }
  });
}

template <class T, unsigned Slot>
BLIT_KERNEL void ScaleKernel(SInt32 mode, T* srcStart, T* dstStart, T* maskStart, SInt32 srcPixStep,
                             SInt32 srcRowPixels, SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32, SInt32 scaleSrc,
                             SInt32 scaleDst, T* dstEnd, SInt32 width, SInt32 rowDir, SInt32 xShrink, SInt32 scaleErr,
                             T* lookup, SInt32 color, T* transTable) {
  constexpr bool kMask = Slot & kFlagMask, kColor = Slot & kFlagColor, kLookup = Slot & kFlagLookup;
  const ScaleWalkArgs args{srcPixStep, srcRowPixels, dstRowPixels, maskRowPixels, scaleSrc, scaleDst,
                           width,      rowDir,       xShrink,      scaleErr,      0,        0};
  if (!scaleTABLE) return;
  ForEachHandledMode<kMask, kColor || kLookup>(mode, [&]<int Key, bool Invert>() {
    if (Key == 3 && kColor && !lookup) return;
    const BasicRule<T, Slot, Key, Invert> rule{lookup, UInt32(color), transTable};
    ScaleWalk<T, kMask, false, RunEnds::Relative, false>(rule, srcStart, dstStart, maskStart, nullptr, dstEnd,
                                                         scaleTABLE, args);
  });
}
