#include "sound/SoundServices.h"

#include "shell/MainPrefs.h"
#include "sound/AudioPrefs.h"

void InstallSoundServices() {
  loadAudioPrefsProc = LoadAudioPrefs;
  saveAudioPrefsProc = SaveAudioPrefs;
}
