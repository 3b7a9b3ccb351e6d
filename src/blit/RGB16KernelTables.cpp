// The tables of the same-size and scaled 16-bit effect kernels. The kernels
// themselves are built in eight pieces per family (RGB16KernelSlots.h); this
// file sees only their declarations.
#include <type_traits>

#include "blit/RGB16KernelSlots.h"

namespace {

static_assert(std::is_same_v<decltype(&CopyRGB16Kernel<0>), RGB16Kernel> &&
              std::is_same_v<decltype(&ScaleRGB16Kernel<0>), RGB16Kernel>);

#define BLIT_LIST_SLOT(slot) slot,
constexpr unsigned kCopyPieceSlots[] = {BLIT_RGB16_EVERY_PIECE(COPY, BLIT_LIST_SLOT)};
constexpr unsigned kScalePieceSlots[] = {BLIT_RGB16_EVERY_PIECE(SCALE, BLIT_LIST_SLOT)};
#undef BLIT_LIST_SLOT

// A kernel missing from the pieces would not link; one built twice or a stub
// built as a kernel would only cost time, so this catches those.
template <size_t N>
constexpr bool EachWorkingSlotInOnePiece(KernelFamily family, const unsigned (&pieceSlots)[N]) {
  for (unsigned slot = 0; slot < kJumpSlots; ++slot) {
    int count = 0;
    for (unsigned s : pieceSlots) count += s == slot;
    if (count != (IsStubSlot(family, slot) ? 0 : 1)) return false;
  }
  return true;
}
static_assert(EachWorkingSlotInOnePiece(KernelFamily::CopyRGB16, kCopyPieceSlots));
static_assert(EachWorkingSlotInOnePiece(KernelFamily::ScaleRGB16, kScalePieceSlots));

template <unsigned Slot>
struct CopyRGB16Of {
  static constexpr RGB16Kernel kFn = &CopyRGB16Kernel<Slot>;
};

template <unsigned Slot>
struct ScaleRGB16Of {
  static constexpr RGB16Kernel kFn = &ScaleRGB16Kernel<Slot>;
};

}  // namespace

const JumpTable<RGB16Kernel> CopySpriteRGB16Jump =
    MakeJumpTable<RGB16Kernel, KernelFamily::CopyRGB16, kJumpSlots, CopyRGB16Of>();
const JumpTable<RGB16Kernel> ScaleSpriteRGB16Jump =
    MakeJumpTable<RGB16Kernel, KernelFamily::ScaleRGB16, kJumpSlots, ScaleRGB16Of>();
