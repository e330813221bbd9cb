#include "formats/SegyIn.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "formats/IbmFloat.h"
#include "formats/SegyHeaders.h"
#include "record/FreshRecord.h"
#include "support/ByteOrder.h"
#include "support/ByteReader.h"
#include "support/FileIO.h"
#include "support/Numerics.h"
#include "support/Parallel.h"
#include "support/ProgramState.h"
#include "support/Progress.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "support/Vectorised.h"

namespace vel {
namespace {

// The program's questions (the shell fills them in) and those in force.
SegyInDialogs gProgramDialogs;
SegyInDialogs gDialogs;
const bool kRegistered = sup::RegisterProgramReset(sup::ProgramLayer::Formats, [] {
  gProgramDialogs = {};
  gDialogs = {};
});

constexpr std::int64_t kMaxTraces = 32767;
// Traces are read in blocks of about this many bytes (at least one trace).
constexpr std::int64_t kReadBlockBytes = 1 << 18;
// A file of at most this many bytes is read whole in its first read.
constexpr std::int64_t kWholeFileBytes = kReadBlockBytes;
// Traces are converted in groups of about this many bytes before their
// headers are checked; a group's read blocks are shared out between threads,
// one thread per kMinPartBytes of the group, at most kMaxParts of them.
constexpr std::int64_t kGroupBytes = 1 << 24;
constexpr std::int64_t kMinPartBytes = 1 << 20;
constexpr int kMaxParts = 4;

std::string Fmt6(long v) {
  char b[32];
  std::snprintf(b, sizeof b, "%6ld", v);
  return b;
}

// The progress dialog is hidden whatever way the read ends.
struct ReadSession {
  bool progressShown = false;
  ~ReadSession() {
    if (progressShown) {
      sup::ProgressClose();
      sup::LKILL(1);
    }
  }
};

bool ReadBytes(int ih, std::vector<std::byte>& buf, std::size_t n) {
  if (n > static_cast<std::size_t>(INT_MAX)) return false;
  buf.resize(n);
  return sup::JREDFIL(ih, std::span<std::byte>(buf), static_cast<int>(n)) == 0;
}

// Samples per trace as a 16-bit field holds them: read unsigned, so that
// counts above 32767 are taken as written.
int SampleCount(std::int32_t field) {
  return static_cast<std::uint16_t>(field);
}

// Four or eight lanes at a time in the compiler's vector types, so that the
// conversions vectorise at any optimisation level; byte swaps are spelt out
// in shifts (a swap the compiler recognises stays scalar).
using U4 = std::uint32_t __attribute__((vector_size(16)));
using I4 = std::int32_t __attribute__((vector_size(16)));
using F4 = float __attribute__((vector_size(16)));
using U8h = std::uint16_t __attribute__((vector_size(16)));
using I8h = std::int16_t __attribute__((vector_size(16)));
using F8 = float __attribute__((vector_size(32)));

inline U4 Swap4(U4 v) {
  const U4 y = ((v & 0x00FF00FFu) << 8) | ((v >> 8) & 0x00FF00FFu);
  return (y << 16) | (y >> 16);
}

template <bool Swap>
void Int32ToFloat(const std::byte* in, float* out, std::size_t n) {
  std::size_t k = 0;
  for (; k + 4 <= n; k += 4) {
    U4 w;
    std::memcpy(&w, in + 4 * k, sizeof w);
    if constexpr (Swap) w = Swap4(w);
    const F4 f = __builtin_convertvector(reinterpret_cast<I4>(w), F4);
    std::memcpy(out + k, &f, sizeof f);
  }
  const sup::ByteOrder order = Swap ? sup::ByteOrder::Big : sup::ByteOrder::Little;
  for (; k < n; ++k)
    out[k] = static_cast<float>(static_cast<std::int32_t>(sup::LoadU32(in + 4 * k, order)));
}

template <bool Swap>
void Int16ToFloat(const std::byte* in, float* out, std::size_t n) {
  std::size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    U8h w;
    std::memcpy(&w, in + 2 * k, sizeof w);
    if constexpr (Swap) w = static_cast<U8h>((w << 8) | (w >> 8));
    const F8 f = __builtin_convertvector(reinterpret_cast<I8h>(w), F8);
    std::memcpy(out + k, &f, sizeof f);
  }
  const sup::ByteOrder order = Swap ? sup::ByteOrder::Big : sup::ByteOrder::Little;
  for (; k < n; ++k)
    out[k] = static_cast<float>(static_cast<std::int16_t>(sup::LoadU16(in + 2 * k, order)));
}

void SwappedFloats(const std::byte* in, float* out, std::size_t n) {
  std::size_t k = 0;
  for (; k + 4 <= n; k += 4) {
    U4 w;
    std::memcpy(&w, in + 4 * k, sizeof w);
    w = Swap4(w);
    std::memcpy(out + k, &w, sizeof w);
  }
  for (; k < n; ++k) out[k] = std::bit_cast<float>(sup::LoadU32(in + 4 * k, sup::ByteOrder::Big));
}

}  // namespace

void SetSegyInDialogs(SegyInDialogs dialogs) {
  if (!dialogs.askNumber) dialogs.askNumber = gProgramDialogs.askNumber;
  if (!dialogs.shortHeaderEdit) dialogs.shortHeaderEdit = gProgramDialogs.shortHeaderEdit;
  gDialogs = std::move(dialogs);
}
void SetSegyInProgramDialogs(SegyInDialogs dialogs) {
  gProgramDialogs = std::move(dialogs);
  if (!gDialogs.askNumber) gDialogs.askNumber = gProgramDialogs.askNumber;
  if (!gDialogs.shortHeaderEdit) gDialogs.shortHeaderEdit = gProgramDialogs.shortHeaderEdit;
}

std::string SegyAcquisitionDate(int year, int dayOfYear) {
  const bool leap = year % 4 == 0;
  int y = year;
  if (y < 1920) y += 1900;
  if (y < 1920) y += 100;
  int d = dayOfYear;
  int month = 1;
  int day = d;
  if (d <= 31) {
    month = 1;
  } else if (d <= 59) {
    month = 2;
    day = d - 31;
  } else if (leap && d == 60) {
    month = 2;
    day = 29;
  } else {
    if (leap) --d;
    static constexpr int kCum[] = {59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    month = 12;
    day = d - 334;
    for (int m = 1; m < 10; ++m) {
      if (kCum[m] >= d) {
        month = m + 2;
        day = d - kCum[m - 1];
        break;
      }
    }
  }
  char b[48];
  std::snprintf(b, sizeof b, "%2d/%2d/%4d", day, month, y);
  std::string s = b;
  std::replace(s.begin(), s.end(), ' ', '0');
  return s;
}

bool DecodeSegyTextHeader(std::span<const std::byte> bytes, bool& ebcdic, bool& recognised,
                          std::string& text) {
  sup::ByteReader r(bytes, sup::ByteOrder::Little);
  std::string first = r.Text(kSegyLineChars);
  std::string rest = r.Text(kSegyTextBytes - kSegyLineChars);
  if (!r.Ok()) return false;
  recognised = true;
  if (first[0] == 'C') {
    ebcdic = false;
  } else {
    sup::ECD2ASC(first, static_cast<int>(first.size()));
    if (first[0] == 'C') {
      ebcdic = true;
    } else {
      recognised = false;
    }
  }
  if (ebcdic) sup::ECD2ASC(rest, static_cast<int>(rest.size()));
  text = first + rest;
  return true;
}

SegyBinaryOutcome DecodeSegyBinaryHeader(std::span<const std::byte> bytes, SegyBinaryHeader& out,
                                         bool& bigEndian, int& badCode) {
  sup::ByteReader r(bytes, sup::ByteOrder::Little);
  SegyBinaryHeader h;
  r.Bytes(h);
  if (!r.Ok()) return SegyBinaryOutcome::Short;
  const int code = SegyGet(h, segy_bin::kFormat);
  const int swapped = static_cast<std::int16_t>(sup::ByteSwap16(static_cast<std::uint16_t>(code)));
  if (code >= 1 && code <= 5) {
    bigEndian = false;
  } else if (swapped >= 1 && swapped <= 5) {
    bigEndian = true;
    SwapSegyBinaryHeader(h);
  } else {
    badCode = swapped;
    return SegyBinaryOutcome::BadFormat;
  }
  if (!bigEndian && SegyGet(h, segy_bin::kFormat) == kSegyIbmFloat)
    SegyPut(h, segy_bin::kFormat, kSegyIeeeFloat);
  out = h;
  return SegyBinaryOutcome::Ok;
}

bool DecodeSegyTraceHeader(std::span<const std::byte> bytes, bool bigEndian, SegyTraceHeader& out) {
  sup::ByteReader r(bytes, sup::ByteOrder::Little);
  r.Bytes(out);
  if (!r.Ok()) return false;
  if (bigEndian) SwapSegyTraceHeader(out);
  return true;
}

bool DecodeSegySamples(std::span<const std::byte> bytes, int format, bool bigEndian,
                       std::span<float> out) {
  const std::size_t n = out.size();
  if (format != kSegyIbmFloat && format != kSegyInt32 && format != kSegyInt16 &&
      format != kSegyIeeeFloat)
    return false;
  sup::ByteReader r(bytes, sup::ByteOrder::Little);
  const std::span<const std::byte> in =
      r.View(n * static_cast<std::size_t>(SegyBytesPerSample(format)));
  if (!r.Ok()) return false;
  if (n > static_cast<std::size_t>(INT_MAX)) return false;
  switch (format) {
    case kSegyIbmFloat:
      IbmBytesToIeeeFloat(in, out, static_cast<int>(n), 0);
      break;
    case kSegyInt16:
      if (bigEndian) {
        Int16ToFloat<true>(in.data(), out.data(), n);
      } else {
        Int16ToFloat<false>(in.data(), out.data(), n);
      }
      break;
    case kSegyInt32:
      if (bigEndian) {
        Int32ToFloat<true>(in.data(), out.data(), n);
      } else {
        Int32ToFloat<false>(in.data(), out.data(), n);
      }
      break;
    default:
      if (bigEndian) {
        SwappedFloats(in.data(), out.data(), n);
      } else if (n > 0) {
        std::memcpy(out.data(), in.data(), 4 * n);
      }
      break;
  }
  return true;
}

namespace {

// Eight lanes at a time for the range search and the conversions fused with
// it. The lanes keep the order in which samples meet the marks: sample k
// always goes to lane k mod 16 (two groups of eight), and the lanes are
// merged in that order, so every path gives the same marks, signed zeros
// included.
using U8 = sup::U32x8;
using I8 = sup::I32x8;
using F8w = sup::F32x8;

// IBM words (machine order) to IEEE bits, the steps of IbmToIeeeBits with
// the exponent's bias folded in: the fraction converted to a single carries
// the place of its leading bit in its exponent field, and adding four times
// the IBM exponent there (less the bias) gives the result wherever it is a
// normal single.
[[gnu::always_inline]] inline void IbmToIeee8(U8& word) {
  const U8 ibm = word;
  const U8 m = ibm & 0x00FFFFFFu;
  const U8 normalised = reinterpret_cast<U8>(__builtin_convertvector(reinterpret_cast<I8>(m), F8w));
  const I8 fourE = reinterpret_cast<I8>((ibm >> 22) & 0x1FCu);
  // The result's exponent field plus 280: in range from 281 to 534.
  const I8 e = reinterpret_cast<I8>(normalised >> 23) + fourE;
  const U8 sign = ibm & 0x80000000u;
  const U8 inRange = sign | (normalised + (reinterpret_cast<U8>(fourE - 280) << 23));
  const U8 over = reinterpret_cast<U8>(e > 534);
  const U8 result = (over & (sign | 0x7F7FFFFFu)) | (~over & inRange);
  const U8 zero = reinterpret_cast<U8>(e < 281) | reinterpret_cast<U8>(m == 0u);
  word = ~zero & result;
}

// A sample that counts (not NaN, magnitude at most 1e15, zero or at least
// 1e-30) replaces the low or high mark it passes. On the wider unit the
// marks move with the minimum and maximum instructions, which keep the mark
// when a sample equals it or is NaN: a sample that does not count is made
// NaN first.
template <bool Wide>
[[gnu::always_inline]] inline void RangeStep8(const U8& bits, U8& lo8, U8& hi8) {
  const F8w v = reinterpret_cast<F8w>(bits);
  const F8w a = reinterpret_cast<F8w>(bits & 0x7FFFFFFFu);
  const I8 counts = (a <= 1e15f) & ((a >= 1e-30f) | (a == 0.0f));
  if constexpr (Wide) {
    const F8w w = reinterpret_cast<F8w>(bits | ~reinterpret_cast<U8>(counts));
#if defined(__clang__)
    // The same choice spelt out (w where it is greater, else the mark): clang
    // checks a builtin against the function it is written in, not the one it
    // is inlined into.
    const U8 wBits = reinterpret_cast<U8>(w);
    const U8 above = reinterpret_cast<U8>(w > reinterpret_cast<F8w>(hi8));
    const U8 below = reinterpret_cast<U8>(w < reinterpret_cast<F8w>(lo8));
    hi8 = (above & wBits) | (~above & hi8);
    lo8 = (below & wBits) | (~below & lo8);
#else
    hi8 = reinterpret_cast<U8>(__builtin_ia32_maxps256(w, reinterpret_cast<F8w>(hi8)));
    lo8 = reinterpret_cast<U8>(__builtin_ia32_minps256(w, reinterpret_cast<F8w>(lo8)));
#endif
  } else {
    const U8 above = reinterpret_cast<U8>(counts & (v > reinterpret_cast<F8w>(hi8)));
    const U8 below = reinterpret_cast<U8>(counts & (v < reinterpret_cast<F8w>(lo8)));
    hi8 = (above & bits) | (~above & hi8);
    lo8 = (below & bits) | (~below & lo8);
  }
}

enum class Words { Ieee, SwappedIeee, Ibm };

// Eight words read and written where they lie, in place of a copy through
// the stack: the compiler splits such copies into halves, and reading a
// whole register back from two half stores stalls on every step.
typedef U8 UnalignedU8 __attribute__((aligned(4), may_alias));
using Bytes32 = unsigned char __attribute__((vector_size(32)));

// The bytes of each word reversed: one byte shuffle on the wider unit; the
// baseline has none and takes the shifts.
template <bool Wide>
[[gnu::always_inline]] inline void SwapWords(U8& v) {
  if constexpr (Wide) {
#if defined(__clang__)
    const Bytes32 b = reinterpret_cast<Bytes32>(v);
    v = reinterpret_cast<U8>(__builtin_shufflevector(b, b, 3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8,
                                                     15, 14, 13, 12, 19, 18, 17, 16, 23, 22, 21,
                                                     20, 27, 26, 25, 24, 31, 30, 29, 28));
#else
    v = reinterpret_cast<U8>(__builtin_shuffle(
        reinterpret_cast<Bytes32>(v),
        Bytes32{3,  2,  1,  0,  7,  6,  5,  4,  11, 10, 9,  8,  15, 14, 13, 12,
                19, 18, 17, 16, 23, 22, 21, 20, 27, 26, 25, 24, 31, 30, 29, 28}));
#endif
  } else {
    sup::SwapBytes(v);
  }
}

// Converts N words of KIND from IN into OUT and lowers LO / raises HI to
// the range of the samples that count. Without OUT only the range is
// sought (KIND then Ieee).
template <Words Kind, bool Wide>
[[gnu::always_inline]] inline void ConvertWithRange(const std::byte* in, float* out, std::size_t n,
                                                    float& lo, float& hi) {
  const float l0 = lo, h0 = hi;
  const U8 lo0 = reinterpret_cast<U8>(F8w{l0, l0, l0, l0, l0, l0, l0, l0});
  const U8 hi0 = reinterpret_cast<U8>(F8w{h0, h0, h0, h0, h0, h0, h0, h0});
  U8 la = lo0, lb = lo0, ha = hi0, hb = hi0;
  std::size_t k = 0;
  for (; k + 16 <= n; k += 16) {
    U8 w0 = *reinterpret_cast<const UnalignedU8*>(in + 4 * k);
    U8 w1 = *reinterpret_cast<const UnalignedU8*>(in + 4 * k + 32);
    if constexpr (Kind != Words::Ieee) {
      SwapWords<Wide>(w0);
      SwapWords<Wide>(w1);
    }
    if constexpr (Kind == Words::Ibm) {
      IbmToIeee8(w0);
      IbmToIeee8(w1);
    }
    if (out != nullptr) {
      *reinterpret_cast<UnalignedU8*>(out + k) = w0;
      *reinterpret_cast<UnalignedU8*>(out + k + 8) = w1;
    }
    RangeStep8<Wide>(w0, la, ha);
    RangeStep8<Wide>(w1, lb, hb);
  }
  for (; out != nullptr && k < n; ++k) {
    std::uint32_t w;
    std::memcpy(&w, in + 4 * k, sizeof w);
    if constexpr (Kind != Words::Ieee) w = sup::ByteSwap32(w);
    if constexpr (Kind == Words::Ibm) w = IbmToIeeeBits(w);
    std::memcpy(out + k, &w, sizeof w);
  }
  for (const U8& v : {la, lb}) {
    const F8w f = reinterpret_cast<F8w>(v);
    for (int i = 0; i < 8; ++i) {
      if (f[i] < lo) lo = f[i];
    }
  }
  for (const U8& v : {ha, hb}) {
    const F8w f = reinterpret_cast<F8w>(v);
    for (int i = 0; i < 8; ++i) {
      if (f[i] > hi) hi = f[i];
    }
  }
  const std::size_t tail = n - (n / 16) * 16;
  const float* converted = out != nullptr ? out : reinterpret_cast<const float*>(in);
  sup::FINDNX(std::span<const float>(converted + (n - tail), tail), static_cast<int>(tail), lo, hi);
}

template <Words Kind, bool Wide>
struct ConvertWithRangeKernel {
  [[gnu::always_inline]] void operator()(const std::byte* in, float* out, std::size_t n, float& lo,
                                         float& hi) const {
    ConvertWithRange<Kind, Wide>(in, out, n, lo, hi);
  }
};
// The machine's wider vector unit where it has one.
template <Words Kind>
void ConvertWords(const std::byte* in, float* out, std::size_t n, float& lo, float& hi) {
  if (sup::HasWideVectors()) {
    sup::CallKernelWide<ConvertWithRangeKernel<Kind, true>>(in, out, n, lo, hi);
  } else {
    sup::CallKernelBase<ConvertWithRangeKernel<Kind, false>>(in, out, n, lo, hi);
  }
}

}  // namespace

void SegySampleRange(std::span<const float> samples, float& lo, float& hi) {
  ConvertWords<Words::Ieee>(reinterpret_cast<const std::byte*>(samples.data()), nullptr,
                            samples.size(), lo, hi);
}

bool DecodeSegySamplesWithRange(std::span<const std::byte> bytes, int format, bool bigEndian,
                                std::span<float> out, float& lo, float& hi) {
  if (format == kSegyIbmFloat || format == kSegyIeeeFloat) {
    sup::ByteReader r(bytes, sup::ByteOrder::Little);
    const std::span<const std::byte> in = r.View(out.size_bytes());
    if (!r.Ok()) return false;
    if (format == kSegyIbmFloat) {
      ConvertWords<Words::Ibm>(in.data(), out.data(), out.size(), lo, hi);
    } else if (bigEndian) {
      ConvertWords<Words::SwappedIeee>(in.data(), out.data(), out.size(), lo, hi);
    } else {
      ConvertWords<Words::Ieee>(in.data(), out.data(), out.size(), lo, hi);
    }
    return true;
  }
  if (!DecodeSegySamples(bytes, format, bigEndian, out)) return false;
  SegySampleRange(out, lo, hi);
  return true;
}

void TRCYIN(std::span<float> SAMPLES, int IH, int FORMAT, int N, bool BIGENDIAN, int& ERROR) {
  if (FORMAT == kSegyFixedGain) {
    sup::WINMSG("SEG-Y FORMAT NUMBER 4 IS UNSUPPORTED");
    ERROR = -1;
    return;
  }
  if (FORMAT != kSegyIbmFloat && FORMAT != kSegyInt32 && FORMAT != kSegyInt16 &&
      FORMAT != kSegyIeeeFloat) {
    return;
  }
  const int n = std::clamp(N, 0, static_cast<int>(SAMPLES.size()));
  std::vector<std::byte> raw;
  if (!ReadBytes(
          IH, raw,
          static_cast<std::size_t>(n) * static_cast<std::size_t>(SegyBytesPerSample(FORMAT)))) {
    sup::WINMSG("END OF FILE HAS BEEN REACHED WHILE READING TRACES");
    ERROR = -1;
    return;
  }
  (void)DecodeSegySamples(raw, FORMAT, BIGENDIAN, SAMPLES.first(static_cast<std::size_t>(n)));
}

void SEGYIN(ShotRecord& REC, std::string_view NAME, int& RECORDNUMBER, int& ERROR,
            const SegyInOptions& options) {
  SegyInState fresh;
  SEGYIN(REC, NAME, RECORDNUMBER, ERROR, options, fresh);
}

namespace {

// Where the record's traces lie in the file and how their samples are coded.
struct SegyPassSetup {
  int handle = -1;
  std::int64_t firstTrace = 0;  // file offset of the record's first trace
  std::int64_t block = 0;       // bytes of one trace, header included
  int format = 0;
  bool bigEndian = false;
  std::span<const std::byte> lead;  // the file's first bytes, already read
};

// The bytes of N traces from trace I (1-based) where they are already read,
// or empty.
std::span<const std::byte> LeadTraces(const SegyPassSetup& setup, std::int64_t i, std::int64_t n) {
  const std::int64_t from = setup.firstTrace + (i - 1) * setup.block;
  const std::int64_t bytes = n * setup.block;
  if (from < 0 || from + bytes > static_cast<std::int64_t>(setup.lead.size())) return {};
  return setup.lead.subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(bytes));
}

// What the conversion pass found for one trace.
struct SegyTracePass {
  bool read = false;     // its bytes were read
  bool decoded = false;  // its samples were converted
  float lo = 1.0e30f;    // range of the samples that count
  float hi = -1.0e30f;
};

// Converts the samples of trace I (1-based; its bytes, header first, in
// BYTES) into its column and notes their range.
void ConvertSegyTrace(ShotRecord& work, const SegyPassSetup& setup, std::int64_t i,
                      std::span<const std::byte> bytes, SegyTracePass& out) {
  out.read = true;
  const std::span<float> tr = Trace(work, static_cast<int>(i));
  out.lo = 1.0e30f;
  out.hi = -1.0e30f;
  out.decoded = DecodeSegySamplesWithRange(bytes.subspan(kSegyTraceHeaderBytes), setup.format,
                                           setup.bigEndian, tr, out.lo, out.hi);
}

// Traces a read block holds: about kReadBlockBytes, at least one.
std::int64_t TracesPerBlock(std::int64_t block) {
  return std::max<std::int64_t>(1, kReadBlockBytes / block);
}

// Reads COUNT traces from trace FIRST (1-based) in blocks through BUFFER,
// keeps each trace's header in HEADERS and converts its samples into its
// column. A trace whose block could not be read is left unread, as are
// those after it.
void ConvertSegyPart(ShotRecord& work, const SegyPassSetup& setup, std::int64_t groupFirst,
                     std::int64_t first, std::int64_t count, std::span<std::byte> buffer,
                     std::span<std::byte> headers, std::span<SegyTracePass> pass) {
  const std::int64_t perBlock = TracesPerBlock(setup.block);
  for (std::int64_t i = first; i < first + count; i += perBlock) {
    const std::int64_t n = std::min(perBlock, first + count - i);
    std::span<const std::byte> bytes = LeadTraces(setup, i, n);
    if (bytes.empty()) {
      const std::span<std::byte> read = buffer.first(static_cast<std::size_t>(n * setup.block));
      if (!sup::ReadBytesAt(setup.handle, read, setup.firstTrace + (i - 1) * setup.block)) return;
      bytes = read;
    }
    for (std::int64_t k = 0; k < n; ++k) {
      const std::span<const std::byte> trace = std::span<const std::byte>(bytes).subspan(
          static_cast<std::size_t>(k * setup.block), static_cast<std::size_t>(setup.block));
      const std::size_t at = static_cast<std::size_t>(i + k - groupFirst);
      std::memcpy(headers.data() + at * kSegyTraceHeaderBytes, trace.data(), kSegyTraceHeaderBytes);
      ConvertSegyTrace(work, setup, i + k, trace, pass[at]);
    }
  }
}

// Working memory of the conversion pass, kept from one group to the next.
struct SegyGroupMemory {
  std::unique_ptr<std::byte[]> blocks;  // one read block per thread
  std::size_t blockBytes = 0;
  int threads = 0;
  std::vector<std::byte> headers;   // the group's trace headers
  std::vector<SegyTracePass> pass;  // what the pass found per trace
};

// One of the read blocks not in use (a bit of FREE each), taken from FREE.
int TakeBlock(std::atomic<unsigned>& free) {
  for (;;) {
    unsigned bits = free.load(std::memory_order_acquire);
    while (bits != 0) {
      const unsigned lowest = bits & (~bits + 1u);
      if (free.compare_exchange_weak(bits, bits & ~lowest, std::memory_order_acq_rel))
        return std::countr_zero(lowest);
    }
    std::this_thread::yield();  // never for long: there is a block per thread
  }
}

// The conversion pass over COUNT traces from trace FIRST: a read block of
// traces at a time, the blocks shared out between threads as they come free.
// False when its working memory cannot be had.
bool ConvertSegyGroup(ShotRecord& work, const SegyPassSetup& setup, std::int64_t first,
                      std::int64_t count, SegyGroupMemory& memory) {
  const int threads = sup::PartsFor(count * setup.block, kMinPartBytes, kMaxParts);
  const std::int64_t perBlock = std::min(TracesPerBlock(setup.block), count);
  const std::size_t blockBytes = static_cast<std::size_t>(perBlock * setup.block);
  // Traces already read need no read blocks.
  const bool read = !LeadTraces(setup, first, count).empty();
  try {
    if (!read && (threads > memory.threads || blockBytes > memory.blockBytes)) {
      memory.blocks.reset();
      memory.blocks.reset(new std::byte[blockBytes * static_cast<std::size_t>(threads)]);
      memory.threads = threads;
      memory.blockBytes = blockBytes;
    }
    memory.headers.resize(static_cast<std::size_t>(count) * kSegyTraceHeaderBytes);
    memory.pass.assign(static_cast<std::size_t>(count), SegyTracePass{});
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  std::atomic<unsigned> free{(1u << threads) - 1u};
  const auto blocks = static_cast<int>((count + perBlock - 1) / perBlock);
  sup::RunParts(
      blocks,
      [&](int b) {
        const int slot = TakeBlock(free);
        const std::int64_t from = static_cast<std::int64_t>(b) * perBlock;
        std::span<std::byte> buffer;
        if (!read) {
          buffer = std::span<std::byte>(
              memory.blocks.get() + static_cast<std::size_t>(slot) * memory.blockBytes, blockBytes);
        }
        ConvertSegyPart(work, setup, first, first + from, std::min(perBlock, count - from), buffer,
                        memory.headers, memory.pass);
        free.fetch_or(1u << slot, std::memory_order_release);
      },
      threads);
  return true;
}

}  // namespace

namespace {
// The read itself, over a file open for reading (left open) whose first
// bytes the caller may have read already.
void SegyRead(ShotRecord& REC, const SegyInFile& file, const std::string& name, int& RECORDNUMBER,
              int& ERROR, const SegyInOptions& options, SegyInState& STATE);
}  // namespace

std::size_t SegyInLeadBytes(std::int64_t fileSize) {
  if (fileSize <= 0) return 0;
  if (fileSize <= kWholeFileBytes) return static_cast<std::size_t>(fileSize);
  return kSegyFileHeaderBytes + kSegyTraceHeaderBytes;
}

void SEGYIN(ShotRecord& REC, std::string_view NAME, int& RECORDNUMBER, int& ERROR,
            const SegyInOptions& options, SegyInState& STATE) {
  ERROR = -1;
  const std::string name(sup::FixedString<256>(NAME).Trimmed());
  const int ih = sup::IOPNRLY(name);
  if (ih < 0) {
    sup::WINMSG("ERROR OPENING SEGY INPUT FILE");
    return;
  }
  std::error_code ec;
  const auto fsize = std::filesystem::file_size(name, ec);
  SegyInFile file;
  file.handle = ih;
  file.size = ec ? 0 : static_cast<std::int64_t>(fsize);
  // The file's first bytes in one read: the whole of a small file. What
  // could not be read is read again where it is needed, and reported there.
  std::vector<std::byte> lead(SegyInLeadBytes(file.size));
  const int status = sup::JREDFIL(ih, std::span<std::byte>(lead), static_cast<int>(lead.size()));
  if (status < 0 || static_cast<std::size_t>(status) > lead.size()) {
    sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
  } else {
    file.head = std::span<const std::byte>(lead).first(lead.size() - static_cast<std::size_t>(status));
    SegyRead(REC, file, name, RECORDNUMBER, ERROR, options, STATE);
  }
  sup::ICLSFIL(ih);
}

void SEGYIN(ShotRecord& REC, const SegyInFile& FILE, std::string_view NAME, int& RECORDNUMBER,
            int& ERROR, const SegyInOptions& options, SegyInState& STATE) {
  ERROR = -1;
  const std::string name(sup::FixedString<256>(NAME).Trimmed());
  SegyRead(REC, FILE, name, RECORDNUMBER, ERROR, options, STATE);
}

namespace {

void SegyRead(ShotRecord& REC, const SegyInFile& file, const std::string& name,
              int& RECORDNUMBER, int& ERROR, const SegyInOptions& options, SegyInState& STATE) {
  const bool compliant = options.compliant;
  const bool readText = compliant || options.readTextHeader;
  const bool readBinary = compliant || options.readBinaryHeader;
  const bool useHeaders = compliant || options.useTraceHeaders;

  ReadSession session;
  const int ih = file.handle;
  const std::int64_t fileSize = file.size;

  ShotRecord work = FreshRecord(REC, ReadStart::Scalars);
  work.IFDBLEN[0] = 0;
  work.CFDBVAL[0] = sup::FixedString<30>();

  // The file headers and the first trace header, from the bytes the caller
  // has read or else in one read.
  const std::int64_t headerEnd =
      (readText ? static_cast<std::int64_t>(kSegyTextBytes) : 0) +
      (readBinary ? static_cast<std::int64_t>(kSegyBinaryHeaderBytes) : 0);
  std::vector<std::byte> head;
  const std::size_t headWanted = static_cast<std::size_t>(std::max<std::int64_t>(
      std::min<std::int64_t>(headerEnd + static_cast<std::int64_t>(kSegyTraceHeaderBytes),
                             fileSize),
      0));
  std::span<const std::byte> rest = file.head.first(std::min(headWanted, file.head.size()));
  if (rest.size() < headWanted) {
    if (sup::ISETFIL(ih, 0) != 0 || !ReadBytes(ih, head, headWanted)) {
      sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
      return;
    }
    rest = head;
  }

  if (readText) {
    std::string text;
    bool recognised = true;
    if (!DecodeSegyTextHeader(rest, STATE.ebcdic, recognised, text)) {
      sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
      return;
    }
    if (!recognised && compliant) sup::WINWRN("3200 BYTE HEADER IS NEITHER ASCII OR EBCDIC.");
    work.CSEGYTXT = text;
    rest = rest.subspan(kSegyTextBytes);
  }

  // Binary header: the format code decides the byte order.
  bool bigEndian = options.bigEndian;
  SegyBinaryHeader bin{};
  if (readBinary) {
    int badCode = 0;
    switch (DecodeSegyBinaryHeader(rest, bin, bigEndian, badCode)) {
      case SegyBinaryOutcome::Ok:
        break;
      case SegyBinaryOutcome::BadFormat: {
        char b[16];
        std::snprintf(b, sizeof b, "%5d", badCode);
        sup::WINMSG(std::string("INVALID DATA SAMPLE FORMAT CODE: ") + b);
        sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
        return;
      }
      case SegyBinaryOutcome::Short:
        sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
        return;
    }
    STATE.binaryHeader = bin;
    rest = rest.subspan(kSegyBinaryHeaderBytes);
  }

  int format = SegyGet(STATE.binaryHeader, segy_bin::kFormat);
  std::int64_t dataTraces = 0;
  std::int64_t auxTraces = 0;
  int nsamp = work.NSAMP;
  float sampint = work.SAMPINT;
  if (readBinary) {
    dataTraces = SegyGet(bin, segy_bin::kDataTraces);
    auxTraces = std::max<std::int64_t>(0, SegyGet(bin, segy_bin::kAuxTraces));
    nsamp = SampleCount(SegyGet(bin, segy_bin::kSamples));
    sampint = static_cast<float>(SegyGet(bin, segy_bin::kSampleInterval)) * 0.001f;
    work.ISHOT = SegyGet(bin, segy_bin::kJobId);
  }

  // Trace 1's header names the sample count and interval where the trace
  // headers are used; a zero there leaves the binary header's value. A count
  // in trace 1 that does not divide the traces into whole blocks while the
  // binary header's does is a stale header word (files cut down from larger
  // ones keep it): the binary header's count is taken and the user told.
  // The traces that repeat trace 1's count are then read as agreeing.
  int headerNsamp = 0;  // the count the trace headers give, when it is not the one used
  if (useHeaders) {
    SegyTraceHeader h;
    if (DecodeSegyTraceHeader(rest, bigEndian, h)) {
      const int traceNs = SampleCount(SegyGet(h, segy_trc::kSamples));
      if (traceNs > 0 && traceNs != nsamp) {
        const std::int64_t data = fileSize - headerEnd;
        const auto whole = [&](int ns) {
          const std::int64_t b = static_cast<std::int64_t>(kSegyTraceHeaderBytes) +
                                 static_cast<std::int64_t>(ns) * SegyBytesPerSample(format);
          return data > 0 && data % b == 0;
        };
        if (readBinary && nsamp > 0 && !whole(traceNs) && whole(nsamp)) {
          headerNsamp = traceNs;
          sup::WINMSG("All traces must have same number of samples " + Fmt6(nsamp) + " vs " +
                      Fmt6(traceNs) + "\nTrace 1 does not fit the file; the binary header's " +
                      std::to_string(nsamp) + " samples per trace are read.");
        } else {
          nsamp = traceNs;
        }
      }
      if (SegyGet(h, segy_trc::kSampleInterval) != 0)
        sampint = static_cast<float>(SegyGet(h, segy_trc::kSampleInterval)) * 0.001f;
    }
  }
  const auto blockBytes = [&](int fmt) {
    return static_cast<std::int64_t>(kSegyTraceHeaderBytes) +
           static_cast<std::int64_t>(std::max(nsamp, 0)) * SegyBytesPerSample(fmt);
  };

  // Trace count of a binary header that gives none.
  if (readBinary && dataTraces <= 0) {
    int answer = static_cast<int>(std::clamp<std::int64_t>(
        std::max<std::int64_t>(0, fileSize - static_cast<std::int64_t>(kSegyFileHeaderBytes)) /
            blockBytes(format),
        0, INT_MAX));
    if (!gDialogs.askNumber || !gDialogs.askNumber("NUMBER OF TRACES MUST BE POSITIVE:", answer) ||
        answer < 1 || answer > kMaxTraces) {
      return;
    }
    dataTraces = answer;
    auxTraces = 0;
  }

  // Records.
  int record = 1;
  std::int64_t nrec = 0;
  const bool binaryAvailable = readBinary;
  if (binaryAvailable && dataTraces + auxTraces > 0) {
    nrec = std::max<std::int64_t>(0, fileSize - headerEnd) /
           ((dataTraces + auxTraces) * blockBytes(format));
  }
  if (binaryAvailable && nrec > 1) {
    if (options.countOnly) {
      RECORDNUMBER = static_cast<int>(std::min<std::int64_t>(nrec, INT_MAX));
      REC.CSEGYTXT = work.CSEGYTXT;
      REC.IFDBLEN[0] = 0;
      REC.CFDBVAL[0] = sup::FixedString<30>();
      ERROR = 0;
      return;
    }
    if (options.selectRecord) {
      if (RECORDNUMBER > nrec) {
        sup::WINMSG("SELECTED RECORD GREATER THAN NUMBER OF RECORDS");
        return;
      }
      record = std::max(1, RECORDNUMBER);
      STATE.selectedRecord = record;
    } else if (options.joinAll) {
      dataTraces *= nrec;
      auxTraces *= nrec;
      record = 1;
    } else if (compliant) {
      int answer = STATE.selectedRecord;
      if (!gDialogs.askNumber ||
          !gDialogs.askNumber(
              "Record sequence number to read (1:" + Fmt6(static_cast<long>(nrec)) + "):",
              answer) ||
          answer < 1 || answer > nrec) {
        return;
      }
      record = answer;
      STATE.selectedRecord = answer;
    } else {
      record = STATE.selectedRecord;
    }
    // Record name: the file name with "-" and the record number in place of its extension.
    const std::size_t slash = name.find_last_of("\\/");
    const std::string base = name.substr(slash == std::string::npos ? 0 : slash + 1);
    std::string rn(sup::FixedString<32>(base).View());
    const std::size_t dot = rn.find('.');
    std::size_t p =
        dot == std::string::npos ? sup::FixedString<32>(base).UsedLength() + 1 : dot + 1;
    if (dot != std::string::npos)
      std::fill(rn.begin() + static_cast<std::ptrdiff_t>(dot), rn.end(), ' ');
    const int digits = static_cast<int>(std::to_string(nrec).size());
    char num[32];
    std::snprintf(num, sizeof num, "%0*d", digits, record);
    if (p + static_cast<std::size_t>(digits) < 32) {
      rn[p - 1] = '-';
      rn.replace(p, static_cast<std::size_t>(digits), num);
    }
    work.CRECNAME = rn;
  } else {
    record = 1;
    STATE.selectedRecord = 1;
  }

  if (binaryAvailable) {
    work.NTRACE =
        static_cast<std::int32_t>(std::min<std::int64_t>(dataTraces + auxTraces, INT_MAX));
    work.NAUX = static_cast<std::int32_t>(std::min<std::int64_t>(auxTraces, INT_MAX));
    work.SAMPINT = sampint;
    work.NSAMP = nsamp;
    SegyPut(bin, segy_bin::kDataTraces,
            static_cast<std::int32_t>(std::min<std::int64_t>(dataTraces, kMaxTraces)));
    SegyPut(bin, segy_bin::kAuxTraces,
            static_cast<std::int32_t>(std::min<std::int64_t>(auxTraces, kMaxTraces)));
    work.ISEGYBIN = bin;
  } else {
    work.SAMPINT = sampint;
    work.NSAMP = nsamp;
  }

  // The user describes a non-compliant file.
  if (!compliant) {
    int answerFormat = format;
    int answerRecord = record;
    if (!gDialogs.shortHeaderEdit || !gDialogs.shortHeaderEdit(work, answerRecord, answerFormat))
      return;
    // "32-bit Floating Point" is IEEE where a binary header read says so (or
    // the file is little-endian), IBM otherwise.
    if (answerFormat <= 1) {
      answerFormat =
          (readBinary && format == kSegyIeeeFloat) || !bigEndian ? kSegyIeeeFloat : kSegyIbmFloat;
    } else if (answerFormat > 3) {
      answerFormat = kSegyInt16;
    }
    format = answerFormat;
    record = answerRecord;
    nsamp = work.NSAMP;
    sampint = work.SAMPINT;
    dataTraces = static_cast<std::int64_t>(work.NTRACE) - std::max(0, work.NAUX);
    auxTraces = std::max(0, work.NAUX);
  }

  // Everything a position or an allocation depends on, checked first.
  const std::int64_t total = dataTraces + auxTraces;
  if (total < 1) return;
  if (format == kSegyFixedGain) {
    sup::WINMSG("SEG-Y FORMAT NUMBER 4 IS UNSUPPORTED");
    return;
  }
  if (format != kSegyIbmFloat && format != kSegyInt32 && format != kSegyInt16 &&
      format != kSegyIeeeFloat) {
    sup::WINMSG("INVALID DATA SAMPLE FORMAT CODE: " + Fmt6(format));
    return;
  }
  if (nsamp <= 0) {
    sup::WINMSG("Traces have zero samples!");
    return;
  }
  if (!(sampint > 0.0f)) {
    sup::WINMSG("Traces have zero sample rate!");
    return;
  }
  if (dataTraces < 1 || record < 1) {
    sup::WINMSG("ERROR ADVANCING SEGY FILE TO RECORD " + Fmt6(record));
    return;
  }
  const std::int64_t block = blockBytes(format);
  const std::int64_t start = headerEnd + static_cast<std::int64_t>(record - 1) * total * block;
  // A file read whole needs no position.
  const bool wholeFileRead = static_cast<std::int64_t>(file.head.size()) >= fileSize;
  if (start > fileSize || start > INT_MAX ||
      (!wholeFileRead && sup::ISETFIL(ih, static_cast<int>(start)) != 0)) {
    sup::WINMSG("ERROR ADVANCING SEGY FILE TO RECORD " + Fmt6(record));
    return;
  }
  // Only the traces the file can hold are allocated. A file that ends inside
  // a trace's samples (its header complete) fails at that trace; one that
  // ends inside a trace header keeps the traces before it.
  const std::int64_t available = (fileSize - start) / block;
  const std::int64_t toRead = std::min(total, available);
  const bool cutInSamples =
      total > available &&
      fileSize - start - available * block >= static_cast<std::int64_t>(kSegyTraceHeaderBytes);
  const char* const cutMessage = format == kSegyInt16 || format == kSegyInt32
                                     ? "ERROR READING SEGY TRACE"
                                     : "END OF FILE HAS BEEN REACHED WHILE READING TRACES";
  if (toRead < 1) {
    sup::WINMSG(cutInSamples ? cutMessage : "ERROR READING SEGY TRACE HEADER");
    return;
  }
  work.NTRACE = static_cast<std::int32_t>(toRead);
  work.NSAMP = nsamp;
  work.SAMPINT = sampint;
  work.NAUX = static_cast<std::int32_t>(auxTraces);
  // The samples are not zeroed first: every trace kept is converted in full
  // and those after the last one kept are zeroed below.
  if (!RebuildTraceArrays(work, SegyTraceHeaders::Allocate, TraceSamples::Unset)) {
    sup::WINMSG("CANNOT ALLOCATE TRACE ARRAYS IN SEGYIN");
    return;
  }
  work.GMIN = 1.0e30f;
  work.GMAX = -1.0e30f;

  const bool batchProgress = options.countOnly;
  if (!batchProgress && total > 100) {
    sup::ProgressOpen(name);
    sup::LKILL(1);
    session.progressShown = true;
  }

  // The traces come in groups: first the samples of a whole group are read
  // and converted straight into the record's columns (the group split
  // between threads when it is large, each reading its own part of the file
  // in blocks), then the group's headers are checked trace by trace in file
  // order, as the progress display and the first bad trace require.
  const SegyPassSetup setup{ih, headerEnd + static_cast<std::int64_t>(record - 1) * total * block,
                            block, format, bigEndian, file.head};
  const std::int64_t perGroup = std::clamp<std::int64_t>(kGroupBytes / block, 1, toRead);
  SegyGroupMemory memory;
  std::int64_t groupFirst = 0;  // first trace (1-based) of the group converted
  std::int64_t groupCount = 0;  // traces in that group
  std::vector<std::byte> chunk;

  // A later trace whose sample count or interval is not the first trace's
  // ends the read there; the message says which.
  const auto Mismatch = [&](const SegyTraceHeader& h) -> std::string {
    const int ns = SampleCount(SegyGet(h, segy_trc::kSamples));
    if (ns != 0 && ns != nsamp && ns != headerNsamp)
      return "All traces must have same number of samples " + Fmt6(nsamp) + " vs " + Fmt6(ns);
    const int si = SegyGet(h, segy_trc::kSampleInterval);
    const float dt = static_cast<float>(si) * 0.001f;
    if (si != 0 && std::fabs(dt - sampint) > 1e-6f * std::fabs(sampint)) {
      char b[96];
      std::snprintf(b, sizeof b, "%6.3f vs %6.3f", static_cast<double>(sampint),
                    static_cast<double>(dt));
      return std::string("All traces must have same sample interval ") + b;
    }
    return {};
  };

  std::int64_t kept = 0;
  std::string stopMessage;
  for (std::int64_t i = 1; i <= total; ++i) {
    if (session.progressShown || batchProgress) {
      sup::ProgressSet(static_cast<int>(
          std::lround(static_cast<double>(i) * 100.0 / static_cast<double>(total))));
    }
    if (sup::LKILL(0)) {
      sup::WINMSG("INPUT TERMINATED BY USER");
      return;
    }
    if (i > toRead) {
      stopMessage = "ERROR READING SEGY TRACE HEADER";
      if (cutInSamples && i == toRead + 1) {
        // The header is there: a count or interval that differs ends the read
        // as for any trace; otherwise the samples are missing.
        const std::int64_t pos = setup.firstTrace + (i - 1) * block;
        SegyTraceHeader h;
        const auto headEnd = static_cast<std::int64_t>(file.head.size());
        const bool inHead = pos + static_cast<std::int64_t>(kSegyTraceHeaderBytes) <= headEnd;
        if (inHead) {
          const auto at = file.head.subspan(static_cast<std::size_t>(pos), kSegyTraceHeaderBytes);
          chunk.assign(at.begin(), at.end());
        }
        if ((inHead || (pos <= INT_MAX && sup::ISETFIL(ih, static_cast<int>(pos)) == 0 &&
                        ReadBytes(ih, chunk, kSegyTraceHeaderBytes))) &&
            DecodeSegyTraceHeader(chunk, bigEndian, h)) {
          stopMessage = useHeaders ? Mismatch(h) : std::string();
          if (stopMessage.empty()) {
            sup::WINMSG(cutMessage);
            return;
          }
        }
      }
      break;
    }
    if (i >= groupFirst + groupCount) {
      groupFirst = i;
      groupCount = std::min(perGroup, toRead - i + 1);
      if (!ConvertSegyGroup(work, setup, groupFirst, groupCount, memory)) {
        sup::WINMSG("CANNOT ALLOCATE TRACE ARRAYS IN SEGYIN");
        return;
      }
    }
    const std::size_t at = static_cast<std::size_t>(i - groupFirst);
    SegyTracePass& tp = memory.pass[at];
    std::span<const std::byte> headerBytes =
        std::span<const std::byte>(memory.headers)
            .subspan(at * kSegyTraceHeaderBytes, kSegyTraceHeaderBytes);
    if (!tp.read) {
      // The trace is read once more in the ordinary way, so that a failing
      // call is reported as any failed read is.
      const std::int64_t pos = setup.firstTrace + (i - 1) * block;
      if (pos > INT_MAX || sup::ISETFIL(ih, static_cast<int>(pos)) != 0 ||
          !ReadBytes(ih, chunk, static_cast<std::size_t>(block))) {
        stopMessage = "ERROR READING SEGY TRACE HEADER";
        break;
      }
      ConvertSegyTrace(work, setup, i, chunk, tp);
      headerBytes = std::span<const std::byte>(chunk).first(kSegyTraceHeaderBytes);
    }
    SegyTraceHeader h;
    if (!DecodeSegyTraceHeader(headerBytes, bigEndian, h)) {
      stopMessage = "ERROR READING SEGY TRACE HEADER";
      break;
    }
    const int ti = static_cast<int>(i);
    if (i == 1) {
      const std::string date =
          SegyAcquisitionDate(static_cast<std::int16_t>(SegyGet(h, segy_trc::kYear)),
                              static_cast<std::int16_t>(SegyGet(h, segy_trc::kDayOfYear)));
      work.CFDBVAL[0] = date;
      work.IFDBLEN[0] = static_cast<std::int32_t>(std::min<std::size_t>(date.size(), 30));
    } else if (useHeaders) {
      stopMessage = Mismatch(h);
      if (!stopMessage.empty()) break;
    }
    if (!tp.decoded) {
      stopMessage = format == kSegyInt16 || format == kSegyInt32
                        ? "ERROR READING SEGY TRACE"
                        : "END OF FILE HAS BEEN REACHED WHILE READING TRACES";
      break;
    }
    if (useHeaders) ApplySegyTraceHeader(work, ti, h);
    if (tp.lo <= tp.hi) {
      work.GMIN = std::min(work.GMIN, tp.lo);
      work.GMAX = std::max(work.GMAX, tp.hi);
      work.TRACEMAX[static_cast<std::size_t>(ti - 1)] = std::max(std::fabs(tp.lo), tp.hi);
    }
    kept = i;
  }
  // Traces after the last one kept hold no samples, whatever the group's
  // conversion put there.
  if (kept < toRead) {
    const std::size_t from = static_cast<std::size_t>(kept) * static_cast<std::size_t>(nsamp);
    if (from < work.TRACES.size())
      std::fill(work.TRACES.begin() + static_cast<std::ptrdiff_t>(from), work.TRACES.end(), 0.0f);
  }
  if (kept < 1) {
    sup::WINMSG(stopMessage.empty() ? "ERROR READING SEGY TRACE HEADER" : stopMessage);
    return;
  }
  if (kept < total) {
    // The traces before the one that could not be read are kept.
    sup::WINMSG(stopMessage);
    work.NTRACE = static_cast<std::int32_t>(kept);
    work.NAUX = static_cast<std::int32_t>(std::max<std::int64_t>(0, kept - dataTraces));
    if (binaryAvailable) {
      SegyPut(work.ISEGYBIN, segy_bin::kDataTraces,
              static_cast<std::int32_t>(std::min<std::int64_t>(kept - work.NAUX, kMaxTraces)));
      SegyPut(work.ISEGYBIN, segy_bin::kAuxTraces, work.NAUX);
    }
  } else {
    work.NTRACE = static_cast<std::int32_t>(total);
  }
  if (work.GMIN > work.GMAX) {
    work.GMIN = 0.0f;
    work.GMAX = 0.0f;
  }

  // Closing steps.
  work.LSEGYHDR = compliant;
  if (work.SPACING <= 0.0f && work.NTRACE > 1) {
    work.SPACING =
        std::fabs(work.GEOLOC[static_cast<std::size_t>(work.NTRACE - 1)] - work.GEOLOC[0]) /
        static_cast<float>(work.NTRACE - 1);
  }
  if (work.SPACING == 0.0f) {
    for (std::int32_t j = 0; j < work.NTRACE; ++j)
      work.GEOLOC[static_cast<std::size_t>(j)] = static_cast<float>(j + 1);
    work.SPACING = 1.0f;
  }
  if (work.NAUX > 0) work.NTRACE -= work.NAUX;
  REC = std::move(work);
  RECORDNUMBER = record;
  ERROR = 0;
}

}  // namespace

}  // namespace vel
