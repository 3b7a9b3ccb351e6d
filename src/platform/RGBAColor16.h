// A sprite tint of four bytes: red, green and blue levels 0-64 (32 leaves a
// channel unchanged, below darkens, above brightens) and alpha, an opacity
// 0-32 read as a signed byte. The blitter's 16-bit effect blits read it; the
// graphics layer passes it around with its sprites.
#pragma once

#include "platform/PlatformTypes.h"

struct RGBAColor16 {
  UInt8 red, green, blue, alpha;
  RGBAColor16() { Reset(); }
  void Reset() { red = green = blue = alpha = 32; }
};
