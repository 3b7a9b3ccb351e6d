// The application's own identity outside the game picture: its icon at the
// freedesktop icon theme's sizes (Icons/Halvane-<size>.png, which the install
// puts under hicolor and the window shows), and the game's colour table 128
// as a colour-table file (CLUT/128.clut) for building at 8 bits a pixel.
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "AssetGen.h"

namespace assetgen {

namespace {

// Drawn on a 256-unit square and scaled, so that every size is the same
// picture: a ship climbing out of a violet nebula on a rounded dark tile.
void DrawIcon(cairo_t* cr, int size) {
  const double k = size / 256.0;
  cairo_scale(cr, k, k);
  RoundedRect(cr, 8, 8, 240, 240, 48);
  cairo_pattern_t* sky = cairo_pattern_create_radial(128, 150, 10, 128, 128, 180);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.30, 0.16, 0.55);
  cairo_pattern_add_color_stop_rgb(sky, 0.55, 0.08, 0.06, 0.24);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.02, 0.02, 0.07);
  cairo_set_source(cr, sky);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(sky);
  cairo_save(cr);
  cairo_clip(cr);
  // Stars only where they still read: small icons keep the tile plain.
  if (size >= 48) Starfield(cr, 256, 256, 0x1C0Eu, 28);
  Glow(cr, 128, 196, 70, {1.0, 0.55, 0.15}, 0.55);  // the engine's light
  cairo_restore(cr);
  // The rim.
  RoundedRect(cr, 8, 8, 240, 240, 48);
  SetRgb(cr, kAqua, 0.85);
  cairo_set_line_width(cr, size >= 32 ? 8 : 14);
  cairo_stroke(cr);
  // The ship: an arrowhead with swept wings, lit from the top.
  cairo_move_to(cr, 128, 40);
  cairo_line_to(cr, 196, 188);
  cairo_line_to(cr, 150, 168);
  cairo_line_to(cr, 128, 196);
  cairo_line_to(cr, 106, 168);
  cairo_line_to(cr, 60, 188);
  cairo_close_path(cr);
  cairo_pattern_t* hull = cairo_pattern_create_linear(0, 40, 0, 196);
  cairo_pattern_add_color_stop_rgb(hull, 0.0, 0.85, 1.0, 1.0);
  cairo_pattern_add_color_stop_rgb(hull, 0.5, kCyan.r, kCyan.g, kCyan.b);
  cairo_pattern_add_color_stop_rgb(hull, 1.0, kBlue.r * 0.6, kBlue.g * 0.6, kBlue.b * 0.6);
  cairo_set_source(cr, hull);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(hull);
  SetRgb(cr, {0.02, 0.04, 0.10}, 0.9);
  cairo_set_line_width(cr, size >= 32 ? 5 : 9);
  cairo_stroke(cr);
  // The cockpit.
  cairo_move_to(cr, 128, 84);
  cairo_line_to(cr, 142, 130);
  cairo_line_to(cr, 114, 130);
  cairo_close_path(cr);
  SetRgb(cr, kViolet);
  cairo_fill(cr);
}

void WriteBytes(const std::string& relative, const std::vector<unsigned char>& bytes) {
  const std::string path = OutPath(relative);
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f) ok = std::fclose(f) == 0 && ok;
  if (!ok) throw std::runtime_error("cannot write " + path);
}

void Put16(std::vector<unsigned char>& out, unsigned v) {
  out.push_back((unsigned char)(v >> 8));
  out.push_back((unsigned char)v);
}

// 256 colours, big-endian as a colour-table resource holds them: seed (32
// bits), flags, the number of entries less one, then value and red, green
// and blue for each. White first and black last, as the system's tables
// have them; between them eight ramps of 31 shades from the game's art
// (nebula violets and blues, the interface's cyan, fire, rock, stars) and six
// greys.
std::vector<unsigned char> GameColourTable() {
  const Rgb ramps[8] = {kViolet,          kBlue,           kCyan, kAqua, {1.0, 0.55, 0.15}, {1.0, 0.2, 0.1},
                        {0.62, 0.5, 0.4}, {1.0, 0.92, 0.6}};
  std::vector<Rgb> colours{{1, 1, 1}};
  for (const Rgb& ramp : ramps)
    for (int i = 0; i < 31; ++i) {
      const double t = (i + 1) / 32.0;  // dark to full, then toward white
      colours.push_back(t <= 0.75 ? Scale(ramp, t / 0.75) : Mix(ramp, {1, 1, 1}, (t - 0.75) / 0.25 * 0.6));
    }
  for (int i = 1; i <= 6; ++i) colours.push_back(Scale({1, 1, 1}, 1.0 - i / 7.0));
  colours.push_back({0, 0, 0});
  std::vector<unsigned char> out;
  Put16(out, 0);
  Put16(out, 128);  // the seed: the table's id
  Put16(out, 0);
  Put16(out, unsigned(colours.size() - 1));
  for (size_t i = 0; i < colours.size(); ++i) {
    Put16(out, unsigned(i));
    for (double c : {colours[i].r, colours[i].g, colours[i].b})
      Put16(out, unsigned(std::lround(std::fmin(1.0, std::fmax(0.0, c)) * 65535.0)));
  }
  return out;
}

}  // namespace

const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

void AddIdentityJobs(std::vector<Job>& jobs) {
  for (int size : kIconSizes)
    jobs.push_back([size] {
      Picture("Icons/Halvane-" + std::to_string(size) + ".png", size, size,
              [size](cairo_t* cr) { DrawIcon(cr, size); });
    });
  jobs.push_back([] { WriteBytes("CLUT/128.clut", GameColourTable()); });
}

}  // namespace assetgen
