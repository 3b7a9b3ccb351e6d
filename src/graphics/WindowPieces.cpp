#include "graphics/WindowPieces.h"

#include <GL/gl.h>

#include <algorithm>
#include <map>
#include <utility>

#include "graphics/ImageGL.h"

namespace {
SInt32 Width(const Rect& r) { return r.right - r.left; }
SInt32 Height(const Rect& r) { return r.bottom - r.top; }

// Window pixels a port pixel, across.
double PortScale() {
  const ScissorBox whole = PortScissorBox(glDrawVars.portRect, glDrawVars.portRect, glDrawVars.windRect);
  return Width(glDrawVars.portRect) > 0 ? double(whole.width) / Width(glDrawVars.portRect) : 1.0;
}
}  // namespace

std::vector<ScissorBox> BoxesOfKind(const std::vector<UInt8>& kinds, int columns, int rows, int tile,
                                    const ScissorBox& area, UInt8 kind) {
  std::vector<ScissorBox> done;
  // Boxes still growing upwards, by the columns they span.
  std::map<std::pair<int, int>, ScissorBox> open;
  for (int row = 0; row < rows; ++row) {
    const SInt32 y = area.y + row * tile, h = std::min<SInt32>(tile, area.y + area.height - y);
    std::map<std::pair<int, int>, ScissorBox> next;
    for (int c = 0; c < columns;) {
      if (kinds[size_t(row) * size_t(columns) + size_t(c)] != kind) {
        ++c;
        continue;
      }
      int end = c;
      while (end < columns && kinds[size_t(row) * size_t(columns) + size_t(end)] == kind) ++end;
      const SInt32 x = area.x + c * tile, right = std::min<SInt32>(area.x + end * tile, area.x + area.width);
      auto below = open.find({c, end});
      if (below != open.end()) {
        ScissorBox grown = below->second;
        grown.height += h;
        next[{c, end}] = grown;
        open.erase(below);
      } else {
        next[{c, end}] = ScissorBox{x, y, right - x, h};
      }
      c = end;
    }
    for (auto& left : open) done.push_back(left.second);
    open = std::move(next);
  }
  for (auto& left : open) done.push_back(left.second);
  return done;
}

void DrawImageInBoxes(ImageGL* image, const Rect* destination, const std::vector<ScissorBox>& boxes,
                      const ScissorBox& area) {
  const double s = PortScale();
  for (const ScissorBox& b : boxes) {
    glScissor(b.x, b.y, b.width, b.height);
    const ImageDrawCounts before = imageDrawCOUNTS;
    image->Draw(destination);
    const double shown = double(b.width) * b.height / (s * s);
    const bool blended = imageDrawCOUNTS.blended != before.blended;
    imageDrawCOUNTS.filled = before.filled + shown;
    imageDrawCOUNTS.blended = before.blended + (blended ? shown : 0.0);
  }
  glScissor(area.x, area.y, area.width, area.height);
}

std::vector<UInt8> ReadWindowPixels(int width, int height) {
  std::vector<UInt8> pixels(size_t(width) * size_t(height) * 4);
  if (pixels.empty()) return pixels;
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

WindowCopy::~WindowCopy() { Forget(false); }

void WindowCopy::Take(const std::vector<ScissorBox>& taken) {
  Forget();
  boxes = taken;
  if (boxes.empty()) return;
  SInt32 left = boxes[0].x, bottom = boxes[0].y, right = left, top = bottom;
  for (const ScissorBox& b : boxes) {
    left = std::min(left, b.x);
    bottom = std::min(bottom, b.y);
    right = std::max(right, b.x + b.width);
    top = std::max(top, b.y + b.height);
  }
  span = ScissorBox{left, bottom, right - left, top - bottom};
  glGenTextures(1, &texture);
  glBindTexture_fast(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, span.width, span.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  for (const ScissorBox& b : boxes)
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, b.x - span.x, b.y - span.y, b.x, b.y, b.width, b.height);
}

void WindowCopy::Draw() const {
  if (!texture || boxes.empty()) return;
  const double s = PortScale();
  imageDrawCOUNTS.draws++;
  imageDrawCOUNTS.quads += UInt32(boxes.size());
  for (const ScissorBox& b : boxes) imageDrawCOUNTS.filled += double(b.width) * b.height / (s * s);
  std::vector<GLfloat> vertices, coords;
  const float tw = float(span.width), th = float(span.height);
  for (const ScissorBox& b : boxes) {
    const float x[2] = {float(b.x), float(b.x + b.width)}, y[2] = {float(b.y), float(b.y + b.height)};
    const int corners[6][2] = {{0, 0}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {1, 1}};
    for (const auto& c : corners) {
      vertices.push_back(x[c[0]]);
      vertices.push_back(y[c[1]]);
      vertices.push_back(0.0f);
      coords.push_back((x[c[0]] - float(span.x)) / tw);
      coords.push_back((y[c[1]] - float(span.y)) / th);
    }
  }
  // Window pixels, y up: each texel lands on the pixel it was copied from.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, Width(glDrawVars.windRect), 0, Height(glDrawVars.windRect), -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glBindTexture_fast(GL_TEXTURE_2D, texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glVertexPointer(3, GL_FLOAT, 0, vertices.data());
  glTexCoordPointer(2, GL_FLOAT, 0, coords.data());
  glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices.size() / 3));
  glDisable(GL_TEXTURE_2D);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void WindowCopy::Forget(bool deleteTexture) {
  if (texture && deleteTexture) glDeleteTextures_fast(1, &texture);
  texture = 0;
  boxes.clear();
}
