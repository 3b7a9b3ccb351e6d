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
#endif
