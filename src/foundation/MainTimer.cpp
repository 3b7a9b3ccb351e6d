#include "foundation/MainTimer.h"

namespace {

const AudioBackEnd silentBackEnd = {nullptr, nullptr};
const AudioBackEnd* audioBackEnd = &silentBackEnd;

}  // namespace

const AudioBackEnd* SetAudioBackEnd(const AudioBackEnd* backEnd) {
  const AudioBackEnd* previous = audioBackEnd;
  audioBackEnd = backEnd ? backEnd : &silentBackEnd;
  return previous;
}

void ProcessCompressedSoundChannels() {
  if (audioBackEnd->processCompressedSoundChannels) audioBackEnd->processCompressedSoundChannels();
}

void IdleAudio() {
  if (audioBackEnd->idleAudio) audioBackEnd->idleAudio();
}

void MainTimer(Timer*) {
  ProcessCompressedSoundChannels();
  IdleAudio();
}
