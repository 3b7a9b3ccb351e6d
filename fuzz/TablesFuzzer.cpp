// The bundle's tables: a colour table ("CLUT/<id>.clut", byte 0 even) and a
// trigonometry table ("SIN Table 360", byte 0 odd); the rest of the input is
// the file. A colour table is refused unless the file is exactly one table
// (8-byte head, then 8 bytes for each of its entries), and one taken holds
// the file's values and copies whole into a table as large; a trigonometry
// table holds the file's big-endian words, and zeros past a short file's end.
#include <sys/stat.h>

#include <string>

#include "FuzzSupport.h"
#include "foundation/Paths.h"
#include "frontend/Resources.h"
#include "graphics/ColorTables.h"
#include "platform/QuickDraw.h"

namespace {

constexpr int kTableEntries = 360;
constexpr SInt16 kTableId = 1300;  // no system table has it

UInt16 Word(const uint8_t* p) { return UInt16(p[0] << 8 | p[1]); }

const std::string& Resources() {
  static const std::string path = FuzzMakeBundle("Tables.app", {"CLUT"});
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size < 1 || size > (1 << 16)) return 0;
  const uint8_t* file = data + 1;
  const size_t length = size - 1;
  if (data[0] & 1) {
    FuzzWriteFile(Resources() + "/SIN Table 360", file, length);
    SInt32 table[kTableEntries + 1];
    table[kTableEntries] = 0x5A5A5A5A;  // nothing is written past the table
    LoadMathTable(table, "SIN Table 360");
    FUZZ_CHECK(table[kTableEntries] == 0x5A5A5A5A);
    for (int d = 0; d < kTableEntries; ++d) {
      const size_t at = 4 * size_t(d);
      if (at + 4 <= length) {
        FUZZ_CHECK(table[d] == SInt32(UInt32(Word(file + at)) << 16 | Word(file + at + 2)));
      } else if (at >= length) {
        FUZZ_CHECK(table[d] == 0);
      }
    }
    return 0;
  }
  FuzzWriteFile(Resources() + "/CLUT/" + std::to_string(kTableId) + ".clut", file, length);
  CTabHandle table = nullptr;
  LoadCTable(&table, kTableId);
  const SInt32 last = length >= 8 ? SInt16(Word(file + 6)) : -1;
  const bool whole = last >= 0 && last <= 255 && length == 8 + 8 * size_t(last + 1);
  FUZZ_CHECK((table != nullptr) == whole);
  if (!table) return 0;
  FUZZ_CHECK((*table)->ctSize == last);
  FUZZ_CHECK(UInt16((*table)->ctFlags) == Word(file + 4));
  for (SInt32 i = 0; i <= last; ++i) {
    const uint8_t* e = file + 8 + 8 * i;
    const ColorSpec& spec = (*table)->ctTable[i];
    FUZZ_CHECK(spec.value == SInt16(Word(e)) && spec.rgb.red == Word(e + 2) && spec.rgb.green == Word(e + 4) &&
               spec.rgb.blue == Word(e + 6));
  }
  CTabHandle copy = NewColorTable(SInt16(last + 1));
  FUZZ_CHECK(copy);
  CopyCTable(table, copy);
  FUZZ_CHECK((*copy)->ctSize == last && (*copy)->ctSeed == (*table)->ctSeed);
  for (SInt32 i = 0; i <= last; ++i)
    FUZZ_CHECK((*copy)->ctTable[i].value == (*table)->ctTable[i].value &&
               (*copy)->ctTable[i].rgb.blue == (*table)->ctTable[i].rgb.blue);
  DisposeCTable(copy);
  DisposeCTable(table);
  return 0;
}
