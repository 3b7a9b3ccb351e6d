// The registry of offscreen pixel maps. Every pixmap the engine draws into
// in software lives in an offscreen world made here and is recorded in
// pixmapLIST under its PixMap handle, with its world, its alpha mask, its
// names and flags. The engine reaches these functions through slots 1 to 6
// of the hook table, which InitPixMaps fills; the dispatchers below call the
// slots and fall back to bare pixmaps while they are empty.
#pragma once

#include "platform/QuickDraw.h"

struct PixMapInfo {
  PixMapInfo* prev;
  PixMapInfo* next;
  PixMapHandle pixMap;
  PixMapHandle alphaMap;
  GWorldPtr world;
  UInt8 clutUpdate;
  UInt8 inUse;
  UInt8 ownMemory;
  UInt8 alignOffset;
  Str255 name;
  Str255 pictName;
  GWorldPtr savedWorld;
  UInt8 aliased;
};

template <typename T>
class HashTableTemplate;
extern HashTableTemplate<PixMapInfo> pixmapLIST;
extern UInt8 pixMapsInited;

enum : UInt32 { kGWorldFlags = keepLocal | kNativeEndianPixMap };  // 264

enum {
  kQKELCreatePixMap = 1,
  kQKELDestroyPixMap = 2,
  kQKELGetPixMapGWorld = 3,
  kQKELGetPixMapAlpha = 4,
  kQKELSetPort = 5,
  kQKELCreateBufferedGWorld = 6,
};
typedef OSErr (*CreatePixMapProc)(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                                  unsigned char erase);
typedef void (*DestroyPixMapProc)(PixMapHandle* pm);
typedef GWorldPtr (*GetPixMapGWorldProc)(PixMapHandle pm);
typedef PixMapHandle (*GetPixMapAlphaProc)(PixMapHandle pm);
typedef void (*SetPortProc)(PixMapHandle pm, GDHandle device);
typedef GWorldPtr (*CreateBufferedGWorldProc)(WindowRef w, char depth, short width, short height);

// Dispatchers of slots 1 to 6.
OSErr CreatePixMap(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                   unsigned char erase);
void DestroyPixMap(PixMapHandle* pm);
GWorldPtr GetPixMapGWorld(PixMapHandle pm);
PixMapHandle GetPixMapAlpha(PixMapHandle pm);
void SetPort_(PixMapHandle pm, GDHandle device);
GWorldPtr CreateBufferedGWorld(WindowRef w, char depth, short width, short height);

void InitPixMaps();
void DisposePixMaps();
OSErr CreatePixMap_Graphics(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                            unsigned char erase);
OSErr CreatePixMap2(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                    unsigned char erase);
void DestroyPixMap_Graphics(PixMapHandle* pm);
GWorldPtr GetPixMapGWorld_Graphics(PixMapHandle pm);
PixMapHandle GetPixMapAlpha_Graphics(PixMapHandle pm);
void SetPort_PixMap(PixMapHandle pm, GDHandle device);

void SetPixMapName(PixMapHandle pm, const unsigned char* name);
void GetPixMapName(PixMapHandle pm, unsigned char* name);
void SetPixMapPictName(PixMapHandle pm, const unsigned char* name);
void GetPixMapPictName(PixMapHandle pm, unsigned char* name);
void SetPixMapInUse(PixMapHandle pm, unsigned char inUse);
UInt8 GetPixMapInUse(PixMapHandle pm);
void SetClutUpdate(PixMapHandle pm, unsigned char update);
UInt8 GetClutUpdate(PixMapHandle pm);
void LockPixMaps();
void UnlockPixMaps();

GWorldPtr CreateBufferedGWorld_Graphics(WindowRef w, char depth, short width, short height);
UInt8 RealignBufferedGWorld(GWorldPtr* world, WindowRef w);
void DestroyBufferedGWorld(GWorldPtr* world);
UInt8 SaveBufferedGWorld(GWorldPtr world, WindowRef w);
UInt8 RestoreBufferedGWorld(GWorldPtr world, WindowRef w);
Ptr GetWindowBufferBaseAddr(WindowRef w);
// Gives an indexed world the game's colour table (mainCLUT) through a
// palette kept for the whole run, marked as a device table; deeper worlds
// and null are left alone.
void ResetGWorldClut(GWorldPtr world);
