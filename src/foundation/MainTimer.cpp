#include "foundation/MainTimer.h"

// No sound is started and no compressed sound channel exists until the sound
// layer provides them, so for now there is nothing to service.
void ProcessCompressedSoundChannels() {}

void IdleAudio() {}

void MainTimer(Timer*) {
  ProcessCompressedSoundChannels();
  IdleAudio();
}
