#pragma once
// One fuzz input through every instrument decoder: the ABEM, Bison-1,
// Bison-2, EG&G, RX2, ANT, DCF and raw-layout file decoders on the whole
// input, the header decoders on its start, the 20-bit group decoder on its
// first ten bytes, and the Dolang header, data and name decoders on its text. A decode that
// claims success must leave a record whose arrays match its counts; anything
// else traps, so the fuzzer and the corpus test both see it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "instruments/Abem.h"
#include "instruments/Bison.h"
#include "instruments/Bison2.h"
#include "instruments/DolangIn.h"
#include "instruments/Egg.h"
#include "instruments/RawImport.h"
#include "instruments/Rx2AntDcf.h"
#include "record/ShotRecord.h"
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
  // EG&G: both layouts on the whole input, the reals on its start.
  for (int layout : {0, 1}) {
    vel::ShotRecord rec;
    if (vel::DecodeEggFile(bytes, rec, layout) == Outcome::Ok) CheckRecord(rec);
  }
  {
    vel::ShotRecord rec;
    int ierr = 0;
    vel::EGG86COD(bytes, rec, ierr);
    vel::EGG87COD(bytes, rec, ierr);
    (void)vel::FPNCHAN(bytes, 6);
    (void)vel::FPNCHAN(bytes, 8);
  }
  // Dolang: the input as a header (its first data file as large as the
  // input), as a data file of up to 64 samples, and as a header file name.
  {
    vel::DolangHeader header;
    std::int32_t line = 0;
    const auto status = vel::DecodeDolangHeader(
        text, [size] { return static_cast<std::int64_t>(size); }, header, line);
    if (status == vel::DolangHeaderStatus::Ok)
      Check(header.ntrace >= 1 && header.ntrace <= 99 && header.nsamp >= 1 &&
            static_cast<std::size_t>(header.nsamp) <= size);
    float trace[64];
    (void)vel::DecodeDolangTrace(text, std::span(trace, size % 65), line);
    std::string name;
    if (vel::DolangDataFileName(text.substr(0, 300), static_cast<std::int32_t>(size % 101), name))
      Check(name.size() <= 300);
  }
  // RX2, ANT and DCF on the whole input.
  for (auto decode : {vel::DecodeRx2File, vel::DecodeAntFile, vel::DecodeDcfFile}) {
    vel::ShotRecord rec;
    if (decode(bytes, rec, nullptr) == vel::FieldFileOutcome::Ok) CheckRecord(rec);
  }
  // A raw layout taken from the input's first bytes, over the whole input.
  if (size >= 8) {
    vel::ShotRecord rec;
    rec.NTRACE = data[0] % 40 - 2;
    rec.NSAMP = data[1] * 3 - 5;
    const vel::UserLayout layout{.firstPosition = static_cast<float>(data[2]),
                                 .increment = static_cast<float>(data[3]) - 128.0f,
                                 .headerBytes = data[4] * 7 - 9,
                                 .traceHeaderBytes = data[5] % 32 - 1,
                                 .firstTrace = data[6] % 5 - 1,
                                 .format = data[7] % 6,
                                 .msbFirst = (data[7] & 0x80) != 0};
    if (vel::DecodeUserFile(bytes, rec, layout) == vel::UserOutcome::Ok) CheckRecord(rec);
  }
  return 0;
}

}  // namespace instrument_fuzz
