// Gamma tables as three channels of floats, for comparing what a fade set
// with what it should have. Header-only: only programs that link the
// graphics library (which defines the tables) use it.
#pragma once

#include <algorithm>
#include <array>

#include "graphics/GammaFading.h"
#include "platform/DisplayServices.h"

using Channels = std::array<std::array<float, kGammaTableEntries>, 3>;

// The red, green and blue entries of a table.
inline Channels Contents(GammaHandle t) {
  Channels c;
  std::copy_n((*t)->red, kGammaTableEntries, c[0].begin());
  std::copy_n((*t)->green, kGammaTableEntries, c[1].begin());
  std::copy_n((*t)->blue, kGammaTableEntries, c[2].begin());
  return c;
}

// Every entry of every channel at v.
inline Channels Flat(float v) {
  Channels c;
  for (auto& ch : c) ch.fill(v);
  return c;
}

// The identity ramp, 0 to 1 in each channel.
inline Channels Ramp() {
  Channels c;
  for (auto& ch : c)
    for (UInt32 i = 0; i < kGammaTableEntries; i++) ch[i] = float(i) / 255.0f;
  return c;
}
