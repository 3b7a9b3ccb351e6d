#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/Ports.h"
#include "platform/GLWindow.h"
#include "support/DisplayCheck.h"

// Tests that need a screen run under an X server; SDL would otherwise fall
// back to an off-screen driver with no real modes.
TEST(WindowPorts, PortRectIsTheContentAtTheOrigin) {
  Rect none = GetPortRect(nullptr);
  EXPECT_EQ(none.bottom, 0);
  EXPECT_EQ(none.right, 0);
  WindowPtr window = DisplayNamed() ? NewGLWindow("ports", 640, 480, 0) : nullptr;
  if (!window) {
    ReportNoDisplay(std::string("no window: ") + SDL_GetError());
    return;
  }
  Rect r = GetPortRect(window);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.bottom, 480);
  EXPECT_EQ(r.right, 640);
  FlushWindow(window, nullptr);
  DisposeGLWindow(window);
}
