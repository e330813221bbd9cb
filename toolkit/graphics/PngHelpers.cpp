#include "toolkit/graphics/PngHelpers.h"

#include <zlib.h>

#include <algorithm>

#include "platform/draw/PngBytes.h"
#include "toolkit/core/Errors.h"

namespace tk {

namespace {

enum class ZlibCall { Compress, Uncompress };

void RunZlib(ZlibCall call, const std::uint8_t* source, std::size_t sourceSize,
             std::uint8_t* dest, std::size_t destSize, std::int32_t sourceLength,
             std::int32_t& destLength) {
  const char* routine = call == ZlibCall::Compress ? "WCompress" : "WUnCompress";
  // Lengths beyond the buffers would let zlib read or write past them: they
  // are cut to the buffers' sizes; a negative length counts as 0.
  const uLong srcLen = static_cast<uLong>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max(sourceLength, 0)), sourceSize));
  uLongf dstLen = static_cast<uLongf>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max(destLength, 0)), destSize));
  // zlib refuses null pointers even for empty buffers.
  static std::uint8_t none = 0;
  const int rc = call == ZlibCall::Compress
                     ? compress(dest ? dest : &none, &dstLen, source ? source : &none, srcLen)
                     : uncompress(dest ? dest : &none, &dstLen, source ? source : &none, srcLen);
  if (rc == Z_OK) {
    destLength = static_cast<std::int32_t>(dstLen);
    return;
  }
  ErrorState().secondaryStatus = rc;
  ReportLibraryError(kErrZlib, routine);
  destLength = 0;
}

}  // namespace

void WCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest,
               std::int32_t sourceLength, std::int32_t& destLength) {
  RunZlib(ZlibCall::Compress, source.data(), source.size(), dest.data(), dest.size(),
          sourceLength, destLength);
}
void WCompress(std::span<const std::byte> source, std::span<std::byte> dest,
               std::int32_t sourceLength, std::int32_t& destLength) {
  RunZlib(ZlibCall::Compress, reinterpret_cast<const std::uint8_t*>(source.data()), source.size(),
          reinterpret_cast<std::uint8_t*>(dest.data()), dest.size(), sourceLength, destLength);
}
void WUnCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest,
                 std::int32_t sourceLength, std::int32_t& destLength) {
  RunZlib(ZlibCall::Uncompress, source.data(), source.size(), dest.data(), dest.size(),
          sourceLength, destLength);
}
void WUnCompress(std::span<const std::byte> source, std::span<std::byte> dest,
                 std::int32_t sourceLength, std::int32_t& destLength) {
  RunZlib(ZlibCall::Uncompress, reinterpret_cast<const std::uint8_t*>(source.data()),
          source.size(), reinterpret_cast<std::uint8_t*>(dest.data()), dest.size(), sourceLength,
          destLength);
}

std::uint32_t PngReadUInt32(std::span<const std::uint8_t, 4> bytes) {
  return plat::LoadBE32(bytes.data());
}
void PngStoreUInt32(const std::uint32_t& value, std::span<std::uint8_t, 4> bytes) {
  plat::StoreBE32(value, bytes.data());
}
void StoreUInt32BE(std::uint32_t value, std::span<std::uint8_t, 4> bytes) {
  plat::StoreBE32(value, bytes.data());
}

int PngChunkTypeIs(std::span<const std::uint8_t, 4> bytes, std::string_view name) {
  if (name.size() < 4) return 0;
  for (int i = 0; i < 4; ++i)
    if (bytes[i] != static_cast<std::uint8_t>(name[i])) return 0;
  return 1;
}

std::uint32_t PngCrc32(std::span<const std::uint8_t> bytes, std::int64_t count) {
  const std::size_t n = static_cast<std::size_t>(
      std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(bytes.size())));
  return plat::PngCrc(bytes.first(n));
}

void PngChunkCrc(std::int64_t count, std::uint32_t& crc, std::span<const std::uint8_t> bytes) {
  crc = PngCrc32(bytes, count);
}

void PngUnfilterRows(std::span<std::uint8_t> buffer, std::int64_t stride, std::int64_t rows,
                     std::int64_t bytesPerPixel) {
  if (stride <= 0 || rows <= 0 || bytesPerPixel <= 0) return;
  plat::PngUnfilterInPlace(buffer, static_cast<std::size_t>(stride),
                           static_cast<std::size_t>(rows),
                           static_cast<std::size_t>(bytesPerPixel));
}

void PngUnfilter(std::int64_t stride, std::int64_t rows, std::int64_t bytesPerPixel,
                 std::span<std::uint8_t> buffer) {
  PngUnfilterRows(buffer, stride, rows, bytesPerPixel);
}

}  // namespace tk
