#include "formats/Seg2Out.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <new>
#include <stdexcept>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "formats/SegyHeaders.h"
#include "support/ByteOrder.h"
#include "support/FileIO.h"
#include "support/Numerics.h"
#include "support/Progress.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

constexpr const char* kBlockError = "SEG2OUT - ERROR WRITING SEG2 TRACE DATA BLOCK";
constexpr const char* kStringError = "SEG2OUT - ERROR WRITING SEG2 STRING DESCRIPTOR";
constexpr const char* kSeekError = "SEG2OUT - ERROR SETTING SEG2 FILE POINTER";
constexpr const char* kFormatError = "SEG2OUT - ERROR FORMATTING NUMBER";

// One keyword line: values placed at fixed columns, right-justified in their
// fields. A value longer than its field widens it to the right.
class Line {
 public:
  explicit Line(std::string_view keyword) : text_(keyword) {}
  // False when the value does not fit a strict field.
  bool Field(int column, const std::string& value, bool strict) {
    if (strict && value.size() > 10) return false;
    std::size_t start = static_cast<std::size_t>(column - 1);
    if (start < text_.size() + 1 && !text_.empty()) start = std::max(start, text_.size() + 1);
    std::string field = value.size() < 10 ? std::string(10 - value.size(), ' ') + value : value;
    if (text_.size() < start) text_.resize(start, ' ');
    text_ += field;
    return true;
  }
  // The next value starts 2 columns after the last non-blank character.
  bool Next(const std::string& value, bool strict) {
    Trim();
    return Field(static_cast<int>(text_.size()) + 2, value, strict);
  }
  void Text(int column, std::string_view value) {
    const std::size_t start = static_cast<std::size_t>(column - 1);
    if (text_.size() < start) text_.resize(start, ' ');
    text_ += value;
  }
  std::string Done() {
    Trim();
    return text_;
  }

 private:
  void Trim() {
    while (!text_.empty() && text_.back() == ' ') text_.pop_back();
  }
  std::string text_;
};

// Numbers are formatted with std::to_chars, which gives printf's digits
// ("%.*f", "%.*g", "%d") without its format parsing and locale: a file of
// many traces formats thousands of them.
std::string Fixed(double v, int decimals) {
  char b[400];
  const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, decimals);
  return std::string(b, r.ptr);
}
std::string I6(std::int32_t v) {
  char b[16];
  const auto r = std::to_chars(b, b + sizeof b, v);
  const std::size_t n = static_cast<std::size_t>(r.ptr - b);
  std::string s(n < 6 ? 6 - n : 0, ' ');
  s.append(b, n);
  s.append(4, ' ');
  return s;
}

template <class T>
T At(const std::vector<T>& a, int j) {
  return j >= 1 && static_cast<std::size_t>(j) <= a.size() ? a[static_cast<std::size_t>(j - 1)]
                                                           : T{};
}

// Descriptor strings of one block, as they go into the file: each a 2-byte
// count, the text and the terminator 0x11, the block closed by two zero
// bytes.
struct Strings {
  std::vector<std::byte>& out;
  sup::ByteOrder order;
  void Add(const std::string& s) {
    std::byte count[2];
    sup::StoreU16(count, static_cast<std::uint16_t>(s.size() + 3), order);
    out.insert(out.end(), count, count + 2);
    const auto* text = reinterpret_cast<const std::byte*>(s.data());
    out.insert(out.end(), text, text + s.size());
    out.push_back(std::byte{0x11});
  }
  void End() { out.insert(out.end(), 2, std::byte{0}); }
};

// Output in blocks through one buffer allocated once: a SEG-2 file is made
// of many small blocks and strings, written here in a few large writes.
struct BlockWriter {
  int ih = -1;
  std::vector<std::byte> buffer;
  std::size_t used = 0;
  std::uint64_t written = 0;  // bytes of the file so far, buffered ones included

  bool Flush() {
    if (used == 0) return true;
    const int rc = sup::JRITFIL(ih, std::span<const std::byte>(buffer.data(), used),
                                static_cast<int>(used));
    used = 0;
    return rc == 0;
  }
  bool Put(std::span<const std::byte> b) {
    written += b.size();
    if (b.size() > buffer.size() - used) {
      if (!Flush()) return false;
      if (b.size() >= buffer.size()) {
        // A piece the size of the buffer goes out as it is.
        std::size_t at = 0;
        while (at < b.size()) {
          const std::size_t n = std::min<std::size_t>(b.size() - at, 1u << 30);
          if (sup::JRITFIL(ih, b.subspan(at, n), static_cast<int>(n)) != 0) return false;
          at += n;
        }
        return true;
      }
    }
    std::memcpy(buffer.data() + used, b.data(), b.size());
    used += b.size();
    return true;
  }
  bool Zeros(std::size_t n) {
    const std::byte z[4]{};
    return n == 0 || Put(std::span<const std::byte>(z, n));
  }
};

constexpr std::uint64_t Align4(std::uint64_t at) {
  return (at + 3) / 4 * 4;
}

// The descriptor strings of trace J into W; false when a number does not fit
// its field.
bool TraceStrings(Strings& w, const ShotRecord& REC, int j, bool removeDelay) {
  bool formatOk = true;
  std::vector<std::string> out;
  const auto strict = [&](Line& l, int col, const std::string& v) {
    if (!l.Field(col, v, true)) formatOk = false;
  };
  const auto f1 = [](float v) { return Fixed(v, 1); };
  if (At(REC.FALIAS, j) != 0.0f) {
    Line l("ALIAS_FILTER");
    strict(l, 14, f1(At(REC.FALIAS, j)));
    if (At(REC.FALIASS, j) != 0.0f) strict(l, 25, f1(At(REC.FALIASS, j)));
    out.push_back(l.Done());
  }
  if (At(REC.IAMPREC, j) > 0) {
    Line l("AMPLITUDE_RECOVERY");
    const int a = At(REC.IAMPREC, j);
    l.Text(20, a == 2 ? "SPHERICAL" : a == 3 ? "AGC" : "NONE");
    out.push_back(l.Done());
  }
  if (At(REC.FBREJ1, j) > 0.0f) {
    Line l("BAND_REJECT_FILTER");
    strict(l, 30, f1(At(REC.FBREJ1, j)));
    if (At(REC.FBREJ2, j) > 0.0f) strict(l, 41, f1(At(REC.FBREJ2, j)));
    out.push_back(l.Done());
  }
  const auto intLine = [&](const char* key, int col, std::int32_t v) {
    Line l(key);
    strict(l, col, I6(v));
    out.push_back(l.Done());
  };
  if (At(REC.ICDP, j) > 0) intLine("CDP_NUMBER", 12, At(REC.ICDP, j));
  if (At(REC.ICDPTRC, j) > 0) intLine("CDP_TRACE", 11, At(REC.ICDPTRC, j));
  intLine("CHANNEL_NUMBER", 16, At(REC.ICHANNEL, j) > 0 ? At(REC.ICHANNEL, j) : j);
  if (At(REC.DATUMEL, j) > 0.0f) {
    Line l("DATUM");
    strict(l, 7, f1(At(REC.DATUMEL, j)));
    out.push_back(l.Done());
  }
  {
    Line l("DELAY");
    strict(l, 7, removeDelay ? Fixed(0.0, 5) : Fixed(static_cast<double>(REC.TDELAY) * 0.001, 7));
    out.push_back(l.Done());
  }
  if (At(REC.DESCALE, j) > 0.0f) {
    Line l("DESCALING_FACTOR");
    l.Field(18, Seg2ExactReal(At(REC.DESCALE, j), 1), false);
    out.push_back(l.Done());
  }
  if (At(REC.FDBREJ1, j) > 0.0f) {
    Line l("DIGITAL_BAND_REJECT_FILTER");
    strict(l, 28, f1(At(REC.FDBREJ1, j)));
    if (At(REC.FDBREJ2, j) > 0.0f) strict(l, 39, f1(At(REC.FDBREJ2, j)));
    out.push_back(l.Done());
  }
  if (At(REC.FDHICUT, j) != 0.0f) {
    Line l("DIGITAL_HIGH_CUT_FILTER");
    strict(l, 25, f1(At(REC.FDHICUT, j)));
    if (At(REC.FDHICUTS, j) != 0.0f) strict(l, 36, f1(At(REC.FDHICUTS, j)));
    out.push_back(l.Done());
  }
  if (At(REC.FDLOCUT, j) != 0.0f) {
    Line l("DIGITAL_LOW_CUT_FILTER");
    strict(l, 24, f1(At(REC.FDLOCUT, j)));
    if (At(REC.FDLOCUTS, j) != 0.0f) strict(l, 35, f1(At(REC.FDLOCUTS, j)));
    out.push_back(l.Done());
  }
  if (At(REC.IENDGRP, j) != 0) intLine("END_OF_GROUP", 14, At(REC.IENDGRP, j));
  if (At(REC.IFXGAIN, j) != 0) intLine("FIXED_GAIN", 12, At(REC.IFXGAIN, j));
  const auto filter = [&](const char* key, int col, std::int16_t iv, float fv,
                          const std::vector<float>* slope, int slopeCol) {
    if (iv != 0) {
      intLine(key, col, iv);
    } else if (fv != 0.0f) {
      Line l(key);
      strict(l, col, f1(fv));
      if (slope != nullptr && At(*slope, j) != 0.0f) strict(l, slopeCol, f1(At(*slope, j)));
      out.push_back(l.Done());
    }
  };
  filter("HIGH_CUT_FILTER", 17, At(REC.IHICUT, j), At(REC.FHICUT, j), &REC.FHICUTS, 28);
  if (At(REC.ILINEID, j) > 0) intLine("LINE_ID", 9, At(REC.ILINEID, j));
  filter("LOW_CUT_FILTER", 16, At(REC.ILOCUT, j), At(REC.FLOCUT, j), &REC.FLOCUTS, 27);
  filter("NOTCH_FREQUENCY", 17, At(REC.INOTCH, j), At(REC.FNOTCH, j), nullptr, 0);
  if (At(REC.IPOLAR, j) == 1 || At(REC.IPOLAR, j) == -1) intLine("POLARITY", 10, At(REC.IPOLAR, j));
  if (At(REC.IRCVSTN, j) != 0) intLine("RECEIVER_STATION_NUMBER", 25, At(REC.IRCVSTN, j));
  {
    Line l("RECEIVER_LOCATION");
    l.Field(19, Seg2ExactReal(At(REC.GEOLOC, j), 1), false);
    l.Next(Seg2ExactReal(At(REC.GEOLOCY, j), 5), false);
    l.Next(Seg2ExactReal(At(REC.GEOELE, j), 1), false);
    out.push_back(l.Done());
  }
  {
    Line l("SAMPLE_INTERVAL");
    l.Field(17, Seg2ExactReal(REC.SAMPINT / 1000.0f, 7), false);
    out.push_back(l.Done());
  }
  if (REC.ISHOT > 0) intLine("SHOT_SEQUENCE_NUMBER", 22, REC.ISHOT);
  if (At(REC.TSKEW, j) != 0.0f) {
    Line l("SKEW");
    strict(l, 6, Fixed(At(REC.TSKEW, j), 5));
    out.push_back(l.Done());
  }
  if (At(REC.ISHOTSEQ, j) != 0) intLine("SHOT_SEQUENCE", 15, At(REC.ISHOTSEQ, j));
  {
    Line l("SOURCE_LOCATION");
    l.Field(17, Seg2ExactReal(At(REC.SHOTLOCX, j), 1), false);
    l.Next(Seg2ExactReal(At(REC.SHOTLOCY, j), 1), false);
    l.Next(Fixed(0.0, 5), false);
    out.push_back(l.Done());
  }
  if (At(REC.ISRCSTN, j) != 0) intLine("SOURCE_STATION_NUMBER", 23, At(REC.ISRCSTN, j));
  if (At(REC.IVSTACK, j) != 0) intLine("STACK", 7, At(REC.IVSTACK, j));
  {
    // Every trace goes out as data. A pick below 1 means only that the trace
    // was not picked (the box picker leaves -1 where it finds no break, Kill
    // Trace leaves 0), which is no evidence of a dead trace: typed DEAD,
    // other programs would drop good data.
    Line l("TRACE_TYPE");
    l.Text(12, REC.LRADAR ? "RADAR_DATA" : "SEISMIC_DATA");
    out.push_back(l.Done());
  }
  if (At(REC.STATSRC, j) != 0.0f || At(REC.STATREC, j) != 0.0f || At(REC.STATTOT, j) != 0.0f) {
    Line l("STATIC_CORRECTION");
    strict(l, 19, Fixed(At(REC.STATSRC, j), 7));
    strict(l, 30, Fixed(At(REC.STATREC, j), 7));
    strict(l, 41, Fixed(At(REC.STATTOT, j), 7));
    out.push_back(l.Done());
  }
  if (At(REC.IBPICK, j) > 0) {
    Line l("FIRST_BREAK_(SECONDS)");
    strict(l, 23,
           Fixed((static_cast<double>(At(REC.IBPICK, j)) * REC.SAMPINT + REC.TDELAY) / 1000.0, 7));
    out.push_back(l.Done());
  }
  if (!formatOk) return false;
  for (const std::string& s : out) w.Add(s);
  w.End();
  return true;
}

// The standard's whole word for a unit the record holds in its 4 characters
// ("METE" would go out as "UNITS METE", which no reader knows); any other
// value as it is.
std::string UnitsWord(std::string_view held) {
  std::string u(held);
  while (!u.empty() && u.back() == ' ') u.pop_back();
  std::string upper = u;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "METE") return "METERS";
  if (upper == "INCH") return "INCHES";
  if (upper == "CENT") return "CENTIMETERS";
  return std::string(held);
}

}  // namespace

std::string Seg2ExactReal(float value, int decimals) {
  if (!std::isfinite(value)) return Fixed(0.0, decimals);
  std::string s = Fixed(value, decimals);
  if (s.size() <= 10 && std::strtof(s.c_str(), nullptr) == value) return s;
  char b[64];
  for (int p = 1; p <= 9; ++p) {
    const auto r =
        std::to_chars(b, b + sizeof b - 1, static_cast<double>(value), std::chars_format::general, p);
    *r.ptr = '\0';
    if (std::strtof(b, nullptr) == value) break;
  }
  return b;
}

int ICWSEG2(int IH, std::string_view TEXT, int N, bool BIGENDIAN) {
  const int n = std::clamp(N, 0, static_cast<int>(TEXT.size()));
  std::byte count[2];
  sup::StoreU16(count, static_cast<std::uint16_t>(n + 3),
                BIGENDIAN ? sup::ByteOrder::Big : sup::ByteOrder::Little);
  const std::byte term{0x11};
  int rc = sup::JRITFIL(IH, std::span<const std::byte>(count, 2), 2);
  rc |= sup::JRITFIL(
      IH, std::as_bytes(std::span<const char>(TEXT.data(), static_cast<std::size_t>(n))), n);
  rc |= sup::JRITFIL(IH, std::span<const std::byte>(&term, 1), 1);
  return rc;
}

void SEG2OUT(ShotRecord& REC, std::string_view NAME, bool BIGENDIAN, int TRACEFORMAT, bool BATCH,
             int REMOVEDELAY, int& ERROR) {
  ERROR = -1;
  const int N = std::max(REC.NTRACE, 0);
  if (N > 16383) {
    sup::WINMSG("SEG2OUT - A SEG-2 FILE HOLDS AT MOST 16383 TRACES");
    return;
  }
  const std::string name(sup::FixedString<256>(NAME).Trimmed());
  const sup::ByteOrder order = BIGENDIAN ? sup::ByteOrder::Big : sup::ByteOrder::Little;
  BlockWriter w;
  std::string message;  // the first failure
  const auto fail = [&message](const char* m) {
    if (message.empty()) message = m;
    return false;
  };
  const int ih = sup::MAKEFIL(name);
  if (ih < 0) {
    const int test = sup::IOPNRLY(name);
    if (test >= 0) {
      sup::ICLSFIL(test);
      sup::WINMSG("File is Read-Only. Please change file attributes");
    } else {
      sup::WINMSG("SEG2OUT - ERROR OPENING SEG2 OUTPUT FILE: " + name +
                  " Be sure existing file is not read-only");
    }
    return;
  }
  w.ih = ih;
  const int nsamp = std::max(REC.NSAMP, 0);
  const int code = TRACEFORMAT == 1 ? 4 : TRACEFORMAT == 2 ? 2 : 1;
  const int bps = code == 1 ? 2 : 4;
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(nsamp) * static_cast<std::uint64_t>(bps);
  const bool removeDelay = REMOVEDELAY > 0;
  const int shift =
      removeDelay && REC.SAMPINT > 0.0f ? tk::NearestInt(REC.TDELAY / REC.SAMPINT) : 0;
  bool progressShown = false;

  const auto run = [&]() -> bool {
    // Work buffers, the descriptor strings of the file and of every trace
    // (the trace pointers need their lengths before the first trace goes
    // out), and the output buffer: all allocated here, before anything is
    // written.
    std::vector<float> work;
    std::vector<std::int32_t> ints;
    std::vector<std::int16_t> shorts;
    std::vector<std::byte> bytes;
    std::vector<std::byte> fileStrings;
    std::vector<std::byte> traceStrings;
    std::vector<std::size_t> stringsAt;  // start of trace j's strings, N + 1 entries
    int badTrace = 0;                    // first trace whose numbers do not fit
    std::uint64_t total = 0;
    try {
      work.resize(static_cast<std::size_t>(nsamp));
      ints.resize(code == 2 ? static_cast<std::size_t>(nsamp) : 0);
      shorts.resize(code == 1 ? static_cast<std::size_t>(nsamp) : 0);
      bytes.resize(static_cast<std::size_t>(dataBytes));

      // File descriptor strings.
      Strings fs{fileStrings, order};
      static constexpr struct {
        const char* key;
        int item;
        int column;
      } kItems[] = {
          {"ACQUISITION_DATE", 1, 18}, {"ACQUISITION_TIME", 2, 18}, {"CLIENT", 3, 8},
          {"COMPANY", 4, 9},           {"INSTRUMENT", 6, 12},       {"JOB_ID", 7, 8},
          {"OBSERVER", 8, 10},         {"PROCESSING_DATE", 9, 17},  {"PROCESSING_TIME", 10, 18}};
      for (const auto& it : kItems) {
        const int len = std::min(REC.IFDBLEN[static_cast<std::size_t>(it.item - 1)], 30);
        if (len <= 0) continue;
        Line l(it.key);
        l.Text(it.column, REC.CFDBVAL[static_cast<std::size_t>(it.item - 1)].View().substr(
                              0, static_cast<std::size_t>(len)));
        fs.Add(l.Done());
      }
      {
        const int len = std::min(REC.IFDBLEN[10], 30);
        Line l("TRACE_SORT");
        l.Text(12, len > 0 ? REC.CFDBVAL[10].View().substr(0, static_cast<std::size_t>(len))
                           : "AS_ACQUIRED");
        fs.Add(l.Done());
      }
      std::string units(REC.CUNITS.View());
      sup::CHR_CHK(units, static_cast<int>(units.size()));
      REC.CUNITS = units;
      if (REC.CUNITS.UsedLength() > 0) {
        Line l("UNITS");
        l.Text(7, UnitsWord(REC.CUNITS.View()));
        fs.Add(l.Done());
      }
      fs.End();

      // Every trace's strings, and where its blocks fall.
      stringsAt.reserve(static_cast<std::size_t>(N) + 1);
      traceStrings.reserve(static_cast<std::size_t>(N) * 512);
      Strings ts{traceStrings, order};
      total = 32 + 4 * static_cast<std::uint64_t>(N) + fileStrings.size();
      for (int j = 1; j <= N; ++j) {
        stringsAt.push_back(traceStrings.size());
        if (badTrace == 0 && !TraceStrings(ts, REC, j, removeDelay)) badTrace = j;
        const std::uint64_t P = Align4(total);
        total = Align4(P + 32 + (traceStrings.size() - stringsAt.back())) + dataBytes;
      }
      stringsAt.push_back(traceStrings.size());
      w.buffer.resize(static_cast<std::size_t>(std::min<std::uint64_t>(total, 16u << 20)));
    } catch (const std::bad_alloc&) {
      return fail("CANNOT ALLOCATE CREC IN SEG2OUT");
    } catch (const std::length_error&) {
      return fail("CANNOT ALLOCATE CREC IN SEG2OUT");
    }

    std::array<std::byte, 32> fdb{};
    sup::StoreU16(fdb.data(), 0x3A55, order);
    sup::StoreU16(fdb.data() + 2, 1, order);
    sup::StoreU16(fdb.data() + 4, static_cast<std::uint16_t>(4 * N), order);
    sup::StoreU16(fdb.data() + 6, static_cast<std::uint16_t>(N), order);
    fdb[8] = std::byte{1};
    fdb[9] = std::byte{0x11};
    fdb[11] = std::byte{2};
    fdb[12] = std::byte{0x0D};
    fdb[13] = std::byte{0x0A};
    if (!w.Put(fdb)) return fail(kBlockError);
    // The trace pointers, worked out from the block lengths.
    {
      std::uint64_t at = 32 + 4 * static_cast<std::uint64_t>(N) + fileStrings.size();
      for (int j = 1; j <= N; ++j) {
        const std::uint64_t P = Align4(at);
        // A trace beyond 4 GiB cannot be pointed at.
        if (P > 0xFFFFFFFFu) return fail(kSeekError);
        std::byte ptr[4];
        sup::StoreU32(ptr, static_cast<std::uint32_t>(j <= badTrace || badTrace == 0 ? P : 0),
                      order);
        if (!w.Put(ptr)) return fail(kBlockError);
        const std::size_t len = stringsAt[static_cast<std::size_t>(j)] -
                                stringsAt[static_cast<std::size_t>(j - 1)];
        at = Align4(P + 32 + len) + dataBytes;
      }
    }
    if (!w.Put(fileStrings)) return fail(kStringError);

    if (!BATCH && N > 100) {
      sup::ProgressOpen(name);
      sup::LKILL(1);
      progressShown = true;
    }
    for (int j = 1; j <= N; ++j) {
      if (BATCH || progressShown) sup::ProgressSet(tk::NearestInt(100.0 * j / N));
      if (sup::LKILL(0)) return fail("OUTPUT TERMINATED BY USER");
      const std::uint64_t P = Align4(w.written);
      if (!w.Zeros(static_cast<std::size_t>(P - w.written))) return fail(kBlockError);
      const std::span<const std::byte> strings =
          std::span<const std::byte>(traceStrings)
              .subspan(stringsAt[static_cast<std::size_t>(j - 1)],
                       stringsAt[static_cast<std::size_t>(j)] -
                           stringsAt[static_cast<std::size_t>(j - 1)]);
      const std::uint64_t D = Align4(P + 32 + strings.size());
      std::array<std::byte, 32> tdb{};
      sup::StoreU16(tdb.data(), 0x4422, order);
      sup::StoreU16(tdb.data() + 2, static_cast<std::uint16_t>(j == badTrace ? 0 : D - P), order);
      sup::StoreU32(tdb.data() + 4, static_cast<std::uint32_t>(dataBytes), order);
      sup::StoreU32(tdb.data() + 8, static_cast<std::uint32_t>(nsamp), order);
      tdb[12] = static_cast<std::byte>(code);
      if (!w.Put(tdb)) return fail(kBlockError);
      if (j == badTrace) return fail(kFormatError);
      if (!w.Put(strings)) return fail(kStringError);
      if (!w.Zeros(static_cast<std::size_t>(D - w.written))) return fail(kBlockError);

      // The trace's samples as they go out: its column itself unless the
      // delay is removed or the column is short.
      const std::span<const float> tr = Trace(std::as_const(REC), j);
      std::span<const float> samples = tr.first(std::min(tr.size(), work.size()));
      if (shift != 0 || samples.size() < work.size()) {
        std::fill(work.begin(), work.end(), 0.0f);
        std::copy(samples.begin(), samples.end(), work.begin());
        if (shift != 0) sup::SHIFTF(work, nsamp, shift);
        samples = work;
      }
      std::span<const std::byte> packed;
      if (code == 4) {
        packed = std::as_bytes(samples);
      } else if (code == 2) {
        ScaleToInt32(samples, ints, 2000000.0f);
        packed = std::as_bytes(std::span<const std::int32_t>(ints));
      } else {
        ScaleToInt16(samples, shorts, 32000.0f);
        packed = std::as_bytes(std::span<const std::int16_t>(shorts));
      }
      if (order != sup::kNativeOrder) {
        std::copy(packed.begin(), packed.end(), bytes.begin());
        if (bps == 4) {
          sup::SwapBytes4(bytes);
        } else {
          sup::SwapBytes2(bytes);
        }
        packed = bytes;
      }
      if (!w.Put(packed)) return fail(kBlockError);
    }
    return w.Flush() || fail(kBlockError);
  };

  const bool ok = run();
  if (!ok) sup::WINMSG(message);
  bool closed = false;
  if (ok) {
    closed = sup::ICLSFIL(ih) == 0;
  } else {
    sup::ABANDONFIL(ih);  // the old file stays as it was
  }
  if (ok && !closed) sup::WINMSG("SEG2OUT - ERROR CLOSING SEG2 OUTPUT FILE");
  if (progressShown) {
    sup::ProgressClose();
    sup::LKILL(1);
  }
  ERROR = ok && closed ? 0 : -1;
}

}  // namespace vel
