// Pictures and icons: a picture is loaded from a PNG file (or recorded from
// a pixmap) and drawn into a registry pixmap stretched into a rectangle, at
// a point or standing on a base line; icons are PNG files registered from
// the bundle's Resources.
#pragma once

#include "platform/PlatformFiles.h"
#include "platform/QuickDrawPicture.h"

// A base folder, given as its path, against which picture names are found.
typedef const char* PictBaseRef;

// The picture at `name` (converted from the engine's 8-bit text; relative
// names against the working folder, or appended to `base`). 0 with the
// bounds; -1 when the name makes no path; else the reader's error.
OSErr LoadPictFile(PicHandle* pict, const char* name, PictBaseRef base, Rect* bounds);
// Reads "<path>" or else "<path>.png" as a PNG picture: 0, fnfErr when
// neither can be read, -1 when the file is not a usable PNG image.
OSErr LoadPictFile(PicHandle* pict, const FSRef* ref);
void ReportPictError(UInt32 code, const unsigned char* name);

Rect PlacePicHandle_Rect(PicHandle pic, PixMapHandle pm, Rect* r, WindowRef w, Rect* bounds);
Rect PlacePicHandle_Coord(PicHandle pic, PixMapHandle pm, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom,
                          WindowRef w, Rect* bounds);
Rect PlacePicHandle_Point(PicHandle pic, PixMapHandle pm, SInt16 x, SInt16 y, UInt8 centred, WindowRef w, Rect* out);
Rect PlacePicHandle_Base(PicHandle pic, PixMapHandle pm, Rect* r, WindowRef w, Rect* bounds);
Rect PlacePictFile_Rect(const char* name, PixMapHandle pm, Rect* r, WindowRef w, Rect* bounds);
Rect PlacePictFile_Coord(const char* name, PixMapHandle pm, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom,
                         WindowRef w, Rect* bounds);
Rect PlacePictFile_Point(const char* name, PixMapHandle pm, SInt16 x, SInt16 y, WindowRef w, Rect* out);
Rect PlacePictFile_Base(const char* name, PixMapHandle pm, Rect* r, WindowRef w, Rect* bounds);
// Records `r` of the pixmap as a picture.
PicHandle MakePicture(PixMapHandle pm, Rect* r);
