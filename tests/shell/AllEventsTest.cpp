#include "ShellFixture.h"

namespace {

class AllEventsTest : public ShellTest {};

TEST_F(AllEventsTest, CaptureParksThePointerAndReleaseBringsItBack) {
  EXPECT_FALSE(AllEventsEnabled());  // not installed yet
  InitAllEvents();
  EXPECT_TRUE(AllEventsEnabled());

  platform.PostMotion(5, 5);
  platform.mouse = Point{40, 50};
  DisableAllEvents();
  EXPECT_FALSE(AllEventsEnabled());
  EXPECT_FALSE(cursorVIS);
  EXPECT_FALSE(platform.cursorShown);
  EXPECT_TRUE(platform.relative);
  ASSERT_EQ(platform.warps.size(), 1u);
  EXPECT_EQ(platform.warps[0].v, 340);  // centre of the window (100, 200, 580, 840)
  EXPECT_EQ(platform.warps[0].h, 520);
  GetEvent(0, nullptr);
  EXPECT_EQ(GetMouseDelta().h, 0);

  DisableAllEvents();  // a second capture changes nothing
  EXPECT_EQ(platform.warps.size(), 1u);
  EnableAllEvents();
  EXPECT_TRUE(AllEventsEnabled());
  EXPECT_FALSE(platform.relative);
  EXPECT_EQ(platform.mouse.v, 40);
  EXPECT_EQ(platform.mouse.h, 50);
  EXPECT_FALSE(platform.cursorShown);  // the interface shows it again
  ShowInterface();
  EXPECT_TRUE(platform.cursorShown);
  EXPECT_TRUE(cursorVIS);
}

TEST_F(AllEventsTest, ParkingPointStaysSixPixelsInsideTheScreen) {
  platform.screen = Rect{0, 0, 768, 1024};
  struct Case {
    bool window;
    Rect content;
    SInt16 v, h;
  } cases[] = {
      {true, {100, 200, 580, 840}, 340, 520},
      {true, {-470, -630, 10, 10}, 6, 6},
      {true, {760, 1020, 1240, 1660}, 762, 1018},
      {false, {}, 384, 512},
  };
  for (const Case& c : cases) {
    platform.hasWindow = c.window;
    platform.window = c.content;
    Point p = AllEventsParkingPoint();
    EXPECT_EQ(p.v, c.v);
    EXPECT_EQ(p.h, c.h);
  }
}

TEST_F(AllEventsTest, MenusAreCapturedAndReleasedThroughTheirSeam) {
  static std::vector<bool> calls;
  calls.clear();
  captureMenusProc = [](bool capture) { calls.push_back(capture); };
  InitAllEvents();
  DisableAllEvents();
  DisableAllEvents();
  EnableAllEvents();
  EnableAllEvents();
  captureMenusProc = nullptr;
  EXPECT_EQ(calls, (std::vector<bool>{true, false}));
}

TEST_F(AllEventsTest, SwitchingAwayDuringTheCaptureStillSuspends) {
  APPL.customEvents = LogCustomEvents;
  InitAllEvents();
  DisableAllEvents();
  platform.Post(PlatformEvent::Suspend);
  platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
  platform.Post(PlatformEvent::Resume);
  GetEvent(0, nullptr);  // the game does not call HandleEvents while captured
  EXPECT_FALSE(isFrontProcess);
  GetEvent(0, nullptr);
  GetEvent(0, nullptr);
  EXPECT_TRUE(isFrontProcess);
  EXPECT_EQ(log, (std::vector<std::string>{"custom suspend", "custom resume"}));

  // Released, the events wait for HandleEvents.
  EnableAllEvents();
  platform.Post(PlatformEvent::Suspend);
  GetEvent(0, nullptr);
  EXPECT_TRUE(isFrontProcess);
  HandleEvents();
  EXPECT_FALSE(isFrontProcess);
}

TEST_F(AllEventsTest, KeyDownsReachTheMenusOnlyWhileReleased) {
  static int menus, handled;
  menus = handled = 0;
  menuKeyProc = [](const EventRecord*) -> SInt32 { return ++menus ? (131 << 16) | 2 : 0; };
  handleMenuProc = [](SInt16 menu, SInt16 item) { handled += menu == 131 && item == 2; };
  APPL.customEvents = LogCustomEvents;
  InitAllEvents();
  platform.PostKey(PlatformEvent::KeyDown, 19, '2');
  GetEvent(0, nullptr);
  HandleEvents();
  DisableAllEvents();
  platform.PostKey(PlatformEvent::KeyDown, 19, '2');
  GetEvent(0, nullptr);
  HandleEvents();
  menuKeyProc = nullptr;
  handleMenuProc = nullptr;
  EXPECT_EQ(menus, 1);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(log.size(), 2u);
}

}  // namespace
