#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "support/Regres.h"

namespace {

TEST(Regres, Fits) {
  struct Case {
    const char* name;
    std::vector<float> x, y;
    float a, b, r;
  };
  const Case cases[] = {
      {"two points", {1, 2}, {3, 5}, 1, 2, 0},
      {"three on a line", {1, 2, 3}, {3, 5, 7}, 1, 2, 0},
      {"a bend", {1, 2, 3}, {0, 1, 0}, 1.0f / 3, 0, std::sqrt(2.0f / 9)},
      {"all x equal", {2, 2, 2}, {1, 5, 9}, 0, 1, 0},
      {"one point", {2}, {5}, 0, 1, 0},
      {"large abscissae", {1e6f, 1e6f + 1, 1e6f + 2}, {1, 2, 3}, 1 - 1e6f, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float a = -9, b = -9, r = -9;
    sup::REGRES(c.x, c.y, static_cast<int>(c.x.size()), a, b, r);
    EXPECT_NEAR(a, c.a, 1e-5 * std::max(1.0f, std::fabs(c.a)));
    EXPECT_NEAR(b, c.b, 1e-6);
    EXPECT_NEAR(r, c.r, 1e-6);
  }
}

TEST(Regres, NaNGivesAnObviouslyBadMisfit) {
  const std::vector<float> x{1, 2, 3}, y{1, std::numeric_limits<float>::quiet_NaN(), 3};
  float a = 0, b = 0, r = 0;
  sup::REGRES(x, y, 3, a, b, r);
  EXPECT_EQ(r, 9999.0f);
  EXPECT_EQ(sup::FITCHK(x, y, 0, 0, 1), 0.0f);
}

}  // namespace
