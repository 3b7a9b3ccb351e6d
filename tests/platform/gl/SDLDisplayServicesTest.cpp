#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/DisplayServices.h"
#include "platform/QuickDraw.h"
#include "platform/SDLEventPlatform.h"
#include "support/DisplayCheck.h"

// Tests that need a screen run under an X server; SDL would otherwise fall
// back to an off-screen driver with no real modes.
namespace {

class SDLDisplays : public ::testing::Test {
 protected:
  // One connection to the X server for the whole suite.
  static void SetUpTestSuite() { videoUp = DisplayNamed() && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }
  static void TearDownTestSuite() {
    if (videoUp) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  void SetUp() override {
    if (!videoUp) {
      ReportNoDisplay(std::string("no display: ") + SDL_GetError());
      return;
    }
    previous_ = SetDisplayServices(SDLDisplayServices());
  }
  void TearDown() override {
    if (!videoUp) return;
    SetGammaWindow(nullptr);
    SetDisplayServices(previous_);
  }
  DisplayServices* services() { return GetDisplayServices(); }
  DisplayServices* previous_ = nullptr;
  static inline bool videoUp = false;
};

}  // namespace

TEST_F(SDLDisplays, ListsThisMachinesDisplaysWithTheirBoundsAndModes) {
  DisplayID ids[8];
  UInt32 count = 0;
  ASSERT_EQ(services()->ActiveDisplays(8, ids, &count), 0);
  ASSERT_EQ(count, UInt32(SDL_GetNumVideoDisplays()));
  ASSERT_GE(count, 1u);

  SDL_Rect sdl;
  ASSERT_EQ(SDL_GetDisplayBounds(0, &sdl), 0);
  DisplayBounds b = services()->Bounds(ids[0]);
  EXPECT_EQ(b.x, sdl.x);
  EXPECT_EQ(b.y, sdl.y);
  EXPECT_EQ(b.width, sdl.w);
  EXPECT_EQ(b.height, sdl.h);
  EXPECT_GT(sdl.w, 0);

  DisplayModeInfo modes[64];
  UInt32 modeCount = 0;
  ASSERT_TRUE(services()->AvailableModes(ids[0], modes, 64, &modeCount));
  ASSERT_GE(modeCount, 1u);
  DisplayModeInfo current;
  ASSERT_TRUE(services()->CurrentMode(ids[0], &current));
  EXPECT_EQ(current.width, sdl.w);
  EXPECT_EQ(current.height, sdl.h);
  EXPECT_TRUE(current.bitsPerPixel == 32 || current.bitsPerPixel == 16) << current.bitsPerPixel;
  EXPECT_TRUE(current.ioFlags & kDisplayModeSafeFlag);
  EXPECT_GE(current.mode, 0);  // found in the mode list

  // The main screen device stands for the first display.
  GDHandle main = GetMainDevice();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ((*main)->gdRect.left, sdl.x);
  EXPECT_EQ((*main)->gdRect.right, sdl.x + sdl.w);
  EXPECT_EQ((*main)->gdRect.bottom, sdl.y + sdl.h);
  EXPECT_EQ((*main)->gdType, directType);
}

TEST_F(SDLDisplays, SwitchingToTheDesktopModeAndCapturingAreHarmless) {
  DisplayModeInfo current;
  ASSERT_TRUE(services()->CurrentMode(0, &current));
  EXPECT_FALSE(services()->IsCaptured(0));
  EXPECT_EQ(services()->Capture(0), 0);
  EXPECT_TRUE(services()->IsCaptured(0));
  EXPECT_EQ(services()->SwitchToMode(0, current), 0);
  EXPECT_EQ(services()->Release(0), 0);
  EXPECT_FALSE(services()->IsCaptured(0));
}

TEST_F(SDLDisplays, WithoutAGammaWindowTablesAreTheIdentityAndNotShown) {
  float r[256], g[256], b[256];
  UInt32 count = 0;
  ASSERT_EQ(services()->GetTransfer(0, 256, r, g, b, &count), 0);
  ASSERT_EQ(count, 256u);
  EXPECT_FLOAT_EQ(r[0], 0.0f);
  EXPECT_FLOAT_EQ(g[128], 128 / 255.0f);
  EXPECT_FLOAT_EQ(b[255], 1.0f);
  for (float& v : r) v = 0;
  EXPECT_EQ(services()->SetTransfer(0, 256, r, g, b), kTransferNotShown);
  EXPECT_NE(services()->SetTransfer(0, 12, r, g, b), 0);  // tables are always 256 entries
}

TEST_F(SDLDisplays, TheGammaWindowTakesTablesAndTheDisplaysRampIsNeverChanged) {
  SDL_Window* window = SDL_CreateWindow("gamma", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  Uint16 before[3][256];
  bool hasRamp = SDL_GetWindowGammaRamp(window, before[0], before[1], before[2]) == 0;
  SetGammaWindow(PlatformWindowOfSDL(window));
  float half[256];
  for (float& v : half) v = 0.5f;
  ASSERT_EQ(services()->SetTransfer(0, 256, half, half, half), 0);
  float r[256], g[256], b[256];
  UInt32 count = 0;
  ASSERT_EQ(services()->GetTransfer(0, 256, r, g, b, &count), 0);
  EXPECT_FLOAT_EQ(r[10], 0.5f);
  EXPECT_FLOAT_EQ(b[250], 0.5f);
  if (hasRamp) {
    Uint16 after[3][256];
    ASSERT_EQ(SDL_GetWindowGammaRamp(window, after[0], after[1], after[2]), 0);
    for (int c = 0; c < 3; c++)
      for (int i = 0; i < 256; i += 51) EXPECT_EQ(after[c][i], before[c][i]) << c << " " << i;
  }
  // Another window starts from the identity again.
  SetGammaWindow(nullptr);
  ASSERT_EQ(services()->GetTransfer(0, 256, r, g, b, &count), 0);
  EXPECT_FLOAT_EQ(r[10], 10 / 255.0f);
  SDL_DestroyWindow(window);
}
