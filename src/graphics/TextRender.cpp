#include "graphics/TextRender.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "foundation/ErrorDialog.h"
#include "foundation/TextEncodings.h"
#include "graphics/ImageBuffer.h"
#include "platform/PlatformFiles.h"

FT_Library fontLibrary = nullptr;

int InitFreeType() {
  FT_Error error = FT_Init_FreeType(&fontLibrary);
  if (error != 0) {
    ErrorDialog("The font library could not be started.", SInt16(error), 0, 0);
    std::exit(error);
  }
  return 0;
}

namespace {

// The font file's bytes, which the face reads from and frees when done.
void FreeFontBytes(void* face) { delete[] static_cast<FT_Byte*>(static_cast<FT_Face>(face)->generic.data); }

}  // namespace

// The file is read through the program's own opener, which never waits on a
// named pipe or a device in its place, and the face is made from its bytes.
FT_Face LoadFont(const char* path, long index) {
  if (!fontLibrary && FT_Init_FreeType(&fontLibrary) != 0) {
    fontLibrary = nullptr;
    return nullptr;
  }
  FILE* file = path ? OpenRegularFileForReading(path) : nullptr;
  if (!file) return nullptr;
  std::vector<FT_Byte> read;
  FT_Byte chunk[65536];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) read.insert(read.end(), chunk, chunk + n);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed || read.empty()) return nullptr;
  auto* bytes = new FT_Byte[read.size()];
  std::copy(read.begin(), read.end(), bytes);
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(fontLibrary, bytes, FT_Long(read.size()), index, &face) != 0) {
    delete[] bytes;
    return nullptr;
  }
  face->generic.data = bytes;
  face->generic.finalizer = FreeFontBytes;
  if (face->charmaps && face->num_charmaps > 0 && face->charmaps[0] &&
      FT_Select_Charmap(face, face->charmaps[0]->encoding) != 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

namespace {

// The Unicode character of one byte of the engine's 8-bit text.
FT_ULong CharCode(unsigned char byte) {
  if (byte < 0x80) return byte;
  const unsigned char text[2] = {1, byte};
  HFSUniStr255 unicode;
  ConvertPStrToUnicode(text, unicode);
  return unicode.unicode[0];
}

// Loads and renders the glyph of one text byte at the pen. False when the
// glyph cannot be loaded: the byte is then neither drawn nor advanced over.
bool RenderGlyph(FT_Face face, unsigned char byte, FT_Vector* pen, bool* wasBitmap) {
  FT_Matrix identity = {0x10000, 0, 0, 0x10000};
  FT_Set_Transform(face, &identity, pen);
  FT_UInt index = FT_Get_Char_Index(face, CharCode(byte));
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP) != 0) return false;
  *wasBitmap = face->glyph->format == FT_GLYPH_FORMAT_BITMAP;
  return FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
}

void Advance(FT_Face face, FT_Vector* pen) {
  pen->x += face->glyph->advance.x;
  pen->y += face->glyph->advance.y;
}

UInt32 Coverage(const FT_Bitmap& bitmap, SInt32 row, SInt32 col) {
  const unsigned char* line = bitmap.buffer + row * bitmap.pitch;
  if (bitmap.num_grays != 0) return line[col];
  return (line[col / 8] >> (7 - col % 8)) & 1 ? 255 : 0;
}

void BlitGlyph(ImageBuffer* buffer, const FT_Bitmap& bitmap, SInt32 left, SInt32 top, const UInt8* rgb, float alpha) {
  const SInt32 W = buffer->Width(), H = buffer->Height();
  for (SInt32 r = 0; r < SInt32(bitmap.rows); r++) {
    const SInt32 row = H - top + r;
    if (row < 0 || row >= H) continue;
    for (SInt32 c = 0; c < SInt32(bitmap.width); c++) {
      const SInt32 col = left + c;
      if (col < 0 || col >= W) continue;
      const UInt32 v = UInt32(float(Coverage(bitmap, r, c)) * (255.0f * alpha) / 255.0f);
      BlendCoverage(buffer->pixels + size_t(row) * buffer->rowBytes + size_t(col) * 4, rgb, v);
    }
  }
}

}  // namespace

void BlendCoverage(UInt8* pixel, const UInt8* rgb, UInt32 v) {
  if (v > 255) v = 255;
  for (int c = 0; c < 3; c++) pixel[c] = UInt8((rgb[c] * v + pixel[c] * (255 - v)) / 255);
  pixel[3] = UInt8(pixel[3] + (255 - pixel[3]) * v / 255);
}

int DrawTextWidth(const char* text, FT_Face face, float size) {
  if (!face || size == 0.0f) return -1;
  FT_Set_Char_Size(face, FT_F26Dot6(size * 64.0f), 0, 0, 0);
  FT_Vector pen = {0, 0};
  bool wasBitmap;
  for (const char* p = text; *p; p++)
    if (RenderGlyph(face, static_cast<unsigned char>(*p), &pen, &wasBitmap)) Advance(face, &pen);
  return int((pen.x + 63) >> 6);
}

int DrawText(ImageBuffer* buffer, const char* text, FT_Face face, float size, float x, float y, char align) {
  if (!buffer) return -1;
  if (!buffer->pixels) return -2;
  if (!face) return -3;
  if (align != 0) {
    const int width = DrawTextWidth(text, face, size);
    x -= align == 2 ? float(width) : float(width / 2);
  }
  FT_Set_Char_Size(face, FT_F26Dot6(size * 64.0f), 0, 0, 0);
  const SInt32 H = buffer->Height();
  FT_Vector pen = {FT_Pos(x * 64.0f), FT_Pos((float(H) - y) * 64.0f)};
  const UInt8 rgb[3] = {ColorByte(buffer->color.red), ColorByte(buffer->color.green), ColorByte(buffer->color.blue)};
  for (const char* p = text; *p; p++) {
    bool wasBitmap = false;
    if (!RenderGlyph(face, static_cast<unsigned char>(*p), &pen, &wasBitmap)) continue;
    FT_GlyphSlot slot = face->glyph;
    if (!wasBitmap) {
      BlitGlyph(buffer, slot->bitmap, slot->bitmap_left, slot->bitmap_top, rgb, buffer->color.alpha);
    } else {
      // Bitmap glyphs do not include the pen.
      FT_Glyph glyph;
      if (FT_Get_Glyph(slot, &glyph) == 0) {
        FT_BitmapGlyph bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(glyph);
        BlitGlyph(buffer, bitmapGlyph->bitmap, SInt32(pen.x / 64), SInt32(pen.y / 64) + bitmapGlyph->top, rgb,
                  buffer->color.alpha);
        FT_Done_Glyph(glyph);
      }
    }
    Advance(face, &pen);
  }
  return 0;
}
