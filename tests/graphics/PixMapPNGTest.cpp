// PNG files into and out of pixmaps.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/DepthConversion.h"
#include "graphics/PNGFile.h"
#include "platform/SafeSave.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

// One folder for the suite, under TMPDIR, removed when the program ends.
std::string Folder() {
  static TempFolder folder;
  return folder.Path();
}

// A 4 by 3 picture; pixel (x, y) is (10 + x, 100 + y, 200 + x + y, 255).
std::string ColourPicture() {
  const std::string path = Folder() + "/colour.png";
  std::vector<UInt8> rgba;
  for (int y = 0; y < 3; y++)
    for (int x = 0; x < 4; x++) rgba.insert(rgba.end(), {UInt8(10 + x), UInt8(100 + y), UInt8(200 + x + y), 255});
  EXPECT_EQ(SavePNG(path.c_str(), rgba.data(), 4, 3, 0, nullptr, 0), 1);
  return path;
}

struct World {
  GWorldPtr world = nullptr;
  World(SInt16 depth, Rect bounds) { EXPECT_EQ(NewGWorld(&world, depth, &bounds, nullptr, nullptr, 0), noErr); }
  ~World() { DisposeGWorld(world); }
  PixMapHandle pm() const { return GetGWorldPixMap(world); }
  // The pixel at (h, v) in the world's own coordinates, as a 32-bit value.
  UInt32 At(SInt32 h, SInt32 v) const {
    PixMap* p = *pm();
    const UInt8* line = reinterpret_cast<UInt8*>(p->baseAddr) + (v - p->bounds.top) * GetPixRowBytes(pm());
    const SInt32 col = h - p->bounds.left;
    if (p->pixelSize == 8) return line[col];
    if (p->pixelSize == 16) return reinterpret_cast<const UInt16*>(line)[col];
    return reinterpret_cast<const UInt32*>(line)[col];
  }
};

UInt32 Colour(int x, int y) { return UInt32(10 + x) << 16 | UInt32(100 + y) << 8 | UInt32(200 + x + y); }

TEST(PixMapPNG, PlaceIntoEachDepthClippedAtEveryEdge) {
  const std::string path = ColourPicture();
  struct Case {
    SInt16 depth;
    SInt16 x, y;
    bool center;
    Rect covered;
  };
  // The world spans (10, 20) to (16, 24): 6 by 4 pixels.
  const Case cases[] = {
      {32, 11, 21, false, {21, 11, 24, 15}},  // inside
      {32, 8, 19, false, {19, 8, 22, 12}},    // over the left and top edges
      {16, 14, 22, false, {22, 14, 25, 18}},  // over the right and bottom edges
      {32, 13, 22, true, {21, 11, 24, 15}},   // centred at (13, 22)
      {32, 40, 40, false, {40, 40, 43, 44}},  // entirely outside: nothing written
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.depth << " bits at " << c.x << "," << c.y);
    World world(c.depth, Rect{20, 10, 24, 16});
    imagePARAMS.center = c.center;
    Rect out = {1, 1, 1, 1};
    const Rect covered = PlacePNG_Point(path.c_str(), world.pm(), c.x, c.y, &out);
    EXPECT_EQ(imagePARAMS.center, 0);  // one placement only
    EXPECT_EQ(std::vector<SInt16>({covered.top, covered.left, covered.bottom, covered.right}),
              std::vector<SInt16>({c.covered.top, c.covered.left, c.covered.bottom, c.covered.right}));
    EXPECT_EQ(out.left, covered.left);
    for (SInt32 v = 20; v < 24; v++) {
      for (SInt32 h = 10; h < 16; h++) {
        const bool inside = h >= covered.left && h < covered.right && v >= covered.top && v < covered.bottom;
        UInt32 expected = inside ? Colour(h - covered.left, v - covered.top) : 0;
        if (c.depth == 16) expected = inside ? Convert32To16(expected) : 0;
        EXPECT_EQ(world.At(h, v), expected) << h << "," << v;
      }
    }
  }
}

TEST(PixMapPNG, PlaceIntoEightBitsWritesGreyOrIndices) {
  const std::string path = Folder() + "/indices.png";
  const UInt8 indices[3 * 2] = {1, 2, 3, 4, 5, 6};
  const png_color palette[7] = {};
  ASSERT_EQ(SavePNG(path.c_str(), indices, 3, 2, 1, palette, 7), 1);
  World world(8, Rect{0, 0, 2, 2});
  PlacePNG_Point(path.c_str(), world.pm(), -1, 0, nullptr);
  EXPECT_EQ(world.At(0, 0), 2u);
  EXPECT_EQ(world.At(1, 0), 3u);
  EXPECT_EQ(world.At(0, 1), 5u);
  EXPECT_EQ(world.At(1, 1), 6u);
}

TEST(PixMapPNG, PlaceFailures) {
  World world(32, Rect{0, 0, 2, 2});
  Rect out = {7, 7, 7, 7};
  const Rect none = PlacePNG_Point((Folder() + "/missing.png").c_str(), world.pm(), 0, 0, &out);
  EXPECT_EQ(none.right | none.bottom | none.left | none.top, 0);
  EXPECT_EQ(out.left, 7);
  RecordingDialogs dialogs;
  try {
    PlacePNG_Point(ColourPicture().c_str(), nullptr, 0, 0, nullptr);
    ADD_FAILURE() << "a null pixmap must be fatal";
  } catch (const FatalReport& report) {
    EXPECT_EQ(report.message, "The pixmap is nil.");
    EXPECT_EQ(report.detail, "PlacePNG_Point()");
  }
}

TEST(PixMapPNG, ExportNamesDepthsAndPalette) {
  FSRef folder{Folder()};
  struct Case {
    const char* name;
    const char* file;
    SInt16 depth;
    UInt8 oneByte;
  };
  const Case cases[] = {
      {"shot32", "shot32.png", 32, 0}, {"shot16.png", "shot16.png", 16, 0},  // a name holding ".png" is kept
      {"shot8", "shot8.png", 8, 0},    {"index8", "index8.png", 8, 1},
      {"wide32", "wide32.png", 32, 1},  // one-byte output only from 8 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    World world(c.depth, Rect{0, 0, 2, 3});
    CTabHandle table = (*world.pm())->pmTable;
    if (c.depth == 8) (*table)->ctTable[2].rgb = RGBColor{0x1234, 0x5678, 0x9ABC};
    PixMap* p = *world.pm();
    UInt8* second = reinterpret_cast<UInt8*>(p->baseAddr) + GetPixRowBytes(world.pm());
    if (c.depth == 32) reinterpret_cast<UInt32*>(second)[1] = 0x00C08040;
    if (c.depth == 16) reinterpret_cast<UInt16*>(second)[1] = 0x7C1F;
    if (c.depth == 8) second[1] = 2;
    const Rect area = {1, 1, 2, 3};
    ASSERT_EQ(ExportPixMapPNG(c.name, world.pm(), &area, &folder, c.oneByte, 0), 1);
    const std::string path = Folder() + "/" + c.file;
    SInt32 w, h, count = 0;
    png_color palette[256];
    const bool single = c.oneByte && c.depth == 8;
    UInt8* block = LoadPNG(path.c_str(), &w, &h, single, palette, &count);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    if (single) {
      EXPECT_EQ(block[0], 2);
      ASSERT_EQ(count, 256);
      EXPECT_EQ(palette[2].red, 0x12);
      EXPECT_EQ(palette[2].blue, 0x9A);
    } else {
      const std::vector<UInt8> expected = c.depth == 32   ? std::vector<UInt8>{0xC0, 0x80, 0x40, 255}
                                          : c.depth == 16 ? std::vector<UInt8>{255, 0, 255, 255}
                                                          : std::vector<UInt8>{2, 2, 2, 255};
      EXPECT_EQ(std::vector<UInt8>(block, block + 4), expected);
    }
    delete[] block;
    unlink(path.c_str());
  }
}

TEST(PixMapPNG, ExportToTheDesktopWhenTheFolderIsNone) {
  FSRef desktop;
  ASSERT_EQ(PlatformFindFolder(kDesktopFolderType, false, true, &desktop), noErr);
  World world(32, Rect{0, 0, 1, 1});
  FSRef notAFolder{Folder() + "/no-such-folder"};
  EXPECT_EQ(ExportPixMapPNG("halvane-export-test", world.pm(), nullptr, &notAFolder, 0, 0), 1);
  const std::string path = desktop.path + "/halvane-export-test.png";
  SInt32 w, h;
  EXPECT_EQ(GetPNGDimensions(path.c_str(), &w, &h), 0);
  unlink(path.c_str());
}

TEST(PixMapPNG, FailedSaveKeepsTheOldFile) {
  const std::string path = ColourPicture();
  const UInt8 pixel[4] = {1, 2, 3, 4};
  SetSafeSaveFailure(kSafeSaveWrite, ENOSPC);
  EXPECT_EQ(SavePNG(path.c_str(), pixel, 1, 1, 0, nullptr, 0), 0);
  SetSafeSaveFailure(kSafeSaveNoFailure, 0);
  SInt32 w, h;
  EXPECT_EQ(GetPNGDimensions(path.c_str(), &w, &h), 0);
  EXPECT_EQ(w, 4);
}

TEST(DepthConversion, Convert32To16KeepsTheTopFiveBits) {
  struct Case {
    UInt32 pixel;
    UInt16 expected;
  };
  const Case cases[] = {{0x00000000, 0},      {0xFFFFFFFF, 0x7FFF}, {0x00FF0000, 0x7C00}, {0x0000FF00, 0x03E0},
                        {0x000000FF, 0x001F}, {0x00070707, 0},      {0x00848484, 0x4210}};
  for (const Case& c : cases) EXPECT_EQ(Convert32To16(c.pixel), c.expected) << std::hex << c.pixel;
}

}  // namespace
