#include "platform/DialogPresenter.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/EventPlatform.h"
#include "platform/sdl/SdlWindow.h"

namespace {

DialogPresenter* installed = nullptr;

// A modal SDL message box. It blocks, so the event loop stops while it is up;
// the focus it takes from the game window is given back afterwards without
// being read as a suspend.
struct MessageBoxes : DialogPresenter {
  DialogAction Present(const DialogView& view) override {
    MessageBoxPlan plan = PlanMessageBox(view);
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (const MessageBoxPlan::Button& b : plan.buttons) {
      Uint32 flags = 0;
      if (b.returnKey) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
      if (b.escapeKey) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
      buttons.push_back(SDL_MessageBoxButtonData{flags, b.index, view.buttons[size_t(b.index)].title.c_str()});
    }
    static const Uint32 kinds[] = {SDL_MESSAGEBOX_ERROR, SDL_MESSAGEBOX_WARNING, SDL_MESSAGEBOX_INFORMATION};
    SDL_MessageBoxData data{};
    data.flags = kinds[plan.kind] | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = SdlWindowOf(view.parent);
    data.title = view.title.empty() ? " " : view.title.c_str();
    data.message = plan.text.c_str();
    data.numbuttons = int(buttons.size());
    data.buttons = buttons.data();
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) return StderrPresenter().Present(view);
    TakeBackFocus(view.parent);
    if (chosen >= 0) return DialogAction{DialogAction::Click, chosen, 0, 0};
    return DialogAction{DialogAction::Key, -1, 27, 53};  // closed: Escape
  }

  // The box took the keyboard focus from our window. Its focus-out and
  // focus-in arrive once the box is gone: drop them, so that the game does
  // not take them as a switch to another application.
  static void TakeBackFocus(WindowRef parent) {
    Uint32 start = SDL_GetTicks();
    for (;;) {
      RemovePlatformEvents(osMask);
      Uint32 elapsed = SDL_GetTicks() - start;
      if ((elapsed >= 100 && Platform().IsFront()) || elapsed >= 500) break;
      SDL_Delay(10);
    }
    if (!Platform().IsFront() && SdlWindowOf(parent)) {
      SDL_RaiseWindow(SdlWindowOf(parent));
      RemovePlatformEvents(osMask);
    }
  }
};

}  // namespace

bool DisplayReachable() {
  const char* wayland = getenv("WAYLAND_DISPLAY");
  const char* x11 = getenv("DISPLAY");
  return (wayland && *wayland) || (x11 && *x11);
}

DialogPresenter& UserPresenter() {
  const char* chosen = getenv("HALVANE_DIALOGS");
  if ((chosen && strcmp(chosen, "stderr") == 0) || !DisplayReachable()) return StderrPresenter();
  return MessageBoxPresenter();
}

DialogPresenter& MessageBoxPresenter() {
  static MessageBoxes presenter;
  return presenter;
}

MessageBoxPlan PlanMessageBox(const DialogView& view) {
  MessageBoxPlan plan{};
  plan.kind = view.icon == 0 ? MessageBoxPlan::Error : view.icon == 2 ? MessageBoxPlan::Warning
                                                                      : MessageBoxPlan::Information;
  for (const std::string& t : view.texts) {
    if (t.empty()) continue;
    if (!plan.text.empty()) plan.text += "\n\n";
    plan.text += t;
  }
  int escape = -1;
  for (size_t i = 0; i < view.buttons.size() && escape < 0; ++i)
    if (view.buttons[i].enabled && view.buttons[i].isCancel) escape = int(i);
  for (size_t i = 0; i < view.buttons.size() && escape < 0; ++i)
    if (view.buttons[i].enabled && view.buttons[i].isDefault) escape = int(i);
  for (int i = int(view.buttons.size()) - 1; i >= 0; --i) {
    const DialogView::Button& b = view.buttons[size_t(i)];
    if (b.enabled) plan.buttons.push_back(MessageBoxPlan::Button{i, b.isDefault, i == escape});
  }
  return plan;
}

int DefaultButton(const DialogView& view) {
  for (size_t i = 0; i < view.buttons.size(); ++i)
    if (view.buttons[i].enabled && view.buttons[i].isDefault) return int(i);
  for (size_t i = 0; i < view.buttons.size(); ++i)
    if (view.buttons[i].enabled && view.buttons[i].isCancel) return int(i);
  for (size_t i = 0; i < view.buttons.size(); ++i)
    if (view.buttons[i].enabled) return int(i);
  return -1;
}

DialogAction StderrDialogPresenter::Present(const DialogView& view) {
  for (const std::string& t : view.texts)
    if (!t.empty()) fprintf(stderr, "%s\n", t.c_str());
  int button = DefaultButton(view);
  if (button < 0) return DialogAction{DialogAction::Abandon, -1, 0, 0};
  return DialogAction{DialogAction::Click, button, 0, 0};
}

StderrDialogPresenter& StderrPresenter() {
  static StderrDialogPresenter presenter;
  return presenter;
}

DialogPresenter& Presenter() { return installed ? *installed : StderrPresenter(); }

DialogPresenter* SetDialogPresenter(DialogPresenter* presenter) {
  DialogPresenter* previous = installed;
  installed = presenter;
  return previous;
}
