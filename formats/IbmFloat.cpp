#include "formats/IbmFloat.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vel {
namespace {

constexpr std::uint32_t kSign = 0x80000000u;

std::size_t Elements(int count, std::size_t a, std::size_t b) {
  if (count <= 0) return 0;
  return std::min({static_cast<std::size_t>(count), a, b});
}

inline std::uint32_t Swap(std::uint32_t v) { return __builtin_bswap32(v); }

}  // namespace

std::uint32_t IeeeToIbmBits(std::uint32_t ieee) {
  if (ieee == 0) return 0;
  std::uint32_t m = (ieee & 0x007FFFFFu) | 0x00800000u;  // hidden bit, whatever E is
  // e = E - 126, so that |x| = (m / 2^24) * 2^e; raised to a multiple of 4 by
  // shifting m right (truncation toward zero).
  int e = static_cast<int>((ieee >> 23) & 0xFF) - 126;
  const int shift = e & 3 ? 4 - (e & 3) : 0;
  m >>= shift;
  e += shift;
  const std::uint32_t x = static_cast<std::uint32_t>(e / 4 + 64);
  return (ieee & kSign) | (x << 24) | m;
}

std::uint32_t IbmToIeeeBits(std::uint32_t ibm) {
  std::uint32_t m = ibm & 0x00FFFFFFu;
  if (m == 0) return 0;
  int e = 4 * static_cast<int>((ibm >> 24) & 0x7F) - 130;
  // Normalise: at most 23 shifts, since m is not zero.
  const int lead = std::countl_zero(m) - 8;
  m <<= lead;
  e -= lead;
  if (e > 254) return (ibm & kSign) | 0x7F7FFFFFu;
  if (e < 1) return 0;
  return (ibm & kSign) | (static_cast<std::uint32_t>(e) << 23) | (m & 0x007FFFFFu);
}

void IeeeToIbmFloat(std::span<const float> source, std::span<std::uint32_t> destination,
                    int count, int byteOrderFlag) {
  const std::size_t n = Elements(count, source.size(), destination.size());
  const bool reverse = byteOrderFlag == 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t ibm = IeeeToIbmBits(std::bit_cast<std::uint32_t>(source[i]));
    destination[i] = reverse ? Swap(ibm) : ibm;
  }
}

void IbmToIeeeFloat(std::span<const std::uint32_t> source, std::span<float> destination,
                    int count, int byteOrderFlag) {
  const std::size_t n = Elements(count, source.size(), destination.size());
  const bool reverse = byteOrderFlag == 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t w = reverse ? Swap(source[i]) : source[i];
    destination[i] = std::bit_cast<float>(IbmToIeeeBits(w));
  }
}

void IbmBytesToIeeeFloat(std::span<const std::byte> source, std::span<float> destination,
                         int count, int byteOrderFlag) {
  const std::size_t n = Elements(count, source.size() / 4, destination.size());
  const bool reverse = byteOrderFlag == 0;
  const std::byte* p = source.data();
  for (std::size_t i = 0; i < n; ++i, p += 4) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    if (reverse) w = Swap(w);
    destination[i] = std::bit_cast<float>(IbmToIeeeBits(w));
  }
}

void IeeeToIbmBytes(std::span<const float> source, std::span<std::byte> destination, int count,
                    int byteOrderFlag) {
  const std::size_t n = Elements(count, source.size(), destination.size() / 4);
  const bool reverse = byteOrderFlag == 0;
  std::byte* p = destination.data();
  for (std::size_t i = 0; i < n; ++i, p += 4) {
    std::uint32_t w = IeeeToIbmBits(std::bit_cast<std::uint32_t>(source[i]));
    if (reverse) w = Swap(w);
    std::memcpy(p, &w, 4);
  }
}

}  // namespace vel
