// The scores file, as the game reads and writes it. The first 8 bytes are
// the game just ended, two little-endian 32-bit words: bits 0 and 1 of the
// first say which players played, its other 30 bits (signed) are the first
// player's score, the second word the second player's; the rest is the file. Whatever the file:
// - after a load the table has exactly 15 rows, each a dictionary;
// - the table saved and loaded again is the same table;
// - each player who played lands in the first row they beat (strictly), the
//   rows below move down by one, the last falls off; one who did not play
//   takes no row;
// - a name given to the new row is the name read back after its save.
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "foundation/PlistTag.h"
#include "foundation/TextBuffer.h"
#include "frontend/Preferences.h"
#include "frontend/Scores.h"
#include "shell/ApplInfo.h"

namespace {

constexpr int kRows = 15;
constexpr int kPlayers = 2;

void SetUp() {
  static bool done = [] {
    FuzzUseHome();
    APPL.SetName("Halvane", "");
    mainSCORES.SetFileName("Halvane Scores");
    // As the program does, once.
    mainSCORES.Init(kRows, kPlayers);
    return true;
  }();
  (void)done;
}

std::string Text(PlistTag* tree) {
  TextBuffer buffer;
  tree->SaveBuffer(&buffer);
  return std::string(reinterpret_cast<const char*>(buffer.Start()), size_t(buffer.DataSize()));
}

PlistTag* Table() { return mainSCORES.document.FindArray("Scores", 0); }

void CheckShape() {
  PlistTag* scores = Table();
  FUZZ_CHECK(scores);
  FUZZ_CHECK(scores->NumChildren() == kRows);
  for (UInt16 r = 0; r < kRows; ++r) {
    PlistTag* row = scores->GetChild(r);
    FUZZ_CHECK(row && row->type[0] == 4 && std::memcmp(row->type + 1, "dict", 4) == 0);
  }
}

SInt32 ScoreOf(PlistTag* tag) {
  SInt32 v = 0;
  tag->GetLong("Score", &v, 0);
  return v;
}

std::vector<SInt32> RowScores() {
  std::vector<SInt32> out;
  for (UInt16 r = 0; r < kRows; ++r) out.push_back(ScoreOf(Table()->GetChild(r)));
  return out;
}

SInt32 Int32At(const uint8_t* p) {
  return SInt32(UInt32(p[0]) | UInt32(p[1]) << 8 | UInt32(p[2]) << 16 | UInt32(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  SetUp();
  if (size < 8 || size > (1 << 20)) return 0;
  const UInt8 played = data[0] & 3;
  const SInt32 result[kPlayers] = {Int32At(data) >> 2, Int32At(data + 4)};
  mainSCORES.document.DeleteChildren();
  mainSCORES.ClearUpdates();
  PREFS.Defaults();
  FuzzWriteFile(mainSCORES.Path(), data + 8, size - 8);

  LoadScores();
  CheckShape();
  const std::string loaded = Text(&mainSCORES.document);
  SaveScores();
  LoadScores();
  CheckShape();
  FUZZ_CHECK(Text(&mainSCORES.document) == loaded);

  // The places the results should take, worked out on the scores alone.
  std::vector<SInt32> expected = RowScores();
  int place[kPlayers] = {-1, -1};
  for (int p = 0; p < kPlayers; ++p) {
    if (!(played & (1 << p))) continue;
    for (int r = 0; r < kRows; ++r) {
      if (result[p] > expected[size_t(r)]) {
        expected.insert(expected.begin() + r, result[p]);
        expected.pop_back();
        for (int q = 0; q < p; ++q)
          if (place[q] >= r) place[q] = place[q] + 1 < kRows ? place[q] + 1 : -1;
        place[p] = r;
        break;
      }
    }
  }
  mainSCORES.ClearUpdates();
  for (int p = 0; p < kPlayers; ++p) {
    if (!(played & (1 << p))) continue;
    mainSCORES.checkEntry[UInt32(p)].NewLong("Score", result[p]);
    mainSCORES.checkEntry[UInt32(p)].NewChar("Level", char(p + 1));
  }
  const SInt16 found = mainSCORES.Check("Score");
  CheckShape();
  FUZZ_CHECK(RowScores() == expected);
  FUZZ_CHECK(found == (place[0] >= 0 || place[1] >= 0 ? 1 : 0));
  for (int p = 0; p < kPlayers; ++p) FUZZ_CHECK(mainSCORES.checkEntry[UInt32(p)].position == place[p]);

  // A name with the characters the file format escapes.
  for (int p = 0; p < kPlayers; ++p) {
    if (place[p] < 0) continue;
    const std::string name = p == 0 ? "R&amp;D <&lt;>" : "a&b\"c'd";
    SetNewScoreName(char(p), name.c_str());
    CheckShape();
    std::string stored;
    FUZZ_CHECK(Table()->GetChild(UInt16(place[p]))->GetString("Name", &stored, 0));
    FUZZ_CHECK(stored == PrintableText(name));
    FUZZ_CHECK(RowScores() == expected);
  }
  mainSCORES.document.DeleteChildren();
  mainSCORES.ClearUpdates();
  return 0;
}
