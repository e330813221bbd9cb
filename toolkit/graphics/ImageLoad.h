#pragma once
// Image loading: BMP (1-32 bits, RLE4, RLE8), PCX (1, 4, 8 and 24 bits) and
// PNG (colour types 2, 3 and 6) files decoded into packed RGB pixels
// (red + 256 green + 65536 blue), rows from the top of the picture.
#include <cstdint>
#include <span>
#include <string_view>

namespace tk {

/// Status codes of the image routines.
enum ImageStatus : std::int32_t {
  kImageOk = 0,
  kImageOpenFailed = 1,
  kImageReadWrite = 2,
  kImageUnsupported = 27,
  kImageZlib = 1044,
  kImageTransfer = 1066,
  kImageSaveFailed = 1072,
  kImageClipboardBusy = 1094,
  kImageClipboardEmpty = 1095,
};

/// Decodes the image file NAME(1:NAME_LENGTH) into PIXELS (width x height of
/// the file, from GraphicsFileType). Failures are reported under
/// "IGrLoadImageData": 27 for a type or variant not supported, or a picture
/// larger than PIXELS; 2 for a PCX palette without its marker or PNG data
/// beyond their buffer. A file cut short ends decoding silently; pixels not
/// decoded keep their values.
void IGrLoadImageData(std::string_view name, int nameLength, std::span<std::int32_t> pixels);

/// The decoder over the whole contents FILE of an image file; returns the
/// code reported (0 when none), reporting as IGrLoadImageData does.
/// SHORT_READ, when given, := the file ended before the picture did.
std::int32_t DecodeImageData(std::span<const std::uint8_t> file, std::span<std::int32_t> pixels,
                             bool* shortRead = nullptr);

/// Size of a decoded picture as IGrLoadImageData fills it; false when FILE is
/// no picture of a supported kind or its size is not positive.
[[nodiscard]] bool ImageDataSize(std::span<const std::uint8_t> file, std::int32_t& width,
                                 std::int32_t& height);

}  // namespace tk
