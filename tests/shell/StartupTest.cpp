#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "ShellFixture.h"
#include "foundation/Clock.h"
#include "foundation/Frameworks.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "shell/AppleEvents.h"
#include "shell/GameMouse.h"
#include "shell/KeyState.h"
#include "shell/Menus.h"
#include "shell/ShellReports.h"
#include "support/TempFolder.h"

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

// What a test or a run leaves in the shell's state is gone after the reset.
TEST_F(StartupTest, TheResetPutsTheShellsStateBackAsAtStart) {
  APPL.gameWidth = 1;
  QKEL[3] = reinterpret_cast<QKELProc>(+[] {});
  UpdateKeyState(12, 1);
  theEVENT.what = keyDown;
  gEventREC = nullptr;
  mouseDelta = virtualMouse = Point{3, 4};
  skipMouse = true;
  isFrontProcess = allEvents = cursorVIS = menusEnabled = false;
  allEventsInited = menuBarINIT = quitEVENT = prefsEVENT = true;
  applQUIT = menuCLICKED = suspendEVENT = resumeEVENT = fullScreenEVENT = closeBoxEVENT = dragWindowEVENT = 1;
  menuBarRECT = gMenuBarRECT = Rect{1, 2, 3, 4};
  windowMenuID = fullScreenItemID = 9;
  menuKeyProc = [](const EventRecord*) { return SInt32(0); };
  handleMenuProc = [](SInt16, SInt16) {};
  highLevelEventProc = [](EventRecord*) {};
  captureMenusProc = [](bool) {};
  setWindowSizeProc = [](Point) {};
  adjustWindowSizeProc = [] {};

  ResetShellState();
  EXPECT_EQ(APPL.gameWidth, ApplInfo().gameWidth);
  EXPECT_EQ(QKEL[3], nullptr);
  EXPECT_FALSE(KeyDown(12));
  EXPECT_EQ(theEVENT.what, 0);
  EXPECT_EQ(gEventREC, &theEVENT);
  EXPECT_EQ(mouseDelta.h + mouseDelta.v + virtualMouse.h + virtualMouse.v, 0);
  EXPECT_FALSE(skipMouse || allEventsInited || menuBarINIT || quitEVENT || prefsEVENT);
  EXPECT_TRUE(isFrontProcess && allEvents && cursorVIS && menusEnabled);
  EXPECT_EQ(applQUIT | menuCLICKED | suspendEVENT | resumeEVENT | fullScreenEVENT | closeBoxEVENT | dragWindowEVENT, 0);
  EXPECT_EQ(menuBarRECT.bottom + gMenuBarRECT.bottom + windowMenuID + fullScreenItemID, 0);
  EXPECT_TRUE(!menuKeyProc && !handleMenuProc && !highLevelEventProc && !captureMenusProc && !setWindowSizeProc &&
              !adjustWindowSizeProc);
}

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
  EXPECT_EQ(GetFontNum((const unsigned char*)"\5Xqzzy"), -1);
  EXPECT_EQ(GetFontNum((const unsigned char*)"\6MONACO"), 4);  // names in any case
  EXPECT_EQ(GetFontNum((const unsigned char*)"\7Monacos"), -1);
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

std::string CurrentFolder() {
  char path[PATH_MAX];
  return getcwd(path, sizeof path) ? path : "";
}

class BundleTest : public StartupTest {
 protected:
  BundleTest() : cwd_(CurrentFolder()) {
    root_ = folder_.Path();
    APPL.bundle = 1;
  }
  ~BundleTest() override {
    SetBundlePathForTesting(nullptr);
    if (chdir(cwd_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << cwd_;
  }
  TempFolder folder_;
  std::string cwd_, root_;
};

TEST_F(BundleTest, MissingBundleOrResourcesStopStartupWithTheirTexts) {
  struct Case {
    const char* layout;  // folders made inside the bundle; null: no bundle at all
    const char* message;
  } cases[] = {
      {nullptr, "CFBundleGetMainBundle() failed."},
      {"Contents", "CFBundleCopyResourcesDirectoryURL() failed."},
      {"Contents/Resources.txt", "CFBundleCopyResourcesDirectoryURL() failed."},
  };
  for (const Case& c : cases) {
    didStartup = false;
    QKEL[kQKELFlushToScreen] = nullptr;
    grayINDEX[8] = 0;
    whiteRGB = RGBColor{};
    animON = false;
    if (c.layout) {
      std::filesystem::create_directories(root_ + "/" + c.layout);
      SetBundlePathForTesting(root_.c_str());
    } else {
      SetBundlePathForTesting(nullptr);  // the test program is not in a bundle
    }
    try {
      Startup();
      ADD_FAILURE() << "started without " << c.message;
    } catch (const FatalReport& report) {
      EXPECT_EQ(report.message, c.message);
      EXPECT_EQ(report.detail, "ActivateBundleResources()");
    }
    // The steps before the bundle ran, those after it did not.
    EXPECT_EQ(whiteRGB.green, 65535);
    EXPECT_TRUE(animON);
    EXPECT_EQ(grayINDEX[8], 0);
    EXPECT_EQ(QKEL[kQKELFlushToScreen], nullptr);
    EXPECT_FALSE(didStartup);
    EXPECT_EQ(CurrentFolder(), cwd_);
  }
}

TEST_F(BundleTest, BundleResourcesBecomeTheCurrentFolderUntilShutdown) {
  std::string resources = root_ + "/Contents/Resources";
  std::filesystem::create_directories(resources);
  SetBundlePathForTesting(root_.c_str());
  Startup();
  EXPECT_TRUE(didStartup);
  EXPECT_EQ(CurrentFolder(), std::filesystem::canonical(resources).string());
  EXPECT_EQ(resourcesFoldURL, resources);
  EXPECT_EQ(fontsFoldURL, resources + "/Fonts/");
  EXPECT_EQ(layoutsFoldURL, resources + "/Layouts/");
  EXPECT_EQ(appFileREF.path, root_);
  Shutdown(1);
  EXPECT_TRUE(appBundleREF.empty());
  EXPECT_TRUE(resourcesFoldURL.empty());
  EXPECT_TRUE(musicFoldURL.empty());
}

// The bundle's Fonts folder joins the installed fonts: a font there is found
// by its file name as well as any installed family by its own.
TEST_F(BundleTest, FontsAreFoundByFamilyAndTheBundlesByFileName) {
  const std::string fonts = root_ + "/Contents/Resources/Fonts";
  std::filesystem::create_directories(fonts);
  std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", fonts + "/Own Face.ttf");
  SetBundlePathForTesting(root_.c_str());
  Startup();
  struct Case {
    const char* name;
    bool found;
    const char* file;  // the end of the face's path, for those found
  };
  const Case cases[] = {
      {"DejaVu Sans", true, "/DejaVuSans.ttf"},  // the regular face, not the bold or condensed ones
      {"dejavu sans mono", true, "/DejaVuSansMono.ttf"},
      {"Own Face", true, "/Own Face.ttf"},
      {"Own", false, ""},
      {"Own Face.ttf", false, ""},
      {"", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Str255 name;
    CToPStr(c.name, name);
    const SInt16 number = GetFontNum(name);
    if (!c.found) {
      EXPECT_EQ(number, -1);
      continue;
    }
    ASSERT_GE(number, 1024);  // clear of the classic numbers
    EXPECT_EQ(GetFontNum(name), number) << "the same family, the same number";
    FontFace face;
    ASSERT_TRUE(FontFaceOfNum(number, &face));
    EXPECT_TRUE(face.path.ends_with(c.file)) << face.path;
  }
  EXPECT_NE(GetFontNum((const unsigned char*)"\013DejaVu Sans"), GetFontNum((const unsigned char*)"\010Own Face"));
  // The system fonts stand for installed faces of their kind.
  FontFace chicago, geneva, monaco;
  ASSERT_TRUE(FontFaceOfNum(0, &chicago));
  ASSERT_TRUE(FontFaceOfNum(3, &geneva));
  ASSERT_TRUE(FontFaceOfNum(4, &monaco));
  EXPECT_NE(chicago.path, geneva.path);
  EXPECT_NE(monaco.path, geneva.path);
  EXPECT_NE(monaco.family.find("Mono"), std::string::npos) << monaco.family;
  EXPECT_FALSE(FontFaceOfNum(1, &chicago));
  EXPECT_FALSE(FontFaceOfNum(2000, &chicago));
  Shutdown(1);
}

TEST_F(BundleTest, WithTheBundleFlagClearTheFolderStays) {
  APPL.bundle = 0;
  SetBundlePathForTesting(nullptr);
  Startup();
  EXPECT_TRUE(didStartup);
  EXPECT_EQ(CurrentFolder(), cwd_);
}

TEST_F(StartupTest, ShutdownRunsItsStepsInOrderAndEndsWithStatusZero) {
  static std::vector<std::string> steps;
  steps.clear();
  APPL.shutdown = [] { steps.push_back(shuttingDown ? "hook while shutting down" : "hook"); };
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
