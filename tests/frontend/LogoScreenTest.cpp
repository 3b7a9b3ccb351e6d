// The logo and title screens, stepped as the main loop steps them: their
// fades, countdowns, the keys and clicks that cut them short, the movie's
// box and volume, the title's stars, background and music.
#include <gtest/gtest.h>

#include <string>

#include "ControlTestSupport.h"
#include "foundation/Paths.h"
#include "frontend/Resources.h"
#include "frontend/controls/ControlGL.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "frontend/screens/QKLogoScreen.h"
#include "frontend/screens/TitleScreen.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "graphics/PixMapRegistry.h"
#include "shell/Events.h"
#include "sound/AudioPrefs.h"
#include "support/FakeEventPlatform.h"
#include "support/FakeMovie.h"
#include "support/TempFolder.h"

namespace {

const UInt8 kKeyX = 7;

UInt32 BuildPixel(int x, int y) {
  const PixMap& pm = **build32PMAP;
  return reinterpret_cast<const UInt32*>(pm.baseAddr + y * GetPixRowBytes(build32PMAP))[x];
}

// The title hands over to the real main screen: the fixture gives it what
// it needs without a display and puts back what it changes.
class FrontScreensTest : public ::testing::Test {
 protected:
  FrontScreensTest() {
    if (!imageBUFF.pixels) imageBUFF.Init(1024, 1024);
    savedBuffer = mainGUI.imageBuff;
    mainGUI.imageBuff = &imageBUFF;
    savedGameResources = gameResourcesLoaded;
    gameResourcesLoaded = 1;
    savedView = viewRECT;
    savedAudio = audioPREFS;
    // An empty bundle: the pictures and the music are missing, which the
    // screens survive; what they do with them is not the point here.
    SetBundlePathForTesting(bundle.MakeFolder("Halvane.app").c_str());
    theEVENT = EventRecord{};
    gEventREC = &theEVENT;
    mainRECT = Rect{0, 0, 480, 640};
    if (!build32PMAP) {
      Rect bounds{0, 0, 480, 640};
      CreatePixMap(32, &build32PMAP, &bounds, 1, 0, 1);
    }
    audioPREFS.soundOn = 1;
    audioPREFS.soundVolume = 192;
    animateDELAY = 0.0f;
    qklogoSCREEN.Reset();
    titleSCREEN.countdown = 200;
    titleSCREEN.leaving = titleSCREEN.fast = 0;
  }
  ~FrontScreensTest() override {
    for (ScreenGL* s : std::initializer_list<ScreenGL*>{&qklogoSCREEN, &titleSCREEN, &mainSCREEN})
      if (s->IsOpen()) s->Close();
    theMovie.reset();
    StopMusic(&titleSCREEN.music);
    SetBundlePathForTesting(nullptr);
    mainSCREEN.Reset();
    renderScoresProc = nullptr;
    mainGUI.imageBuff = savedBuffer;
    gameResourcesLoaded = savedGameResources;
    viewRECT = savedView;
    audioPREFS = savedAudio;
    for (Meteor& m : _METEOR) m = Meteor{};
    animateDELAY = 0.0f;
    NormBright_GL();
  }

  // One step of the main loop: the next event, every open screen, and the
  // animation counter that makes every third step an animation tick.
  void Step() {
    GetEvent(0xFFFF, nullptr);
    ProcessScreens();
    animateDELAY += 1.0f;
    if (animateDELAY >= 3.0f) animateDELAY = 0.0f;
  }

  ControlTestRecorders rec;  // no sound device, no drawing
  TempFolder bundle;
  FakeEventPlatform platform;
  FakeMovies movies;
  ImageBuffer* savedBuffer;
  UInt8 savedGameResources;
  Rect savedView;
  AudioPrefs savedAudio;
};

using LogoScreenTest = FrontScreensTest;

TEST_F(LogoScreenTest, OpensDarkAndPlaysTheMovieInItsBoxAtTheSoundVolume) {
  PixMap& pm = **build32PMAP;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      reinterpret_cast<UInt32*>(pm.baseAddr + y * GetPixRowBytes(build32PMAP))[x] = 0xFFFFFFFFu;
  qklogoSCREEN.Open();
  EXPECT_EQ(Brightness_GL(), 0);
  EXPECT_EQ(qklogoSCREEN.countdown, 140);
  EXPECT_EQ(qklogoSCREEN.state, 1);
  ASSERT_EQ(movies.paths.size(), 1u);
  EXPECT_EQ(movies.paths[0], GetResourcesPath() + "/ZadOR/QKLogo640.mov");
  EXPECT_EQ(movies.box.top, 60);
  EXPECT_EQ(movies.box.left, 0);
  EXPECT_EQ(movies.box.bottom, 420);
  EXPECT_EQ(movies.box.right, 640);
  EXPECT_EQ(movies.volumes, std::vector<SInt16>{192});
  EXPECT_EQ(movies.starts, 1);
  EXPECT_TRUE(movies.startedWithSound);
  // The buffer is cleared to dark, and the movie's frames land in the box.
  EXPECT_EQ(BuildPixel(320, 30), 0xFF000000u);
  Step();
  EXPECT_EQ(movies.tasks, 1);
  EXPECT_EQ(BuildPixel(0, 60), movies.colour);
  EXPECT_EQ(BuildPixel(639, 419), movies.colour);
  EXPECT_EQ(BuildPixel(320, 59), 0xFF000000u);
  EXPECT_EQ(BuildPixel(320, 420), 0xFF000000u);
}

// 140 animation ticks after opening it leaves by itself: the picture and
// the movie's sound fade out together by 2 a step, and once dark the movie
// is gone and the title is open.
TEST_F(LogoScreenTest, FadesInAndLeavesBySelfAfter140Ticks) {
  qklogoSCREEN.Open();
  int steps = 0, ticks = 0;
  while (qklogoSCREEN.state == 1 && steps < 1000) {
    if (animateDELAY == 0.0f) ++ticks;
    Step();
    ++steps;
    if (qklogoSCREEN.state == 1) {
      EXPECT_EQ(Brightness_GL(), std::min(2 * steps, 255)) << "step " << steps;
    }
  }
  EXPECT_EQ(ticks, 140);
  EXPECT_EQ(steps, 3 * 139 + 1);
  EXPECT_EQ(qklogoSCREEN.fast, 0);
  movies.volumes.clear();
  int bright = Brightness_GL();
  ASSERT_EQ(bright, 255 - 2);  // the step that ended the countdown already faded
  while (Brightness_GL() > 0) {
    Step();
    bright = std::max(bright - 2, 0);
    ASSERT_EQ(Brightness_GL(), bright);
    ASSERT_FALSE(movies.volumes.empty());
    EXPECT_EQ(movies.volumes.back(), 192 * bright / 255);
  }
  EXPECT_TRUE(qklogoSCREEN.IsOpen());
  EXPECT_EQ(movies.alive, 1);
  Step();
  EXPECT_FALSE(qklogoSCREEN.IsOpen());
  EXPECT_TRUE(titleSCREEN.IsOpen());
  EXPECT_EQ(movies.stops, 1);
  EXPECT_EQ(movies.alive, 0);
  EXPECT_EQ(theMovie, nullptr);
}

TEST_F(LogoScreenTest, ANewKeyOrAClickCutsItShortWithTheFastFade) {
  struct Case {
    const char* name;
    void (*press)(FakeEventPlatform&);
  };
  const Case cases[] = {
      {"key", [](FakeEventPlatform& p) { p.PostKey(PlatformEvent::KeyDown, kKeyX, 'x'); }},
      {"click", [](FakeEventPlatform& p) { p.button = true; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qklogoSCREEN.Reset();
    qklogoSCREEN.Open();
    platform.button = false;
    for (int i = 0; i < 20; ++i) Step();
    ASSERT_EQ(Brightness_GL(), 40);
    c.press(platform);
    Step();
    EXPECT_EQ(qklogoSCREEN.state, 255);
    EXPECT_EQ(qklogoSCREEN.fast, 1);
    EXPECT_EQ(Brightness_GL(), 35);
    EXPECT_EQ(movies.volumes.back(), 192 * 35 / 255);
    platform.PostKey(PlatformEvent::KeyUp, kKeyX);
    platform.button = false;
    for (int i = 0; i < 7; ++i) Step();
    EXPECT_EQ(Brightness_GL(), 0);
    Step();
    EXPECT_FALSE(qklogoSCREEN.IsOpen());
    EXPECT_TRUE(titleSCREEN.IsOpen());
    titleSCREEN.Close();
  }
}

// Opening drops the key events still queued: a key pressed before the logo
// opened and still held does not skip it.
TEST_F(LogoScreenTest, AKeyPressedBeforeItOpensDoesNotSkipIt) {
  platform.PostKey(PlatformEvent::KeyDown, kKeyX, 'x');
  qklogoSCREEN.Open();
  for (int i = 0; i < 5; ++i) Step();
  EXPECT_EQ(qklogoSCREEN.state, 1);
  EXPECT_EQ(qklogoSCREEN.fast, 0);
  EXPECT_EQ(Brightness_GL(), 10);
}

TEST_F(LogoScreenTest, WithSoundOffTheMovieIsSilentAndItsVolumeLeftAlone) {
  audioPREFS.soundOn = 0;
  qklogoSCREEN.Open();
  platform.PostKey(PlatformEvent::KeyDown, kKeyX, 'x');
  for (int i = 0; i < 5; ++i) Step();
  EXPECT_EQ(qklogoSCREEN.state, 255);
  EXPECT_EQ(movies.volumes, std::vector<SInt16>{0});
}

// A missing or damaged movie: nothing to play, the same course over a dark
// picture.
TEST_F(LogoScreenTest, WithoutAMovieItRunsTheSameCourse) {
  for (SInt16 result : {kMovieFileMissing, kMovieFileDamaged}) {
    SCOPED_TRACE(result);
    movies.openResult = result;
    movies.starts = 0;
    qklogoSCREEN.Reset();
    qklogoSCREEN.Open();
    EXPECT_EQ(theMovie, nullptr);
    EXPECT_EQ(movies.alive, 0);
    EXPECT_EQ(movies.starts, 0);
    EXPECT_EQ(qklogoSCREEN.countdown, 140);
    int steps = 0;
    while (qklogoSCREEN.IsOpen() && steps < 2000) {
      Step();
      ++steps;
    }
    EXPECT_EQ(steps, 3 * 139 + 1 + 127 + 1);
    EXPECT_TRUE(titleSCREEN.IsOpen());
    titleSCREEN.Close();
  }
}

using TitleScreenTest = FrontScreensTest;

TEST_F(TitleScreenTest, OpensDarkWithAWideBackgroundSeededStarsAndLoopingMusic) {
  glFADER.SetBright(200);
  titleSCREEN.Open();
  EXPECT_EQ(Brightness_GL(), 0);
  const RectF& r = titleSCREEN.backgroundRect;
  EXPECT_EQ(r.top, 0.0f);
  EXPECT_EQ(r.left, 0.0f);
  EXPECT_EQ(r.bottom, 480.0f);
  EXPECT_EQ(r.right, 640.0f + 232.0f);
  for (int i = 0; i < kTitleStars; ++i) {
    const SparkF& s = titleSTAR[i];
    ASSERT_EQ(s.speed, float(0.33334 * (i / 128 + 1))) << "star " << i;
    ASSERT_TRUE(s.x >= 0 && s.x < 640 && s.y >= 0 && s.y < 480) << "star " << i;
    ASSERT_LE(s.level, 7) << "star " << i;
    ASSERT_LE(s.direction, 1) << "star " << i;
  }
  EXPECT_EQ(titleSCREEN.music.loop, 1);
  EXPECT_EQ(titleSCREEN.music.channel.RealVolume(), 255);
  EXPECT_TRUE(titleSCREEN.IsFront());
}

// 200 animation ticks after opening the title fades out by 2 a step, its
// music following the brightness, and once dark opens the main screen.
TEST_F(TitleScreenTest, FadesInByFiveAndLeavesBySelfAfter200Ticks) {
  titleSCREEN.Open();
  int steps = 0;
  while (!titleSCREEN.leaving && steps < 1000) {
    Step();
    ++steps;
    if (!titleSCREEN.leaving) {
      EXPECT_EQ(Brightness_GL(), std::min(5 * steps, 255)) << "step " << steps;
    }
  }
  EXPECT_EQ(steps, 3 * 199 + 1);
  EXPECT_EQ(titleSCREEN.fast, 0);
  EXPECT_EQ(Brightness_GL(), 253);
  EXPECT_EQ(titleSCREEN.music.channel.RealVolume(), 253);
  int bright = 253;
  while (bright > 0) {
    Step();
    bright = std::max(bright - 2, 0);
    ASSERT_EQ(Brightness_GL(), bright);
    ASSERT_EQ(titleSCREEN.music.channel.RealVolume(), bright);
  }
  EXPECT_TRUE(titleSCREEN.IsOpen());
  Step();
  EXPECT_FALSE(titleSCREEN.IsOpen());
  EXPECT_TRUE(mainSCREEN.IsOpen());
}

// A key or the mouse button, even during the fade-in, turns it straight to
// the fast fade-out; so does one pressed and let go again between two steps.
TEST_F(TitleScreenTest, AKeyOrTheButtonDuringTheFadeInLeavesFast) {
  struct Case {
    const char* name;
    void (*press)(FakeEventPlatform&, bool);
  };
  const Case cases[] = {
      {"held key", [](FakeEventPlatform& p, bool down) { p.SetKey(kKeyX, down); }},
      {"held button", [](FakeEventPlatform& p, bool down) { p.button = down; }},
      {"tapped key",
       [](FakeEventPlatform& p, bool down) {
         if (!down) return;
         p.PostKey(PlatformEvent::KeyDown, kKeyX, 'x');
         p.PostKey(PlatformEvent::KeyUp, kKeyX, 'x');
       }},
      {"quick click",
       [](FakeEventPlatform& p, bool down) {
         if (!down) return;
         p.PostMouse(PlatformEvent::MouseDown, Point{300, 400});
         p.PostMouse(PlatformEvent::MouseUp, Point{300, 400});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    titleSCREEN.leaving = titleSCREEN.fast = 0;
    titleSCREEN.Open();
    for (int i = 0; i < 10; ++i) Step();
    ASSERT_EQ(Brightness_GL(), 50);
    ASSERT_EQ(titleSCREEN.leaving, 0);
    c.press(platform, true);
    Step();
    c.press(platform, false);
    EXPECT_EQ(titleSCREEN.leaving, 1);
    EXPECT_EQ(titleSCREEN.fast, 1);
    EXPECT_EQ(Brightness_GL(), 45);
    EXPECT_EQ(titleSCREEN.music.channel.RealVolume(), 45);
    for (int i = 0; i < 9; ++i) Step();
    EXPECT_EQ(Brightness_GL(), 0);
    Step();
    EXPECT_TRUE(mainSCREEN.IsOpen());
    mainSCREEN.Close();
  }
}

// Every step each star drifts left by its speed; one that went below 0
// comes back at the right edge, one exactly at 0 stays.
TEST_F(TitleScreenTest, StarsDriftLeftAndOnlyThoseBelowZeroComeBackRight) {
  titleSCREEN.Open();
  for (SparkF& s : titleSTAR) s.x = 300.0f;
  SparkF& atZero = titleSTAR[0];
  SparkF& belowZero = titleSTAR[1];
  SparkF& fast = titleSTAR[400];
  atZero.x = atZero.speed;
  belowZero.x = 0.2f;
  const float fastFrom = fast.x;
  Step();
  EXPECT_EQ(atZero.x, 0.0f);
  EXPECT_EQ(belowZero.x, 640.0f);
  EXPECT_TRUE(belowZero.y >= 0 && belowZero.y < 480);
  EXPECT_EQ(fast.x, fastFrom - float(0.33334 * 4));
  EXPECT_EQ(titleSCREEN.backgroundRect.left, -0.33f);
  EXPECT_EQ(titleSCREEN.backgroundRect.right, 872.0f - 0.33f);
}

// On animation ticks only, each star's phase runs up to 7 and back to 0.
TEST_F(TitleScreenTest, StarsTwinkleOnAnimationTicks) {
  titleSCREEN.Open();
  struct Case {
    UInt8 level, direction, nextLevel, nextDirection;
  };
  const Case cases[] = {{3, 1, 4, 1}, {7, 1, 7, 0}, {3, 0, 2, 0}, {0, 0, 0, 1}};
  for (int i = 0; i < 4; ++i) {
    titleSTAR[i].level = cases[i].level;
    titleSTAR[i].direction = cases[i].direction;
  }
  animateDELAY = 1.0f;
  Step();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(titleSTAR[i].level, cases[i].level) << "between ticks, star " << i;
  animateDELAY = 0.0f;
  Step();
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(titleSTAR[i].level, cases[i].nextLevel) << "star " << i;
    EXPECT_EQ(titleSTAR[i].direction, cases[i].nextDirection) << "star " << i;
  }
}

}  // namespace
