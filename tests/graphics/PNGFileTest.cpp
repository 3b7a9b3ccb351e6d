// PNG decoding and pixel buffers, from fixtures that the tests write with
// libpng themselves.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/ImageBuffer.h"
#include "graphics/PNGFile.h"
#include "support/TempFolder.h"

namespace {

// One folder for the suite, under TMPDIR, removed when the program ends.
std::string TempDir() {
  static TempFolder folder;
  return folder.Path();
}

std::string PathFor(const std::string& name) { return TempDir() + "/" + name; }

struct Fixture {
  std::string name;
  int colorType;
  int bitDepth;
  bool interlaced;
  double gamma;  // 0: no gAMA chunk
};

// The picture of every fixture: 5 by 3 pixels, pixel (x, y) derived from x and
// y so that any row or column mix-up shows. For palette files the index is the
// pixel number and the palette maps it to the same colour.
void SamplePixel(int x, int y, int* r, int* g, int* b, int* a) {
  *r = 40 * x + 10;
  *g = 60 * y + 20;
  *b = 200 - 30 * x;
  *a = x == 0 ? 0 : 255 - 50 * y;
}

const int kW = 5, kH = 3;

void WriteFixture(const Fixture& f) {
  FILE* file = std::fopen(PathFor(f.name).c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, kW, kH, f.bitDepth, f.colorType, f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  std::vector<png_byte> alphas;
  if (f.colorType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < kW * kH; i++) {
      int r, g, b, a;
      SamplePixel(i % kW, i / kW, &r, &g, &b, &a);
      palette.push_back(png_color{png_byte(r), png_byte(g), png_byte(b)});
      alphas.push_back(png_byte(a));
    }
    png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
  }
  if (f.gamma > 0) png_set_gAMA(png, info, f.gamma);
  png_write_info(png, info);
  if (f.interlaced) png_set_interlace_handling(png);
  const int channels = png_get_channels(png, info), bytes = f.bitDepth / 8;
  std::vector<std::vector<png_byte>> rows(kH, std::vector<png_byte>(kW * channels * bytes));
  for (int y = 0; y < kH; y++) {
    for (int x = 0; x < kW; x++) {
      int r, g, b, a;
      SamplePixel(x, y, &r, &g, &b, &a);
      int values[4] = {r, g, b, a};
      if (f.colorType == PNG_COLOR_TYPE_GRAY || f.colorType == PNG_COLOR_TYPE_GRAY_ALPHA) values[0] = r, values[1] = a;
      if (f.colorType == PNG_COLOR_TYPE_PALETTE) values[0] = y * kW + x;
      for (int c = 0; c < channels; c++) {
        png_byte* at = &rows[y][(x * channels + c) * bytes];
        at[0] = png_byte(values[c]);
        if (bytes == 2) at[1] = 0x77;  // the low byte that stripping drops
      }
    }
  }
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

std::vector<char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

class PNGFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const Fixture fixtures[] = {
        {"rgba.png", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, 0},
        {"rgb.png", PNG_COLOR_TYPE_RGB, 8, false, 0},
        {"grey.png", PNG_COLOR_TYPE_GRAY, 8, false, 0},
        {"greyalpha.png", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 0},
        {"palette.png", PNG_COLOR_TYPE_PALETTE, 8, false, 0},
        {"rgba16.png", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 0},
        {"interlaced.png", PNG_COLOR_TYPE_RGB_ALPHA, 8, true, 0},
        {"gamma.png", PNG_COLOR_TYPE_RGB, 8, false, 1.0 / 2.2},
    };
    for (const Fixture& f : fixtures) WriteFixture(f);
    // Damaged copies of a good file, and files that are no PNG at all.
    std::vector<char> good = ReadAll(PathFor("rgba.png"));
    WriteAll(PathFor("truncated.png"), std::vector<char>(good.begin(), good.begin() + good.size() / 2));
    std::vector<char> damaged = good;
    damaged[damaged.size() - 20] ^= 0x5A;  // inside the image data: its check fails
    WriteAll(PathFor("damaged.png"), damaged);
    WriteAll(PathFor("text.png"), std::vector<char>({'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G', '\n'}));
    WriteAll(PathFor("header-only.png"), std::vector<char>(good.begin(), good.begin() + 8));
    // A header claiming a picture far beyond any buffer.
    std::vector<char> huge = good;
    huge[16] = 0x00, huge[17] = 0x10, huge[18] = 0x00, huge[19] = 0x00;  // width 1,048,576
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(&huge[12]), 17);
    for (int i = 0; i < 4; i++) huge[29 + i] = char(crc >> (24 - 8 * i));
    WriteAll(PathFor("huge.png"), huge);
  }
};

struct Expect {
  int x, y;
  int r, g, b, a;
};

int Channel(int v, int a, bool premultiply) { return premultiply ? v * a / 255 : v; }

TEST_F(PNGFiles, LoadImageDecodesEveryKind) {
  struct Case {
    const char* name;
    bool opaqueFile;  // no alpha channel and no transparency
    bool greyFile;
  };
  const Case cases[] = {
      {"rgba.png", false, false},       {"rgb.png", true, false},      {"grey.png", true, true},
      {"greyalpha.png", false, true},   {"palette.png", false, false}, {"rgba16.png", false, false},
      {"interlaced.png", false, false},
  };
  for (const Case& c : cases) {
    for (UInt8 premultiply = 0; premultiply <= 1; premultiply++) {
      SCOPED_TRACE(std::string(c.name) + (premultiply ? " premultiplied" : " straight"));
      ImageBuffer buffer(16, 8);
      std::memset(buffer.pixels, 0xEE, buffer.byteCount);
      ASSERT_EQ(buffer.LoadImage(PathFor(c.name).c_str(), 1.0f, premultiply), 0);
      EXPECT_EQ(buffer.contentWidth, kW);
      EXPECT_EQ(buffer.contentHeight, kH);
      for (int y = 0; y < buffer.Height(); y++) {
        for (int x = 0; x < buffer.Width(); x++) {
          const UInt8* p = buffer.pixels + y * buffer.rowBytes + x * 4;
          if (x >= kW || y >= kH) {
            ASSERT_EQ(p[0] | p[1] | p[2] | p[3], 0) << x << "," << y;  // cleared outside the content
            continue;
          }
          int r, g, b, a;
          SamplePixel(x, y, &r, &g, &b, &a);
          if (c.greyFile) g = b = r;
          if (c.opaqueFile) a = 255;
          const int stored = premultiply ? a : 255;
          EXPECT_EQ(p[0], Channel(r, a, premultiply)) << x << "," << y;
          EXPECT_EQ(p[1], Channel(g, a, premultiply)) << x << "," << y;
          EXPECT_EQ(p[2], Channel(b, a, premultiply)) << x << "," << y;
          EXPECT_EQ(p[3], stored) << x << "," << y;
        }
      }
    }
  }
}

TEST_F(PNGFiles, BadFilesFailAndLeaveTheBufferAlone) {
  const char* names[] = {"truncated.png", "damaged.png", "text.png", "header-only.png", "huge.png", "missing.png"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    ImageBuffer buffer(8, 8);
    buffer.pixels[5] = 77;
    buffer.contentWidth = 3;
    testing::internal::CaptureStderr();
    EXPECT_EQ(buffer.LoadImage(PathFor(name).c_str(), 0.0f, 1), -1);
    // The user learns which picture could not be shown.
    EXPECT_NE(testing::internal::GetCapturedStderr().find(PathFor(name)), std::string::npos);
    EXPECT_EQ(buffer.pixels[5], 77);
    EXPECT_EQ(buffer.contentWidth, 3);
    SInt32 w = 9, h = 9;
    EXPECT_EQ(LoadPNG(PathFor(name).c_str(), &w, &h, 0, nullptr, nullptr), nullptr);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
  }
}

TEST_F(PNGFiles, GammaDarkensTowardsAScreenOfTwo) {
  SInt32 w, h;
  UInt8* block = LoadPNG(PathFor("gamma.png").c_str(), &w, &h, 0, nullptr, nullptr);
  ASSERT_NE(block, nullptr);
  // Pixel (1, 1) is (50, 80, 170): each channel becomes 255 * (c/255)^(2.2/2.0).
  const int source[3] = {50, 80, 170};
  for (int c = 0; c < 3; c++) {
    const double expected = 255.0 * std::pow(source[c] / 255.0, 1.1);
    EXPECT_NEAR(block[(1 * w + 1) * 4 + c], expected, 1.0) << c;
  }
  EXPECT_EQ(block[(1 * w + 1) * 4 + 3], 255);
  delete[] block;
}

TEST_F(PNGFiles, GreyModeKeepsIndicesAndConvertsColour) {
  SInt32 w, h, count = 0;
  png_color palette[256];
  UInt8* indices = LoadPNG(PathFor("palette.png").c_str(), &w, &h, 1, palette, &count);
  ASSERT_NE(indices, nullptr);
  EXPECT_EQ(count, kW * kH);
  for (int i = 0; i < kW * kH; i++) EXPECT_EQ(indices[i], i);
  int r, g, b, a;
  SamplePixel(2, 1, &r, &g, &b, &a);
  EXPECT_EQ(palette[7].red, r);
  EXPECT_EQ(palette[7].green, g);
  EXPECT_EQ(palette[7].blue, b);
  delete[] indices;

  UInt8* grey = LoadPNG(PathFor("rgb.png").c_str(), &w, &h, 1, nullptr, nullptr);
  ASSERT_NE(grey, nullptr);
  SamplePixel(3, 2, &r, &g, &b, &a);
  EXPECT_NEAR(grey[2 * w + 3], 0.3 * r + 0.59 * g + 0.11 * b, 1.0);
  delete[] grey;
}

// Writes a width × height image of one sample a pixel at the given depth
// (grey or palette); samples[y * width + x] are the pixel values.
void WritePacked(const std::string& path, int width, int height, int depth, int colorType,
                 const std::vector<int>& samples) {
  FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), depth, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette(size_t(1) << depth, png_color{1, 2, 3});
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  png_write_info(png, info);
  std::vector<png_byte> row(size_t((width * depth + 7) / 8));
  for (int y = 0; y < height; y++) {
    std::fill(row.begin(), row.end(), 0);
    for (int x = 0; x < width; x++) {
      const int bit = x * depth;
      row[size_t(bit / 8)] |= png_byte(samples[size_t(y * width + x)] << (8 - depth - bit % 8));
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

TEST_F(PNGFiles, GreyModeGivesOneByteAPixelAtEveryDepth) {
  struct Case {
    int depth, colorType;
    int scale;  // what one step of a sample is worth in the result
  } cases[] = {
      {1, PNG_COLOR_TYPE_GRAY, 255},  {2, PNG_COLOR_TYPE_GRAY, 85},   {4, PNG_COLOR_TYPE_GRAY, 17},
      {1, PNG_COLOR_TYPE_PALETTE, 1}, {2, PNG_COLOR_TYPE_PALETTE, 1}, {4, PNG_COLOR_TYPE_PALETTE, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.depth) + (c.colorType == PNG_COLOR_TYPE_GRAY ? " grey" : " palette"));
    // 8 by 2: the first row alternates the highest sample and 0 (10101010 at
    // one bit), the second counts up through the samples.
    const int top = (1 << c.depth) - 1;
    std::vector<int> samples;
    for (int x = 0; x < 8; x++) samples.push_back(x % 2 == 0 ? top : 0);
    for (int x = 0; x < 8; x++) samples.push_back(x % (top + 1));
    WritePacked(PathFor("packed.png"), 8, 2, c.depth, c.colorType, samples);
    SInt32 w = 0, h = 0;
    UInt8* block = LoadPNG(PathFor("packed.png").c_str(), &w, &h, 1, nullptr, nullptr);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(w, 8);
    ASSERT_EQ(h, 2);
    for (int i = 0; i < 16; i++) EXPECT_EQ(block[i], samples[size_t(i)] * c.scale) << "pixel " << i;
    delete[] block;
  }
}

// A chunk: length, type, data and the check over type and data.
void AppendChunk(std::vector<char>* file, const char* type, const std::vector<unsigned char>& data) {
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  const uLong crc = crc32(0, body.data(), uInt(body.size()));
  const uint32_t n = uint32_t(data.size());
  for (int i = 0; i < 4; i++) file->push_back(char(n >> (24 - 8 * i)));
  file->insert(file->end(), body.begin(), body.end());
  for (int i = 0; i < 4; i++) file->push_back(char(crc >> (24 - 8 * i)));
}

// A file of a few dozen bytes whose header claims side by side pixels.
std::vector<char> ClaimingFile(uint32_t side) {
  std::vector<char> file = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
  std::vector<unsigned char> header;
  for (int k = 0; k < 2; k++)
    for (int i = 0; i < 4; i++) header.push_back((unsigned char)(side >> (24 - 8 * i)));
  header.insert(header.end(), {8, PNG_COLOR_TYPE_RGB_ALPHA, 0, 0, 0});
  AppendChunk(&file, "IHDR", header);
  std::vector<unsigned char> row(64, 0), packed(128);
  uLongf packedSize = packed.size();
  compress(packed.data(), &packedSize, row.data(), uLong(row.size()));
  packed.resize(packedSize);
  AppendChunk(&file, "IDAT", packed);
  AppendChunk(&file, "IEND", {});
  return file;
}

#if !defined(__SANITIZE_ADDRESS__)
// In a child process: 0 when the file is refused with the address space
// limited to 128 MB more than is in use (not under the address sanitizer,
// whose shadow memory needs far more).
int LoadUnderAddressLimit(const std::string& path) {
  long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  struct rlimit limit;
  limit.rlim_cur = limit.rlim_max = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(128) << 20);
  setrlimit(RLIMIT_AS, &limit);
  SInt32 w = 1, h = 1;
  UInt8* block = LoadPNG(path.c_str(), &w, &h, 0, nullptr, nullptr);
  return block == nullptr && w == 0 ? 0 : 2;
}
#endif

TEST_F(PNGFiles, AFileTooSmallForItsImageIsRefusedBeforeAnyPixelBlock) {
  std::vector<char> file = ClaimingFile(8192);
  ASSERT_LT(file.size(), 80u);
  WriteAll(PathFor("claims.png"), file);
  SInt32 w = 0, h = 0;
  ASSERT_EQ(GetPNGDimensions(PathFor("claims.png").c_str(), &w, &h), 0);
  EXPECT_EQ(w, 8192);
  // With the address space too small for the claimed 256 MB, an attempt to
  // allocate it would end in the out-of-memory report instead of a refusal.
#if !defined(__SANITIZE_ADDRESS__)
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(_exit(LoadUnderAddressLimit(PathFor("claims.png"))), testing::ExitedWithCode(0), "");
#endif
  EXPECT_EQ(LoadPNG(PathFor("claims.png").c_str(), &w, &h, 0, nullptr, nullptr), nullptr);

  // A real image that packs as tightly as deflate can still loads.
  const int side = 2048;
  std::vector<UInt8> zero(size_t(side) * side * 4, 0);
  ASSERT_EQ(SavePNG(PathFor("flat.png").c_str(), zero.data(), side, side, 0, nullptr, 0), 1);
  UInt8* flat = LoadPNG(PathFor("flat.png").c_str(), &w, &h, 0, nullptr, nullptr);
  ASSERT_NE(flat, nullptr);
  EXPECT_EQ(w, side);
  delete[] flat;
}

TEST_F(PNGFiles, HeaderAndPaletteQueries) {
  struct Case {
    const char* name;
    SInt16 result;
    SInt32 w, h, paletteCount;
  };
  const Case cases[] = {
      {"rgba.png", 0, kW, kH, 0}, {"palette.png", 0, kW, kH, kW * kH}, {"missing.png", -43, 0, 0, 0},
      {"text.png", -1, 0, 0, 0},  {"header-only.png", -1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SInt32 w = 7, h = 7, count = 7;
    png_color palette[256];
    EXPECT_EQ(GetPNGDimensions(PathFor(c.name).c_str(), &w, &h), c.result) << c.name;
    EXPECT_EQ(w, c.w) << c.name;
    EXPECT_EQ(h, c.h) << c.name;
    EXPECT_EQ(GetPNGPalette(PathFor(c.name).c_str(), palette, &count), c.result) << c.name;
    EXPECT_EQ(count, c.paletteCount) << c.name;
  }
}

TEST_F(PNGFiles, SaveAndLoadRoundTrip) {
  const UInt8 rgba[2 * 2 * 4] = {1, 2, 3, 4, 50, 60, 70, 80, 200, 100, 50, 128, 255, 255, 255, 255};
  const UInt8 bytes[3 * 2] = {0, 1, 2, 2, 1, 0};
  const png_color palette[3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  struct Case {
    const char* name;
    const UInt8* pixels;
    SInt32 w, h;
    UInt8 oneByte;
    const png_color* palette;
    int bytesPerPixel;
  };
  const Case cases[] = {
      {"save-rgba.png", rgba, 2, 2, 0, nullptr, 4},
      {"save-palette.png", bytes, 3, 2, 1, palette, 1},
      {"save-grey.png", bytes, 3, 2, 1, nullptr, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(SavePNG(PathFor(c.name).c_str(), c.pixels, c.w, c.h, c.oneByte, c.palette, 3), 1);
    SInt32 w, h, count = 0;
    png_color read[256];
    UInt8* block = LoadPNG(PathFor(c.name).c_str(), &w, &h, c.oneByte, read, &count);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
    EXPECT_EQ(std::memcmp(block, c.pixels, size_t(c.w * c.h * c.bytesPerPixel)), 0);
    EXPECT_EQ(count, c.palette ? 3 : 0);
    delete[] block;
  }
  // A premultiplied load of the RGBA file: (200, 100, 50, 128) becomes (100, 50, 25, 128).
  ImageBuffer buffer(4, 4);
  ASSERT_EQ(buffer.LoadImage(PathFor("save-rgba.png").c_str(), 0.0f, 1), 0);
  const UInt8* p = buffer.pixels + buffer.rowBytes;
  EXPECT_EQ(p[0], 100);
  EXPECT_EQ(p[1], 50);
  EXPECT_EQ(p[2], 25);
  EXPECT_EQ(p[3], 128);
}

TEST_F(PNGFiles, SaveFailureLeavesNoFile) {
  const UInt8 pixel[4] = {};
  const std::string inMissingFolder = PathFor("no-such-folder/x.png");
  EXPECT_EQ(SavePNG(inMissingFolder.c_str(), pixel, 1, 1, 0, nullptr, 0), 0);
  const std::string empty = PathFor("empty.png");
  EXPECT_EQ(SavePNG(empty.c_str(), pixel, 0, 1, 0, nullptr, 0), 0);
  EXPECT_EQ(std::fopen(empty.c_str(), "rb"), nullptr);
}

TEST_F(PNGFiles, ContentIsCutToTheBufferAndAPixelLessBufferIsAllocated) {
  ImageBuffer small(3, 2);
  ASSERT_EQ(small.LoadImage(PathFor("rgba.png").c_str(), 0.0f, 0), 0);
  EXPECT_EQ(small.contentWidth, 3);
  EXPECT_EQ(small.contentHeight, 2);
  int r, g, b, a;
  SamplePixel(2, 1, &r, &g, &b, &a);
  EXPECT_EQ(small.pixels[small.rowBytes + 2 * 4], r);

  ImageBuffer none;
  ASSERT_EQ(none.LoadImage(PathFor("rgba.png").c_str(), 0.0f, 0), 0);
  EXPECT_EQ(none.Width(), 8);
  EXPECT_EQ(none.Height(), 4);
  EXPECT_EQ(none.contentWidth, kW);
  EXPECT_EQ(none.contentHeight, kH);
}

TEST(ImageBuffer, SizesAndPixelLessReturns) {
  ImageBuffer buffer(100, 50);
  EXPECT_EQ(buffer.byteCount, 100u * 50u * 4u);
  EXPECT_EQ(buffer.RowBytes(), 400);
  buffer.Init(ImageBuffer::kMaxWidth + 1, 1);  // its row bytes would not fit 16 bits
  EXPECT_EQ(buffer.pixels, nullptr);
  EXPECT_EQ(buffer.Width(), 0);
  const Rect r = {0, 0, 1, 1};
  EXPECT_EQ(buffer.Clear(), -1);
  EXPECT_EQ(buffer.Black(), -1);
  EXPECT_EQ(buffer.White(), -1);
  EXPECT_EQ(buffer.PaintRect(&r), -1);
  EXPECT_EQ(buffer.FrameRect(&r), -1);
  EXPECT_EQ(buffer.Dispose(), -1);
  buffer.Init(2, 1);
  EXPECT_EQ(buffer.White(), 0);
  EXPECT_EQ(buffer.pixels[0] & buffer.pixels[3] & buffer.pixels[7], 255);
  EXPECT_EQ(buffer.Black(), 0);
  EXPECT_EQ(buffer.pixels[0] | buffer.pixels[4], 0);
  EXPECT_EQ(buffer.pixels[7], 255);
  EXPECT_EQ(buffer.Dispose(), 0);
}

// Draws into a 6 by 5 buffer and returns one character a pixel: '#' painted, '.' not.
std::string Drawn(bool frame, Rect r) {
  ImageBuffer buffer(6, 5);
  buffer.color.red = 0.5f;
  buffer.color.green = 1.0f;
  buffer.color.blue = 0.0f;
  buffer.color.alpha = 1.0f;
  EXPECT_EQ(frame ? buffer.FrameRect(&r) : buffer.PaintRect(&r), 0);
  std::string out;
  for (int i = 0; i < 30; i++) {
    const UInt8* p = buffer.pixels + i * 4;
    if (p[3] != 0) {
      EXPECT_TRUE(p[0] == 127 && p[1] == 255 && p[2] == 0);
    }
    out += p[3] ? '#' : '.';
    if (i % 6 == 5) out += '/';
  }
  return out;
}

TEST(ImageBuffer, PaintAndFrameAreClipped) {
  struct Case {
    bool frame;
    Rect r;
    const char* expected;
  };
  const Case cases[] = {
      {false, {1, 1, 3, 4}, "....../.###../.###../....../....../"},
      {true, {0, 0, 4, 5}, "#####./#...#./#...#./#####./....../"},
      {false, {-3, 4, 2, 99}, "....##/....##/....../....../....../"},
      {true, {3, -2, 9, 3}, "....../....../....../###.../..#.../"},
      {true, {2, 2, 2, 5}, "....../....../....../....../....../"},  // empty: nothing
      {true, {1, 1, 2, 3}, "....../.##.../....../....../....../"},  // one row high
  };
  for (const Case& c : cases) EXPECT_EQ(Drawn(c.frame, c.r), c.expected) << c.r.top << "," << c.r.left;
}

}  // namespace
