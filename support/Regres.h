#pragma once
// Least-squares straight lines Y = A + B * X through point sets.
#include <span>

namespace sup {

/// A (intercept) and B (slope) of the least-squares line through the first N
/// points; R := the RMS misfit when N > 2, else 0. Fewer than two points or
/// all X equal give the neutral line A = 0, B = 1, R = 0.
void REGRES(std::span<const float> X, std::span<const float> Y, int N, float& A, float& B,
            float& R);

/// RMS misfit of the line Y = A + B * X over the first N points; 9999.0 when
/// the sum of squares is NaN; 0 when N <= 0.
float FITCHK(std::span<const float> X, std::span<const float> Y, int N, float A, float B);

}  // namespace sup
