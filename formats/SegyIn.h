#pragma once
// SEG-Y reader: one record of a file, a chosen record, all records joined, or
// only the number of records; compliant files (text and binary headers) or
// non-compliant ones described by the user.
#include <functional>
#include <span>
#include <string_view>

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

/// Reads NAME into REC. RECORDNUMBER in: the record to read when selecting;
/// out: the record read, or the count (count only). ERROR: 0 success, -1
/// failure (REC then keeps what it held before the call).
void SEGYIN(ShotRecord& REC, std::string_view NAME, int& RECORDNUMBER, int& ERROR,
            const SegyInOptions& options);

/// Reads N samples of FORMAT at the current position of file IH into SAMPLES
/// (one read). On a short read shows "END OF FILE HAS BEEN REACHED WHILE
/// READING TRACES" and sets ERROR to -1; format 4 is refused likewise; other
/// unknown codes read nothing. On success ERROR is left as it was.
void TRCYIN(std::span<float> SAMPLES, int IH, int FORMAT, int N, bool BIGENDIAN, int& ERROR);

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

/// Values the reader keeps between calls.
struct SegyInMemory {
  int selectedRecord = 1;
  bool ebcdic = false;
  std::array<std::byte, kSegyBinaryHeaderBytes> binaryHeader{};
};
const SegyInMemory& SegyInRemembered();
/// Back to the values at program start.
void ResetSegyInMemory();

/// Acquisition date "DD/MM/YYYY" from a SEG-Y year (two digits allowed) and day of year.
std::string SegyAcquisitionDate(int year, int dayOfYear);

}  // namespace vel
