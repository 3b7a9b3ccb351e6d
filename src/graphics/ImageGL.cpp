#include "graphics/ImageGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "foundation/Letterbox.h"
#include "graphics/ImageBuffer.h"
#include "graphics/OpenGLContext.h"
#include "graphics/OpenGLFrame.h"

GLBindCache glBindCACHE;
ImageDrawCounts imageDrawCOUNTS;
SInt8 glRectangleTEXTURES = -1;

namespace {

// The token of OpenGL 3.1 and of the ARB, EXT and NV extensions alike.
constexpr GLenum kTextureRectangle = 0x84F5;

// Pictures from this many texels up, with a side that is no power of two,
// go into rectangle textures: the small ones waste little in a power of two.
constexpr SInt32 kRectangleTexels = 256 * 256;

}  // namespace

bool RectangleTextures() {
  if (glRectangleTEXTURES >= 0) return glRectangleTEXTURES != 0;
  // Without a current context there is nothing to ask: powers of two, and
  // the question is asked again at the next upload.
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) return false;
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  const int major = std::atoi(version);
  const char* dot = std::strchr(version, '.');
  const int minor = dot ? std::atoi(dot + 1) : 0;
  const bool offered = major > 3 || (major == 3 && minor >= 1) ||
                       (extensions && (std::strstr(extensions, "GL_ARB_texture_rectangle") ||
                                       std::strstr(extensions, "GL_EXT_texture_rectangle") ||
                                       std::strstr(extensions, "GL_NV_texture_rectangle")));
  glRectangleTEXTURES = offered ? 1 : 0;
  return offered;
}

SInt32 LogBaseTwo(SInt32 n) {
  if (n < 1) return INT32_MIN;
  return 31 - __builtin_clz(UInt32(n));
}

SInt32 PowBaseTwo(SInt32 n) {
  if (n < 0) return 0;
  if (n >= 32) return -1;
  return SInt32(1u << n);
}

SInt32 NextLogTwo(SInt32 n) {
  SInt32 log = LogBaseTwo(n);
  return PowBaseTwo(log) < n ? log + 1 : log;
}

SInt32 NextPowTwo(SInt32 n) { return n < 1 ? 0 : PowBaseTwo(NextLogTwo(n)); }

SInt32 PrevPowTwo(SInt32 n) { return n < 1 ? 0 : PowBaseTwo(LogBaseTwo(n)); }

void glBindTexture_fast(UInt32 target, UInt32 name) {
  glBindTexture(target, name);
  glBindCACHE.SetTexture(name);
}

void glDeleteTextures_fast(SInt32 count, const UInt32* names) {
  glDeleteTextures(count, names);
  glBindCACHE.ClearTexture();
}

namespace {

// The upload of NewTextureFromBuffer. 32-bit pixels are bytes R, G, B, A, or
// with xrgb set the pixmaps' native words 0xAARRGGBB.
// The side of a rectangle texture for an image side of n.
SInt32 RectangleSide(SInt32 n) { return n < NextPowTwo(n) ? n + 1 : n; }

bool WantsRectangle(SInt32 w, SInt32 h) {
  if (w == NextPowTwo(w) && h == NextPowTwo(h)) return false;
  return w * h >= kRectangleTexels && RectangleTextures();
}

GLenum Target(const ImageGL& image) { return image.rectangle ? kTextureRectangle : GL_TEXTURE_2D; }

// Gives the bound texture of the image its edge clamping and the filter,
// unless it has them from an earlier draw.
void SetSampling(ImageGL* image, GLenum target, SInt32 filter) {
  const UInt32 context = CurrentContextSerial();
  if (!image->sharedTexture && image->samplingTexture == image->texture && image->samplingContext == context &&
      image->samplingFilter == filter)
    return;
  glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(target, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(target, GL_TEXTURE_MAG_FILTER, filter);
  image->samplingFilter = filter;
  image->samplingTexture = image->texture;
  image->samplingContext = context;
}

// A rectangle texture gets the image's own sides plus the transparent edge
// texel a power of two would have had.
Rect UploadTexture(UInt32* name, const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source, bool xrgb,
                   bool rectangle) {
  // The transparent edge texels come from this block.
  static const UInt32 zeros[4096] = {};
  const SInt32 zeroCount = 4096;
  if (!pixels) return Rect{0, 0, 0, 0};
  const bool sixteen = depth == 16;
  const GLint internal = sixteen ? GL_RGB5 : GL_RGBA8;
  const GLenum format = sixteen || xrgb ? GL_BGRA : GL_RGBA;
  const GLenum type = sixteen ? GL_UNSIGNED_SHORT_1_5_5_5_REV : GL_UNSIGNED_INT_8_8_8_8_REV;
  const SInt32 w = source->right - source->left, h = source->bottom - source->top;
  const SInt32 W = rectangle ? RectangleSide(w) : NextPowTwo(w), H = rectangle ? RectangleSide(h) : NextPowTwo(h);
  const SInt32 bytesPerPixel = depth / 8;
  const GLenum target = rectangle ? kTextureRectangle : GL_TEXTURE_2D;

  if (*name == 0) glGenTextures(1, name);
  glBindTexture_fast(target, *name);
  glTexImage2D(target, 0, internal, W, H, 0, format, type, nullptr);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 1);
  if (w < W) glTexSubImage2D(target, 0, w, 0, 1, std::min({h, zeroCount, H}), format, type, zeros);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rowBytes / bytesPerPixel);
  if (h < H) glTexSubImage2D(target, 0, 0, h, std::min({w + 1, zeroCount, W}), 1, format, type, zeros);
  const UInt8* first =
      static_cast<const UInt8*>(pixels) + SInt32(source->top) * rowBytes + SInt32(source->left) * bytesPerPixel;
  glTexSubImage2D(target, 0, 0, 0, w, h, format, type, first);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  return Rect{0, 0, SInt16(H), SInt16(W)};
}

// The part of the source that lies inside the pixmap's pixels.
Rect InsidePixMap(const Rect& source, PixMapHandle pm) {
  const Rect& b = (*pm)->bounds;
  return Rect{SInt16(std::max<SInt32>(source.top, 0)), SInt16(std::max<SInt32>(source.left, 0)),
              SInt16(std::min<SInt32>(source.bottom, b.bottom - b.top)),
              SInt16(std::min<SInt32>(source.right, b.right - b.left))};
}

UInt32 MaskedPixel(UInt32 pixel, UInt32 a) {
  const UInt32 r = ((pixel >> 16) & 0xFF) * a / 255, g = ((pixel >> 8) & 0xFF) * a / 255, b = (pixel & 0xFF) * a / 255;
  return (a << 24) | (r << 16) | (g << 8) | b;
}

UInt32 KeyedPixel(UInt32 pixel) { return (pixel & 0x00FFFFFF) == 0x00FFFFFF ? 0 : pixel | 0xFF000000; }

// Gives the 32-bit pixels inside r their alpha from the mask, or by the key.
void SetPixMapAlpha(PixMapHandle pm, Rect r, PixMapHandle mask) {
  if (mask) {
    const Rect m = InsidePixMap(r, mask);
    r.bottom = std::min(r.bottom, m.bottom);
    r.right = std::min(r.right, m.right);
  }
  for (SInt32 row = r.top; row < r.bottom; row++) {
    UInt32* pixel = reinterpret_cast<UInt32*>(GetPixBaseAddr(pm) + row * GetPixRowBytes(pm)) + r.left;
    const UInt8* alpha =
        mask ? reinterpret_cast<const UInt8*>(GetPixBaseAddr(mask) + row * GetPixRowBytes(mask)) + r.left : nullptr;
    for (SInt32 col = r.left; col < r.right; col++, pixel++)
      *pixel = alpha ? MaskedPixel(*pixel, *alpha++) : KeyedPixel(*pixel);
  }
}

// Every pixel of the source has full alpha (16-bit pixels have none to give).
bool AllOpaque(const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect& source, bool xrgb) {
  if (!pixels) return false;
  if (depth == 16) return true;
  const UInt8* base = static_cast<const UInt8*>(pixels);
  for (SInt32 row = source.top; row < source.bottom; row++) {
    const UInt8* p = base + row * rowBytes + source.left * 4;
    for (SInt32 col = source.left; col < source.right; col++, p += 4) {
      const UInt8 a = xrgb ? UInt8(*reinterpret_cast<const UInt32*>(p) >> 24) : p[3];
      if (a != 255) return false;
    }
  }
  return true;
}

}  // namespace

Rect NewTextureFromBuffer(UInt32* name, const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source) {
  return UploadTexture(name, pixels, rowBytes, depth, source, false, false);
}

void SetBrightRGBA(float r, float g, float b, float a) {
  const GLfloat env[4] = {std::min(r, 1.0f), std::min(g, 1.0f), std::min(b, 1.0f), a};
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, env);
  glColor4f(std::max(r - 1.0f, 0.0f), std::max(g - 1.0f, 0.0f), std::max(b - 1.0f, 0.0f), a);
}

void SetBrightRGBA(const float* rgba) {
  if (!rgba) {
    SetBrightRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    return;
  }
  SetBrightRGBA(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void ClearBrightRGBA() {
  const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, white);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

ImageGL::ImageGL()
    : texture(0),
      srcRect{0, 0, 0, 0},
      filter(GL_LINEAR),
      texWidth(0),
      texHeight(0),
      imageWidth(0),
      imageHeight(0),
      texCoords{0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f},
      alpha(1.0f),
      rotation(0.0f),
      hasAlpha(0),
      mirrorH(0),
      mirrorV(0),
      useSrcRect(0),
      spare(0),
      sharedTexture(0) {
  SetBright(1.0f);
}

ImageGL::~ImageGL() { Dispose(); }

void ImageGL::Update(const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source) {
  UpdateTexture(pixels, rowBytes, depth, source, false);
}

void ImageGL::UpdateTexture(const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source, bool xrgb) {
  // Other depths would be read as 32-bit pixels, past the rows' ends.
  if (depth != 16 && depth != 32) return;
  const SInt32 w = source->right - source->left, h = source->bottom - source->top;
  if (w < 1 || h < 1) {
    // Nothing to show: a texture of size 0 would give no coordinates.
    Dispose();
    imageWidth = imageHeight = texWidth = texHeight = 0;
    return;
  }
  // Never draw over a texture that other images show; a texture name keeps
  // the kind it was first bound as.
  const bool wantsRectangle = WantsRectangle(w, h);
  // (A name from another context is not this one's to delete.)
  const bool ownName = textureContext == CurrentContextSerial();
  if (sharedTexture || (texture != 0 && bool(rectangle) != wantsRectangle && ownName)) Dispose();
  textureContext = CurrentContextSerial();
  rectangle = wantsRectangle;
  imageWidth = SInt16(w);
  imageHeight = SInt16(h);
  texWidth = SInt16(rectangle ? RectangleSide(w) : NextPowTwo(w));
  texHeight = SInt16(rectangle ? RectangleSide(h) : NextPowTwo(h));
  opaqueTexels = texWidth == w && texHeight == h && AllOpaque(pixels, rowBytes, depth, *source, xrgb);
  // A name made anew starts with the default sampling.
  samplingTexture = 0;
  UploadTexture(&texture, pixels, rowBytes, depth, source, xrgb, rectangle);
  const Rect shown = {0, 0, imageHeight, imageWidth};
  SetTextureRect(&shown);
}

void ImageGL::New(const void* pixels, SInt32 rowBytes, SInt16 depth, const Rect* source) {
  Dispose();
  Update(pixels, rowBytes, depth, source);
}

void ImageGL::Update(ImageBuffer* buffer, const Rect* source) {
  Update(buffer->pixels, buffer->RowBytes(), 32, source);
}

void ImageGL::New(ImageBuffer* buffer, const Rect* source) {
  Dispose();
  Update(buffer, source);
}

void ImageGL::Update(PixMapHandle pm, const Rect* source, PixMapHandle mask, UInt8 colorKey) {
  if (!pm || !*pm) return;
  // Never read or write beyond the pixmap's own pixels.
  const Rect inside = InsidePixMap(*source, pm);
  const SInt16 depth = (*pm)->pixelSize;
  if (depth == 32) {
    const bool useMask = mask && *mask && (*mask)->pixelSize == 8;
    if (useMask || colorKey) SetPixMapAlpha(pm, inside, useMask ? mask : nullptr);
    hasAlpha = mask || colorKey;
  }
  UpdateTexture(GetPixBaseAddr(pm), GetPixRowBytes(pm), depth, &inside, true);
}

void ImageGL::New(PixMapHandle pm, const Rect* source, PixMapHandle mask, UInt8 colorKey) {
  Dispose();
  Update(pm, source, mask, colorKey);
}

int ImageGL::Load(ImageBuffer* buffer, const char* path, UInt8 premultiply, float unused) {
  int result = buffer->LoadImage(path, unused, premultiply);
  if (result != 0) return result;
  const Rect content = {0, 0, buffer->contentHeight, buffer->contentWidth};
  Update(buffer->pixels, buffer->RowBytes(), 32, &content);
  return 0;
}

void ImageGL::Dispose() {
  if (texture != 0 && !sharedTexture) glDeleteTextures_fast(1, &texture);
  texture = 0;
  opaqueTexels = 0;
  sharedTexture = 0;
  rectangle = 0;
}

void ImageGL::SetBright(float b) { red = green = blue = b; }

void ImageGL::SetTextureRect(const Rect* r) {
  // A rectangle texture is addressed in texels.
  const float w = rectangle ? 1.0f : texWidth, h = rectangle ? 1.0f : texHeight;
  const float left = r->left / w, right = r->right / w, top = r->top / h, bottom = r->bottom / h;
  const float coords[8] = {left, top, right, top, left, bottom, right, bottom};
  std::copy(coords, coords + 8, texCoords);
}

namespace {

void RectCentre(const Rect& r, float* cx, float* cy) {
  *cx = float(r.left + (r.right - r.left) / 2);
  *cy = float(r.top + (r.bottom - r.top) / 2);
}

void RectCentre(const RectF& r, float* cx, float* cy) {
  *cx = r.left + (r.right - r.left) / 2.0f;
  *cy = r.top + (r.bottom - r.top) / 2.0f;
}

}  // namespace

void (*imageDrawRecorder)(const ImageDraw& draw) = nullptr;

namespace {

bool Whole(float v) { return v == std::floor(v); }

// The quad lays the texels it shows one on each window pixel, their corners
// on whole pixels: every pixel centre then falls on a texel's centre, where
// the linear filter gives that texel alone, as the cheaper nearest one does.
template <typename R>
bool TexelPerPixel(const ImageGL& image, const R& r) {
  if (image.rotation != 0.0f) return false;
  const Rect& port = glDrawVars.portRect;
  const Rect& window = glDrawVars.windRect;
  const Letterbox box = ComputeLetterbox(port.right - port.left, port.bottom - port.top, window.right - window.left,
                                         window.bottom - window.top);
  if (box.s != 1.0f || !Whole(box.mx) || !Whole(box.my)) return false;
  const float w = image.rectangle ? 1.0f : float(image.texWidth), h = image.rectangle ? 1.0f : float(image.texHeight);
  const float* t = image.texCoords;
  const float s0 = t[0] * w, s1 = t[6] * w, t0 = t[1] * h, t1 = t[7] * h;
  return Whole(float(r.left)) && Whole(float(r.top)) && Whole(s0) && Whole(t0) &&
         float(r.right) - float(r.left) == s1 - s0 && float(r.bottom) - float(r.top) == t1 - t0;
}

}  // namespace

template <typename R>
void ImageGL::DrawQuad(const R& destination, bool bright) {
  if (imageDrawRecorder) {
    RectF f{float(destination.top), float(destination.left), float(destination.bottom), float(destination.right)};
    imageDrawRecorder(ImageDraw{this, f, bright, red, green, blue, alpha, rotation, mirrorH, mirrorV});
    return;
  }
  // A NaN channel counts as tinted.
  const bool tinted = !(red == 1.0f && green == 1.0f && blue == 1.0f);
  const bool rotated = rotation != 0.0f;
  R r = destination;
  if (texture == 0) return;
  if (useSrcRect) SetTextureRect(&srcRect);
  const GLenum target = Target(*this);
  glEnable(target);
  const bool blend = hasAlpha || alpha < 1.0f || tinted;
  if (blend) {
    glEnable(GL_BLEND);
    // Textures hold premultiplied colour; the brightening environment does not.
    glBlendFunc(bright ? GL_SRC_ALPHA : GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    if (!bright) glColor4f(red * alpha, green * alpha, blue * alpha, alpha);
  }
  glBindTexture_fast(target, texture);
  SetSampling(this, target, filter == GL_LINEAR && TexelPerPixel(*this, r) ? GL_NEAREST : filter);
  if (bright && blend)
    SetBrightRGBA(red, green, blue, alpha);
  else
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, blend ? GL_MODULATE : GL_REPLACE);
  if (rotated) {
    float cx, cy;
    RectCentre(r, &cx, &cy);
    glPushMatrix();
    glTranslatef(cx, cy, 0.0f);
    glRotatef(rotation, 0.0f, 0.0f, 1.0f);
    glTranslatef(-cx, -cy, 0.0f);
  }
  if (mirrorH) std::swap(r.left, r.right);
  if (mirrorV) std::swap(r.top, r.bottom);
  const GLfloat vertices[12] = {float(r.left), float(r.top),    0.0f, float(r.right), float(r.top),    0.0f,
                                float(r.left), float(r.bottom), 0.0f, float(r.right), float(r.bottom), 0.0f};
  glVertexPointer(3, GL_FLOAT, 0, vertices);
  glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  const double area = std::fabs(double(r.right - r.left) * double(r.bottom - r.top));
  imageDrawCOUNTS.draws++;
  imageDrawCOUNTS.quads++;
  imageDrawCOUNTS.filled += area;
  if (blend) imageDrawCOUNTS.blended += area;
  if (bright) ClearBrightRGBA();
  if (rotated) glPopMatrix();
  if (blend) glDisable(GL_BLEND);
  glDisable(target);
}

void ImageGL::Draw(const Rect* r) { DrawQuad(*r, false); }

void ImageGL::Draw(const RectF* r) { DrawQuad(*r, false); }

void ImageGL::DrawBright(const Rect* r) { DrawQuad(*r, true); }

namespace {

bool Tinted(const ImageQuad& q) { return !(q.red == 1.0f && q.green == 1.0f && q.blue == 1.0f); }

// Two triangles a quad, with the vertices in the order a strip of four gives
// them: (top-left, top-right, bottom-left) and (bottom-left, top-right,
// bottom-right).
void DrawRun(const ImageGL& image, const ImageQuad* quads, int count, bool blend) {
  static std::vector<GLfloat> vertices, coords, colours;
  vertices.resize(size_t(count) * 6 * 3);
  coords.resize(size_t(count) * 6 * 2);
  colours.resize(size_t(count) * 6 * 4);
  const float* t = image.texCoords;
  const int order[6] = {0, 1, 2, 2, 1, 3};
  GLfloat* v = vertices.data();
  GLfloat* c = coords.data();
  GLfloat* k = colours.data();
  for (int i = 0; i < count; ++i) {
    const ImageQuad& q = quads[i];
    const float x[4] = {q.rect.left, q.rect.right, q.rect.left, q.rect.right};
    const float y[4] = {q.rect.top, q.rect.top, q.rect.bottom, q.rect.bottom};
    // Unblended quads of an opaque image are drawn blended with white.
    const bool own = blend && (image.hasAlpha || q.alpha < 1.0f || Tinted(q));
    const GLfloat colour[4] = {own ? q.red * q.alpha : 1.0f, own ? q.green * q.alpha : 1.0f,
                               own ? q.blue * q.alpha : 1.0f, own ? q.alpha : 1.0f};
    for (int corner : order) {
      *v++ = x[corner];
      *v++ = y[corner];
      *v++ = 0.0f;
      *c++ = t[2 * corner];
      *c++ = t[2 * corner + 1];
      for (GLfloat channel : colour) *k++ = channel;
    }
  }
  if (blend) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, 0, colours.data());
  }
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, blend ? GL_MODULATE : GL_REPLACE);
  glVertexPointer(3, GL_FLOAT, 0, vertices.data());
  glTexCoordPointer(2, GL_FLOAT, 0, coords.data());
  glDrawArrays(GL_TRIANGLES, 0, count * 6);
  imageDrawCOUNTS.draws++;
  imageDrawCOUNTS.quads += UInt32(count);
  for (int i = 0; i < count; ++i) {
    const double area =
        std::fabs(double(quads[i].rect.right - quads[i].rect.left) * double(quads[i].rect.bottom - quads[i].rect.top));
    imageDrawCOUNTS.filled += area;
    if (blend) imageDrawCOUNTS.blended += area;
  }
  if (blend) {
    glDisableClientState(GL_COLOR_ARRAY);
    glDisable(GL_BLEND);
  }
}

}  // namespace

void DrawImageQuads(ImageGL* image, const ImageQuad* quads, int count) {
  if (count <= 0) return;
  if (imageDrawRecorder || image->rotation != 0.0f || image->mirrorH || image->mirrorV) {
    for (int i = 0; i < count; ++i) {
      image->red = quads[i].red;
      image->green = quads[i].green;
      image->blue = quads[i].blue;
      image->alpha = quads[i].alpha;
      image->Draw(&quads[i].rect);
    }
    return;
  }
  const ImageQuad& last = quads[count - 1];
  image->red = last.red;
  image->green = last.green;
  image->blue = last.blue;
  image->alpha = last.alpha;
  if (image->texture == 0) return;
  if (image->useSrcRect) image->SetTextureRect(&image->srcRect);
  const GLenum target = Target(*image);
  glEnable(target);
  glBindTexture_fast(target, image->texture);
  const bool nearest = image->filter == GL_LINEAR && std::all_of(quads, quads + count, [image](const ImageQuad& q) {
                         return TexelPerPixel(*image, q.rect);
                       });
  SetSampling(image, target, nearest ? GL_NEAREST : image->filter);
  auto blends = [image](const ImageQuad& q) {
    return image->opaqueTexels || image->hasAlpha || q.alpha < 1.0f || Tinted(q);
  };
  // A colour array leaves the current colour undefined: it is set after as
  // the quads' own draws would have left it.
  GLfloat current[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  glGetFloatv(GL_CURRENT_COLOR, current);
  for (int i = 0; i < count; ++i) {
    const ImageQuad& q = quads[i];
    if (image->hasAlpha || q.alpha < 1.0f || Tinted(q)) {
      current[0] = q.red * q.alpha;
      current[1] = q.green * q.alpha;
      current[2] = q.blue * q.alpha;
      current[3] = q.alpha;
    }
  }
  int first = 0;
  while (first < count) {
    const bool blend = blends(quads[first]);
    int end = first + 1;
    while (end < count && blends(quads[end]) == blend) ++end;
    DrawRun(*image, quads + first, end - first, blend);
    first = end;
  }
  glColor4fv(current);
  glDisable(target);
}
