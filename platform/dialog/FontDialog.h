#pragma once
// Our own font dialog: the face (from the faces the text layer offers), the
// style, the size in points and, with effects, strike-out, underline and the
// colour. The caller's logical font starts it; what it reads back says which
// parts the user settled, so that a part the selection holds mixed stays
// mixed unless chosen.
//
// Where nobody can answer the dialog is cancelled. A test scripts it as any
// template dialog, with the answer of "dialog 1543": "ID=text" lines for the
// fields below, then "press 1" (OK) or "press 2" (Cancel).
#include <cstdint>
#include <string>

#include "platform/text/Font.h"
#include "platform/window/Window.h"

namespace plat {

inline constexpr int kFontDialogId = 1543;
enum FontDialogField : int {
  kFontDialogFace = 1136,       // combo box: the faces, or a typed name
  kFontDialogStyle = 1137,      // list: Regular, Italic, Bold, Bold Italic
  kFontDialogSize = 1138,       // combo box: points, or a typed number
  kFontDialogStrikeOut = 1040,  // check boxes (effects)
  kFontDialogUnderline = 1041,
  kFontDialogColour = 1139,  // list: the sixteen colours (effects)
};

/// The dialog's options.
enum : unsigned {
  kCfScreenFonts = 0x1,
  kCfEffects = 0x100,         // strike-out, underline and colour
  kCfForceFontExist = 0x10000,  // a typed face must be one of the list
  kCfTrueTypeOnly = 0x40000,
  kCfNoFaceSel = 0x80000,     // the face starts unchosen
  kCfNoStyleSel = 0x100000,   // the style starts unchosen
  kCfNoSizeSel = 0x200000,    // the size starts unchosen
};

/// The style names of the style list, in order.
inline constexpr const char* kFontStyleNames[] = {"Regular", "Italic", "Bold", "Bold Italic"};

struct ChooseFontValues {
  unsigned flags = kCfScreenFonts | kCfEffects;
  /// The logical font: height in pixels (negative: the em height) at
  /// PIXELS_PER_INCH, weight (0: undecided), italic, underline, face.
  FontSpec font;
  bool strikeOut = false;
  int pixelsPerInch = 96;
  std::int32_t colour = 0;  // R + 256 G + 65536 B
  // Filled on OK:
  int pointSizeTenths = 0;  // the chosen size in tenths of a point
  bool faceChosen = false, styleChosen = false, sizeChosen = false;
};

/// Shows the dialog owned by OWNER (disabled meanwhile) with VALUES; true
/// with VALUES updated when the user confirmed.
bool ChooseFontDialog(Hwnd owner, ChooseFontValues& values);

/// The sixteen colours of the colour list (R + 256 G + 65536 B) and names.
struct FontDialogColour {
  const char* name;
  std::int32_t rgb;
};
inline constexpr FontDialogColour kFontDialogColours[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000},   {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},    {"Grey", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},   {"White", 0xFFFFFF},
};

}  // namespace plat
