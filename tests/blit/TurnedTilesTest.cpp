// Turned blits large enough to be drawn in many tiles: destinations wider
// than one tile's columns and with rows left over after whole tiles, at
// every pixel depth, same-size and scaled (enlarged, shrunk, by an odd ratio
// and shrunk by more than a tile's rows), against the reference model.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <sstream>

#include "BlitTestPixMap.h"
#include "RefBlit.h"
#include "blit/CopySprite.h"
#include "blit/Lookup8.h"
#include "blit/RGB16Sprite.h"
#include "blit/ScaleSprite.h"
#include "support/TestSeed.h"

namespace {

struct TileCase {
  int depth;
  int srcW, srcH;  // the source rectangle, inside a map 3 pixels larger
  int dstW, dstH;  // the destination rectangle; 0 for the turned source's size
  int turn;
  bool hFlip, vFlip;
  SInt32 mode;
  bool mask, lookup, clip;
  bool tinted;  // the 16-bit effect blit with an alpha map and brightness
};

std::string Describe(const TileCase& c) {
  std::ostringstream out;
  out << c.depth << "-bit " << c.srcW << "x" << c.srcH << " -> " << c.dstW << "x" << c.dstH << " turn " << c.turn
      << " h " << c.hFlip << " v " << c.vFlip << " mode " << c.mode << " mask " << c.mask << " lookup " << c.lookup
      << " clip " << c.clip << " tinted " << c.tinted;
  return out.str();
}

UInt32 KeyOf(int depth) { return depth == 8 ? 0 : depth == 16 ? 0x7FFF : 0x00FFFFFF; }

void CheckCase(const TileCase& c, std::mt19937& rng) {
  SCOPED_TRACE(Describe(c));
  const bool scaled = c.dstW != 0;
  const int dw = scaled ? c.dstW : c.turn % 2 ? c.srcH : c.srcW;
  const int dh = scaled ? c.dstH : c.turn % 2 ? c.srcW : c.srcH;
  const UInt32 key = KeyOf(c.depth);
  const UInt32 valueMask = c.depth == 8 ? 0xFF : c.depth == 16 ? 0x7FFF : 0x00FFFFFF;
  TestPixMap src(c.depth, c.srcW + 3, c.srcH + 3, 5, 7, -4);
  src.Randomize(rng, key, 5, valueMask);
  TestPixMap dst(c.depth, dw + 2, dh + 3, 3, -6, 2);
  dst.Randomize(rng, key, 7, valueMask);
  std::optional<TestPixMap> mask, alpha;
  if (c.mask) {
    mask.emplace(c.depth, dw + 2, dh + 3, 1, -6, 2);
    mask->Randomize(rng, key, 2, valueMask);
  }
  // Lookups are 8- and 16-bit only here: a table for every source value.
  std::vector<UInt32> lookup;
  if (c.lookup) {
    lookup.resize(c.depth == 8 ? 256 : 65536);
    for (UInt32& e : lookup) e = rng() % 20 == 0 ? key : UInt32(rng()) & valueMask;
  }

  RefBlitInput in;
  in.src = &src;
  in.mask = mask ? &*mask : nullptr;
  in.srcRect = RectAt(7 + 2, -4 + 1, c.srcW, c.srcH);
  in.dstRect = RectAt(-6 + 1, 2 + 2, dw, dh);
  if (c.clip) in.clip = RectAt(-6 + 1 + dw / 3, 2 + 2 + dh / 4, dw / 2, dh / 2);
  in.turn = c.turn;
  in.hFlip = c.hFlip;
  in.vFlip = c.vFlip;
  in.scaled = scaled;
  const TestPixMap original = dst;
  TestPixMap expected = dst;
  in.dst = &expected;

  const Rect* clip = in.clip ? &*in.clip : nullptr;
  PixMapHandle maskHandle = mask ? mask->Handle() : nullptr;
  if (c.tinted) {
    alpha.emplace(8, c.srcW + 3, c.srcH + 3, 2, 7, -4);
    for (int y = 0; y < c.srcH + 3; ++y)
      for (int x = 0; x < c.srcW + 3; ++x) alpha->Set(x, y, rng() % 33);
    RefRGB16Options options;
    options.mode = c.mode;
    options.tint = RefTint{16, 16, 16, 24};
    options.alphaMap = &*alpha;
    ASSERT_GE(RefRGB16Blit(in, scaled ? RefRGB16Kind::Scale : RefRGB16Kind::Copy, options), 0);
    in.dst = &dst;
    (scaled ? ScaleSpriteRGB16 : CopySpriteRGB16)(src.Handle(), dst.Handle(), maskHandle, &in.srcRect, &in.dstRect,
                                                  clip, c.mode, -1, nullptr, QuickRGBA16(16, 16, 16, 24), c.hFlip,
                                                  c.vFlip, char(c.turn), nullptr, alpha->Handle(), nullptr);
  } else {
    RefBasicOptions options;
    options.mode = c.mode;
    if (c.lookup) options.lookup = &lookup;
    RefBasicBlit(in, options);
    std::vector<UInt8> lookup8;
    std::vector<UInt16> lookup16;
    void* table = nullptr;
    if (c.lookup && c.depth == 8) {
      lookup8.assign(lookup.begin(), lookup.end());
      table = lookup8.data();
    } else if (c.lookup) {
      lookup16.assign(lookup.begin(), lookup.end());
      table = lookup16.data();
    }
    using Dispatcher = void (*)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*, const Rect*, SInt32,
                                SInt32, void*, void*, UInt8, UInt8, char, const Rect*);
    static const Dispatcher byDepth[2][3] = {{CopySprite8, CopySprite16, CopySprite32},
                                             {ScaleSprite8, ScaleSprite16, ScaleSprite32}};
    const Dispatcher f = byDepth[scaled][c.depth == 8 ? 0 : c.depth == 16 ? 1 : 2];
    f(src.Handle(), dst.Handle(), maskHandle, &in.srcRect, &in.dstRect, clip, c.mode, -1, table, nullptr, c.hFlip,
      c.vFlip, char(c.turn), nullptr);
  }
  ASSERT_NE(expected.Storage(), original.Storage());
  ASSERT_EQ(dst.FirstDifference(expected), "");
}

// Destinations 300 wide (two whole tiles of columns and part of a third) and
// 70 tall (rows left over after whole tiles of 16, 32 or 64 rows).
const TileCase kCases[] = {
    // Same size: the plain copy (gathered straight into the destination),
    // keyed, masked and 8-bit lookups, both quarter turns, with flips and clips.
    {8, 70, 300, 0, 0, 1, false, false, 0, false, false, false, false},
    {8, 70, 300, 0, 0, 3, true, false, 1, false, true, false, false},
    {8, 70, 300, 0, 0, 1, false, true, 16, true, true, true, false},
    {16, 70, 300, 0, 0, 1, false, false, 0, false, false, false, false},
    {16, 70, 300, 0, 0, 3, false, false, 0, false, false, true, false},
    {16, 70, 300, 0, 0, 1, true, true, 1, false, false, false, false},
    {16, 70, 300, 0, 0, 3, false, true, 17, true, false, false, false},
    {32, 70, 300, 0, 0, 1, false, false, 0, false, false, false, false},
    {32, 70, 300, 0, 0, 3, true, false, 2, true, false, true, false},
    // Mirrors and half turns, gathered row by row.
    {16, 300, 70, 0, 0, 0, true, false, 0, false, false, false, false},
    {32, 300, 70, 0, 0, 2, false, false, 1, false, false, true, false},
    // Scaled: enlarged, shrunk, an odd ratio and a shrink of more rows than
    // a tile holds (a group reads one source row) and an enlargement of more
    // destination rows per source row than a group holds.
    {16, 35, 150, 300, 70, 1, false, false, 0, false, false, false, false},
    {16, 140, 600, 300, 70, 3, true, false, 1, true, false, false, false},
    {16, 57, 111, 300, 70, 1, false, true, 0, false, false, true, false},
    {16, 3000, 40, 300, 70, 1, false, false, 0, false, false, false, false},
    {16, 8, 150, 300, 70, 1, false, false, 0, false, false, false, false},
    {8, 57, 111, 300, 70, 3, false, false, 0, false, true, false, false},
    {32, 57, 111, 300, 70, 1, true, true, 1, false, false, false, false},
    // The effect blit: an alpha map walked with the source, and brightness.
    {16, 70, 300, 0, 0, 1, false, false, 0, false, false, false, true},
    {16, 70, 300, 0, 0, 3, true, false, 1, true, false, true, true},
    {16, 35, 150, 300, 70, 1, false, false, 0, false, false, false, true},
    {16, 140, 600, 300, 70, 3, false, true, 0, true, false, false, true},
};

TEST(TurnedTiles, LargeTurnedBlitsMatchTheReferenceModel) {
  const TestSeed seed(47);
  SCOPED_TRACE(seed.note);
  std::mt19937 rng(seed.value);
  for (const Lookup8Build build : {Lookup8Build::Portable, Lookup8Build::Vbmi}) {
    if (build == Lookup8Build::Vbmi && !Lookup8VbmiAvailable()) continue;
    forcedLookup8Build = build;
    for (const TileCase& c : kCases) CheckCase(c, rng);
  }
  forcedLookup8Build = Lookup8Build::Automatic;
}

}  // namespace
