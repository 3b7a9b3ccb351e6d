// The main timer's callback and the audio services it runs. The program
// starts mainTIMER with Timer::Init(MainTimer, 30, 0).
#pragma once

class Timer;

// Services the compressed sound channels, then the audio; ignores its argument.
void MainTimer(Timer* timer);
// Both go to the audio back end; they do nothing until one is installed.
void ProcessCompressedSoundChannels();
void IdleAudio();

// The sound layer sits above this library, so it provides the audio services
// through this back end when it starts. A null member does nothing.
struct AudioBackEnd {
  void (*processCompressedSoundChannels)();
  void (*idleAudio)();
};

// Installs a back end; null restores the silent one. Returns the one
// installed before.
const AudioBackEnd* SetAudioBackEnd(const AudioBackEnd* backEnd);
