#pragma once
// SEG-Y reader: one record of a file, a chosen record, all records joined, or
// only the number of records; compliant files (text and binary headers) or
// non-compliant ones described by the user.
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "formats/SegyHeaders.h"
#include "record/ShotRecord.h"

namespace vel {

/// The eight switches of a read.
struct SegyInOptions {
  bool countOnly = false;        // for two or more records only return their number
  bool selectRecord = false;     // read the record named by the record number argument
  bool compliant = true;         // both file headers present; record keeps them
  bool readTextHeader = true;    // non-compliant: the 3200-byte header is present
  bool readBinaryHeader = true;  // non-compliant: the 400-byte header is present
  bool bigEndian = false;        // non-compliant without binary header: byte order
  bool useTraceHeaders = false;  // non-compliant: take counts and values from trace headers
  bool joinAll = false;          // read every record of the file as one record
};

/// What a reader remembers from one call to the next; the caller holds it
/// for as long as the answers are to be remembered (the program: its run).
struct SegyInState {
  int selectedRecord = 1;  // offered by the record prompt
  bool ebcdic = false;     // character set of the last recognised text header
  SegyBinaryHeader binaryHeader{};  // the last one read; its format is the editor's default
};

/// Reads NAME into REC. RECORDNUMBER in: the record to read when selecting;
/// out: the record read, or the count (count only). ERROR: 0 success, -1
/// failure (REC then keeps what it held before the call). STATE carries the
/// remembered answers between calls; the overload without it starts afresh.
void SEGYIN(ShotRecord& REC, std::string_view NAME, int& RECORDNUMBER, int& ERROR,
            const SegyInOptions& options, SegyInState& STATE);
void SEGYIN(ShotRecord& REC, std::string_view NAME, int& RECORDNUMBER, int& ERROR,
            const SegyInOptions& options);

/// A file its caller has opened for reading and begun to read, so that the
/// reader neither opens it again nor reads its first bytes twice.
struct SegyInFile {
  int handle = -1;                  // left open by the reader
  std::int64_t size = 0;            // the file's size in bytes
  std::span<const std::byte> head;  // the file's first bytes, as many as were read
};

/// How many of a file's first bytes to read before the read: the whole of a
/// small file, else its headers and first trace header.
[[nodiscard]] std::size_t SegyInLeadBytes(std::int64_t fileSize);

/// SEGYIN over FILE; NAME names the file as the other overload takes it (for
/// the record's name and the progress display). What HEAD lacks is read
/// through the handle.
void SEGYIN(ShotRecord& REC, const SegyInFile& FILE, std::string_view NAME, int& RECORDNUMBER,
            int& ERROR, const SegyInOptions& options, SegyInState& STATE);

/// Reads N samples of FORMAT at the current position of file IH into SAMPLES
/// (one read). On a short read shows "END OF FILE HAS BEEN REACHED WHILE
/// READING TRACES" and sets ERROR to -1; format 4 is refused likewise; other
/// unknown codes read nothing. On success ERROR is left as it was.
void TRCYIN(std::span<float> SAMPLES, int IH, int FORMAT, int N, bool BIGENDIAN, int& ERROR);

// ---- Decoders over the file's bytes (no messages, no state) ----

/// The 3200-byte text header at the start of BYTES, in ASCII. The first byte
/// decides the character set: "C" is ASCII (EBCDIC := false); else the first
/// line is converted and a "C" then makes it EBCDIC (EBCDIC := true); else
/// RECOGNISED is false and EBCDIC keeps its value (the first line stays
/// converted; the rest is converted when EBCDIC). False when BYTES is short.
[[nodiscard]] bool DecodeSegyTextHeader(std::span<const std::byte> bytes, bool& ebcdic,
                                        bool& recognised, std::string& text);

enum class SegyBinaryOutcome { Ok, Short, BadFormat };
/// The 400-byte binary header at the start of BYTES, in machine order: the
/// format code read little-endian decides (1 to 5: little-endian; else, with
/// its bytes exchanged, 1 to 5: big-endian and the header swapped by ranges).
/// A format 1 of a little-endian file becomes 5. BadFormat gives the
/// exchanged code in BADCODE.
[[nodiscard]] SegyBinaryOutcome DecodeSegyBinaryHeader(std::span<const std::byte> bytes,
                                                       SegyBinaryHeader& out, bool& bigEndian,
                                                       int& badCode);

/// The 240-byte trace header at the start of BYTES, in machine order. False
/// when BYTES is short.
[[nodiscard]] bool DecodeSegyTraceHeader(std::span<const std::byte> bytes, bool bigEndian,
                                         SegyTraceHeader& out);

/// Converts OUT.size() samples of FORMAT (1 IBM, always big-endian words; 2
/// and 3 integers and 5 IEEE in the file's order) from the start of BYTES
/// straight into OUT. False for another format or when BYTES is short.
[[nodiscard]] bool DecodeSegySamples(std::span<const std::byte> bytes, int format, bool bigEndian,
                                     std::span<float> out);

/// DecodeSegySamples, lowering LO and raising HI to the range of the samples
/// as SegySampleRange does, in the same pass. False as DecodeSegySamples.
[[nodiscard]] bool DecodeSegySamplesWithRange(std::span<const std::byte> bytes, int format,
                                              bool bigEndian, std::span<float> out, float& lo,
                                              float& hi);

/// Lowers LO and raises HI to the smallest and largest samples, skipping NaN,
/// magnitudes above 1e15 and non-zero magnitudes below 1e-30.
void SegySampleRange(std::span<const float> samples, float& lo, float& hi);

/// The reader's questions. Each returns false for Cancel; one that nobody
/// filled in answers Cancel. The shell fills in the program's dialogs (the
/// number prompt and the Shot Header Editor); tests may stand in for them.
struct SegyInDialogs {
  /// Modal number prompt: PROMPT, VALUE holds the default and gets the answer.
  std::function<bool(std::string_view prompt, int& value)> askNumber;
  /// The Shot Header Editor for non-compliant input: edits REC's header
  /// values, RECORDNUMBER and FORMAT (in: the binary header's sample code;
  /// out: 1 floating point, 2 32-bit, 3 16-bit).
  std::function<bool(ShotRecord& REC, int& recordNumber, int& format)> shortHeaderEdit;
};
/// Replaces the questions; a member left empty gets the program's dialog.
void SetSegyInDialogs(SegyInDialogs dialogs);
/// The program's dialogs, filled in by the shell; questions not replaced by
/// SetSegyInDialogs take them from now on.
void SetSegyInProgramDialogs(SegyInDialogs dialogs);

/// Acquisition date "DD/MM/YYYY" from a SEG-Y year (two digits allowed) and day of year.
std::string SegyAcquisitionDate(int year, int dayOfYear);

}  // namespace vel
