#include "ShellFixture.h"
#include "foundation/Timer.h"
#include "platform/PlatformTime.h"

namespace {

UInt64 fakeMicros;
UInt64 FakeNanos() { return fakeMicros * 1000; }
UInt64 FakeMicros() { return fakeMicros; }
void FakeSleep(UInt64 nanos) { fakeMicros += (nanos + 999) / 1000; }
const TimeSource fakeClock = {FakeNanos, FakeMicros, FakeSleep};

int fired;
void Count(Timer*) { ++fired; }

class EventLoopTimerTest : public ShellTest {
 protected:
  EventLoopTimerTest() : previous_(SetTimeSource(&fakeClock)) {
    fakeMicros = 1000000;
    fired = 0;
  }
  ~EventLoopTimerTest() override { SetTimeSource(previous_); }
  const TimeSource* previous_;
};

TEST_F(EventLoopTimerTest, TimersRunInsideTheEventPump) {
  Timer timer(Count, 30, nullptr);
  EXPECT_FALSE(GetEvent(0, nullptr));  // first firing on the next pass
  EXPECT_EQ(fired, 1);
  fakeMicros += 10000;
  SystemIdle();
  EXPECT_EQ(fired, 1);
  fakeMicros += 20000;
  SystemIdle();
  EXPECT_EQ(fired, 2);
  fakeMicros += 30000;
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
