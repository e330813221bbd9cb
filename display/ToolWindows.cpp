#include "display/ToolWindows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "support/PenPlot.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/DialogStatus.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace vel {

void RunToolLoop(const bool& running, const std::function<void(int type, const tk::EventRecord& e)>& handle) {
  while (running) {
    int type = 0;
    tk::EventRecord e;
    tk::WEventWait(type, e);
    handle(type, e);
  }
}

void ToolPress::Take(const tk::EventRecord& e) {
  time = e.time;
  x = e.x;
  y = e.y;
  button = e.value1;
  window = e.window;
  tk::WEventTypeSwitch(tk::kEventButtonUp, 1);
  tk::WEventTypeSwitch(tk::kEventMouseMove, 1);
}

bool ToolPress::Dragging(const tk::EventRecord& e) const {
  return button == 1 && e.time - time > kToolDragMilliseconds;
}

int OpenToolWindow(int flags, int menu, const ToolPlace& place, std::string_view title) {
  int number = -1;
  tk::WindowOpenChild(number, flags, place.x, place.y, place.width, place.height, menu);
  if (number < 1) return 0;
  tk::WindowReposition(place.width, place.height, place.x, place.y, place.state);
  tk::WindowTitle(title);
  return number;
}

void TakeToolPlace(ToolPlace& place, std::int32_t heightExtra) {
  place.state = tk::WindowQuery(9);
  if (place.state != 1) return;
  place.x = tk::WindowQuery(5);
  place.y = tk::WindowQuery(6);
  place.width = tk::WindowQuery(1);
  place.height = tk::WindowQuery(2) + heightExtra;
}

void CloseToolWindow(int& number, ToolPlace& place) {
  if (number < 1) {
    number = 0;
    return;
  }
  tk::WindowMakeCurrent(number);
  TakeToolPlace(place, 0);
  tk::WindowCloseChild(number);
  number = 0;
}

int ToolPaneWindows::WindowOf(ToolPane p) const {
  switch (p) {
    case ToolPane::Input: return main;
    case ToolPane::Spectrum: return spectrum;
    case ToolPane::Output: return output;
    case ToolPane::Impulse: return impulse;
    case ToolPane::None: break;
  }
  return -1;
}

bool ToolPaneWindows::Shown(ToolPane p) const {
  return p == ToolPane::Input || (p != ToolPane::None && WindowOf(p) > 0);
}

ToolPane ToolPaneWindows::PaneOf(int n) const {
  if (n == main) return ToolPane::Input;
  if (n < 1) return ToolPane::None;
  if (n == spectrum) return ToolPane::Spectrum;
  if (n == output) return ToolPane::Output;
  if (n == impulse) return ToolPane::Impulse;
  return ToolPane::None;
}

void DrawToolPicture(bool hardcopy, sup::GraphAxes& axes, const std::function<void()>& draw) {
  if (hardcopy)
    sup::PLOTXY(0.0f, 1.0f, sup::kPenStartPage, axes);
  else
    sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
  draw();
}

void PrintToolPicture(sup::GraphAxes& axes, const std::function<void()>& draw,
                      const std::function<void()>& beforePrint,
                      const std::function<void()>& afterPrint) {
  tk::WHardcopyOptions();
  if (tk::WDialogStatusQuery(4) != 1) return;
  tk::WCursorShape(tk::kCursorHourglass);
  sup::PLOTXY(0.0f, 1.0f, sup::kPenStartPage, axes);
  if (beforePrint) beforePrint();
  draw();
  tk::WHardcopySwitch("S");
  tk::IGrStateReset("P");
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
  if (afterPrint) afterPrint();
  draw();
  tk::WCursorShape(tk::kCursorArrow);
}

bool ZoomBoxLargeEnough(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  return std::abs(x2 - x1) > 19 && std::abs(y2 - y1) > 19;
}

void WholeTraceSteps(sup::GraphAxes& a) {
  // Far more rounds than any float step below one trace can need.
  constexpr int kMostWidenings = 64;
  const float width = static_cast<float>(a.NXDIV) * a.XCELL;
  for (int round = 0; round < kMostWidenings && a.XSTEP > 0.0f && a.XSTEP < 1.0f; ++round) {
    a.XSTART = std::trunc(a.XSTART);
    const float end = a.XSTART + static_cast<float>(a.NXDIV) * a.XSTEP;
    a.XSTEP *= 2.0f;
    if (a.NXDIV > 2) a.NXDIV /= 2;
    if (a.XSTART + static_cast<float>(a.NXDIV) * a.XSTEP < end) a.NXDIV += 1;
    a.XCELL = width / static_cast<float>(a.NXDIV);
  }
  sup::FINDASX(a);
}

void TraceReadout(const ShotRecord& rec, const TraceDisplayOptions& opts, const sup::GraphAxes& traces,
                  std::int32_t x, std::int32_t y, int mainWindow, std::int32_t& lastTrace,
                  std::string_view valueLabel) {
  tk::WindowMakeCurrent(mainWindow);
  const float px = sup::XOFPL(sup::PageXOfWindow(x), traces);
  const float py = sup::YOFPL(sup::PageYOfWindow(y), traces);
  const float position = opts.LVERTICAL ? px : py;
  const float time = opts.LVERTICAL ? py : px;
  std::int32_t j = 0;
  if (opts.LGEOPOS) {
    float best = INFINITY;
    const auto n = std::min<std::size_t>(rec.GEOLOC.size(), static_cast<std::size_t>(std::max(rec.NTRACE, 0)));
    for (std::size_t k = 0; k < n; ++k) {
      const float d = std::abs(rec.GEOLOC[k] - position);
      if (d < best) {
        best = d;
        j = static_cast<std::int32_t>(k + 1);
      }
    }
    if (rec.SPACING > 0.0f && !(best < rec.SPACING)) j = 0;
  } else {
    j = tk::NearestInt(position);
  }
  const std::int32_t s = tk::NearestInt((time - rec.TDELAY) / rec.SAMPINT);
  if (j < 1 || j > rec.NTRACE || s < 1 || s > rec.NSAMP) {
    for (int part = 1; part <= 5; ++part) tk::WindowStatusText(part, "No Trace");
    lastTrace = 0;
    return;
  }
  tk::WindowStatusText(3, "Sample:" + tk::FormatIntegerField(s, "(I7)"));
  std::string value;
  int shown = 0;
  sup::FMTFN(value, Trace(rec, j)[static_cast<std::size_t>(s - 1)], shown);
  value.resize(12, ' ');
  tk::WindowStatusText(4, std::string(valueLabel) + value);
  tk::WindowStatusText(2, "Time (ms):" + tk::FormatRealField(time, "(F9.2)"));
  if (j != lastTrace) {
    tk::WindowStatusText(1, "Trace:" + tk::FormatIntegerField(j, "(I5)"));
    const std::int32_t pick = static_cast<std::size_t>(j) <= rec.IBPICK.size()
                                  ? rec.IBPICK[static_cast<std::size_t>(j - 1)]
                                  : 0;
    tk::WindowStatusText(5, pick >= 1 ? "First Break:" + tk::FormatRealField(PickTime(rec, pick), "(F8.2)")
                                      : std::string("No Pick"));
    lastTrace = j;
  }
}

bool SpectrumRecordUsable(float sampleInterval, std::int64_t samples) {
  if (!(sampleInterval > 0.0f) || !std::isfinite(sampleInterval)) {
    sup::WINMSG("SAMPLE INTERVAL NOT VALID: NO SPECTRUM CAN BE COMPUTED");
    return false;
  }
  if (samples < 3) {
    sup::WINMSG("AT LEAST 3 SAMPLES ARE NEEDED FOR A SPECTRUM");
    return false;
  }
  return true;
}

}  // namespace vel
