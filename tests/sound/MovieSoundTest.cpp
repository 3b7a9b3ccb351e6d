// A movie's sound track on a channel of its own: played from its start at
// its own rate, at the movie's volume, and gone with Stop.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sound/MovieSound.h"
#include "support/openal/FakeOpenAL.h"

namespace {

TEST(MovieSound, TheTrackPlaysAtItsRateAndVolumeUntilStopped) {
  FakeOpenAL al;
  MovieSoundChannel sound;
  std::vector<SInt16> samples(2 * 30000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = SInt16(i % 2 ? -int(i % 1000) : int(i % 1000));
  sound.Start(samples.data(), 30000, 2, 22050);
  ASSERT_NE(sound.Channel(), nullptr);
  FakeSource& source = al.Source(sound.Channel()->al->source);
  EXPECT_EQ(source.state, AL_PLAYING);
  ASSERT_FALSE(source.queue.empty());
  size_t queued = 0;
  for (ALuint b : source.queue) {
    EXPECT_EQ(al.buffers[b].frequency, 22050);
    queued += al.buffers[b].data.size();
  }
  EXPECT_EQ(queued, samples.size() * 2) << "the whole track, in order";
  const FakeBuffer& first = al.buffers[source.queue[0]];
  EXPECT_EQ(std::memcmp(first.data.data(), samples.data(), 64), 0);

  const struct {
    SInt16 volume;
    float gain;
  } volumes[] = {{192, 0.75f}, {96, 0.375f}, {0, 0.0f}, {256, 1.0f}};
  for (auto v : volumes) {
    sound.SetVolume(v.volume);
    EXPECT_FLOAT_EQ(source.gain, v.gain) << v.volume;
  }

  sound.Stop();
  EXPECT_EQ(sound.Channel(), nullptr);
  EXPECT_TRUE(al.sources.empty());
  sound.SetVolume(100);  // nothing left to act on
}

TEST(MovieSound, WithoutSoundHardwareTheMoviePlaysSilent) {
  FakeOpenAL al;
  al.noDevice = true;
  MovieSoundChannel sound;
  SInt16 samples[8] = {};
  sound.Start(samples, 4, 2, 44100);
  EXPECT_EQ(sound.Channel(), nullptr);
  sound.SetVolume(192);
  sound.Stop();
}

}  // namespace
