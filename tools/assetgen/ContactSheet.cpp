// A review page beside the bundle: every picture and every sheet frame on a
// dark background with its name.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "AssetGen.h"

namespace assetgen {

namespace {

struct Tile {
  std::string label;
  cairo_surface_t* image;  // owned by the caller's list
  int sx, sy, sw, sh;      // source rectangle
  double scale;
};

const int kWidth = 1920;
const int kPad = 10;
const int kLabel = 16;

double FitScale(int w, int h, int maxW, int maxH) {
  double s = std::min(double(maxW) / w, double(maxH) / h);
  if (s >= 2) s = std::floor(std::min(s, 4.0));
  return std::min(s, 4.0);
}

// Lays the tiles out in rows and draws them; returns the height used.
int Layout(cairo_t* cr, const std::vector<Tile>& tiles, int top, bool draw) {
  int x = kPad, y = top, rowH = 0;
  for (const Tile& t : tiles) {
    int w = std::max(int(t.sw * t.scale), 70), h = int(t.sh * t.scale) + kLabel + 4;
    if (x + w + kPad > kWidth) {
      x = kPad;
      y += rowH + kPad;
      rowH = 0;
    }
    if (draw) {
      cairo_save(cr);
      cairo_rectangle(cr, x - 1, y - 1, t.sw * t.scale + 2, t.sh * t.scale + 2);
      cairo_set_source_rgb(cr, 0.12, 0.12, 0.16);
      cairo_fill(cr);
      cairo_translate(cr, x, y);
      cairo_scale(cr, t.scale, t.scale);
      cairo_set_source_surface(cr, t.image, -t.sx, -t.sy);
      cairo_pattern_set_filter(cairo_get_source(cr), t.scale >= 2 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
      cairo_rectangle(cr, 0, 0, t.sw, t.sh);
      cairo_fill(cr);
      cairo_restore(cr);
      std::string text = t.label + " " + std::to_string(t.sw) + "x" + std::to_string(t.sh);
      DrawPlainText(cr, Face::Rounded, 10, text, x, y + t.sh * t.scale + 13, 0, {0.8, 0.85, 0.9});
    }
    x += std::max(w, int(t.label.size() * 6.2 + 40)) + kPad;
    rowH = std::max(rowH, h);
  }
  return y + rowH + kPad - top;
}

}  // namespace

void WriteContactSheet(const std::string& resources, const std::string& path) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(resources))
    if (e.path().extension() == ".png") files.push_back(fs::relative(e.path(), resources).string());
  std::sort(files.begin(), files.end());
  std::vector<cairo_surface_t*> images;
  std::vector<Tile> pictures, frames;
  std::vector<SheetInfo> sheets = SheetLayouts();
  for (const std::string& f : files) {
    cairo_surface_t* img = cairo_image_surface_create_from_png((resources + "/" + f).c_str());
    if (cairo_surface_status(img) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("contact sheet cannot read " + f);
    images.push_back(img);
    int w = cairo_image_surface_get_width(img), h = cairo_image_surface_get_height(img);
    pictures.push_back({f, img, 0, 0, w, h, FitScale(w, h, 300, 240)});
    for (const SheetInfo& s : sheets)
      if (f == "Graphics/" + s.name + ".png")
        for (const SheetFrame& fr : s.frames) {
          int fw = fr.right - fr.left, fh = fr.bottom - fr.top;
          frames.push_back({fr.name, img, fr.left, fr.top, fw, fh, FitScale(fw, fh, 96, 96)});
        }
  }
  int h1 = Layout(nullptr, pictures, 40, false);
  int h2 = Layout(nullptr, frames, 40 + h1 + 40, false);
  int height = 40 + h1 + 40 + h2;
  cairo_surface_t* sheet = NewSurface(kWidth, height);
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.07);
  cairo_paint(cr);
  DrawPlainText(cr, Face::Rounded, 22, "Pictures", kPad, 28, 0, {1, 0.85, 0.3});
  Layout(cr, pictures, 40, true);
  DrawPlainText(cr, Face::Rounded, 22, "Sheet frames", kPad, 40 + h1 + 28, 0, {1, 0.85, 0.3});
  Layout(cr, frames, 40 + h1 + 40, true);
  cairo_destroy(cr);
  WritePngFile(sheet, path);
  cairo_surface_destroy(sheet);
  for (cairo_surface_t* img : images) cairo_surface_destroy(img);
}

}  // namespace assetgen
