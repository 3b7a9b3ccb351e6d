// Our own drawing records: pixel maps, offscreen worlds (ports), screen
// devices, colour tables and regions, with the current port and device.
// Pixels are native-endian: 8-bit pixels index the pixmap's colour table,
// 16-bit pixels are 1-5-5-5 (red in bits 10-14, green 5-9, blue 0-4, bit 15
// free for the blitter), 32-bit pixels are 0xAARRGGBB.
// Records live behind handles (T**): the master pointer stays put, so a
// handle keeps its identity for the registries that key on it.
#pragma once

#include "platform/PlatformTypes.h"

struct ColorSpec {
  SInt16 value;
  RGBColor rgb;
};

enum { kMaxColorEntries = 256 };

// ctSize is the number of valid entries minus one.
struct ColorTable {
  SInt32 ctSeed;
  UInt16 ctFlags;  // 0x8000: a device table (entries are indices, not values)
  SInt16 ctSize;
  ColorSpec ctTable[kMaxColorEntries];
};
typedef ColorTable* CTabPtr;
typedef CTabPtr* CTabHandle;

enum : UInt16 { kRowBytesFlag = 0x8000 };
enum : SInt16 { kIndexedPixelType = 0, kDirectPixelType = 16 };
enum : Fixed { kDefaultResolution = 0x00480000 };  // 72 dpi

struct PixMap {
  Ptr baseAddr;
  SInt16 rowBytes;  // stride in the low 15 bits, kRowBytesFlag set
  Rect bounds;
  SInt16 pmVersion;
  SInt16 packType;
  SInt32 packSize;
  Fixed hRes;
  Fixed vRes;
  SInt16 pixelType;
  SInt16 pixelSize;
  SInt16 cmpCount;
  SInt16 cmpSize;
  OSType pixelFormat;  // the depth as a number (16 or 32) for direct pixels, else 0
  CTabHandle pmTable;
  Handle pmExt;
};
typedef PixMap* PixMapPtr;
typedef PixMapPtr* PixMapHandle;

// Device attribute bits of gdFlags.
enum { gdDevType = 0, screenDevice = 13, noDriver = 14 };
enum : SInt16 { clutType = 0, fixedType = 1, directType = 2 };

struct GDevice {
  SInt16 gdID;
  SInt16 gdType;
  SInt16 gdFlags;
  PixMapHandle gdPMap;
  GDevice** gdNextGD;
  Rect gdRect;
  UInt32 gdDisplayID;  // the display services' id of the screen it stands for
};
typedef GDevice* GDPtr;
typedef GDPtr* GDHandle;

// A region: its bounding rectangle, optionally narrowed by a mask of one byte
// per pixel of the bounds (non-zero = inside).
struct OpaqueRgnHandle {
  Rect rgnBBox;
  UInt8* mask;
};
typedef OpaqueRgnHandle* RgnHandle;

// Text styles of txFace.
enum : UInt8 { normal = 0, bold = 1, italic = 2, underline = 4, outline = 8, shadow = 16, condense = 32, extend = 64 };
enum : SInt16 { srcCopy = 0, srcOr = 1, srcXor = 2, srcBic = 3, transparent = 36 };

struct Palette;

// A port: a window's or an offscreen world's drawing state.
struct OpaqueGrafPtr {
  PixMapHandle portPixMap;
  Rect portRect;
  GDHandle device;
  UInt32 flags;       // the flags the world was created with
  Boolean ownPixels;  // the pixels were allocated with the world
  RgnHandle clipRgn;
  RgnHandle visRgn;
  RGBColor rgbFgColor;
  RGBColor rgbBkColor;
  UInt32 fgColor;  // the colours as pixel values of the port's depth
  UInt32 bkColor;
  Point pnLoc;
  Point pnSize;
  SInt16 pnMode;
  SInt16 txFont;
  UInt8 txFace;
  SInt16 txMode;
  SInt16 txSize;
  Palette** palette;  // attached, not owned
};
typedef OpaqueGrafPtr* CGrafPtr;
typedef CGrafPtr GWorldPtr;
typedef CGrafPtr GrafPtr;

// Offscreen-world flags.
enum : UInt32 { keepLocal = 8, kNativeEndianPixMap = 256 };

// Pixel maps.
PixMapHandle NewPixMap();
void DisposePixMap(PixMapHandle pm);
Ptr GetPixBaseAddr(PixMapHandle pm);
SInt32 GetPixRowBytes(PixMapHandle pm);  // without the flag
Boolean LockPixels(PixMapHandle pm);
void UnlockPixels(PixMapHandle pm);

// Colour tables.
CTabHandle NewColorTable(SInt16 entries);
void DisposeCTable(CTabHandle table);

// Offscreen worlds. Depth 0 takes the main device's depth; the pixels of
// NewGWorld are allocated with the world and zero-filled. Results: noErr,
// paramErr for a bad depth or size, memFullErr.
OSErr NewGWorld(GWorldPtr* world, SInt16 depth, const Rect* bounds, CTabHandle table, GDHandle device, UInt32 flags);
OSErr NewGWorldFromPtr(GWorldPtr* world, UInt32 depth, const Rect* bounds, CTabHandle table, GDHandle device,
                       UInt32 flags, Ptr pixels, SInt32 rowBytes);
void DisposeGWorld(GWorldPtr world);
PixMapHandle GetGWorldPixMap(GWorldPtr world);
PixMapHandle GetPortPixMap(CGrafPtr port);
Rect* GetPortBounds(CGrafPtr port, Rect* bounds);
OSErr LockPortBits(GWorldPtr world);
OSErr UnlockPortBits(GWorldPtr world);

// The current port and device.
void GetGWorld(CGrafPtr* port, GDHandle* device);
void SetGWorld(CGrafPtr port, GDHandle device);

// Drawing state of the current port.
void RGBBackColor(const RGBColor* colour);
void RGBForeColor(const RGBColor* colour);
void EraseRect(const Rect* r);
void TextFace(SInt16 face);
void TextFont(SInt16 font);
void TextMode(SInt16 mode);
void TextSize(SInt16 size);
SInt16 GetPortTextFace(CGrafPtr port);
SInt16 GetPortTextFont(CGrafPtr port);
SInt16 GetPortTextMode(CGrafPtr port);
SInt16 GetPortTextSize(CGrafPtr port);

// A colour as a pixel value of a pixmap's depth.
UInt32 ColorToPixel(const RGBColor& colour, PixMapHandle pm);

// Regions.
RgnHandle NewRgn();
void RectRgn(RgnHandle region, const Rect* r);
void DisposeRgn(RgnHandle region);

// Screen devices: one per display of the display services, the main one
// first. They are made on first use and again whenever the display services
// are replaced.
GDHandle GetDeviceList();
GDHandle GetNextDevice(GDHandle device);
GDHandle GetMainDevice();
Boolean TestDeviceAttribute(GDHandle device, SInt16 attribute);
void SetDeviceAttribute(GDHandle device, SInt16 attribute, Boolean value);
void DisposeScreenDevices();
