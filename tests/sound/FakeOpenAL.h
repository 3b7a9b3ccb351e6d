// A deterministic OpenAL for the sound tests: sources play only when a test
// says so, and the library's rules that the sound code depends on are kept
// (a buffer attached to a source can be neither refilled nor deleted; a
// stopped source counts all its buffers as processed and starts again from
// the head of its queue).
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <map>
#include <string>
#include <vector>

struct FakeSource {
  ALint state = AL_INITIAL;
  std::vector<ALuint> queue;
  int played = 0;  // buffers at the head of the queue already played
  float gain = 1, pitch = 1;
  float position[3] = {0, 0, 0};
  ALint looping = 0;
  std::vector<ALuint> heard;  // every buffer started, in order
};

struct FakeBuffer {
  std::vector<unsigned char> data;
  ALenum format = 0;
  ALsizei frequency = 0;
};

class FakeOpenAL {
 public:
  std::map<ALuint, FakeSource> sources;
  std::map<ALuint, FakeBuffer> buffers;
  std::vector<std::string> calls;
  ALenum error = AL_NO_ERROR;
  size_t sourceLimit = 256;  // alGenSources fails beyond this many
  int bufferFailures = 0;    // the next alGenBuffers calls that fail
  bool noDevice = false;
  ALCint deviceRate = 44100;  // the device's own output rate
  ALCcontext* current = nullptr;
  ALCcontext* const context;  // what alcCreateContext gives

  FakeOpenAL();   // installs itself and starts the sound code afresh
  ~FakeOpenAL();  // puts the real library back

  FakeSource& Source(ALuint name) { return sources.at(name); }
  // The source plays n more of its queued buffers; when none is left it
  // has run dry and stops.
  void Play(ALuint source, int n);
  void SetError(ALenum e) {
    if (error == AL_NO_ERROR) error = e;
  }
  int Processed(const FakeSource& s) const;
  static FakeOpenAL* active;

 private:
  ALuint nextSource = 101, nextBuffer = 1;
  friend struct FakeOpenALCalls;
};

// Forgets every channel, source, music and setting the sound code holds.
void ResetSoundState();
