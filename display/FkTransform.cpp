#include "display/FkTransform.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "display/Spectrum.h"
#include "support/Allocation.h"
#include "support/Parallel.h"
#include "support/ProgramState.h"
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

// Reports step STEP of STEPS and polls for cancel; true when the user
// cancelled (the latch is then cleared again).
bool StepCancelled(const FkProgress* progress, std::int64_t step, std::int64_t steps) {
  if (progress && progress->step)
    progress->step(static_cast<int>(std::lround(100.0 * static_cast<double>(step) /
                                                static_cast<double>(steps))));
  if (!sup::LKILL(0)) return false;
  sup::LKILL(1);
  return true;
}

std::size_t Index(std::int64_t row, std::int64_t col, std::int64_t nt) {
  return 2 * static_cast<std::size_t>(col * nt + row);
}

// Rows gathered at a time by the row pass: consecutive rows of one column are
// adjacent in memory, so a block reads and writes whole cache lines.
constexpr std::int64_t kRowBlock = 16;

// The passes share their rows (or columns) out between threads, one part per
// so many bytes of the transform, a round of parts at a time; after each
// round the calling thread reports the steps done and polls for cancel, so
// only it touches the user interface and a cancel waits for one round only.
constexpr long long kMinPartBytes = 64 * 1024;
constexpr int kMostThreads = 16;
constexpr int kPartsPerThread = 2;

// The threads worth using on the transform T.
int ThreadsFor(const FkTransform& t) {
  return sup::PartsFor(8LL * t.NT * t.NX, kMinPartBytes, kMostThreads);
}

// Work space of the parts of one round: one slot per part.
struct PassSlots {
  int parts = 1;           // parts per round
  std::size_t reals = 0;   // floats per slot
  std::vector<float, sup::UnsetAllocator<float>> data;
  float* Slot(int part) { return data.data() + static_cast<std::size_t>(part) * reals; }
};

// Sizes SLOTS for THREADS threads with REALS floats a part (may throw
// std::bad_alloc: callers size it inside TryAllocation).
void SizeSlots(PassSlots& slots, int threads, std::size_t reals) {
  slots.parts = threads * kPartsPerThread;
  slots.reals = reals;
  slots.data.resize(static_cast<std::size_t>(slots.parts) * reals);
}

// Runs STEP(first, count, slot) over steps 0..STEPS - 1, ITEMS steps a part,
// on THREADS threads, a round of SLOTS.parts parts at a time; after each
// round reports every step of it and polls for cancel. False on cancel.
template <class Step>
bool SharedSteps(std::int64_t steps, std::int64_t items, int threads, PassSlots& slots,
                 const FkProgress* progress, Step&& step) {
  const std::int64_t perRound = items * slots.parts;
  for (std::int64_t r0 = 0; r0 < steps; r0 += perRound) {
    const std::int64_t inRound = std::min(perRound, steps - r0);
    const auto parts = static_cast<int>((inRound + items - 1) / items);
    sup::RunParts(
        parts,
        [&](int p) {
          const std::int64_t first = r0 + p * items;
          step(first, std::min(items, r0 + inRound - first), slots.Slot(p));
        },
        threads);
    for (std::int64_t s = r0; s < r0 + inRound; ++s)
      if (StepCancelled(progress, s + 1, steps)) return false;
  }
  return true;
}

// Transforms every row of the NT x NX array SOURCE with ROTATIONS, each row
// first weighted by WEIGHT(row, work row), into the first COLUMNS columns of
// DEST (NT rows, column by column; may be SOURCE itself). SLOTS hold
// kRowBlock rows each. False on cancel (DEST then partly written).
template <class Weight>
bool RowPass(const float* source, float* dest, std::int64_t columns, const FkTransform& t,
             const CoolRotations& rotations, int threads, PassSlots& slots,
             const FkProgress* progress, Weight&& weight) {
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
  return SharedSteps(t.NT, kRowBlock, threads, slots, progress, block);
}

bool SizesUsable(const FkTransform& t, int nsamp, int ntrace) {
  return t.NT >= 2 && t.NX >= 2 && nsamp >= 1 && ntrace >= 1 && nsamp <= t.NT && ntrace <= t.NX;
}

}  // namespace

FkTransform& StoredFkTransform() {
  thread_local FkTransform t;
  return t;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(sup::ProgramLayer::Display,
                                                   [] { StoredFkTransform() = FkTransform{}; });
}  // namespace

bool FkSetSizes(int NSAMP, int NTRACE) {
  if (NSAMP < 1 || NTRACE < 1) return false;
  const int mt = NfftExponent(2 * static_cast<std::int64_t>(NSAMP));
  const int mx = NfftExponent(2 * static_cast<std::int64_t>(NTRACE));
  if (mt + mx > kMostExponent) return false;
  FkTransform& t = StoredFkTransform();
  t.MT = mt;
  t.NT = 1 << mt;
  t.MX = mx;
  t.NX = 1 << mx;
  t.NF = t.NT / 2;
  t.NK = t.NX;
  return true;
}

void FKSPECT(std::span<const float> TRACES, std::span<float> SPEC, int NSAMP, int NTRACE,
             int NTAPER, int& IERR, const FkProgress* PROGRESS) {
  FkTransform& t = StoredFkTransform();
  t.PRESENT = false;
  std::vector<float>().swap(t.DATA);
  if (!SizesUsable(t, NSAMP, NTRACE) ||
      TRACES.size() < static_cast<std::size_t>(NSAMP) * static_cast<std::size_t>(NTRACE) ||
      SPEC.size() < static_cast<std::size_t>(t.NF) * static_cast<std::size_t>(t.NX)) {
    IERR = -1;
    return;
  }
  const int threads = ThreadsFor(t);
  PassSlots traces, rows;
  CoolRotations down, across;
  if (!sup::TryAllocation([&] {
        t.DATA.assign(2 * static_cast<std::size_t>(t.NT) * static_cast<std::size_t>(t.NX), 0.0f);
        SizeSlots(traces, threads, static_cast<std::size_t>(NSAMP));
        SizeSlots(rows, threads, 2 * static_cast<std::size_t>(t.NX) * kRowBlock);
      }) ||
      !MakeCoolRotations(down, t.MT, 1.0f) || !MakeCoolRotations(across, t.MX, 1.0f)) {
    std::vector<float>().swap(t.DATA);
    sup::WINMSG(kNoSpectArrays);
    IERR = -1;
    return;
  }
  sup::LKILL(1);
  StartPass(PROGRESS, "Time to Frequency");
  const std::size_t columnReals = 2 * static_cast<std::size_t>(t.NT);
  const auto forward = [&](std::int64_t j, std::int64_t, float* slot) {
    std::span<float> trace(slot, static_cast<std::size_t>(NSAMP));
    std::copy_n(TRACES.begin() + static_cast<std::ptrdiff_t>(j) * NSAMP, NSAMP, trace.begin());
    if (NTAPER > 0 && NTAPER < NSAMP / 2) TSMOO(trace, NSAMP, NTAPER);
    std::span<float> column(t.DATA.data() + j * columnReals, columnReals);
    for (int i = 0; i < NSAMP; ++i) column[2 * static_cast<std::size_t>(i)] = trace[static_cast<std::size_t>(i)];
    COOL(column, down);
  };
  if (!SharedSteps(NTRACE, 1, threads, traces, PROGRESS, forward)) {
    IERR = -1;
    return;
  }
  StartPass(PROGRESS, "Distance to Wavenumber");
  if (!RowPass(t.DATA.data(), t.DATA.data(), t.NX, t, across, threads, rows, PROGRESS,
               [](std::int64_t, std::span<float>) {})) {
    IERR = -1;
    return;
  }
  t.PRESENT = true;

  // The power with the column halves swapped, then normalised by its largest
  // value; an all-zero record keeps an all-zero spectrum.
  const int half = t.NX / 2;
  float largest = 0.0f;
  for (int k = 0; k < t.NX; ++k) {
    const int source = k < half ? half + k : k - half;
    for (int r = 0; r < t.NF; ++r) {
      const std::size_t i = Index(r, source, t.NT);
      const float re = t.DATA[i], im = t.DATA[i + 1];
      const float p = re * re + im * im;
      SPEC[static_cast<std::size_t>(k) * t.NF + r] = p;
      if (p > largest) largest = p;
    }
  }
  if (largest > 0.0f) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(t.NF) * t.NX; ++i) SPEC[i] /= largest;
  }
}

void FKTRACES(std::span<float> TRACES, int NSAMP, int NTRACE, float DT, float DX,
              const FkFan& FAN, int& IERR, const FkProgress* PROGRESS) {
  const FkTransform& t = StoredFkTransform();
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
  if (!RowPass(t.DATA.data(), work.data(), NTRACE, t, across, threads, rows, PROGRESS, weight)) {
    IERR = -1;
    return;
  }
  StartPass(PROGRESS, "Frequency to Time");
  const std::size_t columnReals = 2 * static_cast<std::size_t>(t.NT);
  const auto inverse = [&](std::int64_t m, std::int64_t, float*) {
    COOL(std::span<float>(work.data() + m * columnReals, columnReals), up);
  };
  if (!SharedSteps(NTRACE, 1, threads, none, PROGRESS, inverse)) {
    IERR = -1;
    return;
  }
  const float scale = static_cast<float>(t.NT) * static_cast<float>(t.NX);
  for (int j = 0; j < NTRACE; ++j)
    for (int i = 0; i < NSAMP; ++i)
      TRACES[static_cast<std::size_t>(j) * NSAMP + i] = work[Index(i, j, t.NT)] / scale;
}

}  // namespace vel
