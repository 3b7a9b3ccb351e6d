#include "platform/DialogSurface.h"

#include <SDL.h>

#include "platform/EventPlatform.h"
#include "platform/KeyCodes.h"
#include "platform/PlatformSystem.h"
#include "platform/sdl/SDLWindow.h"

namespace {

bool quitKept = false;

UInt8 EditingKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_RETURN: return keychar::kReturn;
    case SDLK_KP_ENTER: return keychar::kEnter;
    case SDLK_ESCAPE: return keychar::kEscape;
    case SDLK_TAB: return keychar::kTab;
    case SDLK_BACKSPACE: return keychar::kBackspace;
    case SDLK_LEFT: return keychar::kLeftArrow;
    case SDLK_RIGHT: return keychar::kRightArrow;
    case SDLK_UP: return keychar::kUpArrow;
    case SDLK_DOWN: return keychar::kDownArrow;
    default: return 0;
  }
}

}  // namespace

bool NextDialogInput(WindowPtr window, DialogInput* input) {
  SDL_Window* own = SDLWindowOf(window);
  Uint32 id = own ? SDL_GetWindowID(own) : 0;
  // A quit signal closes the dialog that is up: no one is there to answer it.
  if (TerminationSignalled()) {
    *input = DialogInput{DialogInput::Close, 0, 0, 0, 0};
    return true;
  }
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    *input = DialogInput{DialogInput::None, 0, 0, 0, 0};
    switch (e.type) {
      case SDL_QUIT: quitKept = true; continue;
      case SDL_WINDOWEVENT:
        if (e.window.windowID == id && e.window.event == SDL_WINDOWEVENT_CLOSE) {
          input->kind = DialogInput::Close;
          return true;
        }
        continue;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (e.button.windowID != id || e.button.button != SDL_BUTTON_LEFT) continue;
        input->kind = e.type == SDL_MOUSEBUTTONDOWN ? DialogInput::MouseDown : DialogInput::MouseUp;
        input->h = SInt16(e.button.x);
        input->v = SInt16(e.button.y);
        return true;
      case SDL_MOUSEMOTION:
        if (e.motion.windowID != id) continue;
        input->kind = DialogInput::MouseMove;
        input->h = SInt16(e.motion.x);
        input->v = SInt16(e.motion.y);
        return true;
      case SDL_KEYDOWN:
        if (e.key.windowID != id) continue;
        if (UInt8 c = EditingKey(e.key.keysym.sym)) {
          input->kind = DialogInput::Key;
          input->charCode = c;
          input->keyCode = c == keychar::kEscape ? keycode::kEscape : 0;
          return true;
        }
        continue;
      case SDL_TEXTINPUT:
        if (e.text.windowID != id) continue;
        // One character of the Latin-1 range; anything wider is not typed.
        if (UInt8(e.text.text[0]) >= 32 && UInt8(e.text.text[0]) < 127) {
          input->kind = DialogInput::Key;
          input->charCode = UInt8(e.text.text[0]);
          return true;
        }
        continue;
      default: continue;
    }
  }
  return false;
}

void WaitDialogInput(UInt32 ms) { SDL_WaitEventTimeout(nullptr, int(ms)); }

void EndDialogInput() {
  if (!quitKept) return;
  quitKept = false;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

void PlaceDialogWindow(WindowPtr window, const Rect& globalBounds, WindowRef parent) {
  SDL_Window* own = SDLWindowOf(window);
  if (!own) return;
  SDL_SetWindowPosition(own, globalBounds.left, globalBounds.top);
  if (SDL_Window* over = SDLWindowOf(parent)) SDL_SetWindowModalFor(own, over);
}

void TakeBackFocus(WindowRef parent) {
  SDL_Window* game = SDLWindowOf(parent);
  if (!game) return;
  // The focus-out and focus-in arrive once the dialog is gone.
  Uint32 start = SDL_GetTicks();
  for (;;) {
    RemovePlatformEvents(osMask);
    Uint32 elapsed = SDL_GetTicks() - start;
    if ((elapsed >= 100 && Platform().IsFront()) || elapsed >= 500) break;
    SDL_Delay(10);
  }
  if (!Platform().IsFront()) {
    SDL_RaiseWindow(game);
    RemovePlatformEvents(osMask);
  }
}
