#pragma once
// The one-dimensional frequency-domain toolbox: the in-place radix-2 complex
// FFT COOL, the raised-cosine end taper TSMOO, the normalised power spectrum
// of one trace SPECTRUM and the zero-phase trapezoid band-pass FILTRACE.
//
// Conventions. Samples are 32-bit reals. A transform runs over NFFT complex
// values stored as interleaved (real, imaginary) pairs; element e (1-based)
// holds frequency index e - 1 after the forward transform, element NFFT/2 + 1
// is the Nyquist element and element NFFT + 2 - e the negative-frequency
// partner of element e (2 <= e <= NFFT/2). COOL with +1 is the program's
// forward transform, -1 the inverse; neither scales, so callers divide the
// inverse by NFFT.
#include <cstdint>
#include <span>
#include <vector>

namespace vel {

/// The band-pass corners as fractions of the Nyquist frequency (1.0 = the
/// Nyquist frequency): low-cut start, low-cut end, high-cut start and high-cut
/// end of band 1 (Freq1..Freq4) and of band 2 (Freq5..Freq8), and the end
/// taper as a fraction of the trace length. The settings file keeps them.
struct BandpassSettings {
  float Freq1 = 0.005f, Freq2 = 0.01f, Freq3 = 0.08f, Freq4 = 0.11f;
  float Freq5 = 0.2f, Freq6 = 0.23f, Freq7 = 0.3f, Freq8 = 0.42f;
  float FSmooth = 0.1f;
  bool operator==(const BandpassSettings&) const = default;
};

/// The band-pass filter as FILTRACE applies it: the corners, and whether band
/// 2 is in use.
struct BandpassFilter {
  BandpassSettings corners;
  bool twoBand = false;
};

/// Base-2 exponent of NFFT for N samples: the smallest M with 2^M >= N
/// (0 for N <= 1).
int NfftExponent(std::int64_t N);
/// The transform length for N samples: the smallest power of two not below N
/// (1 for N <= 1).
std::int64_t NFFT(std::int64_t N);

/// In-place unscaled radix-2 transform of the 2^M complex values in DATA
/// (2^(M+1) reals): DATA(k) := sum over j of DATA(j) exp(SIGN 2 pi i (j-1)(k-1) / 2^M).
/// The sine and cosine are taken twice per stage; the rotation is carried in
/// double precision, the data stay 32-bit. DATA shorter than 2^(M+1) reals,
/// or M outside 0..30, leaves DATA unchanged.
void COOL(std::span<float> DATA, int M, float SIGN);

/// The rotations COOL takes at every stage of a transform of 2^M points with
/// one sign, made once for many transforms of that length (the F-K passes).
struct CoolRotations {
  int M = -1;
  float SIGN = 0.0f;
  std::vector<double> wr, wi;  // stage by stage, 2^(s-1) values for stage s = 1..M
};

/// Makes ROTATIONS for 2^M points and SIGN, exactly those COOL takes; false
/// (ROTATIONS then empty, M -1) when memory runs out or M is outside 0..30.
bool MakeCoolRotations(CoolRotations& ROTATIONS, int M, float SIGN);

/// COOL of 2^ROTATIONS.M points with ROTATIONS.SIGN, the rotations read from
/// ROTATIONS: the same values COOL gives. Allocates nothing, so threads may
/// share one ROTATIONS. DATA too short, or ROTATIONS not made, leaves DATA
/// unchanged.
void COOL(std::span<float> DATA, const CoolRotations& ROTATIONS);

/// Raised-cosine taper of X(1..N) over NT samples at each end: X(1) and X(N)
/// become 0, then X(1 + j) and X(N - j) are multiplied by
/// 0.5 (1 + cos((NT - j) pi / (NT - 1))) for j = 1..NT - 1 (so X(2) and
/// X(N - 1) vanish too). Callers pass 0 < NT < N/2; N beyond X is cut to X.
void TSMOO(std::span<float> X, int N, int NT);

/// SPEC(1..NFFT(N)/2) := the squared magnitudes of frequency indices
/// 0..NFFT/2 - 1 of TRACE(1..N), tapered by TSMOO when 0 < NT < N/2 and
/// zero-padded, divided by their largest value (an all-zero trace gives all
/// zeros). TRACE is not changed. SPEC or TRACE too short, or N < 1, leaves
/// SPEC unchanged. "CANNOT ALLOCATE TEMP ARRAYS IN SPECTRUM" when the work
/// arrays cannot be had (SPEC unchanged).
void SPECTRUM(std::span<const float> TRACE, std::span<float> SPEC, int N, int NT);

/// OUT(1..N) := IN(1..N), tapered as SPECTRUM tapers it, band-pass filtered in
/// the frequency domain with the trapezoid weights of FILTER (no phase shift).
/// Every corner is limited to 0..1 before it becomes an element index, and no
/// weight reaches element 0. IN and OUT may not overlap. Arrays shorter than
/// N, or N < 1, leave OUT unchanged; the allocation message of SPECTRUM when
/// the work arrays cannot be had.
void FILTRACE(std::span<const float> IN, std::span<float> OUT, int N, int NT,
              const BandpassFilter& FILTER);

/// The element index of corner F for a transform of NFFT points:
/// NINT(F * NFFT / 2) with F first limited to 0..1 (NaN counts as 0).
std::int64_t CornerIndex(float F, std::int64_t NFFT);

}  // namespace vel
