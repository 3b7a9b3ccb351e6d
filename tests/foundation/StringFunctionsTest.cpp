#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/StringFunctions.h"

namespace {

// A length-prefixed string in a 256-byte field, with the bytes after the text
// filled with 0xEE so that a write past the length shows.
struct P {
  unsigned char b[256];
  P(const std::string& text = "") {
    memset(b, 0xEE, sizeof b);
    b[0] = (unsigned char)text.size();
    memcpy(b + 1, text.data(), text.size());
  }
  operator unsigned char*() { return b; }
  std::string Text() const { return std::string((const char*)b + 1, b[0]); }
};

std::string Text(const unsigned char* p) { return std::string((const char*)p + 1, p[0]); }

}  // namespace

TEST(StringCopyAppend, ThirtyOneCharacterFormsRefuseAndLeaveTheTargetUnchanged) {
  struct Case {
    const char* what;
    SInt16 (*fn)(const unsigned char*, unsigned char*);
    std::string src, dst;
    SInt16 result;
    std::string after;
  };
  const std::string s28(28, 'x'), s29(29, 'x'), s31(31, 'y'), s32(32, 'y');
  const Case cases[] = {
      {"copy 31", CopyString, s31, "old", 0, s31},
      {"copy 32", CopyString, s32, "old", -1, "old"},
      {"copy255 long", CopyString255, std::string(200, 'z'), "old", 0, std::string(200, 'z')},
      {"add to 28", AddString, "abc", s28, 0, s28 + "abc"},
      {"add to 29", AddString, "abc", s29, -1, s29},
      {"add255 cut", AddString255, std::string(10, 'b'), std::string(250, 'a'), 0, std::string(250, 'a') + "bbbbb"},
      {"add255 to full", AddString255, "q", std::string(255, 'a'), 0, std::string(255, 'a')},
  };
  for (const Case& c : cases) {
    P src(c.src), dst(c.dst);
    EXPECT_EQ(c.fn(src, dst), c.result) << c.what;
    EXPECT_EQ(dst.Text(), c.after) << c.what;
    EXPECT_EQ(c.fn(nullptr, dst), -1) << c.what;
    EXPECT_EQ(c.fn(src, nullptr), -1) << c.what;
  }
}

TEST(StringCopyAppend, NumbersAndCharacters) {
  P s("n=");
  EXPECT_EQ(AddNumToString(-12, s), 0);
  EXPECT_EQ(s.Text(), "n=-12");
  P full(std::string(26, 'a'));  // 26 + "-2147483648" would pass 31
  EXPECT_EQ(AddNumToString(INT32_MIN, full), -1);
  EXPECT_EQ(full.Text(), std::string(26, 'a'));
  P nearly(std::string(20, 'a'));
  EXPECT_EQ(AddNumToString(INT32_MIN, nearly), 0);
  EXPECT_EQ(nearly.Text(), std::string(20, 'a') + "-2147483648");
  P big(std::string(253, 'a'));
  EXPECT_EQ(AddNumToString255(100, big), -1);
  EXPECT_EQ(AddNumToString255(10, big), 0);
  EXPECT_EQ(big.b[0], 255);
  EXPECT_EQ(AddNumToString(1, nullptr), -1);

  P c(std::string(30, 'c'));
  EXPECT_EQ(AddCharToString('!', c), 0);
  EXPECT_EQ(AddCharToString('!', c), -1);
  EXPECT_EQ(c.Text(), std::string(30, 'c') + "!");
  EXPECT_EQ(ClearString(c), 0);
  EXPECT_EQ(c.b[0], 0);
  EXPECT_EQ(ClearString(nullptr), -1);
}

TEST(StringCopyAppend, AddStringWordPicksOneWordAndStaysInsideTheTarget) {
  struct Case {
    char n;
    std::string src, dst;
    unsigned char max;
    std::string after;
  };
  const Case cases[] = {
      {2, "alpha beta gamma", ">", 255, ">beta"},
      {1, "  alpha  beta", "", 255, "alpha"},
      {3, "alpha beta gamma  ", "", 255, "gamma"},
      {4, "alpha beta gamma", "x", 255, "x"},
      {0, "alpha", "x", 255, "x"},
      {-1, "alpha", "x", 255, "x"},
      {1, "", "x", 255, "x"},
      // A 31-character target takes what fits and is never written past.
      {1, "abcdefghij", std::string(28, '.'), 31, std::string(28, '.') + "abc"},
      {1, std::string(100, 'w'), std::string(200, '.'), 255, std::string(200, '.') + std::string(55, 'w')},
  };
  for (const Case& c : cases) {
    P src(c.src), dst(c.dst);
    AddStringWord(c.n, src, dst, c.max);
    EXPECT_EQ(dst.Text(), c.after) << int(c.n) << " of '" << c.src << "'";
    if (dst.b[0] < 255) {
      EXPECT_EQ(dst.b[dst.b[0] + 1], 0xEE) << "wrote past the text";
    }
  }
}

TEST(StringConversions, PascalAndCAndNumbers) {
  P p;
  CToPStr("hello", p);
  EXPECT_EQ(p.Text(), "hello");
  CToPStr(std::string(300, 'h').c_str(), p);
  EXPECT_EQ(p.b[0], 255);
  char c[300];
  memset(c, 0x55, sizeof c);
  PToCStr(P("a\xCA"
            "b"),
          c);
  EXPECT_STREQ(c,
               "a\xCA"
               "b");

  struct NumCase {
    SInt32 n;
    const char* text;
  };
  for (NumCase nc : {NumCase{0, "0"}, {-12, "-12"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}}) {
    QK_NumToString(nc.n, p);
    EXPECT_EQ(p.Text(), nc.text);
  }

  struct ReadCase {
    const char* text;
    SInt32 n;
  };
  const ReadCase reads[] = {{"  42abc", 42}, {"abc", 0},        {"", 0},
                            {"-17", -17},    {"+5", 5},         {"\t\n 9", 9},
                            {"- 3", 0},      {"4294967297", 1}, {"2147483648", INT32_MIN}};
  for (ReadCase r : reads) {
    SInt32 n = 99;
    QK_StringToNum(P(r.text), &n);
    EXPECT_EQ(n, r.n) << r.text;
  }
  // The length byte bounds the text, whatever follows it.
  P digits("12");
  digits.b[3] = '3';
  SInt32 n;
  QK_StringToNum(digits, &n);
  EXPECT_EQ(n, 12);
}

TEST(StringConversions, FourCharacterCodes) {
  EXPECT_EQ(GetCodeFromString(P("AB")), FOUR_CHAR('A', 'B', ' ', ' '));
  EXPECT_EQ(GetCodeFromString(P("")), FOUR_CHAR(' ', ' ', ' ', ' '));
  EXPECT_EQ(GetCodeFromString(P("TEXTRA")), FOUR_CHAR('T', 'E', 'X', 'T'));
  P s;
  GetStringFromCode(s, FOUR_CHAR('H', 'L', '\xA5', 'N'));
  EXPECT_EQ(s.Text(), "HL\xA5N");
  EXPECT_EQ(GetCodeFromString(s), FOUR_CHAR('H', 'L', '\xA5', 'N'));
}

TEST(StringComparisons, EqualityIsExactWhateverTheFlags) {
  for (unsigned char flag : {0, 1}) {
    EXPECT_FALSE(QK_EqualString(P("abc"), P("ABC"), flag, flag));
    EXPECT_FALSE(EqualStr(P("abc"), P("ABC"), flag, flag));
    EXPECT_FALSE(EqualStr(P("abc"), P("ab"), flag, flag));
    EXPECT_FALSE(EqualStr(P("caf\x8E"), P("cafe"), flag, flag));
    EXPECT_TRUE(EqualStr(P("abc"), P("abc"), flag, flag));
    EXPECT_TRUE(EqualStr(P(""), P(""), flag, flag));
  }
  P junk("abc");
  junk.b[4] = 'x';  // bytes past the length do not count
  P other("abc");
  other.b[4] = 'y';
  EXPECT_TRUE(QK_EqualString(junk, other, 0, 0));

  EXPECT_TRUE(EqualStr("abc", "abc"));
  EXPECT_FALSE(EqualStr("abc", "abd"));
  EXPECT_TRUE(EqualStr("caf\x8E", P("caf\x8E")));
  EXPECT_TRUE(EqualStr(P("caf\x8E"), "caf\x8E"));
  EXPECT_FALSE(EqualStr("abc", P("ab")));
  EXPECT_FALSE(EqualStr("ab", P("abc")));
  EXPECT_FALSE(EqualStr("ab", P(std::string("ab\0", 3))));
  EXPECT_TRUE(EqualStr("", P("")));
}

TEST(StringComparisons, CompStringOrdersWithoutAsciiCase) {
  struct Case {
    const char *a, *b;
    SInt16 order;
  };
  const Case cases[] = {{"Apple", "apple", 0},
                        {"apple", "applesauce", -1},
                        {"applesauce", "Apple", 1},
                        {"", "", 0},
                        {"b", "", 1},
                        {"", "b", -1},
                        {"abc", "abd", -1},
                        {"B", "a", 1},
                        {"a\x8E", "a\x8F", -1},
                        {"[", "a", -1}};  // '[' sits between the cases: folding makes it lower than 'a'
  for (const Case& c : cases) EXPECT_EQ(CompString(P(c.a), P(c.b)), c.order) << c.a << " vs " << c.b;
}

TEST(StringComparisons, PrefixesAndEmptiness) {
  EXPECT_EQ(strcmplen("abcdef", "abcxyz", 3), 0);
  EXPECT_EQ(strcmplen("abcdef", "abcxyz", 4), 1);
  EXPECT_EQ(strcmplen("ab", "ab", 10), 0);
  EXPECT_EQ(strcmplen("ab", "abc", 10), 1);
  EXPECT_EQ(strcmplen("x", "y", 0), 0);
  EXPECT_TRUE(EmptyString(nullptr));
  EXPECT_TRUE(EmptyString(""));
  EXPECT_TRUE(EmptyString(P("")));
  EXPECT_FALSE(EmptyString("a"));
  EXPECT_FALSE(EmptyString(P("a")));
}

TEST(StringShape, CaseSpacesAndWords) {
  struct Case {
    void (*fn)(unsigned char*);
    const char *in, *out;
  };
  const Case cases[] = {
      {LowercaseString, "AbC \x8E\xE7 Z", "abc \x8E\xE7 z"},
      {UppercaseString, "aBc \x8E{z", "ABC \x8E{Z"},
      {SmartcaseString, "hELLO wORLD", "Hello World"},
      {SmartcaseString,
       "a\xCA"
       "bC  dE",
       "A\xCA"
       "Bc  De"},
      {StripSpaces, "  a   b  ", "a b"},
      {StripSpaces,
       "\xCA a\xCA\xCA"
       "b \xCA",
       "a b"},
      {StripSpaces, "   ", ""},
      {StripSpaces, "", ""},
      {StripSpaces, "ab", "ab"},
  };
  for (const Case& c : cases) {
    P s(c.in);
    c.fn(s);
    EXPECT_EQ(s.Text(), c.out) << c.in;
  }
  EXPECT_EQ(CountWords(P("  one two  three ")), 3);
  EXPECT_EQ(CountWords(P("")), 0);
  EXPECT_EQ(CountWords(P("a\xCA"
                         "b")),
            1);
  EXPECT_EQ(CountWords(P("  ")), 0);
  EXPECT_TRUE(CharInPStr('c', P("abc")));
  EXPECT_FALSE(CharInPStr('d', P("abc")));
  EXPECT_FALSE(CharInPStr('x', P("")));
  EXPECT_TRUE(CharInCStr('b', "abc"));
  EXPECT_FALSE(CharInCStr('z', "abc"));
  EXPECT_FALSE(CharInCStr(0, "abc"));
  for (int c = -128; c < 128; c++)
    EXPECT_EQ(WhiteSpace((char)c), c == 32 || c == 12 || c == 10 || c == 13 || c == 9 || c == 11) << c;
}

TEST(StringShape, ExtensionsAndArraySuffixes) {
  P ext("stale");
  GetStringExtension(P("pic.old.png"), ext, '.');
  EXPECT_EQ(ext.Text(), "old.png");
  GetStringExtension(P("noext"), ext, '.');
  EXPECT_EQ(ext.Text(), "");
  GetStringExtension(P("trail."), ext, '.');
  EXPECT_EQ(ext.Text(), "");

  P name("pic.old.png");
  StripStringExtension(name, '.');
  EXPECT_EQ(name.Text(), "pic");
  P plain("plain");
  StripStringExtension(plain, '.');
  EXPECT_EQ(plain.Text(), "plain");
  P arr("Name[4][16]");
  StripStringArray(arr);
  EXPECT_EQ(arr.Text(), "Name");

  struct Case {
    const char* name;
    SInt16 dims;
    char dim;
    SInt16 size;
  };
  const Case cases[] = {{"a[2][3]", 2, 0, 2},    {"a[2][13]", 2, 1, 13}, {"a[2][13]", 2, 2, -3},
                        {"a[2][13]", 2, -1, -3}, {"a[2", -2, 0, -2},     {"a", 0, 0, 0},
                        {"a]", -2, 0, -2},       {"x[0]", 1, 0, 0},      {"x[12345]", 1, 0, 12345},
                        {"x[]", 1, 0, 0},        {"x[7", -2, 0, -2}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetStringArrayDimensions(P(c.name)), c.dims) << c.name;
    EXPECT_EQ(GetStringArraySize(P(c.name), c.dim), c.size) << c.name << " dim " << int(c.dim);
  }
  EXPECT_EQ(GetStringArrayDimensions(nullptr), -1);
  EXPECT_EQ(GetStringArraySize(nullptr, 0), -1);
}

TEST(CStrings, CopiesAreBounded) {
  char buf[16];
  EXPECT_EQ(CopyCString("abc", buf), 0);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(CopyCString(nullptr, buf), -1);
  EXPECT_EQ(CopyCString("x", nullptr), -1);
  EXPECT_STREQ(buf, "abc");

  strcpy(buf, "abc");
  EXPECT_EQ(strcatmax(buf, "defghij", 6), 6u);
  EXPECT_STREQ(buf, "abcdef");
  EXPECT_EQ(strcatmax(buf, "zz", 6), 6u);
  EXPECT_STREQ(buf, "abcdef");
  EXPECT_EQ(strcatmax(buf, "zz", 3), 6u);  // already past max: nothing appended
  EXPECT_STREQ(buf, "abcdef");

  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(strcpylen(buf, "ab", 5), 2u);
  EXPECT_EQ(memcmp(buf, "ab\0\0\0\0x", 7), 0);
  EXPECT_EQ(strcpylen(buf, "abcdefgh", 3), 3u);
  EXPECT_STREQ(buf, "abc");

  EXPECT_EQ(strcpymax(buf, "abcdefgh", 4), 4u);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(strcpymax(buf, "ab", 4), 2u);
  EXPECT_STREQ(buf, "ab");
}

TEST(CStrings, SearchesAndCounts) {
  struct CharCase {
    const char* s;
    char c;
    int offset, pos, rpos, count;
  };
  const CharCase chars[] = {
      {"abcabc", 'b', 2, 4, 4, 1}, {"abcabc", 'b', 0, 1, 4, 2}, {"abcabc", 'z', 0, -1, -1, 0},
      {"abc", 'c', 3, -1, -1, 0},  {"abc", 'a', 9, -1, -1, 0},  {"abc", 'a', -4, 0, 0, 1},
      {"abcab", 'b', 0, 1, 4, 2},  {"", 'a', 0, -1, -1, 0},
  };
  for (const CharCase& c : chars) {
    EXPECT_EQ(strpos(c.s, c.c, c.offset), c.pos) << c.s << " " << c.c << " " << c.offset;
    EXPECT_EQ(strrpos(c.s, c.c, c.offset), c.rpos) << c.s << " " << c.c << " " << c.offset;
    EXPECT_EQ(strcount(c.s, c.c, c.offset), c.count) << c.s << " " << c.c << " " << c.offset;
  }
  struct SubCase {
    const char *s, *sub;
    int offset, pos, rpos, count;
  };
  const SubCase subs[] = {
      {"abcabc", "bc", 0, 1, 4, 2}, {"abcabc", "bc", 2, 4, 4, 1},  {"aaaa", "aa", 0, 0, 2, 3},
      {"aaaaa", "aa", 1, 1, 3, 3},  {"abc", "abcd", 0, -1, -1, 0}, {"abc", "c", 5, -1, -1, 0},
      {"abc", "", 0, 0, -1, 0},  // an empty text is found at once, but never counted
      {"abc", "", 3, 3, -1, 0},
  };
  for (const SubCase& c : subs) {
    EXPECT_EQ(strpos(c.s, c.sub, c.offset), c.pos) << c.s << " " << c.sub << " " << c.offset;
    EXPECT_EQ(strrpos(c.s, c.sub, c.offset), c.rpos) << c.s << " " << c.sub << " " << c.offset;
    EXPECT_EQ(strcount(c.s, c.sub, c.offset), c.count) << c.s << " " << c.sub << " " << c.offset;
  }
}

TEST(CStrings, Strtok2SplitsAtWholeDelimiters) {
  char text[] = "a--b----c";
  std::vector<std::string> pieces;
  for (char* piece = strtok2(text, "--"); piece; piece = strtok2(nullptr, "--")) pieces.push_back(piece);
  EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(strtok2(nullptr, "--"), nullptr);

  char trailing[] = "x,";
  EXPECT_STREQ(strtok2(trailing, ","), "x");
  EXPECT_STREQ(strtok2(nullptr, ","), "");
  EXPECT_EQ(strtok2(nullptr, ","), nullptr);

  char whole[] = "no delimiter";
  EXPECT_STREQ(strtok2(whole, ""), "no delimiter");
  EXPECT_EQ(strtok2(nullptr, ""), nullptr);
}

TEST(CStrings, ParamTextAndPlatformPaths) {
  struct Case {
    const char* text;
    const char *t0, *t1, *t2, *t3;
    const char* out;
  };
  const Case cases[] = {
      {"File ^0 not found", "x", nullptr, nullptr, nullptr, "File x not found"},
      {"^0 ^1 ^2 ^3 ^0", "a", "b", "c", "d", "a b c d ^0"},
      {"^1 only", "a", "b", "c", "d", "b only"},
      {"^0 ^1", "a", nullptr, "c", "d", "a ^1"},  // without t1 the rest is not used
      {"^0 ^2", "a", "b", nullptr, nullptr, "a ^2"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    ParamText_Str(&text, c.t0, c.t1, c.t2, c.t3);
    EXPECT_EQ(text, c.out) << c.text;
  }
  ParamText_Str(nullptr, "a");

  EXPECT_EQ(PlatformChar(), '/');
  char out[16];
  GetPlatformStr("a\\b:c/d", out, 15);
  EXPECT_STREQ(out, "a/b/c/d");
  GetPlatformStr("abcdef", out, 3);
  EXPECT_STREQ(out, "abc");
  GetPlatformStr("abc", out, 0);
  EXPECT_STREQ(out, "");
}

TEST(StringFunctions, AliasedArgumentsWork) {
  P s("ab");
  EXPECT_EQ(AddString(s, s), 0);
  EXPECT_EQ(s.Text(), "abab");
  P name("pic.png");
  GetStringExtension(name, name, '.');
  EXPECT_EQ(Text(name), "png");
  P pc("in place");
  PToCStr(pc, (char*)pc.b);
  EXPECT_STREQ((char*)pc.b, "in place");
  CToPStr((char*)pc.b, pc);
  EXPECT_EQ(pc.Text(), "in place");
}
