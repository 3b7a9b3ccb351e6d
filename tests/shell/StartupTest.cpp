#include "ShellFixture.h"
#include "foundation/Clock.h"
#include "foundation/Frameworks.h"
#include "shell/ShellReports.h"

namespace {

class StartupTest : public ShellTest {
 protected:
  StartupTest() {
    didStartup = shuttingDown = false;
    errorShutdown = false;
    APPL.bundle = 0;
  }
  ~StartupTest() override {
    errorShutdown = false;
    SetSystemIdle(nullptr);
    SetApplCursorBackEnd(nullptr);
  }
};

TEST_F(StartupTest, StartsOnceWithGlobalsGreyTablesAndTheFlushSlot) {
  APPL.buildDepth = 16;
  cursorVIS = false;
  platform.cursorShown = false;
  platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
  platform.PostMouse(PlatformEvent::MouseUp, Point{0, 0});
  platform.Post(PlatformEvent::Quit);
  Startup();
  EXPECT_TRUE(didStartup);
  EXPECT_TRUE(cursorVIS);
  EXPECT_TRUE(platform.cursorShown);
  EXPECT_EQ(platform.arrowCursors, 1);
  SetApplCursor();  // the engine's arrow cursor now reaches the platform
  EXPECT_EQ(platform.arrowCursors, 2);
  EXPECT_TRUE(animON);
  EXPECT_TRUE(inputMouseON);
  EXPECT_TRUE(aquaLAYOUT);
  EXPECT_FALSE(hasPowerMGR);
  EXPECT_TRUE(OSXMode());
  EXPECT_EQ(processINFO.processInfoLength, 60u);
  EXPECT_EQ(processINFO.processName, nullptr);
  EXPECT_EQ(grayRGB.red, 32768);
  EXPECT_EQ(whiteRGB.blue, 65535);
  EXPECT_EQ(blueRGB.red, 0);
  EXPECT_EQ(blueRGB.blue, 65535);
  EXPECT_EQ(genevaFONT, 3);
  EXPECT_EQ(chicagoFONT, 0);
  EXPECT_EQ(monacoFONT, 4);
  EXPECT_EQ(GetFontNum((const unsigned char*)"\5Times"), -1);
  EXPECT_EQ(grayRGBINDEX[0], 32767);
  EXPECT_EQ(grayRGBINDEX[15], 0);
  EXPECT_EQ(grayRGBINDEX[8], (14 << 10) | (14 << 5) | 14);  // 65535 - 8 * 4369 = 30583, >> 11
  EXPECT_NE(QKEL[kQKELFlushToScreen], nullptr);
  EXPECT_EQ(Drain(), std::vector<UInt16>{kHighLevelEvent});  // only key and mouse events are flushed

  APPL.buildDepth = 8;
  Startup();
  EXPECT_EQ(grayRGBINDEX[0], 32767);
  EXPECT_EQ(platform.arrowCursors, 2);
}

TEST_F(StartupTest, GreyTablesFollowTheBuildDepth) {
  const UInt8 index[16] = {0, 32, 64, 96, 128, 160, 192, 224, 31, 63, 95, 127, 159, 191, 223, 255};
  APPL.buildDepth = 8;
  Startup();
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(grayINDEX[i], index[i]);
    EXPECT_EQ(grayRGBINDEX[i], index[i]);
  }
}

TEST_F(StartupTest, ShutdownRunsItsStepsInOrderAndEndsWithStatusZero) {
  static std::vector<std::string> steps;
  steps.clear();
  APPL.shutdown = [] {
    steps.push_back(shuttingDown ? "hook while shutting down" : "hook");
  };
  Startup();
  QK_HideMenuBar();
  cursorVIS = false;
  platform.cursorShown = false;
  platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
  try {
    Shutdown(0);
    ADD_FAILURE() << "Shutdown(0) returned";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
  EXPECT_EQ(steps, std::vector<std::string>{"hook while shutting down"});
  EXPECT_TRUE(IsMenuBarVisible());
  EXPECT_TRUE(cursorVIS);
  EXPECT_TRUE(platform.cursorShown);
  EXPECT_EQ(PendingPlatformEvents(), 0);
}

TEST_F(StartupTest, ShutdownWithNoExitReturns) {
  Startup();
  QK_HideMenuBar();
  Shutdown(1);
  EXPECT_TRUE(shuttingDown);
  EXPECT_TRUE(IsMenuBarVisible());
  EXPECT_TRUE(platform.exits.empty());
}

TEST_F(StartupTest, FatalReportRunsTheErrorTrapThenEndsWithStatusOne) {
  static int traps;
  traps = 0;
  APPL.errorTrap = [] { return SInt32(++traps); };
  APPL.shutdown = [] { ErrorDialog("Raised while shutting down.", "Shutdown()", 0, 1); };
  InstallShellReports();
  ErrorDialog("Not fatal.", "Here", 0, 0);
  EXPECT_EQ(traps, 0);
  try {
    ErrorDialog("Out of memory, couldn't create array", "Array", 0, 1);
    ADD_FAILURE() << "a fatal report returned";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  EXPECT_TRUE(errorShutdown);
  EXPECT_EQ(traps, 2);  // the fatal report's, and the one raised inside Shutdown
}

TEST_F(StartupTest, SilentShutdownReportEndsWithStatusOne) {
  InstallShellReports();
  try {
    ErrorDialog((const unsigned char*)"\4Gone", (const unsigned char*)"\0", 0);
    ADD_FAILURE() << "returned";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  EXPECT_EQ(platform.beeps, 1);
}

}  // namespace
