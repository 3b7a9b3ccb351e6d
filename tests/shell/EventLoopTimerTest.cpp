#include "ShellFixture.h"
#include "foundation/Timer.h"
#include "platform/PlatformTime.h"

namespace {

UInt64 fakeMicros;
UInt64 FakeNanos() { return fakeMicros * 1000; }
UInt64 FakeMicros() { return fakeMicros; }
void FakeSleep(UInt64 nanos) { fakeMicros += nanos / 1000; }
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
