#pragma once
// SEG-2 (revision 1) writer: file descriptor block, trace pointer block,
// file descriptor strings, and per trace a descriptor block and its samples.
#include <string_view>

#include "record/ShotRecord.h"

namespace vel {

/// Writes REC to NAME. BIGENDIAN: byte order of every binary field and
/// sample. TRACEFORMAT: 1 32-bit floats, 2 32-bit integers, anything else
/// 16-bit integers. BATCH: progress goes to the caller's dialog.
/// REMOVEDELAY above 0 shifts every trace so that the delay becomes 0.
/// ERROR: 0 success, -1 after a failure (its message shown). Only the
/// record's CUNITS can change (unprintable characters become blanks).
void SEG2OUT(ShotRecord& REC, std::string_view NAME, bool BIGENDIAN, int TRACEFORMAT, bool BATCH,
             int REMOVEDELAY, int& ERROR);

/// Writes one descriptor string: the count N + 3 in ORDER, the N characters
/// of TEXT and the terminator 0x11. 0 when all was written.
int ICWSEG2(int IH, std::string_view TEXT, int N, bool BIGENDIAN);

/// Text of a real value for a descriptor field: fixed-point with DECIMALS
/// where that reads back as the same single-precision value, otherwise the
/// fewest significant digits that do (at most 20 characters).
std::string Seg2ExactReal(float value, int decimals);

}  // namespace vel
