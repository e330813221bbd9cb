#include "display/FkFilterWindow.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "display/BandpassWindow.h"
#include "display/FkPlot.h"
#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "support/Allocation.h"
#include "support/GraphAxes.h"
#include "support/GraphDraw.h"
#include "support/Numerics.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

using enum tk::EventType;

constexpr std::string_view kNoArrays = "CANNOT ALLOCATE TEMP ARRAYS IN FILTER";
constexpr int kOkButton = 1;
constexpr int kCancelButton = 2;
constexpr int kLeftButton = 1;
constexpr int kRightButton = 3;

using Pane = ToolPane;

using sup::PageXOfWindow;
using sup::PageYOfWindow;

bool TracePane(Pane p) { return p == Pane::Input || p == Pane::Output; }

class FkTool {
 public:
  FkTool(ShotRecord& rec, TraceDisplayOptions& opts, std::int32_t& ierr, int mainWindow,
         FkFilterWindowContext& ctx)
      : rec_(rec), opts_(opts), ierr_(ierr), windows_{mainWindow}, ctx_(ctx) {}

  void Run() {
    ierr_ = 0;
    if (!FkRecordUsable(rec_)) {
      ierr_ = -1;
      return;
    }
    if (!Allocate()) {
      sup::WINMSG(kNoArrays);
      ierr_ = -1;
      return;
    }
    {
      const FkProgressDialog progress;
      const int taper = tk::NearestInt(static_cast<float>(rec_.NSAMP) * ctx_.smoothing);
      FKSPECT(transform_, rec_.TRACES, spec_, rec_.NSAMP, rec_.NTRACE, taper, ierr_,
              progress.Reporter());
    }
    if (ierr_ != 0) return;
    Start();
    RunToolLoop(running_, [this](int type, const tk::EventRecord& e) { Handle(type, e); });
    Finish();
  }

 private:
  // ---- start-up ----
  bool Allocate() {
    const FkTransform& t = transform_;
    dx_ = FkTraceSpacing(rec_.GEOLOC, rec_.NTRACE);
    if (!FkSetSizes(transform_, rec_.NSAMP, rec_.NTRACE)) return false;
    return sup::TryAllocation([&] {
      work_.TRACES.assign(rec_.TRACES.begin(), rec_.TRACES.end());
      // The working maxima start as the record's own, so that OK before any
      // filtering leaves TRACEMAX as it was; those of the auxiliary traces
      // behind the data traces are kept as they are.
      work_.TRACEMAX = rec_.TRACEMAX;
      if (work_.TRACEMAX.size() < static_cast<std::size_t>(rec_.NTRACE))
        work_.TRACEMAX.resize(static_cast<std::size_t>(rec_.NTRACE), 0.0f);
      spec_.assign(static_cast<std::size_t>(t.NF) * static_cast<std::size_t>(t.NX), 0.0f);
    });
  }

  void Start() {
    COPYSR(rec_, work_);
    vertical_ = opts_.LVERTICAL;
    opts_.LVERTICAL = true;

    tk::WindowMakeCurrent(windows_.main);
    const ToolPlace& p = ctx_.input;
    tk::WindowReposition(p.width, p.height, p.x, p.y, 1);
    tk::WMenuWindow(kFkToolMenu, windows_.main);
    ZoomTick();
    tk::WMenuToolbar(0, windows_.main);
    SCALETRACES(rec_, traces_, opts_, false);
    tk::WindowMakeCurrent(windows_.main);
    tk::WindowTitle(kFkInputTitle);
    DrawPane(Pane::Input, false);

    windows_.output = OpenToolWindow(kBandpassChildFlags, 0, ctx_.output, kFkOutputTitle);
    DrawPane(Pane::Output, false);

    windows_.spectrum = OpenToolWindow(kBandpassChildFlags, 0, ctx_.spectrum, kFkSpectrumTitle);
    ScaleSpectrum();
    DrawPane(Pane::Spectrum, false);

    // The dialog comes last, so that it holds the keyboard: the fan is typed
    // there, and Escape cancels.
    tk::WDialogLoad(kFkDialog);
    PutFields();
    tk::WDialogShow(ctx_.dialog.x, ctx_.dialog.y, 0, tk::kShowModeless);
    tk::WEventTypeSwitch(kEventFieldChanged, 1);
    tk::WEventTypeSwitch(kEventMouseMove, 1);

    previousTraces_ = traces_;
    fk_.Save();
    ZoomTick();
  }

  void ZoomTick() {
    tk::WindowMakeCurrent(windows_.main);
    tk::WMenuSetState(kToolZoom, 2, ctx_.zoom ? 1 : 0);
  }

  void ScaleSpectrum() {
    const FkTransform& t = transform_;
    SCALE_FK(spec_, t.NF, t.NX, rec_.SAMPINT, rec_.GEOLOC, rec_.NTRACE, fk_.axes);
  }

  // ---- windows and pictures ----
  int WindowOf(Pane p) const { return windows_.WindowOf(p); }
  bool Shown(Pane p) const { return windows_.Shown(p); }
  Pane PaneOf(int n) const { return windows_.PaneOf(n); }

  sup::GraphAxes& AxesOf(Pane p) { return p == Pane::Spectrum ? fk_.axes : traces_; }

  void Picture(Pane p) {
    switch (p) {
      case Pane::Input: PLOTTRACES(rec_, traces_, opts_); break;
      case Pane::Output: PLOTTRACES(work_, traces_, opts_); break;
      case Pane::Spectrum: {
        const FkTransform& t = transform_;
        PLOTFK(spec_, t.NF, t.NX, rec_.SAMPINT, dx_, fk_.axes);
        PLOTVELS(ctx_.fan, fk_.axes);
        break;
      }
      case Pane::Impulse:  // the F-K tool has no impulse window
      case Pane::None: break;
    }
  }

  // Draws pane P's picture anew, on the screen or on a hardcopy page.
  // Nothing for a window the user has closed.
  void DrawPane(Pane p, bool hardcopy) {
    if (!Shown(p)) return;
    tk::WindowMakeCurrent(WindowOf(p));
    DrawToolPicture(hardcopy, AxesOf(p), [this, p] { Picture(p); });
  }

  // Both trace windows, FIRST first.
  void DrawTraces(Pane first) {
    DrawPane(first, false);
    DrawPane(first == Pane::Input ? Pane::Output : Pane::Input, false);
  }

  // The fan once more over the spectrum as it stands: drawn where it was not,
  // erased where it was. The pen origin and clip window are those PLOTFK
  // left, since other windows may have been drawn since.
  void ToggleFan() {
    if (!Shown(Pane::Spectrum)) return;
    tk::WindowMakeCurrent(windows_.spectrum);
    sup::GraphAxes& a = fk_.axes;
    sup::PLOTXY(a.XORIGIN, a.YORIGIN, -sup::kPenMove, a);
    sup::PCLIP(0.0f, static_cast<float>(a.NXDIV) * a.XCELL, 0.0f, static_cast<float>(a.NYDIV) * a.YCELL);
    PLOTVELS(ctx_.fan, a);
  }

  // ---- the fan and the dialog ----
  void PutFields() {
    tk::WDialogSelect(kFkDialog);
    const FkFan& f = ctx_.fan;
    for (std::size_t d = 0; d < 2; ++d) {
      const int first = kFkFirstDipField + 3 * static_cast<int>(d);
      sup::MVPUTREAL(first, f.V[d]);
      sup::MVPUTREAL(first + 1, f.W[d] * f.V[d]);
      sup::MVPUTREAL(first + 2, f.F[d]);
    }
    sup::MVPUTREAL(kFkSmoothingField, ctx_.smoothing);
  }

  // Reads the seven fields into the fan: each width is the field over its
  // velocity. A dip whose velocity is 0 is switched off and keeps the width
  // it had, as there is nothing to divide by.
  void ReadFields() {
    tk::WDialogSelect(kFkDialog);
    FkFan& f = ctx_.fan;
    for (std::size_t d = 0; d < 2; ++d) {
      const int first = kFkFirstDipField + 3 * static_cast<int>(d);
      float v = 0.0f, w = 0.0f, factor = 0.0f;
      tk::WDialogGetReal(first, v);
      tk::WDialogGetReal(first + 1, w);
      tk::WDialogGetReal(first + 2, factor);
      f.V[d] = v;
      if (v != 0.0f && std::isfinite(w / v)) f.W[d] = w / v;
      f.F[d] = factor;
    }
    tk::WDialogGetReal(kFkSmoothingField, ctx_.smoothing);
  }

  void FieldChanged(const tk::EventRecord& e) {
    if (e.window != kFkDialog) return;
    const int next = e.value2;
    if (next == kOkButton || next == kCancelButton || next == kFkFilterButton) return;
    const FkFan before = ctx_.fan;
    ReadFields();
    if (ctx_.fan.V != before.V || ctx_.fan.W != before.W) DrawPane(Pane::Spectrum, false);
  }

  void FilterTraces() {
    ReadFields();
    std::int32_t status = 0;
    {
      const FkProgressDialog progress;
      FKTRACES(transform_, work_.TRACES, rec_.NSAMP, rec_.NTRACE, rec_.SAMPINT, dx_, ctx_.fan,
               status, progress.Reporter());
    }
    if (status != 0) {
      ierr_ = -1;
      return;
    }
    ierr_ = 0;
    float gmin = 1e30f, gmax = -1e30f;
    for (std::int32_t j = 1; j <= rec_.NTRACE; ++j) {
      float lo = 1e30f, hi = -1e30f;
      sup::FINDNX(Trace(std::as_const(work_), j), rec_.NSAMP, lo, hi);
      work_.TRACEMAX[static_cast<std::size_t>(j - 1)] = std::max(std::abs(lo), hi);
      gmin = std::min(gmin, lo);
      gmax = std::max(gmax, hi);
    }
    work_.GMIN = gmin;
    work_.GMAX = gmax;
    DrawPane(Pane::Output, false);
  }

  // ---- events ----
  void Handle(int type, const tk::EventRecord& e) {
    switch (type) {
      case kEventMenu:
        rubber_ = false;
        Command(e.value1);
        break;
      case kEventPushButton:
        if (e.window == kFkDialog) Button(e.value1);
        break;
      case kEventButtonDown: Press(e); break;
      case kEventButtonUp: Release(e); break;
      case kEventMouseMove: Move(e); break;
      case kEventExpose:
      case kEventResize:
        rubber_ = false;
        DrawPane(PaneOf(e.window), false);
        break;
      case kEventClose: CloseRequest(e); break;
      case kEventFieldChanged: FieldChanged(e); break;
      default: break;
    }
  }

  void Command(int id) {
    switch (id) {
      case kToolProperties: Properties(); break;
      case kToolZoom:
        ctx_.zoom = !ctx_.zoom;
        ZoomTick();
        break;
      case kToolUnzoom: Unzoom(); break;
      case kFkFilterButton:
        ReadFields();
        DrawPane(Pane::Spectrum, false);
        FilterTraces();
        break;
      case kToolPrint:
        if (Shown(popup_)) {
          tk::WindowMakeCurrent(WindowOf(popup_));
          PrintToolPicture(AxesOf(popup_), [this] { Picture(popup_); });
        }
        break;
      case kToolLastzoom:
        if (popup_ == Pane::Spectrum) {
          fk_.Restore();
          DrawPane(Pane::Spectrum, false);
        } else if (TracePane(popup_)) {
          traces_ = previousTraces_;
          DrawTraces(popup_);
        }
        break;
      default: break;
    }
  }

  void Properties() {
    if (!ctx_.properties) return;
    const TraceDisplayOptions before = opts_;
    ctx_.properties(opts_, ierr_, std::max(std::abs(rec_.GMIN), rec_.GMAX));
    if (ierr_ != 0) return;
    if (opts_.LGEOPOS != before.LGEOPOS || opts_.LVERTICAL != before.LVERTICAL ||
        (opts_.LGEOPOS && opts_.TRACECLIP != before.TRACECLIP))
      SCALETRACES(rec_, traces_, opts_, false);
    DrawTraces(Pane::Output);
  }

  void Unzoom() {
    if (!Shown(popup_)) return;
    tk::WindowMakeCurrent(WindowOf(popup_));
    switch (popup_) {
      case Pane::Input:
      case Pane::Output:
        previousTraces_ = traces_;
        SCALETRACES(popup_ == Pane::Input ? rec_ : work_, traces_, opts_, false);
        DrawTraces(popup_);
        break;
      case Pane::Spectrum:
        fk_.Save();
        ScaleSpectrum();
        DrawPane(Pane::Spectrum, false);
        break;
      case Pane::Impulse:  // the F-K tool has no impulse window
      case Pane::None: break;
    }
  }

  void Button(int id) {
    switch (id) {
      case kOkButton:
        ReadFields();
        rec_.TRACES.assign(work_.TRACES.begin(), work_.TRACES.end());
        rec_.TRACEMAX = work_.TRACEMAX;
        rec_.GMIN = work_.GMIN;
        rec_.GMAX = work_.GMAX;
        running_ = false;
        break;
      case kCancelButton: running_ = false; break;
      case kFkFilterButton: FilterTraces(); break;
      default: break;
    }
  }

  // ---- the mouse ----
  // The mouse at window units (X, Y) of the spectrum window as a wavenumber
  // K and a frequency F of its frame.
  void SpectrumPoint(std::int32_t x, std::int32_t y, float& k, float& f) {
    tk::WindowMakeCurrent(windows_.spectrum);
    sup::GraphAxes& a = fk_.axes;
    sup::PLOTXY(a.XORIGIN, a.YORIGIN, -sup::kPenMove, a);
    k = sup::XOFPL(PageXOfWindow(x), a);
    f = sup::YOFPL(PageYOfWindow(y), a);
  }

  void Press(const tk::EventRecord& e) {
    press_.Take(e);
    if (PaneOf(e.window) != Pane::None) tk::WindowMakeCurrent(e.window);
    // A drag starts on a hovered line whichever button goes down.
    if (hoveredDip_ > 0 && PaneOf(e.window) == Pane::Spectrum) dragging_ = true;
  }

  void Move(const tk::EventRecord& e) {
    const Pane pane = PaneOf(e.window);
    if (dragging_) {
      if (pane == Pane::Spectrum) Drag(e);
      return;
    }
    if (!press_.Dragging(e)) {
      if (TracePane(pane))
        TraceReadout(rec_, opts_, traces_, e.x, e.y, windows_.main, lastTrace_, "Value: ");
      else if (pane == Pane::Spectrum)
        PickLine(e);
      return;
    }
    if (!ctx_.zoom) return;
    const Pane pressed = PaneOf(press_.window);
    if (pane == Pane::None || !Shown(pressed) || e.window != press_.window) return;
    tk::WindowMakeCurrent(WindowOf(pressed));
    if (rubber_) sup::RUBBERBOX(press_.x, press_.y, press_.pointerX, press_.pointerY);
    sup::RUBBERBOX(press_.x, press_.y, e.x, e.y);
    press_.pointerX = e.x;
    press_.pointerY = e.y;
    rubber_ = true;
  }

  // Hovering over the spectrum: the fan line nearest the mouse within a
  // tenth of its velocity, inside the frame, becomes the hovered one, and the
  // cursor lies across it.
  void PickLine(const tk::EventRecord& e) {
    float k = 0.0f, f = 0.0f;
    SpectrumPoint(e.x, e.y, k, f);
    hoveredDip_ = 0;
    hoveredLine_ = 0;
    if (sup::LINGRAPH(k, f, fk_.axes)) FkNearestLine(ctx_.fan, k, f, hoveredDip_, hoveredLine_);
    tk::WCursorShape(hoveredDip_ == 1   ? tk::kCursorSizeNWSE
                     : hoveredDip_ == 2 ? tk::kCursorSizeNESW
                                        : tk::kCursorArrow);
  }

  // One step of a line drag: the velocity under the mouse sets the hovered
  // line's velocity, or its width when the line stays on its side of the
  // velocity line. A step on the zero-wavenumber column (no finite velocity)
  // changes nothing.
  void Drag(const tk::EventRecord& e) {
    float k = 0.0f, f = 0.0f;
    SpectrumPoint(e.x, e.y, k, f);
    FkFan moved = ctx_.fan;
    if (!FkDragLine(moved, hoveredDip_, hoveredLine_, k, f)) return;
    ToggleFan();
    ctx_.fan = moved;
    ToggleFan();
    const FkFan& fan = ctx_.fan;
    tk::WDialogSelect(kFkDialog);
    sup::MVPUTREAL(kFkFirstDipField, fan.V[0]);
    sup::MVPUTREAL(kFkFirstDipField + 1, fan.W[0] * fan.V[0]);
    sup::MVPUTREAL(kFkFirstDipField + 2, fan.F[0]);
    sup::MVPUTREAL(kFkFirstDipField + 3, fan.V[1]);
    sup::MVPUTREAL(kFkFirstDipField + 4, fan.W[1] * fan.V[1]);
  }

  void Release(const tk::EventRecord& e) {
    press_.button = 0;
    tk::WEventTypeSwitch(kEventButtonUp, 0);
    const Pane pane = PaneOf(e.window);
    const Pane pressed = PaneOf(press_.window);
    if (rubber_) {
      if (Shown(pressed)) {
        tk::WindowMakeCurrent(WindowOf(pressed));
        sup::RUBBERBOX(press_.x, press_.y, press_.pointerX, press_.pointerY);
      }
      rubber_ = false;
      if (e.window == press_.window && ctx_.zoom && pane != Pane::None) Zoom(pane);
    } else if (dragging_) {
      dragging_ = false;
    }
    const bool shortClick = e.time - press_.time < kToolDragMilliseconds;
    if (shortClick && e.value1 == kLeftButton && pane == Pane::Spectrum) {
      PutFields();
      DrawPane(Pane::Spectrum, false);
    }
    if (e.value1 == kRightButton && pane != Pane::None) {
      const int menu = shortClick && TracePane(pane) ? kFkTracePopup : kFkSpectrumPopup;
      tk::WindowMakeCurrent(Shown(pressed) ? WindowOf(pressed) : WindowOf(pane));
      tk::WMenuFloating(menu, e.x, e.y);
      popup_ = pane;
    }
  }

  void Zoom(Pane pane) {
    if (TracePane(pane)) {
      previousTraces_ = traces_;
      sup::ZOOMBOX(press_.x, press_.y, press_.pointerX, press_.pointerY, traces_);
      if (!opts_.LGEOPOS && traces_.XSTEP < 1.0f) WholeTraceSteps(traces_);
      DrawTraces(pane);
    } else {
      fk_.Save();
      sup::ZOOMBOX(press_.x, press_.y, press_.pointerX, press_.pointerY, fk_.axes);
      DrawPane(Pane::Spectrum, false);
    }
  }

  void CloseRequest(const tk::EventRecord& e) {
    const Pane pane = PaneOf(e.window);
    if (pane == Pane::Input) {
      running_ = false;
      return;
    }
    // A child window the user closes stays closed for the run; its place is
    // taken as it goes.
    if (pane == Pane::Spectrum) {
      CloseToolWindow(windows_.spectrum, ctx_.spectrum);
      hoveredDip_ = 0;
      dragging_ = false;
    }
    if (pane == Pane::Output) CloseToolWindow(windows_.output, ctx_.output);
    if (popup_ == pane) popup_ = Pane::Input;
  }

  // ---- the end ----
  void Finish() {
    opts_.LVERTICAL = vertical_;
    spec_ = {};
    tk::WindowMakeCurrent(windows_.main);
    TakeToolPlace(ctx_.input, -ctx_.barHeight);
    CloseToolWindow(windows_.output, ctx_.output);
    CloseToolWindow(windows_.spectrum, ctx_.spectrum);
    tk::WDialogSelect(kFkDialog);
    ctx_.dialog.x = tk::WDialogStatusQuery(6);
    ctx_.dialog.y = tk::WDialogStatusQuery(7);
    tk::WDialogHide();
    tk::WEventTypeSwitch(kEventFieldChanged, 0);
    tk::WMenuWindow(kFkProgramMenu, windows_.main);
    ZoomTick();
  }

  ShotRecord& rec_;
  TraceDisplayOptions& opts_;
  std::int32_t& ierr_;
  ToolPaneWindows windows_;  // main window given; children while open, else 0
  FkFilterWindowContext& ctx_;
  ShotRecord work_;
  std::vector<float> spec_;
  // The record's transform, made as the tool opens; every Filter Traces run
  // starts from it. It goes with the tool.
  FkTransform transform_;
  float dx_ = 0.0f;
  bool vertical_ = true;
  sup::GraphAxes traces_, previousTraces_;
  FkPlotFrame fk_;
  Pane popup_ = Pane::Input;
  bool running_ = true;
  bool rubber_ = false;
  bool dragging_ = false;
  int hoveredDip_ = 0;   // 0 none, 1 upsloping, 2 downsloping
  int hoveredLine_ = 0;  // 0 the velocity line, +1 the upper, -1 the lower
  ToolPress press_;
  std::int32_t lastTrace_ = 0;
};

}  // namespace

void FkNearestLine(const FkFan& FAN, float K, float F, int& DIP, int& LINE) {
  const float vs = F / K;
  float tolerance = std::abs(0.1f * vs);
  DIP = 0;
  LINE = 0;
  for (int d = 1; d <= 2; ++d) {
    const float v = FAN.V[static_cast<std::size_t>(d - 1)];
    const float w = FAN.W[static_cast<std::size_t>(d - 1)];
    if (v == 0.0f) continue;
    const float s = d == 1 ? 1.0f : -1.0f;
    const std::pair<float, int> candidates[] = {{s * v, 0}, {s * (v + w * v), 1}, {s * (v - w * v), -1}};
    for (const auto& [c, line] : candidates) {
      const float distance = std::abs(c - vs);
      if (distance < tolerance) {
        tolerance = distance;
        DIP = d;
        LINE = line;
      }
    }
  }
}

bool FkDragLine(FkFan& FAN, int DIP, int LINE, float K, float F) {
  const float v = std::abs(F / K);
  if (!std::isfinite(v) || DIP < 1 || DIP > 2) return false;
  const auto d = static_cast<std::size_t>(DIP - 1);
  const float velocity = FAN.V[d];
  if (LINE == 0)
    FAN.V[d] = v;
  else if (LINE > 0 && velocity != 0.0f && v > velocity)
    FAN.W[d] = (v - velocity) / velocity;
  else if (LINE < 0 && velocity != 0.0f && v < velocity)
    FAN.W[d] = (velocity - v) / velocity;
  return true;
}

bool FkRecordUsable(const ShotRecord& REC) {
  if (REC.NTRACE < 1 || REC.NSAMP < 1 ||
      REC.TRACES.size() < static_cast<std::size_t>(REC.NSAMP) * static_cast<std::size_t>(REC.NTRACE)) {
    sup::WINMSG("PLEASE LOAD TRACES FIRST");
    return false;
  }
  if (REC.NTRACE < 2) {
    sup::WINMSG("AT LEAST 2 TRACES ARE NEEDED FOR AN F-K SPECTRUM");
    return false;
  }
  if (!(FkTraceSpacing(REC.GEOLOC, REC.NTRACE) > 0.0f)) {
    sup::WINMSG("TRACE SPACING NOT VALID: FIRST AND LAST TRACE AT THE SAME POSITION");
    return false;
  }
  if (!(REC.SAMPINT > 0.0f) || !std::isfinite(REC.SAMPINT)) {
    sup::WINMSG("SAMPLE INTERVAL NOT VALID: NO F-K SPECTRUM CAN BE COMPUTED");
    return false;
  }
  if (REC.NSAMP < 2) {
    sup::WINMSG("AT LEAST 2 SAMPLES ARE NEEDED FOR AN F-K SPECTRUM");
    return false;
  }
  return true;
}

FkProgressDialog::FkProgressDialog() {
  tk::WDialogLoad(kFkProgressDialog);
  tk::WDialogSelect(kFkProgressDialog);
  tk::WDialogPutProgressBar(kFkProgressBar, 0);
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);
  sup::LKILL(1);
  progress_.pass = [](std::string_view name) {
    std::string text(name.substr(0, kFkPassWidth));
    text.resize(kFkPassWidth, ' ');
    tk::WDialogSelect(kFkProgressDialog);
    tk::WDialogPutString(kFkPassField, text);
  };
  progress_.step = [](int percent) {
    tk::WDialogSelect(kFkProgressDialog);
    tk::WDialogPutProgressBar(kFkProgressBar, std::clamp(percent, 0, 100));
  };
}

FkProgressDialog::~FkProgressDialog() {
  tk::WDialogSelect(kFkProgressDialog);
  tk::WDialogHide();
}

void FILTERFK(ShotRecord& REC, TraceDisplayOptions& OPTS, std::int32_t& IERR, int MAINWIN,
              FkFilterWindowContext& CTX) {
  FkTool tool(REC, OPTS, IERR, MAINWIN, CTX);
  tool.Run();
}

}  // namespace vel
