// Game pads and joysticks: the game's named needs, the device layer that
// serves them, and each step's turning of device events and analog axes
// into the per-player control bytes the keyboard also fills. Until
// InitInputrix has found a device, every entry point falls back to the
// mouse and keyboard.
//
// The control block (20 bytes, the game's): byte 2k + p holds control k (0
// left, 1 right, 2 up, 3 down, 4 fire) of player p, byte 10 Escape, byte 11
// Return, then per player two signed 16-bit analog values, vertical then
// horizontal, low byte first.
#pragma once

#include "platform/InputDevices.h"

enum { kInputNeeds = 16, kInputBlockBytes = 20 };

extern bool ispREADY, ispTRIED;
// Element references of the needs, in need order (also the needs array of
// APPL).
extern UInt32 theElement[kInputNeeds];
// The game's control block and its copy from the previous step.
extern UInt8* inputBLOCK;
extern UInt8* inputTRIGBLOCK;
void SetInputBlocks(UInt8* input, UInt8* trig);
// The four analog-axis counters (player 1 horizontal and vertical, then
// player 2) and their directions, for UseAnalog.
extern char axisCOUNTER[4];
extern char axisDIRECTION[4];

// Force feedback settings.
extern bool forceFEEDBACK, forceREADY;
extern bool forcePLAYER[2], forceDAMAGE[2];
extern char forceDEVICE[2];
extern SInt16 iShock2COUNT;

// 0 started; -1 when no device can be served.
int InitInputrix();
bool InputSprocketsReady();
bool AnySprocketInput();
void HandleInputs();
void FlushInputs();
void ISpReset();
void DisposeNeeds();
void DisposeInputSprockets();
void DisposeInputSprocket();
bool Button2();
bool StillDown2();
void InputDevicesDialog(WindowRef parent);
// The force-feedback settings dialog; its window can also be built, read
// back into the settings and disposed of on its own.
void ForceFeedbackDialog();
WindowRef NewForceFeedbackDialog();
void SaveForceFeedbackDialog(WindowRef window);
void DisposeForceFeedbackDialog(WindowRef window);
// Does nothing (the feedback dialog calls it when a device is chosen).
void TestDeviceFeedback(char device);
void SetKeyboardMouseActivation(unsigned char on);
bool AnyHIDInput();

// The hook bodies of a two-player game (APPL's input hooks).
void InitInputNeeds();
void ResetInputs();
void ProcessInputs();
void DoInterruptInput(SInt16* dh, SInt16* dv, UInt8* fire, UInt8* returnKey, UInt8* escapeKey);
UInt8 AnyISInput();
// Turns an analog value (-8 ... 8) into repeated digital steps.
void UseAnalog(char value, UInt8* low, UInt8* high, char* direction, char* accumulator);
// Installs the hook bodies above in APPL.
void InstallInputHooks();
