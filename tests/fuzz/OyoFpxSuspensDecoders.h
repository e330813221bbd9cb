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

inline void CheckPicks(const vel::ShotRecord& rec) {
  for (std::int32_t p : rec.IBPICK)
    if (p < 0 || p > rec.NSAMP) __builtin_trap();
}

template <typename CheckRecordFn>
void FuzzOyoFpxSuspens(std::span<const std::byte> bytes, std::string_view text,
                       CheckRecordFn checkRecord) {
  using vel::instrument::Outcome;
  {
    vel::ShotRecord rec;
    if (vel::DecodeOyoFile(bytes, rec, vel::RecordName("fuzz")) == Outcome::Ok) {
      checkRecord(rec);
      CheckPicks(rec);
    }
  }
  {
    vel::ShotRecord rec;
    if (vel::DecodeFpxFile(bytes, rec) == Outcome::Ok) {
      checkRecord(rec);
      CheckPicks(rec);
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
    if (ierr == 0) CheckPicks(rec);
  }
}

}  // namespace instrument_fuzz
