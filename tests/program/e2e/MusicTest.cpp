// What a player hears, recorded through the audio library's wave-file
// output: the music of each screen after the screens have been left to run
// as a person leaves them, and the output's headroom when everything plays
// at full volume at once.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/Poll.h"
#include "support/TempFolder.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

// Last: Xlib's macro Status clashes with a name of the harness.
#include <X11/Xlib.h>
#undef Status

using namespace e2e;
using std::chrono::milliseconds;

namespace {

constexpr int kRate = 44100;
constexpr size_t kHeaderBytes = 44;

// 16-bit stereo samples, interleaved.
struct Recording {
  std::vector<int16_t> samples;
  long Frames() const { return long(samples.size() / 2); }
};

// The wave file as far as it is written: the library writes a plain 44-byte
// header, then the samples as they are mixed.
Recording ReadRecording(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  Recording r;
  if (bytes.size() <= kHeaderBytes) return r;
  r.samples.resize((bytes.size() - kHeaderBytes) / 2);
  std::memcpy(r.samples.data(), bytes.data() + kHeaderBytes, r.samples.size() * 2);
  return r;
}

// Where the output stands now, in frames: how much the library has written.
long FramesWritten(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error || size <= kHeaderBytes ? 0 : long((size - kHeaderBytes) / 4);
}

double RmsDb(const Recording& r, long from, long to) {
  from = std::max(from, 0L);
  to = std::min(to, r.Frames());
  if (to <= from) return -200;
  double sum = 0;
  for (long i = from * 2; i < to * 2; ++i) sum += double(r.samples[size_t(i)]) * r.samples[size_t(i)];
  const double rms = std::sqrt(sum / double((to - from) * 2)) / 32768.0;
  return rms > 0 ? 20 * std::log10(rms) : -200;
}

// A music file of the bundle, decoded, as 16-bit stereo.
Recording DecodeMusic(const std::string& name, double seconds) {
  Recording r;
  const std::string path = DefaultBundle() + "/Contents/Resources/Music/" + name + ".ogg";
  OggVorbis_File file;
  if (ov_fopen(path.c_str(), &file) != 0) return r;
  const vorbis_info* info = ov_info(&file, -1);
  const int channels = info ? info->channels : 0;
  char block[8192];
  int section = 0;
  while (channels > 0 && r.Frames() < long(seconds * kRate)) {
    const long n = ov_read(&file, block, sizeof block, 0, 2, 1, &section);
    if (n <= 0) break;
    const auto* values = reinterpret_cast<const int16_t*>(block);
    for (long i = 0; i + channels <= n / 2; i += channels) {
      r.samples.push_back(values[i]);
      r.samples.push_back(values[i + channels - 1]);
    }
  }
  ov_clear(&file);
  return r;
}

void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t length = 2; length <= n; length <<= 1) {
    const double angle = -2 * M_PI / double(length);
    const std::complex<double> step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += length) {
      std::complex<double> w(1);
      for (size_t k = 0; k < length / 2; ++k) {
        const auto u = a[i + k], v = a[i + k + length / 2] * w;
        a[i + k] = u + v;
        a[i + k + length / 2] = u - v;
        w *= step;
      }
    }
  }
}

// How the sound's energy falls on the twelve notes of the scale (between
// 100 Hz and 2 kHz), as a unit vector: each generated track is in a key of
// its own, so this tells one from another whatever the volume.
std::vector<double> NoteProfile(const Recording& r, long from, long to) {
  constexpr size_t kWindow = 8192;
  std::vector<double> profile(12, 0.0);
  from = std::max(from, 0L);
  to = std::min(to, r.Frames());
  for (long at = from; at + long(kWindow) <= to; at += long(kWindow)) {
    std::vector<std::complex<double>> a(kWindow);
    for (size_t i = 0; i < kWindow; ++i) {
      const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(kWindow));
      const size_t s = size_t(at + long(i)) * 2;
      a[i] = hann * (double(r.samples[s]) + double(r.samples[s + 1]));
    }
    Fft(a);
    for (size_t bin = 1; bin < kWindow / 2; ++bin) {
      const double hz = double(bin) * kRate / double(kWindow);
      if (hz < 100 || hz > 2000) continue;
      const int note = int(std::lround(12 * std::log2(hz / 440.0) + 69));
      profile[size_t(((note % 12) + 12) % 12)] += std::norm(a[bin]);
    }
  }
  double length = 0;
  for (double v : profile) length += v * v;
  length = std::sqrt(length);
  if (length > 0)
    for (double& v : profile) v /= length;
  return profile;
}

double Likeness(const std::vector<double>& a, const std::vector<double>& b) {
  double dot = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) dot += a[i] * b[i];
  return dot;
}

// Which of the bundle's tracks a stretch of the recording sounds like most,
// and how much more than like the next.
struct Closest {
  std::string name;
  double margin = 0;
  std::string table;
};
Closest ClosestTrack(const Recording& r, long from, long to) {
  static const char* const kTracks[] = {"Title", "Main", "Game", "Boss"};
  static std::vector<std::vector<double>> profiles;
  if (profiles.empty())
    for (const char* name : kTracks) {
      const Recording track = DecodeMusic(name, 40);
      profiles.push_back(NoteProfile(track, 0, track.Frames()));
    }
  const std::vector<double> heard = NoteProfile(r, from, to);
  Closest c;
  double best = -1, second = -1;
  for (size_t i = 0; i < profiles.size(); ++i) {
    const double like = Likeness(heard, profiles[i]);
    c.table += std::string(kTracks[i]) + " " + std::to_string(like) + "  ";
    if (like > best) {
      second = best;
      best = like;
      c.name = kTracks[i];
    } else {
      second = std::max(second, like);
    }
  }
  c.margin = best - second;
  return c;
}

// The program's sound goes to a wave file in the home's folder, the
// library's limiter off: what is recorded is the mix the program makes.
void RecordTo(Program& program, const UserHome& home, const std::string& wave) {
  const std::string conf = home.Folder().Path() + "/alsoft.conf";
  std::ofstream out(conf);
  out << "[general]\nchannels = stereo\nsample-type = int16\nfrequency = 44100\nhrtf = false\noutput-limiter = false\n"
      << "[wave]\nfile = " << wave << "\n";
  out.close();
  program.SetEnv("ALSOFT_DRIVERS", "wave");
  program.SetEnv("ALSOFT_CONF", conf);
}

std::string Preferences(bool effects, int volume) {
  const std::string v = std::to_string(volume);
  return "<dict>\t<key>Full Screen</key>\t<false/>\t<key>Audio Prefs</key>\t<dict>\t<key>Sound On</key>\t" +
         std::string(effects ? "<true/>" : "<false/>") +
         "\t<key>Music On</key>\t<true/>\t<key>Sound Volume</key>\t<integer>" + v +
         "</integer>\t<key>Music Volume</key>\t<integer>" + v + "</integer>\t</dict>\t</dict>";
}

class MusicTest : public ::testing::Test {
 protected:
  Desktop desktop{1280, 1024};
  UserHome home;
  Program program{desktop, home};
  std::string wave = home.Folder().Path() + "/heard.wav";

  double SecondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

  void QuitTheGame() {
    auto status = QuitGameInProgress(program);
    ASSERT_TRUE(status) << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }
};

// Left alone, the logo gives way to the title and the title to the menu,
// more than 20 seconds after the start; the menu's music plays from its
// first second, and the game's music once Play is clicked, each the track
// of its screen. (Each screen's music is checked at start-up in a child
// process; a verdict asked for late was once taken for a failed check, and
// the music was refused.)
TEST_F(MusicTest, TheMenuAndTheGameAreHeardAfterTheTitleRanOnByItself) {
  home.WritePreferences(Preferences(false, 255));
  RecordTo(program, home, wave);
  const auto started = Clock::now();
  program.Start();
  ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForContentSize(640, 480)) << program.Diagnostics();
  // No key: the title comes, then the menu, each at the pace of the program.
  ScreenImage menu =
      program.WaitForContent([](const ScreenImage& s) { return MainDiffers(s) == 0; }, milliseconds(120000));
  ASSERT_EQ(MainDiffers(menu), 0) << "the menu did not come by itself\n" << program.Diagnostics();
  const long menuShown = FramesWritten(wave);
  const double menuAfter = SecondsSince(started);
  // On the menu for a while, as a person reads it; past 24 s from the start
  // in any case, so that the game's music is opened long after its check.
  const double waitOnMenu = std::max(4.0, 24.0 - menuAfter);
  std::this_thread::sleep_for(std::chrono::duration<double>(waitOnMenu));
  const long playClicked = FramesWritten(wave);

  const int clicks = program.TraceCount("taken MouseDown");
  ASSERT_TRUE(program.ClickGame(kPlayX, kPlayY)) << program.Diagnostics();
  ASSERT_TRUE(PollUntil([&] { return program.TraceCount("taken MouseDown") > clicks; }, {}, Program::kTimeout))
      << "the click on Play was not taken\n"
      << program.Diagnostics();
  ScreenImage game = program.WaitForContent(GamePlaying, Program::kFadeTimeout);
  ASSERT_TRUE(GamePlaying(game)) << "no game\n" << program.Diagnostics();
  const long gameShown = FramesWritten(wave);
  std::this_thread::sleep_for(std::chrono::seconds(5));
  const long gameHeard = FramesWritten(wave);
  QuitTheGame();

  const Recording heard = ReadRecording(wave);
  ASSERT_GT(heard.Frames(), gameHeard - kRate) << "the recording is short";
  // Half a second into each screen: its music has faded in.
  const long menuFrom = menuShown + kRate / 2, gameFrom = gameShown + kRate / 2;
  const double menuDb = RmsDb(heard, menuFrom, playClicked), gameDb = RmsDb(heard, gameFrom, gameHeard);
  EXPECT_GT(menuDb, -40) << "the menu is silent (menu after " << menuAfter << " s)";
  EXPECT_GT(gameDb, -40) << "the game is silent";
  const Closest onMenu = ClosestTrack(heard, menuFrom, playClicked);
  const Closest inGame = ClosestTrack(heard, gameFrom, gameHeard);
  EXPECT_EQ(onMenu.name, "Main") << onMenu.table;
  EXPECT_EQ(inGame.name, "Game") << inGame.table;
  std::printf("menu after %.1f s: %.1f dB like %s by %.2f; game %.1f dB like %s by %.2f\n", menuAfter, menuDb,
              onMenu.name.c_str(), onMenu.margin, gameDb, inGame.name.c_str(), inGame.margin);
}

// The loudest sample of a stretch, and how many samples sit at full scale.
struct Peak {
  int largest = 0;
  long atFullScale = 0;
  double Dbfs() const { return largest > 0 ? 20 * std::log10(largest / 32768.0) : -200; }
};
Peak PeakOf(const Recording& r, long from) {
  Peak p;
  for (size_t i = size_t(std::max(from, 0L)) * 2; i < r.samples.size(); ++i) {
    const int v = std::abs(int(r.samples[i]));
    p.largest = std::max(p.largest, v);
    if (v >= 32767) ++p.atFullScale;
  }
  return p;
}

// Both volumes at their eighth lamp, two players firing and flying while the
// game's music plays: the output keeps a headroom, no sample at full scale
// (clipped).
TEST_F(MusicTest, TwoPlayersAtFullVolumeWithTheMusicDoNotClip) {
  home.WritePreferences(Preferences(true, 255));
  RecordTo(program, home, wave);
  ASSERT_EQ(OpenToTheMenu(program), "");
  // The menu takes clicks once its fade-in is over, a moment after it looks
  // whole: a person reads it first.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const int clicks = program.TraceCount("taken MouseDown");
  ASSERT_TRUE(program.ClickGame(kPlayX, kPlayY)) << program.Diagnostics();
  ASSERT_TRUE(PollUntil([&] { return program.TraceCount("taken MouseDown") > clicks; }, {}, Program::kTimeout))
      << "the click on Play was not taken\n"
      << program.Diagnostics();
  ScreenImage game = program.WaitForContent(GamePlaying, Program::kFadeTimeout);
  ASSERT_TRUE(GamePlaying(game)) << "no game\n" << program.Diagnostics();
  const long gameShown = FramesWritten(wave);
  // Player 1 (space, arrows) and player 2 (keypad 0, 4 and 6) fire in bursts
  // and sway, as in a game, for about fifteen seconds.
  // Each press while the game takes keys must be taken.
  ASSERT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
  for (int i = 0; i < 25; ++i) {
    const bool left = i % 2 == 0;
    const std::vector<std::string> sway = {left ? "Left" : "Right", left ? "KP_4" : "KP_6"};
    ASSERT_TRUE(program.HoldKeysInPlay(sway)) << program.Diagnostics();
    for (int shot = 0; shot < 2; ++shot) {
      const bool fired = program.HoldKeysInPlay({"space", "KP_0"});
      std::this_thread::sleep_for(milliseconds(150));
      program.LetGoKeys({"space", "KP_0"});
      ASSERT_TRUE(fired) << program.Diagnostics();
      std::this_thread::sleep_for(milliseconds(150));
    }
    program.LetGoKeys(sway);
  }
  EXPECT_GT(program.TraceCount("taken KeyDown key 82 "), 0) << "player 2 never fired\n" << program.Diagnostics();
  const long played = FramesWritten(wave);
  if (GamePlaying(program.GrabContent())) {
    QuitTheGame();
  } else {
    auto status = QuitWithCtrlQ(program);
    ASSERT_TRUE(status) << program.Diagnostics();
  }
  const Recording heard = ReadRecording(wave);
  ASSERT_GT(heard.Frames(), played - kRate) << "the recording is short";
  EXPECT_GT(RmsDb(heard, gameShown, played), -30) << "the game was not heard";
  const Peak peak = PeakOf(heard, gameShown);
  EXPECT_EQ(peak.atFullScale, 0) << "peak " << peak.Dbfs() << " dBFS";
  EXPECT_LE(peak.largest, 29205) << "within 1 dB of full scale";
  std::printf("two players at full volume: peak %.2f dBFS (%d), %ld samples at full scale, rms %.1f dB\n", peak.Dbfs(),
              peak.largest, peak.atFullScale, RmsDb(heard, gameShown, played));
}

}  // namespace
