// The menu's music through OpenAL's null output: it loops while the menu is
// up, and the Music button stops it at once and starts it again.
#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/Paths.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "game/GameObjects.h"
#include "graphics/OpenGLFrame.h"
#include "shell/Events.h"
#include "sound/AudioPrefs.h"
#include "sound/SoundChannels.h"
#include "support/FakeEventPlatform.h"
#include "support/TempFolder.h"

namespace {

TEST(MainScreenMusic, LoopsAndTheMusicButtonStopsAndStartsIt) {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  if (!bundle) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  ScopedHome home;
  FakeEventPlatform platform;
  SetBundlePathForTesting(bundle);
  InitAudio();
  if (!imageBUFF.pixels) imageBUFF.Init(1024, 1024);
  mainSCORES.SetFileName("Halvane Scores");
  mainSCORES.Init(15, 2);
  LoadScores();
  PREFS.Defaults();
  audioPREFS.musicOn = 1;
  theEVENT = EventRecord{};
  gEventREC = &theEVENT;
  animateDELAY = 1.0f;

  mainSCREEN.Open();
  EXPECT_TRUE(mainSCREEN.music.Playing());
  EXPECT_EQ(mainSCREEN.music.loop, 1);
  NormBright_GL();

  const Rect& r = mainSCREEN.buttons[MainScreen::kMusic].bounds;
  ASSERT_GT(r.right, r.left) << "the Music button's picture did not load";
  // The fake window's content starts 200 right and 100 down on the screen.
  const Point at{SInt16(100 + (r.top + r.bottom) / 2), SInt16(200 + (r.left + r.right) / 2)};
  auto click = [&] {
    platform.PostMouse(PlatformEvent::MouseDown, at);
    GetEvent(0xFFFF, nullptr);
    mainSCREEN.Process();
    platform.PostMouse(PlatformEvent::MouseUp, at);
    GetEvent(0xFFFF, nullptr);
    mainSCREEN.Process();
  };
  click();
  EXPECT_EQ(audioPREFS.musicOn, 0);
  EXPECT_FALSE(mainSCREEN.music.Playing()) << "switched off, the music stops at once";
  click();
  EXPECT_EQ(audioPREFS.musicOn, 1);
  EXPECT_TRUE(mainSCREEN.music.Playing()) << "switched on, it plays again";
  EXPECT_EQ(mainSCREEN.music.loop, 1);

  StopMusic(&mainSCREEN.music);
  mainSCREEN.Close();
  renderScoresProc = nullptr;
  mainSCORES.document.DeleteChildren();
  for (Meteor& m : _METEOR) m = Meteor{};
  SetBundlePathForTesting(nullptr);
}

}  // namespace
