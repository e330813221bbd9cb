#pragma once
// The software raster driver: drawing operations painted into one page of
// pixels in memory (1, 3, 4, 8 or 24 bits per pixel; planar at 3 and 4
// bits; row 0 at the bottom). The raster printer and image-file drivers
// size the page, pass their drawing here and write the page out.
#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/graphics/Drivers.h"

namespace tk {

/// The largest page, in 32-bit words, that a driver allocates; a larger one
/// is treated like a failed allocation.
inline constexpr std::int64_t kRasterPageWordCap = std::int64_t{1} << 26;

struct RasterPage {
  // Set by the configuring driver.
  std::int32_t bitsPerPixel = 1;
  std::int32_t width = 0, height = 0;
  std::int32_t planes = 1;
  float resolutionX = 300, resolutionY = 300;
  std::uint32_t background = 0;
  std::int32_t colourKind = 0;  // the printer's colour kind (0, 1 "R", 2 "C")
  std::int64_t usableWords = 0;
  // Derived by Size().
  std::int32_t pixelClass = 1;
  std::int64_t wordsPerRow = 0, wordsPerPlane = 0, totalWords = 0;
  std::vector<std::uint32_t> words;
  // Drawing state.
  std::int32_t clipX0 = 0, clipX1 = -1, clipY0 = 0, clipY1 = -1;
  std::uint32_t pixel = 1, previousPixel = 0;
  std::int32_t colourNumber = 0, previousColourNumber = 0;
  std::array<std::uint32_t, 3> dither{}, previousDither{};
  std::array<std::uint32_t, 2> fillWords{};
  bool halftone = false;
  std::uint32_t pattern = 0xFFF;
  std::int32_t patternLength = 12, patternBit = 0, patternCount = 1;
  bool solid = true;
  std::int32_t dashUnitX = 1, dashUnitY = 1;
  std::int32_t columnThickness = 0, rowThickness = 0, columnHalf = 0, rowHalf = 0;
  std::int32_t lastX = -9999, lastY = -9999;
  std::array<std::vector<std::uint32_t>, 3> ditherTables;

  /// Derives the pixel class and word counts from the depth, size and
  /// planes, in 64-bit arithmetic. False when the size is not positive or
  /// the page would exceed kRasterPageWordCap.
  bool Size();
  /// Size() and the page array of total words + 1 words; false when either
  /// fails (the array is then released).
  bool Allocate();
  /// Pixel (X, Y) of plane 0, or of PLANE for the planar class: bit, byte
  /// or word as the layout holds it.
  std::uint32_t Get(int x, int y, int plane = 0) const;
};
RasterPage& CurrentRasterPage();

/// The driver entry: operations 1, 2, 3, 5, 7, 9, 11, 13, 15, 17, 18, 19,
/// 24, 26, 29, 30, 32, 35, 38 and 40; every other code returns at once.
void RasterDriver(DriverOperation op);

void RasterPixelSet(std::uint32_t value, int x, int y);
void RasterRunFill(std::uint32_t value, int x1, int y, int x2);
void RasterSpanFill(int x1, int x2, int y);
void RasterLine(int x1, int y1, int x2, int y2, bool skipFirst);
int RasterEdgeX(int x1, int y1, int x2, int y2, int y);
void RasterColourPixel(int x, int y, int rgb);
void RasterDitherTables();

/// The 4-bit page value of the packed colour RGB: the planes of the entry of
/// the 16-colour table nearest to it, so that a picture in the pen colours
/// (all of them colour numbers 0-15) keeps its colours at 4 bits.
std::uint32_t RasterFourBitOfRgb(int rgb);

}  // namespace tk
