#include "support/Parallel.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace sup {

int PartsFor(long long BYTES, long long MINBYTESPERPART, int MAXPARTS) {
  if (BYTES <= 0 || MINBYTESPERPART <= 0 || MAXPARTS <= 1) return 1;
  const long long cores = std::max(1u, std::thread::hardware_concurrency());
  const long long parts = std::min({BYTES / MINBYTESPERPART, static_cast<long long>(MAXPARTS), cores});
  return static_cast<int>(std::max(1LL, parts));
}

void RunParts(int PARTS, const std::function<void(int part)>& WORK) {
  std::vector<std::thread> threads;
  std::vector<int> leftOver;
  for (int p = 1; p < PARTS; ++p) {
    try {
      threads.emplace_back(WORK, p);
    } catch (const std::system_error&) {
      leftOver.push_back(p);
    }
  }
  if (PARTS > 0) WORK(0);
  for (const int p : leftOver) WORK(p);
  for (std::thread& t : threads) t.join();
}

}  // namespace sup
