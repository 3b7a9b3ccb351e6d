// The screen between games: the main picture over the drifting background;
// fire, Return or a click starts a game (after the picture fades out),
// Escape ends the program.
#pragma once

#include "frontend/screens/ScreenGL.h"
#include "graphics/ImageGL.h"

class MainScreen : public ScreenGL {
 public:
  ImageGL picture;
  UInt8 loaded = 0;
  UInt8 starting = 0;  // fading out towards a new game

  void Open();
  void Process() override;
  void Draw() override;
};

extern MainScreen mainSCREEN;
