// Display services for tests: scripted displays and modes, recorded mode
// switches, captures and transfer tables. Installs itself while it lives
// (the screen devices are rebuilt from it) and puts back the services that
// were installed before.
#pragma once

#include <array>
#include <vector>

#include "platform/DisplayServices.h"

struct FakeDisplay {
  DisplayID id;
  DisplayBounds bounds;
  SInt32 bitsPerPixel = 32;
  bool hasModeList = true;
  bool hasCurrentMode = true;
  std::vector<DisplayModeInfo> modes;
  DisplayModeInfo current{};
  bool captured = false;
};

// A gamma table as the services saw it: three channels of 256 entries.
struct FakeTransfer {
  DisplayID display;
  std::array<std::array<float, kGammaTableEntries>, 3> table;
};

class FakeDisplayServices final : public DisplayServices {
 public:
  FakeDisplayServices();
  ~FakeDisplayServices() override;
  FakeDisplayServices(const FakeDisplayServices&) = delete;
  FakeDisplayServices& operator=(const FakeDisplayServices&) = delete;

  // A mode with every key given; refresh 0 leaves that key out.
  static DisplayModeInfo Mode(SInt32 id, SInt32 width, SInt32 height, SInt32 depth, float refresh = 0,
                              UInt32 ioFlags = kDisplayModeSafeFlag);
  // Adds a display and rebuilds the screen devices.
  FakeDisplay& AddDisplay(DisplayID id, DisplayBounds bounds, std::vector<DisplayModeInfo> modes);
  void Rebuild();

  std::vector<FakeDisplay> displays;
  SInt32 activeDisplaysResult = 0;
  // The table GetTransfer answers (first `transferCount` entries).
  std::array<std::array<float, kGammaTableEntries>, 3> transfer;
  UInt32 transferCount = kGammaTableEntries;
  SInt32 getTransferResult = 0;
  SInt32 setTransferResult = 0;
  std::vector<FakeTransfer> sets;
  std::vector<DisplayModeInfo> switches;
  SInt32 switchResult = 0;
  int captures = 0;
  int releases = 0;

  SInt32 ActiveDisplays(UInt32 capacity, DisplayID* ids, UInt32* count) override;
  DisplayBounds Bounds(DisplayID display) override;
  SInt32 BitsPerPixel(DisplayID display) override;
  bool AvailableModes(DisplayID display, DisplayModeInfo* modes, UInt32 capacity, UInt32* count) override;
  bool CurrentMode(DisplayID display, DisplayModeInfo* mode) override;
  SInt32 SwitchToMode(DisplayID display, const DisplayModeInfo& mode) override;
  bool IsCaptured(DisplayID display) override;
  SInt32 Capture(DisplayID display) override;
  SInt32 Release(DisplayID display) override;
  SInt32 GetTransfer(DisplayID display, UInt32 capacity, float* red, float* green, float* blue, UInt32* count) override;
  SInt32 SetTransfer(DisplayID display, UInt32 count, const float* red, const float* green, const float* blue) override;

 private:
  FakeDisplay* Find(DisplayID id);
  DisplayServices* previous_;
};
