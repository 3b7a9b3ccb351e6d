// The X connection SDL opens: Xlib's own handling of a broken connection
// calls exit(), whose handlers (SDL_Quit among them) talk to the dead server
// and never return. The program's handler takes its place.
#include "platform/sdl/XDisplayWatch.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstring>

#include "platform/DisplayLost.h"

namespace {

int OnXConnectionLost(Display*) { DisplayLost(); }

}  // namespace

void WatchXDisplayConnection() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0) XSetIOErrorHandler(OnXConnectionLost);
}
