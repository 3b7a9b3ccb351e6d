#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "foundation/StringLibrary.h"

namespace {

std::string Text(const unsigned char* p) { return std::string((const char*)p + 1, p[0]); }

// Takes exactly one form, as the engine's platform calls do.
std::string TakesC(const char* s) { return s; }
std::string TakesP(const unsigned char* p) { return Text(p); }

}  // namespace

TEST(StringValues, AnyStrIsEmptyInBothForms) {
  AnyStr any;
  EXPECT_EQ(TakesC(any), "");
  EXPECT_EQ(TakesP(any), "");
  EXPECT_EQ((const void*)(const char*)any, (const void*)(const unsigned char*)AnyStr());
}

TEST(StringValues, StrBuildsAndCutsAt255) {
  EXPECT_EQ(TakesC(Str()), "");
  EXPECT_EQ(TakesC(Str("plain")), "plain");
  EXPECT_EQ(TakesC(Str((const unsigned char*)"\3abcdef")), "abc");
  EXPECT_EQ(TakesC(Str("%d items", 3)), "3 items");
  EXPECT_EQ(TakesC(Str("%s/%s", "folder", "file")), "folder/file");
  EXPECT_EQ(TakesC(Str("%c%c", 'o', (unsigned char)'k')), "ok");
  EXPECT_EQ(TakesC(Str("%u", 4000000000u)), "4000000000");
  EXPECT_EQ(TakesC(Str("%.2f", 1.005f)), "1.00");
  EXPECT_EQ(TakesC(Str("%d-%d-%d", 1, 2, 3)), "1-2-3");
  EXPECT_EQ(Str(std::string(300, 'a').c_str()).len(), 255);
  EXPECT_EQ(Str("%s", std::string(300, 'b').c_str()).len(), 255);
  EXPECT_EQ(Str("%300d", 7).len(), 255);

  Str s("first");
  s = "second";
  EXPECT_STREQ(s, "second");
  s = (const unsigned char*)"\5third";
  EXPECT_STREQ(s, "third");
  Str& same = s;  // a self-assignment the compiler does not flag
  s = same;
  EXPECT_STREQ(s, "third");
  s = s.str;  // its own buffer
  EXPECT_STREQ(s, "third");
  s = s.str + 2;  // a tail of its own buffer
  EXPECT_STREQ(s, "ird");
  EXPECT_STREQ(s.set("%s!", s.str), "ird!");
  EXPECT_STREQ(s.set(s.str, 1), "ird!");  // the buffer as format: unchanged
  Str copy = s;
  EXPECT_STREQ(copy, "ird!");
  EXPECT_EQ(copy.len(), 4);
  EXPECT_STREQ(s.set((const char*)nullptr), "");
}

TEST(StringValues, PStrAndComparisons) {
  EXPECT_EQ(TakesP(PStr("abc")), "abc");
  EXPECT_EQ(PStr(std::string(300, 'p').c_str()).str[0], 255);
  EXPECT_EQ(TakesP(PStr(nullptr)), "");

  EXPECT_TRUE(Str("abc") == Str("abc"));
  EXPECT_FALSE(Str("abc") == Str("abd"));
  EXPECT_TRUE(Str("abc") == PStr("abc"));
  EXPECT_TRUE(PStr("abc") == Str("abc"));
  EXPECT_FALSE(Str("abc") == PStr("ab"));
  EXPECT_FALSE(PStr("ab") == Str("abc"));
  EXPECT_TRUE(PStr("caf\x8E") == PStr("caf\x8E"));
  EXPECT_FALSE(PStr("abc") == PStr("ABC"));
}

TEST(StringValues, JoiningStopsAtNullAndCuts) {
  EXPECT_EQ(TakesC(JoinCStrs2("a", "b", Str("c"), AnyStr(), "d", nullptr)), "abcd");
  EXPECT_EQ(TakesC(JoinCStrs2("a", nullptr, "ignored")), "a");
  EXPECT_EQ(TakesC(JoinCStrs2("alone")), "alone");
  std::string a200(200, 'x'), a100(100, 'y');
  EXPECT_EQ(TakesC(JoinCStrs2(a200.c_str(), a100.c_str())), a200 + std::string(55, 'y'));

  EXPECT_EQ(TakesP(JoinPStrs2(PStr("key"), PStr("["), AnyStr(), PStr("3]"), nullptr)), "key[3]");
  EXPECT_EQ(TakesP(JoinPStrs2(PStr(a200.c_str()), PStr(a100.c_str()))), a200 + std::string(55, 'y'));
}

TEST(StringNumbers, IntegersFromText) {
  EXPECT_EQ(NumStr("  42abc"), 42);
  EXPECT_EQ(NumStr("abc"), 0);
  EXPECT_EQ(NumStr((const unsigned char*)"\3-17x"), -17);

  struct Case {
    int n, width;
    const char* text;
  };
  const Case cases[] = {{42, 5, "00042"}, {42, 1, "42"}, {0, 3, "000"},          {-42, 5, "00-42"},
                        {7, 0, "7"},      {7, -3, "7"},  {1, 20, "00000000001"}, {INT32_MIN, 11, "-2147483648"}};
  for (const Case& c : cases) {
    char out[32];
    memset(out, 'z', sizeof out);
    NumToStringLength(c.n, out, c.width);
    EXPECT_STREQ(out, c.text) << c.n << " width " << c.width;
  }
}

TEST(StringNumbers, RealsToText) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  };
  const Case cases[] =
      {
          {1.5, 3, "1.5"},      {100, 2, "100"}, {2.25, 0, "2"}, {2.25, 2, "2.25"},
          {-0.5, 1, "-0.5"},    {10, 1, "10"},   {0, 3, "0"},    {3.14159, 2, "3.14"},
          {1.0, -2, "1"},       {NAN, 2, ""},    {1e30, 2, ""},  // 34 characters: too long for the 31-character text
          {INFINITY, 2, "inf"},
      };
  for (const Case& c : cases) {
    unsigned char out[32];
    memset(out, '9', sizeof out);  // stale text must not survive
    out[0] = 31;
    DoubleToPString(c.value, (SInt16)c.decimals, out);
    EXPECT_EQ(Text(out), c.text) << c.value << " with " << c.decimals;
    EXPECT_EQ(Text(StrDoub(c.value, (char)c.decimals)), c.text);
  }
}

TEST(StringNumbers, TextToReals) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{".", 0}, {"x", 0}, {"1.25", 1.25}, {"  -3e2", -300}, {"7kg", 7}};
  for (const Case& c : cases) {
    double d = 99;
    PStringToDouble(PStr(c.text), &d);
    EXPECT_EQ(d, c.value) << c.text;
    EXPECT_EQ(DoubStr(c.text), c.value) << c.text;
  }
  double empty;
  PStringToDouble(PStr(""), &empty);
  EXPECT_EQ(std::bit_cast<UInt64>(empty), 0x7FF8000000000000ULL);
  EXPECT_TRUE(std::isnan(DoubStr((const unsigned char*)"\0")));
}

TEST(StringShaping, EachConstructorShapesItsText) {
  struct Case {
    std::string got, want;
  };
  const std::string s300(300, 's');
  const Case cases[] = {
      {Chr('x').str, "x"},
      {Chr(0).str, ""},
      {StrToUpper("abc-\xE9z").str, "ABC-\xE9Z"},
      {StrToLower("ABC-Z").str, "abc-z"},
      {UCFirst("hello world").str, "Hello world"},
      {UCFirst("").str, ""},
      {LCFirst("HELLO").str, "hELLO"},
      {UCWords("hello big world", 0).str, "Hello Big World"},
      {UCWords("one-two", '-').str, "One-Two"},
      {UCWords("-one--two", '-').str, "-One--Two"},
      {UCWords("a\tb\nc", 0).str, "A\tB\nC"},
      {LCWords("ONE TWO", 0).str, "oNE tWO"},
      {LTrim("   ", 0).str, ""},
      {RTrim("   ", 0).str, ""},
      {LTrim(" \t\nx y ", 0).str, "x y "},
      {RTrim(" x y \r\n", 0).str, " x y"},
      {RTrim("x--", '-').str, "x"},
      {LTrim("--x-", '-').str, "x-"},
      {LPad("7", 2, '0').str, "007"},
      {LPad("7", -1, '0').str, "7"},
      {RPad("7", 3, '.').str, "7..."},
      {LPad("7", 1000000, '0').str, std::string(255, '0')},
      {RPad(s300.c_str(), 2, '.').str, std::string(255, 's')},
      {Repeat("ab", 3).str, "ababab"},
      {Repeat("ab", 0).str, ""},
      {Repeat("", 5).str, ""},
      {Repeat("abc", 1000000).str,
       [] {
         std::string r;
         while (r.size() < 255) r += "abc";
         return r.substr(0, 255);
       }()},
      {StrRev("abc").str, "cba"},
      {StrRev("").str, ""},
      {SubStr("abcdef", -2, 5).str, "ef"},
      {SubStr("abcdef", 1, -2).str, "bcd"},
      {SubStr("abcdef", 6, 1).str, ""},
      {SubStr("abcdef", -10, 2).str, "ab"},
      {SubStr("abcdef", 2, 0).str, ""},
      {SubStr("abcdef", 2, -9).str, ""},
      {SubStr(s300.c_str(), 0, 300).str, std::string(255, 's')},
      {PlatformStr("a\\b:c/d").str, "a/b/c/d"},
      {PlatformStr(nullptr).str, "/"},
      {PlatformStr(s300.c_str()).str, std::string(255, 's')},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
}

TEST(StringShaping, ReplaceHonoursItsLimit) {
  struct Case {
    const char* s;
    const char *from, *to;  // one character each for the character forms
    int limit;
    const char* want;
    int made;
  };
  const Case cases[] = {
      {"a.b.c", ".", "/", 1, "a/b.c", 1},  {"a.b.c", ".", "/", 0, "a.b.c", 0}, {"a.b.c", ".", "/", -5, "a.b.c", 0},
      {"a.b.c", ".", "/", 10, "a/b/c", 2}, {"", ".", "/", 10, "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(StrReplace(c.s, c.from[0], c.to[0], c.limit), c.want) << c.s << " " << c.limit;
    int count = c.limit;
    EXPECT_STREQ(StrReplace(c.s, c.from[0], c.to[0], &count), c.want);
    EXPECT_EQ(count, c.made);
  }
  EXPECT_STREQ(StrReplace("a.b.c", '.', '/', (int*)nullptr), "a/b/c");

  const Case texts[] = {
      {"one and one and one", "one", "1", 2, "1 and 1 and one", 2},
      {"aaa", "a", "aa", 100, "aaaaaa", 3},  // the replacement is never searched again
      {"abcabc", "bc", "", 100, "aa", 2},
      {"abc", "", "x", 100, "abc", 0},
      {"abc", "zz", "x", 100, "abc", 0},
      {"x.y", ".", "/", 0, "x.y", 0},
  };
  for (const Case& c : texts) {
    EXPECT_STREQ(StrReplace(c.s, c.from, c.to, c.limit), c.want) << c.s << " " << c.from;
    int count = c.limit;
    EXPECT_STREQ(StrReplace(c.s, c.from, c.to, &count), c.want);
    EXPECT_EQ(count, c.made) << c.s << " " << c.from;
  }
  EXPECT_STREQ(StrReplace("a-b-c", "-", "--", (int*)nullptr), "a--b--c");
  std::string many(200, '.');
  EXPECT_EQ(strlen(StrReplace(many.c_str(), ".", "abc", 1000)), 255u);
}
