#pragma once
// Two-pole recursive filters for one trace: RECFIL designs a low-pass,
// high-pass, band-pass or notch filter from one pole pair and one zero pair
// and applies it with RECURF, forward only or forward and backward (zero
// phase); ABSZP is the pole-radius rule on its own. Frequencies and the
// sample interval are in reciprocal units of each other (Hz with seconds).
#include <cstdint>
#include <span>

namespace vel {

/// The filter RECFIL designed last, which RECURF applies: the zero (real and
/// imaginary part, magnitude term), the pole (likewise) and the output gain.
struct RecursiveFilterDesign {
  float zr = 1.0f, zi = 0.0f, zm = 1.0f;
  float pr = 1.01f, pi = 0.0f, pm = 1.01f;
  float g = 1.0f;
};
/// The module's design, read by RECURF and set by RECFIL.
RecursiveFilterDesign& RecursiveFilterState();

/// Designs the filter and runs RECURF(X, N, FLAG). TYPE: 'L' low-pass, 'H'
/// high-pass, 'B' band-pass, 'N' notch, any other character designs as 'H'.
/// F0: the centre frequency for 'B' and 'N'; set to 0 for the others. F1: the
/// cut-off frequency ('L', 'H') or the band width ('B', 'N'). FLAG: add the
/// backward pass. "BANDWIDTH TOO NARROW" when the pole radius comes below
/// 1.01 (it becomes 1.01).
void RECFIL(std::span<float> X, std::int32_t N, float DT, char TYPE, float& F0, float F1, bool FLAG);

/// The pole radius for angle W (radians) and width factor B:
/// sqrt((1 - c) 2 / B + c^2 - 1) + c with c = cos W; "BANDWIDTH TOO WIDE" and
/// 100 when the root has no real value, "BANDWIDTH TOO NARROW" and 1.01 when
/// the radius is below 1.01.
float ABSZP(float W, float B);

/// Applies the stored filter to X(1..N) in place (N cut to X): nothing for
/// N < 2; the forward recursion, then the gain; with FLAG the backward pass
/// over the result, then the gain once more. With N = 2 neither the gain nor
/// the backward pass applies.
void RECURF(std::span<float> X, std::int32_t N, bool FLAG);

}  // namespace vel
