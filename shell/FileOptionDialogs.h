#pragma once
// The option dialogs of the SEG-Y and SEG-2 files: how a SEG-Y or SEG-2 file
// is to be written, and how a non-compliant SEG-Y file is laid out. Each
// opens with the values it is given (the last answers of the run) and, on
// OK, stores the answers back; Cancel leaves them (IERR 0 OK, -1 Cancel).
#include <cstdint>

namespace vel {

inline constexpr int kSegyOutputDialog = 124;
inline constexpr int kSegyInputDialog = 125;
inline constexpr int kSeg2OutputDialog = 128;

/// Dialog 124 "SEG-Y Output Parameters", semi-modeless. IOUTFMT: SEG-Y
/// sample format 1 IBM float, 2 32-bit integer, 3 16-bit integer, 5 IEEE
/// float. IBM floats are always big-endian: opening with IOUTFMT 1 or less
/// sets LMSBFIRST at once (also when then cancelled), choosing IBM float
/// selects big-endian, choosing little-endian with IBM float chosen
/// switches to IEEE float, and OK with IBM float stores big-endian.
void SEGYOUTPUTDLG(std::int32_t& IOUTFMT, bool& LMSBFIRST, bool& LEBCDIC, std::int32_t& IERR);

/// Dialog 128 "SEG-2 Output Parameters", modal. IOUTFMT: 1 32-bit float,
/// 2 32-bit integer, 3 16-bit integer (shown: 1 or less the first, 3 or more
/// the last). LREMOVEDELAY: shift the data to remove the delay time.
void SEG2OUTPUTDLG(std::int32_t& IOUTFMT, bool& LMSBFIRST, bool& LREMOVEDELAY, std::int32_t& IERR);

/// Dialog 125 "Non-Compliant SEG-Y Input Parameters", modal: whether the
/// file has its text and binary headers, whether its trace headers are used,
/// and its byte order.
void SEGYINPUTDLG(bool& LREADTEXT, bool& LREADBIN, bool& LUSETRHDR, bool& LINMSB,
                  std::int32_t& IERR);

}  // namespace vel
