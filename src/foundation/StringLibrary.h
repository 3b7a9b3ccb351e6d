// Short-lived string values, built whole by their constructor and passed on
// at once: a message joined from pieces, a path, a C string turned into a
// length-prefixed one, a number printed with a format. Each holds at most 255
// characters in itself and converts implicitly to the pointer its callee
// wants; nothing is allocated. Also the number-text conversions for reals
// and the empty-text proxy AnyStr.
#pragma once

#include <type_traits>

#include "foundation/StringFunctions.h"

// Stands for "no text" in either form: both conversions give one constant
// zero byte.
struct AnyStr {
  operator const char*() const;
  operator const unsigned char*() const;
};

// A NUL-terminated string of at most 255 characters.
struct StrClass {
  char str[256] = {0};
  operator const char*() const { return str; }
};

// Values that printf-style forms accept after their format.
template <typename T>
concept PrintfArg = std::is_arithmetic_v<T> || std::is_pointer_v<T>;

struct Str : StrClass {
  Str() = default;
  Str(const char* s) { set(s); }
  Str(const unsigned char* p) { set(p); }
  Str(const Str& other) = default;
  template <PrintfArg T, PrintfArg... Rest>
  Str(const char* format, T value, Rest... rest) {
    set(format, value, rest...);
  }

  Str& operator=(const char* s) { return set(s); }
  Str& operator=(const unsigned char* p) { return set(p); }
  Str& operator=(const Str& other) { return set(other.str); }

  Str& set(const char* s);
  Str& set(const unsigned char* p);
  // The text printed by vsnprintf, cut at 255 characters. A format that is
  // this value's own buffer leaves it unchanged.
  template <PrintfArg T, PrintfArg... Rest>
  Str& set(const char* format, T value, Rest... rest) {
    return Print(format, value, rest...);
  }
  int len() const;

 private:
  Str& Print(const char* format, ...);
};

// A length-prefixed string of at most 255 characters.
struct PStrClass {
  unsigned char str[256] = {0};
  operator const unsigned char*() const { return str; }
};

struct PStr : PStrClass {
  PStr(const char* s);
};

bool operator==(const StrClass& a, const StrClass& b);
bool operator==(const StrClass& c, const PStrClass& p);
bool operator==(const PStrClass& p, const StrClass& c);
bool operator==(const PStrClass& a, const PStrClass& b);

// The concatenation of the arguments up to the first null one, cut at 255
// characters.
struct JoinCStrs2 : StrClass {
  template <typename... T>
  JoinCStrs2(const char* first, T... rest) {
    const char* parts[] = {first, static_cast<const char*>(rest)...};
    for (const char* part : parts) {
      if (!part) break;
      strcatmax(str, part, 255);
    }
  }
};

struct JoinPStrs2 : PStrClass {
  template <typename... T>
  JoinPStrs2(const unsigned char* first, T... rest) {
    const unsigned char* parts[] = {first, static_cast<const unsigned char*>(rest)...};
    for (const unsigned char* part : parts) {
      if (!part) break;
      AddString255(part, str);
    }
  }
};

// Numbers.
SInt32 NumStr(const unsigned char* text);
SInt32 NumStr(const char* text);
// The value with at most `decimals` digits after the point, trailing zeros
// and a bare point removed. Not-a-number, and a text longer than 31
// characters, give the empty string.
void DoubleToPString(double value, SInt16 decimals, unsigned char* out);
struct StrDoub : PStrClass {
  StrDoub(double value, char decimals);
};
// An empty text gives the quiet not-a-number, "." and text with no number 0.
void PStringToDouble(const unsigned char* text, double* out);
double DoubStr(const unsigned char* text);
double DoubStr(const char* text);
// n padded with leading '0' characters to min(width, 11) characters; the
// zeros stand before a minus sign.
void NumToStringLength(int n, char* out, int width);

// Text shaping. Each reads a NUL-terminated text and keeps at most 255
// characters of its result.
struct Chr : StrClass {
  Chr(char c);
};
struct StrToUpper : StrClass {
  StrToUpper(const char* s);
};
struct StrToLower : StrClass {
  StrToLower(const char* s);
};
struct UCFirst : StrClass {
  UCFirst(const char* s);
};
struct LCFirst : StrClass {
  LCFirst(const char* s);
};
// A word starts after sep, or after white space when sep is 0.
struct UCWords : StrClass {
  UCWords(const char* s, char sep);
};
struct LCWords : StrClass {
  LCWords(const char* s, char sep);
};
// Without the leading (LTrim) or trailing (RTrim) characters equal to c, or
// white space when c is 0.
struct LTrim : StrClass {
  LTrim(const char* s, char c);
};
struct RTrim : StrClass {
  RTrim(const char* s, char c);
};
struct LPad : StrClass {
  LPad(const char* s, int n, char c);
};
struct RPad : StrClass {
  RPad(const char* s, int n, char c);
};
struct Repeat : StrClass {
  Repeat(const char* s, int n);
};
// Replaces the first occurrences of from by to: at most max of them, or at
// most *count (no limit for a null count, which otherwise receives the number
// made). An empty from text replaces nothing.
struct StrReplace : StrClass {
  StrReplace(const char* s, char from, char to, int max);
  StrReplace(const char* s, char from, char to, int* count);
  StrReplace(const char* s, const char* from, const char* to, int max);
  StrReplace(const char* s, const char* from, const char* to, int* count);
};
struct StrRev : StrClass {
  StrRev(const char* s);
};
// From start (negative: counted from the end) for length characters
// (negative: all but that many at the end).
struct SubStr : StrClass {
  SubStr(const char* s, int start, int length);
};
// A path with every '\\' and ':' made '/'; a null path gives "/".
struct PlatformStr : StrClass {
  PlatformStr(const char* path);
};
