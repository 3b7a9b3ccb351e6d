#include "platform/WindowIcon.h"

#include "platform/sdl/SdlWindow.h"

bool SetWindowIcon(WindowRef window, const UInt8* rgba, SInt32 width, SInt32 height) {
  SDL_Window* sdl = SdlWindowOf(window);
  if (!sdl || !rgba || width <= 0 || height <= 0) return false;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<UInt8*>(rgba), width, height, 32, width * 4,
                                                         SDL_PIXELFORMAT_RGBA32);
  if (!icon) return false;
  SDL_SetWindowIcon(sdl, icon);  // the window system keeps its own copy
  SDL_FreeSurface(icon);
  return true;
}
