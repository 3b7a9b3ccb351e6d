#include <gtest/gtest.h>

#include "foundation/MainTimer.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/MainPrefs.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundServices.h"
#include "support/openal/FakeOpenAL.h"

namespace {

TEST(AlertBeep, PlaysOnAPoolSource) {
  FakeOpenAL al;
  InitAudio();
  InitALSources();
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

TEST(SoundServices, TheMainTimerAndBeepReachTheSoundLayerOnceInstalled) {
  FakeOpenAL al;
  InitAudio();
  InitALSources();
  QKSndChannel* chan = nullptr;
  ASSERT_EQ(QKSndNewChannel(&chan, sampledSynth, 0, nullptr), 0);
  SoundCommand pause{pauseCmd, 0, 0}, resume{resumeCmd, 0, 0}, nothing{clockComponentCmd, 0, 0};
  QKSndDoImmediate(chan, &pause);
  QKSndDoCommand(chan, &nothing, true);
  QKSndDoImmediate(chan, &resume);
  ASSERT_NE(chan->qHead, -1);

  InstallSoundServices();
  MainTimer(nullptr);
  EXPECT_EQ(chan->qHead, -1);
  Beep();
  int playing = 0;
  for (auto& [name, s] : al.sources) playing += s.state == AL_PLAYING;
  EXPECT_EQ(playing, 1);

  SetAudioBackEnd(nullptr);
  SetBeepBackEnd(nullptr);
  loadAudioPrefsProc = nullptr;
  saveAudioPrefsProc = nullptr;
  QKSndDisposeChannel(chan, true);
}

}  // namespace
