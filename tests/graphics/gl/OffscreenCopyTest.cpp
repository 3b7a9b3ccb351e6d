// An offscreen world shown in the game window and read back: 1:1 with
// glDrawPixels, tiled textures scaled up, tiles read back from the frame,
// and the black margins of a letterboxed window.
#include <vector>

#include "GLWindowFixture.h"
#include "graphics/OffscreenCopy.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"

namespace {

// Red grows with x and green with y across the whole world.
int RedAt(int x) { return x * 255 / 639; }
int GreenAt(int y) { return y * 255 / 479; }

GWorldPtr GradientWorld(SInt16 depth) {
  GWorldPtr world = nullptr;
  Rect bounds{0, 0, 480, 640};
  EXPECT_EQ(NewGWorld(&world, depth, &bounds, nullptr, nullptr, 0), noErr);
  PixMapHandle pm = GetGWorldPixMap(world);
  UInt8* base = reinterpret_cast<UInt8*>(GetPixBaseAddr(pm));
  SInt32 rowBytes = GetPixRowBytes(pm);
  for (int y = 0; y < 480; y++) {
    for (int x = 0; x < 640; x++) {
      UInt32 r = UInt32(RedAt(x)), g = UInt32(GreenAt(y));
      if (depth == 32)
        reinterpret_cast<UInt32*>(base + y * rowBytes)[x] = 0xFF000000u | r << 16 | g << 8;
      else
        reinterpret_cast<UInt16*>(base + y * rowBytes)[x] = UInt16((r >> 3) << 10 | (g >> 3) << 5);
    }
  }
  return world;
}

struct CopyCase {
  const char* name;
  bool textures;  // graphics mode 1
  SInt32 ww, wh;
  SInt16 depth;
  int tolerance;
  int tilesUsed;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class OffscreenCopy : public GLWindowTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(OffscreenCopy, ReadsBackTheWorld) {
  const CopyCase c = GetParam();
  if (!OpenWindow(c.ww, c.wh)) return;
  GWorldPtr world = GradientWorld(c.depth);
  mainPREFS.graphicsMode = c.textures;
  OpenGLContext* context = static_cast<OpenGLContext*>(GetWRefCon(mainWIND));
  OpenGLBeginDraw(world);
  CopyGWorldToWindowGL(world, mainWIND, context);
  ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  const int xs[] = {2, 10, 253, 254, 255, 300, 507, 508, 509, 630, 637};
  const int ys[] = {2, 10, 253, 254, 255, 400, 477};
  for (int y : ys) {
    for (int x : xs) {
      RGBA8 p = PortPixel(float(x), float(y));
      EXPECT_NEAR(p.r, RedAt(x), c.tolerance) << c.name << " at " << x << "," << y;
      EXPECT_NEAR(p.g, GreenAt(y), c.tolerance) << c.name << " at " << x << "," << y;
      EXPECT_LE(p.b, c.tolerance) << c.name << " at " << x << "," << y;
    }
  }
  // Letterbox margins are black.
  Letterbox box = ComputeLetterbox(640, 480, c.ww, c.wh);
  if (box.mx >= 2) {
    RGBA8 left = WindowPixel(int(box.mx) / 2, c.wh / 2), right = WindowPixel(c.ww - 1 - int(box.mx) / 2, c.wh / 2);
    EXPECT_RGB_NEAR(left, 0, 0, 0);
    EXPECT_RGB_NEAR(right, 0, 0, 0);
  }
  // The tiles take the window's texture names in order, and no more.
  int used = 0;
  for (int i = 0; i < kContextTextureCount; i++) used += glIsTexture(context->textures[i]) ? 1 : 0;
  EXPECT_EQ(used, c.tilesUsed) << c.name;
  OpenGLEndDraw();
  DisposeGWorld(world);
}

INSTANTIATE_TEST_SUITE_P(Modes, OffscreenCopy,
                         ::testing::Values(CopyCase{"draw pixels 1:1", false, 640, 480, 32, 0, 0},
                                           CopyCase{"textures 1024x768", true, 1024, 768, 32, 2, 6},
                                           CopyCase{"frame tiles 1024x768", false, 1024, 768, 32, 2, 6},
                                           CopyCase{"textures letterboxed", true, 1600, 960, 32, 2, 6},
                                           CopyCase{"16-bit textures", true, 1024, 768, 16, 9, 6}),
                         [](const ::testing::TestParamInfo<CopyCase>& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST(TileGrid, SizesAndCounts) {
  struct {
    SInt32 pw, ph, tw, count;
  } cases[] = {{640, 480, 256, 6}, {200, 100, 256, 1}, {256, 256, 256, 4}, {2, 100, 2, 0}, {3, 3, 4, 4}, {1, 1, 1, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(TileTextureSize(c.pw), c.tw) << c.pw;
    EXPECT_EQ(TileCount(c.pw, c.ph), c.count) << c.pw << "x" << c.ph;
  }
}

}  // namespace
