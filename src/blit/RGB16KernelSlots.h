// The 16-bit effect kernels as the tables see them: their signature, the two
// kernel templates declared (defined in RGB16Kernels.h), and which working
// slots each of the eight kernel files of a family builds. Only the kernel files see the
// definitions; the tables take the kernels' addresses from this header, so
// their file compiles no kernel.
#pragma once

#include "blit/KernelTypes.h"

using RGB16Kernel = void (*)(SInt32 mode, UInt16* srcStart, UInt16* dstStart, UInt16* maskStart, SInt32 srcPixStep,
                             SInt32 srcRowPixels, SInt32 dstRowPixels, SInt32 maskRowPixels, SInt32 srcRowStep,
                             SInt32 scaleSrc, SInt32 scaleDst, UInt16* dstEnd, SInt32 width, SInt32 rowDir,
                             SInt32 xShrink, SInt32 scaleErr, UInt16* lookup, SInt32 color, UInt8* alpha,
                             SInt32 alphaStep, SInt32 alphaRowBytes, SInt32 alphaRowStep, UInt32 redLevel,
                             UInt32 greenLevel, UInt32 blueLevel, UInt32 opacity, UInt32 redAdd, UInt32 greenAdd,
                             UInt32 blueAdd, UInt32 brightLevel, UInt32 brightAdd);

// The parameter types of RGB16Kernel, for the declarations and explicit
// instantiations below.
#define BLIT_RGB16_KERNEL_TYPES                                                                                        \
  SInt32, UInt16*, UInt16*, UInt16*, SInt32, SInt32, SInt32, SInt32, SInt32, SInt32, SInt32, UInt16*, SInt32, SInt32,  \
      SInt32, SInt32, UInt16*, SInt32, UInt8*, SInt32, SInt32, SInt32, UInt32, UInt32, UInt32, UInt32, UInt32, UInt32, \
      UInt32, UInt32, UInt32

template <unsigned Slot>
void CopyRGB16Kernel(BLIT_RGB16_KERNEL_TYPES);
template <unsigned Slot>
void ScaleRGB16Kernel(BLIT_RGB16_KERNEL_TYPES);

extern const JumpTable<RGB16Kernel> CopySpriteRGB16Jump;
extern const JumpTable<RGB16Kernel> ScaleSpriteRGB16Jump;

// The working slots each kernel file builds, piece 0 to 7 of each family (the
// other slots are stubs or empty). The cost of a slot follows the loops it
// expands to (a mask doubles the modes, mapping and bright double them again
// for the add term, blends cost more than stores) and is very uneven: slot 51
// alone is a ninth of the same-size family's code. So the slots are dealt,
// largest first, to the piece with the least machine code so far (sizes from
// nm -S of the objects); redeal when the kernels change much.
// RGB16KernelTables.cpp checks that each working slot is in exactly one piece
// of its family and no stub in any.
#define BLIT_COPY_RGB16_PIECE_0(X) X(0) X(11) X(18) X(19) X(25) X(33) X(57) X(65)
#define BLIT_COPY_RGB16_PIECE_1(X) X(1) X(4) X(49) X(89) X(90)
#define BLIT_COPY_RGB16_PIECE_2(X) X(2) X(6) X(8) X(21) X(24) X(42) X(48) X(82) X(91)
#define BLIT_COPY_RGB16_PIECE_3(X) X(3) X(9) X(22) X(41) X(56) X(80) X(81)
#define BLIT_COPY_RGB16_PIECE_4(X) X(5) X(7) X(17) X(20) X(50) X(66) X(72) X(73)
#define BLIT_COPY_RGB16_PIECE_5(X) X(10) X(16) X(32) X(34) X(43) X(83) X(88)
#define BLIT_COPY_RGB16_PIECE_6(X) X(23) X(26) X(27) X(35) X(40) X(59) X(64) X(67)
#define BLIT_COPY_RGB16_PIECE_7(X) X(51) X(58) X(74) X(75)

#define BLIT_SCALE_RGB16_PIECE_0(X) X(0) X(7) X(11) X(19) X(73) X(83) X(88)
#define BLIT_SCALE_RGB16_PIECE_1(X) X(1) X(22) X(59) X(67) X(72) X(75) X(89)
#define BLIT_SCALE_RGB16_PIECE_2(X) X(2) X(17) X(25) X(33) X(40) X(41) X(57)
#define BLIT_SCALE_RGB16_PIECE_3(X) X(3) X(6) X(23) X(56) X(64) X(74) X(81)
#define BLIT_SCALE_RGB16_PIECE_4(X) X(4) X(5) X(10) X(18) X(34) X(49) X(82)
#define BLIT_SCALE_RGB16_PIECE_5(X) X(8) X(26) X(32) X(42) X(48) X(65) X(90) X(91)
#define BLIT_SCALE_RGB16_PIECE_6(X) X(9) X(16) X(27) X(35) X(43) X(50) X(80)
#define BLIT_SCALE_RGB16_PIECE_7(X) X(20) X(21) X(24) X(51) X(58) X(66)

#define BLIT_RGB16_EVERY_PIECE(FAMILY, X)                                                                \
  BLIT_##FAMILY##_RGB16_PIECE_0(X) BLIT_##FAMILY##_RGB16_PIECE_1(X) BLIT_##FAMILY##_RGB16_PIECE_2(X)     \
      BLIT_##FAMILY##_RGB16_PIECE_3(X) BLIT_##FAMILY##_RGB16_PIECE_4(X) BLIT_##FAMILY##_RGB16_PIECE_5(X) \
          BLIT_##FAMILY##_RGB16_PIECE_6(X) BLIT_##FAMILY##_RGB16_PIECE_7(X)

// Explicit instantiations of one slot, for a kernel file.
#define BLIT_COPY_RGB16_SLOT(slot) template void CopyRGB16Kernel<slot>(BLIT_RGB16_KERNEL_TYPES);
#define BLIT_SCALE_RGB16_SLOT(slot) template void ScaleRGB16Kernel<slot>(BLIT_RGB16_KERNEL_TYPES);
