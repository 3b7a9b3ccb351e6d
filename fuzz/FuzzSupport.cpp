#include "FuzzSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"

namespace {

void Error(const unsigned char* message, const unsigned char* where, unsigned char fatal) {
  if (!fatal) return;
  char text[256], place[256];
  PToCStr(message, text);
  PToCStr(where, place);
  std::fprintf(stderr, "fatal report reached from data: %s (%s)\n", text, place);
  std::abort();
}

void Alert(const unsigned char*, const unsigned char*, const char*) {}

void BeepAndShutdown() {
  std::fprintf(stderr, "shut down reached from data\n");
  std::abort();
}

const DialogBackEnd kBackEnd = {Error, Alert, BeepAndShutdown};

std::string MakeFolder() {
  std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = base + "/halvane-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  // Removed at exit, whatever the harness left in it.
  static std::string folder = pattern;
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  });
  return pattern;
}

}  // namespace

void FuzzSetUp() {
  static bool done = [] {
    InitMemory();
    SetDialogBackEnd(&kBackEnd);
    return true;
  }();
  (void)done;
}

const std::string& FuzzFolder() {
  static const std::string folder = MakeFolder();
  return folder;
}

void FuzzUseHome() {
  static bool done = [] {
    const std::string home = FuzzFolder() + "/home";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    return true;
  }();
  (void)done;
}

std::string FuzzMakeBundle(const std::string& name, std::initializer_list<const char*> folders) {
  SetBundlePathForTesting((FuzzFolder() + "/" + name).c_str());
  const std::string resources = GetResourcesPath();
  for (size_t at = 1; (at = resources.find('/', at)) != std::string::npos; ++at)
    mkdir(resources.substr(0, at).c_str(), 0700);
  mkdir(resources.c_str(), 0700);
  for (const char* folder : folders) mkdir((resources + "/" + folder).c_str(), 0700);
  return resources;
}

std::string FuzzWriteFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = name[0] == '/' ? name : FuzzFolder() + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file);
  FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
  std::fclose(file);
  return path;
}

std::string FuzzReadFile(const std::string& path) {
  std::string text;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
    std::fclose(file);
  }
  return text;
}
