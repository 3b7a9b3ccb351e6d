#include "support/openal/FakeOpenAL.h"

#include <algorithm>
#include <cstring>

#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"
#include "sound/OpenALTable.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundMixer.h"

FakeOpenAL* FakeOpenAL::active;

namespace {
ALCdevice* const kDevice = reinterpret_cast<ALCdevice*>(0x1000);
// Each fake library makes a context of its own, as a newly opened device would.
uintptr_t nextContext = 0x2000;
}  // namespace

struct FakeOpenALCalls {
  static FakeOpenAL& F() { return *FakeOpenAL::active; }
  static FakeSource* S(ALuint name) {
    auto it = F().sources.find(name);
    if (it == F().sources.end()) {
      F().SetError(AL_INVALID_NAME);
      return nullptr;
    }
    return &it->second;
  }
  static bool Attached(ALuint buffer) {
    for (auto& [name, s] : F().sources)
      if (std::find(s.queue.begin(), s.queue.end(), buffer) != s.queue.end()) return true;
    return false;
  }

  static ALCdevice* OpenDevice(const ALCchar*) { return F().noDevice ? nullptr : kDevice; }
  static ALCboolean CloseDevice(ALCdevice*) { return ALC_TRUE; }
  static ALCcontext* CreateContext(ALCdevice* d, const ALCint*) { return d ? F().context : nullptr; }
  static void DestroyContext(ALCcontext*) {}
  static ALCboolean MakeContextCurrent(ALCcontext* c) {
    F().current = c;
    return ALC_TRUE;
  }
  static ALCcontext* GetCurrentContext() { return F().current; }

  static ALenum GetError() {
    ALenum e = F().error;
    F().error = AL_NO_ERROR;
    return e;
  }
  static void Listenerfv(ALenum, const ALfloat*) { F().calls.push_back("alListenerfv"); }
  static void GenSources(ALsizei n, ALuint* out) {
    F().calls.push_back("alGenSources");
    if (F().sources.size() + size_t(n) > F().sourceLimit) return F().SetError(AL_OUT_OF_MEMORY);
    for (ALsizei i = 0; i < n; i++) {
      out[i] = F().nextSource++;
      F().sources[out[i]];
    }
  }
  static void DeleteSources(ALsizei n, const ALuint* names) {
    F().calls.push_back("alDeleteSources");
    for (ALsizei i = 0; i < n; i++) F().sources.erase(names[i]);
  }
  static void Sourcef(ALuint name, ALenum p, ALfloat v) {
    F().calls.push_back("alSourcef");
    if (FakeSource* s = S(name)) {
      if (p == AL_GAIN) s->gain = v;
      if (p == AL_PITCH) s->pitch = v;
    }
  }
  static void Sourcefv(ALuint name, ALenum p, const ALfloat* v) {
    F().calls.push_back("alSourcefv");
    if (FakeSource* s = S(name); s && p == AL_POSITION) std::copy(v, v + 3, s->position);
  }
  static void Sourcei(ALuint name, ALenum p, ALint v) {
    F().calls.push_back("alSourcei");
    FakeSource* s = S(name);
    if (!s) return;
    if (p == AL_LOOPING) s->looping = v;
    if (p == AL_BUFFER) {
      if (s->state == AL_PLAYING || s->state == AL_PAUSED) return F().SetError(AL_INVALID_OPERATION);
      s->queue.clear();
      if (v) s->queue.push_back(ALuint(v));
      s->played = 0;
    }
  }
  static void GetSourcei(ALuint name, ALenum p, ALint* v) {
    FakeSource* s = S(name);
    if (!s) return;
    switch (p) {
      case AL_SOURCE_STATE: *v = s->state; break;
      case AL_BUFFER: *v = s->queue.empty() ? 0 : ALint(s->queue.front()); break;
      case AL_BUFFERS_QUEUED: *v = ALint(s->queue.size()); break;
      case AL_BUFFERS_PROCESSED: *v = F().Processed(*s); break;
    }
  }
  static void SourcePlay(ALuint name) {
    F().calls.push_back("alSourcePlay");
    FakeSource* s = S(name);
    if (!s) return;
    if (s->state == AL_PAUSED) {
      s->state = AL_PLAYING;
      return;
    }
    s->played = 0;
    s->state = s->queue.empty() ? AL_STOPPED : AL_PLAYING;
    if (!s->queue.empty()) s->heard.push_back(s->queue.front());
    F().plays.push_back({name, s->queue.empty() ? 0 : s->queue.front(), s->gain, s->pitch, {}});
    std::copy(s->position, s->position + 3, F().plays.back().position);
    if (F().finishAtOnce) F().Play(name, int(s->queue.size()));
  }
  static void SourceStop(ALuint name) {
    F().calls.push_back("alSourceStop");
    if (FakeSource* s = S(name)) s->state = AL_STOPPED;
  }
  static void SourcePause(ALuint name) {
    F().calls.push_back("alSourcePause");
    if (FakeSource* s = S(name); s && s->state == AL_PLAYING) s->state = AL_PAUSED;
  }
  static void QueueBuffers(ALuint name, ALsizei n, const ALuint* names) {
    F().calls.push_back("alSourceQueueBuffers");
    FakeSource* s = S(name);
    if (!s) return;
    for (ALsizei i = 0; i < n; i++) {
      if (!F().buffers.count(names[i])) return F().SetError(AL_INVALID_NAME);
      s->queue.push_back(names[i]);
    }
  }
  static void UnqueueBuffers(ALuint name, ALsizei n, ALuint* out) {
    F().calls.push_back("alSourceUnqueueBuffers");
    FakeSource* s = S(name);
    if (!s) return;
    if (n > F().Processed(*s)) return F().SetError(AL_INVALID_VALUE);
    for (ALsizei i = 0; i < n; i++) {
      out[i] = s->queue.front();
      s->queue.erase(s->queue.begin());
      if (s->played > 0) s->played--;
    }
  }
  static void GenBuffers(ALsizei n, ALuint* out) {
    F().calls.push_back("alGenBuffers");
    if (F().bufferFailures > 0) {
      F().bufferFailures--;
      return F().SetError(AL_OUT_OF_MEMORY);
    }
    for (ALsizei i = 0; i < n; i++) {
      out[i] = F().nextBuffer++;
      F().buffers[out[i]];
    }
  }
  static void DeleteBuffers(ALsizei n, const ALuint* names) {
    F().calls.push_back("alDeleteBuffers");
    for (ALsizei i = 0; i < n; i++)
      if (Attached(names[i])) return F().SetError(AL_INVALID_OPERATION);
    for (ALsizei i = 0; i < n; i++) F().buffers.erase(names[i]);
  }
  static void GetIntegerv(ALCdevice*, ALCenum param, ALCsizei size, ALCint* values) {
    if (param == ALC_FREQUENCY && size >= 1 && values) *values = F().deviceRate;
  }
  static void BufferData(ALuint name, ALenum format, const ALvoid* data, ALsizei size, ALsizei frequency) {
    F().calls.push_back("alBufferData");
    auto it = F().buffers.find(name);
    if (it == F().buffers.end()) return F().SetError(AL_INVALID_NAME);
    if (Attached(name)) return F().SetError(AL_INVALID_OPERATION);
    if (frequency <= 0 || size < 0) return F().SetError(AL_INVALID_VALUE);
    const auto* bytes = static_cast<const unsigned char*>(data);
    it->second.data.assign(bytes, bytes + (data ? size : 0));
    it->second.format = format;
    it->second.frequency = frequency;
  }
};

namespace {
const OpenALTable kFakeTable = {
    FakeOpenALCalls::OpenDevice,
    FakeOpenALCalls::CloseDevice,
    FakeOpenALCalls::CreateContext,
    FakeOpenALCalls::DestroyContext,
    FakeOpenALCalls::MakeContextCurrent,
    FakeOpenALCalls::GetCurrentContext,
    FakeOpenALCalls::GetError,
    FakeOpenALCalls::Listenerfv,
    FakeOpenALCalls::GenSources,
    FakeOpenALCalls::DeleteSources,
    FakeOpenALCalls::Sourcef,
    FakeOpenALCalls::Sourcefv,
    FakeOpenALCalls::Sourcei,
    FakeOpenALCalls::GetSourcei,
    FakeOpenALCalls::SourcePlay,
    FakeOpenALCalls::SourceStop,
    FakeOpenALCalls::SourcePause,
    FakeOpenALCalls::QueueBuffers,
    FakeOpenALCalls::UnqueueBuffers,
    FakeOpenALCalls::GenBuffers,
    FakeOpenALCalls::DeleteBuffers,
    FakeOpenALCalls::BufferData,
    FakeOpenALCalls::GetIntegerv,
};
}  // namespace

FakeOpenAL::FakeOpenAL()
    : context(reinterpret_cast<ALCcontext*>(nextContext += 0x10)),
      previousTable(SetOpenALTable(&kFakeTable)),
      previousActive(active) {
  active = this;
  ResetSoundState();
}

FakeOpenAL::~FakeOpenAL() {
  ResetSoundState();
  SetOpenALTable(previousTable);
  active = previousActive;
}

int FakeOpenAL::Processed(const FakeSource& s) const {
  if (s.state == AL_STOPPED) return int(s.queue.size());
  if (s.state == AL_INITIAL) return 0;
  return s.played;
}

void FakeOpenAL::Play(ALuint name, int n) {
  FakeSource& s = Source(name);
  for (int i = 0; i < n && s.played < int(s.queue.size()); i++) {
    s.played++;
    if (s.played < int(s.queue.size())) s.heard.push_back(s.queue[size_t(s.played)]);
  }
  if (s.played >= int(s.queue.size())) s.state = AL_STOPPED;
}

// Channels and rings are left to leak: the next test starts with none.
void ResetSoundState() {
  ForgetSoundMixer();
  if (compressedSoundChannels) {
    while (compressedSoundChannels->First())
      compressedSoundChannels->RemoveItem(compressedSoundChannels->First()->item);
  }
  soundInited = 0;
  myALDevice = nullptr;
  myALContext = nullptr;
  firstChan = nullptr;
  numALSOURCES = 0;
  curALSOURCE = 0;
  for (int i = 0; i < kMaxALSources; i++) mainALSOURCE[i] = playedBuffer[i] = alSourceRESERVED[i] = 0;
  sound2DRect = Rect{};
  audioPREFS = AudioPrefs();
}
