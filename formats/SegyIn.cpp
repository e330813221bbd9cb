#include "formats/SegyIn.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/IbmFloat.h"
#include "formats/SegyHeaders.h"
#include "record/FreshRecord.h"
#include "support/ByteOrder.h"
#include "support/ByteReader.h"
#include "support/FileIO.h"
#include "support/Numerics.h"
#include "support/Progress.h"
#include "support/Strings.h"
#include "support/UserMessages.h"

namespace vel {
namespace {

// The program's questions (the shell fills them in) and those in force.
SegyInDialogs gProgramDialogs;
SegyInDialogs gDialogs;

constexpr std::int64_t kMaxTraces = 32767;
// Traces are read in blocks of about this many bytes (at least one trace).
constexpr std::int64_t kReadBlockBytes = 1 << 18;

std::string Fmt6(long v) {
  char b[32];
  std::snprintf(b, sizeof b, "%6ld", v);
  return b;
}

// The file is closed and the progress dialog hidden whatever way the read ends.
struct ReadSession {
  int handle = -1;
  bool progressShown = false;
  ~ReadSession() {
    if (handle >= 0) sup::ICLSFIL(handle);
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
// One lane group's step of SegySampleRange: a sample that counts replaces
// the low or high mark it passes.
inline void RangeStep(F4 v, F4& lo4, F4& hi4) {
  const F4 a = reinterpret_cast<F4>(reinterpret_cast<U4>(v) & 0x7FFFFFFFu);
  const I4 counts = (a <= 1e15f) & ((a >= 1e-30f) | (a == 0.0f));
  const I4 above = counts & (v > hi4);
  const I4 below = counts & (v < lo4);
  const I4 bits = reinterpret_cast<I4>(v);
  hi4 = reinterpret_cast<F4>((above & bits) | (~above & reinterpret_cast<I4>(hi4)));
  lo4 = reinterpret_cast<F4>((below & bits) | (~below & reinterpret_cast<I4>(lo4)));
}
}  // namespace

void SegySampleRange(std::span<const float> samples, float& lo, float& hi) {
  // Four independent lane groups, each in its own registers, so that the
  // steps of one do not wait for another's; merged at the end.
  const F4 lo0 = {lo, lo, lo, lo};
  const F4 hi0 = {hi, hi, hi, hi};
  F4 la = lo0, lb = lo0, lc = lo0, ld = lo0;
  F4 ha = hi0, hb = hi0, hc = hi0, hd = hi0;
  const std::size_t n = samples.size();
  const float* p = samples.data();
  std::size_t k = 0;
  for (; k + 16 <= n; k += 16) {
    F4 v[4];
    std::memcpy(v, p + k, sizeof v);
    RangeStep(v[0], la, ha);
    RangeStep(v[1], lb, hb);
    RangeStep(v[2], lc, hc);
    RangeStep(v[3], ld, hd);
  }
  for (const F4& l : {la, lb, lc, ld}) {
    for (int i = 0; i < 4; ++i) {
      if (l[i] < lo) lo = l[i];
    }
  }
  for (const F4& h : {ha, hb, hc, hd}) {
    for (int i = 0; i < 4; ++i) {
      if (h[i] > hi) hi = h[i];
    }
  }
  sup::FINDNX(samples.subspan(k), static_cast<int>(n - k), lo, hi);
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

void SEGYIN(ShotRecord& REC, std::string_view NAME, int& RECORDNUMBER, int& ERROR,
            const SegyInOptions& options, SegyInState& STATE) {
  ERROR = -1;
  const bool compliant = options.compliant;
  const bool readText = compliant || options.readTextHeader;
  const bool readBinary = compliant || options.readBinaryHeader;
  const bool useHeaders = compliant || options.useTraceHeaders;
  const std::string name(sup::FixedString<256>(NAME).Trimmed());

  ReadSession session;
  session.handle = sup::IOPNRLY(name);
  if (session.handle < 0) {
    sup::WINMSG("ERROR OPENING SEGY INPUT FILE");
    return;
  }
  const int ih = session.handle;
  std::error_code ec;
  const auto fsize = std::filesystem::file_size(name, ec);
  const std::int64_t fileSize = ec ? 0 : static_cast<std::int64_t>(fsize);

  ShotRecord work = FreshRecord(REC, ReadStart::Scalars);
  work.IFDBLEN[0] = 0;
  work.CFDBVAL[0] = sup::FixedString<30>();

  // The file headers and the first trace header in one read.
  const std::int64_t headerEnd = (readText ? static_cast<std::int64_t>(kSegyTextBytes) : 0) +
                                 (readBinary ? static_cast<std::int64_t>(kSegyBinaryHeaderBytes) : 0);
  std::vector<std::byte> head;
  const std::int64_t headWanted =
      std::min<std::int64_t>(headerEnd + static_cast<std::int64_t>(kSegyTraceHeaderBytes), fileSize);
  if (!ReadBytes(ih, head, static_cast<std::size_t>(std::max<std::int64_t>(headWanted, 0)))) {
    sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
    return;
  }
  std::span<const std::byte> rest(head);

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
  // headers are used; a zero there leaves the binary header's value.
  if (useHeaders) {
    SegyTraceHeader h;
    if (DecodeSegyTraceHeader(rest, bigEndian, h)) {
      if (SampleCount(SegyGet(h, segy_trc::kSamples)) > 0)
        nsamp = SampleCount(SegyGet(h, segy_trc::kSamples));
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
  if (start > fileSize || start > INT_MAX || sup::ISETFIL(ih, static_cast<int>(start)) != 0) {
    sup::WINMSG("ERROR ADVANCING SEGY FILE TO RECORD " + Fmt6(record));
    return;
  }
  // Only the traces the file can hold are allocated.
  const std::int64_t available = (fileSize - start) / block;
  const std::int64_t toRead = std::min(total, available);
  if (toRead < 1) {
    sup::WINMSG("ERROR READING SEGY TRACE HEADER");
    return;
  }
  work.NTRACE = static_cast<std::int32_t>(toRead);
  work.NSAMP = nsamp;
  work.SAMPINT = sampint;
  work.NAUX = static_cast<std::int32_t>(auxTraces);
  if (!RebuildTraceArrays(work, SegyTraceHeaders::Allocate)) {
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

  // The traces come in blocks of whole traces, converted from the block
  // straight into the record's columns; the block is reused, so the read
  // holds little beyond the record itself.
  const std::int64_t perBlock = std::max<std::int64_t>(1, kReadBlockBytes / block);
  std::vector<std::byte> chunk;
  std::int64_t chunkFirst = 0;  // first trace (1-based) in CHUNK
  std::int64_t chunkCount = 0;  // whole traces in CHUNK
  bool chunkFailed = false;
  const std::size_t sampleBytes = static_cast<std::size_t>(block) - kSegyTraceHeaderBytes;

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
      break;
    }
    if (!chunkFailed && i >= chunkFirst + chunkCount) {
      chunkFirst = i;
      chunkCount = std::min(perBlock, toRead - i + 1);
      chunkFailed = !ReadBytes(ih, chunk, static_cast<std::size_t>(chunkCount * block));
    }
    if (chunkFailed) {
      stopMessage = "ERROR READING SEGY TRACE HEADER";
      break;
    }
    const std::span<const std::byte> traceBytes = std::span<const std::byte>(chunk).subspan(
        static_cast<std::size_t>((i - chunkFirst) * block), static_cast<std::size_t>(block));
    SegyTraceHeader h;
    if (!DecodeSegyTraceHeader(traceBytes, bigEndian, h)) {
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
      const int ns = SampleCount(SegyGet(h, segy_trc::kSamples));
      if (ns != 0 && ns != nsamp) {
        stopMessage =
            "All traces must have same number of samples " + Fmt6(nsamp) + " vs " + Fmt6(ns);
        break;
      }
      const int si = SegyGet(h, segy_trc::kSampleInterval);
      const float dt = static_cast<float>(si) * 0.001f;
      if (si != 0 && std::fabs(dt - sampint) > 1e-6f * std::fabs(sampint)) {
        char b[96];
        std::snprintf(b, sizeof b, "%6.3f vs %6.3f", static_cast<double>(sampint),
                      static_cast<double>(dt));
        stopMessage = std::string("All traces must have same sample interval ") + b;
        break;
      }
    }
    const std::span<float> tr = Trace(work, ti);
    if (!DecodeSegySamples(traceBytes.subspan(kSegyTraceHeaderBytes, sampleBytes), format,
                           bigEndian, tr.first(std::min(tr.size(), static_cast<std::size_t>(nsamp))))) {
      stopMessage = format == kSegyInt16 || format == kSegyInt32
                        ? "ERROR READING SEGY TRACE"
                        : "END OF FILE HAS BEEN REACHED WHILE READING TRACES";
      break;
    }
    if (useHeaders) ApplySegyTraceHeader(work, ti, h);
    float mn = 1.0e30f;
    float mx = -1.0e30f;
    SegySampleRange(tr, mn, mx);
    if (mn <= mx) {
      work.GMIN = std::min(work.GMIN, mn);
      work.GMAX = std::max(work.GMAX, mx);
      work.TRACEMAX[static_cast<std::size_t>(ti - 1)] = std::max(std::fabs(mn), mx);
    }
    kept = i;
  }
  if (kept < 1) {
    sup::WINMSG(stopMessage.empty() ? "ERROR READING SEGY TRACE HEADER" : stopMessage);
    return;
  }
  if (kept < total) {
    // The traces before the one that could not be read are kept.
    sup::WINMSG(stopMessage + "\nThe file ends early: " + std::to_string(kept) + " of " +
                std::to_string(total) + " traces read.");
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

}  // namespace vel
