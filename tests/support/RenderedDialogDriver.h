// A fixture that shows dialogs with the rendered presenter in real windows
// and drives them: after each drawing the next step runs (or, with none left
// for `idleLimit` drawings, Escape closes the dialog, so that no test waits
// forever); the steps read the drawn window back and post SDL mouse and key
// events to it. Needs a display; without one the test is reported and
// skipped (`skip`). Header-only: for the gl tests, which link SDL, OpenGL
// and the graphics library.
#pragma once

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "graphics/RenderedDialogs.h"
#include "platform/DialogModel.h"
#include "platform/DialogPresenter.h"
#include "shell/StandardDialog.h"
#include "support/DisplayCheck.h"
#include "support/PictureColour.h"
#include "support/RecordingDialogs.h"

class RenderedDialogDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DisplayNamed() || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      ReportNoDisplay(std::string("no display: ") + SDL_GetError());
      skip = true;
      return;
    }
    dlogPARAMS.Reset();
    previous = SetDialogPresenter(&presenter);
    presenter.afterDraw = [this](WindowPtr drawnSurface, WindowRef drawnDialog) {
      ++draws;
      surface = drawnSurface;
      dialog = drawnDialog;
      SDL_GL_GetDrawableSize(SDL_GetWindowFromID(WindowID()), &width, &height);
      if (!NextStep() && ++idle > idleLimit) Key(SDLK_ESCAPE);
    };
  }
  void TearDown() override {
    if (!skip) SetDialogPresenter(previous);
  }
  // Runs the next step after a drawing; false when there was none to run.
  virtual bool NextStep() {
    if (steps.empty()) return false;
    auto step = steps.front();
    steps.pop_front();
    step();
    return true;
  }

  Uint32 WindowID() { return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(surface->platform)); }

  Pixel At(int h, int v) {
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(h, height - 1 - v, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Pixel{p[0], p[1], p[2]};
  }
  // The average colour of a rectangle of the window.
  Pixel Average(const Rect& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<unsigned char> p(size_t(w * h * 4));
    glReadPixels(r.left, height - r.bottom, w, h, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    long sum[3] = {0, 0, 0};
    for (int i = 0; i < w * h; ++i)
      for (int c = 0; c < 3; ++c) sum[c] += p[size_t(i * 4 + c)];
    return Pixel{int(sum[0] / (w * h)), int(sum[1] / (w * h)), int(sum[2] / (w * h))};
  }

  void Mouse(Uint32 type, int h, int v) {
    SDL_Event e{};
    e.type = type;
    if (type == SDL_MOUSEMOTION) {
      e.motion.windowID = WindowID();
      e.motion.x = h;
      e.motion.y = v;
    } else {
      e.button.windowID = WindowID();
      e.button.button = SDL_BUTTON_LEFT;
      e.button.x = h;
      e.button.y = v;
    }
    SDL_PushEvent(&e);
  }
  // The button goes down there (and stays down).
  void Click(int h, int v) { Mouse(SDL_MOUSEBUTTONDOWN, h, v); }
  void ClickIn(const Rect& r) { Click((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
  void ClickControl(ControlRef c) { ClickIn(c->bounds); }
  // A whole click: the button goes down and comes up again.
  void Press(int h, int v) {
    Mouse(SDL_MOUSEBUTTONDOWN, h, v);
    Mouse(SDL_MOUSEBUTTONUP, h, v);
  }
  void PressIn(const Rect& r) { Press((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
  void Key(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = WindowID();
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
  }
  void Type(const std::string& text) {
    for (char c : text) {
      SDL_Event e{};
      e.type = SDL_TEXTINPUT;
      e.text.windowID = WindowID();
      e.text.text[0] = c;
      SDL_PushEvent(&e);
    }
  }

  bool skip = false;
  RenderedDialogPresenter presenter;
  DialogPresenter* previous = nullptr;
  RecordingDialogs dialogs;
  std::deque<std::function<void()>> steps;
  WindowPtr surface = nullptr;
  WindowRef dialog = nullptr;
  int width = 0, height = 0, draws = 0, idle = 0, idleLimit = 200;
};
