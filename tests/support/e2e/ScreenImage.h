// Pixels as a person sees them: a grab of the screen, or a picture file of
// the bundle to compare it with.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace e2e {

struct Rgba {
  int r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};
std::string Describe(const Rgba& c);
inline void PrintTo(const Rgba& c, std::ostream* os) { *os << Describe(c); }
// The largest difference of the three colour channels.
int ColourDistance(const Rgba& a, const Rgba& b);

class ScreenImage {
 public:
  ScreenImage() = default;
  ScreenImage(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  Rgba At(int x, int y) const;
  void Set(int x, int y, const Rgba& c);
  // Every pixel the same colour (the alpha channel is not compared).
  bool OneColour() const;
  // How many distinct colours it holds, up to `limit`.
  int CountColours(int limit = 1 << 20) const;
  // Writes a PNG file (for looking at a failure); false when it cannot.
  bool SavePng(const std::string& path) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<Rgba> pixels_;
};

// Reads a PNG file as 8-bit RGBA; an empty image when it cannot be read.
ScreenImage LoadPng(const std::string& path);

// A straight-alpha pixel of a picture as it shows drawn over black.
Rgba OverBlack(const Rgba& c);

}  // namespace e2e
