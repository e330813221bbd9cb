#pragma once
// The toolkit's PNG helpers and block compression: big-endian fields, chunk
// types and CRCs, row unfiltering for the image readers and writers, and
// WCompress / WUnCompress over zlib, failures reported as error 1044.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tk {

/// Compresses SOURCE(1:SOURCE_LENGTH) into DEST; DEST_LENGTH carries the
/// capacity in (at most DEST's size) and the bytes produced out, or 0 with
/// error 1044 (zlib's status as the secondary status) on failure.
void WCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest,
               std::int32_t sourceLength, std::int32_t& destLength);
void WCompress(std::span<const std::byte> source, std::span<std::byte> dest,
               std::int32_t sourceLength, std::int32_t& destLength);
/// Expands a zlib stream, with the same lengths and failure as WCompress.
void WUnCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest,
                 std::int32_t sourceLength, std::int32_t& destLength);
void WUnCompress(std::span<const std::byte> source, std::span<std::byte> dest,
                 std::int32_t sourceLength, std::int32_t& destLength);

/// The big-endian unsigned value of the first four bytes.
[[nodiscard]] std::uint32_t PngReadUInt32(std::span<const std::uint8_t, 4> bytes);
/// Stores VALUE big-endian into the four bytes.
void PngStoreUInt32(const std::uint32_t& value, std::span<std::uint8_t, 4> bytes);
void StoreUInt32BE(std::uint32_t value, std::span<std::uint8_t, 4> bytes);
/// 1 when the four bytes spell NAME (compared as unsigned bytes), else 0.
[[nodiscard]] int PngChunkTypeIs(std::span<const std::uint8_t, 4> bytes, std::string_view name);
/// The CRC-32 of the first COUNT bytes (count limited to the span).
[[nodiscard]] std::uint32_t PngCrc32(std::span<const std::uint8_t> bytes, std::int64_t count);
/// CRC := PngCrc32(BYTES, COUNT).
void PngChunkCrc(std::int64_t count, std::uint32_t& crc, std::span<const std::uint8_t> bytes);
/// Reverse the row filters in place (rows of STRIDE bytes, each led by its
/// filter-type byte); only whole rows inside BUFFER are touched.
void PngUnfilter(std::int64_t stride, std::int64_t rows, std::int64_t bytesPerPixel,
                 std::span<std::uint8_t> buffer);
void PngUnfilterRows(std::span<std::uint8_t> buffer, std::int64_t stride, std::int64_t rows,
                     std::int64_t bytesPerPixel);

}  // namespace tk
