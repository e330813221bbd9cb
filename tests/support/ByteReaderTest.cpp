#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/ByteReader.h"

namespace {

using sup::ByteOrder;
using sup::ByteReader;
using sup::ByteWriter;

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
  std::vector<std::byte> out;
  for (int v : values) out.push_back(static_cast<std::byte>(v));
  return out;
}

TEST(ByteReader, ReadsInTheGivenOrder) {
  const auto data = Bytes({0x3A, 0x55, 0x00, 0x01, 0x3F, 0x80, 0x00, 0x00, 0xFF, 0xFE});
  ByteReader le(data, ByteOrder::Little);
  EXPECT_EQ(le.U16(), 0x553A);
  ByteReader be(data, ByteOrder::Big);
  EXPECT_EQ(be.U16(), 0x3A55);
  EXPECT_EQ(be.U16(), 1);
  EXPECT_EQ(be.F32(), 1.0f);
  EXPECT_EQ(be.I16(), -2);
  EXPECT_TRUE(be.Ok());
  EXPECT_EQ(be.Offset(), 10u);
  EXPECT_EQ(be.Remaining(), 0u);
}

TEST(ByteReader, ReadsPastTheEndGiveZeroAndStickyFailure) {
  const auto data = Bytes({1, 2, 3});
  ByteReader r(data, ByteOrder::Little);
  EXPECT_EQ(r.U16(), 0x0201);
  EXPECT_EQ(r.U32(), 0u);  // only one byte left
  EXPECT_FALSE(r.Ok());
  EXPECT_EQ(r.Offset(), 2u);
  EXPECT_EQ(r.U8(), 0);  // sticky: even a read that would fit now fails
  EXPECT_FALSE(r.Ok());
  std::array<std::byte, 2> out{std::byte{9}, std::byte{9}};
  r.Bytes(out);
  EXPECT_EQ(out[0], std::byte{0});
  EXPECT_EQ(r.Text(1), "");
}

TEST(ByteReader, SeekSkipAndViews) {
  const auto data = Bytes({'A', 'B', 'C', 'D', 'E'});
  ByteReader r(data, ByteOrder::Big);
  r.Skip(1);
  EXPECT_EQ(r.Text(2), "BC");
  r.Seek(4);
  EXPECT_EQ(r.View(1).size(), 1u);
  r.Seek(5);
  EXPECT_TRUE(r.Ok());
  r.Seek(6);
  EXPECT_FALSE(r.Ok());
  ByteReader huge(data, ByteOrder::Big);
  huge.Skip(static_cast<std::size_t>(-1));  // no wrap-around
  EXPECT_FALSE(huge.Ok());
}

TEST(ByteWriter, WritesAndRefusesPastTheEnd) {
  std::array<std::byte, 12> buf{};
  ByteWriter w(buf, ByteOrder::Big);
  w.U16(0x3A55);
  w.F32(1.0f);
  w.Text("AB", 4);
  EXPECT_TRUE(w.Ok());
  w.U32(7);  // 2 bytes left
  EXPECT_FALSE(w.Ok());
  w.U8(1);
  EXPECT_EQ(w.Offset(), 10u);
  EXPECT_EQ(buf[0], std::byte{0x3A});
  EXPECT_EQ(buf[2], std::byte{0x3F});
  EXPECT_EQ(buf[6], std::byte{'A'});
  EXPECT_EQ(buf[9], std::byte{' '});
  EXPECT_EQ(buf[10], std::byte{0});
}

TEST(ByteWriter, RoundTripThroughTheReaderInBothOrders) {
  for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
    std::array<std::byte, 27> buf{};
    ByteWriter w(buf, order);
    w.I8(-5);
    w.I16(-300);
    w.I32(-70000);
    w.U64(0x0102030405060708ull);
    w.F64(-2.5);
    w.Zeros(2);
    ASSERT_TRUE(w.Ok());
    ByteReader r(buf, order);
    EXPECT_EQ(r.I8(), -5);
    EXPECT_EQ(r.I16(), -300);
    EXPECT_EQ(r.I32(), -70000);
    EXPECT_EQ(r.U64(), 0x0102030405060708ull);
    EXPECT_EQ(r.F64(), -2.5);
    EXPECT_EQ(r.U16(), 0);
    EXPECT_TRUE(r.Ok());
  }
}

}  // namespace
