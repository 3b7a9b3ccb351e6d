#include <SDL2/SDL.h>

#include <array>
#include <cstring>
#include <deque>

#include "platform/InputDevices.h"

namespace {

enum { kPlayers = 2, kElementsPerPlayer = 7, kEscape = 14, kReturn = 15, kElements = 16 };
// Elements of a player: D-pad, joystick, up, down, left, right, fire.
enum { kDPad = 0, kStick = 1, kFire = 6 };

class SDLInputDevices final : public InputDeviceLayer {
 public:
  SInt32 Startup(SInt32* devices) override {
    if (!started_) {
      if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return -1;
      started_ = true;
    }
    Open();
    *devices = Count();
    return 0;
  }
  SInt32 Configure() override { return 0; }
  SInt32 Init(const InputNeed*, SInt32 count) override {
    bound_ = count >= kElements;
    SDL_GameControllerUpdate();
    Sample(&last_);
    return bound_ ? 0 : -50;
  }
  void FlushEvents() override {
    queue_.clear();
    SDL_GameControllerUpdate();
    Sample(&last_);
  }
  bool NextEvent(InputElementEvent* event) override {
    if (queue_.empty()) Collect();
    if (queue_.empty()) return false;
    *event = queue_.front();
    queue_.pop_front();
    return true;
  }
  void ComplexState(SInt32 element, UInt32 axes[2]) override {
    axes[0] = axes[1] = 0x80000000u;
    SDL_GameController* pad = PadOf(element);
    if (!pad || element % kElementsPerPlayer != kStick) return;
    SDL_GameControllerUpdate();
    axes[0] = Unsigned(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
    axes[1] = Unsigned(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
  }
  SInt32 SimpleState(SInt32 element) override {
    SDL_GameControllerUpdate();
    State now;
    Sample(&now);
    return element >= 0 && element < kElements ? now[size_t(element)] : 0;
  }
  SInt32 RumbleCount() override {
    SInt32 n = 0;
    for (SDL_GameController* pad : pads_)
      if (pad && SDL_GameControllerHasRumble(pad)) n++;
    return n;
  }
  void Rumble(SInt32 device, float strength, UInt32 ms) override {
    if (device < 0 || device >= kPlayers || !pads_[size_t(device)]) return;
    float s = strength < 0 ? 0 : strength > 1 ? 1 : strength;
    Uint16 level = Uint16(s * 65535.0f);
    SDL_GameControllerRumble(pads_[size_t(device)], level, level, ms);
  }
  void Shutdown() override {
    for (SDL_GameController*& pad : pads_) {
      if (pad) SDL_GameControllerClose(pad);
      pad = nullptr;
    }
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    started_ = false;
    queue_.clear();
  }

 private:
  typedef std::array<SInt32, kElements> State;

  static UInt32 Unsigned(Sint16 axis) { return UInt32(SInt32(axis) + 32768) << 16; }

  // The D-pad's direction: 1 left, then clockwise to 8 down-left; 0 centred.
  static SInt32 Direction(SDL_GameController* pad) {
    bool up = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    bool down = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    bool left = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    bool right = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    if (up && left) return 2;
    if (up && right) return 4;
    if (down && right) return 6;
    if (down && left) return 8;
    if (left) return 1;
    if (up) return 3;
    if (right) return 5;
    if (down) return 7;
    return 0;
  }

  void Open() {
    SDL_GameControllerUpdate();
    for (SDL_GameController*& pad : pads_)
      if (pad && !SDL_GameControllerGetAttached(pad)) {
        SDL_GameControllerClose(pad);
        pad = nullptr;
      }
    for (int i = 0; i < SDL_NumJoysticks(); i++) {
      if (!SDL_IsGameController(i)) continue;
      SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
      bool open = false;
      for (SDL_GameController* pad : pads_)
        if (pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) open = true;
      if (open) continue;
      for (SDL_GameController*& pad : pads_)
        if (!pad) {
          pad = SDL_GameControllerOpen(i);
          break;
        }
    }
  }

  SInt32 Count() const {
    SInt32 n = 0;
    for (SDL_GameController* pad : pads_) n += pad != nullptr;
    return n;
  }

  SDL_GameController* PadOf(SInt32 element) const {
    if (element < 0 || element >= kPlayers * kElementsPerPlayer) return nullptr;
    return pads_[size_t(element / kElementsPerPlayer)];
  }

  void Sample(State* state) const {
    state->fill(0);
    for (int p = 0; p < kPlayers; p++) {
      SDL_GameController* pad = pads_[size_t(p)];
      if (!pad) continue;
      (*state)[size_t(p * kElementsPerPlayer + kDPad)] = Direction(pad);
      (*state)[size_t(p * kElementsPerPlayer + kFire)] = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_A);
      (*state)[kEscape] |= SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_BACK);
      (*state)[kReturn] |= SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_START);
    }
  }

  // Queues an event for every element whose state changed since the last
  // look.
  void Collect() {
    if (!bound_) return;
    SDL_GameControllerUpdate();
    State now;
    Sample(&now);
    for (SInt32 e = 0; e < kElements; e++)
      if (now[size_t(e)] != last_[size_t(e)]) queue_.push_back({e, now[size_t(e)]});
    last_ = now;
  }

  bool started_ = false;
  bool bound_ = false;
  std::array<SDL_GameController*, kPlayers> pads_{};
  State last_{};
  std::deque<InputElementEvent> queue_;
};

}  // namespace

InputDeviceLayer* SDLInputDeviceLayer() {
  static SDLInputDevices layer;
  return &layer;
}
