// Conversions between the pixel formats of the drawing records.
#pragma once

#include "platform/PlatformTypes.h"

// The 32-bit pixel 0x00RRGGBB of a 1-5-5-5 pixel: each 5-bit channel c
// becomes (c << 3) | (c >> 2).
UInt32 Convert16To32(UInt16 pixel);
