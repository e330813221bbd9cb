#pragma once
// Byte order: the primitives every byte access is built on, and the in-place
// swaps of whole arrays that big-endian formats use.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

namespace sup {

enum class ByteOrder { Little, Big };

/// The order of this machine's words.
constexpr ByteOrder kNativeOrder =
    std::endian::native == std::endian::little ? ByteOrder::Little : ByteOrder::Big;

constexpr std::uint16_t ByteSwap16(std::uint16_t v) {
  return static_cast<std::uint16_t>((v >> 8) | (v << 8));
}
constexpr std::uint32_t ByteSwap32(std::uint32_t v) {
  return __builtin_bswap32(v);
}
constexpr std::uint64_t ByteSwap64(std::uint64_t v) {
  return __builtin_bswap64(v);
}

/// Unsigned integers of 2, 4 and 8 bytes from P in ORDER (no alignment needed).
inline std::uint16_t LoadU16(const std::byte* p, ByteOrder order) {
  std::uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return order == kNativeOrder ? v : ByteSwap16(v);
}
inline std::uint32_t LoadU32(const std::byte* p, ByteOrder order) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return order == kNativeOrder ? v : ByteSwap32(v);
}
inline std::uint64_t LoadU64(const std::byte* p, ByteOrder order) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return order == kNativeOrder ? v : ByteSwap64(v);
}
inline void StoreU16(std::byte* p, std::uint16_t v, ByteOrder order) {
  if (order != kNativeOrder) v = ByteSwap16(v);
  std::memcpy(p, &v, sizeof v);
}
inline void StoreU32(std::byte* p, std::uint32_t v, ByteOrder order) {
  if (order != kNativeOrder) v = ByteSwap32(v);
  std::memcpy(p, &v, sizeof v);
}
inline void StoreU64(std::byte* p, std::uint64_t v, ByteOrder order) {
  if (order != kNativeOrder) v = ByteSwap64(v);
  std::memcpy(p, &v, sizeof v);
}

/// Reverses the bytes of every 4-byte item of BYTES in place (a trailing part
/// item is left alone).
void SwapBytes4(std::span<std::byte> bytes);
/// Exchanges the bytes of every 2-byte item of BYTES in place.
void SwapBytes2(std::span<std::byte> bytes);

/// Plain values of 4 and 2 bytes.
template <class T>
concept Word4 = sizeof(T) == 4 && std::is_trivially_copyable_v<T>;
template <class T>
concept Word2 = sizeof(T) == 2 && std::is_trivially_copyable_v<T>;

/// Reverses the byte order of the first N 4-byte items of A in place: bytes
/// 1 2 3 4 become 4 3 2 1. N of 0 or less does nothing; N is never taken
/// beyond the array.
template <Word4 T>
void F4SWAP(std::span<T> A, int N) {
  if (N <= 0) return;
  const std::size_t n = std::min(static_cast<std::size_t>(N), A.size());
  SwapBytes4(std::as_writable_bytes(A.first(n)));
}

/// Second name of F4SWAP for integer arrays.
template <Word4 T>
void I4SWAP(std::span<T> IA, int N) {
  F4SWAP(IA, N);
}

/// Exchanges the two bytes of each of the first N 2-byte items of I2 in place.
template <Word2 T>
void I2SWAP(std::span<T> I2, int N) {
  if (N <= 0) return;
  const std::size_t n = std::min(static_cast<std::size_t>(N), I2.size());
  SwapBytes2(std::as_writable_bytes(I2.first(n)));
}

/// Splits the two bytes B(1), B(2) into four signed 4-bit values -8..7: low
/// and high nibble of B(1), then of B(2).
void SPLEXP(const std::uint8_t (&B)[2], int (&I4)[4]);

}  // namespace sup
