#pragma once
// Text: the attributes of the graphics state (fonts, sizes, styles, angle,
// justification), the character width table and string measurement, the
// drawing of strings at user-unit positions, and the built-in vector fonts
// bound to the one graphics state.
//
// Geometry: the nominal character cell is the character width and height
// fractions of the plot area in device units; the realised cell of device
// text is device width / columns by device height / rows. A string's anchor
// lies on the vertical centre line of its cells.
#include <array>
#include <optional>
#include <string_view>

#include "toolkit/graphics/GraphicsState.h"

namespace tk {

// --- Attributes ---------------------------------------------------------------

/// Text font: FAMILY 1 stroke family, 2 device family with the current face,
/// 100-104 device face 0-4; STYLE bits (1 bold, 2 italic, 4 underline, 8
/// opaque box); WIDTH, HEIGHT fractions of the plot area (used when > 0);
/// FACENAME the user face (kept only while face 0 is selected); SPACING 0
/// natural, 1 fixed pitch, 2 proportional from the width table.
void WGrTextFont(std::optional<int> FAMILY = std::nullopt, std::optional<int> STYLE = std::nullopt,
                 std::optional<float> WIDTH = std::nullopt,
                 std::optional<float> HEIGHT = std::nullopt,
                 std::optional<std::string_view> FACENAME = std::nullopt,
                 std::optional<int> SPACING = std::nullopt);
/// Style 1-12: groups of four (plain, italic, bold, bold italic) for
/// "Arial", "Times New Roman" and "Symbol"; in fixed pitch always "Courier New".
void IGrTextStyle(int STYLE);
/// "H" device-measured proportional, "P" table proportional, anything else fixed pitch.
void IGrTextMode(std::string_view MODE);
/// Character width and height fractions (a value not > 0 takes the reset value).
void IGrTextSize(float WIDTH, float HEIGHT);
/// Realises the character size on the outputs (substitute face, columns, rows).
void TextSizeApply();
/// Horizontal justification 0-2, angle in degrees, vertical text flag and
/// vertical justification 0-2; each used when given.
void WGrTextLayout(std::optional<int> HJUST = std::nullopt,
                   std::optional<float> ANGLE = std::nullopt,
                   std::optional<int> VERTICAL = std::nullopt,
                   std::optional<int> VJUST = std::nullopt);
/// Stores ANGLE normalised to 0 <= a < 360 with its direction terms and tells the drivers.
void TextAngleSet(float ANGLE);
/// Width of the first N characters of TEXT in nominal cell widths; the
/// driver measures unless NODEVICE is nonzero, the spacing mode is 1 or the
/// stroke family is selected.
float TextWidthCells(std::string_view TEXT, int N, int NODEVICE = 0);
/// Resets width-table entries: 0 all, else one code (32-126, 128, 161-255);
/// any other code reports error 66.
void YYCHSPACE(int CODE);
/// The built-in width table, in nominal cell widths by mapped code (entry
/// 127 is the width of character 128; unused entries 0).
const std::array<float, 256>& CharacterWidthTable();
/// Aspect factor q of the plot area on the current drawable.
float TextAspectFactor();

// --- Drawing ------------------------------------------------------------------

/// Draws TEXT at the user-unit position (X, Y) (absent: the current point's
/// coordinate) with the text attributes; the current point moves past it.
void WGrTextDraw(std::optional<float> X, std::optional<float> Y, std::string_view TEXT);
/// True when target K (0 drawable, 1 hardcopy) must draw a string of cell
/// (CW, CH) device units with a stroke font.
bool TextUseStrokeFont(int K, float CW, float CH);
/// Fills the box behind the first N characters of TEXT drawn from (X, Y) in
/// device units, on the outputs SCREEN and HARDCOPY select.
void TextBackgroundBox(float X, float Y, std::string_view TEXT, int N, int NODEVICE, int SCREEN,
                       int HARDCOPY);

// --- Built-in vector fonts on the graphics state ------------------------------

void StrokeFontStandard();
void StrokeFontFixed();
void StrokeFontFixedBold();
void StrokeFontRoman();
void StrokeFontRomanBold();
void StrokeFontSwiss();
void StrokeFontSwissBold();
void StrokeFontSymbol();
/// Family selectors by the current style's bold bit.
void StrokeFamilyFixed();
void StrokeFamilyRoman();
void StrokeFamilySwiss();
/// SAVE true saves the current font with the stroke family flag; false restores both.
void StrokeFontSaveRestore(bool SAVE);
/// Draws the first N characters of TEXT with the current font from (X, Y) in
/// device units with cell W x H, through the line and polygon primitives on
/// the outputs that are on.
void StrokeTextDraw(float X, float Y, std::string_view TEXT, int N, float W, float H);

// --- Set-up -------------------------------------------------------------------

/// Connects the text routines to the graphics state's hooks and the screen
/// driver's text operations. Called by the graphics start.
void TextLayerInstall();

}  // namespace tk
