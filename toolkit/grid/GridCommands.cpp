// The grid-window commands. Each runs in one frame: the grid window made
// current, the current dialog and the last error code noted and put back,
// its dialog loaded with the window as owner and unloaded at the end. The
// find, print and HTML dialogs show semi-modeless at the window's client
// origin and the command waits for their push buttons itself; the others
// are modal and centred.
#include "toolkit/grid/GridCommands.h"

#include <optional>
#include <string_view>
#include <vector>

#include "platform/FixedText.h"
#include "platform/system/Directory.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridAttributes.h"
#include "toolkit/grid/GridFiles.h"
#include "toolkit/grid/GridModel_p.h"
#include "toolkit/grid/GridPrinting.h"
#include "toolkit/grid/GridSortFind.h"

namespace tk {

namespace {

constexpr int kFindDialog = 32106;
constexpr int kGotoCellDialog = 32107;
constexpr int kGotoDialog = 32108;
constexpr int kSortDialog = 32109;
constexpr int kPrintDialog = 32112;
constexpr int kHtmlDialog = 32114;

constexpr int kOk = 1, kCancel = 2;
/// Message box buttons and icons.
constexpr int kBoxOk = 0, kBoxYesNo = 3;
constexpr int kIconStop = 1, kIconExclamation = 3, kIconInformation = 4;
/// A file name in the file dialog's buffer.
constexpr std::size_t kFileNameLength = 260;
constexpr std::string_view kCsvFilter = "CSV Files|*.csv|All Files|*.*|";
constexpr std::string_view kHtmlFilter = "HTML Files|*.htm;*.html|All Files|*.*|";
constexpr int kSaveFlags = kSelectSave | kSelectConfirm | kSelectDefaultExtension;  // 35
constexpr int kOpenFlags = kSelectMustExist | kSelectDefaultExtension;               // 160

/// The text of a buffer up to its NUL.
std::string CText(std::string_view buffer) {
  return std::string(buffer.substr(0, std::min(buffer.find('\0'), buffer.size())));
}

/// Writes TEXT into BUFFER NUL-terminated, keeping the buffer's size when
/// the text fits in it.
void PutCText(std::string& buffer, std::string_view text) {
  if (buffer.size() > text.size()) {
    buffer.replace(0, text.size(), text);
    buffer[text.size()] = '\0';
  } else {
    buffer.assign(text);
    buffer += '\0';
  }
}

/// The frame every command runs in.
class CommandFrame {
 public:
  explicit CommandFrame(int window)
      : formerWindow_(CurrentWindow()),
        formerDialog_(WDialogStatusQuery(3)),
        formerError_(ErrorState().lastError),
        window_(window) {
    if (window != formerWindow_) WindowMakeCurrent(window);
  }
  ~CommandFrame() {
    if (dialogLoaded_) WDialogUnload();
    if (formerDialog_ != 0 && WDialogStatusQuery(3) != formerDialog_) WDialogSelect(formerDialog_);
    if (restoreError_) ErrorState().lastError = formerError_;
    if (CurrentWindow() != formerWindow_) WindowMakeCurrent(formerWindow_);
  }
  CommandFrame(const CommandFrame&) = delete;
  CommandFrame& operator=(const CommandFrame&) = delete;

  /// Loads dialog ID owned by the window; false after telling the user.
  bool LoadDialog(int id) {
    ErrorState().lastError = 0;
    WDialogLoad(id, std::nullopt, -1);
    if (ErrorState().lastError != 0 || WDialogStatusQuery(3) != id) {
      WMessageBox(kBoxOk, kIconStop, 1, "Unable to load required dialog", "Error");
      return false;
    }
    dialogLoaded_ = true;
    dialog_ = id;
    return true;
  }

  /// Unloads the dialog now and gives back the dialog and the error code
  /// of before (the find searches after that).
  void EndDialog() {
    if (dialogLoaded_) WDialogUnload();
    dialogLoaded_ = false;
    if (formerDialog_ != 0) WDialogSelect(formerDialog_);
    ErrorState().lastError = formerError_;
  }

  /// The code of before stays only when CODE is 0 (the saves).
  void KeepErrorUnlessClean(int code) {
    restoreError_ = code == 0;
  }
  /// Puts the code of before back now; what follows leaves its own.
  void PutErrorBackNow() {
    ErrorState().lastError = formerError_;
    restoreError_ = false;
  }

  int Window() const { return window_; }
  int Dialog() const { return dialog_; }
  std::int32_t FormerError() const { return formerError_; }

 private:
  int formerWindow_;
  int formerDialog_;
  std::int32_t formerError_;
  int window_;
  int dialog_ = 0;
  bool dialogLoaded_ = false;
  bool restoreError_ = true;
};

/// The current dialog shown semi-modeless at the window's client origin,
/// with snapshots of the other windows; Wait gives the next push button of
/// the dialog (Cancel when the wait is closed).
class NearWindowShow {
 public:
  NearWindowShow(int window, int dialog) : window_(window), dialog_(dialog) {
    EventTypeEnabled(kEventPushButton, pushKept_);
    WEventTypeSwitch(kEventPushButton, 1);
    int status = 0;
    WindowSnapshot(1, window, status);
    ShowDialogNearWindow(0, kShowSemiModeless, window);
  }
  ~NearWindowShow() {
    WDialogSelect(dialog_);
    WDialogHide();
    int status = 0;
    WindowSnapshot(0, window_, status);
    WEventTypeSwitch(kEventPushButton, pushKept_);
  }
  NearWindowShow(const NearWindowShow&) = delete;
  NearWindowShow& operator=(const NearWindowShow&) = delete;

  int Wait(std::initializer_list<int> buttons) {
    for (;;) {
      int type = 0;
      EventRecord r;
      WEventWait(type, r);
      WDialogSelect(dialog_);
      // A wait that ended (nothing left to answer it) counts as Cancel.
      if (type <= 0 || (type == kEventClose && r.window == -1)) return kCancel;
      if (type != kEventPushButton || r.window != dialog_) continue;
      for (const int b : buttons)
        if (r.value1 == b) return b;
    }
  }

 private:
  int window_;
  int dialog_;
  int pushKept_ = 1;
};

std::int32_t Query(int item) {
  int field = 0;
  std::int32_t v = 0;
  GridQuery(field, item, v);
  return v;
}

/// Column types of the grid of the current window.
std::vector<int> ColumnTypes() {
  std::vector<int> types;
  if (const GridRecord* g = FindGrid(0))
    for (const GridColumn& c : g->columns) types.push_back(c.type);
  return types;
}

/// Option cells get their first option, every other cell is emptied.
void EmptyRow(int row, int labels) {
  const std::vector<int> types = ColumnTypes();
  for (std::size_t i = 0; i < types.size(); ++i) {
    const int column = static_cast<int>(i) + 1;
    if (types[i] == kColumnOption)
      WGridPutCellOption(0, column, row, 1);
    else
      WGridClearCell(0, column, row);
  }
  if (labels == 1) WGridLabelRow(0, row, "");
}

std::string ReadString(int field, std::size_t size) {
  std::string text(size, ' ');
  WDialogGetString(field, text);
  return std::string(plat::TrimRight(text, plat::kBlankOrNul));
}

std::int32_t ReadCheck(int field) {
  std::int32_t v = 0;
  WDialogGetCheckBox(field, v);
  return v;
}

/// The judging of a save's last error code: true when it counts as saved.
bool JudgeSave(CommandFrame& frame) {
  const std::int32_t code = ErrorState().lastError;
  frame.KeepErrorUnlessClean(code);
  if (code == kErrOpen) {
    WMessageBox(kBoxOk, kIconExclamation, 1, "Error opening file", "File Error");
    return false;
  }
  if (code == kErrReadWrite) {
    WMessageBox(kBoxOk, kIconExclamation, 1, "Error writing file", "File Error");
    return false;
  }
  return true;
}

/// Keeps a copy of TARGET with ".bak" appended when it exists; false when
/// the copy of an existing file failed, so that it is not replaced.
bool BackUp(const std::string& target) {
  const std::string path(plat::Trim(target, plat::kBlankOrNul));
  if (path.empty() || !plat::PathExists(path)) return true;
  const std::int32_t before = ErrorState().lastError;
  ErrorState().lastError = 0;
  IOsCopyFile(path, path + ".bak");
  const bool ok = ErrorState().lastError == 0;
  if (ok) ErrorState().lastError = before;
  return ok;
}

/// The grid's file name with its extension made ".htm" (appended to a name
/// without one; a dot in a folder name does not count).
std::string HtmlProposal(const std::string& file) {
  if (plat::TrimRight(file, plat::kBlankOrNul).empty()) return {};
  std::string name(plat::TrimRight(file, plat::kBlankOrNul));
  const std::size_t slash = name.find_last_of("/\\");
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.resize(dot);
  return name + ".htm";
}

/// The file selection of the CSV commands with the caller's filter list
/// (empty: CSV files); NAME in: the proposal, out: the file chosen. False
/// when the user chose none.
bool AskForCsvFile(int flags, const std::string& filter, std::int32_t& filterIndex,
                   std::string& name) {
  std::string chosen = name;
  chosen.resize(std::max(kFileNameLength, chosen.size()), ' ');
  const std::string given = CText(filter);
  int index = filterIndex;
  WSelectFile(given.empty() ? kCsvFilter : std::string_view(given), flags, chosen, "", &index);
  filterIndex = index;
  if (WDialogStatusQuery(4) != 1) return false;
  name = std::string(plat::TrimRight(chosen, plat::kBlankOrNul));
  return true;
}

}  // namespace

GridCommandSettings& GridCommandsKept() {
  static GridCommandSettings kept;
  return kept;
}

// ---------------------------------------------------------------------------

void GridWindowGoto(int window, int mode) {
  CommandFrame frame(window);
  if (!frame.LoadDialog(mode == 1 ? kGotoCellDialog : kGotoDialog)) return;
  const std::int32_t columns = Query(1), rows = Query(3);
  const std::int32_t column = Query(4), row = Query(5);
  if (mode == 1) {
    WDialogPutInteger(1002, column);
    WDialogPutInteger(1004, row);
    WDialogRangeInteger(1002, 1, columns);
    WDialogRangeInteger(1004, 1, rows);
  } else if (mode == 2) {
    WDialogTitle("Goto Row");
    WDialogPutString(1001, "&Row");
    WDialogPutInteger(1002, row);
    WDialogRangeInteger(1002, 1, rows);
  } else {
    WDialogTitle("Goto Column");
    WDialogPutString(1001, "&Column");
    WDialogPutInteger(1002, column);
    WDialogRangeInteger(1002, 1, columns);
  }
  WDialogShow(-1, -1, 0, kShowModal);
  if (WDialogStatusQuery(1) != kOk) return;
  std::int32_t newColumn = column, newRow = row;
  if (mode == 1) {
    WDialogGetInteger(1002, newColumn);
    WDialogGetInteger(1004, newRow);
  } else if (mode == 2) {
    WDialogGetInteger(1002, newRow);
  } else {
    WDialogGetInteger(1002, newColumn);
  }
  WGridSetCell(0, newColumn, newRow);
}

void GridWindowFind(int window, int ask, std::int32_t& matchCase, std::int32_t& numbers,
                    std::string& text) {
  CommandFrame frame(window);
  bool strings = false, numeric = false;
  for (const int type : ColumnTypes()) {
    strings = strings || type == kColumnString;
    numeric = numeric || type == kColumnInteger || type == kColumnReal || type == kColumnDouble;
  }
  if (!strings && !numeric) {
    WMessageBox(kBoxOk, kIconExclamation, 1, "Grid contains no searchable columns", "Find");
    return;
  }
  int numbersState = 1;
  if (!strings) numbers = 1;
  if (!strings || !numeric) numbersState = 3;  // hidden
  std::string sought = CText(text);
  if (ask == 1) {
    if (!frame.LoadDialog(kFindDialog)) return;
    WDialogPutString(1002, sought);
    WDialogPutCheckBox(1003, matchCase);
    WDialogPutCheckBox(1004, numbers);
    WDialogFieldState(1004, numbersState);
    bool search = false;
    {
      NearWindowShow show(window, kFindDialog);
      for (;;) {
        if (show.Wait({kOk, kCancel}) == kCancel) break;
        std::int32_t length = 0;
        WDialogGetStringLength(1002, length);
        if (length <= 0) {
          OnOffKeyword(" ");
          continue;
        }
        std::string raw(static_cast<std::size_t>(std::max(length, 0)), ' ');
        WDialogGetString(1002, raw);
        sought = raw;
        matchCase = ReadCheck(1003);
        numbers = ReadCheck(1004);
        search = true;
        break;
      }
    }
    frame.EndDialog();
    if (!search) return;
  }
  // The search runs after the code of before is back, so that its own
  // failures stay readable.
  frame.PutErrorBackNow();
  std::int32_t found = 0;
  const int flags = kFindContinue | (matchCase == 1 ? 0 : kFindFoldCase) | (numbers == 1 ? kFindNumbers : 0);
  WGridFind(0, sought, flags, &found);
  if (found == 0) WMessageBox(kBoxOk, kIconInformation, 1, "End of grid reached", "Find");
  PutCText(text, sought);
}

void GridWindowDeleteRow(int window, int labels, int shrink) {
  CommandFrame frame(window);
  const std::int32_t rows = Query(3), row = Query(5);
  if (rows == 1 && shrink == 1)
    EmptyRow(row, labels);
  else
    WGridDeleteRows(0, row, 1, shrink, labels);
}

void GridWindowInsertRow(int window, int labels, int grow, int after) {
  CommandFrame frame(window);
  const std::int32_t rows = Query(3), row = Query(5);
  if (row == rows && after == 1) {
    if (grow != 1) return;
    WGridRows(0, rows + 1);
    if (Query(3) == rows + 1) EmptyRow(rows + 1, labels);
    return;
  }
  WGridInsertRows(0, row + (after == 1 ? 1 : 0), 1, grow, labels);
}

void GridWindowSort(int window, int labels, std::int32_t& sorted) {
  sorted = 0;
  CommandFrame frame(window);
  std::vector<std::string> names;
  const std::int32_t columns = Query(1);
  for (int c = 1; c <= columns; ++c) {
    int field = 0;
    std::string caption;
    GridColumnCaption(field, c, caption, 51);
    if (plat::TrimRight(caption, plat::kBlankOrNul).empty()) {
      std::string number(7, ' ');
      IntegerToString(c, number, "(I7)");
      caption = "Column " + std::string(plat::Trim(number));
    }
    names.push_back(caption);
  }
  if (!frame.LoadDialog(kSortDialog)) return;
  GridCommandSettings& kept = GridCommandsKept();
  WDialogPutMenu(1002, names, static_cast<int>(names.size()), Query(4));
  WDialogPutRadioButton(kept.sortDescending == 1 ? 1005 : 1004);
  WDialogPutCheckBox(1006, kept.sortMatchCase);
  WDialogShow(-1, -1, 0, kShowModal);
  if (WDialogStatusQuery(1) != kOk) return;
  sorted = 1;
  std::int32_t column = 0, position = 1;
  WDialogGetMenu(1002, column);
  WDialogGetRadioButton(1004, position);
  kept.sortDescending = position == 2 ? 1 : 0;
  kept.sortMatchCase = ReadCheck(1006);
  const int flags = (kept.sortDescending ? kSortDescending : 0) |
                    (kept.sortMatchCase == 1 ? 0 : kSortFoldCase) |
                    (labels == 1 ? kSortMoveLabels : 0);
  WGridSort(0, column, flags, 1, Query(3));
}

void GridWindowPrint(int window, int firstColumn, int lastColumn, int firstRow, int lastRow,
                     std::int32_t& printed) {
  CommandFrame frame(window);
  if (GridPrinterInstalled() == 0) {
    printed = 0;
    WMessageBox(kBoxOk, kIconStop, 1, "No printer installed", "Error");
    return;
  }
  if (!frame.LoadDialog(kPrintDialog)) return;
  std::int32_t o[5] = {}, scale = 100;
  GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], scale, 2);
  WDialogPutCheckBox(1002, o[0]);
  WDialogPutCheckBox(1003, o[1]);
  WDialogPutRadioButton(o[2] == 1 ? 1006 : 1005);
  WDialogPutRadioButton(o[4] == 1 ? 1010 : o[3] == 1 ? 1009 : 1008);
  WDialogPutInteger(1012, scale);
  bool print = false;
  {
    NearWindowShow show(window, kPrintDialog);
    for (;;) {
      const int b = show.Wait({kOk, kCancel, 1014});
      if (b == 1014) {
        GridPrintPageDialog(-1, 2);
        continue;
      }
      print = b == kOk;
      printed = print ? 1 : 0;
      break;
    }
    if (print) {
      std::int32_t fit = 1;
      WDialogGetRadioButton(1008, fit);
      WDialogGetInteger(1012, scale);
      GridPrintOptionsSet(ReadCheck(1002), ReadCheck(1003), ReadCheck(1006), fit >= 2 ? 1 : 0,
                          fit == 3 ? 1 : 0, scale, 2);
    }
  }
  if (print) GridPrint(0, printed, firstColumn, lastColumn, firstRow, lastRow, 2, "");
}

void GridWindowSaveHTML(int window, int firstRow, int lastRow, int firstColumn, int lastColumn,
                        std::int32_t& saved, int backup, const std::string& fileName) {
  saved = 0;
  CommandFrame frame(window);
  if (!frame.LoadDialog(kHtmlDialog)) return;
  GridCommandSettings& kept = GridCommandsKept();
  WDialogPutString(1002, HtmlProposal(CText(fileName)));
  WDialogPutRadioButton(kept.htmlTableOnly == 1 ? 1006 : 1005);
  WDialogPutRadioButton(kept.htmlLetters == 1 ? 1009 : 1008);
  WDialogPutCheckBox(1010, kept.htmlCentre);
  WDialogPutCheckBox(1011, kept.htmlColours);
  WDialogPutString(1013, kept.htmlTitle);
  WDialogPutInteger(1015, kept.htmlBorder);
  if (firstRow == -1) {
    WDialogPutRadioButton(1017);
    WDialogFieldState(1018, 0);
  } else {
    WDialogFieldState(1018, 1);
    WDialogPutRadioButton(1018);
  }
  std::string name;
  bool selection = false, go = false;
  {
    NearWindowShow show(window, kHtmlDialog);
    std::string browsed;
    for (;;) {
      const int b = show.Wait({kOk, kCancel, 1003});
      if (b == kCancel) break;
      name = ReadString(1002, kFileNameLength);
      if (b == 1003) {
        std::string chosen = name;
        chosen.resize(kFileNameLength, ' ');
        WSelectFile(kHtmlFilter, kSaveFlags, chosen, "");
        if (WDialogStatusQuery(4) == 1) {
          browsed = std::string(plat::TrimRight(chosen, plat::kBlankOrNul));
          WDialogPutString(1002, browsed);
        }
        continue;
      }
      if (name.empty()) {
        WMessageBox(kBoxOk, kIconExclamation, 1, "You must enter a filename", "Select File");
        WDialogSetField(1002);
        continue;
      }
      if (name != browsed && plat::PathExists(name)) {
        const int answer = MessageBoxAnswer(kBoxYesNo, kIconExclamation, 2,
                                            name + " already exists\rDo you want to replace it?",
                                            "Select File");
        if (answer != 1) {
          WDialogSetField(1002);
          continue;
        }
      }
      std::int32_t position = 1;
      WDialogGetRadioButton(1005, position);
      kept.htmlTableOnly = position == 2 ? 1 : 0;
      WDialogGetRadioButton(1008, position);
      kept.htmlLetters = position == 2 ? 1 : 0;
      kept.htmlCentre = ReadCheck(1010);
      kept.htmlColours = ReadCheck(1011);
      kept.htmlTitle = ReadString(1013, 1024);
      WDialogGetInteger(1015, kept.htmlBorder);
      WDialogGetRadioButton(1017, position);
      selection = position == 2;
      go = true;
      break;
    }
  }
  frame.EndDialog();
  if (!go) return;
  ErrorState().lastError = 0;
  if (backup == 1 && !BackUp(name)) {
    frame.KeepErrorUnlessClean(ErrorState().lastError);
    return;
  }
  const int flags = (kept.htmlTableOnly == 1 ? kHtmlTableOnly : 0) |
                    (kept.htmlCentre == 1 ? kHtmlCentre : 0) |
                    (kept.htmlLetters == 1 ? kHtmlCheckLetters : 0) |
                    (kept.htmlColours == 1 ? 0 : kHtmlNoColours);
  if (selection && firstRow != -1)
    WGridSaveHTML(0, name, firstColumn + 1, lastColumn + 1, firstRow + 1, lastRow + 1, flags,
                  kept.htmlTitle, kept.htmlBorder);
  else
    WGridSaveHTML(0, name, std::nullopt, std::nullopt, std::nullopt, std::nullopt, flags,
                  kept.htmlTitle, kept.htmlBorder);
  if (JudgeSave(frame)) saved = 1;
}

void GridWindowSaveCSV(int window, int saveAs, std::int32_t& saved, std::int32_t& filterIndex,
                       int backup, std::string& fileName, const std::string& filter) {
  saved = 0;
  CommandFrame frame(window);
  std::string name = CText(fileName);
  if (name.empty() || saveAs == 1) {
    if (!AskForCsvFile(kSaveFlags, filter, filterIndex, name)) return;
    PutCText(fileName, name);
  }
  ErrorState().lastError = 0;
  if (backup == 1 && !BackUp(name)) {
    frame.KeepErrorUnlessClean(ErrorState().lastError);
    return;
  }
  WGridSave(0, name);
  if (JudgeSave(frame)) saved = 1;
}

void GridWindowLoadCSV(int window, int ask, int grow, std::int32_t& loaded,
                       std::int32_t& filterIndex, std::string& fileName,
                       const std::string& filter) {
  loaded = 0;
  CommandFrame frame(window);
  std::string name = CText(fileName);
  if (ask == 1 && !AskForCsvFile(kOpenFlags, filter, filterIndex, name)) return;
  ErrorState().lastError = 0;
  WGridLoad(0, name, grow);
  const std::int32_t code = ErrorState().lastError;
  const auto box = [](std::string_view message, std::string_view title) {
    WMessageBox(kBoxOk, kIconExclamation, 1, message, title);
  };
  loaded = 1;
  switch (code) {
    case kErrOpen:
      box("Error opening file", "File Error");
      loaded = 0;
      break;
    case kErrReadWrite:
      box("Error reading file", "File Error");
      loaded = 0;
      break;
    case kErrNumberTooLarge:
    case kErrOutOfRange:
      box("Out of range value found for numeric cell", "Data Error");
      break;
    case kErrTwoDecimalPoints:
    case kErrInvalidCharacter:
      box("Non-numeric data found for numeric cell", "Data Error");
      break;
    case kErrGridFileTooBig:
      box("File contains too many rows/columns", "Data Error");
      break;
    case kErrGridMenuNoMatch:
      box("Non-matching data found for menu cell", "Data Error");
      break;
    default:
      break;
  }
  ErrorState().lastError = frame.FormerError();
  WGridSetCell(0, 1, 1);
  if (loaded == 1) PutCText(fileName, name);
}

}  // namespace tk
