#include "display/PickAll.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <span>
#include <utility>
#include <vector>

#include "display/BoxPicker.h"
#include "display/WaveletPicker.h"
#include "support/Allocation.h"
#include "support/Numerics.h"
#include "support/Parallel.h"
#include "support/UserMessages.h"

namespace vel {

namespace {

// Traces a thread takes at a time: enough to outweigh taking them, few
// enough that the threads finish together.
constexpr std::size_t kTracesPerBlock = 4;
// Samples of a record worth one more thread.
constexpr long long kMinPartSamples = 64 * 1024;
constexpr int kMostThreads = 16;

}  // namespace

void PickTraces(ShotRecord& REC, PickingState& STATE, std::int32_t METHOD) {
  if (METHOD < kPickSimple || METHOD > kPickWavelet) return;
  const PickParameters& pars = STATE.parameters;
  const std::size_t traces = std::min(
      {static_cast<std::size_t>(std::max(REC.NTRACE, 0)), REC.IBPICK.size(), REC.TRACEMAX.size()});
  const SelectedWavelet& wavelet = STATE.wavelet;
  const std::int32_t waveletCount = std::min<std::int32_t>(
      wavelet.count, static_cast<std::int32_t>(std::min<std::size_t>(wavelet.samples.size(), 1u << 30)));
  // Each trace is picked on its own: the traces are shared out between
  // threads in blocks, each thread with its own correlation array; the
  // picks are those of one trace after another. Messages wait for the end,
  // as only the calling thread may show them.
  const long long samples = static_cast<long long>(traces) * std::max(REC.NSAMP, 0);
  const int threads = sup::PartsFor(samples, kMinPartSamples, kMostThreads);
  std::vector<std::vector<float>> correlations(static_cast<std::size_t>(threads));
  std::vector<char> noMemory(traces, 0);
  const std::size_t blocks = (traces + kTracesPerBlock - 1) / kTracesPerBlock;
  std::atomic<std::size_t> next{0};
  const auto pickOne = [&](std::size_t j, std::vector<float>& xc) {
    const std::span<const float> trace = Trace(std::as_const(REC), static_cast<std::int32_t>(j));
    if (trace.empty()) return;
    const std::int32_t ns = static_cast<std::int32_t>(trace.size());
    const float trmax = std::fabs(REC.TRACEMAX[j - 1]);
    std::int32_t& pick = REC.IBPICK[j - 1];
    bool refine = false;
    switch (METHOD) {
      case kPickSimple:
        PICKSV(trace, ns, trmax, pick, pars.simple.SVMININC, pars.simple.SVSPIKE,
               STATE.pulseSamples);
        refine = pars.simple.LSVREFINE;
        break;
      case kPickHatherly: {
        float noise = trmax * pars.hatherly.HLYNOISE;
        PICKHLY(trace, ns, noise, pick, 1, ns);
        break;
      }
      case kPickBox: {
        std::int32_t start = 5;
        bool failed = false;
        PICKBX(trace, ns, start, ns, REC.SAMPINT, pick, pars.box, &failed);
        noMemory[j - 1] = failed ? 1 : 0;
        refine = pars.box.LBXREFINE;
        break;
      }
      case kPickWavelet: {
        if (xc.size() < trace.size() && !sup::TryAssign(xc, trace.size(), 0.0f)) {
          pick = 0;  // no room for the correlation: no pick
          return;
        }
        CROSSCOR(xc, trace, ns, wavelet.samples, waveletCount);
        float amin = 1e30f, amax = -1e30f;
        sup::FINDNX(xc, ns, amin, amax);
        const float largest = std::fabs(amin) > amax ? std::fabs(amin) : std::fabs(amax);
        PICKWV(xc, ns, largest, pick, pars.wavelet.WVGROWTH, pars.wavelet.WVMINAMP,
               pars.wavelet.WVSIDE, STATE.pulseSamples);
        refine = pars.wavelet.LWVREFINE;
        break;
      }
      default:
        break;
    }
    if (refine && pick > 0) REFINEP(trace, ns, pick);
  };
  sup::RunParts(
      threads,
      [&](int part) {
        std::vector<float>& xc = correlations[static_cast<std::size_t>(part)];
        for (std::size_t b = next.fetch_add(1); b < blocks; b = next.fetch_add(1)) {
          const std::size_t last = std::min(traces, (b + 1) * kTracesPerBlock);
          for (std::size_t j = b * kTracesPerBlock + 1; j <= last; ++j) pickOne(j, xc);
        }
      },
      threads);
  for (const char failed : noMemory)
    if (failed) sup::WINMSG("Allocation failure in PickBx");
  // The correlation kept is the last trace's, as when the traces are taken
  // one after another.
  if (METHOD == kPickWavelet) {
    for (std::size_t j = traces; j >= 1; --j) {
      const std::span<const float> trace = Trace(std::as_const(REC), static_cast<std::int32_t>(j));
      if (trace.empty()) continue;
      std::vector<float>& xc = STATE.correlation;
      if (xc.size() < trace.size() && !sup::TryAssign(xc, trace.size(), 0.0f)) break;
      CROSSCOR(xc, trace, static_cast<std::int32_t>(trace.size()), wavelet.samples, waveletCount);
      break;
    }
  }
}

}  // namespace vel
