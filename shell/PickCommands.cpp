#include "shell/PickCommands.h"

#include <algorithm>

#include "display/PickAll.h"
#include "display/PickMarks.h"
#include "display/WaveletPicker.h"
#include "shell/ChildWindows.h"
#include "shell/PickDialogs.h"
#include "shell/Velloran.h"
#include "support/Allocation.h"
#include "support/UserMessages.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"

namespace vel {
namespace {

constexpr const char* kLoadFirst = "PLEASE LOAD TRACES FIRST";
constexpr const char* kSelectWaveletFirst = "Please select wavelet first";

void SetSimplePulse(Velloran& app) {
  app.picking.pulseSamples =
      SimplePulseSamples(app.picking.parameters.simple.SVPULSE, app.record.SAMPINT);
}

// The wavelet pulse width and a correlation array of NSAMP values; false
// when there is no room for the array (the user has been told).
bool PrepareWaveletRun(Velloran& app) {
  app.picking.pulseSamples = WaveletPulseSamples(app.picking.wavelet.count);
  const auto n = static_cast<std::size_t>(std::max(app.record.NSAMP, 0));
  return sup::AssignOrTell(app.picking.correlation, n,
                           "CANNOT ALLOCATE ARRAY FOR CROSS-CORRELATION");
}

void PickCommand(Velloran& app, std::int32_t method) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  if (!app.loaded) {
    sup::WINMSG(kLoadFirst);
    return;
  }
  if (method == kPickSimple) SetSimplePulse(app);
  PickAllTraces(app, method);
  RefreshRefractionWindow(app);
}

}  // namespace

void PickAllTraces(Velloran& app, std::int32_t method) {
  DrawPicks(app.record, app.MainPlotAxes, app.options, app.tracePlot.mapping);
  tk::WCursorShape(tk::kCursorArrowHourglass);
  PickTraces(app.record, app.picking, method);
  DrawPicks(app.record, app.MainPlotAxes, app.options, app.tracePlot.mapping);
  tk::WCursorShape(tk::kCursorArrow);
  app.record.LPICKS = true;
}

void SimplePickCommand(Velloran& app) { PickCommand(app, kPickSimple); }
void HatherlyPickCommand(Velloran& app) { PickCommand(app, kPickHatherly); }
void BoxPickCommand(Velloran& app) { PickCommand(app, kPickBox); }

void WaveletPickCommand(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  if (!app.loaded) {
    sup::WINMSG("Please load traces first");
    return;
  }
  if (!app.picking.wavelet.selected) {
    sup::WINMSG(kSelectWaveletFirst);
    return;
  }
  if (!PrepareWaveletRun(app)) return;
  PickAllTraces(app, kPickWavelet);
  RefreshRefractionWindow(app);
}

void EditPickParametersCommand(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  PickingState& p = app.picking;
  std::int32_t status = 0;
  PARMPK(p.parameters, p.method, status, p.parameterPage);
  tk::WindowMakeCurrent(tk::kMainWindow);
  if (status == -1) return;
  if (!app.loaded) {
    sup::WINMSG("Cannot pick without traces loaded");
    return;
  }
  if (p.method == kPickNone) return;
  if (p.method == kPickWavelet) {
    if (!p.wavelet.selected) {
      sup::WINMSG(kSelectWaveletFirst);
      return;
    }
    if (!PrepareWaveletRun(app)) return;
  }
  if (p.method == kPickSimple) SetSimplePulse(app);
  PickAllTraces(app, p.method);
}

void SelectWaveletCommand(Velloran& app) {
  if (!app.loaded) return;
  sup::WINMSG(
      "To select wavelet:\r\n"
      "\r\n"
      "1. Hold left button and drag Mouse to place elastic box around wavelet to select.\r\n"
      "2. Release mouse button to view selected wavelet.\r\n"
      "Now you can use Wavelet Pick, print wavelet or write Wavelet.");
  app.picking.savedZoom = app.settings.LZOOM;
  app.settings.LZOOM = false;
  app.picking.waveletSelection = true;
  tk::WMenuSetState(kCommandSelectWavelet, 2, 1);
}

void ViewWaveletCommand(Velloran& app) {
  if (!app.picking.wavelet.selected) {
    sup::WINMSG(kSelectWaveletFirst);
    return;
  }
  WINDOWWV(app);
  if (app.waveletWindow <= 0) return;
  RedrawWaveletWindow(app);
}

}  // namespace vel
