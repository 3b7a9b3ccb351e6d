#include <SDL.h>

#include <cmath>
#include <cstdlib>

#include "platform/DisplayServices.h"
#include "platform/sdl/SdlWindow.h"

namespace {

SDL_Window* gammaWindow;
// The ramp of the gamma window before we first changed it, and that
// window's id (0 when nothing is saved); put back when the window is let go
// and at exit. The window is looked up by its id, so a window that SDL has
// already closed (and whose ramp it has put back itself) is left alone.
Uint16 savedRamp[3][kGammaTableEntries];
Uint32 savedRampWindow;
bool restoreRegistered;

void RestoreSavedRamp() {
  SDL_Window* window =
      savedRampWindow && SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetWindowFromID(savedRampWindow) : nullptr;
  if (window) SDL_SetWindowGammaRamp(window, savedRamp[0], savedRamp[1], savedRamp[2]);
  savedRampWindow = 0;
}

Uint16 ToRampEntry(float f) {
  double v = std::round(double(f) * 65535.0);
  return Uint16(v < 0 ? 0 : v > 65535 ? 65535 : v);
}

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

  // Read from the gamma window when there is one; a display seen through no
  // window answers the identity ramp.
  SInt32 GetTransfer(DisplayID, UInt32 capacity, float* red, float* green, float* blue, UInt32* count) override {
    Uint16 ramp[3][kGammaTableEntries];
    bool read = gammaWindow && SDL_GetWindowGammaRamp(gammaWindow, ramp[0], ramp[1], ramp[2]) == 0;
    UInt32 n = capacity < kGammaTableEntries ? capacity : kGammaTableEntries;
    for (UInt32 i = 0; i < n; i++) {
      red[i] = read ? ramp[0][i] / 65535.0f : float(i) / 255.0f;
      green[i] = read ? ramp[1][i] / 65535.0f : float(i) / 255.0f;
      blue[i] = read ? ramp[2][i] / 65535.0f : float(i) / 255.0f;
    }
    *count = n;
    return 0;
  }

  SInt32 SetTransfer(DisplayID, UInt32 count, const float* red, const float* green, const float* blue) override {
    if (count != kGammaTableEntries) return 2;
    if (!gammaWindow) return 0;
    if (savedRampWindow != SDL_GetWindowID(gammaWindow)) {
      if (SDL_GetWindowGammaRamp(gammaWindow, savedRamp[0], savedRamp[1], savedRamp[2]) != 0) return 2;
      savedRampWindow = SDL_GetWindowID(gammaWindow);
      if (!restoreRegistered) restoreRegistered = std::atexit(RestoreSavedRamp) == 0;
    }
    Uint16 ramp[3][kGammaTableEntries];
    for (UInt32 i = 0; i < count; i++) {
      ramp[0][i] = ToRampEntry(red[i]);
      ramp[1][i] = ToRampEntry(green[i]);
      ramp[2][i] = ToRampEntry(blue[i]);
    }
    return SDL_SetWindowGammaRamp(gammaWindow, ramp[0], ramp[1], ramp[2]) == 0 ? 0 : 2;
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

// The window's owner clears the gamma window before it destroys the window,
// so the ramp found before the first change is put back while it exists.
void SetGammaWindow(PlatformWindow* handle) {
  SDL_Window* window = SdlWindowOf(handle);
  if (window != gammaWindow) RestoreSavedRamp();
  gammaWindow = window;
}
