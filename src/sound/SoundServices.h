// Connects the sound subsystem to the layers below it, which reach it only
// through seams: the audio upkeep that the main timer, the event fetch and
// the screen flush run, and the "Audio Prefs" entry of the main preferences.
#pragma once

#include "platform/PlatformTypes.h"

// Called once at start-up, before the preferences are loaded.
void InstallSoundServices();

// Opens the audio output and makes the pool of effect sources. Without a
// working OpenAL the user is told once, "OpenAL is required for sound
// playback.", and the program goes on silent. Returns the number of sources.
SInt32 StartSoundOutput();

// The alert sound: a short tone on a source of the pool; nothing without one.
void AlertBeep_Sound();
