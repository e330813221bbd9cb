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
#include "support/ByteOrder.h"
#include "support/FileIO.h"
#include "support/Numerics.h"
#include "support/Progress.h"
#include "support/Strings.h"
#include "support/UserMessages.h"

namespace vel {
namespace {

SegyInMemory gMemory;

// The program's questions (the shell fills them in) and those in force.
SegyInDialogs gProgramDialogs;
SegyInDialogs gDialogs;

constexpr std::int64_t kMaxTraces = 32767;

std::string Fmt6(long v) {
  char b[32];
  std::snprintf(b, sizeof b, "%6ld", v);
  return b;
}

// A copy of REC's scalar fields with every per-trace array empty.
ShotRecord ScalarCopy(ShotRecord& REC) {
  ShotRecord full = std::move(REC);  // REC's vectors are now empty
  ShotRecord copy = REC;
  REC = std::move(full);
  return copy;
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

// Converts N samples of FORMAT from the file bytes RAW into OUT.
void ConvertSamples(std::span<const std::byte> raw, std::span<float> out, int format, int n,
                    sup::ByteOrder order) {
  const std::size_t count = std::min(static_cast<std::size_t>(std::max(n, 0)), out.size());
  switch (format) {
    case kSegyIbmFloat:
      IbmBytesToIeeeFloat(raw, out, static_cast<int>(count), 0);
      break;
    case kSegyInt16:
      for (std::size_t k = 0; k < count; ++k) {
        out[k] =
            static_cast<float>(static_cast<std::int16_t>(sup::LoadU16(raw.data() + 2 * k, order)));
      }
      break;
    case kSegyInt32:
      for (std::size_t k = 0; k < count; ++k) {
        out[k] =
            static_cast<float>(static_cast<std::int32_t>(sup::LoadU32(raw.data() + 4 * k, order)));
      }
      break;
    case kSegyIeeeFloat:
      if (order == sup::ByteOrder::Little) {
        std::memcpy(out.data(), raw.data(), 4 * count);
      } else {
        for (std::size_t k = 0; k < count; ++k) {
          out[k] = std::bit_cast<float>(sup::LoadU32(raw.data() + 4 * k, order));
        }
      }
      break;
    default:
      break;
  }
}

// Samples per trace as a 16-bit field holds them: read unsigned, so that
// counts above 32767 are taken as written.
int SampleCount(std::int16_t field) {
  return static_cast<std::uint16_t>(field);
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
const SegyInMemory& SegyInRemembered() {
  return gMemory;
}
void ResetSegyInMemory() {
  gMemory = SegyInMemory{};
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
  ConvertSamples(raw, SAMPLES, FORMAT, n, BIGENDIAN ? sup::ByteOrder::Big : sup::ByteOrder::Little);
}

void SEGYIN(ShotRecord& REC, std::string_view NAME, int& RECORDNUMBER, int& ERROR,
            const SegyInOptions& options) {
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

  ShotRecord work = ScalarCopy(REC);
  work.IFDBLEN[0] = 0;
  work.CFDBVAL[0] = sup::FixedString<30>();

  // Text header: the first line decides the character set.
  std::vector<std::byte> buf;
  if (readText) {
    if (!ReadBytes(ih, buf, kSegyTextBytes)) {
      sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
      return;
    }
    std::string text(reinterpret_cast<const char*>(buf.data()), kSegyTextBytes);
    std::string first = text.substr(0, 80);
    if (first[0] == 'C') {
      gMemory.ebcdic = false;
    } else {
      sup::ECD2ASC(first, 80);
      if (first[0] == 'C') {
        gMemory.ebcdic = true;
      } else if (compliant) {
        sup::WINWRN("3200 BYTE HEADER IS NEITHER ASCII OR EBCDIC.");
      }
    }
    std::string rest = text.substr(80);
    if (gMemory.ebcdic) sup::ECD2ASC(rest, static_cast<int>(rest.size()));
    work.CSEGYTXT = first + rest;
  }

  // Binary header: the format code decides the byte order.
  bool bigEndian = options.bigEndian;
  SegyBinaryHeader bin{};
  if (readBinary) {
    if (!ReadBytes(ih, buf, kSegyBinaryHeaderBytes)) {
      sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
      return;
    }
    std::memcpy(bin.data(), buf.data(), kSegyBinaryHeaderBytes);
    const int code = SegyBinI16(bin, 3225);
    const int swapped =
        static_cast<std::int16_t>(sup::ByteSwap16(static_cast<std::uint16_t>(code)));
    if (code >= 1 && code <= 5) {
      bigEndian = false;
    } else if (swapped >= 1 && swapped <= 5) {
      bigEndian = true;
      SwapSegyBinaryHeader(bin);
    } else {
      char b[16];
      std::snprintf(b, sizeof b, "%5d", swapped);
      sup::WINMSG(std::string("INVALID DATA SAMPLE FORMAT CODE: ") + b);
      sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
      return;
    }
    if (!bigEndian && SegyBinI16(bin, 3225) == kSegyIbmFloat)
      SegyBinPut16(bin, 3225, kSegyIeeeFloat);
    gMemory.binaryHeader = bin;
  }
  const sup::ByteOrder order = bigEndian ? sup::ByteOrder::Big : sup::ByteOrder::Little;
  const std::int64_t headerEnd = (readText ? 3200 : 0) + (readBinary ? 400 : 0);

  int format = SegyBinI16(gMemory.binaryHeader, 3225);
  std::int64_t dataTraces = 0;
  std::int64_t auxTraces = 0;
  int nsamp = work.NSAMP;
  float sampint = work.SAMPINT;
  if (readBinary) {
    dataTraces = SegyBinI16(bin, 3213);
    auxTraces = std::max<std::int64_t>(0, SegyBinI16(bin, 3215));
    nsamp = SampleCount(SegyBinI16(bin, 3221));
    sampint = static_cast<float>(SegyBinI16(bin, 3217)) * 0.001f;
    work.ISHOT = SegyBinI32(bin, 3201);
  }

  // Trace 1's header names the sample count and interval where the trace
  // headers are used; a zero there leaves the binary header's value.
  if (useHeaders) {
    std::vector<std::byte> th;
    if (ReadBytes(ih, th, kSegyTraceHeaderBytes)) {
      SegyTraceHeader h;
      std::memcpy(h.data(), th.data(), h.size());
      if (bigEndian) SwapSegyTraceHeader(h);
      if (SampleCount(SegyTrcI16(h, 115)) > 0) nsamp = SampleCount(SegyTrcI16(h, 115));
      if (SegyTrcI16(h, 117) != 0) sampint = static_cast<float>(SegyTrcI16(h, 117)) * 0.001f;
    }
    if (sup::ISETFIL(ih, static_cast<int>(headerEnd)) != 0) {
      sup::WINMSG("ERROR READING MAIN SEGY HEADER BLOCK");
      return;
    }
  }
  const auto blockBytes = [&](int fmt) {
    return 240 + static_cast<std::int64_t>(std::max(nsamp, 0)) * SegyBytesPerSample(fmt);
  };

  // Trace count of a binary header that gives none.
  if (readBinary && dataTraces <= 0) {
    int answer = static_cast<int>(std::clamp<std::int64_t>(
        std::max<std::int64_t>(0, fileSize - 3600) / blockBytes(format), 0, INT_MAX));
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
      gMemory.selectedRecord = record;
    } else if (options.joinAll) {
      dataTraces *= nrec;
      auxTraces *= nrec;
      record = 1;
    } else if (compliant) {
      int answer = gMemory.selectedRecord;
      if (!gDialogs.askNumber ||
          !gDialogs.askNumber(
              "Record sequence number to read (1:" + Fmt6(static_cast<long>(nrec)) + "):",
              answer) ||
          answer < 1 || answer > nrec) {
        return;
      }
      record = answer;
      gMemory.selectedRecord = answer;
    } else {
      record = gMemory.selectedRecord;
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
    gMemory.selectedRecord = 1;
  }

  if (binaryAvailable) {
    work.NTRACE =
        static_cast<std::int32_t>(std::min<std::int64_t>(dataTraces + auxTraces, INT_MAX));
    work.NAUX = static_cast<std::int32_t>(std::min<std::int64_t>(auxTraces, INT_MAX));
    work.SAMPINT = sampint;
    work.NSAMP = nsamp;
    SegyBinPut16(bin, 3213,
                 static_cast<std::int16_t>(std::min<std::int64_t>(dataTraces, kMaxTraces)));
    SegyBinPut16(bin, 3215,
                 static_cast<std::int16_t>(std::min<std::int64_t>(auxTraces, kMaxTraces)));
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

  // Everything a seek or an allocation depends on, checked first.
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

  std::vector<std::byte> raw(static_cast<std::size_t>(block - 240));
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
    SegyTraceHeader h;
    if (sup::JREDFIL(ih, std::span<std::byte>(h.data(), h.size()), 240) != 0) {
      stopMessage = "ERROR READING SEGY TRACE HEADER";
      break;
    }
    if (bigEndian) SwapSegyTraceHeader(h);
    const int ti = static_cast<int>(i);
    if (i == 1) {
      const std::string date = SegyAcquisitionDate(SegyTrcI16(h, 157), SegyTrcI16(h, 159));
      work.CFDBVAL[0] = date;
      work.IFDBLEN[0] = static_cast<std::int32_t>(std::min<std::size_t>(date.size(), 30));
    } else if (useHeaders) {
      const int ns = SampleCount(SegyTrcI16(h, 115));
      if (ns != 0 && ns != nsamp) {
        stopMessage =
            "All traces must have same number of samples " + Fmt6(nsamp) + " vs " + Fmt6(ns);
        break;
      }
      const int si = SegyTrcI16(h, 117);
      const float dt = static_cast<float>(si) * 0.001f;
      if (si != 0 && std::fabs(dt - sampint) > 1e-6f * std::fabs(sampint)) {
        char b[96];
        std::snprintf(b, sizeof b, "%6.3f vs %6.3f", static_cast<double>(sampint),
                      static_cast<double>(dt));
        stopMessage = std::string("All traces must have same sample interval ") + b;
        break;
      }
    }
    if (sup::JREDFIL(ih, std::span<std::byte>(raw), static_cast<int>(raw.size())) != 0) {
      stopMessage = format == kSegyInt16 || format == kSegyInt32
                        ? "ERROR READING SEGY TRACE"
                        : "END OF FILE HAS BEEN REACHED WHILE READING TRACES";
      break;
    }
    if (useHeaders) ApplySegyTraceHeader(work, ti, h);
    const std::span<float> tr = Trace(work, ti);
    ConvertSamples(raw, tr, format, nsamp, order);
    float mn = 1.0e30f;
    float mx = -1.0e30f;
    sup::FINDNX(tr, nsamp, mn, mx);
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
      SegyBinPut16(work.ISEGYBIN, 3213,
                   static_cast<std::int16_t>(std::min<std::int64_t>(kept - work.NAUX, kMaxTraces)));
      SegyBinPut16(work.ISEGYBIN, 3215, static_cast<std::int16_t>(work.NAUX));
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
