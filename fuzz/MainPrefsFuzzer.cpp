// The main preferences file: whatever is in it, the program starts; a file
// that loads, or one refused for the defaults, saves, and the next start
// loads what was saved (and saves the same bytes again).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "foundation/PlistTag.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::string text;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
    std::fclose(file);
  }
  return text;
}

void SetUpHome() {
  static bool done = [] {
    const std::string home = FuzzFolder() + "/home";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    APPL.SetName("Halvane", "");
    mainPREFS.SetFileName("Halvane Preferences");
    return true;
  }();
  (void)done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  SetUpHome();
  if (size > (1 << 20)) return 0;
  const std::string path = mainPREFS.Path();
  {
    FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    std::fclose(file);
  }
  PlistTag first;
  int loaded = mainPREFS.Load(&first);
  FUZZ_CHECK(loaded == 0 || loaded == -4);
  FUZZ_CHECK(mainPREFS.Save(&first) == 0);
  PlistTag second;
  FUZZ_CHECK(mainPREFS.Load(&second) == 0);
  // Saving what was loaded writes the same bytes (checked less often: a
  // save is the costliest step here).
  if (size % 4 == 0) {
    const std::string saved = ReadFile(path);
    FUZZ_CHECK(mainPREFS.Save(&second) == 0);
    FUZZ_CHECK(ReadFile(path) == saved);
  }
  return 0;
}
