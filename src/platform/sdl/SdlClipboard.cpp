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
};

}  // namespace

ClipboardService& SdlClipboard() {
  static SdlClipboardService service;
  return service;
}
