// Colour and rectangle value types that every drawing call passes around,
// kept below the game and the drawing, which both hold them.
#pragma once

#include "platform/PlatformTypes.h"
#include "platform/RGBAColor16.h"

struct RGBColorF {
  float red, green, blue;
  RGBColorF() { Reset(); }
  void Reset() { red = green = blue = 1.0f; }
};

struct RGBAColorF {
  float red, green, blue, alpha;
  RGBAColorF() { Reset(); }
  void Reset() { red = green = blue = alpha = 1.0f; }
};

struct RGBAColor {
  UInt16 red, green, blue, alpha;
  RGBAColor() { Reset(); }
  void Reset();
};

struct RectF {
  float top, left, bottom, right;
};

// left = x, top = y, right = x + width, bottom = y + height, each kept in 16 bits.
void SetRect2(Rect* r, int x, int y, int width, int height);
