// Writes the seed corpora of the harnesses, each made by the engine's own
// writers: fuzz_seeds <folder> makes <folder>/<harness>/<n> files.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <png.h>

#include "FuzzSupport.h"
#include "foundation/PlistTag.h"
#include "foundation/StringFunctions.h"
#include "foundation/TextBuffer.h"
#include "foundation/TextEncodings.h"
#include "foundation/Version.h"
#include "graphics/PNGFile.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"

namespace fs = std::filesystem;

namespace {

std::string root;

void Put(const std::string& harness, int n, const std::string& bytes) {
  fs::create_directories(root + "/" + harness);
  std::ofstream(root + "/" + harness + "/seed-" + std::to_string(n), std::ios::binary) << bytes;
}

std::string Text(PlistTag& tree) {
  TextBuffer buffer;
  tree.SaveBuffer(&buffer);
  return std::string(reinterpret_cast<const char*>(buffer.Start()), size_t(buffer.DataSize()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Preferences(PlistTag& tree) {
  tree.NewLong("Monitor Mode", 2);
  tree.NewBoolean("Full Screen", 1);
  tree.NewBoolean("Graphics Mode", 0);
  PlistTag* audio = tree.NewDictionary("Audio Prefs");
  audio->NewLong("Sound Volume", 7);
  audio->NewBoolean("Music", 1);
  tree.NewDictionary("Online Prefs");
}

void PlistSeeds() {
  int n = 0;
  {
    PlistTag tree;
    Preferences(tree);
    Put("plist_text", n++, Text(tree));
  }
  {
    PlistTag tree;
    PlistTag* scores = tree.NewArray("Scores");
    for (int i = 0; i < 3; i++) {
      PlistTag* entry = scores->NewElement();
      entry->NewString("Name", i == 1 ? "a<b>&c" : "Player");
      entry->NewLong("Score", 1000 * (3 - i));
      entry->NewLong("Wave", i + 1);
    }
    scores->NewLong("", -5);
    tree.NewString("R&D", "x");
    Point p{480, 640};
    tree.NewPoint("Window Size", p);
    tree.NewTag("real", "Ratio", "0.5");
    tree.NewTag("boolean", "Odd", "");
    tree.SetData("Keys", "\x01\x02\x03\x04 packed bytes packed bytes", 30, 1, "");
    PlistTag* deep = tree.NewDictionary("Deep");
    for (int i = 0; i < 5; i++) deep = deep->NewDictionary("d");
    deep->NewLong("Leaf", 1);
    Put("plist_text", n++, Text(tree));
  }
  // Data leaves in every layering, with the mode byte the harness reads.
  std::string bytes;
  for (int i = 0; i < 200; i++) bytes.push_back(char(i % 9 == 0 ? i : 'q'));
  int d = 0;
  for (unsigned char mode = 0; mode < 4; mode++) {
    PlistTag tree;
    tree.SetData("D", bytes.data(), SInt32(bytes.size()), mode & 1, (mode & 2) ? "fuzz key" : "");
    PlistTag* leaf = tree.FindData("D", 0);
    Put("plist_data", d++, std::string(1, char(mode)) + std::string(leaf->data, size_t(QKGetPtrSize(leaf->data))));
  }
  {
    PlistTag tree;
    Preferences(tree);
    TextBuffer buffer;
    tree.SaveBuffer(&buffer);
    buffer.CryptData((const unsigned char*)"\x08" "fuzz key");
    Put("plist_data", d++, std::string(1, '\0') + std::string(reinterpret_cast<const char*>(buffer.Start()),
                                                              size_t(buffer.DataSize())));
  }
}

void AddRect(PlistTag* parent, const char* key, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom) {
  PlistTag* r = parent->NewDictionary(key);
  r->NewShort("Left", left);
  r->NewShort("Top", top);
  r->NewShort("Right", right);
  r->NewShort("Bottom", bottom);
}

void LayoutSeeds() {
  struct Array {
    const char* name;
    std::vector<int> sizes;
  } arrays[] = {{"aFRAME", {1}}, {"bFRAME", {3}}, {"cFRAME", {2, 2}}};
  PlistTag tree;
  PlistTag* frames = tree.NewDictionary("Frames");
  for (const Array& a : arrays) {
    int members = 1;
    for (int s : a.sizes) members *= s;
    for (int m = 0; m < std::max(members, 1); m++) {
      std::string key = m == 0 ? a.name : std::string(a.name) + "[" + std::to_string(m) + "]";
      PlistTag* entry = frames->NewDictionary(key.c_str());
      entry->NewBoolean("First In Array", m == 0);
      if (m == 0)
        for (size_t i = 0; i < a.sizes.size(); i++)
          entry->NewLong(("Array Size " + std::to_string(i)).c_str(), a.sizes[i]);
      AddRect(entry, "Bounds", SInt16(16 * m), 0, SInt16(16 * m + 16), 16);
      if (m != 0) continue;  // hot items on the heads only: a small seed fuzzes faster
      AddRect(entry->NewDictionary("Hot Rects"), "0", 2, 2, 14, 14);
      PlistTag* points = entry->NewDictionary("Hot Points")->NewDictionary("0");
      points->NewShort("H", 8);
      points->NewShort("V", 8);
      PlistTag* align = entry->NewDictionary("Align Points")->NewDictionary("3");
      align->NewShort("H", 1);
      align->NewShort("V", 2);
    }
  }
  Put("layout", 0, Text(tree));
}

void PNGSeeds(const std::string& scratch) {
  const UInt8 rgba[3 * 2 * 4] = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0,
                                 9, 9, 9, 9,   200, 100, 50, 255, 1, 2, 3, 4};
  const UInt8 bytes[3 * 2] = {0, 1, 2, 2, 1, 0};
  const png_color palette[3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  const std::string path = scratch + "/seed.png";
  int n = 0;
  if (SavePNG(path.c_str(), rgba, 3, 2, 0, nullptr, 0)) Put("png", n++, ReadFile(path));
  if (SavePNG(path.c_str(), bytes, 3, 2, 1, nullptr, 0)) Put("png", n++, ReadFile(path));
  if (SavePNG(path.c_str(), bytes, 3, 2, 1, palette, 3)) Put("png", n++, ReadFile(path));
}

void TextSeeds() {
  const std::string samples[] = {"Halvane High Scores", "a b+c%d&e=f/g?h#i", "O'Brien \"quoted\" \\ back",
                                 std::string("nul\0byte", 8), "caf\x8E cr\x8Fme", "http://user:pw@host:80/p?q#f"};
  int n = 0;
  for (const std::string& s : samples) {
    Put("text_encodings", n++, s);
    std::vector<char> out(3 * s.size() + 1);
    urlencode(s.data(), out.data(), int(s.size()), -1);
    Put("text_encodings", n++, out.data());
    std::vector<char> b64(base64_encodeSizeNeeded(unsigned(s.size())) + 1);
    int k = base64_encode(s.data(), b64.data(), int(s.size()), int(b64.size()));
    Put("text_encodings", n++, std::string(b64.data(), size_t(std::max(k, 0))));
  }
}

void NumberSeeds() {
  const SInt32 numbers[] = {0, 7, -1, 640, 2147483647, -2147483647 - 1, 1000000};
  int n = 0;
  for (SInt32 v : numbers) {
    Str255 text;
    QK_NumToString(v, text);
    Put("numbers", n++, std::string(reinterpret_cast<const char*>(text + 1), text[0]));
  }
  const NumVersion versions[] = {VersionValue(1, 0, 0, finalStage), VersionValue(2, 1, 3, betaStage),
                                 VersionValue(0, 9, 0, developStage)};
  for (const NumVersion& v : versions) {
    for (unsigned char longForm = 0; longForm < 2; longForm++) {
      Str255 text;
      GetVersionString(v, text, longForm);
      Put("numbers", n++, std::string(reinterpret_cast<const char*>(text + 1), text[0]));
    }
  }
}

void PrefsSeeds(const std::string& scratch) {
  const std::string home = scratch + "/home";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  APPL.SetName("Halvane", "");
  mainPREFS.SetFileName("Halvane Preferences");
  PlistTag tree;
  mainPREFS.Load(&tree);
  mainPREFS.monitorMode = 2;
  mainPREFS.Save(&tree);
  Put("main_prefs", 0, ReadFile(mainPREFS.Path()));
  Preferences(tree);
  mainPREFS.Save(&tree);
  Put("main_prefs", 1, ReadFile(mainPREFS.Path()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
    return 2;
  }
  FuzzSetUp();
  root = argv[1];
  fs::remove_all(root);
  PlistSeeds();
  LayoutSeeds();
  PNGSeeds(FuzzFolder());
  TextSeeds();
  NumberSeeds();
  PrefsSeeds(FuzzFolder());
  return 0;
}
