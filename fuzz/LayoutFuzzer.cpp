// The layout loader over any file: with no frame table (the layout makes
// its own frames) or with a small table whose blocks are followed by guard
// records that must stay untouched.
#include <algorithm>
#include <cstdio>
#include <string>

#include "FuzzSupport.h"
#include "graphics/Layout.h"
#include "shell/ApplInfo.h"

namespace {

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

int Load(const char* folder) {
  Layout layout;
  layout.name[0] = 4;
  std::copy_n("Fuzz", 4, layout.name + 1);
  return LoadLayout_PLIST(&layout, nullptr, 0, folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > (1 << 20)) return 0;
  const std::string& folder = FuzzFolder();
  FUZZ_CHECK(WriteFile(folder + "/Fuzz.plist", data, size));

  // Inputs of even length load without a frame table, the others with one:
  // parsing is most of the cost, so each input is read once.
  if (size % 2 == 0) {
    APPL.frameList = nullptr;
    APPL.frameCount = nullptr;
    frameLIST = nullptr;
    curFrame = nullptr;
    layoutsINITED = 0;
    InitLayouts();
    Load(folder.c_str());
    return 0;
  }

  // Blocks of 1, 3 and 8 frames, each followed by a guard record.
  static Frame frames[15];
  Frame* table[3] = {};
  Frame** list = table;
  SInt16 count = 0;
  const char* names[3] = {"aFRAME", "bFRAME", "cFRAME"};
  const SInt16 capacity[3] = {1, 3, 8};
  int used = 0;
  for (int i = 0; i < 3; i++) {
    Frame* block = &frames[used];
    used += capacity[i] + 1;
    for (int k = 0; k <= capacity[i]; k++) block[k].name[0] = 0;
    block->SetArrayName(names[i]);
    APPL.frameList = &list;
    block->List(&count, SInt8(capacity[i]), capacity[i]);
  }
  APPL.frameCount = &count;
  layoutsINITED = 0;
  InitLayouts();
  Load(folder.c_str());
  FUZZ_CHECK(frames[1].name[0] == 0 && frames[5].name[0] == 0 && frames[14].name[0] == 0);
  APPL.frameList = nullptr;
  APPL.frameCount = nullptr;
  frameLIST = nullptr;
  curFrame = nullptr;
  return 0;
}
