#include "display/FkTransform.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cstddef>

#include "display/Spectrum.h"
#include "support/Allocation.h"
#include "support/Parallel.h"
#include "support/PollPacer.h"
#include "support/UserMessages.h"

namespace vel {
namespace {

constexpr std::string_view kNoSpectArrays = "CANNOT ALLOCATE TEMP ARRAYS IN FKSPECT";
constexpr std::string_view kNoTracesArray = "CANNOT ALLOCATE TEMP ARRAY IN FKTRACES";
constexpr std::string_view kNoTransform = "TRANSFORM DOES NOT EXIST";
// pi / 2 as the single-precision constant of the fan weights.
constexpr float kHalfPi = 1.5707964f;
constexpr int kMostExponent = 30;

// Reports the start of a pass.
void StartPass(const FkProgress* progress, std::string_view name) {
  if (progress && progress->pass) progress->pass(name);
}

// The progress and cancel poll of one operation, paced by wall time: the
// calling thread reports and polls between its own pieces of work at most
// once per kPollInterval, while the other threads go on.
struct Pacing {
  const FkProgress* progress = nullptr;
  sup::PollPacer pacer;
  explicit Pacing(const FkProgress* p) : progress(p) {}

  // Reports DONE of STEPS steps and polls for cancel; true when the user
  // cancelled (the latch is then cleared again).
  bool Cancelled(std::int64_t done, std::int64_t steps) {
    if (progress && progress->step)
      progress->step(static_cast<int>(std::lround(100.0 * static_cast<double>(done) /
                                                  static_cast<double>(steps))));
    if (!sup::LKILL(0)) return false;
    sup::LKILL(1);
    return true;
  }
};

std::size_t Index(std::int64_t row, std::int64_t col, std::int64_t nt) {
  return 2 * static_cast<std::size_t>(col * nt + row);
}

// Rows gathered at a time by the row pass: consecutive rows of one column are
// adjacent in memory, so a block reads and writes whole cache lines.
constexpr std::int64_t kRowBlock = 16;

// The passes share their rows (or columns) out between threads in blocks,
// each thread taking the next block not yet taken. The calling thread
// reports the steps done and polls for cancel between its own blocks, when
// its pacing says so; a cancel stops every thread before its next block.
constexpr long long kMinPartBytes = 64 * 1024;
constexpr int kMostThreads = 16;

// The threads worth using on the transform T.
int ThreadsFor(const FkTransform& t) {
  return sup::PartsFor(8LL * t.NT * t.NX, kMinPartBytes, kMostThreads);
}

// Work space of the threads of a pass: one slot per thread.
struct PassSlots {
  int threads = 1;
  std::size_t reals = 0;   // floats per slot
  std::vector<float, sup::UnsetAllocator<float>> data;
  float* Slot(int part) { return data.data() + static_cast<std::size_t>(part) * reals; }
};

// Sizes SLOTS for THREADS threads with REALS floats each (may throw
// std::bad_alloc: callers size it inside TryAllocation).
void SizeSlots(PassSlots& slots, int threads, std::size_t reals) {
  slots.threads = threads;
  slots.reals = reals;
  slots.data.resize(static_cast<std::size_t>(threads) * reals);
}

// Runs STEP(first, count, slot) over steps 0..STEPS - 1 in blocks of ITEMS
// steps on SLOTS.threads threads, each thread with its own slot. False on
// cancel (the blocks begun are finished, no other is started).
template <class Step>
bool SharedSteps(std::int64_t steps, std::int64_t items, PassSlots& slots, Pacing& pacing,
                 Step&& step) {
  const std::int64_t blocks = (steps + items - 1) / items;
  std::atomic<std::int64_t> next{0}, done{0};
  std::atomic<bool> cancelled{false};
  bool polled = false;
  sup::RunParts(
      slots.threads,
      [&](int part) {
        float* slot = slots.Slot(part);
        while (!cancelled.load(std::memory_order_relaxed)) {
          const std::int64_t b = next.fetch_add(1, std::memory_order_relaxed);
          if (b >= blocks) break;
          const std::int64_t first = b * items;
          const std::int64_t count = std::min(items, steps - first);
          step(first, count, slot);
          const std::int64_t now = done.fetch_add(count, std::memory_order_relaxed) + count;
          // Only the calling thread (part 0) touches the user interface.
          if (part == 0 && pacing.pacer.Due()) {
            polled = true;
            if (pacing.Cancelled(now, steps)) cancelled.store(true, std::memory_order_relaxed);
          }
        }
      },
      slots.threads);
  if (cancelled.load()) return false;
  // The end of the pass is shown; a pass the calling thread took no poll in
  // (a small one, or one the other threads took whole) polls once here.
  if (pacing.progress && pacing.progress->step) pacing.progress->step(100);
  if (polled) return true;
  pacing.pacer.Restart();
  (void)pacing.pacer.Due();  // the next poll a kPollInterval from this one
  if (!sup::LKILL(0)) return true;
  sup::LKILL(1);
  return false;
}

// Transforms every row of the NT x NX array SOURCE with ROTATIONS, each row
// first weighted by WEIGHT(row, work row), into the first COLUMNS columns of
// DEST (NT rows, column by column; may be SOURCE itself). SLOTS hold
// kRowBlock rows each. False on cancel (DEST then partly written).
template <class Weight>
bool RowPass(const float* source, float* dest, std::int64_t columns, const FkTransform& t,
             const CoolRotations& rotations, PassSlots& slots, Pacing& pacing, Weight&& weight) {
  const std::size_t rowReals = 2 * static_cast<std::size_t>(t.NX);
  const auto block = [&](std::int64_t r0, std::int64_t count, float* rows) {
    for (std::int64_t m = 0; m < t.NX; ++m) {
      const float* column = source + Index(r0, m, t.NT);
      for (std::int64_t b = 0; b < count; ++b) {
        rows[b * rowReals + 2 * m] = column[2 * b];
        rows[b * rowReals + 2 * m + 1] = column[2 * b + 1];
      }
    }
    for (std::int64_t b = 0; b < count; ++b) {
      std::span<float> row(rows + b * rowReals, rowReals);
      weight(r0 + b, row);
      COOL(row, rotations);
    }
    for (std::int64_t m = 0; m < columns; ++m) {
      float* column = dest + Index(r0, m, t.NT);
      for (std::int64_t b = 0; b < count; ++b) {
        column[2 * b] = rows[b * rowReals + 2 * m];
        column[2 * b + 1] = rows[b * rowReals + 2 * m + 1];
      }
    }
  };
  return SharedSteps(t.NT, kRowBlock, slots, pacing, block);
}

bool SizesUsable(const FkTransform& t, int nsamp, int ntrace) {
  return t.NT >= 2 && t.NX >= 2 && nsamp >= 1 && ntrace >= 1 && nsamp <= t.NT && ntrace <= t.NX;
}

// Runs WORK(part, first, count) over 0..N - 1, one piece per thread of
// THREADS at most.
template <class Work>
void Split(std::int64_t n, int threads, Work&& work) {
  const std::int64_t parts = std::max<std::int64_t>(1, std::min<std::int64_t>(threads, n));
  sup::RunParts(static_cast<int>(parts), [&](int p) {
    const std::int64_t first = n * p / parts, last = n * (p + 1) / parts;
    work(p, first, last - first);
  });
}

}  // namespace

bool FkSetSizes(FkTransform& T, int NSAMP, int NTRACE) {
  if (NSAMP < 1 || NTRACE < 1) return false;
  const int mt = NfftExponent(2 * static_cast<std::int64_t>(NSAMP));
  const int mx = NfftExponent(2 * static_cast<std::int64_t>(NTRACE));
  if (mt + mx > kMostExponent) return false;
  T.MT = mt;
  T.NT = 1 << mt;
  T.MX = mx;
  T.NX = 1 << mx;
  T.NF = T.NT / 2;
  T.NK = T.NX;
  return true;
}

void FKSPECT(FkTransform& T, std::span<const float> TRACES, std::span<float> SPEC, int NSAMP,
             int NTRACE, int NTAPER, int& IERR, const FkProgress* PROGRESS) {
  FkTransform& t = T;
  t.PRESENT = false;
  decltype(t.DATA)().swap(t.DATA);
  if (!SizesUsable(t, NSAMP, NTRACE) ||
      TRACES.size() < static_cast<std::size_t>(NSAMP) * static_cast<std::size_t>(NTRACE) ||
      SPEC.size() < static_cast<std::size_t>(t.NF) * static_cast<std::size_t>(t.NX)) {
    IERR = -1;
    return;
  }
  const int threads = ThreadsFor(t);
  PassSlots traces, rows;
  CoolRotations down, across;
  // The transform is sized without being set: the threads of the time pass
  // write every value of it, each its own columns, so the memory is first
  // touched where it is filled.
  if (!sup::TryAllocation([&] {
        t.DATA.resize(2 * static_cast<std::size_t>(t.NT) * static_cast<std::size_t>(t.NX));
        SizeSlots(traces, threads, static_cast<std::size_t>(NSAMP));
        SizeSlots(rows, threads, 2 * static_cast<std::size_t>(t.NX) * kRowBlock);
      }) ||
      !MakeCoolRotations(down, t.MT, 1.0f) || !MakeCoolRotations(across, t.MX, 1.0f)) {
    decltype(t.DATA)().swap(t.DATA);
    sup::WINMSG(kNoSpectArrays);
    IERR = -1;
    return;
  }
  sup::LKILL(1);
  Pacing pacing(PROGRESS);
  const std::size_t columnReals = 2 * static_cast<std::size_t>(t.NT);
  // The columns beyond the traces are zero and stay so.
  Split(t.NX - NTRACE, threads, [&](int, std::int64_t first, std::int64_t count) {
    float* column = t.DATA.data() + (NTRACE + first) * static_cast<std::int64_t>(columnReals);
    std::fill_n(column, count * static_cast<std::int64_t>(columnReals), 0.0f);
  });
  StartPass(PROGRESS, "Time to Frequency");
  const auto forward = [&](std::int64_t j, std::int64_t, float* slot) {
    std::span<float> trace(slot, static_cast<std::size_t>(NSAMP));
    std::copy_n(TRACES.begin() + static_cast<std::ptrdiff_t>(j) * NSAMP, NSAMP, trace.begin());
    if (NTAPER > 0 && NTAPER < NSAMP / 2) TSMOO(trace, NSAMP, NTAPER);
    std::span<float> column(t.DATA.data() + j * columnReals, columnReals);
    for (int i = 0; i < NSAMP; ++i) {
      column[2 * static_cast<std::size_t>(i)] = trace[static_cast<std::size_t>(i)];
      column[2 * static_cast<std::size_t>(i) + 1] = 0.0f;
    }
    std::fill(column.begin() + 2 * static_cast<std::ptrdiff_t>(NSAMP), column.end(), 0.0f);
    COOL(column, down);
  };
  if (!SharedSteps(NTRACE, 1, traces, pacing, forward)) {
    IERR = -1;
    return;
  }
  StartPass(PROGRESS, "Distance to Wavenumber");
  if (!RowPass(t.DATA.data(), t.DATA.data(), t.NX, t, across, rows, pacing,
               [](std::int64_t, std::span<float>) {})) {
    IERR = -1;
    return;
  }
  t.PRESENT = true;

  // The power with the column halves swapped, then normalised by its largest
  // value; an all-zero record keeps an all-zero spectrum. Each thread takes
  // its own columns and finds their largest value; the largest of those is
  // the largest of all, whatever the split.
  const int half = t.NX / 2;
  const auto nf = static_cast<std::size_t>(t.NF);
  std::vector<float> largestOf(static_cast<std::size_t>(threads), 0.0f);
  Split(t.NX, threads, [&](int part, std::int64_t first, std::int64_t count) {
    float largest = 0.0f;
    for (std::int64_t k = first; k < first + count; ++k) {
      const std::int64_t source = k < half ? half + k : k - half;
      const float* column = t.DATA.data() + source * static_cast<std::int64_t>(columnReals);
      float* out = SPEC.data() + static_cast<std::size_t>(k) * nf;
      for (std::size_t r = 0; r < nf; ++r) {
        const float re = column[2 * r], im = column[2 * r + 1];
        const float p = re * re + im * im;
        out[r] = p;
        if (p > largest) largest = p;
      }
    }
    largestOf[static_cast<std::size_t>(part)] = largest;
  });
  float largest = 0.0f;
  for (const float p : largestOf)
    if (p > largest) largest = p;
  if (largest > 0.0f) {
    Split(static_cast<std::int64_t>(nf) * t.NX, threads, [&](int, std::int64_t first, std::int64_t count) {
      for (std::int64_t i = first; i < first + count; ++i) SPEC[static_cast<std::size_t>(i)] /= largest;
    });
  }
}

void FKTRACES(const FkTransform& T, std::span<float> TRACES, int NSAMP, int NTRACE, float DT,
              float DX, const FkFan& FAN, int& IERR, const FkProgress* PROGRESS) {
  const FkTransform& t = T;
  if (!t.PRESENT) {
    sup::WINMSG(kNoTransform);
    IERR = -1;
    return;
  }
  // Sizes set again since the transform was made may not fit what is kept.
  if (!SizesUsable(t, NSAMP, NTRACE) ||
      t.DATA.size() != 2 * static_cast<std::size_t>(t.NT) * static_cast<std::size_t>(t.NX) ||
      TRACES.size() < static_cast<std::size_t>(NSAMP) * static_cast<std::size_t>(NTRACE)) {
    IERR = -1;
    return;
  }
  // Only the columns of the traces come back: the row pass leaves the others
  // out of the work array and the column pass never transforms them.
  const int threads = ThreadsFor(t);
  PassSlots rows, none;
  CoolRotations across, up;
  std::vector<float, sup::UnsetAllocator<float>> work;
  if (!sup::TryAllocation([&] {
        SizeSlots(rows, threads, 2 * static_cast<std::size_t>(t.NX) * kRowBlock);
        SizeSlots(none, threads, 0);
        work.resize(2 * static_cast<std::size_t>(t.NT) * static_cast<std::size_t>(NTRACE));
      }) ||
      !MakeCoolRotations(across, t.MX, -1.0f) || !MakeCoolRotations(up, t.MT, -1.0f)) {
    sup::WINMSG(kNoTracesArray);
    IERR = -1;
    return;
  }
  const float df = 1000.0f / (static_cast<float>(t.NT - 1) * 2.0f * DT);
  const float dk = 1.0f / (static_cast<float>(t.NX - 1) * 2.0f * DX);
  std::array<float, 2> width{0.0f, 0.0f};
  for (int d = 0; d < 2; ++d)
    if (FAN.V[d] != 0.0f) width[d] = FAN.W[d] * FAN.V[d];

  sup::LKILL(1);
  Pacing pacing(PROGRESS);
  StartPass(PROGRESS, "Wavenumber to Distance");
  const std::int64_t nt = t.NT, nx = t.NX;
  auto weight = [&](std::int64_t r, std::span<float> w) {
    const bool positive = r < nt / 2;  // 1-based r <= NT/2
    const std::int64_t q = positive ? r : nt - r;
    for (int d = 0; d < 2; ++d) {
      if (FAN.V[d] == 0.0f) continue;
      const bool sameSigns = (d == 0) == positive;
      for (std::int64_t j = 1; j <= nx / 2 - 1; ++j) {
        const std::int64_t column = sameSigns ? j : nx - j;  // 0-based
        const float v = (static_cast<float>(q) * df) / (static_cast<float>(j) * dk);
        const float x = (v - FAN.V[d]) * kHalfPi / width[d];
        if (!(x > -kHalfPi && x < kHalfPi)) continue;
        const float g = 1.0f + (FAN.F[d] - 1.0f) * std::cos(x);
        w[2 * static_cast<std::size_t>(column)] *= g;
        w[2 * static_cast<std::size_t>(column) + 1] *= g;
      }
    }
  };
  if (!RowPass(t.DATA.data(), work.data(), NTRACE, t, across, rows, pacing, weight)) {
    IERR = -1;
    return;
  }
  StartPass(PROGRESS, "Frequency to Time");
  const std::size_t columnReals = 2 * static_cast<std::size_t>(t.NT);
  const auto inverse = [&](std::int64_t m, std::int64_t, float*) {
    COOL(std::span<float>(work.data() + m * columnReals, columnReals), up);
  };
  if (!SharedSteps(NTRACE, 1, none, pacing, inverse)) {
    IERR = -1;
    return;
  }
  // TRACES is written only once the run can no longer be cancelled.
  const float scale = static_cast<float>(t.NT) * static_cast<float>(t.NX);
  Split(NTRACE, threads, [&](int, std::int64_t first, std::int64_t count) {
    for (std::int64_t j = first; j < first + count; ++j)
      for (int i = 0; i < NSAMP; ++i)
        TRACES[static_cast<std::size_t>(j) * NSAMP + i] = work[Index(i, j, t.NT)] / scale;
  });
}

}  // namespace vel
