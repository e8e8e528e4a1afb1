#pragma once

#include <cassert>
#include <vector>

#include "toolkit/color.h"

namespace tk {

// A picture of RGB pixels, rows from the top.
class RgbImage {
 public:
  RgbImage() = default;
  RgbImage(int width, int height, Rgb fill = {})
      : width_(width), height_(height),
        pixels_(static_cast<std::size_t>(width) * height, fill) {}

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return pixels_.empty(); }

  Rgb at(int x, int y) const { return pixels_[Index(x, y)]; }
  void set(int x, int y, Rgb c) { pixels_[Index(x, y)] = c; }

  friend bool operator==(const RgbImage&, const RgbImage&) = default;

 private:
  std::size_t Index(int x, int y) const {
    assert(x >= 0 && x < width_ && y >= 0 && y < height_);
    return static_cast<std::size_t>(y) * width_ + x;
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> pixels_;
};

}  // namespace tk
