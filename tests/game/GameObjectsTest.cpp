#include "GameFixture.h"

TEST(SpriteMotion, MoveSpriteTruncatesTheHalfWidthAndThePosition) {
  MSSprite s;
  s.rect = {0, 0, 25, 25};
  s.centerX = 100.9f;
  s.centerY = 50.0f;
  MoveSprite(&s);
  EXPECT_EQ(s.rect.left, 88);  // 100.9 - 12 = 88.9, truncated
  EXPECT_EQ(s.rect.right, 113);
  EXPECT_EQ(s.rect.top, 38);
}

TEST(SpriteMotion, MoveSpriteTruncatesTowardZeroAboveTheField) {
  MSSprite s;
  s.rect = {0, 0, 32, 32};
  s.centerX = 16.0f;
  s.centerY = -15.5f;
  MoveSprite(&s);
  EXPECT_EQ(s.rect.top, -31);  // -31.5 goes to -31, not -32
}

TEST(SpriteMotion, OrientRectsCountsTiesAsSideBySide) {
  struct Case {
    Rect a, b;
    bool vertical;
  } cases[] = {
      {{0, 0, 10, 10}, {5, 7, 15, 17}, false},  // horizontal overlap 3 < vertical 5
      {{0, 0, 10, 10}, {7, 5, 17, 15}, true},   // vertical overlap 3 < horizontal 5
      {{0, 0, 10, 10}, {6, 6, 16, 16}, false},  // equal: side by side
  };
  for (const Case& c : cases) EXPECT_EQ(bool(OrientRects(&c.a, &c.b)), c.vertical);
}

TEST(SpriteMotion, ContainSpriteMovesRectAndCentreOnlyWhenOutside) {
  Rect view = {0, 0, 448, 640};
  MSSprite s;
  s.rect = {10, 630, 42, 662};
  EXPECT_TRUE(ContainSprite(&s, &view));
  EXPECT_EQ(s.rect.right, 640);
  EXPECT_EQ(s.rect.left, 608);
  EXPECT_EQ(s.centerX, 624.0f);
  MSSprite inside;
  inside.rect = {10, 10, 42, 42};
  inside.centerX = 5.5f;
  EXPECT_FALSE(ContainSprite(&inside, &view));
  EXPECT_EQ(inside.centerX, 5.5f);
}

TEST(SpriteMotion, OverlapIsHalfOpen) {
  Rect a = {0, 0, 10, 10};
  EXPECT_TRUE(RectsOverlap(a, Rect{9, 9, 20, 20}));
  EXPECT_FALSE(RectsOverlap(a, Rect{10, 0, 20, 10}));  // touching edge
  EXPECT_FALSE(RectsOverlap(a, Rect{0, 10, 10, 20}));
  EXPECT_TRUE(RectsOverlap(a, Rect{2, 2, 4, 4}));  // inside
}

TEST(StatusRows, AdjustClampsToTheRow) {
  StatusArray row;
  row.Init(12);
  row.Adjust(12);
  EXPECT_EQ(row.target, 12);
  row.Adjust(5);
  EXPECT_EQ(row.target, 12);
  row.target = 3;
  row.Adjust(-4);
  EXPECT_EQ(row.target, 0);
}

TEST(StatusRows, ClearKeepsTheCellRectangles) {
  StatusArray row;
  row.Init(3);
  row.rect[1] = {1, 2, 3, 4};
  row.target = 2;
  row.Animate();
  row.Clear();
  EXPECT_EQ(row.current, 0);
  EXPECT_EQ(row.on[0], 0);
  EXPECT_EQ(row.glow[0], 0);
  EXPECT_EQ(row.rect[1].right, 4);
}

TEST(StatusRows, CellsGlowAndSettle) {
  StatusArray row;
  row.Init(12);
  row.target = 1;
  row.Animate();
  EXPECT_EQ(row.glow[0], 46);  // lit at 48, decays in the same call
  for (int call = 2; call <= 13; call++) row.Animate();
  EXPECT_EQ(row.glow[0], 22);  // on the thirteenth call
  row.Animate();
  EXPECT_EQ(row.glow[0], 22);
  row.target = 0;
  row.Animate();
  EXPECT_EQ(row.on[0], 0);
  EXPECT_EQ(row.glow[0], 22);  // cleared at 24, 22 after the same call
  for (int i = 0; i < 10; i++) row.Animate();
  EXPECT_EQ(row.glow[0], 8);
}

TEST(StatusRows, ATargetDropEmptiesOneCellPerStep) {
  StatusArray row;
  row.Init(12);
  row.target = 5;
  for (int i = 0; i < 5; i++) row.Animate();
  row.target = 1;
  row.Animate();
  EXPECT_EQ(row.current, 4);
  EXPECT_EQ(row.glow[4], 22);
  row.Animate();
  EXPECT_EQ(row.current, 3);
}

TEST_F(GameTest, PanelsAndCellsFillTheStripBelowTheField) {
  EXPECT_EQ(viewRECT.bottom, 448);
  const StatusBar& p0 = _PLAYER[0].status;
  const StatusBar& p1 = _PLAYER[1].status;
  EXPECT_EQ(p0.bounds.left, 32);
  EXPECT_EQ(p0.bounds.right, 288);
  EXPECT_EQ(p1.bounds.left, 352);
  EXPECT_EQ(p1.bounds.right, 608);
  EXPECT_EQ(p0.bounds.top, 448);
  EXPECT_EQ(p0.shield.Cells(), 12);
  EXPECT_EQ(p0.doubles.Cells(), 18);
  EXPECT_EQ(p0.bonus.Cells(), 12);
  EXPECT_EQ(p0.shield.rect[2].left, 32 + 152 + 16);
  EXPECT_EQ(p0.shield.rect[2].top, 448 + 8);
  EXPECT_EQ(p0.doubles.rect[17].left, 32 + 8 + 136);
  EXPECT_EQ(p0.bonus.rect[0].top, 448 + 20);
}

TEST_F(GameTest, SpawningIntoAFullPoolDoesNothing) {
  for (int i = 0; i < kExplosions; i++) ASSERT_NE(DoExplosion(0, 100, 100, 0, 0, 0), nullptr);
  int sparks = SparksActive();
  EXPECT_EQ(DoExplosion(0, 100, 100, 0, 0, 1), nullptr);
  EXPECT_EQ(SparksActive(), sparks);  // the dropped explosion throws no sparks
  for (int i = 0; i < kGlows; i++) DoGlow(50, 50, &enemyRGB, 1.0f, 0.25f);
  MSSprite before = _GLOW[0];
  DoGlow(300, 300, &goldRGB, 1.0f, 0.25f);
  EXPECT_EQ(_GLOW[0].rect.left, before.rect.left);
}
