#include "platform/draw/PngBytes.h"

#include <array>
#include <cstdlib>

namespace plat {

namespace {

// The table is a compile-time constant, so no first-call guard is needed.
constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

int Paeth(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

}  // namespace

std::uint32_t PngCrcMore(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
  std::uint32_t reg = ~crc;
  for (const std::uint8_t b : bytes) reg = (reg >> 8) ^ kCrcTable[(reg ^ b) & 0xFF];
  return ~reg;
}

std::uint32_t PngCrc(std::span<const std::uint8_t> bytes) { return PngCrcMore(0, bytes); }

void PngUnfilterInPlace(std::span<std::uint8_t> buffer, std::size_t stride, std::size_t rows,
                        std::size_t bpp) {
  if (stride < 2 || bpp == 0) return;
  if (rows > buffer.size() / stride) rows = buffer.size() / stride;
  const std::size_t n = stride - 1;
  for (std::size_t r = 0; r < rows; ++r) {
    std::uint8_t* row = buffer.data() + r * stride;
    std::uint8_t* d = row + 1;
    const std::uint8_t* up = r > 0 ? row - stride + 1 : nullptr;
    switch (row[0]) {
      case 1:
        for (std::size_t k = bpp; k < n; ++k) d[k] = static_cast<std::uint8_t>(d[k] + d[k - bpp]);
        break;
      case 2:
        if (up)
          for (std::size_t k = 0; k < n; ++k) d[k] = static_cast<std::uint8_t>(d[k] + up[k]);
        break;
      case 3:
        for (std::size_t k = 0; k < n; ++k) {
          const int left = k >= bpp ? d[k - bpp] : 0, above = up ? up[k] : 0;
          d[k] = static_cast<std::uint8_t>(d[k] + (left + above) / 2);
        }
        break;
      case 4:
        for (std::size_t k = 0; k < n; ++k) {
          const int left = k >= bpp ? d[k - bpp] : 0, above = up ? up[k] : 0;
          const int corner = (up && k >= bpp) ? up[k - bpp] : 0;
          d[k] = static_cast<std::uint8_t>(d[k] + Paeth(left, above, corner));
        }
        break;
      default:  // 0 None, or a type this format does not define: left as it is
        break;
    }
  }
}

bool PngFilterTypesKnown(std::span<const std::uint8_t> buffer, std::size_t stride,
                         std::size_t rows) {
  for (std::size_t r = 0; r < rows && r * stride < buffer.size(); ++r)
    if (buffer[r * stride] > 4) return false;
  return true;
}

}  // namespace plat
