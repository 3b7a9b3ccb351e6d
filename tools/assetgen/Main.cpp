// assetgen RESOURCES_DIR CONTACT_SHEET_PNG
// Writes the whole Resources folder of the application bundle, then a contact
// sheet of every picture beside the bundle. Jobs run on all cores; each one
// seeds its own random numbers, so the output does not depend on scheduling.
#include <atomic>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>

#include "AssetGen.h"

namespace assetgen {

static std::string gResources;

std::string OutPath(const std::string& relative) {
  std::filesystem::path p = std::filesystem::path(gResources) / relative;
  std::filesystem::create_directories(p.parent_path());
  return p.string();
}

static bool RunJobs(const std::vector<Job>& jobs) {
  std::atomic<size_t> next{0};
  std::atomic<bool> ok{true};
  std::mutex errors;
  auto worker = [&] {
    for (size_t i; (i = next++) < jobs.size();) {
      try {
        jobs[i]();
      } catch (const std::exception& e) {
        std::lock_guard<std::mutex> lock(errors);
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        ok = false;
      }
    }
  };
  unsigned n = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < n; ++t) threads.emplace_back(worker);
  for (auto& t : threads) t.join();
  return ok;
}

}  // namespace assetgen

int main(int argc, char** argv) {
  using namespace assetgen;
  if (argc != 3) {
    std::fprintf(stderr, "usage: assetgen RESOURCES_DIR CONTACT_SHEET_PNG\n");
    return 2;
  }
  gResources = argv[1];
  std::filesystem::create_directories(gResources);
  std::vector<Job> jobs;
  AddMusicJobs(jobs);  // the longest jobs first
  AddMovieJobs(jobs);
  AddScreenJobs(jobs);
  AddInstructionJobs(jobs);
  AddSheetJobs(jobs);
  AddImageJobs(jobs);
  AddSoundJobs(jobs);
  AddTableJobs(jobs);
  AddFontJobs(jobs);
  AddIconJobs(jobs);
  AddIdentityJobs(jobs);
  if (!RunJobs(jobs)) return 1;
  try {
    WriteContactSheet(gResources, argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
