#pragma once
// Reading numbers from fixed-width text fields, as the edit descriptors Iw
// and Fw.d read them on input: blanks anywhere in the field are ignored, an
// all-blank field reads as 0, a sign may lead the number, and an F field
// without a decimal point in its text has d implied decimals ("125" in F5.2
// is 1.25) while a written point places the decimals itself. An F field may
// carry an exponent: "E", "D" (either case) or a lone sign followed by the
// exponent digits ("1.5E2", "1.5+2").
//
// Instrument headers, the geometry file and other text formats read their
// numeric fields through these routines. The result tells whether the field
// held a number; a field that does not gives the value 0.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sup {

/// Iw: FIELD as a whole number. False (VALUE 0) when the text is not an
/// optionally signed run of digits or does not fit in 32 bits.
[[nodiscard]] bool ReadIntField(std::string_view field, std::int32_t& value);

/// Fw.d: FIELD as a real with DECIMALS implied decimals. False (VALUE 0) when
/// the text is not a number or overflows a double.
[[nodiscard]] bool ReadRealField(std::string_view field, int decimals, double& value);

/// The WIDTH characters of TEXT from 0-based OFFSET; cut where TEXT ends
/// (empty when OFFSET lies beyond it), so a field is never read past the text.
inline std::string_view FieldAt(std::string_view text, std::size_t offset, std::size_t width) {
  if (offset >= text.size()) return {};
  return text.substr(offset, width);
}

}  // namespace sup
