#include "instruments/Bison.h"

#include <array>
#include <cmath>
#include <string>

#include "support/ByteReader.h"

namespace vel {
namespace {

using instrument::IntField;
using instrument::Outcome;
using instrument::RealField;

/// Reads the counts; false when either is below 1.
bool ReadCounts(std::string_view text, ShotRecord& REC) {
  REC.ISHOT = IntField(text, bison1::kShotOffset, 3);
  REC.NTRACE = IntField(text, bison1::kTraceCountOffset, 2);
  REC.NSAMP = IntField(text, bison1::kSampleCountOffset, 3);
  return REC.NTRACE >= 1 && REC.NSAMP >= 1;
}

/// The header after the counts: rebuild, then the scalars and positions.
void ApplyHeader(std::string_view text, ShotRecord& REC, int& IERR) {
  int err = 0;
  ALLOCTRACEARRAYS(REC, err);
  if (err != 0) {
    IERR = -1;
    return;
  }
  REC.SAMPINT = instrument::ToFloat(RealField(text, bison1::kIntervalOffset, 3));
  REC.SHOTX = instrument::ToFloat(RealField(text, bison1::kShotXOffset, 4));
  const double first = RealField(text, bison1::kFirstOffset, 4);
  const double second = RealField(text, bison1::kSecondOffset, 4);
  FillReceiverPositions(REC, first, second - first);
  REC.SPACING = std::fabs(instrument::ToFloat(second - first));
  REC.LPICKS = false;
  REC.SHOTELEV = 0.0f;
}

}  // namespace

void BISNCODE(std::string_view TEXT, ShotRecord& REC, int& IERR) {
  if (!ReadCounts(TEXT, REC)) {
    IERR = -1;
    return;
  }
  ApplyHeader(TEXT, REC, IERR);
}

instrument::Outcome DecodeBisonFile(std::span<const std::byte> file, ShotRecord& REC) {
  sup::ByteReader r(file, sup::ByteOrder::Little);
  std::string text = r.Text(bison1::kHeaderBytes);
  if (!r.Ok()) return Outcome::ShortFile;
  instrument::BlankLineEnds(text);
  if (!ReadCounts(text, REC)) return Outcome::ShortFile;
  const std::int64_t needed = static_cast<std::int64_t>(bison1::kHeaderBytes) +
                              static_cast<std::int64_t>(bison1::kBlockBytes) * REC.NTRACE;
  if (static_cast<std::int64_t>(file.size()) < needed) return Outcome::ShortFile;
  int err = 0;
  ApplyHeader(text, REC, err);
  if (err != 0) return Outcome::NoMemory;

  // Only the first min(NSAMP, 975) bytes of a block are samples; a header
  // may announce up to 999, and the rest of such a trace stays 0.0.
  std::array<std::int16_t, bison1::kBlockBytes> words{};
  StartTraceStatistics(REC);
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    const std::span<const std::byte> block = r.View(bison1::kBlockBytes);
    if (!r.Ok()) return Outcome::ShortFile;
    const std::span<float> trace = Trace(REC, j);
    const std::size_t n = std::min(trace.size(), block.size());
    C1TOI2(block, words, static_cast<int>(n));
    for (std::size_t i = 0; i < n; ++i) trace[i] = static_cast<float>(words[i]);
    TraceStatistics(REC, j);
  }
  return Outcome::Ok;
}

void BISON(ShotRecord& REC, std::string_view FNAME, int& IERR, bool /*LOPT*/) {
  IERR = 0;
  REC.TDELAY = 0.0f;
  std::vector<std::byte> file;
  bool opened = false;
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    const std::string name = instrument::NameField(FNAME);
    return instrument::ReadFail(
        IERR, opened ? "Error reading file " + name : "Error opening file " + name);
  }
  instrument::ReportOutcome(DecodeBisonFile(file, REC), FNAME, IERR);
}

}  // namespace vel
