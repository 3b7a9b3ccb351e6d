#include "blit/BlitCore.h"

#include <cstring>

void BlockMove(const void* source, void* destination, SInt32 count) {
  if (count > 0) std::memmove(destination, source, size_t(count));
}

UInt32 Convert16To32(UInt16 pixel) {
  const UInt32 r = (pixel >> 10) & 0x1F, g = (pixel >> 5) & 0x1F, b = pixel & 0x1F;
  return (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
}
