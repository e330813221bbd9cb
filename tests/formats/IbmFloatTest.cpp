#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "formats/IbmFloat.h"
#include "support/ByteReader.h"
#include "tests/TestSupport.h"

namespace {

std::uint32_t Bits(float f) {
  return std::bit_cast<std::uint32_t>(f);
}

TEST(IbmFloat, IeeeToIbmCases) {
  struct Case {
    std::uint32_t ieee, ibm;
  };
  const Case cases[] = {
      {0x3F800000u, 0x41100000u},  // 1.0
      {0xC2ED4000u, 0xC276A000u},  // -118.625
      {0x3DCCCCCDu, 0x40199999u},  // 0.1, truncated
      {0x80000000u, 0xA1200000u},  // -0.0 is not all zero: -2^-127
      {0x7F800000u, 0x61100000u},  // +infinity: 2^128
      {0x7F7FFFFFu, 0x60FFFFFFu},  // largest single, exactly
      {0x00000000u, 0x00000000u},
      {0x00000001u, 0x21200000u},  // subnormal, as if it had the hidden bit
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vel::IeeeToIbmBits(c.ieee), c.ibm) << std::hex << c.ieee;
  }
}

TEST(IbmFloat, IbmToIeeeCases) {
  struct Case {
    std::uint32_t ibm, ieee;
  };
  const Case cases[] = {
      {0x41100000u, 0x3F800000u}, {0xC276A000u, 0xC2ED4000u}, {0x40199999u, 0x3DCCCCC8u},
      {0x7FFFFFFFu, 0x7F7FFFFFu}, {0xFFFFFFFFu, 0xFF7FFFFFu}, {0x80000000u, 0x00000000u},
      {0x42000000u, 0x00000000u}, {0x00100000u, 0x00000000u}, {0x80100000u, 0x00000000u},
      {0x41010000u, 0x3D800000u},  // unnormalised: 1/16
      {0x00000000u, 0x00000000u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vel::IbmToIeeeBits(c.ibm), c.ieee) << std::hex << c.ibm;
  }
}

// A slow reference: the IBM value worked out in double, which holds every
// IBM word exactly, then the range rules.
std::uint32_t ReferenceIbmToIeee(std::uint32_t w) {
  const std::uint32_t m = w & 0xFFFFFFu;
  if (m == 0) return 0;
  const double magnitude =
      std::ldexp(static_cast<double>(m), 4 * static_cast<int>((w >> 24) & 0x7F) - 64 * 4 - 24);
  if (magnitude > std::numeric_limits<float>::max()) return (w & 0x80000000u) | 0x7F7FFFFFu;
  if (magnitude < std::numeric_limits<float>::min()) return 0;
  const float f = static_cast<float>(magnitude);
  return (w & 0x80000000u) | Bits(f);
}

TEST(IbmFloat, MatchesTheReferenceOnRandomWords) {
  std::mt19937 rng(1234);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t w = rng();
    ASSERT_EQ(vel::IbmToIeeeBits(w), ReferenceIbmToIeee(w)) << std::hex << w;
  }
}

TEST(IbmFloat, IeeeToIbmToIeeeLosesAtMostTheTruncatedBits) {
  std::mt19937 rng(99);
  std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
  std::uniform_int_distribution<int> exponent(-120, 120);
  for (int i = 0; i < 100000; ++i) {
    const float v = std::ldexp(mantissa(rng), exponent(rng));
    if (std::fabs(v) < 1e-37f) continue;  // subnormals take the hidden bit: not a round trip
    const float back = std::bit_cast<float>(vel::IbmToIeeeBits(vel::IeeeToIbmBits(Bits(v))));
    ASSERT_EQ(Bits(back) & 0x80000000u, Bits(v) & 0x80000000u);
    ASSERT_LE(std::fabs(back), std::fabs(v));
    ASSERT_LE(Bits(v) - Bits(back), 7u) << v;  // up to three low bits truncated
  }
}

TEST(IbmFloat, ArraysWithByteOrderAndCounts) {
  const std::array<float, 3> reals{1.0f, -118.625f, 0.0f};
  std::array<std::uint32_t, 3> ibm{};
  vel::IeeeToIbmFloat(reals, ibm, 3, 0);
  std::array<unsigned char, 4> first{};
  std::memcpy(first.data(), &ibm[0], 4);
  EXPECT_EQ(first, (std::array<unsigned char, 4>{0x41, 0x10, 0x00, 0x00}));
  std::array<float, 3> back{9, 9, 9};
  vel::IbmToIeeeFloat(ibm, back, 3, 0);
  EXPECT_EQ(back, reals);
  vel::IeeeToIbmFloat(reals, ibm, 3, 1);
  EXPECT_EQ(ibm[0], 0x41100000u);

  std::array<float, 3> untouched{7, 7, 7};
  vel::IbmToIeeeFloat(ibm, untouched, 0, 1);
  vel::IbmToIeeeFloat(ibm, untouched, -4, 1);
  EXPECT_EQ(untouched, (std::array<float, 3>{7, 7, 7}));
  vel::IbmToIeeeFloat(std::span<const std::uint32_t>(ibm).first(1), untouched, 3, 1);
  EXPECT_EQ(untouched, (std::array<float, 3>{1, 7, 7}));  // never past the source

  std::array<std::byte, 12> bytes{};
  vel::IeeeToIbmBytes(reals, bytes, 3, 0);
  std::array<float, 3> fromBytes{};
  vel::IbmBytesToIeeeFloat(bytes, fromBytes, 3, 0);
  EXPECT_EQ(fromBytes, reals);
  vel::IbmBytesToIeeeFloat(std::span<const std::byte>(bytes).first(7), fromBytes, 3, 0);
}

// --- Public SEG-Y samples ----------------------------------------------------

/// The float32 little-endian samples of a .npy file (header, then raw data).
bool ReadNpyFloats(const std::filesystem::path& path, std::vector<float>& out) {
  const std::string bytes = testing_support::ReadFile(path);
  const auto data = std::as_bytes(std::span<const char>(bytes));
  sup::ByteReader r(data, sup::ByteOrder::Little);
  if (r.Text(6) != "\x93NUMPY") return false;
  const int major = r.U8();
  r.Skip(1);
  const std::size_t headerLength = major == 1 ? r.U16() : r.U32();
  const std::string header = r.Text(headerLength);
  if (!r.Ok() || header.find("'<f4'") == std::string::npos) return false;
  const std::size_t count = r.Remaining() / 4;
  out.resize(count);
  for (float& v : out) v = r.F32();
  return r.Ok();
}

TEST(IbmFloat, BitExactOnPublicSegySamples) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto folder = testing_support::SharedData() / "obspy" / "segy";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no SEG-Y samples";
  struct Case {
    const char* file;
    sup::ByteOrder order;
  };
  const Case cases[] = {
      {"ld0042_file_00018.sgy_first_trace", sup::ByteOrder::Big},
      {"00001034.sgy_first_trace", sup::ByteOrder::Little},
      {"planes.segy_first_trace", sup::ByteOrder::Little},
  };
  constexpr std::size_t kTraceData = 3600 + 240;  // text + binary header, one trace header
  constexpr std::size_t kFormatCode = 3224;       // SEG-Y binary header bytes 3225-3226
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<float> expected;
    ASSERT_TRUE(ReadNpyFloats(folder / (std::string(c.file) + ".npy"), expected));
    const std::string bytes = testing_support::ReadFile(folder / c.file);
    const auto data = std::as_bytes(std::span<const char>(bytes));
    sup::ByteReader r(data, c.order);
    r.Seek(kFormatCode);
    ASSERT_EQ(r.U16(), 1) << "not IBM floating point";
    r.Seek(kTraceData);
    const auto samples = r.View(expected.size() * 4);
    ASSERT_TRUE(r.Ok());
    std::vector<float> got(expected.size());
    const int flag = c.order == sup::ByteOrder::Big ? 0 : 1;  // 0: bytes reversed on this machine
    vel::IbmBytesToIeeeFloat(samples, got, static_cast<int>(got.size()), flag);
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
      if (Bits(got[i]) != Bits(expected[i]) && mismatches++ < 5) {
        ADD_FAILURE() << "sample " << i << ": " << got[i] << " != " << expected[i];
      }
    }
    EXPECT_EQ(mismatches, 0u);
  }
}

}  // namespace
