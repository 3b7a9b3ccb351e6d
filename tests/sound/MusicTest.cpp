#include <gtest/gtest.h>

#include <numeric>

#include "foundation/Paths.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"
#include "support/FakeTime.h"
#include "support/OggWriter.h"
#include "support/TempFolder.h"
#include "support/openal/FakeOpenAL.h"

namespace {

class MusicStreaming : public ::testing::Test {
 protected:
  FakeOpenAL al;
  FakeTime time;
  TempFolder folder;

  // A stereo 44.1 kHz file of `frames` frames.
  std::string Tune(const char* name, long frames, double hertz = 441) {
    std::string path = folder / name;
    EXPECT_TRUE(WriteOggFile(path, SineTone(frames, 2, 44100, hertz, 9000), 2, 44100));
    return path;
  }
  FakeSource& Source(Music& m) { return al.Source(m.channel.channel->al->source); }
  // Bytes of the blocks handed to OpenAL so far, in order.
  std::vector<size_t> Handed(Music& m) {
    std::vector<size_t> sizes;
    for (ALuint b : Source(m).queue) sizes.push_back(al.buffers[b].data.size());
    return sizes;
  }
};

TEST_F(MusicStreaming, ALoopingMusicGoesFromItsShortLastBlockStraightToItsStart) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("loop.ogg", 6000).c_str()), 0);
  EXPECT_EQ(m.Length(), 24000);
  m.loop = 1;
  PlayMusic(&m, 1);
  EXPECT_TRUE(m.Playing());
  EXPECT_TRUE(m.IsActive());
  std::vector<size_t> sizes = Handed(m);
  ASSERT_EQ(sizes.size(), 8u);
  std::vector<size_t> sums(sizes.size());
  std::partial_sum(sizes.begin(), sizes.end(), sums.begin());
  EXPECT_NE(std::find(sums.begin(), sums.end(), 24000u), sums.end());
  EXPECT_NE(std::find(sums.begin(), sums.end(), 48000u), sums.end());
  for (size_t s : sizes) EXPECT_GT(s, 0u);
  EXPECT_EQ(m.channel.channel->qLength, 14);
}

TEST_F(MusicStreaming, TheQueueIsToppedUpToFourteenBlocks) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("long.ogg", 44100 * 4).c_str()), 0);
  PlayMusic(&m, 1);
  QKSndChannel* chan = m.channel.channel;
  EXPECT_EQ(chan->qHead, chan->qTail);  // full
  EXPECT_TRUE(m.channel.blockReady);
  EXPECT_EQ(Source(m).queue.size(), 8u);
  al.Play(chan->al->source, 3);
  ProcessCompressedSoundChannels_Sound();
  IdleAudio_Sound();
  EXPECT_EQ(chan->qHead, chan->qTail);
}

TEST_F(MusicStreaming, AMusicThatDoesNotLoopStopsAtItsEndRewound) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("once.ogg", 3000).c_str()), 0);
  PlayMusic(&m, 1);
  EXPECT_FALSE(m.Playing());
  EXPECT_FALSE(m.IsActive());
  EXPECT_EQ(m.Position(), 0);
  std::vector<size_t> sizes = Handed(m);
  EXPECT_EQ(std::accumulate(sizes.begin(), sizes.end(), size_t(0)), 12000u);
}

TEST_F(MusicStreaming, APendingSoundBecomesCurrentAtTheEndAndStopsWithoutPlaying) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("first.ogg", 44100 * 2).c_str()), 0);
  CompressedSound next;
  ASSERT_TRUE(next.Load(Tune("next.ogg", 2000).c_str()));
  PlayMusic(&m, 1);
  m.channel.Play(&next, false);
  EXPECT_EQ(m.channel.nextSound, &next);
  EXPECT_EQ(m.channel.Sound(), static_cast<CompressedSound*>(&m));
  // Play the whole first file through.
  for (int i = 0; i < 40 && m.Playing(); i++) {
    al.Play(m.channel.channel->al->source, 8);
    ProcessCompressedSoundChannels_Sound();
    IdleAudio_Sound();
  }
  EXPECT_FALSE(m.Playing());
  EXPECT_EQ(m.channel.Sound(), &next);
  EXPECT_EQ(m.channel.nextSound, nullptr);
  EXPECT_EQ(next.Position(), 0);
}

TEST_F(MusicStreaming, AnEmptyLoopingStreamStopsInsteadOfSpinning) {
  Music m;
  std::string path = folder / "empty.ogg";
  ASSERT_TRUE(WriteOggFile(path, {}, 2, 44100));
  ASSERT_EQ(LoadMusicFile(&m, path.c_str()), 0);
  m.loop = 1;
  PlayMusic(&m, 1);
  EXPECT_FALSE(m.Playing());
  ProcessCompressedSoundChannels_Sound();
  EXPECT_TRUE(Source(m).queue.empty());
}

TEST_F(MusicStreaming, AFadeOfTwoSecondsIsHalfWayAfterOneAndEndsAtTwo) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("fade.ogg", 1000).c_str()), 0);
  EXPECT_EQ(m.channel.GetVolume(), 256);
  m.channel.SetVolume(0, 2.0f);
  time.AdvanceMicros(1000000);
  m.channel.FX();
  EXPECT_EQ(m.channel.GetVolume(), 128);
  EXPECT_FLOAT_EQ(Source(m).gain, float((192 * 128 / 256 + 192 * 128 / 256) / 2) / 256.0f);
  time.AdvanceMicros(1000000);
  m.channel.FX();
  EXPECT_EQ(m.channel.GetVolume(), 0);
  EXPECT_EQ(Source(m).gain, 0.0f);
  EXPECT_EQ(m.channel.fadeEndTime, 0.0);
}

TEST_F(MusicStreaming, TheMusicVolumeSettingActsTwice) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("vol.ogg", 1000).c_str()), 0);
  EXPECT_FLOAT_EQ(Source(m).gain, 0.75f);
  SetMusicVolume(&m, 255);
  EXPECT_FLOAT_EQ(Source(m).gain, 0.5625f);
  EXPECT_EQ(m.channel.RealVolume(), 255);
  audioPREFS.musicVolume = 255;
  UpdateMusicVolume();
  EXPECT_FLOAT_EQ(Source(m).gain, 255.0f / 256.0f * 0 + float(255 * 255 / 256) / 256.0f);
}

TEST_F(MusicStreaming, MusicOffMakesALoopingMusicActiveWithoutPlayingIt) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("off.ogg", 44100).c_str()), 0);
  m.loop = 1;
  audioPREFS.musicOn = 0;
  PlayMusic(&m, 1);
  EXPECT_TRUE(m.IsActive());
  EXPECT_FALSE(m.Playing());
  UnPauseMusic(&m);
  EXPECT_FALSE(m.Playing());
  audioPREFS.musicOn = 1;
  UnPauseMusic(&m);
  EXPECT_TRUE(m.Playing());
}

TEST_F(MusicStreaming, PauseHoldsTheStreamAndUnPauseGoesOn) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("pause.ogg", 44100 * 3).c_str()), 0);
  PlayMusic(&m, 1);
  PauseMusic(&m);
  EXPECT_TRUE(m.channel.Paused());
  EXPECT_TRUE(m.channel.channel->wait);
  UnPauseMusic(&m);
  EXPECT_TRUE(m.Playing());
  EXPECT_FALSE(m.channel.channel->wait);
}

TEST_F(MusicStreaming, AfterAPauseLongEnoughToRunDryOnlyNewBlocksAreHeard) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("dry.ogg", 44100 * 3).c_str()), 0);
  PlayMusic(&m, 1);
  PauseMusic(&m);
  FakeSource& source = Source(m);
  std::vector<std::vector<unsigned char>> old;
  for (ALuint b : source.queue) old.push_back(al.buffers[b].data);
  al.Play(m.channel.channel->al->source, 8);
  ASSERT_EQ(source.state, AL_STOPPED);
  UnPauseMusic(&m);
  IdleAudio_Sound();  // the main timer's next pass
  EXPECT_EQ(source.state, AL_PLAYING);
  ASSERT_EQ(source.queue.size(), 1u);
  EXPECT_EQ(source.heard.back(), source.queue.front());
  for (const auto& data : old) EXPECT_NE(al.buffers[source.queue.front()].data, data);
}

TEST_F(MusicStreaming, StoppingSilencesTheSourceAndASecondStopChangesNothing) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("stop.ogg", 44100 * 3).c_str()), 0);
  PlayMusic(&m, 1);
  PauseMusic(&m);
  StopMusic(&m);
  EXPECT_TRUE(m.channel.Stopped());
  EXPECT_EQ(Source(m).state, AL_STOPPED);
  EXPECT_TRUE(Source(m).queue.empty());
  EXPECT_FALSE(m.channel.channel->wait);
  EXPECT_EQ(m.Position(), 0);
  StopMusic(&m);
  EXPECT_TRUE(m.channel.Stopped());
  EXPECT_TRUE(Source(m).queue.empty());
}

TEST_F(MusicStreaming, AMissingFileLeavesTheMusicStoppedAndClosed) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("ok.ogg", 1000).c_str()), 0);
  EXPECT_EQ(LoadMusicFile(&m, (folder / "none.ogg").c_str()), -1);
  EXPECT_EQ(m.Format(), 0);
  EXPECT_EQ(m.fileName, folder / "ok.ogg");
  PlayMusic(&m, 1);
  EXPECT_FALSE(m.Playing());
}

TEST_F(MusicStreaming, LoadMusicFindsTheFileInTheBundleAndKeepsTheShortName) {
  folder.MakeFolder("Contents/Resources/Music");
  ASSERT_TRUE(WriteOggFile(folder / "Contents/Resources/Music/Title.ogg", SineTone(500, 2, 44100, 441, 100), 2, 44100));
  SetBundlePathForTesting(folder.Path().c_str());
  Music m;
  EXPECT_EQ(LoadMusic(&m, "Music/Title"), 0);
  EXPECT_EQ(m.fileName, "Music/Title");
  EXPECT_EQ(LoadMusic(&m, "Music/Nothing"), -1);
  SetBundlePathForTesting(nullptr);
}

TEST_F(MusicStreaming, StopAndStartActiveMusicBringBackWhatWasPlaying) {
  Music a, b;
  ASSERT_EQ(LoadMusicFile(&a, Tune("a.ogg", 44100 * 3).c_str()), 0);
  ASSERT_EQ(LoadMusicFile(&b, Tune("b.ogg", 44100 * 3).c_str()), 0);
  PlayMusic(&a, 1);
  StopActiveMusic();
  EXPECT_FALSE(a.Playing());
  activeMusicCount = 1;
  StartActiveMusic();
  EXPECT_TRUE(a.Playing());
  EXPECT_FALSE(b.Playing());
  CheckActiveMusic();
  activeMusicCount = 0;
}

TEST_F(MusicStreaming, DurationIsHeldToWhatTheRingCanTime) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("d.ogg", 100).c_str()), 0);
  EXPECT_EQ(m.channel.SetDuration(5000.0f), 1486.0f);
  EXPECT_EQ(m.channel.SetDuration(3.5f), 3.5f);
}

TEST(MusicWithoutOpenAL, EveryCallDoesNothing) {
  FakeOpenAL al;
  al.noDevice = true;
  TempFolder folder;
  std::string path = folder / "t.ogg";
  ASSERT_TRUE(WriteOggFile(path, SineTone(1000, 2, 44100, 441, 100), 2, 44100));
  Music m;
  EXPECT_EQ(LoadMusicFile(&m, path.c_str()), 0);
  m.loop = 1;
  PlayMusic(&m, 1);
  SetMusicVolume(&m, 100);
  ProcessCompressedSoundChannels_Sound();
  EXPECT_FALSE(m.Playing());
  EXPECT_EQ(m.channel.channel, nullptr);
}

TEST(CompressedSoundFiles, ForeignFilesAreRefusedAndClosed) {
  TempFolder folder;
  CompressedSound s;
  EXPECT_FALSE(s.Load(folder.Write("x.ogg", std::string(5000, 'x')).c_str()));
  EXPECT_FALSE(s.Load((folder / "missing.ogg").c_str()));
  EXPECT_EQ(s.Channels(), 0);
  EXPECT_EQ(s.Rate(), 0u);
  EXPECT_EQ(s.Length(), 0);
  char buffer[16];
  EXPECT_EQ(s.GetNextBuffer(buffer, 16), 0);
  EXPECT_EQ(s.GetBufferSize(), 0);
}

}  // namespace
