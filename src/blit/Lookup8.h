// The plain 8-bit lookup copy (every source byte replaced by its table
// entry) has a third build for processors with AVX-512 VBMI, chosen once at
// load: two byte permutes over the table held in four registers look up 64
// pixels at a time, where the portable loop looks up about one pixel a cycle.
//
// A table needs only the entries that source pixels reach, so the VBMI rows
// load the table only up to the row's largest source value.
#pragma once

#include <cstddef>

#include "platform/QuickDraw.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#include <immintrin.h>
#define BLIT_HAVE_VBMI 1
#endif

enum class Lookup8Build { Automatic, Portable, Vbmi };

// Tests force one build; Automatic takes VBMI where the processor has it.
inline Lookup8Build forcedLookup8Build = Lookup8Build::Automatic;

// Whether this processor has the instructions of the VBMI build.
inline bool Lookup8VbmiAvailable() {
#ifdef BLIT_HAVE_VBMI
  static const bool available =
      __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
  return available;
#else
  return false;
#endif
}

inline bool Lookup8UsesVbmi() {
  switch (forcedLookup8Build) {
    case Lookup8Build::Portable: return false;
    case Lookup8Build::Vbmi: return Lookup8VbmiAvailable();
    default: return Lookup8VbmiAvailable();
  }
}

#ifdef BLIT_HAVE_VBMI
// Rows of `width` pixels, `rows` of them, source and destination rows
// `srcRowPixels` and `dstRowPixels` apart.
__attribute__((target("avx512f,avx512bw,avx512vbmi"), noinline)) inline void LookupRowsVbmi(
    const UInt8* src, ptrdiff_t srcRowPixels, UInt8* dst, ptrdiff_t dstRowPixels, ptrdiff_t width, ptrdiff_t rows,
    const UInt8* table) {
  __m512i t[4] = {_mm512_setzero_si512(), _mm512_setzero_si512(), _mm512_setzero_si512(), _mm512_setzero_si512()};
  int loaded = 0;  // table entries held in t
  for (ptrdiff_t y = 0; y < rows; ++y) {
    const UInt8* s = src + y * srcRowPixels;
    UInt8* d = dst + y * dstRowPixels;
    // The row's largest value bounds the entries to load.
    __m512i most = _mm512_setzero_si512();
    ptrdiff_t i = 0;
    for (; i + 64 <= width; i += 64) most = _mm512_max_epu8(most, _mm512_loadu_si512(s + i));
    if (i < width) most = _mm512_max_epu8(most, _mm512_maskz_loadu_epi8(~0ULL >> (64 - (width - i)), s + i));
    alignas(64) UInt8 lanes[64];
    _mm512_store_si512(lanes, most);
    int top = 0;
    for (UInt8 v : lanes) top = v > top ? v : top;
    if (top + 1 > loaded) {
      for (int k = 0; k < 4; ++k) {
        const int from = k * 64, count = top + 1 - from;
        if (count <= 0) break;
        t[k] = _mm512_maskz_loadu_epi8(count >= 64 ? ~0ULL : ~0ULL >> (64 - count), table + from);
      }
      loaded = top + 1;
    }
    for (i = 0; i + 64 <= width; i += 64) {
      const __m512i index = _mm512_loadu_si512(s + i);
      const __m512i low = _mm512_permutex2var_epi8(t[0], index, t[1]);
      const __m512i high = _mm512_permutex2var_epi8(t[2], index, t[3]);
      _mm512_storeu_si512(d + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high));
    }
    if (i < width) {
      const __mmask64 m = ~0ULL >> (64 - (width - i));
      const __m512i index = _mm512_maskz_loadu_epi8(m, s + i);
      const __m512i low = _mm512_permutex2var_epi8(t[0], index, t[1]);
      const __m512i high = _mm512_permutex2var_epi8(t[2], index, t[3]);
      _mm512_mask_storeu_epi8(d + i, m, _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high));
    }
  }
}

// One row of the 8-bit lookup member (slots 8 and 9) in any key mode, from a
// unit-step row: the source as it lies, or a mirrored, turned or scaled row
// already gathered in destination order. Key 0-3 and Invert are the mode's
// test; Masked reads one mask byte per pixel. A pixel passes as in the
// portable rule (mask, then the source and destination keys, then in key 3
// the entry itself), and only the entries of pixels that pass the tests
// before the lookup are loaded, so the table need hold no more than the
// portable rule reads.
#define BLIT_VBMI_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// The live lanes of the 64 pixels from i in a row of `width`.
BLIT_VBMI_TARGET __attribute__((always_inline)) inline __mmask64 LiveLanes(ptrdiff_t i, ptrdiff_t width) {
  return width - i >= 64 ? ~0ULL : ~0ULL >> (64 - (width - i));
}

// The lanes of 64 pixels from i that pass the tests before the lookup.
template <int Key, bool Masked, bool Invert>
BLIT_VBMI_TARGET __attribute__((always_inline)) inline __mmask64 LookupPasses(const UInt8* d, const UInt8* m,
                                                                              ptrdiff_t i, __mmask64 live,
                                                                              __m512i index) {
  __mmask64 ok = live;
  if constexpr (Masked) {
    const __m512i mv = _mm512_maskz_loadu_epi8(live, m + i);
    ok &= Invert ? _mm512_test_epi8_mask(mv, mv) : _mm512_testn_epi8_mask(mv, mv);
  }
  if constexpr (Key == 1 || Key == 2) ok &= _mm512_test_epi8_mask(index, index);
  if constexpr (Key == 2) {
    const __m512i dv = _mm512_maskz_loadu_epi8(live, d + i);
    ok &= _mm512_test_epi8_mask(dv, dv);
  }
  return ok;
}

template <int Key, bool Masked, bool Invert>
BLIT_VBMI_TARGET __attribute__((noinline)) void LookupRowVbmi(const UInt8* s, UInt8* d, const UInt8* m, ptrdiff_t width,
                                                              const UInt8* table) {
  const __m512i zero = _mm512_setzero_si512();
  // The largest value among the passing pixels bounds the entries to load.
  __m512i most = zero;
  for (ptrdiff_t i = 0; i < width; i += 64) {
    const __mmask64 live = LiveLanes(i, width);
    const __m512i index = _mm512_maskz_loadu_epi8(live, s + i);
    most = _mm512_max_epu8(most, _mm512_maskz_mov_epi8(LookupPasses<Key, Masked, Invert>(d, m, i, live, index), index));
  }
  most = _mm512_max_epu8(most, _mm512_maskz_shuffle_i64x2(0xFF, most, most, 0x4E));
  most = _mm512_max_epu8(most, _mm512_maskz_shuffle_i64x2(0xFF, most, most, 0xB1));
  most = _mm512_max_epu8(most, _mm512_bsrli_epi128(most, 8));
  most = _mm512_max_epu8(most, _mm512_bsrli_epi128(most, 4));
  most = _mm512_max_epu8(most, _mm512_bsrli_epi128(most, 2));
  most = _mm512_max_epu8(most, _mm512_bsrli_epi128(most, 1));
  const int count = (_mm512_cvtsi512_si32(most) & 0xFF) + 1;
  __m512i t[4];
  for (int k = 0; k < 4; ++k) {
    const int n = count - k * 64;
    t[k] = n <= 0 ? zero : _mm512_maskz_loadu_epi8(n >= 64 ? ~0ULL : ~0ULL >> (64 - n), table + k * 64);
  }
  for (ptrdiff_t i = 0; i < width; i += 64) {
    const __mmask64 live = LiveLanes(i, width);
    const __m512i index = _mm512_maskz_loadu_epi8(live, s + i);
    __mmask64 ok = LookupPasses<Key, Masked, Invert>(d, m, i, live, index);
    const __m512i low = _mm512_permutex2var_epi8(t[0], index, t[1]);
    const __m512i high = _mm512_permutex2var_epi8(t[2], index, t[3]);
    const __m512i entry = _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
    if constexpr (Key == 3) ok &= _mm512_test_epi8_mask(entry, entry);
    _mm512_mask_storeu_epi8(d + i, ok, entry);
  }
}
#endif
