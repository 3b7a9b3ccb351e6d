#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/InputTrace.h"

// The trace costs nothing and says nothing unless HALVANE_TRACE_INPUT asks
// for it; the e2e harness asks for it for every program it starts.
TEST(InputTraceTest, IsOffUnlessAskedForAndThenWritesNothing) {
  if (std::getenv("HALVANE_TRACE_INPUT")) GTEST_SKIP() << "HALVANE_TRACE_INPUT is set for this run";
  EXPECT_FALSE(InputTraceOn());
  testing::internal::CaptureStderr();
  TraceInput("sdl KEYDOWN scancode %d", 20);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
