#include <SDL2/SDL.h>

#include "platform/DialogPresenter.h"
#include "platform/DialogSurface.h"
#include "platform/EventPlatform.h"
#include "platform/KeyCodes.h"
#include "platform/sdl/SDLWindow.h"

namespace {

// A modal SDL message box, for where no OpenGL window can be made (the
// program's dialogs are rendered otherwise). It blocks, so the event loop, its
// timers and the music stop while it is up; the focus it takes from the game
// window is given back afterwards without being read as a suspend.
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
    data.window = SDLWindowOf(view.parent);
    data.title = view.title.empty() ? " " : view.title.c_str();
    data.message = plan.text.c_str();
    data.numbuttons = int(buttons.size());
    data.buttons = buttons.data();
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) return StderrPresenter().Present(view);
    TakeBackFocus(view.parent);
    if (chosen >= 0) return DialogAction{DialogAction::Click, chosen, 0, 0, nullptr, 0};
    return DialogAction{DialogAction::Key, -1, keychar::kEscape, keycode::kEscape, nullptr, 0};  // closed
  }
};

}  // namespace

DialogPresenter& MessageBoxPresenter() {
  static MessageBoxes presenter;
  return presenter;
}
