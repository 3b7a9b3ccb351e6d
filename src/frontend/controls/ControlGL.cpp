#include "frontend/controls/ControlGL.h"

#include <algorithm>
#include <cstring>

#include "frontend/Resources.h"
#include "frontend/controls/SkinDrawing.h"
#include "frontend/controls/SliderGL.h"
#include "frontend/controls/TextFieldGL.h"
#include "graphics/ImageBuffer.h"
#include "graphics/TextRender.h"

ControlGL* pressedCONTROL = nullptr;
ControlGL* selectedCONTROL = nullptr;
GUIVars mainGUI;

namespace {
// The press model's memory between calls: whether the press in progress
// began on a control, and the first control that saw the button down.
bool goodOrigin = false;
ControlGL* firstControl = nullptr;
}  // namespace

bool InsideControlRect(const Rect& r, Point p) {
  return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom;
}

bool EmptyControlRect(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

Rect OffsetControlRect(Rect r, int dh, int dv) {
  r.left = SInt16(r.left + dh);
  r.right = SInt16(r.right + dh);
  r.top = SInt16(r.top + dv);
  r.bottom = SInt16(r.bottom + dv);
  return r;
}

void ResetControlPress() {
  goodOrigin = false;
  firstControl = nullptr;
  pressedCONTROL = nullptr;
  ResetSliderPress();
  ResetTextFieldPress();
}

void PlayControlSound(ALSound* sound, Rect* where) {
  if (!sound || !IsSoundLoaded(sound)) return;
  PlaySound(sound, NextALSource(true), where, 1.0f, 1.0f, 0);
}

ControlGL::ControlGL() : sticky(0), titleOverride(nullptr), skin(nullptr), secondResource(nullptr) { Reset(); }

void ControlGL::Reset() {
  hilite = 0;
  pressDepth = 0;
  type = 0;
  pressRequest = 0;
  titleOverride = nullptr;
  bounds = Rect{32, 32, 32 + 16, 32 + 32};
  hitRect = Rect{0, 0, 0, 0};
  enabled = 1;
  visible = 1;
  value = 0;
  min = 0;
  max = 100;
  title[0] = 0;
}

ControlGL* ControlGL::HandleInput(UserInput* input, char depth, char stickyArg) {
  if (!visible || !enabled) return nullptr;
  if (EmptyControlRect(hitRect)) hitRect = bounds;
  if (pressRequest) {
    // The caller's record itself is changed, so controls handled later in
    // the pass see the forced press too.
    input->down = 1;
    input->where.h = SInt16(hitRect.left + (hitRect.right - hitRect.left) / 2);
    input->where.v = SInt16(hitRect.top + (hitRect.bottom - hitRect.top) / 2);
    pressRequest = 0;
    goodOrigin = true;
  }
  ControlGL* result = nullptr;
  if (input->down == 0) {
    if (!sticky) {
      if (pressedCONTROL == this) {
        if (hilite) result = this;
        hilite = 0;
        pressedCONTROL = nullptr;
      }
      firstControl = nullptr;
      goodOrigin = false;
    }
  } else if (input->down == 1) {
    if (InsideControlRect(hitRect, input->where) && (goodOrigin || input->clicked)) {
      if (!pressedCONTROL || pressedCONTROL == this) {
        if (pressedCONTROL != this) {
          PlaySound();
          goodOrigin = true;
        }
        pressedCONTROL = this;
        hilite = 1;
        sticky = UInt8(stickyArg);
        pressDepth = UInt8(depth);
      }
    } else {
      hilite = 0;
      if (firstControl == this && !pressedCONTROL) goodOrigin = false;
    }
  }
  if (input->down && !firstControl) firstControl = this;
  return result;
}

// --- Push buttons ------------------------------------------------------------

ButtonGL::ButtonGL() {
  type = kButton;
  skin = mainGUI.buttonSkin;
  secondResource = &mainGUI.buttonSound;
}

void ButtonGL::PlaySound() { PlayControlSound(static_cast<ALSound*>(secondResource), &bounds); }

void ButtonGL::Draw() {
  if (!visible) return;
  if (!SkinLoaded(skin)) {
    DrawTitle(0);
    return;
  }
  const float shown = enabled ? 1.0f : 0.25f;
  int offset = 0;
  // The shadow pass (p = 1) only when enabled, then the button itself.
  for (int p = enabled ? 1 : 0; p >= 0; --p) {
    offset = 3 * p;
    float bright = 1.0f - p, alpha = 1.0f - 0.85f * p;
    if (p == 0) {
      alpha = shown;
      if (hilite) {
        bright = 0.75f;
        offset = 1;
      }
    }
    for (int k = 0; k < 3; ++k) {
      skin[k].SetBright(bright);
      skin[k].alpha = alpha;
    }
    DrawThreePart(skin, OffsetControlRect(bounds, offset, offset), skin[0].Width(), skin[1].Width(), skin[2].Width(),
                  false);
  }
  DrawTitle(char(offset));
}

void ButtonGL::DrawTitle(char offset) {
  // The override belongs to someone else: only our own title is faded.
  titleImage.alpha = enabled ? 1.0f : 0.25f;
  ImageGL* image = titleOverride ? titleOverride : &titleImage;
  Rect r;
  SetRect2(&r, bounds.left + (bounds.right - bounds.left) / 2 - image->Width() / 2,
           bounds.top + (bounds.bottom - bounds.top) / 2 - image->Height() / 2, image->Width(), image->Height());
  r = OffsetControlRect(r, offset, offset - 1);
  image->Draw(&r);
}

MSButton::MSButton() : pressScale(1.0f) {}

void MSButton::Draw() {
  if (!visible) return;
  Rect r = bounds;
  float bright = 1.0f;
  if (hilite || pressDepth > 0) {
    int d = int(pressScale * pressDepth);
    r = OffsetControlRect(bounds, d, d);
    bright = 1.0f - pressDepth / 6.0f;
  }
  titleImage.SetBright(bright);
  const float alpha = titleImage.alpha;
  if (!enabled) titleImage.alpha = alpha * 0.25f;
  titleImage.Draw(&r);
  titleImage.alpha = alpha;
}

void MSButton::Animate() {
  if (pressDepth > 0) --pressDepth;
}

// --- Check boxes and radio buttons -------------------------------------------

CheckboxGL::CheckboxGL() {
  type = kCheckbox;
  skin = mainGUI.checkboxSkin;
}

RadioGL::RadioGL() {
  type = kRadio;
  skin = mainGUI.radioSkin;
}

void CheckboxGL::PlaySound() { PlayControlSound(&mainGUI.checkboxSound, &bounds); }

void CheckboxGL::Render() {
  RenderCheckboxTitle(this);
  AutoResize();
}

void CheckboxGL::AutoResize() { bounds.right = SInt16(bounds.left + skin[0].Width() + titleImage.Width() + 8); }

void CheckboxGL::Draw() {
  if (!visible) return;
  ImageGL& box = skin[value > 0 ? 1 : 0];
  Rect r;
  SetRect2(&r, bounds.left, bounds.top, box.Width(), box.Height());
  box.SetBright(hilite ? 0.75f : 1.0f);
  box.Draw(&r);
  DrawTitle();
}

void CheckboxGL::DrawTitle() {
  Rect r;
  SetRect2(&r, bounds.left + skin[0].Width() + 4,
           bounds.top + (bounds.bottom - bounds.top) / 2 - titleImage.Height() / 2, titleImage.Width(),
           titleImage.Height());
  Rect shadow = OffsetControlRect(r, 2, 2);
  titleImage.SetBright(0.0f);
  titleImage.alpha = 0.15f;
  titleImage.Draw(&shadow);
  titleImage.alpha = 1.0f;
  if (hilite) {
    titleImage.SetBright(0.75f);
    r = OffsetControlRect(r, 1, 1);
  } else {
    titleImage.SetBright(1.0f);
  }
  titleImage.Draw(&r);
}

void RenderCheckboxTitle(ControlGL* control) {
  ImageBuffer* buffer = mainGUI.imageBuff;
  if (!buffer) return;
  const float size = mainGUI.checkboxTextSize;
  const int m = int(size / 8);
  char text[32];
  std::memcpy(text, control->title + 1, control->title[0]);
  text[control->title[0]] = 0;
  const int width = std::max(0, DrawTextWidth(text, mainGUI.checkboxFont, size)) + 3 * m;
  buffer->Clear();
  buffer->color = RGBAColorF();
  SetBright(&buffer->color, 0.0f);
  DrawText(buffer, text, mainGUI.checkboxFont, size, float(m), float(buffer->Height() / 2 + 4 * m), 0);
  Rect area;
  SetRect2(&area, 0, 0, width, control->bounds.bottom - control->bounds.top);
  control->titleImage.Update(buffer, &area);
}

void ProcessButtons() {}
void DrawButtons() {}

void DrawWithShadow(ImageGL* image, Rect* rect, char dx, char dy, float alpha) {
  Rect shadow = OffsetControlRect(*rect, dx, dy);
  image->SetBright(0.0f);
  image->alpha = alpha;
  image->Draw(&shadow);
  image->SetBright(1.0f);
  image->alpha = 1.0f;
  image->Draw(rect);
}

// --- The shared look ---------------------------------------------------------

GUIVars::GUIVars()
    : imageBuff(nullptr),
      textScale(1.0f),
      checkboxFont(nullptr),
      checkboxTextSize(12.0f),
      textFieldFont(nullptr),
      textFieldTextSize(12.0f) {
  flashColor.red = 1.0f;
  flashColor.green = 0.0f;
  flashColor.blue = 0.0f;
}

void LoadGUIResources() {
  mainGUI.imageBuff = &imageBUFF;
  mainGUI.textScale = 1.6f;
  LoadImage(&mainGUI.cursorImage, "Cursor", 1);
  LoadSound_Game(&mainGUI.buttonSound, "Blip");
  LoadImage_3Part(mainGUI.textFieldSkin, "ZadOR/Text Field", 1);
  LoadGameImage(&mainGUI.caretImage, "Pixel", 0);
  LoadImage_3Part(mainGUI.fieldHiliteSkin, "ZadOR/Field Hilite", 1);
  mainGUI.textFieldFont = vagRoundFONT;
  mainGUI.textFieldTextSize = 18.0f;
  mainGUI.flashColor.red = 1.0f;
  mainGUI.flashColor.green = 0.5f;
  mainGUI.flashColor.blue = 0.5f;
}
