#pragma once
// Images on drawing surfaces: an image file drawn into a device context,
// stretched to a rectangle or at its own size (driver operation 38), and a
// rectangle of the drawing surface saved as a BMP, PCX or PNG file; with the
// bitmap-file and PCX-run helpers they use. Statuses are returned, never
// reported.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"
#include "platform/draw/Canvas.h"

namespace tk {

/// Draws the image of KIND (0 the clipboard's bitmap, 1 BMP, 2 PCX, 15 PNG;
/// any other kind draws nothing, status 0) from the file NAME (up to a NUL)
/// on TARGET (0 the screen driver's surface, 10 and 11 through the image
/// target seam; others status 27). LEFT, TOP, RIGHT, BOTTOM are pixels,
/// rows from the top; STRETCH fits the image into them, else it is drawn at
/// its own size from (LEFT, TOP) inside the target's clip.
void ImageToDevice(int kind, int target, int left, int top, int right, int bottom, int stretch,
                   int& status, int& systemError, std::string_view name);

/// Saves the pixels X1..X2, Y1..Y2 of the current drawing surface as KIND
/// (0 the clipboard, 1 BMP, 2 PCX, 15 PNG) to the file NAME (up to a NUL).
void ImageFromDevice(int kind, int x1, int y1, int x2, int y2, int& status, int& systemError,
                     std::string_view name);

/// The canvas and clip of targets 10 (printer page) and 11 (metafile), for
/// the drivers that own them; none until they are installed.
using ImageTargetFn = std::function<plat::Canvas*(int target, std::optional<plat::Rect>& clip)>;
void SetImageTargets(ImageTargetFn targets);

/// The screen driver's operation 38: the file in the text buffer into the
/// clip rectangle; P2 := status, P1 := system error.
void ScreenImageOperation(plat::Canvas* canvas);
/// Installs the image operation in the screen driver.
void ImageLayerInstall();

/// Bytes of the colour table behind a bitmap information HEADER: a 12-byte
/// core header 3 a colour (6, 48, 768 at 1, 4, 8 bits); otherwise colours
/// used x 4 when not 0, else 8, 64 or 1024 at 1, 4, 8 bits; 0 for other bit
/// counts.
[[nodiscard]] std::int32_t DibColourTableSize(std::span<const std::uint8_t> header);

/// Loads the BMP file NAME as a device-independent bitmap into BLOCK
/// (information header, colour table, rows): 0, or 1 not opened, 2 short or
/// too large, 27 not a BMP of a kind drawn here (core header, more than 256
/// colours). ROWS_OFFSET := where the rows start in BLOCK.
[[nodiscard]] int BitmapFileLoad(const std::string& name, std::vector<std::uint8_t>& block,
                                 std::int64_t& rowsOffset);

/// One PCX run from FILE at POS: a byte below 192 is one pixel; a byte of 192
/// or more counts (low 6 bits) the next byte. 0, or 2 when a byte is missing.
[[nodiscard]] int PcxRunRead(std::span<const std::uint8_t> file, std::size_t& pos,
                             std::uint8_t& value, int& count);
/// Appends the run (192 + COUNT, VALUE), or VALUE alone when COUNT is 1 and
/// VALUE below 192; COUNT is 1-63. Returns 0.
int PcxRunWrite(std::uint8_t value, int count, std::string& out);

}  // namespace tk
