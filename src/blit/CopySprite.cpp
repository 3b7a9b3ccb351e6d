#include "blit/CopySprite.h"

#include "blit/BasicDispatch.h"
#include "blit/BasicKernels.h"

namespace {

template <class T>
struct CopyKernelOf {
  template <unsigned Slot>
  struct Slot_ {
    static constexpr BlitKernel<T> kFn = &CopyKernel<T, Slot>;
  };
};

}  // namespace

const JumpTable<BlitKernel<UInt8>> CopySprite8Jump =
    MakeJumpTable<BlitKernel<UInt8>, KernelFamily::Copy8, 16, CopyKernelOf<UInt8>::Slot_>();
const JumpTable<BlitKernel<UInt16>> CopySprite16Jump =
    MakeJumpTable<BlitKernel<UInt16>, KernelFamily::Copy16, 16, CopyKernelOf<UInt16>::Slot_>();
const JumpTable<BlitKernel<UInt32>> CopySprite32Jump =
    MakeJumpTable<BlitKernel<UInt32>, KernelFamily::Copy32, 16, CopyKernelOf<UInt32>::Slot_>();

void CopySprite8(BLIT_DISPATCH_PARAMS) {
  RunBasicBlit<UInt8>(CopySprite8Jump, BasicKind::Basic, BlitSize::Same, BLIT_REQUEST,
                      {mode, color, lookup, transTable});
}

void CopySprite16(BLIT_DISPATCH_PARAMS) {
  RunBasicBlit<UInt16>(CopySprite16Jump, BasicKind::Basic, BlitSize::Same, BLIT_REQUEST,
                       {mode, color, lookup, transTable});
}

void CopySprite32(BLIT_DISPATCH_PARAMS) {
  RunBasicBlit<UInt32>(CopySprite32Jump, BasicKind::Basic, BlitSize::Same, BLIT_REQUEST,
                       {mode, color, lookup, transTable});
}

void CopySprite(BLIT_DISPATCH_PARAMS) {
  if (!dst || !*dst) return;
  switch ((*dst)->pixelSize) {
    case 8:
      CopySprite8(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, transTable, hFlip, vFlip, turn,
                  maskRect);
      break;
    case 16:
      CopySprite16(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, transTable, hFlip, vFlip, turn,
                   maskRect);
      break;
    case 32:
      CopySprite32(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, transTable, hFlip, vFlip, turn,
                   maskRect);
      break;
    default: break;
  }
}
