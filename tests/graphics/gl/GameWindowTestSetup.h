// What every game-window test under a display starts from: a 640 by 480
// game in a window, with no size or full screen chosen yet.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/GameWindow.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"
#include "support/DisplayCheck.h"

// False, after failing the test under CI or skipping it elsewhere, when no
// display can be opened.
inline bool PrepareGameWindowTest() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    const char* why = display && *display ? SDL_GetError() : "DISPLAY is not set";
    ReportNoDisplay(std::string("no display: ") + why);
    return false;
  }
  APPL.SetName("Halvane test", "");
  APPL.gameWindow = 1;
  APPL.buildDepth = 16;
  APPL.gameWidth = 640;
  APPL.gameHeight = 480;
  mainPREFS.fullScreen = false;
  windSIZE = Point{0, 0};
  fullScreenMode = fullScreenTried = 0;
  return true;
}
