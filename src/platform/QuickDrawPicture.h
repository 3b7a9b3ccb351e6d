// Pictures and rectangle copies of our drawing records. A picture is its
// frame with a snapshot of 32-bit pixels (0x00RRGGBB): it records the pixels
// that CopyBits puts into the port it was opened on, and draws them scaled
// into any rectangle of the current port. Icons are PNG files registered
// by path.
#pragma once

#include <string>

#include "platform/QuickDraw.h"

struct Picture {
  Rect picFrame;
  SInt32 width;
  SInt32 height;
  UInt32* pixels;  // width x height, rows top to bottom
  CGrafPtr recordingPort;
};
typedef Picture* PicPtr;
typedef PicPtr* PicHandle;

// A picture of the given frame and pixels (copied); null when memory runs
// out or the size is not positive.
PicHandle NewPictureFromPixels(const Rect* frame, const UInt32* pixels);
// Starts recording on the current port: until ClosePicture, CopyBits into
// that port's pixmap records what it puts inside the frame.
PicHandle OpenPicture(const Rect* frame);
void ClosePicture();
void KillPicture(PicHandle picture);
Rect* QDGetPictureBounds(PicHandle picture, Rect* bounds);
// Draws the picture scaled (nearest pixel) into `destination` of the
// current port, clipped to the port's pixmap.
void DrawPicture(PicHandle picture, const Rect* destination);

// Copies srcRect of one pixmap into dstRect of another (the same one
// allowed), scaled to the nearest pixel and converted between depths by
// colour; the destination is clipped to its bounds and, when given, to the
// mask region. In transparent mode the source pixels of the current port's
// background colour are left out. Other modes copy nothing.
void CopyBits(PixMapHandle source, PixMapHandle destination, const Rect* srcRect, const Rect* dstRect, SInt16 mode,
              RgnHandle mask);

// An icon registered from a file.
struct OpaqueIconRef {
  std::string path;
  OSType creator;
  OSType type;
};
typedef OpaqueIconRef* IconRef;

// noErr with the icon, which is registered for the creator and type from
// then on; fnfErr when the file cannot be read, -1 when it is not a PNG file.
OSErr RegisterIconRefFromIconFile(OSType creator, OSType type, const char* path, IconRef* icon);
void ReleaseIconRef(IconRef icon);

enum : SInt16 { kOnSystemDisk = -32768 };
enum : OSErr { noSuchIconErr = -2582 };
// The icon registered for the creator and type (on any volume: there is one
// registry), to be released by the caller; noSuchIconErr when none is.
OSErr GetIconRef(SInt16 vRefNum, OSType creator, OSType type, IconRef* icon);
