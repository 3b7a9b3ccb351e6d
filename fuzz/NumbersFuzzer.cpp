// The number parsers over any text: Pascal-string numbers, strict decimal
// numbers, the text buffer's digit runs and version texts. Every number the
// engine writes must read back as itself.
#include <algorithm>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "foundation/StringFunctions.h"
#include "foundation/TextBuffer.h"
#include "foundation/TextEncodings.h"
#include "foundation/Version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > 65536) return 0;
  unsigned char pascal[256];
  pascal[0] = UInt8(std::min<size_t>(size, 255));
  std::memcpy(pascal + 1, data, pascal[0]);

  SInt32 n = 0;
  QK_StringToNum(pascal, &n);
  Str255 written;
  QK_NumToString(n, written);
  SInt32 back = ~n;
  QK_StringToNum(written, &back);
  FUZZ_CHECK(back == n);

  const std::string text(reinterpret_cast<const char*>(data), size);
  unsigned char ok = 0;
  SInt32 strict = ParseNum(text.c_str(), &ok);
  FUZZ_CHECK(ok || strict == 0);
  if (ok) {
    const std::string again = std::to_string(strict);
    FUZZ_CHECK(ParseNum(again.c_str(), &ok) == strict && ok);
  }

  TextBuffer buffer;
  buffer.LoadData(text.data(), SInt32(size));
  for (int i = 0; i < 64 && buffer.GetPos() < buffer.DataSize(); i++) {
    SInt32 before = buffer.GetPos();
    buffer.ReadNum();
    if (buffer.GetPos() == before) break;
  }

  NumVersion version = ParseVersionText(pascal);
  Str255 versionText;
  GetVersionString(version, versionText, 0);
  GetVersionString(version, versionText, 1);
  GetCodeFromString(pascal);
  return 0;
}
