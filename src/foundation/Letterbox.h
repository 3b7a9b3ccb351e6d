// Where a picture of pw by ph pixels lands in a window of ww by wh: scaled by
// the smaller of the two ratios and centred. The drawing places the picture
// with it and the pointer maps onto the picture with it, so both agree on
// every window size. Single precision, as the picture itself is placed.
#pragma once

#include "platform/PlatformTypes.h"

// Scale and margins.
struct Letterbox {
  float s, mx, my;
};
Letterbox ComputeLetterbox(SInt32 pw, SInt32 ph, SInt32 ww, SInt32 wh);

// The window pixels the picture touches: its margins rounded down, its far
// edges rounded up.
Rect LetterboxRect(SInt32 pw, SInt32 ph, SInt32 ww, SInt32 wh);
