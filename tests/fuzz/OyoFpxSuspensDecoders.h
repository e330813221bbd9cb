#pragma once
// The OYO, FPX and SUSPENS decoders on one fuzz input: each file decoder on
// the whole input and OYOCODE on its first 3072 bytes in every layout. A
// decode that claims success must leave a record whose arrays match its
// counts, with every pick inside its trace.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "instruments/FpxIn.h"
#include "instruments/Oyo.h"
#include "instruments/SuspensIn.h"
#include "record/ShotRecord.h"

namespace instrument_fuzz {

template <typename CheckRecordFn>
void FuzzOyoFpxSuspens(std::span<const std::byte> bytes, std::string_view text,
                       CheckRecordFn checkRecord) {
  using vel::instrument::Outcome;
  {
    vel::ShotRecord rec;
    if (vel::DecodeOyoFile(bytes, rec, vel::RecordName("fuzz")) == Outcome::Ok) {
      checkRecord(rec);
    }
  }
  {
    vel::ShotRecord rec;
    if (vel::DecodeFpxFile(bytes, rec) == Outcome::Ok) {
      checkRecord(rec);
    }
  }
  {
    vel::ShotRecord rec;
    vel::MergeIntervals intervals;
    char code = 0;
    if (vel::DecodeSuspensFile(bytes, rec, intervals, code) == vel::SuspensOutcome::Ok)
      checkRecord(rec);
  }
  std::string header(text.substr(0, vel::oyo::kHeaderBytes));
  header.resize(vel::oyo::kHeaderBytes, ' ');
  for (auto layout :
       {vel::OyoHeaderLayout::Oyo5to9, vel::OyoHeaderLayout::Oyo4, vel::OyoHeaderLayout::Oyo2or3}) {
    vel::ShotRecord rec;
    int ierr = 0;
    vel::OYOCODE(rec, header, layout, ierr);
    // Picks are stored as the header gives them; the arrays fit the count.
    if (ierr == 0 && rec.IBPICK.size() != static_cast<std::size_t>(std::max(rec.NTRACE, 0)))
      __builtin_trap();
  }
}

}  // namespace instrument_fuzz
