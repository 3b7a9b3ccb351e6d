// The OpenGL controls' base and the game's push button. Each owner feeds
// its controls the pass's pointer reading through HandleInput and draws them
// once a frame; a press must begin with a click inside a control and counts
// when it is released inside.
#pragma once

#include "graphics/ImageGL.h"
#include "shell/Events.h"

class ControlGL {
 public:
  UInt8 hilite;
  UInt8 sticky;
  UInt8 pressDepth;
  UInt8 type;
  UInt8 pressRequest;
  ImageGL titleImage;
  ImageGL* titleOverride;
  Rect bounds;
  Rect hitRect;
  UInt8 enabled;
  UInt8 visible;
  SInt16 value, min, max;
  Str31 title;

  ControlGL();
  virtual ~ControlGL() = default;
  virtual void PlaySound() {}
  // The control when a press ends inside it, else null.
  virtual ControlGL* HandleInput(UserInput* input, char depth, char stickyArg);
  void Reset();
  void Press() { pressRequest = 1; }
  UInt8 Type() const { return type; }
};

extern ControlGL* pressedCONTROL;
extern ControlGL* selectedCONTROL;

class ButtonGL : public ControlGL {
 public:
  ButtonGL();
  virtual void Process() {}
  virtual void Draw();
  virtual void DrawTitle(char offset);
};

class MSButton : public ButtonGL {
 public:
  float pressScale;

  MSButton();
  // The title image alone, pushed down and right while pressed and springing
  // back as the press depth decays.
  void Draw() override;
  // Once per animation tick.
  void Animate();
};

// Forgets the press in progress (tests, and screens that close mid-press).
void ResetControlPress();
