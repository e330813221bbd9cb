#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "support/FieldReader.h"

namespace {

struct IntCase {
  std::string_view field;
  bool ok;
  std::int32_t value;
};

TEST(FieldReader, IntegerFields) {
  const IntCase cases[] = {
      {"", true, 0},
      {"   ", true, 0},
      {"  7", true, 7},
      {"1 2", true, 12},
      {" -5", true, -5},
      {"+42", true, 42},
      {"- 5", true, -5},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"99999999999999999999", false, 0},
      {"1.5", false, 0},
      {"-", false, 0},
      {"12a", false, 0},
      {"--1", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    std::int32_t v = 99;
    EXPECT_EQ(sup::ReadIntField(c.field, v), c.ok);
    EXPECT_EQ(v, c.value);
  }
}

struct RealCase {
  std::string_view field;
  int decimals;
  bool ok;
  double value;
};

TEST(FieldReader, RealFields) {
  const RealCase cases[] = {
      {"   ", 0, true, 0.0},     {"0.5", 0, true, 0.5},     {"  2", 0, true, 2.0},
      {" .5", 0, true, 0.5},     {"2.5", 0, true, 2.5},     {"125", 2, true, 1.25},
      {"1.25", 2, true, 1.25},   {"-12", 1, true, -1.2},    {"1 0.0", 1, true, 10.0},
      {"1.5E2", 0, true, 150.0}, {"1.5e-1", 0, true, 0.15}, {"15D1", 1, true, 15.0},
      {"1.5+2", 0, true, 150.0}, {"2-1", 0, true, 0.2},     {"-3.", 0, true, -3.0},
      {"1e-400", 0, true, 0.0},  {"1e400", 0, false, 0.0},  {".", 0, false, 0.0},
      {"1.2.3", 0, false, 0.0},  {"abc", 0, false, 0.0},    {"1E", 0, false, 0.0},
      {"+", 0, false, 0.0},      {"1x", 0, false, 0.0},     {"10.0", 3, true, 10.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    double v = 99.0;
    EXPECT_EQ(sup::ReadRealField(c.field, c.decimals, v), c.ok);
    EXPECT_DOUBLE_EQ(v, c.value);
  }
}

TEST(FieldReader, FieldAtNeverReadsPastTheText) {
  EXPECT_EQ(sup::FieldAt("ABCDEF", 2, 3), "CDE");
  EXPECT_EQ(sup::FieldAt("ABCDEF", 4, 3), "EF");
  EXPECT_EQ(sup::FieldAt("ABCDEF", 9, 3), "");
}

}  // namespace
