#include "GameFixture.h"

class ShotsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    PlaceShip(0, 20, 400);
    PlaceShip(1, 600, 400);
    playerSCORE[0] = playerSCORE[1] = 0;
    podFREQ = 10;
  }
};

TEST_F(ShotsTest, AShotMovesAndHitsWithItsLeadingTwelvePixels) {
  Shot& s = PlaceShot(0, 0, 300, 352);
  MoveShots();
  EXPECT_EQ(s.rect.top, 347);  // 352 - 4.00008, truncated
  EXPECT_EQ(s.realRect.top, 347);
  EXPECT_EQ(s.realRect.bottom, 359);
  MoveShots();
  EXPECT_EQ(s.rect.top, 343);
  MoveShots();
  EXPECT_EQ(s.rect.top, 339);
}

TEST_F(ShotsTest, AShotThatLeftTheFieldHitsNothing) {
  Meteor& m = PlaceMeteor(0, 300, -20, 2, 0);
  Shot& s = PlaceShot(0, 0, 304, -22);
  MoveShots();
  EXPECT_FALSE(s.on);
  EXPECT_EQ(m.state, 0);
}

TEST_F(ShotsTest, HitsAwardPointsByTarget) {
  struct Case {
    const char* what;
    SInt32 points;
  };
  // Meteors: points only when the hit destroys them.
  struct MeteorCase {
    UInt8 size, hits, doubled;
    SInt32 points;
    UInt8 state;
  } meteors[] = {{0, 0, 0, 1500, 1}, {1, 0, 0, 1000, 1}, {2, 0, 0, 500, 1}, {0, 3, 0, 0, 0}, {0, 3, 1, 1500, 1}};
  for (const MeteorCase& c : meteors) {
    playerSCORE[0] = 0;
    Meteor& m = PlaceMeteor(3, 300, 200, c.size, c.hits);
    Shot& s = PlaceShot(0, 0, 304, 214, c.doubled);
    MoveShots();
    EXPECT_EQ(playerSCORE[0], c.points) << int(c.size) << int(c.hits);
    EXPECT_EQ(m.state, c.state);
    EXPECT_EQ(s.on, c.doubled) << "a doubled shot flies on";
    m.on = 0;
  }
  // Enemies: centre and side hits, spinning enemies.
  struct EnemyCase {
    SInt16 dx;
    SInt32 state;
    SInt32 points;
  } enemies[] = {{0, 0, 150}, {16, 0, 150}, {-15, 0, 150}, {0, 2, 250}};
  for (const EnemyCase& c : enemies) {
    playerSCORE[1] = 0;
    for (Object& w : _WING) w.on = 0;
    Enemy& e = PlaceEnemy(5, 300, 200, c.state);
    PlaceShot(1, 2, SInt16(316 + c.dx - 4), 214);
    MoveShots();
    EXPECT_EQ(playerSCORE[1], c.points) << c.dx;
    EXPECT_NE(e.enemyState, c.state) << c.dx;
    e.flying = 0;
  }
  // A wing.
  Object& w = _WING[2];
  w.on = 1;
  w.state = 0;
  w.rect = w.realRect = RectAt(100, 200, 24, 24);
  playerSCORE[0] = 0;
  PlaceShot(0, 4, 108, 214);
  MoveShots();
  EXPECT_EQ(playerSCORE[0], 350);
  EXPECT_EQ(w.state, 1);
}

TEST_F(ShotsTest, NoMeteorPointsWhileTheBossIsOn) {
  ResetBoss(0);
  BOSS.realRect = RectAt(0, 0, 1, 1);
  PlaceMeteor(3, 300, 200, 0, 0);
  PlaceShot(0, 0, 304, 214);
  MoveShots();
  EXPECT_EQ(_METEOR[3].state, 1);
  EXPECT_EQ(playerSCORE[0], 0);
}

TEST_F(ShotsTest, ADoubledShotBreaksTwoMeteorsInOneStep) {
  PlaceMeteor(1, 300, 200, 2, 1);
  PlaceMeteor(6, 296, 210, 2, 1);
  Shot& s = PlaceShot(0, 0, 304, 214, 1);
  MoveShots();
  EXPECT_EQ(_METEOR[1].state, 1);
  EXPECT_EQ(_METEOR[6].state, 1);
  EXPECT_TRUE(s.on);
  EXPECT_EQ(playerSCORE[0], 1000);
}

TEST_F(ShotsTest, AShieldSendsAShotBackAtItsOwnShip) {
  Enemy& e = PlaceEnemy(4, 300, 100, 3);
  Shot& s = PlaceShot(0, 0, 312, 140);
  MoveShots();
  EXPECT_TRUE(s.on);
  EXPECT_EQ(s.movingDown, 1);
  EXPECT_GT(s.velY, 0.0f);
  EXPECT_GT(s.rect.top, e.realRect.bottom);
  EXPECT_EQ(playerSCORE[0], 150);
  EXPECT_EQ(e.enemyState, 3);
  EXPECT_EQ(fakeSERVICES.Count("Bounce"), 1);  // BlastEnemy ran on the shield
  // Coming down on the other player: passes.
  Player& other = _PLAYER[1];
  other.rect = RectAt(SInt16(s.rect.left - 8), SInt16(s.rect.bottom + 2), 32, 32);
  Player& own = _PLAYER[0];
  own.rect = RectAt(SInt16(s.rect.left - 8), SInt16(s.rect.bottom + 2), 32, 32);
  MoveShots();
  EXPECT_FALSE(s.on);
  EXPECT_EQ(own.status.shield.target, 11);
  EXPECT_EQ(other.status.shield.target, 12);
  EXPECT_FLOAT_EQ(own.velY, float(2.66672));
}

TEST_F(ShotsTest, ADoubledShotBreaksAShieldAndFliesOn) {
  Enemy& e = PlaceEnemy(4, 300, 100, 3);
  Shot& s = PlaceShot(0, 0, 312, 140, 1);
  MoveShots();
  EXPECT_TRUE(s.on);
  EXPECT_EQ(s.movingDown, 0);
  EXPECT_EQ(playerSCORE[0], 150);
  EXPECT_NE(e.enemyState, 3);
}

TEST_F(ShotsTest, ADoubledShotClearsEnemyShots) {
  Shot& bolt = enemySHOT[3];
  bolt.on = 1;
  bolt.kind = 1;
  bolt.hits = 1;
  bolt.rect = bolt.realRect = RectAt(300, 200, 24, 24);
  Shot& aimed = enemySHOT[4];
  aimed.on = 1;
  aimed.kind = 0;
  aimed.rect = aimed.realRect = RectAt(100, 200, 16, 24);
  Shot& plain = PlaceShot(0, 0, 306, 214);
  MoveShots();
  EXPECT_TRUE(bolt.on);  // a plain shot passes enemy shots
  EXPECT_TRUE(plain.on);
  PlaceShot(0, 1, 306, 214, 1);
  PlaceShot(0, 2, 104, 214, 1);
  MoveShots();
  EXPECT_FALSE(bolt.on);
  EXPECT_FALSE(aimed.on);
  EXPECT_EQ(fakeSERVICES.Count("Bounce"), 2);
}

TEST_F(ShotsTest, PlayerOnesShotsGoFirst) {
  Meteor& m = PlaceMeteor(0, 300, 200, 2, 0);
  PlaceShot(0, 0, 304, 214);
  PlaceShot(1, 7, 304, 214);
  MoveShots();
  EXPECT_EQ(m.state, 1);
  EXPECT_EQ(playerSCORE[1], 500);
  EXPECT_EQ(playerSCORE[0], 0);
  EXPECT_TRUE(SHOT[0][0].on);  // the meteor was already breaking
}

TEST_F(ShotsTest, AGoneShipsShotsStillHitButScoreNothing) {
  PlaceMeteor(0, 300, 200, 2, 0);
  PlaceShot(0, 0, 304, 214);
  _PLAYER[0].on = 0;
  _PLAYER[1].on = 0;
  MoveShots();
  EXPECT_EQ(_METEOR[0].state, 1);
  EXPECT_EQ(playerSCORE[0], 0);  // scores only go to a ship in play
}
