// Value types, power-of-two functions and the frame's arithmetic: no display.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "foundation/Colors.h"
#include "graphics/ImageGL.h"
#include "graphics/OpenGLFrame.h"
#include "shell/ApplInfo.h"

TEST(Colors, ResetValues) {
  RGBColorF rgbf;
  RGBAColorF rgbaf;
  RGBAColor rgba;
  RGBAColor16 tint;
  EXPECT_EQ(rgbf.red + rgbf.green + rgbf.blue, 3.0f);
  EXPECT_EQ(rgbaf.red + rgbaf.green + rgbaf.blue + rgbaf.alpha, 4.0f);
  EXPECT_EQ(rgba.red & rgba.green & rgba.blue & rgba.alpha, 65535);
  EXPECT_TRUE(tint.red == 32 && tint.green == 32 && tint.blue == 32 && tint.alpha == 32);
}

TEST(Colors, SetRect2) {
  struct Case {
    int x, y, w, h;
    Rect expected;  // top, left, bottom, right
  };
  const Case cases[] = {
      {10, 20, 0, 0, {20, 10, 20, 10}},          // empty, at its origin
      {10, 20, 30, 40, {20, 10, 60, 40}},        //
      {10, 20, -5, -6, {20, 10, 14, 5}},         // negative sizes are not corrected
      {32760, 0, 10, 1, {0, 32760, 1, -32766}},  // sums are kept in 16 bits
  };
  for (const Case& c : cases) {
    Rect r;
    SetRect2(&r, c.x, c.y, c.w, c.h);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.bottom, c.expected.bottom);
    EXPECT_EQ(r.right, c.expected.right) << c.x << "," << c.w;
  }
}

TEST(PowerOfTwo, Table) {
  struct Case {
    SInt32 n, log, pow, nextLog, nextPow, prevPow;
  };
  const Case cases[] = {
      {-3, INT32_MIN, 0, INT32_MIN, 0, 0},
      {0, INT32_MIN, 1, INT32_MIN, 0, 0},
      {1, 0, 2, 0, 1, 1},
      {2, 1, 4, 1, 2, 2},
      {3, 1, 8, 2, 4, 2},
      {640, 9, -1, 10, 1024, 512},
      {1000, 9, -1, 10, 1024, 512},
      {1024, 10, -1, 10, 1024, 1024},
      {31, 4, INT32_MIN, 5, 32, 16},
      {INT32_MAX, 30, -1, 31, INT32_MIN, 1 << 30},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LogBaseTwo(c.n), c.log) << c.n;
    EXPECT_EQ(PowBaseTwo(c.n), c.pow) << c.n;
    EXPECT_EQ(NextLogTwo(c.n), c.nextLog) << c.n;
    EXPECT_EQ(NextPowTwo(c.n), c.nextPow) << c.n;
    EXPECT_EQ(PrevPowTwo(c.n), c.prevPow) << c.n;
  }
}

TEST(Frame, LetterboxAndScissorForWindowSizes) {
  struct Case {
    SInt32 ww, wh;
    float s, mx, my;
    ScissorBox box;  // of the whole 640 by 480 port
  };
  const Case cases[] = {
      {640, 480, 1.0f, 0.0f, 0.0f, {0, 0, 640, 480}},
      {1024, 768, 1.6f, 0.0f, 0.0f, {0, 0, 1024, 768}},
      {1280, 800, 800.0f / 480.0f, 106.666f, 0.0f, {106, 0, 1066, 800}},
      {1600, 960, 2.0f, 160.0f, 0.0f, {160, 0, 1280, 960}},
      {1000, 480, 1.0f, 180.0f, 0.0f, {180, 0, 640, 480}},
      {640, 960, 1.0f, 0.0f, 240.0f, {0, 240, 640, 480}},
  };
  const Rect port = {0, 0, 480, 640};
  for (const Case& c : cases) {
    Letterbox box = ComputeLetterbox(640, 480, c.ww, c.wh);
    EXPECT_NEAR(box.s, c.s, 1e-4) << c.ww << "x" << c.wh;
    EXPECT_NEAR(box.mx, c.mx, 1e-2) << c.ww << "x" << c.wh;
    EXPECT_NEAR(box.my, c.my, 1e-2) << c.ww << "x" << c.wh;
    ScissorBox b = PortScissorBox(port, port, Rect{0, 0, SInt16(c.wh), SInt16(c.ww)});
    EXPECT_EQ(b.x, c.box.x) << c.ww << "x" << c.wh;
    EXPECT_EQ(b.y, c.box.y) << c.ww << "x" << c.wh;
    EXPECT_EQ(b.width, c.box.width) << c.ww << "x" << c.wh;
    EXPECT_EQ(b.height, c.box.height) << c.ww << "x" << c.wh;
  }
}

TEST(Frame, ScissorOfAPartOfThePortCountsYUpwards) {
  // Port rows 100..200 in a 2x letterbox with 160-pixel side margins.
  ScissorBox b = PortScissorBox(Rect{100, 10, 200, 30}, Rect{0, 0, 480, 640}, Rect{0, 0, 960, 1600});
  EXPECT_EQ(b.x, 160 + 20);
  EXPECT_EQ(b.y, (480 - 200) * 2);
  EXPECT_EQ(b.width, 40);
  EXPECT_EQ(b.height, 200);
}

TEST(Frame, BrightnessFunctionsClamp) {
  struct Step {
    void (*op)(UInt8);
    UInt8 step;
    int start, expected;
  };
  const Step steps[] = {
      {Brighter_GL, 10, 250, 255}, {Darker_GL, 10, 5, 0},    {Darker_GL, 255, 255, 0},
      {Brighter_GL, 255, 0, 255},  {Darker_GL, 1, 255, 254}, {Brighter_GL, 0, 128, 128},
  };
  for (const Step& s : steps) {
    glFADER.SetBright(SInt16(s.start));
    s.op(s.step);
    EXPECT_EQ(Brightness_GL(), s.expected) << s.start;
    EXPECT_EQ(glFADER.alpha, 255 - s.expected);
  }
  MinBright_GL();
  EXPECT_EQ(glFADER.Bright(), 0);
  MaxBright_GL();
  EXPECT_EQ(glFADER.Bright(), 255);
  glFADER.SetBright(3);
  NormBright_GL();
  EXPECT_EQ(glFADER.Bright(), 255);
  EXPECT_EQ(glFADER.alpha, 0);
}

TEST(Frame, VerticalSyncFlag) {
  EXPECT_EQ(VBLSyncEnabled(), 0);
  EnableVBLSync();
  EXPECT_EQ(VBLSyncEnabled(), 1);
  DisableVBLSync();
  EXPECT_EQ(VBLSyncEnabled(), 0);
}

namespace {
int flushes = 0;
void CountFlush(WindowRef) { flushes++; }
}  // namespace

TEST(Frame, FadesStepOnceATickUntilTheEnd) {
  struct Case {
    void (*fade)(UInt8);
    UInt8 step;
    SInt16 start, end;
    int flushes;
  };
  const Case cases[] = {
      {FadeOut_GL, 255, 255, 0, 1}, {FadeOut_GL, 100, 255, 0, 3}, {FadeOut_GL, 0, 3, 0, 3},  // 0 counts as 1
      {FadeIn_GL, 64, 0, 255, 4},   {FadeIn_GL, 10, 255, 255, 0}, {FadeOut_GL, 9, 0, 0, 0},
  };
  const QKELProc saved = QKEL[kQKELFlushToScreen];
  QKEL[kQKELFlushToScreen] = reinterpret_cast<QKELProc>(static_cast<FlushToScreenProc>(CountFlush));
  for (const Case& c : cases) {
    flushes = 0;
    glFADER.SetBright(c.start);
    c.fade(c.step);
    EXPECT_EQ(Brightness_GL(), c.end) << c.start << " by " << int(c.step);
    EXPECT_EQ(flushes, c.flushes) << c.start << " by " << int(c.step);
  }
  QKEL[kQKELFlushToScreen] = saved;
  NormBright_GL();
}
