// Text rendered with FreeType into an ImageBuffer as premultiplied coverage
// in the buffer's colour, then uploaded like any image.
#pragma once

#include "platform/PlatformTypes.h"

// FreeType's handles, declared as its headers declare them, so that this
// header needs none of them.
typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

class ImageBuffer;

extern FT_Library fontLibrary;

int InitFreeType();
// The face of a font file (face `index` of a collection), with its first
// charmap selected; null on failure.
FT_Face LoadFont(const char* path, long index = 0);
// The advance width of the text in whole pixels (rounded up); -1 for a null
// face or size 0.
int DrawTextWidth(const char* text, FT_Face face, float size);
// Renders the text with its baseline y pixels below the buffer's top,
// starting (align 0), ending (2) or centred (anything else) at x.
// 0, or -1 null buffer, -2 no pixels, -3 null face.
int DrawText(ImageBuffer* buffer, const char* text, FT_Face face, float size, float x, float y, char align);

// Blends coverage v of the text colour rgb into the RGBA pixel.
void BlendCoverage(UInt8* pixel, const UInt8* rgb, UInt32 v);
