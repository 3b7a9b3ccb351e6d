#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "graphics/Display.h"
#include "graphics/GammaFading.h"
#include "shell/ApplInfo.h"
#include "shell/Startup.h"
#include "support/FakeDisplayServices.h"
#include "support/FakeTime.h"
#include "support/GammaChannels.h"
#include "support/RecordingDialogs.h"

namespace {

bool fullScreen;
bool FullScreenTest() { return fullScreen; }

class GammaFading : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.AddDisplay(1, {0, 0, 1024, 768}, {FakeDisplayServices::Mode(1, 1024, 768, 32)});
    mainDEVICE = GetMainDevice();
    APPL.gameWindow = 1;
    QKEL[kQKELIsFullScreen] = reinterpret_cast<QKELProc>(FullScreenTest);
    fullScreen = true;
  }
  void TearDown() override {
    fullScreen = false;
    DisposeFading();
    for (GammaHandle& t : brightGAMMA) {
      DisposeTable(t);
      t = nullptr;
    }
    QKEL[kQKELIsFullScreen] = nullptr;
    APPL.gameWindow = 0;
    mainBRIGHT = kNormalBright;
    curGammaCount = 0;
    DisposeDisplays(mainDISPLAY);
    DisposeDisplayAPI();
    mainDEVICE = nullptr;
  }
  static void DisposeTable(GammaHandle t) {
    if (t) QKDisposeHandle(reinterpret_cast<Handle>(t));
  }
  void StartFading() {
    InitFading();
    ASSERT_EQ(gammaFadingINITED, 1);
    fake.sets.clear();
  }
  // Each reading of the clock moves it a millisecond: starting on a fresh
  // tick keeps the few readings of a set from crossing into the next one.
  static UInt32 FreshTick() {
    UInt32 t = FakeTime::Ticks();
    while (FakeTime::Ticks() == t) {
    }
    return FakeTime::Ticks();
  }
  UInt32 TicksOf(void (*fade)()) {
    UInt32 start = FreshTick();
    fade();
    return FakeTime::Ticks() - start;
  }

  RecordingDialogs dialogs;
  FakeDisplayServices fake;
  FakeTime clock{1000};
};

}  // namespace

TEST_F(GammaFading, StartUpReadsTheDisplaysTableResampledTo256) {
  struct Case {
    UInt32 count;
  } cases[] = {{256}, {3}, {17}, {1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    for (auto& ch : fake.transfer)
      for (UInt32 i = 0; i < c.count; i++) ch[i] = c.count == 1 ? 0.5f : float(i) / float(c.count - 1);
    fake.transferCount = c.count;
    StartFading();
    Channels orig = Contents(GetOrigGTable());
    for (const auto& ch : orig) {
      EXPECT_FLOAT_EQ(ch[0], c.count == 1 ? 0.5f : 0.0f);  // first and last entries kept
      EXPECT_FLOAT_EQ(ch[255], c.count == 1 ? 0.5f : 1.0f);
      for (int i = 1; i < 256; i++) ASSERT_GE(ch[i], ch[i - 1]);
    }
    EXPECT_EQ(Contents(currentGAMMA), orig);
    EXPECT_EQ(Contents(tempGAMMA), orig);
    DisposeFading();
  }
}

TEST_F(GammaFading, StartUpFailuresLeaveFadingOff) {
  struct Case {
    const char* what;
    void (*arrange)(FakeDisplayServices&);
    const char* alert;
  } cases[] = {
      {"no display", [](FakeDisplayServices& f) { f.displays[0].hasModeList = false; },
       "Unable to initialize the monitor.  Gamma fading will not be available."},
      {"no driver", [](FakeDisplayServices&) { SetDeviceAttribute(GetMainDevice(), noDriver, 1); },
       "Unable to set the gamma of the monitor.  Gamma fading will not be available."},
      {"no table", [](FakeDisplayServices& f) { f.getTransferResult = 1001; },
       "Could not get the monitor's gamma table."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.Clear();
    c.arrange(fake);
    InitFading();
    ASSERT_EQ(dialogs.Reports().size(), 1u);
    EXPECT_EQ(dialogs.Reports()[0].message, c.alert);
    EXPECT_EQ(dialogs.Reports()[0].button, "OK");
    EXPECT_FALSE(dialogs.Reports()[0].fatal);
    EXPECT_EQ(gammaFadingINITED, 0);
    EXPECT_EQ(origGAMMA, nullptr);
    GammaHandle table = nullptr;
    NewGTable(&table);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(GetDeviceGammaTable(nullptr, nullptr), -1);
    EXPECT_EQ(SetDeviceGammaTable(nullptr, nullptr), -1);
    FadeGammaColor(nullptr, 24);
    EXPECT_TRUE(fake.sets.empty());
    // Undo the arrangement.
    fake.displays[0].hasModeList = true;
    fake.getTransferResult = 0;
    fake.Rebuild();
    mainDEVICE = GetMainDevice();
    DisposeDisplays(mainDISPLAY);
  }
}

TEST_F(GammaFading, FullScreenFadesStepOncePerTickAndEndOnTheTarget) {
  StartFading();
  Channels start = Ramp();
  RGBColor black{0, 0, 0};

  UInt32 before = FakeTime::Ticks();
  FadeGammaColor(&black, 24);
  EXPECT_EQ(FakeTime::Ticks() - before, 23u);  // 23 steps a tick apart, then the target
  ASSERT_EQ(fake.sets.size(), 24u);
  EXPECT_EQ(fake.sets.back().table, Flat(0));
  EXPECT_EQ(fake.sets.back().display, 1u);
  for (size_t k : {size_t(0), size_t(11)})
    for (int i : {0, 128, 255}) EXPECT_NEAR(fake.sets[k].table[1][i], start[1][i] * (1 - float(k + 1) / 24), 1e-5);
  EXPECT_EQ(Contents(currentGAMMA), Flat(0));

  // One step sets at once; no steps sets nothing but records the target.
  // A null target is the start-up table.
  for (GammaHandle target : {GetOrigGTable(), GammaHandle(nullptr)}) {
    SetGammaColor(&black);
    fake.sets.clear();
    before = FakeTime::Ticks();
    SetGammaTable(target);
    EXPECT_EQ(FakeTime::Ticks(), before);
    ASSERT_EQ(fake.sets.size(), 1u);
    EXPECT_EQ(fake.sets[0].table, start);
    EXPECT_EQ(Contents(currentGAMMA), start);
  }
  RGBColor grey{32768, 32768, 32768};
  FadeGammaColor(&grey, 0);
  EXPECT_EQ(fake.sets.size(), 1u);
  EXPECT_EQ(Contents(currentGAMMA), Flat(32768.0f / 65535.0f));

  // The start-up table goes back on the display when fading stops.
  fake.sets.clear();
  StopAnimation();
  ASSERT_EQ(fake.sets.size(), 1u);
  EXPECT_EQ(fake.sets[0].table, start);
}

TEST_F(GammaFading, SetGammaColorGivesFlatTables) {
  StartFading();
  struct Case {
    UInt16 level;
    float value;
  } cases[] = {{0, 0.0f}, {65535, 1.0f}, {32768, 32768.0f / 65535.0f}};
  for (const Case& c : cases) {
    RGBColor colour{c.level, c.level, c.level};
    SetGammaColor(&colour);
    EXPECT_EQ(fake.sets.back().table, Flat(c.value)) << c.level;
  }
}

TEST_F(GammaFading, InAWindowTablesAreOnlyRecorded) {
  StartFading();
  BuildBrightGammas(nullptr);
  fullScreen = false;
  UInt32 before = FakeTime::Ticks();
  FadeOut();
  EXPECT_EQ(FakeTime::Ticks(), before);  // nobody sees it: no waiting
  EXPECT_EQ(Contents(currentGAMMA), Flat(0));
  for (int c = 0; c < 3; c++)
    for (int i = 0; i < 256; i++) ASSERT_EQ(curGamma[c][i], 0.0f);
  EXPECT_EQ(curGammaCount, 256u);
  WhiteOut();
  EXPECT_EQ(Contents(currentGAMMA), Flat(1));
  FadeGammaTable_Step(brightGAMMA[0], brightGAMMA[48], 1, 4);
  EXPECT_EQ(Contents(currentGAMMA), Flat(0.25f));
  EXPECT_EQ(SetDeviceGammaTable(GetOrigGTable(), nullptr), 0);
  EXPECT_TRUE(fake.sets.empty());
}

TEST_F(GammaFading, WithNoWindowToShowThemFadesEndAtOnceAndAreNotReportedDone) {
  StartFading();
  BuildBrightGammas(nullptr);
  fake.setTransferResult = kTransferNotShown;
  RGBColor black{0, 0, 0};
  UInt32 before = FreshTick();
  FadeGammaColor(&black, 25);
  EXPECT_EQ(FakeTime::Ticks(), before);
  EXPECT_EQ(fake.sets.size(), 2u);  // the first step, which nobody showed, then the target
  EXPECT_EQ(Contents(currentGAMMA), Flat(0));
  EXPECT_EQ(SetDeviceGammaTable(GetOrigGTable(), nullptr), kTransferNotShown);
  EXPECT_LE(TicksOf(WhiteOut), 2u);  // the clock's own readings; its waits would take 25
  EXPECT_EQ(mainBRIGHT, kMaxBright);
}

TEST_F(GammaFading, BrightLevelsBlendTheNormalTableToBlackAndWhite) {
  StartFading();
  GammaHandle normal = nullptr;
  NewGTable(&normal);
  ASSERT_NE(normal, nullptr);
  RGBColor tint{55000, 0, 65535};
  BuildGTable(normal, &tint, 0.8f, 0.5f);
  EXPECT_FLOAT_EQ((*normal)->green[255], 0.2f);  // offset 0.8 * (1 - 0.5) / 2
  EXPECT_FLOAT_EQ((*normal)->blue[255], 0.2f + 0.4f);
  EXPECT_NEAR((*normal)->red[51], 51 * (55000 / 65535.0f * 0.4f) / 255 + 0.2f, 1e-6);
  BuildGTable(normal, nullptr, 2.0f, -1.0f);  // clamped to 1 and 0: a flat half
  EXPECT_EQ(Contents(normal), Flat(0.5f));

  BuildGTable(normal, &tint, 1.0f, 1.0f);
  BuildBrightGammas(normal);
  Channels n = Contents(normal);
  EXPECT_EQ(Contents(brightGAMMA[0]), Flat(0));
  EXPECT_EQ(Contents(brightGAMMA[48]), Flat(1));
  EXPECT_EQ(Contents(brightGAMMA[24]), n);
  Channels level12 = Contents(brightGAMMA[12]), level36 = Contents(brightGAMMA[36]);
  for (int c = 0; c < 3; c++)
    for (int i = 0; i < 256; i++) {
      EXPECT_FLOAT_EQ(level12[c][i], n[c][i] / 2);
      EXPECT_FLOAT_EQ(level36[c][i], (1 + n[c][i]) / 2);
    }
  DisposeTable(normal);
}

TEST_F(GammaFading, BrightnessLevelsStayInsideTheTables) {
  StartFading();
  BuildBrightGammas(nullptr);
  auto level = [](int n) { return Contents(brightGAMMA[n]); };
  struct Case {
    const char* what;
    void (*run)();
    int expectedLevel;
    size_t sets;
    UInt32 ticks;
  } cases[] = {
      {"SetBright 30", [] { SetBright(30); }, 30, 1, 2},
      {"SetFastBright 60 is held at white", [] { SetFastBright(60); }, 48, 1, 0},
      {"SetBright -3 is held at black", [] { SetBright(-3); }, 0, 1, 2},
      {"Brighter at 48",
       [] {
         mainBRIGHT = 48;
         Brighter();
       },
       48, 0, 0},
      {"Darker at 0",
       [] {
         mainBRIGHT = 0;
         Darker();
       },
       0, 0, 0},
      {"Brighter at 47",
       [] {
         mainBRIGHT = 47;
         Brighter();
       },
       48, 1, 0},
      {"Darker from a stray level",
       [] {
         mainBRIGHT = 100;
         Darker();
       },
       47, 1, 0},
      {"MinBright", MinBright, 0, 1, 2},
      {"MaxBright", MaxBright, 48, 1, 2},
      {"NormBright", NormBright_Displays, 24, 1, 2},
      {"FadeOut", FadeOut, 0, 24, 23},
      {"FadeIn", FadeIn, 24, 24, 23},
      {"WhiteIn", WhiteIn, 24, 25, 25},
      {"WhiteOut", WhiteOut, 48, 25, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake.sets.clear();
    EXPECT_EQ(TicksOf(c.run), c.ticks);
    EXPECT_EQ(mainBRIGHT, c.expectedLevel);
    ASSERT_EQ(fake.sets.size(), c.sets);
    if (c.sets) {
      EXPECT_EQ(fake.sets.back().table, level(c.expectedLevel));
    }
  }
}

TEST(InterpolateFloats, ResamplesWithinTheSource) {
  // Sentinels past the end of the source show any read beyond it.
  for (SInt32 from = 1; from <= 40; from++) {
    for (SInt32 to = 1; to <= 300; to += 7) {
      std::vector<float> source(size_t(from) + 1, std::numeric_limits<float>::quiet_NaN());
      for (SInt32 i = 0; i < from; i++) source[size_t(i)] = float(i);
      std::vector<float> out(static_cast<size_t>(to));
      InterpolateFloats(source.data(), out.data(), from, to);
      for (float v : out) ASSERT_FALSE(std::isnan(v)) << from << " -> " << to;
      ASSERT_EQ(out[0], 0.0f);
      if (to > 1) {
        ASSERT_NEAR(out.back(), float(from - 1), 1e-4) << from << " -> " << to;
      }
    }
  }
  float source[3] = {0.25f, 0.5f, 1.0f}, out[4] = {9, 9, 9, 9};
  InterpolateFloats(source, out, 0, 4);
  EXPECT_EQ(std::vector<float>(out, out + 4), std::vector<float>(4, 0.0f));
  InterpolateFloats(source, out, 3, 3);
  EXPECT_EQ(std::vector<float>(out, out + 3), std::vector<float>(source, source + 3));
  InterpolateFloats(source, out, 3, 1);
  EXPECT_EQ(out[0], 0.25f);
}
