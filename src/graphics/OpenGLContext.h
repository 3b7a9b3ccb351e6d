// The OpenGL context that each GL window keeps in its reference constant,
// with a block of texture names for the tiled copy of offscreen pictures.
#pragma once

#include "platform/GLWindow.h"

enum { kContextTextureCount = 64 };

struct OpenGLContext {
  GLContextRef context;
  UInt32* textures;  // kContextTextureCount names
  // Tells this context from every other one made in the process, where a
  // new record may reuse the address of one deleted.
  UInt32 serial;
};

// The serial of the context drawn in now, 0 for none.
UInt32 CurrentContextSerial();

// A context for the window, made current; null on failure.
GLContextRef SetupAGL(WindowRef window);
void CleanupAGL(GLContextRef context);

// Gives the window its context record the first time; every time makes the
// context current and sets the viewport to the whole content area.
// False when the window has no record and none could be made.
Boolean QK_BuildGLForWindow(WindowRef window);
void QK_DisposeGLForWindow(WindowRef window);

// False for renderers known to be too slow for the game.
Boolean FastOpenGLRenderer();
