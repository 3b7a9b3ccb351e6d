#include <set>

#include "GameFixture.h"

class MeteorsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    curENEMS = 0;
    ClearMeteors();
    playerJOINED[0] = 1;
  }
  static int MeteorsOn() {
    int n = 0;
    for (const Meteor& m : _METEOR) n += m.on;
    return n;
  }
};

TEST_F(MeteorsTest, NoShowerBeginsWithoutAnEnemyFlyingButTheDrawIsMade) {
  stormFREQ = 1;
  enemCOUNT = 5;
  animateDELAY = 0;
  UInt32 seed = randomSEED, expected = seed;
  MoveMeteors();
  SubRandom_Seed(&expected);
  EXPECT_EQ(randomSEED, expected);
  EXPECT_EQ(stormACTIVE, 0);
  PlaceEnemy(6, 300, 100);
  MoveMeteors();
  EXPECT_EQ(stormACTIVE, 50);
  EXPECT_EQ(fakeSERVICES.Count("Alarm"), 1);
}

TEST_F(MeteorsTest, AShowerSoundsForTwentyFiveStepsThenSpawns) {
  PlaceEnemy(6, 300, 100);
  stormFREQ = 1;
  enemCOUNT = 5;
  useMETEORS = 8;
  int firstMeteor = 0;
  int animations = 0;
  for (int step = 0; step < 3 * 60 && !firstMeteor; step++) {
    animateDELAY = float(step % 3);
    _ENEMY[6].flying = 1;
    MoveMeteors();
    if (step % 3 == 0) animations++;
    if (MeteorsOn()) firstMeteor = animations;
  }
  EXPECT_EQ(firstMeteor, 26);  // the shower began on the first, spawning from 25 left
  for (int step = 0; step < 200 && stormACTIVE; step++) {
    animateDELAY = float(step % 3);
    MoveMeteors();
  }
  EXPECT_EQ(stormACTIVE, 0);
}

TEST_F(MeteorsTest, WithOneMeteorAtATimeOnlySlotZeroMatters) {
  useMETEORS = 1;
  stormACTIVE = 20;
  animateDELAY = 1;
  PlaceMeteor(0, 300, 200, 0, 0);
  MoveMeteors();
  EXPECT_EQ(MeteorsOn(), 1);
  _METEOR[0].on = 0;
  PlaceMeteor(1, 300, 200, 0, 0);
  for (int i = 0; i < 10 && MeteorsOn() < 2; i++) MoveMeteors();
  EXPECT_EQ(MeteorsOn(), 2);
  EXPECT_TRUE(_METEOR[0].on);  // the lowest free slot
}

TEST_F(MeteorsTest, ShowerMeteorsComeInFromTheEdges) {
  int edges[3] = {0, 0, 0};
  for (int n = 0; n < 60; n++) {
    ClearMeteors();
    DoMeteor();
    const Meteor& m = _METEOR[0];
    if (!m.on) continue;
    SInt16 s = SInt16(m.rect.right - m.rect.left);
    EXPECT_EQ(s, meteorSIZE[m.kind]);
    EXPECT_TRUE(m.flashOn);
    EXPECT_LT(m.hits, 4 - m.kind);
    EXPECT_GT(m.velY, 0.0f);
    if (m.rect.right == 0)
      edges[0]++;
    else if (m.rect.bottom == 0)
      edges[1]++;
    else if (m.rect.left == 640)
      edges[2]++;
    else
      ADD_FAILURE() << m.rect.left << "," << m.rect.top;
  }
  EXPECT_GT(edges[0], 0);
  EXPECT_GT(edges[1], 0);
  EXPECT_GT(edges[2], 0);
}

TEST_F(MeteorsTest, AMeteorFromTheLeftEntersOnItsFirstMove) {
  Meteor& m = PlaceMeteor(0, -32, 100, 0, 0);
  m.velX = float(0.33334);
  MoveMeteors();
  EXPECT_TRUE(m.on);
  EXPECT_EQ(m.rect.left, -31);
  Meteor& r = PlaceMeteor(1, 640, 100, 0, 0);
  r.velX = 0;
  MoveMeteors();
  EXPECT_FALSE(r.on);  // from the right without leftward speed
}

TEST_F(MeteorsTest, HitsChipThenBreak) {
  struct Case {
    UInt8 size, hits, power;
    bool breaks;
    int sparks;
  } cases[] = {
      {0, 3, 0, false, 16}, {0, 0, 0, true, 32}, {1, 0, 0, true, 24}, {2, 0, 0, true, 16}, {0, 3, 1, true, 32}};
  for (const Case& c : cases) {
    for (Spark& s : _SPARK) s.active = 0;
    Meteor& m = PlaceMeteor(2, 300, 200, c.size, c.hits);
    Rect hitter = RectAt(304, 210, 8, 12);
    BlastMeteor(2, &hitter, 0, c.power);
    EXPECT_EQ(m.state == 1, c.breaks);
    EXPECT_EQ(SparksActive(), c.sparks);
    if (c.breaks) {
      EXPECT_EQ(m.hits, 255);
      EXPECT_EQ(m.rect.right - m.rect.left, meteorSIZE[c.size] + 8);
    } else {
      EXPECT_EQ(m.hits, c.hits - 1);
    }
  }
}

TEST_F(MeteorsTest, ALargeMeteorNeedsFourHits) {
  Meteor& m = PlaceMeteor(2, 300, 200, 0, 3);
  Rect hitter = RectAt(304, 210, 8, 12);
  int hits = 0;
  while (m.state == 0 && hits < 10) BlastMeteor(2, &hitter, 1, 0), hits++;
  EXPECT_EQ(hits, 4);
}

TEST_F(MeteorsTest, OnlyLargeMeteorsBrokenByPlayersOrPlasmaDropPowerUps) {
  PlaceShip(0, 100, 300);
  PlaceShip(1, 300, 300);
  podFREQ = 3;  // halved to 1, raised to 2
  int drops[6] = {0, 0, 0, 0, 0, 0};
  for (UInt8 who = 0; who <= 5; who++) {
    for (int n = 0; n < 40; n++) {
      POW[0].on = POW[1].on = 0;
      PlaceMeteor(2, 300, 200, 0, 0);
      Rect hitter = RectAt(304, 210, 8, 12);
      BlastMeteor(2, &hitter, who, 0);
      drops[who] += POW[0].on;
    }
  }
  EXPECT_EQ(drops[2], 0);
  for (int who : {0, 1, 3, 4, 5}) {
    EXPECT_GT(drops[who], 8) << who;
    EXPECT_LT(drops[who], 32) << who;
  }
  POW[0].on = 0;
  PlaceMeteor(2, 300, 200, 1, 0);
  Rect hitter = RectAt(304, 210, 8, 12);
  for (int n = 0; n < 20; n++) {
    PlaceMeteor(2, 300, 200, 1, 0);
    BlastMeteor(2, &hitter, 0, 0);
  }
  EXPECT_FALSE(POW[0].on);
}

TEST_F(MeteorsTest, MeteorsSpinAndBreakUpInEightStages) {
  Meteor& m = PlaceMeteor(0, 300, 200, 0, 0);
  m.spinUp = 1;
  m.frame = 34;
  m.angle = 359;
  m.turnRate = float(1.33336);
  AnimateMeteors();
  EXPECT_EQ(m.frame, 0);
  EXPECT_EQ(m.angle, 0);  // 360.33 truncated, then wrapped
  m.spinUp = 0;
  m.turnRate = float(-1.33336);
  AnimateMeteors();
  EXPECT_EQ(m.frame, 34);
  EXPECT_EQ(m.angle, 359);
  m.state = 1;
  m.frame = 0;
  for (int i = 0; i < 7; i++) AnimateMeteors();
  EXPECT_TRUE(m.on);
  AnimateMeteors();
  EXPECT_FALSE(m.on);
}

TEST_F(MeteorsTest, TheBossLaunchesMediumOrSmallMeteorsDownward) {
  ResetBoss(1);
  LaunchMeteor();
  const Meteor& m = _METEOR[0];
  ASSERT_TRUE(m.on);
  EXPECT_GE(m.kind, 1);
  EXPECT_FLOAT_EQ(m.velY, float(1.33336));
  EXPECT_EQ(CenterH(m.rect), CenterH(BOSS.rect));
  EXPECT_EQ(fakeSERVICES.sounds.back().pitch, 0.25f);
  LaunchMeteor();  // no room beside the first
  EXPECT_FALSE(_METEOR[1].on);
}

TEST_F(MeteorsTest, TitleMeteorsFillFromTheTopAndStayInNumber) {
  viewRECT = kGameRect;
  for (int i = 0; i < 8; i++) NewMeteor_Title(1);
  EXPECT_EQ(MeteorsOn(), 8);
  for (const Meteor& m : _METEOR) {
    EXPECT_GE(m.shade, 0.24f);
    EXPECT_LE(m.shade, 0.71f);
  }
  // Each keeps its size class with it, as the game's meteors do.
  std::set<int> classes;
  for (int round = 0; round < 8; ++round) {
    ClearMeteors();
    for (int i = 0; i < 8; i++) NewMeteor_Title(1);
    for (const Meteor& m : _METEOR) {
      if (!m.on) continue;
      ASSERT_LE(m.kind, 2);
      EXPECT_EQ(m.rect.right - m.rect.left, 16 + 8 * (2 - m.kind));
      classes.insert(m.kind);
    }
  }
  EXPECT_EQ(classes.size(), 3u) << "all three sizes come up";
  ClearMeteors();
  NewMeteor_Title(0);
  EXPECT_TRUE(_METEOR[7].on);
  _METEOR[7].rect = RectAt(700, 100, 16, 16);
  _METEOR[7].centerX = 708;
  _METEOR[7].velX = 1;
  MoveMeteors_Title();
  EXPECT_EQ(MeteorsOn(), 1);
  EXPECT_TRUE(_METEOR[7].on);
  EXPECT_LT(_METEOR[7].rect.left, 700);
}

// The menu opens before the first game: nothing has set meteorSIZE yet, and
// the title's rocks still come in their three sizes and drift.
TEST_F(MeteorsTest, TitleMeteorsHaveTheirSizesBeforeAnyGame) {
  for (UInt8& size : meteorSIZE) size = 0;  // as the program starts
  viewRECT = kGameRect;
  for (UInt8 scatter : {1, 0}) {
    ClearMeteors();
    for (int i = 0; i < 8; i++) NewMeteor_Title(scatter);
    for (const Meteor& m : _METEOR) {
      ASSERT_TRUE(m.on);
      const int s = 16 + 8 * (2 - m.kind);
      EXPECT_EQ(m.rect.right - m.rect.left, s) << "scatter " << int(scatter);
      EXPECT_EQ(m.rect.bottom - m.rect.top, s) << "scatter " << int(scatter);
    }
  }
}

TEST_F(MeteorsTest, AShowerMeteorWithNoClearSpaceIsNotStarted) {
  // An enemy whose box covers every edge position blocks every spawn.
  Enemy& e = PlaceEnemy(0, 0, 0);
  e.realRect = {-100, -100, 600, 800};
  for (int n = 0; n < 20; n++) DoMeteor();
  EXPECT_EQ(MeteorsOn(), 0);
}
