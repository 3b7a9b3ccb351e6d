// The real OpenAL library writing what it plays into a wave file: what was
// heard is read back from the file.
// (One process holds every test of the real library: it reads its settings
// once, so they all share the one fixture.)
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "foundation/MainTimer.h"
#include "foundation/Memory.h"
#include "foundation/Paths.h"
#include "foundation/StringLibrary.h"
#include "foundation/Timer.h"
#include "graphics/RenderedDialogs.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/StandardDialog.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"
#include "sound/OpenALTable.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundMixer.h"
#include "sound/SoundServices.h"
#include "support/DisplayCheck.h"
#include "support/OggWriter.h"
#include "support/TempFolder.h"

namespace {

struct Wave {
  int channels = 0;
  int rate = 0;
  std::vector<int16_t> samples;  // interleaved
  long Frames() const { return channels ? long(samples.size()) / channels : 0; }
};

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

Wave ReadWave(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  Wave wave;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 12 || std::memcmp(p, "RIFF", 4) != 0) return wave;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    uint32_t size = Le32(p + at + 4);
    if (std::memcmp(p + at, "fmt ", 4) == 0) {
      wave.channels = Le16(p + at + 10);
      wave.rate = int(Le32(p + at + 12));
    } else if (std::memcmp(p + at, "data", 4) == 0) {
      size_t n = std::min<size_t>(size, bytes.size() - at - 8) / 2;
      wave.samples.resize(n);
      std::memcpy(wave.samples.data(), p + at + 8, n * 2);
    }
    at += 8 + size + (size & 1);
  }
  return wave;
}

double Rms(const Wave& w, int channel, long from, long to) {
  double sum = 0;
  for (long i = from; i < to; i++) sum += std::pow(double(w.samples[size_t(i * w.channels + channel)]), 2);
  return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

// OpenAL Soft with its wave-file output, 16-bit stereo at 44.1 kHz. The
// library reads its settings once per process, so every test of the process
// writes the same file, made afresh each time the device opens.
class WaveOutput : public ::testing::Test {
 protected:
  static TempFolder& Folder() {
    static TempFolder folder;
    return folder;
  }
  TempFolder& folder = Folder();
  std::string wavePath = Folder() / "heard.wav";

  void SetUp() override {
    static bool configured = false;
    if (!configured) {
      std::string config =
          // The limiter off: what is heard is the mix the program makes, not
          // one the library has saved from clipping.
          "[general]\nchannels = stereo\nsample-type = int16\nfrequency = 44100\nhrtf = false\noutput-limiter = false\n"
          "[wave]\nfile = " +
          wavePath + "\n";
      setenv("ALSOFT_CONF", folder.Write("alsoft.conf", config).c_str(), 1);
      setenv("ALSOFT_DRIVERS", "wave", 1);
      configured = true;
    }
    // A test that ended early (skipped or failed) leaves its device open, and
    // two devices would write the same file.
    if (myALDevice) Finish();
    // Channels left by an earlier test belong to a device that is closed.
    soundInited = 0;
    firstChan = nullptr;
    InitAudio();
    ASSERT_NE(myALContext, nullptr) << "OpenAL's wave output did not open";
  }
  // Closing the device finishes the file.
  Wave Finish() {
    openAL->alcMakeContextCurrent(nullptr);
    openAL->alcDestroyContext(myALContext);
    openAL->alcCloseDevice(myALDevice);
    myALContext = nullptr;
    myALDevice = nullptr;
    return ReadWave(wavePath);
  }
  static void Wait(double seconds, bool service) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (service) {
        ProcessCompressedSoundChannels_Sound();
        IdleAudio_Sound();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
};

// The frame where the output first carries sound.
long Onset(const Wave& w) {
  for (long i = 0; i < w.Frames(); i++)
    if (std::abs(w.samples[size_t(i * 2)]) > 500 || std::abs(w.samples[size_t(i * 2 + 1)]) > 500) return i;
  return -1;
}

TEST_F(WaveOutput, AnEffectIsHeardOnTheSideOfTheScreenWhereItIsMade) {
  ASSERT_GE(InitALSources(), 2);
  Rect screen{0, 0, 480, 640};
  SetupSound2DRect(&screen);
  std::vector<int16_t> tone = SineTone(44100 / 4, 1, 44100, 440, 20000);
  ALSound sound;
  ASSERT_EQ(sound.Setup(AL_FORMAT_MONO16, tone.data(), unsigned(tone.size() * 2), 44100, 0), 1);
  Rect left{230, 0, 250, 20};
  PlaySound_Stereo_Game(&sound, NextChan_Game(), &left, 1.0f, 1.0f, 0);
  Wait(0.45, false);
  Rect right{230, 620, 250, 640};
  PlaySound_Stereo_Game(&sound, NextChan_Game(), &right, 1.0f, 1.0f, 0);
  Wait(0.45, false);
  sound.Dispose(-1);
  Wave w = Finish();
  ASSERT_EQ(w.channels, 2);
  long onset = Onset(w);
  ASSERT_GE(onset, 0);
  long quarter = 44100 / 4;
  // The first sound, then the second, which starts about 0.45 s later.
  long second = onset + quarter;
  while (second + 441 < w.Frames() && Rms(w, 0, second, second + 441) + Rms(w, 1, second, second + 441) > 200) second++;
  second = Onset(Wave{2, w.rate, std::vector<int16_t>(w.samples.begin() + second * 2, w.samples.end())}) + second;
  ASSERT_LT(second + quarter / 2, w.Frames());
  double firstLeft = Rms(w, 0, onset, onset + quarter / 2), firstRight = Rms(w, 1, onset, onset + quarter / 2);
  double secondLeft = Rms(w, 0, second, second + quarter / 2), secondRight = Rms(w, 1, second, second + quarter / 2);
  EXPECT_GT(firstLeft, 2 * firstRight);
  EXPECT_GT(secondRight, 2 * secondLeft);
  DisposeALSources();
}

TEST_F(WaveOutput, AnEffectThatWasPlayedCanBeLoadedAgainAndDisposed) {
  ASSERT_GE(InitALSources(), 1);
  Rect screen{0, 0, 480, 640};
  SetupSound2DRect(&screen);
  std::vector<int16_t> tone = SineTone(441, 1, 44100, 440, 20000);
  ALSound sound;
  ASSERT_EQ(sound.Setup(AL_FORMAT_MONO16, tone.data(), unsigned(tone.size() * 2), 44100, 0), 1);
  unsigned source = NextChan_Game();
  PlaySound_Game(&sound, source, &screen, 1, 1, 0);
  Wait(0.1, false);
  std::vector<int16_t> longer = SineTone(4410, 1, 44100, 660, 20000);
  EXPECT_EQ(sound.Setup(AL_FORMAT_MONO16, longer.data(), unsigned(longer.size() * 2), 44100, 0), 1);
  PlaySound_Game(&sound, source, &screen, 1, 1, 0);
  sound.Dispose(-1);
  EXPECT_EQ(openAL->alGetError(), AL_NO_ERROR);
  EXPECT_FALSE(IsSoundLoaded(&sound));
  DisposeALSources();
  Finish();
}

TEST_F(WaveOutput, ALoopingStreamHasNoGapAtItsLoopPointAndPlaysAtItsOwnRate) {
  // 0.2 s of a 441 Hz tone at 22,050 Hz: whole periods, so the loop joins.
  std::string path = folder / "loop.ogg";
  ASSERT_TRUE(WriteOggFile(path, SineTone(4410, 2, 22050, 441, 16000), 2, 22050));
  Music music;
  ASSERT_EQ(LoadMusicFile(&music, path.c_str()), 0);
  music.loop = 1;
  PlayMusic(&music, 1);
  Wait(1.2, true);
  StopMusic(&music);
  // The music's engine channel goes before the device it plays on.
  QKSndDisposeChannel(music.channel.channel, true);
  music.channel.channel = nullptr;
  Wave w = Finish();
  long onset = Onset(w);
  ASSERT_GE(onset, 0);
  long end = onset + long(44100 * 0.9);
  ASSERT_LT(end, w.Frames());
  // No stretch of 2 ms or more falls silent over four loops and more.
  long quiet = 0, longest = 0;
  for (long i = onset; i < end; i++) {
    quiet = std::abs(w.samples[size_t(i * 2)]) < 200 ? quiet + 1 : 0;
    longest = std::max(longest, quiet);
  }
  EXPECT_LT(longest, 88);
  // 441 Hz crosses zero upwards 441 times a second; at twice the speed it would be 882.
  int crossings = 0;
  for (long i = onset + 1; i < onset + 44100 / 2; i++)
    if (w.samples[size_t((i - 1) * 2)] < 0 && w.samples[size_t(i * 2)] >= 0) crossings++;
  EXPECT_NEAR(crossings, 441 / 2, 10);
}

TEST_F(WaveOutput, TheFourMusicLoopsOfTheBundleAreHeardAndAFadeLowersThem) {
  const char* built = std::getenv("HALVANE_BUNDLE");
  if (!built) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  SetBundlePathForTesting(built);
  // As the program does at its start: the checks of the files run while the
  // first is loaded, so that each later load is as quick as it is in play.
  CheckSoundFilesAhead(
      {MusicPath("Music/Title"), MusicPath("Music/Main"), MusicPath("Music/Game"), MusicPath("Music/Boss")});
  Music music;
  SetMusicLoop(&music, 1);
  for (const char* name : {"Music/Title", "Music/Main", "Music/Game", "Music/Boss"}) {
    ASSERT_EQ(LoadMusic(&music, name), 0) << name;
    SetMusicVolume(&music, 255);
    PlayMusic(&music, 1);
    Wait(0.4, true);
    StopMusic(&music);
  }
  // The last one again, faded out over a quarter of a second.
  PlayMusic(&music, 1);
  Wait(0.3, true);
  music.channel.SetVolume(0, 0.25f);
  Wait(0.5, true);
  StopMusic(&music);
  SetBundlePathForTesting(nullptr);
  // The music's engine channel goes before the device it plays on.
  QKSndDisposeChannel(music.channel.channel, true);
  music.channel.channel = nullptr;
  Wave w = Finish();
  long onset = Onset(w);
  ASSERT_GE(onset, 0);
  // Each of the four pieces fills its 0.4 s with sound.
  for (int i = 0; i < 4; i++) {
    long from = onset + long(44100 * (0.4 * i + 0.1)), to = from + 44100 / 10;
    ASSERT_LT(to, w.Frames());
    EXPECT_GT(Rms(w, 0, from, to) + Rms(w, 1, from, to), 300) << i;
  }
  // The file ends as the music stops: the fade began half a second before
  // and was over a quarter of a second later.
  long end = w.Frames(), tenth = 44100 / 10;
  long playing = end - long(44100 * 0.75), faded = end - long(44100 * 0.2);
  ASSERT_GT(playing, onset);
  double before = Rms(w, 0, playing, playing + tenth) + Rms(w, 1, playing, playing + tenth);
  double after = Rms(w, 0, faded, faded + tenth) + Rms(w, 1, faded, faded + tenth);
  EXPECT_GT(before, 300);
  EXPECT_LT(after, before / 4);
}

TEST_F(WaveOutput, TheSoftwareMixerIsHeardWhileItRunsAndStopsWithIt) {
  const AudioPrefs saved = audioPREFS;
  audioPREFS.soundOn = 1;
  audioPREFS.soundVolume = 255;
  audioPREFS.sampleRate = kRate22khz;
  audioPREFS.sampleSize = 16;
  audioPREFS.stereo = 1;
  audioPREFS.numChannels = 4;
  // 0.1 s of a 441 Hz tone at 22,050 Hz, repeated: whole periods, so it joins.
  std::vector<int16_t> tone = SineTone(2205, 1, 22050, 441, 16000);
  QKSndCommand sound;
  Ptr block = QKNewPtrClear(SInt32(kExtendedHeaderLength + tone.size() * 2));
  auto* header = reinterpret_cast<QKSoundHeader*>(block);
  header->bytes[kSHEncode] = extSH;
  SHSet32(header, kSHNumChannels, 1);
  SHSet32(header, kSHSampleRate, kRate22khz);
  SHSet32(header, kSHNumFrames, UInt32(tone.size()));
  SHSet16(header, kSHSampleSize, 16);
  std::memcpy(header->bytes + kExtendedHeaderLength, tone.data(), tone.size() * 2);
  sound.param2 = reinterpret_cast<intptr_t>(block);

  InitSoundMixer();
  ASSERT_TRUE(s_mixerInited);
  MixerChannel* channel = NextChan();
  ASSERT_NE(channel, nullptr);
  PlaySound_StereoLR(&sound, 256, 256, channel);
  channel->repeat = 1;
  // Only the sound channels are idled: the streams of earlier tests stay
  // where their closed device left them. The sound is heard behind the
  // buffers mixed before it started (about 0.4 s).
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  while (std::chrono::steady_clock::now() < until) {
    IdleAudio_Sound();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  DisposeSoundMixer_Sound();
  audioPREFS = saved;
  EXPECT_EQ(sound.playCount, 0);
  Wait(0.3, false);
  Wave w = Finish();
  long onset = Onset(w);
  ASSERT_GE(onset, 0);
  long end = onset + 44100 / 2;
  ASSERT_LT(end, w.Frames());
  EXPECT_GT(Rms(w, 0, onset, end), 3000);
  EXPECT_GT(Rms(w, 1, onset, end), 3000);
  // Played at its own rate: 441 upward zero crossings a second.
  int crossings = 0;
  for (long i = onset + 1; i < end; i++)
    if (w.samples[size_t((i - 1) * 2)] < 0 && w.samples[size_t(i * 2)] >= 0) crossings++;
  EXPECT_NEAR(crossings, 441 / 2, 10);
  // Once the mixer is gone, its channel falls silent.
  ASSERT_GT(w.Frames(), 44100 / 10);
  EXPECT_LT(Rms(w, 0, w.Frames() - 44100 / 10, w.Frames()), 50);
}

// Ends the process when a dialog blocks the test instead of letting it run:
// no test may wait on a real modal dialog.
class Watchdog {
 public:
  explicit Watchdog(int seconds)
      : thread_([this, seconds] {
          for (int i = 0; i < seconds * 10 && !done_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
          if (!done_) {
            std::fprintf(stderr, "the dialog blocked the program\n");
            std::abort();
          }
        }) {}
  ~Watchdog() {
    done_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

TEST_F(WaveOutput, AMessageDialogUpForTwoSecondsDoesNotStarveTheMusic) {
  if (!DisplayNamed() || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    ReportNoDisplay(std::string("no display: ") + SDL_GetError());
    return;
  }
  InstallSoundServices();
  std::string path = folder / "tone.ogg";
  // 44.1 kHz stereo: the engine's buffers hold well under two seconds of it.
  ASSERT_TRUE(WriteOggFile(path, SineTone(44100, 2, 44100, 441, 12000), 2, 44100));
  Music music;
  ASSERT_EQ(LoadMusicFile(&music, path.c_str()), 0);
  music.loop = 1;
  PlayMusic(&music, 1);
  Timer mainTimer(MainTimer, 30, nullptr);
  auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300)) {
    ServiceTimers();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ALuint source = music.channel.channel->al->source;
  ALint state = 0;
  openAL->alGetSourcei(source, AL_SOURCE_STATE, &state);
  ASSERT_EQ(state, AL_PLAYING);

  // The program's own presenter, as the user's would be (the test runner
  // asks for standard error).
  const char* asked = std::getenv("HALVANE_DIALOGS");
  std::string kept = asked ? asked : "";
  unsetenv("HALVANE_DIALOGS");
  RenderedDialogPresenter& rendered = InstallRenderedDialogs();
  std::vector<ALint> states, pending;
  double upFor = 0;
  auto shown = std::chrono::steady_clock::now();
  rendered.afterDraw = [&](WindowPtr surface, WindowRef) {
    ALint s = 0, queued = 0, processed = 0;
    openAL->alGetSourcei(source, AL_SOURCE_STATE, &s);
    openAL->alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    openAL->alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    states.push_back(s);
    pending.push_back(queued - processed);
    upFor = std::chrono::duration<double>(std::chrono::steady_clock::now() - shown).count();
    if (upFor >= 2.0) {
      SDL_Event e{};
      e.type = SDL_KEYDOWN;
      e.key.windowID = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(surface->platform));
      e.key.keysym.sym = SDLK_RETURN;
      SDL_PushEvent(&e);
    }
  };
  {
    Watchdog watchdog(20);
    ShowAlertDialog(PStr("The music goes on."), PStr(""), "OK");
  }
  rendered.afterDraw = nullptr;
  SetDialogPresenter(nullptr);
  if (asked) setenv("HALVANE_DIALOGS", kept.c_str(), 1);

  EXPECT_GE(upFor, 2.0);
  ASSERT_GT(states.size(), 20u);  // drawn all along, not blocked
  // The source never ran dry: it kept playing with buffers waiting. (The
  // first drawing follows the making of the window, which no timer can run
  // through: on a loaded machine that alone may outlast the buffers.)
  long dry = -1;
  for (size_t i = 1; i < states.size() && dry < 0; ++i)
    if (states[i] != AL_PLAYING || pending[i] <= 0) dry = long(i);
  EXPECT_EQ(dry, -1) << "ran dry at drawing " << dry << " of " << states.size();
  StopMusic(&music);
  Finish();
}

// The busiest moment of a two-player game at full volume: both players'
// shots and two explosions start together over the game's music, every
// volume at its top. The output keeps a headroom: no sample reaches full
// scale, where it would clip.
TEST_F(WaveOutput, TheBusiestMixAtFullVolumeDoesNotClip) {
  const char* built = std::getenv("HALVANE_BUNDLE");
  if (!built) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  SetBundlePathForTesting(built);
  const AudioPrefs saved = audioPREFS;
  audioPREFS.soundOn = audioPREFS.musicOn = 1;
  audioPREFS.soundVolume = audioPREFS.musicVolume = 255;
  ASSERT_GE(InitALSources(), 6);
  Rect screen{0, 0, 480, 640};
  SetupSound2DRect(&screen);
  Music music;
  SetMusicLoop(&music, 1);
  ASSERT_EQ(LoadMusic(&music, "Music/Game"), 0);
  SetMusicVolume(&music, 255);
  PlayMusic(&music, 1);
  Wait(0.5, true);
  ALSound effects[6];
  const char* names[6] = {"Shot0", "Shot1", "Shot2", "Boom0", "Boom1", "Bump"};
  for (int i = 0; i < 6; ++i) ASSERT_EQ(LoadSound_Game(&effects[i], names[i]), 0) << names[i];
  Rect middle{230, 310, 250, 330};
  for (int round = 0; round < 3; ++round) {
    for (ALSound& effect : effects) PlaySound_Game(&effect, NextChan_Game(), &middle, 1.0f, 1.0f, 0);
    Wait(0.7, true);
  }
  StopMusic(&music);
  QKSndDisposeChannel(music.channel.channel, true);
  music.channel.channel = nullptr;
  for (ALSound& effect : effects) effect.Dispose(-1);
  DisposeALSources();
  SetBundlePathForTesting(nullptr);
  audioPREFS = saved;
  Wave w = Finish();
  ASSERT_GT(w.Frames(), 44100);
  int peak = 0;
  long atFullScale = 0;
  for (int16_t v : w.samples) {
    peak = std::max(peak, std::abs(int(v)));
    if (std::abs(int(v)) >= 32767) ++atFullScale;
  }
  std::printf("busiest mix: peak %.2f dBFS, %ld samples at full scale\n", 20 * std::log10(std::max(peak, 1) / 32768.0),
              atFullScale);
  EXPECT_EQ(atFullScale, 0);
  // A headroom of a decibel at least, with the library's limiter off: the
  // mix itself stays short of full scale.
  EXPECT_LE(peak, 29205) << "within 1 dB of full scale";
  EXPECT_GT(peak, 32768 / 8) << "hardly heard";
}

}  // namespace
