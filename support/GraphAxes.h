#pragma once
// Graph frames on the 10 by 8 plot page: the GraphAxes record, the mapping of
// data values to plot units (linear or logarithmic per axis) and back, the
// choice of tidy axis ranges, and the zoom box.
#include <array>
#include <cstdint>
#include <span>

#include "support/Numerics.h"

namespace sup {

/// A value above kMissingAbove counts as missing; the stored value for an
/// absent number is 1e20.
inline constexpr float kMissingValue = 1e20f;
/// True when X stands for a missing value.
constexpr bool IsMissing(float X) {
  return X > kMissingAbove;
}

/// Plot page size in page units.
inline constexpr float kPageWidth = 10.0f;
inline constexpr float kPageHeight = 8.0f;
/// A mouse position in window units (0..9999, MY from the top) on the page.
float PageXOfMouse(int MX);
float PageYOfMouse(int MY);

/// One graph frame: 37 words. Positions and lengths are page units; the
/// derived words are set by FINDASX and FINDASY.
struct GraphAxes {
  float XORIGIN = 0;  // page position of the frame origin (where XSTART sits)
  float YORIGIN = 0;
  float XCELL = 0;   // plot length of one division (one decade on a log axis); < 0 runs leftwards
  float YCELL = 0;   // < 0: the axis runs downwards
  float XSTART = 0;  // data value at the origin (linear axis)
  float YSTART = 0;
  float XSTEP = 0;  // data step per division; 0 marks a log axis for the labels
  float YSTEP = 0;
  float XOFFSET = 0;  // derived: plot x = XSCALE * x + XOFFSET
  float YOFFSET = 0;
  float XSCALE = 0;  // derived: plot units per data unit (1 on a log axis)
  float YSCALE = 0;
  float TICKCAP = 0;      // largest tick length when LTICKCAP
  float XDRAWNMIN = 0;    // GNGRID: least x reached by the frame and vertical axis labels
  float XDRAWNMAX = 0;    // GNGRID: greatest such x
  float LABELBOTTOM = 0;  // GNGRID: lowest y of the bottom labels (1e30: none)
  float XCLIPMIN = 0;     // derived clip limits relative to the origin
  float XCLIPMAX = 0;
  float YCLIPMIN = 0;
  float YCLIPMAX = 0;
  std::int32_t NXDIV = 0;    // x divisions; <= 0 on entry to GNGRID: no horizontal lines
  std::int32_t NYDIV = 0;    // y divisions; < 0 on entry to GNGRID: outer frame only
  std::int32_t NXMINOR = 0;  // linear: minor intervals; log: exponent of the first decade
  std::int32_t NYMINOR = 0;
  std::int32_t IMARKER = 0;  // marker shape 1-11 of GNPLOT
  std::int32_t ISPARE1 = 0;
  std::int32_t ISPARE2 = 0;
  bool LXLOG = false;
  bool LYLOG = false;
  bool LTICKCAP = false;
  bool LMARKALT = false;  // markers of other shapes are diamonds, not squares
  bool LNOBREAK = false;  // GNPLOT does not split a series where x turns back
  bool LTHIN = false;     // GNGRID never doubles the frame lines
  bool LBOTTOM = false;
  bool LLEFT = false;
  bool LRIGHT = false;
  bool LTOP = false;  // never set in this program
};

/// The record as 32-bit words (reals as their bit patterns, logicals -1/0).
inline constexpr int kGraphAxesWords = 37;
std::array<std::uint32_t, kGraphAxesWords> GraphAxesToWords(const GraphAxes& AXES);
GraphAxes GraphAxesFromWords(std::span<const std::uint32_t, kGraphAxesWords> words);

/// XSCALE, XOFFSET, XCLIPMIN, XCLIPMAX from the x words. The x margins
/// (0.102 and 0.051 on a leftward axis) differ from the y margins on purpose.
void FINDASX(GraphAxes& AXES);
/// The same for y.
void FINDASY(GraphAxes& AXES);

/// Plot x of the data value X relative to the frame origin; 0 for NaN. A log
/// axis plots by magnitude.
float PLOFX(float X, const GraphAxes& AXES);
float PLOFY(float Y, const GraphAxes& AXES);
/// Data x of the page position P (the frame origin is subtracted).
float XOFPL(float P, const GraphAxes& AXES);
float YOFPL(float P, const GraphAxes& AXES);
/// The page position (10 x 8 units, y up) of a window position in the
/// toolkit's window units (0..10000 across and down).
inline float PageXOfWindow(std::int32_t x) { return static_cast<float>(x) * 10.0f / 10000.0f; }
inline float PageYOfWindow(std::int32_t y) { return static_cast<float>(10000 - y) * 8.0f / 10000.0f; }

/// A tidy linear axis covering A..B: START, STEP and at most 5 divisions;
/// NMINOR is always 5. An empty range is widened, a reversed, NaN or
/// infinite one gives 0, 0.5, 2.
void LINNX(float A, float B, float& START, float& STEP, int& NDIV, int& NMINOR);
/// Decade exponents IE1 < IE2 covering abs(A)..abs(B).
void LOGNX(float A, float B, int& IE1, int& IE2);
/// Extends AMIN, AMAX over the magnitudes of A(1:N) between 1e-15 and 1e15.
void GETNX(std::span<const float> A, int N, float& AMIN, float& AMAX);

/// The data point lies inside the frame's data range, ends included.
bool LINGRAPH(float X, float Y, const GraphAxes& AXES);
/// Two mouse positions (window units, y from the top) as data coordinates.
void LINEBACK(int MX1, int MY1, int MX2, int MY2, float& X1, float& Y1, float& X2, float& Y2,
              const GraphAxes& AXES);
/// New tidy ranges for both axes from a mouse rectangle; the frame keeps its
/// size and the direction of its axes.
void ZOOMBOX(int MX1, int MY1, int MX2, int MY2, GraphAxes& AXES);

}  // namespace sup
