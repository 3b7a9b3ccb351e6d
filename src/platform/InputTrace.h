// An opt-in record of the program's input on standard error, so that a key
// that went missing can be followed: HALVANE_TRACE_INPUT=1 (read once, off
// by default) writes one line per input event the platform receives and
// what became of it (queued, taken by the program, flushed, ignored).
//
//   input 1234.567 sdl KEYDOWN scancode 20 (Q) -> KeyDown key 12 char 'q' mods 0x0100
//
// The number is milliseconds since the first trace line.
#pragma once

#include "platform/EventPlatform.h"

bool InputTraceOn();
// Writes one "input <ms> " line; nothing when the trace is off.
void TraceInput(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A platform event in a few words: kind, key code, character, modifiers.
const char* DescribePlatformEvent(const PlatformEvent& e, char* buffer, int size);
