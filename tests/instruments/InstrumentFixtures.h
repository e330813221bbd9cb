#pragma once
// Small instrument files built from the header layouts, with known values.
// Every builder starts from a valid file; tests change fields and cut bytes.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace instrument_fixtures {

/// TEXT written into S at 0-based OFFSET (S grows with blanks if needed).
inline void Put(std::string& s, std::size_t offset, std::string_view text) {
  if (s.size() < offset + text.size()) s.resize(offset + text.size(), ' ');
  s.replace(offset, text.size(), text);
}

/// V right-justified in WIDTH characters.
inline std::string Num(long long v, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%*lld", width, v);
  return buf;
}

inline void PutLE(std::string& s, std::uint64_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}

// ---- ABEM: 2048-byte header (text in positions 1-622), then 2048-byte
// blocks of 1024 16-bit samples. Sample i (0-based) of trace j (1-based) is
// AbemSample(j, i).
inline std::int16_t AbemSample(int j, int i) {
  return static_cast<std::int16_t>(j * 100 - i % 97);
}

struct Abem {
  std::string header = std::string(2048, ' ');
  int ntrace = 24;

  explicit Abem(int traces = 24) : ntrace(traces) {
    Put(header, 0, "ABEM");
    Put(header, 15, "xxx  7");  // positions 16-21: 3X, I3
    Put(header, 38, "   5.0");  // SHOTX
    Put(header, 46, "  10.0");  // first receiver
    Put(header, 54, "  56.0");  // last receiver
    Put(header, 92, "5");       // 1.0 ms
    Put(header, 620, Num(traces, 2));
  }
  /// Writes TEXT at 1-based position POS of the header.
  void At(std::size_t pos, std::string_view text) { Put(header, pos - 1, text); }
  void Flag(int k) { At(217 + 7 * static_cast<std::size_t>(k - 1), "1"); }

  std::string Bytes() const {
    std::string s = header;
    for (int j = 1; j <= ntrace; ++j) {
      for (int i = 0; i < 1024; ++i) PutLE(s, static_cast<std::uint16_t>(AbemSample(j, i)), 2);
    }
    return s;
  }
};

// ---- Bison-1: 441-byte text header, 975-byte blocks of signed bytes.
inline std::int8_t Bison1Sample(int j, int i) {
  return static_cast<std::int8_t>(j * 3 - i % 50);
}

struct Bison1 {
  std::string header = std::string(441, ' ');
  int ntrace;

  Bison1(int traces = 24, int samples = 500) : ntrace(traces) {
    Put(header, 0, " 12");
    Put(header, 28, "BISON-1");
    Put(header, 36, Num(traces, 2));
    Put(header, 39, Num(samples, 3));
    Put(header, 43, "0.5");
    Put(header, 64, "  -4");
    Put(header, 72, "\r 20");  // a line end inside a field reads as a blank
    Put(header, 91, "  15");
    header[100] = '\n';
  }
  std::string Bytes() const {
    std::string s = header;
    for (int j = 1; j <= ntrace; ++j) {
      for (int i = 0; i < 975; ++i) s.push_back(static_cast<char>(Bison1Sample(j, i)));
    }
    return s;
  }
};

// ---- Bison-2: 538-byte first part, E x NTRACE + 2 second part, samples.
inline std::int32_t Bison2Sample(int j, int i) {
  return j * 1000 - i;
}

struct Bison2 {
  std::string header = std::string(538, ' ');
  int ntrace;
  int nsamp;
  char format;
  bool shortEntries;

  Bison2(char fmt = 'W', int traces = 24, int samples = 250, bool shortE = false)
      : ntrace(traces), nsamp(samples), format(fmt), shortEntries(shortE) {
    Put(header, 117, "BISON-2");
    Put(header, 130, "  33");
    header[145] = fmt;
    header[148] = shortE ? '7' : '9';
    Put(header, 218, Num(traces, 4));
    Put(header, 238, Num(samples, 6));
    Put(header, 246, "0.25");
    Put(header, 252, "\x03 10");  // ETX inside a field reads as a blank
    Put(header, 292, "   2");
    Put(header, 374, "  0");
    Put(header, 456, "2.5");
    header[300] = '\n';
  }
  std::size_t EntryBytes() const { return shortEntries ? 42 : 48; }
  std::size_t DataOffset() const { return 540 + EntryBytes() * static_cast<std::size_t>(ntrace); }
  std::size_t TraceBytes() const {
    if (format == 'W') return 2 * static_cast<std::size_t>(nsamp);
    if (format == 'L') return 4 * static_cast<std::size_t>(nsamp);
    return 10 * ((static_cast<std::size_t>(nsamp) + 3) / 4);
  }
  /// The whole file; 20-bit samples are mantissas with exponent 0.
  std::string Bytes() const {
    std::string s = header;
    s.append(EntryBytes() * static_cast<std::size_t>(ntrace) + 2, '\r');
    for (int j = 1; j <= ntrace; ++j) {
      if (format == 'W') {
        for (int i = 0; i < nsamp; ++i) PutLE(s, static_cast<std::uint16_t>(Bison2Sample(j, i)), 2);
      } else if (format == 'L') {
        for (int i = 0; i < nsamp; ++i)
          PutLE(s, static_cast<std::uint32_t>(Bison2Sample(j, i) * 70000), 4);
      } else {
        for (int g = 0; g < (nsamp + 3) / 4; ++g) {
          for (int k = 0; k < 4; ++k)
            PutLE(s, static_cast<std::uint16_t>(Bison2Sample(j, 4 * g + k)), 2);
          PutLE(s, 0, 2);
        }
      }
    }
    return s;
  }
};

}  // namespace instrument_fixtures
