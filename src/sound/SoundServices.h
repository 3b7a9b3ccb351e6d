// Connects the sound subsystem to the layers below it, which reach it only
// through seams: the audio upkeep that the main timer, the event fetch and
// the screen flush run (IdleAudio, ProcessCompressedSoundChannels), the alert
// sound (Beep), the "Audio Prefs" entry of the main preferences and the
// "Audio Settings" dialog behind the preferences' audio button.
#pragma once

// Called once at start-up, before the preferences are loaded.
void InstallSoundServices();

// The alert sound: a short tone on a source of the pool; nothing without one.
void AlertBeep_Sound();
