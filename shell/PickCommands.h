#pragma once
// The Pick menu's commands and Edit Pick Parameters: one picker over every
// trace with the display brought up to date, the wavelet selection and the
// wavelet window's View command.
#include <cstdint>

namespace vel {

struct Velloran;

/// Command identifiers of these commands.
enum PickCommandId : int {
  kCommandEditPickParameters = 40008,
  kCommandSelectWavelet = 40028,
  kCommandWaveletPick = 40031,
  kCommandBoxPick = 40032,
  kCommandHatherlyPick = 40033,
  kCommandSimplePick = 40034,
  kCommandViewWavelet = 40035,
};

/// Picks every trace with METHOD (1-4): the picks shown are erased, every
/// trace gets the picker's result (a trace where it finds nothing loses its
/// pick), the new picks are drawn and the record is marked as picked; the
/// pointer is the arrow with the hourglass meanwhile. Expects a loaded
/// record, the pulse width set for methods 1 and 4, and for method 4 a
/// selected wavelet and a correlation array of NSAMP values.
void PickAllTraces(Velloran& app, std::int32_t method);

/// The handlers of the command table.
void EditPickParametersCommand(Velloran& app);  // 40008
void SelectWaveletCommand(Velloran& app);       // 40028
void WaveletPickCommand(Velloran& app);         // 40031
void BoxPickCommand(Velloran& app);             // 40032
void HatherlyPickCommand(Velloran& app);        // 40033
void SimplePickCommand(Velloran& app);          // 40034
void ViewWaveletCommand(Velloran& app);         // 40035

}  // namespace vel
