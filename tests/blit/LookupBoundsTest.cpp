// Lookup tables are read only at the source values that reach them: a table
// that holds just those values, ending where an unreadable page begins, is
// never read past its end, whatever the masked-out, key-coloured or spared
// pixels hold. Each case is drawn twice, once with the guarded table and
// stray values under the pixels that are not drawn, once with an ordinary copy
// of the table and those values cleared; the pixels must agree.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "BlitTestPixMap.h"
#include "blit/CopySprite.h"
#include "blit/Lookup8.h"
#include "blit/RGB16Sprite.h"
#include "blit/ScaleSprite.h"
#include "blit/TestSprite.h"
#include "support/TestSeed.h"

namespace {

// `entries` entries of T whose last one ends at an unreadable page.
template <class T>
class GuardedTable {
 public:
  explicit GuardedTable(size_t entries) : entries_(entries) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE)), bytes = entries * sizeof(T);
    span_ = (bytes + page - 1) / page * page + page;
    base_ = static_cast<char*>(mmap(nullptr, span_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (base_ == MAP_FAILED) {
      base_ = nullptr;
      return;
    }
    if (mprotect(base_ + span_ - page, page, PROT_NONE) != 0) return;
    data_ = reinterpret_cast<T*>(base_ + span_ - page - bytes);
  }
  GuardedTable(const GuardedTable&) = delete;
  GuardedTable& operator=(const GuardedTable&) = delete;
  ~GuardedTable() {
    if (base_) munmap(base_, span_);
  }
  T* data() const { return data_; }
  size_t size() const { return entries_; }

 private:
  size_t entries_, span_ = 0;
  char* base_ = nullptr;
  T* data_ = nullptr;
};

enum class Call { Copy, Scale, Test, CopyRGB16, ScaleRGB16, TestRGB16 };

struct BoundsCase {
  const char* what;
  int depth;
  Call call;
  bool masked, trans, alpha;
  int tint;  // RGB16 calls: 0 none, 1 opacity 16, 2 mapping 16/48/32, 3 brightness 16
};

UInt32 KeyOf(int depth) { return depth == 8 ? kKey8 : depth == 16 ? kKey16 : kKey32; }

// The entries of the table for a depth: 64 8-bit values, the 32,768 values
// with bit 15 clear, or 4,096 32-bit values.
size_t EntriesFor(int depth) { return depth == 8 ? 64 : depth == 16 ? 32768 : 4096; }

// A value no table entry stands for.
UInt32 Stray(int depth, std::mt19937& rng) {
  if (depth == 8) return 64 + rng() % 192;
  if (depth == 16) return 0x8000 | (rng() & 0x7FFF);
  return 0xFF000000u | (rng() & 0xFFFFFF);
}

bool IsRGB16(Call c) { return c == Call::CopyRGB16 || c == Call::ScaleRGB16 || c == Call::TestRGB16; }

// Draws the case with a table and a source; returns the destination.
template <class T>
TestPixMap Draw(const BoundsCase& c, SInt32 mode, T* table, const TestPixMap& srcIn, const TestPixMap& dstIn,
                const TestPixMap& maskIn, const TestPixMap& alphaIn, std::vector<UInt8>* trans) {
  TestPixMap src = srcIn, dst = dstIn, mask = maskIn, alpha = alphaIn;
  const Rect s = src.Bounds(), d = dst.Bounds();
  PixMapHandle m = c.masked ? mask.Handle() : nullptr;
  void* t = c.trans ? trans->data() : nullptr;
  using Basic = void (*)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*, const Rect*, SInt32,
                         SInt32, void*, void*, UInt8, UInt8, char, const Rect*);
  if (!IsRGB16(c.call)) {
    Basic f = nullptr;
    switch (c.call) {
      case Call::Copy: f = c.depth == 8 ? CopySprite8 : c.depth == 16 ? CopySprite16 : CopySprite32; break;
      case Call::Scale: f = c.depth == 8 ? ScaleSprite8 : c.depth == 16 ? ScaleSprite16 : ScaleSprite32; break;
      default: f = TestSprite16; break;
    }
    f(src.Handle(), dst.Handle(), m, &s, &d, nullptr, mode, -1, table, t, 0, 0, 0, nullptr);
    return dst;
  }
  static const int tints[4][4] = {{32, 32, 32, 32}, {32, 32, 32, 16}, {16, 48, 32, 32}, {16, 16, 16, 32}};
  const int* k = tints[c.tint];
  QuickRGBA16 rgba{UInt16(k[0]), UInt16(k[1]), UInt16(k[2]), UInt16(k[3])};
  auto f = c.call == Call::CopyRGB16    ? CopySpriteRGB16
           : c.call == Call::ScaleRGB16 ? ScaleSpriteRGB16
                                        : TestSpriteRGB16;
  f(src.Handle(), dst.Handle(), m, &s, &d, nullptr, mode, -1, table, rgba, 0, 0, 0, nullptr,
    c.alpha ? alpha.Handle() : nullptr, nullptr);
  return dst;
}

template <class T>
void RunCase(const BoundsCase& c, std::mt19937& rng) {
  const size_t entries = EntriesFor(c.depth);
  GuardedTable<T> guarded(entries);
  ASSERT_NE(guarded.data(), nullptr) << "could not place a table against an unreadable page";
  const UInt32 K = KeyOf(c.depth);
  for (size_t i = 0; i < entries; ++i) guarded.data()[i] = T(rng() % 8 == 0 ? K : rng() % entries);
  std::vector<T> plain(guarded.data(), guarded.data() + entries);
  std::vector<UInt8> trans(65536);
  for (UInt8& e : trans) e = UInt8(rng());

  // Enlarged blits draw each source pixel as a 2 x 2 block, so a block's
  // mask and destination decide whether its source pixel is drawn.
  const bool scaled = c.call == Call::Scale || c.call == Call::ScaleRGB16;
  const int f = scaled ? 2 : 1, w = 12, h = 9;
  const SInt32 modes[] = {0, 1, 2, 3, 16, 17, 18, 19};
  for (SInt32 mode : modes) {
    const int key = mode & 3;
    // A table value that is not the key colour.
    auto other = [&] {
      for (;;)
        if (const UInt32 v = UInt32(rng() % entries); v != K) return v;
    };
    TestPixMap src(c.depth, w, h), clean(c.depth, w, h), dst(c.depth, w * f, h * f), mask(c.depth, w * f, h * f);
    TestPixMap alpha(8, w, h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const bool maskKey = rng() % 2 == 0, dstKey = rng() % 6 == 0;
        const UInt32 d = dstKey ? K : other();
        for (int j = 0; j < f; ++j)
          for (int i = 0; i < f; ++i) {
            mask.Set(x * f + i, y * f + j, maskKey ? K : other());
            dst.Set(x * f + i, y * f + j, d);
          }
        alpha.Set(x, y, rng() % 33);
        const bool maskLets = !c.masked || (mode >= 16 ? !maskKey : maskKey);
        const bool reaches = maskLets && !(key == 2 && dstKey);
        const UInt32 s = other();
        if ((key == 1 || key == 2) && rng() % 5 == 0) {
          src.Set(x, y, K);  // skipped before its value would be looked up
          clean.Set(x, y, K);
        } else {
          src.Set(x, y, reaches ? s : Stray(c.depth, rng));
          clean.Set(x, y, reaches ? s : 0);
        }
      }
    }
    const TestPixMap got = Draw<T>(c, mode, guarded.data(), src, dst, mask, alpha, &trans);
    const TestPixMap want = Draw<T>(c, mode, plain.data(), clean, dst, mask, alpha, &trans);
    EXPECT_EQ(got.FirstDifference(want), "") << c.what << ", mode " << mode;
  }
}

TEST(LookupBounds, TablesAreReadOnlyAtValuesThatReachThem) {
  const BoundsCase cases[] = {
      {"8-bit copy", 8, Call::Copy, false, false, false, 0},
      {"8-bit masked copy", 8, Call::Copy, true, false, false, 0},
      {"8-bit translucent copy", 8, Call::Copy, false, true, false, 0},
      {"8-bit masked translucent copy", 8, Call::Copy, true, true, false, 0},
      {"8-bit scaled", 8, Call::Scale, false, false, false, 0},
      {"8-bit masked scaled", 8, Call::Scale, true, false, false, 0},
      {"16-bit copy", 16, Call::Copy, false, false, false, 0},
      {"16-bit masked copy", 16, Call::Copy, true, false, false, 0},
      {"16-bit scaled", 16, Call::Scale, false, false, false, 0},
      {"16-bit masked scaled", 16, Call::Scale, true, false, false, 0},
      {"16-bit test blit", 16, Call::Test, false, false, false, 0},
      {"16-bit masked test blit", 16, Call::Test, true, false, false, 0},
      {"32-bit copy", 32, Call::Copy, false, false, false, 0},
      {"32-bit masked copy", 32, Call::Copy, true, false, false, 0},
      {"32-bit scaled", 32, Call::Scale, false, false, false, 0},
      {"32-bit masked scaled", 32, Call::Scale, true, false, false, 0},
      {"RGB16 copy", 16, Call::CopyRGB16, false, false, false, 0},
      {"RGB16 masked copy", 16, Call::CopyRGB16, true, false, false, 0},
      {"RGB16 masked copy at opacity 16", 16, Call::CopyRGB16, true, false, false, 1},
      {"RGB16 masked mapped copy", 16, Call::CopyRGB16, true, false, false, 2},
      {"RGB16 masked brightened copy", 16, Call::CopyRGB16, true, false, false, 3},
      {"RGB16 masked copy through an alpha map", 16, Call::CopyRGB16, true, false, true, 0},
      {"RGB16 masked mapped copy through an alpha map", 16, Call::CopyRGB16, true, false, true, 2},
      {"RGB16 masked brightened copy through an alpha map", 16, Call::CopyRGB16, true, false, true, 3},
      {"RGB16 scaled", 16, Call::ScaleRGB16, false, false, false, 0},
      {"RGB16 masked scaled", 16, Call::ScaleRGB16, true, false, false, 0},
      {"RGB16 masked scaled at opacity 16", 16, Call::ScaleRGB16, true, false, false, 1},
      {"RGB16 masked mapped scaled", 16, Call::ScaleRGB16, true, false, false, 2},
      {"RGB16 masked brightened scaled", 16, Call::ScaleRGB16, true, false, false, 3},
      {"RGB16 masked scaled through an alpha map", 16, Call::ScaleRGB16, true, false, true, 1},
      {"RGB16 masked mapped scaled through an alpha map", 16, Call::ScaleRGB16, true, false, true, 2},
      {"RGB16 masked brightened scaled through an alpha map", 16, Call::ScaleRGB16, true, false, true, 3},
      {"RGB16 test blit", 16, Call::TestRGB16, true, false, true, 2},
  };
  const TestSeed seed(39);
  SCOPED_TRACE(seed.note);
  std::mt19937 rng(seed.value);
  // The 8-bit lookup copy in each of its builds.
  for (Lookup8Build build : {Lookup8Build::Portable, Lookup8Build::Vbmi}) {
    if (build == Lookup8Build::Vbmi && !Lookup8VbmiAvailable()) continue;
    forcedLookup8Build = build;
    for (const BoundsCase& c : cases) {
      if (c.depth == 8)
        RunCase<UInt8>(c, rng);
      else if (c.depth == 16 && build == Lookup8Build::Portable)
        RunCase<UInt16>(c, rng);
      else if (build == Lookup8Build::Portable)
        RunCase<UInt32>(c, rng);
    }
  }
  forcedLookup8Build = Lookup8Build::Automatic;
}

// The colour members test the looked-up value in modes 3 and 19; the
// dispatchers never hand them a table (they fold it into the colour), so
// their kernels are called directly.
TEST(LookupBounds, ColourMembersReadTheTableOnlyForPixelsTheMaskLets) {
  GuardedTable<UInt16> table(32768);
  ASSERT_NE(table.data(), nullptr);
  for (size_t i = 0; i < table.size(); ++i) table.data()[i] = UInt16(i % 7 == 0 ? kKey16 : i);
  for (SInt32 mode : {3, 19}) {
    for (int family = 0; family < 2; ++family) {
      // Entry 7 is the key colour.
      UInt16 src[4] = {0x8001, 5, 0xFFFF, 7}, dst[4] = {1, 1, 1, 1};
      const UInt16 lets = mode == 3 ? kKey16 : 0, blocks = mode == 3 ? 0 : kKey16;
      UInt16 mask[4] = {blocks, lets, blocks, lets};
      if (family == 0)
        CopySprite16Jump[kFlagColor | kFlagMask](mode, src, dst, mask, 1, 4, 4, 4, 0, 0, 0, dst + 4, 4, 0, 0, 0,
                                                 table.data(), 0x1234, nullptr);
      else
        CopySpriteRGB16Jump[kFlagColor | kFlagMask](mode, src, dst, mask, 1, 4, 4, 4, 0, 0, 0, dst + 4, 4, 0, 0, 0,
                                                    table.data(), 0x1234, nullptr, 0, 0, 0, 32, 32, 32, 32, 0, 0, 0, 32,
                                                    0);
      EXPECT_EQ(std::vector<UInt16>(dst, dst + 4), (std::vector<UInt16>{1, 0x1234, 1, 1}))
          << "mode " << mode << " family " << family;
    }
  }
}

}  // namespace
