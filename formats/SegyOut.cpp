#include "formats/SegyOut.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formats/IbmFloat.h"
#include "support/ByteOrder.h"
#include "support/FileIO.h"
#include "support/Progress.h"
#include "support/Strings.h"
#include "support/UserMessages.h"

namespace vel {
namespace {

bool Write(int ih, std::span<const std::byte> bytes) {
  return sup::JRITFIL(ih, bytes, static_cast<int>(bytes.size())) == 0;
}

// The samples of trace J (1-based), auxiliary traces included.
std::span<const float> Samples(const ShotRecord& REC, int j) {
  const std::size_t ns = static_cast<std::size_t>(std::max(REC.NSAMP, 0));
  const std::size_t first = static_cast<std::size_t>(j - 1) * ns;
  if (j < 1 || first + ns > REC.TRACES.size()) return {};
  return std::span<const float>(REC.TRACES).subspan(first, ns);
}

// The auxiliary traces REC holds, at most NAUX.
int HeldAuxTraces(const ShotRecord& REC) {
  const std::int64_t ns = std::max(REC.NSAMP, 0);
  const std::int64_t data = std::max(REC.NTRACE, 0);
  const std::int64_t columns =
      ns > 0 ? static_cast<std::int64_t>(REC.TRACES.size()) / ns : std::max(REC.NAUX, 0) + data;
  return static_cast<int>(std::clamp<std::int64_t>(columns - data, 0, std::max(REC.NAUX, 0)));
}

}  // namespace

SegyOutState::~SegyOutState() {
  if (handle >= 0) sup::ICLSFIL(handle);
}

void SEGYHO(const ShotRecord& REC, const SegyBinaryHeader& BIN, int IH, int NSAMP,
            int BYTESPERSAMPLE, bool BIGENDIAN, bool FIXEDLENGTH, bool EBCDIC, int& ERROR) {
  ERROR = -1;
  const int L = static_cast<int>(kSegyTraceHeaderBytes) + NSAMP * BYTESPERSAMPLE;
  std::string text = REC.LSEGYHDR
                         ? std::string(REC.CSEGYTXT.View())
                         : BuildSegyTextHeader(REC, BIN, BYTESPERSAMPLE, FIXEDLENGTH ? L : 0);
  if (EBCDIC) ASC2ECD(text, static_cast<int>(text.size()));
  if (FIXEDLENGTH) text.resize(static_cast<std::size_t>(std::max(L, 0)), EBCDIC ? '\x40' : ' ');
  if (!Write(IH, std::as_bytes(std::span<const char>(text)))) return;

  SegyBinaryHeader bin = BIN;
  if (BIGENDIAN) SwapSegyBinaryHeader(bin);
  std::vector<std::byte> block(bin.begin(), bin.end());
  if (FIXEDLENGTH) block.resize(static_cast<std::size_t>(std::max(L, 0)), std::byte{0});
  if (!Write(IH, block)) return;
  ERROR = 0;
}

void SEGYOUT(const ShotRecord& REC, std::string_view NAME, const SegyOutOptions& options,
             int& ERROR) {
  SegyOutState state;
  SEGYOUT(REC, NAME, options, ERROR, state);
}

void SEGYOUT(const ShotRecord& REC, std::string_view NAME, const SegyOutOptions& options,
             int& ERROR, SegyOutState& STATE) {
  ERROR = -1;
  int& gOutput = STATE.handle;
  const int format = options.format;
  if (!(REC.SAMPINT >= 0.001f && REC.SAMPINT <= 32.767f)) {
    sup::WINMSG("Sample rate must be between 1 and 32,767 microseconds to fit 2-byte integer");
    return;
  }
  if (REC.NSAMP > 32767) {
    sup::WINMSG("Number of samples must be less than 32,767 to fit 2-byte integer");
    return;
  }
  if (options.closeAtEnd && REC.NTRACE <= 0) {
    if (gOutput >= 0) {
      const int rc = sup::ICLSFIL(gOutput);
      gOutput = -1;
      if (rc != 0) {
        sup::WINMSG("SEGYOUT - ERROR CLOSING SEGY OUTPUT FILE");
        return;
      }
    }
    ERROR = 0;
    return;
  }
  if (!options.writeHeaders && gOutput < 0) {
    sup::WINMSG("SEGYOUT - NO SEGY OUTPUT FILE IS OPEN TO APPEND TO");
    return;
  }
  if (format != kSegyIbmFloat && format != kSegyInt32 && format != kSegyInt16 &&
      format != kSegyIeeeFloat) {
    sup::WINMSG("SEG-Y FORMAT NUMBER " + std::to_string(format) + " IS UNSUPPORTED");
    return;
  }
  // A little-endian file says IBM in its format code only as a leftover of
  // IEEE; readers (this one included) take its samples as IEEE floats.
  if (format == kSegyIbmFloat && !options.bigEndian) {
    sup::WINMSG(kSegyIbmMustBeBigEndian);
    return;
  }
  const int nsamp = std::max(REC.NSAMP, 0);
  const int bps = SegyBytesPerSample(format);
  // Auxiliary traces follow the data traces in TRACES; a record may say it
  // has more than it holds (the program's trace file keeps the data traces
  // only), and then only those it holds are written.
  const int n = REC.NTRACE + HeldAuxTraces(REC);
  std::vector<std::byte> buffer;
  std::vector<std::int32_t> ints;
  std::vector<std::int16_t> shorts;
  try {
    buffer.resize(static_cast<std::size_t>(nsamp) * static_cast<std::size_t>(bps));
    if (format == kSegyInt32) ints.resize(static_cast<std::size_t>(nsamp));
    if (format == kSegyInt16) shorts.resize(static_cast<std::size_t>(nsamp));
  } catch (const std::bad_alloc&) {
    sup::WINMSG("CANNOT ALLOCATE ARRAY IN SEGYOUT");
    return;
  }
  const sup::ByteOrder order = options.bigEndian ? sup::ByteOrder::Big : sup::ByteOrder::Little;
  const std::string name(sup::FixedString<256>(NAME).Trimmed());
  bool progressShown = false;

  // Everything after this point ends through the closing steps.
  const auto run = [&]() -> bool {
    if (options.writeHeaders) {
      if (gOutput >= 0) {
        sup::ICLSFIL(gOutput);
        gOutput = -1;
      }
      gOutput = sup::MAKEFIL(name);
      if (gOutput < 0) {
        const int test = sup::IOPNRLY(name);
        if (test >= 0) {
          sup::ICLSFIL(test);
          sup::WINMSG("File \"" + name + "\" is Read-Only. Please change file attributes");
        } else {
          sup::WINMSG("SEGYOUT - ERROR OPENING SEGY OUTPUT FILE");
        }
        return false;
      }
      SegyBinaryHeader bin;
      if (REC.LSEGYHDR) {
        bin = REC.ISEGYBIN;
        SegyPut(bin, segy_bin::kFormat, format);
      } else {
        bin = BuildSegyBinaryHeader(REC, format, options.oneTracePerRecord);
      }
      if (n - REC.NTRACE < SegyGet(bin, segy_bin::kAuxTraces))
        SegyPut(bin, segy_bin::kAuxTraces, n - REC.NTRACE);
      int err = 0;
      SEGYHO(REC, bin, gOutput, nsamp, bps, options.bigEndian, options.fixedRecordLength,
             options.ebcdic, err);
      if (err != 0) {
        sup::WINMSG(
            "SEGYOUT - ERROR WRITING MAIN SEGY HEADER BLOCK Be sure existing file is not "
            "read-only");
        return false;
      }
      // SEG-Y holds the interval in whole microseconds: a record sampled
      // at, say, 62.5 us would change every time in the file unseen.
      const double exact = 1000.0 * static_cast<double>(REC.SAMPINT);
      const std::int32_t held = SegyGet(bin, segy_bin::kSampleInterval);
      if (!STATE.intervalTold && std::fabs(exact - held) > 1e-6 * exact) {
        STATE.intervalTold = true;
        char b[160];
        std::snprintf(b, sizeof b,
                      "SEG-Y holds the sample interval in whole microseconds: %.4g "
                      "microseconds is written as %d",
                      exact, static_cast<int>(held));
        sup::WINWRN(b);
      }
    }
    if (!options.batch && n > 100) {
      sup::ProgressOpen(name);
      sup::LKILL(1);
      progressShown = true;
    }
    bool upholeWarned = false;
    for (int j = 1; j <= n; ++j) {
      if (options.batch || progressShown)
        sup::ProgressSet(static_cast<int>(std::lround(j * 100.0 / n)));
      if (sup::LKILL(0)) {
        sup::WINMSG("OUTPUT TERMINATED BY USER");
        return false;
      }
      SegyTraceHeader th;
      if (REC.LSEGYHDR && static_cast<std::size_t>(j) <= REC.ISEGYTRH.size()) {
        th = REC.ISEGYTRH[static_cast<std::size_t>(j - 1)];
      } else {
        bool clamped = false;
        th = BuildSegyTraceHeader(REC, j, clamped);
        if (clamped && !upholeWarned) {
          upholeWarned = true;
          sup::WINWRN(
              "Uphole time does not fit the 16-bit SEG-Y field and is written as its limit");
        }
      }
      if (options.bigEndian) SwapSegyTraceHeader(th);
      if (!Write(gOutput, th)) {
        sup::WINMSG("SEGYOUT - ERROR WRITING TRACE HEADER");
        return false;
      }
      const std::span<const float> s = Samples(REC, j);
      if (s.size() != static_cast<std::size_t>(nsamp)) {
        sup::WINMSG("SEGYOUT - ERROR WRITING TRACE");
        return false;
      }
      std::byte* out = buffer.data();
      switch (format) {
        case kSegyIbmFloat:
          // IBM words are written most significant byte first (the only
          // order the writer accepts for them).
          IeeeToIbmBytes(s, buffer, nsamp, 0);
          break;
        case kSegyInt32:
          ScaleToInt32(s, ints, 2000000.0f);
          for (int k = 0; k < nsamp; ++k)
            sup::StoreU32(out + 4 * k,
                          static_cast<std::uint32_t>(ints[static_cast<std::size_t>(k)]), order);
          break;
        case kSegyInt16:
          ScaleToInt16(s, shorts, 32000.0f);
          for (int k = 0; k < nsamp; ++k)
            sup::StoreU16(out + 2 * k,
                          static_cast<std::uint16_t>(shorts[static_cast<std::size_t>(k)]), order);
          break;
        default:
          if (order == sup::ByteOrder::Little) {
            std::memcpy(out, s.data(), 4 * static_cast<std::size_t>(nsamp));
          } else {
            for (int k = 0; k < nsamp; ++k)
              sup::StoreU32(out + 4 * k,
                            std::bit_cast<std::uint32_t>(s[static_cast<std::size_t>(k)]), order);
          }
          break;
      }
      if (!Write(gOutput, buffer)) {
        sup::WINMSG("SEGYOUT - ERROR WRITING TRACE");
        return false;
      }
    }
    return true;
  };

  bool ok = run();
  if (!ok && gOutput >= 0) {
    // A failed or cancelled export leaves the old file as it was.
    sup::ABANDONFIL(gOutput);
    gOutput = -1;
  }
  if (options.closeAtEnd && gOutput >= 0) {
    if (sup::ICLSFIL(gOutput) != 0) {
      sup::WINMSG("SEGYOUT - ERROR CLOSING SEGY OUTPUT FILE");
      ok = false;
    }
    gOutput = -1;
  }
  if (progressShown) {
    sup::ProgressClose();
    sup::LKILL(1);
  }
  ERROR = ok ? 0 : -1;
}

}  // namespace vel
