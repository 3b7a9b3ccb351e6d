#include "sound/SoundChannels.h"

#include <AL/alext.h>

#include <algorithm>
#include <cstring>

#include "platform/PlatformTime.h"
#include "sound/AudioPrefs.h"
#include "sound/OpenALTable.h"

Boolean soundInited;
ALCdevice* myALDevice;
ALCcontext* myALContext;
QKSndChannel* firstChan;

namespace {

const ALfloat listenerPos[] = {0.0f, 0.0f, 1.0f};
const ALfloat listenerVel[] = {0.0f, 0.0f, 0.0f};
const ALfloat listenerOri[] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
const ALfloat source0Pos[] = {0.0f, 0.0f, 0.0f};
const ALfloat source0Vel[] = {0.0f, 0.0f, 0.0f};

const SInt32 kMaxBufferBytes = 65536;
const UInt32 kDefaultHertz = 44100;
// How long a caller may wait for queue space before being told the queue is
// full: playback frees a slot within one buffer's length (under 0.4 s).
const UInt32 kQueueWaitTicks = 60;

// Mono samples are doubled into this buffer, so every OpenAL buffer is stereo.
SInt16 stereoBuffer[kMaxBufferBytes / 2];

bool ALFailed() { return openAL->alGetError() != AL_NO_ERROR; }

void Unlink(QKSndChannel* channel) {
  for (QKSndChannel** link = &firstChan; *link; link = &(*link)->nextChan) {
    if (*link == channel) {
      *link = channel->nextChan;
      break;
    }
  }
  channel->nextChan = nullptr;
}

// Takes every buffer the source has finished with off its queue.
void ReclaimProcessed(ALChannelState* st) {
  ALint processed = 0;
  openAL->alGetSourcei(st->source, AL_BUFFERS_PROCESSED, &processed);
  while (processed-- > 0 && st->spareCount < kChannelBuffers) {
    ALuint buffer = 0;
    openAL->alGetError();
    openAL->alSourceUnqueueBuffers(st->source, 1, &buffer);
    if (ALFailed()) break;
    st->spare[st->spareCount++] = buffer;
  }
}

void Quiet(QKSndChannel* channel) {
  ALChannelState* st = channel->al;
  if (!st) return;
  st->offset = 0;
  openAL->alSourceStop(st->source);
  ALint processed = 0;
  openAL->alGetSourcei(st->source, AL_BUFFERS_PROCESSED, &processed);
  while (processed-- > 0) {
    ALuint buffer = 0;
    openAL->alSourceUnqueueBuffers(st->source, 1, &buffer);
  }
  openAL->alGetError();
  st->primed = 0;
  st->spareCount = 0;
}

// Hands the bufferCmd in progress to the source. A source that ran dry
// first gives back everything it played, so that starting it again never
// replays old buffers.
void RunBufferCommand(QKSndChannel* channel) {
  ALChannelState* st = channel->al;
  if (!st || !channel->cmdInProgress.param2) {
    channel->cmdInProgress.cmd = 0;
    return;
  }
  ALint state = 0;
  openAL->alGetSourcei(st->source, AL_SOURCE_STATE, &state);
  if (state == AL_STOPPED) ReclaimProcessed(st);

  bool complete = false, queued = false;
  while (!complete && (st->spareCount > 0 || st->primed < kChannelBuffers)) {
    ALuint buffer = st->spareCount > 0 ? st->spare[--st->spareCount] : st->buffers[st->primed++];
    complete = QueueBuffer(channel, buffer);
    queued = true;
  }
  if (!complete && state == AL_PLAYING) {
    ALint processed = 0;
    openAL->alGetSourcei(st->source, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0 && !complete) {
      ALuint buffer = 0;
      openAL->alGetError();
      openAL->alSourceUnqueueBuffers(st->source, 1, &buffer);
      if (ALFailed()) break;
      complete = QueueBuffer(channel, buffer);
      queued = true;
    }
  }
  if (queued) {
    ALint now = 0;
    openAL->alGetSourcei(st->source, AL_SOURCE_STATE, &now);
    if (now != AL_PLAYING) openAL->alSourcePlay(st->source);
  }
}

// Runs the command in progress; false when it stays in progress.
bool RunCommand(QKSndChannel* channel) {
  SoundCommand& command = channel->cmdInProgress;
  ALChannelState* st = channel->al;
  switch (command.cmd) {
    case volumeCmd: {
      UInt32 both = UInt32(command.param2);
      SInt32 left = SInt32(both & 0xFFFF), right = SInt32(both >> 16);
      float gain = float((left + right) / 2) / 256.0f;
      if (st) {
        st->gain = gain;
        openAL->alSourcef(st->source, AL_GAIN, gain);
      }
      break;
    }
    case quietCmd: Quiet(channel); break;
    case flushCmd: channel->qHead = -1; break;
    case callBackCmd:
      if (channel->callBack) channel->callBack(channel, &command);
      break;
    case clockComponentCmd: break;
    case getClockComponentCmd:
      if (command.param2) *reinterpret_cast<SInt32*>(command.param2) = 0;
      break;
    case bufferCmd: RunBufferCommand(channel); return false;
    default:
      // Commands that only QKSndDoImmediate gives meaning to; queued, they
      // would block the queue for good, so they are dropped.
      if (channel->flags) return false;
      break;
  }
  command.cmd = 0;
  return true;
}

}  // namespace

void InitAudio() {
  if (soundInited) return;
  myALDevice = openAL->alcOpenDevice(nullptr);
  // The library's limiter, asked for whatever the output's sample type, is
  // the last guard against a pile-up of sounds; the listener's gain is what
  // keeps the busiest mix of play short of it.
  static const ALCint attributes[] = {ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0};
  myALContext = myALDevice ? openAL->alcCreateContext(myALDevice, attributes) : nullptr;
  if (myALContext) {
    openAL->alcMakeContextCurrent(myALContext);
    openAL->alListenerfv(AL_POSITION, listenerPos);
    openAL->alListenerfv(AL_VELOCITY, listenerVel);
    openAL->alListenerfv(AL_ORIENTATION, listenerOri);
    const ALfloat gain = kOutputGain;
    openAL->alListenerfv(AL_GAIN, &gain);
  }
  soundInited = 1;
}

void DisposeAudio() {
  if (!soundInited) return;
  // Sources and buffers go with the context; the device is closed last, so
  // that an output to a file is finished.
  if (myALContext) {
    openAL->alcMakeContextCurrent(nullptr);
    openAL->alcDestroyContext(myALContext);
  }
  if (myALDevice) openAL->alcCloseDevice(myALDevice);
  myALContext = nullptr;
  myALDevice = nullptr;
  soundInited = 0;
}

OSErr QKSndNewChannel(QKSndChannel** channel, SInt16 synth, SInt32, SndCallBackProcPtr callback) {
  if (!soundInited) InitAudio();
  if (*channel) {
    QKSndDisposeChannel(*channel, true);
    *channel = nullptr;
  }
  if (synth != sampledSynth) return -1;
  auto* chan = new QKSndChannel();
  chan->nextChan = firstChan;
  firstChan = chan;
  chan->callBack = callback;
  chan->qLength = kChannelQueueSlots;
  chan->qHead = -1;

  auto* st = new ALChannelState();
  bool made = false;
  // Without a device there is nothing to wait for.
  for (int attempt = 0; myALContext && attempt < 11 && !made; attempt++) {
    openAL->alGetError();
    openAL->alGenSources(1, &st->source);
    made = !ALFailed();
    if (!made) Delay(2);
  }
  bool buffersMade = false;
  if (made) {
    openAL->alSourcef(st->source, AL_PITCH, 1.0f);
    openAL->alSourcef(st->source, AL_GAIN, 1.0f);
    openAL->alSourcefv(st->source, AL_POSITION, source0Pos);
    openAL->alSourcefv(st->source, AL_VELOCITY, source0Vel);
    openAL->alSourcei(st->source, AL_LOOPING, AL_FALSE);
    openAL->alGetError();
    openAL->alGenBuffers(kChannelBuffers, st->buffers);
    buffersMade = !ALFailed();
    if (buffersMade) {
      static const SInt16 silence[1024] = {};
      for (ALuint buffer : st->buffers)
        openAL->alBufferData(buffer, AL_FORMAT_STEREO16, silence, sizeof silence, kDefaultHertz);
    }
  }
  if (!made || !buffersMade || ALFailed()) {
    if (buffersMade) openAL->alDeleteBuffers(kChannelBuffers, st->buffers);
    if (made) openAL->alDeleteSources(1, &st->source);
    openAL->alGetError();
    delete st;
    Unlink(chan);
    delete chan;
    *channel = nullptr;
    return notEnoughHardwareErr;
  }
  st->rate = kDefaultHertz;
  st->gain = 1.0f;
  chan->al = st;
  *channel = chan;
  return 0;
}

OSErr QKSndDoCommand(QKSndChannel* channel, const SoundCommand* command, unsigned char noWait) {
  if (!channel) return badChannel;
  SInt16 length = channel->qLength;
  if ((channel->qHead != -1 && (channel->qHead < 0 || channel->qHead >= length)) || channel->qTail < 0 ||
      channel->qTail >= length)
    return badChannel;
  if (channel->qHead == channel->qTail) {
    if (noWait) return queueFull;
    // Only playback frees a slot; a paused channel or a dead device never
    // will, so the wait is bounded.
    UInt32 start = TickCount();
    while (channel->qHead == channel->qTail) {
      if (channel->wait || TickCount() - start > kQueueWaitTicks) return queueFull;
      IdleAudio_Sound();
      if (channel->qHead == channel->qTail) SleepNanoseconds(1000000);
    }
  }
  if (channel->qHead == -1) channel->qHead = channel->qTail;
  channel->queue[channel->qTail] = *command;
  channel->qTail = SInt16((channel->qTail + 1) % length);
  IdleAudio_Sound();
  return 0;
}

OSErr QKSndDoImmediate(QKSndChannel* channel, const SoundCommand* command) {
  if (!channel) return badChannel;
  if (command->cmd == pauseCmd) channel->wait = 1;
  if (command->cmd == resumeCmd) channel->wait = 0;
  if (command->cmd == bufferCmd && channel->al) channel->al->offset = 0;
  SoundCommand saved = channel->cmdInProgress;
  channel->cmdInProgress = *command;
  channel->flags = 1;
  QKIdleSoundChannel(channel);
  channel->flags = 0;
  if (command->cmd != bufferCmd && command->cmd != quietCmd) channel->cmdInProgress = saved;
  return 0;
}

void QKIdleSoundChannel(QKSndChannel* channel) {
  if (!channel || channel->wait) return;
  bool once = channel->flags != 0;
  do {
    if (channel->cmdInProgress.cmd == 0) {
      if (channel->qHead == -1) return;
      channel->cmdInProgress = channel->queue[channel->qHead];
      channel->qHead = SInt16((channel->qHead + 1) % channel->qLength);
      if (channel->qHead == channel->qTail) channel->qHead = -1;
    }
    if (!RunCommand(channel)) return;
  } while (!once);
}

// 16-bit stereo data goes to OpenAL as it is; mono data is doubled into
// stereo and 8-bit (unsigned) samples widened to 16 bits. A buffer plays at
// the rate its header gives.
Boolean QueueBuffer(QKSndChannel* channel, ALuint buffer) {
  ALChannelState* st = channel->al;
  auto* header = reinterpret_cast<QKSoundHeader*>(channel->cmdInProgress.param2);
  const auto* samples = header->bytes + kExtendedHeaderLength;
  UInt32 channels = SHGet32(header, kSHNumChannels);
  SInt32 sampleBytes = SHGet16(header, kSHSampleSize) == 8 ? 1 : 2;
  SInt32 total = SInt32(channels * SHGet32(header, kSHNumFrames) * UInt32(sampleBytes));
  UInt32 hertz = SHGet32(header, kSHSampleRate) >> 16;
  if (hertz == 0) hertz = kDefaultHertz;
  SInt32 n = std::min(total - st->offset, kMaxBufferBytes);
  if (channels > 1 && sampleBytes == 2) {
    openAL->alBufferData(buffer, AL_FORMAT_STEREO16, samples + st->offset, n, ALsizei(hertz));
  } else {
    // Each source value becomes 4 bytes (mono) or 2 bytes per byte (8-bit stereo).
    SInt32 perValue = channels > 1 ? 2 / sampleBytes : 4 / sampleBytes;
    n = std::min(n, kMaxBufferBytes / perValue);
    n -= n % sampleBytes;
    SInt32 values = n / sampleBytes, out = 0;
    for (SInt32 i = 0; i < values; i++) {
      const unsigned char* at = samples + st->offset + i * sampleBytes;
      SInt16 v;
      if (sampleBytes == 1) {
        v = SInt16((SInt32(*at) - 128) * 256);
      } else {
        std::memcpy(&v, at, 2);
      }
      stereoBuffer[out++] = v;
      if (channels <= 1) stereoBuffer[out++] = v;
    }
    openAL->alBufferData(buffer, AL_FORMAT_STEREO16, stereoBuffer, out * 2, ALsizei(hertz));
  }
  openAL->alSourceQueueBuffers(st->source, 1, &buffer);
  st->offset += n;
  if (st->offset >= total) {
    st->offset = 0;
    channel->cmdInProgress.cmd = 0;
    return true;
  }
  return false;
}

OSErr QKSndDisposeChannel(QKSndChannel* channel, unsigned char) {
  if (!soundInited) return -1;
  if (!channel) return badChannel;
  Unlink(channel);
  if (ALChannelState* st = channel->al) {
    openAL->alGetError();
    openAL->alSourceStop(st->source);
    if (ALFailed()) return -1;
    ALint queued = 0;
    openAL->alGetSourcei(st->source, AL_BUFFERS_QUEUED, &queued);
    ALuint held[kChannelBuffers];
    if (queued > 0) openAL->alSourceUnqueueBuffers(st->source, std::min<ALint>(queued, kChannelBuffers), held);
    openAL->alSourcei(st->source, AL_BUFFER, 0);
    if (ALFailed()) return -2;
    openAL->alDeleteSources(1, &st->source);
    if (ALFailed()) return -3;
    openAL->alDeleteBuffers(kChannelBuffers, st->buffers);
    if (ALFailed()) return -4;
    delete st;
  }
  delete channel;
  return 0;
}

OSErr QKSndChannelStatus(QKSndChannel* channel, SInt16, SCStatus* status) {
  if (!channel || !channel->al || !status) return 0;
  ALint state = 0;
  openAL->alGetError();
  openAL->alGetSourcei(channel->al->source, AL_SOURCE_STATE, &state);
  if (ALFailed()) return 0;
  *status = SCStatus{};
  status->scChannelBusy = state == AL_PLAYING || state == AL_PAUSED;
  status->scChannelPaused = state == AL_PAUSED;
  return 0;
}

OSErr QKSndGetInfo(QKSndChannel*, OSType selector, void* info) {
  if (selector == FOUR_CHAR('s', 'r', 'a', 't')) {
    UInt32 rate = kRate44khz;
    std::memcpy(info, &rate, 4);
  } else if (selector == FOUR_CHAR('s', 's', 'i', 'z') || selector == FOUR_CHAR('c', 'h', 'a', 'n')) {
    SInt16 value = selector == FOUR_CHAR('s', 's', 'i', 'z') ? 16 : 2;
    std::memcpy(info, &value, 2);
  }
  return 0;
}

OSErr QKGetCompressionInfo(SInt16, OSType, SInt16, SInt16, void*) { return 0; }

SndCallBackProcPtr QKNewSndCallBackUPP(SndCallBackProcPtr routine) { return routine; }

void IdleAudio_Sound() {
  if (!soundInited) return;
  for (QKSndChannel* channel = firstChan; channel; channel = channel->nextChan) QKIdleSoundChannel(channel);
}
