// The box over the frozen game while it is paused: Resume (or Escape) goes
// back to the game, Sound and Music switch effects and music on or off (a
// light beside each shows which, a volume slider beside each sets how loud),
// Abort ends the game.
#pragma once

#include "frontend/controls/ControlGL.h"
#include "frontend/screens/ScreenGL.h"

class PauseScreen final : public ScreenGL {
 public:
  enum { kResume = 0, kSound = 1, kMusic = 2, kAbort = 3, kButtons = 4 };
  ImageGL box;
  MSButton buttons[kButtons];
  UInt8 loaded = 0;  // the pictures are loaded at the first opening and kept
  float scale = 1.0f;

  void Open();
  void Process() override;
  void Draw() override;
  const char* TraceName() const override { return "pause box"; }
};

extern PauseScreen pauseSCREEN;
