#include "ShellFixture.h"

namespace {

class ApplInfoTest : public ShellTest {};

std::string Text(const unsigned char* p) { return std::string((const char*)p + 1, p[0]); }

TEST_F(ApplInfoTest, RecordStartsWithItsDefaults) {
  EXPECT_EQ(APPL.gameWidth, 640);
  EXPECT_EQ(APPL.gameHeight, 480);
  EXPECT_EQ(APPL.gameWidth2, 640);
  EXPECT_EQ(APPL.gameHeight2, 480);
  EXPECT_EQ(APPL.bundle, 1);
  EXPECT_EQ(Text(APPL.engineVersion), "8.6");
  EXPECT_EQ(APPL.gameWindow, 0);
  EXPECT_EQ(APPL.buildDepth, 0);
}

TEST_F(ApplInfoTest, NamesAndCreatorCode) {
  struct Case {
    const char *name, *shortName, *wantShort, *wantScores;
  } cases[] = {
      {"Halvane", "", "Halvane", "Halvane Scores"},
      {"Halvane Deluxe", "Halv", "Halv", "Halv Scores"},
      {"A name of exactly thirty-one ch", nullptr, "A name of exactly thirty-one ch",
       "A name of exactly thirty-one ch"},
  };
  for (const Case& c : cases) {
    APPL.SetName(c.name, c.shortName);
    EXPECT_EQ(Text(APPL.name), c.name);
    EXPECT_EQ(Text(APPL.shortName), c.wantShort);
    EXPECT_EQ(Text(APPL.scoresName), c.wantScores);
  }
  APPL.SetCreatorCode(FOUR_CHAR('H', 'L', 'V', 'N'));
  EXPECT_EQ(APPL.creator, 0x484C564Eu);
  EXPECT_EQ(Text(APPL.creatorText), "HLVN");
}

TEST_F(ApplInfoTest, EmptyHooksAndSlotsYieldTheirDefaults) {
  SInt16 dh = 3, dv = 4;
  UInt8 b = 5, s = 6, t = 7;
  APPL.InitLocalMenus();
  APPL.UpdateLocalMenus();
  APPL.InitLocalAppleEvents();
  APPL.CustomEvents();
  APPL.AboutDialog();
  APPL.VideoFadeIn();
  APPL.VideoFadeOut();
  APPL.OpenGLFX();
  APPL.CustomGLDraw();
  APPL.Shutdown();
  APPL.SaveReplayPrefs();
  APPL.KeyboardDialog();
  APPL.AE_OpenFilesDone();
  APPL.AE_GetURL("http://example.invalid/");
  APPL.InitInputNeeds();
  APPL.ResetInputs();
  APPL.ProcessInputs();
  APPL.DoInterruptInput(&dh, &dv, &b, &s, &t);
  EXPECT_EQ(APPL.GWorldFX(), 0);
  EXPECT_EQ(APPL.LockLocalPixMaps(), 0);
  EXPECT_EQ(APPL.UnlockLocalPixMaps(), 0);
  EXPECT_EQ(APPL.RealignBuildPixMap(), 0);
  EXPECT_EQ(APPL.RestoreReplayPrefs(), 0);
  EXPECT_EQ(APPL.PrefsDialog(nullptr), 0);
  EXPECT_EQ(APPL.AnyISInput(), 0);
  EXPECT_EQ(APPL.ErrorTrap(), 0);
  EXPECT_EQ(dh + dv + b + s + t, 25);

  NormBright();
  FullScreenMode(1);
  EnableAllEvents();
  DisableAllEvents();
  DisposeSoundMixer();
  EXPECT_FALSE(IsFullScreen());
  EXPECT_FALSE(AllEventsEnabled());
  EXPECT_FALSE(AudioPrefsDialog(nullptr));
}

TEST_F(ApplInfoTest, HooksReceiveTheirArguments) {
  static std::string url;
  APPL.aeGetURL = [](const char* u) { url = u; };
  APPL.prefsDialog = [](WindowRef w) -> SInt8 { return w ? 1 : -1; };
  APPL.anyISInput = [] { return UInt8(9); };
  APPL.doInterruptInput = [](SInt16* dh, SInt16* dv, UInt8* b, UInt8*, UInt8*) {
    *dh = 1;
    *dv = 2;
    *b = 1;
  };
  APPL.AE_GetURL("halvane:x");
  EXPECT_EQ(url, "halvane:x");
  EXPECT_EQ(APPL.PrefsDialog(reinterpret_cast<WindowRef>(8)), 1);
  EXPECT_EQ(APPL.PrefsDialog(nullptr), -1);
  EXPECT_EQ(APPL.AnyISInput(), 9);
  SInt16 dh = 0, dv = 0;
  UInt8 b = 0, s = 0, t = 0;
  APPL.DoInterruptInput(&dh, &dv, &b, &s, &t);
  EXPECT_EQ(dh, 1);
  EXPECT_EQ(dv, 2);
  EXPECT_EQ(b, 1);
}

TEST_F(ApplInfoTest, FlushToScreenTakesTheMainWindowForNull) {
  static std::vector<std::string> calls;
  calls.clear();
  mainWindowProc = [] { return reinterpret_cast<WindowRef>(0x10); };
  flushWindowProc = [](WindowRef w) { calls.push_back("window " + std::to_string(reinterpret_cast<uintptr_t>(w))); };
  FlushToScreen(nullptr);
  QKEL[kQKELFlushToScreen] = reinterpret_cast<QKELProc>(static_cast<FlushToScreenProc>(
      [](WindowRef w) { calls.push_back("slot " + std::to_string(reinterpret_cast<uintptr_t>(w))); }));
  FlushToScreen(reinterpret_cast<WindowRef>(0x20));
  mainWindowProc = nullptr;
  flushWindowProc = nullptr;
  EXPECT_EQ(calls, (std::vector<std::string>{"window 16", "slot 32"}));
}

}  // namespace
