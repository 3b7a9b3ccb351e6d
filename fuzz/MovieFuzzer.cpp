// Movie files, the input being the file, played as the logo screen plays
// one: opened through NewMovie (FFmpeg), given a box, started, and run by
// Task into a 32-bit pixel map on a clock that moves by a thirtieth of a
// second a step, then far on. The sound output records what it is handed.
// Whatever the file: Open answers 0 or kMovieFileDamaged (the file is
// there), and nothing else; a damaged file plays no
// sound and draws nothing; the sound handed over is 1 or 2 channels at a
// positive rate, every sample of it readable from Start to Stop, and the
// output hears of a volume only while it plays and of its end once; Task
// draws only inside the box and the pixel map (not a guard byte around it
// nor a spare byte at a row's end changes), fills what it draws of the box
// with opaque pixels, and draws nothing before Start, after Stop or once
// Done; and once the clock is far past the movie, it is Done.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "platform/MoviePlayer.h"
#include "platform/PlatformTime.h"

namespace {

// The clock the player reads, moved only by the harness.
constexpr UInt64 kStart = 1000000000;
UInt64 micros = kStart;
UInt64 Nanoseconds() { return micros * 1000; }
UInt64 Microseconds() { return micros; }
void Sleep(UInt64 nanos) { micros += nanos / 1000; }
const TimeSource kClock = {Nanoseconds, Microseconds, Sleep};

// Every sample read at Start and again at Stop: the samples must stay
// valid until Stop, and the same.
struct RecordingSound : MovieSoundOutput {
  void Start(const SInt16* s, SInt32 f, SInt16 c, UInt32 r) override {
    FUZZ_CHECK(!playing && starts == 0);
    FUZZ_CHECK(s && f > 0 && (c == 1 || c == 2) && r > 0);
    starts++;
    playing = true;
    samples = s;
    count = size_t(f) * size_t(c);
    sum = Sum();
  }
  void SetVolume(SInt16 v) override {
    FUZZ_CHECK(playing && v >= 0 && v <= 256);
    volume = v;
  }
  void Stop() override {
    FUZZ_CHECK(playing);
    FUZZ_CHECK(Sum() == sum);
    playing = false;
    stops++;
  }
  FUZZ_NOT_STEERING UInt64 Sum() const {
    UInt64 total = 0;
    for (size_t i = 0; i < count; ++i) total = total * 31 + UInt16(samples[i]);
    return total;
  }
  bool playing = false;
  int starts = 0, stops = 0;
  SInt16 volume = -1;
  const SInt16* samples = nullptr;
  size_t count = 0;
  UInt64 sum = 0;
};

// A 32-bit pixel map with its bounds off the origin, guard bytes before and
// after it and spare bytes at the end of each row. Untouched, a pixel is
// transparent, which nothing the movie draws is.
class Destination {
 public:
  static constexpr size_t kGuard = 256;
  static constexpr SInt32 kWidth = 96, kHeight = 64, kRowBytes = kWidth * 4 + 16;
  static constexpr UInt8 kMark = 0xA5;
  static constexpr UInt32 kUntouched = 0x00ABCDEFu;
  static constexpr Rect kBounds{10, 20, 10 + kHeight, 20 + kWidth};

  Destination() : memory_(2 * kGuard + size_t(kRowBytes) * kHeight, kMark) {
    for (SInt32 y = 0; y < kHeight; ++y)
      for (SInt32 x = 0; x < kWidth; ++x) std::memcpy(Pixel(x, y), &kUntouched, 4);
    map.baseAddr = reinterpret_cast<Ptr>(memory_.data() + kGuard);
    map.rowBytes = SInt16(kRowBytes | 0x8000);
    map.bounds = kBounds;
    map.pixelSize = 32;
    map.pixelFormat = 32;
    map.cmpCount = 3;
    map.cmpSize = 8;
  }
  // Nothing outside `box` changed; with `drawn`, all of the box inside the
  // map is opaque.
  FUZZ_NOT_STEERING void Check(const Rect& box, bool drawn) const {
    for (size_t i = 0; i < kGuard; ++i) FUZZ_CHECK(memory_[i] == kMark && memory_[memory_.size() - 1 - i] == kMark);
    for (SInt32 y = 0; y < kHeight; ++y) {
      const UInt8* row = memory_.data() + kGuard + size_t(y) * kRowBytes;
      for (SInt32 spare = kWidth * 4; spare < kRowBytes; ++spare) FUZZ_CHECK(row[spare] == kMark);
    }
    // Row by row: the pixels left of the box, in it, right of it.
    for (SInt32 y = kBounds.top; y < kBounds.bottom; ++y) {
      const UInt8* row = memory_.data() + kGuard + size_t(y - kBounds.top) * kRowBytes;
      const bool rowInBox = y >= box.top && y < box.bottom;
      const SInt32 from = rowInBox ? std::clamp<SInt32>(box.left, kBounds.left, kBounds.right) : kBounds.right;
      const SInt32 to = rowInBox ? std::clamp<SInt32>(box.right, from, kBounds.right) : kBounds.right;
      for (SInt32 x = kBounds.left; x < kBounds.right; ++x) {
        UInt32 p;
        std::memcpy(&p, row + size_t(x - kBounds.left) * 4, 4);
        if (x < from || x >= to)
          FUZZ_CHECK(p == kUntouched);
        else if (drawn)
          FUZZ_CHECK((p >> 24) == 0xFF);
      }
    }
  }
  PixMap map{};

 private:
  UInt8* Pixel(SInt32 x, SInt32 y) { return memory_.data() + kGuard + size_t(y) * kRowBytes + size_t(x) * 4; }
  std::vector<UInt8> memory_;
};

// Over the map's top, left and right edges; scaled both ways from any movie.
constexpr Rect kBox{0, 4, 60, 130};
constexpr int kSteps = 300;                 // ten seconds at 30 a second
constexpr UInt64 kFarOn = UInt64(1) << 62;  // some 146,000 years, in microseconds
constexpr UInt64 kStepMicros = 1000000 / 30 + 1;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > (1 << 21)) return 0;
  static bool clock = (SetTimeSource(&kClock), true);
  (void)clock;
  const std::string path = FuzzWriteFile("Movie.mov", data, size);

  RecordingSound sound;
  {
    std::unique_ptr<Movie> movie = NewMovie(&sound);
    FUZZ_CHECK(movie);
    const SInt16 result = movie->Open(path.c_str());
    FUZZ_CHECK(result == 0 || result == kMovieFileDamaged);
    Destination picture;
    movie->SetBox(kBox);
    movie->SetVolume(200);
    FUZZ_CHECK(!movie->Task(&picture.map));  // not started
    picture.Check(Rect{0, 0, 0, 0}, false);
    movie->Start();
    if (result != 0) {
      FUZZ_CHECK(sound.starts == 0);
      for (int i = 0; i < 3; ++i) {
        micros += kStepMicros;
        FUZZ_CHECK(!movie->Task(&picture.map));
      }
      picture.Check(Rect{0, 0, 0, 0}, false);
    } else {
      FUZZ_CHECK(sound.starts == 0 || sound.volume == 200);
      for (int i = 0; i < kSteps && !movie->Done(); ++i) {
        const bool drawn = movie->Task(&picture.map);
        picture.Check(kBox, drawn);
        if (i == kSteps / 2) {
          movie->SetVolume(100);
          FUZZ_CHECK(sound.starts == 0 || sound.volume == 100);
        }
        micros += kStepMicros;
      }
      micros += kFarOn;
      picture.Check(kBox, movie->Task(&picture.map));
      FUZZ_CHECK(movie->Done());
      FUZZ_CHECK(!movie->Task(&picture.map));
      movie->Stop();
      FUZZ_CHECK(sound.stops == sound.starts);
      FUZZ_CHECK(!movie->Task(&picture.map));
    }
    micros = kStart;  // every file starts at the same time
  }
  FUZZ_CHECK(!sound.playing && sound.stops == sound.starts);
  return 0;
}
