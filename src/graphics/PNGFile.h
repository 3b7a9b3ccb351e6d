// PNG files: decoding into pixel blocks, header and palette queries, writing.
#pragma once

#include <png.h>

#include "platform/PlatformTypes.h"

// Files whose sides exceed this are refused rather than decoded.
enum { kMaxPNGSide = 8192 };

// Decodes a PNG file. Colour mode (grey 0): width × height × 4 bytes RGBA,
// rows top to bottom; a file without alpha comes out opaque. Grey mode:
// width × height bytes (palette files keep their indices). Null when the file
// cannot be opened, is not a PNG, is damaged or too large, or memory runs out;
// width and height are then 0. The block is the caller's (delete[]).
// With a palette buffer (256 entries), a PNG palette is copied into it.
UInt8* LoadPNG(const char* path, SInt32* width, SInt32* height, UInt8 grey, png_color* palette,
               SInt32* paletteCount);

// 0 with the size; -43 when the file cannot be opened; -1 when it is not a
// PNG or cannot be read.
SInt16 GetPNGDimensions(const char* path, SInt32* width, SInt32* height);
// 0 with the palette copied (count entries of 3 bytes) when the file has one.
SInt16 GetPNGPalette(const char* path, png_color* palette, SInt32* count);

// Writes 4-byte RGBA data, or one-byte data as palette indices (with a
// palette) or grey. 1 on success; 0 on failure, leaving no file behind.
int SavePNG(const char* path, const UInt8* pixels, SInt32 width, SInt32 height, UInt8 oneByte,
            const png_color* palette, SInt32 paletteCount);
