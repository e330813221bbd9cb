#include "display/TraceEdit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "support/Allocation.h"
#include "support/Numerics.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

std::size_t Size(std::int32_t n) {
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// Moves column FROM to column TO (both 0-based, TO <= FROM) of NSAMP samples.
void MoveColumn(TraceSampleArray& traces, std::size_t nsamp, std::size_t from, std::size_t to) {
  if (from == to || nsamp == 0) return;
  std::memmove(traces.data() + to * nsamp, traces.data() + from * nsamp, nsamp * sizeof(float));
}

// Moves element FROM of every per-trace array to TO (0-based), where the
// array holds both.
void MovePerTraceEntries(ShotRecord& REC, std::size_t from, std::size_t to) {
  if (from == to) return;
  const auto move = [&](auto& v) {
    if (from < v.size() && to < v.size()) v[to] = v[from];
  };
  ForEachPerTraceArray(REC, move);
  if (REC.LSEGYHDR) move(REC.ISEGYTRH);
}

}  // namespace

std::int32_t HeldColumns(const ShotRecord& REC) {
  if (REC.NSAMP <= 0 || REC.NTRACE < 0) return 0;
  const std::int64_t wanted =
      static_cast<std::int64_t>(REC.NTRACE) + std::max<std::int64_t>(REC.NAUX, 0);
  const std::int64_t room =
      static_cast<std::int64_t>(REC.TRACES.size() / static_cast<std::size_t>(REC.NSAMP));
  return static_cast<std::int32_t>(std::min({wanted, room, std::int64_t{INT32_MAX}}));
}

void ResampleTrace(std::span<const float> X, std::span<const float> Y, int N, float DT,
                   std::span<float> OUT) {
  const std::size_t n = std::min({X.size(), Y.size(), Size(N)});
  bool rising = n >= 2;
  for (std::size_t i = 1; rising && i < n; ++i) rising = X[i] > X[i - 1];
  std::size_t node = 0;
  float t = 0.0f;
  for (float& out : OUT) {
    t += DT;
    out = rising ? sup::TerpolRising(X, Y, N, t, node) : sup::TERPOL(X, Y, N, t);
  }
}

ResampleStatus ResampleColumns(ShotRecord& REC, std::int32_t NEWCOUNT,
                               const std::function<void(int percent)>& PROGRESS) {
  const std::int32_t columns = HeldColumns(REC);
  const std::size_t oldCount = Size(REC.NSAMP);
  std::vector<float> times;
  if (!sup::TryAssign(times, oldCount)) return ResampleStatus::NoTableMemory;
  for (std::size_t i = 0; i < oldCount; ++i)
    times[i] = static_cast<float>(i + 1) * REC.SAMPINT;

  // The new array in 64 bits: counts up to 2^31 - 1 of each kind.
  const std::uint64_t total = static_cast<std::uint64_t>(Size(NEWCOUNT)) * Size(columns);
  TraceSampleArray resampled;
  if (total > resampled.max_size() ||
      !sup::TryAssign(resampled, static_cast<std::size_t>(total)))
    return ResampleStatus::NoTraceMemory;

  const float dt = static_cast<float>(REC.NSAMP) * REC.SAMPINT / static_cast<float>(NEWCOUNT);
  const std::size_t newCount = Size(NEWCOUNT);
  for (std::int32_t j = 1; j <= columns; ++j) {
    const std::size_t c = static_cast<std::size_t>(j - 1);
    const std::span<const float> old = std::span<const float>(REC.TRACES).subspan(c * oldCount,
                                                                                  oldCount);
    ResampleTrace(times, old, REC.NSAMP, dt, std::span(resampled).subspan(c * newCount, newCount));
    if (c < REC.IBPICK.size()) {
      std::int32_t& pick = REC.IBPICK[c];
      pick = tk::NearestInt(static_cast<double>(pick) * NEWCOUNT / REC.NSAMP);
    }
    if (PROGRESS && REC.NTRACE > 0)
      PROGRESS(std::min(100, tk::NearestInt(100.0 * j / REC.NTRACE)));
  }
  REC.TRACES.swap(resampled);
  REC.NSAMP = NEWCOUNT;
  REC.SAMPINT = dt;
  return ResampleStatus::Done;
}

RemoveStatus RemoveTraces(ShotRecord& REC, std::int32_t FIRST, std::int32_t& LAST,
                          std::int32_t NUMBER, std::int32_t INCREMENT) {
  if (INCREMENT <= 0 || LAST < FIRST) return RemoveStatus::Unchanged;
  const std::int32_t columns = HeldColumns(REC);
  const std::int32_t aux = std::max(0, columns - REC.NTRACE);
  const std::size_t nsamp = Size(REC.NSAMP);

  // Source columns (1-based) of the traces that stay, in order, followed by
  // the auxiliary columns.
  std::vector<std::int32_t> kept;
  const bool cutOff = LAST == REC.NTRACE && INCREMENT <= 1;
  if (cutOff) {
    for (std::int32_t j = 1; j < FIRST && j <= REC.NTRACE; ++j) kept.push_back(j);
    if (kept.empty()) return RemoveStatus::NoneLeft;
  } else {
    LAST = std::min(LAST, REC.NTRACE);
    std::vector<bool> removed(Size(REC.NTRACE) + 1, false);
    const std::int64_t groups =
        (static_cast<std::int64_t>(LAST) - FIRST + INCREMENT) / INCREMENT;
    for (std::int64_t g = 0; g < groups; ++g) {
      const std::int64_t start = FIRST + g * INCREMENT;
      if (start > REC.NTRACE) break;
      const std::int64_t end = std::min<std::int64_t>(start + NUMBER - 1, REC.NTRACE);
      for (std::int64_t i = std::max<std::int64_t>(start, 1); i <= end; ++i)
        removed[static_cast<std::size_t>(i)] = true;
    }
    for (std::int32_t j = 1; j <= REC.NTRACE; ++j)
      if (!removed[static_cast<std::size_t>(j)]) kept.push_back(j);
    if (kept.empty()) return RemoveStatus::NoneLeft;
  }
  const auto dataKept = static_cast<std::int32_t>(kept.size());
  for (std::int32_t a = 1; a <= aux; ++a) kept.push_back(REC.NTRACE + a);

  // Every source lies at or after its destination, so one forward pass
  // moves everything in place.
  for (std::size_t to = 0; to < kept.size(); ++to) {
    const auto from = static_cast<std::size_t>(kept[to] - 1);
    if (from < Size(columns)) MoveColumn(REC.TRACES, nsamp, from, to);
    MovePerTraceEntries(REC, from, to);
  }
  REC.NTRACE = dataKept;
  return cutOff ? RemoveStatus::CutOff : RemoveStatus::Removed;
}

void TrimSamples(ShotRecord& REC, std::int32_t SKIP, std::int32_t COUNT) {
  const std::int32_t columns = HeldColumns(REC);
  const std::size_t oldCount = Size(REC.NSAMP);
  const std::size_t newCount = Size(COUNT);
  const std::size_t skip = Size(SKIP);
  float* data = REC.TRACES.data();
  // Column c moves from c x old + skip to c x new: never later than where it
  // was, so a forward pass of overlapping moves repacks in place.
  for (std::size_t c = 0; c < Size(columns); ++c)
    std::memmove(data + c * newCount, data + c * oldCount + skip, newCount * sizeof(float));
  std::fill(REC.TRACES.begin() + static_cast<std::ptrdiff_t>(Size(columns) * newCount),
            REC.TRACES.end(), 0.0f);
  for (std::size_t c = 0; c < std::min(Size(columns), REC.IBPICK.size()); ++c) {
    std::int32_t& pick = REC.IBPICK[c];
    if (SKIP == 0) {
      if (pick > COUNT) pick = 0;
    } else {
      pick = static_cast<std::int32_t>(std::max<std::int64_t>(
          static_cast<std::int64_t>(pick) - SKIP, INT32_MIN));
    }
  }
  REC.NSAMP = COUNT;
}

}  // namespace vel
