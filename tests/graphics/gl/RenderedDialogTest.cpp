// Each kind of dialog shown in its own window: the drawn window is read back
// and its controls are used with injected mouse clicks and keys.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "foundation/Timer.h"
#include "graphics/RenderedDialogs.h"
#include "platform/DialogModel.h"
#include "platform/GLWindow.h"
#include "shell/DialogLibrary.h"
#include "shell/NibDialogs.h"
#include "shell/StandardDialog.h"
#include "support/DisplayCheck.h"
#include "support/RecordingDialogs.h"

namespace {

struct Pixel {
  int r, g, b;
};

class RenderedDialogTest : public ::testing::Test {
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
      if (!steps.empty()) {
        auto step = steps.front();
        steps.pop_front();
        step();
      } else if (++idle > 200) {
        Key(SDLK_ESCAPE);  // never wait forever on a dialog
      }
    };
  }
  void TearDown() override {
    if (!skip) SetDialogPresenter(previous);
  }

  Uint32 WindowID() { return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(surface->platform)); }

  Pixel At(int h, int v) {
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(h, height - 1 - v, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Pixel{p[0], p[1], p[2]};
  }
  void Click(int h, int v) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = WindowID();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = h;
    e.button.y = v;
    SDL_PushEvent(&e);
  }
  void ClickControl(ControlRef c) { Click((c->bounds.left + c->bounds.right) / 2, (c->bounds.top + c->bounds.bottom) / 2); }
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
  ControlRef ByCommand(UInt32 command) { return GetControlByCommand(dialog, command); }

  bool skip = false;
  RenderedDialogPresenter presenter;
  DialogPresenter* previous = nullptr;
  RecordingDialogs dialogs;
  std::deque<std::function<void()>> steps;
  WindowPtr surface = nullptr;
  WindowRef dialog = nullptr;
  int width = 0, height = 0, draws = 0, idle = 0;
};

bool Near(const Pixel& p, int r, int g, int b) {
  return std::abs(p.r - r) <= 8 && std::abs(p.g - g) <= 8 && std::abs(p.b - b) <= 8;
}

TEST_F(RenderedDialogTest, ConfirmButtonsAnswerClicksAndKeys) {
  if (skip) return;
  Pixel background{}, okFace{}, cancelFace{};
  steps.push_back([&] {
    background = At(5, 60);
    okFace = At(280, 83);      // the default button, 270..340 by 80..100
    cancelFace = At(198, 83);  // the cancel button
    ClickControl(ByCommand(kHICommandCancel));
  });
  EXPECT_EQ(ConfirmDialog("Replace the file?", 0), kHICommandCancel);
  EXPECT_EQ(width, 360);
  EXPECT_TRUE(Near(background, 234, 234, 234)) << background.r;
  EXPECT_TRUE(Near(okFace, 191, 191, 191)) << okFace.r;
  EXPECT_TRUE(Near(cancelFace, 247, 247, 247)) << cancelFace.r;
  EXPECT_EQ(presenter.SurfaceOf(dialog), nullptr);  // closed with the dialog

  steps.push_back([&] { Key(SDLK_RETURN); });
  EXPECT_EQ(ConfirmDialog("Again?", 0), kHICommandOK);
  steps.push_back([&] { Key(SDLK_ESCAPE); });
  EXPECT_EQ(ConfirmDialog("Again?", 0), kHICommandCancel);
}

TEST_F(RenderedDialogTest, InputFieldTakesTypingAndShowsIt) {
  if (skip) return;
  Str255 text{0};
  Pixel emptyField{}, typedField{};
  steps.push_back([&] {
    emptyField = At(80, 50);
    Type("Hi");
  });
  steps.push_back([] {});
  steps.push_back([] {});
  steps.push_back([&] {
    // Some ink is in the field now.
    typedField = At(80, 50);
    int darkest = 255;
    for (int h = 78; h < 100; ++h)
      for (int v = 44; v < 57; ++v) darkest = std::min(darkest, At(h, v).r);
    typedField.r = darkest;
    Key(SDLK_RETURN);
  });
  EXPECT_EQ(InputDialog(PStr("Your name:"), text), kHICommandOK);
  EXPECT_EQ(std::string((const char*)text + 1, text[0]), "Hi");
  EXPECT_TRUE(Near(emptyField, 255, 255, 255));
  EXPECT_LT(typedField.r, 128);
}

TEST_F(RenderedDialogTest, PasswordFieldShowsStarsAndChecks) {
  if (skip) return;
  IBNibRef nib = QKEngineNIB;
  std::string here = __FILE__;
  if (!QKEngineNIB) LoadQKEngineNibFile((here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist").c_str());
  steps.push_back([&] { Type("pw"); });
  steps.push_back([] {});
  steps.push_back([&] {
    EXPECT_EQ(ByCommand(FOUR_CHAR('p', 'a', 's', 's'))->text, "pw");
    Key(SDLK_RETURN);
  });
  EXPECT_EQ(PasswordDialog(PStr("Password:"), PStr("pw")), kHICommandOK);
  (void)nib;
}

TEST_F(RenderedDialogTest, ChecksRadiosTabsSlidersPopupsAndProgress) {
  if (skip) return;
  Rect bounds{100, 100, 300, 500};
  WindowRef w = NewStandardDialog(&bounds, PStr("Kinds"), 0);
  auto make = [&](Rect r, SInt16 proc, const char* title, SInt16 value, SInt16 min, SInt16 max) {
    return NewDialogWindowControl(w, r, proc, PStr(title), value, min, max);
  };
  ControlRef check = make(Rect{10, 10, 26, 150}, kCheckBoxProc, "Check", 0, 0, 1);
  ControlRef group = make(Rect{30, 10, 70, 150}, kUserPaneProc, "", 0, 0, 0);
  ControlRef radio1 = make(Rect{32, 10, 48, 150}, kRadioButtonProc, "One", 1, 0, 1);
  ControlRef radio2 = make(Rect{52, 10, 68, 150}, kRadioButtonProc, "Two", 0, 0, 1);
  EmbedControl(radio1, group);
  EmbedControl(radio2, group);
  ControlRef tabs = make(Rect{10, 200, 120, 390}, kTabsProc, "", 1, 1, 2);
  ControlRef slider = make(Rect{80, 10, 96, 150}, kSliderProc, "", 0, 0, 100);
  ControlRef popup = make(Rect{100, 10, 120, 150}, kPopupButtonProc, "Channels", 1, 1, 4);
  ControlRef bar = make(Rect{130, 10, 146, 150}, kProgressBarProc, "", 1, 0, 2);
  Rect okRect = ButtonPosition_Dlog(&bounds, 0);
  SetDefaultControl(NewDialogWindowControl(w, okRect, kPushButtonProc, PStr("OK"), 0, 0, 1), 1);
  static int fired;
  fired = 0;
  Timer timer([](Timer*) { ++fired; }, 1, nullptr);
  Pixel checkBefore{}, checkAfter{}, barFilled{}, barEmpty{};
  steps.push_back([&] {
    checkBefore = At(16, 18);
    barFilled = At(20, 138);
    barEmpty = At(140, 138);
    ClickControl(check);
  });
  steps.push_back([&] {
    checkAfter = At(16, 18);
    ClickControl(radio2);
  });
  steps.push_back([&] { Click(200 + 8 + 84 + 40, 20); });  // the second tab
  steps.push_back([&] { Click(10 + (150 - 10 - 8) * 3 / 4, 88); });
  steps.push_back([&] { ClickControl(popup); });
  steps.push_back([&] { Key(SDLK_KP_ENTER); });
  EXPECT_EQ(RunStandardDialog(w, nullptr, 0), kHICommandOK);
  EXPECT_EQ(check->value, 1);
  EXPECT_EQ(radio1->value, 0);
  EXPECT_EQ(radio2->value, 1);
  EXPECT_EQ(tabs->value, 2);
  EXPECT_NEAR(slider->value, 75, 2);
  EXPECT_EQ(popup->value, 2);
  EXPECT_TRUE(Near(checkBefore, 255, 255, 255));
  EXPECT_TRUE(Near(checkAfter, 0, 0, 0));
  EXPECT_TRUE(Near(barFilled, 51, 102, 229)) << barFilled.r << "," << barFilled.g << "," << barFilled.b;
  EXPECT_TRUE(Near(barEmpty, 255, 255, 255));
  EXPECT_GT(fired, 0);  // the timers ran while the dialog was up
  (void)bar;
  DisposeDialogWindow(w);
}

TEST_F(RenderedDialogTest, ColourGridPicksTheClickedCell) {
  if (skip) return;
  Pixel first{}, white{};
  steps.push_back([&] {
    first = At(2 + 6, 2 + 6);                       // entry 0
    white = At(2 + 12 * (215 % 32) + 6, 2 + 12 * (215 / 32) + 6);  // entry 215
    Click(2 + 12 * 5 + 6, 2 + 12 + 6);             // cell 37
  });
  EXPECT_EQ(GetColorDialog(5), 37);
  EXPECT_TRUE(Near(first, 0, 0, 0));
  EXPECT_TRUE(Near(white, 255, 255, 255));
  steps.push_back([&] { ClickControl(ByCommand(kHICommandCancel)); });
  EXPECT_EQ(GetColorDialog(5), -1);
}

}  // namespace

namespace {

TEST_F(RenderedDialogTest, ProgressWindowIsShownWithoutWaiting) {
  if (skip) return;
  std::string here = __FILE__;
  if (!QKEngineNIB) LoadQKEngineNibFile((here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist").c_str());
  Pixel half{}, rest{};
  presenter.afterDraw = [&](WindowPtr s, WindowRef d) {
    surface = s;
    dialog = d;
    SDL_GL_GetDrawableSize(SDL_GetWindowFromID(WindowID()), &width, &height);
    half = At(80, 64);   // the bar runs from 75 to 340 at 56..72
    rest = At(330, 64);
  };
  OpenProgressDialog("Loading", 0, "Reading");
  progressBAR->maximum = 2;
  UpdateProgressDialog("Half way", 1);
  ASSERT_NE(presenter.SurfaceOf(progressDLOG), nullptr);
  EXPECT_TRUE(Near(half, 51, 102, 229)) << half.r << "," << half.g << "," << half.b;
  EXPECT_TRUE(Near(rest, 255, 255, 255));
  WindowRef shown = progressDLOG;
  CloseProgressDialog();
  EXPECT_EQ(presenter.SurfaceOf(shown), nullptr);
}

}  // namespace
