#include "formats/GeometryFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "support/FieldReader.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"

namespace vel {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFieldFormat = "(F10.2)";
constexpr std::size_t kReadChunk = std::size_t{1} << 16;

std::size_t Receivers(const GeometrySpans& g, std::size_t n) {
  return std::min({n, g.easting.size(), g.northing.size(), g.elevation.size()});
}

/// One F10.2 field; empty when the value does not fit it.
std::string Field(float value) {
  if (!std::isfinite(value)) return {};
  std::string text = tk::FormatRealField(value, kFieldFormat);
  if (text.size() != kGeometryFieldChars || text.find('*') != std::string::npos) return {};
  return text;
}

bool ReadField(std::string_view line, std::size_t index, float& value) {
  double v = 0.0;
  if (!sup::ReadRealField(sup::FieldAt(line, index * kGeometryFieldChars, kGeometryFieldChars), 2,
                          v))
    return false;
  // A number beyond a float's range would enter the record as infinite.
  if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return false;
  value = static_cast<float>(v);
  return true;
}

/// Collects the lines of a text given in pieces, keeping the first 30
/// columns of each; HANDLE gets each line and returns false to stop.
class LineCollector {
 public:
  template <typename Handle>
  bool Feed(std::string_view piece, Handle&& handle) {
    for (const char c : piece) {
      if (c == '\n') {
        if (!Finish(handle)) return false;
        continue;
      }
      ++length_;
      if (kept_.size() <= kGeometryLineChars) kept_.push_back(c);
    }
    return true;
  }
  /// The last line when the text does not end with a line end.
  template <typename Handle>
  void End(Handle&& handle) {
    if (length_ > 0) Finish(handle);
  }

 private:
  template <typename Handle>
  bool Finish(Handle&& handle) {
    // A CR just before the LF ends the line; one beyond column 30 is cut
    // off with the rest of the line anyway.
    if (length_ == kept_.size() && !kept_.empty() && kept_.back() == '\r') kept_.pop_back();
    const std::string_view line = std::string_view(kept_).substr(0, kGeometryLineChars);
    const bool go_on = handle(line);
    kept_.clear();
    length_ = 0;
    return go_on;
  }

  std::string kept_;
  std::size_t length_ = 0;
};

/// Hands each line to the receivers in turn; false once reading stops.
struct ReceiverFiller {
  const GeometrySpans& g;
  std::size_t n;
  std::size_t read = 0;
  bool operator()(std::string_view line) {
    if (read >= n) return false;
    if (!ReadGeometryLine(line, g.easting[read], g.elevation[read], g.northing[read])) return false;
    ++read;
    return read < n;
  }
};

}  // namespace

bool GeometryFileText(const GeometrySpans& g, std::size_t n, std::string& text,
                      std::size_t& badTrace) {
  n = Receivers(g, n);
  text.clear();
  text.reserve(n * (kGeometryLineChars + 2));
  for (std::size_t j = 0; j < n; ++j) {
    const std::string e = Field(g.easting[j]);
    const std::string z = Field(g.elevation[j]);
    const std::string y = Field(g.northing[j]);
    if (e.empty() || z.empty() || y.empty()) {
      badTrace = j + 1;
      text.clear();
      return false;
    }
    text += e;
    text += z;
    text += y;
    text += "\r\n";
  }
  return true;
}

bool ReadGeometryLine(std::string_view line, float& easting, float& elevation, float& northing) {
  std::array<float, 3> v{};
  for (std::size_t i = 0; i < v.size(); ++i)
    if (!ReadField(line, i, v[i])) return false;
  easting = v[0];
  elevation = v[1];
  northing = v[2];
  return true;
}

std::size_t ReadGeometryText(std::string_view text, const GeometrySpans& g, std::size_t n) {
  ReceiverFiller fill{g, Receivers(g, n)};
  if (fill.n == 0) return 0;
  LineCollector lines;
  if (lines.Feed(text, fill)) lines.End(fill);
  return fill.read;
}

bool ReadGeometryFile(std::string_view NAME, const GeometrySpans& g, std::size_t n) {
  const std::string name(plat::TrimRight(NAME));
  std::error_code ec;
  const bool exists = fs::exists(fs::path(name), ec);
  int handle = -1;
  const int error =
      plat::FileOpen(name, exists ? plat::FileAccess::Read : plat::FileAccess::WriteCreate, handle);
  if (error != 0) {
    sup::WINMSG("CANNOT OPEN FILE: " + name + " " + plat::SystemErrorText(error));
    return false;
  }
  ReceiverFiller fill{g, Receivers(g, n)};
  LineCollector lines;
  std::string chunk(kReadChunk, '\0');
  int readError = 0;
  bool going = fill.n > 0 && exists;
  while (going) {
    std::size_t moved = 0;
    readError = plat::FileRead(handle, chunk.data(), chunk.size(), moved);
    if (readError != 0) break;
    if (moved == 0) {
      lines.End(fill);
      break;
    }
    going = lines.Feed(std::string_view(chunk).substr(0, moved), fill);
  }
  plat::FileClose(handle);
  if (readError != 0) {
    sup::WINMSG("CANNOT READ FILE " + name + ";AT LINE " + std::to_string(fill.read + 1) + " " +
                plat::SystemErrorText(readError));
    return false;
  }
  return true;
}

bool WriteGeometryFile(std::string_view NAME, const GeometrySpans& g, std::size_t n) {
  const std::string name(plat::TrimRight(NAME));
  std::string text;
  std::size_t bad = 0;
  if (!GeometryFileText(g, n, text, bad)) {
    sup::WINMSG("GEOMETRY OF TRACE " + std::to_string(bad) +
                " DOES NOT FIT THE FILE'S 10 COLUMNS. " + name + " NOT SAVED");
    return false;
  }
  const plat::ReplaceResult r = plat::ReplaceFileContents(name, text.data(), text.size());
  if (r.error != 0) {
    sup::WINMSG("CANNOT SAVE FILE: " + name + " " + plat::SystemErrorText(r.error) +
                ". The old file is kept.");
    return false;
  }
  return true;
}

}  // namespace vel
