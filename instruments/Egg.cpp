#include "instruments/Egg.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/ByteReader.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

using instrument::Outcome;

constexpr int kSixByteReal = 6;
constexpr int kDouble = 8;

/// The trace and sample counts of HEADER (0 when it is too short).
void ReadCounts(std::span<const std::byte> header, std::int32_t& ntrace, std::int32_t& nsamp) {
  sup::ByteReader r(header, sup::ByteOrder::Little);
  r.Seek(egg::kTraceCountOffset);
  ntrace = r.I16();
  nsamp = r.I16();
}

/// A block holds 1024 samples: more cannot be read, and a record of no
/// traces or samples is nothing to show.
bool CountsValid(std::int32_t ntrace, std::int32_t nsamp) {
  return ntrace >= 1 && nsamp >= 1 && nsamp <= egg::kBlockSamples;
}

/// The real of LAYOUT's width at OFFSET of HEADER.
float RealAt(std::span<const std::byte> header, std::size_t offset, int layout) {
  const std::size_t n = egg::kRealBytes[layout];
  if (offset > header.size() || header.size() - offset < n) return 0.0f;
  return FPNCHAN(header.subspan(offset, n), static_cast<int>(n));
}

/// A filter frequency as the 16-bit per-trace value: nearest whole number,
/// halves away from zero, clamped to the 16-bit range (NaN gives 0).
std::int16_t Filter16(float v) {
  const std::int32_t n = tk::NearestInt(v);
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(
      n, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

/// Both header decoders: LAYOUT 0 (985 bytes, 6-byte reals) or 1 (1197 bytes,
/// doubles).
void DecodeHeader(std::span<const std::byte> header, ShotRecord& REC, int& IERR, int layout) {
  if (header.size() < egg::kHeaderBytes[layout]) {
    IERR = -1;
    return;
  }
  std::int32_t ntrace = 0;
  std::int32_t nsamp = 0;
  ReadCounts(header, ntrace, nsamp);
  if (!CountsValid(ntrace, nsamp)) {
    IERR = -1;
    return;
  }
  REC.NTRACE = ntrace;
  REC.NSAMP = nsamp;
  // Seconds to ms, multiplied in single precision.
  REC.SAMPINT = 1000.0f * RealAt(header, egg::kIntervalOffset, layout);
  REC.TDELAY = 1000.0f * RealAt(header, egg::kDelayOffset[layout], layout);

  int err = 0;
  ALLOCTRACEARRAYS(REC, err);
  if (err != 0) {
    IERR = -1;
    return;
  }
  std::fill(REC.IHICUT.begin(), REC.IHICUT.end(),
            Filter16(RealAt(header, egg::kHighCutOffset[layout], layout)));
  std::fill(REC.ILOCUT.begin(), REC.ILOCUT.end(),
            Filter16(RealAt(header, egg::kLowCutOffset[layout], layout)));
  std::fill(REC.INOTCH.begin(), REC.INOTCH.end(),
            Filter16(RealAt(header, egg::kNotchOffset[layout], layout)));

  // Positions: layout 0 gives the shot, the first receiver and the signed
  // spacing; the receivers after the first follow at that spacing. Layout 1
  // gives none, so every position is 0.0.
  float first = 0.0f;
  float spacing = 0.0f;
  REC.SHOTX = 0.0f;
  if (layout == 0) {
    REC.SHOTX = RealAt(header, egg::kShotXOffset, layout);
    first = RealAt(header, egg::kFirstOffset, layout);
    spacing = RealAt(header, egg::kSpacingOffset, layout);
  }
  FillReceiverPositions(REC, first, spacing);
  REC.SPACING = std::fabs(spacing);
  REC.LPICKS = false;
  std::fill(REC.GEOELE.begin(), REC.GEOELE.end(), 0.0f);
  REC.SHOTELEV = 0.0f;
}

}  // namespace

float FPNCHAN(std::span<const std::byte> BYTES, int N) {
  if (N == kDouble && BYTES.size() >= 8) {
    sup::ByteReader r(BYTES.first(8), sup::ByteOrder::Little);
    return instrument::ToFloat(r.F64());
  }
  if (N != kSixByteReal || BYTES.size() < 6) return 0.0f;
  std::array<std::uint8_t, 6> b{};
  sup::ByteReader r(BYTES.first(6), sup::ByteOrder::Little);
  for (auto& v : b) v = r.U8();
  if (std::all_of(b.begin(), b.end(), [](std::uint8_t v) { return v == 0; })) return 0.0f;
  const std::uint32_t sign = static_cast<std::uint32_t>(b[5] & 0x80u) << 24;
  // Exponent bias 129 becomes 127; below the normal float range the value
  // is a zero of its sign.
  if (b[0] <= 2) return std::bit_cast<float>(sign);
  // The top 23 of the 39 fraction bits (b5 bits 0-6, b4, b3), rounded by
  // b2 into the lowest byte only: no carry out of it, and b1 never counts.
  std::uint32_t low = b[3];
  if (b[2] >= 128 && low < 255) ++low;
  const std::uint32_t bits = sign | (static_cast<std::uint32_t>(b[0] - 2) << 23) |
                             (static_cast<std::uint32_t>(b[5] & 0x7Fu) << 16) |
                             (static_cast<std::uint32_t>(b[4]) << 8) | low;
  return std::bit_cast<float>(bits);
}

void EGG86COD(std::span<const std::byte> HEADER, ShotRecord& REC, int& IERR) {
  DecodeHeader(HEADER, REC, IERR, 0);
}

void EGG87COD(std::span<const std::byte> HEADER, ShotRecord& REC, int& IERR) {
  DecodeHeader(HEADER, REC, IERR, 1);
}

instrument::Outcome DecodeEggFile(std::span<const std::byte> file, ShotRecord& REC, int LAYOUT) {
  if (LAYOUT != 0 && LAYOUT != 1) return Outcome::ShortFile;
  sup::ByteReader r(file, sup::ByteOrder::Little);
  const std::span<const std::byte> header = r.View(egg::kHeaderBytes[LAYOUT]);
  if (!r.Ok()) return Outcome::ShortFile;
  // Counts against the blocks present, before anything is allocated.
  std::int32_t ntrace = 0;
  std::int32_t nsamp = 0;
  ReadCounts(header, ntrace, nsamp);
  if (!CountsValid(ntrace, nsamp)) return Outcome::ShortFile;
  const std::int64_t blocks = static_cast<std::int64_t>(egg::kBlockBytes) * ntrace;
  if (static_cast<std::int64_t>(r.Remaining()) < blocks) return Outcome::ShortFile;

  int err = 0;
  DecodeHeader(header, REC, err, LAYOUT);
  if (err != 0) return Outcome::NoMemory;

  StartTraceStatistics(REC);
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    sup::ByteReader block(r.View(egg::kBlockBytes), sup::ByteOrder::Little);
    if (!r.Ok()) return Outcome::ShortFile;
    for (float& sample : Trace(REC, j)) sample = static_cast<float>(block.I16());
    TraceStatistics(REC, j);
  }
  return Outcome::Ok;
}

void EGG(ShotRecord& REC, std::string_view FNAME, int& IERR, bool /*LOPT*/, int LAYOUT) {
  IERR = 0;
  REC.TDELAY = 0.0f;
  std::vector<std::byte> file;
  bool opened = false;
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    const std::string name = instrument::NameField(FNAME);
    return instrument::ReadFail(
        IERR, opened ? "Error reading file " + name : "Error opening file " + name);
  }
  instrument::ReportOutcome(DecodeEggFile(file, REC, LAYOUT), FNAME, IERR);
}

}  // namespace vel
