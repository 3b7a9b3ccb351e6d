// Reading, writing and freeing a property list of N keys: each should grow
// in proportion to N (a preferences file of tens of thousands of keys must
// not hold up the start).
#include <benchmark/benchmark.h>

#include <string>

#include "foundation/PlistTag.h"
#include "foundation/TextBuffer.h"

namespace {

std::string Dictionary(int keys) {
  std::string text = "<dict>";
  for (int i = 0; i < keys; i++)
    text += "\r\t<key>Key " + std::to_string(i) + "</key>\r\t<integer>" + std::to_string(i) + "</integer>";
  return text + "\r</dict>";
}

void LoadDictionary(benchmark::State& state) {
  const std::string text = Dictionary(int(state.range(0)));
  for (auto _ : state) {
    TextBuffer buffer;
    buffer.LoadData(text.data(), SInt32(text.size()));
    PlistTag root;
    benchmark::DoNotOptimize(root.LoadBuffer(&buffer));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(LoadDictionary)->RangeMultiplier(2)->Range(10000, 80000)->Complexity()->Unit(benchmark::kMillisecond);

void SaveDictionary(benchmark::State& state) {
  const std::string text = Dictionary(int(state.range(0)));
  TextBuffer buffer;
  buffer.LoadData(text.data(), SInt32(text.size()));
  PlistTag root;
  root.LoadBuffer(&buffer);
  for (auto _ : state) {
    TextBuffer out;
    root.SaveBuffer(&out);
    benchmark::DoNotOptimize(out.DataSize());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(SaveDictionary)->RangeMultiplier(2)->Range(10000, 80000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
