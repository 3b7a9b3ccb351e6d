// A block of RGBA pixels in memory (bytes red, green, blue, alpha; rows
// without padding) with a drawing colour. PNG files load into it and text is
// rendered into it on the way to a texture.
#pragma once

#include "foundation/Colors.h"

class ImageBuffer {
 public:
  // Wider buffers would overflow the 16-bit row bytes.
  enum { kMaxWidth = 8191 };

  UInt32 byteCount;
  UInt32 rowBytes;
  SInt16 width, height;
  UInt8* pixels;
  SInt16 contentWidth, contentHeight;
  RGBAColorF color;

  ImageBuffer(SInt32 w = 0, SInt32 h = 0);
  ~ImageBuffer();
  ImageBuffer(const ImageBuffer&) = delete;
  ImageBuffer& operator=(const ImageBuffer&) = delete;

  // Allocates w by h zero pixels; sizes below 1 or wider than kMaxWidth
  // (or taller than 32767) leave the buffer without pixels.
  void Init(SInt32 w, SInt32 h);
  int Dispose();
  int Clear();
  int Black();
  int White();
  // Both draw in the colour and are clipped to the buffer.
  int PaintRect(const Rect* r);
  int FrameRect(const Rect* r);
  SInt16 Width() const { return width; }
  SInt16 Height() const { return height; }
  SInt16 RowBytes() const { return SInt16(rowBytes); }
  // Decodes a PNG file into the top-left corner; colour premultiplied by
  // alpha when premultiply is set, else opaque. 0, or -1 (buffer unchanged).
  int LoadImage(const char* path, float unused, UInt8 premultiply);

 private:
  int Fill(UInt8 r, UInt8 g, UInt8 b, UInt8 a);
  void FillClipped(SInt32 top, SInt32 left, SInt32 bottom, SInt32 right);
};

// A colour component 0.0 to 1.0 as a byte: 255 × c, truncated (and kept
// within 0 to 255).
UInt8 ColorByte(float c);
