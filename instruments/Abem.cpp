#include "instruments/Abem.h"

#include <cmath>
#include <string>

#include "support/ByteReader.h"
#include "support/FieldReader.h"
#include "support/Progress.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

using instrument::IntField;
using instrument::Outcome;
using instrument::RealField;

/// 0-based offset of 1-based character position POS.
constexpr std::size_t At(std::size_t pos) {
  return pos - 1;
}

/// Fills REC from a decoded header: counts, rebuild, scalars, positions, picks.
void ApplyAbemHeader(ShotRecord& REC, const AbemHeader& h, int& IERR) {
  REC.NTRACE = h.ntrace;
  REC.NSAMP = abem::kSamples;
  int err = 0;
  ALLOCTRACEARRAYS(REC, err);
  if (err != 0) {
    IERR = -1;
    return;
  }
  REC.ISHOT = h.ishot;
  REC.SAMPINT =
      static_cast<float>(abem::kIntervalMicros[static_cast<std::size_t>(h.intervalCode)]) / 1000.0f;
  REC.SHOTX = instrument::ToFloat(h.shotx);
  // Traces between the first and the last follow an even spacing. With one
  // trace the last position is its position and the spacing of the record
  // held before stays, made positive.
  if (h.ntrace > 1) {
    const double step = (h.last - h.first) / static_cast<double>(h.ntrace - 1);
    FillReceiverPositions(REC, h.first, step);
    REC.SPACING = std::fabs(instrument::ToFloat(step));
  } else {
    FillReceiverPositions(REC, h.last, 0.0);
    REC.SPACING = std::fabs(REC.SPACING);
  }
  const std::size_t picked = std::min<std::size_t>(REC.IBPICK.size(), h.picks.size());
  for (std::size_t k = 0; k < picked; ++k) REC.IBPICK[k] = h.picks[k];
}

}  // namespace

bool DecodeAbemHeader(std::string_view text, AbemHeader& out) {
  out = AbemHeader{};
  if (text.substr(0, abem::kMagic.size()) != abem::kMagic) return false;
  out.ntrace = IntField(text, At(abem::kTraceCountPos), 2);
  if (out.ntrace < 1) return false;
  out.intervalCode = IntField(text, At(abem::kIntervalPos), 1);
  if (out.intervalCode < 0 ||
      out.intervalCode >= static_cast<std::int32_t>(abem::kIntervalMicros.size()))
    return false;

  // One pick word is consumed for every trace, flagged or not; the header has
  // flag positions and words for 24 traces only.
  const std::string_view words = sup::FieldAt(text, At(abem::kPickWordsPos), abem::kPickWordsWidth);
  int wordPos = 1;
  std::string word(abem::kPickWordChars, ' ');
  const int traces = std::min<std::int32_t>(out.ntrace, abem::kMaxPickTraces);
  for (int k = 0; k < traces; ++k) {
    const std::size_t flagAt =
        At(abem::kPickFlagPos) + abem::kPickFlagStep * static_cast<std::size_t>(k);
    const bool flagged = flagAt < text.size() && text[flagAt] == '1';
    sup::NXTWRD(words, static_cast<int>(words.size()), wordPos, word,
                static_cast<int>(abem::kPickWordChars));
    if (flagged) out.picks[static_cast<std::size_t>(k)] = IntField(word, 0, word.size());
  }

  out.ishot = IntField(text, At(abem::kShotPos), abem::kShotWidth);
  out.shotx = RealField(text, At(abem::kShotXPos), abem::kPositionWidth);
  out.first = RealField(text, At(abem::kFirstPos), abem::kPositionWidth);
  out.last = RealField(text, At(abem::kLastPos), abem::kPositionWidth);
  return true;
}

void ABEMCODE(ShotRecord& REC, std::string_view TEXT, int& IERR) {
  AbemHeader h;
  if (!DecodeAbemHeader(TEXT, h)) {
    IERR = -1;
    return;
  }
  ApplyAbemHeader(REC, h, IERR);
}

instrument::Outcome DecodeAbemFile(std::span<const std::byte> file, ShotRecord& REC,
                                   const AbemTraceHooks* hooks) {
  sup::ByteReader r(file, sup::ByteOrder::Little);
  std::string text = r.Text(abem::kTextBytes);
  if (!r.Ok()) return Outcome::ShortFile;
  instrument::BlankLineEnds(text);
  AbemHeader h;
  if (!DecodeAbemHeader(text, h)) return Outcome::BadFormat;

  // The header block and every trace block must be there before anything
  // is allocated.
  const std::int64_t needed = static_cast<std::int64_t>(abem::kHeaderBytes) +
                              static_cast<std::int64_t>(abem::kBlockBytes) * h.ntrace;
  if (static_cast<std::int64_t>(file.size()) < needed) return Outcome::ShortFile;

  int err = 0;
  ApplyAbemHeader(REC, h, err);
  if (err != 0) return Outcome::NoMemory;

  r.Seek(abem::kHeaderBytes);
  StartTraceStatistics(REC);
  for (std::int32_t k = 1; k <= REC.NTRACE; ++k) {
    if (hooks != nullptr && hooks->progress) hooks->progress(k);
    sup::ByteReader block(r.View(abem::kBlockBytes), sup::ByteOrder::Little);
    if (!r.Ok()) return Outcome::ShortFile;
    if (hooks != nullptr && hooks->aborted && hooks->aborted()) return Outcome::Aborted;
    const std::span<float> trace = Trace(REC, k);
    for (float& s : trace) s = static_cast<float>(block.I16());
    TraceStatistics(REC, k);
  }
  return Outcome::Ok;
}

void ABEMIN(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LOPT) {
  IERR = 0;
  REC.TDELAY = 0.0f;
  std::vector<std::byte> file;
  bool opened = false;
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    return instrument::ReadFail(IERR, instrument::ReadErrorMessage(FNAME));
  }
  AbemTraceHooks hooks;
  if (LOPT) {
    hooks.progress = [&REC](std::int32_t k) {
      sup::ProgressSet(tk::NearestInt(100.0 * k / REC.NTRACE));
    };
  }
  hooks.aborted = [] { return sup::LKILL(0); };
  (void)sup::LKILL(1);
  const Outcome outcome = DecodeAbemFile(file, REC, &hooks);
  instrument::ReportOutcome(outcome, FNAME, IERR,
                            "ERROR! File " + instrument::NameField(FNAME) + " not in ABEM format.");
}

}  // namespace vel
