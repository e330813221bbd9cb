#include "shell/MultiFileCommands.h"

#include <malloc.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "formats/Seg2Out.h"
#include "formats/SegyHeaders.h"
#include "formats/SegyIn.h"
#include "formats/SegyOut.h"
#include "platform/FixedText.h"
#include "platform/system/Directory.h"
#include "record/FormatCodes.h"
#include "record/FreshRecord.h"
#include "record/RecordNaming.h"
#include "shell/ChildWindows.h"
#include "shell/ExportCommands.h"
#include "shell/FileCommands.h"
#include "shell/FileOptions.h"
#include "shell/HeaderEditor.h"
#include "shell/Import.h"
#include "shell/PromptDialogs.h"
#include "shell/Velloran.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr std::size_t kNameChars = 256;
constexpr std::size_t kListChars = 32767;
constexpr std::size_t kConvertedNameChars = 24;
// An open dialog for one file, asking before taking a missing one.
constexpr int kSelectInput = tk::kSelectConfirm | tk::kSelectKeepFolder | tk::kSelectDefaultExtension;
constexpr int kSelectOutputFolder = tk::kDirOfferCreate | tk::kDirMakeCurrent;
constexpr int kProgressFile = 1020;
constexpr int kProgressBar = 1021;
constexpr std::string_view kTraceFileFilter =
    "Seismic Trace Data Files|*.DAT;*.ABM;*.BSN;*.EGG;*.ORG;*.OYO;*.SG2;*SGY;*.FPX;*.?DT|";

// Dialog 102, shown semi-modeless while a run over several files goes on:
// the file in hand in field 1020, the bar of the reader or writer in 1021.
// Dialog 102 belongs to the main window: without it (a run outside the
// program) the progress is not shown.
bool ProgressShown() {
  return tk::WindowSlotInUse(tk::kMainWindow);
}
void SelectProgress(int percent) {
  if (!ProgressShown()) return;
  tk::WDialogSelect(kConversionProgressDialog);
  tk::WDialogPutProgressBar(kProgressBar, percent);
}
void ShowProgressFile(std::string_view path) {
  if (!ProgressShown()) return;
  tk::WDialogSelect(kConversionProgressDialog);
  tk::WDialogPutString(kProgressFile, path);
}
void ShowProgress() {
  tk::WDialogLoad(kConversionProgressDialog);
  SelectProgress(0);
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);
  sup::LKILL(1);
}
void HideProgress() {
  tk::WDialogSelect(kConversionProgressDialog);
  tk::WDialogHide();
}

/// Reads record R of the file PATH, of COUNT records, into REC. INRECORDS
/// has already read a SEG-Y file of one record into REC, so that one is not
/// read a second time. False after the reader has told the user.
bool ReadRecord(ShotRecord& REC, const std::string& path, std::int32_t r, std::int32_t count,
                std::int32_t counted) {
  if (count == 1 && counted == kFormatSegy) return true;
  std::int32_t recordNumber = r;
  int ierr = 0;
  IMPORT(REC, path, recordNumber, ierr, false, true);
  return ierr == 0;
}

/// Closes the output of a multi-record SEG-Y sequence, if it is open. The
/// close goes through the writer's own close with a record of no traces
/// whose interval and sample count pass the writer's checks.
void CloseSegyOutput(std::string_view name, const SegyOutOptions& options, SegyOutState& state) {
  if (!state.Open()) return;
  ShotRecord closer;
  closer.SAMPINT = 1.0f;
  SegyOutOptions close = options;
  close.closeAtEnd = true;
  int ierr = 0;
  SEGYOUT(closer, name, close, ierr, state);
}

/// Numbers every trace's STATIONS with N when the first trace has no
/// positive one. A record that brings its own SEG-Y trace headers is written
/// from them, so FIELD of each of those takes the number too.
void NumberStations(ShotRecord& REC, std::vector<std::int32_t>& stations, SegyField field,
                    std::int32_t n) {
  if (stations.empty() || stations.front() > 0) return;
  std::fill(stations.begin(), stations.end(), n);
  if (REC.LSEGYHDR)
    for (SegyTraceHeader& h : REC.ISEGYTRH) SegyPut(h, field, n);
}

}  // namespace

tk::FileSelection ChooseInputs(std::string_view title) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  std::string list(kListChars, ' ');
  tk::WSelectFile(kTraceFileFilter, kSelectInputs, list, title);
  if (tk::WDialogStatusQuery(4) != 1) return {};
  return tk::SplitFileSelection(list);
}

bool FileExists(const std::string& path) {
  plat::FileDetails details;
  return plat::QueryFileDetails(path, details) == 0 && !details.directory;
}

bool ExistingInputs(const tk::FileSelection& chosen, std::string_view aborted,
                    std::vector<std::string>& paths) {
  for (const std::string& name : chosen.names) {
    const std::string path = tk::JoinFolderAndName(chosen.folder, name);
    if (!FileExists(path)) {
      sup::WINMSG("File not found: \"" + plat::Padded(path, kNameChars) + "\".\r\n" +
                  std::string(aborted));
      return false;
    }
    paths.push_back(path);
    if (sup::LKILL(0)) break;
  }
  return true;
}

std::string ConversionOutputName(std::string_view name, std::int32_t r, std::int32_t n, int mode) {
  std::string out(name.substr(0, std::min(name.find('.'), name.size())));
  if (n > 1) {
    const std::size_t digits = n < 10 ? 1 : n < 100 ? 2 : n < 10000 ? 4 : 5;
    std::string number = std::to_string(r);
    // Numbers wider than the field keep every digit, so no two records
    // share an output.
    if (number.size() < digits) number.insert(0, digits - number.size(), '0');
    out += number;
  }
  out += mode == kConvertToSegy ? ".SGY" : ".SG2";
  return out;
}

std::string CombineMismatchDetail(std::int32_t refSamples, std::int32_t samples,
                                  std::int32_t refTraces, std::int32_t traces, float refInterval,
                                  float interval) {
  const std::string line =
      "Samples: " + tk::FormatIntegerField(refSamples, "(I7)") + "," +
      tk::FormatIntegerField(samples, "(I7)") + " Traces: " +
      tk::FormatIntegerField(refTraces, "(I5)") + "," + tk::FormatIntegerField(traces, "(I5)") +
      " Dt: " + tk::FormatRealField(refInterval, "(F10.4)") + "," +
      tk::FormatRealField(interval, "(F10.4)");
  return std::string(plat::TrimRight(line));
}

void ConvertFiles(const tk::FileSelection& chosen, std::string_view outputFolder, int mode,
                  const ConversionOptions& c, bool removeDelay) {
  // Each file's record is read and written one after another: without this
  // the heap's top would go back to the system after every file and be taken
  // again for the next, and with the readers' worker threads alive every
  // such return flushes the address cache of every core. Fixing the trim
  // threshold stops the allocator from adapting its mapping threshold, so
  // that is fixed too, at the largest value it would adapt to: else every
  // later record of more than 128 KB would be mapped afresh, and its pages
  // faulted in anew, on every read for the rest of the run.
  static const bool kept =
      mallopt(M_TRIM_THRESHOLD, 64 << 20) == 1 && mallopt(M_MMAP_THRESHOLD, 32 << 20) == 1;
  (void)kept;
  const SegyOutOptions segy = ChosenSegyOptions(c.IOUTFMT, c.LEBCDIC, c.LMSBFIRST, true);
  // Shared by every file written, so that a rounded sample interval is told
  // once for the whole conversion.
  SegyOutState segyState;
  int ierr = 0;
  bool askBeforeOverwriting = true;
  ShotRecord rec;  // the conversion record
  for (const std::string& name : chosen.names) {
    SelectProgress(0);
    const std::string input = tk::JoinFolderAndName(chosen.folder, name);
    ShowProgressFile(input);
    std::int32_t count = 0;
    INRECORDS(rec, input, ierr, count);
    // A file that cannot be counted ends the conversion; earlier outputs stay.
    if (ierr != 0) break;
    const std::int32_t counted = LastDetectedFormat();
    bool readFailed = false;
    for (std::int32_t r = 1; r <= count; ++r) {
      if (!ReadRecord(rec, input, r, count, counted)) {
        readFailed = true;
        break;
      }
      const std::string fileName = ConversionOutputName(name, r, count, mode);
      const std::string output = tk::JoinFolderAndName(outputFolder, fileName);
      rec.CRECNAME = std::string_view(fileName).substr(
          0, std::min(fileName.size() - 4, kConvertedNameChars));
      ShowProgressFile(output);
      if (askBeforeOverwriting && FileExists(output)) {
        std::int32_t answer = kOverwriteCancel;
        OWRITEDLG(output, answer);
        SelectProgress(0);
        if (answer == kOverwriteNo) continue;
        if (answer == kOverwriteYesToAll) {
          askBeforeOverwriting = false;
        } else if (answer != kOverwriteYes) {
          break;  // the rest of this file is skipped
        }
      }
      // A writer that fails has told the user; the conversion goes on.
      int written = 0;
      if (mode == kConvertToSegy)
        SEGYOUT(rec, output, segy, written, segyState);
      else
        SEG2OUT(rec, output, c.LMSBFIRST, c.IOUTFMT, true, removeDelay ? 1 : 0,
                written);
      // Cancel skips the rest of this file. The latch stays set, so the next
      // file's reader stops with its own message and ends the conversion.
      if (sup::LKILL(0)) break;
    }
    if (readFailed) break;
  }
  sup::LKILL(1);
  ReleaseTraceArrays(rec);
}


void CONVERT(Velloran& app, int mode) {
  const tk::FileSelection chosen = ChooseInputs("Seismic Trace Data Files to be converted");
  if (chosen.names.empty()) return;
  // The input folder is proposed for the outputs.
  std::string folder = plat::Padded(chosen.folder, kNameChars);
  tk::WSelectDir(kSelectOutputFolder, folder, "Path for converted file output");
  if (tk::WDialogStatusQuery(4) != 1 || plat::TrimRight(folder).empty()) return;
  const std::string outputFolder(plat::TrimRight(folder));
  CLOSEREFRACTWIND(app);

  ConversionOptions& c = app.conversion;
  int ierr = 0;
  if (mode == kConvertToSegy)
    SEGYOUTPUTDLG(c.IOUTFMT, c.LMSBFIRST, c.LEBCDIC, ierr);
  else
    SEG2OUTPUTDLG(c.IOUTFMT, c.LMSBFIRST, app.settings.LREMOVEDELAY, ierr);
  if (ierr != 0) return;
  ShowProgress();
  ConvertFiles(chosen, outputFolder, mode, c, app.settings.LREMOVEDELAY);
  HideProgress();
  sup::LKILL(1);
}

void ConvertSeg2Command(Velloran& app) {
  CONVERT(app, kConvertToSeg2);
}

void ConvertSegyCommand(Velloran& app) {
  CONVERT(app, kConvertToSegy);
}

void CombineCommand(Velloran& app) {
  const tk::FileSelection chosen = ChooseInputs("Seismic Trace Data Files to be combined");
  if (chosen.names.empty()) return;
  if (chosen.names.size() == 1) {
    sup::WINMSG("cannot combine with only one input file");
    return;
  }
  CLOSEREFRACTWIND(app);
  std::vector<std::string> inputs;
  if (!ExistingInputs(chosen, "Combine aborted", inputs)) {
    sup::WINMSG("No files available for combining. Combine aborted.");
    return;
  }
  std::string output = plat::Padded(tk::JoinFolderAndName(chosen.folder, ""), kNameChars);
  tk::WindowMakeCurrent(tk::kMainWindow);
  tk::WSelectFile("SEG-Y Seismic Files|*.SGY|", kSelectOutput, output, "SEG-Y Seismic Output File");
  if (tk::WDialogStatusQuery(4) != 1 || plat::TrimRight(output).empty()) return;
  app.outputName = output;
  const std::string outputName(plat::TrimRight(output));
  FileOptionState& o = app.fileOptions;
  int ierr = 0;
  SEGYOUTPUTDLG(o.IOUTFMT, o.LMSBFIRST, o.LEBCDIC, ierr);
  if (ierr != 0) return;
  SEGYSTANDARDDLG(app.disallowVariableTraces, ierr);
  if (ierr != 0) return;

  SegyOutOptions options = ChosenSegyOptions(o.IOUTFMT, o.LEBCDIC, o.LMSBFIRST, true);
  options.oneTracePerRecord = !app.disallowVariableTraces;
  SegyOutState out;
  ShotRecord& rec = app.second;

  ShowProgress();
  // True when the run ends in failure; a Cancel noticed between records
  // ends it as complete.
  const auto run = [&]() -> bool {
    bool writeHeaders = true;
    std::int32_t written = 0;
    std::int32_t refTraces = 0;
    float refInterval = 0.0f;
    for (std::size_t k = 0; k < inputs.size(); ++k) {
      const std::string& input = inputs[k];
      SelectProgress(0);
      std::int32_t count = 0;
      int e = 0;
      INRECORDS(rec, input, e, count);
      if (e != 0) return true;
      const std::int32_t counted = LastDetectedFormat();
      ShowProgressFile(input);
      for (std::int32_t r = 1; r <= count; ++r) {
        if (!ReadRecord(rec, input, r, count, counted)) return true;
        if (sup::LKILL(0)) return false;
        const bool last = r == count && k + 1 == inputs.size();
        if (k == 0 && r == 1) {
          o.NSAMPREAD = rec.NSAMP;
          refTraces = rec.NTRACE;
          refInterval = rec.SAMPINT;
        } else if (rec.SAMPINT != refInterval || rec.NSAMP != o.NSAMPREAD ||
                   (app.disallowVariableTraces && rec.NTRACE != refTraces)) {
          sup::WINMSG(
              std::string(app.disallowVariableTraces
                              ? "All input files must have same number of samples, number of "
                                "traces and sample rate"
                              : "All input files must have same number of samples and sample "
                                "rate") +
              "\r\n" + input + ": \r\n" +
              CombineMismatchDetail(o.NSAMPREAD, rec.NSAMP, refTraces, rec.NTRACE, refInterval,
                                    rec.SAMPINT) +
              "\r\n\r\nCombine files aborting here!");
          return true;
        }
        ++written;
        // A record whose first trace has no positive station number is
        // numbered by its place in the output file; source and receiver
        // stations each on their own.
        NumberStations(rec, rec.ISRCSTN, segy_trc::kFieldRecord, written);
        NumberStations(rec, rec.IRCVSTN, segy_trc::kTraceInRecord, written);
        options.writeHeaders = writeHeaders;
        options.closeAtEnd = last;
        SEGYOUT(rec, outputName, options, e, out);
        // The writer has told the user why it failed; nothing more is
        // appended to a file that may end in a partial trace.
        if (e != 0) return true;
        if (last || sup::LKILL(0)) return false;
        writeHeaders = false;
      }
      if (sup::LKILL(0)) return false;
    }
    return false;
  };
  const bool failed = run();
  CloseSegyOutput(outputName, options, out);
  ReleaseTraceArrays(rec);
  HideProgress();
  sup::LKILL(1);
  sup::WINMSG(failed ? "Combine failed!" : "Combine complete.");
}

void ConcatenateCommand(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  std::string name(kNameChars, ' ');
  tk::WSelectFile("Multi-record SEG-Y Trace Data Files|*.SGY|", kSelectInput, name,
                  "Multi-record SEG-Y  Trace Data File");
  if (tk::WDialogStatusQuery(4) != 1) return;
  const tk::FileSelection chosen = tk::SplitFileSelection(name);
  if (chosen.names.empty()) return;
  const std::string& bare = chosen.names.front();
  // The joined record, its name and the title replace the current ones only
  // when the read and the header editor both succeed.
  const bool read = ReadThenCommit(app.record, ReadStart::Spacing, [&](ShotRecord& fresh) {
    fresh.CRECNAME = RecordNameOfFile(bare);
    SegyInOptions options;
    options.countOnly = false;
    options.selectRecord = false;
    options.compliant = true;
    options.readTextHeader = true;
    options.readBinaryHeader = true;
    options.bigEndian = false;
    options.useTraceHeaders = false;
    options.joinAll = true;
    std::int32_t recordNumber = 0;
    int ierr = 0;
    UseProgramReaderDialogs();
    SEGYIN(fresh, bare, recordNumber, ierr, options, SegyReaderState());
    if (ierr != 0) return false;
    // The joined record is named after the file, not after one of its records.
    fresh.CRECNAME = RecordNameOfFile(bare);
    HEADEDITDLG(fresh, true, 0, app.shotNavigation, ierr);
    if (ierr != 0) return false;
    fresh.IFORMAT = kFormatSegy;
    return true;
  });
  if (!read) return;
  ShowImportedRecord(app, bare);
}

void SubtractCommand(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  std::string name(kNameChars, ' ');
  tk::WSelectFile(kTraceFileFilter, kSelectInput, name, "Seismic Trace Data File");
  if (tk::WDialogStatusQuery(4) != 1) return;
  const tk::FileSelection chosen = tk::SplitFileSelection(name);
  if (chosen.names.empty()) return;
  // The chosen folder is now the current directory.
  const std::string& bare = chosen.names.front();
  std::int32_t recordNumber = 0;
  int ierr = 0;
  IMPORT(app.second, bare, recordNumber, ierr, false, false);
  if (ierr != 0) return;  // the reader has told the user; nothing is redrawn

  ShotRecord& rec = app.record;
  const ShotRecord& other = app.second;
  const char* mismatch = rec.NTRACE != other.NTRACE   ? "Number of traces does not match."
                         : rec.NSAMP != other.NSAMP   ? "Number of samples does not match."
                         : rec.SAMPINT != other.SAMPINT ? "Sample rate does not match."
                                                        : nullptr;
  if (mismatch != nullptr) {
    sup::WINMSG(mismatch);
  } else {
    CLOSEREFRACTWIND(app);
    // Only the samples change: the trace maxima, the record's range and the
    // picks keep their values, so the gain still follows the old amplitudes.
    for (std::int32_t j = 1; j <= rec.NTRACE; ++j) {
      const std::span<float> a = Trace(rec, j);
      const std::span<const float> b = Trace(std::as_const(app.second), j);
      const std::size_t n = std::min(a.size(), b.size());
      for (std::size_t i = 0; i < n; ++i) a[i] -= b[i];
    }
    SCALETRACES(rec, app.MainPlotAxes, app.options, false);
  }
  ReleaseTraceArrays(app.second);
  tk::WindowMakeCurrent(tk::kMainWindow);
  RedrawRecord(rec, app.MainPlotAxes, app.options, app.tracePlot);
  SETPANSTATE(0);
}

}  // namespace vel
