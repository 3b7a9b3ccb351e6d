// Styled text from a ".styl" and ".text" pair of the bundle, placed with
// PlaceText. Bytes 0-1 are the length of the style data (big-endian), byte 2
// the rectangle's width, byte 3 the alignment (low 2 bits) and a text size
// (the rest); then the style data, then the text. Whatever they hold:
// PlaceText draws no line end and nothing left of its rectangle, and never
// more characters than the file holds; and the same text laid out in the
// rectangle, in the size and alignment given, has lines that follow each
// other with nothing skipped or repeated up to the text's end, each no wider
// than the rectangle unless it holds one character, and each placed inside
// the rectangle when it fits.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "foundation/Paths.h"
#include "shell/StyledText.h"

namespace {

constexpr char kReturn = '\r';

std::string drawn;
SInt16 drawnLeftmost;
void Record(const char* text, SInt32 count, const TextStyle&, SInt16 h, SInt16) {
  FUZZ_CHECK(count > 0);
  drawn.append(text, size_t(count));
  FUZZ_CHECK(std::find(text, text + count, kReturn) == text + count);
  drawnLeftmost = std::min(drawnLeftmost, h);
}

void SetUp() {
  static bool done = [] {
    const std::string bundle = FuzzFolder() + "/Fuzz.app";
    FuzzWriteFile("Fuzz.app", nullptr, 0);
    std::remove(bundle.c_str());
    SetBundlePathForTesting(bundle.c_str());
    return true;
  }();
  (void)done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  SetUp();
  if (size < 4 || size > (1 << 16)) return 0;
  size_t styleLength = size_t(data[0]) << 8 | data[1];
  if (styleLength > size - 4) styleLength = size - 4;
  const SInt16 width = data[2];
  const SInt16 alignments[4] = {teFlushDefault, teCenter, teFlushRight, teFlushLeft};
  const SInt16 alignment = alignments[data[3] & 3];
  const std::string styles(reinterpret_cast<const char*>(data + 4), styleLength);
  const std::string text(reinterpret_cast<const char*>(data + 4 + styleLength), size - 4 - styleLength);
  if (styles.size() < 2) return 0;  // a missing style is a fatal report by design

  static const std::string resources = [] {
    const std::string path = GetResourcesPath();
    for (size_t at = 1; (at = path.find('/', at)) != std::string::npos; ++at) mkdir(path.substr(0, at).c_str(), 0700);
    mkdir(path.c_str(), 0700);
    return path;
  }();
  const std::string base = resources.substr(FuzzFolder().size() + 1) + "/Fuzz";
  FuzzWriteFile(base + ".styl", reinterpret_cast<const uint8_t*>(styles.data()), styles.size());
  FuzzWriteFile(base + ".text", reinterpret_cast<const uint8_t*>(text.data()), text.size());

  Rect rect{10, 20, 200, SInt16(20 + width)};
  drawn.clear();
  drawnLeftmost = 32767;
  styledTextDrawProc = Record;
  PlaceText(reinterpret_cast<const unsigned char*>("\x04"
                                                   "Fuzz"),
            &rect);
  styledTextDrawProc = nullptr;

  // The same record, laid out where its lines can be seen.
  StyledText record(rect);
  record.Insert(text, {});
  record.SelectAll();
  TextStyle style;
  style.tsSize = SInt16(1 + (data[3] >> 2));
  record.SetStyle(doSize, style);
  record.SetAlignment(alignment);
  const std::string& held = record.Text();
  const std::vector<TextLine> lines = record.Lines();
  FUZZ_CHECK(!lines.empty());
  SInt32 at = 0;
  for (const TextLine& line : lines) {
    FUZZ_CHECK(line.start == at && line.end >= line.start);
    FUZZ_CHECK(line.width <= width || line.end - line.start <= 1 || line.width == 0);
    if (line.width <= width) FUZZ_CHECK(line.left >= 0 && line.left + line.width <= width);
    at = line.end;
    if (at < SInt32(held.size()) && held[size_t(at)] == kReturn) at++;
  }
  FUZZ_CHECK(at == SInt32(held.size()));

  FUZZ_CHECK(drawn.size() <= text.size());
  if (!drawn.empty()) FUZZ_CHECK(drawnLeftmost >= rect.left);
  return 0;
}
