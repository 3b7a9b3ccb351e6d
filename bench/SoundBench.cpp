// Streaming must never hold up the 60-step loop: decoding one 16 KB block of
// music, the work of one streaming step, should cost well under a
// millisecond. Loading an effect whole is measured beside it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sound/CompressedSound.h"
#include "sound/SoundLoading.h"

namespace {

const std::string kResources = std::string(HALVANE_BUNDLE_DIR) + "/Contents/Resources/";

void DecodeMusicBlock(benchmark::State& state) {
  CompressedSound music;
  if (!music.Load((kResources + "Music/Game.ogg").c_str())) {
    state.SkipWithError("Music/Game.ogg is missing: build the bundle first");
    return;
  }
  std::vector<char> block(kMusicBlockBytes);
  for (auto _ : state) {
    SInt32 n = music.GetNextBuffer(block.data(), kMusicBlockBytes);
    if (n <= 0) {
      music.Reset();
      n = music.GetNextBuffer(block.data(), kMusicBlockBytes);
    }
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(SInt64(state.iterations()) * kMusicBlockBytes);
}
BENCHMARK(DecodeMusicBlock)->Unit(benchmark::kMicrosecond);

void LoadEffect(benchmark::State& state) {
  std::string path = kResources + "Audio/Boom0.ogg";
  for (auto _ : state) {
    QKSndCommand command;
    if (LoadSoundFile(&command, path.c_str()) != 0) {
      state.SkipWithError("Audio/Boom0.ogg is missing: build the bundle first");
      return;
    }
    benchmark::DoNotOptimize(command.param2);
  }
}
BENCHMARK(LoadEffect)->Unit(benchmark::kMicrosecond);

// The first load of a file decodes it whole in a child process before it is
// opened (later loads of the same file are not checked again): the cost a
// screen pays when it first plays its music. Each iteration loads a fresh
// copy, so each is checked.
void FirstLoadOfMusic(benchmark::State& state) {
  const char* names[] = {"Title", "Main", "Game", "Boss"};
  std::string source = kResources + "Music/" + names[state.range(0)] + ".ogg";
  std::string folder = std::filesystem::temp_directory_path() / "halvane-bench-music";
  std::filesystem::create_directories(folder);
  int copy = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string path = folder + "/" + std::to_string(copy++) + ".ogg";
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    CompressedSound music;
    if (!music.Load(path.c_str())) {
      state.SkipWithError("the music is missing or refused: build the bundle first");
      break;
    }
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(FirstLoadOfMusic)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The same for an effect, checked and decoded whole: the program loads 25 at
// its start.
void FirstLoadOfEffect(benchmark::State& state) {
  std::string source = kResources + "Audio/Boom1.ogg";
  std::string folder = std::filesystem::temp_directory_path() / "halvane-bench-effect";
  std::filesystem::create_directories(folder);
  int copy = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string path = folder + "/" + std::to_string(copy++) + ".ogg";
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    QKSndCommand command;
    if (LoadSoundFile(&command, path.c_str()) != 0) {
      state.SkipWithError("Audio/Boom1.ogg is missing or refused: build the bundle first");
      break;
    }
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(FirstLoadOfEffect)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
