#pragma once
// One fuzz input through every instrument decoder: the ABEM, Bison-1 and
// Bison-2 file decoders on the whole input, the header decoders on its
// start and the 20-bit group decoder on its first ten bytes. A decode that
// claims success must leave a record whose arrays match its counts; anything
// else traps, so the fuzzer and the corpus test both see it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "instruments/Abem.h"
#include "instruments/Bison.h"
#include "instruments/Bison2.h"
#include "shell/ShotRecord.h"
#include "support/FieldReader.h"
#include "tests/fuzz/OyoFpxSuspensDecoders.h"

namespace instrument_fuzz {

inline void Check(bool holds) {
  if (!holds) __builtin_trap();
}

inline void CheckRecord(const vel::ShotRecord& rec) {
  Check(rec.NTRACE >= 1 && rec.NSAMP >= 1);
  const auto ntr = static_cast<std::size_t>(rec.NTRACE);
  Check(rec.TRACES.size() == ntr * static_cast<std::size_t>(rec.NSAMP));
  Check(rec.GEOLOC.size() == ntr && rec.GOFF.size() == ntr && rec.TRACEMAX.size() == ntr &&
        rec.IBPICK.size() == ntr && rec.SHOTLOCX.size() == ntr && rec.CTRCTYPE.size() == ntr);
}

inline int FuzzInstrumentDecoders(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  using vel::instrument::Outcome;
  {
    vel::ShotRecord rec;
    if (vel::DecodeAbemFile(bytes, rec) == Outcome::Ok) CheckRecord(rec);
  }
  {
    vel::ShotRecord rec;
    if (vel::DecodeBisonFile(bytes, rec) == Outcome::Ok) CheckRecord(rec);
  }
  {
    vel::ShotRecord rec;
    char format = 0;
    const Outcome o = vel::DecodeBison2File(bytes, rec, format);
    if (o == Outcome::Ok || o == Outcome::PartialTraces) CheckRecord(rec);
  }
  // The header decoders on texts shorter than their headers.
  {
    vel::ShotRecord rec;
    int ierr = 0;
    vel::ABEMCODE(rec, text.substr(0, 622), ierr);
    vel::BISNCODE(text.substr(0, vel::bison1::kHeaderBytes), rec, ierr);  // at most 99 x 999
    // Bison-2 counts reach 9999 x 999999 samples; the file decoder bounds
    // them by the bytes present, the bare header decoder only by memory.
    const auto ntr = vel::instrument::IntField(text, vel::bison2::kTraceCountOffset, 4);
    const auto ns = vel::instrument::IntField(text, vel::bison2::kSampleCountOffset, 6);
    if (static_cast<std::int64_t>(ntr) * ns <= 1000000) {
      char format = 0;
      vel::BISN2COD(rec, format, text.substr(0, vel::bison2::kHeaderBytes), ierr);
    }
  }
  FuzzOyoFpxSuspens(bytes, text, CheckRecord);
  if (size >= vel::bison2::kGroupBytes) {
    float s[4];
    vel::DecodeBison2Group(bytes.first<vel::bison2::kGroupBytes>(), s);
  }
  {
    std::int32_t i = 0;
    double d = 0.0;
    (void)sup::ReadIntField(text.substr(0, 12), i);
    (void)sup::ReadRealField(text.substr(0, 40), size > 0 ? data[0] % 8 : 0, d);
  }
  return 0;
}

}  // namespace instrument_fuzz
