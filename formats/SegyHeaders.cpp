#include "formats/SegyHeaders.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "support/ByteOrder.h"
#include "support/Strings.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

template <std::size_t N>
std::int16_t Get16(const std::array<std::byte, N>& h, std::size_t off) {
  return static_cast<std::int16_t>(sup::LoadU16(h.data() + off, sup::ByteOrder::Little));
}
template <std::size_t N>
std::int32_t Get32(const std::array<std::byte, N>& h, std::size_t off) {
  return static_cast<std::int32_t>(sup::LoadU32(h.data() + off, sup::ByteOrder::Little));
}
template <std::size_t N>
void Put16(std::array<std::byte, N>& h, std::size_t off, std::int16_t v) {
  sup::StoreU16(h.data() + off, static_cast<std::uint16_t>(v), sup::ByteOrder::Little);
}
template <std::size_t N>
void Put32(std::array<std::byte, N>& h, std::size_t off, std::int32_t v) {
  sup::StoreU32(h.data() + off, static_cast<std::uint32_t>(v), sup::ByteOrder::Little);
}

// Low 16 bits of a rounded value, as the 16-bit fields take it.
std::int16_t Low16(std::int32_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}

std::int32_t Centi(float v) {
  return tk::NearestInt(100.0 * static_cast<double>(v));
}

template <class T>
T At(const std::vector<T>& a, int j) {
  return j >= 1 && static_cast<std::size_t>(j) <= a.size() ? a[static_cast<std::size_t>(j - 1)]
                                                           : T{};
}

// Swap ranges as (first byte offset, byte count, word size).
struct SwapRange {
  std::size_t off, len, word;
};
constexpr SwapRange kBinRanges[] = {{0, 12, 4}, {12, 48, 2}};
constexpr SwapRange kTrcRanges[] = {{0, 28, 4}, {28, 8, 2},  {36, 32, 4},
                                    {68, 4, 2}, {72, 16, 4}, {88, 92, 2}};

template <std::size_t N, std::size_t R>
void SwapRanges(std::array<std::byte, N>& h, const SwapRange (&ranges)[R]) {
  for (const SwapRange& r : ranges) {
    const std::span<std::byte> s(h.data() + r.off, r.len);
    if (r.word == 4) {
      sup::SwapBytes4(s);
    } else {
      sup::SwapBytes2(s);
    }
  }
}

void Place(std::string& line, int col, std::string_view text) {
  const std::size_t at = static_cast<std::size_t>(col - 1);
  if (at >= line.size()) return;
  line.replace(at, std::min(text.size(), line.size() - at), text.substr(0, line.size() - at));
}

// A number right-justified in 5 columns, asterisks when it does not fit.
std::string I5(long v) {
  std::string s = std::to_string(v);
  if (s.size() > 5) return "*****";
  return std::string(5 - s.size(), ' ') + s;
}

// The fixed texts of the built text header: line, column, text.
struct TemplateText {
  int line;
  int column;
  const char* text;
};
// clang-format off
constexpr TemplateText kTemplate[] = {
    {1, 1, "C 1 CLIENT "}, {1, 35, "COMPANY"}, {1, 65, "CREW NO"},
    {2, 1, "C 2 LINE "},
    {3, 1, "C 3 REEL NO"}, {3, 23, "DAY-START OF REEL"}, {3, 45, "YEAR      OBSERVER"},
    {4, 1, "C 4 INSTRUMENT: "},
    {5, 1, "C 5 DATA TRACES/RECORD"}, {5, 31, "AUXILIARY TRACES/RECORD"}, {5, 63, "CDP FOLD"},
    {6, 1, "C 6 SAMPLE INTERVAL"}, {6, 29, "SAMPLES/TRACE "}, {6, 62, "BYTES/SAMPLE"},
    {7, 1, "C 7 RECORDING FORMAT"}, {7, 29, "FORMAT THIS REEL"}, {7, 53, "MEASUREMENT SYSTEM"},
    {8, 1, "C 8 SAMPLE CODE: FLOATING PT"}, {8, 34, "FIXED PT     FIXED PT-GAIN"}, {8, 66, "CORRELATED"},
    {9, 1, "C 9 GAIN TYPE: FIXED     BINARY"}, {9, 38, "FLOATING POINT     OTHER"},
    {10, 1, "C10 FILTERS: ALIAS     HZ  NOTCH"}, {10, 38, "HZ  BAND     -     HZ"}, {10, 61, "SLOPE    -    DB/OCT"},
    {11, 1, "C11 SOURCE: "},
    {12, 1, "C12      PATTERN [N] X,Y,Z: "},
    {13, 1, "C13 SWEEP: SEE BINARY HEADER"},
    {15, 1, "C15 SPREAD: OFFSET"}, {15, 27, "MAX DISTANCE         GROUP INTERVAL"},
    {16, 1, "C16 GEOPHONES: "},
    {17, 1, "C17      PATTERN [N] X,Y,Z"},
    {18, 1, "C18 TRACES SORTED BY: SEE BINARY HEADER"},
    {19, 1, "C19 AMPLITUDE RECOVERY: SEE BINARY HEADER"},
    {20, 1, "C20 MAP PROJECTION"}, {20, 41, "ZONE ID"}, {20, 55, "COORDINATE UNITS"},
    {21, 1, "C21 SEGY JOBID"},
};
// clang-format on

template <class Int>
void ScaleTo(std::span<const float> samples, std::span<Int> out, float fullScale) {
  const std::size_t n = std::min(samples.size(), out.size());
  float peak = 0.0f;
  for (std::size_t k = 0; k < n; ++k) {
    const float a = std::fabs(samples[k]);
    if (std::isfinite(a) && a > peak) peak = a;
  }
  if (peak == 0.0f) {
    std::fill_n(out.begin(), n, Int{0});
    return;
  }
  const double s = static_cast<double>(fullScale) / peak;
  constexpr double lo = std::numeric_limits<Int>::min();
  constexpr double hi = std::numeric_limits<Int>::max();
  for (std::size_t k = 0; k < n; ++k) {
    const double v = std::round(static_cast<double>(samples[k]) * s);  // NaN stays NaN
    out[k] = std::isnan(v) ? Int{0} : static_cast<Int>(std::clamp(v, lo, hi));
  }
}

}  // namespace

namespace {
template <std::size_t N>
std::int32_t GetField(const std::array<std::byte, N>& h, std::size_t off, SegyField f) {
  return f.bytes == 4 ? Get32(h, off) : static_cast<std::int32_t>(Get16(h, off));
}
template <std::size_t N>
void PutField(std::array<std::byte, N>& h, std::size_t off, SegyField f, std::int32_t v) {
  if (f.bytes == 4) {
    Put32(h, off, v);
  } else {
    Put16(h, off, Low16(v));
  }
}
}  // namespace

std::int32_t SegyGet(const SegyBinaryHeader& h, SegyField f) {
  return GetField(h, static_cast<std::size_t>(f.position - segy_bin::kFirstPosition), f);
}
std::int32_t SegyGet(const SegyTraceHeader& h, SegyField f) {
  return GetField(h, static_cast<std::size_t>(f.position - 1), f);
}
void SegyPut(SegyBinaryHeader& h, SegyField f, std::int32_t v) {
  PutField(h, static_cast<std::size_t>(f.position - segy_bin::kFirstPosition), f, v);
}
void SegyPut(SegyTraceHeader& h, SegyField f, std::int32_t v) {
  PutField(h, static_cast<std::size_t>(f.position - 1), f, v);
}

std::int16_t SegyBinI16(const SegyBinaryHeader& h, int pos) {
  return Get16(h, static_cast<std::size_t>(pos - segy_bin::kFirstPosition));
}
std::int32_t SegyBinI32(const SegyBinaryHeader& h, int pos) {
  return Get32(h, static_cast<std::size_t>(pos - segy_bin::kFirstPosition));
}
void SegyBinPut16(SegyBinaryHeader& h, int pos, std::int16_t v) {
  Put16(h, static_cast<std::size_t>(pos - segy_bin::kFirstPosition), v);
}
void SegyBinPut32(SegyBinaryHeader& h, int pos, std::int32_t v) {
  Put32(h, static_cast<std::size_t>(pos - segy_bin::kFirstPosition), v);
}
std::int16_t SegyTrcI16(const SegyTraceHeader& h, int pos) {
  return Get16(h, static_cast<std::size_t>(pos - 1));
}
std::int32_t SegyTrcI32(const SegyTraceHeader& h, int pos) {
  return Get32(h, static_cast<std::size_t>(pos - 1));
}
void SegyTrcPut16(SegyTraceHeader& h, int pos, std::int16_t v) {
  Put16(h, static_cast<std::size_t>(pos - 1), v);
}
void SegyTrcPut32(SegyTraceHeader& h, int pos, std::int32_t v) {
  Put32(h, static_cast<std::size_t>(pos - 1), v);
}

std::span<std::byte> SegyTraceText(SegyTraceHeader& h) {
  return std::span<std::byte>(h).subspan(static_cast<std::size_t>(segy_trc::kText.position - 1),
                                         static_cast<std::size_t>(segy_trc::kText.bytes));
}
std::span<const std::byte> SegyTraceText(const SegyTraceHeader& h) {
  return std::span<const std::byte>(h).subspan(
      static_cast<std::size_t>(segy_trc::kText.position - 1),
      static_cast<std::size_t>(segy_trc::kText.bytes));
}

void SwapSegyBinaryHeader(SegyBinaryHeader& h) {
  SwapRanges(h, kBinRanges);
}
void SwapSegyTraceHeader(SegyTraceHeader& h) {
  SwapRanges(h, kTrcRanges);
}

float SegyScalarFactor(std::int16_t s) {
  if (s < 0) return 1.0f / static_cast<float>(-static_cast<int>(s));
  if (s > 0) return static_cast<float>(s);
  return 1.0f;
}

unsigned char AsciiToEbcdic(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'I') return static_cast<unsigned char>(0xC1 + (u - 'A'));
  if (u >= 'J' && u <= 'R') return static_cast<unsigned char>(0xD1 + (u - 'J'));
  if (u >= 'S' && u <= 'Z') return static_cast<unsigned char>(0xE2 + (u - 'S'));
  if (u >= 'a' && u <= 'i') return static_cast<unsigned char>(0x81 + (u - 'a'));
  if (u >= 'j' && u <= 'r') return static_cast<unsigned char>(0x91 + (u - 'j'));
  if (u >= 's' && u <= 'z') return static_cast<unsigned char>(0xA2 + (u - 's'));
  if (u >= '0' && u <= '9') return static_cast<unsigned char>(0xF0 + (u - '0'));
  // Punctuation in table order, and its EBCDIC codes.
  static constexpr std::string_view kPunct = " [.<(+!]$*);^-/|,%_>?':#@=\"{}\\";
  static constexpr unsigned char kPunctCodes[] = {
      0x40, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x61,
      0x6A, 0x6B, 0x6D, 0x6E, 0x6F, 0x70, 0x79, 0x7A, 0x7B, 0x7C, 0x7E, 0x7F, 0xC0, 0xD0, 0xE0};
  static_assert(kPunct.size() == sizeof kPunctCodes);
  const std::size_t at = kPunct.find(static_cast<char>(u));
  return at == std::string_view::npos ? 0x40 : kPunctCodes[at];
}

void ASC2ECD(std::string& TEXT, int N) {
  const std::size_t n = std::min<std::size_t>(N > 0 ? static_cast<std::size_t>(N) : 0, TEXT.size());
  for (std::size_t k = 0; k < n; ++k) TEXT[k] = static_cast<char>(AsciiToEbcdic(TEXT[k]));
}

void ECD2ASCNOWINLIB(std::string& TEXT, int N) {
  sup::ECD2ASC(TEXT, N);
}

SegyBinaryHeader BuildSegyBinaryHeader(const ShotRecord& REC, int format, bool oneTracePerRecord) {
  using namespace segy_bin;
  SegyBinaryHeader h{};
  const std::int16_t interval = Low16(tk::NearestInt(static_cast<double>(REC.SAMPINT) * 1000.0));
  SegyPut(h, kJobId, REC.ISHOT);
  SegyPut(h, kDataTraces, oneTracePerRecord ? 1 : REC.NTRACE);
  SegyPut(h, kAuxTraces, oneTracePerRecord ? 0 : std::max(0, REC.NAUX));
  SegyPut(h, kSampleInterval, interval);
  SegyPut(h, kFieldSampleInterval, interval);
  SegyPut(h, kSamples, REC.NSAMP);
  SegyPut(h, kFieldSamples, REC.NSAMP);
  SegyPut(h, kFormat, format);
  SegyPut(h, kSorting, 1);
  SegyPut(h, kMeasurement, 1);
  return h;
}

SegyTraceHeader BuildSegyTraceHeader(const ShotRecord& REC, int J, bool& upholeClamped) {
  using namespace segy_trc;
  SegyTraceHeader h{};
  SegyPut(h, kSequenceInLine, J);
  SegyPut(h, kSequenceInFile, J);
  SegyPut(h, kFieldRecord, At(REC.ISRCSTN, J));
  SegyPut(h, kTraceInRecord, At(REC.IRCVSTN, J));
  SegyPut(h, kSourcePoint, REC.ISHOT);
  SegyPut(h, kTraceId, 1);
  SegyPut(h, kVerticalStack, At(REC.IVSTACK, J));
  SegyPut(h, kHorizontalStack, 1);
  SegyPut(h, kDataUse, 1);
  SegyPut(h, kOffset, Centi(At(REC.GOFF, J)));
  SegyPut(h, kReceiverElevation, Centi(At(REC.GEOELE, J)));
  SegyPut(h, kSourceElevation, Centi(REC.SHOTELEV));
  SegyPut(h, kSourceDepth, Centi(REC.SHOTDEPTH));
  SegyPut(h, kElevationScalar, -100);
  SegyPut(h, kCoordinateScalar, -100);
  SegyPut(h, kSourceX, Centi(At(REC.SHOTLOCX, J)));
  SegyPut(h, kSourceY, Centi(At(REC.SHOTLOCY, J)));
  SegyPut(h, kReceiverX, Centi(At(REC.GEOLOC, J)));
  SegyPut(h, kReceiverY, Centi(At(REC.GEOLOCY, J)));
  SegyPut(h, kCoordinateUnits, 1);
  const std::int32_t uphole = tk::NearestInt(1000.0 * static_cast<double>(REC.TUPHOLE));
  const std::int32_t upholeFit = std::clamp<std::int32_t>(uphole, -32768, 32767);
  upholeClamped = uphole != upholeFit;
  SegyPut(h, kUpholeTime, upholeFit);
  SegyPut(h, kTotalStatic, tk::NearestInt(At(REC.STATTOT, J)));
  SegyPut(h, kDelay, tk::NearestInt(REC.TDELAY));
  SegyPut(h, kSamples, REC.NSAMP);
  SegyPut(h, kSampleInterval, tk::NearestInt(1000.0 * static_cast<double>(REC.SAMPINT)));
  SegyPut(h, kGain, At(REC.IFXGAIN, J));
  SegyPut(h, kNotch, At(REC.INOTCH, J));
  SegyPut(h, kLowCut, At(REC.ILOCUT, J));
  SegyPut(h, kHighCut, At(REC.IHICUT, J));
  SegyPut(h, kYear, At(REC.IYEAR, J));
  SegyPut(h, kDayOfYear, At(REC.IDAY, J));
  SegyPut(h, kHour, At(REC.IHOUR, J));
  SegyPut(h, kMinute, At(REC.IMINUTE, J));
  SegyPut(h, kSecond, At(REC.ISECOND, J));
  SegyPut(h, kTimeBasis, At(REC.ITBASE, J));
  const std::span<std::byte> text = SegyTraceText(h);
  if (J >= 1 && static_cast<std::size_t>(J) <= REC.CTRCTEXT.size()) {
    std::memcpy(text.data(), REC.CTRCTEXT[static_cast<std::size_t>(J - 1)].data(), text.size());
  } else {
    std::memset(text.data(), ' ', text.size());
  }
  return h;
}

std::string BuildSegyTextHeader(const ShotRecord& REC, const SegyBinaryHeader& bin,
                                int bytesPerSample, int fixedLength) {
  std::string out;
  out.reserve(kSegyTextBytes);
  for (int n = 1; n <= 40; ++n) {
    std::string line(80, ' ');
    char label[8];
    std::snprintf(label, sizeof label, "C%2d", n);
    Place(line, 1, label);
    for (const TemplateText& t : kTemplate) {
      if (t.line == n) Place(line, t.column, t.text);
    }
    if (n == 2) Place(line, 11, REC.CRECNAME.View());
    if (n == 5) Place(line, 23, I5(SegyGet(bin, segy_bin::kDataTraces)));
    if (n == 6) {
      Place(line, 20, I5(SegyGet(bin, segy_bin::kSampleInterval)));
      Place(line, 43, I5(SegyGet(bin, segy_bin::kSamples)) + " BITS/IN");
      Place(line, 74, I5(bytesPerSample));
    }
    if (n == 23 && fixedLength > 0) {
      Place(line, 1, "C23 ZODARE FILE REC LENGTH: ");
      Place(line, 30, I5(fixedLength) + " BYTES");
    }
    if (n == 40) Place(line, 1, "C40 END EBCDIC");
    for (char& c : line) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (n == 24 && REC.IFDBLEN[12] > 0 && REC.CNOTE.UsedLength() > 0) {
      const std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(REC.IFDBLEN[12]), 64);
      Place(line, 5, REC.CNOTE.View().substr(0, len));
    }
    out += line;
  }
  return out;
}

void ApplySegyTraceHeader(ShotRecord& REC, int I, const SegyTraceHeader& H) {
  using namespace segy_trc;
  const float elev = SegyScalarFactor(static_cast<std::int16_t>(SegyGet(H, kElevationScalar)));
  const float coord = SegyScalarFactor(static_cast<std::int16_t>(SegyGet(H, kCoordinateScalar)));
  const auto set = [I](auto& a, auto v) {
    if (I >= 1 && static_cast<std::size_t>(I) <= a.size()) a[static_cast<std::size_t>(I - 1)] = v;
  };
  const auto get = [&H](SegyField f) { return SegyGet(H, f); };
  const auto short16 = [&H](SegyField f) { return static_cast<std::int16_t>(SegyGet(H, f)); };
  const auto f = [](std::int32_t v, float factor) { return static_cast<float>(v) * factor; };
  set(REC.ISRCSTN, get(kFieldRecord));
  set(REC.IRCVSTN, get(kTraceInRecord));
  set(REC.IVSTACK, get(kVerticalStack));
  set(REC.GOFF, f(get(kOffset), coord));
  set(REC.GEOELE, f(get(kReceiverElevation), elev));
  REC.SHOTELEV = f(get(kSourceElevation), elev);
  REC.SHOTDEPTH = f(get(kSourceDepth), elev);
  REC.SHOTX = f(get(kSourceX), coord);
  REC.SHOTY = f(get(kSourceY), coord);
  set(REC.SHOTLOCX, REC.SHOTX);
  set(REC.SHOTLOCY, REC.SHOTY);
  set(REC.GEOLOC, f(get(kReceiverX), coord));
  set(REC.GEOLOCY, f(get(kReceiverY), coord));
  REC.TUPHOLE = static_cast<float>(get(kUpholeTime)) * 0.001f;
  set(REC.STATTOT, static_cast<float>(get(kTotalStatic)));
  REC.TDELAY = static_cast<float>(get(kDelay));
  set(REC.IFXGAIN, get(kGain));
  set(REC.INOTCH, short16(kNotch));
  set(REC.ILOCUT, short16(kLowCut));
  set(REC.IHICUT, short16(kHighCut));
  set(REC.IYEAR, short16(kYear));
  set(REC.IDAY, short16(kDayOfYear));
  set(REC.IHOUR, short16(kHour));
  set(REC.IMINUTE, short16(kMinute));
  set(REC.ISECOND, short16(kSecond));
  set(REC.ITBASE, short16(kTimeBasis));
  const std::span<const std::byte> text = SegyTraceText(H);
  set(REC.CTRCTEXT, sup::FixedString<60>(
                        std::string_view(reinterpret_cast<const char*>(text.data()), text.size())));
  set(REC.ISEGYTRH, H);
}

namespace {

/// Rounds V into a field of [LOW, HIGH]; FITS turns false when it did not fit.
std::int32_t Fitted(double v, std::int32_t low, std::int32_t high, bool& fits) {
  std::int32_t r = 0;
  if (!tk::NearestIntChecked(v, r)) fits = false;
  if (r < low || r > high) fits = false;
  return std::clamp(r, low, high);
}

/// V as a field scaled by SCALAR stores it (the reader's factor undone).
double Unscaled(double v, std::int16_t scalar) {
  if (scalar < 0) return v * -static_cast<double>(scalar);
  if (scalar > 0) return v / static_cast<double>(scalar);
  return v;
}

}  // namespace

bool StoreEditedSegyHeaders(ShotRecord& REC) {
  using namespace segy_trc;
  constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
  bool fits = true;
  const auto word = [&fits](double v) { return Fitted(v, kMin32, kMax32, fits); };
  const auto half = [&fits](double v) { return Fitted(v, -32768, 32767, fits); };
  const double microseconds = 1000.0 * static_cast<double>(REC.SAMPINT);
  const std::int32_t interval = half(microseconds);
  SegyBinaryHeader& bin = REC.ISEGYBIN;
  SegyPut(bin, segy_bin::kJobId, REC.ISHOT);
  SegyPut(bin, segy_bin::kSampleInterval, interval);
  const std::int32_t uphole = half(1000.0 * static_cast<double>(REC.TUPHOLE));
  const std::int32_t delay = half(REC.TDELAY);
  const std::size_t n = std::min(static_cast<std::size_t>(std::max(REC.NTRACE, 0)),
                                 REC.ISEGYTRH.size());
  const auto at = [](const std::vector<float>& a, std::size_t j) {
    return j < a.size() ? static_cast<double>(a[j]) : 0.0;
  };
  for (std::size_t j = 0; j < n; ++j) {
    SegyTraceHeader& h = REC.ISEGYTRH[j];
    const auto elev = static_cast<std::int16_t>(SegyGet(h, kElevationScalar));
    const auto coord = static_cast<std::int16_t>(SegyGet(h, kCoordinateScalar));
    SegyPut(h, kSourcePoint, REC.ISHOT);
    SegyPut(h, kOffset, word(Unscaled(at(REC.GOFF, j), coord)));
    SegyPut(h, kReceiverElevation, word(Unscaled(at(REC.GEOELE, j), elev)));
    SegyPut(h, kSourceElevation, word(Unscaled(REC.SHOTELEV, elev)));
    SegyPut(h, kSourceDepth, word(Unscaled(REC.SHOTDEPTH, elev)));
    SegyPut(h, kSourceX, word(Unscaled(REC.SHOTX, coord)));
    SegyPut(h, kSourceY, word(Unscaled(REC.SHOTY, coord)));
    SegyPut(h, kReceiverX, word(Unscaled(at(REC.GEOLOC, j), coord)));
    SegyPut(h, kReceiverY, word(Unscaled(at(REC.GEOLOCY, j), coord)));
    SegyPut(h, kUpholeTime, uphole);
    SegyPut(h, kDelay, delay);
    SegyPut(h, kSampleInterval, interval);
  }
  return fits;
}

void ScaleToInt32(std::span<const float> samples, std::span<std::int32_t> out, float fullScale) {
  ScaleTo(samples, out, fullScale);
}
void ScaleToInt16(std::span<const float> samples, std::span<std::int16_t> out, float fullScale) {
  ScaleTo(samples, out, fullScale);
}

}  // namespace vel
