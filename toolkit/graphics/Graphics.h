#pragma once
// The toolkit's public graphics routines. Coordinates are user units of the
// plot area unless stated; failures are reported through the toolkit error
// reporter under the routine's name and the call returns normally.
#include <optional>
#include <span>
#include <string_view>

#include "toolkit/graphics/GraphicsState.h"

namespace tk {

// --- State, targets and coordinates ----------------------------------------

/// Full reset. OPTIONS: "H" hardcopy only (screen output off), "P" keep the
/// hardcopy options across the reset (either case).
void IGrStateReset(std::string_view OPTIONS = "");
/// Chooses the drawing target: KIND 1 window (NUMBER default the current
/// window), 2 memory bitmap slot (default 1), 3 field of the current dialog
/// (default 0, the dialog itself), 4 metafile slot (default 1). A target that
/// cannot be had reports 1019 and falls back to the current window.
void IGrSelect(int KIND, std::optional<int> NUMBER = std::nullopt);
/// Plot area as fractions 0..1 of the drawable; an invalid axis becomes 0..1 (error 44).
void IGrArea(float XMIN, float YMIN, float XMAX, float YMAX);
/// User-unit ranges of the plot area; an invalid axis becomes 0..1 (error 16).
void IGrUnits(float XMIN, float YMIN, float XMAX, float YMAX);
/// Device pixel (column, row from the bottom) to user units at its centre.
void IGrPixelToUnits(int PX, int PY, float& UX, float& UY);
/// User units to device pixels (negative positions round downwards).
void IGrUserToPixel(float UX, float UY, int& PX, int& PY);
/// Integer state items 1-49 (0 for any other item).
int IGrStateQuery(int ITEM);
/// Frees metafile slot 1-20 (error 1060 for a bad or free slot).
void WMetafileDestroy(int SLOT);

// --- Colours ----------------------------------------------------------------

/// Selects the drawing colour: a palette number in colour mode 1, packed RGB in mode 2.
void IGrColourN(int COLOUR);
/// Selects the drawing colour by name (black, blue, green, cyan, red,
/// magenta, yellow, white; a leading "B" for bright is accepted).
void IGrColour(std::string_view NAME);
/// Defines palette entry N (0-255) as packed RGB. FLAG nonzero: more entries follow.
void IGrPaletteSetRGB(int N, int RGB, int FLAG = 0);
/// Packed RGB of hue 0-359 (0 blue, 120 red, 240 green), lightness and saturation 0-100.
int IGrHLSValue(int HUE, int LIGHTNESS, int SATURATION);
void IGrPaletteSetHLS(int N, int HUE, int LIGHTNESS, int SATURATION, int FLAG = 0);

// --- Lines ------------------------------------------------------------------

void IGrPenMoveTo(float X, float Y);
void IGrDrawLineTo(float X, float Y);
/// Lines from the current point through each point (X(i), Y(i)) in turn, as
/// the same number of IGrDrawLineTo calls draw them, handed to the screen in
/// runs; the current point becomes the last point.
void DrawLinesTo(std::span<const float> X, std::span<const float> Y);
void IGrPenMoveToRel(float DX, float DY);
void IGrDrawLineToRel(float DX, float DY);
/// Plot mode from the first letter: "N" copy, "O" or, "A" and, "E" exclusive-or.
void IGrDrawMode(std::optional<std::string_view> LETTER = std::nullopt);
/// Line widths in pixels; each used only when given and positive.
void IGrLineWidths(std::optional<int> SCREEN = std::nullopt,
                   std::optional<int> HARDCOPY = std::nullopt,
                   std::optional<int> METAFILE = std::nullopt);
/// Line type 0-7 (anything else, or none, gives 0).
void IGrLineType(std::optional<int> TYPE = std::nullopt);
/// Fills a pixel rectangle of the current window (top-left origin) with packed
/// RGB COLOUR, -1 the window's background; absent corners give the whole client area.
void IGrBlankArea(std::optional<int> X1 = std::nullopt, std::optional<int> Y1 = std::nullopt,
                  std::optional<int> X2 = std::nullopt, std::optional<int> Y2 = std::nullopt,
                  std::optional<int> COLOUR = std::nullopt);

// --- Fills ------------------------------------------------------------------

/// STYLE 0 outline, 1 hatch, 2 cross-hatch, 3 halftone, 4 solid; -1, -2 hatch
/// without outline. DENSITY 1-5 (default 2), ANGLE 1-4 (default 3).
void IGrFillStyle(int STYLE, std::optional<int> DENSITY = std::nullopt,
                  std::optional<int> ANGLE = std::nullopt);
/// Parallelogram from (X1, Y1) to (X2, Y2) whose axis-parallel sides have
/// length W: vertical sides for ORIENTATION 1, horizontal for 2.
void IGrTrapezium(float X1, float Y1, float X2, float Y2, float W, int ORIENTATION);
void IGrTriangle(float X1, float Y1, float X2, float Y2, float X3, float Y3);
/// General polygon, cut into triangles by the polygon decomposition.
void IGrPolygonComplex(std::span<const float> X, std::span<const float> Y, int N);
/// Scan-line polygon fill; DEVICE nonzero: real device units.
void YYPLYGON(std::span<const float> X, std::span<const float> Y, int N, int DEVICE);

}  // namespace tk
