#pragma once
// SEG-Y writer: one record per call into a new file, or several calls that
// build one multi-record file (the first creates it, the last closes it).
#include <string_view>

#include "formats/SegyHeaders.h"
#include "record/ShotRecord.h"

namespace vel {

struct SegyOutOptions {
  int format = kSegyIbmFloat;      // 1 IBM, 2 int32, 3 int16, 5 IEEE
  bool ebcdic = true;              // text header in EBCDIC, else ASCII
  bool bigEndian = true;           // byte order of headers and samples (IBM words included)
  bool fixedRecordLength = false;  // every block padded or cut to one trace block
  bool batch = false;              // progress to the caller's dialog
  bool writeHeaders = true;        // create the file and write its text and binary headers
  bool closeAtEnd = true;          // close the file when the call ends
  bool oneTracePerRecord = false;  // built binary header says 1 data and 0 auxiliary traces
};

/// Writes REC (NTRACE data traces, then NAUX auxiliary ones) to NAME. ERROR:
/// 0 success, -1 after any failure (each failure has shown its message). The
/// record is never changed.
void SEGYOUT(const ShotRecord& REC, std::string_view NAME, const SegyOutOptions& options,
             int& ERROR);

/// Writes the text header and BIN (machine order; swapped here when
/// BIGENDIAN) at the current position of IH. ERROR 0, or -1 on a short write.
void SEGYHO(const ShotRecord& REC, const SegyBinaryHeader& BIN, int IH, int NSAMP,
            int BYTESPERSAMPLE, bool BIGENDIAN, bool FIXEDLENGTH, bool EBCDIC, int& ERROR);

/// True while an output file of a multi-record sequence is open.
bool SegyOutFileOpen();

}  // namespace vel
