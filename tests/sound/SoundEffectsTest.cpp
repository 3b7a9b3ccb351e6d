#include <gtest/gtest.h>

#include <algorithm>

#include "sound/AudioPrefs.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundLoading.h"
#include "support/openal/FakeOpenAL.h"

namespace {

class SoundEffects : public ::testing::Test {
 protected:
  FakeOpenAL al;
  void SetUp() override {
    InitAudio();
    ASSERT_EQ(InitALSources(), 16);
    Rect r{0, 0, 480, 640};
    SetupSound2DRect(&r);
  }
  // A one-buffer sound.
  void Fill(ALSound& sound) {
    short samples[4] = {1, 2, 3, 4};
    ASSERT_EQ(sound.Setup(AL_FORMAT_MONO16, samples, sizeof samples, 44100, 0), 1);
  }
  int SlotOf(unsigned source) { return int(std::find(mainALSOURCE, mainALSOURCE + 16, source) - mainALSOURCE); }
};

TEST_F(SoundEffects, PoolMakesSixteenSourcesOnceAndListensFromTheFront) {
  EXPECT_EQ(NumALSources(), 16);
  EXPECT_EQ(InitALSources(), 16);
  EXPECT_EQ(al.sources.size(), 16u);
}

TEST_F(SoundEffects, SeventeenSoundsInOneStepRotateAndTheLastCutsOneOff) {
  ALSound sound;
  Fill(sound);
  std::vector<int> slots;
  for (int i = 0; i < 17; i++) {
    unsigned source = NextChan_Game();
    slots.push_back(SlotOf(source));
    PlaySound_Stereo_Game(&sound, source, nullptr, 1.0f, 1.0f, 0);
  }
  std::vector<int> expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1};
  EXPECT_EQ(slots, expected);
}

TEST_F(SoundEffects, AnIdleSourceIsPreferredOverThePlayingOneAfterTheLast) {
  ALSound sound;
  Fill(sound);
  PlaySound_Game(&sound, NextChan_Game(), nullptr, 1, 1, 0);  // slot 1
  PlaySound_Game(&sound, NextChan_Game(), nullptr, 1, 1, 0);  // slot 2
  ReserveALSource(3, 1);
  EXPECT_EQ(SlotOf(FreeChan_Game()), 4);
  EXPECT_EQ(ALSourceReserved(3), 1);
  EXPECT_EQ(ALSourceReserved(16), 0);
}

TEST_F(SoundEffects, PlacementFollowsTheRectangleAndDividesBothAxesByTheHalfWidth) {
  struct Case {
    int h, v;
    float x, y;
  } cases[] = {{0, 0, -1.0f, -0.75f}, {640, 480, 1.0f, 0.75f}, {320, 240, 0, 0}, {480, 120, 0.5f, -0.375f}};
  ALSound sound;
  Fill(sound);
  for (const Case& c : cases) {
    unsigned source = NextChan_Game();
    PlaySound2D(sound.Buffer(0), source, c.h, c.v, 1, 1, 0);
    EXPECT_FLOAT_EQ(al.Source(source).position[0], c.x) << c.h;
    EXPECT_FLOAT_EQ(al.Source(source).position[1], c.y) << c.v;
    EXPECT_EQ(al.Source(source).state, AL_PLAYING);
  }
}

TEST_F(SoundEffects, ARectangleIsPlacedByItsTruncatedCentreAndNoRectangleInTheMiddle) {
  ALSound sound;
  Fill(sound);
  unsigned source = NextChan_Game();
  Rect r{10, 0, 21, 5};  // centre (2, 15)
  PlaySound_Game(&sound, source, &r, 1, 1, 0);
  EXPECT_FLOAT_EQ(al.Source(source).position[0], (2 - 320) / 320.0f);
  EXPECT_FLOAT_EQ(al.Source(source).position[1], (15 - 240) / 320.0f);
  // Without a rectangle the sound is in the middle of the sound layer's own.
  Rect larger{0, 0, 600, 800};
  SetupSound2DRect(&larger);
  PlaySound_Game(&sound, source, nullptr, 1, 1, 0);
  EXPECT_FLOAT_EQ(al.Source(source).position[0], 0);
  EXPECT_FLOAT_EQ(al.Source(source).position[1], 0);
}

TEST_F(SoundEffects, GainIsSoundVolumeTimesVolumeOver255AndPitchAndLoopArePassed) {
  ALSound sound;
  Fill(sound);
  unsigned source = NextChan_Game();
  PlaySound_Game(&sound, source, nullptr, 1.0f, 0.25f, 1);
  EXPECT_NEAR(al.Source(source).gain, 0.7529, 1e-4);
  EXPECT_FLOAT_EQ(al.Source(source).pitch, 0.25f);
  EXPECT_EQ(al.Source(source).looping, 1);
  SetChanVolume_Game(source, 51);
  EXPECT_FLOAT_EQ(al.Source(source).gain, 0.2f);
}

TEST_F(SoundEffects, WithSoundOffOrNoSourceNothingIsTouched) {
  ALSound sound;
  Fill(sound);
  unsigned source = NextChan_Game();
  audioPREFS.soundOn = 0;
  al.calls.clear();
  PlaySound_Game(&sound, source, nullptr, 1, 1, 0);
  audioPREFS.soundOn = 1;
  PlaySound_Game(&sound, 0, nullptr, 1, 1, 0);
  PlaySound(nullptr, source, nullptr, 1, 1, 0);
  PauseChannel_Game(source, 2);
  EXPECT_TRUE(al.calls.empty());
}

TEST_F(SoundEffects, AnEmptyRectangleCentresEverySound) {
  Rect none{0, 0, 0, 0};
  SetupSound2DRect(&none);
  ALSound sound;
  Fill(sound);
  unsigned source = NextChan_Game();
  PlaySound2D(sound.Buffer(0), source, 100, 50, 1, 1, 0);
  EXPECT_EQ(al.Source(source).position[0], 0.0f);
  EXPECT_EQ(al.Source(source).position[1], 0.0f);
}

TEST_F(SoundEffects, PauseAndResumeAChannel) {
  ALSound sound;
  Fill(sound);
  unsigned source = NextChan_Game();
  PlaySound_Game(&sound, source, nullptr, 1, 1, 0);
  PauseChannel_Game(source, 1);
  EXPECT_EQ(al.Source(source).state, AL_PAUSED);
  PauseChannel_Game(source, 0);
  EXPECT_EQ(al.Source(source).state, AL_PLAYING);
  QuietChannel_Game(source);
  EXPECT_EQ(al.Source(source).state, AL_STOPPED);
}

TEST_F(SoundEffects, DisposingASoundStopsAndDetachesExactlyTheSourcesHoldingIt) {
  ALSound a, b;
  Fill(a);
  Fill(b);
  unsigned s1 = NextChan_Game(), s2 = NextChan_Game(), s3 = NextChan_Game();
  PlaySound_Game(&a, s1, nullptr, 1, 1, 0);
  PlaySound_Game(&b, s2, nullptr, 1, 1, 0);
  PlaySound_Game(&a, s3, nullptr, 1, 1, 0);
  unsigned buffer = a.Buffer(0);
  EXPECT_TRUE(ChannelIsPlayingSound(s1, &a));
  a.Dispose(-1);
  EXPECT_FALSE(IsSoundLoaded(&a));
  EXPECT_EQ(al.buffers.count(buffer), 0u);
  EXPECT_EQ(al.Source(s1).state, AL_STOPPED);
  EXPECT_EQ(al.Source(s3).state, AL_STOPPED);
  EXPECT_EQ(al.Source(s2).state, AL_PLAYING);
  EXPECT_TRUE(ChannelIsPlayingSound(s2, &b));
  EXPECT_FALSE(ChannelIsPlayingSound(s1, &a));
}

TEST_F(SoundEffects, ReloadingAPlayedSoundReplacesItsSamplesInTheSameBuffer) {
  ALSound sound;
  Fill(sound);
  unsigned buffer = sound.Buffer(0);
  unsigned source = NextChan_Game();
  PlaySound_Game(&sound, source, nullptr, 1, 1, 0);
  al.Play(source, 1);
  short longer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(sound.Setup(AL_FORMAT_MONO16, longer, sizeof longer, 22050, 0), 1);
  EXPECT_EQ(sound.Buffer(0), buffer);
  EXPECT_EQ(al.buffers[buffer].data.size(), sizeof longer);
  EXPECT_EQ(al.buffers[buffer].frequency, 22050);
}

TEST_F(SoundEffects, BufferSlotsAndFailures) {
  ALSound sound;
  short s[2] = {0, 0};
  EXPECT_EQ(sound.Setup(AL_FORMAT_MONO16, s, 4, 44100, 2), 0);
  al.bufferFailures = 1;
  EXPECT_EQ(sound.Setup(AL_FORMAT_MONO16, s, 4, 44100, 0), 0);
  EXPECT_EQ(sound.Buffer(0), 0u);
  EXPECT_EQ(sound.Setup(AL_FORMAT_MONO16, s, 4, 0, 0), 0);  // bad rate: emptied, kept
  EXPECT_NE(sound.Buffer(0), 0u);
  EXPECT_EQ(sound.Setup(AL_FORMAT_MONO16, s, 4, 8000, 1), 1);
  EXPECT_EQ(sound.Buffer(7), sound.Buffer(0));
  EXPECT_NE(sound.Buffer(1), sound.Buffer(0));
  sound.Dispose(2);
  EXPECT_TRUE(IsSoundLoaded(&sound));
  DisposeSound_Game(&sound);
  EXPECT_FALSE(IsSoundLoaded(&sound));
}

TEST_F(SoundEffects, DisposingThePoolLeavesNoSource) {
  DisposeALSources();
  EXPECT_EQ(NumALSources(), 0);
  EXPECT_TRUE(al.sources.empty());
  EXPECT_EQ(NextChan_Game(), 0u);
  EXPECT_EQ(FreeChan_Game(), 0u);
}

TEST(SoundEffectsWithoutOpenAL, NoDeviceMeansNoSourcesAndSilentPlays) {
  FakeOpenAL al;
  al.noDevice = true;
  InitAudio();
  EXPECT_EQ(InitALSources(), 0);
  EXPECT_EQ(NextChan_Game(), 0u);
  ALSound sound;
  PlaySound_Stereo_Game(&sound, NextChan_Game(), nullptr, 1, 1, 0);
  EXPECT_TRUE(al.calls.empty());
}

TEST(SoundEffectsWithoutOpenAL, APoolStopsAtTheFirstSourceThatCannotBeMade) {
  FakeOpenAL al;
  al.sourceLimit = 5;
  InitAudio();
  EXPECT_EQ(InitALSources(), 5);
}

}  // namespace
