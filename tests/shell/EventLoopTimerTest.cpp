#include "ShellFixture.h"
#include "foundation/Timer.h"
#include "platform/PlatformTime.h"
#include "support/FakeTime.h"

namespace {

int fired;
void Count(Timer*) { ++fired; }

class EventLoopTimerTest : public ShellTest {
 protected:
  EventLoopTimerTest() { fired = 0; }
  FakeTime time;
};

TEST_F(EventLoopTimerTest, TimersRunInsideTheEventPump) {
  Timer timer(Count, 30, nullptr);
  EXPECT_FALSE(GetEvent(0, nullptr));  // first firing on the next pass
  EXPECT_EQ(fired, 1);
  FakeTime::AdvanceMicros(10000);
  SystemIdle();
  EXPECT_EQ(fired, 1);
  FakeTime::AdvanceMicros(20000);
  SystemIdle();
  EXPECT_EQ(fired, 2);
  FakeTime::AdvanceMicros(30000);
  platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
  EXPECT_TRUE(GetEvent(0, nullptr));
  EXPECT_EQ(fired, 3);
  EXPECT_EQ(theEVENT.when, TickCount());
}

}  // namespace

namespace {

TEST_F(EventLoopTimerTest, SystemEventCallsTakeTheClassesAskedForAndWaitTheirTicks) {
  platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
  platform.PostMouse(PlatformEvent::MouseDown, Point{5, 6});
  EventRecord e{};
  EXPECT_TRUE(GetNextEventOrig(mDownMask, &e));
  EXPECT_EQ(e.what, mouseDown);
  EXPECT_FALSE(GetNextEventOrig(mDownMask, &e));
  EXPECT_EQ(PendingPlatformEvents(), 1);
  EXPECT_FALSE(KeyState(kKeyMouseButton));  // nothing counted

  UInt32 start = TickCount();
  EXPECT_FALSE(WaitNextEventOrig(mUpMask, &e, 3, nullptr));
  EXPECT_GE(TickCount() - start, 3u);
  EXPECT_TRUE(WaitNextEventOrig(keyDownMask, &e, 3, nullptr));
  EXPECT_EQ(e.message, (0u << 8) | 'a');
}

}  // namespace
