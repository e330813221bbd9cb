#pragma once
// The spectrum and impulse-response plots of the band-pass and spectrum
// windows: SCALE_SPEC and PLOTSPEC scale and draw a normalised spectrum
// against frequency in Hz and, on request, the band-pass response through its
// corner handles; WAVELET computes the impulse response of the band-pass
// filter, SCALE_WAVE and PLOTWAVELET scale and draw it. Drawing goes through
// the pen plotter into the current window or hardcopy page (the caller starts
// the page).
#include <array>
#include <cstdint>
#include <span>

#include "display/Spectrum.h"
#include "support/GraphAxes.h"

namespace vel {

/// The corner handles PLOTSPEC drew last: x in Hz and y on the 0..1 axis,
/// 6 for one band, 12 for two (handles 1..6 band 1, 7..12 band 2).
struct SpectrumHandles {
  std::array<float, 12> x{};
  std::array<float, 12> y{};
  int count = 0;
};

/// What the spectrum plots share with the band-pass window: the filter, the
/// Nyquist frequency of the record on show (Hz), the handles and the upper
/// frequency of the spectrum axis, kept from one SCALE_SPEC to the next.
struct BandpassState {
  BandpassFilter filter;
  float nyquist = 0.0f;
  SpectrumHandles handles;
  float upperFrequency = 0.0f;
};

/// The spectrum frame for M values at sample interval DT ms: x from 0 Hz to
/// a tidy end at or above the highest frequency whose value reaches 1 % of
/// the largest (or the top corner of the filter, whichever is higher), y from
/// 0 to 1, origin (1.25, 1.25), 8 by 6, bottom and left axes labelled.
/// Stores the Nyquist frequency 1000 / (2 DT) in BP.
void SCALE_SPEC(float DT, std::span<const float> SPEC, int M, sup::GraphAxes& AXES, BandpassState& BP);

/// Draws the frame with "Amplitude" and "Frequency (Hz)", the spectrum in pen
/// 11 with value k at (k - 1) 1000 / |2 DT (M - 1)| Hz (the last value on the
/// Nyquist frequency) and, when DT >= 0, the band-pass response in pen 4
/// through the corner handles, which it records in BP.
void PLOTSPEC(std::span<const float> SPEC, int M, float DT, sup::GraphAxes& AXES, BandpassState& BP);

/// W(1..N) := the impulse response of FILTER: a spike at sample N/2 filtered
/// with FILTRACE (taper NT), scaled so that the largest magnitude is 1 and
/// then, when the deepest trough lies below -0.5, so that it is -0.5. An
/// all-zero response stays zero. SCRATCH(1..N) is overwritten. N < 2 or
/// arrays shorter than N leave both alone.
void WAVELET(std::span<float> SCRATCH, std::span<float> W, int N, int NT, const BandpassFilter& FILTER);

/// The impulse frame for N samples: one x division over the central half of
/// the sample numbers (from 0), y tidy over -0.5..1, no axis labelled.
void SCALE_WAVE(std::span<const float> W, int N, sup::GraphAxes& AXES);

/// Draws the frame and W(1..N) in pen 4 against the sample number i - 1.
void PLOTWAVELET(std::span<const float> W, int N, sup::GraphAxes& AXES);

}  // namespace vel
