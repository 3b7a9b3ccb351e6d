#include "GameFixture.h"

namespace gd = gamedriver;

class PlayersTest : public GameTest {
 protected:
  // One step of input for player 0 through ShipActions alone.
  static void Drive(bool left, bool right) {
    mainINPUT[InputSlot(kActionLeft, 0)] = left;
    mainINPUT[InputSlot(kActionRight, 0)] = right;
    ShipActions();
  }
};

TEST_F(PlayersTest, EasingFollowsSinglePrecisionArithmetic) {
  Player& ship = PlaceShip(0, 300, 300);
  for (int i = 0; i < 16; i++) Drive(false, true);
  EXPECT_FLOAT_EQ(ship.velX, 2.66672015f);
  EXPECT_NE(ship.velX, float(2.66672));  // the sum of 16 float steps, not the constant
  Drive(false, true);
  EXPECT_FLOAT_EQ(ship.velX, 2.75005531f);  // the overshoot of step 17
  ship.velX = 0;
  for (int i = 0; i < 16; i++) Drive(true, false);
  EXPECT_FLOAT_EQ(ship.velX, -2.58338523f);
}

TEST_F(PlayersTest, ReleasedAfterSixteenStepsTheShipStopsInThirtyThree) {
  Player& ship = PlaceShip(0, 300, 300);
  for (int i = 0; i < 16; i++) Drive(false, true);
  int steps = 0;
  while (ship.velX != 0.0f && steps < 100) {
    Drive(false, false);
    steps++;
  }
  EXPECT_EQ(steps, 33);
}

TEST_F(PlayersTest, BothDirectionsAtOnceMeanNoInput) {
  Player& ship = PlaceShip(0, 300, 300);
  ship.velX = 1.0f;
  Drive(true, true);
  EXPECT_EQ(ship.movingH, 0);
  EXPECT_EQ(ship.targetVelX, 0.0f);
  EXPECT_FLOAT_EQ(ship.velX, float(1.0 - 0.083335));
}

TEST_F(PlayersTest, AnalogueAxisSetsAProportionalTarget) {
  Player& ship = PlaceShip(1, 300, 300);
  SetInputAxis(1, 1, -3);
  ShipActions();
  EXPECT_EQ(ship.movingH, 1);
  EXPECT_FLOAT_EQ(ship.targetVelX, float(0.33334 * -3));
}

TEST_F(PlayersTest, EdgesBounceAndContain) {
  Player& ship = PlaceShip(0, 620, 100);
  ship.velX = 2.0f;
  ship.velY = -1.0f;
  AdjustPlayers();
  EXPECT_FLOAT_EQ(ship.velX, -1.5f);
  EXPECT_FLOAT_EQ(ship.velY, -1.0f);
  EXPECT_EQ(ship.rect.right, 640);
  EXPECT_EQ(ship.centerX, 624.0f);
  Player& low = PlaceShip(1, 100, 430);
  low.velY = 4.0f;
  AdjustPlayers();
  EXPECT_FLOAT_EQ(low.velY, -3.0f);
  EXPECT_EQ(low.rect.bottom, 448);
}

TEST_F(PlayersTest, BankFollowsTheTruncatedSpeedOneFrameAStep) {
  struct Case {
    float velX;
    UInt8 bank;
  } cases[] = {{-9.5f, 2}, {-8.5f, 0}, {-2.9f, 0}, {-1.5f, 1}, {-0.9f, 2}, {0.9f, 2}, {1.2f, 3}, {2.0f, 4}, {8.9f, 4}};
  for (const Case& c : cases) {
    Player& ship = PlaceShip(0, 300, 300);
    ship.bankTarget = 2;
    ship.velX = c.velX;
    AdjustPlayers();
    EXPECT_EQ(ship.bankTarget, c.bank) << c.velX;
    EXPECT_EQ(ship.frame, c.bank < 2 ? 1 : (c.bank > 2 ? 3 : 2)) << c.velX;
  }
}

TEST_F(PlayersTest, ASingleShotLeavesFromTheLeftOfTheShip) {
  Player& ship = PlaceShip(0, 300, 300);
  FireShot(0);
  const Shot& s = SHOT[0][0];
  ASSERT_TRUE(s.on);
  EXPECT_EQ(s.rect.left, 302);
  EXPECT_EQ(s.rect.right, 310);
  EXPECT_EQ(s.rect.top, 284);
  EXPECT_EQ(s.rect.bottom, 308);
  EXPECT_FLOAT_EQ(s.velY, float(-4.00008));
  EXPECT_FALSE(SHOT[0][1].on);
  EXPECT_EQ(fakeSERVICES.Count("Shot0"), 1);
  EXPECT_EQ(ship.fireFlame, 1);
}

TEST_F(PlayersTest, ADoubleShotWithOneFreeSlotFiresOneAndUsesACell) {
  Player& ship = PlaceShip(0, 300, 300);
  ship.status.doubles.target = 5;
  for (int i = 1; i < kShots; i++) PlaceShot(0, i, 10, 10);
  FireShot(0);
  EXPECT_EQ(ship.status.doubles.target, 4);
  EXPECT_TRUE(SHOT[0][0].on);
  EXPECT_TRUE(SHOT[0][0].doubled);
  EXPECT_EQ(SHOT[0][0].rect.left, 302);  // the first of the pair
  EXPECT_FLOAT_EQ(ship.velY, float(0.66668));
  EXPECT_EQ(ship.fireFlame, 2);
  EXPECT_EQ(fakeSERVICES.Count("Shot2"), 1);
}

TEST_F(PlayersTest, ADoubleBurstPlacesBothShots) {
  Player& ship = PlaceShip(1, 300, 300);
  ship.status.doubles.target = 1;
  FireShot(1);
  EXPECT_EQ(SHOT[1][0].rect.left, 302);
  EXPECT_EQ(SHOT[1][1].rect.left, 322);  // right - 4 - 6
  EXPECT_EQ(ship.status.doubles.target, 0);
}

TEST_F(PlayersTest, FireRepeatsOnlyOnAFreshPress) {
  PlaceShip(0, 300, 300);
  gd::Hold(0, gd::kFire);
  gd::Steps(4);
  int shots = 0;
  for (const Shot& s : SHOT[0]) shots += s.on;
  EXPECT_EQ(shots, 1);
}

TEST_F(PlayersTest, ScoresStayWithinTheirRange) {
  PlaceShip(0, 300, 300);
  struct Case {
    SInt32 before;
    SInt16 delta;
    SInt32 after;
  } cases[] = {{9999995, 150, 9999999}, {100, -150, 0}, {500, 250, 750}};
  for (const Case& c : cases) {
    playerSCORE[0] = c.before;
    AdjustScore(0, c.delta);
    EXPECT_EQ(playerSCORE[0], c.after);
  }
  playerSCORE[1] = 40;
  AdjustScore(1, 150);  // no ship
  EXPECT_EQ(playerSCORE[1], 40);
  _PLAYER[0].dying = 1;
  AdjustScore(0, 150);
  EXPECT_EQ(playerSCORE[0], 750);
}

TEST_F(PlayersTest, SharedScoreGoesToTheMainPlayer) {
  fakeSERVICES.sharedScore = 1;
  PlaceShip(0, 100, 300);
  PlaceShip(1, 300, 300);
  mainPLAYER = 0;
  playerSCORE[0] = playerSCORE[1] = 0;
  AdjustScore(1, 150);
  EXPECT_EQ(playerSCORE[0], 150);
  EXPECT_EQ(playerSCORE[1], 0);
}

TEST_F(PlayersTest, AnEmptyShieldKillsTheShip) {
  Player& ship = PlaceShip(0, 300, 300);
  AdjustShield(0, -4);
  EXPECT_EQ(ship.status.shield.target, 8);
  EXPECT_EQ(ship.dying, 0);
  AdjustShield(0, -12);
  EXPECT_EQ(ship.dying, 1);
  EXPECT_EQ(deathDELAY, 50);
  EXPECT_EQ(ship.status.doubles.target, 0);
  EXPECT_EQ(fakeSERVICES.Count("Boom1"), 2);
  EXPECT_EQ(ship.deathRect.left, 300.0f);
}

TEST_F(PlayersTest, DeathSparksHalveWhenBothShipsFly) {
  PlaceShip(0, 100, 300);
  KillPlayer(0);
  EXPECT_EQ(SparksActive(), 256);
  for (Spark& s : _SPARK) s.active = 0;
  PlaceShip(0, 100, 300);
  PlaceShip(1, 300, 300);
  KillPlayer(1);
  EXPECT_EQ(SparksActive(), 128);
  for (const Spark& s : _SPARK)
    if (s.active) {
      EXPECT_EQ(s.fades, 0);  // a dying ship's sparks keep their colour
    }
  EXPECT_EQ(sparkGRAVITY, 1);
}

TEST_F(PlayersTest, WithEffectsOffADeathMakesNoSparks) {
  fakeSERVICES.effects = 0;
  PlaceShip(0, 100, 300);
  UInt32 seed = randomSEED;
  KillPlayer(0);
  EXPECT_EQ(SparksActive(), 0);
  EXPECT_EQ(randomSEED, seed);
}

TEST_F(PlayersTest, ADyingShipGrowsItsRingFadesAndLeaves) {
  PlaceShip(0, 100, 300);
  PlaceShip(1, 300, 300);
  enemCOUNT = 25;
  KillPlayer(0);
  Player& ship = _PLAYER[0];
  MovePlayers();
  EXPECT_FLOAT_EQ(ship.deathRect.left, float(100 - 2.66672f));
  EXPECT_FLOAT_EQ(ship.deathRect.top, float(300 - 1.33336f));
  int steps = 0;
  while (ship.on && steps < 200) {
    AnimatePlayers();
    steps++;
    if (steps == 10) {
      EXPECT_EQ(ship.alpha, 1.0f);
    }
  }
  EXPECT_EQ(steps, 54);  // 10 steps whole, then 0.9 a step down to 0.01
  EXPECT_EQ(enemCOUNT, 12);
}

TEST_F(PlayersTest, JoiningGivesAFullShieldAndDoublesTheEnemies) {
  PlaceShip(0, 100, 300);
  enemCOUNT = 12;
  playerJOINED[1] = 0;
  JoinPlayer(1);
  Player& ship = _PLAYER[1];
  EXPECT_TRUE(ship.on);
  EXPECT_EQ(ship.graceCount, 50);
  EXPECT_EQ(ship.status.shield.target, 12);
  EXPECT_EQ(enemCOUNT, 24);
  EXPECT_EQ(ship.status.bounds.top, 448 + 32);  // hidden below, then slides up
  EXPECT_EQ(ship.status.slide, -8);
  EXPECT_EQ(ship.rect.top, 448 - 16 - 64);
  EXPECT_EQ(ship.rect.left, 480 - 16);
  EXPECT_EQ(fakeSERVICES.Count("Power"), 1);
}

TEST_F(PlayersTest, FirePressedWhileTheOtherIsDyingMakesTheJoinerMain) {
  PlaceShip(0, 100, 300);
  mainPLAYER = 0;
  KillPlayer(0);
  playerJOINED[1] = 0;
  mainINPUT[InputSlot(kActionFire, 1)] = 1;
  MovePlayers();
  EXPECT_EQ(playerJOINED[1], 1);
  EXPECT_EQ(mainPLAYER, 1);
}

TEST_F(PlayersTest, NoJoiningAtAWaveEndOrGameOverAndTheDeadStayOut) {
  playerJOINED[1] = 0;
  waveFINISH = 1;
  JoinPlayer(1);
  EXPECT_FALSE(_PLAYER[1].on);
  waveFINISH = 0;
  gameOVER = 1;
  JoinPlayer(1);
  EXPECT_FALSE(_PLAYER[1].on);
  gameOVER = 0;
  // A player who has died has joined this game: fire does not bring them back.
  PlaceShip(0, 100, 300);
  KillPlayer(0);
  _PLAYER[0].on = 0;
  JoinPlayer(0);
  EXPECT_FALSE(_PLAYER[0].on);
}

TEST_F(PlayersTest, AfterTheBossIsBeatenNobodyFiresOrJoins) {
  PlaceShip(0, 100, 300);
  playerJOINED[1] = 0;
  bossDONE = 1;
  mainINPUT[InputSlot(kActionFire, 0)] = mainINPUT[InputSlot(kActionFire, 1)] = 1;
  MovePlayers();
  EXPECT_FALSE(SHOT[0][0].on);
  EXPECT_FALSE(_PLAYER[1].on);
}

TEST_F(PlayersTest, KillBothPlayersEmptiesEveryShield) {
  PlaceShip(0, 100, 300);
  PlaceShip(1, 300, 300);
  KillBothPlayers();
  EXPECT_EQ(_PLAYER[0].dying, 1);
  EXPECT_EQ(_PLAYER[1].dying, 1);
}

TEST_F(PlayersTest, WithSharedScoreAJoinerTakesOverTheScoreOfTheDead) {
  fakeSERVICES.sharedScore = 1;
  PlaceShip(0, 100, 300);
  mainPLAYER = 0;
  playerSCORE[0] = 5000;
  enemCOUNT = 12;
  KillPlayer(0);
  playerJOINED[1] = 0;
  JoinPlayer(1);
  EXPECT_EQ(mainPLAYER, 1);
  EXPECT_EQ(playerSCORE[1], 5000);
  EXPECT_EQ(playerSCORE[0], 0);
  EXPECT_EQ(enemCOUNT, 12);  // one score, no doubled enemies
}

TEST_F(PlayersTest, WithSharedScoreTheSurvivorCarriesTheScoreOn) {
  fakeSERVICES.sharedScore = 1;
  PlaceShip(0, 100, 300);
  PlaceShip(1, 300, 300);
  mainPLAYER = 0;
  playerSCORE[0] = 700;
  playerSCORE[1] = 0;
  KillPlayer(0);
  EXPECT_EQ(mainPLAYER, 1);
  EXPECT_EQ(playerSCORE[1], 700);
  EXPECT_EQ(playerSCORE[0], 0);
}
