#include "display/FkPlot.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "support/GraphDraw.h"
#include "support/Numerics.h"
#include "support/PenPlot.h"
#include "toolkit/graphics/Graphics.h"

namespace vel {
namespace {

constexpr float kFrameWidth = 7.5f;
constexpr float kFrameHeight = 5.7f;
constexpr float kLargestOrigin = 3.0f;
constexpr float kTickCap = 0.12f;
constexpr float kCaptionHeight = 0.15f;
constexpr int kLevels = kFkLastColour - kFkFirstColour;  // 239 steps between 240 colours
// The scale's first hue (red); entry 16 + n takes hue 120 + n.
constexpr int kFirstHue = 120;

bool PositiveFinite(float v) {
  return v > 0.0f && std::isfinite(v);
}

// How many values of a column-major NROWS x NCOLS array of leading dimension
// LD the span holds: the columns that fit whole.
int WholeColumns(std::size_t have, int LD, int NROWS, int NCOLS) {
  if (LD < 1 || NROWS < 1 || NCOLS < 1 || NROWS > LD) return 0;
  const auto ld = static_cast<std::size_t>(LD);
  if (have < static_cast<std::size_t>(NROWS)) return 0;
  const std::size_t fit = (have - static_cast<std::size_t>(NROWS)) / ld + 1;
  return static_cast<int>(std::min<std::size_t>(fit, static_cast<std::size_t>(NCOLS)));
}

float FrameWidth(const sup::GraphAxes& a) {
  return static_cast<float>(a.NXDIV) * a.XCELL;
}
float FrameHeight(const sup::GraphAxes& a) {
  return static_cast<float>(a.NYDIV) * a.YCELL;
}

// The palette entry of a value at LEVEL steps above the least value: 255 for
// the least, 16 for the largest. LEVEL is never converted while it could be
// NaN or beyond the scale.
int EntryOfLevel(float level) {
  if (!(level > 0.0f)) return kFkLastColour;
  if (level >= static_cast<float>(kLevels)) return kFkFirstColour;
  return kFkLastColour - static_cast<int>(level);
}

}  // namespace

FkPlotSteps FkStepsOf(int NF, int NX, float DT, float DX) {
  FkPlotSteps s;
  if (NF >= 2 && PositiveFinite(DT)) {
    const float df = 1000.0f / (static_cast<float>(NF - 1) * 2.0f * DT);
    if (PositiveFinite(df)) s.df = df;
  }
  if (PositiveFinite(DX)) {
    const float kn = 1.0f / (2.0f * DX);
    if (PositiveFinite(kn)) s.kNyquist = kn;
    if (NX >= 2) {
      const float dk = 1.0f / (static_cast<float>(NX - 1) * DX);
      if (PositiveFinite(dk)) s.dk = dk;
    }
  }
  return s;
}

float FkTraceSpacing(std::span<const float> GEOLOC, int NTRACE) {
  if (NTRACE < 2 || GEOLOC.size() < static_cast<std::size_t>(NTRACE)) return 0.0f;
  const float dx = std::abs(GEOLOC[static_cast<std::size_t>(NTRACE - 1)] - GEOLOC[0]) /
                   static_cast<float>(NTRACE - 1);
  return std::isfinite(dx) ? dx : 0.0f;
}

std::int32_t FkScaleColour(int ENTRY) {
  const int e = std::clamp(ENTRY, kFkFirstColour, kFkLastColour);
  const int hue = e == kFkLastColour ? 0 : kFirstHue + (e - kFkFirstColour);
  return tk::IGrHLSValue(hue, 50, 100);
}

void SCALE_FK(std::span<const float> SPEC, int NF, int NX, float DT, std::span<const float> GEOLOC,
              int NTRACE, sup::GraphAxes& AXES) {
  const int columns = WholeColumns(SPEC.size(), NF, NF, NX);
  const float dx = FkTraceSpacing(GEOLOC, NTRACE);
  const FkPlotSteps steps = FkStepsOf(NF, NX, DT, dx);

  float vmin = 1e30f, vmax = -1e30f;
  sup::FINDNX(SPEC, NF * columns, vmin, vmax);
  // The top frequency: the highest row any column reaches with 1 % of the
  // largest value.
  const float threshold = 0.01f * vmax;
  int topRow = 0;
  for (int m = 0; m < columns; ++m) {
    const float* column = SPEC.data() + static_cast<std::ptrdiff_t>(m) * NF;
    for (int r = NF; r > topRow; --r) {
      if (column[r - 1] >= threshold) {
        topRow = r;
        break;
      }
    }
  }
  // A spectrum without a usable value shows every frequency.
  if (topRow == 0) topRow = NF;
  const float fmax = static_cast<float>(topRow) * steps.df;

  sup::LINNX(0.0f, fmax, AXES.YSTART, AXES.YSTEP, AXES.NYDIV, AXES.NYMINOR);
  sup::LINNX(-steps.kNyquist, steps.kNyquist, AXES.XSTART, AXES.XSTEP, AXES.NXDIV, AXES.NXMINOR);
  AXES.NXDIV = std::max(AXES.NXDIV, 1);
  AXES.NYDIV = std::max(AXES.NYDIV, 1);
  AXES.XCELL = kFrameWidth / static_cast<float>(AXES.NXDIV);
  AXES.YCELL = kFrameHeight / static_cast<float>(AXES.NYDIV);
  const float origin = std::min(
      0.2f * std::sqrt(AXES.XCELL * AXES.YCELL * static_cast<float>(AXES.NXDIV) *
                       static_cast<float>(AXES.NYDIV)),
      kLargestOrigin);
  AXES.XORIGIN = origin;
  AXES.YORIGIN = origin;
  AXES.LXLOG = AXES.LYLOG = false;
  AXES.LBOTTOM = AXES.LLEFT = AXES.LRIGHT = true;
  AXES.LTOP = false;
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);

  // Hues 120 (red) to 359 into entries 16-255; the last entry is then set
  // once more, to blue (hue 0), the colour of the least power.
  for (int n = 0; n <= kLevels; ++n)
    tk::IGrPaletteSetRGB(kFkFirstColour + n, tk::IGrHLSValue(kFirstHue + n, 50, 100));
  tk::IGrPaletteSetRGB(kFkLastColour, FkScaleColour(kFkLastColour));
}

void PLOTFK(std::span<const float> SPEC, int NF, int NX, float DT, float DX, sup::GraphAxes& AXES) {
  AXES.TICKCAP = kTickCap;
  AXES.LTICKCAP = true;
  sup::SET_PEN(kFkPenFrame);
  sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);

  const FkPlotSteps steps = FkStepsOf(NF, NX, DT, DX);
  const float cellW = steps.dk * AXES.XSCALE;
  const float cellH = steps.df * AXES.YSCALE;
  const float x0 = sup::PLOFX(-(steps.kNyquist + steps.dk), AXES);
  const float y0 = sup::PLOFY(0.0f, AXES);
  COLOR_FILL(SPEC, NF, NF, NX, cellW, cellH, x0, y0, AXES);

  sup::SET_PEN(kFkPenFrame);
  sup::XOR_OFF();
  sup::GNGRID(AXES);
  const float w = FrameWidth(AXES), h = FrameHeight(AXES);
  sup::PCLIP(0.0f, w, 0.0f, h);
  const float zero = sup::PLOFX(0.0f, AXES);
  sup::PLOTCP(zero, 0.0f, 3, AXES);
  sup::PLOTCP(zero, h, 2, AXES);

  constexpr std::string_view frequency = kFkFrequencyCaption;
  const auto n = static_cast<int>(frequency.size());
  const float ch = std::min(kCaptionHeight, h / (static_cast<float>(n) * 0.86f));
  sup::CENTSY(AXES.XDRAWNMIN - 1.5f * ch, h / 2.0f, ch, frequency, 90.0f, n);
  if (AXES.LBOTTOM) {
    constexpr std::string_view wavenumber = kFkWavenumberCaption;
    sup::CENTSY(w / 2.0f, AXES.LABELBOTTOM - 0.375f, kCaptionHeight, wavenumber, 0.0f,
                static_cast<int>(wavenumber.size()));
  }
}

void COLOR_FILL(std::span<const float> SPEC, int LD, int NROWS, int NCOLS, float CELLW, float CELLH,
                float X0, float Y0, const sup::GraphAxes& AXES) {
  tk::IGrFillStyle(4, 1, 1);
  const int columns = WholeColumns(SPEC.size(), LD, NROWS, NCOLS);
  if (columns < 1) return;
  const auto ld = static_cast<std::ptrdiff_t>(LD);
  float vmin = 1e20f, vmax = -1e20f;
  for (int m = 0; m < columns; ++m) sup::FINDNX(SPEC.subspan(static_cast<std::size_t>(m * ld)), NROWS, vmin, vmax);
  const float step = (vmax - vmin) / static_cast<float>(kLevels);
  // A constant spectrum (step 0) or one without a usable value has no scale:
  // every cell then takes the colour of the least value.
  const bool scaled = PositiveFinite(step);
  const float w = FrameWidth(AXES), h = FrameHeight(AXES);
  if (!PositiveFinite(CELLW) || !PositiveFinite(CELLH)) return;

  for (int r = 1; r <= NROWS; ++r) {
    const float y1 = Y0 + static_cast<float>(r - 1) * CELLH;
    const float y2 = Y0 + static_cast<float>(r) * CELLH;
    // Rows wholly above or below the frame are not drawn; a row crossing the
    // top is drawn whole.
    if (!(y2 >= 0.0f && y1 <= h)) continue;
    for (int m = 1; m <= columns; ++m) {
      const float v = SPEC[static_cast<std::size_t>((m - 1) * ld + (r - 1))];
      if (!(v < sup::kMissingAbove)) continue;  // missing, +infinity or NaN
      float x1 = X0 + static_cast<float>(m - 1) * CELLW;
      float x2 = X0 + static_cast<float>(m) * CELLW;
      if (!(x2 > 0.0f && x1 <= w)) continue;
      x1 = std::max(x1, 0.0f);
      x2 = std::min(x2, w);
      if (sup::LNLYEQ(x1 / CELLW, x2 / CELLW) || !(x1 < w) || !(x2 - x1 > 0.0f)) continue;
      // The largest value sits on the top of the scale even where the
      // division rounds just below it.
      const float level = !scaled ? 0.0f : v >= vmax ? static_cast<float>(kLevels) : (v - vmin) / step;
      sup::FILL_RECT(x1, y1, x2, y2, x2 - x1, EntryOfLevel(level));
    }
  }
}

void PLOTVELS(const FkFan& FAN, sup::GraphAxes& AXES) {
  // The pen origin and the clip window may belong to another window drawn
  // since the spectrum: take the frame's own again.
  sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
  const float w = FrameWidth(AXES), h = FrameHeight(AXES);
  sup::PCLIP(0.0f, w, 0.0f, h);
  sup::XOR_ON();
  const float ox = sup::PLOFX(0.0f, AXES), oy = sup::PLOFY(0.0f, AXES);
  for (std::size_t d = 0; d < 2; ++d) {
    const float v = FAN.V[d];
    if (v == 0.0f) continue;
    sup::SET_PEN(kFkPenFan);
    const bool up = d == 0;
    const float xe = up ? w : 0.0f;
    const float ke = up ? AXES.XSTART + static_cast<float>(AXES.NXDIV) * AXES.XSTEP : AXES.XSTART;
    const float s = up ? 1.0f : -1.0f;
    const float wv = FAN.W[d] * v;
    for (const float velocity : {v, v + wv, v - wv}) {
      const float ye = sup::PLOFY(s * ke * velocity, AXES);
      // A line whose end cannot be placed is left out, the same way each time.
      if (!std::isfinite(ye)) continue;
      sup::PLOTCP(ox, oy, 3, AXES);
      sup::PLOTCP(xe, ye, 2, AXES);
    }
  }
  sup::XOR_OFF();
}

}  // namespace vel
