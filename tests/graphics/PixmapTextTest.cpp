#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/ClutFading.h"
#include "graphics/PixmapText.h"
#include "platform/QuickDrawColor.h"

namespace {

// Fixed metrics: 5 pixels a glyph, ascent 9, descent 3, leading 2. Drawing
// records each call with the pen, face and fore colour it saw.
struct DrawCall {
  std::string text;
  Point pen;
  UInt8 face;
  RGBColor fore;
};
std::vector<DrawCall> drawn;

CGrafPtr Current() {
  CGrafPtr port;
  GDHandle device;
  GetGWorld(&port, &device);
  return port;
}
void FakeInfo(FontInfo* info) { *info = FontInfo{9, 3, 5, 2}; }
SInt16 FakeWidth(const char*, SInt32, SInt32 length) { return SInt16(5 * length); }
void FakeDraw(const char* text, SInt32 offset, SInt32 length) {
  CGrafPtr port = Current();
  drawn.push_back({std::string(text + offset, size_t(length)), port->pnLoc, port->txFace, port->rgbFgColor});
  port->pnLoc.h = SInt16(port->pnLoc.h + 5 * length);
}
const PortTextBackEnd kFake{FakeInfo, FakeWidth, FakeDraw};

bool Same(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
std::string Show(const Rect& r) {
  return std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) + "," +
         std::to_string(r.right);
}

// An 8-bit world as the current port, the standard table as mainCLUT, and
// the fixed metrics.
class PixmapText : public testing::Test {
 protected:
  void SetUp() override {
    GetGWorld(&oldPort, &oldDevice);
    const Rect bounds{0, 0, 60, 120};
    ASSERT_EQ(NewGWorld(&world, 8, &bounds, nullptr, nullptr, 0), noErr);
    SetGWorld(world, nullptr);
    oldCLUT = mainCLUT;
    mainCLUT = GetCTable(8);
    previous = SetPortTextBackEnd(&kFake);
    drawn.clear();
  }
  void TearDown() override {
    SetPortTextBackEnd(previous);
    DisposeCTable(mainCLUT);
    mainCLUT = oldCLUT;
    SetGWorld(oldPort, oldDevice);
    DisposeGWorld(world);
  }
  UInt8 PixelAt(int h, int v) const {
    PixMap& p = **world->portPixMap;
    return UInt8(p.baseAddr[v * (p.rowBytes & 0x7FFF) + h]);
  }
  RGBColor Entry(int i) const { return (*mainCLUT)->ctTable[i].rgb; }

  GWorldPtr world = nullptr;
  CGrafPtr oldPort = nullptr;
  GDHandle oldDevice = nullptr;
  CTabHandle oldCLUT = nullptr;
  const PortTextBackEnd* previous = nullptr;
};

bool SameColour(const RGBColor& a, const RGBColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

TEST_F(PixmapText, LinesAtAWidth) {
  struct Case {
    const char* text;
    SInt32 width;
    SInt32 lines;
  };
  const Case cases[] = {
      {"", 25, 0},
      {"abc", 25, 1},
      {"hello world", 25, 2},  // "hello " then "world"
      {"hello world", 60, 1},
      {"abcdefghij", 25, 2},  // a word wider than the line breaks inside it
      {"abc", 0, 3},          // no room: still one character a line
      {"abc", -10, 3},
      {"ab\ncd", 100, 2},
      {"a    ", 5, 1},  // trailing spaces hang
  };
  for (const Case& c : cases)
    EXPECT_EQ(MeasureStringLines(c.text, UInt32(strlen(c.text)), c.width), c.lines) << c.text << " @" << c.width;
}

TEST_F(PixmapText, MeasuringLeavesThePortsClip) {
  const Rect clip{5, 6, 40, 50};
  ClipRect(&clip);
  MeasureStringLines("hello world", 11, 25);
  EXPECT_TRUE(Same(world->clipRgn->rgnBBox, clip)) << Show(world->clipRgn->rgnBBox);
  const Rect rect{0, 0, 30, 60};
  DrawStringInRect("hello world", 11, &rect, 10, 0, 0, 1, 0, -1);
  EXPECT_TRUE(Same(world->clipRgn->rgnBBox, clip)) << Show(world->clipRgn->rgnBBox);
  // A port without a clip is left without one.
  DisposeRgn(world->clipRgn);
  world->clipRgn = nullptr;
  DrawStringInRect("hello world", 11, &rect, 10, 0, 0, 1, 0, -1);
  EXPECT_EQ(world->clipRgn, nullptr);
}

// "hello world again" at width 25: lines start at 0, 6 and 12.
const char kText[] = "hello world again";
const UInt32 kLength = 17;

TEST_F(PixmapText, CharacterQueries) {
  struct Case {
    UInt32 index;
    SInt32 line, wrap, column;
  };
  const Case cases[] = {
      {0, 0, 0, 0}, {5, 0, 0, 5},  {6, 0, 0, 6},  // a character at a line's start belongs to the line before
      {7, 1, 6, 1}, {12, 1, 6, 6}, {13, 2, 12, 1}, {17, 2, 12, 5}, {99, 2, 12, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindLineOfCharInString(kText, kLength, c.index, 25), c.line) << c.index;
    EXPECT_EQ(FindWrapOfCharInString(kText, kLength, c.index, 25), c.wrap) << c.index;
    EXPECT_EQ(FindColumnOfCharInString(kText, kLength, c.index, 25), c.column) << c.index;
  }
  for (auto [line, start] : {std::pair{-1, 0}, {0, 0}, {1, 6}, {2, 12}, {3, 17}, {9, 17}})
    EXPECT_EQ(FindWrapOfLineInString(kText, kLength, line, 25), start) << line;
}

TEST_F(PixmapText, BoundsOfACharacter) {
  const Rect rect{10, 20, 100, 49};  // 29 wide, margin 2: lines of 25
  EXPECT_TRUE(Same(FindBoundsOfCharInString(kText, kLength, 7, &rect, 10, 0, 0, 2), Rect{22, 27, 28, 32}));
  EXPECT_TRUE(Same(FindBoundsOfCharInString(kText, kLength, 7, &rect, 10, 3, 4, 2), Rect{18, 24, 24, 29}));
  // The default line height is ascent + descent + twice the margin: 16.
  EXPECT_TRUE(Same(FindBoundsOfCharInString(kText, kLength, 7, &rect, -1, 0, 0, 2), Rect{28, 27, 40, 32}));
  // The end of the text has no width.
  const Rect end = FindBoundsOfCharInString(kText, kLength, kLength, &rect, 10, 0, 0, 2);
  EXPECT_EQ(end.left, end.right);
  EXPECT_EQ(end.left, 22 + 25);
  EXPECT_EQ(FontHeight(), 14);
}

TEST_F(PixmapText, CharacterUnderAPoint) {
  const Rect rect{0, 0, 100, 25};
  struct Case {
    SInt16 h, v, lineHeight;
    SInt32 index;
    const char* why;
  };
  const Case cases[] = {
      {5, 3, 10, 1, "exactly between characters 0 and 1: the later one"},
      {2, 3, 10, 0, "nearer to the prefix of 0"},
      {3, 3, 10, 1, "nearer to the prefix of 5"},
      {0, 15, 10, 6, "start of line 1"},
      {7, 15, 10, 7, "inside line 1"},
      {10, 25, 10, 14, "line 2"},
      {200, 3, 10, 6, "past a line's end: its end"},
      {5, -1, 10, 0, "above the rectangle"},
      {5, 3, 0, 0, "no line height: never divides"},
  };
  for (const Case& c : cases) {
    const Point pt{c.v, c.h};
    EXPECT_EQ(FindCharByPointInString(kText, kLength, &pt, &rect, c.lineHeight, 0, 0, 0), c.index) << c.why;
  }
}

TEST_F(PixmapText, LabelBoxPenAndAlignment) {
  const unsigned char text[] =
      "\x07"
      "abcdefg";  // 35 pixels; margin 3 makes the box 41 wide
  struct Case {
    char align;
    SInt16 shift;
  };
  for (const Case& c : {Case{0, 0}, Case{1, 20}, Case{2, 41}}) {
    drawn.clear();
    const Rect box = DrawString2(text, 30, 10, c.align, -1, -1, 3, -1);
    EXPECT_TRUE(Same(box, Rect{10, SInt16(30 - c.shift), 28, SInt16(71 - c.shift)})) << Show(box);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].pen.h, 33 - c.shift);
    EXPECT_EQ(drawn[0].pen.v, 22);
  }
  const Rect number = DrawString2(SInt32(-42), 0, 0, 0, -1, -1, 0, -1);
  EXPECT_EQ(drawn.back().text, "-42");
  EXPECT_EQ(number.right, 15);
}

TEST_F(PixmapText, AtThePenNoBoxIsPainted) {
  MoveTo(50, 40);
  const unsigned char text[] =
      "\x02"
      "ab";
  const Rect box = DrawString2(text, -32768, 0, 0, 5, -1, 2, -1);
  EXPECT_TRUE(Same(box, Rect{29, 48, 45, 62})) << Show(box);
  for (int v = 0; v < 60; ++v)
    for (int h = 0; h < 120; ++h) ASSERT_EQ(PixelAt(h, v), 0) << h << "," << v;
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].pen.h, 50);
}

TEST_F(PixmapText, BoxThenShadowThenTextAndColoursComeBack) {
  const RGBColor before = world->rgbFgColor;
  const unsigned char text[] =
      "\x02"
      "ab";
  world->txFace = bold;
  const Rect box = DrawString2(text, 10, 10, 0, 5, 7, 1, 9);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].face, bold | 0x28);  // the shadow first, outlined and condensed
  EXPECT_TRUE(SameColour(drawn[0].fore, Entry(9)));
  EXPECT_EQ(drawn[1].face, bold);
  EXPECT_TRUE(SameColour(drawn[1].fore, Entry(7)));
  EXPECT_EQ(drawn[0].pen.h, drawn[1].pen.h);  // at the same pen
  EXPECT_EQ(drawn[0].pen.v, drawn[1].pen.v);
  EXPECT_TRUE(SameColour(world->rgbFgColor, before));
  EXPECT_NE(PixelAt(box.left, box.top), 0);  // the box was painted
  EXPECT_EQ(PixelAt(box.right, box.top), 0);
}

TEST_F(PixmapText, WrappedTextDrawsTheVisibleLines) {
  const Rect rect{4, 10, 24, 39};  // 29 wide, margin 2: lines of 25; 20 high
  const SInt32 lines = DrawStringInRect(kText, kLength, &rect, 10, 1, 5, 1, 2, -1);
  EXPECT_EQ(lines, 3);
  // Line 2 starts at 20 - 5 = 15 < 20: drawn; with scroll 0 it would be too.
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].text, "hello ");
  EXPECT_EQ(drawn[0].pen.h, 10 + 2 - 1);
  EXPECT_EQ(drawn[0].pen.v, 4 + 2 + 9 - 5);
  EXPECT_EQ(drawn[2].pen.v, 4 + 20 + 2 + 9 - 5);
  drawn.clear();
  EXPECT_EQ(DrawStringInRect(kText, kLength, &rect, 10, 0, 0, 1, 2, -1), 3);
  EXPECT_EQ(drawn.size(), 2u);  // line 2 starts at 20, the rectangle's height
  drawn.clear();
  EXPECT_EQ(DrawStringInRect(kText, kLength, &rect, 10, 0, 0, 0, 2, -1), 3);
  EXPECT_EQ(drawn.size(), 3u);  // without clip every line is drawn
}

TEST(PixmapTextFreeType, GlyphsLandInsideTheLabelsBox) {
  ASSERT_TRUE(RegisterPixmapFont(0, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
  CGrafPtr oldPort;
  GDHandle oldDevice;
  GetGWorld(&oldPort, &oldDevice);
  GWorldPtr world;
  const Rect bounds{0, 0, 60, 160};
  ASSERT_EQ(NewGWorld(&world, 8, &bounds, nullptr, nullptr, 0), noErr);
  SetGWorld(world, nullptr);
  TextSize(20);
  const CTabHandle oldCLUT = mainCLUT;
  mainCLUT = GetCTable(8);

  FontInfo info;
  GetFontInfo(&info);
  EXPECT_GT(info.ascent, 10);
  EXPECT_GT(info.descent, 0);
  const unsigned char text[] =
      "\x05"
      "Hallo";
  const SInt16 width = StringWidth(text);
  SInt16 sum = 0;
  for (int i = 1; i <= 5; ++i) sum = SInt16(sum + CharWidth(char(text[i])));
  EXPECT_EQ(width, sum);
  TextFace(bold);
  EXPECT_EQ(StringWidth(text), width + 5);  // one pixel a glyph
  TextFace(normal);

  const Rect box = DrawString2(text, 20, 10, 0, -1, 255, 2, -1);
  PixMap& p = **world->portPixMap;
  int ink = 0, outside = 0;
  for (int v = 0; v < 60; ++v)
    for (int h = 0; h < 160; ++h) {
      if (UInt8(p.baseAddr[v * (p.rowBytes & 0x7FFF) + h]) == 0) continue;
      ++ink;
      outside += v < box.top || v >= box.bottom || h < box.left || h >= box.right;
    }
  EXPECT_GT(ink, 20);
  EXPECT_EQ(outside, 0);

  DisposeCTable(mainCLUT);
  mainCLUT = oldCLUT;
  SetGWorld(oldPort, oldDevice);
  DisposeGWorld(world);
  ForgetPixmapFonts();
}

}  // namespace
