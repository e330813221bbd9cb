#pragma once
// One fuzz input through the image decoders and the graphics file
// identification: the type and facts of the bytes, the picture counters, and
// the BMP, PCX and PNG decoders into an array of exactly the picture's size
// between guard words, and into an array one pixel too small. A decoder that
// writes outside its array, or decodes into one too small, traps.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsFileType.h"
#include "toolkit/graphics/ImageLoad.h"

namespace image_fuzz {

inline void Check(bool holds) {
  if (!holds) __builtin_trap();
}

inline int FuzzImageDecoders(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  tk::ErrorReportModeSet(tk::kReportSilent);
  std::array<std::int32_t, 6> info{};
  tk::GraphicsFileTypeOfBytes(bytes, info, 6);
  Check(info[0] >= -1 && info[0] <= 16);
  Check((info[0] == -1) == (size < 4));
  std::int32_t count = 0;
  float aspect = 0;
  (void)tk::CgmPictureInfo(bytes, count, aspect);
  Check(count >= 1 && aspect == aspect);
  bool cut = false;
  Check(tk::CountPicPictures(bytes, cut) >= 1);
  Check(tk::CountHpglPictures(bytes) >= 1);

  std::int32_t w = 0, h = 0;
  if (!tk::ImageDataSize(bytes, w, h)) return 0;
  const std::int64_t rows = std::max<std::int32_t>(h, 0);
  const std::int64_t pixels = std::int64_t{w} * rows;
  if (pixels > (1 << 20)) return 0;  // larger pictures are refused or too slow to fuzz
  constexpr std::int32_t kGuard = 0x5A5A5A5A;
  constexpr std::size_t kPad = 16;
  std::vector<std::int32_t> buf(static_cast<std::size_t>(pixels) + 2 * kPad, kGuard);
  const std::span<std::int32_t> inside(buf.data() + kPad, static_cast<std::size_t>(pixels));
  (void)tk::DecodeImageData(bytes, inside);
  for (std::size_t i = 0; i < kPad; ++i) Check(buf[i] == kGuard && buf[buf.size() - 1 - i] == kGuard);
  if (pixels > 0) {
    std::vector<std::int32_t> small(static_cast<std::size_t>(pixels - 1), kGuard);
    Check(tk::DecodeImageData(bytes, small) == tk::kImageUnsupported);
    Check(std::all_of(small.begin(), small.end(), [](std::int32_t v) { return v == kGuard; }));
  }
  return 0;
}

}  // namespace image_fuzz
