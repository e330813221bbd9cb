#pragma once
// Small RX2, ANT and DCF files with known samples. Sample i (0-based) of
// trace j (1-based) is FieldSample(j, i): quiet for 100 samples, then an
// arrival of one sign, so the import's picker finds a first break.
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/instruments/InstrumentFixtures.h"

namespace instrument_fixtures {

inline float FieldSample(int j, int i) {
  if (i < 100) return static_cast<float>((i % 3) - 1);
  if (i < 140) return 1000.0f * static_cast<float>(j);
  return static_cast<float>(j * 10 - i % 50);
}

/// RX2: the text header (its lines joined with LF, NUL-padded to 4096
/// bytes), then FRAMES frames of CHANNELS floats, then EXTRA bytes.
struct Rx2File {
  std::vector<std::string> lines = {"EMGS_RXII receiver file", "SN: 42"};
  int channels = 6;
  int frames = 1000;
  int extra = 0;
  float (*sample)(int c, int i) = nullptr;

  std::string Bytes() const {
    std::string s;
    for (const std::string& line : lines) s += line + "\n";
    s.resize(4096, '\0');
    for (int i = 0; i < frames; ++i)
      for (int c = 1; c <= channels; ++c)
        PutLE(s, std::bit_cast<std::uint32_t>(sample != nullptr ? sample(c, i) : FieldSample(c, i)),
              4);
    s.append(static_cast<std::size_t>(extra), '\x11');
    return s;
  }
};

/// ANT: "HV:" header with the interval text at bytes 59-64, then TRACES
/// records of a 7-byte header and 1000 16-bit samples, then EXTRA bytes.
struct AntFile {
  std::string interval = "0.0005";
  int traces = 12;
  int extra = 0;

  std::string Bytes() const {
    std::string s(100, ' ');
    Put(s, 0, "HV: ANT field record");
    Put(s, 59, interval);
    for (int j = 1; j <= traces; ++j) {
      s += "TRH" + Num(j, 4);
      for (int i = 0; i < 1000; ++i)
        PutLE(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(FieldSample(j, i))), 2);
    }
    s.append(static_cast<std::size_t>(extra), '\x22');
    return s;
  }
};

/// DCF: "GTMH" file header, then TRACES records of LENGTH bytes (a 112-byte
/// header with the length at 4 and the interval at 24, then doubles), then
/// EXTRA bytes. SAMPLE gives the doubles when set.
struct DcfFile {
  std::int32_t length = 112 + 8 * 500;
  int traces = 8;
  double interval = 0.25;
  int extra = 0;
  double (*sample)(int j, int i) = nullptr;

  int Samples() const { return (length - 112) / 8; }
  std::string Bytes() const {
    std::string s = "GTMH\1\2\3\4";
    for (int j = 1; j <= traces; ++j) {
      std::string h(112, '\0');
      std::string len, dt;
      PutLE(len, static_cast<std::uint32_t>(length), 4);
      PutLE(dt, std::bit_cast<std::uint64_t>(interval), 8);
      h.replace(4, 4, len);
      h.replace(24, 8, dt);
      s += h;
      for (int i = 0; i < Samples(); ++i) {
        const double v = sample != nullptr ? sample(j, i) : FieldSample(j, i);
        PutLE(s, std::bit_cast<std::uint64_t>(v), 8);
      }
    }
    s.append(static_cast<std::size_t>(extra), '\x33');
    return s;
  }
};

}  // namespace instrument_fixtures
