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
  const std::uint32_t normalised = std::bit_cast<std::uint32_t>(asReal);
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
inline std::uint32_t ConvertWord(std::uint32_t w) {
  if constexpr (D == Direction::IbmToIeee) {
    if constexpr (Reverse) w = Swap(w);
    return IbmToIeeeBits(w);
  } else {
    w = IeeeToIbmBits(w);
    if constexpr (Reverse) w = Swap(w);
    return w;
  }
}

// Four words at a time in the compiler's vector types: the same steps as
// IbmToIeeeBits with the byte swap spelt out in shifts (a swap the compiler
// recognises becomes a scalar instruction and stops vectorisation).
using U4 = std::uint32_t __attribute__((vector_size(16)));
using I4 = std::int32_t __attribute__((vector_size(16)));
using F4 = float __attribute__((vector_size(16)));

inline U4 Swap4(U4 v) {
  const U4 y = ((v & 0x00FF00FFu) << 8) | ((v >> 8) & 0x00FF00FFu);
  return (y << 16) | (y >> 16);
}

inline U4 IbmToIeee4(U4 ibm) {
  const U4 m = ibm & 0x00FFFFFFu;
  const U4 normalised = reinterpret_cast<U4>(__builtin_convertvector(reinterpret_cast<I4>(m), F4));
  const I4 e = reinterpret_cast<I4>(normalised >> 23) +
               (reinterpret_cast<I4>((ibm >> 24) & 0x7Fu) << 2) - 280;
  const U4 sign = ibm & kSign;
  const U4 inRange = sign | (reinterpret_cast<U4>(e) << 23) | (normalised & 0x007FFFFFu);
  const U4 over = reinterpret_cast<U4>(e > 254);
  const U4 result = (over & (sign | 0x7F7FFFFFu)) | (~over & inRange);
  const U4 zero = reinterpret_cast<U4>(e < 1) | reinterpret_cast<U4>(m == 0u);
  return ~zero & result;
}

template <Direction D, bool Reverse>
void ConvertWords(const void* source, void* destination, std::size_t n) {
  const auto* src = static_cast<const UnalignedWord*>(source);
  auto* dst = static_cast<UnalignedWord*>(destination);
  std::size_t i = 0;
  if constexpr (D == Direction::IbmToIeee) {
    for (; i + 4 <= n; i += 4) {
      U4 w;
      std::memcpy(&w, src + i, sizeof w);
      if constexpr (Reverse) w = Swap4(w);
      w = IbmToIeee4(w);
      std::memcpy(dst + i, &w, sizeof w);
    }
  }
  for (; i < n; ++i) dst[i] = ConvertWord<D, Reverse>(src[i]);
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
