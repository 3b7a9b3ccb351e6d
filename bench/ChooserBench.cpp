// The file chooser in a folder of 100,200 entries (100,000 files, 200
// folders): listing and sorting it, and a person paging through it, per view.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/DialogPresenter.h"
#include "shell/FileChooser.h"
#include "shell/StandardDialog.h"

namespace {

const std::string& BigFolder() {
  static const std::string folder = [] {
    const std::string f = std::filesystem::temp_directory_path() / "halvane-bench-chooser";
    if (std::filesystem::exists(f + "/done")) return f;
    std::filesystem::remove_all(f);
    std::filesystem::create_directories(f);
    char name[64];
    for (int i = 0; i < 200; ++i) {
      std::snprintf(name, sizeof name, "/Folder %03d", (i * 7919) % 200);
      std::filesystem::create_directory(f + name);
    }
    for (int i = 0; i < 100000; ++i) {
      // Mixed case, so that the order without regard to case matters.
      std::snprintf(name, sizeof name, "/%s %06d.txt", i % 2 ? "Report" : "report", (i * 7919) % 100000);
      if (std::FILE* out = std::fopen((f + name).c_str(), "w")) std::fclose(out);
    }
    if (std::FILE* out = std::fopen((f + "/done").c_str(), "w")) std::fclose(out);
    return f;
  }();
  return folder;
}

void ListAndSortABigFolder(benchmark::State& state) {
  const std::string& folder = BigFolder();
  for (auto _ : state) benchmark::DoNotOptimize(ChooserEntries(folder, {}).size());
}
BENCHMARK(ListAndSortABigFolder)->Unit(benchmark::kMillisecond)->Iterations(3);

// Answers Next while there is a next page, up to `views`, then Cancel.
struct Pager : DialogPresenter {
  int views = 0, shown = 0;
  DialogAction Present(const DialogView& view) override {
    ++shown;
    const UInt32 want = shown < views ? UInt32(kChooserNext) : UInt32(kHICommandCancel);
    for (size_t i = 0; i < view.buttons.size(); ++i)
      if (view.buttons[i].command == want && view.buttons[i].enabled)
        return DialogAction{DialogAction::Click, int(i), 0, 0, nullptr, 0};
    return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
  }
};

void PageThroughABigFolder(benchmark::State& state) {
  SetChooserFolder(BigFolder());
  Pager pager;
  pager.views = int(state.range(0));
  DialogPresenter* before = SetDialogPresenter(&pager);
  double ms = 0;
  for (auto _ : state) {
    pager.shown = 0;
    FSRef item;
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(ChooseFileToOpen(nullptr, 0, &item));
    ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  SetDialogPresenter(before);
  state.counters["views"] = pager.shown;
  state.counters["ms_per_view"] = ms / double(state.iterations()) / double(pager.views);
}
BENCHMARK(PageThroughABigFolder)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
