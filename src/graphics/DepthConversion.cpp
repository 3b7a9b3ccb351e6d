#include "graphics/DepthConversion.h"

UInt16 Convert32To16(UInt32 pixel) {
  return UInt16(((pixel >> 9) & 0x7C00) | ((pixel >> 6) & 0x03E0) | ((pixel >> 3) & 0x001F));
}
