// Inside the SDL implementation, a window record's platform handle is its
// SDL window.
#pragma once

#include <SDL.h>

#include "platform/PlatformTypes.h"

inline SDL_Window* SDLWindowOf(PlatformWindow* handle) { return reinterpret_cast<SDL_Window*>(handle); }
inline SDL_Window* SDLWindowOf(WindowRef window) { return window ? SDLWindowOf(window->platform) : nullptr; }
inline PlatformWindow* PlatformWindowOf(SDL_Window* window) { return reinterpret_cast<PlatformWindow*>(window); }
