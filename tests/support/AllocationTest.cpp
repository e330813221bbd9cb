// Allocations that report running out of memory instead of throwing.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "support/Allocation.h"
#include "support/UserMessages.h"

namespace {

struct MessageGuard {
  MessageGuard() {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
  }
  ~MessageGuard() {
    sup::SetUserMessageHook({});
    sup::ClearUserMessages();
  }
};

// More elements than any vector can hold: fails at once, without touching memory.
constexpr std::size_t kTooMany = std::numeric_limits<std::size_t>::max() / 2;

TEST(Allocation, StepsThatRunOutOfMemoryGiveFalse) {
  EXPECT_TRUE(sup::TryAllocation([] {}));
  EXPECT_FALSE(sup::TryAllocation([] { throw std::bad_alloc(); }));
  EXPECT_FALSE(sup::TryAllocation([] { throw std::length_error("size"); }));
  // Anything else is not an allocation failure and passes through.
  EXPECT_THROW((void)sup::TryAllocation([] { throw std::runtime_error("other"); }),
               std::runtime_error);
}

TEST(Allocation, AssignFillsOrEmptiesTheArray) {
  std::vector<std::int32_t> v = {1, 2, 3};
  ASSERT_TRUE(sup::TryAssign(v, 5, 7));
  EXPECT_EQ(v, std::vector<std::int32_t>(5, 7));
  EXPECT_FALSE(sup::TryAssign(v, kTooMany));
  EXPECT_TRUE(v.empty());
  EXPECT_EQ(v.capacity(), 0u);
}

TEST(Allocation, AssignOrTellShowsTheMessageOnlyOnFailure) {
  MessageGuard guard;
  std::vector<float> v;
  ASSERT_TRUE(sup::AssignOrTell(v, 4, "CANNOT ALLOCATE"));
  EXPECT_EQ(v, std::vector<float>(4, 0.0f));
  EXPECT_EQ(sup::UserMessageCount(), 0);

  EXPECT_FALSE(sup::AssignOrTell(v, kTooMany, "CANNOT ALLOCATE ARRAYS"));
  EXPECT_TRUE(v.empty());
  EXPECT_EQ(sup::UserMessageCount(), 1);
  EXPECT_EQ(sup::LastUserMessage().text, "CANNOT ALLOCATE ARRAYS");
  EXPECT_EQ(sup::LastUserMessage().kind, sup::UserMessageKind::Warning);
}

}  // namespace
