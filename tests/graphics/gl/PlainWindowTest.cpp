// Under an X server: the application's fade hooks around the game window's
// life, and the plain window without OpenGL.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "GameWindowTestSetup.h"
#include "graphics/GameWindow.h"
#include "graphics/PixMapRegistry.h"
#include "platform/GameWindowPlatform.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"
#include "support/FakeEventPlatform.h"
#include "support/Poll.h"
#include "support/RecordingDialogs.h"

namespace {

std::string fadeCalls;

class PlainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PrepareGameWindowTest()) return;
    fadeCalls.clear();
  }
  void TearDown() override {
    DisposeGameWindow();
    APPL.videoFadeIn = nullptr;
    APPL.videoFadeOut = nullptr;
    // InitWindow set the game's size; the tests after this one draw into 640 by 480.
    mainRECT = Rect{0, 0, 480, 640};
  }
  RecordingDialogs dialogs;
};

// The events refer to the game window from its opening to its closing.
TEST_F(PlainWindow, TheGameWindowIsTheEventsWindowWhileItLasts) {
  FakeEventPlatform platform;
  DisableFlushing();
  InitGameWindow();
  ASSERT_NE(mainWIND, nullptr);
  EXPECT_EQ(platform.eventWindow, mainWIND->platform);
  DisposeGameWindow();
  EXPECT_EQ(platform.eventWindow, nullptr);
}

// The picture fades out before the window opens and back in once it is gone.
TEST_F(PlainWindow, FadeHooksBracketTheGameWindow) {
  APPL.videoFadeOut = [] { fadeCalls += mainWIND ? "out with window;" : "out;"; };
  APPL.videoFadeIn = [] { fadeCalls += mainWIND ? "in with window;" : "in;"; };
  DisableFlushing();
  InitGameWindow();
  ASSERT_NE(mainWIND, nullptr);
  EXPECT_EQ(fadeCalls, "out;");
  EXPECT_EQ(GetWindowContentColor(mainWIND).red, APPL.contentColor.red);
  DisposeGameWindow();
  EXPECT_EQ(fadeCalls, "out;in;");
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(PlainWindow, OpensCentredWithItsBuildWorldAndResizes) {
  InitPixMaps();
  windSIZE = Point{768, 1024};
  InitWindow(320, 240);
  ASSERT_NE(mainWIND, nullptr);
  EXPECT_EQ(windSIZE.h, 320) << "the size is taken as given";
  EXPECT_EQ(windSIZE.v, 240);
  EXPECT_EQ(mainRECT.right, 320);
  EXPECT_EQ(mainRECT.bottom, 240);
  EXPECT_EQ(GetWRefCon(mainWIND), nullptr) << "no OpenGL context";
  ASSERT_NE(buildWORLD, nullptr);
  EXPECT_EQ(GetGWorldPixMap(buildWORLD), buildPMAP);
  EXPECT_EQ(buildBASE, GetPixBaseAddr(buildPMAP));
  EXPECT_EQ((*buildPMAP)->pixelSize, 16);
  EXPECT_TRUE(FlushingEnabled());
  FlushToScreen_Displays(nullptr);  // nothing to draw with: nothing happens

  SDL_Rect screen{};
  SDL_GetDisplayBounds(0, &screen);
  SetMainWindow(400, 300);
  EXPECT_TRUE(PollUntil(
      [] {
        const Rect r = GetWindowContentBounds(mainWIND);
        return r.right - r.left == 400 && r.bottom - r.top == 300;
      },
      PumpWindowEvents));
  const Rect r = GetWindowContentBounds(mainWIND);
  EXPECT_EQ(r.right - r.left, 400);
  EXPECT_EQ(r.bottom - r.top, 300);
  EXPECT_EQ(r.left, screen.x + screen.w / 2 - 200);
  EXPECT_EQ(windSIZE.h, 320) << "SetMainWindow leaves the recorded size";
  EXPECT_TRUE(dialogs.Reports().empty());
}

}  // namespace
