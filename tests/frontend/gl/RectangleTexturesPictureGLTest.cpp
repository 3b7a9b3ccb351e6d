// The title, the menu and a game frame drawn for real with the generated art
// are the very same pictures, byte for byte, whether their big pictures are
// held in rectangle textures of their own size or in powers of two. Each way
// loads everything anew and opens the screens on the same random seed.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/Paths.h"
#include "foundation/Random.h"
#include "frontend/GameDrawing.h"
#include "frontend/Resources.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/ScreenGL.h"
#include "frontend/screens/TitleScreen.h"
#include "game/GameObjects.h"
#include "graphics/ImageGL.h"
#include "graphics/gl/GLWindowFixture.h"

namespace {

struct Size {
  int width, height;
};

struct Pictures {
  std::vector<UInt8> title, menu, game;
  int rectangles = 0;  // of the screens' big pictures
};

class RectangleTexturesPictureGL : public GLWindowTest, public ::testing::WithParamInterface<Size> {
 protected:
  void SetUp() override { SetBundlePathForTesting(std::getenv("HALVANE_BUNDLE")); }
  void TearDown() override {
    CloseScreens();
    SetBundlePathForTesting(nullptr);
    GLWindowTest::TearDown();
  }

  static void CloseScreens() {
    if (titleSCREEN.IsOpen()) titleSCREEN.Close();
    if (mainSCREEN.IsOpen()) mainSCREEN.Close();
    gamePLAY = 0;
  }

  std::vector<UInt8> Frame(void (*draw)()) {
    OpenGLBeginDraw(GamePort());
    draw();
    return FinishFrameAndReadWindow();
  }

  // Everything loaded and drawn with big pictures held the chosen way, in a
  // window (and so a context) of its own.
  Pictures Draw(SInt8 rectangles) {
    Pictures shown;
    if (!OpenWindow(GetParam().width, GetParam().height)) return shown;
    const ScopedRectangleTextures chosen(rectangles);
    // The images still hold the names of textures of the contexts of the
    // tests before (and of the other way's): names above all of those are
    // taken here first, so that a name held from before, bound again, never
    // lands on a texture another image has just made.
    burnt_ += 4096;
    std::vector<GLuint> names(burnt_);
    glGenTextures(GLsizei(names.size()), names.data());
    testing::internal::CaptureStderr();
    LoadResources();
    LoadResources_Mac();
    gameResourcesLoaded = 0;
    LoadResources_Game();
    glFADER.SetBright(255);
    gamePLAY = 0;
    randomSEED = 20261211;
    titleSCREEN.Open();
    glFADER.SetBright(255);
    shown.rectangles += titleSCREEN.background.rectangle + titleSCREEN.title.rectangle;
    shown.title = Frame([] { titleSCREEN.Draw(); });
    titleSCREEN.Close();
    randomSEED = 20261211;
    mainSCREEN.Open();
    glFADER.SetBright(255);
    mainSCREEN.nebula.rotation = -37.5f;
    shown.rectangles += mainSCREEN.nebula.rectangle;
    shown.menu = Frame([] { mainSCREEN.Draw(); });
    mainSCREEN.Close();
    shown.rectangles += spaceIMAGE.rectangle;
    shown.game = Frame([] { DrawGame(); });
    testing::internal::GetCapturedStderr();
    CloseWindow();
    return shown;
  }

  size_t burnt_ = 0;

  static size_t Differing(const std::vector<UInt8>& a, const std::vector<UInt8>& b) {
    if (a.size() != b.size()) return a.size() + b.size();
    size_t n = 0;
    for (size_t i = 0; i < a.size(); i++) n += a[i] != b[i];
    return n;
  }
};

TEST_P(RectangleTexturesPictureGL, TheScreensDrawTheSamePixelsEitherWay) {
  {
    if (!OpenWindow(64, 64)) return;
    const ScopedRectangleTextures asked(-1);
    if (!RectangleTextures()) GTEST_SKIP() << "the context offers no rectangle textures";
    CloseWindow();
  }
  const Pictures powers = Draw(0), rectangles = Draw(1);
  ASSERT_FALSE(powers.title.empty());
  EXPECT_EQ(powers.rectangles, 0);
  EXPECT_EQ(rectangles.rectangles, 4) << "the title's two pictures, the nebula and the game's background";
  EXPECT_EQ(Differing(powers.title, rectangles.title), 0u) << "the title";
  EXPECT_EQ(Differing(powers.menu, rectangles.menu), 0u) << "the menu";
  EXPECT_EQ(Differing(powers.game, rectangles.game), 0u) << "a game frame";
  // Drawn at all: the title is more than the black of the clear.
  size_t black = 0;
  for (size_t i = 0; i + 3 < rectangles.title.size(); i += 4)
    black += rectangles.title[i] == 0 && rectangles.title[i + 1] == 0 && rectangles.title[i + 2] == 0;
  EXPECT_LT(black, rectangles.title.size() / 4 / 2);
}

// The port's own size, and a window that scales it (linear filtering mixes
// the pictures' edge texels in).
INSTANTIATE_TEST_SUITE_P(Sizes, RectangleTexturesPictureGL, ::testing::Values(Size{640, 480}, Size{1000, 700}));

}  // namespace
