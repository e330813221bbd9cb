#include "support/PenPlot.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/ProgramState.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Text.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace sup {
namespace {

/// Text through the toolkit's text routines.
PenTextOutput ToolkitText() {
  PenTextOutput t;
  // Family 102 is the device face "Arial"; the page's font type 1 is the
  // device (hardware) font that a family of 100-104 already selects, so only
  // its style 2 (italic) goes to the style argument.
  t.pageFont = [] { tk::WGrTextFont(102, kPageFontStyle, 0.012f, 0.032f); };
  t.size = [](float w, float h) { tk::WGrTextFont(std::nullopt, std::nullopt, w, h); };
  t.layout = [](int justify, float angle) { tk::WGrTextLayout(justify, angle); };
  t.draw = [](float x, float y, std::string_view text) { tk::WGrTextDraw(x, y, text); };
  return t;
}

struct Plotter {
  PenPlotState pen;
  PenTextOutput text = ToolkitText();
};

Plotter& P() {
  static Plotter p;
  return p;
}
const bool kRegistered = RegisterProgramReset(ProgramLayer::Support, [] { P() = Plotter{}; });

void PageStart(float X, float Y) {
  PenPlotState& s = P().pen;
  if (Y > 0) {
    tk::IGrStateReset("HP");
    tk::WHardcopySwitch(" ");
  }
  if (X > 0) {
    if (s.palettePending) {
      for (int n = 0; n < 16; ++n) {
        if (n == 14) continue;  // the graphics layer's own entry stays
        const PenHls& c = kPenColours[n];
        tk::IGrPaletteSetHLS(n, c.hue, c.lightness, c.saturation);
      }
      s.palettePending = false;
    }
    tk::IGrBlankArea(std::nullopt, std::nullopt, std::nullopt, std::nullopt, -1);
  }
  tk::IGrUnits(0, 0, kPageWidth, kPageHeight);
  if (P().text.pageFont) P().text.pageFont();
  s.factorX = s.factorY = 1.0f;
  s.originX = s.originY = 0.0f;
}

/// One text call of SYMBOL, CENTSY, SYMBOR at the reference point.
void Text(float x, float y, float h, std::string_view text, float ang, int n, int justify,
          float widthFactor) {
  if (n <= 0) return;
  const PenTextOutput& out = P().text;
  if (out.size) out.size(widthFactor * 4 * h, 0.04f * 4 * h);
  if (out.layout) out.layout(justify, ang);
  const std::size_t len = std::min(text.size(), static_cast<std::size_t>(n));
  std::string shown(text.substr(0, len));
  shown.resize(static_cast<std::size_t>(n), ' ');  // TEXT(1:N) of a blank-padded buffer
  if (out.draw) out.draw(x, y, shown);
}

void Rubber(int MX1, int MY1, int MX2, int MY2, bool box) {
  const ExclusiveOrOverlay overlay;
  const float x1 = PageXOfMouse(MX1), y1 = PageYOfMouse(MY1);
  const float x2 = PageXOfMouse(MX2), y2 = PageYOfMouse(MY2);
  tk::IGrPenMoveTo(x1, y1);
  if (box) {
    tk::IGrDrawLineTo(x1, y2);
    tk::IGrDrawLineTo(x2, y2);
    tk::IGrDrawLineTo(x2, y1);
    tk::IGrDrawLineTo(x1, y1);
  } else {
    tk::IGrDrawLineTo(x2, y2);
  }
}

}  // namespace

const PenPlotState& PenState() {
  return P().pen;
}

void PenPlotReset() {
  P().pen = PenPlotState{};
}

void PLOTXY(float X, float Y, int IPEN, GraphAxes& AXES) {
  PenPlotState& s = P().pen;
  int pen = IPEN;
  if (pen == kPenStartPage || pen == kPenStartPage16) {
    PageStart(X, Y);
    return;
  }
  if (pen < 0) {
    s.originX = X;
    s.originY = Y;
    AXES.XORIGIN = X;
    AXES.YORIGIN = Y;
    X = Y = 0;
    pen = pen == -2147483647 - 1 ? 0 : -pen;  // -1 and -16 only move the origin
  }
  const float px = (X + s.originX) * s.factorX;
  const float py = (Y + s.originY) * s.factorY;
  if (pen == kPenMove) {
    tk::IGrPenMoveTo(px, py);
  } else if (pen == kPenDraw) {
    tk::IGrColourN(s.penColour);  // other drawing may have changed the colour
    if (s.exclusiveOr) tk::IGrDrawLineTo(s.lastX, s.lastY);
    tk::IGrDrawLineTo(px, py);
  } else {
    return;
  }
  s.lastX = px;
  s.lastY = py;
}

void PlotPath(std::span<const float> X, std::span<const float> Y, GraphAxes& AXES) {
  PenPlotState& s = P().pen;
  const std::size_t n = std::min(X.size(), Y.size());
  if (s.exclusiveOr) {
    for (std::size_t i = 0; i < n; ++i) PLOTXY(X[i], Y[i], kPenDraw, AXES);
    return;
  }
  if (n == 0) return;
  // Every draw selects the pen colour first; a second selection leaves the
  // colours as any number of further ones would.
  tk::IGrColourN(s.penColour);
  if (n > 1) tk::IGrColourN(s.penColour);
  thread_local std::vector<float> px, py;
  px.resize(n);
  py.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    px[i] = (X[i] + s.originX) * s.factorX;
    py[i] = (Y[i] + s.originY) * s.factorY;
  }
  tk::DrawLinesTo(px, py);
  s.lastX = px[n - 1];
  s.lastY = py[n - 1];
}

void SET_PEN(int ICOL) {
  if (ICOL < 0 || ICOL > 15) return;
  P().pen.penColour = ICOL;
  tk::IGrColourN(ICOL);
}

void GET_PEN(int& ICOL) {
  ICOL = P().pen.penColour;
}

void XOR_ON() {
  P().pen.exclusiveOr = true;
  tk::IGrColourN(P().pen.penColour);
  tk::IGrDrawMode("E");
}

void XOR_OFF() {
  P().pen.exclusiveOr = false;
  tk::IGrColourN(P().pen.penColour);
  tk::IGrDrawMode("N");
}

void XOR_SAVE() {
  P().pen.savedExclusiveOr = P().pen.exclusiveOr;
}

void XOR_RESTORE() {
  P().pen.exclusiveOr = P().pen.savedExclusiveOr;
  tk::IGrDrawMode(P().pen.exclusiveOr ? "E" : "N");
}

ExclusiveOrOverlay::ExclusiveOrOverlay() : wasExclusiveOr_(P().pen.exclusiveOr) {
  XOR_ON();
}

ExclusiveOrOverlay::~ExclusiveOrOverlay() {
  // The toolkit's mode and colours come back with keep_, after this body.
  P().pen.exclusiveOr = wasExclusiveOr_;
}

void FILL_RECT(float X1, float Y1, float X2, float Y2, float W, int ICOL) {
  const PenPlotState& s = P().pen;
  tk::IGrColourN(ICOL);
  float x1 = (X1 + s.originX) * s.factorX, y1 = (Y1 + s.originY) * s.factorY;
  float x2 = (X2 + s.originX) * s.factorX, y2 = (Y2 + s.originY) * s.factorY;
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  tk::IGrTrapezium(x1, y1, x2, y2, std::fabs(W * s.factorX), 2);
}

void XYIPIX(float& X, float& Y, int KPX, int KPY) {
  const PenPlotState& s = P().pen;
  float u = 0, v = 0;
  tk::IGrPixelToUnits(KPX, KPY, u, v);
  X = u / s.factorX - s.originX;
  Y = v / s.factorY - s.originY;
}

void SYMBOL(float X, float Y, float H, std::string_view TEXT, float ANG, int N) {
  const PenPlotState& s = P().pen;
  const float a = ANG / 57.293f;
  const float x = X + s.originX + 0.5f * H * std::sin(a);
  const float y = Y + s.originY + 0.5f * H * std::cos(a);
  Text(x, y, H, TEXT, ANG, N, 0, 0.0108f);
}

void CENTSY(float X, float Y, float H, std::string_view TEXT, float ANG, int N) {
  const PenPlotState& s = P().pen;
  Text(X + s.originX, Y + s.originY, H, TEXT, ANG, N, 1, 0.0114f);
}

void SYMBOR(float X, float Y, float H, std::string_view TEXT, float ANG, int N) {
  const PenPlotState& s = P().pen;
  Text(X + s.originX, Y + s.originY, H, TEXT, ANG, N, 2, 0.0108f);
}

void RUBBERBOX(int MX1, int MY1, int MX2, int MY2) {
  Rubber(MX1, MY1, MX2, MY2, true);
}

void RUBBERLINE(int MX1, int MY1, int MX2, int MY2) {
  Rubber(MX1, MY1, MX2, MY2, false);
}

void SetPenTextOutput(PenTextOutput out) {
  PenTextOutput t = ToolkitText();
  if (out.pageFont) t.pageFont = std::move(out.pageFont);
  if (out.size) t.size = std::move(out.size);
  if (out.layout) t.layout = std::move(out.layout);
  if (out.draw) t.draw = std::move(out.draw);
  P().text = std::move(t);
}

}  // namespace sup
