#include "platform/GameWindowPlatform.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <map>

#include "platform/SDLEventPlatform.h"
#include "platform/sdl/SDLWindow.h"

namespace {

void (*resizedProc)(WindowRef window);
WindowRef watchedWindow;

int WatchResize(void*, SDL_Event* e) {
  if (e->type != SDL_WINDOWEVENT || e->window.event != SDL_WINDOWEVENT_SIZE_CHANGED) return 1;
  if (resizedProc && SDLWindowOf(watchedWindow) && SDL_GetWindowID(SDLWindowOf(watchedWindow)) == e->window.windowID)
    resizedProc(watchedWindow);
  return 1;
}

bool Usable(WindowRef window) { return SDLWindowOf(window) != nullptr; }

// Under a window manager that frames its windows, hiding a window makes the
// manager take it out of its frame and destroy the frame. Moving the window
// asks the frame where it is; asked while the manager is destroying it, the
// X server answers with an error that ends the program. So hiding waits
// (briefly) until the window is back on the root window.
void WaitUntilUnframed(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  const Uint64 until = SDL_GetTicks64() + 500;
  for (;;) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, info.info.x11.window, &root, &parent, &children, &count)) return;
    if (children) XFree(children);
    if (parent == root || SDL_GetTicks64() >= until) return;
    SDL_Delay(1);
  }
}

struct WindowExtras {
  GWorldPtr port = nullptr;
  RGBColor content = {0xFFFF, 0xFFFF, 0xFFFF};
};

std::map<WindowRef, WindowExtras>& Extras() {
  static std::map<WindowRef, WindowExtras>* extras = new std::map<WindowRef, WindowExtras>;
  return *extras;
}

}  // namespace

void SetWindowContentBounds(WindowRef window, const Rect& content) {
  if (!Usable(window)) return;
  if (SDL_GetWindowFlags(SDLWindowOf(window)) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(SDLWindowOf(window), 0);
  // Without a window manager the size before full screen does not come back
  // by itself.
  SDL_SetWindowSize(SDLWindowOf(window), content.right - content.left, content.bottom - content.top);
  SDL_SetWindowPosition(SDLWindowOf(window), content.left, content.top);
}

Boolean SetWindowFullScreen(WindowRef window, Boolean on) {
  if (!Usable(window)) return false;
  if (on && (SDL_GetWindowFlags(SDLWindowOf(window)) & SDL_WINDOW_MAXIMIZED)) SDL_RestoreWindow(SDLWindowOf(window));
  return SDL_SetWindowFullscreen(SDLWindowOf(window), on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

Boolean WindowIsFullScreen(WindowRef window) {
  return Usable(window) && (SDL_GetWindowFlags(SDLWindowOf(window)) & SDL_WINDOW_FULLSCREEN) != 0;
}

Rect GetWindowContentBounds(WindowRef window) {
  int x = 0, y = 0, w = 0, h = 0;
  if (Usable(window)) {
    SDL_GetWindowPosition(SDLWindowOf(window), &x, &y);
    SDL_GetWindowSize(SDLWindowOf(window), &w, &h);
  }
  return Rect{SInt16(y), SInt16(x), SInt16(y + h), SInt16(x + w)};
}

void HideWindow(WindowRef window) {
  if (!Usable(window)) return;
  NoteWindowHiddenByProgram(window->platform);
  SDL_HideWindow(SDLWindowOf(window));
  WaitUntilUnframed(SDLWindowOf(window));
}

void MinimiseWindow(WindowRef window) {
  if (Usable(window)) SDL_MinimizeWindow(SDLWindowOf(window));
}

// Never smaller than half the game's picture, so the menus still fit.
void SetWindowResizable(WindowRef window, Boolean resizable) {
  if (!Usable(window)) return;
  SDL_SetWindowMinimumSize(SDLWindowOf(window), 320, 240);
  SDL_SetWindowResizable(SDLWindowOf(window), resizable ? SDL_TRUE : SDL_FALSE);
}

void SelectWindow(WindowRef window) {
  if (!Usable(window)) return;
  SDL_ShowWindow(SDLWindowOf(window));
  SDL_RaiseWindow(SDLWindowOf(window));
}

void SetWindowTitle(WindowRef window, const char* title) {
  if (Usable(window)) SDL_SetWindowTitle(SDLWindowOf(window), title);
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

CGrafPtr GetWindowPort(WindowRef window) {
  if (!window) return nullptr;
  WindowExtras& extras = Extras()[window];
  if (!extras.port) {
    SInt32 width = 0, height = 0;
    if (Usable(window)) GetWindowContentSize(window, &width, &height);
    const Rect bounds{0, 0, SInt16(std::clamp<SInt32>(height, 1, 0x7FFF)),
                      SInt16(std::clamp<SInt32>(width, 1, 0x7FFF))};
    if (NewGWorld(&extras.port, 32, &bounds, nullptr, nullptr, 0) != noErr) extras.port = nullptr;
  }
  return extras.port;
}

void SetWindowContentColor(WindowRef window, const RGBColor* colour) {
  if (window && colour) Extras()[window].content = *colour;
}

RGBColor GetWindowContentColor(WindowRef window) {
  auto found = Extras().find(window);
  return found == Extras().end() ? WindowExtras{}.content : found->second.content;
}

void ForgetWindowPort(WindowRef window) {
  auto found = Extras().find(window);
  if (found == Extras().end()) return;
  if (found->second.port) {
    CGrafPtr port;
    GDHandle device;
    GetGWorld(&port, &device);
    // The current port must never be left pointing at freed memory.
    if (port == found->second.port) SetGWorld(nullptr, nullptr);
    DisposeGWorld(found->second.port);
  }
  Extras().erase(found);
}
