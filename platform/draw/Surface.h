#pragma once
// A 32-bit pixel surface: the backing store of a top-level window, a memory
// bitmap or a printed page. Pixels are 0x00RRGGBB, rows top to bottom.
#include <algorithm>
#include <cstdint>
#include <new>
#include <span>
#include <vector>

#include "platform/Geometry.h"

namespace plat {

using Pixel = std::uint32_t;

constexpr Pixel Rgb(int r, int g, int b) {
  return (static_cast<Pixel>(r & 0xFF) << 16) | (static_cast<Pixel>(g & 0xFF) << 8) |
         static_cast<Pixel>(b & 0xFF);
}
constexpr int RedOf(Pixel p) { return (p >> 16) & 0xFF; }
constexpr int GreenOf(Pixel p) { return (p >> 8) & 0xFF; }
constexpr int BlueOf(Pixel p) { return p & 0xFF; }

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, Pixel fill = Rgb(255, 255, 255)) { Resize(width, height, fill); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  Rect Bounds() const { return {0, 0, width_, height_}; }

  /// The most pixels a surface holds (a 16384 x 16384 square, 1 GiB).
  static constexpr std::size_t kMaxPixels = std::size_t{1} << 28;

  /// Changes the size; pixels that stay inside keep their value, new ones get
  /// FILL. False, and the surface as it was, when the new size cannot be held
  /// (more than kMaxPixels, or the memory is not there).
  bool Resize(int width, int height, Pixel fill = Rgb(255, 255, 255)) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (count > kMaxPixels) return false;
    std::vector<Pixel> next;
    try {
      next.assign(count, fill);
    } catch (const std::bad_alloc&) {
      return false;
    }
    const int w = std::min(width, width_), h = std::min(height, height_);
    for (int y = 0; y < h; ++y)
      std::copy_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_, w,
                  next.begin() + static_cast<std::ptrdiff_t>(y) * width);
    pixels_.swap(next);
    width_ = width;
    height_ = height;
    return true;
  }

  void Fill(Pixel p) { std::fill(pixels_.begin(), pixels_.end(), p); }

  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  /// Pixel at (x, y); 0 outside the surface.
  Pixel Get(int x, int y) const { return Inside(x, y) ? pixels_[Index(x, y)] : 0; }
  /// Sets (x, y); ignored outside the surface.
  void Set(int x, int y, Pixel p) {
    if (Inside(x, y)) pixels_[Index(x, y)] = p;
  }

  Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const Pixel* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  std::span<Pixel> Pixels() { return pixels_; }
  std::span<const Pixel> Pixels() const { return pixels_; }

  friend bool operator==(const Surface& a, const Surface& b) {
    return a.width_ == b.width_ && a.height_ == b.height_ && a.pixels_ == b.pixels_;
  }

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }
  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel> pixels_;
};

}  // namespace plat
