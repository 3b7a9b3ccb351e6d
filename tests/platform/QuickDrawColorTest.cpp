#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/QuickDrawColor.h"
#include "platform/QuickDrawPicture.h"

namespace {

TEST(ColourSpaces, KnownColoursAndRoundTrips) {
  struct Case {
    RGBColor rgb;
    HSVColor hsv;
    HSLColor hsl;
  };
  const Case cases[] = {
      {{65535, 0, 0}, {0, 65535, 65535}, {0, 65535, 32768}},
      {{0, 0, 65535}, {43691, 65535, 65535}, {43691, 65535, 32768}},
      {{32768, 32768, 32768}, {0, 0, 32768}, {0, 0, 32768}},
      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    HSVColor hsv;
    HSLColor hsl;
    RGB2HSV(&c.rgb, &hsv);
    RGB2HSL(&c.rgb, &hsl);
    EXPECT_EQ(hsv.hue, c.hsv.hue);
    EXPECT_EQ(hsv.saturation, c.hsv.saturation);
    EXPECT_EQ(hsv.value, c.hsv.value);
    EXPECT_EQ(hsl.saturation, c.hsl.saturation);
    EXPECT_EQ(hsl.lightness, c.hsl.lightness);
  }
  for (UInt32 seed = 1; seed < 200; seed++) {
    RGBColor rgb{UInt16(seed * 7919), UInt16(seed * 104729), UInt16(seed * 1299709)}, back;
    HSVColor hsv;
    HSLColor hsl;
    RGB2HSV(&rgb, &hsv);
    HSV2RGB(&hsv, &back);
    EXPECT_NEAR(back.red, rgb.red, 3);
    EXPECT_NEAR(back.blue, rgb.blue, 3);
    RGB2HSL(&rgb, &hsl);
    HSL2RGB(&hsl, &back);
    EXPECT_NEAR(back.green, rgb.green, 3);
  }
}

TEST(StandardTables, LayoutAndNearestColour) {
  CTabHandle t = GetCTable(8);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ((*t)->ctSize, 255);
  EXPECT_EQ((*t)->ctTable[0].rgb.red, 65535);
  EXPECT_EQ((*t)->ctTable[214].rgb.blue, 0x3333);   // last of the cube: (0, 0, 3333)
  EXPECT_EQ((*t)->ctTable[215].rgb.red, 0xEEEE);    // the red ramp follows
  EXPECT_EQ((*t)->ctTable[245].rgb.green, 0xEEEE);  // then the grey ramp
  EXPECT_EQ((*t)->ctTable[255].rgb.red, 0);
  RGBColor nearlyRed{65000, 100, 100};
  EXPECT_EQ(NearestIndex(t, nearlyRed), 35);  // (FFFF, 0, 0)
  DisposeCTable(t);
  CTabHandle grey = GetCTable(36);
  EXPECT_EQ((*grey)->ctSize, 15);
  EXPECT_EQ((*grey)->ctTable[15].rgb.red, 0);
  DisposeCTable(grey);
  EXPECT_EQ(GetCTable(3), nullptr);
  EXPECT_EQ(ResError(), resNotFound);
  SInt32 a = GetCTSeed();
  EXPECT_NE(GetCTSeed(), a);
}

TEST(Regions, PointsInsideRectangleAndMask) {
  RgnHandle r = NewRgn();
  Rect box{10, 20, 12, 23};
  RectRgn(r, &box);
  Point p;
  SetPt(&p, 20, 10);
  EXPECT_TRUE(PtInRgn(p, r));
  SetPt(&p, 23, 10);
  EXPECT_FALSE(PtInRgn(p, r));
  UInt8 mask[6] = {1, 0, 1, 0, 1, 0};
  r->mask = mask;
  SetPt(&p, 21, 10);
  EXPECT_FALSE(PtInRgn(p, r));
  SetPt(&p, 21, 11);
  EXPECT_TRUE(PtInRgn(p, r));
  r->mask = nullptr;
  EXPECT_FALSE(PtInRgn(p, nullptr));
  DisposeRgn(r);
}

TEST(CopyBits, ScalesAndConvertsBetweenDepths) {
  GWorldPtr a = nullptr, b = nullptr;
  Rect small{0, 0, 1, 2}, big{0, 0, 2, 4};
  ASSERT_EQ(NewGWorld(&a, 32, &small, nullptr, nullptr, 0), noErr);
  ASSERT_EQ(NewGWorld(&b, 16, &big, nullptr, nullptr, 0), noErr);
  auto* src = reinterpret_cast<UInt32*>(GetPixBaseAddr(GetGWorldPixMap(a)));
  src[0] = 0x00FF0000;
  src[1] = 0x000000FF;
  CopyBits(GetGWorldPixMap(a), GetGWorldPixMap(b), &small, &big, srcCopy, nullptr);
  auto row = [&](SInt32 y) {
    return reinterpret_cast<UInt16*>(GetPixBaseAddr(GetGWorldPixMap(b)) + y * GetPixRowBytes(GetGWorldPixMap(b)));
  };
  EXPECT_EQ(row(1)[1], 0x7C00);
  EXPECT_EQ(row(1)[2], 0x001F);
  CopyBits(GetGWorldPixMap(a), GetGWorldPixMap(b), &small, &big, srcXor, nullptr);  // unsupported: nothing
  EXPECT_EQ(row(0)[0], 0x7C00);
  DisposeGWorld(a);
  DisposeGWorld(b);
}

// A transparent copy leaves out exactly the source pixels of the current
// port's background colour, whatever the destination holds.
TEST(CopyBits, TransparentModeSkipsTheBackgroundColour) {
  GWorldPtr a = nullptr, b = nullptr;
  Rect r{0, 0, 1, 4};
  ASSERT_EQ(NewGWorld(&a, 16, &r, nullptr, nullptr, 0), noErr);
  ASSERT_EQ(NewGWorld(&b, 16, &r, nullptr, nullptr, 0), noErr);
  auto* src = reinterpret_cast<UInt16*>(GetPixBaseAddr(GetGWorldPixMap(a)));
  auto* dst = reinterpret_cast<UInt16*>(GetPixBaseAddr(GetGWorldPixMap(b)));
  const UInt16 source[4] = {0x0000, 0x7FFF, 0x03E0, 0x0001};
  struct Case {
    RGBColor background;
    UInt16 expected[4];
  };
  const Case cases[] = {
      {{0, 0, 0}, {0x1111, 0x7FFF, 0x03E0, 0x0001}},              // black is left out
      {{65535, 65535, 65535}, {0x0000, 0x1111, 0x03E0, 0x0001}},  // white is left out
      {{0, 65535, 0}, {0x0000, 0x7FFF, 0x1111, 0x0001}},          // green is left out
  };
  CGrafPtr savedPort;
  GDHandle savedDevice;
  GetGWorld(&savedPort, &savedDevice);
  for (const Case& c : cases) {
    std::copy(source, source + 4, src);
    std::fill(dst, dst + 4, UInt16(0x1111));
    SetGWorld(b, nullptr);
    RGBBackColor(&c.background);
    CopyBits(GetGWorldPixMap(a), GetGWorldPixMap(b), &r, &r, transparent, nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dst[i], c.expected[i]) << "pixel " << i;
  }
  SetGWorld(savedPort, savedDevice);
  DisposeGWorld(a);
  DisposeGWorld(b);
}

TEST(Palettes, TablesInAndOut) {
  CTabHandle t = GetCTable(8);
  PaletteHandle p = NewPalette(256, t, pmExplicit, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ((*p)->pmInfo[35].ciRGB.red, 65535);
  CTabHandle grey = GetCTable(34);
  Palette2CTab(p, grey);  // as many as the table holds
  EXPECT_EQ((*grey)->ctSize, 3);
  EXPECT_EQ((*grey)->ctTable[1].rgb.blue, 0xCCCC);
  EXPECT_EQ(NewPalette(0, t, 0, 0), nullptr);
  WindowRecord w{};
  SetPalette(&w, p, true);
  EXPECT_EQ(GetPalette(&w), p);
  DisposePalette(p);
  EXPECT_EQ(GetPalette(&w), nullptr);
  DisposeCTable(t);
  DisposeCTable(grey);
}

}  // namespace
