#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "foundation/Memory.h"
#include "foundation/PlistTag.h"
#include "foundation/TextBuffer.h"
#include "support/RecordingDialogs.h"

namespace {

std::string PString(const unsigned char* s) { return std::string((const char*)s + 1, s[0]); }

// A root that frees its children when the test ends.
struct Root : PlistTag {
  ~Root() { DeleteChildren(); }
};

TEST(PlistTag, FreshNodeIsAnEmptyDictionary) {
  Root root;
  EXPECT_EQ(PString(root.type), "dict");
  EXPECT_EQ(root.key[0], 0);
  EXPECT_EQ(root.value[0], 0);
  EXPECT_EQ(root.parent, nullptr);
  EXPECT_EQ(root.NumChildren(), 0);
  EXPECT_EQ(PString(root.children.name), "child");
}

TEST(PlistTag, NewTagUpdatesInDictionariesAndAppendsInArrays) {
  Root root;
  root.NewLong("Score", 5);
  root.NewLong("Score", 5);
  EXPECT_EQ(root.NumChildren(), 1);
  root.NewLong("X", 1);
  root.NewString("X", "a");
  EXPECT_EQ(root.NumChildren(), 3);
  PlistTag* audio = root.NewDictionary("Audio Prefs");
  EXPECT_EQ(root.NewDictionary("Audio Prefs"), audio);
  EXPECT_EQ(audio->parent, &root);

  PlistTag* list = root.NewArray("List");
  PlistTag* seven = list->NewLong("", 7);
  list->NewLong("", 7);
  list->NewElement();
  EXPECT_EQ(list->NumElements(), 3);
  EXPECT_EQ(PString(seven->type), "integer");
  EXPECT_EQ(PString(seven->value), "7");
  EXPECT_EQ(list->GetElement(2)->key[0], 0);
  EXPECT_EQ(list->GetElement(3), nullptr);

  std::string key32(32, 'k');
  PlistTag* unnamed = root.NewLong(key32.c_str(), 1);
  EXPECT_EQ(unnamed->key[0], 0);
  PlistTag* oddType = root.NewTag(std::string(32, 't').c_str(), "T", "v");
  EXPECT_EQ(PString(oddType->type), "dict");  // a fresh node keeps "dict"
}

TEST(PlistTag, RefusalsAreFatalReports) {
  RecordingDialogs dialogs;
  Root root;
  PlistTag* list = root.NewArray("List");
  PlistTag* leaf = root.NewLong("N", 1);
  struct Case {
    std::function<void()> call;
    const char* message;
    const char* detail;
  } cases[] = {
      {[&] { list->NewLong("A", 7); }, "PlistTag::NewTag() failed because array children can't have names.", ""},
      {[&] { root.NewTag("a<b", "k", ""); }, "Illegal character '<' or '>' in type string.", "PlistTag::NewTag()"},
      {[&] { root.NewTag("string", "k>", ""); }, "Illegal character '<' or '>' in name string.", "PlistTag::NewTag()"},
      {[&] { leaf->NewLong("x", 1); }, "Can't create a plist child from a \"integer\" tag.", "PlistTag::NewTag()"},
      {[&] { root.SetString("K", std::string(32, 'c').c_str()); },
       "PlistTag::SetString() is limited to 31 characters.  Use SetString255() instead.",
       "cccccccccccccccccccccccccccccccc"},
  };
  for (auto& c : cases) {
    dialogs.Clear();
    EXPECT_THROW(c.call(), FatalReport) << c.message;
    ASSERT_EQ(dialogs.Reports().size(), 1u);
    EXPECT_EQ(dialogs.Reports()[0].message, c.message);
    EXPECT_EQ(dialogs.Reports()[0].detail, c.detail);
  }
  EXPECT_EQ(root.SetString("K", std::string(31, 'c').c_str()), 0);
  // Values are escaped when written, so they may hold any text.
  dialogs.Clear();
  ASSERT_NE(root.NewString("k", "<b>"), nullptr);
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST(PlistTag, AddingALoadedTreeWhoseValuesHoldAnglesIsNoFatalReport) {
  RecordingDialogs dialogs;
  Root loaded;
  TextBuffer text;
  const char kText[] =
      "<dict><key>S</key><string>a&lt;b&gt;</string><key>D</key><dict><key>T</key>"
      "<string>&lt;</string></dict></dict>";
  text.LoadData(kText, SInt32(sizeof kText - 1));
  ASSERT_EQ(loaded.LoadBuffer(&text), 0);
  Root dest;
  dest.NewString("S", "old");
  dest.NewDictionary("D")->NewString("Old", "x");
  loaded.AddTo(&dest);
  EXPECT_TRUE(dialogs.Reports().empty());
  std::string s;
  dest.GetString("S", &s, 0);
  EXPECT_EQ(s, "a<b>");
  PlistTag* d = dest.FindDictionary("D", 0);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->NumChildren(), 1);  // replaced, the old child freed
  d->GetString("T", &s, 0);
  EXPECT_EQ(s, "<");
}

TEST(PlistTag, GettersLeaveTargetsAloneWhenNothingIsFound) {
  Root root;
  char c = 42;
  EXPECT_EQ(root.GetChar("Monitor Mode", &c, 0), nullptr);
  EXPECT_EQ(c, 42);
  EXPECT_NE(root.GetChar("Monitor Mode", &c, 1), nullptr);
  EXPECT_EQ(c, 0);
  EXPECT_EQ(PString(root.FindChar("Monitor Mode", 0)->value), "0");

  unsigned char flag = 7;
  root.NewTag("boolean", "Odd", "maybe");
  // A value that is no boolean is no flag found: a caller that tests the
  // answer keeps its default instead of reading an unset flag.
  EXPECT_EQ(root.GetBoolean("Odd", &flag, 0), nullptr);
  EXPECT_EQ(flag, 7);
  root.GetBoolean("Fresh", &flag, 1);
  EXPECT_EQ(flag, 0);

  SInt16 s = 0;
  root.NewTag("integer", "Big", "70000");
  root.GetShort("Big", &s, 0);
  EXPECT_EQ(s, 4464);
  SInt32 n = 0;
  root.NewTag("integer", "Long", ("12" + std::string(200, '3')).c_str());  // longer than 31 characters
  root.GetLong("Long", &n, 0);
  root.NewTag("boolean", "LongFlag", std::string(200, 't').c_str());
  flag = 9;
  EXPECT_EQ(root.GetBoolean("LongFlag", &flag, 0), nullptr);
  EXPECT_EQ(flag, 9);

  std::string text = "kept";
  EXPECT_EQ(root.GetString("None", &text, 0), nullptr);
  EXPECT_EQ(text, "kept");
  root.SetString("Name", "Ann");
  root.GetString("Name", &text, 0);
  EXPECT_EQ(text, "Ann");
}

TEST(PlistTag, TypedValuesRoundTripThroughTheTree) {
  Root root;
  root.NewChar("C", -5);
  root.NewShort("S", -32768);
  root.NewLong("L", -2147483647 - 1);
  root.NewBoolean("B", 1);
  Point p{480, 640};
  root.NewPoint("P", p);
  PlistTag* r = root.NewDictionary("R");
  r->NewShort("Left", 1);
  r->NewShort("Top", 2);
  r->NewShort("Right", 3);
  r->NewShort("Bottom", 4);
  root.SetChar("C2", 'x');
  root.SetLong("L2", 123456);
  root.SetBoolean("B2", 0);

  char c;
  SInt16 s;
  SInt32 l;
  unsigned char b = 9;
  Point q{};
  Rect rect{};
  root.GetChar("C", &c, 0);
  root.GetShort("S", &s, 0);
  root.GetLong("L", &l, 0);
  EXPECT_EQ(c, -5);
  EXPECT_EQ(s, -32768);
  EXPECT_EQ(l, -2147483647 - 1);
  root.GetBoolean("B", &b, 0);
  EXPECT_EQ(b, 1);
  root.GetBoolean("B2", &b, 0);
  EXPECT_EQ(b, 0);
  EXPECT_NE(root.GetPoint("P", &q), nullptr);
  EXPECT_EQ(q.h, 640);
  EXPECT_EQ(q.v, 480);
  root.GetRect("R", &rect);
  EXPECT_EQ(rect.left, 1);
  EXPECT_EQ(rect.top, 2);
  EXPECT_EQ(rect.right, 3);
  EXPECT_EQ(rect.bottom, 4);
  root.GetChar("C2", &c, 0);
  EXPECT_EQ(c, 'x');
  root.GetLong("L2", &l, 0);
  EXPECT_EQ(l, 123456);
  EXPECT_EQ(PString(root.FindDictionary("P", 0)->GetChild(0)->key), "H");
}

TEST(PlistTag, DataLeavesInEveryLayering) {
  std::string bytes;
  for (int i = 0; i < 300; i++) bytes.push_back(char(i % 7 == 0 ? i : 'r'));
  struct Case {
    unsigned char packed;
    const char* cipher;
  } cases[] = {{0, ""}, {1, ""}, {0, "secret"}, {1, "secret"}};
  for (auto& c : cases) {
    Root root;
    ASSERT_EQ(root.SetData("D", bytes.data(), SInt32(bytes.size()), c.packed, c.cipher), 0);
    PlistTag* node = root.FindData("D", 0);
    ASSERT_NE(node->data, nullptr);
    void* out = nullptr;
    SInt32 length = 0;
    ASSERT_EQ(root.GetData("D", &out, &length, c.packed, c.cipher), 0);
    EXPECT_EQ(std::string((const char*)out, size_t(length)), bytes);
    QKDisposePtr(Ptr(out));
  }
  Root root;
  void* out = nullptr;
  EXPECT_EQ(root.GetData("None", &out, nullptr, 0, ""), -1);
  EXPECT_EQ(out, nullptr);
  root.SetData("Plain", "AB", 2, 0, "");
  EXPECT_EQ(std::string(root.FindData("Plain", 0)->data, 4), "QUI=");
}

// Bytes that pack below the cipher's 32-byte minimum are padded, not a fatal
// report, and come back exactly.
TEST(PlistTag, PackedDataTooSmallToEncipherIsPadded) {
  RecordingDialogs dialogs;
  const std::string cases[] = {std::string(64, '\0'), "", "x", std::string(5000, 'z')};
  for (const std::string& bytes : cases) {
    Root root;
    ASSERT_EQ(root.SetData("D", bytes.data(), SInt32(bytes.size()), 1, "key"), 0) << bytes.size();
    void* out = nullptr;
    SInt32 length = -1;
    ASSERT_EQ(root.GetData("D", &out, &length, 1, "key"), 0) << bytes.size();
    EXPECT_EQ(std::string((const char*)out, size_t(length)), bytes);
    QKDisposePtr(Ptr(out));
  }
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST(PlistTag, DamagedDataLeavesReturnFailure) {
  RecordingDialogs dialogs;
  Root root;
  struct Case {
    const char* base64;
    unsigned char packed;
    const char* cipher;
  } cases[] = {
      {"AAAAZAFh", 1, ""},    // says 100 bytes, holds one literal
      {"f////4Fh", 1, ""},    // a huge stated length
      {"AAA=", 1, ""},        // shorter than the length field
      {"QUJD", 0, "secret"},  // too short to have been enciphered
  };
  for (auto& c : cases) {
    PlistTag* node = root.FindData("D", 1);
    if (node->data) QKDisposePtr(node->data);
    node->data = QKNewPtr(SInt32(strlen(c.base64)));
    memcpy(node->data, c.base64, strlen(c.base64));
    void* out = nullptr;
    EXPECT_EQ(root.GetData("D", &out, nullptr, c.packed, c.cipher), -1) << c.base64;
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST(PlistTag, ArraysOfNumbersAsData) {
  Root root;
  Array<SInt16> shorts(2, (const unsigned char*)"\6shorts");
  shorts[0] = 1;
  shorts[1] = 258;
  root.SaveArray("Shorts", shorts, 0, "");
  void* raw = nullptr;
  SInt32 length = 0;
  root.GetData("Shorts", &raw, &length, 0, "");
  ASSERT_EQ(length, 4);
  EXPECT_EQ(std::string((const char*)raw, 4), std::string("\0\1\1\2", 4));
  QKDisposePtr(Ptr(raw));

  Array<UInt16> back(0, (const unsigned char*)"\4back");
  root.LoadArray("Shorts", &back, 0, "");
  ASSERT_EQ(back.Size(), 2u);
  EXPECT_EQ(back[1], 258);
  EXPECT_EQ(PString(back.name), "(*array)");

  Array<char> chars(3, (const unsigned char*)"\5chars");
  chars[0] = -1;
  chars[1] = 0;
  chars[2] = 'z';
  root.SaveArray("Chars", chars, 1, "");
  Array<unsigned char> bytes(0, (const unsigned char*)"\5bytes");
  root.LoadArray("Chars", &bytes, 1, "");
  ASSERT_EQ(bytes.Size(), 3u);
  EXPECT_EQ(bytes[0], 255);
  EXPECT_EQ(bytes[2], 'z');
  root.LoadArray("Missing", &bytes, 0, "");
  EXPECT_EQ(bytes.Size(), 0u);
}

TEST(PlistTag, DeletingCleaningAndCopying) {
  Root root;
  root.NewArray("Empty");
  root.NewDictionary("Outer")->NewDictionary("Inner");
  root.NewLong("Keep", 1);
  root.Cleanup();
  ASSERT_EQ(root.NumChildren(), 1);
  EXPECT_EQ(PString(root.GetChild(0)->key), "Keep");

  EXPECT_EQ(root.DeleteTag("Nope"), -1);
  EXPECT_EQ(root.DeleteTag("Keep"), 0);
  EXPECT_EQ(root.NumChildren(), 0);

  root.NewDictionary("D")->NewString("S", "text");
  root.SetData("Bytes", "xyz", 3, 0, "");
  Root copy;
  root.CopyTo(&copy);
  ASSERT_EQ(copy.NumChildren(), 2);
  EXPECT_EQ(copy.GetChild(0)->parent, &copy);
  std::string text;
  copy.FindDictionary("D", 0)->GetString("S", &text, 0);
  EXPECT_EQ(text, "text");
  void* out = nullptr;
  SInt32 length = 0;
  ASSERT_EQ(copy.GetData("Bytes", &out, &length, 0, ""), 0);  // data blocks are copied too
  EXPECT_EQ(std::string((const char*)out, size_t(length)), "xyz");
  QKDisposePtr(Ptr(out));

  Root merged;
  merged.NewLong("Old", 1);
  merged.NewDictionary("D")->NewString("S", "old");
  root.AddTo(&merged);
  EXPECT_EQ(merged.NumChildren(), 3);
  merged.FindDictionary("D", 0)->GetString("S", &text, 0);
  EXPECT_EQ(text, "text");

  root.Delete();  // a root is emptied, not freed
  EXPECT_EQ(root.NumChildren(), 0);
}

}  // namespace
