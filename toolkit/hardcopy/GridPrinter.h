#pragma once
// The system printer as grid printing uses it: whether one is installed and
// a device context for the printer a grid-print page set-up chose.
namespace tk {

/// Fills the grid's printing hooks with the system printer.
void ConnectGridPrinting();

}  // namespace tk
