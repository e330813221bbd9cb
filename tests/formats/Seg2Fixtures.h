#pragma once
// Builds small SEG-2 files in memory for the reader's tests, with every
// binary field under the test's control.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace seg2_fixtures {

struct Trace {
  int format = 4;                          // data format code
  std::int32_t sampleCount = 0;            // written in the descriptor block
  std::string data;                        // raw data block
  std::vector<std::string> strings;        // trace descriptor strings
  std::optional<std::int16_t> blockBytes;  // override of the block size
  std::uint8_t id0 = 0x22, id1 = 0x44;
};

struct File {
  bool msbFirst = false;             // block id 3A 55
  bool bigHeaders = false;           // binary header fields MSB first (trace ids 44 22)
  std::vector<std::string> strings;  // file descriptor strings
  std::vector<Trace> traces;
  std::optional<std::uint16_t> pointerBytes;  // M; default 4 per trace
  std::optional<std::int16_t> traceCount;     // N; default the traces given
  int terminatorSize = 1;
  char terminator[2] = {'\0', '\0'};
};

inline void Put16(std::string& s, std::size_t at, std::uint16_t v, bool big = false) {
  s[at + (big ? 1 : 0)] = static_cast<char>(v & 0xFF);
  s[at + (big ? 0 : 1)] = static_cast<char>(v >> 8);
}
inline void Put32(std::string& s, std::size_t at, std::uint32_t v, bool big = false) {
  for (int k = 0; k < 4; ++k)
    s[at + static_cast<std::size_t>(big ? 3 - k : k)] = static_cast<char>(v >> (8 * k));
}
inline void Append16(std::string& s, std::uint16_t v, bool big = false) {
  s.append(2, '\0');
  Put16(s, s.size() - 2, v, big);
}

/// A string list: each entry's offset, text and terminator, then an offset 0.
inline std::string StringList(const std::vector<std::string>& strings, const File& f) {
  std::string out;
  for (const std::string& text : strings) {
    Append16(
        out,
        static_cast<std::uint16_t>(2 + text.size() + static_cast<std::size_t>(f.terminatorSize)),
        f.bigHeaders);
    out += text;
    for (int k = 0; k < f.terminatorSize; ++k) out.push_back(f.terminator[k]);
  }
  Append16(out, 0, f.bigHeaders);
  return out;
}

/// The bytes of the file; trace pointers and block sizes are computed unless
/// overridden. With bigHeaders every binary field is written MSB first and a
/// trace's id bytes are swapped.
inline std::string Build(const File& f) {
  const bool big = f.bigHeaders;
  const std::size_t n = f.traces.size();
  const std::uint16_t m = f.pointerBytes.value_or(static_cast<std::uint16_t>(4 * n));
  std::string out(32 + m, '\0');
  out[0] = static_cast<char>(f.msbFirst ? 0x3A : 0x55);
  out[1] = static_cast<char>(f.msbFirst ? 0x55 : 0x3A);
  Put16(out, 2, 1, big);
  Put16(out, 4, m, big);
  Put16(out, 6, static_cast<std::uint16_t>(f.traceCount.value_or(static_cast<std::int16_t>(n))),
        big);
  out[8] = static_cast<char>(f.terminatorSize);
  out[9] = f.terminator[0];
  out[10] = f.terminator[1];
  out[11] = 1;
  out[12] = '\n';
  out += StringList(f.strings, f);
  for (std::size_t j = 0; j < n; ++j) {
    const Trace& t = f.traces[j];
    if (32 + 4 * j + 4 <= 32u + m)
      Put32(out, 32 + 4 * j, static_cast<std::uint32_t>(out.size()), big);
    std::string block(32, '\0');
    block[0] = static_cast<char>(big ? t.id1 : t.id0);
    block[1] = static_cast<char>(big ? t.id0 : t.id1);
    block += StringList(t.strings, f);
    while (block.size() % 4 != 0) block.push_back('\0');
    Put16(
        block, 2,
        static_cast<std::uint16_t>(t.blockBytes.value_or(static_cast<std::int16_t>(block.size()))),
        big);
    Put32(block, 4, static_cast<std::uint32_t>(t.data.size()), big);
    Put32(block, 8, static_cast<std::uint32_t>(t.sampleCount), big);
    block[12] = static_cast<char>(t.format);
    out += block;
    out += t.data;
  }
  return out;
}

/// Sample blocks in either byte order.
inline std::string Int16s(const std::vector<std::int16_t>& v, bool msb) {
  std::string s;
  for (std::int16_t x : v) {
    const auto u = static_cast<std::uint16_t>(x);
    const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    s.push_back(msb ? hi : lo);
    s.push_back(msb ? lo : hi);
  }
  return s;
}
inline std::string Words32(const std::vector<std::uint32_t>& v, bool msb) {
  std::string s;
  for (std::uint32_t u : v)
    for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>(u >> (8 * (msb ? 3 - k : k))));
  return s;
}
inline std::string Int32s(const std::vector<std::int32_t>& v, bool msb) {
  std::vector<std::uint32_t> u(v.begin(), v.end());
  return Words32(u, msb);
}
inline std::string Floats(const std::vector<float>& v, bool msb) {
  std::vector<std::uint32_t> u;
  for (float x : v) {
    std::uint32_t b;
    std::memcpy(&b, &x, 4);
    u.push_back(b);
  }
  return Words32(u, msb);
}
/// One packed group: four exponents 0-15 and four mantissas.
inline std::string Packed20Group(const int (&e)[4], const std::int16_t (&m)[4]) {
  std::string s;
  s.push_back(static_cast<char>(e[0] | (e[1] << 4)));
  s.push_back(static_cast<char>(e[2] | (e[3] << 4)));
  for (std::int16_t x : m) Append16(s, static_cast<std::uint16_t>(x));
  return s;
}

}  // namespace seg2_fixtures
