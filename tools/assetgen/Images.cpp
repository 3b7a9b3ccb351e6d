// Loose pictures: interface parts, buttons, the shockwave and the two bosses.
#include <cmath>

#include "AssetGen.h"
#include "Sprites.h"

namespace assetgen {

namespace {

const Rgb kRed{1.0, 0.25, 0.2};
const Rgb kSteel{0.55, 0.6, 0.72};

void Lamp(cairo_t* cr, double cx, double cy, double r, Rgb c, bool lit) {
  cairo_pattern_t* rim = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
  cairo_pattern_add_color_stop_rgb(rim, 0, 0.2, 0.22, 0.3);
  cairo_pattern_add_color_stop_rgb(rim, 1, 0.75, 0.8, 0.9);
  cairo_set_source(cr, rim);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  Rgb inner = lit ? Mix(c, {1, 1, 1}, 0.6) : Scale(c, 0.18);
  Rgb outer = lit ? c : Scale(c, 0.08);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.25, cy - r * 0.3, 0, cx, cy, r * 0.78);
  cairo_pattern_add_color_stop_rgb(p, 0, inner.r, inner.g, inner.b);
  cairo_pattern_add_color_stop_rgb(p, 1, outer.r, outer.g, outer.b);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r * 0.78, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_set_source_rgba(cr, 1, 1, 1, lit ? 0.55 : 0.25);
  cairo_arc(cr, cx - r * 0.28, cy - r * 0.32, r * 0.22, 0, 2 * M_PI);
  cairo_fill(cr);
}

void Cursor(cairo_t* cr) {
  // Arrow whose tip sits at pixel (4, 4), the cursor's hot spot.
  cairo_move_to(cr, 4, 4);
  cairo_line_to(cr, 4, 52);
  cairo_line_to(cr, 16, 40);
  cairo_line_to(cr, 26, 60);
  cairo_line_to(cr, 34, 56);
  cairo_line_to(cr, 24, 37);
  cairo_line_to(cr, 41, 37);
  cairo_close_path(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 5);
  cairo_set_source_rgba(cr, 0.0, 0.05, 0.1, 0.9);
  cairo_stroke_preserve(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(4, 4, 30, 56);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.55, 1.0, 0.85);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// The player's status strip: recesses for score, shield cells, doubles and bonus.
void StatusBar(cairo_t* cr, Rgb accent, const char* label) {
  const double sx = 409.0 / 256, sy = 51.0 / 32;
  Panel(cr, 0, 0, 409, 51, 14, accent);
  auto recess = [&](double l, double t, double r, double b) {
    RoundedRect(cr, l * sx - 2, t * sy - 2, (r - l) * sx + 4, (b - t) * sy + 4, 3);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.85);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    SetRgb(cr, accent, 0.45);
    cairo_stroke(cr);
  };
  recess(8, 5, 104, 18);
  recess(152, 8, 248, 16);
  recess(8, 20, 152, 28);
  recess(152, 20, 248, 28);
  DrawPlainText(cr, Face::Rounded, 10, label, 112 * sx, 17 * sy, 0, accent, 0.9);
}

void SkinPiece(cairo_t* cr, int w, int h, Rgb fill, Rgb rim) {
  RoundedRect(cr, 1, 1, w - 2, h - 2, 10);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(p, 0, Scale(fill, 0.35).r, Scale(fill, 0.35).g, Scale(fill, 0.35).b);
  cairo_pattern_add_color_stop_rgb(p, 1, fill.r, fill.g, fill.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 2);
  SetRgb(cr, rim);
  cairo_stroke(cr);
}

void IconButton(cairo_t* cr, Rgb accent, bool exit) {
  Lamp(cr, 16, 16, 15, Scale(accent, 0.5), false);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 3.5);
  SetRgb(cr, Mix(accent, {1, 1, 1}, 0.4));
  if (exit) {
    cairo_move_to(cr, 11, 11);
    cairo_line_to(cr, 21, 21);
    cairo_move_to(cr, 21, 11);
    cairo_line_to(cr, 11, 21);
  } else {
    cairo_move_to(cr, 12.5, 10);
    cairo_line_to(cr, 12.5, 22);
    cairo_move_to(cr, 19.5, 10);
    cairo_line_to(cr, 19.5, 22);
  }
  cairo_stroke(cr);
}

void Shockwave(cairo_t* cr) {
  const double c = 64;
  cairo_pattern_t* p = cairo_pattern_create_radial(c, c, 0, c, c, 63);
  cairo_pattern_add_color_stop_rgba(p, 0.0, 0.6, 0.9, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(p, 0.55, 0.5, 0.8, 1, 0.08);
  cairo_pattern_add_color_stop_rgba(p, 0.82, 0.8, 0.95, 1, 0.55);
  cairo_pattern_add_color_stop_rgba(p, 0.9, 1, 1, 1, 0.95);
  cairo_pattern_add_color_stop_rgba(p, 0.96, 0.6, 0.85, 1, 0.35);
  cairo_pattern_add_color_stop_rgba(p, 1.0, 0.4, 0.7, 1, 0.0);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

// Hull gradient across a shape already in the path.
void Hull(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb light, Rgb dark) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(p, 0.45, Mix(light, dark, 0.5).r, Mix(light, dark, 0.5).g, Mix(light, dark, 0.5).b);
  cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 0.02, 0.02, 0.05, 0.85);
  cairo_stroke(cr);
}

}  // namespace

// The boomerang boss, 184 x 104: a swept wing whose engines sit at the top edge.
void DrawBoomerang(cairo_t* cr) {
  const Rgb light{0.80, 0.62, 1.0}, dark{0.28, 0.16, 0.42};
  cairo_move_to(cr, 92, 96);
  cairo_curve_to(cr, 60, 80, 20, 50, 4, 8);
  cairo_line_to(cr, 30, 14);
  cairo_curve_to(cr, 50, 40, 70, 48, 92, 50);
  cairo_curve_to(cr, 114, 48, 134, 40, 154, 14);
  cairo_line_to(cr, 180, 8);
  cairo_curve_to(cr, 164, 50, 124, 80, 92, 96);
  cairo_close_path(cr);
  Hull(cr, 0, 8, 0, 96, light, dark);
  // engine pods on the top edge at centre +- 28
  for (int side = -1; side <= 1; side += 2) {
    double x = 92 + 28 * side;
    RoundedRect(cr, x - 9, 4, 18, 42, 7);
    Hull(cr, x - 9, 0, x + 9, 0, {0.7, 0.72, 0.8}, {0.2, 0.2, 0.28});
    Glow(cr, x, 8, 10, {1.0, 0.6, 0.2}, 0.8);
  }
  // armoured core and its eye
  cairo_arc(cr, 92, 62, 20, 0, 2 * M_PI);
  Hull(cr, 72, 42, 112, 82, {0.85, 0.85, 0.95}, {0.25, 0.22, 0.35});
  Glow(cr, 92, 64, 16, kRed, 0.9);
  cairo_arc(cr, 92, 64, 6, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 1, 0.85, 0.7);
  cairo_fill(cr);
  // panel lines and wing-tip lights
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
  for (int side = -1; side <= 1; side += 2) {
    cairo_move_to(cr, 92 + 24 * side, 58);
    cairo_curve_to(cr, 92 + 50 * side, 52, 92 + 70 * side, 40, 92 + 80 * side, 18);
    cairo_stroke(cr);
    Glow(cr, 92 + 84 * side, 12, 7, kAqua, 0.9);
  }
}

// The blimp boss, 72 x 200: a long armoured gas bag, its engine on top.
void DrawBlimp(cairo_t* cr) {
  cairo_move_to(cr, 36, 4);
  cairo_curve_to(cr, 70, 4, 70, 60, 68, 120);
  cairo_curve_to(cr, 66, 170, 54, 196, 36, 196);
  cairo_curve_to(cr, 18, 196, 6, 170, 4, 120);
  cairo_curve_to(cr, 2, 60, 2, 4, 36, 4);
  cairo_close_path(cr);
  Hull(cr, 4, 0, 68, 0, {0.70, 0.76, 0.90}, {0.16, 0.18, 0.30});
  cairo_set_line_width(cr, 1.2);
  for (int i = 1; i < 7; ++i) {
    double y = 20 + i * 24;
    cairo_move_to(cr, 8, y);
    cairo_curve_to(cr, 24, y + 6, 48, y + 6, 64, y);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_stroke(cr);
  }
  cairo_move_to(cr, 36, 10);
  cairo_line_to(cr, 36, 188);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
  cairo_stroke(cr);
  // running lights down both flanks
  for (int i = 0; i < 5; ++i)
    for (int side = -1; side <= 1; side += 2)
      Glow(cr, 36 + side * (24 - std::abs(i - 2) * 1.5), 40 + i * 22, 3.5, kRed, 0.9);
  // gondola with gun ports
  RoundedRect(cr, 22, 118, 28, 56, 10);
  Hull(cr, 22, 0, 50, 0, {0.8, 0.8, 0.85}, {0.25, 0.25, 0.3});
  for (int i = 0; i < 3; ++i) Glow(cr, 36, 130 + i * 15, 7, kRed, 0.95);
  // fins
  for (int side = -1; side <= 1; side += 2) {
    cairo_move_to(cr, 36 + 26 * side, 30);
    cairo_line_to(cr, 36 + 35 * side, 8);
    cairo_line_to(cr, 36 + 35 * side, 44);
    cairo_close_path(cr);
    Hull(cr, 0, 8, 0, 44, {0.8, 0.8, 0.85}, {0.3, 0.3, 0.35});
  }
  Glow(cr, 36, 8, 12, {1.0, 0.6, 0.2}, 0.7);
}

namespace {

void Button(const std::string& path, int w, int h, const char* label, Rgb accent) {
  Picture(path, w, h, [&](cairo_t* cr) { ButtonPicture(cr, w, h, label, accent, Face::Rounded); });
}

}  // namespace

void AddImageJobs(std::vector<Job>& jobs) {
  jobs.push_back([] {
    Picture("Graphics/Pixel.png", 1, 1, [](cairo_t* cr) {
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_paint(cr);
    });
    Picture("Graphics/Spark.png", 6, 6, [](cairo_t* cr) {
      cairo_pattern_t* p = cairo_pattern_create_radial(3, 3, 0, 3, 3, 3);
      cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 1);
      cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0.7);
      cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0);
      cairo_set_source(cr, p);
      cairo_paint(cr);
      cairo_pattern_destroy(p);
    });
    Picture("Graphics/Interface/Radio Off.png", 32, 32, [](cairo_t* cr) { Lamp(cr, 16, 16, 14, kCyan, false); });
    Picture("Graphics/Interface/Radio On.png", 32, 32, [](cairo_t* cr) {
      Glow(cr, 16, 16, 16, kCyan, 0.6);
      Lamp(cr, 16, 16, 13, kCyan, true);
    });
    Picture("Graphics/Interface/Volume.png", 16, 24, [](cairo_t* cr) {
      RoundedRect(cr, 2, 1, 12, 22, 4);
      cairo_pattern_t* p = cairo_pattern_create_linear(2, 0, 14, 0);
      cairo_pattern_add_color_stop_rgb(p, 0, 0.0, 0.55, 0.4);
      cairo_pattern_add_color_stop_rgb(p, 0.4, 0.6, 1.0, 0.85);
      cairo_pattern_add_color_stop_rgb(p, 1, 0.0, 0.45, 0.35);
      cairo_set_source(cr, p);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(p);
      cairo_set_line_width(cr, 1);
      cairo_set_source_rgba(cr, 0.8, 1, 0.95, 0.8);
      cairo_stroke(cr);
    });
    Picture("Graphics/Interface/Pause.png", 32, 32, [](cairo_t* cr) { IconButton(cr, kCyan, false); });
    Picture("Graphics/Interface/Exit.png", 32, 32, [](cairo_t* cr) { IconButton(cr, kRed, true); });
    Picture("ZadOR/FullScreen.png", 70, 70, [](cairo_t* cr) {
      Lamp(cr, 35, 35, 30, kBlue, false);
      cairo_set_line_width(cr, 4.5);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      SetRgb(cr, {0.75, 0.9, 1.0});
      const double c[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
      for (auto& d : c) {
        double x = 35 + 15 * d[0], y = 35 + 15 * d[1];
        cairo_move_to(cr, x - 8 * d[0], y);
        cairo_line_to(cr, x, y);
        cairo_line_to(cr, x, y - 8 * d[1]);
        cairo_stroke(cr);
      }
    });
    Picture("Cursor.png", 64, 64, Cursor);
    Picture("ZadOR/Fade.png", 64, 32, [](cairo_t* cr) {
      cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 32);
      cairo_pattern_add_color_stop_rgba(p, 0, 0.0, 0.02, 0.06, 0.0);
      cairo_pattern_add_color_stop_rgba(p, 0.45, 0.0, 0.02, 0.06, 0.75);
      cairo_pattern_add_color_stop_rgba(p, 1, 0.0, 0.0, 0.02, 0.95);
      cairo_set_source(cr, p);
      cairo_paint(cr);
      cairo_pattern_destroy(p);
    });
    Picture("ZadOR/PressFire.png", 256, 40, [](cairo_t* cr) {
      TextStyle st{30, {1, 1, 1}, kCyan, kCyan, 0.6, 2.5};
      DrawTitleText(cr, Face::Rounded, "PRESS FIRE", 128, 20, st);
    });
    Picture("ZadOR/StatusBar 1.png", 409, 51, [](cairo_t* cr) { StatusBar(cr, kCyan, "P1"); });
    Picture("ZadOR/StatusBar 2.png", 409, 51, [](cairo_t* cr) { StatusBar(cr, kAqua, "P2"); });
    Picture("ZadOR/Text Field.png", 48, 32, [](cairo_t* cr) {
      SkinPiece(cr, 48, 32, {0.08, 0.12, 0.25}, {0.45, 0.75, 1.0});
    });
    // Drawn over the field that has the keyboard, after its text: a bright
    // rim with a soft inner glow, clear in the middle so the text shows.
    Picture("ZadOR/Field Hilite.png", 48, 32, [](cairo_t* cr) {
      RoundedRect(cr, 1, 1, 46, 30, 10);
      cairo_set_line_width(cr, 5);
      cairo_set_source_rgba(cr, 0.55, 0.8, 1.0, 0.35);
      cairo_stroke_preserve(cr);
      cairo_set_line_width(cr, 2);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_stroke(cr);
    });
    Picture("ZadOR/Key Border.png", 32, 32, [](cairo_t* cr) {
      RoundedRect(cr, 1.5, 1.5, 29, 29, 7);
      cairo_set_source_rgba(cr, 0.85, 0.85, 0.85, 0.18);
      cairo_fill_preserve(cr);
      cairo_set_line_width(cr, 2.5);
      cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
      cairo_stroke(cr);
    });
    Picture("Graphics/Shockwave.png", 128, 128, Shockwave);
  });
  jobs.push_back([] {
    Picture("Graphics/Boomerang.png", 184, 104, DrawBoomerang);
    Picture("Graphics/Blimp.png", 72, 200, DrawBlimp);
  });
  jobs.push_back([] {
    const char* menu[] = {"Play", "Help", "Sound", "Music", "Quit"};
    const char* labels[] = {"PLAY", "HELP", "SOUND", "MUSIC", "QUIT"};
    for (int i = 0; i < 5; ++i)
      Button(std::string("Graphics/Interface/Buttons/") + menu[i] + ".png", 160, 40, labels[i], i == 4 ? kRed : kBlue);
    Button("Graphics/Interface/Buttons/Clear.png", 128, 48, "CLEAR", kRed);
    Button("ZadOR/HighScores.png", 200, 40, "CLEAR SCORES", kViolet);
    Button("Help/Next.png", 128, 48, "NEXT", kBlue);
    Button("Help/Prev.png", 128, 48, "PREV", kBlue);
    Button("Help/Done.png", 128, 48, "DONE", kCyan);
    Button("Help/Email.png", 128, 48, "E-MAIL", kViolet);
    Button("Pause/Resume.png", 160, 40, "RESUME", kCyan);
    Button("Pause/Abort.png", 160, 40, "ABORT", kRed);
    Button("ZadOR/OK.png", 128, 48, "OK", kCyan);
    Button("ZadOR/Cancel.png", 128, 48, "CANCEL", kSteel);
  });
}

}  // namespace assetgen
