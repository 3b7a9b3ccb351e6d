// The game picture drawn for real with the generated art, read back from
// the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "foundation/Paths.h"
#include "frontend/GameDrawing.h"
#include "frontend/GameFrames.h"
#include "frontend/Resources.h"
#include "game/GameObjects.h"
#include "graphics/gl/GLWindowFixture.h"

namespace {

class GameDrawingGL : public GLWindowTest {
 protected:
  void SetUp() override {
    SetBundlePathForTesting(std::getenv("HALVANE_BUNDLE"));
    if (!OpenWindow(640, 480)) return;
    // Textures belong to the window's context, so every test loads afresh.
    testing::internal::CaptureStderr();
    LoadResources();
    LoadResources_Mac();
    gameResourcesLoaded = 0;
    LoadResources_Game();
    testing::internal::GetCapturedStderr();
    for (SparkF& s : _STAR) s.x = -100;  // out of the picture
    for (Player& p : _PLAYER) p.on = 0;
    for (Spark& s : _SPARK) s.active = 0;
    playerJOINED[0] = playerJOINED[1] = 1;
    whiteFLASH.on = 0;
    viewRECT = Rect{0, 0, 440, 640};
    glFADER.SetBright(255);
  }
  void TearDown() override {
    gamePLAY = 0;
    whiteFLASH.on = 0;
    SetBundlePathForTesting(nullptr);
    GLWindowTest::TearDown();
  }
  void Frame(void (*draw)()) {
    OpenGLBeginDraw(GamePort());
    draw();
  }
};

int Difference(RGBA8 a, RGBA8 b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

TEST_F(GameDrawingGL, ShipStandsOutOfTheBackground) {
  if (!mainWIND) return;
  gamePLAY = 1;
  Frame(DrawPicture);
  RGBA8 empty = PortPixel(316, 218);
  Player& p = _PLAYER[0];
  p.on = 1;
  p.dying = 0;
  p.graceCount = 0;
  p.flashOn = 0;
  p.frame = 2;
  p.rect = Rect{200, 300, 232, 332};
  p.centerX = 316;
  p.centerY = 216;
  Frame(DrawPicture);
  EXPECT_GT(Difference(PortPixel(316, 218), empty), 60);
}

TEST_F(GameDrawingGL, WhiteFlashCoversTheWholePicture) {
  if (!mainWIND) return;
  gamePLAY = 0;
  whiteFLASH.on = 1;
  whiteFLASH.alpha = 1.0f;
  Frame(DrawPicture);
  EXPECT_RGB_NEAR(PortPixel(320, 240), 255, 255, 255);
  EXPECT_RGB_NEAR(PortPixel(5, 470), 255, 255, 255);
  whiteFLASH.alpha = 0.5f;
  Frame(DrawPicture);
  RGBA8 half = PortPixel(320, 240);
  EXPECT_NEAR(half.r, 128, 2);
}

TEST_F(GameDrawingGL, SparkTakesItsColour) {
  if (!mainWIND) return;
  Spark& s = _SPARK[3];
  s.active = 1;
  s.x = 100 << 8;
  s.y = 120 << 8;
  s.color.red = 1.0f;
  s.color.green = 0.0f;
  s.color.blue = 0.0f;
  s.alpha = 1.0f;
  Frame(DrawSparks);
  RGBA8 c = PortPixel(100, 120);
  EXPECT_GT(c.r, 100);
  EXPECT_LT(c.g, 20);
  EXPECT_LT(c.b, 20);
  EXPECT_RGB_NEAR(PortPixel(140, 120), 0, 0, 0);
}

TEST_F(GameDrawingGL, StatusStripShowsTheJoinPrompt) {
  if (!mainWIND) return;
  gamePLAY = 1;
  Frame(DrawPicture);
  RGBA8 without = PortPixel(480, 460);
  playerJOINED[1] = 0;
  Frame(DrawPicture);
  // Somewhere across the prompt's middle row the text shows.
  int best = 0;
  for (int x = 440; x < 520; x += 2) best = std::max(best, Difference(PortPixel(float(x), 460), without));
  EXPECT_GT(best, 100);
}

}  // namespace
