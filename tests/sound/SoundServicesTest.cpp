#include <gtest/gtest.h>

#include "FakeOpenAL.h"
#include "graphics/GameWindow.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundServices.h"

namespace {

TEST(AlertBeep, PlaysOnAPoolSource) {
  FakeOpenAL al;
  InitAudio();
  InitALSources();
  mainRECT = Rect{0, 0, 480, 640};
  AlertBeep_Sound();
  AlertBeep_Sound();
  int playing = 0;
  for (auto& [name, s] : al.sources) playing += s.state == AL_PLAYING;
  EXPECT_EQ(playing, 2);
  EXPECT_EQ(al.buffers.size(), 1u);
}

TEST(AlertBeep, IsSilentWithoutOpenAL) {
  FakeOpenAL al;
  al.noDevice = true;
  InitAudio();
  InitALSources();
  AlertBeep_Sound();
  EXPECT_TRUE(al.calls.empty());
}

}  // namespace
