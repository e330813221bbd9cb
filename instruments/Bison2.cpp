#include "instruments/Bison2.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "support/ByteOrder.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

using instrument::IntField;
using instrument::Outcome;
using instrument::RealField;

constexpr std::string_view kWordEndMessage = "END OF FILE HAS BEEN REACHED WHILE READING TRACES";
constexpr std::string_view kEndMessage = "END OF FILE WHILE READING TRACES";

std::size_t EntryBytes(std::string_view text) {
  return text.size() > bison2::kEntryCodeOffset && text[bison2::kEntryCodeOffset] == '7'
             ? bison2::kShortEntryBytes
             : bison2::kLongEntryBytes;
}

char FormatChar(std::string_view text) {
  return text.size() > bison2::kFormatOffset ? text[bison2::kFormatOffset] : ' ';
}

/// Samples of whole units of UNIT bytes held in the trace's bytes present.
template <class Decode>
bool ReadUnits(std::span<float> trace, sup::ByteReader& r, std::int64_t nbytes,
               std::size_t unitBytes, std::size_t samplesPerUnit, Decode decode) {
  const std::int64_t present =
      std::min<std::int64_t>(nbytes, static_cast<std::int64_t>(r.Remaining()));
  const std::size_t units = static_cast<std::size_t>(present) / unitBytes;
  sup::ByteReader data(r.View(static_cast<std::size_t>(present)), r.Order());
  std::size_t i = 0;
  for (std::size_t u = 0; u < units && i < trace.size(); ++u) {
    decode(data, trace, i);
    i += samplesPerUnit;
  }
  return present == nbytes;
}

/// The fields before the rebuild: shot, format, counts, interval, delay.
void ReadCounts(ShotRecord& REC, char& format, std::string_view text) {
  REC.ISHOT = IntField(text, bison2::kShotOffset, 4);
  format = FormatChar(text);
  REC.NTRACE = IntField(text, bison2::kTraceCountOffset, 4);
  REC.NSAMP = IntField(text, bison2::kSampleCountOffset, 6);
  REC.SAMPINT = instrument::ToFloat(RealField(text, bison2::kIntervalOffset, 4));
  REC.TDELAY = instrument::ToFloat(RealField(text, bison2::kDelayOffset, 4));
}

/// The rebuild for REC.NTRACE traces, then shot and receiver positions.
void ApplyHeader(ShotRecord& REC, std::string_view text, int& IERR) {
  int err = 0;
  ALLOCTRACEARRAYS(REC, err);
  if (err != 0) {
    IERR = -1;
    return;
  }
  REC.SHOTX = instrument::ToFloat(RealField(text, bison2::kShotXOffset, 4));
  const double first = RealField(text, bison2::kFirstOffset, 3);
  const double second = RealField(text, bison2::kSecondOffset, 3);
  FillReceiverPositions(REC, first, second - first);
  // The spacing is kept in whole units: the signed difference rounded, halves
  // away from zero, then made positive (-2.5 gives 3).
  REC.SPACING =
      static_cast<float>(std::abs(static_cast<std::int64_t>(tk::NearestInt(second - first))));
  REC.LPICKS = false;
}

}  // namespace

std::int64_t Bison2TraceBytes(char FORMAT, std::int32_t NSAMP) {
  const std::int64_t n = std::max<std::int32_t>(NSAMP, 0);
  if (FORMAT == 'W') return 2 * n;
  if (FORMAT == 'L') return 4 * n;
  return static_cast<std::int64_t>(bison2::kGroupBytes) * ((n + 3) / 4);
}

void DecodeBison2Group(std::span<const std::byte, bison2::kGroupBytes> group, float (&out)[4]) {
  sup::ByteReader r(group, sup::ByteOrder::Little);
  std::int16_t m[4];
  for (auto& v : m) v = r.I16();
  // SPLEXP splits byte 8 then byte 9, low half first: e4, e3, e2, e1.
  const std::uint8_t word[2] = {r.U8(), r.U8()};
  int e[4];
  sup::SPLEXP(word, e);
  // 2^-e for e = -8..7, exact, so the product equals mk / 2^ek.
  static constexpr float kScale[16] = {256.0f,  128.0f,   64.0f,     32.0f,     16.0f, 8.0f,
                                       4.0f,    2.0f,     1.0f,      0.5f,      0.25f, 0.125f,
                                       0.0625f, 0.03125f, 0.015625f, 0.0078125f};
  for (int k = 0; k < 4; ++k) out[k] = static_cast<float>(m[k]) * kScale[e[3 - k] + 8];
}

bool BSNWORD(std::span<float> TRACE, sup::ByteReader& R, std::int64_t NBYTES) {
  return ReadUnits(TRACE, R, NBYTES, 2, 1,
                   [](sup::ByteReader& d, std::span<float> t, std::size_t i) {
                     t[i] = static_cast<float>(d.I16());
                   });
}

bool BSNLONG(std::span<float> TRACE, sup::ByteReader& R, std::int64_t NBYTES) {
  return ReadUnits(TRACE, R, NBYTES, 4, 1,
                   [](sup::ByteReader& d, std::span<float> t, std::size_t i) {
                     t[i] = static_cast<float>(d.I32());
                   });
}

bool BSNFLOT(std::span<float> TRACE, sup::ByteReader& R, std::int64_t NBYTES) {
  return ReadUnits(TRACE, R, NBYTES, bison2::kGroupBytes, 4,
                   [](sup::ByteReader& d, std::span<float> t, std::size_t i) {
                     const auto bytes = d.View(bison2::kGroupBytes);
                     float s[4];
                     DecodeBison2Group(bytes.first<bison2::kGroupBytes>(), s);
                     const std::size_t n = std::min<std::size_t>(4, t.size() - i);
                     std::copy_n(s, n, t.begin() + static_cast<std::ptrdiff_t>(i));
                   });
}

void BISN2COD(ShotRecord& REC, char& FORMAT, std::string_view TEXT, int& IERR) {
  ReadCounts(REC, FORMAT, TEXT);
  if (REC.NTRACE < 1 || REC.NSAMP < 1) {
    IERR = -1;
    return;
  }
  ApplyHeader(REC, TEXT, IERR);
}

instrument::Outcome DecodeBison2File(std::span<const std::byte> file, ShotRecord& REC,
                                     char& FORMAT) {
  sup::ByteReader r(file, sup::ByteOrder::Little);
  std::string text = r.Text(bison2::kHeaderBytes);
  if (!r.Ok()) return Outcome::ShortFile;
  instrument::BlankLineEnds(text, true);
  bool countRead = false;
  const std::int32_t ntrace = IntField(text, bison2::kTraceCountOffset, 4, &countRead);
  if (!countRead || ntrace < 1) return Outcome::ShortFile;
  // The second part is skipped; only its length matters.
  const std::int64_t second =
      static_cast<std::int64_t>(EntryBytes(text)) * ntrace + bison2::kSecondPartExtra;
  if (second > static_cast<std::int64_t>(r.Remaining())) return Outcome::ShortFile;
  r.Skip(static_cast<std::size_t>(second));

  // Counts against the bytes present, before anything is allocated: NTRACE
  // becomes the number of traces the file holds at least in part.
  const std::int32_t nsamp = IntField(text, bison2::kSampleCountOffset, 6);
  if (nsamp < 1) return Outcome::ShortFile;
  const char format = FormatChar(text);
  const std::int64_t traceBytes = Bison2TraceBytes(format, nsamp);
  const std::int64_t data = static_cast<std::int64_t>(r.Remaining());
  const std::int64_t held = std::min<std::int64_t>(ntrace, (data + traceBytes - 1) / traceBytes);
  if (held < 1) return Outcome::ShortFile;

  ReadCounts(REC, FORMAT, text);
  REC.NTRACE = static_cast<std::int32_t>(held);
  int err = 0;
  ApplyHeader(REC, text, err);
  if (err != 0) return Outcome::NoMemory;
  bool partial = held < ntrace;

  StartTraceStatistics(REC);
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    const std::span<float> trace = Trace(REC, j);
    bool whole;
    if (FORMAT == 'W') {
      whole = BSNWORD(trace, r, traceBytes);
    } else if (FORMAT == 'L') {
      whole = BSNLONG(trace, r, traceBytes);
    } else {
      whole = BSNFLOT(trace, r, traceBytes);
    }
    if (!whole) partial = true;
    TraceStatistics(REC, j);
  }
  return partial ? Outcome::PartialTraces : Outcome::Ok;
}

void BISON2(ShotRecord& REC, std::string_view FNAME, int& IERR, bool /*LOPT*/) {
  IERR = 0;
  std::vector<std::byte> file;
  bool opened = false;
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    const std::string name = instrument::NameField(FNAME);
    return instrument::ReadFail(
        IERR, opened ? "Error reading file " + name : "Error open/close file " + name);
  }
  char format = ' ';
  const Outcome outcome = DecodeBison2File(file, REC, format);
  if (outcome == Outcome::PartialTraces) {
    if (format == 'W') {
      sup::WINMSG(kWordEndMessage);
    } else {
      sup::WINWRN(kEndMessage);
    }
  }
  instrument::ReportOutcome(outcome, FNAME, IERR);
}

}  // namespace vel
