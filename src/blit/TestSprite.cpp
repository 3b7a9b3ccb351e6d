#include "blit/TestSprite.h"

#include "blit/BasicDispatch.h"
#include "blit/BasicKernels.h"

namespace {

constexpr UInt16 K = kKey16;

// The key loop of a test kernel by the whole mode: 0-3 and 16-19 pick the
// key test of mode & 3; other values draw nothing.
int TestKeyLoop(SInt32 mode) {
  if ((mode >= 0 && mode <= 3) || (mode >= 16 && mode <= 19)) return mode & 3;
  return -1;
}

bool MaskLets(bool masked, SInt32 mode, UInt16 m) { return !masked || (mode >= 16 ? m != K : m == K); }

// Each channel of a 1-5-5-5 pixel times level / 32, rounded down.
UInt16 Darken16(UInt16 d, UInt32 level) {
  const UInt32 spread = (UInt32(d) & 0xFC1F) | ((UInt32(d) & 0x3E0) << 16);
  const UInt32 x = ((spread * level) >> 5) & 0x03E07C1F;
  return UInt16((x & 0x7C1F) | ((x >> 16) & 0x3E0));
}

template <class Table, size_t... I>
constexpr Table AllSlots(typename Table::value_type kernel, size_t filled, std::index_sequence<I...>) {
  return Table{(I < filled ? kernel : nullptr)...};
}

}  // namespace

void TEST16___lookup___color___trans___mask(SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart,
                                            SInt32 srcPixStep, SInt32, SInt32 dstRowPixels, SInt32 maskRowPixels,
                                            SInt32 srcRowStep, SInt32, SInt32, UInt16* dstEnd, SInt32 width, SInt32,
                                            SInt32, SInt32, UInt16* lookup, SInt32 color, UInt16* transTable) {
  const int key = TestKeyLoop(mode);
  if (key < 0 || (key == 3 && !lookup)) return;
  const bool masked = maskStart != nullptr;
  auto px = [&](UInt16 s, UInt16 d, UInt16 m, unsigned char) -> UInt16 {
    if (!MaskLets(masked, mode, m)) return d;
    if ((key == 1 || key == 2) && s == K) return d;
    if (key == 2 && d == K) return d;
    UInt32 v;
    if (key == 3) {
      const UInt16 found = lookup[s];
      if (found == K) return d;
      v = color != -1 ? UInt32(color) : found;
      return transTable ? transTable[(v << 8) + d] : UInt16(v);
    }
    v = color != -1 ? UInt32(color) : s;
    const UInt32 w = lookup ? lookup[UInt16(v)] : v;
    return transTable ? transTable[(w << 8) + d] : UInt16(w);
  };
  const CopyWalkArgs args{srcPixStep, dstRowPixels, maskRowPixels, srcRowStep, width, 0, 0};
  if (masked)
    CopyWalk<UInt16, true, false>(px, srcStart, dstStart, maskStart, nullptr, dstEnd, args);
  else
    CopyWalk<UInt16, false, false>(px, srcStart, dstStart, nullptr, nullptr, dstEnd, args);
}

void TEST16___lookup___color___mask(SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart,
                                    SInt32 srcPixStep, SInt32 srcRowPixels, SInt32 dstRowPixels, SInt32 maskRowPixels,
                                    SInt32, SInt32 scaleSrc, SInt32 scaleDst, UInt16* dstEnd, SInt32 width,
                                    SInt32 rowDir, SInt32 xShrink, SInt32 scaleErr, UInt16* lookup, SInt32) {
  const int key = TestKeyLoop(mode);
  if (key < 0 || key == 3 || !lookup || !scaleTABLE) return;
  const bool masked = maskStart != nullptr;
  auto px = [&](UInt16 s, UInt16 d, UInt16 m, unsigned char) -> UInt16 {
    if (!MaskLets(masked, mode, m)) return d;
    if (key != 0 && s == K) return d;
    if (key == 2 && d == K) return d;
    const UInt16 e = lookup[s];
    if (!(e & 0x8000)) return s;
    // Levels above 32 would spill one channel into the next.
    return Darken16(d, std::min<UInt32>(e & 0x7FFF, 32));
  };
  const ScaleWalkArgs args{srcPixStep, srcRowPixels, dstRowPixels, maskRowPixels, scaleSrc, scaleDst,
                           width,      rowDir,       xShrink,      scaleErr,      0,        0};
  if (masked)
    ScaleWalk<UInt16, true, false, RunEnds::Relative, false>(px, srcStart, dstStart, maskStart, nullptr, dstEnd,
                                                             scaleTABLE, args);
  else
    ScaleWalk<UInt16, false, false, RunEnds::Relative, false>(px, srcStart, dstStart, nullptr, nullptr, dstEnd,
                                                              scaleTABLE, args);
}

const JumpTable<BlitKernel<UInt16>> TestSprite16Jump = AllSlots<JumpTable<BlitKernel<UInt16>>>(
    &TEST16___lookup___color___trans___mask, 16, std::make_index_sequence<kJumpSlots>{});
const JumpTable<EffectKernel<UInt16>> TestSpriteFX16Jump = AllSlots<JumpTable<EffectKernel<UInt16>>>(
    &TEST16___lookup___color___mask, 2, std::make_index_sequence<kJumpSlots>{});

void TestSprite16(BLIT_DISPATCH_PARAMS) {
  // A mode the test kernel does not list draws nothing, before the set-up
  // could fold it (-1 would otherwise become 17).
  if (TestKeyLoop(mode) < 0) return;
  RunBasicBlit<UInt16>(TestSprite16Jump, BasicKind::Basic, BlitSize::Same, BLIT_REQUEST,
                       {mode, color, lookup, transTable});
}

void TestSpriteFX16(BLIT_DISPATCH_PARAMS) {
  (void)color;
  (void)transTable;
  RunBasicBlit<UInt16>(TestSpriteFX16Jump, BasicKind::Effect, BlitSize::Scaled, BLIT_REQUEST,
                       {mode, -1, lookup, nullptr});
}
