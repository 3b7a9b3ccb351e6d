#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "foundation/Memory.h"
#include "sound/AudioPrefs.h"
#include "sound/SoundEffects.h"
#include "sound/SoundLoading.h"
#include "sound/SoundMixer.h"
#include "support/openal/FakeOpenAL.h"

namespace {

// A loaded sound: an extended header and its samples, owned by the command.
std::unique_ptr<QKSndCommand> MakeSound(int channels, int size, UInt32 hertz, const std::vector<int>& samples) {
  auto command = std::make_unique<QKSndCommand>();
  SInt32 bytes = SInt32(samples.size()) * (size / 8);
  Ptr block = QKNewPtrClear(kExtendedHeaderLength + bytes);
  auto* h = reinterpret_cast<QKSoundHeader*>(block);
  h->bytes[kSHEncode] = extSH;
  SHSet32(h, kSHNumChannels, UInt32(channels));
  SHSet32(h, kSHSampleRate, hertz << 16);
  SHSet32(h, kSHNumFrames, UInt32(samples.size()) / UInt32(channels));
  SHSet16(h, kSHSampleSize, UInt16(size));
  unsigned char* data = h->bytes + kExtendedHeaderLength;
  for (size_t i = 0; i < samples.size(); i++) {
    if (size == 8) {
      data[i] = static_cast<unsigned char>(SInt8(samples[i]));
    } else {
      SInt16 v = SInt16(samples[i]);
      std::memcpy(data + 2 * i, &v, 2);
    }
  }
  command->param2 = reinterpret_cast<intptr_t>(block);
  return command;
}

std::vector<int> Output16(const SndDoubleBuffer* buffer, int values) {
  std::vector<int> out(size_t(values), 0);
  const auto* data = reinterpret_cast<const unsigned char*>(buffer) + kDoubleBufferDataOffset;
  for (int i = 0; i < values; i++) {
    SInt16 v;
    std::memcpy(&v, data + 2 * i, 2);
    out[size_t(i)] = v;
  }
  return out;
}

std::vector<int> Output8(const SndDoubleBuffer* buffer, int values) {
  const auto* data = reinterpret_cast<const unsigned char*>(buffer) + kDoubleBufferDataOffset;
  return std::vector<int>(data, data + values);
}

std::vector<SInt16> BufferSamples(const FakeBuffer& buffer) {
  std::vector<SInt16> out(buffer.data.size() / 2);
  if (!out.empty()) std::memcpy(out.data(), buffer.data.data(), out.size() * 2);
  return out;
}

// A fixed, varied pattern of `count` samples of the given size.
std::vector<int> Pattern(int count, int size) {
  std::vector<int> out(static_cast<size_t>(count));
  for (int i = 0; i < count; i++) {
    int v = (i * 7919 + 13) % 251 - 125;
    out[size_t(i)] = size == 16 ? v * 200 + (i % 7) : v;
  }
  return out;
}

// FNV-1a over the values' 32-bit forms.
UInt64 Digest(const std::vector<int>& values) {
  UInt64 h = 14695981039346656037ull;
  for (int v : values) {
    UInt32 u = UInt32(v);
    for (int b = 0; b < 4; b++) {
      h ^= (u >> (8 * b)) & 0xFF;
      h *= 1099511628211ull;
    }
  }
  return h;
}

class SoundMixer : public ::testing::Test {
 protected:
  FakeOpenAL al;
  void SetUp() override {
    audioPREFS.soundOn = 1;
    audioPREFS.soundVolume = 255;
    audioPREFS.sampleRate = kRate44khz;
    audioPREFS.sampleSize = 16;
    audioPREFS.stereo = 1;
    audioPREFS.numChannels = 8;
    audioPREFS.interpolation = 0;
    audioPREFS.smoothing = 0;
    audioPREFS.fakeStereo = 0;
  }
  void TearDown() override { DisposeSoundMixer_Sound(); }
  void Start() {
    InitSoundMixer();
    ASSERT_TRUE(s_mixerInited);
    ASSERT_NE(soundMixerCHAN, nullptr);
  }
  FakeSource& MixerSource() { return al.Source(soundMixerCHAN->al->source); }
  // The channel hands on one buffer each time the audio is idled.
  static void Idle(int times) {
    for (int i = 0; i < times; i++) IdleAudio_Sound();
  }
};

TEST(NotePitch, IsTheOutputRateScaledByTheNoteInFourDecimals) {
  s_errorSize = 44100;
  errorSize = 0;
  const struct {
    SInt16 note;
    SInt32 step;
  } cases[] = {
      {60, 44100}, {72, 88200}, {48, 22050}, {36, 11025}, {84, 176400}, {59, 41625},  // 0.9439
      {71, 83247},                                                                    // 1.8877
      {52, 27783},                                                                    // 0.63
  };
  for (auto c : cases) EXPECT_EQ(GetNotePitch(c.note), c.step) << c.note;
  s_errorSize = errorSize = 0;
  EXPECT_EQ(GetNotePitch(60), 0);
}

TEST_F(SoundMixer, PlaySoundRateTurnsRatesIntoNotesAndStepsIntoTheOutputRate) {
  Start();
  auto sound = MakeSound(1, 16, 22050, std::vector<int>(100, 0));
  MixerChannel* c = mixerCHAN[0];
  // A 22,050 Hz sound on a 44,100 Hz mixer: half a sample per output at note 60.
  const struct {
    char rate;
    SInt32 step;
  } cases[] = {{1, 22050}, {0, 44100}, {2, 11024}};
  for (auto k : cases) {
    PlaySoundRate(sound.get(), c, k.rate);
    EXPECT_EQ(c->CurrentSound(), sound.get());
    EXPECT_EQ(c->step, k.step) << int(k.rate);
  }
  EXPECT_EQ(sound->playCount, 1) << "each new start lets go of the one before";
  QuietChannel(c);
  EXPECT_EQ(sound->playCount, 0);
  audioPREFS.soundOn = 0;
  PlaySound(sound.get(), c, 60);
  EXPECT_FALSE(ChannelBusy(c));
}

TEST_F(SoundMixer, NextChanTakesIdleChannelsFromTheLastAndThenCutsOffInRotation) {
  Start();
  auto sound = MakeSound(1, 16, 44100, std::vector<int>(100, 0));
  EXPECT_EQ(NextChan(), mixerCHAN[7]);
  for (MixerChannel* c : mixerCHAN) PlaySound_StereoLR(sound.get(), 256, 256, c);
  EXPECT_EQ(FreeChan(), nullptr);
  _nextChan = 3;
  EXPECT_EQ(NextChan(), mixerCHAN[4]);
  EXPECT_EQ(NextChan(), mixerCHAN[5]);
  mixerChanRSRV[6] = 1;
  EXPECT_EQ(NextChan(), mixerCHAN[7]);
  EXPECT_EQ(NextChan(), mixerCHAN[0]);
  for (UInt8& r : mixerChanRSRV) r = 1;
  EXPECT_EQ(NextChan(), nullptr);
  for (UInt8& r : mixerChanRSRV) r = 0;
  QuietChannel(mixerCHAN[2]);
  EXPECT_EQ(NextChan(), mixerCHAN[2]);
}

TEST_F(SoundMixer, ChannelCountsStayWithinTheMixersSlots) {
  for (char asked : {char(2), char(8), char(20), char(0), char(-3)}) {
    audioPREFS.numChannels = asked;
    Start();
    int made = 0;
    for (MixerChannel* c : mixerCHAN) made += c != nullptr;
    EXPECT_EQ(made, std::clamp<int>(asked, 1, kMaxMixerChannels)) << int(asked);
    EXPECT_EQ(s_channelLIST.Size(), UInt32(made));
    DisposeSoundMixer_Sound();
    EXPECT_EQ(s_channelLIST.Size(), 0u);
  }
}

TEST_F(SoundMixer, MixesSixteenBitSoundsExactlyIntoStereoBuffers) {
  Start();
  ASSERT_EQ(s_bufferSize, 8192);
  auto mono = MakeSound(1, 16, 44100, {1000, -2000, 3000});
  auto stereo = MakeSound(2, 16, 44100, {100, -100, 200, -200});
  PlaySound_StereoLR(mono.get(), 256, 128, mixerCHAN[0]);
  PlaySound_StereoLR(stereo.get(), 256, 256, mixerCHAN[1]);
  SoundMixer16_Stereo(soundMixerCHAN, s_doubleBUFF[0]);
  std::vector<int> out = Output16(s_doubleBUFF[0], 8);
  // (mono x side gain + stereo lane) x 255 / 256, per lane.
  auto v = [](int x) { return x * 255 >> 8; };
  EXPECT_EQ(out,
            (std::vector<int>{v(1000 + 100), v(500 - 100), v(-2000 + 200), v(-1000 - 200), v(3000), v(1500), 0, 0}));
  EXPECT_EQ(s_doubleBUFF[0]->dbNumFrames, 4096);
  EXPECT_TRUE(s_doubleBUFF[0]->dbFlags & dbBufferReady);
  EXPECT_FALSE(ChannelBusy(mixerCHAN[0])) << "a sound stops at the end of its data";
  EXPECT_EQ(mono->playCount, 0);
}

TEST_F(SoundMixer, EightBitMonoOutputIsOffsetAndClipped) {
  audioPREFS.sampleSize = 8;
  audioPREFS.stereo = 0;
  Start();
  EXPECT_EQ(s_mixerHEAD.dbhDoubleBack, SoundMixer8_Mono);
  auto sound = MakeSound(1, 8, 44100, {100, -100, 50, 10, -60});
  // Volumes of 512 double the sample: 100 becomes 200 and -100 becomes -200.
  PlaySound_StereoLR(sound.get(), 512, 512, mixerCHAN[0]);
  SoundMixer8_Mono(soundMixerCHAN, s_doubleBUFF[1]);
  EXPECT_EQ(Output8(s_doubleBUFF[1], 6), (std::vector<int>{255, 0, 99 + 128, 19 + 128, -120 + 128, 128}));
}

TEST_F(SoundMixer, FakeStereoTurnsTheRightSideOfMonoSoundsOver) {
  audioPREFS.fakeStereo = 1;
  Start();
  auto sound = MakeSound(1, 16, 44100, {1024});
  PlaySound_StereoLR(sound.get(), 256, 256, mixerCHAN[0]);
  SoundMixer16_Stereo(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_EQ(Output16(s_doubleBUFF[0], 2), (std::vector<int>{1020, -1020}));
}

TEST_F(SoundMixer, ACutOffSoundFadesOutOverSixteenValuesAndRepeatStartsAgain) {
  audioPREFS.stereo = 0;
  Start();
  std::vector<int> samples(3 * 4096, 2560);
  auto sound = MakeSound(1, 16, 44100, samples);
  MixerChannel* c = mixerCHAN[0];
  PlaySound_StereoLR(sound.get(), 256, 256, c);
  c->repeat = 1;
  for (int i = 0; i < 4; i++) SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_TRUE(ChannelBusy(c)) << "a repeating sound goes on past its end";
  EXPECT_EQ(c->lastOut[0], 2560);
  QuietChannel(c);
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  std::vector<int> out = Output16(s_doubleBUFF[0], 18);
  for (int i = 0; i < 16; i++) EXPECT_EQ(out[size_t(i)], (2560 * (16 - i) / 16) * 255 >> 8) << i;
  EXPECT_EQ(out[16], 0);
  EXPECT_EQ(c->lastOut[0], 0);
}

TEST_F(SoundMixer, InterpolationAndSmoothingMoveBetweenSamples) {
  audioPREFS.stereo = 0;
  audioPREFS.soundVolume = 256;
  audioPREFS.interpolation = 1;
  Start();
  auto sound = MakeSound(1, 16, 11025, {0, 400, 800});
  // A quarter of the output rate: four outputs per sample, each moving a
  // fifth of the way to the next sample (the increment is counted over the
  // outputs left before the next sample, plus one).
  PlaySound(sound.get(), mixerCHAN[0], 60);
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_EQ(Output16(s_doubleBUFF[0], 12), (std::vector<int>{0, 80, 160, 240, 400, 480, 560, 640, 800, 800, 800, 800}));

  audioPREFS.interpolation = 0;
  audioPREFS.smoothing = 1;
  PlaySound(sound.get(), mixerCHAN[0], 60);
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_EQ(Output16(s_doubleBUFF[0], 6), (std::vector<int>{0, 0, 0, 0, 200, 300}));
}

TEST_F(SoundMixer, SamplesAndLoopPointsFollowTheHeaderForm) {
  audioPREFS.sampleSize = 8;
  audioPREFS.stereo = 0;
  Start();
  // A standard header: 8-bit mono, its length field counting bytes, the
  // samples 22 bytes in.
  QKSndCommand standard;
  Ptr block = QKNewPtrClear(kStandardHeaderLength + 4);
  auto* h = reinterpret_cast<QKSoundHeader*>(block);
  h->bytes[kSHEncode] = stdSH;
  SHSet32(h, kSHNumChannels, 4);
  SHSet32(h, kSHSampleRate, kRate44khz);
  const SInt8 bytes[4] = {10, 20, -30, 40};
  std::memcpy(block + kStandardHeaderLength, bytes, 4);
  standard.param2 = reinterpret_cast<intptr_t>(block);
  MixerChannel* c = mixerCHAN[0];
  PlaySound_StereoLR(&standard, 256, 256, c);
  EXPECT_EQ(c->sampleStart, block + kStandardHeaderLength);
  EXPECT_EQ(c->sampleEnd, block + kStandardHeaderLength + 4);
  EXPECT_EQ(c->sampleSize, 8);
  audioPREFS.soundVolume = 256;
  SoundMixer8_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_EQ(Output8(s_doubleBUFF[0], 5), (std::vector<int>{138, 148, 98, 168, 128}));

  // An extended header's loop frames, replaced for a mono sound by the
  // command's own; a loop runs until the channel is stopped.
  auto sound = MakeSound(1, 16, 44100, {1, 2, 3, 4, 5, 6});
  SHSet32(sound->Header(), kSHLoopStart, 1);
  SHSet32(sound->Header(), kSHLoopEnd, 3);
  Ptr start = reinterpret_cast<Ptr>(sound->Header()) + kExtendedHeaderLength;
  c->Realign(sound.get());
  EXPECT_EQ(c->loopStart, start + 2);
  EXPECT_EQ(c->loopEnd, start + 6);
  sound->mixerLoopStart = 2;
  sound->mixerLoopEnd = 4;
  c->Realign(sound.get());
  EXPECT_EQ(c->loopStart, start + 4);
  EXPECT_EQ(c->loopEnd, start + 8);
  SHSet32(sound->Header(), kSHLoopStart, 0);
  sound->mixerLoopStart = sound->mixerLoopEnd = 0;
  c->Realign(sound.get());
  EXPECT_EQ(c->loopStart, c->sampleEnd) << "no loop: both at the end";
  EXPECT_EQ(c->loopEnd, c->sampleEnd);

  audioPREFS.sampleSize = 16;
  DisposeSoundMixer_Sound();
  Start();
  sound->mixerLoopStart = 2;
  sound->mixerLoopEnd = 4;
  c = mixerCHAN[0];
  PlaySound_StereoLR(sound.get(), 256, 256, c);
  c->loopEnabled = 1;
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_EQ(Output16(s_doubleBUFF[0], 8), (std::vector<int>{1, 2, 3, 4, 3, 4, 3, 4}));
  EXPECT_TRUE(ChannelBusy(c));
}

// Loop points the engine's callers hand in (header or command, negative or
// too big to multiply) never put a loop before the samples or past them.
TEST_F(SoundMixer, NegativeOrHugeLoopPointsStayInsideTheSamples) {
  Start();
  MixerChannel* c = mixerCHAN[0];
  auto sound = MakeSound(1, 16, 44100, {1, 2, 3, 4, 5, 6});
  Ptr start = reinterpret_cast<Ptr>(sound->Header()) + kExtendedHeaderLength;
  struct Case {
    SInt32 headerStart, headerEnd, commandStart, commandEnd;
    int loopStart, loopEnd;  // bytes from the first sample
  } cases[] = {
      {-4, -2, 0, 0, 0, 0},       {-4, 3, 0, 0, 0, 6},   {1, INT32_MAX, 0, 0, 2, 12},       {1, 3, -3, -1, 0, 0},
      {1, 3, INT32_MIN, 2, 0, 4}, {1, 3, 5, -9, 10, 10}, {INT32_MIN, INT32_MIN, 0, 0, 0, 0}};
  for (const Case& k : cases) {
    SHSet32(sound->Header(), kSHLoopStart, UInt32(k.headerStart));
    SHSet32(sound->Header(), kSHLoopEnd, UInt32(k.headerEnd));
    sound->mixerLoopStart = k.commandStart;
    sound->mixerLoopEnd = k.commandEnd;
    c->Realign(sound.get());
    EXPECT_EQ(c->loopStart - start, k.loopStart) << k.headerStart << " " << k.commandStart;
    EXPECT_EQ(c->loopEnd - start, k.loopEnd) << k.headerEnd << " " << k.commandEnd;
  }
  sound->mixerLoopStart = sound->mixerLoopEnd = 0;
}

TEST_F(SoundMixer, APausedOrFadingChannelAndALostSound) {
  audioPREFS.stereo = 0;
  Start();
  auto sound = MakeSound(1, 16, 44100, std::vector<int>(20000, 1000));
  MixerChannel* c = mixerCHAN[0];
  PlaySound_StereoLR(sound.get(), 256, 256, c);
  PauseChannel(c, 1);
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_EQ(Output16(s_doubleBUFF[0], 1)[0], 0);
  EXPECT_EQ(c->position, c->sampleStart);
  PauseChannel(c, 0);
  c->fadeStep = 128;
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_EQ(Output16(s_doubleBUFF[0], 1)[0], 1000 * 255 >> 8);
  EXPECT_EQ(c->amplitude, 128);
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_EQ(Output16(s_doubleBUFF[0], 1)[0], 0);
  EXPECT_FALSE(ChannelBusy(c)) << "a fade stops the channel at amplitude 0";

  PlaySound_StereoLR(sound.get(), 256, 256, c);
  DisposeSound(sound.get());
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  EXPECT_FALSE(ChannelBusy(c)) << "a sound without samples is stopped";
}

TEST_F(SoundMixer, QuietAllChansAndTheSoundsDestructorStopItsChannels) {
  Start();
  auto sound = MakeSound(1, 16, 44100, std::vector<int>(100, 1));
  auto other = MakeSound(1, 16, 44100, std::vector<int>(100, 1));
  PlaySound_StereoLR(sound.get(), 256, 256, mixerCHAN[0]);
  PlaySound_StereoLR(sound.get(), 256, 256, mixerCHAN[1]);
  PlaySound_StereoLR(other.get(), 256, 256, mixerCHAN[2]);
  EXPECT_EQ(sound->playCount, 2);
  sound.reset();
  EXPECT_FALSE(ChannelBusy(mixerCHAN[0]));
  EXPECT_FALSE(ChannelBusy(mixerCHAN[1]));
  EXPECT_TRUE(ChannelBusy(mixerCHAN[2]));
  QuietAllChans();
  EXPECT_FALSE(ChannelBusy(mixerCHAN[2]));
  EXPECT_EQ(other->playCount, 0);
}

TEST_F(SoundMixer, StartsOnAChannelFeedsItsSourceAndStopsAgain) {
  Start();
  Idle(10);
  FakeSource& source = MixerSource();
  // The two buffers, then refills, are handed on until the channel's eight
  // OpenAL buffers are queued; each buffer carries 4,096 stereo frames.
  EXPECT_EQ(source.queue.size(), size_t(kChannelBuffers));
  EXPECT_EQ(source.state, AL_PLAYING);
  for (ALuint b : source.queue) {
    EXPECT_EQ(al.buffers[b].data.size(), 4096u * 4);
    EXPECT_EQ(al.buffers[b].frequency, 44100);
  }
  // A sound started now is heard in the next buffers that are mixed.
  auto sound = MakeSound(2, 16, 44100, std::vector<int>(2 * 4096 * 3, 0));
  for (size_t i = 0; i < 2 * 4096 * 3; i += 2) {
    auto* data = reinterpret_cast<SInt16*>(sound->Header()->bytes + kExtendedHeaderLength);
    data[i] = 3000;
    data[i + 1] = -3000;
  }
  PlaySound_StereoLR(sound.get(), 256, 256, mixerCHAN[0]);
  ALuint name = soundMixerCHAN->al->source;
  al.Play(name, 4);
  Idle(4);
  std::vector<SInt16> last = BufferSamples(al.buffers[source.queue.back()]);
  ASSERT_EQ(last.size(), 8192u);
  EXPECT_EQ(last[0], 3000 * 255 >> 8);
  EXPECT_EQ(last[1], -3000 * 255 >> 8);

  // quietCmd and flushCmd do not stop the double-buffered channel.
  SoundCommand quiet{quietCmd, 0, 0};
  EXPECT_EQ(MixerDoImmediate(soundMixerCHAN, &quiet), 0);
  EXPECT_EQ(source.state, AL_PLAYING);

  DisposeSoundMixer_Sound();
  EXPECT_FALSE(s_mixerInited);
  EXPECT_EQ(soundMixerCHAN, nullptr);
  EXPECT_EQ(errorSize, 0);
  EXPECT_EQ(al.sources.count(name), 0u) << "the mixer's channel and its source are gone";
  EXPECT_EQ(mixerCHAN[0], nullptr);
  EXPECT_EQ(sound->playCount, 0);
}

TEST_F(SoundMixer, SilenceIsPlayedWhenNoBufferIsReady) {
  audioPREFS.sampleSize = 8;
  Start();
  FakeSource& source = MixerSource();
  auto sound = MakeSound(1, 8, 44100, std::vector<int>(50000, 100));
  PlaySound_StereoLR(sound.get(), 256, 256, mixerCHAN[0]);
  Ptr before = mixerCHAN[0]->position;
  s_doubleBUFF[0]->dbFlags = s_doubleBUFF[1]->dbFlags = 0;
  al.Play(soundMixerCHAN->al->source, 3);
  Idle(3);
  EXPECT_EQ(mixerCHAN[0]->position, before) << "nothing is mixed while no buffer is ready";
  // 8,192 bytes of 8-bit stereo silence: 4,096 frames of zero.
  std::vector<SInt16> last = BufferSamples(al.buffers[source.queue.back()]);
  ASSERT_EQ(last.size(), 8192u);
  for (SInt16 v : last) ASSERT_EQ(v, 0);
}

TEST_F(SoundMixer, TheLastBufferEndsTheDoubleBuffering) {
  Start();
  SndCallBackProcPtr before = soundMixerCHAN->callBack;
  EXPECT_EQ(before, CarbonSndPlayDoubleBufferCallBackProc);
  s_doubleBUFF[0]->dbFlags |= dbLastBuffer;
  s_doubleBUFF[1]->dbFlags |= dbLastBuffer;
  Idle(3);
  EXPECT_EQ(soundMixerCHAN->callBack, nullptr) << "the channel has its own callback back";
  SoundCommand quiet{quietCmd, 0, 0};
  MixerDoImmediate(soundMixerCHAN, &quiet);
  EXPECT_EQ(MixerSource().state, AL_STOPPED) << "and answers quietCmd again";
}

TEST_F(SoundMixer, RateComesFromTheSettingsWithinTheDevicesOwn) {
  const struct {
    UInt32 asked;
    ALCint device;
    SInt32 hertz, bufferSize;
  } cases[] = {
      {kRate44khz, 44100, 44100, 8192}, {kRate22khz, 44100, 22050, 4096}, {kRate44khz, 22050, 22050, 4096},
      {kRate11khz, 48000, 11025, 2048}, {200u << 16, 44100, 5512, 1024},
  };
  for (auto k : cases) {
    al.deviceRate = k.device;
    audioPREFS.sampleRate = k.asked;
    audioPREFS.stereo = 1;
    Start();
    EXPECT_EQ(s_errorSize, k.hertz);
    EXPECT_EQ(s_bufferSize, k.bufferSize);
    EXPECT_EQ(s_mixerHEAD.dbhSampleRate, UInt32(k.hertz) << 16);
    DisposeSoundMixer_Sound();
  }
}

TEST_F(SoundMixer, DoesNothingWithSoundOffAndNothingWhenStopped) {
  audioPREFS.soundOn = 0;
  InitSoundMixer();
  EXPECT_FALSE(s_mixerInited);
  EXPECT_EQ(soundMixerCHAN, nullptr);
  QuietAllChans();
  DisposeSoundMixer_Sound();
  EXPECT_EQ(CarbonSndPlayDoubleBuffer(nullptr, &s_mixerHEAD), -1);
}

TEST_F(SoundMixer, InsertedCommandsGoBeforeTheQueueHead) {
  QKSndChannel* chan = nullptr;
  ASSERT_EQ(QKSndNewChannel(&chan, sampledSynth, 0, nullptr), 0);
  chan->wait = 1;  // nothing runs
  SoundCommand a{volumeCmd, 1, 0}, b{volumeCmd, 2, 0};
  InsertSndDoCommand(chan, &a);
  EXPECT_EQ(chan->qHead, kChannelQueueSlots - 1) << "an empty queue's head moves back from the tail at slot 0";
  InsertSndDoCommand(chan, &b);
  EXPECT_EQ(chan->qHead, kChannelQueueSlots - 2);
  EXPECT_EQ(chan->queue[chan->qHead].param1, 2);
  EXPECT_EQ(chan->queue[kChannelQueueSlots - 1].param1, 1);
  EXPECT_EQ(QKSndDisposeChannel(chan, true), 0);
}

TEST_F(SoundMixer, EchoesAddEarlierMixesWhenSwitchedOn) {
  audioPREFS.stereo = 0;
  audioPREFS.soundEchos = 1;
  soundECHO = 1;
  Start();
  SoundEchoParams(8192, 50, 0, 0);
  EXPECT_EQ(s_echoINFO.sampleDelay[0], 8192);
  EXPECT_EQ(s_echoINFO.sampleLevel[0], 128);
  auto sound = MakeSound(1, 16, 44100, std::vector<int>(4096, 1000));
  PlaySound_StereoLR(sound.get(), 256, 256, mixerCHAN[0]);
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  SoundMixer16_Mono(soundMixerCHAN, s_doubleBUFF[0]);
  // The buffer after the sound holds its echo, one mix buffer back, at half.
  EXPECT_EQ(Output16(s_doubleBUFF[0], 1)[0], 500 * 255 >> 8);
  soundECHO = 0;
}

// The mix, value for value, over three buffers in a row for a table of
// sounds and settings: loops, repeats, left/right volumes and amplitude,
// pitch, interpolation, smoothing, fake stereo, clipping, cut-offs, fades,
// echoes and each output form. The first values and the digest of every
// value were taken from the mixer and are kept so that any change to what
// it mixes shows up.
TEST_F(SoundMixer, MixesATableOfSoundsValueForValue) {
  struct Case {
    const char* name;
    int outSize;       // the mixing routine: 8 or 16 bits,
    bool stereoOut;    // mono or stereo
    UInt32 outHertz;   // the settings' rate
    int channels;      // the sound: 1 or 2 channels,
    int size;          // 8 or 16 bits,
    UInt32 hertz;      // its rate
    int frames;        // and length; see Pattern
    SInt32 loopStart;  // header loop frames, 0: none
    SInt32 loopEnd;
    UInt8 loopEnabled, repeat;
    unsigned char note;  // 60: the sound's own rate
    SInt16 left, right, amplitude;
    UInt8 fadeStep;
    int cutAfter;  // the channel is quieted before this buffer (-1: never)
    UInt8 interpolation, smoothing, fakeStereo, echoes;
    SInt16 volume;
    std::vector<int> first;  // the first values of the first buffer
    UInt64 digest;           // of every value of the three buffers
    bool busy;               // still playing after them
  };
  // clang-format off
  const Case cases[] = {
      {"16-bit mono, centred, plays out", 16, true, 44100, 1, 16, 44100, 3000, 0, 0, 0, 0, 60, 256, 256, 256, 0, -1, 0, 0, 0, 0, 255, {-22313, -22313, 5180, 5180, -17331, -17331, 10163, 10163, -12348, -12348}, 0xf74a2a8e0c2dcd61ull, false},
      {"16-bit mono, panned left, half rate", 16, true, 44100, 1, 16, 22050, 5000, 0, 0, 0, 0, 60, 256, 64, 200, 0, -1, 0, 0, 0, 0, 200, {-13672, -3418, -13672, -3418, 3174, 792, 3174, 792, -10620, -2656}, 0x24d05239070a33c5ull, false},
      {"16-bit mono, header loop, loud right", 16, true, 44100, 1, 16, 11025, 2500, 1000, 1800, 1, 0, 60, 100, 300, 256, 0, -1, 1, 0, 0, 0, 255, {-8716, -26148, -6569, -19705, -4421, -13261, -2274, -6818, 2023, 6070}, 0x46dba9f79ed9ddc8ull, true},
      {"16-bit stereo, note 67, repeating", 16, true, 44100, 2, 16, 44100, 1500, 0, 0, 0, 1, 67, 128, 256, 256, 0, -1, 0, 0, 0, 0, 255, {-11157, 5180, -8666, 10163, -6174, 15145, -1196, -24901, 1295, -19918}, 0x368fc51a7c791661ull, true},
      {"16-bit mono into mono, note 55, smoothed", 16, false, 44100, 1, 16, 32000, 6000, 0, 0, 0, 0, 55, 256, 256, 256, 0, -1, 0, 1, 1, 0, 255, {-11157, -16735, -5778, -299, -8815, -13073, -1456, 4353, -3998, -8173}, 0x3e890d2a1eb5ade5ull, false},
      {"16-bit mono, fake stereo, interpolated", 16, true, 44100, 1, 16, 30000, 9000, 0, 0, 0, 0, 60, 200, 180, 256, 0, -1, 1, 0, 1, 0, 240, {-16407, 14765, -6300, 5668, 3809, -3429, -12744, 11467, -2636, 2370}, 0x866d8a0077abf246ull, true},
      {"16-bit mono at a 22,050 Hz mixer", 16, true, 22050, 1, 16, 44100, 9000, 0, 0, 0, 0, 60, 256, 256, 256, 0, -1, 0, 0, 0, 0, 255, {-22313, -22313, -17331, -17331, -12348, -12348, -7366, -7366, -2390, -2390}, 0xea32ff0743a97835ull, false},
      {"16-bit mono cut off: the click filter", 16, true, 44100, 1, 16, 44100, 20000, 0, 0, 0, 0, 60, 256, 200, 256, 0, 1, 0, 0, 0, 0, 255, {-22313, -17432, 5180, 4047, -17331, -13540, 10163, 7939, -12348, -9648}, 0x89476e3cbcf9513cull, false},
      {"16-bit mono fading", 16, false, 44100, 1, 16, 44100, 40000, 0, 0, 0, 0, 60, 256, 256, 256, 96, -1, 0, 0, 0, 0, 255, {-22313, 5180, -17331, 10163, -12348, 15145, -7366, 20121, -2390, -24901}, 0x64bb9714c59db85bull, false},
      {"16-bit mono with echoes", 16, false, 44100, 1, 16, 44100, 5000, 0, 0, 0, 0, 60, 256, 256, 256, 0, -1, 0, 0, 0, 1, 255, {-22313, 5180, -17331, 10163, -12348, 15145, -7366, 20121, -2390, -24901}, 0xcd5bd685d75b3f57ull, false},
      {"8-bit mono into 8-bit stereo, fake stereo, loop", 8, true, 44100, 1, 8, 22050, 1200, 200, 900, 1, 0, 60, 256, 128, 256, 0, -1, 1, 0, 1, 0, 255, {16, 183, 62, 160, 153, 115, 117, 132, 41, 170}, 0xbccaabcb6fc5ba2dull, true},
      {"8-bit stereo, clipped at volume 512", 8, true, 44100, 2, 8, 44100, 3000, 0, 0, 0, 0, 60, 512, 512, 256, 0, -1, 0, 0, 0, 0, 255, {0, 179, 0, 229, 4, 255, 54, 255, 104, 0}, 0xb90e5039bd018af4ull, false},
      {"8-bit mono into mono, note 72", 8, false, 44100, 1, 8, 44100, 7000, 0, 0, 0, 0, 72, 256, 256, 256, 0, -1, 0, 0, 0, 0, 255, {16, 41, 66, 91, 116, 140, 165, 190, 215, 240}, 0x8009c008b80f9ce5ull, false},
      {"8-bit stereo sound in a mono mixer is skipped", 8, false, 44100, 2, 8, 44100, 3000, 0, 0, 0, 0, 60, 256, 256, 256, 0, -1, 0, 0, 0, 0, 255, {128, 128, 128, 128, 128, 128, 128, 128, 128, 128}, 0xad02466e38512325ull, true},
      {"16-bit sound in an 8-bit mixer is skipped", 8, true, 44100, 1, 16, 44100, 3000, 0, 0, 0, 0, 60, 256, 256, 256, 0, -1, 0, 0, 0, 0, 255, {128, 128, 128, 128, 128, 128, 128, 128, 128, 128}, 0xc0af2bc4ec802325ull, true},
  };
  // clang-format on
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    audioPREFS.sampleSize = char(k.outSize);
    audioPREFS.stereo = k.stereoOut;
    audioPREFS.sampleRate = k.outHertz << 16;
    audioPREFS.interpolation = k.interpolation;
    audioPREFS.smoothing = k.smoothing;
    audioPREFS.fakeStereo = k.fakeStereo;
    audioPREFS.soundEchos = k.echoes;
    audioPREFS.soundVolume = k.volume;
    soundECHO = k.echoes;
    Start();
    if (k.echoes) SoundEchoParams(3000, 40, 11000, 25);
    auto sound = MakeSound(k.channels, k.size, k.hertz, Pattern(k.channels * k.frames, k.size));
    SHSet32(sound->Header(), kSHLoopStart, UInt32(k.loopStart));
    SHSet32(sound->Header(), kSHLoopEnd, UInt32(k.loopEnd));
    MixerChannel* c = mixerCHAN[0];
    PlaySound(sound.get(), c, k.note);
    SetChanVolume(c, k.left, k.right);
    SetChanAmplitude(c, k.amplitude);
    c->loopEnabled = k.loopEnabled;
    c->repeat = k.repeat;
    c->fadeStep = k.fadeStep;
    std::vector<int> out;
    for (int b = 0; b < 3; b++) {
      if (b == k.cutAfter) QuietChannel(c);
      s_mixerHEAD.dbhDoubleBack(soundMixerCHAN, s_doubleBUFF[b % 2]);
      std::vector<int> values =
          k.outSize == 16 ? Output16(s_doubleBUFF[b % 2], s_bufferSize) : Output8(s_doubleBUFF[b % 2], s_bufferSize);
      out.insert(out.end(), values.begin(), values.end());
    }
    std::vector<int> first(out.begin(), out.begin() + 10);
    EXPECT_EQ(first, k.first);
    EXPECT_EQ(Digest(out), k.digest);
    EXPECT_EQ(bool(ChannelBusy(c)), k.busy);
    QuietChannel(c);
    DisposeSoundMixer_Sound();
    soundECHO = 0;
  }
}

TEST(BlockMove, CopiesOverlappingBytesAndNothingForNoCount) {
  char text[] = "abcdef";
  QKBlockMove(text, text + 2, 3);
  EXPECT_STREQ(text, "ababcf");
  QKBlockMove(text, text + 1, 0);
  QKBlockMove(text, text + 1, -4);
  EXPECT_STREQ(text, "ababcf");
  SoundCommand command{0, 5, 0};
  NewSoundCommand(&command, 64, 1);
  EXPECT_EQ(command.cmd, bufferCmd);
  EXPECT_EQ(command.param1, 0);
  ASSERT_NE(command.param2, 0);
  QKDisposePtr(reinterpret_cast<Ptr>(command.param2));
}

}  // namespace
