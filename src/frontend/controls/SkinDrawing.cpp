#include "frontend/controls/SkinDrawing.h"

bool SkinLoaded(const ImageGL* skin) {
  return skin && skin[0].texture != 0 && skin[1].texture != 0 && skin[2].texture != 0;
}

void DrawThreePart(ImageGL* skin, const Rect& r, int leftWidth, int middleWidth, int rightWidth, bool bright) {
  auto draw = [bright](ImageGL& image, int left, int top, int width, int height) {
    Rect piece;
    SetRect2(&piece, left, top, width, height);
    if (bright)
      image.DrawBright(&piece);
    else
      image.Draw(&piece);
  };
  const int height = r.bottom - r.top;
  const int leftEnd = r.left + leftWidth, rightStart = r.right - rightWidth;
  draw(skin[0], r.left, r.top, leftWidth, height);
  int x = leftEnd;
  if (middleWidth > 0) {
    for (; x + middleWidth < rightStart; x += middleWidth) draw(skin[1], x, r.top, middleWidth, height);
  }
  draw(skin[1], x, r.top, rightStart - x, height);
  draw(skin[2], rightStart, r.top, rightWidth, height);
}
