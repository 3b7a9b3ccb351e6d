// Game window rules that need no screen: centring on the main device (from
// the fake display services) and the full-screen state answers.
#include <gtest/gtest.h>

#include "graphics/GameWindow.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"
#include "support/FakeDisplayServices.h"
#include "support/RecordingDialogs.h"

namespace {

TEST(GameWindowPlacement, CentresOnTheDeviceWithTruncatingHalves) {
  struct {
    Rect device;
    SInt16 width, height;
    SInt16 left, top;
  } cases[] = {
      {{0, 0, 1080, 1920}, 640, 480, 640, 300},
      {{0, 0, 1080, 1920}, 1024, 768, 448, 156},
      {{0, -1280, 1024, 0}, 640, 480, -960, 272},  // a screen left of the origin
      {{0, 0, 1001, 1001}, 641, 481, 180, 260},    // odd sizes: both halves truncate
      {{0, 0, 600, 800}, 1024, 768, -112, -84},    // larger than the screen
  };
  for (const auto& c : cases) {
    Rect r = CenteredWindowRect(c.device, c.width, c.height);
    EXPECT_EQ(r.left, c.left) << c.width;
    EXPECT_EQ(r.top, c.top) << c.width;
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
  }

  FakeDisplayServices fake;
  fake.AddDisplay(1, {100, 50, 1280, 1024}, {FakeDisplayServices::Mode(1, 1280, 1024, 32)});
  Rect r = CenteredWindowRect((*GetMainDevice())->gdRect, 640, 480);
  EXPECT_EQ(r.left, 100 + 640 - 320);
  EXPECT_EQ(r.top, 50 + 512 - 240);
}

TEST(GameWindowState, FullScreenAnswersBeforeAndAfterTheFirstRequest) {
  RecordingDialogs dialogs;
  ASSERT_EQ(mainWIND, nullptr);
  fullScreenMode = fullScreenTried = 0;
  mainPREFS.fullScreen = true;
  // Until a request, the preference answers.
  EXPECT_TRUE(IsFullScreen_Displays());
  mainPREFS.fullScreen = false;
  EXPECT_FALSE(IsFullScreen_Displays());
  // Without a window nothing moves, but the request counts.
  mainPREFS.fullScreen = true;
  FullScreenMode_Displays(255);
  EXPECT_EQ(fullScreenTried, 1);
  EXPECT_FALSE(IsFullScreen_Displays());
  EXPECT_FALSE(mainPREFS.fullScreen) << "the mode in force is written back";
  FullScreenModeGL(7);
  EXPECT_EQ(fullScreenMode, 0);

  // Presenting: nothing while flushing is off, and nothing without a window.
  DisableFlushing();
  EXPECT_EQ(FlushingEnabled(), 0);
  FlushToScreen_Displays(nullptr);
  EnableFlushing();
  FlushToScreen_Displays(nullptr);
  DisableFlushing();
  DisposeGameWindow();
  EXPECT_TRUE(dialogs.Reports().empty());
  fullScreenTried = 0;
}

}  // namespace
