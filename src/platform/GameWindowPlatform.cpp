#include "platform/GameWindowPlatform.h"

#include <SDL.h>

namespace {

void (*resizedProc)(WindowRef window);
WindowRef watchedWindow;

int WatchResize(void*, SDL_Event* e) {
  if (e->type != SDL_WINDOWEVENT || e->window.event != SDL_WINDOWEVENT_SIZE_CHANGED) return 1;
  if (resizedProc && watchedWindow && watchedWindow->sdl &&
      SDL_GetWindowID(watchedWindow->sdl) == e->window.windowID)
    resizedProc(watchedWindow);
  return 1;
}

bool Usable(WindowRef window) { return window && window->sdl; }

}  // namespace

void SetWindowContentBounds(WindowRef window, const Rect& content) {
  if (!Usable(window)) return;
  if (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window->sdl, 0);
  // Without a window manager the size before full screen does not come back
  // by itself.
  SDL_SetWindowSize(window->sdl, content.right - content.left, content.bottom - content.top);
  SDL_SetWindowPosition(window->sdl, content.left, content.top);
}

Boolean SetWindowFullScreen(WindowRef window, Boolean on) {
  if (!Usable(window)) return false;
  if (on && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED)) SDL_RestoreWindow(window->sdl);
  return SDL_SetWindowFullscreen(window->sdl, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

Boolean WindowIsFullScreen(WindowRef window) {
  return Usable(window) && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN) != 0;
}

Rect GetWindowContentBounds(WindowRef window) {
  int x = 0, y = 0, w = 0, h = 0;
  if (Usable(window)) {
    SDL_GetWindowPosition(window->sdl, &x, &y);
    SDL_GetWindowSize(window->sdl, &w, &h);
  }
  return Rect{SInt16(y), SInt16(x), SInt16(y + h), SInt16(x + w)};
}

void HideWindow(WindowRef window) {
  if (Usable(window)) SDL_HideWindow(window->sdl);
}

void SetWindowTitle(WindowRef window, const char* title) {
  if (Usable(window)) SDL_SetWindowTitle(window->sdl, title);
}

void SetWindowResizedProc(WindowRef window, void (*proc)(WindowRef window)) {
  if (!window) proc = nullptr;
  if (!resizedProc && proc) SDL_AddEventWatch(WatchResize, nullptr);
  if (resizedProc && !proc) SDL_DelEventWatch(WatchResize, nullptr);
  resizedProc = proc;
  watchedWindow = proc ? window : nullptr;
}

void PumpWindowEvents() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_PumpEvents();
}
