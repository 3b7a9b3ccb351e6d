#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/Display.h"
#include "graphics/GammaFading.h"
#include "shell/Startup.h"
#include "support/DisplayCheck.h"
#include "support/RecordingDialogs.h"

// Tests that need a screen run under an X server; SDL would otherwise fall
// back to an off-screen driver with no real modes.
// The display manager over the SDL display services of this machine.
TEST(SDLDisplayManager, RecordsThisMachinesDisplaysAndStartsGammaFading) {
  if (!DisplayNamed() || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    ReportNoDisplay(std::string("no display: ") + SDL_GetError());
    return;
  }
  RecordingDialogs dialogs;
  DisplayServices* previous = SetDisplayServices(SDLDisplayServices());
  mainDEVICE = GetMainDevice();

  ASSERT_EQ(InitDisplays(mainDISPLAY), 0);
  ASSERT_EQ(mainDISPLAY.Size(), UInt32(SDL_GetNumVideoDisplays()));
  Display& main = mainDISPLAY[0];
  EXPECT_EQ(main.device, GetMainDevice());
  SDL_Rect bounds;
  ASSERT_EQ(SDL_GetDisplayBounds(0, &bounds), 0);
  Rect r = main.Bounds();
  EXPECT_EQ(r.right - r.left, bounds.w);
  EXPECT_EQ(r.bottom - r.top, bounds.h);
  ASSERT_GE(main.modes.Size(), 1u);

  SInt32 index = -1;
  SInt16 depth = main.GetMode(&index, nullptr);
  EXPECT_EQ(depth, 32);
  ASSERT_GE(index, 0);
  EXPECT_EQ(main.modes[UInt32(index)].width, UInt32(bounds.w));
  SInt32 found = -1;
  EXPECT_EQ(main.FindMode(&found, 16, 320, 200, 0, 0), 32);
  EXPECT_GE(found, 0);

  // Gamma fading starts over the same services; with no game window in full
  // screen the display's table is only recorded.
  InitFading();
  EXPECT_TRUE(dialogs.Reports().empty());
  ASSERT_EQ(gammaFadingINITED, 1);
  RGBColor black{0, 0, 0};
  SetGammaColor(&black);
  EXPECT_EQ((*currentGAMMA)->red[200], 0.0f);
  SetGammaTable(GetOrigGTable());
  DisposeFading();

  DisposeDisplays(mainDISPLAY);
  DisposeDisplayAPI();
  SetDisplayServices(previous);
  mainDEVICE = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
