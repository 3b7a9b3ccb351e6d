// Pixel conversions between the 16- and 32-bit direct layouts.
#pragma once

#include "platform/PlatformTypes.h"

// The 1-5-5-5 pixel of a 32-bit 0x..RRGGBB pixel: the top five bits of each
// channel, alpha dropped, bit 15 clear.
UInt16 Convert32To16(UInt32 pixel);
