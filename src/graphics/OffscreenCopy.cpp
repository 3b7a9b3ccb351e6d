#include "graphics/OffscreenCopy.h"

#include <GL/gl.h>

#include <algorithm>

#include "graphics/OpenGLContext.h"
#include "graphics/OpenGLFrame.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"

namespace {

enum { kMaxTile = 256 };

// What the copy needs of a world.
struct WorldPixels {
  const UInt8* base;
  SInt32 rowBytes, bytesPerPixel, pw, ph;
  GLenum type, internal;
};

WorldPixels DescribeWorld(GWorldPtr world) {
  PixMapHandle pm = GetGWorldPixMap(world);
  bool sixteen = (*pm)->pixelSize == 16;
  Rect bounds;
  GetPortBounds(world, &bounds);
  return WorldPixels{reinterpret_cast<const UInt8*>(GetPixBaseAddr(pm)),
                     GetPixRowBytes(pm),
                     sixteen ? 2 : 4,
                     bounds.right - bounds.left,
                     bounds.bottom - bounds.top,
                     GLenum(sixteen ? GL_UNSIGNED_SHORT_1_5_5_5_REV : GL_UNSIGNED_INT_8_8_8_8_REV),
                     GLenum(sixteen ? GL_RGB5 : GL_RGBA8)};
}

// A transform in window pixels, y down.
void WindowPixelTransform(SInt32 ww, SInt32 wh) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glScalef(2.0f / float(ww), -2.0f / float(wh), 1.0f);
  glTranslatef(-float(ww) / 2.0f, -float(wh) / 2.0f, 0.0f);
}

void PortTransform(SInt32 pw, SInt32 ph, SInt32 ww, SInt32 wh) {
  Letterbox box = ComputeLetterbox(pw, ph, ww, wh);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glScalef(2.0f / (float(pw) + 2.0f * box.mx / box.s), -2.0f / (float(ph) + 2.0f * box.my / box.s), 1.0f);
  glTranslatef(float(-(pw / 2)), float(-(ph / 2)), 0.0f);
}

// Draws the world 1:1 at the window's top-left corner, one pixel in where
// the window is larger, and repeats its edge pixels into that border.
void DrawOneToOne(const WorldPixels& w, SInt32 ww, SInt32 wh) {
  SInt32 rx = ww > w.pw ? 1 : 0, ry = wh > w.ph ? 1 : 0;
  WindowPixelTransform(ww, wh);
  glRasterPos2i(rx, ry);
  glPixelZoom(1.0f, -1.0f);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, w.rowBytes / w.bytesPerPixel);
  glDrawPixels(w.pw, w.ph, GL_BGRA, w.type, w.base);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelZoom(1.0f, 1.0f);
  // Frame-buffer rows count from the bottom.
  SInt32 bottom = wh - ry - w.ph;
  if (rx) {
    glRasterPos2i(0, ry + w.ph);
    glCopyPixels(rx, bottom, 1, w.ph, GL_COLOR);
    glRasterPos2i(rx + w.pw, ry + w.ph);
    glCopyPixels(rx + w.pw - 1, bottom, 1, w.ph, GL_COLOR);
  }
  if (ry) {
    glRasterPos2i(rx, ry);
    glCopyPixels(rx, wh - ry - 1, w.pw, 1, GL_COLOR);
    glRasterPos2i(rx, ry + w.ph + 1);
    glCopyPixels(rx, bottom, w.pw, 1, GL_COLOR);
  }
}

// One tile along one axis: the first source pixel, the count of source
// pixels, the texel that receives the first, and the texel that holds the
// tile's own first world pixel.
struct TileSpan {
  SInt32 source, count, offset, first;
};

TileSpan Span(SInt32 x, SInt32 extent, SInt32 tw) {
  SInt32 source = x == 0 ? 0 : x - 1;
  SInt32 count = std::min(tw, extent - source);
  bool last = x == (extent / (tw - 2)) * (tw - 2);
  SInt32 offset = last ? tw - count : 0;
  return TileSpan{source, count, offset, offset + (x - source)};
}

void DrawTileQuad(SInt32 x, SInt32 y, SInt32 tw, SInt32 th, float s0, float t0, float s1, float t1) {
  float x1 = float(x + tw - 2), y1 = float(y + th - 2);
  glBegin(GL_QUADS);
  glTexCoord2f(s0, t0);
  glVertex2f(float(x), float(y));
  glTexCoord2f(s1, t0);
  glVertex2f(x1, float(y));
  glTexCoord2f(s1, t1);
  glVertex2f(x1, y1);
  glTexCoord2f(s0, t1);
  glVertex2f(float(x), y1);
  glEnd();
}

void PrepareTile(UInt32 name, const WorldPixels& w, SInt32 tw, SInt32 th) {
  glBindTexture(GL_TEXTURE_2D, name);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, w.internal, tw, th, 0, GL_BGRA, w.type, nullptr);
}

void UploadTiles(const WorldPixels& w, const UInt32* names, SInt32 tw, SInt32 th) {
  glPixelStorei(GL_UNPACK_ROW_LENGTH, w.rowBytes / w.bytesPerPixel);
  SInt32 lastX = (w.pw / (tw - 2)) * (tw - 2), lastY = (w.ph / (th - 2)) * (th - 2), n = 0;
  for (SInt32 y = 0; y <= lastY; y += th - 2) {
    for (SInt32 x = 0; x <= lastX; x += tw - 2) {
      TileSpan sx = Span(x, w.pw, tw), sy = Span(y, w.ph, th);
      PrepareTile(names[n++], w, tw, th);
      const UInt8* from = w.base + sy.source * w.rowBytes + sx.source * w.bytesPerPixel;
      glTexSubImage2DClipped(GL_TEXTURE_2D, 0, sx.offset, sy.offset, sx.count, sy.count, GL_BGRA, w.type, from);
      DrawTileQuad(x, y, tw, th, float(sx.first) / float(tw), float(sy.first) / float(th),
                   float(sx.first + tw - 2) / float(tw), float(sy.first + th - 2) / float(th));
    }
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

// Tiles read back from the 1:1 picture, last first, so that the picture's
// top-left part that later tiles read is not yet covered.
void CopyTilesFromFrame(const WorldPixels& w, const UInt32* names, SInt32 tw, SInt32 th, SInt32 ww, SInt32 wh) {
  SInt32 rx = ww > w.pw ? 1 : 0, ry = wh > w.ph ? 1 : 0;
  SInt32 lastX = (w.pw / (tw - 2)) * (tw - 2), lastY = (w.ph / (th - 2)) * (th - 2);
  SInt32 across = lastX / (tw - 2) + 1;
  for (SInt32 y = lastY; y >= 0; y -= th - 2) {
    for (SInt32 x = lastX; x >= 0; x -= tw - 2) {
      TileSpan sx = Span(x, w.pw, tw), sy = Span(y, w.ph, th);
      PrepareTile(names[(y / (th - 2)) * across + x / (tw - 2)], w, tw, th);
      // Frame-buffer rows run upwards: the tile lands upside down.
      SInt32 fbY = wh - ry - (sy.source + sy.count);
      glCopyTexSubImage2D(GL_TEXTURE_2D, 0, sx.offset, th - sy.offset - sy.count, rx + sx.source, fbY, sx.count,
                          sy.count);
      DrawTileQuad(x, y, tw, th, float(sx.first) / float(tw), 1.0f - float(sy.first) / float(th),
                   float(sx.first + tw - 2) / float(tw), 1.0f - float(sy.first + th - 2) / float(th));
    }
  }
}

void BlackMargins(SInt32 pw, SInt32 ph, SInt32 ww, SInt32 wh) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
  const float q[4][4] = {{float(-ww), float(-wh), 0.5f, float(wh)},
                         {0.0f, float(-wh), float(pw), 0.5f},
                         {float(pw) - 0.5f, float(-wh), float(ww), float(wh)},
                         {0.0f, float(ph) - 0.5f, float(pw), float(wh)}};
  glBegin(GL_QUADS);
  for (const auto& r : q) {
    glVertex2f(r[0], r[1]);
    glVertex2f(r[2], r[1]);
    glVertex2f(r[2], r[3]);
    glVertex2f(r[0], r[3]);
  }
  glEnd();
  glPopAttrib();
}

}  // namespace

SInt32 TileTextureSize(SInt32 extent) {
  SInt32 size = 1;
  while (size < extent && size < kMaxTile) size <<= 1;
  return size;
}

SInt32 TileCount(SInt32 pw, SInt32 ph) {
  SInt32 tw = TileTextureSize(pw), th = TileTextureSize(ph);
  if (tw < 3 || th < 3) return 0;
  return (pw / (tw - 2) + 1) * (ph / (th - 2) + 1);
}

void FlushGWorldToWindowGL(GWorldPtr world, WindowRef window) {
  OpenGLBeginDraw(world);
  if (APPL.buildToGL && window) CopyGWorldToWindowGL(world, window, static_cast<OpenGLContext*>(GetWRefCon(window)));
  APPL.CustomGLDraw();
  OpenGLEndDraw();
}

void CopyGWorldToWindowGL(GWorldPtr world, WindowRef window, OpenGLContext* context) {
  if (!world || !window || !context) return;
  WorldPixels w = DescribeWorld(world);
  SInt32 ww, wh;
  GetWindowContentSize(window, &ww, &wh);
  if (w.pw <= 0 || w.ph <= 0 || ww <= 0 || wh <= 0 || !w.base) return;
  bool copyMode = !mainPREFS.graphicsMode;
  SInt32 tw = TileTextureSize(w.pw), th = TileTextureSize(w.ph);
  // Worlds under 3 pixels or needing more tiles than the window has names
  // are shown 1:1 only.
  SInt32 tiles = TileCount(w.pw, w.ph);
  bool tileable = tiles > 0 && tiles <= kContextTextureCount;
  if (!tileable) copyMode = true;
  glDisable(GL_SCISSOR_TEST);
  if (copyMode) DrawOneToOne(w, ww, wh);
  PortTransform(w.pw, w.ph, ww, wh);
  bool sameSize = w.pw == ww && w.ph == wh;
  if (tileable && (!copyMode || !sameSize)) {
    glEnable(GL_TEXTURE_2D);
    if (copyMode)
      CopyTilesFromFrame(w, context->textures, tw, th, ww, wh);
    else
      UploadTiles(w, context->textures, tw, th);
    glDisable(GL_TEXTURE_2D);
  }
  BlackMargins(w.pw, w.ph, ww, wh);
  glEnable(GL_SCISSOR_TEST);
  glRasterPos2i(0, w.ph);
  glPixelZoom(1.0f, 1.0f);
}

void glTexSubImage2DClipped(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                            GLenum type, const void* pixels) {
  GLint tw = 0, th = 0, rowLength = 0;
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &tw);
  glGetTexLevelParameteriv(target, level, GL_TEXTURE_HEIGHT, &th);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  if (x >= tw || y >= th) return;
  const GLint bytes = type == GL_UNSIGNED_SHORT_1_5_5_5_REV ? 2 : 4;
  const UInt8* p = static_cast<const UInt8*>(pixels);
  GLint stride = (rowLength ? rowLength : width) * bytes;
  if (x < 0) {
    p -= x * bytes;
    width += x;
    x = 0;
  }
  if (y < 0) {
    p -= y * stride;
    height += y;
    y = 0;
  }
  width = std::min(width, tw - x);
  height = std::min(height, th - y);
  if (width <= 0 || height <= 0) return;
  glTexSubImage2D(target, level, x, y, width, height, format, type, p);
}
