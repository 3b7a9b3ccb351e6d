// Pixel and memory primitives of the software blitter that the engine uses.
#pragma once

#include "platform/PlatformTypes.h"

// Copies count bytes (the blocks may overlap); does nothing unless count > 0.
void BlockMove(const void* source, void* destination, SInt32 count);

// The 32-bit pixel 0x00RRGGBB of a 1-5-5-5 pixel: each 5-bit channel c
// becomes (c << 3) | (c >> 2).
UInt32 Convert16To32(UInt16 pixel);
