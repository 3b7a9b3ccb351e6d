// A deterministic OpenAL for tests, installed through the sound code's table
// of OpenAL functions: sources play only when a test says so (or, with
// finishAtOnce, stop as soon as they start), and the library's rules that
// the sound code depends on are kept (a buffer attached to a source can be
// neither refilled nor deleted; a stopped source counts all its buffers as
// processed and starts again from the head of its queue). Every start is
// logged with the source's settings at that moment.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <map>
#include <string>
#include <vector>

struct OpenALTable;

struct FakeSource {
  ALint state = AL_INITIAL;
  std::vector<ALuint> queue;
  int played = 0;  // buffers at the head of the queue already played
  float gain = 1, pitch = 1;
  float position[3] = {0, 0, 0};
  ALint looping = 0;
  std::vector<ALuint> heard;  // every buffer started, in order
};

// One alSourcePlay that started a source (not one that resumed a paused
// one): the buffer at the head of its queue (0 for none) and the source's
// settings then.
struct FakePlay {
  ALuint source;
  ALuint buffer;
  float gain, pitch;
  float position[3];
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
  std::vector<FakePlay> plays;  // every start, in order
  ALenum error = AL_NO_ERROR;
  size_t sourceLimit = 256;  // alGenSources fails beyond this many
  int bufferFailures = 0;    // the next alGenBuffers calls that fail
  bool noDevice = false;
  ALCint deviceRate = 44100;  // the device's own output rate
  // A started source plays its whole queue at once and stops, as a short
  // sound has by the time the code looks again.
  bool finishAtOnce = false;
  ALCcontext* current = nullptr;
  ALCcontext* const context;  // what alcCreateContext gives

  FakeOpenAL();   // installs itself and starts the sound code afresh
  ~FakeOpenAL();  // starts it afresh again and puts back the table it replaced
  FakeOpenAL(const FakeOpenAL&) = delete;
  FakeOpenAL& operator=(const FakeOpenAL&) = delete;

  FakeSource& Source(ALuint name) { return sources.at(name); }
  // The source plays n more of its queued buffers; when none is left it
  // has run dry and stops.
  void Play(ALuint source, int n);
  void SetError(ALenum e) {
    if (error == AL_NO_ERROR) error = e;
  }
  // The buffers of the source's queue it has played (all, once stopped).
  int Processed(const FakeSource& s) const;
  static FakeOpenAL* active;

 private:
  ALuint nextSource = 101, nextBuffer = 1;
  const OpenALTable* previousTable;
  FakeOpenAL* previousActive;
  friend struct FakeOpenALCalls;
};

// Forgets every channel, source, music and setting the sound code holds
// (the settings go back to their defaults).
void ResetSoundState();
