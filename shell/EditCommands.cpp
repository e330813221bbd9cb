#include "shell/EditCommands.h"

#include <algorithm>
#include <string_view>

#include "display/PickMarks.h"
#include "display/TraceEdit.h"
#include "display/TracePlot.h"
#include "formats/SegyHeaders.h"
#include "shell/DialogHelpers.h"
#include "shell/HeaderEditor.h"
#include "shell/MouseInteraction.h"
#include "shell/PromptDialogs.h"
#include "shell/Velloran.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr std::string_view kLoadFirst = "PLEASE LOAD TRACES FIRST";
constexpr std::string_view kNotShorter =
    "New number of samples must be less than old number of samples";

enum TruncateField : int {
  kTrimEnd = 1254,
  kEndLength = 1255,
  kTrimStart = 1256,
  kStartLength = 1257,
  kKeepBeforePick = 1258,
  kBeforePick = 1259,
  kPickTrace = 1260,
};

enum RemoveField : int {
  kIncrementField = 1234,
  kLastField = 1235,
  kFirstField = 1236,
  kNumberField = 1240,
};

constexpr int kResampleBar = 1203;

// ---- Redraws of the main window ----

// A new frame for the whole record, the page and the traces; the pans are
// greyed because the frame shows everything again.
void RescaledRedraw(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  ShowNewRecord(app.record, app.MainPlotAxes, app.options, app.tracePlot);
  DrawOpenOverlays(app);
  SETPANSTATE(0);
}

// The page and the traces in the main frame as it is.
void FrameRedraw(Velloran& app) { RedrawMainWithOverlays(app); }

// ---- SEG-Y header words kept with the record ----

// The sample count of the binary header and of every trace header, when the
// record keeps SEG-Y headers.
void SetSegySampleCounts(ShotRecord& REC, std::int32_t count) {
  if (!REC.LSEGYHDR) return;
  SegyPut(REC.ISEGYBIN, segy_bin::kSamples, count);
  for (SegyTraceHeader& h : REC.ISEGYTRH) SegyPut(h, segy_trc::kSamples, count);
}

void SetSegySampleInterval(ShotRecord& REC, float intervalMs) {
  if (!REC.LSEGYHDR) return;
  const std::int32_t us = tk::NearestInt(static_cast<double>(intervalMs) * 1000.0);
  SegyPut(REC.ISEGYBIN, segy_bin::kSampleInterval, us);
  for (SegyTraceHeader& h : REC.ISEGYTRH) SegyPut(h, segy_trc::kSampleInterval, us);
}

// ---- Truncation ----

// The samples to skip and to keep for the truncation chosen; false when the
// choice does not give a count in 1..NSAMP - 1 (the record is then left
// alone). PICKTRACE and its pick are checked before they index anything.
bool TruncationWindow(const ShotRecord& REC, const TruncationValues& t, std::int32_t pickTrace,
                      std::int32_t& skip, std::int32_t& count) {
  std::int64_t keep = 0;
  if (t.mode <= 1) {
    keep = t.endLength;
  } else if (t.mode == 2) {
    keep = t.startLength;
  } else {
    if (pickTrace < 1 || pickTrace > REC.NTRACE ||
        static_cast<std::size_t>(pickTrace) > REC.IBPICK.size())
      return false;
    const std::int32_t pick = REC.IBPICK[static_cast<std::size_t>(pickTrace - 1)];
    if (pick < 1 || pick > REC.NSAMP || t.beforePick < 0) return false;
    keep = static_cast<std::int64_t>(REC.NSAMP) - pick + t.beforePick;
  }
  if (keep < 1 || keep >= REC.NSAMP) return false;
  count = static_cast<std::int32_t>(keep);
  skip = t.mode <= 1 ? 0 : REC.NSAMP - count;
  return true;
}

void EnableTruncateChoice(int button) {
  tk::WDialogFieldState(kEndLength, button == kTrimEnd ? tk::kFieldEnabled : tk::kFieldDisabled);
  tk::WDialogFieldState(kStartLength,
                        button == kTrimStart ? tk::kFieldEnabled : tk::kFieldDisabled);
  const int keep = button == kKeepBeforePick ? tk::kFieldEnabled : tk::kFieldDisabled;
  tk::WDialogFieldState(kBeforePick, keep);
  tk::WDialogFieldState(kPickTrace, keep);
}

// ---- Removal ----

// The fields accept 1 and more: a value below (the number before one has
// been entered) shows as 1.
void PutRemoveFields(std::int32_t first, std::int32_t last, std::int32_t number,
                     std::int32_t increment) {
  tk::WDialogPutInteger(kFirstField, std::max(first, 1));
  tk::WDialogPutInteger(kLastField, std::max(last, 1));
  tk::WDialogPutInteger(kNumberField, std::max(number, 1));
  tk::WDialogPutInteger(kIncrementField, std::max(increment, 1));
}

// ---- Pans ----

// Moves the frame by one whole frame width or height and redraws it.
void Pan(Velloran& app, float& start, std::int32_t divisions, float step, float direction) {
  start += direction * (static_cast<float>(divisions) * step);
  FrameRedraw(app);
}

// Runs EDIT on the loaded record with the values kept for it, then shows
// the whole record again (also after a cancelled dialog).
void EditWholeRecord(Velloran& app, void (*edit)(ShotRecord&, TraceEditValues&)) {
  if (!app.loaded) {
    sup::WINMSG(kLoadFirst);
    return;
  }
  edit(app.record, app.traceEdit);
  RescaledRedraw(app);
}

bool SelectedTraceValid(const Velloran& app) {
  return app.selectedTrace >= 1 && app.selectedTrace <= app.record.NTRACE;
}

}  // namespace

void TRUNCATEDLG(std::int32_t& MODE, std::int32_t& ENDLENGTH, std::int32_t& STARTLENGTH,
                 std::int32_t& BEFOREPICK, std::int32_t& PICKTRACE, std::int32_t& IERR) {
  tk::WDialogLoad(kTruncateDialog);
  tk::WDialogSelect(kTruncateDialog);
  const int choice = MODE <= 1 ? kTrimEnd : MODE == 2 ? kTrimStart : kKeepBeforePick;
  tk::WDialogPutRadioButton(choice);
  EnableTruncateChoice(choice);
  tk::WDialogPutInteger(kEndLength, ENDLENGTH);
  tk::WDialogPutInteger(kStartLength, STARTLENGTH);
  tk::WDialogPutInteger(kBeforePick, BEFOREPICK);
  tk::WDialogPutInteger(kPickTrace, PICKTRACE);
  IERR = -1;
  RunSemiModeless(kTruncateDialog, [&](int type, const tk::EventRecord& event) {
    if (type == tk::kEventFieldChanged) {
      // The field now current is the radio button just chosen.
      const int field = event.value2;
      if (field == kTrimEnd || field == kTrimStart || field == kKeepBeforePick) {
        tk::WDialogSelect(kTruncateDialog);
        EnableTruncateChoice(field);
      }
      return false;
    }
    if (event.value1 == 2) return true;
    if (event.value1 != 1) return false;
    tk::WDialogSelect(kTruncateDialog);
    if (const std::int32_t p = RadioPosition(kTrimEnd); p > 0) MODE = p;
    tk::WDialogGetInteger(kEndLength, ENDLENGTH);
    tk::WDialogGetInteger(kStartLength, STARTLENGTH);
    tk::WDialogGetInteger(kBeforePick, BEFOREPICK);
    tk::WDialogGetInteger(kPickTrace, PICKTRACE);
    IERR = 0;
    return true;
  });
}

void REMOVEDLG(std::int32_t& FIRST, std::int32_t& LAST, std::int32_t& NUMBER,
               std::int32_t& INCR, std::int32_t& STATUS) {
  tk::WDialogLoad(kRemoveDialog);
  tk::WDialogSelect(kRemoveDialog);
  PutRemoveFields(FIRST, LAST, NUMBER, INCR);
  for (;;) {
    if (ShowModalCentred() != 1) {
      STATUS = -1;
      return;
    }
    tk::WDialogGetInteger(kFirstField, FIRST);
    tk::WDialogGetInteger(kLastField, LAST);
    tk::WDialogGetInteger(kNumberField, NUMBER);
    tk::WDialogGetInteger(kIncrementField, INCR);
    if (NUMBER <= INCR) break;
    sup::WINMSG("Number to remove must be less than or equal to trace increment");
    tk::WDialogSelect(kRemoveDialog);
  }
  STATUS = 0;
}

void RESAMPLE(ShotRecord& REC, TraceEditValues& KEPT) {
  // The last count entered; the record's own count until one has been.
  std::int32_t count = KEPT.newSampleCount > 0 ? KEPT.newSampleCount : REC.NSAMP;
  std::int32_t status = 0;
  INUMINDLG("Enter new number of samples:", count, status);
  if (status != 0) return;
  KEPT.newSampleCount = count;
  if (count < 5 || count == REC.NSAMP) return;

  const bool shown = tk::WindowSlotInUse(tk::kMainWindow);
  if (shown) {
    tk::WDialogLoad(kResampleProgressDialog);
    tk::WDialogSelect(kResampleProgressDialog);
    tk::WDialogPutProgressBar(kResampleBar, 0);
    tk::WDialogShow(-1, -1, 0, tk::kShowModeless);
  }
  const ResampleStatus result = ResampleColumns(REC, count, [shown](int percent) {
    if (!shown) return;
    tk::WDialogSelect(kResampleProgressDialog);
    tk::WDialogPutProgressBar(kResampleBar, percent);
  });
  if (shown) {
    tk::WDialogSelect(kResampleProgressDialog);
    tk::WDialogHide();
  }
  switch (result) {
    case ResampleStatus::NoTableMemory:
      sup::WINMSG("CANNOT ALLOCATE TEMP ARRAY FOR RESIZE");
      return;
    case ResampleStatus::NoTraceMemory:
      sup::WINMSG("CANNOT ALLOCATE TRACE ARRAY FOR RESIZE");
      return;
    case ResampleStatus::Done:
      break;
  }
  SetSegySampleInterval(REC, REC.SAMPINT);
  SetSegySampleCounts(REC, REC.NSAMP);
}

void REMOVE(ShotRecord& REC, TraceEditValues& KEPT) {
  std::int32_t status = 0;
  REMOVEDLG(KEPT.first, KEPT.last, KEPT.number, KEPT.increment, status);
  if (status != 0) return;
  switch (RemoveTraces(REC, KEPT.first, KEPT.last, KEPT.number, KEPT.increment)) {
    case RemoveStatus::NoneLeft:
      sup::WINMSG("There are no traces left!");
      break;
    case RemoveStatus::CutOff:
    case RemoveStatus::Removed:
      // Kept SEG-Y headers are written back as they are: their count of
      // data traces must say where the auxiliary traces begin.
      if (REC.LSEGYHDR) SegyPut(REC.ISEGYBIN, segy_bin::kDataTraces, REC.NTRACE);
      break;
    case RemoveStatus::Unchanged:
      break;
  }
}

void EditShotHeaderCommand(Velloran& app) {
  if (!app.loaded) {
    sup::WINMSG(kLoadFirst);
    return;
  }
  // Nothing is redrawn afterwards, whatever the editor changed.
  int status = 0;
  HEADEDITDLG(app.record, true, 0, app.shotNavigation, status);
}

void TruncateCommand(Velloran& app) {
  if (!app.loaded) {
    sup::WINMSG(kLoadFirst);
    return;
  }
  ShotRecord& rec = app.record;
  TruncationValues& t = app.truncation;
  const auto intoRange = [&](std::int32_t& v) {
    if (v < 1 || v > rec.NSAMP) v = rec.NSAMP;
  };
  intoRange(t.endLength);
  intoRange(t.startLength);
  intoRange(app.fileOptions.NSAMPREAD);
  if (!SelectedTraceValid(app)) app.selectedTrace = 1;
  if (t.beforePick < 0) t.beforePick = 0;

  std::int32_t status = 0;
  TRUNCATEDLG(t.mode, t.endLength, t.startLength, t.beforePick, app.selectedTrace, status);
  if (status != 0) return;
  std::int32_t skip = 0;
  std::int32_t count = 0;
  if (TruncationWindow(rec, t, app.selectedTrace, skip, count)) {
    TrimSamples(rec, skip, count);
    SetSegySampleCounts(rec, count);
  } else {
    sup::WINMSG(kNotShorter);
  }
  RescaledRedraw(app);
}

void ResampleCommand(Velloran& app) {
  EditWholeRecord(app, RESAMPLE);
}

void RemoveCommand(Velloran& app) {
  EditWholeRecord(app, REMOVE);
}

void GainCommand(Velloran& app) {
  std::int32_t status = 0;
  FNUMINDLG("Enter multiplier for trace values:", app.gainMultiplier, status);
  if (status != 0) return;
  ShotRecord& rec = app.record;
  const float gain = app.gainMultiplier;
  for (std::int32_t j = 1; j <= rec.NTRACE; ++j) {
    for (float& v : Trace(rec, j)) v *= gain;
    if (static_cast<std::size_t>(j) <= rec.TRACEMAX.size())
      rec.TRACEMAX[static_cast<std::size_t>(j - 1)] *= gain;
  }
  // Scaled, not recomputed: a negative gain leaves GMIN above GMAX, which
  // makes the next Properties find the range again.
  rec.GMIN *= gain;
  rec.GMAX *= gain;
}

void ZoomCommand(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  app.settings.LZOOM = !app.settings.LZOOM;
  SETZOOMSTATE(app.settings.LZOOM);
}

void UnzoomCommand(Velloran& app) {
  app.previousFrame = app.MainPlotAxes;
  RescaledRedraw(app);
}

void LastzoomCommand(Velloran& app) {
  app.MainPlotAxes = app.previousFrame;
  FrameRedraw(app);
}

void PanLeftCommand(Velloran& app) {
  sup::GraphAxes& a = app.MainPlotAxes;
  Pan(app, a.XSTART, a.NXDIV, a.XSTEP, -1.0f);
}

void PanRightCommand(Velloran& app) {
  sup::GraphAxes& a = app.MainPlotAxes;
  Pan(app, a.XSTART, a.NXDIV, a.XSTEP, 1.0f);
}

void PanUpCommand(Velloran& app) {
  sup::GraphAxes& a = app.MainPlotAxes;
  Pan(app, a.YSTART, a.NYDIV, a.YSTEP, 1.0f);
}

void PanDownCommand(Velloran& app) {
  sup::GraphAxes& a = app.MainPlotAxes;
  Pan(app, a.YSTART, a.NYDIV, a.YSTEP, -1.0f);
}

void KillTraceCommand(Velloran& app) {
  if (!SelectedTraceValid(app) ||
      static_cast<std::size_t>(app.selectedTrace) > app.record.IBPICK.size())
    return;
  tk::WindowMakeCurrent(tk::kMainWindow);
  // The picks are exclusive-or markers: drawing them all again erases them,
  // and drawing them once more after the change shows them without this one.
  DrawPicks(app.record, app.MainPlotAxes, app.options, app.tracePlot.mapping);
  app.record.IBPICK[static_cast<std::size_t>(app.selectedTrace - 1)] = 0;
  DrawPicks(app.record, app.MainPlotAxes, app.options, app.tracePlot.mapping);
}

void FlipTraceCommand(Velloran& app) {
  if (!SelectedTraceValid(app)) return;
  for (float& v : Trace(app.record, app.selectedTrace)) v = -v;
  FrameRedraw(app);
}

}  // namespace vel
