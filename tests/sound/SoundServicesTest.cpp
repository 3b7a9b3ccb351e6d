#include <gtest/gtest.h>

#include "FakeOpenAL.h"
#include "graphics/GameWindow.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundServices.h"
#include "support/RecordingDialogs.h"

namespace {

TEST(SoundOutput, StartsWithSixteenSourcesAndNoAlert) {
  FakeOpenAL al;
  RecordingDialogs dialogs;
  EXPECT_EQ(StartSoundOutput(), 16);
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST(SoundOutput, WithoutADeviceTheUserIsToldOnceAndTheProgramGoesOnSilent) {
  FakeOpenAL al;
  al.noDevice = true;
  RecordingDialogs dialogs;
  EXPECT_EQ(StartSoundOutput(), 0);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].kind, DialogReport::Alert);
  EXPECT_EQ(dialogs.Reports()[0].message, "OpenAL is required for sound playback.");
  EXPECT_EQ(dialogs.Reports()[0].button, "OK");
  AlertBeep_Sound();
  EXPECT_TRUE(al.calls.empty());
}

TEST(SoundOutput, TheAlertBeepPlaysOnAPoolSource) {
  FakeOpenAL al;
  StartSoundOutput();
  mainRECT = Rect{0, 0, 480, 640};
  AlertBeep_Sound();
  int playing = 0;
  for (auto& [name, s] : al.sources) playing += s.state == AL_PLAYING;
  EXPECT_EQ(playing, 1);
}

}  // namespace
