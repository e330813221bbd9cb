#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "support/Numerics.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Numerics, RangeSkipsUnusableValues) {
  const std::array<float, 5> a{0.0f, 1e-31f, 1e16f, kNaN, -5.0f};
  float amin = 1e30f, amax = -1e30f;
  sup::FINDNX(a, 5, amin, amax);
  EXPECT_EQ(amin, -5.0f);
  EXPECT_EQ(amax, 0.0f);
  amin = 1e30f;
  amax = -1e30f;
  sup::FINDNX(a, 0, amin, amax);
  EXPECT_EQ(amin, 1e30f);
  EXPECT_EQ(amax, -1e30f);
}

// The range over long arrays matches a plain one-value-at-a-time scan, bit
// for bit, including which zero wins when the extreme is a zero.
TEST(Numerics, RangeOfLongArraysMatchesPlainScan) {
  auto plain = [](const std::vector<float>& a, float& amin, float& amax) {
    for (const float v : a) {
      const float m = std::fabs(v);
      if (std::isnan(v) || m > 1e15f || (v != 0.0f && m < 1e-30f)) continue;
      if (v > amax) amax = v;
      if (v < amin) amin = v;
    }
  };
  auto bits = [](float v) {
    std::uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
  };
  struct Case {
    std::vector<float> values;
    float seedMin, seedMax;
  };
  std::vector<float> wave(37);
  for (std::size_t i = 0; i < wave.size(); ++i) wave[i] = std::sin(0.7f * static_cast<float>(i));
  std::vector<float> zeros(19, 0.0f);
  zeros[3] = -0.0f;
  zeros[12] = -0.0f;
  std::vector<float> negZerosFirst(16, 0.0f);
  for (std::size_t i = 0; i < 9; ++i) negZerosFirst[i] = -0.0f;
  negZerosFirst[15] = -2.0f;
  std::vector<float> unusable(21, kNaN);
  unusable[5] = 1e16f;
  unusable[11] = -1e-31f;
  unusable[20] = 3.0f;
  const std::vector<Case> cases{{wave, 1e30f, -1e30f},
                                {wave, -0.5f, 0.5f},
                                {zeros, 1e30f, -1e30f},
                                {negZerosFirst, 1e30f, -1e30f},
                                {unusable, 1e30f, -1e30f},
                                {unusable, kNaN, kNaN},
                                {std::vector<float>(8, 4.0f), 4.0f, 4.0f}};
  for (std::size_t c = 0; c < cases.size(); ++c) {
    float amin = cases[c].seedMin, amax = cases[c].seedMax;
    float wantMin = amin, wantMax = amax;
    plain(cases[c].values, wantMin, wantMax);
    sup::FINDNX(cases[c].values, static_cast<int>(cases[c].values.size()), amin, amax);
    EXPECT_EQ(bits(amin), bits(wantMin)) << "case " << c;
    EXPECT_EQ(bits(amax), bits(wantMax)) << "case " << c;
  }
}

TEST(Numerics, SumsAndAverages) {
  const std::array<float, 3> a{2.0f, 1e20f, 4.0f};
  EXPECT_EQ(sup::AVGOF(a, 3), 3.0f);
  EXPECT_EQ(sup::AVGOF(std::array<float, 2>{1e20f, 1e20f}, 2), 0.0f);
  EXPECT_EQ(sup::AVGOF(std::array<float, 2>{1e10f, 0.0f}, 2), 5e9f);
  EXPECT_EQ(sup::AVGOF(a, 0), 0.0f);
  EXPECT_EQ(sup::SUMOF(std::array<float, 3>{1, 2, 3}, 2), 3.0f);
  EXPECT_EQ(sup::SUMOF(a, -1), 0.0f);
}

TEST(Numerics, SumsKeepTheSignalOnALargeOffset) {
  // Samples at 1e6 carrying a signal of amplitude 15: a float accumulator
  // drifts by tens over a few thousand samples.
  for (const std::size_t n : {std::size_t{4000}, std::size_t{16000}}) {
    std::vector<float> x(n);
    double exact = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = 1e6f + 15.0f * std::sin(0.05f * static_cast<float>(i));
      exact += x[i];
    }
    const int count = static_cast<int>(n);
    EXPECT_EQ(sup::SumInDouble(x, count), exact) << n;
    EXPECT_EQ(sup::SUMOF(x, count), static_cast<float>(exact)) << n;
    EXPECT_NEAR(sup::AVGOF(x, count), exact / static_cast<double>(n), 0.0625) << n;
  }
}

TEST(Numerics, Interpolation) {
  const std::vector<float> up{1, 2, 3}, down{3, 2, 1}, y{10, 20, 30}, gap{10, 1e20f, 30};
  struct Case {
    const std::vector<float>& x;
    const std::vector<float>& y;
    float xv;
    float expected;
  };
  const Case cases[] = {
      {up, y, 2.5f, 25},   {up, y, 2.0f, 20},      {up, y, 0.0f, 10},   {up, y, 9.0f, 30},
      {down, y, 2.5f, 15}, {down, y, 2.0f, 20},    {down, y, 1.5f, 25}, {down, y, 0.0f, 30},
      {up, gap, 1.4f, 10}, {up, gap, 1.6f, 1e20f}, {up, gap, 2.6f, 30},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(sup::TERPOL(c.x, c.y, 3, c.xv), c.expected) << c.xv;
  }
  EXPECT_EQ(sup::TERPOL(up, y, 0, 2.0f), 0.0f);
  EXPECT_EQ(sup::TERPOL(up, y, 1, 2.0f), 10.0f);
  // Repeated nodes are skipped, and results never depend on earlier calls.
  const std::vector<float> flat{1, 2, 2, 3}, fy{10, 20, 25, 35};
  EXPECT_FLOAT_EQ(sup::TERPOL(flat, fy, 4, 2.5f), 30.0f);
  EXPECT_FLOAT_EQ(sup::TERPOL(flat, fy, 4, 1.5f), 15.0f);
  EXPECT_FLOAT_EQ(sup::TERPOL(flat, fy, 4, 2.5f), 30.0f);
}

TEST(Numerics, LooseEquality) {
  struct Case {
    float a, b;
    bool equal;
  };
  const Case cases[] = {
      {1.0f, 1.0000005f, true}, {1.0f, 1.00001f, false}, {0.0f, 5e-7f, true}, {0.0f, 1e-6f, false},
      {1e-7f, -1e-7f, false},   {5e-7f, 0.0f, true},     {kNaN, kNaN, false}, {3.0f, 3.0f, true},
  };
  for (const Case& c : cases) EXPECT_EQ(sup::LNLYEQ(c.a, c.b), c.equal) << c.a << " " << c.b;
  EXPECT_TRUE(sup::LEQNAN(kNaN));
  EXPECT_FALSE(sup::LEQNAN(1.0f));
}

TEST(Numerics, SortParallelArrays) {
  std::vector<float> a{3, 1, 2, 1}, b{30, 10, 20, 11}, c{7, 7, 7, 7};
  sup::ORDER5(a, b, c, {}, {}, 4, 2);
  EXPECT_EQ(a, (std::vector<float>{1, 1, 2, 3}));
  EXPECT_EQ(b, (std::vector<float>{10, 11, 20, 30}));  // equal keys keep their order
  EXPECT_EQ(c, (std::vector<float>{7, 7, 7, 7}));
  std::vector<float> d{2, 1};
  sup::ORDER5(d, {}, {}, {}, {}, 2, 0);
  EXPECT_EQ(d, (std::vector<float>{2, 1}));
  std::vector<float> e{5, 4, 3, 2, 1}, short2{1, 2};
  sup::ORDER5(e, short2, {}, {}, {}, 5, 2);  // never past the shorter moving array
  EXPECT_EQ(e, (std::vector<float>{4, 5, 3, 2, 1}));
  EXPECT_EQ(short2, (std::vector<float>{2, 1}));
}

TEST(Numerics, ShiftsAndClearing) {
  struct Case {
    int k;
    std::vector<float> expected;
  };
  const Case cases[] = {
      {1, {0, 1, 2, 3}}, {-1, {2, 3, 4, 0}}, {4, {1, 2, 3, 4}}, {-4, {1, 2, 3, 4}}};
  for (const Case& c : cases) {
    std::vector<float> a{1, 2, 3, 4};
    sup::SHIFTF(a, 4, c.k);
    EXPECT_EQ(a, c.expected) << c.k;
  }
  std::vector<std::int32_t> ia{1, 2, 3};
  sup::SHIFTI(ia, 3, 2);
  EXPECT_EQ(ia, (std::vector<std::int32_t>{0, 0, 1}));
  std::vector<std::int16_t> i2{1, 2, 3};
  sup::SHIFTI2(i2, 3, -1);
  EXPECT_EQ(i2, (std::vector<std::int16_t>{2, 3, 0}));
  std::vector<float> z{1, 2, 3};
  sup::ERASE(z, 2);
  EXPECT_EQ(z, (std::vector<float>{0, 0, 3}));
  sup::ERASEI(ia, 10);
  EXPECT_EQ(ia, (std::vector<std::int32_t>{0, 0, 0}));
}

}  // namespace
