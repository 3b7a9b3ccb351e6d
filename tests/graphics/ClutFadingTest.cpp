#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/Paths.h"
#include "graphics/ClutFading.h"
#include "graphics/ColorTables.h"
#include "graphics/Display.h"
#include "graphics/PixMapRegistry.h"
#include "shell/ApplInfo.h"
#include "shell/Startup.h"
#include "support/FakeDisplayServices.h"
#include "support/FakeTime.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

bool fullScreen;
bool FullScreenTest() { return fullScreen; }
// The red of entry 0 of the screen table at each presentation.
std::vector<UInt16> presented;
void FlushTest(WindowRef) { presented.push_back((*currentCLUT)->ctTable[0].rgb.red); }

CTabHandle FlatTable(UInt16 level) {
  CTabHandle t = NewColorTable(256);
  for (int i = 0; i < 256; i++) (*t)->ctTable[i] = {SInt16(i), {level, level, level}};
  return t;
}

class ClutFading : public ::testing::Test {
 protected:
  void SetUp() override { UseScreen(8); }
  void UseScreen(SInt32 depth) {
    DisposeFading();
    fake.displays.clear();
    FakeDisplay& d = fake.AddDisplay(1, {0, 0, 640, 480}, {FakeDisplayServices::Mode(1, 640, 480, depth)});
    d.bitsPerPixel = depth;
    fake.Rebuild();
    mainDEVICE = GetMainDevice();
    APPL.gameWindow = 1;
    APPL.buildDepth = 8;
    QKEL[kQKELIsFullScreen] = reinterpret_cast<QKELProc>(FullScreenTest);
    QKEL[kQKELFlushToScreen] = reinterpret_cast<QKELProc>(FlushTest);
    fullScreen = false;
    InitFading();
    ASSERT_EQ(clutFadingINITED, 1);
    presented.clear();
    fake.sets.clear();
  }
  void TearDown() override {
    DisposeFading();
    for (CTabHandle& t : brightCLUT) DisposeCTable(t), t = nullptr;
    for (Ptr& t : brightTABLE) DisposeLookupTable(&t);
    for (CTabHandle& t : oldAnimCLUT) DisposeCTable(t), t = nullptr;
    DisposeCTable(mainCLUT);
    mainCLUT = nullptr;
    DisposePalette(mainPLTT);
    mainPLTT = nullptr;
    QKEL[kQKELIsFullScreen] = nullptr;
    QKEL[kQKELFlushToScreen] = nullptr;
    APPL.gameWindow = 0;
    APPL.buildDepth = 0;
    mainBRIGHT = kNormalBright;
    DisposeDisplays(mainDISPLAY);
    DisposeDisplayAPI();
    mainDEVICE = nullptr;
  }
  CTabHandle DeviceTable() { return (*(*mainDEVICE)->gdPMap)->pmTable; }
  UInt32 TicksOf(void (*fade)()) {
    UInt32 start = FakeTime::Ticks();
    fade();
    return FakeTime::Ticks() - start;
  }

  RecordingDialogs dialogs;
  FakeDisplayServices fake;
  FakeTime clock{1000};
};

TEST_F(ClutFading, StartUpCopiesTheScreensOwnTable) {
  EXPECT_EQ(GetOrigCTable(), DeviceTable());
  EXPECT_EQ((*origCLUT)->ctTable[17].rgb.blue, (*DeviceTable())->ctTable[17].rgb.blue);
  EXPECT_EQ((*currentCLUT)->ctTable[0].rgb.red, 65535);  // the standard table starts with white
  DisposeFading();
  EXPECT_EQ(clutFadingINITED, 0);
  EXPECT_EQ(currentCLUT, nullptr);
  CTabHandle t = FlatTable(0);
  FadeScreenTable(t, 3);  // not initialised: nothing
  EXPECT_TRUE(presented.empty());
  DisposeCTable(t);
}

TEST_F(ClutFading, WindowedFadeShowsEachStepAndEndsExactly) {
  CTabHandle from = FlatTable(0), to = FlatTable(65535);
  FadeScreenTable(from, 0);
  EXPECT_TRUE(presented.empty());  // 0 steps only records
  EXPECT_EQ((*currentCLUT)->ctTable[0].rgb.red, 0);
  static CTabHandle target;
  target = to;
  EXPECT_EQ(TicksOf([] { FadeScreenTable(target, 3); }), 2u);
  EXPECT_EQ(presented, (std::vector<UInt16>{21845, 43690, 65535}));
  EXPECT_EQ((*currentCLUT)->ctTable[200].rgb.green, 65535);
  // The screen's own table ends as it was.
  EXPECT_EQ((*DeviceTable())->ctTable[0].rgb.red, 65535);
  EXPECT_EQ((*DeviceTable())->ctTable[255].rgb.red, 0);
  EXPECT_TRUE(fake.sets.empty());
  DisposeCTable(from);
  DisposeCTable(to);
}

TEST_F(ClutFading, FullScreenFadeGoesThroughTheDisplaysTransferTables) {
  fullScreen = true;
  SetScreenColor(nullptr);  // black at once
  ASSERT_EQ(fake.sets.size(), 1u);
  for (float v : fake.sets[0].table[0]) ASSERT_EQ(v, 0.0f);
  CTabHandle grey = FlatTable(0);
  for (int i = 0; i < 256; i++) {
    const RGBColor& c = (*origCLUT)->ctTable[i].rgb;
    (*grey)->ctTable[i].rgb = {UInt16(c.red / 2), UInt16(c.green / 2), UInt16(c.blue / 2)};
  }
  fake.sets.clear();
  FadeScreenTable(grey, 4);
  EXPECT_TRUE(presented.empty());
  ASSERT_EQ(fake.sets.size(), 4u);
  // The last table halves every level of the screen's colours.
  EXPECT_NEAR(fake.sets.back().table[0][255], 0.5f, 0.001f);
  EXPECT_NEAR(fake.sets.back().table[1][0], 0.0f, 0.001f);
  EXPECT_NEAR(fake.sets.back().table[2][204], 0.4f, 0.002f);
  EXPECT_EQ((*currentCLUT)->ctTable[0].rgb.red, 32767);
  DisposeCTable(grey);
}

TEST_F(ClutFading, DirectScreenOnlyRecordsTheTarget) {
  UseScreen(32);
  EXPECT_EQ(GetOrigCTable(), origCLUT);
  static CTabHandle target;
  target = FlatTable(1234);
  EXPECT_EQ(TicksOf([] { FadeScreenTable(target, 24); }), 0u);
  EXPECT_EQ((*currentCLUT)->ctTable[9].rgb.blue, 1234);
  EXPECT_TRUE(presented.empty());
  DisposeCTable(target);
}

TEST_F(ClutFading, ColourFadeNeedsAFullScratchTable) {
  (*fadeCLUT)->ctSize = 15;
  EXPECT_THROW(SetScreenColor(nullptr), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "FadeScreenColor():  fadeCLUT.ctSize is invalid.");
  EXPECT_EQ(dialogs.Reports().back().detail, "15");
  (*fadeCLUT)->ctSize = 255;
  EXPECT_EQ(FadeScreenTable_Step(nullptr, nullptr, 7, 9), 7);
}

TEST_F(ClutFading, GameTableAndBrightnessLevels) {
  EXPECT_THROW(BuildBrightCluts(8), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message,
            "Program Error:  SetScreenClut() must be called once before BuildBrightCluts().");
  EXPECT_THROW(SetScreenClut(77), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Failed to load the CLUT.");
  EXPECT_EQ(dialogs.Reports().back().detail, "CLUT    #77");

  ChangeScreenClut(8, 1);
  ASSERT_NE(mainCLUT, nullptr);
  ASSERT_NE(mainPLTT, nullptr);
  EXPECT_EQ((*mainPLTT)->pmInfo[3].ciUsage, pmExplicit);
  EXPECT_EQ((*currentCLUT)->ctTable[1].rgb.blue, 0xCCCC);
  EXPECT_EQ(clutSEED, (*DeviceTable())->ctSeed);
  const RGBColor c = (*mainCLUT)->ctTable[1].rgb;  // (FFFF, FFFF, CCCC)
  struct Case {
    int level;
    UInt16 blue;
  };
  for (const Case& k : {Case{0, 0}, Case{12, UInt16(c.blue - 12 * c.blue / 24)}, Case{24, c.blue},
                        Case{36, UInt16(c.blue + 12 * (65536 - c.blue) / 24)}, Case{48, 65535}})
    EXPECT_EQ((*brightCLUT[k.level])->ctTable[1].rgb.blue, k.blue) << k.level;
  // Black maps every colour to the black entry, white to the white one, on
  // all 256 entries of both halves.
  for (int i = 0; i < 256; i++) {
    ASSERT_EQ(UInt8(brightTABLE[0][i]), 255) << i;
    ASSERT_EQ(UInt8(brightTABLE[48][i]), 0) << i;
    ASSERT_EQ(UInt8(brightTABLE[24][i]), i) << i;
  }
}

// The game's own table 128 comes from the generated bundle; tables of other
// ids are read from the bundle's CLUT folder, and a file that is not a
// colour table is no table at all.
TEST_F(ClutFading, ApplicationTablesLoadFromTheBundle) {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  ASSERT_NE(bundle, nullptr);
  SetBundlePathForTesting(bundle);
  ChangeScreenClut(128, 1);
  ASSERT_NE(mainCLUT, nullptr);
  EXPECT_EQ((*mainCLUT)->ctSize, 255);
  EXPECT_EQ((*mainCLUT)->ctSeed, 128);
  EXPECT_EQ((*mainCLUT)->ctTable[0].rgb.red, 65535);  // white first, black last
  EXPECT_EQ((*mainCLUT)->ctTable[255].rgb.green, 0);
  EXPECT_EQ((*mainCLUT)->ctTable[200].value, 200);
  EXPECT_EQ((*brightCLUT[48])->ctTable[100].rgb.blue, 65535);
  WindowRecord window{};
  SetWindowClut(128, &window);
  EXPECT_EQ(GetPalette(&window), mainPLTT);
  SetPalette(&window, nullptr, false);

  TempFolder folder;
  const std::string clut = folder.MakeFolder("B.app/Contents/Resources/CLUT");
  auto table = [](int last, size_t extra) {
    std::string bytes{0, 0, 0, 7, 0, 0, char(last >> 8), char(last)};
    for (int i = 0; i <= last; i++) bytes += std::string{0, char(i), char(0x12), char(0x34), 0, 0, char(0xFF), char(i)};
    return bytes + std::string(extra, '\0');
  };
  folder.Write("B.app/Contents/Resources/CLUT/200.clut", table(3, 0));
  folder.Write("B.app/Contents/Resources/CLUT/201.clut", table(3, 1));                          // a byte too many
  folder.Write("B.app/Contents/Resources/CLUT/202.clut", table(3, 0).substr(0, 20));            // cut short
  folder.Write("B.app/Contents/Resources/CLUT/203.clut", std::string{0, 0, 0, 0, 0, 0, 1, 0});  // 257 entries
  folder.Write("B.app/Contents/Resources/CLUT/204.clut", "");
  SetBundlePathForTesting((folder.Path() + "/B.app").c_str());
  CTabHandle four = GetColorTable(200);
  ASSERT_NE(four, nullptr);
  EXPECT_EQ((*four)->ctSize, 3);
  EXPECT_EQ((*four)->ctSeed, 7);
  EXPECT_EQ((*four)->ctTable[2].value, 2);
  EXPECT_EQ((*four)->ctTable[2].rgb.red, 0x1234);
  EXPECT_EQ((*four)->ctTable[2].rgb.blue, 0xFF02);
  DisposeCTable(four);
  for (SInt16 id : {201, 202, 203, 204, 205}) {
    EXPECT_EQ(GetColorTable(id), nullptr) << id;
    EXPECT_EQ(ResError(), resNotFound) << id;
  }
  EXPECT_THROW(SetScreenClut(202), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().detail, "CLUT    #202");
  SetBundlePathForTesting(nullptr);
}

TEST_F(ClutFading, BrightnessOperationsUseColourTablesOnIndexedScreens) {
  ChangeScreenClut(8, 1);
  SetFastBright(12);
  EXPECT_EQ(mainBRIGHT, 12);
  EXPECT_EQ((*currentCLUT)->ctTable[0].rgb.red, 32768);  // white halved (65535 - 12 x 65535 / 24)
  Darker();
  EXPECT_EQ(mainBRIGHT, 11);
  MinBright();
  EXPECT_EQ((*currentCLUT)->ctTable[0].rgb.red, 0);
  EXPECT_EQ(TicksOf(FadeIn), 23u);
  EXPECT_EQ((*currentCLUT)->ctTable[0].rgb.red, 65535);
  FadeOut();
  EXPECT_EQ(mainBRIGHT, 0);
  EXPECT_EQ((*currentCLUT)->ctTable[0].rgb.red, 0);
  NormBright_Displays();
  EXPECT_EQ((*currentCLUT)->ctTable[1].rgb.blue, 0xCCCC);
  EXPECT_TRUE(fake.sets.empty());  // a window: the display's gamma is not touched
}

TEST_F(ClutFading, CyclingRotatesFourEntries) {
  SetScreenClut(8);
  CycleEntries(1, 2, 3, 4, 10, 0);  // no animation tables: nothing
  for (CTabHandle& t : oldAnimCLUT) t = FlatTable(0);
  CycleEntries(1, 2, 3, 4, 10, 0);
  const int expected[4][4] = {{1, 2, 3, 4}, {4, 1, 2, 3}, {3, 4, 1, 2}, {2, 3, 4, 1}};
  for (int t = 0; t < 4; t++)
    for (int k = 0; k < 4; k++) {
      const RGBColor& want = (*mainCLUT)->ctTable[expected[t][k]].rgb;
      const ColorSpec& got = (*oldAnimCLUT[t])->ctTable[10 + k];
      EXPECT_EQ(got.rgb.blue, want.blue) << t << "," << k;
      EXPECT_EQ(got.rgb.green, want.green) << t << "," << k;
      EXPECT_EQ(got.value, 10 + k);  // values untouched
    }
}

TEST_F(ClutFading, WindowPalettes) {
  WindowRecord window{};
  SetWindowClut(8, &window);
  EXPECT_EQ(GetPalette(&window), mainPLTT);
  EXPECT_EQ((*mainPLTT)->pmInfo[0].ciUsage, pmExplicit | pmTolerant);
  EXPECT_THROW(SetWindowClut(99, &window), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Clut not found!");
  EXPECT_THROW(SetWindowClut(8, nullptr), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "The clut could not be set because the window was not initialized.");
  SetPalette(&window, nullptr, false);
}

TEST_F(ClutFading, OffscreenWorldsTakeTheGameTable) {
  SetScreenClut(36);
  GWorldPtr indexed = nullptr, deep = nullptr;
  Rect r{0, 0, 4, 4};
  ASSERT_EQ(NewGWorld(&indexed, 8, &r, nullptr, nullptr, 0), noErr);
  ASSERT_EQ(NewGWorld(&deep, 16, &r, nullptr, nullptr, 0), noErr);
  ResetGWorldClut(indexed);
  ResetGWorldClut(deep);
  ResetGWorldClut(nullptr);
  CTabHandle table = (*GetGWorldPixMap(indexed))->pmTable;
  EXPECT_EQ((*table)->ctTable[15].rgb.red, (*mainCLUT)->ctTable[15].rgb.red);
  EXPECT_EQ((*table)->ctTable[1].rgb.red, (*mainCLUT)->ctTable[1].rgb.red);
  EXPECT_TRUE((*table)->ctFlags & 0x8000);
  EXPECT_EQ((*table)->ctSeed, (*mainCLUT)->ctSeed);
  EXPECT_NE(GetPortPalette(indexed), nullptr);
  EXPECT_EQ(GetPortPalette(deep), nullptr);
  DisposeGWorld(indexed);
  DisposeGWorld(deep);
}

TEST_F(ClutFading, NoMainDeviceIsFatal) {
  mainDEVICE = nullptr;
  EXPECT_THROW(GetOrigCTable(), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "mainDEVICE is nil.");
  EXPECT_EQ(dialogs.Reports().back().detail, "GetOrigCTable()");
  mainDEVICE = GetMainDevice();
}

}  // namespace
