// A slow reference blitter written from what a blit means rather than from how
// the kernels walk: for each visible destination pixel it works out which
// source, mask and alpha pixels land there, then applies the pixel rule.
#pragma once

#include <optional>
#include <vector>

#include "BlitTestPixMap.h"

struct RefBlitInput {
  TestPixMap* src = nullptr;
  TestPixMap* dst = nullptr;
  TestPixMap* mask = nullptr;
  Rect srcRect{};  // in each map's bounds space
  Rect dstRect{};
  std::optional<Rect> clip;
  std::optional<Rect> maskRect;
  bool hFlip = false, vFlip = false;
  int turn = 0;
  bool scaled = false;
};

// One visible destination pixel and the pixels it reads, all local.
struct RefTap {
  int dx, dy;  // destination
  int sx, sy;  // source
  int mx, my;  // mask
};

// The visible destination pixels of a blit and their sources; false when the
// blit is refused (size mismatch for a same-size copy, nothing visible, a
// source rectangle or mask area outside its pixel map).
bool RefGeometry(const RefBlitInput& in, std::vector<RefTap>* taps);

struct RefBasicOptions {
  SInt32 mode = 0;
  SInt32 color = -1;
  const std::vector<UInt32>* lookup = nullptr;  // entries of the pixel type
  const std::vector<UInt32>* trans = nullptr;   // 8-bit only
  bool effect = false;                          // effect entries: lookup required, no folding
  bool testKernel = false;                      // without a mask, modes 16-19 draw as 0-3
};

// The basic, effect and 8-bit translucent blits of any depth, drawn into
// in.dst.
void RefBasicBlit(const RefBlitInput& in, const RefBasicOptions& options);
