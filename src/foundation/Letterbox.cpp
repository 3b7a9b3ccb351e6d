#include "foundation/Letterbox.h"

#include <algorithm>
#include <cmath>

Letterbox ComputeLetterbox(SInt32 pw, SInt32 ph, SInt32 ww, SInt32 wh) {
  float fpw = float(pw), fph = float(ph), fww = float(ww), fwh = float(wh);
  float s = std::min(fww / fpw, fwh / fph);
  return Letterbox{s, (fww - fpw * s) / 2.0f, (fwh - fph * s) / 2.0f};
}

Rect LetterboxRect(SInt32 pw, SInt32 ph, SInt32 ww, SInt32 wh) {
  Letterbox box = ComputeLetterbox(pw, ph, ww, wh);
  float right = box.mx + float(pw) * box.s, bottom = box.my + float(ph) * box.s;
  return Rect{SInt16(std::floor(box.my)), SInt16(std::floor(box.mx)), SInt16(std::ceil(bottom)),
              SInt16(std::ceil(right))};
}
