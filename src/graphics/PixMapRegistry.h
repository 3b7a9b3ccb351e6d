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

// Dispatchers of slots 1 to 6. While a slot is empty: CreatePixMap makes a
// bare 16- or 32-bit pixmap (no world, not registered; paramErr for a
// negative or too wide rectangle) and DestroyPixMap frees one; the others
// answer null or do nothing.
OSErr CreatePixMap(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                   unsigned char erase);
void DestroyPixMap(PixMapHandle* pm);
GWorldPtr GetPixMapGWorld(PixMapHandle pm);
PixMapHandle GetPixMapAlpha(PixMapHandle pm);
void SetPort_(PixMapHandle pm, GDHandle device);
GWorldPtr CreateBufferedGWorld(WindowRef w, char depth, short width, short height);

// Fills slots 1 to 6 with the registry's functions below (once) and installs
// the styled-text drawing.
void InitPixMaps();
// Lets InitPixMaps fill the slots again; the slots and the pixmaps stay as
// they are.
void DisposePixMaps();
// A registered pixmap of `depth` bits over `r` in a world of its own, its
// pixels locked. `aligned`: rows of whole groups of 32 pixels from a 32-byte
// boundary, in memory the registry owns; `erase`: cleared to the background.
// On failure *out is null and the error returned; with `report` the failure
// is also a fatal error dialog.
OSErr CreatePixMap_Graphics(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                            unsigned char erase);
// CreatePixMap with an 8-bit alpha mask of the same size (GetPixMapAlpha).
OSErr CreatePixMap2(char depth, PixMapHandle* out, Rect* r, unsigned char report, unsigned char aligned,
                    unsigned char erase);
// Frees a registered pixmap with its alpha mask, world and memory, and
// clears *pm.
void DestroyPixMap_Graphics(PixMapHandle* pm);
// The world or the alpha mask (null when none) of a registered pixmap.
GWorldPtr GetPixMapGWorld_Graphics(PixMapHandle pm);
PixMapHandle GetPixMapAlpha_Graphics(PixMapHandle pm);
// Makes the pixmap's world the current port.
void SetPort_PixMap(PixMapHandle pm, GDHandle device);

// The record's names and flags, kept for the engine: the pixmap's name
// ("(unnamed pixmap)" at first), the name of the picture it holds, whether
// it is in use and whether its colour table needs updating. A pixmap that is
// not registered is a fatal error dialog, as for the functions above.
void SetPixMapName(PixMapHandle pm, const unsigned char* name);
void GetPixMapName(PixMapHandle pm, unsigned char* name);
void SetPixMapPictName(PixMapHandle pm, const unsigned char* name);
void GetPixMapPictName(PixMapHandle pm, unsigned char* name);
void SetPixMapInUse(PixMapHandle pm, unsigned char inUse);
UInt8 GetPixMapInUse(PixMapHandle pm);
void SetClutUpdate(PixMapHandle pm, unsigned char update);
UInt8 GetClutUpdate(PixMapHandle pm);
// Locks (or unlocks) the pixels of every registered pixmap but the aligned
// ones, then the application's own pixmaps.
void LockPixMaps();
void UnlockPixMaps();

// A window's back-buffer world: a registered, aligned, erased pixmap of the
// size. Windows draw through OpenGL with no back buffer in memory, so it
// always keeps its own pixels; realigning, saving and restoring it only
// check that it is registered (0), and a window has no buffer address.
GWorldPtr CreateBufferedGWorld_Graphics(WindowRef w, char depth, short width, short height);
UInt8 RealignBufferedGWorld(GWorldPtr* world, WindowRef w);
// Destroys the world's pixmap and clears *world.
void DestroyBufferedGWorld(GWorldPtr* world);
UInt8 SaveBufferedGWorld(GWorldPtr world, WindowRef w);
UInt8 RestoreBufferedGWorld(GWorldPtr world, WindowRef w);
Ptr GetWindowBufferBaseAddr(WindowRef w);
// Gives an indexed world the game's colour table (mainCLUT) through a
// palette kept for the whole run, marked as a device table; deeper worlds
// and null are left alone.
void ResetGWorldClut(GWorldPtr world);
