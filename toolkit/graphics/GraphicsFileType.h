#pragma once
// Graphics file identification: the type of a picture or plot file from its
// first 128 bytes and, on request, its size and a few further facts; the
// picture counters of HP-GL and Lotus PIC files and the picture information of
// binary CGM files; the token routines their text parsers use.
//
// Every decoder here is a pure function over the file's bytes; the routines
// that take a file name read the file and call them.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tk {

/// Codes of item 1 of the file information.
enum GraphicsFileTypeCode : std::int32_t {
  kGfMissing = -1,
  kGfUnknown = 0,
  kGfBmp = 1,
  kGfPcx = 2,
  kGfMetafile = 3,
  kGfHpgl = 4,
  kGfHpgl2 = 5,
  kGfCgm = 6,
  kGfLotusPic = 7,
  kGfDraw = 8,
  kGfTektronix = 9,
  kGfPostScript = 10,
  kGfPcl = 11,
  kGfEscP = 12,
  kGfEpsonEscU = 13,
  kGfDxf = 14,
  kGfPng = 15,
  kGfSvg = 16,
};

/// Fills items 1..min(N, 6) of INFO (item k at INFO[k - 1], at most INFO's
/// size) for the file NAME(1:NAME_LENGTH); N below 1 counts as 1. Item 1 is
/// the type code; items 2-6 start at -1 and are found only when N >= 2.
void GraphicsFileType(std::string_view name, int nameLength, std::span<std::int32_t> info, int n);
/// The same over the whole contents FILE of a file.
void GraphicsFileTypeOfBytes(std::span<const std::uint8_t> file, std::span<std::int32_t> info,
                             int n);
/// The type code of a file whose first bytes are HEADER (a header shorter
/// than 128 bytes reads as 0 beyond its end).
[[nodiscard]] std::int32_t GraphicsTypeOfHeader(std::span<const std::uint8_t> header);

/// Number of pictures in an HP-GL or HP-GL/2 file (at least 1 once read);
/// COUNT is left unchanged when the file cannot be opened (error 1).
void YYCNTHPG(std::string_view name, int nameLength, std::int32_t& count);
[[nodiscard]] std::int32_t CountHpglPictures(std::span<const std::uint8_t> file);
/// Number of pictures in a Lotus PIC file (at least 1 once read).
void YYCNTPIC(std::string_view name, int nameLength, std::int32_t& count);
/// SHORT := the header or an operand was cut off by the end of the file.
[[nodiscard]] std::int32_t CountPicPictures(std::span<const std::uint8_t> file, bool& shortRead);
/// Number of pictures of a binary CGM (at least 1) and the width / height of
/// its VDC extent (1.0 when none is usable).
void YYINFOCGM(std::string_view name, int nameLength, std::int32_t& count, float& aspect);
/// The same over the file's bytes; false when an element was cut off.
[[nodiscard]] bool CgmPictureInfo(std::span<const std::uint8_t> file, std::int32_t& count,
                                  float& aspect);

/// Take the first blank-delimited word of LINE(1:LENGTH) (an all-blank line
/// gives its first character), deliver it, and blank it in LINE.
void TokenTakeWord(std::string& line, int length, std::string& word);
void TokenTakeInteger(std::string& line, int length, std::int32_t& value);
void TokenTakeReal(std::string& line, int length, float& value);
void TokenTakeDouble(std::string& line, int length, double& value);

/// Unsigned little-endian value of the first COUNT (2 or 4) bytes; bytes
/// beyond the span read as 0.
void ReadUIntLE(std::span<const std::uint8_t> bytes, int count, std::uint32_t& value);
/// Big-endian 32-bit value of the first four bytes (0 beyond the span).
void ReadUInt32BE(std::span<const std::uint8_t> bytes, std::uint32_t& value);
/// The integer at the 1-based OFFSET of a CGM parameter list: signed 16-bit
/// big-endian at precision 16, else 32-bit big-endian. 0 beyond the list.
[[nodiscard]] std::int32_t CgmParamInteger(std::span<const std::uint8_t> params, int offset,
                                           int precision);
/// The four bytes at OFFSET as a big-endian 32-bit integer, as a real.
[[nodiscard]] float CgmParamReal(std::span<const std::uint8_t> params, int offset);

}  // namespace tk

namespace tk {

/// The file name NAME(1:NAME_LENGTH) up to a NUL, without trailing blanks.
[[nodiscard]] std::string GraphicsFileName(std::string_view name, int nameLength);
/// Reads the whole file PATH into OUT; false when it cannot be opened or read.
[[nodiscard]] bool ReadGraphicsFile(const std::string& path, std::string& out);

}  // namespace tk
