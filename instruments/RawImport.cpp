#include "instruments/RawImport.h"

#include <bit>
#include <cmath>
#include <vector>

#include "instruments/ReaderKit.h"
#include "support/ByteOrder.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

constexpr std::int32_t kProgressAbove = 100;  // traces

// Converts the samples of one trace from the file's bytes (the caller has
// checked that BYTES holds them all). The loops are plain so the compiler
// can vectorise them.
void DecodeTrace(std::span<const std::byte> bytes, const UserLayout& layout,
                 std::span<float> out) {
  const sup::ByteOrder order = layout.msbFirst ? sup::ByteOrder::Big : sup::ByteOrder::Little;
  const std::byte* p = bytes.data();
  const std::size_t n = out.size();
  float* o = out.data();
  switch (layout.format) {
    case 1:
      for (std::size_t i = 0; i < n; ++i) o[i] = std::bit_cast<float>(sup::LoadU32(p + 4 * i, order));
      break;
    case 2:
      for (std::size_t i = 0; i < n; ++i)
        o[i] = static_cast<float>(static_cast<std::int32_t>(sup::LoadU32(p + 4 * i, order)));
      break;
    case 3:
      for (std::size_t i = 0; i < n; ++i)
        o[i] = static_cast<float>(static_cast<std::int16_t>(sup::LoadU16(p + 2 * i, order)));
      break;
    default:
      for (std::size_t i = 0; i < n; ++i) o[i] = static_cast<float>(static_cast<std::int8_t>(p[i]));
      break;
  }
}

}  // namespace

int UserSampleBytes(std::int32_t format) {
  switch (format) {
    case 1:
    case 2:
      return 4;
    case 3:
      return 2;
    case 4:
      return 1;
    default:
      return 0;
  }
}

std::string UserLayoutProblem(const ShotRecord& REC, const UserLayout& layout) {
  const auto value = [](std::int32_t v) { return std::to_string(v); };
  if (REC.NTRACE < 1) return "INVALID NUMBER OF TRACES TO READ: " + value(REC.NTRACE);
  if (REC.NSAMP < 1) return "INVALID NUMBER OF SAMPLES IN EACH TRACE: " + value(REC.NSAMP);
  if (layout.firstTrace < 1) return "INVALID FIRST TRACE TO READ: " + value(layout.firstTrace);
  if (layout.headerBytes < 0)
    return "INVALID NUMBER OF FILE HEADER BYTES: " + value(layout.headerBytes);
  if (layout.traceHeaderBytes < 0)
    return "INVALID NUMBER OF TRACE HEADER BYTES: " + value(layout.traceHeaderBytes);
  if (UserSampleBytes(layout.format) == 0)
    return "INVALID TRACE FORMAT: " + value(layout.format);
  return {};
}

UserOutcome DecodeUserFile(std::span<const std::byte> file, ShotRecord& REC,
                           const UserLayout& layout, const UserHooks* hooks) {
  if (!UserLayoutProblem(REC, layout).empty()) return UserOutcome::BadLayout;
  // Every size below is at most 2^31 - 1 and a sample 4 bytes: the whole
  // extent fits 128 bits with room to spare, whatever the layout says.
  using Wide = unsigned __int128;
  const Wide sampleBytes = static_cast<Wide>(REC.NSAMP) * UserSampleBytes(layout.format);
  const Wide stride = static_cast<Wide>(layout.traceHeaderBytes) + sampleBytes;
  const Wide skipped = static_cast<Wide>(layout.headerBytes) +
                       stride * static_cast<Wide>(layout.firstTrace - 1);
  const Wide end = skipped + stride * static_cast<Wide>(REC.NTRACE);
  if (end > file.size()) return UserOutcome::ShortFile;

  // Every sample is written below before the read can succeed.
  if (!RebuildTraceArrays(REC, SegyTraceHeaders::Keep, TraceSamples::Unset))
    return UserOutcome::NoMemory;
  REC.NAUX = 0;
  REC.SHOTY = 0.0f;
  StartTraceStatistics(REC);
  const auto at = static_cast<std::size_t>(skipped);
  const auto step = static_cast<std::size_t>(stride);
  const auto header = static_cast<std::size_t>(layout.traceHeaderBytes);
  const auto bytes = static_cast<std::size_t>(sampleBytes);
  for (std::int32_t k = 1; k <= REC.NTRACE; ++k) {
    if (hooks != nullptr && hooks->beforeTrace) hooks->beforeTrace(k);
    if (hooks != nullptr && hooks->aborted && hooks->aborted()) return UserOutcome::Aborted;
    const std::size_t start = at + step * static_cast<std::size_t>(k - 1) + header;
    const auto j = static_cast<std::size_t>(k - 1);
    REC.GEOLOC[j] = static_cast<float>(static_cast<double>(k - 1) * layout.increment +
                                       static_cast<double>(layout.firstPosition));
    REC.GEOELE[j] = 0.0f;
    DecodeTrace(file.subspan(start, bytes), layout, Trace(REC, k));
    TraceStatistics(REC, k);
  }
  // The spacing the record started with stands when positive; otherwise it
  // follows from the positions, and a spacing of 0 renumbers the traces.
  const std::int32_t n = REC.NTRACE;
  if (REC.SPACING <= 0.0f && n >= 2)
    REC.SPACING = std::fabs(REC.GEOLOC[static_cast<std::size_t>(n - 1)] - REC.GEOLOC[0]) /
                  static_cast<float>(n - 1);
  if (REC.SPACING == 0.0f) {
    for (std::int32_t k = 1; k <= n; ++k) REC.GEOLOC[static_cast<std::size_t>(k - 1)] = k;
    REC.SPACING = 1.0f;
  }
  return UserOutcome::Ok;
}

void USERIN(ShotRecord& REC, std::string_view FNAME, int& IERR, float POSFIRST, float POSINCR,
            std::int32_t IHDRBYTES, std::int32_t ITRHBYTES, std::int32_t ITRSTART,
            std::int32_t IFORMAT, bool LMSBFIRST) {
  const UserLayout layout{POSFIRST, POSINCR, IHDRBYTES, ITRHBYTES, ITRSTART, IFORMAT, LMSBFIRST};
  if (const std::string problem = UserLayoutProblem(REC, layout); !problem.empty())
    return instrument::ReadFail(IERR, problem);
  std::vector<std::byte> file;
  bool opened = false;
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    if (!opened) return instrument::ReadFail(IERR, "ERROR OPENING INPUT FILE");
    file.clear();  // an unreadable file is as short as an empty one
  }
  IERR = 0;
  const bool progress = REC.NTRACE > kProgressAbove;
  if (progress) sup::ProgressOpen(FNAME);
  // A latch left set by an earlier poll must not stop this read before it starts.
  (void)sup::LKILL(1);
  UserHooks hooks;
  const std::int32_t ntrace = REC.NTRACE;
  if (progress)
    hooks.beforeTrace = [ntrace](std::int32_t k) {
      sup::ProgressSet(tk::NearestInt(100.0 * k / ntrace));
    };
  hooks.aborted = [] { return sup::LKILL(0); };
  const UserOutcome outcome = DecodeUserFile(file, REC, layout, &hooks);
  if (progress) {
    sup::ProgressClose();
    (void)sup::LKILL(1);
  }
  switch (outcome) {
    case UserOutcome::Ok:
      return;
    case UserOutcome::BadLayout:  // checked above
      return instrument::ReadFail(IERR, UserLayoutProblem(REC, layout));
    case UserOutcome::ShortFile:
      return instrument::ReadFail(IERR, UserSampleBytes(IFORMAT) == 4
                                            ? "END OF FILE HAS BEEN REACHED WHILE READING TRACES"
                                            : "ERROR READING TRACE");
    case UserOutcome::NoMemory:
      return instrument::ReadFail(IERR, "CANNOT ALLOCATE ARRAYS IN USERIN");
    case UserOutcome::Aborted:
      return instrument::ReadFail(IERR, "INPUT TERMINATED BY USER");
  }
}

}  // namespace vel
