// A batch of quads of one image draws the very pixels that drawing the image
// once per quad does: the same picture, read back whole from the window and
// compared byte for byte, for the ways the game's stars and sparks are drawn.
#include <cstring>
#include <string>
#include <vector>

#include "GLWindowFixture.h"
#include "foundation/Random.h"
#include "graphics/ImageGL.h"

namespace {

// A picture of `w` by `h` pixels (premultiplied RGBA): a gradient, and when
// `translucent` an alpha falling off from the centre.
std::vector<UInt8> Picture(int w, int h, bool translucent) {
  std::vector<UInt8> p(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      UInt8* q = &p[(size_t(y) * w + x) * 4];
      const int dx = 2 * x - (w - 1), dy = 2 * y - (h - 1);
      const int a = translucent ? std::max(0, 255 - 255 * (dx * dx + dy * dy) / (w * w + h * h) * 2) : 255;
      q[0] = UInt8((x * 255 / std::max(w - 1, 1)) * a / 255);
      q[1] = UInt8((y * 255 / std::max(h - 1, 1)) * a / 255);
      q[2] = UInt8(200 * a / 255);
      q[3] = UInt8(a);
    }
  return p;
}

struct Case {
  const char* name;
  int side;          // of the image
  bool translucent;  // its pixels
  UInt8 hasAlpha;
  bool fractional;    // quads at fractional places
  bool mixed;         // some quads untinted and opaque, as a star at brightness 31/31
  int width, height;  // of the window
};

class ImageQuadsGL : public GLWindowTest, public ::testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    const Case c = GetParam();
    if (!OpenWindow(c.width, c.height)) return;
    const std::vector<UInt8> back = Picture(160, 120, false);
    const Rect all{0, 0, 120, 160};
    background.Update(back.data(), 160 * 4, 32, &all);
    const std::vector<UInt8> pixels = Picture(c.side, c.side, c.translucent);
    const Rect r{0, 0, SInt16(c.side), SInt16(c.side)};
    image.Update(pixels.data(), c.side * 4, 32, &r);
    image.hasAlpha = c.hasAlpha;
    randomSEED = 7;
    for (int i = 0; i < 600; ++i) {
      const float x = float(SubRandom() % 660) - 10, y = float(SubRandom() % 500) - 10;
      const float dx = c.fractional ? float(SubRandom() % 100) / 100.0f : 0.0f;
      const float side = float(c.side * (1 + SubRandom() % 3));
      // Brightness from 0 to 42/31, as the stars have it; opacity below 1 for some.
      float b = float(SubRandom() % 43) / 31.0f;
      if (c.mixed && i % 5 == 0) b = 1.0f;
      const float a = (!c.mixed && i % 3 == 0) ? float(SubRandom() % 100) / 100.0f : 1.0f;
      const float red = c.mixed ? b : b * 0.9f, blue = c.mixed ? b : b * 0.5f;
      quads.push_back(ImageQuad{RectF{y + dx, x + dx, y + dx + side, x + dx + side}, red, b, blue, a});
    }
  }
  void TearDown() override {
    image.Dispose();
    background.Dispose();
    GLWindowTest::TearDown();
  }

  // The window's pixels after the background and the quads, drawn quad by
  // quad or as one batch.
  std::vector<UInt8> Frame(bool batch, bool withQuads = true) {
    OpenGLBeginDraw(GamePort());
    Rect all = mainRECT;
    background.Draw(&all);
    if (!withQuads) {
    } else if (batch) {
      DrawImageQuads(&image, quads.data(), int(quads.size()));
    } else {
      for (const ImageQuad& q : quads) {
        image.red = q.red;
        image.green = q.green;
        image.blue = q.blue;
        image.alpha = q.alpha;
        image.Draw(&q.rect);
      }
    }
    return FinishFrameAndReadWindow();
  }

  // Pixels (of four bytes) that differ.
  static int Differing(const std::vector<UInt8>& a, const std::vector<UInt8>& b) {
    int n = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4)
      if (std::memcmp(&a[i], &b[i], 3) != 0) ++n;
    return n;
  }

  ImageGL image, background;
  std::vector<ImageQuad> quads;
};

TEST_P(ImageQuadsGL, ABatchDrawsThePixelsOfOneDrawAQuad) {
  if (!mainWIND) return;
  const std::vector<UInt8> one = Frame(false), batch = Frame(true);
  ASSERT_EQ(one.size(), batch.size());
  EXPECT_EQ(Differing(one, batch), 0);
  // The quads show: a good part of the picture is not the background.
  EXPECT_GT(Differing(one, Frame(false, false)), int(one.size() / 4 / 200));
  // The image keeps the colour of the last quad, as after its own draw.
  EXPECT_EQ(image.alpha, quads.back().alpha);
  EXPECT_EQ(image.green, quads.back().green);
}

// Stars are one opaque white pixel, drawn tinted from dark to above full
// brightness (some untinted); sparks a small translucent picture; a picture
// that does not fill its texture draws its untinted quads unblended.
INSTANTIATE_TEST_SUITE_P(Kinds, ImageQuadsGL,
                         ::testing::Values(Case{"TitleStars", 1, false, 0, false, true, 640, 480},
                                           Case{"TitleStarsScaled", 1, false, 0, false, true, 1000, 700},
                                           Case{"GameStars", 1, false, 0, true, true, 640, 480},
                                           Case{"GameStarsScaled", 1, false, 0, true, true, 1000, 700},
                                           Case{"Sparks", 6, true, 1, false, false, 640, 480},
                                           Case{"SparksScaled", 6, true, 1, true, false, 1000, 700},
                                           Case{"PaddedOpaque", 3, false, 0, true, true, 640, 480},
                                           Case{"PaddedOpaqueScaled", 3, false, 0, true, true, 1000, 700}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
