#include "foundation/Colors.h"

void RGBAColor::Reset() { red = green = blue = alpha = 65535; }

void SetRect2(Rect* r, int x, int y, int width, int height) {
  r->left = SInt16(x);
  r->top = SInt16(y);
  r->right = SInt16(r->left + width);
  r->bottom = SInt16(r->top + height);
}
