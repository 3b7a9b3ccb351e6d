#include <SDL.h>

#include "platform/Clipboard.h"

namespace {

struct SdlClipboardService : ClipboardService {
  bool GetText(std::string* text) override {
    // SDL answers only once its video part runs (the game window's).
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return false;
    char* got = SDL_GetClipboardText();
    if (!got) return false;
    *text = got;
    SDL_free(got);
    return true;
  }
  bool SetText(const std::string& text) override {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return SDL_SetClipboardText(text.c_str()) == 0;
  }
};

}  // namespace

ClipboardService& SdlClipboard() {
  static SdlClipboardService service;
  return service;
}
