// The copy, scale, effect and test dispatchers against the reference model
// over random cases: sizes, padding, bounds origins, clips, turns, flips,
// masks, modes, lookup tables, colours and translucency tables. Whole buffers
// are compared, guard bands included.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "BlitTestPixMap.h"
#include "RefBlit.h"
#include "blit/CopySprite.h"
#include "blit/EffectSprite.h"
#include "blit/Lookup8.h"
#include "blit/ScaleSprite.h"
#include "blit/TestSprite.h"
#include "support/TestSeed.h"

namespace {

enum class Entry { Copy, Scale, CopyFX, ScaleFX, Test, TestFX };

UInt32 KeyOf(int depth) { return depth == 8 ? 0 : depth == 16 ? 0x7FFF : 0x00FFFFFF; }

// Lookup and translucency tables, made once per test: filling 65,536
// entries per case would dominate the run.
struct TableBank {
  std::vector<UInt32> lookup[3], trans;
  std::vector<UInt8> lookup8, trans8;
  std::vector<UInt16> lookup16;

  TableBank(std::mt19937& rng, bool darkenEntries) {
    const size_t entries[3] = {256, 65536, 1024};
    const UInt32 masks[3] = {0xFF, 0xFFFF, 0xFFFFFFFF};
    for (int d = 0; d < 3; ++d) {
      lookup[d].resize(entries[d]);
      for (UInt32& e : lookup[d]) e = rng() % 20 == 0 ? KeyOf(8 << d) : UInt32(rng()) & masks[d];
    }
    if (darkenEntries) {
      // Entries with bit 15 darken by their level, some past 32.
      for (UInt32& e : lookup[1])
        if (rng() % 2) e = 0x8000 | (rng() % 40);
    }
    lookup8.assign(lookup[0].begin(), lookup[0].end());
    lookup16.assign(lookup[1].begin(), lookup[1].end());
    trans.resize(65536);
    for (UInt32& t : trans) t = rng() & 0xFF;
    trans8.assign(trans.begin(), trans.end());
  }
};

struct BasicCase {
  int depth = 16;
  const TableBank* tables = nullptr;
  std::optional<TestPixMap> src, dst, mask;
  RefBlitInput in;
  RefBasicOptions options;
  bool hasLookup = false;

  void* LookupArg() const {
    if (!hasLookup) return nullptr;
    if (depth == 8) return const_cast<UInt8*>(tables->lookup8.data());
    if (depth == 16) return const_cast<UInt16*>(tables->lookup16.data());
    return const_cast<UInt32*>(tables->lookup[2].data());
  }
};

int Pick(std::mt19937& rng, int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); }

Rect Offset(const Rect& r, const Rect& bounds) {
  return Rect{SInt16(r.top + bounds.top), SInt16(r.left + bounds.left), SInt16(r.bottom + bounds.top),
              SInt16(r.right + bounds.left)};
}

std::string Describe(const Rect& r, const TestPixMap& pm) {
  std::ostringstream out;
  const Rect& b = pm.Bounds();
  out << "(" << r.left - b.left << "," << r.top - b.top << " " << r.right - r.left << "x" << r.bottom - r.top << " of "
      << pm.Width() << "x" << pm.Height() << ")";
  return out.str();
}

void MakeCase(std::mt19937& rng, Entry entry, BasicCase* c) {
  const bool scaled = entry != Entry::Copy && entry != Entry::Test;
  const bool effect = entry == Entry::CopyFX || entry == Entry::ScaleFX || entry == Entry::TestFX;
  const bool test16 = entry == Entry::Test || entry == Entry::TestFX;
  const int depths[3] = {8, 16, 32};
  c->depth = test16 ? 16 : depths[rng() % 3];
  const UInt32 key = KeyOf(c->depth);
  const UInt32 valueMask = c->depth == 8 ? 0xFF : c->depth == 16 ? 0xFFFF : 0xFFFFFFFF;
  c->hasLookup = effect ? rng() % 20 != 0 : rng() % 3 == 0;
  // A 32-bit table cannot cover every pixel value: keep the source small.
  const bool smallSource = c->depth == 32 && c->hasLookup;

  // Now and then a sprite of up to 256 x 256: long rows and many of them.
  const bool big = rng() % 40 == 0;
  const int sw = Pick(rng, 1, big ? 256 : 17), sh = Pick(rng, 1, big ? 256 : 17);
  c->src.emplace(c->depth, sw, sh, Pick(rng, 0, 3), SInt16(Pick(rng, -20, 20)), SInt16(Pick(rng, -20, 20)));
  c->src->Randomize(rng, smallSource ? 1 : key, smallSource ? 0 : 4, smallSource ? 0x3FF : valueMask);
  const int rw = Pick(rng, big ? (sw + 1) / 2 : 1, sw), rh = Pick(rng, big ? (sh + 1) / 2 : 1, sh);
  Rect srcLocal = RectAt(Pick(rng, 0, sw - rw), Pick(rng, 0, sh - rh), rw, rh);
  if (rng() % 25 == 0) srcLocal.right = SInt16(srcLocal.right + 1);  // sticks out: refused
  c->in.srcRect = Offset(srcLocal, c->src->Bounds());
  c->in.turn = int(rng() % 4);
  c->in.hFlip = rng() % 2;
  c->in.vFlip = rng() % 2;
  c->in.scaled = scaled;

  const bool odd = c->in.turn & 1;
  int dw = odd ? rh : rw, dh = odd ? rw : rh;
  if (scaled) {
    dw = Pick(rng, 1, big ? 256 : 24);
    dh = Pick(rng, 1, big ? 256 : 24);
  } else if (rng() % 25 == 0) {
    ++dw;  // size mismatch: refused
  }
  const int pw = big ? dw + Pick(rng, 0, 8) : Pick(rng, 1, 26), ph = big ? dh + Pick(rng, 0, 8) : Pick(rng, 1, 26);
  c->dst.emplace(c->depth, pw, ph, Pick(rng, 0, 3), SInt16(Pick(rng, -20, 20)), SInt16(Pick(rng, -20, 20)));
  c->dst->Randomize(rng, key, 5, valueMask);
  // A big sprite lies wholly inside the destination half the time.
  const Rect dstLocal = big && rng() % 2 ? RectAt(Pick(rng, 0, pw - dw), Pick(rng, 0, ph - dh), dw, dh)
                                         : RectAt(Pick(rng, -4, pw), Pick(rng, -4, ph), dw, dh);
  c->in.dstRect = Offset(dstLocal, c->dst->Bounds());
  if (rng() % 5 < 3) {
    const Rect clipLocal = RectAt(Pick(rng, -3, pw), Pick(rng, -3, ph), Pick(rng, 0, pw + 3), Pick(rng, 0, ph + 3));
    c->in.clip = Offset(clipLocal, c->dst->Bounds());
  }

  if (rng() % 2) {
    const int mw = big ? pw + Pick(rng, 0, 4) : Pick(rng, 1, 30), mh = big ? ph + Pick(rng, 0, 4) : Pick(rng, 1, 30);
    c->mask.emplace(c->depth, mw, mh, Pick(rng, 0, 2), SInt16(Pick(rng, -9, 9)), SInt16(Pick(rng, -9, 9)));
    c->mask->Randomize(rng, key, 2, valueMask);
    if (rng() % 2) {
      // In the destination's bounds space, addressing the mask locally.
      const Rect local = RectAt(Pick(rng, -1, std::max(0, mw - dw)), Pick(rng, -1, std::max(0, mh - dh)), dw, dh);
      c->in.maskRect = Offset(local, c->dst->Bounds());
    }
  }

  const SInt32 modes[] = {0, 1, 2, 3, 16, 17, 18, 19, 0, 1, 2, 3, 4, 5, 15, 20, -1};
  c->options.mode = modes[rng() % (sizeof modes / sizeof *modes)];
  c->options.effect = effect;
  c->options.testKernel = test16;
  if (c->hasLookup) c->options.lookup = &c->tables->lookup[c->depth / 16];
  if (rng() % 3 == 0) {
    if (c->depth == 8)
      c->options.color = SInt32(rng() % (c->hasLookup && rng() % 10 == 0 ? 400 : 256));
    else if (smallSource)
      c->options.color = SInt32(rng() % 1024);
    else
      c->options.color = SInt32(UInt32(rng()) & valueMask);
    if (c->options.color == -1) c->options.color = 5;
  }
  if (c->depth == 8 && !effect && !test16 && rng() % 4 == 0) {
    c->options.trans = &c->tables->trans;
  }
  c->in.src = &*c->src;
  c->in.dst = &*c->dst;
  c->in.mask = c->mask ? &*c->mask : nullptr;
}

void RunCase(Entry entry, BasicCase& c) {
  PixMapHandle mask = c.mask ? c.mask->Handle() : nullptr;
  const Rect* clip = c.in.clip ? &*c.in.clip : nullptr;
  const Rect* maskRect = c.in.maskRect ? &*c.in.maskRect : nullptr;
  void* trans = c.options.trans ? const_cast<UInt8*>(c.tables->trans8.data()) : nullptr;
  using Dispatcher = void (*)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*, const Rect*, SInt32,
                              SInt32, void*, void*, UInt8, UInt8, char, const Rect*);
  static const Dispatcher byDepth[6][3] = {
      {CopySprite8, CopySprite16, CopySprite32},       {ScaleSprite8, ScaleSprite16, ScaleSprite32},
      {CopySpriteFX8, CopySpriteFX16, CopySpriteFX32}, {ScaleSpriteFX8, ScaleSpriteFX16, ScaleSpriteFX32},
      {TestSprite16, TestSprite16, TestSprite16},      {TestSpriteFX16, TestSpriteFX16, TestSpriteFX16},
  };
  const Dispatcher f = byDepth[int(entry)][c.depth == 8 ? 0 : c.depth == 16 ? 1 : 2];
  f(c.src->Handle(), c.dst->Handle(), mask, &c.in.srcRect, &c.in.dstRect, clip, c.options.mode, c.options.color,
    c.LookupArg(), trans, c.in.hFlip, c.in.vFlip, char(c.in.turn), maskRect);
}

// The test kernel's effect rule: bit 15 of the entry darkens the destination
// by its level (at most 32), else the source is copied.
void RefTestFX(const RefBlitInput& in, SInt32 mode, const std::vector<UInt32>* lookup) {
  std::vector<RefTap> taps;
  if (!lookup || !RefGeometry(in, &taps)) return;
  const int low = mode & 0xF;
  if ((mode != low && mode != (low | 0x10)) || low > 2) return;
  for (const RefTap& t : taps) {
    const UInt32 s = in.src->Get(t.sx, t.sy), d = in.dst->Get(t.dx, t.dy);
    if (in.mask && ((mode & 0x10) ? in.mask->Get(t.mx, t.my) == 0x7FFF : in.mask->Get(t.mx, t.my) != 0x7FFF)) continue;
    if (low != 0 && s == 0x7FFF) continue;
    if (low == 2 && d == 0x7FFF) continue;
    const UInt32 e = (*lookup)[s];
    if (!(e & 0x8000)) {
      in.dst->Set(t.dx, t.dy, s);
      continue;
    }
    const UInt32 level = std::min<UInt32>(e & 0x7FFF, 32);
    const UInt32 r = ((d >> 10) & 31) * level / 32, g = ((d >> 5) & 31) * level / 32, b = (d & 31) * level / 32;
    // A destination's bit 15 sits above red and adds the level to it.
    const UInt32 red = (d & 0x8000) ? (r + level) & 31 : r;
    in.dst->Set(t.dx, t.dy, (red << 10) | (g << 5) | b);
  }
}

class BasicBlitRandom : public testing::TestWithParam<Entry> {};

TEST_P(BasicBlitRandom, MatchesTheReferenceModel) {
  const Entry entry = GetParam();
  const TestSeed seed(1234 + int(entry));
  SCOPED_TRACE(seed.note);
  std::mt19937 rng(seed.value);
  const TableBank tables(rng, entry == Entry::TestFX);
  int drawn = 0;
  // Cases alternate between the 8-bit lookup's builds where the processor
  // has more than the portable one.
  for (int i = 0; i < 2500; ++i) {
    forcedLookup8Build = i % 2 && Lookup8VbmiAvailable() ? Lookup8Build::Vbmi : Lookup8Build::Portable;
    BasicCase c;
    c.tables = &tables;
    MakeCase(rng, entry, &c);
    const TestPixMap original = *c.dst;
    TestPixMap expected = *c.dst;
    RefBlitInput refIn = c.in;
    refIn.dst = &expected;
    if (entry == Entry::TestFX)
      RefTestFX(refIn, c.options.mode, c.options.lookup);
    else
      RefBasicBlit(refIn, c.options);
    RunCase(entry, c);
    drawn += expected.Storage() != original.Storage();
    ASSERT_EQ(c.dst->FirstDifference(expected), "")
        << "case " << i << " depth " << c.depth << " turn " << c.in.turn << " h " << c.in.hFlip << " v " << c.in.vFlip
        << " mode " << c.options.mode << " color " << c.options.color << " lookup " << c.hasLookup << " mask "
        << bool(c.mask) << " maskRect " << bool(c.in.maskRect) << " clip " << bool(c.in.clip) << " src "
        << Describe(c.in.srcRect, *c.src) << " dst " << Describe(c.in.dstRect, *c.dst);
  }
  forcedLookup8Build = Lookup8Build::Automatic;
  // Enough of the cases draw for the comparison to mean something.
  EXPECT_GT(drawn, 300);
}

std::string EntryName(const testing::TestParamInfo<Entry>& info) {
  static const char* const names[] = {"Copy", "Scale", "CopyFX", "ScaleFX", "Test16", "TestFX16"};
  return names[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Entries, BasicBlitRandom,
                         testing::Values(Entry::Copy, Entry::Scale, Entry::CopyFX, Entry::ScaleFX, Entry::Test,
                                         Entry::TestFX),
                         EntryName);

}  // namespace
