#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frontend/screens/ScreenGL.h"
#include "support/FakeEventPlatform.h"

namespace {

std::vector<std::string> calls;

// A screen that records its calls and runs an optional action in Process.
struct TestScreen final : ScreenGL {
  explicit TestScreen(std::string n) : name(std::move(n)) {}
  void Process() override {
    calls.push_back("process " + name);
    if (onProcess) onProcess();
  }
  void Draw() override { calls.push_back("draw " + name); }
  std::string name;
  std::function<void()> onProcess;
};

class ScreenSystemTest : public ::testing::Test {
 protected:
  ScreenSystemTest() { calls.clear(); }
  ~ScreenSystemTest() override {
    for (TestScreen* s : {&a, &b, &c})
      if (s->IsOpen()) s->Close();
  }
  FakeEventPlatform platform;
  TestScreen a{"a"}, b{"b"}, c{"c"};
};

TEST_F(ScreenSystemTest, NewScreenHasDefaultBoundsAndIsClosed) {
  EXPECT_EQ(a.bounds.top, 32);
  EXPECT_EQ(a.bounds.left, 32);
  EXPECT_EQ(a.bounds.bottom, 272);
  EXPECT_EQ(a.bounds.right, 352);
  EXPECT_FALSE(a.IsOpen());
  EXPECT_FALSE(a.IsFront());
  EXPECT_FALSE(a.IsSuspended());
}

TEST_F(ScreenSystemTest, NothingOpenMeansNothingRunsOrDraws) {
  ProcessScreens();
  DrawScreens();
  EXPECT_TRUE(calls.empty());
  EXPECT_FALSE(AnyScreenOpen());
}

TEST_F(ScreenSystemTest, LastOpenedIsFrontAndDrawnOnTop) {
  a.Open(1);
  b.Open(1);
  EXPECT_TRUE(b.IsFront());
  EXPECT_FALSE(a.IsFront());
  EXPECT_TRUE(AnyScreenOpen());
  DrawScreens();
  EXPECT_EQ(calls, (std::vector<std::string>{"draw a", "draw b"}));
}

TEST_F(ScreenSystemTest, ClosingFrontHandsFocusToScreenOpenedBefore) {
  a.Open(1);
  b.Open(1);
  b.Close();
  EXPECT_TRUE(a.IsFront());
  a.Close();
  EXPECT_EQ(frontScreen, nullptr);
  EXPECT_FALSE(AnyScreenOpen());
}

TEST_F(ScreenSystemTest, OpeningAnOpenScreenBringsItToFrontOnce) {
  a.Open(1);
  b.Open(1);
  a.Open(1);
  EXPECT_TRUE(a.IsFront());
  EXPECT_EQ(screenList->Size(), 2u);
  DrawScreens();
  EXPECT_EQ(calls, (std::vector<std::string>{"draw b", "draw a"}));
  a.Close();
  EXPECT_FALSE(a.IsOpen());
  EXPECT_TRUE(b.IsFront());
  EXPECT_EQ(screenList->Size(), 1u);
}

TEST_F(ScreenSystemTest, MoveToFrontReordersTheList) {
  a.Open(1);
  b.Open(1);
  a.MoveToFront();
  EXPECT_TRUE(a.IsFront());
  DrawScreens();
  EXPECT_EQ(calls, (std::vector<std::string>{"draw b", "draw a"}));
}

TEST_F(ScreenSystemTest, ScreenClosingItselfDoesNotStopTheWalk) {
  a.Open(1);
  b.Open(1);
  a.onProcess = [&] { a.Close(); };
  ProcessScreens();
  EXPECT_EQ(calls, (std::vector<std::string>{"process a", "process b"}));
}

TEST_F(ScreenSystemTest, ScreenOpenedByEarlierScreenRunsInSameStep) {
  a.Open(1);
  b.Open(1);
  a.onProcess = [&] {
    if (!c.IsOpen()) c.Open(1);
  };
  ProcessScreens();
  EXPECT_EQ(calls, (std::vector<std::string>{"process a", "process b", "process c"}));
}

TEST_F(ScreenSystemTest, ScreenOpenedByLastScreenRunsFromNextStep) {
  a.Open(1);
  a.onProcess = [&] {
    if (!b.IsOpen()) b.Open(1);
  };
  ProcessScreens();
  EXPECT_EQ(calls, (std::vector<std::string>{"process a"}));
  calls.clear();
  ProcessScreens();
  EXPECT_EQ(calls, (std::vector<std::string>{"process a", "process b"}));
}

TEST_F(ScreenSystemTest, OpeningDropsQueuedMouseAndKeyEvents) {
  platform.PostKey(PlatformEvent::KeyDown, 36, 13);
  platform.PostMouse(PlatformEvent::MouseDown, Point{10, 10});
  platform.Post(PlatformEvent::Quit);
  a.Open(1);
  EXPECT_EQ(PendingPlatformEvents(), 1);
}

}  // namespace
