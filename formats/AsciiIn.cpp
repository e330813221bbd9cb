// ASCII and CSV trace tables in.
#include "formats/AsciiIn.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "formats/RecordRange.h"
#include "formats/Seg2Strings.h"
#include "platform/FixedText.h"
#include "record/FreshRecord.h"
#include "record/RecordNaming.h"
#include "support/Allocation.h"
#include "support/FileIO.h"
#include "support/ProgramState.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr int kColumnsDialog = 134;
constexpr int kFieldPreview = 1043;
constexpr int kFieldFirstColumn = 1194;
constexpr int kFieldColumnStep = 1195;
constexpr int kFieldTraces = 1196;
constexpr int kFieldSamples = 1106;
constexpr int kFieldFirstTime = 1197;
constexpr int kFieldTimeStep = 1099;
constexpr int kFieldStartBox = 1046;
constexpr int kFieldStartRow = 1047;
constexpr int kFieldLines = 1198;
constexpr int kFieldLinesShown = 1199;
constexpr int kTextLinesShown = 1200;
constexpr int kButtonAutoSet = 1202;
constexpr int kButtonOk = 1;
constexpr int kButtonCancel = 2;
using tk::kEventPushButton;

/// Characters of the file the column dialog shows at most.
constexpr std::size_t kPreviewChars = 35767;
/// Bytes read from the table at a time.
constexpr int kReadChunk = 1 << 20;

/// True for the characters that separate the words of a row: the blank,
/// everything outside 32-126, 128-168 and 224-252, the comma and the double
/// quote.
constexpr std::array<bool, 256> MakeSeparators(bool commasToo) {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const bool printable =
        (c >= 32 && c <= 126) || (c >= 128 && c <= 168) || (c >= 224 && c <= 252);
    table[static_cast<std::size_t>(c)] = !printable || c == ' ';
  }
  if (commasToo) table[','] = table['"'] = true;
  return table;
}
constexpr std::array<bool, 256> kRowSeparators = MakeSeparators(true);
constexpr std::array<bool, 256> kPreviewSeparators = MakeSeparators(false);

bool IsSeparator(const std::array<bool, 256>& table, char c) {
  return table[static_cast<unsigned char>(c)];
}

/// Steps through the words of one row.
class RowWords {
 public:
  explicit RowWords(std::string_view row) : row_(row) {}
  /// The next word; empty when the row has no more.
  std::string_view Next() {
    while (pos_ < row_.size() && IsSeparator(kRowSeparators, row_[pos_])) ++pos_;
    const std::size_t start = pos_;
    while (pos_ < row_.size() && !IsSeparator(kRowSeparators, row_[pos_])) ++pos_;
    return row_.substr(start, pos_ - start);
  }

 private:
  std::string_view row_;
  std::size_t pos_ = 0;
};

/// The rows of a table in row order: the values of the needed columns of
/// every stored row, trace after trace.
struct TableRows {
  std::vector<float> values;
  std::int32_t rows = 0;
};

/// Appends the needed columns of ROW to OUT; false (OUT as it was) when a
/// needed column is missing or unreadable.
bool TakeRow(std::string_view row, const AsciiColumnLayout& L, std::int64_t lastColumn,
             std::vector<float>& out) {
  const std::size_t before = out.size();
  RowWords words(row);
  std::int64_t wanted = L.ICOL1;
  for (std::int64_t w = 1; w <= lastColumn; ++w) {
    const std::string_view word = words.Next();
    double value = 0.0;
    if (word.empty() || (w == wanted && !ParseSeg2Real(word, value))) {
      out.resize(before);
      return false;
    }
    if (w == wanted) {
      out.push_back(static_cast<float>(value));
      wanted += L.ICOLINC;
    }
  }
  return true;
}

enum class ReadOutcome { Done, Abandoned, ReadFailed, OutOfMemory };

/// Reads the next chunk of IH into CHUNK; false when the read failed. GOT:
/// the bytes read, 0 at the end of the file.
bool ReadChunk(int ih, std::string& chunk, std::size_t& got) {
  chunk.resize(kReadChunk);
  const int status = sup::IREDFIL(ih, chunk, kReadChunk);
  if (status < 0 || status > kReadChunk) return false;
  got = static_cast<std::size_t>(kReadChunk - status);
  return true;
}

/// Reads the rows of the open table IH. Lines may be of any length.
ReadOutcome ReadRows(int ih, const AsciiColumnLayout& L, TableRows& table) {
  const std::int64_t lastColumn =
      static_cast<std::int64_t>(L.ICOL1) + static_cast<std::int64_t>(L.NTRIN - 1) * L.ICOLINC;
  std::int64_t row = 0;
  int percent = -1;
  enum class Next { Line, Stop, Abandon };
  const auto takeLine = [&](std::string_view line) {
    ++row;
    if (row < L.IROW1) return Next::Line;
    if (table.rows >= L.NSIN) return Next::Stop;
    if (!TakeRow(line, L, lastColumn, table.values)) return Next::Line;
    ++table.rows;
    const int now =
        tk::NearestInt(100.0 * static_cast<double>(table.rows) / static_cast<double>(L.NSIN));
    if (now != percent) sup::ProgressSet(percent = now);
    return sup::LKILL(0) ? Next::Abandon : Next::Line;
  };
  const auto readAll = [&]() -> ReadOutcome {
    std::string chunk;
    std::string pending;  // the start of a line that goes on in the next chunk
    for (;;) {
      std::size_t got = 0;
      if (!ReadChunk(ih, chunk, got)) return ReadOutcome::ReadFailed;
      Next next = Next::Line;
      if (got == 0) {
        // A last line without a line feed is a row too.
        if (!pending.empty()) next = takeLine(pending);
        return next == Next::Abandon ? ReadOutcome::Abandoned : ReadOutcome::Done;
      }
      std::string_view data(chunk.data(), got);
      for (std::size_t lf = data.find('\n'); lf != std::string_view::npos; lf = data.find('\n')) {
        if (pending.empty()) {
          next = takeLine(data.substr(0, lf));
        } else {
          pending.append(data.substr(0, lf));
          next = takeLine(pending);
          pending.clear();
        }
        if (next == Next::Stop) return ReadOutcome::Done;
        if (next == Next::Abandon) return ReadOutcome::Abandoned;
        data.remove_prefix(lf + 1);
      }
      pending.append(data);
    }
  };
  ReadOutcome outcome = ReadOutcome::OutOfMemory;
  if (!sup::TryAllocation([&] { outcome = readAll(); })) return ReadOutcome::OutOfMemory;
  return outcome;
}

/// The whole file as text; false when it cannot be opened or read.
bool ReadWholeFile(std::string_view name, std::string& text) {
  const int ih = sup::IOPNRLY(name);
  if (ih < 0) return false;
  text.clear();
  bool ok = true;
  const bool allocated = sup::TryAllocation([&] {
    std::string chunk;
    std::size_t got = 0;
    while ((ok = ReadChunk(ih, chunk, got)) && got > 0) text.append(chunk, 0, got);
  });
  sup::ICLSFIL(ih);
  return ok && allocated;
}

/// The blank-separated words of the first line of TEXT after SKIP lines
/// (nothing when no line feed ends that line). Commas do not separate here.
std::int32_t DetectColumns(std::string_view text, std::int64_t skip) {
  std::size_t at = 0;
  for (std::int64_t i = 0; i < skip; ++i) {
    const std::size_t lf = text.find('\n', at);
    if (lf == std::string_view::npos) return 0;
    at = lf + 1;
  }
  const std::size_t lf = text.find('\n', at);
  if (lf == std::string_view::npos) return 0;
  const std::string_view line = text.substr(at, lf - at);
  std::int32_t words = 0;
  bool inWord = false;
  for (const char c : line) {
    const bool sep = IsSeparator(kPreviewSeparators, c);
    if (!sep && !inWord) ++words;
    inWord = !sep;
  }
  return words;
}

std::int32_t ClampedCount(std::size_t n) {
  return static_cast<std::int32_t>(
      std::min<std::size_t>(n, static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
}

}  // namespace

AsciiColumnLayout& ASCIILAYOUT() {
  static AsciiColumnLayout layout;
  return layout;
}

std::int32_t& IASCTYPE() {
  static std::int32_t type = 1;
  return type;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(sup::ProgramLayer::Formats, [] {
  ASCIILAYOUT() = AsciiColumnLayout{};
  IASCTYPE() = 1;
});
}  // namespace

std::string CheckAsciiColumnLayout(const AsciiColumnLayout& L) {
  if (L.ICOL1 < 1) return "COLUMN FOR TRACE 1 MUST BE 1 OR MORE";
  if (L.ICOLINC < 1) return "COLUMN INCREMENT MUST BE 1 OR MORE";
  if (L.NTRIN < 1) return "NUMBER OF TRACES MUST BE 1 OR MORE";
  if (L.NSIN < 1) return "SAMPLES PER TRACE MUST BE 1 OR MORE";
  const std::int64_t last =
      static_cast<std::int64_t>(L.ICOL1) + static_cast<std::int64_t>(L.NTRIN - 1) * L.ICOLINC;
  if (last > std::numeric_limits<std::int32_t>::max())
    return "TRACE COLUMNS BEYOND COLUMN 2147483647";
  if (!std::isfinite(L.TFIRST)) return "FIRST TIME MUST BE A NUMBER";
  if (!std::isfinite(L.TSTEP) || L.TSTEP <= 0.0f) return "TIME INCREMENT MUST BE ABOVE 0";
  if (!std::isfinite(L.TFIRST - L.TSTEP)) return "FIRST TIME OUT OF RANGE";
  return {};
}

void ReadAsciiTable(ShotRecord& REC, std::string_view FNAME, const AsciiColumnLayout& LAYOUT,
                    int& IERR) {
  IERR = -1;
  const std::string name(plat::TrimRight(FNAME));
  if (const std::string why = CheckAsciiColumnLayout(LAYOUT); !why.empty()) {
    sup::WINMSG(why);
    return;
  }
  const int ih = sup::IOPNRLY(name);
  if (ih < 0) {
    sup::WINMSG("CANNOT OPEN FILE: " + name);
    return;
  }
  (void)sup::LKILL(1);
  sup::ProgressOpen(name);
  TableRows table;
  const ReadOutcome outcome = ReadRows(ih, LAYOUT, table);
  sup::ProgressClose();
  (void)sup::LKILL(1);
  sup::ICLSFIL(ih);
  switch (outcome) {
    case ReadOutcome::Done:
      break;
    case ReadOutcome::Abandoned:
      return;
    case ReadOutcome::ReadFailed:
      sup::WINMSG("ERROR READING FILE: " + name);
      return;
    case ReadOutcome::OutOfMemory:
      sup::WINMSG("CANNOT ALLOCATE ARRAYS IN USERIN");
      return;
  }
  if (table.rows == 0) {
    sup::WINMSG("NO DATA ROWS FOUND IN FILE: " + name);
    return;
  }

  // The table goes into a fresh record holding REC's values (not its
  // traces), which replaces REC once it is filled.
  const bool read = ReadThenCommit(REC, ReadStart::Scalars, [&](ShotRecord& fresh) {
    fresh.CRECNAME = RecordNameOfFile(name);
    fresh.NTRACE = LAYOUT.NTRIN;
    fresh.NSAMP = table.rows;
    fresh.SAMPINT = LAYOUT.TSTEP;
    fresh.TDELAY = LAYOUT.TFIRST - LAYOUT.TSTEP;
    fresh.SHOTY = 0.0f;
    fresh.LSEGYHDR = false;
    if (!RebuildTraceArrays(fresh, SegyTraceHeaders::Allocate)) {
      sup::WINMSG("CANNOT ALLOCATE ARRAYS IN USERIN");
      return false;
    }
    const std::size_t traces = static_cast<std::size_t>(LAYOUT.NTRIN);
    const std::size_t rows = static_cast<std::size_t>(table.rows);
    for (std::size_t j = 0; j < traces; ++j) {
      float* column = fresh.TRACES.data() + j * rows;
      const float* from = table.values.data() + j;
      for (std::size_t i = 0; i < rows; ++i) column[i] = from[i * traces];
      fresh.GEOLOC[j] = static_cast<float>(j + 1);
    }
    GMINMAX(fresh);
    return true;
  });
  IERR = read ? 0 : -1;
}

void GTCOLSTRACE(AsciiColumnLayout& LAYOUT, std::string_view FNAME, int& IERR) {
  IERR = -1;
  const std::string name(plat::TrimRight(FNAME));
  std::string text;
  if (!ReadWholeFile(name, text)) {
    sup::WINMSG("CANNOT OPEN FILE: " + name);
    return;
  }
  if (text.empty()) sup::WINMSG("FILE HAS NO LENGTH:" + name);

  const std::int64_t lines = std::count(text.begin(), text.end(), '\n');
  const std::string_view shown(text.data(), std::min(text.size(), kPreviewChars));
  const std::int64_t linesShown = std::count(shown.begin(), shown.end(), '\n');
  const std::int32_t columns = DetectColumns(shown, std::min<std::int64_t>(30, lines / 2));
  if (static_cast<std::int64_t>(LAYOUT.NSIN) + 20 < lines)
    LAYOUT.NSIN = ClampedCount(static_cast<std::size_t>(lines));
  if (LAYOUT.NTRIN < 2) LAYOUT.NTRIN = columns;

  tk::WDialogLoad(kColumnsDialog);
  if (tk::WDialogStatusQuery(3) != kColumnsDialog) return;  // the toolkit has reported it
  tk::WDialogPutString(kFieldPreview, shown);
  tk::WDialogPutInteger(kFieldLines, ClampedCount(static_cast<std::size_t>(lines)));
  tk::WDialogFieldState(kFieldLines, tk::kFieldReadOnly);
  tk::WDialogPutInteger(kFieldFirstColumn, LAYOUT.ICOL1);
  tk::WDialogPutInteger(kFieldColumnStep, LAYOUT.ICOLINC);
  tk::WDialogPutInteger(kFieldTraces, LAYOUT.NTRIN);
  tk::WDialogPutInteger(kFieldSamples, LAYOUT.NSIN);
  tk::WDialogPutReal(kFieldFirstTime, LAYOUT.TFIRST, "(F)");
  tk::WDialogPutReal(kFieldTimeStep, LAYOUT.TSTEP, "(F)");
  tk::WDialogPutInteger(
      kFieldStartRow,
      ClampedCount(static_cast<std::size_t>(std::abs(static_cast<std::int64_t>(LAYOUT.IROW1)))));
  sup::WDIALOGPUTCHECKBOXL(kFieldStartBox, LAYOUT.IROW1 > 0);
  if (linesShown < lines) {
    tk::WDialogPutInteger(kFieldLinesShown, ClampedCount(static_cast<std::size_t>(linesShown)));
    tk::WDialogFieldState(kFieldLinesShown, tk::kFieldReadOnly);
    tk::WDialogFieldState(kTextLinesShown, tk::kFieldEnabled);
  } else {
    tk::WDialogFieldState(kFieldLinesShown, tk::kFieldHidden);
    tk::WDialogFieldState(kTextLinesShown, tk::kFieldHidden);
  }
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);

  for (;;) {
    int type = 0;
    tk::EventRecord event;
    tk::WEventWait(type, event);
    if (type == 0) break;  // the window system has gone: as Cancel
    if (type != kEventPushButton || event.window != kColumnsDialog) continue;
    if (event.value1 == kButtonAutoSet) {
      tk::WDialogSelect(kColumnsDialog);
      tk::WDialogPutInteger(kFieldTraces, columns);
      tk::WDialogPutInteger(kFieldSamples, ClampedCount(static_cast<std::size_t>(lines)));
      continue;
    }
    if (event.value1 == kButtonOk) {
      tk::WDialogSelect(kColumnsDialog);
      AsciiColumnLayout chosen = LAYOUT;
      tk::WDialogGetInteger(kFieldFirstColumn, chosen.ICOL1);
      tk::WDialogGetInteger(kFieldColumnStep, chosen.ICOLINC);
      tk::WDialogGetInteger(kFieldTraces, chosen.NTRIN);
      tk::WDialogGetInteger(kFieldSamples, chosen.NSIN);
      tk::WDialogGetReal(kFieldFirstTime, chosen.TFIRST);
      tk::WDialogGetReal(kFieldTimeStep, chosen.TSTEP);
      bool checked = false;
      sup::WDIALOGGETCHECKBOXL(kFieldStartBox, checked);
      std::int32_t startRow = 0;
      tk::WDialogGetInteger(kFieldStartRow, startRow);
      startRow = std::max(startRow, 0);
      chosen.IROW1 = checked ? startRow : -startRow;
      LAYOUT = chosen;
      IERR = 0;
      break;
    }
    if (event.value1 == kButtonCancel) break;
  }
  tk::WDialogSelect(kColumnsDialog);
  tk::WDialogHide();
}

void ASCIIIN(ShotRecord& REC, int& IERR) {
  IERR = -1;
  std::string name(256, ' ');
  int filterIndex = IASCTYPE();
  tk::WSelectFile(kAsciiFileFilter,
                  tk::kSelectConfirm | tk::kSelectKeepFolder | tk::kSelectDefaultExtension, name,
                  kAsciiFileTitle, &filterIndex);
  if (tk::WDialogStatusQuery(4) != 1) return;
  if (filterIndex >= 1 && filterIndex <= 3) IASCTYPE() = filterIndex;
  // The chosen folder is now the current one: keep the bare name.
  std::string bare(plat::TrimRight(name));
  if (const auto slash = bare.find_last_of("/\\"); slash != std::string::npos)
    bare.erase(0, slash + 1);
  if (bare.empty()) return;
  std::error_code ec;
  if (!std::filesystem::exists(bare, ec)) {
    sup::WINMSG("FILE NOT FOUND: " + bare);
    return;
  }
  AsciiColumnLayout& layout = ASCIILAYOUT();
  GTCOLSTRACE(layout, bare, IERR);
  if (IERR != 0) return;
  ReadAsciiTable(REC, bare, layout, IERR);
}

}  // namespace vel
