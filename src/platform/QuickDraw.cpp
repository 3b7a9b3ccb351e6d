#include "platform/QuickDraw.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/DisplayServices.h"
#include "platform/QuickDrawColor.h"

namespace {

// A handle's master pointer sits at the start of the block holding the
// record, so the handle can give the block back.
template <typename T>
struct HandleBlock {
  T* master;
  T record;
};

template <typename T>
T** NewHandleFor() {
  auto* block = new (std::nothrow) HandleBlock<T>{};
  if (!block) return nullptr;
  block->master = &block->record;
  return &block->master;
}

template <typename T>
void DisposeHandleFor(T** h) {
  delete reinterpret_cast<HandleBlock<T>*>(h);
}

CGrafPtr currentPort;
GDHandle currentDevice;
GDHandle deviceList;

bool ValidDepth(SInt32 depth) {
  return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 || depth == 32;
}

SInt32 DepthOf(PixMapHandle pm) { return (*pm)->pixelFormat ? SInt32((*pm)->pixelFormat) : (*pm)->pixelSize; }

// Indexed worlds made without a table get a grey ramp, white first.
CTabHandle NewGreyTable(SInt32 depth) {
  SInt16 entries = SInt16(1 << depth);
  CTabHandle table = NewColorTable(entries);
  if (!table) return nullptr;
  for (SInt16 i = 0; i < entries; i++) {
    UInt16 level = UInt16(65535 - SInt32(i) * 65535 / (entries - 1));
    (*table)->ctTable[i] = {i, {level, level, level}};
  }
  return table;
}

void FillPixMap(PixMapHandle pm, SInt32 depth, const Rect* bounds, Ptr pixels, SInt32 rowBytes) {
  PixMap& p = **pm;
  p.baseAddr = pixels;
  p.rowBytes = SInt16(rowBytes | kRowBytesFlag);
  p.bounds = *bounds;
  p.pixelSize = SInt16(depth);
  if (depth > 8) {
    p.pixelType = kDirectPixelType;
    p.cmpCount = 3;
    p.cmpSize = depth == 16 ? 5 : 8;
    p.pixelFormat = OSType(depth);
  } else {
    p.pixelType = kIndexedPixelType;
    p.cmpCount = 1;
    p.cmpSize = SInt16(depth);
    p.pixelFormat = 0;
  }
}

OSErr MakeWorld(GWorldPtr* world, SInt32 depth, const Rect* bounds, CTabHandle table, GDHandle device, UInt32 flags,
                Ptr pixels, SInt32 rowBytes, bool ownPixels) {
  auto* port = new (std::nothrow) OpaqueGrafPtr{};
  PixMapHandle pm = port ? NewPixMap() : nullptr;
  if (!pm) {
    delete port;
    return memFullErr;
  }
  FillPixMap(pm, depth, bounds, pixels, rowBytes);
  if (depth <= 8) {
    (*pm)->pmTable = NewColorTable(SInt16(1 << depth));
    if (!(*pm)->pmTable) {
      DisposePixMap(pm);
      delete port;
      return memFullErr;
    }
    CTabHandle source = table ? table : NewGreyTable(depth);
    if (source) std::memcpy(*(*pm)->pmTable, *source, sizeof(ColorTable));
    if (!table) DisposeCTable(source);
  }
  port->portPixMap = pm;
  port->portRect = *bounds;
  port->device = device ? device : GetMainDevice();
  port->flags = flags;
  port->ownPixels = ownPixels;
  port->clipRgn = NewRgn();
  port->visRgn = NewRgn();
  RectRgn(port->clipRgn, bounds);
  RectRgn(port->visRgn, bounds);
  port->rgbFgColor = {0, 0, 0};
  port->rgbBkColor = {65535, 65535, 65535};
  port->fgColor = ColorToPixel(port->rgbFgColor, pm);
  port->bkColor = ColorToPixel(port->rgbBkColor, pm);
  port->pnSize = {1, 1};
  port->pnMode = srcCopy + 8;  // patCopy
  port->txMode = srcOr;
  *world = port;
  return noErr;
}

bool EmptyRect(const Rect* r) { return r->bottom <= r->top || r->right <= r->left; }

void StorePixel(Ptr row, SInt32 x, SInt32 depth, UInt32 value) {
  switch (depth) {
    case 32: reinterpret_cast<UInt32*>(row)[x] = value; break;
    case 16: reinterpret_cast<UInt16*>(row)[x] = UInt16(value); break;
    case 8: reinterpret_cast<UInt8*>(row)[x] = UInt8(value); break;
    default: {
      SInt32 bit = x * depth;
      UInt8 mask = UInt8(((1 << depth) - 1) << (8 - depth - bit % 8));
      UInt8& byte = reinterpret_cast<UInt8*>(row)[bit / 8];
      byte = UInt8((byte & ~mask) | ((value << (8 - depth - bit % 8)) & mask));
    }
  }
}

GDHandle NewScreenDevice(DisplayServices* services, DisplayID id, SInt16 index) {
  GDHandle device = NewHandleFor<GDevice>();
  PixMapHandle pm = device ? NewPixMap() : nullptr;
  if (!pm) {
    if (device) DisposeHandleFor(device);
    return nullptr;
  }
  DisplayBounds b = services->Bounds(id);
  Rect r{SInt16(b.y), SInt16(b.x), SInt16(b.y + b.height), SInt16(b.x + b.width)};
  // Frame buffers of 24 bits hold their pixels in 32.
  SInt32 depth = services->BitsPerPixel(id);
  if (depth > 16) depth = 32;
  if (!ValidDepth(depth)) depth = 32;
  FillPixMap(pm, depth, &r, nullptr, 0);
  // An indexed screen starts with the standard table of its depth.
  if (depth <= 8) (*pm)->pmTable = GetCTable(SInt16(depth));
  GDevice& d = **device;
  d.gdID = index;
  d.gdType = depth > 8 ? directType : clutType;
  d.gdFlags = SInt16((1 << gdDevType) | (1 << screenDevice));
  d.gdPMap = pm;
  d.gdRect = r;
  d.gdDisplayID = id;
  return device;
}

void BuildScreenDevices() {
  DisplayServices* services = GetDisplayServices();
  DisplayID ids[32];
  UInt32 count = 0;
  if (services->ActiveDisplays(32, ids, &count) != 0) return;
  GDHandle last = nullptr;
  for (UInt32 i = 0; i < count; i++) {
    GDHandle device = NewScreenDevice(services, ids[i], SInt16(i));
    if (!device) break;
    if (last)
      (*last)->gdNextGD = device;
    else
      deviceList = device;
    last = device;
  }
}

DisplayServices* installedServices;

}  // namespace

PixMapHandle NewPixMap() {
  PixMapHandle pm = NewHandleFor<PixMap>();
  if (!pm) return nullptr;
  (*pm)->hRes = kDefaultResolution;
  (*pm)->vRes = kDefaultResolution;
  return pm;
}

void DisposePixMap(PixMapHandle pm) {
  if (!pm) return;
  DisposeCTable((*pm)->pmTable);
  DisposeHandleFor(pm);
}

Ptr GetPixBaseAddr(PixMapHandle pm) { return pm ? (*pm)->baseAddr : nullptr; }

SInt32 GetPixRowBytes(PixMapHandle pm) { return pm ? (*pm)->rowBytes & 0x7FFF : 0; }

Boolean LockPixels(PixMapHandle pm) { return pm != nullptr; }

// Pixels never move in memory here, so locking and unlocking change nothing.
void UnlockPixels(PixMapHandle) {}

CTabHandle NewColorTable(SInt16 entries) {
  if (entries < 1 || entries > kMaxColorEntries) return nullptr;
  CTabHandle table = NewHandleFor<ColorTable>();
  if (table) (*table)->ctSize = SInt16(entries - 1);
  return table;
}

void DisposeCTable(CTabHandle table) {
  if (table) DisposeHandleFor(table);
}

OSErr NewGWorld(GWorldPtr* world, SInt16 depth, const Rect* bounds, CTabHandle table, GDHandle device, UInt32 flags) {
  *world = nullptr;
  if (depth == 0) {
    GDHandle main = GetMainDevice();
    depth = main ? (*(*main)->gdPMap)->pixelSize : 32;
  }
  if (!ValidDepth(depth) || !bounds || bounds->right < bounds->left || bounds->bottom < bounds->top) return paramErr;
  SInt32 width = bounds->right - bounds->left;
  SInt32 height = bounds->bottom - bounds->top;
  SInt32 rowBytes = (width * depth + 31) / 32 * 4;
  if (rowBytes > 0x7FFF) return paramErr;
  Ptr pixels = static_cast<Ptr>(std::calloc(size_t(rowBytes) * size_t(height) + 1, 1));
  if (!pixels) return memFullErr;
  OSErr err = MakeWorld(world, depth, bounds, table, device, flags, pixels, rowBytes, true);
  if (err) std::free(pixels);
  return err;
}

OSErr NewGWorldFromPtr(GWorldPtr* world, UInt32 depth, const Rect* bounds, CTabHandle table, GDHandle device,
                       UInt32 flags, Ptr pixels, SInt32 rowBytes) {
  *world = nullptr;
  if (!ValidDepth(SInt32(depth)) || !bounds || !pixels || rowBytes < 0 || rowBytes > 0x7FFF) return paramErr;
  if (bounds->right < bounds->left || bounds->bottom < bounds->top) return paramErr;
  return MakeWorld(world, SInt32(depth), bounds, table, device, flags, pixels, rowBytes, false);
}

void DisposeGWorld(GWorldPtr world) {
  if (!world) return;
  if (currentPort == world) currentPort = nullptr;
  if (world->ownPixels) std::free((*world->portPixMap)->baseAddr);
  DisposePixMap(world->portPixMap);
  DisposeRgn(world->clipRgn);
  DisposeRgn(world->visRgn);
  delete world;
}

PixMapHandle GetGWorldPixMap(GWorldPtr world) { return world ? world->portPixMap : nullptr; }

PixMapHandle GetPortPixMap(CGrafPtr port) { return GetGWorldPixMap(port); }

Rect* GetPortBounds(CGrafPtr port, Rect* bounds) {
  *bounds = port ? port->portRect : Rect{0, 0, 0, 0};
  return bounds;
}

OSErr LockPortBits(GWorldPtr world) { return world ? noErr : paramErr; }

OSErr UnlockPortBits(GWorldPtr world) { return world ? noErr : paramErr; }

void GetGWorld(CGrafPtr* port, GDHandle* device) {
  if (port) *port = currentPort;
  if (device) *device = currentDevice ? currentDevice : GetMainDevice();
}

void SetGWorld(CGrafPtr port, GDHandle device) {
  currentPort = port;
  currentDevice = device ? device : port && port->device ? port->device : GetMainDevice();
}

UInt32 ColorToPixel(const RGBColor& c, PixMapHandle pm) {
  SInt32 depth = DepthOf(pm);
  if (depth == 32) return (UInt32(c.red >> 8) << 16) | (UInt32(c.green >> 8) << 8) | UInt32(c.blue >> 8);
  if (depth == 16) return (UInt32(c.red >> 11) << 10) | (UInt32(c.green >> 11) << 5) | UInt32(c.blue >> 11);
  // Indexed: the nearest entry of the table, the first of equals.
  return UInt32(NearestIndex((*pm)->pmTable, c));
}

void RGBBackColor(const RGBColor* colour) {
  if (!currentPort) return;
  currentPort->rgbBkColor = *colour;
  currentPort->bkColor = ColorToPixel(*colour, currentPort->portPixMap);
}

void RGBForeColor(const RGBColor* colour) {
  if (!currentPort) return;
  currentPort->rgbFgColor = *colour;
  currentPort->fgColor = ColorToPixel(*colour, currentPort->portPixMap);
}

void EraseRect(const Rect* r) {
  if (!currentPort || !r) return;
  PixMap& p = **currentPort->portPixMap;
  Rect clip{std::max(r->top, p.bounds.top), std::max(r->left, p.bounds.left), std::min(r->bottom, p.bounds.bottom),
            std::min(r->right, p.bounds.right)};
  if (EmptyRect(&clip) || !p.baseAddr) return;
  SInt32 stride = p.rowBytes & 0x7FFF;
  SInt32 depth = DepthOf(currentPort->portPixMap);
  for (SInt32 y = clip.top; y < clip.bottom; y++) {
    Ptr row = p.baseAddr + SInt32(y - p.bounds.top) * stride;
    for (SInt32 x = clip.left; x < clip.right; x++) StorePixel(row, x - p.bounds.left, depth, currentPort->bkColor);
  }
}

void TextFace(SInt16 face) {
  if (currentPort) currentPort->txFace = UInt8(face);
}
void TextFont(SInt16 font) {
  if (currentPort) currentPort->txFont = font;
}
void TextMode(SInt16 mode) {
  if (currentPort) currentPort->txMode = mode;
}
void TextSize(SInt16 size) {
  if (currentPort) currentPort->txSize = size;
}
SInt16 GetPortTextFace(CGrafPtr port) { return port ? port->txFace : 0; }
SInt16 GetPortTextFont(CGrafPtr port) { return port ? port->txFont : 0; }
SInt16 GetPortTextMode(CGrafPtr port) { return port ? port->txMode : 0; }
SInt16 GetPortTextSize(CGrafPtr port) { return port ? port->txSize : 0; }

RgnHandle NewRgn() { return new (std::nothrow) OpaqueRgnHandle{}; }

void RectRgn(RgnHandle region, const Rect* r) {
  if (!region) return;
  delete[] region->mask;
  region->mask = nullptr;
  region->rgnBBox = EmptyRect(r) ? Rect{0, 0, 0, 0} : *r;
}

void DisposeRgn(RgnHandle region) {
  if (!region) return;
  delete[] region->mask;
  delete region;
}

GDHandle GetDeviceList() {
  if (!deviceList) BuildScreenDevices();
  return deviceList;
}

GDHandle GetNextDevice(GDHandle device) { return device ? (*device)->gdNextGD : nullptr; }

GDHandle GetMainDevice() { return GetDeviceList(); }

Boolean TestDeviceAttribute(GDHandle device, SInt16 attribute) {
  return device && ((*device)->gdFlags >> attribute) & 1;
}

void SetDeviceAttribute(GDHandle device, SInt16 attribute, Boolean value) {
  if (!device) return;
  SInt16 bit = SInt16(1 << attribute);
  (*device)->gdFlags = SInt16(value ? (*device)->gdFlags | bit : (*device)->gdFlags & ~bit);
}

void DisposeScreenDevices() {
  for (GDHandle device = deviceList; device;) {
    GDHandle next = (*device)->gdNextGD;
    if (currentDevice == device) currentDevice = nullptr;
    DisposePixMap((*device)->gdPMap);
    DisposeHandleFor(device);
    device = next;
  }
  deviceList = nullptr;
}

DisplayServices* GetDisplayServices() { return installedServices ? installedServices : SDLDisplayServices(); }

DisplayServices* SetDisplayServices(DisplayServices* services) {
  DisplayServices* previous = installedServices;
  DisposeScreenDevices();
  installedServices = services;
  return previous;
}

Boolean SectRect(const Rect* a, const Rect* b, Rect* out) {
  Rect r;
  r.top = a->top > b->top ? a->top : b->top;
  r.left = a->left > b->left ? a->left : b->left;
  r.bottom = a->bottom < b->bottom ? a->bottom : b->bottom;
  r.right = a->right < b->right ? a->right : b->right;
  const bool empty = r.bottom <= r.top || r.right <= r.left;
  if (empty) r = Rect{0, 0, 0, 0};
  *out = r;
  return !empty;
}
