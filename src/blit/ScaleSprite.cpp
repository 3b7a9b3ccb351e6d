#include "blit/ScaleSprite.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "blit/BasicDispatch.h"
#include "blit/ScaleKernelSlots.h"

SInt32* scaleTABLE = nullptr;
size_t scaleTABLECount = 0;

SInt32* ScaleColumnScratch(size_t count) {
  thread_local std::vector<SInt32> scratch;
  if (scratch.size() < count) scratch.resize(count);
  return scratch.data();
}

namespace {

constexpr size_t kInitialScaleEntries = 1024;

template <class T>
struct ScaleKernelOf {
  template <unsigned Slot>
  struct Slot_ {
    static constexpr BlitKernel<T> kFn = &ScaleKernel<T, Slot>;
  };
};

}  // namespace

void InitScaleTable() {
  DisposeScaleTable();
  scaleTABLE = static_cast<SInt32*>(std::calloc(kInitialScaleEntries, sizeof(SInt32)));
  scaleTABLECount = scaleTABLE ? kInitialScaleEntries : 0;
}

void DisposeScaleTable() {
  std::free(scaleTABLE);
  scaleTABLE = nullptr;
  scaleTABLECount = 0;
}

bool EnsureScaleTable(size_t entries) {
  if (scaleTABLE && scaleTABLECount >= entries) return true;
  const size_t count = std::max(entries, kInitialScaleEntries);
  SInt32* grown = static_cast<SInt32*>(std::calloc(count, sizeof(SInt32)));
  if (!grown) return false;
  std::free(scaleTABLE);
  scaleTABLE = grown;
  scaleTABLECount = count;
  return true;
}

void BuildScaleTable(const Rect* srcRect, const Rect* dstRect, const Rect* visRect, SInt32 turn, SInt32 step,
                     SInt32* table, SInt32* rowErr) {
  if (!visRect) visRect = dstRect;
  SInt32 srcW = srcRect->right - srcRect->left, srcH = srcRect->bottom - srcRect->top;
  if (turn == 1 || turn == 3) std::swap(srcW, srcH);
  const SInt32 dstW = dstRect->right - dstRect->left, dstH = dstRect->bottom - dstRect->top;
  const SInt32 visW = visRect->right - visRect->left;
  *rowErr = 0;
  if (dstW <= 0 || dstH <= 0) return;
  // The remainders of whole source columns and rows before the visible part,
  // plus half a source pixel; CalcRectStart trims the whole ones.
  SInt32 e = SInt32(SInt64(visRect->left - dstRect->left) * srcW % dstW) + srcW / 2;
  table[0] = 0;
  if (srcW <= dstW) {
    SInt32 k = 0;
    for (SInt32 i = 0; i < visW; ++i) {
      e += srcW;
      ++table[k];
      if (e >= dstW) {
        e -= dstW;
        table[++k] = 0;
      }
    }
  } else {
    for (SInt32 i = 0; i < visW; ++i) {
      table[i] = 0;
      e += srcW;
      while (e >= dstW) {
        e -= dstW;
        table[i] += step;
      }
    }
  }
  *rowErr = SInt32(SInt64(visRect->top - dstRect->top) * srcH % dstH) + srcH / 2;
}

SInt32 PrepareScaleTable(const BlitPlan& p, SInt32 step, bool* ok) {
  SInt32 rowErr = 0;
  *ok = EnsureScaleTable(size_t(p.width) + 2);
  if (*ok) BuildScaleTable(&p.srcLocal, &p.dstLocal, &p.visible, p.turn, step, scaleTABLE, &rowErr);
  return rowErr;
}

const JumpTable<BlitKernel<UInt8>> ScaleSprite8Jump =
    MakeJumpTable<BlitKernel<UInt8>, KernelFamily::Scale8, 16, ScaleKernelOf<UInt8>::Slot_>();
const JumpTable<BlitKernel<UInt16>> ScaleSprite16Jump =
    MakeJumpTable<BlitKernel<UInt16>, KernelFamily::Scale16, 16, ScaleKernelOf<UInt16>::Slot_>();
const JumpTable<BlitKernel<UInt32>> ScaleSprite32Jump =
    MakeJumpTable<BlitKernel<UInt32>, KernelFamily::Scale32, 16, ScaleKernelOf<UInt32>::Slot_>();

void ScaleSprite8(BLIT_DISPATCH_PARAMS) {
  RunBasicBlit<UInt8>(ScaleSprite8Jump, BasicKind::Basic, BlitSize::Scaled, BLIT_REQUEST,
                      {mode, color, lookup, transTable});
}

void ScaleSprite16(BLIT_DISPATCH_PARAMS) {
  RunBasicBlit<UInt16>(ScaleSprite16Jump, BasicKind::Basic, BlitSize::Scaled, BLIT_REQUEST,
                       {mode, color, lookup, transTable});
}

void ScaleSprite32(BLIT_DISPATCH_PARAMS) {
  RunBasicBlit<UInt32>(ScaleSprite32Jump, BasicKind::Basic, BlitSize::Scaled, BLIT_REQUEST,
                       {mode, color, lookup, transTable});
}
