#include "instruments/DolangIn.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "instruments/ReaderKit.h"
#include "platform/FixedText.h"
#include "support/FieldReader.h"
#include "support/FileIO.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Files.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

/// Lines of a text, one at a time: a line ends at LF, a CR before it is
/// dropped, and a last line without LF still counts.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : text_(text) {}
  [[nodiscard]] bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    const std::size_t next = end == std::string_view::npos ? text_.size() : end + 1;
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = next;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

[[nodiscard]] bool IntLine(std::string_view line, std::int32_t& v) {
  return sup::ReadIntField(sup::FieldAt(line, 0, dolang::kIntWidth), v);
}

/// A real in the first 20 characters, no implied decimals, that fits a float.
[[nodiscard]] bool RealLine(std::string_view line, float& v) {
  double d = 0.0;
  if (!sup::ReadRealField(sup::FieldAt(line, 0, dolang::kRealWidth), 0, d)) return false;
  if (!(std::fabs(d) <= std::numeric_limits<float>::max())) return false;
  v = static_cast<float>(d);
  return true;
}


/// NAME as the messages show it: blank-padded to 25 characters.
std::string MessageName(std::string_view name) {
  std::string s(name);
  if (s.size() < dolang::kMessageNameChars) s.resize(dolang::kMessageNameChars, ' ');
  return s;
}

std::string OpenMessage(std::string_view name) {
  return "CANNOT OPEN FILE " + MessageName(name);
}

std::string ReadMessage(std::string_view name, std::int32_t line) {
  return "CANNOT READ FILE " + MessageName(name) + ";AT LINE " +
         tk::FormatIntegerField(line, "(I5)");
}

/// Size in bytes of the file NAME, or -1 when it does not open.
std::int64_t FileBytes(std::string_view name) {
  const int handle = sup::IOPNRLY(name);
  if (handle < 0) return -1;
  int size = 0;
  tk::IFileSeek(handle, size, tk::kFromEnd);
  sup::ICLSFIL(handle);
  return size;
}

/// Reads the whole text file NAME; false with the message shown and IERR -1.
[[nodiscard]] bool ReadText(std::string_view name, std::vector<std::byte>& bytes, int& IERR) {
  bool opened = false;
  if (instrument::ReadWholeFile(name, bytes, opened)) return true;
  instrument::ReadFail(IERR, opened ? ReadMessage(name, 1) : OpenMessage(name));
  return false;
}

std::string_view AsText(const std::vector<std::byte>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

DolangHeaderStatus DecodeDolangHeader(std::string_view text,
                                      const std::function<std::int64_t()>& firstDataBytes,
                                      DolangHeader& out, std::int32_t& line) {
  using dolang::kIntWidth;
  LineCursor lines(text);
  std::string_view l;
  line = 0;
  out = DolangHeader{};
  for (line = 1; line <= dolang::kHeaderLines; ++line) {
    if (!lines.Next(l)) return DolangHeaderStatus::BadLine;
    bool ok = true;
    float real = 0.0f;
    std::int32_t unused = 0;
    switch (line) {
      case dolang::kTraceCountLine:
        ok = IntLine(l, out.ntrace) && out.ntrace >= 1 && out.ntrace <= dolang::kMaxTraces;
        break;
      case dolang::kShotLine:
        ok = IntLine(l, out.ishot);
        break;
      case 7:
        ok = IntLine(l, unused);
        break;
      case dolang::kRecordLengthLine:
        ok = RealLine(l, real) && tk::NearestIntChecked(real, out.recordLength);
        break;
      case dolang::kSampleCountLine: {
        ok = IntLine(l, out.nsamp) && out.nsamp >= 1;
        if (!ok) break;
        const std::int64_t bytes = firstDataBytes ? firstDataBytes() : -1;
        if (bytes < 0) return DolangHeaderStatus::NoDataFile;
        // Every sample takes a line of at least one byte: a count beyond the
        // first data file fails there, before anything is allocated.
        if (out.nsamp > bytes) return DolangHeaderStatus::ShortDataFile;
        break;
      }
      case 10:
        ok = RealLine(l, real);
        break;
      case dolang::kSpacingLine:
        ok = RealLine(l, out.spacing);
        break;
      default:  // text lines
        break;
    }
    if (!ok) return DolangHeaderStatus::BadLine;
  }
  line = dolang::kHeaderLines;
  return DolangHeaderStatus::Ok;
}

bool DecodeDolangTrace(std::string_view text, std::span<float> trace, std::int32_t& line) {
  LineCursor lines(text);
  std::string_view l;
  line = 0;
  for (float& sample : trace) {
    ++line;
    if (!lines.Next(l) || !RealLine(l, sample)) return false;
  }
  return true;
}

namespace {

// The folder of HEADER and the first 25 characters of its own name.
std::pair<std::string_view, std::string_view> DolangNameParts(std::string_view header) {
  const std::string_view name = plat::TrimRight(header);
  const auto slash = name.find_last_of("/\\");
  const std::size_t own = slash == std::string_view::npos ? 0 : slash + 1;
  std::string_view bare = name.substr(own);
  bare = plat::TrimRight(bare.substr(0, std::min<std::size_t>(bare.size(), dolang::kNameChars)));
  return {name.substr(0, own), bare};
}

}  // namespace

std::string DolangHeaderFileName(std::string_view header) {
  const auto [folder, bare] = DolangNameParts(header);
  return std::string(folder) + std::string(bare);
}

bool DolangDataFileName(std::string_view header, std::int32_t J, std::string& out) {
  if (J < 1 || J > dolang::kMaxTraces) return false;
  const auto [folder, bare] = DolangNameParts(header);
  const char digits[2] = {static_cast<char>('0' + J / 10), static_cast<char>('0' + J % 10)};
  std::string own(bare);
  for (std::size_t at = own.find("DT"); at != std::string::npos; at = own.find("DT", at + 2))
    own.replace(at, 2, digits, 2);
  out = std::string(folder) + own;
  return true;
}

void DOLANGIN(ShotRecord& REC, std::string_view FNAME, int& IERR) {
  IERR = 0;
  REC.TDELAY = 0.0f;
  const std::string name = DolangHeaderFileName(FNAME);
  std::string dataName;
  if (!DolangDataFileName(name, 1, dataName)) return instrument::ReadFail(IERR, OpenMessage(name));

  std::vector<std::byte> bytes;
  if (!ReadText(name, bytes, IERR)) return;
  DolangHeader h;
  std::int32_t line = 0;
  const DolangHeaderStatus status = DecodeDolangHeader(
      AsText(bytes), [&] { return FileBytes(dataName); }, h, line);
  if (status == DolangHeaderStatus::NoDataFile)
    return instrument::ReadFail(IERR, OpenMessage(dataName));
  if (status == DolangHeaderStatus::ShortDataFile) {
    // Reported as reading trace 1 would: at the first line its data file
    // lacks.
    if (!ReadText(dataName, bytes, IERR)) return;
    std::vector<float> probe(bytes.size() + 1);
    (void)DecodeDolangTrace(AsText(bytes), probe, line);
    return instrument::ReadFail(IERR, ReadMessage(dataName, line));
  }
  if (status != DolangHeaderStatus::Ok) return instrument::ReadFail(IERR, ReadMessage(name, line));

  REC.NTRACE = h.ntrace;
  REC.ISHOT = h.ishot;
  REC.NSAMP = h.nsamp;
  REC.SAMPINT = static_cast<float>(h.recordLength) / static_cast<float>(h.nsamp);

  IERR = sup::LKILL(1) ? -1 : 0;
  ALLOCTRACEARRAYS(REC, IERR);
  if (IERR != 0) return instrument::ReadFail(IERR, {});

  std::fill(REC.ISRCSTN.begin(), REC.ISRCSTN.end(), REC.ISHOT);
  std::fill(REC.IRCVSTN.begin(), REC.IRCVSTN.end(), REC.ISHOT);
  std::fill(REC.SHOTLOCX.begin(), REC.SHOTLOCX.end(), REC.SHOTX);
  if (h.spacing > 0.0f) {
    // Summed trace by trace in single precision: s, s + s, ...
    float x = 0.0f;
    for (float& g : REC.GEOLOC) g = (x += h.spacing);
  }
  for (std::size_t j = 0; j < REC.GOFF.size(); ++j) REC.GOFF[j] = REC.GEOLOC[j] - REC.SHOTX;

  StartTraceStatistics(REC);
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    if (!DolangDataFileName(name, j, dataName))
      return instrument::ReadFail(IERR, OpenMessage(name));
    if (!ReadText(dataName, bytes, IERR)) return;
    if (!DecodeDolangTrace(AsText(bytes), Trace(REC, j), line))
      return instrument::ReadFail(IERR, ReadMessage(dataName, line));
    TraceStatistics(REC, j);
    if (sup::LKILL(0)) return instrument::ReadFail(IERR, {});
  }
}

}  // namespace vel
