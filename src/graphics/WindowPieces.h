// Drawing a picture in pieces of the window: boxes of window pixels (y up,
// as the scissor takes them), found by sorting tiles of the window into
// kinds; an image drawn only inside some boxes; and a copy of boxes of the
// window's picture kept in a texture and drawn back pixel for pixel.
#pragma once

#include <vector>

#include "graphics/OpenGLFrame.h"
#include "platform/QuickDraw.h"

class ImageGL;

// Tiles of `tile` window pixels over `area`, row by row from its bottom
// left, each of a kind: the boxes that cover the tiles of `kind`, runs of a
// row joined, and runs of the same columns in rows one above the other
// joined. The last row and column may be narrower; tiles are clipped to
// `area`.
std::vector<ScissorBox> BoxesOfKind(const std::vector<UInt8>& kinds, int columns, int rows, int tile,
                                    const ScissorBox& area, UInt8 kind);

// Draws the image into the port rectangle only inside each box in turn (one
// draw a box), and counts in imageDrawCOUNTS the area of the boxes (port
// pixels) instead of the whole rectangle's. The scissor is left on `area`.
void DrawImageInBoxes(ImageGL* image, const Rect* destination, const std::vector<ScissorBox>& boxes,
                      const ScissorBox& area);

// The window's colour, RGBA bytes, rows from the bottom up.
std::vector<UInt8> ReadWindowPixels(int width, int height);

// A copy of boxes of the window's picture.
class WindowCopy {
 public:
  WindowCopy() = default;
  ~WindowCopy();
  WindowCopy(const WindowCopy&) = delete;
  WindowCopy& operator=(const WindowCopy&) = delete;

  // Copies the boxes from the picture being drawn.
  void Take(const std::vector<ScissorBox>& boxes);
  // Draws the copied boxes back where they were, unblended, in one draw
  // (framebuffer blits were dearer on the software renderer: each one
  // waits for the drawing before it).
  void Draw() const;
  // Lets go of the texture (also when its context is gone: the name is
  // then only forgotten when `deleteTexture` is false).
  void Forget(bool deleteTexture = true);
  bool Held() const { return texture != 0; }

 private:
  UInt32 texture = 0;
  ScissorBox span{0, 0, 0, 0};  // the boxes' bounds, which the texture holds
  std::vector<ScissorBox> boxes;
};
