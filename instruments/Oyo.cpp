#include "instruments/Oyo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "record/RecordNaming.h"
#include "support/ByteReader.h"
#include "support/FieldReader.h"
#include "support/Progress.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

using instrument::Outcome;

/// A numeric field of the header; OK tells whether it read as a number.
std::int32_t Int(std::string_view h, std::size_t offset, std::size_t width, bool& ok) {
  std::int32_t v = 0;
  ok = sup::ReadIntField(sup::FieldAt(h, offset, width), v);
  return v;
}
std::int32_t Int(std::string_view h, std::size_t offset, std::size_t width) {
  bool ok = false;
  return Int(h, offset, width, ok);
}
double Real(std::string_view h, std::size_t offset, std::size_t width, bool& ok) {
  double v = 0.0;
  ok = sup::ReadRealField(sup::FieldAt(h, offset, width), 0, v) &&
       std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max());
  return ok ? v : 0.0;
}
double Real(std::string_view h, std::size_t offset, std::size_t width) {
  bool ok = false;
  return Real(h, offset, width, ok);
}

/// Offsets of the main fields: trace count, sample count, interval, delay,
/// shot number (offset and width each).
struct MainFields {
  std::size_t ntrace, nsamp, sampint, sampintWidth, tdelay, ishot;
};
constexpr std::array<MainFields, 3> kMain{{
    {99, 102, 107, 6, 114, 0},          // layout 0
    {20, 23, 28, 5, 34, 0},             // layout 1
    {2867, 2870, 2875, 5, 2881, 2816},  // layout 2
}};

/// The counts and the sample interval of layout LAYOUT; false when one of
/// them is no number or a count is below 1.
bool ReadCounts(std::string_view h, OyoHeaderLayout layout, std::int32_t& ntrace,
                std::int32_t& nsamp, double& sampint) {
  const MainFields& f = kMain[static_cast<std::size_t>(layout)];
  bool okTraces = false, okSamples = false, okInterval = false;
  ntrace = Int(h, f.ntrace, 2, okTraces);
  nsamp = Int(h, f.nsamp, 4, okSamples);
  sampint = Real(h, f.sampint, f.sampintWidth, okInterval);
  return okTraces && okSamples && okInterval && ntrace >= 1 && nsamp >= 1;
}

/// Days before the month (1..12) in a year of 365 days.
constexpr std::array<int, 12> kDaysBefore{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

/// V right-justified in WIDTH columns; '*' throughout when it does not fit.
std::string Column(std::int32_t v, int width) {
  char buf[16];
  const int n = std::snprintf(buf, sizeof buf, "%*d", width, v);
  if (n > width) return std::string(static_cast<std::size_t>(width), '*');
  return buf;
}

float Distance(double dx, double dy) {
  return static_cast<float>(std::sqrt(dx * dx + dy * dy + 1.0e-20));
}

/// Layout 0: name, note, date, time, shot position and channel records.
struct Layout0 {
  std::int32_t year = 0, day = 0, hour = 0, minute = 0, second = 0, hicut = 0;
  float northing = 0.0f;
};

Layout0 DecodeLayout0Scalars(ShotRecord& REC, std::string_view h) {
  Layout0 l;
  REC.CRECNAME = RecordName(sup::FieldAt(h, 5, 12));
  const std::string_view note = sup::FieldAt(h, 31, 62);
  REC.CNOTE = sup::FixedString<500>(note);
  REC.IFDBLEN[12] = sup::INDSTR(note, static_cast<int>(note.size()));

  const std::int32_t month = Int(h, 18, 2);
  const std::int32_t dayOfMonth = Int(h, 20, 2);
  std::int32_t year = Int(h, 22, 2);
  if (year < 70) {
    year += 2000;
  } else if (year < 100) {
    year += 1900;
  }
  l.year = year;
  l.day = dayOfMonth + kDaysBefore[static_cast<std::size_t>(std::clamp(month, 1, 12) - 1)];
  std::string date = Column(dayOfMonth, 2) + "/" + Column(month, 2) + "/" + Column(year, 4);
  const int used = sup::INDSTR(date, static_cast<int>(date.size()));
  sup::RPLCHR(date, used, ' ', '0');
  REC.CFDBVAL[0] = sup::FixedString<30>(std::string_view(date).substr(0, used));
  REC.IFDBLEN[0] = used;
  l.hour = Int(h, 24, 2);
  l.minute = Int(h, 26, 2);
  l.second = Int(h, 28, 2);
  l.hicut = Int(h, 125, 4);
  REC.SHOTX = static_cast<float>(Real(h, 131, 8));
  l.northing = static_cast<float>(Real(h, 140, 8));
  REC.SHOTELEV = static_cast<float>(Real(h, 149, 8));
  return l;
}

void DecodeChannelRecords(ShotRecord& REC, std::string_view h, const Layout0& l) {
  const auto n = static_cast<std::size_t>(REC.NTRACE);
  std::fill_n(REC.IHICUT.begin(), n, static_cast<std::int16_t>(l.hicut));
  std::fill_n(REC.FHICUT.begin(), n, static_cast<float>(l.hicut));
  // Traces beyond 24 have no channel record in the text block.
  const std::size_t described = std::min<std::size_t>(n, oyo::kChannelTraces);
  for (std::size_t j = 0; j < described; ++j) {
    const std::size_t at = oyo::kChannelOffset + oyo::kChannelBytes * j;
    bool ok = false;
    if (const double v = Real(h, at, 8, ok); ok) REC.GEOLOC[j] = static_cast<float>(v);
    if (const double v = Real(h, at + 9, 8, ok); ok) REC.GEOLOCY[j] = static_cast<float>(v);
    if (const double v = Real(h, at + 18, 8, ok); ok) REC.GEOELE[j] = static_cast<float>(v);
    if (const std::int32_t v = Int(h, at + 28, 2, ok); ok) REC.IVSTACK[j] = v;
    if (const std::int32_t v = Int(h, at + 31, 3, ok); ok) REC.IFXGAIN[j] = v;
  }
  REC.SPACING = n >= 2 ? Distance(static_cast<double>(REC.GEOLOC[1]) - REC.GEOLOC[0],
                                  static_cast<double>(REC.GEOLOCY[1]) - REC.GEOLOCY[0])
                       : 1.0f;
  for (std::size_t j = 0; j < n; ++j) {
    REC.GOFF[j] = Distance(static_cast<double>(REC.GEOLOC[j]) - REC.SHOTX,
                           static_cast<double>(REC.GEOLOCY[j]) - REC.SHOTY);
  }
}

/// Layout 2 picks: read until the first field that is not a number; each
/// stored as it stands (a pick below 1 is no pick; the display, the pickers
/// and the exports take one beyond the trace safely).
void DecodePicks(ShotRecord& REC, std::string_view h) {
  REC.LPICKS = false;
  for (std::size_t j = 0; j < static_cast<std::size_t>(REC.NTRACE); ++j) {
    const std::string_view field =
        sup::FieldAt(h, oyo::kPickOffset + oyo::kPickWidth * j, oyo::kPickWidth);
    if (field.find_first_not_of(' ') == std::string_view::npos) continue;
    std::int32_t pick = 0;
    if (!sup::ReadIntField(field, pick)) break;
    REC.IBPICK[j] = pick;
    if (pick > 0) REC.LPICKS = true;
  }
}

/// Where and how the samples of each trace lie.
struct SampleLayout {
  std::size_t start = 0;   // file offset of trace 1
  std::size_t bytes = 0;   // bytes read per trace
  std::size_t stride = 0;  // bytes from one trace to the next
  int width = 1;           // bytes per sample: 1, 2 or 4
};

/// Where the traces of NSAMP samples lie with LAYOUT. An 8-bit stride may be
/// shorter than a trace (OYO-4 files of 1000 samples step 768 bytes, OYO-5
/// and OYO-7 files of 513-767 samples 512): each trace is read from where
/// its stride puts it, the bytes it shares with the next one included.
SampleLayout SamplesOf(OyoHeaderLayout layout, char model, bool fp, std::size_t prefix,
                       std::size_t etx, std::int32_t nsamp) {
  SampleLayout s;
  const auto ns = static_cast<std::size_t>(nsamp);
  const bool bytesOnly = layout == OyoHeaderLayout::Oyo4 ||
                         (layout == OyoHeaderLayout::Oyo5to9 && (model == '5' || model == '7'));
  if (bytesOnly) {
    s.width = 1;
    s.bytes = ns;
    if (layout == OyoHeaderLayout::Oyo4) {
      s.start = prefix + etx;
      s.stride = 256 * (ns / 256);
    } else {
      s.start = prefix + oyo::kBlockDataStart;
      s.stride = 512 * ((ns / 256 + 1) / 2);
    }
    return s;
  }
  s.width = fp ? 4 : 2;
  s.bytes = (ns / oyo::kBlockSamples) * oyo::kBlockSamples * static_cast<std::size_t>(s.width);
  s.stride = s.bytes;
  s.start =
      prefix + (layout == OyoHeaderLayout::Oyo2or3 ? oyo::kOyo23DataStart : oyo::kBlockDataStart);
  return s;
}

bool HasLayout0Tag(std::string_view text) {
  const std::string_view tag = text.substr(oyo::kTagOffset, 4);
  return std::memcmp(tag.data(), "OYO5", 4) >= 0 && std::memcmp(tag.data(), "OYO9", 4) <= 0;
}

}  // namespace

void OYOCODE(ShotRecord& REC, std::string_view HEADER, OyoHeaderLayout LAYOUT, int& IERR) {
  IERR = 0;
  std::int32_t ntrace = 0, nsamp = 0;
  double sampint = 0.0;
  if (!ReadCounts(HEADER, LAYOUT, ntrace, nsamp, sampint)) {
    IERR = -1;
    return;
  }
  const MainFields& f = kMain[static_cast<std::size_t>(LAYOUT)];
  REC.NTRACE = ntrace;
  REC.NSAMP = nsamp;
  REC.SAMPINT = static_cast<float>(sampint);
  REC.TDELAY = static_cast<float>(Real(HEADER, f.tdelay, 9));
  REC.ISHOT = Int(HEADER, f.ishot, 4);

  const bool layout0 = LAYOUT == OyoHeaderLayout::Oyo5to9;
  Layout0 l;
  if (layout0) l = DecodeLayout0Scalars(REC, HEADER);

  if (!RebuildTraceArrays(REC)) {
    IERR = -1;
    return;
  }
  REC.SHOTY = l.northing;
  REC.SHOTDEPTH = 0.0f;
  const auto n = static_cast<std::size_t>(ntrace);
  for (std::size_t j = 0; j < n; ++j) {
    REC.IYEAR[j] = static_cast<std::int16_t>(l.year);
    REC.IDAY[j] = static_cast<std::int16_t>(l.day);
    REC.IHOUR[j] = static_cast<std::int16_t>(l.hour);
    REC.IMINUTE[j] = static_cast<std::int16_t>(l.minute);
    REC.ISECOND[j] = static_cast<std::int16_t>(l.second);
    REC.ISRCSTN[j] = REC.ISHOT;
    REC.IRCVSTN[j] = REC.ISHOT;
    REC.SHOTLOCX[j] = REC.SHOTX;
    REC.SHOTLOCY[j] = l.northing;
    REC.IFXGAIN[j] = 1;
    REC.IVSTACK[j] = 1;
  }
  REC.LPICKS = false;
  if (layout0) {
    DecodeChannelRecords(REC, HEADER, l);
    return;
  }
  for (std::size_t j = 0; j < n; ++j) REC.GOFF[j] = REC.GEOLOC[j] - REC.SHOTX;
  REC.SPACING = 1.0f;
  if (LAYOUT == OyoHeaderLayout::Oyo2or3) DecodePicks(REC, HEADER);
}

instrument::Outcome DecodeOyoFile(std::span<const std::byte> file, ShotRecord& REC,
                                  const RecordName& NAME, const OyoHooks* hooks) {
  const auto aborted = [hooks] { return hooks != nullptr && hooks->aborted && hooks->aborted(); };
  std::string header(oyo::kHeaderBytes, ' ');
  const std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
  std::optional<OyoHeaderLayout> layout;
  std::size_t prefix = 0;
  bool fp = false;
  for (std::size_t pass = 0; pass < 2 && !layout; ++pass) {
    prefix = pass * oyo::kPrefixBytes;
    if (bytes.size() < prefix + oyo::kTextBytes) return Outcome::ShortFile;
    std::string text(bytes.substr(prefix, oyo::kTextBytes));
    header.assign(oyo::kHeaderBytes, ' ');
    if (aborted()) return Outcome::Aborted;
    fp = text[oyo::kFlagOffset] == 'F' && text[oyo::kFlagOffset + 1] == 'P';
    instrument::BlankLineEnds(text);
    header.replace(0, oyo::kTextBytes, text);
    if (HasLayout0Tag(text)) {
      layout = OyoHeaderLayout::Oyo5to9;
    } else if (text.compare(oyo::kOyo4TagOffset, 5, "OYO-4") == 0) {
      layout = OyoHeaderLayout::Oyo4;
    } else {
      // Without the second block the first pass cannot tell; a file that
      // carries a prefix may still be shorter than prefix + header.
      if (bytes.size() < prefix + oyo::kHeaderBytes) {
        if (pass == 0 && bytes.size() >= oyo::kPrefixBytes + oyo::kTextBytes) continue;
        return Outcome::ShortFile;
      }
      header.replace(oyo::kTextBytes, oyo::kSecondBytes,
                     bytes.substr(prefix + oyo::kTextBytes, oyo::kSecondBytes));
      const std::string_view tag = std::string_view(header).substr(oyo::kOyo23TagOffset, 5);
      if (tag == "OYO-2" || tag == "OYO-3") layout = OyoHeaderLayout::Oyo2or3;
    }
  }
  if (!layout) return Outcome::BadFormat;

  // The first ETX of the text block; the OYO-4 samples begin right after it.
  const std::size_t etxAt = header.find('\x03');
  const std::size_t etx = etxAt < oyo::kTextBytes ? etxAt + 1 : 0;

  // Counts, stride and bytes are checked against the file before anything
  // is allocated.
  const std::string_view h(header);
  std::int32_t ntrace = 0, nsamp = 0;
  double sampint = 0.0;
  if (!ReadCounts(h, *layout, ntrace, nsamp, sampint)) return Outcome::ShortFile;
  const char model = header[oyo::kTagOffset + 3];
  const SampleLayout s = SamplesOf(*layout, model, fp, prefix, etx, nsamp);
  const std::uint64_t end = static_cast<std::uint64_t>(s.start) +
                            static_cast<std::uint64_t>(s.stride) * (ntrace - 1) + s.bytes;
  if (end > file.size()) return Outcome::ShortFile;

  int err = 0;
  OYOCODE(REC, h, *layout, err);
  if (err != 0) return Outcome::NoMemory;
  if (*layout != OyoHeaderLayout::Oyo5to9) REC.CRECNAME = NAME;

  if (hooks != nullptr && hooks->resetAbort) hooks->resetAbort();
  const std::size_t fromFile = s.bytes / static_cast<std::size_t>(s.width);
  std::vector<std::int16_t> narrow(s.width == 1 ? fromFile : 0);
  for (std::int32_t k = 1; k <= ntrace; ++k) {
    if (hooks != nullptr && hooks->progress) hooks->progress(k);
    const std::span<const std::byte> data =
        file.subspan(s.start + s.stride * static_cast<std::size_t>(k - 1), s.bytes);
    if (aborted()) return Outcome::Aborted;
    const std::span<float> trace = Trace(REC, k);
    if (s.width == 1) {
      C1TOI2(data, narrow, static_cast<int>(fromFile));
      std::copy(narrow.begin(), narrow.end(), trace.begin());
    } else {
      sup::ByteReader r(data, sup::ByteOrder::Little);
      for (std::size_t i = 0; i < fromFile; ++i)
        trace[i] = s.width == 2 ? static_cast<float>(r.I16()) : static_cast<float>(r.I32());
    }
    // Samples beyond the last whole block have no source in the file.
    std::fill(trace.begin() + static_cast<std::ptrdiff_t>(fromFile), trace.end(), 0.0f);
  }
  StartTraceStatistics(REC);
  for (std::int32_t k = 1; k <= ntrace; ++k) TraceStatistics(REC, k);
  return Outcome::Ok;
}

void OYOIN(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LPROG) {
  IERR = 0;
  std::vector<std::byte> file;
  bool opened = false;
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    const std::string message =
        (opened ? "Error reading file " : "Error opening file ") + instrument::NameField(FNAME);
    return instrument::ReadFail(IERR, message);
  }
  OyoHooks hooks;
  hooks.aborted = [] { return sup::LKILL(0); };
  hooks.resetAbort = [] { (void)sup::LKILL(1); };
  if (LPROG) {
    hooks.progress = [&REC](std::int32_t k) {
      sup::ProgressSet(tk::NearestInt(100.0 * k / REC.NTRACE));
    };
  }
  const Outcome outcome = DecodeOyoFile(file, REC, RecordNameOfFile(FNAME), &hooks);
  instrument::ReportOutcome(outcome, FNAME, IERR,
                            "ERROR! File " + instrument::NameField(FNAME) + " not in OYO format.");
}

}  // namespace vel
