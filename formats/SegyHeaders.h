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
inline constexpr std::size_t kSegyLineChars = 80;  // 40 lines of the text header
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

// ---- The header fields this program reads or writes ----
/// A field of the binary header (positions 3201-3600) or of a trace header
/// (positions 1-240): its first byte, counted from 1 as the SEG-Y standard
/// counts, and its width in bytes (2, 4, or a text).
struct SegyField {
  int position;
  int bytes;
};

/// Binary header fields.
namespace segy_bin {
inline constexpr SegyField kJobId{3201, 4};
inline constexpr SegyField kDataTraces{3213, 2};
inline constexpr SegyField kAuxTraces{3215, 2};
inline constexpr SegyField kSampleInterval{3217, 2};  // microseconds
inline constexpr SegyField kFieldSampleInterval{3219, 2};
inline constexpr SegyField kSamples{3221, 2};
inline constexpr SegyField kFieldSamples{3223, 2};
inline constexpr SegyField kFormat{3225, 2};  // SegySampleFormat
inline constexpr SegyField kSorting{3229, 2};
inline constexpr SegyField kMeasurement{3255, 2};
/// Position of the header's first byte, and of the part never byte-swapped.
inline constexpr int kFirstPosition = 3201;
inline constexpr int kUnswappedFrom = 3261;
}  // namespace segy_bin

/// Trace header fields.
namespace segy_trc {
inline constexpr SegyField kSequenceInLine{1, 4};
inline constexpr SegyField kSequenceInFile{5, 4};
inline constexpr SegyField kFieldRecord{9, 4};
inline constexpr SegyField kTraceInRecord{13, 4};
inline constexpr SegyField kSourcePoint{17, 4};
inline constexpr SegyField kTraceId{29, 2};
inline constexpr SegyField kVerticalStack{31, 2};
inline constexpr SegyField kHorizontalStack{33, 2};
inline constexpr SegyField kDataUse{35, 2};
inline constexpr SegyField kOffset{37, 4};
inline constexpr SegyField kReceiverElevation{41, 4};
inline constexpr SegyField kSourceElevation{45, 4};
inline constexpr SegyField kSourceDepth{49, 4};
inline constexpr SegyField kElevationScalar{69, 2};
inline constexpr SegyField kCoordinateScalar{71, 2};
inline constexpr SegyField kSourceX{73, 4};
inline constexpr SegyField kSourceY{77, 4};
inline constexpr SegyField kReceiverX{81, 4};
inline constexpr SegyField kReceiverY{85, 4};
inline constexpr SegyField kCoordinateUnits{89, 2};
inline constexpr SegyField kUpholeTime{95, 2};
inline constexpr SegyField kTotalStatic{103, 2};
inline constexpr SegyField kDelay{109, 2};
inline constexpr SegyField kSamples{115, 2};
inline constexpr SegyField kSampleInterval{117, 2};  // microseconds
inline constexpr SegyField kGain{121, 2};
inline constexpr SegyField kNotch{145, 2};
inline constexpr SegyField kLowCut{149, 2};
inline constexpr SegyField kHighCut{151, 2};
inline constexpr SegyField kYear{157, 2};
inline constexpr SegyField kDayOfYear{159, 2};
inline constexpr SegyField kHour{161, 2};
inline constexpr SegyField kMinute{163, 2};
inline constexpr SegyField kSecond{165, 2};
inline constexpr SegyField kTimeBasis{167, 2};
inline constexpr SegyField kText{181, 60};  // unassigned; kept as text, never swapped
}  // namespace segy_trc

/// A 2- or 4-byte field (machine order), 2-byte ones sign-extended.
std::int32_t SegyGet(const SegyBinaryHeader& h, SegyField f);
std::int32_t SegyGet(const SegyTraceHeader& h, SegyField f);
/// Stores V (its low 16 bits in a 2-byte field).
void SegyPut(SegyBinaryHeader& h, SegyField f, std::int32_t v);
void SegyPut(SegyTraceHeader& h, SegyField f, std::int32_t v);

/// Trace header bytes 181-240, held as text.
std::span<std::byte> SegyTraceText(SegyTraceHeader& h);
std::span<const std::byte> SegyTraceText(const SegyTraceHeader& h);

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

/// Brings REC's stored headers (ISEGYBIN, ISEGYTRH of traces 1 to NTRACE)
/// in step with its header values and receiver geometry after an edit, as
/// the inverse of how ApplySegyTraceHeader reads them: each coordinate and
/// elevation through its trace's own scalar (a negative scalar s multiplies
/// by |s|, a positive one divides by s, 0 neither), the uphole time and
/// sample interval in microseconds, the delay in milliseconds. A value
/// beyond its field is stored at the field's nearest end; the result is
/// false when any had to be (or was not a number).
[[nodiscard]] bool StoreEditedSegyHeaders(ShotRecord& REC);

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
