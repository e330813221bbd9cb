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
  bool bigEndian = true;           // byte order of headers and samples; IBM needs big-endian
  bool fixedRecordLength = false;  // every block padded or cut to one trace block
  bool batch = false;              // progress to the caller's dialog
  bool writeHeaders = true;        // create the file and write its text and binary headers
  bool closeAtEnd = true;          // close the file when the call ends
  bool oneTracePerRecord = false;  // built binary header says 1 data and 0 auxiliary traces
};

/// The output file of a sequence of calls that builds one multi-record file:
/// the first call (write headers) opens it, the call with close at end closes
/// it. The caller holds it for the length of the sequence; a file still open
/// when it goes is closed.
class SegyOutState {
 public:
  SegyOutState() = default;
  SegyOutState(const SegyOutState&) = delete;
  SegyOutState& operator=(const SegyOutState&) = delete;
  ~SegyOutState();
  /// True while the output file is open.
  bool Open() const { return handle >= 0; }
  int handle = -1;
  /// The user has been told that the sample interval was rounded to whole
  /// microseconds: once for all the calls that share this state.
  bool intervalTold = false;
};

/// The message of the one combination the writer refuses: IBM floats in a
/// little-endian file, which this program's reader takes as IEEE floats.
inline constexpr const char* kSegyIbmMustBeBigEndian = "32-bit IBM Float must be Big Endian!";

/// Writes REC (NTRACE data traces, then NAUX auxiliary ones) to NAME. ERROR:
/// 0 success, -1 after any failure (each failure has shown its message). The
/// record is never changed. STATE holds the output file between the calls of
/// a multi-record sequence; the overload without it writes one whole file.
void SEGYOUT(const ShotRecord& REC, std::string_view NAME, const SegyOutOptions& options,
             int& ERROR, SegyOutState& STATE);
void SEGYOUT(const ShotRecord& REC, std::string_view NAME, const SegyOutOptions& options,
             int& ERROR);

/// Writes the text header and BIN (machine order; swapped here when
/// BIGENDIAN) at the current position of IH. ERROR 0, or -1 on a short write.
void SEGYHO(const ShotRecord& REC, const SegyBinaryHeader& BIN, int IH, int NSAMP,
            int BYTESPERSAMPLE, bool BIGENDIAN, bool FIXEDLENGTH, bool EBCDIC, int& ERROR);

}  // namespace vel
