// Writes the seed corpora of the harnesses, each made by the engine's own
// writers (or taken from the generated bundle): fuzz_seeds <folder>
// <bundle resources> makes <folder>/<harness>/seed-<n> files.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "MovieSeeds.h"
#include "foundation/PlistTag.h"
#include "foundation/StringFunctions.h"
#include "foundation/TextBuffer.h"
#include "foundation/TextEncodings.h"
#include "foundation/Version.h"
#include "frontend/KeyNames.h"
#include "frontend/Preferences.h"
#include "frontend/Scores.h"
#include "graphics/GameWindow.h"
#include "graphics/PNGFile.h"
#include "platform/QuickDraw.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"
#include "sound/AudioPrefs.h"

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
    Put("plist_data", d++,
        std::string(1, '\0') + std::string(reinterpret_cast<const char*>(buffer.Start()), size_t(buffer.DataSize())));
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
  const UInt8 rgba[3 * 2 * 4] = {255, 0, 0, 255, 0,   255, 0,  128, 0, 0, 255, 0,
                                 9,   9, 9, 9,   200, 100, 50, 255, 1, 2, 3,   4};
  const UInt8 bytes[3 * 2] = {0, 1, 2, 2, 1, 0};
  const png_color palette[3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  const std::string path = scratch + "/seed.png";
  int n = 0;
  if (SavePNG(path.c_str(), rgba, 3, 2, 0, nullptr, 0)) Put("png", n++, ReadFile(path));
  if (SavePNG(path.c_str(), bytes, 3, 2, 1, nullptr, 0)) Put("png", n++, ReadFile(path));
  if (SavePNG(path.c_str(), bytes, 3, 2, 1, palette, 3)) Put("png", n++, ReadFile(path));
}

void TextSeeds() {
  const std::string samples[] = {"Halvane High Scores",       "a b+c%d&e=f/g?h#i", "O'Brien \"quoted\" \\ back",
                                 std::string("nul\0byte", 8), "caf\x8E cr\x8Fme",  "http://user:pw@host:80/p?q#f"};
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

std::string Word(UInt32 v) {
  std::string out;
  for (int i = 0; i < 4; i++) out.push_back(char(v >> (8 * i)));
  return out;
}

// The game's result (which players played, their scores) before the file.
std::string ScoresHeader(UInt32 played, SInt32 first, SInt32 second) {
  return Word(UInt32(first) << 2 | played) + Word(UInt32(second));
}

// Written by the game's own scores code into the scratch home PrefsSeeds set.
void ScoresSeeds() {
  mainSCORES.SetFileName("Halvane Scores");
  mainSCORES.Init(15, 2);
  const std::string path = mainSCORES.Path();
  mainSCORES.TestFile();
  Put("scores", 0, ScoresHeader(1, 50000, 0) + ReadFile(path));
  Put("scores", 1, ScoresHeader(3, 98620, 98620) + ReadFile(path));
  ClearScores();
  Put("scores", 2, ScoresHeader(3, 10, 20) + ReadFile(path));
  LoadScores();
  mainSCORES.checkEntry[0].NewLong("Score", 7);
  mainSCORES.checkEntry[0].NewChar("Level", 2);
  mainSCORES.Check("Score");
  SetNewScoreName(0, "Ann & Bo");
  Put("scores", 3, ScoresHeader(2, 0, 8) + ReadFile(path));
  mainSCORES.document.DeleteChildren();
  mainSCORES.ClearUpdates();
}

// The whole preferences file as the game saves it, sound settings and all.
void GamePrefsSeeds() {
  saveAudioPrefsProc = SaveAudioPrefs;
  audioPREFS.Defaults();
  PREFS.Defaults();
  DefaultKeys();
  windSIZE.h = 640;
  windSIZE.v = 480;
  mainPREFS.Defaults(true);
  SavePreferences();
  Put("prefs", 0, ReadFile(mainPREFS.Path()));
  PREFS.lastPlayer[0] = "Ann & Bo";
  PREFS.lastPlayer[1] = "x&amp;y";
  PREFS.lastCommand = "go";
  PREFS.firstPlay = 0;
  PREFS.adScreen = 3;
  windSIZE.h = 1024;
  windSIZE.v = 768;
  playerKEY[0] = 0x7B;
  playerKEY[9] = 136;
  audioPREFS.soundVolume = 0;
  audioPREFS.musicOn = 0;
  audioPREFS.sampleSize = 8;
  audioPREFS.sampleRate = kRate22khz;
  audioPREFS.numChannels = 4;
  mainPREFS.monitorMode = kMonitorModeNever;
  mainPREFS.fullScreen = false;
  SavePreferences();
  Put("prefs", 1, ReadFile(mainPREFS.Path()));
  saveAudioPrefsProc = nullptr;
}

// Converter, header kind, rate, loop start and end, then the samples.
void SoundHeaderSeeds() {
  std::string samples;
  for (int i = 0; i < 64; i++) samples.push_back(char(i * 37));
  const UInt32 rates[] = {22050u << 16, 44100u << 16, 11025u << 16, 48000u << 16};
  for (int mode = 0; mode < 12; mode++) {
    std::string seed(1, char(mode % 10));
    seed.push_back(char(mode / 10 ? 7 : 2));
    seed += Word(rates[mode % 4]) + Word(UInt32(mode)) + Word(UInt32(20 + mode));
    Put("sound_header", mode, seed + samples);
  }
  // The packed headers: standard and extended, bare and inside resources
  // with lists, then values to set.
  for (int kind = 0; kind < 4; kind++) {
    std::string seed(1, char(250 + kind));
    seed.push_back(char(kind == 0 ? 0 : kind == 1 ? 1 : kind == 2 ? 2 | 8 : 1 | 4 | 16));
    std::string fields(64, '\0');
    const UInt32 frames = 100, channels = 2, rate = 22050u << 16;
    std::memcpy(&fields[4], kind % 2 ? &channels : &frames, 4);
    std::memcpy(&fields[8], &rate, 4);
    std::memcpy(&fields[22], &frames, 4);
    fields[48] = 16;
    seed += fields.substr(0, kind % 2 ? 64 : 22);
    for (UInt32 v : {7u, 2u, 44100u << 16, 1000u, 0u, 1u, 0xFFFFFFFFu, 3u}) seed += Word(v);
    Put("sound_header", 12 + kind, seed);
  }
}

// Record-then-play and play-only, with a few chunk and buffer sizes.
void ReplaySeeds() {
  std::string values;
  const UInt32 longs[] = {0, 1, 0x80000000u, 0xDEADBEEFu};
  for (UInt32 v : longs) values += std::string(1, '\0') + Word(v);
  values += std::string("\x01\x12\x34\x02\x7f\x03\x01\x03\x00\x01\xff\xff", 12);
  Put("replay", 0, std::string("\x00\x00\x00", 3) + values);
  Put("replay", 1, std::string("\x00\x03\x04", 3) + values);
  Put("replay", 2, std::string("\x00\x0f\x10", 3) + values);
  Put("replay", 3, std::string("\x01\x00\x02", 3) + values);
}

std::string Big(UInt32 v, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; i--) out.push_back(char(v >> (8 * i)));
  return out;
}

// Style data as the bundle holds it (a count, then 20-byte elements: start,
// line height, ascent, font, face, filler, size, colour), after the
// harness's length, width and alignment bytes, then the text.
void StyledTextSeeds() {
  struct Run {
    UInt32 start;
    UInt8 face;
    UInt16 size;
  };
  const std::vector<std::vector<Run>> styles = {{{0, 0, 12}}, {{0, 1, 9}, {6, 2, 24}, {11, 0, 0}}};
  const std::string texts[] = {"Hello world", "Fire\rthen move\r\rtwo words here and a longword_without_blanks",
                               "\xEF\xBB\xBF"
                               "caf\xC3\xA9 cr\xC3\xA8me \t tab"};
  int n = 0;
  for (size_t s = 0; s < styles.size(); s++) {
    std::string data = Big(UInt32(styles[s].size()), 2);
    for (const Run& r : styles[s])
      data += Big(r.start, 4) + Big(16, 2) + Big(12, 2) + Big(0, 2) + std::string(1, char(r.face)) +
              std::string(1, '\0') + Big(r.size, 2) + Big(0xFFFF, 2) + Big(0x8000, 2) + Big(0, 2);
    for (const std::string& text : texts) {
      const char width = char(n % 2 ? 60 : 200);
      Put("styled_text", n,
          Big(UInt32(data.size()), 2) + std::string(1, width) + std::string(1, char(n * 13)) + data + text);
      n++;
    }
  }
}

// The bundle's own colour and trigonometry tables, after the harness's
// selector byte (even: colour table, odd: trigonometry table).
void TablesSeeds(const std::string& resources) {
  int n = 0;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(resources + "/CLUT", ec))
    Put("tables", n++, std::string(1, '\0') + ReadFile(entry.path()));
  for (const char* name : {"SIN Table 360", "COS Table 360"}) {
    const std::string table = ReadFile(resources + "/" + name);
    Put("tables", n++, std::string(1, '\1') + table);
    Put("tables", n++, std::string(1, '\1') + table.substr(0, 37));
  }
  // Lookup tables: from a file's words, and from pictures of the table's
  // size, smaller and larger.
  std::string words;
  for (int i = 0; i < 64; i++) words += char(i * 29) + std::string(1, char(i * 7));
  Put("tables", n++, std::string(1, '\xF0') + words);
  for (const char* size : {"\xFF\x7F", "\x10\x08", "\x2B\x9F"})
    Put("tables", n++, std::string(1, '\xF4') + std::string(size, 2) + words);
}

// Pictures the engine writes from its pixel maps (ExportPixMapPNG of 32,
// 16 and 8-bit maps, the last as palette indices and as grey levels), and
// small pictures of the bundle; the icon harness takes the bundle's icons.
void PictureSeeds(const std::string& resources, const std::string& scratch) {
  int n = 0;
  const FSRef folder{scratch};
  for (SInt16 depth : {32, 16, 8}) {
    GWorldPtr world = nullptr;
    const Rect bounds{0, 0, 5, 7};
    if (NewGWorld(&world, depth, &bounds, nullptr, nullptr, 0) != noErr) continue;
    PixMapHandle pm = GetGWorldPixMap(world);
    for (SInt16 y = 0; y < 5; y++)
      for (SInt16 x = 0; x < 7; x++) {
        UInt8* row = reinterpret_cast<UInt8*>(GetPixBaseAddr(pm)) + y * GetPixRowBytes(pm);
        const UInt32 v = UInt32(x * 36) << 16 | UInt32(y * 60) << 8 | UInt32((x + y) * 20);
        if (depth == 32) reinterpret_cast<UInt32*>(row)[x] = v;
        if (depth == 16) reinterpret_cast<UInt16*>(row)[x] = UInt16(v & 0x7FFF);
        if (depth == 8) row[x] = UInt8(x * 16 + y);
      }
    const std::string path = scratch + "/export.png";
    for (UInt8 oneByte = 0; oneByte < (depth == 8 ? 3 : 1); oneByte++)
      if (ExportPixMapPNG("export", pm, nullptr, &folder, oneByte != 0, oneByte == 2))
        Put("picture", n++, ReadFile(path));
    DisposeGWorld(world);
  }
  for (const char* name : {"Graphics/Spark.png", "Graphics/Interface/Volume.png", "Icons/Halvane-16.png"})
    Put("picture", n++, ReadFile(resources + "/" + name));
  int i = 0;
  for (const char* name : {"Icons/Halvane-16.png", "Icons/Halvane-22.png", "QK Resources/Audio.icns"})
    Put("icon", i++, ReadFile(resources + "/" + name));
  Put("icon", i++, ReadFile(root + "/picture/seed-0"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_seeds <folder> <bundle resources>\n");
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
  ScoresSeeds();
  GamePrefsSeeds();
  SoundHeaderSeeds();
  ReplaySeeds();
  StyledTextSeeds();
  TablesSeeds(argv[2]);
  PictureSeeds(argv[2], FuzzFolder());
  if (MovieSeeds(std::string(argv[2]) + "/ZadOR/QKLogo640.mov", root + "/movie") < 0) {
    std::fprintf(stderr, "fuzz_seeds: the movie seeds could not be written\n");
    return 1;
  }
  return 0;
}
