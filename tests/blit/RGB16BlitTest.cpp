// Fixed cases of the 16-bit effect blits: the tint's kernel arguments, the
// worked pixel values of blending, mapping and brightening, the stubs, and
// the refusals.
#include <gtest/gtest.h>

#include "BlitTestPixMap.h"
#include "blit/RGB16Sprite.h"
#include "support/RecordingDialogs.h"

namespace {

struct DeriveCase {
  int red, green, blue, alpha;
  RGB16Levels expected;
  unsigned slotBits;
};

constexpr UInt32 kAdd16 = 16 | 16 << 10 | 16 << 21;

TEST(DeriveRGB16Params, TintsBecomeLevelsAddsAndSlotBits) {
  const DeriveCase cases[] = {
      {32, 32, 32, 32, {32, 32, 32, 32, 0, 0, 0, 32, 0}, 0},
      {16, 16, 16, 32, {16, 16, 16, 32, 0, 0, 0, 16, 0}, kFlagBright},
      {48, 48, 48, 32, {16, 16, 16, 32, 0x200, 0x200, 0x200, 16, kAdd16}, kFlagBright},
      {64, 64, 64, 32, {0, 0, 0, 32, 0x3E0, 0x3E0, 0x3E0, 0, 0x03E07C1F}, kFlagBright},
      {0, 0, 0, 32, {0, 0, 0, 32, 0, 0, 0, 0, 0}, kFlagBright},
      {16, 48, 16, 32, {16, 16, 16, 32, 0, 0x200, 0, 32, 0}, kFlagMapping},
      {40, 24, 8, 32, {24, 24, 8, 32, 0x100, 0, 0, 32, 0}, kFlagMapping},
      {32, 32, 32, 16, {32, 32, 32, 16, 0, 0, 0, 32, 0}, kFlagTrans},
      {32, 32, 32, 200, {32, 32, 32, 0, 0, 0, 0, 32, 0}, kFlagTrans},                       // -56 held at 0
      {32, 32, 32, 40, {32, 32, 32, 32, 0, 0, 0, 32, 0}, 0},                                // held at 32
      {200, 200, 200, 32, {0, 0, 0, 32, 0x3E0, 0x3E0, 0x3E0, 0, 0x03E07C1F}, kFlagBright},  // held at 64
  };
  for (const DeriveCase& c : cases) {
    const QuickRGBA16 rgba(UInt16(c.red), UInt16(c.green), UInt16(c.blue), UInt16(c.alpha));
    const RGB16Levels l = DeriveRGB16Params(&rgba);
    const UInt32 got[9] = {l.redLevel, l.greenLevel, l.blueLevel,   l.opacity,  l.redAdd,
                           l.greenAdd, l.blueAdd,    l.brightLevel, l.brightAdd};
    const UInt32 want[9] = {c.expected.redLevel, c.expected.greenLevel,  c.expected.blueLevel,
                            c.expected.opacity,  c.expected.redAdd,      c.expected.greenAdd,
                            c.expected.blueAdd,  c.expected.brightLevel, c.expected.brightAdd};
    for (int i = 0; i < 9; ++i)
      EXPECT_EQ(got[i], want[i]) << c.red << "/" << c.green << "/" << c.blue << "/" << c.alpha << " arg " << i;
    EXPECT_EQ(RGB16TintSlotBits(l), c.slotBits) << c.red << "/" << c.green << "/" << c.blue << "/" << c.alpha;
  }
  const RGB16Levels none = DeriveRGB16Params(nullptr);
  EXPECT_EQ(RGB16TintSlotBits(none), 0u);
  EXPECT_EQ(none.opacity, 32u);
}

struct PixelCase {
  const char* what;
  UInt16 src, dst;
  int red, green, blue, alpha;  // the tint
  int alphaByte;                // -1: no alpha map
  SInt32 color;
  UInt16 expected;
};

// One pixel drawn through the dispatchers (same-size, scaled and test); the
// test blit agrees wherever the source's bit 15 is clear.
void ExpectPixel(const PixelCase& c) {
  using Dispatcher = void (*)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*, const Rect*, SInt32,
                              SInt32, void*, RGBAColor16*, UInt8, UInt8, char, const Rect*, PixMapHandle, const Rect*);
  const Dispatcher dispatchers[3] = {CopySpriteRGB16, ScaleSpriteRGB16, TestSpriteRGB16};
  for (int d = 0; d < 3; ++d) {
    if (d == 2 && (c.src & 0x8000)) continue;
    TestPixMap src(16, 1, 1), dst(16, 1, 1), alpha(8, 1, 1);
    src.Set(0, 0, c.src);
    dst.Set(0, 0, c.dst);
    alpha.Set(0, 0, UInt32(std::max(c.alphaByte, 0)));
    QuickRGBA16 rgba(UInt16(c.red), UInt16(c.green), UInt16(c.blue), UInt16(c.alpha));
    const Rect r = RectAt(0, 0, 1, 1);
    dispatchers[d](src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, c.color, nullptr, rgba, 0, 0, 0, nullptr,
                   c.alphaByte >= 0 ? alpha.Handle() : nullptr, nullptr);
    EXPECT_EQ(dst.Get(0, 0), c.expected) << c.what << " through dispatcher " << d << std::hex << " got "
                                         << dst.Get(0, 0);
  }
}

TEST(RGB16Blend, WorkedValues) {
  const PixelCase cases[] = {
      {"red over blue at half", 0x7C00, 0x001F, 32, 32, 32, 16, -1, -1, 0x3C0F},
      {"blue over red at half", 0x001F, 0x7C00, 32, 32, 32, 16, -1, -1, 0x3C0F},
      {"white over black floors", 0x7FFF, 0x0000, 32, 32, 32, 16, -1, -1, 0x3DEF},
      {"magenta over green keeps fields apart", 0x7C1F, 0x03E0, 32, 32, 32, 16, -1, -1, 0x3DEF},
      {"opacity 0 keeps the colour, drops bit 15", 0x7FFF, 0x9234, 32, 32, 32, 0, -1, -1, 0x1234},
      {"alpha 16 times opacity 16", 0x7FFF, 0x0000, 32, 32, 32, 16, 16, -1, 0x1CE7},
      {"alpha 1 times opacity 31 is 0", 0x7FFF, 0x1234, 32, 32, 32, 31, 1, -1, 0x1234},
      {"alpha 16 at full opacity", 0x7FFF, 0x0000, 32, 32, 32, 32, 16, -1, 0x3DEF},
      {"alpha past 32 used as it comes", 0x1234, 0x7FFF, 32, 32, 32, 32, 200, -1, 0x58FA},
      {"destination bit 15 lowers red by the weight", 0x0000, 0x8000, 32, 32, 32, 16, -1, -1, 0x4000},
  };
  for (const PixelCase& c : cases) ExpectPixel(c);
}

TEST(RGB16Mapping, WorkedValues) {
  const PixelCase cases[] = {
      {"red halved", 0x7FFF, 0, 16, 32, 32, 32, -1, -1, 0x3FFF},
      {"16/48/32 on black", 0x0000, 0, 16, 48, 32, 32, -1, -1, 0x0200},
      {"16/48/32 on white", 0x7FFF, 0, 16, 48, 32, 32, -1, -1, 0x3FFF},
      {"16/48/32 on grey", 0x4210, 0, 16, 48, 32, 32, -1, -1, 0x2310},
      {"blue at 64", 0x0000, 0, 32, 32, 64, 32, -1, -1, 0x001F},
      {"blue at 63", 0x0000, 0, 32, 32, 63, 32, -1, -1, 0x001F},
      {"blue at 33: 0", 0x0000, 0, 32, 32, 33, 32, -1, -1, 0x0001},
      {"blue at 33: 10", 0x000A, 0, 32, 32, 33, 32, -1, -1, 0x000A},
      {"blue at 33: 31", 0x001F, 0, 32, 32, 33, 32, -1, -1, 0x001F},
      {"blue at 48: 10", 0x000A, 0, 32, 32, 48, 32, -1, -1, 0x0015},
      {"the source's bit 15 takes no part", 0xFFFF, 0, 16, 32, 32, 32, -1, -1, 0x3FFF},
      {"green halved, blended at half", 0x7C00, 0x001F, 32, 16, 32, 16, -1, -1, 0x3C0F},
      {"tinted fill colour", 0x1234, 0, 16, 32, 32, 32, -1, 0x7C00, 0x3C00},
      {"tinted green fill", 0x1234, 0, 32, 16, 32, 32, -1, 0x03E0, 0x01E0},
      {"fill tinted 16/48/64", 0x1234, 0, 16, 48, 64, 32, -1, 0x7FFF, 0x3FFF},
  };
  for (const PixelCase& c : cases) ExpectPixel(c);
}

TEST(RGB16Brightness, WorkedValues) {
  const PixelCase cases[] = {
      {"level 16 on white", 0x7FFF, 0, 16, 16, 16, 32, -1, -1, 0x3DEF},
      {"level 16 on grey", 0x4210, 0, 16, 16, 16, 32, -1, -1, 0x2108},
      {"level 48 on black", 0x0000, 0, 48, 48, 48, 32, -1, -1, 0x4210},
      {"level 48 on white", 0x7FFF, 0, 48, 48, 48, 32, -1, -1, 0x7FFF},
      {"level 48 on grey", 0x4210, 0, 48, 48, 48, 32, -1, -1, 0x6318},
      {"level 48 on 0x0067", 0x0067, 0, 48, 48, 48, 32, -1, -1, 0x4233},
      {"level 33 on 0", 0x0000, 0, 33, 33, 33, 32, -1, -1, 0x0421},
      {"level 33 on 10", 0x000A, 0, 33, 33, 33, 32, -1, -1, 0x042A},
      {"level 33 on 31", 0x001F, 0, 33, 33, 33, 32, -1, -1, 0x043F},
      {"level 64", 0x1234, 0, 64, 64, 64, 32, -1, -1, 0x7FFF},
      {"level 63", 0x1234, 0, 63, 63, 63, 32, -1, -1, 0x7FFF},
      {"level 0", 0x1234, 0, 0, 0, 0, 32, -1, -1, 0x0000},
      {"bit 15 adds the level to red", 0x8067, 0, 16, 16, 16, 32, -1, -1, 0x4023},
      {"bit 15 at level 48", 0x8067, 0, 48, 48, 48, 32, -1, -1, 0x0233},
      {"level 16 blended at half", 0x7FFF, 0x0000, 16, 16, 16, 16, -1, -1, 0x1CE7},
      {"level 48 through weight 8", 0x0000, 0x7C00, 48, 48, 48, 16, 16, -1, 0x6C84},
  };
  for (const PixelCase& c : cases) ExpectPixel(c);
}

TEST(RGB16Kernels, StubsAlertWithTheirNamesAndDrawNothing) {
  RecordingDialogs dialogs;
  for (const auto* table : {&CopySpriteRGB16Jump, &ScaleSpriteRGB16Jump}) {
    const KernelFamily family = table == &CopySpriteRGB16Jump ? KernelFamily::CopyRGB16 : KernelFamily::ScaleRGB16;
    int stubs = 0;
    for (unsigned slot = 0; slot < 128; ++slot) {
      ASSERT_NE((*table)[slot], nullptr);
      if (!IsStubSlot(family, slot)) continue;
      ++stubs;
      UInt16 pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
      UInt8 alpha[4] = {16, 16, 16, 16};
      dialogs.Clear();
      (*table)[slot](0, pixels, pixels + 4, pixels, 1, 2, 2, 2, 0, 1, 1, pixels + 8, 2, 0, 0, 0, pixels, 3, alpha, 1, 2,
                     0, 16, 16, 16, 16, 0, 0, 0, 16, 0);
      ASSERT_EQ(dialogs.Reports().size(), 1u) << slot;
      EXPECT_EQ(dialogs.Reports()[0].message, KernelName(family, slot));
      EXPECT_EQ(dialogs.Reports()[0].detail, "");
      EXPECT_EQ(dialogs.Reports()[0].button, "OK");
      EXPECT_EQ(pixels[4], 5);
      EXPECT_EQ(pixels[7], 8);
    }
    EXPECT_EQ(stubs, 72);
  }
  for (unsigned slot = 0; slot < 128; ++slot)
    EXPECT_EQ(TestSpriteRGB16Jump[slot], &TEST16___bright___mapping___alpha___lookup___color___trans___mask);
}

TEST(RGB16Kernels, ModesAMemberDoesNotHandleDrawNothing) {
  UInt16 src[2] = {0x1234, 0x1234}, dst[2] = {9, 9};
  std::vector<UInt16> lookup(65536, 5);
  auto run = [&](unsigned slot, SInt32 mode, UInt16* table) {
    dst[0] = dst[1] = 9;
    CopySpriteRGB16Jump[slot](mode, src, dst, nullptr, 1, 2, 2, 2, 0, 0, 0, dst + 2, 2, 0, 0, 0, table, 7, nullptr, 0,
                              0, 0, 32, 32, 32, 32, 0, 0, 0, 32, 0);
    return dst[0];
  };
  EXPECT_EQ(run(0, 3, nullptr), 9);   // mode 3 without lookup or colour
  EXPECT_EQ(run(0, 16, nullptr), 9);  // a masked mode without a mask
  EXPECT_EQ(run(4, 3, nullptr), 9);   // a colour in mode 3 without a table
  EXPECT_EQ(run(4, 3, lookup.data()), 7);
  EXPECT_EQ(run(0, 5, nullptr), 9);
  EXPECT_EQ(run(0, 0, nullptr), 0x1234);
}

TEST(RGB16Kernels, AlphaMembersLeaveTheLastRowsAlphaAddress) {
  UInt16 src[4] = {1, 2, 3, 4}, dst[4] = {};
  UInt8 alpha[4] = {32, 32, 32, 32};
  alphStart = nullptr;
  CopySpriteRGB16Jump[16](0, src, dst, nullptr, 1, 2, 2, 2, 0, 0, 0, dst + 4, 2, 0, 0, 0, nullptr, -1, alpha, 1, 2, 0,
                          32, 32, 32, 32, 0, 0, 0, 32, 0);
  EXPECT_EQ(alphStart, alpha + 2);
  EXPECT_EQ(dst[3], 4);
}

TEST(RGB16Dispatch, Refusals) {
  TestPixMap src(16, 4, 4), dst(16, 4, 4), dst32(32, 4, 4), alpha(8, 4, 4), alpha16(16, 4, 4), small(8, 2, 2);
  src.Fill(0x1234);
  alpha.Fill(32);
  const Rect r = RectAt(0, 0, 4, 4), wrongSize = RectAt(0, 0, 3, 4);
  const auto before = dst.Storage();
  CopySpriteRGB16(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr,
                  alpha16.Handle(), nullptr);
  EXPECT_EQ(dst.Storage(), before) << "a 16-bit alpha map";
  CopySpriteRGB16(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr,
                  small.Handle(), nullptr);
  EXPECT_EQ(dst.Storage(), before) << "an alpha map smaller than the source";
  CopySpriteRGB16(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr,
                  alpha.Handle(), &wrongSize);
  EXPECT_EQ(dst.Storage(), before) << "an alpha rectangle of another size";
  const auto before32 = dst32.Storage();
  (*src.Handle())->pixelSize = 16;
  CopySpriteRGB(src.Handle(), dst32.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr,
                nullptr, nullptr);
  EXPECT_EQ(dst32.Storage(), before32) << "a 32-bit destination";
  CopySpriteRGB(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, -1, nullptr, nullptr, 0, 0, 0, nullptr,
                alpha.Handle(), &r);
  EXPECT_EQ(dst.Get(3, 3), 0x1234u);
}

TEST(RGB16Dispatch, TheTestBlitDrawsNothingForModesItDoesNotList) {
  // The copy folds 15 to 1 and -1 to 17 (no table); the test blit keeps to
  // its own list, 0-3 and 16-19.
  for (SInt32 mode : {4, 15, 20, -1, 5}) {
    TestPixMap src(16, 2, 2), dst(16, 2, 2), mask(16, 2, 2);
    src.Fill(0x1234);
    mask.Fill(0x7FFF);
    const auto before = dst.Storage();
    const Rect r = src.Bounds();
    TestSpriteRGB16(src.Handle(), dst.Handle(), mask.Handle(), &r, &r, nullptr, mode, -1, nullptr, nullptr, 0, 0, 0,
                    nullptr, nullptr, nullptr);
    EXPECT_EQ(dst.Storage(), before) << "mode " << mode;
  }
  TestPixMap src(16, 1, 1), dst(16, 1, 1);
  src.Fill(0x1234);
  const Rect r = src.Bounds();
  CopySpriteRGB16(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 15, -1, nullptr, nullptr, 0, 0, 0, nullptr,
                  nullptr, nullptr);
  EXPECT_EQ(dst.Get(0, 0), 0x1234u) << "the copy draws mode 15 as mode 1";
}

TEST(RGB16Dispatch, AFillColourIsTintedOnlyByLevelsOtherThan32) {
  struct Case {
    int red, green, blue, alpha;
    UInt16 expected;
  };
  const Case cases[] = {
      {32, 32, 32, 32, 0x9234},                          // drawn as it stands, bit 15 included
      {16, 32, 32, 32, UInt16(2 << 10 | 17 << 5 | 20)},  // tinted: bit 15 dropped
      {32, 32, 32, 16, 0x0719},  // blended over 0x7FFF: bit 15 takes part as red's 32, red wraps
  };
  using Dispatcher = void (*)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*, const Rect*, SInt32,
                              SInt32, void*, RGBAColor16*, UInt8, UInt8, char, const Rect*, PixMapHandle, const Rect*);
  for (const Case& c : cases)
    for (Dispatcher f : {CopySpriteRGB16, ScaleSpriteRGB16}) {
      TestPixMap src(16, 1, 1), dst(16, 1, 1);
      dst.Fill(0x7FFF);
      QuickRGBA16 rgba(UInt16(c.red), UInt16(c.green), UInt16(c.blue), UInt16(c.alpha));
      const Rect r = src.Bounds();
      f(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, 0x9234, nullptr, rgba, 0, 0, 0, nullptr, nullptr,
        nullptr);
      EXPECT_EQ(dst.Get(0, 0), c.expected)
          << c.red << "/" << c.green << "/" << c.blue << "/" << c.alpha << std::hex << " got " << dst.Get(0, 0);
    }
  // No tint at all is level 32.
  TestPixMap src(16, 1, 1), dst(16, 1, 1);
  const Rect r = src.Bounds();
  CopySpriteRGB16(src.Handle(), dst.Handle(), nullptr, &r, &r, nullptr, 0, 0x9234, nullptr, nullptr, 0, 0, 0, nullptr,
                  nullptr, nullptr);
  EXPECT_EQ(dst.Get(0, 0), 0x9234u);
}

}  // namespace
