#pragma once
// The image-file writers of the image driver: a raster page written as a
// BMP (plain or run-length), PCX or PNG file through plot-file stream 2, the
// page geometry with its shrink loop, and the names of a picture's later
// pages.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tk {

/// A raster page as the writers read it. Row 0 is the bottom of the picture.
/// 1 bit: bit x mod 32 of word x / 32 (1 = ink); 4 bits: the same in each of
/// four planes; 8 bits: byte x mod 4 of word x / 4; 24 bits: one word a
/// pixel, red in bits 0-7, green 8-15, blue 16-23.
struct RasterPageView {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bitsPerPixel = 8;  // 1, 4, 8 or 24
  std::int64_t wordsPerRow = 0;
  std::int64_t wordsPerPlane = 0;
  std::span<const std::uint32_t> words;
};

/// The geometry of an image page of W x H pixels at BITS per pixel.
struct ImagePageGeometry {
  std::int32_t width = 0, height = 0, bitsPerPixel = 8, planes = 1, pixelsPerWord = 4;
  std::int64_t wordsPerRow = 0, wordsPerPlane = 0, totalWords = 0;
};
[[nodiscard]] ImagePageGeometry ImagePageLayout(std::int64_t width, std::int64_t height, int bits);

/// Sizes the page of W x H pixels: a page whose words (total + 1) exceed
/// MAX_WORDS, or that ALLOCATE refuses, is shrunk by the factor
/// sqrt(total / (total x 9 / 10)) on each side until one fits. Each refused
/// allocation reports error 34 under "XXIMAG"; the steps taken at once for a
/// page far above MAX_WORDS report it once.
[[nodiscard]] ImagePageGeometry ImagePageFit(std::int64_t width, std::int64_t height, int bits,
                                             std::int64_t maxWords,
                                             const std::function<bool(std::int64_t words)>& allocate);

/// The name of page N of a picture written to NAME: page 1 is NAME itself;
/// later pages put "-N" before the extension (after the last "." that follows
/// the last "/" or "\"), or at the end when there is none.
[[nodiscard]] std::string ImagePageFileName(std::string_view name, int page);

/// Writers to plot-file stream 2; each stops at the first failed write.
/// TYPE 1 plain BMP, 2 run-length at 4 and 8 bits.
void BmpFileWrite(const RasterPageView& page, int type);
void PcxFileWrite(const RasterPageView& page);
void PngFileWrite(const RasterPageView& page);
/// Appends the run-length code of the row starting at word ROW_WORD of the
/// page, plane PLANE (0-based page plane at 4 bits; 0 red, 1 green, 2 blue at
/// 24 bits), BYTES_PER_LINE_M1 + 1 bytes long, to OUT.
void PcxRowEncode(const RasterPageView& page, std::int64_t rowWord, int plane,
                  int bytesPerLineM1, std::string& out);
/// Patches the file size (offset 2) and image size (offset 34) of the
/// finished run-length BMP NAME(1:NAME_LENGTH) of BITS per pixel.
void YYBMP2(std::string_view name, int nameLength, int bits);

/// The bytes of one BMP, PCX or PNG file of PAGE (what the writers send).
[[nodiscard]] std::string BmpImageBytes(const RasterPageView& page, int type);
[[nodiscard]] std::string PcxImageBytes(const RasterPageView& page);
/// Empty when compression fails (error 1044 reported).
[[nodiscard]] std::string PngImageBytes(const RasterPageView& page);

}  // namespace tk
