#include "foundation/StringFunctions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const unsigned char kNoBreakSpace = 0xCA;

bool IsSpace(unsigned char c) { return c == ' ' || c == kNoBreakSpace; }

// Appends the characters of src to dst when the joined text stays within max.
SInt16 AppendWithin(const unsigned char* src, unsigned char* dst, int max) {
  if (!src || !dst) return -1;
  int n = src[0];
  if (dst[0] + n > max) return -1;
  memmove(dst + 1 + dst[0], src + 1, n);
  dst[0] = (unsigned char)(dst[0] + n);
  return 0;
}

SInt16 AddNumWithin(SInt32 n, unsigned char* s, int max) {
  if (!s) return -1;
  Str31 text;
  QK_NumToString(n, text);
  return AppendWithin(text, s, max);
}

}  // namespace

SInt16 CopyString(const unsigned char* src, unsigned char* dst) {
  if (!src || !dst || src[0] > 31) return -1;
  memmove(dst, src, src[0] + 1);
  return 0;
}

SInt16 CopyString255(const unsigned char* src, unsigned char* dst) {
  if (!src || !dst) return -1;
  memmove(dst, src, src[0] + 1);
  return 0;
}

SInt16 AddString(const unsigned char* src, unsigned char* dst) { return AppendWithin(src, dst, 31); }

SInt16 AddString255(const unsigned char* src, unsigned char* dst) {
  if (!src || !dst) return -1;
  int n = src[0];
  if (n > 255 - dst[0]) n = 255 - dst[0];
  memmove(dst + 1 + dst[0], src + 1, n);
  dst[0] = (unsigned char)(dst[0] + n);
  return 0;
}

SInt16 ClearString(unsigned char* s) {
  if (!s) return -1;
  s[0] = 0;
  return 0;
}

SInt16 AddNumToString(SInt32 n, unsigned char* s) { return AddNumWithin(n, s, 31); }

SInt16 AddNumToString255(SInt32 n, unsigned char* s) { return AddNumWithin(n, s, 255); }

SInt16 AddCharToString(unsigned char c, unsigned char* s) {
  if (!s || s[0] >= 31) return -1;
  s[++s[0]] = c;
  return 0;
}

void AddStringWord(char n, const unsigned char* src, unsigned char* dst, unsigned char max) {
  if (n < 1 || n > CountWords(src)) return;
  int len = src[0], i = 1;
  while (i <= len && src[i] == ' ') i++;
  for (int word = 1; word < n; word++) {
    while (i <= len && src[i] != ' ') i++;
    while (i <= len && src[i] == ' ') i++;
  }
  while (i <= len && src[i] != ' ' && dst[0] < max) dst[++dst[0]] = src[i++];
}

void CToPStr(const char* c, unsigned char* p) {
  size_t n = strnlen(c, 255);
  memmove(p + 1, c, n);
  p[0] = (unsigned char)n;
}

void PToCStr(const unsigned char* p, char* c) {
  size_t n = p[0];
  memmove(c, p + 1, n);
  c[n] = 0;
}

void QK_NumToString(SInt32 n, unsigned char* s) {
  char text[16];
  snprintf(text, sizeof text, "%d", (int)n);
  CToPStr(text, s);
}

// Reads as atoi does, but a number past 32 bits wraps instead of being
// undefined.
void QK_StringToNum(const unsigned char* s, SInt32* n) {
  char text[256];
  PToCStr(s, text);
  *n = (SInt32)(UInt32)strtoll(text, nullptr, 10);
}

UInt32 GetCodeFromString(const unsigned char* s) {
  UInt32 code = 0;
  for (int i = 1; i <= 4; i++) code = (code << 8) | (i <= s[0] ? s[i] : ' ');
  return code;
}

void GetStringFromCode(unsigned char* s, UInt32 code) {
  s[0] = 4;
  for (int i = 0; i < 4; i++) s[i + 1] = (unsigned char)(code >> (24 - 8 * i));
}

Boolean QK_EqualString(const unsigned char* a, const unsigned char* b, unsigned char, unsigned char) {
  return a[0] == b[0] && memcmp(a + 1, b + 1, a[0]) == 0;
}

Boolean EqualStr(const unsigned char* a, const unsigned char* b, unsigned char caseSens, unsigned char diacSens) {
  return QK_EqualString(a, b, caseSens, diacSens);
}

SInt16 CompString(const unsigned char* a, const unsigned char* b) {
  if (a[0] == 0) return b[0] == 0 ? 0 : -1;
  if (b[0] == 0) return 1;
  auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? (unsigned char)(c + 32) : c; };
  int n = a[0] < b[0] ? a[0] : b[0];
  for (int i = 1; i <= n; i++) {
    unsigned char x = fold(a[i]), y = fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a[0] == b[0]) return 0;
  return a[0] < b[0] ? -1 : 1;
}

bool EqualStr(const char* a, const char* b) { return strcmp(a, b) == 0; }

bool EqualStr(const char* c, const unsigned char* p) {
  for (int i = 0; i < p[0]; i++)
    if (c[i] == 0 || (unsigned char)c[i] != p[i + 1]) return false;
  return c[p[0]] == 0;
}

bool EqualStr(const unsigned char* p, const char* c) { return EqualStr(c, p); }

int strcmplen(const char* a, const char* b, UInt32 n) {
  for (UInt32 i = 0; i < n; i++) {
    if (a[i] != b[i]) return 1;
    if (a[i] == 0) return 0;
  }
  return 0;
}

bool EmptyString(const void* p) { return !p || *(const unsigned char*)p == 0; }

void LowercaseString(unsigned char* s) {
  for (int i = 1; i <= s[0]; i++)
    if (s[i] >= 'A' && s[i] <= 'Z') s[i] += 32;
}

void UppercaseString(unsigned char* s) {
  for (int i = 1; i <= s[0]; i++)
    if (s[i] >= 'a' && s[i] <= 'z') s[i] -= 32;
}

void SmartcaseString(unsigned char* s) {
  for (int i = 1; i <= s[0]; i++) {
    if (i == 1 || IsSpace(s[i - 1])) {
      if (s[i] >= 'a' && s[i] <= 'z') s[i] -= 32;
    } else if (s[i] >= 'A' && s[i] <= 'Z') {
      s[i] += 32;
    }
  }
}

void StripSpaces(unsigned char* s) {
  int first = 1, last = s[0];
  while (first <= last && IsSpace(s[first])) first++;
  while (last >= first && IsSpace(s[last])) last--;
  int out = 0;
  for (int i = first; i <= last; i++) {
    if (IsSpace(s[i])) {
      s[++out] = ' ';
      while (IsSpace(s[i + 1])) i++;  // the run ends before last, which is no space
    } else {
      s[++out] = s[i];
    }
  }
  s[0] = (unsigned char)out;
}

char CountWords(const unsigned char* s) {
  int words = 0;
  for (int i = 1; i <= s[0]; i++)
    if (s[i] != ' ' && (i == 1 || s[i - 1] == ' ')) words++;
  return (char)words;
}

bool CharInPStr(unsigned char c, const unsigned char* s) { return memchr(s + 1, c, s[0]) != nullptr; }

bool CharInCStr(char c, const char* s) { return c != 0 && strchr(s, c) != nullptr; }

bool WhiteSpace(char c) { return c == ' ' || c == 12 || c == 10 || c == 13 || c == 9 || c == 11; }

void GetStringExtension(const unsigned char* name, unsigned char* ext, char sep) {
  const unsigned char* found = (const unsigned char*)memchr(name + 1, (unsigned char)sep, name[0]);
  if (!found) {
    ext[0] = 0;
    return;
  }
  int start = int(found - name) + 1, n = name[0] - start + 1;
  memmove(ext + 1, name + start, n);
  ext[0] = (unsigned char)n;
}

void StripStringExtension(unsigned char* name, char sep) {
  const unsigned char* found = (const unsigned char*)memchr(name + 1, (unsigned char)sep, name[0]);
  if (found) name[0] = (unsigned char)(found - name - 1);
}

void StripStringArray(unsigned char* name) { StripStringExtension(name, '['); }

SInt16 GetStringArrayDimensions(const unsigned char* name) {
  if (!name) return -1;
  int open = 0, close = 0;
  for (int i = 1; i <= name[0]; i++) {
    if (name[i] == '[') open++;
    if (name[i] == ']') close++;
  }
  return open == close ? SInt16(open) : SInt16(-2);
}

SInt16 GetStringArraySize(const unsigned char* name, char dim) {
  if (!name) return -1;
  SInt16 dims = GetStringArrayDimensions(name);
  if (dims < 1) return dims;
  if (dim < 0 || dim >= dims) return -3;
  int i = 1;
  for (int seen = -1;; i++)
    if (name[i] == '[' && ++seen == dim) break;
  SInt16 value = 0;
  for (i++; i <= name[0] && name[i] != ']'; i++) value = SInt16(value * 10 + (name[i] - '0'));
  return value;
}

SInt16 CopyCString(const char* src, char* dst) {
  if (!src || !dst) return -1;
  memmove(dst, src, strlen(src) + 1);
  return 0;
}

UInt32 strcatmax(char* dst, const char* src, UInt32 max) {
  size_t len = strlen(dst);
  if (len >= max) return (UInt32)len;
  size_t n = strlen(src);
  if (n > max - len) n = max - len;
  memmove(dst + len, src, n);
  dst[len + n] = 0;
  return (UInt32)(len + n);
}

UInt32 strcpylen(char* dst, const char* src, UInt32 len) {
  UInt32 i = 0;
  for (; i < len && src[i]; i++) dst[i] = src[i];
  for (; i <= len; i++) dst[i] = 0;
  return (UInt32)strlen(dst);
}

UInt32 strcpymax(char* dst, const char* src, UInt32 max) {
  size_t n = strnlen(src, max);
  memmove(dst, src, n);
  dst[n] = 0;
  return (UInt32)n;
}

// The searches below never look before the text or past its end: a
// negative offset counts as 0, an offset past the end finds nothing.
int strpos(const char* s, char c, int offset) {
  int len = (int)strlen(s);
  if (offset < 0) offset = 0;
  if (offset > len || c == 0) return -1;
  const char* found = (const char*)memchr(s + offset, c, len - offset);
  return found ? int(found - s) : -1;
}

int strpos(const char* s, const char* sub, int offset) {
  if (offset < 0) offset = 0;
  if (offset > (int)strlen(s)) return -1;
  const char* found = strstr(s + offset, sub);
  return found ? int(found - s) : -1;
}

int strrpos(const char* s, char c, int offset) {
  int last = -1;
  for (int pos = strpos(s, c, offset); pos >= 0; pos = strpos(s, c, pos + 1)) last = pos;
  return last;
}

// An empty sub would be found again at the same place for ever: it counts as
// never found.
int strrpos(const char* s, const char* sub, int offset) {
  int subLen = (int)strlen(sub), last = -1;
  if (subLen == 0) return -1;
  for (int pos = strpos(s, sub, offset); pos >= 0; pos = strpos(s, sub, pos + subLen)) last = pos;
  return last;
}

int strcount(const char* s, char c, int offset) {
  int count = 0;
  for (int pos = strpos(s, c, offset); pos >= 0; pos = strpos(s, c, pos + 1)) count++;
  return count;
}

int strcount(const char* s, const char* sub, int offset) {
  int count = 0;
  if (*sub == 0) return 0;
  for (int pos = strpos(s, sub, offset); pos >= 0; pos = strpos(s, sub, pos + 1)) count++;
  return count;
}

// Keeps its place between calls; an empty delim gives the whole rest as one
// piece.
char* strtok2(char* s, const char* delim) {
  static char* position = nullptr;
  if (s) position = s;
  char* piece = position;
  if (!piece) return nullptr;
  char* found = *delim ? strstr(piece, delim) : nullptr;
  if (found) {
    *found = 0;
    position = found + strlen(delim);
  } else {
    position = nullptr;
  }
  return piece;
}

void ParamText_Str(std::string* text, const char* t0, const char* t1, const char* t2, const char* t3) {
  if (!text) return;
  const char* values[4] = {t0, t1, t2, t3};
  const char* marks[4] = {"^0", "^1", "^2", "^3"};
  for (int i = 0; i < 4 && (i < 1 || t1); i++) {
    if (!values[i]) continue;
    size_t at = text->find(marks[i]);
    if (at != std::string::npos) text->replace(at, 2, values[i]);
  }
}

char PlatformChar() { return '/'; }

void GetPlatformStr(const char* src, char* dst, int max) {
  int i = 0;
  for (; i < max && src[i]; i++) dst[i] = (src[i] == '\\' || src[i] == ':') ? '/' : src[i];
  dst[i] = 0;
}
