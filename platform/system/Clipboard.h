#pragma once
// The clipboard: data the user cut or copied, in one or more formats at
// once, kept by this program until the next cut or copy. Under X11 the
// program also owns the display's CLIPBOARD selection while it holds text,
// so other programs can paste it, and text copied in another program is
// read through that selection. Headless the clipboard lives in the process.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

/// Text: the program's characters (Latin-1), lines ending "\r\n", no NUL.
inline constexpr unsigned kClipText = 1;
/// A placeable Windows metafile, as in a .WMF file.
inline constexpr unsigned kClipMetafile = 3;
/// A device-independent bitmap: the info header (and palette) and the bits,
/// as in a .BMP file after its 14-byte file header.
inline constexpr unsigned kClipBitmap = 8;
/// An enhanced metafile, as in an .EMF file.
inline constexpr unsigned kClipEnhMetafile = 14;
/// Private formats are numbered from here on.
inline constexpr unsigned kClipFirstPrivate = 0xC000;

/// The number of the private format NAME: the same name always gives the
/// same number in one run; 0 for an empty name.
unsigned ClipboardRegisterFormat(std::string_view name);
/// Clears every format; the program owns the (empty) clipboard.
void ClipboardEmpty();
/// Adds or replaces FORMAT's data. False for format 0.
bool ClipboardSetData(unsigned format, std::vector<std::uint8_t> bytes);
/// True when the clipboard holds FORMAT.
bool ClipboardHasFormat(unsigned format);
/// FORMAT's data, or none.
std::optional<std::vector<std::uint8_t>> ClipboardData(unsigned format);
/// Empties the clipboard, then puts TEXT on it.
bool ClipboardSetText(std::string_view text);
/// The clipboard's text, or none.
std::optional<std::string> ClipboardText();

/// Conversions between the clipboard's text and the UTF-8, "\n"-ended text
/// other X programs exchange. Characters outside Latin-1 become "?".
std::string ClipTextToUtf8(std::string_view text);
std::string Utf8ToClipText(std::string_view utf8);

}  // namespace plat
