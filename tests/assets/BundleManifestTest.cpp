// Every resource the game loads is in the generated bundle, decodes, and has
// the size, frame count, channel count and rate the game relies on.
#include <ft2build.h>
#include <gtest/gtest.h>

#include "foundation/PlistTag.h"
#include "graphics/ImageBuffer.h"
#include "graphics/Layout.h"
#include "shell/ApplInfo.h"
#include "support/OggDecoder.h"
#include "support/RecordingDialogs.h"
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Resources() {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  return std::string(bundle ? bundle : "build/Halvane.app") + "/Contents/Resources/";
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct PngFacts {
  bool ok = false;
  png_uint_32 width = 0, height = 0;
  int colorType = -1, bitDepth = 0;
  bool colourSpaceChunk = false;
};

PngFacts ReadPng(const std::string& path) {
  PngFacts facts;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return facts;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    facts.ok = false;
    return facts;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  facts.width = png_get_image_width(png, info);
  facts.height = png_get_image_height(png, info);
  facts.colorType = png_get_color_type(png, info);
  facts.bitDepth = png_get_bit_depth(png, info);
  facts.colourSpaceChunk = png_get_valid(png, info, PNG_INFO_gAMA | PNG_INFO_sRGB | PNG_INFO_iCCP) != 0;
  row.resize(png_get_rowbytes(png, info));
  for (png_uint_32 y = 0; y < facts.height; ++y) png_read_row(png, row.data(), nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  facts.ok = true;
  return facts;
}

struct Picture {
  const char* path;
  int width, height;  // 0: any size up to 1024
};

// The sizes fixed by how the game draws or measures a picture; the rest only
// have to decode and fit the 1024 x 1024 decode buffer.
const Picture kPictures[] = {
    {"Graphics/Pixel", 1, 1},
    {"Graphics/Spark", 0, 0},
    {"Graphics/Interface/Radio Off", 32, 32},
    {"Graphics/Interface/Radio On", 32, 32},
    {"Graphics/Interface/Volume", 0, 0},
    {"ZadOR/FullScreen", 0, 0},
    {"Cursor", 64, 64},
    {"ZadOR/Fade", 0, 0},
    {"ZadOR/PressFire", 256, 40},
    {"ZadOR/StatusBar 1", 409, 51},
    {"ZadOR/StatusBar 2", 409, 51},
    {"ZadOR/Text Field", 0, 0},
    {"ZadOR/Field Hilite", 0, 0},
    {"Background", 640, 480},
    {"Graphics/Shockwave", 0, 0},
    {"Graphics/Interface/Pause", 32, 32},
    {"Graphics/Interface/Exit", 32, 32},
    {"Graphics/Boomerang", 184, 104},
    {"Graphics/Blimp", 72, 200},
    {"Title/Title", 640, 480},
    {"Title/Background", 872, 480},
    {"Main/Nebula", 800, 800},
    {"Main/Main", 640, 480},
    {"Graphics/Interface/Buttons/Play", 160, 40},
    {"Graphics/Interface/Buttons/Help", 160, 40},
    {"Graphics/Interface/Buttons/Sound", 160, 40},
    {"Graphics/Interface/Buttons/Music", 160, 40},
    {"Graphics/Interface/Buttons/Quit", 160, 40},
    {"Graphics/Interface/Buttons/Clear", 0, 0},
    {"ZadOR/HighScores", 0, 0},
    {"ZadOR/Key Border", 0, 0},
    {"ZadOR/About", 0, 0},
    {"ZadOR/About-Shadow", 0, 0},
    {"Help/Help Screen", 0, 0},
    {"Help/Help 1", 0, 0},
    {"Help/Help 2", 0, 0},
    {"Help/Help 3", 0, 0},
    {"Help/Help 4", 0, 0},
    {"Help/Next", 0, 0},
    {"Help/Prev", 0, 0},
    {"Help/Done", 0, 0},
    {"Help/Email", 0, 0},
    {"Graphics/Loading", 640, 480},
    {"Pause/PauseBox", 340, 180},
    {"Pause/Resume", 160, 40},
    {"Pause/Abort", 160, 40},
    {"ZadOR/InputScreen", 864, 192},
    {"ZadOR/OK", 0, 0},
    {"ZadOR/Cancel", 0, 0},
    {"Graphics/Meteors", 0, 0},
    {"Graphics/Sprites", 0, 0},
    {"Graphics/Enemies", 0, 0},
    {"Instructions/Topics", 480, 192},
    {"Instructions/Panel", 512, 384},
    {"Instructions/Page 1", 512, 384},
    {"Instructions/Page 2", 512, 384},
    {"Instructions/Page 3", 512, 384},
    {"Instructions/Page 4", 512, 384},
    {"Instructions/Page 5", 512, 384},
    {"Instructions/Page 6", 512, 384},
    {"Instructions/Page 7", 512, 384},
    {"Instructions/Page 8", 512, 384},
};

TEST(BundleManifest, EveryPictureIsAStraightAlphaRgbaPngOfItsSize) {
  ImageBuffer buffer(1024, 1024);  // the game's decode buffer
  for (const Picture& p : kPictures) {
    SCOPED_TRACE(p.path);
    std::string path = Resources() + p.path + ".png";
    ASSERT_EQ(buffer.LoadImage(path.c_str(), 1.0f, 1), 0);
    PngFacts f = ReadPng(path);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(buffer.contentWidth, SInt16(f.width));
    EXPECT_EQ(buffer.contentHeight, SInt16(f.height));
    EXPECT_EQ(f.colorType, PNG_COLOR_TYPE_RGBA);
    EXPECT_EQ(f.bitDepth, 8);
    EXPECT_FALSE(f.colourSpaceChunk) << "a gamma chunk would make the loader re-gamma it";
    EXPECT_LE(f.width, 1024u);
    EXPECT_LE(f.height, 1024u);
    if (p.width) {
      EXPECT_EQ(f.width, png_uint_32(p.width));
      EXPECT_EQ(f.height, png_uint_32(p.height));
    }
  }
  // The one-pixel picture fills rectangles and is tinted: opaque white.
  std::string pixel = Resources() + "Graphics/Pixel.png";
  ASSERT_EQ(buffer.LoadImage(pixel.c_str(), 1.0f, 1), 0);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(buffer.pixels[k], 255);
}

// The hilite of the field that has the keyboard is drawn over its text: it
// is a rim, clear over the band where the text stands.
TEST(BundleManifest, FieldHiliteLetsTheTextShow) {
  ImageBuffer buffer(1024, 1024);
  std::string path = Resources() + "ZadOR/Field Hilite.png";
  ASSERT_EQ(buffer.LoadImage(path.c_str(), 1.0f, 1), 0);
  const int w = buffer.contentWidth, h = buffer.contentHeight;
  ASSERT_GT(w, 16);
  ASSERT_GT(h, 16);
  int rim = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const UInt8 alpha = buffer.pixels[(size_t(y) * buffer.Width() + x) * 4 + 3];
      const bool inner = x >= 6 && x < w - 6 && y >= 6 && y < h - 6;
      if (inner)
        EXPECT_EQ(alpha, 0) << x << ", " << y;
      else if (alpha >= 200)
        ++rim;
    }
  EXPECT_GT(rim, w + h) << "the rim shows";
}

// The game's frame table from index 2 on, in registration order, and the
// sheet that covers each run of it.
struct FrameArray {
  const char* sheet;
  const char* name;
  int size0, size1;  // size1 0: one-dimensional
};

const FrameArray kFrameTable[] = {
    {"Meteors", "meteorFRAME", 36, 0},    {"Sprites", "playerShipFRAME", 2, 5},   {"Sprites", "playerFireFRAME", 2, 0},
    {"Sprites", "enemyFireFRAME", 1, 0},  {"Sprites", "playerShotFRAME", 2, 0},   {"Sprites", "enemyShotFRAME", 1, 0},
    {"Sprites", "plasmaFRAME", 3, 5},     {"Sprites", "shieldStatusFRAME", 1, 0}, {"Sprites", "pelletFRAME", 2, 0},
    {"Sprites", "bossStatusFRAME", 1, 0}, {"Sprites", "enemyShieldFRAME", 1, 0},  {"Sprites", "explosionFRAME", 1, 0},
    {"Sprites", "engineFRAME", 1, 0},     {"Sprites", "shotFRAME", 1, 0},         {"Enemies", "enemyFRAME", 5, 0},
    {"Enemies", "enemySpinFRAME", 2, 4},  {"Enemies", "enemyWingFRAME", 2, 4},    {"Enemies", "waveDisplayFRAME", 1, 0},
    {"Enemies", "doublesPowFRAME", 8, 0}, {"Enemies", "shieldPowFRAME", 16, 0},   {"Enemies", "podFRAME", 8, 0},
    {"Enemies", "numberFRAME", 10, 0},    {"Enemies", "bossDisplayFRAME", 1, 0},  {"Enemies", "bigFlameFRAME", 1, 0},
    {"Enemies", "glowFRAME", 1, 0},
};

// The entry keys the layout loader expects for an array: the head, then the
// members it generates, last index fastest.
std::vector<std::string> ExpectedKeys(const FrameArray& a) {
  std::vector<std::string> keys{a.name};
  int count = a.size1 ? a.size0 * a.size1 : a.size0;
  for (int i = 1; i < count; ++i) {
    std::string k = a.name;
    if (a.size1)
      k += "[" + std::to_string(i / a.size1) + "][" + std::to_string(i % a.size1) + "]";
    else
      k += "[" + std::to_string(i) + "]";
    keys.push_back(k);
  }
  return keys;
}

TEST(BundleManifest, LayoutsCoverTheFrameTableInOrderWithinTheirSheets) {
  // The game's table: two entries no layout fills, then kFrameTable.
  const size_t entries = 2 + std::size(kFrameTable);
  std::vector<std::vector<Frame>> blocks;
  blocks.reserve(entries);
  std::vector<Frame*> table;
  SInt16 count = 0;
  blocks.emplace_back(1);
  blocks.emplace_back(1);
  for (const FrameArray& a : kFrameTable) blocks.emplace_back(size_t(a.size1 ? a.size0 * a.size1 : a.size0));
  table.resize(entries);
  Frame** tablePtr = table.data();
  APPL.frameList = &tablePtr;
  APPL.frameCount = &count;
  const char* names[2] = {"noactionFRAME", "menuPictFRAME"};
  for (size_t i = 0; i < entries; ++i) {
    Frame& head = blocks[i][0];
    head.SetArrayName(i < 2 ? names[i] : kFrameTable[i - 2].name);
    head.List(&count, SInt8(i < 2 ? 1 : kFrameTable[i - 2].size0), SInt16(blocks[i].size()));
  }
  layoutsINITED = 0;
  InitLayouts();

  RecordingDialogs dialogs;
  const std::string folder = Resources() + "Layouts";
  for (const char* sheet : {"Meteors", "Sprites", "Enemies"}) {
    SCOPED_TRACE(sheet);
    Layout layout;
    CToPStr(sheet, layout.name);
    ASSERT_EQ(LoadLayout_PLIST(&layout, nullptr, 0, folder.c_str()), 1);
    PngFacts png = ReadPng(Resources() + "Graphics/" + sheet + ".png");
    ASSERT_TRUE(png.ok);

    SInt32 loaded = 0;
    for (size_t t = 0; t < std::size(kFrameTable); ++t) {
      const FrameArray& a = kFrameTable[t];
      if (std::string(a.sheet) != sheet) continue;
      SCOPED_TRACE(a.name);
      std::vector<std::string> keys = ExpectedKeys(a);
      for (size_t k = 0; k < keys.size(); ++k, ++loaded) {
        const Frame& f = blocks[t + 2][k];
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(f.name + 1), f.name[0]), keys[k]);
        const Rect& r = f.bounds;
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_GT(r.right, r.left);
        EXPECT_GT(r.bottom, r.top);
        EXPECT_LE(r.right, SInt16(png.width));
        EXPECT_LE(r.bottom, SInt16(png.height));
      }
    }
    EXPECT_EQ(layout.count, loaded) << "no frames beyond the run";
  }
  EXPECT_TRUE(dialogs.Reports().empty());
  APPL.frameList = nullptr;
  APPL.frameCount = nullptr;
  layoutsINITED = 0;
}

const char* const kEffects[] = {"Blip",   "Dink",  "Bounce", "Pod",   "Flip",  "Super",  "Alarm",      "Suck",
                                "Tone",   "Shot2", "Shot0",  "Shot1", "Boom0", "Boom1",  "Intro_Mono", "Metal0",
                                "Metal1", "Power", "Shield", "Spin",  "Bump",  "Engine", "Tap"};

TEST(BundleManifest, EffectsAreMono44kHzAndEndInSilence) {
  for (const char* name : kEffects) {
    SCOPED_TRACE(name);
    const DecodedOgg s = DecodeOggFile(Resources() + "Audio/" + name + ".ogg");
    ASSERT_FALSE(s.samples.empty());
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.rate, 44100);
    // The player drops the last 34 samples; those and a little more must be quiet.
    const size_t tail = 88;  // 2 ms
    ASSERT_GT(s.samples.size(), tail * 10);
    int loudest = 0;
    for (size_t i = s.samples.size() - tail; i < s.samples.size(); ++i)
      loudest = std::max(loudest, std::abs(int(s.samples[i])));
    EXPECT_LT(loudest, 300);
    int peak = 0;
    for (short v : s.samples) peak = std::max(peak, std::abs(int(v)));
    EXPECT_GT(peak, 8000) << "audible";
  }
}

TEST(BundleManifest, MusicLoopsAreStereo44kHzAndJoinWithoutAClick) {
  for (const char* name : {"Title", "Main", "Game", "Boss"}) {
    SCOPED_TRACE(name);
    const DecodedOgg s = DecodeOggFile(Resources() + "Music/" + name + ".ogg");
    ASSERT_FALSE(s.samples.empty());
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.rate, 44100);
    size_t frames = s.samples.size() / 2;
    EXPECT_GT(frames, size_t(44100 * 15));
    // The step from the last frame to the first is no bigger than the
    // loop's own steps (99.9th percentile), so the join is inaudible.
    std::vector<int> steps;
    for (size_t i = 1; i < frames; ++i) steps.push_back(std::abs(s.samples[i * 2] - s.samples[(i - 1) * 2]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
    int typical = steps[steps.size() * 999 / 1000];
    for (int c = 0; c < 2; ++c) EXPECT_LE(std::abs(s.samples[c] - s.samples[(frames - 1) * 2 + c]), typical);
  }
}

int32_t Entry(const std::vector<unsigned char>& t, int degree) {
  const unsigned char* b = &t[size_t(degree) * 4];
  return int32_t(uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]);
}

TEST(BundleManifest, TrigTablesAreBigEndianWith256AsOne) {
  std::vector<unsigned char> cosT = ReadAll(Resources() + "COS Table 360");
  std::vector<unsigned char> sinT = ReadAll(Resources() + "SIN Table 360");
  ASSERT_EQ(cosT.size(), 1440u);
  ASSERT_EQ(sinT.size(), 1440u);
  struct Case {
    int degree, cos, sin;
  } cases[] = {{0, 256, 0},  {30, 222, 128}, {45, 181, 181}, {60, 128, 222},
               {90, 0, 256}, {180, -256, 0}, {270, 0, -256}, {359, 256, -4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.degree);
    EXPECT_EQ(Entry(cosT, c.degree), c.cos);
    EXPECT_EQ(Entry(sinT, c.degree), c.sin);
  }
}

TEST(BundleManifest, FontsOpenUnderBothNamesWithTheirLicences) {
  FT_Library lib;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  for (const char* name : {"VAG Rounded BT", "Copperplate Gothic Bold"}) {
    SCOPED_TRACE(name);
    std::string base = Resources() + "Fonts/" + name;
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(lib, (base + ".ttf").c_str(), 0, &face), 0);
    EXPECT_TRUE(FT_IS_SCALABLE(face));
    EXPECT_NE(FT_Get_Char_Index(face, 'W'), 0u);
    FT_Done_Face(face);
    EXPECT_TRUE(std::filesystem::exists(base + " License.txt"));
  }
  FT_Done_FreeType(lib);
}

// Big-endian 32-bit word at p.
uint32_t Word(const unsigned char* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Finds the first atom of `type` inside [begin, end), descending into containers.
const unsigned char* FindAtom(const unsigned char* begin, const unsigned char* end, const char* type) {
  static const char* const containers[] = {"moov", "trak"};
  for (const unsigned char* p = begin; p + 8 <= end;) {
    uint32_t size = Word(p);
    if (size < 8 || p + size > end) return nullptr;
    if (std::equal(type, type + 4, p + 4)) return p;
    for (const char* c : containers)
      if (std::equal(c, c + 4, p + 4))
        if (const unsigned char* found = FindAtom(p + 8, p + size, type)) return found;
    p += size;
  }
  return nullptr;
}

TEST(BundleManifest, LogoMovieIsAQuickTimeFileOfTheLogoBox) {
  std::vector<unsigned char> mov = ReadAll(Resources() + "ZadOR/QKLogo640.mov");
  ASSERT_GT(mov.size(), 1000u);
  const unsigned char* begin = mov.data();
  const unsigned char* end = begin + mov.size();
  const unsigned char* ftyp = FindAtom(begin, end, "ftyp");
  ASSERT_NE(ftyp, nullptr);
  EXPECT_TRUE(std::equal(ftyp + 8, ftyp + 12, "qt  "));
  ASSERT_NE(FindAtom(begin, end, "mdat"), nullptr);
  const unsigned char* tkhd = FindAtom(begin, end, "tkhd");  // the first track is the picture
  ASSERT_NE(tkhd, nullptr);
  uint32_t size = Word(tkhd);
  EXPECT_EQ(Word(tkhd + size - 8) >> 16, 640u);
  EXPECT_EQ(Word(tkhd + size - 4) >> 16, 360u);
}

}  // namespace
