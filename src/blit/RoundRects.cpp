#include "blit/RoundRects.h"

#include <algorithm>
#include <array>
#include <utility>

#include "blit/CopySprite.h"
#include "blit/RGB16Sprite.h"
#include "foundation/ErrorDialog.h"
#include "platform/QuickDrawPicture.h"
#include "platform/QuickDrawRegions.h"

namespace {

constexpr int kTile = 32;

RgnHandle rgn = nullptr;
RgnHandle rectRgn = nullptr;

// A 32 x 32 scratch pixmap of one depth, kept for the program's life.
struct Scratch {
  alignas(32) std::array<UInt8, kTile * kTile * 2> pixels{};
  PixMap pm{};
  PixMap* ptr = &pm;
  explicit Scratch(int depth) {
    pm.baseAddr = reinterpret_cast<Ptr>(pixels.data());
    pm.rowBytes = SInt16((kTile * depth / 8) | 0x8000);
    pm.bounds = Rect{0, 0, kTile, kTile};
    pm.pixelSize = SInt16(depth);
    pm.pixelType = depth == 8 ? kIndexedPixelType : kDirectPixelType;
    pm.pixelFormat = depth == 8 ? 0 : OSType(depth);
  }
  PixMapHandle Handle() { return &ptr; }
};

// The round rectangle on the destination rectangle, or with `invert` the
// destination's bounds less it.
void BuildRegion(PixMapHandle dst, const Rect* dstRect, SInt16 corner, UInt8 invert) {
  if (!rgn) rgn = NewRgn();
  if (!rectRgn) rectRgn = NewRgn();
  RoundRectRgn(rgn, dstRect, corner, corner);
  if (invert) {
    RectRgn(rectRgn, &(*dst)->bounds);
    XorRgn(rgn, rectRgn, rgn);
  }
}

bool Usable(PixMapHandle pm) { return pm && *pm && (*pm)->baseAddr; }

}  // namespace

void CopyRoundRect(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, SInt16 mode,
                   SInt16 corner, UInt8 invert) {
  if (!Usable(src) || !Usable(dst) || !srcRect || !dstRect) return;
  BuildRegion(dst, dstRect, corner, invert);
  CopyBits(src, dst, srcRect, dstRect, mode, rgn);
}

void HiliteRoundRect(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, SInt16 corner,
                     SInt16 level, UInt8 invert) {
  if (!Usable(src) || !Usable(dst) || !srcRect || !dstRect) return;
  static Scratch scratch8(8), scratch16(16);
  const SInt16 depth = (*dst)->pixelSize;
  if (depth == 32) {
    ErrorDialog("HiliteRoundRect needs to be finished for 32 bits", "", 0, 1);
    return;
  }
  Scratch& scratch = depth == 16 ? scratch16 : scratch8;
  // Indices pass through the scratch unchanged when it reads them with the
  // destination's own colours.
  if (depth != 16) scratch.pm.pmTable = (*dst)->pmTable;
  BuildRegion(dst, dstRect, corner, invert);

  const SInt32 width = dstRect->right - dstRect->left, height = dstRect->bottom - dstRect->top;
  const SInt32 toDstH = dstRect->left - srcRect->left, toDstV = dstRect->top - srcRect->top;
  const UInt16 tint = UInt16(std::clamp(level * 32 / 24, 0, 64));
  for (SInt32 y = 0; y < height; y += kTile)
    for (SInt32 x = 0; x < width; x += kTile) {
      Rect tile{SInt16(srcRect->top + y), SInt16(srcRect->left + x), SInt16(srcRect->bottom + y),
                SInt16(srcRect->right + x)};
      if (!SectRect(&tile, srcRect, &tile)) continue;
      tile.right = SInt16(std::min<SInt32>(tile.right, tile.left + kTile));
      tile.bottom = SInt16(std::min<SInt32>(tile.bottom, tile.top + kTile));
      // The scratch copy is clipped by the scratch rectangle itself, so every
      // tile is copied whole.
      const Rect scratchRect{0, 0, SInt16(tile.bottom - tile.top), SInt16(tile.right - tile.left)};
      if (depth == 16) {
        QuickRGBA16 colour(tint, tint, tint, 32);
        CopySpriteRGB(src, scratch.Handle(), nullptr, &tile, &scratchRect, &scratchRect, 0, -1, nullptr, colour, 0, 0,
                      0, nullptr, nullptr, nullptr);
      } else {
        CopySprite(src, scratch.Handle(), nullptr, &tile, &scratchRect, &scratchRect, 0, -1, nullptr, nullptr, 0, 0, 0,
                   nullptr);
      }
      const Rect target{SInt16(tile.top + toDstV), SInt16(tile.left + toDstH), SInt16(tile.bottom + toDstV),
                        SInt16(tile.right + toDstH)};
      CopyBits(scratch.Handle(), dst, &scratchRect, &target, srcCopy, rgn);
    }
}

void TransformRect(const Rect* in, Rect* out, SInt8 turn) {
  if (!in || !out) return;
  if ((turn & 1) == 0) {
    *out = *in;
    return;
  }
  const SInt16 w = SInt16(in->right - in->left), h = SInt16(in->bottom - in->top);
  Rect r;
  r.left = SInt16(in->left + w / 2 - h / 2);
  r.top = SInt16(in->top + h / 2 - w / 2);
  r.right = SInt16(r.left + h);
  r.bottom = SInt16(r.top + w);
  *out = r;
}

void TransformSubRect(const Rect* whole, const Rect* part, const Rect* placement, Rect* out, UInt8 hMirror,
                      UInt8 vMirror, SInt8 turn) {
  if (!whole || !part || !placement || !out) return;
  const SInt16 w = SInt16(whole->right - whole->left), h = SInt16(whole->bottom - whole->top);
  SInt16 left = SInt16((part->left - whole->left) - w / 2), top = SInt16((part->top - whole->top) - h / 2);
  SInt16 right = SInt16(left + (part->right - part->left)), bottom = SInt16(top + (part->bottom - part->top));
  bool mh = hMirror, mv = vMirror;
  if (turn == 2) {
    mh = !mh;
    mv = !mv;
  } else if (turn == 3) {
    const SInt16 l = SInt16(-bottom), t = left, r = SInt16(-top), b = right;
    left = l, top = t, right = r, bottom = b;
    std::swap(mh, mv);
  } else if (turn == 1) {
    const SInt16 l = top, t = SInt16(-right), r = bottom, b = SInt16(-left);
    left = l, top = t, right = r, bottom = b;
    std::swap(mh, mv);
  }
  if (mh) {
    const SInt16 l = SInt16(-right), r = SInt16(-left);
    left = l, right = r;
  }
  if (mv) {
    const SInt16 t = SInt16(-bottom), b = SInt16(-top);
    top = t, bottom = b;
  }
  const SInt16 dh = SInt16(placement->left + (placement->right - placement->left) / 2);
  const SInt16 dv = SInt16(placement->top + (placement->bottom - placement->top) / 2);
  *out = Rect{SInt16(top + dv), SInt16(left + dh), SInt16(bottom + dv), SInt16(right + dh)};
}
