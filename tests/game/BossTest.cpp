#include "GameFixture.h"

namespace gd = gamedriver;

class BossTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    hitsFREQ = 15;
    launchFREQ = 25;
    floatFREQ = 50;
    speedFREQ = 0;
    for (Spark& s : _SPARK) s.active = 0;
  }
};

TEST_F(BossTest, TheBossTakesThePicturesSizeAndStartsAtRest) {
  struct Case {
    UInt8 kind;
    SInt16 w, h;
  } cases[] = {{0, 184, 104}, {1, 72, 200}};
  for (const Case& c : cases) {
    UInt32 seed = randomSEED, expected = seed;
    ResetBoss(c.kind);
    for (int i = 0; i < 4; i++) SubRandom_Seed(&expected);
    EXPECT_EQ(randomSEED, expected);
    EXPECT_EQ(BOSS.rect.right - BOSS.rect.left, c.w);
    EXPECT_EQ(BOSS.rect.bottom - BOSS.rect.top, c.h);
    EXPECT_EQ(CenterH(BOSS.rect), 320);
    EXPECT_EQ(BOSS.rect.top, SInt16(0.4 * 448 - c.h / 2));
    EXPECT_EQ(BOSS.velX, 0.0f);
    EXPECT_NE(BOSS.targetVelX, 0.0f);
    EXPECT_EQ(BOSS.hits, c.kind);
    EXPECT_EQ(BOSS.energy.target, 15);
    EXPECT_EQ(BOSS.energy.rect[0].left, 320 - 60);
    EXPECT_EQ(BOSS.energy.rect[14].right, 320 + 60);
  }
}

TEST_F(BossTest, APictureWithNoSizeStillGivesABeatableBoss) {
  fakeSERVICES.bossWidth[0] = fakeSERVICES.bossHeight[0] = 0;
  fakeSERVICES.bossWidth[1] = fakeSERVICES.bossHeight[1] = 0;
  ResetBoss(0);
  EXPECT_EQ(BOSS.rect.right - BOSS.rect.left, 184);
  EXPECT_EQ(BOSS.rect.bottom - BOSS.rect.top, 104);
  ResetBoss(1);
  EXPECT_EQ(BOSS.rect.right - BOSS.rect.left, 72);
  EXPECT_EQ(BOSS.rect.bottom - BOSS.rect.top, 200);
}

TEST_F(BossTest, TheBossSteersTowardItsCourseWithinTheClamp) {
  ResetBoss(1);
  BOSS.targetVelX = float(0.33334 * 8);
  BOSS.targetVelY = float(-0.33334 * 2);
  animateDELAY = 1;
  MoveBoss();
  EXPECT_FLOAT_EQ(BOSS.velX, float(0.33334));
  EXPECT_FLOAT_EQ(BOSS.velY, float(-0.33334));
  for (int i = 0; i < 20; i++) MoveBoss();
  EXPECT_LE(BOSS.velX, float(2.66672));
  EXPECT_GT(BOSS.velX, 2.6f);
  EXPECT_EQ(BOSS.realRect.left, BOSS.rect.left + 8);
  EXPECT_EQ(BOSS.realRect.bottom, BOSS.rect.bottom - 8);
  ResetBoss(0);
  MoveBoss();
  EXPECT_EQ(BOSS.realRect.bottom, BOSS.rect.bottom - 16);
}

TEST_F(BossTest, AtAnEdgeTheBossHalvesItsSpeedAndTurnsItsCourse) {
  ResetBoss(1);
  BOSS.rect = RectAt(-5, 100, 72, 200);
  BOSS.velX = -2.0f;
  BOSS.targetVelX = -1.0f;
  AdjustBoss();
  EXPECT_EQ(BOSS.rect.left, 0);
  EXPECT_FLOAT_EQ(BOSS.velX, 1.0f);
  EXPECT_FLOAT_EQ(BOSS.targetVelX, 1.0f);
}

TEST_F(BossTest, AttacksDependOnTheVerticalCourse) {
  ResetBoss(1);
  launchFREQ = 0;  // every chance passes
  floatFREQ = 0;
  animateDELAY = 0;
  BOSS.velY = BOSS.targetVelY = 0;
  BOSS.targetVelY = 0;
  MoveBoss();
  int meteors = 0, bombs = 0, shots = 0;
  for (const Meteor& m : _METEOR) meteors += m.on;
  for (const Enemy& e : _ENEMY) bombs += e.flying;
  for (const Shot& s : enemySHOT) shots += s.on;
  EXPECT_EQ(meteors, 1);  // at rest vertically: everything comes
  EXPECT_EQ(bombs, 1);
  EXPECT_EQ(shots, 1);  // a Blimp fires no bolts, only its shot
  EXPECT_EQ(enemySHOT[0].kind, 0);
}

TEST_F(BossTest, TheBoomerangFiresBoltsWhileRising) {
  ResetBoss(0);
  launchFREQ = 0;
  floatFREQ = 50;
  animateDELAY = 0;
  BOSS.velY = -2.0f;
  BOSS.targetVelY = -2.0f;
  MoveBoss();
  int bolts = 0, shots = 0;
  for (const Shot& s : enemySHOT) bolts += s.on && s.kind == 1, shots += s.on && s.kind == 0;
  EXPECT_EQ(bolts, 1);
  EXPECT_EQ(shots, 0);  // shots and bombs only while it sinks or rests
  for (const Enemy& e : _ENEMY) EXPECT_FALSE(e.flying);
}

TEST_F(BossTest, ShotsNearTheCentreLineTakeEnergy) {
  ResetBoss(0);
  MoveBoss();
  PlaceShip(0, 20, 400);
  SInt16 cx = CenterH(BOSS.realRect);
  struct Case {
    SInt16 dx;
    UInt8 doubled;
    UInt8 energy;
    SInt32 points;
  } cases[] = {{0, 0, 14, 350}, {12, 0, 13, 350}, {-12, 1, 11, 350}, {13, 0, 11, 0}, {-13, 1, 11, 0}};
  for (const Case& c : cases) {
    playerSCORE[0] = 0;
    Shot& s = PlaceShot(0, 0, SInt16(cx + c.dx - 4), SInt16(BOSS.realRect.bottom - 6), c.doubled);
    s.velY = 0;
    MoveShots();
    EXPECT_FALSE(s.on) << c.dx;
    EXPECT_EQ(BOSS.energy.target, c.energy) << c.dx;
    EXPECT_EQ(playerSCORE[0], c.points) << c.dx;
  }
}

TEST_F(BossTest, ABeatenBossSlowsTheGameFlashesAndExplodes) {
  ResetBoss(1);
  MoveBoss();
  BOSS.energy.target = 0;
  MoveBoss();
  EXPECT_EQ(BOSS.state, 1);
  EXPECT_EQ(BOSS.kind, 25);
  EXPECT_EQ(bossDONE, 1);
  EXPECT_TRUE(whiteFLASH.on);
  int animations = 0;
  for (int step = 0; BOSS.on && step < 1000; step++) {
    animateDELAY = float(step % 3);
    MoveBoss();
    if (step % 3 == 0) animations++;
    AnimateExplosions();
  }
  EXPECT_EQ(animations, 26);  // 25 explosions, then gone
  EXPECT_GE(fakeSERVICES.Count("Boom1"), 8);
}

TEST_F(BossTest, AScriptedGameReachesAndWinsABossWave) {
  auto play = [](UInt32 seed) {
    fakeSERVICES.Reset();
    gd::Begin(seed);
    bool fought = false;
    for (int step = 0; step < 40000 && gamePLAY; step++) {
      gd::ReleaseAll();
      gd::Pilot(0, step);
      gd::Pilot(1, step);
      gd::Step();
      if (BOSS.on) fought = true;
      if (fought && waveNUM == 4) break;
    }
    return std::make_pair(fought, gd::StateDigest());
  };
  auto first = play(35);
  EXPECT_TRUE(first.first) << gd::Describe();
  EXPECT_EQ(waveNUM, 4) << gd::Describe();
  EXPECT_EQ(play(35).second, first.second);
}
