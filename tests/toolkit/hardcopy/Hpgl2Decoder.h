#pragma once
// A small reader of the HP-GL/2 files the printer driver writes, for the
// tests: the PCL framing with its page ejects and copy counts, the pens
// defined and selected, and the pen paths with their polyline-encoded parts
// decoded back into plotter points.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tk::testing {

struct PlotterPoint {
  std::int64_t x = 0, y = 0;
  friend bool operator==(const PlotterPoint&, const PlotterPoint&) = default;
};

struct Hpgl2File {
  bool entersHpgl2 = false;         // starts with ESC %0B
  bool returnsToPcl = false;        // ends with ESC %0A
  bool escapes = false;             // any ESC at all
  int pages = 0;                    // page ejects (or "PG" records)
  std::vector<std::string> copies;  // the text between ESC &l and X of each eject
  /// Polylines written polyline-encoded: the pen-up point before them, then
  /// every decoded point, one per run of "PE7" records.
  std::vector<std::vector<PlotterPoint>> encoded;
  std::vector<int> pensDefined;   // "PC" in order
  std::vector<int> pensSelected;  // "SP" in order
  std::vector<std::string> problems;
};

namespace detail {

inline bool NumberAt(const std::string& s, std::size_t& at, std::int64_t& value) {
  while (at < s.size() && (s[at] == ' ' || s[at] == ',')) ++at;
  const std::size_t start = at;
  if (at < s.size() && (s[at] == '-' || s[at] == '+')) ++at;
  while (at < s.size() && s[at] >= '0' && s[at] <= '9') ++at;
  if (at == start || (at == start + 1 && (s[start] == '-' || s[start] == '+'))) return false;
  value = std::stoll(s.substr(start, at - start));
  return true;
}

// Decodes the base-32 values of a "PE7" body (up to its ";") as relative
// moves from FROM, appending the points to PATH.
inline bool DecodeEncoded(const std::string& body, PlotterPoint& from,
                          std::vector<PlotterPoint>& path) {
  std::vector<std::int64_t> values;
  std::int64_t v = 0, scale = 1;
  std::size_t i = 0;
  for (; i < body.size() && body[i] != ';'; ++i) {
    const int c = static_cast<unsigned char>(body[i]);
    if (c >= 63 && c <= 94) {
      v += (c - 63) * scale;
      scale *= 32;
    } else if (c >= 95 && c <= 126) {
      v += (c - 95) * scale;
      values.push_back(v % 2 == 0 ? v / 2 : -(v - 1) / 2);
      v = 0;
      scale = 1;
    } else {
      return false;
    }
  }
  if (i >= body.size() || scale != 1 || values.size() % 2 != 0) return false;
  for (std::size_t k = 0; k < values.size(); k += 2) {
    from.x += values[k];
    from.y += values[k + 1];
    path.push_back(from);
  }
  return true;
}

}  // namespace detail

/// Reads BYTES as the HP-GL/2 driver writes them: one record per CR LF line,
/// escape sequences as records of their own.
inline Hpgl2File DecodeHpgl2(const std::string& bytes) {
  Hpgl2File f;
  f.escapes = bytes.find('\x1b') != std::string::npos;
  f.entersHpgl2 = bytes.rfind("\x1b%0B\r\n", 0) == 0;
  f.returnsToPcl = bytes.size() >= 6 && bytes.compare(bytes.size() - 6, 6, "\x1b%0A\r\n") == 0;
  PlotterPoint at;
  bool inEncoded = false;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos) end = bytes.size();
    std::string r = bytes.substr(pos, end - pos);
    pos = end + 2;
    if (!r.empty() && r[0] == ' ') r.erase(0, 1);  // the lead-in blank
    const bool encoded = r.rfind("PE7", 0) == 0;
    if (r.rfind("\x1b%1A\x1b&l", 0) == 0) {
      const std::size_t x = r.find('X');
      if (x == std::string::npos || r.substr(x) != "X\f\x1b%0B") {
        f.problems.push_back("malformed page eject");
        continue;
      }
      f.copies.push_back(r.substr(7, x - 7));
      ++f.pages;
      continue;
    }
    if (r == "PG") ++f.pages;
    if (encoded) {
      if (!inEncoded) f.encoded.push_back({at});
      inEncoded = true;
      if (!detail::DecodeEncoded(r.substr(3), at, f.encoded.back()))
        f.problems.push_back("undecodable " + r);
      continue;
    }
    if (r.rfind("CO", 0) == 0) continue;
    inEncoded = false;
    std::size_t i = 0;
    std::int64_t a = 0, b = 0;
    // Several instructions may share a record, separated by ";".
    while (i + 1 < r.size()) {
      const std::string m = r.substr(i, 2);
      i += 2;
      if (m == "PU" || m == "PD" || m == "PA") {
        std::size_t k = i;
        if (detail::NumberAt(r, k, a) && detail::NumberAt(r, k, b)) at = {a, b}, i = k;
      } else if (m == "PC") {
        std::size_t k = i;
        if (detail::NumberAt(r, k, a)) f.pensDefined.push_back(static_cast<int>(a));
      } else if (m == "SP") {
        std::size_t k = i;
        if (detail::NumberAt(r, k, a))
          f.pensSelected.push_back(static_cast<int>(a));
        else
          f.pensSelected.push_back(0);
      }
      const std::size_t next = r.find(';', i);
      if (next == std::string::npos) break;
      i = next + 1;
    }
  }
  return f;
}

/// The problems of F as a colour device's (every pen defined with "PC"
/// before "SP" selects it) or a monochrome device's file (only pens 0 and 1,
/// none defined). Pen definitions and selections are read in file order.
inline std::vector<std::string> PenProblems(const std::string& bytes, bool colour) {
  std::vector<std::string> problems;
  std::vector<bool> defined(256, false);
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos) end = bytes.size();
    const std::string r = bytes.substr(pos, end - pos);
    pos = end + 2;
    if (r.find("CO") != std::string::npos && r.find("CO") <= 1) continue;
    const Hpgl2File one = DecodeHpgl2(r + "\r\n");
    for (int pen : one.pensDefined) {
      if (!colour) problems.push_back("pen defined on a monochrome device: " + r);
      if (pen >= 0 && pen < 256) defined[static_cast<std::size_t>(pen)] = true;
    }
    for (int pen : one.pensSelected) {
      if (r.rfind("SP0 ;", 0) == 0 || r.rfind("PU;SP0 ;", 0) == 0) continue;
      if (!colour && pen != 0 && pen != 1) problems.push_back("pen " + std::to_string(pen));
      if (colour && (pen < 0 || pen > 255 || !defined[static_cast<std::size_t>(pen)]))
        problems.push_back("pen selected before it is defined: " + r);
    }
  }
  return problems;
}

}  // namespace tk::testing
