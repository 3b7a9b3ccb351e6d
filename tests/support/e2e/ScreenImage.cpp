#include "support/e2e/ScreenImage.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace e2e {

std::string Describe(const Rgba& c) {
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ", " +
         std::to_string(c.a) + ")";
}

int ColourDistance(const Rgba& a, const Rgba& b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

ScreenImage::ScreenImage(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), pixels_(size_t(width_) * size_t(height_)) {}

Rgba ScreenImage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return Rgba{0, 0, 0, 0};
  return pixels_[size_t(y) * size_t(width_) + size_t(x)];
}

void ScreenImage::Set(int x, int y, const Rgba& c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[size_t(y) * size_t(width_) + size_t(x)] = c;
}

bool ScreenImage::OneColour() const { return CountColours(2) <= 1; }

int ScreenImage::CountColours(int limit) const {
  std::unordered_set<uint32_t> seen;
  for (const Rgba& p : pixels_) {
    seen.insert(uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | uint32_t(p.b));
    if (int(seen.size()) >= limit) break;
  }
  return int(seen.size());
}

bool ScreenImage::SavePng(const std::string& path) const {
  if (Empty()) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width_);
  image.height = png_uint_32(height_);
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> bytes;
  bytes.reserve(pixels_.size() * 4);
  for (const Rgba& p : pixels_) {
    bytes.push_back(png_byte(p.r));
    bytes.push_back(png_byte(p.g));
    bytes.push_back(png_byte(p.b));
    bytes.push_back(png_byte(p.a));
  }
  return png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
}

ScreenImage LoadPng(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return ScreenImage();
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
    png_image_free(&image);
    return ScreenImage();
  }
  ScreenImage result(int(image.width), int(image.height));
  for (int y = 0; y < result.Height(); ++y)
    for (int x = 0; x < result.Width(); ++x) {
      const png_byte* p = &bytes[(size_t(y) * image.width + size_t(x)) * 4];
      result.Set(x, y, Rgba{p[0], p[1], p[2], p[3]});
    }
  return result;
}

Rgba OverBlack(const Rgba& c) { return Rgba{c.r * c.a / 255, c.g * c.a / 255, c.b * c.a / 255, 255}; }

}  // namespace e2e
