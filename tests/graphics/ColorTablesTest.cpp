#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/Paths.h"
#include "graphics/ColorTables.h"
#include "graphics/PNGFile.h"
#include "shell/ApplInfo.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

class LookupTables : public ::testing::Test {
 protected:
  void SetUp() override { saved = APPL.buildDepth; }
  void TearDown() override {
    DisposeLookupTable(&table);
    APPL.buildDepth = saved;
  }
  UInt16* Table16() { return reinterpret_cast<UInt16*>(table); }
  UInt8* Table8() { return reinterpret_cast<UInt8*>(table); }
  Ptr table = nullptr;
  UInt8 saved = 0;
};

TEST_F(LookupTables, NewTablesAreIdentityAtEitherDepth) {
  APPL.buildDepth = 8;
  NewLookupTable(&table);
  ASSERT_NE(table, nullptr);
  for (int i = 0; i < 256; i++) ASSERT_EQ(Table8()[i], i);
  APPL.buildDepth = 16;
  NewLookupTable(&table);
  for (int p = 0; p < kPixels16; p++) ASSERT_EQ(Table16()[p], p);
  // A pixel with its top bit set reads the entry of the pixel without it.
  for (int p = 0; p < kPixels16; p++) ASSERT_EQ(Table16()[p | 0x8000], p);
}

TEST_F(LookupTables, OtherDepthsMakeNoTable) {
  APPL.buildDepth = 32;
  NewLookupTable(&table);
  EXPECT_EQ(table, nullptr);
}

TEST_F(LookupTables, CopyAndDispose) {
  APPL.buildDepth = 8;
  NewLookupTable(&table);
  Ptr other = nullptr;
  NewLookupTable(&other);
  other[5] = 9;
  CopyLookupTable(other, table);
  EXPECT_EQ(Table8()[5], 9);
  DisposeLookupTable(&other);
  EXPECT_EQ(other, nullptr);
  DisposeLookupTable(&other);  // twice is harmless
}

TEST(IndexToRGB16, ReplicatesFiveBitComponents) {
  struct Case {
    int pixel;
    RGBColor rgb;
  };
  for (const Case& c : {Case{0x7FFF, {65535, 65535, 65535}}, Case{0x4210, {33825, 33825, 33825}},
                        Case{0x0000, {0, 0, 0}}, Case{0x7C00, {65535, 0, 0}}, Case{0x001F, {0, 0, 65535}}}) {
    RGBColor rgb;
    IndexToRGB_16(c.pixel, rgb);
    EXPECT_EQ(rgb.red, c.rgb.red) << std::hex << c.pixel;
    EXPECT_EQ(rgb.green, c.rgb.green) << std::hex << c.pixel;
    EXPECT_EQ(rgb.blue, c.rgb.blue) << std::hex << c.pixel;
  }
}

// The hue of the 1-5-5-5 pixel p.
UInt16 HueOf16(UInt16 p) {
  RGBColor c;
  IndexToRGB_16(p, c);
  HSVColor hsv;
  RGB2HSV(&c, &hsv);
  return hsv.hue;
}

TEST_F(LookupTables, FullScalesChangeOnlyTheHue) {
  APPL.buildDepth = 16;
  NewLookupTable(&table);
  const UInt16 green = 65536 / 3;
  MakeHueTable(table, green, 65536, 65536);
  EXPECT_EQ(Table16()[0], 0);
  EXPECT_EQ(Table16()[kPixels16 - 1], kPixels16 - 1);
  // Saturated red becomes saturated green at the same value; greys keep
  // their level whatever the hue.
  EXPECT_EQ(Table16()[0x7C00], 0x03E0);
  EXPECT_EQ(Table16()[0x4210], 0x4210);
  EXPECT_EQ(Table16()[0x7C00 | 0x8000], 0x03E0);
  // A half-saturated colour keeps its saturation and value.
  UInt16 pink = 0x7C00 | 15 << 5 | 15;
  UInt16 shifted = Table16()[pink];
  EXPECT_NEAR(HueOf16(shifted), green, 700);
  EXPECT_EQ(shifted >> 5 & 31, 31);
}

TEST_F(LookupTables, HueTableThreeMovesPartWay) {
  APPL.buildDepth = 16;
  NewLookupTable(&table);
  MakeHueTable3(table, 0, 0, 65536, 100);  // all the way: greys of the same value
  EXPECT_EQ(Table16()[0x03E0], 0x7FFF);
  MakeHueTable3(table, 0, 0, 65536, 0);  // none of the way
  EXPECT_EQ(Table16()[0x03E0], 0x03E0);
  MakeHueTable3(table, 0, 0, 65536, 50);  // red keeps its hue, half its saturation
  EXPECT_EQ(Table16()[0x7C00], (31 << 10) | (15 << 5) | 15);
}

TEST_F(LookupTables, EightBitShiftsUseTheStandardTable) {
  APPL.buildDepth = 8;
  NewLookupTable(&table);
  MakeSatTable(Table8(), 0);  // no saturation: every entry turns grey
  EXPECT_EQ(Table8()[0], 0);
  EXPECT_EQ(Table8()[255], 255);
  for (int i = 1; i < 255; i++) {
    RGBColor c;
    Index2Color(Table8()[i], &c);
    EXPECT_TRUE(c.red == c.green && c.green == c.blue) << i;
  }
  ResetLookupTable(&table);
  SetTableBrightness(Table8(), 0.0f);  // black
  for (int i = 1; i < 255; i++) ASSERT_EQ(Table8()[i], 255) << i;
  ResetLookupTable(&table);
  SetTableBrightness(Table8(), 0.25f);  // saturation / b is held at full, not wrapped
  RGBColor c;
  Index2Color(Table8()[1], &c);  // entry 1 is (white, white, light blue)
  EXPECT_GT(c.red, c.blue);
  ResetLookupTable(&table);
  BrightenTable(Table8(), 65535);  // full lightness: white
  for (int i = 1; i < 255; i++) ASSERT_EQ(Table8()[i], 0) << i;
}

TEST(ColorTables, CopyTakesTheSmallerSize) {
  RecordingDialogs dialogs;
  CTabHandle small = GetCTable(4), big = GetCTable(8);
  ASSERT_TRUE(small && big);
  CopyCTable(small, big);
  EXPECT_EQ((*big)->ctSize, 15);
  EXPECT_EQ((*big)->ctTable[15].rgb.red, 0);
  EXPECT_EQ((*big)->ctSeed, 4);
  CTabHandle standard = GetCTable(8);
  CopyCTable(standard, small);  // a larger source claims no more than fits
  EXPECT_EQ((*small)->ctSize, 15);
  EXPECT_THROW(CopyCTable(nullptr, big), FatalReport);
  EXPECT_THROW(CopyCTable(big, nullptr), FatalReport);
  EXPECT_EQ(dialogs.Reports()[0].message, "srceClut is nil.");
  EXPECT_EQ(dialogs.Reports()[1].message, "destClut is nil.");
  EXPECT_EQ(dialogs.Reports()[1].detail, "CopyCTable();");
  for (CTabHandle t : {small, big, standard}) DisposeCTable(t);
}

TEST(ColorTables, NewAndLoad) {
  CTabHandle t = nullptr, u = nullptr;
  NewCTable(&t);
  NewCTable(&u);
  ASSERT_TRUE(t && u);
  EXPECT_EQ((*t)->ctSize, 255);
  EXPECT_NE((*t)->ctSeed, (*u)->ctSeed);
  LoadCTable(&t, 36);
  EXPECT_EQ((*t)->ctSize, 15);
  LoadCTable(&t, 1234);
  EXPECT_EQ(t, nullptr);
  DisposeCTable(u);
}

class LookupFiles : public LookupTables {
 protected:
  void SetUp() override {
    LookupTables::SetUp();
    SetBundlePathForTesting(folder.Path().c_str());
    resources = GetResourcesPath();
    std::filesystem::create_directories(resources);
    APPL.buildDepth = 16;
  }
  void TearDown() override {
    SetBundlePathForTesting(nullptr);
    LookupTables::TearDown();
  }
  TempFolder folder;
  std::string resources;
};

TEST_F(LookupFiles, SixteenBitTableFromBigEndianFile) {
  std::FILE* f = std::fopen((resources + "/invert.tabl").c_str(), "wb");
  for (int i = 0; i < kPixels16; i++) {
    int v = 0x7FFF - i;
    std::fputc(v >> 8, f);
    std::fputc(v & 0xFF, f);
  }
  std::fclose(f);
  UInt16* t = nullptr;
  LoadLookupTable16(&t, reinterpret_cast<const unsigned char*>("\6invert"));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t[0], 0x7FFF);
  EXPECT_EQ(t[0x1234], 0x7FFF - 0x1234);
  EXPECT_EQ(t[0x8000], 0x7FFF);
  table = reinterpret_cast<Ptr>(t);
}

TEST_F(LookupFiles, MissingOrShortTableFileIsFatal) {
  RecordingDialogs dialogs;
  std::FILE* f = std::fopen((resources + "/short.tabl").c_str(), "wb");
  std::fputs("tiny", f);
  std::fclose(f);
  UInt16* t = nullptr;
  EXPECT_THROW(LoadLookupTable16(&t, reinterpret_cast<const unsigned char*>("\4none")), FatalReport);
  EXPECT_THROW(LoadLookupTable16(&t, reinterpret_cast<const unsigned char*>("\5short")), FatalReport);
  EXPECT_EQ(dialogs.Reports()[0].message, "LoadLookupTable16()");
  EXPECT_EQ(dialogs.Reports()[0].detail, "none");
  EXPECT_EQ(t, nullptr);
}

TEST_F(LookupFiles, SixteenBitTableFromImage) {
  std::vector<UInt8> rgba(256 * 128 * 4, 0);
  for (int i = 0; i < 256 * 128; i++) {
    rgba[4 * i] = UInt8(i % 256);      // red follows the column
    rgba[4 * i + 2] = UInt8(i / 256);  // blue the row
    rgba[4 * i + 3] = 255;
  }
  ASSERT_EQ(SavePNG((resources + "/ramp.png").c_str(), rgba.data(), 256, 128, 0, nullptr, 0), 1);
  UInt16* t = nullptr;
  ASSERT_EQ(LoadLookupTable_PNG(&t, "ramp"), 0);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[255], 31 << 10);
  EXPECT_EQ(t[256 * 127 + 8], (1 << 10) | 15);
  EXPECT_EQ(t[0x8000 | 255], 31 << 10);
  table = reinterpret_cast<Ptr>(t);
  UInt16* none = nullptr;
  EXPECT_EQ(LoadLookupTable_PNG(&none, "missing"), -1);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
