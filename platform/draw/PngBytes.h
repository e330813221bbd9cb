#pragma once
// Byte-level helpers of the PNG format shared by every PNG reader and writer:
// the chunk CRC-32, big-endian 32-bit fields and the reversal of the five row
// filters. Pure functions over byte spans.
#include <cstddef>
#include <cstdint>
#include <span>

namespace plat {

/// The CRC-32 of ISO 3309 / ITU-T V.42 that PNG chunks carry (over the
/// chunk's type and data). 0 for no bytes.
[[nodiscard]] std::uint32_t PngCrc(std::span<const std::uint8_t> bytes);
/// Continues CRC (a finished value, as returned above) over further BYTES.
[[nodiscard]] std::uint32_t PngCrcMore(std::uint32_t crc, std::span<const std::uint8_t> bytes);

/// The big-endian 32-bit value of the first four bytes of AT.
[[nodiscard]] inline std::uint32_t LoadBE32(const std::uint8_t* at) {
  return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) |
         (std::uint32_t{at[2]} << 8) | std::uint32_t{at[3]};
}
/// Stores VALUE big-endian into the first four bytes of AT.
inline void StoreBE32(std::uint32_t value, std::uint8_t* at) {
  at[0] = static_cast<std::uint8_t>(value >> 24);
  at[1] = static_cast<std::uint8_t>(value >> 16);
  at[2] = static_cast<std::uint8_t>(value >> 8);
  at[3] = static_cast<std::uint8_t>(value);
}

/// Reverses the PNG row filters in place. BUFFER holds ROWS rows of STRIDE
/// bytes, each a filter-type byte and STRIDE - 1 data bytes; BPP is the
/// distance to the same byte of the pixel on the left (at least 1). Rows are
/// undone top to bottom against the row above as already undone; a row with
/// an unknown filter type is left as it is; the filter bytes stay. Only whole
/// rows inside BUFFER are touched.
void PngUnfilterInPlace(std::span<std::uint8_t> buffer, std::size_t stride, std::size_t rows,
                        std::size_t bpp);

/// True when every filter-type byte of the ROWS rows of STRIDE bytes is 0-4.
[[nodiscard]] bool PngFilterTypesKnown(std::span<const std::uint8_t> buffer, std::size_t stride,
                                       std::size_t rows);

}  // namespace plat
