// Showing an offscreen world (16 or 32 bits a pixel) letterboxed in the game
// window: 1:1 with glDrawPixels (graphics mode 0), or as a grid of texture
// tiles of at most 256 by 256 texels with a one-texel border, and black
// margins around the picture.
#pragma once

#include "platform/GLWindow.h"
#include "platform/QuickDraw.h"

struct OpenGLContext;

// Tile texture size for a world extent: min(next power of two, 256).
SInt32 TileTextureSize(SInt32 extent);
// The number of tiles a pw by ph world needs.
SInt32 TileCount(SInt32 pw, SInt32 ph);

// A whole frame: begin, copy when the application builds into GL, the
// application's own drawing, end.
void FlushGWorldToWindowGL(GWorldPtr world, WindowRef window);
// Expects a frame begun with the world as port.
void CopyGWorldToWindowGL(GWorldPtr world, WindowRef window, OpenGLContext* context);
// glTexSubImage2D limited to the bound texture; negative x or y skip that
// many source pixels or rows. (GLenum, GLint and GLsizei spelled out, so that
// this header needs no GL header.)
void glTexSubImage2DClipped(unsigned int target, int level, int x, int y, int width, int height, unsigned int format,
                            unsigned int type, const void* pixels);
