#include "frontend/controls/ControlGL.h"

ControlGL* pressedCONTROL = nullptr;
ControlGL* selectedCONTROL = nullptr;

namespace {
// The press model's memory between calls: whether the press in progress
// began on a control, and the first control that saw the button down.
bool goodOrigin = false;
ControlGL* firstControl = nullptr;

bool Inside(const Rect& r, Point p) { return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom; }
}  // namespace

void ResetControlPress() {
  goodOrigin = false;
  firstControl = nullptr;
  pressedCONTROL = nullptr;
}

ControlGL::ControlGL() : sticky(0), titleOverride(nullptr) { Reset(); }

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
  if (hitRect.left >= hitRect.right || hitRect.top >= hitRect.bottom) hitRect = bounds;
  if (pressRequest) {
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
    if (Inside(hitRect, input->where) && (goodOrigin || input->clicked)) {
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

ButtonGL::ButtonGL() { type = 1; }

void ButtonGL::Draw() {
  if (visible) DrawTitle(hilite ? 1 : 0);
}

void ButtonGL::DrawTitle(char offset) {
  ImageGL* image = titleOverride ? titleOverride : &titleImage;
  Rect r = bounds;
  r.left = SInt16(r.left + offset);
  r.right = SInt16(r.right + offset);
  r.top = SInt16(r.top + offset);
  r.bottom = SInt16(r.bottom + offset);
  image->Draw(&r);
}

MSButton::MSButton() : pressScale(1.0f) {}

void MSButton::Draw() {
  if (!visible) return;
  ImageGL* image = titleOverride ? titleOverride : &titleImage;
  Rect r = bounds;
  float bright = 1.0f;
  if (hilite || pressDepth > 0) {
    SInt16 d = SInt16(int(pressScale * pressDepth));
    r.left = SInt16(r.left + d);
    r.right = SInt16(r.right + d);
    r.top = SInt16(r.top + d);
    r.bottom = SInt16(r.bottom + d);
    bright = 1.0f - pressDepth / 6.0f;
  }
  image->SetBright(bright);
  float alpha = image->alpha;
  if (!enabled) image->alpha = alpha * 0.25f;
  image->Draw(&r);
  image->alpha = alpha;
}

void MSButton::Animate() {
  if (pressDepth > 0) --pressDepth;
}
