#include "foundation/TextEncodings.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

const int kNoLimit = 0x7FFFFFF;
const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Length(const char* s, int len) { return len < 0 ? (int)strlen(s) : len; }

int DigitValue(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 87;
  if (c >= 'A' && c <= 'Z') return c - 55;
  if (c >= '0' && c <= '9') return c - '0';
  return c;
}

bool UrlSafe(unsigned char c) { return isalnum(c) || c == '-' || c == '_'; }

int Base64Index(unsigned char c) { return int(strchr(kBase64, c) - kBase64); }

// Unicode of the Mac Roman bytes 0x80 to 0xFF; below 0x80 the two agree.
const UInt16 kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

UInt16 MacRomanToUnicode(unsigned char c) { return c < 0x80 ? c : kMacRomanHigh[c - 0x80]; }

// Older tables gave a few bytes other code points; both are read.
unsigned char UnicodeToMacRoman(UInt32 u) {
  if (u < 0x80) return (unsigned char)u;
  for (int i = 0; i < 128; i++)
    if (kMacRomanHigh[i] == u) return (unsigned char)(0x80 + i);
  switch (u) {
    case 0x00A4: return 0xDB;
    case 0x0394: return 0xC6;
    case 0x03BC: return 0xB5;
    case 0x2126: return 0xBD;
    default: return '?';
  }
}

void AppendUtf8(std::string& out, UInt32 u) {
  if (u < 0x80) {
    out += char(u);
  } else if (u < 0x800) {
    out += char(0xC0 | (u >> 6));
    out += char(0x80 | (u & 0x3F));
  } else {
    out += char(0xE0 | (u >> 12));
    out += char(0x80 | ((u >> 6) & 0x3F));
    out += char(0x80 | (u & 0x3F));
  }
}

// Reads one character at s and returns the number of bytes it takes; a
// malformed sequence gives U+FFFD for its first byte.
int ReadUtf8(const unsigned char* s, UInt32* u) {
  int extra = s[0] >= 0xF0 ? 3 : s[0] >= 0xE0 ? 2 : s[0] >= 0xC0 ? 1 : 0;
  if (s[0] < 0x80) {
    *u = s[0];
    return 1;
  }
  *u = 0xFFFD;
  if (s[0] < 0xC2 || s[0] > 0xF4) return 1;
  UInt32 value = s[0] & (0x3F >> extra);
  for (int i = 1; i <= extra; i++) {
    if ((s[i] & 0xC0) != 0x80) return 1;
    value = (value << 6) | (s[i] & 0x3F);
  }
  static const UInt32 kSmallest[4] = {0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 1;
  *u = value;
  return extra + 1;
}

}  // namespace

UInt16 charToHex(unsigned char c) {
  static const char digits[] = "0123456789ABCDEF";
  return UInt16((UInt8(digits[c >> 4]) << 8) | UInt8(digits[c & 15]));
}

unsigned char hexToChar(UInt16 pair) { return (unsigned char)(DigitValue(pair >> 8) * 16 + DigitValue(pair & 0xFF)); }

int stringToHex(const char* src, int len, char* dst) {
  len = Length(src, len);
  for (int i = 0; i < len; i++) {
    UInt16 pair = charToHex((unsigned char)src[i]);
    dst[2 * i] = char(pair >> 8);
    dst[2 * i + 1] = char(pair & 0xFF);
  }
  dst[2 * len] = 0;
  return 2 * len;
}

int hexToString(const char* src, int len, char* dst) {
  len = Length(src, len);
  for (int i = 0; i < len / 2; i++) dst[i] = (char)hexToChar(UInt16((UInt8(src[2 * i]) << 8) | UInt8(src[2 * i + 1])));
  return len / 2;
}

int urlencode(const char* src, char* dst, int srcLen, int limit) {
  srcLen = Length(src, srcLen);
  if (limit < 0) limit = 3 * srcLen;
  int i = 0, out = 0;
  for (; i < srcLen; i++) {
    unsigned char c = src[i];
    if (UrlSafe(c)) {
      if (out + 1 > limit) break;
      dst[out++] = c;
    } else {
      if (out + 3 > limit) break;
      UInt16 pair = charToHex(c);
      dst[out++] = '%';
      dst[out++] = char(pair >> 8);
      dst[out++] = char(pair & 0xFF);
    }
  }
  dst[out] = 0;
  return i;
}

int urldecode(const char* src, char* dst, int srcLen, int limit) {
  srcLen = Length(src, srcLen);
  if (limit < 0) limit = srcLen;
  int i = 0, out = 0;
  while (i < srcLen && out < limit) {
    char c = src[i];
    if (c == '%') {
      int left = srcLen - i - 1;
      if (left == 0) break;
      if (left == 1) {
        c = (char)DigitValue(src[i + 1]);
        i += 2;
      } else {
        c = (char)hexToChar(UInt16((UInt8(src[i + 1]) << 8) | UInt8(src[i + 2])));
        i += 3;
      }
    } else {
      if (c == '+') c = ' ';
      i++;
    }
    dst[out++] = c;
  }
  dst[out] = 0;
  return i;
}

int addslashes(const char* src, char* dst, int srcLen, int limit) {
  srcLen = Length(src, srcLen);
  if (limit < 0) limit = 2 * srcLen;
  int out = 0;
  for (int i = 0; i < srcLen; i++) {
    char c = src[i];
    bool escaped = c == '\'' || c == '"' || c == '\\' || c == 0;
    if (out + 1 + escaped > limit) break;
    if (escaped) dst[out++] = '\\';
    dst[out++] = c ? c : '0';
  }
  dst[out] = 0;
  return out;
}

int stripslashes(const char* src, char* dst, int limit) {
  if (limit < 0) limit = (int)strlen(src);
  int out = 0;
  for (const char* s = src; *s && out < limit; s++) {
    if (*s == '\\') {
      if (!*++s) break;
      dst[out++] = *s == '0' ? 0 : *s;
    } else {
      dst[out++] = *s;
    }
  }
  dst[out] = 0;
  return out;
}

unsigned int base64_encodeSizeNeeded(unsigned int n) {
  if (n == 0) return 0;
  UInt64 size = UInt64(n) * 4 / 3 + 5;
  return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : (unsigned int)size;
}

unsigned int base64_decodeSizeNeeded(unsigned int n) { return n == 0 ? 0 : (unsigned int)((3 * UInt64(n) + 12) / 4); }

bool is_base64(unsigned char c) { return isalnum(c) || c == '+' || c == '/'; }

int base64_encode(const void* src, char* dst, int srcLen, int limit) {
  const unsigned char* in = (const unsigned char*)src;
  srcLen = Length((const char*)src, srcLen);
  if (limit < 0) limit = kNoLimit;
  int out = 0;
  for (int i = 0; i < srcLen; i += 3) {
    int n = srcLen - i < 3 ? srcLen - i : 3;
    unsigned char b0 = in[i], b1 = n > 1 ? in[i + 1] : 0, b2 = n > 2 ? in[i + 2] : 0;
    const int values[4] = {b0 >> 2, ((b0 & 3) << 4) + (b1 >> 4), ((b1 & 15) << 2) + (b2 >> 6), b2 & 63};
    for (int k = 0; k < 4; k++) {
      if (out >= limit) {
        dst[0] = 0;
        return -1;
      }
      dst[out++] = k <= n ? kBase64[values[k]] : '=';
    }
  }
  dst[out] = 0;
  return out;
}

int base64_decode(const char* src, void* dst, int srcLen, int limit) {
  unsigned char* out = (unsigned char*)dst;
  srcLen = Length(src, srcLen);
  if (limit < 0) limit = kNoLimit;
  int values[4], n = 0, count = 0;
  auto emit = [&](int bytes) {
    const unsigned char made[3] = {(unsigned char)((values[0] << 2) | (values[1] >> 4)),
                                   (unsigned char)((values[1] << 4) | (values[2] >> 2)),
                                   (unsigned char)((values[2] << 6) | values[3])};
    for (int k = 0; k < bytes; k++) {
      if (count >= limit) return false;
      out[count++] = made[k];
    }
    return true;
  };
  for (int i = 0; i < srcLen; i++) {
    unsigned char c = src[i];
    if (c == '=' || !is_base64(c)) break;
    values[n++] = Base64Index(c);
    if (n == 4) {
      if (!emit(3)) return -1;
      n = 0;
    }
  }
  if (n > 1) {
    for (int k = n; k < 4; k++) values[k] = 0;
    if (!emit(n - 1)) return -1;
  }
  return count;
}

int ParseUrl(char* url, char** scheme, char** host, char** port, char** user, char** password, char** path,
             char** query, char** fragment) {
  char *schemePart = nullptr, *rest = url;
  if (char* mark = strstr(url, "://")) {
    schemePart = url;
    *mark = 0;
    memmove(mark + 1, mark + 3, strlen(mark + 3) + 1);
    rest = mark + 1;
  }
  char *pathPart = nullptr, *queryPart = nullptr, *fragmentPart = nullptr;
  if (char* slash = strchr(rest, '/')) {
    *slash = 0;
    pathPart = slash + 1;
    char* question = strchr(pathPart, '?');
    char* hash = strchr(pathPart, '#');
    if (question) {
      *question = 0;
      queryPart = question + 1;
    }
    if (hash) {
      *hash = 0;
      fragmentPart = hash + 1;
    }
  }
  char *userPart = nullptr, *passwordPart = nullptr, *hostPart = rest, *portPart = nullptr;
  if (char* at = strchr(rest, '@')) {
    *at = 0;
    userPart = rest;
    hostPart = at + 1;
    if (char* colon = strchr(userPart, ':')) {
      *colon = 0;
      passwordPart = colon + 1;
    }
  }
  if (char* colon = strchr(hostPart, ':')) {
    *colon = 0;
    portPart = colon + 1;
  }

  char** outs[8] = {scheme, host, port, user, password, path, query, fragment};
  char* parts[8] = {schemePart, hostPart, portPart, userPart, passwordPart, pathPart, queryPart, fragmentPart};
  for (int i = 0; i < 8; i++)
    if (outs[i]) *outs[i] = parts[i];
  return 1;
}

char* FindTags(char* text, char** after) {
  for (char* p = text;;) {
    char* open = strchr(p, '<');
    if (!open) return nullptr;
    char* close = strchr(open + 1, '>');
    if (!close) return nullptr;
    if (open[1] != '/') {
      *close = 0;
      if (after) *after = close + 1;
      return open + 1;
    }
    p = close + 1;
  }
}

// A number past 32 bits wraps, as it would in a 32-bit atoi.
SInt32 ParseNum(const char* text, unsigned char* ok) {
  const char* p = text;
  while (*p == '+' || *p == '0' || *p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') p++;
  const char* digits = *p == '-' ? p + 1 : p;
  bool valid = strspn(digits, "0123456789") == strlen(digits);
  if (ok) *ok = valid;
  return valid ? (SInt32)(UInt32)strtoll(p, nullptr, 10) : 0;
}

std::string ConvertCStrToUnicode(const char* s) {
  std::string out;
  for (; s && *s; s++) AppendUtf8(out, MacRomanToUnicode((unsigned char)*s));
  return out;
}

std::string ConvertUnicodeToCStr(const void* utf8) {
  std::string out;
  const unsigned char* s = (const unsigned char*)utf8;
  while (s && *s) {
    UInt32 u;
    s += ReadUtf8(s, &u);
    out += (char)UnicodeToMacRoman(u);
  }
  return out;
}

void ConvertPStrToUnicode(const unsigned char* p, HFSUniStr255& out) {
  out.length = p[0];
  for (int i = 0; i < p[0]; i++) out.unicode[i] = MacRomanToUnicode(p[i + 1]);
}

// A surrogate pair is one character outside Mac Roman: one '?'.
void ConvertUnicodeToPStr(HFSUniStr255 name, unsigned char* p) {
  int units = name.length < 255 ? name.length : 255, n = 0;
  for (int i = 0; i < units; i++) {
    UniChar u = name.unicode[i];
    bool pair =
        u >= 0xD800 && u <= 0xDBFF && i + 1 < units && name.unicode[i + 1] >= 0xDC00 && name.unicode[i + 1] <= 0xDFFF;
    i += pair;
    p[++n] = pair ? '?' : UnicodeToMacRoman(u);
  }
  p[0] = (unsigned char)n;
}
