#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/FixedText.h"

namespace {

using namespace std::string_view_literals;

TEST(FixedText, TrimsOnlyTheNamedBlanks) {
  const struct {
    std::string_view text, blanks, right, left, both;
  } cases[] = {
      {"", " ", "", "", ""},
      {"    ", " ", "", "", ""},
      {"  ab c  ", " ", "  ab c", "ab c  ", "ab c"},
      {"abc", " ", "abc", "abc", "abc"},
      {"a\t ", " ", "a\t", "a\t ", "a\t"},
      {" \ta\t ", " \t", " \ta", "a\t ", "a"},
      {"ab \0\0 "sv, plat::kBlankOrNul, "ab", "ab \0\0 "sv, "ab"},
      {"ab\0 "sv, plat::kBlank, "ab\0"sv, "ab\0 "sv, "ab\0"sv},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(plat::TrimRight(c.text, c.blanks), c.right);
    EXPECT_EQ(plat::TrimLeft(c.text, c.blanks), c.left);
    EXPECT_EQ(plat::Trim(c.text, c.blanks), c.both);
  }
}

TEST(FixedText, PadsOrCutsToTheLength) {
  EXPECT_EQ(plat::Padded("ab", 5), "ab   ");
  EXPECT_EQ(plat::Padded("abcdef", 3), "abc");
  EXPECT_EQ(plat::Padded("", 2), "  ");
  EXPECT_EQ(plat::Padded("ab", 0), "");
  std::string field(4, '#');
  plat::PadInto(field, "xy");
  EXPECT_EQ(field, "xy  ");
  plat::PadInto(field, "123456");
  EXPECT_EQ(field, "1234");
  plat::PadInto(field, std::string_view(field).substr(1, 2));  // from its own text
  EXPECT_EQ(field, "23  ");
}

TEST(FixedText, FindsOneBasedPositions) {
  const struct {
    std::string_view text, pattern;
    std::size_t at;
  } cases[] = {
      {"abcabc", "abc", 1}, {"abcabc", "ca", 3}, {"abc", "c", 3},   {"abc", "abcd", 0},
      {"abc", "", 0},       {"", "a", 0},        {"abc", "x", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(plat::Find1(c.text, c.pattern), c.at) << c.text << " / " << c.pattern;
}

}  // namespace
