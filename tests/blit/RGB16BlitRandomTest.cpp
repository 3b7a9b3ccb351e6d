// The 16-bit effect dispatchers against the reference model over random
// cases: tints, opacities, alpha maps and alpha rectangles on top of the
// geometry, masks, modes, lookup tables and colours of the basic blits.
// Every working slot of the copy and scale tables is reached.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "BlitTestPixMap.h"
#include "RefBlit.h"
#include "blit/RGB16Sprite.h"
#include "support/TestSeed.h"

namespace {

int Pick(std::mt19937& rng, int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); }

Rect Offset(const Rect& r, const Rect& bounds) {
  return Rect{SInt16(r.top + bounds.top), SInt16(r.left + bounds.left), SInt16(r.bottom + bounds.top),
              SInt16(r.right + bounds.left)};
}

int PickLevel(std::mt19937& rng) {
  static const int levels[] = {0, 1, 15, 16, 31, 32, 32, 33, 47, 48, 63, 64, 70, 200};
  return rng() % 4 == 0 ? Pick(rng, 0, 64) : levels[rng() % (sizeof levels / sizeof *levels)];
}

struct RGB16Case {
  std::optional<TestPixMap> src, dst, mask, alpha;
  RefBlitInput in;
  RefRGB16Options options;
  bool hasLookup = false;
};

struct Tables {
  std::vector<UInt32> lookup;
  std::vector<UInt16> lookup16;
  explicit Tables(std::mt19937& rng, UInt32 valueMask) {
    lookup.resize(65536);
    for (UInt32& e : lookup) e = rng() % 20 == 0 ? 0x7FFF : UInt32(rng()) & valueMask;
    lookup16.assign(lookup.begin(), lookup.end());
  }
};

// Source pixels and lookup entries keep bit 15 clear when `clearTop`, the
// inputs on which the test kernel and the specialised ones agree.
void MakeCase(std::mt19937& rng, RefRGB16Kind kind, bool clearTop, RGB16Case* c) {
  const UInt32 valueMask = clearTop ? 0x7FFF : 0xFFFF;
  // Now and then a sprite of up to 256 x 256: long rows and many of them.
  const bool big = rng() % 40 == 0;
  const int sw = Pick(rng, 1, big ? 256 : 14), sh = Pick(rng, 1, big ? 256 : 14);
  c->src.emplace(16, sw, sh, Pick(rng, 0, 3), SInt16(Pick(rng, -9, 9)), SInt16(Pick(rng, -9, 9)));
  c->src->Randomize(rng, 0x7FFF, 5, valueMask);
  const int rw = Pick(rng, big ? (sw + 1) / 2 : 1, sw), rh = Pick(rng, big ? (sh + 1) / 2 : 1, sh);
  const Rect srcLocal = RectAt(Pick(rng, 0, sw - rw), Pick(rng, 0, sh - rh), rw, rh);
  c->in.srcRect = Offset(srcLocal, c->src->Bounds());
  c->in.turn = int(rng() % 4);
  c->in.hFlip = rng() % 2;
  c->in.vFlip = rng() % 2;

  const bool odd = c->in.turn & 1;
  int dw = odd ? rh : rw, dh = odd ? rw : rh;
  if (kind == RefRGB16Kind::Scale) {
    dw = Pick(rng, 1, big ? 256 : 20);
    dh = Pick(rng, 1, big ? 256 : 20);
  }
  const int pw = big ? dw + Pick(rng, 0, 8) : Pick(rng, 1, 22), ph = big ? dh + Pick(rng, 0, 8) : Pick(rng, 1, 22);
  c->dst.emplace(16, pw, ph, Pick(rng, 0, 3), SInt16(Pick(rng, -9, 9)), SInt16(Pick(rng, -9, 9)));
  c->dst->Randomize(rng, 0x7FFF, 6, 0xFFFF);
  // A big sprite lies wholly inside the destination half the time.
  const int low = big && rng() % 2 ? 0 : -3;
  c->in.dstRect = Offset(RectAt(Pick(rng, low, std::max(0, pw - dw)), Pick(rng, low, std::max(0, ph - dh)), dw, dh),
                         c->dst->Bounds());
  if (rng() % 3 == 0)
    c->in.clip =
        Offset(RectAt(Pick(rng, -2, pw), Pick(rng, -2, ph), Pick(rng, 0, pw), Pick(rng, 0, ph)), c->dst->Bounds());
  if (rng() % 2) {
    c->mask.emplace(16, pw + 4, ph + 4, 1, SInt16(Pick(rng, -5, 5)), SInt16(Pick(rng, -5, 5)));
    c->mask->Randomize(rng, 0x7FFF, 2, 0xFFFF);
    if (rng() % 2) c->in.maskRect = Offset(RectAt(Pick(rng, 0, 4), Pick(rng, 0, 4), dw, dh), c->dst->Bounds());
  }
  if (rng() % 2) {
    c->alpha.emplace(8, sw + 4, sh + 4, Pick(rng, 0, 3), SInt16(Pick(rng, -5, 5)), SInt16(Pick(rng, -5, 5)));
    for (int y = 0; y < sh + 4; ++y)
      for (int x = 0; x < sw + 4; ++x) c->alpha->Set(x, y, rng() % 8 == 0 ? Pick(rng, 33, 255) : Pick(rng, 0, 32));
    if (rng() % 2) {
      const int extra = rng() % 15 == 0 ? 6 : 0;  // sticks out now and then: refused
      c->options.alphaRect = Offset(RectAt(Pick(rng, 0, 4) + extra, Pick(rng, 0, 4), rw, rh), c->alpha->Bounds());
    }
    c->options.alphaMap = &*c->alpha;
  }

  const SInt32 modes[] = {0, 1, 2, 3, 16, 17, 18, 19, 0, 1, 2, 3, 4, 5, 15, 20, -1};
  c->options.mode = modes[rng() % (sizeof modes / sizeof *modes)];
  c->hasLookup = rng() % 3 == 0;
  if (rng() % 4 == 0) c->options.color = SInt32(rng() & valueMask);
  if (rng() % 5 != 0) {
    RefTint tint;
    if (rng() % 4 != 0) {  // else levels unchanged: the slots without a transform
      tint.red = PickLevel(rng);
      tint.green = rng() % 3 == 0 ? PickLevel(rng) : tint.red;
      tint.blue = rng() % 3 == 0 ? PickLevel(rng) : tint.red;
    }
    static const int alphas[] = {32, 32, 0, 1, 16, 31, 33, -5, 100};
    tint.alpha = alphas[rng() % (sizeof alphas / sizeof *alphas)];
    c->options.tint = tint;
  }
  c->in.src = &*c->src;
  c->in.dst = &*c->dst;
  c->in.mask = c->mask ? &*c->mask : nullptr;
}

void RunCase(RefRGB16Kind kind, RGB16Case& c, Tables& tables) {
  std::optional<QuickRGBA16> rgba;
  if (c.options.tint)
    rgba.emplace(UInt16(c.options.tint->red), UInt16(c.options.tint->green), UInt16(c.options.tint->blue),
                 UInt16(c.options.tint->alpha & 0xFF));
  auto* dispatcher = kind == RefRGB16Kind::Copy    ? CopySpriteRGB
                     : kind == RefRGB16Kind::Scale ? ScaleSpriteRGB16
                                                   : TestSpriteRGB16;
  dispatcher(c.src->Handle(), c.dst->Handle(), c.mask ? c.mask->Handle() : nullptr, &c.in.srcRect, &c.in.dstRect,
             c.in.clip ? &*c.in.clip : nullptr, c.options.mode, c.options.color,
             c.hasLookup ? tables.lookup16.data() : nullptr, rgba ? static_cast<RGBAColor16*>(*rgba) : nullptr,
             c.in.hFlip, c.in.vFlip, char(c.in.turn), c.in.maskRect ? &*c.in.maskRect : nullptr,
             c.alpha ? c.alpha->Handle() : nullptr, c.options.alphaRect ? &*c.options.alphaRect : nullptr);
}

class RGB16BlitRandom : public testing::TestWithParam<RefRGB16Kind> {};

TEST_P(RGB16BlitRandom, MatchesTheReferenceModel) {
  const RefRGB16Kind kind = GetParam();
  const TestSeed seed(99 + int(kind));
  SCOPED_TRACE(seed.note);
  std::mt19937 rng(seed.value);
  Tables tables(rng, 0xFFFF);
  std::set<int> slots;
  int drawn = 0;
  for (int i = 0; i < 4000; ++i) {
    RGB16Case c;
    MakeCase(rng, kind, false, &c);
    if (c.hasLookup) c.options.lookup = &tables.lookup;
    const TestPixMap original = *c.dst;
    TestPixMap expected = *c.dst;
    RefBlitInput refIn = c.in;
    refIn.dst = &expected;
    const int slot = RefRGB16Blit(refIn, kind, c.options);
    RunCase(kind, c, tables);
    drawn += expected.Storage() != original.Storage();
    if (expected.Storage() != original.Storage()) slots.insert(slot);
    ASSERT_EQ(c.dst->FirstDifference(expected), "")
        << "case " << i << " slot " << slot << " turn " << c.in.turn << " h " << c.in.hFlip << " v " << c.in.vFlip
        << " mode " << c.options.mode << " color " << c.options.color << " lookup " << c.hasLookup << " mask "
        << bool(c.mask) << " alpha " << bool(c.alpha);
  }
  EXPECT_GT(drawn, 800);
  if (kind != RefRGB16Kind::Test) {
    // Every working slot drew something.
    for (int slot = 0; slot < 128; ++slot)
      if (!IsStubSlot(KernelFamily::CopyRGB16, unsigned(slot))) {
        EXPECT_TRUE(slots.count(slot)) << slot;
      }
  }
}

std::string KindName(const testing::TestParamInfo<RefRGB16Kind>& info) {
  static const char* const names[] = {"Copy", "Scale", "Test"};
  return names[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Kinds, RGB16BlitRandom,
                         testing::Values(RefRGB16Kind::Copy, RefRGB16Kind::Scale, RefRGB16Kind::Test), KindName);

// On sources and lookup entries with bit 15 clear, the test kernel draws what
// the specialised members draw (modes 16-19 without a mask aside: there the
// test kernel draws and the specialised ones do not).
TEST(TestSpriteRGB16, AgreesWithTheSpecialisedKernelsWhereBit15IsClear) {
  const TestSeed seed(7);
  SCOPED_TRACE(seed.note);
  std::mt19937 rng(seed.value);
  Tables tables(rng, 0x7FFF);
  for (int i = 0; i < 3000; ++i) {
    RGB16Case c;
    MakeCase(rng, RefRGB16Kind::Copy, true, &c);
    if (!c.mask && (c.options.mode & 0x10)) continue;
    // Modes the test blit does not list draw nothing there; the copy folds some
    // of them (15 to 1, -1 to 17).
    const SInt32 m = c.options.mode;
    if (!((m >= 0 && m <= 3) || (m >= 16 && m <= 19))) continue;
    RGB16Case same = c;
    same.in.src = &*same.src;
    same.in.dst = &*same.dst;
    RunCase(RefRGB16Kind::Copy, c, tables);
    RunCase(RefRGB16Kind::Test, same, tables);
    ASSERT_EQ(c.dst->FirstDifference(*same.dst), "")
        << "case " << i << " turn " << c.in.turn << " mode " << c.options.mode << " color " << c.options.color
        << " lookup " << c.hasLookup << " mask " << bool(c.mask) << " alpha " << bool(c.alpha) << " tint "
        << (c.options.tint ? c.options.tint->red : -1) << "," << (c.options.tint ? c.options.tint->green : -1) << ","
        << (c.options.tint ? c.options.tint->blue : -1) << "," << (c.options.tint ? c.options.tint->alpha : -1);
  }
}

}  // namespace
