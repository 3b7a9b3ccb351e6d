// The display services: the active displays, their bounds and modes, mode
// switching with capture and release, and the displays' gamma (transfer)
// tables. The program installs the SDL implementation; tests install a fake.
#pragma once

#include "platform/PlatformTypes.h"

typedef UInt32 DisplayID;

// The I/O flag bits a mode may carry.
enum : UInt32 {
  kDisplayModeSafeFlag = 1u << 1,
  kDisplayModeNeedsPanningFlag = 1u << 5,
  kDisplayModeInterlacedFlag = 1u << 6,
  kDisplayModeStretchedFlag = 1u << 11,
};

// One mode as the services describe it. A key the services do not give is
// absent (its has-bit clear); a key whose value cannot be read is marked bad.
struct DisplayModeInfo {
  enum Key : UInt32 { kMode = 1, kRefreshRate = 2, kWidth = 4, kHeight = 8, kBitsPerPixel = 16, kIOFlags = 32 };
  UInt32 present;  // Key bits of the keys given
  UInt32 bad;      // Key bits of the keys whose value cannot be converted
  SInt32 mode;
  float refreshRate;  // Hz
  SInt32 width;
  SInt32 height;
  SInt32 bitsPerPixel;
  UInt32 ioFlags;
};

struct DisplayBounds {
  double x;
  double y;
  double width;
  double height;
};

constexpr UInt32 kGammaTableEntries = 256;
// SetTransfer's answer when no window can show the tables (nothing was
// applied).
constexpr SInt32 kTransferNotShown = 1001;

class DisplayServices {
 public:
  virtual ~DisplayServices() = default;
  // Fills up to `capacity` ids; 0 or an error code.
  virtual SInt32 ActiveDisplays(UInt32 capacity, DisplayID* ids, UInt32* count) = 0;
  virtual DisplayBounds Bounds(DisplayID display) = 0;
  // Bits per pixel of the display's frame buffer.
  virtual SInt32 BitsPerPixel(DisplayID display) = 0;
  // False when the display has no mode list / no current mode.
  virtual bool AvailableModes(DisplayID display, DisplayModeInfo* modes, UInt32 capacity, UInt32* count) = 0;
  virtual bool CurrentMode(DisplayID display, DisplayModeInfo* mode) = 0;
  // 0 on success.
  virtual SInt32 SwitchToMode(DisplayID display, const DisplayModeInfo& mode) = 0;
  virtual bool IsCaptured(DisplayID display) = 0;
  virtual SInt32 Capture(DisplayID display) = 0;
  virtual SInt32 Release(DisplayID display) = 0;
  // Transfer tables of up to kGammaTableEntries floats per channel, 0 to 1.
  virtual SInt32 GetTransfer(DisplayID display, UInt32 capacity, float* red, float* green, float* blue,
                             UInt32* count) = 0;
  virtual SInt32 SetTransfer(DisplayID display, UInt32 count, const float* red, const float* green,
                             const float* blue) = 0;
};

// The services in use: SDL's unless others are installed. Installing other
// services rebuilds the screen devices; null returns to SDL's. Returns the
// services installed before.
DisplayServices* GetDisplayServices();
DisplayServices* SetDisplayServices(DisplayServices* services);

// The SDL implementation; needs SDL's video subsystem. Mode switches go
// through an exclusive full-screen window of its own; capture and release
// are recorded. Transfer tables are taken only while there is a gamma window
// (the game window, installed by its owner), whose picture shows them: the
// display's own ramp is never changed, so nothing is left to put back however
// the program ends. Without one SetTransfer answers kTransferNotShown.
DisplayServices* SDLDisplayServices();
void SetGammaWindow(PlatformWindow* window);
