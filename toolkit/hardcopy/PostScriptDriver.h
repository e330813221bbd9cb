#pragma once
// Hardcopy driver 2: PostScript documents and, with option 22, Encapsulated
// PostScript files. Paths are written as they come and stroked or filled
// lazily; colour, dash and width are written only when they change; text is
// shown in the printer's fonts, re-encoded to ISO Latin-1 in the prolog.
#include <string>
#include <string_view>

#include "toolkit/graphics/Drivers.h"

namespace tk {

class PostScriptDriver : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;
};

/// The entry of driver 2.
void XXPSCR(DriverOperation& op);

// The record writers: each record goes to stream 2 through one write line,
// after one blank byte when RecordLeadIn is 1. The numeric writers format
// with the descriptor named, turn a field ending ".00" into ".0", then make
// every run of blanks one blank and trim the ends.
void YYPSNUM3(float a, float b, float c, std::string_view text);  // (3F9.2,1X,A)
void YYPSXY(float x, float y, std::string_view text);             // x, y times the factors
void YYPSNUM1(float a, std::string_view text);                    // (F9.2,1X,A)
void YYPSREC(std::string_view text);  // at most 255 characters, tidied
void YYPSRAW(std::string_view text);  // at most 255 characters, unchanged

/// Finishes the pending path: 1 stroke, 2 close and fill, 3 colour only.
void YYPSFLUSH(int mode);
/// The PostScript colour 0..1 of a colour value (-1 black; a palette
/// number in palette mode, packed RGB otherwise), with option 6 applied.
void YYPSRGB(int colour, float& red, float& green, float& blue);
/// Six lower-case hexadecimal digits of red, green, blue 0-255.
void YYHEXRGB(int red, int green, int blue, std::string& out);

/// The string operand of a show: TEXT with "(", ")" and "\" escaped, cut
/// before escaping so that its escaped form holds at most LIMIT characters
/// and no escape is split.
std::string PostScriptString(std::string_view text, std::size_t limit = 249);

}  // namespace tk
