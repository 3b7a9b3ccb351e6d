#include "GameFixture.h"
#include "platform/KeyCodes.h"

namespace gd = gamedriver;

TEST(GameFlow, DifficultyFollowsTheWaveWithItsClamps) {
  fakeSERVICES.Reset();
  gd::Begin(1);
  struct Case {
    int wave;
    UInt16 storm, shield, shot, swerve, pod, floatF, speed, launch, hits;
  } cases[] = {
      {1, 300, 250, 100, 50, 2, 50, 0, 25, 15}, {4, 300, 250, 100, 50, 2, 50, 0, 25, 15},
      {5, 250, 225, 90, 40, 3, 40, 0, 20, 20},  {20, 100, 150, 60, 10, 6, 10, 3, 5, 35},
      {25, 100, 125, 50, 10, 7, 10, 4, 5, 40},  {35, 100, 75, 30, 10, 9, 10, 4, 5, 50},
      {40, 100, 50, 20, 10, 10, 10, 4, 5, 50},  {99, 100, 50, 20, 10, 10, 10, 4, 5, 50},
  };
  for (const Case& c : cases) {
    waveNUM = SInt8(c.wave);
    bossDONE = 0;
    ResetWave(-1);
    EXPECT_EQ(stormFREQ, c.storm) << c.wave;
    EXPECT_EQ(shieldFREQ, c.shield) << c.wave;
    EXPECT_EQ(shotFREQ, c.shot) << c.wave;
    EXPECT_EQ(swerveFREQ, c.swerve) << c.wave;
    EXPECT_EQ(podFREQ, c.pod) << c.wave;
    EXPECT_EQ(floatFREQ, c.floatF) << c.wave;
    EXPECT_EQ(speedFREQ, c.speed) << c.wave;
    EXPECT_EQ(launchFREQ, c.launch) << c.wave;
    EXPECT_EQ(hitsFREQ, c.hits) << c.wave;
  }
}

TEST(GameFlow, EnemyCountsDoNotWrapInLateWaves) {
  fakeSERVICES.Reset();
  gd::Begin(1);
  struct Case {
    int wave;
    bool both;
    UInt16 count;
    UInt8 atOnce;
  } cases[] = {{1, false, 12, 1},  {1, true, 24, 1},   {2, false, 15, 1},   {3, false, 18, 2},
               {15, false, 54, 8}, {40, true, 258, 8}, {83, false, 258, 8}, {99, true, 612, 8}};
  for (const Case& c : cases) {
    waveNUM = SInt8(c.wave);
    _PLAYER[0].on = 1;
    _PLAYER[1].on = c.both;
    ResetWave(-1);
    EXPECT_EQ(enemCOUNT, c.count) << c.wave;
    EXPECT_EQ(useENEMS, c.atOnce) << c.wave;
    EXPECT_EQ(useMETEORS, c.atOnce) << c.wave;
  }
}

TEST(GameFlow, HalvingALargeCountStaysPositive) {
  fakeSERVICES.Reset();
  gd::Begin(1);
  _PLAYER[0].on = _PLAYER[1].on = 1;
  _PLAYER[0].dying = 1;
  _PLAYER[0].alpha = 0.001f;
  _PLAYER[0].deathTicks = 20;
  enemCOUNT = 258;
  AnimatePlayers();
  EXPECT_EQ(enemCOUNT, 129);
}

TEST(GameFlow, BossWavesFollowEveryThirdAndFifthWave) {
  struct Case {
    int wave;
    UInt8 done;
    SInt8 boss;
  } cases[] = {{1, 0, -1}, {2, 0, -1}, {3, 0, 1},  {4, 0, -1}, {5, 0, 0},  {8, 0, 1},
               {10, 0, 0}, {13, 0, 1}, {15, 0, 0}, {3, 1, -1}, {5, 1, -1}, {99, 0, -1}};
  for (const Case& c : cases) {
    waveNUM = SInt8(c.wave);
    bossDONE = c.done;
    EXPECT_EQ(NextWaveHasBoss(), c.boss) << c.wave;
  }
  bossDONE = 0;
}

class WaveFlowTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    PlaceShip(0, 300, 300);
    enemCOUNT = 0;
  }
};

TEST_F(WaveFlowTest, AClearWavePausesDarkensThenStartsTheNext) {
  int steps = 0;
  gd::Step();
  steps++;
  EXPECT_EQ(waveFINISH, 1);
  EXPECT_EQ(finishDELAY, 25);
  while (finishDELAY) {
    gd::Step();
    steps++;
    EXPECT_EQ(fakeSERVICES.brightness, 255);
  }
  EXPECT_EQ(steps, 26);
  int dark = 0;
  while (fakeSERVICES.brightness > 0) {
    gd::Step();
    dark++;
  }
  EXPECT_EQ(dark, 128);
  EXPECT_EQ(waveNUM, 1);
  gd::Step();  // black: the next wave begins, and its fade-in with it
  EXPECT_EQ(waveNUM, 2);
  EXPECT_EQ(waveFINISH, 0);
  EXPECT_EQ(fakeSERVICES.brightness, 10);
  EXPECT_EQ(_PLAYER[0].respawn, 1);
  EXPECT_FALSE(_PLAYER[0].on);
  int up = 1;
  while (!waveDISPLAY.on) {
    gd::Step();
    up++;
  }
  EXPECT_EQ(up, 26);
  EXPECT_EQ(fakeSERVICES.brightness, 255);
}

TEST_F(WaveFlowTest, AMeteorShowerOrALooseObjectHoldsTheWaveEnd) {
  waveREADY = 0;  // the shower neither counts down nor spawns
  stormACTIVE = 3;
  gd::Step();
  EXPECT_EQ(waveFINISH, 0);
  stormACTIVE = 0;
  _POD[4].on = 1;
  _POD[4].rect = RectAt(100, 100, 16, 16);
  gd::Step();
  EXPECT_EQ(waveFINISH, 0);
  _POD[4].on = 0;
  gd::Step();
  EXPECT_EQ(waveFINISH, 1);
}

TEST_F(WaveFlowTest, ABossWaveKeepsTheWaveNumberAndNoPauseFollowsIt) {
  waveNUM = 3;
  waveFINISH = 1;
  finishDELAY = 0;
  fakeSERVICES.brightness = 0;
  gd::Step();
  EXPECT_EQ(waveNUM, 3);
  EXPECT_TRUE(BOSS.on);
  EXPECT_EQ(BOSS.hits, 1);  // the second boss
  EXPECT_EQ(gameMUSIC.file, "Music/Boss");
  EXPECT_EQ(enemCOUNT, 0);
  WaveReady();  // the banner has passed: the ship is back
  // Beaten and gone: the wave ends without the pause and wave 4 follows.
  BOSS.on = 0;
  bossDONE = 1;
  gd::Step();
  EXPECT_EQ(waveFINISH, 1);
  EXPECT_EQ(finishDELAY, 0);
  gd::StepUntil([] { return waveNUM == 4; }, 200);
  EXPECT_EQ(waveNUM, 4);
  EXPECT_EQ(bossDONE, 0);
  EXPECT_EQ(gameMUSIC.file, "Music/Game");
}

TEST_F(WaveFlowTest, NoShipLeftAtTheEndOfTheFadeEndsTheGame) {
  waveFINISH = 1;
  finishDELAY = 0;
  fakeSERVICES.brightness = 2;
  gd::Step();
  _PLAYER[0].on = 0;
  gd::Step();
  EXPECT_EQ(gameOVER, 1);
  EXPECT_EQ(waveNUM, 1);
}

TEST_F(WaveFlowTest, GameOverFadesOutAndReturnsToTheMainScreen) {
  enemCOUNT = 5;
  playerSCORE[0] = 1234;
  KillPlayer(0);
  int steps = 0;
  while (!gameOVER && steps < 1000) {
    gd::Step();
    steps++;
  }
  EXPECT_EQ(steps, 148);  // 50 animation steps, the first at once
  gd::StepUntil([] { return !gamePLAY; }, 1000);
  EXPECT_EQ(fakeSERVICES.brightness, 0);
  EXPECT_EQ(fakeSERVICES.CountCall("MainScreen_Open"), 1);
  EXPECT_EQ(fakeSERVICES.checkScore[0], 1234);
  EXPECT_EQ(fakeSERVICES.checkLevel[0], 1);
  EXPECT_FALSE(gameMUSIC.playing);
}

// Only a player who joined hands a result to the scores: the other, whose
// score is 0, must not take a row from a table of negative scores.
TEST_F(WaveFlowTest, OnlyAPlayerWhoJoinedHandsInAResult) {
  ASSERT_TRUE(playerJOINED[0]);
  ASSERT_FALSE(playerJOINED[1]);
  KillPlayer(0);
  gd::StepUntil([] { return !gamePLAY; }, 2000);
  EXPECT_EQ(fakeSERVICES.CountCall("Scores_SetCheck 0"), 1);
  EXPECT_EQ(fakeSERVICES.CountCall("Scores_SetCheck 1"), 0);
}

TEST_F(WaveFlowTest, SlowMotionRunsOneStepInSevenAndKeepsInputs) {
  BOSS.on = 1;
  BOSS.state = 1;
  BOSS.kind = 200;
  waveREADY = 0;  // the beaten boss stays put
  gd::Steps(200);
  EXPECT_EQ(curSLOW, 6);
  int ran = 0;
  for (int i = 0; i < 70; i++) {
    mainINPUT[kInputEscape] = 1;
    gd::Step();
    if (mainINPUT[kInputEscape] == 0) {
      ran++;
      EXPECT_EQ(animateDELAY, 1.0f);  // every step that runs is an animation step
    }
  }
  EXPECT_EQ(ran, 10);
  BOSS.on = 0;
  gd::Steps(200);
  EXPECT_EQ(curSLOW, 0);
}

TEST_F(WaveFlowTest, SlowMotionRisesEverySixStepsAndFallsEveryTwentyOne) {
  BOSS.on = 1;
  BOSS.state = 1;
  waveREADY = 0;
  int steps = 0;
  while (curSLOW < 1) gd::Step(), steps++;
  EXPECT_EQ(steps, 1);
  while (curSLOW < 2) gd::Step(), steps++;
  EXPECT_EQ(steps, 7);  // five steps of waiting between levels
  BOSS.on = 0;
  steps = 0;
  while (curSLOW > 1) gd::Step(), steps++;
  EXPECT_EQ(steps, 6);  // the wait left from the rise, then down
  while (curSLOW > 0) gd::Step(), steps++;
  EXPECT_EQ(steps, 27);  // twenty steps of waiting after a fall
  ResetSlow();
  EXPECT_EQ(gameSLOW, 0);
}

TEST_F(WaveFlowTest, NothingRunsWhilePausedFrozenOrStopped) {
  UInt32 seed = randomSEED;
  float x = _STAR[0].y;
  for (auto* flag : {&gamePAUSE, &gameFREEZE}) {
    *flag = 1;
    gd::Steps(5);
    *flag = 0;
  }
  EXPECT_EQ(_STAR[0].y, x);
  EXPECT_EQ(randomSEED, seed);
}

TEST_F(WaveFlowTest, PauseNeedsFullBrightnessAndNoScreen) {
  fakeSERVICES.brightness = 200;
  PauseGame();
  EXPECT_EQ(gamePAUSE, 0);
  fakeSERVICES.brightness = 255;
  fakeSERVICES.screenOpen = true;
  PauseGame();
  EXPECT_EQ(gamePAUSE, 0);
  fakeSERVICES.screenOpen = false;
  mainINPUT[InputSlot(kActionLeft, 0)] = 1;
  PauseGame();
  EXPECT_EQ(gamePAUSE, 1);
  EXPECT_EQ(mainINPUT[InputSlot(kActionLeft, 0)], 0);
  EXPECT_EQ(fakeSERVICES.CountCall("PauseScreen_Open"), 1);
  EXPECT_EQ(fakeSERVICES.Count("Blip"), 1);
  PauseGame();
  EXPECT_EQ(gamePAUSE, 0);
  EXPECT_EQ(fakeSERVICES.CountCall("PauseScreen_Close"), 1);
}

TEST_F(WaveFlowTest, WithMusicOffTheWaveSoundIsLoadedAndPlayed) {
  fakeSERVICES.musicOn = 0;
  SetupGame();
  EXPECT_EQ(fakeSERVICES.CountCall("LoadSound Intro_Mono"), 1);
  DoWaveDisplay();
  EXPECT_EQ(fakeSERVICES.Count("Intro_Mono"), 1);
}

TEST_F(WaveFlowTest, StarsAreLaidOutFromSixDrawsEach) {
  randomSEED = 99;
  SetupGame();
  for (const SparkF& s : _STAR) {
    EXPECT_GE(s.x, 0.0f);
    EXPECT_LT(s.x, 640.0f);
    EXPECT_LT(s.y, 448.0f);
    EXPECT_LE(s.level, 7);
    int layer = int(s.random >> 6) + 1;
    EXPECT_FLOAT_EQ(s.speed, float(0.33334 * layer));
  }
  UInt32 seed = 99;
  for (int i = 0; i < 6 * 64; i++) SubRandom_Seed(&seed);
  EXPECT_EQ(randomSEED, seed);  // nothing else in the set-up draws
}

TEST(GameFlow, AScriptedGameIsDeterministic) {
  auto play = [](UInt32 seed) {
    fakeSERVICES.Reset();
    gd::Begin(seed);
    int maxWave = 0;
    for (int step = 0; step < 12000 && gamePLAY; step++) {
      gd::ReleaseAll();
      if (step % 8 == 0) gd::Hold(0, gd::kFire);
      if (step % 11 == 0) gd::Hold(1, gd::kFire);
      gd::Hold(0, (step / 90) % 2 ? gd::kLeft : gd::kRight);
      gd::Hold(1, (step / 70) % 2 ? gd::kLeft : gd::kRight);
      gd::Step();
      maxWave = std::max(maxWave, int(waveNUM));
    }
    return std::make_pair(gd::StateDigest(), maxWave);
  };
  auto first = play(12345);
  auto second = play(12345);
  EXPECT_EQ(first.first, second.first);
  EXPECT_GE(first.second, 3);
  EXPECT_NE(play(54321).first, first.first);
}

TEST_F(WaveFlowTest, ClearInputsEmptiesEveryControlAndAxis) {
  for (UInt8& b : mainINPUT) b = 1;
  SetInputAxis(1, 1, -300);
  ClearInputs();
  for (UInt8 b : mainINPUT) EXPECT_EQ(b, 0);
  EXPECT_EQ(InputAxis(1, 1), 0);
}
