#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>

#include "support/ByteOrder.h"

namespace {

TEST(ByteOrder, F4SwapReversesFourBytesAndTwiceRestores) {
  std::array<std::uint32_t, 3> words{0x01020304u, 0xA0B0C0D0u, 0x11223344u};
  sup::I4SWAP(std::span<std::uint32_t>(words), 2);
  EXPECT_EQ(words[0], 0x04030201u);
  EXPECT_EQ(words[1], 0xD0C0B0A0u);
  EXPECT_EQ(words[2], 0x11223344u);  // beyond N

  std::array<float, 4> reals{1.0f, -2.5f, 0.0f, 3e30f};
  const auto before = reals;
  sup::F4SWAP(std::span<float>(reals), 4);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(reals[0]), 0x0000803Fu);
  sup::F4SWAP(std::span<float>(reals), 4);
  EXPECT_EQ(reals, before);
}

TEST(ByteOrder, CountsOutsideTheArrayAreHarmless) {
  std::array<std::int16_t, 2> halves{0x0102, 0x0304};
  sup::I2SWAP(std::span<std::int16_t>(halves), 0);
  sup::I2SWAP(std::span<std::int16_t>(halves), -3);
  EXPECT_EQ(halves[0], 0x0102);
  sup::I2SWAP(std::span<std::int16_t>(halves), 100);  // never past the array
  EXPECT_EQ(halves[0], 0x0201);
  EXPECT_EQ(halves[1], 0x0403);
  std::array<std::int32_t, 1> one{0x7F000000};
  sup::F4SWAP(std::span<std::int32_t>(one), 5);
  EXPECT_EQ(one[0], 0x7F);
}

TEST(ByteOrder, SplitNibbles) {
  struct Case {
    std::uint8_t b0, b1;
    int expected[4];
  };
  const Case cases[] = {
      {0x7F, 0x80, {-1, 7, 0, -8}},
      {0x00, 0xFF, {0, 0, -1, -1}},
      {0x18, 0x29, {-8, 1, -7, 2}},
  };
  for (const Case& c : cases) {
    const std::uint8_t b[2] = {c.b0, c.b1};
    int out[4] = {};
    sup::SPLEXP(b, out);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], c.expected[i]) << i;
  }
}

TEST(ByteOrder, LoadAndStoreInBothOrders) {
  const std::array<std::byte, 8> bytes{std::byte{1}, std::byte{2}, std::byte{3}, std::byte{4},
                                       std::byte{5}, std::byte{6}, std::byte{7}, std::byte{8}};
  EXPECT_EQ(sup::LoadU16(bytes.data(), sup::ByteOrder::Big), 0x0102);
  EXPECT_EQ(sup::LoadU16(bytes.data(), sup::ByteOrder::Little), 0x0201);
  EXPECT_EQ(sup::LoadU32(bytes.data(), sup::ByteOrder::Big), 0x01020304u);
  EXPECT_EQ(sup::LoadU32(bytes.data(), sup::ByteOrder::Little), 0x04030201u);
  EXPECT_EQ(sup::LoadU64(bytes.data(), sup::ByteOrder::Big), 0x0102030405060708ull);
  std::array<std::byte, 8> out{};
  sup::StoreU32(out.data(), 0x01020304u, sup::ByteOrder::Big);
  sup::StoreU32(out.data() + 4, 0x08070605u, sup::ByteOrder::Little);
  EXPECT_EQ(out, bytes);
}

}  // namespace
