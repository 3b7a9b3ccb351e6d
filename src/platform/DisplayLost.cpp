#include "platform/DisplayLost.h"

#include <cstdio>
#include <cstdlib>

namespace {

DisplayLostProc displayLostProc = nullptr;

}  // namespace

DisplayLostProc SetDisplayLostHandler(DisplayLostProc proc) {
  DisplayLostProc previous = displayLostProc;
  displayLostProc = proc;
  return previous;
}

void DisplayLost() {
  static bool running = false;
  std::fputs("halvane: the display went away; ending now\n", stderr);
  if (!running && displayLostProc) {
    running = true;
    displayLostProc();
  }
  std::fflush(stderr);
  std::_Exit(1);
}
