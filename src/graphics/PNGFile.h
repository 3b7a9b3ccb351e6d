// PNG files: decoding into pixel blocks, header and palette queries, writing.
#pragma once

#include "platform/PlatformFiles.h"
#include "platform/QuickDraw.h"

// libpng's palette entry (three bytes: red, green, blue), declared as png.h
// declares it so that this header needs no libpng header.
struct png_color_struct;
typedef struct png_color_struct png_color;

// Files whose sides exceed this are refused rather than decoded.
enum { kMaxPNGSide = 8192 };

// Decodes a PNG file. Colour mode (grey 0): width × height × 4 bytes RGBA,
// rows top to bottom; a file without alpha comes out opaque. Grey mode:
// width × height bytes, one a pixel (palette files keep their indices; grey
// levels of 1, 2 or 4 bits are scaled to 0..255). Null when the file cannot
// be opened, is not a PNG, is damaged or too large, is too small to hold the
// image its header claims, or memory runs out; width and height are then 0.
// The block is the caller's (delete[]).
// With a palette buffer (256 entries), a PNG palette is copied into it.
UInt8* LoadPNG(const char* path, SInt32* width, SInt32* height, UInt8 grey, png_color* palette, SInt32* paletteCount);

// 0 with the size; -43 when the file cannot be opened; -1 when it is not a
// PNG or cannot be read.
SInt16 GetPNGDimensions(const char* path, SInt32* width, SInt32* height);
// 0 with the palette copied (count entries of 3 bytes) when the file has one.
SInt16 GetPNGPalette(const char* path, png_color* palette, SInt32* count);

// Writes 4-byte RGBA data, or one-byte data as palette indices (with a
// palette) or grey. 1 on success; 0 on failure, leaving no file behind.
int SavePNG(const char* path, const UInt8* pixels, SInt32 width, SInt32 height, UInt8 oneByte, const png_color* palette,
            SInt32 paletteCount);

// One-shot settings of the next PlacePNG_Point.
struct ImageParams {
  UInt8 flag;
  UInt8 center;  // place the picture's centre, not its top-left corner, at the point
  SInt16 h, v;
  ImageParams() { Reset(); }
  void Reset();
};
extern ImageParams imagePARAMS;

// Copies the decoded file into the pixmap (8, 16 or 32 bits a pixel) with its
// top-left corner (or centre) at (x, y), clipped to the pixmap's bounds.
// Returns the rectangle covered, also stored in out when given; (0, 0, 0, 0)
// when the file cannot be decoded. A null pixmap is a fatal error.
Rect PlacePNG_Point(const char* path, PixMapHandle pm, SInt16 x, SInt16 y, Rect* out);

// Saves the area (the whole pixmap when null) as "<name>.png" (".png" kept
// when the name holds it) in the folder, or on the Desktop when the folder is
// no folder. One-byte output (palette or grey) only from 8-bit pixmaps.
// SavePNG's result; 0 when memory runs out.
int ExportPixMapPNG(const char* name, PixMapHandle pm, const Rect* area, const FSRef* folder, UInt8 oneByte,
                    UInt8 grey);
