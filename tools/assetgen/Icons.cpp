// The engine's dialog icons: the preference panels' pictures and the three
// alert kinds for desktops without an icon theme. Each is a 64 by 64 PNG; the
// panel icons keep the ".icns" names the engine loads them by. (The
// application's icon is drawn with the rest of its identity, Identity.cpp.)
#include <cmath>

#include "AssetGen.h"

namespace assetgen {

namespace {

constexpr int kIconSize = 64;
constexpr Rgb kInk{0.12, 0.14, 0.2};
constexpr Rgb kSteel{0.62, 0.66, 0.74};

void Stroke(cairo_t* cr, Rgb c, double width) {
  SetRgb(cr, c);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

// A game pad seen from above: a rounded body with a cross on the left and
// two buttons on the right.
void GamePad(cairo_t* cr, Rgb body) {
  RoundedRect(cr, 6, 20, 52, 28, 13);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 20, 0, 48);
  cairo_pattern_add_color_stop_rgb(shade, 0, body.r, body.g, body.b);
  Rgb dark = Scale(body, 0.55);
  cairo_pattern_add_color_stop_rgb(shade, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  Stroke(cr, kInk, 2);
  SetRgb(cr, kInk);
  cairo_rectangle(cr, 14, 31, 14, 5);
  cairo_rectangle(cr, 18.5, 26.5, 5, 14);
  cairo_fill(cr);
  SetRgb(cr, Rgb{0.9, 0.2, 0.25});
  cairo_arc(cr, 44, 30, 3.5, 0, 2 * M_PI);
  cairo_fill(cr);
  SetRgb(cr, Rgb{0.2, 0.75, 0.35});
  cairo_arc(cr, 50, 37, 3.5, 0, 2 * M_PI);
  cairo_fill(cr);
}

void InputsIcon(cairo_t* cr) {
  GamePad(cr, kSteel);
  // The cable.
  cairo_move_to(cr, 32, 20);
  cairo_curve_to(cr, 32, 10, 44, 12, 46, 4);
  Stroke(cr, kInk, 2.5);
}

void RumbleIcon(cairo_t* cr) {
  GamePad(cr, Rgb{0.85, 0.6, 0.3});
  // Shaking: arcs on both sides.
  for (int side = -1; side <= 1; side += 2)
    for (int k = 0; k < 2; ++k) {
      double r = 30 + 5 * k;
      double mid = side < 0 ? M_PI : 0;
      cairo_new_sub_path(cr);
      cairo_arc(cr, 32, 34, r, mid - 0.35, mid + 0.35);
      Stroke(cr, kInk, 2);
    }
}

void AudioIcon(cairo_t* cr) {
  // A loudspeaker and three waves.
  cairo_move_to(cr, 8, 24);
  cairo_line_to(cr, 18, 24);
  cairo_line_to(cr, 32, 10);
  cairo_line_to(cr, 32, 54);
  cairo_line_to(cr, 18, 40);
  cairo_line_to(cr, 8, 40);
  cairo_close_path(cr);
  cairo_pattern_t* shade = cairo_pattern_create_linear(8, 0, 32, 0);
  cairo_pattern_add_color_stop_rgb(shade, 0, 0.3, 0.35, 0.45);
  cairo_pattern_add_color_stop_rgb(shade, 1, 0.65, 0.7, 0.8);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  Stroke(cr, kInk, 2);
  for (int k = 0; k < 3; ++k) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, 32, 32, 9 + 8 * k, -0.8, 0.8);
    Stroke(cr, Mix(kBlue, kAqua, k / 2.0), 3);
  }
}

void OnlineIcon(cairo_t* cr) {
  // A globe with its meridians and parallels.
  cairo_arc(cr, 32, 32, 25, 0, 2 * M_PI);
  cairo_pattern_t* sea = cairo_pattern_create_radial(24, 24, 4, 32, 32, 26);
  cairo_pattern_add_color_stop_rgb(sea, 0, 0.45, 0.75, 1.0);
  cairo_pattern_add_color_stop_rgb(sea, 1, 0.1, 0.3, 0.7);
  cairo_set_source(cr, sea);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(sea);
  Stroke(cr, kInk, 2);
  for (double w : {10.0, 19.0}) {
    cairo_save(cr);
    cairo_translate(cr, 32, 32);
    cairo_scale(cr, w / 25.0, 1);
    cairo_arc(cr, 0, 0, 25, 0, 2 * M_PI);
    cairo_restore(cr);
    Stroke(cr, Rgb{0.85, 0.95, 1.0}, 1.5);
  }
  for (double y : {-12.0, 0.0, 12.0}) {
    double half = std::sqrt(25.0 * 25.0 - y * y);
    cairo_move_to(cr, 32 - half, 32 + y);
    cairo_line_to(cr, 32 + half, 32 + y);
    Stroke(cr, Rgb{0.85, 0.95, 1.0}, 1.5);
  }
}

void KeyboardIcon(cairo_t* cr) {
  RoundedRect(cr, 4, 18, 56, 30, 4);
  SetRgb(cr, kSteel);
  cairo_fill_preserve(cr);
  Stroke(cr, kInk, 2);
  SetRgb(cr, Rgb{0.95, 0.96, 1.0});
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 7; ++col) {
      cairo_rectangle(cr, 8 + col * 7 + (row == 1 ? 2 : 0), 22 + row * 7, 5, 5);
    }
  cairo_fill(cr);
  cairo_rectangle(cr, 18, 40, 28, 4);
  cairo_fill(cr);
}

// The alert kinds: a red octagon, a blue disc and a yellow triangle, each
// with its white sign.
void StopIcon(cairo_t* cr) {
  for (int k = 0; k < 8; ++k) {
    double a = M_PI / 8 + k * M_PI / 4;
    cairo_line_to(cr, 32 + 28 * std::cos(a), 32 + 28 * std::sin(a));
  }
  cairo_close_path(cr);
  SetRgb(cr, Rgb{0.8, 0.1, 0.1});
  cairo_fill_preserve(cr);
  Stroke(cr, Rgb{0.45, 0.0, 0.0}, 2);
  cairo_move_to(cr, 22, 22);
  cairo_line_to(cr, 42, 42);
  cairo_move_to(cr, 42, 22);
  cairo_line_to(cr, 22, 42);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  Stroke(cr, Rgb{1, 1, 1}, 6);
}

void NoteIcon(cairo_t* cr) {
  cairo_arc(cr, 32, 32, 28, 0, 2 * M_PI);
  SetRgb(cr, Rgb{0.2, 0.45, 0.85});
  cairo_fill_preserve(cr);
  Stroke(cr, Rgb{0.05, 0.2, 0.5}, 2);
  SetRgb(cr, Rgb{1, 1, 1});
  cairo_arc(cr, 32, 19, 4, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_rectangle(cr, 28.5, 27, 7, 20);
  cairo_fill(cr);
}

void CautionIcon(cairo_t* cr) {
  cairo_move_to(cr, 32, 5);
  cairo_line_to(cr, 60, 56);
  cairo_line_to(cr, 4, 56);
  cairo_close_path(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetRgb(cr, Rgb{0.98, 0.78, 0.1});
  cairo_fill_preserve(cr);
  Stroke(cr, Rgb{0.5, 0.35, 0.0}, 3);
  SetRgb(cr, kInk);
  cairo_rectangle(cr, 29, 20, 6, 22);
  cairo_fill(cr);
  cairo_arc(cr, 32, 49, 3.5, 0, 2 * M_PI);
  cairo_fill(cr);
}

template <class Draw>
Job IconJob(const char* name, Draw draw) {
  return [name, draw] { Picture(std::string("QK Resources/") + name, kIconSize, kIconSize, draw); };
}

}  // namespace

void AddIconJobs(std::vector<Job>& jobs) {
  jobs.push_back(IconJob("Inputs.icns", InputsIcon));
  jobs.push_back(IconJob("Rumble.icns", RumbleIcon));
  jobs.push_back(IconJob("Audio.icns", AudioIcon));
  jobs.push_back(IconJob("Online.icns", OnlineIcon));
  jobs.push_back(IconJob("Keyboard.icns", KeyboardIcon));
  jobs.push_back(IconJob("Stop.png", StopIcon));
  jobs.push_back(IconJob("Note.png", NoteIcon));
  jobs.push_back(IconJob("Caution.png", CautionIcon));
}

}  // namespace assetgen
