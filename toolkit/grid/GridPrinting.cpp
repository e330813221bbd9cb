// The grid-print options kept for the run, and the printing services the
// grid-window commands reach through hooks.
#include "toolkit/grid/GridPrinting.h"

namespace tk {

namespace {

GridPrintSettings& Settings(int set) {
  static GridPrintSettings sets[2];
  return sets[set == 2 ? 1 : 0];
}

}  // namespace

GridPrintHooks& GridPrinting() {
  static GridPrintHooks hooks;
  return hooks;
}

void GridPrintOptionsGet(std::int32_t& option1, std::int32_t& option2, std::int32_t& option3,
                         std::int32_t& option4, std::int32_t& option5, std::int32_t& scale,
                         int set) {
  const GridPrintSettings& s = Settings(set);
  option1 = s.options[0];
  option2 = s.options[1];
  option3 = s.options[2];
  option4 = s.options[3];
  option5 = s.options[4];
  scale = s.scale;
}

void GridPrintOptionsSet(std::int32_t option1, std::int32_t option2, std::int32_t option3,
                         std::int32_t option4, std::int32_t option5, std::int32_t scale, int set) {
  GridPrintSettings& s = Settings(set);
  s.options = {option1 == 1, option2 == 1, option3 == 1, option4 == 1, option5 == 1};
  s.scale = scale;
}

std::int32_t GridPrinterInstalled() {
  return GridPrinting().printerInstalled ? GridPrinting().printerInstalled() : 0;
}

void GridPrintPageDialog(int /*window*/, int set) {
  if (GridPrinting().pageDialog) GridPrinting().pageDialog(set);
}

void GridPrint(int field, std::int32_t& printed, int firstColumn, int lastColumn, int firstRow,
               int lastRow, int set, std::string_view title) {
  printed = 0;
  if (GridPrinting().print)
    GridPrinting().print(field, printed, firstColumn, lastColumn, firstRow, lastRow, set, title);
}

}  // namespace tk
