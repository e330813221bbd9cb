#include "instruments/SuspensIn.h"

#include <vector>

#include "instruments/ReaderKit.h"
#include "support/ByteReader.h"
#include "support/FieldReader.h"
#include "support/UserMessages.h"

namespace vel {
namespace {

/// An integer field of the header; false when it is no number.
bool Field(std::string_view h, std::size_t offset, std::size_t width, std::int32_t& v) {
  return sup::ReadIntField(sup::FieldAt(h, offset, width), v);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

std::string SuspensMessage(SuspensOutcome outcome, std::string_view FNAME, char code) {
  const std::string name = Quoted(instrument::NameField(FNAME));
  switch (outcome) {
    case SuspensOutcome::Ok:
    case SuspensOutcome::Aborted:
      return {};
    case SuspensOutcome::ShortHeader:
      return "Cannot read " + Quoted("SUSPENS") + " header from file: " + name;
    case SuspensOutcome::BadNumber:
      return "ERROR READING DATA";
    case SuspensOutcome::BadCode:
      return "Invalid code for measurement items (byte 113): " + Quoted(std::string(1, code));
    case SuspensOutcome::ShortTraces:
      return "Cannot read traces from " + Quoted("SUSPENS") + " file";
    case SuspensOutcome::NoMemory:
      return "Error allocating data arrays";
  }
  return {};
}

SuspensOutcome DecodeSuspensFile(std::span<const std::byte> file, ShotRecord& REC,
                                 MergeIntervals& intervals, char& code, bool (*aborted)()) {
  code = ' ';
  if (file.size() < suspens::kHeaderBytes) return SuspensOutcome::ShortHeader;
  if (aborted != nullptr && aborted()) return SuspensOutcome::Aborted;
  const std::string_view h(reinterpret_cast<const char*>(file.data()), suspens::kHeaderBytes);

  // Everything is decoded into locals first: a refused file changes nothing.
  std::int32_t ishot = 0;
  if (!Field(h, 2, 3, ishot)) ishot = 1;
  std::int32_t first = 0, second = 0, delay = 0, nsamp = 0, ntrace = 0;
  if (!Field(h, 88, 3, first) || !Field(h, 91, 3, second)) return SuspensOutcome::BadNumber;
  code = h[suspens::kCodeOffset];
  switch (code) {
    case '0':
      if (!Field(h, 94, 2, delay)) return SuspensOutcome::BadNumber;
      ntrace = 6;
      break;
    case '1':
      ntrace = 4;
      break;
    case '2':
      ntrace = 2;
      break;
    default:
      return SuspensOutcome::BadCode;
  }
  if (!Field(h, 109, 4, nsamp) || nsamp < 1) return SuspensOutcome::BadNumber;
  const std::uint64_t traceBytes = 2 * static_cast<std::uint64_t>(nsamp);
  if (file.size() < suspens::kHeaderBytes + traceBytes * static_cast<std::uint64_t>(ntrace))
    return SuspensOutcome::ShortTraces;

  REC.ISHOT = ishot;
  REC.NSAMP = nsamp;
  REC.NTRACE = ntrace;
  if (!RebuildTraceArrays(REC)) return SuspensOutcome::NoMemory;
  REC.NAUX = 0;
  REC.SHOTY = 0.0f;
  REC.TDELAY = static_cast<float>(delay / 1000.0);
  REC.SAMPINT = static_cast<float>(first / 1000.0);

  sup::ByteReader r(file.subspan(suspens::kHeaderBytes), sup::ByteOrder::Little);
  StartTraceStatistics(REC);
  for (std::int32_t j = 1; j <= ntrace; ++j) {
    for (float& s : Trace(REC, j)) s = static_cast<float>(r.I16());
    TraceStatistics(REC, j);
  }
  intervals.SAMPINTH = static_cast<float>(first / 1000.0);
  intervals.SAMPINTV = static_cast<float>(second / 1000.0);
  return SuspensOutcome::Ok;
}

void SUSPENSIN(ShotRecord& REC, std::string_view FNAME, int& IERR, MergeIntervals& intervals) {
  IERR = 0;
  std::vector<std::byte> file;
  bool opened = false;
  SuspensOutcome outcome = SuspensOutcome::ShortHeader;
  char code = ' ';
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    if (!opened) {
      return instrument::ReadFail(IERR,
                                  "Cannot open file: \"" + instrument::NameField(FNAME) + "\"");
    }
  } else {
    outcome = DecodeSuspensFile(file, REC, intervals, code, [] { return sup::LKILL(0); });
  }
  if (outcome != SuspensOutcome::Ok)
    instrument::ReadFail(IERR, SuspensMessage(outcome, FNAME, code));
}

}  // namespace vel
