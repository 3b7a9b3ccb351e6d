// A whole frame as the game draws one: a PNG file and a line of text drawn
// letterboxed into a wide window, under the brightness overlay.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "GLWindowFixture.h"
#include "graphics/ImageBuffer.h"
#include "graphics/ImageGL.h"
#include "graphics/PNGFile.h"
#include "graphics/TextRender.h"
#include "support/TempFolder.h"

namespace {

class Scene : public GLWindowTest {};

// A 64 by 64 picture: an orange square with a transparent border of 8 pixels.
std::string WritePicture(const TempFolder& folder) {
  std::string path = folder / "picture.png";
  std::vector<UInt8> rgba(64 * 64 * 4, 0);
  for (int y = 8; y < 56; y++) {
    for (int x = 8; x < 56; x++) {
      UInt8* p = &rgba[(y * 64 + x) * 4];
      p[0] = 255, p[1] = 160, p[2] = 0, p[3] = 255;
    }
  }
  EXPECT_EQ(SavePNG(path.c_str(), rgba.data(), 64, 64, 0, nullptr, 0), 1);
  return path;
}

TEST_F(Scene, PictureAndTextLetterboxed) {
  TempFolder folder;
  const std::string path = WritePicture(folder);
  if (!OpenWindow(1600, 960)) return;
  FT_Face face = LoadFont("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
  ASSERT_NE(face, nullptr);

  ImageBuffer shared(1024, 1024);
  ImageGL picture;
  ASSERT_EQ(picture.Load(&shared, path.c_str(), 1, 0.0f), 0);
  picture.hasAlpha = 1;
  EXPECT_EQ(picture.Width(), 64);

  shared.Clear();
  shared.color.red = 0.2f, shared.color.green = 1.0f, shared.color.blue = 0.4f;
  const char* line = "HALVANE READY";
  const int width = DrawTextWidth(line, face, 32.0f);
  ASSERT_EQ(DrawText(&shared, line, face, 32.0f, 0.0f, 32.0f, 0), 0);
  ImageGL text;
  const Rect used = {0, 0, 40, SInt16(width)};
  text.New(&shared, &used);
  text.hasAlpha = 1;

  glFADER.SetBright(128);
  OpenGLBeginDraw(GamePort());
  const Rect at = {200, 288, 264, 352};
  picture.Draw(&at);
  Rect textAt;
  SetRect2(&textAt, 320 - width / 2, 300, width, 40);
  text.Draw(&textAt);
  VisualFXGL(&glDrawVars.portRect);

  // The picture at half brightness, its transparent border showing the black port.
  EXPECT_RGB_NEAR(PortPixel(320, 232), 128, 80, 0);
  EXPECT_RGB_NEAR(PortPixel(292, 204), 0, 0, 0);
  // Some text pixels are lit in the text's hue; the margins stay black.
  int lit = 0;
  for (int x = textAt.left; x < textAt.right; x += 2) {
    RGBA8 p = PortPixel(float(x), 320.0f);
    if (p.g > 40) {
      lit++;
      EXPECT_LE(p.r, p.g);
      EXPECT_LE(p.b, p.g);
    }
  }
  EXPECT_GT(lit, 10);
  EXPECT_RGB_NEAR(WindowPixel(80, 480), 0, 0, 0);
  EXPECT_RGB_NEAR(WindowPixel(1520, 480), 0, 0, 0);
  OpenGLEndDraw();
  NormBright_GL();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  FT_Done_Face(face);
}

}  // namespace
