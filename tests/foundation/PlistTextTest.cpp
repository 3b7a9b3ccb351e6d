#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/Memory.h"
#include "foundation/PlistTag.h"
#include "foundation/TextBuffer.h"
#include "support/RecordingDialogs.h"

namespace {

std::string PString(const unsigned char* s) { return std::string((const char*)s + 1, s[0]); }

struct Root : PlistTag {
  ~Root() { DeleteChildren(); }
};

std::string Save(PlistTag& tree) {
  TextBuffer buffer;
  tree.SaveBuffer(&buffer);
  return std::string((const char*)buffer.Start(), size_t(buffer.DataSize()));
}

SInt16 Load(PlistTag& tree, const std::string& text) {
  TextBuffer buffer;
  buffer.LoadData(text.data(), SInt32(text.size()));
  return tree.LoadBuffer(&buffer);
}

const std::string kExample =
    "<dict>\r"
    "\t<key>Full Screen</key>\r"
    "\t<false/>\r"
    "\t<key>Window Size</key>\r"
    "\t<dict>\r"
    "\t\t<key>H</key>\r"
    "\t\t<integer>640</integer>\r"
    "\t\t<key>V</key>\r"
    "\t\t<integer>480</integer>\r"
    "\t</dict>\r"
    "\t<key>List</key>\r"
    "\t<array>\r"
    "\t\t<dict>\r"
    "\t\t\t<key>Name</key>\r"
    "\t\t\t<string>Ann</string>\r"
    "\t\t</dict>\r"
    "\t\t<integer>5</integer>\r"
    "\t</array>\r"
    "</dict>";

void BuildExample(PlistTag& root) {
  root.NewBoolean("Full Screen", 0);
  Point size{480, 640};
  root.NewPoint("Window Size", size);
  PlistTag* list = root.NewArray("List");
  list->NewElement()->NewString("Name", "Ann");
  list->NewLong("", 5);
}

TEST(PlistText, WriterProducesTheExactBytes) {
  Root root;
  BuildExample(root);
  EXPECT_EQ(Save(root), kExample);

  Root empty;
  EXPECT_EQ(Save(empty), "<dict>\r</dict>");
}

TEST(PlistText, ReaderLoadsTheExampleAndWritesItBackUnchanged) {
  Root root;
  ASSERT_EQ(Load(root, kExample), 0);
  unsigned char full = 9;
  root.GetBoolean("Full Screen", &full, 0);
  EXPECT_EQ(full, 0);
  Point size{};
  root.GetPoint("Window Size", &size);
  EXPECT_EQ(size.h, 640);
  EXPECT_EQ(size.v, 480);
  PlistTag* list = root.FindArray("List", 0);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->NumElements(), 2);
  std::string name;
  list->GetElement(0)->GetString("Name", &name, 0);
  EXPECT_EQ(name, "Ann");
  EXPECT_EQ(PString(list->GetElement(1)->value), "5");
  EXPECT_EQ(Save(root), kExample);
}

TEST(PlistText, EveryValueTypeRoundTrips) {
  Root root;
  root.NewString("Name", "Zed, the; brave  one");
  root.SetString("Typed", "a<b>c & d");  // a typed name may hold anything
  root.NewChar("Char", -128);
  root.NewShort("Short", 32767);
  root.NewLong("Long", -2147483647 - 1);
  root.NewBoolean("On", 1);
  root.NewBoolean("Off", 0);
  root.NewTag("real", "Ratio", "0.75");
  Point p{-3, 7};
  root.NewPoint("Point", p);
  std::string bytes(100, '\0');
  for (int i = 0; i < 100; i++) bytes[i] = char(i * 37);
  root.SetData("Packed", bytes.data(), 100, 1, "");
  root.SetData("Secret", bytes.data(), 100, 1, "key");
  PlistTag* scores = root.NewArray("Scores");
  for (int i = 0; i < 3; i++) {
    PlistTag* entry = scores->NewElement();
    entry->SetString("Name", i == 1 ? "<<>>" : "Ann");
    entry->NewLong("Score", 1000 * i);
  }
  root.NewDictionary("Audio Prefs")->NewDictionary("Deeper")->NewLong("Volume", 200);

  std::string text = Save(root);
  EXPECT_NE(text.find("<string>a&lt;b&gt;c & d</string>"), std::string::npos);
  Root back;
  ASSERT_EQ(Load(back, text), 0);
  EXPECT_EQ(Save(back), text);

  std::string s;
  back.GetString("Name", &s, 0);
  EXPECT_EQ(s, "Zed, the; brave  one");
  back.GetString("Typed", &s, 0);
  EXPECT_EQ(s, "a<b>c & d");
  char c;
  SInt16 sh;
  SInt32 l;
  unsigned char on = 0, off = 1;
  back.GetChar("Char", &c, 0);
  back.GetShort("Short", &sh, 0);
  back.GetLong("Long", &l, 0);
  back.GetBoolean("On", &on, 0);
  back.GetBoolean("Off", &off, 0);
  EXPECT_EQ(c, -128);
  EXPECT_EQ(sh, 32767);
  EXPECT_EQ(l, -2147483647 - 1);
  EXPECT_EQ(on, 1);
  EXPECT_EQ(off, 0);
  EXPECT_EQ(PString(back.FindTag("real", "Ratio", 0)->value), "0.75");
  Point q{};
  back.GetPoint("Point", &q);
  EXPECT_EQ(q.h, 7);
  EXPECT_EQ(q.v, -3);
  for (const char* key : {"Packed", "Secret"}) {
    void* out = nullptr;
    SInt32 length = 0;
    ASSERT_EQ(back.GetData(key, &out, &length, 1, std::string(key) == "Secret" ? "key" : ""), 0);
    EXPECT_EQ(std::string((const char*)out, size_t(length)), bytes);
    QKDisposePtr(Ptr(out));
  }
  PlistTag* list = back.FindArray("Scores", 0);
  ASSERT_EQ(list->NumElements(), 3);
  list->GetElement(1)->GetString("Name", &s, 0);
  EXPECT_EQ(s, "<<>>");
  list->GetElement(2)->GetLong("Score", &l, 0);
  EXPECT_EQ(l, 2000);
  back.FindDictionary("Audio Prefs", 0)->FindDictionary("Deeper", 0)->GetLong("Volume", &l, 0);
  EXPECT_EQ(l, 200);
}

TEST(PlistText, AmpersandInAKeyIsEscapedOnce) {
  Root root;
  PlistTag* node = root.NewLong("R&D", 1);
  std::string first = Save(root);
  EXPECT_EQ(first, "<dict>\r\t<key>R&amp;D</key>\r\t<integer>1</integer>\r</dict>");
  EXPECT_EQ(PString(node->key), "R&amp;D");
  EXPECT_EQ(Save(root), first);  // not "R&amp;amp;D"
  Root back;
  ASSERT_EQ(Load(back, first), 0);
  EXPECT_NE(back.FindLong("R&D", 0), nullptr);

  Root full;  // no room for the escape: written as it is, and read back the same
  std::string key = std::string(29, 'k') + "&x";
  full.NewLong(key.c_str(), 2);
  Root fullBack;
  ASSERT_EQ(Load(fullBack, Save(full)), 0);
  EXPECT_NE(fullBack.FindLong(key.c_str(), 0), nullptr);
}

TEST(PlistText, ReaderAcceptsForeignForms) {
  const std::string body = "<key>A</key><string>x y</string><key>N</key><integer>7</integer>";
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"XML prologue",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//X//DTD PLIST 1.0//EN\" "
       "\"http://example.invalid/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n\t" +
           body + "\n</dict>\n</plist>\n"},
      {"line feeds", "<dict>\n\t<key>A</key>\n\t<string>x y</string>\n\t<key>N</key>\n\t<integer>7</integer>\n</dict>"},
      {"CR LF",
       "<dict>\r\n\t<key>A</key>\r\n\t<string>x y</string>\r\n\t<key>N</key>\r\n\t<integer>7</integer>\r\n</dict>"},
      {"one line", "<dict>" + body + "</dict>"},
      {"stray closers", "<dict></string>" + body + "</foo></dict>trailing junk <dict"},
  };
  for (auto& c : cases) {
    Root root;
    ASSERT_EQ(Load(root, c.text), 0) << c.what;
    std::string s;
    SInt32 n = 0;
    root.GetString("A", &s, 0);
    root.GetLong("N", &n, 0);
    EXPECT_EQ(s, "x y") << c.what;
    EXPECT_EQ(n, 7) << c.what;
  }
}

TEST(PlistText, ReaderQuirks) {
  Root root;
  ASSERT_EQ(Load(root,
                 "<dict><key>S</key><string>a, b; c\td</string><key>E</key><integer></integer>"
                 "<key>D</key><integer>1</integer><key>D</key><integer>2</integer>"
                 "<key>Long</key><string>" +
                     std::string(300, 'v') +
                     "</string>"
                     "<key>Empty</key><string></string>"
                     "<key>Lt</key><string>&lt;&amp;&gt;</string></dict>"),
            0);
  std::string s;
  root.GetString("S", &s, 0);
  EXPECT_EQ(s, "a, b; c");  // a TAB ends a value
  PlistTag* e = root.FindLong("E", 0);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->value[0], 0);
  SInt32 n = 99;
  root.GetLong("E", &n, 0);
  EXPECT_EQ(n, 0);
  root.GetLong("D", &n, 0);
  EXPECT_EQ(n, 2);
  int count = 0;
  for (UInt16 i = 0; i < root.NumChildren(); i++) count += PString(root.GetChild(i)->key) == "D";
  EXPECT_EQ(count, 1);
  root.GetString("Long", &s, 0);
  EXPECT_EQ(s, std::string(254, 'v'));
  root.GetString("Lt", &s, 0);
  EXPECT_EQ(s, "<&amp;>");
}

TEST(PlistText, DamagedOrHostileTextFailsQuietly) {
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"no dict", "<plist><array><string>a</string></array></plist>"},
      {"dict inside a word", "<mydict><key>A</key><integer>1</integer></mydict>"},
      {"truncated", "<dict>\r\t<key>A</key>\r\t<integer>1</integer>\r"},
      {"truncated inside a child", "<dict><key>D</key><dict><key>A</key><integer>1</integer></dict"},
      {"truncated in a tag", "<dict><key>A</key><inte"},
      {"key inside an array", "<dict><key>L</key><array><key>A</key><integer>1</integer></array></dict>"},
      {"array inside an array", "<dict><key>L</key><array><array></array></array></dict>"},
      {"array without a key", "<dict><array></array></dict>"},
      {"element before any key", "<dict><integer>1</integer></dict>"},
      {"empty key", "<dict><key></key><integer>1</integer></dict>"},
      {"empty element word", "<dict><key>A</key><>1</></dict>"},
      {"key longer than 31", "<dict><key>" + std::string(32, 'k') + "</key><integer>1</integer></dict>"},
      {"word longer than 31",
       "<dict><key>A</key><" + std::string(40, 'w') + ">1</" + std::string(40, 'w') + "></dict>"},
      {"nesting deeper than 31",
       [] {
         std::string t = "<dict>";
         for (int i = 0; i < 32; i++) t += "<key>d</key><dict>";
         for (int i = 0; i < 33; i++) t += "</dict>";
         return t;
       }()},
      {"unbounded nesting",
       [] {
         std::string t = "<dict>";
         for (int i = 0; i < 100000; i++) t += "<key>d</key><dict>";
         return t;
       }()},
      {"binary", std::string("<dict>\0\xFF\x01<\0>\xFE<key>\x80", 19)},
      {"NUL in an array's word", std::string("<dict><key>A</key><array><array\0></array></dict>", 48)},
      {"NUL in a key's word", std::string("<dict><key>M<key\0></dict>", 25)},
      {"NUL in a value's word", std::string("<dict><key>A</key><inte\0ger>1</integer></dict>", 46)},
  };
  RecordingDialogs dialogs;
  for (auto& c : cases) {
    Root root;
    root.NewLong("Default", 1);
    EXPECT_EQ(Load(root, c.text), -1) << c.what;
    EXPECT_EQ(root.NumChildren(), 0) << c.what;
  }
  EXPECT_TRUE(dialogs.Reports().empty());

  std::string deepest = "<dict>";
  for (int i = 0; i < 31; i++) deepest += "<key>d</key><dict>";
  for (int i = 0; i < 32; i++) deepest += "</dict>";
  Root root;
  EXPECT_EQ(Load(root, deepest), 0);
}

// What the reader accepts, the writer writes back as text that reads to the
// same tree and the same text again.
void ExpectStableRoundTrip(const std::string& text, const char* what) {
  Root first;
  ASSERT_EQ(Load(first, text), 0) << what;
  std::string saved = Save(first);
  Root second;
  ASSERT_EQ(Load(second, saved), 0) << what << ": " << saved;
  EXPECT_EQ(Save(second), saved) << what;
}

TEST(PlistText, BooleansHoldingOtherTextSurviveASaveCycle) {
  struct Case {
    const char* what;
    std::string text;
    std::string value;
    unsigned char flag;  // as GetBoolean leaves a default of 2
  } cases[] = {
      {"empty", "<dict><key>Monitor Mode</key><integer>2</integer><key>Flag</key><boolean></boolean></dict>", "", 2},
      {"a word", "<dict><key>Flag</key><boolean>yes</boolean></dict>", "yes", 2},
      {"escaped", "<dict><key>Flag</key><boolean>&lt;x&gt;</boolean></dict>", "<x>", 2},
      {"true/ as text", "<dict><key>Flag</key><boolean>true/</boolean></dict>", "true/", 1},
      {"plain", "<dict><key>Flag</key><false/></dict>", "false/", 0},
  };
  RecordingDialogs dialogs;
  for (auto& c : cases) {
    ExpectStableRoundTrip(c.text, c.what);
    Root root;
    ASSERT_EQ(Load(root, c.text), 0);
    PlistTag* flag = root.FindBoolean("Flag", 0);
    ASSERT_NE(flag, nullptr) << c.what;
    EXPECT_EQ(PString(flag->value), c.value) << c.what;
    unsigned char value = 2;
    root.GetBoolean("Flag", &value, 0);
    EXPECT_EQ(value, c.flag) << c.what;
  }
  Root root;
  ASSERT_EQ(Load(root, cases[0].text), 0);
  EXPECT_EQ(Save(root),
            "<dict>\r\t<key>Monitor Mode</key>\r\t<integer>2</integer>\r\t<key>Flag</key>\r"
            "\t<boolean></boolean>\r</dict>");
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST(PlistText, ABigDictionaryLoadsInOrderAndSavesToTheSameBytes) {
  const int kKeys = 40000;
  std::string text = "<dict>";
  for (int i = 0; i < kKeys; i++)
    text += "\r\t<key>Key " + std::to_string(i) + "</key>\r\t<integer>" + std::to_string(i * 7) + "</integer>";
  text += "\r</dict>";
  Root root;
  ASSERT_EQ(Load(root, text), 0);
  ASSERT_EQ(root.children.Size(), UInt32(kKeys));
  EXPECT_EQ(PString(root.children[12345]->key), "Key 12345");
  SInt32 n = 0;
  EXPECT_NE(root.GetLong("Key 39999", &n, 0), nullptr);
  EXPECT_EQ(n, 39999 * 7);
  EXPECT_EQ(Save(root), text);
  // A repeated key still updates the first child of that name, in place.
  Root twice;
  ASSERT_EQ(Load(twice, text.substr(0, text.size() - 8) + "<key>Key 5</key><integer>-1</integer></dict>"), 0);
  EXPECT_EQ(twice.children.Size(), UInt32(kKeys));
  twice.GetLong("Key 5", &n, 0);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(twice.children[5], twice.FindLong("Key 5", 0));
  twice.DeleteChildren();
  EXPECT_EQ(twice.NumChildren(), 0);
}

// The reader finds a dictionary's children by a hash of their names; names
// whose hashes are equal ("liquid" and "costarring", "zinke" and "altarage"
// under FNV-1a) must still be told apart, and a repeated one still found.
TEST(PlistText, KeysWhoseHashesCollideStayApart) {
  Root root;
  ASSERT_EQ(Load(root,
                 "<dict><key>liquid</key><integer>1</integer><key>costarring</key><integer>2</integer>"
                 "<key>zinke</key><string>a</string><key>altarage</key><string>b</string>"
                 "<key>liquid</key><string>c</string><key>costarring</key><integer>3</integer></dict>"),
            0);
  ASSERT_EQ(root.children.Size(), 5u);
  const char* keys[] = {"liquid", "costarring", "zinke", "altarage", "liquid"};
  const char* values[] = {"1", "3", "a", "b", "c"};
  for (int i = 0; i < 5; i++) {
    EXPECT_EQ(PString(root.children[UInt32(i)]->key), keys[i]) << i;
    EXPECT_EQ(PString(root.children[UInt32(i)]->value), values[i]) << i;
  }
  EXPECT_EQ(PString(root.children[4]->type), "string");
}

TEST(PlistText, FilesAndEncryptedFiles) {
  Root root;
  BuildExample(root);
  FILE* f = std::tmpfile();
  ASSERT_EQ(root.SaveFile(f), 0);
  std::rewind(f);
  Root back;
  ASSERT_EQ(back.LoadFile(f), 0);
  EXPECT_EQ(Save(back), kExample);
  std::fclose(f);

  const unsigned char* key = (const unsigned char*)"\6cipher";
  f = std::tmpfile();
  ASSERT_EQ(root.SaveEncryptedFile(f, key), 0);
  std::rewind(f);
  char head[6] = {0};
  ASSERT_EQ(std::fread(head, 1, 6, f), 6u);
  EXPECT_NE(std::string(head, 6), "<dict>");
  std::rewind(f);
  Root secret;
  ASSERT_EQ(secret.LoadEncryptedFile(f, key), 0);
  EXPECT_EQ(Save(secret), kExample);
  std::fclose(f);

  RecordingDialogs dialogs;
  f = std::tmpfile();
  std::fputs("<dict></dict>", f);  // too short to be enciphered text
  std::rewind(f);
  EXPECT_EQ(secret.LoadEncryptedFile(f, key), -1);
  std::fclose(f);
  EXPECT_EQ(root.SaveFile(static_cast<FILE*>(nullptr)), -1);
  EXPECT_EQ(root.LoadFile(static_cast<FILE*>(nullptr)), -1);
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST(PlistText, UnnamedArrayCannotBeWritten) {
  RecordingDialogs dialogs;
  Root root;
  root.NewArray("");
  TextBuffer buffer;
  EXPECT_THROW(root.SaveBuffer(&buffer), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "PlistTag::WriteTag() failed because an array was unnamed.");
}

}  // namespace

namespace {

// Values holding '&', '<' and '>' in every arrangement that looks like an
// entity come back from a save as they were, the longest a read keeps too
// (escaped, they are longer on the page than that).
TEST(PlistText, ValuesThatLookLikeEntitiesSurviveASaveCycle) {
  const std::string values[] = {"&lt;",
                                "&gt;",
                                "&amp;",
                                "&amp;lt;",
                                "&&lt;",
                                "<&>",
                                "a & b",
                                "&",
                                "&lt",
                                "R&D",
                                "&amp;amp;gt;",
                                "x&gt;y<z",
                                ";&;",
                                std::string(250, 'x') + "<><>",
                                "&amp;" + std::string(249, 'm'),
                                std::string(240, 'y') + "&lt;&gt;&amp;"};
  for (const std::string& value : values) {
    Root root;
    root.NewString("Name", value.c_str());
    std::string text = Save(root);
    Root back;
    ASSERT_EQ(Load(back, text), 0) << value;
    std::string s;
    ASSERT_NE(back.GetString("Name", &s, 0), nullptr) << value;
    EXPECT_EQ(s, value) << text;
    EXPECT_EQ(Save(back), text) << value;
  }
}

// What the writer made before '&' was escaped reads as it always did: the
// writer's "&lt;" and "&gt;", and an '&' elsewhere, plain.
TEST(PlistText, TextOfTheEarlierWriterReadsAsBefore) {
  struct Case {
    const char* stored;
    const char* read;
  } cases[] = {{"a&lt;b&gt;c & d", "a<b>c & d"},
               {"&amp;", "&amp;"},
               {"R&D", "R&D"},
               {"&amp;x", "&amp;x"},
               {"Tom &amp Jerry", "Tom &amp Jerry"}};
  for (const Case& c : cases) {
    Root root;
    ASSERT_EQ(Load(root, std::string("<dict>\r\t<key>Name</key>\r\t<string>") + c.stored + "</string>\r</dict>"), 0);
    std::string s;
    root.GetString("Name", &s, 0);
    EXPECT_EQ(s, c.read) << c.stored;
    // ... and keeps that value through a save.
    Root back;
    ASSERT_EQ(Load(back, Save(root)), 0);
    std::string again;
    back.GetString("Name", &again, 0);
    EXPECT_EQ(again, c.read) << c.stored;
  }
}

}  // namespace
