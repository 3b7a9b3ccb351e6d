#include "platform/Clipboard.h"

#include <SDL.h>

namespace {

struct SdlClipboard : ClipboardService {
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

SdlClipboard sdlClipboard;
ClipboardService* current = nullptr;

}  // namespace

ClipboardService& Clipboard() { return current ? *current : sdlClipboard; }

ClipboardService* SetClipboardService(ClipboardService* service) {
  ClipboardService* before = current;
  current = service;
  return before;
}

FakeClipboard::FakeClipboard() : previous(SetClipboardService(this)) {}

FakeClipboard::~FakeClipboard() { SetClipboardService(previous); }

bool FakeClipboard::GetText(std::string* out) {
  ++reads;
  if (!readable) return false;
  *out = text;
  return true;
}
