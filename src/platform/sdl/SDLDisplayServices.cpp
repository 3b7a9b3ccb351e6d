#include <SDL.h>

#include "platform/DisplayServices.h"
#include "platform/sdl/SdlWindow.h"

namespace {

SDL_Window* gammaWindow;
// The tables last taken for the gamma window; the identity until then.
float shownTransfer[3][kGammaTableEntries];
bool transferTaken;

DisplayModeInfo ModeInfo(const SDL_DisplayMode& m, SInt32 index) {
  DisplayModeInfo info{};
  info.present = DisplayModeInfo::kMode | DisplayModeInfo::kWidth | DisplayModeInfo::kHeight |
                 DisplayModeInfo::kBitsPerPixel | DisplayModeInfo::kIOFlags;
  if (m.refresh_rate) info.present |= DisplayModeInfo::kRefreshRate;
  info.mode = index;
  info.refreshRate = float(m.refresh_rate);
  info.width = m.w;
  info.height = m.h;
  info.bitsPerPixel = SDL_BITSPERPIXEL(m.format) > 16 ? 32 : SInt32(SDL_BITSPERPIXEL(m.format));
  info.ioFlags = kDisplayModeSafeFlag;
  return info;
}

class SDLServices final : public DisplayServices {
 public:
  SInt32 ActiveDisplays(UInt32 capacity, DisplayID* ids, UInt32* count) override {
    int n = SDL_GetNumVideoDisplays();
    if (n < 0) return 2;
    *count = 0;
    for (int i = 0; i < n && UInt32(i) < capacity; i++) ids[(*count)++] = DisplayID(i);
    return 0;
  }

  DisplayBounds Bounds(DisplayID display) override {
    SDL_Rect r{0, 0, 0, 0};
    SDL_GetDisplayBounds(int(display), &r);
    return {double(r.x), double(r.y), double(r.w), double(r.h)};
  }

  SInt32 BitsPerPixel(DisplayID display) override {
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(int(display), &m) != 0) return 32;
    return SInt32(SDL_BITSPERPIXEL(m.format));
  }

  bool AvailableModes(DisplayID display, DisplayModeInfo* modes, UInt32 capacity, UInt32* count) override {
    int n = SDL_GetNumDisplayModes(int(display));
    if (n < 0) return false;
    *count = 0;
    for (int i = 0; i < n && *count < capacity; i++) {
      SDL_DisplayMode m;
      if (SDL_GetDisplayMode(int(display), i, &m) == 0) modes[(*count)++] = ModeInfo(m, i);
    }
    return true;
  }

  bool CurrentMode(DisplayID display, DisplayModeInfo* mode) override {
    SDL_DisplayMode m;
    if (SDL_GetCurrentDisplayMode(int(display), &m) != 0) return false;
    *mode = ModeInfo(m, -1);
    // The current mode's id is its index in the list when it is there.
    int n = SDL_GetNumDisplayModes(int(display));
    for (int i = 0; i < n; i++) {
      SDL_DisplayMode c;
      if (SDL_GetDisplayMode(int(display), i, &c) == 0 && c.w == m.w && c.h == m.h &&
          c.refresh_rate == m.refresh_rate && c.format == m.format) {
        mode->mode = i;
        break;
      }
    }
    return true;
  }

  // SDL changes a resolution only for an exclusive full-screen window: the
  // switch keeps one of its own on that display; going back to the desktop
  // mode closes it.
  SInt32 SwitchToMode(DisplayID display, const DisplayModeInfo& mode) override {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(int(display), &desktop) != 0) return 2;
    if (mode.width == desktop.w && mode.height == desktop.h &&
        (mode.refreshRate == 0 || int(mode.refreshRate) == desktop.refresh_rate)) {
      CloseModeWindow();
      return 0;
    }
    SDL_DisplayMode wanted{0, mode.width, mode.height, int(mode.refreshRate), nullptr};
    SDL_DisplayMode closest;
    if (!SDL_GetClosestDisplayMode(int(display), &wanted, &closest)) return 2;
    if (!modeWindow_) {
      int x = SDL_WINDOWPOS_UNDEFINED_DISPLAY(int(display));
      modeWindow_ = SDL_CreateWindow("", x, x, closest.w, closest.h, SDL_WINDOW_BORDERLESS);
      if (!modeWindow_) return 2;
    }
    if (SDL_SetWindowDisplayMode(modeWindow_, &closest) != 0 ||
        SDL_SetWindowFullscreen(modeWindow_, SDL_WINDOW_FULLSCREEN) != 0) {
      CloseModeWindow();
      return 2;
    }
    return 0;
  }

  bool IsCaptured(DisplayID display) override { return display < 32 && (captured_ >> display) & 1; }

  SInt32 Capture(DisplayID display) override {
    if (display >= 32) return 2;
    captured_ |= 1u << display;
    return 0;
  }

  SInt32 Release(DisplayID display) override {
    if (display >= 32) return 2;
    captured_ &= ~(1u << display);
    return 0;
  }

  // The tables last taken for the gamma window; the identity otherwise.
  SInt32 GetTransfer(DisplayID, UInt32 capacity, float* red, float* green, float* blue, UInt32* count) override {
    UInt32 n = capacity < kGammaTableEntries ? capacity : kGammaTableEntries;
    for (UInt32 i = 0; i < n; i++) {
      red[i] = transferTaken ? shownTransfer[0][i] : float(i) / 255.0f;
      green[i] = transferTaken ? shownTransfer[1][i] : float(i) / 255.0f;
      blue[i] = transferTaken ? shownTransfer[2][i] : float(i) / 255.0f;
    }
    *count = n;
    return 0;
  }

  SInt32 SetTransfer(DisplayID, UInt32 count, const float* red, const float* green, const float* blue) override {
    if (count != kGammaTableEntries) return 2;
    if (!gammaWindow) return kTransferNotShown;
    for (UInt32 i = 0; i < count; i++) {
      shownTransfer[0][i] = red[i];
      shownTransfer[1][i] = green[i];
      shownTransfer[2][i] = blue[i];
    }
    transferTaken = true;
    return 0;
  }

 private:
  void CloseModeWindow() {
    if (modeWindow_) SDL_DestroyWindow(modeWindow_);
    modeWindow_ = nullptr;
  }

  SDL_Window* modeWindow_ = nullptr;
  UInt32 captured_ = 0;
};

}  // namespace

DisplayServices* SDLDisplayServices() {
  static SDLServices services;
  return &services;
}

// A new gamma window starts from the identity.
void SetGammaWindow(PlatformWindow* handle) {
  SDL_Window* window = SdlWindowOf(handle);
  if (window != gammaWindow) transferTaken = false;
  gammaWindow = window;
}
