#pragma once
// The printer's page set-up: the platform dialog over the settings kept
// between calls, writing the chosen printer and paper into the printer job
// settings for the printer driver.
namespace tk {

/// Shows the page set-up with the picture's size, margins, orientation
/// (non-zero landscape) and copies passed, lengths in thousandths of an inch
/// (UNITS 0 and 1) or hundredths of a millimetre (2 and 3). The first call,
/// and a call in the other unit, starts from the default printer without
/// showing anything more. Confirmed: the paper, the picture (paper less the
/// margins), the margins, orientation, copies and the printer's colour count
/// come back and CONFIRMED is 1; cancelled: CONFIRMED 0 and nothing changes.
void PageSetupDialog(int& paperWidth, int& paperHeight, int& printableWidth, int& printableHeight,
                     int& left, int& top, int& orientation, int& copies, int units, int& colours,
                     int& confirmed);

/// Forgets the kept settings (tests).
void PageSetupReset();

}  // namespace tk
