#pragma once
// Reading back the raster that a driver's output turns into: a PBM, PGM or
// PPM file (plain or raw), or any image ImageMagick can convert (PNG), as grey
// levels; and the two questions the driver tests ask of it: do dark pixels
// follow a segment, and is a region blank.
//
// Image coordinates: column x from the left, row y from the top, as in the
// files themselves.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velloran::testing {

struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> grey;  // 0 black .. 255 white, row after row from the top

  std::uint8_t At(int x, int y) const {
    return grey[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
  }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  /// A pixel darker than THRESHOLD (red, 76 grey, counts as dark by default).
  bool Dark(int x, int y, int threshold = 160) const { return Inside(x, y) && At(x, y) < threshold; }
};

namespace detail {

// Reads one header number of a Netpbm file, skipping blanks and comments.
inline bool NetpbmNumber(const std::string& bytes, std::size_t& at, long& value) {
  for (;;) {
    while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at]))) ++at;
    if (at < bytes.size() && bytes[at] == '#') {
      while (at < bytes.size() && bytes[at] != '\n') ++at;
      continue;
    }
    break;
  }
  if (at >= bytes.size() || !std::isdigit(static_cast<unsigned char>(bytes[at]))) return false;
  value = 0;
  while (at < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[at]))) {
    value = value * 10 + (bytes[at++] - '0');
    if (value > 1000000) return false;
  }
  return true;
}

inline std::uint8_t Luminance(long r, long g, long b, long maxValue) {
  const double y = (0.299 * static_cast<double>(r) + 0.587 * static_cast<double>(g) +
                    0.114 * static_cast<double>(b)) /
                   static_cast<double>(maxValue);
  return static_cast<std::uint8_t>(std::lround(std::clamp(y, 0.0, 1.0) * 255.0));
}

}  // namespace detail

/// Decodes a P1-P6 image held in BYTES. False (IMAGE untouched) when the
/// header is malformed or the samples are too few.
inline bool DecodeNetpbm(const std::string& bytes, GreyImage& image) {
  if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] < '1' || bytes[1] > '6') return false;
  const int kind = bytes[1] - '0';
  std::size_t at = 2;
  long w = 0, h = 0, maxValue = 1;
  if (!detail::NetpbmNumber(bytes, at, w) || !detail::NetpbmNumber(bytes, at, h)) return false;
  if (kind != 1 && kind != 4 && !detail::NetpbmNumber(bytes, at, maxValue)) return false;
  if (w <= 0 || h <= 0 || w * h > 50'000'000 || maxValue <= 0 || maxValue > 65535) return false;
  const bool raw = kind >= 4;
  const bool bitmap = kind == 1 || kind == 4;
  const int channels = (kind == 3 || kind == 6) ? 3 : 1;
  if (raw) ++at;  // the single blank after the header
  GreyImage out;
  out.width = static_cast<int>(w);
  out.height = static_cast<int>(h);
  out.grey.resize(static_cast<std::size_t>(w * h));
  const int sampleBytes = maxValue > 255 ? 2 : 1;
  for (long y = 0; y < h; ++y) {
    for (long x = 0; x < w; ++x) {
      long s[3] = {0, 0, 0};
      if (bitmap && raw) {
        const std::size_t rowBytes = static_cast<std::size_t>((w + 7) / 8);
        const std::size_t i = at + static_cast<std::size_t>(y) * rowBytes + static_cast<std::size_t>(x / 8);
        if (i >= bytes.size()) return false;
        s[0] = (static_cast<unsigned char>(bytes[i]) >> (7 - x % 8)) & 1;
      } else if (raw) {
        for (int c = 0; c < channels; ++c) {
          const std::size_t i =
              at + (static_cast<std::size_t>(y * w + x) * static_cast<std::size_t>(channels) +
                    static_cast<std::size_t>(c)) *
                       static_cast<std::size_t>(sampleBytes);
          if (i + static_cast<std::size_t>(sampleBytes) > bytes.size()) return false;
          s[c] = static_cast<unsigned char>(bytes[i]);
          if (sampleBytes == 2) s[c] = s[c] * 256 + static_cast<unsigned char>(bytes[i + 1]);
        }
      } else {
        for (int c = 0; c < channels; ++c) {
          if (bitmap) {  // plain PBM digits may stand without blanks between them
            while (at < bytes.size() && bytes[at] != '0' && bytes[at] != '1') {
              if (bytes[at] == '#')
                while (at < bytes.size() && bytes[at] != '\n') ++at;
              else if (!std::isspace(static_cast<unsigned char>(bytes[at])))
                return false;
              else
                ++at;
            }
            if (at >= bytes.size()) return false;
            s[c] = bytes[at++] - '0';
          } else if (!detail::NetpbmNumber(bytes, at, s[c]) || s[c] > maxValue) {
            return false;
          }
        }
      }
      const std::size_t p = static_cast<std::size_t>(y * w + x);
      if (bitmap)
        out.grey[p] = s[0] ? 0 : 255;  // PBM: 1 is black
      else if (channels == 1)
        out.grey[p] = detail::Luminance(s[0], s[0], s[0], maxValue);
      else
        out.grey[p] = detail::Luminance(s[0], s[1], s[2], maxValue);
    }
  }
  image = std::move(out);
  return true;
}

/// Reads a Netpbm file.
inline bool ReadNetpbmFile(const std::string& path, GreyImage& image) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeNetpbm(bytes, image);
}

/// True when ImageMagick's converter is on PATH.
inline bool ImageMagickAvailable() {
  return std::system("command -v convert >/dev/null 2>&1") == 0;
}

/// Reads any image ImageMagick understands (PNG, BMP, PCX, ...) by
/// converting it to a PGM beside it first; Netpbm files are read directly.
inline bool ReadRasterFile(const std::string& path, GreyImage& image) {
  if (ReadNetpbmFile(path, image)) return true;
  if (!ImageMagickAvailable()) return false;
  const std::string pgm = path + ".readback.pgm";
  const std::string command = "convert '" + path + "' -flatten -depth 8 'pgm:" + pgm + "' 2>/dev/null";
  if (path.find('\'') != std::string::npos || std::system(command.c_str()) != 0) return false;
  const bool ok = ReadNetpbmFile(pgm, image);
  std::remove(pgm.c_str());
  return ok;
}

/// Share (0..1) of the points along the segment (X0, Y0)-(X1, Y1), one per
/// pixel of its length, that have a dark pixel within TOLERANCE pixels.
inline double DarkCoverage(const GreyImage& image, double x0, double y0, double x1, double y1,
                           int tolerance = 1, int threshold = 160) {
  const double length = std::hypot(x1 - x0, y1 - y0);
  const int steps = std::max(1, static_cast<int>(std::ceil(length)));
  int covered = 0;
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const int cx = static_cast<int>(std::lround(x0 + t * (x1 - x0)));
    const int cy = static_cast<int>(std::lround(y0 + t * (y1 - y0)));
    bool found = false;
    for (int dy = -tolerance; dy <= tolerance && !found; ++dy)
      for (int dx = -tolerance; dx <= tolerance && !found; ++dx)
        found = image.Dark(cx + dx, cy + dy, threshold);
    covered += found;
  }
  return static_cast<double>(covered) / (steps + 1);
}

/// Dark pixels follow the whole segment within TOLERANCE pixels.
inline bool DarkAlongSegment(const GreyImage& image, double x0, double y0, double x1, double y1,
                             int tolerance = 1, int threshold = 160) {
  return DarkCoverage(image, x0, y0, x1, y1, tolerance, threshold) == 1.0;
}

/// No dark pixel in the rectangle of columns X0..X1 and rows Y0..Y1 (either
/// order, clipped to the image).
inline bool RegionBlank(const GreyImage& image, int x0, int y0, int x1, int y1,
                        int threshold = 160) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  for (int y = std::max(y0, 0); y <= std::min(y1, image.height - 1); ++y)
    for (int x = std::max(x0, 0); x <= std::min(x1, image.width - 1); ++x)
      if (image.Dark(x, y, threshold)) return false;
  return true;
}

/// Writes IMAGE as a raw PGM (tests that build a raster themselves).
inline bool WritePgm(const std::string& path, const GreyImage& image) {
  std::ofstream out(path, std::ios::binary);
  out << "P5\n" << image.width << ' ' << image.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(image.grey.data()),
            static_cast<std::streamsize>(image.grey.size()));
  return static_cast<bool>(out);
}

}  // namespace velloran::testing
