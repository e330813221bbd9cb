#include "formats/Seg2Strings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "platform/FixedText.h"
#include "support/ProgramState.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

/// Words longer than this are cut; value words are read from their first
/// kValueChars characters only.
constexpr std::size_t kWordChars = 30;
constexpr std::size_t kValueChars = 20;

/// Words of one descriptor string, left to right.
class Words {
 public:
  explicit Words(std::string_view text) : text_(text) {}

  /// The next blank-delimited word cut to 30 characters; empty at the end.
  std::string_view Next() {
    const std::size_t start = text_.find_first_not_of(' ', pos_);
    if (start == std::string_view::npos) {
      pos_ = text_.size();
      return {};
    }
    std::size_t end = text_.find(' ', start);
    if (end == std::string_view::npos) end = text_.size();
    // Past the blank that ends the word (or the end of the text).
    pos_ = std::min(end + 1, text_.size());
    afterBlank_ = end < text_.size();
    return text_.substr(start, std::min(end - start, kWordChars));
  }
  /// Everything after the blank that ended the last word; empty when that
  /// word ended the string.
  std::string_view Rest() const { return afterBlank_ ? text_.substr(pos_) : std::string_view(); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  bool afterBlank_ = false;
};

using plat::TrimRight;

/// Copies the characters of VALUE into the start of FIELD; the rest of the
/// field keeps what it held.
template <std::size_t N>
void CopyInto(sup::FixedString<N>& field, std::string_view value) {
  std::copy_n(value.begin(), std::min(value.size(), N), field.data());
}

/// Blank every '_' among the first COUNT characters of FIELD.
template <std::size_t N>
void UnderscoresToBlanks(sup::FixedString<N>& field, std::size_t count) {
  std::replace(field.data(), field.data() + std::min(count, N), '_', ' ');
}

/// Digits, with at least one; advances P.
bool Digits(std::string_view s, std::size_t& p) {
  const std::size_t start = p;
  while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
  return p > start;
}

// ---------------------------------------------------------------------------
// File descriptor keywords, in the order tested.

enum class FdbValue { NextWord, Rest, Units, Note };

struct FdbKeyword {
  std::string_view key;
  FdbValue value;
  int slot;                    // 1-based IFDBLEN / CFDBVAL entry
  std::size_t underscoreSpan;  // '_' to blanks in the first so many characters
};

constexpr std::array<FdbKeyword, 13> kFdbKeywords{{
    {"ACQUISITION_DATE", FdbValue::NextWord, 1, 0},
    {"ACQUISITION_TIME", FdbValue::NextWord, 2, 0},
    {"CLIENT", FdbValue::Rest, 3, 0},
    {"COMPANY", FdbValue::Rest, 4, 0},
    {"GENERAL_CONSTANT", FdbValue::Rest, 5, 0},
    {"INSTRUMENT", FdbValue::Rest, 6, 14},
    {"JOB_ID", FdbValue::Rest, 7, 30},
    {"OBSERVER", FdbValue::Rest, 8, 0},
    {"PROCESSING_DATE", FdbValue::NextWord, 9, 0},
    {"PROCESSING_TIME", FdbValue::NextWord, 10, 0},
    {"TRACE_SORT", FdbValue::NextWord, 11, 0},
    {"UNITS", FdbValue::Units, 12, 0},
    {"NOTE", FdbValue::Note, 13, 0},
}};

// ---------------------------------------------------------------------------
// Trace descriptor keywords. Each row names the keyword and the long
// spellings accepted for it.

enum class Tdb {
  AliasFilter,
  AmplitudeRecovery,
  BandRejectFilter,
  CdpNumber,
  CdpTrace,
  ChannelNumber,
  Datum,
  Delay,
  DescalingFactor,
  DigitalBandRejectFilter,
  DigitalHighCutFilter,
  DigitalLowCutFilter,
  EndOfGroup,
  FixedGain,
  HighCutFilter,
  LineId,
  LowCutFilter,
  NotchFreq,
  Polarity,
  Ignored,
  ReceiverLocation,
  ReceiverStation,
  SampleInterval,
  ShotSequenceNumber,
  FirstBreak,
  Skew,
  ShotSequence,
  Source,
  SourceLocation,
  SourceStation,
  Stack,
  StaticCorrections,
  TraceType,
};

struct TdbKeyword {
  std::string_view key;
  Tdb what;
};

constexpr std::array<TdbKeyword, 41> kTdbKeywords{{
    {"ALIAS_FILTER", Tdb::AliasFilter},
    {"AMPLITUDE_RECOVERY", Tdb::AmplitudeRecovery},
    {"BAND_REJECT_FILTER", Tdb::BandRejectFilter},
    {"CDP_NUMBER", Tdb::CdpNumber},
    {"CDP_TRACE", Tdb::CdpTrace},
    {"CHANNEL_NUMBER", Tdb::ChannelNumber},
    {"DATUM", Tdb::Datum},
    {"DELAY", Tdb::Delay},
    {"DESCALING_FACTOR", Tdb::DescalingFactor},
    {"DIGITAL_BAND_REJECT_FILTER", Tdb::DigitalBandRejectFilter},
    {"DIGITAL_HIGH_CUT_FILTER", Tdb::DigitalHighCutFilter},
    {"DIGITAL_LOW_CUT_FILTER", Tdb::DigitalLowCutFilter},
    {"END_OF_GROUP", Tdb::EndOfGroup},
    {"FIXED_GAIN", Tdb::FixedGain},
    {"HIGH_CUT_FILTER", Tdb::HighCutFilter},
    {"LINE_ID", Tdb::LineId},
    {"LOW_CUT_FILTER", Tdb::LowCutFilter},
    {"NOTCH_FREQ", Tdb::NotchFreq},
    {"NOTCH_FREQUENCY", Tdb::NotchFreq},
    {"POLARITY", Tdb::Polarity},
    {"RECEIVER", Tdb::Ignored},
    {"RECEIVER_GEOM", Tdb::Ignored},
    {"RECEIVER_LOCATION", Tdb::ReceiverLocation},
    {"RECEIVER_SPEC", Tdb::Ignored},
    {"RECEIVER_STATION", Tdb::ReceiverStation},
    {"RECEIVER_STATION_NUMBER", Tdb::ReceiverStation},
    {"SAMPLE_INTERVAL", Tdb::SampleInterval},
    {"SHOT_SEQUENCE_NUMBER", Tdb::ShotSequenceNumber},
    {"FIRST_BREAK_(SECONDS)", Tdb::FirstBreak},
    {"FIRST_BREAK", Tdb::FirstBreak},
    {"SKEW", Tdb::Skew},
    {"SHOT_SEQUENCE", Tdb::ShotSequence},
    {"SOURCE", Tdb::Source},
    {"SOURCE_LOCATION", Tdb::SourceLocation},
    {"SOURCE_STATION", Tdb::SourceStation},
    {"SOURCE_STATION_NUMBER", Tdb::SourceStation},
    {"STACK", Tdb::Stack},
    {"STATIC_CORREC", Tdb::StaticCorrections},
    {"STATIC_CORRECTION", Tdb::StaticCorrections},
    {"STATIC_CORRECTIONS", Tdb::StaticCorrections},
    {"TRACE_TYPE", Tdb::TraceType},
}};

/// Values of one trace string, read one at a time; the first unreadable one
/// ends the string.
class Values {
 public:
  explicit Values(Words& words) : words_(words) {}
  bool Ok() const { return ok_; }

  /// The next real (0 when the string has ended).
  double Real() {
    if (!ok_) return 0.0;
    const std::string_view word = words_.Next();
    double v = 0.0;
    if (!word.empty() && !ParseSeg2Real(word, v)) ok_ = false;
    return ok_ ? v : 0.0;
  }
  std::int32_t Integer() {
    if (!ok_) return 0;
    const std::string_view word = words_.Next();
    std::int32_t v = 0;
    if (!word.empty() && !ParseSeg2Integer(word, v)) ok_ = false;
    return ok_ ? v : 0;
  }
  std::string_view Word() { return ok_ ? words_.Next() : std::string_view(); }

 private:
  Words& words_;
  bool ok_ = true;
};

std::int32_t Truncated(double v) {
  std::int32_t out;
  (void)tk::TruncateIntChecked(v, out);
  return out;
}
std::int16_t Rounded16(double v) {
  const std::int32_t r = tk::NearestInt(v);
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(r, -32768, 32767));
}
float Real32(double v) {
  return static_cast<float>(v);
}

}  // namespace

Seg2Terminators& SEG2TERMINATORS() {
  static Seg2Terminators terminators;
  return terminators;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(
    sup::ProgramLayer::Formats, [] { SEG2TERMINATORS() = Seg2Terminators{}; });
}  // namespace

namespace {

/// The powers of ten a double holds exactly.
constexpr std::array<double, 23> kExactPowersOfTen{
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

/// The common short numbers of descriptor strings: a whole-number mantissa of
/// at most 2^53 scaled by an exact power of ten is one correctly rounded
/// multiplication or division, the value from_chars gives. False (VALUE
/// untouched) when S is not such a number or not a number at all; the full
/// reading below then decides.
bool ShortReal(std::string_view s, double& value) {
  std::size_t p = 0;
  bool negative = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) negative = s[p++] == '-';
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fraction = 0;
  bool point = false;
  for (; p < s.size(); ++p) {
    const char c = s[p];
    if (c >= '0' && c <= '9') {
      if (++digits > 19) return false;
      mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
      if (point) ++fraction;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  int exponent = 0;
  if (p < s.size() && (s[p] == 'E' || s[p] == 'e' || s[p] == 'D' || s[p] == 'd')) {
    ++p;
    bool negativeExponent = false;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) negativeExponent = s[p++] == '-';
    const std::size_t start = p;
    for (; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p) {
      exponent = exponent * 10 + (s[p] - '0');
      if (exponent > 1000) return false;
    }
    if (p == start) return false;
    if (negativeExponent) exponent = -exponent;
  }
  if (p != s.size() || mantissa > (std::uint64_t{1} << 53)) return false;
  const int scale = exponent - fraction;
  if (scale < -22 || scale > 22) return false;
  double v = static_cast<double>(mantissa);
  v = scale >= 0 ? v * kExactPowersOfTen[static_cast<std::size_t>(scale)]
                 : v / kExactPowersOfTen[static_cast<std::size_t>(-scale)];
  value = negative ? -v : v;
  return true;
}

}  // namespace

bool ParseSeg2Real(std::string_view word, double& value) {
  const std::string_view s = word.substr(0, std::min(word.size(), kValueChars));
  if (ShortReal(s, value)) return true;
  std::size_t p = 0;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
  const bool intDigits = Digits(s, p);
  bool fracDigits = false;
  if (p < s.size() && s[p] == '.') {
    ++p;
    fracDigits = Digits(s, p);
  }
  if (!intDigits && !fracDigits) return false;
  // The number as from_chars reads it, without a leading "+" and with "e" as
  // its exponent letter; it is never longer than the word. Kept on the stack:
  // the ASCII import reads every sample through here.
  char text[kValueChars];
  std::size_t n = 0;
  for (std::size_t i = s[0] == '+' ? 1 : 0; i < p; ++i) text[n++] = s[i];
  if (p < s.size() && (s[p] == 'E' || s[p] == 'e' || s[p] == 'D' || s[p] == 'd')) {
    std::size_t q = p + 1;
    if (q < s.size() && (s[q] == '+' || s[q] == '-')) ++q;
    if (!Digits(s, q)) return false;
    text[n++] = 'e';
    for (std::size_t i = p + 1; i < q; ++i) text[n++] = s[i];
    p = q;
  }
  if (p != s.size()) return false;
  double v = 0.0;
  const auto res = std::from_chars(text, text + n, v);
  if (res.ec == std::errc::result_out_of_range) {
    // Too large gives an infinity, too small zero, with the number's sign.
    const bool negative = text[0] == '-';
    const char* e = std::find(text, text + n, 'e');
    const bool tiny = e != text + n && e[1] == '-';
    v = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    if (negative) v = -v;
  } else if (res.ec != std::errc() || res.ptr != text + n) {
    return false;
  }
  value = v;
  return true;
}

bool ParseSeg2Integer(std::string_view word, std::int32_t& value) {
  const std::string_view s = word.substr(0, std::min(word.size(), kValueChars));
  std::size_t p = 0;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
  if (!Digits(s, p) || p != s.size()) return false;
  const std::string_view digits = s[0] == '+' ? s.substr(1) : s;
  std::int32_t v = 0;
  const auto res = std::from_chars(digits.data(), digits.data() + digits.size(), v);
  if (res.ec != std::errc()) return false;
  value = v;
  return true;
}

void FDBPARSE(std::string_view STR, int N, int& IERR, ShotRecord& REC) {
  IERR = 0;
  if (N < 1) return;
  const std::string_view text = STR.substr(0, std::min(STR.size(), static_cast<std::size_t>(N)));
  Words words(text);
  const std::string_view key = words.Next();
  const auto row = std::find_if(kFdbKeywords.begin(), kFdbKeywords.end(),
                                [&](const FdbKeyword& k) { return k.key == key; });
  if (row == kFdbKeywords.end()) return;
  const std::size_t slot = static_cast<std::size_t>(row->slot - 1);
  switch (row->value) {
    case FdbValue::NextWord: {
      const std::string_view word = TrimRight(words.Next());
      REC.IFDBLEN[slot] = static_cast<std::int32_t>(word.size());
      CopyInto(REC.CFDBVAL[slot], word);
      break;
    }
    case FdbValue::Rest: {
      const std::string_view rest = words.Rest();
      if (rest.empty()) break;  // the keyword ends the string
      const std::string_view value = TrimRight(rest.substr(0, std::min(rest.size(), kWordChars)));
      REC.IFDBLEN[slot] = static_cast<std::int32_t>(value.size());
      CopyInto(REC.CFDBVAL[slot], value);
      if (row->underscoreSpan > 0) UnderscoresToBlanks(REC.CFDBVAL[slot], row->underscoreSpan);
      break;
    }
    case FdbValue::Units: {
      const std::string_view word = TrimRight(words.Next());
      REC.IFDBLEN[slot] = static_cast<std::int32_t>(word.size());
      REC.CUNITS = word.substr(0, std::min<std::size_t>(word.size(), 4));
      break;
    }
    case FdbValue::Note: {
      // The string from its fifth character on, whatever the keyword's place.
      const std::string_view note =
          text.size() > 4 ? text.substr(4, std::min<std::size_t>(text.size() - 4, 500))
                          : std::string_view();
      REC.IFDBLEN[slot] = static_cast<std::int32_t>(note.size());
      CopyInto(REC.CNOTE, note);
      break;
    }
  }
}

void TDBPARSE(ShotRecord& REC, std::string_view STR, int J, int N, float& FBREAK, bool& LOCFLAG,
              int& IERR) {
  IERR = 0;
  if (N < 1) return;
  const std::string_view text = STR.substr(0, std::min(STR.size(), static_cast<std::size_t>(N)));
  Words words(text);
  const std::string_view key = words.Next();
  const auto row = std::find_if(kTdbKeywords.begin(), kTdbKeywords.end(),
                                [&](const TdbKeyword& k) { return k.key == key; });
  const std::size_t j = static_cast<std::size_t>(J - 1);
  // A trace outside the arrays can only be a caller's mistake; nothing is stored.
  const bool inRange = J >= 1 && j < REC.GEOLOC.size();
  Values v(words);

  if (row != kTdbKeywords.end() && inRange) {
    switch (row->what) {
      case Tdb::AliasFilter:
        REC.FALIAS[j] = Real32(v.Real());
        if (v.Ok()) REC.FALIASS[j] = Real32(v.Real());
        break;
      case Tdb::AmplitudeRecovery: {
        const std::string_view w = v.Word();
        REC.IAMPREC[j] = w.starts_with("NONE")        ? 1
                         : w.starts_with("AGC")       ? 3
                         : w.starts_with("SPHERICAL") ? 2
                                                      : 0;
        break;
      }
      case Tdb::BandRejectFilter:
        for (auto* a : {&REC.FBREJ1, &REC.FBREJ2, &REC.FBREJ3, &REC.FBREJ4}) {
          const double x = v.Real();
          if (!v.Ok()) break;
          (*a)[j] = Real32(x);
        }
        break;
      case Tdb::CdpNumber:
        if (const double x = v.Real(); v.Ok()) REC.ICDP[j] = Truncated(x);
        break;
      case Tdb::CdpTrace:
        if (const double x = v.Real(); v.Ok()) REC.ICDPTRC[j] = Truncated(x);
        break;
      case Tdb::ChannelNumber:
        if (const double x = v.Real(); v.Ok()) REC.ICHANNEL[j] = Truncated(x);
        break;
      case Tdb::Datum:
        if (const double x = v.Real(); v.Ok()) REC.DATUMEL[j] = Real32(x);
        break;
      case Tdb::Delay:
        if (const double x = v.Real(); v.Ok()) REC.TDELAY = Real32(x * 1000.0);
        break;
      case Tdb::DescalingFactor:
        if (const double x = v.Real(); v.Ok()) REC.DESCALE[j] = Real32(x);
        break;
      case Tdb::DigitalBandRejectFilter:
        for (auto* a : {&REC.FDBREJ1, &REC.FDBREJ2, &REC.FDBREJ3, &REC.FDBREJ4}) {
          const double x = v.Real();
          if (!v.Ok()) break;
          (*a)[j] = Real32(x);
        }
        break;
      case Tdb::DigitalHighCutFilter:
        if (const double x = v.Real(); v.Ok()) REC.FDHICUT[j] = Real32(x);
        if (const double x = v.Real(); v.Ok()) REC.FDHICUTS[j] = Real32(x);
        break;
      case Tdb::DigitalLowCutFilter:
        if (const double x = v.Real(); v.Ok()) REC.FDLOCUT[j] = Real32(x);
        if (const double x = v.Real(); v.Ok()) REC.FDLOCUTS[j] = Real32(x);
        break;
      case Tdb::EndOfGroup:
        if (const double x = v.Real(); v.Ok()) REC.IENDGRP[j] = Truncated(x) == 0 ? 0 : 1;
        break;
      case Tdb::FixedGain:
        if (const double x = v.Real(); v.Ok()) REC.IFXGAIN[j] = Truncated(x);
        break;
      case Tdb::HighCutFilter:
        if (const double x = v.Real(); v.Ok()) {
          REC.FHICUT[j] = Real32(x);
          REC.IHICUT[j] = Rounded16(x);
        }
        if (const double x = v.Real(); v.Ok()) REC.FHICUTS[j] = Real32(x);
        break;
      case Tdb::LineId: {
        // An unreadable line id is dropped silently.
        double x = 0.0;
        const std::string_view w = words.Next();
        if (w.empty() || ParseSeg2Real(w, x)) REC.ILINEID[j] = Truncated(x);
        break;
      }
      case Tdb::LowCutFilter:
        if (const double x = v.Real(); v.Ok()) {
          REC.FLOCUT[j] = Real32(x);
          REC.ILOCUT[j] = Rounded16(x);
        }
        if (const double x = v.Real(); v.Ok()) REC.FLOCUTS[j] = Real32(x);
        break;
      case Tdb::NotchFreq:
        if (const double x = v.Real(); v.Ok()) {
          REC.FNOTCH[j] = Real32(x);
          REC.INOTCH[j] = Rounded16(x);
        }
        break;
      case Tdb::Polarity:
        if (const double x = v.Real(); v.Ok()) REC.IPOLAR[j] = Truncated(x) < 0 ? -1 : 1;
        break;
      case Tdb::Ignored:
        break;
      case Tdb::ReceiverLocation:
        if (const double x = v.Real(); v.Ok()) {
          REC.GEOLOC[j] = Real32(x);
          REC.GOFF[j] = Real32(x - REC.SHOTX);
          LOCFLAG = true;
        }
        if (const double y = v.Real(); v.Ok()) REC.GEOLOCY[j] = Real32(y);
        if (const double z = v.Real(); v.Ok()) REC.GEOELE[j] = Real32(z);
        break;
      case Tdb::ReceiverStation:
        if (const std::int32_t n = v.Integer(); v.Ok()) REC.IRCVSTN[j] = n;
        break;
      case Tdb::SampleInterval:
        if (const double x = v.Real(); v.Ok()) REC.SAMPINT = Real32(x * 1000.0);
        break;
      case Tdb::ShotSequenceNumber:
        if (const std::int32_t n = v.Integer(); v.Ok()) REC.ISHOT = n;
        break;
      case Tdb::FirstBreak:
        if (const double x = v.Real(); v.Ok()) FBREAK = Real32(x);
        break;
      case Tdb::Skew:
        if (const double x = v.Real(); v.Ok()) REC.TSKEW[j] = Real32(x);
        break;
      case Tdb::ShotSequence:
        if (const std::int32_t n = v.Integer(); v.Ok()) REC.ISHOTSEQ[j] = n;
        break;
      case Tdb::Source: {
        const std::string_view rest = words.Rest();
        REC.CSRCTEXT[j] = rest.substr(0, std::min(rest.size(), kWordChars));
        UnderscoresToBlanks(REC.CSRCTEXT[j], kWordChars);
        break;
      }
      case Tdb::SourceLocation:
        if (const double x = v.Real(); v.Ok()) {
          REC.SHOTLOCX[j] = Real32(x);
          REC.SHOTX = Real32(x);
          REC.GOFF[j] = Real32(REC.GEOLOC[j] - x);
        }
        if (const double y = v.Real(); v.Ok()) {
          REC.SHOTLOCY[j] = Real32(y);
          REC.SHOTY = Real32(y);
        }
        if (const double z = v.Real(); v.Ok()) REC.SHOTLOCZ[j] = Real32(z);
        break;
      case Tdb::SourceStation:
        if (const std::int32_t n = v.Integer(); v.Ok()) REC.ISRCSTN[j] = n;
        break;
      case Tdb::Stack:
        if (const double x = v.Real(); v.Ok()) REC.IVSTACK[j] = tk::NearestInt(x);
        break;
      case Tdb::StaticCorrections:
        for (auto* a : {&REC.STATSRC, &REC.STATREC, &REC.STATTOT}) {
          const double x = v.Real();
          if (!v.Ok()) break;
          (*a)[j] = Real32(x);
        }
        break;
      case Tdb::TraceType: {
        const std::string_view w = v.Word();
        REC.CTRCTYPE[j] = w.substr(0, std::min<std::size_t>(w.size(), 12));
        REC.LRADAR = w.find("RADAR") != std::string_view::npos;
        break;
      }
    }
  }

  if (!v.Ok()) {
    std::string message = "ERROR READING DATA: \"";
    message += key;
    message.append(kWordChars - key.size(), ' ');
    message += '"';
    sup::WINMSG(message);
    IERR = -1;
    return;
  }
  // Radar files give their interval in seconds of the nanosecond range: keep
  // it in nanoseconds rather than a vanishing number of milliseconds.
  if (REC.LRADAR && REC.SAMPINT < 1.0e-5f) REC.SAMPINT *= 1.0e6f;
}

}  // namespace vel
