// Windows that are drawn with OpenGL, and their contexts.
// The engine never calls SDL directly for these: it goes through GLServices,
// which the program fills with the SDL implementation and tests may replace
// (for example with a context creator that fails).
#pragma once

#include "platform/PlatformTypes.h"

// An OpenGL context; opaque to the engine.
typedef void* GLContextRef;

struct GLServices {
  // A legacy (compatibility) context with double buffering, RGBA 8 bits a
  // channel and a 16-bit depth buffer, made current on the window; null on
  // failure.
  GLContextRef (*createContext)(WindowPtr window);
  // Makes the context current on the window; a null context makes none current.
  Boolean (*makeCurrent)(WindowPtr window, GLContextRef context);
  void (*deleteContext)(GLContextRef context);
  void (*swapBuffers)(WindowPtr window);
  // 0 on success, -1 when the interval cannot be set.
  int (*setSwapInterval)(int interval);
  // The drawable size in pixels (0 by 0 for a null window).
  void (*drawableSize)(WindowPtr window, SInt32* width, SInt32* height);
};

// The services in use; the SDL ones unless replaced.
const GLServices* GetGLServices();
// Installs services; null restores the SDL ones. Returns the previous ones.
const GLServices* SetGLServices(const GLServices* services);

// Opens a window of the given content size that OpenGL can draw into,
// centred on the main screen; null when the video system or the window
// cannot be opened. A hidden window stays hidden until ShowGLWindow.
WindowPtr NewGLWindow(const char* title, SInt32 width, SInt32 height, Boolean visible);
void DisposeGLWindow(WindowPtr window);
void ShowGLWindow(WindowPtr window);

inline void* GetWRefCon(WindowPtr window) { return window->refCon; }
inline void SetWRefCon(WindowPtr window, void* refCon) { window->refCon = refCon; }

// The window's content size in pixels, as the drawable holds them.
void GetWindowContentSize(WindowPtr window, SInt32* width, SInt32* height);
