// Rows of a turned or mirrored source gathered into a small scratch in
// destination order, so the pixel rules always run as unit-step loops.
//
// A walk whose source step is not +1 reads, for destination row r of a group
// and column i, the source pixel at base + r * delta + i * step. For a quarter
// turn the step is a whole source row and delta is one pixel, so an N x N
// block of the destination is an N x N block of the source transposed: N
// vector loads, a register transpose and N vector stores. A mirror (step -1)
// is a reversed copy of each row. Every load reads only pixels the walk
// draws, so a gather never reaches outside the source rectangle.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/QuickDraw.h"

namespace gather {

// 16-byte vectors of each pixel size, with their interleaves and reversal.
template <class T>
struct Vec;

template <>
struct Vec<UInt8> {
  typedef UInt8 V __attribute__((vector_size(16)));
  static constexpr int N = 16;
  static V Lo(V a, V b) {
    return __builtin_shufflevector(a, b, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
  }
  static V Hi(V a, V b) {
    return __builtin_shufflevector(a, b, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
  }
  static V Reverse(V a) { return __builtin_shufflevector(a, a, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0); }
};

template <>
struct Vec<UInt16> {
  typedef UInt16 V __attribute__((vector_size(16)));
  static constexpr int N = 8;
  static V Lo(V a, V b) { return __builtin_shufflevector(a, b, 0, 8, 1, 9, 2, 10, 3, 11); }
  static V Hi(V a, V b) { return __builtin_shufflevector(a, b, 4, 12, 5, 13, 6, 14, 7, 15); }
  static V Reverse(V a) { return __builtin_shufflevector(a, a, 7, 6, 5, 4, 3, 2, 1, 0); }
};

template <>
struct Vec<UInt32> {
  typedef UInt32 V __attribute__((vector_size(16)));
  static constexpr int N = 4;
  static V Lo(V a, V b) { return __builtin_shufflevector(a, b, 0, 4, 1, 5); }
  static V Hi(V a, V b) { return __builtin_shufflevector(a, b, 2, 6, 3, 7); }
  static V Reverse(V a) { return __builtin_shufflevector(a, a, 3, 2, 1, 0); }
};

template <class T>
inline typename Vec<T>::V Load(const T* p) {
  typename Vec<T>::V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
inline void Store(T* p, typename Vec<T>::V v) {
  std::memcpy(p, &v, sizeof v);
}

// Transposes N rows of N pixels. Each round interleaves row i with row
// i + N/2; log2(N) rounds rotate the bits of (row, column) into (column, row).
template <class T>
inline void Transpose(typename Vec<T>::V* r) {
  using W = Vec<T>;
  constexpr int N = W::N;
  for (int round = 1; round < N; round *= 2) {
    typename W::V out[N];
    for (int i = 0; i < N / 2; ++i) {
      out[2 * i] = W::Lo(r[i], r[i + N / 2]);
      out[2 * i + 1] = W::Hi(r[i], r[i + N / 2]);
    }
    for (int i = 0; i < N; ++i) r[i] = out[i];
  }
}

}  // namespace gather

// Scratch for gathered rows, one per thread: copies on different threads
// into different destinations share nothing, so they may run at once. The
// scratch is kept between calls on its thread, so it is allocated only when
// a wider blit than before comes.
inline unsigned char* GatherScratch(size_t bytes) {
  thread_local std::vector<unsigned long long> scratch;
  if (scratch.size() * sizeof(unsigned long long) < bytes) scratch.resize(bytes / sizeof(unsigned long long) + 1);
  return reinterpret_cast<unsigned char*>(scratch.data());
}

// Rows 0..rows-1 of out (each `stride` pixels apart) receive, for columns
// 0..width-1, the pixels src[base + r * delta + col(i)], where delta is +1 or
// -1: a tile of a quarter-turned source, each destination column one run of
// neighbouring source pixels. Rows go in bands of N through N x N register
// transposes; with delta -1 row r lies one pixel before row r - 1, so each
// load is reversed. A tile a few cache lines tall reads each source line it
// touches once, whole.
template <class T, class Col>
inline void GatherTile(const T* src, ptrdiff_t base, ptrdiff_t delta, const Col& col, ptrdiff_t width, int rows, T* out,
                       ptrdiff_t stride) {
  using W = gather::Vec<T>;
  constexpr int N = W::N;
  int r0 = 0;
  for (; r0 + N <= rows; r0 += N) {
    const T* block = src + base + r0 * delta - (delta < 0 ? N - 1 : 0);
    ptrdiff_t i = 0;
    for (; i + N <= width; i += N) {
      typename W::V v[N];
      for (int k = 0; k < N; ++k) {
        v[k] = gather::Load(block + col(i + k));
        if (delta < 0) v[k] = W::Reverse(v[k]);
      }
      gather::Transpose<T>(v);
      for (int r = 0; r < N; ++r) gather::Store(out + (r0 + r) * stride + i, v[r]);
    }
    for (; i < width; ++i)
      for (int r = 0; r < N; ++r) out[(r0 + r) * stride + i] = src[base + (r0 + r) * delta + col(i)];
  }
  for (; r0 < rows; ++r0)
    for (ptrdiff_t i = 0; i < width; ++i) out[r0 * stride + i] = src[base + r0 * delta + col(i)];
}

// Rows 0..rows-1 of out (each `stride` pixels apart) receive, for columns
// 0..width-1, the pixels src[base + r * delta + i * step].
template <class T>
inline void GatherRows(const T* src, ptrdiff_t base, ptrdiff_t delta, ptrdiff_t step, ptrdiff_t width, int rows, T* out,
                       ptrdiff_t stride) {
  using W = gather::Vec<T>;
  constexpr int N = W::N;
  if (delta == 1 || delta == -1) {
    GatherTile<T>(
        src, base, delta, [step](ptrdiff_t i) { return i * step; }, width, rows, out, stride);
    return;
  }
  int r0 = 0;
  if (step == -1) {
    // Mirrors: each row copied backwards, N pixels a load.
    for (; r0 < rows; ++r0) {
      const T* row = src + base + r0 * delta;
      T* o = out + r0 * stride;
      ptrdiff_t i = 0;
      for (; i + N <= width; i += N) gather::Store(o + i, W::Reverse(gather::Load(row - i - (N - 1))));
      for (; i < width; ++i) o[i] = row[-i];
    }
  }
  for (; r0 < rows; ++r0)
    for (ptrdiff_t i = 0; i < width; ++i) out[r0 * stride + i] = src[base + r0 * delta + i * step];
}

// Scaled rows: the column offsets are the same for every row, so they are
// turned once into one shuffle per block of N destination pixels. A block
// whose columns lie within N neighbouring source pixels (all blocks of an
// enlargement with unit steps) is one load and one byte shuffle; the others
// are gathered pixel by pixel. A load starts at the block's first or last
// column and stays within the columns the row reads.
template <class T>
struct ShufflePlan {
  static constexpr SInt32 kNone = -0x7FFFFFFF - 1;
  const SInt32* base = nullptr;  // per block: the load's first column, or kNone
  const UInt8* masks = nullptr;  // per block: 16 byte indices into the load
  ptrdiff_t blocks = 0;

  static size_t Bytes(ptrdiff_t width) { return size_t(width / gather::Vec<T>::N + 1) * 20 + 16; }
};

template <class T>
inline ShufflePlan<T> BuildShufflePlan(const SInt32* cols, ptrdiff_t width, unsigned char* space) {
  constexpr int N = gather::Vec<T>::N;
  ShufflePlan<T> plan;
  plan.blocks = width / N;
  SInt32* base = reinterpret_cast<SInt32*>(space);
  UInt8* masks = space + size_t(plan.blocks + 1) * 4;
  SInt32 lowest = cols[0], highest = cols[0];
  for (ptrdiff_t i = 1; i < width; ++i) {
    lowest = std::min(lowest, cols[i]);
    highest = std::max(highest, cols[i]);
  }
  for (ptrdiff_t b = 0; b < plan.blocks; ++b) {
    const SInt32* c = cols + b * N;
    SInt32 lo = c[0], hi = c[0];
    for (int j = 1; j < N; ++j) {
      lo = std::min(lo, c[j]);
      hi = std::max(hi, c[j]);
    }
    SInt32 start = ShufflePlan<T>::kNone;
    if (hi - lo < N) {
      if (lo + N - 1 <= highest)
        start = lo;
      else if (hi - (N - 1) >= lowest)
        start = hi - (N - 1);
    }
    base[b] = start;
    if (start == ShufflePlan<T>::kNone) continue;
    for (int j = 0; j < N; ++j)
      for (size_t k = 0; k < sizeof(T); ++k) masks[b * 16 + j * sizeof(T) + k] = UInt8((c[j] - start) * sizeof(T) + k);
  }
  plan.base = base;
  plan.masks = masks;
  return plan;
}

template <class T>
inline void GatherColumns(const T* row, const SInt32* cols, ptrdiff_t width, const ShufflePlan<T>& plan, T* out) {
  constexpr int N = gather::Vec<T>::N;
  typedef UInt8 Bytes __attribute__((vector_size(16)));
  for (ptrdiff_t b = 0; b < plan.blocks; ++b) {
    const SInt32 start = plan.base[b];
    T* o = out + b * N;
    if (start != ShufflePlan<T>::kNone) {
      Bytes window, mask;
      std::memcpy(&window, row + start, 16);
      std::memcpy(&mask, plan.masks + b * 16, 16);
#if defined(__clang__)
      // clang has no shuffle by a mask known only at run time.
      Bytes picked;
      for (int k = 0; k < 16; ++k) picked[k] = window[mask[k] & 15];
#else
      const Bytes picked = __builtin_shuffle(window, mask);
#endif
      std::memcpy(o, &picked, 16);
    } else {
      for (int j = 0; j < N; ++j) o[j] = row[cols[b * N + j]];
    }
  }
  for (ptrdiff_t i = plan.blocks * N; i < width; ++i) out[i] = row[cols[i]];
}
