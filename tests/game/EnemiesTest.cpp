#include <cmath>

#include "GameFixture.h"

class EnemiesTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    curENEMS = 0;
    for (Spark& s : _SPARK) s.active = 0;
  }
};

TEST_F(EnemiesTest, ANewEnemyDropsInFromJustAboveTheField) {
  enemCOUNT = 3;
  DoEnemy();
  Enemy& e = _ENEMY[0];
  ASSERT_TRUE(e.flying);
  EXPECT_EQ(e.rect.bottom, 0);
  EXPECT_EQ(e.rect.top, -32);
  EXPECT_GE(CenterH(e.rect), 16);
  EXPECT_LT(CenterH(e.rect), 624);
  EXPECT_EQ(e.frame, 2);
  EXPECT_EQ(curENEMS, 1);
  EXPECT_EQ(enemCOUNT, 2);
  float units = e.velY / float(0.33334);
  EXPECT_NEAR(units, std::round(units), 1e-5);
  EXPECT_GE(units, 0.99f);
  EXPECT_LE(units, 4.01f);
  EXPECT_EQ(fakeSERVICES.Count("Engine"), 1);
  MoveEnemies();
  EXPECT_TRUE(e.rect.top == -31 || e.rect.top == -30) << e.rect.top;
  EXPECT_TRUE(e.flying);
}

TEST_F(EnemiesTest, ASpawnWaitsForRoomAndSkipsSlotsWithLoosePieces) {
  _WING[0].on = 1;
  randomSEED = 5;
  UInt32 seed = randomSEED;
  DoEnemy();
  Enemy& e = _ENEMY[1];
  ASSERT_TRUE(e.flying);
  SInt16 left = e.rect.left;
  e.flying = 0;
  curENEMS = 0;
  Enemy& blocker = PlaceEnemy(4, left, -32);
  blocker.realRect = blocker.rect;
  randomSEED = seed;
  DoEnemy();
  EXPECT_FALSE(_ENEMY[1].flying);
  EXPECT_EQ(curENEMS, 1);
}

TEST_F(EnemiesTest, SpawningNeedsAReadyWaveAPlayerAndRoomInTheLimit) {
  enemCOUNT = 5;
  useENEMS = 1;
  playerJOINED[0] = playerJOINED[1] = 0;
  MoveEnemies();
  EXPECT_EQ(curENEMS, 0);
  playerJOINED[0] = 1;
  MoveEnemies();
  EXPECT_EQ(curENEMS, 1);
  MoveEnemies();
  EXPECT_EQ(curENEMS, 1);
}

TEST_F(EnemiesTest, EnemiesFallAtLeastSlowlyAndMoveAtMostFast) {
  Enemy& e = PlaceEnemy(2, 300, 100);
  e.velY = 0;
  e.velX = 3.0f;
  shotFREQ = shieldFREQ = 65535;
  animateDELAY = 1;
  MoveEnemies();
  EXPECT_FLOAT_EQ(e.velY, float(0.33334));
  EXPECT_FLOAT_EQ(e.velX, 3.0f);  // the stored speed keeps its value
  EXPECT_FLOAT_EQ(e.centerX, float(316 + 1.33336f));
}

TEST_F(EnemiesTest, LeavingTheFieldFreesTheSlot) {
  Enemy& e = PlaceEnemy(2, 300, 446);
  e.velY = 4.0f;
  for (int i = 0; i < 40 && e.flying; i++) MoveEnemies();
  EXPECT_FALSE(e.flying);
  EXPECT_EQ(curENEMS, 0);
}

TEST_F(EnemiesTest, WithoutSwerveOddsEveryRestingStepPicksANewCourse) {
  Enemy& e = PlaceEnemy(0, 300, 100);
  swerveFREQ = 0;
  UInt32 seed = randomSEED, expected = seed;
  AdjustEnemies();
  SubRandom_Seed(&expected);
  SubRandom_Seed(&expected);
  EXPECT_EQ(randomSEED, expected);  // speed and sign only
  EXPECT_NE(e.targetVelX, 0.0f);
  float base = e.targetVelX;
  AdjustEnemies();
  EXPECT_FLOAT_EQ(e.velX, base > 0 ? float(0.33334) : float(-0.33334));
}

TEST_F(EnemiesTest, BankFramesFollowTheSidewaysSpeed) {
  struct Case {
    float velX;
    UInt8 bank;
  } cases[] = {{-1.33336f, 0}, {-0.5f, 1}, {0.0f, 2}, {0.66668f, 3}, {1.00002f, 4}};
  for (const Case& c : cases) {
    Enemy& e = PlaceEnemy(0, 300, 100);
    e.velX = e.targetVelX = c.velX;
    animateDELAY = 1;
    AdjustEnemies();
    EXPECT_EQ(e.targetBank, c.bank) << c.velX;
  }
}

TEST_F(EnemiesTest, OnlyAnEnemyAtRestSidewaysRaisesAShield) {
  shotFREQ = 65535;
  shieldFREQ = 0;
  Enemy& moving = PlaceEnemy(0, 100, 100);
  moving.velX = 0.33334f;
  Enemy& still = PlaceEnemy(1, 300, 100);
  MoveEnemies();
  EXPECT_EQ(moving.enemyState, 0);
  EXPECT_EQ(still.enemyState, 3);
  EXPECT_EQ(still.rect.right - still.rect.left, 40);
  EXPECT_TRUE(still.shieldCount == 10 || still.shieldCount == 20 || still.shieldCount == 30);
  EXPECT_EQ(fakeSERVICES.Count("Shield"), 1);
}

TEST_F(EnemiesTest, AShieldLoopsItsCountThenDrops) {
  Enemy& e = PlaceEnemy(0, 300, 100, 3);
  e.frame = 0;
  e.shieldCount = 10;
  int steps = 0;
  while (e.enemyState == 3 && steps < 100) AnimateEnemies(), steps++;
  EXPECT_EQ(steps, 2 + 2 * 10);
  EXPECT_EQ(e.rect.right - e.rect.left, 32);
  EXPECT_EQ(e.frame, 2);
}

TEST_F(EnemiesTest, AShieldedEnemyBrakesSideways) {
  Enemy& e = PlaceEnemy(0, 300, 100, 3);
  e.velX = float(-0.66668);
  AdjustEnemies();
  EXPECT_FLOAT_EQ(e.velX, float(-0.33334));
}

TEST_F(EnemiesTest, WhereAHitLandsDecidesTheOutcome) {
  struct Case {
    SInt16 dx;
    SInt32 state;
    UInt8 lostWing;
  } cases[] = {{0, 1, 0}, {15, 1, 0}, {-15, 1, 0}, {16, 2, 1}, {-16, 2, 0}, {40, 2, 1}};
  for (const Case& c : cases) {
    for (Object& w : _WING) w.on = 0;
    Enemy& e = PlaceEnemy(3, 300, 100);
    Rect hitter = RectAt(SInt16(316 + c.dx - 4), 120, 8, 12);
    BlastEnemy(3, &hitter, 0, 1);
    EXPECT_EQ(e.enemyState, c.state) << c.dx;
    if (c.state == 2) {
      EXPECT_EQ(e.lostWing, c.lostWing) << c.dx;
      EXPECT_EQ(c.lostWing ? e.velX < 0 : e.velX > 0, true) << c.dx;
      EXPECT_EQ(c.lostWing ? e.spin < 0 : e.spin > 0, true) << c.dx;
      EXPECT_TRUE(_WING[3].on) << c.dx;
      EXPECT_EQ(_WING[3].side, c.lostWing);
      EXPECT_FALSE(RectsOverlap(_WING[3].realRect, e.realRect));
    } else {
      EXPECT_EQ(e.rect.right - e.rect.left, 40);  // the explosion is drawn larger
    }
  }
}

TEST_F(EnemiesTest, ContactsTearTheWingOffWithoutAWingObject) {
  Enemy& e = PlaceEnemy(3, 300, 100);
  Rect hitter = RectAt(340, 110, 10, 10);
  BlastEnemy(3, &hitter, 0, 0);
  EXPECT_EQ(e.enemyState, 2);
  EXPECT_FALSE(_WING[3].on);
  EXPECT_TRUE(EXPL[0].on);
}

TEST_F(EnemiesTest, ASpinningOrShieldedEnemyAnswersAHit) {
  Enemy& spinning = PlaceEnemy(1, 300, 100, 2);
  Rect hitter = RectAt(300, 110, 40, 10);
  BlastEnemy(1, &hitter, 0, 0);
  EXPECT_EQ(spinning.enemyState, 1);
  Enemy& shielded = PlaceEnemy(2, 100, 100, 3);
  shielded.frame = 2;
  BlastEnemy(2, &hitter, 0, 0);
  EXPECT_EQ(shielded.enemyState, 3);
  EXPECT_EQ(shielded.frame, 0);
  EXPECT_EQ(fakeSERVICES.Count("Bounce"), 1);
}

TEST_F(EnemiesTest, APodAndABombExcludeEachOther) {
  podFREQ = 2;
  int pods = 0, bombs = 0;
  for (int n = 0; n < 60; n++) {
    _POD[0].on = 0;
    Enemy& e = PlaceEnemy(0, 300, 100);
    Rect hitter = RectAt(312, 120, 8, 12);
    BlastEnemy(0, &hitter, 1, 1);
    pods += _POD[0].on;
    bombs += e.flipCount == 5;
    EXPECT_FALSE(_POD[0].on && e.flipCount == 5);
  }
  EXPECT_GT(pods, 10);
  EXPECT_GT(bombs, 0);
}

TEST_F(EnemiesTest, WithBothShipsOnThePodChanceNeverDropsBelowOneInTwo) {
  PlaceShip(0, 100, 300);
  PlaceShip(1, 300, 300);
  podFREQ = 3;
  fakeSERVICES.effects = 0;  // no spark draws
  // One draw r0, then the pod chance 1 in 2: its draw is the second.
  UInt32 seed = 1;
  for (;; seed++) {
    UInt32 s = seed;
    SubRandom_Seed(&s);
    if (SubRandom_Seed(&s) % 2 == 0) break;
  }
  randomSEED = seed;
  PlaceEnemy(0, 300, 100);
  Rect hitter = RectAt(312, 120, 8, 12);
  BlastEnemy(0, &hitter, 1, 1);
  EXPECT_TRUE(_POD[0].on);
}

TEST_F(EnemiesTest, ABombFlipsFourTimesThenBurstsIntoBolts) {
  Enemy& e = PlaceEnemy(0, 300, 100, 1);
  e.frame = 0;
  e.flipCount = 5;
  int steps = 0;
  while (e.flying && steps < 100) AnimateEnemies(), steps++;
  EXPECT_EQ(steps, 7 + 4 * 4 + 8 + 1);
  EXPECT_EQ(fakeSERVICES.Count("Flip"), 4);
  EXPECT_EQ(fakeSERVICES.Count("Boom0"), 1);
  int bolts = 0;
  for (const Shot& s : enemySHOT) bolts += s.on && s.kind == 1;
  EXPECT_TRUE(bolts == 1 || bolts == 8) << bolts;
}

TEST_F(EnemiesTest, ABurstFindsOnlyTheFreeShotSlots) {
  for (int i = 0; i < kEnemyShots; i++) enemySHOT[i].on = 1;
  EXPECT_EQ(FireBolt(100, 100, 1), 0);
  enemySHOT[6].on = 0;
  EXPECT_EQ(FireBolt(100, 100, 2), 1);
  EXPECT_EQ(enemySHOT[6].rect.right - enemySHOT[6].rect.left, 32);
  EXPECT_EQ(enemySHOT[6].flashOn, 2);
}

TEST_F(EnemiesTest, ASpinningEnemyTurnsAndWrapsItsAngle) {
  Enemy& e = PlaceEnemy(0, 300, 100, 2);
  e.spin = -15.0f;
  e.angle = 2;
  MoveEnemies();
  EXPECT_EQ(e.angle, 2 - 5 + 360);
  e.spin = 15.0f;
  e.angle = 357;
  MoveEnemies();
  EXPECT_EQ(e.angle, 2);
}

TEST_F(EnemiesTest, AimedShotsLeaveFromUnderTheEnemy) {
  Enemy& e = PlaceEnemy(5, 300, 100);
  FireEnemyShot(5);
  Shot& s = enemySHOT[5];
  ASSERT_TRUE(s.on);
  EXPECT_EQ(s.rect.left, 308);
  EXPECT_EQ(s.rect.top, 124);
  EXPECT_EQ(s.rect.bottom - s.rect.top, 24);
  EXPECT_FLOAT_EQ(s.velY, float(4.00008));
  EXPECT_EQ(e.fired, 1);
  s.rect.top = 0;
  FireEnemyShot(5);  // the slot is busy
  EXPECT_EQ(s.rect.top, 0);
}

TEST_F(EnemiesTest, BoltsOfColourZeroAlwaysFall) {
  for (int n = 0; n < 40; n++) {
    enemySHOT[0].on = 0;
    ASSERT_EQ(FireBolt(100, 100, 0), 1);
    EXPECT_GT(enemySHOT[0].velY, 0.0f);
  }
  int up = 0;
  for (int n = 0; n < 40; n++) {
    enemySHOT[0].on = 0;
    FireBolt(100, 100, 1);
    up += enemySHOT[0].velY < 0;
  }
  EXPECT_GT(up, 5);
}

TEST_F(EnemiesTest, PlasmaBombsAreExplodingEnemies) {
  enemCOUNT = 4;
  _WING[0].on = 1;
  DoPlasma(200, 100, 2.0f, -3.0f);
  Enemy& e = _ENEMY[0];  // a loose wing does not block a bomb
  EXPECT_TRUE(e.flying);
  EXPECT_EQ(e.enemyState, 1);
  EXPECT_EQ(e.flipCount, 5);
  EXPECT_EQ(e.frame, 4);
  EXPECT_EQ(e.rect.right - e.rect.left, 40);
  EXPECT_FLOAT_EQ(e.velX, float(0.66668));
  EXPECT_EQ(curENEMS, 1);
  EXPECT_EQ(enemCOUNT, 4);
  MoveEnemies();
  EXPECT_FLOAT_EQ(e.velY, float(0.33334));  // an upward bomb sinks
}

class EnemyFireTest : public EnemiesTest {
 protected:
  static Shot& PlaceEnemyShot(int i, SInt16 left, SInt16 top, UInt8 bolt, UInt8 color) {
    Shot& s = enemySHOT[i];
    s.Reset();
    s.rect = RectAt(left, top, bolt ? (color == 2 ? 32 : 24) : 16, bolt ? (color == 2 ? 32 : 24) : 24);
    UpdateSpriteLocs(&s);
    s.on = 1;
    s.kind = bolt;
    s.hits = color;
    s.movingDown = 1;
    s.velY = bolt ? 1.0f : float(4.00008);
    s.targetVelY = s.velY;
    return s;
  }
};

TEST_F(EnemyFireTest, EachKindOfShotCostsTheShipItsShare) {
  struct Case {
    UInt8 bolt, color;
    UInt8 shield;
    bool explosion;
  } cases[] = {{0, 0, 11, false}, {1, 0, 10, false}, {1, 1, 10, false}, {1, 2, 9, true}};
  for (const Case& c : cases) {
    for (Object& e : EXPL) e.on = 0;
    Player& ship = PlaceShip(0, 300, 300);
    ship.status.shield.target = 12;
    Shot& s = PlaceEnemyShot(0, 304, 286, c.bolt, c.color);
    MoveEnemyShots();
    EXPECT_FALSE(s.on);
    EXPECT_EQ(ship.status.shield.target, c.shield) << int(c.bolt) << int(c.color);
    EXPECT_EQ(EXPL[0].on, c.explosion);
    EXPECT_FLOAT_EQ(ship.velY, float(2.66672));  // hit from above: pushed down
    EXPECT_TRUE(ship.flashOn);
  }
}

TEST_F(EnemyFireTest, AShipInItsGracePassesShotsThrough) {
  Player& ship = PlaceShip(0, 300, 300);
  ship.graceCount = 3;
  Shot& s = PlaceEnemyShot(0, 304, 286, 0, 0);
  MoveEnemyShots();
  EXPECT_TRUE(s.on);
  EXPECT_EQ(ship.status.shield.target, 12);
}

TEST_F(EnemyFireTest, OnlyTheHalfInTheDirectionOfTravelIsDangerous) {
  Player& ship = PlaceShip(0, 300, 300);
  // After its move the shot spans 320..344 over a ship ending at 332.
  Shot& down = PlaceEnemyShot(0, 304, 316, 0, 0);
  MoveEnemyShots();
  EXPECT_TRUE(down.on);  // lower half 332..344 misses
  EXPECT_EQ(ship.status.shield.target, 12);
  down.on = 0;
  Shot& up = PlaceEnemyShot(1, 304, 324, 0, 0);
  up.movingDown = 0;
  up.velY = float(-4.00008);
  MoveEnemyShots();
  EXPECT_FALSE(up.on);  // upper half 320..332 hits
  EXPECT_EQ(ship.status.shield.target, 11);
}

TEST_F(EnemyFireTest, ShotsChipAndBreakMeteorsButEnemyShotsDropNoPowerUp) {
  podFREQ = 0;
  Meteor& tough = PlaceMeteor(1, 100, 200, 0, 1);
  Shot& chip = PlaceEnemyShot(1, 108, 190, 1, 1);
  MoveEnemyShots();
  EXPECT_FALSE(chip.on);
  EXPECT_EQ(tough.state, 0);
  EXPECT_EQ(tough.hits, 0);
  EXPECT_EQ(fakeSERVICES.Count("Tap"), 1);
  for (int n = 0; n < 20; n++) {
    Meteor& m = PlaceMeteor(2, 300, 200, 0, 0);
    Shot& s = PlaceEnemyShot(0, 308, 190, 0, 0);
    MoveEnemyShots();
    EXPECT_FALSE(s.on);
    EXPECT_EQ(m.state, 1);
    EXPECT_EQ(m.hits, 255);
  }
  EXPECT_FALSE(POW[0].on || POW[1].on);
}

TEST_F(EnemyFireTest, AnAimedShotBouncesOffAShieldAndTurnsDangerousUpward) {
  Enemy& e = PlaceEnemy(4, 300, 200, 3);
  Shot& s = PlaceEnemyShot(0, 312, 170, 0, 0);
  MoveEnemyShots();
  EXPECT_TRUE(s.on);
  EXPECT_EQ(s.movingDown, 0);
  EXPECT_LT(s.velY, 0.0f);
  EXPECT_LT(s.rect.bottom, e.realRect.top);
  EXPECT_EQ(e.enemyState, 3);
}

TEST_F(EnemyFireTest, EnemyFireBlastsOtherEnemiesAndWingsWithoutPods) {
  podFREQ = 0;
  Enemy& e = PlaceEnemy(4, 300, 200);
  Shot& s = PlaceEnemyShot(0, 308, 190, 0, 0);
  MoveEnemyShots();
  EXPECT_FALSE(s.on);
  EXPECT_EQ(e.enemyState, 1);
  EXPECT_FALSE(_POD[4].on);
  Object& w = _WING[6];
  w.on = 1;
  w.state = 0;
  w.rect = w.realRect = RectAt(100, 200, 24, 24);
  PlaceEnemyShot(1, 104, 190, 1, 0);
  MoveEnemyShots();
  EXPECT_EQ(w.state, 1);
}

TEST_F(EnemyFireTest, AShotLeavingTheFieldHitsNothing) {
  Player& ship = PlaceShip(0, 300, 420);
  Shot& s = PlaceEnemyShot(0, 304, 446, 1, 1);
  s.velY = 3.0f;
  MoveEnemyShots();
  EXPECT_FALSE(s.on);
  EXPECT_EQ(ship.status.shield.target, 12);
}

TEST_F(EnemyFireTest, TheBigBoltWanders) {
  Shot& s = PlaceEnemyShot(0, 300, 100, 1, 2);
  s.velX = s.targetVelX = 1.0f;
  s.flashOn = 0;
  s.targetVelX = 3.0f;
  animateDELAY = 0;
  MoveEnemyShots();
  EXPECT_FLOAT_EQ(s.velX, 2.0f);
  EXPECT_EQ(s.flashOn, 2);
}
