// PNG helpers: CRC, big-endian fields, chunk types, unfiltering, compression.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/PngHelpers.h"

namespace tk::testing {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

TEST(PngHelpersTest, CrcOfIendAndOfNothing) {
  const auto iend = Bytes("IEND");
  EXPECT_EQ(PngCrc32(iend, 4), 0xAE426082u);
  EXPECT_EQ(PngCrc32(iend, 0), 0u);
  std::uint32_t crc = 1;
  PngChunkCrc(4, crc, iend);
  EXPECT_EQ(crc, 0xAE426082u);
  // The check value of the CRC-32 standard, and a count beyond the bytes.
  EXPECT_EQ(PngCrc32(Bytes("123456789"), 9), 0xCBF43926u);
  EXPECT_EQ(PngCrc32(iend, 99), 0xAE426082u);
}

TEST(PngHelpersTest, BigEndianFieldsAndChunkTypes) {
  std::array<std::uint8_t, 4> b{};
  StoreUInt32BE(0x01020304u, b);
  EXPECT_EQ(b, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
  PngStoreUInt32(0xFFFEFDFCu, b);
  EXPECT_EQ(PngReadUInt32(b), 0xFFFEFDFCu);
  const std::array<std::uint8_t, 4> idat{'I', 'D', 'A', 'T'};
  EXPECT_EQ(PngChunkTypeIs(idat, "IDAT"), 1);
  EXPECT_EQ(PngChunkTypeIs(idat, "IDAt"), 0);
  const std::array<std::uint8_t, 4> high{0xC9, 'D', 'A', 'T'};
  EXPECT_EQ(PngChunkTypeIs(high, "IDAT"), 0);
}

struct UnfilterCase {
  const char* name;
  std::vector<std::uint8_t> in;  // rows of stride 4 (filter byte + 3 data bytes)
  std::size_t bpp;
  std::vector<std::uint8_t> out;
};

TEST(PngHelpersTest, UnfilterTable) {
  const std::vector<UnfilterCase> cases = {
      {"none row 1", {0, 10, 20, 30}, 1, {0, 10, 20, 30}},
      {"sub row 1", {1, 10, 20, 30}, 1, {1, 10, 30, 60}},
      {"sub bpp 2", {1, 10, 20, 30}, 2, {1, 10, 20, 40}},
      {"up row 1 unchanged", {2, 10, 20, 30}, 1, {2, 10, 20, 30}},
      {"average row 1 adds half the left", {3, 10, 20, 30}, 1, {3, 10, 25, 42}},
      {"paeth row 1 adds the left", {4, 10, 20, 30}, 1, {4, 10, 30, 60}},
      {"unknown type untouched", {7, 10, 20, 30}, 1, {7, 10, 20, 30}},
      {"up row 2", {0, 1, 2, 3, 2, 10, 20, 250}, 1, {0, 1, 2, 3, 2, 11, 22, 253}},
      {"sub wraps", {1, 200, 100, 0}, 1, {1, 200, 44, 44}},
      {"average row 2", {0, 10, 20, 30, 3, 1, 1, 1}, 1, {0, 10, 20, 30, 3, 6, 14, 23}},
      // Paeth row 2: k=0 a=0,b=10,c=0 -> b; k=1 a=11,b=20,c=10 -> p=21: pa=10,pb=1,pc=11 -> b
      {"paeth row 2", {0, 10, 20, 30, 4, 1, 1, 1}, 1, {0, 10, 20, 30, 4, 11, 21, 31}},
      // Row 2 reads row 1 as already unfiltered.
      {"row 2 sees row 1 unfiltered", {1, 1, 1, 1, 2, 0, 0, 0}, 1, {1, 1, 2, 3, 2, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> buf = c.in;
    PngUnfilter(4, static_cast<std::int64_t>(buf.size() / 4), static_cast<std::int64_t>(c.bpp),
                buf);
    EXPECT_EQ(buf, c.out) << c.name;
  }
  // Rows beyond the buffer are not touched (nor read).
  std::vector<std::uint8_t> shortBuf{1, 5, 5, 5, 1, 5};
  PngUnfilterRows(shortBuf, 4, 9, 1);
  EXPECT_EQ(shortBuf, (std::vector<std::uint8_t>{1, 5, 10, 15, 1, 5}));
}

TEST(PngHelpersTest, CompressionRoundTripsAndFailsOnSmallDestination) {
  ResetErrorState();
  std::vector<std::uint8_t> data(5000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 % 251);
  std::vector<std::uint8_t> packed(6000), back(5000);
  std::int32_t n = 6000;
  WCompress(data, packed, 5000, n);
  ASSERT_GT(n, 0);
  std::int32_t m = 5000;
  WUnCompress(std::span<const std::uint8_t>(packed), back, n, m);
  EXPECT_EQ(m, 5000);
  EXPECT_EQ(back, data);
  EXPECT_EQ(WErrorStatusQuery(1), 0);

  std::vector<std::uint8_t> tiny(4);
  std::int32_t t = 4;
  WCompress(data, tiny, 5000, t);
  EXPECT_EQ(t, 0);
  EXPECT_EQ(WErrorStatusQuery(1), kErrZlib);
  EXPECT_EQ(WErrorStatusQuery(3), -5);  // zlib's Z_BUF_ERROR

  // A capacity claimed beyond the destination is cut to it (no write past it).
  std::int32_t claimed = 1 << 20;
  WUnCompress(std::span<const std::uint8_t>(packed), tiny, n, claimed);
  EXPECT_EQ(claimed, 0);
  EXPECT_EQ(WErrorStatusQuery(1), kErrZlib);

  const std::vector<std::byte> junk(8, std::byte{0x55});
  std::vector<std::byte> out(16);
  std::int32_t o = 16;
  WUnCompress(std::span<const std::byte>(junk), out, 8, o);
  EXPECT_EQ(o, 0);
  EXPECT_EQ(BuildErrorReport(kErrZlib, "WUnCompress").find("Zlib") != std::string::npos, true);
}

}  // namespace
}  // namespace tk::testing
