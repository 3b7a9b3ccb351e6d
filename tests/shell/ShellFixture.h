// A shell with a fake platform and a clean state: no hooks, no slots, no
// counted keys, released events, in front.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/Startup.h"
#include "support/FakeEventPlatform.h"
#include "support/RecordingDialogs.h"

class ShellTest : public ::testing::Test {
 protected:
  ShellTest() {
    ResetShellState();
    log.clear();
  }
  ~ShellTest() override { ResetShellState(); }

  // Records the event flags that the application's handler sees.
  static void LogCustomEvents() {
    std::string entry = "custom";
    if (closeBoxEVENT) entry += " close";
    if (suspendEVENT) entry += " suspend";
    if (resumeEVENT) entry += " resume";
    if (dragWindowEVENT) entry += " drag";
    log.push_back(entry);
  }

  // Pumps until the queue is empty and answers the event classes seen.
  std::vector<UInt16> Drain() {
    std::vector<UInt16> seen;
    while (PendingPlatformEvents()) {
      GetEvent(0, nullptr);
      seen.push_back(theEVENT.what);
    }
    return seen;
  }

  static inline std::vector<std::string> log;
  FakeEventPlatform platform;
  RecordingDialogs dialogs;
};
