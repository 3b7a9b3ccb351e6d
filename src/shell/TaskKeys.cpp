#include "shell/TaskKeys.h"

#include "foundation/Atomic.h"
#include "foundation/DataUtils.h"
#include "foundation/ErrorDialog.h"
#include "foundation/Timer.h"
#include "platform/EventPlatform.h"
#include "platform/QuickDraw.h"
#include "shell/Startup.h"

UInt8 keydownsPTR[128], keyupsPTR[128], keytrigsPTR[128];
bool taskInstalled;
UInt8 keysVal[16];
bool inputMouseMODE;
bool inputMouseButton, inputMouseReturn, inputMouseEscape;

namespace {

const UInt32 kFrameMS = 16;
const UInt8 kMaxCount = 100;

Timer keyTask;

void Add(UInt8* counter, SInt8 amount) { AtomicAdd8(amount, reinterpret_cast<SInt8*>(counter)); }

void TaskFunc(Timer*) { VBLRoutines(); }

}  // namespace

void InstallTaskKeys() {
  if (!GetMainDevice()) {
    ErrorDialog("There is no display to run the key task on.", "InstallTaskKeys()", 0, 1);
    return;
  }
  if (taskInstalled) return;
  keyTask.Init(TaskFunc, kFrameMS, nullptr);
  taskInstalled = true;
}

void RemoveTaskKeys() {
  if (!taskInstalled) return;
  keyTask.Init(nullptr, 0, nullptr);
  taskInstalled = false;
}

void VBLRoutines() {
  KeyTasks();
  MouseTasks();
}

void KeyTasks() {
  UInt8 live[16];
  const UInt8* map = keysVal;
  if (OSXMode()) {
    Platform().GetKeys(live);
    map = live;
  }
  for (SInt32 i = 0; i < 128; i++) {
    bool down = TestBit(const_cast<UInt8*>(map), i);
    if (!down && keyupsPTR[i] < keydownsPTR[i] && keyupsPTR[i] < kMaxCount)
      Add(&keyupsPTR[i], 1);
    else if (down && keydownsPTR[i] == keyupsPTR[i] && keydownsPTR[i] < kMaxCount)
      Add(&keydownsPTR[i], 1);
  }
}

bool TaskKey_Displays(char index) {
  if (index < 0) return false;
  SInt32 i = index;
  bool answer;
  if (keydownsPTR[i] == 0) {
    keytrigsPTR[i] = 0;
    answer = false;
  } else if (keyupsPTR[i] && keytrigsPTR[i]) {
    keytrigsPTR[i] = 0;
    Add(&keydownsPTR[i], -1);
    Add(&keyupsPTR[i], -1);
    answer = false;
  } else {
    keytrigsPTR[i] = 1;
    answer = true;
  }
  return taskInstalled && answer;
}

void MouseTasks() {
  if (inputMouseON) {
    inputMouseButton = inputMouseReturn = inputMouseEscape = false;
  } else {
    inputMouseMODE = false;
  }
}
