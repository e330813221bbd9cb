#pragma once
// Small EG&G files of both header layouts and Dolang header and data texts,
// with known values. Every builder starts from a valid record; tests change
// fields and cut bytes.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "instruments/DolangIn.h"
#include "tests/TestSupport.h"
#include "tests/instruments/InstrumentFixtures.h"

namespace instrument_fixtures {

/// The 6-byte real of V (exact for every normal float): exponent byte
/// biased by 129, bytes 1-2 zero, the top 23 fraction bits in bytes 3-5 with
/// the sign in bit 7 of byte 5.
inline std::string SixByteReal(float v) {
  std::string s(6, '\0');
  if (v == 0.0f) return s;
  const auto bits = std::bit_cast<std::uint32_t>(v);
  s[0] = static_cast<char>(((bits >> 23) & 0xFF) + 2);
  s[3] = static_cast<char>(bits & 0xFF);
  s[4] = static_cast<char>((bits >> 8) & 0xFF);
  s[5] = static_cast<char>(((bits >> 16) & 0x7F) | ((bits >> 24) & 0x80));
  return s;
}

inline std::string Double(double v) {
  std::string s;
  PutLE(s, std::bit_cast<std::uint64_t>(v), 8);
  return s;
}

/// Sample i (0-based) of trace j (1-based) of an EG&G block.
inline std::int16_t EggSample(int j, int i) {
  return static_cast<std::int16_t>((i % 2 == 0 ? 1 : -1) * (j * 100 + i % 89));
}

/// An EG&G file: "12" at 288, counts at 296/298, the reals of LAYOUT (0:
/// 985-byte header of 6-byte reals, 1: 1197-byte header of doubles), then
/// NTRACE blocks of 1024 samples.
struct Egg {
  int layout;
  int ntrace;
  int nsamp;
  double interval = 0.0005;  // seconds
  double delay = 0.002;      // seconds
  double highCut = 250.5;
  double lowCut = 10.5;
  double notch = 49.5;
  double shotX = -5.0;  // layout 0 only
  double first = 2.0;
  double spacing = 3.0;

  explicit Egg(int lay = 0, int traces = 24, int samples = 1000)
      : layout(lay), ntrace(traces), nsamp(samples) {}

  std::size_t HeaderBytes() const { return layout == 0 ? 985 : 1197; }

  std::string Real(double v) const {
    return layout == 0 ? SixByteReal(static_cast<float>(v)) : Double(v);
  }

  std::string Header() const {
    std::string h(HeaderBytes(), '\0');
    Put(h, 288, "12");
    std::string counts;
    PutLE(counts, static_cast<std::uint16_t>(ntrace), 2);
    PutLE(counts, static_cast<std::uint16_t>(nsamp), 2);
    Put(h, 296, counts);
    Put(h, 300, Real(interval));
    if (layout == 0) {
      Put(h, 306, Real(delay));
      Put(h, 312, Real(highCut));
      Put(h, 318, Real(lowCut));
      Put(h, 324, Real(notch));
      Put(h, 330, Real(shotX));
      Put(h, 349, Real(first));
      Put(h, 355, Real(spacing));
    } else {
      Put(h, 308, Real(delay));
      Put(h, 316, Real(highCut));
      Put(h, 324, Real(lowCut));
      Put(h, 332, Real(notch));
    }
    return h;
  }

  std::string Bytes() const {
    std::string s = Header();
    for (int j = 1; j <= ntrace; ++j) {
      for (int i = 0; i < 1024; ++i) PutLE(s, static_cast<std::uint16_t>(EggSample(j, i)), 2);
    }
    return s;
  }
};

/// Sample i (0-based) of Dolang trace j (1-based).
inline double DolangSample(int j, int i) {
  return j * 10.0 + i * 0.25 - 50.0;
}

/// A Dolang header text: twelve lines, CR LF ended.
struct DolangHeaderText {
  std::vector<std::string> lines = {
      "DOLANG SEISMOGRAPH",
      "LINE 4",
      "",
      "SURVEY",
      "        24",
      "        17",
      "         3",
      "             499.6",
      "      1000",
      "               0.0",
      "COMMENT",
      "               2.5",
  };
  DolangHeaderText(int ntrace = 24, int nsamp = 1000) {
    lines[4] = Num(ntrace, 10);
    lines[8] = Num(nsamp, 10);
  }
  std::string Text(std::size_t keep = 12) const {
    std::string s;
    for (std::size_t k = 0; k < keep && k < lines.size(); ++k) s += lines[k] + "\r\n";
    return s;
  }
};

/// The data text of trace J: NLINES samples, one a line, some with LF only,
/// some with an exponent or no decimal point.
inline std::string DolangData(int j, int nlines) {
  std::string s;
  char buf[64];
  for (int i = 0; i < nlines; ++i) {
    const double v = DolangSample(j, i);
    if (i % 3 == 0) {
      std::snprintf(buf, sizeof buf, "%20.2f\r\n", v);
    } else if (i % 3 == 1) {
      std::snprintf(buf, sizeof buf, "%-20.6Etrailing text\n", v);
    } else {
      std::snprintf(buf, sizeof buf, "%g\r\n", v);
    }
    s += buf;
  }
  return s;
}

/// Writes the header file NAME and the data files of its NTRACE traces, each
/// with NSAMP lines; false when NAME gives no data file names.
inline bool WriteDolangRecord(const std::string& name, const DolangHeaderText& h, int ntrace,
                              int nsamp) {
  testing_support::WriteFile(name, h.Text());
  for (int j = 1; j <= ntrace; ++j) {
    std::string data;
    if (!vel::DolangDataFileName(name, j, data)) return false;
    testing_support::WriteFile(data, DolangData(j, nsamp));
  }
  return true;
}

}  // namespace instrument_fixtures
