#include <gtest/gtest.h>

#include <set>

#include "resources/Resources.h"

TEST(Resources, EveryEmbeddedFileIsFoundByItsName) {
  auto names = res::Names();
  ASSERT_FALSE(names.empty());
  std::set<std::string_view> seen;
  for (auto n : names) {
    EXPECT_TRUE(seen.insert(n).second) << n;
    EXPECT_EQ(res::Find(n).data() != nullptr, true) << n;
  }
  EXPECT_TRUE(res::Find("no such resource").empty());
}
