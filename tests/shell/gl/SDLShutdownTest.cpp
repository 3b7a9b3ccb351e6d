// Leaving the process through the SDL platform: Shutdown gives the display
// back and exits with 0, or with 1 once a fatal report has begun.
#include <gtest/gtest.h>

#include "foundation/ErrorDialog.h"
#include "platform/SDLEventPlatform.h"
#include "shell/ShellReports.h"
#include "shell/Startup.h"

namespace {

TEST(SDLShutdown, ExitStatusTellsAFatalReportFromAQuit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetEventPlatform(&SDLPlatform());
        Platform().SetRelativeMouse(true);
        Shutdown(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        SetEventPlatform(&SDLPlatform());
        InstallShellReports();
        ErrorDialog("Out of memory, couldn't create array", "Array", 0, 1);
      },
      ::testing::ExitedWithCode(1), "Error:  Out of memory, couldn't create array");
}

}  // namespace
