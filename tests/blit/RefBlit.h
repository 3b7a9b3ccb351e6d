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

struct RefTint {
  int red = 32, green = 32, blue = 32;  // levels, 0-64 (more is held at 64)
  int alpha = 32;                       // opacity as a signed byte, held to 0-32
};

enum class RefRGB16Kind { Copy, Scale, Test };

struct RefRGB16Options {
  SInt32 mode = 0;
  SInt32 color = -1;
  const std::vector<UInt32>* lookup = nullptr;  // 65,536 entries
  std::optional<RefTint> tint;
  TestPixMap* alphaMap = nullptr;
  std::optional<Rect> alphaRect;  // in the alpha map's bounds space
};

// The 16-bit effect blits drawn into in.dst. Returns the kernel slot the
// options call for (mask 1, trans 2, colour 4, lookup 8, alpha 16, mapping
// 32, bright 64), or -1 when the blit is refused.
int RefRGB16Blit(const RefBlitInput& in, RefRGB16Kind kind, const RefRGB16Options& options);

// One channel (0-31) at a level (0-64): darkened toward 0 below 32,
// brightened toward 31 above.
UInt32 RefChannelLevel(UInt32 c, int level);
