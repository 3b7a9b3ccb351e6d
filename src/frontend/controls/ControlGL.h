// The OpenGL controls: the base with its press model, the push buttons, the
// check box and the radio button, and the look they share (mainGUI). There
// is no control list: each owner feeds its controls the pass's pointer
// reading through HandleInput in a fixed order, acts on the control returned,
// and draws them once a frame. A press must begin with a click inside a
// control and counts when it is released inside.
#pragma once

#include "graphics/ImageGL.h"
#include "graphics/TextRender.h"
#include "shell/Events.h"
#include "sound/SoundEffects.h"

class ImageBuffer;

class ControlGL {
 public:
  // Values of type.
  enum : UInt8 { kButton = 1, kCheckbox = 2, kRadio = 3, kSlider = 4, kTextField = 5 };

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
  ImageGL* skin;  // the family's skin images in mainGUI
  // ButtonGL: its press sound; SliderGL: the knob image; TextFieldGL: the
  // hilite skin.
  void* secondResource;

  ControlGL();
  virtual ~ControlGL() = default;
  virtual void PlaySound() {}
  // The control when a press ends inside it, else null.
  virtual ControlGL* HandleInput(UserInput* input, char depth, char stickyArg);
  void Reset();
  // The next HandleInput acts as a click in the middle of the control.
  void Press() { pressRequest = 1; }
  void Toggle() { value = value == 0 ? 1 : 0; }
  UInt8 Type() const { return type; }
};

extern ControlGL* pressedCONTROL;
extern ControlGL* selectedCONTROL;

class ButtonGL : public ControlGL {
 public:
  ButtonGL();
  void PlaySound() override;
  virtual void Process() {}
  // The three-part skin with a drop shadow, then the title; a skin not
  // wholly loaded shows the title alone.
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

// The check box and the radio button differ only in type and skin. A click
// does not change the value: the owner does that.
class CheckboxGL : public ControlGL {
 public:
  CheckboxGL();
  void PlaySound() override;
  virtual void Process() {}
  virtual void AutoResize();
  virtual void Render();
  virtual void Draw();
  virtual void DrawTitle();
};

class RadioGL : public CheckboxGL {
 public:
  RadioGL();
};

// Renders the control's title in the check-box font into its title image.
void RenderCheckboxTitle(ControlGL* control);

void ProcessButtons();
void DrawButtons();
// The image into the rectangle moved by (dx, dy) in black at the given alpha,
// then into the rectangle itself; the image is left at brightness 1, alpha 1.
void DrawWithShadow(ImageGL* image, Rect* rect, char dx, char dy, float alpha);

// The look every control shares.
struct GUIVars {
  ImageGL cursorImage;
  ImageBuffer* imageBuff;  // every title and text is composed here
  float textScale;         // text is rendered at size x scale and drawn at 1/scale
  ImageGL buttonSkin[3];   // left cap, middle, right cap
  ALSound buttonSound;
  ImageGL checkboxSkin[2];  // unchecked, checked
  ImageGL radioSkin[2];
  ALSound checkboxSound;
  FT_Face checkboxFont;
  float checkboxTextSize;
  ImageGL sliderSkin[3];
  ImageGL sliderKnob;
  ALSound sliderSound;
  ImageGL textFieldSkin[3];
  ImageGL caretImage;
  ImageGL fieldHiliteSkin[3];
  FT_Face textFieldFont;
  float textFieldTextSize;
  RGBColorF flashColor;

  GUIVars();
};

extern GUIVars mainGUI;

// Fills mainGUI from the bundle: the composition buffer, the text scale,
// the button sound, the text field's skins, caret and font.
void LoadGUIResources();

// Plays the sound once at the centre of the rectangle on the next source;
// a sound that is not loaded plays nothing.
void PlayControlSound(ALSound* sound, Rect* where);

// Forgets the press in progress of every control class (tests, and screens
// that close mid-press).
void ResetControlPress();
