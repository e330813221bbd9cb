#include "shell/TracePlotDialog.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "formats/RecordRange.h"
#include "shell/DialogHelpers.h"
#include "shell/MouseInteraction.h"
#include "shell/Velloran.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

enum Field : int {
  kPlotVertical = 1001,
  kVariableArea = 1002,
  kPlotPicks = 1003,
  kGlobalMax = 1004,
  kTraceMax = 1005,
  kAgcEachTrace = 1006,
  kNoTimeLines = 1009,
  kMajorLines = 1010,
  kMinorLines = 1011,
  kWidth = 1015,
  kClip = 1016,
  kAgcPercent = 1017,
  kByNumber = 1023,
  kAtPosition = 1024,
  kPixelSize = 1161,
  kAllTraces = 1221,
  kSomeTraces = 1222,
  kFirstTrace = 1223,
  kLastTrace = 1224,
  kUseUserMax = 1225,
  kUserMax = 1226,
};

constexpr int kGainButtons[] = {kGlobalMax, kTraceMax, kAgcEachTrace};
constexpr int kTimeLineButtons[] = {kNoTimeLines, kMajorLines, kMinorLines};

// Width and clip show with one decimal where that holds the value. They are
// accepted from 0.01 to 100, and one decimal in four columns would show 0.04
// as 0.0 (out of range when read back) and 100 as ****: such values show
// with two decimals in seven.
void PutSpacing(int field, float value) {
  const std::string one = tk::FormatRealField(value, "(F4.1)");
  const bool exact = one.find('*') == std::string::npos &&
                     std::strtof(one.c_str(), nullptr) == value;
  tk::WDialogPutReal(field, value, exact ? "(F4.1)" : "(F7.2)");
}

void PutOptions(const TraceDisplayOptions& o, float globalMax) {
  PutSpacing(kWidth, o.TRACEWIDTH);
  PutSpacing(kClip, o.TRACECLIP);
  tk::WDialogPutReal(kAgcPercent, o.AGCFRAC * 100.0f, "(F6.0)");
  // A maximum the field cannot hold (none known yet) leaves it blank.
  const float shown = o.LUSERMAX ? o.USERMAX : globalMax;
  if (shown > 0.0f && std::isfinite(shown))
    tk::WDialogPutReal(kUserMax, shown);
  else
    tk::WDialogPutString(kUserMax, "");
  // F without a width is F15.7.
  tk::WDialogPutReal(kPixelSize, o.PIXELSIZE, "(F15.7)");
  sup::WDIALOGPUTCHECKBOXL(kPlotVertical, o.LVERTICAL);
  sup::WDIALOGPUTCHECKBOXL(kVariableArea, o.LVARAREA);
  sup::WDIALOGPUTCHECKBOXL(kPlotPicks, o.LPLOTPICKS);
  sup::WDIALOGPUTCHECKBOXL(kUseUserMax, o.LUSERMAX);
  PutRadioChoice(kGainButtons, o.IGAINMETHOD);
  PutRadioChoice(kTimeLineButtons, o.ITIMELINES);
  tk::WDialogPutRadioButton(o.LGEOPOS ? kAtPosition : kByNumber);
  const bool range = 0 < o.IFIRSTTRACE && o.IFIRSTTRACE < o.ILASTTRACE;
  tk::WDialogPutRadioButton(range ? kSomeTraces : kAllTraces);
  PutIntegerShown(kFirstTrace, o.IFIRSTTRACE);
  PutIntegerShown(kLastTrace, o.ILASTTRACE);
}

void GetOptions(TraceDisplayOptions& o) {
  GetRealIfSet(kWidth, o.TRACEWIDTH);
  GetRealIfSet(kClip, o.TRACECLIP);
  float percent = o.AGCFRAC * 100.0f;
  const bool agcSet = GetRealIfSet(kAgcPercent, percent);
  GetRealIfSet(kUserMax, o.USERMAX);
  GetRealIfSet(kPixelSize, o.PIXELSIZE);
  sup::WDIALOGGETCHECKBOXL(kPlotVertical, o.LVERTICAL);
  sup::WDIALOGGETCHECKBOXL(kVariableArea, o.LVARAREA);
  sup::WDIALOGGETCHECKBOXL(kPlotPicks, o.LPLOTPICKS);
  sup::WDIALOGGETCHECKBOXL(kUseUserMax, o.LUSERMAX);
  if (const std::int32_t p = RadioPosition(kGlobalMax); p > 0) o.IGAINMETHOD = p;
  if (const std::int32_t p = RadioPosition(kNoTimeLines); p > 0) o.ITIMELINES = p;
  o.LGEOPOS = RadioPosition(kByNumber) == 2;
  if (RadioPosition(kAllTraces) == 2) {
    std::int32_t first = 0;
    std::int32_t last = 0;
    GetIntegerIfSet(kFirstTrace, first);
    GetIntegerIfSet(kLastTrace, last);
    if (first > last) first = last = 0;
    o.IFIRSTTRACE = first;
    o.ILASTTRACE = last;
  } else {
    o.IFIRSTTRACE = 0;
    o.ILASTTRACE = 0;
  }
  // Divided rather than multiplied by 0.01, so that 30 percent gives 0.3 exactly.
  if (agcSet) o.AGCFRAC = percent / 100.0f;
}

}  // namespace

void TRACEPLOTDLG(TraceDisplayOptions& OPTS, std::int32_t& IERR, float GLOBALMAX) {
  tk::WDialogLoad(kTracePlotDialog);
  tk::WDialogSelect(kTracePlotDialog);
  PutOptions(OPTS, GLOBALMAX);
  if (ShowModalCentred() != 1) {
    IERR = -1;
    return;
  }
  GetOptions(OPTS);
  IERR = 0;
}

float ShownGlobalMaximum(const ShotRecord& REC) {
  return std::fabs(REC.GMIN) >= REC.GMAX ? std::fabs(REC.GMIN) : REC.GMAX;
}

void PropertiesCommand(Velloran& app) {
  const TraceDisplayOptions saved = app.options;
  std::int32_t status = 0;
  TRACEPLOTDLG(app.options, status, ShownGlobalMaximum(app.record));
  if (status != 0) return;
  if (app.record.GMIN >= app.record.GMAX) GMINMAX(app.record);
  const TraceDisplayOptions& now = app.options;
  // A new frame when the trace placement changed or a range of traces is
  // chosen; with no record there is nothing to scale to.
  bool rescale = false;
  if (app.loaded && (saved.LGEOPOS != now.LGEOPOS || saved.LVERTICAL != now.LVERTICAL ||
                     (now.LGEOPOS && saved.TRACECLIP != now.TRACECLIP))) {
    SCALETRACES(app.record, app.MainPlotAxes, app.options, false);
    rescale = true;
  }
  if (app.loaded && now.IFIRSTTRACE < now.ILASTTRACE) {
    SCALESOMETRACES(app.record, app.MainPlotAxes, app.options);
    rescale = true;
  }
  if (rescale) SETPANSTATE(0);
  tk::WindowMakeCurrent(tk::kMainWindow);
  if (app.loaded)
    RedrawRecord(app.record, app.MainPlotAxes, app.options, app.tracePlot);
  else
    sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, app.MainPlotAxes);
  // The fresh page cleared the overlays of the open NMO and refractor
  // dialogs: they are drawn again over the new picture.
  DrawOpenOverlays(app);
}

}  // namespace vel
