#include <SDL.h>

#include "platform/Clipboard.h"

namespace {

struct SDLClipboardService : ClipboardService {
  bool GetText(std::string* text) override {
    readFailed_ = false;
    // SDL answers only once its video part runs (the game window's).
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return false;
    // Text announced but not delivered (SDL gives "" then) is a failed read.
    char* got = SDL_GetClipboardText();
    readFailed_ = !got || !*got;
    if (readFailed_) {
      SDL_free(got);
      return false;
    }
    *text = got;
    SDL_free(got);
    return true;
  }
  bool ReadFailed() override { return readFailed_; }
  bool SetText(const std::string& text) override {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return SDL_SetClipboardText(text.c_str()) == 0;
  }

 private:
  bool readFailed_ = false;
};

}  // namespace

ClipboardService& SDLClipboard() {
  static SDLClipboardService service;
  return service;
}
