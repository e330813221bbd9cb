#include "shell/HeaderEditor.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "formats/GeometryFile.h"
#include "formats/SegyHeaders.h"
#include "platform/FixedText.h"
#include "shell/DialogHelpers.h"
#include "shell/PromptDialogs.h"
#include "shell/ShotHeaderFields.h"
#include "support/ProgramState.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/grid/Grid.h"

namespace vel {
namespace {

enum Button : int {
  kOpenGeometry = 1112,
  kSaveGeometry = 1113,
  kSaveGeometryAs = 1114,
  kAddTo = 1115,
  kMultiplyBy = 1116,
  kCreateGeometry = 1209,
};

enum LayoutField : int {
  kConstant = 1210,
  kSymmetric = 1211,
  kAsymmetric = 1212,
  kLayoutSpacing = 1213,
  kBeginLabel = 1215,
  kEndLabel = 1216,
  kRepeatLabel = 1217,
};

enum GridColumn : int {
  kNumberColumn = 1,
  kEastingColumn = 2,
  kNorthingColumn = 3,
  kElevationColumn = 4
};

constexpr int kGridCapacity = 10000;
constexpr std::string_view kGridFormat = "(F9.1)";
constexpr std::string_view kTimeFormat = "(F9.3)";
constexpr std::string_view kPositionFormat = "(F9.1)";
constexpr std::string_view kGeometryFilter = "Morvane Geometry Files|*.GEO|";
constexpr std::string_view kGeometryTitle = "Morvane Geometry File";
constexpr int kSelectOpen = 42;
constexpr int kSelectSave = 47;
constexpr std::size_t kNameChars = 256;
constexpr int kLayoutButtons[] = {kConstant, kSymmetric, kAsymmetric};

/// Puts VALUE into real FIELD written with FORMAT, even where the field's
/// range would refuse it (OK then refuses it until it is mended).
void PutRealShown(int field, float value, std::string_view format) {
  std::string text;
  tk::yyrea2st(value, text, format);
  tk::WDialogPutString(field, text);
}

/// The editor while it is up: the record, the working copy of its receiver
/// geometry, the current cell and the geometry file's name.
class HeaderEditor {
 public:
  HeaderEditor(ShotRecord& rec, int dialog)
      : rec_(rec),
        dialog_(dialog),
        count_(static_cast<std::size_t>(std::max(rec.NTRACE, 0))),
        shown_(std::min<std::size_t>(count_, kGridCapacity)) {
    east_ = Copy(rec.GEOLOC);
    north_ = Copy(rec.GEOLOCY);
    elev_ = Copy(rec.GEOELE);
  }

  void Fill(bool sampleIntervalEditable) {
    tk::WDialogSelect(dialog_);
    PutIntegerShown(kHeaderSamples, rec_.NSAMP);
    PutIntegerShown(kHeaderTraces, rec_.NTRACE);
    PutIntegerShown(kHeaderAuxTraces, rec_.NAUX);
    PutIntegerShown(kHeaderShotNumber, rec_.ISHOT);
    PutRealShown(kHeaderSampleInterval, rec_.SAMPINT, kTimeFormat);
    PutRealShown(kHeaderUphole, rec_.TUPHOLE, kTimeFormat);
    PutRealShown(kHeaderDelay, rec_.TDELAY, kTimeFormat);
    PutRealShown(kHeaderShotEasting, rec_.SHOTX, kPositionFormat);
    PutRealShown(kHeaderShotNorthing, rec_.SHOTY, kPositionFormat);
    PutRealShown(kHeaderShotElevation, rec_.SHOTELEV, kPositionFormat);
    PutRealShown(kHeaderShotDepth, rec_.SHOTDEPTH, kPositionFormat);
    // A record of more traces than the grid holds shows its first rows; the
    // others stay in the working copy.
    tk::WGridRows(kGeometryGrid, std::max<int>(static_cast<int>(shown_), 1));
    std::vector<std::int32_t> numbers(shown_);
    for (std::size_t j = 0; j < shown_; ++j) numbers[j] = static_cast<std::int32_t>(j + 1);
    tk::WGridPutInteger(kGeometryGrid, kNumberColumn, numbers, Shown());
    // The format given here becomes the columns' own for later puts.
    for (const int c : {kEastingColumn, kNorthingColumn, kElevationColumn})
      tk::WGridPutReal(kGeometryGrid, c, Column(c), Shown(), kGridFormat);
    tk::WDialogFieldState(kHeaderSampleInterval,
                          sampleIntervalEditable ? tk::kFieldEnabled : tk::kFieldDisabled);
  }

  /// One push button or field change; true when the editor closes.
  bool Handle(int type, const tk::EventRecord& e) {
    if (type == tk::kEventFieldChanged) {
      if (e.value2 == kGeometryGrid)
        tk::WGridCellUnpack(e.y, column_, row_);
      else if (e.value2 != kAddTo && e.value2 != kMultiplyBy)
        column_ = row_ = 0;
      return false;
    }
    switch (e.value1) {
      case 1:
        Ok();
        return true;
      case 2:
        return true;
      case kOpenGeometry:
        OpenGeometry();
        return false;
      case kSaveGeometry:
        SaveGeometry(false);
        return false;
      case kSaveGeometryAs:
        SaveGeometry(true);
        return false;
      case kAddTo:
      case kMultiplyBy:
        AddOrMultiply(e.value1 == kAddTo);
        return false;
      case kCreateGeometry:
        return !CreateGeometry();
      default:
        return false;
    }
  }

  bool accepted() const { return accepted_; }

 private:
  std::vector<float> Copy(const std::vector<float>& a) const {
    std::vector<float> out(count_, 0.0f);
    std::copy_n(a.begin(), std::min(a.size(), count_), out.begin());
    return out;
  }
  int Shown() const { return static_cast<int>(shown_); }
  std::vector<float>& Column(int c) {
    return c == kEastingColumn ? east_ : c == kNorthingColumn ? north_ : elev_;
  }
  GeometrySpans Spans() { return {east_, north_, elev_}; }

  /// Grid column C into the working copy (the rows the grid shows).
  void ReadColumn(int c) {
    std::vector<float> cells(shown_);
    int n = Shown();
    tk::WGridReadColumnReal(kGeometryGrid, c, cells, n);
    std::copy_n(cells.begin(), std::clamp(n, 0, Shown()), Column(c).begin());
  }
  void ReadGeometryColumns() {
    for (const int c : {kEastingColumn, kNorthingColumn, kElevationColumn}) ReadColumn(c);
  }
  void PutColumn(int c) { tk::WGridPutReal(kGeometryGrid, c, Column(c), Shown()); }

  void Ok() {
    tk::WDialogSelect(dialog_);
    GetShotHeaderFields(rec_);
    ReadGeometryColumns();
    const auto store = [this](std::vector<float>& to, const std::vector<float>& from) {
      std::copy_n(from.begin(), std::min(to.size(), from.size()), to.begin());
    };
    store(rec_.GEOLOC, east_);
    store(rec_.GEOLOCY, north_);
    store(rec_.GEOELE, elev_);
    // Distances carry 1e-20 under the root, so that two receivers at one
    // point give a spacing of 1e-10, never 0.
    constexpr double kTiny = 1e-20;
    if (rec_.NTRACE < 2 || count_ < 2) {
      rec_.SPACING = 1.0f;
    } else {
      const double dx = static_cast<double>(east_[1]) - east_[0];
      const double dy = static_cast<double>(north_[1]) - north_[0];
      rec_.SPACING = static_cast<float>(std::sqrt(dx * dx + dy * dy + kTiny));
    }
    const std::size_t offsets = std::min(count_, rec_.GOFF.size());
    for (std::size_t j = 0; j < offsets; ++j) {
      const double dx = static_cast<double>(east_[j]) - rec_.SHOTX;
      const double dy = static_cast<double>(north_[j]) - rec_.SHOTY;
      rec_.GOFF[j] = static_cast<float>(std::sqrt(dx * dx + dy * dy + kTiny));
    }
    if (rec_.LSEGYHDR && !StoreEditedSegyHeaders(rec_))
      sup::WINWRN(
          "A header value does not fit its SEG-Y header field and is stored as the "
          "field's limit");
    accepted_ = true;
  }

  /// Asks for a geometry file's name with FLAGS; true when one was chosen.
  bool ChooseFile(int flags) {
    std::string name = plat::Padded(fileName_, kNameChars);
    tk::WSelectFile(kGeometryFilter, flags, name, kGeometryTitle);
    const bool chosen = tk::WDialogStatusQuery(4) == 1;
    tk::WDialogSelect(dialog_);
    if (!chosen || plat::TrimRight(name).empty()) return false;
    fileName_ = std::string(plat::TrimRight(name));
    return true;
  }

  void OpenGeometry() {
    if (!ChooseFile(kSelectOpen)) return;
    ReadGeometryFile(fileName_, Spans(), count_);
    tk::WDialogSelect(dialog_);
    for (const int c : {kEastingColumn, kNorthingColumn, kElevationColumn}) PutColumn(c);
  }

  void SaveGeometry(bool askName) {
    if (askName || fileName_.empty()) {
      if (!ChooseFile(kSelectSave)) return;
      askName = true;
    }
    ReadGeometryColumns();
    if (WriteGeometryFile(fileName_, Spans(), count_) && !askName)
      sup::WINMSG(fileName_ + " Saved");
    tk::WDialogSelect(dialog_);
  }

  void AddOrMultiply(bool add) {
    if (row_ < 1 || column_ < 1) {
      sup::WINMSG("Must be inside geometry grid to add or multiply");
      tk::WDialogSelect(dialog_);
      return;
    }
    HeaderEditorMemory& m = HeaderEditorRemembered();
    float& value = add ? m.addValue : m.multiplyValue;
    std::int32_t ierr = 0;
    NUMINDLG(add ? "Please enter number to add:" : "Please enter number to multiply:", value, ierr);
    tk::WDialogSelect(dialog_);
    if (ierr != 0) return;
    if (column_ < kEastingColumn || column_ > kElevationColumn) return;
    ReadColumn(column_);
    std::vector<float>& a = Column(column_);
    for (std::size_t j = static_cast<std::size_t>(row_ - 1); j < count_; ++j)
      a[j] = add ? a[j] + value : a[j] * value;
    PutColumn(column_);
  }

  /// False when the window system's events ended the layout dialog.
  bool CreateGeometry() {
    ReadColumn(kEastingColumn);
    HeaderEditorMemory& m = HeaderEditorRemembered();
    const bool answered = CREATEGEOMETRY(static_cast<std::int32_t>(count_), east_, north_,
                                         m.layoutSpacing, m.layoutType);
    // The layout dialog's loop switched field changes off as it ended.
    tk::WDialogSelect(dialog_);
    tk::WEventTypeSwitch(tk::kEventFieldChanged, 1);
    PutColumn(kEastingColumn);
    return answered;
  }

  ShotRecord& rec_;
  int dialog_;
  std::size_t count_;
  std::size_t shown_;
  std::vector<float> east_, north_, elev_;
  std::int32_t column_ = 0, row_ = 0;
  std::string fileName_;
  bool accepted_ = false;
};

/// The spread table of grid 1214: its rows down to the first in which
/// either cell holds no value.
std::int32_t ReadSpreadTable(HeaderEditorMemory& m) {
  std::int32_t rows = 0;
  for (int r = 1; r <= kLayoutRows; ++r) {
    if (tk::WInfoGridCell(kLayoutGrid, 1, r, 1) != 1 ||
        tk::WInfoGridCell(kLayoutGrid, 2, r, 1) != 1)
      break;
    const auto i = static_cast<std::size_t>(r - 1);
    tk::WGridGetCellInteger(kLayoutGrid, 1, r, m.spreadCounts[i]);
    tk::WGridGetCellReal(kLayoutGrid, 2, r, m.spreadSpacings[i]);
    rows = r;
  }
  return rows;
}

}  // namespace

HeaderEditorMemory& HeaderEditorRemembered() {
  static HeaderEditorMemory memory;
  return memory;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(
    sup::ProgramLayer::Shell, [] { HeaderEditorRemembered() = HeaderEditorMemory{}; });
}  // namespace

void GenerateLayout(std::span<float> X, std::int32_t TYPE, float SPACING,
                    std::span<const std::int32_t> COUNTS, std::span<const float> SPACINGS,
                    std::int32_t ROWS) {
  const std::size_t n = X.size();
  if (n < 2) return;
  if (TYPE <= 1) {
    for (std::size_t j = 1; j < n; ++j) X[j] = X[j - 1] + SPACING;
    return;
  }
  const auto rows = std::min<std::size_t>(static_cast<std::size_t>(std::max(ROWS, 0)),
                                          std::min(COUNTS.size(), SPACINGS.size()));
  if (rows == 0) return;
  const float last = SPACINGS[rows - 1];
  if (TYPE == 2) {
    // From both ends towards the centre, which keeps the last spacing.
    std::vector<float> d(n - 1, last);
    std::size_t lo = 0, hi = n - 2;
    for (std::size_t i = 0; i < rows && lo < hi; ++i)
      for (std::int32_t k = 0; k < COUNTS[i] && lo < hi; ++k) {
        d[lo++] = SPACINGS[i];
        d[hi--] = SPACINGS[i];
      }
    for (std::size_t j = 1; j < n; ++j) X[j] = X[j - 1] + d[j - 1];
    return;
  }
  // From the beginning; the last spacing repeats to the end.
  std::size_t j = 1;
  for (std::size_t i = 0; i < rows && j < n; ++i)
    for (std::int32_t k = 0; k < COUNTS[i] && j < n; ++k, ++j) X[j] = X[j - 1] + SPACINGS[i];
  for (; j < n; ++j) X[j] = X[j - 1] + last;
}

void IGENSHOW(std::int32_t TYPE) {
  tk::WDialogSelect(kGeophoneLayoutDialog);
  PutRadioChoice(kLayoutButtons, TYPE);
  const int table = TYPE <= 1 ? tk::kFieldReadOnly : tk::kFieldEnabled;
  for (const int f : {kLayoutGrid, static_cast<int>(kBeginLabel), static_cast<int>(kEndLabel),
                      static_cast<int>(kRepeatLabel)})
    tk::WDialogFieldState(f, table);
  if (TYPE == 2) tk::WDialogPutString(kEndLabel, "Center of Spread^");
  if (TYPE >= 3) tk::WDialogPutString(kEndLabel, "End of Spread^");
  tk::WDialogFieldState(kLayoutSpacing, TYPE <= 1 ? tk::kFieldEnabled : tk::kFieldReadOnly);
}

bool CREATEGEOMETRY(std::int32_t N, std::span<float> EASTING, std::span<float> NORTHING,
                    float& SPACING, std::int32_t& TYPE) {
  (void)NORTHING;  // the layout places eastings only
  HeaderEditorMemory& m = HeaderEditorRemembered();
  tk::WDialogLoad(kGeophoneLayoutDialog);
  tk::WDialogSelect(kGeophoneLayoutDialog);
  IGENSHOW(TYPE);
  if (m.spreadRows > 0) {
    tk::WGridPutInteger(kLayoutGrid, 1, m.spreadCounts, m.spreadRows);
    tk::WGridPutReal(kLayoutGrid, 2, m.spreadSpacings, m.spreadRows);
  }
  if (SPACING > 0.0f) tk::WDialogPutReal(kLayoutSpacing, SPACING);
  const std::size_t n = std::min(static_cast<std::size_t>(std::max(N, 0)), EASTING.size());
  return RunSemiModeless(kGeophoneLayoutDialog, [&](int type, const tk::EventRecord& e) {
    tk::WDialogSelect(kGeophoneLayoutDialog);
    if (type == tk::kEventFieldChanged) {
      if (e.value2 == kConstant || e.value2 == kSymmetric || e.value2 == kAsymmetric) {
        if (const std::int32_t p = RadioPosition(kConstant); p > 0) TYPE = p;
        IGENSHOW(TYPE);
      }
      return false;
    }
    if (e.value1 == 2) return true;
    if (e.value1 != 1) return false;
    m.spreadRows = 0;
    if (const std::int32_t p = RadioPosition(kConstant); p > 0) TYPE = p;
    if (TYPE <= 1) GetRealIfSet(kLayoutSpacing, SPACING);
    if (TYPE >= 2) m.spreadRows = ReadSpreadTable(m);
    GenerateLayout(EASTING.first(n), TYPE, SPACING, m.spreadCounts, m.spreadSpacings, m.spreadRows);
    return true;
  });
}

void HEADEDITDLG(ShotRecord& REC, bool LSAMPEDIT, std::int32_t NAVINDEX, std::int32_t& NAVVALUE,
                 int& IERR) {
  (void)NAVVALUE;  // the shot navigation of a multi-record editor
  HeaderEditorMemory& m = HeaderEditorRemembered();
  if (m.layoutSpacing <= 0.0f) m.layoutSpacing = REC.SPACING;
  const int dialog = NAVINDEX > 0 ? kHeaderEditorPlainDialog : kHeaderEditorDialog;
  tk::WDialogLoad(dialog);
  tk::WDialogSelect(dialog);
  HeaderEditor editor(REC, dialog);
  editor.Fill(LSAMPEDIT);
  RunSemiModeless(dialog,
                  [&editor](int type, const tk::EventRecord& e) { return editor.Handle(type, e); });
  IERR = editor.accepted() ? 0 : -1;
}

}  // namespace vel
