#include <gtest/gtest.h>

#include <string>

#include "foundation/MainTimer.h"

namespace {

std::string calls;

void Channels() { calls += "c"; }
void Idle() { calls += "i"; }

class MainTimerTest : public testing::Test {
 protected:
  void SetUp() override { calls.clear(); }
  void TearDown() override { SetAudioBackEnd(nullptr); }
};

TEST_F(MainTimerTest, WithNoBackEndTheAudioServicesDoNothing) {
  ProcessCompressedSoundChannels();
  IdleAudio();
  MainTimer(nullptr);
  EXPECT_EQ(calls, "");
}

TEST_F(MainTimerTest, AnInstalledBackEndIsCalledChannelsFirst) {
  const AudioBackEnd audio = {Channels, Idle};
  const AudioBackEnd* before = SetAudioBackEnd(&audio);
  ProcessCompressedSoundChannels();
  IdleAudio();
  MainTimer(nullptr);
  EXPECT_EQ(calls, "cici");

  // A missing member is skipped; null puts the silent back end back.
  const AudioBackEnd idleOnly = {nullptr, Idle};
  EXPECT_EQ(SetAudioBackEnd(&idleOnly), &audio);
  MainTimer(nullptr);
  EXPECT_EQ(calls, "cicii");
  SetAudioBackEnd(nullptr);
  MainTimer(nullptr);
  EXPECT_EQ(calls, "cicii");
  EXPECT_NE(SetAudioBackEnd(before), &idleOnly);
}

}  // namespace
