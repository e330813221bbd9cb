#include "display/SpectrumWindow.h"

#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/system/File.h"
#include "support/Allocation.h"
#include "support/PenPlot.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/Graphics.h"

namespace vel {
namespace {

using enum tk::EventType;

constexpr int kSaveFlags = 43;
constexpr int kRubberPen = 13;

// One opening of the spectrum window.
class SpectrumWindow {
 public:
  SpectrumWindow(const ShotRecord& rec, std::int32_t& ierr, SpectrumWindowContext& ctx,
                 std::vector<float> spectrum)
      : rec_(rec), ierr_(ierr), ctx_(ctx), spectrum_(std::move(spectrum)),
        m_(static_cast<int>(spectrum_.size())) {
    bp_.filter = ctx.filter;
  }

  void Run() {
    if (!Open()) return;
    RunToolLoop(running_, [this](int type, const tk::EventRecord& e) { Handle(type, e); });
    Close();
  }

 private:
  bool Open() {
    const std::string name(rec_.CRECNAME.View().substr(0, static_cast<std::size_t>(sup::INDSTR(rec_.CRECNAME.View(), 32))));
    window_ = OpenToolWindow(kSpectrumWindowFlags, kSpectrumMenu, ctx_.place,
                             std::string(kSpectrumTitle) + name);
    if (window_ < 1) return false;
    tk::WMenuToolbar(kSpectrumToolbar, window_, 1);
    tk::WMenuSetState(kToolZoom, 2, ctx_.zoom ? 1 : 0);
    SCALE_SPEC(rec_.SAMPINT, spectrum_, m_, axes_, bp_);
    Redraw();
    return true;
  }

  void Draw() { PLOTSPEC(spectrum_, m_, -rec_.SAMPINT, axes_, bp_); }

  void Redraw() {
    tk::WindowMakeCurrent(window_);
    DrawToolPicture(false, axes_, [this] { Draw(); });
  }

  void Handle(int type, const tk::EventRecord& e) {
    switch (type) {
      case kEventMenu:
        rubber_ = false;
        Command(e.value1);
        return;
      case kEventClose:
        running_ = false;
        return;
      default:
        break;
    }
    if (e.window != window_) return;  // mouse and picture events of other windows
    switch (type) {
      case kEventButtonDown:
        press_.Take(e);
        break;
      case kEventMouseMove:
        if (ctx_.zoom && press_.Dragging(e)) {
          tk::WindowMakeCurrent(window_);
          sup::SET_PEN(kRubberPen);
          if (rubber_) sup::RUBBERBOX(press_.x, press_.y, press_.pointerX, press_.pointerY);
          sup::RUBBERBOX(press_.x, press_.y, e.x, e.y);
          press_.pointerX = e.x;
          press_.pointerY = e.y;
          rubber_ = true;
        }
        break;
      case kEventButtonUp:
        press_.button = 0;
        if (rubber_) {
          tk::WindowMakeCurrent(window_);
          sup::RUBBERBOX(press_.x, press_.y, press_.pointerX, press_.pointerY);
          rubber_ = false;
          if (e.window == press_.window && ZoomBoxLargeEnough(press_.x, press_.y, e.x, e.y)) {
            sup::ZOOMBOX(press_.x, press_.y, e.x, e.y, axes_);
            Redraw();
          }
        }
        break;
      case kEventExpose:
      case kEventResize:
        rubber_ = false;
        Redraw();
        break;
      default:
        break;
    }
  }

  void Command(int id) {
    switch (id) {
      case kToolSaveToFile:
        Save();
        break;
      case kToolZoom:
        ctx_.zoom = !ctx_.zoom;
        tk::WMenuSetState(kToolZoom, 2, ctx_.zoom ? 1 : 0);
        break;
      case kToolUnzoom:
        SCALE_SPEC(rec_.SAMPINT, spectrum_, m_, axes_, bp_);
        Redraw();
        break;
      case kToolPrint:
        tk::WindowMakeCurrent(window_);
        PrintToolPicture(
            axes_, [this] { Draw(); }, [] { tk::IGrLineWidths(1, 15, 15); },
            [] { tk::IGrLineWidths(1, 5, 5); });
        break;
      case kToolClose:
        running_ = false;
        break;
      default:
        break;
    }
  }

  void Save() {
    std::string name(rec_.CRECNAME.View());
    name.resize(256, ' ');
    const int dot = sup::IFNDPT(name, 256, ".", 1);
    if (dot >= 2) std::fill(name.begin() + dot - 1, name.end(), ' ');
    ierr_ = 0;
    tk::WSelectFile(kSpectrumFileFilter, kSaveFlags, name, "ASCII Spectrum File", &ctx_.fileType);
    const int used = sup::INDSTR(name, static_cast<int>(name.size()));
    if (tk::WDialogStatusQuery(4) != 1 || used == 0) return;
    const std::string file = name.substr(0, static_cast<std::size_t>(used));
    std::string why;
    if (!WriteSpectrumFile(file, spectrum_, m_, rec_.SAMPINT, &why)) {
      sup::WINMSG("CANNOT WRITE SPECTRUM FILE " + file + (why.empty() ? "" : ": " + why));
      ierr_ = -1;
    }
  }

  void Close() {
    tk::WindowMakeCurrent(window_);
    TakeToolPlace(ctx_.place, ctx_.barHeight);
    tk::WindowCloseChild(window_);
    window_ = 0;
  }

  const ShotRecord& rec_;
  std::int32_t& ierr_;
  SpectrumWindowContext& ctx_;
  std::vector<float> spectrum_;
  int m_;
  BandpassState bp_;
  sup::GraphAxes axes_;
  int window_ = 0;
  bool running_ = true;
  bool rubber_ = false;
  ToolPress press_;
};

}  // namespace

VisibleSection SectionOfFrame(const ShotRecord& REC, const TraceDisplayOptions& OPTS,
                              const sup::GraphAxes& AXES) {
  const float yEnd = AXES.YSTART + static_cast<float>(AXES.NYDIV) * AXES.YSTEP;
  const float xEnd = AXES.XSTART + static_cast<float>(AXES.NXDIV) * AXES.XSTEP;
  const float ta = OPTS.LVERTICAL ? yEnd : AXES.XSTART;
  const float tb = OPTS.LVERTICAL ? AXES.YSTART : xEnd;
  VisibleSection s;
  s.s1 = tk::NearestInt((ta - REC.TDELAY) / REC.SAMPINT);
  s.s2 = tk::NearestInt((tb - REC.TDELAY) / REC.SAMPINT);
  if (s.s1 <= 0) s.s1 = 1;
  if (s.s2 > REC.NSAMP) s.s2 = REC.NSAMP;
  const float low = OPTS.LVERTICAL ? AXES.XSTART : yEnd;
  const float high = OPTS.LVERTICAL ? xEnd : AXES.YSTART;
  if (OPTS.LGEOPOS) {
    s.first = REC.NTRACE;
    s.last = 1;
    const auto n = std::min<std::size_t>(REC.GEOLOC.size(), static_cast<std::size_t>(std::max(REC.NTRACE, 0)));
    for (std::size_t j = n; j-- > 0;)
      if (REC.GEOLOC[j] >= low) s.first = static_cast<std::int32_t>(j + 1);
    for (std::size_t j = 0; j < n; ++j)
      if (REC.GEOLOC[j] <= high) s.last = static_cast<std::int32_t>(j + 1);
  } else {
    s.first = tk::TruncateInt(low);
    s.last = tk::TruncateInt(high);
  }
  if (s.first <= 0) s.first = 1;
  if (s.last > REC.NTRACE) s.last = REC.NTRACE;
  return s;
}

bool WriteSpectrumFile(const std::string& FILE, std::span<const float> SPEC, int M, float DT,
                       std::string* WHY) {
  const int m = std::min<int>(M, static_cast<int>(SPEC.size()));
  const float spacing = 1000.0f / std::abs(static_cast<float>(m - 1) * 2.0f * DT);
  std::string text;
  for (int k = 0; k < m; ++k) {
    text += tk::FormatRealField(static_cast<float>(k) * spacing, "(1PE11.5)") + ",  " +
            tk::FormatRealField(SPEC[static_cast<std::size_t>(k)], "(1PE11.5)") + "\r\n";
  }
  // Written beside the file and put in its place whole: a failed write keeps
  // the old file and says why.
  // A file the user may not write stays refused, as its opening always did.
  if (::access(FILE.c_str(), F_OK) == 0 && ::access(FILE.c_str(), W_OK) != 0) {
    if (WHY != nullptr) *WHY = plat::SystemErrorText(EACCES);
    return false;
  }
  const plat::ReplaceResult r = plat::ReplaceFileContents(FILE, text.data(), text.size());
  if (r.error != 0 && WHY != nullptr) *WHY = plat::SystemErrorText(r.error);
  return r.error == 0;
}

void TRACESPECTRUM(const ShotRecord& REC, const TraceDisplayOptions& OPTS, const sup::GraphAxes& AXES,
                   std::int32_t& IERR, SpectrumWindowContext& CTX) {
  if (!SpectrumRecordUsable(REC.SAMPINT, REC.NSAMP)) {
    IERR = -1;
    return;
  }
  const VisibleSection s = SectionOfFrame(REC, OPTS, AXES);
  const std::int64_t n = static_cast<std::int64_t>(s.s2) - s.s1 + 1;
  if (n < 3) {
    sup::WINMSG("AT LEAST 3 SAMPLES ARE NEEDED FOR A SPECTRUM");
    IERR = -1;
    return;
  }
  if (s.last < s.first) {
    sup::WINMSG("NO TRACE IN THE SECTION SHOWN: NO SPECTRUM");
    IERR = -1;
    return;
  }
  const std::int64_t m = NFFT(n) / 2;
  std::vector<float> stack, spectrum;
  if (!sup::TryAllocation([&] {
        stack.assign(static_cast<std::size_t>(n), 0.0f);
        spectrum.assign(static_cast<std::size_t>(m), 0.0f);
      })) {
    sup::WINMSG("CANNOT ALLOCATE TEMP ARRAYS IN FILTER");
    IERR = -1;
    return;
  }
  for (std::int32_t j = s.first; j <= s.last; ++j) {
    const std::span<const float> t = Trace(REC, j);
    if (t.size() < static_cast<std::size_t>(s.s2)) continue;
    for (std::int64_t i = 0; i < n; ++i) stack[static_cast<std::size_t>(i)] += t[static_cast<std::size_t>(s.s1 - 1 + i)];
  }
  const int nt = tk::NearestInt(static_cast<float>(n) * CTX.filter.corners.FSmooth);
  SPECTRUM(stack, spectrum, static_cast<int>(n), nt);
  SpectrumWindow window(REC, IERR, CTX, std::move(spectrum));
  window.Run();
}

}  // namespace vel
