// Work split into parts: every part runs exactly once, whoever runs it, and
// what the parts wrote is there when the call returns.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "support/Parallel.h"

namespace {

TEST(Parallel, EveryPartRunsOnceAndItsWritesAreSeen) {
  // One thread per part, and fewer threads than parts (each takes the next
  // part left when it is done), and more threads asked for than parts.
  for (const int parts : {0, 1, 2, 4, 9, 40}) {
    for (const int threads : {0, 1, 3, 64}) {
      for (int round = 0; round < 10; ++round) {
        std::vector<int> runs(static_cast<std::size_t>(parts), 0);
        std::thread::id first;
        sup::RunParts(
            parts,
            [&](int p) {
              ++runs[static_cast<std::size_t>(p)];
              if (p == 0) first = std::this_thread::get_id();
            },
            threads);
        EXPECT_EQ(runs, std::vector<int>(static_cast<std::size_t>(parts), 1))
            << parts << " parts, " << threads << " threads";
        if (parts > 0) {
          EXPECT_EQ(first, std::this_thread::get_id()) << "part 0 runs on the caller";
        }
      }
    }
  }
}

TEST(Parallel, PartsThatSplitTheirOwnWorkAndCallersOnOtherThreads) {
  // A part that calls RunParts, and two threads calling it at once, find the
  // kept threads busy and still get every part run.
  std::atomic<int> total{0};
  const auto nested = [&] {
    sup::RunParts(3, [&](int) { sup::RunParts(4, [&](int) { ++total; }); });
  };
  std::thread other(nested);
  nested();
  other.join();
  EXPECT_EQ(total.load(), 2 * 3 * 4);
}

TEST(Parallel, PartsFollowTheSizeOfTheJob) {
  EXPECT_EQ(sup::PartsFor(0, 100, 4), 1);
  EXPECT_EQ(sup::PartsFor(150, 100, 4), 1);
  EXPECT_EQ(sup::PartsFor(1000, 100, 1), 1);
  const int most = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  EXPECT_EQ(sup::PartsFor(1000, 100, 4), std::min(4, most));
}

}  // namespace
