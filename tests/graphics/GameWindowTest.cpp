// Game window rules that need no screen: centring on the main device (from
// the fake display services) and the full-screen state answers.
#include <gtest/gtest.h>

#include "graphics/GameWindow.h"
#include "platform/GameWindowPlatform.h"
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
      {{0, 0, 1080, 1920}, 640, 480, 640, 300},   {{0, 0, 1080, 1920}, 1024, 768, 448, 156},
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

// The utilities on a window record with no window system behind it.
TEST(GameWindowUtilities, PortLocksAndContentColours) {
  WindowRecord window{nullptr, nullptr, 0};
  SetPort_Window(&window, nullptr);
  CGrafPtr port = nullptr;
  GDHandle device = nullptr;
  GetGWorld(&port, &device);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port, GetWindowPort(&window));
  Rect bounds;
  GetPortBounds(port, &bounds);
  EXPECT_EQ(bounds.right, 1);
  LockWindow(&window);
  UnlockWindow(&window);
  SetPort_(static_cast<CGrafPtr>(nullptr), nullptr);
  SetPort_(&window, nullptr);
  GetGWorld(&port, &device);
  EXPECT_EQ(port, GetWindowPort(&window));
  SetPort_Window(nullptr, nullptr);  // no window: the port stays
  GetGWorld(&port, &device);
  EXPECT_EQ(port, GetWindowPort(&window));

  CTabHandle table = NewColorTable(4);
  const RGBColor grey{0x5555, 0x5555, 0x5555}, black{0, 0, 0}, white{0xFFFF, 0xFFFF, 0xFFFF};
  const struct {
    void (*paint)(WindowRef, CTabHandle);
    RGBColor colour;
  } cases[] = {{BlackenWindow, black}, {UnBlackenWindow, white}};
  for (const auto& c : cases) {
    (*table)->ctSeed = 77;
    (*table)->ctFlags = 0x8000;
    (*table)->ctSize = 3;
    for (int i = 0; i < 4; i++) (*table)->ctTable[i] = ColorSpec{SInt16(i), grey};
    c.paint(&window, table);
    const ColorTable& t = **table;
    EXPECT_EQ(t.ctSeed, 0);
    EXPECT_EQ(t.ctFlags, 0);
    EXPECT_EQ(t.ctSize, 0);
    EXPECT_EQ(t.ctTable[0].value, 0);
    EXPECT_EQ(t.ctTable[0].rgb.red, c.colour.red);
    EXPECT_EQ(t.ctTable[0].rgb.blue, c.colour.blue);
    EXPECT_EQ(t.ctTable[1].value, 0);
    EXPECT_EQ(t.ctTable[1].rgb.green, 0);
    EXPECT_EQ(t.ctTable[2].value, 2) << "past the first 12 words nothing changes";
    EXPECT_EQ(t.ctTable[2].rgb.red, grey.red);
    EXPECT_EQ(GetWindowContentColor(&window).green, c.colour.green);
  }
  BlackenWindow(&window, nullptr);  // no table: the window still turns black
  EXPECT_EQ(GetWindowContentColor(&window).red, 0);
  ShowWindowBlack(&window, table);
  EXPECT_EQ(GetWindowContentColor(&window).red, 0);
  DisposeCTable(table);

  ForgetWindowPort(&window);
  GetGWorld(&port, &device);
  EXPECT_EQ(port, nullptr) << "the freed port is no longer current";
  EXPECT_EQ(GetWindowContentColor(&window).red, 0xFFFF);
  EXPECT_EQ(GetWindowPort(nullptr), nullptr);
}

TEST(GameWindowUtilities, AppendMenuItemAddsPlainTextLast) {
  const unsigned char title[] = "\006Window";
  MenuRef menu = NewMenu(300, title);
  AppendMenu(menu, reinterpret_cast<const unsigned char*>("\013Small;Large"));
  EXPECT_EQ(AppendMenuItem(menu, reinterpret_cast<const unsigned char*>("\005Full/")), 3);
  Str255 text;
  GetMenuItemText(menu, 3, text);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "Full/");
  EXPECT_EQ(AppendMenuItem(nullptr, text), 0);
  DisposeMenu(menu);
}

TEST(GameWindowUtilities, BlackScreenAndMainWindowNeedTheirWindows) {
  RecordingDialogs dialogs;
  ASSERT_EQ(blackWind, nullptr);
  InitBlackWindow();
  const struct {
    void (*call)();
    const char* message;
    const char* detail;
  } cases[] = {
      {BlackenScreen, "Black window is not initialized!", "BlackenScreen()"},
      {UnBlackenScreen, "Black window is not initialized!", "UnBlackenScreen()"},
      {[] { SetMainWindow(640, 480); }, "Program Error:  InitWindow() must be called once before SetMainWindow().", ""},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.detail << " went on";
    } catch (const FatalReport& report) {
      EXPECT_EQ(report.message, c.message);
      EXPECT_EQ(report.detail, c.detail);
    }
  }
}

}  // namespace
