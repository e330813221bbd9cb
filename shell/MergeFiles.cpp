#include "shell/MergeFiles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include "formats/Seg2Out.h"
#include "formats/SegyOut.h"
#include "platform/FixedText.h"
#include "record/FormatCodes.h"
#include "record/MergeIntervals.h"
#include "record/RecordNaming.h"
#include "shell/ChildWindows.h"
#include "shell/ExportCommands.h"
#include "shell/FileCommands.h"
#include "shell/FileOptions.h"
#include "shell/Import.h"
#include "shell/MultiFileCommands.h"
#include "shell/Velloran.h"
#include "support/Numerics.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr std::size_t kNameChars = 256;
constexpr std::size_t kSuffixChars = 7;
constexpr std::int32_t kNoTracesYet = 32000;

/// Where the file-name part of NAME begins: after its last "/" or "\".
std::size_t FileNameStart(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  return slash == std::string_view::npos ? 0 : slash + 1;
}

/// Every per-trace value of trace I of FROM, but its samples, maximum and
/// type text, as trace J of TO. Both hold the traces (checked per array).
void CopyTraceValues(const ShotRecord& from, std::int32_t i, ShotRecord& to, std::int32_t j) {
  const auto src = static_cast<std::size_t>(i - 1);
  const auto dst = static_cast<std::size_t>(j - 1);
  ForEachPerTraceMember([&](auto member) {
    auto& out = to.*member;
    // The maximum is found from the samples; the type text stays blank.
    const void* at = &out;
    if (at == &to.TRACEMAX || at == &to.CTRCTYPE) return;
    const auto& in = from.*member;
    if (dst < out.size() && src < in.size()) out[dst] = in[src];
  });
}

/// The header values the merged record takes from the first input.
void TakeHeader(ShotRecord& merged, const ShotRecord& first) {
  merged.SAMPINT = first.SAMPINT;
  merged.SPAREHDR = first.SPAREHDR;
  merged.TDELAY = first.TDELAY;
  merged.TUPHOLE = first.TUPHOLE;
  merged.SHOTX = first.SHOTX;
  merged.SHOTDEPTH = first.SHOTDEPTH;
  merged.SHOTELEV = first.SHOTELEV;
  merged.SPACING = first.SPACING;
  merged.ISHOT = first.ISHOT;
  merged.CUNITS = first.CUNITS;
  merged.LPICKS = first.LPICKS;
  merged.SHOTY = first.SHOTY;
  merged.LRADAR = first.LRADAR;
}

void Release(MergeInputs& inputs, ShotRecord& merged) {
  for (ShotRecord& r : inputs) ReleaseTraceArrays(r);
  MergeInputs().swap(inputs);
  ReleaseTraceArrays(merged);
}

/// Reads every input into its record. False after telling the user of the
/// first one that did not read as one record with traces, or of an abort:
/// nothing has been written then.
bool ReadInputs(const std::vector<std::string>& paths, MergeInputs& inputs) {
  for (std::size_t k = 0; k < paths.size(); ++k) {
    // A SEG-Y file of several records is only counted, its count coming
    // back as the record number: such a file is not one record to merge.
    std::int32_t recordNumber = 1;
    int ierr = 0;
    IMPORT(inputs[k], paths[k], recordNumber, ierr, true, false);
    if (ierr != 0 || inputs[k].NTRACE < 1 || recordNumber != 1) {
      sup::WINMSG("File not read: \"" + paths[k] + "\".\r\nMerge aborted");
      return false;
    }
    if (sup::LKILL(0)) {
      sup::WINMSG("Reading stopped after: \"" + paths[k] + "\".\r\nMerge aborted");
      return false;
    }
  }
  return true;
}

/// Writes MERGED to NAME as the merge options say. A writer that fails
/// has told the user.
void WriteComponent(Velloran& app, ShotRecord& merged, const std::string& name) {
  const FileOptionState& o = app.fileOptions;
  int ierr = 0;
  if (app.settings.IMERGE == 1) {
    SEG2OUT(merged, name, o.LMSBFIRST, o.IOUTFMT, false, app.settings.LREMOVEDELAY ? 1 : 0, ierr);
    return;
  }
  SEGYOUT(merged, name, WholeFileSegyOptions(o), ierr);
}

}  // namespace

std::string MergeProposedOutput(const std::string& folder, std::string_view firstName) {
  const std::string_view bare = firstName.substr(FileNameStart(firstName));
  return tk::JoinFolderAndName(folder, bare.substr(0, std::min(bare.find('.'), bare.size())));
}

std::size_t MergeStemLength(std::string_view outputName) {
  const std::string_view used = plat::TrimRight(outputName);
  const std::size_t start = FileNameStart(used);
  const std::size_t dot = used.find('.', start);
  return dot == std::string_view::npos ? used.size() : dot;
}

std::string MergeSuffix(std::int32_t i, bool suspens, bool segy) {
  static constexpr std::array<std::string_view, 6> kComponents = {
      "H1.SG2 ", "H1R.SG2", "V1.SG2 ", "H2.SG2 ", "H2R.SG2", "V2.SG2 "};
  if (suspens && i >= 1 && i <= 6) return std::string(kComponents[static_cast<std::size_t>(i - 1)]);
  std::string number = tk::FormatIntegerField(i, "(I3)");
  std::replace(number.begin(), number.end(), ' ', '0');
  return number + (segy ? ".SGY" : ".SG2");
}

std::string MergeOutputName(std::string_view outputName, std::size_t stemLength,
                            std::string_view suffix) {
  std::string out = plat::Padded(outputName.substr(0, std::min(stemLength, outputName.size())),
                                 stemLength);
  out += suffix;
  if (stemLength + kSuffixChars < outputName.size())
    out += outputName.substr(stemLength + kSuffixChars);
  return std::string(plat::TrimRight(out));
}

void GatherComponent(ShotRecord& merged, const MergeInputs& inputs, std::int32_t i) {
  if (inputs.empty()) return;
  TakeHeader(merged, inputs.front());
  merged.GMIN = 1e20f;
  merged.GMAX = -1e20f;
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    const ShotRecord& input = inputs[k];
    const auto j = static_cast<std::int32_t>(k + 1);
    CopyTraceValues(input, i, merged, j);
    merged.SHOTY = input.SHOTY;
    const std::span<float> column = Trace(merged, j);
    std::fill(column.begin(), column.end(), 0.0f);
    const std::span<const float> trace = Trace(input, i);
    std::copy_n(trace.begin(), std::min(trace.size(), column.size()), column.begin());
    float lo = 1e30f;
    float hi = -1e30f;
    sup::FINDNX(column, merged.NSAMP, lo, hi);
    if (k < merged.TRACEMAX.size()) merged.TRACEMAX[k] = std::max(std::fabs(lo), std::fabs(hi));
    merged.GMIN = std::min(merged.GMIN, lo);
    merged.GMAX = std::max(merged.GMAX, hi);
  }
}

void MergeFilesCommand(Velloran& app) {
  const tk::FileSelection chosen = ChooseInputs("Seismic Trace Data Files to be merged");
  if (chosen.names.empty()) return;
  if (chosen.names.size() == 1) {
    sup::WINMSG("cannot merge with only one input file");
    return;
  }
  CLOSEREFRACTWIND(app);
  sup::LKILL(1);
  std::vector<std::string> paths;
  if (!ExistingInputs(chosen, "Merge aborted", paths)) {
    sup::WINMSG("No files available for merging. Merge aborted.");
    return;
  }
  MergeInputs inputs;
  try {
    inputs.resize(paths.size());
  } catch (const std::bad_alloc&) {
    sup::WINMSG("Cannot allocate shots for merging.");
    return;
  }
  ShotRecord& merged = app.second;
  // The merged record starts afresh: nothing of an earlier command's record
  // (auxiliary traces, kept SEG-Y headers, SEG-2 file strings, its name)
  // goes into the outputs.
  merged = ShotRecord{};
  const bool read = ReadInputs(paths, inputs);
  sup::LKILL(1);
  if (!read) {
    Release(inputs, merged);
    return;
  }
  std::int32_t maxSamples = 0;
  std::int32_t minTraces = kNoTracesYet;
  for (const ShotRecord& r : inputs) {
    maxSamples = std::max(maxSamples, r.NSAMP);
    minTraces = std::min(minTraces, r.NTRACE);
  }
  const std::int32_t lastFormat = LastDetectedFormat();

  merged.NTRACE = static_cast<std::int32_t>(inputs.size());
  merged.NSAMP = maxSamples;
  if (!RebuildTraceArrays(merged)) {
    sup::WINMSG("Cannot allocate space for merged record");
    Release(inputs, merged);
    return;
  }

  std::string name = plat::Padded(MergeProposedOutput(chosen.folder, chosen.names.front()), kNameChars);
  std::int32_t& target = app.settings.IMERGE;
  int ierr = 0;
  MERGEDLG(name, target, lastFormat, ierr);
  if (ierr != 0) {
    Release(inputs, merged);
    return;
  }
  const std::size_t stemLength = MergeStemLength(name);
  FileOptionState& o = app.fileOptions;
  if (target == 1)
    SEG2OUTPUTDLG(o.IOUTFMT, o.LMSBFIRST, app.settings.LREMOVEDELAY, ierr);
  else
    SEGYOUTPUTDLG(o.IOUTFMT, o.LMSBFIRST, o.LEBCDIC, ierr);
  if (ierr != 0) {
    Release(inputs, merged);
    return;
  }
  merged.CRECNAME = RecordNameOfFile(std::string_view(name).substr(0, stemLength));
  merged.LSEGYHDR = false;

  const bool suspens = lastFormat == kFormatSuspens;
  const MergeIntervals intervals = ShellMergeIntervals();
  const bool seg2 = target == 1;
  for (std::int32_t i = 1; i <= minTraces; ++i) {
    GatherComponent(merged, inputs, i);
    if (suspens && i <= 6) merged.SAMPINT = i == 3 || i == 6 ? intervals.SAMPINTV : intervals.SAMPINTH;
    name = plat::Padded(MergeOutputName(name, stemLength, MergeSuffix(i, suspens, !seg2)),
                        kNameChars);
    tk::WindowMakeCurrent(tk::kMainWindow);
    tk::WSelectFile(seg2 ? "SEG-2 Seismic Files|*.SG2|" : "SEG-Y Seismic Files|*.SGY|",
                    kSelectOutput, name, seg2 ? "SEG-2 Seismic File" : "SEG-Y Seismic File");
    if (tk::WDialogStatusQuery(4) != 1 || plat::TrimRight(name).empty()) break;
    // The name accepted stays: the next component's suffix goes into it.
    WriteComponent(app, merged, std::string(plat::TrimRight(name)));
  }
  Release(inputs, merged);
  sup::WINMSG("Merge complete");
}

}  // namespace vel
