#include "blit/EffectSprite.h"

#include "blit/BasicDispatch.h"
#include "blit/BasicKernels.h"

namespace {

// An effect kernel is the lookup member (slot 8) or the lookup-and-mask
// member (slot 9) of the scale kernels, without the translucency table.
template <class T, unsigned Slot>
void EffectScaleKernel(SInt32 mode, T* srcStart, T* dstStart, T* maskStart, SInt32 srcPixStep, SInt32 srcRowPixels,
                       SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32 srcRowStep, SInt32 scaleSrc, SInt32 scaleDst,
                       T* dstEnd, SInt32 width, SInt32 rowDir, SInt32 xShrink, SInt32 scaleErr, T* lookup,
                       SInt32 color) {
  ScaleKernel<T, kFlagLookup | Slot>(mode, srcStart, dstStart, maskStart, srcPixStep, srcRowPixels, dstRowPixels,
                                     maskRowPixels, srcRowStep, scaleSrc, scaleDst, dstEnd, width, rowDir, xShrink,
                                     scaleErr, lookup, color, nullptr);
}

template <class T>
struct EffectKernelOf {
  template <unsigned Slot>
  struct Slot_ {
    static constexpr EffectKernel<T> kFn = &EffectScaleKernel<T, Slot>;
  };
};

template <class T, KernelFamily F>
constexpr JumpTable<EffectKernel<T>> EffectTable() {
  return MakeJumpTable<EffectKernel<T>, F, 2, EffectKernelOf<T>::template Slot_>();
}

}  // namespace

const JumpTable<EffectKernel<UInt8>> CopySpriteFX8Jump = EffectTable<UInt8, KernelFamily::CopyFX8>();
const JumpTable<EffectKernel<UInt16>> CopySpriteFX16Jump = EffectTable<UInt16, KernelFamily::CopyFX16>();
const JumpTable<EffectKernel<UInt32>> CopySpriteFX32Jump = EffectTable<UInt32, KernelFamily::CopyFX32>();
const JumpTable<EffectKernel<UInt8>> ScaleSpriteFX8Jump = EffectTable<UInt8, KernelFamily::ScaleFX8>();
const JumpTable<EffectKernel<UInt16>> ScaleSpriteFX16Jump = EffectTable<UInt16, KernelFamily::ScaleFX16>();
const JumpTable<EffectKernel<UInt32>> ScaleSpriteFX32Jump = EffectTable<UInt32, KernelFamily::ScaleFX32>();

#define EFFECT_ENTRY(name, T, table)                                                                        \
  void name(BLIT_DISPATCH_PARAMS) {                                                                         \
    (void)color;                                                                                            \
    (void)transTable;                                                                                       \
    RunBasicBlit<T>(table, BasicKind::Effect, BlitSize::Scaled, BLIT_REQUEST, {mode, -1, lookup, nullptr}); \
  }
EFFECT_ENTRY(CopySpriteFX8, UInt8, CopySpriteFX8Jump)
EFFECT_ENTRY(CopySpriteFX16, UInt16, CopySpriteFX16Jump)
EFFECT_ENTRY(CopySpriteFX32, UInt32, CopySpriteFX32Jump)
EFFECT_ENTRY(ScaleSpriteFX8, UInt8, ScaleSpriteFX8Jump)
EFFECT_ENTRY(ScaleSpriteFX16, UInt16, ScaleSpriteFX16Jump)
EFFECT_ENTRY(ScaleSpriteFX32, UInt32, ScaleSpriteFX32Jump)
