// Reading a scores file of N rows (a hand-made or damaged one): the table is
// cut to its 15 rows, and the whole load should grow in proportion to N.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "frontend/Scores.h"

namespace {

void LoadLongScoresFile(benchmark::State& state) {
  const std::string home = std::filesystem::temp_directory_path() / "halvane-bench-scores";
  std::filesystem::create_directories(home + "/Halvane");
  setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  std::string text = "<dict>\r\t<key>Scores</key>\r\t<array>\r";
  for (int r = 0; r < state.range(0); ++r)
    text += "\t\t<dict>\r\t\t\t<key>Name</key>\r\t\t\t<string>n</string>\r\t\t\t<key>Score</key>\r\t\t\t<integer>" +
            std::to_string(r) + "</integer>\r\t\t</dict>\r";
  std::ofstream(home + "/Halvane/Halvane Scores.plist", std::ios::binary) << text << "\t</array>\r</dict>";
  mainSCORES.SetFileName("Halvane Scores");
  mainSCORES.Init(15, 2);
  for (auto _ : state) {
    LoadScores();
    benchmark::DoNotOptimize(mainSCORES.document.NumChildren());
  }
  mainSCORES.document.DeleteChildren();
  std::filesystem::remove_all(home);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(LoadLongScoresFile)->RangeMultiplier(2)->Range(40000, 320000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
