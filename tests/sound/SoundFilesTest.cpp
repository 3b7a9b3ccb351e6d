// Sound files from anywhere: damaged ones, ones that claim more than they
// hold, and ones the engine cannot play are refused or played within bounds,
// as an effect and as streamed music, and never end the program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/Paths.h"
#include "sound/CompressedSound.h"
#include "sound/SoundEffects.h"
#include "sound/SoundHeader.h"
#include "sound/SoundLoading.h"
#include "support/Fixtures.h"
#include "support/OggWriter.h"
#include "support/TempFolder.h"
#include "support/openal/FakeOpenAL.h"

namespace {

// Decodes the stream as the music may be: from the start as opened to its
// first empty block, rewound there with the lapped seek as a looping music
// is, twice; asked again past an empty block; rewound without lapping from
// the middle, lapped from the middle and from the start. The bytes decoded
// the first time.
SInt64 StreamAsMusic(CompressedSound& sound) {
  std::vector<char> block(kMusicBlockBytes);
  auto decode = [&](SInt64 limit, int emptyBlocks) {
    SInt64 total = 0;
    for (int empty = 0; total < limit && empty < emptyBlocks;) {
      SInt32 n = sound.GetNextBuffer(block.data(), kMusicBlockBytes);
      empty = n > 0 ? 0 : empty + 1;
      total += std::max<SInt32>(n, 0);
    }
    return total;
  };
  const SInt64 all = SInt64(1) << 31, aFewBlocks = 4 * kMusicBlockBytes;
  SInt64 whole = decode(all, 1);
  sound.Reset();
  decode(all, 1);
  sound.Reset();
  decode(all, 2);
  sound.Rewind();
  decode(whole / 2, 1);
  sound.Reset();
  decode(aFewBlocks, 1);
  sound.Rewind();
  sound.Reset();
  decode(aFewBlocks, 1);
  return whole;
}

class SoundFiles : public ::testing::Test {
 protected:
  FakeOpenAL al;
  TempFolder folder;

  // A file that plays and one whose decoding faults, both named after what
  // the test does with them.
  std::pair<std::string, std::string> GoodAndBadFiles(const std::string& name) {
    std::string good = folder / (name + ".ogg"), bad = folder / (name + "-fpe.ogg");
    EXPECT_TRUE(WriteOggFile(good, SineTone(22050, 2, 44100, 441, 9000), 2, 44100));
    std::filesystem::copy_file(FixturePath("vorbis-fpe.ogg"), bad);
    return {good, bad};
  }
};

TEST_F(SoundFiles, DamagedFilesAreRefusedOrPlayedWithinTheirBounds) {
  // Whether the decoder survives a file that makes it copy a negative size
  // depends on what lies around the copy (a checked build stops there): such
  // a file is either refused or played within bounds.
  enum Verdict { kRefused, kLoaded, kEither };
  struct Case {
    const char* file;
    Verdict verdict;
  } cases[] = {
      {"vorbis-fpe.ogg", kRefused},           {"vorbis-seek-lap-negative-memcpy.ogg", kEither},
      {"vorbis-seek-lap-small.ogg", kEither}, {"vorbisfile-leak-8B.ogg", kEither},
      {"blip-granule-500M.ogg", kLoaded},     {"vorbis-longer-than-claimed-lap-at-end.ogg", kEither},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::string path = FixturePath(c.file);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    const SInt64 most = SInt64(st.st_size) * kMaxSampleBytesPerFileByte;

    QKSndCommand effect;
    OSErr err = LoadSoundFile(&effect, path.c_str());
    if (c.verdict != kEither) {
      EXPECT_EQ(err, c.verdict == kRefused ? -1 : 0);
    }
    if (err == 0) {
      EXPECT_LE(SInt64(GetSoundHeaderSampleLengthInBytes(effect.Header())), most);
    } else {
      EXPECT_EQ(effect.param2, 0);
    }

    CompressedSound music;
    bool loaded = music.Load(path.c_str());
    if (c.verdict == kRefused) {
      EXPECT_FALSE(loaded);
    }
    // The same file gets the same verdict as an effect and as music.
    EXPECT_EQ(loaded, err == 0);
    if (music.Format() == 2) {
      EXPECT_LE(music.Length(), most);
      EXPECT_LE(StreamAsMusic(music), most);
    }

    Music played;
    EXPECT_EQ(LoadMusicFile(&played, path.c_str()), loaded ? 0 : -1);
    played.loop = 1;
    PlayMusic(&played, 1);
    StopMusic(&played);
    PlayMusic(&played, 1);
    DisposeMusic(&played);
  }
}

// A claimed length is no allocation: the effect holds what was decoded.
TEST_F(SoundFiles, AnEffectHoldsWhatWasDecodedNotWhatTheStreamClaims) {
  std::string path = FixturePath("blip-granule-500M.ogg");
  CompressedSound sound;
  ASSERT_TRUE(sound.Load(path.c_str()));
  SInt64 decoded = StreamAsMusic(sound);
  QKSndCommand effect;
  ASSERT_EQ(LoadSoundFile(&effect, path.c_str()), 0);
  EXPECT_EQ(SInt64(GetSoundHeaderSampleLengthInBytes(effect.Header())), decoded);
  EXPECT_LT(decoded, 8 << 20);
}

// Rates the engine's 16.16 fixed point cannot hold are refused, as the
// loader refuses a file that is no Ogg Vorbis stream.
TEST_F(SoundFiles, RatesOfSixtyFiveThousandFiveHundredAndThirtySixHertzOrMoreAreRefused) {
  struct Case {
    long rate;
    bool taken;
  } cases[] = {{8000, true}, {44100, true}, {65535, true}, {65536, false}, {96000, false}, {192000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    std::string path = folder / ("tone" + std::to_string(c.rate) + ".ogg");
    if (!WriteOggFile(path, SineTone(c.rate / 10, 1, c.rate, 441, 9000), 1, c.rate)) {
      ADD_FAILURE() << "the encoder took no file at this rate";
      continue;
    }
    QKSndCommand effect;
    EXPECT_EQ(LoadSoundFile(&effect, path.c_str()), c.taken ? 0 : -1);
    if (c.taken) {
      EXPECT_EQ(QKGetSoundHeaderSampleRate(effect.Header()) >> 16, UInt32(std::min(c.rate, 44100L)));
    }
    Music music;
    EXPECT_EQ(LoadMusicFile(&music, path.c_str()), c.taken ? 0 : -1);
    if (c.taken) {
      EXPECT_EQ(music.Rate(), UInt32(c.rate) << 16);
    }
  }
}

// Checks begun ahead give the loads that follow the same verdicts.
TEST_F(SoundFiles, ChecksBegunAheadGiveTheSameVerdicts) {
  auto [good, bad] = GoodAndBadFiles("ahead");
  CheckSoundFilesAhead({good, bad, folder / "missing.ogg"});
  Music music;
  EXPECT_EQ(LoadMusicFile(&music, good.c_str()), 0);
  EXPECT_EQ(LoadMusicFile(&music, bad.c_str()), -1);
  QKSndCommand effect;
  EXPECT_EQ(LoadSoundFile(&effect, bad.c_str()), -1);
  EXPECT_EQ(LoadSoundFile(&effect, good.c_str()), 0);
}

// The runner installed is what checks each file Load has not checked yet:
// it is handed the program's own check and the path, and its verdict
// stands. Forgetting the checks makes the next load ask again; null puts
// the forking default back, which still refuses a file that faults.
struct RecordingRunner {
  static std::vector<std::string> asked;
  static bool verdict;
  static bool checkPassed;
  static bool Run(bool (*check)(const char* path), const char* path, double seconds) {
    asked.push_back(path);
    EXPECT_GT(seconds, 0);
    checkPassed = check(path);
    return verdict;
  }
};
std::vector<std::string> RecordingRunner::asked;
bool RecordingRunner::verdict;
bool RecordingRunner::checkPassed;

TEST_F(SoundFiles, TheCheckRunnerInstalledGivesTheVerdicts) {
  auto [good, bad] = GoodAndBadFiles("runner");
  ForgetSoundChecks();
  RecordingRunner::asked.clear();
  RecordingRunner::verdict = false;
  EXPECT_EQ(SetSoundCheckRunnerForTesting(RecordingRunner::Run), nullptr);

  CompressedSound sound;
  EXPECT_FALSE(sound.Load(good.c_str()));
  EXPECT_TRUE(RecordingRunner::checkPassed);
  EXPECT_FALSE(sound.Load(good.c_str()));  // the verdict is kept
  EXPECT_EQ(RecordingRunner::asked, std::vector<std::string>{good});

  ForgetSoundChecks();
  RecordingRunner::verdict = true;
  EXPECT_TRUE(sound.Load(good.c_str()));
  QKSndCommand effect;
  EXPECT_EQ(LoadSoundFile(&effect, good.c_str()), 0);
  EXPECT_EQ(RecordingRunner::asked, (std::vector<std::string>{good, good}));

  EXPECT_EQ(SetSoundCheckRunnerForTesting(nullptr), &RecordingRunner::Run);
  ForgetSoundChecks();
  EXPECT_FALSE(sound.Load(bad.c_str()));
  EXPECT_TRUE(sound.Load(good.c_str()));
  EXPECT_EQ(RecordingRunner::asked.size(), 2u);
  EXPECT_EQ(SetSoundCheckRunnerForTesting(nullptr), nullptr);
}

// Forgetting ends the checks begun ahead, and the loads that follow check
// again and give the same verdicts.
TEST_F(SoundFiles, ForgettingEndsTheChecksBegunAhead) {
  auto [good, bad] = GoodAndBadFiles("forget");
  CheckSoundFilesAhead({good, bad});
  ForgetSoundChecks();
  CompressedSound sound;
  EXPECT_FALSE(sound.Load(bad.c_str()));
  EXPECT_TRUE(sound.Load(good.c_str()));
}

// Whether this process has any child left, ended (a zombie) or not.
bool AnyChildLeft() {
  siginfo_t info{};
  return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0;
}

// A check begun ahead whose child has ended is reaped by the servicing of
// the channels, long before its file is loaded, and its verdict still
// stands when the file is loaded later.
TEST_F(SoundFiles, ChecksBegunAheadLeaveNoZombieAndKeepTheirVerdicts) {
  auto [good, bad] = GoodAndBadFiles("reaped");
  ForgetSoundChecks();
  ASSERT_FALSE(AnyChildLeft());
  CheckSoundFilesAhead({good, bad});
  // Both checks end within moments; the timer's servicing reaps them.
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (AnyChildLeft() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ProcessCompressedSoundChannels_Sound();
  }
  EXPECT_FALSE(AnyChildLeft()) << "a finished check stays a zombie";
  Music music;
  EXPECT_EQ(LoadMusicFile(&music, good.c_str()), 0);
  EXPECT_EQ(LoadMusicFile(&music, bad.c_str()), -1);
}

// The effects checked ahead at start-up are the files of the bundle's Audio
// folder, every one of them, so that no effect's load waits on a check of
// its own.
TEST(SoundEffectFiles, TheEffectsCheckedAheadAreTheBundlesAudioFiles) {
  const char* built = std::getenv("HALVANE_BUNDLE");
  if (!built) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  SetBundlePathForTesting(built);
  std::set<std::string> listed, found;
  for (const std::string& path : SoundEffectPaths()) listed.insert(path);
  std::filesystem::path audio = std::filesystem::path(SoundEffectPath("Blip")).parent_path();
  for (const auto& entry : std::filesystem::directory_iterator(audio))
    if (entry.path().extension() == ".ogg") found.insert(entry.path().string());
  SetBundlePathForTesting(nullptr);
  EXPECT_EQ(listed, found);
  EXPECT_EQ(SoundEffectPaths().size(), listed.size()) << "a file is listed twice";
}

// A named pipe in the place of a sound file is unreadable, not a wait.
TEST_F(SoundFiles, ANamedPipeIsRefusedAtOnce) {
  std::string path = folder / "pipe.ogg";
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  QKSndCommand effect;
  EXPECT_EQ(LoadSoundFile(&effect, path.c_str()), -1);
  Music music;
  EXPECT_EQ(LoadMusicFile(&music, path.c_str()), -1);
}

}  // namespace
