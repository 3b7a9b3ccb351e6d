#include "GameFixture.h"

class CollisionsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    curENEMS = 0;
    _PLAYER[0].on = _PLAYER[1].on = 0;
  }
  static Object& PlaceWing(int i, SInt16 left, SInt16 top) {
    Object& w = _WING[i];
    w.Reset();
    w.on = 1;
    w.state = 0;
    w.rect = w.realRect = RectAt(left, top, 24, 24);
    UpdateSpriteLocs(&w);
    return w;
  }
};

TEST_F(CollisionsTest, TwoWholeEnemiesSideBySideSwapSpeedsUnharmed) {
  Enemy& a = PlaceEnemy(1, 100, 100);
  Enemy& b = PlaceEnemy(0, 128, 100);
  a.velX = 1.33336f;
  b.velX = -0.33334f;
  a.targetVelX = b.targetVelX = 1.0f;
  DoCollisions();
  EXPECT_FLOAT_EQ(a.velX, -0.33334f);
  EXPECT_FLOAT_EQ(b.velX, 1.0f);  // through a 16-bit integer
  EXPECT_EQ(a.targetVelX, 0.0f);
  EXPECT_EQ(b.targetVelX, 0.0f);
  EXPECT_EQ(a.enemyState, 0);
  EXPECT_EQ(b.enemyState, 0);
  EXPECT_FALSE(RectsOverlap(a.realRect, b.realRect));
  EXPECT_EQ(fakeSERVICES.Count("Metal0") + fakeSERVICES.Count("Metal1"), 1);
}

TEST_F(CollisionsTest, AWholeEnemyMeetingASpinningOneBothBlast) {
  Enemy& a = PlaceEnemy(1, 100, 100, 0);
  Enemy& b = PlaceEnemy(0, 110, 100, 2);
  DoCollisions();
  EXPECT_NE(a.enemyState, 0);
  EXPECT_EQ(b.enemyState, 1);
}

TEST_F(CollisionsTest, TwoShieldsSwapVerticalSpeedsAndHold) {
  Enemy& a = PlaceEnemy(1, 100, 100, 3);
  Enemy& b = PlaceEnemy(0, 120, 104, 3);
  a.velY = 0.33334f;
  b.velY = 1.33336f;
  a.shieldCount = 2;
  b.shieldCount = 15;
  DoCollisions();
  EXPECT_FLOAT_EQ(a.velY, 1.33336f);
  EXPECT_FLOAT_EQ(b.velY, 0.0f);
  EXPECT_EQ(a.enemyState, 3);
  EXPECT_EQ(b.enemyState, 3);
  EXPECT_EQ(a.shieldCount, 10);
  EXPECT_EQ(b.shieldCount, 15);
  EXPECT_GE(fakeSERVICES.Count("Bounce"), 2);
}

TEST_F(CollisionsTest, AMeteorRamsEnemiesByTheirShield) {
  Meteor& m = PlaceMeteor(2, 100, 100, 0, 2);
  m.velX = 2.0f;
  Enemy& e = PlaceEnemy(3, 120, 100);
  e.velX = -1.0f;
  DoCollisions();
  EXPECT_EQ(e.enemyState, 2);  // met off centre: a wing torn off
  EXPECT_FLOAT_EQ(m.velX, -1.0f);
  EXPECT_EQ(m.rect.left, 100);  // not pushed
  EXPECT_EQ(m.hits, 2);
  Meteor& m2 = PlaceMeteor(4, 300, 300, 0, 2);
  Enemy& s = PlaceEnemy(5, 320, 296, 3);
  DoCollisions();
  EXPECT_EQ(s.enemyState, 3);
  EXPECT_FALSE(RectsOverlap(m2.realRect, s.realRect));  // the meteor alone moved out
  EXPECT_EQ(s.rect.left, 316);
}

TEST_F(CollisionsTest, MeteorsPushApartAndSwapSpeeds) {
  Meteor& a = PlaceMeteor(1, 100, 100, 0, 0);
  Meteor& b = PlaceMeteor(0, 120, 100, 0, 0);
  a.velX = 1.0f;
  b.velX = -2.0f;
  DoCollisions();
  EXPECT_FALSE(RectsOverlap(a.realRect, b.realRect));
  EXPECT_FLOAT_EQ(a.velX, -2.0f);
  EXPECT_FLOAT_EQ(b.velX, 1.0f);
  EXPECT_EQ(fakeSERVICES.Count("Bump"), 1);
}

TEST_F(CollisionsTest, WingsBreakOnWingsEnemiesAndMeteors) {
  Object& a = PlaceWing(1, 100, 100);
  Object& b = PlaceWing(0, 110, 100);
  DoCollisions();
  EXPECT_EQ(a.state, 1);
  EXPECT_EQ(b.state, 1);
  Object& w = PlaceWing(3, 300, 100);
  w.velX = 2.0f;
  Meteor& m = PlaceMeteor(0, 310, 100, 1, 0);
  DoCollisions();
  EXPECT_EQ(w.state, 1);
  EXPECT_FLOAT_EQ(m.velX, 2.0f);
  Object& w2 = PlaceWing(5, 500, 100);
  Enemy& e = PlaceEnemy(6, 505, 100);
  DoCollisions();
  EXPECT_EQ(w2.state, 1);
  EXPECT_EQ(e.enemyState, 1);
}

TEST_F(CollisionsTest, ShieldCostsOfContacts) {
  struct Case {
    const char* what;
    UInt8 shield;
  } cases[] = {{"shielded enemy", 8}, {"enemy", 9}, {"wing", 10}, {"large meteor", 9}, {"small meteor", 11}};
  for (const Case& c : cases) {
    for (Enemy& e : _ENEMY) e.flying = 0;
    for (Meteor& m : _METEOR) m.on = 0;
    for (Object& w : _WING) w.on = 0;
    Player& ship = PlaceShip(0, 300, 300);
    std::string what = c.what;
    if (what == "shielded enemy") PlaceEnemy(2, 300, 276, 3);
    if (what == "enemy") PlaceEnemy(2, 300, 276);
    if (what == "wing") PlaceWing(2, 304, 280);
    if (what == "large meteor") PlaceMeteor(2, 300, 276, 0, 0);
    if (what == "small meteor") PlaceMeteor(2, 300, 290, 2, 0);
    DoCollisions();
    EXPECT_EQ(ship.status.shield.target, c.shield) << c.what;
    EXPECT_FLOAT_EQ(ship.velY, float(2.66672)) << c.what;  // knocked down, away
  }
}

TEST_F(CollisionsTest, AShipHitsAMeteorAwayAtHalfItsSpeed) {
  Player& ship = PlaceShip(0, 300, 300);
  ship.velY = -2.0f;
  Meteor& m = PlaceMeteor(2, 300, 276, 0, 0);
  DoCollisions();
  EXPECT_FLOAT_EQ(m.velY, -1.0f);
  Player& still = PlaceShip(1, 100, 300);
  still.velY = 0;
  Meteor& m2 = PlaceMeteor(3, 100, 280, 1, 0);
  DoCollisions();
  EXPECT_FLOAT_EQ(m2.velY, -1.0f);  // at rest: 1.0 away from the ship
  EXPECT_TRUE(m2.flashOn);
}

TEST_F(CollisionsTest, AShipInItsGracePassesThroughAllButTheBoss) {
  Player& ship = PlaceShip(0, 300, 300);
  ship.graceCount = 10;
  PlaceEnemy(2, 300, 290);
  PlaceMeteor(2, 300, 290, 0, 0);
  DoCollisions();
  EXPECT_EQ(ship.status.shield.target, 12);
  ResetBoss(1);
  BOSS.rect = RectAt(280, 150, 72, 200);
  BOSS.realRect = RectAt(288, 158, 56, 184);
  UpdateSpriteLocs(&BOSS);
  DoCollisions();
  EXPECT_FALSE(RectsOverlap(ship.rect, BOSS.realRect));
  EXPECT_EQ(ship.status.shield.target, 12);  // no harm within the grace
  EXPECT_EQ(fakeSERVICES.Count("Metal0") + fakeSERVICES.Count("Metal1"), 1);
}

TEST_F(CollisionsTest, TheBossHurtsOncePerGraceButClanksEveryStep) {
  Player& ship = PlaceShip(0, 300, 300);
  ResetBoss(1);
  for (int step = 0; step < 5; step++) {
    BOSS.rect = RectAt(280, 150, 72, 200);
    BOSS.realRect = RectAt(288, 158, 56, 184);
    UpdateSpriteLocs(&BOSS);
    ship.rect = RectAt(300, 330, 32, 32);
    DoCollisions();
  }
  EXPECT_EQ(ship.status.shield.target, 10);
  EXPECT_EQ(ship.graceCount, 25);
  EXPECT_EQ(fakeSERVICES.Count("Metal0") + fakeSERVICES.Count("Metal1"), 5);
  for (const SoundCall& c : fakeSERVICES.sounds)
    if (c.name.rfind("Metal", 0) == 0) {
      EXPECT_EQ(c.pitch, 0.25f);
    }
  EXPECT_EQ(BOSS.targetVelY, BOSS.velY);
}

TEST_F(CollisionsTest, ShipsMeetingSlowlySwapSpeedsSilently) {
  Player& a = PlaceShip(0, 300, 300);
  Player& b = PlaceShip(1, 320, 300);
  a.velX = 1.5f;
  b.velX = -1.0f;
  DoCollisions();
  EXPECT_FALSE(RectsOverlap(a.rect, b.rect));
  EXPECT_FLOAT_EQ(a.velX, -1.0f);
  EXPECT_FLOAT_EQ(b.velX, 1.0f);
  EXPECT_EQ(fakeSERVICES.sounds.size(), 0u);
  a.rect = RectAt(300, 300, 32, 32);
  b.rect = RectAt(320, 300, 32, 32);
  a.velX = 2.5f;
  DoCollisions();
  EXPECT_EQ(fakeSERVICES.sounds.size(), 1u);
  EXPECT_EQ(a.status.shield.target, 12);
}

TEST_F(CollisionsTest, ABodyBlastedEarlierInTheStepIsPassedOverLater) {
  Player& ship = PlaceShip(0, 300, 300);
  Enemy& whole = PlaceEnemy(1, 300, 280);
  Enemy& spinning = PlaceEnemy(0, 306, 282, 2);
  DoCollisions();
  // The enemies' own contact came first and left both exploding; the
  // ship's contact with them, later in the step, no longer counts.
  EXPECT_EQ(whole.enemyState, 1);
  EXPECT_EQ(spinning.enemyState, 1);
  EXPECT_EQ(ship.status.shield.target, 12);
}
