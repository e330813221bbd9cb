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

inline std::uint32_t Swap(std::uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
}

}  // namespace

std::uint32_t IeeeToIbmBits(std::uint32_t ieee) {
  // m carries the hidden bit whatever the exponent; with e = E - 126 the
  // magnitude is (m / 2^24) * 2^e. Raising e to a multiple of 4 shifts m right
  // by 0-3 places (truncation toward zero, never rounding). Worked in
  // unsigned arithmetic: the IBM exponent (e + shift) / 4 + 64 is
  // (E + 130 + shift) / 4, and shift = -e mod 4 = (2 - E) mod 4.
  const std::uint32_t m = (ieee & 0x007FFFFFu) | 0x00800000u;
  const std::uint32_t biased = (ieee >> 23) & 0xFFu;
  const std::uint32_t shift = (2u - biased) & 3u;
  const std::uint32_t x = (biased + 130u + shift) >> 2;
  const std::uint32_t ibm = (ieee & kSign) | (x << 24) | (m >> shift);
  return ieee == 0 ? 0 : ibm;
}

std::uint32_t IbmToIeeeBits(std::uint32_t ibm) {
  // The 24-bit fraction converts to a single exactly; its exponent field is
  // then 127 + the place of the fraction's leading bit, and its mantissa field
  // is the fraction normalised. This is the normalising shift loop without a
  // loop, free of branches so that whole traces vectorise.
  const std::uint32_t m = ibm & 0x00FFFFFFu;
  const float asReal = static_cast<float>(static_cast<std::int32_t>(m));
  std::uint32_t normalised;
  std::memcpy(&normalised, &asReal, 4);
  const std::int32_t e = static_cast<std::int32_t>(normalised >> 23) +
                         4 * static_cast<std::int32_t>((ibm >> 24) & 0x7Fu) - 280;
  const std::uint32_t sign = ibm & kSign;
  const std::uint32_t inRange =
      sign | (static_cast<std::uint32_t>(e) << 23) | (normalised & 0x007FFFFFu);
  const std::uint32_t result = e > 254 ? (sign | 0x7F7FFFFFu) : inRange;
  return (e < 1 || m == 0) ? 0 : result;
}

namespace {

// The loops below are written once over raw words, with the byte order fixed
// at compile time, so that each is a straight pass the compiler can vectorise.
// File buffers need not be aligned to 4 bytes: words are read and written
// through an unaligned, aliasing-safe view.
using UnalignedWord = std::uint32_t __attribute__((aligned(1), may_alias));

enum class Direction { IbmToIeee, IeeeToIbm };

template <Direction D, bool Reverse>
void ConvertWords(const void* source, void* destination, std::size_t n) {
  const auto* src = static_cast<const UnalignedWord*>(source);
  auto* dst = static_cast<UnalignedWord*>(destination);
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t w = src[i];
    if constexpr (D == Direction::IbmToIeee) {
      if constexpr (Reverse) w = Swap(w);
      dst[i] = IbmToIeeeBits(w);
    } else {
      w = IeeeToIbmBits(w);
      if constexpr (Reverse) w = Swap(w);
      dst[i] = w;
    }
  }
}

/// Flag 0: the IBM words are byte-reversed relative to this machine.
template <Direction D>
void Convert(const void* source, void* destination, std::size_t n, int byteOrderFlag) {
  if (byteOrderFlag == 0) {
    ConvertWords<D, true>(source, destination, n);
  } else {
    ConvertWords<D, false>(source, destination, n);
  }
}

}  // namespace

void IeeeToIbmFloat(std::span<const float> source, std::span<std::uint32_t> destination, int count,
                    int byteOrderFlag) {
  Convert<Direction::IeeeToIbm>(source.data(), destination.data(),
                                Elements(count, source.size(), destination.size()), byteOrderFlag);
}

void IbmToIeeeFloat(std::span<const std::uint32_t> source, std::span<float> destination, int count,
                    int byteOrderFlag) {
  Convert<Direction::IbmToIeee>(source.data(), destination.data(),
                                Elements(count, source.size(), destination.size()), byteOrderFlag);
}

void IbmBytesToIeeeFloat(std::span<const std::byte> source, std::span<float> destination, int count,
                         int byteOrderFlag) {
  Convert<Direction::IbmToIeee>(source.data(), destination.data(),
                                Elements(count, source.size() / 4, destination.size()),
                                byteOrderFlag);
}

void IeeeToIbmBytes(std::span<const float> source, std::span<std::byte> destination, int count,
                    int byteOrderFlag) {
  Convert<Direction::IeeeToIbm>(source.data(), destination.data(),
                                Elements(count, source.size(), destination.size() / 4),
                                byteOrderFlag);
}

}  // namespace vel
