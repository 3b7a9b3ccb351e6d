#include <gtest/gtest.h>

#include <vector>

#include "frontend/GameDrawing.h"
#include "frontend/GameFrames.h"
#include "frontend/MainLoop.h"
#include "frontend/Resources.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"

namespace {

std::vector<ImageDraw> drawn;

class DrawingTest : public ::testing::Test {
 protected:
  DrawingTest() {
    drawn.clear();
    imageDrawRecorder = [](const ImageDraw& d) { drawn.push_back(d); };
    gamePLAY = 1;
    ClearPools();
    SetupColors();
    viewRECT = Rect{0, 0, 440, 640};
    // Pictures of known sizes; no texture is needed to record a draw.
    starIMAGE.imageWidth = starIMAGE.imageHeight = 2;
    sparkIMAGE.imageWidth = sparkIMAGE.imageHeight = 4;
    explosionFRAME[0].image.imageWidth = 64;
    explosionFRAME[0].image.imageHeight = 64;
    waveDisplayFRAME[0].image.imageWidth = 80;
    statusbarIMAGE[0].imageWidth = 320;
    pressfireIMAGE.imageWidth = 160;
    pressfireIMAGE.imageHeight = 32;
  }
  ~DrawingTest() override {
    imageDrawRecorder = nullptr;
    gamePLAY = 0;
    ClearPools();
  }
  static void ClearPools() {
    for (auto& s : _STAR) s = SparkF{};
    for (auto& p : _PLAYER) p.on = 0;
    for (auto& e : _ENEMY) e.flying = 0, e.on = 0;
    for (auto& m : _METEOR) m.on = 0;
    for (auto& s : _SPARK) s.active = 0;
    for (auto& o : _POD) o.on = 0;
    for (auto& o : _WING) o.on = 0;
    for (auto& o : EXPL) o.on = 0;
    for (auto& o : POW) o.on = 0;
    for (auto& g : _GLOW) g.on = 0;
    for (auto& row : SHOT)
      for (auto& s : row) s.on = 0;
    for (auto& s : enemySHOT) s.on = 0;
    BOSS.on = 0;
    waveDISPLAY.on = 0;
    whiteFLASH.on = 0;
    playerJOINED[0] = playerJOINED[1] = 1;
  }
  // The draws of one image, in order.
  std::vector<ImageDraw> Of(const ImageGL& image) {
    std::vector<ImageDraw> out;
    for (const ImageDraw& d : drawn)
      if (d.image == &image) out.push_back(d);
    return out;
  }
  static ImageGL& Img(Frame* array, int i) { return array[i].image; }
};

void ExpectRect(const ImageDraw& d, float left, float top, float right, float bottom) {
  EXPECT_FLOAT_EQ(d.rect.left, left);
  EXPECT_FLOAT_EQ(d.rect.top, top);
  EXPECT_FLOAT_EQ(d.rect.right, right);
  EXPECT_FLOAT_EQ(d.rect.bottom, bottom);
}

TEST_F(DrawingTest, NothingOfTheGameWithoutAGame) {
  gamePLAY = 0;
  DrawGame();
  EXPECT_TRUE(drawn.empty());
}

TEST_F(DrawingTest, LayersAreDrawnBackToFront) {
  _POD[0].on = 1;
  _METEOR[0].on = 1;
  _PLAYER[0].on = 1;
  _GLOW[0].on = 1;
  BOSS.on = 1;
  BOSS.hits = 0;
  DrawGame();
  std::vector<const ImageGL*> order;
  for (const ImageDraw& d : drawn) {
    const ImageGL* i = d.image;
    if (i == &spaceIMAGE || i == &bossIMAGE || i == &Img(podFRAME, 0) || i == &Img(meteorFRAME, 0) ||
        i == &Img(playerShipFRAME, 0) || i == &Img(glowFRAME, 0) || i == &fadeIMAGE)
      order.push_back(i);
  }
  EXPECT_EQ(order, (std::vector<const ImageGL*>{&spaceIMAGE, &bossIMAGE, &Img(podFRAME, 0), &Img(meteorFRAME, 0),
                                                &Img(playerShipFRAME, 0), &Img(glowFRAME, 0), &fadeIMAGE}));
}

TEST_F(DrawingTest, StarBrightnessFromItsLevelAndSpeed) {
  _STAR[5].x = 10.5f;
  _STAR[5].y = 20.0f;
  _STAR[5].level = 7;
  _STAR[5].speed = 1.5f;
  DrawStars();
  auto d = Of(starIMAGE);
  ASSERT_EQ(d.size(), 64u);
  // Stars 63 down to 0: star 5 is the 59th draw.
  const ImageDraw& s = d[63 - 5];
  EXPECT_FLOAT_EQ(s.red, 38 / 31.0f);  // trunc(4 x (7 + 4 - 1.5)) = 38
  ExpectRect(s, 10.5f, 20.0f, 12.5f, 22.0f);
}

struct ExplosionCase {
  int stage;
  float side;  // of the 64-pixel frame fitted to a 40-pixel rectangle
  float rotation, alpha;
  bool bright;
};

class ExplosionTest : public DrawingTest, public ::testing::WithParamInterface<ExplosionCase> {};

TEST_P(ExplosionTest, StageSizesRotationAndFade) {
  const ExplosionCase& c = GetParam();
  Rect r{100, 100, 140, 140};
  DrawExplosion(&r, char(c.stage));
  ASSERT_EQ(drawn.size(), 1u);
  const ImageDraw& d = drawn[0];
  EXPECT_FLOAT_EQ(d.rect.right - d.rect.left, c.side);
  EXPECT_FLOAT_EQ(d.rotation, c.rotation);
  EXPECT_FLOAT_EQ(d.alpha, c.alpha);
  EXPECT_EQ(d.bright, c.bright);
}

INSTANTIATE_TEST_SUITE_P(Stages, ExplosionTest,
                         ::testing::Values(ExplosionCase{0, 64, 0, 1.0f, true}, ExplosionCase{2, 64, 180, 0.75f, false},
                                           ExplosionCase{4, 48, 360, 0.5f, false},
                                           ExplosionCase{7, 24, 630, 0.125f, false}));

TEST_F(DrawingTest, ScoreDigitsShadowThenFace) {
  _PLAYER[0].status.bounds = Rect{450, 10, 470, 210};
  playerSCORE[0] = 9999999;
  DrawScore(0);
  ASSERT_EQ(drawn.size(), 14u);
  // Shadow cells start one pixel right and down; the last face cell ends at left + 102.
  ExpectRect(drawn[0], 10 + 106 - 63 - 4 + 1, 458, 10 + 106 - 63 - 4 + 10, 467);
  EXPECT_FLOAT_EQ(drawn[0].red, 0.0f);
  ExpectRect(drawn[13], 10 + 93, 457, 10 + 102, 466);
  EXPECT_FLOAT_EQ(drawn[13].red, 0.75f);
  EXPECT_FLOAT_EQ(drawn[13].green, 0.55f);
  EXPECT_FLOAT_EQ(drawn[13].alpha, 1.0f);
}

TEST_F(DrawingTest, ZeroScoreIsOneFaintDigit) {
  _PLAYER[1].status.bounds = Rect{450, 330, 470, 530};
  playerSCORE[1] = 0;
  DrawScore(1);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[1].image, &Img(numberFRAME, 0));
  EXPECT_FLOAT_EQ(drawn[1].alpha, 0.25f);
}

TEST_F(DrawingTest, WaveBannerWidensForTwoDigits) {
  waveDISPLAY.on = 1;
  waveDISPLAY.scale2 = 1.0f;
  waveDISPLAY.scale = 1.0f;
  waveDISPLAY.alpha = 1.0f;
  waveDISPLAY.centerX = 320;
  waveDISPLAY.centerY = 200;
  waveNUM = 9;
  DrawStatus();
  auto word9 = Of(Img(waveDisplayFRAME, 0));
  ASSERT_EQ(word9.size(), 1u);
  EXPECT_FLOAT_EQ(word9[0].rect.left, 320 - 58);  // (80 + 36) / 2
  EXPECT_EQ(Of(Img(numberFRAME, 9)).size(), 1u);
  drawn.clear();
  waveNUM = 10;
  DrawStatus();
  auto word10 = Of(Img(waveDisplayFRAME, 0));
  EXPECT_FLOAT_EQ(word10[0].rect.left, 320 - 70);  // 24 wider
  auto units = Of(Img(numberFRAME, 0)), tens = Of(Img(numberFRAME, 1));
  ASSERT_EQ(units.size(), 1u);
  ASSERT_EQ(tens.size(), 1u);
  EXPECT_FLOAT_EQ(tens[0].rect.right, units[0].rect.left);
}

// The wave's label fades as it rises, then rests over the sky for the whole
// wave no fainter than reads; the boss's label fades out altogether.
TEST_F(DrawingTest, TheRestingWaveLabelStaysReadableAndTheBossLabelFades) {
  waveDISPLAY.on = 1;
  waveDISPLAY.scale2 = 0.55f;
  waveDISPLAY.scale = 1.0f;
  waveDISPLAY.centerX = 320;
  waveDISPLAY.centerY = 12;
  waveNUM = 3;
  struct Case {
    bool boss;
    float alpha, drawn;
  } cases[] = {
      {false, 1.0f, 1.0f}, {false, 0.8f, 0.8f}, {false, 0.25f, 0.6f}, {true, 0.25f, 0.25f}, {true, 0.05f, 0.05f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.boss ? "boss " : "wave ") + std::to_string(c.alpha));
    BOSS.on = c.boss;
    waveDISPLAY.alpha = c.alpha;
    drawn.clear();
    DrawStatus();
    auto word = Of(Img(waveDisplayFRAME, 0));
    ASSERT_EQ(word.size(), 1u);
    EXPECT_FLOAT_EQ(word[0].alpha, c.drawn);
    if (!c.boss) {
      auto digit = Of(Img(numberFRAME, 3));
      ASSERT_EQ(digit.size(), 1u);
      EXPECT_FLOAT_EQ(digit[0].alpha, c.drawn);
    }
  }
  BOSS.on = 0;
}

TEST_F(DrawingTest, FreshStatusCellGlowsWiderAndTaller) {
  StatusArray row;
  row.Init(2);
  row.rect[0] = Rect{10, 10, 18, 18};
  row.on[0] = 1;
  row.glow[0] = 46;
  row.rect[1] = Rect{10, 20, 18, 28};
  row.on[1] = 1;
  row.glow[1] = 22;
  DrawStatusArray(&row, &Img(shieldStatusFRAME, 0));
  ASSERT_EQ(drawn.size(), 2u);
  ExpectRect(drawn[0], 11, 7, 17, 21);
  EXPECT_FLOAT_EQ(drawn[0].red, 46 / 24.0f);
  ExpectRect(drawn[1], 20, 10, 28, 18);
  EXPECT_FLOAT_EQ(drawn[1].red, 1.0f);
}

TEST_F(DrawingTest, GraceBlinkIsHalfBrightAndKeepsTheFlash) {
  Player& p = _PLAYER[0];
  p.on = 1;
  p.dying = 0;
  p.rect = Rect{200, 300, 232, 332};
  p.graceCount = 3;
  p.flashOn = 1;
  DrawPlayers();
  auto ship = Of(Img(playerShipFRAME, p.frame));
  ASSERT_EQ(ship.size(), 1u);
  EXPECT_FLOAT_EQ(ship[0].red, 0.5f);
  EXPECT_EQ(p.flashOn, 1);
  p.graceCount = 2;
  drawn.clear();
  DrawPlayers();
  ship = Of(Img(playerShipFRAME, p.frame));
  ASSERT_EQ(ship.size(), 1u);
  EXPECT_TRUE(ship[0].bright);
  EXPECT_EQ(p.flashOn, 0);
}

TEST_F(DrawingTest, BossOfUnknownKindDrawsNothing) {
  BOSS.on = 1;
  BOSS.state = 0;
  BOSS.hits = 2;
  DrawBoss();
  EXPECT_TRUE(drawn.empty());
  BOSS.hits = 0;
  DrawBoss();
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].mirrorH, 1);
  EXPECT_EQ(drawn[1].mirrorH, 0);
  EXPECT_EQ(drawn[2].image, &bossIMAGE);
}

TEST_F(DrawingTest, PressFireShownForPlayersNotJoined) {
  playerJOINED[1] = 0;
  DrawStatus();
  auto prompt = Of(pressfireIMAGE);
  ASSERT_EQ(prompt.size(), 1u);
  // 160 x 32 shown at 100 x 20, centred at three quarters of the strip.
  ExpectRect(prompt[0], 480 - 50, 460 - 10, 480 + 50, 460 + 10);
}

TEST_F(DrawingTest, WhiteFlashCoversThePicture) {
  gamePLAY = 0;
  whiteFLASH.on = 1;
  whiteFLASH.alpha = 0.5f;
  DrawEverything();
  auto flash = Of(pixelIMAGE);
  ASSERT_EQ(flash.size(), 1u);
  EXPECT_FLOAT_EQ(flash[0].alpha, 0.5f);
  ExpectRect(flash[0], 0, 0, 640, 480);
}

TEST_F(DrawingTest, GameSpriteShowsItsFrameOverItsRect) {
  MSSprite sprite;
  sprite.on = 1;
  sprite.rect = Rect{10, 20, 42, 52};
  struct Case {
    SInt8 frame;
    UInt8 on;
    bool drawn;
  } cases[] = {{0, 1, true}, {7, 1, true}, {8, 1, false}, {-1, 1, false}, {3, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.frame));
    drawn.clear();
    sprite.frame = c.frame;
    sprite.on = c.on;
    DrawGameSprite(&sprite, enemySpinFRAME, 8);
    if (!c.drawn) {
      EXPECT_TRUE(drawn.empty());
      continue;
    }
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].image, &Img(enemySpinFRAME, c.frame));
    ExpectRect(drawn[0], 20, 10, 52, 42);
  }
  drawn.clear();
  DrawGameSprite(&sprite, nullptr, 8);
  EXPECT_TRUE(drawn.empty());
}

}  // namespace
