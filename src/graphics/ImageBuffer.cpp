#include "graphics/ImageBuffer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "graphics/ImageGL.h"
#include "graphics/PNGFile.h"

UInt8 ColorByte(float c) {
  const float v = 255.0f * c;
  if (!(v > 0.0f)) return 0;
  return v >= 255.0f ? 255 : UInt8(v);
}

ImageBuffer::ImageBuffer(SInt32 w, SInt32 h)
    : byteCount(0), rowBytes(0), width(0), height(0), pixels(nullptr), contentWidth(0), contentHeight(0) {
  if (w >= 1 && h >= 1) Init(w, h);
}

ImageBuffer::~ImageBuffer() { Dispose(); }

void ImageBuffer::Init(SInt32 w, SInt32 h) {
  Dispose();
  width = height = 0;
  byteCount = rowBytes = 0;
  if (w < 1 || h < 1 || w > kMaxWidth || h > 32767) return;
  UInt8* block = new (std::nothrow) UInt8[size_t(w) * size_t(h) * 4]();
  if (!block) return;
  width = SInt16(w);
  height = SInt16(h);
  byteCount = UInt32(w) * UInt32(h) * 4;
  rowBytes = UInt32(w) * 4;
  pixels = block;
}

int ImageBuffer::Dispose() {
  if (!pixels) return -1;
  delete[] pixels;
  pixels = nullptr;
  return 0;
}

int ImageBuffer::Clear() {
  if (!pixels) return -1;
  std::memset(pixels, 0, byteCount);
  return 0;
}

int ImageBuffer::Fill(UInt8 r, UInt8 g, UInt8 b, UInt8 a) {
  if (!pixels) return -1;
  for (UInt32 i = 0; i < byteCount; i += 4) {
    pixels[i] = r;
    pixels[i + 1] = g;
    pixels[i + 2] = b;
    pixels[i + 3] = a;
  }
  return 0;
}

int ImageBuffer::Black() { return Fill(0, 0, 0, 255); }

int ImageBuffer::White() { return Fill(255, 255, 255, 255); }

void ImageBuffer::FillClipped(SInt32 top, SInt32 left, SInt32 bottom, SInt32 right) {
  top = std::max<SInt32>(top, 0);
  left = std::max<SInt32>(left, 0);
  bottom = std::min<SInt32>(bottom, height);
  right = std::min<SInt32>(right, width);
  const UInt8 rgba[4] = {ColorByte(color.red), ColorByte(color.green), ColorByte(color.blue), ColorByte(color.alpha)};
  for (SInt32 row = top; row < bottom; row++)
    for (SInt32 col = left; col < right; col++) std::memcpy(pixels + row * rowBytes + col * 4, rgba, 4);
}

int ImageBuffer::PaintRect(const Rect* r) {
  if (!pixels) return -1;
  FillClipped(r->top, r->left, r->bottom, r->right);
  return 0;
}

int ImageBuffer::FrameRect(const Rect* r) {
  if (!pixels) return -1;
  if (r->right <= r->left || r->bottom <= r->top) return 0;
  FillClipped(r->top, r->left, r->top + 1, r->right);
  FillClipped(r->bottom - 1, r->left, r->bottom, r->right);
  FillClipped(r->top + 1, r->left, r->bottom - 1, r->left + 1);
  FillClipped(r->top + 1, r->right - 1, r->bottom - 1, r->right);
  return 0;
}

int ImageBuffer::LoadImage(const char* path, float, UInt8 premultiply) {
  SInt32 w, h;
  UInt8* png = LoadPNG(path, &w, &h, 0, nullptr, nullptr);
  if (!png) {
    // Whatever draws the picture draws nothing; this names the file to look at.
    std::fprintf(stderr, "The picture \"%s\" could not be loaded.\n", path);
    return -1;
  }
  if (!pixels) Init(NextPowTwo(w), NextPowTwo(h));
  if (!pixels) {
    delete[] png;
    return -1;
  }
  Clear();
  contentWidth = SInt16(std::min<SInt32>(w, width));
  contentHeight = SInt16(std::min<SInt32>(h, height));
  for (SInt32 row = 0; row < contentHeight; row++) {
    for (SInt32 col = 0; col < contentWidth; col++) {
      const UInt8* s = png + (size_t(row) * size_t(w) + size_t(col)) * 4;
      UInt8* d = pixels + row * rowBytes + col * 4;
      const UInt8 a = s[3];
      for (int c = 0; c < 3; c++) d[c] = premultiply ? UInt8(s[c] * a / 255) : s[c];
      d[3] = premultiply ? a : 255;
    }
  }
  delete[] png;
  return 0;
}
