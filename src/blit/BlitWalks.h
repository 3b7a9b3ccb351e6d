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

// Same-size walk. A source step of 1 (and alpha step of 1) takes a row loop
// the compiler can vectorise; any other step gathers groups of rows into a
// scratch in destination order (BlitGather.h) and runs the same loop on it.
template <class T, bool Masked, bool Alpha, class Px>
inline void CopyWalk(const Px& px, T* src, T* dst, const T* mask, unsigned char* alpha, T* dstEnd,
                     const CopyWalkArgs& a) {
  if (a.width <= 0 || a.dstRowPixels <= 0 || !(dst < dstEnd)) return;
  const ptrdiff_t end = dstEnd - dst, width = a.width;
  const ptrdiff_t srcDelta = width * a.srcPixStep + a.srcRowStep;
  const ptrdiff_t alphaDelta = width * a.alphaStep + a.alphaRowStep;
  const bool gatherSrc = a.srcPixStep != 1, gatherAlpha = Alpha && a.alphaStep != 1;
  constexpr int kGroup = 16;
  T* srcScratch = nullptr;
  unsigned char* alphaScratch = nullptr;
  if (gatherSrc || gatherAlpha) {
    const size_t srcBytes = gatherSrc ? size_t(kGroup) * size_t(width) * sizeof(T) : 0;
    unsigned char* scratch = GatherScratch(srcBytes + (gatherAlpha ? size_t(kGroup) * size_t(width) : 0));
    srcScratch = reinterpret_cast<T*>(scratch);
    alphaScratch = scratch + srcBytes;
  }
  ptrdiff_t so = 0, mo = 0, ao = 0;
  for (ptrdiff_t d = 0; d < end;) {
    const int rows = int(std::min<ptrdiff_t>(kGroup, (end - d + a.dstRowPixels - 1) / a.dstRowPixels));
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
  // Rows are gathered through shuffles planned once from the columns.
  const size_t srcPlanBytes = ShufflePlan<T>::Bytes(width);
  unsigned char* planSpace = GatherScratch(srcPlanBytes + (Alpha ? ShufflePlan<unsigned char>::Bytes(width) : 0));
  const ShufflePlan<T> srcPlan = BuildShufflePlan<T>(cols, width, planSpace);
  ShufflePlan<unsigned char> alphaPlan;
  if constexpr (Alpha) alphaPlan = BuildShufflePlan<unsigned char>(alphaCols, width, planSpace + srcPlanBytes);
  const ptrdiff_t srcRowAdvance = RowAdvance(a.rowDir, a.srcRowPixels);
  const ptrdiff_t alphaRowAdvance = RowAdvance(a.rowDir, a.alphaRowBytes);
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
