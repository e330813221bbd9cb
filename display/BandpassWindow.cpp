#include "display/BandpassWindow.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "support/Allocation.h"
#include "support/GraphAxes.h"
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
constexpr int kHiddenField = 3;
constexpr int kEnabledField = 1;
constexpr float kGrabDistance = 0.02f;

using Pane = ToolPane;

using sup::PageXOfWindow;
using sup::PageYOfWindow;

float& Corner(BandpassSettings& c, int k) {
  std::array<float*, 8> all = {&c.Freq1, &c.Freq2, &c.Freq3, &c.Freq4,
                               &c.Freq5, &c.Freq6, &c.Freq7, &c.Freq8};
  return *all[static_cast<std::size_t>(k - 1)];
}

class BandpassTool {
 public:
  BandpassTool(ShotRecord& rec, TraceDisplayOptions& opts, bool twoBand, std::int32_t& ierr,
               int mainWindow, BandpassWindowContext& ctx)
      : rec_(rec), opts_(opts), ierr_(ierr), windows_{mainWindow}, ctx_(ctx) {
    bp_.filter.corners = ctx.corners;
    bp_.filter.twoBand = twoBand;
  }

  void Run() {
    if (!SpectrumRecordUsable(rec_.SAMPINT, rec_.NSAMP)) {
      ierr_ = -1;
      return;
    }
    if (rec_.NTRACE < 1 ||
        rec_.TRACES.size() < static_cast<std::size_t>(rec_.NSAMP) * static_cast<std::size_t>(rec_.NTRACE)) {
      sup::WINMSG("PLEASE LOAD TRACES FIRST");
      ierr_ = -1;
      return;
    }
    TakeMainWindow();
    if (!Allocate()) {
      sup::WINMSG(kNoArrays);
      ierr_ = -1;
      return;
    }
    Start();
    RunToolLoop(running_, [this](int type, const tk::EventRecord& e) { Handle(type, e); });
    Finish();
  }

 private:
  // ---- start-up ----
  void TakeMainWindow() {
    tk::WindowMakeCurrent(windows_.main);
    const ToolPlace& p = ctx_.input;
    tk::WindowReposition(p.width, p.height, p.x, p.y, 1);
    tk::WMenuWindow(kBandpassMainMenu, windows_.main);
    tk::WMenuSetState(kToolZoom, 2, ctx_.zoom ? 1 : 0);
    tk::WMenuToolbar(0, windows_.main);
  }

  bool Allocate() {
    const auto n = static_cast<std::size_t>(rec_.NSAMP);
    const auto m = static_cast<std::size_t>(NFFT(rec_.NSAMP) / 2);
    return sup::TryAllocation([&] {
      stack_.assign(n, 0.0f);
      spectrum_.assign(m, 0.0f);
      work_.TRACES.assign(rec_.TRACES.begin(), rec_.TRACES.end());
      // The working maxima start as the record's own, so that OK before any
      // filtering leaves TRACEMAX as it was; those of the auxiliary traces
      // behind the data traces are kept as they are.
      work_.TRACEMAX = rec_.TRACEMAX;
      if (work_.TRACEMAX.size() < static_cast<std::size_t>(rec_.NTRACE))
        work_.TRACEMAX.resize(static_cast<std::size_t>(rec_.NTRACE), 0.0f);
      impulse_.assign(n, 0.0f);
    });
  }

  void Start() {
    COPYSR(rec_, work_);
    bp_.nyquist = 1000.0f / (rec_.SAMPINT * 2.0f);
    for (std::int32_t j = 1; j <= rec_.NTRACE; ++j) {
      const std::span<const float> t = Trace(std::as_const(rec_), j);
      for (std::size_t i = 0; i < stack_.size(); ++i) stack_[i] += t[i];
    }
    nt_ = tk::NearestInt(static_cast<float>(rec_.NSAMP) * bp_.filter.corners.FSmooth);
    SPECTRUM(stack_, spectrum_, rec_.NSAMP, nt_);
    WAVELET(stack_, impulse_, rec_.NSAMP, nt_, bp_.filter);
    vertical_ = opts_.LVERTICAL;
    opts_.LVERTICAL = true;

    SCALETRACES(rec_, traces_, opts_, false);
    tk::WindowMakeCurrent(windows_.main);
    tk::WindowTitle(kBandpassInputTitle);
    DrawPane(Pane::Input, false);

    windows_.spectrum = OpenToolWindow(kBandpassChildFlags, 0, ctx_.spectrum, kBandpassSpectrumTitle);
    SCALE_SPEC(rec_.SAMPINT, spectrum_, static_cast<int>(spectrum_.size()), spectrumAxes_, bp_);
    DrawPane(Pane::Spectrum, false);
    windows_.output = OpenToolWindow(kBandpassChildFlags, 0, ctx_.output, kBandpassOutputTitle);
    DrawPane(Pane::Output, false);
    windows_.impulse = OpenToolWindow(kBandpassChildFlags, 0, ctx_.impulse, kBandpassImpulseTitle);
    SCALE_WAVE(impulse_, rec_.NSAMP, impulseAxes_);
    DrawPane(Pane::Impulse, false);

    tk::WDialogLoad(kBandpassDialog);
    for (int k = 1; k <= 4; ++k) sup::MVPUTREAL(kBandpassFirstField + k - 1, bp_.nyquist * Corner(bp_.filter.corners, k));
    if (bp_.filter.twoBand) {
      for (int k = 5; k <= 8; ++k) {
        tk::WDialogFieldState(kBandpassFirstField + k - 1, kEnabledField);
        sup::MVPUTREAL(kBandpassFirstField + k - 1, bp_.nyquist * Corner(bp_.filter.corners, k));
      }
      BandpassSettings& c = bp_.filter.corners;
      if (c.Freq5 < c.Freq4) {
        const float lift = c.Freq4 - c.Freq5;
        for (int k = 5; k <= 8; ++k) Corner(c, k) += lift;
      }
    } else {
      for (int k = 5; k <= 8; ++k) tk::WDialogFieldState(kBandpassFirstField + k - 1, kHiddenField);
    }
    tk::WDialogShow(ctx_.dialog.x, ctx_.dialog.y, 0, tk::kShowModeless);
    tk::WEventTypeSwitch(kEventFieldChanged, 1);
    tk::WEventTypeSwitch(kEventMouseMove, 1);
    previousTraces_ = traces_;
    previousSpectrum_ = spectrumAxes_;
    previousImpulse_ = impulseAxes_;
  }

  // ---- windows and pictures ----
  int WindowOf(Pane p) const { return windows_.WindowOf(p); }
  bool Shown(Pane p) const { return windows_.Shown(p); }
  Pane PaneOf(int n) const { return windows_.PaneOf(n); }

  sup::GraphAxes& AxesOf(Pane p) {
    if (p == Pane::Spectrum) return spectrumAxes_;
    if (p == Pane::Impulse) return impulseAxes_;
    return traces_;
  }
  sup::GraphAxes& PreviousOf(Pane p) {
    if (p == Pane::Spectrum) return previousSpectrum_;
    if (p == Pane::Impulse) return previousImpulse_;
    return previousTraces_;
  }

  void Picture(Pane p) {
    switch (p) {
      case Pane::Input: PLOTTRACES(rec_, traces_, opts_); break;
      case Pane::Output: PLOTTRACES(work_, traces_, opts_); break;
      case Pane::Spectrum:
        PLOTSPEC(spectrum_, static_cast<int>(spectrum_.size()), rec_.SAMPINT, spectrumAxes_, bp_);
        break;
      case Pane::Impulse: PLOTWAVELET(impulse_, rec_.NSAMP, impulseAxes_); break;
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

  void NewImpulse() {
    WAVELET(stack_, impulse_, rec_.NSAMP, nt_, bp_.filter);
    DrawPane(Pane::Impulse, false);
  }

  // ---- corners ----
  void StoreCorners() { ctx_.corners = bp_.filter.corners; }

  void ReadFields() {
    tk::WDialogSelect(kBandpassDialog);
    const int count = bp_.filter.twoBand ? 8 : 4;
    for (int k = 1; k <= count; ++k) {
      float hz = 0.0f;
      tk::WDialogGetReal(kBandpassFirstField + k - 1, hz);
      Corner(bp_.filter.corners, k) = hz / bp_.nyquist;
    }
    StoreCorners();
  }

  void PutField(int k) {
    tk::WDialogSelect(kBandpassDialog);
    sup::MVPUTREAL(kBandpassFirstField + k - 1, bp_.nyquist * Corner(bp_.filter.corners, k));
  }

  void NewResponse() {
    DrawPane(Pane::Spectrum, false);
    NewImpulse();
  }

  void FilterTraces() {
    ReadFields();
    NewResponse();
    float gmin = 1e30f, gmax = -1e30f;
    for (std::int32_t j = 1; j <= rec_.NTRACE; ++j) {
      const std::span<float> out = Trace(work_, j);
      FILTRACE(Trace(std::as_const(rec_), j), out, rec_.NSAMP, nt_, bp_.filter);
      float lo = 1e30f, hi = -1e30f;
      sup::FINDNX(out, rec_.NSAMP, lo, hi);
      work_.TRACEMAX[static_cast<std::size_t>(j - 1)] = std::max(std::abs(lo), std::abs(hi));
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
      case kEventMenu: Command(e.value1); break;
      case kEventPushButton: Button(e.value1); break;
      case kEventButtonDown: press_.Take(e); break;
      case kEventButtonUp: Release(e); break;
      case kEventMouseMove: Move(e); break;
      case kEventExpose:
      case kEventResize: Picture(type, e); break;
      case kEventClose: CloseRequest(e); break;
      case kEventFieldChanged:
        ReadFields();
        NewResponse();
        break;
      default: break;
    }
  }

  void Command(int id) {
    switch (id) {
      case kToolProperties: Properties(); break;
      case kToolZoom:
        ctx_.zoom = !ctx_.zoom;
        tk::WindowMakeCurrent(windows_.main);
        tk::WMenuSetState(kToolZoom, 2, ctx_.zoom ? 1 : 0);
        break;
      case kToolUnzoom: Unzoom(); break;
      case kToolPrint:
        if (Shown(selected_)) {
          tk::WindowMakeCurrent(WindowOf(selected_));
          PrintToolPicture(AxesOf(selected_), [this] { Picture(selected_); });
        }
        rubber_ = false;
        break;
      case kToolLastzoom:
        AxesOf(selected_) = PreviousOf(selected_);
        if (selected_ == Pane::Input || selected_ == Pane::Output)
          DrawTraces(selected_);
        else
          DrawPane(selected_, false);
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
    switch (selected_) {
      case Pane::Input:
        SCALETRACES(rec_, traces_, opts_, false);
        DrawTraces(Pane::Input);
        break;
      case Pane::Output:
        SCALETRACES(work_, traces_, opts_, false);
        DrawTraces(Pane::Output);
        break;
      case Pane::Spectrum:
        SCALE_SPEC(rec_.SAMPINT, spectrum_, static_cast<int>(spectrum_.size()), spectrumAxes_, bp_);
        DrawPane(Pane::Spectrum, false);
        break;
      case Pane::Impulse:
        SCALE_WAVE(impulse_, rec_.NSAMP, impulseAxes_);
        DrawPane(Pane::Impulse, false);
        break;
      case Pane::None: break;
    }
  }

  void Button(int id) {
    switch (id) {
      case kOkButton:
        rec_.TRACES.assign(work_.TRACES.begin(), work_.TRACES.end());
        rec_.TRACEMAX = work_.TRACEMAX;
        rec_.GMIN = work_.GMIN;
        rec_.GMAX = work_.GMAX;
        running_ = false;
        break;
      case kCancelButton: running_ = false; break;
      case kBandpassFilterButton: FilterTraces(); break;
      default: break;
    }
  }

  void Release(const tk::EventRecord& e) {
    const std::int32_t button = press_.button;
    press_.button = 0;
    const Pane pane = PaneOf(e.window);
    const bool held = e.time - press_.time >= kToolDragMilliseconds;
    if (grabbed_ > 0 && button == 1) {
      grabbed_ = 0;  // the drag ends
    } else if (rubber_) {
      const Pane pressed = PaneOf(press_.window);
      if (Shown(pressed)) {
        tk::WindowMakeCurrent(WindowOf(pressed));
        sup::RUBBERBOX(press_.x, press_.y, press_.pointerX, press_.pointerY);
      }
      rubber_ = false;
      if (e.window == press_.window && ctx_.zoom && pane != Pane::None) Zoom(pane, e);
    }
    if (e.value1 == 3 && pane != Pane::None) {
      const int menu = (pane == Pane::Input || pane == Pane::Output) && !held ? kBandpassTracePopup
                                                                              : kBandpassPlotPopup;
      tk::WindowMakeCurrent(WindowOf(pane));
      tk::WMenuFloating(menu, e.x, e.y);
      selected_ = pane;
    }
    if (e.value1 == 1 && !held) {
      rubber_ = false;
      grabbed_ = 0;
    }
  }

  void Zoom(Pane pane, const tk::EventRecord& e) {
    sup::GraphAxes& axes = AxesOf(pane);
    PreviousOf(pane) = axes;
    sup::ZOOMBOX(press_.x, press_.y, e.x, e.y, axes);
    if (pane == Pane::Input || pane == Pane::Output) {
      if (!opts_.LGEOPOS) WholeTraceSteps(axes);
      DrawTraces(pane);
    } else if (pane == Pane::Impulse) {
      NewImpulse();
    } else {
      DrawPane(pane, false);
    }
  }

  void Move(const tk::EventRecord& e) {
    const Pane pane = PaneOf(e.window);
    const bool held = press_.Dragging(e);
    if (ctx_.zoom && held && grabbed_ == 0) {
      const Pane pressed = PaneOf(press_.window);
      if (Shown(pressed)) {
        tk::WindowMakeCurrent(WindowOf(pressed));
        if (rubber_) sup::RUBBERBOX(press_.x, press_.y, press_.pointerX, press_.pointerY);
        sup::RUBBERBOX(press_.x, press_.y, e.x, e.y);
        press_.pointerX = e.x;
        press_.pointerY = e.y;
        rubber_ = true;
      }
    } else if (press_.button == 1 && grabbed_ > 0) {
      if (pane == Pane::Spectrum) Drag(e);
    } else if (press_.button == 0 && pane == Pane::Spectrum) {
      Hover(e);
    } else if (press_.button == 0 && (pane == Pane::Input || pane == Pane::Output)) {
      ReadOut(e);
    }
  }

  void Hover(const tk::EventRecord& e) {
    tk::WindowMakeCurrent(windows_.spectrum);
    sup::PLOTXY(spectrumAxes_.XORIGIN, spectrumAxes_.YORIGIN, -3, spectrumAxes_);
    const float x = sup::XOFPL(PageXOfWindow(e.x), spectrumAxes_);
    const float y = sup::YOFPL(PageYOfWindow(e.y), spectrumAxes_);
    grabbed_ = 0;
    if (sup::LINGRAPH(x, y, spectrumAxes_) && bp_.nyquist > 0.0f) {
      float best = kGrabDistance;
      const SpectrumHandles& h = bp_.handles;
      for (int k = 0; k < h.count; ++k) {
        const float dx = (x - h.x[static_cast<std::size_t>(k)]) / bp_.nyquist;
        const float dy = y - h.y[static_cast<std::size_t>(k)];
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d < best) {
          best = d;
          grabbed_ = k + 1;
        }
      }
    }
    tk::WCursorShape(grabbed_ > 0 ? tk::kCursorSizeWE : tk::kCursorArrow);
  }

  // Moves the grabbed handle to the mouse when the handle's condition holds;
  // redraws the response in any case.
  void Drag(const tk::EventRecord& e) {
    tk::WindowMakeCurrent(windows_.spectrum);
    const float v = sup::XOFPL(PageXOfWindow(e.x), spectrumAxes_) / bp_.nyquist;
    BandpassSettings& c = bp_.filter.corners;
    std::vector<int> changed;
    const auto set = [&](int k, float value) {
      Corner(c, k) = value;
      changed.push_back(k);
    };
    // Handles 2, 5, 8 and 11 move both corners of their ramp.
    const auto shift = [&](int a, int b, bool (*ok)(const BandpassSettings&, float, float), float s) {
      if (!ok(c, Corner(c, a) + s, Corner(c, b) + s)) return;
      set(a, Corner(c, a) + s);
      set(b, Corner(c, b) + s);
    };
    switch (grabbed_) {
      case 1: if (0.0f < v && v < c.Freq2) set(1, v); break;
      case 2:
        shift(1, 2, [](const BandpassSettings& k, float lo, float hi) { return lo > 0.0f && hi < k.Freq3; },
              v - (c.Freq1 + c.Freq2) / 2.0f);
        break;
      case 3: if (c.Freq1 < v && v < c.Freq3) set(2, v); break;
      case 4: if (c.Freq2 < v && v < c.Freq4) set(3, v); break;
      case 5:
        shift(3, 4, [](const BandpassSettings& k, float lo, float hi) { return hi < 1.0f && lo > k.Freq2; },
              v - (c.Freq3 + c.Freq4) / 2.0f);
        break;
      // The high-cut end stops at the Nyquist frequency.
      case 6: if (c.Freq3 < v && v <= 1.0f) set(4, v); break;
      case 7: if (c.Freq4 < v && v < c.Freq6) set(5, v); break;
      case 8:
        shift(5, 6, [](const BandpassSettings& k, float lo, float hi) { return hi < k.Freq7 && lo > k.Freq4; },
              v - (c.Freq5 + c.Freq6) / 2.0f);
        break;
      case 9: if (c.Freq5 < v && v < c.Freq7) set(6, v); break;
      case 10: if (c.Freq6 < v && v < c.Freq8) set(7, v); break;
      case 11:
        shift(7, 8, [](const BandpassSettings& k, float lo, float hi) { return hi < 1.0f && lo > k.Freq6; },
              v - (c.Freq7 + c.Freq8) / 2.0f);
        break;
      case 12: if (c.Freq7 < v && v <= 1.0f) set(8, v); break;
      default: break;
    }
    for (const int k : changed) PutField(k);
    if (bp_.filter.twoBand)
      for (int k = 5; k <= 8; ++k) PutField(k);
    StoreCorners();
    NewResponse();
  }

  void ReadOut(const tk::EventRecord& e) {
    TraceReadout(rec_, opts_, traces_, e.x, e.y, windows_.main, lastTrace_, "Value:");
  }

  void Picture(int type, const tk::EventRecord& e) {
    rubber_ = false;
    const Pane pane = PaneOf(e.window);
    if (pane == Pane::Input) {
      bool& first = type == kEventExpose ? firstExpose_ : firstResize_;
      if (first) {
        first = false;
        return;
      }
    }
    if (pane != Pane::None) DrawPane(pane, false);
  }

  void CloseRequest(const tk::EventRecord& e) {
    const Pane pane = PaneOf(e.window);
    if (pane == Pane::Input) {
      running_ = false;
      return;
    }
    // A child window the user closes stays closed for the run; its place is
    // taken as it goes.
    if (pane == Pane::Spectrum) CloseToolWindow(windows_.spectrum, ctx_.spectrum);
    if (pane == Pane::Output) CloseToolWindow(windows_.output, ctx_.output);
    if (pane == Pane::Impulse) CloseToolWindow(windows_.impulse, ctx_.impulse);
    if (selected_ == pane) selected_ = Pane::Input;
  }

  // ---- the end ----
  void Finish() {
    opts_.LVERTICAL = vertical_;
    StoreCorners();
    tk::WindowMakeCurrent(windows_.main);
    TakeToolPlace(ctx_.input, -ctx_.barHeight);
    CloseToolWindow(windows_.impulse, ctx_.impulse);
    CloseToolWindow(windows_.output, ctx_.output);
    CloseToolWindow(windows_.spectrum, ctx_.spectrum);
    tk::WDialogSelect(kBandpassDialog);
    ctx_.dialog.x = tk::WDialogStatusQuery(6);
    ctx_.dialog.y = tk::WDialogStatusQuery(7);
    tk::WDialogHide();
    tk::WEventTypeSwitch(kEventFieldChanged, 0);
    tk::WindowMakeCurrent(windows_.main);
  }

  ShotRecord& rec_;
  TraceDisplayOptions& opts_;
  std::int32_t& ierr_;
  ToolPaneWindows windows_;  // main window given; children while open, else 0
  BandpassWindowContext& ctx_;
  BandpassState bp_;
  ShotRecord work_;
  std::vector<float> stack_, spectrum_, impulse_;
  int nt_ = 0;
  bool vertical_ = true;
  sup::GraphAxes traces_, spectrumAxes_, impulseAxes_;
  sup::GraphAxes previousTraces_, previousSpectrum_, previousImpulse_;
  Pane selected_ = Pane::Input;
  bool running_ = true;
  bool rubber_ = false;
  bool firstExpose_ = true, firstResize_ = true;
  int grabbed_ = 0;
  ToolPress press_;
  std::int32_t lastTrace_ = 0;
};

}  // namespace

void COPYSR(const ShotRecord& SRC, ShotRecord& DST) {
  DST.CRECNAME = SRC.CRECNAME;
  DST.SAMPINT = SRC.SAMPINT;
  DST.SPAREHDR = SRC.SPAREHDR;
  DST.TDELAY = SRC.TDELAY;
  DST.SPACING = SRC.SPACING;
  DST.GMIN = SRC.GMIN;
  DST.GMAX = SRC.GMAX;
  DST.NSAMP = SRC.NSAMP;
  DST.NTRACE = SRC.NTRACE;
  DST.LPICKS = SRC.LPICKS;
  DST.IBPICK = SRC.IBPICK;
  DST.GEOLOC = SRC.GEOLOC;
  DST.GEOELE = SRC.GEOELE;
}

void FILTER(ShotRecord& REC, TraceDisplayOptions& OPTS, bool TWOBAND, std::int32_t& IERR,
            int MAINWIN, BandpassWindowContext& CTX) {
  BandpassTool tool(REC, OPTS, TWOBAND, IERR, MAINWIN, CTX);
  tool.Run();
}

}  // namespace vel
