#pragma once
// The SEG-2 reader: one SEG-2 file (revision 1, either byte order) into a
// shot record.
//
// Layout as read (offsets in bytes). Binary header fields are taken least
// significant byte first, whatever the block identifier says: the identifier
// decides the byte order of the samples. A file marked 3A 55 whose headers
// make sense only most significant byte first (the standard's big-endian
// layout, trace block ids 44 22) has its headers read in that order instead
// (Seg2HeaderOrder); every file whose little-endian headers make sense reads
// as before.
//
//   File descriptor block, at 0:
//     0  2  block id: 55 3A samples LSB first, 3A 55 samples MSB first
//     2  2  revision (not looked at)
//     4  2  M, bytes of the trace pointer sub-block (unsigned)
//     6  2  N, number of traces (signed)
//     8  1  string terminator size      9-10  string terminator characters
//    11  1  line terminator size       12-13  line terminator characters
//    32  M  trace pointers, 32-bit, trace 1 first
//   32+M    file descriptor strings
//   Trace descriptor block, at trace j's pointer:
//     0  2  block id 22 44
//     2  2  block size (signed): the data block starts at pointer + size
//     4  4  data block size (not looked at)
//     8  4  number of samples (signed 32-bit, equal in every trace)
//    12  1  data format code (Seg2Format)
//    32     trace descriptor strings
//   String list: entries of a 2-byte offset counting the whole entry, then
//   the text, its terminator and filler; the file list ends at an offset of
//   2 or less, a trace list at 4 or less.
//
// Decoding is pure over byte spans (Seg2FileDescriptor, Seg2TraceDescriptor,
// DECODETRACE); SEG2IN reads the file once and runs the steps over its bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "formats/Seg2Strings.h"
#include "record/ShotRecord.h"
#include "support/ByteOrder.h"

namespace vel {

/// Data format codes of a trace descriptor block.
enum Seg2Format : int {
  kSeg2Int16 = 1,     // 16-bit two's complement
  kSeg2Int32 = 2,     // 32-bit two's complement
  kSeg2Packed20 = 3,  // groups of four samples in 10 bytes
  kSeg2Float32 = 4,   // IEEE single
};

/// Bytes of the file descriptor block header and of a trace descriptor header.
inline constexpr std::size_t kSeg2BlockHeaderBytes = 32;

/// Bytes the data block of NS samples of format IFMT holds: 2 NS, 4 NS, or
/// ceil(NS / 4) x 10 for the packed format. -1 for an unknown format or a
/// negative count.
std::int64_t Seg2DataBytes(int IFMT, std::int64_t NS);

/// The fixed part of the file descriptor block.
struct Seg2FileDescriptor {
  bool swapSamples = false;                             // block id 3A 55
  sup::ByteOrder headerOrder = sup::ByteOrder::Little;  // of every binary header field
  std::uint16_t pointerBytes = 0;                       // M
  std::int16_t traceCount = 0;                          // N
  Seg2Terminators terminators;
};
/// The byte order of FILE's binary header fields: little-endian, except for
/// a file marked 3A 55 whose headers fit the file only when read big-endian
/// (a non-negative trace count, pointers inside a pointer sub-block that lies
/// in the file, the first trace pointer at a descriptor block with id 0x4422
/// in that order). Headers that fit both ways are read little-endian.
[[nodiscard]] sup::ByteOrder Seg2HeaderOrder(std::span<const std::byte> file);

/// Decodes the first 32 bytes of a file, in the header order Seg2HeaderOrder
/// gives for BYTES (the whole file, or at least its first 32 bytes). False
/// when they are short or the block id is not a SEG-2 one.
[[nodiscard]] bool DecodeSeg2FileDescriptor(std::span<const std::byte> bytes,
                                            Seg2FileDescriptor& out);

/// The fixed part of a trace descriptor block.
struct Seg2TraceDescriptor {
  std::int16_t blockBytes = 0;   // size of the trace descriptor block
  std::int32_t sampleCount = 0;  // number of samples
  std::uint8_t formatCode = 0;   // data format code
};
/// Decodes the first 32 bytes of a trace descriptor block in ORDER. False when
/// they are short or the block id is not 0x4422 in that order (bytes 22 44
/// little-endian, 44 22 big-endian).
[[nodiscard]] bool DecodeSeg2TraceDescriptor(std::span<const std::byte> bytes,
                                             Seg2TraceDescriptor& out,
                                             sup::ByteOrder order = sup::ByteOrder::Little);

/// Converts the NS samples of one data block (BUF, format IFMT, byte-swapped
/// when LSWAP) into OUT (at least NS long) and returns their range in LO and
/// HI (lowered and raised from what they hold; NaN changes neither). The
/// packed format decodes as SEG-2 defines it: four unsigned 4-bit exponents
/// (low nibble of the first byte for the first sample), then four 16-bit
/// mantissas m in one's complement, value (m + 1) 2^e for m < 0, else m 2^e.
/// False when BUF is shorter than Seg2DataBytes(IFMT, NS), OUT is too short,
/// the format is unknown, or the packed format is to be swapped.
[[nodiscard]] bool DecodeSeg2Samples(std::span<const std::byte> BUF, int IFMT, std::int32_t NS,
                                     bool LSWAP, std::span<float> out, float& lo, float& hi);

/// Decodes BUF, the data block of trace J, into TRACES(1..NSAMP, J) of REC and
/// updates TRACEMAX(J), GMIN and GMAX. IERR: 0, or -1 when the block cannot
/// be decoded ("BYTE SWAP ILLEGAL FOR FORMATS 3 AND 5" shown for a swapped
/// packed block).
void DECODETRACE(ShotRecord& REC, std::span<const std::byte> BUF, int J, int IFMT, int NS,
                 bool LSWAP, int& IERR);

/// Reads one SEG-2 file into REC.
/// FNAME: the file name as the caller has it (relative to the current folder).
/// IERR: 0 the read is complete; -1 it failed or the user abandoned it (the
/// user has been told). On failure REC is exactly as it was.
/// LBATCH: true when the caller runs its own progress display; the reader then
/// only advances its bar. Otherwise the reader shows its own progress dialog
/// for more than 100 traces.
/// The reader sets NTRACE, NSAMP, NAUX, GMIN, GMAX, the per-trace arrays
/// (ISEGYTRH excepted), GEOLOC and SPACING, the file-descriptor fields and
/// what the descriptor strings carry; every other field keeps its value.
void SEG2IN(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LBATCH);

}  // namespace vel
