// The box over the frozen game while it is paused: Resume (or Escape) goes
// back to the game, Abort ends it.
#pragma once

#include "frontend/controls/ControlGL.h"
#include "frontend/screens/ScreenGL.h"

class PauseScreen : public ScreenGL {
 public:
  enum { kResume = 0, kAbort = 1 };
  ImageGL box;
  MSButton buttons[2];
  UInt8 loaded = 0;
  float scale = 1.0f;

  void Open();
  void Process() override;
  void Draw() override;
};

extern PauseScreen pauseSCREEN;
