#include "platform/GLWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>

#include "platform/sdl/SDLWindow.h"

namespace {

// Requests a 2.1 context without a profile mask, so drivers hand out their
// compatibility profile (the drawing is fixed-function throughout).
void RequestContextAttributes(bool accelerated) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  if (accelerated) SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);
}

GLContextRef SDLCreateContext(WindowRef window) {
  if (!SDLWindowOf(window)) return nullptr;
  RequestContextAttributes(true);
  SDL_GLContext context = SDL_GL_CreateContext(SDLWindowOf(window));
  if (!context) {
    // Some servers offer no visual that claims acceleration.
    RequestContextAttributes(false);
    context = SDL_GL_CreateContext(SDLWindowOf(window));
  }
  if (!context) std::fprintf(stderr, "OpenGL context: %s\n", SDL_GetError());
  return context;
}

Boolean SDLMakeCurrent(WindowRef window, GLContextRef context) {
  return SDL_GL_MakeCurrent(SDLWindowOf(window), static_cast<SDL_GLContext>(context)) == 0;
}

void SDLDeleteContext(GLContextRef context) {
  if (context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
}

void SDLSwapBuffers(WindowRef window) {
  if (SDLWindowOf(window)) SDL_GL_SwapWindow(SDLWindowOf(window));
}

int SDLSetSwapInterval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0 ? 0 : -1; }

void SDLDrawableSize(WindowRef window, SInt32* width, SInt32* height) {
  int w = 0, h = 0;
  if (SDLWindowOf(window)) SDL_GL_GetDrawableSize(SDLWindowOf(window), &w, &h);
  *width = w;
  *height = h;
}

const GLServices sdlServices = {SDLCreateContext, SDLMakeCurrent,     SDLDeleteContext,
                                SDLSwapBuffers,   SDLSetSwapInterval, SDLDrawableSize};
const GLServices* currentServices = &sdlServices;

}  // namespace

const GLServices* GetGLServices() { return currentServices; }

const GLServices* SetGLServices(const GLServices* services) {
  const GLServices* previous = currentServices;
  currentServices = services ? services : &sdlServices;
  return previous;
}

WindowRef NewGLWindow(const char* title, SInt32 width, SInt32 height, Boolean visible) {
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "Video: %s\n", SDL_GetError());
    return nullptr;
  }
  Uint32 flags = SDL_WINDOW_OPENGL | (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
  SDL_Window* sdl = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
  if (!sdl) {
    std::fprintf(stderr, "Window: %s\n", SDL_GetError());
    return nullptr;
  }
  return new WindowRecord{PlatformWindowOf(sdl), nullptr, 0};
}

void DisposeGLWindow(WindowRef window) {
  if (!window) return;
  if (SDLWindowOf(window)) SDL_DestroyWindow(SDLWindowOf(window));
  delete window;
}

namespace {

// An X window made for OpenGL has no background of its own: when it maps,
// the server paints nothing, and until the first picture is swapped in it
// shows whatever was on the screen there before. A black background makes
// the server paint it black as it maps, the colour every picture starts from.
void PaintBlackWhenMapped(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  XSetWindowBackground(display, info.info.x11.window, BlackPixel(display, DefaultScreen(display)));
}

}  // namespace

void ShowGLWindow(WindowRef window) {
  SDL_Window* sdl = SDLWindowOf(window);
  if (!sdl) return;
  PaintBlackWhenMapped(sdl);
  SDL_ShowWindow(sdl);
}

void GetWindowContentSize(WindowRef window, SInt32* width, SInt32* height) {
  currentServices->drawableSize(window, width, height);
}
