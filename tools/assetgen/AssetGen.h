// The asset generator: draws, synthesises and writes every file of the
// application bundle's Resources folder. All output is deterministic.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace assetgen {

// ---- Output (Main.cpp) -------------------------------------------------------
// Absolute path of a file under the Resources folder; creates its folders.
std::string OutPath(const std::string& relative);
const std::string& FontSourceDir();

// ---- Shared drawing (Art.cpp) -------------------------------------------------
struct Rgb {
  double r, g, b;
};

// Small deterministic generator (xorshift); every job seeds its own.
struct Rng {
  uint32_t state;
  explicit Rng(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
  uint32_t Next();
  double Unit();                       // [0, 1)
  double Range(double lo, double hi);  // [lo, hi)
};

// Smooth value noise and its fractal sum, both roughly in [0, 1].
double Noise2(double x, double y, uint32_t seed);
double Fbm(double x, double y, uint32_t seed, int octaves);

cairo_surface_t* NewSurface(int width, int height);
// Writes an 8-bit RGBA PNG with straight alpha and no colour-space chunks.
void WritePng(cairo_surface_t* surface, const std::string& relative);
void WritePngFile(cairo_surface_t* surface, const std::string& path);

// Draws one picture of the given size with draw(cr) and writes it as a PNG.
template <class Draw>
void Picture(const std::string& path, int w, int h, Draw draw) {
  cairo_surface_t* s = NewSurface(w, h);
  cairo_t* cr = cairo_create(s);
  draw(cr);
  cairo_destroy(cr);
  WritePng(s, path);
  cairo_surface_destroy(s);
}

// The interface palette.
inline constexpr Rgb kCyan{0.0, 1.0, 0.68};
inline constexpr Rgb kAqua{0.0, 1.0, 1.0};
inline constexpr Rgb kBlue{0.25, 0.45, 1.0};
inline constexpr Rgb kViolet{0.55, 0.35, 1.0};

void SetRgb(cairo_t* cr, Rgb c, double alpha = 1.0);
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Scale(Rgb c, double k);
// Soft radial light: colour at the centre falling to transparent at radius.
void Glow(cairo_t* cr, double x, double y, double radius, Rgb c, double alpha);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void Starfield(cairo_t* cr, int w, int h, uint32_t seed, int count);
void NebulaClouds(cairo_t* cr, int w, int h, uint32_t seed, Rgb a, Rgb b, double strength);

enum class Face { Rounded, Engraved };
// The Debian font file behind each face (Fonts.cpp); the bundle holds copies.
std::string FontFile(Face face);
// Text centred on (cx, cy) with an outer glow, a vertical gradient fill and a dark outline.
struct TextStyle {
  double size;
  Rgb top, bottom;
  Rgb glow;
  double glowAlpha;
  double outline;
};
void SelectFace(cairo_t* cr, Face face, double size);
void DrawTitleText(cairo_t* cr, Face face, const std::string& text, double cx, double cy, const TextStyle& style);
// Plain text; align 0 left, 1 centre, 2 right at x; y is the baseline.
void DrawPlainText(cairo_t* cr, Face face, double size, const std::string& text, double x, double y, int align, Rgb c,
                   double alpha = 1.0);
// Panel with a metallic bevelled border and a dark glassy inside.
void Panel(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb accent);
// A menu/dialog button picture with its label.
void ButtonPicture(cairo_t* cr, int w, int h, const std::string& label, Rgb accent, Face face);

// ---- Jobs: each writes its files; Main.cpp runs them in parallel ---------------
using Job = std::function<void()>;
void AddImageJobs(std::vector<Job>& jobs);  // Images.cpp, Screens.cpp
void AddScreenJobs(std::vector<Job>& jobs);
void AddInstructionJobs(std::vector<Job>& jobs);  // Instructions.cpp
void AddSheetJobs(std::vector<Job>& jobs);        // Sheets.cpp
void AddSoundJobs(std::vector<Job>& jobs);        // Sounds.cpp
void AddMusicJobs(std::vector<Job>& jobs);        // Music.cpp
void AddMovieJobs(std::vector<Job>& jobs);        // Movie.cpp
void AddTableJobs(std::vector<Job>& jobs);        // Tables.cpp
void AddFontJobs(std::vector<Job>& jobs);         // Fonts.cpp
void AddIconJobs(std::vector<Job>& jobs);         // Icons.cpp: the dialogs' icons
void AddIdentityJobs(std::vector<Job>& jobs);     // Identity.cpp: the application icon, the colour table

// ---- Sheets (Sheets.cpp) ----------------------------------------------------------
struct SheetFrame {
  std::string name;  // the layout entry's key, e.g. "playerShipFRAME[0][1]"
  bool first;        // heads an array (or is a lone frame)
  int size0, size1;  // array dimensions on the head entry (0 = not given)
  int left, top, right, bottom;
};
struct SheetInfo {
  std::string name;  // "Meteors", "Sprites", "Enemies"
  std::vector<SheetFrame> frames;
};
// The frame lists of the three sheets, in layout order.
std::vector<SheetInfo> SheetLayouts();
// Writes Layouts/<name>.plist for a sheet (Layouts.cpp).
void WriteLayout(const SheetInfo& sheet);

// ---- Audio (Audio.cpp) -----------------------------------------------------------
// Interleaved float samples in [-1, 1], encoded as Ogg Vorbis at a fixed quality.
void WriteOgg(const std::string& relative, const std::vector<float>& samples, int channels, int rate, float quality);

// ---- Contact sheet (ContactSheet.cpp) ---------------------------------------------
// Every picture of the Resources folder and every frame of every sheet, labelled.
void WriteContactSheet(const std::string& resources, const std::string& path);

}  // namespace assetgen
