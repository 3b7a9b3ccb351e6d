// The main timer's callback and the audio services it runs. The program
// starts mainTIMER with Timer::Init(MainTimer, 30, 0).
#pragma once

class Timer;

// Services the compressed sound channels, then the audio; ignores its argument.
void MainTimer(Timer* timer);
void ProcessCompressedSoundChannels();
void IdleAudio();
