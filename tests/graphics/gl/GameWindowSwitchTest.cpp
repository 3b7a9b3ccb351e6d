// The real game window under an X server: opening centred, switching between
// the two window sizes and full screen, falling back to the small window when
// the context cannot be rebuilt, and tearing down.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "GameWindowTestSetup.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLContext.h"
#include "platform/GameWindowPlatform.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"
#include "support/Poll.h"
#include "support/RecordingDialogs.h"

namespace {

struct Size {
  SInt32 width, height;
};

Size Drawable() {
  SInt32 w = 0, h = 0;
  GetWindowContentSize(mainWIND, &w, &h);
  return Size{w, h};
}

SDL_Rect ScreenBounds() {
  SDL_Rect r{};
  SDL_GetDisplayBounds(0, &r);
  return r;
}

// Sizes and places arrive asynchronously from some servers: pumps the
// window's events until the window has settled as expected.
void Settle(const std::function<bool()>& settled) { EXPECT_TRUE(PollUntil(settled, PumpWindowEvents)); }

class GameWindowSwitch : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PrepareGameWindowTest()) return;
    DisableFlushing();
    InitGameWindow();
    if (!mainWIND) ReportNoDisplay("no game window");
  }
  void TearDown() override {
    DisposeGameWindow();
    SetGLServices(nullptr);
  }
  RecordingDialogs dialogs;
};

TEST_F(GameWindowSwitch, OpensCentredAndSwitchesSizesAndFullScreen) {
  ASSERT_NE(mainWIND, nullptr);
  SDL_Rect screen = ScreenBounds();
  Rect expected = CenteredWindowRect(
      Rect{SInt16(screen.y), SInt16(screen.x), SInt16(screen.y + screen.h), SInt16(screen.x + screen.w)}, 640, 480);
  Settle([&] { return GetWindowContentBounds(mainWIND).left == expected.left && Drawable().width == 640; });
  Rect r = GetWindowContentBounds(mainWIND);
  EXPECT_EQ(r.left, expected.left);
  EXPECT_EQ(r.top, expected.top);
  EXPECT_EQ(Drawable().width, 640);
  EXPECT_EQ(Drawable().height, 480);
  EXPECT_TRUE(FlushingEnabled());
  EXPECT_FALSE(IsFullScreen());

  // The Window menu's "Large": record the size, re-centre.
  AdjustWindowSize(1024, 768);
  Settle([&] {
    return GetWindowContentBounds(mainWIND).left == screen.x + screen.w / 2 - 512 && Drawable().width == 1024;
  });
  r = GetWindowContentBounds(mainWIND);
  EXPECT_EQ(r.left, screen.x + screen.w / 2 - 512);
  EXPECT_EQ(r.top, screen.y + screen.h / 2 - 384);
  EXPECT_EQ(Drawable().width, 1024);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 1024);

  FullScreenMode(1);
  Settle([&] { return Drawable().width == screen.w && Drawable().height == screen.h; });
  EXPECT_TRUE(IsFullScreen());
  EXPECT_TRUE(WindowIsFullScreen(mainWIND));
  EXPECT_TRUE(mainPREFS.fullScreen);
  EXPECT_EQ(Drawable().width, screen.w);
  EXPECT_EQ(Drawable().height, screen.h);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], screen.w);
  EXPECT_EQ(viewport[3], screen.h);
  FlushToScreen(nullptr);

  // Back to the window at the recorded size, in its place.
  FullScreenMode(0);
  Settle([&] { return Drawable().width == 1024 && Drawable().height == 768; });
  EXPECT_FALSE(IsFullScreen());
  EXPECT_FALSE(mainPREFS.fullScreen);
  EXPECT_EQ(Drawable().width, 1024);
  EXPECT_EQ(Drawable().height, 768);
  r = GetWindowContentBounds(mainWIND);
  EXPECT_EQ(r.left, screen.x + screen.w / 2 - 512);

  // The maximise button asks for full screen; 255 re-applies the preference.
  ZoomEventHandler(8);
  Settle([&] { return IsFullScreen() && Drawable().width == screen.w; });
  EXPECT_TRUE(IsFullScreen());
  FullScreenMode(255);
  EXPECT_TRUE(IsFullScreen());
  EXPECT_TRUE(dialogs.Reports().empty());
}

// A context that cannot be rebuilt for full screen: the small window instead.
const GLServices* realGL = nullptr;
GLServices noFullScreenGL;
GLContextRef NoFullScreenContext(WindowPtr window) {
  return WindowIsFullScreen(window) ? nullptr : realGL->createContext(window);
}

TEST_F(GameWindowSwitch, FullScreenFallsBackToTheSmallWindow) {
  ASSERT_NE(mainWIND, nullptr);
  AdjustWindowSize(1024, 768);
  QK_DisposeGLForWindow(mainWIND);
  realGL = GetGLServices();
  noFullScreenGL = *realGL;
  noFullScreenGL.createContext = NoFullScreenContext;
  SetGLServices(&noFullScreenGL);
  FullScreenModeGL(1);
  Settle([&] { return Drawable().width == 640; });
  EXPECT_EQ(fullScreenMode, 0);
  EXPECT_FALSE(WindowIsFullScreen(mainWIND));
  EXPECT_EQ(Drawable().width, 640);
  EXPECT_EQ(Drawable().height, 480);
  EXPECT_NE(GetWRefCon(mainWIND), nullptr);
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(GameWindowSwitch, DisposingStopsFlushing) {
  ASSERT_NE(mainWIND, nullptr);
  DisposeGameWindow();
  EXPECT_EQ(mainWIND, nullptr);
  EXPECT_FALSE(FlushingEnabled());
  EnableFlushing();
  FlushToScreen(nullptr);  // no window: nothing happens
  DisableFlushing();
  EXPECT_TRUE(dialogs.Reports().empty());
}

}  // namespace
