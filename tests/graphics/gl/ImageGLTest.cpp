// Images as textures: upload sizes and edge texels, and the drawn quad with
// tint, translucency, rotation, mirroring, brightening and premultiplied
// alpha, read back from the window.
#include <cstring>
#include <vector>

#include "GLWindowFixture.h"
#include "graphics/ImageBuffer.h"
#include "graphics/ImageGL.h"

namespace {

const int kTexSide = 32;

// A 32 by 32 buffer in four quadrants: red, green / blue, white.
void FillQuadrants(ImageBuffer* buffer) {
  for (int y = 0; y < kTexSide; y++) {
    for (int x = 0; x < kTexSide; x++) {
      UInt8* p = buffer->pixels + y * buffer->rowBytes + x * 4;
      const bool right = x >= kTexSide / 2, bottom = y >= kTexSide / 2;
      p[0] = UInt8((!right && !bottom) || (right && bottom) ? 255 : 0);
      p[1] = UInt8(right ? 255 : 0);
      p[2] = UInt8(bottom ? 255 : 0);
      p[3] = 255;
    }
  }
}

class Images : public GLWindowTest {
 protected:
  // Starts a frame in a 640 by 480 window with the port filled with grey 100.
  bool BeginGrey() {
    if (!mainWIND && !OpenWindow(640, 480)) return false;
    OpenGLBeginDraw(GamePort());
    glClearColor(100 / 255.0f, 100 / 255.0f, 100 / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return true;
  }

  // The four quadrant centres of the destination (100, 100)-(164, 164).
  void ExpectQuadrants(RGBA8 tl, RGBA8 tr, RGBA8 bl, RGBA8 br) {
    const struct {
      float x, y;
      RGBA8 c;
    } samples[] = {{116, 116, tl}, {148, 116, tr}, {116, 148, bl}, {148, 148, br}};
    for (const auto& s : samples) {
      SCOPED_TRACE(testing::Message() << s.x << "," << s.y);
      EXPECT_RGB_NEAR(PortPixel(s.x, s.y), s.c.r, s.c.g, s.c.b);
    }
  }

  const Rect dest = {100, 100, 164, 164};
  const RGBA8 red = {255, 0, 0, 255}, green = {0, 255, 0, 255}, blue = {0, 0, 255, 255}, white = {255, 255, 255, 255};
};

TEST_F(Images, UploadSizesCoordinatesAndTransparentEdge) {
  if (!OpenWindow(64, 64)) return;
  // Where the context offers no rectangle textures.
  const ScopedRectangleTextures powers(0);
  ImageBuffer buffer(640, 480);
  std::memset(buffer.pixels, 0xFF, buffer.byteCount);
  ImageGL image;
  const Rect source = {0, 0, 480, 640};
  image.New(&buffer, &source);
  ASSERT_NE(image.texture, 0u);
  EXPECT_EQ(image.texWidth, 1024);
  EXPECT_EQ(image.texHeight, 512);
  EXPECT_EQ(image.Width(), 640);
  EXPECT_EQ(image.Height(), 480);
  const float coords[8] = {0, 0, 0.625f, 0, 0, 0.9375f, 0.625f, 0.9375f};
  for (int i = 0; i < 8; i++) EXPECT_FLOAT_EQ(image.texCoords[i], coords[i]) << i;
  GLint w, h, rowLength;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 512);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  EXPECT_EQ(rowLength, 0);
  std::vector<UInt8> texels(1024 * 512 * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  auto alphaAt = [&](int x, int y) { return texels[(size_t(y) * 1024 + x) * 4 + 3]; };
  EXPECT_EQ(alphaAt(0, 0), 255);
  EXPECT_EQ(alphaAt(639, 479), 255);
  for (int y = 0; y < 480; y += 7) EXPECT_EQ(alphaAt(640, y), 0) << y;
  for (int x = 0; x <= 640; x += 7) EXPECT_EQ(alphaAt(x, 480), 0) << x;

  // A sub-rectangle of the buffer, its sides already powers of two.
  buffer.pixels[(10 * 640 + 20) * 4] = 7;
  const Rect part = {10, 20, 42, 84};
  image.Update(&buffer, &part);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  EXPECT_EQ(w, 64);
  texels.assign(64 * 32 * 4, 0);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  EXPECT_EQ(texels[0], 7);
  EXPECT_EQ(texels[(31 * 64 + 63) * 4 + 3], 255);

  // An empty source leaves no texture.
  const Rect empty = {5, 5, 5, 9};
  image.Update(&buffer, &empty);
  EXPECT_EQ(image.texture, 0u);
  EXPECT_EQ(glBindCACHE.texture, 0u);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The token of rectangle textures (OpenGL 3.1, GL_ARB_texture_rectangle).
const GLenum kRectangle = 0x84F5;

// Where the context offers rectangle textures, a big picture whose sides are
// no powers of two gets one of its own size plus the transparent column and
// row a power of two would have had, addressed in texels; small pictures and
// sides that are powers of two keep their textures as before.
TEST_F(Images, BigPicturesGetRectangleTexturesOfTheirOwnSize) {
  if (!OpenWindow(64, 64)) return;
  const ScopedRectangleTextures asked(-1);
  ASSERT_TRUE(RectangleTextures()) << "the context offers no rectangle textures";
  EXPECT_EQ(glRectangleTEXTURES, 1);
  ImageBuffer buffer(640, 480);
  std::memset(buffer.pixels, 0xFF, buffer.byteCount);
  ImageGL image;
  const Rect source = {0, 0, 480, 640};
  image.New(&buffer, &source);
  ASSERT_NE(image.texture, 0u);
  EXPECT_EQ(image.rectangle, 1);
  EXPECT_EQ(image.texWidth, 641);
  EXPECT_EQ(image.texHeight, 481);
  const float coords[8] = {0, 0, 640, 0, 0, 480, 640, 480};
  for (int i = 0; i < 8; i++) EXPECT_FLOAT_EQ(image.texCoords[i], coords[i]) << i;
  EXPECT_EQ(glBindCACHE.texture, image.texture);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(kRectangle, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(kRectangle, 0, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, 641);
  EXPECT_EQ(h, 481);
  std::vector<UInt8> texels(641 * 481 * 4, 0x55);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(kRectangle, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  auto alphaAt = [&](int x, int y) { return texels[(size_t(y) * 641 + x) * 4 + 3]; };
  EXPECT_EQ(alphaAt(0, 0), 255);
  EXPECT_EQ(alphaAt(639, 479), 255);
  for (int y = 0; y <= 480; y++) ASSERT_EQ(alphaAt(640, y), 0) << y;
  for (int x = 0; x <= 640; x++) ASSERT_EQ(alphaAt(x, 480), 0) << x;

  const struct {
    Rect source;
    UInt8 rectangle;
    SInt16 texWidth, texHeight;
  } cases[] = {
      {{0, 0, 60, 100}, 0, 128, 64},      // small: a power of two as before
      {{0, 0, 256, 512}, 0, 512, 256},    // sides already powers of two
      {{0, 0, 300, 256}, 1, 256, 301},    // one side a power of two keeps no edge
      {{10, 20, 330, 420}, 1, 401, 321},  // a part of the buffer
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.texWidth << " x " << c.texHeight);
    const UInt32 before = image.texture;
    const UInt8 wasRectangle = image.rectangle;
    image.Update(&buffer, &c.source);
    EXPECT_EQ(image.rectangle, c.rectangle);
    EXPECT_EQ(image.texWidth, c.texWidth);
    EXPECT_EQ(image.texHeight, c.texHeight);
    // A name keeps the kind it was first bound as: a change of kind takes a
    // new one, and the old one is gone.
    if (wasRectangle != c.rectangle) {
      EXPECT_FALSE(glIsTexture(before));
    } else {
      EXPECT_EQ(image.texture, before);
    }
    glGetTexLevelParameteriv(c.rectangle ? kRectangle : GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, c.texWidth);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
}

// A big picture draws the same pixels from its rectangle texture as from a
// power of two: at its own size, scaled with linear filtering (which mixes
// the transparent edge in), at fractional corners, rotated, mirrored,
// brightened, through a source rectangle, and as a batch of quads.
TEST_F(Images, RectangleTexturesDrawTheSamePixelsAsPowersOfTwo) {
  if (!OpenWindow(640, 480)) return;
  {
    const ScopedRectangleTextures asked(-1);
    if (!RectangleTextures()) GTEST_SKIP() << "the context offers no rectangle textures";
  }
  // A 300 by 230 picture of premultiplied noise with transparent and
  // translucent parts.
  ImageBuffer buffer(300, 230);
  UInt32 seed = 12345;
  for (UInt32 i = 0; i < buffer.byteCount; i += 4) {
    seed = seed * 1103515245u + 12345u;
    const UInt8 a = UInt8((seed >> 24) < 64 ? 0 : (seed >> 16) | 0x80);
    for (int c = 0; c < 3; c++) buffer.pixels[i + c] = UInt8(((seed >> (8 * c)) & 0xFF) * a / 255);
    buffer.pixels[i + 3] = a;
  }
  auto draw = [&](SInt8 choice) {
    const ScopedRectangleTextures chosen(choice);
    ImageGL picture, sheet;
    const Rect whole = {0, 0, 230, 300};
    picture.New(&buffer, &whole);
    picture.hasAlpha = 1;
    sheet.New(&buffer, &whole);
    sheet.hasAlpha = 1;
    sheet.useSrcRect = 1;
    sheet.srcRect = Rect{7, 13, 140, 170};
    EXPECT_EQ(picture.rectangle, choice);
    OpenGLBeginDraw(GamePort());
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const Rect own = {0, 0, 230, 300}, scaled = {10, 290, 400, 630};
    const RectF shifted = {240.25f, 20.5f, 470.75f, 280.25f};
    picture.Draw(&own);
    picture.Draw(&scaled);
    picture.Draw(&shifted);
    picture.rotation = 30.0f;
    const Rect turned = {150, 150, 330, 420};
    picture.Draw(&turned);
    picture.rotation = 0.0f;
    picture.mirrorH = picture.mirrorV = 1;
    const Rect mirrored = {300, 300, 470, 520};
    picture.Draw(&mirrored);
    picture.mirrorH = picture.mirrorV = 0;
    picture.SetBright(1.5f);
    const Rect bright = {380, 40, 470, 200};
    picture.DrawBright(&bright);
    picture.SetBright(1.0f);
    const Rect part = {100, 400, 233, 557};
    sheet.Draw(&part);
    const ImageQuad quads[] = {{{5.0f, 5.0f, 120.0f, 160.0f}, 1, 1, 1, 1},
                               {{200.0f, 480.0f, 290.0f, 600.0f}, 0.5f, 1, 1, 0.75f}};
    DrawImageQuads(&picture, quads, 2);
    return FinishFrameAndReadWindow();
  };
  const std::vector<UInt8> powers = draw(0), rectangles = draw(1);
  ASSERT_EQ(powers.size(), rectangles.size());
  size_t differ = 0, first = 0;
  for (size_t i = 0; i < powers.size(); i++)
    if (powers[i] != rectangles[i] && differ++ == 0) first = i;
  EXPECT_EQ(differ, 0u) << "first at byte " << first << " of " << powers.size();
  // The pictures were drawn at all: most of the window is not the clear colour.
  size_t cleared = 0;
  for (size_t i = 0; i < rectangles.size(); i += 4) cleared += rectangles[i] == 51 && rectangles[i + 1] == 77;
  EXPECT_LT(cleared, rectangles.size() / 4 / 2);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Images, SixteenBitUpload) {
  if (!OpenWindow(64, 64)) return;
  const UInt16 pixels[2 * 2] = {0x7C00, 0x03E0, 0x001F, 0x7FFF};
  ImageGL image;
  const Rect source = {0, 0, 2, 2};
  image.New(pixels, 4, 16, &source);
  std::vector<UInt8> texels(2 * 2 * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  const UInt8 expected[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
  for (int i = 0; i < 16; i++) EXPECT_NEAR(texels[i], expected[i], 1) << i;
}

TEST_F(Images, DrawVariantsReadBack) {
  if (!OpenWindow(640, 480)) return;
  ImageBuffer buffer(kTexSide, kTexSide);
  FillQuadrants(&buffer);
  ImageGL image;
  const Rect source = {0, 0, kTexSide, kTexSide};
  image.New(&buffer, &source);
  image.filter = GL_NEAREST;  // sharp quadrant borders
  auto half = [&](RGBA8 c) { return RGBA8{c.r / 2 + 50, c.g / 2 + 50, c.b / 2 + 50, 255}; };
  auto tint = [](RGBA8 c) { return RGBA8{c.r / 2, c.g, c.b / 4, 255}; };
  struct Case {
    const char* name;
    float r, g, b, alpha, rotation;
    UInt8 mirrorH, mirrorV;
    RGBA8 tl, tr, bl, br;
    bool floatRect = false;
  };
  const Case cases[] = {
      {"plain", 1, 1, 1, 1, 0, 0, 0, red, green, blue, white},
      {"rotated 90 turns clockwise", 1, 1, 1, 1, 90, 0, 0, blue, red, white, green},
      {"rotated -90 with float corners", 1, 1, 1, 1, -90, 0, 0, green, white, red, blue, true},
      {"mirrored both ways turns 180", 1, 1, 1, 1, 0, 1, 1, white, blue, green, red},
      {"mirrored left-right", 1, 1, 1, 1, 0, 1, 0, green, red, white, blue},
      {"half alpha over grey 100", 1, 1, 1, 0.5f, 0, 0, 0, half(red), half(green), half(blue), half(white)},
      {"tinted", 0.5f, 1, 0.25f, 1, 0, 0, 0, tint(red), tint(green), tint(blue), tint(white)},
      {"fully transparent",
       1,
       1,
       1,
       0,
       0,
       0,
       0,
       {100, 100, 100, 0},
       {100, 100, 100, 0},
       {100, 100, 100, 0},
       {100, 100, 100, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(BeginGrey());
    image.red = c.r, image.green = c.g, image.blue = c.b;
    image.alpha = c.alpha;
    image.rotation = c.rotation;
    image.mirrorH = c.mirrorH, image.mirrorV = c.mirrorV;
    const RectF destF = {float(dest.top), float(dest.left), float(dest.bottom), float(dest.right)};
    if (c.floatRect)
      image.Draw(&destF);
    else
      image.Draw(&dest);
    ExpectQuadrants(c.tl, c.tr, c.bl, c.br);
    EXPECT_RGB_NEAR(PortPixel(90, 132), 100, 100, 100);  // beside the quad
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    OpenGLEndDraw();
  }
}

TEST_F(Images, DrawLeavesItsStateSet) {
  if (!OpenWindow(640, 480)) return;
  ImageBuffer buffer(kTexSide, kTexSide);
  FillQuadrants(&buffer);
  ImageGL image;
  const Rect source = {0, 0, kTexSide, kTexSide};
  image.New(&buffer, &source);
  ASSERT_TRUE(BeginGrey());
  image.alpha = 0.5f;
  image.Draw(&dest);
  GLint value;
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(value, GL_ONE);
  glGetIntegerv(GL_BLEND_DST, &value);
  EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[0], 0.5f);
  EXPECT_FLOAT_EQ(colour[3], 0.5f);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
  EXPECT_EQ(value, GL_MODULATE);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
  EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
  EXPECT_EQ(glBindCACHE.texture, image.texture);

  image.alpha = 1.0f;  // opaque and untinted: no blending, replace
  image.Draw(&dest);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
  EXPECT_EQ(value, GL_REPLACE);
  OpenGLEndDraw();
}

TEST_F(Images, PremultipliedAlphaAndBrightening) {
  if (!OpenWindow(640, 480)) return;
  // Straight (255, 0, 0) at alpha 128 premultiplies to (128, 0, 0, 128).
  ImageBuffer buffer(kTexSide, kTexSide);
  for (UInt32 i = 0; i < buffer.byteCount; i += 4) {
    buffer.pixels[i] = 128;
    buffer.pixels[i + 3] = 128;
  }
  ImageGL translucent;
  const Rect source = {0, 0, kTexSide, kTexSide};
  translucent.New(&buffer, &source);
  translucent.hasAlpha = 1;
  ASSERT_TRUE(BeginGrey());
  translucent.Draw(&dest);
  // 128 + 100 × (1 - 128/255) for red, 100 × (1 - 128/255) for the others.
  EXPECT_RGB_NEAR(PortPixel(132, 132), 178, 50, 50);
  OpenGLEndDraw();

  // Grey 100, opaque, brightened.
  for (UInt32 i = 0; i < buffer.byteCount; i += 4) {
    buffer.pixels[i] = buffer.pixels[i + 1] = buffer.pixels[i + 2] = 100;
    buffer.pixels[i + 3] = 255;
  }
  ImageGL grey;
  grey.New(&buffer, &source);
  struct Case {
    float bright;
    int expected;
  };
  const Case cases[] = {{0.5f, 50}, {1.0f, 100}, {1.5f, 178}, {1.75f, 216}, {2.0f, 255}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bright);
    ASSERT_TRUE(BeginGrey());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    grey.SetBright(c.bright);
    grey.DrawBright(&dest);
    EXPECT_RGB_NEAR(PortPixel(132, 132), c.expected, c.expected, c.expected);
    GLint mode;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE);
    OpenGLEndDraw();
  }
}

// The 2 by 2 texels of the bound texture as R, G, B, A bytes.
std::vector<UInt8> Texels() {
  std::vector<UInt8> texels(2 * 2 * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

TEST_F(Images, PixMapSourcesWithMaskAndColourKey) {
  if (!OpenWindow(64, 64)) return;
  struct Case {
    const char* name;
    bool mask;
    UInt8 colorKey;
    UInt8 hasAlpha;
    std::vector<UInt8> texels;
  };
  // Pixels: red, white / grey 0x808080, blue. Mask bytes: 255, 0 / 128, 64.
  const Case cases[] = {
      {"plain: 0xAARRGGBB words keep their colours",
       false,
       0,
       0,
       {255, 0, 0, 0, 255, 255, 255, 0, 128, 128, 128, 0, 0, 0, 255, 0}},
      {"colour key: white becomes transparent",
       false,
       1,
       1,
       {255, 0, 0, 255, 0, 0, 0, 0, 128, 128, 128, 255, 0, 0, 255, 255}},
      {"mask: alpha with premultiplied colour",
       true,
       0,
       1,
       {255, 0, 0, 255, 0, 0, 0, 0, 64, 64, 64, 128, 0, 0, 64, 64}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Rect bounds = {0, 0, 2, 2};
    GWorldPtr world = nullptr, maskWorld = nullptr;
    ASSERT_EQ(NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0), noErr);
    ASSERT_EQ(NewGWorld(&maskWorld, 8, &bounds, nullptr, nullptr, 0), noErr);
    PixMapHandle pm = GetGWorldPixMap(world), mask = GetGWorldPixMap(maskWorld);
    const UInt32 pixels[4] = {0x00FF0000, 0x00FFFFFF, 0x00808080, 0x000000FF};
    const UInt8 coverage[4] = {255, 0, 128, 64};
    for (int i = 0; i < 4; i++) {
      reinterpret_cast<UInt32*>(GetPixBaseAddr(pm) + (i / 2) * GetPixRowBytes(pm))[i % 2] = pixels[i];
      reinterpret_cast<UInt8*>(GetPixBaseAddr(mask) + (i / 2) * GetPixRowBytes(mask))[i % 2] = coverage[i];
    }
    ImageGL image;
    image.hasAlpha = 1;
    const Rect source = {0, 0, 2, 2};
    image.New(pm, &source, c.mask ? mask : nullptr, c.colorKey);
    EXPECT_EQ(image.hasAlpha, c.hasAlpha);
    ASSERT_NE(image.texture, 0u);
    const std::vector<UInt8> texels = Texels();
    for (int i = 0; i < 16; i++) EXPECT_NEAR(texels[i], c.texels[i], 1) << i;
    DisposeGWorld(world);
    DisposeGWorld(maskWorld);
  }
}

TEST_F(Images, PixMapSourceIsCutToThePixMap) {
  if (!OpenWindow(64, 64)) return;
  const Rect bounds = {0, 0, 2, 2};
  GWorldPtr world = nullptr;
  ASSERT_EQ(NewGWorld(&world, 16, &bounds, nullptr, nullptr, 0), noErr);
  PixMapHandle pm = GetGWorldPixMap(world);
  reinterpret_cast<UInt16*>(GetPixBaseAddr(pm))[0] = 0x03E0;
  ImageGL image;
  const Rect tooLarge = {0, 0, 300, 200};
  image.New(pm, &tooLarge, nullptr, 1);
  EXPECT_EQ(image.Width(), 2);
  EXPECT_EQ(image.Height(), 2);
  EXPECT_EQ(image.hasAlpha, 0);  // other depths keep their flag
  const std::vector<UInt8> texels = Texels();
  EXPECT_EQ(texels[1], 255);
  ImageGL none;
  none.New(nullptr, &tooLarge, nullptr, 0);
  EXPECT_EQ(none.texture, 0u);
  DisposeGWorld(world);
}

// A draw gives the texture its sampling only when the texture has not had
// it: once for a name, again when the filter changes or the picture is made
// anew, and at every draw of a texture that images share.
TEST_F(Images, SamplingIsSetWhenTheTextureOrItsFilterChanges) {
  if (!OpenWindow(640, 480)) return;
  ImageBuffer buffer(kTexSide, kTexSide);
  FillQuadrants(&buffer);
  const Rect source = {0, 0, kTexSide, kTexSide};
  ImageGL image;
  image.New(&buffer, &source);
  auto filterOf = [](UInt32 name) {
    glBindTexture_fast(GL_TEXTURE_2D, name);
    GLint min = 0, mag = 0, wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    EXPECT_EQ(min, mag);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    return min;
  };
  auto set = [](UInt32 name, GLint f) {
    glBindTexture_fast(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
  };
  ASSERT_TRUE(BeginGrey());
  image.filter = GL_NEAREST;
  image.Draw(&dest);
  EXPECT_EQ(filterOf(image.texture), GL_NEAREST);
  {
    SCOPED_TRACE("the filter changed");
    image.filter = GL_LINEAR;
    image.Draw(&dest);
    EXPECT_EQ(filterOf(image.texture), GL_LINEAR);
  }
  {
    SCOPED_TRACE("nothing changed: the draw leaves the texture's sampling alone");
    set(image.texture, GL_NEAREST);
    image.Draw(&dest);
    EXPECT_EQ(filterOf(image.texture), GL_NEAREST);
    set(image.texture, GL_LINEAR);
  }
  {
    SCOPED_TRACE("a new frame leaves the picture drawn last as it was");
    image.filter = GL_NEAREST;
    image.Draw(&dest);
    OpenGLEndDraw();
    ASSERT_TRUE(BeginGrey());
    EXPECT_EQ(filterOf(image.texture), GL_NEAREST);
    image.filter = GL_LINEAR;
  }
  {
    SCOPED_TRACE("made anew, with the filter it had");
    image.New(&buffer, &source);
    image.Draw(&dest);
    EXPECT_EQ(filterOf(image.texture), GL_LINEAR);
    // The batch sets it the same way.
    image.New(&buffer, &source);
    const ImageQuad quad{RectF{100, 100, 164, 164}, 1, 1, 1, 1};
    DrawImageQuads(&image, &quad, 1);
    EXPECT_EQ(filterOf(image.texture), GL_LINEAR);
    EXPECT_RGB_NEAR(PortPixel(116, 116), 255, 0, 0);
  }
  {
    SCOPED_TRACE("two images on one texture, filtered differently");
    ImageGL sharp, smooth;
    for (ImageGL* i : {&sharp, &smooth}) {
      i->texture = image.texture;
      i->sharedTexture = 1;
      i->texWidth = i->texHeight = i->imageWidth = i->imageHeight = kTexSide;
    }
    sharp.filter = GL_NEAREST;
    smooth.filter = GL_LINEAR;
    for (int round = 0; round < 2; ++round) {
      sharp.Draw(&dest);
      EXPECT_EQ(filterOf(image.texture), GL_NEAREST) << round;
      smooth.Draw(&dest);
      EXPECT_EQ(filterOf(image.texture), GL_LINEAR) << round;
    }
  }
  OpenGLEndDraw();
}

// A picture whose texels land one on each window pixel, at whole pixels, is
// sampled nearest (each pixel centre is a texel centre, so the pixels are
// the texels themselves); any other is sampled as its filter says.
TEST_F(Images, TexelsLaidOnePerPixelAreSampledNearest) {
  struct Case {
    const char* name;
    SInt32 windowWidth, windowHeight;
    int side;  // of the picture; big ones go into rectangle textures
    RectF dest;
    float rotation;
    bool part;  // only the picture's part (4, 4)-(20, 20) is shown
    GLint expected;
  };
  const Case cases[] = {
      {"whole pixels, its own size", 640, 480, 32, {100, 100, 132, 132}, 0, false, GL_NEAREST},
      {"a rectangle texture", 640, 480, 300, {100, 100, 400, 400}, 0, false, GL_NEAREST},
      {"a part of it", 640, 480, 32, {100, 100, 116, 116}, 0, true, GL_NEAREST},
      {"whole margins around the port", 800, 480, 32, {100, 100, 132, 132}, 0, false, GL_NEAREST},
      {"half a pixel lower", 640, 480, 32, {100.5f, 100, 132.5f, 132}, 0, false, GL_LINEAR},
      {"half a pixel to the right", 640, 480, 32, {100, 100.5f, 132, 132.5f}, 0, false, GL_LINEAR},
      {"stretched", 640, 480, 32, {100, 100, 164, 164}, 0, false, GL_LINEAR},
      {"turned", 640, 480, 32, {100, 100, 132, 132}, 90, false, GL_LINEAR},
      {"the window scaled", 960, 720, 32, {100, 100, 132, 132}, 0, false, GL_LINEAR},
      {"half-pixel margins", 641, 480, 32, {100, 100, 132, 132}, 0, false, GL_LINEAR},
  };
  const ScopedRectangleTextures rectangles(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!OpenWindow(c.windowWidth, c.windowHeight)) return;
    // Every texel differs from its neighbours, so a pixel blended from
    // several of them would show.
    ImageBuffer buffer(c.side, c.side);
    for (int y = 0; y < c.side; y++)
      for (int x = 0; x < c.side; x++) {
        UInt8* p = buffer.pixels + y * buffer.rowBytes + x * 4;
        p[0] = UInt8(x * 37 + y * 11), p[1] = UInt8(x * 5 + y * 71), p[2] = UInt8((x ^ y) * 23), p[3] = 255;
      }
    ImageGL image;
    const Rect source = {0, 0, SInt16(c.side), SInt16(c.side)};
    image.New(&buffer, &source);
    ASSERT_EQ(bool(image.rectangle), c.side == 300);
    image.rotation = c.rotation;
    if (c.part) {
      image.srcRect = Rect{4, 4, 20, 20};
      image.useSrcRect = 1;
    }
    OpenGLEndDraw();
    ASSERT_TRUE(BeginGrey());
    image.Draw(&c.dest);
    const GLenum target = image.rectangle ? 0x84F5 : GL_TEXTURE_2D;
    GLint min = 0, mag = 0;
    glGetTexParameteriv(target, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(target, GL_TEXTURE_MAG_FILTER, &mag);
    EXPECT_EQ(min, c.expected);
    EXPECT_EQ(mag, c.expected);
    {
      // A batch is sampled nearest only when all its quads are laid so.
      SCOPED_TRACE("in a batch after one laid a texel on each pixel");
      const float w = c.dest.right - c.dest.left, h = c.dest.bottom - c.dest.top;
      const ImageQuad quads[2] = {{RectF{10, 10, 10 + h, 10 + w}, 1, 1, 1, 1}, {c.dest, 1, 1, 1, 1}};
      DrawImageQuads(&image, quads, 2);
      glBindTexture(target, image.texture);
      glGetTexParameteriv(target, GL_TEXTURE_MIN_FILTER, &min);
      EXPECT_EQ(min, c.expected);
    }
    ASSERT_TRUE(BeginGrey());
    image.Draw(&c.dest);
    if (c.expected == GL_NEAREST) {
      // The pixels are the texels.
      const Letterbox box = ComputeLetterbox(640, 480, c.windowWidth, c.windowHeight);
      const int w = int(c.dest.right - c.dest.left), h = int(c.dest.bottom - c.dest.top);
      const int first = c.part ? 4 : 0;
      int wrong = 0;
      for (int y = 0; y < h; y += 3)
        for (int x = 0; x < w; x += 3) {
          const RGBA8 got = WindowPixel(int(box.mx + c.dest.left) + x, int(box.my + c.dest.top) + y);
          const UInt8* t = buffer.pixels + (first + y) * buffer.rowBytes + (first + x) * 4;
          if (got.r != t[0] || got.g != t[1] || got.b != t[2]) ++wrong;
        }
      EXPECT_EQ(wrong, 0);
    }
    OpenGLEndDraw();
  }
}

TEST_F(Images, NoTextureDrawsNothingAndTouchesNoState) {
  if (!OpenWindow(640, 480)) return;
  ImageGL image;
  ASSERT_TRUE(BeginGrey());
  glBlendFunc(GL_ZERO, GL_ZERO);
  image.alpha = 0.5f;
  image.Draw(&dest);
  image.DrawBright(&dest);
  GLint value;
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(value, GL_ZERO);
  EXPECT_RGB_NEAR(PortPixel(132, 132), 100, 100, 100);
  OpenGLEndDraw();
}

}  // namespace
