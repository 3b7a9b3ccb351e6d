// Task keys: key presses and releases sampled from the keyboard map by a
// periodic task, so that a game polling at a lower rate still sees every
// tap. The counters are indexed by bit index of the 128-bit keyboard map
// (a key's keyToCode entry), never pass 100, and change by atomic byte
// additions. Here the task is an event-loop timer of one frame (16 ms)
// that samples the keys and the device pointer.
#pragma once

#include "platform/PlatformTypes.h"

extern UInt8 keydownsPTR[128], keyupsPTR[128], keytrigsPTR[128];
extern bool taskInstalled;
// The keyboard map sampled outside OS X mode.
extern UInt8 keysVal[16];
// Pointer emulation by an input device: allowed (inputMouseON, kept with
// the start-up state), and active now.
extern bool inputMouseON, inputMouseMODE;
// The device pointer's remembered button, Return and Escape states.
extern bool inputMouseButton, inputMouseReturn, inputMouseEscape;

// Fatal when no display exists.
void InstallTaskKeys();
void RemoveTaskKeys();
void VBLRoutines();
void KeyTasks();
bool TaskKey_Displays(char index);
void MouseTasks();
