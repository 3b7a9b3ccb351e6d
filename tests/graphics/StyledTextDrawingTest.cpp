#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "graphics/PixmapText.h"
#include "platform/QuickDraw.h"
#include "shell/StyledText.h"

namespace {

const UInt32 kWhite = 0x00FFFFFF;

// Styled text drawn for real into a 32-bit world filled white.
class StyledTextDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterPixmapFont(0, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    InstallStyledTextDrawing();
    GetGWorld(&oldPort, &oldDevice);
    ASSERT_EQ(NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0), noErr);
    SetGWorld(world, nullptr);
    EraseRect(&bounds);
  }
  void TearDown() override {
    SetGWorld(oldPort, oldDevice);
    if (world) DisposeGWorld(world);
    styledTextWidthProc = nullptr;
    styledTextDrawProc = nullptr;
    styledInvertProc = nullptr;
    ForgetPixmapFonts();
  }
  UInt32 Pixel(int h, int v) const {
    const PixMap& p = **world->portPixMap;
    return reinterpret_cast<const UInt32*>(p.baseAddr + v * (p.rowBytes & 0x7FFF))[h] & 0x00FFFFFF;
  }
  // The box around every pixel that is not white, and whether any lies
  // outside `inside`.
  Rect Ink(const Rect& inside, bool* outside) const {
    Rect box{SInt16(bounds.bottom), SInt16(bounds.right), 0, 0};
    *outside = false;
    for (int v = bounds.top; v < bounds.bottom; v++)
      for (int h = bounds.left; h < bounds.right; h++) {
        if (Pixel(h, v) == kWhite) continue;
        box = Rect{std::min<SInt16>(box.top, SInt16(v)), std::min<SInt16>(box.left, SInt16(h)),
                   std::max<SInt16>(box.bottom, SInt16(v + 1)), std::max<SInt16>(box.right, SInt16(h + 1))};
        if (v < inside.top || v >= inside.bottom || h < inside.left || h >= inside.right) *outside = true;
      }
    return box;
  }

  const Rect bounds{0, 0, 120, 240};
  GWorldPtr world = nullptr;
  CGrafPtr oldPort = nullptr;
  GDHandle oldDevice = nullptr;
};

// The ink stays in the rectangle and sits where the alignment puts it, in
// the style's colour; a line too long for the rectangle is clipped.
TEST_F(StyledTextDrawing, InkStaysInTheRectangleAndFollowsTheAlignment) {
  struct Case {
    const char* name;
    const unsigned char* text;
    SInt16 alignment;
    SInt16 size;
    RGBColor colour;
    UInt32 pixel;
  };
  const Rect area{20, 30, 70, 210};
  const auto* hello = reinterpret_cast<const unsigned char*>("\5Hello");
  const Case cases[] = {
      {"left", hello, teFlushLeft, 14, {0, 0, 0}, 0x000000},
      {"centre", hello, teCenter, 14, {65535, 0, 0}, 0xFF0000},
      {"right", hello, teFlushRight, 14, {0, 0, 65535}, 0x0000FF},
      {"too large", reinterpret_cast<const unsigned char*>("\x0EWWWWWWWWWWWWW"), teFlushLeft, 60, {0, 0, 0}, 0x000000},
  };
  SInt16 lastLeft = -1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EraseRect(&bounds);
    TextStyle style;
    style.tsSize = c.size;
    style.tsColor = c.colour;
    Rect r = area;
    DrawText(c.text, &r, &style, c.alignment, 0);
    bool outside = false;
    Rect ink = Ink(area, &outside);
    ASSERT_LT(ink.left, ink.right) << "nothing drawn";
    EXPECT_FALSE(outside);
    for (int v = ink.top; v < ink.bottom; v++)
      for (int h = ink.left; h < ink.right; h++)
        ASSERT_TRUE(Pixel(h, v) == kWhite || Pixel(h, v) == c.pixel) << std::hex << Pixel(h, v);
    if (c.size != 14) continue;
    EXPECT_GT(ink.left, lastLeft);  // left, centre, right move the ink right
    lastLeft = ink.left;
    const int middle = (area.left + area.right) / 2, inkMiddle = (ink.left + ink.right) / 2;
    const int off = c.alignment == teFlushLeft ? ink.left - area.left
                    : c.alignment == teCenter  ? std::abs(inkMiddle - middle)
                                               : area.right - ink.right;
    EXPECT_LE(off, 5);  // the glyphs' side bearings
  }
}

TEST_F(StyledTextDrawing, WithoutEraseTheBackgroundStaysBetweenTheLetters) {
  const Rect area{10, 10, 60, 200};
  const Rect band{10, 10, 60, 200};
  RGBColor grey{0x8080, 0x8080, 0x8080};
  RGBForeColor(&grey);
  PaintRect(&band);
  TextStyle style;
  style.tsSize = 20;
  Rect r = area;
  DrawText(reinterpret_cast<const unsigned char*>("\3H H"), &r, &style, teFlushLeft, 0);
  int text = 0, background = 0, white = 0;
  for (int v = area.top; v < area.bottom; v++)
    for (int h = area.left; h < area.right; h++) {
      UInt32 p = Pixel(h, v);
      text += p == 0x000000;
      background += p == 0x808080;
      white += p == kWhite;
    }
  EXPECT_GT(text, 0);
  EXPECT_GT(background, 0);
  EXPECT_EQ(white, 0);
  r = area;
  DrawText(reinterpret_cast<const unsigned char*>("\1H"), &r, &style, teFlushLeft, 1);
  EXPECT_EQ(Pixel(area.right - 1, area.bottom - 1), kWhite);  // erased to the back colour
}

TEST_F(StyledTextDrawing, MeasuringFollowsSizeAndFace) {
  TextStyle small, large, boldStyle;
  large.tsSize = 24;
  boldStyle.tsFace = kBoldFace;
  const char* text = "Hello";
  const SInt32 plain = styledTextWidthProc(text, 5, small);
  EXPECT_GT(plain, 0);
  EXPECT_GT(styledTextWidthProc(text, 5, large), plain * 3 / 2);
  EXPECT_EQ(styledTextWidthProc(text, 5, boldStyle), plain + 5);  // one pixel a glyph
  EXPECT_EQ(GetPortTextSize(world), 0);                           // the port's own settings are back
}

// An underline is one row of ink under the whole run, just below the
// baseline, where plain text leaves none.
TEST_F(StyledTextDrawing, UnderlineRunsUnderTheWholeRun) {
  const Rect area{10, 10, 60, 200};
  TextStyle style;
  style.tsSize = 20;
  const auto* text = reinterpret_cast<const unsigned char*>("\3mnm");  // no descenders
  Rect r = area;
  bool outside = false;
  DrawText(text, &r, &style, teFlushLeft, 0);
  const Rect plain = Ink(area, &outside);
  EraseRect(&bounds);
  style.tsFace = kUnderlineFace;
  r = area;
  DrawText(text, &r, &style, teFlushLeft, 0);
  const Rect underlined = Ink(area, &outside);
  ASSERT_GT(underlined.bottom, plain.bottom);
  const int row = underlined.bottom - 1;
  int inked = 0;
  for (int h = bounds.left; h < bounds.right; h++) inked += Pixel(h, row) != kWhite;
  EXPECT_EQ(inked, styledTextWidthProc("mnm", 3, style));
  EXPECT_LE(row - plain.bottom, 2);
}

// Italic slants the glyphs: the ink of an upright stroke leans right
// without the run getting wider.
TEST_F(StyledTextDrawing, ItalicLeansTheGlyphs) {
  const Rect area{10, 10, 70, 200};
  TextStyle style;
  style.tsSize = 40;
  const auto* text = reinterpret_cast<const unsigned char*>("\1l");
  bool outside = false;
  Rect r = area;
  DrawText(text, &r, &style, teFlushLeft, 0);
  const Rect upright = Ink(area, &outside);
  EraseRect(&bounds);
  style.tsFace = kItalicFace;
  r = area;
  DrawText(text, &r, &style, teFlushLeft, 0);
  const Rect slanted = Ink(area, &outside);
  EXPECT_GE(slanted.right - slanted.left, upright.right - upright.left + 5);
  TextStyle plain;
  plain.tsSize = 40;
  EXPECT_EQ(styledTextWidthProc("l", 1, style), styledTextWidthProc("l", 1, plain));
}

// Outline and shadow leave the glyphs hollow; the shadow reaches one pixel
// further right and down than the outline, and the run one pixel wider.
TEST_F(StyledTextDrawing, OutlineAndShadowAreHollow) {
  const Rect area{10, 10, 70, 200};
  const auto* text = reinterpret_cast<const unsigned char*>("\1I");
  Rect boxes[3];
  const UInt8 faces[3] = {kPlainFace, kOutlineFace, kShadowFace};
  for (int i = 0; i < 3; i++) {
    EraseRect(&bounds);
    TextStyle style;
    style.tsSize = 40;
    style.tsFace = faces[i];
    Rect r = area;
    DrawText(text, &r, &style, teFlushLeft, 0);
    bool outside = false;
    boxes[i] = Ink(area, &outside);
    if (i == 0) continue;
    const int h = (boxes[0].left + boxes[0].right) / 2, v = (boxes[0].top + boxes[0].bottom) / 2;
    EXPECT_EQ(Pixel(h, v), kWhite) << "hollow " << i;
  }
  EXPECT_EQ(boxes[1].right, boxes[0].right + 1);
  EXPECT_EQ(boxes[1].bottom, boxes[0].bottom + 1);
  EXPECT_EQ(boxes[2].right, boxes[1].right + 1);
  EXPECT_EQ(boxes[2].bottom, boxes[1].bottom + 1);
  TextStyle plain, shadowed;
  shadowed.tsFace = kShadowFace;
  EXPECT_EQ(styledTextWidthProc("II", 2, shadowed), styledTextWidthProc("II", 2, plain) + 2);
}

}  // namespace

namespace {

// The caret inverts a column a line high at the insertion point, and a
// second inversion takes it away without touching the text.
TEST_F(StyledTextDrawing, TheCaretInvertsAColumnAndComesOffAgain) {
  const Rect area{20, 30, 70, 210};
  StyledText t(area);
  t.SetText("Hi");
  t.SetSelect(2, 2);
  t.Draw();
  std::vector<UInt32> before;
  for (int v = bounds.top; v < bounds.bottom; v++)
    for (int h = bounds.left; h < bounds.right; h++) before.push_back(Pixel(h, v));
  const Rect caret = t.CaretRect();
  ASSERT_GT(caret.bottom, caret.top);
  EXPECT_EQ(caret.right - caret.left, 1);
  EXPECT_GT(caret.left, area.left + 8);  // past the two letters
  t.InvertCaret();
  for (int v = caret.top; v < caret.bottom; v++) EXPECT_EQ(Pixel(caret.left, v), 0x000000u) << v;
  t.InvertCaret();
  std::vector<UInt32> after;
  for (int v = bounds.top; v < bounds.bottom; v++)
    for (int h = bounds.left; h < bounds.right; h++) after.push_back(Pixel(h, v));
  EXPECT_EQ(after, before);
}

}  // namespace
