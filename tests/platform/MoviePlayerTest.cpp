// The FFmpeg movie player against the logo movie the asset generator puts
// in the bundle: its frames fall due on the platform clock and land in the
// box, its sound goes whole to the sound output, and files that are missing
// or damaged give an error instead of a crash. Its libraries are mapped
// only while a movie is open, and one of them or one of their functions
// missing fails the open the same way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/MoviePlayer.h"
#include "platform/PlatformTime.h"
#include "support/FakeTime.h"
#include "support/TempFolder.h"

namespace {

struct RecordingSound : MovieSoundOutput {
  void Start(const SInt16* s, SInt32 f, SInt16 c, UInt32 r) override {
    ++starts;
    frames = f;
    channels = c;
    rate = r;
    for (SInt32 i = 0; i < f * c; ++i) loudest = std::max(loudest, std::abs(int(s[i])));
  }
  void SetVolume(SInt16 v) override { volumes.push_back(v); }
  void Stop() override { ++stops; }
  int starts = 0, stops = 0, loudest = 0;
  SInt32 frames = 0;
  SInt16 channels = 0;
  UInt32 rate = 0;
  std::vector<SInt16> volumes;
};

// A 640 x 480 32-bit pixel map filled with a colour the movie never makes.
struct Picture {
  static constexpr UInt32 kUntouched = 0x00ABCDEFu;
  Picture() : pixels(640 * 480, kUntouched) {
    map.baseAddr = reinterpret_cast<Ptr>(pixels.data());
    map.rowBytes = SInt16(640 * 4 | 0x8000);
    map.bounds = Rect{0, 0, 480, 640};
    map.pixelSize = 32;
  }
  UInt32 At(int x, int y) const { return pixels[size_t(y) * 640 + size_t(x)]; }
  // How many pixels of the box are brighter than a dark background.
  int LitIn(const Rect& r) const {
    int lit = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        UInt32 p = At(x, y);
        if (((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255) > 300) ++lit;
      }
    return lit;
  }
  std::vector<UInt32> pixels;
  PixMap map{};
};

std::string LogoMovie() {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  return std::string(bundle ? bundle : "") + "/Contents/Resources/ZadOR/QKLogo640.mov";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class MoviePlayerTest : public ::testing::Test {
 protected:
  FakeTime time;
  RecordingSound sound;
};

TEST_F(MoviePlayerTest, PlaysTheLogoMovieFrameByFrameIntoItsBox) {
  std::unique_ptr<Movie> movie = NewFFmpegMovie(&sound);
  ASSERT_EQ(movie->Open(LogoMovie().c_str()), 0) << LogoMovie();
  const Rect box{60, 0, 420, 640};
  movie->SetBox(box);
  Picture picture;
  EXPECT_FALSE(movie->Task(&picture.map)) << "nothing before Start";
  movie->Start();
  EXPECT_TRUE(movie->Task(&picture.map));
  EXPECT_FALSE(movie->Task(&picture.map)) << "the same frame again";
  // Outside the box nothing is touched; inside, every pixel is opaque.
  EXPECT_EQ(picture.At(320, 59), Picture::kUntouched);
  EXPECT_EQ(picture.At(320, 420), Picture::kUntouched);
  EXPECT_EQ(picture.At(0, 60) >> 24, 0xFFu);
  EXPECT_EQ(picture.At(639, 419) >> 24, 0xFFu);

  // 30 frames a second for five seconds: one new frame per thirtieth.
  int frames = 1, mostLit = 0;
  for (int i = 1; i < 200 && !movie->Done(); ++i) {
    FakeTime::AdvanceMicros(1000000 / 30 + 1);
    if (movie->Task(&picture.map)) ++frames;
    mostLit = std::max(mostLit, picture.LitIn(box));
  }
  EXPECT_TRUE(movie->Done());
  EXPECT_NEAR(frames, 150, 2);
  EXPECT_GT(mostLit, 2000) << "the logo never lit up";
  EXPECT_EQ(picture.At(320, 30), Picture::kUntouched);
}

// Behind by a second, one Task skips to the frame due and draws only it.
TEST_F(MoviePlayerTest, ALateTaskCatchesUpToTheFrameDue) {
  std::unique_ptr<Movie> movie = NewFFmpegMovie(nullptr);
  ASSERT_EQ(movie->Open(LogoMovie().c_str()), 0);
  movie->SetBox(Rect{60, 0, 420, 640});
  Picture picture;
  movie->Start();
  FakeTime::AdvanceMicros(2500000);
  EXPECT_TRUE(movie->Task(&picture.map));
  FakeTime::AdvanceMicros(1000000 / 30 + 1);
  EXPECT_TRUE(movie->Task(&picture.map));
  EXPECT_GT(picture.LitIn(Rect{60, 0, 420, 640}), 2000) << "the word shows at 2.5 s";
}

TEST_F(MoviePlayerTest, ItsSoundGoesWholeToTheOutputAtItsVolume) {
  std::unique_ptr<Movie> movie = NewFFmpegMovie(&sound);
  ASSERT_EQ(movie->Open(LogoMovie().c_str()), 0);
  movie->SetVolume(192);
  EXPECT_TRUE(sound.volumes.empty()) << "nothing plays before Start";
  movie->Start();
  EXPECT_EQ(sound.starts, 1);
  EXPECT_EQ(sound.channels, 2);
  EXPECT_EQ(sound.rate, 44100u);
  EXPECT_NEAR(sound.frames, 5 * 44100, 4410);
  EXPECT_GT(sound.loudest, 1000);
  movie->SetVolume(96);
  EXPECT_EQ(sound.volumes, (std::vector<SInt16>{192, 96}));
  EXPECT_EQ(movie->Volume(), 96);
  movie->Stop();
  EXPECT_EQ(sound.stops, 1);
  Picture picture;
  EXPECT_FALSE(movie->Task(&picture.map)) << "nothing after Stop";
  movie.reset();
  EXPECT_EQ(sound.stops, 1);
}

// Two grey 16 x 16 frames in FFmpeg's plainest picture stream.
std::string OtherContainerMovie() {
  std::string movie = "YUV4MPEG2 W16 H16 F30:1 Ip A1:1 C420jpeg\n";
  for (int frame = 0; frame < 2; ++frame) movie += "FRAME\n" + std::string(16 * 16 * 3 / 2, char(0x80));
  return movie;
}

TEST_F(MoviePlayerTest, MissingOrDamagedFilesGiveAnError) {
  TempFolder folder;
  const std::string logo = ReadAll(LogoMovie());
  ASSERT_GT(logo.size(), 10000u);
  struct Case {
    const char* name;
    std::string path;
    SInt16 expected;
  };
  const Case cases[] = {
      {"missing", folder / "none.mov", kMovieFileMissing},
      {"a folder", folder.Path(), kMovieFileMissing},
      {"empty", folder.Write("empty.mov", ""), kMovieFileDamaged},
      {"not a movie", folder.Write("text.mov", std::string(5000, 'x')), kMovieFileDamaged},
      {"only its first kilobyte", folder.Write("head.mov", logo.substr(0, 1024)), kMovieFileDamaged},
      // A whole movie that FFmpeg plays, in a container other than QuickTime.
      {"another container", folder.Write("frames.mov", OtherContainerMovie()), kMovieFileDamaged},
  };
  for (const Case& c : cases) {
    std::unique_ptr<Movie> movie = NewFFmpegMovie(&sound);
    EXPECT_EQ(movie->Open(c.path.c_str()), c.expected) << c.name;
    Picture picture;
    movie->Start();
    EXPECT_FALSE(movie->Task(&picture.map)) << c.name;
    EXPECT_EQ(picture.At(320, 240), Picture::kUntouched) << c.name;
  }
  EXPECT_EQ(sound.starts, 0);
}

// Bytes of the movie's data overwritten or cut off: whatever still decodes
// plays, nothing crashes.
TEST_F(MoviePlayerTest, ACorruptedMoviePlaysWhatItCanWithoutCrashing) {
  TempFolder folder;
  std::string logo = ReadAll(LogoMovie());
  ASSERT_GT(logo.size(), 10000u);
  // The picture and sound data come first in the file, its index last.
  std::string scrambledData = logo, scrambledIndex = logo;
  for (size_t i = logo.size() / 4; i < logo.size() / 2; i += 97) scrambledData[i] = char(logo[i] ^ 0x5A);
  for (size_t i = logo.size() - 2000; i < logo.size(); i += 7) scrambledIndex[i] = char(logo[i] ^ 0x5A);
  int played = 0;
  for (const std::string& bytes : {scrambledData, scrambledIndex, logo.substr(0, logo.size() / 2)}) {
    std::unique_ptr<Movie> movie = NewFFmpegMovie(&sound);
    SInt16 result = movie->Open(folder.Write("bad.mov", bytes).c_str());
    EXPECT_TRUE(result == 0 || result == kMovieFileDamaged) << result;
    if (result != 0) continue;
    Picture picture;
    movie->SetBox(Rect{60, 0, 420, 640});
    movie->Start();
    for (int i = 0; i < 200 && !movie->Done(); ++i) {
      FakeTime::AdvanceMicros(1000000 / 30 + 1);
      movie->Task(&picture.map);
    }
    EXPECT_TRUE(movie->Done());
    EXPECT_EQ(picture.At(320, 30), Picture::kUntouched);
    ++played;
  }
  EXPECT_GE(played, 1) << "damaged data in the middle still plays";
}

// The decoder's libraries mapped into this process now (the test program
// does not link them).
std::set<std::string> MappedMovieLibraries() {
  std::istringstream maps(ReadAll("/proc/self/maps"));
  std::set<std::string> mapped;
  for (std::string line; std::getline(maps, line);) {
    size_t slash = line.rfind('/');
    if (slash == std::string::npos) continue;
    std::string file = line.substr(slash + 1);
    for (const char* stem : {"libavcodec.so", "libavformat.so", "libavutil.so", "libswscale.so", "libswresample.so"})
      if (file.rfind(stem, 0) == 0) mapped.insert(file);
  }
  return mapped;
}

TEST_F(MoviePlayerTest, ItsLibrariesAreMappedOnlyWhileAMovieIsOpen) {
  ASSERT_EQ(MappedMovieLibraries(), std::set<std::string>{});
  std::unique_ptr<Movie> first = NewFFmpegMovie(&sound);
  EXPECT_EQ(first->Open("/nonexistent/none.mov"), kMovieFileMissing);
  EXPECT_EQ(MappedMovieLibraries(), std::set<std::string>{}) << "no file: nothing to load them for";
  ASSERT_EQ(first->Open(LogoMovie().c_str()), 0);
  EXPECT_EQ(MappedMovieLibraries().size(), 5u);
  ASSERT_EQ(first->Open(LogoMovie().c_str()), 0) << "opened again";
  std::unique_ptr<Movie> second = NewFFmpegMovie(&sound);
  ASSERT_EQ(second->Open(LogoMovie().c_str()), 0);
  first->Start();
  first.reset();
  EXPECT_EQ(MappedMovieLibraries().size(), 5u) << "the second movie still plays";
  Picture picture;
  second->SetBox(Rect{60, 0, 420, 640});
  second->Start();
  EXPECT_TRUE(second->Task(&picture.map));
  second.reset();
  EXPECT_EQ(MappedMovieLibraries(), std::set<std::string>{}) << "the last movie closed";
}

// Looks up every name as it is, and keeps it.
std::vector<std::string> lookedUp;
const char* RecordName(const char* name) {
  lookedUp.push_back(name);
  return name;
}
// Looks up one name as one that exists nowhere.
std::string missingName;
const char* MissName(const char* name) { return name == missingName ? "halvane_no_such_name" : name; }

struct ScopedNameFilter {
  explicit ScopedNameFilter(MovieLibraryNameFilter filter) : previous(SetMovieLibraryNameFilter(filter)) {}
  ~ScopedNameFilter() { SetMovieLibraryNameFilter(previous); }
  MovieLibraryNameFilter previous;
};

// Each library file and function the player looks up, missing in turn: the
// open fails as for a movie it cannot decode, nothing plays, nothing stays
// loaded, and once the name is back the movie plays.
TEST_F(MoviePlayerTest, ALibraryOrFunctionMissingFailsTheOpenCleanly) {
  lookedUp.clear();
  {
    ScopedNameFilter recording(RecordName);
    ASSERT_EQ(NewFFmpegMovie(&sound)->Open(LogoMovie().c_str()), 0);
  }
  const std::set<std::string> names(lookedUp.begin(), lookedUp.end());
  EXPECT_EQ(names.size(), lookedUp.size()) << "each name once";
  for (const char* expected :
       {"libavutil.so.", "libswresample.so.", "libswscale.so.", "libavcodec.so.", "libavformat.so.",
        "avformat_open_input", "avcodec_send_packet", "av_frame_alloc", "swr_convert", "sws_scale"})
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const std::string& n) {
      return n.rfind(expected, 0) == 0;
    })) << expected;
  EXPECT_GE(names.size(), 35u);

  for (const std::string& name : lookedUp) {
    missingName = name;
    ScopedNameFilter missing(MissName);
    std::unique_ptr<Movie> movie = NewFFmpegMovie(&sound);
    EXPECT_EQ(movie->Open(LogoMovie().c_str()), kMovieFileDamaged) << name;
    Picture picture;
    movie->SetBox(Rect{60, 0, 420, 640});
    movie->Start();
    EXPECT_FALSE(movie->Task(&picture.map)) << name;
    EXPECT_FALSE(movie->Done()) << name;
    movie.reset();
    EXPECT_EQ(MappedMovieLibraries(), std::set<std::string>{}) << name;
  }
  EXPECT_EQ(sound.starts, 0);
  std::unique_ptr<Movie> movie = NewFFmpegMovie(&sound);
  EXPECT_EQ(movie->Open(LogoMovie().c_str()), 0);
}

}  // namespace
