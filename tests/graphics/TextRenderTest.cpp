// Text into pixel buffers: return codes, measuring, alignment, clipping and
// blending. Glyph pixels are never compared with fixed values.
#include <ft2build.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/ImageBuffer.h"
#include "graphics/TextRender.h"
#include "support/TempFolder.h"

namespace {

const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class Text : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { face = LoadFont(kFont); }
  void SetUp() override { ASSERT_NE(face, nullptr) << kFont; }
  static FT_Face face;
};
FT_Face Text::face = nullptr;

std::vector<UInt8> Render(FT_Face face, const char* text, float x, char align, float y = 24.0f) {
  ImageBuffer buffer(128, 32);
  EXPECT_EQ(DrawText(&buffer, text, face, 16.0f, x, y, align), 0);
  return std::vector<UInt8>(buffer.pixels, buffer.pixels + buffer.byteCount);
}

bool AnyInk(const std::vector<UInt8>& pixels) {
  for (size_t i = 3; i < pixels.size(); i += 4)
    if (pixels[i]) return true;
  return false;
}

TEST_F(Text, ReturnCodesInOrder) {
  ImageBuffer none;
  ImageBuffer buffer(8, 8);
  EXPECT_EQ(DrawText(nullptr, "a", nullptr, 12.0f, 0, 0, 0), -1);
  EXPECT_EQ(DrawText(&none, "a", nullptr, 12.0f, 0, 0, 0), -2);
  EXPECT_EQ(DrawText(&buffer, "a", nullptr, 12.0f, 0, 0, 0), -3);
  EXPECT_EQ(DrawText(&buffer, "", face, 12.0f, 0, 0, 0), 0);
  EXPECT_EQ(DrawTextWidth("abc", nullptr, 12.0f), -1);
  EXPECT_EQ(DrawTextWidth("abc", face, 0.0f), -1);
  EXPECT_EQ(DrawTextWidth("", face, 12.0f), 0);
  EXPECT_EQ(LoadFont("/no/such/font.ttf"), nullptr);
}

// A font is read from a regular file only: a named pipe, a folder or an
// empty file in its place gives no face, at once; a face read from its file
// outlives nothing it needs (freeing it frees the bytes it was read from).
TEST_F(Text, FontsComeFromRegularFilesOnly) {
  TempFolder folder;
  const std::string pipe = folder / "pipe.ttf";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(LoadFont(pipe.c_str()), nullptr);
  EXPECT_EQ(LoadFont(folder.Path().c_str()), nullptr);
  EXPECT_EQ(LoadFont(folder.Write("empty.ttf", "").c_str()), nullptr);
  EXPECT_EQ(LoadFont(folder.Write("junk.ttf", "not a font at all").c_str()), nullptr);
  for (int i = 0; i < 3; ++i) {
    FT_Face again = LoadFont(kFont);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(DrawTextWidth("Hello", again, 20.0f), DrawTextWidth("Hello", face, 20.0f));
    FT_Done_Face(again);
  }
}

TEST_F(Text, WidthGrowsWithTextAndSize) {
  const int hello = DrawTextWidth("Hello", face, 20.0f);
  EXPECT_GT(hello, 30);
  EXPECT_LT(hello, 80);
  EXPECT_GT(DrawTextWidth("Hello Hello", face, 20.0f), 2 * hello);
  EXPECT_GT(DrawTextWidth("Hello", face, 40.0f), hello * 3 / 2);
  EXPECT_EQ(Render(face, "", 10, 0), std::vector<UInt8>(128 * 32 * 4, 0));
}

TEST_F(Text, AlignmentShiftsByTheWidth) {
  const char* text = "Align me";
  const int width = DrawTextWidth(text, face, 16.0f);
  struct Case {
    char align;
    float x, leftX;
  };
  const Case cases[] = {
      {2, 100.0f, float(100 - width)},    // right: x is the end
      {1, 64.0f, float(64 - width / 2)},  // centred
      {7, 64.0f, float(64 - width / 2)},  // any other code centres too
  };
  for (const Case& c : cases)
    EXPECT_EQ(Render(face, text, c.x, c.align), Render(face, text, c.leftX, 0)) << int(c.align);
}

TEST_F(Text, PremultipliedAndCumulative) {
  ImageBuffer buffer(64, 32);
  ASSERT_EQ(DrawText(&buffer, "Wq", face, 20.0f, 4.0f, 22.0f, 0), 0);
  std::vector<UInt8> once(buffer.pixels, buffer.pixels + buffer.byteCount);
  int partial = 0, canRise = 0;
  for (size_t i = 0; i < once.size(); i += 4) {
    // White over a cleared buffer: colour equals coverage.
    const int v = once[i + 3];
    EXPECT_TRUE(once[i] == v && once[i + 1] == v && once[i + 2] == v) << i;
    if (v > 0 && v < 255) partial++;
    // A second pass adds (255 - v) * v / 255, which truncates to 0 near the ends.
    if ((255 - v) * v >= 255) canRise++;
  }
  ASSERT_GT(partial, 0);
  ASSERT_GT(canRise, partial / 2);
  ASSERT_EQ(DrawText(&buffer, "Wq", face, 20.0f, 4.0f, 22.0f, 0), 0);
  int raised = 0;
  for (size_t i = 3; i < once.size(); i += 4) {
    EXPECT_GE(buffer.pixels[i], once[i]);
    if (once[i] > 0 && once[i] < 255 && buffer.pixels[i] > once[i]) raised++;
  }
  EXPECT_EQ(raised, canRise);
}

TEST_F(Text, ColourAndAlphaScaleCoverage) {
  ImageBuffer buffer(64, 32);
  buffer.color.red = 1.0f;
  buffer.color.green = 0.5f;
  buffer.color.blue = 0.0f;
  buffer.color.alpha = 0.5f;
  ASSERT_EQ(DrawText(&buffer, "H", face, 24.0f, 4.0f, 24.0f, 0), 0);
  int maxAlpha = 0;
  for (UInt32 i = 0; i < buffer.byteCount; i += 4) {
    const UInt8* p = buffer.pixels + i;
    maxAlpha = std::max<int>(maxAlpha, p[3]);
    EXPECT_EQ(p[2], 0);
    EXPECT_LE(p[1], p[0]);
  }
  // A solid stem at half opacity: coverage 255 becomes 127.
  EXPECT_EQ(maxAlpha, 127);
}

TEST_F(Text, GlyphsOutsideTheBufferAreClipped) {
  struct Case {
    float x, y;
    bool ink;
  };
  const Case cases[] = {
      {-20.0f, 20.0f, true},    // starts left of the buffer
      {100.0f, 20.0f, true},    // runs past the right edge
      {4.0f, 4.0f, true},       // ascenders above the top
      {4.0f, 300.0f, false},    // baseline far below
      {-500.0f, 20.0f, false},  // entirely to the left
      {4.0f, -100.0f, false},   // entirely above
  };
  for (const Case& c : cases)
    EXPECT_EQ(AnyInk(Render(face, "Clipped glyphs", c.x, 0, c.y)), c.ink) << c.x << "," << c.y;
  // Large text around a small buffer whose pixels sit inside a guard band.
  ImageBuffer buffer(16, 16);
  UInt8* own = buffer.pixels;
  std::vector<UInt8> block(64 + buffer.byteCount + 64, 0xAB);
  buffer.pixels = block.data() + 64;
  std::memset(buffer.pixels, 0, buffer.byteCount);
  for (const Case& c : cases) ASSERT_EQ(DrawText(&buffer, "Wide text here", face, 30.0f, c.x / 4, c.y / 4, 0), 0);
  buffer.pixels = own;
  for (size_t i = 0; i < 64; i++) {
    EXPECT_EQ(block[i], 0xAB);
    EXPECT_EQ(block[block.size() - 1 - i], 0xAB);
  }
}

TEST_F(Text, BytesAboveAsciiAreTheEnginesCharacterSet) {
  // 0xD0 is the en dash of the engine's 8-bit set: one thin horizontal
  // stroke, drawn as a glyph and not as an empty box.
  const char dash[] = {'\xD0', 0};
  const char noGlyph[] = {'\x7F', 0};
  EXPECT_GT(DrawTextWidth(dash, face, 16.0f), 0);
  const std::vector<UInt8> drawn = Render(face, dash, 10, 0);
  EXPECT_NE(drawn, Render(face, noGlyph, 10, 0));
  int top = 32, bottom = -1, inked = 0;
  for (int y = 0; y < 32; y++) {
    for (int x = 0; x < 128; x++) {
      if (drawn[(y * 128 + x) * 4 + 3] > 127) {
        top = std::min(top, y), bottom = std::max(bottom, y), inked++;
      }
    }
  }
  EXPECT_GT(inked, 4);
  EXPECT_LE(bottom - top, 2);
  EXPECT_LT(bottom, 24);  // above the baseline
}

}  // namespace
