#pragma once
// Drawing a run of text onto a surface with a font.
#include <cstdint>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/draw/Surface.h"
#include "platform/text/Font.h"

namespace plat {

// Which point of the text the anchor names, along the base line and across it.
// Left/Centre/Right: the start, the middle (width / 2, rounded toward the
// start) or the end of the advance width. Top: the top of the cell, ascent
// above the base line; Baseline: the base line; Bottom: the bottom of the
// cell, descent below it. With a rotated font both directions turn with it.
enum class TextHAlign : std::uint8_t { Left, Centre, Right };
enum class TextVAlign : std::uint8_t { Top, Baseline, Bottom };

struct TextStyle {
  Pixel colour = Rgb(0, 0, 0);
  bool opaque = false;  // fill the text's cell box with the background first
  Pixel background = Rgb(255, 255, 255);
  TextHAlign hAlign = TextHAlign::Left;
  TextVAlign vAlign = TextVAlign::Top;
};

// Draws TEXT with FONT, anchored at AT, changing only pixels inside CLIP (and
// the surface). The cell box of the text spans the advance width along the
// base line and the font height across it; the opaque background fills it,
// the underline of an underlined font runs along it. Glyph ink may reach past
// it (italics, accents). Returns the bounds of the pixels it may have changed.
Rect DrawText(Surface& surface, const Font& font, Point at, std::string_view text,
              const TextStyle& style, Rect clip);

}  // namespace plat
