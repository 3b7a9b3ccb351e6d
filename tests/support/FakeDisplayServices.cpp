#include "support/FakeDisplayServices.h"

#include <algorithm>

FakeDisplayServices::FakeDisplayServices() {
  for (UInt32 i = 0; i < kGammaTableEntries; i++)
    for (auto& channel : transfer) channel[i] = float(i) / 255.0f;
  previous_ = SetDisplayServices(this);
}

FakeDisplayServices::~FakeDisplayServices() { SetDisplayServices(previous_); }

DisplayModeInfo FakeDisplayServices::Mode(SInt32 id, SInt32 width, SInt32 height, SInt32 depth, float refresh,
                                          UInt32 ioFlags) {
  DisplayModeInfo m{};
  m.present = DisplayModeInfo::kMode | DisplayModeInfo::kWidth | DisplayModeInfo::kHeight |
              DisplayModeInfo::kBitsPerPixel | DisplayModeInfo::kIOFlags;
  if (refresh != 0) m.present |= DisplayModeInfo::kRefreshRate;
  m.mode = id;
  m.refreshRate = refresh;
  m.width = width;
  m.height = height;
  m.bitsPerPixel = depth;
  m.ioFlags = ioFlags;
  return m;
}

FakeDisplay& FakeDisplayServices::AddDisplay(DisplayID id, DisplayBounds bounds, std::vector<DisplayModeInfo> modes) {
  FakeDisplay d;
  d.id = id;
  d.bounds = bounds;
  d.modes = std::move(modes);
  if (!d.modes.empty()) d.current = d.modes.front();
  displays.push_back(d);
  Rebuild();
  return displays.back();
}

void FakeDisplayServices::Rebuild() { SetDisplayServices(this); }

FakeDisplay* FakeDisplayServices::Find(DisplayID id) {
  auto it = std::find_if(displays.begin(), displays.end(), [id](const FakeDisplay& d) { return d.id == id; });
  return it == displays.end() ? nullptr : &*it;
}

SInt32 FakeDisplayServices::ActiveDisplays(UInt32 capacity, DisplayID* ids, UInt32* count) {
  if (activeDisplaysResult) return activeDisplaysResult;
  *count = 0;
  for (const FakeDisplay& d : displays)
    if (*count < capacity) ids[(*count)++] = d.id;
  return 0;
}

DisplayBounds FakeDisplayServices::Bounds(DisplayID display) {
  FakeDisplay* d = Find(display);
  return d ? d->bounds : DisplayBounds{0, 0, 0, 0};
}

SInt32 FakeDisplayServices::BitsPerPixel(DisplayID display) {
  FakeDisplay* d = Find(display);
  return d ? d->bitsPerPixel : 0;
}

bool FakeDisplayServices::AvailableModes(DisplayID display, DisplayModeInfo* modes, UInt32 capacity, UInt32* count) {
  FakeDisplay* d = Find(display);
  if (!d || !d->hasModeList) return false;
  *count = 0;
  for (const DisplayModeInfo& m : d->modes)
    if (*count < capacity) modes[(*count)++] = m;
  return true;
}

bool FakeDisplayServices::CurrentMode(DisplayID display, DisplayModeInfo* mode) {
  FakeDisplay* d = Find(display);
  if (!d || !d->hasCurrentMode) return false;
  *mode = d->current;
  return true;
}

SInt32 FakeDisplayServices::SwitchToMode(DisplayID display, const DisplayModeInfo& mode) {
  switches.push_back(mode);
  FakeDisplay* d = Find(display);
  if (!d) return 2;
  if (switchResult == 0) d->current = mode;
  return switchResult;
}

bool FakeDisplayServices::IsCaptured(DisplayID display) {
  FakeDisplay* d = Find(display);
  return d && d->captured;
}

SInt32 FakeDisplayServices::Capture(DisplayID display) {
  FakeDisplay* d = Find(display);
  if (!d) return 2;
  captures++;
  d->captured = true;
  return 0;
}

SInt32 FakeDisplayServices::Release(DisplayID display) {
  FakeDisplay* d = Find(display);
  if (!d) return 2;
  releases++;
  d->captured = false;
  return 0;
}

SInt32 FakeDisplayServices::GetTransfer(DisplayID, UInt32 capacity, float* red, float* green, float* blue,
                                        UInt32* count) {
  if (getTransferResult) return getTransferResult;
  UInt32 n = std::min(capacity, transferCount);
  std::copy_n(transfer[0].begin(), n, red);
  std::copy_n(transfer[1].begin(), n, green);
  std::copy_n(transfer[2].begin(), n, blue);
  *count = n;
  return 0;
}

SInt32 FakeDisplayServices::SetTransfer(DisplayID display, UInt32 count, const float* red, const float* green,
                                        const float* blue) {
  FakeTransfer t{display, {}};
  UInt32 n = std::min(count, kGammaTableEntries);
  std::copy_n(red, n, t.table[0].begin());
  std::copy_n(green, n, t.table[1].begin());
  std::copy_n(blue, n, t.table[2].begin());
  sets.push_back(t);
  return setTransferResult;
}
