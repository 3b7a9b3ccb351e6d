// The software blitter at the game's two window sizes, beside the physical
// limit (memcpy of the same bytes) and the nearest equivalent in the
// libraries a user would pick instead: SDL2's surface blits and pixman's
// composite, both on x1r5g5b5 surfaces. After Google Benchmark's own output
// comes one table: our time, Mpixel/s, our time over memcpy's, and how many
// times faster we are than SDL2 and pixman. Surfaces and images made for a
// benchmark live until the program ends.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

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
  SDL_Surface* Sdl(Uint32 format) {
    return SDL_CreateRGBSurfaceWithFormatFrom(Bits(), width, height, depth, pitch, format);
  }
  pixman_image_t* Pixman(pixman_format_code_t format) {
    return pixman_image_create_bits(format, width, height, static_cast<uint32_t*>(Bits()), pitch);
  }
};

// Everything one window size needs, made once.
struct Scene {
  int w, h;
  std::unique_ptr<Surface> src, dst, turned, half, mask, alpha, halfAlpha, src8, dst8, argb, halfArgb;
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
  }

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

pixman_image_t* SolidMask(double alpha) {
  const pixman_color_t c{0, 0, 0, UInt16(alpha * 0xFFFF)};
  return pixman_image_create_solid_fill(&c);
}

// One implementation of one case: a set-up that returns the blit to time.
using Blit = std::function<void()>;
using Maker = std::function<Blit(Scene&)>;

struct Case {
  const char* name;
  Maker ours, sdl, pixman;
  int bytesPerPixel = 2;
};

void FullBlit(void (*blit)(PixMapHandle, PixMapHandle, PixMapHandle, const Rect*, const Rect*, const Rect*, SInt32,
                           SInt32, void*, void*, UInt8, UInt8, char, const Rect*),
              Surface& src, Surface& dst, Surface* mask, SInt32 mode, SInt32 color, void* lookup, UInt8 hFlip,
              char turn) {
  const Rect sr = src.Bounds(), dr = dst.Bounds();
  blit(src.Handle(), dst.Handle(), mask ? mask->Handle() : nullptr, &sr, &dr, nullptr, mode, color, lookup, nullptr,
       hFlip, 0, turn, nullptr);
}

Blit RGB16(Scene& s, Surface& src, Surface* alpha, RGBAColor16 tint, bool scaled) {
  return [&s, &src, alpha, tint, scaled]() mutable {
    const Rect sr = src.Bounds(), dr = s.dst->Bounds();
    (scaled ? ScaleSpriteRGB16 : CopySpriteRGB16)(src.Handle(), s.dst->Handle(), nullptr, &sr, &dr, nullptr, 0, -1,
                                                  nullptr, &tint, 0, 0, 0, nullptr, alpha ? alpha->Handle() : nullptr,
                                                  nullptr);
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

Blit SdlBlit(SDL_Surface* src, SDL_Surface* dst, bool scaled) {
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

std::vector<Case> Cases() {
  std::vector<Case> cases;
  cases.push_back(
      {"plain copy",
       [](Scene& s) { return Blit([&s] { FullBlit(CopySprite16, *s.src, *s.dst, nullptr, 0, -1, nullptr, 0, 0); }); },
       [](Scene& s) { return SdlBlit(s.src->Sdl(SDL_PIXELFORMAT_RGB555), s.dst->Sdl(SDL_PIXELFORMAT_RGB555), false); },
       [](Scene& s) {
         return PixmanComposite(PIXMAN_OP_SRC, s.src->Pixman(PIXMAN_x1r5g5b5), nullptr, s.dst->Pixman(PIXMAN_x1r5g5b5),
                                s.w, s.h);
       }});
  cases.push_back(
      {"keyed copy",
       [](Scene& s) { return Blit([&s] { FullBlit(CopySprite16, *s.src, *s.dst, nullptr, 1, -1, nullptr, 0, 0); }); },
       [](Scene& s) {
         SDL_Surface* src = s.src->Sdl(SDL_PIXELFORMAT_RGB555);
         SDL_SetColorKey(src, SDL_TRUE, kKey);
         return SdlBlit(src, s.dst->Sdl(SDL_PIXELFORMAT_RGB555), false);
       },
       [](Scene& s) {
         // The key as alpha 0 of an a1r5g5b5 copy of the source.
         auto* keyed = new Surface(s.w, s.h, 16);
         for (int y = 0; y < s.h; ++y)
           for (int x = 0; x < s.w; ++x) {
             const UInt16 p = s.src->Row<UInt16>(y)[x];
             keyed->Row<UInt16>(y)[x] = p == kKey ? 0 : UInt16(p | 0x8000);
           }
         return PixmanComposite(PIXMAN_OP_OVER, keyed->Pixman(PIXMAN_a1r5g5b5), nullptr, s.dst->Pixman(PIXMAN_x1r5g5b5),
                                s.w, s.h);
       }});
  cases.push_back({"masked copy",
                   [](Scene& s) {
                     return Blit([&s] { FullBlit(CopySprite16, *s.src, *s.dst, s.mask.get(), 0, -1, nullptr, 0, 0); });
                   },
                   nullptr,
                   [](Scene& s) {
                     auto* a8 = new Surface(s.w, s.h, 8);
                     for (int y = 0; y < s.h; ++y)
                       for (int x = 0; x < s.w; ++x) a8->Row<UInt8>(y)[x] = s.mask->Row<UInt16>(y)[x] == kKey ? 255 : 0;
                     return PixmanComposite(PIXMAN_OP_SRC, s.src->Pixman(PIXMAN_x1r5g5b5), a8->Pixman(PIXMAN_a8),
                                            s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
                   }});
  cases.push_back({"flipped and turned copy",
                   [](Scene& s) {
                     return Blit([&s] { FullBlit(CopySprite16, *s.turned, *s.dst, nullptr, 0, -1, nullptr, 1, 1); });
                   },
                   nullptr,
                   [](Scene& s) {
                     // A quarter turn and a mirror: a transpose.
                     pixman_image_t* src = s.turned->Pixman(PIXMAN_x1r5g5b5);
                     pixman_transform_t t;
                     pixman_transform_init_identity(&t);
                     t.matrix[0][0] = t.matrix[1][1] = 0;
                     t.matrix[0][1] = t.matrix[1][0] = pixman_fixed_1;
                     pixman_image_set_transform(src, &t);
                     pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
                     return PixmanComposite(PIXMAN_OP_SRC, src, nullptr, s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
                   }});
  cases.push_back(
      {"scaled copy x2",
       [](Scene& s) { return Blit([&s] { FullBlit(ScaleSprite16, *s.half, *s.dst, nullptr, 0, -1, nullptr, 0, 0); }); },
       [](Scene& s) { return SdlBlit(s.half->Sdl(SDL_PIXELFORMAT_RGB555), s.dst->Sdl(SDL_PIXELFORMAT_RGB555), true); },
       [](Scene& s) {
         pixman_image_t* src = s.half->Pixman(PIXMAN_x1r5g5b5);
         ScaleByHalf(src);
         return PixmanComposite(PIXMAN_OP_SRC, src, nullptr, s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
       }});
  cases.push_back({"opacity 1/2", [](Scene& s) { return RGB16(s, *s.src, nullptr, Tint(32, 32, 32, 16), false); },
                   [](Scene& s) {
                     SDL_Surface* src = s.src->Sdl(SDL_PIXELFORMAT_RGB555);
                     SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
                     SDL_SetSurfaceAlphaMod(src, 128);
                     return SdlBlit(src, s.dst->Sdl(SDL_PIXELFORMAT_RGB555), false);
                   },
                   [](Scene& s) {
                     return PixmanComposite(PIXMAN_OP_OVER, s.src->Pixman(PIXMAN_x1r5g5b5), SolidMask(0.5),
                                            s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
                   }});
  cases.push_back({"alpha map", [](Scene& s) { return RGB16(s, *s.src, s.alpha.get(), Tint(32, 32, 32, 32), false); },
                   [](Scene& s) {
                     SDL_Surface* src = s.argb->Sdl(SDL_PIXELFORMAT_ARGB8888);
                     SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
                     return SdlBlit(src, s.dst->Sdl(SDL_PIXELFORMAT_RGB555), false);
                   },
                   [](Scene& s) {
                     auto* a8 = new Surface(s.w, s.h, 8);
                     for (int y = 0; y < s.h; ++y)
                       for (int x = 0; x < s.w; ++x) a8->Row<UInt8>(y)[x] = UInt8(s.alpha->Row<UInt8>(y)[x] * 255 / 32);
                     return PixmanComposite(PIXMAN_OP_OVER, s.src->Pixman(PIXMAN_x1r5g5b5), a8->Pixman(PIXMAN_a8),
                                            s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
                   }});
  cases.push_back({"brightness 1/2", [](Scene& s) { return RGB16(s, *s.src, nullptr, Tint(16, 16, 16, 32), false); },
                   [](Scene& s) {
                     SDL_Surface* src = s.src->Sdl(SDL_PIXELFORMAT_RGB555);
                     SDL_SetSurfaceColorMod(src, 128, 128, 128);
                     return SdlBlit(src, s.dst->Sdl(SDL_PIXELFORMAT_RGB555), false);
                   },
                   [](Scene& s) {
                     return PixmanComposite(PIXMAN_OP_SRC, s.src->Pixman(PIXMAN_x1r5g5b5), SolidMask(0.5),
                                            s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
                   }});
  cases.push_back({"colour mapping", [](Scene& s) { return RGB16(s, *s.src, nullptr, Tint(16, 48, 32, 32), false); },
                   [](Scene& s) {
                     SDL_Surface* src = s.src->Sdl(SDL_PIXELFORMAT_RGB555);
                     SDL_SetSurfaceColorMod(src, 128, 255, 255);
                     return SdlBlit(src, s.dst->Sdl(SDL_PIXELFORMAT_RGB555), false);
                   },
                   [](Scene& s) {
                     const pixman_color_t c{0x8000, 0xFFFF, 0xFFFF, 0xFFFF};
                     pixman_image_t* mask = pixman_image_create_solid_fill(&c);
                     pixman_image_set_component_alpha(mask, 1);
                     return PixmanComposite(PIXMAN_OP_SRC, s.src->Pixman(PIXMAN_x1r5g5b5), mask,
                                            s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
                   }});
  cases.push_back({"scaled alpha + brightness",
                   [](Scene& s) { return RGB16(s, *s.half, s.halfAlpha.get(), Tint(16, 16, 16, 32), true); },
                   [](Scene& s) {
                     SDL_Surface* src = s.halfArgb->Sdl(SDL_PIXELFORMAT_ARGB8888);
                     SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
                     SDL_SetSurfaceColorMod(src, 128, 128, 128);
                     return SdlBlit(src, s.dst->Sdl(SDL_PIXELFORMAT_RGB555), true);
                   },
                   [](Scene& s) {
                     auto* a8 = new Surface(s.w / 2, s.h / 2, 8);
                     for (int y = 0; y < s.h / 2; ++y)
                       for (int x = 0; x < s.w / 2; ++x)
                         a8->Row<UInt8>(y)[x] = UInt8(s.halfAlpha->Row<UInt8>(y)[x] * 255 / 32);
                     pixman_image_t* src = s.half->Pixman(PIXMAN_x1r5g5b5);
                     pixman_image_t* mask = a8->Pixman(PIXMAN_a8);
                     ScaleByHalf(src);
                     ScaleByHalf(mask);
                     return PixmanComposite(PIXMAN_OP_OVER, src, mask, s.dst->Pixman(PIXMAN_x1r5g5b5), s.w, s.h);
                   }});
  cases.push_back({"8-bit lookup",
                   [](Scene& s) {
                     return Blit(
                         [&s] { FullBlit(CopySprite8, *s.src8, *s.dst8, nullptr, 0, -1, s.lookup8.data(), 0, 0); });
                   },
                   [](Scene& s) {
                     // Different palettes make SDL map every index through a table.
                     SDL_Surface* src = s.src8->Sdl(SDL_PIXELFORMAT_INDEX8);
                     SDL_Surface* dst = s.dst8->Sdl(SDL_PIXELFORMAT_INDEX8);
                     std::vector<SDL_Color> a(256), b(256);
                     for (int i = 0; i < 256; ++i) {
                       a[size_t(i)] = SDL_Color{UInt8(i), UInt8(i * 3), UInt8(i * 7), 255};
                       b[size_t(i)] = SDL_Color{UInt8(255 - i), UInt8(i * 5), UInt8(i * 11), 255};
                     }
                     SDL_SetPaletteColors(src->format->palette, a.data(), 0, 256);
                     SDL_SetPaletteColors(dst->format->palette, b.data(), 0, 256);
                     return SdlBlit(src, dst, false);
                   },
                   nullptr, 1});
  cases.push_back({"fill",
                   [](Scene& s) {
                     return Blit([&s] { FullBlit(CopySprite16, *s.src, *s.dst, nullptr, 0, 0x1234, nullptr, 0, 0); });
                   },
                   [](Scene& s) {
                     SDL_Surface* dst = s.dst->Sdl(SDL_PIXELFORMAT_RGB555);
                     return Blit([dst] { SDL_FillRect(dst, nullptr, 0x1234); });
                   },
                   [](Scene& s) {
                     uint32_t* bits = static_cast<uint32_t*>(s.dst->Bits());
                     const int stride = s.dst->pitch / 4, w = s.w, h = s.h;
                     return Blit([=] { pixman_fill(bits, stride, 16, 0, 0, w, h, 0x1234); });
                   }});
  return cases;
}

struct Result {
  double ours = 0, memcpyTime = 0, sdl = 0, pixman = 0;
  int pixels = 0;
};
std::map<std::string, Result>& Results() {
  static std::map<std::string, Result> results;
  return results;
}
std::vector<std::string>& Order() {
  static std::vector<std::string> order;
  return order;
}

void Register(const Case& c, int w, int h) {
  const std::string key = std::string(c.name) + " " + std::to_string(w) + "x" + std::to_string(h);
  Order().push_back(key);
  auto add = [&](const char* impl, const Maker& make) {
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
  add("sdl", c.sdl);
  add("pixman", c.pixman);
  const int bytes = w * h * c.bytesPerPixel;
  add("memcpy", [bytes](Scene& s) {
    void* from = s.src->Bits();
    void* to = s.dst->Bits();
    return Blit([=] { std::memcpy(to, from, size_t(bytes)); });
  });
}

class TableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      const size_t slash = name.rfind('/');
      const std::string key = name.substr(0, slash), impl = name.substr(slash + 1);
      const double us = run.GetAdjustedRealTime();  // in the run's unit, microseconds
      Result& r = Results()[key];
      if (impl == "ours")
        r.ours = us;
      else if (impl == "memcpy")
        r.memcpyTime = us;
      else if (impl == "sdl")
        r.sdl = us;
      else if (impl == "pixman")
        r.pixman = us;
    }
  }
};

std::string Ratio(double other, double ours) {
  if (other <= 0 || ours <= 0) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", other / ours);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1024, 768}})
    for (const Case& c : Cases()) Register(c, w, h);
  benchmark::Initialize(&argc, argv);
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-36s %10s %9s %12s %9s %9s\n", "case", "time us", "Mpixel/s", "x memcpy", "vs SDL2", "vs pixman");
  for (const std::string& key : Order()) {
    auto it = Results().find(key);
    if (it == Results().end() || it->second.ours <= 0) continue;
    const Result& r = it->second;
    const size_t space = key.rfind(' ');
    const std::string size = key.substr(space + 1);
    const int w = std::atoi(size.c_str()), h = std::atoi(size.substr(size.find('x') + 1).c_str());
    std::printf("%-36s %10.1f %9.0f %12s %9s %9s\n", key.c_str(), r.ours, w * double(h) / r.ours,
                Ratio(r.ours, r.memcpyTime).c_str(), Ratio(r.sdl, r.ours).c_str(), Ratio(r.pixman, r.ours).c_str());
  }
  std::printf("(x memcpy: our time over memcpy's of the same bytes; vs: how many times faster than the library)\n");
  benchmark::Shutdown();
  return 0;
}
