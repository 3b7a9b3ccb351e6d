// Pixel maps for blitter tests: rows padded past their width, a guard band
// before and after the pixels, and any bounds origin. Comparing the whole
// storage catches writes outside the pixels as well as wrong pixels.
#pragma once

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/QuickDraw.h"

class TestPixMap {
 public:
  static constexpr int kGuardBytes = 64;

  TestPixMap(int depth, int width, int height, int padPixels = 0, SInt16 originH = 0, SInt16 originV = 0)
      : depth_(depth), width_(width), height_(height) {
    rowPixels_ = width + padPixels;
    rowBytes_ = rowPixels_ * depth / 8;
    const size_t bytes = size_t(rowBytes_) * height + 2 * kGuardBytes;
    storage_.assign((bytes + 3) / 4, 0xA5A5A5A5u);
    std::memset(&pm_, 0, sizeof pm_);
    pm_.baseAddr = Bytes() + kGuardBytes;
    pm_.rowBytes = SInt16(rowBytes_ | 0x8000);
    pm_.bounds = Rect{originV, originH, SInt16(originV + height), SInt16(originH + width)};
    pm_.pixelSize = SInt16(depth);
    ptr_ = &pm_;
    Fill(0);  // guards and row padding keep their pattern
  }
  TestPixMap(const TestPixMap& other) { *this = other; }
  TestPixMap& operator=(const TestPixMap& other) {
    depth_ = other.depth_;
    width_ = other.width_;
    height_ = other.height_;
    rowPixels_ = other.rowPixels_;
    rowBytes_ = other.rowBytes_;
    storage_ = other.storage_;
    pm_ = other.pm_;
    pm_.baseAddr = Bytes() + kGuardBytes;
    ptr_ = &pm_;
    return *this;
  }

  PixMapHandle Handle() { return &ptr_; }
  const Rect& Bounds() const { return pm_.bounds; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int RowPixels() const { return rowPixels_; }
  int Depth() const { return depth_; }

  // A pixel by local coordinates (from the bounds' top-left).
  UInt32 Get(int x, int y) const {
    const char* p = pm_.baseAddr + size_t(y) * rowBytes_ + size_t(x) * depth_ / 8;
    switch (depth_) {
      case 8: return UInt8(*p);
      case 16: {
        UInt16 v;
        std::memcpy(&v, p, 2);
        return v;
      }
      default: {
        UInt32 v;
        std::memcpy(&v, p, 4);
        return v;
      }
    }
  }
  void Set(int x, int y, UInt32 value) {
    char* p = pm_.baseAddr + size_t(y) * rowBytes_ + size_t(x) * depth_ / 8;
    switch (depth_) {
      case 8: *p = char(value); break;
      case 16: {
        const UInt16 v = UInt16(value);
        std::memcpy(p, &v, 2);
        break;
      }
      default: std::memcpy(p, &value, 4); break;
    }
  }
  void Fill(UInt32 value) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) Set(x, y, value);
  }
  // Random pixels; about one in `keyOneIn` is the key colour (0: never).
  void Randomize(std::mt19937& rng, UInt32 key, int keyOneIn, UInt32 valueMask) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) Set(x, y, keyOneIn && rng() % keyOneIn == 0 ? key : UInt32(rng()) & valueMask);
  }

  const std::vector<UInt32>& Storage() const { return storage_; }

  // Where two maps of the same shape first differ: "" when they do not.
  std::string FirstDifference(const TestPixMap& other) const {
    if (storage_ == other.storage_) return "";
    for (size_t i = 0; i < storage_.size(); ++i) {
      if (storage_[i] == other.storage_[i]) continue;
      const ptrdiff_t byte = ptrdiff_t(i * 4) - kGuardBytes;
      std::ostringstream out;
      out << std::hex << "word " << storage_[i] << " vs " << other.storage_[i] << std::dec;
      if (byte < 0 || byte >= ptrdiff_t(rowBytes_) * height_) {
        out << " in a guard band";
      } else {
        const int y = int(byte / rowBytes_), x = int(byte % rowBytes_) * 8 / depth_;
        out << " near pixel (" << x << ", " << y << ")" << (x >= width_ ? " in the row padding" : "") << std::hex
            << ": " << Get(std::min(x, width_ - 1), y) << " vs " << other.Get(std::min(x, width_ - 1), y);
      }
      return out.str();
    }
    return "";
  }

 private:
  char* Bytes() { return reinterpret_cast<char*>(storage_.data()); }

  int depth_, width_, height_, rowPixels_, rowBytes_;
  std::vector<UInt32> storage_;
  PixMap pm_;
  PixMap* ptr_;
};

// A rectangle from its origin and size.
inline Rect RectAt(int left, int top, int width, int height) {
  return Rect{SInt16(top), SInt16(left), SInt16(top + height), SInt16(left + width)};
}
