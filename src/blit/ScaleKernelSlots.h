// The basic scale kernels as ScaleSprite.cpp's tables see them: the template
// declared (defined in BasicKernels.h) and its working slots. They are built
// in three kernel files, one per pixel depth, so that file compiles none.
#pragma once

#include "blit/KernelTypes.h"

// The parameter types of BlitKernel<T>, for the declaration and explicit
// instantiations below.
#define BLIT_BASIC_KERNEL_TYPES(T)                                                                                    \
  SInt32, T*, T*, T*, SInt32, SInt32, SInt32, SInt32, SInt32, SInt32, SInt32, T*, SInt32, SInt32, SInt32, SInt32, T*, \
      SInt32, T*

template <class T, unsigned Slot>
void ScaleKernel(BLIT_BASIC_KERNEL_TYPES(T));

// The working slots of the basic scale families (12-15 are stubs).
#define BLIT_SCALE_SLOTS(X) X(0) X(1) X(2) X(3) X(4) X(5) X(6) X(7) X(8) X(9) X(10) X(11)

namespace scale_kernel_slots {
#define BLIT_LIST_SLOT(slot) slot,
constexpr unsigned kSlots[] = {BLIT_SCALE_SLOTS(BLIT_LIST_SLOT)};
#undef BLIT_LIST_SLOT
constexpr bool EveryWorkingSlotOnce() {
  for (unsigned slot = 0; slot < 16; ++slot) {
    int count = 0;
    for (unsigned s : kSlots) count += s == slot;
    if (count != (IsStubSlot(KernelFamily::Scale8, slot) ? 0 : 1)) return false;
  }
  return true;
}
static_assert(EveryWorkingSlotOnce(), "each working scale slot is built once, no stub at all");
}  // namespace scale_kernel_slots

// An explicit instantiation of one slot at the depth BLIT_SCALE_PIXEL, for a
// kernel file.
#define BLIT_SCALE_SLOT(slot) \
  template void ScaleKernel<BLIT_SCALE_PIXEL, slot>(BLIT_BASIC_KERNEL_TYPES(BLIT_SCALE_PIXEL));
