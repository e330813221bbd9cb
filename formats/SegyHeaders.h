#pragma once
// SEG-Y (revision 0 layout) as this program reads and writes it: the 3200-byte
// text header, the 400-byte binary header, the 240-byte trace header, their
// byte-order ranges, the sample format codes and the two character tables.
//
// Byte positions in the accessors are counted from 1 as the SEG-Y standard
// counts them: binary header 3201-3600, trace header 1-240. Headers held in
// memory are in the machine's (little-endian) order except the ranges that
// are never swapped (binary 3261-3600, trace 181-240).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "record/ShotRecord.h"

namespace vel {

inline constexpr std::size_t kSegyTextBytes = 3200;
inline constexpr std::size_t kSegyFileHeaderBytes = 3600;

using SegyBinaryHeader = std::array<std::byte, kSegyBinaryHeaderBytes>;

/// Sample format codes (binary header bytes 3225-3226).
enum SegySampleFormat : int {
  kSegyIbmFloat = 1,
  kSegyInt32 = 2,
  kSegyInt16 = 3,
  kSegyFixedGain = 4,
  kSegyIeeeFloat = 5,
};

/// Bytes per sample of a format code: 2 for 16-bit integers, else 4.
constexpr int SegyBytesPerSample(int format) {
  return format == kSegyInt16 ? 2 : 4;
}

// ---- Fields by 1-based position (machine order) ----
std::int16_t SegyBinI16(const SegyBinaryHeader& h, int pos);
std::int32_t SegyBinI32(const SegyBinaryHeader& h, int pos);
void SegyBinPut16(SegyBinaryHeader& h, int pos, std::int16_t v);
void SegyBinPut32(SegyBinaryHeader& h, int pos, std::int32_t v);
std::int16_t SegyTrcI16(const SegyTraceHeader& h, int pos);
std::int32_t SegyTrcI32(const SegyTraceHeader& h, int pos);
void SegyTrcPut16(SegyTraceHeader& h, int pos, std::int16_t v);
void SegyTrcPut32(SegyTraceHeader& h, int pos, std::int32_t v);

// ---- Byte order: swapped by ranges, the same in both directions ----
void SwapSegyBinaryHeader(SegyBinaryHeader& h);
void SwapSegyTraceHeader(SegyTraceHeader& h);

/// Factor of an elevation or coordinate scalar: negative s gives 1/|s|,
/// positive s gives s, 0 gives 1.
float SegyScalarFactor(std::int16_t s);

// ---- Character tables ----
/// ASCII to EBCDIC of TEXT(1:N) in place; N of 0 or less does nothing.
void ASC2ECD(std::string& TEXT, int N);
/// EBCDIC to ASCII of TEXT(1:N) in place (the support library's table).
void ECD2ASCNOWINLIB(std::string& TEXT, int N);
/// One character by the ASCII to EBCDIC table.
unsigned char AsciiToEbcdic(char c);

// ---- Headers built by the writer ----
/// The binary header built from REC for FORMAT (machine order).
SegyBinaryHeader BuildSegyBinaryHeader(const ShotRecord& REC, int format, bool oneTracePerRecord);

/// The trace header of trace J (1-based) built from REC (machine order).
/// UPHOLECLAMPED is set when the uphole time did not fit its 16-bit field and
/// was clamped to it.
SegyTraceHeader BuildSegyTraceHeader(const ShotRecord& REC, int J, bool& upholeClamped);

/// The 40 template lines of the built text header (3200 ASCII characters),
/// numbers from BIN. FIXEDLENGTH above 0 states that record length in line 23.
std::string BuildSegyTextHeader(const ShotRecord& REC, const SegyBinaryHeader& bin,
                                int bytesPerSample, int fixedLength);

/// Puts the mapped values of trace header H into trace I (1-based) of REC and
/// into the record's main header (the last trace read decides those).
void ApplySegyTraceHeader(ShotRecord& REC, int I, const SegyTraceHeader& H);

// ---- Integer samples ----
/// Scales SAMPLES into integers so that the largest finite magnitude among
/// them becomes FULLSCALE, rounding halves away from zero; NaN gives 0, values
/// saturate at LIMIT; a trace without a finite non-zero sample gives zeros.
void ScaleToInt32(std::span<const float> samples, std::span<std::int32_t> out, float fullScale);
void ScaleToInt16(std::span<const float> samples, std::span<std::int16_t> out, float fullScale);

}  // namespace vel
