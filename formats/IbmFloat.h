#pragma once
// IBM System/360 hexadecimal floating point (SEG-Y sample format 1) to and
// from IEEE single precision. Pure bit manipulation: no rounding mode, no
// floating-point arithmetic, no error.
//
// IBM word: sign bit 31, excess-64 power-of-16 exponent in bits 24-30,
// 24-bit fraction with the point before bit 23.
//
// Byte-order flag: 0 means every IBM word is stored with its four bytes
// reversed relative to the machine's order (most significant byte first on
// this little-endian machine, as SEG-Y files hold them); any other value
// means the machine's order. The IEEE side is always in the machine's order.
#include <cstddef>
#include <cstdint>
#include <span>

namespace vel {

/// One IEEE single (as bits) to one IBM word (machine order). Truncates the
/// up to three low bits that the hexadecimal exponent cannot hold.
std::uint32_t IeeeToIbmBits(std::uint32_t ieee);

/// One IBM word (machine order) to IEEE single bits. Exact within range; too
/// large gives the largest finite single with the word's sign, too small +0.
std::uint32_t IbmToIeeeBits(std::uint32_t ibm);

/// Converts COUNT singles of SOURCE into IBM words in DESTINATION (never more
/// than either holds). A COUNT of 0 or less does nothing.
void IeeeToIbmFloat(std::span<const float> source, std::span<std::uint32_t> destination, int count,
                    int byteOrderFlag);

/// Converts COUNT IBM words of SOURCE into singles in DESTINATION.
void IbmToIeeeFloat(std::span<const std::uint32_t> source, std::span<float> destination, int count,
                    int byteOrderFlag);

/// The same directly over the bytes of a file buffer: 4 bytes per sample.
void IbmBytesToIeeeFloat(std::span<const std::byte> source, std::span<float> destination, int count,
                         int byteOrderFlag);
void IeeeToIbmBytes(std::span<const float> source, std::span<std::byte> destination, int count,
                    int byteOrderFlag);

}  // namespace vel
