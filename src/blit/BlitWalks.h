// The two walks of every kernel: the same-size walk and the scaled walk.
// Both visit the visible destination rectangle row by row, left to right,
// one mask pixel per destination pixel, and hand each pixel to a pixel rule
// px(source, destination, mask, alpha) that returns the destination's new
// value (the old one when the pixel is not drawn).
//
// Positions are kept as offsets from the start pointers, so a walk that ends
// beyond its pixel map never forms a pointer outside it.
#pragma once

#include <algorithm>
#include <cstddef>

#include "blit/BlitGather.h"
#include "blit/KernelTypes.h"

// The alpha position of the current row's first pixel, written by every
// kernel with an alpha map at the start of each row.
inline unsigned char* alphStart = nullptr;

// One row of a walk through the pixel rule: through its whole-row form where
// the rule has one for this processor, its lane form where the rule has one
// and the row allows it, else through the rule itself.
template <class T, bool Masked, bool Alpha, class Px>
inline void RunRow(const Px& px, T* dr, const T* sr, const T* mr, const unsigned char* ar, ptrdiff_t width) {
  if constexpr (requires { px.Row(dr, sr, mr, width); })
    if (px.Row(dr, sr, mr, width)) return;
  if constexpr (requires { Px::kHasLanes; }) {
    if constexpr (Px::kHasLanes) {
      if (px.RowFits(ar, width)) {
        for (ptrdiff_t i = 0; i < width; ++i) dr[i] = px.Lanes(sr[i], dr[i], Masked ? mr[i] : T(), Alpha ? ar[i] : 0);
        return;
      }
    }
  }
  for (ptrdiff_t i = 0; i < width; ++i) dr[i] = px(sr[i], dr[i], Masked ? mr[i] : T(), Alpha ? ar[i] : 0);
}

struct CopyWalkArgs {
  SInt32 srcPixStep, dstRowPixels, maskRowPixels, srcRowStep, width;
  SInt32 alphaStep, alphaRowStep;
};

// True for a pixel rule that draws every source pixel as it is (a plain
// copy): a walk may then gather straight into the destination.
template <class Px>
constexpr bool CopiesSource() {
  if constexpr (requires { Px::kCopiesSource; })
    return Px::kCopiesSource;
  else
    return false;
}

// Turned walks go in tiles: kTileRows destination rows (one cache line of
// each source column they read) by kTileColumns columns, so the source lines
// a tile touches and the tile itself stay in the first-level cache while the
// tile is gathered and drawn.
template <class T>
inline constexpr int kTileRows = int(64 / sizeof(T));
inline constexpr ptrdiff_t kTileColumns = 128;

// The same-size walk of a quarter turn, tile by tile.
template <class T, bool Masked, bool Alpha, class Px>
BLIT_KERNEL_PART void CopyWalkTiles(const Px& px, T* src, T* dst, const T* mask, unsigned char* alpha, ptrdiff_t end,
                                    const CopyWalkArgs& a) {
  const ptrdiff_t width = a.width;
  const ptrdiff_t srcDelta = width * a.srcPixStep + a.srcRowStep;
  const ptrdiff_t alphaDelta = width * a.alphaStep + a.alphaRowStep;
  const bool gatherSrc = a.srcPixStep != 1, gatherAlpha = Alpha && a.alphaStep != 1;
  constexpr bool kDirect = CopiesSource<Px>() && !Masked && !Alpha;
  const auto rowsLeft = [&](ptrdiff_t d) { return (end - d + a.dstRowPixels - 1) / a.dstRowPixels; };
  ptrdiff_t so = 0, mo = 0, ao = 0;
  constexpr int kRows = kTileRows<T>;
  alignas(64) T srcTile[kDirect ? 1 : kRows * kTileColumns];
  alignas(64) unsigned char alphaTile[Alpha ? kRows * kTileColumns : 1];
  const ptrdiff_t srcStep = a.srcPixStep, alphaStep = a.alphaStep;
  const auto srcCol = [srcStep](ptrdiff_t i) { return i * srcStep; };
  const auto alphaCol = [alphaStep](ptrdiff_t i) { return i * alphaStep; };
  for (ptrdiff_t d = 0; d < end;) {
    const int rows = int(std::min<ptrdiff_t>(kRows, rowsLeft(d)));
    for (ptrdiff_t c0 = 0; c0 < width; c0 += kTileColumns) {
      const ptrdiff_t cw = std::min(kTileColumns, width - c0);
      if constexpr (kDirect) {
        GatherTile<T>(src, so + c0 * srcStep, srcDelta, srcCol, cw, rows, dst + d + c0, a.dstRowPixels);
        continue;
      }
      if (gatherSrc) GatherTile<T>(src, so + c0 * srcStep, srcDelta, srcCol, cw, rows, srcTile, kTileColumns);
      if constexpr (Alpha)
        if (gatherAlpha)
          GatherTile<unsigned char>(alpha, ao + c0 * alphaStep, alphaDelta, alphaCol, cw, rows, alphaTile,
                                    kTileColumns);
      for (int r = 0; r < rows; ++r) {
        T* dr = dst + d + r * a.dstRowPixels + c0;
        const T* sr = gatherSrc ? srcTile + r * kTileColumns : src + so + r * srcDelta + c0;
        const T* mr = Masked ? mask + mo + r * a.maskRowPixels + c0 : nullptr;
        const unsigned char* ar = nullptr;
        if constexpr (Alpha) {
          alphStart = alpha + ao + r * alphaDelta;
          ar = gatherAlpha ? alphaTile + r * kTileColumns : alphStart + c0;
        }
        RunRow<T, Masked, Alpha>(px, dr, sr, mr, ar, cw);
      }
    }
    d += rows * a.dstRowPixels;
    so += rows * srcDelta;
    ao += rows * alphaDelta;
    mo += rows * a.maskRowPixels;
  }
}

// Same-size walk. A source step of 1 (and alpha step of 1) takes a row loop
// the compiler can vectorise. A quarter turn (each row one pixel from the
// last) is gathered tile by tile (BlitGather.h) and the same loop runs on the
// tile's rows; any other step gathers groups of rows into a scratch in
// destination order. A plain copy gathers straight into the destination.
template <class T, bool Masked, bool Alpha, class Px>
inline void CopyWalk(const Px& px, T* src, T* dst, const T* mask, unsigned char* alpha, T* dstEnd,
                     const CopyWalkArgs& a) {
  if (a.width <= 0 || a.dstRowPixels <= 0 || !(dst < dstEnd)) return;
  const ptrdiff_t end = dstEnd - dst, width = a.width;
  const ptrdiff_t srcDelta = width * a.srcPixStep + a.srcRowStep;
  const ptrdiff_t alphaDelta = width * a.alphaStep + a.alphaRowStep;
  const bool gatherSrc = a.srcPixStep != 1, gatherAlpha = Alpha && a.alphaStep != 1;
  constexpr bool kDirect = CopiesSource<Px>() && !Masked && !Alpha;
  const auto rowsLeft = [&](ptrdiff_t d) { return (end - d + a.dstRowPixels - 1) / a.dstRowPixels; };
  ptrdiff_t so = 0, mo = 0, ao = 0;
  const bool srcTurned = srcDelta == 1 || srcDelta == -1, alphaTurned = alphaDelta == 1 || alphaDelta == -1;
  if ((gatherSrc || gatherAlpha) && (!gatherSrc || srcTurned) && (!gatherAlpha || alphaTurned)) {
    CopyWalkTiles<T, Masked, Alpha>(px, src, dst, mask, alpha, end, a);
    return;
  }
  constexpr int kGroup = 16;
  T* srcScratch = nullptr;
  unsigned char* alphaScratch = nullptr;
  if ((gatherSrc && !kDirect) || gatherAlpha) {
    const size_t srcBytes = gatherSrc ? size_t(kGroup) * size_t(width) * sizeof(T) : 0;
    unsigned char* scratch = GatherScratch(srcBytes + (gatherAlpha ? size_t(kGroup) * size_t(width) : 0));
    srcScratch = reinterpret_cast<T*>(scratch);
    alphaScratch = scratch + srcBytes;
  }
  for (ptrdiff_t d = 0; d < end;) {
    const int rows = int(std::min<ptrdiff_t>(kGroup, rowsLeft(d)));
    if constexpr (kDirect) {
      if (gatherSrc) {
        GatherRows<T>(src, so, srcDelta, a.srcPixStep, width, rows, dst + d, a.dstRowPixels);
        d += rows * a.dstRowPixels;
        so += rows * srcDelta;
        continue;
      }
    }
    if (gatherSrc) GatherRows<T>(src, so, srcDelta, a.srcPixStep, width, rows, srcScratch, width);
    if constexpr (Alpha)
      if (gatherAlpha) GatherRows<unsigned char>(alpha, ao, alphaDelta, a.alphaStep, width, rows, alphaScratch, width);
    for (int r = 0; r < rows; ++r, d += a.dstRowPixels) {
      T* dr = dst + d;
      const T* sr = gatherSrc ? srcScratch + r * width : src + so;
      const T* mr = Masked ? mask + mo : nullptr;
      const unsigned char* ar = nullptr;
      if constexpr (Alpha) {
        alphStart = alpha + ao;
        ar = gatherAlpha ? alphaScratch + r * width : alpha + ao;
      }
      RunRow<T, Masked, Alpha>(px, dr, sr, mr, ar, width);
      so += srcDelta;
      ao += alphaDelta;
      mo += a.maskRowPixels;
    }
  }
}

struct ScaleWalkArgs {
  SInt32 srcPixStep, srcRowPixels, dstRowPixels, maskRowPixels;
  SInt32 scaleSrc, scaleDst, width, rowDir, xShrink, scaleErr;
  SInt32 alphaStep, alphaRowBytes;
};

// How a scaled walk reads the scale table.
enum class RunEnds {
  Relative,    // a run ends its entry's count after where it began
  Cumulative,  // the k-th run ends at the row start plus the first k entries
};

// Scratch for the scaled walk's column offsets and gathered rows: at least
// `count` entries, one per thread. (Scaled blits still share the scale table
// itself, so they are made from one thread at a time.)
SInt32* ScaleColumnScratch(size_t count);

// The scaled walk of a quarter turn: each source row is one pixel from the
// last, so the rows that groups of destination rows read are gathered
// together, tile by tile, through cols (and alphaCols), the offsets of each
// destination column in its row. A group spans at most kTileRows source
// rows; a tile reads only rows from the group's first to its last, all of
// them between rows the walk reads.
template <class T, bool Masked, bool Alpha, class Px>
BLIT_KERNEL_PART void ScaleWalkTurned(const Px& px, T* src, T* dst, const T* mask, unsigned char* alpha, ptrdiff_t end,
                                      const SInt32* cols, const SInt32* alphaCols, ptrdiff_t srcRowAdvance,
                                      ptrdiff_t alphaRowAdvance, const ScaleWalkArgs& a) {
  constexpr int kRows = kTileRows<T>, kMaxGroup = 4 * kRows;
  alignas(64) T srcTile[kRows * kTileColumns];
  alignas(64) unsigned char alphaTile[Alpha ? kRows * kTileColumns : 1];
  int rowOf[kMaxGroup];  // each destination row's source row, from the group's first
  const ptrdiff_t width = a.width;
  ptrdiff_t next = 0, mo = 0;  // the source row of the next destination row, counted in rows
  SInt32 err = a.scaleErr;
  for (ptrdiff_t d = 0; d < end;) {
    const ptrdiff_t first = next;
    int rows = 0;
    while (rows < kMaxGroup && d + rows * ptrdiff_t(a.dstRowPixels) < end && next - first < kRows) {
      rowOf[rows++] = int(next - first);
      err += a.scaleSrc;
      while (err >= a.scaleDst) {
        err -= a.scaleDst;
        ++next;
      }
    }
    const int span = rowOf[rows - 1] + 1;
    for (ptrdiff_t c0 = 0; c0 < width; c0 += kTileColumns) {
      const ptrdiff_t cw = std::min(kTileColumns, width - c0);
      const SInt32* sc = cols + c0;
      GatherTile<T>(
          src, first * srcRowAdvance, srcRowAdvance, [sc](ptrdiff_t i) { return ptrdiff_t(sc[i]); }, cw, span, srcTile,
          kTileColumns);
      if constexpr (Alpha) {
        const SInt32* ac = alphaCols + c0;
        GatherTile<unsigned char>(
            alpha, first * alphaRowAdvance, alphaRowAdvance, [ac](ptrdiff_t i) { return ptrdiff_t(ac[i]); }, cw, span,
            alphaTile, kTileColumns);
      }
      for (int r = 0; r < rows; ++r) {
        T* dr = dst + d + r * a.dstRowPixels + c0;
        const T* mr = Masked ? mask + mo + r * a.maskRowPixels + c0 : nullptr;
        const unsigned char* ar = nullptr;
        if constexpr (Alpha) {
          alphStart = alpha + (first + rowOf[r]) * alphaRowAdvance;
          ar = alphaTile + rowOf[r] * kTileColumns;
        }
        RunRow<T, Masked, Alpha>(px, dr, srcTile + rowOf[r] * kTileColumns, mr, ar, cw);
      }
    }
    d += rows * ptrdiff_t(a.dstRowPixels);
    mo += rows * ptrdiff_t(a.maskRowPixels);
  }
}

// Scaled walk: columns from the shared scale table (step form when xShrink,
// else run form), rows by the row error. With UnitTable the step-form entries
// are counts that move the source by srcPixStep and the alpha map by
// alphaStep; otherwise they are source advances added as they are. A run
// always draws at least one pixel and never passes the row's end.
// The table is the same for every row, so it is turned once into the source
// (and alpha) offset of each destination column; each new source row is
// gathered through those offsets, and the pixel rule then runs as a plain
// loop the compiler can vectorise.
template <class T, bool Masked, bool Alpha, RunEnds Ends, bool UnitTable, class Px>
inline void ScaleWalk(const Px& px, T* src, T* dst, const T* mask, unsigned char* alpha, T* dstEnd, const SInt32* table,
                      const ScaleWalkArgs& a) {
  if (a.width <= 0 || a.dstRowPixels <= 0 || a.scaleDst <= 0 || !(dst < dstEnd)) return;
  const ptrdiff_t end = dstEnd - dst, width = a.width;
  SInt32* cols = ScaleColumnScratch(size_t(width) * 4);
  SInt32* alphaCols = cols + width;
  T* gathered = reinterpret_cast<T*>(cols + 2 * width);
  unsigned char* gatheredAlpha = reinterpret_cast<unsigned char*>(cols + 3 * width);
  SInt32 s = 0, al = 0;
  if (a.xShrink) {
    for (ptrdiff_t i = 0; i < width; ++i) {
      cols[i] = s;
      if constexpr (Alpha) alphaCols[i] = al;
      if constexpr (UnitTable) {
        s += table[i] * a.srcPixStep;
        al += table[i] * a.alphaStep;
      } else {
        s += table[i];
      }
    }
  } else {
    ptrdiff_t i = 0, runEnd = 0, k = 0;
    while (i < width) {
      runEnd = (Ends == RunEnds::Cumulative ? runEnd : i) + table[k++];
      do {
        cols[i] = s;
        if constexpr (Alpha) alphaCols[i] = al;
        ++i;
      } while (i < runEnd && i < width);
      s += a.srcPixStep;
      al += a.alphaStep;
    }
  }
  const ptrdiff_t srcRowAdvance = RowAdvance(a.rowDir, a.srcRowPixels);
  const ptrdiff_t alphaRowAdvance = RowAdvance(a.rowDir, a.alphaRowBytes);
  if ((srcRowAdvance == 1 || srcRowAdvance == -1) && (!Alpha || alphaRowAdvance == 1 || alphaRowAdvance == -1)) {
    ScaleWalkTurned<T, Masked, Alpha>(px, src, dst, mask, alpha, end, cols, alphaCols, srcRowAdvance, alphaRowAdvance,
                                      a);
    return;
  }
  // Rows are gathered through shuffles planned once from the columns.
  const size_t srcPlanBytes = ShufflePlan<T>::Bytes(width);
  unsigned char* planSpace = GatherScratch(srcPlanBytes + (Alpha ? ShufflePlan<unsigned char>::Bytes(width) : 0));
  const ShufflePlan<T> srcPlan = BuildShufflePlan<T>(cols, width, planSpace);
  ShufflePlan<unsigned char> alphaPlan;
  if constexpr (Alpha) alphaPlan = BuildShufflePlan<unsigned char>(alphaCols, width, planSpace + srcPlanBytes);
  ptrdiff_t srcRow = 0, alphaRow = 0, mo = 0, gatheredRow = 0;
  bool haveRow = false;
  SInt32 err = a.scaleErr;
  for (ptrdiff_t d = 0; d < end; d += a.dstRowPixels) {
    T* dr = dst + d;
    const T* mr = Masked ? mask + mo : nullptr;
    if constexpr (Alpha) alphStart = alpha + alphaRow;
    if (!haveRow || gatheredRow != srcRow) {
      GatherColumns<T>(src + srcRow, cols, width, srcPlan, gathered);
      if constexpr (Alpha) GatherColumns<unsigned char>(alpha + alphaRow, alphaCols, width, alphaPlan, gatheredAlpha);
      gatheredRow = srcRow;
      haveRow = true;
    }
    RunRow<T, Masked, Alpha>(px, dr, gathered, mr, gatheredAlpha, width);
    mo += a.maskRowPixels;
    err += a.scaleSrc;
    while (err >= a.scaleDst) {
      err -= a.scaleDst;
      srcRow += srcRowAdvance;
      alphaRow += alphaRowAdvance;
    }
  }
}
