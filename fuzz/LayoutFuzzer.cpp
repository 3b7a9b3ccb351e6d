// The layout loader over any file: with no frame table (the layout makes
// its own frames) or with a small table whose blocks are followed by guard
// records that must stay untouched. Whatever the file, the frames loaded
// form one well-linked list of the count the layout reports; with a table
// each lies inside a block, once, in table order, and the block lookup
// answers nothing outside its block; without one each is the layout's own,
// no more than its bound; every frame's name, hot items, align points and
// place in its array stay within their sizes.
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

// Blocks of 1, 3 and 8 frames, each followed by a guard record.
Frame frames[15];
const SInt16 kCapacity[3] = {1, 3, 8};
const int kStart[3] = {0, 2, 6};

int BlockOf(const Frame* frame) {
  for (int b = 0; b < 3; b++)
    if (frame >= frames + kStart[b] && frame < frames + kStart[b] + kCapacity[b]) return b;
  return -1;
}

void CheckFrame(const Frame* frame) {
  FUZZ_CHECK(frame->name[0] <= 31 && frame->kindName[0] <= 31);
  FUZZ_CHECK(frame->hotRect.Size() <= 127 && frame->hotPoint.Size() <= 127);
  FUZZ_CHECK(frame->HotRectCount() == SInt8(frame->hotRect.Size()));
  FUZZ_CHECK(frame->HotPointCount() == SInt8(frame->hotPoint.Size()));
  FUZZ_CHECK(frame->alignPoint.Size() == kAlignPointCount);
  if (!frame->member) return;
  // A member's place lies inside the array sizes it was made with.
  for (int d = 0; d < 3; d++) {
    const SInt8 n = frame->arraySize[d], at = frame->arrayIndex[d];
    FUZZ_CHECK(at >= 0 && (n > 0 ? at < n : at == 0));
  }
}

void CheckLayout(const Layout& layout, bool table) {
  const SInt32 bound = table ? 15 : kMaxOwnFrames;
  SInt32 n = 0;
  const Frame* prev = nullptr;
  for (const Frame* frame = layout.first; frame; frame = frame->next) {
    FUZZ_CHECK(++n <= bound);
    FUZZ_CHECK(frame->prev == prev);
    if (table) {
      FUZZ_CHECK(BlockOf(frame) >= 0 && !frame->allocated);
      FUZZ_CHECK(!prev || frame > prev);
    } else {
      FUZZ_CHECK(frame->allocated);
    }
    CheckFrame(frame);
    prev = frame;
  }
  FUZZ_CHECK(layout.last == prev);
  FUZZ_CHECK(layout.count == n);
  FUZZ_CHECK(layout.ownFrames == (table ? 0 : n));
  if (!table) return;
  for (SInt16 b = 0; b < 3; b++)
    for (SInt16 i = -2; i < 20; i++)
      for (SInt16 j = -1; j < 3; j++) {
        const Frame* got = GetArrayFrame(b, i, j, 0);
        FUZZ_CHECK(!got || BlockOf(got) == b);
      }
}

int Load(const char* folder, bool table) {
  Layout layout;
  layout.name[0] = 4;
  std::copy_n("Fuzz", 4, layout.name + 1);
  const int result = LoadLayout_PLIST(&layout, nullptr, 0, folder);
  CheckLayout(layout, table);
  return result;
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
    Load(folder.c_str(), false);
    return 0;
  }

  Frame* table[3] = {};
  Frame** list = table;
  SInt16 count = 0;
  const char* names[3] = {"aFRAME", "bFRAME", "cFRAME"};
  for (int i = 0; i < 3; i++) {
    Frame* block = &frames[kStart[i]];
    // The records are reused from input to input: what one load wrote must
    // not pass for the next one's.
    for (int k = 0; k <= kCapacity[i]; k++) {
      block[k].name[0] = 0;
      block[k].member = 0;
      std::fill_n(block[k].arraySize, 3, SInt8(0));
      std::fill_n(block[k].arrayIndex, 3, SInt8(0));
    }
    block->SetArrayName(names[i]);
    APPL.frameList = &list;
    block->List(&count, SInt8(kCapacity[i]), kCapacity[i]);
  }
  APPL.frameCount = &count;
  layoutsINITED = 0;
  InitLayouts();
  Load(folder.c_str(), true);
  FUZZ_CHECK(frames[1].name[0] == 0 && frames[5].name[0] == 0 && frames[14].name[0] == 0);
  APPL.frameList = nullptr;
  APPL.frameCount = nullptr;
  frameLIST = nullptr;
  curFrame = nullptr;
  return 0;
}
