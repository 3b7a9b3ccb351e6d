#include "platform/QuickDrawPicture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <utility>
#include <vector>

#include "platform/PlatformFiles.h"
#include "platform/QuickDrawColor.h"

namespace {

PicHandle openPicture;

// The icon files registered, by creator and type; a later registration of
// the same pair replaces the earlier one.
std::map<std::pair<OSType, OSType>, std::string>& IconRegistry() {
  static std::map<std::pair<OSType, OSType>, std::string> registry;
  return registry;
}

UInt32 Packed(const RGBColor& c) {
  return (UInt32(c.red >> 8) << 16) | (UInt32(c.green >> 8) << 8) | UInt32(c.blue >> 8);
}

RGBColor Unpacked(UInt32 p) {
  return {UInt16(((p >> 16) & 0xFF) * 257), UInt16(((p >> 8) & 0xFF) * 257), UInt16((p & 0xFF) * 257)};
}

SInt32 Width(const Rect& r) { return r.right - r.left; }
SInt32 Height(const Rect& r) { return r.bottom - r.top; }

void StoreColor(PixMapHandle pm, SInt32 x, SInt32 y, const RGBColor& c) {
  PixMap& p = **pm;
  UInt8* row = reinterpret_cast<UInt8*>(p.baseAddr) + SInt32(y - p.bounds.top) * (p.rowBytes & 0x7FFF);
  SInt32 col = x - p.bounds.left;
  SInt32 depth = p.pixelFormat ? SInt32(p.pixelFormat) : p.pixelSize;
  UInt32 value = ColorToPixel(c, pm);
  if (depth == 32)
    reinterpret_cast<UInt32*>(row)[col] = value;
  else if (depth == 16)
    reinterpret_cast<UInt16*>(row)[col] = UInt16(value);
  else {
    SInt32 bit = col * depth;
    UInt8 mask = UInt8(((1 << depth) - 1) << (8 - depth - bit % 8));
    row[bit / 8] = UInt8((row[bit / 8] & ~mask) | ((value << (8 - depth - bit % 8)) & mask));
  }
}

// Walks the destination pixels of a scaled copy that lie inside `clip`,
// handing each to `put` with the source pixel it takes.
template <typename Put>
void EachScaledPixel(const Rect& src, const Rect& dst, const Rect& clip, Put put) {
  SInt32 sw = Width(src), sh = Height(src), dw = Width(dst), dh = Height(dst);
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  SInt32 top = std::max<SInt32>(dst.top, clip.top), bottom = std::min<SInt32>(dst.bottom, clip.bottom);
  SInt32 left = std::max<SInt32>(dst.left, clip.left), right = std::min<SInt32>(dst.right, clip.right);
  for (SInt32 y = top; y < bottom; y++) {
    SInt32 sy = src.top + SInt32(SInt64(y - dst.top) * sh / dh);
    for (SInt32 x = left; x < right; x++) put(x, y, src.left + SInt32(SInt64(x - dst.left) * sw / dw), sy);
  }
}

}  // namespace

PicHandle NewPictureFromPixels(const Rect* frame, const UInt32* pixels) {
  if (!frame || Width(*frame) <= 0 || Height(*frame) <= 0) return nullptr;
  size_t count = size_t(Width(*frame)) * size_t(Height(*frame));
  auto* block = new (std::nothrow) Picture{*frame, Width(*frame), Height(*frame), nullptr, nullptr};
  UInt32* copy = block ? new (std::nothrow) UInt32[count]() : nullptr;
  PicHandle handle = copy ? new (std::nothrow) PicPtr(block) : nullptr;
  if (!handle) {
    delete[] copy;
    delete block;
    return nullptr;
  }
  if (pixels) std::memcpy(copy, pixels, count * sizeof(UInt32));
  block->pixels = copy;
  return handle;
}

PicHandle OpenPicture(const Rect* frame) {
  CGrafPtr port;
  GetGWorld(&port, nullptr);
  if (openPicture || !port) return nullptr;
  PicHandle picture = NewPictureFromPixels(frame, nullptr);
  if (picture) (*picture)->recordingPort = port;
  openPicture = picture;
  return picture;
}

void ClosePicture() {
  if (openPicture) (*openPicture)->recordingPort = nullptr;
  openPicture = nullptr;
}

void KillPicture(PicHandle picture) {
  if (!picture) return;
  if (picture == openPicture) openPicture = nullptr;
  delete[](*picture)->pixels;
  delete *picture;
  delete picture;
}

Rect* QDGetPictureBounds(PicHandle picture, Rect* bounds) {
  *bounds = picture ? (*picture)->picFrame : Rect{0, 0, 0, 0};
  return bounds;
}

void DrawPicture(PicHandle picture, const Rect* destination) {
  CGrafPtr port;
  GetGWorld(&port, nullptr);
  if (!picture || !destination || !port || !port->portPixMap || !(*port->portPixMap)->baseAddr) return;
  const Picture& p = **picture;
  Rect source{0, 0, SInt16(p.height), SInt16(p.width)};
  EachScaledPixel(source, *destination, (*port->portPixMap)->bounds, [&](SInt32 x, SInt32 y, SInt32 sx, SInt32 sy) {
    StoreColor(port->portPixMap, x, y, Unpacked(p.pixels[sy * p.width + sx]));
  });
}

void CopyBits(PixMapHandle source, PixMapHandle destination, const Rect* srcRect, const Rect* dstRect, SInt16 mode,
              RgnHandle mask) {
  if (!source || !destination || !srcRect || !dstRect || (mode != srcCopy && mode != transparent)) return;
  if (!(*source)->baseAddr || !(*destination)->baseAddr) return;
  // Transparent copies leave out the source pixels of the current port's
  // background colour, compared at the source's depth.
  CGrafPtr port;
  GetGWorld(&port, nullptr);
  RGBColor key = port ? port->rgbBkColor : RGBColor{65535, 65535, 65535};
  UInt32 keyPixel = ColorToPixel(key, source);
  Rect clip = (*destination)->bounds;
  if (mask) {
    clip.top = std::max(clip.top, mask->rgnBBox.top), clip.left = std::max(clip.left, mask->rgnBBox.left);
    clip.bottom = std::min(clip.bottom, mask->rgnBBox.bottom), clip.right = std::min(clip.right, mask->rgnBBox.right);
  }
  // Reading everything first lets a pixmap be copied onto itself.
  std::vector<std::pair<Point, RGBColor>> pixels;
  EachScaledPixel(*srcRect, *dstRect, clip, [&](SInt32 x, SInt32 y, SInt32 sx, SInt32 sy) {
    Point at{SInt16(y), SInt16(x)};
    if (mask && !PtInRgn(at, mask)) return;
    RGBColor colour = PixelColor(source, sx, sy);
    if (mode == transparent && ColorToPixel(colour, source) == keyPixel) return;
    pixels.push_back({at, colour});
  });
  Picture* recording = openPicture ? *openPicture : nullptr;
  bool record = recording && recording->recordingPort && recording->recordingPort->portPixMap == destination;
  for (const auto& [at, colour] : pixels) {
    StoreColor(destination, at.h, at.v, colour);
    if (!record) continue;
    SInt32 px = at.h - recording->picFrame.left, py = at.v - recording->picFrame.top;
    if (px >= 0 && px < recording->width && py >= 0 && py < recording->height)
      recording->pixels[py * recording->width + px] = Packed(colour);
  }
}

OSErr RegisterIconRefFromIconFile(OSType creator, OSType type, const char* path, IconRef* icon) {
  *icon = nullptr;
  FILE* file = path ? OpenRegularFileForReading(path) : nullptr;
  if (!file) return fnfErr;
  unsigned char signature[8] = {};
  size_t got = std::fread(signature, 1, 8, file);
  std::fclose(file);
  const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (got != 8 || std::memcmp(signature, png, 8) != 0) return -1;
  *icon = new (std::nothrow) OpaqueIconRef{path, creator, type};
  if (!*icon) return memFullErr;
  IconRegistry()[{creator, type}] = path;
  return noErr;
}

OSErr GetIconRef(SInt16, OSType creator, OSType type, IconRef* icon) {
  if (!icon) return paramErr;
  *icon = nullptr;
  auto found = IconRegistry().find({creator, type});
  if (found == IconRegistry().end()) return noSuchIconErr;
  *icon = new (std::nothrow) OpaqueIconRef{found->second, creator, type};
  return *icon ? noErr : memFullErr;
}

void ReleaseIconRef(IconRef icon) { delete icon; }
