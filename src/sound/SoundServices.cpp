#include "sound/SoundServices.h"

#include <cmath>
#include <vector>

#include "foundation/MainTimer.h"
#include "shell/ApplInfo.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/MainPrefs.h"
#include "sound/AudioPrefs.h"
#include "sound/AudioPrefsDialog.h"
#include "sound/CompressedSound.h"
#include "sound/OpenALTable.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"

namespace {

ALSound beepSound;
// The context the beep's buffer was made in: a buffer name means nothing in
// another context, so a new one makes the tone again.
const void* beepContext = nullptr;
const AudioBackEnd soundServices = {ProcessCompressedSoundChannels_Sound, IdleAudio_Sound};

}  // namespace

void InstallSoundServices() {
  SetAudioBackEnd(&soundServices);
  SetBeepBackEnd(AlertBeep_Sound);
  loadAudioPrefsProc = LoadAudioPrefs;
  saveAudioPrefsProc = SaveAudioPrefs;
  QKEL[kQKELAudioPrefsDialog] = reinterpret_cast<QKELProc>(static_cast<AudioPrefsDialogProc>(AudioPrefsDialogHook));
}

// A tenth of a second of 880 Hz, faded out, at a third of full scale.
void AlertBeep_Sound() {
  if (!myALContext) return;
  if (beepContext != myALContext) {
    beepSound.buffers[0] = beepSound.buffers[1] = 0;
    beepContext = myALContext;
  }
  if (!IsSoundLoaded(&beepSound)) {
    const int rate = 22050, frames = rate / 10;
    std::vector<SInt16> tone(frames);
    for (int i = 0; i < frames; i++)
      tone[size_t(i)] = SInt16(11000.0 * (1.0 - double(i) / frames) * std::sin(2 * M_PI * 880.0 * i / rate));
    beepSound.Setup(AL_FORMAT_MONO16, tone.data(), unsigned(tone.size() * 2), rate, 0);
  }
  PlaySound_Game(&beepSound, NextALSource(true), nullptr, 1.0f, 1.0f, 0);
}
