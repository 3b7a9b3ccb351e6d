// Frame pictures for the sprite sheets. Tinted frames (engine glow, halo,
// digits) are drawn in white and grey; the game colours the rest in the file.
#include "Sprites.h"

#include <algorithm>
#include <cmath>

#include "AssetGen.h"

namespace assetgen {

namespace {

const Rgb kPlayer[2] = {{0.0, 1.0, 0.682353}, {0.0, 1.0, 1.0}};
const Rgb kEnemy{0.75, 1.0, 0.0};
const Rgb kWhite{1, 1, 1};
const Rgb kPlasma[3] = {{1.0, 0.0, 0.78}, {1.0, 0.0, 0.0}, {0.1, 0.3, 1.0}};

void Fill(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb a, Rgb b, double alpha = 1) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  cairo_pattern_add_color_stop_rgba(p, 0, a.r, a.g, a.b, alpha);
  cairo_pattern_add_color_stop_rgba(p, 1, b.r, b.g, b.b, alpha);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

void Outline(cairo_t* cr, double width = 0.8) {
  cairo_set_line_width(cr, width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_source_rgba(cr, 0.0, 0.02, 0.06, 0.9);
  cairo_stroke(cr);
}

// Straight-alpha pixels into a premultiplied surface painted at the origin.
template <class Shade>
void PaintPixels(cairo_t* cr, int w, int h, int samples, Shade shade) {
  cairo_surface_t* s = NewSurface(w, h);
  unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx) {
          double c[4] = {0, 0, 0, 0};
          shade(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples, c);
          r += c[0] * c[3];
          g += c[1] * c[3];
          b += c[2] * c[3];
          a += c[3];
        }
      double n = samples * samples;
      auto byte = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
      uint32_t A = byte(a / n);
      uint32_t R = std::min(A, byte(r / n)), G = std::min(A, byte(g / n)), B = std::min(A, byte(b / n));
      reinterpret_cast<uint32_t*>(data + size_t(y) * stride)[x] = (A << 24) | (R << 16) | (G << 8) | B;
    }
  cairo_surface_mark_dirty(s);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(s);
}

double Noise3(double x, double y, double z, uint32_t seed) {
  double fz = std::floor(z);
  double t = z - fz;
  t = t * t * (3 - 2 * t);
  uint32_t s0 = seed + uint32_t(int(fz)) * 2246822519u, s1 = s0 + 2246822519u;
  return Noise2(x, y, s0) * (1 - t) + Noise2(x + 0.0, y, s1) * t;
}

double RockField(double x, double y, double z) {
  double n = 0, amp = 0.5, f = 1.6;
  for (int i = 0; i < 4; ++i) {
    n += amp * Noise3(x * f + 11, y * f + 5, z * f + 3, 71 + i);
    f *= 2.1;
    amp *= 0.5;
  }
  return n / 0.9375;
}

// A rough rock tumbling about a tilted axis; one full turn over frames 0..34.
void ShadeMeteor(double px, double py, double angle, double* out) {
  const double R = 0.74;
  double u = (px - 16) / 16, v = (py - 16) / 16;
  if (u * u + v * v > 1.0) return;
  double ca = std::cos(angle), sa = std::sin(angle), ct = std::cos(0.5), st = std::sin(0.5);
  auto field = [&](double x, double y, double z) {
    double rx = ca * x + sa * z, rz = -sa * x + ca * z;    // turn about y
    double ry = ct * y - st * rz, rz2 = st * y + ct * rz;  // tilt the axis
    double r = std::sqrt(rx * rx + ry * ry + rz2 * rz2);
    double lump = RockField(rx, ry, rz2);
    double crater = std::max(0.0, Noise3(rx * 3 + 40, ry * 3, rz2 * 3, 9) - 0.62) * 0.9;
    return r - R * (0.78 + 0.42 * lump - crater * 0.35);
  };
  double z = 1.2;
  bool hit = false;
  for (int i = 0; i < 48 && z > -1.2; ++i) {
    double f = field(u, v, z);
    if (f < 0.003) {
      hit = true;
      break;
    }
    z -= std::max(0.01, f * 0.55);
  }
  if (!hit) return;
  const double e = 0.02;
  double nx = field(u + e, v, z) - field(u - e, v, z);
  double ny = field(u, v + e, z) - field(u, v - e, z);
  double nz = field(u, v, z + e) - field(u, v, z - e);
  double nl = std::sqrt(nx * nx + ny * ny + nz * nz) + 1e-9;
  nx /= nl, ny /= nl, nz /= nl;
  const double lx = -0.55, ly = -0.6, lz = 0.58;
  double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
  double rim = std::pow(1 - std::max(0.0, nz), 3) * 0.35;
  double rx = ca * u + sa * z, rz = -sa * u + ca * z;
  double tone = RockField(rx * 2.5 + 7, v * 2.5, rz * 2.5);
  // Light enough, shadows included, to stand out against the dark field.
  Rgb base = Mix({0.50, 0.44, 0.39}, {0.82, 0.72, 0.60}, std::clamp(tone * 1.5 - 0.3, 0.0, 1.0));
  double light = 0.42 + 0.75 * diffuse;
  out[0] = base.r * light + rim * 0.9;
  out[1] = base.g * light + rim * 0.6;
  out[2] = base.b * light + rim * 0.4;
  out[3] = 1;
}

// ---- Ships ------------------------------------------------------------------------

// Player fighter, nose up; roll in radians (positive banks right).
void PlayerShip(cairo_t* cr, Rgb accent, double roll) {
  double c = std::cos(roll), s = std::sin(roll);
  double cx = 16 + 2.2 * s;
  double spanL = 13 * c * (1 - 0.25 * s), spanR = 13 * c * (1 + 0.25 * s);
  Glow(cr, cx, 29, 5, accent, 0.5);
  // wings
  cairo_move_to(cr, cx - 2, 9);
  cairo_line_to(cr, cx - spanL, 24 + 2 * s);
  cairo_line_to(cr, cx - spanL, 27 + 2 * s);
  cairo_line_to(cr, cx - 3, 26);
  cairo_close_path(cr);
  Fill(cr, cx - spanL, 0, cx, 0, Scale(accent, 0.45 + 0.3 * std::max(0.0, -s)), Mix(accent, kWhite, 0.2));
  Outline(cr);
  cairo_move_to(cr, cx + 2, 9);
  cairo_line_to(cr, cx + spanR, 24 - 2 * s);
  cairo_line_to(cr, cx + spanR, 27 - 2 * s);
  cairo_line_to(cr, cx + 3, 26);
  cairo_close_path(cr);
  Fill(cr, cx, 0, cx + spanR, 0, Mix(accent, kWhite, 0.1), Scale(accent, 0.35 + 0.3 * std::max(0.0, s)));
  Outline(cr);
  // fuselage
  double fw = 4.2 * (0.85 + 0.15 * c);
  cairo_move_to(cr, cx, 1.5);
  cairo_curve_to(cr, cx + fw, 8, cx + fw, 20, cx + fw * 0.8, 28);
  cairo_line_to(cr, cx - fw * 0.8, 28);
  cairo_curve_to(cr, cx - fw, 20, cx - fw, 8, cx, 1.5);
  cairo_close_path(cr);
  Fill(cr, cx - fw + 2 * s, 0, cx + fw + 2 * s, 0, {0.95, 0.97, 1.0}, {0.3, 0.33, 0.42});
  Outline(cr);
  // cockpit
  cairo_save(cr);
  cairo_translate(cr, cx + 0.6 * s, 11);
  cairo_scale(cr, 1.8, 3.6);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  Fill(cr, cx, 7, cx, 15, {0.7, 0.95, 1.0}, {0.0, 0.15, 0.35});
  cairo_new_path(cr);
  // wing-tip lights and nozzle
  SetRgb(cr, Mix(accent, kWhite, 0.5));
  cairo_arc(cr, cx - spanL + 0.8, 25 + 2 * s, 1.1, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_arc(cr, cx + spanR - 0.8, 25 - 2 * s, 1.1, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_rectangle(cr, cx - 2.2, 27.5, 4.4, 2);
  cairo_set_source_rgb(cr, 0.25, 0.25, 0.3);
  cairo_fill(cr);
}

// One raider wing as a path, root at the origin, reaching out along +x and
// down into a claw; sd = -1 mirrors it to the left.
void WingPath(cairo_t* cr, double sd, double span, double droop) {
  cairo_move_to(cr, 0, -6);
  cairo_line_to(cr, span * 0.75 * sd, -8 + droop);
  cairo_curve_to(cr, span * sd, -7 + droop, span * 1.05 * sd, 2 + droop, span * 0.85 * sd, 12 + droop);
  cairo_line_to(cr, span * 0.55 * sd, 4 + droop);
  cairo_line_to(cr, 0, 4);
  cairo_close_path(cr);
}

void WingStripe(cairo_t* cr, double sd, double span, double droop, double alpha) {
  cairo_move_to(cr, span * 0.2 * sd, -6.2);
  cairo_line_to(cr, span * 0.75 * sd, -7.6 + droop);
  cairo_curve_to(cr, span * 0.95 * sd, -6 + droop, span * 0.98 * sd, 2 + droop, span * 0.85 * sd, 10 + droop);
  cairo_set_line_width(cr, 1.3);
  SetRgb(cr, kEnemy, alpha);
  cairo_stroke(cr);
}

const Rgb kMetalLight{0.78, 0.8, 0.88}, kMetalDark{0.13, 0.13, 0.2};

// Raider, nose down; wings: bit 0 left wing present, bit 1 right wing present.
void EnemyBody(cairo_t* cr, double roll, int wings, double damage) {
  double c = std::cos(roll), s = std::sin(roll);
  double cx = 16 - 2 * s;
  for (int side = -1; side <= 1; side += 2) {
    if (!(wings & (side < 0 ? 1 : 2))) continue;
    double span = 12.5 * c * (1 + 0.15 * s * side);
    double droop = 2.5 * s * side;
    cairo_save(cr);
    cairo_translate(cr, cx + 2.5 * side, 14);
    WingPath(cr, side, span, droop);
    Fill(cr, 0, -8, 0, 12, Mix(kMetalLight, kEnemy, 0.15), kMetalDark);
    Outline(cr);
    WingStripe(cr, side, span, droop, 0.95);
    cairo_restore(cr);
  }
  // fuselage: a blade pointing down
  double fw = 5.5 * (0.8 + 0.2 * c);
  cairo_move_to(cr, cx, 2);
  cairo_line_to(cr, cx + fw, 9);
  cairo_line_to(cr, cx + fw * 0.7, 20);
  cairo_line_to(cr, cx, 30.5);
  cairo_line_to(cr, cx - fw * 0.7, 20);
  cairo_line_to(cr, cx - fw, 9);
  cairo_close_path(cr);
  Fill(cr, cx - fw - 2 * s, 0, cx + fw - 2 * s, 0, kMetalLight, kMetalDark);
  Outline(cr);
  cairo_move_to(cr, cx, 4);
  cairo_line_to(cr, cx, 28);
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.3);
  cairo_stroke(cr);
  // canopy and intake glow
  Glow(cr, cx, 17, 6, kEnemy, 0.55);
  cairo_save(cr);
  cairo_translate(cr, cx, 17);
  cairo_scale(cr, 2.2, 4);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  Fill(cr, cx, 13, cx, 21, {0.95, 1.0, 0.7}, Scale(kEnemy, 0.5));
  cairo_new_path(cr);
  for (int side = -1; side <= 1; side += 2) {
    cairo_rectangle(cr, cx + 2 * side - 1, 4, 2, 3);
    cairo_set_source_rgb(cr, 1.0, 0.55, 0.15);
    cairo_fill(cr);
  }
  if (damage > 0) {
    double side = (wings & 1) ? 1 : -1;  // the stump is on the missing side
    Glow(cr, cx + 5 * side, 12, 6 + 3 * damage, {1.0, 0.55, 0.1}, 0.9);
    Glow(cr, cx + 6 * side, 11, 2.5, kWhite, 0.9);
  }
}

void Wing(cairo_t* cr, int side, double flip) {
  // a lone wing centred in a 24 x 24 box, turned edge-on by `flip`
  double sd = side ? 1 : -1;
  cairo_save(cr);
  cairo_translate(cr, 12, 12);
  cairo_scale(cr, std::max(0.25, std::fabs(flip)), 1);
  cairo_translate(cr, -7 * sd, 0);
  WingPath(cr, sd, 15, 0);
  Rgb light = flip > 0 ? Mix(kMetalLight, kEnemy, 0.15) : Scale(kMetalLight, 0.6);
  Fill(cr, 0, -8, 0, 12, light, kMetalDark);
  Outline(cr);
  WingStripe(cr, sd, 15, 0, flip > 0 ? 0.95 : 0.5);
  cairo_restore(cr);
  Glow(cr, 12 - 6 * sd * std::fabs(flip), 7, 3.5, {1.0, 0.6, 0.1}, 0.8);
}

// ---- Effects ---------------------------------------------------------------------

void Bolt(cairo_t* cr, double w, double h, Rgb c, double core) {
  Glow(cr, w / 2, h / 2, h / 2, c, 0.35);
  cairo_save(cr);
  cairo_translate(cr, w / 2, h / 2);
  cairo_scale(cr, w * 0.32, h * 0.45);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
  cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, 0.2);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 1);
  cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0.2);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  cairo_translate(cr, w / 2, h / 2);
  cairo_scale(cr, w * core, h * 0.35);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  SetRgb(cr, c, 0.55);
  cairo_fill(cr);
}

void Burst(cairo_t* cr, double cx, double cy, double r, Rgb c, int rays, double turn) {
  Glow(cr, cx, cy, r, c, 0.9);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < rays; ++i) {
    double a = turn + 2 * M_PI * i / rays;
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
    cairo_set_line_width(cr, r * 0.18);
    SetRgb(cr, Mix(c, kWhite, 0.5), 0.8);
    cairo_stroke(cr);
  }
  Glow(cr, cx, cy, r * 0.45, kWhite, 1.0);
}

void Cell(cairo_t* cr, Rgb c) {
  RoundedRect(cr, 0.5, 0.5, 7, 7, 2);
  Fill(cr, 0, 0, 8, 8, Mix(c, kWhite, 0.55), Scale(c, 0.45));
  cairo_set_line_width(cr, 0.8);
  SetRgb(cr, Scale(c, 0.25));
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.7);
  cairo_rectangle(cr, 2, 1.5, 3, 1.2);
  cairo_fill(cr);
}

// Spinning token: a disc seen edge-on as it turns, with a symbol on its face.
void Token(cairo_t* cr, int w, double turn, Rgb c, const char* symbol) {
  double k = std::cos(turn);
  double half = w / 2.0;
  Glow(cr, half, half, half, c, 0.35);
  cairo_save(cr);
  cairo_translate(cr, half, half);
  cairo_scale(cr, std::max(0.12, std::fabs(k)), 1);
  cairo_arc(cr, 0, 0, half - 2.5, 0, 2 * M_PI);
  cairo_restore(cr);
  Rgb face = k >= 0 ? Mix(c, kWhite, 0.35) : Scale(c, 0.6);
  Fill(cr, half - 6, 2, half + 6, w - 2, face, Scale(c, 0.3));
  cairo_set_line_width(cr, 1);
  SetRgb(cr, Mix(c, kWhite, 0.7));
  cairo_stroke(cr);
  if (std::fabs(k) > 0.35) {
    cairo_save(cr);
    cairo_translate(cr, half, half);
    cairo_scale(cr, std::fabs(k), 1);
    DrawPlainText(cr, Face::Rounded, w * 0.55, symbol, 0, w * 0.2, 1, {0.05, 0.05, 0.1}, 0.85);
    cairo_restore(cr);
  }
}

void Word(cairo_t* cr, int w, int h, const char* text, Rgb top, Rgb bottom, double outline = 1.6) {
  TextStyle st{h * 0.95, top, bottom, bottom, 0.35, outline};
  DrawTitleText(cr, Face::Engraved, text, w / 2.0, h / 2.0, st);
}

}  // namespace

void DrawMeteor(cairo_t* cr, int index, int w, int h) {
  double angle = 2 * M_PI * (index % 35) / 35.0;
  PaintPixels(cr, w, h, 3, [&](double x, double y, double* c) { ShadeMeteor(x, y, angle, c); });
}

void DrawPlayerShip(cairo_t* cr, int index, int, int) { PlayerShip(cr, kPlayer[index / 5], (index % 5 - 2) * 0.38); }

void DrawPlayerFire(cairo_t* cr, int index, int, int) { Burst(cr, 4, 4, 4, kPlayer[index], 6, 0.3); }

void DrawEnemyFire(cairo_t* cr, int, int w, int h) {
  cairo_save(cr);
  cairo_scale(cr, w / 8.0, h / 8.0);
  Burst(cr, 4, 3, 4.2, kEnemy, 5, M_PI / 2);
  cairo_restore(cr);
}

void DrawPlayerShot(cairo_t* cr, int index, int w, int h) { Bolt(cr, w, h, kPlayer[index % 2], 0.18); }

void DrawEnemyShot(cairo_t* cr, int, int w, int h) { Bolt(cr, w, h, kEnemy, 0.25); }

void DrawPlasma(cairo_t* cr, int index, int w, int) {
  Rgb c = kPlasma[index / 5];
  int k = index % 5;
  double half = w / 2.0;
  Glow(cr, half, half, half, c, k == 0 ? 1.0 : 0.7);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < 3; ++i) {
    double a = k * 0.55 + i * 2 * M_PI / 3;
    cairo_new_sub_path(cr);
    cairo_arc(cr, half, half, half * 0.55, a, a + 1.6);
    cairo_set_line_width(cr, 2.2);
    SetRgb(cr, Mix(c, kWhite, 0.45), 0.85);
    cairo_stroke(cr);
  }
  Glow(cr, half, half, half * (k == 0 ? 0.75 : 0.45), kWhite, 1.0);
}

void DrawShieldCell(cairo_t* cr, int, int, int) { Cell(cr, {1.0, 0.85, 0.15}); }
void DrawPellet(cairo_t* cr, int index, int, int) { Cell(cr, index == 0 ? kPlayer[0] : kEnemy); }
void DrawBossCell(cairo_t* cr, int, int, int) { Cell(cr, {1.0, 0.2, 0.15}); }

void DrawEnemyShield(cairo_t* cr, int, int w, int) {
  double c = w / 2.0, r = c - 1.5;
  cairo_pattern_t* p = cairo_pattern_create_radial(c, c, r * 0.2, c, c, r);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.6, 1, 0.3, 0.05);
  cairo_pattern_add_color_stop_rgba(p, 0.75, 0.6, 1, 0.3, 0.2);
  cairo_pattern_add_color_stop_rgba(p, 0.95, 0.85, 1, 0.6, 0.75);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.85, 1, 0.6, 0.0);
  cairo_set_source(cr, p);
  cairo_arc(cr, c, c, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // hexagonal cells, faint
  cairo_save(cr);
  cairo_arc(cr, c, c, r - 2, 0, 2 * M_PI);
  cairo_clip(cr);
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgba(cr, 0.8, 1, 0.6, 0.28);
  const double hs = 7;
  for (int row = -1; row < 12; ++row)
    for (int col = -1; col < 12; ++col) {
      double x = col * hs * 1.5, y = row * hs * 1.732 + (col % 2) * hs * 0.866;
      for (int k = 0; k <= 6; ++k) {
        double a = k * M_PI / 3;
        double px = x + hs * std::cos(a), py = y + hs * std::sin(a);
        k ? cairo_line_to(cr, px, py) : cairo_move_to(cr, px, py);
      }
      cairo_stroke(cr);
    }
  cairo_restore(cr);
  cairo_new_sub_path(cr);
  cairo_arc(cr, c, c, r * 0.78, M_PI * 1.1, M_PI * 1.45);
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
  cairo_stroke(cr);
}

void DrawExplosion(cairo_t* cr, int, int w, int h) {
  PaintPixels(cr, w, h, 2, [&](double x, double y, double* c) {
    double u = (x - w / 2.0) / (w / 2.0), v = (y - h / 2.0) / (h / 2.0);
    double r = std::sqrt(u * u + v * v);
    double n = Fbm(x / 9.0, y / 9.0, 505, 4);
    double heat = 1.25 - r * 1.35 + (n - 0.5) * 0.9;
    if (heat <= 0) return;
    Rgb col = heat > 0.9   ? Mix({1, 0.9, 0.5}, kWhite, std::min(1.0, (heat - 0.9) * 3))
              : heat > 0.5 ? Mix({1.0, 0.45, 0.05}, {1, 0.9, 0.5}, (heat - 0.5) / 0.4)
              : heat > 0.2 ? Mix({0.55, 0.08, 0.02}, {1.0, 0.45, 0.05}, (heat - 0.2) / 0.3)
                           : Mix({0.12, 0.1, 0.1}, {0.55, 0.08, 0.02}, heat / 0.2);
    c[0] = col.r, c[1] = col.g, c[2] = col.b;
    c[3] = std::min(1.0, heat * 4) * (heat < 0.2 ? 0.75 : 1.0);
  });
}

void DrawEngine(cairo_t* cr, int, int w, int h) {
  cairo_save(cr);
  cairo_translate(cr, w / 2.0, h / 2.0);
  cairo_scale(cr, 0.42, 1.0);
  cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, h / 2.0);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.3, 0.85, 0.85, 0.85, 0.6);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.7, 0.7, 0.7, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, 0, 0, h / 2.0, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

void DrawEnemy(cairo_t* cr, int index, int, int) { EnemyBody(cr, (index - 2) * 0.36, 3, 0); }

void DrawEnemySpin(cairo_t* cr, int index, int, int) {
  int lost = index / 4, stage = index % 4;
  EnemyBody(cr, std::sin(stage * M_PI / 2) * 0.7, lost ? 1 : 2, 0.5 + 0.5 * (stage % 2));
}

void DrawEnemyWing(cairo_t* cr, int index, int, int) { Wing(cr, index / 4, std::cos((index % 4) * M_PI / 4 + 0.2)); }

// The wave's label rests small over the dark sky for the whole wave: light
// all through and thinly outlined, so that it still reads there.
void DrawWaveWord(cairo_t* cr, int, int w, int h) { Word(cr, w, h, "WAVE", {1, 1, 1}, {1.0, 0.9, 0.6}, 0.8); }
void DrawBossWord(cairo_t* cr, int, int w, int h) { Word(cr, w, h, "BOSS", {1, 0.9, 0.85}, {1.0, 0.4, 0.3}); }

void DrawDoublesPow(cairo_t* cr, int index, int w, int) { Token(cr, w, 2 * M_PI * index / 8, kPlayer[0], "2"); }

void DrawShieldPow(cairo_t* cr, int index, int w, int) { Token(cr, w, 2 * M_PI * index / 16, {1.0, 0.85, 0.15}, "S"); }

void DrawPod(cairo_t* cr, int index, int w, int) {
  double half = w / 2.0, pulse = 0.5 + 0.5 * std::cos(2 * M_PI * index / 8);
  Glow(cr, half, half, half, kEnemy, 0.3 + 0.3 * pulse);
  cairo_arc(cr, half, half, half - 3, 0, 2 * M_PI);
  cairo_pattern_t* p = cairo_pattern_create_radial(half - 2, half - 2, 0, half, half, half - 3);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.95, 1, 0.7);
  cairo_pattern_add_color_stop_rgb(p, 0.6, 0.5, 0.8, 0.0);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.15, 0.3, 0.0);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // a band turning round the pod
  double a = 2 * M_PI * index / 8;
  cairo_save(cr);
  cairo_translate(cr, half, half);
  cairo_scale(cr, 1, 0.35);
  cairo_arc(cr, 0, 0, half - 2, a, a + M_PI);
  cairo_restore(cr);
  cairo_set_line_width(cr, 1.5);
  cairo_set_source_rgba(cr, 1, 1, 0.8, 0.8);
  cairo_stroke(cr);
  Glow(cr, half, half, 3 + 2 * pulse, kWhite, 0.9);
}

// Solid white and as tall as the frame: the score draws these 9 pixels high
// and tints them, so every pixel of height and of light counts.
void DrawDigit(cairo_t* cr, int index, int w, int h) {
  std::string d(1, char('0' + index));
  SelectFace(cr, Face::Rounded, h);
  cairo_text_extents_t e;
  cairo_text_extents(cr, "0", &e);
  const double size = h * (h - 1.0) / e.height;
  SelectFace(cr, Face::Rounded, size);
  cairo_text_extents(cr, d.c_str(), &e);
  cairo_move_to(cr, w / 2.0 - e.x_bearing - e.width / 2, h / 2.0 - e.y_bearing - e.height / 2);
  cairo_text_path(cr, d.c_str());
  SetRgb(cr, kWhite);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void DrawBigFlame(cairo_t* cr, int, int w, int h) {
  PaintPixels(cr, w, h, 2, [&](double x, double y, double* c) {
    double u = (x - w / 2.0) / (w / 2.0), t = 1 - y / h;  // t = 0 at the nozzle (bottom)
    double width = 0.9 * (1 - t * 0.85) + 0.08 * std::sin(t * 9);
    double edge = std::fabs(u) / std::max(0.05, width);
    double n = Fbm(x / 6.0, y / 10.0, 313, 3);
    double heat = (1 - edge) * (1.1 - t) + (n - 0.5) * 0.4;
    if (heat <= 0) return;
    Rgb col = heat > 0.6 ? Mix({1, 0.85, 0.4}, kWhite, std::min(1.0, (heat - 0.6) * 2.5))
                         : Mix({0.9, 0.25, 0.05}, {1, 0.85, 0.4}, heat / 0.6);
    c[0] = col.r, c[1] = col.g, c[2] = col.b;
    c[3] = std::min(1.0, heat * 2.5);
  });
}

void DrawGlowHalo(cairo_t* cr, int, int w, int) {
  double half = w / 2.0;
  cairo_pattern_t* p = cairo_pattern_create_radial(half, half, 0, half, half, half);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.25, 1, 1, 1, 0.7);
  cairo_pattern_add_color_stop_rgba(p, 0.6, 1, 1, 1, 0.2);
  cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

}  // namespace assetgen
