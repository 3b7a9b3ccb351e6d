// Connects the sound subsystem to the layers below it, which reach it only
// through seams: the audio upkeep that the main timer, the event fetch and
// the screen flush run, and the "Audio Prefs" entry of the main preferences.
// The program calls this once at start-up, before loading its preferences.
#pragma once

void InstallSoundServices();
