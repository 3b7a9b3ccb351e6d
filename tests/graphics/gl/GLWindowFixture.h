// A game window with its OpenGL context for pixel tests. A context that
// cannot be opened fails the test with CI set; otherwise it skips.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "graphics/GameWindow.h"
#include "graphics/ImageGL.h"
#include "graphics/OpenGLContext.h"
#include "graphics/OpenGLFrame.h"
#include "support/DisplayCheck.h"

struct RGBA8 {
  int r, g, b, a;
};

// Chooses how big pictures are held for one scope (0 powers of two, 1
// rectangle textures, -1 as the context offers), then puts back the choice
// found.
class ScopedRectangleTextures {
 public:
  explicit ScopedRectangleTextures(SInt8 choice) : before_(glRectangleTEXTURES) { glRectangleTEXTURES = choice; }
  ~ScopedRectangleTextures() { glRectangleTEXTURES = before_; }
  ScopedRectangleTextures(const ScopedRectangleTextures&) = delete;
  ScopedRectangleTextures& operator=(const ScopedRectangleTextures&) = delete;

 private:
  SInt8 before_;
};

class GLWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { CloseWindow(); }

  // Opens mainWIND at the size and builds its context.
  bool OpenWindow(SInt32 width, SInt32 height) {
    CloseWindow();
    mainWIND = NewGLWindow("Halvane test", width, height, true);
    if (mainWIND && QK_BuildGLForWindow(mainWIND)) return true;
    ReportNoDisplay("no OpenGL window or context could be opened");
    return false;
  }

  void CloseWindow() {
    if (!mainWIND) return;
    QK_DisposeGLForWindow(mainWIND);
    DisposeGLWindow(mainWIND);
    mainWIND = nullptr;
  }

  // A port of the game's size, as the game passes its build port.
  GrafPtr GamePort() {
    port_ = OpaqueGrafPtr{};
    port_.portRect = mainRECT;
    return &port_;
  }

  // The window pixel (y counted from the top) under the centre of port pixel (x, y).
  RGBA8 PortPixel(float x, float y) {
    Rect w = glDrawVars.windRect, p = glDrawVars.portRect;
    Letterbox box = ComputeLetterbox(p.right, p.bottom, w.right, w.bottom);
    return WindowPixel(int(box.mx + (x + 0.5f) * box.s), int(box.my + (y + 0.5f) * box.s));
  }

  RGBA8 WindowPixel(int x, int yFromTop) {
    GLint doubleBuffered = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    glReadBuffer(doubleBuffered ? GL_BACK : GL_FRONT);
    GLubyte px[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, glDrawVars.windRect.bottom - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    return RGBA8{px[0], px[1], px[2], px[3]};
  }

  // The whole window's RGBA bytes as the frame under way drew them (rows
  // from the bottom); the frame is then ended, so no later test finds it open.
  std::vector<UInt8> FinishFrameAndReadWindow() {
    glFinish();
    const Rect w = glDrawVars.windRect;
    std::vector<UInt8> pixels(size_t(w.right) * w.bottom * 4);
    GLint doubleBuffered = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    glReadBuffer(doubleBuffered ? GL_BACK : GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w.right, w.bottom, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    OpenGLEndDraw();
    return pixels;
  }

 private:
  OpaqueGrafPtr port_{};
};

// Colour channels within ±1.
#define EXPECT_RGB_NEAR(pixel, R, G, B)   \
  do {                                    \
    RGBA8 p_ = (pixel);                   \
    EXPECT_NEAR(p_.r, (R), 1) << "red";   \
    EXPECT_NEAR(p_.g, (G), 1) << "green"; \
    EXPECT_NEAR(p_.b, (B), 1) << "blue";  \
  } while (0)
