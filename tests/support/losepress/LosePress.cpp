// A stand-in for a program that loses a press, for proving that the e2e
// tests notice one: preloaded into the program (LD_PRELOAD), it drops the
// first press of one key (or of a mouse button) as the program takes it
// from SDL, together with its release.
//
//   HALVANE_LOSE_PRESS=Escape      the key, by SDL's name or the X keysym name
//                                  the e2e tests use: Return, q, 2, KP_0, ...;
//                                  a letter is the key that types it
//   HALVANE_LOSE_PRESS=button1     the first press of the left button
//
// The program's own input trace then shows the press nowhere, as if it had
// never read it; the line below says it was the shim.
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using PeepEvents = int (*)(SDL_Event*, int, SDL_eventaction, Uint32, Uint32);

struct Target {
  bool read = false;
  bool button = false;
  int code = -1;  // a scancode or a button number
  enum { kWaiting, kDroppedPress, kDone } state = kWaiting;
};

// SDL's name for a key the e2e tests name by its X keysym, where the two
// differ by more than case.
const char* SdlKeyName(const char* name) {
  static const struct {
    const char *x, *sdl;
  } names[] = {
      {"KP_0", "Keypad 0"},        {"KP_1", "Keypad 1"},      {"KP_2", "Keypad 2"},         {"KP_3", "Keypad 3"},
      {"KP_4", "Keypad 4"},        {"KP_5", "Keypad 5"},      {"KP_6", "Keypad 6"},         {"KP_7", "Keypad 7"},
      {"KP_8", "Keypad 8"},        {"KP_9", "Keypad 9"},      {"KP_Enter", "Keypad Enter"}, {"Control_L", "Left Ctrl"},
      {"Control_R", "Right Ctrl"}, {"Shift_L", "Left Shift"}, {"Shift_R", "Right Shift"},   {"Alt_L", "Left Alt"},
      {"Alt_R", "Right Alt"},      {"Super_L", "Left GUI"},   {"Super_R", "Right GUI"},     {"Caps_Lock", "CapsLock"}};
  for (const auto& n : names)
    if (std::strcmp(name, n.x) == 0) return n.sdl;
  return name;
}

Target& TheTarget() {
  static Target target;
  if (target.read) return target;
  target.read = true;
  const char* name = std::getenv("HALVANE_LOSE_PRESS");
  if (!name || !*name) {
    target.state = Target::kDone;
  } else if (strncasecmp(name, "button", 6) == 0) {
    target.button = true;
    target.code = std::atoi(name + 6);
  } else {
    // The key that gives the name on the desktop's layout (on a French
    // keyboard "q" is the key in the US "a" place); else the key SDL calls so.
    const SDL_Keycode key = SDL_GetKeyFromName(SdlKeyName(name));
    target.code = key == SDLK_UNKNOWN ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromKey(key);
    if (target.code == SDL_SCANCODE_UNKNOWN) target.code = SDL_GetScancodeFromName(SdlKeyName(name));
    if (target.code == SDL_SCANCODE_UNKNOWN) {
      std::fprintf(stderr, "input lost-press shim: SDL has no key called \"%s\"\n", name);
      target.state = Target::kDone;
    }
  }
  return target;
}

// Whether the event is the press (or, after it, the release) to drop.
bool Drops(const SDL_Event& e) {
  Target& t = TheTarget();
  if (t.state == Target::kDone) return false;
  const bool press = t.button ? e.type == SDL_MOUSEBUTTONDOWN && e.button.button == t.code
                              : e.type == SDL_KEYDOWN && !e.key.repeat && int(e.key.keysym.scancode) == t.code;
  const bool release = t.button ? e.type == SDL_MOUSEBUTTONUP && e.button.button == t.code
                                : e.type == SDL_KEYUP && int(e.key.keysym.scancode) == t.code;
  if (t.state == Target::kWaiting && press) {
    t.state = Target::kDroppedPress;
    std::fprintf(stderr, "input lost-press shim: dropped the first press of %s\n", std::getenv("HALVANE_LOSE_PRESS"));
    std::fflush(stderr);
    return true;
  }
  if (t.state == Target::kDroppedPress && release) {
    t.state = Target::kDone;
    return true;
  }
  return false;
}

}  // namespace

extern "C" int SDL_PeepEvents(SDL_Event* events, int count, SDL_eventaction action, Uint32 minType, Uint32 maxType) {
  static const PeepEvents real = reinterpret_cast<PeepEvents>(dlsym(RTLD_NEXT, "SDL_PeepEvents"));
  if (!real) return -1;
  if (action != SDL_GETEVENT) return real(events, count, action, minType, maxType);
  for (;;) {
    const int got = real(events, count, action, minType, maxType);
    if (got <= 0) return got;
    int kept = 0;
    for (int i = 0; i < got; ++i)
      if (!Drops(events[i])) events[kept++] = events[i];
    if (kept > 0) return kept;
  }
}
