#pragma once
// Decoders of raster printer streams that rebuild the printed bitmap: PCL
// raster rows (methods 0, 1 and 2, planes), ESC/P2 rows (run-length, colour
// selection, ESC ( v advances) and ESC/P 8/24-pin and IBM X24 bands (two
// interleaved passes). A bitmap holds one plane per colour, rows from the
// top of the paper.
#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tk::testing {

struct PrintedBitmap {
  // plane -> row -> set of inked x (as a row of bools)
  std::map<int, std::map<int, std::vector<bool>>> planes;
  std::string error;  // first fault met while decoding
  void Set(int plane, int x, int y) {
    auto& row = planes[plane][y];
    if (static_cast<int>(row.size()) <= x) row.resize(static_cast<std::size_t>(x) + 1);
    row[static_cast<std::size_t>(x)] = true;
  }
  bool Get(int plane, int x, int y) const {
    const auto p = planes.find(plane);
    if (p == planes.end()) return false;
    const auto r = p->second.find(y);
    if (r == p->second.end()) return false;
    return x < static_cast<int>(r->second.size()) && r->second[static_cast<std::size_t>(x)];
  }
};

/// The plane a colour selection ESC r [n] prints in: 10 + n; 0 before any.
inline int ColourKey(int colour) { return colour < 0 ? 0 : 10 + colour; }

inline std::string UnPackBits(const std::string& in) {
  std::string out;
  for (std::size_t i = 0; i < in.size();) {
    const int c = static_cast<std::int8_t>(in[i++]);
    if (c >= 0) {
      out.append(in.substr(i, static_cast<std::size_t>(c) + 1));
      i += static_cast<std::size_t>(c) + 1;
    } else if (c != -128 && i < in.size()) {
      out.append(static_cast<std::size_t>(1 - c), in[i++]);
    }
  }
  return out;
}

inline std::string UnRunLength(const std::string& in) {
  std::string out;
  for (std::size_t i = 0; i + 1 < in.size(); i += 2)
    out.append(static_cast<std::size_t>(static_cast<std::uint8_t>(in[i])) + 1, in[i + 1]);
  return out;
}

/// PCL: plane p of a row is its p-th transfer; bits at or beyond WIDTH (the
/// filling of a last, partial byte) are not pixels.
inline PrintedBitmap DecodePcl(const std::string& s, int width) {
  PrintedBitmap bm;
  int method = 0, y = 0, plane = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] != '\x1b') {
      bm.error = "stray byte at " + std::to_string(i);
      return bm;
    }
    if (i + 1 < s.size() && s[i + 1] == 'E') {
      i += 2;
      continue;
    }
    // ESC group char, then parameters: number + letter, repeated while lower case.
    if (i + 2 >= s.size()) break;
    const char group = s[i + 1], kind = s[i + 2];
    i += 3;
    for (;;) {
      std::size_t j = i;
      if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
      while (j < s.size() && (std::isdigit(static_cast<unsigned char>(s[j])) || s[j] == '.')) ++j;
      if (j >= s.size()) return bm;
      const long value = j > i ? std::stol(s.substr(i, j - i)) : 0;
      const char letter = s[j];
      i = j + 1;
      if (group == '*' && kind == 'b' && (letter == 'W' || letter == 'V')) {
        const std::string data = s.substr(i, static_cast<std::size_t>(value));
        i += static_cast<std::size_t>(value);
        const std::string row = method == 0 ? data : method == 1 ? UnRunLength(data) : UnPackBits(data);
        for (std::size_t k = 0; k < row.size(); ++k)
          for (int e = 0; e < 8; ++e)
            if ((static_cast<std::uint8_t>(row[k]) & (0x80 >> e)) && static_cast<int>(8 * k) + e < width)
              bm.Set(plane, static_cast<int>(8 * k) + e, y);
        if (letter == 'W') {
          plane = 0;
          ++y;
        } else {
          ++plane;
        }
      } else if (group == '*' && kind == 'b' && letter == 'M') {
        method = static_cast<int>(value);
      }
      if (!std::islower(static_cast<unsigned char>(letter))) break;
    }
  }
  return bm;
}

/// ESC/P2: colour selections (ESC r n, see ColourKey), rows after the x
/// position and ESC . (compression, dot count), advances by ESC ( v.
inline PrintedBitmap DecodeEscP2(const std::string& s) {
  PrintedBitmap bm;
  int y = 0, colour = -1;
  for (std::size_t i = 0; i < s.size();) {
    const auto u8 = [&s](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
    if (s[i] == '\r' || s[i] == '\f') {
      ++i;
      continue;
    }
    if (s[i] != '\x1b' || i + 1 >= s.size()) {
      bm.error = "stray byte at " + std::to_string(i);
      return bm;
    }
    const char c = s[i + 1];
    if (c == '@') {
      i += 2;
    } else if (c == '(') {
      const char cmd = s[i + 2];
      const int len = u8(i + 3) + 256 * u8(i + 4);
      if (cmd == 'v') y += u8(i + 5) + 256 * u8(i + 6);
      i += 5 + static_cast<std::size_t>(len);
    } else if (c == 'r') {
      colour = u8(i + 2);
      i += 3;
    } else if (c == '\\') {
      i += 4;
    } else if (c == '.') {
      const int cm = u8(i + 2);
      const int dots = u8(i + 6) + 256 * u8(i + 7);
      const int bytes = (dots + 7) / 8;
      i += 8;
      std::string row;
      if (cm == 0) {
        row = s.substr(i, static_cast<std::size_t>(bytes));
        i += static_cast<std::size_t>(bytes);
      } else {
        while (static_cast<int>(row.size()) < bytes && i < s.size()) {
          const int n = static_cast<std::int8_t>(s[i++]);
          if (n >= 0) {
            row += s.substr(i, static_cast<std::size_t>(n) + 1);
            i += static_cast<std::size_t>(n) + 1;
          } else {
            row.append(static_cast<std::size_t>(1 - n), s[i++]);
          }
        }
      }
      const int plane = ColourKey(colour);
      for (std::size_t k = 0; k < row.size(); ++k)
        for (int e = 0; e < 8; ++e)
          if (static_cast<std::uint8_t>(row[k]) & (0x80 >> e)) bm.Set(plane, static_cast<int>(8 * k) + e, y);
    } else {
      bm.error = "unknown escape at " + std::to_string(i);
      return bm;
    }
  }
  return bm;
}

/// ESC/P and IBM X24 bands: ESC 3 n sets the line step, LF advances by it
/// (in 1/216 inch, counted as rows of ROW_STEP), graphics commands carry
/// column bytes (BYTES_PER_COLUMN each) after LEAD blank bytes.
inline PrintedBitmap DecodeEscP(const std::string& s, int bytesPerColumn, int lead, int passes,
                                int lineStep) {
  PrintedBitmap bm;
  int pass = 0, band = 0, colour = -1;
  int step = lineStep;
  const int pins = 8 * bytesPerColumn;
  for (std::size_t i = 0; i < s.size();) {
    const auto u8 = [&s](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
    if (s[i] == '\r' || s[i] == '\f') {
      ++i;
      continue;
    }
    if (s[i] == '\n') {
      // Two passes: ESC 3 [1] moves one row; the other step ends the band.
      if (passes == 2) {
        if (step == 1) {
          pass = 1;
        } else {
          pass = 0;
          ++band;
        }
      } else {
        ++band;
      }
      ++i;
      continue;
    }
    if (s[i] != '\x1b' || i + 1 >= s.size()) {
      bm.error = "stray byte at " + std::to_string(i);
      return bm;
    }
    const char c = s[i + 1];
    std::size_t count = 0;
    bool graphics = false, bytesCounted = false;
    if (c == 'U' || c == 'J' || c == 'r') {
      if (c == 'r') colour = u8(i + 2);
      i += 3;
    } else if (c == '3') {
      step = u8(i + 2);
      i += 3;
    } else if (c == '2') {
      i += 2;
    } else if (c == 'K' || c == 'L' || c == 'Z') {
      count = u8(i + 2) + 256u * u8(i + 3);
      i += 4;
      graphics = true;
    } else if (c == '*') {
      count = u8(i + 3) + 256u * u8(i + 4);
      i += 5;
      graphics = true;
    } else if (c == '[') {
      bytesCounted = true;  // bytes plus one
      count = u8(i + 3) + 256u * u8(i + 4) - 1;
      i += 6;
      graphics = true;
    } else {
      bm.error = "unknown escape at " + std::to_string(i);
      return bm;
    }
    if (!graphics) continue;
    const std::size_t bytes = bytesCounted ? count : count * static_cast<std::size_t>(bytesPerColumn);
    const std::string data = s.substr(i, bytes);
    i += bytes;
    const int plane = ColourKey(colour);
    for (std::size_t k = static_cast<std::size_t>(lead); k < data.size(); ++k) {
      const int x = static_cast<int>((k - static_cast<std::size_t>(lead)) / static_cast<std::size_t>(bytesPerColumn));
      const int byteInColumn = static_cast<int>((k - static_cast<std::size_t>(lead)) % static_cast<std::size_t>(bytesPerColumn));
      for (int e = 0; e < 8; ++e)
        if (static_cast<std::uint8_t>(data[k]) & (0x80 >> e))
          bm.Set(plane, x, band * pins * passes + pass + passes * (8 * byteInColumn + e));
    }
  }
  return bm;
}

}  // namespace tk::testing
