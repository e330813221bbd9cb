#pragma once
// Byte codes to characters: Windows-1252 for ordinary text, and the Adobe
// Symbol encoding (the layout of the classic Symbol font) for symbol text.
namespace plat::detail {

// The Unicode character a Windows-1252 byte stands for. The five codes the
// code page leaves undefined map to the C1 control of the same value.
char32_t Cp1252ToUnicode(unsigned char c);

// One code of the Symbol encoding: the standard glyph name and the Unicode
// character. Codes the encoding leaves empty have a null name and 0.
struct SymbolCode {
  const char* name;
  char32_t unicode;
};
SymbolCode SymbolEncoding(unsigned char c);

}  // namespace plat::detail
