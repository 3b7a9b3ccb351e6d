// The number of random draws each action takes is part of the game's
// behaviour: one draw more or less shifts every later decision.
#include <functional>

#include "GameFixture.h"

namespace {

// Draws taken between two states of the random sequence (-1: over 10000).
int DrawsBetween(UInt32 from, UInt32 to) {
  for (int n = 0; n <= 10000; n++) {
    if (from == to) return n;
    SubRandom_Seed(&from);
  }
  return -1;
}

}  // namespace

class DrawCountTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    fakeSERVICES.effects = 0;  // sparks would add four draws each
    curENEMS = 0;
  }
  int Count(const std::function<void()>& action) {
    UInt32 before = randomSEED;
    action();
    return DrawsBetween(before, randomSEED);
  }
};

TEST_F(DrawCountTest, EachActionDrawsItsNumbers) {
  struct Case {
    const char* action;
    std::function<void()> run;
    int draws;
  } cases[] = {
      {"an enemy arrives", [] { DoEnemy(); }, 2},
      {"an enemy finds no room",
       [] {
         for (Enemy& e : _ENEMY) e.flying = 0;
         _METEOR[0].on = 1;
         _METEOR[0].realRect = {-100, -100, 1000, 1000};
         DoEnemy();
         _METEOR[0].on = 0;
       },
       1},
      {"a bolt of colour 0",
       [] {
         enemySHOT[0].on = 0;
         FireBolt(100, 100, 0);
       },
       4},
      {"a bolt of colour 1",
       [] {
         enemySHOT[0].on = 0;
         FireBolt(100, 100, 1);
       },
       5},
      {"no bolt slot",
       [] {
         for (Shot& s : enemySHOT) s.on = 1;
         FireBolt(100, 100, 1);
         for (Shot& s : enemySHOT) s.on = 0;
       },
       0},
      {"a boss starts", [] { ResetBoss(0); }, 4},
      {"a wing, slot busy",
       [] {
         _WING[2].on = 1;
         DoWing(2, 100, 100);
         _WING[2].on = 0;
       },
       1},
      {"a wing",
       [] {
         DoWing(3, 100, 100);
         _WING[3].on = 0;
       },
       2},
      {"a power-up",
       [] {
         POW[0].on = POW[1].on = 0;
         DoPow(100, 100, 0, 0);
         POW[0].on = 0;
       },
       1},
      {"a meteor chipped",
       [] {
         Rect r = {0, 0, 8, 8};
         _METEOR[1].hits = 2;
         _METEOR[1].on = 1;
         BlastMeteor(1, &r, 0, 0);
         _METEOR[1].on = 0;
       },
       0},
      {"a small meteor broken",
       [] {
         Rect r = {0, 0, 8, 8};
         _METEOR[1].hits = 0;
         _METEOR[1].kind = 2;
         BlastMeteor(1, &r, 0, 0);
       },
       0},
      {"a large meteor broken by an enemy",
       [] {
         Rect r = {0, 0, 8, 8};
         _METEOR[1].hits = 0;
         _METEOR[1].kind = 0;
         BlastMeteor(1, &r, 2, 0);
       },
       0},
      {"a large meteor broken by a player",
       [] {
         Rect r = {0, 0, 8, 8};
         POW[0].on = POW[1].on = 1;
         _METEOR[1].hits = 0;
         _METEOR[1].kind = 0;
         BlastMeteor(1, &r, 0, 0);
         POW[0].on = POW[1].on = 0;
       },
       1},
  };
  for (Case& c : cases) EXPECT_EQ(Count(c.run), c.draws) << c.action;
}

TEST_F(DrawCountTest, AHitEnemyDrawsByWhereItIsHit) {
  podFREQ = 100;  // the pod chance fails for this seed
  struct Case {
    const char* hit;
    SInt16 dx;
    SInt32 state;
    unsigned char pod, wing;
    int draws;
  } cases[] = {
      {"centre, no pod flag", 0, 0, 0, 0, 2},  // r0, bomb
      {"centre, pod flag", 0, 0, 1, 0, 3},     // r0, pod chance, bomb
      {"side, no wing", 20, 0, 0, 0, 2},       // r0, speed
      {"side, wing", 20, 0, 0, 1, 4},          // r0, speed, wing r0 and speed
      {"shield", 0, 3, 1, 1, 1},               // r0 only
      {"exploding", 0, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    for (Object& w : _WING) w.on = 0;
    for (Object& e : EXPL) e.on = 0;
    PlaceEnemy(2, 300, 100, c.state);
    Rect hitter = RectAt(SInt16(316 + c.dx - 4), 110, 8, 12);
    EXPECT_EQ(Count([&] { BlastEnemy(2, &hitter, c.pod, c.wing); }), c.draws) << c.hit;
  }
}

TEST_F(DrawCountTest, ResolvingShotsAndContactsDrawsOnlyForMetal) {
  PlaceEnemy(1, 100, 100);
  PlaceEnemy(0, 128, 100);
  EXPECT_EQ(Count([] { DoCollisions(); }), 1);  // the metal sound's variant
}
