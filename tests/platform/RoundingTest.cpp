#include <gtest/gtest.h>

#include <limits>

#include "platform/Rounding.h"

namespace {

TEST(Rounding, NearestIntHalvesAwayFromZeroAndDefinesEveryInput) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    double x;
    std::int32_t expected;
    bool inRange;
  };
  const Case cases[] = {
      {0.0, 0, true},
      {0.4999999999999999, 0, true},
      {0.5, 1, true},
      {1.5, 2, true},
      {2.5, 3, true},
      {-0.5, -1, true},
      {-2.5, -3, true},
      {-2.4, -2, true},
      {2147483647.4, 2147483647, true},
      {2147483647.5, 2147483647, false},
      {-2147483648.4, -2147483648, true},
      {-2147483648.5, -2147483648, false},
      {1e300, 2147483647, false},
      {-1e300, -2147483648, false},
      {kInf, 2147483647, false},
      {-kInf, -2147483648, false},
      {std::numeric_limits<double>::quiet_NaN(), 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    std::int32_t out = 99;
    EXPECT_EQ(plat::NearestIntChecked(c.x, out), c.inRange);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(plat::NearestInt(c.x), c.expected);
  }
}

TEST(Rounding, NearestInt64SaturatesAtItsOwnRange) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const struct {
    double x;
    std::int64_t expected;
  } cases[] = {
      {2.5, 3},
      {-2.5, -3},
      {2147483648.5, 2147483649LL},
      {-4294967296.5, -4294967297LL},
      {9223372036854775808.0, kMax},
      {-9223372036854775808.0, kMin},
      {1e300, kMax},
      {-kInf, kMin},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(plat::NearestInt64(c.x), c.expected);
  }
}

TEST(Rounding, TruncationTowardZeroIsChecked) {
  std::int32_t out = 0;
  EXPECT_TRUE(plat::TruncateIntChecked(-7.9, out));
  EXPECT_EQ(out, -7);
  EXPECT_TRUE(plat::TruncateIntChecked(2147483647.9, out));
  EXPECT_EQ(out, 2147483647);
  EXPECT_FALSE(plat::TruncateIntChecked(2147483648.0, out));
  EXPECT_EQ(out, 2147483647);
  EXPECT_FALSE(plat::TruncateIntChecked(std::numeric_limits<double>::quiet_NaN(), out));
  EXPECT_EQ(out, 0);
  EXPECT_EQ(plat::TruncateInt(-7.9), -7);
  EXPECT_EQ(plat::TruncateInt(-1e300), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(plat::TruncateInt(std::numeric_limits<double>::infinity()),
            std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(plat::TruncateInt(std::numeric_limits<double>::quiet_NaN()), 0);
}

}  // namespace
