#include "graphics/PNGFile.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "graphics/DepthConversion.h"
#include "platform/PixelConversion.h"
#include "platform/SafeSave.h"

namespace {

// Every libpng failure ends in the jump buffer of the call in progress.
void PNGError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PNGWarning(png_structp, png_const_charp) {}

// What a read holds; released in one place whether it succeeds or not.
struct PNGRead {
  FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_infop end = nullptr;
  png_bytep* rows = nullptr;
  UInt8* block = nullptr;
};

void ReleaseRead(PNGRead* r) {
  if (r->png) png_destroy_read_struct(&r->png, r->info ? &r->info : nullptr, r->end ? &r->end : nullptr);
  delete[] r->rows;
  delete[] r->block;
  if (r->file) std::fclose(r->file);
  *r = PNGRead();
}

// Opens the file and checks the signature: 0, -43 or -1.
SInt16 OpenPNG(const char* path, PNGRead* r) {
  r->file = OpenRegularFileForReading(path);
  if (!r->file) return fnfErr;
  png_byte signature[8];
  if (std::fread(signature, 1, 8, r->file) != 8 || png_sig_cmp(signature, 0, 8) != 0) return -1;
  r->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PNGError, PNGWarning);
  if (!r->png) return -1;
  r->info = png_create_info_struct(r->png);
  r->end = png_create_info_struct(r->png);
  if (!r->info || !r->end) return -1;
  return 0;
}

// Reads up to the header; false on any libpng failure.
bool ReadHeader(PNGRead* r) {
  if (setjmp(png_jmpbuf(r->png))) return false;
  png_init_io(r->png, r->file);
  png_set_sig_bytes(r->png, 8);
  png_set_user_limits(r->png, kMaxPNGSide, kMaxPNGSide);
  png_read_info(r->png, r->info);
  return true;
}

void SetTransforms(PNGRead* r, UInt8 grey) {
  png_structp png = r->png;
  const int colorType = png_get_color_type(png, r->info);
  png_set_strip_16(png);
  if (grey) {
    // One byte a pixel: grey levels scaled up to 0..255, palette indices
    // unpacked as they are.
    if (colorType == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
    png_set_packing(png);
    if (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA)
      png_set_rgb_to_gray(png, 1, 0.3, 0.59);
    png_set_strip_alpha(png);
  } else {
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    // Opaque where the file has no alpha.
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  }
  double fileGamma;
  if (png_get_gAMA(png, r->info, &fileGamma)) png_set_gamma(png, 2.0, fileGamma);
  png_set_interlace_handling(png);
}

// Deflate packs at most about 1032 bytes into one, so a file smaller than
// its rows' bytes over that cannot hold its image: it is refused before any
// pixel block is allocated for it.
constexpr UInt64 kMaxDeflateRatio = 1032;

bool FileCanHoldImage(PNGRead* r) {
  const long at = std::ftell(r->file);
  if (at < 0 || std::fseek(r->file, 0, SEEK_END) != 0) return true;  // nothing to judge by
  const long end = std::ftell(r->file);
  if (std::fseek(r->file, at, SEEK_SET) != 0) return false;
  const UInt64 rows = png_get_image_height(r->png, r->info);
  const UInt64 packed = UInt64(png_get_rowbytes(r->png, r->info)) * rows;
  return end < 0 || UInt64(end) * kMaxDeflateRatio >= packed;
}

// Decodes the image into r->block; false on any libpng failure.
bool ReadImage(PNGRead* r, UInt8 grey, size_t* stride) {
  if (setjmp(png_jmpbuf(r->png))) return false;
  if (!FileCanHoldImage(r)) return false;
  SetTransforms(r, grey);
  png_read_update_info(r->png, r->info);
  const size_t w = png_get_image_width(r->png, r->info), h = png_get_image_height(r->png, r->info);
  *stride = w * (grey ? 1 : 4);
  if (png_get_rowbytes(r->png, r->info) != *stride) return false;
  r->block = new (std::nothrow) UInt8[*stride * h]();
  r->rows = new (std::nothrow) png_bytep[h];
  if (!r->block || !r->rows) return false;
  for (size_t y = 0; y < h; y++) r->rows[y] = r->block + y * *stride;
  png_read_image(r->png, r->rows);
  png_read_end(r->png, r->end);
  return true;
}

SInt32 CopyPalette(PNGRead* r, png_color* palette) {
  png_colorp entries;
  int count = 0;
  if (!png_get_PLTE(r->png, r->info, &entries, &count)) return 0;
  BlockMove(entries, palette, count * SInt32(sizeof(png_color)));
  return count;
}

}  // namespace

UInt8* LoadPNG(const char* path, SInt32* width, SInt32* height, UInt8 grey, png_color* palette, SInt32* paletteCount) {
  *width = *height = 0;
  PNGRead r;
  size_t stride = 0;
  if (OpenPNG(path, &r) != 0 || !ReadHeader(&r) || !ReadImage(&r, grey, &stride)) {
    ReleaseRead(&r);
    return nullptr;
  }
  if (palette) {
    SInt32 count = CopyPalette(&r, palette);
    if (paletteCount) *paletteCount = count;
  }
  *width = SInt32(png_get_image_width(r.png, r.info));
  *height = SInt32(png_get_image_height(r.png, r.info));
  UInt8* block = r.block;
  r.block = nullptr;
  ReleaseRead(&r);
  return block;
}

SInt16 GetPNGDimensions(const char* path, SInt32* width, SInt32* height) {
  *width = *height = 0;
  PNGRead r;
  SInt16 result = OpenPNG(path, &r);
  if (result == 0 && !ReadHeader(&r)) result = -1;
  if (result == 0) {
    *width = SInt32(png_get_image_width(r.png, r.info));
    *height = SInt32(png_get_image_height(r.png, r.info));
  }
  ReleaseRead(&r);
  return result;
}

SInt16 GetPNGPalette(const char* path, png_color* palette, SInt32* count) {
  *count = 0;
  PNGRead r;
  SInt16 result = OpenPNG(path, &r);
  if (result == 0 && !ReadHeader(&r)) result = -1;
  if (result == 0) *count = CopyPalette(&r, palette);
  ReleaseRead(&r);
  return result;
}

namespace {

struct PNGWrite {
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_bytep* rows = nullptr;
  std::vector<UInt8> bytes;
};

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  std::vector<UInt8>* bytes = static_cast<std::vector<UInt8>*>(png_get_io_ptr(png));
  bytes->insert(bytes->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// Encodes the image into w->bytes; false on any libpng failure.
bool EncodeImage(PNGWrite* w, const UInt8* pixels, SInt32 width, SInt32 height, UInt8 oneByte, const png_color* palette,
                 SInt32 paletteCount) {
  if (setjmp(png_jmpbuf(w->png))) return false;
  png_set_write_fn(w->png, &w->bytes, AppendBytes, FlushNothing);
  png_set_compression_level(w->png, 9);
  png_set_compression_mem_level(w->png, 8);
  png_set_compression_strategy(w->png, 0);
  png_set_compression_window_bits(w->png, 15);
  png_set_compression_method(w->png, 8);
  const int colorType = !oneByte ? PNG_COLOR_TYPE_RGB_ALPHA : palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_GRAY;
  png_set_IHDR(w->png, w->info, png_uint_32(width), png_uint_32(height), 8, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (oneByte && palette) png_set_PLTE(w->png, w->info, palette, paletteCount);
  png_write_info(w->png, w->info);
  png_write_flush(w->png);
  const size_t stride = size_t(width) * (oneByte ? 1 : 4);
  w->rows = new png_bytep[size_t(height)];
  for (SInt32 y = 0; y < height; y++) w->rows[y] = const_cast<UInt8*>(pixels) + size_t(y) * stride;
  png_write_image(w->png, w->rows);
  png_write_end(w->png, w->info);
  return true;
}

}  // namespace

int SavePNG(const char* path, const UInt8* pixels, SInt32 width, SInt32 height, UInt8 oneByte, const png_color* palette,
            SInt32 paletteCount) {
  if (!pixels || width < 1 || height < 1) return 0;
  PNGWrite w;
  bool ok = false;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PNGError, PNGWarning);
  if (w.png) w.info = png_create_info_struct(w.png);
  if (w.info) ok = EncodeImage(&w, pixels, width, height, oneByte, palette, paletteCount);
  if (w.png) png_destroy_write_struct(&w.png, w.info ? &w.info : nullptr);
  delete[] w.rows;
  // Written whole or not at all: a failed save leaves any old file as it was.
  return ok && SafeSaveFile(path, w.bytes.data(), SInt64(w.bytes.size())) == noErr ? 1 : 0;
}

ImageParams imagePARAMS;

void ImageParams::Reset() {
  flag = 1;
  center = 0;
  h = v = 0;
}

namespace {

// Writes PNG pixel (row, col) of the block into the pixmap at (pmRow, pmCol).
void PlacePixel(PixMap* p, const UInt8* block, SInt32 w, SInt32 row, SInt32 col, SInt32 pmRow, SInt32 pmCol) {
  UInt8* line = reinterpret_cast<UInt8*>(p->baseAddr) + pmRow * SInt32(p->rowBytes & 0x7FFF);
  if (p->pixelSize == 8) {
    line[pmCol] = block[row * w + col];
    return;
  }
  const UInt8* rgba = block + (size_t(row) * w + col) * 4;
  const UInt32 rgb = (UInt32(rgba[0]) << 16) | (UInt32(rgba[1]) << 8) | rgba[2];
  if (p->pixelSize == 16)
    reinterpret_cast<UInt16*>(line)[pmCol] = Convert32To16(rgb);
  else
    reinterpret_cast<UInt32*>(line)[pmCol] = rgb;
}

}  // namespace

Rect PlacePNG_Point(const char* path, PixMapHandle pm, SInt16 x, SInt16 y, Rect* out) {
  if (!pm || !*pm) {
    ErrorDialog("The pixmap is nil.", "PlacePNG_Point()", 0, 1);
    return Rect{0, 0, 0, 0};
  }
  const bool center = imagePARAMS.center;
  imagePARAMS.Reset();
  PixMap* p = *pm;
  SInt32 w, h, count = 0;
  png_color palette[256];
  UInt8* block = LoadPNG(path, &w, &h, p->pixelSize <= 8, p->pixelSize <= 8 ? nullptr : palette, &count);
  if (!block) return Rect{0, 0, 0, 0};
  SInt32 left = x, top = y;
  if (center) {
    left -= w / 2;
    top -= h / 2;
  }
  // Pixels of other depths than 8, 16 and 32 bits have no byte layout to write.
  const bool writable = p->pixelSize == 8 || p->pixelSize == 16 || p->pixelSize == 32;
  const Rect& b = p->bounds;
  for (SInt32 row = 0; writable && row < h; row++) {
    const SInt32 ty = top + row;
    if (ty < b.top || ty >= b.bottom) continue;
    for (SInt32 col = 0; col < w; col++) {
      const SInt32 tx = left + col;
      if (tx >= b.left && tx < b.right) PlacePixel(p, block, w, row, col, ty - b.top, tx - b.left);
    }
  }
  delete[] block;
  const Rect covered = {SInt16(top), SInt16(left), SInt16(top + h), SInt16(left + w)};
  if (out) *out = covered;
  return covered;
}

namespace {

// The folder's path when it names a folder, else the Desktop's.
std::string ExportFolder(const FSRef* folder) {
  FSCatalogInfo info;
  if (folder && !folder->path.empty() && PlatformGetCatalogInfo(*folder, true, &info) == noErr &&
      (info.nodeFlags & kCatalogNodeIsFolder))
    return folder->path;
  FSRef desktop;
  PlatformFindFolder(kDesktopFolderType, false, false, &desktop);
  return desktop.path;
}

// Pixel (row, col) of the pixmap as R, G, B, A bytes, or as one byte.
void ExportPixel(const PixMap* p, SInt32 row, SInt32 col, bool oneByte, UInt8* to) {
  const UInt8* line = reinterpret_cast<const UInt8*>(p->baseAddr) + row * SInt32(p->rowBytes & 0x7FFF);
  UInt32 rgb;
  if (p->pixelSize == 32) {
    rgb = reinterpret_cast<const UInt32*>(line)[col];
  } else if (p->pixelSize == 16) {
    rgb = Convert16To32(reinterpret_cast<const UInt16*>(line)[col]);
  } else if (p->pixelSize == 8) {
    const UInt8 index = line[col];
    if (oneByte) {
      to[0] = index;
      return;
    }
    rgb = (UInt32(index) << 16) | (UInt32(index) << 8) | index;
  } else {
    return;  // left zero
  }
  to[0] = UInt8(rgb >> 16);
  to[1] = UInt8(rgb >> 8);
  to[2] = UInt8(rgb);
  to[3] = 255;
}

}  // namespace

int ExportPixMapPNG(const char* name, PixMapHandle pm, const Rect* area, const FSRef* folder, UInt8 oneByte,
                    UInt8 grey) {
  if (!pm || !*pm) return 0;
  const PixMap* p = *pm;
  const Rect& b = p->bounds;
  const Rect wanted = area ? *area : b;
  const Rect r = {std::max(wanted.top, b.top), std::max(wanted.left, b.left), std::min(wanted.bottom, b.bottom),
                  std::min(wanted.right, b.right)};
  const SInt32 w = r.right - r.left, h = r.bottom - r.top;
  if (w < 1 || h < 1) return 0;
  const bool single = oneByte && p->pixelSize <= 8;
  const size_t bytesPerPixel = single ? 1 : 4;
  UInt8* block = new (std::nothrow) UInt8[size_t(w) * size_t(h) * bytesPerPixel]();
  if (!block) return 0;
  for (SInt32 row = 0; row < h; row++)
    for (SInt32 col = 0; col < w; col++)
      ExportPixel(p, r.top - b.top + row, r.left - b.left + col, single,
                  block + (size_t(row) * w + col) * bytesPerPixel);
  png_color palette[256];
  SInt32 count = 0;
  if (single && !grey && p->pmTable && *p->pmTable) {
    const ColorTable* table = *p->pmTable;
    count = std::min<SInt32>(table->ctSize + 1, 256);
    for (SInt32 i = 0; i < count; i++) {
      const RGBColor& c = table->ctTable[i].rgb;
      palette[i] = png_color{png_byte(c.red >> 8), png_byte(c.green >> 8), png_byte(c.blue >> 8)};
    }
  }
  std::string path = ExportFolder(folder) + "/" + name;
  if (std::string(name).find(".png") == std::string::npos) path += ".png";
  const int result = SavePNG(path.c_str(), block, w, h, single, count > 0 ? palette : nullptr, count);
  delete[] block;
  return result;
}
