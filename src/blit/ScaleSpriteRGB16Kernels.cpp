// The 128 scaled 16-bit effect kernels.
#include "blit/RGB16Sprite.h"

namespace {

template <unsigned Slot>
struct ScaleRGB16Of {
  static constexpr RGB16Kernel kFn = &ScaleRGB16Kernel<Slot>;
};

}  // namespace

const JumpTable<RGB16Kernel> ScaleSpriteRGB16Jump =
    MakeJumpTable<RGB16Kernel, KernelFamily::ScaleRGB16, kJumpSlots, ScaleRGB16Of>();
