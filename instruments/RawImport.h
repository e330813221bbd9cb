#pragma once
// Raw binary trace files whose layout the user describes: H bytes of file
// header, then traces one after the other, each T bytes of trace header and
// NSAMP samples of one type. Reading starts with trace F; the traces before
// it are skipped whole. Sample types: 1 IEEE 32-bit reals, 2 signed 32-bit
// and 3 signed 16-bit integers, each in the chosen byte order, 4 signed
// bytes. Receiver positions follow from the first position and a step.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "record/ShotRecord.h"

namespace vel {

/// The layout of a raw file as the user describes it.
struct UserLayout {
  float firstPosition = 0.0f;
  float increment = 0.0f;
  std::int32_t headerBytes = 0;       // H, skipped once
  std::int32_t traceHeaderBytes = 0;  // T, skipped before every trace
  std::int32_t firstTrace = 1;        // F, counted from 1
  std::int32_t format = 1;            // 1-4, as above
  bool msbFirst = false;              // most significant byte first
};

/// Bytes of one sample of FORMAT (1-4); 0 for another code.
int UserSampleBytes(std::int32_t format);

/// How a raw decode ended; the reader turns it into the message and the flag.
enum class UserOutcome { Ok, BadLayout, ShortFile, NoMemory, Aborted };

/// What a raw decode reports on its way.
struct UserHooks {
  std::function<void(std::int32_t k)> beforeTrace;  // before trace k is read
  std::function<bool()> aborted;                    // polled before every trace
};

/// The message of a refused layout (empty when LAYOUT with REC's counts is
/// sound): counts and first trace below 1, negative header sizes, an
/// unknown sample type.
std::string UserLayoutProblem(const ShotRecord& REC, const UserLayout& layout);

/// Decodes REC.NTRACE traces of REC.NSAMP samples from FILE (the whole file)
/// into REC as the layout says: the per-trace arrays rebuilt, positions,
/// amplitudes and the trace spacing set, every other main-header field kept.
/// The whole layout is checked against the file's size, in wide arithmetic,
/// before anything is allocated: a file too short for it gives ShortFile.
[[nodiscard]] UserOutcome DecodeUserFile(std::span<const std::byte> file, ShotRecord& REC,
                                         const UserLayout& layout,
                                         const UserHooks* hooks = nullptr);

/// Reads the raw file FNAME (the bare name, its folder current) into REC,
/// whose NSAMP and NTRACE the caller has set from the user's layout. IERR: 0
/// success, -1 failure or user abort (the user has been told why). More
/// than 100 traces show the progress dialog; Cancel stops the read.
void USERIN(ShotRecord& REC, std::string_view FNAME, int& IERR, float POSFIRST, float POSINCR,
            std::int32_t IHDRBYTES, std::int32_t ITRHBYTES, std::int32_t ITRSTART,
            std::int32_t IFORMAT, bool LMSBFIRST);

}  // namespace vel
