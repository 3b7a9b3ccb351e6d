#include "graphics/PNGFile.h"

#include <cstdio>
#include <new>

#include "blit/BlitCore.h"

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
  r->file = std::fopen(path, "rb");
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

// Decodes the image into r->block; false on any libpng failure.
bool ReadImage(PNGRead* r, UInt8 grey, size_t* stride) {
  if (setjmp(png_jmpbuf(r->png))) return false;
  SetTransforms(r, grey);
  png_read_update_info(r->png, r->info);
  const size_t w = png_get_image_width(r->png, r->info), h = png_get_image_height(r->png, r->info);
  *stride = w * (grey ? 1 : 4);
  // Packed grey rows are shorter than the stride; nothing is ever longer.
  if (png_get_rowbytes(r->png, r->info) > *stride) return false;
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

UInt8* LoadPNG(const char* path, SInt32* width, SInt32* height, UInt8 grey, png_color* palette,
               SInt32* paletteCount) {
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
  FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_bytep* rows = nullptr;
};

bool WriteImage(PNGWrite* w, const UInt8* pixels, SInt32 width, SInt32 height, UInt8 oneByte,
                const png_color* palette, SInt32 paletteCount) {
  if (setjmp(png_jmpbuf(w->png))) return false;
  png_init_io(w->png, w->file);
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

int SavePNG(const char* path, const UInt8* pixels, SInt32 width, SInt32 height, UInt8 oneByte,
            const png_color* palette, SInt32 paletteCount) {
  if (!pixels || width < 1 || height < 1) return 0;
  PNGWrite w;
  w.file = std::fopen(path, "wb");
  if (!w.file) return 0;
  bool ok = false;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PNGError, PNGWarning);
  if (w.png) w.info = png_create_info_struct(w.png);
  if (w.info) ok = WriteImage(&w, pixels, width, height, oneByte, palette, paletteCount);
  if (w.png) png_destroy_write_struct(&w.png, w.info ? &w.info : nullptr);
  delete[] w.rows;
  if (std::fclose(w.file) != 0) ok = false;
  if (!ok) std::remove(path);
  return ok ? 1 : 0;
}
