#include "display/PickAll.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>
#include <vector>

#include "display/BoxPicker.h"
#include "display/WaveletPicker.h"
#include "support/Allocation.h"
#include "support/Numerics.h"

namespace vel {

void PickTraces(ShotRecord& REC, PickingState& STATE, std::int32_t METHOD) {
  if (METHOD < kPickSimple || METHOD > kPickWavelet) return;
  const PickParameters& pars = STATE.parameters;
  const std::size_t traces = std::min(
      {static_cast<std::size_t>(std::max(REC.NTRACE, 0)), REC.IBPICK.size(), REC.TRACEMAX.size()});
  const SelectedWavelet& wavelet = STATE.wavelet;
  const std::int32_t waveletCount = std::min<std::int32_t>(
      wavelet.count, static_cast<std::int32_t>(std::min<std::size_t>(wavelet.samples.size(), 1u << 30)));
  for (std::size_t j = 1; j <= traces; ++j) {
    const std::span<const float> trace = Trace(std::as_const(REC), static_cast<std::int32_t>(j));
    if (trace.empty()) continue;
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
        PICKBX(trace, ns, start, ns, REC.SAMPINT, pick, pars.box);
        refine = pars.box.LBXREFINE;
        break;
      }
      case kPickWavelet: {
        std::vector<float>& xc = STATE.correlation;
        if (xc.size() < trace.size() && !sup::TryAssign(xc, trace.size(), 0.0f)) {
          pick = 0;  // no room for the correlation: no pick
          continue;
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
  }
}

}  // namespace vel
