// Drawing helpers shared by every picture: noise, glows, panels, text, PNG output.
#include <cairo-ft.h>
#include <ft2build.h>

#include "AssetGen.h"
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <stdexcept>

namespace assetgen {

uint32_t Rng::Next() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

double Rng::Unit() { return (Next() >> 8) / 16777216.0; }
double Rng::Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }

static double Lattice(int x, int y, uint32_t seed) {
  uint32_t h = seed ^ (uint32_t(x) * 374761393u) ^ (uint32_t(y) * 668265263u);
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / 16777215.0;
}

double Noise2(double x, double y, uint32_t seed) {
  double fx = std::floor(x), fy = std::floor(y);
  int ix = int(fx), iy = int(fy);
  double tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
  double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Fbm(double x, double y, uint32_t seed, int octaves) {
  double sum = 0, amp = 0.5, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * Noise2(x, y, seed + 1013u * uint32_t(i));
    norm += amp;
    x *= 2.03;
    y *= 2.03;
    amp *= 0.5;
  }
  return sum / norm;
}

cairo_surface_t* NewSurface(int width, int height) {
  return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
}

void WritePng(cairo_surface_t* surface, const std::string& relative) { WritePngFile(surface, OutPath(relative)); }

void WritePngFile(cairo_surface_t* surface, const std::string& path) {
  cairo_surface_flush(surface);
  int w = cairo_image_surface_get_width(surface);
  int h = cairo_image_surface_get_height(surface);
  int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  std::vector<unsigned char> rgba(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < w; ++x) {
      uint32_t p = row[x];
      unsigned a = p >> 24;
      unsigned c[3] = {(p >> 16) & 255, (p >> 8) & 255, p & 255};
      unsigned char* o = &rgba[(size_t(y) * w + x) * 4];
      for (int k = 0; k < 3; ++k) o[k] = a ? (unsigned char)std::min(255u, (c[k] * 255 + a / 2) / a) : 0;
      o[3] = (unsigned char)a;
    }
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    throw std::runtime_error("libpng failed writing " + path);
  }
  png_init_io(png, f);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) png_write_row(png, &rgba[size_t(y) * w * 4]);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
}

void SetRgb(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Rgb Scale(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }

void Glow(cairo_t* cr, double x, double y, double radius, Rgb c, double alpha) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, radius);
  cairo_pattern_add_color_stop_rgba(p, 0.0, c.r, c.g, c.b, alpha);
  cairo_pattern_add_color_stop_rgba(p, 0.35, c.r, c.g, c.b, alpha * 0.45);
  cairo_pattern_add_color_stop_rgba(p, 1.0, c.r, c.g, c.b, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Starfield(cairo_t* cr, int w, int h, uint32_t seed, int count) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    double x = rng.Range(0, w), y = rng.Range(0, h);
    double m = rng.Unit();
    double bright = 0.25 + 0.75 * m * m * m;
    Rgb tint = Mix({0.7, 0.8, 1.0}, {1.0, 0.9, 0.75}, rng.Unit());
    if (m > 0.93) Glow(cr, x, y, 3 + 5 * m, tint, 0.35 * bright);
    SetRgb(cr, tint, bright);
    cairo_arc(cr, x, y, 0.45 + 0.9 * m * m, 0, 2 * M_PI);
    cairo_fill(cr);
  }
}

void NebulaClouds(cairo_t* cr, int w, int h, uint32_t seed, Rgb a, Rgb b, double strength) {
  cairo_surface_t* s = NewSurface(w, h);
  unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < w; ++x) {
      double n = Fbm(x / 180.0, y / 180.0, seed, 6);
      double m = Fbm(x / 90.0 + 7.3, y / 90.0 - 2.1, seed + 77, 5);
      double d = std::max(0.0, n - 0.42) * 2.4 * strength;
      d = std::min(1.0, d * (0.6 + 0.8 * m));
      Rgb c = Mix(a, b, std::clamp(m * 1.4 - 0.2, 0.0, 1.0));
      unsigned al = unsigned(std::lround(d * 255));
      auto ch = [&](double v) { return unsigned(std::lround(std::clamp(v, 0.0, 1.0) * al)); };
      row[x] = (al << 24) | (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
    }
  }
  cairo_surface_mark_dirty(s);
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(s);
}

static cairo_font_face_t* FaceFor(Face face) {
  static std::once_flag once;
  static cairo_font_face_t* faces[2];
  std::call_once(once, [] {
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) throw std::runtime_error("FreeType did not start");
    for (int i = 0; i < 2; ++i) {
      FT_Face ft;
      std::string file = FontFile(Face(i));
      if (FT_New_Face(lib, file.c_str(), 0, &ft)) throw std::runtime_error("cannot open font " + file);
      faces[i] = cairo_ft_font_face_create_for_ft_face(ft, 0);
    }
  });
  return faces[int(face)];
}

void SelectFace(cairo_t* cr, Face face, double size) {
  cairo_set_font_face(cr, FaceFor(face));
  cairo_set_font_size(cr, size);
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, o);
  cairo_font_options_destroy(o);
}

static void TextPathCentred(cairo_t* cr, const std::string& text, double cx, double cy) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_move_to(cr, cx - e.x_advance / 2, cy - (e.y_bearing + e.height / 2));
  cairo_text_path(cr, text.c_str());
}

void DrawTitleText(cairo_t* cr, Face face, const std::string& text, double cx, double cy, const TextStyle& st) {
  cairo_save(cr);
  SelectFace(cr, face, st.size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  if (st.glowAlpha > 0) {
    for (int i = 6; i >= 1; --i) {
      cairo_new_path(cr);
      TextPathCentred(cr, text, cx, cy);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_set_line_width(cr, st.size * 0.05 * i);
      SetRgb(cr, st.glow, st.glowAlpha / (i + 1.5));
      cairo_stroke(cr);
    }
  }
  cairo_new_path(cr);
  TextPathCentred(cr, text, cx, cy);
  if (st.outline > 0) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, st.outline);
    cairo_set_source_rgba(cr, 0.02, 0.02, 0.08, 0.9);
    cairo_stroke_preserve(cr);
  }
  double top = cy - e.height / 2, bottom = cy + e.height / 2;
  cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
  cairo_pattern_add_color_stop_rgb(p, 0, st.top.r, st.top.g, st.top.b);
  cairo_pattern_add_color_stop_rgb(p, 0.55, Mix(st.top, st.bottom, 0.7).r, Mix(st.top, st.bottom, 0.7).g,
                                   Mix(st.top, st.bottom, 0.7).b);
  cairo_pattern_add_color_stop_rgb(p, 1, st.bottom.r, st.bottom.g, st.bottom.b);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

void DrawPlainText(cairo_t* cr, Face face, double size, const std::string& text, double x, double y, int align, Rgb c,
                   double alpha) {
  cairo_save(cr);
  SelectFace(cr, face, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  double left = align == 0 ? x : align == 1 ? x - e.x_advance / 2 : x - e.x_advance;
  cairo_move_to(cr, left + 1, y + 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6 * alpha);
  cairo_show_text(cr, text.c_str());
  cairo_move_to(cr, left, y);
  SetRgb(cr, c, alpha);
  cairo_show_text(cr, text.c_str());
  cairo_restore(cr);
}

void Panel(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb accent) {
  cairo_save(cr);
  RoundedRect(cr, x + 1, y + 1, w - 2, h - 2, radius);
  cairo_pattern_t* frame = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(frame, 0, 0.62, 0.68, 0.80);
  cairo_pattern_add_color_stop_rgb(frame, 0.5, 0.22, 0.25, 0.34);
  cairo_pattern_add_color_stop_rgb(frame, 1, 0.40, 0.44, 0.56);
  cairo_set_source(cr, frame);
  cairo_fill(cr);
  cairo_pattern_destroy(frame);
  double b = std::max(3.0, std::min(w, h) * 0.035);
  RoundedRect(cr, x + b, y + b, w - 2 * b, h - 2 * b, std::max(1.0, radius - b * 0.7));
  cairo_pattern_t* inner = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgba(inner, 0, 0.06, 0.08, 0.18, 0.96);
  cairo_pattern_add_color_stop_rgba(inner, 1, 0.02, 0.02, 0.07, 0.96);
  cairo_set_source(cr, inner);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(inner);
  cairo_set_line_width(cr, 1.5);
  SetRgb(cr, accent, 0.65);
  cairo_stroke(cr);
  // glassy highlight across the top third
  RoundedRect(cr, x + b + 2, y + b + 2, w - 2 * b - 4, (h - 2 * b) * 0.3, std::max(1.0, radius - b));
  cairo_pattern_t* hi = cairo_pattern_create_linear(0, y + b, 0, y + b + (h - 2 * b) * 0.3);
  cairo_pattern_add_color_stop_rgba(hi, 0, 1, 1, 1, 0.10);
  cairo_pattern_add_color_stop_rgba(hi, 1, 1, 1, 1, 0.0);
  cairo_set_source(cr, hi);
  cairo_fill(cr);
  cairo_pattern_destroy(hi);
  cairo_restore(cr);
}

void ButtonPicture(cairo_t* cr, int w, int h, const std::string& label, Rgb accent, Face face) {
  double r = h * 0.42;
  cairo_save(cr);
  RoundedRect(cr, 1, 1, w - 2, h - 2, r);
  cairo_pattern_t* rim = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(rim, 0, 0.85, 0.9, 1.0);
  cairo_pattern_add_color_stop_rgb(rim, 0.5, 0.25, 0.28, 0.38);
  cairo_pattern_add_color_stop_rgb(rim, 1, 0.55, 0.6, 0.72);
  cairo_set_source(cr, rim);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  double b = std::max(2.0, h * 0.07);
  RoundedRect(cr, 1 + b, 1 + b, w - 2 - 2 * b, h - 2 - 2 * b, r - b);
  cairo_pattern_t* body = cairo_pattern_create_linear(0, b, 0, h - b);
  Rgb top = Mix(accent, {1, 1, 1}, 0.25), mid = Scale(accent, 0.55), bot = Scale(accent, 0.25);
  cairo_pattern_add_color_stop_rgb(body, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(body, 0.5, mid.r, mid.g, mid.b);
  cairo_pattern_add_color_stop_rgb(body, 0.52, bot.r, bot.g, bot.b);
  cairo_pattern_add_color_stop_rgb(body, 1, mid.r, mid.g, mid.b);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  RoundedRect(cr, 1 + b * 2, 1 + b * 1.5, w - 2 - 4 * b, (h - 2) * 0.36, r * 0.8);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
  cairo_fill(cr);
  cairo_restore(cr);
  TextStyle st{h * 0.52, {1, 1, 1}, Mix(accent, {1, 1, 1}, 0.7), {0, 0, 0}, 0, h * 0.07};
  DrawTitleText(cr, face, label, w / 2.0, h / 2.0 + 0.5, st);
}

}  // namespace assetgen
