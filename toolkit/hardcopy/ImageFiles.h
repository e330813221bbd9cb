#pragma once
// The image-file writers of the image driver: a raster page written as a
// BMP (plain or run-length), PCX or PNG file through plot-file stream 2, the
// page geometry with its shrink loop, and the names of a picture's later
// pages.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "toolkit/graphics/ImageEncode.h"

namespace tk {

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
/// Patches the file size (offset 2) and image size (offset 34) of the
/// finished run-length BMP NAME(1:NAME_LENGTH) of BITS per pixel.
void YYBMP2(std::string_view name, int nameLength, int bits);

}  // namespace tk
