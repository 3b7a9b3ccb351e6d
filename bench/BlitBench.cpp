// The software blitter at the game's two window sizes, beside the physical
// limit (memcpy of the same bytes, memset for fills) and the nearest
// equivalents in the libraries a user would pick instead: SDL2's surface
// blits (on 1-5-5-5 and, where SDL's own fast paths are 32-bit, on 8888) and
// pixman's composite, on x1r5g5b5 and on r5g6b5 (where pixman has most of its
// fast paths), each in the formulations that suit it, the fastest counting.
// Every benchmark runs several times; the table after Google Benchmark's own
// output takes the medians of the processor time, with the machine's load
// before and after: the machine is shared, so ratios within one run are what
// count. Surfaces and
// images made for a benchmark live until the program ends.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "blit/CopySprite.h"
#include "blit/RGB16Sprite.h"
#include "blit/ScaleSprite.h"

namespace {

constexpr UInt16 kKey = 0x7FFF;

// A pixel map over its own pixels, seen by our blitter, SDL and pixman.
struct Surface {
  int width, height, depth, pitch;
  std::vector<UInt32> pixels;
  PixMap pm{};
  PixMap* pmPtr = &pm;

  Surface(int w, int h, int d) : width(w), height(h), depth(d), pitch((w * d / 8 + 31) & ~31) {
    pixels.assign(size_t(pitch) * h / 4 + 1, 0);
    pm.baseAddr = reinterpret_cast<Ptr>(pixels.data());
    pm.rowBytes = SInt16(pitch | 0x8000);
    pm.bounds = Rect{0, 0, SInt16(h), SInt16(w)};
    pm.pixelSize = SInt16(d);
  }
  Surface(const Surface&) = delete;
  PixMapHandle Handle() { return &pmPtr; }
  void* Bits() { return pixels.data(); }
  Rect Bounds() const { return pm.bounds; }
  template <class T>
  T* Row(int y) {
    return reinterpret_cast<T*>(reinterpret_cast<char*>(pixels.data()) + size_t(y) * pitch);
  }
  SDL_Surface* SDLSurface(Uint32 format) {
    return SDL_CreateRGBSurfaceWithFormatFrom(Bits(), width, height, depth, pitch, format);
  }
  pixman_image_t* Pixman(pixman_format_code_t format) {
    return pixman_image_create_bits(format, width, height, static_cast<uint32_t*>(Bits()), pitch);
  }
};

// Everything one window size needs, made once.
struct Scene {
  int w, h;
  std::unique_ptr<Surface> src, dst, turned, half, mask, alpha, halfAlpha, src8, dst8, turned8, argb, halfArgb, dst32;
  // Turned sources: the half-size 1-5-5-5 picture and its alpha map, and a
  // full-size 32-bit picture, each stored a quarter turn back.
  std::unique_ptr<Surface> turnedHalf, turnedHalfAlpha, turned32;
  std::unique_ptr<Surface> sheet, sheetArgb;  // kSprites sprites of kSpriteSize, side by side
  std::vector<std::pair<int, int>> spots;     // where each sprite lands
  std::vector<UInt8> lookup8;

  Scene(int width, int height) : w(width), h(height) {
    std::mt19937 rng(5);
    src = std::make_unique<Surface>(w, h, 16);
    dst = std::make_unique<Surface>(w, h, 16);
    turned = std::make_unique<Surface>(h, w, 16);
    half = std::make_unique<Surface>(w / 2, h / 2, 16);
    mask = std::make_unique<Surface>(w, h, 16);
    alpha = std::make_unique<Surface>(w, h, 8);
    halfAlpha = std::make_unique<Surface>(w / 2, h / 2, 8);
    src8 = std::make_unique<Surface>(w, h, 8);
    dst8 = std::make_unique<Surface>(w, h, 8);
    turned8 = std::make_unique<Surface>(h, w, 8);
    argb = std::make_unique<Surface>(w, h, 32);
    halfArgb = std::make_unique<Surface>(w / 2, h / 2, 32);
    for (Surface* s : {src.get(), turned.get(), half.get()})
      for (int y = 0; y < s->height; ++y)
        for (int x = 0; x < s->width; ++x) s->Row<UInt16>(y)[x] = rng() % 4 == 0 ? kKey : UInt16(rng() & 0x7FFF);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        mask->Row<UInt16>(y)[x] = rng() % 2 ? kKey : 0;
        alpha->Row<UInt8>(y)[x] = UInt8(rng() % 33);
        src8->Row<UInt8>(y)[x] = UInt8(rng());
        turned8->Row<UInt8>(x)[y] = UInt8(rng());
        const UInt16 p = src->Row<UInt16>(y)[x];
        const UInt32 a = alpha->Row<UInt8>(y)[x] * 255 / 32;
        argb->Row<UInt32>(y)[x] = a << 24 | Convert555(p);
      }
    }
    for (int y = 0; y < h / 2; ++y) {
      for (int x = 0; x < w / 2; ++x) {
        halfAlpha->Row<UInt8>(y)[x] = UInt8(rng() % 33);
        halfArgb->Row<UInt32>(y)[x] =
            UInt32(halfAlpha->Row<UInt8>(y)[x] * 255 / 32) << 24 | Convert555(half->Row<UInt16>(y)[x]);
      }
    }
    lookup8.resize(256);
    for (UInt8& e : lookup8) e = UInt8(rng());
    dst32 = std::make_unique<Surface>(w, h, 32);
    turnedHalf = std::make_unique<Surface>(h / 2, w / 2, 16);
    turnedHalfAlpha = std::make_unique<Surface>(h / 2, w / 2, 8);
    turned32 = std::make_unique<Surface>(h, w, 32);
    for (int y = 0; y < w / 2; ++y)
      for (int x = 0; x < h / 2; ++x) {
        turnedHalf->Row<UInt16>(y)[x] = half->Row<UInt16>(x)[y];
        turnedHalfAlpha->Row<UInt8>(y)[x] = halfAlpha->Row<UInt8>(x)[y];
      }
    for (int y = 0; y < w; ++y)
      for (int x = 0; x < h; ++x) turned32->Row<UInt32>(y)[x] = argb->Row<UInt32>(x)[y];
    // Sprites: a disc of colour in a square of key, the corners transparent
    // as in game art, scattered over the screen.
    sheet = std::make_unique<Surface>(kSpriteSize * kSprites, kSpriteSize, 16);
    sheetArgb = std::make_unique<Surface>(kSpriteSize * kSprites, kSpriteSize, 32);
    const int r = kSpriteSize / 2;
    for (int y = 0; y < kSpriteSize; ++y)
      for (int x = 0; x < kSpriteSize * kSprites; ++x) {
        const int dx = x % kSpriteSize - r, dy = y - r;
        const bool inside = dx * dx + dy * dy < r * r && rng() % 16 != 0;
        const UInt16 p = inside ? UInt16(rng() & 0x7FFF) : kKey;
        sheet->Row<UInt16>(y)[x] = p == kKey && inside ? 0 : p;
        sheetArgb->Row<UInt32>(y)[x] = inside ? 0xFF000000u | Convert555(p) : 0;
      }
    for (int i = 0; i < kSprites; ++i)
      spots.emplace_back(int(rng() % (w - kSpriteSize)), int(rng() % (h - kSpriteSize)));
  }
  static constexpr int kSpriteSize = 32, kSprites = 256;

  static UInt32 Convert555(UInt16 p) {
    const UInt32 r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
    return (r << 19) | (g << 11) | (b << 3);
  }
};

Scene& SceneOf(int w, int h) {
  static std::map<int, std::unique_ptr<Scene>> scenes;
  auto& s = scenes[w];
  if (!s) s = std::make_unique<Scene>(w, h);
  return *s;
}

// One implementation of one case: a set-up that returns the blit to time.
using Blit = std::function<void()>;
using Maker = std::function<Blit(Scene&)>;

// A library's formulation of a case, named for the table.
struct Variant {
  const char* label;
  Maker make;
};

enum class Limit { Memcpy, Memset, SpriteMemcpy };

struct Case {
  Case(const char* n, Maker o) : name(n), ours(std::move(o)) {}
  const char* name;
  Maker ours;
  std::vector<Variant> sdl, pixman1555, pixman565;
  int bytesPerPixel = 2;
  Limit limit = Limit::Memcpy;
  // A turn or mirror names its unturned copy (same depth, mode and size):
  // the table prints our time over that copy's.
  const char* unturned = nullptr;
  // Where a library's nearest form does less work than ours, what it leaves out.
  const char* libraryDoesLess = nullptr;
};

void FullBlit(void (*blit)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*, const Rect*, SInt32,
                           SInt32, void*, void*, UInt8, UInt8, char, const Rect*),
              Surface& src, Surface& dst, Surface* mask, SInt32 mode, SInt32 color, void* lookup, UInt8 hFlip,
              char turn) {
  const Rect sr = src.Bounds(), dr = dst.Bounds();
  blit(src.Handle(), dst.Handle(), mask ? mask->Handle() : nullptr, &sr, &dr, nullptr, mode, color, lookup, nullptr,
       hFlip, 0, turn, nullptr);
}

Blit RGB16(Scene& s, Surface& src, Surface* alpha, RGBAColor16 tint, bool scaled, char turn = 0) {
  return [&s, &src, alpha, tint, scaled, turn]() mutable {
    const Rect sr = src.Bounds(), dr = s.dst->Bounds();
    (scaled ? ScaleSpriteRGB16 : CopySpriteRGB16)(src.Handle(), s.dst->Handle(), nullptr, &sr, &dr, nullptr, 0, -1,
                                                  nullptr, &tint, 0, 0, turn, nullptr,
                                                  alpha ? alpha->Handle() : nullptr, nullptr);
  };
}

RGBAColor16 Tint(int r, int g, int b, int a) {
  RGBAColor16 t;
  t.red = UInt8(r);
  t.green = UInt8(g);
  t.blue = UInt8(b);
  t.alpha = UInt8(a);
  return t;
}

Blit SDLBlit(SDL_Surface* src, SDL_Surface* dst, bool scaled) {
  return [src, dst, scaled] {
    if (scaled)
      SDL_BlitScaled(src, nullptr, dst, nullptr);
    else
      SDL_BlitSurface(src, nullptr, dst, nullptr);
  };
}

Blit PixmanComposite(pixman_op_t op, pixman_image_t* src, pixman_image_t* mask, pixman_image_t* dst, int w, int h) {
  return [=] { pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, w, h); };
}

void ScaleByHalf(pixman_image_t* image) {
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
  pixman_image_set_transform(image, &t);
  pixman_image_set_filter(image, PIXMAN_FILTER_NEAREST, nullptr, 0);
}

// A quarter turn of a w-wide destination: source x = y, source y = w - x,
// the form pixman's rotation fast paths look for.
void TurnQuarter(pixman_image_t* image, int w) {
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  t.matrix[0][0] = 0;
  t.matrix[0][1] = pixman_fixed_1;
  t.matrix[1][0] = -pixman_fixed_1;
  t.matrix[1][1] = 0;
  t.matrix[1][2] = pixman_int_to_fixed(w);
  pixman_image_set_transform(image, &t);
  pixman_image_set_filter(image, PIXMAN_FILTER_NEAREST, nullptr, 0);
}

// A left-right mirror of a w-wide destination.
void Mirror(pixman_image_t* image, int w) {
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  t.matrix[0][0] = -pixman_fixed_1;
  t.matrix[0][2] = pixman_int_to_fixed(w);
  pixman_image_set_transform(image, &t);
  pixman_image_set_filter(image, PIXMAN_FILTER_NEAREST, nullptr, 0);
}

// An a8 mask from a per-pixel level.
pixman_image_t* A8Mask(int w, int h, const std::function<UInt8(int, int)>& level) {
  auto* a8 = new Surface(w, h, 8);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) a8->Row<UInt8>(y)[x] = level(x, y);
  return a8->Pixman(PIXMAN_a8);
}

// The same composite on x1r5g5b5 and on r5g6b5 (the same bytes, read as the
// other format).
std::vector<Variant> PixmanIn(pixman_format_code_t format, const char* label,
                              const std::function<Blit(Scene&, pixman_format_code_t)>& make) {
  return {Variant{label, [make, format](Scene& s) { return make(s, format); }}};
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  auto both = [](const char* label, std::function<Blit(Scene&, pixman_format_code_t)> make, std::vector<Variant>* p1555,
                 std::vector<Variant>* p565) {
    p1555->push_back(PixmanIn(PIXMAN_x1r5g5b5, label, make)[0]);
    p565->push_back(PixmanIn(PIXMAN_r5g6b5, label, make)[0]);
  };
  {
    Case c{"plain copy", [](Scene& s) {
             return Blit([&s] { FullBlit(CopySprite16, *s.src, *s.dst, nullptr, 0, -1, nullptr, 0, 0); });
           }};
    c.sdl = {{"555", [](Scene& s) {
                return SDLBlit(s.src->SDLSurface(SDL_PIXELFORMAT_RGB555), s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555),
                               false);
              }}};
    both(
        "src",
        [](Scene& s, pixman_format_code_t f) {
          return PixmanComposite(PIXMAN_OP_SRC, s.src->Pixman(f), nullptr, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  {
    Case c{"keyed copy", [](Scene& s) {
             return Blit([&s] { FullBlit(CopySprite16, *s.src, *s.dst, nullptr, 1, -1, nullptr, 0, 0); });
           }};
    c.sdl = {{"555 key", [](Scene& s) {
                SDL_Surface* src = s.src->SDLSurface(SDL_PIXELFORMAT_RGB555);
                SDL_SetColorKey(src, SDL_TRUE, kKey);
                return SDLBlit(src, s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555), false);
              }}};
    // pixman has no colour key: the key becomes alpha 0 of an a1r5g5b5
    // copy, alpha 0 of an a8r8g8b8 copy (its over-8888 fast paths), or a 0
    // of an a8 mask.
    c.pixman1555 = {{"over a1555", [](Scene& s) {
                       auto* keyed = new Surface(s.w, s.h, 16);
                       for (int y = 0; y < s.h; ++y)
                         for (int x = 0; x < s.w; ++x) {
                           const UInt16 p = s.src->Row<UInt16>(y)[x];
                           keyed->Row<UInt16>(y)[x] = p == kKey ? 0 : UInt16(p | 0x8000);
                         }
                       return PixmanComposite(PIXMAN_OP_OVER, keyed->Pixman(PIXMAN_a1r5g5b5), nullptr,
                                              s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
                     }}};
    auto overArgb = [](Scene& s, pixman_format_code_t f) {
      auto* keyed = new Surface(s.w, s.h, 32);
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
          const UInt16 p = s.src->Row<UInt16>(y)[x];
          keyed->Row<UInt32>(y)[x] = p == kKey ? 0 : 0xFF000000u | Scene::Convert555(p);
        }
      return PixmanComposite(PIXMAN_OP_OVER, keyed->Pixman(PIXMAN_a8r8g8b8), nullptr, s.dst->Pixman(f), s.w, s.h);
    };
    auto srcMask = [](Scene& s, pixman_format_code_t f) {
      Scene* sp = &s;
      pixman_image_t* mask =
          A8Mask(s.w, s.h, [sp](int x, int y) { return UInt8(sp->src->Row<UInt16>(y)[x] == kKey ? 0 : 255); });
      return PixmanComposite(PIXMAN_OP_OVER, s.src->Pixman(f), mask, s.dst->Pixman(f), s.w, s.h);
    };
    both("over 8888", overArgb, &c.pixman1555, &c.pixman565);
    both("a8 mask", srcMask, &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  {
    Case c{"masked copy", [](Scene& s) {
             return Blit([&s] { FullBlit(CopySprite16, *s.src, *s.dst, s.mask.get(), 0, -1, nullptr, 0, 0); });
           }};
    both(
        "a8 mask",
        [](Scene& s, pixman_format_code_t f) {
          Scene* sp = &s;
          pixman_image_t* mask =
              A8Mask(s.w, s.h, [sp](int x, int y) { return UInt8(sp->mask->Row<UInt16>(y)[x] == kKey ? 255 : 0); });
          return PixmanComposite(PIXMAN_OP_OVER, s.src->Pixman(f), mask, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  auto turnCase = [&](const char* name, UInt8 hFlip, char turn) {
    Case c{name, [hFlip, turn](Scene& s) {
             Surface* src = turn & 1 ? s.turned.get() : s.src.get();
             return Blit([&s, src, hFlip, turn] {
               FullBlit(CopySprite16, *src, *s.dst, nullptr, 0, -1, nullptr, hFlip, turn);
             });
           }};
    both(
        turn ? "rotate 90" : "mirror",
        [turn](Scene& s, pixman_format_code_t f) {
          pixman_image_t* src = (turn & 1 ? s.turned : s.src)->Pixman(f);
          if (turn)
            TurnQuarter(src, s.w);
          else
            Mirror(src, s.w);
          return PixmanComposite(PIXMAN_OP_SRC, src, nullptr, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  };
  turnCase("mirrored copy", 1, 0);
  turnCase("turned copy", 0, 1);
  turnCase("flipped and turned copy", 1, 1);
  for (size_t i = cases.size() - 3; i < cases.size(); ++i) cases[i].unturned = "plain copy";
  {
    Case c{"scaled copy x2", [](Scene& s) {
             return Blit([&s] { FullBlit(ScaleSprite16, *s.half, *s.dst, nullptr, 0, -1, nullptr, 0, 0); });
           }};
    c.sdl = {{"555", [](Scene& s) {
                return SDLBlit(s.half->SDLSurface(SDL_PIXELFORMAT_RGB555), s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555),
                               true);
              }}};
    both(
        "src scale",
        [](Scene& s, pixman_format_code_t f) {
          pixman_image_t* src = s.half->Pixman(f);
          ScaleByHalf(src);
          return PixmanComposite(PIXMAN_OP_SRC, src, nullptr, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  {
    Case c{"scaled copy x2 turned", [](Scene& s) {
             return Blit([&s] { FullBlit(ScaleSprite16, *s.turnedHalf, *s.dst, nullptr, 0, -1, nullptr, 0, 1); });
           }};
    c.unturned = "scaled copy x2";
    c.sdl = {{"555 unturned", [](Scene& s) {
                return SDLBlit(s.half->SDLSurface(SDL_PIXELFORMAT_RGB555), s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555),
                               true);
              }}};
    c.libraryDoesLess = "SDL: unturned";
    cases.push_back(c);
  }
  {
    Case c{"opacity half", [](Scene& s) { return RGB16(s, *s.src, nullptr, Tint(32, 32, 32, 16), false); }};
    c.sdl = {{"555 alpha mod",
              [](Scene& s) {
                SDL_Surface* src = s.src->SDLSurface(SDL_PIXELFORMAT_RGB555);
                SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
                SDL_SetSurfaceAlphaMod(src, 128);
                return SDLBlit(src, s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555), false);
              }},
             // SDL's and pixman's fast paths for this are 32-bit: the same
             // blend on 8888 pixels (twice the bytes, no 5-bit fields).
             {"8888 alpha mod", [](Scene& s) {
                SDL_Surface* src = s.argb->SDLSurface(SDL_PIXELFORMAT_ARGB8888);
                SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
                SDL_SetSurfaceAlphaMod(src, 128);
                return SDLBlit(src, s.dst32->SDLSurface(SDL_PIXELFORMAT_ARGB8888), false);
              }}};
    c.pixman1555.push_back({"x888 over solid", [](Scene& s) {
                              const pixman_color_t half{0, 0, 0, 0x8000};
                              return PixmanComposite(PIXMAN_OP_OVER, s.argb->Pixman(PIXMAN_x8r8g8b8),
                                                     pixman_image_create_solid_fill(&half),
                                                     s.dst32->Pixman(PIXMAN_x8r8g8b8), s.w, s.h);
                            }});
    both(
        "over solid",
        [](Scene& s, pixman_format_code_t f) {
          const pixman_color_t half{0, 0, 0, 0x8000};
          return PixmanComposite(PIXMAN_OP_OVER, s.src->Pixman(f), pixman_image_create_solid_fill(&half),
                                 s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  {
    Case c{"alpha map", [](Scene& s) { return RGB16(s, *s.src, s.alpha.get(), Tint(32, 32, 32, 32), false); }};
    c.sdl = {{"8888 over 555", [](Scene& s) {
                SDL_Surface* src = s.argb->SDLSurface(SDL_PIXELFORMAT_ARGB8888);
                SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
                return SDLBlit(src, s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555), false);
              }}};
    both(
        "a8 mask",
        [](Scene& s, pixman_format_code_t f) {
          Scene* sp = &s;
          pixman_image_t* mask =
              A8Mask(s.w, s.h, [sp](int x, int y) { return UInt8(sp->alpha->Row<UInt8>(y)[x] * 255 / 32); });
          return PixmanComposite(PIXMAN_OP_OVER, s.src->Pixman(f), mask, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    both(
        "over 8888",
        [](Scene& s, pixman_format_code_t f) {
          return PixmanComposite(PIXMAN_OP_OVER, s.argb->Pixman(PIXMAN_a8r8g8b8), nullptr, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  auto colourMod = [](int r, int g, int b) {
    return std::vector<Variant>{{"555 colour mod",
                                 [r, g, b](Scene& s) {
                                   SDL_Surface* src = s.src->SDLSurface(SDL_PIXELFORMAT_RGB555);
                                   SDL_SetSurfaceColorMod(src, UInt8(r), UInt8(g), UInt8(b));
                                   return SDLBlit(src, s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555), false);
                                 }},
                                {"8888 colour mod", [r, g, b](Scene& s) {
                                   SDL_Surface* src = s.argb->SDLSurface(SDL_PIXELFORMAT_ARGB8888);
                                   SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
                                   SDL_SetSurfaceColorMod(src, UInt8(r), UInt8(g), UInt8(b));
                                   return SDLBlit(src, s.dst32->SDLSurface(SDL_PIXELFORMAT_ARGB8888), false);
                                 }}};
  };
  {
    Case c{"brightness half", [](Scene& s) { return RGB16(s, *s.src, nullptr, Tint(16, 16, 16, 32), false); }};
    c.sdl = colourMod(128, 128, 128);
    both(
        "src solid mask",
        [](Scene& s, pixman_format_code_t f) {
          const pixman_color_t half{0, 0, 0, 0x8000};
          return PixmanComposite(PIXMAN_OP_SRC, s.src->Pixman(f), pixman_image_create_solid_fill(&half),
                                 s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  {
    Case c{"colour mapping", [](Scene& s) { return RGB16(s, *s.src, nullptr, Tint(16, 48, 32, 32), false); }};
    c.sdl = colourMod(128, 255, 255);
    c.libraryDoesLess = "pixman: a darken only, ours maps each channel";
    both(
        "component mask",
        [](Scene& s, pixman_format_code_t f) {
          const pixman_color_t k{0x8000, 0xFFFF, 0xFFFF, 0xFFFF};
          pixman_image_t* mask = pixman_image_create_solid_fill(&k);
          pixman_image_set_component_alpha(mask, 1);
          return PixmanComposite(PIXMAN_OP_SRC, s.src->Pixman(f), mask, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  {
    Case c{"scaled alpha + brightness",
           [](Scene& s) { return RGB16(s, *s.half, s.halfAlpha.get(), Tint(16, 16, 16, 32), true); }};
    c.libraryDoesLess = "libraries: alpha only, no brightness";
    c.sdl = {{"8888 over 555", [](Scene& s) {
                SDL_Surface* src = s.halfArgb->SDLSurface(SDL_PIXELFORMAT_ARGB8888);
                SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
                SDL_SetSurfaceColorMod(src, 128, 128, 128);
                return SDLBlit(src, s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555), true);
              }}};
    both(
        "a8 mask scale",
        [](Scene& s, pixman_format_code_t f) {
          Scene* sp = &s;
          pixman_image_t* mask = A8Mask(
              s.w / 2, s.h / 2, [sp](int x, int y) { return UInt8(sp->halfAlpha->Row<UInt8>(y)[x] * 255 / 32); });
          pixman_image_t* src = s.half->Pixman(f);
          ScaleByHalf(src);
          ScaleByHalf(mask);
          return PixmanComposite(PIXMAN_OP_OVER, src, mask, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  {
    Case c{"scaled alpha + brightness turned",
           [](Scene& s) { return RGB16(s, *s.turnedHalf, s.turnedHalfAlpha.get(), Tint(16, 16, 16, 32), true, 1); }};
    c.unturned = "scaled alpha + brightness";
    c.libraryDoesLess = "libraries: alpha only, no brightness";
    both(
        "a8 mask scale turn",
        [](Scene& s, pixman_format_code_t f) {
          Scene* sp = &s;
          pixman_image_t* mask = A8Mask(
              s.h / 2, s.w / 2, [sp](int x, int y) { return UInt8(sp->turnedHalfAlpha->Row<UInt8>(y)[x] * 255 / 32); });
          pixman_image_t* src = s.turnedHalf->Pixman(f);
          for (pixman_image_t* image : {src, mask}) {
            pixman_transform_t t;
            pixman_transform_init_identity(&t);
            t.matrix[0][0] = 0;
            t.matrix[0][1] = pixman_fixed_1 / 2;
            t.matrix[1][0] = -pixman_fixed_1 / 2;
            t.matrix[1][1] = 0;
            t.matrix[1][2] = pixman_int_to_fixed(s.w / 2);
            pixman_image_set_transform(image, &t);
            pixman_image_set_filter(image, PIXMAN_FILTER_NEAREST, nullptr, 0);
          }
          return PixmanComposite(PIXMAN_OP_OVER, src, mask, s.dst->Pixman(f), s.w, s.h);
        },
        &c.pixman1555, &c.pixman565);
    cases.push_back(c);
  }
  // 32-bit copies, plain and turned, beside SDL's 8888 copy and pixman's
  // x8r8g8b8 source and rotation.
  auto copy32Case = [&](const char* name, UInt8 hFlip, char turn) {
    Case c{name, [hFlip, turn](Scene& s) {
             Surface* src = turn & 1 ? s.turned32.get() : s.argb.get();
             return Blit([&s, src, hFlip, turn] {
               FullBlit(CopySprite32, *src, *s.dst32, nullptr, 0, -1, nullptr, hFlip, turn);
             });
           }};
    if (!hFlip && !turn)
      c.sdl = {{"8888", [](Scene& s) {
                  SDL_Surface* src = s.argb->SDLSurface(SDL_PIXELFORMAT_XRGB8888);
                  return SDLBlit(src, s.dst32->SDLSurface(SDL_PIXELFORMAT_XRGB8888), false);
                }}};
    c.pixman1555 = {{!hFlip && !turn ? "x888 src"
                     : turn          ? "x888 rotate 90"
                                     : "x888 mirror",
                     [hFlip, turn](Scene& s) {
                       pixman_image_t* src = (turn & 1 ? s.turned32 : s.argb)->Pixman(PIXMAN_x8r8g8b8);
                       if (turn)
                         TurnQuarter(src, s.w);
                       else if (hFlip)
                         Mirror(src, s.w);
                       return PixmanComposite(PIXMAN_OP_SRC, src, nullptr, s.dst32->Pixman(PIXMAN_x8r8g8b8), s.w, s.h);
                     }}};
    c.bytesPerPixel = 4;
    if (hFlip || turn) c.unturned = "32-bit copy";
    cases.push_back(c);
  };
  copy32Case("32-bit copy", 0, 0);
  copy32Case("32-bit mirrored copy", 1, 0);
  copy32Case("32-bit turned copy", 0, 1);
  // The 8-bit lookup in every key mode and orientation, each beside SDL's
  // INDEX8 blit between different palettes (SDL maps every index through a
  // table: the same work), with SDL's colour key where the mode keys.
  static const char* const kLookupNames[4][4] = {
      {"8-bit lookup", "8-bit lookup mirrored", "8-bit lookup turned", "8-bit lookup half-turned"},
      {"8-bit lookup key", "8-bit lookup key mirrored", "8-bit lookup key turned", "8-bit lookup key half-turned"},
      {"8-bit lookup test", "8-bit lookup test mirrored", "8-bit lookup test turned", "8-bit lookup test half-turned"},
      {"8-bit lookup key 3", "8-bit lookup key 3 mirrored", "8-bit lookup key 3 turned",
       "8-bit lookup key 3 half-turned"},
  };
  for (SInt32 mode = 0; mode < 4; ++mode) {
    for (int orientation = 0; orientation < 4; ++orientation) {
      const UInt8 hFlip = orientation == 1;
      const char turn = char(orientation == 2 ? 1 : orientation == 3 ? 2 : 0);
      Case c{kLookupNames[mode][orientation], [mode, hFlip, turn](Scene& s) {
               Surface* src = turn & 1 ? s.turned8.get() : s.src8.get();
               return Blit([&s, src, mode, hFlip, turn] {
                 FullBlit(CopySprite8, *src, *s.dst8, nullptr, mode, -1, s.lookup8.data(), hFlip, turn);
               });
             }};
      c.sdl = {{mode == 0 ? "index8 palettes" : "index8 key", [mode](Scene& s) {
                  SDL_Surface* src = s.src8->SDLSurface(SDL_PIXELFORMAT_INDEX8);
                  SDL_Surface* dst = s.dst8->SDLSurface(SDL_PIXELFORMAT_INDEX8);
                  std::vector<SDL_Color> a(256), b(256);
                  for (int i = 0; i < 256; ++i) {
                    a[size_t(i)] = SDL_Color{UInt8(i), UInt8(i * 3), UInt8(i * 7), 255};
                    b[size_t(i)] = SDL_Color{UInt8(255 - i), UInt8(i * 5), UInt8(i * 11), 255};
                  }
                  SDL_SetPaletteColors(src->format->palette, a.data(), 0, 256);
                  SDL_SetPaletteColors(dst->format->palette, b.data(), 0, 256);
                  if (mode != 0) SDL_SetColorKey(src, SDL_TRUE, 0);
                  return SDLBlit(src, dst, false);
                }}};
      c.bytesPerPixel = 1;
      if (orientation != 0) c.unturned = kLookupNames[mode][0];
      if (orientation != 0) c.libraryDoesLess = "SDL: unturned";
      if (mode == 2)
        c.libraryDoesLess = orientation ? "SDL: unturned, no destination test" : "SDL: no destination test";
      cases.push_back(c);
    }
  }
  {
    Case c{"fill", [](Scene& s) {
             return Blit([&s] { FullBlit(CopySprite16, *s.src, *s.dst, nullptr, 0, 0x1234, nullptr, 0, 0); });
           }};
    c.sdl = {{"555", [](Scene& s) {
                SDL_Surface* dst = s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555);
                return Blit([dst] { SDL_FillRect(dst, nullptr, 0x1234); });
              }}};
    c.pixman1555 = {{"fill", [](Scene& s) {
                       uint32_t* bits = static_cast<uint32_t*>(s.dst->Bits());
                       const int stride = s.dst->pitch / 4, w = s.w, h = s.h;
                       return Blit([=] { pixman_fill(bits, stride, 16, 0, 0, w, h, 0x1234); });
                     }}};
    c.limit = Limit::Memset;
    cases.push_back(c);
  }
  {
    // Many small keyed sprites with transparent corners and holes: the
    // per-call cost and short runs, not whole screens.
    Case c{"256 keyed sprites 32x32", [](Scene& s) {
             return Blit([&s] {
               const int n = Scene::kSpriteSize;
               for (int i = 0; i < Scene::kSprites; ++i) {
                 const Rect sr{0, SInt16(i * n), SInt16(n), SInt16(i * n + n)};
                 const auto [x, y] = s.spots[size_t(i)];
                 const Rect dr{SInt16(y), SInt16(x), SInt16(y + n), SInt16(x + n)};
                 CopySprite16(s.sheet->Handle(), s.dst->Handle(), nullptr, &sr, &dr, nullptr, 1, -1, nullptr, nullptr,
                              0, 0, 0, nullptr);
               }
             });
           }};
    auto sdlSprites = [](bool rle) {
      return [rle](Scene& s) {
        SDL_Surface* sheet = s.sheet->SDLSurface(SDL_PIXELFORMAT_RGB555);
        SDL_SetColorKey(sheet, SDL_TRUE, kKey);
        if (rle) SDL_SetSurfaceRLE(sheet, 1);
        SDL_Surface* dst = s.dst->SDLSurface(SDL_PIXELFORMAT_RGB555);
        return Blit([&s, sheet, dst] {
          const int n = Scene::kSpriteSize;
          for (int i = 0; i < Scene::kSprites; ++i) {
            SDL_Rect sr{i * n, 0, n, n}, dr{s.spots[size_t(i)].first, s.spots[size_t(i)].second, n, n};
            SDL_BlitSurface(sheet, &sr, dst, &dr);
          }
        });
      };
    };
    c.sdl = {{"555 key", sdlSprites(false)}, {"555 key RLE", sdlSprites(true)}};
    both(
        "over 8888",
        [](Scene& s, pixman_format_code_t f) {
          pixman_image_t* sheet = s.sheetArgb->Pixman(PIXMAN_a8r8g8b8);
          pixman_image_t* dst = s.dst->Pixman(f);
          return Blit([&s, sheet, dst] {
            const int n = Scene::kSpriteSize;
            for (int i = 0; i < Scene::kSprites; ++i)
              pixman_image_composite32(PIXMAN_OP_OVER, sheet, nullptr, dst, i * n, 0, 0, 0, s.spots[size_t(i)].first,
                                       s.spots[size_t(i)].second, n, n);
          });
        },
        &c.pixman1555, &c.pixman565);
    c.limit = Limit::SpriteMemcpy;
    cases.push_back(c);
  }
  return cases;
}

struct Result {
  double ours = 0, limit = 0;
  std::map<std::string, double> sdl, pixman1555, pixman565;  // by variant label
};
std::map<std::string, Result>& Results() {
  static std::map<std::string, Result> results;
  return results;
}
std::vector<std::string>& Order() {
  static std::vector<std::string> order;
  return order;
}

struct CaseNotes {
  std::string unturnedKey;  // the unturned copy's key, or ""
  const char* libraryDoesLess = nullptr;
};
std::map<std::string, CaseNotes>& Notes() {
  static std::map<std::string, CaseNotes> notes;
  return notes;
}

void Register(const Case& c, int w, int h) {
  const std::string size = " " + std::to_string(w) + "x" + std::to_string(h);
  const std::string key = std::string(c.name) + size;
  Order().push_back(key);
  Notes()[key] = CaseNotes{c.unturned ? std::string(c.unturned) + size : std::string(), c.libraryDoesLess};
  auto add = [&](const std::string& impl, const Maker& make) {
    if (!make) return;
    const std::string name = key + "/" + impl;
    benchmark::RegisterBenchmark(name.c_str(), [make, w, h](benchmark::State& state) {
      Scene& scene = SceneOf(w, h);
      const Blit blit = make(scene);
      for (auto _ : state) {
        blit();
        benchmark::ClobberMemory();
      }
      state.SetItemsProcessed(state.iterations() * int64_t(w) * h);
    })->Unit(benchmark::kMicrosecond);
  };
  add("ours", c.ours);
  for (const Variant& v : c.sdl) add(std::string("sdl:") + v.label, v.make);
  for (const Variant& v : c.pixman1555) add(std::string("p1555:") + v.label, v.make);
  for (const Variant& v : c.pixman565) add(std::string("p565:") + v.label, v.make);
  const size_t bytes = c.limit == Limit::SpriteMemcpy
                           ? size_t(Scene::kSprites) * Scene::kSpriteSize * Scene::kSpriteSize * 2
                           : size_t(w) * h * size_t(c.bytesPerPixel);
  if (c.limit == Limit::Memset)
    add("limit", [bytes](Scene& s) {
      void* to = s.dst->Bits();
      return Blit([=] { std::memset(to, 0x34, bytes); });
    });
  else
    add("limit", [bytes](Scene& s) {
      // The 32-bit cases copy between the 32-bit maps (the 16-bit ones hold
      // half the bytes).
      void* from = bytes > s.src->pixels.size() * 4 ? s.argb->Bits() : s.src->Bits();
      void* to = bytes > s.src->pixels.size() * 4 ? s.dst32->Bits() : s.dst->Bits();
      return Blit([=] { std::memcpy(to, from, bytes); });
    });
}

// Keeps the median of each benchmark's repetitions (or its one run).
class TableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const std::string name = run.run_name.str();
      const size_t slash = name.find('/');
      const std::string key = name.substr(0, slash), rest = name.substr(slash + 1);
      const std::string impl = rest.substr(0, rest.find('/'));  // without "/repeats:n"
      // Processor time, in the run's unit (microseconds): on a machine shared
      // with other work the wall clock mostly measures the scheduler.
      const double us = run.GetAdjustedCPUTime();
      Result& r = Results()[key];
      const size_t colon = impl.find(':');
      const std::string kind = impl.substr(0, colon), label = colon == std::string::npos ? "" : impl.substr(colon + 1);
      if (kind == "ours")
        r.ours = us;
      else if (kind == "limit")
        r.limit = us;
      else if (kind == "sdl")
        r.sdl[label] = us;
      else if (kind == "p1555")
        r.pixman1555[label] = us;
      else if (kind == "p565")
        r.pixman565[label] = us;
    }
  }
};

// The fastest formulation: its time and label.
std::pair<double, std::string> Best(const std::map<std::string, double>& variants) {
  std::pair<double, std::string> best{0, ""};
  for (const auto& [label, us] : variants)
    if (us > 0 && (best.first == 0 || us < best.first)) best = {us, label};
  return best;
}

std::string Ratio(double other, double ours) {
  if (other <= 0 || ours <= 0) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", other / ours);
  return text;
}

std::string Load() {
  std::FILE* f = std::fopen("/proc/loadavg", "r");
  if (!f) return "unknown";
  char text[128] = {};
  if (!std::fgets(text, sizeof text, f)) text[0] = 0;
  std::fclose(f);
  std::string s = text;
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1024, 768}})
    for (const Case& c : Cases()) Register(c, w, h);
  // Five repetitions unless asked otherwise; the table reads the medians.
  std::vector<char*> args(argv, argv + argc);
  // Repetitions of all benchmarks are interleaved in random order, so a
  // change in the machine's load falls on every path alike.
  std::string reps = "--benchmark_repetitions=5", aggregates = "--benchmark_report_aggregates_only=true";
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  bool hasReps = false;
  for (int i = 1; i < argc; ++i) hasReps |= std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
  if (!hasReps) {
    args.push_back(reps.data());
    args.push_back(aggregates.data());
  }
  args.push_back(interleave.data());
  int n = int(args.size());
  const std::string loadBefore = Load();
  benchmark::Initialize(&n, args.data());
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nload average (1, 5, 15 min) before: %s; after: %s; %u processors online\n", loadBefore.c_str(),
              Load().c_str(), SDL_GetCPUCount());
  std::printf("%-40s %9s %8s %7s %8s %-16s %8s %-14s %8s %-14s %9s %s\n", "case (median thread cpu us)", "ours",
              "x limit", "limit", "vs SDL2", "(SDL2 form)", "vs p1555", "(form)", "vs p565", "(form)", "x unturned",
              "goal");
  for (const std::string& key : Order()) {
    auto it = Results().find(key);
    if (it == Results().end() || it->second.ours <= 0) continue;
    const Result& r = it->second;
    const auto sdl = Best(r.sdl), p1555 = Best(r.pixman1555), p565 = Best(r.pixman565);
    // The goal: 1.5 times faster than the faster library on its fairest form,
    // or within 1.5 times the memory limit where a library is already there.
    double fastest = 0;
    for (double t : {sdl.first, p1555.first, p565.first})
      if (t > 0 && (fastest == 0 || t < fastest)) fastest = t;
    const bool beats = fastest > 0 && fastest / r.ours >= 1.5;
    const bool atLimit = r.limit > 0 && r.ours / r.limit <= 1.5;
    const bool libraryAtLimit = fastest > 0 && r.limit > 0 && fastest / r.limit <= 1.5;
    std::string goal = beats || atLimit ? "met" : (libraryAtLimit ? "missed (near limit)" : "missed");
    if (fastest == 0) goal = atLimit ? "met (limit)" : "missed (no library)";
    // A turn or mirror: at most twice its own unturned copy, from the medians.
    const CaseNotes& notes = Notes()[key];
    std::string unturned = "";
    if (!notes.unturnedKey.empty()) {
      auto base = Results().find(notes.unturnedKey);
      const double baseUs = base == Results().end() ? 0 : base->second.ours;
      unturned = Ratio(r.ours, baseUs);
      if (baseUs > 0) goal += r.ours / baseUs <= 2.0 ? "; turn <= 2x met" : "; turn <= 2x missed";
    }
    if (notes.libraryDoesLess) goal += std::string(" [") + notes.libraryDoesLess + "]";
    std::printf("%-40s %9.1f %8s %7.1f %8s %-16s %8s %-14s %8s %-14s %9s %s\n", key.c_str(), r.ours,
                Ratio(r.ours, r.limit).c_str(), r.limit, Ratio(sdl.first, r.ours).c_str(), sdl.second.c_str(),
                Ratio(p1555.first, r.ours).c_str(), p1555.second.c_str(), Ratio(p565.first, r.ours).c_str(),
                p565.second.c_str(), unturned.c_str(), goal.c_str());
  }
  std::printf(
      "(x limit: our time over memcpy's of the same bytes, memset's for fills; vs: how many times faster "
      "than the library's fastest form; p1555/p565: pixman on x1r5g5b5 / r5g6b5; x unturned: our time over "
      "our unturned copy's; times are each benchmark thread's processor time)\n");
  benchmark::Shutdown();
  return 0;
}
