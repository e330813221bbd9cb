#include "instruments/FpxIn.h"

#include <cmath>
#include <string>
#include <vector>

#include "record/RecordNaming.h"
#include "support/ByteReader.h"
#include "support/Logical.h"

namespace vel {
namespace {

using instrument::Outcome;

/// The bytes of record N (from 1); the caller has checked that it exists.
std::span<const std::byte> Record(std::span<const std::byte> file, std::size_t n,
                                  std::size_t count = 1) {
  return file.subspan(fpx::kRecordBytes * (n - 1), fpx::kRecordBytes * count);
}

void ReadReals(std::span<const std::byte> record, std::vector<float>& out) {
  sup::ByteReader r(record, sup::ByteOrder::Little);
  for (float& v : out) v = r.F32();
}

}  // namespace

instrument::Outcome DecodeFpxFile(std::span<const std::byte> file, ShotRecord& REC) {
  if (file.size() < fpx::kRecordBytes) return Outcome::ShortFile;
  sup::ByteReader h(Record(file, 1), sup::ByteOrder::Little);
  h.Seek(fpx::kNsamp);
  const std::int32_t nsamp = h.I16();
  const std::int32_t ntrace = h.I16();
  const std::int32_t ishot = h.I16();
  h.Seek(fpx::kSampint);
  const float sampint = h.F32();
  h.Seek(fpx::kShotX);
  const float shotx = h.F32();
  h.Seek(fpx::kShotDepth);
  const float shotDepth = h.F32();
  const float shotElev = h.F32();
  h.Seek(fpx::kSpacing);
  const float spacing = h.F32();
  h.Seek(fpx::kUphole);
  const float uphole = h.F32();
  const float delay = h.F32();
  h.Seek(fpx::kPicksFlag);
  const bool picks = sup::FromLogical32(h.I32());

  // A record holds 128 reals and 256 samples: larger counts cannot be read.
  if (nsamp < 1 || nsamp > fpx::kMaxSamples || ntrace < 1 || ntrace > fpx::kMaxTraces)
    return Outcome::ShortFile;
  const std::size_t records =
      fpx::kFirstTraceRecord - 1 + fpx::kRecordsPerTrace * static_cast<std::size_t>(ntrace);
  if (file.size() < records * fpx::kRecordBytes) return Outcome::ShortFile;

  REC.NSAMP = nsamp;
  REC.NTRACE = ntrace;
  if (!RebuildTraceArrays(REC)) return Outcome::NoMemory;
  const auto n = static_cast<std::size_t>(ntrace);
  std::fill_n(REC.IFXGAIN.begin(), n, 1);
  std::fill_n(REC.IVSTACK.begin(), n, 1);
  ReadReals(Record(file, fpx::kEastingRecord), REC.GEOLOC);
  ReadReals(Record(file, fpx::kElevationRecord), REC.GEOELE);
  ReadReals(Record(file, fpx::kOffsetRecord), REC.GOFF);
  if (picks) {
    sup::ByteReader r(Record(file, fpx::kPickRecord), sup::ByteOrder::Little);
    // Stored as they stand, sign-extended: a pick below 1 is no pick, and
    // the display, the pickers and the exports take one beyond the trace.
    for (std::int32_t& p : REC.IBPICK) p = r.I16();
  }

  StartTraceStatistics(REC);
  for (std::int32_t j = 1; j <= ntrace; ++j) {
    const std::size_t first =
        fpx::kFirstTraceRecord + fpx::kRecordsPerTrace * static_cast<std::size_t>(j - 1);
    sup::ByteReader r(Record(file, first, fpx::kRecordsPerTrace), sup::ByteOrder::Little);
    for (float& s : Trace(REC, j)) s = static_cast<float>(r.I16());
    TraceStatistics(REC, j);
  }

  REC.NAUX = 0;
  REC.ISHOT = ishot;
  REC.SAMPINT = sampint;
  REC.TDELAY = delay;
  REC.TUPHOLE = uphole;
  REC.SHOTX = shotx;
  REC.SHOTDEPTH = shotDepth;
  REC.SHOTELEV = shotElev;
  REC.LPICKS = picks;
  REC.SPACING = std::fabs(spacing);
  std::fill_n(REC.ISRCSTN.begin(), n, ishot);
  std::fill_n(REC.IRCVSTN.begin(), n, ishot);
  return Outcome::Ok;
}

void FPIXIN(ShotRecord& REC, std::string_view FNAME, int& IERR) {
  IERR = 0;
  std::vector<std::byte> file;
  bool opened = false;
  const std::string name = instrument::NameField(FNAME);
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    return instrument::ReadFail(
        IERR, (opened ? "Error reading trace (FPIXIN): " : "Cannot open file: ") + name);
  }
  const Outcome outcome = DecodeFpxFile(file, REC);
  if (outcome == Outcome::ShortFile)
    return instrument::ReadFail(IERR, "Error reading trace (FPIXIN): " + name);
  instrument::ReportOutcome(outcome, FNAME, IERR);
  if (IERR == 0) REC.CRECNAME = RecordNameOfFile(FNAME);
}

}  // namespace vel
