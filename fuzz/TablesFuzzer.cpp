// The bundle's tables: a colour table ("CLUT/<id>.clut", byte 0 even) and a
// trigonometry table ("SIN Table 360", byte 0 odd); the rest of the input is
// the file. A colour table is refused unless the file is exactly one table
// (8-byte head, then 8 bytes for each of its entries), and one taken holds
// the file's values and copies whole into a table as large; a trigonometry
// table holds the file's big-endian words, and zeros past a short file's end.
//
// Byte 0 of 0xF0 or 0xF2 loads a 16-bit lookup table ("<name>.tabl") from
// the rest of the input repeated to the table's 65,536 bytes; of 0xF4 or
// 0xF6, from a picture ("<name>.png") whose size comes from bytes 1 and 2
// and whose opaque pixels are the rest of the input repeated. Each entry
// holds the file's word (the picture's pixel as 1-5-5-5, where the picture
// reaches), and the upper half repeats the lower.
//
// A trigonometry table taken is then the sine and cosine of the game's
// sparks: a burst (its count, speed class and place from the file's first
// bytes) moves for a second of frames, and a spark that was outside the
// view at the start of a move is off after it.
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "foundation/Paths.h"
#include "foundation/Random.h"
#include "foundation/StringLibrary.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "game/Game.h"
#include "game/GameObjects.h"
#include "game/GameServices.h"
#include "graphics/ColorTables.h"
#include "graphics/PNGFile.h"
#include "platform/QuickDraw.h"
#include "shell/ApplInfo.h"

namespace {

constexpr int kTableEntries = 360;
constexpr SInt16 kTableId = 1300;  // no system table has it

UInt16 Word(const uint8_t* p) { return UInt16(p[0] << 8 | p[1]); }

const std::string& Resources() {
  static const std::string path = FuzzMakeBundle("Tables.app", {"CLUT"});
  return path;
}

FUZZ_NOT_STEERING void CheckMirrored(const UInt16* table) {
  for (SInt32 i = 0; i < kPixels16; ++i) FUZZ_CHECK(table[i + kPixels16] == table[i]);
}

FUZZ_NOT_STEERING void CheckLookupFile(const UInt16* table, const std::vector<uint8_t>& bytes) {
  for (SInt32 i = 0; i < kPixels16; ++i)
    FUZZ_CHECK(table[i] == UInt16(bytes[2 * size_t(i)] << 8 | bytes[2 * size_t(i) + 1]));
  CheckMirrored(table);
}

FUZZ_NOT_STEERING void CheckLookupPicture(const UInt16* table, const std::vector<uint8_t>& rgba, int width,
                                          int height) {
  for (int y = 0; y < std::min(height, 128); ++y)
    for (int x = 0; x < std::min(width, 256); ++x) {
      const uint8_t* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
      const UInt16 packed = UInt16((p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3));
      FUZZ_CHECK(table[y * 256 + x] == packed);
    }
  CheckMirrored(table);
}

// The sparks of the game moved by the table just loaded.
void FlySparks(const SInt32* table, const uint8_t* file, size_t length) {
  for (int i = 0; i < 360; ++i) sinTABLE[i] = cosTABLE[i] = table[i];
  auto byte = [&](size_t i) { return i < length ? file[i] : uint8_t(i * 31); };
  PREFS.effects = 1;
  viewRECT = Rect{0, 0, 480, 640};
  randomSEED = UInt32(byte(0)) | UInt32(byte(1)) << 8;
  for (Spark& s : _SPARK) s = Spark{};
  const RGBColorF colour;
  DoSparks(SInt16(1 + byte(2) % kSparks), char(byte(3)), &colour, SInt16(byte(4) * 3 - 64), SInt16(byte(5) * 2 - 16));
  for (int frame = 0; frame < 30; ++frame) {
    bool outside[kSparks];
    for (int i = 0; i < kSparks; ++i) {
      const Spark& s = _SPARK[i];
      const SInt32 px = s.x >> 8, py = s.y >> 8;
      outside[i] = px < viewRECT.left || px >= viewRECT.right || py < viewRECT.top || py >= viewRECT.bottom;
    }
    MoveSparks();
    for (int i = 0; i < kSparks; ++i)
      if (outside[i]) FUZZ_CHECK(!_SPARK[i].active);
  }
}

void LookupTables(const uint8_t* data, size_t size) {
  APPL.buildDepth = 16;
  const uint8_t* rest = data + 1;
  size_t length = size - 1;
  UInt16* table = nullptr;
  if (data[0] == 0xF0 || data[0] == 0xF2) {
    if (length == 0) return;
    std::vector<uint8_t> bytes(2 * size_t(kPixels16));
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = rest[i % length];
    FuzzWriteFile(Resources() + "/Fuzz.tabl", bytes.data(), bytes.size());
    LoadLookupTable16(&table, PStr("Fuzz"));
    FUZZ_CHECK(table);
    CheckLookupFile(table, bytes);
  } else {
    if (length < 3) return;
    const int width = 1 + rest[0] % 300, height = 1 + rest[1] % 160;
    rest += 2;
    length -= 2;
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = i % 4 == 3 ? 255 : rest[(i - i / 4) % length];
    const std::string path = Resources() + "/Fuzz.png";
    FUZZ_CHECK(SavePNG(path.c_str(), rgba.data(), width, height, 0, nullptr, 0) == 1);
    FUZZ_CHECK(LoadLookupTable_PNG(&table, "Fuzz") == 0);
    FUZZ_CHECK(table);
    CheckLookupPicture(table, rgba, width, height);
  }
  DisposeLookupTable(&table);
  FUZZ_CHECK(!table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size < 1 || size > (1 << 16)) return 0;
  if (data[0] == 0xF0 || data[0] == 0xF2 || data[0] == 0xF4 || data[0] == 0xF6) {
    LookupTables(data, size);
    return 0;
  }
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
    FlySparks(table, file, length);
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
