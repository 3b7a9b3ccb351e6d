#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/TextBuffer.h"
#include "support/RecordingDialogs.h"

namespace {

std::string Content(TextBuffer& b) { return std::string((const char*)b.Start(), size_t(b.DataSize())); }

std::string PString(const unsigned char* s) { return std::string((const char*)s + 1, s[0]); }

// Loads text into a block of exactly its size: the data end is the
// allocation end, so ASan sees any read past the content.
void Load(TextBuffer& b, const std::string& text) { b.LoadData(text.data(), SInt32(text.size())); }

FILE* StreamOf(const std::string& bytes) {
  FILE* f = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  return f;
}

TEST(TextBuffer, NewBufferAndSkipCharacters) {
  TextBuffer b;
  EXPECT_EQ(b.BuffSize(), 32768);
  EXPECT_EQ(b.DataSize(), 0);
  EXPECT_EQ(b.GetPos(), 0);
  ASSERT_EQ(b.skipChar.Size(), 5u);
  const unsigned char defaults[] = {',', ';', ' ', 0xCA, '\t'};
  for (int i = 0; i < 5; i++) EXPECT_EQ(b.skipChar[i], defaults[i]);
  b.RemoveSkipChar(' ');
  b.RemoveSkipChar('x');
  b.AddSkipChar('>');
  EXPECT_FALSE(b.CheckSkipChar(' '));
  EXPECT_TRUE(b.CheckSkipChar('>'));
  EXPECT_EQ(b.skipChar[4], '>');
}

TEST(TextBuffer, WritesInsertAtTheCursorAndGrowInSteps) {
  TextBuffer b;
  b.WriteText((const unsigned char*)"\3xyz");
  b.SetPos(0);
  b.WriteText((const unsigned char*)"\3abc");
  EXPECT_EQ(Content(b), "abcxyz");
  EXPECT_EQ(b.GetPos(), 3);
  b.WriteNum(-42);
  b.WriteChar('!');
  EXPECT_EQ(Content(b), "abc-42!xyz");

  TextBuffer big;
  std::string block(40000, 'a');
  big.WriteData(block.data(), 40000);
  EXPECT_EQ(big.BuffSize(), 65536);
  EXPECT_EQ(big.DataSize(), 40000);

  TextBuffer full;
  std::string page(32768, 'b');
  full.WriteData(page.data(), 32768);
  EXPECT_EQ(full.BuffSize(), 32768);
  full.SetPos(1);
  full.WriteChar('c');
  EXPECT_EQ(full.BuffSize(), 65536);
  EXPECT_EQ(Content(full), "bc" + std::string(32767, 'b'));
}

TEST(TextBuffer, Positions) {
  TextBuffer b;
  Load(b, "hello");
  struct Case {
    SInt32 set, pos;
  } cases[] = {{-5, 0}, {3, 3}, {5, 5}, {99, 5}};
  for (auto& c : cases) {
    b.SetPos(c.set);
    EXPECT_EQ(b.GetPos(), c.pos) << c.set;
  }
  b.SetPos(2);
  b.OffsPos(-10);
  EXPECT_EQ(b.GetPos(), 0);
  b.OffsPos(4);
  EXPECT_EQ(b.GetPos(), 4);
  b.EndPos();
  EXPECT_EQ(b.GetPos(), 5);
}

TEST(TextBuffer, ReadTextStopsAtSeparatorsAndLimits) {
  TextBuffer b;
  b.AddSkipChar('>');
  Load(b, "key>Name");
  Str255 out;
  b.ReadText(out);
  EXPECT_EQ(PString(out), "key");
  EXPECT_EQ(b.GetPos(), 3);
  EXPECT_EQ(b.ReadChar(), '>');
  b.ReadText(out);  // the data end: the last byte is kept
  EXPECT_EQ(PString(out), "Name");
  EXPECT_EQ(b.GetPos(), 8);
  b.ReadText(out);  // nothing is read past the content
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(b.ReadChar(), 0);
  EXPECT_EQ(b.GetPos(), 8);

  Load(b, std::string(300, 'w'));
  b.ReadText(out);
  EXPECT_EQ(out[0], 254);
  EXPECT_EQ(b.GetPos(), 254);

  Load(b, "one two\r\nthree");
  b.ReadText(out);
  EXPECT_EQ(PString(out), "one");
  buffPARAMS.keepSkip = 1;  // one read goes through the blank
  b.SetPos(0);
  b.ReadText(out);
  EXPECT_EQ(PString(out), "one two");
  EXPECT_EQ(b.ReadChar(), '\r');
  b.SetPos(0);
  b.ReadText(out);
  EXPECT_EQ(PString(out), "one");
  b.ReadText(out, 1);
  EXPECT_EQ(PString(out), " two");
}

TEST(TextBuffer, SkippingCountingAndRawReads) {
  TextBuffer b;
  Load(b, " ,;\tword,rest");
  EXPECT_EQ(b.SkipSpace(), b.Start() + 4);
  EXPECT_EQ(b.CheckDataSize(), 4);
  char raw[16] = {0};
  EXPECT_EQ(b.ReadData(raw, 4), 4);
  EXPECT_STREQ(raw, "word");
  unsigned char* where = b.Start() + 8;
  b.SkipSpace(&where);
  EXPECT_EQ(where, b.Start() + 9);
  EXPECT_EQ(b.ReadData(nullptr, 100), 4);
  EXPECT_EQ(b.GetPos(), 13);
  EXPECT_EQ(b.ReadData(raw, 5), 0);
}

TEST(TextBuffer, Numbers) {
  TextBuffer b;
  Load(b, "x-5y 123abc");
  EXPECT_EQ(b.ReadNum(), 5);
  EXPECT_EQ(b.ReadNum(), 123);
  EXPECT_EQ(b.GetPos(), 8);
  EXPECT_EQ(b.ReadNum(), 0);
  EXPECT_EQ(b.GetPos(), 11);

  Load(b, std::string(400, '7') + "!");  // more digits than a string holds
  b.ReadNum();
  EXPECT_EQ(b.GetPos(), 400);

  Load(b, "ab1234cd");
  b.DeleteNum();
  EXPECT_EQ(Content(b), "abcd");
  EXPECT_EQ(b.GetPos(), 2);
  b.DeleteChars(100);  // more than there is: only what follows the cursor
  EXPECT_EQ(Content(b), "ab");
}

TEST(TextBuffer, FindTextAndFindChar) {
  TextBuffer b;
  struct Case {
    const char* text;
    const unsigned char* find;
    unsigned char wholeWord, caseSensitive;
    SInt32 result;
  } cases[] = {
      {"mydict dict_2 <dict>", (const unsigned char*)"\4dict", 1, 1, 19},
      {"mydict", (const unsigned char*)"\4dict", 1, 1, -1},
      {"mydict", (const unsigned char*)"\4dict", 0, 1, 6},
      {"<DICT>", (const unsigned char*)"\4dict", 1, 0, 5},
      {"<DICT>", (const unsigned char*)"\4dict", 1, 1, -1},
      {"dict", (const unsigned char*)"\4dict", 1, 1, 4},
      {"dic", (const unsigned char*)"\4dict", 0, 1, -1},
      {"abc", (const unsigned char*)"\0", 0, 1, -1},
  };
  for (auto& c : cases) {
    Load(b, c.text);
    EXPECT_EQ(b.FindText(c.find, c.wholeWord, 0, c.caseSensitive), c.result) << c.text;
    EXPECT_EQ(b.GetPos(), 0);
  }
  Load(b, "a<b<c");
  EXPECT_EQ(b.FindText((const unsigned char*)"\1<", 0, 1, 1), 2);
  EXPECT_EQ(b.GetPos(), 2);
  EXPECT_EQ(b.FindChar('<', 1), 4);
  EXPECT_EQ(b.FindChar('<', 1), -1);
  EXPECT_EQ(b.GetPos(), 4);
}

TEST(TextBuffer, StreamsAndLengthPrefixes) {
  TextBuffer b;
  struct Case {
    std::string bytes;
    SInt32 length;
    SInt16 result;
    std::string content;
  } cases[] = {
      {std::string("\0\0\0\3abc", 7), -1, 0, "abc"},
      {std::string("\0\0\0\3abcdef", 10), -1, 0, "abc"},
      {std::string("\x7F\xFF\xFF\xF0"
                   "abc",
                   7),
       -1, 0, "abc"},  // a lying prefix: what is there
      {std::string("\xFF\xFF\xFF\xFF"
                   "abc",
                   7),
       -1, 0, "abc"},
      {std::string("\0\0", 2), -1, -1, ""},
      {"whole stream", 0, 0, "whole stream"},
      {"whole stream", 5, 0, "whole"},
      {"", 0, 0, ""},
  };
  for (auto& c : cases) {
    FILE* f = StreamOf(c.bytes);
    EXPECT_EQ(b.LoadFile(f, c.length), c.result);
    EXPECT_EQ(Content(b), c.content);
    EXPECT_LE(b.BuffSize(), 16);
    std::fclose(f);
  }

  FILE* out = std::tmpfile();
  Load(b, "saved text");
  EXPECT_EQ(b.SaveFile(out), 0);
  std::rewind(out);
  char back[32] = {0};
  EXPECT_EQ(std::fread(back, 1, sizeof back, out), 10u);
  EXPECT_STREQ(back, "saved text");
  std::fclose(out);

  FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(b.SaveFile(full), -1);  // a failed write is no success
  std::fclose(full);
}

TEST(TextBuffer, MissingStreamIsAFatalReport) {
  RecordingDialogs dialogs;
  TextBuffer b;
  EXPECT_THROW(b.LoadFile(nullptr, 0), FatalReport);
  EXPECT_THROW(b.SaveFile(static_cast<FILE*>(nullptr)), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  EXPECT_EQ(dialogs.Reports()[0].message, "The import text file is \"nil.\"");
  EXPECT_EQ(dialogs.Reports()[0].detail, "TextBuffer::LoadFile()");
  EXPECT_EQ(dialogs.Reports()[1].detail, "TextBuffer::SaveFile()");
}

TEST(TextBuffer, CryptDataRunsOverTheContent) {
  TextBuffer b;
  std::string text(40, 'k');
  Load(b, text);
  b.CryptData((const unsigned char*)"\3key");
  EXPECT_NE(Content(b), text);
  b.CryptData((const unsigned char*)"\3key");
  EXPECT_EQ(Content(b), text);
}

}  // namespace
