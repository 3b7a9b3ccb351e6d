#include "support/FakeMovie.h"

namespace {

FakeMovies* current = nullptr;

class FakeMovie final : public Movie {
 public:
  FakeMovie(FakeMovies* record, MovieSoundOutput* sound) : record_(record), sound_(sound) { ++record_->alive; }
  ~FakeMovie() override { --record_->alive; }

  SInt16 Open(const char* path) override {
    record_->paths.push_back(path ? path : "");
    return record_->openResult;
  }
  void SetBox(const Rect& box) override { record_->box = box; }
  void Start() override {
    started_ = true;
    ++record_->starts;
    record_->startedWithSound = sound_ != nullptr;
  }
  bool Task(PixMap* destination) override {
    ++record_->tasks;
    if (!started_ || !destination || destination->pixelSize != 32) return false;
    const Rect& b = destination->bounds;
    const SInt32 rowBytes = UInt16(destination->rowBytes) & 0x7FFF;
    for (int y = record_->box.top; y < record_->box.bottom; ++y)
      for (int x = record_->box.left; x < record_->box.right; ++x)
        if (y >= b.top && y < b.bottom && x >= b.left && x < b.right)
          reinterpret_cast<UInt32*>(destination->baseAddr + (y - b.top) * rowBytes)[x - b.left] = record_->colour;
    return true;
  }
  void SetVolume(SInt16 volume) override {
    volume_ = volume;
    record_->volumes.push_back(volume);
  }
  SInt16 Volume() const override { return volume_; }
  void Stop() override {
    started_ = false;
    ++record_->stops;
  }
  bool Done() const override { return false; }

 private:
  FakeMovies* record_;
  MovieSoundOutput* sound_;
  bool started_ = false;
  SInt16 volume_ = 256;
};

std::unique_ptr<Movie> MakeFake(MovieSoundOutput* sound) { return std::make_unique<FakeMovie>(current, sound); }

}  // namespace

FakeMovies::FakeMovies() : previous_(SetMovieFactory(MakeFake)) { current = this; }

FakeMovies::~FakeMovies() {
  SetMovieFactory(previous_);
  current = nullptr;
}
