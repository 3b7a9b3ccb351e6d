// Colours the rendered-dialog tests compare against what a window shows.
#pragma once

#include <string>

#include "graphics/PNGFile.h"

struct Pixel {
  int r, g, b;
};

// The average colour of a picture file laid over a grey background, as the
// presenter draws an icon; -1s when the file cannot be read.
inline Pixel Composite(const std::string& path, int grey) {
  SInt32 w = 0, h = 0;
  UInt8* p = LoadPNG(path.c_str(), &w, &h, 0, nullptr, nullptr);
  if (!p) return Pixel{-1, -1, -1};
  double sum[3] = {0, 0, 0};
  for (SInt32 i = 0; i < w * h; ++i) {
    double a = p[i * 4 + 3] / 255.0;
    for (int c = 0; c < 3; ++c) sum[c] += p[i * 4 + c] * a + grey * (1 - a);
  }
  delete[] p;
  return Pixel{int(sum[0] / (w * h)), int(sum[1] / (w * h)), int(sum[2] / (w * h))};
}
