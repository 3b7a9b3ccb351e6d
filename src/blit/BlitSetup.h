// The set-up every dispatcher shares: rectangles made local, checked against
// their pixel maps, clipped and oriented; start offsets, steps and row
// lengths for the kernel.
//
// Dispatchers refuse a call, silently and before anything is drawn, when a
// pixel map is missing or of another depth, when a rectangle's local edges do
// not fit in 16 bits, when the source rectangle (or the mask area) does not
// lie inside its pixel map, or when nothing is visible.
#pragma once

#include "blit/BlitModel.h"

struct BlitRequest {
  PixMapHandle src;
  PixMapHandle dst;
  PixMapHandle mask;
  const Rect* srcRect;
  const Rect* dstRect;
  const Rect* clipRect;
  const Rect* maskRect;
  UInt8 hFlip;
  UInt8 vFlip;
  char turn;
};

enum class BlitSize { Same, Scaled };

struct BlitPlan {
  Rect srcLocal;    // before trimming
  Rect srcTrimmed;  // the part that lands in the visible rectangle
  Rect dstLocal;
  Rect visible;
  int turn;  // 0-3
  SInt32 startCorner, pixDir, rowBack, rowDir;
  UInt8 xShrink, yShrink;
  SInt32 srcRowPixels, dstRowPixels, maskRowPixels;
  SInt32 srcPixStep, srcRowStep;
  SInt32 width, height;       // of the visible rectangle
  SInt32 scaleSrc, scaleDst;  // scaled blits: the vertical extents
  char* srcBase;
  char* dstBase;
  char* maskBase;
  ptrdiff_t srcStart, dstStart, maskStart;  // in pixels from the bases
};

// Fills plan for a blit of the given depth (8, 16 or 32); false refuses it.
bool PlanBlit(const BlitRequest& request, int depth, BlitSize size, BlitPlan* plan);

// The pixel of type T at an offset from a base.
template <class T>
T* PixelAt(char* base, ptrdiff_t offset) {
  return reinterpret_cast<T*>(base) + offset;
}

// Whether a local rectangle lies inside a pixel map's pixels.
bool RectInsidePixMap(const Rect& r, PixMapHandle pm, int bytesPerPixel);

// A rectangle made local to a pixel map; false when an edge leaves 16 bits.
bool MakeLocal(const Rect& r, PixMapHandle pm, Rect* local);

// Row length of a pixel map in elements of the given size.
SInt32 RowElements(PixMapHandle pm, int bytesPerElement);

// Lookup and colour folding shared by the basic and 16-bit effect
// dispatchers: a colour with a lookup table becomes the table's entry and the
// table is dropped; mode 3 becomes mode 1 (bit 4 kept) when no table
// remains. hasColor stays set for a folded colour whatever its value, so a
// 32-bit entry 0xFFFFFFFF still fills. tableEntries bounds the colour as an
// index (0: not known); false refuses a colour outside the table.
template <class T>
bool FoldColorAndLookup(SInt32* mode, SInt32* color, bool* hasColor, T** lookup, UInt32 tableEntries) {
  *hasColor = *color != -1;
  if (*lookup && *hasColor) {
    if (tableEntries && UInt32(*color) >= tableEntries) return false;
    *color = SInt32((*lookup)[UInt32(*color)]);
    *lookup = nullptr;
  }
  if (!*lookup && (*mode & kModeKeyMask) == 3) *mode = (*mode & kModeInvertMask) | 1;
  return true;
}
