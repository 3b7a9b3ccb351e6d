#include "graphics/PixMapRegistry.h"

#include <cstdint>

#include "foundation/ErrorDialog.h"
#include "foundation/HashTable.h"
#include "foundation/Memory.h"
#include "foundation/StringFunctions.h"
#include "graphics/ClutFading.h"
#include "graphics/PixmapText.h"
#include "graphics/Ports.h"
#include "shell/ApplInfo.h"

namespace {

UInt32 PixMapHashProc(const PixMapInfo* item, void*) { return UInt32(reinterpret_cast<std::uintptr_t>(item->pixMap)); }

unsigned char PixMapCompProc(const PixMapInfo* candidate, const PixMapInfo* wanted, void*) {
  return candidate->pixMap == wanted->pixMap;
}

const char kNotLocated[] = "Pixmap was not located in the list!";
const char kNotInList[] = "That pixmap was not in the list.";
const char kNotFound[] = "Could not find the pixmap!";

PixMapInfo* FindInfo(PixMapHandle pm) {
  PixMapInfo wanted{};
  wanted.pixMap = pm;
  return pixmapLIST.Find(&wanted);
}

// The record of a pixmap that must be registered; a missing one is fatal.
PixMapInfo* NeedInfo(PixMapHandle pm, const char* message, const char* where) {
  PixMapInfo* info = FindInfo(pm);
  if (!info) ErrorDialog(message, where, 0, 1);
  return info;
}

SInt32 DepthOf(PixMapHandle pm) { return (*pm)->pixelFormat ? SInt32((*pm)->pixelFormat) : (*pm)->pixelSize; }

SInt32 Width(const Rect* r) { return r->right - r->left; }
SInt32 Height(const Rect* r) { return r->bottom - r->top; }

void EraseWorld(GWorldPtr world, const Rect* r) {
  PushPort();
  SetGWorld(world, nullptr);
  EraseRect(r);
  PopPort();
}

// A failure of world creation: quiet without `report`, fatal with it.
OSErr WorldFailed(OSErr err, PixMapHandle* out, unsigned char report) {
  *out = nullptr;
  if (!report) return err ? err : OSErr(memFullErr);
  if (err)
    ErrorDialog("CreatePixMap() failed.", err, 0, 1);
  else
    ErrorDialog("CreatePixMap() failed because \"worldPtr\" is nil.", "", 0, 1);
  return err ? err : OSErr(memFullErr);
}

// A bare pixmap for when no registry is installed: 16-bit for depths up to
// 16, else 32-bit. Rows that do not fit the 15-bit stride are refused.
OSErr CreateBarePixMap(char depth, PixMapHandle* out, const Rect* r, unsigned char erase) {
  *out = nullptr;
  SInt32 d = depth <= 16 ? 16 : 32;
  SInt32 width = Width(r), height = Height(r);
  if (width < 0 || height < 0 || d * width / 8 > 0x7FFF) return paramErr;
  SInt32 rowBytes = d * width / 8;
  PixMapHandle pm = NewPixMap();
  if (!pm) return memFullErr;
  Ptr pixels = NewPtr(rowBytes * height);
  if (!pixels) {
    DisposePixMap(pm);
    return MemError() ? MemError() : OSErr(memFullErr);
  }
  PixMap& p = **pm;
  p.baseAddr = pixels;
  p.rowBytes = SInt16(rowBytes | kRowBytesFlag);
  p.bounds = Rect{0, 0, SInt16(height), SInt16(width)};
  p.pixelType = 0;
  p.pixelSize = SInt16(d);
  p.cmpCount = 1;
  p.cmpSize = d == 16 ? 5 : 8;
  p.pixelFormat = OSType(d);
  *out = pm;
  if (erase) {
    GWorldPtr world;
    OSErr err = NewGWorldFromPtr(&world, UInt32(d), &p.bounds, nullptr, nullptr, 0, pixels, rowBytes);
    if (err) {
      DestroyPixMap(out);
      return err;
    }
    EraseWorld(world, &p.bounds);
    DisposeGWorld(world);
  }
  return noErr;
}

// The empty-slot form of DestroyPixMap: the bare pixmap and its pixels.
void DestroyBarePixMap(PixMapHandle* pm) {
  if (!pm || !*pm) return;
  if ((**pm)->baseAddr) {
    DisposePtr((**pm)->baseAddr);
    (**pm)->baseAddr = nullptr;
  }
  DisposePixMap(*pm);
  *pm = nullptr;
}

// Replaces the world by one over a block whose rows are whole groups of 32
// pixels and whose first pixel lies on a 32-byte boundary.
OSErr AlignWorld(GWorldPtr* world, PixMapHandle* out, const Rect* r, unsigned char report, UInt8* alignOffset) {
  SInt32 depth = (**out)->pixelSize;
  SInt32 width = Width(r) > 0 ? Width(r) : 0;
  SInt32 rowBytes = (width + 31) / 32 * depth * 4;
  SInt32 size = Height(r) * rowBytes + 32;
  DisposeGWorld(*world);
  *world = nullptr;
  if (rowBytes > 0x7FFF) return WorldFailed(paramErr, out, report);
  Ptr block = NewPtr(size > 0 ? size : 0);
  if (!block) {
    *out = nullptr;
    if (report) ErrorDialog("CreatePixMap() failed because \"mem\" is nil.", "", 0, 1);
    return memFullErr;
  }
  UInt32 misalignment = UInt32(reinterpret_cast<std::uintptr_t>(block) % 32);
  *alignOffset = UInt8(misalignment ? 32 - misalignment : 0);
  OSErr err = NewGWorldFromPtr(world, UInt32(depth), r, nullptr, nullptr, kGWorldFlags, block + *alignOffset, rowBytes);
  if (err || !*world) {
    DisposePtr(block);
    return WorldFailed(err, out, report);
  }
  *out = GetGWorldPixMap(*world);
  return noErr;
}

}  // namespace

HashTableTemplate<PixMapInfo> pixmapLIST(PixMapHashProc, nullptr, PixMapCompProc, nullptr, 257, 0,
                                         reinterpret_cast<const unsigned char*>("\x0ApixmapLIST"));
UInt8 pixMapsInited;

OSErr CreatePixMap(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                   unsigned char erase) {
  if (QKEL[kQKELCreatePixMap])
    return reinterpret_cast<CreatePixMapProc>(QKEL[kQKELCreatePixMap])(depth, out, r, report, aligned, erase);
  return CreateBarePixMap(depth, out, r, erase);
}

void DestroyPixMap(PixMapHandle* pm) {
  if (QKEL[kQKELDestroyPixMap])
    reinterpret_cast<DestroyPixMapProc>(QKEL[kQKELDestroyPixMap])(pm);
  else
    DestroyBarePixMap(pm);
}

GWorldPtr GetPixMapGWorld(PixMapHandle pm) {
  if (!QKEL[kQKELGetPixMapGWorld]) return nullptr;
  return reinterpret_cast<GetPixMapGWorldProc>(QKEL[kQKELGetPixMapGWorld])(pm);
}

PixMapHandle GetPixMapAlpha(PixMapHandle pm) {
  if (!QKEL[kQKELGetPixMapAlpha]) return nullptr;
  return reinterpret_cast<GetPixMapAlphaProc>(QKEL[kQKELGetPixMapAlpha])(pm);
}

void SetPort_(PixMapHandle pm, GDHandle device) {
  if (QKEL[kQKELSetPort]) reinterpret_cast<SetPortProc>(QKEL[kQKELSetPort])(pm, device);
}

GWorldPtr CreateBufferedGWorld(WindowRef w, char depth, short width, short height) {
  if (!QKEL[kQKELCreateBufferedGWorld]) return nullptr;
  return reinterpret_cast<CreateBufferedGWorldProc>(QKEL[kQKELCreateBufferedGWorld])(w, depth, width, height);
}

void InitPixMaps() {
  if (pixMapsInited) return;
  QKEL[kQKELCreatePixMap] = reinterpret_cast<QKELProc>(CreatePixMap_Graphics);
  QKEL[kQKELDestroyPixMap] = reinterpret_cast<QKELProc>(DestroyPixMap_Graphics);
  QKEL[kQKELGetPixMapGWorld] = reinterpret_cast<QKELProc>(GetPixMapGWorld_Graphics);
  QKEL[kQKELGetPixMapAlpha] = reinterpret_cast<QKELProc>(GetPixMapAlpha_Graphics);
  QKEL[kQKELSetPort] = reinterpret_cast<QKELProc>(SetPort_PixMap);
  QKEL[kQKELCreateBufferedGWorld] = reinterpret_cast<QKELProc>(CreateBufferedGWorld_Graphics);
  InstallStyledTextDrawing();
  pixMapsInited = 1;
}

void DisposePixMaps() { pixMapsInited = 0; }

// A failed allocation of aligned pixels is reported as memFullErr, never as
// success with no pixmap.
OSErr CreatePixMap_Graphics(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                            unsigned char erase) {
  InitPixMaps();
  GWorldPtr world = nullptr;
  OSErr err = NewGWorld(&world, depth, r, nullptr, nullptr, kGWorldFlags);
  if (err || !world) return WorldFailed(err, out, report);
  LockPortBits(world);
  *out = GetGWorldPixMap(world);
  LockPixels(*out);
  UInt8 alignOffset = 0;
  if (aligned) {
    err = AlignWorld(&world, out, r, report, &alignOffset);
    if (err) return err;
  }
  if (erase) EraseWorld(world, r);
  auto* info = new PixMapInfo{};
  info->pixMap = *out;
  info->world = world;
  info->ownMemory = aligned;
  info->alignOffset = alignOffset;
  CToPStr("(unnamed pixmap)", info->name);
  pixmapLIST.Add(info);
  return noErr;
}

OSErr CreatePixMap2(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                    unsigned char erase) {
  OSErr err = CreatePixMap(depth, out, r, report, aligned, erase);
  if (err) return err;
  PixMapInfo* info = NeedInfo(*out, kNotLocated, "CreatePixMap2()");
  if (!info) return paramErr;
  err = CreatePixMap(8, &info->alphaMap, r, report, aligned, erase);
  if (err) DestroyPixMap(out);
  return err;
}

void DestroyPixMap_Graphics(PixMapHandle* pm) {
  if (!pm || !*pm) return;
  PixMapInfo* info = NeedInfo(*pm, kNotLocated, "DestroyPixMap()");
  if (!info) return;
  DestroyPixMap(&info->alphaMap);
  Ptr block = info->ownMemory ? (**pm)->baseAddr - info->alignOffset : nullptr;
  DisposeGWorld(info->world);
  if (block) DisposePtr(block);
  pixmapLIST.Remove(info);
  delete info;
  *pm = nullptr;
}

// Windows draw through OpenGL and have no pixel map of their own, so only
// registered pixmaps have a world.
GWorldPtr GetPixMapGWorld_Graphics(PixMapHandle pm) {
  PixMapInfo* info = FindInfo(pm);
  if (info) return info->world;
  ErrorDialog("GetPixMapGWorld() failed.", "", 0, 1);
  return nullptr;
}

PixMapHandle GetPixMapAlpha_Graphics(PixMapHandle pm) {
  PixMapInfo* info = NeedInfo(pm, kNotLocated, "GetPixMapAlpha()");
  return info ? info->alphaMap : nullptr;
}

void SetPort_PixMap(PixMapHandle pm, GDHandle device) { SetGWorld(GetPixMapGWorld(pm), device); }

void SetPixMapName(PixMapHandle pm, const unsigned char* name) {
  if (PixMapInfo* info = NeedInfo(pm, kNotLocated, "SetPixMapName()")) CopyString255(name, info->name);
}

void GetPixMapName(PixMapHandle pm, unsigned char* name) {
  if (PixMapInfo* info = NeedInfo(pm, kNotInList, "GetPixMapName()")) CopyString255(info->name, name);
}

void SetPixMapPictName(PixMapHandle pm, const unsigned char* name) {
  if (PixMapInfo* info = NeedInfo(pm, kNotLocated, "SetPixMapPictName()")) CopyString255(name, info->pictName);
}

void GetPixMapPictName(PixMapHandle pm, unsigned char* name) {
  if (PixMapInfo* info = NeedInfo(pm, kNotInList, "GetPixMapPictName()")) CopyString255(info->pictName, name);
}

void SetPixMapInUse(PixMapHandle pm, unsigned char inUse) {
  if (PixMapInfo* info = NeedInfo(pm, kNotLocated, "SetPixMapInUse()")) info->inUse = inUse;
}

UInt8 GetPixMapInUse(PixMapHandle pm) {
  PixMapInfo* info = NeedInfo(pm, kNotInList, "GetInUse()");
  return info ? info->inUse : 0;
}

void SetClutUpdate(PixMapHandle pm, unsigned char update) {
  if (PixMapInfo* info = NeedInfo(pm, kNotLocated, "SetClutUpdate()")) info->clutUpdate = update;
}

UInt8 GetClutUpdate(PixMapHandle pm) {
  PixMapInfo* info = NeedInfo(pm, kNotLocated, "GetClutUpdate()");
  return info ? info->clutUpdate : 0;
}

void LockPixMaps() {
  for (PixMapInfo* info = pixmapLIST.First(); info; info = pixmapLIST.Next(info)) {
    if (info->ownMemory) continue;
    LockPortBits(info->world);
    LockPixels(info->pixMap);
  }
  APPL.LockLocalPixMaps();
}

void UnlockPixMaps() {
  for (PixMapInfo* info = pixmapLIST.First(); info; info = pixmapLIST.Next(info)) {
    if (info->ownMemory) continue;
    UnlockPixels(info->pixMap);
    UnlockPortBits(info->world);
  }
  APPL.UnlockLocalPixMaps();
}

// A window here is drawn through OpenGL and has no back buffer in memory to
// alias, so a buffered world always keeps its own pixels.
GWorldPtr CreateBufferedGWorld_Graphics(WindowRef w, char depth, short width, short height) {
  PixMapHandle pm = nullptr;
  Rect r{0, 0, height, width};
  CreatePixMap(depth, &pm, &r, 1, 1, 1);
  if (!pm) return nullptr;
  GWorldPtr world = GetPixMapGWorld(pm);
  if (depth >= 9) {
    if (PixMapInfo* info = NeedInfo(pm, kNotFound, "")) {
      info->savedWorld = nullptr;
      info->aliased = 0;
    }
  }
  RealignBufferedGWorld(&world, w);
  return GetPixMapGWorld(GetGWorldPixMap(world));
}

UInt8 RealignBufferedGWorld(GWorldPtr* world, WindowRef) {
  if (world && *world && DepthOf(GetGWorldPixMap(*world)) >= 9) NeedInfo(GetGWorldPixMap(*world), kNotFound, "");
  return 0;
}

void DestroyBufferedGWorld(GWorldPtr* world) {
  if (!world || !*world) return;
  PixMapHandle pm = GetGWorldPixMap(*world);
  if (DepthOf(pm) > 8 && !NeedInfo(pm, kNotFound, "")) return;
  DestroyPixMap(&pm);
  *world = nullptr;
}

UInt8 SaveBufferedGWorld(GWorldPtr world, WindowRef) {
  if (world && DepthOf(GetGWorldPixMap(world)) > 8) NeedInfo(GetGWorldPixMap(world), kNotFound, "");
  return 0;
}

UInt8 RestoreBufferedGWorld(GWorldPtr world, WindowRef) {
  if (world && DepthOf(GetGWorldPixMap(world)) > 8) NeedInfo(GetGWorldPixMap(world), kNotFound, "");
  return 0;
}

Ptr GetWindowBufferBaseAddr(WindowRef) { return nullptr; }

void ResetGWorldClut(GWorldPtr world) {
  if (!world || !mainCLUT) return;
  PixMapHandle pm = GetGWorldPixMap(world);
  if (!pm || (*pm)->pixelSize > 8 || !(*pm)->pmTable) return;
  static PaletteHandle palette;
  PushPort();
  SetGWorld(world, nullptr);
  if (!palette)
    palette = NewPalette(256, mainCLUT, pmExplicit, 0);
  else
    CTab2Palette(mainCLUT, palette, pmExplicit, 0);
  CTabHandle table = (*pm)->pmTable;
  Palette2CTab(palette, table);
  (*table)->ctFlags |= 0x8000;
  SetPortPalette(world, palette);
  (*table)->ctSeed = (*mainCLUT)->ctSeed;
  PopPort();
}
