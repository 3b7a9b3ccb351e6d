// What the kernels share and need, without the drawing records: the clone
// attribute, key colours, the mode word, the flag bits of the kernel tables,
// the kernel argument lists, the families and their stubs, the bit-field
// rotates, the row step of the walks and the shared scale table. The kernel
// files build only on this, so they stay apart from the platform's records.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "platform/PlatformTypes.h"

// The kernels' pixel loops are built twice on x86-64, for the baseline and for
// AVX2 machines (whose 32-bit multiplies and wider vectors they use), and the
// loader picks one. Everything a kernel calls is inlined into each build.
// HALVANE_BLIT_BASELINE_ONLY builds the baseline alone, the same code as the
// baseline clone, so the tests can run it on an AVX2 machine. Clang (up to 14
// at least) cannot clone a function template, nor clone and flatten one
// function, so it builds the baseline alone, flattened.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(HALVANE_BLIT_BASELINE_ONLY)
#define BLIT_KERNEL __attribute__((flatten, target_clones("default", "arch=x86-64-v3")))
#elif defined(__GNUC__)
#define BLIT_KERNEL __attribute__((flatten))
#else
#define BLIT_KERNEL
#endif

// A part of a kernel kept out of line (and built like the kernels), so the
// kernel's own loops keep their registers: for the walks a blit takes only
// now and then, such as turned ones.
#if defined(__GNUC__)
#define BLIT_KERNEL_PART __attribute__((noinline)) BLIT_KERNEL
#else
#define BLIT_KERNEL_PART BLIT_KERNEL
#endif

// Key colours, compared as whole pixel values. A 32-bit pixel with a non-zero
// top byte is never the key.
constexpr UInt8 kKey8 = 0;
constexpr UInt16 kKey16 = 0x7FFF;
constexpr UInt32 kKey32 = 0x00FFFFFF;

template <class T>
constexpr T KeyColor() {
  if constexpr (sizeof(T) == 1)
    return kKey8;
  else if constexpr (sizeof(T) == 2)
    return kKey16;
  else
    return kKey32;
}

// Mode word: bits 0-1 the key test, bit 4 inverts the mask test.
enum : SInt32 { kModeKeyMask = 3, kModeInvertMask = 0x10 };

// Flag bits of a kernel table's slot index.
enum : unsigned {
  kFlagMask = 1,
  kFlagTrans = 2,
  kFlagColor = 4,
  kFlagLookup = 8,
  kFlagAlpha = 16,
  kFlagMapping = 32,
  kFlagBright = 64,
};

constexpr int kJumpSlots = 128;

// The basic kernels: copy, scale and the 16-bit test kernel.
template <class T>
using BlitKernel = void (*)(SInt32 mode, T* srcStart, T* dstStart, T* maskStart, SInt32 srcPixStep, SInt32 srcRowPixels,
                            SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32 srcRowStep, SInt32 scaleSrc,
                            SInt32 scaleDst, T* dstEnd, SInt32 width, SInt32 rowDir, SInt32 xShrink, SInt32 scaleErr,
                            T* lookup, SInt32 color, T* transTable);

// The effect kernels: the basic list without the translucency table.
template <class T>
using EffectKernel = void (*)(SInt32 mode, T* srcStart, T* dstStart, T* maskStart, SInt32 srcPixStep,
                              SInt32 srcRowPixels, SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32 srcRowStep,
                              SInt32 scaleSrc, SInt32 scaleDst, T* dstEnd, SInt32 width, SInt32 rowDir, SInt32 xShrink,
                              SInt32 scaleErr, T* lookup, SInt32 color);

template <class K>
using JumpTable = std::array<K, kJumpSlots>;

// The families of kernels, each with its own naming and stub rule.
enum class KernelFamily {
  Copy8,
  Copy16,
  Copy32,
  Scale8,
  Scale16,
  Scale32,
  CopyFX8,
  CopyFX16,
  CopyFX32,
  ScaleFX8,
  ScaleFX16,
  ScaleFX32,
  Test16,
  TestFX16,
  CopyRGB16,
  ScaleRGB16,
  TestRGB16,
};

// True where a family's slot holds a stub: lookup with colour in the basic
// families; in the 16-bit effect families also colour with mapping or
// brightness, and mapping with brightness.
constexpr bool IsStubSlot(KernelFamily family, unsigned slot) {
  const bool lookup = slot & kFlagLookup, color = slot & kFlagColor;
  const bool mapping = slot & kFlagMapping, bright = slot & kFlagBright;
  switch (family) {
    case KernelFamily::Copy8:
    case KernelFamily::Copy16:
    case KernelFamily::Copy32:
    case KernelFamily::Scale8:
    case KernelFamily::Scale16:
    case KernelFamily::Scale32: return slot < 16 && lookup && color;
    case KernelFamily::CopyRGB16:
    case KernelFamily::ScaleRGB16: return (lookup && color) || (color && (mapping || bright)) || (mapping && bright);
    default: return false;
  }
}

// The name of the kernel in a family's slot, spelled by the naming rule: the
// operation and depth, then every flag of the family from the highest to the
// lowest, "_X_" before a set flag and "___" before a clear one, and "_UNUSED"
// after a stub's. Test kernels serve every slot under the name of slot 0.
// Null for a slot the family leaves empty.
const char* KernelName(KernelFamily family, unsigned slot);

// What a stub does: an alert with the stub's own name, then nothing drawn.
void KernelStubAlert(KernelFamily family, unsigned slot);

// A stub for any kernel signature: StubKernel<Fn>::Of<family, slot> has the
// type Fn.
template <class Fn>
struct StubKernel;
template <class... Args>
struct StubKernel<void (*)(Args...)> {
  template <KernelFamily F, unsigned Slot>
  static void Of(Args...) {
    KernelStubAlert(F, Slot);
  }
};

// The table of a family: slot s holds Working<s> for the working slots below
// `filled`, a stub where the family's stub rule says so, null beyond.
template <class Fn, KernelFamily F, unsigned Filled, template <unsigned> class Working, size_t... I>
constexpr JumpTable<Fn> MakeJumpTable(std::index_sequence<I...>) {
  return JumpTable<Fn>{[]() -> Fn {
    if constexpr (I >= Filled)
      return nullptr;
    else if constexpr (IsStubSlot(F, I))
      return &StubKernel<Fn>::template Of<F, I>;
    else
      return Working<I>::kFn;
  }()...};
}

template <class Fn, KernelFamily F, unsigned Filled, template <unsigned> class Working>
constexpr JumpTable<Fn> MakeJumpTable() {
  return MakeJumpTable<Fn, F, Filled, Working>(std::make_index_sequence<kJumpSlots>{});
}

constexpr std::array<std::array<UInt32, 32>, 32> BuildBitFieldMasks() {
  std::array<std::array<UInt32, 32>, 32> m{};
  for (unsigned mb = 0; mb < 32; ++mb) {
    for (unsigned me = 0; me < 32; ++me) {
      const UInt32 a = 0xFFFFFFFFu >> mb, b = 0xFFFFFFFFu << (31 - me);
      m[mb][me] = mb <= me ? (a & b) : (a | b);
    }
  }
  return m;
}

// Bits mb through me set, bit 0 the most significant, wrapping when mb > me.
// Built at compile time, so the rotates below fold to plain shifts and masks.
inline constexpr std::array<std::array<UInt32, 32>, 32> rlMask = BuildBitFieldMasks();

constexpr UInt32 RotateLeft32(UInt32 value, unsigned shift) {
  shift &= 31;
  return shift ? (value << shift) | (value >> (32 - shift)) : value;
}

// Rotate left, then keep the bits of rlMask[mb][me].
constexpr UInt32 __rlwinm(UInt32 value, UInt8 shift, UInt8 mb, UInt8 me) {
  return RotateLeft32(value, shift) & rlMask[mb & 31][me & 31];
}

// Rotate the source left and insert the bits of rlMask[mb][me] into target.
constexpr UInt32 __rlwimi(UInt32 target, UInt32 source, UInt8 shift, UInt8 mb, UInt8 me) {
  const UInt32 m = rlMask[mb & 31][me & 31];
  return (RotateLeft32(source, shift) & m) | (target & ~m);
}

// The shared scale table, scaleTABLECount entries; null before the first
// scaled blit or InitScaleTable and after DisposeScaleTable (ScaleSprite.h).
// Scaled blits grow it as they need, so no blit is limited by its size.
extern SInt32* scaleTABLE;
extern size_t scaleTABLECount;

// The source step from one row to the next by a rowDir code; other codes
// do not move.
inline SInt32 RowAdvance(SInt32 rowDir, SInt32 rowLength) {
  switch (rowDir) {
    case 0: return rowLength;
    case 1: return 1;
    case 2: return -rowLength;
    case 3: return -1;
    default: return 0;
  }
}
