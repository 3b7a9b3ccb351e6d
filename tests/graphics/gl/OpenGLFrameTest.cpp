// The letterboxed frame, its scissor box and the brightness overlay, read
// back from the window.
#include "GLWindowFixture.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "support/FakeEventPlatform.h"

namespace {

class Frame : public GLWindowTest {
 protected:
  // Fills the port (and only the port: the scissor box holds) with a grey.
  void FillPort(float grey) {
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  // An untextured quad over port pixels [left, right) x [top, bottom).
  void Quad(float left, float top, float right, float bottom, float r, float g, float b) {
    const GLfloat v[12] = {left, top, 0, right, top, 0, left, bottom, 0, right, bottom, 0};
    const GLfloat t[8] = {};
    glColor4f(r, g, b, 1.0f);
    glVertexPointer(3, GL_FLOAT, 0, v);
    glTexCoordPointer(2, GL_FLOAT, 0, t);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  }
};

TEST_F(Frame, LetterboxScissorAndMarginsForWindowSizes) {
  struct Case {
    SInt32 ww, wh;
    GLint box[4];
  };
  const Case cases[] = {
      {640, 480, {0, 0, 640, 480}},     {1024, 768, {0, 0, 1024, 768}},  {1280, 800, {106, 0, 1066, 800}},
      {1600, 960, {160, 0, 1280, 960}}, {1000, 480, {180, 0, 640, 480}}, {640, 960, {0, 240, 640, 480}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ww << "x" << c.wh);
    if (!OpenWindow(c.ww, c.wh)) return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], c.ww);
    EXPECT_EQ(viewport[3], c.wh);
    OpenGLBeginDraw(GamePort());
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    for (int i = 0; i < 4; i++) EXPECT_EQ(box[i], c.box[i]) << i;
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    FillPort(1.0f);
    Quad(100, 200, 101, 201, 1.0f, 0.0f, 0.0f);  // one port pixel
    Quad(600, 20, 640, 60, 0.0f, 0.0f, 1.0f);    // a block at the right edge
    VisualFXGL(&glDrawVars.portRect);
    EXPECT_RGB_NEAR(PortPixel(320, 240), 255, 255, 255);
    EXPECT_RGB_NEAR(PortPixel(100, 200), 255, 0, 0);
    EXPECT_RGB_NEAR(PortPixel(620, 40), 0, 0, 255);
    // Margins: just outside each side of the scissor box.
    if (c.box[0] > 1) {
      EXPECT_RGB_NEAR(WindowPixel(c.box[0] - 2, c.wh / 2), 0, 0, 0);
      EXPECT_RGB_NEAR(WindowPixel(c.box[0] + c.box[2] + 1, c.wh / 2), 0, 0, 0);
    }
    if (c.box[1] > 1) {
      EXPECT_RGB_NEAR(WindowPixel(c.ww / 2, c.box[1] - 2), 0, 0, 0);
      EXPECT_RGB_NEAR(WindowPixel(c.ww / 2, c.wh - c.box[1] + 1), 0, 0, 0);
    }
    OpenGLEndDraw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
}

// The pointer maps onto the picture as drawn: the game rectangle it uses
// covers exactly the window pixels the port's picture touches, on odd window
// sizes too (a partly covered edge pixel belongs to the rectangle).
TEST_F(Frame, PointerRectangleMatchesTheDrawnPicture) {
  const SInt32 sizes[][2] = {{640, 480}, {1024, 768}, {1280, 800}, {1600, 960}, {1000, 480},
                             {640, 960}, {1360, 768}, {1000, 700}, {720, 720}};
  for (const auto& size : sizes) {
    const SInt32 ww = size[0], wh = size[1];
    SCOPED_TRACE(testing::Message() << ww << "x" << wh);
    if (!OpenWindow(ww, wh)) return;
    OpenGLBeginDraw(GamePort());
    const Rect port = glDrawVars.portRect;
    // The whole port in white, unclipped: where the transform puts the picture.
    glDisable(GL_SCISSOR_TEST);
    Quad(0, 0, port.right, port.bottom, 1.0f, 1.0f, 1.0f);
    auto lit = [&](int x, int y) { return WindowPixel(x, y).g > 128; };
    int left = 0, right = ww - 1, top = 0, bottom = wh - 1;
    while (left < ww && !lit(left, wh / 2)) left++;
    while (right >= 0 && !lit(right, wh / 2)) right--;
    while (top < wh && !lit(ww / 2, top)) top++;
    while (bottom >= 0 && !lit(ww / 2, bottom)) bottom--;
    OpenGLEndDraw();

    Rect pointer;
    {
      FakeEventPlatform platform;
      platform.window = Rect{0, 0, SInt16(wh), SInt16(ww)};
      const SInt16 gameWidth = APPL.gameWidth, gameHeight = APPL.gameHeight;
      APPL.gameWidth = port.right;
      APPL.gameHeight = port.bottom;
      GetScaledGameRect(&pointer);
      APPL.gameWidth = gameWidth;
      APPL.gameHeight = gameHeight;
    }
    // Lit pixels have their centres inside the picture; the rectangle adds
    // at most the one partly covered pixel on each side.
    EXPECT_GE(left, pointer.left);
    EXPECT_LE(left, pointer.left + 1);
    EXPECT_GE(top, pointer.top);
    EXPECT_LE(top, pointer.top + 1);
    EXPECT_LE(right + 1, pointer.right);
    EXPECT_GE(right + 1, pointer.right - 1);
    EXPECT_LE(bottom + 1, pointer.bottom);
    EXPECT_GE(bottom + 1, pointer.bottom - 1);
    // Where the picture's edges fall on whole pixels, exactly.
    const Letterbox box = ComputeLetterbox(port.right, port.bottom, ww, wh);
    if (box.mx == float(int(box.mx))) {
      EXPECT_EQ(left, pointer.left);
      EXPECT_EQ(right + 1, pointer.right);
    }
    if (box.my == float(int(box.my))) {
      EXPECT_EQ(top, pointer.top);
      EXPECT_EQ(bottom + 1, pointer.bottom);
    }
  }
}

TEST_F(Frame, ClipRectGLScissorsToAPortRectangle) {
  if (!OpenWindow(1600, 960)) return;
  OpenGLBeginDraw(GamePort());
  Rect part = {100, 200, 150, 300};
  ClipRectGL(&part);
  FillPort(1.0f);
  VisualFXGL(&glDrawVars.portRect);
  EXPECT_RGB_NEAR(PortPixel(250, 125), 255, 255, 255);
  EXPECT_RGB_NEAR(PortPixel(190, 125), 0, 0, 0);
  EXPECT_RGB_NEAR(PortPixel(310, 125), 0, 0, 0);
  EXPECT_RGB_NEAR(PortPixel(250, 95), 0, 0, 0);
  EXPECT_RGB_NEAR(PortPixel(250, 155), 0, 0, 0);
  OpenGLEndDraw();
}

TEST_F(Frame, BrightnessOverlayDarkensThePortOnly) {
  if (!OpenWindow(1280, 800)) return;
  struct Case {
    SInt16 bright;
    int expected;
  };
  const Case cases[] = {{255, 255}, {254, 254}, {192, 192}, {128, 128}, {1, 1}, {0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bright);
    glFADER.SetBright(c.bright);
    OpenGLBeginDraw(GamePort());
    FillPort(1.0f);
    VisualFXGL(&glDrawVars.portRect);
    EXPECT_RGB_NEAR(PortPixel(320, 240), c.expected, c.expected, c.expected);
    EXPECT_RGB_NEAR(PortPixel(2, 2), c.expected, c.expected, c.expected);
    EXPECT_RGB_NEAR(WindowPixel(50, 400), 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    OpenGLEndDraw();
  }
  NormBright_GL();
}

TEST_F(Frame, EffectsHookDrawsUnderTheOverlay) {
  if (!OpenWindow(640, 480)) return;
  // The hook paints the port white; the overlay at brightness 64 darkens it.
  APPL.openGLFX = [] {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  };
  glFADER.SetBright(64);
  OpenGLBeginDraw(GamePort());
  VisualFXGL(&glDrawVars.portRect);
  EXPECT_RGB_NEAR(PortPixel(320, 240), 64, 64, 64);
  OpenGLEndDraw();
  APPL.openGLFX = nullptr;
  NormBright_GL();
}

TEST_F(Frame, FixedStateAfterBegin) {
  if (!OpenWindow(640, 480)) return;
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  OpenGLBeginDraw(GamePort());
  const GLenum off[] = {GL_ALPHA_TEST, GL_BLEND,        GL_DEPTH_TEST, GL_DITHER,    GL_FOG,
                        GL_LIGHTING,   GL_STENCIL_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D};
  for (GLenum cap : off) EXPECT_FALSE(glIsEnabled(cap)) << std::hex << cap;
  EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
  GLint value;
  glGetIntegerv(GL_SHADE_MODEL, &value);
  EXPECT_EQ(value, GL_FLAT);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
  EXPECT_EQ(value, 1);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
  EXPECT_EQ(value, GL_REPLACE);
  GLfloat raster[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
  EXPECT_NEAR(raster[0], 0.0f, 0.01f);  // the port's lower-left corner
  EXPECT_NEAR(raster[1], 0.0f, 0.01f);
  OpenGLEndDraw();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Frame, EmptyPortOrNoWindowDrawsNothing) {
  if (!OpenWindow(640, 480)) return;
  glFADER.SetBright(100);
  OpaqueGrafPtr empty{};
  OpenGLBeginDraw(&empty);  // cleared and swapped, no transform of size 0
  OpenGLEndDraw();
  OpenGLBeginDraw(nullptr);
  OpenGLEndDraw();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  WindowRef window = mainWIND;
  mainWIND = nullptr;
  OpenGLBeginDraw(GamePort());
  OpenGLEndDraw();
  mainWIND = window;
  NormBright_GL();
}

TEST_F(Frame, ContextRecordIsBuiltOnceAndDisposedOnce) {
  if (!OpenWindow(320, 200)) return;
  void* record = GetWRefCon(mainWIND);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(glDrawVars.context, record);
  glViewport(0, 0, 1, 1);
  EXPECT_TRUE(QK_BuildGLForWindow(mainWIND));
  EXPECT_EQ(GetWRefCon(mainWIND), record);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 200);
  const UInt32* names = static_cast<OpenGLContext*>(record)->textures;
  for (int i = 0; i < kContextTextureCount; i++) EXPECT_NE(names[i], 0u) << i;
  QK_DisposeGLForWindow(mainWIND);
  EXPECT_EQ(GetWRefCon(mainWIND), nullptr);
  QK_DisposeGLForWindow(mainWIND);  // nothing left: does nothing
  EXPECT_TRUE(FastOpenGLRenderer());
}

TEST_F(Frame, FailedContextLeavesNoRecord) {
  GLServices failing = *GetGLServices();
  failing.createContext = [](WindowRef) -> GLContextRef { return nullptr; };
  WindowRef window = NewGLWindow("Halvane test", 64, 64, false);
  if (!window) {
    ReportNoDisplay("no window");
    return;
  }
  const GLServices* previous = SetGLServices(&failing);
  EXPECT_FALSE(QK_BuildGLForWindow(window));
  EXPECT_EQ(GetWRefCon(window), nullptr);
  SetGLServices(previous);
  DisposeGLWindow(window);
}

TEST_F(Frame, SwapIntervalFollowsTheFlagAndFailureIsIgnored) {
  if (!OpenWindow(64, 64)) return;
  static int calls = 0, lastInterval = -1;
  GLServices counting = *GetGLServices();
  counting.setSwapInterval = [](int interval) {
    calls++;
    lastInterval = interval;
    return -1;
  };
  const GLServices* previous = SetGLServices(&counting);
  EnableVBLSync();
  OpenGLBeginDraw(GamePort());
  OpenGLEndDraw();
  OpenGLBeginDraw(GamePort());
  OpenGLEndDraw();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(lastInterval, 1);
  DisableVBLSync();
  OpenGLBeginDraw(GamePort());
  OpenGLEndDraw();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(lastInterval, 0);
  SetGLServices(previous);
}

}  // namespace

namespace {

bool fullScreenForGamma;
// The middle of the picture as each swap presented it.
RGBA8 presented;
int swaps;
const GLServices* realServices;

void CapturingSwap(WindowPtr window) {
  GLubyte px[4] = {};
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(glDrawVars.windRect.right / 2, glDrawVars.windRect.bottom / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
  presented = RGBA8{px[0], px[1], px[2], px[3]};
  ++swaps;
  realServices->swapBuffers(window);
}

GLServices capturing;

// The program's frame: the port painted white.
void WhiteFrame() {
  static OpaqueGrafPtr port{};
  port.portRect = mainRECT;
  OpenGLBeginDraw(&port);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  OpenGLEndDraw();
}

class GammaOverPicture : public Frame {
 protected:
  void SetUp() override {
    QKEL[kQKELIsFullScreen] =
        reinterpret_cast<QKELProc>(static_cast<IsFullScreenProc>([] { return fullScreenForGamma; }));
    realServices = GetGLServices();
    capturing = *realServices;
    capturing.swapBuffers = CapturingSwap;
    SetGLServices(&capturing);
    pictureRedrawProc = WhiteFrame;
  }
  void TearDown() override {
    pictureRedrawProc = nullptr;
    float identity[256];
    for (int i = 0; i < 256; i++) identity[i] = float(i) / 255.0f;
    ShowGammaOverPicture(identity, identity, identity);
    QKEL[kQKELIsFullScreen] = nullptr;
    fullScreenForGamma = false;
    Frame::TearDown();
    SetGLServices(realServices);
  }
};

struct Ramp {
  float offset, scale;
};

}  // namespace

// In full screen each table shows at once, the picture drawn again under
// it; the program's next frames are drawn under it too. In a window nothing
// of it shows.
TEST_F(GammaOverPicture, TablesShowOverThePictureInFullScreenOnly) {
  if (!OpenWindow(640, 480)) return;
  struct Case {
    const char* what;
    Ramp red, green, blue;
    int r, g, b;
  } cases[] = {
      {"half", {0, 0.5f}, {0, 0.5f}, {0, 0.5f}, 128, 128, 128},
      {"flat grey", {0.25f, 0}, {0.25f, 0}, {0.25f, 0}, 64, 64, 64},
      {"violet tint", {0, 0.84f}, {0, 0}, {0, 1}, 214, 0, 255},
      {"toward white", {0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}, 255, 255, 255},
      {"black", {0, 0}, {0, 0}, {0, 0}, 0, 0, 0},
  };
  fullScreenForGamma = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    float t[3][256];
    const Ramp ramps[3] = {c.red, c.green, c.blue};
    for (int ch = 0; ch < 3; ch++)
      for (int i = 0; i < 256; i++) t[ch][i] = ramps[ch].offset + ramps[ch].scale * float(i) / 255.0f;
    swaps = 0;
    ShowGammaOverPicture(t[0], t[1], t[2]);
    EXPECT_EQ(swaps, 1);
    EXPECT_RGB_NEAR(presented, c.r, c.g, c.b);
    float scale[3], offset[3];
    EXPECT_TRUE(PictureGamma(scale, offset));
    EXPECT_NEAR(scale[0], c.red.scale, 1e-5);
    EXPECT_NEAR(offset[2], c.blue.offset, 1e-5);
  }
  // A frame of the program's own is drawn under the last table (black).
  WhiteFrame();
  EXPECT_RGB_NEAR(presented, 0, 0, 0);

  // Back to the identity: the picture shows as drawn.
  float identity[256];
  for (int i = 0; i < 256; i++) identity[i] = float(i) / 255.0f;
  ShowGammaOverPicture(identity, identity, identity);
  EXPECT_RGB_NEAR(presented, 255, 255, 255);
  float scale[3], offset[3];
  EXPECT_FALSE(PictureGamma(scale, offset));

  // In a window the table is kept but not shown, and nothing is drawn again.
  fullScreenForGamma = false;
  float half[256];
  for (int i = 0; i < 256; i++) half[i] = 0.5f * float(i) / 255.0f;
  swaps = 0;
  ShowGammaOverPicture(half, half, half);
  EXPECT_EQ(swaps, 0);
  WhiteFrame();
  EXPECT_RGB_NEAR(presented, 255, 255, 255);
}
