#pragma once
// What the grid-window commands ask of printing: whether a printer is
// installed (the hardcopy layer answers once connected at toolkit start),
// the two sets of grid-print options, the page set-up and the print itself.
// Until grid printing is connected the options are kept here and a print
// answers "not printed".
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

namespace tk {

/// One set of grid-print options: five 0/1 options and the scale in percent.
struct GridPrintSettings {
  std::array<std::int32_t, 5> options{0, 0, 0, 0, 0};
  std::int32_t scale = 100;
};

/// SET 1 or 2 (any other value: 1) into OPTION1..OPTION5 and SCALE.
void GridPrintOptionsGet(std::int32_t& option1, std::int32_t& option2, std::int32_t& option3,
                         std::int32_t& option4, std::int32_t& option5, std::int32_t& scale,
                         int set);
/// Stores them; an option counts as on when it is 1.
void GridPrintOptionsSet(std::int32_t option1, std::int32_t option2, std::int32_t option3,
                         std::int32_t option4, std::int32_t option5, std::int32_t scale, int set);

/// The services grid printing offers; empty members answer as no printer,
/// no page set-up and nothing printed.
struct GridPrintHooks {
  std::function<std::int32_t()> printerInstalled;
  std::function<void(int set)> pageDialog;
  /// (field, printed out, first column, last column, first row, last row,
  /// set, title)
  std::function<void(int, std::int32_t&, int, int, int, int, int, std::string_view)> print;
};
GridPrintHooks& GridPrinting();

/// 1 when a printer is installed.
std::int32_t GridPrinterInstalled();
void GridPrintPageDialog(int window, int set);
void GridPrint(int field, std::int32_t& printed, int firstColumn, int lastColumn, int firstRow,
               int lastRow, int set, std::string_view title);

}  // namespace tk
