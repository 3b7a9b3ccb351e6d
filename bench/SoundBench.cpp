// Streaming must never hold up the 60-step loop: decoding one 16 KB block of
// music, the work of one streaming step, should cost well under a
// millisecond. Loading an effect whole is measured beside it.
#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
