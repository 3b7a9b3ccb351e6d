// The real library with no output it can open: no source is made, and
// everything after is silent and quick. OpenAL reads its drivers once
// per process, so this runs in a process of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "foundation/PlistTag.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "support/OggWriter.h"
#include "support/TempFolder.h"

namespace {

int RunSilently() {
  setenv("ALSOFT_DRIVERS", "no-such-output", 1);
  TempFolder folder;
  std::string path = folder / "t.ogg";
  if (!WriteOggFile(path, SineTone(2000, 2, 44100, 441, 100), 2, 44100)) return 2;
  auto start = std::chrono::steady_clock::now();
  soundInited = 0;
  InitAudio();
  if (InitALSources() != 0) return 3;
  PlistTag prefs;
  LoadAudioPrefs(&prefs);
  Music music;
  LoadMusicFile(&music, path.c_str());
  music.loop = 1;
  PlayMusic(&music, 1);
  ProcessCompressedSoundChannels_Sound();
  IdleAudio_Sound();
  ALSound sound;
  PlaySound_Stereo_Game(&sound, NextChan_Game(), nullptr, 1, 1, 0);
  if (music.Playing()) return 5;
  if (std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) return 6;
  return 0;
}

TEST(NoAudioDevice, NoSourceIsMadeAndEverythingGoesOnSilentAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(RunSilently()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
