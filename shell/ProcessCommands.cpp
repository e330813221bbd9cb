#include "shell/ProcessCommands.h"

#include <cmath>
#include <vector>

#include "display/BandpassWindow.h"
#include "display/FkFilterWindow.h"
#include "display/SpectrumWindow.h"
#include "display/TracePlot.h"
#include "shell/ChildWindows.h"
#include "shell/TracePlotDialog.h"
#include "shell/Velloran.h"
#include "support/Allocation.h"
#include "support/Numerics.h"
#include "support/Regres.h"
#include "support/ProgramState.h"
#include "support/UserMessages.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/Windows.h"

namespace vel {
namespace {

bool HasSamples(const Velloran& app) { return app.loaded && app.record.NSAMP >= 1; }

// The changed record in the frame as it is: the amplitudes are not rescaled.
void RedrawChanged(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  RedrawRecord(app.record, app.MainPlotAxes, app.options, app.tracePlot);
}

void TraceOperation(Velloran& app, void (*operation)(ShotRecord&)) {
  if (!HasSamples(app)) return;
  operation(app.record);
  RedrawChanged(app);
}

// What the shell does around a filter tool that takes over the main window:
// the place and frame kept before, and menu, place, toolbar, title, picture
// and menu states put back after. BANDPASS adds the steps the F-K window
// does itself (the zoom tick before, the main menu after).
void AroundFilterTool(Velloran& app, bool bandpass,
                      const std::function<void(ShotRecord&, TraceDisplayOptions&,
                                               std::int32_t&)>& tool) {
  TakeMainPlacement(app);
  const sup::GraphAxes filterSavedFrame = app.MainPlotAxes;
  if (bandpass) SETZOOMSTATE(app.settings.LZOOM);
  std::int32_t status = 0;
  tool(app.record, app.options, status);
  if (bandpass) tk::WMenuWindow(kMainMenu, tk::kMainWindow);
  SETZOOMSTATE(app.settings.LZOOM);
  app.MainPlotAxes = filterSavedFrame;
  tk::WindowMakeCurrent(tk::kMainWindow);
  const WindowPlacement& place = app.settings.mainWindow;
  tk::WindowReposition(place.width, place.height,
                       place.x >= 0 ? std::optional<int>(place.x) : std::nullopt,
                       place.y >= 0 ? std::optional<int>(place.y) : std::nullopt, place.state);
  tk::WMenuToolbar(kMainToolbar);
  tk::WindowTitle(ProcessingTitle(app.record));
  RedrawChanged(app);
  SETMENUSTATES();
  SETZOOMSTATE(app.settings.LZOOM);
}

ToolPlace PlaceOf(const WindowPlacement& p) { return {p.x, p.y, p.width, p.height, p.state}; }
void KeepPlace(WindowPlacement& p, const ToolPlace& t) {
  p = {t.x, t.y, t.width, t.height, t.state};
}

// The band-pass window on the shell's record, with the shell's places,
// corners, zoom mode and properties dialog; what it changes of them is kept.
void RunBandpassWindow(Velloran& app, ShotRecord& rec, TraceDisplayOptions& opts,
                       std::int32_t& status) {
  SettingsValues& s = app.settings;
  BandpassWindowContext ctx;
  ctx.corners = s.bandpass;
  ctx.input = PlaceOf(s.filterInputWindow);
  ctx.spectrum = PlaceOf(s.filterSpectrumWindow);
  ctx.output = PlaceOf(s.filterOutputWindow);
  ctx.impulse = PlaceOf(s.filterImpulseWindow);
  ctx.dialog = PlaceOf(s.filterDialog);
  ctx.zoom = s.LZOOM;
  ctx.barHeight = app.toolbarHeight;
  ctx.properties = [](TraceDisplayOptions& o, std::int32_t& ierr, float globalMax) {
    TRACEPLOTDLG(o, ierr, globalMax);
  };
  FILTER(rec, opts, false, status, tk::kMainWindow, ctx);
  s.bandpass = ctx.corners;
  KeepPlace(s.filterInputWindow, ctx.input);
  KeepPlace(s.filterSpectrumWindow, ctx.spectrum);
  KeepPlace(s.filterOutputWindow, ctx.output);
  KeepPlace(s.filterImpulseWindow, ctx.impulse);
  s.filterDialog.x = ctx.dialog.x;
  s.filterDialog.y = ctx.dialog.y;
  s.LZOOM = ctx.zoom;
}

// The F-K window on the shell's record, with the shell's places, fan, zoom
// mode and properties dialog; what it changes of them is kept.
void RunFkFilterWindow(Velloran& app, ShotRecord& rec, TraceDisplayOptions& opts,
                       std::int32_t& status) {
  SettingsValues& s = app.settings;
  FkFilterWindowContext ctx;
  FkFilterSettings& f = s.fkFilter;
  ctx.fan = {f.Velocity, f.Widths, f.Enhance};
  ctx.smoothing = f.VSmooth;
  ctx.input = PlaceOf(s.filterInputWindow);
  ctx.spectrum = PlaceOf(s.filterSpectrumWindow);
  ctx.output = PlaceOf(s.filterOutputWindow);
  ctx.dialog = PlaceOf(s.filterDialog);
  ctx.zoom = s.LZOOM;
  ctx.barHeight = app.toolbarHeight;
  ctx.properties = [](TraceDisplayOptions& o, std::int32_t& ierr, float globalMax) {
    TRACEPLOTDLG(o, ierr, globalMax);
  };
  FILTERFK(rec, opts, status, tk::kMainWindow, ctx);
  f.Velocity = ctx.fan.V;
  f.Widths = ctx.fan.W;
  f.Enhance = ctx.fan.F;
  f.VSmooth = ctx.smoothing;
  KeepPlace(s.filterInputWindow, ctx.input);
  KeepPlace(s.filterSpectrumWindow, ctx.spectrum);
  KeepPlace(s.filterOutputWindow, ctx.output);
  s.filterDialog.x = ctx.dialog.x;
  s.filterDialog.y = ctx.dialog.y;
  s.LZOOM = ctx.zoom;
}

// The spectrum window over what the main plot shows.
void RunSpectrumWindow(Velloran& app) {
  SettingsValues& s = app.settings;
  SpectrumWindowContext ctx;
  ctx.place = PlaceOf(s.spectrumWindow);
  ctx.zoom = s.LZOOM;
  ctx.barHeight = app.toolbarHeight;
  ctx.fileType = app.spectrumFileType;
  ctx.filter.corners = s.bandpass;
  std::int32_t status = 0;
  TRACESPECTRUM(app.record, app.options, app.MainPlotAxes, status, ctx);
  KeepPlace(s.spectrumWindow, ctx.place);
  s.LZOOM = ctx.zoom;
  app.spectrumFileType = ctx.fileType;
  tk::WindowMakeCurrent(tk::kMainWindow);
}

}  // namespace

bool DifferentiateTraces(ShotRecord& REC) {
  const float dt = REC.SAMPINT;
  if (!(dt > 0.0f) || !std::isfinite(dt)) return false;
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    std::span<float> x = Trace(REC, j);
    if (x.empty()) continue;
    for (std::size_t i = x.size() - 1; i >= 1; --i) x[i] = (x[i] - x[i - 1]) / dt;
    x[0] = 0.0f;
  }
  return true;
}

void IntegrateTraces(ShotRecord& REC) {
  const float dt = REC.SAMPINT;
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    std::span<float> x = Trace(REC, j);
    if (x.empty()) continue;
    float s = x[0];
    for (std::size_t i = 1; i < x.size(); ++i) {
      s += x[i];
      x[i] = s * dt;
    }
  }
}

void DetrendTraces(ShotRecord& REC) {
  const auto n = static_cast<std::size_t>(std::max(REC.NSAMP, 0));
  std::vector<float> t;
  if (!sup::AssignOrTell(t, n, "CANNOT ALLOCATE ARRAY FOR DETRENDING")) return;
  float time = 0.0f;
  for (float& ti : t) ti = (time += REC.SAMPINT);
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    std::span<float> x = Trace(REC, j);
    if (x.size() != n) continue;
    float a = 0.0f, b = 0.0f, r = 0.0f;
    sup::REGRES(t, x, REC.NSAMP, a, b, r);
    for (std::size_t i = 0; i < n; ++i) x[i] = (x[i] - a) - b * t[i];
  }
}

void RemoveDcTraces(ShotRecord& REC) {
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    std::span<float> x = Trace(REC, j);
    if (x.empty()) continue;
    // The mean stays in double until each sample is taken off it: a mean
    // rounded to float first would leave up to half a unit in the last place
    // of the offset behind (0.03 on traces at 1e6).
    const double m = sup::SumInDouble(x, static_cast<int>(x.size())) / static_cast<double>(x.size());
    for (float& v : x) v = static_cast<float>(v - m);
  }
}

ProcessTools& ProcessToolSeams() {
  static ProcessTools tools;
  return tools;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(sup::ProgramLayer::Shell,
                                                   [] { ProcessToolSeams() = ProcessTools{}; });
}  // namespace

std::string ProcessingTitle(const ShotRecord& REC) {
  return "Morvane Seismic Processing [" + std::string(REC.CRECNAME.View()) + "]";
}

void DifferentiateCommand(Velloran& app) {
  if (!HasSamples(app)) return;
  if (!DifferentiateTraces(app.record)) {
    sup::WINMSG("The sample interval is not valid: cannot differentiate.");
    return;
  }
  RedrawChanged(app);
}

void IntegrateCommand(Velloran& app) { TraceOperation(app, IntegrateTraces); }
void DetrendCommand(Velloran& app) { TraceOperation(app, DetrendTraces); }
void RemoveDcCommand(Velloran& app) { TraceOperation(app, RemoveDcTraces); }

void BandpassCommand(Velloran& app) {
  const ProcessTools& tools = ProcessToolSeams();
  if (tools.filter) return AroundFilterTool(app, true, tools.filter);
  if (!HasSamples(app)) return;
  AroundFilterTool(app, true, [&app](ShotRecord& rec, TraceDisplayOptions& opts, std::int32_t& status) {
    RunBandpassWindow(app, rec, opts, status);
  });
}

void FkFilterCommand(Velloran& app) {
  const ProcessTools& tools = ProcessToolSeams();
  if (tools.filterFk) return AroundFilterTool(app, false, tools.filterFk);
  if (!HasSamples(app)) return;
  AroundFilterTool(app, false, [&app](ShotRecord& rec, TraceDisplayOptions& opts, std::int32_t& status) {
    RunFkFilterWindow(app, rec, opts, status);
  });
}

void SpectrumCommand(Velloran& app) {
  const ProcessTools& tools = ProcessToolSeams();
  if (tools.spectrum) {
    std::int32_t status = 0;
    tools.spectrum(app.record, app.options, app.MainPlotAxes, status);
    return;
  }
  if (!HasSamples(app)) return;
  RunSpectrumWindow(app);
}

void RefractionFlatCommand(Velloran& app) {
  if (!app.loaded) return;
  app.refraction.directCount = 0;
  REFRACT(app, false);
  tk::WindowMakeCurrent(tk::kMainWindow);
}

}  // namespace vel
