// The fixed-step loop: the game advances in steps of 16,667 microseconds
// against the engine clock, catching up with several steps in one pass when
// drawing was slow, and the picture is drawn once per pass that stepped.
// Between steps the loop sleeps until the next one is due.
#pragma once

#include "foundation/MainTimer.h"
#include "foundation/Timer.h"
#include "frontend/controls/ControlGL.h"

constexpr double kStepMicroseconds = 16667;
// A longer backlog (the machine slept, the window was dragged) is dropped
// instead of being replayed at full speed.
constexpr double kMaxBacklogMicroseconds = 250000;

// When the next step is due, in LocalMicroseconds.
extern double nextTime;
// The pause input was down on the previous step that could pause.
extern UInt8 pauseTrigger;
extern Timer mainTIMER;
// The window-size button over the top-right corner of the picture; its
// title image's alpha is its fade, 0 (hidden) to 1.
extern MSButton fullScreenBUTTON;
// Steps run since start-up; a scripted player (the demo) sets the control
// bytes after the keyboard's in each step.
extern UInt32 stepCOUNT;
extern void (*scriptedInputProc)(UInt32 step);
// What a pass that stepped draws; the program's is DrawEverything.
extern void (*drawFrameProc)();

void ResetSpeedManager();
// Sets the players' control bytes from the held keys, and the Escape and
// Return bytes from this step's key-down event.
void HandleKeyboard();
// Abandons the game: both ships lose their shields and the game fades out.
void QuitGame();
void OpenALRequiredAlert();

// What acts on a key or click that comes now, by its name in the input
// trace: the front screen when it takes input, "game" for a game in play
// at full brightness (a key pauses it), or null for nothing (a fade, a
// screen on its way out, the program in the background).
const char* InputTaker();
// Writes "ready <taker>", or "busy" when nothing takes input, to the input
// trace each time that changes; once per step.
void TraceInputTaker();

// One step; false when it set applQUIT (the pass then ends at once).
bool MainStep();
// One pass: the quote-key wait, the due steps, then one drawing when any
// step ran, or a sleep until the next step is due. Answers the steps run.
int MainPass();
