// The title picture, the program's first screen: fire, Return, Escape or a
// click fades it out into the main screen.
#pragma once

#include "frontend/screens/ScreenGL.h"
#include "graphics/ImageGL.h"

class TitleScreen : public ScreenGL {
 public:
  ImageGL picture;
  UInt8 loaded = 0;
  UInt8 leaving = 0;  // fading out towards the main screen

  void Open();
  void Process() override;
  void Draw() override;
};

extern TitleScreen titleSCREEN;
