#pragma once
// Conversions between numbers and blank-padded texts: writing through a
// fixed-width edit descriptor such as "(F7.2)", "(I5)", "(1PE13.5)" or
// "(G15.5E2)", reading integers and reals with the toolkit's strict syntax,
// quiet variants for fields checked on every keystroke, and small text
// helpers. Everything is locale-independent: the decimal mark is the point.
//
// Texts are std::string whose size is the declared length; positions count
// from 1 and 0 means none. Routines whose names begin with "yy" and the quiet
// forms serve texts that end at the first NUL.
#include <cstdint>
#include <string>
#include <string_view>

namespace tk {

// ---------------------------------------------------------------------------
// The formatter of fixed-width edit descriptors. A value that needs more than
// w characters fills the whole field of w characters with "*".

/// One parsed edit descriptor: Iw, Iw.m, Fw.d, Ew.d, Ew.dEe, kP before E/F/G,
/// Gw.d, Gw.dEe, Lw, A, Aw, nX.
struct EditDescriptor {
  char kind = 0;            // 'I', 'F', 'E', 'G', 'L', 'A' or 'X'
  int width = 0;            // w (for A without a width: 0, the text's own length)
  int digits = -1;          // d, or m for Iw.m; -1 when absent
  int exponentDigits = -1;  // e of Ee; -1 when absent
  int scale = 0;            // k of kP
};

/// Parses one parenthesised descriptor, "(F10.3)"; letters in either case.
[[nodiscard]] bool ParseEditDescriptor(std::string_view format, EditDescriptor& out);

/// FIELD := VALUE in exactly the descriptor's width. False when the descriptor
/// does not suit the value (I or G for integers only here).
[[nodiscard]] bool FormatInteger(std::int64_t value, const EditDescriptor& d, std::string& field);

/// FIELD := VALUE in exactly the descriptor's width (F, E, G).
[[nodiscard]] bool FormatReal(double value, const EditDescriptor& d, std::string& field);

/// Lw: w-1 blanks and T or F.
[[nodiscard]] bool FormatLogical(bool value, const EditDescriptor& d, std::string& field);

/// Aw: the leftmost w characters, or the text right-justified in w; nX: blanks.
[[nodiscard]] bool FormatText(std::string_view value, const EditDescriptor& d, std::string& field);

/// The field of VALUE written through FORMAT, for text files: "(F10.2)" gives
/// exactly 10 characters, stars when the value does not fit. A malformed or
/// unsuitable format gives an empty text.
std::string FormatRealField(double value, std::string_view format);
std::string FormatIntegerField(std::int64_t value, std::string_view format);

// ---------------------------------------------------------------------------
// Writers: the field starts at position 1 of TEXT and the rest is blank. A
// malformed format, a descriptor that does not suit the value, a field longer
// than TEXT, or a field that overflowed gives "**********" (cut to TEXT's
// length) and error 18 under the routine's name.

void IntegerToString(std::int32_t value, std::string& text, std::string_view format);
void IRealToString(float value, std::string& text, std::string_view format);
void IDoubleToString(double value, std::string& text, std::string_view format);

/// TEXT := the field left-justified and trimmed; an overflowing field stays
/// as its stars. Only a malformed format fails ("**********", error 18).
void yyrea2st(float value, std::string& text, std::string_view format);
void yydbl2st(double value, std::string& text, std::string_view format);
/// TEXT := VALUE written with "(I11)", left-justified and trimmed.
void yyint2st(std::int32_t value, std::string& text);

// ---------------------------------------------------------------------------
// Readers: the first blank-delimited word of TEXT. On failure VALUE is 0 and
// one of these is reported under the routine's name: 10 no word, 11 a second
// decimal point, 12 an invalid character, 4 a number too large.

void IStringToInteger(std::string_view text, std::int32_t& value);
/// Single precision: exponent letters "E", "e"; limit 10^38.
void IStringToReal(std::string_view text, float& value);
/// Double precision: exponent letters "E", "e", "D", "d"; limit 10^308.
/// Both also read a three-digit exponent written without a letter ("2.5-105").
void IStringToReal(std::string_view text, double& value);

// Quiet forms: nothing is reported and the last error code and reporting
// mode are as they were afterwards; a text that is not a number gives 0.
void ParseDoubleQuiet(double& value, std::string_view text);
/// VALID := 1 when the text held a number, else 0.
void ParseDoubleChecked(double& value, int& valid, std::string_view text);
void ParseRealQuiet(float& value, std::string_view text);
/// Parsed in single precision and truncated toward zero; a value outside the
/// 32-bit range is not a number here and gives 0.
void ParseIntegerQuiet(std::int32_t& value, std::string_view text);

/// TEXT := the canonical text of the number it holds ("0" for anything else):
/// integers through "(I11)", reals through FORMAT; left-justified, trimmed.
void NormaliseIntegerText(std::string& text);
void NormaliseRealText(std::string& text, std::string_view format);
void NormaliseDoubleText(std::string& text, std::string_view format);

// ---------------------------------------------------------------------------
// Text helpers.

/// Moves the used part left (mode has "L"/"l"), right ("R"/"r"), or centres it.
void JustifyString(std::string& text, std::string_view mode);
/// Position of the first character that is neither blank nor NUL; 0 if none.
int FirstNonBlank(std::string_view text);
/// First and last position of the first blank-delimited word; 0, 0 if none.
void NextWordBounds(std::string_view text, int& first, int& last);
void UpperCaseInPlace(std::string& text);
void LowerCaseInPlace(std::string& text);
int UnsignedCharCode(char character);
/// Optional "-", then digits up to the first non-digit; 0 when no digit. A
/// value outside the 32-bit range gives 0 and error 4 under
/// "ParseDecimalInteger".
std::int32_t ParseDecimalInteger(std::string_view text);
/// Length up to the last non-blank before the first NUL.
int CStringTrimmedLength(std::string_view text);
/// Length up to the first blank or NUL.
int CStringWordLength(std::string_view text);
/// FIELD := TEXT (up to its NUL) cut or blank-padded to LENGTH characters.
void CStringToField(std::string_view text, std::string& field, int length);

}  // namespace tk
