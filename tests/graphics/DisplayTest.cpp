#include <gtest/gtest.h>

#include <string>

#include "foundation/Timer.h"
#include "graphics/Display.h"
#include "shell/ApplInfo.h"
#include "shell/Startup.h"
#include "support/FakeDisplayServices.h"
#include "support/FakeEventPlatform.h"
#include "support/FakeTime.h"
#include "support/RecordingDialogs.h"

namespace {

using M = FakeDisplayServices;

std::string Name(const Resolution& r) { return std::string(reinterpret_cast<const char*>(r.name + 1), r.name[0]); }

class DisplayManager : public ::testing::Test {
 protected:
  void TearDown() override {
    DisposeDisplays(mainDISPLAY);
    DisposeDisplayAPI();
    mainDEVICE = nullptr;
  }
  // 640 by 480 and 800 by 600, each at 60 and 75 Hz, each at 16 and 32 bits.
  void AddStandardDisplay() {
    fake.AddDisplay(1, {0, 0, 800, 600},
                    {M::Mode(1, 640, 480, 16, 60), M::Mode(2, 640, 480, 32, 60), M::Mode(3, 640, 480, 16, 75),
                     M::Mode(4, 640, 480, 32, 75), M::Mode(5, 800, 600, 16, 60), M::Mode(6, 800, 600, 32, 60),
                     M::Mode(7, 800, 600, 16, 75), M::Mode(8, 800, 600, 32, 75)});
    fake.displays[0].current = fake.displays[0].modes[5];
    mainDEVICE = GetMainDevice();
  }
  RecordingDialogs dialogs;
  FakeDisplayServices fake;
  FakeEventPlatform events;
};

}  // namespace

TEST_F(DisplayManager, ModesDifferingOnlyInDepthBecomeOneWithBothDepths) {
  fake.AddDisplay(4, {0, 0, 1024, 768},
                  {M::Mode(10, 640, 480, 16, 60, kDisplayModeSafeFlag | kDisplayModeStretchedFlag),
                   M::Mode(11, 640, 480, 32, 60, 0), M::Mode(12, 1024, 768, 32)});
  ASSERT_EQ(InitDisplays(mainDISPLAY), 0);
  ASSERT_EQ(mainDISPLAY.Size(), 1u);
  Display& d = mainDISPLAY[0];
  EXPECT_EQ(d.displayID, 4u);
  EXPECT_EQ(d.device, GetMainDevice());
  ASSERT_EQ(d.modes.Size(), 2u);
  EXPECT_EQ(d.modes[0].depths, 16u | 32u);
  EXPECT_EQ(d.modes[0].modeID, 10u);  // the first one's id, flags and name
  EXPECT_EQ(d.modes[0].flags, 1);
  EXPECT_EQ(d.modes[0].safe, 1);
  EXPECT_EQ(d.modes[0].refresh, 60u << 16);
  EXPECT_EQ(Name(d.modes[0]), "640 x 480, 60.0 Hz");
  EXPECT_EQ(Name(d.modes[1]), "1024 x 768");
  EXPECT_EQ(d.Bounds().right, 1024);

  // Recorded once: a second call changes nothing.
  fake.AddDisplay(5, {1024, 0, 800, 600}, {M::Mode(1, 800, 600, 32)});
  EXPECT_EQ(InitDisplays(mainDISPLAY), 0);
  EXPECT_EQ(mainDISPLAY.Size(), 1u);
}

TEST_F(DisplayManager, DisplaysThatCannotBeReadAreSkippedOrFailTheCall) {
  DisplayServices* saved = SetDisplayServices(nullptr);
  EXPECT_EQ(InitDisplays(mainDISPLAY), 2);  // SDL's services, with no video system running
  SetDisplayServices(saved);
  // A display with no current mode is left out; the rest are still recorded.
  fake.AddDisplay(1, {0, 0, 640, 480}, {M::Mode(1, 640, 480, 32)});
  fake.AddDisplay(2, {640, 0, 800, 600}, {M::Mode(1, 800, 600, 32)});
  fake.displays[0].hasCurrentMode = false;
  ASSERT_EQ(InitDisplays(mainDISPLAY), 0);
  ASSERT_EQ(mainDISPLAY.Size(), 1u);
  EXPECT_EQ(mainDISPLAY[0].displayID, 2u);
  EXPECT_EQ(mainDISPLAY[0].device, GetNextDevice(GetMainDevice()));
  DisposeDisplays(mainDISPLAY);

  // A display with no mode list fails the call and records nothing.
  fake.displays[0].hasCurrentMode = true;
  fake.displays[1].hasModeList = false;
  EXPECT_EQ(InitDisplays(mainDISPLAY), 5);
  EXPECT_EQ(mainDISPLAY.Size(), 0u);
  fake.activeDisplaysResult = 1001;
  EXPECT_EQ(InitDisplays(mainDISPLAY), 2);
}

TEST_F(DisplayManager, FindModePicksTheSmallestFittingModeAtTheNearestDepth) {
  AddStandardDisplay();
  ASSERT_EQ(InitDisplays(mainDISPLAY), 0);
  Display& d = mainDISPLAY[0];
  ASSERT_EQ(d.modes.Size(), 4u);
  struct Case {
    SInt16 depth;
    UInt32 width, height, refresh;
    SInt16 found;
    SInt32 index;
  } cases[] = {
      {16, 640, 480, 0, 16, 0},                                     // both refreshes fit: the lowest
      {16, 640, 480, 70u << 16, 16, 1},                             // the lowest at or above the asked refresh
      {8, 640, 480, 0, 16, 0},                                      // the next greater depth
      {24, 700, 500, 0, 32, 2},                                     // the next greater size
      {32, 800, 600, 75u << 16, 32, 3}, {16, 1024, 768, 0, 0, -1},  // nothing that large
      {16, 640, 480, 85u << 16, 0, -1},                             // nothing that fast
      {64, 640, 480, 0, 0, -1},                                     // nothing that deep
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.depth << " " << c.width << "x" << c.height << " " << (c.refresh >> 16));
    SInt32 index = 99;
    EXPECT_EQ(d.FindMode(&index, c.depth, c.width, c.height, c.refresh, 0), c.found);
    EXPECT_EQ(index, c.index);
  }
}

TEST_F(DisplayManager, NextGreaterDepthNeverLoopsOnSmallDepths) {
  struct Case {
    UInt32 depths;
    SInt16 depth, expected;
  } cases[] = {{16 | 32, 8, 16}, {8, 16, 0}, {16 | 32, 32, 32}, {1 | 8, 1, 1}, {32, 0, 0}, {32, -4, 0}, {0, 1, 0}};
  for (const Case& c : cases) EXPECT_EQ(NextGreaterDepth(c.depths, c.depth), c.expected) << c.depths << " " << c.depth;
}

TEST_F(DisplayManager, SwitchingCapturesForTheSwitchAndResetGoesBack) {
  AddStandardDisplay();
  ASSERT_EQ(InitDisplays(mainDISPLAY), 0);
  Display& d = mainDISPLAY[0];
  SInt32 index = -1;
  UInt8 grey = 9;
  EXPECT_EQ(d.GetMode(&index, &grey), 32);  // 800 by 600 at 60 Hz
  EXPECT_EQ(index, 2);
  EXPECT_EQ(grey, 0);

  ASSERT_TRUE(d.SetMode(16, 0));  // 640 by 480, 60 Hz, 16 bits
  ASSERT_EQ(fake.switches.size(), 1u);
  EXPECT_EQ(fake.switches[0].mode, 1);
  EXPECT_EQ(fake.captures, 1);
  EXPECT_EQ(fake.releases, 1);
  EXPECT_FALSE(fake.IsCaptured(1));
  EXPECT_EQ(d.switched, 1);

  EXPECT_FALSE(d.SetMode(8, 0));   // no 8-bit dictionary
  EXPECT_FALSE(d.SetMode(16, 7));  // no such mode
  EXPECT_EQ(fake.switches.size(), 1u);

  // A display captured before the switch stays captured.
  EXPECT_EQ(CaptureDisplay(), 0);
  ASSERT_TRUE(d.SetMode(32, -1));  // the current mode at another depth
  EXPECT_EQ(fake.switches.back().mode, 2);
  EXPECT_TRUE(fake.IsCaptured(1));
  EXPECT_EQ(ReleaseDisplay(), 0);

  // In the background the display is switched without capture.
  events.front = false;
  ASSERT_TRUE(d.SetMode(16, 2));
  EXPECT_EQ(fake.captures, 2);
  events.front = true;

  EXPECT_TRUE(ResetDisplays(mainDISPLAY));
  EXPECT_EQ(fake.switches.back().mode, 6);  // the start mode
  fake.switchResult = 3;
  EXPECT_FALSE(d.ResetMode());
}

TEST_F(DisplayManager, DevicesAndDisplaysMapBothWays) {
  fake.AddDisplay(7, {0, 0, 640, 480}, {M::Mode(1, 640, 480, 32)});
  fake.AddDisplay(9, {640, 0, 640, 480}, {M::Mode(1, 640, 480, 16)});
  fake.displays[1].bitsPerPixel = 16;
  fake.Rebuild();
  mainDEVICE = GetMainDevice();
  EXPECT_EQ(DeviceToDisplay(GetMainDevice()), 0u);  // nothing recorded yet
  ASSERT_EQ(InitDisplays(mainDISPLAY), 0);
  GDHandle second = GetNextDevice(GetMainDevice());
  EXPECT_EQ(DeviceToDisplay(GetMainDevice()), 7u);
  EXPECT_EQ(DeviceToDisplay(second), 9u);
  EXPECT_EQ(DisplayToDevice(9), second);
  EXPECT_EQ(DisplayToDevice(3), nullptr);
  GDevice stranger{};
  GDPtr master = &stranger;
  EXPECT_EQ(DeviceToDisplay(&master), 0u);

  SInt16 depth = 0;
  UInt8 colour = 0;
  EXPECT_EQ(GetMonitorMode(nullptr, &depth, &colour), 32);
  EXPECT_EQ(depth, 32);
  EXPECT_EQ(colour, 1);
  EXPECT_EQ(GetMonitorMode(second, nullptr, nullptr), 16);
  EXPECT_EQ(SetMonitorMode(nullptr, 8, 1), paramErr);
}

TEST_F(DisplayManager, ModeDescriptionsAreReadKeyByKey) {
  DisplayModeInfo partial{};
  partial.present =
      DisplayModeInfo::kWidth | DisplayModeInfo::kHeight | DisplayModeInfo::kRefreshRate | DisplayModeInfo::kIOFlags;
  partial.width = 1280;
  partial.height = 1024;
  partial.refreshRate = 59.94f;
  partial.ioFlags = kDisplayModeNeedsPanningFlag | kDisplayModeInterlacedFlag;
  Resolution r;
  r.depths = 77;
  ASSERT_EQ(ExtractModeDictionaryInfo(&partial, &r), 0);
  EXPECT_EQ(r.modeID, 0u);  // absent keys stay 0
  EXPECT_EQ(r.depths, 0u);
  EXPECT_EQ(r.refresh, UInt32(59.94f * 65536.0));
  EXPECT_EQ(r.flags, 2 | 4);
  EXPECT_EQ(r.safe, 0);
  EXPECT_EQ(Name(r), "1280 x 1024, 59.9 Hz");

  partial.refreshRate = 1e12f;
  partial.width = partial.height = 2000000000;
  ASSERT_EQ(ExtractModeDictionaryInfo(&partial, &r), 0);
  EXPECT_EQ(r.refresh, 4294967295u);
  EXPECT_EQ(r.name[0], 31);  // the name is cut to 31 characters
  partial.bad = DisplayModeInfo::kHeight;
  EXPECT_EQ(ExtractModeDictionaryInfo(&partial, &r), 3);
}

TEST_F(DisplayManager, AbsoluteTimeConvertsBothWays) {
  EXPECT_DOUBLE_EQ(AbsoluteToSeconds(1500000000), 1.5);
  EXPECT_EQ(SecondsToAbsolute(1.5), 1500000000u);
  EXPECT_EQ(SecondsToAbsolute(1e10), UInt64(1e19));  // above 2^63
  EXPECT_EQ(SecondsToAbsolute(-1), 0u);
}

TEST_F(DisplayManager, PeriodicTaskRunsOnTheEventLoopUntilRemoved) {
  FakeTime clock{1000};
  fake.AddDisplay(1, {0, 0, 640, 480}, {M::Mode(1, 640, 480, 32)});
  ASSERT_EQ(InitDisplays(mainDISPLAY), 0);
  static int calls;
  calls = 0;
  Display& d = mainDISPLAY[0];
  d.InstallVBLTask([] { calls++; });
  EXPECT_EQ(d.taskInstalled, 1);
  for (int i = 0; i < 3; i++) {
    ServiceTimers();
    FakeTime::AdvanceMicros(16'000);
  }
  EXPECT_EQ(calls, 3);
  d.RemoveVBLTask();
  EXPECT_EQ(d.taskInstalled, 0);
  ServiceTimers();
  EXPECT_EQ(calls, 3);
}

TEST_F(DisplayManager, ScreenErrorTellsWhatIsNeededAndEnds) {
  struct Case {
    SInt16 depth;
    const char* message;
  } cases[] = {
      {16, "Sorry, Halvane requires a monitor at least 640x480 capable of displaying 16 bit color."},
      {8, "Sorry, Halvane requires a monitor at least 640x480 capable of displaying 256 colors/grays."},
      {1, "Sorry, Halvane requires a monitor at least 640x480 capable of displaying 2 colors/grays."},
  };
  ApplInfo saved = APPL;
  APPL.SetName("Halvane", "");
  APPL.bundle = 0;
  for (const Case& c : cases) {
    size_t reports = dialogs.Reports().size();
    int beeps = events.beeps;
    EXPECT_THROW(DisplayErrorDialog(640, 480, c.depth), ProcessExit) << c.depth;
    ASSERT_EQ(dialogs.Reports().size(), reports + 1);
    EXPECT_EQ(dialogs.Reports().back().message, c.message);
    EXPECT_EQ(dialogs.Reports().back().button, "OK");
    EXPECT_EQ(events.beeps, beeps + 1);
    EXPECT_TRUE(events.cursorShown);  // shut-down shows it again
  }
  APPL = saved;
  cursorVIS = true;
  shuttingDown = false;
}

#include "graphics/DisplayDialogs.h"

TEST_F(DisplayManager, ConfirmAcceptsSafeModesOnly) {
  fake.AddDisplay(4, {0, 0, 1024, 768},
                  {M::Mode(10, 640, 480, 32, 60, kDisplayModeSafeFlag), M::Mode(12, 1024, 768, 32, 60, 0)});
  ASSERT_EQ(InitDisplays(mainDISPLAY), 0);
  fake.displays[0].current = fake.displays[0].modes[0];
  EXPECT_TRUE(DisplayConfirmDialog(&mainDISPLAY[0]));
  fake.displays[0].current = fake.displays[0].modes[1];
  EXPECT_FALSE(DisplayConfirmDialog(&mainDISPLAY[0]));  // the timed confirmation answers Cancel
  fake.displays[0].current = M::Mode(99, 320, 200, 8, 70);
  EXPECT_FALSE(DisplayConfirmDialog(&mainDISPLAY[0]));
  EXPECT_FALSE(DisplayConfirmDialog(nullptr));
}
