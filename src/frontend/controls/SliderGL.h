// The horizontal value slider, and the game's one use of it: the two audio
// sliders (effects and music volume) drawn as a row of eight lamps beside the
// Sound and Music buttons of the main and pause screens.
#pragma once

#include "frontend/controls/ControlGL.h"

class SliderGL : public ControlGL {
 public:
  ALSound* slideSound;  // may hold no sound
  Rect knobRect;        // brought up to date by every draw

  SliderGL();
  virtual void Process() {}
  virtual void Draw();
  virtual void DrawTitle() {}
  // The slider while it is dragged and on the pass its press ends inside it,
  // else null. The value follows the pointer's horizontal position.
  virtual ControlGL* HandleInput(UserInput* input);
  using ControlGL::HandleInput;

 protected:
  void UpdateKnob(const ImageGL& knob);
};

class AudioSlider : public SliderGL {
 public:
  // Eight lamps, lit up to the value; no track, no knob.
  void Draw(float scale);
  using SliderGL::Draw;
};

enum { kEffectsSlider = 0, kMusicSlider = 1 };
extern AudioSlider audioSLIDER[2];

// Lays the sliders out beside the two buttons and takes their values from
// the audio preferences.
void SetupAudioSliders(ButtonGL* soundButton, ButtonGL* musicButton, float scale);
// Feeds both sliders the pass's input and writes changed volumes back.
void HandleAudioSliders(UserInput* input);

// Volume 0..255 as a slider value 0..8, and back.
SInt16 VolumeToSliderValue(SInt16 volume);
SInt16 SliderValueToVolume(SInt16 value);

void ResetSliderPress();
