#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "foundation/Memory.h"
#include "sound/SoundChannels.h"
#include "support/openal/FakeOpenAL.h"

namespace {

// A sample block: extended header and `bytes` of 16-bit samples.
struct Block {
  std::vector<unsigned char> bytes;
  Block(UInt32 sampleBytes, UInt32 channels, UInt32 hertz = 44100) : bytes(kExtendedHeaderLength + sampleBytes) {
    auto* h = Header();
    h->bytes[kSHEncode] = extSH;
    SHSet32(h, kSHNumChannels, channels);
    SHSet32(h, kSHSampleRate, hertz << 16);
    SHSet32(h, kSHNumFrames, sampleBytes / channels / 2);
    SHSet16(h, kSHSampleSize, 16);
  }
  QKSoundHeader* Header() { return reinterpret_cast<QKSoundHeader*>(bytes.data()); }
  SoundCommand Command() { return SoundCommand{bufferCmd, 0, reinterpret_cast<intptr_t>(bytes.data())}; }
};

class SoundChannels : public ::testing::Test {
 protected:
  FakeOpenAL al;
  QKSndChannel* chan = nullptr;
  void SetUp() override { ASSERT_EQ(QKSndNewChannel(&chan, sampledSynth, 0, nullptr), 0); }
  void TearDown() override {
    if (chan) {
      EXPECT_EQ(QKSndDisposeChannel(chan, true), 0);
    }
  }
  FakeSource& Source() { return al.Source(chan->al->source); }
  std::vector<size_t> QueuedSizes() {
    std::vector<size_t> sizes;
    for (ALuint b : Source().queue) sizes.push_back(al.buffers[b].data.size());
    return sizes;
  }
};

TEST_F(SoundChannels, ANewChannelHasASilentSourceAndEightBuffersAndAnEmptyQueue) {
  EXPECT_TRUE(soundInited);
  EXPECT_EQ(firstChan, chan);
  EXPECT_EQ(chan->qLength, 128);
  EXPECT_EQ(chan->qHead, -1);
  EXPECT_EQ(chan->qTail, 0);
  EXPECT_EQ(chan->al->rate, 44100);
  EXPECT_EQ(chan->al->primed, 0);
  for (ALuint b : chan->al->buffers) EXPECT_EQ(al.buffers.at(b).data.size(), 2048u);
  EXPECT_EQ(Source().state, AL_INITIAL);
}

TEST_F(SoundChannels, ChannelsAreRefusedForOtherSynthesizersOrWithoutHardware) {
  QKSndChannel* other = nullptr;
  EXPECT_EQ(QKSndNewChannel(&other, 1, 0, nullptr), -1);
  EXPECT_EQ(other, nullptr);
  al.bufferFailures = 1;
  EXPECT_EQ(QKSndNewChannel(&other, sampledSynth, 0, nullptr), notEnoughHardwareErr);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(firstChan, chan);
  EXPECT_EQ(al.sources.size(), 1u);
}

TEST_F(SoundChannels, StereoOf100000BytesFillsTwoBuffersMonoFillsFourDoubled) {
  Block stereo(100000, 2);
  SoundCommand c = stereo.Command();
  EXPECT_EQ(QKSndDoCommand(chan, &c, true), 0);
  EXPECT_EQ(QueuedSizes(), (std::vector<size_t>{65536, 34464}));
  EXPECT_EQ(Source().state, AL_PLAYING);
  EXPECT_EQ(chan->cmdInProgress.cmd, 0);

  Block mono(100000, 1);
  c = mono.Command();
  EXPECT_EQ(QKSndDoCommand(chan, &c, true), 0);
  EXPECT_EQ(QueuedSizes(), (std::vector<size_t>{65536, 34464, 65536, 65536, 65536, 3392}));
  EXPECT_EQ(chan->al->primed, 6);
}

TEST_F(SoundChannels, MonoSamplesAreDoubledAndPlayedAtTheirOwnRate) {
  Block mono(4, 1, 22050);
  int16_t s[2] = {7, -9};
  std::memcpy(mono.bytes.data() + kExtendedHeaderLength, s, 4);
  SoundCommand c = mono.Command();
  QKSndDoCommand(chan, &c, true);
  const FakeBuffer& b = al.buffers[Source().queue[0]];
  EXPECT_EQ(b.frequency, 22050);
  std::vector<int16_t> got(4);
  std::memcpy(got.data(), b.data.data(), 8);
  EXPECT_EQ(got, (std::vector<int16_t>{7, 7, -9, -9}));
}

TEST_F(SoundChannels, BuffersGoZeroToSevenThenComeBackOnlyAsTheyArePlayed) {
  std::vector<Block> blocks;
  for (int i = 0; i < 10; i++) blocks.emplace_back(1000, 2);
  for (int i = 0; i < 10; i++) {
    SoundCommand c = blocks[size_t(i)].Command();
    EXPECT_EQ(QKSndDoCommand(chan, &c, true), 0);
  }
  std::vector<ALuint> expected(chan->al->buffers, chan->al->buffers + 8);
  EXPECT_EQ(Source().queue, expected);
  EXPECT_EQ(chan->cmdInProgress.cmd, bufferCmd);  // the ninth waits
  al.Play(chan->al->source, 1);
  IdleAudio_Sound();
  EXPECT_EQ(Source().queue.back(), chan->al->buffers[0]);
  EXPECT_EQ(Source().queue.size(), 8u);
  IdleAudio_Sound();  // the tenth is taken, but nothing more was played
  EXPECT_EQ(chan->qHead, -1);
  EXPECT_EQ(chan->cmdInProgress.cmd, bufferCmd);
  EXPECT_EQ(Source().queue.size(), 8u);
  al.Play(chan->al->source, 1);
  IdleAudio_Sound();
  EXPECT_EQ(Source().queue.back(), chan->al->buffers[1]);
  EXPECT_EQ(chan->cmdInProgress.cmd, 0);
}

TEST_F(SoundChannels, ASourceThatRanDryRestartsWithOnlyTheNewBuffers) {
  Block a(1000, 2), b(1000, 2), next(1000, 2);
  SoundCommand c = a.Command();
  QKSndDoCommand(chan, &c, true);
  c = b.Command();
  QKSndDoCommand(chan, &c, true);
  al.Play(chan->al->source, 2);
  ASSERT_EQ(Source().state, AL_STOPPED);
  Source().heard.clear();
  c = next.Command();
  QKSndDoCommand(chan, &c, true);
  EXPECT_EQ(Source().state, AL_PLAYING);
  ASSERT_EQ(Source().queue.size(), 1u);
  EXPECT_EQ(Source().heard, std::vector<ALuint>{Source().queue[0]});
}

TEST_F(SoundChannels, QuietStopsAndReturnsEveryBuffer) {
  Block a(200000, 2);
  SoundCommand c = a.Command();
  QKSndDoCommand(chan, &c, true);
  SoundCommand quiet{quietCmd, 0, 0};
  QKSndDoImmediate(chan, &quiet);
  EXPECT_EQ(Source().state, AL_STOPPED);
  EXPECT_TRUE(Source().queue.empty());
  EXPECT_EQ(chan->al->primed, 0);
  EXPECT_EQ(chan->al->offset, 0);
  EXPECT_EQ(chan->cmdInProgress.cmd, 0);
}

TEST_F(SoundChannels, VolumeTakesTheMeanOfLeftAndRight) {
  struct Case {
    UInt32 left, right;
    float gain;
  } cases[] = {{0x100, 0x100, 1.0f}, {0x100, 0, 0.5f}, {0x80, 0x80, 0.5f}, {0, 0, 0.0f}};
  for (const Case& k : cases) {
    SoundCommand v{volumeCmd, 0, intptr_t(k.left | (k.right << 16))};
    QKSndDoImmediate(chan, &v);
    EXPECT_FLOAT_EQ(Source().gain, k.gain);
  }
}

TEST_F(SoundChannels, AFullQueueRefusesWithoutWaitingAndAFullOneHolds14) {
  chan->qLength = 14;
  SoundCommand pause{pauseCmd, 0, 0};
  QKSndDoImmediate(chan, &pause);
  SoundCommand nothing{clockComponentCmd, 0, 0};
  for (int i = 0; i < 14; i++) EXPECT_EQ(QKSndDoCommand(chan, &nothing, true), 0);
  EXPECT_EQ(chan->qHead, chan->qTail);
  EXPECT_EQ(QKSndDoCommand(chan, &nothing, true), queueFull);
  // A paused channel frees nothing, so a waiting caller is not kept.
  EXPECT_EQ(QKSndDoCommand(chan, &nothing, false), queueFull);
  SoundCommand resume{resumeCmd, 0, 0};
  QKSndDoImmediate(chan, &resume);
  IdleAudio_Sound();
  EXPECT_EQ(chan->qHead, -1);
  EXPECT_EQ(QKSndDoCommand(chan, &nothing, true), 0);
}

TEST_F(SoundChannels, ADamagedQueueIsRefused) {
  SoundCommand nothing{clockComponentCmd, 0, 0};
  chan->qHead = 200;
  EXPECT_EQ(QKSndDoCommand(chan, &nothing, true), badChannel);
  chan->qHead = -1;
  chan->qTail = -3;
  EXPECT_EQ(QKSndDoCommand(chan, &nothing, true), badChannel);
  chan->qTail = 0;
  EXPECT_EQ(QKSndDoCommand(nullptr, &nothing, true), badChannel);
}

TEST_F(SoundChannels, FlushDropsWaitingCommandsAndCallbacksAndClocksRun) {
  static int called;
  called = 0;
  chan->callBack = [](QKSndChannel*, SoundCommand* c) { called = c->param1; };
  SoundCommand pause{pauseCmd, 0, 0}, resume{resumeCmd, 0, 0}, flush{flushCmd, 0, 0};
  SoundCommand cb{callBackCmd, 42, 0};
  QKSndDoImmediate(chan, &pause);
  QKSndDoCommand(chan, &cb, true);
  QKSndDoImmediate(chan, &resume);
  QKSndDoImmediate(chan, &flush);
  IdleAudio_Sound();
  EXPECT_EQ(called, 0);
  QKSndDoCommand(chan, &cb, true);
  EXPECT_EQ(called, 42);
  SInt32 clock = 99;
  SoundCommand get{getClockComponentCmd, 0, reinterpret_cast<intptr_t>(&clock)};
  QKSndDoImmediate(chan, &get);
  EXPECT_EQ(clock, 0);
}

TEST_F(SoundChannels, StatusAndInfo) {
  SCStatus status{};
  QKSndChannelStatus(chan, 0, &status);
  EXPECT_FALSE(status.scChannelBusy);
  Block a(1000, 2);
  SoundCommand c = a.Command();
  QKSndDoCommand(chan, &c, true);
  QKSndChannelStatus(chan, 0, &status);
  EXPECT_TRUE(status.scChannelBusy);
  EXPECT_FALSE(status.scChannelPaused);
  UInt32 rate = 0;
  SInt16 size = 0, channels = 0;
  QKSndGetInfo(chan, FOUR_CHAR('s', 'r', 'a', 't'), &rate);
  QKSndGetInfo(chan, FOUR_CHAR('s', 's', 'i', 'z'), &size);
  QKSndGetInfo(chan, FOUR_CHAR('c', 'h', 'a', 'n'), &channels);
  EXPECT_EQ(rate, 44100u << 16);
  EXPECT_EQ(size, 16);
  EXPECT_EQ(channels, 2);
}

TEST_F(SoundChannels, DisposingReleasesTheSourceAndBuffersAndLeavesTheChain) {
  Block a(1000, 2);
  SoundCommand c = a.Command();
  QKSndDoCommand(chan, &c, true);
  EXPECT_EQ(QKSndDisposeChannel(chan, false), 0);
  chan = nullptr;
  EXPECT_EQ(firstChan, nullptr);
  EXPECT_TRUE(al.sources.empty());
  EXPECT_TRUE(al.buffers.empty());
}

TEST(SoundChannelsWithoutOpenAL, NoDeviceGivesNoHardwareAtOnce) {
  FakeOpenAL al;
  al.noDevice = true;
  QKSndChannel* chan = nullptr;
  EXPECT_EQ(QKSndNewChannel(&chan, sampledSynth, 0, nullptr), notEnoughHardwareErr);
  EXPECT_EQ(chan, nullptr);
  EXPECT_EQ(firstChan, nullptr);
}

}  // namespace
