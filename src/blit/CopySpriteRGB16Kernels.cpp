// The 128 same-size 16-bit effect kernels.
#include "blit/RGB16Sprite.h"

namespace {

template <unsigned Slot>
struct CopyRGB16Of {
  static constexpr RGB16Kernel kFn = &CopyRGB16Kernel<Slot>;
};

}  // namespace

const JumpTable<RGB16Kernel> CopySpriteRGB16Jump =
    MakeJumpTable<RGB16Kernel, KernelFamily::CopyRGB16, kJumpSlots, CopyRGB16Of>();
