#pragma once
// The shot record: the one in-memory form of a record that every importer
// fills and every display, processing and export operation reads, together
// with the trace-display options that go with it to the plot routines.
//
// Conventions. Reals are 32-bit floats, integers 32-bit signed unless said
// otherwise, logicals bool (32-bit -1/0 when stored), texts blank-padded
// FixedString. Times are milliseconds.
//
// Per-trace arrays hold one element per trace, trace j (1..NTRACE) at
// element j - 1. TRACES holds NSAMP x NTRACE samples, one contiguous column
// per trace: sample i (1..NSAMP) of trace j at element (j - 1) * NSAMP + i - 1;
// use Trace(REC, j) for the column of trace j. An array that no reader has
// allocated is empty. Only the 124-byte main header has a fixed byte layout
// (WriteMainHeader / ReadMainHeader); records are never copied as raw bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "support/Allocation.h"
#include "support/ByteReader.h"
#include "support/Strings.h"

namespace vel {

/// The samples of a record. A reader that writes every sample sizes them
/// without setting them first (RebuildTraceArrays with TraceSamples::Unset).
using TraceSampleArray = std::vector<float, sup::UnsetAllocator<float>>;

/// Bytes of the stored main header.
inline constexpr std::size_t kMainHeaderBytes = 124;
/// Bytes of the SEG-Y binary header and of one SEG-Y trace header.
inline constexpr std::size_t kSegyBinaryHeaderBytes = 400;
inline constexpr std::size_t kSegyTraceHeaderBytes = 240;
/// Characters of the SEG-Y text header (40 lines of 80).
inline constexpr std::size_t kSegyTextHeaderChars = 3200;

using RecordName = sup::FixedString<32>;
using SegyTraceHeader = std::array<std::byte, kSegyTraceHeaderBytes>;

struct ShotRecord {
  // ---- Main header (stored as 124 bytes, little-endian, in this order) ----
  RecordName CRECNAME;         //   0: input file name without folder and extension
  float SAMPINT = 0.0f;        //  32: sample interval, ms
  float SPAREHDR = 0.0f;       //  36: reserved, kept and copied with the header
  float TDELAY = 0.0f;         //  40: delay time, ms (time origin of the samples)
  float TUPHOLE = 0.0f;        //  44: uphole time, ms
  float SHOTX = 0.0f;          //  48: shot easting
  float SHOTDEPTH = 0.0f;      //  52: shot depth
  float SHOTELEV = 0.0f;       //  56: shot surface elevation
  float SPACING = 0.0f;        //  60: trace (geophone) spacing
  float GMIN = 0.0f;           //  64: smallest sample value of the record
  float GMAX = 0.0f;           //  68: largest sample value of the record
  std::int32_t NSAMP = 0;      //  72: samples per trace
  std::int32_t NTRACE = 0;     //  76: number of traces
  std::int32_t ISHOT = 0;      //  80: shot (record) number
  sup::FixedString<4> CUNITS;  // 84: units (SEG-2 keyword UNITS)
  bool LPICKS = false;         //  88: the record holds first-break picks
  float SHOTY = 0.0f;          //  92: shot northing
  bool LRADAR = false;         //  96: radar data
  std::int32_t IFORMAT = 0;    // 100: file format code of the source file
  float T0NMO = 10.0f;         // 104: NMO curve T-0, ms
  float VNMO = 2000.0f;        // 108: NMO curve velocity
  std::int32_t NAUX = 0;       // 112: number of auxiliary traces
  float T0REF = 10.0f;         // 116: refractor line T-0, ms
  float VREF = 2000.0f;        // 120: refractor line velocity

  // ---- Further scalar fields (memory only) ----
  /// The record keeps complete SEG-Y headers for the SEG-Y writer to reuse.
  bool LSEGYHDR = false;
  /// SEG-Y binary header of the last SEG-Y input, in the machine's byte order.
  std::array<std::byte, kSegyBinaryHeaderBytes> ISEGYBIN{};
  /// SEG-Y text header in ASCII.
  sup::FixedString<kSegyTextHeaderChars> CSEGYTXT;

  // ---- Per-trace arrays (declaration order; IFDBLEN, CFDBVAL, CNOTE stand
  //      between ITBASE and FALIAS as in the original declaration) ----
  std::vector<sup::FixedString<60>> CTRCTEXT;  // per-trace text of the SEG-Y reader/writer
  std::vector<SegyTraceHeader> ISEGYTRH;       // SEG-Y trace headers; valid while LSEGYHDR
  TraceSampleArray TRACES;                     // NSAMP x NTRACE samples, column per trace
  std::vector<float> GEOLOC;                   // receiver easting
  std::vector<float> GEOELE;                   // receiver elevation
  std::vector<float> GOFF;                     // receiver easting minus source easting
  std::vector<float> TRACEMAX;                 // largest absolute sample of the trace
  std::vector<float> GEOLOCY;                  // receiver northing
  std::vector<float> SHOTLOCX, SHOTLOCY;       // source easting and northing per trace
  std::vector<std::int32_t> IBPICK;            // first-break pick, sample index (see PickTime)
  std::vector<std::int16_t> IHICUT, ILOCUT, INOTCH;
  std::vector<std::int16_t> IYEAR, IDAY, IHOUR, IMINUTE, ISECOND;
  std::vector<std::int16_t> ITBASE;

  /// SEG-2 file-descriptor string lengths and values, and the NOTE text.
  std::array<std::int32_t, 13> IFDBLEN{};
  std::array<sup::FixedString<30>, 11> CFDBVAL;
  sup::FixedString<500> CNOTE;

  std::vector<float> FALIAS, FALIASS;                     // ALIAS_FILTER frequency and slope
  std::vector<float> DATUMEL;                             // DATUM
  std::vector<float> DESCALE;                             // DESCALING_FACTOR
  std::vector<float> FDBREJ1, FDBREJ2, FDBREJ3, FDBREJ4;  // DIGITAL_BAND_REJECT_FILTER
  std::vector<float> FDHICUT, FDHICUTS;                   // DIGITAL_HIGH_CUT_FILTER
  std::vector<float> FDLOCUT, FDLOCUTS;                   // DIGITAL_LOW_CUT_FILTER
  std::vector<float> FHICUT, FHICUTS;                     // HIGH_CUT_FILTER
  std::vector<float> FLOCUT, FLOCUTS;                     // LOW_CUT_FILTER
  std::vector<float> FNOTCH;                              // NOTCH_FREQUENCY
  std::vector<float> TSKEW;                               // SKEW
  std::vector<float> STATSRC, STATREC, STATTOT;           // STATIC_CORRECTIONS
  std::vector<float> SHOTLOCZ;                            // SOURCE_LOCATION z
  std::vector<float> FBREJ1, FBREJ2, FBREJ3, FBREJ4;      // BAND_REJECT_FILTER
  /// AMPLITUDE_RECOVERY: 1 "NONE", 2 "SPHERICAL", 3 "AGC", 0 anything else.
  std::vector<std::int32_t> IAMPREC;
  std::vector<std::int32_t> ICDP, ICDPTRC;     // CDP_NUMBER, CDP_TRACE
  std::vector<std::int32_t> ICHANNEL;          // CHANNEL_NUMBER
  std::vector<std::int32_t> IENDGRP;           // END_OF_GROUP
  std::vector<std::int32_t> IFXGAIN;           // FIXED_GAIN
  std::vector<std::int32_t> ILINEID;           // LINE_ID
  std::vector<std::int32_t> IPOLAR;            // POLARITY
  std::vector<std::int32_t> ISHOTSEQ;          // SHOT_SEQUENCE
  std::vector<std::int32_t> ISRCSTN, IRCVSTN;  // SOURCE/RECEIVER_STATION_NUMBER
  std::vector<std::int32_t> IVSTACK;           // STACK
  std::vector<sup::FixedString<30>> CSRCTEXT;  // SOURCE
  std::vector<sup::FixedString<12>> CTRCTYPE;  // TRACE_TYPE
};

/// Which optional array a rebuild also allocates.
enum class SegyTraceHeaders : bool {
  Keep = false,     // ISEGYTRH is left exactly as it was
  Allocate = true,  // ISEGYTRH is rebuilt with the other arrays
};

/// How a rebuild leaves the samples.
enum class TraceSamples : bool {
  Zero = false,  // every sample 0
  Unset = true,  // not set: the caller writes every sample, or zeroes those it does not
};

/// Releases every per-trace array and allocates it again, zero-filled (texts
/// blank), for REC.NTRACE traces (TRACES for REC.NSAMP x REC.NTRACE), in the
/// order the readers rely on. ISEGYTRH is rebuilt only when asked for; the
/// samples are left unset only when asked for. False
/// when a count is negative, the sample count overflows, or an allocation
/// fails: the arrays allocated so far stay, the rest are empty, and the caller
/// treats its read as failed (it reports in its own words).
[[nodiscard]] bool RebuildTraceArrays(ShotRecord& REC,
                                      SegyTraceHeaders segyHeaders = SegyTraceHeaders::Keep,
                                      TraceSamples samples = TraceSamples::Zero);

/// Releases every per-trace array (ISEGYTRH included); the scalars stay.
void ReleaseTraceArrays(ShotRecord& REC);

/// Calls FN(member) with the member pointer of every per-trace array of
/// ShotRecord except TRACES and ISEGYTRH (whose use depends on LSEGYHDR), in
/// declaration order: what moves with a trace when traces are reordered,
/// removed or gathered from several records.
template <typename Fn>
void ForEachPerTraceMember(Fn&& FN) {
  using R = ShotRecord;
  FN(&R::CTRCTEXT);
  for (auto m : {&R::GEOLOC, &R::GEOELE, &R::GOFF, &R::TRACEMAX, &R::GEOLOCY, &R::SHOTLOCX,
                 &R::SHOTLOCY, &R::FALIAS, &R::FALIASS, &R::DATUMEL, &R::DESCALE, &R::FDBREJ1,
                 &R::FDBREJ2, &R::FDBREJ3, &R::FDBREJ4, &R::FDHICUT, &R::FDHICUTS, &R::FDLOCUT,
                 &R::FDLOCUTS, &R::FHICUT, &R::FHICUTS, &R::FLOCUT, &R::FLOCUTS, &R::FNOTCH,
                 &R::TSKEW, &R::STATSRC, &R::STATREC, &R::STATTOT, &R::SHOTLOCZ, &R::FBREJ1,
                 &R::FBREJ2, &R::FBREJ3, &R::FBREJ4})
    FN(m);
  for (auto m : {&R::IHICUT, &R::ILOCUT, &R::INOTCH, &R::IYEAR, &R::IDAY, &R::IHOUR,
                 &R::IMINUTE, &R::ISECOND, &R::ITBASE})
    FN(m);
  for (auto m : {&R::IBPICK, &R::IAMPREC, &R::ICDP, &R::ICDPTRC, &R::ICHANNEL, &R::IENDGRP,
                 &R::IFXGAIN, &R::ILINEID, &R::IPOLAR, &R::ISHOTSEQ, &R::ISRCSTN, &R::IRCVSTN,
                 &R::IVSTACK})
    FN(m);
  FN(&R::CSRCTEXT);
  FN(&R::CTRCTYPE);
}

/// Calls FN(array) on every per-trace array of REC that ForEachPerTraceMember
/// names, in the same order.
template <typename Fn>
void ForEachPerTraceArray(ShotRecord& REC, Fn&& FN) {
  ForEachPerTraceMember([&](auto member) { FN(REC.*member); });
}

/// The column of trace J (1..NTRACE); empty when J is out of range or TRACES
/// does not hold it.
std::span<float> Trace(ShotRecord& REC, std::int32_t J);
std::span<const float> Trace(const ShotRecord& REC, std::int32_t J);

/// The main header as stored: 124 bytes, little-endian, at the documented
/// offsets. Write fails (false) when OUT is shorter; Read fails when IN is
/// shorter, leaving REC unchanged.
[[nodiscard]] bool WriteMainHeader(const ShotRecord& REC, std::span<std::byte> out);
[[nodiscard]] bool ReadMainHeader(ShotRecord& REC, std::span<const std::byte> in);

// ---- First-break picks ----

/// A pick index below 1 means the trace has no pick (killing a trace sets 0).
constexpr bool HasPick(std::int32_t index) {
  return index >= 1;
}
/// Pick time in ms of sample index INDEX: INDEX x SAMPINT + TDELAY.
float PickTime(const ShotRecord& REC, std::int32_t index);
/// Sample index of time T (ms): NINT((T - TDELAY) / SAMPINT), halves away from
/// zero. A record without a positive sample interval, or a time that gives no
/// finite index, gives 0 (no pick); the index saturates at the 32-bit limits.
std::int32_t PickIndex(const ShotRecord& REC, float t);

// ---- Trace-display options ----

/// The 14 display options; the settings file and the trace file keep the first
/// ten (through PIXELSIZE).
struct TraceDisplayOptions {
  float TRACECLIP = 2.0f;        // amplitude clip, in trace spacings
  float TRACEWIDTH = 2.0f;       // full-scale trace width (overlap), in trace spacings
  float AGCFRAC = 0.3f;          // AGC window, fraction of the trace length
  std::int32_t IGAINMETHOD = 2;  // 1 global max, 2 trace max, 3 AGC each trace
  std::int32_t ITIMELINES = 2;   // 1 none, 2 at major, 3 at minor divisions
  bool LVERTICAL = true;         // traces run vertically
  bool LVARAREA = true;          // variable-area fill
  bool LPLOTPICKS = true;        // draw the first breaks
  bool LGEOPOS = false;          // place traces at geophone positions, else by number
  float PIXELSIZE = 1.0f;        // scale factor of the fill pixel
  std::int32_t IFIRSTTRACE = 0;  // first trace to plot, 0 all
  std::int32_t ILASTTRACE = 0;   // last trace to plot, 0 all
  bool LUSERMAX = false;         // scale by a user-given global maximum
  float USERMAX = 0.0f;          // that maximum

  bool operator==(const TraceDisplayOptions&) const = default;
};

/// Bytes of the whole block, and of the part kept in files.
inline constexpr std::size_t kTraceDisplayOptionsBytes = 56;
inline constexpr std::size_t kStoredDisplayOptionsBytes = 40;

/// Writes the first BYTES bytes of the block (a whole number of 4-byte fields,
/// at most 56) field by field through W, in W's byte order.
void WriteTraceDisplayOptions(const TraceDisplayOptions& opts, sup::ByteWriter& w,
                              std::size_t bytes = kStoredDisplayOptionsBytes);
/// Reads the first BYTES bytes of the block through R into OPTS; the fields
/// beyond keep their values. When R fails OPTS is left unchanged.
void ReadTraceDisplayOptions(TraceDisplayOptions& opts, sup::ByteReader& r,
                             std::size_t bytes = kStoredDisplayOptionsBytes);

}  // namespace vel
