#include "GameFixture.h"

class EffectsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    for (Spark& s : _SPARK) s.active = 0;
  }
  static Spark& PlaceSpark(int i, SInt32 x, SInt32 y, UInt16 angle, SInt32 speed) {
    Spark& s = _SPARK[i];
    s.active = 1;
    s.x = x * 256;
    s.y = y * 256;
    s.angle = angle;
    s.speed = speed;
    s.fades = 1;
    s.alpha = 1.0f;
    return s;
  }
};

TEST_F(EffectsTest, SparksMoveByTheTablesInFixedPoint) {
  struct Case {
    UInt16 angle;
    SInt32 speed;
    SInt32 x, y;
  } cases[] = {
      {0, 300, 25650, 25600},    // 150 * 256 >> 8 = 150, a third of it
      {180, 300, 25549, 25600},  // -50.001 from 25600, truncated toward zero
      {90, 300, 25600, 25650},
      {120, 301, 25574, 25600 + 43},  // (150 * -128) >> 8 = -75; sin 120 = 222 -> 130
  };
  for (const Case& c : cases) {
    Spark& s = PlaceSpark(0, 100, 100, c.angle, c.speed);
    MoveSparks();
    EXPECT_EQ(s.x, c.x) << c.angle;
    EXPECT_EQ(s.y, c.y) << c.angle;
  }
}

TEST_F(EffectsTest, ASparkOutsideTheFieldGoesOnTheNextMove) {
  Spark& s = PlaceSpark(0, 700, 100, 0, 256);
  MoveSparks();
  EXPECT_EQ(s.active, 0);
  Spark& edge = PlaceSpark(1, 639, 447, 0, 256);
  MoveSparks();
  EXPECT_EQ(edge.active, 1);
}

TEST_F(EffectsTest, NewSparksTakeTheHighestFreeSlots) {
  for (int i = 10; i < kSparks; i++) _SPARK[i].active = 1;
  DoSparks(32, 16, &orangeRGB, 100, 100);
  EXPECT_EQ(SparksActive(), kSparks);
  for (int i = 0; i < 10; i++) {
    EXPECT_EQ(_SPARK[i].x, 100 * 256);
    EXPECT_GE(_SPARK[i].speedClass, 1);
    EXPECT_LE(_SPARK[i].speedClass, 16);
    EXPECT_GE(_SPARK[i].speed, 256);
    EXPECT_LT(_SPARK[i].speed, 256 * (_SPARK[i].speedClass + 1));
    EXPECT_GE(_SPARK[i].fade, 0.905f);
    EXPECT_LE(_SPARK[i].fade, 1.055f);
  }
  for (Spark& s : _SPARK) s.active = 0;
  DoSparks(3, 0, &orangeRGB, 1, 1);
  EXPECT_TRUE(_SPARK[255].active && _SPARK[254].active && _SPARK[253].active);
  EXPECT_EQ(_SPARK[255].speedClass, 1);
}

TEST_F(EffectsTest, SparksDrawFourNumbersEachAndNoneWithEffectsOff) {
  UInt32 seed = randomSEED, expected = seed;
  DoSparks(5, 8, &goldRGB, 10, 10);
  for (int i = 0; i < 20; i++) SubRandom_Seed(&expected);
  EXPECT_EQ(randomSEED, expected);
  fakeSERVICES.effects = 0;
  DoSparks(5, 8, &goldRGB, 10, 10);
  EXPECT_EQ(randomSEED, expected);
  EXPECT_EQ(SparksActive(), 5);
}

TEST_F(EffectsTest, ASparkCoolsThenFades) {
  Spark& s = PlaceSpark(0, 100, 100, 0, 256);
  s.startColor.red = 1.0f;
  s.startColor.green = 0.75f;
  s.startColor.blue = 0.0f;
  s.fade = 0.91f;
  AnimateSparks();  // white-hot
  EXPECT_FLOAT_EQ(s.color.blue, 0.91f);
  EXPECT_FLOAT_EQ(s.fade, float(0.91f - 0.02));
  int steps = 1;
  while (s.fade > -1.2f) AnimateSparks(), steps++;
  EXPECT_EQ(steps, 7);  // 0.89, 0.59, 0.29, -0.01, -0.51, -1.01, -1.51
  EXPECT_EQ(s.alpha, 1.0f);
  int fading = 0;
  while (s.active) AnimateSparks(), fading++;
  EXPECT_EQ(fading, 10);  // alpha drops below 0 on the tenth
}

TEST_F(EffectsTest, ASparkThatDoesNotFadeKeepsItsColour) {
  Spark& s = PlaceSpark(0, 100, 100, 0, 256);
  s.fades = 0;
  s.fade = 0.95f;
  s.color.red = 0.3f;
  for (int i = 0; i < 30; i++) AnimateSparks();
  EXPECT_EQ(s.active, 1);
  EXPECT_EQ(s.color.red, 0.3f);
  EXPECT_EQ(s.alpha, 1.0f);
}

TEST_F(EffectsTest, GlowsTakeTheirSizeFromThePictureAndLastThreeSteps) {
  fakeSERVICES.glowWidth = 30;
  fakeSERVICES.glowHeight = 20;
  DoGlow(100, 200, &enemyRGB, 2.0f, 0.25f);
  MSSprite& g = _GLOW[7];
  ASSERT_TRUE(g.on);
  EXPECT_EQ(g.rect.left, 70);
  EXPECT_EQ(g.rect.right, 130);
  EXPECT_EQ(g.rect.top, 180);
  EXPECT_EQ(g.glowColor.green, enemyRGB.green);
  AnimateSparks();
  AnimateSparks();
  EXPECT_TRUE(g.on);
  AnimateSparks();
  EXPECT_FALSE(g.on);
}

TEST_F(EffectsTest, StarsTwinkleAndComeBackAtTheTop) {
  SparkF& star = _STAR[5];
  star.level = 6;
  star.direction = 1;
  AnimateSparks();
  EXPECT_EQ(star.level, 7);
  AnimateSparks();
  EXPECT_EQ(star.direction, 0);
  EXPECT_EQ(star.level, 7);
  star.x = 200;
  star.y = 447.5f;
  star.speed = 1.0f;
  MoveStars();
  EXPECT_EQ(star.y, 0.0f);
  EXPECT_LT(star.x, 640.0f);
}

TEST_F(EffectsTest, ExplosionsRunEightStagesAndDrift) {
  Rect* r = DoExplosion(1, 200, 100, 1.0f, -2.0f, 1);
  ASSERT_NE(r, nullptr);
  Object& e = EXPL[0];
  EXPECT_EQ(e.rect.left, 184);
  EXPECT_EQ(e.rect.bottom, 116);
  EXPECT_EQ(SparksActive(), 32);
  MoveExplosions();
  EXPECT_EQ(e.rect.left, 185);
  EXPECT_EQ(e.rect.top, 82);
  for (int stage = 1; stage <= 7; stage++) {
    AnimateExplosions();
    EXPECT_EQ(e.frame, stage);
  }
  AnimateExplosions();
  EXPECT_FALSE(e.on);
}

TEST_F(EffectsTest, PlasmaPicturesCycle) {
  Shot& b = enemySHOT[3];
  b.on = 1;
  b.kind = 1;
  b.hits = 0;
  b.frame = 3;
  AnimateExplosions();
  EXPECT_EQ(b.frame, 4);
  AnimateExplosions();
  EXPECT_EQ(b.frame, 1);  // group 0 skips its bright first picture
  b.hits = 2;
  b.frame = 4;
  AnimateExplosions();
  EXPECT_EQ(b.frame, 0);
}

TEST_F(EffectsTest, TheBannerHoldsFadesReleasesTheWaveAndStaysFaint) {
  waveREADY = 0;
  deathDELAY = 0;
  DoWaveDisplay();
  EXPECT_EQ(waveDISPLAY.centerY, 224.0f);
  int step = 0, ready = 0, floor = 0, shrunk = 0;
  float lastScale2 = waveDISPLAY.scale2;
  while (step < 200) {
    MoveInterface();
    step++;
    if (!ready && waveREADY) ready = step;
    if (!floor && waveDISPLAY.alpha <= 0.25f) floor = step;
    if (waveDISPLAY.scale2 != lastScale2) shrunk = step;
    lastScale2 = waveDISPLAY.scale2;
  }
  EXPECT_EQ(ready, 65);
  EXPECT_EQ(floor, 76);
  EXPECT_EQ(shrunk, 88);  // 45 steps of shrinking after the 43 of arrival
  EXPECT_TRUE(waveDISPLAY.on);
  EXPECT_EQ(waveDISPLAY.alpha, 0.25f);
  EXPECT_EQ(waveDISPLAY.centerY, 12.0f);
}

TEST_F(EffectsTest, WhileNoShipLivesTheBannerKeepsCallingForTheWave) {
  waveREADY = 0;
  deathDELAY = 30;
  DoWaveDisplay();
  for (int i = 0; i < 120; i++) MoveInterface();
  EXPECT_EQ(waveREADY, 0);
  deathDELAY = 0;
  MoveInterface();
  EXPECT_EQ(waveREADY, 1);
}

TEST_F(EffectsTest, InABossWaveTheBannerFadesAway) {
  BOSS.on = 1;
  BOSS.hits = 1;
  DoWaveDisplay();
  EXPECT_FLOAT_EQ(waveDISPLAY.centerY, float(0.8 * 448));
  EXPECT_EQ(fakeSERVICES.Count("Super"), 1);
  int step = 0;
  while (waveDISPLAY.on && step < 1000) MoveInterface(), step++;
  EXPECT_FALSE(waveDISPLAY.on);
  EXPECT_GT(step, 76);
}

TEST_F(EffectsTest, TheWhiteFlashFadesInOverFifteenStepsAndOutOverAHundred) {
  DoWhiteFlash();
  int in = 0;
  while (whiteFLASH.direction == 1) MoveInterface(), in++;
  EXPECT_EQ(in, 15);
  EXPECT_EQ(whiteFLASH.alpha, 1.0f);
  int out = 0;
  while (whiteFLASH.on) MoveInterface(), out++;
  EXPECT_EQ(out, 100);
}

TEST_F(EffectsTest, BossFlamesFlicker) {
  BOSS.on = 1;
  BOSS.flame = 0;
  AnimateBosses();
  EXPECT_EQ(BOSS.flame, 1);
  AnimateBosses();
  EXPECT_EQ(BOSS.flame, 0);
}
