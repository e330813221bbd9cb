#pragma once
// Small numeric helpers over REAL (32-bit) and integer arrays: range finding,
// sums and averages that skip missing values, table interpolation, a loose
// equality test, a NaN test, sorting of parallel arrays, shifts and clearing.
//
// N is the number of elements to use (the first N of each array); it is never
// taken beyond an array's size. N of 0 or less does nothing or gives 0.
// A value above 1e10 is a missing value.
#include <cstddef>
#include <cstdint>
#include <span>

namespace sup {

/// Values above this are missing.
constexpr float kMissingAbove = 1e10f;

/// Extends AMIN and AMAX over the usable values of A(1:N): NaN, |v| > 1e15
/// and non-zero |v| < 1e-30 are skipped. The caller seeds AMIN and AMAX.
void FINDNX(std::span<const float> A, int N, float& AMIN, float& AMAX);
/// Sum of A(1:N), accumulated in double and rounded once.
float SUMOF(std::span<const float> A, int N);
/// Sum of A(1:N) in double, for callers that go on working in double (a mean
/// taken off samples that sit on a large offset).
double SumInDouble(std::span<const float> A, int N);
/// Mean of the values of A(1:N) that are not missing; 0 when none. Summed in
/// double.
float AVGOF(std::span<const float> A, int N);
/// Y interpolated linearly at XV in the table X(1:N), Y(1:N); the end values
/// outside the table; interpolation never crosses a missing value.
float TERPOL(std::span<const float> X, std::span<const float> Y, int N, float XV);
/// TERPOL for a run of values XV that never decrease, bit for bit the same
/// result: NODE (0 before the first value) carries the nearest node of the
/// table from one call to the next, so that a pass over a rising table costs
/// a step or two per value instead of a search of the whole table. X(1:N)
/// must rise strictly (the caller checks it once); a table whose ends do not
/// rise, or a NaN, takes TERPOL's own search.
float TerpolRising(std::span<const float> X, std::span<const float> Y, int N, float XV,
                   std::size_t& NODE);
/// A and B agree within a relative tolerance of 1e-6 (never for NaN).
bool LNLYEQ(float A, float B);
/// X is NaN.
bool LEQNAN(float X);
/// Sorts the first N entries ascending by A (stable), moving the entries of
/// the first M arrays together (M = 1: A only, ..., 5 or more: all five).
/// Arrays beyond M are not touched and may be empty.
void ORDER5(std::span<float> A, std::span<float> B, std::span<float> C, std::span<float> D,
            std::span<float> E, int N, int M);
/// Shifts A(1:N) K places right (K > 0) or left (K < 0), zero-filling;
/// nothing when K = 0 or |K| >= N.
void SHIFTF(std::span<float> A, int N, int K);
void SHIFTI(std::span<std::int32_t> IA, int N, int K);
void SHIFTI2(std::span<std::int16_t> I2, int N, int K);
/// Sets A(1:N) to 0.
void ERASE(std::span<float> A, int N);
void ERASEI(std::span<std::int32_t> IA, int N);

}  // namespace sup
