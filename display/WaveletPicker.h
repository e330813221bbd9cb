#pragma once
// The wavelet first-break picker: CROSSCOR correlates a trace with the
// wavelet the user cut out of a trace, PICKWV finds the first strong,
// balanced peak-and-trough pattern of that correlation. REFINEP moves a pick
// to the first sample where the trace leaves its noise band for good.
//
// Arrays are counted from 1 as the pickers count; a count beyond a span's
// length is taken as its length, and nothing is read or written outside.
#include <cstdint>
#include <span>

namespace vel {

/// The trim fraction REFINEP leaves out at each end of the sorted window
/// (one sixth in 32-bit precision), its passes, half window and run length.
inline constexpr float kRefineTrimFraction = 0.1666667f;
inline constexpr std::int32_t kRefinePasses = 5;
inline constexpr std::int32_t kRefineHalfWindow = 50;
inline constexpr std::int32_t kRefineRun = 16;

/// Pulse width in samples for PICKWV: max(3, (COUNT + 3) / 4), a quarter of
/// the wavelet length rounded up.
std::int32_t WaveletPulseSamples(std::int32_t COUNT);

/// OUT(i) = (TR(i) WAV(1) + ... + TR(i+M-1) WAV(M)) / M for i = 1..NS - M,
/// OUT(NS-M+1..NS) = 0. A wavelet as long as the trace or longer (or empty)
/// gives all zeros.
void CROSSCOR(std::span<float> OUT, std::span<const float> TR, std::int32_t NS,
              std::span<const float> WAV, std::int32_t M);

/// Wavelet picker on the correlation XC(1..NS): AMAX the largest correlation
/// magnitude, NP the pulse width in samples. IPICK: the pick or 0 (none
/// found, NS <= 7 NP, or NP < 1).
void PICKWV(std::span<const float> XC, std::int32_t NS, float AMAX, std::int32_t& IPICK,
            float GROWTH, float MINFRAC, float SIDE, std::int32_t NP);

/// Refines pick IPICK (above 0) of trace TR(1..NS) in up to five passes. The
/// window and the runs stay inside the trace: the window is shortened near
/// its end, and a candidate whose run would pass NS is not taken. A pick
/// outside 1..NS is left as it is.
void REFINEP(std::span<const float> TR, std::int32_t NS, std::int32_t& IPICK);

}  // namespace vel
