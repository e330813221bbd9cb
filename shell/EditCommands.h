#pragma once
// The Edit and View commands that change the current record in place or the
// way the main window shows it: truncation, resampling, removal of traces, a
// constant gain, the zoom mode, unzoom and the previous view, the four pans,
// and killing or flipping the selected trace; with the dialogs they use.
#include <cstdint>

#include "record/ShotRecord.h"

namespace vel {

struct Velloran;

inline constexpr int kTruncateDialog = 151;
inline constexpr int kRemoveDialog = 146;
inline constexpr int kResampleProgressDialog = 137;

inline constexpr int kCommandKillTrace = 40013;
inline constexpr int kCommandFlipTrace = 40014;
inline constexpr int kCommandPanLeft = 40015;
inline constexpr int kCommandZoom = 40017;
inline constexpr int kCommandUnzoom = 40018;
inline constexpr int kCommandPanRight = 40019;
inline constexpr int kCommandPanUp = 40020;
inline constexpr int kCommandPanDown = 40021;
inline constexpr int kCommandEditShotHeader = 40045;
inline constexpr int kCommandLastzoom = 40048;
inline constexpr int kCommandTruncate = 40052;
inline constexpr int kCommandResample = 40053;
inline constexpr int kCommandRemove = 40061;
inline constexpr int kCommandGain = 40063;

/// Truncation choices kept for the run: mode 1 trims the end, 2 the
/// beginning, 3 keeps samples before the pick of one trace.
struct TruncationValues {
  std::int32_t mode = 0;
  std::int32_t endLength = 0;    // samples kept when trimming the end
  std::int32_t startLength = 0;  // samples kept when trimming the beginning
  std::int32_t beforePick = 0;   // samples kept ahead of the reference pick
};

/// What Resample and Remove offer next time, kept for the run.
struct TraceEditValues {
  std::int32_t newSampleCount = 0;  // 0 or less: offer NSAMP
  std::int32_t first = 1;
  std::int32_t last = 12;
  std::int32_t number = 0;
  std::int32_t increment = 1;
};

/// Dialog 151 "Trace Truncation Parameters", semi-modeless: the radio group
/// chooses MODE and enables its fields. OK reads the mode and the four
/// numbers back (IERR 0); Cancel leaves them (IERR -1).
void TRUNCATEDLG(std::int32_t& MODE, std::int32_t& ENDLENGTH, std::int32_t& STARTLENGTH,
                 std::int32_t& BEFOREPICK, std::int32_t& PICKTRACE, std::int32_t& IERR);

/// Dialog 146 "Remove Range of Traces". STATUS 0 after OK, -1 after Cancel.
/// A number above the increment is refused with a message and the dialog
/// shows again.
void REMOVEDLG(std::int32_t& FIRST, std::int32_t& LAST, std::int32_t& NUMBER,
               std::int32_t& INCR, std::int32_t& STATUS);

/// Asks for a new number of samples and resamples every trace of REC to it
/// (with the SEG-Y header words that follow), showing dialog 137 meanwhile.
/// Cancel, a count below 5 or the current count change nothing.
void RESAMPLE(ShotRecord& REC, TraceEditValues& KEPT);

/// Asks for a range of traces (REMOVEDLG) and removes them from REC.
void REMOVE(ShotRecord& REC, TraceEditValues& KEPT);

/// The command handlers.
void EditShotHeaderCommand(Velloran& app);
void TruncateCommand(Velloran& app);
void ResampleCommand(Velloran& app);
void RemoveCommand(Velloran& app);
void GainCommand(Velloran& app);
void ZoomCommand(Velloran& app);
void UnzoomCommand(Velloran& app);
void LastzoomCommand(Velloran& app);
void PanLeftCommand(Velloran& app);
void PanRightCommand(Velloran& app);
void PanUpCommand(Velloran& app);
void PanDownCommand(Velloran& app);
void KillTraceCommand(Velloran& app);
void FlipTraceCommand(Velloran& app);

}  // namespace vel
