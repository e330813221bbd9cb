#pragma once
// The pen plotter: every picture is drawn as pen moves and draws on the 10 by
// 8 plot page relative to a movable origin, through the toolkit's graphics in
// user units equal to page units. Also the sixteen pen colours, exclusive-or
// drawing for overlays and rubber bands, rectangle fills and text.
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "support/GraphAxes.h"
#include "toolkit/graphics/GraphicsState.h"

namespace sup {

/// The pen codes of PLOTXY; a negative code first makes (X, Y) the origin.
enum PenCode : int { kPenStartPage = 1, kPenDraw = 2, kPenMove = 3, kPenStartPage16 = 16 };

/// The pen plotter's one state.
struct PenPlotState {
  float originX = 0, originY = 0;
  float factorX = 0, factorY = 0;
  int penColour = 15;
  bool palettePending = true;
  float lastX = 0, lastY = 0;
  bool exclusiveOr = false;
  bool savedExclusiveOr = false;
};
/// The state as the routines below leave it.
const PenPlotState& PenState();
/// Back to the program-start state (tests and start-up).
void PenPlotReset();

/// The pen colours 0-13 and 15 as hue (0 blue, 120 red, 240 green),
/// lightness and saturation; entry 14 is the graphics layer's own.
struct PenHls {
  int hue, lightness, saturation;
};
inline constexpr PenHls kPenColours[16] = {
    {0, 0, 100},    {300, 50, 100}, {60, 25, 100},  {60, 50, 100},  {0, 50, 100},   {300, 25, 100},
    {0, 25, 100},   {240, 25, 100}, {240, 50, 100}, {180, 50, 100}, {180, 25, 100}, {120, 50, 100},
    {120, 25, 100}, {0, 33, 0},     {-1, -1, -1},   {0, 100, 0}};

/// Text style bits of the page start's font (2: italic).
inline constexpr int kPageFontStyle = 2;

/// The pen call. IPEN: 3 move, 2 draw, 1 or 16 start a page (X > 0 the screen;
/// Y > 0 hardcopy: the graphics state is reset keeping the hardcopy options
/// and output starts on the selected device under its default name); negative: (X, Y) becomes the origin (also stored in
/// AXES.XORIGIN, YORIGIN) and the code acts as its absolute value at (0, 0).
void PLOTXY(float X, float Y, int IPEN, GraphAxes& AXES);
/// Draws from the pen's position through each point (X(i), Y(i)) as the same
/// number of PLOTXY draws (pen 2) would, in one batch.
void PlotPath(std::span<const float> X, std::span<const float> Y, GraphAxes& AXES);

/// Pen colour 0-15, selected at once; other values are ignored.
void SET_PEN(int ICOL);
void GET_PEN(int& ICOL);
/// Exclusive-or drawing on and off (both reselect the pen colour).
void XOR_ON();
void XOR_OFF();
/// Remembers the exclusive-or flag, and restores it with its drawing mode.
void XOR_SAVE();
void XOR_RESTORE();

/// Exclusive-or drawing for as long as it lives, for overlays that a second
/// drawing removes. When it goes, the pen's exclusive-or setting and the
/// toolkit's drawing mode and colours are as they were before.
class ExclusiveOrOverlay {
 public:
  ExclusiveOrOverlay();
  ~ExclusiveOrOverlay();
  ExclusiveOrOverlay(const ExclusiveOrOverlay&) = delete;
  ExclusiveOrOverlay& operator=(const ExclusiveOrOverlay&) = delete;

 private:
  bool wasExclusiveOr_;
  tk::GraphicsStateSaver keep_;  // restores the toolkit's state after the pen's
};

/// Fills the rectangle between the two corners (page units relative to the
/// origin) in colour ICOL with the current fill style; W is its width.
void FILL_RECT(float X1, float Y1, float X2, float Y2, float W, int ICOL);

/// The pixel (KPX, KPY) of the current window (row from the bottom) in page
/// units relative to the origin.
void XYIPIX(float& X, float& Y, int KPX, int KPY);

/// TEXT(1:N) of character height H rotated ANG degrees: SYMBOL with (X, Y) at
/// its lower left, CENTSY centred on it, SYMBOR ending at it.
void SYMBOL(float X, float Y, float H, std::string_view TEXT, float ANG, int N);
void CENTSY(float X, float Y, float H, std::string_view TEXT, float ANG, int N);
void SYMBOR(float X, float Y, float H, std::string_view TEXT, float ANG, int N);

/// Exclusive-or rectangle and line between two mouse positions in window
/// units (MY from the top); drawing the same again erases it.
void RUBBERBOX(int MX1, int MY1, int MX2, int MY2);
void RUBBERLINE(int MX1, int MY1, int MX2, int MY2);

/// Where the pen plotter's text goes; members left empty go to the toolkit's
/// text routines (WGrTextFont, WGrTextLayout, WGrTextDraw).
struct PenTextOutput {
  /// The page start's font: family 102, style kPageFontStyle, width 0.012, height 0.032.
  std::function<void()> pageFont;
  /// Character width and height as fractions of the plot area.
  std::function<void(float width, float height)> size;
  /// Horizontal justification 0 left, 1 centre, 2 right, and the angle in degrees.
  std::function<void(int justify, float angle)> layout;
  std::function<void(float x, float y, std::string_view text)> draw;
};
void SetPenTextOutput(PenTextOutput out);

}  // namespace sup
