// The text encodings over any bytes: each escape and its reverse give back
// the input; decoders of foreign text stay within their limits.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "foundation/TextEncodings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > 65536) return 0;
  const char* src = reinterpret_cast<const char*>(data);
  const int n = int(size);
  const std::string text(src, size);
  const std::string cText = text.c_str();  // up to the first NUL

  std::vector<char> hex(2 * size + 1), back(size + 1);
  FUZZ_CHECK(stringToHex(src, n, hex.data()) == 2 * n);
  FUZZ_CHECK(hexToString(hex.data(), 2 * n, back.data()) == n);
  FUZZ_CHECK(std::memcmp(back.data(), src, size) == 0);
  hexToString(src, n, back.data());

  std::vector<char> url(3 * size + 1), plain(size + 1);
  FUZZ_CHECK(urlencode(src, url.data(), n, -1) == n);
  const int urlLength = int(std::strlen(url.data()));
  FUZZ_CHECK(urldecode(url.data(), plain.data(), urlLength, n) == urlLength);
  FUZZ_CHECK(std::memcmp(plain.data(), src, size) == 0);
  urldecode(src, plain.data(), n, -1);

  std::vector<char> slashed(2 * size + 1), unslashed(size + 1);
  const int slashedLength = addslashes(src, slashed.data(), n, -1);
  FUZZ_CHECK(slashedLength >= n && slashedLength <= 2 * n);
  FUZZ_CHECK(stripslashes(slashed.data(), unslashed.data(), -1) == n);
  FUZZ_CHECK(std::memcmp(unslashed.data(), src, size) == 0);
  stripslashes(cText.c_str(), unslashed.data(), -1);

  std::vector<char> base64(base64_encodeSizeNeeded(unsigned(size)) + 1);
  const int encoded = base64_encode(src, base64.data(), n, int(base64.size()));
  FUZZ_CHECK(encoded >= 0);
  std::vector<char> decoded(base64_decodeSizeNeeded(unsigned(encoded)) + 1);
  FUZZ_CHECK(base64_decode(base64.data(), decoded.data(), encoded, int(decoded.size())) == n);
  FUZZ_CHECK(std::memcmp(decoded.data(), src, size) == 0);
  std::vector<char> foreign(base64_decodeSizeNeeded(unsigned(size)) + 1);
  FUZZ_CHECK(base64_decode(src, foreign.data(), n, int(foreign.size())) <= int(foreign.size()));

  std::string url2 = cText;
  char *scheme, *host, *port, *user, *password, *path, *query, *fragment;
  ParseUrl(url2.data(), &scheme, &host, &port, &user, &password, &path, &query, &fragment);
  std::string tags = cText;
  char* after = nullptr;
  FindTags(tags.data(), &after);
  unsigned char ok = 0;
  ParseNum(cText.c_str(), &ok);

  std::string unicode = ConvertCStrToUnicode(cText.c_str());
  FUZZ_CHECK(ConvertUnicodeToCStr(unicode.c_str()) == cText);
  ConvertUnicodeToCStr(cText.c_str());
  unsigned char pascal[256];
  pascal[0] = UInt8(std::min<size_t>(size, 255));
  std::memcpy(pascal + 1, src, pascal[0]);
  HFSUniStr255 name;
  ConvertPStrToUnicode(pascal, name);
  unsigned char again[256];
  ConvertUnicodeToPStr(name, again);
  return 0;
}
