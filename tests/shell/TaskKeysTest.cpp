#include <cstring>

#include "ShellFixture.h"
#include "shell/TaskKeys.h"
#include "support/FakeDisplayServices.h"

namespace {

class TaskKeys : public ShellTest {
 protected:
  TaskKeys() {
    std::memset(keydownsPTR, 0, 128);
    std::memset(keyupsPTR, 0, 128);
    std::memset(keytrigsPTR, 0, 128);
    InitKeyCodesChars();
  }
  // The counters are kept by bit index of the keyboard map.
  static char Index(UInt8 code) { return char(keyToCode[code]); }
  ~TaskKeys() override { RemoveTaskKeys(); }
  void Tap(UInt8 code) {
    platform.SetKey(code, true);
    KeyTasks();
    platform.SetKey(code, false);
    KeyTasks();
  }
  FakeEventPlatform platform;
  RecordingDialogs dialogs;
  FakeDisplayServices displays;
};

TEST_F(TaskKeys, AnswersOnlyWhileInstalled) {
  Tap(49);
  EXPECT_FALSE(TaskKey_Displays(Index(49)));
  displays.AddDisplay(1, {0, 0, 640, 480}, {FakeDisplayServices::Mode(1, 640, 480, 32)});
  InstallTaskKeys();
  EXPECT_TRUE(taskInstalled);
  Tap(50);
  EXPECT_TRUE(TaskKey_Displays(Index(50)));
  EXPECT_FALSE(TaskKey_Displays(Index(50)));  // the tap is used up
  EXPECT_FALSE(TaskKey_Displays(-3));
}

TEST_F(TaskKeys, HeldKeyCountsOnceAndTapsStopAtOneHundred) {
  platform.SetKey(12, true);
  for (int i = 0; i < 200; i++) KeyTasks();
  EXPECT_EQ(keydownsPTR[keyToCode[12]], 1);
  platform.SetKey(12, false);
  KeyTasks();
  for (int i = 0; i < 150; i++) Tap(13);
  EXPECT_EQ(keydownsPTR[keyToCode[13]], 100);
  EXPECT_EQ(keyupsPTR[keyToCode[13]], 100);
}

TEST_F(TaskKeys, InstallingWithoutADisplayIsFatal) {
  EXPECT_THROW(InstallTaskKeys(), FatalReport);
  EXPECT_FALSE(taskInstalled);
}

TEST_F(TaskKeys, PointerStatesClearedEachSample) {
  inputMouseON = true;
  inputMouseMODE = inputMouseButton = inputMouseReturn = true;
  MouseTasks();
  EXPECT_FALSE(inputMouseButton);
  EXPECT_FALSE(inputMouseReturn);
  EXPECT_TRUE(inputMouseMODE);
  inputMouseON = false;
  MouseTasks();
  EXPECT_FALSE(inputMouseMODE);
}

}  // namespace
