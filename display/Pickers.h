#pragma once
// Automatic first-break picking: the simple picker PICKSV and the Hatherly
// picker PICKHLY, each on the samples of one trace, the picking method and
// parameter groups the shell holds for the run, the step that picks the
// unpicked traces after every import, and four signal routines of the
// picking module (smoothing, Hilbert transform, instantaneous frequency).
//
// A pick is a sample index counted from 1; 0 or less means no pick. Traces
// are passed as spans; a count NS beyond the span's length is taken as the
// length, so no routine reads outside what it is given. The pickers report
// nothing: a trace without a first break, or one outside a picker's reach,
// yields 0.
#include <cstdint>
#include <span>
#include <vector>

#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// Which picker the shell runs over all traces ("Repick Now" sets 1-4).
enum PickMethod : std::int32_t {
  kPickNone = 0,        // none chosen: at start-up and after OK or Cancel
  kPickSimple = 1,      // PICKSV
  kPickHatherly = 2,    // PICKHLY
  kPickBox = 3,         // box picker
  kPickWavelet = 4,     // wavelet picker
  kPickRefineOnly = 5,  // refine the existing picks only
};

/// Simple picker group. Fractions are of the trace maximum.
struct SimplePickParameters {
  float SVMININC = 0.043f;  // step tolerance
  float SVSPIKE = 0.033f;   // amplitude threshold
  float SVPULSE = 3.0f;     // pulse width, ms
  bool LSVREFINE = false;   // refine every new pick above 0
};

/// Hatherly picker group.
struct HatherlyPickParameters {
  float HLYNOISE = 0.0191f;  // noise level, fraction of the trace maximum
};

/// Box picker group.
struct BoxPickParameters {
  float BXPERMIN = 7.0f;        // shortest box length, ms
  float BXPERMAX = 15.0f;       // longest box length, ms
  float BXTOL = 5.0f;           // tolerance, ms
  float BXTHRESH = 5.0f;        // threshold, percent of the maximum
  float BXAVGPCT = 30.0f;       // threshold, percent of the average of the maxima
  std::int32_t IBXMAXIMA = 10;  // most maxima kept per box length
  std::int32_t IBXSTEPS = 10;   // steps between the shortest and longest box length
  std::int32_t IBXCYCLES = 1;   // box lengths to move the pick back
  bool LBXPOWER = true;         // work on signed power instead of amplitude
  bool LBXAVERAGE = true;       // threshold from the average of the maxima
  bool LBXREFINE = false;       // refine every new pick above 0
};

/// Wavelet picker group.
struct WaveletPickParameters {
  float WVGROWTH = 4.0f;   // factor a later candidate must reach over the last accepted one
  float WVMINAMP = 0.1f;   // least amplitude, fraction of the largest correlation magnitude
  float WVSIDE = 0.05f;    // largest sidelobe imbalance, fraction
  bool LWVREFINE = false;  // refine every new pick above 0
};

/// The parameters of the four pickers. The member initialisers are the
/// values at start-up; nothing stores them between runs.
struct PickParameters {
  SimplePickParameters simple;
  HatherlyPickParameters hatherly;
  BoxPickParameters box;
  WaveletPickParameters wavelet;
};

/// The wavelet the user cut out of a trace, which the wavelet picker
/// correlates with every trace and the wavelet window shows.
struct SelectedWavelet {
  std::vector<float> samples;     // allocated to the count at each cut
  std::int32_t count = 0;         // number of samples
  float sampleInterval = 0.1f;    // ms, SAMPINT of the record at the cut
  bool normalise = false;         // divide by the sum of the samples at the cut
  bool taper = false;             // cosine taper from 1 at the first sample to 0 at the last
  bool selected = false;          // a wavelet has been cut
};

/// What the shell keeps about picking for the whole run.
struct PickingState {
  std::int32_t method = kPickNone;  // a PickMethod
  PickParameters parameters;
  std::int32_t pulseSamples = 0;    // pulse width in samples for PICKSV and PICKWV
  std::vector<float> correlation;   // one trace's cross-correlation with the wavelet
  SelectedWavelet wavelet;
  sup::GraphAxes waveletAxes;       // the wavelet window's frame
  bool waveletSelection = false;    // the next rubber box cuts a wavelet
  bool savedZoom = false;           // the zoom mode before the selection began
  std::int32_t parameterPage = 103; // the picking dialog's page left open last
};

/// Pulse width in samples for PICKSV: max(3, NINT(SVPULSE / SAMPINT)), halves
/// away from zero. A sample interval that is not above 0 (or not finite) gives
/// 3, as does a result that is not finite; a huge quotient saturates.
std::int32_t SimplePulseSamples(float SVPULSE, float SAMPINT);

/// Simple picker. IPICK receives the first i (1..NS - 2 NP) where, with
/// T1 = TRMAX FINC + 1.5 and T2 = TRMAX FSPIKE + 1.5, either every step
/// TR(i+k+1) - TR(i+k) is below T1 and every sample TR(i+NP-1+k) below -T2
/// (k = 0..NP), or every step is above -T1 and every sample above T2; 0 when
/// none, when NS <= 2 NP, or when NP < 1.
void PICKSV(std::span<const float> TR, std::int32_t NS, float TRMAX, std::int32_t& IPICK,
            float FINC, float FSPIKE, std::int32_t NP);

/// Hatherly picker over the candidates ISTART..IEND (clamped to 1..NS).
/// NOISE: the noise level in trace units, in and out (raised in the first
/// pass, halved before each later one). IPICK: the pick, within ISTART..IEND,
/// or 0. A trace of 12 samples or fewer (all cleared before picking), a
/// negative or NaN noise level, or an empty candidate range gives 0 and
/// leaves NOISE as it was.
void PICKHLY(std::span<const float> TR, std::int32_t NS, float& NOISE, std::int32_t& IPICK,
             std::int32_t ISTART, std::int32_t IEND);

/// The step after every import: runs PICKSV with the simple group PARS (no
/// refinement) on every trace 1..NTRACE whose IBPICK is 0 or less, with NP
/// from SimplePulseSamples and the trace maximum |TRACEMAX(j)|, and sets
/// LPICKS. Traces that came with a pick keep it; a trace whose samples or
/// per-trace values the record does not hold is left alone.
void AutoPickUnpicked(ShotRecord& REC, const SimplePickParameters& PARS);

// ---- Signal routines of the picking module ----

/// 1-3-1 smoothing: OUT(i) = (IN(i-1) + 3 IN(i) + IN(i+1)) / 5 for
/// i = 3..N-2; OUT(1), OUT(2), OUT(N-1), OUT(N) are copied from IN.
void MWA(std::span<float> OUT, std::span<const float> IN, std::int32_t N);

/// Hilbert transform by M odd terms: OUT(i) = sum over b = 1, 3, .., 2M-1 of
/// IN(i+b)/b where i+b < N, minus IN(i-b)/b where i-b >= 1.
void HILBERT(std::span<float> OUT, std::span<const float> IN, std::int32_t N, std::int32_t M);

/// Instantaneous frequency of X with its Hilbert transform H, by central
/// differences, for i = 2..N-1; OUT(1) = OUT(2), OUT(N) = OUT(N-1). Where X(i)
/// and H(i) are both 0 the result is 0; for N < 3 every OUT(1..N) is 0.
void IFREQ(std::span<float> OUT, std::span<const float> X, std::span<const float> H,
           std::int32_t N);

/// Placeholder of an instantaneous-frequency picker; does nothing.
void PICKIF(std::span<const float> TR, std::int32_t NS, std::int32_t& IPICK);

}  // namespace vel
