// The SEG-Y decoders over byte spans: samples of every format in both byte
// orders against a plain reference, the sample range against the scalar
// rule, the byte-order decision of the binary header, and the fuzz entry
// over a seeded corpus of damaged headers and samples.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "formats/IbmFloat.h"
#include "formats/SegyHeaders.h"
#include "formats/SegyIn.h"
#include "support/ByteOrder.h"
#include "support/Numerics.h"
#include "tests/fuzz/SegyDecoders.h"

namespace {

using namespace vel;

// 37 values (not a multiple of any vector width) with both signs, zero and
// the limits of the integer formats.
std::vector<std::int32_t> Values() {
  std::vector<std::int32_t> v;
  for (int k = 0; k < 33; ++k) v.push_back((k % 2 == 0 ? 1 : -1) * k * 977);
  v.insert(v.end(), {32767, -32768, 2147483647, -2147483647 - 1});
  return v;
}

TEST(SegyDecoders, SamplesOfEveryFormatAndByteOrder) {
  const std::vector<std::int32_t> values = Values();
  const std::size_t n = values.size();
  for (const int format : {1, 2, 3, 5}) {
    for (const bool big : {false, true}) {
      SCOPED_TRACE(testing::Message() << "format " << format << (big ? " big" : " little"));
      const sup::ByteOrder order = big ? sup::ByteOrder::Big : sup::ByteOrder::Little;
      const std::size_t bps = static_cast<std::size_t>(SegyBytesPerSample(format));
      std::vector<std::byte> bytes(n * bps);
      std::vector<float> expected(n);
      for (std::size_t k = 0; k < n; ++k) {
        std::byte* at = bytes.data() + k * bps;
        const std::int32_t v = values[k];
        switch (format) {
          case 1: {  // IBM words, most significant byte first whatever the order
            const float real = static_cast<float>(v) * 0.001f;
            const std::uint32_t ibm = IeeeToIbmBits(std::bit_cast<std::uint32_t>(real));
            sup::StoreU32(at, ibm, sup::ByteOrder::Big);
            expected[k] = std::bit_cast<float>(IbmToIeeeBits(ibm));
            break;
          }
          case 2:
            sup::StoreU32(at, static_cast<std::uint32_t>(v), order);
            expected[k] = static_cast<float>(v);
            break;
          case 3:
            sup::StoreU16(at, static_cast<std::uint16_t>(v), order);
            expected[k] = static_cast<float>(static_cast<std::int16_t>(v));
            break;
          default: {
            const float real = static_cast<float>(v) * 0.25f;
            sup::StoreU32(at, std::bit_cast<std::uint32_t>(real), order);
            expected[k] = real;
            break;
          }
        }
      }
      std::vector<float> out(n, -1.0f);
      ASSERT_TRUE(DecodeSegySamples(bytes, format, big, out));
      EXPECT_EQ(out, expected);
      // One byte short: refused, nothing read past the span.
      EXPECT_FALSE(DecodeSegySamples(std::span<const std::byte>(bytes).first(bytes.size() - 1),
                                     format, big, out));
    }
  }
  std::vector<float> out(4);
  const std::vector<std::byte> bytes(16);
  for (const int format : {0, 4, 6, -1}) EXPECT_FALSE(DecodeSegySamples(bytes, format, false, out));
}

TEST(SegyDecoders, SampleRangeFollowsTheScalarRule) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> pool = {3.0f,   -2.0f, nan,    1.0e16f, -1.0e16f, 1.0e-31f, -1.0e-31f,
                                   -0.0f,  0.0f,  inf,    -inf,    7.5f,     -9.25f,   1.0e15f,
                                   -1.0e15f, 1.0e-30f, 42.0f, -41.0f, 0.5f};
  std::mt19937 rng(7);
  for (int trial = 0; trial < 400; ++trial) {
    const std::size_t n = static_cast<std::size_t>(trial % 53);
    std::vector<float> v(n);
    for (float& x : v) x = pool[rng() % pool.size()];
    float lo = 1.0e30f, hi = -1.0e30f, rlo = 1.0e30f, rhi = -1.0e30f;
    SegySampleRange(v, lo, hi);
    sup::FINDNX(v, static_cast<int>(n), rlo, rhi);
    EXPECT_EQ(lo, rlo) << "trial " << trial;
    EXPECT_EQ(hi, rhi) << "trial " << trial;
  }
}

// Conversion and range in one pass give the bits of the two steps taken
// apart, at every length around the vector widths, signed zeros included.
TEST(SegyDecoders, SamplesWithRangeMatchTheTwoSteps) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> pool = {3.0f,    -2.0f,     nan,  1.0e16f, -1.0e16f, 1.0e-31f, -0.0f,
                                   0.0f,    7.5f,      -9.25f, 1.0e15f, -1.0e15f, 1.0e-30f, 42.0f,
                                   -41.0f,  0.5f,      1.0e30f, -1.0e30f};
  std::mt19937 rng(11);
  for (const int format : {1, 2, 3, 5}) {
    for (const bool big : {false, true}) {
      for (std::size_t n = 0; n < 70; ++n) {
        SCOPED_TRACE(testing::Message() << "format " << format << (big ? " big " : " little ")
                                        << n << " samples");
        const std::size_t bps = static_cast<std::size_t>(SegyBytesPerSample(format));
        std::vector<std::byte> bytes(n * bps);
        const sup::ByteOrder order = big ? sup::ByteOrder::Big : sup::ByteOrder::Little;
        for (std::size_t k = 0; k < n; ++k) {
          const float x = pool[rng() % pool.size()];
          std::byte* at = bytes.data() + k * bps;
          if (format == 1) {
            sup::StoreU32(at, IeeeToIbmBits(std::bit_cast<std::uint32_t>(x)), sup::ByteOrder::Big);
          } else if (format == 5) {
            sup::StoreU32(at, std::bit_cast<std::uint32_t>(x), order);
          } else if (format == 2) {
            sup::StoreU32(at, static_cast<std::uint32_t>(rng()), order);
          } else {
            sup::StoreU16(at, static_cast<std::uint16_t>(rng()), order);
          }
        }
        std::vector<float> apart(n, -1.0f), together(n, -2.0f);
        float lo = 1.0e30f, hi = -1.0e30f, lo2 = 1.0e30f, hi2 = -1.0e30f;
        ASSERT_TRUE(DecodeSegySamples(bytes, format, big, apart));
        SegySampleRange(apart, lo, hi);
        ASSERT_TRUE(DecodeSegySamplesWithRange(bytes, format, big, together, lo2, hi2));
        // Bit patterns, so NaNs and signed zeros compare as stored.
        EXPECT_TRUE(n == 0 || std::memcmp(apart.data(), together.data(), n * sizeof(float)) == 0);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(lo), std::bit_cast<std::uint32_t>(lo2));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(hi), std::bit_cast<std::uint32_t>(hi2));
        if (n > 0) {
          EXPECT_FALSE(DecodeSegySamplesWithRange(
              std::span<const std::byte>(bytes).first(bytes.size() - 1), format, big, together,
              lo2, hi2));
        }
      }
    }
  }
}

// The vector path of the IBM trace decoder gives the bits of the one-word
// conversion for any word: random words and the edges (zeros of either
// sign, unnormalised fractions, results too small or too large for a
// single, the largest exponents), at lengths and offsets that put every
// word in every lane and in the scalar tail; the range is the scalar rule's.
TEST(SegyDecoders, IbmTracesMatchTheOneWordConversionForAnyWord) {
  std::vector<std::uint32_t> words = {
      0x00000000u, 0x80000000u, 0x00000001u, 0x80000001u, 0x00FFFFFFu, 0x80FFFFFFu,
      0x7FFFFFFFu, 0xFFFFFFFFu, 0x7F000001u, 0x60FFFFFFu, 0x61100000u, 0x60100000u,
      0x21100000u, 0x22100000u, 0x20FFFFFFu, 0x1F800000u, 0x41100000u, 0xC1100000u,
      0x41010000u, 0x41000001u, 0x7F000000u, 0x00100000u, 0x3F800000u, 0x5FFFFFFFu};
  std::mt19937 rng(2024);
  for (int k = 0; k < 20000; ++k) words.push_back(static_cast<std::uint32_t>(rng()));
  // Random exponents around the edges of the single range, random fractions.
  for (int k = 0; k < 20000; ++k) {
    const std::uint32_t exponent = static_cast<std::uint32_t>(rng() % 12) +
                                   (k % 2 == 0 ? 0x1Cu : 0x5Cu);
    words.push_back((static_cast<std::uint32_t>(rng()) & 0x80FFFFFFu) | (exponent << 24));
  }
  std::vector<std::byte> bytes(words.size() * 4);
  std::vector<float> expected(words.size());
  for (std::size_t k = 0; k < words.size(); ++k) {
    sup::StoreU32(bytes.data() + 4 * k, words[k], sup::ByteOrder::Big);
    expected[k] = std::bit_cast<float>(IbmToIeeeBits(words[k]));
  }
  for (std::size_t offset = 0; offset < 17; ++offset) {
    const std::size_t n = words.size() - offset - (offset * 7) % 16;
    SCOPED_TRACE(testing::Message() << "offset " << offset << ", " << n << " words");
    std::vector<float> out(n, -1.0f);
    float lo = 1.0e30f, hi = -1.0e30f, rlo = 1.0e30f, rhi = -1.0e30f;
    ASSERT_TRUE(DecodeSegySamplesWithRange(std::span<const std::byte>(bytes).subspan(4 * offset),
                                           kSegyIbmFloat, true, out, lo, hi));
    ASSERT_EQ(std::memcmp(out.data(), expected.data() + offset, n * sizeof(float)), 0);
    sup::FINDNX(std::span<const float>(expected).subspan(offset, n), static_cast<int>(n), rlo,
                rhi);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(lo), std::bit_cast<std::uint32_t>(rlo));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(hi), std::bit_cast<std::uint32_t>(rhi));
  }
}

TEST(SegyDecoders, BinaryHeaderDecidesTheByteOrder) {
  struct Case {
    std::uint16_t stored;  // the format code's two bytes as a little-endian value
    SegyBinaryOutcome outcome;
    bool big;
    int format;
  };
  for (const Case c : {Case{5, SegyBinaryOutcome::Ok, false, 5},
                       Case{1, SegyBinaryOutcome::Ok, false, 5},  // IBM code in a little-endian file
                       Case{0x0100, SegyBinaryOutcome::Ok, true, 1},
                       Case{0x0300, SegyBinaryOutcome::Ok, true, 3},
                       Case{9, SegyBinaryOutcome::BadFormat, false, 0}}) {
    SCOPED_TRACE(c.stored);
    std::vector<std::byte> bytes(kSegyBinaryHeaderBytes);
    sup::StoreU16(bytes.data() + (segy_bin::kFormat.position - segy_bin::kFirstPosition),
                  c.stored, sup::ByteOrder::Little);
    sup::StoreU16(bytes.data() + (segy_bin::kSamples.position - segy_bin::kFirstPosition), 1000,
                  c.big ? sup::ByteOrder::Big : sup::ByteOrder::Little);
    SegyBinaryHeader bin{};
    bool big = !c.big;
    int bad = 0;
    ASSERT_EQ(DecodeSegyBinaryHeader(bytes, bin, big, bad), c.outcome);
    if (c.outcome != SegyBinaryOutcome::Ok) {
      EXPECT_EQ(bad, static_cast<std::int16_t>(sup::ByteSwap16(c.stored)));
      continue;
    }
    EXPECT_EQ(big, c.big);
    EXPECT_EQ(SegyGet(bin, segy_bin::kFormat), c.format);
    EXPECT_EQ(SegyGet(bin, segy_bin::kSamples), 1000);
  }
  SegyBinaryHeader bin{};
  bool big = false;
  int bad = 0;
  EXPECT_EQ(DecodeSegyBinaryHeader(std::vector<std::byte>(399), bin, big, bad),
            SegyBinaryOutcome::Short);
}

TEST(SegyDecoders, FuzzEntryOverASeededCorpus) {
  // A small big-endian IBM file: text header, binary header, two traces.
  std::string seed(kSegyFileHeaderBytes + 2 * (kSegyTraceHeaderBytes + 40), '\0');
  seed.replace(0, 3, "C 1");
  auto* b = reinterpret_cast<std::byte*>(seed.data());
  sup::StoreU16(b + (segy_bin::kFormat.position - 1), 1, sup::ByteOrder::Big);
  sup::StoreU16(b + (segy_bin::kSamples.position - 1), 10, sup::ByteOrder::Big);
  for (std::size_t k = kSegyFileHeaderBytes; k < seed.size(); ++k)
    seed[k] = static_cast<char>(k * 37);
  const auto fuzz = [](const std::string& s) {
    segy_fuzz::FuzzSegyDecoders(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
  };
  std::mt19937 rng(20261211);
  fuzz(seed);
  fuzz(std::string());
  for (int i = 0; i < 3000; ++i) {
    std::string s = seed;
    // The binary header and the first trace start where the decoders look:
    // the input is cut at a random point of the file, then bits are flipped.
    s.erase(0, rng() % (i % 2 == 0 ? kSegyTextBytes : s.size()));
    if (!s.empty()) {
      for (int f = 0; f < 8; ++f) s[rng() % s.size()] ^= static_cast<char>(1u << (rng() % 8));
    }
    s.resize(rng() % (s.size() + 1));
    fuzz(s);
  }
}

}  // namespace
