#pragma once
// Small OYO, FPX and SUSPENS files built from the header layouts, with known
// values. Every builder starts from a valid file; tests change fields and cut
// bytes.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>

#include "tests/instruments/InstrumentFixtures.h"

namespace instrument_fixtures {

/// An OYO file. MODEL is the tag's last character: '5'-'9' (layout 0),
/// '4' (OYO-4) or '2'/'3' (OYO-2, OYO-3).
struct OyoFile {
  char model = '6';
  int ntrace = 3;
  int nsamp = 256;
  bool fp = false;
  bool prefix = false;
  int etx = 599;  // 0-based place of the OYO-4 ETX; -1 none

  bool Layout0() const { return model >= '5'; }
  bool Bytes8() const { return model == '5' || model == '7' || model == '4'; }
  int Width() const { return Bytes8() ? 1 : (fp ? 4 : 2); }
  std::size_t HeaderStart() const { return prefix ? 256 : 0; }
  std::size_t DataStart() const {
    if (model == '4') return HeaderStart() + static_cast<std::size_t>(etx + 1);
    return HeaderStart() + (model <= '3' ? 6144 : 1024);
  }
  std::size_t BytesPerTrace() const {
    if (Bytes8()) return static_cast<std::size_t>(nsamp);
    return static_cast<std::size_t>(nsamp / 128 * 128 * Width());
  }
  std::size_t Stride() const {
    if (model == '4') return static_cast<std::size_t>(256 * (nsamp / 256));
    if (Bytes8()) return static_cast<std::size_t>(512 * ((nsamp / 256 + 1) / 2));
    return BytesPerTrace();
  }
  /// Sample I (0-based) of trace J (1-based) as written.
  std::int32_t Sample(int j, int i) const {
    if (Bytes8()) return (j * 37 + i) % 256 - 128;
    if (Width() == 2) return j * 1000 - i;
    return j * 100000 - 3 * i;
  }

  std::string Header() const {
    std::string h(model <= '3' ? 3072 : 1024, ' ');
    if (Layout0()) {
      Put(h, 0, "  17");
      Put(h, 5, "LINE-A SHOT1");
      Put(h, 18, "03 5 1102030");  // month 3, day 5, year 1, 10:20:30
      Put(h, 31, "Fixture note");
      Put(h, 94, std::string("OYO") + model);
      Put(h, 99, Num(ntrace, 2));
      Put(h, 102, Num(nsamp, 4));
      Put(h, 107, "  0.25");
      Put(h, 114, "      5.0");
      Put(h, 125, " 250");
      Put(h, 131, "   -10.0    20.0   100.0");
      for (int j = 1; j <= std::min(ntrace, 24); ++j) {
        const std::size_t at = 159 + 36 * static_cast<std::size_t>(j - 1);
        Put(h, at,
            Num(j * 5, 8) + " " + Num(0, 8) + " " + Num(j * 10, 6) + ".5" + "  " +
                Num(j % 9 + 1, 2) + " " + Num(j % 4 * 6, 3));
      }
    } else if (model == '4') {
      Put(h, 0, "   9");
      Put(h, 14, "OYO-4");
      Put(h, 20, Num(ntrace, 2) + " " + Num(nsamp, 4) + " 0.50      12.5");
      if (etx >= 0) h[static_cast<std::size_t>(etx)] = '\x03';
    } else {
      Put(h, 2816, "  42");
      Put(h, 2861,
          std::string("OYO-") + model + " " + Num(ntrace, 2) + " " + Num(nsamp, 4) +
              " 1.00       2.0");
    }
    if (fp) Put(h, 10, "FP");
    h[50] = '\r';  // line ends are blanked before decoding
    h[51] = '\n';
    return h;
  }

  std::string Bytes() const {
    std::string s = (prefix ? std::string(256, '\x01') : std::string()) + Header();
    const std::size_t end =
        DataStart() + Stride() * static_cast<std::size_t>(ntrace - 1) + BytesPerTrace();
    if (s.size() < end) s.resize(end, '\0');
    const int fromFile = static_cast<int>(BytesPerTrace()) / Width();
    // Without an ETX the samples are the header's own bytes.
    for (int j = 1; j <= ntrace && !(model == '4' && etx < 0); ++j) {
      std::string trace;
      for (int i = 0; i < fromFile; ++i)
        PutLE(trace, static_cast<std::uint32_t>(Sample(j, i)), Width());
      s.replace(DataStart() + Stride() * static_cast<std::size_t>(j - 1), trace.size(), trace);
    }
    return s;
  }
};

/// An .FPX file: header, geometry, picks and four records a trace.
struct FpxFile {
  int nsamp = 1024;
  int ntrace = 2;
  bool picks = true;
  float spacing = 2.5f;

  static void Put16(std::string& s, std::size_t at, std::int32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
  }
  static void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
      s[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (8 * k));
  }
  static void PutReal(std::string& s, std::size_t at, float v) {
    Put32(s, at, std::bit_cast<std::uint32_t>(v));
  }
  static std::int16_t Sample(int j, int i) { return static_cast<std::int16_t>(j * 300 - i * 7); }

  std::string Bytes() const {
    const int traces = std::min(ntrace, 128);
    std::string s(512 * static_cast<std::size_t>(11 + 4 * std::max(traces, 0)), '\0');
    s[0] = '\0';
    s[1] = '\x14';
    Put16(s, 2, nsamp);
    Put16(s, 4, ntrace);
    Put16(s, 6, 33);
    PutReal(s, 10, 0.5f);
    PutReal(s, 18, 100.0f);
    PutReal(s, 24, 1.5f);
    PutReal(s, 28, 250.0f);
    PutReal(s, 44, spacing);
    PutReal(s, 60, 3.0f);
    PutReal(s, 64, -4.0f);
    Put32(s, 72, picks ? 0xFFFFFFFFu : 0x2u);  // true by the lowest bit only
    for (int j = 1; j <= traces; ++j) {
      const auto k = static_cast<std::size_t>(j - 1);
      PutReal(s, 512 * 1 + 4 * k, 10.0f * j);
      PutReal(s, 512 * 4 + 4 * k, 200.0f + j);
      PutReal(s, 512 * 9 + 4 * k, 5.0f * j - 90.0f);
      Put16(s, 512 * 10 + 2 * k, j == 2 ? -5 : j + 100);
      for (int i = 0; i < 1024; ++i)
        Put16(s, 512 * (11 + 4 * k) + 2 * static_cast<std::size_t>(i), Sample(j, i));
    }
    return s;
  }
};

/// A SUSPENS file: the 1024-byte header, then the 16-bit traces.
struct SuspensFile {
  char code = '0';
  int nsamp = 1000;
  std::string shot = "  7";
  std::string first = " 50";
  std::string second = "100";
  std::string delay = "20";
  std::string count{};  // replaces the sample count field when set

  int Traces() const { return code == '0' ? 6 : code == '1' ? 4 : 2; }
  static std::int16_t Sample(int j, int i) { return static_cast<std::int16_t>(j * 11 - i); }

  std::string Bytes() const {
    std::string s(1024, ' ');
    Put(s, 2, shot);
    Put(s, 5, "SUSPENS");
    Put(s, 88, first + second + delay);
    Put(s, 109, count.empty() ? Num(nsamp, 4) : count);
    s[113] = code;
    for (int j = 1; j <= Traces(); ++j)
      for (int i = 0; i < std::max(nsamp, 0); ++i)
        PutLE(s, static_cast<std::uint16_t>(Sample(j, i)), 2);
    return s;
  }
};

}  // namespace instrument_fixtures
