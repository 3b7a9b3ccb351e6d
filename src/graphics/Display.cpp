#include "graphics/Display.h"

#include <cstdio>

#include "foundation/ErrorDialog.h"
#include "foundation/StringFunctions.h"
#include "foundation/Timer.h"
#include "graphics/Ports.h"
#include "platform/EventPlatform.h"
#include "shell/ApplInfo.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Events.h"
#include "shell/Startup.h"

Array<Display> mainDISPLAY(0, reinterpret_cast<const unsigned char*>("\x0BmainDISPLAY"));
UInt8 directDisplayLoaded;

namespace {

const UInt32 kMaxDisplays = 256;
const UInt32 kMaxModes = 1024;

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

GDHandle DeviceCovering(const Rect& bounds) {
  for (GDHandle d = GetDeviceList(); d; d = GetNextDevice(d))
    if (TestDeviceAttribute(d, screenDevice) && SameRect((*d)->gdRect, bounds)) return d;
  return nullptr;
}

bool Fits(const Resolution& r, UInt32 width, UInt32 height, UInt32 refresh) {
  return r.width >= width && r.height >= height && r.refresh >= refresh;
}

// Reads the services' modes into the display's mode array, one entry per
// width, height and refresh with every depth it offers.
void FillModes(Display& d) {
  d.modes.Resize(d.modeListCount, 0);
  UInt32 stored = 0;
  for (UInt32 i = 0; i < d.modeListCount; i++) {
    Resolution r;
    if (ExtractModeDictionaryInfo(&d.modeList[i], &r) != 0) continue;
    UInt32 j = 0;
    while (j < stored &&
           !(d.modes[j].width == r.width && d.modes[j].height == r.height && d.modes[j].refresh == r.refresh))
      j++;
    if (j < stored)
      d.modes[j].depths |= r.depths;
    else
      d.modes[stored++] = r;
  }
  d.modes.Resize(stored, 0);
}

// Fills one display: 5 when it has no mode list; *filled stays false when it
// has no current mode.
SInt16 FillDisplay(Display& d, DisplayID id, DisplayServices* services, bool* filled) {
  *filled = false;
  DisplayModeInfo current;
  if (!services->CurrentMode(id, &current)) return 0;
  DisplayModeInfo* list = new DisplayModeInfo[kMaxModes];
  UInt32 count = 0;
  if (!services->AvailableModes(id, list, kMaxModes, &count)) {
    delete[] list;
    return 5;
  }
  d.displayID = id;
  d.device = DeviceCovering(d.Bounds());
  d.startMode = new DisplayModeInfo(current);
  d.modeList = list;
  d.modeListCount = count;
  FillModes(d);
  *filled = true;
  return 0;
}

void VBLTimerProc(Timer* timer) {
  auto* d = static_cast<Display*>(timer->Data());
  if (d->procedure) d->procedure();
}

void FormatModeName(Resolution* r) {
  char text[32];
  if (r->refresh)
    snprintf(text, sizeof text, "%i x %i, %1.1f Hz", int(r->width), int(r->height), r->refresh / 65536.0);
  else
    snprintf(text, sizeof text, "%i x %i", int(r->width), int(r->height));
  CToPStr(text, r->name);
}

}  // namespace

Display::Display()
    : displayID(0),
      device(nullptr),
      modes(0),  // "(unnamed)"
      switched(0),
      modeList(nullptr),
      modeListCount(0),
      startMode(nullptr),
      taskInstalled(0),
      timerTask(nullptr),
      timerRoutine(nullptr),
      taskStatus(0),
      taskID(0),
      procedure(nullptr) {}

Display::~Display() {
  RemoveVBLTask();
  delete[] modeList;
  delete startMode;
}

// The display services are always at hand: SDL's unless others are
// installed.
SInt16 InitDisplayAPI() {
  directDisplayLoaded = 1;
  return 0;
}

void DisposeDisplayAPI() { directDisplayLoaded = 0; }

// A display without a current mode is left out and the others are still
// recorded; a display without a mode list fails the whole call and leaves
// the list empty, so that a later call tries again.
SInt16 InitDisplays(Array<Display>& displays) {
  if (displays.Size() != 0) return 0;
  SInt16 err = InitDisplayAPI();
  if (err) return err;
  DisplayServices* services = GetDisplayServices();
  DisplayID ids[kMaxDisplays];
  UInt32 count = 0;
  if (services->ActiveDisplays(kMaxDisplays, ids, &count) != 0 || count == 0) return 2;
  displays.Resize(count, 0);
  UInt32 filled = 0;
  for (UInt32 i = 0; i < count; i++) {
    bool ok;
    err = FillDisplay(displays[filled], ids[i], services, &ok);
    if (err) {
      displays.Resize(0, 0);
      return err;
    }
    if (ok) filled++;
  }
  displays.Resize(filled, 0);
  return filled ? 0 : 2;
}

void DisposeDisplays(Array<Display>& displays) {
  if (displays.Size() != 0) displays.Resize(0, 0);
}

DisplayID DeviceToDisplay(GDHandle device) {
  for (UInt32 i = mainDISPLAY.Size(); i-- > 0;)
    if (mainDISPLAY[i].device == device) return mainDISPLAY[i].displayID;
  return 0;
}

GDHandle DisplayToDevice(DisplayID id) {
  for (UInt32 i = mainDISPLAY.Size(); i-- > 0;)
    if (mainDISPLAY[i].displayID == id) return mainDISPLAY[i].device;
  return nullptr;
}

Rect Display::Bounds() {
  DisplayBounds b = GetDisplayServices()->Bounds(displayID);
  SInt16 top = SInt16(SInt32(b.y)), left = SInt16(SInt32(b.x));
  return Rect{top, left, SInt16(top + SInt32(b.height)), SInt16(left + SInt32(b.width))};
}

SInt32 CaptureDisplay() { return GetDisplayServices()->Capture(DeviceToDisplay(mainDEVICE)); }

SInt32 ReleaseDisplay() { return GetDisplayServices()->Release(DeviceToDisplay(mainDEVICE)); }

SInt16 Display::FindMode(SInt32* index, SInt16 depth, UInt32 width, UInt32 height, UInt32 refresh, SInt32) {
  SInt32 found = -1;
  SInt16 best = 256;
  for (UInt32 i = 0; i < modes.Size(); i++) {
    SInt16 d = NextGreaterDepth(modes[i].depths, depth);
    if (Fits(modes[i], width, height, refresh) && d && d <= best) {
      best = d;
      found = SInt32(i);
    }
  }
  if (found < 0) {
    if (index) *index = -1;
    return 0;
  }
  UInt32 bestW = 16777215, bestH = 16777215;
  for (UInt32 i = 0; i < modes.Size(); i++) {
    const Resolution& r = modes[i];
    if (!Fits(r, width, height, refresh) || !(r.depths & UInt32(best))) continue;
    if (r.width - width <= bestW && r.height - height <= bestH) {
      bestW = r.width - width;
      bestH = r.height - height;
      found = SInt32(i);
    }
  }
  UInt32 w = modes[UInt32(found)].width, h = modes[UInt32(found)].height, bestR = ~0u;
  for (UInt32 i = 0; i < modes.Size(); i++) {
    const Resolution& r = modes[i];
    if (r.width != w || r.height != h || !(r.depths & UInt32(best)) || r.refresh < refresh) continue;
    if (r.refresh - refresh <= bestR) {
      bestR = r.refresh - refresh;
      found = SInt32(i);
    }
  }
  if (index) *index = found;
  return best;
}

SInt16 Display::GetMode(SInt32* index, UInt8* grey) {
  if (grey) *grey = 0;
  DisplayServices* services = GetDisplayServices();
  DisplayModeInfo current;
  Resolution r;
  if (!services->CurrentMode(displayID, &current) || ExtractModeDictionaryInfo(&current, &r) != 0) return 0;
  for (UInt32 i = 0; i < modes.Size(); i++) {
    if (modes[i].width == r.width && modes[i].height == r.height && modes[i].refresh == r.refresh) {
      if (index) *index = SInt32(i);
      return SInt16(current.bitsPerPixel);
    }
  }
  return 0;
}

Boolean Display::SetMode(SInt32 depthAndFlags, SInt32 index) {
  if (index == -1 && !GetMode(&index, nullptr)) return false;
  if (index < 0 || UInt32(index) >= modes.Size()) return false;
  DisplayServices* services = GetDisplayServices();
  DisplayModeInfo current;
  if (!services->CurrentMode(displayID, &current)) return false;
  const Resolution& wanted = modes[UInt32(index)];
  SInt32 depth = depthAndFlags & 0xFF;
  for (UInt32 i = 0; i < modeListCount; i++) {
    Resolution r;
    if (ExtractModeDictionaryInfo(&modeList[i], &r) != 0) continue;
    if (r.width == wanted.width && r.height == wanted.height && r.refresh == wanted.refresh &&
        modeList[i].bitsPerPixel == depth)
      return SwitchMode(&modeList[i]);
  }
  return false;
}

// The front application captures the display for the switch unless it
// already was captured.
Boolean Display::SwitchMode(const DisplayModeInfo* mode) {
  DisplayServices* services = GetDisplayServices();
  if (!mode) return false;
  PushPort();
  bool capturedHere = IsFrontProcess() && !services->IsCaptured(displayID) && services->Capture(displayID) == 0;
  bool ok = services->SwitchToMode(displayID, *mode) == 0;
  if (capturedHere) services->Release(displayID);
  PopPort();
  if (ok) switched = 1;
  return ok;
}

Boolean Display::ResetMode() { return SwitchMode(startMode); }

Boolean ResetDisplays(Array<Display>& displays) {
  Boolean all = true;
  for (UInt32 i = displays.Size(); i-- > 0;)
    if (!displays[i].ResetMode()) all = false;
  return all;
}

// The task runs on an event-loop timer every 16 ms, on the main thread.
void Display::InstallVBLTask(void (*proc)()) {
  if (taskInstalled) return;
  procedure = proc;
  timerRoutine = VBLTimerProc;
  timerTask = new Timer(timerRoutine, 16, this);
  taskStatus = 0;
  taskInstalled = 1;
  if (taskStatus) ErrorDialog("A problem occurred during a vbl task", SInt16(taskStatus), 0, 1);
}

void Display::RemoveVBLTask() {
  if (!taskInstalled) return;
  delete timerTask;
  timerTask = nullptr;
  procedure = nullptr;
  taskInstalled = 0;
}

// The screen cannot show the game: the user is told what it needs, with the
// cursor shown for the answer, and the program ends.
void DisplayErrorDialog(SInt16 width, SInt16 height, SInt16 depth) {
  Beep();
  char colours[32], text[256];
  if (depth > 8)
    snprintf(colours, sizeof colours, "%d bit color", int(depth));
  else
    snprintf(colours, sizeof colours, "%ld colors/grays", 1L << (depth < 0 ? 0 : depth));
  snprintf(text, sizeof text, "Sorry, %.*s requires a monitor at least %dx%d capable of displaying %s.",
           int(APPL.name[0]), reinterpret_cast<const char*>(APPL.name + 1), int(width), int(height), colours);
  Platform().ShowCursor(true);
  AlertDialog(text, "", "OK");
  Platform().ShowCursor(false);
  cursorVIS = false;
  Shutdown(0);
}

SInt16 GetMonitorMode(GDHandle device, SInt16* depth, UInt8* colour) {
  if (!device) device = mainDEVICE;
  SInt16 d = device ? (*(*device)->gdPMap)->pixelSize : 0;
  if (depth) *depth = d;
  if (colour) *colour = device ? UInt8(TestDeviceAttribute(device, gdDevType)) : 0;
  return d;
}

// Screen depths are the desktop's own; they cannot be set.
OSErr SetMonitorMode(GDHandle, SInt16, UInt8) { return paramErr; }

// A depth below 1 can never be passed by halving, so none is offered.
SInt16 NextGreaterDepth(UInt32 depths, SInt16 depth) {
  if (depth < 1) return 0;
  SInt16 found = 0;
  for (SInt32 d = 256; d >= depth; d >>= 1)
    if (depths & UInt32(d)) found = SInt16(d);
  return found;
}

double AbsoluteToSeconds(UInt64 time) { return double(time) * 1e-9; }

UInt64 SecondsToAbsolute(double seconds) {
  double ns = seconds * 1e9;
  const double half = 9223372036854775808.0;  // 2^63
  if (!(ns > 0)) return 0;
  if (ns >= 2 * half) return ~UInt64(0);
  return ns >= half ? UInt64(ns - half) + (UInt64(1) << 63) : UInt64(ns);
}

SInt16 ExtractModeDictionaryInfo(const DisplayModeInfo* m, Resolution* r) {
  *r = Resolution{};
  if (m->bad) return 3;
  if (m->present & DisplayModeInfo::kMode) r->modeID = UInt32(m->mode);
  if (m->present & DisplayModeInfo::kRefreshRate) {
    double v = double(m->refreshRate) * 65536.0;
    r->refresh = v <= 0 ? 0 : v >= 4294967295.0 ? 4294967295u : UInt32(v);
  }
  if (m->present & DisplayModeInfo::kWidth) r->width = UInt32(m->width);
  if (m->present & DisplayModeInfo::kHeight) r->height = UInt32(m->height);
  if (m->present & DisplayModeInfo::kBitsPerPixel) r->depths = UInt32(m->bitsPerPixel);
  if (m->present & DisplayModeInfo::kIOFlags) {
    r->flags = UInt16(((m->ioFlags >> 11) & 1) | (((m->ioFlags >> 5) & 1) << 1) | (((m->ioFlags >> 6) & 1) << 2));
    r->safe = (m->ioFlags & kDisplayModeSafeFlag) ? 1 : 0;
  }
  FormatModeName(r);
  return 0;
}
