#include "support/ByteOrder.h"

namespace sup {

void SwapBytes4(std::span<std::byte> bytes) {
  const std::size_t n = bytes.size() / 4;
  std::byte* p = bytes.data();
  for (std::size_t i = 0; i < n; ++i, p += 4) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    v = ByteSwap32(v);
    std::memcpy(p, &v, 4);
  }
}

void SwapBytes2(std::span<std::byte> bytes) {
  const std::size_t n = bytes.size() / 2;
  std::byte* p = bytes.data();
  for (std::size_t i = 0; i < n; ++i, p += 2) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    v = ByteSwap16(v);
    std::memcpy(p, &v, 2);
  }
}

namespace {
int SignedNibble(unsigned v) {
  v &= 0xF;
  return v >= 8 ? static_cast<int>(v) - 16 : static_cast<int>(v);
}
}  // namespace

void SPLEXP(const std::uint8_t (&B)[2], int (&I4)[4]) {
  I4[0] = SignedNibble(B[0]);
  I4[1] = SignedNibble(B[0] >> 4);
  I4[2] = SignedNibble(B[1]);
  I4[3] = SignedNibble(B[1] >> 4);
}

}  // namespace sup
