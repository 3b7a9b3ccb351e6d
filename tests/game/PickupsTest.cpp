#include "GameFixture.h"

class PickupsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    _PLAYER[0].on = _PLAYER[1].on = 0;
    playerSCORE[0] = playerSCORE[1] = 0;
    animateDELAY = 1;
  }
};

TEST_F(PickupsTest, APodFillsOneBonusCellAndScoresFifty) {
  Player& ship = PlaceShip(0, 300, 300);
  _ENEMY[3].velY = 1.0f;
  DoPod(3, 316, 300);
  Object& pod = _POD[3];
  ASSERT_TRUE(pod.on);
  EXPECT_EQ(pod.rect.left, 308);
  MovePods();
  EXPECT_FALSE(pod.on);
  EXPECT_EQ(ship.status.bonus.target, 1);
  EXPECT_EQ(playerSCORE[0], 50);
  EXPECT_EQ(fakeSERVICES.Count("Pod"), 1);
  DoPod(3, 316, 300);
  ship.status.bonus.target = 12;
  MovePods();
  EXPECT_TRUE(pod.on);  // a full row lets pods pass
  EXPECT_EQ(playerSCORE[0], 50);
}

TEST_F(PickupsTest, BothPlayersCanCollectOnePickupInTheSameStep) {
  PlaceShip(0, 300, 300);
  PlaceShip(1, 310, 300);
  _ENEMY[0].velY = 0;
  DoPod(0, 320, 310);
  MovePods();
  EXPECT_EQ(playerSCORE[0], 50);
  EXPECT_EQ(playerSCORE[1], 50);
  DoPow(320, 310, 0, 0);
  POW[0].hits = 1;
  MovePows();
  EXPECT_EQ(playerSCORE[1], 150);
  EXPECT_EQ(_PLAYER[0].status.doubles.target, 18);
}

TEST_F(PickupsTest, APodLeavingTheFieldAsItIsTouchedIsStillCollected) {
  Player& ship = PlaceShip(0, 300, 416);
  _ENEMY[2].velY = 3.0f;
  DoPod(2, 316, 446);
  MovePods();
  EXPECT_EQ(ship.status.bonus.target, 1);
}

TEST_F(PickupsTest, PowerUpsTopUpTheShieldOrFillTheDoubles) {
  Player& ship = PlaceShip(0, 300, 300);
  ship.status.shield.target = 5;
  DoPow(316, 310, 0, 0);
  POW[0].hits = 0;
  MovePows();
  EXPECT_EQ(ship.status.shield.target, 9);
  EXPECT_EQ(playerSCORE[0], 300);
  ship.status.doubles.target = 5;
  DoPow(316, 310, 0, 0);
  POW[0].hits = 1;
  MovePows();
  EXPECT_EQ(ship.status.doubles.target, 18);  // the whole row, not 23
  EXPECT_EQ(playerSCORE[0], 400);
  EXPECT_EQ(fakeSERVICES.Count("Power"), 2);
}

TEST_F(PickupsTest, TwoDropsInThreeAreDoubles) {
  int doubles = 0;
  for (int n = 0; n < 300; n++) {
    POW[0].on = POW[1].on = 0;
    DoPow(100, 100, 0, 0);
    doubles += POW[0].hits;
  }
  EXPECT_GT(doubles, 170);
  EXPECT_LT(doubles, 230);
  DoPow(100, 100, 0, 0);
  DoPow(100, 100, 0, 0);
  UInt32 seed = randomSEED;
  DoPow(100, 100, 0, 0);  // both slots busy
  EXPECT_EQ(randomSEED, seed);
}

TEST_F(PickupsTest, AWingDriftsToItsSideAndDrawsEvenWhenBusy) {
  _ENEMY[1].lostWing = 0;
  _ENEMY[1].velY = 1.0f;
  DoWing(1, 200, 100);
  Object& w = _WING[1];
  EXPECT_LT(w.velX, 0.0f);
  EXPECT_LT(w.spin, 0.0f);
  EXPECT_EQ(w.rect.right - w.rect.left, 24);
  EXPECT_EQ(w.frame, 1);
  UInt32 seed = randomSEED, expected = seed;
  DoWing(1, 200, 100);
  SubRandom_Seed(&expected);
  EXPECT_EQ(randomSEED, expected);
  w.spin = -10;
  w.angle = 1;
  MoveWings();
  EXPECT_EQ(w.angle, 1 - 3 + 360);
}

TEST_F(PickupsTest, PickupsPulseAndClick) {
  DoPod(0, 100, 100);
  Object& pod = _POD[0];
  AnimatePods();
  EXPECT_EQ(fakeSERVICES.Count("Flip"), 1);
  EXPECT_FLOAT_EQ(pod.scale, float(1.0 + 0.07));
  for (int i = 0; i < 4; i++) AnimatePods();
  EXPECT_EQ(pod.pulseDir, -1);
  EXPECT_GE(pod.scale, 1.3f);
  DoPow(100, 100, 0, 0);
  POW[0].hits = 0;
  for (int i = 0; i < 16; i++) AnimatePows();
  EXPECT_EQ(fakeSERVICES.Count("Flip"), 1 + 2);  // the shield clicks at frames 0 and 8
  EXPECT_EQ(POW[0].frame, 0);
}

TEST_F(PickupsTest, APanelSlidesUpByHalvesToRestOnTheBottom) {
  PlaceShip(0, 300, 300);
  StatusBar& bar = _PLAYER[0].status;
  bar.on = 1;
  bar.bounds.top = 480;
  bar.bounds.bottom = 512;
  int bottoms[7];
  for (int i = 0; i < 7; i++) AnimateStatus(), bottoms[i] = bar.bounds.bottom;
  EXPECT_EQ(bottoms[0], 496);
  EXPECT_EQ(bottoms[1], 488);
  EXPECT_EQ(bottoms[5], 480);
  EXPECT_EQ(bottoms[6], 480);
  EXPECT_EQ(bar.shield.rect[0].top, 448 + 8);
}

TEST_F(PickupsTest, AFullBonusRowPaysTwice) {
  Player& ship = PlaceShip(0, 300, 300);
  StatusBar& bar = ship.status;
  bar.on = 1;
  ship.status.shield.target = 4;
  bar.bonus.target = 12;
  int steps = 0;
  while (playerSCORE[0] == 0 && steps < 100) AnimateStatus(), steps++;
  EXPECT_EQ(steps, 12 + 12);  // twelve cells lit, the last settles on the thirteenth
  EXPECT_EQ(playerSCORE[0], 10000);
  EXPECT_EQ(bar.shield.target, 12);
  EXPECT_EQ(bar.doubles.target, 18);
  EXPECT_EQ(bar.bonus.target, 0);
  AnimateStatus();
  EXPECT_EQ(playerSCORE[0], 20000);
  for (int i = 0; i < 30; i++) AnimateStatus();
  EXPECT_EQ(playerSCORE[0], 20000);
  EXPECT_EQ(fakeSERVICES.Count("Super"), 2);
}

TEST_F(PickupsTest, WingsTumbleAndBreakUp) {
  DoWing(2, 200, 100);
  Object& w = _WING[2];
  for (int i = 0; i < 4; i++) AnimateWings();
  EXPECT_EQ(w.frame, 1);
  BlastWing(2);
  EXPECT_EQ(w.state, 1);
  EXPECT_EQ(w.rect.right - w.rect.left, 32);
  for (int i = 0; i < 7; i++) AnimateWings();
  EXPECT_TRUE(w.on);
  AnimateWings();
  EXPECT_FALSE(w.on);
}
