#include "shell/MouseInteraction.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "display/Overlays.h"
#include "display/PickMarks.h"
#include "display/TracePlot.h"
#include "display/WaveletPlot.h"
#include "platform/FixedText.h"
#include "shell/ChildWindows.h"
#include "shell/PickCommands.h"
#include "shell/PickDialogs.h"
#include "shell/ResultFiles.h"
#include "shell/TracePlotDialog.h"
#include "shell/Velloran.h"
#include "support/GraphAxes.h"
#include "support/Numerics.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

using enum tk::EventType;

constexpr int kNmoSave = 1229;
constexpr int kNmoCloseFile = 1228;
constexpr int kRefractorSave = 1230;
constexpr int kRefractorCloseFile = 1231;
constexpr int kCloseButton = 1;
constexpr int kEscapeButton = 2;  // Escape in the dialog closes it as Close does
constexpr std::int32_t kLeastZoomBox = 20;

using sup::PageXOfWindow;
using sup::PageYOfWindow;

std::int32_t Since(const Velloran& app, const tk::EventRecord& e) { return e.time - app.pressTime; }

// Pointer time and trace position of window position (X, Y) in the main frame.
// Writes PART of the status bar of the main window, whichever window is
// current: the read-out is the main window's alone.
void MainStatusText(int part, std::string_view text) {
  const int current = tk::CurrentWindow();
  if (current != tk::kMainWindow) tk::WindowMakeCurrent(tk::kMainWindow);
  tk::WindowStatusText(part, text);
  if (current != tk::kMainWindow) tk::WindowMakeCurrent(current);
}

void PointerData(Velloran& app, std::int32_t x, std::int32_t y) {
  const float px = sup::XOFPL(PageXOfWindow(x), app.MainPlotAxes);
  const float py = sup::YOFPL(PageYOfWindow(y), app.MainPlotAxes);
  app.pointerPosition = app.options.LVERTICAL ? px : py;
  app.pointerTime = app.options.LVERTICAL ? py : px;
}

bool InRecord(const Velloran& app, std::int32_t j) { return j >= 1 && j <= app.record.NTRACE; }

// The selected trace and its distance from the pointer position.
void NearestTrace(Velloran& app) {
  app.selectedTrace = 0;
  app.traceDistance = INFINITY;
  if (!app.loaded) return;
  const ShotRecord& r = app.record;
  if (app.options.LGEOPOS) {
    for (std::int32_t j = 1; j <= r.NTRACE && static_cast<std::size_t>(j) <= r.GEOLOC.size(); ++j) {
      const float d = std::abs(r.GEOLOC[static_cast<std::size_t>(j - 1)] - app.pointerPosition);
      if (d < app.traceDistance) app.traceDistance = d, app.selectedTrace = j;
    }
  } else {
    app.selectedTrace = tk::NearestInt(app.pointerPosition);
    if (InRecord(app, app.selectedTrace)) app.traceDistance = 0.0f;
  }
}

std::string Field(float v, std::string_view format) { return tk::FormatRealField(v, format); }

std::string ValueText(float v) {
  const float a = std::abs(v);
  if (a >= 1e6f) return Field(v, "(1PE13.5)");
  if (a >= 1000.0f) return Field(v, "(F8.0)");
  if (a >= 1.0f) return Field(v, "(F8.3)");
  if (a >= 0.001f) return Field(v, "(F9.6)");
  return Field(v, "(1PE13.5)");
}

std::int32_t PickOf(const ShotRecord& r, std::int32_t j) {
  return j >= 1 && static_cast<std::size_t>(j) <= r.IBPICK.size()
             ? r.IBPICK[static_cast<std::size_t>(j - 1)]
             : 0;
}

void ShowTraceAndPick(Velloran& app, std::int32_t j) {
  const ShotRecord& r = app.record;
  const std::int32_t pick = PickOf(r, j);
  MainStatusText(1, "Trace:" + tk::FormatIntegerField(j, "(I5)"));
  MainStatusText(4, pick > 0 ? "First Break:" + Field(PickTime(r, pick), "(F8.2)")
                                   : std::string("No Pick"));
  app.lastTraceShown = j;
  app.lastPickShown = pick;
}

void ShowReadOut(Velloran& app) {
  const ShotRecord& r = app.record;
  const std::int32_t j = app.selectedTrace;
  const std::int32_t s =
      r.SAMPINT > 0.0f ? tk::NearestInt((app.pointerTime - r.TDELAY) / r.SAMPINT) : 0;
  if (!InRecord(app, j) || s < 1 || s > r.NSAMP) {
    for (int part = 1; part <= 5; ++part) MainStatusText(part, "No Trace");
    app.lastTraceShown = 0;
    return;
  }
  MainStatusText(3, "Sample:" + tk::FormatIntegerField(s, "(I7)"));
  MainStatusText(2, "Time (ms):" + Field(app.pointerTime, "(F9.2)"));
  MainStatusText(5, "Value:" + ValueText(Trace(r, j)[static_cast<std::size_t>(s - 1)]));
  // The trace number and its pick are rewritten when the pointer crosses to
  // another trace, and when the pick of the trace shown has changed since.
  if (j != app.lastTraceShown || PickOf(r, j) != app.lastPickShown) ShowTraceAndPick(app, j);
}

void Move(Velloran& app, const tk::EventRecord& e) {
  tk::WindowMakeCurrent(e.window);
  const bool held = app.pressedButton == 1 && Since(app, e) > kDragMilliseconds;
  if (app.dragging && held) {
    RUBBERNMO(e.x, e.y, app.record, app.MainPlotAxes, app.options, app.nearTrace);
  } else if (app.refractorDragging && held) {
    RUBBERREF(e.x, e.y, app.record, app.MainPlotAxes, app.options, app.nearTrace);
  } else if (app.loaded && held &&
             (app.settings.LZOOM || app.picking.waveletSelection)) {
    if (app.rubberBox)
      sup::RUBBERBOX(app.pressX, app.pressY, app.pointerX, app.pointerY);
    else
      sup::SET_PEN(13);
    app.pointerX = e.x;
    app.pointerY = e.y;
    sup::RUBBERBOX(app.pressX, app.pressY, app.pointerX, app.pointerY);
    app.rubberBox = true;
  } else if (app.loaded && held) {
    app.pointerX = e.x;
    app.pointerY = e.y;
  }
  if (!app.loaded) return;
  // The read-out and the curves belong to the traces of the main window; a
  // move over a child window has no trace under it.
  if (e.window != tk::kMainWindow) return;
  app.pointerX = e.x;
  app.pointerY = e.y;
  PointerData(app, e.x, e.y);
  NearestTrace(app);
  ShowReadOut(app);
  if (app.dragging || app.refractorDragging) return;
  if (!InRecord(app, app.selectedTrace)) return;
  const int sizing = app.options.LVERTICAL ? tk::kCursorSizeNS : tk::kCursorSizeWE;
  if (app.nmoOpen) {
    NEARNMO(e.x, e.y, app.record, app.MainPlotAxes, app.options, app.selectedTrace, app.nearTrace);
    tk::WCursorShape(app.nearTrace > 0 ? sizing : tk::kCursorArrow);
    if (app.nearTrace == 0) app.dragging = false;
  } else if (app.refractorOpen) {
    NEARREF(e.x, e.y, app.record, app.MainPlotAxes, app.options, app.selectedTrace, app.nearTrace);
    tk::WCursorShape(app.nearTrace > 0 ? sizing : tk::kCursorArrow);
    if (app.nearTrace == 0) app.refractorDragging = false;
  }
}

void Zoom(Velloran& app, const tk::EventRecord& e) {
  if (!app.loaded) return;
  if (std::abs(app.releaseX - app.pressX) <= kLeastZoomBox ||
      std::abs(app.releaseY - app.pressY) <= kLeastZoomBox)
    return;
  if (e.window == tk::kMainWindow) {
    app.previousFrame = app.MainPlotAxes;
    sup::ZOOMBOX(app.pressX, app.pressY, app.releaseX, app.releaseY, app.MainPlotAxes);
    tk::WindowMakeCurrent(e.window);
    SETPANSTATE(1);
    WholeXSteps(app.MainPlotAxes);
    RedrawMainWithOverlays(app);
  } else if (e.window == app.refractionWindow && e.window > 0) {
    sup::WINMSG("Zoom not available on refraction interpretation display");
    tk::WindowMakeCurrent(tk::kMainWindow);
  }
}

void CutWavelet(Velloran& app) {
  app.settings.LZOOM = app.picking.savedZoom;
  app.picking.waveletSelection = false;
  SETFILESTATE(1);
  SETZOOMSTATE(app.settings.LZOOM);
  tk::WMenuSetState(kCommandSelectWavelet, 2, 0);
  float pos1 = 0, t1 = 0, pos2 = 0, t2 = 0;
  PointerData(app, app.pressX, app.pressY);
  pos1 = app.pointerPosition, t1 = app.pointerTime;
  PointerData(app, app.releaseX, app.releaseY);
  pos2 = app.pointerPosition, t2 = app.pointerTime;
  if (t1 > t2) std::swap(t1, t2);
  app.pointerPosition = (pos1 + pos2) / 2.0f;
  NearestTrace(app);
  if (!InRecord(app, app.selectedTrace)) return;
  SelectedWavelet& w = app.picking.wavelet;
  bool taper = w.taper, normalise = w.normalise;
  std::int32_t status = 0;
  WAVEPARMDLG(taper, normalise, status);
  if (status != 0) return;
  const ShotRecord& r = app.record;
  if (!(r.SAMPINT > 0.0f)) return;
  const std::int32_t k1 = std::max(1, tk::NearestInt((t1 - r.TDELAY) / r.SAMPINT));
  const std::int32_t k2 = std::min(r.NSAMP, tk::NearestInt((t2 - r.TDELAY) / r.SAMPINT));
  std::vector<float> shaped;
  std::string why = "The box covers no sample of the trace.";
  const std::span<const float> trace = Trace(r, app.selectedTrace);
  if (k2 < k1 || !ShapeWavelet(trace.subspan(static_cast<std::size_t>(k1 - 1),
                                             static_cast<std::size_t>(k2 - k1 + 1)),
                               taper, normalise, shaped, why)) {
    sup::WINMSG(why);
    return;
  }
  w.samples = std::move(shaped);
  w.count = k2 - k1 + 1;
  w.taper = taper;
  w.normalise = normalise;
  w.sampleInterval = r.SAMPINT;
  SCALEWAVE(w.samples, w.sampleInterval, w.count, app.picking.waveletAxes);
  w.selected = true;
  tk::WMenuSetState(kCommandWaveletPick, 1, 1);
  tk::WMenuSetState(kCommandViewWavelet, 1, 1);
  WINDOWWV(app);
  if (app.waveletWindow > 0) RedrawWaveletWindow(app);
}

void ClickPick(Velloran& app, const tk::EventRecord& e) {
  const std::int32_t j = app.selectedTrace;
  if (!InRecord(app, j) || e.window != tk::kMainWindow) return;
  if (app.options.LGEOPOS && !(app.traceDistance <= app.record.SPACING)) return;
  ShotRecord& r = app.record;
  if (!(r.SAMPINT > 0.0f)) return;
  const std::int32_t pick = tk::NearestInt((app.pointerTime - r.TDELAY) / r.SAMPINT);
  // An index past the last sample would point outside the trace.
  if (pick > r.NSAMP) return;
  tk::WindowMakeCurrent(tk::kMainWindow);
  DrawPicks(r, app.MainPlotAxes, app.options, app.tracePlot.mapping);
  r.IBPICK[static_cast<std::size_t>(j - 1)] = std::max(pick, 0);
  DrawPicks(r, app.MainPlotAxes, app.options, app.tracePlot.mapping);
  r.LPICKS = true;
  RefreshTraceReadOut(app);
  RefreshRefractionWindow(app);
}

void ButtonDown(Velloran& app, const tk::EventRecord& e) {
  app.pressTime = e.time;
  app.pressX = e.x;
  app.pressY = e.y;
  app.pressedButton = e.value1;
  if (!app.loaded) return;
  tk::WEventTypeSwitch(kEventButtonUp, 1);
  app.dragging = app.nmoOpen && app.nearTrace > 0;
  app.refractorDragging = app.refractorOpen && app.nearTrace > 0;
}

void ButtonUp(Velloran& app, const tk::EventRecord& e) {
  app.releaseX = e.x;
  app.releaseY = e.y;
  tk::WEventTypeSwitch(kEventButtonUp, 0);
  if (app.dragging) {
    app.dragging = false;
  } else if (app.refractorDragging) {
    app.refractorDragging = false;
  } else if (app.rubberBox) {
    tk::WindowMakeCurrent(e.window);
    sup::RUBBERBOX(app.pressX, app.pressY, app.pointerX, app.pointerY);
    app.rubberBox = false;
    if (app.settings.LZOOM)
      Zoom(app, e);
    else if (app.picking.waveletSelection)
      CutWavelet(app);
  }
  app.pressedButton = 0;
  const bool click = Since(app, e) < kDragMilliseconds;
  if (e.value1 == 1 || e.value1 == 3) {
    PointerData(app, app.pointerX, app.pointerY);
    NearestTrace(app);
  }
  if (e.value1 == 3) {
    app.rubberBox = app.dragging = app.refractorDragging = false;
    if (!click) return;
    if (InRecord(app, app.selectedTrace)) {
      tk::WMenuFloating(kTracePopupMenu, app.pointerX, app.pointerY);
    } else {
      PropertiesCommand(app);  // draws the open overlays itself; Cancel draws nothing
    }
  } else if (e.value1 == 1 && app.loaded && click) {
    app.rubberBox = app.dragging = app.refractorDragging = false;
    ClickPick(app, e);
  }
}

// ---- The overlay dialogs ----

struct OverlayKind {
  int dialog;
  int command;
  bool Velloran::*open;
  float ShotRecord::*t0;
  float ShotRecord::*v;
  std::FILE* Velloran::*file;
  std::string Velloran::*fileName;
  void (*plot)(const ShotRecord&, sup::GraphAxes&, const TraceDisplayOptions&);
  const char* fileTitle;
  const char* header;
};

const OverlayKind kNmo{kNmoDialog, kCommandNmoCorrection, &Velloran::nmoOpen, &ShotRecord::T0NMO,
                       &ShotRecord::VNMO, &Velloran::nmoFile, &Velloran::nmoFileName, PLOTNMO,
                       "ASCII NMO Parameters File",
                       "Record Name                         Time-Depth      Velocity       Depth     "};
const OverlayKind kRefractor{kRefractorDialog, kCommandRefractorOverlay, &Velloran::refractorOpen,
                             &ShotRecord::T0REF, &ShotRecord::VREF, &Velloran::refractionFile,
                             &Velloran::refractionFileName, PLOTREF,
                             "ASCII Refraction Parameters File",
                             "Record Name                         Time-Depth      Velocity       "};

void OpenOverlay(Velloran& app, const OverlayKind& k) {
  if (!app.loaded) return;
  tk::WindowMakeCurrent(tk::kMainWindow);
  k.plot(app.record, app.MainPlotAxes, app.options);
  app.*k.open = true;
  tk::WDialogLoad(k.dialog);
  tk::WDialogShow(app.settings.nmoDialog.x, app.settings.nmoDialog.y, 0, tk::kShowModeless);
  sup::MVPUTREAL(kOverlayT0Field, app.record.*k.t0);
  sup::MVPUTREAL(kOverlayVField, app.record.*k.v);
  if (k.dialog == kNmoDialog)
    sup::MVPUTREAL(kNmoDepthField, app.record.T0NMO * app.record.VNMO / 2000.0f);
  tk::WEventTypeSwitch(kEventFieldChanged, 1);
  tk::WMenuSetState(k.command, 2, 1);
  SETNMOMENUSTATES(0);
}

// Reads T-0 and V back from the dialog's fields; a blank field or a velocity
// that cannot draw a curve keeps the pair as it was.
void ReadFields(Velloran& app, const OverlayKind& k) {
  float t0 = 0.0f, v = 0.0f;
  tk::WDialogSelect(k.dialog);
  tk::WDialogGetReal(kOverlayT0Field, t0);
  tk::WDialogGetReal(kOverlayVField, v);
  const bool blank = t0 == tk::kUndefinedReal || v == tk::kUndefinedReal;
  const bool usable = std::isfinite(t0) && std::isfinite(v) &&
                      (k.dialog == kNmoDialog ? v > 0.0f : v != 0.0f);
  if (blank || !usable) return;
  app.record.*k.t0 = t0;
  app.record.*k.v = v;
}

void CloseOverlay(Velloran& app, const OverlayKind& k) {
  app.*k.open = false;
  ReadFields(app, k);
  tk::WDialogSelect(k.dialog);
  app.settings.nmoDialog.x = tk::WDialogStatusQuery(6);
  app.settings.nmoDialog.y = tk::WDialogStatusQuery(7);
  tk::WDialogHide();
  tk::WindowMakeCurrent(tk::kMainWindow);
  k.plot(app.record, app.MainPlotAxes, app.options);
  tk::WEventTypeSwitch(kEventFieldChanged, 0);
  tk::WMenuSetState(k.command, 2, 0);
  SETNMOMENUSTATES(1);
}

ResultFile ResultFileOf(Velloran& app, const OverlayKind& k) {
  return {app.*k.file, app.*k.fileName};
}

void CloseResultFile(Velloran& app, const OverlayKind& k) { vel::CloseResultFile(ResultFileOf(app, k)); }

void AppendResult(Velloran& app, const OverlayKind& k) {
  const ShotRecord& r = app.record;
  std::string line(r.CRECNAME.View());
  line += Field(r.*k.t0, "(F15.7)") + Field(r.*k.v, "(F15.7)");
  if (k.dialog == kNmoDialog) line += Field(r.VNMO * r.T0NMO / 2000.0f, "(F15.7)");
  AppendResultLine(ResultFileOf(app, k), r, k.fileTitle, tk::kSelectDefaultExtension, k.header,
                   std::move(line));
}

void PushButton(Velloran& app, const tk::EventRecord& e) {
  const int button = e.value1;
  if (app.nmoOpen) {
    if (button == kCloseButton || button == kEscapeButton) CloseOverlay(app, kNmo);
    else if (button == kNmoSave) AppendResult(app, kNmo);
    else if (button == kNmoCloseFile) CloseResultFile(app, kNmo);
  } else if (app.refractorOpen) {
    if (button == kCloseButton || button == kEscapeButton) CloseOverlay(app, kRefractor);
    else if (button == kRefractorSave) AppendResult(app, kRefractor);
    else if (button == kRefractorCloseFile) CloseResultFile(app, kRefractor);
  }
}

void FieldChanged(Velloran& app) {
  if (app.rubberBox) {
    sup::RUBBERBOX(app.pressX, app.pressY, app.pointerX, app.pointerY);
    app.rubberBox = false;
  }
  for (const OverlayKind* k : {&kNmo, &kRefractor}) {
    if (!(app.*k->open)) continue;
    tk::WindowMakeCurrent(tk::kMainWindow);
    k->plot(app.record, app.MainPlotAxes, app.options);
    ReadFields(app, *k);
    k->plot(app.record, app.MainPlotAxes, app.options);
  }
}

}  // namespace

void WholeXSteps(sup::GraphAxes& a) {
  const float length = a.XCELL * static_cast<float>(a.NXDIV);
  bool changed = false;
  while (a.XSTEP < 1.0f && a.XSTEP > 0.0f && std::isfinite(a.XSTEP) && a.NXDIV > 0) {
    a.XSTART = std::trunc(a.XSTART);
    const float oldEnd = static_cast<float>(a.NXDIV) * a.XSTEP + a.XSTART;
    a.XSTEP *= 2.0f;
    if (a.NXDIV > 2) a.NXDIV /= 2;
    if (static_cast<float>(a.NXDIV) * a.XSTEP + a.XSTART < oldEnd) a.NXDIV += 1;
    a.XCELL = length / static_cast<float>(a.NXDIV);
    changed = true;
  }
  if (changed) sup::FINDASX(a);
}

bool ShapeWavelet(std::span<const float> samples, bool taper, bool normalise,
                  std::vector<float>& out, std::string& why) {
  const std::size_t n = samples.size();
  if (n == 0) {
    why = "The box covers no sample of the trace.";
    return false;
  }
  if (taper && n < 2) {
    why = "A tapered wavelet needs at least two samples.";
    return false;
  }
  float m = 1.0f;
  if (normalise) {
    m = sup::SUMOF(samples, static_cast<int>(n));
    if (m == 0.0f || !std::isfinite(m)) {
      why = "The wavelet's samples sum to zero: it cannot be normalised.";
      return false;
    }
  }
  const float c = n > 1 ? 1.570796f / static_cast<float>(n - 1) : 0.0f;
  out.assign(samples.begin(), samples.end());
  for (std::size_t i = 0; i < n; ++i) {
    if (taper) out[i] *= std::cos(static_cast<float>(i) * c);
    if (normalise) out[i] /= m;
  }
  return true;
}

void RefreshTraceReadOut(Velloran& app) {
  if (app.lastTraceShown == 0) return;
  if (!app.loaded || !InRecord(app, app.lastTraceShown)) {
    ClearReadOut(app);
    return;
  }
  if (PickOf(app.record, app.lastTraceShown) != app.lastPickShown)
    ShowTraceAndPick(app, app.lastTraceShown);
}

void ClearReadOut(Velloran& app) {
  for (int part = 1; part <= 5; ++part) MainStatusText(part, "");
  app.lastTraceShown = 0;
  app.lastPickShown = 0;
}

void DrawOpenOverlays(Velloran& app) {
  if (!app.loaded) return;
  tk::WindowMakeCurrent(tk::kMainWindow);
  if (app.nmoOpen) PLOTNMO(app.record, app.MainPlotAxes, app.options);
  if (app.refractorOpen) PLOTREF(app.record, app.MainPlotAxes, app.options);
}

void RedrawMainWithOverlays(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  RedrawRecord(app.record, app.MainPlotAxes, app.options, app.tracePlot);
  DrawOpenOverlays(app);
}

void HandleInteractionEvent(Velloran& app, int type, const tk::EventRecord& e) {
  switch (type) {
    case kEventPushButton: PushButton(app, e); break;
    case kEventButtonDown: ButtonDown(app, e); break;
    case kEventButtonUp: ButtonUp(app, e); break;
    case kEventMouseMove: Move(app, e); break;
    case kEventFieldChanged: FieldChanged(app); break;
    default: break;
  }
}

void NmoCorrectionCommand(Velloran& app) { OpenOverlay(app, kNmo); }
void RefractorOverlayCommand(Velloran& app) { OpenOverlay(app, kRefractor); }

void CloseResultFiles(Velloran& app) {
  CloseResultFile(app, kNmo);
  CloseResultFile(app, kRefractor);
}

}  // namespace vel
