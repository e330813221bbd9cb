#pragma once
// Colour to dither: the 8 x 4 dither cells in which the HP-GL/2 printer
// driver and the software raster driver render a colour that their device
// cannot show as it is.
#include <cstdint>

namespace tk {

/// Dither words of the graphics state's current colour, with hardcopy
/// option 6 (colour handling) and the driver's DeviceColours. Each word is an
/// 8 x 4 cell: bits 0-7 the first row, 8-15 the second, and so on; a set bit
/// is a lit (colour-on) dot. MODE 2 on a colour device works on the
/// complementary colour. On a two-colour device all three words are the
/// luminance word (complemented when option 6 is above 0); on a colour
/// device they are the red, green and blue words, or three times the red
/// word for a grey.
void ColourToShade(int mode, std::int32_t& w1, std::int32_t& w2, std::int32_t& w3);

/// The dither word of one channel at LEVEL (0..1) with placement SEED.
std::uint32_t DitherWord(float level, int seed);

}  // namespace tk
