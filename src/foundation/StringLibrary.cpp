#include "foundation/StringLibrary.h"

#include <bit>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

const unsigned char kEmpty[1] = {0};
const int kNoLimit = 0x7FFFFFF;

// Writes a 255-character text piece by piece; what does not fit is dropped.
struct TextWriter {
  char* out;
  int n = 0;
  explicit TextWriter(char* buffer) : out(buffer) { out[0] = 0; }
  void Add(char c) {
    if (n < 255) out[n++] = c;
    out[n] = 0;
  }
  void Add(const char* s, int count) {
    for (int i = 0; i < count && n < 255; i++) out[n++] = s[i];
    out[n] = 0;
  }
  void Add(const char* s) { Add(s, (int)strlen(s)); }
  void AddTimes(char c, int times) {
    for (int i = 0; i < times && n < 255; i++) Add(c);
  }
};

const char* Text(const char* s) { return s ? s : ""; }

int Upper(int c) { return toupper(c); }
int Lower(int c) { return tolower(c); }

bool IsTrimmed(char ch, char c) { return c ? ch == c : WhiteSpace(ch); }

void MapEach(char* out, const char* s, int (*map)(int)) {
  TextWriter w(out);
  for (s = Text(s); *s; s++) w.Add((char)map((unsigned char)*s));
}

void MapFirst(char* out, const char* s, int (*map)(int)) {
  strcpymax(out, Text(s), 255);
  if (out[0]) out[0] = (char)map((unsigned char)out[0]);
}

void MapWords(char* out, const char* s, char sep, int (*map)(int)) {
  strcpymax(out, Text(s), 255);
  char before = sep ? sep : ' ';
  for (char* p = out; *p; before = *p++) {
    bool starts = sep ? (*p != sep && before == sep) : (!WhiteSpace(*p) && WhiteSpace(before));
    if (starts) *p = (char)map((unsigned char)*p);
  }
}

int Limit(const int* count) { return count ? *count : kNoLimit; }

int ReplaceChars(char* out, const char* s, char from, char to, int limit) {
  TextWriter w(out);
  int made = 0;
  for (s = Text(s); *s; s++) {
    bool replace = *s == from && made < limit;
    made += replace;
    w.Add(replace ? to : *s);
  }
  return made;
}

int ReplaceTexts(char* out, const char* s, const char* from, const char* to, int limit) {
  TextWriter w(out);
  s = Text(s);
  from = Text(from);
  to = Text(to);
  size_t fromLen = strlen(from);
  int made = 0;
  const char* found;
  while (fromLen && made < limit && (found = strstr(s, from))) {
    w.Add(s, int(found - s));
    w.Add(to);
    s = found + fromLen;
    made++;
  }
  w.Add(s);
  return made;
}

}  // namespace

AnyStr::operator const char*() const { return (const char*)kEmpty; }
AnyStr::operator const unsigned char*() const { return kEmpty; }

Str& Str::set(const char* s) {
  if (s != str) strcpymax(str, Text(s), 255);
  return *this;
}

Str& Str::set(const unsigned char* p) {
  char text[256];
  PToCStr(p ? p : kEmpty, text);
  return set(text);
}

int Str::len() const { return (int)strlen(str); }

// Printed through a separate buffer: an argument may be this value's text.
Str& Str::Print(const char* format, ...) {
  if (format == str) return *this;
  char text[256];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  memcpy(str, text, sizeof text);
  return *this;
}

PStr::PStr(const char* s) { CToPStr(Text(s), str); }

bool operator==(const StrClass& a, const StrClass& b) { return EqualStr(a.str, b.str); }
bool operator==(const StrClass& c, const PStrClass& p) { return EqualStr(c.str, p.str); }
bool operator==(const PStrClass& p, const StrClass& c) { return EqualStr(p.str, c.str); }
bool operator==(const PStrClass& a, const PStrClass& b) { return EqualStr(a.str, b.str, 1, 1); }

SInt32 NumStr(const unsigned char* text) {
  SInt32 n;
  QK_StringToNum(text, &n);
  return n;
}

SInt32 NumStr(const char* text) { return NumStr(PStr(text)); }

void DoubleToPString(double value, SInt16 decimals, unsigned char* out) {
  ClearString(out);
  if (value != value) return;
  if (decimals < 0) decimals = 0;
  Str text(Str("%%.%df", (int)decimals), value);
  if (CopyString(PStr(text), out) != 0) return;
  for (int zeros = 0; zeros < decimals && out[0] && out[out[0]] == '0'; zeros++) out[0]--;
  if (out[0] && out[out[0]] == '.') out[0]--;
}

StrDoub::StrDoub(double value, char decimals) { DoubleToPString(value, decimals, str); }

void PStringToDouble(const unsigned char* text, double* out) {
  if (text[0] == 0) {
    *out = std::bit_cast<double>(UInt64(0x7FF8000000000000ULL));
    return;
  }
  Str s(text);
  if (EqualStr(s.str, ".") || sscanf(s.str, "%lf", out) != 1) *out = 0;
}

double DoubStr(const unsigned char* text) {
  double value;
  PStringToDouble(text, &value);
  return value;
}

double DoubStr(const char* text) { return DoubStr(PStr(text)); }

void NumToStringLength(int n, char* out, int width) {
  char digits[16];
  int len = snprintf(digits, sizeof digits, "%d", n);
  int zeros = (width < 11 ? width : 11) - len;
  int i = 0;
  for (; i < zeros; i++) out[i] = '0';
  strcpy(out + i, digits);
}

Chr::Chr(char c) {
  str[0] = c;
  str[1] = 0;
}

StrToUpper::StrToUpper(const char* s) { MapEach(str, s, Upper); }
StrToLower::StrToLower(const char* s) { MapEach(str, s, Lower); }
UCFirst::UCFirst(const char* s) { MapFirst(str, s, Upper); }
LCFirst::LCFirst(const char* s) { MapFirst(str, s, Lower); }
UCWords::UCWords(const char* s, char sep) { MapWords(str, s, sep, Upper); }
LCWords::LCWords(const char* s, char sep) { MapWords(str, s, sep, Lower); }

LTrim::LTrim(const char* s, char c) {
  for (s = Text(s); *s && IsTrimmed(*s, c); s++) {
  }
  strcpymax(str, s, 255);
}

RTrim::RTrim(const char* s, char c) {
  s = Text(s);
  int n = (int)strlen(s);
  while (n > 0 && IsTrimmed(s[n - 1], c)) n--;
  strcpymax(str, s, n < 255 ? n : 255);
}

LPad::LPad(const char* s, int n, char c) {
  TextWriter w(str);
  w.AddTimes(c, n);
  w.Add(Text(s));
}

RPad::RPad(const char* s, int n, char c) {
  TextWriter w(str);
  w.Add(Text(s));
  w.AddTimes(c, n);
}

Repeat::Repeat(const char* s, int n) {
  TextWriter w(str);
  s = Text(s);
  for (int i = 0; i < n && *s && w.n < 255; i++) w.Add(s);
}

StrReplace::StrReplace(const char* s, char from, char to, int max) { ReplaceChars(str, s, from, to, max); }

StrReplace::StrReplace(const char* s, char from, char to, int* count) {
  int made = ReplaceChars(str, s, from, to, Limit(count));
  if (count) *count = made;
}

StrReplace::StrReplace(const char* s, const char* from, const char* to, int max) {
  ReplaceTexts(str, s, from, to, max);
}

StrReplace::StrReplace(const char* s, const char* from, const char* to, int* count) {
  int made = ReplaceTexts(str, s, from, to, Limit(count));
  if (count) *count = made;
}

StrRev::StrRev(const char* s) {
  TextWriter w(str);
  s = Text(s);
  for (int i = (int)strlen(s) - 1; i >= 0; i--) w.Add(s[i]);
}

SubStr::SubStr(const char* s, int start, int length) {
  s = Text(s);
  int n = (int)strlen(s);
  if (start < 0) start = n + start < 0 ? 0 : n + start;
  if (start >= n) return;
  int rest = n - start;
  int keep = length >= 0 ? (length < rest ? length : rest) : rest + length;
  if (keep > 0) strcpymax(str, s + start, keep < 255 ? keep : 255);
}

PlatformStr::PlatformStr(const char* path) {
  if (path)
    GetPlatformStr(path, str, 255);
  else
    strcpy(str, "/");
}
