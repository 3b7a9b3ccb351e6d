#include "graphics/Pictures.h"

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/ErrorDialog.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "foundation/TextEncodings.h"
#include "graphics/GameWindow.h"
#include "graphics/PNGFile.h"
#include "graphics/PixMapRegistry.h"
#include "graphics/Ports.h"
#include "platform/PlatformFiles.h"
#include "platform/QuickDrawColor.h"
#include "shell/ApplInfo.h"

namespace {

SInt16 Width(const Rect& r) { return SInt16(r.right - r.left); }
SInt16 Height(const Rect& r) { return SInt16(r.bottom - r.top); }

bool Readable(const std::string& path) {
  std::FILE* f = OpenRegularFileForReading(path);
  if (f) std::fclose(f);
  return f != nullptr;
}

// Draws the picture into `r` of the pixmap's world, the port saved around it.
void DrawInto(PicHandle pic, GWorldPtr world, const Rect& r) {
  if (!world) return;
  PushPort();
  SetGWorld(world, nullptr);
  DrawPicture(pic, &r);
  PopPort();
}

Rect Bounds(PicHandle pic) {
  Rect b;
  return *QDGetPictureBounds(pic, &b);
}

}  // namespace

OSErr LoadPictFile(PicHandle* pict, const char* name, PictBaseRef base, Rect* bounds) {
  std::string path = name ? ConvertCStrToUnicode(name) : "";
  if (path.empty()) return -1;
  if (base) path = std::string(base) + "/" + path;
  FSRef ref{path};
  OSErr err = LoadPictFile(pict, &ref);
  if (err) return err;
  if (bounds) QDGetPictureBounds(*pict, bounds);
  return noErr;
}

OSErr LoadPictFile(PicHandle* pict, const FSRef* ref) {
  *pict = nullptr;
  std::string path = ref->path;
  if (!Readable(path)) path += ".png";
  if (!Readable(path)) return fnfErr;
  SInt32 w = 0, h = 0;
  UInt8* rgba = LoadPNG(path.c_str(), &w, &h, 0, nullptr, nullptr);
  if (!rgba) return -1;
  std::vector<UInt32> pixels(size_t(w) * size_t(h));
  for (size_t i = 0; i < pixels.size(); i++)
    pixels[i] = UInt32(rgba[4 * i]) << 16 | UInt32(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2];
  delete[] rgba;
  Rect frame{0, 0, SInt16(h), SInt16(w)};
  *pict = NewPictureFromPixels(&frame, pixels.data());
  return *pict ? noErr : memFullErr;
}

void ReportPictError(UInt32 code, const unsigned char* name) {
  OSErr err = ResError();
  if (err == resNotFound) {
    unsigned char codeText[8];
    GetStringFromCode(codeText, code);
    std::string message(reinterpret_cast<const char*>(codeText + 1), codeText[0]);
    message += "    \"" + std::string(reinterpret_cast<const char*>(name + 1), name ? name[0] : 0) + "\"";
    ErrorDialog(message.c_str(), "", 0, 1);
  } else if (err) {
    ErrorDialog("Sorry, a memory error has occured.", "PlacePicture_xxxx()", 0, 1);
  }
}

Rect PlacePicHandle_Rect(PicHandle pic, PixMapHandle pm, Rect* r, WindowRef, Rect* bounds) {
  if (bounds) QDGetPictureBounds(pic, bounds);
  DrawInto(pic, GetPixMapGWorld(pm), *r);
  return *r;
}

Rect PlacePicHandle_Coord(PicHandle pic, PixMapHandle pm, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom,
                          WindowRef w, Rect* bounds) {
  Rect r{top, left, bottom, right};
  return PlacePicHandle_Rect(pic, pm, &r, w, bounds);
}

Rect PlacePicHandle_Point(PicHandle pic, PixMapHandle pm, SInt16 x, SInt16 y, UInt8 centred, WindowRef w, Rect* out) {
  if (!pic) return Rect{0, 0, 0, 0};
  Rect b = Bounds(pic);
  SInt32 width = Width(b), height = Height(b);
  SInt32 left = x, top = y;
  if (centred) {
    Rect port = GetPortRect(w ? w : mainWIND);
    left = port.left + (port.right - port.left) / 2 + x - width / 2;
    top = port.top + (port.bottom - port.top) / 2 + y - height / 2;
  }
  Rect r{SInt16(top), SInt16(left), SInt16(top + height), SInt16(left + width)};
  DrawInto(pic, GetPixMapGWorld(pm), r);
  if (out) *out = r;
  return r;
}

Rect PlacePicHandle_Base(PicHandle pic, PixMapHandle, Rect* r, WindowRef, Rect* bounds) {
  Rect b = Bounds(pic);
  if (bounds) *bounds = b;
  SInt16 width = Width(b), height = Height(b);
  r->left = SInt16(r->left + (r->right - r->left) / 2 - width / 2);
  r->right = SInt16(r->left + width);
  r->top = SInt16(r->bottom - height);
  if (APPL.gameWindow) {
    DrawInto(pic, GetPixMapGWorld(buildPMAP), *r);
  } else {
    DrawPicture(pic, r);
  }
  return *r;
}

Rect PlacePictFile_Rect(const char* name, PixMapHandle pm, Rect* r, WindowRef w, Rect* bounds) {
  PicHandle pic = nullptr;
  LoadPictFile(&pic, name, nullptr, nullptr);
  Rect result = PlacePicHandle_Rect(pic, pm, r, w, bounds);
  KillPicture(pic);
  return result;
}

Rect PlacePictFile_Coord(const char* name, PixMapHandle pm, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom,
                         WindowRef w, Rect* bounds) {
  Rect r{top, left, bottom, right};
  return PlacePictFile_Rect(name, pm, &r, w, bounds);
}

Rect PlacePictFile_Point(const char* name, PixMapHandle pm, SInt16 x, SInt16 y, WindowRef w, Rect* out) {
  PicHandle pic = nullptr;
  Rect r{0, 0, 0, 0};
  if (LoadPictFile(&pic, name, nullptr, nullptr) != noErr) return r;
  r = PlacePicHandle_Point(pic, pm, x, y, 0, w, nullptr);
  KillPicture(pic);
  if (out) *out = r;
  return r;
}

Rect PlacePictFile_Base(const char* name, PixMapHandle pm, Rect* r, WindowRef w, Rect* bounds) {
  PicHandle pic = nullptr;
  LoadPictFile(&pic, name, nullptr, nullptr);
  Rect result = PlacePicHandle_Base(pic, pm, r, w, bounds);
  KillPicture(pic);
  return result;
}

PicHandle MakePicture(PixMapHandle pm, Rect* r) {
  GWorldPtr world = GetPixMapGWorld(pm);
  if (!world || !r) return nullptr;
  PushPort();
  SetGWorld(world, nullptr);
  PicHandle pic = OpenPicture(r);
  CopyBits(pm, pm, r, r, srcCopy, nullptr);
  ClosePicture();
  PopPort();
  return pic;
}
