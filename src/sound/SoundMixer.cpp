#include "sound/SoundMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/Memory.h"
#include "sound/AudioPrefs.h"
#include "sound/OpenALTable.h"

LinkedItemListTemplate<MixerChannel> s_channelLIST;
MixerChannel* mixerCHAN[kMaxMixerChannels];
UInt8 mixerChanRSRV[kMaxMixerChannels];
SInt16 _nextChan;
MixerChannel* sndCHAN[kMaxMixerChannels];
QKSndChannel* soundMixerCHAN;
SndDoubleBufferHeader s_mixerHEAD;
SndDoubleBuffer* s_doubleBUFF[2];
SInt32* s_largeDATA;
SInt32* s_tempDATA;
SInt32 s_bufferSize;
SInt32 speedRatio;
SInt32 s_errorSize;
SInt32 errorSize;
EchoInfo s_echoINFO;
UInt8 soundECHO;
UInt8 clickFilter = 1;
Boolean s_mixerInited;
SInt32 oldSampleRate;

namespace {

const SInt32 kBaseHertz = 44100;
const SInt32 kMinHertz = 5512;

// The emulation's record for one double-buffered channel. The sound header
// the bufferCmd plays is followed by room for the largest buffer, into which
// each buffer's samples are copied as it comes up.
struct PerChanInfo {
  Boolean stop;
  SndCallBackProcPtr previousCallBack;
  SndDoubleBufferHeader* header;
  QKSoundHeader sound;
  unsigned char samples[2 * kSilenceBytes + 64];
};

LinkedItemListTemplate<PerChanInfo> freeRecords;
PerChanInfo* liveRecord;  // the one record the mixer's channel uses
unsigned char* gSilenceOnes;
unsigned char* gSilenceTwos;
SInt32 smoothLast[2];

bool HasSamples(const QKSndCommand* command) { return command && command->param2; }

// The sound's rate in units of the given 16.16 rate's hertz.
SInt32 RateRatio(const QKSndCommand* command, UInt32 rate) {
  if ((rate >> 16) == 0) return 0;
  UInt32 unit = rate / (rate >> 16);
  return unit ? SInt32(SHGet32(command->Header(), kSHSampleRate) / unit) : 0;
}

// Bytes of one frame of the channel's sound.
SInt32 FrameBytes(const MixerChannel* c) { return (c->stereo ? 2 : 1) * (c->sampleSize == 16 ? 2 : 1); }

SInt32 ReadSample(const MixerChannel* c, const unsigned char* at, int side) {
  if (c->stereo) at += side * (c->sampleSize == 16 ? 2 : 1);
  if (c->sampleSize == 16) {
    SInt16 v;
    std::memcpy(&v, at, 2);
    return v;
  }
  return SInt8(*at);
}

// Sets the interpolation's start value and increment for the current sample.
void StartInterpolation(MixerChannel* c, int sides) {
  SInt32 frame = FrameBytes(c);
  bool hasNext = c->position + 2 * frame <= c->sampleEnd;
  SInt32 remaining = c->step > 0 ? (s_errorSize - c->accumulator) / c->step + 1 : 1;
  for (int side = 0; side < sides; side++) {
    SInt32 current = ReadSample(c, reinterpret_cast<unsigned char*>(c->position), side);
    SInt32 next = hasNext ? ReadSample(c, reinterpret_cast<unsigned char*>(c->position + frame), side) : current;
    c->history[2 * side] = current;
    c->history[2 * side + 1] = (next - current) / remaining;
  }
}

enum class Out { U8, S16 };

// Each output lane's gain for the channel, 256 = unity: its left and right
// volumes scaled by its amplitude, or on a mono output their mean.
void ChannelGains(const MixerChannel* c, bool stereoOut, SInt32 gain[2]) {
  if (stereoOut) {
    gain[0] = c->leftVolume * c->amplitude >> 8;
    gain[1] = c->rightVolume * c->amplitude >> 8;
  } else {
    gain[0] = gain[1] = ((c->leftVolume + c->rightVolume) / 2) * c->amplitude >> 8;
  }
}

// A sound cut off or replaced fades its last value out over the first
// `filterLength` frames instead of jumping to silence.
void FadeOutLastValue(MixerChannel* c, SInt32* mix, int lanes, SInt32 frames, SInt32 filterLength) {
  if (!clickFilter || !(c->lastOut[0] || c->lastOut[1]) || !(c->newSound || !c->sound)) return;
  for (SInt32 i = 0; i < filterLength && i < frames; i++)
    for (int lane = 0; lane < lanes; lane++)
      mix[i * lanes + lane] += c->lastOut[lane] * (filterLength - i) / filterLength;
  c->lastOut[0] = c->lastOut[1] = 0;
}

// A fading channel loses fadeStep of its amplitude each buffer and stops at
// none; false once it has stopped.
bool StepFade(MixerChannel* c) {
  if (!c->fadeStep) return true;
  c->amplitude = SInt16(std::max(0, c->amplitude - c->fadeStep));
  if (c->amplitude != 0) return true;
  c->Stop();
  return false;
}

// Moves the channel on by one output value's step: whole frames as the
// accumulator fills, back to the loop's start at its end (while the loop is
// on and the sound not fading) and to the sound's start when it repeats.
// False when the sound has run out; *moved says whether it moved at all.
bool Advance(MixerChannel* c, SInt32 frame, bool* moved) {
  *moved = false;
  c->accumulator += c->step;
  while (c->accumulator >= s_errorSize && s_errorSize > 0) {
    c->accumulator -= s_errorSize;
    c->position += frame;
    *moved = true;
    if (c->loopEnabled && !c->fadeStep && c->position >= c->loopEnd && c->loopEnd > c->loopStart)
      c->position = c->loopStart;
    if (c->position + frame > c->sampleEnd) {
      if (!c->repeat) return false;
      c->position = c->sampleStart;
    }
  }
  return true;
}

// Adds `frames` values of the channel's sound to the mix at the lanes'
// gains, interpolated between samples when asked (a mono sound feeds both
// lanes). False when the sound ran out on the way.
bool AddSamples(MixerChannel* c, SInt32* mix, int lanes, SInt32 frames, const SInt32 gain[2], bool interpolate) {
  const int sides = c->stereo ? 2 : 1;
  const SInt32 frame = FrameBytes(c);
  if (interpolate) StartInterpolation(c, sides);
  for (SInt32 i = 0; i < frames; i++) {
    for (int lane = 0; lane < lanes; lane++) {
      int side = sides == 2 ? lane : 0;
      SInt32 sample =
          interpolate ? c->history[2 * side] : ReadSample(c, reinterpret_cast<unsigned char*>(c->position), side);
      mix[i * lanes + lane] += gain[lane] * sample >> 8;
    }
    if (interpolate)
      for (int side = 0; side < sides; side++) c->history[2 * side] += c->history[2 * side + 1];
    bool moved;
    if (!Advance(c, frame, &moved)) return false;
    if (moved && interpolate) StartInterpolation(c, sides);
  }
  return true;
}

// Mixes one channel into the buffer's values. A paused channel is left
// alone; one whose sound lost its samples is stopped; a sound of another
// sample size, or a stereo sound on a mono output, is skipped but goes on
// playing. A sound that runs out stops; one that plays on notes its next
// value for the click filter.
void MixChannel(MixerChannel* c, SInt32* mix, bool stereoOut, int size, SInt32 frames, SInt32 filterLength) {
  const int lanes = stereoOut ? 2 : 1;
  if (c->paused) return;
  if (c->sound && !c->sound->param2) c->Stop();
  SInt32 gain[2];
  ChannelGains(c, stereoOut, gain);
  FadeOutLastValue(c, mix, lanes, frames, filterLength);
  c->newSound = 0;
  if (!c->sound || !StepFade(c)) return;
  if (c->sampleSize != size || (!stereoOut && c->stereo)) return;
  const int sides = c->stereo ? 2 : 1;
  if (stereoOut && !c->stereo && audioPREFS.fakeStereo) gain[1] = -gain[1];
  if (c->position + FrameBytes(c) > c->sampleEnd) {
    c->Stop();
    return;
  }
  const bool interpolate = audioPREFS.interpolation && c->step < s_errorSize;
  if (!AddSamples(c, mix, lanes, frames, gain, interpolate)) {
    c->lastOut[0] = c->lastOut[1] = 0;
    c->Stop();
    return;
  }
  for (int lane = 0; lane < lanes; lane++) {
    int side = sides == 2 ? lane : 0;
    c->lastOut[lane] = gain[lane] * ReadSample(c, reinterpret_cast<unsigned char*>(c->position), side) >> 8;
  }
}

// Echoes: each of the two echoes adds, at its level, the mix of its delay
// ago from the history ring of the last sixteen mix buffers, which `mix`
// lies in.
void AddEchoes(SInt32* mix, SInt32 values) {
  if (!audioPREFS.soundEchos || !soundECHO || !s_echoINFO.sampleLevel[0] || !s_largeDATA) return;
  const SInt32 ringValues = values * kMixHistoryBuffers;
  const SInt32 at = SInt32(mix - s_largeDATA);
  for (int e = 0; e < 2; e++) {
    if (!s_echoINFO.sampleLevel[e]) continue;
    SInt32 delay = speedRatio ? (s_echoINFO.sampleDelay[e] / speedRatio) & ~1 : 0;
    if (delay <= 0 || delay / 2 >= ringValues) continue;
    for (SInt32 i = 0; i < values; i++) {
      SInt32 from = ((at + i - delay / 2) % ringValues + ringValues) % ringValues;
      mix[i] += s_largeDATA[from] * s_echoINFO.sampleLevel[e] >> 8;
    }
  }
}

// Smoothing: each value becomes the mean of itself and the lane's value
// before it (carried over from the previous buffer).
void Smooth(SInt32* mix, SInt32 values, int lanes) {
  for (SInt32 i = 0; i < values; i++) {
    int lane = int(i % lanes);
    mix[i] = (mix[i] + smoothLast[lane]) >> 1;
    smoothLast[lane] = mix[i];
  }
}

// Writes the mix into the buffer's data at the sound volume, clipped:
// offset unsigned bytes or signed 16-bit values.
void WriteOutput(SndDoubleBuffer* buffer, const SInt32* mix, SInt32 values, Out out) {
  const SInt32 volume = audioPREFS.soundVolume;
  unsigned char* data = reinterpret_cast<unsigned char*>(buffer) + kDoubleBufferDataOffset;
  for (SInt32 i = 0; i < values; i++) {
    SInt32 v = mix[i] * volume >> 8;
    if (out == Out::U8) {
      data[i] = static_cast<unsigned char>(std::clamp<SInt32>(v, -128, 127) + 128);
    } else {
      SInt16 s = SInt16(std::clamp<SInt32>(v, -32768, 32767));
      std::memcpy(data + 2 * i, &s, 2);
    }
  }
}

// One mixing routine: `stereoOut` output lanes, sounds of `size` bits; a
// mono output mixes mono sounds only. The mix is summed in the next buffer
// of the history ring, then echoed, smoothed and written out.
void Mix(SndDoubleBuffer* buffer, bool stereoOut, int size, Out out) {
  const int lanes = stereoOut ? 2 : 1;
  const SInt32 values = s_bufferSize;
  const SInt32 frames = values / lanes;
  SInt32* mix = s_tempDATA;
  std::fill(mix, mix + values, 0);
  const SInt32 filterLength = std::max<SInt32>(1, s_errorSize * 16 / kBaseHertz);
  for (auto* link = s_channelLIST.First(); link; link = s_channelLIST.Next(link))
    MixChannel(link->item, mix, stereoOut, size, frames, filterLength);
  AddEchoes(mix, values);
  if (audioPREFS.smoothing) Smooth(mix, values, lanes);
  WriteOutput(buffer, mix, values, out);
  s_tempDATA += values;
  if (s_tempDATA >= s_largeDATA + values * kMixHistoryBuffers) s_tempDATA = s_largeDATA;
  buffer->dbNumFrames = frames;
  buffer->dbFlags |= dbBufferReady;
}

bool DrivenByEmulation(const QKSndChannel* channel) {
  return channel->callBack == CarbonSndPlayDoubleBufferCallBackProc ||
         channel->callBack == CarbonSndPlayDoubleBufferCleanUpProc;
}

// Points the record's sound header at the samples of `buffer`.
void LoadHeader(PerChanInfo* record, const void* samples, SInt32 frames) {
  const SndDoubleBufferHeader* h = record->header;
  SInt32 frameBytes = std::max(1, h->dbhNumChannels * (h->dbhSampleSize / 8));
  SInt32 bytes = std::min<SInt32>(frames * frameBytes, SInt32(sizeof record->samples));
  std::memcpy(record->samples, samples, size_t(bytes));
  SHSet32(&record->sound, kSHNumFrames, UInt32(bytes / frameBytes));
}

// Puts the bufferCmd and the callBackCmd behind it back at the front of the
// queue.
void RequeueBufferAndCallBack(QKSndChannel* channel, PerChanInfo* record, SInt16 which) {
  SoundCommand play{bufferCmd, 0, reinterpret_cast<intptr_t>(&record->sound)};
  SoundCommand back{callBackCmd, which, reinterpret_cast<intptr_t>(record)};
  InsertSndDoCommand(channel, &back);
  InsertSndDoCommand(channel, &play);
}

}  // namespace

static_assert(offsetof(PerChanInfo, samples) == offsetof(PerChanInfo, sound) + sizeof(QKSoundHeader),
              "the samples follow the sound header");

void MixerChannel::Stop() {
  if (sound && sound->playCount > 0) sound->playCount--;
  sound = nullptr;
}

void MixerChannel::Reset() { std::fill(history, history + 4, 0); }

void MixerChannel::Realign(QKSndCommand* command) {
  QKSoundHeader* header = command->Header();
  bool standard = SHEncode(header) == stdSH;
  Ptr start = reinterpret_cast<Ptr>(header) + (standard ? kStandardHeaderLength : kExtendedHeaderLength);
  SInt32 channels = standard ? 1 : SInt32(SHGet32(header, kSHNumChannels));
  SInt32 size = standard ? 8 : SHGet16(header, kSHSampleSize);
  SInt32 frameBytes = std::max<SInt32>(1, channels * (size / 8));
  SInt32 bytes =
      standard ? SInt32(SHGet32(header, kSHNumChannels)) : SInt32(SHGet32(header, kSHNumFrames)) * frameBytes;
  sampleStart = start;
  sampleEnd = start + bytes;
  // A loop point, from a header or the command, lies inside the samples
  // whatever it holds (negative, or too big to multiply), and the loop never
  // ends before it starts.
  auto inside = [&](SInt32 frame) { return start + std::clamp<SInt64>(SInt64(frame) * frameBytes, 0, bytes); };
  SInt32 first = SInt32(SHGet32(header, kSHLoopStart)), last = SInt32(SHGet32(header, kSHLoopEnd));
  if (first != 0) {
    loopStart = inside(first);
    loopEnd = inside(last);
  } else {
    loopStart = loopEnd = sampleEnd;
  }
  if (!standard && channels == 1) {
    if (command->mixerLoopStart) loopStart = inside(command->mixerLoopStart);
    if (command->mixerLoopEnd) loopEnd = inside(command->mixerLoopEnd);
  }
  if (loopEnd < loopStart) loopEnd = loopStart;
}

void MixerChannel::Setup(QKSndCommand* command, UInt32 rate, SInt16 left, SInt16 right, unsigned char note) {
  if (!HasSamples(command)) return;
  Stop();
  newSound = 1;
  command->playCount++;
  Realign(command);
  position = sampleStart;
  leftVolume = left;
  rightVolume = right;
  amplitude = 256;
  accumulator = 0;
  fadeStep = 0;
  loopEnabled = 0;
  rateRatio = RateRatio(command, rate);
  step = (rate >> 16) ? rateRatio : GetNotePitch(note);
  QKSoundHeader* header = command->Header();
  bool standard = SHEncode(header) == stdSH;
  sampleSize = UInt8(standard ? 8 : SHGet16(header, kSHSampleSize));
  stereo = UInt8(!standard && SHGet32(header, kSHNumChannels) == 2);
  Reset();
}

SInt16 MixerChannelCount() { return SInt16(std::clamp<int>(audioPREFS.numChannels, 1, kMaxMixerChannels)); }

OSErr InitSoundChans() {
  if (mixerCHAN[0]) return 0;
  for (SInt16 i = 0; i < MixerChannelCount(); i++) {
    auto* channel = new (std::nothrow) MixerChannel();
    if (!channel || !s_channelLIST.AddLastItem(channel)) {
      delete channel;
      return -1;
    }
    mixerCHAN[i] = channel;
  }
  return 0;
}

void DisposeSoundChans() {
  if (!mixerCHAN[0]) return;
  for (MixerChannel*& channel : mixerCHAN) {
    if (!channel) continue;
    channel->Stop();
    s_channelLIST.RemoveItem(channel);
    delete channel;
    channel = nullptr;
  }
}

MixerChannel* FreeChan() {
  for (int i = MixerChannelCount() - 1; i >= 0; i--)
    if (mixerCHAN[i] && !mixerCHAN[i]->sound) return mixerCHAN[i];
  return nullptr;
}

MixerChannel* NextChan() {
  if (MixerChannel* idle = FreeChan()) return idle;
  const SInt16 count = MixerChannelCount();
  const SInt16 start = SInt16(_nextChan % count);
  _nextChan = start;
  do {
    _nextChan = SInt16(_nextChan + 1 >= count ? 0 : _nextChan + 1);
    if (_nextChan == start) return nullptr;
  } while (mixerChanRSRV[_nextChan]);
  return mixerCHAN[_nextChan];
}

Boolean ChannelBusy(MixerChannel* channel) { return channel && channel->sound; }
void PauseChannel(MixerChannel* channel, unsigned char paused) {
  if (channel) channel->paused = paused;
}
void SetChanVolume(MixerChannel* channel, SInt16 left, SInt16 right) {
  if (!channel) return;
  channel->leftVolume = left;
  channel->rightVolume = right;
}
void SetChanAmplitude(MixerChannel* channel, SInt16 amplitude) {
  if (channel) channel->amplitude = std::clamp<SInt16>(amplitude, 0, 256);
}
void QuietChannel(MixerChannel* channel) {
  if (channel) channel->Stop();
}

void QuietChannelsPlaying(QKSndCommand* command) {
  if (!s_mixerInited) return;
  for (auto* link = s_channelLIST.First(); link; link = s_channelLIST.Next(link))
    if (!command || link->item->sound == command) QuietChannel(link->item);
}

SInt32 GetNotePitch(SInt16 note) {
  if (errorSize == 0) errorSize = s_errorSize;
  if (errorSize == 0) return 0;
  SInt32 n = note, f = 1;
  bool down = n < 48;
  while (n < 48) n += 12, f *= 2;
  while (n > 71) n -= 12, f *= 2;
  double r = std::round(std::pow(2.0, (n - 60) / 12.0) * 10000.0) / 10000.0;
  if (down) return SInt32(double(errorSize) * r / f);
  return SInt32(double(f) * errorSize * r);
}

void PlaySound(QKSndCommand* command, MixerChannel* channel, unsigned char note) {
  if (!audioPREFS.soundOn || !channel || !HasSamples(command)) return;
  UInt32 rate = UInt32(s_errorSize) << 16;
  SInt32 ratio = RateRatio(command, rate);
  SInt32 step = s_errorSize ? SInt32(SInt64(GetNotePitch(note) >> 1) * (ratio >> 1) / s_errorSize * 4) : 0;
  channel->Setup(command, rate, 256, 256, 60);
  if (note != 60) channel->step = step;
  channel->Start(command);
}

void PlaySoundRate(QKSndCommand* command, MixerChannel* channel, char rate) {
  PlaySound(command, channel, static_cast<unsigned char>(72 - 12 * rate));
}

void PlaySound_StereoLR(QKSndCommand* command, SInt16 left, SInt16 right, MixerChannel* channel) {
  if (!channel || !HasSamples(command)) return;
  channel->Setup(command, UInt32(s_errorSize) << 16, left, right, 60);
  channel->Start(command);
}

void NewSoundCommand(SoundCommand* command, SInt32 size, SInt32 make) {
  if (!command || !make || command->param2) return;
  Ptr block = QKNewPtrClear(size);
  if (!block) return;
  command->cmd = bufferCmd;
  command->param1 = 0;
  command->param2 = reinterpret_cast<intptr_t>(block);
}

void SoundEchoParams(SInt32 delay1, char level1, SInt32 delay2, char level2) {
  s_echoINFO.delay[0] = delay1;
  s_echoINFO.delay[1] = delay2;
  s_echoINFO.level[0] = level1;
  s_echoINFO.level[1] = level2;
  InitSoundEchos();
}

void InitSoundEchos() {
  if (!s_mixerInited || s_errorSize <= 0) return;
  SInt32 ratio = std::max<SInt32>(1, kBaseHertz / s_errorSize);
  for (int e = 0; e < 2; e++) {
    s_echoINFO.sampleDelay[e] = s_echoINFO.delay[e] / ratio;
    s_echoINFO.sampleLevel[e] = s_echoINFO.level[e] * 256 / 100;
  }
}

// The output device keeps the rate it was opened with; the mixer asks it
// rather than setting it.
void SetOutputRate() {
  if (!myALDevice || !openAL->alcGetIntegerv) return;
  ALCint hertz = 0;
  openAL->alcGetIntegerv(myALDevice, ALC_FREQUENCY, 1, &hertz);
  if (hertz > 0) oldSampleRate = hertz;
}

void RestoreOutputRate() {}
void InitSoundMusic() {}
void DisposeSoundMusic() {}
void SetSoundMixerVolume(SInt16) {}
void SetMusicMixerVolume(SInt16) {}

void SoundMixer8_Mono(QKSndChannel*, SndDoubleBuffer* buffer) { Mix(buffer, false, 8, Out::U8); }
void SoundMixer8_Stereo(QKSndChannel*, SndDoubleBuffer* buffer) { Mix(buffer, true, 8, Out::U8); }
void SoundMixer16_Mono(QKSndChannel*, SndDoubleBuffer* buffer) { Mix(buffer, false, 16, Out::S16); }
void SoundMixer16_Stereo(QKSndChannel*, SndDoubleBuffer* buffer) { Mix(buffer, true, 16, Out::S16); }

void InitSoundMixer() {
  if (!soundInited) InitAudio();
  SetOutputRate();
  DisposeSoundMixer_Sound();
  if (!audioPREFS.soundOn || s_mixerInited) return;

  InitSoundChans();
  QKSndNewChannel(&soundMixerCHAN, sampledSynth, 0, nullptr);

  audioPREFS.Init();
  // The mixer's rate: the settings' rate, no higher than the device's own
  // and within what the buffer arithmetic allows.
  SInt32 hertz = SInt32(audioPREFS.sampleRate >> 16);
  if (oldSampleRate > 0) hertz = std::min(hertz, oldSampleRate);
  hertz = std::clamp(hertz, kMinHertz, kBaseHertz);
  const bool stereo = audioPREFS.stereo != 0;
  const SInt16 size = audioPREFS.sampleSize == 8 ? 8 : 16;
  s_mixerHEAD = SndDoubleBufferHeader{};
  s_mixerHEAD.dbhNumChannels = SInt16(stereo ? 2 : 1);
  s_mixerHEAD.dbhSampleSize = size;
  s_mixerHEAD.dbhSampleRate = UInt32(hertz) << 16;
  static const SndDoubleBackProcPtr routines[4] = {SoundMixer8_Mono, SoundMixer8_Stereo, SoundMixer16_Mono,
                                                   SoundMixer16_Stereo};
  s_mixerHEAD.dbhDoubleBack = routines[(size == 16 ? 2 : 0) + (stereo ? 1 : 0)];

  speedRatio = kBaseHertz / hertz;
  s_bufferSize = kSilenceBytes / speedRatio;
  if (!stereo) s_bufferSize /= 2;
  s_largeDATA = reinterpret_cast<SInt32*>(QKNewPtrClear(s_bufferSize * 4 * kMixHistoryBuffers));
  s_tempDATA = s_largeDATA;
  s_errorSize = hertz;
  errorSize = hertz;
  smoothLast[0] = smoothLast[1] = 0;
  for (int i = 0; i < 2; i++) {
    s_doubleBUFF[i] = reinterpret_cast<SndDoubleBuffer*>(QKNewPtrClear(s_bufferSize * 2 + 20));
    s_mixerHEAD.dbhBufferPtr[i] = s_doubleBUFF[i];
  }
  // Without memory the mixer runs without output.
  if (s_largeDATA && s_doubleBUFF[0] && s_doubleBUFF[1]) {
    for (SndDoubleBuffer* buffer : s_doubleBUFF) s_mixerHEAD.dbhDoubleBack(soundMixerCHAN, buffer);
    CarbonSndPlayDoubleBuffer(soundMixerCHAN, &s_mixerHEAD);
  }
  s_mixerInited = 1;
  InitSoundEchos();
}

void DisposeSoundMixer_Sound() {
  if (!s_mixerInited) return;
  QuietChannelsPlaying(nullptr);
  DisposeSoundChans();
  if (soundMixerCHAN) {
    SoundCommand quiet{quietCmd, 0, 0};
    MixerDoImmediate(soundMixerCHAN, &quiet);
    QKSndDisposeChannel(soundMixerCHAN, true);
    soundMixerCHAN = nullptr;
  }
  // The channel and its queue are gone, and with them every use of the record.
  if (liveRecord) {
    freeRecords.AddLastItem(liveRecord);
    liveRecord = nullptr;
  }
  CleanUpChannelMemory();
  QKDisposePtr(reinterpret_cast<Ptr>(s_largeDATA));
  s_largeDATA = s_tempDATA = nullptr;
  for (SndDoubleBuffer*& buffer : s_doubleBUFF) {
    QKDisposePtr(reinterpret_cast<Ptr>(buffer));
    buffer = nullptr;
  }
  s_mixerHEAD.dbhBufferPtr[0] = s_mixerHEAD.dbhBufferPtr[1] = nullptr;
  s_mixerInited = 0;
  errorSize = 0;
  RestoreOutputRate();
}

OSErr CarbonSndPlayDoubleBuffer(QKSndChannel* channel, SndDoubleBufferHeader* header) {
  if (!channel) return -1;
  if (!header) return -2;
  CleanUpChannelMemory();
  if (!gSilenceOnes) {
    gSilenceOnes = new unsigned char[kSilenceBytes];
    std::memset(gSilenceOnes, 128, kSilenceBytes);
    gSilenceTwos = new unsigned char[kSilenceBytes]();
  }
  auto* record = new (std::nothrow) PerChanInfo();
  if (!record) return -108;
  record->previousCallBack = channel->callBack;
  record->header = header;
  QKSoundHeader* sound = &record->sound;
  sound->bytes[kSHEncode] = cmpSH;
  sound->bytes[kSHBaseFrequency] = 60;
  SHSet32(sound, kSHNumChannels, UInt32(header->dbhNumChannels));
  SHSet32(sound, kSHSampleRate, header->dbhSampleRate);
  SHSet16(sound, kSHSampleSize, UInt16(header->dbhSampleSize));
  const SndDoubleBuffer* first = header->dbhBufferPtr[0];
  if (first) LoadHeader(record, first->dbSoundData, first->dbNumFrames);
  channel->callBack = CarbonSndPlayDoubleBufferCallBackProc;

  SoundCommand play{bufferCmd, 0, reinterpret_cast<intptr_t>(sound)};
  SoundCommand back{callBackCmd, 0, reinterpret_cast<intptr_t>(record)};
  OSErr err = QKSndDoCommand(channel, &play, true);
  if (!err) err = QKSndDoCommand(channel, &back, true);
  if (err) {
    channel->callBack = record->previousCallBack;
    delete record;
    return err;
  }
  liveRecord = record;
  return 0;
}

void CarbonSndPlayDoubleBufferCallBackProc(QKSndChannel* channel, SoundCommand* command) {
  auto* record = reinterpret_cast<PerChanInfo*>(command->param2);
  if (!record) return;
  SInt16 which = command->param1;
  SndDoubleBufferHeader* header = record->header;
  if (!record->stop) {
    SndDoubleBuffer* done = header->dbhBufferPtr[which];
    SndDoubleBuffer* other = header->dbhBufferPtr[1 - which];
    done->dbFlags &= ~dbBufferReady;
    if (other->dbFlags & dbBufferReady) {
      LoadHeader(record, other->dbSoundData, other->dbNumFrames);
      which = SInt16(1 - which);
      if (other->dbFlags & dbLastBuffer)
        channel->callBack = CarbonSndPlayDoubleBufferCleanUpProc;
      else
        header->dbhDoubleBack(channel, done);
    } else {
      const unsigned char* silence = header->dbhSampleSize == 8 ? gSilenceOnes : gSilenceTwos;
      SInt32 frameBytes = std::max(1, header->dbhNumChannels * (header->dbhSampleSize / 8));
      LoadHeader(record, silence, kSilenceBytes / frameBytes);
    }
  }
  RequeueBufferAndCallBack(channel, record, which);
}

void CarbonSndPlayDoubleBufferCleanUpProc(QKSndChannel* channel, SoundCommand* command) {
  auto* record = reinterpret_cast<PerChanInfo*>(command->param2);
  if (!record) return;
  channel->callBack = record->previousCallBack;
  if (record == liveRecord) liveRecord = nullptr;
  freeRecords.AddLastItem(record);
}

void InsertSndDoCommand(QKSndChannel* channel, const SoundCommand* command) {
  if (!channel) return;
  if (channel->qHead == -1) {
    channel->qHead = channel->qTail;
  } else if (channel->qHead == channel->qTail) {
    return;  // full
  }
  channel->qHead = SInt16(channel->qHead == 0 ? channel->qLength - 1 : channel->qHead - 1);
  channel->queue[channel->qHead] = *command;
}

void CleanUpChannelMemory() {
  while (auto* link = freeRecords.First()) {
    PerChanInfo* record = link->item;
    freeRecords.RemoveItem(record);
    delete record;
  }
}

OSErr MixerDoImmediate(QKSndChannel* channel, const SoundCommand* command) {
  if (channel && DrivenByEmulation(channel) && (command->cmd == quietCmd || command->cmd == flushCmd)) return 0;
  return QKSndDoImmediate(channel, command);
}

void QKBlockMove(void const* source, void* destination, SInt32 count) {
  if (count > 0) std::memmove(destination, source, size_t(count));
}

void ForgetSoundMixer() {
  while (auto* link = s_channelLIST.First()) s_channelLIST.RemoveItem(link->item);
  while (auto* link = freeRecords.First()) freeRecords.RemoveItem(link->item);
  liveRecord = nullptr;
  for (int i = 0; i < kMaxMixerChannels; i++) mixerCHAN[i] = sndCHAN[i] = nullptr, mixerChanRSRV[i] = 0;
  _nextChan = 0;
  soundMixerCHAN = nullptr;
  s_mixerHEAD = SndDoubleBufferHeader{};
  s_doubleBUFF[0] = s_doubleBUFF[1] = nullptr;
  s_largeDATA = s_tempDATA = nullptr;
  s_bufferSize = speedRatio = s_errorSize = errorSize = 0;
  s_echoINFO = EchoInfo{};
  soundECHO = 0;
  s_mixerInited = 0;
  oldSampleRate = 0;
  smoothLast[0] = smoothLast[1] = 0;
}
