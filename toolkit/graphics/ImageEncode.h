#pragma once
// Encoding a raster page as BMP (plain or run-length), PCX or PNG bytes: the
// file layouts the image driver and the image saver write.
#include <cstdint>
#include <span>
#include <string>

namespace tk {

/// A raster page as the encoders read it. Row 0 is the bottom of the picture.
/// 1 bit: bit x mod 32 of word x / 32 (1 = ink); 4 bits: the same in each of
/// four planes, planes 0-3 weighing 4, 2, 1 and 8 in the colour number;
/// 8 bits: byte x mod 4 of word x / 4; 24 bits: one word a pixel, red in bits
/// 0-7, green 8-15, blue 16-23. Words outside WORDS read as 0.
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

/// Appends the run-length code of the row starting at word ROW_WORD of the
/// page, plane PLANE (0-based page plane at 4 bits; 0 red, 1 green, 2 blue at
/// 24 bits), BYTES_PER_LINE_M1 + 1 bytes long, to OUT. Bytes past the
/// picture's width are 0.
void PcxRowEncode(const RasterPageView& page, std::int64_t rowWord, int plane,
                  int bytesPerLineM1, std::string& out);

/// Whole files: TYPE 1 plain BMP, 2 run-length at 4 and 8 bits (its size
/// fields provisional until patched). PNG: empty when compression fails
/// (error 1044 reported).
[[nodiscard]] std::string BmpImageBytes(const RasterPageView& page, int type);
[[nodiscard]] std::string PcxImageBytes(const RasterPageView& page);
[[nodiscard]] std::string PngImageBytes(const RasterPageView& page);

/// The same files in the pieces the writers send one at a time.
[[nodiscard]] std::string BmpHeaderBytes(const RasterPageView& page, int type);
[[nodiscard]] std::string BmpRowBytes(const RasterPageView& page, int type, std::int64_t row);
/// The end-of-bitmap code of a run-length file (empty otherwise).
[[nodiscard]] std::string BmpEndBytes(const RasterPageView& page, int type);
[[nodiscard]] std::string PcxHeaderBytes(const RasterPageView& page);
/// All planes of page row ROW, encoded.
[[nodiscard]] std::string PcxLineBytes(const RasterPageView& page, std::int64_t row);
/// The 769-byte palette trailer at 8 bits (empty otherwise).
[[nodiscard]] std::string PcxTrailerBytes(const RasterPageView& page);
/// Signature, IHDR and (below 24 bits) PLTE.
[[nodiscard]] std::string PngHeadBytes(const RasterPageView& page);
/// IDAT and IEND; empty when compression fails.
[[nodiscard]] std::string PngDataBytes(const RasterPageView& page);

}  // namespace tk
