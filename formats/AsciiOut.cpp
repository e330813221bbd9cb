// ASCII and CSV trace tables out.
#include "formats/AsciiOut.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>
#include <string_view>

#include "formats/AsciiIn.h"
#include "platform/FixedText.h"
#include "support/Allocation.h"
#include "support/FileIO.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr int kOptionsDialog = 152;
constexpr int kRadioFirst = 1261;  // 1261-1264: label styles 1-4
constexpr int kRadioNoLabels = 1264;
constexpr int kCheckTimes = 1265;
constexpr int kCheckPositions = 1266;
constexpr int kButtonOk = 1;

constexpr std::int32_t kNoLabels = 4;
constexpr std::string_view kTimesLabel = "        TIMES";
constexpr std::string_view kLineEnd = "\r\n";
/// Bytes gathered before they go to the file.
constexpr std::size_t kFlushBytes = 1 << 18;

/// The table's text on its way to the file: whole lines gathered in a buffer
/// and written in large pieces. A failed write is kept (sticky).
class TableFile {
 public:
  explicit TableFile(int handle) : handle_(handle) { text_.reserve(kFlushBytes + 64 * 1024); }
  std::string& Text() { return text_; }
  /// Ends the current line; writes the buffer out once it is large.
  void EndLine() {
    text_.append(kLineEnd);
    if (text_.size() >= kFlushBytes) Flush();
  }
  void Flush() {
    if (text_.empty()) return;
    if (ok_ && sup::IRITFIL(handle_, text_, static_cast<int>(text_.size())) != 0) ok_ = false;
    text_.clear();
  }
  bool Ok() const { return ok_; }

 private:
  int handle_;
  std::string text_;
  bool ok_ = true;
};

/// Writes one row of VALUES (the time first when there is one): at most 1000
/// on a line, blank- or comma-separated.
class RowWriter {
 public:
  RowWriter(TableFile& file, bool commas) : file_(file), commas_(commas) {}

  void Begin() { count_ = 0; }
  void Value(float v) {
    std::string& text = file_.Text();
    if (count_ > 0 && count_ % kAsciiValuesPerLine == 0) file_.EndLine();
    if (commas_ && count_ > 0) text.push_back(',');
    const std::size_t at = text.size();
    text.resize(at + kAsciiValueWidth);
    PutAsciiValue(text.data() + at, v);
    ++count_;
  }
  void End() { file_.EndLine(); }

 private:
  TableFile& file_;
  bool commas_;
  std::int64_t count_ = 0;
};

float ValueAt(const std::vector<float>& values, std::size_t i) {
  return i < values.size() ? values[i] : 0.0f;
}

/// The label row: blanks with "        TIMES" in front when times are
/// written and each trace's label where its values start below.
std::string LabelRow(std::int32_t traces, const AsciiExportOptions& o, bool commas) {
  const std::size_t step = kAsciiValueWidth + (commas ? 1 : 0);
  const std::size_t n = static_cast<std::size_t>(traces);
  std::size_t width = kAsciiValueWidth * n + (commas ? n + 1 : 0);
  std::size_t first = 0;
  if (o.LTIMES) {
    width += kAsciiValueWidth;
    first = step;
  }
  std::string row(width, ' ');
  if (o.LTIMES) row.replace(0, kTimesLabel.size(), kTimesLabel);
  for (std::int32_t j = 1; j <= traces; ++j) {
    const std::string label = AsciiTraceLabel(j, o.ILABEL);
    const std::size_t at = first + step * static_cast<std::size_t>(j - 1);
    row.replace(at, std::min(label.size(), width - at), label, 0,
                std::min(label.size(), width - at));
  }
  return row;
}

/// Writes the table of REC into FILE; false when a write failed.
bool WriteTable(const ShotRecord& REC, std::int32_t ITRACE, const AsciiExportOptions& o,
                bool commas, TableFile& file) {
  const bool single = ITRACE >= 1 && ITRACE <= REC.NTRACE;
  const std::int32_t traces = std::max(REC.NTRACE, 0);
  const std::size_t nsamp = static_cast<std::size_t>(std::max(REC.NSAMP, 0));
  if (single) {
    RowWriter row(file, false);
    const std::span<const float> trace = Trace(REC, ITRACE);
    float t = REC.TDELAY;
    for (std::size_t i = 0; i < nsamp; ++i) {
      t += REC.SAMPINT;
      row.Begin();
      row.Value(t);
      row.Value(i < trace.size() ? trace[i] : 0.0f);
      row.End();
    }
    file.Flush();
    return file.Ok();
  }

  if (o.ILABEL != kNoLabels) {
    file.Text().append(LabelRow(traces, o, commas));
    file.EndLine();
  }
  RowWriter row(file, commas);
  if (o.LPOSITS) {
    row.Begin();
    if (o.LTIMES) row.Value(REC.TDELAY);
    for (std::int32_t j = 0; j < traces; ++j)
      row.Value(ValueAt(REC.GEOLOC, static_cast<std::size_t>(j)));
    row.End();
  }
  const bool whole = REC.TRACES.size() >= nsamp * static_cast<std::size_t>(traces);
  float t = REC.TDELAY;
  for (std::size_t i = 0; i < nsamp && file.Ok(); ++i) {
    t += REC.SAMPINT;
    row.Begin();
    if (o.LTIMES) row.Value(t);
    const float* sample = REC.TRACES.data() + i;
    for (std::int32_t j = 0; j < traces; ++j, sample += nsamp) row.Value(whole ? *sample : 0.0f);
    row.End();
  }
  file.Flush();
  return file.Ok();
}

}  // namespace

char* PutAsciiValue(char* out, float VALUE) {
  if (!std::isfinite(VALUE)) {
    const std::string field = tk::FormatRealField(VALUE, "(1PE13.5)");
    std::memset(out, '*', kAsciiValueWidth);
    std::memcpy(out, field.data(), std::min<std::size_t>(field.size(), kAsciiValueWidth));
    return out + kAsciiValueWidth;
  }
  // "d.dddddE+dd": a float's decimal exponent always has two digits.
  char digits[24];
  const auto res =
      std::to_chars(digits, digits + sizeof digits, VALUE, std::chars_format::scientific, 5);
  const std::size_t n = static_cast<std::size_t>(res.ptr - digits);
  for (std::size_t i = 0; i < n; ++i)
    if (digits[i] == 'e') digits[i] = 'E';
  const std::size_t pad = kAsciiValueWidth - n;
  std::memset(out, ' ', pad);
  std::memcpy(out + pad, digits, n);
  return out + kAsciiValueWidth;
}

std::string AsciiTraceLabel(std::int32_t J, std::int32_t ILABEL) {
  char number[16];
  const auto res = std::to_chars(number, number + sizeof number, J);
  const std::string_view digits(number, static_cast<std::size_t>(res.ptr - number));
  const std::size_t blanks = digits.size() < 5 ? 5 - digits.size() : 0;
  switch (ILABEL) {
    case 1:
      return "TRACE" + std::string(digits);
    case 2:
      return "TRACE" + std::string(blanks, '0') + std::string(digits);
    case 3: {
      std::string label = "TRACE" + std::string((blanks + 1) / 2, ' ') + std::string(digits);
      if (label.size() < 10) label.resize(10, ' ');
      return label;
    }
    default:
      return "TRACE" + std::string(blanks, ' ') + std::string(digits);
  }
}

void ASCIIOUTPUTDLG(AsciiExportOptions& OPTIONS, int& IERR) {
  IERR = -1;
  tk::WDialogLoad(kOptionsDialog);
  if (tk::WDialogStatusQuery(3) != kOptionsDialog) return;  // the toolkit has reported it
  const std::int32_t style = OPTIONS.ILABEL >= 1 && OPTIONS.ILABEL <= 3 ? OPTIONS.ILABEL : 4;
  tk::WDialogPutRadioButton(kRadioFirst + style - 1);
  sup::WDIALOGPUTCHECKBOXL(kCheckTimes, OPTIONS.LTIMES);
  sup::WDIALOGPUTCHECKBOXL(kCheckPositions, OPTIONS.LPOSITS);
  tk::WDialogShow(-1, -1, 0, tk::kShowModal);
  if (tk::WDialogStatusQuery(1) != kButtonOk) return;
  std::int32_t position = 0;
  tk::WDialogGetRadioButton(kRadioFirst, position);
  if (position >= 1 && position <= kRadioNoLabels - kRadioFirst + 1) OPTIONS.ILABEL = position;
  sup::WDIALOGGETCHECKBOXL(kCheckTimes, OPTIONS.LTIMES);
  sup::WDIALOGGETCHECKBOXL(kCheckPositions, OPTIONS.LPOSITS);
  IERR = 0;
}

void ASCIIOUT(const ShotRecord& REC, std::int32_t ITRACE, std::string& FNAME, int& IERR,
              AsciiExportOptions& OPTIONS) {
  IERR = -1;
  if (REC.NTRACE > kAsciiMaxTraces) {
    sup::WINMSG("ASCIII file output limited to 1000 traces.");
    return;
  }
  IERR = 0;
  const bool single = ITRACE >= 1 && ITRACE <= REC.NTRACE;
  std::string name(plat::TrimRight(FNAME));
  if (name.empty()) {
    // Propose the record name up to its first "." (kept when it leads).
    std::string proposal(REC.CRECNAME.Trimmed());
    if (const std::size_t dot = proposal.find('.'); dot != std::string::npos && dot > 0)
      proposal.resize(dot);
    proposal.resize(256, ' ');
    int filterIndex = IASCTYPE();
    tk::WSelectFile(
        kAsciiFileFilter,
        tk::kSelectSave | tk::kSelectConfirm | tk::kSelectKeepFolder | tk::kSelectDefaultExtension,
        proposal, kAsciiFileTitle, &filterIndex);
    if (tk::WDialogStatusQuery(4) != 1) return;
    if (filterIndex >= 1 && filterIndex <= 3) IASCTYPE() = filterIndex;
    name = plat::TrimRight(proposal);
    if (name.empty()) return;
    FNAME = name;
    if (!single) {
      ASCIIOUTPUTDLG(OPTIONS, IERR);
      if (IERR != 0) return;
    }
  }

  IERR = -1;
  const int ih = sup::MAKEFIL(name);
  if (ih < 0) {
    sup::WINMSG("CANNOT OPEN FILE: " + name);
    return;
  }
  bool ok = false;
  if (!sup::TryAllocation([&] {
        TableFile file(ih);
        ok = WriteTable(REC, ITRACE, OPTIONS, IASCTYPE() != 1, file);
      })) {
    sup::ABANDONFIL(ih);
    sup::WINMSG("Cannot allocate label field in ASCIOUT");
    return;
  }
  if (!ok) {
    // What failed, then why; the old file stays as it was.
    sup::WINMSG("Error writing to file " + name);
    sup::ABANDONFIL(ih);
    return;
  }
  if (sup::ICLSFIL(ih) != 0) {
    sup::WINMSG("Error writing to file " + name);
    return;
  }
  IERR = 0;
}

}  // namespace vel
