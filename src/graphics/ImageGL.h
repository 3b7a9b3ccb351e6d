// Images held in one OpenGL texture (sides powers of two, or a rectangle
// texture for big pictures) and drawn as one premultiplied, tinted,
// translucent, rotated or mirrored quad.
#pragma once

#include "foundation/Colors.h"
#include "platform/QuickDraw.h"

class ImageBuffer;

// Powers of two over signed 32-bit values.
SInt32 LogBaseTwo(SInt32 n);
SInt32 PowBaseTwo(SInt32 n);
SInt32 NextLogTwo(SInt32 n);
SInt32 NextPowTwo(SInt32 n);
SInt32 PrevPowTwo(SInt32 n);

// The texture last bound through glBindTexture_fast.
struct GLBindCache {
  UInt32 texture;
  void SetTexture(UInt32 name) { texture = name; }
  void ClearTexture() { texture = 0; }
};
extern GLBindCache glBindCACHE;

void glBindTexture_fast(UInt32 target, UInt32 name);
void glDeleteTextures_fast(SInt32 count, const UInt32* names);

// How big pictures are held: -1 until the current context is first asked, 0
// in textures whose sides are powers of two, 1 in rectangle textures of the
// picture's own size plus its transparent edge (where the context offers
// them: OpenGL 3.1 or GL_ARB_texture_rectangle). A rectangle texture is
// addressed in texels, so it samples exactly the texels, with exactly the
// weights, that the power-of-two texture gave. Tests set it to choose a way.
extern SInt8 glRectangleTEXTURES;
bool RectangleTextures();

// Uploads the source part of a 16- or 32-bit pixel block into the texture
// (creating the name when it is 0), with a transparent column and row just
// outside the image. Returns (0, 0, texture height, texture width).
Rect NewTextureFromBuffer(UInt32* name, const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source);

// The texture environment of DrawBright: channels up to 1 scale the texel,
// the excess above 1 moves it towards white.
void SetBrightRGBA(float r, float g, float b, float a);
void SetBrightRGBA(const float* rgba);
void ClearBrightRGBA();

class ImageGL {
 public:
  UInt32 texture;
  Rect srcRect;
  SInt32 filter;
  SInt16 texWidth, texHeight;
  SInt16 imageWidth, imageHeight;
  float texCoords[8];  // (s, t) of top-left, top-right, bottom-left, bottom-right
  float red, green, blue;
  float alpha;
  float rotation;  // degrees, about the destination's centre
  UInt8 hasAlpha;
  UInt8 mirrorH;
  UInt8 mirrorV;
  UInt8 useSrcRect;
  UInt8 spare;
  // Every texel the quad can sample is fully opaque (the image filled its
  // whole texture and had no translucent pixel): drawing it blended with an
  // untinted, opaque colour then writes exactly what drawing it unblended
  // does.
  UInt8 opaqueTexels = 0;
  // The texture belongs to someone else (a sheet shared by many images):
  // Dispose forgets the name without deleting it, and an upload makes a new one.
  UInt8 sharedTexture;
  // The texture is a rectangle texture: its coordinates count texels.
  UInt8 rectangle = 0;
  // The serial of the context the texture name was made in: in another
  // context the number names nothing yet, and is taken afresh.
  UInt32 textureContext = 0;
  // The sampling (edge clamping and this filter) last given to the texture,
  // with the name and context it was given in: a draw sets it only when one
  // of them changed. A shared texture is set at each draw, as the images
  // that share it may filter differently.
  SInt32 samplingFilter = 0;
  UInt32 samplingTexture = 0, samplingContext = 0;

  ImageGL();
  ~ImageGL();
  ImageGL(const ImageGL&) = delete;
  ImageGL& operator=(const ImageGL&) = delete;

  void Update(const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source);
  void New(const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source);
  void Update(ImageBuffer* buffer, const Rect* source);
  void New(ImageBuffer* buffer, const Rect* source);
  // From a pixmap. A 32-bit pixmap first gets its alpha inside the source:
  // from the 8-bit mask (colour premultiplied by it), or by the colour key
  // (white becomes transparent, all else opaque).
  void Update(PixMapHandle pm, const Rect* source, PixMapHandle mask, UInt8 colorKey);
  void New(PixMapHandle pm, const Rect* source, PixMapHandle mask, UInt8 colorKey);
  int Load(ImageBuffer* buffer, const char* path, UInt8 premultiply, float unused);
  void Dispose();
  void SetBright(float b);
  void SetTextureRect(const Rect* r);
  SInt16 Width() const { return imageWidth; }
  SInt16 Height() const { return imageHeight; }
  void Draw(const Rect* r);
  void Draw(const RectF* r);
  void DrawBright(const Rect* r);

 private:
  void UpdateTexture(const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source, bool xrgb);
  template <typename R>
  void DrawQuad(const R& r, bool bright);
};

// One quad of a batch: where, and the colour multiplier and opacity the
// image would have for it.
struct ImageQuad {
  RectF rect;
  float red, green, blue, alpha;
};

// Draws the image once for each quad, in order, with the pixels of setting
// its colour and alpha and calling Draw for each: the quads share one bind,
// and each run of quads that blend alike (all of them, when the image's
// texels are opaque) is one draw with a colour per vertex. A rotated,
// mirrored or recorded image is drawn quad by quad.
void DrawImageQuads(ImageGL* image, const ImageQuad* quads, int count);

// What the images drew since the counts were last cleared, for measuring:
// the draw calls, the quads, and the area of the quads in port pixels, all
// and blended (rotation does not change an area; clipping is not counted).
struct ImageDrawCounts {
  UInt32 draws = 0, quads = 0;
  double filled = 0, blended = 0;
};
extern ImageDrawCounts imageDrawCOUNTS;

// One draw as the image's state had it: the recorder seam lets tests see
// every quad (image, rectangle, tint, alpha, rotation, mirroring) without a
// display. While a recorder is installed nothing reaches OpenGL.
struct ImageDraw {
  const ImageGL* image;
  RectF rect;
  bool bright;
  float red, green, blue, alpha, rotation;
  UInt8 mirrorH, mirrorV;
};
extern void (*imageDrawRecorder)(const ImageDraw& draw);

// A picture with a dark copy of it to draw beneath as its shadow.
struct ShadowImage {
  ImageGL image;
  ImageGL shadow;
  UInt8 hasShadow = 0;  // the shadow copy has been loaded
};
