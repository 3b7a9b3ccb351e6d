// What the controls share below their classes: the pointer test of the press
// model and the stretchable three-part skins (buttons, slider tracks, text
// fields, key borders).
#pragma once

#include "graphics/ImageGL.h"

// left <= h < right and top <= v < bottom.
bool InsideControlRect(const Rect& r, Point p);
bool EmptyControlRect(const Rect& r);
Rect OffsetControlRect(Rect r, int dh, int dv);

// All three images have a texture.
bool SkinLoaded(const ImageGL* skin);

// The left cap from r.left over leftWidth, the right cap ending at r.right
// over rightWidth, and the middle repeated middleWidth wide between them,
// the last piece squeezed to end at the right cap; every piece spans the
// rectangle's height. DrawBright when bright is set.
void DrawThreePart(ImageGL* skin, const Rect& r, int leftWidth, int middleWidth, int rightWidth, bool bright);
